// The alarm task: front choice and tunes, replacing, clearing, keys, the network peers and the reminder timing.
#include <string.h>

#include <atomic>
#include <string>
#include <thread>

#include "golden.h"
#include "alarm_test_env.h"
#include "kernel/mutex.h"
#include "ui/menu/menu.h"

namespace {

int s_nCancel19 = 0;
void vCancel19() { ++s_nCancel19; }
int s_nLeft = 0;
int s_nRight = 0;
void vLeft() { ++s_nLeft; }
void vRight() { ++s_nRight; }

constexpr U32 kPeerA = 0x0A01020A;  // 10.2.1.10
constexpr U32 kPeerB = 0x0B01020A;

// Lengths of the tunes used below (ms): general alert 600, test 3,000, small fish 120, alarm alert 200.
TEST_F(AlarmTaskTest, MoreImportantAlarmTakesTheFrontAndTheFirstOneComesBackWithoutItsFirstTune) {
  addPeer(kPeerA);
  raise(NAV_ARRIVAL_ALARM, TONE_GENERAL_ALERT, TONE_ALARM_ALERT);
  EXPECT_EQ(T_ALARM_s32FrontAlarm(), NAV_ARRIVAL_ALARM);
  run(100);
  raise(LOW_BATTERY_ALARM, TONE_TEST, TONE_SMALL_FISH);
  EXPECT_EQ(T_ALARM_s32FrontAlarm(), LOW_BATTERY_ALARM);
  EXPECT_EQ(T_ALARM_u32ActiveAlarms(), 2u);
  run(4130);  // to 4,230: the reminder of 5 starts 3,000 + 1,000 after its first tune, then back to back
  clear(LOW_BATTERY_ALARM);
  EXPECT_EQ(T_ALARM_s32FrontAlarm(), NAV_ARRIVAL_ALARM);
  run(1250);
  const std::vector<PlayedTone> expected = {
      {0, TONE_GENERAL_ALERT},  {100, TONE_TEST},         {4100, TONE_SMALL_FISH},
      {4220, TONE_SMALL_FISH},  {5230, TONE_ALARM_ALERT}, {5430, TONE_ALARM_ALERT},
  };
  EXPECT_EQ(tones(), expected);
  EXPECT_EQ(sent(), (std::vector<Sent>{{kPeerA, ALARM_NETWORK_PORT, 0, LOW_BATTERY_ALARM}}));
}

TEST_F(AlarmTaskTest, SameKindRaisedTwiceCancelsTheFirstAndPlaysTheSecondsTunes) {
  s_nCancel19 = 0;
  raise(NAV_OFF_COURSE_ALARM, TONE_GENERAL_ALERT, TONE_USE_CUSTOM, vCancel19);
  run(10);
  raise(NAV_OFF_COURSE_ALARM, TONE_TEST, TONE_USE_CUSTOM, vCancel19);
  EXPECT_EQ(s_nCancel19, 1);
  EXPECT_EQ(T_ALARM_u32ActiveAlarms(), 1u);
  EXPECT_EQ(T_ALARM_s32FrontAlarm(), NAV_OFF_COURSE_ALARM);
  EXPECT_EQ(tones(), (std::vector<PlayedTone>{{0, TONE_GENERAL_ALERT}, {10, TONE_TEST}}));
}

TEST_F(AlarmTaskTest, ClearingTellsEveryPeerEvenWhenNothingWasStored) {
  addPeer(kPeerA);
  addPeer(kPeerB);
  clear(DEEP_WATER_DEPTH_ALARM);
  // Peers are kept on the alarm port whatever port they were named with.
  EXPECT_EQ(sent(), (std::vector<Sent>{{kPeerA, ALARM_NETWORK_PORT, 0, DEEP_WATER_DEPTH_ALARM},
                                       {kPeerB, ALARM_NETWORK_PORT, 0, DEEP_WATER_DEPTH_ALARM}}));
  GMSG_ADDRESS address;
  GMSG_vMakeSocketAddress(&address, kPeerA, 1);
  ASSERT_TRUE(U_ALARM_bRemovePeer(&address));
  serve();
  clear(DEEP_WATER_DEPTH_ALARM);
  EXPECT_EQ(sent(), (std::vector<Sent>{{kPeerB, ALARM_NETWORK_PORT, 0, DEEP_WATER_DEPTH_ALARM}}));
}

TEST_F(AlarmTaskTest, KindsOutsideTheTableAreRefusedAndNothingIsSent) {
  addPeer(kPeerA);
  for (S32 s32Kind : {S32{-1}, S32{NUMBER_OF_SUPPORTED_ALARMS}, S32{1000}}) {
    raise(s32Kind, TONE_GENERAL_ALERT);
    clear(s32Kind);
  }
  EXPECT_EQ(T_ALARM_u32ActiveAlarms(), 0u);
  EXPECT_EQ(T_ALARM_s32FrontAlarm(), -1);
  EXPECT_TRUE(tones().empty());
  EXPECT_TRUE(sent().empty());
}

struct ReceiveCase {
  U32 u32Activate;
  U32 u32Kind;
  bool bBody;
  bool bRemoves;
};

TEST_F(AlarmTaskTest, OnlyAReceivedClearOfAStoredKindRemovesItWithoutCallbackOrReply) {
  const ReceiveCase kCases[] = {
      {1, NAV_OFF_COURSE_ALARM, true, false},
      {0, 0xFFFFFFFFu, true, false},
      {0, NUMBER_OF_SUPPORTED_ALARMS, true, false},
      {0, NAV_OFF_COURSE_ALARM, false, false},  // a body that could not be rebuilt
      {0, NAV_ARRIVAL_ALARM, true, false},      // a kind that is not stored
      {0, NAV_OFF_COURSE_ALARM, true, true},
  };
  addPeer(kPeerA);
  s_nCancel19 = 0;
  raise(NAV_OFF_COURSE_ALARM, TONE_USE_CUSTOM, TONE_USE_CUSTOM, vCancel19);
  for (const ReceiveCase &c : kCases) {
    SCOPED_TRACE(testing::Message() << "{" << c.u32Activate << ", " << c.u32Kind << "} body " << c.bBody);
    receive(c.u32Activate, c.u32Kind, c.bBody);
    EXPECT_EQ(T_ALARM_u32ActiveAlarms(), c.bRemoves ? 0u : 1u);
    EXPECT_EQ(T_ALARM_s32FrontAlarm(), c.bRemoves ? -1 : NAV_OFF_COURSE_ALARM);
  }
  EXPECT_EQ(s_nCancel19, 0);
  EXPECT_TRUE(sent().empty());
}

TEST_F(AlarmTaskTest, ReminderOfTheTimerAlarmFollowsItsFirstTuneWithoutAGap) {
  struct Case {
    S32 s32Kind;
    U32 u32FirstReminder;
  };
  // The timer alarm repeats right after its tune; any other kind waits 1,000 ms more.
  for (const Case &c : {Case{TIMER_ALARM, 200}, Case{NAV_ARRIVAL_ALARM, 1200}}) {
    SCOPED_TRACE(c.s32Kind);
    tones();
    const U32 u32Start = now();
    raise(c.s32Kind, TONE_ALARM_ALERT, TONE_ALARM_ALERT);
    run(c.u32FirstReminder + 250);
    std::vector<PlayedTone> played = tones();
    for (PlayedTone &t : played) t.u32Ms -= u32Start;
    EXPECT_EQ(played, (std::vector<PlayedTone>{{0, TONE_ALARM_ALERT},
                                               {c.u32FirstReminder, TONE_ALARM_ALERT},
                                               {c.u32FirstReminder + 200, TONE_ALARM_ALERT}}));
    clear(c.s32Kind);
  }
}

// A custom reminder of no length is not repeated without pause.
TEST_F(AlarmTaskTest, ReminderOfNoLengthIsNotRepeated) {
  static const TONE_BURST kSilent = {1, 0, {{{1000, 1000, 1000}, 100, 0}}, 0};
  ALARM_SET_MESSAGE *pMsg = alarm(NAV_ARRIVAL_ALARM, TONE_ALARM_ALERT, TONE_USE_CUSTOM);
  pMsg->pReminderCustomTone = &kSilent;
  post(pMsg);
  serve();
  run(3000);
  const std::vector<PlayedTone> played = tones();
  ASSERT_EQ(played.size(), 2u);  // the first tune, then the reminder once at 200 + 1,000 ms
  EXPECT_EQ(played[1].u32Ms, 1200u);
}

TEST_F(AlarmTaskTest, ExtendedAlarmTakesOnlyTheSidewaysCursorAndTellsThePeers) {
  addPeer(kPeerA);
  s_nLeft = s_nRight = 0;
  ALARM_SET_MESSAGE *pMsg = alarm(NAV_UI_ALARM, TONE_USE_CUSTOM, TONE_USE_CUSTOM);
  pMsg->header.Cmd = CMD_ID_SET_EXT_ALARM;
  pMsg->pLeftChoice = "No";
  pMsg->pRightChoice = "Yes";
  pMsg->pFunctionCbLeftKeyAction = vLeft;
  pMsg->pFunctionCbRightKeyAction = vRight;
  post(pMsg);
  serve();
  for (auto [u32Key, eCursor] : {std::pair{KEY_BIT_EXIT, CURSOR_ILLEGAL}, std::pair{KEY_BIT_CURSOR, CURSOR_NORTH},
                                 std::pair{KEY_BIT_CURSOR, CURSOR_SOUTH_WEST}}) {
    key(u32Key, eCursor);
    EXPECT_TRUE(UI_bTakeSignal(SEMA_KEYCLICK_BAD));
    EXPECT_FALSE(UI_bTakeSignal(SEMA_KEYCLICK_GOOD));
  }
  EXPECT_EQ(T_ALARM_u32ActiveAlarms(), 1u);
  key(KEY_BIT_CURSOR, CURSOR_WEST);
  EXPECT_TRUE(UI_bTakeSignal(SEMA_KEYCLICK_GOOD));
  EXPECT_EQ(s_nLeft, 1);
  EXPECT_EQ(s_nRight, 0);
  EXPECT_EQ(T_ALARM_u32ActiveAlarms(), 0u);
  EXPECT_EQ(sent(), (std::vector<Sent>{{kPeerA, ALARM_NETWORK_PORT, 0, NAV_UI_ALARM}}));
}

TEST_F(AlarmTaskTest, PlainAlarmIsAcknowledgedByAnyKeyButNotByARelease) {
  s_nCancel19 = 0;
  raise(NAV_OFF_COURSE_ALARM, TONE_USE_CUSTOM, TONE_USE_CUSTOM, vCancel19);
  key(KEY_BIT_CURSOR, CURSOR_UP, KEY_UP);
  EXPECT_EQ(T_ALARM_u32ActiveAlarms(), 1u);
  key(KEY_BIT_MENU);
  EXPECT_TRUE(UI_bTakeSignal(SEMA_KEYCLICK_GOOD));
  EXPECT_EQ(s_nCancel19, 1);
  EXPECT_EQ(T_ALARM_u32ActiveAlarms(), 0u);
}

TEST_F(AlarmTaskTest, InLineTestStateRunsOnlyTheCancelCallback) {
  H_DATABASE_bUpdateValueU32(FCID("CCST"), 9, P_NORMAL);
  s_nCancel19 = 0;
  raise(NAV_OFF_COURSE_ALARM, TONE_GENERAL_ALERT, TONE_USE_CUSTOM, vCancel19);
  EXPECT_EQ(s_nCancel19, 1);
  EXPECT_EQ(T_ALARM_u32ActiveAlarms(), 0u);
  EXPECT_TRUE(tones().empty());
}

TEST_F(AlarmTaskTest, ClearAllAndShutdownDropEveryAlarmWithoutCallbacksOrMessages) {
  addPeer(kPeerA);
  s_nCancel19 = 0;
  raise(NAV_OFF_COURSE_ALARM, TONE_USE_CUSTOM, TONE_USE_CUSTOM, vCancel19);
  raise(HARDWARE_FAULT_ALARM);
  L_SEMA_Signal(SEMA_CLEAR_ALARMS);
  serve();
  EXPECT_EQ(T_ALARM_u32ActiveAlarms(), 0u);
  raise(NAV_OFF_COURSE_ALARM, TONE_USE_CUSTOM, TONE_USE_CUSTOM, vCancel19);
  auto *pShutdown = static_cast<GENERIC_MESSAGE *>(H_MEMORY_pvCalloc(1, sizeof(GENERIC_MESSAGE)));
  pShutdown->Cmd = CMD_ID_SHUTDOWN;
  post(pShutdown);
  serve();
  EXPECT_EQ(T_ALARM_u32ActiveAlarms(), 0u);
  // After shut-down alarms are no longer taken.
  raise(HARDWARE_FAULT_ALARM);
  EXPECT_EQ(T_ALARM_u32ActiveAlarms(), 0u);
  EXPECT_EQ(s_nCancel19, 0);
  EXPECT_TRUE(sent().empty());
}

// The view task draws the front alarm while network clears remove it: both hold the alarm list's lock, so
// the drawing never reads a released message (the sanitizer build would report it).
TEST_F(AlarmTaskTest, DrawingAndNetworkClearsDoNotRace) {
  TestBitmap bitmap(800, 480);
  BITMAP *pBmp = bitmap.p();
  std::atomic<bool> bStop{false};
  std::thread view([&] {
    while (!bStop) vDrawCurrentAlarm(pBmp, nullptr);
  });
  for (int i = 0; i < 300; ++i) {
    raise(NAV_UI_ALARM);
    receive(0, NAV_UI_ALARM);
  }
  bStop = true;
  view.join();
  EXPECT_EQ(T_ALARM_u32ActiveAlarms(), 0u);
}

}  // namespace

namespace {

// Titles of the items and groups the alarm task has in the "Alarms" tab, from the menu messages posted since
// the last call: +name for a registration, -name for a removal.
std::vector<std::string> menuChanges() {
  std::vector<std::string> changes;
  while (void *pvMsg = L_MBOX_Receive(M_MENU)) {
    const auto *pHeader = static_cast<const GENERIC_MESSAGE *>(pvMsg);
    if (pHeader->Cmd == CMD_ID_REGISTER_MENU_ITEM) {
      changes.push_back(std::string("+") + (*static_cast<MSG_ADD_MENU_ITEM *>(pvMsg)->descriptor.pMenuName)[0]);
    } else if (pHeader->Cmd == CMD_ID_UNREGISTER_MENU_ITEM) {
      changes.push_back(std::string("-") + (*static_cast<MSG_REMOVE_MENU *>(pvMsg)->pMenuName)[0]);
    }
    H_MEMORY_vDumpMail(pvMsg);
  }
  return changes;
}

void notice(const char (&acKey)[5], U32 u32Value) {
  H_DATABASE_bUpdateValueU32(FCID(acKey), u32Value, P_NORMAL);
  auto *pMsg = static_cast<MESSAGE_NEW_DATA *>(H_MEMORY_pvCalloc(1, sizeof(MESSAGE_NEW_DATA)));
  pMsg->Header.Cmd = CMD_ID_NEW_DATA;
  pMsg->FourCharId = FCID(acKey);
  pMsg->dbValue.u32Val = u32Value;
  pMsg->bValid = TRUE;
  L_MBOX_Send(M_ALARM, pMsg, NORMAL_PRIORITY, 0);
}

TEST_F(AlarmTaskTest, DataAlarmGroupsFollowNmea2000DataAndTheSystemState) {
  H_DATABASE_bUpdateEverythingU32(FCID("TMNU"), M_MENU, P_NORMAL, D_MAILBOX, nullptr, DB_NO_TIMEOUT);
  H_DATABASE_bUpdateEverythingFloat(FCID("SATP"), 20.0f, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  menuChanges();
  struct Step {
    const char *pcKey;
    U32 u32Value;
    size_t nAdded;
    size_t nRemoved;
  };
  // Three groups and fourteen items come and go together.
  const Step kSteps[] = {
      {"SNID", 0, 0, 0}, {"SNID", 1, 17, 0}, {"CCST", 4, 0, 0}, {"SNID", 0, 0, 0},
      {"CCST", 3, 0, 17}, {"CCST", 6, 17, 0}, {"CCST", 3, 0, 17},
  };
  for (const Step &step : kSteps) {
    SCOPED_TRACE(testing::Message() << step.pcKey << " " << step.u32Value);
    if (step.pcKey == std::string("SNID")) {
      notice("SNID", step.u32Value);
    } else {
      notice("CCST", step.u32Value);
    }
    serve();
    size_t nAdded = 0, nRemoved = 0;
    for (const std::string &change : menuChanges()) ++(change[0] == '+' ? nAdded : nRemoved);
    EXPECT_EQ(nAdded, step.nAdded);
    EXPECT_EQ(nRemoved, step.nRemoved);
  }
  // The limits were rewritten with their data types, keeping their values, so that the menu converts units.
  float fValue = 0;
  DB_ATTRIBUTES attributes = {};
  ASSERT_TRUE(H_DATABASE_bFetchFloat(FCID("SATP"), &fValue, nullptr, &attributes));
  EXPECT_EQ(fValue, 20.0f);
  EXPECT_EQ(attributes.DataType, D_TEMPERATURE);
  ASSERT_TRUE(H_DATABASE_bFetchFloat(FCID("SDA1"), &fValue, nullptr, &attributes));
  EXPECT_EQ(attributes.DataType, D_DEPTH);
}

TEST_F(AlarmTaskTest, FactoryDefaultsOfTheAlarmSettings) {
  H_DATABASE_bUpdateValueFloat(FCID("SATP"), 30.0f, P_NORMAL);
  H_DATABASE_bUpdateValueU32(FCID("SAI5"), 1, P_NORMAL);
  H_DATABASE_bUpdateValueU32(FCID("STAW"), 90, P_NORMAL);
  auto *pMsg = static_cast<GENERIC_MESSAGE *>(H_MEMORY_pvCalloc(1, sizeof(GENERIC_MESSAGE)));
  pMsg->Cmd = CMD_ID_RESET_POS;
  post(pMsg);
  serve();
  struct Expected {
    FOURCHARID key;
    DATA_TYPE type;
    float fValue;  // for the float settings
  };
  for (const Expected &e : {Expected{FCID("SATP"), D_TEMPERATURE, -41.0f}, Expected{FCID("SWTP"), D_TEMPERATURE, 0.0f},
                            Expected{FCID("SDA2"), D_DEPTH, 0.0f}, Expected{FCID("SAI1"), D_PERCENT, 0.0f}}) {
    float fValue = 1;
    DB_ATTRIBUTES attributes = {};
    ASSERT_TRUE(H_DATABASE_bFetchFloat(e.key, &fValue, nullptr, &attributes));
    EXPECT_EQ(fValue, e.fValue);
    EXPECT_EQ(attributes.DataType, e.type);
  }
  for (FOURCHARID key : {FCID("SAI5"), FCID("STAW")}) {
    U32 u32Value = 7;
    H_DATABASE_bFetchU32(key, &u32Value, nullptr, nullptr);
    EXPECT_EQ(u32Value, 0u) << std::hex << key;
  }
}

// The alarm layer and the alarm keys are held while at least one alarm is kept.
TEST_F(AlarmTaskTest, LayerAndKeysFollowTheFirstAndTheLastAlarm) {
  H_DATABASE_bUpdateEverythingU32(FCID("TVUE"), M_VIEW, P_NORMAL, D_MAILBOX, nullptr, DB_NO_TIMEOUT);
  H_DATABASE_bUpdateEverythingU32(FCID("TKBD"), M_KEYB, P_NORMAL, D_MAILBOX, nullptr, DB_NO_TIMEOUT);
  auto drain = [](MBOX mbox) {
    std::vector<int> commands;
    while (void *pvMsg = L_MBOX_Receive(mbox)) {
      const auto *pHeader = static_cast<const GENERIC_MESSAGE *>(pvMsg);
      commands.push_back(pHeader->Cmd);
      if (pHeader->Cmd == CMD_ID_REGISTER_LAYER) {
        EXPECT_EQ(static_cast<MSG_REGISTER_LAYER *>(pvMsg)->layer, ALARM_LAYER);
        EXPECT_EQ(static_cast<MSG_REGISTER_LAYER *>(pvMsg)->where_used, USED_BY_ALL);
      }
      if (pHeader->Cmd == CMD_ID_REGISTER_FOR_KEYS) {
        EXPECT_EQ(static_cast<MSG_REGISTER_FOR_KEYS *>(pvMsg)->keys, 0x3FEu);
        EXPECT_EQ(static_cast<MSG_REGISTER_FOR_KEYS *>(pvMsg)->usage, REGISTER_ALARM);
      }
      H_MEMORY_vDumpMail(pvMsg);
    }
    return commands;
  };
  raise(NAV_ARRIVAL_ALARM);
  raise(LOW_BATTERY_ALARM);
  EXPECT_EQ(drain(M_VIEW), std::vector<int>{CMD_ID_REGISTER_LAYER});
  EXPECT_EQ(drain(M_KEYB), std::vector<int>{CMD_ID_REGISTER_FOR_KEYS});
  clear(LOW_BATTERY_ALARM);
  EXPECT_TRUE(drain(M_VIEW).empty());
  clear(NAV_ARRIVAL_ALARM);
  EXPECT_EQ(drain(M_VIEW), std::vector<int>{CMD_ID_UNREGISTER_LAYER});
  EXPECT_EQ(drain(M_KEYB), std::vector<int>{CMD_ID_UNREGISTER_FOR_KEYS});
}

}  // namespace
