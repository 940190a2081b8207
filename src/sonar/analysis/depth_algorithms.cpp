#include "sonar/analysis/depth.h"
#include "sonar/coproc_tx.h"

namespace {

U32 u32Position(const TARGETCANDIDATE &c, BOOLEAN bUsePeak)
{
  return bUsePeak ? c.u32PeakIndex : c.u32StartIndex;
}

bool bInside(U32 u32Low, U32 u32Pos, U32 u32High)
{
  return u32Low < u32Pos && u32Pos < u32High;
}

U32 u32Distance(U32 a, U32 b)
{
  return a > b ? a - b : b - a;
}

U32 u32Clamp(U64 u64)
{
  return u64 > 0xFFFFFFFFu ? 0xFFFFFFFFu : (U32)u64;
}

}  // namespace

U32 S_DEPTHALGORITHMS_u32WindowSize(U32 u32PrevDepthMicroseconds, U32 u32ElapsedMs)
{
  const U32 c = g_u32SpeedOfSoundInWater;
  U32 u32Base;
  if (u32PrevDepthMicroseconds < 3048000u / c) {
    u32Base = (U32)(914400.0 / c);
  } else if (u32PrevDepthMicroseconds < 6096000u / c) {
    u32Base = (U32)(1524000.0 / c);
  } else if (u32PrevDepthMicroseconds < 12192000u / c) {
    u32Base = 3048000u / c;
  } else {
    u32Base = 6096000u / c;
  }
  // Widens by a foot for every 100 ms without a lock.
  return u32Clamp((U64)u32Base + u32PrevDepthMicroseconds / 50 + (U64)(u32ElapsedMs / 100) * 609600u / c);
}

U8 S_DEPTHALGORITHMS_u8WindowTest(TARGETCANDIDATE *pCandidates, U32 u32Candidates, U32 u32SamplePeriodMicroseconds,
                                  BOTTOMTRACKER *pTracker, BOOLEAN bUsePeak, U32 u32TimeStampMs)
{
  if (u32Candidates == 0 || u32SamplePeriodMicroseconds == 0) {
    return DEPTH_SELECT_NONE;
  }
  const U32 p = u32SamplePeriodMicroseconds;
  const U32 c = g_u32SpeedOfSoundInWater;
  auto pos = [&](U32 i) { return u32Position(pCandidates[i], bUsePeak); };
  const U32 u32Prev =
      pTracker->u8LockedCounter > 3 ? pTracker->u32LastLockedDepthMicroseconds : pTracker->u32PrevTallestDepthMicroseconds;
  const U32 u32PrevIndex = u32Prev / p;
  // The time stamp wraps after 49 days; the same stamp means no time passed.
  const U32 e = u32TimeStampMs >= pTracker->u32LastLockTimeMs
                    ? u32TimeStampMs - pTracker->u32LastLockTimeMs
                    : 0xFFFFFFFFu - pTracker->u32LastLockTimeMs + u32TimeStampMs;
  const U32 u32Half = S_DEPTHALGORITHMS_u32WindowSize(u32Prev, e);
  pTracker->u32DepthWindowSizeDividedBy2 = u32Half;
  const U32 u32HalfIndex = u32Half / p;
  const U32 u32Shallow = u32PrevIndex > u32HalfIndex ? u32PrevIndex - u32HalfIndex : 0;
  const U32 u32Deep = u32Clamp((U64)u32PrevIndex + u32HalfIndex);

  if (pTracker->u8LockedCounter <= 3) {
    pTracker->u64LockedEnergy = 0;
  }
  const U8 u8NextCounter = pTracker->u8LockedCounter == 255 ? 255 : (U8)(pTracker->u8LockedCounter + 1);
  U8 r = DEPTH_SELECT_NONE;
  if (bInside(u32Shallow, pos(0), u32Deep)) {
    pTracker->u8LockedCounter = u8NextCounter;
    pTracker->u8TallestLockedCounter = 0;
    pTracker->u64LockedEnergy = pCandidates[0].u64Energy;
    pTracker->u64TallestEnergy = 0;
    r = 0;
  } else {
    for (U32 i = 1; i < u32Candidates; i++) {
      if (bInside(u32Shallow, pos(i), u32Deep)) {
        pTracker->u8LockedCounter = u8NextCounter;
        pTracker->u64LockedEnergy = pCandidates[i].u64Energy;
        r = (U8)i;
        break;
      }
    }
    // A much stronger echo where the strongest was last time takes the lock over.
    const U64 u64Strongest = pCandidates[0].u64Energy;
    if (pTracker->u8LockedCounter >= 4 && u64Strongest > 100 && pTracker->u64LockedEnergy * 10 < u64Strongest) {
      const U32 t = (6096000u / c) / p;
      const U32 u = pTracker->u32PrevTallestDepthMicroseconds / p;
      if (bInside(u > t ? u - t : 0, pos(0), u + t)) {
        pTracker->u8LockedCounter = 3;
        pTracker->u8TallestLockedCounter = 0;
        pTracker->u64LockedEnergy = u64Strongest;
        r = 0;
      }
    }
  }
  if (r == DEPTH_SELECT_NONE) {
    const double dLockedMetres = pTracker->u32LastLockedDepthMicroseconds * (double)c * 0.0000005;
    if (e > (dLockedMetres > 600.0 ? 5000u : 2500u)) {
      pTracker->u8LockedCounter = 0;
    }
    pTracker->u32PrevTallestDepthMicroseconds = u32Clamp((U64)p * pos(0));
    return DEPTH_SELECT_NONE;
  }
  pTracker->u32LastLockTimeMs = u32TimeStampMs;
  const U32 u32Sel = u32Clamp((U64)p * pos(r));
  if (pTracker->u8LockedCounter == 3) {
    pTracker->u32LastLockedDepthMicroseconds = u32Sel;
  } else if (pTracker->u8LockedCounter > 3) {
    // Ten feet a second at most.
    const U64 g = (U64)(6096000u / c) * e / 1000;
    const U32 u32Locked = pTracker->u32LastLockedDepthMicroseconds;
    if (u32Distance(u32Sel, u32Locked) <= g) {
      pTracker->u32LastLockedDepthMicroseconds = u32Sel;
    } else if (u32Sel > u32Locked) {
      pTracker->u32LastLockedDepthMicroseconds = u32Clamp(u32Locked + g);
    } else {
      pTracker->u32LastLockedDepthMicroseconds = g >= u32Locked ? 0 : (U32)(u32Locked - g);
    }
  }
  pTracker->u32PrevTallestDepthMicroseconds = u32Clamp((U64)p * pos(0));
  return r;
}

U8 S_DEPTHALGORITHMS_u8SecondReturnTest(TARGETCANDIDATE *pCandidates, U32 u32Candidates,
                                        U32 u32SamplePeriodMicroseconds, BOTTOMTRACKER *pTracker,
                                        BOOLEAN bUseModifiedSecondReturnTest, BOOLEAN bUsePeak)
{
  if (u32Candidates == 0 || u32SamplePeriodMicroseconds == 0) {
    return DEPTH_SELECT_NONE;
  }
  auto pos = [&](U32 i) { return u32Position(pCandidates[i], bUsePeak); };
  if (bUseModifiedSecondReturnTest) {
    U32 s = 0;
    for (U32 i = 1; i < u32Candidates; i++) {
      if (pCandidates[i].u64Energy > pCandidates[s].u64Energy) {
        s = i;
      }
    }
    const U32 w = 624 / u32SamplePeriodMicroseconds;
    for (U32 f = 0; f < u32Candidates; f++) {
      if (u32Distance(2 * pos(f), pos(s)) >= w) {
        continue;
      }
      for (U32 k = 0; k < u32Candidates; k++) {
        if (u32Distance(pos(k), 3 * pos(f)) < w) {
          return (U8)f;
        }
      }
    }
    return DEPTH_SELECT_NONE;
  }
  U8 u8Selected = DEPTH_SELECT_NONE;
  auto select = [&](U32 m) {
    if (u8Selected == DEPTH_SELECT_NONE || pos(m) < pos(u8Selected)) {
      u8Selected = (U8)m;
    }
  };
  for (U32 m = 0; m < u32Candidates; m++) {
    U32 w = (U32)(pos(m) * 0.075);
    w = w < 12 ? 12 : w > 48 ? 48 : w;
    const U32 u32Target = 2 * pos(m);
    bool bStrongSeen = false, bDoubleSeen = false;
    for (U32 k = 0; k < u32Candidates; k++) {
      if (pCandidates[k].u8RawPeak > 229) {
        bStrongSeen = true;
        if (bDoubleSeen || u32Distance(pos(k), u32Target) < w) {
          select(m);
          bDoubleSeen = true;
        }
      } else if (bStrongSeen && bDoubleSeen) {
        select(m);
      }
    }
  }
  if (u8Selected != DEPTH_SELECT_NONE) {
    pTracker->u32LastLockedDepthMicroseconds = u32Clamp((U64)u32SamplePeriodMicroseconds * pos(u8Selected));
  }
  return u8Selected;
}
