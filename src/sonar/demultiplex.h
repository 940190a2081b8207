// The coprocessor's receive block: four bytes, the echoed sequence (bytes 4-34), then three channels of
// samples interleaved byte by byte, each channel its noise samples first and then its data samples.
#pragma once
#include "corvan/types.h"
#include "sonar/coproc_tx.h"

// Size of a receive block as the callers read it: 35 + 3 x (50 + 55,000) + the 6-byte trailer.
constexpr U32 S_DEMULTIPLEX_RECEIVE_BLOCK_SIZE = 165191;
constexpr U32 S_DEMULTIPLEX_SAMPLE_START = 35;

// Copies the echoed sequence and points at the sample area; always TRUE.
BOOLEAN S_DEMULTIPLEX_bExtractTxSequence(const U8 *pau8ReceivedCoprocData, TX_SEQUENCE_LE *pTxSequence,
                                         const U8 **ppau8StartOfData);
// De-interleaves one channel (0-2): noise sample i is byte channel + 3i, data sample j byte
// channel + 3 x noise count + 3j. A null buffer or a count of 0 skips that copy. The counts are trusted:
// callers clamp them to what was read.
void S_DEMULTIPLEX_vGetExtractRxData(const U8 *pau8StartOfData, U8 u8Channel, U16 u16NoiseSamples,
                                     U16 u16RxSamples, U8 *pau8Noise, U8 *pau8SonarData);
