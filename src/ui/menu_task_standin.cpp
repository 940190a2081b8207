// Stand-ins of the menu task's direct calls that other tasks make, until the menu task is written: nothing is
// open, so there is nothing to close and no selection to read.
#include "ui/menu.h"

void T_MENU_vRemoveMenus(void) {}

void T_MENU_vDoRemoveSingleCenteredMenu(void) {}

void T_MENU_vGetSelection(MENU_TITLE, char *) {}
