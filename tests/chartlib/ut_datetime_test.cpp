#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "chartlib/util/ut_datetime.h"
#include "reference_tool.h"

namespace {

TEST(UtDatetime, SecondsToDate) {
  const struct {
    ULONG seconds;
    SLONG offset;
    SINT result;
    UT_DATE date;
    UT_TIME time;
  } cases[] = {
      {0, 0, UT_OK, 10170, 0},
      {951782400, 0, UT_OK, 290200, 0},  // 29 February 2000
      {946684799, 0, UT_OK, 311299, 235959},
      {946684799, 1, UT_OK, 10100, 0},
      {2147483647, 0, UT_OK, 190138, 31407},
      {0, -1, UT_NEGATIVE, 7, 7},
      {2147483647, 1, UT_NEGATIVE, 7, 7},  // past the last second count
      {4294967295u, 0, UT_NEGATIVE, 7, 7},
      {3600, -3600, UT_OK, 10170, 0},
  };
  for (const auto &c : cases) {
    UT_DATE d = 7;
    UT_TIME t = 7;
    EXPECT_EQ(ut_time2date(c.seconds, &d, &t, c.offset), c.result) << c.seconds << " " << c.offset;
    EXPECT_EQ(d, c.date) << c.seconds << " " << c.offset;
    EXPECT_EQ(t, c.time) << c.seconds << " " << c.offset;
  }
  UT_TM tm;
  EXPECT_EQ(ut_gmtime(-1, &tm), UT_NEGATIVE);
  ASSERT_EQ(ut_gmtime(951825600 + 3723, &tm), UT_OK);
  EXPECT_EQ(tm.tm_year, 100);
  EXPECT_EQ(tm.tm_mon, 1);
  EXPECT_EQ(tm.tm_mday, 29);
  EXPECT_EQ(tm.tm_yday, 59);
  EXPECT_EQ(tm.tm_hour, 13);
  EXPECT_EQ(tm.tm_min, 2);
  EXPECT_EQ(tm.tm_sec, 3);
  SINT year = 0;
  EXPECT_EQ(ut_yearofuttimet(-5, &year), UT_NEGATIVE);
  EXPECT_EQ(ut_yearofuttimet(0, &year), UT_OK);
  EXPECT_EQ(year, 1970);
  EXPECT_EQ(ut_yearofuttimet(2147483647, &year), UT_OK);
  EXPECT_EQ(year, 2038);
}

TEST(UtDatetime, DateToSeconds) {
  const struct {
    SLONG offset;
    UT_DATE date;
    UT_TIME time;
    SINT result;
    ULONG seconds;
  } cases[] = {
      {0, 10170, 0, UT_OK, 0},
      {0, 311299, 235959, UT_OK, 946684799},
      {0, 290200, 0, UT_OK, 951782400},
      {0, 190138, 31407, UT_OK, 2147483647},    // the search ends at 00:14:07, the hours come after
      {0, 190138, 31408, UT_NO_SECONDS, 99},  // one second more
      {0, 200138, 0, UT_NO_SECONDS, 99},      // the search cannot reach the day
      {-3600, 190138, 21407, UT_OK, 2147483647},
      {-3600, 190138, 21408, UT_NO_SECONDS, 99},
      {3600, 10170, 10000, UT_OK, 0},
      {3601, 10170, 10000, UT_NO_SECONDS, 99},  // negative
      {0, 290201, 0, UT_NO_SECONDS, 99},      // no 29 February 2001
      {0, 320100, 0, UT_NO_SECONDS, 99},
      {0, 11300, 0, UT_NO_SECONDS, 99},
      {0, 10100, 6000, UT_NO_SECONDS, 99},    // minute 60
      {0, 10170, 235959, UT_OK, 86399},
      {0, 10170, 240000, UT_NO_SECONDS, 99},  // no hour 24 either
      {0, 10169, 0, UT_NO_SECONDS, 99},       // 2069 has no 31-bit second count either
  };
  for (const auto &c : cases) {
    ULONG s = 99;
    EXPECT_EQ(ut_date2time(c.offset, c.date, c.time, &s), c.result) << c.date << " " << c.time;
    EXPECT_EQ(s, c.seconds) << c.date << " " << c.time;  // untouched on failure
  }
  // The search itself, on a broken-down time.
  UT_TM tm = {0, 0, 12, 29, 1, 100, 0, 0};
  SLONG s = -1;
  EXPECT_EQ(ut_tm2gmt(&s, &tm), UT_OK);
  EXPECT_EQ(s, 951825600);
  tm.tm_mday = 30;
  EXPECT_EQ(ut_tm2gmt(&s, &tm), UT_NO_SECONDS);
  tm = UT_TM{0, 0, 0, 1, 0, 69, 0, 0};  // before 1970
  EXPECT_EQ(ut_tm2gmt(&s, &tm), UT_NO_SECONDS);
}

TEST(UtDatetime, ValidityAndParts) {
  const struct {
    UT_DATE date;
    SINT valid;
  } dates[] = {{290201, 1}, {290200, 0}, {311399, 1}, {311299, 0}, {311300, 1}, {10070, 1}, {10170, 0},
               {290296, 0}, {300296, 1}, {310499, 1}, {300499, 0}, {311200, 0}, {0, 1},      {1000001, 1}};
  for (const auto &c : dates) EXPECT_EQ(ut_dateisvalid(c.date), c.valid) << c.date;
  const struct {
    UT_TIME time;
    SINT valid;
  } times[] = {{240000, 1}, {235960, 1}, {235959, 0}, {0, 0}, {6000, 1}, {5959, 0}, {125900, 0}};
  for (const auto &c : times) EXPECT_EQ(ut_timeisvalid(c.time), c.valid) << c.time;

  UT_DATETIME dt = {1, 2};
  EXPECT_EQ(ut_mkdatetime(&dt, 290201, 120000), UT_INVALID);
  EXPECT_EQ(ut_mkdatetime(&dt, 290200, 240000), UT_INVALID);
  EXPECT_EQ(dt.Date, 1u);
  EXPECT_EQ(dt.Time, 2u);
  ASSERT_EQ(ut_mkdatetime(&dt, 290200, 123456), UT_OK);
  UT_DATE d;
  UT_TIME t;
  EXPECT_EQ(ut_getdate(dt, &d), UT_OK);
  EXPECT_EQ(ut_gettime(dt, &t), UT_OK);
  EXPECT_EQ(d, 290200u);
  EXPECT_EQ(t, 123456u);
  SINT h, m, s, day, month, yy, year;
  ut_gethour(t, &h);
  ut_getmin(t, &m);
  ut_getsec(t, &s);
  ut_getday(d, &day);
  ut_getmonth(d, &month);
  ut_getyear(d, &yy);
  ut_getcompleteyear(d, &year);
  EXPECT_EQ(std::vector<SINT>({h, m, s, day, month, yy, year}), std::vector<SINT>({12, 34, 56, 29, 2, 0, 2000}));
  for (const auto &[date, full] : std::vector<std::pair<UT_DATE, SINT>>{{10170, 1970}, {10169, 2069}, {311299, 1999}}) {
    ut_getcompleteyear(date, &year);
    EXPECT_EQ(year, full) << date;
  }
  EXPECT_EQ(ut_yearisleap(1900), 0);
  EXPECT_EQ(ut_yearisleap(2000), 1);
  EXPECT_EQ(ut_yearisleap(2004), 1);
  EXPECT_EQ(ut_yearisleap(2001), 0);
}

TEST(UtDatetime, CalendarSteps) {
  UT_TM tm = {};
  ut_calcsdate(100, 59, &tm);  // 2000 is a leap year
  EXPECT_EQ(tm.tm_mon, 1);
  EXPECT_EQ(tm.tm_mday, 29);
  EXPECT_EQ(tm.tm_yday, 59);
  ut_calcsdate(0, 59, &tm);  // 1900 is not
  EXPECT_EQ(tm.tm_mon, 2);
  EXPECT_EQ(tm.tm_mday, 1);
  ut_calcsdate(101, 364, &tm);
  EXPECT_EQ(tm.tm_mon, 11);
  EXPECT_EQ(tm.tm_mday, 31);
  ut_calcsdate(101, 400, &tm);  // past the year: stays in December
  EXPECT_EQ(tm.tm_mon, 11);
  EXPECT_EQ(tm.tm_mday, 67);

  ut_calcsUTCdate(365 + 365 + 59, &tm);  // 1972-02-29
  EXPECT_EQ(tm.tm_year, 72);
  EXPECT_EQ(tm.tm_mon, 1);
  EXPECT_EQ(tm.tm_mday, 29);
  ut_calcstime(86399, &tm);
  EXPECT_EQ(tm.tm_hour, 23);
  EXPECT_EQ(tm.tm_min, 59);
  EXPECT_EQ(tm.tm_sec, 59);
}

TEST(UtDatetime, Offsets) {
  const struct {
    SLONG seconds;
    UT_TIMEOFS ofs;
  } pairs[] = {{-3661, -10101}, {3661, 10101}, {0, 0}, {35999999, 99995959}, {-35999999, -99995959}, {59, 59}};
  for (const auto &c : pairs) {
    EXPECT_EQ(ut_secstotimeofs(c.seconds), c.ofs) << c.seconds;
    EXPECT_EQ(ut_timeofstosecs(c.ofs), c.seconds) << c.ofs;
  }
  EXPECT_EQ(ut_secstotimeofs(36000000), 0);
  EXPECT_EQ(ut_secstotimeofs(-36000000), 0);
  EXPECT_EQ(ut_timeofstosecs(99995960), 0);
  EXPECT_EQ(ut_timeofstosecs(-99995960), 0);
  EXPECT_EQ(ut_timeofstosecs(9999), 99 * 60 + 99);  // parts are not checked

  const struct {
    UT_TIMEOFS a, b, sum;
  } sums[] = {{13000, 3000, 20000},  {-13000, 3000, -10000}, {5959, 1, 10000},  {-1, -1, -2},
              {99995959, 1, 0},      {99995960, 0, 0},       {0, -99995960, 0}, {99995959, 0, 99995959},
              {99995959, -99995959, 0}};
  for (const auto &c : sums) EXPECT_EQ(ut_addtimeofs(c.a, c.b), c.sum) << c.a << " + " << c.b;
}

// Second counts from 0 to 2^31 - 1, each month's first second and the one before it, against coreutils.
TEST(UtDatetime, MatchesCoreutils) {
  std::ostringstream months;
  for (int y = 1970; y <= 2037; ++y)
    for (int m = 1; m <= 12; ++m) months << y << '-' << m << "-01 00:00:00 UTC\n";
  std::vector<int64_t> seconds = {0, 1, 86399, 86400, 951782400, 2147483647, 2147483646, 2147472000};
  for (const std::string &line : RunReference("date -u -f - +%s", months.str())) {
    const int64_t s = std::stoll(line);
    if (s > 0) seconds.push_back(s - 1);
    seconds.push_back(s);
  }
  ASSERT_GT(seconds.size(), 1600u);
  Uniform u(1970);
  for (int i = 0; i < 2000; ++i) seconds.push_back(static_cast<int64_t>(u(0, 2147483647.999)));
  std::ostringstream in;
  for (int64_t s : seconds) in << '@' << s << '\n';
  const std::vector<std::string> out = RunReference("date -u -f - +%d%m%y%H%M%S", in.str());
  ASSERT_EQ(out.size(), seconds.size());
  for (size_t i = 0; i < seconds.size(); ++i) {
    UT_DATE d;
    UT_TIME t;
    ASSERT_EQ(ut_time2date(static_cast<ULONG>(seconds[i]), &d, &t, 0), UT_OK) << seconds[i];
    char text[16];
    std::snprintf(text, sizeof text, "%06u%06u", d, t);
    EXPECT_EQ(text, out[i]) << seconds[i];
    ULONG back = 0;
    EXPECT_EQ(ut_date2time(0, d, t, &back), UT_OK) << seconds[i];
    EXPECT_EQ(back, seconds[i]);
  }
}

}  // namespace
