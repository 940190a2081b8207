#include "sonar/detect.h"

#include <algorithm>

#include "kernel/log.h"
#include "kernel/options.h"
#include "settings/database.h"
#include "sonar/coproc_tx.h"
#include "sonar/demultiplex.h"
#include "sonar/transducer.h"

namespace {

constexpr U32 kAttempts = 10;
constexpr U32 kDetectionsNeeded = 6;
constexpr U32 kDiagnosticKeys = 5;
constexpr U32 kDefaultMarginDb = 32;
constexpr U32 kNoiseSamples = 256;
constexpr U32 kEchoSamples = 32;
constexpr U32 kOpenLine = 0xFD00;  // the transducer line's reading without a transducer
constexpr U32 kFailedTransfer = 0xFFFFFFFF;

constexpr FOURCHARID detect_fcids[kDiagnosticKeys] = {FCID("DET1"), FCID("DET2"), FCID("DET3"), FCID("DET4"),
                                                       FCID("DET5")};

S_DETECT_TRANSFER s_pfnTransfer = nullptr;

U32 transfer(U8 *pau8Data, U32 u32Size, COPROC_DATA_DIRECTION eDirection) {
  return (s_pfnTransfer != nullptr ? s_pfnTransfer : H_COPROC_u32Transfer)(pau8Data, u32Size, eDirection);
}

// The margin in dB; a missing or zero setting becomes the default and is written back.
U32 marginDb(void) {
  U32 u32Margin = 0;
  if (!H_DATABASE_bFetchU32(FCID("SDET"), &u32Margin, nullptr, nullptr) || (u32Margin & 0xFF) == 0) {
    u32Margin = kDefaultMarginDb;
    H_DATABASE_bUpdateValueU32(FCID("SDET"), u32Margin, P_NORMAL);
  }
  return u32Margin & 0xFF;
}

// The fixed test: one 200 kHz pulse of 26 cycles on output 2, 256 noise and 32 echo samples on the first
// receiver.
void buildTestSequence(MULTI_TX *pMultiTx) {
  std::fill_n(reinterpret_cast<U8 *>(pMultiTx), MULTI_TX_SIZE, U8{0});
  U8 *pu8 = pMultiTx->MultiSonar[0].au8Bytes;
  vSetTxPulse(pu8, 200, 26, TXMODE_DMA, 2, FALSE);
  vSetTxPulse(pu8 + TX_PULSE_SIZE, 0, 0, TXMODE_NONE, 0, TRUE);
  vSetTxPulse(pu8 + 2 * TX_PULSE_SIZE, 0, 0, TXMODE_NONE, 0, TRUE);
  pu8[TXSEQ_POWER0] = TXPOWER_LOW;
  pu8[TXSEQ_POWER1] = TXPOWER_LOW;
  pu8[TXSEQ_SAMPLES] = static_cast<U8>(kEchoSamples);
  pu8[TXSEQ_SAMPLES + 1] = 0;
  pu8[TXSEQ_NOISE_SAMPLES] = static_cast<U8>(kNoiseSamples & 0xFF);
  pu8[TXSEQ_NOISE_SAMPLES + 1] = static_cast<U8>(kNoiseSamples >> 8);
  pu8[TXSEQ_RX_FREQUENCY] = 1;
  pu8[TXSEQ_BANDWIDTH] = 1;
  pu8[TXSEQ_RX_ENABLE] = 0xFD;
  pMultiTx->u8NumberOfSequences = 1;
}

S32 mean(const U8 *pu8Samples, U32 u32Count) {
  if (u32Count == 0) return 0;
  U32 u32Sum = 0;
  for (U32 i = 0; i < u32Count; ++i) u32Sum += pu8Samples[i];
  return static_cast<S32>(u32Sum / u32Count);
}

bool transducerLineShowsTransducer(void) {
  U32 u32Line = 0;
  return H_DATABASE_bFetchU32(FCID("AD02"), &u32Line, nullptr, nullptr) && u32Line < kOpenLine;
}

// One attempt's echo minus noise, in counts, from the block just read. A failed or short read carries no
// samples.
S32 measure(const U8 *pu8Block, U32 u32Read, U32 u32Attempt) {
  U8 au8NoiseData[kNoiseSamples];
  U8 au8SampleData[kEchoSamples];
  TX_SEQUENCE_LE echoed;
  const U8 *pu8Start = nullptr;
  S_DEMULTIPLEX_bExtractTxSequence(pu8Block, &echoed, &pu8Start);
  TX_SEQUENCE sequence;
  S_COPROC_vCopyAndConvertEndianTxSequence(&echoed, &sequence);
  U32 u32Noise = std::min<U32>(sequence.u16NoiseSamples, kNoiseSamples);
  U32 u32Echo = std::min<U32>(sequence.u16Samples, kEchoSamples);
  const bool bComplete = u32Read != kFailedTransfer && u32Read >= S_DEMULTIPLEX_SAMPLE_START &&
                         (u32Read - S_DEMULTIPLEX_SAMPLE_START) / 3 >= u32Noise + u32Echo;
  if (!bComplete) {
    log_me("attempt #%d: a receive block of %d bytes holds no test samples", static_cast<int>(u32Attempt),
           static_cast<int>(u32Read));
    u32Noise = u32Echo = 0;
  }
  S_DEMULTIPLEX_vGetExtractRxData(pu8Start, 0, static_cast<U16>(u32Noise), static_cast<U16>(u32Echo), au8NoiseData,
                                  au8SampleData);
  const S32 s32Noise = mean(au8NoiseData, u32Noise);
  const S32 s32Echo = mean(au8SampleData, u32Echo);
  const S32 s32Delta = s32Echo - s32Noise;
  const S32 s32Value = (s32Delta * 90) / 256;
  if (u32Attempt < kDiagnosticKeys) H_DATABASE_bUpdateValueS32(detect_fcids[u32Attempt], s32Value, P_NORMAL);
  log_me("attempt #%d ping_energy %d noise measure %d calc value %d", static_cast<int>(u32Attempt),
         static_cast<int>(s32Echo), static_cast<int>(s32Noise), static_cast<int>(s32Value));
  return s32Delta;
}

}  // namespace

void S_DETECT_vSetTransferForTest(S_DETECT_TRANSFER pfnTransfer) { s_pfnTransfer = pfnTransfer; }

BOOLEAN S_DETECT_bTransducerConnected(void) {
  H_COPROC_vInitialize();
  if (opt_fake_transducer) return FALSE;
  if (!S_TRANSDUCER_bIsDefaultTransducer()) return TRUE;
  for (FOURCHARID Key : detect_fcids) H_DATABASE_bUpdateValueS32(Key, 0, P_NORMAL);
  const S32 s32Threshold = static_cast<S32>(marginDb() * 256 / 90);

  // Empty the coprocessor, then send the test sequence in the shared transfer block.
  U8 *pu8Block = gpu8NonCachedDataBlock;
  transfer(pu8Block, COPROC_DATA_BLOCK_SIZE, RECEIVE_FROM_COPROC);
  buildTestSequence(reinterpret_cast<MULTI_TX *>(pu8Block));
  transfer(pu8Block, MULTI_TX_SIZE, SEND_TO_COPROC);
  transfer(pu8Block, COPROC_DATA_BLOCK_SIZE, RECEIVE_FROM_COPROC);

  U32 u32Detections = 0;
  for (U32 u32Attempt = 0; u32Attempt < kAttempts && u32Detections < kDetectionsNeeded; ++u32Attempt) {
    const U32 u32Read = transfer(pu8Block, COPROC_DATA_BLOCK_SIZE, RECEIVE_FROM_COPROC);
    // The read publishes the transducer line's reading: a connected line ends the test at once.
    if (transducerLineShowsTransducer()) return TRUE;
    if (measure(pu8Block, u32Read, u32Attempt) >= s32Threshold) ++u32Detections;
  }
  return u32Detections >= kDetectionsNeeded ? TRUE : FALSE;
}
