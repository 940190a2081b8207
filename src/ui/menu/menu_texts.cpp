// Titles shared by every module that registers menu items: the main-menu tabs and the suffix that hides a value.
#include "ui/menu/menu.h"

const ARRAY_OF_STRING_PTRS Alarms = SAME22("Alarms");
const ARRAY_OF_STRING_PTRS Sonar = SAME22("Sonar");
const ARRAY_OF_STRING_PTRS Chart = SAME22("Chart");
const ARRAY_OF_STRING_PTRS Setup = SAME22("Setup");
const ARRAY_OF_STRING_PTRS Views = SAME22("Views");
const ARRAY_OF_STRING_PTRS Accessories = SAME22("Accessories");
const ARRAY_OF_STRING_PTRS Hidden = SAME22("Hidden");
