#include <gtest/gtest.h>

#include <memory>

#include "chartlib/tide/tide_interface.h"
#include "chartlib/tide/tide_series.h"
#include "chartlib/tide/tide_util.h"
#include "port_double.h"

namespace {

RecordBytes simple_tide(float z0) {  // M2 1 m, K1 0.3 m
  RecordBytes r;
  r.word(0).word(0).zeros(12).none().none().none().none().flt(z0);
  r.floats({1.0f, 100.0f, 0.0f, 0.0f, 0.3f, 200.0f});
  return r;
}

struct Interface : ::testing::Test {
  std::unique_ptr<BPTABLE> table = std::make_unique<BPTABLE>();
  void SetUp() override {
    PortDouble::get().reset();
    add_station(1, "SEATTLE", TIDE_STATION, PortDouble::TIDE_ITEM, simple_tide(0.1f));
    add_station(2, "SEAHAM", CURRENT_STATION, PortDouble::CURRENT_ITEM, simple_tide(0.1f));
    add_station(3, "Brest", TIDE_STATION, PortDouble::TIDE_ITEM, simple_tide(0.1f));
    add_station(4, "HAVEN", TIDE_STATION, PortDouble::CURRENT_ITEM, simple_tide(0.0f));  // no tide record
  }
  void add_station(ULONG code, const char *name, UINT qualifier, UINT item, const RecordBytes &r) {
    StationRecord rec;
    rec.data = r.b;
    PortDouble::get().add_station(code, name, qualifier, item, rec);
  }
};

}  // namespace

TEST_F(Interface, SeriesTimesStepsAndCapacity) {
  TIDE tides[120];
  for (TIDE &t : tides) t.Type = 99;
  ASSERT_EQ(tc_GetTidesByPortCode(table.get(), 1, UT_DATETIME{150600, 0}, 25, 5, tides, 120), CL_SUCCESS);
  EXPECT_EQ(tides[0].Time, 0);
  EXPECT_EQ(tides[1].Time, 1500);
  EXPECT_EQ(tides[96].Time, 240000);
  EXPECT_EQ(tides[99].Time, 244500);
  EXPECT_EQ(tides[100].Type, 99);  // exactly 100 samples
  for (int i = 0; i < 100; ++i) EXPECT_EQ(tides[i].Type, tides[i].Intensity >= 0 ? UP_TIDE : DOWN_TIDE);
  // A shorter array stops the series at its capacity.
  TIDE few[11];
  few[10].Type = 99;
  ASSERT_EQ(tc_GetTidesByPortCode(table.get(), 1, UT_DATETIME{150600, 0}, 25, 5, few, 10), CL_SUCCESS);
  EXPECT_EQ(few[10].Type, 99);
  EXPECT_EQ(few[9].Intensity, tides[9].Intensity);
  // Step 0 (also in its low 16 bits) and early dates.
  EXPECT_EQ(tc_GetTidesByPortCode(table.get(), 1, UT_DATETIME{150600, 0}, 25, 0, tides, 120), TC_WARN_BAD_STEP);
  EXPECT_EQ(tc_GetTidesByPortCode(table.get(), 1, UT_DATETIME{310100, 0}, 25, 5, tides, 120), TC_WARN_DATE_TOO_EARLY);
  EXPECT_EQ(tc_GetTidesByPortCode(table.get(), 1, UT_DATETIME{10200, 0}, 1, 5, tides, 120), CL_SUCCESS);
  EXPECT_EQ(tc_GetTidesByPortCode(table.get(), 1, UT_DATETIME{320100, 0}, 1, 5, tides, 120), TC_WARN_BAD_DATE);
  EXPECT_EQ(tc_GetTidesByPortCode(table.get(), 4, UT_DATETIME{10200, 0}, 1, 5, tides, 120), TC_WARN_NO_DATA);
  EXPECT_EQ(tc_GetTidesByPortCode(table.get(), 2, UT_DATETIME{10200, 0}, 1, 5, tides, 120), BP_WARN_QUALIFIER);
}

TEST_F(Interface, SingleAndDaily) {
  TIDE one, series[100];
  ASSERT_EQ(tc_GetTidesByPortCode(table.get(), 1, UT_DATETIME{150600, 0}, 25, 5, series, 100), CL_SUCCESS);
  ASSERT_EQ(tc_GetTideByPortCode(table.get(), 1, UT_DATETIME{150600, 31500}, &one), CL_SUCCESS);
  EXPECT_EQ(one.Time, 31500);
  EXPECT_DOUBLE_EQ(one.Intensity, series[13].Intensity);
  DAILY_TIDES daily;
  ASSERT_EQ(tc_DailyTidesByPortCode(table.get(), 1, 150600, &daily), CL_SUCCESS);
  int on_day = 0;
  for (const TIDE &t : daily.Tide) {
    if (t.Type == NOTIDE) continue;
    ++on_day;
    EXPECT_EQ(t.Time % 100, 0);  // rounded to the minute
    // The series agrees with the event's height near its time.
    const int k = (t.Time / 10000 * 60 + t.Time / 100 % 100) / 15;
    EXPECT_NEAR(series[k].Intensity, t.Intensity, 0.05);
  }
  EXPECT_GE(on_day, 3);
}

TEST_F(Interface, SeriesPiecesAreSeamless) {
  std::vector<tc_sample> whole(300), parts(300);
  std::vector<int32_t> results(TC_PIECE_SAMPLES);
  fixed ratios[TC_MAX_COMPONENTS];
  tide_component c[2] = {{0x4000, 1000, 0}, {0, 300, 2}};
  constituent_set set{100, 2, c, 0, 0};
  const ULONG start = 1000000000;
  ASSERT_EQ(TC_compute_primary_tide_array(&set, start, 600, 300, whole.data(), results.data(), ratios), CL_SUCCESS);
  std::vector<int32_t> direct(300);
  compute_primary_tide_array(&set, TC_core_time(start, 0), 600, 300, direct.data());
  for (int i = 0; i < 300; ++i) {
    EXPECT_EQ(whole[i].Time, start + 600u * i);
    EXPECT_NEAR(whole[i].Intensity, direct[i] * 0.001, 0.0015) << i;  // factors refreshed per piece
    if (i > 0) {
      EXPECT_EQ(whole[i].Type, whole[i].Intensity > whole[i - 1].Intensity ? RISING : FALLING) << i;
    }
  }
  EXPECT_EQ(whole[0].Type, whole[1].Type);
  // A single sample takes its type from the next extreme.
  tide_event next;
  next_primary_tide(&next, &set, TC_core_time(start, 0), ratios);
  tc_sample single;
  TC_compute_primary_tide_array(&set, start, 0, 1, &single, results.data(), ratios);
  EXPECT_EQ(single.Type, next.type == LOW_TIDE ? FALLING : RISING);
}

TEST(TideSearch, ConstantStationHasNoTideWithin40Hours) {
  constituent_set flat{250, 0, nullptr, 0, 0};
  fixed ratios[TC_MAX_COMPONENTS];
  tide_event e;
  next_primary_tide(&e, &flat, 5000000, ratios);
  EXPECT_EQ(e.type, NOTIDE);
  EXPECT_EQ(e.time, 5000000u + 144000u);
  previous_primary_tide(&e, &flat, 5000000, ratios);
  EXPECT_EQ(e.type, NOTIDE);
}

TEST_F(Interface, NameLookup) {
  TIDE t{};
  t.Type = 42;
  EXPECT_EQ(tc_GetTideByPortName(table.get(), "atlantis", UT_DATETIME{10600, 0}, &t), BP_WARN_NAME_NOT_FOUND);
  EXPECT_EQ(t.Type, 42);
  EXPECT_EQ(tc_GetTideByPortName(table.get(), "brest", UT_DATETIME{10600, 0}, &t), CL_SUCCESS);
  EXPECT_EQ(tc_GetTideByPortName(table.get(), "Seatt", UT_DATETIME{10600, 0}, &t), CL_SUCCESS);
  // "SEA" first finds SEAHAM, a current station; later names are not tried.
  EXPECT_EQ(tc_GetTideByPortName(table.get(), "sea", UT_DATETIME{10600, 0}, &t), BP_WARN_QUALIFIER);
  DAILY_TIDES d;
  EXPECT_EQ(tc_DailyTidesByPortName(table.get(), "SEATTLE", 10600, &d), CL_SUCCESS);
}

TEST_F(Interface, SettingsAndMeridian) {
  EXPECT_EQ(tc_SetLocalTimeOffset(table.get(), -23000), CL_SUCCESS);
  EXPECT_EQ(table->HarmonicInfoTable.LocalTimeOffset, -(2 * 3600 + 30 * 60));
  EXPECT_EQ(tc_SetLocalTimeOffset(table.get(), 2500), CL_SUCCESS);  // 25 minutes 0 seconds
  EXPECT_EQ(table->HarmonicInfoTable.LocalTimeOffset, 1500);
  EXPECT_EQ(tc_SetMagneticVariation(table.get(), 5.0), CL_SUCCESS);
  EXPECT_EQ(table->HarmonicInfoTable.MagneticVariation, 5.0);
  SLONG m = 1;
  EXPECT_EQ(tc_GetTimeMeridian(table.get(), 1, false, &m), CL_SUCCESS);
  EXPECT_EQ(m, 0);
  EXPECT_EQ(tc_GetTimeMeridian(table.get(), 1, true, &m), TC_WARN_NO_DATA);
}

TEST(SunMoon, RiseSetCodes) {
  UT_TIME rise = 0, set = 0;
  // Greenwich, an ordinary day.
  ASSERT_EQ(tc_GetSunriseSunset(0, 150600, 51.48, 0.0, &rise, &set), CL_SUCCESS);
  EXPECT_NEAR(static_cast<double>(rise), 34220, 100);  // 03:42:20 by PyEphem
  EXPECT_NEAR(static_cast<double>(set), 201855, 100);  // 20:18:55
  // Midnight sun: no sunset, or neither event.
  const ERRORCODE polar = tc_GetSunriseSunset(0, 210600, 78.2, 15.6, &rise, &set);
  EXPECT_TRUE(polar == TC_WARN_NO_SUNSET || polar == TC_WARN_NO_SUN_EVENT) << std::hex << polar;
  EXPECT_EQ(tc_GetSunriseSunset(0, 211200, 78.2, 15.6, &rise, &set), TC_WARN_NO_SUN_EVENT);
  EXPECT_EQ(tc_GetSunriseSunset(0, 320100, 0, 0, &rise, &set), TC_WARN_BAD_DATE);
  // The moon rises and sets about 50 minutes later each day, so one event is missing some days.
  int codes[4] = {0, 0, 0, 0};
  for (UT_DATE day = 10300; day <= 310300; day += 10000) {
    const ERRORCODE e = tc_GetMoonriseMoonset(3600, day, 48.4, -4.5, &rise, &set);
    if (e == CL_SUCCESS) ++codes[0];
    else if (e == TC_WARN_NO_MOONRISE) ++codes[1];
    else if (e == TC_WARN_NO_MOONSET) ++codes[2];
    else ADD_FAILURE() << std::hex << e;
  }
  EXPECT_GT(codes[0], 25);
  EXPECT_EQ(codes[1], 1);
  EXPECT_EQ(codes[2], 1);
  EXPECT_EQ(tc_GetMoonriseMoonset(0, 150600, 85.0, 0.0, &rise, &set) != CL_SUCCESS ||
                tc_GetMoonriseMoonset(0, 220600, 85.0, 0.0, &rise, &set) != CL_SUCCESS,
            true);
}

TEST(SunMoon, MoonPhase) {
  SINT phase = -1;
  ASSERT_EQ(tc_GetMoonPhase(0, UT_DATETIME{150300, 120000}, &phase), CL_SUCCESS);
  EXPECT_EQ(phase, 1);  // first quarter of 13 March 2000
  ASSERT_EQ(tc_GetMoonPhase(0, UT_DATETIME{200300, 40000}, &phase), CL_SUCCESS);
  EXPECT_EQ(phase, 1);  // the full moon is at 04:44
  ASSERT_EQ(tc_GetMoonPhase(0, UT_DATETIME{200300, 50000}, &phase), CL_SUCCESS);
  EXPECT_EQ(phase, 2);
  EXPECT_EQ(tc_GetMoonPhase(0, UT_DATETIME{310100, 0}, &phase), TC_WARN_DATE_TOO_EARLY);
  EXPECT_EQ(tc_GetMoonPhase(0, UT_DATETIME{300200, 0}, &phase), TC_WARN_BAD_DATE);
}

TEST_F(Interface, SecondaryHarmonicTide) {
  // Ten minutes later, heights times 1.0 plus 0.2 m at high water and 0.1 m at low water.
  RecordBytes sec;
  sec.word(0).word(0).floats({10.0f, 1.0f, 0.2f, 10.0f, 1.0f, 0.1f});
  StationRecord rec;
  rec.data = sec.b;
  rec.reference_position = PortDouble::get().ports_[1].services[PortDouble::TIDE_ITEM];
  PortDouble::get().add_station(60, "DOWNSTREAM", TIDE_STATION, PortDouble::TIDE_ITEM, rec);
  TIDE ref[100], s[100];
  ASSERT_EQ(tc_GetTidesByPortCode(table.get(), 1, UT_DATETIME{150600, 0}, 25, 5, ref, 100), CL_SUCCESS);
  ASSERT_EQ(tc_GetTidesByPortCode(table.get(), 60, UT_DATETIME{150600, 0}, 25, 5, s, 100), CL_SUCCESS);
  for (int i = 2; i < 100; ++i) {
    const double shifted = ref[i].Intensity + (ref[i - 1].Intensity - ref[i].Intensity) * 600.0 / 900.0;
    EXPECT_GE(s[i].Intensity - shifted, 0.1 - 0.02) << i;
    EXPECT_LE(s[i].Intensity - shifted, 0.2 + 0.02) << i;
  }
  DAILY_TIDES rd, sd;
  ASSERT_EQ(tc_DailyTidesByPortCode(table.get(), 1, 150600, &rd), CL_SUCCESS);
  ASSERT_EQ(tc_DailyTidesByPortCode(table.get(), 60, 150600, &sd), CL_SUCCESS);
  int matched = 0;
  for (const TIDE &a : sd.Tide)
    for (const TIDE &b : rd.Tide)
      if (a.Type == b.Type && a.Type != NOTIDE) {
        const int am = a.Time / 10000 * 60 + a.Time / 100 % 100, bm = b.Time / 10000 * 60 + b.Time / 100 % 100;
        if (std::abs(am - bm - 10) <= 1) {
          ++matched;
          // Mixed between the low- and high-water offsets by where the height lies in the window.
          EXPECT_GE(a.Intensity - b.Intensity, 0.095);
          EXPECT_LE(a.Intensity - b.Intensity, 0.205);
        }
      }
  EXPECT_GE(matched, 3);
  // Missing corrections: series refused, daily events corrected one by one.
  RecordBytes partial;
  partial.word(0).word(0).floats({10.0f, 1.0f, 0.2f}).none().none().none();
  rec.data = partial.b;
  PortDouble::get().add_station(61, "HALFWAY", TIDE_STATION, PortDouble::TIDE_ITEM, rec);
  EXPECT_EQ(tc_GetTidesByPortCode(table.get(), 61, UT_DATETIME{150600, 0}, 25, 5, s, 100), TC_WARN_NO_DATA);
  ASSERT_EQ(tc_DailyTidesByPortCode(table.get(), 61, 150600, &sd), CL_SUCCESS);
  for (const TIDE &a : sd.Tide) EXPECT_NE(a.Type, LOW_TIDE);
}
