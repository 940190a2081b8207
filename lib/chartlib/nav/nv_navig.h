// Navigation mathematics of the chart library: the Mercator metre grid and rhumb-line courses, distances,
// midpoints and displacements, plus unit conversions. Pure functions; distances in nautical miles, angles in degrees.
#pragma once
#include "chartlib/chartlib_types.h"

// The grid: a sphere of radius 6,378,388 m applied to the geocentric latitude.
constexpr SLONG NV_HALF_WORLD = 20038300;  // largest |x|
constexpr SLONG NV_WORLD = 40076600;
constexpr SLONG NV_Y_LIMIT = 15433198;  // largest |y|, latitude 80
constexpr DOUBLE NV_LAT_LIMIT = 80.0;
constexpr DOUBLE NV_MAX_DISTANCE = 21600.0;  // 360 x 60 NM

// Projection between degrees and Mercator metres.
ERRORCODE nv_DegrToMeter(const POSITION *pos, POINT *pt);
ERRORCODE nv_MeterToDegr(const POINT *pt, POSITION *pos);
ERRORCODE nv_GeographicToMeters(POINT *pt, const GEOGRAPHIC *geo);
ERRORCODE nv_MetersToGeographic(const POINT *pt, GEOGRAPHIC *geo);  // seconds always 0
// x carried into 0..40,076,600 eastward from longitude 0, for comparing x across the date line.
SLONG nv_AllAround(SLONG x);

// Rhumb lines.
ERRORCODE nv_RouteAngle(const POINT *from, const POINT *to, DOUBLE *course);
ERRORCODE nv_GeoRouteAngle(const POSITION *from, const POSITION *to, DOUBLE *course);
ERRORCODE nv_CalcDistance(const POSITION *from, const POSITION *to, DOUBLE course, DOUBLE *distance);
ERRORCODE nv_CalcRngBrg(const POINT *from, const POINT *to, DOUBLE variation, POLAR *out);
ERRORCODE nv_MiddlePosition(const POSITION *a, const POSITION *b, POSITION *out);
ERRORCODE nv_MiddleMMPosition(const POINT *a, const POINT *b, POINT *out);
ERRORCODE nv_PolarToGeographic(POINT start, POLAR polar, POINT *out);
ERRORCODE nv_CenteredSquare(POINT centre, DOUBLE halfSide, POINT *lowerLeft, POINT *upperRight);

// Factor by which a length in minutes of longitude is corrected at a latitude.
ERRORCODE nv_DistCorrection(DOUBLE lat, DOUBLE *factor);
ERRORCODE nv_SessToDecm(SINT degrees, SINT minutes, SINT seconds, DOUBLE *out);
ERRORCODE nv_DieselConsumption(DOUBLE distance, DOUBLE speed, DOUBLE rate, DOUBLE *fuel);
ERRORCODE nv_ExpOfTwo(SINT value, SINT *out);
ERRORCODE nv_CalcTimeToGo(const DOUBLE *distance, DOUBLE speed, TIMETOGO *out);
// Vector sum of a relative motion (angle off the bow, speed) and the own motion.
ERRORCODE nv_CalcAppWind(DOUBLE relAngle, DOUBLE speed, DOUBLE heading, DOUBLE ownSpeed, DOUBLE *resSpeed,
                         DOUBLE *resAngle, DOUBLE *resDirection);

DOUBLE nv_Coangle(DOUBLE angle);     // into -180..180
DOUBLE nv_RoundTo360(DOUBLE angle);  // into 0..below 360
DOUBLE nv_MagHead(DOUBLE trueHeading, DOUBLE variation);
DOUBLE nv_TrueHead(DOUBLE magHeading, DOUBLE variation);
// flag 0 converts the first unit named to the second, any other flag back.
DOUBLE nv_FeetMeters(DOUBLE value, SINT flag);       // metres -> feet
DOUBLE nv_FathomsMeters(DOUBLE value, SINT flag);    // metres -> fathoms
DOUBLE nv_NMilesKilometers(DOUBLE value, SINT flag); // NM -> km
DOUBLE nv_NMilesTMiles(DOUBLE value, SINT flag);     // NM -> statute miles
DOUBLE nv_LitersGallons(DOUBLE value, SINT flag);    // gallons -> litres
