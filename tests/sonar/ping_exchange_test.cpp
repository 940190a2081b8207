// The sonar server's settings exchange with its clients and servers, the network copy of pings, transducer
// notices, lost peers and the source switches, driven through the handlers as the message service calls them
// and read back from the network stand-in's record of sends.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <set>
#include <vector>

#include "kernel/mbox.h"
#include "kernel/memory.h"
#include "kernel/mutex.h"
#include "kernel/queue.h"
#include "kernel/tick.h"
#include "kernel_test_util.h"
#include "net/gmsg_standin.h"
#include "platform/coproc.h"
#include "platform/host/sonar_model.h"
#include "ping_test_util.h"
#include "run_apart.h"
#include "settings/database.h"
#include "settings/model.h"
#include "sonar/ping_exchange.h"
#include "sonar/ping_plan.h"
#include "sonar/ping_server.h"
#include "sonar/ping_source.h"
#include "sonar/ping_state.h"
#include "sonar/ping_task.h"
#include "ui/startup/startup.h"

void T_N_PROCESS_vHandleMessageStandIn(void *pvMsg);

TEST_RUN_APART(PingExchange);

namespace {

constexpr U32 kClientA = 0x0500000A;  // 10.0.0.5
constexpr U32 kClientB = 0x0600000A;  // 10.0.0.6
constexpr U32 kClientC = 0x0700000A;
constexpr U32 kClientD = 0x0800000A;
constexpr U32 kServer = 0x0900000A;   // 10.0.0.9
constexpr U32 kOwnAddress = 0x0302A8C0;  // 192.168.2.3

U32 u32Fetch(FOURCHARID Id) {
  U32 u32Value = 0;
  BOOLEAN bValid = FALSE;
  H_DATABASE_bFetchU32(Id, &u32Value, &bValid, nullptr);
  return u32Value;
}

void writeU32(FOURCHARID Id, U32 u32Value) {
  H_DATABASE_bUpdateEverythingU32(Id, u32Value, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
}

U32 floatBits(float f) {
  U32 u32;
  std::memcpy(&u32, &f, 4);
  return u32;
}

GMSG_ADDRESS address(U32 u32Address) {
  GMSG_ADDRESS a;
  GMSG_vMakeSocketAddress(&a, u32Address, SONAR_SERVER_PORT);
  return a;
}

// A message from a peer as the message service hands it to a handler.
struct Received {
  GMSG_HEADER header{};
  GMSG_INFO info{};
  Received(U32 u32Address, GMSG_ID_TYPE id, void *pvBody) {
    header.SrcAddress = address(u32Address);
    header.u32MsgId = id;
    info.pMsgHeader = &header;
    info.pStructMsg = pvBody;
    info.bReceived = TRUE;
  }
};

void request(U32 u32Client, U32 u32Register, U32 u32Source, U32 u32Limit = 55000) {
  sonarRequestDataType body = {u32Register, u32Limit, u32Source};
  Received msg(u32Client, GMSG_ID_SONAR_REQUEST_DATA, &body);
  T_N_PING_bHandleNewDataRequest(M_PING, &msg.info, nullptr, nullptr);
}

void controlChangeFrom(U32 u32Sender, FOURCHARID fcid, U32 value, U32 advise) {
  controlChangeType body = {fcid, value, advise};
  Received msg(u32Sender, GMSG_ID_SONAR_CONTROL_CHANGE, &body);
  T_N_PING_bHandleControlChangeRecieve(M_PING, &msg.info, nullptr, nullptr);
}

struct Sent {
  U32 u32To;
  GMSG_ID_TYPE id;
  std::vector<U32> words;  // the serialised body in 32-bit words
};

std::vector<Sent> takeSent() {
  std::vector<Sent> sent;
  GMSG_STANDIN_SENT aSent[64];
  for (U32 n; (n = GMSG_STANDIN_u32TakeSent(aSent, 64)) != 0;) {
    for (U32 i = 0; i < n; ++i) {
      Sent s{aSent[i].Address.uAddr.SocketAddress.u32Address, aSent[i].MsgId, {}};
      for (U32 at = 0; at + 4 <= aSent[i].u32SerialisedLength; at += 4) {
        U32 w;
        std::memcpy(&w, aSent[i].aSerialised + at, 4);
        s.words.push_back(w);
      }
      sent.push_back(s);
    }
  }
  return sent;
}

std::vector<Sent> controlChanges(const std::vector<Sent> &sent) {
  std::vector<Sent> changes;
  for (const Sent &s : sent) {
    if (s.id == GMSG_ID_SONAR_CONTROL_CHANGE) changes.push_back(s);
  }
  return changes;
}

std::vector<void *> takeMailbox(MBOX mbox) {
  std::vector<void *> msgs;
  while (void *pv = L_MBOX_Receive(mbox)) msgs.push_back(pv);
  return msgs;
}

void drainProcessing() {
  while (void *pvMsg = L_MBOX_Receive(M_PROCESS)) T_N_PROCESS_vHandleMessageStandIn(pvMsg);
}

class PingExchange : public ::testing::Test {
 protected:
  void SetUp() override {
    PING_TEST_vFreshPingTask();
    drainProcessing();
    T_N_PING_vCreateNetworkDestinations();
    for (U16 n = 0; n < 4; ++n) {
      U_PING_vSetNetworkClientState(NETWORK_CLIENT_STATE_INIT, n);
      U_PING_vSetServerMonitorHandle(-1, n);
    }
    U_PING_vInitServerAddress();
    U_PING_vSetSystemState(STATE_NORMAL_RUN);
    T_STARTUP_vResetForTest(STATE_NORMAL_RUN, TRUE);
    for (const char *pcKey : {"ELPM", "ECPM", "ENPM"}) writeU32(FCID(reinterpret_cast<const char(&)[5]>(*pcKey)), 0);
    writeU32(FCID("CCST"), STATE_NORMAL_RUN);
    writeU32(FCID("SUDP"), U_FEET);
    GMSG_STANDIN_vSetAddress(kOwnAddress);
    takeSent();
    takeMailbox(M_SLPCLIENT);
    takeMailbox(M_SUDPIN);
    GMSG_ADDRESS drop[8];
    while (GMSG_STANDIN_u32TakeDisconnects(drop, 8) != 0) {
    }
  }
  void TearDown() override {
    L_MUTEX_LockWait(RES_SONAR_SHARE);
    for (U32 a : {kClientA, kClientB, kClientC, kClientD}) {
      T_N_PING_vSetClientLost(TRUE);
      const GMSG_ADDRESS addr = address(a);
      T_N_PING_bRegisterNetworkDestination(T_N_PING_pvNetworkDestinations(), &addr, FALSE, 0);
      GMSG_STANDIN_vFailSendsTo(a, FALSE);
    }
    T_N_PING_vDeleteAllClients();
    L_MUTEX_Unlock(RES_SONAR_SHARE);
    for (const char *pcKey : {"ELPM", "ECPM", "ENPM"}) writeU32(FCID(reinterpret_cast<const char(&)[5]>(*pcKey)), 0);
    writeU32(FCID("SUDP"), U_FEET);
    writeU32(FCID("SSTS"), 1);
    for (U16 n = 0; n < 4; ++n) U_PING_vSetNetworkClientState(NETWORK_CLIENT_STATE_INIT, n);
    U_PING_vInitServerAddress();
    GMSG_STANDIN_vSetAddress(0);
    drainProcessing();
    takeSent();
    while (void *pv = L_MBOX_Receive(M_PING)) H_MEMORY_vDumpMail(pv);  // notices of keys the task registered
    for (MBOX m : {M_SLPCLIENT, M_SUDPIN}) {
      for (void *pv : takeMailbox(m)) H_MEMORY_vFree(pv);
    }
    EXPECT_EQ(L_QUEUE_Inquire(Q_PING), static_cast<ERC>(PING_POOL_SIZE)) << "every descriptor back in the pool";
  }
};

// Every row of the translation table: a menu change of its UI key, on a unit that pings every source itself
// and serves each source to one client, becomes the saved key here and reaches exactly the clients of the
// row's sources as {saved key, value, advise 1}.
TEST_F(PingExchange, EveryRowTranslatesAndReachesTheClientsOfItsSources) {
  struct Row {
    const char *pcUi, *pcSaved;
    U32 u32Sources;
  };
  const Row rows[] = {
      {"YSSR", "SSSR", 0x6}, {"YSLD", "SSLD", 0x3}, {"YSSV", "SSSV", 0x1}, {"YSNF", "SSNF", 0xF},
      {"YSNU", "SSNU", 0xF}, {"YSMD", "SSMD", 0x3}, {"YSWA", "SSWA", 0x7}, {"YTVG", "STVG", 0x1},
      {"YSDA", "SSDA", 0x1}, {"YSFA", "SSFA", 0x1}, {"YSFI", "SSFI", 0x1}, {"YSFS", "SSFS", 0x1},
      {"YUDP", "SUDP", 0x3}, {"YDPO", "SDPO", 0x3}, {"YICE", "SICE", 0x1}, {"YSSF", "SSSF", 0x6},
      {"YJIG", "SJIG", 0x1}, {"YSPS", "SSPS", 0x8}, {"YMDR", "MSSD", 0x8}, {"YMRR", "MSSC", 0x8},
      {"YMSS", "MSSS", 0x8}, {"YMSC", "MS01", 0x8}, {"YISO", "MS03", 0x8}, {"YISS", "MS04", 0x8},
      {"YISR", "MS05", 0x8}, {"YQSO", "MS06", 0x8}, {"YQSS", "MS07", 0x8}, {"YQSR", "MS08", 0x8},
      {"YSPL", "MS09", 0x8}, {"YBT1", "MS10", 0x8}, {"YBT2", "MS11", 0x8}, {"YASS", "MS12", 0x8},
      {"YHBT", "MHBT", 0x8}, {"YHM1", "MHM1", 0x8}, {"YMSD", "SMSD", 0x8}, {"YMSM", "SMSM", 0x8},
      {"YMSE", "MSE1", 0x8}, {"YASR", "SASR", 0x8}, {"YADS", "SADS", 0x8}, {"YBMT", "MBMT", 0x8},
      {"YMSO", "SMSO", 0x8}, {"YMHL", "SMHL", 0x8},
  };
  ASSERT_EQ(std::size(rows), FCID_TRANSLATE_ROWS);
  const U32 au32ClientOfSource[4] = {kClientA, kClientB, kClientC, kClientD};
  L_MUTEX_LockWait(RES_SONAR_SHARE);
  for (U16 n = 0; n < 4; ++n) U_PING_vAddClientNode(T_N_PING_ppClientList(n), au32ClientOfSource[n]);
  L_MUTEX_Unlock(RES_SONAR_SHARE);
  writeU32(FCID("ELPM"), 0xF);
  writeU32(FCID("ECPM"), 0xF);
  U32 u32Value = 11;  // legal for every key the exchange checks, as feet are for the units
  for (const Row &row : rows) {
    SCOPED_TRACE(row.pcUi);
    const FOURCHARID ui = FCID(reinterpret_cast<const char(&)[5]>(*row.pcUi));
    const FOURCHARID saved = FCID(reinterpret_cast<const char(&)[5]>(*row.pcSaved));
    const FCID_TRANSLATE_TYPE *pRow = T_N_PING_pFindTranslateRow(ui);
    ASSERT_NE(pRow, nullptr);
    EXPECT_EQ(pRow, T_N_PING_pFindTranslateRow(saved));
    writeU32(ui, u32Value);
    T_N_PING_bControlChangeSend(ui, u32Value, 0, nullptr);
    EXPECT_EQ(u32Fetch(saved), u32Value);
    std::set<U32> to;
    for (const Sent &s : controlChanges(takeSent())) {
      EXPECT_EQ(s.words, (std::vector<U32>{1, saved, u32Value, 1}));
      EXPECT_TRUE(to.insert(s.u32To).second) << "one send per client";
    }
    std::set<U32> expected;
    for (U16 n = 0; n < 4; ++n) {
      if (row.u32Sources >> n & 1) expected.insert(au32ClientOfSource[n]);
    }
    EXPECT_EQ(to, expected);
  }
  // A key of no row goes nowhere.
  T_N_PING_bControlChangeSend(FCID("CSPD"), 5, 0, nullptr);
  EXPECT_TRUE(takeSent().empty());
}

// The round trip of a client's change: the server writes and applies the saved key, tells its other
// clients and not the origin; the other client takes it from its connected server and passes it no further.
TEST_F(PingExchange, ClientChangeRoundTrip) {
  writeU32(FCID("ELPM"), 1);
  request(kClientA, 1, 0);
  request(kClientB, 1, 0);
  takeSent();  // the synchronisation of both
  EXPECT_EQ(u32Fetch(FCID("ECPM")), 1u);
  const U32 u32Depth = floatBits(30.0f);
  controlChangeFrom(kClientA, FCID("YSLD"), u32Depth, 0);
  EXPECT_EQ(u32Fetch(FCID("SSLD")), u32Depth);
  EXPECT_EQ(u32Fetch(FCID("YSLD")), u32Depth);
  std::vector<Sent> changes = controlChanges(takeSent());
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].u32To, kClientB);
  EXPECT_EQ(changes[0].words, (std::vector<U32>{1, FCID("SSLD"), u32Depth, 1}));
  // A saved key from a client, or any key from a stranger, is ignored.
  controlChangeFrom(kClientA, FCID("SSLD"), floatBits(40.0f), 0);
  controlChangeFrom(kClientC, FCID("YSLD"), floatBits(50.0f), 0);
  EXPECT_EQ(u32Fetch(FCID("SSLD")), u32Depth);
  EXPECT_TRUE(takeSent().empty());

  // The same unit as a client of kServer for source 0.
  L_MUTEX_LockWait(RES_SONAR_SHARE);
  T_N_PING_vDeleteAllClients();
  L_MUTEX_Unlock(RES_SONAR_SHARE);
  writeU32(FCID("ECPM"), 0);
  writeU32(FCID("ELPM"), 0);
  U_PING_vSetServerAddress(address(kServer), 0);
  U_PING_vSetNetworkClientState(NETWORK_CLIENT_STATE_REGISTER, 0);
  writeU32(FCID("ENPM"), 1);
  controlChangeFrom(kServer, FCID("SSLD"), floatBits(60.0f), 1);
  EXPECT_EQ(U_PING_eGetNetworkClientState(0), NETWORK_CLIENT_STATE_CONNECTED) << "the first change connects";
  EXPECT_EQ(u32Fetch(FCID("YSLD")), floatBits(60.0f));
  EXPECT_EQ(u32Fetch(FCID("SSLD")), u32Depth) << "not pinged here: the saved key stays";
  EXPECT_TRUE(controlChanges(takeSent()).empty()) << "a server's change goes no further";
  // The user's change of the UI key goes to the server.
  T_N_PING_bControlChangeSend(FCID("YSLD"), floatBits(70.0f), 0, nullptr);
  changes = controlChanges(takeSent());
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].u32To, kServer);
  EXPECT_EQ(changes[0].words, (std::vector<U32>{1, FCID("YSLD"), floatBits(70.0f), 0}));
}

// Peers may set only what the menus can: units 10-12 (metres are feet on a domestic model), the three side
// frequency keys, finite depths within the transducer's range.
TEST_F(PingExchange, ReceivedValuesAreChecked) {
  writeU32(FCID("ELPM"), 7);
  request(kClientA, 1, 0);
  request(kClientA, 1, 1);
  takeSent();
  S_TRANSDUCER_vSetMaximumDepthRangeMetres(200.0f);
  struct Case {
    const char *pcKey, *pcWritten;
    U32 u32Value;
    bool bTaken;
    U32 u32Stored;
  };
  const float fNaN = std::nanf("");
  const Case cases[] = {
      {"YUDP", "SUDP", U_FATHOMS, true, U_FATHOMS},
      {"YUDP", "SUDP", U_METRES, true, MODEL_bDomesticModel() ? U_FEET : U_METRES},
      {"YUDP", "SUDP", 13, false, 0},
      {"YUDP", "SUDP", 0, false, 0},
      {"YSSF", "SSSF", FCID("SSF3"), true, FCID("SSF3")},
      {"YSSF", "SSSF", FCID("SSF5"), true, FCID("SSF5")},
      {"YSSF", "SSSF", FCID("CSPD"), false, 0},
      {"YSMD", "SSMD", floatBits(50.0f), true, floatBits(50.0f)},
      {"YSMD", "SSMD", floatBits(fNaN), false, 0},
      {"YSMD", "SSMD", floatBits(1e30f), false, 0},
      {"YSMD", "SSMD", floatBits(-2.0f), false, 0},
      {"YSSR", "SSSR", floatBits(INFINITY), false, 0},
      {"YSSR", "SSSR", floatBits(40.0f), true, floatBits(40.0f)},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << c.pcKey << " " << c.u32Value);
    const FOURCHARID written = FCID(reinterpret_cast<const char(&)[5]>(*c.pcWritten));
    const U32 u32Before = u32Fetch(written);
    controlChangeFrom(kClientA, FCID(reinterpret_cast<const char(&)[5]>(*c.pcKey)), c.u32Value, 0);
    EXPECT_EQ(u32Fetch(written), c.bTaken ? c.u32Stored : u32Before);
  }
}

// A new client gets every valid saved setting of its source with advise 1; the failure count drops a client
// after its twelfth failed send in a row, not its eleventh.
TEST_F(PingExchange, NewClientSynchronisationAndSendFailures) {
  writeU32(FCID("SSLD"), floatBits(25.0f));
  writeU32(FCID("STVG"), 1);
  writeU32(FCID("MS01"), 3);  // rotating sonar only
  request(kClientA, 1, 0);
  std::map<FOURCHARID, std::vector<U32>> synced;
  for (const Sent &s : controlChanges(takeSent())) {
    EXPECT_EQ(s.u32To, kClientA);
    ASSERT_EQ(s.words.size(), 4u);
    EXPECT_EQ(s.words[3], 1u);
    synced[s.words[1]] = s.words;
  }
  EXPECT_EQ(synced[FCID("SSLD")][2], floatBits(25.0f));
  EXPECT_EQ(synced[FCID("STVG")][2], 1u);
  EXPECT_EQ(synced.count(FCID("MS01")), 0u);
  EXPECT_EQ(synced.count(FCID("YSLD")), 0u) << "saved keys only";
  EXPECT_EQ(u32Fetch(FCID("ECPM")), 1u);

  writeU32(FCID("ELPM"), 1);
  GMSG_STANDIN_vFailSendsTo(kClientA, TRUE);
  GMSG_ADDRESS dropped[4];
  for (int i = 1; i <= 12; ++i) {
    SCOPED_TRACE(i);
    T_N_PING_bControlChangeSend(FCID("YSLD"), floatBits(static_cast<float>(i)), 0, nullptr);
    EXPECT_EQ(GMSG_STANDIN_u32TakeDisconnects(dropped, 4), i == 12 ? 1u : 0u);
  }
  EXPECT_EQ(dropped[0].uAddr.SocketAddress.u32Address, kClientA);
  U32 u32Index = 0;
  EXPECT_EQ(U_NETWORKDEST_gapNext(T_N_PING_pvNetworkDestinations(), &u32Index, nullptr), nullptr);
}

// The server tells every client the new transducer kind; as a client, a notice from the server of a source
// connects that source and records its transducer, while one from the rotating sonar's server changes nothing.
TEST_F(PingExchange, TransducerChangeNotices) {
  request(kClientA, 1, 0);
  request(kClientB, 1, 1);
  takeSent();
  T_N_PING_vSendTransducerChange(4);
  std::set<U32> to;
  for (const Sent &s : takeSent()) {
    ASSERT_EQ(s.id, GMSG_ID_SONAR_TRANSDUCER_CHANGE);
    EXPECT_EQ(s.words, (std::vector<U32>{1, S_TRANSDUCER_u32GetBeamsForTransducer(4), 4}));
    to.insert(s.u32To);
  }
  EXPECT_EQ(to, (std::set<U32>{kClientA, kClientB}));

  sonarTransducerChangeType change = {3, 9};
  U_PING_vSetServerAddress(address(kServer), 3);
  U_PING_vSetNetworkClientState(NETWORK_CLIENT_STATE_REGISTER, 3);
  writeU32(FCID("ENPM"), 8);
  writeU32(FCID("YST4"), 16);
  Received from360(kServer, GMSG_ID_SONAR_TRANSDUCER_CHANGE, &change);
  T_N_PING_bHandleTransducerChange(M_PING, &from360.info, nullptr, nullptr);
  EXPECT_EQ(u32Fetch(FCID("YST4")), 16u);
  EXPECT_EQ(U_PING_eGetNetworkClientState(3), NETWORK_CLIENT_STATE_REGISTER);

  U_PING_vSetServerAddress(address(kServer), 0);
  U_PING_vSetNetworkClientState(NETWORK_CLIENT_STATE_REGISTER, 0);
  writeU32(FCID("ENPM"), 1);
  GMSG_STANDIN_vSetServiceTransducer(4);
  Received from2D(kServer, GMSG_ID_SONAR_TRANSDUCER_CHANGE, &change);
  T_N_PING_bHandleTransducerChange(M_PING, &from2D.info, nullptr, nullptr);
  EXPECT_EQ(U_PING_eGetNetworkClientState(0), NETWORK_CLIENT_STATE_CONNECTED);
  EXPECT_EQ(u32Fetch(FCID("YST1")), 9u);
  const std::vector<void *> msgs = takeMailbox(M_SLPCLIENT);
  ASSERT_EQ(msgs.size(), 1u);
  EXPECT_EQ(static_cast<GENERIC_MESSAGE *>(msgs[0])->Cmd, CMD_ID_NETWORK_SERVER_CONNECT_MESSAGE);
  EXPECT_EQ(static_cast<NETWORK_SERVER_CONNECT_MESSAGE *>(msgs[0])->eService, 0u);
  H_MEMORY_vFree(msgs[0]);
  GMSG_STANDIN_vSetServiceTransducer(0);
}

// A lost server: the source-selection task hears of it with the source's dialog value and the reason, the
// stream that was joined is left, the source forgets its server. A lost client leaves every list.
TEST_F(PingExchange, LostServersAndClients) {
  struct Case {
    U16 u16Source;
    CMD_ID eCmd;
    U32 u32Reason;
    const char *pcGroup;
    U32 u32Port;
  };
  const Case cases[] = {
      {0, CMD_ID_GMSG_DISCONNECT, CONNECTION_LOST_DISCONNECT, "239.0.0.9", 50880},
      {1, CMD_ID_SERVER_MONITOR_TIMEOUT, CONNECTION_LOST_TIMEOUT, "239.2.0.9", 50882},
      {0, CMD_ID_CLIENT_MONITOR_TIMEOUT, CONNECTION_LOST_DISCONNECT, "239.0.0.9", 50880},
  };
  const FOURCHARID aYst[] = {FCID("YST1"), FCID("YST2")};
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << "source " << c.u16Source << " command " << c.eCmd);
    U_PING_vSetServerAddress(address(kServer), c.u16Source);
    U_PING_vSetNetworkClientState(NETWORK_CLIENT_STATE_CONNECTED, c.u16Source);
    writeU32(FCID("ENPM"), 1u << c.u16Source | 8u);
    writeU32(aYst[c.u16Source], 4);
    MSG_GMSG_DISCONNECT notice{};
    notice.header.Cmd = c.eCmd;
    notice.Address = address(kServer);
    T_N_PING_bHandlePeerDisconnect(&notice, c.eCmd == CMD_ID_SERVER_MONITOR_TIMEOUT);
    std::vector<void *> msgs = takeMailbox(M_SLPCLIENT);
    ASSERT_EQ(msgs.size(), 1u);
    const auto *pLost = static_cast<NETWORK_SERVER_CONNECTION_LOST_MESSAGE *>(msgs[0]);
    EXPECT_EQ(pLost->header.Cmd, CMD_ID_NETWORK_SERVER_CONNECTION_LOST_MESSAGE);
    EXPECT_EQ(pLost->u32SourceEnum, 10u + c.u16Source);
    EXPECT_EQ(pLost->eConnectionLostReason, c.u32Reason);
    EXPECT_EQ(pLost->sServerAddress.uAddr.SocketAddress.u32Address, kServer);
    H_MEMORY_vFree(msgs[0]);
    msgs = takeMailbox(M_SUDPIN);
    ASSERT_EQ(msgs.size(), 1u);
    const auto *pLeave = static_cast<MSG_SUDP_IN_REGISTER *>(msgs[0]);
    EXPECT_EQ(pLeave->doRegister, 0u);
    EXPECT_EQ(pLeave->port, c.u32Port);
    EXPECT_STREQ(pLeave->mcastAddress, c.pcGroup);
    H_MEMORY_vFree(msgs[0]);
    EXPECT_EQ(u32Fetch(FCID("ENPM")), 8u);
    EXPECT_EQ(u32Fetch(aYst[c.u16Source]), 0u);
    EXPECT_EQ(U_PING_eGetNetworkClientState(c.u16Source), NETWORK_CLIENT_STATE_DISCONNECTED);
    GMSG_ADDRESS server{};
    U_PING_vGetServerAddress(&server, c.u16Source);
    EXPECT_EQ(server.uAddr.SocketAddress.u32Address, 0u);
    GMSG_ADDRESS dropped[2];
    EXPECT_EQ(GMSG_STANDIN_u32TakeDisconnects(dropped, 2), c.eCmd == CMD_ID_SERVER_MONITOR_TIMEOUT ? 1u : 0u);
    // The unregister request went to the server.
    bool bUnregistered = false;
    for (const Sent &s : takeSent()) {
      bUnregistered |= s.id == GMSG_ID_SONAR_REQUEST_DATA && s.u32To == kServer &&
                       s.words == std::vector<U32>{1, 0, 0, c.u16Source};
    }
    EXPECT_TRUE(bUnregistered);
  }

  // A client registered for two classes from the same address leaves every list and destination.
  request(kClientA, 1, 0);
  request(kClientA, 1, 1);
  request(kClientB, 1, 0);
  EXPECT_EQ(u32Fetch(FCID("ECPM")), 3u);
  MSG_GMSG_DISCONNECT notice{};
  notice.header.Cmd = CMD_ID_GMSG_DISCONNECT;
  notice.Address = address(kClientA);
  T_N_PING_bHandlePeerDisconnect(&notice, FALSE);
  EXPECT_EQ(u32Fetch(FCID("ECPM")), 1u);
  EXPECT_FALSE(T_N_PING_bCheckActiveClientList(1));
  U32 u32Index = 0;
  std::set<U32> left;
  while (GMSG_ADDRESS *pAddress = U_NETWORKDEST_gapNext(T_N_PING_pvNetworkDestinations(), &u32Index, nullptr)) {
    left.insert(pAddress->uAddr.SocketAddress.u32Address);
  }
  EXPECT_EQ(left, std::set<U32>{kClientB});
}

// A server monitor that hears nothing for its interval tells its mailbox once, with the server's address.
TEST_F(PingExchange, ServerMonitorTimesOut) {
  const U32 u32Monitor = U_SERVER_MONITOR_u32Allocate();
  ASSERT_NE(u32Monitor, SERVER_MONITOR_NONE);
  U_SERVER_MONITOR_vSetMailbox(u32Monitor, M_PROCESS);
  U_SERVER_MONITOR_vSetTimeoutInterval(u32Monitor, 5);
  const GMSG_ADDRESS server = address(kServer);
  U_SERVER_MONITOR_vSetServerAddress(u32Monitor, &server);
  U_SERVER_MONITOR_vPoll();
  EXPECT_EQ(L_MBOX_Receive(M_PROCESS), nullptr) << "inactive";
  U_SERVER_MONITOR_vSetActive(u32Monitor, TRUE);
  void *pvNotice = nullptr;
  TEST_vWaitFor([&] {
    U_SERVER_MONITOR_vPoll();
    pvNotice = L_MBOX_Receive(M_PROCESS);
    return pvNotice != nullptr;
  });
  const auto *pNotice = static_cast<MSG_GMSG_DISCONNECT *>(pvNotice);
  EXPECT_EQ(pNotice->header.Cmd, CMD_ID_SERVER_MONITOR_TIMEOUT);
  EXPECT_EQ(pNotice->Address.uAddr.SocketAddress.u32Address, kServer);
  H_MEMORY_vFree(pvNotice);
  U_SERVER_MONITOR_vPoll();
  EXPECT_EQ(L_MBOX_Receive(M_PROCESS), nullptr) << "once: the monitor is inactive now";
}

struct Copy {
  U32 u32Group;
  U32 u32Port;
  U32 u32Length;
  std::vector<U8> data;
};

std::vector<Copy> takeCopies() {
  std::vector<Copy> copies;
  GMSG_STANDIN_SEGMENTED aSent[8];
  for (U32 n; (n = GMSG_STANDIN_u32TakeSegmented(aSent, 8)) != 0;) {
    for (U32 i = 0; i < n; ++i) {
      copies.push_back({aSent[i].Address.uAddr.SocketAddress.u32Address, aSent[i].Address.uAddr.SocketAddress.u32Port,
                        aSent[i].u32Length, std::vector<U8>(aSent[i].aData, aSent[i].aData + sizeof aSent[i].aData)});
    }
  }
  return copies;
}

// The network copy: the descriptor image and the samples to the 2-D group, cut to the client's limit (and so
// is the ping this unit processes); clients of source 0 get no side-looking pings.
TEST_F(PingExchange, NetworkCopyOfPings) {
  writeU32(FCID("ELPM"), 1);
  request(kClientA, 1, 0, 1000);
  takeSent();
  PING_DESCRIPTOR *pPing = nullptr;
  ASSERT_EQ(L_QUEUE_Get(Q_PING, &pPing), 0);
  pPing->Beam = 1;
  pPing->u32NumberOfSamples = 5000;
  pPing->u32TransmitFrequencyHertz = 200000;
  pPing->bIsLocal = TRUE;
  for (U32 i = 0; i < 5000; ++i) pPing->pu8RawSonarData[i] = static_cast<U8>(i);
  X_pingDataDirector(SONAR_SOURCE_2D, FALSE, NETWORK_SONAR_PROCESS, 0, pPing, nullptr, nullptr);
  std::vector<Copy> copies = takeCopies();
  ASSERT_EQ(copies.size(), 1u);
  EXPECT_EQ(copies[0].u32Group, 239u | (kOwnAddress & 0xFFFF0000u));
  EXPECT_EQ(copies[0].u32Port, 50880u);
  EXPECT_EQ(copies[0].u32Length, PING_IMAGE_SIZE + 1000);
  U32 u32Samples, u32Frequency;
  std::memcpy(&u32Samples, copies[0].data.data() + 4, 4);
  std::memcpy(&u32Frequency, copies[0].data.data() + 248, 4);
  EXPECT_EQ(u32Samples, 1000u);
  EXPECT_EQ(u32Frequency, 200000u);
  EXPECT_EQ(copies[0].data[0], 1);
  for (U32 at = 8; at < 16; ++at) EXPECT_EQ(copies[0].data[at], 0) << "pointer bytes " << at;
  EXPECT_EQ(copies[0].data[272], 0) << "bIsLocal";
  EXPECT_EQ(copies[0].data[PING_IMAGE_SIZE + 7], 7);
  PING_MESSAGE *pMsg = static_cast<PING_MESSAGE *>(L_MBOX_Receive(M_PROCESS));
  ASSERT_NE(pMsg, nullptr);
  EXPECT_EQ(pMsg->pReturnDescriptor->u32NumberOfSamples, 1000u);
  EXPECT_TRUE(pMsg->pReturnDescriptor->bIsLocal);
  T_N_PROCESS_vHandleMessageStandIn(pMsg);

  ASSERT_EQ(L_QUEUE_Get(Q_PING, &pPing), 0);
  pPing->Beam = 2;
  pPing->u32NumberOfSamples = 100;
  X_pingDataDirector(SONAR_SOURCE_ZP, FALSE, NETWORK_SONAR_PROCESS, 0, pPing, nullptr, nullptr);
  EXPECT_TRUE(takeCopies().empty()) << "no client of the imaging source";
  drainProcessing();

  // With no block left for the copy, a log line; the ping is still processed.
  request(kClientA, 0, 0);
  request(kClientA, 1, 0, PING_MAX_SAMPLES);
  std::vector<void *> held;
  while (void *pv = H_MEMORY_pvMallocNoWait(PING_IMAGE_SIZE + PING_MAX_SAMPLES)) held.push_back(pv);
  ASSERT_EQ(L_QUEUE_Get(Q_PING, &pPing), 0);
  pPing->Beam = 1;
  pPing->u32NumberOfSamples = PING_MAX_SAMPLES;
  X_pingDataDirector(SONAR_SOURCE_2D, FALSE, NETWORK_SONAR_PROCESS, 0, pPing, nullptr, nullptr);
  for (void *pv : held) H_MEMORY_vFree(pv);
  EXPECT_TRUE(takeCopies().empty());
  pMsg = static_cast<PING_MESSAGE *>(L_MBOX_Receive(M_PROCESS));
  ASSERT_NE(pMsg, nullptr);
  EXPECT_EQ(pMsg->pReturnDescriptor->u32NumberOfSamples, PING_MAX_SAMPLES);
  T_N_PROCESS_vHandleMessageStandIn(pMsg);
}

// The legal beam selection and side frequency for each transducer kind.
TEST_F(PingExchange, BeamSelectionAndSideFrequencyFollowTheTransducer) {
  struct Case {
    U32 u32Kind;
    U32 u32Beams;
    const char *pcFrequency;
    U32 u32ExpectBeams;
    const char *pcExpectFrequency;
  };
  const Case cases[] = {
      {1, 5, "SSF5", 1, "SSF5"},  {4, 4, "SSF5", 4, "SSF5"},  {14, 7, "SSF3", 1, "SSF3"},
      {2, 5, "SSF5", 5, "SSF4"},  {3, 1, "SSF3", 1, "SSF4"},  {9, 1, "SSF4", 1, "SSF4"},
      {5, 1, "SSF3", 1, "SSF3"},  {5, 1, "SSF5", 1, "SSF4"},  {10, 1, "SSF5", 1, "SSF5"},
      {15, 1, "SSF3", 1, "SSF4"}, {18, 2, "SSF4", 2, "SSF4"}, {6, 7, "SSF3", 7, "SSF3"},
      {7, 3, "SSF3", 1, "SSF3"},  {16, 0, "SSF5", 1, "SSF5"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << "kind " << c.u32Kind);
    writeU32(FCID("SSSV"), c.u32Beams);
    writeU32(FCID("SSSF"), FCID(reinterpret_cast<const char(&)[5]>(*c.pcFrequency)));
    T_N_PING_vLegaliseForTransducer(c.u32Kind);
    EXPECT_EQ(u32Fetch(FCID("SSSV")), c.u32ExpectBeams);
    EXPECT_EQ(u32Fetch(FCID("SSSF")), FCID(reinterpret_cast<const char(&)[5]>(*c.pcExpectFrequency)));
  }
}

// Source switches: a kind without the source refuses; a local rotating sonar is kind 16; the UI keys take
// the local saved values, 'YBMT' 255 when its saved key is invalid.
TEST_F(PingExchange, SourceSwitches) {
  writeU32(FCID("SSTS"), 1);
  writeU32(FCID("ELPM"), 1);
  writeU32(FCID("YST2"), 0);
  EXPECT_FALSE(T_N_PING_vSwitchToLocalSonar(SONAR_SOURCE_ZP));
  EXPECT_EQ(u32Fetch(FCID("ELPM")), 1u);
  EXPECT_EQ(U_PING_eGetNetworkClientState(SONAR_SOURCE_ZP), NETWORK_CLIENT_STATE_INIT);
  EXPECT_EQ(u32Fetch(FCID("YST2")), 0u);

  writeU32(FCID("SSTS"), 16);
  if ((S_TRANSDUCER_u32GetSonarSources(16) & 8) != 0) {
    EXPECT_TRUE(T_N_PING_vSwitchToLocalSonar(SONAR_SOURCE_360));
    EXPECT_EQ(u32Fetch(FCID("YST4")), 16u);
    EXPECT_EQ(U_PING_eGetNetworkClientState(SONAR_SOURCE_360), NETWORK_CLIENT_STATE_LOCAL);
  }

  T_N_PING_vSwitchToNetworkSonar(SONAR_SOURCE_2D, 4, 0xAB123456);
  EXPECT_EQ(u32Fetch(FCID("ELPM")) & 1, 0u);
  EXPECT_EQ(T_N_PING_u32SonarSourceId(SONAR_SOURCE_2D), 0x123456u);
  EXPECT_EQ(U_PING_eGetNetworkClientState(SONAR_SOURCE_2D), NETWORK_CLIENT_STATE_DISCONNECTED);
  EXPECT_EQ(u32Fetch(FCID("YST1")), 4u);

  writeU32(FCID("MS01"), 6);
  H_DATABASE_vDeleteEntry(FCID("MBMT"));
  T_N_PING_vUpdateLocalDatabaseItems(SONAR_SOURCE_360);
  EXPECT_EQ(u32Fetch(FCID("YMSC")), 6u);
  EXPECT_EQ(u32Fetch(FCID("YBMT")), 255u);
  writeU32(FCID("MBMT"), 0);
  T_N_PING_vUpdateLocalDatabaseItems(SONAR_SOURCE_360);
  EXPECT_EQ(u32Fetch(FCID("YBMT")), 0u) << "a valid saved 0 is copied";
}

}  // namespace

namespace {

void dumpMailbox(MBOX mbox) {
  while (void *pv = L_MBOX_Receive(mbox)) H_MEMORY_vDumpMail(pv);
}

DB_DATA_TYPE u32Value(U32 u32) {
  DB_DATA_TYPE db{};
  db.u32Val = u32;
  return db;
}

// Defaults lose against stored values at start and replace them on a factory reset; the depth units stay
// unowned, the depth to ping and the mailbox key are the task's own.
TEST_F(PingExchange, RegistrationDefaults) {
  writeU32(FCID("CSFL"), 50);
  writeU32(FCID("SSF5"), 700);
  writeU32(FCID("SUDP"), U_FATHOMS);
  H_DATABASE_bUpdateEverythingFloat(FCID("CSPD"), 33.0f, P_NORMAL, D_DEPTH, nullptr, DB_NO_TIMEOUT);
  T_N_PING_vRegisterDatabaseItems(FALSE);
  EXPECT_EQ(u32Fetch(FCID("CSFL")), 50u);
  EXPECT_EQ(u32Fetch(FCID("SSF5")), 700u);
  EXPECT_EQ(u32Fetch(FCID("SUDP")), static_cast<U32>(U_FATHOMS));
  EXPECT_EQ(u32Fetch(FCID("CSPD")), floatBits(0.0f));
  MBOX mbox = 0;
  ASSERT_TRUE(H_DATABASE_bFetchMailbox(FCID("TPNG"), &mbox));
  EXPECT_EQ(mbox, M_PING);
  T_N_PING_vRegisterDatabaseItems(TRUE);
  EXPECT_EQ(u32Fetch(FCID("CSFL")), 83u);
  EXPECT_EQ(u32Fetch(FCID("SSF5")), 800u);
  EXPECT_EQ(u32Fetch(FCID("SSSF")), FCID("SSF4"));
  EXPECT_EQ(u32Fetch(FCID("SUDP")), static_cast<U32>(U_FATHOMS)) << "a default at 15 never wins";
  dumpMailbox(M_PING);
  T_N_PING_vResetForTest();
}

TEST_F(PingExchange, SettingReactions) {
  // Below 2 ft no maximum depth.
  struct Depth {
    float fMetres;
    double dKept;
  };
  for (const Depth &d : {Depth{0.5f, 0.0}, Depth{0.61f, 0.61f}, Depth{30.0f, 30.0}}) {
    DB_DATA_TYPE db{};
    db.fVal = d.fMetres;
    T_N_PING_vHandleNewData(FCID("SSMD"), db, TRUE);
    EXPECT_EQ(T_N_PING_dGetMaximumDepthToPing(), d.dKept) << d.fMetres;
  }
  T_N_PING_vSetMaximumDepthToPing(0);

  // The sonar off and on again restores the local mask and makes a null ping.
  writeU32(FCID("ELPM"), 3);
  T_N_PING_vHandleNewData(FCID("SSEN"), u32Value(FALSE), TRUE);
  EXPECT_EQ(u32Fetch(FCID("ELPM")), 0u);
  U32 u32Reads = HOST_SONAR_u32Reads();
  T_N_PING_vHandleNewData(FCID("SSEN"), u32Value(TRUE), TRUE);
  EXPECT_EQ(u32Fetch(FCID("ELPM")), 3u);
  EXPECT_EQ(HOST_SONAR_u32Reads(), u32Reads + 1) << "a null ping";
  // In the simulator the mask stays as it is.
  U_PING_vSetSystemState(STATE_SIMULATION);
  T_N_PING_vHandleNewData(FCID("SSEN"), u32Value(FALSE), TRUE);
  EXPECT_EQ(u32Fetch(FCID("ELPM")), 3u);
  u32Reads = HOST_SONAR_u32Reads();
  T_N_PING_vHandleNewData(FCID("SSEN"), u32Value(TRUE), TRUE);
  EXPECT_EQ(u32Fetch(FCID("ELPM")), 3u);
  EXPECT_EQ(HOST_SONAR_u32Reads(), u32Reads + 1);
  U_PING_vSetSystemState(STATE_NORMAL_RUN);

  // A playback-mode notice of the current mode tells processing nothing; another mode does.
  T_N_PING_vHandleNewData(FCID("CPSP"), u32Value(13), TRUE);
  EXPECT_EQ(L_MBOX_Receive(M_PROCESS), nullptr);
  T_N_PING_vHandleNewData(FCID("CPSP"), u32Value(1), TRUE);
  auto *pMsg = static_cast<MSG_NEW_PLAYBACK_STATE *>(L_MBOX_Receive(M_PROCESS));
  ASSERT_NE(pMsg, nullptr);
  EXPECT_EQ(pMsg->header.Cmd, CMD_ID_NEW_PLAYBACK_STATE);
  EXPECT_EQ(pMsg->u32NewPlaybackState, 1u);
  H_MEMORY_vDumpMail(pMsg);
  T_N_PING_vHandleNewData(FCID("CPSP"), u32Value(1), TRUE);
  EXPECT_EQ(L_MBOX_Receive(M_PROCESS), nullptr);
}

// A transducer change on a server: the ping masks follow the kind's sources, clients hear of it and the
// side frequency is made legal.
TEST_F(PingExchange, TransducerChangeOnTheServer) {
  writeU32(FCID("ITXD"), 1);
  U_PING_vSetNetworkClientState(NETWORK_CLIENT_STATE_LOCAL, 0);
  request(kClientA, 1, 0);
  takeSent();
  writeU32(FCID("SSSV"), 1);
  writeU32(FCID("SSSF"), FCID("SSF5"));
  T_N_PING_vHandleNewData(FCID("SSTS"), u32Value(2), TRUE);
  EXPECT_EQ(u32Fetch(FCID("ELPM")), S_TRANSDUCER_u32GetSonarSources(2) & 7);
  EXPECT_EQ(u32Fetch(FCID("YST1")), (S_TRANSDUCER_u32GetSonarSources(2) & 1) ? 2u : 0u);
  EXPECT_EQ(u32Fetch(FCID("SSSF")), FCID("SSF4"));
  bool bTold = false;
  for (const Sent &s : takeSent()) {
    bTold |= s.id == GMSG_ID_SONAR_TRANSDUCER_CHANGE && s.u32To == kClientA && s.words.size() == 3 && s.words[2] == 2;
  }
  EXPECT_TRUE(bTold);
  T_N_PING_vHandleNewData(FCID("SSTS"), u32Value(1), TRUE);
  takeSent();
}

}  // namespace

namespace {

// The per-source state as new source ids arrive, with this unit's id 0x00ABCD and a transducer detected.
TEST_F(PingExchange, SourceStateFollowsTheSourceId) {
  writeU32(FCID("SMAC"), 0x00ABCD);
  writeU32(FCID("ITXD"), 1);
  writeU32(FCID("SSTS"), 1);
  writeU32(FCID("SSES"), 1);
  struct Step {
    NETWORK_CLIENT_STATE eFrom;
    S32 s32Id;
    BOOLEAN bDetected;
    NETWORK_CLIENT_STATE eTo;
    U32 u32Local;  // 'ELPM' after, from 0 before ('ENPM' 1 before: cleared unless noted)
    U32 u32Network;
  };
  const Step steps[] = {
      {NETWORK_CLIENT_STATE_INIT, 0x00ABCD, TRUE, NETWORK_CLIENT_STATE_LOCAL, 0, 1},
      {NETWORK_CLIENT_STATE_INIT, 0x00ABCD, FALSE, NETWORK_CLIENT_STATE_DISCONNECTED, 0, 1},
      {NETWORK_CLIENT_STATE_INIT, 0x123456, TRUE, NETWORK_CLIENT_STATE_DISCONNECTED, 0, 1},
      {NETWORK_CLIENT_STATE_LOCAL, 0x123456, TRUE, NETWORK_CLIENT_STATE_DISCONNECTED, 0, 0},
      {NETWORK_CLIENT_STATE_LOCAL, 0x00ABCD, TRUE, NETWORK_CLIENT_STATE_LOCAL, 1, 0},
      {NETWORK_CLIENT_STATE_LOCAL, -1, TRUE, NETWORK_CLIENT_STATE_LOCAL, 0, 1},
      {NETWORK_CLIENT_STATE_LOCAL, 0x123456, FALSE, NETWORK_CLIENT_STATE_LOCAL, 0, 1},
      {NETWORK_CLIENT_STATE_CONNECTED, 0x00ABCD, TRUE, NETWORK_CLIENT_STATE_LOCAL, 1, 0},
      {NETWORK_CLIENT_STATE_DISCONNECTED, 0x00ABCD, TRUE, NETWORK_CLIENT_STATE_LOCAL, 1, 0},
      {NETWORK_CLIENT_STATE_CONNECTED, 0x123456, TRUE, NETWORK_CLIENT_STATE_CONNECTED, 0, 1},
      {NETWORK_CLIENT_STATE_REGISTER, 0x00ABCD, TRUE, NETWORK_CLIENT_STATE_REGISTER, 0, 1},
  };
  for (const Step &s : steps) {
    SCOPED_TRACE(testing::Message() << "from " << s.eFrom << " id " << s.s32Id << " detected " << int(s.bDetected));
    T_STARTUP_vResetForTest(STATE_NORMAL_RUN, s.bDetected);
    U_PING_vSetNetworkClientState(s.eFrom, 0);
    writeU32(FCID("ELPM"), 0);
    writeU32(FCID("ENPM"), 1);
    T_N_PING_vUpdateSonarSource(s.s32Id, 0);
    EXPECT_EQ(U_PING_eGetNetworkClientState(0), s.eTo);
    EXPECT_EQ(u32Fetch(FCID("ELPM")), s.u32Local);
    EXPECT_EQ(u32Fetch(FCID("ENPM")), s.u32Network);
    EXPECT_EQ(T_N_PING_u32SonarSourceId(0), static_cast<U32>(s.s32Id) & 0xFFFFFF);
  }
  T_STARTUP_vResetForTest(STATE_NORMAL_RUN, TRUE);
  H_DATABASE_vDeleteEntry(FCID("SMAC"));
}

// 'ISEN': playback; a connected 2-D or imaging source with the network found; or a detected transducer, the
// sonar on and a local 2-D or imaging source.
TEST_F(PingExchange, SonarViewsOffered) {
  struct Case {
    BOOLEAN bPlayback;
    BOOLEAN bFound;
    NETWORK_CLIENT_STATE eSource1;
    U32 u32Detected;
    BOOLEAN bSonarOn;
    bool bOffered;
  };
  const Case cases[] = {
      {TRUE, FALSE, NETWORK_CLIENT_STATE_DISCONNECTED, 0, FALSE, true},
      {FALSE, TRUE, NETWORK_CLIENT_STATE_CONNECTED, 0, FALSE, true},
      {FALSE, FALSE, NETWORK_CLIENT_STATE_CONNECTED, 0, TRUE, false},
      {FALSE, FALSE, NETWORK_CLIENT_STATE_LOCAL, 1, TRUE, true},
      {FALSE, FALSE, NETWORK_CLIENT_STATE_LOCAL, 0xFFFFFFFF, TRUE, false},
      {FALSE, FALSE, NETWORK_CLIENT_STATE_LOCAL, 1, FALSE, false},
      {FALSE, TRUE, NETWORK_CLIENT_STATE_REGISTER, 1, TRUE, false},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << int(c.bPlayback) << int(c.bFound) << " " << c.eSource1 << " "
                                    << c.u32Detected << " " << int(c.bSonarOn));
    U_PING_vSetPlayback(c.bPlayback);
    H_DATABASE_bUpdateEverythingBoolean(FCID("SFEF"), c.bFound, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
    U_PING_vSetNetworkClientState(c.eSource1, 1);
    writeU32(FCID("ITXD"), c.u32Detected);
    H_DATABASE_bUpdateEverythingBoolean(FCID("SSEN"), c.bSonarOn, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
    T_N_PING_vSetSonarViewEnable();
    EXPECT_EQ(u32Fetch(FCID("ISEN")) != 0, c.bOffered);
  }
  U_PING_vSetPlayback(FALSE);
  H_DATABASE_bUpdateEverythingBoolean(FCID("SFEF"), FALSE, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  H_DATABASE_bUpdateEverythingBoolean(FCID("SSEN"), TRUE, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
}

}  // namespace

namespace {

// While recording with a limit of 5 pings a second, pings end at least 200 ms apart (the ping's own stamp is
// taken before its transfer, whose length varies).
TEST_F(PingExchange, RecordingRateLimit) {
  U_PING_vSetBeamSelected(1);
  writeU32(FCID("ELPM"), 1);
  T_N_PING_vSetMasks(1, 0, 0);
  T_N_PING_vSetStateForTest(TRUE, FALSE, 1, TRUE, 5);
  std::vector<U32> ends;
  for (int i = 0; i < 3; ++i) {
    T_N_PING_vPingDecisionForTest();
    ends.push_back(H_TICK_u32ReadFreeRunningTimerInMilliSeconds());
    EXPECT_EQ(L_MBOX_u32Count(M_PROCESS), 1u) << "one ping of beam 1";
    drainProcessing();
  }
  EXPECT_GE(ends[1] - ends[0], 200u);
  EXPECT_GE(ends[2] - ends[1], 200u);
  T_N_PING_vSetStateForTest(TRUE, FALSE, 1, FALSE, 11);
}

}  // namespace

namespace {

// Messages posted to the ping task's mailbox reach their handlers through its message map.
TEST_F(PingExchange, ReceivedMessagesReachTheirHandlers) {
  ASSERT_TRUE(U_GMSG_bRegisterMailbox(M_PING, RES_PING, SEMA_GMSG_PING, T_N_PING_pMessageMap(), SONAR_SERVER_PORT));
  auto dispatch = [] {
    while (void *pvMsg = L_MBOX_Receive(M_PING)) {
      if (static_cast<GENERIC_MESSAGE *>(pvMsg)->Cmd == CMD_ID_GMSG_RECEIVE) {
        U_GMSG_bHandleReceive(static_cast<MSG_GMSG_RECEIVE *>(pvMsg));
      }
      H_MEMORY_vDumpMail(pvMsg);
    }
  };
  const GMSG_ADDRESS client = address(kClientA);
  const sonarRequestDataType request = {1, 2000, 0};
  GMSG_STANDIN_vInjectReceive(M_PING, &client, GMSG_ID_SONAR_REQUEST_DATA, &request, sizeof request);
  dispatch();
  EXPECT_TRUE(T_N_PING_bCheckActiveClientList(0));
  takeSent();
  writeU32(FCID("ELPM"), 1);
  const controlChangeType change = {FCID("YSDA"), 4, 0};
  GMSG_STANDIN_vInjectReceive(M_PING, &client, GMSG_ID_SONAR_CONTROL_CHANGE, &change, sizeof change);
  dispatch();
  EXPECT_EQ(u32Fetch(FCID("SSDA")), 4u);
  EXPECT_EQ(u32Fetch(FCID("YSDA")), 4u);
  EXPECT_TRUE(controlChanges(takeSent()).empty()) << "the only client is the origin";
}

}  // namespace
