// Magnetic variation (declination) from the World Magnetic Model by spherical-harmonic synthesis.
#pragma once
#include "corvan/types.h"

constexpr int GEOMAG_MAXORD = 12;

// Coefficients in the packed, Schmidt semi-normalised layout: c[m][n] = g(n, m), c[n][m - 1] = h(n, m); cd holds
// the yearly rates. The model is evaluated from its epoch up to five years later (dates outside are clamped).
typedef struct {
  double epochYearsAfter1970;
  double c[GEOMAG_MAXORD + 1][GEOMAG_MAXORD + 1];
  double cd[GEOMAG_MAXORD + 1][GEOMAG_MAXORD + 1];
} GEOMAG_MODEL;

extern const GEOMAG_MODEL U_GEOMAG_Wmm2015;  // epoch 2015.0
extern const GEOMAG_MODEL U_GEOMAG_Wmm2025;  // epoch 2025.0, the current model

// Declination in degrees, east positive, with the current model. alt: km above the ellipsoid; lat, lon: degrees;
// u32time: seconds since 1970-01-01 00:00 UTC.
double dMagneticVariation(double alt, double lat, double lon, U32 u32time);
// The same with a given model.
double U_GEOMAG_dDeclination(const GEOMAG_MODEL *pModel, double alt, double lat, double lon, U32 u32time);
