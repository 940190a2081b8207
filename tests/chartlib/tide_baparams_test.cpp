#include <gtest/gtest.h>

#include <memory>

#include "chartlib/tide/tide_astro.h"
#include "chartlib/tide/tide_baparams.h"
#include "chartlib/tide/tide_util.h"

namespace {

struct ParamsTest : ::testing::Test {
  BPTABLE table{};
  std::unique_ptr<BA_STATION> s = std::make_unique<BA_STATION>();
  BA_TIDE_PARAMS p{};
  void SetUp() override {
    *s = BA_STATION{};
    s->table = &table;
    table.HarmonicInfoTable.LocalTimeOffset = 7200;
    s->meridian = 3600;
    const DOUBLE none = tc_NoValue();
    for (DOUBLE &v : s->section1) v = none;
    s->section1[0] = 2.5;
    for (int m = 0; m < 12; ++m)
      for (int k = 0; k < 4; ++k) {
        s->phases[m][k] = 90.0 * k + m;
        s->amplitudes[m][k] = 0.5 + 0.1 * k + 0.01 * m;
      }
    for (int k = 0; k < 4; ++k)
      for (int m = 0; m < 12; ++m) s->sections10to13[k][m] = k % 2 ? 0.02 : 180.0;
    for (int m = 0; m < 12; ++m) s->section14[m] = 0.001 * m;
  }
};

}  // namespace

TEST_F(ParamsTest, YearlyValuesForEveryDate) {
  for (UT_DATE d : {150100u, 10712u, 311250u}) {
    ASSERT_EQ(tc_GetTideParamByDate(s.get(), d, 0, &p), CL_SUCCESS);
    EXPECT_EQ(s->params, &p);
    EXPECT_EQ(p.mean_level, 2500);
    EXPECT_EQ(p.pair[0].amplitude, 500);
    EXPECT_EQ(p.pair[0].phase, 0);
    EXPECT_EQ(p.pair[1].phase, 0x4000);
    EXPECT_EQ(p.pair[3].amplitude, 800);
    EXPECT_EQ(p.pair[4].phase, 0x8000);
    EXPECT_EQ(p.pair[5].amplitude, 20);
    EXPECT_EQ(p.correction, 0);
    EXPECT_EQ(p.meridian, 3600);
    EXPECT_EQ(p.clock_offset, 3600);
  }
}

TEST_F(ParamsTest, MonthlyValuesAndMissingOnes) {
  s->section_flags = (1u << 2) | (1u << 1) | (1u << 13);  // pair 1 and section 14 monthly
  ASSERT_EQ(tc_GetTideParamByDate(s.get(), 151210, 0, &p), CL_SUCCESS);
  EXPECT_EQ(p.pair[0].amplitude, 610);
  EXPECT_EQ(p.pair[0].phase, tc_ToFixed(11.0 / 360));
  EXPECT_EQ(p.pair[1].amplitude, 600);  // not monthly: the first value
  EXPECT_EQ(p.correction, 11);
  // A zero amplitude leaves its phase unread, even a missing one.
  s->amplitudes[0][2] = 0.0;
  s->phases[0][2] = tc_NoValue();
  ASSERT_EQ(tc_GetTideParamByDate(s.get(), 150110, 0, &p), CL_SUCCESS);
  EXPECT_EQ(p.pair[2].phase, 0);
  // A missing amplitude ends the call; later fields keep their old values.
  s->amplitudes[0][3] = tc_NoValue();
  p.pair[4].amplitude = 1234;
  EXPECT_EQ(tc_GetTideParamByDate(s.get(), 150110, 0, &p), TC_WARN_NO_DATA);
  EXPECT_EQ(p.pair[4].amplitude, 1234);
  s->amplitudes[0][3] = 0.3;
  s->section1[0] = tc_NoValue();
  EXPECT_EQ(tc_GetTideParamByDate(s.get(), 150110, 0, &p), TC_WARN_NO_DATA);
}

// Mean level by days since spring tide: v0 shifts the count, v2..v9 for 0..7 days, v1 beyond.
TEST_F(ParamsTest, MeanLevelBySpringTide) {
  const DOUBLE v[10] = {2, 0.1, 1.0, 1.1, 1.2, 1.3, 1.4, 1.5, 1.6, 1.7};
  // Full moon of 2000-03-20 04:44 UTC (phase 10); one day later on a UTC+1 station clock.
  const ULONG full = moon_corrected_phase(10) + TC_SECONDS_1970_TO_2000;
  UT_DATE d;
  UT_TIME t;
  ASSERT_EQ(ut_time2date(full + 86400, &d, &t, 3600), 0);
  DOUBLE mean;
  ASSERT_EQ(tc_BA_Mean_Level(3600, d, t, v, &mean), CL_SUCCESS);
  EXPECT_DOUBLE_EQ(mean, v[3]);  // d1 = 1 - 2 = -1, the next spring tide far away
  ASSERT_EQ(ut_time2date(full + 10 * 86400, &d, &t, 3600), 0);
  ASSERT_EQ(tc_BA_Mean_Level(3600, d, t, v, &mean), CL_SUCCESS);
  EXPECT_DOUBLE_EQ(mean, v[1]);  // d1 = 8, d2 = 6 + 2: eight days or more give v1
  s->section_flags = 1;
  for (int i = 0; i < 10; ++i) s->section1[i] = v[i];
  ASSERT_EQ(tc_GetTideParamByDate(s.get(), 210300, 120000, &p), CL_SUCCESS);
  EXPECT_EQ(p.mean_level, 1000);  // 30 h after the full moon: two days rounded up, d1 = 0
}
