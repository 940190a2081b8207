// Second-method (BA) tides of primary stations: six constant pairs expanded into harmonic constituents,
// with quarter- and sixth-diurnal terms from the semidiurnal tide's size.
#pragma once
#include "chartlib/tide/tide_interface.h"
#include "chartlib/tide/tide_predict.h"
#include "chartlib/tide/tide_station.h"

struct ba_coefficients {
  const BA_TIDE_PARAMS *params;
  tide_component components[20];
  constituent_set m2, s2, simple;
  component_term terms[20];
  uint32_t prepared;  // core time of the last preparation
  bool ready;
};

void build_ba_coefficients(const BA_TIDE_PARAMS *params, ba_coefficients *c);
// Height (16.16 mm) at core time t; refreshes the terms when t is more than 1800 s from their time.
fixed compute_ba_tide(ba_coefficients *c, uint32_t t);
int32_t ba_compute_primary_tide(ba_coefficients *c, uint32_t t);
void ba_compute_primary_tide_array(ba_coefficients *c, uint32_t t0, uint32_t step, int count, int32_t *values);
void ba_next_primary_tide(tide_event *result, ba_coefficients *c, uint32_t t0);

struct tc_sample;
ERRORCODE TC_ba_compute_primary_tide_array(ba_coefficients *c, ULONG start, ULONG step, int count, tc_sample *out,
                                           int32_t *results);
ERRORCODE TC_ba_next_primary_tides(ba_coefficients *c, ULONG start, tc_sample *out, int count);

ERRORCODE tc_BATide(BA_STATION *s, int primary, UT_DATE date, UT_TIME time, TIDE *tide);
ERRORCODE tc_BATides(BA_STATION *s, int primary, UT_DATE date, UT_TIME time, SINT span, UINT16 step, TIDE *tides,
                     SINT capacity);
ERRORCODE tc_BADailyTides(BA_STATION *s, int primary, UT_DATE date, DAILY_TIDES *daily);

// Secondary second-method stations: events of the reference converted by time and height differences.
struct ba_event {
  int type;
  SLONG time;       // clock seconds from midnight of the requested day
  DOUBLE height;    // metres
  SLONG reference;  // the reference event's time, same base
};
void tc_SetBASecHeight(BA_STATION *s, ba_event *e);
ERRORCODE tc_GetBASecWaterTime(const BA_STATION *s, ba_event *e);
ERRORCODE tc_GetBABigSec(const BA_STATION *s, UT_DATE date, ba_event *e);
ERRORCODE tc_BASecondaryTide(BA_STATION *s, UT_DATE date, UT_TIME time, TIDE *tide);
ERRORCODE tc_BASecondaryTides(BA_STATION *s, UT_DATE date, UT_TIME time, SINT span, UINT16 step, TIDE *tides,
                              SINT capacity);
