// The ping task's pool, ping decision, down-looking and null pings and the director, driven one decision at a
// time from the test thread against the simulator's coprocessor model; processing is played by the test,
// which takes mailbox 9's messages and returns their descriptors.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>
#include <vector>

#include "kernel/mbox.h"
#include "kernel/memory.h"
#include "kernel/queue.h"
#include "platform/coproc.h"
#include "platform/host/sonar_model.h"
#include "settings/database.h"
#include "sonar/demultiplex.h"
#include "sonar/ping_server.h"
#include "sonar/ping_source.h"
#include "sonar/ping_state.h"
#include "sonar/ping_task.h"
#include "ui/startup/startup.h"
#include "ping_test_util.h"
#include "run_apart.h"

void T_N_PROCESS_vHandleMessageStandIn(void *pvMsg);

// They change the shared sonar state (system state, client states, depths) that other suites read at start.
TEST_RUN_APART(PingTask);
TEST_RUN_APART(PingTaskSystemState);

namespace {

struct Handed {
  BEAM Beam;
  U32 u32Frequency;
  U32 u32Samples;
  BOOLEAN bIsLocal;
};

// Takes every message of mailbox 9 as processing would, returning the descriptors to the pool.
std::vector<Handed> drainProcessing() {
  std::vector<Handed> handed;
  while (void *pvMsg = L_MBOX_Receive(M_PROCESS)) {
    auto *pHeader = static_cast<GENERIC_MESSAGE *>(pvMsg);
    if (pHeader->Cmd == CMD_ID_SONAR_PROCESS_PING) {
      const PING_DESCRIPTOR *pPing = static_cast<PING_MESSAGE *>(pvMsg)->pReturnDescriptor;
      handed.push_back({pPing->Beam, pPing->u32TransmitFrequencyHertz, pPing->u32NumberOfSamples, pPing->bIsLocal});
    }
    T_N_PROCESS_vHandleMessageStandIn(pvMsg);
  }
  return handed;
}

U16 le16(const std::vector<U8> &block, U32 u32At) { return static_cast<U16>(block[u32At] | block[u32At + 1] << 8); }

class PingTask : public ::testing::Test {
 protected:
  void SetUp() override {
    PING_TEST_vFreshPingTask();
    drainProcessing();
    for (U16 n = 0; n < 4; ++n) U_PING_vSetNetworkClientState(NETWORK_CLIENT_STATE_INIT, n);
    U_PING_vSetBeamSelected(1);
    U_PING_vSetSystemState(STATE_NORMAL_RUN);
    T_STARTUP_vResetForTest(STATE_NORMAL_RUN, TRUE);
    H_DATABASE_bUpdateEverythingU32(FCID("CSFL"), 83, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
    H_DATABASE_bUpdateEverythingU32(FCID("CSF2"), 200, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
    H_DATABASE_bUpdateEverythingU32(FCID("CVEW"), 1, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
    T_N_PING_vSetStateForTest(TRUE, FALSE, 1, FALSE, 11);
    T_N_PING_vSetMasks(1, 0, 0);
  }
  void TearDown() override {
    drainProcessing();
    EXPECT_EQ(L_QUEUE_Inquire(Q_PING), static_cast<ERC>(PING_POOL_SIZE)) << "every descriptor back in the pool";
  }
};

TEST_F(PingTask, PoolBuffersLieInThreeBlocksOfSeven) {
  std::set<PING_DESCRIPTOR *> pool;
  for (U32 i = 0; i < PING_POOL_SIZE; ++i) {
    PING_DESCRIPTOR *pPing = nullptr;
    ASSERT_EQ(L_QUEUE_Get(Q_PING, &pPing), 0);
    pool.insert(pPing);
  }
  EXPECT_EQ(pool.size(), PING_POOL_SIZE);
  PING_DESCRIPTOR *pNone = nullptr;
  EXPECT_NE(L_QUEUE_Get(Q_PING, &pNone), 0);
  for (U32 i = 0; i < PING_POOL_SIZE; ++i) {
    const PING_DESCRIPTOR *pPing = T_N_PING_pPoolDescriptor(i);
    const PING_DESCRIPTOR *pFirstOfBlock = T_N_PING_pPoolDescriptor(i / 7 * 7);
    EXPECT_EQ(pPing->pu8RawSonarData - pFirstOfBlock->pu8RawSonarData, static_cast<long>((i % 7) * 110000)) << i;
    EXPECT_EQ(pPing->pu8TvgdData, pPing->pu8RawSonarData + PING_MAX_SAMPLES) << i;
    EXPECT_GE(H_MEMORY_u32BlockSize(T_N_PING_pPoolDescriptor(i / 7 * 7)->pu8RawSonarData), 770000u);
  }
  for (PING_DESCRIPTOR *pPing : pool) T_N_PING_vReturnDescriptor(pPing, "return");
}

// The decision by transducer kind and state: what reaches processing and whether the coprocessor is used.
TEST_F(PingTask, DecisionByKindAndState) {
  struct Case {
    U32 u32Kind;
    SYSTEM_STATE eState;
    U32 u32Local;
    U32 u32Client;
    bool bHanded;     // a ping reached processing
    bool bTransfers;  // the coprocessor was used at all
  };
  const Case cases[] = {
      {1, STATE_NORMAL_RUN, 1, 0, true, true},    {4, STATE_NORMAL_RUN, 1, 0, true, true},
      {11, STATE_NORMAL_RUN, 1, 0, true, true},   {1, STATE_NORMAL_RUN, 0, 1, true, true},
      {1, STATE_NORMAL_RUN, 0, 0, false, true},   {2, STATE_NORMAL_RUN, 1, 0, false, true},
      {5, STATE_NORMAL_RUN, 1, 0, false, true},   {9, STATE_NORMAL_RUN, 1, 0, false, true},
      {10, STATE_NORMAL_RUN, 1, 0, false, true},  {16, STATE_NORMAL_RUN, 1, 0, false, false},
      {16, STATE_SIMULATION, 1, 0, false, true},  {17, STATE_NORMAL_RUN, 1, 0, false, true},
      {3, STATE_NORMAL_RUN, 1, 0, false, true},   {1, STATE_SIMULATION, 1, 0, true, true},
      {1, STATE_POINT_OF_SALE, 1, 0, true, true}, {1, STATE_DIAGNOSTIC, 1, 0, false, true},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << "kind " << c.u32Kind << " state " << c.eState);
    U_PING_vSetSystemState(c.eState);
    T_N_PING_vSetStateForTest(TRUE, FALSE, c.u32Kind, FALSE, 11);
    T_N_PING_vSetMasks(c.u32Local, c.u32Client, 0);
    const U32 u32Reads = HOST_SONAR_u32Reads();
    T_N_PING_vPingDecisionForTest();
    EXPECT_EQ(!drainProcessing().empty(), c.bHanded);
    EXPECT_EQ(HOST_SONAR_u32Reads() != u32Reads, c.bTransfers);
    EXPECT_EQ(L_QUEUE_Inquire(Q_PING), static_cast<ERC>(PING_POOL_SIZE));
  }
}

TEST_F(PingTask, StartUpWithoutTransducerOnlyLogs) {
  U_PING_vSetSystemState(STATE_STARTUP);
  T_STARTUP_vResetForTest(STATE_STARTUP, FALSE);
  const U32 u32Reads = HOST_SONAR_u32Reads();
  T_N_PING_vPingDecisionForTest();
  EXPECT_EQ(HOST_SONAR_u32Reads(), u32Reads);
  EXPECT_TRUE(drainProcessing().empty());
}

// A message from a peer as the message service hands it to a handler.
struct Received {
  GMSG_HEADER header{};
  GMSG_INFO info{};
  Received(U32 u32Address, GMSG_ID_TYPE id, void *pvBody) {
    GMSG_vMakeSocketAddress(&header.SrcAddress, u32Address, 50688);
    header.u32MsgId = id;
    info.pMsgHeader = &header;
    info.pStructMsg = pvBody;
    info.bReceived = TRUE;
  }
};

constexpr U32 kClient = 0x0500000A;  // 10.0.0.5

void clientRequest(U32 u32Register, U32 u32Source) {
  sonarRequestDataType request = {u32Register, 1000, u32Source};
  Received msg(kClient, GMSG_ID_SONAR_REQUEST_DATA, &request);
  T_N_PING_bHandleNewDataRequest(M_PING, &msg.info, nullptr, nullptr);
}

void clientDepths(float fListen, float fPing) {
  sonarPingDepthType depth = {fListen, fPing};
  Received msg(kClient, GMSG_ID_SONAR_PING_DEPTH_DATA, &depth);
  T_N_PING_bHandleReceivePingDepth(M_PING, &msg.info, nullptr, nullptr);
}

U32 u32Fetch(const char (&acKey)[5]) {
  U32 u32Value = 0;
  BOOLEAN bValid = FALSE;
  H_DATABASE_bFetchU32(FCID(acKey), &u32Value, &bValid, nullptr);
  return u32Value;
}

TEST_F(PingTask, ClientDepthsAndTheDeepBeamRule) {
  H_DATABASE_bUpdateEverythingU32(FCID("ECPM"), 0, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  S_TRANSDUCER_vSetMaximumDepthRangeMetres(200.0f);
  clientRequest(1, 0);
  EXPECT_TRUE(T_N_PING_bCheckActiveClientList(0));
  EXPECT_EQ(u32Fetch("ECPM"), 1u);
  T_N_PING_vSetMasks(0, 1, 0);  // pinged for the client only

  struct Case {
    float fListen, fPing;
    float fExpectListen, fExpectPing;
  };
  const float fNaN = std::nanf("");
  const Case cases[] = {
      {0.0f, 0.0f, 10.0f, 10.0f},      // below 10 m: 10 m
      {60.0f, 50.0f, 60.0f, 50.0f},    // as asked
      {300.0f, 300.0f, 200.0f, 200.0f},  // beyond this unit's range: its range
      {fNaN, 30.0f, 200.0f, 200.0f},   // refused: the depths stay
      {-1.0f, 30.0f, 200.0f, 200.0f},  // refused
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << c.fListen << " " << c.fPing);
    clientDepths(c.fListen, c.fPing);
    float fListen = -1, fPing = -1;
    T_N_PING_vGetNetworkDepths(&fListen, &fPing);
    EXPECT_EQ(fListen, c.fExpectListen);
    EXPECT_EQ(fPing, c.fExpectPing);
  }
  T_N_PING_vPingDecisionForTest();
  float fPinged = 0;
  H_DATABASE_bFetchFloat(FCID("CSPD"), &fPinged, nullptr, nullptr);
  EXPECT_EQ(fPinged, 200.0f);
  std::vector<Handed> handed = drainProcessing();
  EXPECT_EQ(handed.size(), 2u) << "a client uses the low beam too";

  // Depths beyond 200 m select both down beams even with beam 1 alone selected and no client listed.
  S_TRANSDUCER_vSetMaximumDepthRangeMetres(300.0f);
  clientDepths(250.0f, 250.0f);
  clientRequest(0, 0);
  EXPECT_FALSE(T_N_PING_bCheckActiveClientList(0));
  EXPECT_EQ(u32Fetch("ECPM"), 0u);
  T_N_PING_vPingDecisionForTest();
  handed = drainProcessing();
  ASSERT_EQ(handed.size(), 2u);
  std::set<BEAM> beams = {handed[0].Beam, handed[1].Beam};
  EXPECT_EQ(beams, (std::set<BEAM>{0, 1}));
  for (const Handed &h : handed) EXPECT_EQ(h.u32Frequency, h.Beam == 0 ? 83000u : 200000u);

  // Down to the 10 m of a listening depth of 0: beam 1 alone, 10 m of samples.
  clientRequest(1, 0);
  clientDepths(0.0f, 0.0f);
  clientRequest(0, 0);
  T_N_PING_vPingDecisionForTest();
  const std::vector<U8> block = HOST_SONAR_lastTransmitBlock();
  ASSERT_EQ(block.size(), MULTI_TX_SIZE);
  EXPECT_EQ(le16(block, TXSEQ_SAMPLES), S_COPROC_u32SamplesForDepth(10.0f));
  handed = drainProcessing();
  ASSERT_EQ(handed.size(), 1u);
  EXPECT_EQ(handed[0].Beam, 1);
  EXPECT_TRUE(handed[0].bIsLocal);
  S_TRANSDUCER_vSetMaximumDepthRangeMetres(200.0f);
}

TEST_F(PingTask, UnchangedPingsSendTheCommandOnceAndANullPingForcesOneMore) {
  // A fixed depth, as a client asks for it (the unit's own search moves its depth every ping).
  clientRequest(1, 0);
  clientDepths(40.0f, 40.0f);
  clientRequest(0, 0);
  T_N_PING_vSetMasks(0, 1, 0);
  const U32 u32Writes = HOST_SONAR_u32Writes();
  for (int i = 0; i < 5; ++i) {
    T_N_PING_vPingDecisionForTest();
    drainProcessing();
  }
  EXPECT_EQ(HOST_SONAR_u32Writes(), u32Writes + 1);
  T_N_PING_vPerformNullPing();  // empties the command: one write
  const std::vector<U8> empty = HOST_SONAR_lastTransmitBlock();
  ASSERT_EQ(empty.size(), MULTI_TX_SIZE);
  EXPECT_EQ(empty[186], 2);
  EXPECT_EQ(le16(empty, TXSEQ_SAMPLES), 0);
  EXPECT_EQ(empty[3], TXMODE_NONE);
  EXPECT_EQ(HOST_SONAR_u32Writes(), u32Writes + 2);
  T_N_PING_vPerformNullPing();  // nothing asks for samples any more: no write
  EXPECT_EQ(HOST_SONAR_u32Writes(), u32Writes + 2);
  T_N_PING_vPingDecisionForTest();
  EXPECT_EQ(HOST_SONAR_u32Writes(), u32Writes + 3);
}

TEST_F(PingTask, TypedPingsFromAServerAreChecked) {
  U_PING_vSetNetworkClientState(NETWORK_CLIENT_STATE_CONNECTED, SONAR_SOURCE_2D);
  std::vector<U8> samples(60000, 7);
  struct Case {
    BEAM Beam;
    U32 u32Samples;
    U32 u32Carried;
    bool bHanded;
  };
  const Case cases[] = {
      {1, 500, 500, true}, {0, 55000, 55000, true}, {1, 55001, 60000, false},
      {4, 10, 10, false},  {254, 10, 10, false},    {1, 600, 500, false},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << "beam " << int(c.Beam) << " samples " << c.u32Samples);
    sonarPingBodyType body{};
    body.Ping.Beam = c.Beam;
    body.Ping.u32NumberOfSamples = c.u32Samples;
    body.Ping.bIsLocal = TRUE;
    body.u32SampleArrayCount = c.u32Carried;
    body.pu8Samples = samples.data();
    Received msg(0x0600000A, GMSG_ID_SONAR_RECEIVE_DATA, &body);
    T_N_PING_bHandleDataRecieve(M_PING, &msg.info, nullptr, nullptr);
    const std::vector<Handed> handed = drainProcessing();
    ASSERT_EQ(handed.size(), c.bHanded ? 1u : 0u);
    if (c.bHanded) {
      EXPECT_EQ(handed[0].u32Samples, c.u32Samples);
      EXPECT_FALSE(handed[0].bIsLocal);
    }
  }
  U_PING_vSetNetworkClientState(NETWORK_CLIENT_STATE_INIT, SONAR_SOURCE_2D);
}

TEST_F(PingTask, ChannelZeroNeedsTheLowFrequency) {
  U_PING_vSetBeamSelected(0);  // both beams
  H_DATABASE_bUpdateEverythingU32(FCID("CSFL"), 50, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  T_N_PING_vPingDecisionForTest();
  // The command asked for 50 kHz; a different low frequency by the time the channel is read matches nothing.
  H_DATABASE_bUpdateEverythingU32(FCID("CSFL"), 83, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  drainProcessing();
  T_N_PING_vPingDecisionForTest();
  std::vector<Handed> handed = drainProcessing();
  ASSERT_EQ(handed.size(), 2u);
}

TEST_F(PingTask, AThousandPingsLeaveThePoolWhole) {
  U_PING_vSetBeamSelected(0);
  T_N_PING_vPingDecisionForTest();  // the first builds the command
  drainProcessing();
  const U64 u64Before = H_MEMORY_u64AllocationCount();
  for (int i = 0; i < 1000; ++i) {
    T_N_PING_vPingDecisionForTest();
    ASSERT_EQ(drainProcessing().size(), 2u) << i;
  }
  // Without network clients the pings allocate only the two messages to processing each; the count is the
  // process's, so other threads of the test (settings notices) may add a few, never one per ping.
  const U64 u64Allocations = H_MEMORY_u64AllocationCount() - u64Before;
  EXPECT_GE(u64Allocations, 2000u);
  EXPECT_LT(u64Allocations, 2100u);
}

TEST(PingTaskSystemState, ShouldSystemPing) {
  T_STARTUP_vResetForTest(STATE_NORMAL_RUN, TRUE);
  H_DATABASE_bUpdateEverythingBoolean(FCID("SFEF"), FALSE, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  for (U32 u32Mode = 1; u32Mode <= 16; ++u32Mode) {
    const bool bMoving = (u32Mode >= 2 && u32Mode <= 10) || u32Mode >= 13;
    EXPECT_EQ(T_N_PING_bShouldSystemPing(STATE_PLAYBACK, u32Mode), !bMoving) << u32Mode;
  }
  EXPECT_FALSE(T_N_PING_bShouldSystemPing(static_cast<SYSTEM_STATE>(0), 13));
  EXPECT_FALSE(T_N_PING_bShouldSystemPing(STATE_PC_CONNECT, 13));
  EXPECT_TRUE(T_N_PING_bShouldSystemPing(STATE_NORMAL_RUN, 13));
  T_STARTUP_vResetForTest(STATE_NORMAL_RUN, FALSE);
  EXPECT_TRUE(T_N_PING_bShouldSystemPing(STATE_NORMAL_RUN, 13));
  H_DATABASE_bUpdateEverythingBoolean(FCID("SFEF"), TRUE, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  EXPECT_FALSE(T_N_PING_bShouldSystemPing(STATE_NORMAL_RUN, 13));
  EXPECT_TRUE(T_N_PING_bShouldSystemPing(STATE_SIMULATION, 13));
  EXPECT_TRUE(T_N_PING_bShouldSystemPing(STATE_POINT_OF_SALE, 13));
  H_DATABASE_bUpdateEverythingBoolean(FCID("SFEF"), FALSE, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
}

TEST(PingTaskSystemState, SimulationRegistersTheDepthsAndPlaybackTheBeamCounter) {
  U_PING_vSetSystemState(STATE_NORMAL_RUN);
  H_DATABASE_bUpdateEverythingFloat(FCID("IDE2"), 5.0f, P_NORMAL, D_DEPTH, nullptr, 4);
  T_N_PING_vUpdateSystemState(STATE_SIMULATION);
  float fDepth = -1;
  BOOLEAN bValid = FALSE;
  DB_ATTRIBUTES attributes{};
  ASSERT_TRUE(H_DATABASE_bFetchFloat(FCID("IDE2"), &fDepth, &bValid, &attributes));
  EXPECT_EQ(fDepth, 0.0f);
  EXPECT_EQ(attributes.u32TimeOut, DB_NO_TIMEOUT);
  EXPECT_EQ(U_PING_eGetSystemState(), STATE_SIMULATION);
  H_DATABASE_bUpdateEverythingU32(FCID("CSBP"), 7, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  T_N_PING_vUpdateSystemState(STATE_PLAYBACK);
  EXPECT_TRUE(U_PING_bGetPlayback());
  U32 u32Count = 9;
  H_DATABASE_bFetchU32(FCID("CSBP"), &u32Count, &bValid, nullptr);
  EXPECT_EQ(u32Count, 0u);
  T_N_PING_vUpdateSystemState(STATE_NORMAL_RUN);
  EXPECT_FALSE(U_PING_bGetPlayback());
}

TEST(PingImage, FieldsAtTheirOffsets) {
  PING_DESCRIPTOR ping{};
  ping.Beam = 1;
  ping.u8TransmitCycles = 9;
  ping.u8TransmitPower = 1;
  ping.u32NumberOfSamples = 0x01020304;
  ping.pu8RawSonarData = reinterpret_cast<U8 *>(&ping);
  ping.u32SamplePeriodMicroSeconds = 26;
  ping.Location = {TRUE, -5, 7};
  ping.fDepthMetres = 12.5f;
  ping.u8NoiseLevel = 33;
  ping.u8PeakNoiseLevel = 44;
  ping.u8Transducer = 4;
  ping.u32TransmitFrequencyHertz = 200000;
  ping.u32TimeStampMilliSeconds = 0xA0B0C0D0;
  ping.u32PingIndex = 77;
  ping.bIsLocal = TRUE;
  U8 image[PING_IMAGE_SIZE];
  S_PING_vWriteImage(&ping, image);
  auto u32At = [&](U32 u32Offset) {
    U32 v;
    std::memcpy(&v, image + u32Offset, 4);
    return v;
  };
  EXPECT_EQ(image[0], 1);
  EXPECT_EQ(image[2], 9);
  EXPECT_EQ(image[3], 1);
  EXPECT_EQ(u32At(4), 0x01020304u);
  EXPECT_EQ(u32At(8), 0u) << "pointers travel as 0";
  EXPECT_EQ(u32At(12), 0u);
  EXPECT_EQ(u32At(20), 26u);
  EXPECT_EQ(image[224], 1);
  EXPECT_EQ(static_cast<S32>(u32At(228)), -5);
  EXPECT_EQ(static_cast<S32>(u32At(232)), 7);
  float fDepth;
  std::memcpy(&fDepth, image + 236, 4);
  EXPECT_EQ(fDepth, 12.5f);
  EXPECT_EQ(image[244], 33);
  EXPECT_EQ(image[245], 44);
  EXPECT_EQ(image[246], 4);
  EXPECT_EQ(u32At(248), 200000u);
  EXPECT_EQ(u32At(252), 0xA0B0C0D0u);
  EXPECT_EQ(u32At(260), 77u);
  EXPECT_EQ(image[272], 1);
  PING_DESCRIPTOR back{};
  image[PINGIMG_FISH_LIST] = 200;  // a peer's count is capped
  S_PING_vReadImage(image, &back);
  EXPECT_EQ(back.u32PingIndex, 77u);
  EXPECT_EQ(back.Location.s32LongitudeMM, -5);
  EXPECT_EQ(back.SimulatedFishList.u8NumberOfTargets, MAX_FISH_TARGETS);
  EXPECT_EQ(back.pu8RawSonarData, nullptr);
}

TEST_F(PingTask, DirectorDropRules) {
  PING_DESCRIPTOR *pPing = nullptr;
  auto take = [&] {
    ASSERT_EQ(L_QUEUE_Get(Q_PING, &pPing), 0);
    pPing->u32NumberOfSamples = 10;
  };
  take();
  pPing->Beam = 0xFF;
  pPing->u32TransmitFrequencyHertz = 0;
  X_pingDataDirector(SONAR_SOURCE_2D, FALSE, NETWORK_SONAR_PROCESS, 0, pPing, nullptr, nullptr);
  std::vector<Handed> handed = drainProcessing();
  ASSERT_EQ(handed.size(), 1u);
  EXPECT_EQ(handed[0].u32Frequency, 200000u);

  struct Case {
    SYSTEM_STATE eState;
    NETWORK_CLIENT_STATE eClient;
    U32 u32Network;
    BEAM Beam;
    BOOLEAN bPlayback;
    bool bHanded;
  };
  const Case cases[] = {
      {STATE_PLAYBACK, NETWORK_CLIENT_STATE_LOCAL, 0, 1, FALSE, false},
      {STATE_PLAYBACK, NETWORK_CLIENT_STATE_LOCAL, 0, 1, TRUE, true},
      {STATE_NORMAL_RUN, NETWORK_CLIENT_STATE_CONNECTED, 0, 1, FALSE, false},
      {STATE_PLAYBACK, NETWORK_CLIENT_STATE_CONNECTED, 1, 1, TRUE, true},
      {STATE_NORMAL_RUN, NETWORK_CLIENT_STATE_LOCAL, 1, 0, FALSE, false},
      {STATE_NORMAL_RUN, NETWORK_CLIENT_STATE_LOCAL, 4, 0, FALSE, true},
      {STATE_NORMAL_RUN, NETWORK_CLIENT_STATE_LOCAL, 4, 2, FALSE, false},
      {STATE_SIMULATION, NETWORK_CLIENT_STATE_LOCAL, 4, 2, FALSE, true},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << "state " << c.eState << " client " << c.eClient << " ENPM " << c.u32Network
                                    << " beam " << int(c.Beam));
    U_PING_vSetSystemState(c.eState);
    const NET_SOURCE_TYPE eSource = c.Beam >= 2 ? SONAR_SOURCE_ZP : SONAR_SOURCE_2D;
    U_PING_vSetNetworkClientState(c.eClient, eSource);
    T_N_PING_vSetMasks(1, 0, c.u32Network);
    take();
    pPing->Beam = c.Beam;
    X_pingDataDirector(eSource, c.bPlayback, NETWORK_SONAR_PROCESS, 0, pPing, nullptr, nullptr);
    EXPECT_EQ(!drainProcessing().empty(), c.bHanded);
    EXPECT_EQ(L_QUEUE_Inquire(Q_PING), static_cast<ERC>(PING_POOL_SIZE));
    U_PING_vSetNetworkClientState(NETWORK_CLIENT_STATE_INIT, eSource);
  }
}

}  // namespace
