// The coprocessor's transmit commands against the golden table of tx_blocks.py, the receiver codes and the
// receive-block demultiplexer (also on blocks of the simulator's device model).
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "kernel/options.h"
#include "platform/coproc.h"
#include "platform/host/sonar_model.h"
#include "settings/database.h"
#include "sonar/coproc_tx.h"
#include "sonar/demultiplex.h"

namespace {

using Args = std::vector<int>;

U8 u8(int n) { return static_cast<U8>(n); }
U16 u16(int n) { return static_cast<U16>(n); }
TXPOWER pw(int n) { return static_cast<TXPOWER>(n); }

// The builders by name, called with the table's arguments in their order.
const std::map<std::string, std::function<void(MULTI_TX *, const Args &)>> &builders() {
  static const std::map<std::string, std::function<void(MULTI_TX *, const Args &)>> s_builders = {
      {"S_COPROC_vBuildTxSequenceForSingleDown",
       [](MULTI_TX *p, const Args &a) {
         S_COPROC_vBuildTxSequenceForSingleDown(p, u8(a[0]), pw(a[1]), u8(a[2]), u16(a[3]), u16(a[4]), u8(a[5]),
                                                u8(a[6]), u8(a[7]));
       }},
      {"S_COPROC_vBuildTxSequenceForSingleDownAltShortTransmit",
       [](MULTI_TX *p, const Args &a) {
         S_COPROC_vBuildTxSequenceForSingleDownAltShortTransmit(p, u8(a[0]), pw(a[1]), u8(a[2]), u16(a[3]),
                                                                u16(a[4]), u8(a[5]), u8(a[6]), u8(a[7]), u8(a[8]));
       }},
      {"S_COPROC_vBuildTxSequenceForShortTransmit",
       [](MULTI_TX *p, const Args &a) {
         S_COPROC_vBuildTxSequenceForShortTransmit(p, u8(a[0]), pw(a[1]), u8(a[2]), u16(a[3]), u16(a[4]));
       }},
      {"S_COPROC_vBuildTxSequence200kHzParLF",
       [](MULTI_TX *p, const Args &a) {
         S_COPROC_vBuildTxSequence200kHzParLF(p, u8(a[0]), u8(a[1]), u16(a[2]), u16(a[3]), pw(a[4]), u8(a[5]),
                                              u8(a[6]), u16(a[7]), u16(a[8]), pw(a[9]), u8(a[10]), u8(a[11]));
       }},
      {"S_COPROC_vBuildTxSequence200kHzParLFAltShortTransmit",
       [](MULTI_TX *p, const Args &a) {
         S_COPROC_vBuildTxSequence200kHzParLFAltShortTransmit(p, u8(a[0]), u8(a[1]), u16(a[2]), u16(a[3]), pw(a[4]),
                                                              u8(a[5]), u8(a[6]), u16(a[7]), u16(a[8]), pw(a[9]),
                                                              u8(a[10]), u8(a[11]), u8(a[12]));
       }},
      {"S_COPROC_vBuildTxSequence200kHzAltShortTransmit",
       [](MULTI_TX *p, const Args &a) {
         S_COPROC_vBuildTxSequence200kHzAltShortTransmit(p, u8(a[0]), pw(a[1]), u8(a[2]), u16(a[3]), u16(a[4]),
                                                         u8(a[5]), u8(a[6]));
       }},
      {"S_COPROC_vBuildTxSequence200kHzAltLFAltShortTransmit",
       [](MULTI_TX *p, const Args &a) {
         S_COPROC_vBuildTxSequence200kHzAltLFAltShortTransmit(p, u8(a[0]), pw(a[1]), u8(a[2]), u16(a[3]), u16(a[4]),
                                                              u8(a[5]), pw(a[6]), u8(a[7]), u16(a[8]), u16(a[9]),
                                                              u8(a[10]), u8(a[11]), u8(a[12]));
       }},
      {"S_COPROC_vBuildTxSequence200kHzAltLFAltShortTx",
       [](MULTI_TX *p, const Args &a) {
         S_COPROC_vBuildTxSequence200kHzAltLFAltShortTx(p, u8(a[0]), pw(a[1]), u8(a[2]), u16(a[3]), u16(a[4]),
                                                        u8(a[5]), pw(a[6]), u8(a[7]), u16(a[8]), u16(a[9]),
                                                        u8(a[10]), u8(a[11]));
       }},
      {"S_COPROC_vBuildTxSequence200kHzParHighFrequency",
       [](MULTI_TX *p, const Args &a) {
         S_COPROC_vBuildTxSequence200kHzParHighFrequency(p, u8(a[0]), pw(a[1]), u8(a[2]), u16(a[3]), u16(a[4]),
                                                         u8(a[5]), pw(a[6]), u8(a[7]), u16(a[8]), u16(a[9]),
                                                         u8(a[10]));
       }},
      {"S_COPROC_vBuildTxSequence200kHzParHighFrequencyAltShortTransmit",
       [](MULTI_TX *p, const Args &a) {
         S_COPROC_vBuildTxSequence200kHzParHighFrequencyAltShortTransmit(
             p, u8(a[0]), pw(a[1]), u8(a[2]), u16(a[3]), u16(a[4]), u8(a[5]), pw(a[6]), u8(a[7]), u16(a[8]),
             u16(a[9]), u8(a[10]), u8(a[11]));
       }},
      {"S_COPROC_vBuildTxSequence200kHzAltLFParHighFrequency",
       [](MULTI_TX *p, const Args &a) {
         S_COPROC_vBuildTxSequence200kHzAltLFParHighFrequency(
             p, u8(a[0]), pw(a[1]), u8(a[2]), u16(a[3]), u16(a[4]), u8(a[5]), pw(a[6]), u8(a[7]), u16(a[8]),
             u16(a[9]), u8(a[10]), pw(a[11]), u8(a[12]), u16(a[13]), u16(a[14]), u8(a[15]));
       }},
      {"S_COPROC_vBuildTxSequence200kHzAltLFParHighFrequencyAltShortTx",
       [](MULTI_TX *p, const Args &a) {
         S_COPROC_vBuildTxSequence200kHzAltLFParHighFrequencyAltShortTx(
             p, u8(a[0]), pw(a[1]), u8(a[2]), u16(a[3]), u16(a[4]), u8(a[5]), pw(a[6]), u8(a[7]), u16(a[8]),
             u16(a[9]), u8(a[10]), pw(a[11]), u8(a[12]), u16(a[13]), u16(a[14]), u8(a[15]), u8(a[16]));
       }},
      {"S_COPROC_vBuildSingleBeamSSPing455kHzLR",
       [](MULTI_TX *p, const Args &a) {
         S_COPROC_vBuildSingleBeamSSPing455kHzLR(p, u8(a[0]), u8(a[1]), pw(a[2]), u8(a[3]), u16(a[4]), u16(a[5]),
                                                 u8(a[6]));
       }},
      {"S_COPROC_vBuildSingleBeamMSSPing455kHzLR",
       [](MULTI_TX *p, const Args &a) {
         S_COPROC_vBuildSingleBeamMSSPing455kHzLR(p, u8(a[0]), u8(a[1]), pw(a[2]), u8(a[3]), u16(a[4]), u16(a[5]));
       }},
  };
  return s_builders;
}

struct GoldenCase {
  std::string sBuilder;
  U32 u32Speed = 0;
  Args args;
  std::vector<U8> block;
};

std::vector<GoldenCase> goldenTable() {
  std::vector<GoldenCase> cases;
  std::ifstream in(std::string(CORVAN_TEST_DATA) + "/tx_blocks.txt");
  for (std::string sLine; std::getline(in, sLine);) {
    std::istringstream words(sLine);
    GoldenCase c;
    words >> c.sBuilder >> c.u32Speed;
    std::vector<std::string> rest;
    for (std::string sWord; words >> sWord;) rest.push_back(sWord);
    if (rest.empty()) continue;
    for (size_t i = 0; i + 1 < rest.size(); ++i) c.args.push_back(std::stoi(rest[i]));
    const std::string &sHex = rest.back();
    for (size_t i = 0; i + 1 < sHex.size(); i += 2) c.block.push_back(static_cast<U8>(std::stoi(sHex.substr(i, 2), nullptr, 16)));
    cases.push_back(c);
  }
  return cases;
}

std::vector<U8> bytes(const MULTI_TX &tx) {
  const U8 *pu8 = reinterpret_cast<const U8 *>(&tx);
  return {pu8, pu8 + MULTI_TX_SIZE};
}

U16 le16(const std::vector<U8> &b, size_t at) { return static_cast<U16>(b[at] | b[at + 1] << 8); }

class CoprocTx : public ::testing::Test {
 protected:
  void TearDown() override { g_u32SpeedOfSoundInWater = 1463; }
};

TEST_F(CoprocTx, EveryBuilderWritesTheGoldenBlockOfItsArguments) {
  const std::vector<GoldenCase> cases = goldenTable();
  ASSERT_GE(cases.size(), 40u) << "data/tx_blocks.txt missing or short";
  std::map<std::string, int> used;
  for (const GoldenCase &c : cases) {
    ASSERT_EQ(builders().count(c.sBuilder), 1u) << c.sBuilder;
    ASSERT_EQ(c.block.size(), MULTI_TX_SIZE) << c.sBuilder;
    g_u32SpeedOfSoundInWater = c.u32Speed;
    MULTI_TX tx = {};
    builders().at(c.sBuilder)(&tx, c.args);
    EXPECT_EQ(bytes(tx), c.block) << c.sBuilder << " at " << c.u32Speed << " m/s";
    ++used[c.sBuilder];
  }
  EXPECT_EQ(used.size(), builders().size()) << "every builder has golden blocks";
}

// Single cases of the family, read field by field.
TEST_F(CoprocTx, ReceiverLayoutsFollowFrequencyAndReceiver) {
  const struct {
    U16 u16Freq;
    U8 u8Receiver;
    U8 u8Bandwidth;
    U8 u8RxFreq, u8Bw, u8Enable;
  } cases[] = {
      {150, 1, 2, 1, 2, 0xFD},        // 150 kHz is not above 150: first receiver, 83 kHz code
      {151, 1, 6, 8, 2 << 2, 0xF5},   // second receiver, bandwidth masked then shifted
      {200, 0, 7, 0, 3, 0xFD},        // without a receiver request: first receiver, code 0
      {59, 1, 1, 3, 1, 0xFD},         // 50 kHz below 60 kHz
      {60, 0, 1, 1, 1, 0xFD},         // 83 kHz from 60 kHz
  };
  for (const auto &c : cases) {
    MULTI_TX tx = {};
    S_COPROC_vBuildTxSequenceForSingleDown(&tx, 10, TXPOWER_MED, c.u8Bandwidth, 1000, c.u16Freq, c.u8Receiver, FALSE,
                                           236);
    const std::vector<U8> b = bytes(tx);
    EXPECT_EQ(b[TXSEQ_RX_FREQUENCY], c.u8RxFreq) << c.u16Freq;
    EXPECT_EQ(b[TXSEQ_BANDWIDTH], c.u8Bw) << c.u16Freq;
    EXPECT_EQ(b[TXSEQ_RX_ENABLE], c.u8Enable) << c.u16Freq;
    EXPECT_EQ(b[186], 1);
  }
  // Parallel low beam: bandwidths 7 and 7 give 15; 59 kHz adds 50 kHz's code to the second receiver's 8.
  MULTI_TX tx = {};
  S_COPROC_vBuildTxSequence200kHzParLF(&tx, 12, 7, 100, 200, TXPOWER_HI, 8, 7, 300, 59, TXPOWER_LOW, FALSE, 236);
  const std::vector<U8> b = bytes(tx);
  EXPECT_EQ(b[TXSEQ_BANDWIDTH], 15);
  EXPECT_EQ(b[TXSEQ_RX_FREQUENCY], 11);
  EXPECT_EQ(le16(b, TXSEQ_SAMPLES), 300);  // the larger of the two counts
  EXPECT_EQ(b[TXSEQ_POWER0], TXPOWER_LOW);
  EXPECT_EQ(b[TXSEQ_POWER1], TXPOWER_HI);
}

TEST_F(CoprocTx, ShortTransmitCountsTwentyMetresAndKeepsTransmitting) {
  for (const auto &c : {std::pair<U32, U16>{1463, 1052}, {1500, 1026}}) {
    g_u32SpeedOfSoundInWater = c.first;
    MULTI_TX tx = {};
    S_COPROC_vBuildTxSequence200kHzAltLFAltShortTx(&tx, 12, TXPOWER_HI, 1, 5000, 200, 8, TXPOWER_MED, 2, 6000, 83,
                                                   TRUE, TRUE);
    const std::vector<U8> b = bytes(tx);
    EXPECT_EQ(b[186], 3);  // two data sequences and the short transmit
    for (size_t s = 0; s < 2; ++s) EXPECT_EQ(b[31 * s + 3], TXMODE_NONE) << s;
    const size_t at = 62;
    EXPECT_EQ(le16(b, at), 400);
    EXPECT_EQ(b[at + 3], TXMODE_DMA);
    EXPECT_EQ(le16(b, at + TXSEQ_SAMPLES), c.second) << c.first;
    EXPECT_EQ(b[at + TXSEQ_POWER0], TXPOWER_LOW);
    EXPECT_EQ(b[at + TXSEQ_RX_ENABLE], 0xFD);
    // Nothing past the sequences in use.
    for (size_t i = 93; i < 186; ++i) ASSERT_EQ(b[i], 0) << i;
  }
}

TEST_F(CoprocTx, ReceiverFrequencyCodesAreOnlyTheSixValues) {
  for (int r3 = 0; r3 <= RXFREQ_800KHZ; ++r3) {
    for (int r2 = 0; r2 <= RXFREQ_800KHZ; ++r2) {
      for (int r1 = 0; r1 <= RXFREQ_800KHZ; ++r1) {
        const U8 u8Code = S_COPROC_u8SetRxFrequencies(static_cast<RXFREQ>(r3), static_cast<RXFREQ>(r2),
                                                      static_cast<RXFREQ>(r1));
        const U8 u8Expected = static_cast<U8>((r1 == RXFREQ_50KHZ ? 3 : r1 == RXFREQ_83KHZ ? 1 : 0) |
                                              (r2 == RXFREQ_200KHZ ? 8 : 0));
        EXPECT_EQ(u8Code, u8Expected) << r3 << r2 << r1;
      }
    }
  }
}

TEST_F(CoprocTx, SampleCountTruncatesThenRoundsToTheNearestSample) {
  const struct {
    float fMetres;
    U32 u32Speed;
    U32 u32Samples;
  } cases[] = {{20.0f, 1463, 1052}, {20.0f, 1500, 1026}, {0.0f, 1463, 0}, {10.0f, 1500, 513},
               // 0.01 m is 13.67 us: truncated to 13, + 13 = 26 gives one sample; the untruncated sum would too
               {0.01f, 1463, 1},
               // 0.0095 m: 12.98 us truncates to 12, (12 + 13) / 26 = 0 where rounding 12.98 would give 1
               {0.0095f, 1463, 0}};
  for (const auto &c : cases) {
    g_u32SpeedOfSoundInWater = c.u32Speed;
    EXPECT_EQ(S_COPROC_u32SamplesForDepth(c.fMetres), c.u32Samples) << c.fMetres << " m at " << c.u32Speed;
  }
}

TEST_F(CoprocTx, EchoedSequenceReadsBackInHostForm) {
  MULTI_TX tx = {};
  S_COPROC_vBuildTxSequence200kHzParHighFrequency(&tx, 12, TXPOWER_MED, 1, 0x1234, 200, 40, TXPOWER_HI, 2, 0x2345,
                                                  455, FALSE);
  TX_SEQUENCE seq;
  S_COPROC_vCopyAndConvertEndianTxSequence(&tx.MultiSonar[0], &seq);
  EXPECT_EQ(seq.TxPulse[0].u16TxFreq, 455);
  EXPECT_EQ(seq.TxPulse[0].u8TxOutput, 6);
  EXPECT_EQ(seq.TxPulse[0].bDutyCycle, 0);
  EXPECT_EQ(seq.TxPulse[1].u16TxFreq, 200);
  EXPECT_EQ(seq.TxPulse[1].eTxMode, TXMODE_TIMER);
  EXPECT_EQ(seq.TxPulse[2].eTxMode, TXMODE_NONE);
  EXPECT_EQ(seq.u16Samples, 0x2345);
  EXPECT_EQ(seq.u16NoiseSamples, 50);
  EXPECT_EQ(seq.eTxPower0, TXPOWER_MED);
  EXPECT_EQ(seq.eTxPower1, TXPOWER_HI);
  EXPECT_EQ(seq.bBandwidth, 1 | 2 << 2 | 2 << 4);
  EXPECT_EQ(seq.bRxEnable, 0xE9);
}

// A receive block of known samples: channel c sample k is 100c + k (mod 256).
std::vector<U8> interleaved(U32 u32Samples) {
  std::vector<U8> block(S_DEMULTIPLEX_SAMPLE_START + 3 * u32Samples, 0xEE);
  for (U32 k = 0; k < u32Samples; ++k) {
    for (U32 c = 0; c < 3; ++c) block[35 + 3 * k + c] = static_cast<U8>(100 * c + k);
  }
  return block;
}

TEST_F(CoprocTx, DemultiplexerTakesOneChannelAndSkipsWhatIsNotAsked) {
  const std::vector<U8> block = interleaved(20);
  TX_SEQUENCE_LE echoed;
  const U8 *pu8Start = nullptr;
  EXPECT_TRUE(S_DEMULTIPLEX_bExtractTxSequence(block.data(), &echoed, &pu8Start));
  EXPECT_EQ(pu8Start, block.data() + 35);
  EXPECT_EQ(std::vector<U8>(echoed.au8Bytes, echoed.au8Bytes + 31), std::vector<U8>(block.begin() + 4, block.begin() + 35));

  std::vector<U8> noise(8, 0x55), data(8, 0x55);
  // Channel 1, three noise samples and no data: only the noise buffer is written.
  S_DEMULTIPLEX_vGetExtractRxData(pu8Start, 1, 3, 0, noise.data(), data.data());
  EXPECT_EQ(noise, (std::vector<U8>{100, 101, 102, 0x55, 0x55, 0x55, 0x55, 0x55}));
  EXPECT_EQ(data, std::vector<U8>(8, 0x55));
  // No noise samples: channel 1's first data sample is byte 36 of the block.
  S_DEMULTIPLEX_vGetExtractRxData(pu8Start, 1, 0, 2, nullptr, data.data());
  EXPECT_EQ(data[0], block[36]);
  EXPECT_EQ(data[1], block[39]);
  // Without a noise buffer the data still start after the noise samples.
  S_DEMULTIPLEX_vGetExtractRxData(pu8Start, 2, 4, 3, nullptr, data.data());
  EXPECT_EQ((std::vector<U8>(data.begin(), data.begin() + 3)), (std::vector<U8>{204, 205, 206}));
}

TEST_F(CoprocTx, ModelBlockSplitsIntoTheSamplesOfEachChannel) {
  opt_noadc = 1;
  H_DATABASE_vInit();
  HOST_SONAR_vReset();
  HOST_SONAR_vSetBottom(1000, 200);  // 10 m at the model's 1500 m/s: data sample 512
  H_COPROC_vInitialize();
  ASSERT_TRUE(H_COPROC_bCoprocessorReady());
  constexpr U16 kData = 700;
  for (const U8 u8Enable : {U8{0xFD}, U8{0xE9}}) {
    MULTI_TX tx = {};
    if (u8Enable == 0xFD) {
      S_COPROC_vBuildTxSequenceForSingleDown(&tx, 12, TXPOWER_MED, 1, kData, 200, 0, FALSE, 236);
    } else {
      S_COPROC_vBuildTxSequence200kHzParHighFrequency(&tx, 12, TXPOWER_MED, 1, kData, 200, 40, TXPOWER_HI, 2, kData,
                                                      455, FALSE);
    }
    ASSERT_EQ(H_COPROC_u32Transfer(reinterpret_cast<U8 *>(&tx), MULTI_TX_SIZE, SEND_TO_COPROC), MULTI_TX_SIZE);
    std::vector<U8> block(S_DEMULTIPLEX_RECEIVE_BLOCK_SIZE);
    ASSERT_EQ(H_COPROC_u32Transfer(block.data(), static_cast<U32>(block.size()), RECEIVE_FROM_COPROC),
              35u + 3 * (50 + kData));
    TX_SEQUENCE_LE echoed;
    const U8 *pu8Start = nullptr;
    S_DEMULTIPLEX_bExtractTxSequence(block.data(), &echoed, &pu8Start);
    EXPECT_EQ(std::vector<U8>(echoed.au8Bytes, echoed.au8Bytes + 31),
              std::vector<U8>(tx.MultiSonar[0].au8Bytes, tx.MultiSonar[0].au8Bytes + 31));
    TX_SEQUENCE seq;
    S_COPROC_vCopyAndConvertEndianTxSequence(&echoed, &seq);
    for (U8 u8Channel = 0; u8Channel < 3; ++u8Channel) {
      std::vector<U8> noise(seq.u16NoiseSamples), data(seq.u16Samples);
      S_DEMULTIPLEX_vGetExtractRxData(pu8Start, u8Channel, seq.u16NoiseSamples, seq.u16Samples, noise.data(),
                                      data.data());
      const bool bEnabled = u8Channel == 0 || u8Enable == 0xE9;
      if (!bEnabled) {
        EXPECT_EQ(noise, std::vector<U8>(noise.size(), 0)) << int(u8Channel);
        EXPECT_EQ(data, std::vector<U8>(data.size(), 0)) << int(u8Channel);
        continue;
      }
      // Noise around 20; the ring-down, the water column and the bottom echo in the data.
      for (U8 s : noise) ASSERT_NEAR(s, 20, 4) << int(u8Channel);
      for (int k = 0; k < 40; ++k) ASSERT_NEAR(data[k], 200, 4) << int(u8Channel) << " " << k;
      for (int k = 40; k < 512; ++k) ASSERT_NEAR(data[k], 20, 4) << int(u8Channel) << " " << k;
      for (int k = 512; k < 536; ++k) ASSERT_NEAR(data[k], 200 - 4 * (k - 512), 4) << int(u8Channel) << " " << k;
      for (int k = 536; k < kData; ++k) ASSERT_NEAR(data[k], 20, 4) << int(u8Channel) << " " << k;
    }
  }
}

}  // namespace
