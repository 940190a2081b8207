// Second-method parameters of the month, and the mean level by days since spring tide.
#pragma once
#include "chartlib/tide/tide_station.h"
#include "chartlib/util/ut_datetime.h"

ERRORCODE tc_GetTideParamByDate(BA_STATION *s, UT_DATE date, UT_TIME time, BA_TIDE_PARAMS *params);
// Mean level (m) from section 1's values v0..v9 for a moment on the station's clock.
ERRORCODE tc_BA_Mean_Level(SLONG meridian, UT_DATE date, UT_TIME time, const DOUBLE *values, DOUBLE *mean);
// Days from one date-time pair to another, rounded up.
ERRORCODE ddays(SLONG offset, UT_DATETIME from, UT_DATETIME to, SLONG *days);
