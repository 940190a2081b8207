#include "sonar/analysis/noise.h"

// Samples of the transmit ring-down at the start of a ping, in microseconds.
constexpr U32 RING_DOWN_US = 832;

U8 S_NOISE_u8Measure(PING_DESCRIPTOR *pPing, U8 *pu8Max)
{
  const U32 n = pPing->u32NumberOfSamples < PING_MAX_SAMPLES ? pPing->u32NumberOfSamples : PING_MAX_SAMPLES;
  if (n == 0) {
    if (pu8Max != nullptr) {
      *pu8Max = 0;
    }
    return 0;
  }
  const U32 p = pPing->u32SamplePeriodMicroSeconds;
  U32 u32Skip = p != 0 ? RING_DOWN_US / p : n - 1;
  if (u32Skip > n - 1) {
    u32Skip = n - 1;
  }
  U8 u8Max = 0;
  U64 u64Sum = 0;
  for (U32 i = u32Skip; i < n; i++) {
    const U8 s = pPing->pu8TvgdData[i];
    u64Sum += s;
    if (s > u8Max) {
      u8Max = s;
    }
  }
  if (pu8Max != nullptr) {
    *pu8Max = u8Max;
  }
  const U32 u32Count = n - u32Skip;
  const U64 u64Mean = u64Sum / u32Count;
  return (U8)(u64Mean > 255 ? 255 : u64Mean);
}
