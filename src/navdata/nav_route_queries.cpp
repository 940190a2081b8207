// Route table queries.
#include "navdata/nav_route_queries.h"

#include <algorithm>
#include <cstring>

#include "kernel/log.h"
#include "nav/nav_standin.h"

namespace {

bool bInUse(const ROUTE &route) { return route.nCount != 0 || route.u32DateTime != 0; }

// Counts from outside may exceed the link array; only the links that exist are looked at.
U32 nLinks(const ROUTE &route) { return std::min<U32>(route.nCount, NAV_ROUTE_POINTS); }

bool bHolds(const ROUTE &route, U32 nIndex) {
  for (U32 i = 0; i < nLinks(route); ++i) {
    if (route.anWaypoint[i] == nIndex) return true;
  }
  return false;
}

}  // namespace

void T_NAV_vGetRouteStatus(S16 *s16RtShared, S16 *s16RtLocked, S16 *s16RtAvail) {
  S16 nShared = 0, nLocked = 0, nFree = 0;
  for (U32 i = 0; i < NAV_ROUTES; ++i) {
    const ROUTE &route = NAV_pRouteTable()[i];
    if (!bInUse(route)) {
      ++nFree;
    } else if (route.bRtNotShared) {
      ++nLocked;
    } else {
      ++nShared;
    }
  }
  *s16RtShared = nShared;
  *s16RtLocked = nLocked;
  *s16RtAvail = nFree;
}

U16 T_NAV_TWR_u16GetMaxUsedRoute(void) {
  for (U32 i = NAV_ROUTES; i > 0; --i) {
    if (NAV_pRouteTable()[i - 1].nCount != 0) return static_cast<U16>(i);
  }
  return 0;
}

BOOLEAN T_NAV_bScanRoutes(S32 *pnIndex, ROUTE **ppRoute) {
  if (*pnIndex < -1 || *pnIndex >= static_cast<S32>(NAV_ROUTES) - 1) {
    *pnIndex = NAV_ROUTES;
    return FALSE;
  }
  ++*pnIndex;
  *ppRoute = &NAV_pRouteTable()[*pnIndex];
  return TRUE;
}

BOOLEAN T_NAV_bWaypointUsedInRoute(U32 nIndex, const ROUTE *pRoute) { return bHolds(*pRoute, nIndex); }

BOOLEAN T_NAV_bWaypointUsedInSavedRoute(U32 nIndex) {
  for (U32 i = 0; i < NAV_ROUTES; ++i) {
    if (bHolds(NAV_pRouteTable()[i], nIndex)) return TRUE;
  }
  return FALSE;
}

BOOLEAN T_NAV_TWR_bIsWaypointInSharedRoute(U32 nIndex) {
  for (U32 i = 0; i < NAV_ROUTES; ++i) {
    const ROUTE &route = NAV_pRouteTable()[i];
    if (!route.bRtNotShared && bHolds(route, nIndex)) return TRUE;
  }
  return FALSE;
}

BOOLEAN T_NAV_TWR_bIsRouteShared(U32 nIndex) {
  if (nIndex >= NAV_ROUTES) {
    log_me("nav: route %u asked for sharing; no such slot", nIndex);
    return FALSE;
  }
  return NAV_pRouteTable()[nIndex].bRtNotShared == 0;
}

S32 T_NAV_vGetRoutesUsingWaypoint(U32 nIndex, S32 routeList[5]) {
  constexpr int kPlaces = 5;
  std::fill(routeList, routeList + kPlaces, -1);
  S32 nFound = 0;
  for (U32 i = 0; i < NAV_ROUTES; ++i) {
    const ROUTE &route = NAV_pRouteTable()[i];
    if (!bHolds(route, nIndex)) continue;
    // After the last entry that is not older; a route no newer than a full list's last entry replaces it.
    int nAt = 0;
    for (int k = kPlaces - 1; k >= 0; --k) {
      if (routeList[k] >= 0 && NAV_pRouteTable()[routeList[k]].u32DateTime >= route.u32DateTime) {
        nAt = std::min(k + 1, kPlaces - 1);
        break;
      }
    }
    for (int k = kPlaces - 1; k > nAt; --k) routeList[k] = routeList[k - 1];
    routeList[nAt] = static_cast<S32>(i);
    ++nFound;
  }
  return std::min(nFound, kPlaces);
}

S32 T_NAV_TWR_s32GetIndexOfLastRouteStartingAt(U32 nIndex) {
  if (nIndex == NAV_LINK_NONE) return -1;
  S32 nBest = -1;
  for (U32 i = 0; i < NAV_ROUTES; ++i) {
    const ROUTE &route = NAV_pRouteTable()[i];
    if (route.bHide || route.anWaypoint[0] != nIndex) continue;
    if (nBest < 0 || route.u32DateTime > NAV_pRouteTable()[nBest].u32DateTime) nBest = static_cast<S32>(i);
  }
  return nBest;
}

BOOLEAN T_NAV_TWR_bGetNameOfLastRouteStartingAt(U32 nIndex, char *returnString) {
  S32 nSlot = T_NAV_TWR_s32GetIndexOfLastRouteStartingAt(nIndex);
  if (nSlot < 0) return FALSE;
  std::strncpy(returnString, NAV_pRouteTable()[nSlot].sName, sizeof NAV_pRouteTable()[nSlot].sName);
  return TRUE;
}

BOOLEAN T_NAV_bCheckCurrentRoute(const ROUTE *pRoute) {
  const ROUTE *pCurrent = T_NAV_pGetCurrentRoute();
  if (pCurrent->nCount != pRoute->nCount + 1 || pCurrent->nCount < 2) return TRUE;
  for (U32 i = 1; i < nLinks(*pCurrent); ++i) {
    const WAYPOINT *pNavigated = T_NAV_pGetWaypoint(pCurrent->anWaypoint[i]);
    if (pNavigated == nullptr || pNavigated->u8Status != WP_STATUS_TEMPORARY) continue;
    const WAYPOINT *pOffered = T_NAV_pGetWaypoint(pRoute->anWaypoint[i - 1]);
    if (pOffered == nullptr) return FALSE;  // an empty point cannot equal a navigated one
    // Compared as a normal waypoint; the table's own slot keeps its temporary status.
    WAYPOINT asNormal = *pNavigated;
    asNormal.u8Status = WP_STATUS_NORMAL;
    U8 au8Navigated[NAV_WAYPOINT_BYTES], au8Offered[NAV_WAYPOINT_BYTES];
    NAV_vPackWaypoint(&asNormal, au8Navigated);
    NAV_vPackWaypoint(pOffered, au8Offered);
    if (std::memcmp(au8Navigated, au8Offered, sizeof au8Navigated) != 0) return FALSE;
  }
  return TRUE;
}
