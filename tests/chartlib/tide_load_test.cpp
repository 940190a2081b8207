#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "chartlib/tide/tide_load.h"
#include "chartlib/tide/tide_util.h"
#include "port_double.h"

namespace {

struct LoadTest : ::testing::Test {
  std::unique_ptr<BPTABLE> table = std::make_unique<BPTABLE>();
  std::unique_ptr<TC_GLOBALS> g = std::make_unique<TC_GLOBALS>();
  void SetUp() override {
    PortDouble::get().reset();
    table->HarmonicInfoTable.LocalTimeOffset = 3600;
    tc_InitGlobalsStruct(g.get(), 0, table.get());
  }
  ERRORCODE load_tide(ULONG position, ULONG ref = 0) {
    const StationRecord &r = PortDouble::get().records[{PortDouble::TIDE_ITEM, position}];
    ULONG length = r.declared_length ? r.declared_length : r.data.size();
    UINT16 format = r.format;
    return tc_NOAATideDataLoad(g.get(), PortDouble::TIDE_ITEM, position, ref, &length, &format);
  }
};

// Harmonic tide record: meridian in minutes, Z0 and (amplitude, phase) pairs.
RecordBytes harmonic_tide(int meridian, float z0, const std::vector<std::pair<float, float>> &pairs) {
  RecordBytes r;
  r.word(0).word(meridian).zeros(12).floats({1, 2, 3}).none().flt(z0);
  for (auto [a, p] : pairs) r.flt(a).flt(p);
  return r;
}

ULONG add(UINT item, UINT16 format, const RecordBytes &bytes, ULONG ref_pos = 0, UINT ref_item = 0,
          ULONG declared = 0) {
  StationRecord r;
  r.format = format;
  r.data = bytes.b;
  r.reference_position = ref_pos;
  r.reference_item = ref_item;
  r.declared_length = declared;
  return PortDouble::get().add_record(item, r);
}

}  // namespace

TEST_F(LoadTest, HarmonicTideRecordLengths) {
  struct Case {
    size_t pairs;
    ERRORCODE result;
    int num_cst;
  } cases[] = {{0, CL_SUCCESS, 0}, {150, CL_SUCCESS, 150}, {151, TC_WARN_TOO_MANY_CONSTITUENTS, 151}};
  for (const Case &c : cases) {
    std::vector<std::pair<float, float>> pairs;
    for (size_t i = 0; i < c.pairs; ++i) pairs.push_back({i < 133 ? 0.1f : 0.0f, 10.0f});
    const RecordBytes bytes = harmonic_tide(-300, 1.5f, pairs);
    EXPECT_EQ(bytes.size(), 36 + 8 * c.pairs);
    const ULONG pos = add(PortDouble::TIDE_ITEM, 0, bytes);
    EXPECT_EQ(load_tide(pos), c.result) << c.pairs;
    EXPECT_EQ(table->HarmonicInfoTable.num_cst, c.num_cst);
    if (c.result == CL_SUCCESS) {
      EXPECT_EQ(g->primary_tide.count, std::min<int>(c.pairs, 133));
    }
  }
}

TEST_F(LoadTest, PrimaryTideFields) {
  const ULONG pos = add(PortDouble::TIDE_ITEM, 0, harmonic_tide(-300, 1.5f, {{1.25f, 90.0f}, {0.0f, 5.0f}, {0.5f, -180.0f}}));
  ASSERT_EQ(load_tide(pos), CL_SUCCESS);
  EXPECT_EQ(g->reference_meridian, -18000);
  EXPECT_EQ(g->own_meridian, -18000);
  EXPECT_EQ(g->clock_offset, 3600 + 18000);
  EXPECT_EQ(g->primary_tide.clock_offset, 21600);
  EXPECT_EQ(g->primary_tide.datum, 1500);
  EXPECT_DOUBLE_EQ(g->mean_level, 1500.0);
  EXPECT_DOUBLE_EQ(g->levels[0], 1000.0);
  EXPECT_TRUE(IsNaF(&g->levels[3]));
  ASSERT_EQ(g->primary_tide.count, 2);  // the zero-amplitude pair is skipped
  EXPECT_EQ(g->primary_tide.components, table->HarmonicInfoTable.MHC.HarmonicComponentA);
  const tide_component &a = g->primary_tide.components[0], &b = g->primary_tide.components[1];
  EXPECT_EQ(a.amplitude, 1250);
  EXPECT_EQ(a.phase, 0x4000);
  EXPECT_EQ(a.index, 0);
  EXPECT_EQ(b.amplitude, 500);
  EXPECT_EQ(b.phase, -0x8000);
  EXPECT_EQ(b.index, 2);  // keeps its own index
}

TEST_F(LoadTest, FeetMeanLevel) {
  const ULONG pos = add(PortDouble::TIDE_ITEM, 1, harmonic_tide(0, 2.0f, {{1.0f, 0.0f}}));
  ASSERT_EQ(load_tide(pos), CL_SUCCESS);
  EXPECT_NEAR(g->mean_level, 609.6, 1e-9);
  EXPECT_EQ(g->primary_tide.datum, 609);
  EXPECT_EQ(g->primary_tide.components[0].amplitude, 304);
}

TEST_F(LoadTest, ClockOffsetBeyondSixteenBits) {
  table->HarmonicInfoTable.LocalTimeOffset = 13 * 3600;  // +13 h against a station on -11 h
  const ULONG pos = add(PortDouble::TIDE_ITEM, 0, harmonic_tide(-660, 0.0f, {}));
  ASSERT_EQ(load_tide(pos), CL_SUCCESS);
  EXPECT_EQ(g->clock_offset, 24 * 3600);
  EXPECT_EQ(g->primary_tide.clock_offset, 24 * 3600);
}

TEST_F(LoadTest, ShortOrBrokenRecordsAreRefused) {
  const ULONG short_pos = add(PortDouble::TIDE_ITEM, 0, RecordBytes().word(0).word(0).zeros(24));
  EXPECT_EQ(load_tide(short_pos), TC_WARN_NO_DATA);
  // A declared length far beyond what the card holds reads no-value fields, never past the buffer.
  const ULONG long_pos = add(PortDouble::TIDE_ITEM, 0, harmonic_tide(0, 1.0f, {{1.0f, 0.0f}}), 0, 0, 36 + 8 * 150);
  EXPECT_EQ(load_tide(long_pos), CL_SUCCESS);
  EXPECT_EQ(g->primary_tide.count, 1);
}

TEST_F(LoadTest, SecondaryTideUsesReferenceUnits) {
  const ULONG ref = add(PortDouble::TIDE_ITEM, 1, harmonic_tide(-300, 2.0f, {{1.0f, 30.0f}}));
  RecordBytes sec;
  sec.word(0).word(-240).floats({12.0f, 0.9f, 0.5f, -6.0f, 1.1f}).none();
  const ULONG pos = add(PortDouble::TIDE_ITEM, 0, sec, ref);
  ASSERT_EQ(load_tide(pos, ref), CL_SUCCESS);
  const secondary_tide_block &s = g->secondary_tide;
  EXPECT_EQ(s.primary, &g->primary_tide);
  EXPECT_EQ(s.hw_time, 720);
  EXPECT_EQ(s.lw_time, -360);
  EXPECT_EQ(s.hw_ratio, tc_ToFixed(0.9f));
  EXPECT_EQ(s.hw_height, 152);  // 0.5 ft
  EXPECT_NEAR(g->speed_corrections[2], 152.4, 1e-4);
  EXPECT_TRUE(IsNaF(&g->speed_corrections[3]));  // missing low-water difference stays missing
  EXPECT_EQ(s.meridian, -14400);
  EXPECT_EQ(g->own_meridian, -14400);
  EXPECT_EQ(g->reference_meridian, -18000);
  EXPECT_EQ(g->clock_offset, 3600 + 14400);
  EXPECT_EQ(g->primary_tide.count, 1);
  EXPECT_DOUBLE_EQ(g->time_differences[2], 12.0);

  const ULONG other = add(PortDouble::TIDE_ITEM, 0x80, harmonic_tide(0, 0, {}));
  const ULONG bad = add(PortDouble::TIDE_ITEM, 0, sec, other);
  EXPECT_EQ(load_tide(bad, other), TC_WARN_REFERENCE_METHOD);
}

TEST(FloatReading, ExponentRules) {
  struct Case {
    uint32_t bits;
    bool none;
    double value;
  } cases[] = {
      {0x00000000u, false, 0.0},        {0x00000001u, false, 0.0},       // exponent 0
      {0x3F800000u, false, 1.0},        {0xC0000000u, false, -2.0},      // ordinary
      {96u << 23, false, std::ldexp(1.0, -31)}, {158u << 23, false, std::ldexp(1.0, 31)},
      {95u << 23, true, 0},             {159u << 23, true, 0},           // out of range
      {0x7F800000u, true, 0},           {0xFFFFFFFFu, true, 0},          // infinity, not-a-number
  };
  for (const Case &c : cases) {
    RecordBytes r;
    r.raw32(c.bits);
    CH_MEM_CURSOR cur{r.b.data(), 0, 4};
    DOUBLE v;
    EXPECT_EQ(IsNaN(&cur, &v), c.none ? 1 : 0) << std::hex << c.bits;
    if (!c.none) {
      EXPECT_EQ(v, c.value) << std::hex << c.bits;
    }
    EXPECT_EQ(cur.Pos, 4u);
  }
}

namespace {

RecordBytes harmonic_current(int meridian, float flood, float ebb, float z0,
                             const std::vector<std::pair<float, float>> &pairs) {
  RecordBytes r;
  r.word(0).word(meridian).zeros(16).flt(flood).zeros(12).flt(ebb).flt(z0);
  for (auto [a, p] : pairs) r.flt(a).flt(p);
  return r;
}

struct CurrentLoad : LoadTest {
  ERRORCODE load_current(ULONG position) {
    const StationRecord &r = PortDouble::get().records[{PortDouble::CURRENT_ITEM, position}];
    ULONG length = r.data.size();
    UINT16 format = r.format;
    return tc_NOAACurrentDataLoad(g.get(), PortDouble::CURRENT_ITEM, position, r.reference_item,
                                  r.reference_position, &length, &format);
  }
};

}  // namespace

TEST_F(CurrentLoad, ReversingAndSpeedSquared) {
  const ULONG pos = add(PortDouble::CURRENT_ITEM, 2, harmonic_current(60, 45.0f, 225.0f, -0.5f, {{2.0f, 10.0f}}));
  ASSERT_EQ(load_current(pos), CL_SUCCESS);
  EXPECT_EQ(g->primary_current.speed_squared, 1);
  EXPECT_EQ(g->primary_current.set.datum, -50);
  EXPECT_EQ(g->primary_current.set.components[0].amplitude, 200);
  EXPECT_EQ(g->primary_current.flood_direction, 2700);
  EXPECT_EQ(g->primary_current.ebb_direction, 13500);
  EXPECT_EQ(g->second_current.ebb_direction, 13500);
  EXPECT_EQ(g->primary_current.set.meridian, 3600);
}

TEST_F(CurrentLoad, Rotary) {
  RecordBytes r = harmonic_current(0, 10.0f, 190.0f, 0.25f, {{1.0f, 0.0f}, {0.0f, 0.0f}});
  r.flt(-0.125f).floats({0.0f, 0.0f, 0.5f, 90.0f});
  for (UINT16 bits : {8, 12}) {
    const ULONG pos = add(PortDouble::CURRENT_ITEM, bits, r);
    ASSERT_EQ(load_current(pos), CL_SUCCESS);
    EXPECT_EQ(table->HarmonicInfoTable.num_cst, 2);
    EXPECT_EQ(g->primary_current.set.count, 1);
    EXPECT_EQ(g->second_current.set.count, 1);
    EXPECT_EQ(g->second_current.set.datum, -125);
    EXPECT_EQ(g->second_current.set.components[0].index, 1);
    EXPECT_EQ(g->second_current.set.components[0].phase, 0x4000);
    EXPECT_EQ(g->rotary.first_direction, bits == 8 ? 0 : 600);
    EXPECT_EQ(g->rotary.ebb_direction, 11400);
  }
}

TEST_F(CurrentLoad, SecondaryDirectionsOnlyWhereTheRecordReachesThem) {
  const ULONG ref = add(PortDouble::CURRENT_ITEM, 0, harmonic_current(0, 10.0f, 190.0f, 0.0f, {{1.0f, 0.0f}}));
  struct Case {
    size_t size;
    double flood, ebb;
  } cases[] = {{28, 0, 0}, {48, 30, 0}, {64, 30, 200}};
  for (const Case &c : cases) {
    RecordBytes s;
    s.word(0).word(120).floats({10, 20, 30, 40, 0.8f, 1.2f}).zeros(16).flt(30).zeros(12).flt(200);
    s.b.resize(c.size);
    const ULONG pos = add(PortDouble::CURRENT_ITEM, 0, s, ref, BP_ITEM_CURRENT_DATA);
    ASSERT_EQ(load_current(pos), CL_SUCCESS) << c.size;
    const secondary_current_block &b = g->secondary_current;
    EXPECT_EQ(b.corrected, &g->primary_current);
    EXPECT_EQ(b.slack_flood_time, 600);
    EXPECT_EQ(b.max_flood_time, 1200);
    EXPECT_EQ(b.slack_ebb_time, 1800);
    EXPECT_EQ(b.max_ebb_time, 2400);
    EXPECT_DOUBLE_EQ(g->time_differences[1], 1800);  // slack before ebb
    EXPECT_EQ(b.flood_ratio, tc_ToFixed(0.8f));
    EXPECT_DOUBLE_EQ(g->own_directions[0], c.flood) << c.size;
    EXPECT_DOUBLE_EQ(g->own_directions[1], c.ebb) << c.size;
    EXPECT_EQ(b.flood_direction, static_cast<int>(c.flood * 60 + 0.5));
    EXPECT_EQ(g->own_meridian, 7200);
  }
}

namespace {

struct BALoad : LoadTest {
  std::unique_ptr<BA_STATION> s = std::make_unique<BA_STATION>();
  void SetUp() override {
    LoadTest::SetUp();
    s->table = table.get();
  }
  ERRORCODE load(ULONG position) {
    const StationRecord &r = PortDouble::get().records[{PortDouble::TIDE_ITEM, position}];
    ULONG length = r.data.size();
    UINT16 format = r.format;
    return tc_BATideDataLoad(s.get(), PortDouble::TIDE_ITEM, position, r.reference_position, &length, &format);
  }
};

RecordBytes ba_head(int meridian) {
  RecordBytes r;
  r.word(0).word(meridian).zeros(12).floats({5.0f, 4.0f, 1.0f, 0.5f});
  return r;
}

}  // namespace

TEST_F(BALoad, FormatEightSectionFourteen) {
  for (size_t size : {88u, 89u, 132u}) {
    RecordBytes r = ba_head(0);
    r.floats({2.5f, 100, 1.2f, 130, 0.4f, 200, 0.3f, 250, 0.1f}).floats({10, 0.05f}).none().flt(0.02f);
    for (int m = 0; m < 12; ++m) r.flt(0.01f * m);
    r.b.resize(size);
    const ULONG pos = add(PortDouble::TIDE_ITEM, 0x81, r);  // feet
    ASSERT_EQ(load(pos), CL_SUCCESS) << size;
    EXPECT_NEAR(s->levels[0], 5 * 0.3048, 1e-6);
    EXPECT_DOUBLE_EQ(s->section1[0], 2.5);
    EXPECT_DOUBLE_EQ(s->phases[0][0], 100);
    EXPECT_NEAR(s->amplitudes[0][3], 0.1, 1e-6);
    EXPECT_DOUBLE_EQ(s->sections10to13[2][0], 0.0);  // no value reads as 0
    EXPECT_EQ((s->section_flags >> 13) & 1, size > 88 ? 1 : 0) << size;
    if (size == 132) {
      EXPECT_NEAR(s->section14[11], 0.11, 1e-6);
    }
    if (size == 88) {
      EXPECT_EQ(s->section14[5], 0.0);
    }
  }
}

TEST_F(BALoad, CountedSections) {
  for (int first_count : {1, 2}) {
    RecordBytes r = ba_head(60);
    r.byte(first_count);
    for (int i = 0; i < first_count; ++i) r.flt(1.0f + i);
    for (int k = 2; k <= 13; ++k) {
      const int n = k == 3 ? 12 : 1;
      r.byte(n);
      for (int i = 0; i < n; ++i) r.flt(k == 3 ? 0.1f * (i + 1) : 1.0f);
    }
    const ULONG pos = add(PortDouble::TIDE_ITEM, 0x90, r);  // no section 14 block
    ASSERT_EQ(load(pos), CL_SUCCESS);
    EXPECT_EQ(s->section_flags & 1, first_count >= 2 ? 1 : 0);
    EXPECT_EQ((s->section_flags >> 2) & 1, 1);  // section 3 is monthly
    EXPECT_NEAR(s->amplitudes[11][0], 1.2, 1e-6);
    EXPECT_EQ(s->section14[0], 0.0);
    EXPECT_EQ(s->meridian, 3600);
  }
  RecordBytes bad = ba_head(0);
  bad.byte(11);  // section 1 holds at most 10 values
  for (int i = 0; i < 11; ++i) bad.flt(1.0f);
  EXPECT_EQ(load(add(PortDouble::TIDE_ITEM, 0x90, bad)), TC_WARN_NO_DATA);
}

TEST_F(BALoad, SecondaryStation) {
  RecordBytes ref = ba_head(0);
  ref.floats({2.5f, 100, 1.2f, 130, 0.4f, 200, 0.3f, 250, 0.1f}).floats({0, 0, 0, 0});
  const ULONG rp = add(PortDouble::TIDE_ITEM, 0x81, ref);
  RecordBytes sec;
  sec.zeros(16).floats({120, 10, 480, 20, 300, -5, 600, -15}).floats({0.1f, 0.2f, 0.3f, 0.4f});
  const ULONG pos = add(PortDouble::TIDE_ITEM, 0x80, sec, rp);
  ASSERT_EQ(load(pos), CL_SUCCESS);
  EXPECT_EQ(s->own_format, 0x80u);
  EXPECT_EQ(s->reference_format, 0x81u);
  EXPECT_DOUBLE_EQ(s->times[1], 480 * 60);
  EXPECT_DOUBLE_EQ(s->times[5], 20 * 60);
  EXPECT_NEAR(s->height_differences[3], 0.4 * 0.3048, 1e-6);
  EXPECT_EQ(s->monthly_corrections[0], 0.0);
  const ULONG harmonic = add(PortDouble::TIDE_ITEM, 0, harmonic_tide(0, 0, {}));
  EXPECT_EQ(load(add(PortDouble::TIDE_ITEM, 0x80, sec, harmonic)), TC_WARN_REFERENCE_METHOD);
}

TEST_F(BALoad, SecondMethodCurrent) {
  RecordBytes ref = ba_head(0);
  ref.floats({2.5f, 100, 1.2f, 130, 0.4f, 200, 0.3f, 250, 0.1f}).floats({0, 0, 0, 0});
  const ULONG rp = add(PortDouble::TIDE_ITEM, 0x80, ref);
  PortDouble::get().set_common(RecordBytes().raw32(2000).raw32(3).raw32(37).b);
  auto current = [](int bad_row, bool missing_rate) {
    RecordBytes r;
    r.word(0).word(-60).flt(0);
    for (int k = 0; k < 13; ++k) {
      r.byte(k).word(k == bad_row && !missing_rate ? -1 : 10 * k).flt(1.5f);
      r.word(0);
      if (k == bad_row && missing_rate)
        r.none();
      else
        r.flt(0.5f);
    }
    return r;
  };
  auto cd = std::make_unique<BA_CURRENT_DATA>();
  auto run = [&](const RecordBytes &r) {
    const ULONG pos = add(PortDouble::CURRENT_ITEM, 0x20, r, rp, BP_ITEM_TIDE_DATA);
    ULONG length = r.size();
    UINT16 format = 0x20;
    return tc_BACurrentDataLoad(s.get(), cd.get(), PortDouble::CURRENT_ITEM, pos, BP_ITEM_TIDE_DATA, rp, &length,
                                &format);
  };
  ASSERT_EQ(run(current(-1, false)), CL_SUCCESS);
  EXPECT_EQ(cd->meridian, -3600);
  EXPECT_DOUBLE_EQ(cd->rows[12][1], 120);
  EXPECT_DOUBLE_EQ(cd->rows[3][4], 0.5);
  EXPECT_EQ(table->HarmonicInfoTable.max_cst, 37);
  EXPECT_DOUBLE_EQ(s->section1[0], 2.5);  // reference tide station loaded
  EXPECT_EQ(run(current(4, false)), TC_WARN_NO_DATA);
  EXPECT_EQ(run(current(7, true)), TC_WARN_NO_DATA);
}
