// Stand-in for the navigation services the readouts call, until the navigation task is written: a small table of
// waypoints kept in memory, positions in degrees and decimal minutes with English hemisphere letters.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "draw/icon_data.h"
#include "nav/nav_standin.h"

namespace {

constexpr U32 kWaypoints = 16;
std::mutex s_mutex;
WAYPOINT s_aWaypoints[kWaypoints];
POINT s_aPoints[kWaypoints];
U32 s_u32AISMenuSetups = 0;
BOOLEAN s_bMOB = FALSE;
ROUTE s_route;

// Only the low bits of a link select a slot here; anything else is not stored.
const WAYPOINT *find(U32 nIndex) { return nIndex < kWaypoints ? &s_aWaypoints[nIndex] : nullptr; }

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

void T_NAV_vCopyWaypoint(U32 nIndex, WAYPOINT *pWaypoint) {
  std::lock_guard<std::mutex> lock(s_mutex);
  if (const WAYPOINT *p = find(nIndex)) *pWaypoint = *p;
}

void T_NAV_vCopyWaypointName(U32 nIndex, char *sName, U32 nLimit) {
  if (nLimit == 0) return;
  std::lock_guard<std::mutex> lock(s_mutex);
  const WAYPOINT *p = find(nIndex);
  snprintf(sName, nLimit, "%.11s", p ? p->sName : "");
}

void T_NAV_vCopyWaypointPoint(U32 nIndex, POINT *pPoint) {
  std::lock_guard<std::mutex> lock(s_mutex);
  *pPoint = nIndex < kWaypoints ? s_aPoints[nIndex] : POINT{};
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

void NAV_STANDIN_vSetWaypointPoint(U32 nIndex, POINT tPoint) {
  std::lock_guard<std::mutex> lock(s_mutex);
  if (nIndex < kWaypoints) s_aPoints[nIndex] = tPoint;
}

U8 T_NAV_u8GetWaypointIcon(U32 nIndex) {
  std::lock_guard<std::mutex> lock(s_mutex);
  const WAYPOINT *p = find(nIndex);
  return p ? p->u8Icon : 0;
}

BOOLEAN T_NAV_bIsMOBInProgress(void) { return s_bMOB; }

// The chart views with a cursor, on any side.
BOOLEAN T_NAV_bIsMyChartCursorView(LAYER_ID eView, SPLIT_WINDOW_TYPE) {
  const S32 s32View = eView == UNKNOWN_VIEW ? currentView() : eView;
  return s32View >= CHART_PLUS_CHART_VIEW_PRIORITY && s32View <= CHART_PLUS_SIDESCAN_VIEW_PRIORITY;
}

ROUTE *T_NAV_pGetCurrentRoute(void) { return &s_route; }

void NAV_STANDIN_vSetWaypoint(U32 nIndex, const char *sName, U8 u8Icon) {
  std::lock_guard<std::mutex> lock(s_mutex);
  if (nIndex >= kWaypoints) return;
  snprintf(s_aWaypoints[nIndex].sName, sizeof s_aWaypoints[nIndex].sName, "%s", sName);
  s_aWaypoints[nIndex].u8Icon = u8Icon;
}

void NAV_STANDIN_vSetMOB(BOOLEAN bInProgress) { s_bMOB = bInProgress; }

void NAV_STANDIN_vReset(void) {
  std::lock_guard<std::mutex> lock(s_mutex);
  memset(s_aWaypoints, 0, sizeof s_aWaypoints);
  memset(&s_route, 0, sizeof s_route);
  memset(s_aPoints, 0, sizeof s_aPoints);
  s_u32AISMenuSetups = 0;
  s_bMOB = FALSE;
}
