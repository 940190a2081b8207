// Conversion between WGS 84 and the map datums offered to the user, by the Molodensky transformation with the
// published three-parameter datum shifts.
#pragma once
#include "corvan/types.h"

// Datum numbers in the chart library's order (0 to 123); only the table's datums and the identities are named.
typedef enum {
  DATUM_WGS_84 = 0,
  DATUM_Chatham_1971 = 1,
  DATUM_European_1950_Mean = 2,
  DATUM_European_1979_Mean = 3,
  DATUM_Ireland_1965 = 4,
  DATUM_Ord_Survey_GB_1936 = 5,
  DATUM_Rome_1940 = 6,
  DATUM_Australian_Geod_1966 = 7,
  DATUM_Australian_Geod_1984 = 8,
  DATUM_Swiss_CH_1903 = 9,
  DATUM_Bermuda_1957 = 10,
  DATUM_Cape_Canaveral_Mean = 11,
  DATUM_Geodetic_Datum_1949 = 12,
  DATUM_LC_5_Astro_1961 = 13,
  DATUM_NAD27_Alaska = 14,
  DATUM_NAD27_Bahamas = 15,
  DATUM_NAD27_Canada = 16,
  DATUM_NAD27_Canal_Zone = 17,
  DATUM_NAD27_Caribbean = 18,
  DATUM_NAD27_Central_America = 19,
  DATUM_NAD27_Cuba = 20,
  DATUM_NAD27_Greenland = 21,
  DATUM_NAD27_Mean = 22,
  DATUM_NAD27_Mexico = 23,
  DATUM_NAD27_San_Salvador = 24,
  DATUM_NAD83 = 25,
  DATUM_Old_Hawaiian_Mean = 26,
  DATUM_Puerto_Rico = 27,
  DATUM_South_American_1969_Mean = 28,
  DATUM_Tokyo_Mean = 29,
  DATUM_Ghana = 63,
  DATUM_Montjong_Lowe = 89,
  DATUM_Sierra_Leone_1960 = 111,
  DATUM_Zanderij = 123,
} DATUM_PLANE;

typedef enum {
  _AIRY, _MODIFIED_AIRY, _AUSTRALIAN_NATIONAL, _BESSEL_1841, _BESSEL_1841_NAMBIA, _CLARKE_1866, _CLARKE_1880,
  _EVEREST_INDIA_1830, _EVEREST_INDIA_1956, _EVEREST_MALAYSIA_1948, _EVEREST_MALAYSIA_1969, _EVEREST_BRUNEI,
  _EVEREST_PAKISTAN, _FISCHER_1960, _MODIFIED_FISCHER_1960, _FISCHER_1968, _GRS_1967, _GRS_1980, _HELMERT_1906,
  _HOUGH, _INTERNATIONAL, _KRASSOVSKY, _SOUTH_AMERICAN_1969, _WGS_60, _WGS_66, _WGS_72, _WGS_84,
  _NO_MORE_ELLIPSOIDS
} ELLIPSOID;

// WGS 84 minus the local ellipsoid (da in metres, df = flattening difference * 1e4) and the shift of the local
// datum's origin to WGS 84 (metres).
typedef struct {
  double da;
  double df;
  double dx;
  double dy;
  double dz;
} ELLIPSOID_DELTAS;

typedef struct {
  int datum;  // DATUM_PLANE; the end row holds 124
  ELLIPSOID ellipsoid;
  ELLIPSOID_DELTAS deltas;
} GEODETIC_DATUM;

typedef struct {
  double EquatorialRadius;
  double eccentricitySquared;
  double flattening;
} ELLIPSOID_SPEC;

typedef struct {
  ELLIPSOID Id;
  ELLIPSOID_SPEC spec;
} ELLIPSOID_PARAM;

typedef struct {
  ELLIPSOID_DELTAS deltas;
  ELLIPSOID_SPEC spec;
} DATUM_INFO;

typedef struct {
  double lat;  // radians
  double lon;  // radians
  double alt;  // metres
} GEODETIC_POSITION;

typedef struct {
  double d_phi;     // radians
  double d_lambda;  // radians
  double dh;        // metres
} POSITION_DELTAS;

// A position in datum dp to WGS 84 (degrees); the longitude comes back in (-180, 180].
void Datum_2_WGS84(DATUM_PLANE dp, double WLatDeg, double WLonDeg, double *pLatDeg, double *pLonDeg);
// A WGS 84 position to datum dp (degrees): subtracts the shifts computed at the WGS 84 point.
void WGS84_2_Datum(double WLatDeg, double WLonDeg, double *pLatDeg, double *pLonDeg, DATUM_PLANE dp);
// The Molodensky shifts for one position.
void datum_Molodensky(const DATUM_INFO *pDatum, const GEODETIC_POSITION *pInput, POSITION_DELTAS *pOutput);
