// Key routing of the keyboard task, driven through its poll and message handlers on the test clock.
#include <gtest/gtest.h>

#include <unistd.h>

#include <thread>
#include <vector>

#include "view/view.h"
#include "settings/database.h"
#include "kernel/mbox.h"
#include "kernel/memory.h"
#include "kernel/sema.h"
#include "platform/keyboard.h"
#include "ui/keys/keyboard.h"
#include "ui_test_env.h"
#include "run_apart.h"

TEST_RUN_APART(KeyRoutingTest);
TEST_RUN_APART(KeyRegistration);

namespace {

// Owner mailboxes that no task uses in a test process.
constexpr MBOX kA = M_DUMMY, kB = M_FENWISP, kC = M_3D_HISTORY, kView = M_3D_RENDER;

// Keypad codes.
constexpr U16 kPower = 46, kMenu = 50, kView_ = 28, kGoto = 18;

struct Got {
  MBOX mbox;
  U32 key;
  KEY_STATE state;
  bool operator==(const Got &o) const { return mbox == o.mbox && key == o.key && state == o.state; }
};
std::ostream &operator<<(std::ostream &os, const Got &g) {
  return os << "{mbox " << g.mbox << " key " << g.key << " state " << g.state << "}";
}

class KeyRoutingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The kernel's threads may hold locks at fork time: death tests re-run the test in a fresh process.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    REQUIRE_UI_TEST_CLOCK();
    T_KEYBOARD_vResetForTest();
    T_KEYBOARD_vInit();
    drain();
    UI_bTakeSignal(SEMA_KEYCLICK_BAD);
  }
  void TearDown() override {
    for (U16 code : {kPower, kMenu, kView_, kGoto}) DD_KEYBOARD_vHandleRecord(1, code, 0);
    T_KEYBOARD_vResetForTest();
  }
  // Hands the keyboard task everything in its mailbox.
  void drain() {
    while (void *pvMsg = L_MBOX_Receive(M_KEYB)) T_KEYBOARD_vHandleMessage(pvMsg);
  }
  void reg(MBOX mbox, U32 keys, KEY_STATE state, KEY_USAGE usage) {
    ASSERT_TRUE(U_KEYBOARD_bRegisterKeys(mbox, keys, state, FALSE, FALSE, NOT_CURSOR_KEY, usage));
    drain();
  }
  void unreg(MBOX mbox, U32 keys) {
    ASSERT_TRUE(U_KEYBOARD_bUnregisterKeys(mbox, keys));
    drain();
  }
  // A key record and one poll 40 ms later.
  void key(U16 code, S32 value) {
    DD_KEYBOARD_vHandleRecord(1, code, value);
    step(40);
  }
  void step(U32 ms) {
    PLATFORM_CLOCK_vAdvanceTestClockMs(ms);
    T_KEYBOARD_vPollKeys();
  }
  // Everything the owner mailboxes received, in arrival order per mailbox.
  std::vector<Got> received() {
    std::vector<Got> got;
    for (MBOX mbox : {kA, kB, kC}) {
      while (void *pvMsg = L_MBOX_Receive(mbox)) {
        auto *pMsg = static_cast<MSG_KEY_CHANGE *>(pvMsg);
        EXPECT_EQ(pMsg->header.Cmd, CMD_ID_KEY_CHANGE);
        got.push_back({mbox, pMsg->key, pMsg->state});
        H_MEMORY_vDumpMail(pvMsg);
      }
    }
    return got;
  }
};

TEST_F(KeyRoutingTest, TheHighestClassAndWithinItTheNewestGetsTheKey) {
  reg(kA, KEY_BIT_MENU, KEY_CHANGE, REGISTER_MENU);
  reg(kB, KEY_BIT_MENU, KEY_CHANGE, REGISTER_VIEW);
  reg(kC, KEY_BIT_MENU, KEY_CHANGE, REGISTER_VIEW);
  struct Step {
    MBOX unregister;  // 0: none before the press
    MBOX expected;
  } steps[] = {{0, kA}, {kA, kC}, {kC, kB}};
  for (const Step &s : steps) {
    if (s.unregister != 0) unreg(s.unregister, KEY_BIT_MENU);
    key(kMenu, 1);
    key(kMenu, 0);
    const std::vector<Got> expected = {{s.expected, KEY_BIT_MENU, KEY_DOWN}, {s.expected, KEY_BIT_MENU, KEY_UP}};
    EXPECT_EQ(received(), expected);
  }
}

TEST_F(KeyRoutingTest, ANewHeadInTheOldHeadsBlockIsStillConfigured) {
  ASSERT_TRUE(U_KEYBOARD_bRegisterKeys(kA, KEY_BIT_MENU, KEY_DOWN, TRUE, FALSE, NOT_CURSOR_KEY, REGISTER_MENU));
  drain();
  unreg(kA, KEY_BIT_MENU);
  // Most likely the freed user's block: the key must still lose its repeat.
  reg(kB, KEY_BIT_MENU, KEY_DOWN, REGISTER_MENU);
  key(kMenu, 1);
  step(1100);
  key(kMenu, 0);
  EXPECT_EQ(received(), (std::vector<Got>{{kB, KEY_BIT_MENU, KEY_DOWN}}));
}

TEST_F(KeyRoutingTest, TheHeadsFilterDecidesForEveryUser) {
  reg(kB, KEY_BIT_MENU, KEY_DOWN, REGISTER_VIEW);
  reg(kA, KEY_BIT_MENU, KEY_UP, REGISTER_MENU);
  key(kMenu, 1);
  EXPECT_TRUE(received().empty());
  key(kMenu, 0);
  EXPECT_EQ(received(), (std::vector<Got>{{kA, KEY_BIT_MENU, KEY_UP}}));
  EXPECT_FALSE(UI_bTakeSignal(SEMA_KEYCLICK_BAD));
}

TEST_F(KeyRoutingTest, PowerIsFiledOnlyAsTheWholeMask) {
  struct Case {
    U32 mask;
    bool powerOwned, viewOwned;
  } cases[] = {{0x0003, false, true}, {0x0001, true, false}, {0x0400, false, false}};
  for (const Case &c : cases) {
    T_KEYBOARD_vResetForTest();
    reg(kA, c.mask, KEY_CHANGE, REGISTER_BASIC);
    key(kPower, 1);
    key(kPower, 0);
    EXPECT_EQ(UI_bTakeSignal(SEMA_KEYCLICK_BAD), !c.powerOwned) << std::hex << c.mask;
    key(kView_, 1);
    EXPECT_EQ(UI_bTakeSignal(SEMA_KEYCLICK_BAD), !c.viewOwned) << std::hex << c.mask;
    key(kView_, 0);
    // The release of an unowned key makes no sound.
    EXPECT_FALSE(UI_bTakeSignal(SEMA_KEYCLICK_BAD));
    std::vector<Got> expected;
    if (c.powerOwned) expected = {{kA, KEY_BIT_POWER, KEY_DOWN}, {kA, KEY_BIT_POWER, KEY_UP}};
    if (c.viewOwned) expected = {{kA, KEY_BIT_VIEW, KEY_DOWN}, {kA, KEY_BIT_VIEW, KEY_UP}};
    EXPECT_EQ(received(), expected) << std::hex << c.mask;
  }
}

TEST_F(KeyRoutingTest, ViewArrivesAsPressAndReleaseAtTheRelease) {
  struct Case {
    KEY_STATE filter;
    std::vector<Got> atRelease;
  } cases[] = {
      {KEY_CHANGE, {{kA, KEY_BIT_VIEW, KEY_DOWN}, {kA, KEY_BIT_VIEW, KEY_UP}}},
      {KEY_DOWN, {{kA, KEY_BIT_VIEW, KEY_DOWN}}},
      {KEY_UP, {{kA, KEY_BIT_VIEW, KEY_UP}}},
  };
  for (const Case &c : cases) {
    T_KEYBOARD_vResetForTest();
    reg(kA, KEY_BIT_VIEW, c.filter, REGISTER_VIEW);
    key(kView_, 1);
    step(400);
    EXPECT_TRUE(received().empty());
    key(kView_, 0);
    EXPECT_EQ(received(), c.atRelease) << "filter " << c.filter;
  }
}

TEST_F(KeyRoutingTest, GotoHeldSignalsTheLongPressOncePerPress) {
  reg(kA, KEY_BIT_GOTO, KEY_DOWN, REGISTER_VIEW);
  for (int press = 0; press < 2; ++press) {
    key(kGoto, 1);
    int signals = 0;
    for (U32 t = 40; t <= 1600; t += 40) {
      step(40);
      if (UI_bTakeSignal(SEMA_KEYBOARD_LONG_GOTO)) {
        ++signals;
        EXPECT_GE(t, 1500u);
      }
    }
    EXPECT_EQ(signals, 1) << "press " << press;
    key(kGoto, 0);
    EXPECT_EQ(received(), (std::vector<Got>{{kA, KEY_BIT_GOTO, KEY_DOWN}}));
  }
}

TEST_F(KeyRoutingTest, PowerCountDownShowsItsStepsAndAReleaseEndsIt) {
  H_DATABASE_bUpdateEverythingU32(FCID("TVUE"), kView, P_NORMAL, D_MAILBOX, nullptr, DB_NO_TIMEOUT);
  UI_bTakeSignal(SEMA_VIEW_UPDATE);
  key(kPower, 1);
  struct Step {
    U32 atMs;
    SHUTDOWN_MESSAGE message;
    const char *text;
    bool viewUpdate;
    CMD_ID layerCmd;  // CMD_ID_INVALID_ID: nothing for the view task
  } steps[] = {
      {960, SHUTDOWN_MESSAGE(0), "", false, CMD_ID_INVALID_ID},
      {1000, FIRST_SHUTDOWN_MESSAGE, "Shutdown in 2 seconds", false, CMD_ID_REGISTER_LAYER},
      {1960, FIRST_SHUTDOWN_MESSAGE, "Shutdown in 2 seconds", false, CMD_ID_INVALID_ID},
      {2000, SECOND_SHUTDOWN_MESSAGE, "Shutdown in 1 seconds", true, CMD_ID_INVALID_ID},
      {2480, SECOND_SHUTDOWN_MESSAGE, "Shutdown in 1 seconds", false, CMD_ID_INVALID_ID},
  };
  U32 t = 0;  // from the poll that saw the press
  for (const Step &s : steps) {
    step(s.atMs - t);
    t = s.atMs;
    EXPECT_EQ(T_KEYBOARD_eShutdownMessage(), s.message) << s.atMs;
    if (s.message != 0) {
      EXPECT_STREQ(T_KEYBOARD_pcShutdownMessageText(), s.text);
    }
    EXPECT_EQ(UI_bTakeSignal(SEMA_VIEW_UPDATE), s.viewUpdate) << s.atMs;
    auto *pMsg = static_cast<MSG_REGISTER_LAYER *>(L_MBOX_Receive(kView));
    EXPECT_EQ(pMsg != nullptr ? pMsg->header.Cmd : CMD_ID_INVALID_ID, s.layerCmd) << s.atMs;
    if (pMsg != nullptr) {
      EXPECT_EQ(pMsg->layer, SHUTDOWN_LAYER);
      EXPECT_EQ(pMsg->where_used, USED_BY_ALL);
      EXPECT_EQ(pMsg->pDrawFunction, T_KEYBOARD_vDrawShutdownMessage);
      H_MEMORY_vDumpMail(pMsg);
    }
  }
  // Let go at 2.5 s: the message goes, and nothing else happens.
  key(kPower, 0);
  auto *pMsg = static_cast<MSG_UNREGISTER_LAYER *>(L_MBOX_Receive(kView));
  ASSERT_NE(pMsg, nullptr);
  EXPECT_EQ(pMsg->header.Cmd, CMD_ID_UNREGISTER_LAYER);
  EXPECT_EQ(pMsg->layer, SHUTDOWN_LAYER);
  H_MEMORY_vDumpMail(pMsg);
  step(2000);
  EXPECT_EQ(L_MBOX_Receive(kView), nullptr);
  H_DATABASE_vDeleteEntry(FCID("TVUE"));
}

TEST_F(KeyRoutingTest, HoldingPowerThreeSecondsShutsTheUnitDown) {
  key(kPower, 1);
  step(1000);
  step(1000);
  EXPECT_EQ(T_KEYBOARD_eShutdownMessage(), SECOND_SHUTDOWN_MESSAGE);
  // The third second ends the process after the orderly shut-down, with the restart status.
  EXPECT_EXIT(
      {
        // Shut-down sleeps while POWER is held: time flows on its own from here.
        std::thread([] {
          for (;;) {
            PLATFORM_CLOCK_vAdvanceTestClockMs(10);
            usleep(200);
          }
        }).detach();
        step(1000);
        std::exit(99);
      },
      ::testing::ExitedWithCode(10), "");
}

TEST_F(KeyRoutingTest, InitiateShutdownActsOnExactlyOneFlag) {
  struct Case {
    BOOLEAN bReset, bPowerOff;
    int status;  // -1: nothing happens
  } cases[] = {{TRUE, TRUE, -1}, {FALSE, FALSE, -1}, {TRUE, FALSE, 10}, {FALSE, TRUE, 10}};
  for (const Case &c : cases) {
    auto send = [&] {
      auto *pMsg = static_cast<MSG_INITIATE_SHUTDOWN *>(H_MEMORY_pvCalloc(1, sizeof(MSG_INITIATE_SHUTDOWN)));
      pMsg->header.Cmd = CMD_ID_INITIATE_SHUTDOWN;
      pMsg->bReset = c.bReset;
      pMsg->bPowerOff = c.bPowerOff;
      L_MBOX_Send(M_KEYB, pMsg, NORMAL_PRIORITY, 0);
      drain();
    };
    if (c.status < 0) {
      send();
    } else {
      EXPECT_EXIT({ send(); std::exit(99); }, ::testing::ExitedWithCode(c.status), "");
    }
  }
}

TEST_F(KeyRoutingTest, FactoryResetTellsEveryTaskButTheKeyboardTask) {
  H_DATABASE_bUpdateEverythingU32(FCID("TAAA"), kA, P_NORMAL, D_MAILBOX, nullptr, DB_NO_TIMEOUT);
  H_DATABASE_bUpdateEverythingU32(FCID("TBBB"), kB, P_NORMAL, D_MAILBOX, nullptr, DB_NO_TIMEOUT);
  UI_bTakeSignal(SEMA_KEYCLICK_GOOD);
  T_KEYBOARD_vRestoreFactoryDefaults();
  for (MBOX mbox : {kA, kB}) {
    auto *pMsg = static_cast<GENERIC_MESSAGE *>(L_MBOX_Receive(mbox));
    ASSERT_NE(pMsg, nullptr);
    EXPECT_EQ(pMsg->Cmd, CMD_ID_RESET_POS);
    H_MEMORY_vDumpMail(pMsg);
    EXPECT_EQ(L_MBOX_Receive(mbox), nullptr);
  }
  EXPECT_EQ(L_MBOX_Receive(M_KEYB), nullptr);
  BOOLEAN bSdbv = FALSE, bSrdf = FALSE;
  EXPECT_TRUE(H_DATABASE_bFetchBoolean(FCID("SDBV"), &bSdbv, nullptr, nullptr));
  EXPECT_TRUE(H_DATABASE_bFetchBoolean(FCID("SRDF"), &bSrdf, nullptr, nullptr));
  EXPECT_TRUE(bSdbv);
  EXPECT_TRUE(bSrdf);
  EXPECT_TRUE(UI_bTakeSignal(SEMA_KEYCLICK_GOOD));
  // A new model number sends the reset messages too.
  H_DATABASE_bUpdateValueU32(FCID("SMDL"), 300, P_NORMAL);
  drain();
  for (MBOX mbox : {kA, kB}) {
    void *pvMsg = L_MBOX_Receive(mbox);
    EXPECT_NE(pvMsg, nullptr);
    H_MEMORY_vDumpMail(pvMsg);
  }
  H_DATABASE_vDeleteEntry(FCID("TAAA"));
  H_DATABASE_vDeleteEntry(FCID("TBBB"));
}

TEST(KeyRegistration, RefusedWhileTheKeyboardTaskIsNotRegistered) {
  H_DATABASE_vDeleteEntry(FCID("TKBD"));
  EXPECT_FALSE(U_KEYBOARD_bRegisterKeys(kA, KEY_BIT_MENU, KEY_DOWN, FALSE, FALSE, NOT_CURSOR_KEY, REGISTER_BASIC));
  EXPECT_FALSE(U_KEYBOARD_bUnregisterKeys(kA, KEY_BIT_MENU));
  EXPECT_EQ(L_MBOX_Receive(M_KEYB), nullptr);
}

}  // namespace
