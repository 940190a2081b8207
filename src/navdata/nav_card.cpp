// Navigation record stream: header, byte order of every record kind and version, the checked reader and the
// conversions of old versions.
#include "navdata/nav_card.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "kernel/log.h"
#include "navdata/nav_nvram.h"
#include "settings/fs.h"

namespace {

constexpr U32 kTrackV1Ring = 699;
constexpr U32 kTrackV2Ring = 1999;
constexpr U32 kRouteV1Points = 20;

U8 s_TrackV2[NAV_TRACK_V2_BYTES];
U8 *s_u8RewriteWaypointFlags;

void vSwap16(U8 *p) { std::swap(p[0], p[1]); }
void vSwap32(U8 *p) {
  std::swap(p[0], p[3]);
  std::swap(p[1], p[2]);
}
void vSwap64(U8 *p) { std::reverse(p, p + 8); }

// Reads a count field in the little-endian image, before (to file order) or after (from it) it is reversed.
U32 u32Count32(U8 *p, bool bToBig) {
  U32 n = 0;
  if (bToBig) n = NAV_u32Get(p, false);
  vSwap32(p);
  if (!bToBig) n = NAV_u32Get(p, false);
  return n;
}

U32 u32Count16(U8 *p, bool bToBig) {
  U32 n = 0;
  if (bToBig) n = NAV_u16Get(p, false);
  vSwap16(p);
  if (!bToBig) n = NAV_u16Get(p, false);
  return n;
}

void vSwapSlot(U8 *p) {
  U8 u8Status = p[0] & 0x3F;
  if (u8Status == WP_STATUS_GROUP_BODY) U_ACCESSORY_vReverseGroupBody(p);
  else if (u8Status == WP_STATUS_GROUP_HEADER) U_ACCESSORY_vReverseGroupHeader(p);
  else U_ACCESSORY_vReverseGroupWaypoint(p);
}

void vSwapRoute(U8 *p, bool bToBig, U32 nLinksAt, U32 nMaxLinks) {
  U32 nCount = u32Count32(p, bToBig) & 0x3FFFFFFF;
  vSwap32(p + 4);
  for (U32 i = 0; i < std::min(nCount, nMaxLinks); ++i) vSwap16(p + nLinksAt + 2 * i);
}

void vSwapTrackV3(U8 *p, bool bToBig) {
  U32 nCount = u32Count16(p, bToBig);
  vSwap16(p + 2);
  for (U32 off = 4; off < 40; off += 4) vSwap32(p + off);
  for (U32 i = 0; i < std::min<U32>(nCount, NAV_TRACK_DELTAS); ++i) {
    for (U32 k = 0; k < 3; ++k) vSwap16(p + 60 + 6 * i + 2 * k);
  }
}

void vSwapTrackOld(U8 *p, bool bToBig, U32 nRing) {
  U32 nCount = u32Count16(p, bToBig);
  vSwap16(p + 2);
  for (U32 off = 4; off < 24; off += 4) vSwap32(p + off);
  for (U32 i = 0; i < std::min(nCount, nRing); ++i) {
    vSwap16(p + 24 + 4 * i);
    vSwap16(p + 26 + 4 * i);
  }
}

void vSwapWendrix(U8 *p, bool bToBig) {
  U32 nCount = u32Count32(p, bToBig);
  vSwap32(p + 4);
  for (U32 off = 28; off < 64; off += 4) vSwap32(p + off);
  vSwap64(p + 64);
  vSwap32(p + 72);
  std::memset(p + 80, 0, 12);
  for (U32 i = 0; i < std::min<U32>(nCount, NAV_WENDRIX_POINTS); ++i) {
    vSwap32(p + 256 + 8 * i);
    vSwap32(p + 260 + 8 * i);
  }
}

U32 nBodyBytes(U8 u8Type) {
  switch (u8Type) {
    case NAV_FILE_TRACK: return NAV_TRACK_BYTES;
    case NAV_FILE_WAYPOINT: return NAV_WAYPOINT_BYTES;
    case NAV_FILE_ROUTE: return NAV_ROUTE_BYTES;
    case NAV_FILE_WENDRIX: return NAV_WENDRIX_BYTES;
    default: return 0;
  }
}

U16 u16RecordSize(U8 u8Type) {
  switch (u8Type) {
    case NAV_FILE_WAYPOINT: return 36;
    case NAV_FILE_ROUTE: return 136;
    case NAV_FILE_WENDRIX: return 3080;
    default: return 0;
  }
}

void vConvertOldTrack(const U8 *pOld, U32 nRing, TRACK *pNew) {
  std::memset(&pNew->sHeader, 0, sizeof pNew->sHeader);
  TRACK_HEADER &h = pNew->sHeader;
  h.u16Count = NAV_u16Get(pOld, false);
  h.u32DateTime = NAV_u32Get(pOld + 4, false);
  h.ptFirst = POINT{static_cast<S32>(NAV_u32Get(pOld + 8, false)), static_cast<S32>(NAV_u32Get(pOld + 12, false))};
  h.ptLast = POINT{static_cast<S32>(NAV_u32Get(pOld + 16, false)), static_cast<S32>(NAV_u32Get(pOld + 20, false))};
  std::memcpy(h.sName, pOld + 24 + 4 * nRing, 20);
  h.u16FirstDelta = 0;
  h.ptLowerLeft = h.ptUpperRight = h.ptFirst;
  POINT p = h.ptFirst;
  U32 j = NAV_u16Get(pOld + 2, false);
  for (U32 i = 0; i < std::min<U32>(h.u16Count, nRing); ++i) {
    S16 dx = static_cast<S16>(NAV_u16Get(pOld + 24 + 4 * j, false));
    S16 dy = static_cast<S16>(NAV_u16Get(pOld + 26 + 4 * j, false));
    pNew->aDelta[i] = TRACK_DELTA_DEPTH_TRIPLE{dx, dy, 0};
    p.y = NAV_s32ClampY(static_cast<S64>(p.y) + dy);
    p.x = NAV_s32WrapX(static_cast<S64>(p.x) + dx);
    h.ptLowerLeft.x = std::min(h.ptLowerLeft.x, p.x);
    h.ptLowerLeft.y = std::min(h.ptLowerLeft.y, p.y);
    h.ptUpperRight.x = std::max(h.ptUpperRight.x, p.x);
    h.ptUpperRight.y = std::max(h.ptUpperRight.y, p.y);
    j = j + 1 == nRing ? 0 : j + 1;
  }
}

}  // namespace

BOOLEAN NAV_DATA_bImageIsSound(U8 u8Type, U8 u8Version, const U8 *pImage) {
  switch (u8Type) {
    case NAV_FILE_ROUTE: {
      if (u8Version < 3) {
        U32 nCount = NAV_u32Get(pImage, false) & 0x3FFFFFFF;
        if (nCount > kRouteV1Points) {
          log_me("nav: old route of %u points refused (at most %u)", static_cast<unsigned>(nCount),
                 static_cast<unsigned>(kRouteV1Points));
          return FALSE;
        }
        ROUTE tRoute{};
        tRoute.nCount = nCount;
        for (U32 i = 0; i < nCount; ++i) tRoute.anWaypoint[i] = NAV_u16Get(pImage + 8 + 2 * i, false);
        return NAV_bRouteIsSound(&tRoute, "record");
      }
      ROUTE tRoute;
      NAV_vUnpackRoute(pImage, &tRoute);
      return NAV_bRouteIsSound(&tRoute, "record");
    }
    case NAV_FILE_TRACK: {
      if (u8Version < 3) {
        U32 nRing = u8Version == 2 ? kTrackV2Ring : kTrackV1Ring;
        U32 nFirst = NAV_u16Get(pImage + 2, false);
        if (nFirst >= nRing) {
          log_me("nav: old track with first delta %u outside its ring of %u refused", static_cast<unsigned>(nFirst),
                 static_cast<unsigned>(nRing));
          return FALSE;
        }
        return TRUE;
      }
      TRACK_HEADER tHeader;
      NAV_vUnpackTrackHeader(pImage, &tHeader);
      return NAV_bTrackHeaderIsSound(&tHeader, "record");
    }
    case NAV_FILE_WENDRIX: {
      WENDRIX_HEADER tHeader;
      NAV_vUnpackWendrixHeader(pImage, &tHeader);
      return NAV_bWendrixIsSound(&tHeader, "record");
    }
    default:
      return TRUE;
  }
}

namespace {

void *pvHostRecord(U8 u8Type, const U8 *pImage) {
  switch (u8Type) {
    case NAV_FILE_WAYPOINT: {
      auto *p = static_cast<WAYPOINT *>(std::malloc(sizeof(WAYPOINT)));
      NAV_vUnpackWaypoint(pImage, p);
      return p;
    }
    case NAV_FILE_ROUTE: {
      auto *p = static_cast<ROUTE *>(std::malloc(sizeof(ROUTE)));
      NAV_vUnpackRoute(pImage, p);
      return p;
    }
    case NAV_FILE_TRACK: {
      auto *p = static_cast<TRACK *>(std::malloc(sizeof(TRACK)));
      NAV_vUnpackTrack(pImage, p);
      return p;
    }
    case NAV_FILE_WENDRIX: {
      auto *p = static_cast<WENDRIX *>(std::malloc(sizeof(WENDRIX)));
      NAV_vUnpackWendrix(pImage, p);
      return p;
    }
    default:
      return nullptr;
  }
}

// A group body holds item links where other slots hold their name.
bool bHasNameWithBadIcon(const WAYPOINT *pSlot) {
  return pSlot->u8Status != WP_STATUS_GROUP_BODY && pSlot->u8Icon == BAD_ICE_HOLE_ICON && pSlot->sName[0] == 'Q' &&
         pSlot->sName[1] == 'Z';
}

}  // namespace

void T_NAV_DATA_vHostToBigEndian(U8 *pSource) {
  vSwap16(pSource + 2);
  vSwap16(pSource + 4);
  vSwap16(pSource + 6);
  U8 *pBody = pSource + NAV_RECORD_HEADER_BYTES;
  switch (pSource[0]) {
    case NAV_FILE_TRACK: vSwapTrackV3(pBody, true); break;
    case NAV_FILE_WAYPOINT: vSwapSlot(pBody); break;
    case NAV_FILE_ROUTE: vSwapRoute(pBody, true, 28, NAV_ROUTE_POINTS); break;
    case NAV_FILE_WENDRIX: vSwapWendrix(pBody, true); break;
    default: break;
  }
}

void T_NAV_DATA_vBigEndianToHost(NAV_DATA_STRUCTURE_HEADER *pHeader, U8 *pSource) {
  U8 u8Version = pHeader->u8Version;
  switch (pHeader->u8Type) {
    case NAV_FILE_TRACK:
      if (u8Version <= 1) vSwapTrackOld(pSource, false, kTrackV1Ring);
      else if (u8Version == 2) vSwapTrackOld(pSource, false, kTrackV2Ring);
      else if (u8Version == 3) vSwapTrackV3(pSource, false);
      else pHeader->u8Type = 0;
      break;
    case NAV_FILE_WAYPOINT: {
      U8 u8Status = pSource[0] & 0x3F;
      bool bGroup = u8Status == WP_STATUS_GROUP_HEADER || u8Status == WP_STATUS_GROUP_BODY;
      if (bGroup || u8Version <= 3) vSwapSlot(pSource);
      else pHeader->u8Type = 0;
      break;
    }
    case NAV_FILE_ROUTE:
      if (u8Version <= 2) vSwapRoute(pSource, false, 8, kRouteV1Points);
      else if (u8Version == 3) vSwapRoute(pSource, false, 28, NAV_ROUTE_POINTS);
      else pHeader->u8Type = 0;
      break;
    case NAV_FILE_WENDRIX: vSwapWendrix(pSource, false); break;
    default: pHeader->u8Type = 0; break;
  }
}

NAV_DATA_STRUCTURE_HEADER *T_NAV_DATA_pheaderReadHeader(FILE *pFile) {
  U8 au8[NAV_RECORD_HEADER_BYTES];
  if (std::fread(au8, 1, sizeof au8, pFile) != sizeof au8) return nullptr;
  auto *pHeader = static_cast<NAV_DATA_STRUCTURE_HEADER *>(std::malloc(sizeof(NAV_DATA_STRUCTURE_HEADER)));
  pHeader->u8Type = au8[0];
  pHeader->u8Version = au8[1];
  pHeader->u16Size = NAV_u16Get(au8 + 2, true);
  pHeader->u16Index = NAV_u16Get(au8 + 4, true);
  pHeader->u16Reserved = NAV_u16Get(au8 + 6, true);
  return pHeader;
}

void *T_NAV_DATA_pvReadItem(FILE *pFile, NAV_DATA_STRUCTURE_HEADER *pHeader, BOOLEAN *pbRefused) {
  if (pbRefused != nullptr) *pbRefused = FALSE;
  const U8 u8Type = pHeader->u8Type, u8Version = pHeader->u8Version;
  const U32 nSize = pHeader->u16Size;
  const U32 nLength = nSize != 0 ? nSize : FS_GetFileSize(pFile);
  U32 nBody = 0;
  if (u8Type == NAV_FILE_TRACK && u8Version == 2 && nLength == NAV_TRACK_V2_BYTES + 8) {
    nBody = NAV_TRACK_V2_BYTES;
  } else if (u8Type == NAV_FILE_TRACK && u8Version == 3 && nSize == 0 && nLength == NAV_TRACK_BYTES + 8) {
    nBody = NAV_TRACK_BYTES;
  } else if ((u8Type == NAV_FILE_WAYPOINT && (u8Version == 3 || u8Version == 2) && nLength == 36) ||
             (u8Type == NAV_FILE_ROUTE && u8Version == 3 && nLength == 136) ||
             (u8Type == NAV_FILE_WENDRIX && u8Version == 1 && nLength == 3080)) {
    nBody = nLength - 8;
  } else {
    log_me("nav: record of type %u version %u and length %u not accepted", u8Type, u8Version,
           static_cast<unsigned>(nLength));
    return nullptr;
  }
  bool bTrackV2 = nBody == NAV_TRACK_V2_BYTES;
  U8 *pBody = bTrackV2 ? s_TrackV2 : static_cast<U8 *>(std::malloc(nBody));
  if (std::fread(pBody, 1, nBody, pFile) != nBody) {
    log_me("nav: record of type %u index %u cut short", u8Type, static_cast<unsigned>(pHeader->u16Index));
    if (!bTrackV2) std::free(pBody);
    return nullptr;
  }
  T_NAV_DATA_vBigEndianToHost(pHeader, pBody);
  void *pvResult = nullptr;
  if (!NAV_DATA_bImageIsSound(u8Type, u8Version, pBody)) {
    if (pbRefused != nullptr) *pbRefused = TRUE;
  } else if (bTrackV2) {
    auto *pTrack = static_cast<TRACK *>(std::calloc(1, sizeof(TRACK)));
    vConvertV2ToV3Track(pBody, pTrack);
    pvResult = pTrack;
  } else {
    pvResult = pvHostRecord(u8Type, pBody);
    if (u8Type == NAV_FILE_WAYPOINT && u8Version == 2) {
      pHeader->u8Version = 3;
      auto *pSlot = static_cast<WAYPOINT *>(pvResult);
      if (bHasNameWithBadIcon(pSlot)) {
        pSlot->u8Icon = VANTREL_STRELLOQ_ICON;
      }
    }
  }
  if (!bTrackV2) std::free(pBody);
  return pvResult;
}

BOOLEAN T_NAV_DATA_bWriteItem(FILE *pFile, U8 u8Type, U16 u16Index, const void *pvRecord) {
  U32 nBody = nBodyBytes(u8Type);
  if (nBody == 0) return FALSE;
  std::vector<U8> block(NAV_RECORD_HEADER_BYTES + nBody);
  block[0] = u8Type;
  block[1] = u8Type == NAV_FILE_WENDRIX ? 1 : 3;
  NAV_vPut16(&block[2], u16RecordSize(u8Type), false);
  NAV_vPut16(&block[4], u16Index, false);
  U8 *pBody = &block[NAV_RECORD_HEADER_BYTES];
  switch (u8Type) {
    case NAV_FILE_TRACK: NAV_vPackTrack(static_cast<const TRACK *>(pvRecord), pBody); break;
    case NAV_FILE_WAYPOINT: NAV_vPackWaypoint(static_cast<const WAYPOINT *>(pvRecord), pBody); break;
    case NAV_FILE_ROUTE: NAV_vPackRoute(static_cast<const ROUTE *>(pvRecord), pBody); break;
    default: NAV_vPackWendrix(static_cast<const WENDRIX *>(pvRecord), pBody); break;
  }
  T_NAV_DATA_vHostToBigEndian(block.data());
  return std::fwrite(block.data(), 1, block.size(), pFile) == block.size() ? TRUE : FALSE;
}

U16 T_NAV_DATA_nConvertRecord(NAV_DATA_STRUCTURE_HEADER *pDestHeader, void *pDestData,
                              const NAV_DATA_STRUCTURE_HEADER *pSourceHeader, const U8 *pSourceImage) {
  U8 u8Version = 0;
  U16 u16Size = 0;
  U8 u8Type = pSourceHeader->u8Type;
  if (!NAV_DATA_bImageIsSound(u8Type, pSourceHeader->u8Version, pSourceImage)) u8Type = 0;
  switch (u8Type) {
    case NAV_FILE_WAYPOINT:
      NAV_vUnpackWaypoint(pSourceImage, static_cast<WAYPOINT *>(pDestData));
      u8Version = 3;
      u16Size = 36;
      break;
    case NAV_FILE_ROUTE: {
      auto *pRoute = static_cast<ROUTE *>(pDestData);
      if (pSourceHeader->u8Version >= 3) {
        NAV_vUnpackRoute(pSourceImage, pRoute);
      } else {
        pRoute->nCount = NAV_u32Get(pSourceImage, false) & 0x3FFFFFFF;
        pRoute->u32DateTime = NAV_u32Get(pSourceImage + 4, false);
        std::memcpy(pRoute->sName, pSourceImage + 48, 20);
        for (U32 i = 0; i < NAV_ROUTE_POINTS; ++i) {
          pRoute->anWaypoint[i] = i < kRouteV1Points ? NAV_u16Get(pSourceImage + 8 + 2 * i, false) : 0;
        }
      }
      u8Version = 3;
      u16Size = 136;
      break;
    }
    case NAV_FILE_TRACK: {
      auto *pTrack = static_cast<TRACK *>(pDestData);
      if (pSourceHeader->u8Version <= 1) vConvertV1ToV3Track(pSourceImage, pTrack);
      else if (pSourceHeader->u8Version == 2) vConvertV2ToV3Track(pSourceImage, pTrack);
      else NAV_vUnpackTrack(pSourceImage, pTrack);
      u8Version = 3;
      break;
    }
    default:
      break;
  }
  if (pDestHeader != nullptr) {
    pDestHeader->u8Type = u8Type;
    pDestHeader->u16Index = pSourceHeader->u16Index;
    pDestHeader->u16Reserved = pSourceHeader->u16Reserved;
    pDestHeader->u8Version = u8Version;
    pDestHeader->u16Size = u16Size;
  }
  return u16Size;
}

void vConvertV2ToV3Track(const U8 *pOldTrack, TRACK *pNewTrack) { vConvertOldTrack(pOldTrack, kTrackV2Ring, pNewTrack); }
void vConvertV1ToV3Track(const U8 *pOldTrack, TRACK *pNewTrack) { vConvertOldTrack(pOldTrack, kTrackV1Ring, pNewTrack); }

void T_NAV_DATA_vFixBadStrelloqIcon(U16 u16Index, U8 u8Version, WAYPOINT *pWaypt) {
  if (u16Index >= NAV_WAYPOINT_SLOTS) return;
  if (s_u8RewriteWaypointFlags == nullptr) {
    s_u8RewriteWaypointFlags = static_cast<U8 *>(std::calloc(NAV_WAYPOINT_SLOTS, 1));
  }
  if (u8Version == 2 && pWaypt->u8Status != WP_STATUS_FREE && bHasNameWithBadIcon(pWaypt)) {
    pWaypt->u8Icon = VANTREL_STRELLOQ_ICON;
  }
  s_u8RewriteWaypointFlags[u16Index] = std::max(s_u8RewriteWaypointFlags[u16Index], u8Version);
}

void T_NAV_DATA_vRewriteFlaggedWaypoints(WAYPOINT *pWaypoints) {
  if (s_u8RewriteWaypointFlags == nullptr) return;
  for (U16 i = 0; i < NAV_WAYPOINT_SLOTS; ++i) {
    U8 u8Flag = s_u8RewriteWaypointFlags[i];
    U8 u8Status = pWaypoints[i].u8Status;
    if (u8Flag != 0 && u8Flag != 3 && u8Status != WP_STATUS_FREE && u8Status != WP_STATUS_TEMPORARY) {
      T_NAV_NVRAM_vSaveWaypoint(&pWaypoints[i], i, TRUE);
    }
  }
  std::free(s_u8RewriteWaypointFlags);
  s_u8RewriteWaypointFlags = nullptr;
}

BOOLEAN T_NAV_DATA_bComparePoint(const POINT *ppoint1, const POINT *ppoint2) {
  return ppoint1->x == ppoint2->x && ppoint1->y == ppoint2->y;
}

static bool bSameHeaderPoints(const TRACK_HEADER &a, const TRACK_HEADER &b) {
  return T_NAV_DATA_bComparePoint(&a.ptFirst, &b.ptFirst) && T_NAV_DATA_bComparePoint(&a.ptLast, &b.ptLast) &&
         T_NAV_DATA_bComparePoint(&a.ptLowerLeft, &b.ptLowerLeft) &&
         T_NAV_DATA_bComparePoint(&a.ptUpperRight, &b.ptUpperRight) && a.u16Count == b.u16Count &&
         a.u16FirstDelta == b.u16FirstDelta && std::strncmp(a.sName, b.sName, 20) == 0;
}

BOOLEAN T_NAV_DATA_bTrackCompare(const TRACK *pTrack1, const TRACK *pTrack2) {
  if (!bSameHeaderPoints(pTrack1->sHeader, pTrack2->sHeader)) return FALSE;
  for (U32 i = 0; i < std::min<U32>(pTrack1->sHeader.u16Count, NAV_TRACK_DELTAS); ++i) {
    const TRACK_DELTA_DEPTH_TRIPLE &a = pTrack1->aDelta[i], &b = pTrack2->aDelta[i];
    if (a.x != b.x || a.y != b.y || a.u16Depth != b.u16Depth) return FALSE;
  }
  return TRUE;
}

BOOLEAN T_NAV_DATA_bTrackCompareEX(const TRACK_HEADER *pTrack1, const TRACK_HEADER *pTrack2) {
  return bSameHeaderPoints(*pTrack1, *pTrack2) && pTrack1->u32DateTime == pTrack2->u32DateTime;
}

BOOLEAN T_NAV_DATA_bWendrixCompareEX(const WENDRIX_HEADER *p1, const WENDRIX_HEADER *p2) {
  return p1->nCount == p2->nCount && p1->u32DateTime == p2->u32DateTime && std::strncmp(p1->sName, p2->sName, 12) == 0;
}

U16 U_ACCESSORY_vExtractBigendianU16(const U8 *pu8Buffer) { return NAV_u16Get(pu8Buffer, true); }
U32 U_ACCESSORY_vExtractBigendianU32(const U8 *pu8Buffer) { return NAV_u32Get(pu8Buffer, true); }
void U_ACCESSORY_vReverseGroupWaypoint(U8 *pu8Slot) {
  vSwap16(pu8Slot + 2);
  vSwap32(pu8Slot + 4);
  vSwap32(pu8Slot + 8);
  vSwap32(pu8Slot + 12);
}
void U_ACCESSORY_vReverseGroupHeader(U8 *pu8Slot) {
  vSwap16(pu8Slot + 2);
  vSwap32(pu8Slot + 4);
  for (U32 i = 0; i < 4; ++i) vSwap16(pu8Slot + 8 + 2 * i);
}
void U_ACCESSORY_vReverseGroupBody(U8 *pu8Slot) {
  for (U32 i = 0; i < 13; ++i) vSwap16(pu8Slot + 2 + 2 * i);
}
