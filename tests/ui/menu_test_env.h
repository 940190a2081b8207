// A menu task driven in the test thread: its mailbox is drained by hand, key registrations and layer
// registrations are collected from stand-in mailboxes, and time moves on the test clock.
#pragma once
#include <gtest/gtest.h>

#include <vector>

#include "settings/database.h"
#include "kernel/mbox.h"
#include "kernel/memory.h"
#include "kernel/sema.h"
#include "kernel/timer.h"
#include "ui/keys/keyboard.h"
#include "ui/menu/menu.h"
#include "ui/menu/menu_store.h"
#include "ui/menu/menu_task.h"
#include "ui_test_env.h"

// Mailboxes that no task uses in a test process stand for the keyboard and view tasks.
constexpr MBOX kMenuTestKeyboard = M_FENWISP;
constexpr MBOX kMenuTestView = M_3D_HISTORY;

class MenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_UI_TEST_CLOCK();
    H_DATABASE_bUpdateEverythingU32(FCID("TKBD"), kMenuTestKeyboard, P_NORMAL, D_MAILBOX, nullptr, DB_NO_TIMEOUT);
    H_DATABASE_bUpdateEverythingU32(FCID("TVUE"), kMenuTestView, P_NORMAL, D_MAILBOX, nullptr, DB_NO_TIMEOUT);
    H_DATABASE_bUpdateEverythingU32(FCID("CUSR"), M_ADVANCED, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
    H_DATABASE_bUpdateEverythingU32(FCID("RMNU"), FALSE, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
    T_MENU_vResetForTest();
    T_MENU_vInit();
    drain();
    // Past the side-step lock-out of the start.
    PLATFORM_CLOCK_vAdvanceTestClockMs(1000);
    clear();
  }
  void TearDown() override {
    drain();
    clear();
    T_MENU_vResetForTest();
  }
  static void drain() {
    while (void *pvMsg = L_MBOX_Receive(M_MENU)) T_MENU_vHandleMessage(pvMsg);
  }
  // Forgets what the keyboard and view stand-ins received and the clicks so far.
  void clear() {
    keyMessages();
    layerMessages();
    UI_bTakeSignal(SEMA_KEYCLICK_GOOD);
    UI_bTakeSignal(SEMA_KEYCLICK_BAD);
    UI_bTakeSignal(SEMA_VIEW_UPDATE);
  }
  struct KeyMsg {
    CMD_ID cmd;
    U32 keys;
    KEY_USAGE usage;
  };
  static std::vector<KeyMsg> keyMessages() {
    std::vector<KeyMsg> got;
    while (void *pvMsg = L_MBOX_Receive(kMenuTestKeyboard)) {
      auto *pMsg = static_cast<GENERIC_MESSAGE *>(pvMsg);
      if (pMsg->Cmd == CMD_ID_REGISTER_FOR_KEYS) {
        auto *pReg = static_cast<MSG_REGISTER_FOR_KEYS *>(pvMsg);
        got.push_back({pMsg->Cmd, pReg->keys, pReg->usage});
      } else if (pMsg->Cmd == CMD_ID_UNREGISTER_FOR_KEYS) {
        got.push_back({pMsg->Cmd, static_cast<MSG_UNREGISTER_FOR_KEYS *>(pvMsg)->keys, REGISTER_BASIC});
      }
      H_MEMORY_vDumpMail(pvMsg);
    }
    return got;
  }
  // Layers registered (positive) and removed (negative), in order.
  static std::vector<S32> layerMessages() {
    std::vector<S32> got;
    while (void *pvMsg = L_MBOX_Receive(kMenuTestView)) {
      auto *pMsg = static_cast<GENERIC_MESSAGE *>(pvMsg);
      if (pMsg->Cmd == CMD_ID_REGISTER_LAYER) got.push_back(static_cast<MSG_REGISTER_LAYER *>(pvMsg)->layer);
      if (pMsg->Cmd == CMD_ID_UNREGISTER_LAYER) got.push_back(-static_cast<MSG_UNREGISTER_LAYER *>(pvMsg)->layer);
      H_MEMORY_vDumpMail(pvMsg);
    }
    return got;
  }
  static void key(U32 u32Key, KEY_STATE state = KEY_DOWN, CURSOR_POSITION cursor = CURSOR_ILLEGAL, U32 u32Count = 1) {
    auto *pMsg = static_cast<MSG_KEY_CHANGE *>(H_MEMORY_pvCalloc(1, sizeof(MSG_KEY_CHANGE)));
    pMsg->header.Cmd = CMD_ID_KEY_CHANGE;
    pMsg->key = u32Key;
    pMsg->state = state;
    pMsg->count = u32Count;
    pMsg->cursor = cursor;
    T_MENU_vHandleMessage(pMsg);
  }
  // A press and its release of one direction.
  static void cursor(CURSOR_POSITION direction, U32 u32Count = 1) {
    key(KEY_BIT_CURSOR, KEY_DOWN, direction, u32Count);
    key(KEY_BIT_CURSOR, KEY_UP, direction, u32Count);
  }
  static void up() { cursor(CURSOR_NORTH); }
  static void down() { cursor(CURSOR_SOUTH); }
  // Right and left wait out the lock-out that follows up and down.
  static void right(U32 u32Count = 1) {
    PLATFORM_CLOCK_vAdvanceTestClockMs(501);
    cursor(CURSOR_EAST, u32Count);
  }
  static void left(U32 u32Count = 1) {
    PLATFORM_CLOCK_vAdvanceTestClockMs(501);
    cursor(CURSOR_WEST, u32Count);
  }
  static MENU_DATA &data() { return *T_MENU_psData(); }
  static U32 u32Setting(const char (&acKey)[5]) {
    U32 u32 = 0;
    H_DATABASE_bFetchU32(FCID(acKey), &u32, nullptr, nullptr);
    return u32;
  }
  static float fSetting(const char (&acKey)[5]) {
    float f = 0;
    H_DATABASE_bFetchFloat(FCID(acKey), &f, nullptr, nullptr);
    return f;
  }
  static const char *highlightedText() {
    const MENU_DATA &d = data();
    return d.activeMenuItemIndex < d.numActiveMenuItems ? d.activeMenuList[d.activeMenuItemIndex]->value_string : "";
  }
  static MENU_TITLE highlightedTitle() {
    const MENU_DATA &d = data();
    return d.activeMenuItemIndex < d.numActiveMenuItems ? d.activeMenuList[d.activeMenuItemIndex]->pMenuTitle
                                                        : nullptr;
  }
  // The titles of a list, in order.
  static std::vector<MENU_TITLE> titles(const MENU_ITEM *pHead) {
    std::vector<MENU_TITLE> got;
    for (const MENU_ITEM *p = pHead; p != nullptr; p = p->pNextMenu) got.push_back(p->pMenuTitle);
    return got;
  }
  static std::vector<MENU_TITLE> rows() {
    std::vector<MENU_TITLE> got;
    for (S32 r = 0; r < data().numActiveMenuItems; ++r) got.push_back(data().activeMenuList[r]->pMenuTitle);
    return got;
  }
};
