// Stand-in for the navigation services the readouts call, until the navigation task is written: positions in
// degrees and decimal minutes with English hemisphere letters; test waypoints go into the store.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "draw/icon_data.h"
#include "nav/nav_standin.h"

#include "kernel/kernel_defs.h"
#include "kernel/mutex.h"

namespace {

std::mutex s_mutex;
U32 s_u32AISMenuSetups = 0;
BOOLEAN s_bMOB = FALSE;
ROUTE s_route;


S32 currentView() {
  S32 s32View = 0;
  H_DATABASE_bFetchS32(FCID("CVEW"), &s32View, nullptr, nullptr);
  return s32View;
}

}  // namespace

// Every waypoint icon looks the same until the navigation artwork exists.
const ICON *const g_NAV_Icons_Large[NAV_ICON_COUNT] = {
#define NAV_STANDIN_ICON8 &Waypointcursor_icon, &Waypointcursor_icon, &Waypointcursor_icon, &Waypointcursor_icon, \
                          &Waypointcursor_icon, &Waypointcursor_icon, &Waypointcursor_icon, &Waypointcursor_icon,
    NAV_STANDIN_ICON8 NAV_STANDIN_ICON8 NAV_STANDIN_ICON8 NAV_STANDIN_ICON8 NAV_STANDIN_ICON8 NAV_STANDIN_ICON8
    NAV_STANDIN_ICON8 NAV_STANDIN_ICON8 NAV_STANDIN_ICON8
#undef NAV_STANDIN_ICON8
};

void U_NAV_vFormatPosition(DATA_TYPE eType, double dValue, char *sValue, NAV_FORMAT_ENUM eFormat, U32,
                           INFO_POSITION_SPACING ePositionHasSpace) {
  const bool bLat = eType == D_POSITION_LAT;
  const char cHemisphere = bLat ? (dValue < 0 ? 'S' : 'N') : (dValue < 0 ? 'W' : 'E');
  const double v = std::fabs(dValue);
  char acDigits[32];
  if (eFormat == F_DD_DDDDD) {
    snprintf(acDigits, sizeof acDigits, bLat ? "%08.5f\xBA" : "%09.5f\xBA", v);
  } else {
    double dDeg = std::floor(v), dMin = (v - dDeg) * 60.0;
    if (dMin >= 59.9995) {
      dMin = 0.0;
      dDeg += 1.0;
    }
    snprintf(acDigits, sizeof acDigits, bLat ? "%02.0f\xBA%06.3f'" : "%03.0f\xBA%06.3f'", dDeg, dMin);
  }
  char acText[48];
  snprintf(acText, sizeof acText, "%c%s%s", cHemisphere, ePositionHasSpace == IPS_SPACE ? " " : "", acDigits);
  acText[30] = '\0';
  strcpy(sValue, acText);
}

BOOLEAN T_NAV_bIsMyChartView(S32 eView) {
  const S32 s32View = eView == UNKNOWN_VIEW ? currentView() : eView;
  return s32View >= CHART_PLUS_CHART_VIEW_PRIORITY && s32View <= CHART_PLUS_SIDESCAN_VIEW_PRIORITY;
}

// No bird's-eye view exists until the chart display is written.
BOOLEAN T_NAV_bIsMyBirdsEyeView(S32) { return FALSE; }

void T_NAV_vSetupAISMenuItems(void) {
  std::lock_guard<std::mutex> lock(s_mutex);
  ++s_u32AISMenuSetups;
}

U32 NAV_STANDIN_u32AISMenuSetups(void) {
  std::lock_guard<std::mutex> lock(s_mutex);
  return s_u32AISMenuSetups;
}

BOOLEAN T_NAV_bIsMOBInProgress(void) { return s_bMOB; }

// The chart views with a cursor, on any side.
BOOLEAN T_NAV_bIsMyChartCursorView(LAYER_ID eView, SPLIT_WINDOW_TYPE) {
  const S32 s32View = eView == UNKNOWN_VIEW ? currentView() : eView;
  return s32View >= CHART_PLUS_CHART_VIEW_PRIORITY && s32View <= CHART_PLUS_SIDESCAN_VIEW_PRIORITY;
}

ROUTE *T_NAV_pGetCurrentRoute(void) { return &s_route; }

void NAV_STANDIN_vSetWaypoint(U32 nIndex, const char *sName, U8 u8Icon) {
  if (!NAV_bIsWaypointLink(nIndex)) return;
  L_MUTEX_LockWait(RES_NAV_DATA);
  WAYPOINT *pSlot = T_NAV_pGetWaypoint(nIndex);
  snprintf(pSlot->sName, sizeof pSlot->sName, "%s", sName);
  pSlot->u8Icon = u8Icon;
  L_MUTEX_Unlock(RES_NAV_DATA);
}

void NAV_STANDIN_vSetWaypointPoint(U32 nIndex, POINT tPoint) {
  if (!NAV_bIsWaypointLink(nIndex)) return;
  L_MUTEX_LockWait(RES_NAV_DATA);
  T_NAV_pGetWaypoint(nIndex)->pt = tPoint;
  L_MUTEX_Unlock(RES_NAV_DATA);
}

void NAV_STANDIN_vSetMOB(BOOLEAN bInProgress) { s_bMOB = bInProgress; }

void NAV_STANDIN_vReset(void) {
  std::lock_guard<std::mutex> lock(s_mutex);
  memset(&s_route, 0, sizeof s_route);
  s_u32AISMenuSetups = 0;
  s_bMOB = FALSE;
  L_MUTEX_LockWait(RES_NAV_DATA);
  memset(NAV_pWaypointTable()[0], 0, sizeof NAV_pWaypointTable()[0]);
  L_MUTEX_Unlock(RES_NAV_DATA);
}
