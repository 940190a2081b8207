#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "chartlib/current/current_ba.h"
#include "chartlib/tide/tide_load.h"
#include "port_double.h"

namespace {

const double profile[13] = {1.0, 0.87, 0.5, 0.0, 0.5, 0.87, 1.0, 0.87, 0.5, 0.0, 0.5, 0.87, 1.0};

std::unique_ptr<BA_CURRENT_DATA> rows(bool constant = false) {
  auto c = std::make_unique<BA_CURRENT_DATA>();
  for (int k = 0; k < 13; ++k) {
    c->rows[k][1] = k >= 4 && k <= 8 ? 45 : 225;  // flood around high water
    c->rows[k][2] = constant ? 1.5 : 2 * profile[k];
    c->rows[k][4] = constant ? 1.5 : profile[k];
  }
  return c;
}

RecordBytes current_record(bool constant) {
  RecordBytes r;
  r.word(0).word(0).flt(0);
  for (int k = 0; k < 13; ++k)
    r.byte(0).word(k >= 4 && k <= 8 ? 45 : 225).flt(constant ? 1.5f : 2 * static_cast<float>(profile[k])).word(0)
        .flt(constant ? 1.5f : static_cast<float>(profile[k]));
  return r;
}

}  // namespace

TEST(TideBACurrent, EventHours) {
  auto c = rows();
  int o[4];
  // Spring rates alone (ratio 1 with a quarter next): the profile's slacks at -3 and +3.
  ASSERT_EQ(tc_FindBACurrentOffsets(c.get(), 1, 1.0, &o[0], &o[1], &o[2], &o[3]), CL_SUCCESS);
  EXPECT_EQ(o[0], -3);
  EXPECT_EQ(o[1], 0);
  EXPECT_EQ(o[2], 3);
  EXPECT_EQ(o[3], 6);
  CURRENT e{}, prev{};
  tc_BADayCurrent(c.get(), 0, 1, 1.0, &e);
  EXPECT_DOUBLE_EQ(e.Intensity, 2.0);
  EXPECT_DOUBLE_EQ(e.Direction, 45);
  tc_BACurrentType(&e, nullptr, o);
  EXPECT_EQ(e.Type, MAX_FLOOD);
  // Hour +6 and hour -6 are the same maximum seen from two high waters: the stronger keeps it.
  tc_BADayCurrent(c.get(), 6, 1, 1.0, &prev);
  tc_BACurrentType(&prev, nullptr, o);
  EXPECT_EQ(prev.Type, MAX_EBB);
  tc_BADayCurrent(c.get(), -6, 1, 1.0, &e);
  tc_BACurrentType(&e, &prev, o);
  EXPECT_EQ(e.Type, MAX_EBB);  // equal rates: the newer one
  EXPECT_EQ(prev.Type, UNDIRECT_CURRENT);
  auto flat = rows(true);
  EXPECT_EQ(tc_CheckBACurrent(flat.get()), TC_WARN_CONSTANT_CURRENT);
  flat->rows[3][1] = -1;
  EXPECT_EQ(tc_CheckBACurrent(flat.get()), TC_WARN_NO_DATA);
}

TEST(TideBACurrent, ThroughThePortServices) {
  PortDouble::get().reset();
  PortDouble::get().set_common(RecordBytes().raw32(2000).raw32(1).raw32(20).b);
  auto table = std::make_unique<BPTABLE>();
  const RecordBytes tide = ba_tide_record();
  StationRecord tr;
  tr.format = 0x80;
  tr.data = tide.b;
  const ULONG tp = PortDouble::get().add_record(PortDouble::TIDE_ITEM, tr);
  for (int k = 0; k < 2; ++k) {
    StationRecord cr;
    cr.format = 0x20;
    cr.data = current_record(k == 1).b;
    cr.reference_position = tp;
    cr.reference_item = BP_ITEM_TIDE_DATA;
    PortDouble::get().add_station(40 + k, k ? "FLAT" : "DIAMOND A", CURRENT_STATION, PortDouble::CURRENT_ITEM, cr);
  }
  DAILY_CURRENTS d;
  ASSERT_EQ(tc_DailyCurrentsByPortCode(table.get(), 40, 150600, &d), CL_SUCCESS);
  int events = 0;
  for (const CURRENT &c : d.Curr) {
    if (c.Type == NOCURR) continue;
    ++events;
    EXPECT_NE(c.Type, UNDIRECT_CURRENT);
    if (c.Type == MAX_FLOOD) {
      EXPECT_DOUBLE_EQ(c.Direction, 45);
    }
  }
  EXPECT_GE(events, 6);
  // A moment on a whole hour after high water gives that hour's row.
  CURRENT one;
  for (const CURRENT &c : d.Curr)
    if (c.Type == MAX_FLOOD) {
      ASSERT_EQ(tc_GetCurrentByPortCode(table.get(), 40, UT_DATETIME{150600, static_cast<UT_TIME>(c.Time)}, &one),
                CL_SUCCESS);
      EXPECT_NEAR(one.Intensity, c.Intensity, 1e-9);
      EXPECT_EQ(one.Type, UNDIRECT_CURRENT);
      break;
    }
  EXPECT_EQ(tc_DailyCurrentsByPortCode(table.get(), 41, 150600, &d), TC_WARN_CONSTANT_CURRENT);
  EXPECT_EQ(d.Curr[0].Type, NOCURR);
  EXPECT_EQ(tc_GetCurrentByPortCode(table.get(), 41, UT_DATETIME{150600, 120000}, &one), TC_WARN_CONSTANT_CURRENT);
  EXPECT_DOUBLE_EQ(one.Intensity, 1.5);
}

TEST(TideBACurrent, SeriesAnchorsAndSteps) {
  PortDouble::get().reset();
  PortDouble::get().set_common(RecordBytes().raw32(2000).raw32(1).raw32(20).b);
  auto table = std::make_unique<BPTABLE>();
  const RecordBytes tide = ba_tide_record();
  StationRecord tr;
  tr.format = 0x80;
  tr.data = tide.b;
  const ULONG tp = PortDouble::get().add_record(PortDouble::TIDE_ITEM, tr);
  StationRecord cr;
  cr.format = 0x20;
  cr.data = current_record(false).b;
  cr.reference_position = tp;
  cr.reference_item = BP_ITEM_TIDE_DATA;
  PortDouble::get().add_station(50, "DIAMOND B", CURRENT_STATION, PortDouble::CURRENT_ITEM, cr);
  CURRENT series[101];
  series[100].Type = 99;
  ASSERT_EQ(tc_GetCurrentsByPortCode(table.get(), 50, UT_DATETIME{150600, 0}, 25, 5, series, 101), CL_SUCCESS);
  EXPECT_EQ(series[100].Type, 99);
  EXPECT_EQ(series[99].Time, 244500);
  int flood = 0, ebb = 0;
  for (int i = 0; i < 100; ++i) {
    EXPECT_GE(series[i].Intensity, 0.0) << i;
    EXPECT_LE(series[i].Intensity, 2.0) << i;
    EXPECT_TRUE(series[i].Type == FLOOD_CURRENT || series[i].Type == EBB_CURRENT) << i;
    flood += series[i].Type == FLOOD_CURRENT;
    ebb += series[i].Type == EBB_CURRENT;
    if (i > 0) {
      EXPECT_LT(std::fabs(series[i].Intensity - series[i - 1].Intensity), 0.5) << i;  // smooth between anchors
    }
  }
  EXPECT_GT(flood, 10);
  EXPECT_GT(ebb, 10);
  // Steps that do not divide an hour into whole samples are refused.
  for (UINT16 step : {3, 7, 21, 40})
    EXPECT_EQ(tc_GetCurrentsByPortCode(table.get(), 50, UT_DATETIME{150600, 0}, 25, step, series, 101),
              TC_WARN_BAD_STEP)
        << step;
}
