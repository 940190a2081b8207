#include "util/datum.h"

#include <cmath>

// Ellipsoids and three-parameter datum shifts from the WGS 84 standard's datum transformation tables
// (DMA/NIMA TR 8350.2, appendices A and B; da and df = WGS 84 minus local, df scaled by 1e4). The Swiss CH 1903
// shift, which those tables do not carry, is the three-parameter set published by the Swiss survey (EPSG 1766).

namespace {

constexpr double kDegToRad = 0.017453292519943295;
constexpr double kRadToDeg = 57.29577951308232;
constexpr double kWgs84A = 6378137.0;
constexpr double kWgs84F = 0.00335281066474748;
constexpr int kEndDatum = 124;

constexpr ELLIPSOID_SPEC Spec(double a, double inverseFlattening) {
  return {a, (2.0 - 1.0 / inverseFlattening) / inverseFlattening, 1.0 / inverseFlattening};
}

const ELLIPSOID_PARAM ellipsoid[] = {
    {_AIRY, Spec(6377563.396, 299.3249646)},
    {_MODIFIED_AIRY, Spec(6377340.189, 299.3249646)},
    {_AUSTRALIAN_NATIONAL, Spec(6378160.0, 298.25)},
    {_BESSEL_1841, Spec(6377397.155, 299.1528128)},
    {_BESSEL_1841_NAMBIA, Spec(6377483.865, 299.1528128)},
    {_CLARKE_1866, Spec(6378206.4, 294.9786982)},
    {_CLARKE_1880, Spec(6378249.145, 293.465)},
    {_EVEREST_INDIA_1830, Spec(6377276.345, 300.8017)},
    {_EVEREST_INDIA_1956, Spec(6377301.243, 300.8017)},
    {_EVEREST_MALAYSIA_1948, Spec(6377304.063, 300.8017)},
    {_EVEREST_MALAYSIA_1969, Spec(6377295.664, 300.8017)},
    {_EVEREST_BRUNEI, Spec(6377298.556, 300.8017)},
    {_EVEREST_PAKISTAN, Spec(6377309.613, 300.8017)},
    {_FISCHER_1960, Spec(6378166.0, 298.3)},
    {_MODIFIED_FISCHER_1960, Spec(6378155.0, 298.3)},
    {_FISCHER_1968, Spec(6378150.0, 298.3)},
    {_GRS_1967, Spec(6378160.0, 298.247167427)},
    {_GRS_1980, Spec(6378137.0, 298.257222101)},
    {_HELMERT_1906, Spec(6378200.0, 298.3)},
    {_HOUGH, Spec(6378270.0, 297.0)},
    {_INTERNATIONAL, Spec(6378388.0, 297.0)},
    {_KRASSOVSKY, Spec(6378245.0, 298.3)},
    {_SOUTH_AMERICAN_1969, Spec(6378160.0, 298.25)},
    {_WGS_60, Spec(6378165.0, 298.3)},
    {_WGS_66, Spec(6378145.0, 298.25)},
    {_WGS_72, Spec(6378135.0, 298.26)},
    {_WGS_84, Spec(6378137.0, 298.257223563)},
    {_NO_MORE_ELLIPSOIDS, {0.0, 0.0, 0.0}},
};
static_assert(sizeof ellipsoid / sizeof ellipsoid[0] == _NO_MORE_ELLIPSOIDS + 1);

// da, df * 1e4 of the ellipsoids used more than once below, as the tables print them. Australian National and
// South American 1969 share a = 6378160 m, 1/f = 298.25.
constexpr double kIntlDa = -251.0, kIntlDf = -0.14192702;
constexpr double kClarke66Da = -69.4, kClarke66Df = -0.37264639;
constexpr double kAusDa = -23.0, kAusDf = -0.00081204;
constexpr double kBesselDa = 739.845, kBesselDf = 0.10037483;

const GEODETIC_DATUM GeodeticDatum[] = {
    {DATUM_WGS_84, _WGS_84, {0.0, 0.0, 0.0, 0.0, 0.0}},
    {DATUM_Chatham_1971, _INTERNATIONAL, {kIntlDa, kIntlDf, 175.0, -38.0, 113.0}},
    {DATUM_European_1950_Mean, _INTERNATIONAL, {kIntlDa, kIntlDf, -87.0, -98.0, -121.0}},
    {DATUM_European_1979_Mean, _INTERNATIONAL, {kIntlDa, kIntlDf, -86.0, -98.0, -119.0}},
    {DATUM_Ireland_1965, _MODIFIED_AIRY, {796.811, 0.11960023, 506.0, -122.0, 611.0}},
    {DATUM_Ord_Survey_GB_1936, _AIRY, {573.604, 0.11960023, 375.0, -111.0, 431.0}},
    {DATUM_Rome_1940, _INTERNATIONAL, {kIntlDa, kIntlDf, -225.0, -65.0, 9.0}},
    {DATUM_Australian_Geod_1966, _AUSTRALIAN_NATIONAL, {kAusDa, kAusDf, -133.0, -48.0, 148.0}},
    {DATUM_Australian_Geod_1984, _AUSTRALIAN_NATIONAL, {kAusDa, kAusDf, -134.0, -48.0, 149.0}},
    {DATUM_Swiss_CH_1903, _BESSEL_1841, {kBesselDa, kBesselDf, 674.374, 15.056, 405.346}},
    {DATUM_Bermuda_1957, _CLARKE_1866, {kClarke66Da, kClarke66Df, -73.0, 213.0, 296.0}},
    {DATUM_Cape_Canaveral_Mean, _CLARKE_1866, {kClarke66Da, kClarke66Df, -2.0, 151.0, 181.0}},
    {DATUM_Geodetic_Datum_1949, _INTERNATIONAL, {kIntlDa, kIntlDf, 84.0, -22.0, 209.0}},
    {DATUM_LC_5_Astro_1961, _CLARKE_1866, {kClarke66Da, kClarke66Df, 42.0, 124.0, 147.0}},
    {DATUM_NAD27_Alaska, _CLARKE_1866, {kClarke66Da, kClarke66Df, -5.0, 135.0, 172.0}},
    {DATUM_NAD27_Bahamas, _CLARKE_1866, {kClarke66Da, kClarke66Df, -4.0, 154.0, 178.0}},
    {DATUM_NAD27_Canada, _CLARKE_1866, {kClarke66Da, kClarke66Df, -10.0, 158.0, 187.0}},
    {DATUM_NAD27_Canal_Zone, _CLARKE_1866, {kClarke66Da, kClarke66Df, 0.0, 125.0, 201.0}},
    {DATUM_NAD27_Caribbean, _CLARKE_1866, {kClarke66Da, kClarke66Df, -3.0, 142.0, 183.0}},
    {DATUM_NAD27_Central_America, _CLARKE_1866, {kClarke66Da, kClarke66Df, 0.0, 125.0, 194.0}},
    {DATUM_NAD27_Cuba, _CLARKE_1866, {kClarke66Da, kClarke66Df, -9.0, 152.0, 178.0}},
    {DATUM_NAD27_Greenland, _CLARKE_1866, {kClarke66Da, kClarke66Df, 11.0, 114.0, 195.0}},
    {DATUM_NAD27_Mean, _CLARKE_1866, {kClarke66Da, kClarke66Df, -8.0, 160.0, 176.0}},
    {DATUM_NAD27_Mexico, _CLARKE_1866, {kClarke66Da, kClarke66Df, -12.0, 130.0, 190.0}},
    {DATUM_NAD27_San_Salvador, _CLARKE_1866, {kClarke66Da, kClarke66Df, 1.0, 140.0, 165.0}},
    {DATUM_NAD83, _GRS_1980, {0.0, -0.00000016, 0.0, 0.0, 0.0}},
    {DATUM_Old_Hawaiian_Mean, _CLARKE_1866, {kClarke66Da, kClarke66Df, 61.0, -285.0, -181.0}},
    {DATUM_Puerto_Rico, _CLARKE_1866, {kClarke66Da, kClarke66Df, 11.0, 72.0, -101.0}},
    {DATUM_South_American_1969_Mean, _SOUTH_AMERICAN_1969, {kAusDa, kAusDf, -57.0, 1.0, -41.0}},
    {DATUM_Tokyo_Mean, _BESSEL_1841, {kBesselDa, kBesselDf, -148.0, 507.0, 685.0}},
    {kEndDatum, _WGS_84, {0.0, 0.0, 0.0, 0.0, 0.0}},
};
constexpr int kRows = sizeof GeodeticDatum / sizeof GeodeticDatum[0];
static_assert(kRows == 31);

bool IsIdentity(DATUM_PLANE dp) {
  return dp == DATUM_WGS_84 || dp == DATUM_Ghana || dp == DATUM_Montjong_Lowe || dp == DATUM_Sierra_Leone_1960;
}

const GEODETIC_DATUM &FindRow(DATUM_PLANE dp) {
  if (dp == DATUM_Chatham_1971) return GeodeticDatum[1];
  int row = 2;
  while (row < kRows - 1 && GeodeticDatum[row].datum != dp) ++row;
  return GeodeticDatum[row];
}

// Into (-180, 180]. The remainder first, so that even a shift of several turns (next to a pole, where the
// longitude shift grows without bound) lands in range; for ordinary values it is the same single step.
double NormaliseLongitude(double lonDeg) {
  lonDeg = std::fmod(lonDeg, 360.0);
  if (lonDeg > 180.0) return lonDeg - 360.0;
  if (lonDeg <= -180.0) return lonDeg + 360.0;
  return lonDeg;
}

// sign +1 adds the shifts (datum to WGS 84), -1 subtracts them.
void Shift(DATUM_PLANE dp, double latDeg, double lonDeg, double *pLatDeg, double *pLonDeg, double sign) {
  if (IsIdentity(dp)) {
    *pLatDeg = latDeg;
    *pLonDeg = lonDeg;
    return;
  }
  const GEODETIC_DATUM &row = FindRow(dp);
  DATUM_INFO info{row.deltas, ellipsoid[row.ellipsoid].spec};
  GEODETIC_POSITION position{latDeg * kDegToRad, lonDeg * kDegToRad, 0.0};
  POSITION_DELTAS deltas;
  datum_Molodensky(&info, &position, &deltas);
  *pLatDeg = (position.lat + sign * deltas.d_phi) * kRadToDeg;
  *pLonDeg = NormaliseLongitude((position.lon + sign * deltas.d_lambda) * kRadToDeg);
}

}  // namespace

void datum_Molodensky(const DATUM_INFO *pDatum, const GEODETIC_POSITION *pInput, POSITION_DELTAS *pOutput) {
  const double da = pDatum->deltas.da;
  const double df = pDatum->deltas.df * 1e-4;
  const double dx = pDatum->deltas.dx, dy = pDatum->deltas.dy, dz = pDatum->deltas.dz;
  const double f = kWgs84F - df;
  const double a = kWgs84A - da;
  const double e2 = (2.0 - f) * f;
  const double b = (1.0 - f) * a;
  const double h = pInput->alt;

  const double sinPhi = std::sin(pInput->lat), cosPhi = std::cos(pInput->lat);
  const double sinLam = std::sin(pInput->lon), cosLam = std::cos(pInput->lon);
  const double w2 = 1.0 - e2 * sinPhi * sinPhi;
  const double rn = a / std::sqrt(w2);
  const double rm = a * (1.0 - e2) / std::pow(w2, 1.5);

  pOutput->d_phi = (-dx * sinPhi * cosLam - dy * sinPhi * sinLam + dz * cosPhi + da * e2 * rn * sinPhi * cosPhi / a +
                    df * sinPhi * cosPhi * (rm * a / b + rn * b / a)) /
                   (rm + h);
  pOutput->d_lambda = (-dx * sinLam + dy * cosLam) / ((rn + h) * cosPhi);
  pOutput->dh = dx * cosPhi * cosLam + dy * cosPhi * sinLam + dz * sinPhi - da * a / rn +
                df * b * rn * sinPhi * sinPhi / a;
}

void Datum_2_WGS84(DATUM_PLANE dp, double WLatDeg, double WLonDeg, double *pLatDeg, double *pLonDeg) {
  Shift(dp, WLatDeg, WLonDeg, pLatDeg, pLonDeg, 1.0);
}

void WGS84_2_Datum(double WLatDeg, double WLonDeg, double *pLatDeg, double *pLonDeg, DATUM_PLANE dp) {
  Shift(dp, WLatDeg, WLonDeg, pLatDeg, pLonDeg, -1.0);
}
