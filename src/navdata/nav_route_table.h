// State of the route table beside the routes: the share/lock partition and the counts.
#pragma once
#include "navdata/nav_records.h"

typedef struct {
  S16 nMaxShareRouteIndex;
  S16 nMinLockRouteIndex;
  S16 nSeperateRouteIndex;
  S16 nRoutesUsed;
  S16 nNumberLockedRoutes;
} NAV_ROUTE_STATE;
NAV_ROUTE_STATE *NAV_pRouteState(void);
void NAV_vResetRouteState(void);

// Under RES_NAV_DATA: recounts the used and locked routes and stores each used route's hash, 0 for a free slot.
void T_NAV_TWR_vHashRoutes(void);

// Copies route nIndex under RES_NAV_DATA; nothing for 0xFFFF or another index past the table.
void T_NAV_vCopyRoute(U32 nIndex, ROUTE *pRoute);
