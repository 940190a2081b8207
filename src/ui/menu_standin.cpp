// Stand-ins of the menu task's clients and the shared tab titles: nothing is registered until
// the menu module exists.
#include "ui/menu_standin.h"


const ARRAY_OF_STRING_PTRS Setup = SAME22("Setup");
const ARRAY_OF_STRING_PTRS Alarms = SAME22("Alarms");

BOOLEAN U_MENU_bRegisterMainActionMenu(const ARRAY_OF_STRING_PTRS *, const ARRAY_OF_STRING_PTRS *, MENU_PRIORITY,
                                       void (*)(void), BOOLEAN, MENU_USER_LEVEL) {
  return FALSE;
}

BOOLEAN U_MENU_bRegisterMainSelectorMenu(const ARRAY_OF_STRING_PTRS *, const ARRAY_OF_STRING_PTRS *, MENU_PRIORITY,
                                         FOURCHARID, U32, const ARRAY_OF_STRING_PTRS *const *, const U32 *,
                                         MENU_USER_LEVEL) {
  return FALSE;
}

void T_MENU_vActivateSpecifiedHotMenu(S32) {}
