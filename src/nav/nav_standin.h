// Stand-in declarations of the navigation services the readouts use, until the navigation task is written;
// the real headers replace this one.
#pragma once
#include "chartlib/chartlib_types.h"
#include "draw/icon.h"
#include "navdata/nav_records.h"
#include "navdata/nav_waypoint_bank.h"
#include "settings/database.h"
#include "view/view.h"

typedef enum { F_DD_DDDDD = 5, F_DD_MM_MMM = 6, F_DD_MM_SS = 7 } NAV_FORMAT_ENUM;
typedef enum { IPS_NO_SPACE = 0, IPS_SPACE = 1 } INFO_POSITION_SPACING;
typedef U8 NAV_ICON_TYPE;
constexpr U32 NAV_ICON_COUNT = 72;
constexpr U16 NAV_NO_WAYPOINT = 0xFFFF;

// One coordinate: hemisphere letter, a blank with IPS_SPACE, then the digits; at most 30 characters.
void U_NAV_vFormatPosition(DATA_TYPE eType, double dValue, char *sValue, NAV_FORMAT_ENUM eFormat, U32 nLang,
                           INFO_POSITION_SPACING ePositionHasSpace);
// The view (UNKNOWN_VIEW for the current one) is a chart view / the bird's-eye view.
BOOLEAN T_NAV_bIsMyChartView(S32 eView);
BOOLEAN T_NAV_bIsMyBirdsEyeView(S32 eView);
// Registers the AIS menu items; the stand-in counts the calls.
void T_NAV_vSetupAISMenuItems(void);
U32 NAV_STANDIN_u32AISMenuSetups(void);
BOOLEAN T_NAV_bIsMOBInProgress(void);
BOOLEAN T_NAV_bIsMyChartCursorView(LAYER_ID eView, SPLIT_WINDOW_TYPE eSplit);
ROUTE *T_NAV_pGetCurrentRoute(void);
extern const ICON *const g_NAV_Icons_Large[NAV_ICON_COUNT];

// Test hooks of the stand-in: waypoints put into the store's own bank (name and icon, position), the
// man-overboard state; the reset empties the own bank.
void NAV_STANDIN_vSetWaypoint(U32 nIndex, const char *sName, U8 u8Icon);
void NAV_STANDIN_vSetWaypointPoint(U32 nIndex, POINT tPoint);
void NAV_STANDIN_vSetMOB(BOOLEAN bInProgress);
void NAV_STANDIN_vReset(void);
