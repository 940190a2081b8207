#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "chartlib/current/current_predict.h"
#include "chartlib/tide/tide_interface.h"
#include "chartlib/tide/tide_series.h"
#include "port_double.h"

namespace {

// Reversing current: flood 45 degrees, ebb 225, M2 of the given speed (knots), mean speed z0.
RecordBytes reversing(float z0, float m2, float flood = 45.0f) {
  RecordBytes r;
  r.word(0).word(0).zeros(16).flt(flood).zeros(12).flt(225.0f).flt(z0);
  r.floats({m2, 30.0f});
  return r;
}

struct Currents : ::testing::Test {
  std::unique_ptr<BPTABLE> table = std::make_unique<BPTABLE>();
  void SetUp() override {
    PortDouble::get().reset();
    add(7, "NARROWS", 0, reversing(0.0f, 2.0f));
    add(8, "ROTARY POINT", 8, reversing(0.0f, 2.0f));
  }
  void add(ULONG code, const char *name, UINT16 format, const RecordBytes &r) {
    StationRecord rec;
    rec.format = format;
    rec.data = r.b;
    PortDouble::get().add_station(code, name, CURRENT_STATION, PortDouble::CURRENT_ITEM, rec);
  }
};

}  // namespace

TEST(CurrentCore, SpeedSquaredTakesSignedRoot) {
  tide_component c{0, 400, 1};  // S2, 4.00 squared units
  current_block b{};
  b.set = constituent_set{0, 1, &c, 0, 0};
  b.speed_squared = 1;
  component_term terms[1];
  compute_local_tide_data(&b.set, terms, 0);
  // At t = 0 the S2 term is 400 cos(2 pi (1 + 0 - 0)) = +400: root 20 -> 10 x (10 x 20) = 2000.
  EXPECT_EQ(round_fixed_to_int(sum_current_components(&b, terms, 0)), 2000);
  // Half a period later -400: the signed root gives -2000.
  EXPECT_EQ(round_fixed_to_int(sum_current_components(&b, terms, 6 * 3600)), -2000);
}

TEST_F(Currents, DailyEventsAlternate) {
  DAILY_CURRENTS d;
  ASSERT_EQ(tc_DailyCurrentsByPortCode(table.get(), 7, 150600, &d), CL_SUCCESS);
  int n = 0;
  const UCHAR order[4] = {MAX_FLOOD, SLACK_BEFORE_EBB, MAX_EBB, SLACK_BEFORE_FLOOD};
  int first = -1;
  for (const CURRENT &c : d.Curr) {
    if (c.Type == NOCURR) continue;
    if (first < 0)
      for (int k = 0; k < 4; ++k)
        if (order[k] == c.Type) first = k;
    EXPECT_EQ(c.Type, order[(first + n) % 4]) << n;
    if (c.Type == MAX_FLOOD || c.Type == MAX_EBB) {
      EXPECT_NEAR(c.Intensity, 2.0, 0.05);  // absolute in daily results; M2 node factor about 1.02
      EXPECT_DOUBLE_EQ(c.Direction, c.Type == MAX_FLOOD ? 45.0 : 225.0);
    } else {
      EXPECT_NEAR(c.Intensity, 0.0, 0.01);
      EXPECT_DOUBLE_EQ(c.Direction, 0.0);  // weak
    }
    ++n;
  }
  EXPECT_GE(n, 7);
  EXPECT_LE(n, 9);
}

TEST_F(Currents, SeriesAbsoluteSingleSigned) {
  tc_SetMagneticVariation(table.get(), 5.0);
  CURRENT series[100];
  ASSERT_EQ(tc_GetCurrentsByPortCode(table.get(), 7, UT_DATETIME{150600, 0}, 25, 5, series, 100), CL_SUCCESS);
  bool saw_ebb = false;
  for (int i = 0; i < 100; ++i) {
    EXPECT_GE(series[i].Intensity, 0.0);
    if (series[i].Type == EBB_CURRENT && series[i].Intensity > 0.1) {
      saw_ebb = true;
      EXPECT_DOUBLE_EQ(series[i].Direction, 230.0);
      CURRENT one;
      ASSERT_EQ(tc_GetCurrentByPortCode(table.get(), 7, UT_DATETIME{150600, static_cast<UT_TIME>(series[i].Time)},
                                        &one),
                CL_SUCCESS);
      EXPECT_NEAR(one.Intensity, -series[i].Intensity, 1e-9);  // the single value keeps its sign
    }
  }
  EXPECT_TRUE(saw_ebb);
  EXPECT_EQ(tc_GetCurrentsByPortCode(table.get(), 7, UT_DATETIME{150600, 0}, 25, 0, series, 100), TC_WARN_BAD_STEP);
  DAILY_CURRENTS d;
  EXPECT_EQ(tc_DailyCurrentsByPortCode(table.get(), 99, 150600, &d), BP_WARN_ENTRIES_PAST_TABLE);
  EXPECT_EQ(d.Curr[0].Type, NOCURR);
}

namespace {

// Secondary reversing station: all four time offsets 10 minutes, both ratios 0.5, own directions 60/240.
RecordBytes secondary(float slack_flood, float flood_ratio) {
  RecordBytes s;
  s.word(0).word(0).floats({slack_flood, 10, 10, 10, flood_ratio, 0.5f}).zeros(16).flt(60).zeros(12).flt(240);
  return s;
}

struct SecondaryCurrents : Currents {
  void SetUp() override {
    Currents::SetUp();
    const ULONG narrows = PortDouble::get().ports_[7].services[PortDouble::CURRENT_ITEM];
    add_secondary(9, "UPSTREAM", secondary(10, 0.5f), narrows);
    add_secondary(10, "PARTIAL", partial(), narrows);
  }
  static RecordBytes partial() {  // no slack-before-flood offset, no flood ratio
    RecordBytes s;
    s.word(0).word(0).none().floats({10, 10, 10}).none().flt(0.5f).zeros(16).flt(60).zeros(12).flt(240);
    return s;
  }
  void add_secondary(ULONG code, const char *name, const RecordBytes &r, ULONG ref) {
    StationRecord rec;
    rec.data = r.b;
    rec.reference_position = ref;
    rec.reference_item = BP_ITEM_CURRENT_DATA;
    PortDouble::get().add_station(code, name, CURRENT_STATION, PortDouble::CURRENT_ITEM, rec);
  }
};

}  // namespace

TEST_F(SecondaryCurrents, UniformCorrectionsShiftAndScale) {
  CURRENT ref[100], sec[100];
  ASSERT_EQ(tc_GetCurrentsByPortCode(table.get(), 7, UT_DATETIME{150600, 0}, 25, 5, ref, 100), CL_SUCCESS);
  ASSERT_EQ(tc_GetCurrentsByPortCode(table.get(), 9, UT_DATETIME{150600, 0}, 25, 5, sec, 100), CL_SUCCESS);
  // Ten minutes later and half as strong: compare with the reference two thirds of a step earlier.
  for (int i = 2; i < 100; ++i) {
    if (ref[i].Intensity < 0.3 || ref[i - 1].Intensity < 0.3) continue;  // absolute speeds bend at slack
    const double expected = 0.5 * (ref[i].Intensity + (ref[i - 1].Intensity - ref[i].Intensity) * 600.0 / 900.0);
    EXPECT_NEAR(sec[i].Intensity, expected, 0.02) << i;
    EXPECT_DOUBLE_EQ(sec[i].Direction, sec[i].Type == FLOOD_CURRENT ? 60.0 : 240.0);
  }
  DAILY_CURRENTS rd, sd;
  ASSERT_EQ(tc_DailyCurrentsByPortCode(table.get(), 7, 150600, &rd), CL_SUCCESS);
  ASSERT_EQ(tc_DailyCurrentsByPortCode(table.get(), 9, 150600, &sd), CL_SUCCESS);
  int matched = 0;
  for (const CURRENT &s : sd.Curr) {
    if (s.Type != MAX_FLOOD && s.Type != MAX_EBB) continue;
    for (const CURRENT &r : rd.Curr) {
      if (r.Type != s.Type) continue;
      const int rm = r.Time / 10000 * 60 + r.Time / 100 % 100, sm = s.Time / 10000 * 60 + s.Time / 100 % 100;
      if (std::abs(sm - rm - 10) <= 2) {
        ++matched;
        EXPECT_NEAR(s.Intensity, 0.5 * r.Intensity, 0.01);
      }
    }
  }
  EXPECT_GE(matched, 3);
}

TEST_F(SecondaryCurrents, IncompleteCorrectionsCorrectEachEvent) {
  CURRENT one;
  EXPECT_EQ(tc_GetCurrentByPortCode(table.get(), 10, UT_DATETIME{150600, 0}, &one), TC_WARN_NO_DATA);
  DAILY_CURRENTS rd, sd;
  ASSERT_EQ(tc_DailyCurrentsByPortCode(table.get(), 7, 150600, &rd), CL_SUCCESS);
  ASSERT_EQ(tc_DailyCurrentsByPortCode(table.get(), 10, 150600, &sd), CL_SUCCESS);
  for (const CURRENT &s : sd.Curr) {
    EXPECT_NE(s.Type, MAX_FLOOD);            // no flood ratio
    EXPECT_NE(s.Type, SLACK_BEFORE_FLOOD);   // no slack-before-flood offset
    if (s.Type == MAX_EBB) {
      EXPECT_DOUBLE_EQ(s.Direction, 240.0);
    } else if (s.Type == SLACK_BEFORE_EBB) {
      EXPECT_DOUBLE_EQ(s.Direction, -1.0);
    }
  }
}

TEST(CurrentSeries, WeakCurrentsHaveNoDirection) {
  current_block b{};
  tide_component none[1];
  b.set = constituent_set{0, 0, none, 0, 0};
  b.flood_direction = 600;
  b.ebb_direction = 12000;
  tc_sample s;
  int32_t r;
  for (auto [datum, dir] : {std::pair{-99, 0}, {-100, 12000}, {99, 0}, {100, 600}}) {
    b.set.datum = static_cast<SINT16>(datum);
    TC_compute_primary_current_array(&b, 1000000000, 0, 1, &s, &r);
    EXPECT_EQ(s.Direction, dir) << datum;
    EXPECT_EQ(s.Type, datum < 0 ? EBB_CURRENT : FLOOD_CURRENT);
    EXPECT_DOUBLE_EQ(s.Intensity, datum * 0.001);
  }
}

namespace {

// Rotary station: first component M2 1 kt, second M2 0.5 kt a quarter period later; flood 10, ebb 190.
RecordBytes rotary_record() {
  RecordBytes r;
  r.word(0).word(0).zeros(16).flt(10.0f).zeros(12).flt(190.0f).flt(0.0f);
  r.floats({1.0f, 0.0f});
  r.flt(0.0f).floats({0.5f, 90.0f});
  return r;
}

}  // namespace

TEST_F(Currents, RotaryStation) {
  PortDouble::get().records[{PortDouble::CURRENT_ITEM, PortDouble::get().ports_[8].services[PortDouble::CURRENT_ITEM]}]
      .data = rotary_record().b;
  CURRENT series[100];
  ASSERT_EQ(tc_GetCurrentsByPortCode(table.get(), 8, UT_DATETIME{150600, 0}, 25, 5, series, 100), CL_SUCCESS);
  for (const CURRENT &c : series) {
    EXPECT_GE(c.Intensity, 0.45);
    EXPECT_LE(c.Intensity, 1.1);
    EXPECT_TRUE(c.Type == FLOOD_CURRENT || c.Type == EBB_CURRENT);
    EXPECT_GE(c.Direction, 0.0);
    EXPECT_LT(c.Direction, 360.0);
  }
  CURRENT one;
  ASSERT_EQ(tc_GetCurrentByPortCode(table.get(), 8, UT_DATETIME{150600, 31500}, &one), CL_SUCCESS);
  EXPECT_DOUBLE_EQ(one.Intensity, series[13].Intensity);
  EXPECT_DOUBLE_EQ(one.Direction, series[13].Direction);
  DAILY_CURRENTS d;
  ASSERT_EQ(tc_DailyCurrentsByPortCode(table.get(), 8, 150600, &d), CL_SUCCESS);
  int maxima = 0, minima = 0;
  for (const CURRENT &c : d.Curr) {
    if (c.Type == MAX_FLOOD || c.Type == MAX_EBB) {
      ++maxima;
      EXPECT_NEAR(c.Intensity, 1.0, 0.06);
      const double toward_flood = std::fabs(std::remainder(c.Direction - 0.0, 360.0));
      EXPECT_EQ(c.Type, toward_flood < 90 ? MAX_FLOOD : MAX_EBB) << c.Direction;
    } else if (c.Type == SLACK_BEFORE_FLOOD || c.Type == SLACK_BEFORE_EBB) {
      ++minima;
      EXPECT_NEAR(c.Intensity, 0.5, 0.04);
    }
  }
  EXPECT_GE(maxima, 3);
  EXPECT_GE(minima, 3);
}

TEST(CurrentRotary, ZeroSpeedHasNoDirection) {
  tide_component none[1];
  current_block a{}, b{};
  a.set = constituent_set{0, 0, none, 0, 0};
  b.set = constituent_set{0, 0, none, 0, 0};
  rotary_pair p{&a, &b, 600, 600, 11400};
  rotary_result r;
  compute_primary_rotary(&r, &p, 1000);
  EXPECT_EQ(r.direction, 0);
  EXPECT_EQ(r.speed, 0);
  a.set.datum = -100;  // pointing back along the first axis, offset 10 degrees: 190
  compute_primary_rotary(&r, &p, 1000);
  EXPECT_EQ(r.speed, 100);
  EXPECT_EQ(r.direction, 600 + 10800);
  p.first_direction = 10800;  // 180 + 180 wraps to 0
  compute_primary_rotary(&r, &p, 1000);
  EXPECT_EQ(r.direction, 0);
}

TEST_F(SecondaryCurrents, SecondaryRotary) {
  auto &d = PortDouble::get();
  d.records[{PortDouble::CURRENT_ITEM, d.ports_[8].services[PortDouble::CURRENT_ITEM]}].data = rotary_record().b;
  add_secondary(11, "ROTARY SOUND", secondary(10, 0.5f), d.ports_[8].services[PortDouble::CURRENT_ITEM]);
  DAILY_CURRENTS rd, sd;
  ASSERT_EQ(tc_DailyCurrentsByPortCode(table.get(), 8, 150600, &rd), CL_SUCCESS);
  ASSERT_EQ(tc_DailyCurrentsByPortCode(table.get(), 11, 150600, &sd), CL_SUCCESS);
  int matched = 0;
  for (const CURRENT &s : sd.Curr) {
    if (s.Type == NOCURR) continue;
    EXPECT_GE(s.Direction, 0.0);
    EXPECT_LE(s.Direction, 360.0);
    for (const CURRENT &r : rd.Curr) {
      if (r.Type != s.Type) continue;
      const int rm = r.Time / 10000 * 60 + r.Time / 100 % 100, sm = s.Time / 10000 * 60 + s.Time / 100 % 100;
      if (std::abs(sm - rm - 10) <= 2) {
        ++matched;
        EXPECT_NEAR(s.Intensity, 0.5 * r.Intensity, 0.02);
      }
    }
  }
  EXPECT_GE(matched, 4);
  CURRENT series[100];
  ASSERT_EQ(tc_GetCurrentsByPortCode(table.get(), 11, UT_DATETIME{150600, 0}, 25, 5, series, 100), CL_SUCCESS);
  for (const CURRENT &c : series) {
    EXPECT_GE(c.Intensity, 0.2);
    EXPECT_LE(c.Intensity, 0.56);
  }
}
