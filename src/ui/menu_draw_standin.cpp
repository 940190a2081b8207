// Stand-ins of the menu drawing until the menu drawing module exists: the layers draw nothing.
#include "ui/menu_store.h"

void T_MENU_vDrawHotMenuLayer(BITMAP *, WINDOW_SPECIFICATION_POINTER) {}
void T_MENU_vDrawMainMenuLayer(BITMAP *, WINDOW_SPECIFICATION_POINTER) {}
void T_MENU_vDrawSubMenuLayer(BITMAP *, WINDOW_SPECIFICATION_POINTER) {}
void T_MENU_vDrawQuickMenuLayer(BITMAP *, WINDOW_SPECIFICATION_POINTER) {}
void T_MENU_vDrawConfirmMenuLayer(BITMAP *, WINDOW_SPECIFICATION_POINTER) {}
