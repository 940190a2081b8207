#include "sonar/analysis/tvg.h"

#include "kernel/log.h"

const RLE_TVG_DESCRIPTOR *pTvg50kHzTable = &DefaultTvg50kHzTable;
const RLE_TVG_DESCRIPTOR *pTvg83kHzTable = &DefaultTvg83kHzTable;
const RLE_TVG_DESCRIPTOR *pTvg200kHzTable = &DefaultTvg200kHzTable;
const RLE_TVG_DESCRIPTOR *pTvg455kHzTable = &DefaultTvg455kHzTable;
const RLE_TVG_DESCRIPTOR *pTvg800kHzTable = &DefaultTvg800kHzTable;

const S16 s16SuppressionSlopes[2][TVG_SUPPRESSION_LEVELS] = {
    {90, 60, 40, 20, 10, 0, -10, -20, -30, -40},
    {130, 110, 100, 90, 80, 60, 40, 20, 10, 0},
};

// Clutter attenuation falls linearly to nothing over this time from the transmit.
constexpr U32 SUPPRESSION_TIME_US = 8192;

const RLE_TVG_DESCRIPTOR *pSelectTvgCurve(U32 u32TransmitFrequencyHertz)
{
  if (u32TransmitFrequencyHertz < 60000) {
    return pTvg50kHzTable;
  }
  if (u32TransmitFrequencyHertz < 100000) {
    return pTvg83kHzTable;
  }
  if (u32TransmitFrequencyHertz < 300000) {
    return pTvg200kHzTable;
  }
  if (u32TransmitFrequencyHertz < 500000) {
    return pTvg455kHzTable;
  }
  return pTvg800kHzTable;
}

namespace {

// Walks a curve forwards in time, one sample at a time.
struct CurveWalk {
  const RLE_TVG_DESCRIPTOR *pCurve;
  U32 u32Pair = 0;
  U32 u32LimitUs = 0;

  explicit CurveWalk(const RLE_TVG_DESCRIPTOR *p) : pCurve(p), u32LimitUs(p->pAttDepthTable[0].u32RunLengthMicroSeconds) {}
  U8 u8Attenuation() const { return pCurve->pAttDepthTable[u32Pair].u8Attenuation; }
  // Moves to the pair in force at time t; returns TRUE when the pair changed.
  bool bAdvance(U32 u32TimeUs)
  {
    bool bChanged = false;
    while (u32Pair + 1 < pCurve->u32TableLength && u32LimitUs < u32TimeUs) {
      u32Pair++;
      u32LimitUs += pCurve->pAttDepthTable[u32Pair].u32RunLengthMicroSeconds;
      bChanged = true;
    }
    return bChanged;
  }
};

S32 s32Scaled(U8 u8Value, U32 u32TvgScale)
{
  return u32TvgScale != 0 ? (S32)(((U64)u32TvgScale * u8Value) >> 10) : (S32)u8Value;
}

}  // namespace

void S_TVG_TvgRawSonar(PING_DESCRIPTOR *pPing, U8 *pu8RawData, U8 *pu8TvgdData, U8 u8SuppressionLevel,
                       BOOLEAN bUseSuppression, WATER_TYPE eWaterType, U32 u32TvgScale)
{
  const U32 u32Samples = pPing->u32NumberOfSamples < PING_MAX_SAMPLES ? pPing->u32NumberOfSamples : PING_MAX_SAMPLES;
  if (bUseSuppression && (u8SuppressionLevel < 1 || u8SuppressionLevel > TVG_SUPPRESSION_LEVELS)) {
    log_me("TVG: clutter level %u outside 1-%u, no clutter attenuation", u8SuppressionLevel,
           TVG_SUPPRESSION_LEVELS);
    bUseSuppression = FALSE;
  }
  CurveWalk walk(pSelectTvgCurve(pPing->u32TransmitFrequencyHertz));
  // The short-transmit beam has no near-field step.
  S32 s32Att = pPing->Beam == 0xFF ? 0 : s32Scaled(walk.u8Attenuation(), u32TvgScale);
  const S32 s32Slope =
      bUseSuppression ? s16SuppressionSlopes[eWaterType == WATER_SALT_DEEP ? 1 : 0][u8SuppressionLevel - 1] : 0;
  U32 u32TimeUs = 0;
  for (U32 i = 0; i < u32Samples; i++) {
    const S32 s32Raw = pu8RawData[i];
    if (bUseSuppression && u32TimeUs < SUPPRESSION_TIME_US) {
      S32 s32Total = s32Att + s32Slope * (S32)(SUPPRESSION_TIME_US - u32TimeUs) / (S32)SUPPRESSION_TIME_US;
      if (s32Total >= 256) {
        pu8TvgdData[i] = 0;
      } else {
        if (s32Total < 0) {
          s32Total = 0;
        }
        pu8TvgdData[i] = (U8)(s32Raw > s32Total ? s32Raw - s32Total : 0);
      }
    } else {
      pu8TvgdData[i] = (U8)(s32Raw > s32Att ? s32Raw - s32Att : 0);
    }
    u32TimeUs += pPing->u32SamplePeriodMicroSeconds;
    if (walk.bAdvance(u32TimeUs)) {
      s32Att = s32Scaled(walk.u8Attenuation(), u32TvgScale);
    }
  }
}

void S_TVG_ReverseTvgSonar(const PING_DESCRIPTOR *pPing, const U8 *pu8TvgdData, U8 *pu8RawData)
{
  const U32 u32Samples = pPing->u32NumberOfSamples < PING_MAX_SAMPLES ? pPing->u32NumberOfSamples : PING_MAX_SAMPLES;
  CurveWalk walk(pSelectTvgCurve(pPing->u32TransmitFrequencyHertz));
  U32 u32TimeUs = 0;
  for (U32 i = 0; i < u32Samples; i++) {
    const U32 u32Sum = (U32)pu8TvgdData[i] + walk.u8Attenuation();
    pu8RawData[i] = pu8TvgdData[i] == 0 ? 0 : (U8)(u32Sum > 255 ? 255 : u32Sum);
    u32TimeUs += pPing->u32SamplePeriodMicroSeconds;
    walk.bAdvance(u32TimeUs);
  }
}
