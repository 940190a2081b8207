// Tide predictions for the chart task's budget: a year of 15-minute heights, a month of daily tides.
// The year of heights at real stations is timed against a plain double-precision sum of the same
// constituents, both inside each iteration, so the ratio holds under the same machine load.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "chartlib/tide/tide_interface.h"
#include "chartlib/tide/tide_predict.h"
#include "chartlib/tide/tide_series.h"
#include "station_file.h"

namespace {

constexpr ULONG kYear2024 = 1704067200;  // 2024-01-01 00:00 UTC
constexpr int kYearSamples = 366 * 96;   // 15-minute steps

// A semidiurnal station with 20 constituents of falling amplitude.
struct Station {
  tide_component c[20];
  constituent_set set{1500, 20, c, 0, 0};
  Station() {
    const int rows[20] = {0, 1, 2, 3, 10, 11, 12, 14, 15, 16, 18, 19, 20, 22, 24, 27, 30, 32, 34, 37};
    for (int i = 0; i < 20; ++i) c[i] = {static_cast<fixed>(i * 3001), static_cast<UINT16>(1200 / (i + 1)),
                                         static_cast<UINT16>(rows[i])};
  }
};

void year_of_heights(const constituent_set &set, tc_sample *out) {
  int32_t results[TC_PIECE_SAMPLES];
  fixed ratios[TC_MAX_COMPONENTS];
  for (int done = 0; done < kYearSamples; done += TC_PIECE_SAMPLES)
    TC_compute_primary_tide_array(&set, kYear2024 + done * 900u, 900, TC_PIECE_SAMPLES, out + done, results, ratios);
}

void BM_YearOfHeights(benchmark::State &state) {
  Station s;
  std::vector<tc_sample> out(kYearSamples + TC_PIECE_SAMPLES);
  for (auto _ : state) {
    year_of_heights(s.set, out.data());
    benchmark::DoNotOptimize(out.data());
  }
  state.SetLabel("35136 heights");
}
BENCHMARK(BM_YearOfHeights)->Unit(benchmark::kMillisecond);

// The same constituents summed in double precision: amplitude f H, speed and phase V0 + u - epoch taken
// once from the library's node factors at mid-year, then h = Z0 + sum A cos(w t + p) in millimetres.
struct DoubleSum {
  double datum;
  std::vector<double> amplitude, speed, phase;  // mm, radians per second, radians
  explicit DoubleSum(const constituent_set &set) : datum(set.datum) {
    fixed f[TC_TIDE_FACTOR_SLOTS];
    compute_global_tide_data(f, kYear2024 - TC_SECONDS_1970_TO_2000 + 183 * 86400);
    for (int i = 0; i < set.count; ++i) {
      const tide_component &c = set.components[i];
      const constituent_row &r = constituent_table[c.index];
      amplitude.push_back(f[r.factor_slot] / 65536.0 * c.amplitude);
      speed.push_back(2 * M_PI * std::ldexp(1.0, static_cast<int>(r.shift)) / r.scaled_period);
      phase.push_back(2 * M_PI * (f[TC_ANGLE_SLOT_BASE + r.angle_offset] + r.v0 - c.phase) / 65536.0);
    }
  }
  void year(int32_t *out) const {
    const double t0 = kYear2024 - TC_SECONDS_1970_TO_2000;
    for (int k = 0; k < kYearSamples; ++k) {
      const double t = t0 + 900.0 * k;
      double h = datum;
      for (size_t i = 0; i < amplitude.size(); ++i) h += amplitude[i] * std::cos(speed[i] * t + phase[i]);
      out[k] = static_cast<int32_t>(std::lround(h));
    }
  }
};

// A year of heights at a real station (row of stations.txt), timed against the double-precision sum.
void BM_YearOfHeightsAgainstDoubleSum(benchmark::State &state) {
  const std::vector<station_file::Station> stations =
      station_file::read_stations(CORVAN_TIDE_DATA "/stations.txt");
  if (static_cast<size_t>(state.range(0)) >= stations.size()) {
    state.SkipWithError("station missing from the test data");
    return;
  }
  const station_file::Station &station = stations[state.range(0)];
  const station_file::DirectSet direct(station);
  const DoubleSum plain(direct.set);
  std::vector<tc_sample> out(kYearSamples + TC_PIECE_SAMPLES);
  std::vector<int32_t> plain_out(kYearSamples);
  double ours = 0, theirs = 0;
  using clock = std::chrono::steady_clock;
  for (auto _ : state) {
    const auto t0 = clock::now();
    year_of_heights(direct.set, out.data());
    benchmark::DoNotOptimize(out.data());
    const auto t1 = clock::now();
    plain.year(plain_out.data());
    benchmark::DoNotOptimize(plain_out.data());
    const auto t2 = clock::now();
    const double a = std::chrono::duration<double>(t1 - t0).count(), b = std::chrono::duration<double>(t2 - t1).count();
    state.SetIterationTime(a);
    ours += a;
    theirs += b;
  }
  state.counters["double_ms"] = theirs * 1000 / static_cast<double>(state.iterations());
  state.counters["ratio"] = ours / theirs;
  state.SetLabel(station.name.substr(0, station.name.find(',')) + ", " + std::to_string(direct.set.count) +
                 " constituents");
}
BENCHMARK(BM_YearOfHeightsAgainstDoubleSum)
    ->Arg(0)  // Boston
    ->Arg(1)  // Pensacola
    ->Arg(2)  // Anchorage
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_MonthOfDailyTides(benchmark::State &state) {
  Station s;
  tc_sample ev[5];
  fixed ratios[TC_MAX_COMPONENTS];
  for (auto _ : state) {
    for (int day = 0; day < 31; ++day) TC_next_primary_tides(&s.set, 1704067200u + day * 86400u - 900, ev, 5, ratios);
    benchmark::DoNotOptimize(ev);
  }
  state.SetLabel("31 days x 5 events");
}
BENCHMARK(BM_MonthOfDailyTides)->Unit(benchmark::kMillisecond);

}  // namespace
