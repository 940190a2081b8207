// Calendar arithmetic of the chart library's dates, times and second counts.
#include "chartlib/util/ut_datetime.h"

namespace {

constexpr SLONG kDay = 86400;
constexpr int64_t kMaxSeconds = 2147483647;  // the largest second count
constexpr SLONG kMaxOffsetSeconds = 35999999;  // 9999:59:59
constexpr SLONG kMaxOffset = 99995959;

// Length of a month (0-11); February's comes from the caller's leap rule.
SINT MonthLength(SINT month, bool leap) {
  static const SINT kLength[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 1 && leap ? 29 : kLength[month];
}

// Day of year to day of month and month; the walk stops at December so a day past the year cannot run off.
void MonthWalk(SINT yday, bool leap, UT_TM *tm) {
  SINT month = 0;
  while (month < 11 && yday >= MonthLength(month, leap)) yday -= MonthLength(month++, leap);
  tm->tm_mday = yday + 1;
  tm->tm_mon = month;
}

// Years, months, days, hours, minutes, seconds, in that order.
int Compare(const UT_TM &a, const UT_TM &b) {
  const SINT ka[6] = {a.tm_year, a.tm_mon, a.tm_mday, a.tm_hour, a.tm_min, a.tm_sec};
  const SINT kb[6] = {b.tm_year, b.tm_mon, b.tm_mday, b.tm_hour, b.tm_min, b.tm_sec};
  for (int i = 0; i < 6; ++i)
    if (ka[i] != kb[i]) return ka[i] < kb[i] ? -1 : 1;
  return 0;
}

// One decimal field of a date or time into the caller's integer.
SINT Put(SINT *out, ULONG value) {
  *out = static_cast<SINT>(value);
  return UT_OK;
}

}  // namespace

SINT ut_yearisleap(SINT year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0 ? 1 : 0; }

SINT ut_calcsUTCdate(SLONG days, UT_TM *tm) {
  SINT year = 1970;
  for (SINT len = 365; days >= len; len = ut_yearisleap(year) ? 366 : 365) {
    days -= len;
    ++year;
  }
  tm->tm_year = year - 1900;
  tm->tm_yday = days;
  MonthWalk(days, ut_yearisleap(year) != 0, tm);
  return 0;
}

SINT ut_calcsdate(SINT years, SINT yday, UT_TM *tm) {
  tm->tm_year = years;
  tm->tm_yday = yday;
  MonthWalk(yday, ut_yearisleap(1900 + years) != 0, tm);
  return 0;
}

SINT ut_calcstime(SLONG secondsOfDay, UT_TM *tm) {
  tm->tm_hour = secondsOfDay / 3600;
  tm->tm_min = secondsOfDay % 3600 / 60;
  tm->tm_sec = secondsOfDay % 60;
  return 0;
}

SINT ut_gmtime(SLONG seconds, UT_TM *tm) {
  if (seconds < 0) return UT_NEGATIVE;
  ut_calcsUTCdate(seconds / kDay, tm);
  ut_calcstime(seconds % kDay, tm);
  return UT_OK;
}

SINT ut_tm2gmt(SLONG *seconds, const UT_TM *tm) {
  // Binary search from bit 30 down: a candidate that is not later than the wanted time is kept.
  SLONG kept = 0;
  UT_TM c;
  for (int bit = 30; bit >= 0; --bit) {
    const SLONG candidate = kept | static_cast<SLONG>(1u << bit);
    if (ut_gmtime(candidate, &c) != UT_OK) return UT_NEGATIVE;
    if (Compare(c, *tm) <= 0) kept = candidate;
  }
  ut_gmtime(kept, &c);
  if (Compare(c, *tm) != 0) return UT_NO_SECONDS;
  *seconds = kept;
  return UT_OK;
}

SINT ut_time2date(ULONG seconds, UT_DATE *date, UT_TIME *time, SLONG offset) {
  // The sum is formed in 64 bits; past 2^31 - 1 it is no second count of this library.
  const int64_t s = static_cast<int64_t>(seconds) + offset;
  if (s < 0 || s > kMaxSeconds) return UT_NEGATIVE;
  UT_TM tm;
  ut_gmtime(static_cast<SLONG>(s), &tm);
  *date = static_cast<UT_DATE>(tm.tm_mday * 10000 + (tm.tm_mon + 1) * 100 + tm.tm_year % 100);
  *time = static_cast<UT_TIME>(tm.tm_hour * 10000 + tm.tm_min * 100 + tm.tm_sec);
  return UT_OK;
}

SINT ut_date2time(SLONG offset, UT_DATE date, UT_TIME time, ULONG *seconds) {
  UT_TM tm = {};
  tm.tm_year = static_cast<SINT>(date % 100);
  if (tm.tm_year < 70) tm.tm_year += 100;
  tm.tm_mon = static_cast<SINT>(date % 10000 / 100) - 1;
  tm.tm_mday = static_cast<SINT>(date / 10000);
  tm.tm_hour = 0;  // the hours are added after the search, which then reaches 19 January 2038
  tm.tm_min = static_cast<SINT>(time % 10000 / 100);
  tm.tm_sec = static_cast<SINT>(time % 100);
  // The search turns away minutes and seconds of 60 or more; hours of 24 or more are turned away alike, where
  // they would otherwise roll the date on.
  if (time / 10000 > 23) return UT_NO_SECONDS;
  SLONG found;
  const SINT rc = ut_tm2gmt(&found, &tm);
  if (rc != UT_OK) return rc;
  const int64_t s = static_cast<int64_t>(found) + static_cast<int64_t>(time / 10000) * 3600 - offset;
  if (s < 0 || s > kMaxSeconds) return UT_NO_SECONDS;
  *seconds = static_cast<ULONG>(s);
  return UT_OK;
}

SINT ut_yearofuttimet(SLONG seconds, SINT *year) {
  UT_TM tm;
  const SINT rc = ut_gmtime(seconds, &tm);
  if (rc != UT_OK) return rc;
  *year = tm.tm_year + 1900;
  return UT_OK;
}

SINT ut_dateisvalid(UT_DATE date) {
  if (date > 311299) return UT_INVALID;
  const SINT day = static_cast<SINT>(date / 10000), month = static_cast<SINT>(date % 10000 / 100);
  if (month < 1 || month > 12 || day == 0) return UT_INVALID;
  return day > MonthLength(month - 1, date % 100 % 4 == 0) ? UT_INVALID : UT_OK;
}

SINT ut_timeisvalid(UT_TIME time) {
  return time > 235959 || time % 10000 / 100 > 59 || time % 100 > 59 ? UT_INVALID : UT_OK;
}

SINT ut_mkdatetime(UT_DATETIME *dt, UT_DATE date, UT_TIME time) {
  if (ut_dateisvalid(date) != UT_OK || ut_timeisvalid(time) != UT_OK) return UT_INVALID;
  dt->Date = date;
  dt->Time = time;
  return UT_OK;
}

SINT ut_getdate(UT_DATETIME dt, UT_DATE *date) {
  *date = dt.Date;
  return UT_OK;
}

SINT ut_gettime(UT_DATETIME dt, UT_TIME *time) {
  *time = dt.Time;
  return UT_OK;
}

SINT ut_gethour(UT_TIME time, SINT *hour) { return Put(hour, time / 10000); }
SINT ut_getmin(UT_TIME time, SINT *min) { return Put(min, time % 10000 / 100); }
SINT ut_getsec(UT_TIME time, SINT *sec) { return Put(sec, time % 100); }
SINT ut_getday(UT_DATE date, SINT *day) { return Put(day, date / 10000); }
SINT ut_getmonth(UT_DATE date, SINT *month) { return Put(month, date % 10000 / 100); }
SINT ut_getyear(UT_DATE date, SINT *year) { return Put(year, date % 100); }
SINT ut_getcompleteyear(UT_DATE date, SINT *year) {
  return Put(year, date % 100 < 70 ? 2000 + date % 100 : 1900 + date % 100);
}

UT_TIMEOFS ut_secstotimeofs(SLONG seconds) {
  if (seconds < -kMaxOffsetSeconds || seconds > kMaxOffsetSeconds) return 0;
  return seconds / 3600 * 10000 + seconds % 3600 / 60 * 100 + seconds % 60;
}

SLONG ut_timeofstosecs(UT_TIMEOFS ofs) {
  if (ofs < -kMaxOffset || ofs > kMaxOffset) return 0;
  return ofs / 10000 * 3600 + ofs % 10000 / 100 * 60 + ofs % 100;
}

UT_TIMEOFS ut_addtimeofs(UT_TIMEOFS a, UT_TIMEOFS b) {
  if (a < -kMaxOffset || a > kMaxOffset || b < -kMaxOffset || b > kMaxOffset) return 0;
  const SLONG sum = ut_timeofstosecs(a) + ut_timeofstosecs(b);
  if (sum < -kMaxOffset || sum > kMaxOffset) return 0;
  return ut_secstotimeofs(sum);
}
