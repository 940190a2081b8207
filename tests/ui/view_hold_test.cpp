// Holding VIEW opens the view selection: the keyboard and menu tasks together, both driven on the test thread.
#include <gtest/gtest.h>

#include "kernel/mbox.h"
#include "kernel/memory.h"
#include "platform/keyboard.h"
#include "settings/database.h"
#include "ui/keys/keyboard.h"
#include "ui/menu/menu.h"
#include "ui/menu/menu_store.h"
#include "ui/menu/menu_task.h"
#include "ui_test_env.h"
#include "view/select_view.h"
#include "view/view.h"

namespace {

// Mailboxes that no task uses in a test process stand for the view task and the view key task.
constexpr MBOX kViewStandIn = M_3D_HISTORY, kViewKeys = M_DUMMY;
constexpr U16 kViewCode = 28;

class ViewHoldTest : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_UI_TEST_CLOCK();
    H_DATABASE_bUpdateEverythingU32(FCID("TVUE"), kViewStandIn, P_NORMAL, D_MAILBOX, nullptr, DB_NO_TIMEOUT);
    H_DATABASE_bUpdateEverythingU32(FCID("CUSR"), M_ADVANCED, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
    H_DATABASE_bUpdateEverythingU32(FCID("CVEW"), CAPTURE_REVIEW_VIEW_PRIORITY, P_NORMAL, D_UNKNOWN, nullptr,
                                    DB_NO_TIMEOUT);
    // The review view is registered and shown: the selection offers it.
    H_DATABASE_bUpdateEverythingBoolean(FCID("SVCR"), TRUE, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
    CViewSelectMenu::pGetInstance()->vSetViewRegisteration(CAPTURE_REVIEW_VIEW_PRIORITY, TRUE);
    T_KEYBOARD_vResetForTest();
    T_KEYBOARD_vInit();
    T_MENU_vResetForTest();
    T_MENU_vInit();
    ASSERT_TRUE(U_KEYBOARD_bRegisterKeys(kViewKeys, KEY_BIT_VIEW, KEY_CHANGE, FALSE, FALSE, NOT_CURSOR_KEY,
                                         REGISTER_VIEW));
    pump();
    PLATFORM_CLOCK_vAdvanceTestClockMs(1000);
    opened();
  }
  void TearDown() override {
    DD_KEYBOARD_vHandleRecord(1, kViewCode, 0);
    step(40);
    pump();
    opened();
    T_MENU_vResetForTest();
    T_KEYBOARD_vResetForTest();
    SELECT_VIEW_vResetForTest();
  }
  // Hands both tasks their mail until neither has any left.
  static void pump() {
    for (bool bAny = true; bAny;) {
      bAny = false;
      while (void *pvMsg = L_MBOX_Receive(M_KEYB)) {
        T_KEYBOARD_vHandleMessage(pvMsg);
        bAny = true;
      }
      while (void *pvMsg = L_MBOX_Receive(M_MENU)) {
        T_MENU_vHandleMessage(pvMsg);
        bAny = true;
      }
    }
  }
  // One poll of the keyboard task after the given time; the menu task then takes what the poll posted.
  static void step(U32 u32Ms) {
    PLATFORM_CLOCK_vAdvanceTestClockMs(u32Ms);
    T_KEYBOARD_vPollKeys();
    pump();
  }
  // How often the hot menu's layer was put up since the last call.
  static int opened() {
    int n = 0;
    while (void *pvMsg = L_MBOX_Receive(kViewStandIn)) {
      auto *pMsg = static_cast<GENERIC_MESSAGE *>(pvMsg);
      if (pMsg->Cmd == CMD_ID_REGISTER_LAYER && static_cast<MSG_REGISTER_LAYER *>(pvMsg)->layer == ZEPHRIN_MENU_LAYER) {
        ++n;
      }
      H_MEMORY_vDumpMail(pvMsg);
    }
    while (void *pvMsg = L_MBOX_Receive(kViewKeys)) H_MEMORY_vDumpMail(pvMsg);
    return n;
  }
};

TEST_F(ViewHoldTest, TheFirstHoldOpensTheSelectionOnceAndHoldingOnDoesNotReopenIt) {
  for (int hold = 0; hold < 2; ++hold) {
    DD_KEYBOARD_vHandleRecord(1, kViewCode, 1);
    U32 u32Held = 0;
    for (; u32Held < 1000; u32Held += 40) step(40);
    EXPECT_EQ(opened(), 0) << "hold " << hold << ": open before the second";
    for (; u32Held < 1120; u32Held += 40) step(40);
    EXPECT_EQ(opened(), 1) << "hold " << hold;
    EXPECT_EQ(T_MENU_psData()->activeMenu, ZEPHRIN_MENU);
    const MENU_DATA &d = *T_MENU_psData();
    EXPECT_EQ(d.hotMenus[d.activeHotMenu].view, VIRTUAL_DISPLAY_VIEW_LAYER);
    for (; u32Held < 4000; u32Held += 40) step(40);
    EXPECT_EQ(opened(), 0) << "hold " << hold << ": reopened";
    DD_KEYBOARD_vHandleRecord(1, kViewCode, 0);
    step(40);
    U_MENU_vClearMenus();
    pump();
    opened();
  }
}

}  // namespace
