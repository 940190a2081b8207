// Time-varied gain, its reverse, the ping filters, the noise measurement and the matched filter.
#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "analysis_ping.h"
#include "sonar/analysis/filter.h"
#include "sonar/analysis/matched_filter.h"
#include "sonar/analysis/noise.h"
#include "sonar/analysis/tvg.h"

namespace {

TEST(Tvg, AttenuationAtEveryTabledTime)
{
  const U32 au32Times[12] = {0, 500, 1000, 2000, 5000, 10000, 20000, 50000, 100000, 200000, 500000, 1000000};
  const struct {
    U32 u32Frequency;
    U8 au8Att[12];
  } cases[] = {
      {50000, {200, 200, 200, 186, 146, 131, 117, 95, 78, 61, 42, 20}},
      {83000, {195, 175, 133, 114, 93, 78, 64, 45, 31, 17, 4, 4}},
      {200000, {200, 200, 139, 120, 99, 84, 67, 48, 34, 24, 16, 12}},
      {455000, {210, 193, 143, 110, 71, 49, 22, 5, 5, 5, 5, 5}},
      {800000, {210, 193, 143, 118, 62, 33, 16, 5, 5, 5, 5, 5}},
  };
  for (const auto &c : cases) {
    // A 500-microsecond period puts a sample on every tabled time.
    AnalysisPing p(1, c.u32Frequency, 2001, 500);
    std::fill(p.raw.begin(), p.raw.begin() + 2001, 255);
    S_TVG_TvgRawSonar(&p.d, p.raw.data(), p.tvg.data(), 0, FALSE, WATER_FRESH, 0);
    for (U32 i = 0; i < 12; i++) {
      EXPECT_EQ(255 - p.tvg[au32Times[i] / 500], c.au8Att[i]) << c.u32Frequency << " Hz at " << au32Times[i];
    }
  }
}

TEST(Tvg, CurvesHaveTheirLengthsFirstPairsAndFallSmoothly)
{
  const struct {
    const RLE_TVG_DESCRIPTOR *p;
    U32 u32Pairs, u32TotalUs;
    std::vector<std::pair<U8, U32>> first;
  } cases[] = {
      {&DefaultTvg50kHzTable, 198, 1011759, {}},
      {&DefaultTvg83kHzTable, 198, 1011759, {{195, 40}, {195, 68}, {194, 34}, {193, 34}}},
      {&DefaultTvg200kHzTable, 198, 1011759, {{200, 40}, {200, 68}, {200, 34}, {200, 34}}},
      {&DefaultTvg455kHzTable, 121, 55114, {{210, 408}, {210, 34}, {201, 34}, {193, 34}}},
      {&DefaultTvg800kHzTable, 121, 55114, {}},
  };
  for (const auto &c : cases) {
    ASSERT_EQ(c.p->u32TableLength, c.u32Pairs);
    U64 u64Total = 0;
    for (U32 i = 0; i < c.u32Pairs; i++) {
      u64Total += c.p->pAttDepthTable[i].u32RunLengthMicroSeconds;
      EXPECT_GT(c.p->pAttDepthTable[i].u32RunLengthMicroSeconds, 0u);
      if (i > 0) {
        EXPECT_LE(c.p->pAttDepthTable[i].u8Attenuation, c.p->pAttDepthTable[i - 1].u8Attenuation);
      }
    }
    EXPECT_EQ(u64Total, c.u32TotalUs);
    for (U32 i = 0; i < c.first.size(); i++) {
      EXPECT_EQ(c.p->pAttDepthTable[i].u8Attenuation, c.first[i].first);
      EXPECT_EQ(c.p->pAttDepthTable[i].u32RunLengthMicroSeconds, c.first[i].second);
    }
  }
  EXPECT_EQ(pSelectTvgCurve(59999), &DefaultTvg50kHzTable);
  EXPECT_EQ(pSelectTvgCurve(60000), &DefaultTvg83kHzTable);
  EXPECT_EQ(pSelectTvgCurve(299999), &DefaultTvg200kHzTable);
  EXPECT_EQ(pSelectTvgCurve(300000), &DefaultTvg455kHzTable);
  EXPECT_EQ(pSelectTvgCurve(500000), &DefaultTvg800kHzTable);
}

TEST(Tvg, ScaleSuppressionAndTheShortTransmitBeam)
{
  const struct {
    const char *what;
    BEAM beam;
    U32 u32Index;  // at 20 us a sample
    U8 u8Raw;
    U8 u8Level;
    BOOLEAN bSuppress;
    WATER_TYPE eWater;
    U32 u32Scale;
    U8 u8Expected;
  } cases[] = {
      {"2 ms, attenuation 120", 1, 100, 150, 0, FALSE, WATER_FRESH, 0, 30},
      {"scale 308: attenuation 36", 1, 100, 150, 0, FALSE, WATER_FRESH, 308, 114},
      {"scale 1: attenuation 0", 1, 100, 150, 0, FALSE, WATER_FRESH, 1, 150},
      {"clutter 1 fresh: 290 gives 0", 1, 0, 255, 1, TRUE, WATER_FRESH, 0, 0},
      {"clutter 10 fresh: total 160", 1, 0, 255, 10, TRUE, WATER_FRESH, 0, 95},
      {"clutter 10 deep salt: total 200", 1, 0, 255, 10, TRUE, WATER_SALT_DEEP, 0, 55},
      {"clutter 1 shallow salt uses the fresh row", 1, 0, 255, 1, TRUE, WATER_SALT_SHALLOW, 0, 0},
      {"clutter -40 x 3192 / 8192 rounds to -15 at 5 ms", 1, 250, 255, 10, TRUE, WATER_FRESH, 0, 255 - 84},
      {"no clutter from 8192 us", 1, 500, 255, 10, TRUE, WATER_FRESH, 0, 255 - 84},
      {"level 0 is refused: plain gain", 1, 0, 255, 0, TRUE, WATER_FRESH, 0, 55},
      {"beam 0xFF: no first step", 0xFF, 0, 150, 0, FALSE, WATER_FRESH, 0, 150},
      {"beam 0xFF: first pair still 0 at 40 us", 0xFF, 2, 150, 0, FALSE, WATER_FRESH, 0, 150},
      {"beam 0xFF: second pair applies", 0xFF, 3, 150, 0, FALSE, WATER_FRESH, 0, 0},
  };
  for (const auto &c : cases) {
    AnalysisPing p(c.beam, 200000, 600, 20);
    p.raw[c.u32Index] = c.u8Raw;
    S_TVG_TvgRawSonar(&p.d, p.raw.data(), p.tvg.data(), c.u8Level, c.bSuppress, c.eWater, c.u32Scale);
    EXPECT_EQ(p.tvg[c.u32Index], c.u8Expected) << c.what;
  }
}

TEST(Tvg, ReverseRestoresTheSampleAndKeepsZero)
{
  AnalysisPing p(1, 200000, 200, 20);
  const U8 au8In[] = {0, 100, 200, 1};
  const U32 au32At[] = {100, 100, 100, 0};  // 2 ms: attenuation 120; 0: 200
  const U8 au8Out[] = {0, 220, 255, 201};
  for (U32 i = 0; i < 4; i++) {
    std::fill(p.tvg.begin(), p.tvg.end(), 0);
    p.tvg[au32At[i]] = au8In[i];
    S_TVG_ReverseTvgSonar(&p.d, p.tvg.data(), p.raw.data());
    EXPECT_EQ(p.raw[au32At[i]], au8Out[i]) << int(au8In[i]);
  }
}

TEST(Filter, TwoOfTwoPassesARiseOnlyOnTheSecondPing)
{
  const U8 au8In[] = {124, 125, 50, 0};
  U8 au8Prev[] = {100, 100, 100, 0};
  U8 au8Out[4];
  S_FILTER_v2of2Filter(4, au8In, au8Prev, au8Out);
  EXPECT_EQ(std::vector<U8>(au8Out, au8Out + 4), (std::vector<U8>{124, 100, 50, 0}));
  EXPECT_EQ(std::vector<U8>(au8Prev, au8Prev + 4), (std::vector<U8>{124, 125, 50, 0}));
  // The echo stays: its second ping passes.
  S_FILTER_v2of2Filter(4, au8In, au8Prev, au8Out);
  EXPECT_EQ(au8Out[1], 125);
}

TEST(Filter, ExponentialAverageKeepsAMemoryPerBeam)
{
  S_FILTER_vInitExponentialAverageData();
  const U8 u8200 = 200, u890 = 90, u80 = 0;
  U8 u8Out = 7;
  // Factor 2 from an empty memory: 0 + 100 = 100, then factor 3 with 90: 66 + 30.
  S_FILTER_vGetExponentialAverageData(1, 1, &u8200, &u8Out, 2);
  EXPECT_EQ(u8Out, 100);
  S_FILTER_vGetExponentialAverageData(1, 1, &u890, &u8Out, 3);
  EXPECT_EQ(u8Out, 96);
  // Factor 1 and null buffers do nothing: not the output, not the memory.
  u8Out = 7;
  S_FILTER_vGetExponentialAverageData(1, 1, &u80, &u8Out, 1);
  S_FILTER_vGetExponentialAverageData(1, 1, nullptr, &u8Out, 3);
  S_FILTER_vGetExponentialAverageData(1, 1, &u80, nullptr, 3);
  S_FILTER_vGetExponentialAverageData(0, 1, &u80, &u8Out, 3);
  EXPECT_EQ(u8Out, 7);
  S_FILTER_vGetExponentialAverageData(1, 1, &u80, &u8Out, 2);
  EXPECT_EQ(u8Out, 48);  // the memory was still 96

  // Beam 0xFF has its own memory: filling it leaves beams 0-3 alone.
  S_FILTER_vInitExponentialAverageData();
  for (int i = 0; i < 40; i++) {
    S_FILTER_vGetExponentialAverageData(1, 0xFF, &u8200, &u8Out, 10);
  }
  EXPECT_GT(u8Out, 150);
  for (BEAM b = 0; b < 4; b++) {
    S_FILTER_vGetExponentialAverageData(1, b, &u80, &u8Out, 10);
    EXPECT_EQ(u8Out, 0) << int(b);
  }
  S_FILTER_vGetExponentialAverageData(1, 0xFF, &u80, &u8Out, 10);
  EXPECT_GT(u8Out, 130);
  // Clearing clears beam 0xFF too.
  S_FILTER_vInitExponentialAverageData();
  S_FILTER_vGetExponentialAverageData(1, 0xFF, &u80, &u8Out, 10);
  EXPECT_EQ(u8Out, 0);
  // A beam without memory does nothing.
  u8Out = 7;
  S_FILTER_vGetExponentialAverageData(1, 4, &u8200, &u8Out, 10);
  EXPECT_EQ(u8Out, 7);
}

TEST(Filter, NoiseRemovalInPlaceAndTheCombinedFilter)
{
  U8 au8[] = {5, 50, 9, 10};
  S_FILTER_vNoiseRemoval(4, au8, au8, au8, 10);
  EXPECT_EQ(std::vector<U8>(au8, au8 + 4), (std::vector<U8>{0, 50, 0, 10}));

  const U8 au8Raw[] = {10, 124, 125, 30};
  const struct {
    BOOLEAN bActive;
    std::vector<U8> out, prev;
  } cases[] = {
      {TRUE, {0, 124, 100, 30}, {0, 124, 125, 30}},
      {FALSE, {0, 124, 125, 30}, {0, 124, 125, 30}},
  };
  for (const auto &c : cases) {
    U8 au8Prev[] = {100, 100, 100, 100};
    U8 au8Out[4] = {};
    S_FILTER_vFilterAndNoiseRemoval(4, au8Raw, au8Out, au8Prev, c.bActive, 20);
    EXPECT_EQ(std::vector<U8>(au8Out, au8Out + 4), c.out) << int(c.bActive);
    EXPECT_EQ(std::vector<U8>(au8Prev, au8Prev + 4), c.prev) << int(c.bActive);
  }
}

TEST(Noise, MeasuredAfterTheRingDown)
{
  AnalysisPing p(1, 200000, 100, 26);
  std::fill(p.tvg.begin(), p.tvg.begin() + 32, 255);
  std::fill(p.tvg.begin() + 32, p.tvg.begin() + 100, 10);
  p.tvg[50] = 78;
  U8 u8Max = 0;
  EXPECT_EQ(S_NOISE_u8Measure(&p.d, &u8Max), (67 * 10 + 78) / 68);
  EXPECT_EQ(u8Max, 78);
  // One sample: nothing is skipped.
  p.d.u32NumberOfSamples = 1;
  EXPECT_EQ(S_NOISE_u8Measure(&p.d, nullptr), 255);
  p.d.u32NumberOfSamples = 0;
  u8Max = 9;
  EXPECT_EQ(S_NOISE_u8Measure(&p.d, &u8Max), 0);
  EXPECT_EQ(u8Max, 0);
}

TEST(MatchedFilter, RowsByPulseLengthAndSaturation)
{
  EXPECT_EQ(S_MATCHEDFILTER_u32PulseSamples(200000, 16, 64), 3u);
  EXPECT_EQ(S_MATCHEDFILTER_u32PulseSamples(200000, 6, 64), 1u);
  EXPECT_EQ(S_MATCHEDFILTER_u32PulseSamples(50000, 255, 255), 127u);

  // An impulse traces row 2 backwards: 82, 35, 16, then -7 which gives 0.
  std::vector<U8> in(100, 0), out(100, 9);
  in[10] = 128;
  S_MATCHEDFILTER_vFilter(in.data(), out.data(), 100, 200000, 16, 64);
  EXPECT_EQ(out[10], 82);
  EXPECT_EQ(out[9], 35);
  EXPECT_EQ(out[8], 16);
  EXPECT_EQ(out[7], 0);
  EXPECT_EQ(out[11], 0);
  // One sample: a copy.
  for (U32 i = 0; i < 100; i++) in[i] = (U8)(i * 2);
  S_MATCHEDFILTER_vFilter(in.data(), out.data(), 100, 200000, 6, 64);
  EXPECT_EQ(in, out);
  // Full scale over row 1 (sum 130) saturates; a strong sample under a negative tap gives 0.
  std::fill(in.begin(), in.end(), 255);
  S_MATCHEDFILTER_vFilter(in.data(), out.data(), 100, 200000, 10, 64);
  EXPECT_EQ(S_MATCHEDFILTER_u32PulseSamples(200000, 10, 64), 2u);
  EXPECT_EQ(out[0], 255);
  std::fill(in.begin(), in.end(), 0);
  in[13] = 255;
  S_MATCHEDFILTER_vFilter(in.data(), out.data(), 100, 200000, 16, 64);
  EXPECT_EQ(out[10], 0);  // 255 x -7
  // The last outputs use only the taps that fit.
  std::fill(in.begin(), in.end(), 128);
  S_MATCHEDFILTER_vFilter(in.data(), out.data(), 100, 200000, 16, 64);
  EXPECT_EQ(out[99], 82);
}

TEST(MatchedFilter, WeightsKeepTheFixedRowsAndSumToAbout128)
{
  const std::vector<std::pair<U32, std::vector<S8>>> fixed = {
      {0, {127, 0, 0}},
      {1, {99, 33, -6, 3, -1, 1, 0, 1}},
      {2, {82, 35, 16, -7, 2, 2, -1, 1, 1}},
      {8, {44, 25, 18, 14, 11, 9, 6, 4, 1, -6}},
      {32, {17, 11, 9, 8, 7, 7, 6, 6, 5}},
      {126, {4, 2, 2, 2, 2}},
  };
  for (const auto &f : fixed) {
    for (U32 k = 0; k < f.second.size(); k++) {
      EXPECT_EQ(as8FilterWeights[f.first][k], f.second[k]) << "row " << f.first << " tap " << k;
    }
  }
  for (U32 r = 0; r < MATCHED_FILTER_ROWS; r++) {
    const int sum = std::accumulate(as8FilterWeights[r], as8FilterWeights[r] + MATCHED_FILTER_TAPS, 0);
    EXPECT_NEAR(sum, 128, 3) << "row " << r;
    // A decaying lobe: no tap of the lobe above the first.
    for (U32 k = 1; k < std::min<U32>(r + 1, MATCHED_FILTER_TAPS); k++) {
      EXPECT_LE(as8FilterWeights[r][k], as8FilterWeights[r][0]) << "row " << r;
    }
  }
  EXPECT_EQ(as8FilterWeights[126][63], 2);
}

}  // namespace
