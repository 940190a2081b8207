// The menu task's life: the user level across runs, the reset to defaults, the radar sub-menus' side effects,
// the row limit and the time format.
#include <algorithm>

#include "menu_test_env.h"
#include "nav/nav_menu_standin.h"
#include "radar/radar_menu_standin.h"

namespace {

const ARRAY_OF_STRING_PTRS Item = SAME22("Item");
const ARRAY_OF_STRING_PTRS Row = SAME22("Row");
void vAction() {}

class MenuTaskTest : public MenuTest {
 protected:
  static void command(CMD_ID cmd) {
    auto *pMsg = static_cast<GENERIC_MESSAGE *>(H_MEMORY_pvCalloc(1, sizeof(GENERIC_MESSAGE)));
    pMsg->Cmd = cmd;
    T_MENU_vHandleMessage(pMsg);
    drain();
  }
  static void setU32(const char (&acKey)[5], U32 u32) {
    H_DATABASE_bUpdateEverythingU32(FCID(acKey), u32, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  }
};

TEST_F(MenuTaskTest, UserLevelAtRunSystem) {
  const struct {
    const char *name;
    U32 u32State;
    bool bSaved;
    U32 u32Saved;
    U32 u32Expected;
  } cases[] = {
      {"saved normal", 2, true, M_BASIC, M_BASIC},
      {"saved advanced", 2, true, M_ADVANCED, M_ADVANCED},
      {"nothing saved", 2, false, 0, M_ADVANCED},
      {"saved value out of range", 2, true, 9, M_ADVANCED},
      {"point of sale", 6, true, M_BASIC, M_ADVANCED},
  };
  ASSERT_TRUE(U_MENU_bRegisterTab(&::Setup, SETUP_TAB_PRIORITY, nullptr, M_BASIC));
  drain();
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    setU32("CCST", c.u32State);
    if (c.bSaved) {
      setU32("SUSR", c.u32Saved);
    } else {
      H_DATABASE_vDeleteEntry(FCID("SUSR"));
    }
    keyMessages();
    command(CMD_ID_RUN_SYSTEM);
    EXPECT_EQ(u32Setting("CUSR"), c.u32Expected);
    const auto keys = keyMessages();
    EXPECT_TRUE(std::any_of(keys.begin(), keys.end(), [](const KeyMsg &k) {
      return k.cmd == CMD_ID_REGISTER_FOR_KEYS && k.keys == KEY_BIT_MENU && k.usage == REGISTER_EXCLUSIVE;
    }));
  }
  const MENU_ITEM *pUserMode = data().mainMenuTabs[SETUP_TAB_PRIORITY].pFirstItem;
  ASSERT_NE(pUserMode, nullptr);
  EXPECT_EQ(pUserMode->priority, MENU_USER_MODE);
  EXPECT_EQ(pUserMode->parameters.selector.FourCharId, FCID("CUSR"));
  EXPECT_EQ(data().mainMenuTabs[SETUP_TAB_PRIORITY].numMenuItems, 1);
}

TEST_F(MenuTaskTest, ShutdownSavesTheLevelAndResetRestoresAdvanced) {
  const std::pair<U32, U32> cases[] = {{M_ADVANCED, M_ADVANCED}, {M_BASIC, M_BASIC}, {M_DIAGNOSTIC, M_BASIC}};
  for (const auto &c : cases) {
    setU32("CUSR", c.first);
    command(CMD_ID_SHUTDOWN);
    EXPECT_EQ(u32Setting("SUSR"), c.second) << c.first;
  }
  ASSERT_TRUE(U_MENU_bRegisterHotActionMenu(&Item, nullptr, MENU_PRIORITY_0, vAction, FALSE, M_BASIC, 40,
                                            SPLIT_FULL_WINDOW));
  setU32("CVEW", 40);
  setU32("CVAS", SPLIT_FULL_WINDOW);
  drain();
  key(KEY_BIT_MENU);
  ASSERT_EQ(data().activeMenu, ZEPHRIN_MENU);
  setU32("CUSR", M_BASIC);
  command(CMD_ID_RESET_POS);
  EXPECT_EQ(u32Setting("CUSR"), static_cast<U32>(M_ADVANCED));
  EXPECT_EQ(data().activeMenu, NO_MENU);
}

TEST_F(MenuTaskTest, RadarSubMenusActWhenOpened) {
  ASSERT_TRUE(U_MENU_bRegisterTab(&::Setup, SETUP_TAB_PRIORITY, nullptr, M_BASIC));
  static MENU_TITLE const kSubs[] = {&Installation, &Trigger_Delays, &Manual_Tune};
  ASSERT_TRUE(U_MENU_bRegisterMainSubMenu(&Item, &::Setup, MENU_PRIORITY_0, kSubs, kSubs, nullptr, 3, M_BASIC));
  for (MENU_TITLE pSub : kSubs) {
    ASSERT_TRUE(U_MENU_bRegisterSubMenuActionMenu(&Row, pSub, nullptr, MENU_PRIORITY_0, vAction, FALSE, M_BASIC));
  }
  setU32("CVEW", 40);  // not a radar view
  drain();
  const struct {
    const char *name;
    U32 u32Choice;
    bool bOpens;
  } cases[] = {{"installation outside the radar view", 0, false},
               {"trigger delays", 1, true},
               {"manual tune", 2, true}};
  const U32 u32TunesBefore = RADAR_STANDIN_u32ManualTuneCount();
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    key(KEY_BIT_MENU);
    ASSERT_EQ(data().activeMenu, MAIN_MENU);
    down();
    right();  // expand
    for (U32 i = 0; i < c.u32Choice; ++i) down();
    clear();
    UI_bTakeSignal(SEMA_RADAR_TRIGGER_DELAY);
    NAV_STANDIN_vResetMenuCalls();
    right();
    EXPECT_EQ(data().activeMenu, c.bOpens ? MAIN_SUB_MENU : MAIN_MENU);
    if (!c.bOpens) {
      EXPECT_TRUE(UI_bTakeSignal(SEMA_KEYCLICK_BAD));
      EXPECT_NE(NAV_STANDIN_pLastNote(), nullptr);
    }
    if (c.u32Choice == 1) EXPECT_TRUE(UI_bTakeSignal(SEMA_RADAR_TRIGGER_DELAY));
    key(KEY_BIT_MENU);
    PLATFORM_CLOCK_vAdvanceTestClockMs(500);
  }
  EXPECT_EQ(RADAR_STANDIN_u32ManualTuneCount(), u32TunesBefore + 1);
}

TEST_F(MenuTaskTest, AtMostSixtyRowsAreShown) {
  // Seventy distinct titles, each an array of its own.
  static const char *titles[70][NUMBER_OF_LANGUAGES];
  for (int i = 0; i < 70; ++i) {
    for (U32 l = 0; l < NUMBER_OF_LANGUAGES; ++l) titles[i][l] = "Row";
    ASSERT_TRUE(U_MENU_bRegisterHotActionMenu(reinterpret_cast<MENU_TITLE>(&titles[i]), nullptr, NO_PRIORITY, vAction,
                                              FALSE, M_BASIC, 40, SPLIT_FULL_WINDOW));
  }
  setU32("CVEW", 40);
  setU32("CVAS", SPLIT_FULL_WINDOW);
  drain();
  key(KEY_BIT_MENU);
  EXPECT_EQ(data().numActiveMenuItems, MAX_ACTIVE_MENU_ITEMS);
  up();
  EXPECT_EQ(data().activeMenuItemIndex, MAX_ACTIVE_MENU_ITEMS - 1);
}

TEST_F(MenuTaskTest, TimesShowMinutesAndSeconds) {
  H_DATABASE_bUpdateEverythingU32(FCID("STIM"), 125, P_NORMAL, D_TIME, nullptr, DB_NO_TIMEOUT);
  static const MENU_LIMITS kLimits[] = {{U_NONE, 0, 600, 5}};
  ASSERT_TRUE(U_MENU_bRegisterHotSliderMenu(&Item, nullptr, MENU_PRIORITY_0, FCID("STIM"), kLimits, nullptr, nullptr,
                                            nullptr, M_BASIC, 40, SPLIT_FULL_WINDOW));
  setU32("CVEW", 40);
  setU32("CVAS", SPLIT_FULL_WINDOW);
  drain();
  key(KEY_BIT_MENU);
  EXPECT_STREQ(highlightedText(), "2:05");
  right();
  EXPECT_STREQ(highlightedText(), "2:10");
}

}  // namespace
