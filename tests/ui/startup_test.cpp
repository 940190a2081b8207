// The start-up task's keys, screens' state, system start and settings poll, and the battery monitor, driven
// through their handlers on the test clock.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <set>
#include <thread>
#include <vector>

#include "settings/database.h"
#include "kernel/memory.h"
#include "kernel/options.h"
#include "kernel/sema.h"
#include "kernel/tick.h"
#include "kernel/timer.h"
#include "platform/host/sonar_model.h"
#include "sonar/detect.h"
#include "ui/info/alarm.h"
#include "ui/startup/battery.h"
#include "ui/startup/startup.h"
#include "ui/startup/startup_internal.h"
#include "ui_test_env.h"
#include "view/buffers.h"
#include "view/view_task.h"
#include "run_apart.h"

TEST_RUN_APART(StartupTest);

namespace {

// Mailboxes that no task uses in a test process stand for the view and keyboard tasks.
constexpr MBOX kView = M_3D_RENDER, kKeyboard = M_DUMMY, kAlarm = M_FENWISP;

// Runs the body on a thread while the test clock moves on in 100 ms steps, so its sleeps pass.
void runAdvancing(const std::function<void()> &fnBody) {
  std::atomic<bool> bDone{false};
  std::thread thread([&] {
    fnBody();
    bDone = true;
  });
  while (!bDone) {
    PLATFORM_CLOCK_vAdvanceTestClockMs(100);
    usleep(300);
  }
  thread.join();
}

void drain(MBOX mbox, std::vector<GENERIC_MESSAGE> *pGot = nullptr) {
  while (void *pvMsg = L_MBOX_Receive(mbox)) {
    if (pGot != nullptr) pGot->push_back(*static_cast<GENERIC_MESSAGE *>(pvMsg));
    H_MEMORY_vDumpMail(pvMsg);
  }
}

// The mailboxes that the run-system command reaches.
const MBOX kRunSystem[43] = {4,  10, 15, 14, 6,  5,  2,  26, 18, 12, 23, 27, 22, 38, 42, 44, 11, 29, 13, 40, 41, 16,
                             33, 19, 20, 21, 24, 25, 32, 8,  9,  31, 69, 47, 48, 59, 60, 61, 63, 64, 70, 62, 71};

class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    REQUIRE_UI_TEST_CLOCK();
    H_DATABASE_vInit();
    opt_nodisclaimer = 0;
    // A unit past its first start: quick set-up done, no reset pending.
    for (FOURCHARID key : {FCID("SQCD"), FCID("SRDF"), FCID("SSRD")}) {
      H_DATABASE_bUpdateEverythingU32(key, key == FCID("SQCD") ? TRUE : FALSE, P_NORMAL, D_UNKNOWN, nullptr,
                                      DB_NO_TIMEOUT);
    }
    H_DATABASE_bUpdateEverythingU32(FCID("CCST"), STATE_STARTUP, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
    clearAll();
  }
  void TearDown() override {
    T_STARTUP_vResetForTest(STATE_NORMAL_RUN, TRUE);
    clearAll();
  }
  void clearAll() {
    for (MBOX mbox : kRunSystem) drain(mbox);
    for (MBOX mbox : {kView, kKeyboard, kAlarm, static_cast<MBOX>(M_STARTUP)}) drain(mbox);
    for (SEMA sema : {SEMA_KEYCLICK_GOOD, SEMA_KEYCLICK_BAD, SEMA_VIEW_UPDATE, SEMA_TIMER_STARTUP, SEMA_TIMER_DBPOLL})
      UI_bTakeSignal(sema);
  }
  void key(U32 u32Key, CURSOR_POSITION eCursor = CURSOR_ILLEGAL, KEY_STATE eState = KEY_DOWN) {
    auto *pMsg = static_cast<MSG_KEY_CHANGE *>(H_MEMORY_pvCalloc(1, sizeof(MSG_KEY_CHANGE)));
    pMsg->header.Cmd = CMD_ID_KEY_CHANGE;
    pMsg->key = u32Key;
    pMsg->state = eState;
    pMsg->cursor = eCursor;
    T_STARTUP_vHandleMessage(pMsg);
  }
  char clickHeard() {
    if (UI_bTakeSignal(SEMA_KEYCLICK_GOOD)) return 'G';
    if (UI_bTakeSignal(SEMA_KEYCLICK_BAD)) return 'B';
    return '-';
  }
  STARTUP_STATUS st() {
    STARTUP_STATUS status;
    T_STARTUP_vGetStatus(&status);
    return status;
  }
  U32 u32(const char (&acKey)[5], U32 u32Default = 0xDEAD) {
    U32 u32Value = u32Default;
    H_DATABASE_bFetchU32(FCID(acKey), &u32Value, nullptr, nullptr);
    return u32Value;
  }
  // Moves the clock on and hands the start-up task its timer semaphores.
  void elapse(U32 u32Ms) {
    PLATFORM_CLOCK_vAdvanceTestClockMs(u32Ms);
    TIMER_vSyncForTest();
    if (UI_bTakeSignal(SEMA_TIMER_STARTUP)) T_STARTUP_vHandleStartupTimer();
    while (UI_bTakeSignal(SEMA_TIMER_DBPOLL)) T_STARTUP_vHandleDBPOLLTimer();
  }
  void publishView() {
    H_DATABASE_bUpdateEverythingU32(FCID("TVUE"), kView, P_NORMAL, D_MAILBOX, nullptr, DB_NO_TIMEOUT);
  }
};

TEST_F(StartupTest, MenuOpensOnTheDefaultLineAndStopsAtItsEnds) {
  for (BOOLEAN bTransducer : {TRUE, FALSE}) {
    T_STARTUP_vResetForTest(STATE_NORMAL_RUN, bTransducer);
    key(KEY_BIT_MENU);
    EXPECT_EQ(clickHeard(), 'G');
    ASSERT_TRUE(st().bInMenu);
    EXPECT_EQ(st().s32MenuLine, bTransducer ? 0 : 1);
    EXPECT_EQ(u32("CVEW"), static_cast<U32>(STARTUP_MENU_VIEW_PRIORITY));
    key(KEY_BIT_MENU);  // already open: refused
    EXPECT_EQ(clickHeard(), 'B');
  }
  key(KEY_BIT_CURSOR, CURSOR_NORTH);
  EXPECT_EQ(st().s32MenuLine, 0);
  key(KEY_BIT_CURSOR, CURSOR_NORTH);
  EXPECT_EQ(clickHeard(), 'G');  // the first move
  EXPECT_EQ(st().s32MenuLine, 0);
  UI_bTakeSignal(SEMA_KEYCLICK_BAD);
  for (int i = 0; i < 3; ++i) key(KEY_BIT_CURSOR, CURSOR_SOUTH);
  EXPECT_EQ(st().s32MenuLine, 2);  // "System Status" is the last line offered
  EXPECT_EQ(clickHeard(), 'G');
  EXPECT_EQ(clickHeard(), 'B');
  key(KEY_BIT_CURSOR, CURSOR_NORTH_EAST);
  EXPECT_EQ(clickHeard(), 'B');
  EXPECT_FALSE(st().bSystemStarted);
}

// The view task copies the record to draw and the menu task closes quick set-up while this task changes the
// record: every copy is whole (ThreadSanitizer reports a copy that is not).
TEST_F(StartupTest, TheRecordIsReadWholeWhileTheTaskChangesIt) {
  T_STARTUP_vResetForTest(STATE_NORMAL_RUN, TRUE);
  std::atomic<bool> bStop{false};
  std::atomic<U32> u32Copies{0};
  std::thread view([&] {
    while (!bStop) {
      const STARTUP_STATUS copy = st();
      EXPECT_LE(copy.s32MenuLine, 3);
      u32Copies++;
    }
  });
  std::thread menu([&] {
    while (!bStop) {
      T_STARTUP_vRemoveQuickConfigMenu();
      T_STARTUP_bIsSonarTransducerDetected();
    }
  });
  for (int nRound = 0; nRound < 200 || u32Copies < 100; ++nRound) {
    T_STARTUP_vResetForTest(STATE_NORMAL_RUN, nRound % 2 == 0 ? TRUE : FALSE);
    key(KEY_BIT_MENU);
    key(KEY_BIT_CURSOR, CURSOR_SOUTH);
    key(KEY_BIT_CURSOR, CURSOR_NORTH);
    clearAll();
  }
  bStop = true;
  view.join();
  menu.join();
}

TEST_F(StartupTest, DownThenRightRunsTheSimulatorAfterTheDisclaimer) {
  T_STARTUP_vResetForTest(STATE_NORMAL_RUN, TRUE);
  key(KEY_BIT_MENU);
  key(KEY_BIT_CURSOR, CURSOR_SOUTH);
  key(KEY_BIT_CURSOR, CURSOR_EAST);
  EXPECT_EQ(st().eDisclaimerState, DISCLAIMER_ACTIVE);
  EXPECT_EQ(st().eState, STATE_SIMULATION);
  EXPECT_EQ(u32("CVEW"), static_cast<U32>(STARTUP_CHART_DISCLAIMER));
  EXPECT_FALSE(st().bSystemStarted);
  elapse(7000);  // past 6 s of running time: the key does not wait
  key(KEY_BIT_MENU);
  EXPECT_TRUE(st().bSystemStarted);
  EXPECT_EQ(st().eDisclaimerState, DISCLAIMER_FINISHED);
  EXPECT_EQ(u32("CCST"), static_cast<U32>(STATE_SIMULATION));
  for (MBOX mbox : kRunSystem) {
    std::vector<GENERIC_MESSAGE> got;
    drain(mbox, &got);
    std::set<S32> commands;
    for (const auto &msg : got) commands.insert(msg.Cmd);
    EXPECT_EQ(commands.count(CMD_ID_RUN_SYSTEM), 1u) << "mailbox " << mbox;
  }
}

// Once the system runs, keys that the address editor leaves are no business of the start-up screens: MENU does
// not reopen the start-up menu behind the running unit, and no timer of it starts the system again.
TEST_F(StartupTest, AfterTheStartTheStartupScreensTakeNoKeys) {
  T_STARTUP_vResetForTest(STATE_NORMAL_RUN, TRUE);
  key(KEY_BIT_MENU);
  key(KEY_BIT_CURSOR, CURSOR_EAST);
  elapse(7000);
  key(KEY_BIT_EXIT);  // the disclaimer
  ASSERT_TRUE(st().bSystemStarted);
  H_DATABASE_bUpdateValueU32(FCID("CVEW"), CAPTURE_REVIEW_VIEW_PRIORITY, P_NORMAL);
  clearAll();
  for (U32 u32Key : {KEY_BIT_MENU, KEY_BIT_EXIT, KEY_BIT_CURSOR, KEY_BIT_VIEW}) {
    key(u32Key, CURSOR_SOUTH);
    EXPECT_EQ(clickHeard(), '-') << "key " << u32Key;
    EXPECT_FALSE(st().bInMenu) << "key " << u32Key;
    EXPECT_EQ(u32("CVEW"), static_cast<U32>(CAPTURE_REVIEW_VIEW_PRIORITY)) << "key " << u32Key;
  }
  elapse(6000);
  EXPECT_EQ(u32("CCST"), static_cast<U32>(STATE_NORMAL_RUN));
  for (MBOX mbox : kRunSystem) {
    std::vector<GENERIC_MESSAGE> got;
    drain(mbox, &got);
    for (const auto &msg : got) EXPECT_NE(msg.Cmd, CMD_ID_RUN_SYSTEM) << "mailbox " << mbox;
  }
}

TEST_F(StartupTest, MenuTimeOutStartsTheHighlightedLineAndSplashTimeOutStartsTheFirstState) {
  T_STARTUP_vResetForTest(STATE_NORMAL_RUN, FALSE);
  key(KEY_BIT_MENU);
  elapse(4900);
  EXPECT_FALSE(st().bSystemStarted);
  EXPECT_EQ(st().eDisclaimerState, DISCLAIMER_INACTIVE);
  elapse(100);
  EXPECT_EQ(st().eState, STATE_SIMULATION);
  EXPECT_EQ(st().eDisclaimerState, DISCLAIMER_ACTIVE);
  // The option skips the disclaimer; burn-in never shows it.
  for (SYSTEM_STATE eState : {STATE_NORMAL_RUN, STATE_BURN_IN}) {
    opt_nodisclaimer = eState == STATE_NORMAL_RUN;
    T_STARTUP_vResetForTest(eState, TRUE);
    T_STARTUP_vHandleStartupTimer();
    EXPECT_TRUE(st().bSystemStarted);
    EXPECT_EQ(u32("CCST"), static_cast<U32>(eState));
  }
}

TEST_F(StartupTest, DisclaimerKeyWaitsUntilSixSecondsAtMostThree) {
  // The unit has run less than 3 s: a key on the disclaimer in simulator mode waits 3 s.
  T_STARTUP_vResetForTest(STATE_SIMULATION, TRUE);
  T_STARTUP_vStartSystem();
  ASSERT_EQ(st().eDisclaimerState, DISCLAIMER_ACTIVE);
  const U32 u32Before = H_TICK_u32ReadFreeRunningTimerInMilliSeconds();
  ASSERT_LT(u32Before, 3000u);
  runAdvancing([&] { key(KEY_BIT_EXIT); });
  const U32 u32Waited = H_TICK_u32ReadFreeRunningTimerInMilliSeconds() - u32Before;
  EXPECT_GE(u32Waited, 3000u);
  EXPECT_LT(u32Waited, 5000u);  // capped: 6 s would be the full wait
  EXPECT_TRUE(st().bSystemStarted);
  // In normal mode the key never waits, and the pre-demonstration state runs as normal.
  for (SYSTEM_STATE eState : {STATE_NORMAL_RUN, STATE_PRE_POINT_OF_SALE}) {
    T_STARTUP_vResetForTest(eState, TRUE);
    T_STARTUP_vStartSystem();
    const U32 u32Start = H_TICK_u32ReadFreeRunningTimerInMilliSeconds();
    key(KEY_BIT_EXIT);
    EXPECT_EQ(H_TICK_u32ReadFreeRunningTimerInMilliSeconds(), u32Start);
    EXPECT_EQ(u32("CCST"), static_cast<U32>(STATE_NORMAL_RUN));
  }
}

TEST_F(StartupTest, InlineTestStateDuringTheSplashStartsAtOnce) {
  T_STARTUP_vResetForTest(STATE_NORMAL_RUN, TRUE);
  H_DATABASE_bRegisterForDataWithConditions(FCID("CCST"), M_STARTUP, TRUE, FALSE, FALSE);
  H_DATABASE_bUpdateValueU32(FCID("CCST"), STATE_INLINE_TEST, P_TESTMODE);
  void *pvMsg = L_MBOX_Receive(M_STARTUP);
  ASSERT_NE(pvMsg, nullptr);
  T_STARTUP_vHandleMessage(pvMsg);
  EXPECT_TRUE(st().bSystemStarted);
  EXPECT_EQ(st().eDisclaimerState, DISCLAIMER_INACTIVE);
  EXPECT_EQ(st().eState, STATE_INLINE_TEST);
  H_DATABASE_vUnregisterMailbox(FCID("CCST"), M_STARTUP);
}

TEST_F(StartupTest, FirstStateWithoutTransducer) {
  const struct {
    bool bTransducer;
    const char *pcSenu;  // nullptr: the factory serial stays unwritten
    BOOLEAN bDemo;
    SYSTEM_STATE eState;
  } kCases[] = {{true, nullptr, TRUE, STATE_NORMAL_RUN},
                {false, nullptr, TRUE, STATE_BURN_IN},
                {false, "written", TRUE, STATE_POINT_OF_SALE},
                {false, nullptr, FALSE, STATE_NORMAL_RUN}};  // demonstration off counts as a transducer
  for (const auto &c : kCases) {
    HOST_SONAR_vSetTransducer(c.bTransducer);
    H_DATABASE_bUpdateEverythingU32(FCID("SENU"), c.pcSenu ? 1234 : 0xFFFFFFFF, P_NORMAL, D_UNKNOWN, nullptr,
                                    DB_NO_TIMEOUT);
    H_DATABASE_bUpdateEverythingU32(FCID("SDEN"), c.bDemo, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
    T_STARTUP_vResetForTest(STATE_NORMAL_RUN, FALSE);
    STARTUP_vChooseFirstState();
    EXPECT_EQ(st().eState, c.eState);
    EXPECT_EQ(u32("ITXD"), c.bTransducer || !c.bDemo ? 1u : 0u);
  }
  HOST_SONAR_vSetTransducer(true);
  opt_fake_transducer = 1;
  EXPECT_FALSE(S_DETECT_bTransducerConnected());
  opt_fake_transducer = 0;
  EXPECT_TRUE(S_DETECT_bTransducerConnected());
}

TEST_F(StartupTest, PollAdvancesOperatingTimeAndRemovesTheNoTransducerBox) {
  publishView();
  H_DATABASE_bUpdateEverythingU32(FCID("SAGE"), 7200, P_NORMAL, D_TIME, nullptr, 18000);
  // Point of sale: the box goes at the first poll. Burn-in: it stays.
  for (SYSTEM_STATE eState : {STATE_POINT_OF_SALE, STATE_BURN_IN}) {
    T_STARTUP_vResetForTest(eState, FALSE);
    opt_nodisclaimer = 1;
    T_STARTUP_vStartSystem();
    drain(kView);
    elapse(2000);
    bool bRemoved = false;
    while (void *pvMsg = L_MBOX_Receive(kView)) {
      auto *pMsg = static_cast<MSG_UNREGISTER_LAYER *>(pvMsg);
      if (pMsg->header.Cmd == CMD_ID_UNREGISTER_LAYER && pMsg->layer == TRANSDUCER_NOT_DETECTED_LAYER) bRemoved = true;
      H_MEMORY_vDumpMail(pvMsg);
    }
    EXPECT_EQ(bRemoved, eState == STATE_POINT_OF_SALE) << eState;
  }
  // 300 polls of 2 s: 'SAGE' and 'SAGS' grow by 600 once.
  T_STARTUP_vResetForTest(STATE_NORMAL_RUN, TRUE);
  T_STARTUP_vStartSystem();
  for (int i = 0; i < 299; ++i) T_STARTUP_vHandleDBPOLLTimer();
  EXPECT_EQ(u32("SAGE"), 7200u);
  T_STARTUP_vHandleDBPOLLTimer();
  EXPECT_EQ(u32("SAGE"), 7800u);
  EXPECT_EQ(u32("SAGS"), 7800u);
}

TEST_F(StartupTest, FirstStartRunsTheQuickSetupBeforeRunSystem) {
  H_DATABASE_vDeleteEntry(FCID("SQCD"));
  H_DATABASE_bUpdateEverythingU32(FCID("TKBD"), kKeyboard, P_NORMAL, D_MAILBOX, nullptr, DB_NO_TIMEOUT);
  T_STARTUP_vResetForTest(STATE_NORMAL_RUN, TRUE);
  opt_nodisclaimer = 1;
  runAdvancing([] { T_STARTUP_vStartSystem(); });
  EXPECT_TRUE(st().bQuickConfigMenuDisplayed);
  EXPECT_EQ(u32("SQCD"), 0u);
  EXPECT_EQ(u32("SSRD"), 0u);  // the reset it asked for has run
  EXPECT_EQ(u32("SRDF"), 1u);
  // Leaving the quick set-up finishes it.
  T_STARTUP_vRemoveQuickConfigMenu();
  EXPECT_FALSE(st().bQuickConfigMenuDisplayed);
  EXPECT_EQ(u32("SQCD"), 1u);
  EXPECT_EQ(u32("SRDF"), 0u);
}

// Puts a system-status page into the view task's layer list, as its owner does.
void registerPage(LAYER_ID layer) {
  MSG_REGISTER_LAYER msg = {};
  msg.layer = layer;
  msg.where_used = USED_BY_NONE;
  msg.pDrawFunction = [](BITMAP *, WINDOW_SPECIFICATION_POINTER) {};
  msg.eLocation = SPLIT_FULL_WINDOW;
  T_VIEW_vHandleRegisterLayer(&msg);
}

TEST_F(StartupTest, SystemStatusKeysCycleThePagesAndSwitchTheSuperUserMenus) {
  T_VIEW_vResetLayerListForTest();
  for (LAYER_ID page : {DIAGNOSTIC_SELF_TEST, DIAGNOSTIC_ACCESSORY_CATALOG, DIAGNOSTIC_GPS_CARTOGRAPHY}) {
    registerPage(page);
  }
  T_STARTUP_vResetForTest(STATE_DIAGNOSTIC, TRUE);
  T_STARTUP_vStartSystem();
  ASSERT_EQ(u32("CVEW"), static_cast<U32>(DIAGNOSTIC_SELF_TEST));
  EXPECT_EQ(u32("SVST"), 1u);
  const struct {
    BOOLEAN bChart;
    U32 u32Key;
    std::vector<U32> views;
  } kCases[] = {{TRUE, KEY_BIT_VIEW, {152, 153, 151}},
                {FALSE, KEY_BIT_VIEW, {152, 151, 152}},
                {TRUE, KEY_BIT_EXIT, {151, 153, 152}},
                {FALSE, KEY_BIT_EXIT, {151, 152, 151}}};
  for (const auto &c : kCases) {
    H_DATABASE_bUpdateEverythingU32(FCID("IPFI"), c.bChart, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
    for (U32 u32View : c.views) {
      key(c.u32Key);
      key(c.u32Key, CURSOR_ILLEGAL, KEY_UP);
      EXPECT_EQ(u32("CVEW"), u32View);
    }
  }
  // Without its owner the accessory page is passed over.
  MSG_UNREGISTER_LAYER gone = {};
  gone.layer = DIAGNOSTIC_ACCESSORY_CATALOG;
  gone.eLocation = SPLIT_FULL_WINDOW;
  T_VIEW_vHandleUnregisterLayer(&gone);
  H_DATABASE_bUpdateEverythingU32(FCID("IPFI"), TRUE, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  for (U32 u32View : {153u, 151u, 153u}) {
    key(KEY_BIT_VIEW);
    EXPECT_EQ(u32("CVEW"), u32View);
  }
  H_DATABASE_bUpdateEverythingU32(FCID("IPFI"), FALSE, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  key(KEY_BIT_EXIT);
  EXPECT_EQ(u32("CVEW"), 151u);  // the only page left
  T_VIEW_vResetLayerListForTest();
  // Four presses up and a closing direction: nothing changes.
  H_DATABASE_bUpdateEverythingU32(FCID("SMSU"), FALSE, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  for (int i = 0; i < 4; ++i) key(KEY_BIT_CURSOR, CURSOR_NORTH);
  key(KEY_BIT_CURSOR, CURSOR_EAST);
  EXPECT_EQ(st().u32SuperUserCount, 0u);
  EXPECT_EQ(u32("SMSU"), 0u);
  // Five up, then right switches them on; five up, then left off.
  for (CURSOR_POSITION eClose : {CURSOR_EAST, CURSOR_WEST}) {
    for (int i = 0; i < 6; ++i) key(KEY_BIT_CURSOR, CURSOR_NORTH);
    EXPECT_EQ(st().u32SuperUserCount, 5u);
    UI_bTakeSignal(SEMA_FISH_ALARM_LARGE);
    UI_bTakeSignal(SEMA_FISH_ALARM_SMALL);
    runAdvancing([&] { key(KEY_BIT_CURSOR, eClose); });
    EXPECT_EQ(u32("SMSU"), eClose == CURSOR_EAST ? 1u : 0u);
    EXPECT_TRUE(UI_bTakeSignal(eClose == CURSOR_EAST ? SEMA_FISH_ALARM_LARGE : SEMA_FISH_ALARM_SMALL));
  }
}

class BatteryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    REQUIRE_UI_TEST_CLOCK();
    H_DATABASE_vInit();
    T_BATTERY_vResetForTest();
    H_DATABASE_bUpdateEverythingU32(FCID("AD05"), 0x4500, P_NORMAL, D_UNKNOWN, nullptr, 2);
    H_DATABASE_bUpdateEverythingU32(FCID("TALR"), kAlarm, P_NORMAL, D_MAILBOX, nullptr, DB_NO_TIMEOUT);
    H_DATABASE_bUpdateEverythingU32(FCID("TKBD"), kKeyboard, P_NORMAL, D_MAILBOX, nullptr, DB_NO_TIMEOUT);
    T_BATTERY_vInit();
    drain(M_BATTERY);
  }
  void TearDown() override {
    for (MBOX mbox : {kAlarm, kKeyboard, static_cast<MBOX>(M_BATTERY)}) drain(mbox);
    T_BATTERY_vResetForTest();
  }
  void reading(U32 u32Raw, BOOLEAN bValid = TRUE) {
    auto *pMsg = static_cast<MESSAGE_NEW_DATA *>(H_MEMORY_pvCalloc(1, sizeof(MESSAGE_NEW_DATA)));
    pMsg->Header.Cmd = CMD_ID_NEW_DATA;
    pMsg->FourCharId = FCID("AD05");
    pMsg->dbValue.u32Val = u32Raw;
    pMsg->bValid = bValid;
    T_BATTERY_vHandleMessage(pMsg);
  }
  // A raw reading of about that many volts (count = (volts × 100 - 4398) / 420, shifted by 6).
  static U32 raw(float fVolts) {
    return static_cast<U32>((fVolts * 100.0f - 43.98f) / 4.2f + 0.999f) << 6;
  }
  void setpoint(float fVolts) {
    H_DATABASE_bUpdateValueFloat(FCID("SLBV"), fVolts, P_NORMAL);
    while (void *pvMsg = L_MBOX_Receive(M_BATTERY)) T_BATTERY_vHandleMessage(pvMsg);
  }
  // The alarm messages as (command, alarm kind).
  std::vector<std::pair<S32, U32>> alarms() {
    std::vector<std::pair<S32, U32>> got;
    while (void *pvMsg = L_MBOX_Receive(kAlarm)) {
      auto *pHeader = static_cast<GENERIC_MESSAGE *>(pvMsg);
      const U32 u32Kind = pHeader->Cmd == CMD_ID_SET_ALARM ? static_cast<ALARM_SET_MESSAGE *>(pvMsg)->Priority
                                                            : static_cast<ALARM_CLEAR_MESSAGE *>(pvMsg)->Priority;
      got.emplace_back(pHeader->Cmd, u32Kind);
      H_MEMORY_vDumpMail(pvMsg);
    }
    return got;
  }
  float volts() {
    float f = -1.0f;
    H_DATABASE_bFetchFloat(FCID("IVLT"), &f, nullptr, nullptr);
    return f;
  }
};

TEST_F(BatteryTest, ConversionOfRawReadings) {
  const struct {
    U32 u32Raw;
    float fVolts;
  } kCases[] = {{0x4500, 12.03f}, {0, 0.43f}, {0xFFC0, 43.40f}, {0xFFFF, 43.40f}};
  for (const auto &c : kCases) EXPECT_NEAR(T_BATTERY_fCalcVoltagefromRawAdcValue(c.u32Raw), c.fVolts, 1e-4);
  reading(0x4500);
  EXPECT_NEAR(volts(), 12.03f, 1e-4);
  DB_ATTRIBUTES attributes{};
  H_DATABASE_bFetch(FCID("IVLT"), nullptr, nullptr, &attributes);
  EXPECT_EQ(attributes.u32TimeOut, 4u);  // twice that of 'AD05'
  U32 u32Slot = 0;
  H_DATABASE_bFetchU32(FCID("BVLT"), &u32Slot, nullptr, nullptr);
  EXPECT_EQ(u32Slot, FCID("IVLT"));
}

TEST_F(BatteryTest, TwoReadingsBelowEightVoltsPowerDownOnce) {
  reading(raw(7.5f));
  reading(raw(8.5f));
  reading(raw(7.5f));
  EXPECT_EQ(L_MBOX_Receive(kKeyboard), nullptr);
  reading(raw(7.5f));
  std::vector<GENERIC_MESSAGE> got;
  drain(kKeyboard, &got);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].Cmd, CMD_ID_SHUTDOWN);
  EXPECT_TRUE(T_BATTERY_bWaitingForShutdown());
  reading(raw(7.0f));
  drain(kKeyboard, &got);
  EXPECT_EQ(got.size(), 1u);
}

TEST_F(BatteryTest, HighVoltageWarningAndLowBatteryAlarm) {
  alarms();
  reading(raw(18.0f));
  reading(raw(19.0f));
  reading(raw(17.0f));
  using A = std::vector<std::pair<S32, U32>>;
  EXPECT_EQ(alarms(), (A{{CMD_ID_SET_ALARM, VOLTAGE_HIGH_WARNING}, {CMD_ID_CLEAR_ALARM, VOLTAGE_HIGH_WARNING}}));
  // Off (8.0): never raised.
  reading(raw(9.0f));
  EXPECT_TRUE(alarms().empty());
  setpoint(11.5f);
  alarms();
  reading(raw(11.45f));
  reading(raw(11.3f));
  EXPECT_EQ(alarms(), (A{{CMD_ID_SET_ALARM, LOW_BATTERY_ALARM}}));
  reading(raw(12.0f));
  reading(raw(11.3f));
  EXPECT_EQ(alarms(), (A{{CMD_ID_SET_ALARM, LOW_BATTERY_ALARM}}));
  // Back to off clears it; a reset of the settings does it through the set point's notice.
  setpoint(8.0f);
  EXPECT_EQ(alarms(), (A{{CMD_ID_CLEAR_ALARM, LOW_BATTERY_ALARM}}));
  setpoint(12.0f);
  auto *pReset = static_cast<GENERIC_MESSAGE *>(H_MEMORY_pvCalloc(1, sizeof(GENERIC_MESSAGE)));
  pReset->Cmd = CMD_ID_RESET_POS;
  T_BATTERY_vHandleMessage(pReset);
  while (void *pvMsg = L_MBOX_Receive(M_BATTERY)) T_BATTERY_vHandleMessage(pvMsg);
  EXPECT_EQ(alarms(), (A{{CMD_ID_CLEAR_ALARM, LOW_BATTERY_ALARM}}));
}

TEST_F(BatteryTest, LostReadingsLeaveTheVoltageUnknownWithoutReset) {
  reading(0x4500);
  H_DATABASE_bRegisterForDataWithConditions(FCID("IVLT"), kKeyboard, TRUE, TRUE, TRUE);
  reading(0, FALSE);
  BOOLEAN bValid = FALSE;
  float f = 0.0f;
  EXPECT_FALSE(H_DATABASE_bFetchFloat(FCID("IVLT"), &f, &bValid, nullptr) && bValid);
  auto *pNotice = static_cast<MESSAGE_NEW_DATA *>(L_MBOX_Receive(kKeyboard));
  ASSERT_NE(pNotice, nullptr);
  EXPECT_FALSE(pNotice->bValid);
  H_MEMORY_vDumpMail(pNotice);
  H_DATABASE_vUnregisterMailbox(FCID("IVLT"), kKeyboard);
  EXPECT_FALSE(T_BATTERY_bWaitingForShutdown());
  reading(0x4500);
  H_DATABASE_bFetchFloat(FCID("IVLT"), &f, &bValid, nullptr);
  EXPECT_TRUE(bValid);
  EXPECT_NEAR(f, 12.03f, 1e-4);
}

}  // namespace

namespace {

// Until the first reading exists the task sleeps on its mailbox: with the clock standing still, the reading's
// notice alone finishes its start, and mail that came first is handled after it in order.
TEST(BatteryStart, TheFirstReadingsNoticeEndsTheWaitWithoutTheClockMoving) {
  REQUIRE_UI_TEST_CLOCK();
  H_DATABASE_vInit();
  T_BATTERY_vResetForTest();
  H_DATABASE_vDeleteEntry(FCID("AD05"));
  H_DATABASE_bUpdateEverythingU32(FCID("TALR"), M_DUMMY, P_NORMAL, D_MAILBOX, nullptr, DB_NO_TIMEOUT);
  std::atomic<bool> bDone{false};
  std::thread task([&] {
    T_BATTERY_vInit();
    bDone = true;
  });
  // The task is registered for the reading once its mailbox key exists.
  while (!H_DATABASE_bFetch(FCID("TBAT"), nullptr, nullptr, nullptr)) usleep(1000);
  auto *pReset = static_cast<GENERIC_MESSAGE *>(H_MEMORY_pvCalloc(1, sizeof(GENERIC_MESSAGE)));
  pReset->Cmd = CMD_ID_RESET_POS;
  L_MBOX_Send(M_BATTERY, pReset, NORMAL_PRIORITY, 0);
  EXPECT_FALSE(bDone);
  H_DATABASE_bUpdateEverythingU32(FCID("AD05"), 0x4500, P_NORMAL, D_UNKNOWN, nullptr, 2);
  // A safety net against a task that never wakes, not a timing.
  for (int i = 0; i < 30000 && !bDone; ++i) usleep(1000);
  ASSERT_TRUE(bDone) << "the start still waits for the reading";
  task.join();
  while (void *pvMsg = L_MBOX_Receive(M_BATTERY)) T_BATTERY_vHandleMessage(pvMsg);  // the main loop's part
  float fVolts = 0.0f;
  EXPECT_TRUE(H_DATABASE_bFetchFloat(FCID("IVLT"), &fVolts, nullptr, nullptr));
  EXPECT_NEAR(fVolts, 12.03f, 1e-4);
  float fSetpoint = 0.0f;
  EXPECT_TRUE(H_DATABASE_bFetchFloat(FCID("SLBV"), &fSetpoint, nullptr, nullptr));
  EXPECT_FLOAT_EQ(fSetpoint, 8.0f);
  while (void *pvMsg = L_MBOX_Receive(M_DUMMY)) H_MEMORY_vDumpMail(pvMsg);
  T_BATTERY_vResetForTest();
}

}  // namespace

namespace {

// The self-test page covers the whole screen: nothing of what was shown before stays, the info column included.
TEST(SelfTestPage, PaintsItsWholeArea) {
  constexpr COLOR kStale = 0x1234;
  std::vector<U32> words(800 * 480 / 2);
  BITMAP bitmap{};
  G_BUFFERS_pCreateBitmap(800, 480, &bitmap, words.data());
  std::fill_n(reinterpret_cast<COLOR *>(words.data()), 800 * 480, kStale);
  WINDOW_SPECIFICATION window = {};
  T_STARTUP_vDrawSelfTestView(&bitmap, &window);
  size_t szStale = 0;
  for (size_t i = 0; i < 800u * 480u; ++i) szStale += reinterpret_cast<const COLOR *>(words.data())[i] == kStale;
  EXPECT_EQ(szStale, 0u);
}

}  // namespace
