// Questions to the route table that change nothing; callers hold RES_NAV_DATA where another task may change it.
#pragma once
#include "navdata/nav_records.h"

// Used slots that are shared, used slots that are locked, free slots.
void T_NAV_vGetRouteStatus(S16 *s16RtShared, S16 *s16RtLocked, S16 *s16RtAvail);
// One past the highest slot with points; 0 when none has.
U16 T_NAV_TWR_u16GetMaxUsedRoute(void);
// Iterator over all 50 slots, used or not, from *pnIndex = -1.
BOOLEAN T_NAV_bScanRoutes(S32 *pnIndex, ROUTE **ppRoute);
BOOLEAN T_NAV_bWaypointUsedInRoute(U32 nIndex, const ROUTE *pRoute);
BOOLEAN T_NAV_bWaypointUsedInSavedRoute(U32 nIndex);
BOOLEAN T_NAV_TWR_bIsWaypointInSharedRoute(U32 nIndex);
BOOLEAN T_NAV_TWR_bIsRouteShared(U32 nIndex);
// The routes with points that hold the link, newest first (-1 for an empty entry); how many there are, at most 5.
S32 T_NAV_vGetRoutesUsingWaypoint(U32 nIndex, S32 routeList[5]);
// The newest unhidden route whose first link is nIndex (the lower slot on equal dates), or -1.
S32 T_NAV_TWR_s32GetIndexOfLastRouteStartingAt(U32 nIndex);
// Copies that route's 20-byte name field; FALSE when there is none.
BOOLEAN T_NAV_TWR_bGetNameOfLastRouteStartingAt(U32 nIndex, char *returnString);
// TRUE unless the navigated route (origin plus the route's points) has temporary points that differ from
// pRoute's waypoints.
BOOLEAN T_NAV_bCheckCurrentRoute(const ROUTE *pRoute);
