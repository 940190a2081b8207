// The transducer test at start-up: against a scripted coprocessor (each attempt's noise and echo levels),
// then end to end against the simulator's device model.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "kernel/options.h"
#include "platform/coproc.h"
#include "platform/host/sonar_model.h"
#include "settings/database.h"
#include "sonar/coproc_tx.h"
#include "sonar/detect.h"

namespace {

// One scripted receive: levels of channel 0's noise and echo samples, and an 'AD02' reading to publish first
// (0: none).
struct Read {
  int nNoise = 20;
  int nEcho = 20;
  U32 u32Adc02 = 0;
  bool bFail = false;
};

struct Script {
  std::vector<Read> attempts;  // the reads after the emptying read and the read after the send
  std::vector<U8> sent;
  U32 u32Receives = 0;
  U32 u32Sends = 0;
};
Script s_script;

U16 le16(const U8 *pu8) { return static_cast<U16>(pu8[0] | pu8[1] << 8); }

U32 scriptedTransfer(U8 *pau8Data, U32 u32Size, COPROC_DATA_DIRECTION eDirection) {
  if (eDirection == SEND_TO_COPROC) {
    s_script.sent.assign(pau8Data, pau8Data + u32Size);
    ++s_script.u32Sends;
    return u32Size;
  }
  const U32 u32Index = s_script.u32Receives++;
  Read read;
  if (u32Index >= 2 && u32Index - 2 < s_script.attempts.size()) read = s_script.attempts[u32Index - 2];
  if (read.u32Adc02 != 0) H_DATABASE_bUpdateValueU32(FCID("AD02"), read.u32Adc02, P_NORMAL);
  if (read.bFail) return 0xFFFFFFFF;
  std::fill_n(pau8Data, 35, U8{0});
  if (s_script.sent.size() >= 31) std::copy_n(s_script.sent.begin(), 31, pau8Data + 4);
  const U32 u32Noise = le16(pau8Data + 4 + 25);
  const U32 u32Samples = le16(pau8Data + 4 + 23);
  for (U32 k = 0; k < u32Noise + u32Samples; ++k) {
    pau8Data[35 + 3 * k] = static_cast<U8>(k < u32Noise ? read.nNoise : read.nEcho);
    pau8Data[35 + 3 * k + 1] = 0xAA;  // other channels: never taken
    pau8Data[35 + 3 * k + 2] = 0xAA;
  }
  return std::min(u32Size, 35 + 3 * (u32Noise + u32Samples));
}

S32 s32(const char (&acKey)[5]) {
  S32 s32Value = -999;
  H_DATABASE_bFetchS32(FCID(acKey), &s32Value, nullptr, nullptr);
  return s32Value;
}

size_t count(const std::string &sText, const std::string &sPart) {
  size_t n = 0;
  for (size_t at = sText.find(sPart); at != std::string::npos; at = sText.find(sPart, at + 1)) ++n;
  return n;
}

class Detect : public ::testing::Test {
 protected:
  void SetUp() override {
    H_DATABASE_vInit();
    opt_fake_transducer = 0;
    opt_noadc = 1;  // only the tests publish 'AD02'
    s_script = Script();
    S_DETECT_vSetTransferForTest(scriptedTransfer);
  }
  void TearDown() override { S_DETECT_vSetTransferForTest(nullptr); }
  // Runs the test with one read per attempt; returns the answer and the log.
  static std::pair<BOOLEAN, std::string> run(const std::vector<Read> &attempts) {
    s_script.attempts = attempts;
    testing::internal::CaptureStdout();
    const BOOLEAN bConnected = S_DETECT_bTransducerConnected();
    return {bConnected, testing::internal::GetCapturedStdout()};
  }
  static std::vector<Read> deltas(const std::vector<int> &list) {
    std::vector<Read> reads;
    for (int n : list) reads.push_back({100, 100 + n, 0, false});
    return reads;
  }
};

TEST_F(Detect, SendsTheFixedTestSequence) {
  run(deltas({100, 100, 100, 100, 100, 100}));
  std::vector<U8> expected(187, 0);
  const U8 au8Sequence[31] = {200, 0, 26, 2, 2, 0,  0, 0, 0, 3, 0, 1, 0, 0, 0, 3,
                              0,   1, 1,  1, 0, 0, 0, 32, 0, 0, 1, 1, 1, 0xFD, 0};
  std::copy(au8Sequence, au8Sequence + 31, expected.begin());
  expected[186] = 1;
  EXPECT_EQ(s_script.sent, expected);
  EXPECT_EQ(s_script.u32Sends, 1u);
}

TEST_F(Detect, SixDetectionsEndTheTestAndTheMarginDecides) {
  struct Case {
    const char *pcName;
    S32 s32Margin;  // -1: 'SDET' missing
    std::vector<int> deltas;
    BOOLEAN bConnected;
    U32 u32Attempts;
  };
  const Case cases[] = {
      {"six in the first six", -1, {91, 91, 91, 91, 91, 91, 91, 91, 91, 91}, TRUE, 6},
      {"one count short of the margin", -1, {90, 90, 90, 90, 90, 90, 90, 90, 90, 90}, FALSE, 10},
      {"five in ten", 0, {100, 0, 100, 0, 100, 0, 100, 0, 100, 0}, FALSE, 10},
      {"the sixth at the last attempt", 32, {100, 0, 100, 0, 100, 0, 100, 0, 100, 100}, TRUE, 10},
      {"echo below the noise", -1, {-100, -100, -100, -100, -100, -100, -100, -100, -100, -100}, FALSE, 10},
      {"20 dB margin is 56 counts", 20, {56, 56, 55, 56, 56, 56, 56, 0, 0, 0}, TRUE, 7},
      {"20 dB margin, 55 counts", 20, {55, 55, 55, 55, 55, 55, 55, 55, 55, 55}, FALSE, 10},
  };
  for (const Case &c : cases) {
    H_DATABASE_vInit();
    s_script = Script();
    if (c.s32Margin >= 0) H_DATABASE_bUpdateValueU32(FCID("SDET"), static_cast<U32>(c.s32Margin), P_NORMAL);
    const auto [bConnected, sLog] = run(deltas(c.deltas));
    EXPECT_EQ(bConnected, c.bConnected) << c.pcName;
    EXPECT_EQ(s_script.u32Receives, 2 + c.u32Attempts) << c.pcName;
    EXPECT_EQ(count(sLog, "ping_energy"), c.u32Attempts) << c.pcName;
    EXPECT_NE(sLog.find("attempt #" + std::to_string(c.u32Attempts - 1) + " ping_energy"), std::string::npos)
        << c.pcName;
    // A missing or zero margin becomes 32 dB and is kept.
    EXPECT_EQ(s32("SDET"), c.s32Margin > 0 ? c.s32Margin : 32) << c.pcName;
  }
}

TEST_F(Detect, EachOfTheFirstFiveAttemptsPublishesItsDifferenceInDecibels) {
  const auto [bConnected, sLog] = run(deltas({100, -100, 0, 155, 3, 100, 100, 100, 100, 100}));
  EXPECT_TRUE(bConnected);
  EXPECT_EQ(s32("DET1"), 35);   // 100 x 90 / 256
  EXPECT_EQ(s32("DET2"), -35);  // rounded towards zero
  EXPECT_EQ(s32("DET3"), 0);
  EXPECT_EQ(s32("DET4"), 54);
  EXPECT_EQ(s32("DET5"), 1);
  EXPECT_NE(sLog.find("attempt #0 ping_energy 200 noise measure 100 calc value 35"), std::string::npos) << sLog;
  EXPECT_NE(sLog.find("attempt #1 ping_energy 0 noise measure 100 calc value -35"), std::string::npos) << sLog;
  EXPECT_NE(sLog.find("attempt #3 ping_energy 255 noise measure 100 calc value 54"), std::string::npos) << sLog;
}

TEST_F(Detect, TransducerLineAnswersBeforeAnyAttempt) {
  // Connected line before the first attempt: TRUE at once, the keys written 0 before.
  auto [bConnected, sLog] = run({{20, 20, 0x7D00, false}});
  EXPECT_TRUE(bConnected);
  EXPECT_EQ(s_script.u32Receives, 3u);
  EXPECT_EQ(count(sLog, "ping_energy"), 0u);
  EXPECT_EQ(s32("DET1"), 0);
  EXPECT_EQ(s32("DET5"), 0);
  // An open line (0xFD00 and above) lets the echo test run; a line read connected later ends it there.
  H_DATABASE_vInit();
  s_script = Script();
  std::tie(bConnected, sLog) = run({{20, 20, 0xFD00, false}, {20, 20, 0, false}, {20, 20, 0xFCFF, false}});
  EXPECT_TRUE(bConnected);
  EXPECT_EQ(count(sLog, "ping_energy"), 2u);
  EXPECT_EQ(s_script.u32Receives, 5u);
}

TEST_F(Detect, NoPingForAFakeOrAConfiguredTransducer) {
  opt_fake_transducer = 1;
  EXPECT_FALSE(run(deltas({100, 100, 100, 100, 100, 100})).first);
  EXPECT_EQ(s_script.u32Receives + s_script.u32Sends, 0u);
  opt_fake_transducer = 0;
  // A transducer other than the factory default counts as connected.
  H_DATABASE_bUpdateValueU32(FCID("SSTS"), 2, P_NORMAL);
  EXPECT_TRUE(run({}).first);
  H_DATABASE_bUpdateValueU32(FCID("SSTD"), 2, P_NORMAL);
  EXPECT_FALSE(run({}).first);  // the default one is tested: no echo, no transducer
  EXPECT_EQ(s_script.u32Receives, 12u);
}

TEST_F(Detect, FailedReadsCarryNoSamples) {
  std::vector<Read> reads(10, Read{20, 200, 0, true});
  const auto [bConnected, sLog] = run(reads);
  EXPECT_FALSE(bConnected);
  EXPECT_EQ(count(sLog, "holds no test samples"), 10u);
  EXPECT_EQ(count(sLog, "ping_energy 0 noise measure 0 calc value 0"), 10u);
}

TEST_F(Detect, SimulatedCoprocessorWithAndWithoutTransducer) {
  S_DETECT_vSetTransferForTest(nullptr);
  HOST_SONAR_vReset();
  for (const bool bTransducer : {true, false}) {
    H_DATABASE_vInit();
    HOST_SONAR_vSetTransducer(bTransducer);
    const U32 u32Before = HOST_SONAR_u32Reads();
    const auto [bConnected, sLog] = run({});
    EXPECT_EQ(bConnected, bTransducer ? TRUE : FALSE);
    EXPECT_EQ(HOST_SONAR_u32Reads() - u32Before, bTransducer ? 8u : 12u);
    EXPECT_EQ(count(sLog, "ping_energy"), bTransducer ? 6u : 10u) << sLog;
    const std::vector<U8> sent = HOST_SONAR_lastTransmitBlock();
    ASSERT_EQ(sent.size(), 187u);
    EXPECT_EQ(le16(&sent[23]), 32);
    EXPECT_EQ(le16(&sent[25]), 256);
    EXPECT_EQ(bTransducer ? s32("DET1") > 50 : s32("DET1") == 0, true) << s32("DET1");
  }
  HOST_SONAR_vReset();
}

TEST_F(Detect, ModelTakesItsBottomAndReadingsFromTheEnvironment) {
  setenv("CORVAN_SONAR_BOTTOM", "20", 1);
  setenv("CORVAN_SONAR_ADC", "100,1023,900", 1);
  HOST_SONAR_vReset();
  unsetenv("CORVAN_SONAR_BOTTOM");
  unsetenv("CORVAN_SONAR_ADC");
  MULTI_TX tx = {};
  S_COPROC_vBuildTxSequenceForSingleDown(&tx, 12, TXPOWER_MED, 1, 1200, 200, 0, FALSE, 236);
  const int nFd = HOST_SONAR_nOpen();
  ASSERT_GE(nFd, 0);
  HOST_SONAR_nWrite(nFd, &tx, MULTI_TX_SIZE);
  std::vector<U8> block(35 + 3 * 1250 + 6);
  ASSERT_EQ(HOST_SONAR_nRead(nFd, block.data(), block.size()), static_cast<ssize_t>(block.size()));
  const U8 *pu8Trailer = &block[block.size() - 6];
  EXPECT_EQ(le16(pu8Trailer), 100);
  EXPECT_EQ(le16(pu8Trailer + 2), 1023);  // a connected transducer whose line reads open
  EXPECT_EQ(le16(pu8Trailer + 4), 900);
  const size_t szBottom = 35 + 3 * (50 + 1025);  // 20 m at 1500 m/s: data sample 1025
  EXPECT_GT(block[szBottom], 150);
  EXPECT_LT(block[szBottom - 3 * 10], 40);
  close(nFd);

  // Values that are not readings keep the defaults and are reported once the device opens.
  setenv("CORVAN_SONAR_BOTTOM", "deep", 1);
  setenv("CORVAN_SONAR_ADC", "1,2", 1);
  HOST_SONAR_vReset();
  unsetenv("CORVAN_SONAR_BOTTOM");
  unsetenv("CORVAN_SONAR_ADC");
  testing::internal::CaptureStdout();
  const int nFd2 = HOST_SONAR_nOpen();
  const std::string sLog = testing::internal::GetCapturedStdout();
  EXPECT_NE(sLog.find("CORVAN_SONAR_BOTTOM 'deep' is not a depth"), std::string::npos) << sLog;
  EXPECT_NE(sLog.find("CORVAN_SONAR_ADC '1,2' is not three readings"), std::string::npos) << sLog;
  HOST_SONAR_nWrite(nFd2, &tx, MULTI_TX_SIZE);
  ASSERT_EQ(HOST_SONAR_nRead(nFd2, block.data(), block.size()), static_cast<ssize_t>(block.size()));
  EXPECT_EQ(le16(&block[block.size() - 4]), 500);
  close(nFd2);
  HOST_SONAR_vReset();
}

}  // namespace
