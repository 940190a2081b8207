#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "chartlib/tide_ba.h"
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
  RecordBytes r;
  r.word(0).word(0).zeros(12).floats({5.0f, 4.5f, 0.5f, 1.0f});
  r.floats({3.0f, 100.0f, 1.2f, 130.0f, 0.4f, 200.0f, 0.15f, 250.0f, 0.1f}).floats({0, 0, 0, 0});
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
