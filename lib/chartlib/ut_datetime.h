// Decimal dates and times of the chart library: DDMMYY dates (00-69 are 20xx), HHMMSS times.
#pragma once
#include "chartlib/chartlib_types.h"

typedef ULONG UT_DATE;     // DDMMYY
typedef ULONG UT_TIME;     // HHMMSS
typedef SLONG UT_TIMEOFS;  // signed HHMMSS, within +-99995959
struct UT_DATETIME {
  UT_DATE Date;
  UT_TIME Time;
};

// Seconds since 1970 of a local date and time, minus offset (seconds east). 0; 1 bad date, 2 bad time,
// 3 when the result is negative.
SINT ut_date2time(SLONG offset, UT_DATE date, UT_TIME time, ULONG *seconds);
// Date and time of seconds + offset. 0, or 1 when the sum is negative.
SINT ut_time2date(SLONG offset, UT_DATE *date, UT_TIME *time, ULONG seconds);
SINT ut_mkdatetime(UT_DATETIME *dt, UT_DATE date, UT_TIME time);
SINT ut_getdate(const UT_DATETIME *dt, UT_DATE *date);
SINT ut_gettime(const UT_DATETIME *dt, UT_TIME *time);
SINT ut_getday(UT_DATE date, SINT *day);
SINT ut_getmonth(UT_DATE date, SINT *month);
SLONG ut_timeofstosecs(UT_TIMEOFS ofs);
UT_TIMEOFS ut_secstotimeofs(SLONG seconds);
UT_TIMEOFS ut_addtimeofs(UT_TIMEOFS a, UT_TIMEOFS b);
