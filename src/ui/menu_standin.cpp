// Stand-ins of the menu task's direct calls: nothing is opened until the menu task exists.
#include "ui/menu_standin.h"

void T_MENU_vActivateSpecifiedHotMenu(LAYER_ID) {}
