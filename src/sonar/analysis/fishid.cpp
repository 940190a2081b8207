#include "sonar/analysis/fishid.h"
#include "sonar/analysis/fish_ring.h"

#include <algorithm>
#include <cmath>

#include "kernel/error.h"
#include "kernel/log.h"
#include "kernel/mutex.h"
#include "kernel/reset.h"
#include "kernel/sema.h"
#include "sonar/analysis/depth.h"
#include "sonar/coproc_tx.h"
#include "sonar/transducer.h"

#define FT(s, m, l) {s, m, l}
const FISH_SIZING_TABLE FishThresholdTable50kHzFresh = {
    175, {FT(72, 80, 88), FT(66, 74, 82), FT(61, 69, 77), FT(55, 63, 71), FT(50, 58, 66), FT(45, 53, 61),
          FT(39, 47, 55), FT(34, 42, 50), FT(28, 36, 44), FT(23, 31, 39), FT(18, 26, 34)}};
const FISH_SIZING_TABLE FishThresholdTable83kHzFresh = {
    175, {FT(82, 89, 98), FT(77, 84, 93), FT(72, 79, 88), FT(66, 74, 82), FT(61, 69, 77), FT(55, 63, 71),
          FT(50, 58, 66), FT(45, 53, 61), FT(39, 47, 55), FT(34, 42, 50), FT(28, 36, 44)}};
const FISH_SIZING_TABLE FishThresholdTable83kHzFreshKind11 = {
    157, {FT(72, 79, 88), FT(66, 74, 82), FT(61, 69, 77), FT(55, 63, 71), FT(50, 58, 66), FT(45, 53, 61),
          FT(39, 47, 55), FT(34, 42, 50), FT(28, 36, 44), FT(23, 31, 39), FT(18, 26, 34)}};
const FISH_SIZING_TABLE FishThresholdTable200kHzFresh = {
    175, {FT(114, 130, 146), FT(110, 126, 142), FT(106, 122, 138), FT(102, 118, 134), FT(98, 114, 130),
          FT(90, 106, 122), FT(82, 98, 114), FT(74, 90, 106), FT(66, 82, 98), FT(60, 76, 92), FT(56, 72, 88)}};
const FISH_SIZING_TABLE FishThresholdTable200kHzFreshKind11 = {
    166, {FT(106, 122, 138), FT(102, 118, 134), FT(98, 114, 130), FT(90, 106, 122), FT(82, 98, 114),
          FT(74, 90, 106), FT(66, 82, 98), FT(60, 76, 92), FT(56, 72, 88), FT(50, 66, 82), FT(44, 60, 76)}};
const FISH_SIZING_TABLE FishThresholdTableQuadBeam455kHzFresh = {
    175, {FT(106, 122, 138), FT(102, 118, 134), FT(98, 114, 130), FT(90, 106, 122), FT(82, 98, 114),
          FT(74, 90, 106), FT(66, 82, 98), FT(60, 76, 92), FT(56, 72, 88), FT(52, 68, 84), FT(48, 64, 80)}};
const FISH_SIZING_TABLE FishThresholdTableBraxel455kHzFresh = FishThresholdTableQuadBeam455kHzFresh;
const FISH_SIZING_TABLE FishThresholdTable50kHzSalt = {
    208, {FT(120, 128, 136), FT(109, 117, 125), FT(99, 107, 115), FT(89, 97, 105), FT(79, 87, 95), FT(69, 77, 85),
          FT(58, 66, 74), FT(48, 56, 64), FT(38, 46, 54), FT(28, 36, 44), FT(18, 26, 34)}};
const FISH_SIZING_TABLE FishThresholdTable83kHzSalt = {
    208, {FT(130, 138, 146), FT(120, 128, 136), FT(109, 117, 125), FT(99, 107, 115), FT(89, 97, 105),
          FT(79, 87, 95), FT(69, 77, 85), FT(58, 66, 74), FT(48, 56, 64), FT(38, 46, 54), FT(28, 36, 44)}};
const FISH_SIZING_TABLE FishThresholdTable83kHzSaltKind11 = {
    178, {FT(109, 117, 125), FT(99, 107, 115), FT(89, 97, 105), FT(79, 87, 95), FT(69, 77, 85), FT(58, 66, 74),
          FT(48, 56, 64), FT(38, 46, 54), FT(28, 36, 44), FT(17, 25, 33), FT(7, 15, 23)}};
const FISH_SIZING_TABLE FishThresholdTable200kHzSalt = {
    208, {FT(180, 192, 204), FT(176, 188, 200), FT(164, 178, 194), FT(152, 170, 188), FT(140, 158, 178),
          FT(124, 146, 168), FT(108, 132, 156), FT(92, 118, 144), FT(78, 102, 128), FT(66, 88, 110),
          FT(56, 76, 94)}};
const FISH_SIZING_TABLE FishThresholdTable200kHzSaltKind11 = {
    198, {FT(164, 178, 194), FT(152, 170, 188), FT(140, 158, 178), FT(124, 146, 168), FT(108, 132, 156),
          FT(92, 118, 144), FT(78, 102, 128), FT(66, 88, 110), FT(56, 76, 94), FT(41, 68, 94), FT(28, 55, 83)}};
const FISH_SIZING_TABLE FishThresholdTableQuadBeam455kHzSalt = {
    208, {FT(176, 188, 200), FT(164, 178, 194), FT(152, 170, 188), FT(140, 158, 178), FT(124, 146, 168),
          FT(108, 132, 156), FT(92, 118, 144), FT(78, 102, 128), FT(66, 88, 110), FT(56, 76, 94), FT(48, 64, 80)}};
const FISH_SIZING_TABLE FishThresholdTableBraxel455kHzSalt = FishThresholdTableQuadBeam455kHzSalt;
#undef FT

static const SLOPETESTVALUE FishSlopeTestValues[4] = {{5, 240}, {4, 800}, {3, 2240}, {2, 0xFFFFFFFFu}};

static POTENTIAL_FISH_TARGET_LIST ListOfPotentialTargets;
static BOOLEAN s_bReverseScroll = FALSE;

// Transducer kinds with their own sizing tables.
constexpr U8 TRANSDUCER_KIND_11 = 11;
constexpr U8 TRANSDUCER_BRAXEL = 3;
// Columns back that a new fish is linked against, and the depth step beyond which a deeper sighting is a
// different part of the arch.
constexpr U32 FISH_LINK_COLUMNS = 12;
constexpr U32 FISH_ARCH_STEP_SAMPLES = 16;

namespace {

U32 u32SpeedOfSound()
{
  return g_u32SpeedOfSoundInWater != 0 ? g_u32SpeedOfSoundInWater : 1463;
}

// Half a foot and a foot and a half in 26-microsecond samples.
U32 u32HalfFootSamples()
{
  return (304800 / u32SpeedOfSound() + 13) / 26;
}
U32 u32FootAndHalfSamples()
{
  return (914400 / u32SpeedOfSound() + 13) / 26;
}

U32 u32Distance(U32 a, U32 b)
{
  return a > b ? a - b : b - a;
}

U16 u16Next(U16 u16Index)
{
  if (s_bReverseScroll) {
    return u16Index == 0 ? (U16)(FISH_HISTORY_COLUMNS - 1) : (U16)(u16Index - 1);
  }
  return (U16)((u16Index + 1) % FISH_HISTORY_COLUMNS);
}

bool bAllZero(const U8 *d, U32 u32From)
{
  for (U32 k = 0; k < 8; k++) {
    if (d[u32From + k] != 0) {
      return false;
    }
  }
  return true;
}

// The transmit pulse in microseconds; read before the fish lock is taken (it reads the settings).
U32 u32PulseMicroSeconds(const PING_DESCRIPTOR *pPing)
{
  double dCycleUs;
  if (pPing->Beam == 1) {
    dCycleUs = 5.0;
  } else if (pPing->Beam == 0) {
    const U32 u32Lf = S_TRANSDUCER_u32LFBeamFrequencyHertz();
    dCycleUs = 1000000.0 / (u32Lf != 0 ? u32Lf : 83000);
  } else {
    dCycleUs = 2.2026432;
  }
  return (U32)(dCycleUs * pPing->u8TransmitCycles);
}

void vExtractFishFromReturnIntoList(const PING_DESCRIPTOR *pPing, U32 u32DepthUs, U32 u32PulseUs,
                                    const FISH_SIZING_TABLE *pTable, U8 u8Row)
{
  ListOfPotentialTargets.u8NumberOfTargets = 0;
  const U32 n = pPing->u32NumberOfSamples < PING_MAX_SAMPLES ? pPing->u32NumberOfSamples : PING_MAX_SAMPLES;
  const U32 p = pPing->u32SamplePeriodMicroSeconds;
  if (n < 2 || p == 0) {
    return;
  }
  const U8 *d = pPing->pu8TvgdData;
  const U32 t = u32PulseUs;

  // The best depth may come from another beam and lie beyond this ping's samples.
  U32 u32D = (U32)(((U64)u32DepthUs + p / 2) / p);
  if (u32D > n - 1) {
    u32D = n - 1;
  }
  U32 u32Start = 0, u32Stop = u32D;
  if (u32D >= 8) {
    u32Start = u32D - 7;
    for (U32 i = 0; i < u32D - 7; i++) {
      if (bAllZero(d, i)) {
        u32Start = i;
        break;
      }
    }
    u32Stop = 7;
    for (U32 i = u32D; i >= 8; i--) {
      if (bAllZero(d, i - 7)) {
        u32Stop = i;
        break;
      }
    }
  }
  const U32 u32MaxLength = p * (U32)std::ceil(10.0 * t / p);
  const U32 u32MinLength = (U32)(p - 1 + 1.5 * t);
  const FISH_SIZE_THRESHOLD &row = pTable->Table[u8Row];
  const U32 u32LargestPeak = std::min<U32>(pTable->u8MaxPeak * 5u / 4u, 255u);

  TARGETCANDIDATE aFound[MAX_POTENTIAL_FISH];
  U32 u32Found = 0;
  U32 u32NextChange = 0;
  U32 m = 0;
  U32 i = u32Start;
  while (i < u32Stop) {
    if (i >= u32NextChange) {
      m = S_DEPTH_u8GetMinimumSlopeValue(&u32NextChange, i, FishSlopeTestValues, p);
    }
    if ((U32)d[i + 1] <= (U32)d[i] + m) {
      i++;
      continue;
    }
    const U32 s = i + 1;
    U32 u32Peak = s, e = s + 1;
    while (e <= u32Stop && d[e] >= d[s]) {
      if (d[e] > d[u32Peak]) {
        u32Peak = e;
      }
      e++;
    }
    const U32 u32Symmetry = ((u32Peak - s) * 10 + 5) / (e - s);
    const U32 u32PeakValue = u32Symmetry >= 4 && u32Symmetry <= 6 ? d[u32Peak] : 0;
    const U32 u32Length = p * (e - s);
    if (u32PeakValue > row.u8Small * 3u / 4u && u32PeakValue < u32LargestPeak &&
        u32Length >= u32MinLength * 3 / 4 && u32Length <= u32MaxLength * 5 / 4) {
      // No energy: each new one goes first and a full list loses the earliest.
      TARGETCANDIDATE c{};
      c.u32StartIndex = s;
      c.u32StopIndex = e - 1;
      c.u32PeakIndex = u32Peak;
      c.u8TVGPeak = (U8)u32PeakValue;
      c.u32ElongationMicroSeconds = u32Length;
      S_DEPTH_vAddCandidateToList(aFound, &u32Found, &c, MAX_POTENTIAL_FISH);
    }
    if (e >= u32Stop) {
      break;
    }
    i = e;
  }
  for (U32 k = 0; k < u32Found; k++) {
    FISH_TARGET &f = ListOfPotentialTargets.target[k];
    f = FISH_TARGET{};
    f.u32DepthInSamples = aFound[k].u32PeakIndex;
    f.u8Peak = aFound[k].u8TVGPeak;
    f.beam = pPing->Beam;
    f.u8Size = f.u8Peak > row.u8Large ? 2 : f.u8Peak > row.u8Medium ? 1 : 0;
    f.bIgnoreThisFish = FALSE;
    f.bIdPlusThisFish = pPing->Beam <= 1;
    f.criteria.u8MinPeakAmplitude = row.u8Small;
    f.criteria.u8MaxPeakAmplitude = pTable->u8MaxPeak;
    f.criteria.bRemovedFish = FALSE;
    f.criteria.u32MinElongationUs = u32MinLength;
    f.criteria.u32MaxElongationUs = u32MaxLength;
    f.criteria.u32ElongationUs = aFound[k].u32ElongationMicroSeconds;
    f.pPreviousInstance = nullptr;
  }
  ListOfPotentialTargets.u8NumberOfTargets = (U8)u32Found;
}

}  // namespace

const FISH_SIZING_TABLE *S_FISHID_pSizingTable(BEAM Beam, U32 u32TransmitFrequencyHertz, WATER_TYPE eWaterType)
{
  const bool bFresh = eWaterType == WATER_FRESH;
  switch (Beam) {
  case 0:
    if (u32TransmitFrequencyHertz == 50000) {
      return bFresh ? &FishThresholdTable50kHzFresh : &FishThresholdTable50kHzSalt;
    }
    if (S_TRANSDUCER_u8CurrentTransducer(0) == TRANSDUCER_KIND_11) {
      return bFresh ? &FishThresholdTable83kHzFreshKind11 : &FishThresholdTable83kHzSaltKind11;
    }
    return bFresh ? &FishThresholdTable83kHzFresh : &FishThresholdTable83kHzSalt;
  case 1:
    if (S_TRANSDUCER_u8CurrentTransducer(0) == TRANSDUCER_KIND_11) {
      return bFresh ? &FishThresholdTable200kHzFreshKind11 : &FishThresholdTable200kHzSaltKind11;
    }
    return bFresh ? &FishThresholdTable200kHzFresh : &FishThresholdTable200kHzSalt;
  case 2:
  case 3:
    if (S_TRANSDUCER_u8CurrentTransducer(1) == TRANSDUCER_BRAXEL) {
      return bFresh ? &FishThresholdTableBraxel455kHzFresh : &FishThresholdTableBraxel455kHzSalt;
    }
    return bFresh ? &FishThresholdTableQuadBeam455kHzFresh : &FishThresholdTableQuadBeam455kHzSalt;
  default:
    return nullptr;
  }
}

void S_FISHID_vScanForFish(FISH_TARGET_LIST *pFishTargetList, const PING_DESCRIPTOR *pReturn, WATER_TYPE eWaterType,
                           U8 u8FishSensitivity)
{
  const FISH_SIZING_TABLE *pTable = S_FISHID_pSizingTable(pReturn->Beam, pReturn->u32TransmitFrequencyHertz, eWaterType);
  if (pTable == nullptr) {
    ERROR_error(__FILE__, __LINE__, "Invalid beam");
    U_RESET_vReset();
  }
  // The stored sensitivity can hold any value (the PC link writes it unchecked); the tables have 11 rows.
  const U8 u8Row = u8FishSensitivity > FISH_SENSITIVITY_MAX ? FISH_SENSITIVITY_MAX : u8FishSensitivity;
  double dDepthMetres = pReturn->fDepthMetres > 0.0f ? pReturn->fDepthMetres : 0.0;
  if (eWaterType != WATER_FRESH && pReturn->Beam == 0 && dDepthMetres >= 30.0) {
    dDepthMetres = std::max(0.8 * dDepthMetres, 30.0);
  }
  const double dDepthUs = 2000000.0 * dDepthMetres / u32SpeedOfSound();
  const U32 u32DepthUs = dDepthUs >= 4294967295.0 ? 0xFFFFFFFFu : (U32)dDepthUs;

  // Only the processing task scans, so the last bad value needs no lock; it is logged once.
  static U8 s_u8LastBadSensitivity = 0;
  if (u8FishSensitivity > FISH_SENSITIVITY_MAX && u8FishSensitivity != s_u8LastBadSensitivity) {
    log_me("Fish: sensitivity %u above %u, using %u", u8FishSensitivity, FISH_SENSITIVITY_MAX, FISH_SENSITIVITY_MAX);
  }
  s_u8LastBadSensitivity = u8FishSensitivity > FISH_SENSITIVITY_MAX ? u8FishSensitivity : 0;
  const U32 u32PulseUs = u32PulseMicroSeconds(pReturn);
  FishLock lock;
  vExtractFishFromReturnIntoList(pReturn, u32DepthUs, u32PulseUs, pTable, u8Row);
  FISH_TARGET *pBegin = ListOfPotentialTargets.target;
  // Stable, so equal peaks keep the order they were found in.
  std::stable_sort(pBegin, pBegin + ListOfPotentialTargets.u8NumberOfTargets,
                   [](const FISH_TARGET &a, const FISH_TARGET &b) { return a.u8Peak > b.u8Peak; });
  const U8 u8Keep = std::min<U8>(ListOfPotentialTargets.u8NumberOfTargets, (U8)MAX_FISH_TARGETS);
  pFishTargetList->u8NumberOfTargets = u8Keep;
  pFishTargetList->bSimulatedFishList = FALSE;
  std::copy(pBegin, pBegin + u8Keep, pFishTargetList->target);
}

void S_FISHID_vMergeFishTargetLists(FISH_TARGET_LIST *pExistingFish, const FISH_TARGET_LIST *pNewFish)
{
  FishLock lock;
  const U32 u32Near = u32HalfFootSamples();
  if (pExistingFish->u8NumberOfTargets > MAX_FISH_TARGETS) {
    pExistingFish->u8NumberOfTargets = MAX_FISH_TARGETS;
  }
  for (U32 i = 0; i < u8FishCount(pNewFish); i++) {
    const FISH_TARGET &f = pNewFish->target[i];
    FISH_TARGET *pSame = nullptr;
    if (!f.bIgnoreThisFish) {
      for (U32 k = 0; k < pExistingFish->u8NumberOfTargets && pSame == nullptr; k++) {
        FISH_TARGET &x = pExistingFish->target[k];
        if (!x.bIgnoreThisFish && u32Distance(x.u32DepthInSamples, f.u32DepthInSamples) <= u32Near) {
          pSame = &x;
        }
      }
    }
    if (pSame != nullptr) {
      pSame->u8Size = std::max(pSame->u8Size, f.u8Size);
      pSame->beam = std::max(pSame->beam, f.beam);
    } else if (pExistingFish->u8NumberOfTargets < MAX_FISH_TARGETS) {
      pExistingFish->target[pExistingFish->u8NumberOfTargets++] = f;
    }
  }
  if (pNewFish->bSimulatedFishList) {
    pExistingFish->bSimulatedFishList = TRUE;
  }
}

void S_FISHID_vCopyFishTargetList(FISH_TARGET_LIST *pDestination, const FISH_TARGET_LIST *pSource)
{
  FishLock lock;
  const U8 u8N = u8FishCount(pSource);
  pDestination->u8NumberOfTargets = u8N;
  pDestination->bSimulatedFishList = pSource->bSimulatedFishList;
  std::copy(pSource->target, pSource->target + u8N, pDestination->target);
}

void S_FISHID_vInitialiseHistory(FISH_TARGET_HISTORY *pTargetHistory)
{
  FishLock lock;
  pTargetHistory->u16IndexToMostRecentTargets = 0;
  for (FISH_TARGET_LIST &l : pTargetHistory->Items) {
    l.u8NumberOfTargets = 0;
    l.bSimulatedFishList = FALSE;
  }
}

static void vCheckNewTargetsAgainstHistory(FISH_TARGET_HISTORY *pHistory, U16 u16NewIndex, FISH_TARGET_LIST *pList)
{
  const U32 a = u32HalfFootSamples(), b = u32FootAndHalfSamples();
  const U8 u8N = u8FishCount(pList);
  for (U32 k = 1; k <= FISH_LINK_COLUMNS; k++) {
    FISH_TARGET_LIST &old = pHistory->Items[u16FishColumnBack(u16NewIndex, k)];
    const U32 u32Allowed = std::min(k * a, b);
    for (U32 i = 0; i < u8N; i++) {
      FISH_TARGET &nf = pList->target[i];
      if (nf.pPreviousInstance != nullptr || nf.bIgnoreThisFish) {
        continue;
      }
      for (U32 j = 0; j < u8FishCount(&old); j++) {
        FISH_TARGET &of = old.target[j];
        if (of.criteria.bRemovedFish || u32Distance(nf.u32DepthInSamples, of.u32DepthInSamples) >= u32Allowed) {
          continue;
        }
        if (of.bIgnoreThisFish && of.u32DepthInSamples >= nf.u32DepthInSamples) {
          continue;
        }
        nf.pPreviousInstance = &of;
        if (of.beam == 1) {
          nf.beam = 1;
        }
        if (of.bIgnoreThisFish) {
          nf.bIgnoreThisFish = TRUE;
        } else if (nf.u32DepthInSamples > of.u32DepthInSamples + FISH_ARCH_STEP_SAMPLES) {
          // The deeper tail of an arch: the earlier sighting stands for the fish.
          nf.bIgnoreThisFish = TRUE;
          of.u8Size = std::max(of.u8Size, nf.u8Size);
        } else {
          of.bIgnoreThisFish = TRUE;
          nf.u8Size = std::max(of.u8Size, nf.u8Size);
        }
        break;
      }
    }
  }
  for (U32 i = 0; i < u8N; i++) {
    FISH_TARGET &nf = pList->target[i];
    if (nf.pPreviousInstance != nullptr || nf.bIgnoreThisFish) {
      continue;
    }
    const FISH_CRITERIA &c = nf.criteria;
    const bool bFits = c.u8MinPeakAmplitude < nf.u8Peak && nf.u8Peak < c.u8MaxPeakAmplitude &&
                       c.u32MinElongationUs <= c.u32ElongationUs && c.u32ElongationUs <= c.u32MaxElongationUs;
    if (!bFits) {
      nf.bIgnoreThisFish = TRUE;
      nf.criteria.bRemovedFish = TRUE;
      nf.pPreviousInstance = &nf;  // never null: neither alarmed nor linked again
    }
  }
}

// Stores the list at the index; a fish that links to itself in the list links to its stored copy.
static void vStoreColumn(FISH_TARGET_HISTORY *pHistory, U16 u16Index, const FISH_TARGET_LIST *pList)
{
  FISH_TARGET_LIST &dest = pHistory->Items[u16Index];
  const U8 u8N = u8FishCount(pList);
  dest.u8NumberOfTargets = u8N;
  dest.bSimulatedFishList = pList->bSimulatedFishList;
  for (U32 i = 0; i < u8N; i++) {
    dest.target[i] = pList->target[i];
    if (pList->target[i].pPreviousInstance == &pList->target[i]) {
      dest.target[i].pPreviousInstance = &dest.target[i];
    }
  }
  pHistory->u16IndexToMostRecentTargets = u16Index;
}

void S_FISHID_vAddFishTargetListToHistory(FISH_TARGET_HISTORY *pTargetHistory, FISH_TARGET_LIST *pList)
{
  FishLock lock;
  const U16 u16New = u16Next(pTargetHistory->u16IndexToMostRecentTargets % FISH_HISTORY_COLUMNS);
  if (pList->u8NumberOfTargets > MAX_FISH_TARGETS) {
    pList->u8NumberOfTargets = MAX_FISH_TARGETS;
  }
  // The slot is about to be reused: nothing of its old fish may be linked to.
  pTargetHistory->Items[u16New].u8NumberOfTargets = 0;
  if (!pList->bSimulatedFishList) {
    vCheckNewTargetsAgainstHistory(pTargetHistory, u16New, pList);
  }
  vStoreColumn(pTargetHistory, u16New, pList);
}

void S_FISHID_vAddEmptyFishTargetListToHistory(FISH_TARGET_HISTORY *pTargetHistory)
{
  FishLock lock;
  const FISH_TARGET_LIST empty{};
  vStoreColumn(pTargetHistory, u16Next(pTargetHistory->u16IndexToMostRecentTargets % FISH_HISTORY_COLUMNS), &empty);
}

void S_FISHID_vDuplicateFishTargetListInHistory(FISH_TARGET_HISTORY *pTargetHistory)
{
  FishLock lock;
  const U16 u16Old = pTargetHistory->u16IndexToMostRecentTargets % FISH_HISTORY_COLUMNS;
  const U16 u16New = u16Next(u16Old);
  FISH_TARGET_LIST &old = pTargetHistory->Items[u16Old];
  FISH_TARGET_LIST &dup = pTargetHistory->Items[u16New];
  dup.u8NumberOfTargets = u8FishCount(&old);
  dup.bSimulatedFishList = old.bSimulatedFishList;
  for (U32 i = 0; i < dup.u8NumberOfTargets; i++) {
    dup.target[i] = old.target[i];
    dup.target[i].pPreviousInstance = &old.target[i];
    old.target[i].bIgnoreThisFish = TRUE;
  }
  pTargetHistory->u16IndexToMostRecentTargets = u16New;
}

void S_FISHID_vSetReverseScroll(BOOLEAN bState)
{
  FishLock lock;
  s_bReverseScroll = bState ? TRUE : FALSE;
}

BOOLEAN S_FISHID_bReverseScroll(void)
{
  return s_bReverseScroll;
}

void S_FISHID_vCheckAlarm(const FISH_TARGET_HISTORY *pTargetHistory, FISH_SIZE_ALARM FishAlarmSize)
{
  if (FishAlarmSize == FISH_SIZE_ALARM_OFF) {
    return;
  }
  bool abNew[3] = {false, false, false};
  {
    FishLock lock;
    const FISH_TARGET_LIST &l = pTargetHistory->Items[pTargetHistory->u16IndexToMostRecentTargets % FISH_HISTORY_COLUMNS];
    for (U32 i = 0; i < u8FishCount(&l); i++) {
      const FISH_TARGET &f = l.target[i];
      if (!f.bIgnoreThisFish && f.pPreviousInstance == nullptr && f.u8Size <= 2) {
        abNew[f.u8Size] = true;
      }
    }
  }
  if (abNew[2]) {
    L_SEMA_Signal(SEMA_FISH_ALARM_LARGE);
  } else if (abNew[1] && FishAlarmSize != FISH_SIZE_ALARM_L) {
    L_SEMA_Signal(SEMA_FISH_ALARM_MEDIUM);
  } else if (abNew[0] && FishAlarmSize == FISH_SIZE_ALARM_SML) {
    L_SEMA_Signal(SEMA_FISH_ALARM_SMALL);
  }
}
