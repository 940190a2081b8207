// Opening and closing menus with the keys: MENU's cycle, user levels, remembered rows, the window of seven rows,
// the exit-key timer, tabs, the quick-setup menu, nesting and confirmations.
#include <algorithm>

#include "menu_test_env.h"
#include "nav/nav_menu_standin.h"
#include "ui/menu/menu_internal.h"

namespace {

const ARRAY_OF_STRING_PTRS TabA = SAME22("Tab A"), TabB = SAME22("Tab B"), TabC = SAME22("Tab C");
const ARRAY_OF_STRING_PTRS Sub1 = SAME22("Sub 1"), Sub2 = SAME22("Sub 2"), Sub3 = SAME22("Sub 3"),
                           Sub4 = SAME22("Sub 4"), Sub5 = SAME22("Sub 5");
const ARRAY_OF_STRING_PTRS Info = SAME22("Info");
// Row titles.
const ARRAY_OF_STRING_PTRS R[10] = {SAME22("R0"), SAME22("R1"), SAME22("R2"), SAME22("R3"), SAME22("R4"),
                                    SAME22("R5"), SAME22("R6"), SAME22("R7"), SAME22("R8"), SAME22("R9")};
constexpr LAYER_ID kView = 40;
int s_nActions = 0;
void vAction() { ++s_nActions; }

class MenuKeysTest : public MenuTest {
 protected:
  void SetUp() override {
    MenuTest::SetUp();
    if (IsSkipped()) return;
    s_nActions = 0;
    NAV_STANDIN_vResetMenuCalls();
    H_DATABASE_bUpdateEverythingU32(FCID("CVEW"), kView, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
    H_DATABASE_bUpdateEverythingU32(FCID("CVAS"), SPLIT_FULL_WINDOW, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  }
  static void hotRows(int n, MENU_USER_LEVEL (*level)(int) = nullptr) {
    for (int i = 0; i < n; ++i) {
      ASSERT_TRUE(U_MENU_bRegisterHotActionMenu(&R[i], nullptr, static_cast<MENU_PRIORITY>(MENU_PRIORITY_0 + i),
                                                vAction, FALSE, level != nullptr ? level(i) : M_BASIC, kView,
                                                SPLIT_FULL_WINDOW));
    }
    drain();
  }
  static void tabWithRows(MENU_TITLE pTab, TAB_PRIORITY slot, int n, MENU_USER_LEVEL tabLevel = M_BASIC) {
    ASSERT_TRUE(U_MENU_bRegisterTab(pTab, slot, nullptr, tabLevel));
    for (int i = 0; i < n; ++i) {
      ASSERT_TRUE(U_MENU_bRegisterMainActionMenu(&R[i], pTab, static_cast<MENU_PRIORITY>(MENU_PRIORITY_0 + i),
                                                 vAction, FALSE, M_BASIC));
    }
    drain();
  }
  static void setLevel(U32 u32Level) {
    H_DATABASE_bUpdateValueU32(FCID("CUSR"), u32Level, P_NORMAL);
    auto *pMsg = static_cast<MESSAGE_NEW_DATA *>(H_MEMORY_pvCalloc(1, sizeof(MESSAGE_NEW_DATA)));
    pMsg->Header.Cmd = CMD_ID_NEW_DATA;
    pMsg->FourCharId = FCID("CUSR");
    T_MENU_vHandleMessage(pMsg);
  }
  static S32 row() { return data().activeMenuItemIndex; }
  static bool keyMessage(CMD_ID cmd, U32 keys) {
    const auto got = keyMessages();
    return std::any_of(got.begin(), got.end(), [&](const KeyMsg &k) { return k.cmd == cmd && k.keys == keys; });
  }
};

TEST_F(MenuKeysTest, MenuKeyCyclesHotMainClosed) {
  hotRows(2);
  const std::pair<ACTIVE_MENU, S32> expected[] = {{ZEPHRIN_MENU, ZEPHRIN_MENU_LAYER},
                                                  {MAIN_MENU, MAIN_MENU_LAYER},
                                                  {NO_MENU, -MAIN_MENU_LAYER}};
  for (const auto &step : expected) {
    key(KEY_BIT_MENU);
    EXPECT_EQ(data().activeMenu, step.first);
    EXPECT_EQ(u32Setting("CMNU"), static_cast<U32>(step.first));
    const auto layers = layerMessages();
    EXPECT_NE(std::find(layers.begin(), layers.end(), step.second), layers.end()) << step.second;
    EXPECT_TRUE(UI_bTakeSignal(SEMA_KEYCLICK_GOOD));
  }
  // A menu open on another unit keeps this one shut.
  H_DATABASE_bUpdateValueU32(FCID("RMNU"), TRUE, P_NORMAL);
  PLATFORM_CLOCK_vAdvanceTestClockMs(1000);
  T_MENU_vExitTimerExpired();
  key(KEY_BIT_MENU);
  EXPECT_EQ(data().activeMenu, NO_MENU);
  EXPECT_TRUE(UI_bTakeSignal(SEMA_KEYCLICK_BAD));
  EXPECT_NE(NAV_STANDIN_pLastNote(), nullptr);
}

TEST_F(MenuKeysTest, OpeningRegistersTheMenuKeysAndClosingKeepsExit) {
  hotRows(1);
  key(KEY_BIT_MENU);
  const auto opened = keyMessages();
  EXPECT_TRUE(std::any_of(opened.begin(), opened.end(), [](const KeyMsg &k) {
    return k.cmd == CMD_ID_REGISTER_FOR_KEYS && k.keys == 0xFB8A && k.usage == REGISTER_MENU;
  }));
  EXPECT_TRUE(std::any_of(opened.begin(), opened.end(), [](const KeyMsg &k) {
    return k.cmd == CMD_ID_REGISTER_FOR_KEYS && k.keys == KEY_BIT_CURSOR;
  }));
  key(KEY_BIT_EXIT);
  EXPECT_EQ(data().activeMenu, NO_MENU);
  EXPECT_TRUE(keyMessage(CMD_ID_UNREGISTER_FOR_KEYS, 0xFB92));
}

TEST_F(MenuKeysTest, ExitWithinTheTimerIsSwallowed) {
  hotRows(1);
  const struct {
    U32 u32AfterMs;
    bool bTimerRunsOn;
  } cases[] = {{399, true}, {500, false}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.u32AfterMs);
    key(KEY_BIT_MENU);
    key(KEY_BIT_EXIT);
    ASSERT_TRUE(T_MENU_psTask()->bExitTimerRunning);
    clear();
    PLATFORM_CLOCK_vAdvanceTestClockMs(c.u32AfterMs);
    TIMER_vSyncForTest();
    if (UI_bTakeSignal(SEMA_TIMER_EXIT_KEY)) T_MENU_vExitTimerExpired();
    EXPECT_EQ(T_MENU_psTask()->bExitTimerRunning, c.bTimerRunsOn);
    if (c.bTimerRunsOn) {
      key(KEY_BIT_EXIT);  // swallowed: no click, EXIT kept
      EXPECT_FALSE(UI_bTakeSignal(SEMA_KEYCLICK_GOOD));
      EXPECT_TRUE(T_MENU_psTask()->bExitTimerRunning);
      // Any other key ends the timer and is handled.
      key(KEY_BIT_MENU);
      EXPECT_FALSE(T_MENU_psTask()->bExitTimerRunning);
      EXPECT_EQ(data().activeMenu, ZEPHRIN_MENU);
      key(KEY_BIT_MENU);
      key(KEY_BIT_MENU);
      PLATFORM_CLOCK_vAdvanceTestClockMs(500);
      TIMER_vSyncForTest();
      if (UI_bTakeSignal(SEMA_TIMER_EXIT_KEY)) T_MENU_vExitTimerExpired();
    } else {
      // EXIT goes back to the view.
      EXPECT_TRUE(keyMessage(CMD_ID_UNREGISTER_FOR_KEYS, KEY_BIT_EXIT));
    }
  }
}

TEST_F(MenuKeysTest, ReopeningTheHotMenuRestoresItsRow) {
  hotRows(4);
  key(KEY_BIT_MENU);
  down();
  down();
  EXPECT_EQ(row(), 2);
  key(KEY_BIT_EXIT);
  PLATFORM_CLOCK_vAdvanceTestClockMs(500);
  key(KEY_BIT_MENU);
  EXPECT_EQ(data().activeMenu, ZEPHRIN_MENU);
  EXPECT_EQ(row(), 2);
  // Through the main menu and back: still the same row.
  key(KEY_BIT_MENU);
  EXPECT_EQ(data().activeMenu, MAIN_MENU);
  EXPECT_FALSE(data().bMenuItemActive) << "the main menu opens on its tab bar";
  key(KEY_BIT_MENU);
  key(KEY_BIT_MENU);
  EXPECT_EQ(row(), 2);
}

TEST_F(MenuKeysTest, UserLevelFilteringKeepsTheHighlight) {
  hotRows(5, [](int i) { return i == 1 || i == 2 ? M_ADVANCED : M_BASIC; });
  ASSERT_TRUE(U_MENU_bRegisterTab(&TabA, ALARM_TAB_PRIORITY, nullptr, M_BASIC));
  ASSERT_TRUE(U_MENU_bRegisterTab(&TabB, SETUP_TAB_PRIORITY, nullptr, M_ADVANCED));
  drain();
  key(KEY_BIT_MENU);
  down();
  down();
  down();
  ASSERT_EQ(highlightedTitle(), &R[3]);
  setLevel(M_BASIC);
  EXPECT_EQ(rows(), (std::vector<MENU_TITLE>{&R[0], &R[3], &R[4]}));
  EXPECT_EQ(highlightedTitle(), &R[3]);
  setLevel(M_ADVANCED);
  EXPECT_EQ(highlightedTitle(), &R[3]);
  EXPECT_EQ(data().numActiveMenuItems, 5);
  // Tabs follow the level too.
  key(KEY_BIT_MENU);
  EXPECT_TRUE(data().mainMenuTabs[SETUP_TAB_PRIORITY].bTabActive);
  setLevel(M_BASIC);
  EXPECT_FALSE(data().mainMenuTabs[SETUP_TAB_PRIORITY].bTabActive);
  EXPECT_EQ(data().lastTabIndex, ALARM_TAB_PRIORITY);
}

TEST_F(MenuKeysTest, WindowOfSevenRows) {
  hotRows(10);
  key(KEY_BIT_MENU);
  const struct {
    const char *name;
    void (*move)();
    S32 row, top, bottom;
  } steps[] = {
      {"up from row 0 wraps to the end", up, 9, 3, 9},
      {"down from the end wraps to the top", down, 0, 0, 6},
      {"down to the bottom row", [] { for (int i = 0; i < 6; ++i) down(); }, 6, 0, 6},
      {"one more scrolls", down, 7, 1, 7},
      {"up to the top row of the window", [] { for (int i = 0; i < 6; ++i) up(); }, 1, 1, 7},
      {"one more scrolls back", up, 0, 0, 6},
  };
  for (const auto &s : steps) {
    SCOPED_TRACE(s.name);
    s.move();
    EXPECT_EQ(row(), s.row);
    EXPECT_EQ(data().TopMenuItem, s.top);
    EXPECT_EQ(data().BottomMenuItem, s.bottom);
  }
}

TEST_F(MenuKeysTest, TabsWrapOverTheVisibleOnes) {
  tabWithRows(&TabA, ALARM_TAB_PRIORITY, 1);
  tabWithRows(&TabB, SETUP_TAB_PRIORITY, 2);
  tabWithRows(&TabC, ACCESSORY_TAB_PRIORITY, 3);
  key(KEY_BIT_MENU);
  ASSERT_EQ(data().activeMenu, MAIN_MENU);
  const struct {
    bool bRight;
    S32 tab;
    S16 rows;
  } steps[] = {{false, ACCESSORY_TAB_PRIORITY, 3}, {true, ALARM_TAB_PRIORITY, 1}, {true, SETUP_TAB_PRIORITY, 2}};
  for (const auto &s : steps) {
    if (s.bRight) {
      right();
    } else {
      left();
    }
    EXPECT_EQ(data().activeTab, s.tab);
    EXPECT_EQ(data().numActiveMenuItems, s.rows);
  }
  // Up from the tab bar goes to the last row; up from row 0 back to the tab bar.
  up();
  EXPECT_TRUE(data().bMenuItemActive);
  EXPECT_EQ(row(), 1);
  up();
  up();
  EXPECT_FALSE(data().bMenuItemActive);
  down();
  EXPECT_TRUE(data().bMenuItemActive);
  EXPECT_EQ(row(), 0);
  key(KEY_BIT_EXIT);
  EXPECT_FALSE(data().bMenuItemActive);
  key(KEY_BIT_EXIT);
  EXPECT_EQ(data().activeMenu, NO_MENU);
}

TEST_F(MenuKeysTest, QuickSetupUpFromTheFirstRow) {
  for (int i = 0; i < 5; ++i) {
    ASSERT_TRUE(U_MENU_bRegisterQuickSelectorMenu(&R[i], static_cast<MENU_PRIORITY>(MENU_PRIORITY_0 + i),
                                                  FCID("SXXX"), 0, nullptr, nullptr, M_ADVANCED));
  }
  drain();
  setLevel(M_BASIC);  // no level test in the quick-setup menu
  T_MENU_vActivateQuickMenu();
  ASSERT_EQ(data().activeMenu, QUICK_SETUP_MENU);
  EXPECT_EQ(data().numActiveMenuItems, 5);
  EXPECT_TRUE(keyMessage(CMD_ID_REGISTER_FOR_KEYS, 0xFFEE));
  up();
  EXPECT_EQ(row(), 4);
  EXPECT_EQ(data().TopMenuItem, 2);
  EXPECT_EQ(data().BottomMenuItem, 4);
  key(KEY_BIT_MENU);
  EXPECT_EQ(data().activeMenu, QUICK_SETUP_MENU) << "MENU does nothing here";
  key(KEY_BIT_EXIT);
  EXPECT_EQ(data().activeMenu, NO_MENU);
  EXPECT_EQ(u32Setting("CMNU"), static_cast<U32>(NO_MENU));
}

TEST_F(MenuKeysTest, SubMenusNestFourLevelsDeep) {
  // Tab item opens Sub1; each sub-menu holds an item that opens the next.
  const MENU_TITLE kSubs[] = {&Sub1, &Sub2, &Sub3, &Sub4, &Sub5};
  static MENU_TITLE kNames[5][1];
  ASSERT_TRUE(U_MENU_bRegisterTab(&TabA, SETUP_TAB_PRIORITY, nullptr, M_BASIC));
  for (int i = 0; i < 5; ++i) kNames[i][0] = kSubs[i];
  ASSERT_TRUE(U_MENU_bRegisterMainSubMenu(&R[0], &TabA, MENU_PRIORITY_0, kNames[0], kNames[0], nullptr, 1, M_BASIC));
  for (int i = 0; i < 4; ++i) {
    ASSERT_TRUE(U_MENU_bRegisterSubMenuSubMenu(&R[i + 1], kSubs[i], nullptr, MENU_PRIORITY_0, kNames[i + 1],
                                               kNames[i + 1], nullptr, 1, M_BASIC));
  }
  ASSERT_TRUE(U_MENU_bRegisterSubMenuActionMenu(&R[9], &Sub5, nullptr, MENU_PRIORITY_0, vAction, FALSE, M_BASIC));
  drain();
  key(KEY_BIT_MENU);
  down();
  const ACTIVE_MENU kinds[] = {MAIN_SUB_MENU, MAIN_SUB_MENU_1, MAIN_SUB_MENU_2, MAIN_SUB_MENU_3};
  for (ACTIVE_MENU kind : kinds) {
    right();
    EXPECT_EQ(data().activeMenu, kind);
  }
  EXPECT_EQ(data().menuLevel, 4);
  clear();
  right();  // a fifth level does not fit
  EXPECT_EQ(data().activeMenu, MAIN_SUB_MENU_3);
  EXPECT_EQ(data().menuLevel, 4);
  EXPECT_TRUE(UI_bTakeSignal(SEMA_KEYCLICK_BAD));
  // EXIT steps back one level at a time, to the calling item.
  for (ACTIVE_MENU kind : {MAIN_SUB_MENU_2, MAIN_SUB_MENU_1, MAIN_SUB_MENU, MAIN_MENU}) {
    key(KEY_BIT_EXIT);
    EXPECT_EQ(data().activeMenu, kind);
  }
  EXPECT_EQ(highlightedTitle(), &R[0]);
  EXPECT_TRUE(data().bMenuItemActive);
}

TEST_F(MenuKeysTest, ConfirmedActionRunsOnTheSecondRight) {
  ASSERT_TRUE(U_MENU_bRegisterHotActionMenu(&R[0], nullptr, MENU_PRIORITY_0, vAction, TRUE, M_BASIC, kView,
                                            SPLIT_FULL_WINDOW));
  ASSERT_TRUE(U_MENU_bRegisterHotActionMenu(&R[1], nullptr, MENU_PRIORITY_1, vAction, FALSE, M_BASIC, kView,
                                            SPLIT_FULL_WINDOW));
  drain();
  key(KEY_BIT_MENU);
  layerMessages();
  right();
  EXPECT_TRUE(data().bConfirmActive);
  EXPECT_EQ(layerMessages(), std::vector<S32>{CONFIRM_MENU_LAYER});
  EXPECT_EQ(s_nActions, 0);
  clear();
  down();  // blocked while the confirmation shows
  EXPECT_EQ(row(), 0);
  EXPECT_TRUE(UI_bTakeSignal(SEMA_KEYCLICK_BAD));
  right();
  EXPECT_FALSE(data().bConfirmActive);
  EXPECT_EQ(s_nActions, 1);
  left();  // no confirmation to cancel
  EXPECT_TRUE(UI_bTakeSignal(SEMA_KEYCLICK_BAD));
  right();
  left();  // cancels it
  EXPECT_FALSE(data().bConfirmActive);
  EXPECT_EQ(s_nActions, 1);
  down();
  right();
  EXPECT_EQ(s_nActions, 2);
}

TEST_F(MenuKeysTest, InfoMenuShowsTheChosenItemsAndGoToStartsNavigation) {
  ASSERT_TRUE(U_MENU_bRegisterInfoMenu(&Info));
  drain();
  ASSERT_TRUE(U_MENU_bRegisterInfoActionMenu(&R[0], &Info, MENU_GO_TO_WAYPOINT, vAction, FALSE, M_BASIC));
  ASSERT_TRUE(U_MENU_bRegisterInfoActionMenu(&R[1], &Info, MENU_NEAREST_PORT, vAction, FALSE, M_BASIC));
  ASSERT_TRUE(U_MENU_bRegisterInfoActionMenu(&R[2], &Info, MENU_CHART_INFO, vAction, FALSE, M_BASIC));
  static MENU_TITLE const kShown[] = {&R[0], &R[2]};
  U_MENU_ActivateInfoMenu(&Info, kShown, 2);
  drain();
  ASSERT_EQ(data().activeMenu, INFO_MENU);
  EXPECT_EQ(rows(), (std::vector<MENU_TITLE>{&R[0], &R[2]}));
  clear();
  key(KEY_BIT_GOTO);
  EXPECT_EQ(NAV_STANDIN_u32GoToCount(), 1u);
  EXPECT_FALSE(UI_bTakeSignal(SEMA_KEYCLICK_BAD));
  drain();  // the clear request it posted
  EXPECT_EQ(data().activeMenu, NO_MENU);
}

}  // namespace
