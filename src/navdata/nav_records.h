// The navigation store's records, item links, tables and plain accessors. Records live in memory as host
// structs; every byte image that leaves the process goes through the packers below (little-endian images, the
// flash record bodies), never a struct copy.
#pragma once
#include "corvan/point.h"
#include "corvan/types.h"

enum : U32 {
  NAV_WAYPOINT_SLOTS = 3000,
  NAV_WAYPOINT_BANKS = 4,
  NAV_ROUTES = 50,
  NAV_ROUTE_POINTS = 50,
  NAV_TRACKS = 50,
  NAV_TRACK_DELTAS = 21835,
  NAV_WENDRIXS = 50,
  NAV_WENDRIX_POINTS = 352,
  NAV_LINK_TABLE = 16384,
};

constexpr S32 NAV_X_LIMIT = 20038300;
constexpr S32 NAV_X_SPAN = 40076600;
constexpr S32 NAV_Y_LIMIT = 15433198;

// Sizes of the little-endian record images.
enum : U32 {
  NAV_WAYPOINT_BYTES = 28,
  NAV_WAYPOINT_NAME_BYTES = 12,
  NAV_ROUTE_BYTES = 128,
  NAV_TRACK_HEADER_BYTES = 60,
  NAV_TRACK_BYTES = 131072,
  NAV_WENDRIX_HEADER_BYTES = 256,
  NAV_WENDRIX_BYTES = 3072,
};

enum : U8 {
  WP_STATUS_FREE = 0,
  WP_STATUS_NORMAL = 1,
  WP_STATUS_TEMPORARY = 2,
  WP_STATUS_MOB = 3,
  WP_STATUS_GROUP_HEADER = 16,
  WP_STATUS_GROUP_BODY = 17,
  WP_STATUS_GROUP_CLAIMED = 63,
};

typedef struct {
  U8 u8Status : 6;
  U8 bHide : 1;
  U8 bWpNotShared : 1;
  U8 u8Icon;
  U16 u16Depth;
  U32 u32DateTime;
  POINT pt;
  char sName[12];
} WAYPOINT;

typedef struct {
  U8 u8Status : 6;
  U8 bHide : 1;
  U8 bWpNotShared : 1;
  U8 u8Icon;
  U16 u16Depth;
  U32 u32DateTime;
  U16 u16ParentIndex;
  U16 u16Reserved1;
  U16 u16FirstBodyIndex;
  U16 u16Reserved2;
  char sName[12];
} GROUP_HEADER;

typedef struct {
  U8 u8Status : 6;
  U8 bHide : 1;
  U8 bWpNotShared : 1;
  U8 u8Icon;
  U16 u16NextIndex;
  U16 u16Item[12];
} GROUP_BODY;

typedef union {
  WAYPOINT tWaypoint;
  GROUP_HEADER tHeader;
  GROUP_BODY tBody;
} GROUP_SLOT;

typedef struct {
  U32 nCount : 30;
  U32 bHide : 1;
  U32 bRtNotShared : 1;
  U32 u32DateTime;
  char sName[20];
  U16 anWaypoint[NAV_ROUTE_POINTS];
} ROUTE;

typedef struct {
  U16 u16Count;
  U16 u16FirstDelta;
  U32 u32DateTime;
  POINT ptFirst;
  POINT ptLast;
  POINT ptLowerLeft;
  POINT ptUpperRight;
  char sName[20];
} TRACK_HEADER;

typedef struct {
  S16 x;
  S16 y;
  U16 u16Depth;
} TRACK_DELTA_DEPTH_TRIPLE;

typedef struct {
  TRACK_HEADER sHeader;
  TRACK_DELTA_DEPTH_TRIPLE aDelta[NAV_TRACK_DELTAS];
  U16 u16Reserved;
} TRACK;

enum : U32 { WENDRIX_STYLE_THIN_LINE = 0, WENDRIX_STYLE_WIDE_LINE = 1 };

typedef struct {
  U32 nCount;
  U32 u32DateTime;
  char sName[12];
  U32 pad1;
  U32 u32Flags;
  U32 u32TotalLengthFt;
  U32 u32DateTimeLastUsed;
  U32 u32Visible;
  U32 u32Style;
  U32 u32Color;
  POINT ptLowerLeft;
  POINT ptUpperRight;
  U64 u64UID;
  U32 u32LastModifiedTimeNDate;
  U32 u32DisplayedOnChart;
  U32 u32ClosestTP;
  U32 u32ClosestDTG;
  U32 u32ClosestBRG;
  U32 u32MMCToWendrixId;
  POINT ptOriginPt;
  U32 u32PointsHash;
  U8 pad[148];
} WENDRIX_HEADER;

typedef struct {
  WENDRIX_HEADER tHeader;
  POINT aTrackPoints[NAV_WENDRIX_POINTS];
} WENDRIX;

// The second set of tables that card import and export work on.
typedef struct {
  WAYPOINT *pWaypoint;
  U32 nWaypointCount;
  ROUTE *pRoute;
  U32 nRouteCount;
  TRACK_HEADER *pTrackHeader;
  U32 nTrackCount;
  WENDRIX_HEADER *pWendrixHeader;
  U32 nWendrixCount;
} NAV_DATA_SPACE;

// Mercator bounds: x wraps once, y is clamped.
S32 NAV_s32WrapX(S64 x);
S32 NAV_s32ClampY(S64 y);

// Item links.
constexpr U16 NAV_LINK_NONE = 0xFFFF;
constexpr U16 NAV_LINK_ROUTE = 0x8800;
constexpr U16 NAV_LINK_TRACK = 0x8000;
constexpr U16 NAV_LINK_WENDRIX = 0x4C00;
constexpr U16 NAV_LINK_GROUP = 0xC000;
BOOLEAN NAV_bIsWaypointLink(U32 nLink);
BOOLEAN NAV_bIsGroupLink(U32 nLink);
BOOLEAN NAV_bIsRouteLink(U32 nLink);
// u16UnitIdBits: this unit's 7-bit id shifted left by 6.
BOOLEAN NAV_bIsLocalTrackLink(U32 nLink, U16 u16UnitIdBits);
BOOLEAN NAV_bIsWendrixLink(U32 nLink);
// The slot a group link names (0xCFFF is slot 2999).
U32 NAV_nGroupLinkSlot(U32 nLink);

// Accessors; callers hold RES_NAV_DATA around every use of a returned pointer.
WAYPOINT *T_NAV_pGetWaypoint(U32 nIndex);
WAYPOINT *T_NAV_TWR_pGetNetworkWaypoint(U32 nIndex, U32 nTable);
BOOLEAN T_NAV_TWR_bIsLocalWaypoint(U32 nIndex);
WAYPOINT *T_NAV_pGetWaypointEX(NAV_DATA_SPACE *pData, U32 nIndex);
ROUTE *T_NAV_pGetRoute(U32 nIndex);
TRACK_HEADER *T_NAV_pGetTrackHeader(U32 nIndex);
WENDRIX *T_NAV_pGetWendrix(U32 nIndex);
WENDRIX_HEADER *T_NAV_pGetWendrixHeader(U32 nIndex);
S32 T_NAV_TWR_nGetMaxUsedWaypointIndex(U32 nTable);
U16 T_NAV_TWR_u16GetMaxUsedWaypoint(void);
BOOLEAN T_NAV_bScanWaypoints(S32 *pnIndex, WAYPOINT **ppWaypoint, BOOLEAN bOnlyScanRemote);

// The store's tables (statics of the store; the other store modules reach them here).
WAYPOINT (*NAV_pWaypointTable(void))[NAV_WAYPOINT_SLOTS];
S32 *NAV_pnMaxUsedWaypointIndex(void);
S16 *NAV_pnWaypointsUsed(void);
ROUTE *NAV_pRouteTable(void);
TRACK_HEADER *NAV_pTrackHeaderTable(void);
WENDRIX *NAV_pWendrixTable(void);
// Tables derived from the records (hashes, duplicates, decluttering, the copies kept for the linked unit); the
// 16,384-entry ones are indexed by the low 14 bits of a waypoint link.
typedef struct {
  U16 au16WaypointHash[NAV_WAYPOINT_SLOTS];
  BOOLEAN abWaypointDuplicate[NAV_LINK_TABLE];
  U32 anWaypointDuplicate[NAV_LINK_TABLE];
  S32 abDeclutterWaypoints[NAV_LINK_TABLE];
  S32 abDeclutterWaypointsLeft[NAV_LINK_TABLE];
  ROUTE aRouteBackup[NAV_ROUTES];
  U16 au16RouteHash[NAV_ROUTES];
  WAYPOINT aBigendianWaypoint[NAV_WAYPOINT_SLOTS];
  ROUTE aBigendianRoute[NAV_ROUTES];
} NAV_DERIVED_TABLES;
NAV_DERIVED_TABLES *NAV_pDerivedTables(void);
// Empties every table and the own-bank state (start-up and tests).
void NAV_vClearTables(void);

// Little-endian images. A waypoint-table slot is laid out by its status (group header, group body, waypoint).
void NAV_vPackWaypoint(const WAYPOINT *pSlot, U8 *pu8Out);
void NAV_vUnpackWaypoint(const U8 *pu8In, WAYPOINT *pSlot);
void NAV_vPackRoute(const ROUTE *pRoute, U8 *pu8Out);
void NAV_vUnpackRoute(const U8 *pu8In, ROUTE *pRoute);
void NAV_vPackTrackHeader(const TRACK_HEADER *pHeader, U8 *pu8Out);
void NAV_vUnpackTrackHeader(const U8 *pu8In, TRACK_HEADER *pHeader);
void NAV_vPackTrack(const TRACK *pTrack, U8 *pu8Out);
void NAV_vUnpackTrack(const U8 *pu8In, TRACK *pTrack);
void NAV_vPackWendrixHeader(const WENDRIX_HEADER *pHeader, U8 *pu8Out);
void NAV_vUnpackWendrixHeader(const U8 *pu8In, WENDRIX_HEADER *pHeader);
void NAV_vPackWendrix(const WENDRIX *pWendrix, U8 *pu8Out);
void NAV_vUnpackWendrix(const U8 *pu8In, WENDRIX *pWendrix);

// Checks of counts and links that come from outside; FALSE (logged with the text) for a record that would make
// readers run past it.
BOOLEAN NAV_bRouteIsSound(const ROUTE *pRoute, const char *pcWhere);
BOOLEAN NAV_bWendrixIsSound(const WENDRIX_HEADER *pHeader, const char *pcWhere);
BOOLEAN NAV_bTrackHeaderIsSound(const TRACK_HEADER *pHeader, const char *pcWhere);

// Byte helpers of the images.
void NAV_vPut16(U8 *p, U16 v, bool bBig);
void NAV_vPut32(U8 *p, U32 v, bool bBig);
U16 NAV_u16Get(const U8 *p, bool bBig);
U32 NAV_u32Get(const U8 *p, bool bBig);
