// Time-varied gain: subtracts a range-dependent attenuation (and, near the transducer, a surface-clutter
// attenuation) from each log sample of a ping, and the inverse used to make raw pings from corrected ones.
#pragma once
#include "corvan/types.h"
#include "sonar/analysis/water_type.h"
#include "sonar/ping_descriptor.h"

typedef struct {
  U8 u8Attenuation;                // counts to subtract
  U32 u32RunLengthMicroSeconds;    // how long this attenuation holds
} ATT_DEPTH_PAIR;

typedef struct {
  U32 u32TableLength;  // number of pairs
  const ATT_DEPTH_PAIR *pAttDepthTable;
} RLE_TVG_DESCRIPTOR;

extern const RLE_TVG_DESCRIPTOR DefaultTvg50kHzTable;
extern const RLE_TVG_DESCRIPTOR DefaultTvg83kHzTable;
extern const RLE_TVG_DESCRIPTOR DefaultTvg200kHzTable;
extern const RLE_TVG_DESCRIPTOR DefaultTvg455kHzTable;
extern const RLE_TVG_DESCRIPTOR DefaultTvg800kHzTable;
// The curves in use, initialised to the defaults.
extern const RLE_TVG_DESCRIPTOR *pTvg50kHzTable;
extern const RLE_TVG_DESCRIPTOR *pTvg83kHzTable;
extern const RLE_TVG_DESCRIPTOR *pTvg200kHzTable;
extern const RLE_TVG_DESCRIPTOR *pTvg455kHzTable;
extern const RLE_TVG_DESCRIPTOR *pTvg800kHzTable;

constexpr U8 TVG_SUPPRESSION_LEVELS = 10;
// Surface clutter attenuation at time 0 by clutter level 1-10; row 1 deep salt water, row 0 otherwise.
extern const S16 s16SuppressionSlopes[2][TVG_SUPPRESSION_LEVELS];

// The curve for a transmit frequency.
const RLE_TVG_DESCRIPTOR *pSelectTvgCurve(U32 u32TransmitFrequencyHertz);

// Writes the ping's u32NumberOfSamples corrected samples. u32TvgScale 0 leaves the curve as it is, otherwise the
// attenuation is (scale x value) >> 10. u8SuppressionLevel (1-10) is used only with bUseSuppression; a level
// outside 1-10 is logged and no clutter attenuation is applied.
void S_TVG_TvgRawSonar(PING_DESCRIPTOR *pPing, U8 *pu8RawData, U8 *pu8TvgdData, U8 u8SuppressionLevel,
                       BOOLEAN bUseSuppression, WATER_TYPE eWaterType, U32 u32TvgScale);
// Undoes the curve (no scale, no suppression): 0 stays 0, else min(sample + attenuation, 255).
void S_TVG_ReverseTvgSonar(const PING_DESCRIPTOR *pPing, const U8 *pu8TvgdData, U8 *pu8RawData);
