// The period fractions, ratios and sums against the bit-serial arithmetic they replace: restoring division
// one bit at a time and modular doubling once per shift step. Every result must be the same bit for bit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "chartlib/tide/tide_fixed.h"
#include "chartlib/tide/tide_harmonic.h"
#include "chartlib/tide/tide_predict.h"
#include "station_file.h"

namespace {

// 16 rounded fraction bits of a / b by restoring division (a >= b gives 65536).
uint32_t serial_ratio(uint32_t a, uint32_t b) {
  if (b == 0) return 0;
  uint64_t r = a;
  uint32_t q = 0;
  for (int k = 0; k < 16; ++k) {
    r <<= 1;
    q <<= 1;
    if (r >= b) {
      q |= 1;
      r -= b;
    }
  }
  if ((r << 1) >= b) ++q;
  return q;
}

// time * 2^shift mod scaled period by doubling, as a rounded fraction of the period.
fixed serial_period_fraction(uint32_t time, uint32_t scaled_period, uint32_t shift) {
  uint32_t r = time % scaled_period;
  for (uint32_t k = 0; k < shift; ++k) {
    r <<= 1;
    if (r >= scaled_period) r -= scaled_period;
  }
  return static_cast<fixed>(serial_ratio(r, scaled_period));
}

fixed serial_divide(fixed a, fixed b) {
  if (b == 0) return 0;
  const uint32_t ma = a < 0 ? 0u - static_cast<uint32_t>(a) : static_cast<uint32_t>(a);
  const uint32_t mb = b < 0 ? 0u - static_cast<uint32_t>(b) : static_cast<uint32_t>(b);
  const uint32_t q = (((ma / mb) & 0xFFFF) << 16) + serial_ratio(ma % mb, mb);
  return static_cast<fixed>((a < 0) != (b < 0) ? 0u - q : q);
}

template <bool Sine>
fixed serial_sum(const constituent_set &set, const component_term *terms, uint32_t t) {
  fixed sum = 0;
  for (int i = 0; i < set.count; ++i) {
    const constituent_row &r = constituent_table[set.components[i].index];
    const fixed g = fixed_add(serial_period_fraction(t, r.scaled_period, r.shift), terms[i].phase);
    sum = fixed_add(sum, fixed_multiply(Sine ? fixed_positive_sin(g) : fixed_positive_cos(g), terms[i].amplitude));
  }
  return sum;
}

// Every row of the table once (the rows of period 1 and the shift-17 rows among them), amplitudes up to 3 m.
struct AllRows {
  std::vector<tide_component> components;
  constituent_set set{};
  AllRows() {
    std::mt19937 rng(7);
    for (int row = 0; row < TC_CONSTITUENT_ROWS; ++row)
      components.push_back({static_cast<fixed>(rng() & 0xFFFF), static_cast<UINT16>(rng() % 3000 + 1),
                            static_cast<UINT16>(row)});
    set = {-250, TC_CONSTITUENT_ROWS, components.data(), 3600, 0};
  }
};

}  // namespace

TEST(TideExact, RatiosMatchRestoringDivision) {
  struct Case {
    uint32_t a, b;
  } cases[] = {{0, 1},          {1, 1},          {0, 7},          {1, 3},          {2, 3},         {7, 7},
               {8, 7},          {0xFFFFFFFF, 1}, {0xFFFFFFFE, 0xFFFFFFFF}, {0xFFFFFFFF, 0xFFFFFFFF},
               {1, 0xFFFFFFFF}, {0x7FFFFFFF, 0x80000000}, {1, 131072},     {1, 131071},    {3, 2},
               {5, 0},          {0, 0}};
  for (const Case &c : cases) EXPECT_EQ(fixed_long_ratio(c.a, c.b), static_cast<fixed>(serial_ratio(c.a, c.b)))
                                  << c.a << "/" << c.b;
  std::mt19937 rng(1);
  for (int k = 0; k < 200000; ++k) {
    const uint32_t b = rng() >> (rng() % 32);
    const uint32_t a = k % 8 == 0 ? rng() : (b ? rng() % b : 0);  // mostly a < b, the defined range
    ASSERT_EQ(fixed_long_ratio(a, b), static_cast<fixed>(serial_ratio(a, b))) << a << "/" << b;
  }
  // Halfway remainders decide the rounding: b even, a = (2k + 1) b / 2^17.
  for (uint32_t b : {131072u, 262144u, 1u << 31}) {
    for (uint32_t a = 0; a < b; a += b / 1024) ASSERT_EQ(fixed_long_ratio(a, b), static_cast<fixed>(serial_ratio(a, b)));
    for (uint32_t a = b / 131072; a < b; a += b / 65536) ASSERT_EQ(fixed_long_ratio(a, b), static_cast<fixed>(serial_ratio(a, b)));
  }
}

TEST(TideExact, DivisionsMatchRestoringDivision) {
  const fixed values[] = {0, 1, -1, 0x8000, 0x10000, -0x10000, 0x7FFFFFFF, INT32_MIN, 0x12345, -0x76543, 3, 0x30000};
  for (fixed a : values)
    for (fixed b : values) EXPECT_EQ(fixed_divide(a, b), serial_divide(a, b)) << a << "/" << b;
  std::mt19937 rng(2);
  for (int k = 0; k < 200000; ++k) {
    const fixed a = static_cast<fixed>(rng()) >> (rng() % 32), b = static_cast<fixed>(rng()) >> (rng() % 32);
    ASSERT_EQ(fixed_divide(a, b), serial_divide(a, b)) << a << "/" << b;
  }
}

TEST(TideExact, PeriodFractionsOfEveryRow) {
  std::mt19937 rng(3);
  std::vector<uint32_t> times = {0, 1, 2, 899, 900, 86399, 86400, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFE, 0xFFFFFFFF,
                                 TC_LAST_TABLE_TIME};
  for (int k = 0; k < 4000; ++k) times.push_back(rng());
  for (int row = 0; row < TC_CONSTITUENT_ROWS; ++row) {
    const constituent_row &r = constituent_table[row];
    std::vector<uint32_t> t = times;
    // Around whole periods and around halves of the rounding step.
    for (uint32_t m = 1; m < 64; ++m) {
      const uint64_t whole = static_cast<uint64_t>(r.scaled_period) * m >> r.shift;
      for (int64_t d = -2; d <= 2; ++d) t.push_back(static_cast<uint32_t>(whole + d));
    }
    for (uint32_t time : t)
      ASSERT_EQ(period_fraction(time, r.scaled_period, r.shift), serial_period_fraction(time, r.scaled_period, r.shift))
          << "row " << row << " time " << time;
    for (uint32_t time : t) {
      const fixed angle = static_cast<fixed>(time * 2654435761u);
      ASSERT_EQ(compute_angle(row, angle, time), fixed_add(serial_period_fraction(time, r.scaled_period, r.shift), angle))
          << "row " << row << " time " << time;
    }
  }
}

// A year of 15-minute heights as the series computes them, and the derivative sums of the event searches at
// the same times, at the three stations of the test data (Boston, Pensacola, Anchorage) and at a station
// of every table row.
TEST(TideExact, YearOfSumsAtFourStations) {
  const std::vector<station_file::Station> stations = station_file::read_stations(CORVAN_TEST_DATA "/stations.txt");
  ASSERT_EQ(stations.size(), 3u);
  std::vector<std::unique_ptr<station_file::DirectSet>> direct;
  std::vector<const constituent_set *> sets;
  for (const station_file::Station &s : stations) {
    direct.push_back(std::make_unique<station_file::DirectSet>(s));
    sets.push_back(&direct.back()->set);
  }
  EXPECT_GE(sets[2]->count, 116);  // Anchorage
  const AllRows all;
  sets.push_back(&all.set);

  const uint32_t start = 1704067200u - TC_SECONDS_1970_TO_2000;  // 2024
  constexpr int kSamples = 366 * 96;
  for (size_t k = 0; k < sets.size(); ++k) {
    const constituent_set &set = *sets[k];
    std::vector<int32_t> heights(kSamples);
    for (int done = 0; done < kSamples; done += 256)
      compute_primary_tide_array(&set, start + done * 900u, 900, std::min(256, kSamples - done), &heights[done]);

    fixed ratios[TC_MAX_COMPONENTS];
    compute_component_ratios(&set, search_min_period(&set), ratios);
    component_term terms[TC_MAX_COMPONENTS], slopes[TC_MAX_COMPONENTS];
    uint32_t last = 0;
    int differing = 0, first = -1;
    for (int i = 0; i < kSamples; ++i) {
      const uint32_t t = start + static_cast<uint32_t>(i) * 900u;
      if (i % 256 == 0 || t - last > 1800) {  // the series refreshes the factors as it goes and per piece
        compute_local_tide_data(&set, terms, t);
        setup_derivative(&set, ratios, slopes, t);
        last = t;
      }
      const fixed expected = fixed_add(int_to_fixed(set.datum), serial_sum<false>(set, terms, t));
      const bool same = heights[i] == round_fixed_to_int(expected) && sum_components(&set, terms, t) == expected &&
                        compute_primary_derivative(&set, slopes, t) == serial_sum<true>(set, slopes, t);
      if (!same && first < 0) first = i;
      differing += !same;
    }
    EXPECT_EQ(differing, 0) << "station " << k << ", first at sample " << first;
  }
}
