// Stand-in of the menu task's direct calls until the menu task exists.
#include "ui/menu.h"

void T_MENU_vActivateSpecifiedHotMenu(LAYER_ID) {}
