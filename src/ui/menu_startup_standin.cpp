// Stand-in of the start-up task's removal of the quick-setup screen, until the start-up task is written: the
// screen's layer and keys go away.
#include "ui/menu_internal.h"

void T_STARTUP_vRemoveQuickConfigMenu(void) {
  U_KEYBOARD_bUnregisterKeys(M_MENU, 0xFFFE);
  U_VIEW_bUnRegisterLayer(QUICK_CONFIGURE_LAYER);
}
