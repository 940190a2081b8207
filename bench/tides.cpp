// Tide predictions for the chart task's budget: a year of 15-minute heights, a month of daily tides.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "chartlib/tide_interface.h"
#include "chartlib/tide_predict.h"
#include "chartlib/tide_series.h"

namespace {

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

void BM_YearOfHeights(benchmark::State &state) {
  Station s;
  std::vector<tc_sample> out(TC_PIECE_SAMPLES);
  int32_t results[TC_PIECE_SAMPLES];
  fixed ratios[TC_MAX_COMPONENTS];
  const ULONG start = 1704067200;
  for (auto _ : state) {
    for (int done = 0; done < 366 * 96; done += TC_PIECE_SAMPLES)
      TC_compute_primary_tide_array(&s.set, start + done * 900u, 900, TC_PIECE_SAMPLES, out.data(), results, ratios);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetLabel("35136 heights");
}
BENCHMARK(BM_YearOfHeights)->Unit(benchmark::kMillisecond);

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
