#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "chartlib/tide/tide_harmonic.h"
#include "chartlib/tide/tide_tables.h"

namespace {

fixed tc_phase(double degrees) { return static_cast<fixed>(std::lround(degrees / 360.0 * 65536)); }

double speed_of(int row) {  // degrees per hour
  const constituent_row &r = constituent_table[row];
  return 1296000.0 * std::ldexp(1.0, static_cast<int>(r.shift)) / r.scaled_period;
}

double wrap_degrees(double d) { return d - 360.0 * std::floor(d / 360.0 + 0.5); }

// Seconds from 2000-01-01 00:00 UTC to 1 January of a year.
uint32_t year_start(int y) {
  uint32_t days = 0;
  for (int k = 2000; k < y; ++k) days += (k % 4 == 0 && (k % 100 != 0 || k % 400 == 0)) ? 366 : 365;
  return days * 86400u;
}

}  // namespace

TEST(TideHarmonic, FactorsAtTimeZeroAreTheFirstEntries) {
  fixed s[TC_TIDE_FACTOR_SLOTS];
  compute_global_tide_data(s, 0);
  EXPECT_EQ(s[0], 65536);
  EXPECT_EQ(s[1], f73_table[0]);
  EXPECT_EQ(s[1], 70405);  // the formula's value; 70395 (1.0741) is quoted for the original table
  EXPECT_NEAR(s[1], 70395, 0.0005 * 65536);
  EXPECT_EQ(s[6], f78_table[0]);
  EXPECT_EQ(s[9], f206_table[0]);
  EXPECT_EQ(s[37], xi_table[0]);
  EXPECT_EQ(s[41], xi_ni_r_table[0]);
  EXPECT_EQ(s[2], fixed_multiply(65007, s[7]));
  EXPECT_EQ(s[43], 0);
  // The kept ranges of the reduced angles hold over the whole table.
  for (int k = 0; k < 769; ++k) {
    EXPECT_GE(minus_ni_1_table[k], 0.97 * 65536);
    EXPECT_LE(minus_ni_1_table[k], 1.03 * 65536);
  }
  for (int k = 0; k < 3073; ++k) {
    EXPECT_GE(minus_ni_q_table[k], 0.9 * 65536);
    EXPECT_LE(minus_ni_q_table[k], 1.1 * 65536);
    EXPECT_GE(xi_ni_r_table[k], 0.93 * 65536);
    EXPECT_LE(xi_ni_r_table[k], 1.07 * 65536);
  }
}

TEST(TideHarmonic, InterpolationBetweenSamples) {
  fixed s[TC_TIDE_FACTOR_SLOTS];
  const uint32_t half = 1u << 20;
  compute_global_tide_data(s, (5u << 21) + half);
  EXPECT_NEAR(s[6], (f78_table[5] + f78_table[6]) / 2.0, 1);
  // Beyond the tables the last sample holds instead of reading past them.
  compute_global_tide_data(s, 0xFFFFFFFFu);
  EXPECT_NEAR(s[6], f78_table[768], 1);
}

TEST(TideHarmonic, PeriodFractions) {
  for (int row : {65, 68, 69, 70})
    for (uint32_t t : {0u, 1u, 12345u, 0xFFFFFFFFu})
      EXPECT_EQ(period_fraction(t, constituent_table[row].scaled_period, constituent_table[row].shift), 0);
  // S2: twelve hours per turn.
  const constituent_row &s2 = constituent_table[1];
  EXPECT_EQ(period_fraction(3 * 3600, s2.scaled_period, s2.shift), 0x4000);
  EXPECT_EQ(period_fraction(12 * 3600 * 1000u + 6 * 3600, s2.scaled_period, s2.shift), 0x8000);
  // Against exact arithmetic for a few rows and large times.
  for (int row : {0, 2, 4, 26, 132})
    for (uint32_t t : {1u, 999999u, 1600000000u}) {
      const constituent_row &r = constituent_table[row];
      const unsigned __int128 scaled = static_cast<unsigned __int128>(t) << r.shift;
      const double frac = static_cast<double>(scaled % r.scaled_period) / r.scaled_period;
      EXPECT_NEAR(period_fraction(t, r.scaled_period, r.shift), frac * 65536, 0.51) << row << " " << t;
    }
}

TEST(TideHarmonic, SolarTermIsFreeOfNodalCorrection) {
  tide_component c{0x1000, 1000, 1};
  constituent_set set{100, 1, &c, 0, 0};
  component_term term;
  fixed s[TC_TIDE_FACTOR_SLOTS];
  for (uint32_t t : {0u, 500000000u, 1600000000u}) {
    compute_global_tide_data(s, t);
    set_tide_data(&set, s, &term);
    EXPECT_EQ(term.amplitude, 1000 * 65536);
    EXPECT_EQ(term.phase, 65536 + 0 - 0x1000);
  }
  EXPECT_EQ(sum_components(&set, &term, 0), int_to_fixed(100) + fixed_multiply(fixed_positive_cos(term.phase),
                                                                                   term.amplitude));
  constituent_set empty{-42, 0, nullptr, 0, 0};
  EXPECT_EQ(sum_components(&empty, nullptr, 1234), int_to_fixed(-42));
  EXPECT_EQ(compute_primary_derivative(&empty, nullptr, 1234), 0);
}

TEST(TideHarmonic, RatiosAndFastestConstituent) {
  tide_component c[4] = {{0, 1, 0}, {0, 1, 3}, {0, 1, 26}, {0, 1, 4}};
  constituent_set set{0, 4, c, 0, 0};
  EXPECT_EQ(search_min_period(&set), 26);
  fixed ratios[4];
  compute_component_ratios(&set, 26, ratios);
  EXPECT_EQ(ratios[2], 65536);
  for (int i = 0; i < 4; ++i) EXPECT_NEAR(ratios[i] / 65536.0, speed_of(c[i].index) / speed_of(26), 2e-5);
  // Rows of equal period: the later one replaces the current choice (same shift).
  EXPECT_EQ(min_period_index(23, 63), 63);
  EXPECT_EQ(min_period_index(63, 23), 23);
  EXPECT_EQ(min_period_index(0, 1), 1);  // S2 is faster than M2
  EXPECT_EQ(min_period_index(1, 0), 1);
}

// The fixed-point sum follows h = Z0 + sum f H cos(wt + V0 + u - k) evaluated in double precision.
TEST(TideHarmonic, SumAgreesWithDoublePrecision) {
  tide_component c[5] = {{tc_phase(110.0), 1400, 0}, {tc_phase(140.0), 220, 1}, {tc_phase(205.0), 143, 2},
                         {tc_phase(187.0), 119, 3},  {tc_phase(26.0), 24, 24}};
  constituent_set set{1588, 5, c, 0, 0};
  fixed s[TC_TIDE_FACTOR_SLOTS];
  component_term terms[5];
  for (uint32_t t0 : {86400u * 40, 86400u * 3000, 86400u * 18000}) {
    compute_global_tide_data(s, t0);
    set_tide_data(&set, s, terms);
    for (uint32_t dt = 0; dt < 1800; dt += 300) {
      const uint32_t t = t0 + dt;
      double h = set.datum;
      for (const tide_component &k : c) {
        const constituent_row &r = constituent_table[k.index];
        const double theta = std::fmod(t * speed_of(k.index) / 3600.0 / 360.0, 1.0);
        const double f = s[r.factor_slot] / 65536.0;
        const double arg = theta + (s[TC_ANGLE_SLOT_BASE + r.angle_offset] + r.v0 - k.phase) / 65536.0;
        h += f * k.amplitude * std::cos(2 * M_PI * arg);
      }
      EXPECT_NEAR(sum_components(&set, terms, t) / 65536.0, h, 1.5) << t;
    }
  }
}

// Speeds, equilibrium arguments and node factors against the constituents of xtide-data, at its instants:
// V0 + u at 1 January 00:00 UTC and f at mid-year.
TEST(TideHarmonic, AgreesWithXtideData) {
  std::ifstream in(CORVAN_TEST_DATA "/constituents.txt");
  ASSERT_TRUE(in.good());
  struct Tcd {
    std::string name;
    double speed;
    std::map<int, std::pair<double, double>> years;
  };
  std::vector<Tcd> tcd;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream ls(line);
    Tcd t;
    ls >> t.name >> t.speed;
    int y;
    double v, f;
    while (ls >> y >> v >> f) t.years[y] = {v, f};
    tcd.push_back(t);
  }
  double worst_speed = 0;
  for (int row = 0; row < TC_CONSTITUENT_ROWS; ++row) {
    if (constituent_table[row].scaled_period == 1) continue;
    double best = 1e9;
    for (const Tcd &t : tcd) best = std::min(best, std::fabs(t.speed - speed_of(row)));
    EXPECT_LT(best, 1e-6) << "row " << row;
    worst_speed = std::max(worst_speed, best);
  }
  const std::map<int, std::string> main_rows = {{0, "M2"},  {1, "S2"},  {2, "K1"},  {3, "O1"}, {4, "SA"},
                                                {5, "SSA"}, {6, "MM"},  {8, "MF"},  {9, "S1"}, {10, "Q1"},
                                                {11, "P1"}, {12, "N2"}, {14, "K2"}};
  double worst_angle = 0, worst_factor = 0;
  for (const auto &[row, name] : main_rows) {
    const Tcd *t = nullptr;
    for (const Tcd &k : tcd)
      if (k.name == name) t = &k;
    ASSERT_NE(t, nullptr) << name;
    const constituent_row &r = constituent_table[row];
    for (const auto &[year, vf] : t->years) {
      fixed s[TC_TIDE_FACTOR_SLOTS];
      const uint32_t start = year_start(year);
      compute_global_tide_data(s, start);
      const uint32_t mid = start + (year_start(year + 1) - start) / 2;
      compute_global_tide_data(s, mid);
      const fixed u_mid = s[TC_ANGLE_SLOT_BASE + r.angle_offset];
      // xtide-data's V0 + u holds V0 at the start of the year and u of mid-year.
      const double angle = (compute_angle(row, u_mid + r.v0, start) & 0xFFFF) * 360.0 / 65536.0;
      const double da = std::fabs(wrap_degrees(angle - vf.first));
      const double df = std::fabs(s[r.factor_slot] / 65536.0 - vf.second);
      EXPECT_LT(da, 0.25) << name << " " << year;
      EXPECT_LT(df, 0.002) << name << " " << year;
      worst_angle = std::max(worst_angle, da);
      worst_factor = std::max(worst_factor, df);
    }
  }
  RecordProperty("worst_speed_deg_per_h", std::to_string(worst_speed));
  RecordProperty("worst_v0u_deg", std::to_string(worst_angle));
  RecordProperty("worst_f", std::to_string(worst_factor));
  std::printf("xtide-data: speed %.2e deg/h, V0+u %.3f deg, f %.4f\n", worst_speed, worst_angle, worst_factor);
}
