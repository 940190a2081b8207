// Stand-in of the menu task's quick-setup opening until the menu task opens it itself.
#include "kernel/log.h"
#include "ui/menu.h"

void T_MENU_vActivateQuickMenu(void) { log_me("quick-setup menu requested"); }
