// Every field is stored byte by byte, low byte first, so the block is right whatever the host's byte order.
#include "sonar/coproc_tx.h"

U32 g_u32SpeedOfSoundInWater = 1463;

namespace {

constexpr U8 kNoiseSamples = 50;
constexpr U16 kShortTxFrequency = 400;
constexpr U8 kOutputDown = 1;
constexpr U8 kOutputBothSides = 6;

struct PULSE_SPEC {
  U16 u16Freq;
  U8 u8Cycles;
  TXMODE eMode;
  U8 u8Output;
  BOOLEAN bDuty;
};
constexpr PULSE_SPEC kUnusedPulse = {0, 0, TXMODE_NONE, 0, TRUE};

struct RECEIVER_SPEC {
  U8 bRxFrequency;
  U8 bBandwidth;
  U8 bRxEnable;
};

void putLe16(U8 *pu8, U16 u16Value) {
  pu8[0] = static_cast<U8>(u16Value & 0xFF);
  pu8[1] = static_cast<U8>(u16Value >> 8);
}

U16 le16(const U8 *pu8) { return static_cast<U16>(pu8[0] | pu8[1] << 8); }

void putPulse(U8 *pu8Pulse, const PULSE_SPEC &p) {
  vSetTxPulse(pu8Pulse, p.u16Freq, p.u8Cycles, p.eMode, p.u8Output, p.bDuty);
}

// One sequence of the common template: ping rate 0, 50 noise samples; the level and fail bytes stay as the
// caller cleared them.
void putSequence(MULTI_TX *pMultiTx, U32 u32Index, const PULSE_SPEC &p0, const PULSE_SPEC &p1, TXPOWER ePower0,
                 TXPOWER ePower1, U16 u16Samples, const RECEIVER_SPEC &rx) {
  U8 *pu8 = pMultiTx->MultiSonar[u32Index].au8Bytes;
  putPulse(pu8, p0);
  putPulse(pu8 + TX_PULSE_SIZE, p1);
  putPulse(pu8 + 2 * TX_PULSE_SIZE, kUnusedPulse);
  pu8[TXSEQ_POWER0] = static_cast<U8>(ePower0);
  pu8[TXSEQ_POWER1] = static_cast<U8>(ePower1);
  pu8[TXSEQ_PING_RATE] = 0;
  putLe16(pu8 + TXSEQ_SAMPLES, u16Samples);
  putLe16(pu8 + TXSEQ_NOISE_SAMPLES, kNoiseSamples);
  pu8[TXSEQ_RX_FREQUENCY] = rx.bRxFrequency;
  pu8[TXSEQ_BANDWIDTH] = rx.bBandwidth;
  pu8[TXSEQ_RX_ENABLE] = rx.bRxEnable;
}

PULSE_SPEC downPulse(U16 u16Freq, U8 u8Cycles, BOOLEAN bNoTransmit) {
  return {u16Freq, u8Cycles, bNoTransmit ? TXMODE_NONE : TXMODE_TIMER, kOutputDown, TRUE};
}

PULSE_SPEC sidePulse(U16 u16Freq, U8 u8Cycles, BOOLEAN bNoTransmit) {
  return {u16Freq, u8Cycles, bNoTransmit ? TXMODE_NONE : TXMODE_DMA, kOutputBothSides, FALSE};
}

// Below 60 kHz the low beam is the 50 kHz one, from 60 kHz the 83 kHz one.
RXFREQ lowBeamReceiver(U16 u16Freq) { return u16Freq < 60 ? RXFREQ_50KHZ : RXFREQ_83KHZ; }

// The first receiver's code of a down beam: 0 above 150 kHz, else the low beam's 1 or 3.
U8 downCode(U16 u16Freq) {
  if (u16Freq > 150) return 0;
  return S_COPROC_u8SetRxFrequencies(RXFREQ_UNUSED, RXFREQ_UNUSED, lowBeamReceiver(u16Freq));
}

U8 lowBeamCode(U16 u16Freq) {
  return S_COPROC_u8SetRxFrequencies(RXFREQ_UNUSED, RXFREQ_UNUSED, lowBeamReceiver(u16Freq));
}

// Receiver layouts.
RECEIVER_SPEC layoutD1(U8 u8Code, U8 u8Bandwidth) { return {u8Code, static_cast<U8>(u8Bandwidth & 3), 0xFD}; }

RECEIVER_SPEC layoutD2(U8 u8Bandwidth) {
  return {S_COPROC_u8SetRxFrequencies(RXFREQ_UNUSED, RXFREQ_200KHZ, RXFREQ_UNUSED),
          static_cast<U8>((u8Bandwidth & 3) << 2), 0xF5};
}

RECEIVER_SPEC layoutPLF(U16 u16FreqLF, U8 u8Bandwidth200, U8 u8BandwidthLF) {
  return {S_COPROC_u8SetRxFrequencies(RXFREQ_UNUSED, RXFREQ_200KHZ, lowBeamReceiver(u16FreqLF)),
          static_cast<U8>(((u8Bandwidth200 << 2) & 0xF) | (u8BandwidthLF & 3)), 0xF5};
}

RECEIVER_SPEC layoutPHF(U8 u8Code, U8 u8BandwidthDown, U8 u8Bandwidth455) {
  const U8 u8Side = u8Bandwidth455 & 3;
  return {u8Code, static_cast<U8>((u8BandwidthDown & 3) | u8Side << 2 | u8Side << 4), 0xE9};
}

RECEIVER_SPEC layoutSID(U8 u8Bandwidth) {
  const U8 u8Side = u8Bandwidth & 3;
  return {0, static_cast<U8>(u8Side << 2 | u8Side << 4), 0xEB};
}

U16 larger(U16 a, U16 b) { return a > b ? a : b; }

// The 20 m short-transmit sequence; its own pulse always transmits.
void putShortTransmit(MULTI_TX *pMultiTx, U32 u32Index, bool bSecondReceiver) {
  const U32 u32Micro = static_cast<U32>(40000000.0 / static_cast<double>(g_u32SpeedOfSoundInWater));
  const U16 u16Samples = static_cast<U16>((u32Micro + 13) / 26);
  const PULSE_SPEC pulse = {kShortTxFrequency, 1, TXMODE_DMA, kOutputDown, TRUE};
  putSequence(pMultiTx, u32Index, pulse, kUnusedPulse, TXPOWER_LOW, TXPOWER_LOW, u16Samples,
              bSecondReceiver ? layoutD2(3) : layoutD1(0, 3));
}

// Ends a builder: the count, with the short-transmit sequence after the data sequences when asked.
MULTI_TX *finish(MULTI_TX *pMultiTx, U32 u32DataSequences, BOOLEAN bShortTransmit, bool bShortOnSecondReceiver) {
  U32 u32Count = u32DataSequences;
  if (bShortTransmit) putShortTransmit(pMultiTx, u32Count++, bShortOnSecondReceiver);
  pMultiTx->u8NumberOfSequences = static_cast<U8>(u32Count);
  return pMultiTx;
}

void putSingleDown(MULTI_TX *pMultiTx, U8 u8TxCycles, TXPOWER TxPower, U8 u8Bandwidth, U16 u16Samples, U16 u16Freq,
                   U8 u8Receiver, BOOLEAN bNoTransmit) {
  const RECEIVER_SPEC rx =
      (u8Receiver != 0 && u16Freq > 150) ? layoutD2(u8Bandwidth) : layoutD1(downCode(u16Freq), u8Bandwidth);
  putSequence(pMultiTx, 0, downPulse(u16Freq, u8TxCycles, bNoTransmit), kUnusedPulse, TxPower, TxPower, u16Samples,
              rx);
}

void putParLF(MULTI_TX *pMultiTx, U8 u8Cycles200, U8 u8Bandwidth200, U16 u16Samples200, U16 u16Freq200,
              TXPOWER Power200, U8 u8CyclesLF, U8 u8BandwidthLF, U16 u16SamplesLF, U16 u16FreqLF, TXPOWER PowerLF,
              BOOLEAN bNoTransmit) {
  putSequence(pMultiTx, 0, downPulse(u16FreqLF, u8CyclesLF, bNoTransmit),
              downPulse(u16Freq200, u8Cycles200, bNoTransmit), PowerLF, Power200, larger(u16Samples200, u16SamplesLF),
              layoutPLF(u16FreqLF, u8Bandwidth200, u8BandwidthLF));
}

// A down beam on its own on the first receiver.
void putDownD1(MULTI_TX *pMultiTx, U32 u32Index, U8 u8Cycles, TXPOWER Power, U8 u8Bandwidth, U16 u16Samples,
               U16 u16Freq, BOOLEAN bNoTransmit) {
  putSequence(pMultiTx, u32Index, downPulse(u16Freq, u8Cycles, bNoTransmit), kUnusedPulse, Power, Power, u16Samples,
              layoutD1(downCode(u16Freq), u8Bandwidth));
}

// A down beam with the 455 kHz pulse on both side elements.
void putParHigh(MULTI_TX *pMultiTx, U32 u32Index, U8 u8Code, U8 u8CyclesDown, TXPOWER PowerDown, U8 u8BandwidthDown,
                U16 u16SamplesDown, U16 u16FreqDown, U8 u8Cycles455, TXPOWER Power455, U8 u8Bandwidth455,
                U16 u16Samples455, U16 u16Freq455, BOOLEAN bNoTransmit) {
  putSequence(pMultiTx, u32Index, sidePulse(u16Freq455, u8Cycles455, bNoTransmit),
              downPulse(u16FreqDown, u8CyclesDown, bNoTransmit), PowerDown, Power455,
              larger(u16SamplesDown, u16Samples455), layoutPHF(u8Code, u8BandwidthDown, u8Bandwidth455));
}

}  // namespace

U32 S_COPROC_u32SamplesForDepth(float fDepthInMetres) {
  const U32 u32Micro = static_cast<U32>(static_cast<double>(fDepthInMetres) * 2000000.0 /
                                        static_cast<double>(g_u32SpeedOfSoundInWater));
  return (u32Micro + 13) / 26;
}

void vSetTxPulse(U8 *pTxPulseLE, U16 u16FrequencykHz, U8 u8TxCycles, TXMODE eTxMode, U8 u8TxOutput,
                 BOOLEAN bFiftyPercentDutyCycle) {
  putLe16(pTxPulseLE, u16FrequencykHz);
  pTxPulseLE[2] = u8TxCycles;
  pTxPulseLE[3] = static_cast<U8>(eTxMode);
  pTxPulseLE[4] = u8TxOutput;
  pTxPulseLE[5] = bFiftyPercentDutyCycle;
}

U8 S_COPROC_u8SetRxFrequencies(RXFREQ, RXFREQ eR2Freq, RXFREQ eR1Freq) {
  U8 u8Bits = 0;
  if (eR1Freq == RXFREQ_50KHZ) u8Bits = 0x3;
  if (eR1Freq == RXFREQ_83KHZ) u8Bits = 0x1;
  if (eR2Freq == RXFREQ_200KHZ) u8Bits |= 0x8;
  return u8Bits;
}

void S_COPROC_vCopyAndConvertEndianTxSequence(const TX_SEQUENCE_LE *pSrc, TX_SEQUENCE *pDest) {
  const U8 *pu8 = pSrc->au8Bytes;
  for (U32 k = 0; k < 3; ++k) {
    const U8 *pu8Pulse = pu8 + k * TX_PULSE_SIZE;
    TX_PULSE &pulse = pDest->TxPulse[k];
    pulse.u16TxFreq = le16(pu8Pulse);
    pulse.u8TxCycles = pu8Pulse[2];
    pulse.eTxMode = pu8Pulse[3];
    pulse.u8TxOutput = pu8Pulse[4];
    pulse.bDutyCycle = pu8Pulse[5];
  }
  pDest->eTxPower0 = pu8[TXSEQ_POWER0];
  pDest->eTxPower1 = pu8[TXSEQ_POWER1];
  pDest->u8Tx0Level = pu8[TXSEQ_TX0_LEVEL];
  pDest->u8Tx1Level = pu8[TXSEQ_TX1_LEVEL];
  pDest->u8PingRate = pu8[TXSEQ_PING_RATE];
  pDest->u16Samples = le16(pu8 + TXSEQ_SAMPLES);
  pDest->u16NoiseSamples = le16(pu8 + TXSEQ_NOISE_SAMPLES);
  pDest->bRxFrequency = pu8[TXSEQ_RX_FREQUENCY];
  pDest->bBandwidth = pu8[TXSEQ_BANDWIDTH];
  pDest->bRxEnable = pu8[TXSEQ_RX_ENABLE];
  pDest->bTxFail = pu8[TXSEQ_TX_FAIL];
}

MULTI_TX *S_COPROC_vBuildTxSequenceForSingleDown(MULTI_TX *pMultiTxLE, U8 u8TxCycles, TXPOWER TxPower,
                                                 U8 u8Bandwidth, U16 u16NumberOfSamples, U16 u16TransmitFrequency,
                                                 U8 u8Receiver, BOOLEAN bNoTransmit, U8) {
  putSingleDown(pMultiTxLE, u8TxCycles, TxPower, u8Bandwidth, u16NumberOfSamples, u16TransmitFrequency, u8Receiver,
                bNoTransmit);
  return finish(pMultiTxLE, 1, FALSE, true);
}

MULTI_TX *S_COPROC_vBuildTxSequenceForSingleDownAltShortTransmit(MULTI_TX *pMultiTxLE, U8 u8TxCycles,
                                                                 TXPOWER TxPower, U8 u8Bandwidth,
                                                                 U16 u16NumberOfSamples, U16 u16TransmitFrequency,
                                                                 U8 u8Receiver, BOOLEAN bNoTransmit, U8,
                                                                 BOOLEAN bEnableShortTransmit) {
  putSingleDown(pMultiTxLE, u8TxCycles, TxPower, u8Bandwidth, u16NumberOfSamples, u16TransmitFrequency, u8Receiver,
                bNoTransmit);
  return finish(pMultiTxLE, 1, bEnableShortTransmit, true);
}

MULTI_TX *S_COPROC_vBuildTxSequenceForShortTransmit(MULTI_TX *pMultiTxLE, U8 u8TxCycles, TXPOWER TxPower,
                                                    U8 u8Bandwidth, U16 u16NumberOfSamples,
                                                    U16 u16TransmitFrequency) {
  const PULSE_SPEC pulse = {u16TransmitFrequency, u8TxCycles, TXMODE_DMA, kOutputDown, TRUE};
  putSequence(pMultiTxLE, 0, pulse, kUnusedPulse, TxPower, TxPower, u16NumberOfSamples, layoutD1(0, u8Bandwidth));
  return finish(pMultiTxLE, 1, FALSE, false);
}

// The parallel 200 kHz + LF pair honours bNoTransmit like every other builder.
MULTI_TX *S_COPROC_vBuildTxSequence200kHzParLF(MULTI_TX *pMultiTxLE, U8 u8TxCycles200kHz, U8 u8Bandwidth200kHz,
                                               U16 u16NumberOfSamples200kHz, U16 u16Frequency200kHz,
                                               TXPOWER TxPower200KHz, U8 u8TxCyclesLF, U8 u8BandwidthLF,
                                               U16 u16NumberOfSamplesLF, U16 u16FrequencyLFkHz, TXPOWER TxPowerLF,
                                               BOOLEAN bNoTransmit, U8) {
  putParLF(pMultiTxLE, u8TxCycles200kHz, u8Bandwidth200kHz, u16NumberOfSamples200kHz, u16Frequency200kHz,
           TxPower200KHz, u8TxCyclesLF, u8BandwidthLF, u16NumberOfSamplesLF, u16FrequencyLFkHz, TxPowerLF,
           bNoTransmit);
  return finish(pMultiTxLE, 1, FALSE, true);
}

MULTI_TX *S_COPROC_vBuildTxSequence200kHzParLFAltShortTransmit(
    MULTI_TX *pMultiTxLE, U8 u8TxCycles200kHz, U8 u8Bandwidth200kHz, U16 u16NumberOfSamples200kHz,
    U16 u16Frequency200kHz, TXPOWER TxPower200KHz, U8 u8TxCyclesLF, U8 u8BandwidthLF, U16 u16NumberOfSamplesLF,
    U16 u16FrequencyLFkHz, TXPOWER TxPowerLF, BOOLEAN bNoTransmit, U8, BOOLEAN bEnableShortTransmit) {
  putParLF(pMultiTxLE, u8TxCycles200kHz, u8Bandwidth200kHz, u16NumberOfSamples200kHz, u16Frequency200kHz,
           TxPower200KHz, u8TxCyclesLF, u8BandwidthLF, u16NumberOfSamplesLF, u16FrequencyLFkHz, TxPowerLF,
           bNoTransmit);
  return finish(pMultiTxLE, 1, bEnableShortTransmit, true);
}

MULTI_TX *S_COPROC_vBuildTxSequence200kHzAltShortTransmit(MULTI_TX *pMultiTxLE, U8 u8TxCycles200kHz,
                                                          TXPOWER TxPower200kHz, U8 u8Bandwidth200kHz,
                                                          U16 u16NumberOfSamples200kHz,
                                                          U16 u16TransmitFrequency200kHz, BOOLEAN bNoTransmit,
                                                          BOOLEAN bEnableShortTransmit) {
  putSequence(pMultiTxLE, 0, downPulse(u16TransmitFrequency200kHz, u8TxCycles200kHz, bNoTransmit), kUnusedPulse,
              TxPower200kHz, TxPower200kHz, u16NumberOfSamples200kHz, layoutD1(0, u8Bandwidth200kHz));
  return finish(pMultiTxLE, 1, bEnableShortTransmit, false);
}

MULTI_TX *S_COPROC_vBuildTxSequence200kHzAltLFAltShortTransmit(
    MULTI_TX *pMultiTxLE, U8 u8TxCycles200kHz, TXPOWER TxPower200kHz, U8 u8Bandwidth200kHz,
    U16 u16NumberOfSamples200kHz, U16 u16TransmitFrequency200kHz, U8 u8TxCyclesLF, TXPOWER TxPowerLF,
    U8 u8BandwidthLF, U16 u16NumberOfSamplesLF, U16 u16TransmitFrequencyLFkHz, BOOLEAN bNoTransmit, U8,
    BOOLEAN bEnableShortTransmit) {
  putDownD1(pMultiTxLE, 0, u8TxCyclesLF, TxPowerLF, u8BandwidthLF, u16NumberOfSamplesLF, u16TransmitFrequencyLFkHz,
            bNoTransmit);
  putSequence(pMultiTxLE, 1, downPulse(u16TransmitFrequency200kHz, u8TxCycles200kHz, bNoTransmit), kUnusedPulse,
              TxPower200kHz, TxPower200kHz, u16NumberOfSamples200kHz, layoutD1(0, u8Bandwidth200kHz));
  return finish(pMultiTxLE, 2, bEnableShortTransmit, false);
}

MULTI_TX *S_COPROC_vBuildTxSequence200kHzAltLFAltShortTx(
    MULTI_TX *pMultiTxLE, U8 u8TxCycles200kHz, TXPOWER TxPower200kHz, U8 u8Bandwidth200kHz,
    U16 u16NumberOfSamples200kHz, U16 u16TransmitFrequency200kHz, U8 u8TxCyclesLF, TXPOWER TxPowerLF,
    U8 u8BandwidthLF, U16 u16NumberOfSamplesLF, U16 u16TransmitFrequencyLFkHz, BOOLEAN bNoTransmit,
    BOOLEAN bEnableShortTransmit) {
  putSequence(pMultiTxLE, 0, downPulse(u16TransmitFrequency200kHz, u8TxCycles200kHz, bNoTransmit), kUnusedPulse,
              TxPower200kHz, TxPower200kHz, u16NumberOfSamples200kHz, layoutD1(0, u8Bandwidth200kHz));
  putDownD1(pMultiTxLE, 1, u8TxCyclesLF, TxPowerLF, u8BandwidthLF, u16NumberOfSamplesLF, u16TransmitFrequencyLFkHz,
            bNoTransmit);
  return finish(pMultiTxLE, 2, bEnableShortTransmit, false);
}

MULTI_TX *S_COPROC_vBuildTxSequence200kHzParHighFrequency(
    MULTI_TX *pMultiTxLE, U8 u8TxCycles200kHz, TXPOWER TxPower200kHz, U8 u8Bandwidth200kHz,
    U16 u16NumberOfSamples200kHz, U16 u16TransmitFrequency200kHz, U8 u8TxCycles455kHz, TXPOWER TxPower455kHz,
    U8 u8Bandwidth455kHz, U16 u16NumberOfSamples455kHz, U16 u16HighFrequencykHz, BOOLEAN bNoTransmit) {
  return S_COPROC_vBuildTxSequence200kHzParHighFrequencyAltShortTransmit(
      pMultiTxLE, u8TxCycles200kHz, TxPower200kHz, u8Bandwidth200kHz, u16NumberOfSamples200kHz,
      u16TransmitFrequency200kHz, u8TxCycles455kHz, TxPower455kHz, u8Bandwidth455kHz, u16NumberOfSamples455kHz,
      u16HighFrequencykHz, bNoTransmit, FALSE);
}

MULTI_TX *S_COPROC_vBuildTxSequence200kHzParHighFrequencyAltShortTransmit(
    MULTI_TX *pMultiTxLE, U8 u8TxCycles200kHz, TXPOWER TxPower200kHz, U8 u8Bandwidth200kHz,
    U16 u16NumberOfSamples200kHz, U16 u16TransmitFrequency200kHz, U8 u8TxCycles455kHz, TXPOWER TxPower455kHz,
    U8 u8Bandwidth455kHz, U16 u16NumberOfSamples455kHz, U16 u16HighFrequencykHz, BOOLEAN bNoTransmit,
    BOOLEAN bEnableShortTransmit) {
  putParHigh(pMultiTxLE, 0, 0, u8TxCycles200kHz, TxPower200kHz, u8Bandwidth200kHz, u16NumberOfSamples200kHz,
             u16TransmitFrequency200kHz, u8TxCycles455kHz, TxPower455kHz, u8Bandwidth455kHz, u16NumberOfSamples455kHz,
             u16HighFrequencykHz, bNoTransmit);
  return finish(pMultiTxLE, 1, bEnableShortTransmit, false);
}

MULTI_TX *S_COPROC_vBuildTxSequence200kHzAltLFParHighFrequency(
    MULTI_TX *pMultiTxLE, U8 u8TxCycles200kHz, TXPOWER TxPower200kHz, U8 u8Bandwidth200kHz,
    U16 u16NumberOfSamples200kHz, U16 u16TransmitFrequency200kHz, U8 u8TxCyclesLF, TXPOWER TxPowerLF,
    U8 u8BandwidthLF, U16 u16NumberOfSamplesLF, U16 u16TransmitFrequencyLFkHz, U8 u8TxCycles455kHz,
    TXPOWER TxPower455kHz, U8 u8Bandwidth455kHz, U16 u16NumberOfSamples455kHz, U16 u16HighFrequencykHz,
    BOOLEAN bNoTransmit) {
  return S_COPROC_vBuildTxSequence200kHzAltLFParHighFrequencyAltShortTx(
      pMultiTxLE, u8TxCycles200kHz, TxPower200kHz, u8Bandwidth200kHz, u16NumberOfSamples200kHz,
      u16TransmitFrequency200kHz, u8TxCyclesLF, TxPowerLF, u8BandwidthLF, u16NumberOfSamplesLF,
      u16TransmitFrequencyLFkHz, u8TxCycles455kHz, TxPower455kHz, u8Bandwidth455kHz, u16NumberOfSamples455kHz,
      u16HighFrequencykHz, bNoTransmit, FALSE);
}

MULTI_TX *S_COPROC_vBuildTxSequence200kHzAltLFParHighFrequencyAltShortTx(
    MULTI_TX *pMultiTxLE, U8 u8TxCycles200kHz, TXPOWER TxPower200kHz, U8 u8Bandwidth200kHz,
    U16 u16NumberOfSamples200kHz, U16 u16TransmitFrequency200kHz, U8 u8TxCyclesLF, TXPOWER TxPowerLF,
    U8 u8BandwidthLF, U16 u16NumberOfSamplesLF, U16 u16TransmitFrequencyLFkHz, U8 u8TxCycles455kHz,
    TXPOWER TxPower455kHz, U8 u8Bandwidth455kHz, U16 u16NumberOfSamples455kHz, U16 u16HighFrequencykHz,
    BOOLEAN bNoTransmit, BOOLEAN bEnableShortTransmit) {
  putParHigh(pMultiTxLE, 0, 0, u8TxCycles200kHz, TxPower200kHz, u8Bandwidth200kHz, u16NumberOfSamples200kHz,
             u16TransmitFrequency200kHz, u8TxCycles455kHz, TxPower455kHz, u8Bandwidth455kHz, u16NumberOfSamples455kHz,
             u16HighFrequencykHz, bNoTransmit);
  putParHigh(pMultiTxLE, 1, lowBeamCode(u16TransmitFrequencyLFkHz), u8TxCyclesLF, TxPowerLF, u8BandwidthLF,
             u16NumberOfSamplesLF, u16TransmitFrequencyLFkHz, u8TxCycles455kHz, TxPower455kHz, u8Bandwidth455kHz,
             u16NumberOfSamples455kHz, u16HighFrequencykHz, bNoTransmit);
  return finish(pMultiTxLE, 2, bEnableShortTransmit, false);
}

MULTI_TX *S_COPROC_vBuildSingleBeamSSPing455kHzLR(MULTI_TX *pMultiTxLE, BEAM, U8 u8TxCycles, TXPOWER TxPower,
                                                  U8 u8Bandwidth, U16 u16NumberOfSamples, U16 u16Frequency,
                                                  BOOLEAN bNoTransmit) {
  putSequence(pMultiTxLE, 0, sidePulse(u16Frequency, u8TxCycles, bNoTransmit), kUnusedPulse, TxPower, TxPower,
              u16NumberOfSamples, layoutSID(u8Bandwidth));
  return finish(pMultiTxLE, 1, FALSE, false);
}

MULTI_TX *S_COPROC_vBuildSingleBeamMSSPing455kHzLR(MULTI_TX *pMultiTxLE, BEAM Beam, U8 u8TxCycles, TXPOWER TxPower,
                                                   U8 u8Bandwidth, U16 u16NumberOfSamples, U16 u16Frequency) {
  const PULSE_SPEC pulse = {u16Frequency, u8TxCycles, TXMODE_DMA, static_cast<U8>(Beam == 2 ? 2 : 4), TRUE};
  putSequence(pMultiTxLE, 0, pulse, kUnusedPulse, TxPower, TxPower, u16NumberOfSamples, layoutSID(u8Bandwidth));
  return finish(pMultiTxLE, 1, FALSE, false);
}
