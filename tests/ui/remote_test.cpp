// The Bluetooth remote task, driven through its message and timer handlers on the test clock. Receiver traffic
// is posted as the NMEA task would; what the task sends is read from the mailboxes of the tasks it addresses.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "golden.h"
#include "autopilot/vantrel_remote_standin.h"
#include "draw/color.h"
#include "draw/truetype.h"
#include "chart/chart_remote_standin.h"
#include "settings/database.h"
#include "kernel/mbox.h"
#include "kernel/memory.h"
#include "kernel/sema.h"
#include "kernel/timer.h"
#include "nav/nav_mark_standin.h"
#include "ui/menu/menu.h"
#include "ui/remote/remote_internal.h"
#include "ui_test_env.h"
#include "run_apart.h"

TEST_RUN_APART(RemoteTest);

namespace {

// Buttons as the remote counts them.
enum Button : U32 { MARK = 1, MINUS = 2, PLUS = 3, MENU = 4, DATA_BOX = 5, VIEW1 = 6, VIEW2 = 7 };

struct Key {
  U32 key;
  KEY_STATE state;
  CURSOR_POSITION cursor;
  bool operator==(const Key &o) const { return key == o.key && state == o.state && cursor == o.cursor; }
};
std::ostream &operator<<(std::ostream &os, const Key &k) {
  return os << "{key " << k.key << " state " << k.state << " cursor " << k.cursor << "}";
}

void publish(const char (&key)[5], MBOX mbox) {
  H_DATABASE_bUpdateEverythingU32(FCID(key), static_cast<U32>(mbox), P_NORMAL, D_MAILBOX, nullptr, DB_NO_TIMEOUT);
}

class RemoteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_UI_TEST_CLOCK();
    publish("TMNU", M_MENU);
    publish("TVUE", M_VIEW);
    publish("TKBD", M_KEYB);
    T_BTREMOTE_vResetForTest();
    T_BTREMOTE_vInit();
    pump();
    setView(SONAR_VIEW_PRIORITY, SPLIT_FULL_WINDOW);
    rx(BLUETOOTH_TYPE_HB, 0);  // the receiver is seen: menus, heartbeat, a status request
    EXPECT_EQ(sentToReceiver(), (std::vector<std::pair<U32, U32>>{{BLUETOOTH_TYPE_STATUS, 1}}));
    drainAll();
  }
  void TearDown() override {
    T_BTREMOTE_vResetForTest();
    drainAll();
  }

  // Hands the task everything in its mailbox.
  void pump() {
    while (void *pvMsg = L_MBOX_Receive(M_BT_REMOTE)) T_BTREMOTE_vHandleMessage(pvMsg);
  }
  void write(const char *pcKey, U32 u32Value) {
    const FOURCHARID fcid = static_cast<U32>(static_cast<U8>(pcKey[0])) | static_cast<U32>(static_cast<U8>(pcKey[1])) << 8 |
                            static_cast<U32>(static_cast<U8>(pcKey[2])) << 16 | static_cast<U32>(static_cast<U8>(pcKey[3])) << 24;
    H_DATABASE_bUpdateValueU32(fcid, u32Value, P_NORMAL);
    pump();
  }
  void setView(LAYER_ID eView, SPLIT_WINDOW_TYPE eSplit) {
    H_DATABASE_bUpdateValueU32(FCID("CVAS"), static_cast<U32>(eSplit), P_NORMAL);
    write("CVEW", static_cast<U32>(eView));
  }
  // Moves the clock and runs the timers that fired.
  void advance(U32 u32Ms) {
    PLATFORM_CLOCK_vAdvanceTestClockMs(u32Ms);
    TIMER_vSyncForTest();
    for (SEMA sema : {SEMA_TIMER_BT_BUTTON, SEMA_TIMER_BT_ACK, SEMA_TIMER_BT_HB, SEMA_TIMER_BT_CONF}) {
      if (UI_bTakeSignal(sema)) T_BTREMOTE_vHandleTimer(sema);
    }
    pump();
  }

  void button(U32 u32Button, bool bPress, U32 u32Timestamp) {
    auto *pMsg = static_cast<MSG_BLUETOOTH_REMOTE_BUTTON *>(H_MEMORY_pvCalloc(1, sizeof(MSG_BLUETOOTH_REMOTE_BUTTON)));
    pMsg->header.Cmd = CMD_ID_BLUETOOTH_REMOTE_RX;
    pMsg->eMsgtype = BLUETOOTH_TYPE_BUTTON;
    pMsg->eRemoteKey = u32Button;
    pMsg->eRemoteKeyState = bPress ? REMOTE_KEY_PRESS : REMOTE_KEY_RELEASE;
    pMsg->u32Timestamp = u32Timestamp;
    L_MBOX_Send(M_BT_REMOTE, pMsg, NORMAL_PRIORITY, 0);
    pump();
  }
  void click(U32 u32Button, U32 u32PressedMs) {
    button(u32Button, true, 5000);
    button(u32Button, false, 5000 + u32PressedMs);
  }
  void rx(REMOTE_MSG_TYPE eType, U8 u8Value) {
    auto *pMsg =
        static_cast<MSG_BLUETOOTH_REMOTE_GENERIC *>(H_MEMORY_pvCalloc(1, sizeof(MSG_BLUETOOTH_REMOTE_GENERIC)));
    pMsg->header.Cmd = CMD_ID_BLUETOOTH_REMOTE_RX;
    pMsg->eMsgtype = eType;
    pMsg->u8Value = u8Value;
    L_MBOX_Send(M_BT_REMOTE, pMsg, NORMAL_PRIORITY, 0);
    pump();
  }
  void opMode(const char *pcHex) {
    auto *pMsg =
        static_cast<MSG_BLUETOOTH_REMOTE_STATUS *>(H_MEMORY_pvCalloc(1, sizeof(MSG_BLUETOOTH_REMOTE_STATUS)));
    pMsg->header.Cmd = CMD_ID_BLUETOOTH_REMOTE_RX;
    pMsg->eMsgtype = BLUETOOTH_TYPE_STATUS;
    pMsg->eStatusType = REMOTE_STATUS_TYPE_OP_MODE;
    std::memcpy(pMsg->au8Status, pcHex, 2);
    L_MBOX_Send(M_BT_REMOTE, pMsg, NORMAL_PRIORITY, 0);
    pump();
  }

  // Key messages a mailbox received.
  std::vector<Key> keys(MBOX mbox) {
    std::vector<Key> got;
    for (void *pvMsg : messages(mbox)) {
      auto *pMsg = static_cast<MSG_KEY_CHANGE *>(pvMsg);
      if (pMsg->header.Cmd == CMD_ID_KEY_CHANGE) got.push_back({pMsg->key, pMsg->state, pMsg->cursor});
      H_MEMORY_vDumpMail(pvMsg);
    }
    return got;
  }
  // Commands a mailbox received (the messages are released).
  std::vector<CMD_ID> commands(MBOX mbox) {
    std::vector<CMD_ID> got;
    for (void *pvMsg : messages(mbox)) {
      got.push_back(static_cast<GENERIC_MESSAGE *>(pvMsg)->Cmd);
      H_MEMORY_vDumpMail(pvMsg);
    }
    return got;
  }
  // The remote's layers registered (+) and removed (-) at the view task; the menu task's are left out.
  std::vector<long> layers() {
    std::vector<long> got;
    for (void *pvMsg : messages(M_VIEW)) {
      const auto *pHeader = static_cast<GENERIC_MESSAGE *>(pvMsg);
      long layer = 0;
      if (pHeader->Cmd == CMD_ID_REGISTER_LAYER) layer = static_cast<MSG_REGISTER_LAYER *>(pvMsg)->layer;
      if (pHeader->Cmd == CMD_ID_UNREGISTER_LAYER) layer = -static_cast<MSG_UNREGISTER_LAYER *>(pvMsg)->layer;
      if (std::labs(layer) == INFO_BT_REMOTE_LAYER || std::labs(layer) == INFO_BT_CONF_LAYER) got.push_back(layer);
      H_MEMORY_vDumpMail(pvMsg);
    }
    return got;
  }
  // Commands sent to the receiver.
  std::vector<std::pair<U32, U32>> sentToReceiver() {
    std::vector<std::pair<U32, U32>> got;
    for (void *pvMsg : messages(M_NMEA)) {
      const auto *pMsg = static_cast<MSG_BLUETOOTH_REMOTE_GENERIC *>(pvMsg);
      EXPECT_EQ(pMsg->header.Cmd, CMD_ID_BLUETOOTH_REMOTE_TX);
      got.emplace_back(static_cast<U32>(pMsg->eMsgtype), pMsg->u8Value);
      H_MEMORY_vDumpMail(pvMsg);
    }
    return got;
  }
  std::vector<void *> messages(MBOX mbox) {
    std::vector<void *> got;
    while (void *pvMsg = L_MBOX_Receive(mbox)) got.push_back(pvMsg);
    return got;
  }
  void drainAll() {
    for (MBOX mbox : {M_MENU, M_VIEW, M_KEYB, M_NMEA, M_NAV, M_VIEWKEY}) commands(mbox);
    for (SEMA sema : {SEMA_KEYCLICK_GOOD, SEMA_KEYBOARD_LONG_GOTO}) UI_bTakeSignal(sema);
  }
  U32 fetch(const char (&key)[5]) {
    U32 u32Value = 0xDEAD;
    H_DATABASE_bFetchU32(FCID(key), &u32Value, nullptr, nullptr);
    return u32Value;
  }
  const BTREMOTE_STATE &state() { return BTREMOTE_state(); }
};

TEST_F(RemoteTest, PressLengthComesFromTheRemotesTimeStamps) {
  // Both arrive before the unit's own button timer could fire.
  const U32 u32Marks = NAV_STANDIN_u32Marks();
  click(MARK, 1000);
  EXPECT_EQ(NAV_STANDIN_u32Marks(), u32Marks + 1);
  EXPECT_TRUE(commands(M_KEYB).empty());

  click(MARK, 1001);  // a hold: option 0 powers the unit off
  EXPECT_EQ(NAV_STANDIN_u32Marks(), u32Marks + 1);
  std::vector<void *> msgs = messages(M_KEYB);
  ASSERT_EQ(msgs.size(), 1u);
  const auto *pShutdown = static_cast<MSG_INITIATE_SHUTDOWN *>(msgs[0]);
  EXPECT_EQ(pShutdown->header.Cmd, CMD_ID_INITIATE_SHUTDOWN);
  EXPECT_TRUE(pShutdown->bPowerOff);
  EXPECT_FALSE(pShutdown->bReset);
  H_MEMORY_vDumpMail(msgs[0]);

  // The remote's clock wraps between press and release: still 1,001 ms.
  button(MARK, true, 0xFFFFFF00u);
  button(MARK, false, 0xFFFFFF00u + 1001);
  EXPECT_EQ(commands(M_KEYB), std::vector<CMD_ID>{CMD_ID_INITIATE_SHUTDOWN});
}

TEST_F(RemoteTest, AHeldMenuRunsTheHoldActionWhenTheTimerFiresAndIgnoresTheRelease) {
  button(MENU, true, 100);
  advance(999);
  EXPECT_TRUE(keys(M_MENU).empty());
  advance(1);  // the hold action: the 2-D sonar's hold option 0 shows the beam selection and steps it
  EXPECT_EQ(state().eKey, REMOTE_KEY_WAITING_FOR_RELEASE);
  EXPECT_EQ(layers(), (std::vector<long>{-INFO_BT_CONF_LAYER, INFO_BT_CONF_LAYER}));
  std::vector<CMD_ID> menuCommands = commands(M_MENU);
  EXPECT_EQ(menuCommands, (std::vector<CMD_ID>{CMD_ID_ACTIVATE_SINGLE_CENTERED_MENU, CMD_ID_KEY_CHANGE,
                                               CMD_ID_KEY_CHANGE}));
  testing::internal::CaptureStdout();
  button(MENU, false, 1300);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("Release IGNORED"), std::string::npos) << out;
  EXPECT_TRUE(commands(M_MENU).empty());
  EXPECT_EQ(state().eKey, REMOTE_KEY_NONE);
}

TEST_F(RemoteTest, BothViewButtonsTogetherSendOneViewKey) {
  button(VIEW1, true, 10);
  button(VIEW2, true, 20);
  button(PLUS, true, 30);  // ignored until a release
  EXPECT_EQ(keys(M_VIEWKEY), (std::vector<Key>{{KEY_BIT_EXIT, KEY_DOWN, static_cast<CURSOR_POSITION>(0)}}));
  EXPECT_TRUE(commands(M_MENU).empty());
  button(VIEW2, false, 40);
  button(VIEW1, false, 50);
  button(VIEW2, true, 60);
  EXPECT_EQ(keys(M_VIEWKEY), (std::vector<Key>{{KEY_BIT_VIEW, KEY_DOWN, static_cast<CURSOR_POSITION>(0)}}));
}

TEST_F(RemoteTest, AnAcknowledgementOfAnotherChecksumStopsTheTimerButKeepsTheCommand) {
  rx(BLUETOOTH_TYPE_HELLO, 0);  // the heartbeat already runs: nothing new
  EXPECT_TRUE(sentToReceiver().empty());
  rx(BLUETOOTH_TYPE_CHECKSUM, 0x55);
  rx(BLUETOOTH_TYPE_ACK, 0x66);
  advance(2000);
  EXPECT_TRUE(sentToReceiver().empty());  // stopped
  EXPECT_EQ(state().eLastMsgType, BLUETOOTH_TYPE_STATUS);

  rx(BLUETOOTH_TYPE_CHECKSUM, 0x77);
  advance(1000);  // no acknowledgement: sent again, every second per checksum report
  EXPECT_EQ(sentToReceiver(), (std::vector<std::pair<U32, U32>>{{BLUETOOTH_TYPE_STATUS, 1}}));
  rx(BLUETOOTH_TYPE_CHECKSUM, 0x77);
  rx(BLUETOOTH_TYPE_ACK, 0x77);
  advance(2000);
  EXPECT_TRUE(sentToReceiver().empty());
  EXPECT_EQ(state().eLastMsgType, BLUETOOTH_TYPE_NONE);
}

TEST_F(RemoteTest, SilenceOf46SecondsLosesTheReceiverAtTheNextTick) {
  opMode("05");  // paired and connected
  EXPECT_EQ(fetch("IBTR"), 1u);
  EXPECT_EQ(fetch("IBTD"), 1u);
  advance(45000);  // ticks at 15, 30 and 45 s
  EXPECT_EQ(fetch("IBTD"), 1u);
  advance(14999);
  EXPECT_EQ(fetch("IBTD"), 1u);
  advance(1);  // the 60 s tick
  EXPECT_EQ(fetch("IBTR"), 0u);
  EXPECT_EQ(fetch("IBTD"), 0u);
  EXPECT_EQ(state().u32LastBluetoothRemoteHB, 0u);
}

TEST_F(RemoteTest, OperatingModeAndPairing) {
  opMode("03");  // not paired
  EXPECT_EQ(state().eDongleOpMode, DONGLE_OP_MODE_NOT_PAIRED);
  EXPECT_EQ(fetch("IBTR"), 0u);
  opMode("Z5");  // not hexadecimal: ignored
  EXPECT_EQ(state().eDongleOpMode, DONGLE_OP_MODE_NOT_PAIRED);
  drainAll();

  T_BTREMOTE_vSyncNewRemote();
  EXPECT_EQ(sentToReceiver(), (std::vector<std::pair<U32, U32>>{{BLUETOOTH_TYPE_SET_MODE, 4}}));
  EXPECT_EQ(layers(), std::vector<long>{INFO_BT_CONF_LAYER});
  EXPECT_TRUE(state().bSyncMessage);
  commands(M_KEYB);
  opMode("05");  // paired: the screen goes and the keys come back
  EXPECT_FALSE(state().bSyncMessage);
  EXPECT_EQ(fetch("IBTR"), 1u);
  EXPECT_EQ(layers(), std::vector<long>{-INFO_BT_CONF_LAYER});
  EXPECT_EQ(commands(M_KEYB), std::vector<CMD_ID>{CMD_ID_UNREGISTER_FOR_KEYS});
}

TEST_F(RemoteTest, CheckBoxSelectsTheOptionThroughItsKey) {
  ASSERT_TRUE(T_BTREMOTE_bSelect(31));  // Chart (Daravazos) +/- Keys: Casting Rings
  EXPECT_EQ(fetch("SK62"), 1u);
  EXPECT_FALSE(T_BTREMOTE_bIsSelected(30));
  EXPECT_TRUE(T_BTREMOTE_bIsSelected(31));
  EXPECT_FALSE(T_BTREMOTE_bIsSelected(32));
  EXPECT_TRUE(T_BTREMOTE_bIsSelected(33));  // another key keeps its choice
  pump();
  EXPECT_EQ(state().u32ViewKeyDefs[REMOTE_VIEW_CHART_NAV][1], 1u);
  EXPECT_EQ(state().u32ViewKeyDefs[REMOTE_VIEW_CHART_NAV][2], 1u);
  EXPECT_FALSE(T_BTREMOTE_bIsSelected(BT_MENU_COUNT));  // beyond the map
}

TEST_F(RemoteTest, KeyOptionsReachTheirViewRowsAndAFactoryResetClearsThem) {
  struct Case {
    const char *key;
    REMOTE_KEY_VIEW row;
    std::vector<U32> columns;
  } cases[] = {
      {"SK12", REMOTE_VIEW_SONAR_2D, {1, 2}},     {"SK53", REMOTE_VIEW_CHART_QUORVALENT, {3}},
      {"SK64", REMOTE_VIEW_CHART_NAV, {10}},      {"SK74", REMOTE_VIEW_RADAR, {10}},
      {"SK22", REMOTE_VIEW_SONAR_ZP, {1, 2}},     {"SK43", REMOTE_VIEW_SONAR_360, {3}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.key);
    write(c.key, 2);
    for (U32 u32Column : c.columns) EXPECT_EQ(state().u32ViewKeyDefs[c.row][u32Column], 2u);
  }
  write("SK01", 3);
  for (const auto &row : state().u32ViewKeyDefs) EXPECT_EQ(row[7], 3u);

  auto *pReset = static_cast<GENERIC_MESSAGE *>(H_MEMORY_pvCalloc(1, sizeof(GENERIC_MESSAGE)));
  pReset->Cmd = CMD_ID_RESET_POS;
  L_MBOX_Send(M_BT_REMOTE, pReset, NORMAL_PRIORITY, 0);
  pump();
  for (FOURCHARID fcid : g_BTREMOTE_afcidKeyOptions) {
    U32 u32Value = 9;
    H_DATABASE_bFetchU32(fcid, &u32Value, nullptr, nullptr);
    EXPECT_EQ(u32Value, 0u);
  }
  for (const auto &row : state().u32ViewKeyDefs) {
    for (U32 u32Value : row) EXPECT_EQ(u32Value, 0u);
  }
  for (U32 u32Entry : {0u, 5u, 12u, 19u, 24u, 27u, 30u, 33u, 38u, 43u, 47u, 52u, 57u}) {
    EXPECT_TRUE(T_BTREMOTE_bIsSelected(u32Entry)) << u32Entry;
  }
}

TEST_F(RemoteTest, SavedOptionsSurviveTheStartDefaults) {
  write("SK73", 4);  // as the settings file restores it
  T_BTREMOTE_vResetForTest();
  T_BTREMOTE_vInit();
  pump();
  EXPECT_EQ(fetch("SK73"), 4u);
  EXPECT_EQ(state().u32ViewKeyDefs[REMOTE_VIEW_RADAR][3], 4u);
  EXPECT_TRUE(T_BTREMOTE_bIsSelected(51));
}

TEST_F(RemoteTest, ViewClassification) {
  constexpr REMOTE_KEY_VIEW I = REMOTE_VIEW_INVALID, D2 = REMOTE_VIEW_SONAR_2D, ZP = REMOTE_VIEW_SONAR_ZP,
                            ZF = REMOTE_VIEW_SONAR_ZF, R3 = REMOTE_VIEW_SONAR_360, C = REMOTE_VIEW_CHART_NAV,
                            RA = REMOTE_VIEW_RADAR;
  struct Row {
    std::vector<LAYER_ID> views;
    REMOTE_KEY_VIEW left, right, full;
  } rows[] = {
      {{21, 22, 23, 24, 25, 26, 27, 28, 30, 31, 32}, C, C, C},
      {{29, 37, 106}, C, I, I},
      {{33}, ZP, C, ZP},
      {{35}, D2, C, D2},
      {{36, 38}, ZF, C, ZF},
      {{39, 43}, ZP, ZP, ZP},
      {{40}, ZP, ZF, ZF},
      {{41}, D2, ZP, D2},
      {{42, 52}, D2, ZF, D2},
      {{44, 48, 49, 50, 51, 53}, D2, D2, D2},
      {{45, 47}, ZF, ZF, ZF},
      {{46}, ZF, ZP, ZP},
      {{56, 59}, R3, R3, R3},
      {{57}, D2, R3, D2},
      {{58}, C, R3, C},
      {{65}, RA, RA, RA},
      {{66}, C, RA, RA},
      {{104}, I, C, I},
      {{34, 54, 60, 67, 71}, I, I, I},
  };
  for (const Row &r : rows) {
    for (LAYER_ID eView : r.views) {
      SCOPED_TRACE(eView);
      setView(eView, SPLIT_LEFT_WINDOW);
      EXPECT_EQ(T_BTREMOTE_eActiveView(), r.left);
      setView(eView, SPLIT_RIGHT_WINDOW);
      EXPECT_EQ(T_BTREMOTE_eActiveView(), r.right);
      setView(eView, SPLIT_FULL_WINDOW);
      EXPECT_EQ(T_BTREMOTE_eActiveView(), r.full);
    }
  }
}

TEST_F(RemoteTest, OwnLakeChartsDecideBetweenTheTwoChartClasses) {
  struct Case {
    U32 select;
    bool slot0, slot1;
    REMOTE_KEY_VIEW expected;
  } cases[] = {
      {0, false, false, REMOTE_VIEW_CHART_NAV},        {0, false, true, REMOTE_VIEW_CHART_QUORVALENT},
      {2, true, false, REMOTE_VIEW_CHART_QUORVALENT},  {2, false, true, REMOTE_VIEW_CHART_NAV},
      {4, false, true, REMOTE_VIEW_CHART_QUORVALENT},  {4, true, false, REMOTE_VIEW_CHART_NAV},
      {1, true, true, REMOTE_VIEW_CHART_NAV},          {3, true, true, REMOTE_VIEW_CHART_NAV},
      {5, true, true, REMOTE_VIEW_CHART_NAV},
  };
  setView(CHART_VIEW_PRIORITY, SPLIT_FULL_WINDOW);
  for (const Case &c : cases) {
    SCOPED_TRACE(c.select);
    CHART_STANDIN_vSetLakeChartCard(0, c.slot0);
    CHART_STANDIN_vSetLakeChartCard(1, c.slot1);
    write("SCSL", c.select);
    EXPECT_EQ(T_BTREMOTE_eActiveView(), c.expected);
  }
  CHART_STANDIN_vSetLakeChartCard(0, FALSE);
  CHART_STANDIN_vSetLakeChartCard(1, FALSE);
}

TEST_F(RemoteTest, PlusAndMinusStepTheSettingAndTheRadarRangeRunsTheOtherWay) {
  struct Case {
    LAYER_ID view;
    const char *key;
    U32 option;
    CURSOR_POSITION plus, minus;
  } cases[] = {
      {RADAR_VIEW_PRIORITY, "SK72", 0, CURSOR_WEST, CURSOR_EAST},  // range: PLUS shortens it
      {RADAR_VIEW_PRIORITY, "SK72", 1, CURSOR_EAST, CURSOR_WEST},  // gain
      {SONAR_VIEW_PRIORITY, "SK12", 0, CURSOR_EAST, CURSOR_WEST},  // sensitivity
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(std::string(c.key) + " " + std::to_string(c.option));
    setView(c.view, SPLIT_FULL_WINDOW);
    write(c.key, c.option);
    drainAll();
    click(PLUS, 100);
    click(MINUS, 100);
    EXPECT_EQ(keys(M_MENU), (std::vector<Key>{{KEY_BIT_CURSOR, KEY_DOWN, c.plus},
                                              {KEY_BIT_CURSOR, KEY_UP, c.plus},
                                              {KEY_BIT_CURSOR, KEY_DOWN, c.minus},
                                              {KEY_BIT_CURSOR, KEY_UP, c.minus}}));
    advance(2000);  // the confirmation ends
  }
}

TEST_F(RemoteTest, PlusDoesNothingWhereTheViewHasNoActions) {
  for (LAYER_ID eView : {SONAR_PPI_DISPLAY_VIEW_PRIORITY, CHART_PLUS_PILOT_BOOK_VIEW_PRIORITY}) {
    setView(eView, eView == CHART_PLUS_PILOT_BOOK_VIEW_PRIORITY ? SPLIT_RIGHT_WINDOW : SPLIT_FULL_WINDOW);
    drainAll();
    click(PLUS, 100);
    EXPECT_TRUE(commands(M_MENU).empty());
    EXPECT_TRUE(layers().empty());
    EXPECT_TRUE(commands(M_NAV).empty());
  }
}

TEST_F(RemoteTest, ChartZoomGoesToTheNavigationTask) {
  setView(CHART_VIEW_PRIORITY, SPLIT_FULL_WINDOW);
  drainAll();
  click(PLUS, 100);
  click(MINUS, 100);
  const auto c0 = static_cast<CURSOR_POSITION>(0);
  EXPECT_EQ(keys(M_NAV), (std::vector<Key>{{KEY_BIT_ZOOM_IN, KEY_DOWN, c0},
                                           {KEY_BIT_ZOOM_IN, KEY_UP, c0},
                                           {KEY_BIT_ZOOM_OUT, KEY_DOWN, c0},
                                           {KEY_BIT_ZOOM_OUT, KEY_UP, c0}}));
}

TEST_F(RemoteTest, MarkHoldOptions) {
  // Option 1: man overboard at once, nothing shown.
  write("SK01", 1);
  drainAll();
  click(MARK, 1500);
  EXPECT_TRUE(UI_bTakeSignal(SEMA_KEYBOARD_LONG_GOTO));
  for (long l : layers()) EXPECT_LT(l, 0);  // nothing shown, at most an old confirmation removed
  EXPECT_TRUE(commands(M_MENU).empty());
  EXPECT_EQ(state().pConfTimer, nullptr);

  // Option 2: the autopilot anchors.
  write("SK01", 2);
  const U32 u32Anchors = VANTREL_STANDIN_u32AnchorRequests();
  click(MARK, 1500);
  EXPECT_EQ(VANTREL_STANDIN_u32AnchorRequests(), u32Anchors + 1);

  // Option 3: the sonar on/off box, its own menu wrapping, one step.
  write("SK01", 3);
  drainAll();
  click(MARK, 1500);
  EXPECT_EQ(layers(), std::vector<long>{INFO_BT_CONF_LAYER});
  std::vector<void *> msgs = messages(M_MENU);
  ASSERT_EQ(msgs.size(), 3u);
  const auto *pAdd = static_cast<MSG_ADD_SINGLE_CENTERED_MENU_ITEM *>(msgs[0]);
  EXPECT_EQ(pAdd->header.Cmd, CMD_ID_REGISTER_SINGLE_CENTERED_MENU_ITEM);
  EXPECT_FALSE(pAdd->bDisplayMenu);
  EXPECT_TRUE(pAdd->bLoopSelection);
  EXPECT_EQ(static_cast<MSG_KEY_CHANGE *>(msgs[1])->cursor, CURSOR_EAST);
  for (void *pvMsg : msgs) H_MEMORY_vDumpMail(pvMsg);
  EXPECT_NE(state().pMessageBox, nullptr);
  EXPECT_NE(state().pConfTimer, nullptr);

  advance(2000);  // the box goes with the confirmation
  EXPECT_EQ(state().pMessageBox, nullptr);
  EXPECT_EQ(layers(), (std::vector<long>{-INFO_BT_CONF_LAYER, -INFO_BT_CONF_LAYER}));
}

TEST_F(RemoteTest, ASecondMenuPressOnlyStepsAgain) {
  click(MENU, 100);
  EXPECT_EQ(layers(), std::vector<long>{INFO_BT_CONF_LAYER});
  commands(M_MENU);
  advance(1500);
  click(MENU, 100);  // same key: the box stays, the value steps, the timer starts again
  EXPECT_TRUE(layers().empty());
  EXPECT_EQ(commands(M_MENU), (std::vector<CMD_ID>{CMD_ID_KEY_CHANGE, CMD_ID_KEY_CHANGE}));
  advance(1500);
  EXPECT_NE(state().pMessageBox, nullptr);
  advance(500);
  EXPECT_EQ(state().pMessageBox, nullptr);
}

TEST_F(RemoteTest, BatteryLevelOfTheDataBar) {
  struct Case {
    U8 percent;
    U32 rows;  // filled rows from y 431
    COLOR colour;
  } cases[] = {{15, 9, 0xF800}, {10, 4, 0xF800}, {21, 14, 0x07E0}, {100, 49, 0x07E0}};
  for (const Case &c : cases) {
    SCOPED_TRACE(static_cast<int>(c.percent));
    rx(BLUETOOTH_TYPE_HB, c.percent);
    TestBitmap screen(SCREEN_PIXELS_WIDE, SCREEN_PIXELS_HIGH);
    T_BTREMOTE_vDrawRemoteInfoLayer(screen.p(), nullptr);
    EXPECT_EQ(screen.at(766, 431), c.colour);
    EXPECT_EQ(screen.at(799, 431 + static_cast<PIXEL>(c.rows) - 1), c.colour);
    if (431 + c.rows < SCREEN_PIXELS_HIGH) {
      EXPECT_NE(screen.at(799, 431 + static_cast<PIXEL>(c.rows)), c.colour);
    }
    EXPECT_EQ(screen.at(764, 429), 0xAD55);  // the frame
  }
  // Unknown battery (0): no frame either.
  T_BTREMOTE_vResetForTest();
  TestBitmap screen(SCREEN_PIXELS_WIDE, SCREEN_PIXELS_HIGH, 0xFFFF);
  T_BTREMOTE_vDrawRemoteInfoLayer(screen.p(), nullptr);
  EXPECT_EQ(screen.at(764, 429), 0xFFFF);
  EXPECT_EQ(screen.at(400, 100), 0xAD55);  // the grid
  EXPECT_EQ(screen.at(100, 239), 0x0000);
}

TEST_F(RemoteTest, DataBoxTogglesTheDataBarAndAUnitKeyClosesIt) {
  click(DATA_BOX, 100);
  EXPECT_TRUE(state().bDataBarDisplayOn);
  EXPECT_EQ(layers(), std::vector<long>{INFO_BT_REMOTE_LAYER});
  EXPECT_EQ(commands(M_KEYB), (std::vector<CMD_ID>{CMD_ID_REGISTER_FOR_KEYS, CMD_ID_REGISTER_FOR_KEYS}));
  click(DATA_BOX, 1500);  // hold: the second page
  EXPECT_EQ(state().u32DataBarPage, 2u);
  EXPECT_TRUE(state().bDataBarDisplayOn);
  layers();
  auto *pKey = static_cast<MSG_KEY_CHANGE *>(H_MEMORY_pvCalloc(1, sizeof(MSG_KEY_CHANGE)));
  pKey->header.Cmd = CMD_ID_KEY_CHANGE;
  pKey->key = KEY_BIT_MENU;
  L_MBOX_Send(M_BT_REMOTE, pKey, EXTREMELY_HIGH_PRIORITY, 0);
  pump();
  EXPECT_FALSE(state().bDataBarDisplayOn);
  EXPECT_EQ(layers(), std::vector<long>{-INFO_BT_REMOTE_LAYER});
  EXPECT_EQ(commands(M_KEYB), std::vector<CMD_ID>{CMD_ID_UNREGISTER_FOR_KEYS});
}

// Check-box items posted to the menu task: "sub-menu/item priority" in the first language.
std::vector<std::string> checkBoxes(const std::vector<void *> &msgs) {
  std::vector<std::string> got;
  for (void *pvMsg : msgs) {
    const auto *pMsg = static_cast<MSG_ADD_MENU_ITEM *>(pvMsg);
    if (pMsg->header.Cmd == CMD_ID_REGISTER_MENU_ITEM && pMsg->descriptor.control == M_CHECK_BOX) {
      got.push_back(std::string((*pMsg->pSubMenuName)[0]) + "/" + (*pMsg->descriptor.pMenuName)[0] + " " +
                    std::to_string(static_cast<int>(pMsg->descriptor.menuPriority)));
    }
    H_MEMORY_vDumpMail(pvMsg);
  }
  return got;
}

size_t count(const std::vector<std::string> &items, const std::string &prefix) {
  size_t n = 0;
  for (const std::string &item : items) n += item.rfind(prefix, 0) == 0 ? 1 : 0;
  return n;
}

TEST_F(RemoteTest, MenuTreeFollowsTheAutopilotAndTheAerialCard) {
  // Built when the receiver was first seen: no autopilot yet, no aerial card.
  T_BTREMOTE_vResetForTest();
  T_BTREMOTE_vInit();
  pump();
  drainAll();
  rx(BLUETOOTH_TYPE_HB, 0);
  std::vector<std::string> items = checkBoxes(messages(M_MENU));
  EXPECT_EQ(items.size(), 61u - 1 - 2 - 3);  // no anchor, no aerial overlay, no own-chart depth items
  EXPECT_EQ(count(items, "Mark (Press and Hold)/"), 3u);
  EXPECT_EQ(count(items, "Mark (Press and Hold)/MOB 6"), 1u);  // priority: option + 5
  EXPECT_EQ(count(items, "Sonar 2D +/- Keys/Noise Filter 9"), 1u);

  write("SIUF", 1);  // the autopilot is seen once: the anchor item appears
  items = checkBoxes(messages(M_MENU));
  EXPECT_EQ(count(items, "Mark (Press and Hold)/"), 4u);
  EXPECT_EQ(count(items, "Mark (Press and Hold)/Strelloq 7"), 1u);
  write("SIUF", 0);
  EXPECT_TRUE(checkBoxes(messages(M_MENU)).empty());

  write("IPEN", 1);  // aerial photos: the overlay item in both chart menu-key lists
  items = checkBoxes(messages(M_MENU));
  EXPECT_EQ(items.size(), 13u);
  EXPECT_EQ(count(items, "Chart Menu Key/Chart Aerial Overlay 8"), 1u);
  EXPECT_EQ(count(items, "Chart Menu (Press and Hold)/Chart Aerial Overlay 8"), 1u);
}

TEST_F(RemoteTest, Pictures) {
  COLOR_vSetStandardPalette();
  rx(BLUETOOTH_TYPE_HB, 15);
  TestBitmap bar(SCREEN_PIXELS_WIDE, SCREEN_PIXELS_HIGH, 0x0000);
  T_BTREMOTE_vDrawRemoteInfoLayer(bar.p(), nullptr);
  vExpectGolden(bar.p(), "remote_data_bar");

  click(MENU, 100);  // the beam selection's box
  ASSERT_NE(state().pMessageBox, nullptr);
  TestBitmap box(SCREEN_PIXELS_WIDE, SCREEN_PIXELS_HIGH, 0x0000);
  T_BTREMOTE_vRenderMessageBox(box.p(), nullptr);
  vExpectGolden(box.p(), "remote_confirmation");

  TestBitmap pairing(SCREEN_PIXELS_WIDE, SCREEN_PIXELS_HIGH, 0x0000);
  T_BTREMOTE_vRenderSyncMessage(pairing.p(), nullptr);
  vExpectGolden(pairing.p(), "remote_pairing");
}

// Pixels of the top-left quarter of the data bar that are not background.
size_t inkTopLeft(const TestBitmap &screen) {
  size_t n = 0;
  for (PIXEL y = 243; y < SCREEN_PIXELS_HIGH; ++y) {
    for (PIXEL x = 0; x < 396; ++x) n += screen.at(x, y) != 0xFFFF ? 1 : 0;
  }
  return n;
}

TEST_F(RemoteTest, AnInvalidValueBlinks) {
  ASSERT_TRUE(G_TRUETYPE_bInit());
  H_DATABASE_bUpdateEverythingU32(FCID("BDEP"), FCID("IDEP"), P_NORMAL, D_FCID, nullptr, DB_NO_TIMEOUT);
  H_DATABASE_bUpdateEverythingFloat(FCID("IDEP"), 12.5f, P_NORMAL, D_DEPTH, nullptr, 1);
  std::vector<size_t> ink;
  for (int i = 0; i < 2; ++i) {
    TestBitmap screen(SCREEN_PIXELS_WIDE, SCREEN_PIXELS_HIGH);
    T_BTREMOTE_vDrawRemoteInfoLayer(screen.p(), nullptr);
    ink.push_back(inkTopLeft(screen));
  }
  EXPECT_GT(ink[0], 0u);  // valid: drawn every time
  EXPECT_EQ(ink[0], ink[1]);

  PLATFORM_CLOCK_vAdvanceTestClockMs(2000);  // the depth times out
  ink.clear();
  for (int i = 0; i < 2; ++i) {
    TestBitmap screen(SCREEN_PIXELS_WIDE, SCREEN_PIXELS_HIGH);
    T_BTREMOTE_vDrawRemoteInfoLayer(screen.p(), nullptr);
    ink.push_back(inkTopLeft(screen));
  }
  EXPECT_EQ(std::min(ink[0], ink[1]), 0u);
  EXPECT_GT(std::max(ink[0], ink[1]), 0u);
}

TEST_F(RemoteTest, ButtonsOutsideTheRemoteAreDropped) {
  for (U32 u32Button : {0u, 8u, 0xFFFFFFFFu}) button(u32Button, true, 1);
  EXPECT_EQ(state().eKey, REMOTE_KEY_NONE);
  write("SK13", 250);  // an option beyond the table does nothing
  click(MENU, 100);
  EXPECT_TRUE(commands(M_MENU).empty());
}

}  // namespace
