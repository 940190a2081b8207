// Bottom detection: finds the sea floor in one gain-corrected ping and tracks it from ping to ping per beam;
// also the candidate list insertion and slope table the fish search shares, and the standard depth ranges.
#pragma once
#include "corvan/types.h"
#include "settings/database.h"
#include "sonar/ping_descriptor.h"

// One echo.
typedef struct {
  U32 u32StartIndex;  // where the moving average first reached the threshold
  U32 u32StopIndex;   // last sample of the echo
  U32 u32PeakIndex;   // first largest gain-corrected sample
  U8 u8TVGPeak;
  U8 u8RawPeak;       // raw sample at the peak index
  U32 u32ElongationMicroSeconds;
  U64 u64Energy;       // sum of antilog(sample - threshold) over the samples above the threshold
  U64 u64EnergyTotal;  // sum of antilog(sample) over the echo
} TARGETCANDIDATE;

typedef struct {
  U8 u8LockedCounter;  // consecutive locks, saturating; 4 or more = locked
  U8 u8TallestLockedCounter;
  U32 u32DepthWindowSizeDividedBy2;  // microseconds
  U32 u32PrevTallestDepthMicroseconds;
  U32 u32LastLockedDepthMicroseconds;
  U32 u32LastLockTimeMs;
  U64 u64LockedEnergy;
  U64 u64TallestEnergy;
} BOTTOMTRACKER;

typedef struct {
  U8 u8MinimumSlope;
  U32 u32ValidUntilSample;  // 26-microsecond samples since the transmit; the last row holds 0xFFFFFFFF
} SLOPETESTVALUE;

constexpr U32 BOTTOM_CANDIDATES = 10;
constexpr U8 DEPTH_SELECT_HOLD = 254;
constexpr U8 DEPTH_SELECT_NONE = 255;
constexpr U32 BOTTOM_SMOOTHING_ENTRIES = 5;

extern const SLOPETESTVALUE g_BottomSlopeTestValues[4];
// antilog(i) = round((2^32 - 1) x 10^(-9 x (255 - i) / 255)): 255 log counts span 90 dB.
extern const U32 *const g_pu32AntiLogTable;

extern const U16 u16StandardDepthRangesFeet[29];
extern const U16 u16StandardDepthRangesMetres[24];
extern const U16 u16StandardDepthRangesFathoms[25];

// The bottom as a round trip in microseconds (P x sample index), 0 when none. Beams 0-3 and 0xFF each keep a
// tracker and a smoothing ring; other beams are logged and give 0. The search runs to N - 5 whatever the stop.
U32 S_DEPTH_u32FindDepth(PING_DESCRIPTOR *pPing, U32 u32StartSearchMicroSeconds, U32 u32StopSearchMicroSeconds);
// One threshold per sample of the ping from running medians plus the mean deviation.
void S_DEPTH_vMedianThreshold(PING_DESCRIPTOR *pPing, U8 *pu8Threshold, const U8 *pData);
// Inserts before the first entry whose energy is not larger; a full list drops its last entry.
void S_DEPTH_vAddCandidateToList(TARGETCANDIDATE *pSortedCandidates, U32 *pu32CandidatesInList,
                                 const TARGETCANDIDATE *pCandidate, U32 u32SizeOfList);
U8 S_DEPTH_u8GetMinimumSlopeValue(U32 *pu32NextSlopeChangeIndex, U32 u32SamplesSinceTransmit,
                                  const SLOPETESTVALUE *pSlopeTable, U32 u32SamplePeriodMicroseconds);
// The standard range for a depth with 15 % headroom; 11 for a unit other than feet, metres or fathoms.
U16 S_DEPTH_u16SelectDepthRange(U16 u16DepthInAnyUnits, UNIT_TYPE uUnits);

// The tracker of a beam (0-3, 0xFF), null for others.
BOTTOMTRACKER *S_DEPTH_pGetBottomTracker(BEAM Beam);
// Forgets every tracker and smoothing ring, as at start.
void S_DEPTH_vResetTrackers(void);

// Window and second-return tests over a list sorted by descending energy; positions are the peak indexes with
// bUsePeak, else the start indexes. Both return a candidate index or 255 (the window test may not return 254).
U8 S_DEPTHALGORITHMS_u8WindowTest(TARGETCANDIDATE *pCandidates, U32 u32Candidates, U32 u32SamplePeriodMicroseconds,
                                  BOTTOMTRACKER *pBottomTrackerInfo, BOOLEAN bUsePeak, U32 u32TimeStampMs);
U8 S_DEPTHALGORITHMS_u8SecondReturnTest(TARGETCANDIDATE *pCandidates, U32 u32Candidates,
                                        U32 u32SamplePeriodMicroseconds, BOTTOMTRACKER *pBottomTrackerInfo,
                                        BOOLEAN bUseModifiedSecondReturnTest, BOOLEAN bUsePeak);
// Half width of the tracker's depth window in microseconds, for the previous depth and the milliseconds since
// the last lock.
U32 S_DEPTHALGORITHMS_u32WindowSize(U32 u32PrevDepthMicroseconds, U32 u32ElapsedMs);
