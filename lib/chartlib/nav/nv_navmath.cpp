// Rhumb-line courses and distances, midpoints, displacements, unit conversions, time to go, fuel and apparent
// motion.
#include <cmath>
#include <cstdlib>
#include <initializer_list>

#include "chartlib/nav/nv_internal.h"

using namespace nv_detail;

namespace {

constexpr DOUBLE kPi = 3.141592654;
constexpr DOUBLE kTwoPi = 6.283185308;
constexpr DOUBLE kHalfDegToRad = 0.008726646259972002;  // mean of two latitudes, to radians

// Factor of a length in minutes of longitude at each whole degree of latitude, 0 to 80.
const DOUBLE kDistCorrection[81] = {
    1.0015, 1.0013, 1.0008, 0.9999, 0.9988, 0.9974, 0.9957, 0.9936, 0.9913, 0.9886,  //
    0.9857, 0.9824, 0.9789, 0.9750, 0.9709, 0.9664, 0.9617, 0.9567, 0.9513, 0.9457,  //
    0.9398, 0.9336, 0.9271, 0.9204, 0.9133, 0.9060, 0.8984, 0.8905, 0.8824, 0.8739,  //
    0.8653, 0.8563, 0.8471, 0.8376, 0.8279, 0.8179, 0.8077, 0.7973, 0.7866, 0.7756,  //
    0.7644, 0.7530, 0.7414, 0.7295, 0.7174, 0.7051, 0.6926, 0.6799, 0.6669, 0.6538,  //
    0.6405, 0.6269, 0.6132, 0.5993, 0.5852, 0.5710, 0.5565, 0.5420, 0.5272, 0.5123,  //
    0.4972, 0.4820, 0.4666, 0.4511, 0.4355, 0.4197, 0.4038, 0.3878, 0.3716, 0.3554,  //
    0.3390, 0.3226, 0.3060, 0.2894, 0.2726, 0.2558, 0.2389, 0.2220, 0.2049, 0.1878,  //
    0.1707,
};

// "Not within" comparisons reject NaN along with values out of range.
bool Beyond(DOUBLE v, DOUBLE limit) { return !(std::fabs(v) <= limit); }

// Course steps shared by the Mercator and the degree forms, after the grid check.
ERRORCODE CourseBetween(const POINT &from, const POINT &to, DOUBLE *course) {
  DOUBLE dx = static_cast<DOUBLE>(static_cast<int64_t>(to.x) - from.x);
  if (std::fabs(dx) > NV_HALF_WORLD) dx += dx > 0 ? -NV_WORLD : NV_WORLD;  // the short way round
  const DOUBLE dy = static_cast<DOUBLE>(static_cast<int64_t>(to.y) - from.y);
  if (std::fabs(dy) < kEps) {
    if (std::fabs(dx) < kEps) {
      *course = 0.0;
      return NV_WARN_SAME_POINT;
    }
    *course = dx > kEps ? 90.0 : 270.0;
    return CL_SUCCESS;
  }
  DOUBLE a = std::atan(dx / dy);
  if (dy < kEps)
    a += kPi;
  else if (a < kEps && dy > kEps)
    a += kTwoPi;
  *course = nv_RoundTo360(a * kRadToDeg);
  return CL_SUCCESS;
}

bool OffGrid(const POINT &p) { return Abs64(p.y) > NV_Y_LIMIT + 1 || Abs64(p.x) > NV_HALF_WORLD; }

// Rhumb-line distance along a known course: by the latitude change, or within 5 degrees of east and west by the
// longitude change at the mean latitude.
DOUBLE DistanceAlong(const POSITION &from, const POSITION &to, DOUBLE course) {
  if (std::fabs(std::fabs(course - 180.0) - 90.0) > 5.0)
    return std::fabs((to.lat - from.lat) * 60.0 / std::cos(course * kDegToRad));
  DOUBLE d = std::fmod(nv_RoundTo360(to.lon) - nv_RoundTo360(from.lon), 360.0);
  if (d > 180.0)
    d -= 360.0;
  else if (d < -180.0)
    d += 360.0;
  return std::fabs(d * 60.0 / std::sin(course * kDegToRad) * std::cos((from.lat + to.lat) * kHalfDegToRad));
}

// Midpoint of two checked positions; a pair across the 180-degree meridian meets there, not at 0.
POSITION Middle(const POSITION &a, const POSITION &b) {
  POSITION m;
  m.lat = (a.lat + b.lat) / 2.0;
  const bool aEast = a.lon > kEps, bEast = b.lon > kEps;
  if (aEast != bEast && std::fabs(a.lon) + std::fabs(b.lon) > 180.0)
    m.lon = nv_Coangle((nv_RoundTo360(a.lon) + nv_RoundTo360(b.lon)) / 2.0);
  else
    m.lon = (a.lon + b.lon) / 2.0;
  return m;
}

// Degrees of a Mercator point for the midpoint, with the inverse projection's checks.
ERRORCODE PointToDegrees(const POINT &p, POSITION *out) {
  if (Abs64(p.y) > NV_Y_LIMIT) return NV_ERR_LATITUDE;
  if (Abs64(p.x) > NV_HALF_WORLD) return NV_ERR_LONGITUDE;
  out->lat = LatOfY(p.y);
  out->lon = LonOfX(p.x);
  if (std::fabs(out->lat) > NV_LAT_LIMIT) return NV_ERR_LATITUDE;
  return CL_SUCCESS;
}

}  // namespace

DOUBLE nv_Coangle(DOUBLE angle) {
  DOUBLE b = std::fmod(angle, 360.0);
  if (b > 180.0)
    b -= 360.0;
  else if (b < -180.0)
    b += 360.0;
  return b;
}

DOUBLE nv_RoundTo360(DOUBLE angle) {
  DOUBLE b = std::fmod(angle, 360.0);
  if (b < 0.0) b += 360.0;
  return b;
}

DOUBLE nv_MagHead(DOUBLE trueHeading, DOUBLE variation) { return nv_RoundTo360(trueHeading - variation); }
DOUBLE nv_TrueHead(DOUBLE magHeading, DOUBLE variation) { return nv_RoundTo360(magHeading + variation); }

DOUBLE nv_FeetMeters(DOUBLE v, SINT flag) { return flag == 0 ? v * 3.280839895 : v * 0.3048000000012192; }
DOUBLE nv_FathomsMeters(DOUBLE v, SINT flag) { return flag == 0 ? v * 0.54701999 : v * 1.8280867578532185; }
DOUBLE nv_NMilesKilometers(DOUBLE v, SINT flag) { return flag == 0 ? v * 1.8522700032 : v * 0.5398780945933315; }
DOUBLE nv_NMilesTMiles(DOUBLE v, SINT flag) { return flag == 0 ? v * 1.1511900425 : v * 0.8686663045037588; }
DOUBLE nv_LitersGallons(DOUBLE v, SINT flag) { return flag == 0 ? v * 3.78501 : v * 0.26420009458363386; }

ERRORCODE nv_RouteAngle(const POINT *from, const POINT *to, DOUBLE *course) {
  if (OffGrid(*from) || OffGrid(*to)) {
    *course = 0.0;
    return NV_ERR_POINT;
  }
  return CourseBetween(*from, *to, course);
}

ERRORCODE nv_GeoRouteAngle(const POSITION *from, const POSITION *to, DOUBLE *course) {
  POINT a, b;
  ERRORCODE e = nv_DegrToMeter(from, &a);
  if (!CL_IsError(e)) e = nv_DegrToMeter(to, &b);
  if (CL_IsError(e)) {
    *course = 0.0;
    return e;
  }
  return nv_RouteAngle(&a, &b, course);
}

ERRORCODE nv_CalcDistance(const POSITION *from, const POSITION *to, DOUBLE course, DOUBLE *distance) {
  ERRORCODE e = CL_SUCCESS;
  if (Beyond(from->lat, NV_LAT_LIMIT) || Beyond(to->lat, NV_LAT_LIMIT))
    e = NV_ERR_LATITUDE;
  else if (Beyond(from->lon, 180.0) || Beyond(to->lon, 180.0))
    e = NV_ERR_LONGITUDE;
  else if (Beyond(course, 360.0))
    e = NV_ERR_ANGLE;
  *distance = e == CL_SUCCESS ? DistanceAlong(*from, *to, course) : 0.0;
  return e;
}

ERRORCODE nv_CalcRngBrg(const POINT *from, const POINT *to, DOUBLE variation, POLAR *out) {
  if (Beyond(variation, 360.0)) return NV_ERR_ANGLE;
  DOUBLE course;
  const ERRORCODE course_result = nv_RouteAngle(from, to, &course);
  if (CL_IsError(course_result)) return course_result;
  POSITION a, b;
  ERRORCODE e = nv_MeterToDegr(from, &a);
  if (!CL_IsError(e)) e = nv_MeterToDegr(to, &b);
  if (CL_IsError(e)) return e;
  out->Range = DistanceAlong(a, b, course);
  out->Bearing = nv_RoundTo360(course - variation);
  return course_result;  // success, or the warning of coinciding points
}

ERRORCODE nv_MiddlePosition(const POSITION *a, const POSITION *b, POSITION *out) {
  for (const POSITION *p : {a, b}) {
    if (Beyond(p->lat, NV_LAT_LIMIT)) return NV_ERR_LATITUDE;
    if (Beyond(p->lon, 180.0)) return NV_ERR_LONGITUDE;
  }
  *out = Middle(*a, *b);
  return CL_SUCCESS;
}

ERRORCODE nv_MiddleMMPosition(const POINT *a, const POINT *b, POINT *out) {
  POSITION pa, pb;
  ERRORCODE e = PointToDegrees(*a, &pa);
  if (!CL_IsError(e)) e = PointToDegrees(*b, &pb);
  if (CL_IsError(e)) return e;
  const POSITION m = Middle(pa, pb);
  return nv_DegrToMeter(&m, out);
}

ERRORCODE nv_PolarToGeographic(POINT start, POLAR polar, POINT *out) {
  if (Abs64(start.y) > NV_Y_LIMIT + 1) return NV_ERR_LATITUDE;
  if (Abs64(start.x) > NV_HALF_WORLD) return NV_ERR_LONGITUDE;
  if (Beyond(polar.Bearing, 360.0)) return NV_ERR_ANGLE;
  if (!(polar.Range >= 0.0 && polar.Range <= NV_MAX_DISTANCE)) return NV_ERR_DISTANCE;
  POSITION pos;
  const ERRORCODE e = nv_MeterToDegr(&start, &pos);
  if (CL_IsError(e)) return e;

  // The quadrant rule below holds for 0..360 only: a bearing west of north is first taken round the circle.
  const DOUBLE bearing = polar.Bearing < 0.0 ? nv_RoundTo360(polar.Bearing) : polar.Bearing;
  const DOUBLE r = polar.Range / 60.0;
  const DOUBLE alpha = std::fabs(std::fabs(bearing - 180.0) - 90.0) * kDegToRad;
  int q = static_cast<int>(std::fabs(bearing) / 90.0);
  if (q == 4) q = 0;
  const DOUBLE dlat = r * std::sin(alpha);
  POSITION end;
  end.lat = (q == 0 || q == 3) ? pos.lat + dlat : pos.lat - dlat;
  const DOUBLE dlon = r * std::cos(alpha) / std::cos((pos.lat + end.lat) * kHalfDegToRad);
  end.lon = nv_Coangle((q == 0 || q == 1) ? pos.lon + dlon : pos.lon - dlon);
  return nv_DegrToMeter(&end, out);
}

ERRORCODE nv_CenteredSquare(POINT centre, DOUBLE halfSide, POINT *lowerLeft, POINT *upperRight) {
  if (Abs64(centre.y) > NV_Y_LIMIT + 1) return NV_ERR_LATITUDE;
  if (Abs64(centre.x) > NV_HALF_WORLD) return NV_ERR_LONGITUDE;
  if (!(halfSide >= 0.0 && halfSide <= NV_MAX_DISTANCE)) return NV_ERR_DISTANCE;
  POSITION c;
  ERRORCODE e = nv_MeterToDegr(&centre, &c);
  if (CL_IsError(e)) return e;
  const DOUBLE h = halfSide / 60.0;
  const POSITION ll = {c.lat - h, nv_Coangle(c.lon - h)};
  e = nv_DegrToMeter(&ll, lowerLeft);
  if (!CL_IsSuccess(e)) return e;
  const POSITION ur = {c.lat + h, nv_Coangle(c.lon + h)};
  return nv_DegrToMeter(&ur, upperRight);
}

ERRORCODE nv_DistCorrection(DOUBLE lat, DOUBLE *factor) {
  if (Beyond(lat, NV_LAT_LIMIT)) {
    *factor = 0.0;
    return NV_ERR_LATITUDE;
  }
  *factor = kDistCorrection[static_cast<int>(std::fabs(lat) + 0.5)];
  return CL_SUCCESS;
}

ERRORCODE nv_SessToDecm(SINT degrees, SINT minutes, SINT seconds, DOUBLE *out) {
  const bool negative = degrees < 0 || minutes < 0 || seconds < 0;
  const int64_t d = std::llabs(degrees), m = std::llabs(minutes), s = std::llabs(seconds);
  if (m > 59 || s > 59 || d > 360 || (d == 360 && (m != 0 || s != 0))) {
    *out = 0.0;
    return NV_ERR_ANGLE;
  }
  const DOUBLE v = d + m * 0.016666666666666666 + s * 0.0002777777777777778;
  *out = negative ? -v : v;
  return CL_SUCCESS;
}

ERRORCODE nv_DieselConsumption(DOUBLE distance, DOUBLE speed, DOUBLE rate, DOUBLE *fuel) {
  if (!(distance >= 0.0)) {
    *fuel = 0.0;
    return NV_ERR_DISTANCE;
  }
  if (!(std::fabs(speed) >= kEps)) {
    *fuel = 0.0;  // no usable estimate without a speed
    return NV_WARN_SPEED;
  }
  if (!(rate >= kEps)) {
    *fuel = 0.0;
    return NV_ERR_RATE;
  }
  *fuel = std::floor(0.5 + rate * 0.19 * distance / std::fabs(speed));
  return distance > NV_MAX_DISTANCE ? NV_WARN_DISTANCE : CL_SUCCESS;
}

ERRORCODE nv_ExpOfTwo(SINT value, SINT *out) {
  *out = value < 1 ? 0 : static_cast<SINT>(std::floor(0.5 + std::log(static_cast<DOUBLE>(value)) * 1.4426950420544162));
  return CL_SUCCESS;
}

ERRORCODE nv_CalcTimeToGo(const DOUBLE *distance, DOUBLE speed, TIMETOGO *out) {
  *out = TIMETOGO{0, 0, 0};
  if (!(std::fabs(speed) >= 0.1)) return NV_WARN_SPEED;
  const DOUBLE dist = *distance;
  if (!(dist >= 0.0)) return NV_ERR_DISTANCE;
  if (dist <= kEps) return CL_SUCCESS;
  const DOUBLE t = dist / std::fabs(speed);
  if (t >= 2147483647.0) {
    out->Hours = 2147483647;  // more hours than the count holds
  } else {
    out->Hours = static_cast<SINT>(t);
    const DOUBLE minutes = (t - out->Hours) * 60.0;
    out->Minutes = static_cast<SCHAR>(minutes);
    out->Seconds = static_cast<SCHAR>((minutes - out->Minutes) * 60.0);
    if (out->Seconds > 59) {
      out->Seconds = 0;
      out->Minutes++;
    }
  }
  return dist > NV_MAX_DISTANCE ? NV_WARN_DISTANCE : CL_SUCCESS;
}

ERRORCODE nv_CalcAppWind(DOUBLE relAngle, DOUBLE speed, DOUBLE heading, DOUBLE ownSpeed, DOUBLE *resSpeed,
                         DOUBLE *resAngle, DOUBLE *resDirection) {
  DOUBLE g = std::trunc(relAngle);
  if (g > 180.0) g -= 360.0;
  if (speed < kEps) {
    *resSpeed = ownSpeed;
    *resAngle = 0.0;
    *resDirection = heading;
    return CL_SUCCESS;
  }
  if (ownSpeed <= kEps) {
    *resSpeed = speed;
    *resAngle = g;
    *resDirection = std::fmod(heading + 360.0 + g, 360.0);
    return CL_SUCCESS;
  }
  const DOUBLE fx = ownSpeed + speed * std::cos(g * kDegToRad);
  const DOUBLE fy = speed * std::sin(g * kDegToRad);
  *resSpeed = std::sqrt(fx * fx + fy * fy);
  // atan2 equals atan(fy / fx) ahead of the beam and keeps the quadrant when the sum points astern.
  const DOUBLE angle = std::trunc(std::atan2(fy, fx) * kRadToDeg);
  *resAngle = angle;
  *resDirection = std::fmod(heading + 360.0 + angle, 360.0);
  return CL_SUCCESS;
}
