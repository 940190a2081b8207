// The Mercator metre grid in which every chart, waypoint, track and cursor position is kept.
#include <cmath>

#include "chartlib/nav/nv_internal.h"

using namespace nv_detail;

namespace nv_detail {

DOUBLE LatOfY(SLONG y) {
  if (y == 0) return 0.0;
  return std::atan(kFlattenInverse * std::tan(2.0 * std::atan(std::exp(y * kInverseRadius)) - kHalfPi)) * kRadToDeg;
}

DOUBLE LonOfX(SLONG x) {
  const DOUBLE lon = x * kDegreesPerMeter;
  if (lon > 180.0) return 180.0;
  if (lon < -180.0) return -180.0;
  return lon;
}

}  // namespace nv_detail

namespace {

// Degrees, minutes and seconds of one axis; minutes that reach +-60 carry into the degrees.
void SplitDegrees(DOUBLE value, DOUBLE *deg, DOUBLE *min, DOUBLE *sec) {
  DOUBLE d = std::trunc(value);
  DOUBLE m = (value - d) * 60.0;
  if (m >= 60.0) {
    m = 0.0;
    d += 1.0;
  } else if (m <= -60.0) {
    m = 0.0;
    d -= 1.0;
  }
  *deg = d;
  *min = m;
  *sec = 0.0;
}

}  // namespace

ERRORCODE nv_DegrToMeter(const POSITION *pos, POINT *pt) {
  // Written as "not within" so that a NaN is rejected too.
  if (!(std::fabs(pos->lat) <= NV_LAT_LIMIT)) {
    pt->y = 0;
    return NV_ERR_LATITUDE;
  }
  pt->y = static_cast<SLONG>(std::lrint(
      kRadius * std::log(std::tan((std::atan(kFlattenForward * std::tan(pos->lat * kDegToRad)) + kHalfPi) * 0.5))));
  if (!(std::fabs(pos->lon) <= 180.0)) {
    pt->x = 0;
    return NV_ERR_LONGITUDE;
  }
  long x = std::lrint(pos->lon * kMetersPerDegree);
  if (x > NV_HALF_WORLD) x = NV_HALF_WORLD;
  if (x < -NV_HALF_WORLD) x = -NV_HALF_WORLD;
  pt->x = static_cast<SLONG>(x);
  return CL_SUCCESS;
}

ERRORCODE nv_MeterToDegr(const POINT *pt, POSITION *pos) {
  if (Abs64(pt->y) > NV_Y_LIMIT) {
    pos->lat = 0.0;
    return NV_ERR_LATITUDE;
  }
  pos->lat = LatOfY(pt->y);
  if (Abs64(pt->x) > NV_HALF_WORLD) {
    pos->lon = 0.0;
    return NV_ERR_LONGITUDE;
  }
  pos->lon = LonOfX(pt->x);
  return CL_SUCCESS;
}

ERRORCODE nv_GeographicToMeters(POINT *pt, const GEOGRAPHIC *geo) {
  if (!(std::fabs(geo->LatMin) < 60.0) || !(std::fabs(geo->LatSec) < 60.0)) return NV_ERR_LATITUDE;
  if (!(std::fabs(geo->LonMin) < 60.0) || !(std::fabs(geo->LonSec) < 60.0)) return NV_ERR_LONGITUDE;
  POSITION pos;
  pos.lat = geo->LatDeg + geo->LatMin * 0.016666666666666666 + geo->LatSec * 0.0002777777777777778;
  pos.lon = geo->LonDeg + geo->LonMin * 0.016666666666666666 + geo->LonSec * 0.0002777777777777778;
  return nv_DegrToMeter(&pos, pt);
}

ERRORCODE nv_MetersToGeographic(const POINT *pt, GEOGRAPHIC *geo) {
  if (Abs64(pt->y) > NV_Y_LIMIT) {
    geo->LatDeg = geo->LatMin = geo->LatSec = 0.0;
    return NV_ERR_LATITUDE;
  }
  const DOUBLE lat = LatOfY(pt->y);
  if (Abs64(pt->x) > NV_HALF_WORLD) {
    geo->LonDeg = geo->LonMin = geo->LonSec = 0.0;
    return NV_ERR_LONGITUDE;
  }
  SplitDegrees(lat, &geo->LatDeg, &geo->LatMin, &geo->LatSec);
  SplitDegrees(LonOfX(pt->x), &geo->LonDeg, &geo->LonMin, &geo->LonSec);
  return CL_SUCCESS;
}

SLONG nv_AllAround(SLONG x) {
  // In 64 bits: card data may hold -2^31, whose magnitude does not fit 32.
  int64_t a = Abs64(x);
  if (a >= NV_WORLD) {
    if (a <= 2 * static_cast<int64_t>(NV_WORLD) - 1)
      a -= NV_WORLD;
    else
      a %= NV_WORLD;
  }
  return static_cast<SLONG>(x >= 0 ? a : NV_WORLD - a);
}
