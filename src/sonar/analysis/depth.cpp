#include "sonar/analysis/depth.h"

#include <cmath>

#include "kernel/log.h"
#include "sonar/coproc_tx.h"

const SLOPETESTVALUE g_BottomSlopeTestValues[4] = {{5, 240}, {4, 800}, {3, 2240}, {2, 0xFFFFFFFFu}};

const U16 u16StandardDepthRangesFeet[29] = {10,   20,   30,   40,   60,   80,   100,  120,  160,  200,
                                            240,  320,  400,  480,  600,  800,  1000, 1200, 1400, 1600,
                                            1800, 2000, 2200, 2400, 2600, 2800, 3000, 3200, 3280};
const U16 u16StandardDepthRangesMetres[24] = {5,   10,  15,  20,  25,  30,  40,  50,  60,  80,  100, 120,
                                              160, 200, 240, 280, 300, 400, 500, 600, 700, 800, 900, 1000};
const U16 u16StandardDepthRangesFathoms[25] = {2,   3,   5,   8,   10,  15,  20,  25,  30,  35,  40,  60, 70,
                                               90,  100, 120, 160, 200, 250, 300, 350, 400, 450, 500, 545};

namespace {

struct AntiLog {
  U32 au32[256];
  AntiLog()
  {
    for (U32 i = 0; i < 256; i++) {
      const double d = std::round(4294967295.0 * std::pow(10.0, -9.0 * (255.0 - i) / 255.0));
      au32[i] = d >= 4294967295.0 ? 0xFFFFFFFFu : (U32)d;
    }
  }
};
const AntiLog s_AntiLog;

// Beams 0-3, then the short-transmit beam 0xFF.
constexpr U32 TRACKED_BEAMS = 5;
BOTTOMTRACKER BottomTrackerInfo[TRACKED_BEAMS];
struct SmoothingRing {
  U32 u32Depth[BOTTOM_SMOOTHING_ENTRIES];
  U32 u32Timestamp[BOTTOM_SMOOTHING_ENTRIES];
  U32 nIndex;
};
SmoothingRing s_Smoothing[TRACKED_BEAMS];
U8 u8Threshold[PING_MAX_SAMPLES];

constexpr U32 SMOOTHING_MS = 500;
constexpr U32 MEDIAN_WINDOW = 25;

int nTrackerIndex(BEAM Beam)
{
  if (Beam < 4) {
    return Beam;
  }
  return Beam == 0xFF ? 4 : -1;
}

U32 u32SamplesOf(const PING_DESCRIPTOR *pPing)
{
  return pPing->u32NumberOfSamples < PING_MAX_SAMPLES ? pPing->u32NumberOfSamples : PING_MAX_SAMPLES;
}

// The 13th smallest of 25 by Hoare selection (the window's order is not kept).
U8 u8Median(U8 *a)
{
  int lo = 0, hi = MEDIAN_WINDOW - 1;
  const int k = MEDIAN_WINDOW / 2;
  while (lo < hi) {
    const U8 pivot = a[k];
    int i = lo, j = hi;
    do {
      while (a[i] < pivot) i++;
      while (pivot < a[j]) j--;
      if (i <= j) {
        const U8 t = a[i];
        a[i] = a[j];
        a[j] = t;
        i++;
        j--;
      }
    } while (i <= j);
    if (j < k) lo = i;
    if (k < i) hi = j;
  }
  return a[k];
}

// Sample index of a depth offset in feet below the transducer, for the shallow and elongation tests. A keel
// offset can make it negative: that is the surface.
U32 u32FeetIndex(float fFeet, U32 p, U32 c)
{
  const double dUs = fFeet * 609600.0 / c;
  return (p / 2 + (dUs > 0.0 && dUs < 4.0e9 ? (U32)dUs : 0u)) / p;
}

double dMetres(U32 p, U32 u32Index, U32 c)
{
  return (double)p * u32Index * c * 0.0000005;
}

// Moving average of 8, 16, 32 or 64 samples centred on the index, wider with depth.
struct MovingAverage {
  const U8 *pData;
  S64 n;
  S64 s64Index = 0;
  S64 s64Low = 0;  // first offset of the window
  S64 s64High = 0; // last offset
  U32 u32Shift = 0;
  U64 u64Sum = 0;

  U8 at(S64 i) const { return i < 0 ? pData[0] : i >= n ? 0 : pData[i]; }
  void vStart(U32 u32Index, U32 p, U32 c)
  {
    const U32 u32Metres = (U32)dMetres(p, u32Index, c);
    u32Shift = u32Metres < 251 ? 3 : u32Metres <= 500 ? 4 : u32Metres <= 750 ? 5 : 6;
    const S64 half = (S64)1 << (u32Shift - 1);
    s64Low = -half;
    s64High = half - 1;
    s64Index = u32Index;
    u64Sum = 0;
    for (S64 k = s64Low; k <= s64High; k++) {
      u64Sum += at(s64Index + k);
    }
  }
  U32 u32Average() const { return (U32)(u64Sum >> u32Shift); }
  void vSlide()
  {
    u64Sum += at(s64Index + s64High + 1);
    u64Sum -= at(s64Index + s64Low);
    s64Index++;
  }
};

U32 u32ShortestEcho(U32 f, U32 u32Peak, U32 i10, U32 i20)
{
  const int band = u32Peak < i10 ? 0 : u32Peak < i20 ? 1 : 2;
  static const U32 au32Low[3] = {299, 599, 799}, au32Mid[3] = {199, 399, 599}, au32High[3] = {99, 199, 299};
  if (f <= 99999) return au32Low[band];
  if (f >= 100001 && f <= 249999) return au32Mid[band];
  if (f >= 250001 && f <= 499999) return au32High[band];
  return 0;
}

// Time-weighted mean of the beam's last half second of depths (indexes); the new one first joins the ring.
U32 u32Smooth(SmoothingRing &ring, U32 u32Index, U32 u32Now)
{
  ring.u32Depth[ring.nIndex] = u32Index;
  ring.u32Timestamp[ring.nIndex] = u32Now;
  ring.nIndex = (ring.nIndex + 1) % BOTTOM_SMOOTHING_ENTRIES;
  U64 u64Weighted = 0, u64Weights = 0;
  for (U32 i = 0; i < BOTTOM_SMOOTHING_ENTRIES; i++) {
    const U32 u32Age = u32Now - ring.u32Timestamp[i];
    if (ring.u32Depth[i] != 0 && u32Age < SMOOTHING_MS) {
      u64Weighted += (U64)(SMOOTHING_MS - u32Age) * ring.u32Depth[i];
      u64Weights += SMOOTHING_MS - u32Age;
    }
  }
  return u64Weights != 0 ? (U32)((u64Weighted + u64Weights / 2) / u64Weights) : u32Index;
}

}  // namespace

const U32 *const g_pu32AntiLogTable = s_AntiLog.au32;

BOTTOMTRACKER *S_DEPTH_pGetBottomTracker(BEAM Beam)
{
  const int n = nTrackerIndex(Beam);
  return n < 0 ? nullptr : &BottomTrackerInfo[n];
}

void S_DEPTH_vResetTrackers(void)
{
  for (U32 i = 0; i < TRACKED_BEAMS; i++) {
    BottomTrackerInfo[i] = BOTTOMTRACKER{};
    s_Smoothing[i] = SmoothingRing{};
  }
}

void S_DEPTH_vMedianThreshold(PING_DESCRIPTOR *pPing, U8 *pu8Threshold, const U8 *pData)
{
  const S64 n = u32SamplesOf(pPing);
  if (n == 0) {
    return;
  }
  const bool bShort = n < 851;
  const S64 stride = bShort ? 10 : 30, step = bShort ? 20 : 50, half = bShort ? 120 : 360,
            dataLength = bShort ? 250 : 750;
  auto window = [&](S64 t) {
    U8 a[MEDIAN_WINDOW];
    for (S64 j = 0; j < (S64)MEDIAN_WINDOW; j++) {
      const S64 i = t + j * stride;
      a[j] = i < n ? pData[i] : 0;
    }
    U32 m = u8Median(a);
    if (pPing->u8Transducer == 8) {
      m = (U32)(m * 0.58823526);
    }
    return m < 10 ? 10u : m;
  };
  auto fill = [&](S64 from, S64 to, U8 v) {
    for (S64 i = from; i <= to && i < n; i++) {
      pu8Threshold[i] = v;
    }
  };
  U32 u32Prev = window(0);
  fill(0, half, (U8)u32Prev);
  S64 s64PrevPoint = half;
  bool bFirst = true;
  for (S64 t = 1; t < n - dataLength; t += step) {
    const U32 m = window(t);
    const S64 point = half + t;
    pu8Threshold[point] = (U8)m;
    if (!bFirst) {
      const S64 slope = ((S64)m - (S64)u32Prev) * 65536 / step;
      for (S64 j = 1; j < step; j++) {
        S64 v = (S64)u32Prev + j * slope / 65536;
        v = v < 0 ? 0 : v > 255 ? 255 : v;
        pu8Threshold[s64PrevPoint + j] = (U8)v;
      }
    }
    bFirst = false;
    u32Prev = m;
    s64PrevPoint = point;
  }
  fill(s64PrevPoint, n - 1, (U8)u32Prev);
  if (n - dataLength >= 1) {
    U64 u64Sum = 0;
    for (S64 i = half; i <= n - half - 1; i++) {
      u64Sum += (U64)std::abs((int)pu8Threshold[i] - (int)pData[i]);
    }
    const U64 u64Deviation = u64Sum / (U64)(n - dataLength);
    for (S64 i = 0; i < n; i++) {
      const U64 v = pu8Threshold[i] + u64Deviation;
      pu8Threshold[i] = (U8)(v > 255 ? 255 : v);
    }
  }
}

void S_DEPTH_vAddCandidateToList(TARGETCANDIDATE *pSortedCandidates, U32 *pu32CandidatesInList,
                                 const TARGETCANDIDATE *pCandidate, U32 u32SizeOfList)
{
  U32 u32Count = *pu32CandidatesInList;
  U32 u32Point = 0;
  while (u32Point < u32Count && pSortedCandidates[u32Point].u64Energy > pCandidate->u64Energy) {
    u32Point++;
  }
  if (u32Point >= u32SizeOfList) {
    return;
  }
  const U32 u32Last = u32Count < u32SizeOfList ? u32Count : u32SizeOfList - 1;
  for (U32 i = u32Last; i > u32Point; i--) {
    pSortedCandidates[i] = pSortedCandidates[i - 1];
  }
  pSortedCandidates[u32Point] = *pCandidate;
  *pu32CandidatesInList = u32Count < u32SizeOfList ? u32Count + 1 : u32SizeOfList;
}

U8 S_DEPTH_u8GetMinimumSlopeValue(U32 *pu32NextSlopeChangeIndex, U32 u32SamplesSinceTransmit,
                                  const SLOPETESTVALUE *pSlopeTable, U32 u32SamplePeriodMicroseconds)
{
  const U32 p = u32SamplePeriodMicroseconds != 0 ? u32SamplePeriodMicroseconds : 26;
  const U64 u64Samples = p == 26 ? u32SamplesSinceTransmit : (U64)u32SamplesSinceTransmit * p / 26;
  U32 i = 0;
  while (pSlopeTable[i].u32ValidUntilSample != 0xFFFFFFFFu && pSlopeTable[i].u32ValidUntilSample < u64Samples) {
    i++;
  }
  const U64 u64Limit = pSlopeTable[i].u32ValidUntilSample;
  const U64 u64Next = p == 26 ? u64Limit + 1 : (p + u64Limit * 26 - 1) / p + 1;
  *pu32NextSlopeChangeIndex = u64Next > 0xFFFFFFFFu ? 0xFFFFFFFFu : (U32)u64Next;
  return pSlopeTable[i].u8MinimumSlope;
}

U16 S_DEPTH_u16SelectDepthRange(U16 u16DepthInAnyUnits, UNIT_TYPE uUnits)
{
  const U16 u16Scaled = (U16)((U32)u16DepthInAnyUnits * 100 / 85);
  const U16 *pTable;
  U32 u32Count;
  switch (uUnits) {
  case U_FEET:
    if (u16Scaled < 10) return 10;
    if (u16Scaled < 20) return 20;
    pTable = u16StandardDepthRangesFeet;
    u32Count = 29;
    break;
  case U_METRES:
    if (u16Scaled < 5) return 5;
    if (u16Scaled < 10) return 10;
    pTable = u16StandardDepthRangesMetres;
    u32Count = 24;
    break;
  case U_FATHOMS:
    if (u16Scaled < 2) return 2;
    pTable = u16StandardDepthRangesFathoms;
    u32Count = 25;
    break;
  default:
    return 11;
  }
  for (U32 i = 0; i < u32Count; i++) {
    if (pTable[i] > u16Scaled) {
      return pTable[i];
    }
  }
  return pTable[u32Count - 1];
}

U32 S_DEPTH_u32FindDepth(PING_DESCRIPTOR *pPing, U32 u32StartSearchMicroSeconds, U32 u32StopSearchMicroSeconds)
{
  (void)u32StopSearchMicroSeconds;  // the search always runs to the end of the ping
  const int nBeam = nTrackerIndex(pPing->Beam);
  const U32 p = pPing->u32SamplePeriodMicroSeconds;
  const U32 c = g_u32SpeedOfSoundInWater;
  if (nBeam < 0 || p == 0 || c == 0) {
    log_me("Bottom: no search on beam %u with sample period %u", pPing->Beam, p);
    return 0;
  }
  const U32 n = u32SamplesOf(pPing);
  const U8 *data = pPing->pu8TvgdData;
  const U8 *raw = pPing->pu8RawSonarData;
  const bool bArray = (pPing->Beam <= 1 || pPing->Beam == 0xFF) && n > 300;
  U8 u8Single = 0;
  if (bArray) {
    S_DEPTH_vMedianThreshold(pPing, u8Threshold, data);
  } else {
    U64 u64Total = 0;
    U32 u32NonZero = 0;
    for (U32 i = 0; i < n; i++) {
      u64Total += data[i];
      u32NonZero += data[i] != 0;
    }
    if (u32NonZero == 0) {
      return 0;
    }
    u8Single = (U8)((u64Total + u32NonZero - 1) / u32NonZero);
  }
  if (n <= 5) {
    return 0;
  }
  auto threshold = [&](U32 i) -> U32 { return bArray ? u8Threshold[i] : u8Single; };

  float fLowerRangeMetres = 0.0f;
  BOOLEAN bValid = FALSE;
  if (!H_DATABASE_bFetchFloat(FCID("YSLD"), &fLowerRangeMetres, &bValid, nullptr) || !bValid) {
    fLowerRangeMetres = 0.0f;
  }
  const float fOffset = pPing->fDepthOffsetFeet;
  const U32 u32MinIndex = u32FeetIndex(fOffset + (pPing->Beam == 0xFF ? 1.0f : 4.0f), p, c);
  const U32 i10 = u32FeetIndex(fOffset + 10.0f, p, c), i20 = u32FeetIndex(fOffset + 20.0f, p, c);
  const U32 u32Stop = n - 5;

  TARGETCANDIDATE aList[BOTTOM_CANDIDATES];
  U32 u32InList = 0;
  U32 idx = u32StartSearchMicroSeconds / p;
  MovingAverage avg{data, (S64)n};
  U64 u64Energy = 0, u64EnergyTotal = 0;
  bool bNewWindow = true;
  while (idx < u32Stop) {
    if (bNewWindow) {
      avg.vStart(idx, p, c);
      u64Energy = u64EnergyTotal = 0;
      bNewWindow = false;
    }
    while (idx <= u32Stop && avg.u32Average() < threshold(idx)) {
      avg.vSlide();
      idx++;
    }
    if (idx >= u32Stop) {
      break;
    }
    const U32 u32Start = idx;
    U32 u32Peak = idx;
    U8 u8Peak = data[idx];
    while (idx <= u32Stop && avg.u32Average() >= threshold(idx)) {
      const U8 s = data[idx];
      const U32 t = threshold(idx);
      u64EnergyTotal += g_pu32AntiLogTable[s];
      if (s > t) {
        u64Energy += g_pu32AntiLogTable[s - t];
      }
      if (s > u8Peak) {
        u8Peak = s;
        u32Peak = idx;
      }
      avg.vSlide();
      idx++;
    }
    const U32 u32End = idx;
    if (u32Peak <= u32MinIndex && raw[u32Peak] <= 230) {
      continue;  // surface clutter; its energy counts towards the next echo
    }
    bNewWindow = true;
    const U32 u32Elongation = p * (u32End - u32Start);
    if (u32Elongation <= u32ShortestEcho(pPing->u32TransmitFrequencyHertz, u32Peak, i10, i20)) {
      continue;
    }
    if (bArray && threshold(u32Peak) > 255.0 / (u32Peak * 0.0001 + 1.0) &&
        dMetres(p, u32Peak, c) > fLowerRangeMetres) {
      continue;
    }
    const TARGETCANDIDATE cand{u32Start,       u32End - 1,   u32Peak,   u8Peak, raw[u32Peak], u32Elongation,
                               u64Energy,      u64EnergyTotal};
    S_DEPTH_vAddCandidateToList(aList, &u32InList, &cand, BOTTOM_CANDIDATES);
  }
  if (u32InList == 0) {
    return 0;
  }

  BOTTOMTRACKER &tracker = BottomTrackerInfo[nBeam];
  U8 sel = S_DEPTHALGORITHMS_u8WindowTest(aList, u32InList, p, &tracker, TRUE, pPing->u32TimeStampMilliSeconds);
  if (sel == DEPTH_SELECT_NONE && tracker.u8LockedCounter >= 4) {
    sel = DEPTH_SELECT_HOLD;
  }
  U32 u32Shallowest = 0;
  for (U32 i = 1; i < u32InList; i++) {
    if (aList[i].u32StartIndex < aList[u32Shallowest].u32StartIndex) {
      u32Shallowest = i;
    }
  }
  if ((U64)p * aList[0].u32StartIndex <= 10399 && aList[u32Shallowest].u8RawPeak >= 230) {
    const U8 r = S_DEPTHALGORITHMS_u8SecondReturnTest(aList, u32InList, p, &tracker, FALSE, TRUE);
    if (r != DEPTH_SELECT_NONE) {
      sel = r;
    }
  }
  U32 u32Index;
  if (sel == DEPTH_SELECT_HOLD) {
    u32Index = tracker.u32LastLockedDepthMicroseconds / p;
  } else if (sel == DEPTH_SELECT_NONE) {
    u32Index = 0;
  } else {
    const TARGETCANDIDATE &s = aList[sel];
    if (pPing->Beam == 1 || pPing->Beam == 0xFF) {
      u32Index = s.u32PeakIndex > 7 ? s.u32PeakIndex - 7 : 0;
    } else {
      u32Index = s.u32StartIndex;
    }
    if (pPing->Beam != 0xFF && u32Index < u32MinIndex && s.u8RawPeak < 230) {
      u32Index = 0;
    }
  }
  return p * u32Smooth(s_Smoothing[nBeam], u32Index, pPing->u32TimeStampMilliSeconds);
}
