// Stand-in of the navigation task's mark service until the navigation task is written.
#pragma once

// The MARK key's navigation mark: a waypoint at the cursor or the boat.
void T_NAV_vHandleMark(void);
