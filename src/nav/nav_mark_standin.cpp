// Stand-in of the navigation mark: no waypoint store exists yet, so the mark is only logged.
#include "nav/nav_mark_standin.h"

#include "kernel/log.h"

void T_NAV_vHandleMark(void) { log_me("navigation mark (no waypoint store yet)"); }
