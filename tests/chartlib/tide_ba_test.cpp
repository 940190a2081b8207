#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "chartlib/tide/tide_ba.h"
#include "chartlib/tide/tide_util.h"
#include "port_double.h"

namespace {

BA_TIDE_PARAMS params_with(int m2, int s2, int k1, int o1) {
  BA_TIDE_PARAMS p{};
  p.mean_level = 3000;
  p.pair[0] = {0x2000, static_cast<SINT16>(m2)};
  p.pair[1] = {0x3000, static_cast<SINT16>(s2)};
  p.pair[2] = {0x1000, static_cast<SINT16>(k1)};
  p.pair[3] = {0x1800, static_cast<SINT16>(o1)};
  return p;
}

}  // namespace

TEST(TideBA, ExpansionOfThePairs) {
  BA_TIDE_PARAMS p = params_with(1000, 400, 100, 80);
  ba_coefficients c;
  build_ba_coefficients(&p, &c);
  EXPECT_EQ(c.m2.count, 7);
  EXPECT_EQ(c.s2.count, 3);
  EXPECT_EQ(c.simple.count, 10);
  EXPECT_EQ(c.components[0].amplitude, 1000);
  EXPECT_EQ(c.components[3].amplitude, 191);  // 1000 x 12548 / 65536 = 191.47
  EXPECT_EQ(c.components[1].phase, 0x2000 + 60075);
  EXPECT_EQ(c.components[3].index, 12);
  EXPECT_EQ(c.components[9].amplitude, 109);  // 400 x 17836 / 65536 = 108.9
  EXPECT_EQ(c.simple.datum, 3000);
}

TEST(TideBA, ConstantStationHasNoTideAt40Hours) {
  BA_TIDE_PARAMS p = params_with(0, 0, 0, 0);
  ba_coefficients c;
  build_ba_coefficients(&p, &c);
  tide_event e;
  ba_next_primary_tide(&e, &c, 7000000);
  EXPECT_EQ(e.type, NOTIDE);
  EXPECT_EQ(e.time, 7000000u + 144000u);
}

// Without the shallow-water pairs the height is the plain harmonic sum of the expanded constituents.
TEST(TideBA, HeightsAndExtremesFollowTheSum) {
  BA_TIDE_PARAMS p = params_with(1200, 400, 150, 100);
  ba_coefficients c;
  build_ba_coefficients(&p, &c);
  const uint32_t t0 = 86400u * 5000;
  int32_t h[200];
  ba_compute_primary_tide_array(&c, t0, 300, 200, h);
  uint32_t t = t0;
  for (int k = 0; k < 4; ++k) {
    tide_event e;
    ba_next_primary_tide(&e, &c, t);
    ASSERT_NE(e.type, NOTIDE);
    // The extreme is higher (or lower) than the heights 10 minutes around it.
    const int32_t at = ba_compute_primary_tide(&c, e.time);
    const int32_t before = ba_compute_primary_tide(&c, e.time - 600), after = ba_compute_primary_tide(&c, e.time + 600);
    if (e.type == HIGH_TIDE) {
      EXPECT_GE(at, before);
      EXPECT_GE(at, after);
    } else {
      EXPECT_LE(at, before);
      EXPECT_LE(at, after);
    }
    t = e.time + 10800;
  }
  // The shallow-water pairs add the quarter- and sixth-diurnal terms.
  p.pair[4] = {0, 50};
  ba_coefficients shallow;
  build_ba_coefficients(&p, &shallow);
  double diff = 0;
  for (int k = 0; k < 200; ++k) diff = std::max(diff, std::fabs(ba_compute_primary_tide(&shallow, t0 + 300u * k) - h[k] * 1.0));
  EXPECT_GT(diff, 10);
}

TEST(TideBA, EntryPointsThroughThePortServices) {
  PortDouble::get().reset();
  auto table = std::make_unique<BPTABLE>();
  const RecordBytes r = ba_tide_record();
  StationRecord rec;
  rec.format = 0x80;
  rec.data = r.b;
  Port port;
  port.name = "ST MALO";
  port.services[PortDouble::TIDE_ITEM] = PortDouble::get().add_record(PortDouble::TIDE_ITEM, rec);
  PortDouble::get().add_port(21, port);
  TIDE series[100];
  ASSERT_EQ(tc_GetTidesByPortCode(table.get(), 21, UT_DATETIME{150600, 0}, 25, 5, series, 100), CL_SUCCESS);
  EXPECT_EQ(series[99].Time, 244500);
  double lo = 1e9, hi = -1e9;
  for (const TIDE &t : series) {
    lo = std::min(lo, t.Intensity);
    hi = std::max(hi, t.Intensity);
    EXPECT_EQ(t.Type, UP_TIDE);
  }
  EXPECT_GT(hi - lo, 2.0);
  DAILY_TIDES daily;
  ASSERT_EQ(tc_DailyTidesByPortCode(table.get(), 21, 150600, &daily), CL_SUCCESS);
  int events = 0;
  for (const TIDE &t : daily.Tide)
    if (t.Type != NOTIDE) {
      ++events;
      EXPECT_EQ(t.Time % 100, 0);
      const int k = (t.Time / 10000 * 60 + t.Time / 100 % 100) / 15;
      EXPECT_NEAR(series[k].Intensity, t.Intensity, 0.1);
    }
  EXPECT_GE(events, 3);
  TIDE one;
  ASSERT_EQ(tc_GetTideByPortCode(table.get(), 21, UT_DATETIME{150600, 31500}, &one), CL_SUCCESS);
  EXPECT_DOUBLE_EQ(one.Intensity, series[13].Intensity);
}

namespace {

std::unique_ptr<BA_STATION> secondary_station() {
  auto s = std::make_unique<BA_STATION>();
  s->own_format = 0x88;  // interpolated times
  const double T[4] = {2 * 3600, 8 * 3600, 5 * 3600, 11 * 3600}, D[4] = {600, 1800, -600, -1200};
  for (int k = 0; k < 4; ++k) {
    s->times[k] = T[k];
    s->times[4 + k] = D[k];
  }
  s->levels[0] = 5.0, s->levels[1] = 4.0, s->levels[2] = 1.5, s->levels[3] = 0.5;
  s->height_differences[0] = 0.3, s->height_differences[1] = 0.1, s->height_differences[2] = -0.2,
  s->height_differences[3] = 0.0;
  return s;
}

}  // namespace

TEST(TideBASecondary, TimeDifferencesByTimeOfDay) {
  auto s = secondary_station();
  struct Case {
    SLONG time;
    double expected_difference;
  } cases[] = {
      {5 * 3600, 1200},                            // halfway between 02:00 (600) and 08:00 (1800)
      {10 * 3600, 1800 + (600 - 1800) * 2.0 / 6},  // between 08:00 and 14:00
      {1 * 3600, 1800 + (600 - 1800) * 5.0 / 6},   // between 20:00 the day before and 02:00
      {2 * 3600, 600},
  };
  for (const Case &c : cases) {
    ba_event e{HIGH_TIDE, c.time, 4.5, c.time};
    ASSERT_EQ(tc_GetBASecWaterTime(s.get(), &e), CL_SUCCESS);
    EXPECT_NEAR(e.time - c.time, c.expected_difference, 1.0) << c.time;
  }
  // The same rules a day later keep the day shift.
  ba_event late{HIGH_TIDE, 86400 + 5 * 3600, 4.5, 0};
  ASSERT_EQ(tc_GetBASecWaterTime(s.get(), &late), CL_SUCCESS);
  EXPECT_NEAR(late.time, 86400 + 5 * 3600 + 1200, 1.0);
}

TEST(TideBASecondary, HeightsBetweenLevels) {
  auto s = secondary_station();
  ba_event hw{HIGH_TIDE, 5 * 3600, 4.5, 0};
  tc_SetBASecHeight(s.get(), &hw);
  ASSERT_EQ(tc_GetBABigSec(s.get(), 150600, &hw), CL_SUCCESS);
  EXPECT_NEAR(hw.height, 4.5 + 0.2, 1e-9);  // halfway between the levels: halfway between 0.3 and 0.1
  // Only dA and dD: one line through both for either kind.
  s->height_differences[1] = tc_NoValue();
  s->height_differences[2] = tc_NoValue();
  ba_event lw{LOW_TIDE, 11 * 3600, 1.0, 0};
  tc_SetBASecHeight(s.get(), &lw);
  ASSERT_EQ(tc_GetBABigSec(s.get(), 150600, &lw), CL_SUCCESS);
  // Line through (5.0, 0.3) and (0.5, 0.0): at 1.0 the difference is 0.0333.
  EXPECT_NEAR(lw.height, 1.0 + 0.3 * 0.5 / 4.5, 1e-9);
  ba_event missing{NOTIDE, 0, 0, 0};
  EXPECT_EQ(tc_GetBABigSec(s.get(), 150600, &missing), TC_WARN_NO_DATA);
}

TEST(TideBASecondary, SeriesThroughThePortServices) {
  PortDouble::get().reset();
  auto table = std::make_unique<BPTABLE>();
  const RecordBytes ref = ba_tide_record({5.0f, 4.0f, 1.5f, 0.5f});
  StationRecord rr;
  rr.format = 0x80;
  rr.data = ref.b;
  const ULONG rp = PortDouble::get().add_record(PortDouble::TIDE_ITEM, rr);
  RecordBytes sec;
  sec.zeros(16).floats({120, 20, 480, 30, 300, 20, 600, 25}).floats({0.3f, 0.1f, -0.2f, 0.0f});
  StationRecord sr;
  sr.format = 0x80;  // fixed differences
  sr.data = sec.b;
  sr.reference_position = rp;
  Port p;
  p.name = "UPRIVER";
  p.services[PortDouble::TIDE_ITEM] = PortDouble::get().add_record(PortDouble::TIDE_ITEM, sr);
  PortDouble::get().add_port(31, p);
  TIDE series[80];
  series[71].Type = 99;
  ASSERT_EQ(tc_GetTidesByPortCode(table.get(), 31, UT_DATETIME{150600, 0}, 25, 7, series, 80), CL_SUCCESS);
  EXPECT_EQ(series[71].Type, 99);  // 25 x 20 / 7 = 71 samples
  EXPECT_EQ(series[70].Time, 243000);  // 70 x 21 minutes: past midnight like a primary series
  for (int i = 0; i < 71; ++i) EXPECT_GT(series[i].Intensity, 0.0);
  DAILY_TIDES d;
  ASSERT_EQ(tc_DailyTidesByPortCode(table.get(), 31, 150600, &d), CL_SUCCESS);
  int n = 0;
  for (const TIDE &t : d.Tide) n += t.Type != NOTIDE;
  EXPECT_GE(n, 3);
  TIDE one;
  ASSERT_EQ(tc_GetTideByPortCode(table.get(), 31, UT_DATETIME{150600, 120000}, &one), CL_SUCCESS);
  EXPECT_NEAR(one.Intensity, series[34].Intensity + (series[35].Intensity - series[34].Intensity) * 6 / 21.0, 0.1);
}
