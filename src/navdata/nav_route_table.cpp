// Route table state and the route hash pass.
#include "navdata/nav_route_table.h"

#include "kernel/kernel_defs.h"
#include "kernel/mutex.h"
#include "navdata/nav_hash.h"

namespace {
constexpr NAV_ROUTE_STATE kStart = {-1, NAV_ROUTES - 1, -1, 0, 0};
NAV_ROUTE_STATE s_State = kStart;
}  // namespace

NAV_ROUTE_STATE *NAV_pRouteState(void) { return &s_State; }
void NAV_vResetRouteState(void) { s_State = kStart; }

void T_NAV_TWR_vHashRoutes(void) {
  L_MUTEX_LockWait(RES_NAV_DATA);
  s_State.nRoutesUsed = 0;
  s_State.nNumberLockedRoutes = 0;
  for (U32 i = 0; i < NAV_ROUTES; ++i) {
    const ROUTE &route = NAV_pRouteTable()[i];
    if (route.nCount == 0 && route.u32DateTime == 0) {
      NAV_pDerivedTables()->au16RouteHash[i] = 0;
      continue;
    }
    ++s_State.nRoutesUsed;
    if (route.bRtNotShared) ++s_State.nNumberLockedRoutes;
    T_NAV_vUpdateRouteHashTableItem(i);
  }
  L_MUTEX_Unlock(RES_NAV_DATA);
}

void T_NAV_vCopyRoute(U32 nIndex, ROUTE *pRoute) {
  const ROUTE *pStored = T_NAV_pGetRoute(nIndex);
  if (pStored == nullptr) return;
  L_MUTEX_LockWait(RES_NAV_DATA);
  *pRoute = *pStored;
  L_MUTEX_Unlock(RES_NAV_DATA);
}
