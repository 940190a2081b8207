// Decimal dates and times of the chart library and seconds since 1970 (UTC, no leap seconds), without the C
// library's time functions. DDMMYY dates: years 70-99 are 1970-1999, 00-69 are 2000-2069.
#pragma once
#include "chartlib/chartlib_types.h"

typedef ULONG UT_DATE;     // DDMMYY
typedef ULONG UT_TIME;     // HHMMSS
typedef SLONG UT_TIMEOFS;  // signed HHMMSS, the sign on the whole
typedef struct ut_datetime_tag {
  UT_DATE Date;
  UT_TIME Time;
} UT_DATETIME;

// The library's broken-down time.
typedef struct ut_tm_tag {
  SINT tm_sec;
  SINT tm_min;
  SINT tm_hour;
  SINT tm_mday;  // 1-31
  SINT tm_mon;   // 0-11
  SINT tm_year;  // since 1900
  SINT tm_wday;  // not set here
  SINT tm_yday;  // 0-365
} UT_TM;

// Results of the time operations.
enum : SINT {
  UT_OK = 0,
  UT_INVALID = 1,     // invalid date or time
  UT_UNSETTLED = 2,   // the search for a second count did not settle
  UT_NO_SECONDS = 3,  // no second count gives the time, or it would be negative or beyond 2^31 - 1
  UT_NEGATIVE = 4,    // a negative second count
};

// Date and time of seconds + offset; 4 when the sum is negative or beyond 2^31 - 1.
SINT ut_time2date(ULONG seconds, UT_DATE *date, UT_TIME *time, SLONG offset);
// Seconds of a date and time, minus the offset (seconds east): 3 when there are none.
SINT ut_date2time(SLONG offset, UT_DATE date, UT_TIME time, ULONG *seconds);
SINT ut_gmtime(SLONG seconds, UT_TM *tm);
// Seconds of a broken-down time (year, month, day, hour, minute, second), by a search over 31 bits.
SINT ut_tm2gmt(SLONG *seconds, const UT_TM *tm);
SINT ut_calcsUTCdate(SLONG days, UT_TM *tm);               // date fields and day of year
SINT ut_calcsdate(SINT years, SINT yday, UT_TM *tm);       // date fields of a day of the year
SINT ut_calcstime(SLONG secondsOfDay, UT_TM *tm);          // hours, minutes, seconds
SINT ut_yearofuttimet(SLONG seconds, SINT *year);          // four digits
SINT ut_yearisleap(SINT year);                             // 1 leap
SINT ut_dateisvalid(UT_DATE date);                         // 0 valid, 1 invalid
SINT ut_timeisvalid(UT_TIME time);
SINT ut_mkdatetime(UT_DATETIME *dt, UT_DATE date, UT_TIME time);  // 1 and nothing stored when either is invalid
SINT ut_getdate(UT_DATETIME dt, UT_DATE *date);
SINT ut_gettime(UT_DATETIME dt, UT_TIME *time);
SINT ut_gethour(UT_TIME time, SINT *hour);
SINT ut_getmin(UT_TIME time, SINT *min);
SINT ut_getsec(UT_TIME time, SINT *sec);
SINT ut_getday(UT_DATE date, SINT *day);
SINT ut_getmonth(UT_DATE date, SINT *month);
SINT ut_getyear(UT_DATE date, SINT *year);          // two digits
SINT ut_getcompleteyear(UT_DATE date, SINT *year);  // 1970-2069
// Offsets: 0 out of range (seconds within +-35,999,999, offsets within +-99,995,959).
UT_TIMEOFS ut_secstotimeofs(SLONG seconds);
SLONG ut_timeofstosecs(UT_TIMEOFS ofs);
UT_TIMEOFS ut_addtimeofs(UT_TIMEOFS a, UT_TIMEOFS b);
