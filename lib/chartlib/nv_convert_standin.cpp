// Stand-in Mercator conversion: the spherical projection on the WGS 84 semi-major axis.
#include "chartlib/nv_convert_standin.h"

#include <cmath>

POSITION nv_MeterToDegr(S32 s32X, S32 s32Y) {
  constexpr double kRadius = 6378137.0;
  constexpr double kDegrees = 180.0 / 3.14159265358979323846;
  POSITION p;
  p.lon = s32X / kRadius * kDegrees;
  p.lat = (2.0 * std::atan(std::exp(s32Y / kRadius)) - 3.14159265358979323846 / 2.0) * kDegrees;
  return p;
}
