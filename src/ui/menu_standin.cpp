// Stand-in of the menu task's direct call until the menu task exists: nothing is opened.
#include "ui/menu_standin.h"

void T_MENU_vActivateSpecifiedHotMenu(LAYER_ID) {}
