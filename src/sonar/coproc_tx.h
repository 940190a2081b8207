// The sonar coprocessor's transmit command: six transmit/receive sequences and their count, 187 bytes in the
// coprocessor's (little-endian) byte order, and the builders that fill it for each combination of beams.
#pragma once
#include "corvan/types.h"
#include "platform/sonar_controls.h"

// Beams: 0 low-frequency down, 1 200 kHz down, 2 and 3 the side channels, 4 the blended window, 0xFF none.
typedef U8 BEAM;

typedef enum : U8 {
  TXMODE_TIMER = 1,
  TXMODE_DMA = 2,
  TXMODE_NONE = 3,  // not transmitted
} TXMODE;

typedef enum : U8 {
  RXFREQ_UNUSED = 0,
  RXFREQ_50KHZ = 1,
  RXFREQ_83KHZ = 2,
  RXFREQ_200KHZ = 3,
  RXFREQ_260KHZ = 4,
  RXFREQ_455KHZ = 5,
  RXFREQ_800KHZ = 6,
} RXFREQ;

constexpr U32 TX_PULSE_SIZE = 6;
constexpr U32 TX_SEQUENCE_SIZE = 31;
constexpr U32 MULTI_TX_SEQUENCES = 6;
constexpr U32 MULTI_TX_SIZE = 187;

// Byte offsets inside one sequence (pulses at 0, 6 and 12).
enum : U32 {
  TXSEQ_POWER0 = 18,
  TXSEQ_POWER1 = 19,
  TXSEQ_TX0_LEVEL = 20,
  TXSEQ_TX1_LEVEL = 21,
  TXSEQ_PING_RATE = 22,
  TXSEQ_SAMPLES = 23,
  TXSEQ_NOISE_SAMPLES = 25,
  TXSEQ_RX_FREQUENCY = 27,
  TXSEQ_BANDWIDTH = 28,
  TXSEQ_RX_ENABLE = 29,
  TXSEQ_TX_FAIL = 30,
};

// One sequence as the coprocessor sends and takes it: raw bytes, 16-bit fields low byte first.
typedef struct {
  U8 au8Bytes[TX_SEQUENCE_SIZE];
} TX_SEQUENCE_LE;

// The transmit command as sent: sequence n at byte 31n, the count at byte 186.
typedef struct {
  TX_SEQUENCE_LE MultiSonar[MULTI_TX_SEQUENCES];
  U8 u8NumberOfSequences;
} MULTI_TX;
static_assert(sizeof(MULTI_TX) == MULTI_TX_SIZE, "the transmit command is 187 bytes");

// A pulse and a sequence read back in host form.
typedef struct {
  U16 u16TxFreq;  // kHz, 0 in a pulse not in use
  U8 u8TxCycles;
  U8 eTxMode;
  U8 u8TxOutput;  // 1 down element, 2 and 4 one side element each, 6 both
  U8 bDutyCycle;  // 1 fifty percent
} TX_PULSE;

typedef struct {
  TX_PULSE TxPulse[3];
  U8 eTxPower0;
  U8 eTxPower1;
  U8 u8Tx0Level;
  U8 u8Tx1Level;
  U8 u8PingRate;
  U16 u16Samples;
  U16 u16NoiseSamples;
  U8 bRxFrequency;
  U8 bBandwidth;
  U8 bRxEnable;  // a clear bit enables a receive path
  U8 bTxFail;
} TX_SEQUENCE;

// The speed of sound in water, m/s (1463 fresh, 1500 salt); the water type sets it.
extern U32 g_u32SpeedOfSoundInWater;

// 26-microsecond samples of the echo from a depth: (truncate(metres x 2,000,000 / speed) + 13) / 26.
U32 S_COPROC_u32SamplesForDepth(float fDepthInMetres);

// Fills the six bytes of one pulse at pTxPulseLE.
void vSetTxPulse(U8 *pTxPulseLE, U16 u16FrequencykHz, U8 u8TxCycles, TXMODE eTxMode, U8 u8TxOutput,
                 BOOLEAN bFiftyPercentDutyCycle);
// The receiver tuning byte: 50 kHz on the first receiver bits 0 and 1, 83 kHz bit 0, 200 kHz on the second
// receiver bit 3; the third receiver is not encoded.
U8 S_COPROC_u8SetRxFrequencies(RXFREQ eR3Freq, RXFREQ eR2Freq, RXFREQ eR1Freq);
// Reads an echoed sequence (coprocessor order) into host form.
void S_COPROC_vCopyAndConvertEndianTxSequence(const TX_SEQUENCE_LE *pSrc, TX_SEQUENCE *pDest);

// The builders. The caller clears the whole block first; each writes only the sequences it uses and returns
// the block. u8BBTxPower is accepted and unused.
MULTI_TX *S_COPROC_vBuildTxSequenceForSingleDown(MULTI_TX *pMultiTxLE, U8 u8TxCycles, TXPOWER TxPower,
                                                 U8 u8Bandwidth, U16 u16NumberOfSamples, U16 u16TransmitFrequency,
                                                 U8 u8Receiver, BOOLEAN bNoTransmit, U8 u8BBTxPower);
MULTI_TX *S_COPROC_vBuildTxSequenceForSingleDownAltShortTransmit(MULTI_TX *pMultiTxLE, U8 u8TxCycles,
                                                                 TXPOWER TxPower, U8 u8Bandwidth,
                                                                 U16 u16NumberOfSamples, U16 u16TransmitFrequency,
                                                                 U8 u8Receiver, BOOLEAN bNoTransmit,
                                                                 U8 u8BBTxPower, BOOLEAN bEnableShortTransmit);
MULTI_TX *S_COPROC_vBuildTxSequenceForShortTransmit(MULTI_TX *pMultiTxLE, U8 u8TxCycles, TXPOWER TxPower,
                                                    U8 u8Bandwidth, U16 u16NumberOfSamples,
                                                    U16 u16TransmitFrequency);
MULTI_TX *S_COPROC_vBuildTxSequence200kHzParLF(MULTI_TX *pMultiTxLE, U8 u8TxCycles200kHz, U8 u8Bandwidth200kHz,
                                               U16 u16NumberOfSamples200kHz, U16 u16Frequency200kHz,
                                               TXPOWER TxPower200KHz, U8 u8TxCyclesLF, U8 u8BandwidthLF,
                                               U16 u16NumberOfSamplesLF, U16 u16FrequencyLFkHz, TXPOWER TxPowerLF,
                                               BOOLEAN bNoTransmit, U8 u8BBTxPower);
MULTI_TX *S_COPROC_vBuildTxSequence200kHzParLFAltShortTransmit(
    MULTI_TX *pMultiTxLE, U8 u8TxCycles200kHz, U8 u8Bandwidth200kHz, U16 u16NumberOfSamples200kHz,
    U16 u16Frequency200kHz, TXPOWER TxPower200KHz, U8 u8TxCyclesLF, U8 u8BandwidthLF, U16 u16NumberOfSamplesLF,
    U16 u16FrequencyLFkHz, TXPOWER TxPowerLF, BOOLEAN bNoTransmit, U8 u8BBTxPower, BOOLEAN bEnableShortTransmit);
MULTI_TX *S_COPROC_vBuildTxSequence200kHzAltShortTransmit(MULTI_TX *pMultiTxLE, U8 u8TxCycles200kHz,
                                                          TXPOWER TxPower200kHz, U8 u8Bandwidth200kHz,
                                                          U16 u16NumberOfSamples200kHz,
                                                          U16 u16TransmitFrequency200kHz, BOOLEAN bNoTransmit,
                                                          BOOLEAN bEnableShortTransmit);
MULTI_TX *S_COPROC_vBuildTxSequence200kHzAltLFAltShortTransmit(
    MULTI_TX *pMultiTxLE, U8 u8TxCycles200kHz, TXPOWER TxPower200kHz, U8 u8Bandwidth200kHz,
    U16 u16NumberOfSamples200kHz, U16 u16TransmitFrequency200kHz, U8 u8TxCyclesLF, TXPOWER TxPowerLF,
    U8 u8BandwidthLF, U16 u16NumberOfSamplesLF, U16 u16TransmitFrequencyLFkHz, BOOLEAN bNoTransmit,
    U8 u8BBTxPower, BOOLEAN bEnableShortTransmit);
MULTI_TX *S_COPROC_vBuildTxSequence200kHzAltLFAltShortTx(
    MULTI_TX *pMultiTxLE, U8 u8TxCycles200kHz, TXPOWER TxPower200kHz, U8 u8Bandwidth200kHz,
    U16 u16NumberOfSamples200kHz, U16 u16TransmitFrequency200kHz, U8 u8TxCyclesLF, TXPOWER TxPowerLF,
    U8 u8BandwidthLF, U16 u16NumberOfSamplesLF, U16 u16TransmitFrequencyLFkHz, BOOLEAN bNoTransmit,
    BOOLEAN bEnableShortTransmit);
MULTI_TX *S_COPROC_vBuildTxSequence200kHzParHighFrequency(
    MULTI_TX *pMultiTxLE, U8 u8TxCycles200kHz, TXPOWER TxPower200kHz, U8 u8Bandwidth200kHz,
    U16 u16NumberOfSamples200kHz, U16 u16TransmitFrequency200kHz, U8 u8TxCycles455kHz, TXPOWER TxPower455kHz,
    U8 u8Bandwidth455kHz, U16 u16NumberOfSamples455kHz, U16 u16HighFrequencykHz, BOOLEAN bNoTransmit);
MULTI_TX *S_COPROC_vBuildTxSequence200kHzParHighFrequencyAltShortTransmit(
    MULTI_TX *pMultiTxLE, U8 u8TxCycles200kHz, TXPOWER TxPower200kHz, U8 u8Bandwidth200kHz,
    U16 u16NumberOfSamples200kHz, U16 u16TransmitFrequency200kHz, U8 u8TxCycles455kHz, TXPOWER TxPower455kHz,
    U8 u8Bandwidth455kHz, U16 u16NumberOfSamples455kHz, U16 u16HighFrequencykHz, BOOLEAN bNoTransmit,
    BOOLEAN bEnableShortTransmit);
MULTI_TX *S_COPROC_vBuildTxSequence200kHzAltLFParHighFrequency(
    MULTI_TX *pMultiTxLE, U8 u8TxCycles200kHz, TXPOWER TxPower200kHz, U8 u8Bandwidth200kHz,
    U16 u16NumberOfSamples200kHz, U16 u16TransmitFrequency200kHz, U8 u8TxCyclesLF, TXPOWER TxPowerLF,
    U8 u8BandwidthLF, U16 u16NumberOfSamplesLF, U16 u16TransmitFrequencyLFkHz, U8 u8TxCycles455kHz,
    TXPOWER TxPower455kHz, U8 u8Bandwidth455kHz, U16 u16NumberOfSamples455kHz, U16 u16HighFrequencykHz,
    BOOLEAN bNoTransmit);
MULTI_TX *S_COPROC_vBuildTxSequence200kHzAltLFParHighFrequencyAltShortTx(
    MULTI_TX *pMultiTxLE, U8 u8TxCycles200kHz, TXPOWER TxPower200kHz, U8 u8Bandwidth200kHz,
    U16 u16NumberOfSamples200kHz, U16 u16TransmitFrequency200kHz, U8 u8TxCyclesLF, TXPOWER TxPowerLF,
    U8 u8BandwidthLF, U16 u16NumberOfSamplesLF, U16 u16TransmitFrequencyLFkHz, U8 u8TxCycles455kHz,
    TXPOWER TxPower455kHz, U8 u8Bandwidth455kHz, U16 u16NumberOfSamples455kHz, U16 u16HighFrequencykHz,
    BOOLEAN bNoTransmit, BOOLEAN bEnableShortTransmit);
// Both side elements; Beam is not used.
MULTI_TX *S_COPROC_vBuildSingleBeamSSPing455kHzLR(MULTI_TX *pMultiTxLE, BEAM Beam, U8 u8TxCycles, TXPOWER TxPower,
                                                  U8 u8Bandwidth, U16 u16NumberOfSamples, U16 u16Frequency,
                                                  BOOLEAN bNoTransmit);
// One side element (beam 2 the first, any other the second); always transmits.
MULTI_TX *S_COPROC_vBuildSingleBeamMSSPing455kHzLR(MULTI_TX *pMultiTxLE, BEAM Beam, U8 u8TxCycles, TXPOWER TxPower,
                                                   U8 u8Bandwidth, U16 u16NumberOfSamples, U16 u16Frequency);
