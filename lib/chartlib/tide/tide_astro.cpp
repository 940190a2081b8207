// Low-precision sun and moon positions and the secant search for their rise and set.
#include "chartlib/tide/tide_astro.h"

#include <cmath>

namespace {

constexpr DOUBLE DEG = 0.01745329251994;         // degrees to radians
constexpr DOUBLE MOON_DEG = 0.017453292519943302;
constexpr DOUBLE RAD = 57.2957795130823;         // radians to degrees
constexpr DOUBLE HOUR = 0.2617993878132;         // hours to radians
constexpr DOUBLE PI = 3.141592653589;
constexpr DOUBLE UNIX_EPOCH_JD = 2440587.5;
constexpr DOUBLE SEARCH_LIMIT_DAYS = 2.0;        // no rise or set within 48 h: none

DOUBLE frac(DOUBLE x) { return x - std::trunc(x); }

DOUBLE altitude_formula(DOUBLE dec, DOUBLE ha, DOUBLE lat) {
  return std::asin(std::sin(dec * DEG) * std::sin(lat * DEG) +
                   std::cos(dec * DEG) * std::cos(lat * DEG) * std::cos(ha * HOUR)) *
         RAD;
}

DOUBLE moon_sin(DOUBLE deg) { return std::sin(deg * MOON_DEG); }
DOUBLE moon_cos(DOUBLE deg) { return std::cos(deg * MOON_DEG); }

}  // namespace

ERRORCODE tc_lst(DOUBLE jd, DOUBLE longitude, DOUBLE *hours) {
  const DOUBLE d = std::trunc(jd);
  DOUBLE jd0, ut;
  if (jd - d < 0.5) {
    jd0 = d - 0.5;
    ut = jd - d + 0.5;
  } else {
    jd0 = d + 0.5;
    ut = jd - d - 0.5;
  }
  const DOUBLE T = (jd0 - 2451545.0) / 36525.0;
  const DOUBLE G = (24110.54841 + 8640184.812866 * T + 0.093104 * T * T - 6.2e-6 * T * T * T) / 86400.0;
  DOUBLE s = frac(G) + 1.0027379093 * ut - longitude / 24.0;
  s = frac(s) * 24.0;
  if (s < 0) s += 24.0;
  *hours = s;
  return CL_SUCCESS;
}

ERRORCODE tc_altit(DOUBLE dec, DOUBLE ha, DOUBLE lat, DOUBLE *altitude) {
  *altitude = altitude_formula(dec, ha, lat);
  return CL_SUCCESS;
}

DOUBLE tc_atan_circ(DOUBLE x, DOUBLE y) {
  if (x == 0) {
    if (y > 0) return 1.5707963267945;
    if (y < 0) return 4.7123889803834995;
    return 0;
  }
  DOUBLE theta = std::atan(y / x);
  if (x < 0) theta += PI;
  if (theta < 0) theta += 6.283185307178;
  return theta;
}

ERRORCODE tc_lpsun(DOUBLE jd, DOUBLE *ra, DOUBLE *dec) {
  const DOUBLE n = jd - 2451545.0;
  const DOUBLE g = (357.528 + 0.9856003 * n) * DEG;
  const DOUBLE lambda = (280.46 + 0.9856474 * n + 1.915 * std::sin(g) + 0.02 * std::sin(2 * g)) * DEG;
  const DOUBLE eps = (23.439 - 4e-7 * n) * DEG;
  const DOUBLE x = std::cos(lambda), y = std::cos(eps) * std::sin(lambda), z = std::sin(eps) * std::sin(lambda);
  *ra = tc_atan_circ(x, y) * 3.819718634;
  *dec = std::asin(z) * RAD;
  return CL_SUCCESS;
}

ERRORCODE tc_lpmoon(DOUBLE jd, DOUBLE lat, DOUBLE lst, DOUBLE *ra, DOUBLE *dec) {
  const DOUBLE T = (jd - 2451545.0) / 36525.0;
  const DOUBLE lambda = (218.32 + 481267.883 * T + 6.29 * moon_sin(134.9 + 477198.85 * T) -
                         1.27 * moon_sin(259.2 - 413335.38 * T) + 0.66 * moon_sin(235.7 + 890534.23 * T) +
                         0.21 * moon_sin(269.9 + 954397.7 * T) - 0.19 * moon_sin(357.5 + 35999.05 * T) -
                         0.11 * moon_sin(186.6 + 966404.05 * T)) *
                        MOON_DEG;
  const DOUBLE beta = (5.13 * moon_sin(93.3 + 483202.03 * T) + 0.28 * moon_sin(228.2 + 960400.87 * T) -
                       0.28 * moon_sin(318.3 + 6003.18 * T) - 0.17 * moon_sin(217.6 - 407332.2 * T)) *
                      MOON_DEG;
  const DOUBLE parallax = (0.9508 + 0.0518 * moon_cos(134.9 + 477198.85 * T) +
                           0.0095 * moon_cos(259.2 - 413335.38 * T) + 0.0078 * moon_cos(235.7 + 890534.23 * T) +
                           0.0028 * moon_cos(269.9 + 954397.7 * T)) *
                          MOON_DEG;
  const DOUBLE r = 1.0 / std::sin(parallax);
  const DOUBLE l = std::cos(beta) * std::cos(lambda);
  const DOUBLE m = 0.9175 * std::cos(beta) * std::sin(lambda) - 0.3978 * std::sin(beta);
  const DOUBLE n = 0.3978 * std::cos(beta) * std::sin(lambda) + 0.9175 * std::sin(beta);
  const DOUBLE phi = lat * DEG;
  DOUBLE x = r * l - std::cos(phi) * std::cos(lst * HOUR);
  DOUBLE y = r * m - std::cos(phi) * std::sin(lst * HOUR);
  DOUBLE z = r * n - std::sin(phi);
  const DOUBLE len = std::sqrt(x * x + y * y + z * z);
  x /= len;
  y /= len;
  z /= len;
  *ra = tc_atan_circ(x, y) * 3.819718634;
  *dec = std::asin(z) * RAD;
  return CL_SUCCESS;
}

ERRORCODE tc_body_altitude(DOUBLE jd, DOUBLE lat, DOUBLE lon, int body, DOUBLE *altitude) {
  DOUBLE lst, ra, dec;
  tc_lst(jd, lon, &lst);
  if (body == TC_BODY_SUN)
    tc_lpsun(jd, &ra, &dec);
  else
    tc_lpmoon(jd, lat, lst, &ra, &dec);
  *altitude = altitude_formula(dec, lst - ra, lat);
  return CL_SUCCESS;
}

ERRORCODE tc_jd_sun_alt(DOUBLE target, DOUBLE guess, DOUBLE lat, DOUBLE lon, int *rising, int body, DOUBLE *jd) {
  auto alt = [&](DOUBLE j) {
    DOUBLE a;
    tc_body_altitude(j, lat, lon, body, &a);
    return a;
  };
  auto fail = [&] {
    *jd = -1e10;
    return TC_WARN_NO_CROSSING;
  };
  const DOUBLE h0 = alt(guess);
  DOUBLE j = guess + 0.002;
  DOUBLE last = alt(j);
  DOUBLE slope = (last - h0) * 500.0;
  if (slope == 0) return fail();
  bool found = false;
  for (int k = 0; k < 12 && !found; ++k) {
    const DOUBLE step = (target - last) / slope;
    if (std::fabs(step) < 1.0 / 5760.0) {
      found = true;
      break;
    }
    j += step;
    if (std::fabs(j - guess) > 0.5) return fail();
    const DOUBLE h = alt(j);
    slope = (h - last) / step;
    if (slope == 0) return fail();
    last = h;
  }
  if (!found && !(std::fabs((target - last) / slope) < 1.0 / 5760.0)) return fail();
  *rising = alt(j - 5.0 / 86400.0) < alt(j) ? 1 : 0;
  *jd = j;
  return CL_SUCCESS;
}

ERRORCODE tc_find_next_body_event(DOUBLE *jd, DOUBLE lat, DOUBLE lon, int direction, int *rising, int body) {
  if (direction != 1 && direction != -1) return TC_WARN_BAD_ARGUMENT;
  const DOUBLE start = *jd + direction / 1440.0;
  DOUBLE a;
  tc_body_altitude(start, lat, lon, body, &a);
  const int wanted = (a < TC_RISE_SET_ALTITUDE) != (direction == -1) ? 1 : 0;
  // Move the guess 4 h at a time; a body that never crosses the altitude (polar day or night) ends
  // the search after 48 h.
  for (DOUBLE guess = start; std::fabs(guess - start) <= SEARCH_LIMIT_DAYS; guess += direction / 6.0) {
    DOUBLE j;
    int r;
    if (tc_jd_sun_alt(TC_RISE_SET_ALTITUDE, guess, lat, lon, &r, body, &j) != CL_SUCCESS) continue;
    if ((direction == 1 ? j > start : j < start) && r == wanted) {
      *jd = j;
      *rising = r;
      return CL_SUCCESS;
    }
  }
  return TC_WARN_NO_CROSSING;
}

namespace {

ERRORCODE next_event(int64_t *seconds, DOUBLE lat, DOUBLE lon_east, int direction, int *rising, int body) {
  DOUBLE jd = UNIX_EPOCH_JD + static_cast<DOUBLE>(*seconds) / 86400.0;
  const ERRORCODE e = tc_find_next_body_event(&jd, lat, lon_east * (-1.0 / 15.0), direction, rising, body);
  if (e != CL_SUCCESS) return e;
  *seconds = static_cast<int64_t>((jd - UNIX_EPOCH_JD) * 86400.0);
  return CL_SUCCESS;
}

}  // namespace

ERRORCODE tc_next_sun_event(int64_t *seconds, DOUBLE lat, DOUBLE lon_east, int direction, int *rising) {
  if (direction != 1 && direction != -1) return CL_SUCCESS;  // time left unchanged
  return next_event(seconds, lat, lon_east, direction, rising, TC_BODY_SUN);
}

ERRORCODE tc_next_moon_event(int64_t *seconds, DOUBLE lat, DOUBLE lon_east, int direction, int *rising) {
  return next_event(seconds, lat, lon_east, direction, rising, TC_BODY_MOON);
}

ERRORCODE tc_flmoon(int n, int phase, DOUBLE *jd) {
  const DOUBLE k = n + phase / 4.0;
  const DOUBLE T = k / 1236.85, T2 = T * T, T3 = T2 * T;
  DOUBLE j = 2415020.75933 + 29.53058868 * k + 0.0001178 * T2 - 1.55e-7 * T3 +
             0.00033 * std::sin((166.56 + 132.87 * T - 0.009173 * T2) * DEG);
  const DOUBLE M = (359.2242 + 29.10535608 * k - 3.33e-5 * T2 - 3.47e-6 * T3) * DEG;
  const DOUBLE Mp = (306.0253 + (360.0 + 25.81691806) * k + 0.0107306 * T2 + 1.236e-5 * T3) * DEG;
  const DOUBLE F = (21.2964 + 390.67050646 * k - 0.0016528 * T2 - 2.39e-6 * T3) * DEG;
  using std::cos;
  using std::sin;
  if (phase == 0 || phase == 2) {
    j += (0.1734 - 0.000393 * T) * sin(M) + 0.0021 * sin(2 * M) - 0.4068 * sin(Mp) + 0.0161 * sin(2 * Mp) -
         0.0004 * sin(3 * Mp) + 0.0104 * sin(2 * F) - 0.0051 * sin(M + Mp) - 0.0074 * sin(M - Mp) +
         0.0004 * sin(2 * F + M) - 0.0004 * sin(2 * F - M) - 0.0006 * sin(2 * F + Mp) + 0.0010 * sin(2 * F - Mp) +
         0.0005 * sin(M + 2 * Mp);
  } else {
    j += (0.1721 - 0.0004 * T) * sin(M) + 0.0021 * sin(2 * M) - 0.6280 * sin(Mp) + 0.0089 * sin(2 * Mp) -
         0.0004 * sin(3 * Mp) + 0.0079 * sin(2 * F) - 0.0119 * sin(M + Mp) - 0.0047 * sin(M - Mp) +
         0.0003 * sin(2 * F + M) - 0.0004 * sin(2 * F - M) - 0.0006 * sin(2 * F + Mp) + 0.0021 * sin(2 * F - Mp) +
         0.0003 * sin(M + 2 * Mp) + 0.0004 * sin(M - 2 * Mp) - 0.0003 * sin(2 * M + Mp);
    const DOUBLE w = 0.0028 - 0.0004 * cos(M) + 0.0003 * cos(Mp);
    j += phase == 1 ? w : -w;
  }
  *jd = j;
  return CL_SUCCESS;
}
