// Stand-in of the store's start-up load: the steps whose pieces exist today (tables cleared, directories,
// flash scans, old-record rewrite, empty routes, route backup, recorded paths with their identities, the group
// tree's start-up, the waypoint name counter, the hash passes), recorded for tests and logged. The route
// partition is not passed here.
#include "navdata/navdata_load_standin.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>

#include "autopilot/vantrel_uid_standin.h"
#include "kernel/kernel_defs.h"
#include "kernel/log.h"
#include "kernel/mutex.h"
#include "navdata/nav_card.h"
#include "navdata/nav_nvram.h"
#include "navdata/nav_records.h"
#include "navdata/nav_route_table.h"
#include "navdata/nav_waypoint_bank.h"
#include "navdata/nav_waypoint_counter.h"
#include "navdata/navdata_group_standin.h"
#include "settings/database.h"

namespace {

std::mutex s_recordMutex;
NAVDATA_LOAD_STANDIN_RECORD s_tRecord;

// Clears what the load fills: the status byte of every slot, the track and path counts, the route dates.
void vClearForLoad(void) {
  for (U32 nBank = 0; nBank < NAV_WAYPOINT_BANKS; ++nBank) {
    for (WAYPOINT &slot : NAV_pWaypointTable()[nBank]) std::memset(&slot, 0, 1);
    NAV_pnMaxUsedWaypointIndex()[nBank] = 0;
  }
  NAV_DERIVED_TABLES *pDerived = NAV_pDerivedTables();
  std::memset(pDerived->au16WaypointHash, 0, sizeof pDerived->au16WaypointHash);
  for (U32 i = 0; i < NAV_TRACKS; ++i) {
    NAV_pTrackHeaderTable()[i].u16Count = 0;
    NAV_pTrackHeaderTable()[i].u16FirstDelta = 0;
  }
  for (U32 i = 0; i < NAV_ROUTES; ++i) {
    ROUTE &route = NAV_pRouteTable()[i];
    route.nCount = 0;
    route.u32DateTime = 0;
    pDerived->au16RouteHash[i] = 0;
  }
  for (U32 i = 0; i < NAV_WENDRIXS; ++i) NAV_pWendrixTable()[i].tHeader.nCount = 0;
}

S32 nLoadWendrixs(S32 *pnTop) {
  std::string sLine(79, '+');
  *pnTop = 0;
  T_NAV_NVRAM_vScanWendrix(NAV_pWendrixTable(), pnTop);
  log_me("%s", sLine.c_str());
  S32 nUsed = 0;
  for (U32 i = 0; i < NAV_WENDRIXS; ++i) {
    WENDRIX_HEADER &header = NAV_pWendrixTable()[i].tHeader;
    if (header.nCount == 0) continue;
    if (std::memchr(header.sName, 0, sizeof header.sName) == nullptr) {
      header.sName[sizeof header.sName - 1] = 0;
      header.u64UID = 0;
    }
    log_me("Wendrix%d : nCount: %x   Name: %s ", static_cast<int>(i), header.nCount, header.sName);
    ++nUsed;
    if (header.u64UID == 0 || ((header.u64UID >> 44) & 0xF) != 6) {
      U_VANTREL_COMMON_vGenerateWendrixUID(&NAV_pWendrixTable()[i]);
      T_NAV_NVRAM_vSaveWendrix(&NAV_pWendrixTable()[i], static_cast<U16>(i), FALSE);
    }
  }
  log_me("Number of Wendrixs: %d", static_cast<int>(nUsed));
  log_me("%s", sLine.c_str());
  return nUsed;
}

}  // namespace

void T_NAV_vInitTracksWaypointsRoutes(void) {
  L_MUTEX_LockWait(RES_NAV_DATA);
  vClearForLoad();
  T_NAV_NVRAM_vInit();
  S32 nTop = 0;
  T_NAV_NVRAM_vScan(NAV_pTrackHeaderTable(), NAV_pWaypointTable()[0], &nTop, NAV_pRouteTable());
  NAV_pnMaxUsedWaypointIndex()[0] = nTop;
  T_NAV_DATA_vRewriteFlaggedWaypoints(NAV_pWaypointTable()[0]);

  NAV_DERIVED_TABLES *pDerived = NAV_pDerivedTables();
  for (U32 i = 0; i < NAV_ROUTES; ++i) {
    ROUTE &route = NAV_pRouteTable()[i];
    if (route.nCount == 0 && route.u32DateTime == 0) std::memset(&route, 0, sizeof route);
  }
  std::memcpy(pDerived->aRouteBackup, NAV_pRouteTable(), sizeof pDerived->aRouteBackup);

  S32 nTopWendrix = 0;
  S32 nWendrixs = nLoadWendrixs(&nTopWendrix);

  const U32 u32Counter = static_cast<U32>(std::min<S32>(T_NAV_s32GetMaxWayPointCounter(), 99999));
  U32 u32Stored = 0;  // a missing counter reads as 0
  H_DATABASE_bFetchU32(FCID("SWID"), &u32Stored, nullptr, nullptr);
  if (u32Stored != u32Counter) {
    H_DATABASE_bUpdateEverythingU32(FCID("SWID"), u32Counter, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  }

  T_NAV_TWR_vHashWaypoints();
  const S32 nSlots = NAV_pnWaypointsUsed()[0];
  nTop = NAV_pnMaxUsedWaypointIndex()[0];
  T_NAV_TWR_vHashRoutes();
  const S32 nRoutes = NAV_pRouteState()->nRoutesUsed;
  const S32 nLocked = NAV_pRouteState()->nNumberLockedRoutes;
  NAV_pnWaypointsUsed()[0] = static_cast<S16>(nSlots);
  T_NAV_GROUP_DATA_vInitGroups();
  S32 nTracks = 0;
  for (U32 i = 0; i < NAV_TRACKS; ++i) {
    if (NAV_pTrackHeaderTable()[i].u16Count != 0) ++nTracks;
  }
  log_me("nav: store loaded: %d waypoint slots below %d, %d routes (%d locked), %d tracks, %d paths",
         static_cast<int>(nSlots), static_cast<int>(nTop), static_cast<int>(nRoutes), static_cast<int>(nLocked),
         static_cast<int>(nTracks), static_cast<int>(nWendrixs));
  {
    std::lock_guard<std::mutex> lock(s_recordMutex);
    s_tRecord = NAVDATA_LOAD_STANDIN_RECORD{s_tRecord.u32Loads + 1, nSlots,  nTop,   nRoutes,
                                            nLocked,               nTracks, nWendrixs, nTopWendrix};
  }
  L_MUTEX_Unlock(RES_NAV_DATA);
}

NAVDATA_LOAD_STANDIN_RECORD NAVDATA_LOAD_STANDIN_tRecordForTest(void) {
  std::lock_guard<std::mutex> lock(s_recordMutex);
  return s_tRecord;
}
