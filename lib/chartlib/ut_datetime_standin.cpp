// Stand-in for the chart library's date and time utilities until the chart data access is built.
#include <cstdlib>

#include "chartlib/ut_datetime.h"

namespace {

bool leap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int days_in_month(int y, int m) {
  static const int d[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && leap(y) ? 29 : d[m - 1];
}

bool split_date(UT_DATE date, int *y, int *m, int *d) {
  if (date > 311299) return false;
  *d = static_cast<int>(date / 10000);
  *m = static_cast<int>(date / 100 % 100);
  const int yy = static_cast<int>(date % 100);
  *y = yy < 70 ? 2000 + yy : 1900 + yy;
  return *m >= 1 && *m <= 12 && *d >= 1 && *d <= days_in_month(*y, *m);
}

bool time_valid(UT_TIME t) { return t / 10000 < 24 && t / 100 % 100 < 60 && t % 100 < 60; }

// Days since 1970-01-01 of a civil date.
int64_t days_from_civil(int y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void civil_from_days(int64_t z, int *y, int *m, int *d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  *d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  *m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  *y = static_cast<int>(yoe + era * 400 + (*m <= 2));
}

}  // namespace

SINT ut_date2time(SLONG offset, UT_DATE date, UT_TIME time, ULONG *seconds) {
  int y, m, d;
  if (!split_date(date, &y, &m, &d)) return 1;
  if (!time_valid(time)) return 2;
  const int64_t s = days_from_civil(y, m, d) * 86400 + time / 10000 * 3600 + time / 100 % 100 * 60 + time % 100 -
                    static_cast<int64_t>(offset);
  if (s < 0) return 3;
  if (s > 0xFFFFFFFFll) return 1;
  *seconds = static_cast<ULONG>(s);
  return 0;
}

SINT ut_time2date(SLONG offset, UT_DATE *date, UT_TIME *time, ULONG seconds) {
  const int64_t s = static_cast<int64_t>(seconds) + offset;
  if (s < 0) return 1;
  int y, m, d;
  civil_from_days(s / 86400, &y, &m, &d);
  if (y < 1970 || y > 2069) return 1;
  const int64_t r = s % 86400;
  *date = static_cast<UT_DATE>(d * 10000 + m * 100 + y % 100);
  *time = static_cast<UT_TIME>(r / 3600 * 10000 + r / 60 % 60 * 100 + r % 60);
  return 0;
}

SINT ut_mkdatetime(UT_DATETIME *dt, UT_DATE date, UT_TIME time) {
  int y, m, d;
  if (!split_date(date, &y, &m, &d) || !time_valid(time)) return 1;
  dt->Date = date;
  dt->Time = time;
  return 0;
}

SINT ut_getdate(const UT_DATETIME *dt, UT_DATE *date) {
  *date = dt->Date;
  return 0;
}

SINT ut_gettime(const UT_DATETIME *dt, UT_TIME *time) {
  *time = dt->Time;
  return 0;
}

SINT ut_getday(UT_DATE date, SINT *day) {
  *day = static_cast<SINT>(date / 10000);
  return 0;
}

SINT ut_getmonth(UT_DATE date, SINT *month) {
  *month = static_cast<SINT>(date / 100 % 100);
  return 0;
}

SLONG ut_timeofstosecs(UT_TIMEOFS ofs) {
  if (ofs > 99995959 || ofs < -99995959) return 0;
  const SLONG a = std::abs(ofs);
  const SLONG mm = a / 100 % 100, ss = a % 100;
  if (mm > 59 || ss > 59) return 0;
  const SLONG s = a / 10000 * 3600 + mm * 60 + ss;
  return ofs < 0 ? -s : s;
}

UT_TIMEOFS ut_secstotimeofs(SLONG seconds) {
  const int64_t a = std::llabs(static_cast<int64_t>(seconds));
  if (a > 9999ll * 3600 + 59 * 60 + 59) return 0;
  const UT_TIMEOFS v = static_cast<UT_TIMEOFS>(a / 3600 * 10000 + a / 60 % 60 * 100 + a % 60);
  return seconds < 0 ? -v : v;
}

UT_TIMEOFS ut_addtimeofs(UT_TIMEOFS a, UT_TIMEOFS b) {
  const SLONG sa = ut_timeofstosecs(a), sb = ut_timeofstosecs(b);
  if ((sa == 0 && a != 0) || (sb == 0 && b != 0)) return 0;
  return ut_secstotimeofs(sa + sb);
}
