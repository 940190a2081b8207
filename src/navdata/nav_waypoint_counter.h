// The number behind the default waypoint names ("WP" and digits), kept in 'SWID'.
#pragma once
#include "corvan/types.h"

// The largest default-name number of the own waypoints, at least 'SWID' (0 when missing).
S32 T_NAV_s32GetMaxWayPointCounter(void);
// Raises 'SWID' to the default-name number of the waypoint in own slot nIndex (at most 99,999).
void T_NAV_vUpdateWaypointCounter(U32 nIndex);
// 'SWID' one lower when above 0; 0 when missing.
void T_NAV_vCancelWaypointCounterIncrease(void);
// The default-name number of a 12-byte name field: -1 for another name, 1 for one that does not read as
// "WP" and a number up to 9,999.
S32 NAV_s32DefaultNameNumber(const char *pcName);
