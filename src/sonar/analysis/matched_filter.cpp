#include "sonar/analysis/matched_filter.h"

#include <cstring>

U32 S_MATCHEDFILTER_u32PulseSamples(U32 u32TxFrequencyHertz, U8 u8TxCycles, U8 u8PulseStretchingFactor)
{
  if (u32TxFrequencyHertz == 0) {
    return MATCHED_FILTER_ROWS;
  }
  const U64 f = u32TxFrequencyHertz;
  const U64 d = ((U64)u8PulseStretchingFactor * u8TxCycles * 1000000u + f * 832u) / (f * 1664u);
  return d > MATCHED_FILTER_ROWS ? MATCHED_FILTER_ROWS : (U32)d;
}

void S_MATCHEDFILTER_vFilter(const U8 *pu8Input, U8 *pu8Output, U32 u32OutLength, U32 u32TxFrequencyHertz,
                             U8 u8TxCycles, U8 u8PulseStretchingFactor)
{
  const U32 d = S_MATCHEDFILTER_u32PulseSamples(u32TxFrequencyHertz, u8TxCycles, u8PulseStretchingFactor);
  if (d < 2) {
    if (pu8Input != pu8Output) {
      std::memmove(pu8Output, pu8Input, u32OutLength);
    }
    return;
  }
  const S8 *w = as8FilterWeights[d - 1];
  // Taps past the row's last non-zero one add nothing.
  U32 u32RowTaps = MATCHED_FILTER_TAPS;
  while (u32RowTaps > 1 && w[u32RowTaps - 1] == 0) {
    u32RowTaps--;
  }
  for (U32 i = 0; i < u32OutLength; i++) {
    const U32 u32Taps = u32OutLength - i < u32RowTaps ? u32OutLength - i : u32RowTaps;
    S32 acc = 0;
    for (U32 k = 0; k < u32Taps; k++) {
      acc += (S32)pu8Input[i + k] * w[k];
    }
    pu8Output[i] = acc >= 32768 ? 255 : acc < -127 ? 0 : (U8)(acc / 128);
  }
}
