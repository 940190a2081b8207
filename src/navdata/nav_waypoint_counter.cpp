// Default waypoint name counter.
#include "navdata/nav_waypoint_counter.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "kernel/kernel_defs.h"
#include "kernel/mutex.h"
#include "navdata/nav_records.h"
#include "settings/database.h"

namespace {

constexpr U32 kCounterLimit = 99999;

U32 u32Counter(bool *pbPresent = nullptr) {
  U32 u32Value = 0;
  bool bPresent = H_DATABASE_bFetchU32(FCID("SWID"), &u32Value, nullptr, nullptr);
  if (pbPresent != nullptr) *pbPresent = bPresent;
  return bPresent ? u32Value : 0;
}

void vStoreCounter(U32 u32Value) {
  H_DATABASE_bUpdateEverythingU32(FCID("SWID"), u32Value, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
}

}  // namespace

S32 NAV_s32DefaultNameNumber(const char *pcName) {
  char sName[NAV_WAYPOINT_NAME_BYTES + 1] = {};
  std::memcpy(sName, pcName, NAV_WAYPOINT_NAME_BYTES);  // a full field has no terminator
  const size_t uLength = std::strlen(sName);
  for (size_t i = 2; i < uLength; ++i) {
    if (!std::isdigit(static_cast<unsigned char>(sName[i]))) return -1;
  }
  int nNumber = 0;
  if (std::sscanf(sName, "WP%10d", &nNumber) != 1 || nNumber > 9999) return 1;
  return nNumber;
}

S32 T_NAV_s32GetMaxWayPointCounter(void) {
  S32 nMax = static_cast<S32>(u32Counter());
  L_MUTEX_LockWait(RES_NAV_DATA);
  const S32 nTop = std::min<S32>(T_NAV_TWR_nGetMaxUsedWaypointIndex(0), NAV_WAYPOINT_SLOTS);
  for (S32 i = 0; i < nTop; ++i) {
    const WAYPOINT &w = NAV_pWaypointTable()[0][i];
    if (w.u8Status < WP_STATUS_NORMAL || w.u8Status > WP_STATUS_MOB) continue;
    nMax = std::max(nMax, NAV_s32DefaultNameNumber(w.sName));
  }
  L_MUTEX_Unlock(RES_NAV_DATA);
  return nMax;
}

void T_NAV_vUpdateWaypointCounter(U32 nIndex) {
  if (nIndex >= NAV_WAYPOINT_SLOTS) return;
  L_MUTEX_LockWait(RES_NAV_DATA);
  const WAYPOINT w = NAV_pWaypointTable()[0][nIndex];
  L_MUTEX_Unlock(RES_NAV_DATA);
  if ((w.u8Status != WP_STATUS_NORMAL && w.u8Status != WP_STATUS_MOB) || w.sName[0] == 0) return;
  const S32 nNumber = NAV_s32DefaultNameNumber(w.sName);
  const U32 u32Old = u32Counter();
  if (nNumber < 0 || static_cast<U32>(nNumber) <= u32Old) return;
  const U32 u32New = std::min<U32>(static_cast<U32>(nNumber), kCounterLimit);
  if (u32New != u32Old) vStoreCounter(u32New);
}

void T_NAV_vCancelWaypointCounterIncrease(void) {
  bool bPresent = false;
  const U32 u32Value = u32Counter(&bPresent);
  if (!bPresent) {
    vStoreCounter(0);
  } else if (u32Value > 0) {
    vStoreCounter(u32Value - 1);
  }
}
