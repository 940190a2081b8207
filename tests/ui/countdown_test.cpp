// The count-down timer: starting, running out, the alarm box and its auto-close, the editor and its question.
#include "golden.h"
#include "alarm_test_env.h"
#include "run_apart.h"

TEST_RUN_APART(CountdownTest);

namespace {

class CountdownTest : public AlarmTaskTest {
 protected:
  void SetUp() override {
    AlarmTaskTest::SetUp();
    if (IsSkipped()) return;
    setValue(0);
  }
  static void setValue(U32 u32Seconds) {
    H_DATABASE_bUpdateValueU32(FCID("STAW"), u32Seconds, P_NORMAL);
    T_ALARM_vLoadTimerValue();
  }
  static U32 u32Setting(const char (&acKey)[5]) {
    U32 u32Value = 0xDEAD;
    H_DATABASE_bFetchU32(FCID(acKey), &u32Value, nullptr, nullptr);
    return u32Value;
  }
  // One check of the info task, a second after the previous one.
  void check() {
    run(1000);
    T_ALARM_vCheckTimer();
    serve();
  }
  static bool good() { return UI_bTakeSignal(SEMA_KEYCLICK_GOOD); }
  static bool bad() { return UI_bTakeSignal(SEMA_KEYCLICK_BAD); }
  void cursor(CURSOR_POSITION eCursor) {
    key(KEY_BIT_CURSOR, eCursor, KEY_CHANGE);
    key(KEY_BIT_CURSOR, CURSOR_UP, KEY_UP);
  }
  void redraw(int n) {
    for (int i = 0; i < n; ++i) T_ALARM_vDrawTimer(m_bitmap.p(), nullptr);
  }
  TestBitmap m_bitmap{800, 480};
};

TEST_F(CountdownTest, StartingWithNoTimeIsRefused) {
  T_ALARM_vStartTimer();
  EXPECT_TRUE(bad());
  EXPECT_FALSE(good());
  for (int i = 0; i < 3; ++i) check();
  EXPECT_EQ(T_ALARM_u32ActiveAlarms(), 0u);
}

TEST_F(CountdownTest, OneSecondEndsAtTheFirstCheckPastItAndTheBoxClosesItselfAfterThirtyChecks) {
  setValue(1);
  T_ALARM_vStartTimer();
  EXPECT_TRUE(good());
  check();  // exactly 1,000 ms: not yet over
  EXPECT_EQ(u32Setting("ITAW"), 0u);
  EXPECT_EQ(T_ALARM_s32FrontAlarm(), -1);
  check();
  EXPECT_EQ(T_ALARM_s32FrontAlarm(), TIMER_ALARM);
  EXPECT_EQ(tones().front().eTone, TONE_ALARM_ALERT);
  for (int i = 0; i < 30; ++i) check();
  EXPECT_EQ(T_ALARM_s32FrontAlarm(), TIMER_ALARM);
  check();
  EXPECT_EQ(T_ALARM_s32FrontAlarm(), -1);
  EXPECT_EQ(u32Setting("ITAW"), 1u);
  EXPECT_FALSE(good());  // closing by itself gives no click
}

TEST_F(CountdownTest, CountDownAcrossTheWrapOfTheMillisecondCounterEndsOnTime) {
  setValue(3);
  const U32 u32Now = H_TICK_u32ReadFreeRunningTimerInMilliSeconds();
  PLATFORM_CLOCK_vAdvanceTestClockMs(0xFFFFFFFFu - u32Now - 1500);  // the counter wraps 1.5 s after the start
  T_ALARM_vStartTimer();
  for (U32 u32Left : {2u, 1u, 0u}) {
    check();
    EXPECT_EQ(u32Setting("ITAW"), u32Left);
  }
  check();
  EXPECT_EQ(T_ALARM_s32FrontAlarm(), TIMER_ALARM);
}

TEST_F(CountdownTest, RepeatAndClearOnTheAlarmBox) {
  setValue(1);
  T_ALARM_vStartTimer();
  check();
  check();
  ASSERT_EQ(T_ALARM_s32FrontAlarm(), TIMER_ALARM);
  good();
  key(KEY_BIT_EXIT);  // ignored, silently
  EXPECT_FALSE(good() || bad());
  key(KEY_BIT_CURSOR, CURSOR_EAST);  // "Repeat": counting again from now
  EXPECT_TRUE(good());
  EXPECT_TRUE(bad());
  EXPECT_EQ(T_ALARM_s32FrontAlarm(), -1);
  check();
  check();
  ASSERT_EQ(T_ALARM_s32FrontAlarm(), TIMER_ALARM);
  key(KEY_BIT_CURSOR, CURSOR_WEST);  // "Clear"
  EXPECT_TRUE(good());
  EXPECT_TRUE(bad());
  EXPECT_EQ(T_ALARM_s32FrontAlarm(), -1);
  check();
  check();
  EXPECT_EQ(T_ALARM_s32FrontAlarm(), -1);
}

TEST_F(CountdownTest, MinutesStepToFiftyNineAndStopThereEvenWhenHeld) {
  setValue(58 * 60);
  T_ALARM_vInitTimer();
  EXPECT_TRUE(good());
  cursor(CURSOR_EAST);  // hours
  cursor(CURSOR_EAST);  // minutes
  good();
  key(KEY_BIT_CURSOR, CURSOR_NORTH, KEY_CHANGE);
  EXPECT_TRUE(good());
  redraw(20);  // held: steps from the fourth redraw, never past 59
  key(KEY_BIT_CURSOR, CURSOR_UP, KEY_UP);
  EXPECT_FALSE(good() || bad());
  cursor(CURSOR_NORTH);
  EXPECT_TRUE(bad());
  // Save and close from the "Time" item.
  key(KEY_BIT_EXIT);
  cursor(CURSOR_SOUTH);
  cursor(CURSOR_SOUTH);
  cursor(CURSOR_EAST);
  EXPECT_EQ(u32Setting("STAW"), 59u * 60);
  EXPECT_EQ(u32Setting("ITAW"), 59u * 60);
  EXPECT_FALSE(T_ALARM_bTimerEditorOpen());
}

TEST_F(CountdownTest, HeldKeySpeedsUpFromTheFourthRedraw) {
  T_ALARM_vInitTimer();
  cursor(CURSOR_EAST);
  cursor(CURSOR_EAST);
  cursor(CURSOR_EAST);  // seconds
  key(KEY_BIT_CURSOR, CURSOR_NORTH, KEY_CHANGE);  // 1
  redraw(3);                                      // still 1
  redraw(1);                                      // steps 4/5+1 = 1: 2
  redraw(1);                                      // 5/5+1 = 2: 4
  redraw(5);                                      // 2+2+2+2+3: 15
  key(KEY_BIT_CURSOR, CURSOR_UP, KEY_UP);
  redraw(3);
  key(KEY_BIT_EXIT);
  key(KEY_BIT_EXIT);
  cursor(CURSOR_EAST);  // "Save Changes?" yes
  EXPECT_EQ(u32Setting("STAW"), 15u);
}

struct QuestionCase {
  const char *pcName;
  bool bChange;
  CURSOR_POSITION eAnswer;  // CURSOR_ILLEGAL: no question expected
  U32 u32Saved;             // 'STAW' afterwards
};

TEST_F(CountdownTest, LeavingTheEditorAsksToSaveOnlyAfterAChange) {
  const QuestionCase kCases[] = {
      {"no change closes at once", false, CURSOR_ILLEGAL, 600},
      {"no keeps the old value", true, CURSOR_WEST, 600},
      {"yes saves", true, CURSOR_EAST, 600 + 3600},
  };
  for (const QuestionCase &c : kCases) {
    SCOPED_TRACE(c.pcName);
    H_DATABASE_bUpdateValueU32(FCID("STAW"), 600, P_NORMAL);
    T_ALARM_vLoadTimerValue();
    T_ALARM_vInitTimer();
    if (c.bChange) {
      cursor(CURSOR_EAST);
      cursor(CURSOR_NORTH);  // one hour more
      key(KEY_BIT_EXIT);     // back to "Time"
    }
    good();
    key(KEY_BIT_EXIT);
    EXPECT_TRUE(good());
    if (c.eAnswer != CURSOR_ILLEGAL) {
      EXPECT_TRUE(T_ALARM_bTimerEditorOpen());
      for (U32 u32Key : {KEY_BIT_EXIT, KEY_BIT_MENU}) {
        key(u32Key);
        EXPECT_TRUE(bad());
      }
      cursor(CURSOR_NORTH);
      EXPECT_TRUE(bad());
      cursor(c.eAnswer);
      EXPECT_TRUE(good());
    }
    EXPECT_FALSE(T_ALARM_bTimerEditorOpen());
    // What the editor holds now: open it again and save and close.
    T_ALARM_vInitTimer();
    cursor(CURSOR_SOUTH);
    cursor(CURSOR_SOUTH);
    cursor(CURSOR_EAST);
    EXPECT_EQ(u32Setting("STAW"), c.u32Saved);
  }
}

TEST_F(CountdownTest, SaveAndStartNeedsATime) {
  T_ALARM_vInitTimer();
  cursor(CURSOR_SOUTH);  // "Save and Start"
  good();
  cursor(CURSOR_EAST);
  EXPECT_TRUE(bad());
  EXPECT_TRUE(T_ALARM_bTimerEditorOpen());
  cursor(CURSOR_WEST);  // back to "Time"
  cursor(CURSOR_EAST);
  cursor(CURSOR_EAST);
  cursor(CURSOR_EAST);  // seconds
  cursor(CURSOR_NORTH);
  key(KEY_BIT_EXIT);
  cursor(CURSOR_SOUTH);
  good();
  cursor(CURSOR_EAST);
  EXPECT_TRUE(good());
  EXPECT_FALSE(T_ALARM_bTimerEditorOpen());
  EXPECT_EQ(u32Setting("STAW"), 1u);
  check();
  check();
  EXPECT_EQ(T_ALARM_s32FrontAlarm(), TIMER_ALARM);
}

}  // namespace

namespace {

TEST_F(CountdownTest, Goldens) {
  setValue(3723);  // 01:02:03
  T_ALARM_vInitTimer();
  cursor(CURSOR_EAST);
  cursor(CURSOR_EAST);  // minutes
  T_ALARM_vDrawTimer(m_bitmap.p(), nullptr);
  vExpectGolden(m_bitmap.p(), "timer_editor");

  cursor(CURSOR_NORTH);
  key(KEY_BIT_EXIT);
  key(KEY_BIT_EXIT);  // "Save Changes?"
  TestBitmap question(800, 480);
  T_ALARM_vDrawTimer(question.p(), nullptr);
  vExpectGolden(question.p(), "timer_question");

  TestBitmap lost(800, 480);
  post(alarm(DATASOURCE_ALARM_DEPTH, TONE_USE_CUSTOM, TONE_USE_CUSTOM, nullptr, "Depth"));
  serve();
  vDrawCurrentAlarm(lost.p(), nullptr);
  vExpectGolden(lost.p(), "alarm_lost_source");
}

}  // namespace

namespace {

// Stopping a count-down that has not run out leaves the keys of an alarm on display alone.
TEST_F(CountdownTest, StoppingACountDownKeepsTheKeysOfAShownAlarm) {
  H_DATABASE_bUpdateEverythingU32(FCID("TKBD"), M_KEYB, P_NORMAL, D_MAILBOX, nullptr, DB_NO_TIMEOUT);
  auto unregisters = [] {
    int n = 0;
    while (void *pvMsg = L_MBOX_Receive(M_KEYB)) {
      if (static_cast<GENERIC_MESSAGE *>(pvMsg)->Cmd == CMD_ID_UNREGISTER_FOR_KEYS) ++n;
      H_MEMORY_vDumpMail(pvMsg);
    }
    return n;
  };
  raise(NAV_ARRIVAL_ALARM);
  setValue(60);
  T_ALARM_vStartTimer();
  T_ALARM_vClearTimer();
  EXPECT_EQ(unregisters(), 0);
  // The box after running out gives its own registration back.
  setValue(1);
  T_ALARM_vStartTimer();
  check();
  check();
  T_ALARM_vClearTimer();
  EXPECT_EQ(unregisters(), 1);
}

}  // namespace
