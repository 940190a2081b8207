// Stand-in of the view-selection menu's registration: there are no menus to fill yet.
#include "graphics/view.h"

void GUI_vRegisterSelectViewMenu(void) {}
void GUI_vUnRegisterSelectViewMenu(void) {}
