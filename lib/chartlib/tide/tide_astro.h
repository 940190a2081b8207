// Sun and moon: positions, rise and set searches (double precision) and lunar phases (16.16).
#pragma once
#include "chartlib/chartlib_types.h"
#include "chartlib/tide/tide_fixed.h"
#include "chartlib/util/ut_datetime.h"

enum { TC_BODY_SUN = 1, TC_BODY_MOON = 2 };
// Rise/set altitude: refraction and semidiameter included.
constexpr DOUBLE TC_RISE_SET_ALTITUDE = -0.83;

ERRORCODE tc_lst(DOUBLE jd, DOUBLE longitude_west_hours, DOUBLE *hours);
ERRORCODE tc_altit(DOUBLE declination, DOUBLE hour_angle, DOUBLE latitude, DOUBLE *altitude);
DOUBLE tc_atan_circ(DOUBLE x, DOUBLE y);
ERRORCODE tc_lpsun(DOUBLE jd, DOUBLE *ra, DOUBLE *dec);
ERRORCODE tc_lpmoon(DOUBLE jd, DOUBLE latitude, DOUBLE lst, DOUBLE *ra, DOUBLE *dec);
ERRORCODE tc_body_altitude(DOUBLE jd, DOUBLE latitude, DOUBLE longitude_west_hours, int body, DOUBLE *altitude);
ERRORCODE tc_jd_sun_alt(DOUBLE altitude, DOUBLE guess, DOUBLE latitude, DOUBLE longitude_west_hours, int *rising,
                        int body, DOUBLE *jd);
// Next (direction 1) or previous (-1) rise or set. TC_WARN_NO_CROSSING, *jd unchanged, when the body does
// not cross the rise/set altitude within 48 hours.
ERRORCODE tc_find_next_body_event(DOUBLE *jd, DOUBLE latitude, DOUBLE longitude_west_hours, int direction,
                                  int *rising, int body);
ERRORCODE tc_next_sun_event(int64_t *seconds, DOUBLE latitude, DOUBLE longitude_east, int direction, int *rising);
ERRORCODE tc_next_moon_event(int64_t *seconds, DOUBLE latitude, DOUBLE longitude_east, int direction, int *rising);
ERRORCODE tc_flmoon(int n, int phase, DOUBLE *jd);

// Lunar phases: times are seconds since 2000-01-01 00:00; phase n counts quarter lunations from the new
// moon of 2000-01-06, its type is n mod 4 (0 new, 1 first quarter, 2 full, 3 last quarter).
uint32_t moon_approximated_phase(int n);
uint32_t moon_corrected_phase(int n);
// TC_WARN_BAD_DATE where the phase table does not reach.
ERRORCODE next_moon_phase(uint32_t t, uint32_t *time, int *type);
ERRORCODE previous_moon_phase(uint32_t t, uint32_t *time, int *type);
ERRORCODE moon_phase_fraction(uint32_t t, fixed *fraction);

// The same on clock seconds since 1970.
ERRORCODE TC_moon_phase_fraction(ULONG t, fixed *fraction);
ERRORCODE TC_previous_moon_phase(ULONG t, ULONG *time, int *type);
ERRORCODE TC_next_moon_phase(ULONG t, ULONG *time, int *type);

ERRORCODE tc_GetNextPrevMoonPhase(SLONG offset, UT_DATETIME *dt, SINT *type, int direction);
ERRORCODE tc_GetPrevMoonPhase(SLONG offset, UT_DATETIME *dt, SINT *type);
ERRORCODE tc_GetNextMoonPhase(SLONG offset, UT_DATETIME *dt, SINT *type);
