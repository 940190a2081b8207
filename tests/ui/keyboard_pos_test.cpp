// The point-of-sale demonstration: the fixed sequence, the free use after a key, and the tutorial script
// interpreter, driven step by step on the test clock.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "golden.h"
#include "draw/bmp.h"
#include "view/capture.h"
#include "draw/color.h"
#include "settings/database.h"
#include "kernel/mbox.h"
#include "kernel/memory.h"
#include "kernel/mutex.h"
#include "kernel/sema.h"
#include "kernel/timer.h"
#include "platform/lcd.h"
#include "platform/sd.h"
#include "ui/keys/keyboard.h"
#include "ui/startup/keyboard_pos.h"
#include "ui_test_env.h"
#include "run_apart.h"

TEST_RUN_APART(PosTest);

namespace {

// A task mailbox that no task uses in a test process: it owns every key and hears the reset messages.
constexpr MBOX kTask = M_DUMMY;

struct Mail {
  int resets = 0;
  std::vector<U32> keys;
};

U32 u32Get(const char (&key)[5]) {
  U32 u32Value = 0xDEADBEEF;
  H_DATABASE_bFetchU32(FCID(key), &u32Value, nullptr, nullptr);
  return u32Value;
}

void vSet(const char (&key)[5], U32 u32Value) {
  H_DATABASE_bUpdateEverythingU32(FCID(key), u32Value, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
}

class PosTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    REQUIRE_UI_TEST_CLOCK();
    T_KEYBOARD_vResetForTest();
    T_KEYBOARD_vPOSResetForTest();
    T_KEYBOARD_vInit();
    drain();
    H_DATABASE_bUpdateEverythingU32(FCID("TTST"), kTask, P_NORMAL, D_MAILBOX, nullptr, DB_NO_TIMEOUT);
    ASSERT_TRUE(U_KEYBOARD_bRegisterKeys(kTask, 0x3BFE, KEY_CHANGE, FALSE, FALSE, CURSOR_4, REGISTER_BASIC));
    drain();
    m_sCard = DD_SD_pcMountPoint(0);
    std::filesystem::create_directories(m_sCard);
    std::filesystem::remove(m_sCard + "/POSDemo.txt");
    vSet("CCST", 6);
    UI_bTakeSignal(SEMA_KEYCLICK_GOOD);
    UI_bTakeSignal(SEMA_KEYCLICK_BAD);
  }
  void TearDown() override {
    T_KEYBOARD_vPOSResetForTest();
    T_KEYBOARD_vResetForTest();
    if (!m_sCard.empty()) std::filesystem::remove(m_sCard + "/POSDemo.txt");
    received();
  }
  void drain() {
    while (void *pvMsg = L_MBOX_Receive(M_KEYB)) T_KEYBOARD_vHandleMessage(pvMsg);
  }
  Mail received() {
    Mail mail;
    while (void *pvMsg = L_MBOX_Receive(kTask)) {
      auto *pHeader = static_cast<GENERIC_MESSAGE *>(pvMsg);
      if (pHeader->Cmd == CMD_ID_RESET_POS) ++mail.resets;
      if (pHeader->Cmd == CMD_ID_KEY_CHANGE) mail.keys.push_back(static_cast<MSG_KEY_CHANGE *>(pvMsg)->key);
      H_MEMORY_vDumpMail(pvMsg);
    }
    return mail;
  }
  U32 timer() { return T_KEYBOARD_u32POSTimerRemainingForTest(); }
  // One expiry of the demonstration timer, as the keyboard task handles it: the clock runs to the expiry.
  void step() {
    PLATFORM_CLOCK_vAdvanceTestClockMs(timer());
    TIMER_vSyncForTest();
    UI_bTakeSignal(SEMA_TIMER_POS);
    L_MUTEX_LockWait(RES_POS_TUTORIAL);
    T_KEYBOARD_vPOSTimerExpired();
    L_MUTEX_Unlock(RES_POS_TUTORIAL);
    drain();
  }
  // Starts the tutorial with the script and runs the preamble of simulated VIEW presses; the next step runs
  // the script's first line.
  void startScript(const char *pcScript) {
    T_KEYBOARD_vPOSSetBuiltInScriptForTest(pcScript);
    T_KEYBOARD_vHandleSystemStart();
    ASSERT_EQ(timer(), 100u);
    step();
    ASSERT_TRUE(T_KEYBOARD_bPOSFlagForTest('T'));
    for (int i = 0; i < 5; ++i) step();
    received();
  }
  std::string m_sCard;
};

TEST_F(PosTest, WithoutAScriptTheFixedSequenceRepeats) {
  vSet("SLNG", 1);  // a language without a built-in script
  T_KEYBOARD_vHandleSystemStart();
  EXPECT_EQ(u32Get("CKCK"), FALSE);
  EXPECT_EQ(timer(), 100u);
  step();
  EXPECT_TRUE(T_KEYBOARD_bPOSFlagForTest('D'));
  EXPECT_EQ(timer(), 100u);
  const struct {
    U32 view, delay;
  } expected[] = {{35, 5000}, {35, 25000}, {25, 15000}, {49, 15000}, {35, 5000}};
  for (const auto &e : expected) {
    step();
    EXPECT_EQ(u32Get("CVEW"), e.view);
    EXPECT_EQ(timer(), e.delay);
  }
}

TEST_F(PosTest, AKeyGivesThreeMinutesOfFreeUseThenEverythingIsReset) {
  vSet("SLNG", 1);
  T_KEYBOARD_vHandleSystemStart();
  step();
  step();
  step();
  ASSERT_EQ(T_KEYBOARD_u32POSScriptIndexForTest(), 2u);
  vSet("SCPP", 5);
  received();
  T_KEYBOARD_vPOSKeyActivity();
  EXPECT_EQ(u32Get("CKCK"), TRUE);
  EXPECT_EQ(u32Get("SCPP"), 0u);
  EXPECT_EQ(timer(), 180000u);
  // More keys only restart the three minutes.
  PLATFORM_CLOCK_vAdvanceTestClockMs(60000);
  T_KEYBOARD_vPOSKeyActivity();
  EXPECT_EQ(timer(), 180000u);
  step();
  EXPECT_EQ(u32Get("CKCK"), FALSE);
  EXPECT_EQ(received().resets, 1);
  EXPECT_EQ(timer(), 2u);
  step();
  EXPECT_EQ(u32Get("CVEW"), 35u);
  EXPECT_EQ(timer(), 5000u);
}

TEST_F(PosTest, TheTutorialFirstShowsFiveViewsTenSecondsApart) {
  T_KEYBOARD_vPOSSetBuiltInScriptForTest("SET CXYA 1\n");
  T_KEYBOARD_vHandleSystemStart();
  step();
  EXPECT_EQ(u32Get("SDBV"), TRUE);
  received();
  for (int i = 0; i < 5; ++i) {
    step();
    EXPECT_EQ(timer(), 10000u);
    EXPECT_EQ(received().keys, std::vector<U32>{KEY_BIT_VIEW});
  }
  EXPECT_EQ(u32Get("CDSM"), FALSE);
  step();
  EXPECT_EQ(u32Get("CDSM"), TRUE);
  EXPECT_EQ(u32Get("CXYA"), 1u);
}

TEST_F(PosTest, EachLineSetsTheTimeToTheNextOne) {
  const struct {
    const char *script;
    U32 next;
  } cases[] = {
      {"WAIT 2.55", 2500}, {"WAIT 3", 3000},        {"WAIT 0.1", 100}, {"SET CXYZ 0x10", 300},
      {"NOBALLOON", 100},  {"// remark\nFOO bar", 100}, {"KEY +", 100},  {"ENDMOREINFO", 100},
  };
  for (const auto &c : cases) {
    T_KEYBOARD_vPOSResetForTest();
    startScript(c.script);
    step();
    EXPECT_EQ(timer(), c.next) << c.script;
    EXPECT_EQ(T_KEYBOARD_ePOSErrorForTest(), NO_ERROR) << c.script;
  }
  EXPECT_EQ(u32Get("CXYZ"), 16u);
}

TEST_F(PosTest, ScriptErrorsStopTheScriptWithTheirText) {
  const struct {
    const char *script;
    int steps;
    ERROR_CODE error;
    const char *text;
  } cases[] = {
      {"KEY SOFT4", 1, ERR_BAD_KEY, "Bad Key name in POS script"},
      {"KEY", 1, ERR_NO_KEY, "No Key name in POS script"},
      {"BALLOON 10,10,200,2", 1, ERR_BALLOON_PARAMETERS, "Error: Not enough balloon parameters"},
      {"BALLOON 10,10,200,2,\"T\",5", 1, ERR_BALLOON_PARAMETERS, "Error: Not enough balloon parameters"},
      {"BALLOON", 1, ERR_NO_BALLOON, "No Balloon info in POS script"},
      {"BALLOON 10,10,200,1,\"T\"\nsee [IMAGE]\nENDBALLOON", 1, ERR_BAD_ANNOTATION, "Error in text annotation"},
      {"WAIT", 1, ERR_NO_WAIT, "No wait time in POS script"},
      {"WAIT 123456", 1, ERR_NO_WAIT, "No wait time in POS script"},
      {"VIEW", 1, ERR_NO_VIEW, "No View name in POS script"},
      {"VIEW NO SUCH VIEW", 1, ERR_BAD_VIEW, "Bad view name in POS script"},
      {"SET", 1, ERR_NO_FCID, "No FCID following SET cmd"},
      {"SET CXYZ", 1, ERR_NO_FCID_DATA, "No FCID data to set"},
      {"PHOTO", 1, ERR_NO_NAME, "Error no photo name"},
      {"PHOTO nothere.png", 1, ERR_NO_PHOTO, "Error photo not found"},
      {"CHAPTER", 1, ERR_NO_CHAPTER, "No Chapter name in POS script"},
      // A side chapter that does not exist: one search over the script, then the error.
      {"CHAPTER MAIN\nMOREINFO NOPE\nWAIT 1\nENDMOREINFO\nENDCHAPTER", 2, ERR_NO_CHAPTER,
       "No Chapter name in POS script"},
  };
  for (const auto &c : cases) {
    T_KEYBOARD_vPOSResetForTest();
    startScript(c.script);
    for (int i = 0; i < c.steps; ++i) step();
    EXPECT_EQ(T_KEYBOARD_ePOSErrorForTest(), c.error) << c.script;
    EXPECT_STREQ(errorMessages[T_KEYBOARD_ePOSErrorForTest()], c.text) << c.script;
    // The next expiry stops: the timer is not started again.
    step();
    EXPECT_EQ(timer(), 0u) << c.script;
  }
}

TEST_F(PosTest, TheScriptStartsAgainAfterItsLastLine) {
  startScript("SET CXYA 1\r\n\r\n   SET CXYB 2   \r\n// end\r\n");
  step();
  EXPECT_EQ(u32Get("CXYA"), 1u);
  vSet("CXYA", 0);
  step();
  EXPECT_EQ(u32Get("CXYB"), 2u);
  step();
  EXPECT_EQ(u32Get("CXYA"), 1u);
}

TEST_F(PosTest, HiddenBalloonsAreReadButNotShown) {
  for (const BOOLEAN bVisible : {FALSE, TRUE}) {
    T_KEYBOARD_vPOSResetForTest();
    H_DATABASE_bUpdateEverythingBoolean(FCID("SDBV"), bVisible, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
    startScript("BALLOON 10,10,200,2,\"Title\"\none\n  two\nENDBALLOON\nSET CXYA 3\n");
    step();
    EXPECT_EQ(T_KEYBOARD_bPOSBalloonActiveForTest(), bVisible);
    EXPECT_STREQ(T_KEYBOARD_pcPOSBalloonTextForTest(), "one\ntwo\r");
    step();
    EXPECT_EQ(u32Get("CXYA"), 3u);
  }
  // Hiding the balloons also hides the demonstration banner.
  vSet("CDSM", TRUE);
  H_DATABASE_bUpdateValueBoolean(FCID("SDBV"), FALSE, P_NORMAL);
  drain();
  EXPECT_EQ(u32Get("CDSM"), FALSE);
}

TEST_F(PosTest, AnnotationsMoveTheText) {
  const COLOR text = gCOLOR_pcolColorTable[32];
  auto leftOfText = [&](const char *pcLine) {
    T_KEYBOARD_vPOSResetForTest();
    const std::string script = std::string("BALLOON 100,100,300,2,\"T\"\n") + pcLine + "\nENDBALLOON\nWAIT 9\n";
    startScript(script.c_str());
    step();
    EXPECT_TRUE(T_KEYBOARD_bPOSBalloonActiveForTest()) << pcLine;
    TestBitmap bmp(800, 480, 0);
    T_KEYBOARD_vDrawPOSMessage(bmp.p(), nullptr);
    // The first text line: from the panel's lower edge (109) + 2 x 20, 14 pixels high.
    PIXEL left = 1000;
    for (auto [x, y] : bmp.points(text)) {
      if (y >= 149 && y < 163 && x > 112 && x < 400) left = std::min(left, x);
    }
    return left;
  };
  const PIXEL plain = leftOfText("X");
  ASSERT_LT(plain, 1000);
  EXPECT_EQ(leftOfText("[HSPACE 13]X"), plain + 13);
  EXPECT_EQ(leftOfText("[hs     20] X"), plain + 20);
  EXPECT_EQ(leftOfText("[ICON x]X"), plain);
}

TEST_F(PosTest, ASideChapterRunsOnCursorRightAndReturnsAfterItsBlock) {
  startScript(
      "CHAPTER MAIN\n"
      "BALLOON 10,10,200,1,\"A\"\n"
      "a\n"
      "ENDBALLOON\n"
      "MOREINFO SIDE\n"
      "WAIT 5\n"
      "ENDMOREINFO\n"
      "SET CXYA 1\n"
      "ENDCHAPTER\n"
      "CHAPTER SIDE\n"
      "SET CXYS 7\n"
      "ENDCHAPTER\n");
  for (int i = 0; i < 4; ++i) step();
  ASSERT_EQ(timer(), 5000u);
  EXPECT_TRUE(T_KEYBOARD_bPOSFlagForTest('O'));
  received();
  MSG_KEY_CHANGE right = {};
  right.key = KEY_BIT_CURSOR;
  right.state = KEY_DOWN;
  right.cursor = CURSOR_EAST;
  EXPECT_TRUE(T_KEYBOARD_bPOSHandleKeyChange(&right));
  EXPECT_TRUE(UI_bTakeSignal(SEMA_KEYCLICK_GOOD));
  EXPECT_EQ(T_KEYBOARD_s32POSActiveChapterForTest(), 1);
  EXPECT_EQ(received().resets, 1);
  step();
  EXPECT_EQ(u32Get("CXYS"), 7u);
  step();
  EXPECT_EQ(T_KEYBOARD_s32POSActiveChapterForTest(), 0);
  step();
  EXPECT_EQ(u32Get("CXYA"), 1u);
  // Without an offer, cursor right is refused.
  EXPECT_TRUE(T_KEYBOARD_bPOSHandleKeyChange(&right));
  EXPECT_TRUE(UI_bTakeSignal(SEMA_KEYCLICK_BAD));
}

TEST_F(PosTest, KeysInTheTutorial) {
  startScript("WAIT 9\n");
  step();
  MSG_KEY_CHANGE key = {};
  key.key = KEY_BIT_MENU;
  key.state = KEY_DOWN;
  EXPECT_TRUE(T_KEYBOARD_bPOSHandleKeyChange(&key));
  EXPECT_TRUE(UI_bTakeSignal(SEMA_KEYCLICK_BAD));
  EXPECT_EQ(u32Get("CKCK"), TRUE);
  key.state = KEY_UP;
  T_KEYBOARD_bPOSHandleKeyChange(&key);
  EXPECT_EQ(u32Get("CKCK"), FALSE);
  // EXIT starts the tutorial over after three minutes of free use.
  key.key = KEY_BIT_EXIT;
  key.state = KEY_DOWN;
  T_KEYBOARD_bPOSHandleKeyChange(&key);
  EXPECT_TRUE(UI_bTakeSignal(SEMA_KEYCLICK_GOOD));
  EXPECT_FALSE(T_KEYBOARD_bPOSFlagForTest('T'));
  EXPECT_EQ(timer(), 180000u);
  EXPECT_FALSE(T_KEYBOARD_bPOSHandleKeyChange(&key));
}

TEST_F(PosTest, ACardWithAScriptRestartsTheTutorialWithIt) {
  startScript("WAIT 9\n");
  step();
  std::ofstream(m_sCard + "/POSDemo.txt") << "SET CXYC 5\r\n";
  MESSAGE_NEW_DATA notice = {};
  notice.FourCharId = FCID("CSD0");
  notice.dbValue.u32Val = TRUE;
  T_KEYBOARD_vPOSHandleNewData(&notice);
  EXPECT_FALSE(T_KEYBOARD_bPOSFlagForTest('S'));
  EXPECT_EQ(timer(), 100u);
  step();
  EXPECT_TRUE(T_KEYBOARD_bPOSFlagForTest('X'));
  received();
  // Six views after a restart.
  int views = 0;
  for (int i = 0; i < 6; ++i) {
    step();
    views += static_cast<int>(received().keys.size());
  }
  EXPECT_EQ(views, 6);
  step();
  EXPECT_EQ(u32Get("CXYC"), 5u);
}

TEST_F(PosTest, WhatACardFileFeedsIsBounded) {
  // A balloon that never ends takes the rest of one pass over the script, and its text stays in its buffer.
  std::string longLine(98, 'x');
  std::string script = "BALLOON 10,10,200,2,\"" + std::string(60, 'T') + "\"\n";
  for (int i = 0; i < 8; ++i) script += longLine + "\n";
  startScript(script.c_str());
  step();
  const std::string text = T_KEYBOARD_pcPOSBalloonTextForTest();
  EXPECT_LT(text.size(), 500u);
  EXPECT_EQ(text.back(), '\r');
  // A SET naming a task's mailbox is refused.
  T_KEYBOARD_vPOSResetForTest();
  startScript("SET TTST 99\n");
  step();
  EXPECT_EQ(u32Get("TTST"), kTask);
  // A card script too large to load leaves the built-in one in charge.
  T_KEYBOARD_vPOSResetForTest();
  {
    std::ofstream big(m_sCard + "/POSDemo.txt");
    big << "SET CXYD 1\n" << std::string(300 * 1024, ' ');
  }
  startScript("SET CXYE 2\n");
  step();
  EXPECT_FALSE(T_KEYBOARD_bPOSFlagForTest('X'));
  EXPECT_EQ(u32Get("CXYE"), 2u);
}

TEST_F(PosTest, APhotoIsLoadedByTheCardTaskAndShownBehindTheBalloon) {
  setenv("CORVAN_HEADLESS", "1", 1);
  DD_LCD_vReset();
  DD_LCD_vInit();
  constexpr MBOX kCard = M_3D_RENDER;
  H_DATABASE_bUpdateEverythingU32(FCID("TMMC"), kCard, P_NORMAL, D_MAILBOX, nullptr, DB_NO_TIMEOUT);
  std::ofstream(m_sCard + "/shop.png") << "picture";
  // The demonstration waits up to 10 s for the card task to take the request; here it gets no answer in time.
  std::thread clock([] {
    for (int i = 0; i < 6000 && L_SEMA_GetWaitingTaskID(108) <= 0; ++i) usleep(5000);
    PLATFORM_CLOCK_vAdvanceTestClockMs(10000);
  });
  startScript("PHOTO shop.png\nWAIT 9\n");
  step();
  clock.join();
  // The card task's part, late: it fills the page and releases the request.
  std::string sRequested;
  while (void *pvMsg = L_MBOX_Receive(kCard)) {
    if (static_cast<GENERIC_MESSAGE *>(pvMsg)->Cmd != CMD_ID_LOAD_BMP) {  // the reset messages
      H_MEMORY_vDumpMail(pvMsg);
      continue;
    }
    auto *pMsg = static_cast<MSG_LOAD_BITMAP *>(pvMsg);
    sRequested = pMsg->pFileName;
    G_BMP_vSet(pMsg->pBitmap, 0x1234);
    H_MEMORY_vFree(pMsg->pFileName);
    H_MEMORY_vDumpMail(pvMsg);
  }
  UI_bTakeSignal(108);
  EXPECT_EQ(sRequested, m_sCard + "/shop.PNG");
  EXPECT_TRUE(T_KEYBOARD_bPOSFlagForTest('I'));
  TestBitmap bmp(800, 480, 0);
  T_KEYBOARD_vDrawPOSMessage(bmp.p(), nullptr);
  EXPECT_EQ(bmp.at(400, 240), 0x1234);
  // OFF gives the page back.
  T_KEYBOARD_vPOSResetForTest();
  startScript("PHOTO off\n");
  step();
  EXPECT_FALSE(T_KEYBOARD_bPOSFlagForTest('I'));
  DD_LCD_vReset();
}

}  // namespace
