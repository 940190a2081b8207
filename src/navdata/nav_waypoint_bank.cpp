// Own-bank state, counts and the hash pass.
#include "navdata/nav_waypoint_bank.h"

#include <algorithm>
#include <cstring>

#include "kernel/kernel_defs.h"
#include "kernel/mutex.h"
#include "navdata/nav_hash.h"

namespace {

constexpr NAV_OWN_BANK_STATE kStart = {-1, NAV_WAYPOINT_SLOTS - 1, -1, 0, 0, FALSE, 0, FALSE};
NAV_OWN_BANK_STATE s_State = kStart;

bool bHoldsWaypoint(const WAYPOINT &w) { return w.u8Status >= WP_STATUS_NORMAL && w.u8Status <= WP_STATUS_MOB; }
bool bIsStored(const WAYPOINT &w) { return w.u8Status == WP_STATUS_NORMAL || w.u8Status == WP_STATUS_MOB; }

bool bSameContent(const WAYPOINT &a, const WAYPOINT &b) {
  return a.u8Icon == b.u8Icon && a.u16Depth == b.u16Depth && a.u32DateTime == b.u32DateTime && a.pt.x == b.pt.x &&
         a.pt.y == b.pt.y && std::memcmp(a.sName, b.sName, sizeof a.sName) == 0;
}

}  // namespace

NAV_OWN_BANK_STATE *NAV_pOwnBankState(void) { return &s_State; }
void NAV_vResetOwnBankState(void) { s_State = kStart; }

void T_NAV_vGetWaypointStatus(S16 *ps16Shared, S16 *ps16Locked, S16 *ps16Free) {
  S16 nShared = 0, nLocked = 0, nFree = 0;
  for (const WAYPOINT &w : NAV_pWaypointTable()[0]) {
    if (w.u8Status == WP_STATUS_FREE) {
      ++nFree;
    } else if (bHoldsWaypoint(w)) {
      ++(w.bWpNotShared ? nLocked : nShared);
    }
  }
  *ps16Shared = nShared;
  *ps16Locked = nLocked;
  *ps16Free = nFree;
}

S32 T_NAV_TWR_nGetWaypointCount(void) {
  S32 nCount = 0;
  L_MUTEX_LockWait(RES_NAV_DATA);
  for (U32 nBank = 0; nBank < NAV_WAYPOINT_BANKS; ++nBank) {
    for (const WAYPOINT &w : NAV_pWaypointTable()[nBank]) nCount += bIsStored(w) ? 1 : 0;
  }
  L_MUTEX_Unlock(RES_NAV_DATA);
  return nCount;
}

BOOLEAN T_NAV_bWaypointsExist(void) {
  BOOLEAN bAny = FALSE;
  L_MUTEX_LockWait(RES_NAV_DATA);
  for (U32 nBank = 0; nBank < NAV_WAYPOINT_BANKS && !bAny; ++nBank) {
    for (const WAYPOINT &w : NAV_pWaypointTable()[nBank]) {
      if (bHoldsWaypoint(w)) {
        bAny = TRUE;
        break;
      }
    }
  }
  L_MUTEX_Unlock(RES_NAV_DATA);
  return bAny;
}

void T_NAV_TWR_vHashWaypoints(void) {
  S32 nLast = 0;
  S16 nUsed = 0;
  s_State.nNumberSharedWaypoints = 0;
  s_State.nNumberLockedWaypoints = 0;
  L_MUTEX_LockWait(RES_NAV_DATA);
  NAV_pnMaxUsedWaypointIndex()[0] = 0;
  for (U32 i = 0; i < NAV_WAYPOINT_SLOTS; ++i) {
    const WAYPOINT &w = NAV_pWaypointTable()[0][i];
    T_NAV_vUpdateWaypointHashTableItem(i);  // 0 for free and group slots
    if (w.u8Status == WP_STATUS_FREE || w.u8Status == WP_STATUS_GROUP_HEADER ||
        w.u8Status == WP_STATUS_GROUP_BODY) {
      continue;
    }
    nLast = static_cast<S32>(i);
    ++nUsed;
    if (w.bWpNotShared) {
      ++s_State.nNumberLockedWaypoints;
    } else if (w.u8Status != WP_STATUS_TEMPORARY) {
      ++s_State.nNumberSharedWaypoints;
    }
  }
  NAV_pnWaypointsUsed()[0] = nUsed;
  NAV_pnMaxUsedWaypointIndex()[0] = nLast + 1;
  L_MUTEX_Unlock(RES_NAV_DATA);
}

U16 T_NAV_TWR_u16FindWaypoint(const WAYPOINT *pWaypoint) {
  const U16 u16Hash = T_NAV_TWR_u16HashWaypoint(pWaypoint);
  const U16 *pu16Hash = T_NAV_TWR_pu16GetWaypointsHash();
  for (U32 i = 0; i < NAV_WAYPOINT_SLOTS; ++i) {
    if (pu16Hash[i] == u16Hash && bSameContent(NAV_pWaypointTable()[0][i], *pWaypoint)) return static_cast<U16>(i);
  }
  return NAV_LINK_NONE;
}

U16 T_NAV_TWR_u16FindWaypointEX(NAV_DATA_SPACE *pData, const WAYPOINT *pWaypoint) {
  if (pData == nullptr) return T_NAV_TWR_u16FindWaypoint(pWaypoint);
  for (U32 i = 0; i < pData->nWaypointCount && i < NAV_LINK_NONE; ++i) {
    const WAYPOINT &w = pData->pWaypoint[i];
    if (bIsStored(w) && bSameContent(w, *pWaypoint)) return static_cast<U16>(i);
  }
  return NAV_LINK_NONE;
}

void T_NAV_vCopyWaypoint(U32 nIndex, WAYPOINT *pWaypoint) {
  L_MUTEX_LockWait(RES_NAV_DATA);
  if (const WAYPOINT *p = T_NAV_pGetWaypoint(nIndex)) *pWaypoint = *p;
  L_MUTEX_Unlock(RES_NAV_DATA);
}

void T_NAV_vCopyWaypointPoint(U32 nIndex, POINT *pPoint) {
  L_MUTEX_LockWait(RES_NAV_DATA);
  if (const WAYPOINT *p = T_NAV_pGetWaypoint(nIndex)) *pPoint = p->pt;
  L_MUTEX_Unlock(RES_NAV_DATA);
}

void T_NAV_vCopyWaypointName(U32 nIndex, char *sName, U32 nLimit) {
  if (nLimit == 0) return;
  L_MUTEX_LockWait(RES_NAV_DATA);
  size_t uLength = 0;  // no waypoint: an empty name, so callers never show a stale buffer
  if (const WAYPOINT *p = T_NAV_pGetWaypoint(nIndex)) {
    // A full name field has no terminator.
    uLength = std::min<size_t>(strnlen(p->sName, sizeof p->sName), nLimit - 1);
    std::memcpy(sName, p->sName, uLength);
  }
  sName[uLength] = 0;
  L_MUTEX_Unlock(RES_NAV_DATA);
}

U8 T_NAV_u8GetWaypointIcon(U32 nIndex) {
  L_MUTEX_LockWait(RES_NAV_DATA);
  const WAYPOINT *p = T_NAV_pGetWaypoint(nIndex);
  const U8 u8Icon = p != nullptr ? p->u8Icon : 0;
  L_MUTEX_Unlock(RES_NAV_DATA);
  return u8Icon;
}
