// Ping filters on U8 log samples: 2-of-2, the per-beam exponential average, noise removal and the two combined.
#pragma once
#include "corvan/types.h"
#include "sonar/coproc_tx.h"

constexpr U32 EXPONENTIAL_AVERAGE_BEAMS = 4;

// out = in when in < (prev x 5) / 4, else prev; prev = in. A new echo shows at full strength on its second ping.
void S_FILTER_v2of2Filter(U32 u32NumberOfSamples, const U8 *pu8Input, U8 *pu8PrevInput, U8 *pu8Output);
// out = (F - 1) x m / F + in / F with the beam's memory m, then m = out. Beams 0-3 and 0xFF each have a memory;
// other beams, null buffers, F <= 1 or no samples do nothing.
void S_FILTER_vGetExponentialAverageData(U32 u32NumberOfSamples, BEAM Beam, const U8 *pu8RawSonarData,
                                         U8 *pu8DecayedAverageData, U8 u8AveragingFactor);
// Clears the memory of every beam, 0xFF included.
void S_FILTER_vInitExponentialAverageData(void);
// out = 0 where noiseIn < level, else filterIn (input and output may be one buffer).
void S_FILTER_vNoiseRemoval(U32 u32NumberOfSamples, const U8 *pu8NoiseIn, const U8 *pu8FilterIn, U8 *pu8FilterOut,
                            U8 u8NoiseLevel);
// Zeroes samples below the background level, then (when active) the 2-of-2 step on what is left.
void S_FILTER_vFilterAndNoiseRemoval(U32 u32NumberOfSamples, const U8 *pu8RawSonarData, U8 *pu8FilteredData,
                                     U8 *pu8PreviousRawData, BOOLEAN b2Of2FilterActive,
                                     U8 u8BackgroundNoiseLevel);
