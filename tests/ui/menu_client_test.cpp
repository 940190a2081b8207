// The menu clients: each posts the message of its kind with the target fields, control and parameters filled,
// and posts nothing without a menu task.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "settings/database.h"
#include "kernel/mbox.h"
#include "kernel/memory.h"
#include "ui/menu/menu.h"
#include "run_apart.h"

TEST_RUN_APART(MenuClientTest);

namespace {

const ARRAY_OF_STRING_PTRS Item = SAME22("Item");
const ARRAY_OF_STRING_PTRS Tab = SAME22("Tab");
const ARRAY_OF_STRING_PTRS Sub = SAME22("Sub");
const ARRAY_OF_STRING_PTRS Left = SAME22("Left");
const ARRAY_OF_STRING_PTRS Right = SAME22("Right");
const ARRAY_OF_STRING_PTRS Suffix = SAME22("Suffix");
const MENU_LIMITS kLimits[] = {{U_NONE, 0, 10, 1}};
const MENU_STEP_LEVELS kLevels[] = {{U_NONE, 2, 5}};
const ICON kIcon = {};
void vAction() {}
const MENU_FUNCTION kActions[] = {vAction};
const BOOLEAN kConfirms[] = {TRUE};
MENU_TITLE const kChoices[] = {&Left};
MENU_TITLE const kNames[] = {&Sub};
const U32 kValues[] = {7};

class MenuClientTest : public ::testing::Test {
 protected:
  void SetUp() override { publish(); }
  void TearDown() override { H_DATABASE_vDeleteEntry(FCID("TMNU")); }
  static void publish() {
    H_DATABASE_bUpdateEverythingU32(FCID("TMNU"), M_MENU, P_NORMAL, D_MAILBOX, nullptr, DB_NO_TIMEOUT);
  }
  // The one message posted; ASSERTs that exactly one arrived.
  template <class T>
  static T take() {
    void *pvMsg = L_MBOX_Receive(M_MENU);
    EXPECT_NE(pvMsg, nullptr);
    T msg{};
    if (pvMsg != nullptr) {
      std::memcpy(&msg, pvMsg, sizeof msg);
      H_MEMORY_vDumpMail(pvMsg);
    }
    EXPECT_EQ(L_MBOX_Receive(M_MENU), nullptr);
    return msg;
  }
};

struct ItemCase {
  const char *name;
  std::function<BOOLEAN()> call;
  CMD_ID cmd;
  MENU_TITLE pTab;
  LAYER_ID view;
  SPLIT_WINDOW_TYPE split;
  MENU_TITLE pSub;
  const ICON *pIcon;
  MENU_CONTROL control;
};

TEST_F(MenuClientTest, ItemRegistrationsFillTheirTargetAndControl) {
  const ItemCase cases[] = {
      {"main slider", [] { return U_MENU_bRegisterMainSliderMenu(&Item, &Tab, MENU_PRIORITY_1, FCID("SXXX"), kLimits, &Left, &Right, &Suffix, M_BASIC); },
       CMD_ID_REGISTER_MENU_ITEM, &Tab, USED_BY_ALL, SPLIT_FULL_WINDOW, nullptr, nullptr, M_SLIDER},
      {"main sub-menu with icon", [] { return U_MENU_bRegisterMainSubMenuWithIcon(&Item, &Tab, &kIcon, MENU_PRIORITY_1, kChoices, kNames, nullptr, 1, M_BASIC); },
       CMD_ID_REGISTER_MENU_ITEM, &Tab, USED_BY_ALL, SPLIT_FULL_WINDOW, nullptr, &kIcon, M_SUB_MENU},
      {"hot immediate slider", [] { return U_MENU_bRegisterHotImmediateSliderMenu(&Item, &kIcon, MENU_PRIORITY_1, FCID("SXXX"), kLimits, nullptr, nullptr, nullptr, M_BASIC, 40, SPLIT_LEFT_WINDOW); },
       CMD_ID_REGISTER_MENU_ITEM, nullptr, 40, SPLIT_LEFT_WINDOW, nullptr, &kIcon, M_SLIDER_IMMEDIATE},
      {"hot sub-menu without arrow", [] { return U_MENU_bRegisterHotSubMenuWithNoArrow(&Item, nullptr, MENU_PRIORITY_1, kChoices, kNames, nullptr, 1, M_BASIC, 40, SPLIT_RIGHT_WINDOW); },
       CMD_ID_REGISTER_MENU_ITEM, nullptr, 40, SPLIT_RIGHT_WINDOW, nullptr, nullptr, M_SUB_MENU_HOT},
      {"sub-menu check box", [] { return U_MENU_bRegisterSubMenuCheckBoxMenu(&Item, &Sub, &kIcon, MENU_PRIORITY_1, 9, nullptr, nullptr, M_BASIC); },
       CMD_ID_REGISTER_MENU_ITEM, nullptr, USED_BY_ALL, SPLIT_FULL_WINDOW, &Sub, &kIcon, M_CHECK_BOX},
      {"hot action in a sub-menu", [] { return U_MENU_bRegisterHotSubMenuActionMenu(&Item, &Sub, nullptr, MENU_PRIORITY_1, vAction, FALSE, M_BASIC); },
       CMD_ID_REGISTER_MENU_ITEM, nullptr, USED_BY_ALL, SPLIT_FULL_WINDOW, &Sub, nullptr, M_ACTION_HOT},
      {"quick selector", [] { return U_MENU_bRegisterQuickSelectorMenu(&Item, MENU_PRIORITY_1, FCID("SXXX"), 1, kChoices, kValues, M_BASIC); },
       CMD_ID_REGISTER_MENU_ITEM, nullptr, USED_BY_ALL, SPLIT_QUICK_WINDOW, nullptr, nullptr, M_SELECTION_BOX},
      {"floating action", [] { return U_MENU_bRegisterFloatingMenuActionExtItem(&Tab, &Item, &kIcon, TRUE, FALSE, MENU_PRIORITY_1, vAction, FALSE, M_BASIC); },
       CMD_ID_REGISTER_FLOATING_MENU_ITEM, &Tab, USED_BY_ALL, SPLIT_FULL_WINDOW, nullptr, &kIcon, M_ACTION_EXT},
  };
  for (const ItemCase &c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(c.call());
    const auto msg = take<MSG_ADD_MENU_ITEM>();
    EXPECT_EQ(msg.header.Cmd, c.cmd);
    EXPECT_EQ(msg.pTabName, c.pTab);
    EXPECT_EQ(msg.view, c.view);
    EXPECT_EQ(msg.splitType, c.split);
    EXPECT_EQ(msg.pSubMenuName, c.pSub);
    EXPECT_EQ(msg.pInfoMenuName, nullptr);
    EXPECT_EQ(msg.pMenuIcon, c.pIcon);
    EXPECT_EQ(msg.descriptor.pMenuName, &Item);
    EXPECT_EQ(msg.descriptor.menuPriority, MENU_PRIORITY_1);
    EXPECT_EQ(msg.descriptor.control, c.control);
  }
}

TEST_F(MenuClientTest, ParametersOfTheirKindAndNothingElse) {
  ASSERT_TRUE(U_MENU_bRegisterHotSliderMenu(&Item, nullptr, MENU_PRIORITY_2, FCID("SXXX"), kLimits, &Left, &Right,
                                            &Suffix, M_ADVANCED, 40, SPLIT_FULL_WINDOW));
  auto msg = take<MSG_ADD_MENU_ITEM>();
  EXPECT_EQ(msg.descriptor.control, M_SLIDER);
  EXPECT_EQ(msg.descriptor.menuUserLevel, M_ADVANCED);
  M_SLIDER_PARAMETERS expected{};
  expected.FourCharId = FCID("SXXX");
  expected.pLimits = kLimits;
  expected.pCtrlTextLeft = &Left;
  expected.pCtrlTextRight = &Right;
  expected.valueStrSuffix = &Suffix;
  CONTROL_PARAMETERS zero;
  std::memset(&zero, 0, sizeof zero);
  std::memcpy(&zero.slider, &expected, sizeof expected);
  EXPECT_EQ(std::memcmp(&msg.descriptor.parameters, &zero, sizeof zero), 0) << "unused fields are zero";

  ASSERT_TRUE(U_MENU_bRegisterQuickVarStepSliderMenu(&Item, MENU_PRIORITY_2, FCID("SXXX"), kLimits, kLevels, nullptr,
                                                     nullptr, nullptr, M_BASIC));
  msg = take<MSG_ADD_MENU_ITEM>();
  EXPECT_EQ(msg.descriptor.parameters.slider.pLevels, kLevels);

  ASSERT_TRUE(U_MENU_bRegisterSubMenuActionListMenu(&Item, &Sub, nullptr, MENU_PRIORITY_2, kChoices, kActions, 1,
                                                    M_BASIC, FCID("CLWC")));
  msg = take<MSG_ADD_MENU_ITEM>();
  EXPECT_EQ(msg.descriptor.parameters.actionList.bConfirm, nullptr) << "no confirmation for any choice";
  EXPECT_EQ(msg.descriptor.parameters.actionList.FourCharId, FCID("CLWC"));

  ASSERT_TRUE(U_MENU_bRegisterInfoActionListMenu(&Item, &Sub, MENU_PRIORITY_2, kChoices, kActions, 1, M_BASIC, 0,
                                                 kConfirms));
  msg = take<MSG_ADD_MENU_ITEM>();
  EXPECT_EQ(msg.pInfoMenuName, &Sub);
  EXPECT_EQ(msg.descriptor.parameters.actionList.bConfirm, kConfirms);

  ASSERT_TRUE(U_MENU_bRegisterFloatingMenuAngleAdjustItem(&Tab, &Item, nullptr, vAction, MENU_PRIORITY_2,
                                                          FCID("SANG"), 0, 360, 1, TRUE, &Left, &kIcon, M_BASIC));
  msg = take<MSG_ADD_MENU_ITEM>();
  const M_ANGLE_ADJUST_PARAMETERS &angle = msg.descriptor.parameters.angleadjust;
  EXPECT_EQ(angle.maxValue.s32Val, 360);
  EXPECT_EQ(angle.stepValue.s32Val, 1);
  EXPECT_EQ(angle.fnCbOnInfo, vAction);
  EXPECT_EQ(angle.pChkIcon, &kIcon);
}

TEST_F(MenuClientTest, SingleCentredItemsNameTheirMenuAfterThemselves) {
  ASSERT_TRUE(U_MENU_bRegisterSingleCenteredMenuSelectorMenu(&Item, FCID("SXXX"), 1, kChoices, kValues, TRUE, TRUE));
  const auto msg = take<MSG_ADD_SINGLE_CENTERED_MENU_ITEM>();
  EXPECT_EQ(msg.header.Cmd, CMD_ID_REGISTER_SINGLE_CENTERED_MENU_ITEM);
  EXPECT_EQ(msg.pTabName, &Item);
  EXPECT_EQ(msg.descriptor.pMenuName, &Item);
  EXPECT_EQ(msg.descriptor.menuPriority, MENU_PRIORITY_0);
  EXPECT_EQ(msg.descriptor.menuUserLevel, M_BASIC);
  EXPECT_TRUE(msg.bDisplayMenu);
  EXPECT_TRUE(msg.bLoopSelection);
}

TEST_F(MenuClientTest, RemovalsNameTheirTargets) {
  ASSERT_TRUE(U_MENU_bUnregisterSubMenuItem(&Sub, &Item));
  auto msg = take<MSG_REMOVE_MENU>();
  EXPECT_EQ(msg.pMenuName, &Item);
  EXPECT_EQ(msg.pSubMenuName, &Sub);
  EXPECT_EQ(msg.pTabName, nullptr);
  EXPECT_EQ(msg.view, USED_BY_ALL);

  ASSERT_TRUE(U_MENU_bUnregisterMainMenuItem(&Item, &Tab));
  msg = take<MSG_REMOVE_MENU>();
  EXPECT_EQ(msg.pMenuName, &Item);
  EXPECT_EQ(msg.pTabName, &Tab);

  ASSERT_TRUE(U_MENU_bUnregisterQuickMenuItem(&Item));
  msg = take<MSG_REMOVE_MENU>();
  EXPECT_EQ(msg.view, USED_BY_ALL);
  EXPECT_EQ(msg.splitType, SPLIT_FULL_WINDOW);
  EXPECT_EQ(msg.pTabName, nullptr);
  EXPECT_EQ(msg.pSubMenuName, nullptr);

  ASSERT_TRUE(U_MENU_bUnregisterHotMenuItem(&Item, 40, SPLIT_RIGHT_WINDOW));
  msg = take<MSG_REMOVE_MENU>();
  EXPECT_EQ(msg.view, 40);
  EXPECT_EQ(msg.splitType, SPLIT_RIGHT_WINDOW);
}

TEST_F(MenuClientTest, FloatingAlternativeNameKeepsNineteenCharacters) {
  const struct {
    const char *pcName;
    BOOLEAN bDisplay;
    std::string expected;
    BOOLEAN bExpectedDisplay;
  } cases[] = {
      {"ABCDEFGHIJKLMNOPQRSTUVWXY", TRUE, "ABCDEFGHIJKLMNOPQRS", TRUE},
      {"Short", TRUE, "Short", TRUE},
      {nullptr, TRUE, "", FALSE},
  };
  for (const auto &c : cases) {
    ASSERT_TRUE(U_MENU_bRegisterFloatingMenu(&Tab, vAction, nullptr, c.bDisplay, c.pcName));
    const auto msg = take<MSG_ADD_FLOATING_MENU>();
    EXPECT_EQ(msg.header.Cmd, CMD_ID_REGISTER_FLOATING_MENU);
    EXPECT_EQ(msg.GoToKeyHandler, vAction);
    EXPECT_EQ(msg.bDisplayAltName, c.bExpectedDisplay);
    EXPECT_EQ(std::string(msg.aStrAltName, strnlen(msg.aStrAltName, sizeof msg.aStrAltName)), c.expected);
    EXPECT_EQ(msg.aStrAltName[MENU_ALT_NAME_SIZE - 1], '\0');
  }
}

TEST_F(MenuClientTest, WithoutTheMenuTaskNothingIsPosted) {
  H_DATABASE_vDeleteEntry(FCID("TMNU"));
  const std::function<BOOLEAN()> boolean[] = {
      [] { return U_MENU_bRegisterTab(&Tab, SETUP_TAB_PRIORITY, nullptr, M_BASIC); },
      [] { return U_MENU_bUnregisterTab(&Tab); },
      [] { return U_MENU_bRegisterSubMenu(&Sub, MENU_PRIORITY_0, nullptr, M_BASIC); },
      [] { return U_MENU_bRegisterZephrinMenu(40, SPLIT_FULL_WINDOW); },
      [] { return U_MENU_bRegisterInfoMenu(&Sub); },
      [] { return U_MENU_bRegisterFloatingMenu(&Sub, nullptr, nullptr, FALSE, nullptr); },
      [] { return U_MENU_bUnregisterFloatingMenu(&Sub); },
      [] { return U_MENU_bUnregisterSingleCenteredMenu(&Sub); },
      [] { return U_MENU_bUnregisterMainMenuItem(&Item, &Tab); },
      [] { return U_MENU_bUnregisterSubMenuItem(&Sub, &Item); },
      [] { return U_MENU_bUnregisterHotMenuItem(&Item, 40, SPLIT_FULL_WINDOW); },
      [] { return U_MENU_bUnregisterQuickMenuItem(&Item); },
      [] { return U_MENU_bRegisterMainActionMenu(&Item, &Tab, MENU_PRIORITY_0, vAction, FALSE, M_BASIC); },
      [] { return U_MENU_bRegisterHotActionListShrunkenMenu(&Item, nullptr, MENU_PRIORITY_0, kChoices, kActions, 1, M_BASIC, 40, SPLIT_FULL_WINDOW, 0, nullptr); },
      [] { return U_MENU_bRegisterSubMenuSubMenu(&Item, &Sub, nullptr, MENU_PRIORITY_0, kChoices, kNames, nullptr, 1, M_BASIC); },
      [] { return U_MENU_bRegisterInfoActionMenu(&Item, &Sub, MENU_PRIORITY_0, vAction, FALSE, M_BASIC); },
      [] { return U_MENU_bRegisterQuickSliderMenu(&Item, MENU_PRIORITY_0, FCID("SXXX"), kLimits, nullptr, nullptr, nullptr, M_BASIC); },
      [] { return U_MENU_bRegisterFloatingMenuSliderItem(&Sub, &Item, nullptr, MENU_PRIORITY_0, FCID("SXXX"), kLimits, nullptr, nullptr, nullptr, M_BASIC); },
      [] { return U_MENU_bRegisterSingleCenteredMenuVarStepSliderMenu(&Item, nullptr, FCID("SXXX"), kLimits, kLevels, nullptr, nullptr, nullptr, TRUE, FALSE); },
  };
  for (const auto &call : boolean) EXPECT_FALSE(call());
  U_MENU_vActivateSingleCenteredMenu(&Item, 40, TRUE, FALSE, nullptr);
  U_MENU_ActivateFloatingMenu(&Sub);
  U_MENU_ActivateInfoMenu(&Sub, kChoices, 1);
  U_MENU_vClearMenus();
  U_MENU_vHideMenus();
  U_MENU_vRestoreMenus();
  EXPECT_EQ(L_MBOX_Receive(M_MENU), nullptr);
}

TEST_F(MenuClientTest, BareCommands) {
  const std::pair<std::function<void()>, CMD_ID> cases[] = {
      {U_MENU_vClearMenus, CMD_ID_CLEAR_MENU},
      {U_MENU_vHideMenus, CMD_ID_HIDE_MENU},
      {U_MENU_vRestoreMenus, CMD_ID_RESTORE_MENU},
  };
  for (const auto &c : cases) {
    c.first();
    EXPECT_EQ(take<MSG_CLEAR_MENU>().header.Cmd, c.second);
  }
  U_MENU_vActivateSingleCenteredMenu(&Item, 40, TRUE, FALSE, &Tab);
  const auto msg = take<MSG_ACTIVATE_SINGLE_CENTERED_MENU>();
  EXPECT_EQ(msg.pSingleCenteredMenuName, &Item);
  EXPECT_EQ(msg.eCurrentView, 40);
  EXPECT_FALSE(msg.bLoopSelection);
  EXPECT_EQ(msg.pMenuLocation, &Tab);
}

}  // namespace
