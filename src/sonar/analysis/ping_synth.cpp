#include "sonar/analysis/ping_synth.h"

#include <algorithm>
#include <cmath>

#include "sonar/analysis/tvg.h"
#include "sonar/coproc_tx.h"

namespace {

// xorshift32: small, fast and the same on every platform.
struct Random {
  U32 u32State;
  explicit Random(U32 u32Seed) : u32State(u32Seed != 0 ? u32Seed : 0x9E3779B9u) {}
  U32 next()
  {
    u32State ^= u32State << 13;
    u32State ^= u32State >> 17;
    u32State ^= u32State << 5;
    return u32State;
  }
};

void vAddEcho(U8 *pu8Tvg, U32 n, U32 u32Centre, U32 u32Length, U8 u8Peak)
{
  if (u32Length == 0) {
    return;
  }
  // A raised-cosine echo: rises to its peak in the middle and falls back.
  const double dHalf = u32Length / 2.0;
  const S64 first = (S64)u32Centre - (S64)(u32Length / 2);
  for (U32 k = 0; k < u32Length; k++) {
    const S64 i = first + k;
    if (i < 0 || i >= (S64)n) {
      continue;
    }
    const double dX = (k + 0.5 - dHalf) / dHalf;
    const double dLevel = u8Peak * (0.5 + 0.5 * std::cos(dX * M_PI));
    const U32 v = (U32)std::lround(dLevel);
    pu8Tvg[i] = (U8)std::min<U32>(255, std::max<U32>(pu8Tvg[i], v));
  }
}

}  // namespace

U32 S_PINGSYNTH_u32SampleOfDepth(float fDepthMetres, U32 u32SamplePeriodMicroSeconds)
{
  const U32 p = u32SamplePeriodMicroSeconds != 0 ? u32SamplePeriodMicroSeconds : 26;
  const U32 c = g_u32SpeedOfSoundInWater != 0 ? g_u32SpeedOfSoundInWater : 1463;
  const double dUs = fDepthMetres * 2000000.0 / c;
  return (U32)((dUs > 0.0 && dUs < 4.0e9 ? (U32)dUs : 0u) + p / 2) / p;
}

void S_PINGSYNTH_vMake(const PING_SYNTH_PARAMS *pParams, PING_DESCRIPTOR *pPing)
{
  const U32 n = std::min(pParams->u32NumberOfSamples, PING_MAX_SAMPLES);
  const U32 p = pParams->u32SamplePeriodMicroSeconds != 0 ? pParams->u32SamplePeriodMicroSeconds : 26;
  pPing->Beam = pParams->Beam;
  pPing->u32TransmitFrequencyHertz = pParams->u32TransmitFrequencyHertz;
  pPing->u8TransmitCycles = pParams->u8TransmitCycles;
  pPing->u32NumberOfSamples = n;
  pPing->u32SamplePeriodMicroSeconds = p;
  pPing->u32TimeStampMilliSeconds = pParams->u32TimeStampMilliSeconds;
  pPing->bSimulated = TRUE;
  U8 *t = pPing->pu8TvgdData;
  Random rnd(pParams->u32Seed);
  for (U32 i = 0; i < n; i++) {
    const S32 spread = pParams->u8NoiseSpread;
    const S32 v = spread != 0 ? (S32)pParams->u8NoiseFloor + (S32)(rnd.next() % (2 * spread + 1)) - spread
                              : (S32)pParams->u8NoiseFloor;
    t[i] = (U8)std::clamp(v, 0, 255);
  }
  for (U32 i = 0; i < pParams->u32ClutterSamples && i < n; i++) {
    const U32 v = pParams->u8ClutterPeak * (pParams->u32ClutterSamples - i) / pParams->u32ClutterSamples;
    t[i] = (U8)std::max<U32>(t[i], v);
  }
  if (pParams->fBottomDepthMetres > 0.0f) {
    const U32 u32Bottom = S_PINGSYNTH_u32SampleOfDepth(pParams->fBottomDepthMetres, p);
    const U32 u32Length = pParams->u32BottomLengthSamples;
    // The bottom echo rises fast and tails off into the ground.
    vAddEcho(t, n, u32Bottom + u32Length / 4, u32Length / 2, pParams->u8BottomHardness);
    for (U32 k = u32Bottom + u32Length / 4; k < u32Bottom + u32Length && k < n; k++) {
      const U32 v = pParams->u8BottomHardness * (u32Bottom + u32Length - k) / u32Length;
      t[k] = (U8)std::max<U32>(t[k], v);
    }
    U32 u32Level = pParams->u8BottomHardness;
    for (U32 r = 2; r <= (U32)pParams->u8SecondReturns + 1; r++) {
      u32Level = u32Level * 3 / 4;
      vAddEcho(t, n, r * u32Bottom + u32Length / 4, u32Length / 2, (U8)u32Level);
    }
  }
  for (U32 f = 0; f < pParams->u32Fish && f < PING_SYNTH_MAX_FISH; f++) {
    const PING_SYNTH_FISH &fish = pParams->aFish[f];
    vAddEcho(t, n, S_PINGSYNTH_u32SampleOfDepth(fish.fDepthMetres, p), fish.u32LengthSamples, fish.u8Peak);
  }
  S_TVG_ReverseTvgSonar(pPing, t, pPing->pu8RawSonarData);
}
