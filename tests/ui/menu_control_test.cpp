// Menu items bound to settings: stepping in the display unit, precision, variable steps, selections, angles,
// when values are written, and the lock-out of the side directions after up and down.
#include <cmath>
#include <string>

#include "menu_test_env.h"
#include "ui/menu/menu_internal.h"

namespace {

const ARRAY_OF_STRING_PTRS Value = SAME22("Value");
const ARRAY_OF_STRING_PTRS Other = SAME22("Other");
const ARRAY_OF_STRING_PTRS TabA = SAME22("Tab A");
const ARRAY_OF_STRING_PTRS Floating = SAME22("Floating");
const ARRAY_OF_STRING_PTRS One = SAME22("One"), Two = SAME22("Two"), Three = SAME22("Three");
MENU_TITLE const kChoices[] = {&One, &Two, &Three};
const U32 kChoiceValues[] = {10, 20, 30};
constexpr LAYER_ID kView = 40;

class MenuControlTest : public MenuTest {
 protected:
  void SetUp() override {
    MenuTest::SetUp();
    if (IsSkipped()) return;
    H_DATABASE_bUpdateEverythingU32(FCID("CVEW"), kView, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
    H_DATABASE_bUpdateEverythingU32(FCID("CVAS"), SPLIT_FULL_WINDOW, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  }
  static void setFloat(const char (&acKey)[5], float f, DATA_TYPE type = D_FLOAT) {
    H_DATABASE_bUpdateEverythingFloat(FCID(acKey), f, P_NORMAL, type, nullptr, DB_NO_TIMEOUT);
  }
  static void setU32(const char (&acKey)[5], U32 u, DATA_TYPE type = D_UNKNOWN) {
    H_DATABASE_bUpdateEverythingU32(FCID(acKey), u, P_NORMAL, type, nullptr, DB_NO_TIMEOUT);
  }
  // A hot slider on the test view, opened and highlighted.
  static void openSlider(const MENU_LIMITS *pLimits, MENU_CONTROL control = M_SLIDER,
                         const MENU_STEP_LEVELS *pLevels = nullptr, MENU_TITLE pSuffix = nullptr) {
    if (control == M_SLIDER_VARIABLE_STEP) {
      ASSERT_TRUE(U_MENU_bRegisterHotVarStepSliderMenu(&Value, nullptr, MENU_PRIORITY_0, FCID("SVAL"), pLimits, pLevels,
                                                       nullptr, nullptr, pSuffix, M_BASIC, kView, SPLIT_FULL_WINDOW));
    } else if (control == M_SLIDER_IMMEDIATE) {
      ASSERT_TRUE(U_MENU_bRegisterHotImmediateSliderMenu(&Value, nullptr, MENU_PRIORITY_0, FCID("SVAL"), pLimits,
                                                         nullptr, nullptr, pSuffix, M_BASIC, kView, SPLIT_FULL_WINDOW));
    } else {
      ASSERT_TRUE(U_MENU_bRegisterHotSliderMenu(&Value, nullptr, MENU_PRIORITY_0, FCID("SVAL"), pLimits, nullptr,
                                                nullptr, pSuffix, M_BASIC, kView, SPLIT_FULL_WINDOW));
    }
    drain();
    key(KEY_BIT_MENU);
    ASSERT_EQ(data().activeMenu, ZEPHRIN_MENU);
    ASSERT_EQ(highlightedTitle(), &Value);
  }
  static const MENU_ITEM &item() { return *data().activeMenuList[data().activeMenuItemIndex]; }
};

TEST_F(MenuControlTest, FloatSliderSnapsToItsStep) {
  const struct {
    float fStep;
    std::vector<std::string> texts;  // shown at opening, then after each right
    float fWritten;
  } cases[] = {
      {0.5f, {"3.2", "3.5", "4.0"}, 4.0f},
      {0.25f, {"3.20", "3.50", "3.75"}, 3.75f},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.fStep);
    T_MENU_vResetForTest();
    T_MENU_vInit();
    setFloat("SVAL", 3.2f);
    const MENU_LIMITS limits[] = {{U_NONE, 0, 10, c.fStep}};
    openSlider(limits);
    std::vector<std::string> shown = {highlightedText()};
    for (size_t i = 1; i < c.texts.size(); ++i) {
      right();
      shown.push_back(highlightedText());
    }
    EXPECT_EQ(shown, c.texts);
    EXPECT_FLOAT_EQ(fSetting("SVAL"), c.fWritten);
    key(KEY_BIT_MENU);
    key(KEY_BIT_MENU);
  }
}

TEST_F(MenuControlTest, LongRepeatMovesSeveralSteps) {
  setU32("SVAL", 10);
  const MENU_LIMITS limits[] = {{U_NONE, 0, 100, 1}};
  openSlider(limits);
  right(25);
  EXPECT_EQ(item().value.u32Val, 16u);
  EXPECT_EQ(u32Setting("SVAL"), 16u);
  right(19);
  EXPECT_EQ(item().value.u32Val, 17u);
}

TEST_F(MenuControlTest, VariableStepsGrowWithTheValue) {
  setFloat("SVAL", 8.0f);
  const MENU_LIMITS limits[] = {{U_NONE, 0, 100, 1}};
  const MENU_STEP_LEVELS levels[] = {{U_NONE, 10, 50}};
  openSlider(limits, M_SLIDER_VARIABLE_STEP, levels);
  std::vector<float> up;
  for (int i = 0; i < 13; ++i) {
    right();
    up.push_back(item().unitsValue.fVal);
  }
  EXPECT_EQ(up, (std::vector<float>{9, 10, 15, 20, 25, 30, 35, 40, 45, 50, 60, 70, 80}));
  std::vector<float> down;
  for (int i = 0; i < 14; ++i) {
    left();
    down.push_back(item().unitsValue.fVal);
  }
  EXPECT_EQ(down, (std::vector<float>{70, 60, 50, 45, 40, 35, 30, 25, 20, 15, 10, 9, 8, 7}));
}

TEST_F(MenuControlTest, DistanceSliderShowsShortUnitsForLongOnes) {
  setU32("SUDS", U_KM);
  setFloat("SVAL", 25.0f, D_DISTANCE);
  const MENU_LIMITS limits[] = {{U_METRES, 0, 100, 1}, {U_FEET, 0, 300, 1}, {U_NONE, 0, 1, 1}};
  openSlider(limits);
  EXPECT_EQ(item().units, U_METRES);
  EXPECT_STREQ(highlightedText(), "25m");
  T_MENU_vResetForTest();
  T_MENU_vInit();
  setU32("SUDS", U_STAT_MILES);
  openSlider(limits);
  EXPECT_EQ(item().units, U_FEET);
}

TEST_F(MenuControlTest, EndTextsAndHiddenValue) {
  setU32("SVAL", 0);
  const MENU_LIMITS limits[] = {{U_NONE, 0, 5, 1}};
  ASSERT_TRUE(U_MENU_bRegisterHotSliderMenu(&Value, nullptr, MENU_PRIORITY_0, FCID("SVAL"), limits, &One, &Three,
                                            nullptr, M_BASIC, kView, SPLIT_FULL_WINDOW));
  ASSERT_TRUE(U_MENU_bRegisterHotSliderMenu(&Other, nullptr, MENU_PRIORITY_1, FCID("SVAL"), limits, nullptr, nullptr,
                                            &Hidden, M_BASIC, kView, SPLIT_FULL_WINDOW));
  drain();
  key(KEY_BIT_MENU);
  EXPECT_STREQ(data().activeMenuList[0]->value_string, "One");
  EXPECT_STREQ(data().activeMenuList[1]->value_string, "");
  right(30);  // past the maximum
  EXPECT_STREQ(highlightedText(), "Three");
}

TEST_F(MenuControlTest, SliderWritesOnReleaseImmediateSliderWhileMoving) {
  for (MENU_CONTROL control : {M_SLIDER, M_SLIDER_IMMEDIATE}) {
    SCOPED_TRACE(control);
    T_MENU_vResetForTest();
    T_MENU_vInit();
    setU32("SVAL", 10);
    const MENU_LIMITS limits[] = {{U_NONE, 0, 100, 1}};
    openSlider(limits, control);
    PLATFORM_CLOCK_vAdvanceTestClockMs(501);
    key(KEY_BIT_CURSOR, KEY_DOWN, CURSOR_EAST, 1);
    key(KEY_BIT_CURSOR, KEY_DOWN, CURSOR_EAST, 2);
    key(KEY_BIT_CURSOR, KEY_DOWN, CURSOR_EAST, 3);
    EXPECT_EQ(item().value.u32Val, 13u);
    EXPECT_EQ(u32Setting("SVAL"), control == M_SLIDER ? 10u : 12u);
    key(KEY_BIT_CURSOR, KEY_UP, CURSOR_EAST, 3);
    EXPECT_EQ(u32Setting("SVAL"), 13u);
    key(KEY_BIT_MENU);
    key(KEY_BIT_MENU);
  }
}

TEST_F(MenuControlTest, SideDirectionsWaitHalfASecondAfterUpAndDown) {
  setU32("SVAL", 10);
  const MENU_LIMITS limits[] = {{U_NONE, 0, 100, 1}};
  openSlider(limits);
  down();  // a single row: wraps onto itself and stamps the time
  PLATFORM_CLOCK_vAdvanceTestClockMs(500);
  cursor(CURSOR_EAST);
  EXPECT_EQ(item().value.u32Val, 10u);
  PLATFORM_CLOCK_vAdvanceTestClockMs(1);
  cursor(CURSOR_EAST);
  EXPECT_EQ(item().value.u32Val, 11u);
}

TEST_F(MenuControlTest, SelectionsWrapOnlyWhereTheMenuLoops) {
  H_DATABASE_bUpdateEverythingU32(FCID("SSEL"), 30, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  ASSERT_TRUE(U_MENU_bRegisterTab(&TabA, SETUP_TAB_PRIORITY, nullptr, M_BASIC));
  ASSERT_TRUE(U_MENU_bRegisterMainSelectorMenu(&Value, &TabA, MENU_PRIORITY_0, FCID("SSEL"), 3, kChoices,
                                               kChoiceValues, M_BASIC));
  drain();
  key(KEY_BIT_MENU);  // no hot menu: the main menu
  down();             // into the list
  clear();
  right();
  EXPECT_EQ(u32Setting("SSEL"), 30u);
  EXPECT_TRUE(UI_bTakeSignal(SEMA_KEYCLICK_BAD));
  left();
  EXPECT_EQ(u32Setting("SSEL"), 20u);
  EXPECT_STREQ(highlightedText(), "Two");
  key(KEY_BIT_MENU);

  H_DATABASE_bUpdateValueU32(FCID("SSEL"), 30, P_NORMAL);
  ASSERT_TRUE(U_MENU_bRegisterSingleCenteredMenuSelectorMenu(&Other, FCID("SSEL"), 3, kChoices, kChoiceValues, TRUE,
                                                             TRUE));
  drain();
  ASSERT_EQ(data().activeMenu, SINGLE_CENTERED_MENU);
  right();
  EXPECT_EQ(u32Setting("SSEL"), 10u);
  char acText[MENU_VALUE_STRING_SIZE] = "";
  T_MENU_vGetSelection(&Other, acText);
  EXPECT_STREQ(acText, "One");
  clear();
  left();
  EXPECT_EQ(u32Setting("SSEL"), 10u);
  EXPECT_TRUE(UI_bTakeSignal(SEMA_KEYCLICK_BAD));
}

TEST_F(MenuControlTest, AnglesWrapAroundTheCircle) {
  ASSERT_TRUE(U_MENU_bRegisterFloatingMenu(&Floating, nullptr, nullptr, FALSE, nullptr));
  ASSERT_TRUE(U_MENU_bRegisterFloatingMenuAngleAdjustItem(&Floating, &Value, nullptr, nullptr, MENU_PRIORITY_0,
                                                          FCID("SANG"), 0, 360, 1, TRUE, nullptr, nullptr, M_BASIC));
  const struct {
    S32 s32Start;
    bool bRight;
    S32 s32Expected;
  } cases[] = {{359, true, 0}, {1, false, 360}, {180, true, 181}};
  for (const auto &c : cases) {
    H_DATABASE_bUpdateEverythingS32(FCID("SANG"), c.s32Start, P_NORMAL, D_SIGNED32, nullptr, DB_NO_TIMEOUT);
    ASSERT_TRUE(U_MENU_bRegisterFloatingMenuAngleAdjustItem(&Floating, &Value, nullptr, nullptr, MENU_PRIORITY_0,
                                                            FCID("SANG"), 0, 360, 1, TRUE, nullptr, nullptr, M_BASIC));
    U_MENU_ActivateFloatingMenu(&Floating);
    drain();
    ASSERT_EQ(data().activeMenu, FLOATING_MENU);
    if (c.bRight) {
      right();
    } else {
      left();
    }
    S32 s32 = 0;
    H_DATABASE_bFetchS32(FCID("SANG"), &s32, nullptr, nullptr);
    EXPECT_EQ(s32, c.s32Expected) << c.s32Start;
    key(KEY_BIT_EXIT);
  }
}

TEST_F(MenuControlTest, PrecisionOfASteps) {
  const std::pair<float, U8> cases[] = {{1.0f, 0}, {0.5f, 1}, {0.25f, 2}, {0.125f, 3}, {10.0f, 0}, {0.1f, 1}};
  for (const auto &c : cases) EXPECT_EQ(T_MENU_u8FindPrecision(c.first), c.second) << c.first;
}

}  // namespace
