#include "sonar/analysis/filter.h"

#include <cstring>

#include "sonar/ping_descriptor.h"

// Beams 0-3, then the short-transmit beam 0xFF in a memory of its own.
static U8 s_u8ExponentialAverageData[EXPONENTIAL_AVERAGE_BEAMS + 1][PING_MAX_SAMPLES];

static U8 u82of2(U8 u8In, U8 u8Prev)
{
  return (U32)u8In < (((U32)u8Prev * 5) >> 2) ? u8In : u8Prev;
}

void S_FILTER_v2of2Filter(U32 u32NumberOfSamples, const U8 *pu8Input, U8 *pu8PrevInput, U8 *pu8Output)
{
  for (U32 i = 0; i < u32NumberOfSamples; i++) {
    const U8 u8In = pu8Input[i];
    pu8Output[i] = u82of2(u8In, pu8PrevInput[i]);
    pu8PrevInput[i] = u8In;
  }
}

void S_FILTER_vGetExponentialAverageData(U32 u32NumberOfSamples, BEAM Beam, const U8 *pu8RawSonarData,
                                         U8 *pu8DecayedAverageData, U8 u8AveragingFactor)
{
  if (pu8RawSonarData == nullptr || pu8DecayedAverageData == nullptr || u8AveragingFactor <= 1 ||
      u32NumberOfSamples == 0) {
    return;
  }
  U32 u32Row;
  if (Beam < EXPONENTIAL_AVERAGE_BEAMS) {
    u32Row = Beam;
  } else if (Beam == 0xFF) {
    u32Row = EXPONENTIAL_AVERAGE_BEAMS;
  } else {
    return;
  }
  if (u32NumberOfSamples > PING_MAX_SAMPLES) {
    u32NumberOfSamples = PING_MAX_SAMPLES;
  }
  U8 *pu8Memory = s_u8ExponentialAverageData[u32Row];
  const U32 f = u8AveragingFactor;
  for (U32 i = 0; i < u32NumberOfSamples; i++) {
    const U8 u8Out = (U8)((f - 1) * pu8Memory[i] / f + pu8RawSonarData[i] / f);
    pu8DecayedAverageData[i] = u8Out;
    pu8Memory[i] = u8Out;
  }
}

void S_FILTER_vInitExponentialAverageData(void)
{
  std::memset(s_u8ExponentialAverageData, 0, sizeof s_u8ExponentialAverageData);
}

void S_FILTER_vNoiseRemoval(U32 u32NumberOfSamples, const U8 *pu8NoiseIn, const U8 *pu8FilterIn, U8 *pu8FilterOut,
                            U8 u8NoiseLevel)
{
  for (U32 i = 0; i < u32NumberOfSamples; i++) {
    pu8FilterOut[i] = pu8NoiseIn[i] < u8NoiseLevel ? 0 : pu8FilterIn[i];
  }
}

void S_FILTER_vFilterAndNoiseRemoval(U32 u32NumberOfSamples, const U8 *pu8RawSonarData, U8 *pu8FilteredData,
                                     U8 *pu8PreviousRawData, BOOLEAN b2Of2FilterActive,
                                     U8 u8BackgroundNoiseLevel)
{
  for (U32 i = 0; i < u32NumberOfSamples; i++) {
    const U8 u8Raw = pu8RawSonarData[i] < u8BackgroundNoiseLevel ? 0 : pu8RawSonarData[i];
    if (b2Of2FilterActive) {
      pu8FilteredData[i] = u8Raw == 0 ? 0 : u82of2(u8Raw, pu8PreviousRawData[i]);
    } else {
      pu8FilteredData[i] = u8Raw;
    }
    pu8PreviousRawData[i] = u8Raw;
  }
}
