// The store's tables, item links, accessors and little-endian record images.
#include "navdata/nav_records.h"

#include <cstring>

#include "kernel/log.h"
#include "navdata/nav_route_table.h"
#include "navdata/nav_waypoint_bank.h"

static_assert(sizeof(WAYPOINT) == NAV_WAYPOINT_BYTES && sizeof(GROUP_HEADER) == NAV_WAYPOINT_BYTES &&
              sizeof(GROUP_BODY) == NAV_WAYPOINT_BYTES && sizeof(GROUP_SLOT) == NAV_WAYPOINT_BYTES);
static_assert(sizeof(TRACK_DELTA_DEPTH_TRIPLE) == 6 && sizeof(WENDRIX_HEADER) == NAV_WENDRIX_HEADER_BYTES);

namespace {

WAYPOINT s_Waypoint[NAV_WAYPOINT_BANKS][NAV_WAYPOINT_SLOTS];
S32 s_nMaxUsedWaypointIndex[NAV_WAYPOINT_BANKS];
S16 s_nWaypointsUsed[NAV_WAYPOINT_BANKS];
ROUTE s_Route[NAV_ROUTES];
TRACK_HEADER s_TrackHeader[NAV_TRACKS];
WENDRIX s_Wendrix[NAV_WENDRIXS];
NAV_DERIVED_TABLES s_Derived;
// Answered for a slot number past the table, so callers that never expect NULL read an empty slot.
WAYPOINT s_FreeSlot;

void vPutPoint(U8 *p, const POINT &pt, bool bBig) {
  NAV_vPut32(p, static_cast<U32>(pt.x), bBig);
  NAV_vPut32(p + 4, static_cast<U32>(pt.y), bBig);
}

POINT ptGet(const U8 *p, bool bBig) {
  return POINT{static_cast<S32>(NAV_u32Get(p, bBig)), static_cast<S32>(NAV_u32Get(p + 4, bBig))};
}

U8 u8StatusByte(const WAYPOINT *pSlot) {
  return static_cast<U8>(pSlot->u8Status | (pSlot->bHide << 6) | (pSlot->bWpNotShared << 7));
}

void vSetStatusByte(WAYPOINT *pSlot, U8 u8Byte) {
  pSlot->u8Status = u8Byte & 0x3F;
  pSlot->bHide = (u8Byte >> 6) & 1;
  pSlot->bWpNotShared = (u8Byte >> 7) & 1;
}

}  // namespace

void NAV_vPut16(U8 *p, U16 v, bool bBig) {
  p[bBig ? 0 : 1] = static_cast<U8>(v >> 8);
  p[bBig ? 1 : 0] = static_cast<U8>(v);
}

void NAV_vPut32(U8 *p, U32 v, bool bBig) {
  for (int i = 0; i < 4; ++i) p[bBig ? 3 - i : i] = static_cast<U8>(v >> (8 * i));
}

U16 NAV_u16Get(const U8 *p, bool bBig) {
  return bBig ? static_cast<U16>(p[0] << 8 | p[1]) : static_cast<U16>(p[1] << 8 | p[0]);
}

U32 NAV_u32Get(const U8 *p, bool bBig) {
  U32 v = 0;
  for (int i = 0; i < 4; ++i) v |= static_cast<U32>(p[bBig ? 3 - i : i]) << (8 * i);
  return v;
}

S32 NAV_s32WrapX(S64 x) {
  if (x > NAV_X_LIMIT) x -= NAV_X_SPAN;
  if (x < -NAV_X_LIMIT) x += NAV_X_SPAN;
  return static_cast<S32>(x);
}

S32 NAV_s32ClampY(S64 y) {
  if (y > NAV_Y_LIMIT) return NAV_Y_LIMIT;
  if (y < -NAV_Y_LIMIT) return -NAV_Y_LIMIT;
  return static_cast<S32>(y);
}

BOOLEAN NAV_bIsWaypointLink(U32 nLink) { return (nLink & 0xC000) == 0 && (nLink & 0x0FFF) <= 2999; }

BOOLEAN NAV_bIsGroupLink(U32 nLink) {
  return (nLink & 0xFFFF) == 0xCFFF || ((nLink & 0xF000) == NAV_LINK_GROUP && (nLink & 0x0FFF) <= 2999);
}

U32 NAV_nGroupLinkSlot(U32 nLink) { return (nLink & 0xFFFF) == 0xCFFF ? 2999 : (nLink & 0x0FFF); }

BOOLEAN NAV_bIsRouteLink(U32 nLink) { return (nLink & 0xC800) == NAV_LINK_ROUTE && (nLink & 0x07FF) <= 49; }

BOOLEAN NAV_bIsLocalTrackLink(U32 nLink, U16 u16UnitIdBits) {
  return (nLink & 0xC800) == NAV_LINK_TRACK && (nLink & 0x3F) <= 49 && (nLink & 0x17C0) == u16UnitIdBits;
}

BOOLEAN NAV_bIsWendrixLink(U32 nLink) { return (nLink & 0xCE00) == NAV_LINK_WENDRIX && (nLink & 0x01FF) <= 49; }

WAYPOINT *T_NAV_pGetWaypoint(U32 nIndex) {
  if (nIndex == NAV_LINK_NONE) return nullptr;
  U32 nSlot = nIndex & 0x0FFF;
  if (nSlot >= NAV_WAYPOINT_SLOTS) {
    log_me("nav: waypoint link 0x%04X names slot %u past the table; an empty slot is answered",
           static_cast<unsigned>(nIndex), static_cast<unsigned>(nSlot));
    std::memset(&s_FreeSlot, 0, sizeof s_FreeSlot);
    return &s_FreeSlot;
  }
  return &s_Waypoint[(nIndex >> 12) & 3][nSlot];
}

WAYPOINT *T_NAV_TWR_pGetNetworkWaypoint(U32 nIndex, U32 nTable) { return T_NAV_pGetWaypoint(nIndex | (nTable << 12)); }

BOOLEAN T_NAV_TWR_bIsLocalWaypoint(U32 nIndex) { return (nIndex & 0x3000) == 0; }

WAYPOINT *T_NAV_pGetWaypointEX(NAV_DATA_SPACE *pData, U32 nIndex) {
  if (pData == nullptr) return T_NAV_pGetWaypoint(nIndex);
  if (nIndex == NAV_LINK_NONE || nIndex >= pData->nWaypointCount) return nullptr;
  return &pData->pWaypoint[nIndex];
}

ROUTE *T_NAV_pGetRoute(U32 nIndex) { return nIndex < NAV_ROUTES ? &s_Route[nIndex] : nullptr; }
TRACK_HEADER *T_NAV_pGetTrackHeader(U32 nIndex) { return nIndex < NAV_TRACKS ? &s_TrackHeader[nIndex] : nullptr; }
WENDRIX *T_NAV_pGetWendrix(U32 nIndex) { return nIndex < NAV_WENDRIXS ? &s_Wendrix[nIndex] : nullptr; }

WENDRIX_HEADER *T_NAV_pGetWendrixHeader(U32 nIndex) {
  U16 u16Index = static_cast<U16>(nIndex);
  return u16Index < NAV_WENDRIXS ? &s_Wendrix[u16Index].tHeader : nullptr;
}

S32 T_NAV_TWR_nGetMaxUsedWaypointIndex(U32 nTable) { return s_nMaxUsedWaypointIndex[nTable & 3]; }

U16 T_NAV_TWR_u16GetMaxUsedWaypoint(void) {
  return s_nMaxUsedWaypointIndex[0] < 1 ? 0 : static_cast<U16>(s_nMaxUsedWaypointIndex[0]);
}

BOOLEAN T_NAV_bScanWaypoints(S32 *pnIndex, WAYPOINT **ppWaypoint, BOOLEAN bOnlyScanRemote) {
  U32 nSlot = static_cast<U32>(*pnIndex) & 0x0FFF;
  U32 nBank;
  if (nSlot <= 2999) {
    nBank = (static_cast<U32>(*pnIndex) >> 12) & 3;
    ++nSlot;
  } else {
    nBank = bOnlyScanRemote ? 1 : 0;
    nSlot = 0;
  }
  while (static_cast<S32>(nSlot) >= s_nMaxUsedWaypointIndex[nBank]) {
    nSlot = 0;
    if (++nBank >= NAV_WAYPOINT_BANKS) return FALSE;
  }
  *pnIndex = static_cast<S32>(nSlot | nBank << 12);
  *ppWaypoint = &s_Waypoint[nBank][nSlot];
  return TRUE;
}

WAYPOINT (*NAV_pWaypointTable(void))[NAV_WAYPOINT_SLOTS] { return s_Waypoint; }
S32 *NAV_pnMaxUsedWaypointIndex(void) { return s_nMaxUsedWaypointIndex; }
S16 *NAV_pnWaypointsUsed(void) { return s_nWaypointsUsed; }
ROUTE *NAV_pRouteTable(void) { return s_Route; }
TRACK_HEADER *NAV_pTrackHeaderTable(void) { return s_TrackHeader; }
WENDRIX *NAV_pWendrixTable(void) { return s_Wendrix; }
NAV_DERIVED_TABLES *NAV_pDerivedTables(void) { return &s_Derived; }

void NAV_vClearTables(void) {
  std::memset(s_Waypoint, 0, sizeof s_Waypoint);
  std::memset(s_nMaxUsedWaypointIndex, 0, sizeof s_nMaxUsedWaypointIndex);
  std::memset(s_nWaypointsUsed, 0, sizeof s_nWaypointsUsed);
  std::memset(s_Route, 0, sizeof s_Route);
  std::memset(s_TrackHeader, 0, sizeof s_TrackHeader);
  std::memset(s_Wendrix, 0, sizeof s_Wendrix);
  std::memset(&s_Derived, 0, sizeof s_Derived);
  NAV_vResetOwnBankState();
  NAV_vResetRouteState();
}

void NAV_vPackWaypoint(const WAYPOINT *pSlot, U8 *pu8Out) {
  pu8Out[0] = u8StatusByte(pSlot);
  pu8Out[1] = pSlot->u8Icon;
  if (pSlot->u8Status == WP_STATUS_GROUP_HEADER) {
    GROUP_HEADER tHeader;
    std::memcpy(&tHeader, pSlot, sizeof tHeader);
    NAV_vPut16(pu8Out + 2, tHeader.u16Depth, false);
    NAV_vPut32(pu8Out + 4, tHeader.u32DateTime, false);
    NAV_vPut16(pu8Out + 8, tHeader.u16ParentIndex, false);
    NAV_vPut16(pu8Out + 10, tHeader.u16Reserved1, false);
    NAV_vPut16(pu8Out + 12, tHeader.u16FirstBodyIndex, false);
    NAV_vPut16(pu8Out + 14, tHeader.u16Reserved2, false);
    std::memcpy(pu8Out + 16, tHeader.sName, 12);
  } else if (pSlot->u8Status == WP_STATUS_GROUP_BODY) {
    GROUP_BODY tBody;
    std::memcpy(&tBody, pSlot, sizeof tBody);
    NAV_vPut16(pu8Out + 2, tBody.u16NextIndex, false);
    for (int i = 0; i < 12; ++i) NAV_vPut16(pu8Out + 4 + 2 * i, tBody.u16Item[i], false);
  } else {
    NAV_vPut16(pu8Out + 2, pSlot->u16Depth, false);
    NAV_vPut32(pu8Out + 4, pSlot->u32DateTime, false);
    vPutPoint(pu8Out + 8, pSlot->pt, false);
    std::memcpy(pu8Out + 16, pSlot->sName, 12);
  }
}

void NAV_vUnpackWaypoint(const U8 *pu8In, WAYPOINT *pSlot) {
  std::memset(pSlot, 0, sizeof *pSlot);
  vSetStatusByte(pSlot, pu8In[0]);
  U8 u8Status = pSlot->u8Status;
  if (u8Status == WP_STATUS_GROUP_HEADER) {
    GROUP_HEADER tHeader;
    std::memcpy(&tHeader, pSlot, sizeof tHeader);
    tHeader.u8Icon = pu8In[1];
    tHeader.u16Depth = NAV_u16Get(pu8In + 2, false);
    tHeader.u32DateTime = NAV_u32Get(pu8In + 4, false);
    tHeader.u16ParentIndex = NAV_u16Get(pu8In + 8, false);
    tHeader.u16Reserved1 = NAV_u16Get(pu8In + 10, false);
    tHeader.u16FirstBodyIndex = NAV_u16Get(pu8In + 12, false);
    tHeader.u16Reserved2 = NAV_u16Get(pu8In + 14, false);
    std::memcpy(tHeader.sName, pu8In + 16, 12);
    std::memcpy(pSlot, &tHeader, sizeof tHeader);
  } else if (u8Status == WP_STATUS_GROUP_BODY) {
    GROUP_BODY tBody;
    std::memcpy(&tBody, pSlot, sizeof tBody);
    tBody.u8Icon = pu8In[1];
    tBody.u16NextIndex = NAV_u16Get(pu8In + 2, false);
    for (int i = 0; i < 12; ++i) tBody.u16Item[i] = NAV_u16Get(pu8In + 4 + 2 * i, false);
    std::memcpy(pSlot, &tBody, sizeof tBody);
  } else {
    pSlot->u8Icon = pu8In[1];
    pSlot->u16Depth = NAV_u16Get(pu8In + 2, false);
    pSlot->u32DateTime = NAV_u32Get(pu8In + 4, false);
    pSlot->pt = ptGet(pu8In + 8, false);
    std::memcpy(pSlot->sName, pu8In + 16, 12);
  }
}

void NAV_vPackRoute(const ROUTE *pRoute, U8 *pu8Out) {
  NAV_vPut32(pu8Out, pRoute->nCount | pRoute->bHide << 30 | static_cast<U32>(pRoute->bRtNotShared) << 31, false);
  NAV_vPut32(pu8Out + 4, pRoute->u32DateTime, false);
  std::memcpy(pu8Out + 8, pRoute->sName, 20);
  for (U32 i = 0; i < NAV_ROUTE_POINTS; ++i) NAV_vPut16(pu8Out + 28 + 2 * i, pRoute->anWaypoint[i], false);
}

void NAV_vUnpackRoute(const U8 *pu8In, ROUTE *pRoute) {
  U32 u32Word = NAV_u32Get(pu8In, false);
  pRoute->nCount = u32Word & 0x3FFFFFFF;
  pRoute->bHide = (u32Word >> 30) & 1;
  pRoute->bRtNotShared = (u32Word >> 31) & 1;
  pRoute->u32DateTime = NAV_u32Get(pu8In + 4, false);
  std::memcpy(pRoute->sName, pu8In + 8, 20);
  for (U32 i = 0; i < NAV_ROUTE_POINTS; ++i) pRoute->anWaypoint[i] = NAV_u16Get(pu8In + 28 + 2 * i, false);
}

void NAV_vPackTrackHeader(const TRACK_HEADER *pHeader, U8 *pu8Out) {
  NAV_vPut16(pu8Out, pHeader->u16Count, false);
  NAV_vPut16(pu8Out + 2, pHeader->u16FirstDelta, false);
  NAV_vPut32(pu8Out + 4, pHeader->u32DateTime, false);
  vPutPoint(pu8Out + 8, pHeader->ptFirst, false);
  vPutPoint(pu8Out + 16, pHeader->ptLast, false);
  vPutPoint(pu8Out + 24, pHeader->ptLowerLeft, false);
  vPutPoint(pu8Out + 32, pHeader->ptUpperRight, false);
  std::memcpy(pu8Out + 40, pHeader->sName, 20);
}

void NAV_vUnpackTrackHeader(const U8 *pu8In, TRACK_HEADER *pHeader) {
  pHeader->u16Count = NAV_u16Get(pu8In, false);
  pHeader->u16FirstDelta = NAV_u16Get(pu8In + 2, false);
  pHeader->u32DateTime = NAV_u32Get(pu8In + 4, false);
  pHeader->ptFirst = ptGet(pu8In + 8, false);
  pHeader->ptLast = ptGet(pu8In + 16, false);
  pHeader->ptLowerLeft = ptGet(pu8In + 24, false);
  pHeader->ptUpperRight = ptGet(pu8In + 32, false);
  std::memcpy(pHeader->sName, pu8In + 40, 20);
}

void NAV_vPackTrack(const TRACK *pTrack, U8 *pu8Out) {
  NAV_vPackTrackHeader(&pTrack->sHeader, pu8Out);
  U8 *p = pu8Out + NAV_TRACK_HEADER_BYTES;
  for (const TRACK_DELTA_DEPTH_TRIPLE &d : pTrack->aDelta) {
    NAV_vPut16(p, static_cast<U16>(d.x), false);
    NAV_vPut16(p + 2, static_cast<U16>(d.y), false);
    NAV_vPut16(p + 4, d.u16Depth, false);
    p += 6;
  }
  NAV_vPut16(p, pTrack->u16Reserved, false);
}

void NAV_vUnpackTrack(const U8 *pu8In, TRACK *pTrack) {
  NAV_vUnpackTrackHeader(pu8In, &pTrack->sHeader);
  const U8 *p = pu8In + NAV_TRACK_HEADER_BYTES;
  for (TRACK_DELTA_DEPTH_TRIPLE &d : pTrack->aDelta) {
    d.x = static_cast<S16>(NAV_u16Get(p, false));
    d.y = static_cast<S16>(NAV_u16Get(p + 2, false));
    d.u16Depth = NAV_u16Get(p + 4, false);
    p += 6;
  }
  pTrack->u16Reserved = NAV_u16Get(p, false);
}

void NAV_vPackWendrixHeader(const WENDRIX_HEADER *pHeader, U8 *pu8Out) {
  NAV_vPut32(pu8Out, pHeader->nCount, false);
  NAV_vPut32(pu8Out + 4, pHeader->u32DateTime, false);
  std::memcpy(pu8Out + 8, pHeader->sName, 12);
  const U32 au32Words[] = {pHeader->pad1, pHeader->u32Flags, pHeader->u32TotalLengthFt,
                           pHeader->u32DateTimeLastUsed, pHeader->u32Visible, pHeader->u32Style, pHeader->u32Color};
  for (U32 i = 0; i < 7; ++i) NAV_vPut32(pu8Out + 20 + 4 * i, au32Words[i], false);
  vPutPoint(pu8Out + 48, pHeader->ptLowerLeft, false);
  vPutPoint(pu8Out + 56, pHeader->ptUpperRight, false);
  NAV_vPut32(pu8Out + 64, static_cast<U32>(pHeader->u64UID), false);
  NAV_vPut32(pu8Out + 68, static_cast<U32>(pHeader->u64UID >> 32), false);
  const U32 au32More[] = {pHeader->u32LastModifiedTimeNDate, pHeader->u32DisplayedOnChart, pHeader->u32ClosestTP,
                          pHeader->u32ClosestDTG, pHeader->u32ClosestBRG, pHeader->u32MMCToWendrixId};
  for (U32 i = 0; i < 6; ++i) NAV_vPut32(pu8Out + 72 + 4 * i, au32More[i], false);
  vPutPoint(pu8Out + 96, pHeader->ptOriginPt, false);
  NAV_vPut32(pu8Out + 104, pHeader->u32PointsHash, false);
  std::memcpy(pu8Out + 108, pHeader->pad, sizeof pHeader->pad);
}

void NAV_vUnpackWendrixHeader(const U8 *pu8In, WENDRIX_HEADER *pHeader) {
  pHeader->nCount = NAV_u32Get(pu8In, false);
  pHeader->u32DateTime = NAV_u32Get(pu8In + 4, false);
  std::memcpy(pHeader->sName, pu8In + 8, 12);
  U32 *apu32Words[] = {&pHeader->pad1, &pHeader->u32Flags, &pHeader->u32TotalLengthFt,
                       &pHeader->u32DateTimeLastUsed, &pHeader->u32Visible, &pHeader->u32Style, &pHeader->u32Color};
  for (U32 i = 0; i < 7; ++i) *apu32Words[i] = NAV_u32Get(pu8In + 20 + 4 * i, false);
  pHeader->ptLowerLeft = ptGet(pu8In + 48, false);
  pHeader->ptUpperRight = ptGet(pu8In + 56, false);
  pHeader->u64UID = NAV_u32Get(pu8In + 64, false) | static_cast<U64>(NAV_u32Get(pu8In + 68, false)) << 32;
  U32 *apu32More[] = {&pHeader->u32LastModifiedTimeNDate, &pHeader->u32DisplayedOnChart, &pHeader->u32ClosestTP,
                      &pHeader->u32ClosestDTG, &pHeader->u32ClosestBRG, &pHeader->u32MMCToWendrixId};
  for (U32 i = 0; i < 6; ++i) *apu32More[i] = NAV_u32Get(pu8In + 72 + 4 * i, false);
  pHeader->ptOriginPt = ptGet(pu8In + 96, false);
  pHeader->u32PointsHash = NAV_u32Get(pu8In + 104, false);
  std::memcpy(pHeader->pad, pu8In + 108, sizeof pHeader->pad);
}

void NAV_vPackWendrix(const WENDRIX *pWendrix, U8 *pu8Out) {
  NAV_vPackWendrixHeader(&pWendrix->tHeader, pu8Out);
  for (U32 i = 0; i < NAV_WENDRIX_POINTS; ++i) vPutPoint(pu8Out + 256 + 8 * i, pWendrix->aTrackPoints[i], false);
}

void NAV_vUnpackWendrix(const U8 *pu8In, WENDRIX *pWendrix) {
  NAV_vUnpackWendrixHeader(pu8In, &pWendrix->tHeader);
  for (U32 i = 0; i < NAV_WENDRIX_POINTS; ++i) pWendrix->aTrackPoints[i] = ptGet(pu8In + 256 + 8 * i, false);
}

BOOLEAN NAV_bRouteIsSound(const ROUTE *pRoute, const char *pcWhere) {
  if (pRoute->nCount > NAV_ROUTE_POINTS) {
    log_me("nav: %s: route of %u points refused (at most %u)", pcWhere, static_cast<unsigned>(pRoute->nCount),
           static_cast<unsigned>(NAV_ROUTE_POINTS));
    return FALSE;
  }
  for (U32 i = 0; i < pRoute->nCount; ++i) {
    U16 u16Link = pRoute->anWaypoint[i];
    if (u16Link != NAV_LINK_NONE && (u16Link & 0x0FFF) >= NAV_WAYPOINT_SLOTS) {
      log_me("nav: %s: route point %u names slot %u past the table; route refused", pcWhere,
             static_cast<unsigned>(i), static_cast<unsigned>(u16Link & 0x0FFF));
      return FALSE;
    }
  }
  return TRUE;
}

BOOLEAN NAV_bWendrixIsSound(const WENDRIX_HEADER *pHeader, const char *pcWhere) {
  if (pHeader->nCount > NAV_WENDRIX_POINTS) {
    log_me("nav: %s: path of %u points refused (at most %u)", pcWhere, static_cast<unsigned>(pHeader->nCount),
           static_cast<unsigned>(NAV_WENDRIX_POINTS));
    return FALSE;
  }
  return TRUE;
}

BOOLEAN NAV_bTrackHeaderIsSound(const TRACK_HEADER *pHeader, const char *pcWhere) {
  if (pHeader->u16Count > NAV_TRACK_DELTAS + 1 || pHeader->u16FirstDelta >= NAV_TRACK_DELTAS) {
    log_me("nav: %s: track of count %u, first delta %u refused", pcWhere, static_cast<unsigned>(pHeader->u16Count),
           static_cast<unsigned>(pHeader->u16FirstDelta));
    return FALSE;
  }
  return TRUE;
}
