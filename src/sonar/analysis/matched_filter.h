// Matched filter: correlates the samples with the shape of the transmitted pulse.
#pragma once
#include "corvan/types.h"

constexpr U32 MATCHED_FILTER_ROWS = 127;
constexpr U32 MATCHED_FILTER_TAPS = 64;
// Row d - 1 is the filter of a pulse of d samples; each sums to about 128.
extern const S8 as8FilterWeights[MATCHED_FILTER_ROWS][MATCHED_FILTER_TAPS];

// Pulse length in samples for the transmit, at most 127.
U32 S_MATCHEDFILTER_u32PulseSamples(U32 u32TxFrequencyHertz, U8 u8TxCycles, U8 u8PulseStretchingFactor);
// Pulses below two samples copy the input. The output may be the input buffer (each input sample is read
// before its own output is written, and never after).
void S_MATCHEDFILTER_vFilter(const U8 *pu8Input, U8 *pu8Output, U32 u32OutLength, U32 u32TxFrequencyHertz,
                             U8 u8TxCycles, U8 u8PulseStretchingFactor);
