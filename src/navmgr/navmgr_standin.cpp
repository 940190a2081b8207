// Stand-in of the navigation data manager: it is never open, so there is nothing to close.
#include "navmgr/navmgr_standin.h"

void T_NAV_GROUP_vShutdown(void) {}
