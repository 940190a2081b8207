#include "sonar/demultiplex.h"

namespace {

constexpr U32 kEchoOffset = 4;
constexpr U32 kChannels = 3;

void copyChannel(const U8 *pu8From, U32 u32Count, U8 *pu8To) {
  for (U32 i = 0; i < u32Count; ++i) pu8To[i] = pu8From[kChannels * i];
}

}  // namespace

BOOLEAN S_DEMULTIPLEX_bExtractTxSequence(const U8 *pau8ReceivedCoprocData, TX_SEQUENCE_LE *pTxSequence,
                                         const U8 **ppau8StartOfData) {
  for (U32 i = 0; i < TX_SEQUENCE_SIZE; ++i) pTxSequence->au8Bytes[i] = pau8ReceivedCoprocData[kEchoOffset + i];
  *ppau8StartOfData = pau8ReceivedCoprocData + S_DEMULTIPLEX_SAMPLE_START;
  return TRUE;
}

void S_DEMULTIPLEX_vGetExtractRxData(const U8 *pau8StartOfData, U8 u8Channel, U16 u16NoiseSamples,
                                     U16 u16RxSamples, U8 *pau8Noise, U8 *pau8SonarData) {
  const U8 *pu8Channel = pau8StartOfData + u8Channel;
  if (pau8Noise != nullptr && u16NoiseSamples != 0) copyChannel(pu8Channel, u16NoiseSamples, pau8Noise);
  // The data start from the noise count even when the noise copy was skipped.
  if (pau8SonarData != nullptr && u16RxSamples != 0) {
    copyChannel(pu8Channel + kChannels * static_cast<U32>(u16NoiseSamples), u16RxSamples, pau8SonarData);
  }
}
