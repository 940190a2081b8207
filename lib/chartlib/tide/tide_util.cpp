// Missing values, conversions, Julian dates and date checks of the tide library.
#include "chartlib/tide/tide_util.h"

#include <cmath>
#include <cstring>

int IsNaF(const DOUBLE *value) {
  unsigned char b[sizeof(DOUBLE)];
  std::memcpy(b, value, sizeof b);
  for (unsigned char c : b)
    if (c != 0xFF) return 0;
  return 1;
}

int IsNaN(CH_MEM_CURSOR *cursor, DOUBLE *value) {
  *value = ch_ReadFloatCache(cursor);
  return IsNaF(value);
}

DOUBLE tc_NoValue() {
  DOUBLE v;
  std::memset(&v, 0xFF, sizeof v);
  return v;
}

fixed tc_ToFixed(DOUBLE x) {
  const DOUBLE v = x > 0 ? 0.5 + 65536.0 * x : 65536.0 * x - 0.5;
  if (!(v > -2147483648.0)) return INT32_MIN;  // saturate what 16.16 cannot hold (and NaN)
  if (v >= 2147483648.0) return INT32_MAX;
  return static_cast<fixed>(v);
}

bool tc_TruncateToInt(DOUBLE x, int32_t lo, int32_t hi, int32_t *out) {
  if (!(x > lo - 1.0 && x < hi + 1.0)) return false;
  *out = static_cast<int32_t>(x);
  return true;
}

DOUBLE tc_ToFLOAT(fixed v) { return v / 65536.0; }

int tc_sign(DOUBLE x) { return x < 0 ? -1 : 1; }

ERRORCODE tc_julian2time_t(DOUBLE jd, int64_t *seconds) {
  *seconds = static_cast<int64_t>((jd - 2440587.5) * 86400.0);
  return CL_SUCCESS;
}

ERRORCODE tc_time_t2julian(int64_t seconds, DOUBLE *jd) {
  *jd = 2440587.5 + static_cast<DOUBLE>(seconds) / 86400.0;
  return CL_SUCCESS;
}

ERRORCODE tc_SplitDateTime(UT_DATETIME dt, UT_DATE *date, UT_TIME *time, SINT *month, SINT *day) {
  ut_getdate(dt, date);
  ut_gettime(dt, time);
  ULONG seconds;
  if (ut_date2time(0, *date, 0, &seconds) != 0) return TC_WARN_BAD_DATE;
  if (seconds < TC_FIRST_DATE_SECONDS) return TC_WARN_DATE_TOO_EARLY;
  if (seconds >= TC_END_DATE_SECONDS) return TC_WARN_BAD_DATE;  // beyond the built-in tables
  if (month != nullptr && day != nullptr) {
    ut_getmonth(*date, month);
    ut_getday(*date, day);
  }
  return CL_SUCCESS;
}

bool tc_EventOnDay(ULONG clock, UT_DATE date, UT_TIMEOFS *time, ERRORCODE *error) {
  const ULONG r = clock % 60;
  const ULONG minute = clock - r + (r <= 30 ? 0 : 60);
  UT_DATE d;
  UT_TIME tm;
  *error = CL_SUCCESS;
  if (ut_time2date(minute, &d, &tm, 0) != 0) {
    *error = TC_WARN_BAD_DATE;
    return false;
  }
  if (d != date) return false;
  *time = static_cast<UT_TIMEOFS>(tm);
  return true;
}

void tc_InitGlobalsStruct(TC_GLOBALS *g, int, BPTABLE *table) {
  g->table = table;
  g->time_differences[2] = g->time_differences[3] = 0.0;
  for (DOUBLE &v : g->speed_corrections) v = 0.0;
  g->clock_offset = 0;
}

DOUBLE tc_MagneticVariation(const BPTABLE *table, DOUBLE direction) {
  const DOUBLE variation = table->HarmonicInfoTable.MagneticVariation;
  if (direction <= 0 || variation == 0) return direction;
  const DOUBLE d = direction + variation;
  return d - 360.0 * std::floor(d / 360.0);
}
