// Echo analysis over whole pings: the gain (walked incrementally, timed against a per-sample search of the same
// curve as its peer), the matched filter, the bottom search and the fish search. A live ping is 2,000 to 55,000
// samples and pings come every 50 ms or more.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "settings/database.h"
#include "sonar/analysis/depth.h"
#include "sonar/analysis/fishid.h"
#include "sonar/analysis/matched_filter.h"
#include "sonar/analysis/ping_synth.h"
#include "sonar/analysis/tvg.h"
#include "sonar/coproc_tx.h"

namespace {

struct Ping {
  std::vector<U8> raw = std::vector<U8>(PING_MAX_SAMPLES), tvg = std::vector<U8>(PING_MAX_SAMPLES),
                  out = std::vector<U8>(PING_MAX_SAMPLES);
  PING_DESCRIPTOR d{};
  explicit Ping(U32 u32Samples)
  {
    g_u32SpeedOfSoundInWater = 1463;
    d.pu8RawSonarData = raw.data();
    d.pu8TvgdData = tvg.data();
    PING_SYNTH_PARAMS s{};
    s.Beam = 1;
    s.u32TransmitFrequencyHertz = 200000;
    s.u8TransmitCycles = 16;
    s.u32NumberOfSamples = u32Samples;
    s.u32Seed = 3;
    s.u8NoiseFloor = 6;
    s.u8NoiseSpread = 4;
    s.fBottomDepthMetres = 0.6f * u32Samples * 26 * 1463 / 2000000.0f;
    s.u32BottomLengthSamples = 40;
    s.u8BottomHardness = 200;
    s.u32Fish = 3;
    s.aFish[0] = {s.fBottomDepthMetres * 0.3f, 120, 9};
    s.aFish[1] = {s.fBottomDepthMetres * 0.5f, 90, 9};
    s.aFish[2] = {s.fBottomDepthMetres * 0.7f, 150, 9};
    S_PINGSYNTH_vMake(&s, &d);
  }
};

// The peer: the attenuation of each sample found by searching the curve's cumulative times.
void vGainSearched(const PING_DESCRIPTOR *p, const U8 *pu8Raw, U8 *pu8Out)
{
  const RLE_TVG_DESCRIPTOR *c = pSelectTvgCurve(p->u32TransmitFrequencyHertz);
  std::vector<U32> ends(c->u32TableLength);
  U32 u32End = 0;
  for (U32 i = 0; i < c->u32TableLength; i++) ends[i] = u32End += c->pAttDepthTable[i].u32RunLengthMicroSeconds;
  for (U32 i = 0; i < p->u32NumberOfSamples; i++) {
    const auto it = std::lower_bound(ends.begin(), ends.end(), i * p->u32SamplePeriodMicroSeconds);
    const U8 a = c->pAttDepthTable[it == ends.end() ? c->u32TableLength - 1 : it - ends.begin()].u8Attenuation;
    pu8Out[i] = pu8Raw[i] > a ? pu8Raw[i] - a : 0;
  }
}

void BM_Gain(benchmark::State &state)
{
  Ping p((U32)state.range(0));
  for (auto _ : state) {
    S_TVG_TvgRawSonar(&p.d, p.raw.data(), p.out.data(), 5, TRUE, WATER_FRESH, 0);
    benchmark::DoNotOptimize(p.out.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Gain)->Arg(2000)->Arg(55000);

void BM_GainSearchedPeer(benchmark::State &state)
{
  Ping p((U32)state.range(0));
  for (auto _ : state) {
    vGainSearched(&p.d, p.raw.data(), p.out.data());
    benchmark::DoNotOptimize(p.out.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_GainSearchedPeer)->Arg(2000)->Arg(55000);

void BM_MatchedFilter(benchmark::State &state)
{
  Ping p(55000);
  // Cycles for pulses of 3 and 33 samples at 200 kHz.
  const U8 u8Cycles = (U8)state.range(0);
  for (auto _ : state) {
    S_MATCHEDFILTER_vFilter(p.tvg.data(), p.out.data(), 55000, 200000, u8Cycles, 64);
    benchmark::DoNotOptimize(p.out.data());
  }
  state.SetItemsProcessed(state.iterations() * 55000);
}
BENCHMARK(BM_MatchedFilter)->Arg(16)->Arg(172);

void BM_FindDepth(benchmark::State &state)
{
  H_DATABASE_vInit();
  Ping p((U32)state.range(0));
  U32 u32Ms = 0;
  for (auto _ : state) {
    p.d.u32TimeStampMilliSeconds = u32Ms += 100;
    benchmark::DoNotOptimize(S_DEPTH_u32FindDepth(&p.d, 0, 0));
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_FindDepth)->Arg(2000)->Arg(55000);

void BM_ScanForFish(benchmark::State &state)
{
  H_DATABASE_vInit();
  Ping p((U32)state.range(0));
  p.d.fDepthMetres = 0.6f * state.range(0) * 26 * 1463 / 2000000.0f;
  FISH_TARGET_LIST l{};
  for (auto _ : state) {
    S_FISHID_vScanForFish(&l, &p.d, WATER_FRESH, 5);
    benchmark::DoNotOptimize(l.u8NumberOfTargets);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ScanForFish)->Arg(2000)->Arg(55000);

}  // namespace
