// Fish identification: extraction and sizing, the six strongest, merging, the history with its links, empty,
// duplicate and reverse columns, and the fish alarm.
#include <gtest/gtest.h>

#include <vector>

#include "analysis_ping.h"
#include "kernel/kernel_defs.h"
#include "kernel/sema.h"
#include "settings/database.h"
#include "sonar/analysis/fishid.h"
#include "sonar/coproc_tx.h"

namespace {

// 16 cycles: 80 us at 200 kHz, so echoes of 108 to 1007 us are potential fish.
AnalysisPing fishPing(BEAM beam, U32 u32Frequency, U32 u32Samples, float fDepthMetres)
{
  AnalysisPing p(beam, u32Frequency, u32Samples);
  p.d.u8TransmitCycles = 16;
  p.d.fDepthMetres = fDepthMetres;
  return p;
}

FISH_TARGET fishAt(U32 u32Depth, U8 u8Size = 0, BEAM beam = 1)
{
  FISH_TARGET f{};
  f.u32DepthInSamples = u32Depth;
  f.u8Size = u8Size;
  f.u8Peak = 100;
  f.beam = beam;
  f.bIdPlusThisFish = TRUE;
  f.criteria = {56, 175, FALSE, 145, 806, 200};
  return f;
}

FISH_TARGET_LIST listOf(std::vector<FISH_TARGET> v)
{
  FISH_TARGET_LIST l{};
  l.u8NumberOfTargets = (U8)v.size();
  std::copy(v.begin(), v.end(), l.target);
  return l;
}

bool bTakeSignal(SEMA sema)
{
  const bool b = L_SEMA_GetWaitingTaskID(sema) == -5;
  L_SEMA_SetPending(sema);
  return b;
}

class FishId : public ::testing::Test {
 protected:
  FISH_TARGET_HISTORY *h = new FISH_TARGET_HISTORY;
  void SetUp() override
  {
    H_DATABASE_vInit();
    g_u32SpeedOfSoundInWater = 1463;
    S_FISHID_vSetReverseScroll(FALSE);
    S_FISHID_vInitialiseHistory(h);
    for (SEMA s : {SEMA_FISH_ALARM_LARGE, SEMA_FISH_ALARM_MEDIUM, SEMA_FISH_ALARM_SMALL}) L_SEMA_SetPending(s);
  }
  void TearDown() override
  {
    S_FISHID_vSetReverseScroll(FALSE);
    delete h;
  }
  void add(std::vector<FISH_TARGET> v)
  {
    FISH_TARGET_LIST l = listOf(std::move(v));
    S_FISHID_vAddFishTargetListToHistory(h, &l);
  }
  const FISH_TARGET_LIST &newest() const { return h->Items[h->u16IndexToMostRecentTargets]; }
  const FISH_TARGET_LIST &back(U32 k) const
  {
    return h->Items[(h->u16IndexToMostRecentTargets + FISH_HISTORY_COLUMNS - k) % FISH_HISTORY_COLUMNS];
  }
};

TEST_F(FishId, SizesByPeakAtSensitivityTen)
{
  const struct {
    U8 u8Peak;
    int nSize;  // -1 no fish
  } cases[] = {{42, -1}, {43, 0}, {72, 0}, {73, 1}, {88, 1}, {89, 2}, {217, 2}, {218, -1}};
  for (const auto &c : cases) {
    AnalysisPing p = fishPing(1, 200000, 1200, 20.0f);
    p.fish(500, c.u8Peak);
    FISH_TARGET_LIST l{};
    S_FISHID_vScanForFish(&l, &p.d, WATER_FRESH, 10);
    if (c.nSize < 0) {
      EXPECT_EQ(l.u8NumberOfTargets, 0) << int(c.u8Peak);
      continue;
    }
    ASSERT_EQ(l.u8NumberOfTargets, 1) << int(c.u8Peak);
    const FISH_TARGET &f = l.target[0];
    EXPECT_EQ(f.u8Size, c.nSize) << int(c.u8Peak);
    EXPECT_EQ(f.u32DepthInSamples, 500u);
    EXPECT_EQ(f.u8Peak, c.u8Peak);
    EXPECT_EQ(f.beam, 1);
    EXPECT_TRUE(f.bIdPlusThisFish);
    EXPECT_FALSE(f.bIgnoreThisFish);
    EXPECT_EQ(f.pPreviousInstance, nullptr);
    EXPECT_EQ(f.criteria.u8MinPeakAmplitude, 56);
    EXPECT_EQ(f.criteria.u8MaxPeakAmplitude, 175);
    EXPECT_EQ(f.criteria.u32MinElongationUs, 145u);
    EXPECT_EQ(f.criteria.u32MaxElongationUs, 806u);
    EXPECT_EQ(f.criteria.u32ElongationUs, 130u);
    EXPECT_FALSE(l.bSimulatedFishList);
  }
}

TEST_F(FishId, SensitivityAboveTenReadsTheLastRow)
{
  for (const U8 u8Sensitivity : {10, 11, 255}) {
    AnalysisPing p = fishPing(1, 200000, 1200, 20.0f);
    p.fish(500, 43);
    FISH_TARGET_LIST l{};
    S_FISHID_vScanForFish(&l, &p.d, WATER_FRESH, u8Sensitivity);
    ASSERT_EQ(l.u8NumberOfTargets, 1) << int(u8Sensitivity);
    EXPECT_EQ(l.target[0].criteria.u8MinPeakAmplitude, 56);
  }
}

TEST_F(FishId, AsymmetricEchoesAndTheSixLargest)
{
  AnalysisPing flat = fishPing(1, 200000, 1200, 20.0f);
  std::fill(flat.tvg.begin() + 500, flat.tvg.begin() + 505, 80);  // peak on the first of five: symmetry 1
  FISH_TARGET_LIST l{};
  S_FISHID_vScanForFish(&l, &flat.d, WATER_FRESH, 10);
  EXPECT_EQ(l.u8NumberOfTargets, 0);
  flat.tvg[502] = 90;
  S_FISHID_vScanForFish(&l, &flat.d, WATER_FRESH, 10);
  EXPECT_EQ(l.u8NumberOfTargets, 1);

  AnalysisPing p = fishPing(1, 200000, 1200, 20.0f);
  const U8 au8Peaks[7] = {120, 160, 100, 140, 110, 150, 130};
  for (U32 i = 0; i < 7; i++) p.fish(300 + 60 * i, au8Peaks[i]);
  S_FISHID_vScanForFish(&l, &p.d, WATER_FRESH, 10);
  ASSERT_EQ(l.u8NumberOfTargets, 6);
  for (U32 i = 0; i < 6; i++) {
    EXPECT_EQ(l.target[i].u8Peak, 160 - 10 * i);
  }
}

TEST_F(FishId, SearchEndsAtTheBottomAndItsSaltWaterShortening)
{
  const struct {
    WATER_TYPE eWater;
    float fDepth;
    U32 u32FishAt;
    bool bFound;
  } cases[] = {
      {WATER_FRESH, 20.0f, 1000, true},
      {WATER_FRESH, 15.0f, 1000, false},  // 15 m is sample 789
      {WATER_FRESH, 50.0f, 2200, true},   // 42.8 m
      {WATER_SALT_DEEP, 50.0f, 2200, false},  // searched to 40 m only
      {WATER_SALT_SHALLOW, 50.0f, 1900, true},
      {WATER_SALT_DEEP, 100.0f, 2200, true},  // 80 m
  };
  for (const auto &c : cases) {
    AnalysisPing p = fishPing(0, 83000, 5000, c.fDepth);
    p.d.u8TransmitCycles = 4;  // short enough for a five-sample echo at 50 or 83 kHz
    p.fish(c.u32FishAt, 100);
    FISH_TARGET_LIST l{};
    S_FISHID_vScanForFish(&l, &p.d, c.eWater, 10);
    EXPECT_EQ(l.u8NumberOfTargets, c.bFound ? 1 : 0) << c.fDepth << " m, fish at " << c.u32FishAt;
  }
  // A best depth beyond this ping's own samples stops at its end.
  AnalysisPing shortPing = fishPing(1, 200000, 600, 200.0f);
  shortPing.fish(500, 100);
  FISH_TARGET_LIST l{};
  S_FISHID_vScanForFish(&l, &shortPing.d, WATER_FRESH, 10);
  EXPECT_EQ(l.u8NumberOfTargets, 1);
}

TEST_F(FishId, MergeTakesTheLargerSizeAndBeam)
{
  FISH_TARGET_LIST existing = listOf({fishAt(100, 0, 0)});
  FISH_TARGET_LIST more = listOf({fishAt(108, 2, 1), fishAt(140, 1, 0)});
  more.bSimulatedFishList = TRUE;
  S_FISHID_vMergeFishTargetLists(&existing, &more);
  ASSERT_EQ(existing.u8NumberOfTargets, 2);
  EXPECT_EQ(existing.target[0].u8Size, 2);
  EXPECT_EQ(existing.target[0].beam, 1);
  EXPECT_EQ(existing.target[0].u32DepthInSamples, 100u);
  EXPECT_EQ(existing.target[1].u32DepthInSamples, 140u);
  EXPECT_TRUE(existing.bSimulatedFishList);

  // Never more than six.
  FISH_TARGET_LIST full = listOf({fishAt(10), fishAt(30), fishAt(50), fishAt(70), fishAt(90), fishAt(110)});
  FISH_TARGET_LIST extra = listOf({fishAt(300), fishAt(500)});
  S_FISHID_vMergeFishTargetLists(&full, &extra);
  EXPECT_EQ(full.u8NumberOfTargets, 6);
  EXPECT_FALSE(full.bSimulatedFishList);

  FISH_TARGET_LIST copy{};
  S_FISHID_vCopyFishTargetList(&copy, &existing);
  EXPECT_EQ(copy.u8NumberOfTargets, 2);
  EXPECT_TRUE(copy.bSimulatedFishList);
  EXPECT_EQ(copy.target[1].u32DepthInSamples, 140u);
}

TEST_F(FishId, LinkDistanceGrowsWithColumnsUpToAFootAndAHalf)
{
  const struct {
    U32 k, u32Diff;
    bool bLinked;
  } cases[] = {{1, 7, true}, {1, 8, false}, {2, 15, true}, {2, 16, false},
               {3, 23, true}, {3, 24, false}, {6, 23, true}, {6, 24, false}, {12, 5, true}, {13, 5, false}};
  for (const auto &c : cases) {
    S_FISHID_vInitialiseHistory(h);
    add({fishAt(200)});
    for (U32 i = 1; i < c.k; i++) S_FISHID_vAddEmptyFishTargetListToHistory(h);
    add({fishAt(200 - c.u32Diff)});  // shallower: the new one stands for the fish
    const FISH_TARGET &n = newest().target[0];
    EXPECT_EQ(n.pPreviousInstance == &back(c.k).target[0], c.bLinked) << c.k << " back, " << c.u32Diff;
    EXPECT_EQ(back(c.k).target[0].bIgnoreThisFish, c.bLinked) << c.k << " back, " << c.u32Diff;
  }
}

TEST_F(FishId, ADeeperSightingReplacesOnlyWithinSixteenSamples)
{
  for (const U32 u32Deeper : {16u, 17u}) {
    S_FISHID_vInitialiseHistory(h);
    add({fishAt(100, 2, 0)});
    S_FISHID_vAddEmptyFishTargetListToHistory(h);
    S_FISHID_vAddEmptyFishTargetListToHistory(h);
    add({fishAt(100 + u32Deeper, 0, 1)});
    const FISH_TARGET &old = back(3).target[0];
    const FISH_TARGET &n = newest().target[0];
    EXPECT_EQ(n.pPreviousInstance, &old);
    if (u32Deeper == 16) {
      EXPECT_TRUE(old.bIgnoreThisFish);
      EXPECT_FALSE(n.bIgnoreThisFish);
      EXPECT_EQ(n.u8Size, 2);  // the larger size
    } else {
      EXPECT_FALSE(old.bIgnoreThisFish);
      EXPECT_TRUE(n.bIgnoreThisFish);
      EXPECT_EQ(old.u8Size, 2);
    }
    EXPECT_EQ(old.beam, 0);
  }
  // A sighting on beam 1 makes the later one beam 1.
  S_FISHID_vInitialiseHistory(h);
  add({fishAt(100, 0, 1)});
  add({fishAt(98, 0, 0)});
  EXPECT_EQ(newest().target[0].beam, 1);
}

TEST_F(FishId, ARisingFishIsDrawnOnceAndAlarmsOnce)
{
  int nAlarms = 0;
  for (const U32 u32Depth : {120u, 115u, 110u}) {
    add({fishAt(u32Depth, 1)});
    S_FISHID_vCheckAlarm(h, FISH_SIZE_ALARM_SML);
    nAlarms += bTakeSignal(SEMA_FISH_ALARM_MEDIUM);
  }
  EXPECT_EQ(nAlarms, 1);
  EXPECT_TRUE(back(2).target[0].bIgnoreThisFish);
  EXPECT_TRUE(back(1).target[0].bIgnoreThisFish);
  EXPECT_FALSE(newest().target[0].bIgnoreThisFish);
}

TEST_F(FishId, AlarmBySizeAndSetting)
{
  const struct {
    std::vector<U8> sizes;
    FISH_SIZE_ALARM eAlarm;
    SEMA expected;  // 0 none
  } cases[] = {
      {{2}, FISH_SIZE_ALARM_L, SEMA_FISH_ALARM_LARGE},
      {{2}, FISH_SIZE_ALARM_SML, SEMA_FISH_ALARM_LARGE},
      {{1}, FISH_SIZE_ALARM_L, 0},
      {{1}, FISH_SIZE_ALARM_ML, SEMA_FISH_ALARM_MEDIUM},
      {{0}, FISH_SIZE_ALARM_ML, 0},
      {{0}, FISH_SIZE_ALARM_SML, SEMA_FISH_ALARM_SMALL},
      {{0, 1, 2}, FISH_SIZE_ALARM_SML, SEMA_FISH_ALARM_LARGE},
      {{0, 1}, FISH_SIZE_ALARM_SML, SEMA_FISH_ALARM_MEDIUM},
      {{2}, FISH_SIZE_ALARM_OFF, 0},
  };
  for (const auto &c : cases) {
    S_FISHID_vInitialiseHistory(h);
    std::vector<FISH_TARGET> v;
    for (U32 i = 0; i < c.sizes.size(); i++) v.push_back(fishAt(100 + 100 * i, c.sizes[i]));
    add(v);
    S_FISHID_vCheckAlarm(h, c.eAlarm);
    for (SEMA s : {SEMA_FISH_ALARM_LARGE, SEMA_FISH_ALARM_MEDIUM, SEMA_FISH_ALARM_SMALL}) {
      EXPECT_EQ(bTakeSignal(s), s == c.expected) << "semaphore " << s << " alarm " << c.eAlarm;
    }
  }
}

TEST_F(FishId, AnUnmatchedFishOutsideItsLimitsIsRemoved)
{
  const struct {
    U8 u8Peak;
    U32 u32Length;
    bool bRemoved;
  } cases[] = {{100, 200, false}, {100, 900, true}, {100, 130, true}, {56, 200, true}, {175, 200, true}};
  for (const auto &c : cases) {
    S_FISHID_vInitialiseHistory(h);
    FISH_TARGET f = fishAt(300, 2);
    f.u8Peak = c.u8Peak;
    f.criteria.u32ElongationUs = c.u32Length;
    add({f});
    const FISH_TARGET &n = newest().target[0];
    EXPECT_EQ(n.bIgnoreThisFish, c.bRemoved);
    EXPECT_EQ(n.criteria.bRemovedFish, c.bRemoved);
    EXPECT_EQ(n.pPreviousInstance, c.bRemoved ? &n : nullptr);
    S_FISHID_vCheckAlarm(h, FISH_SIZE_ALARM_SML);
    EXPECT_EQ(bTakeSignal(SEMA_FISH_ALARM_LARGE), !c.bRemoved);
    // Nothing links to a removed fish later.
    add({fishAt(302, 0)});
    EXPECT_EQ(newest().target[0].pPreviousInstance == &back(1).target[0], !c.bRemoved);
  }
}

TEST_F(FishId, DuplicateEmptyReverseAndSimulatedColumns)
{
  add({fishAt(300, 1)});
  const U16 u16First = h->u16IndexToMostRecentTargets;
  EXPECT_EQ(u16First, 1);
  S_FISHID_vDuplicateFishTargetListInHistory(h);
  EXPECT_EQ(h->u16IndexToMostRecentTargets, 2);
  EXPECT_TRUE(h->Items[u16First].target[0].bIgnoreThisFish);
  EXPECT_FALSE(newest().target[0].bIgnoreThisFish);
  EXPECT_EQ(newest().target[0].pPreviousInstance, &h->Items[u16First].target[0]);
  S_FISHID_vAddEmptyFishTargetListToHistory(h);
  EXPECT_EQ(h->u16IndexToMostRecentTargets, 3);
  EXPECT_EQ(newest().u8NumberOfTargets, 0);

  // Backwards from 0 wraps to 819, and links look at the higher indexes.
  S_FISHID_vInitialiseHistory(h);
  S_FISHID_vSetReverseScroll(TRUE);
  add({fishAt(300)});
  EXPECT_EQ(h->u16IndexToMostRecentTargets, 819);
  add({fishAt(298)});
  EXPECT_EQ(h->u16IndexToMostRecentTargets, 818);
  EXPECT_EQ(newest().target[0].pPreviousInstance, &h->Items[819].target[0]);
  S_FISHID_vSetReverseScroll(FALSE);

  // A simulated list is stored as it is, unlinked.
  S_FISHID_vInitialiseHistory(h);
  add({fishAt(300)});
  FISH_TARGET_LIST sim = listOf({fishAt(300)});
  sim.bSimulatedFishList = TRUE;
  S_FISHID_vAddFishTargetListToHistory(h, &sim);
  EXPECT_EQ(newest().target[0].pPreviousInstance, nullptr);
  EXPECT_TRUE(newest().bSimulatedFishList);

  // The ring wraps after 820 columns.
  S_FISHID_vInitialiseHistory(h);
  for (U32 i = 0; i < FISH_HISTORY_COLUMNS; i++) S_FISHID_vAddEmptyFishTargetListToHistory(h);
  EXPECT_EQ(h->u16IndexToMostRecentTargets, 0);
}

}  // namespace
