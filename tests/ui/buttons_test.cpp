// The shortcut buttons: short presses, long presses and the help text timing, on the test clock.
#include <gtest/gtest.h>

#include "settings/database.h"
#include "kernel/mbox.h"
#include "kernel/memory.h"
#include "kernel/sema.h"
#include "kernel/timer.h"
#include "ui/keys/buttons.h"
#include "ui/keys/keyboard.h"
#include "ui/keys/tone.h"
#include "ui_test_env.h"

namespace {

constexpr MBOX kTone = M_DUMMY;

U32 u32Get(const char (&key)[5]) {
  U32 u32Value = 0xDEADBEEF;
  H_DATABASE_bFetchU32(FCID(key), &u32Value, nullptr, nullptr);
  return u32Value;
}

class ButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    REQUIRE_UI_TEST_CLOCK();
    T_KEYBOARD_vResetForTest();
    T_KEYBOARD_vInit();
    T_BUTTON_vResetForTest();
    H_DATABASE_bUpdateEverythingU32(FCID("SKY2"), 30, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
    T_BUTTON_vInit();
    while (void *pvMsg = L_MBOX_Receive(M_KEYB)) T_KEYBOARD_vHandleMessage(pvMsg);
    H_DATABASE_bUpdateEverythingU32(FCID("CVEW"), 49, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
    UI_bTakeSignal(SEMA_KEYCLICK_GOOD);
  }
  void TearDown() override { T_BUTTON_vResetForTest(); }
  void key(U32 u32Key, KEY_STATE state) {
    auto *pMsg = static_cast<MSG_KEY_CHANGE *>(H_MEMORY_pvCalloc(1, sizeof(MSG_KEY_CHANGE)));
    pMsg->header.Cmd = CMD_ID_KEY_CHANGE;
    pMsg->key = u32Key;
    pMsg->state = state;
    T_BUTTON_vHandleMessage(pMsg);
  }
  void advance(U32 u32Ms) {
    PLATFORM_CLOCK_vAdvanceTestClockMs(u32Ms);
    TIMER_vSyncForTest();
    if (UI_bTakeSignal(SEMA_TIMER_BUTTON)) T_BUTTON_vHandleTimer();
  }
  int tunes() {
    int n = 0;
    while (void *pvMsg = L_MBOX_Receive(kTone)) {
      auto *pMsg = static_cast<MSG_PLAY_TONE *>(pvMsg);
      EXPECT_EQ(pMsg->header.Cmd, CMD_ID_PLAY_TONE);
      EXPECT_EQ(pMsg->StandardToneID, TONE_USE_CUSTOM);
      EXPECT_EQ(T_TONE_u32CalculateToneLength(TONE_USE_CUSTOM, pMsg->pCustomTone), 700u);
      H_MEMORY_vDumpMail(pvMsg);
      ++n;
    }
    return n;
  }
};

TEST_F(ButtonTest, TheStoredViewsComeFromTheSettings) {
  EXPECT_EQ(u32Get("TBUT"), static_cast<U32>(M_BUTTON));
  EXPECT_EQ(T_BUTTON_eStoredViewForTest(0), SONAR_SIDEVIEW_AND_DOWN);
  EXPECT_EQ(T_BUTTON_eStoredViewForTest(1), 30);
  EXPECT_EQ(u32Get("SKY1"), 46u);
  EXPECT_EQ(u32Get("SKY3"), 25u);
}

TEST_F(ButtonTest, AShortPressShowsTheStoredViewAndTheHelpTextUntilOneAndAHalfSeconds) {
  const struct {
    U32 releaseMs;       // after the press
    U32 helpUntilMs;     // after the press, when the help text goes
  } cases[] = {{300, 1500}, {1000, 1500}, {1700, 1700}, {1999, 1999}};
  for (const auto &c : cases) {
    H_DATABASE_bUpdateValueU32(FCID("CVEW"), 49, P_NORMAL);
    key(KEY_BIT_SOFT_KEY_2, KEY_DOWN);
    EXPECT_TRUE(UI_bTakeSignal(SEMA_KEYCLICK_GOOD));
    EXPECT_EQ(T_BUTTON_eTimerUseForTest(), BUTTON_KEY_DOWN);
    advance(c.releaseMs);
    EXPECT_EQ(u32Get("CVEW"), 49u);
    key(KEY_BIT_SOFT_KEY_2, KEY_UP);
    EXPECT_EQ(u32Get("CVEW"), 30u) << c.releaseMs;
    if (c.helpUntilMs > c.releaseMs) {
      EXPECT_EQ(T_BUTTON_eTimerUseForTest(), BUTTON_HELPER_MESSAGE);
      advance(c.helpUntilMs - c.releaseMs - 1);
      EXPECT_EQ(T_BUTTON_eTimerUseForTest(), BUTTON_HELPER_MESSAGE) << c.releaseMs;
      advance(1);
    } else {
      advance(0);
    }
    EXPECT_EQ(T_BUTTON_eTimerUseForTest(), BUTTON_TIMER_NOT_IN_USE) << c.releaseMs;
    EXPECT_EQ(u32Get("SKY2"), 30u);
  }
}

TEST_F(ButtonTest, HoldingTwoSecondsStoresTheCurrentViewWithATune) {
  for (const bool bToneTask : {false, true}) {
    if (bToneTask) H_DATABASE_bUpdateEverythingU32(FCID("TTON"), kTone, P_NORMAL, D_MAILBOX, nullptr, DB_NO_TIMEOUT);
    key(KEY_BIT_SOFT_KEY_3, KEY_DOWN);
    advance(1999);
    EXPECT_EQ(T_BUTTON_eTimerUseForTest(), BUTTON_KEY_DOWN);
    advance(1);
    EXPECT_EQ(T_BUTTON_eTimerUseForTest(), BUTTON_SAVED_MESSAGE);
    EXPECT_EQ(u32Get("SKY3"), 49u);
    EXPECT_EQ(T_BUTTON_eStoredViewForTest(2), 49);
    EXPECT_EQ(tunes(), bToneTask ? 1 : 0);
    // The release after a long press changes nothing.
    H_DATABASE_bUpdateValueU32(FCID("CVEW"), 35, P_NORMAL);
    key(KEY_BIT_SOFT_KEY_3, KEY_UP);
    EXPECT_EQ(u32Get("CVEW"), 35u);
    EXPECT_EQ(T_BUTTON_eTimerUseForTest(), BUTTON_SAVED_MESSAGE);
    advance(999);
    EXPECT_EQ(T_BUTTON_eTimerUseForTest(), BUTTON_SAVED_MESSAGE);
    advance(1);
    EXPECT_EQ(T_BUTTON_eTimerUseForTest(), BUTTON_TIMER_NOT_IN_USE);
    H_DATABASE_bUpdateValueU32(FCID("CVEW"), 49, P_NORMAL);
  }
}

TEST_F(ButtonTest, ResetRestoresTheFactoryShortcutsAndOtherKeysAreIgnored) {
  key(KEY_BIT_SOFT_KEY_1, KEY_DOWN);
  advance(2000);
  ASSERT_EQ(u32Get("SKY1"), 49u);
  advance(1000);
  UI_bTakeSignal(SEMA_KEYCLICK_GOOD);
  key(KEY_BIT_MENU, KEY_DOWN);
  EXPECT_FALSE(UI_bTakeSignal(SEMA_KEYCLICK_GOOD));
  EXPECT_EQ(T_BUTTON_eTimerUseForTest(), BUTTON_TIMER_NOT_IN_USE);
  auto *pReset = static_cast<GENERIC_MESSAGE *>(H_MEMORY_pvCalloc(1, sizeof(GENERIC_MESSAGE)));
  pReset->Cmd = CMD_ID_RESET_POS;
  T_BUTTON_vHandleMessage(pReset);
  EXPECT_EQ(u32Get("SKY1"), 46u);
  EXPECT_EQ(u32Get("SKY2"), 35u);
  EXPECT_EQ(u32Get("SKY3"), 25u);
  EXPECT_EQ(T_BUTTON_eStoredViewForTest(1), CHART_PLUS_2D_VIEW_PRIORITY);
}

TEST_F(ButtonTest, AMissingCurrentViewStoresNothing) {
  H_DATABASE_vDeleteEntry(FCID("CVEW"));
  key(KEY_BIT_SOFT_KEY_2, KEY_DOWN);
  advance(2000);
  EXPECT_EQ(u32Get("SKY2"), 30u);
  EXPECT_EQ(T_BUTTON_eTimerUseForTest(), BUTTON_KEY_DOWN);
}

}  // namespace
