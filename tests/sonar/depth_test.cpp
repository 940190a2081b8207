// Bottom detection: thresholds, echo tests, the candidate list, the tracker, second returns, smoothing and the
// standard ranges.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "analysis_ping.h"
#include "settings/database.h"
#include "sonar/analysis/depth.h"
#include "sonar/coproc_tx.h"

namespace {

class Depth : public ::testing::Test {
 protected:
  void SetUp() override
  {
    H_DATABASE_vInit();
    g_u32SpeedOfSoundInWater = 1463;
    S_DEPTH_vResetTrackers();
  }
  static TARGETCANDIDATE cand(U32 u32Pos, U64 u64Energy, U8 u8Raw = 200)
  {
    TARGETCANDIDATE c{};
    c.u32StartIndex = c.u32PeakIndex = u32Pos;
    c.u64Energy = u64Energy;
    c.u8RawPeak = u8Raw;
    return c;
  }
};

TEST_F(Depth, AntiLogTableMatchesItsRule)
{
  std::ifstream in(std::string(CORVAN_TEST_DATA) + "/antilog.txt");
  ASSERT_TRUE(in);
  std::string line;
  std::getline(in, line);  // header
  for (U32 i = 0; i < 256; i++) {
    U64 u64 = 0;
    ASSERT_TRUE(in >> u64);
    EXPECT_EQ(g_pu32AntiLogTable[i], u64) << i;
  }
  EXPECT_EQ(g_pu32AntiLogTable[0], 4u);
  EXPECT_EQ(g_pu32AntiLogTable[100], 14534u);
  EXPECT_EQ(g_pu32AntiLogTable[255], 0xFFFFFFFFu);
}

TEST_F(Depth, ThreeHundredSamplesUseTheMeanThresholdMoreTheMedian)
{
  // Quiet water, then a plateau of 253: the mean threshold finds it; the median threshold is as high as the
  // plateau, which step 8 rejects so near the surface.
  for (const U32 n : {300u, 301u}) {
    S_DEPTH_vResetTrackers();
    AnalysisPing p(1, 200000, n);
    p.block(100, n - 100, 253, 255);
    const U32 u32Depth = S_DEPTH_u32FindDepth(&p.d, 0, 0);
    if (n == 300) {
      EXPECT_EQ(u32Depth, 26u * (104 - 7));
    } else {
      EXPECT_EQ(u32Depth, 0u);
    }
  }
}

TEST_F(Depth, EchoLengthAndShallowTests)
{
  const struct {
    const char *what;
    U32 u32From, u32Length;
    U8 u8RawAtPeak;
    float fOffsetFeet;
    bool bCandidate;
  } cases[] = {
      // 30 ft at 200 kHz must last longer than 599 us: the average spans length - 7 samples.
      {"30 ft, 24 samples (624 us)", 480, 31, 200, 0.0f, true},
      {"30 ft, 23 samples (598 us)", 480, 30, 200, 0.0f, false},
      // Within the offset plus 4 ft (index 64) only a raw peak above 230 counts.
      {"shallow, raw 230", 40, 40, 230, 0.0f, false},
      {"shallow, raw 231", 40, 40, 231, 0.0f, true},
      {"offset 2 ft moves the limit to index 96", 80, 40, 200, 2.0f, false},
      {"a keel offset of -10 ft puts the limit at the surface", 40, 40, 200, -10.0f, true},
  };
  for (const auto &c : cases) {
    S_DEPTH_vResetTrackers();
    AnalysisPing p(2, 200000, 1000);  // beam 2: one threshold for the ping
    p.block(c.u32From, c.u32Length, 200);
    p.raw[c.u32From + 4] = c.u8RawAtPeak;
    p.d.fDepthOffsetFeet = c.fOffsetFeet;
    S_DEPTH_u32FindDepth(&p.d, 0, 0);
    // Any candidate becomes the tracker's strongest.
    EXPECT_EQ(S_DEPTH_pGetBottomTracker(2)->u32PrevTallestDepthMicroseconds,
              c.bCandidate ? 26u * (c.u32From + 4) : 0u)
        << c.what;
  }
}

TEST_F(Depth, CandidateListKeepsTheTenStrongestNewerFirstOnTies)
{
  const std::vector<std::vector<U64>> orders = {
      {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11},
      {11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1},
      {6, 1, 11, 3, 9, 2, 10, 4, 8, 5, 7},
  };
  for (const auto &order : orders) {
    TARGETCANDIDATE list[BOTTOM_CANDIDATES];
    U32 n = 0;
    for (U32 i = 0; i < order.size(); i++) {
      const TARGETCANDIDATE c = cand(i, order[i]);
      S_DEPTH_vAddCandidateToList(list, &n, &c, BOTTOM_CANDIDATES);
    }
    ASSERT_EQ(n, 10u);
    for (U32 i = 0; i < n; i++) {
      EXPECT_EQ(list[i].u64Energy, 11u - i);
    }
  }
  TARGETCANDIDATE list[3];
  U32 n = 0;
  for (U32 i = 0; i < 3; i++) {
    const TARGETCANDIDATE c = cand(i, 5);
    S_DEPTH_vAddCandidateToList(list, &n, &c, 3);
  }
  EXPECT_EQ(list[0].u32StartIndex, 2u);
  EXPECT_EQ(list[1].u32StartIndex, 1u);
  EXPECT_EQ(list[2].u32StartIndex, 0u);
}

TEST_F(Depth, BeamOneReportsThePeakLessSevenBeamZeroTheStart)
{
  const struct {
    BEAM beam;
    U32 u32Frequency;
  } cases[] = {{1, 200000}, {0, 83000}, {0xFF, 200000}};
  for (const auto &c : cases) {
    S_DEPTH_vResetTrackers();
    AnalysisPing p(c.beam, c.u32Frequency, 1000);
    p.block(480, 40, 200);
    p.tvg[490] = 220;
    S_DEPTH_pGetBottomTracker(c.beam)->u32PrevTallestDepthMicroseconds = 26 * 490;
    const U32 u32Depth = S_DEPTH_u32FindDepth(&p.d, 0, 0);
    if (c.beam == 0) {
      // Threshold 10 + 40 (deviation): the average of eight reaches it with two echo samples, at 478.
      EXPECT_EQ(u32Depth, 26u * 478);
    } else {
      EXPECT_EQ(u32Depth, 26u * (490 - 7)) << int(c.beam);
    }
  }
}

TEST_F(Depth, TrackerLocksHoldsLosesAndFollowsSlowly)
{
  BOTTOMTRACKER t{};
  t.u32PrevTallestDepthMicroseconds = 26 * 500;
  TARGETCANDIDATE c[2] = {cand(500, 1000), cand(2000, 10)};
  for (U32 i = 1; i <= 4; i++) {
    EXPECT_EQ(S_DEPTHALGORITHMS_u8WindowTest(c, 2, 26, &t, TRUE, 1000 + 100 * i), 0);
    EXPECT_EQ(t.u8LockedCounter, i);
  }
  EXPECT_EQ(t.u32LastLockedDepthMicroseconds, 26u * 500);  // set at the third lock
  EXPECT_EQ(t.u32LastLockTimeMs, 1400u);

  // Ten feet a second: 100 ms allow 416 us.
  BOTTOMTRACKER follow = t;
  TARGETCANDIDATE deeper[1] = {cand(600, 1000)};
  EXPECT_EQ(S_DEPTHALGORITHMS_u8WindowTest(deeper, 1, 26, &follow, TRUE, 1500), 0);
  EXPECT_EQ(follow.u32LastLockedDepthMicroseconds, 26u * 500 + 416);
  TARGETCANDIDATE near[1] = {cand(510, 1000)};
  follow = t;
  EXPECT_EQ(S_DEPTHALGORITHMS_u8WindowTest(near, 1, 26, &follow, TRUE, 1500), 0);
  EXPECT_EQ(follow.u32LastLockedDepthMicroseconds, 26u * 510);
  TARGETCANDIDATE shallower[1] = {cand(400, 1000)};
  follow = t;
  EXPECT_EQ(S_DEPTHALGORITHMS_u8WindowTest(shallower, 1, 26, &follow, TRUE, 1500), 0);
  EXPECT_EQ(follow.u32LastLockedDepthMicroseconds, 26u * 500 - 416);

  // Nothing in the window: the lock survives 2.5 s, then is lost (5 s beyond 600 m).
  const struct {
    U32 u32LockedUs, u32FarPos, u32Elapsed;
    U8 u8Counter;
  } losses[] = {
      {26 * 500, 5000, 2500, 4},
      {26 * 500, 5000, 2501, 0},
      {1230349, 10, 5000, 4},  // 900 m
      {1230349, 10, 5001, 0},
  };
  for (const auto &l : losses) {
    BOTTOMTRACKER lost = t;
    lost.u32LastLockedDepthMicroseconds = l.u32LockedUs;
    TARGETCANDIDATE far[1] = {cand(l.u32FarPos, 10)};
    EXPECT_EQ(S_DEPTHALGORITHMS_u8WindowTest(far, 1, 26, &lost, TRUE, 1400 + l.u32Elapsed), 255);
    EXPECT_EQ(lost.u8LockedCounter, l.u8Counter) << l.u32Elapsed;
    EXPECT_EQ(lost.u32PrevTallestDepthMicroseconds, 26 * l.u32FarPos);
  }

  // A far stronger echo where the strongest was last time takes the lock over at counter 3.
  BOTTOMTRACKER relock = t;
  relock.u64LockedEnergy = 50;
  relock.u32PrevTallestDepthMicroseconds = 26 * 2000;
  TARGETCANDIDATE strong[1] = {cand(2010, 1000)};
  EXPECT_EQ(S_DEPTHALGORITHMS_u8WindowTest(strong, 1, 26, &relock, TRUE, 1500), 0);
  EXPECT_EQ(relock.u8LockedCounter, 3);
  EXPECT_EQ(relock.u32LastLockedDepthMicroseconds, 26u * 2010);
}

TEST_F(Depth, ElapsedTimeWrapsAndEqualStampsMeanNoTime)
{
  BOTTOMTRACKER t{};
  t.u32PrevTallestDepthMicroseconds = 26 * 500;
  t.u32LastLockTimeMs = 0xFFFFFF00u;
  TARGETCANDIDATE c[1] = {cand(500, 100)};
  S_DEPTHALGORITHMS_u8WindowTest(c, 1, 26, &t, TRUE, 0x40);
  // 0xFF + 0x40 ms since the lock: base 4166 (13 ms is beyond 20 ft) + 13000 / 50 + 3 feet.
  EXPECT_EQ(t.u32DepthWindowSizeDividedBy2, 4166u + 260 + 3 * 609600 / 1463);
  S_DEPTHALGORITHMS_u8WindowTest(c, 1, 26, &t, TRUE, 0x40);
  EXPECT_EQ(t.u32DepthWindowSizeDividedBy2, 4166u + 260);
}

TEST_F(Depth, LockedBottomHoldsAndALostOneIsSmoothedForHalfASecond)
{
  AnalysisPing p(1, 200000, 2000);
  S_DEPTH_pGetBottomTracker(1)->u32PrevTallestDepthMicroseconds = 26 * 490;
  auto ping = [&](U32 u32At, U32 u32Ms) {
    p.clear();
    p.block(u32At - 10, 40, 200);
    p.tvg[u32At] = 220;
    p.d.u32TimeStampMilliSeconds = u32Ms;
    return S_DEPTH_u32FindDepth(&p.d, 0, 0);
  };
  // Unlocked: a ping with its echo outside the window reports the smoothed depth for under 500 ms.
  EXPECT_EQ(ping(490, 1000), 26u * 483);
  EXPECT_EQ(ping(1500, 1100), 26u * 483);
  EXPECT_EQ(ping(900, 1499), 26u * 483);
  EXPECT_EQ(ping(1500, 1500), 0u);

  // Locked: an echo elsewhere holds the tracked depth.
  S_DEPTH_vResetTrackers();
  S_DEPTH_pGetBottomTracker(1)->u32PrevTallestDepthMicroseconds = 26 * 490;
  for (U32 i = 0; i < 4; i++) {
    EXPECT_EQ(ping(490, 10000 + 1000 * i), 26u * 483);
  }
  EXPECT_EQ(S_DEPTH_pGetBottomTracker(1)->u8LockedCounter, 4);
  EXPECT_EQ(ping(1500, 14000), 26u * 490);  // the locked depth is the peak itself
}

TEST_F(Depth, SecondReturnPicksTheShallowestWithAStrongDouble)
{
  const struct {
    const char *what;
    std::vector<TARGETCANDIDATE> list;
    U8 u8Expected;
  } cases[] = {
      {"double present", {cand(300, 900, 240), cand(150, 800, 240), cand(220, 10, 100)}, 1},
      {"double too far", {cand(330, 900, 240), cand(150, 800, 240)}, 255},
      {"only weak echoes", {cand(300, 900, 200), cand(150, 800, 200)}, 255},
      {"two with doubles: the shallower", {cand(400, 900, 240), cand(200, 800, 240), cand(100, 700, 240)}, 2},
  };
  for (const auto &c : cases) {
    BOTTOMTRACKER t{};
    std::vector<TARGETCANDIDATE> list = c.list;
    EXPECT_EQ(S_DEPTHALGORITHMS_u8SecondReturnTest(list.data(), (U32)list.size(), 26, &t, FALSE, TRUE), c.u8Expected)
        << c.what;
    EXPECT_EQ(t.u32LastLockedDepthMicroseconds, c.u8Expected == 255 ? 0u : 26u * list[c.u8Expected].u32PeakIndex)
        << c.what;
  }
  // The modified test looks for the double and the triple of the strongest's first return.
  std::vector<TARGETCANDIDATE> list = {cand(200, 900), cand(100, 500), cand(302, 100)};
  BOTTOMTRACKER t{};
  EXPECT_EQ(S_DEPTHALGORITHMS_u8SecondReturnTest(list.data(), 3, 26, &t, TRUE, TRUE), 1);
  list[2].u32PeakIndex = 330;
  EXPECT_EQ(S_DEPTHALGORITHMS_u8SecondReturnTest(list.data(), 3, 26, &t, TRUE, TRUE), 255);
}

TEST_F(Depth, HardShallowBottomIsTakenFromItsSecondReturn)
{
  // The tracker follows the stronger second return at twice the depth; its double test picks the first return.
  AnalysisPing p(1, 200000, 1000);
  p.block(96, 12, 200, 240);
  p.tvg[100] = 220;
  p.block(190, 30, 210, 240);
  p.tvg[200] = 230;
  S_DEPTH_pGetBottomTracker(1)->u32PrevTallestDepthMicroseconds = 26 * 200;
  EXPECT_EQ(S_DEPTH_u32FindDepth(&p.d, 0, 0), 26u * (100 - 7));
  EXPECT_EQ(S_DEPTH_pGetBottomTracker(1)->u32LastLockedDepthMicroseconds, 26u * 100);
  // Without a strong shallow echo the test does not run.
  S_DEPTH_vResetTrackers();
  std::fill(p.raw.begin() + 96, p.raw.begin() + 108, 200);
  S_DEPTH_pGetBottomTracker(1)->u32PrevTallestDepthMicroseconds = 26 * 200;
  EXPECT_EQ(S_DEPTH_u32FindDepth(&p.d, 0, 0), 26u * (200 - 7));
}

TEST_F(Depth, MedianThresholdFloorsAndAddsTheDeviation)
{
  AnalysisPing p(1, 200000, 301);
  const struct {
    U8 u8Data, u8Transducer, u8Expected;
  } cases[] = {
      {50, 1, 50},
      {50, 8, 54},  // 50 x 0.58823526 = 29, plus the deviation 21 x 61 / 51
      {5, 1, 15},   // floored at 10, plus the mean deviation of 5 x 61 / 51
  };
  std::vector<U8> thr(PING_MAX_SAMPLES);
  for (const auto &c : cases) {
    std::fill(p.tvg.begin(), p.tvg.begin() + 301, c.u8Data);
    p.d.u8Transducer = c.u8Transducer;
    S_DEPTH_vMedianThreshold(&p.d, thr.data(), p.tvg.data());
    for (U32 i = 0; i < 301; i++) {
      ASSERT_EQ(thr[i], c.u8Expected) << i;
    }
  }
  // A ramp: the medians follow it and the interpolation joins them.
  AnalysisPing r(1, 200000, 400);
  for (U32 i = 0; i < 400; i++) r.tvg[i] = (U8)(i / 4 + 20);
  S_DEPTH_vMedianThreshold(&r.d, thr.data(), r.tvg.data());
  for (U32 i = 121; i <= 261; i++) {
    EXPECT_NEAR(thr[i], r.tvg[i], 2) << i;
  }
  for (U32 i = 262; i < 400; i++) {
    EXPECT_EQ(thr[i], thr[261]) << i;
  }
}

TEST_F(Depth, MinimumSlopeByDepth)
{
  const struct {
    U32 u32Samples, u32Period;
    U8 u8Slope;
    U32 u32Next;
  } cases[] = {
      {0, 26, 5, 241},        {240, 26, 5, 241},      {241, 26, 4, 801},
      {2240, 26, 3, 2241},    {5000, 26, 2, 0xFFFFFFFFu},
      {100, 52, 5, 121},      {121, 52, 4, 401},
  };
  for (const auto &c : cases) {
    U32 u32Next = 0;
    EXPECT_EQ(S_DEPTH_u8GetMinimumSlopeValue(&u32Next, c.u32Samples, g_BottomSlopeTestValues, c.u32Period), c.u8Slope)
        << c.u32Samples;
    EXPECT_EQ(u32Next, c.u32Next) << c.u32Samples;
  }
}

TEST_F(Depth, StandardRangeWithHeadroom)
{
  const struct {
    U16 u16Depth;
    UNIT_TYPE eUnits;
    U16 u16Range;
  } cases[] = {
      {84, U_FEET, 100},   {85, U_FEET, 120},     {5000, U_FEET, 3280}, {5, U_FEET, 10},
      {12, U_FEET, 20},    {3, U_METRES, 5},      {8, U_METRES, 10},    {20, U_METRES, 25},
      {2000, U_METRES, 1000}, {1, U_FATHOMS, 2},  {600, U_FATHOMS, 545}, {84, U_KNOTS, 11},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(S_DEPTH_u16SelectDepthRange(c.u16Depth, c.eUnits), c.u16Range) << c.u16Depth << " " << c.eUnits;
  }
}

TEST_F(Depth, NoSamplesNoBottomAndUnknownBeams)
{
  AnalysisPing p(1, 200000, 0);
  EXPECT_EQ(S_DEPTH_u32FindDepth(&p.d, 0, 0), 0u);
  p.d.u32NumberOfSamples = 200;  // all zero
  EXPECT_EQ(S_DEPTH_u32FindDepth(&p.d, 0, 0), 0u);
  p.d.Beam = 4;
  p.block(50, 50, 200);
  EXPECT_EQ(S_DEPTH_u32FindDepth(&p.d, 0, 0), 0u);
  EXPECT_EQ(S_DEPTH_pGetBottomTracker(4), nullptr);
  EXPECT_NE(S_DEPTH_pGetBottomTracker(0xFF), S_DEPTH_pGetBottomTracker(3));
}

}  // namespace
