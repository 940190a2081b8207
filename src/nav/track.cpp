// The breadcrumb-track record operations.
#include "nav/track.h"

#include <cmath>

namespace {

S32 s32ShortWayX(S32 a, S32 b) {
  S64 d = static_cast<S64>(b) - a;
  if (d > NAV_X_LIMIT) d -= NAV_X_SPAN;
  if (d < -NAV_X_LIMIT) d += NAV_X_SPAN;
  return static_cast<S32>(d);
}

POINT ptStep(POINT pt, const TRACK_DELTA_DEPTH_TRIPLE &d) {
  return POINT{NAV_s32WrapX(static_cast<S64>(pt.x) + d.x), NAV_s32ClampY(static_cast<S64>(pt.y) + d.y)};
}

void vDropOldest(TRACK *pTrack) {
  TRACK_HEADER &h = pTrack->sHeader;
  U32 nSkip = U_NAV_bTrackDeltaIsGapPoint(pTrack, h.u16FirstDelta) ? 2 : 0;
  const TRACK_DELTA_DEPTH_TRIPLE &d = pTrack->aDelta[(h.u16FirstDelta + nSkip) % NAV_TRACK_DELTAS];
  h.ptFirst = ptStep(h.ptFirst, d);
  h.u16Count = static_cast<U16>(h.u16Count - 1 - nSkip);
  h.u16FirstDelta = static_cast<U16>((h.u16FirstDelta + 1 + nSkip) % NAV_TRACK_DELTAS);
}

}  // namespace

void U_NAV_vClearTrack(TRACK_HEADER *pTrackHeader) {
  pTrackHeader->u16Count = 0;
  pTrackHeader->u16FirstDelta = 0;
}

BOOLEAN U_NAV_bTrackDeltaIsGapPoint(const TRACK *pTrack, U16 nDeltaIndex) {
  U16 u16Last = static_cast<U16>(pTrack->sHeader.u16Count + pTrack->sHeader.u16FirstDelta - 2);
  if (u16Last == 0xFFFF || nDeltaIndex >= NAV_TRACK_DELTAS) return FALSE;
  const TRACK_DELTA_DEPTH_TRIPLE &d = pTrack->aDelta[nDeltaIndex];
  if (d.x != 0x7FFF || d.y != 0x7FFF || nDeltaIndex + 1 >= u16Last) return FALSE;
  const TRACK_DELTA_DEPTH_TRIPLE &n = pTrack->aDelta[(nDeltaIndex + 1) % NAV_TRACK_DELTAS];
  return n.x == -32768 && n.y == -32768;
}

void U_NAV_vAddTrackPoint(TRACK *pTrack, POINT ptNew, U16 u16Depth, BOOLEAN bGapPoint) {
  TRACK_HEADER &h = pTrack->sHeader;
  if (h.u16Count == 0) {
    h.ptFirst = h.ptLast = h.ptLowerLeft = h.ptUpperRight = ptNew;
    h.u16Count = 1;
    return;
  }
  S32 dx = s32ShortWayX(h.ptLast.x, ptNew.x);
  S32 dy = ptNew.y - h.ptLast.y;
  while (dx >= 32768 || dx <= -32768 || dy >= 32768 || dy <= -32768) {
    POINT m{NAV_s32WrapX((static_cast<S64>(h.ptLast.x) + (static_cast<S64>(h.ptLast.x) + dx)) / 2),
            NAV_s32ClampY((static_cast<S64>(h.ptLast.y) + ptNew.y) / 2)};
    U_NAV_vAddTrackPoint(pTrack, m, u16Depth, bGapPoint);
    dx = s32ShortWayX(h.ptLast.x, ptNew.x);
    dy = ptNew.y - h.ptLast.y;
  }
  if (bGapPoint) {
    while (h.u16Count > NAV_TRACK_DELTAS - 2) vDropOldest(pTrack);
    U32 i = (h.u16FirstDelta + h.u16Count - 1) % NAV_TRACK_DELTAS;
    pTrack->aDelta[i] = TRACK_DELTA_DEPTH_TRIPLE{0x7FFF, 0x7FFF, 0};
    pTrack->aDelta[(i + 1) % NAV_TRACK_DELTAS] = TRACK_DELTA_DEPTH_TRIPLE{-32768, -32768, 0};
    h.u16Count = static_cast<U16>(h.u16Count + 2);
  } else if (h.u16Count == NAV_TRACK_DELTAS + 1) {
    vDropOldest(pTrack);
  }
  pTrack->aDelta[(h.u16FirstDelta + h.u16Count - 1) % NAV_TRACK_DELTAS] =
      TRACK_DELTA_DEPTH_TRIPLE{static_cast<S16>(dx), static_cast<S16>(dy), u16Depth};
  h.ptLast = POINT{NAV_s32WrapX(ptNew.x), NAV_s32ClampY(ptNew.y)};
  if (h.ptLast.x < h.ptLowerLeft.x) h.ptLowerLeft.x = h.ptLast.x;
  if (h.ptLast.y < h.ptLowerLeft.y) h.ptLowerLeft.y = h.ptLast.y;
  if (h.ptLast.x > h.ptUpperRight.x) h.ptUpperRight.x = h.ptLast.x;
  if (h.ptLast.y > h.ptUpperRight.y) h.ptUpperRight.y = h.ptLast.y;
  ++h.u16Count;
}

TRACKPOINT_TYPE U_NAV_eScanTrack(TRACK *pTrack, U16 *pu16Iterator, POINT *ppt, U16 *pu16Depth) {
  const TRACK_HEADER &h = pTrack->sHeader;
  U16 n = *pu16Iterator;
  if (n >= h.u16Count) {
    ++*pu16Iterator;
    return TRACKPOINT_INVALID;
  }
  if (n == 0) {
    *ppt = h.ptFirst;
    *pu16Depth = 0;
    *pu16Iterator = 1;
    return TRACKPOINT_NORMAL;
  }
  U32 i = (h.u16FirstDelta - 1u + n) % NAV_TRACK_DELTAS;
  TRACKPOINT_TYPE eType = TRACKPOINT_NORMAL;
  if (U_NAV_bTrackDeltaIsGapPoint(pTrack, static_cast<U16>(i))) {
    i = (i + 2) % NAV_TRACK_DELTAS;
    *pu16Iterator = static_cast<U16>(*pu16Iterator + 2);
    eType = TRACKPOINT_GAP;
  }
  *ppt = ptStep(*ppt, pTrack->aDelta[i]);
  *pu16Depth = pTrack->aDelta[i].u16Depth;
  ++*pu16Iterator;
  return eType;
}

namespace {

// Entry i: Mercator metres per 1,024 ground metres at the northing 65,536 x i, for the grid of the chart
// library (a sphere of 6,378,388 m on the geocentric latitude) and ground distances counted as the chart
// library counts them, one nautical mile of 1,852 m per minute of latitude.
struct ScaleTable {
  U16 au16[256];
  ScaleTable() {
    constexpr double kRadius = 6378388.0;
    constexpr double kGeocentric = 0.9932811555305968;  // tan(geocentric) / tan(geodetic)
    constexpr double kPi = 3.14159265358979323846;
    constexpr double kMetresPerRadian = 1852.0 * 10800.0 / kPi;
    for (int i = 0; i < 256; ++i) {
      const double dGeocentric = 2.0 * std::atan(std::exp(65536.0 * i / kRadius)) - kPi / 2.0;
      const double dGeodetic = std::atan(std::tan(dGeocentric) / kGeocentric);
      const double dScale = kRadius * kGeocentric * std::cos(dGeocentric) /
                            (std::cos(dGeodetic) * std::cos(dGeodetic) * kMetresPerRadian);
      au16[i] = static_cast<U16>(std::lround(dScale * 1024.0));
    }
  }
};

}  // namespace

U16 U_NAV_u16ScalingMMPerKm(S32 nLatMM) {
  static const ScaleTable s_table;
  const long long nAbs = nLatMM < 0 ? -static_cast<long long>(nLatMM) : nLatMM;
  long long i = (nAbs + 32768) >> 16;
  if (i > 255) i = 255;
  return s_table.au16[i];
}
