// The sonar coprocessor layer against the simulator's device model, and the receive/transmit selections.
#include <gmock/gmock.h>

#include <cstring>
#include <vector>

#include "settings/database.h"
#include "kernel/options.h"
#include "platform/coproc.h"
#include "platform/host/sonar_model.h"
#include "platform/sonar_controls.h"
#include "platform_fixture.h"
#include "run_apart.h"

TEST_RUN_APART(CoprocTest);

namespace {

constexpr U32 kReceiveBlock = 165191;

// One sequence of a transmit block, as the sonar builders lay it out (little-endian words).
struct Sequence {
  U16 u16Freq = 200;
  U8 u8Cycles = 26;
  U8 u8Mode = 2;
  U8 u8Output = 1;
  U16 u16Samples = 1000;
  U16 u16Noise = 50;
  U8 u8RxEnable = 0xFD;
};

void putSequence(U8 *pu8, const Sequence &s) {
  std::memset(pu8, 0, 31);
  pu8[0] = static_cast<U8>(s.u16Freq);
  pu8[1] = static_cast<U8>(s.u16Freq >> 8);
  pu8[2] = s.u8Cycles;
  pu8[3] = s.u8Mode;
  pu8[4] = s.u8Output;
  pu8[5] = 1;
  for (int p = 1; p < 3; ++p) {
    pu8[6 * p + 3] = 3;
    pu8[6 * p + 5] = 1;
  }
  pu8[18] = pu8[19] = 1;
  pu8[23] = static_cast<U8>(s.u16Samples);
  pu8[24] = static_cast<U8>(s.u16Samples >> 8);
  pu8[25] = static_cast<U8>(s.u16Noise);
  pu8[26] = static_cast<U8>(s.u16Noise >> 8);
  pu8[27] = 1;
  pu8[28] = 1;
  pu8[29] = s.u8RxEnable;
}

std::vector<U8> transmitBlock(const std::vector<Sequence> &sequences) {
  std::vector<U8> block(187, 0);
  for (size_t k = 0; k < sequences.size(); ++k) putSequence(&block[31 * k], sequences[k]);
  block[186] = static_cast<U8>(sequences.size());
  return block;
}

class CoprocTest : public DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    HOST_SONAR_vReset();
    opt_noadc = 0;
  }
  static bool fetch(const char (&acKey)[5], U32 *pu32Value) {
    BOOLEAN bValid = FALSE;
    return H_DATABASE_bFetchU32(FCID(acKey), pu32Value, &bValid, nullptr) == TRUE;
  }
  static void send(std::vector<U8> block) {
    ASSERT_EQ(H_COPROC_u32Transfer(block.data(), 187, SEND_TO_COPROC), 187u);
  }
  // Mean of channel c's data samples [from, to) in a receive block.
  static U32 mean(const std::vector<U8> &block, U32 u32Noise, int c, U32 from, U32 to) {
    U32 u32Sum = 0;
    for (U32 j = from; j < to; ++j) u32Sum += block[35 + 3 * (u32Noise + j) + c];
    return u32Sum / (to - from);
  }
};

TEST_F(CoprocTest, ReceiveStripsTheTrailerAndPublishesTheReadings) {
  SKIP_WITHOUT_TEST_CLOCK();
  H_COPROC_vInitialize();
  ASSERT_TRUE(H_COPROC_bCoprocessorReady());
  Sequence longest;  // 50 noise and 55,000 data samples: the whole receive block
  longest.u16Samples = 55000;
  send(transmitBlock({longest}));
  ASSERT_NE(gpu8NonCachedDataBlock, nullptr);
  PLATFORM_CLOCK_vAdvanceTestClockMs(600);
  struct Case {
    U32 u32Size;
    U32 u32Result;
    U64 u64AdvanceMs;  // before the read
    U16 au16Adc[3];
    bool bStored;
  };
  const Case cases[] = {
      {8, 8, 0, {1, 2, 3}, false},                 // too short to carry readings
      {9, 3, 0, {400, 500, 700}, true},            // 3 data bytes and the trailer
      {kReceiveBlock, kReceiveBlock - 6, 300, {10, 20, 30}, false},  // 300 ms later: not stored again
      {kReceiveBlock, kReceiveBlock - 6, 200, {1023, 0, 512}, true},
  };
  U16 au16Stored[3] = {0, 0, 0};
  for (const Case &c : cases) {
    PLATFORM_CLOCK_vAdvanceTestClockMs(c.u64AdvanceMs);
    HOST_SONAR_vSetAdc(c.au16Adc[0], c.au16Adc[1], c.au16Adc[2]);
    EXPECT_EQ(H_COPROC_u32Transfer(gpu8NonCachedDataBlock, c.u32Size, RECEIVE_FROM_COPROC), c.u32Result);
    if (c.bStored) std::memcpy(au16Stored, c.au16Adc, sizeof(au16Stored));
    U32 u32Value = 0;
    const bool bAny = au16Stored[0] | au16Stored[1] | au16Stored[2];
    EXPECT_EQ(fetch("AD00", &u32Value), bAny) << c.u32Size;
    EXPECT_EQ(u32Value, static_cast<U32>(static_cast<U16>(au16Stored[0] << 6))) << c.u32Size;
    fetch("AD02", &u32Value);
    EXPECT_EQ(u32Value, static_cast<U32>(static_cast<U16>(au16Stored[1] << 6))) << c.u32Size;
    fetch("AD05", &u32Value);
    EXPECT_EQ(u32Value, static_cast<U32>(static_cast<U16>(au16Stored[2] << 6))) << c.u32Size;
  }
}

TEST_F(CoprocTest, NoAdcPublishesNothing) {
  SKIP_WITHOUT_TEST_CLOCK();
  opt_noadc = 1;
  H_COPROC_vInitialize();
  send(transmitBlock({Sequence()}));
  for (int i = 0; i < 3; ++i) {
    PLATFORM_CLOCK_vAdvanceTestClockMs(1000);
    EXPECT_EQ(H_COPROC_u32Transfer(gpu8NonCachedDataBlock, 100, RECEIVE_FROM_COPROC), 94u);
  }
  U32 u32Value = 0;
  EXPECT_FALSE(fetch("AD00", &u32Value));
  EXPECT_FALSE(fetch("AD02", &u32Value));
  EXPECT_FALSE(fetch("AD05", &u32Value));
}

TEST_F(CoprocTest, MissingDeviceIsNotReadyAndRefusesTransfers) {
  HOST_SONAR_vSetPresent(false);
  H_COPROC_vInitialize();
  EXPECT_FALSE(H_COPROC_bCoprocessorReady());
  U8 au8Block[187] = {};
  EXPECT_EQ(H_COPROC_u32Transfer(au8Block, 187, SEND_TO_COPROC), 0xFFFFFFFFu);
  EXPECT_EQ(H_COPROC_u32Transfer(au8Block, 100, RECEIVE_FROM_COPROC), 0xFFFFFFFFu);
  EXPECT_EQ(HOST_SONAR_u32Writes() + HOST_SONAR_u32Reads(), 0u);
  // The device turns up: the next initialisation opens it.
  HOST_SONAR_vSetPresent(true);
  H_COPROC_vInitialize();
  EXPECT_TRUE(H_COPROC_bCoprocessorReady());
  EXPECT_EQ(H_COPROC_u32Transfer(au8Block, 187, COPROC_INVALID), 0xFFFFFFFFu);
  EXPECT_EQ(H_COPROC_u32Transfer(au8Block, 187, static_cast<COPROC_DATA_DIRECTION>(3)), 0xFFFFFFFFu);
}

TEST_F(CoprocTest, SimulationSilencesOnlyThePulsesOfTheSequencesInUse) {
  H_COPROC_vInitialize();
  struct Case {
    BOOLEAN bSimulate;
    U8 u8Sequences;
    U32 u32Silenced;  // sequences whose pulse modes become 3
  };
  const Case cases[] = {{FALSE, 2, 0}, {TRUE, 2, 2}, {TRUE, 6, 6}, {TRUE, 0, 0}, {TRUE, 200, 6}};
  for (const Case &c : cases) {
    std::vector<U8> block(187);
    for (size_t i = 0; i < 186; ++i) block[i] = static_cast<U8>(i % 3 == 0 ? 1 : i);
    block[186] = c.u8Sequences;
    std::vector<U8> expected = block;
    for (U32 k = 0; k < c.u32Silenced; ++k) {
      for (U32 p = 0; p < 3; ++p) expected[31 * k + 3 + 6 * p] = 3;
    }
    H_COPROC_vSimulate(c.bSimulate);
    send(block);  // by value: the caller's copy is checked through the model
    EXPECT_EQ(HOST_SONAR_lastTransmitBlock(), expected) << int(c.u8Sequences);
    H_COPROC_u32Transfer(block.data(), 187, SEND_TO_COPROC);
    EXPECT_EQ(block, expected) << "in place, " << int(c.u8Sequences);
  }
}

TEST_F(CoprocTest, TransmitPowerFollowsDepth) {
  const struct {
    float fDepth;
    TXPOWER ePower;
  } cases[] = {{0.0f, TXPOWER_LOW},  {14.9f, TXPOWER_LOW}, {15.0f, TXPOWER_MED},
               {55.0f, TXPOWER_MED}, {55.1f, TXPOWER_HI},  {300.0f, TXPOWER_HI}};
  for (const auto &c : cases) EXPECT_EQ(H_XMITPOWER_eSelectTransmitPower(c.fDepth), c.ePower) << c.fDepth;
}

TEST_F(CoprocTest, BeamsAndBandwidthsOutsideTheirRangesAreFatal) {
  for (U8 u8Beam : {0, 1, 2, 3, 255}) {
    H_RECSELECT_vConnectElementToReceiver(u8Beam, 200);
    H_BPF_vSetReceiverCenterFrequency(u8Beam, 200);
  }
  DD_MUTE_vRequestBandwidth(2);
  DD_MUTE_vSetBandwidth(1);
  EXPECT_EQ(DD_MUTE_u8AppliedBandwidth(), 1);
  DD_PING_vRestoreBandwidth();
  EXPECT_EQ(DD_MUTE_u8AppliedBandwidth(), 2);
  EXPECT_EXIT(H_RECSELECT_vConnectElementToReceiver(4, 200), testing::ExitedWithCode(10), "");
  EXPECT_THAT(fatalLog(), testing::HasSubstr("Invalid beam"));
  EXPECT_EXIT(H_BPF_vSetReceiverCenterFrequency(254, 200), testing::ExitedWithCode(10), "");
  EXPECT_EXIT(DD_MUTE_vSetBandwidth(4), testing::ExitedWithCode(10), "");
  EXPECT_THAT(fatalLog(), testing::HasSubstr("Invalid bandwidth"));
  DD_MUTE_vRequestBandwidth(7);
  EXPECT_EXIT(DD_PING_vRestoreBandwidth(), testing::ExitedWithCode(10), "");
}

TEST_F(CoprocTest, ModelEchoesTheSequenceAndInterleavesTheChannels) {
  H_COPROC_vInitialize();
  HOST_SONAR_vSetBottom(1000, 200);  // 10 m: sample 10 * 2 / 1500 / 26 us = 512
  Sequence first;
  first.u16Samples = 1000;
  Sequence second = first;
  second.u8RxEnable = 0xE9;  // first receiver and both side channels
  send(transmitBlock({first, second}));
  const U32 u32Full = 35 + 3 * (50 + 1000) + 6;
  std::vector<U8> block(kReceiveBlock);
  for (int k = 0; k < 2; ++k) {
    ASSERT_EQ(H_COPROC_u32Transfer(block.data(), kReceiveBlock, RECEIVE_FROM_COPROC), u32Full - 6);
    std::vector<U8> expected(31);
    putSequence(expected.data(), k == 0 ? first : second);
    EXPECT_EQ(std::vector<U8>(block.begin() + 4, block.begin() + 35), expected);
    const U32 u32Noise = mean(block, 0, 0, 0, 50);
    EXPECT_NEAR(u32Noise, 20, 4);
    EXPECT_GE(mean(block, 50, 0, 0, 32), u32Noise + 91);     // transmit ring-down
    EXPECT_LE(mean(block, 50, 0, 100, 500), u32Noise + 4);   // water column
    EXPECT_GE(mean(block, 50, 0, 512, 516), u32Noise + 91);  // the bottom
    // Channels 1 and 2 carry samples only when the sequence enables the side channels.
    EXPECT_EQ(mean(block, 50, 1, 0, 1000) == 0, k == 0) << k;
    EXPECT_EQ(mean(block, 50, 2, 0, 1000) == 0, k == 0) << k;
  }
}

TEST_F(CoprocTest, ModelWithoutTransducerOrWithoutTransmitGivesNoiseOnly) {
  SKIP_WITHOUT_TEST_CLOCK();
  H_COPROC_vInitialize();
  PLATFORM_CLOCK_vAdvanceTestClockMs(1000);
  struct Case {
    bool bTransducer;
    BOOLEAN bSimulate;
    bool bEcho;
    bool bTransducerLine;  // AD02 below 0xFD00
  };
  const Case cases[] = {
      {true, FALSE, true, true}, {false, FALSE, false, false}, {true, TRUE, false, true}};
  Sequence detect;  // the transducer test: 256 noise, 32 data samples
  detect.u16Noise = 256;
  detect.u16Samples = 32;
  detect.u8Output = 2;
  std::vector<U8> block(kReceiveBlock);
  for (const Case &c : cases) {
    HOST_SONAR_vSetTransducer(c.bTransducer);
    H_COPROC_vSimulate(c.bSimulate);
    send(transmitBlock({detect}));
    PLATFORM_CLOCK_vAdvanceTestClockMs(1000);
    ASSERT_EQ(H_COPROC_u32Transfer(block.data(), kReceiveBlock, RECEIVE_FROM_COPROC), 35u + 3 * 288);
    const U32 u32Noise = mean(block, 0, 0, 0, 256);
    const U32 u32Echo = mean(block, 256, 0, 0, 32);
    EXPECT_EQ(u32Echo >= u32Noise + 91, c.bEcho) << c.bTransducer << c.bSimulate;
    U32 u32Line = 0;
    BOOLEAN bValid = FALSE;
    ASSERT_TRUE(H_DATABASE_bFetchU32(FCID("AD02"), &u32Line, &bValid, nullptr));
    EXPECT_EQ(u32Line < 0xFD00, c.bTransducerLine);
  }
}

TEST_F(CoprocTest, ModelDamagesTheNextReadOnRequest) {
  H_COPROC_vInitialize();
  send(transmitBlock({Sequence()}));
  std::vector<U8> clean(kReceiveBlock);
  const U32 u32Clean = H_COPROC_u32Transfer(clean.data(), kReceiveBlock, RECEIVE_FROM_COPROC);
  struct Case {
    HOST_SONAR_DAMAGE damage;
    U32 u32Result;
    size_t firstDifference;
  };
  HOST_SONAR_DAMAGE flip;
  flip.flips = {40, 4};
  HOST_SONAR_DAMAGE drop;
  drop.u32DropAt = 100;
  drop.u32DropCount = 10;
  HOST_SONAR_DAMAGE insert;
  insert.u32InsertAt = 35;
  insert.u32InsertCount = 3;
  const Case cases[] = {{flip, u32Clean, 4}, {drop, u32Clean - 10, 100}, {insert, u32Clean + 3, 35}};
  for (const Case &c : cases) {
    send(transmitBlock({Sequence()}));
    HOST_SONAR_vDamageNextRead(c.damage);
    std::vector<U8> damaged(kReceiveBlock);
    EXPECT_EQ(H_COPROC_u32Transfer(damaged.data(), kReceiveBlock, RECEIVE_FROM_COPROC), c.u32Result);
    // The ping counter in bytes 0-3 differs from read to read; compare from the sequence on.
    size_t first = 4;
    while (first < c.u32Result && damaged[first] == clean[first]) ++first;
    EXPECT_EQ(first, c.firstDifference);
    // Only the next read is damaged.
    std::vector<U8> after(kReceiveBlock);
    EXPECT_EQ(H_COPROC_u32Transfer(after.data(), kReceiveBlock, RECEIVE_FROM_COPROC), u32Clean);
  }
}

}  // namespace
