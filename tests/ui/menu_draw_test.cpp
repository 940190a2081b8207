// Drawing of the menu layers from menu stores filled by the test.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "draw_test_util.h"
#include "draw/color.h"
#include "draw/icon_data.h"
#include "draw/string.h"
#include "nav/nav_standin.h"
#include "navdata/navdata_standin.h"
#include "ui/menu/menu_draw.h"
#include "ui/menu/menu_widths.h"
#include "ui_test_env.h"

namespace {

const ARRAY_OF_STRING_PTRS kBacklight = SAME22("Backlight"), kMode = SAME22("Mode"), kAlarms = SAME22("Alarms"),
                           kReset = SAME22("Reset Settings"), kOff = SAME22("Off"),
                           kAutomatic = SAME22("Automatic"), kLanguage = SAME22("Language"),
                           kSounds = SAME22("Sounds"), kSettings = SAME22("Sonar Settings and Preferences"),
                           kLong = SAME22("Restore every setting of the unit to the values it had when new");
const MENU_TITLE kChoices[] = {&kOff, &kAutomatic};
const U32 kValues[] = {0, 1};
const MENU_LIMITS kLimits[] = {{U_NONE, 0.0f, 10.0f, 1.0f}};

BOOLEAN checkedWhenOne(U32 u32Context) { return u32Context == 1; }
const MENU_TITLE kTabTitles[] = {&kAlarms, &kMode,  &kSounds, &kLanguage, &kBacklight, &kSettings,
                                 &kReset,  &kOff,   &kAlarms, &kMode,     &kSounds,    &kLanguage};

COLOR color(U32 i) { return gCOLOR_pcolColorTable[i]; }

// A colour no menu entry has.
constexpr COLOR kBackground = 0x18E3;

class MenuDrawTest : public ::testing::Test {
 protected:
  MENU_DATA *d = nullptr;
  std::vector<std::unique_ptr<MENU_ITEM>> items;

  void SetUp() override {
    d = T_MENU_psData();
    *d = MENU_DATA{};
  }
  void TearDown() override { *d = MENU_DATA{}; }

  MENU_ITEM *add(MENU_TITLE title, MENU_CONTROL control, const ICON *pIcon = nullptr) {
    items.push_back(std::make_unique<MENU_ITEM>());
    MENU_ITEM *p = items.back().get();
    *p = MENU_ITEM{};
    p->pMenuTitle = title;
    p->control = control;
    p->pMenuIcon = pIcon;
    p->activeLevel = M_BASIC;
    p->priority = NO_PRIORITY;
    p->dataFormat = DF_SIGNED32;
    d->activeMenuList[d->numActiveMenuItems++] = p;
    return p;
  }
  MENU_ITEM *selector(MENU_TITLE title) {
    MENU_ITEM *p = add(title, M_SELECTION_BOX);
    p->parameters.selector.pSelectionList = kChoices;
    p->parameters.selector.pSelectionValueArray = kValues;
    p->parameters.selector.numberSelections = 2;
    p->parameters.selector.CurSelection = 1;
    p->parameters.selector.FourCharId = FCID("SZZZ");
    std::strcpy(p->value_string, "Automatic");
    return p;
  }
  void window(S32 top, S32 bottom, S32 highlighted) {
    d->TopMenuItem = d->TopSubMenuItem = top;
    d->BottomMenuItem = bottom;
    d->activeMenuItemIndex = highlighted;
  }
};

TEST_F(MenuDrawTest, HotMenuOfThreeRowsHangsFrom476CentredOn479) {
  d->activeMenu = ZEPHRIN_MENU;
  d->bShowMenuList = TRUE;
  d->hotMenus[0].numMenuItems = 3;
  add(&kBacklight, M_ACTION, &Light_icon);
  selector(&kMode);
  add(&kAlarms, M_SUB_MENU)->parameters.submenu.numberChoices = 1;
  window(0, 2, 1);
  TestBitmap bmp(800, 480, kBackground);
  T_MENU_vDrawHotMenuLayer(bmp.p(), nullptr);
  const Extent e = extentOf(bmp, color(MENU_COLOR_FRAME));
  const S32 W = static_cast<S32>(T_MENU_u32GetMinMenuWidth());
  EXPECT_EQ(e.top - e.bottom + 1, 3 * 59 + 5);
  EXPECT_EQ(e.bottom, 476 - 3 * 59 - 2);
  EXPECT_EQ(e.left, (640 - W) / 2 + 159);
  EXPECT_EQ(e.right, e.left + W + 3);
  vExpectGolden(bmp.p(), "hot_menu_3_rows");

  // Moving a value hides the other rows: only the highlighted one stays, with tabs above and below.
  d->bShowMenuList = FALSE;
  TestBitmap collapsed(800, 480, kBackground);
  T_MENU_vDrawHotMenuLayer(collapsed.p(), nullptr);
  vExpectGolden(collapsed.p(), "hot_menu_collapsed");
}

// A highlighted selection row whose title and value do not fit on one line: the title keeps the upper line
// alone; the value is not drawn over it (the box below shows the choice).
TEST_F(MenuDrawTest, AHighlightedRowNeverDrawsItsValueOverALongTitle) {
  d->activeMenu = ZEPHRIN_MENU;
  d->bShowMenuList = TRUE;
  d->hotMenus[0].numMenuItems = 1;
  MENU_ITEM *pRow = selector(&kSettings);
  window(0, 0, 0);
  auto frame = [&](const char *pcValue) {
    std::strcpy(pRow->value_string, pcValue);
    auto bmp = std::make_unique<TestBitmap>(800, 480, kBackground);
    T_MENU_vDrawHotMenuLayer(bmp->p(), nullptr);
    return bmp;
  };
  const auto titleOnly = frame("");
  const auto withValue = frame("Automatic");
  const POINT at = T_MENU_GetActiveItemAnchor();
  const S32 titleW = static_cast<S32>(G_STRING_u32GetWidth(T_MENU_pRowFont(), "Sonar Settings and Preferences"));
  int different = 0;
  for (PIXEL y = at.y + 30; y < at.y + 58; ++y) {
    for (PIXEL x = at.x; x < at.x + 6 + titleW + 4; ++x) different += titleOnly->at(x, y) != withValue->at(x, y);
  }
  EXPECT_EQ(different, 0);
}

TEST_F(MenuDrawTest, TwelveTabsMakeTheBar636Wide) {
  d->activeMenu = MAIN_MENU;
  for (U32 t = 0; t < NUM_TAB_PRIORITIES; t++) {
    d->mainMenuTabs[t] = MENU_TAB{kTabTitles[t], M_BASIC, &Setup_icon, 1, TRUE, nullptr, nullptr};
  }
  d->lastTabIndex = NUM_TAB_PRIORITIES - 1;
  d->activeTab = 5;
  d->bMenuItemActive = TRUE;
  add(&kBacklight, M_ACTION);
  selector(&kMode);
  window(0, 1, 1);
  TestBitmap bmp(800, 480, kBackground);
  T_MENU_vDrawMainMenuLayer(bmp.p(), nullptr);
  // Above the item panel only the bar and the active tab are white.
  const Extent e = extentOf(bmp, color(MENU_COLOR_FRAME), 452);
  EXPECT_EQ(e.left, 160);
  EXPECT_EQ(e.right, 160 + 636 - 1);
  vExpectGolden(bmp.p(), "main_menu_12_tabs");

  // In view 23 everything moves 38 pixels right.
  d->s32MainMenuOffset = 38;
  TestBitmap shifted(800, 480, kBackground);
  T_MENU_vDrawMainMenuLayer(shifted.p(), nullptr);
  EXPECT_EQ(extentOf(shifted, color(MENU_COLOR_FRAME), 452).left, 198);
}

TEST_F(MenuDrawTest, QuickSetupOfTwoRowsIs154HighAndCentred) {
  d->activeMenu = QUICK_SETUP_MENU;
  selector(&kLanguage);
  add(&kBacklight, M_ACTION);
  window(0, 1, 0);
  TestBitmap bmp(800, 480, kBackground);
  T_MENU_vDrawQuickMenuLayer(bmp.p(), nullptr);
  // The outline of the panel, below the instruction box.
  const Extent e = extentOf(bmp, color(MENU_COLOR_QUICK_LINE), 0, (480 - 154) / 2 + 156);
  EXPECT_EQ(e.top - e.bottom + 1, 154);
  EXPECT_EQ(e.bottom, (480 - 154) / 2 + 1);
  vExpectGolden(bmp.p(), "quick_setup_2_rows");
}

TEST_F(MenuDrawTest, SubMenuLeftEdgeByKind) {
  struct Case {
    ACTIVE_MENU kind;
    S32 offset;
    PIXEL left;  // the header's left edge
  } cases[] = {{ZEPHRIN_SUB_MENU, 0, 331}, {ZEPHRIN_SUB_MENU, 38, 369}, {MAIN_SUB_MENU, 38, 0}};
  for (const Case &c : cases) {
    SetUp();
    items.clear();
    d->activeMenu = c.kind;
    d->s32MainMenuOffset = c.offset;
    d->menuLevel = 1;
    d->subMenus[0].pSubMenuName = &kSounds;
    MENU_ITEM *pChecked = add(&kBacklight, M_CHECK_BOX), *pClear = add(&kAlarms, M_CHECK_LIST);
    pChecked->parameters.checkList = {1, checkedWhenOne, nullptr};
    pClear->parameters.checkList = {2, checkedWhenOne, nullptr};
    window(0, 1, 0);
    TestBitmap bmp(800, 480, kBackground);
    T_MENU_vDrawSubMenuLayer(bmp.p(), nullptr);
    EXPECT_EQ(extentOf(bmp, color(MENU_COLOR_FRAME)).left, c.left) << c.kind << " " << c.offset;
    if (c.kind == ZEPHRIN_SUB_MENU && c.offset == 0) vExpectGolden(bmp.p(), "sub_menu_hot");
  }
}

TEST_F(MenuDrawTest, EmptiedHotMenuClosesAtTheNextFrame) {
  d->activeMenu = ZEPHRIN_MENU;
  d->bShowMenuList = TRUE;
  add(&kBacklight, M_ACTION);
  window(0, 0, 0);
  TestBitmap bmp(800, 480, kBackground);
  T_MENU_vDrawHotMenuLayer(bmp.p(), nullptr);  // the slot's own list is empty
  EXPECT_EQ(d->activeMenu, NO_MENU);
  EXPECT_EQ(bmp.points(kBackground).size(), 800u * 480u);
}

TEST_F(MenuDrawTest, FloatingMenuShowsItsAlternativeCaption) {
  d->activeMenu = FLOATING_MENU;
  FLOATING_MENU_TYPE &m = d->floatingMenus[0];
  m.pFloatingMenuName = &kSettings;
  std::strcpy(m.aStrAltName, "Waypoint 12");
  MENU_ITEM *pIconOnly = add(&kBacklight, M_ACTION_EXT, &Light_icon);
  pIconOnly->parameters.actionExt.bDispIconOnly = TRUE;
  pIconOnly->parameters.actionExt.bDispIconAlways = TRUE;
  MENU_ITEM *pAlways = add(&kAlarms, M_ACTION_EXT, &Alarm_icon);
  pAlways->parameters.actionExt.bDispIconAlways = TRUE;
  window(0, 1, 1);
  TestBitmap title(800, 480, kBackground), alt(800, 480, kBackground);
  T_MENU_vDrawSubMenuLayer(title.p(), nullptr);
  const U32 u32TitleWidth = T_MENU_u32GetMinMenuWidth();
  m.bDisplayAltName = TRUE;
  T_MENU_vDrawSubMenuLayer(alt.p(), nullptr);
  // The long title widens the menu; the short caption does not.
  EXPECT_GT(u32TitleWidth, T_MENU_u32GetMinMenuWidth());
  vExpectGolden(alt.p(), "floating_alt_caption");
}

TEST_F(MenuDrawTest, SingleCentredMenuHasNoHeaderAndIsCentred) {
  d->activeMenu = SINGLE_CENTERED_MENU;
  d->singleCenteredMenus[0].pSingleCenteredMenuName = &kBacklight;
  H_DATABASE_bUpdateEverythingS32(FCID("SZBL"), 4, P_NORMAL, D_SIGNED32, nullptr, DB_NO_TIMEOUT);
  MENU_ITEM *p = add(&kBacklight, M_SLIDER);
  p->parameters.slider.FourCharId = FCID("SZBL");
  p->parameters.slider.pLimits = kLimits;
  p->DataType = D_SIGNED32;
  window(0, 0, 0);
  TestBitmap bmp(800, 480, kBackground);
  T_MENU_vDrawSubMenuLayer(bmp.p(), nullptr);
  const Extent e = extentOf(bmp, color(MENU_COLOR_FRAME));
  const S32 W = static_cast<S32>(T_MENU_u32GetMinMenuWidth());
  EXPECT_EQ(e.left, (800 - W) / 2 - 1);
  EXPECT_EQ(extentOf(bmp, color(MENU_COLOR_DARK)).top, 476);
  vExpectGolden(bmp.p(), "single_centred_slider");
}

TEST(MenuConfirm, BoxPlacementByTheRow) {
  struct Case {
    PIXEL rowY;
    MENU_TITLE title;
    PIXEL bottom;
    bool wide;  // B = 640 from x = -1, else centred on the row
  } cases[] = {{20, &kReset, 0, false},   {23, &kReset, 0, false},  {24, &kReset, 0, false},
               {200, &kReset, 176, false}, {374, &kReset, 373, false}, {200, &kLong, 176, true}};
  for (const Case &c : cases) {
    MENU_ITEM item{};
    item.pMenuTitle = c.title;
    item.control = M_ACTION;
    TestBitmap bmp(800, 480, kBackground);
    T_MENU_vDrawConfirmBox(bmp.p(), &item, POINT{100, c.rowY}, 400);
    const Extent e = extentOf(bmp, color(MENU_COLOR_FRAME));
    EXPECT_EQ(e.bottom, c.bottom) << c.rowY;
    EXPECT_EQ(e.top - e.bottom + 1, std::min<PIXEL>(108, 480 - c.bottom)) << c.rowY;
    if (c.wide) {
      EXPECT_EQ(e.left, 0);
      EXPECT_EQ(e.right, 640);  // x = -1, 642 wide
    } else {
      EXPECT_EQ(e.left + (e.right - e.left + 1) / 2, 100 + 400 / 2) << c.rowY;
    }
  }
  MENU_ITEM item{};
  item.pMenuTitle = &kReset;
  item.control = M_ACTION;
  TestBitmap bmp(800, 480, kBackground);
  T_MENU_vDrawConfirmBox(bmp.p(), &item, POINT{100, 10}, 400);
  vExpectGolden(bmp.p(), "confirm_box");
}

TEST_F(MenuDrawTest, WidthsOfRows) {
  d->activeMenu = ZEPHRIN_MENU;
  EXPECT_EQ(T_MENU_u32FindMinMenuWidths(0),
            G_STRING_u32GetWidth(std_16x17_font_def_ptr, "No Menus Available") + 12);
  add(&kLong, M_ACTION);
  add(&kLong, M_ACTION);
  EXPECT_EQ(T_MENU_u32FindMinMenuWidths(2), 637u);
  SetUp();
  items.clear();
  selector(&kMode);
  window(0, 0, 0);
  const U32 u32W = T_MENU_u32FindMinMenuWidths(1);
  EXPECT_EQ(T_MENU_u32GetMinSelectorWidth(), 148u);
  EXPECT_GE(u32W, 148u);
}

}  // namespace

namespace {

class MenuRowTitleTest : public MenuDrawTest {
 protected:
  void SetUp() override {
    MenuDrawTest::SetUp();
    NAV_STANDIN_vReset();
    NAV_STANDIN_vSetWaypoint(2, "Dock", 5);
    NAV_STANDIN_vSetWaypoint(3, "Anchor", 71);
    NAVDATA_STANDIN_vSetRouteName(4, "Lake Loop");
    NAVDATA_STANDIN_vSetWendrixName(6, "Shore");
    H_DATABASE_bUpdateEverythingU32(FCID("IRT2"), 4, P_NORMAL, D_UNSIGNED32, nullptr, DB_NO_TIMEOUT);
    H_DATABASE_bUpdateEverythingU32(FCID("CLWC"), 2, P_NORMAL, D_UNSIGNED32, nullptr, DB_NO_TIMEOUT);
    H_DATABASE_bUpdateEverythingU32(FCID("ICWP"), 3, P_NORMAL, D_UNSIGNED32, nullptr, DB_NO_TIMEOUT);
    H_DATABASE_bUpdateEverythingU32(FCID("ICIT"), 6, P_NORMAL, D_UNSIGNED32, nullptr, DB_NO_TIMEOUT);
    H_DATABASE_bUpdateEverythingS32(FCID("CCRT"), 4, P_NORMAL, D_SIGNED32, nullptr, DB_NO_TIMEOUT);
  }
  MENU_ITEM *list(FOURCHARID key) {
    MENU_ITEM *p = add(&kMode, M_ACTION_LIST);
    p->parameters.actionList.FourCharId = key;
    p->parameters.actionList.pActionListChoices = kChoices;
    p->parameters.actionList.numberChoices = 2;
    return p;
  }
};

TEST_F(MenuRowTitleTest, ActionListRowsNameTheirObject) {
  struct Case {
    FOURCHARID key;
    MENU_ROW_NAMES names;
    const char *title;
  } cases[] = {
      {FCID("IRT2"), MENU_ROW_NAMES_ALL, "Mode Lake Loop"},  {FCID("IRT2"), MENU_ROW_NAMES_ROUTES, "Mode Lake Loop"},
      {FCID("CLWC"), MENU_ROW_NAMES_ALL, "Mode Dock"},       {FCID("CLWC"), MENU_ROW_NAMES_ROUTES, "Mode"},
      {FCID("ICWP"), MENU_ROW_NAMES_ALL, "Strelloq Anchor"}, {FCID("ICIT"), MENU_ROW_NAMES_ALL, "Mode Shore"},
      {0, MENU_ROW_NAMES_ALL, "Mode"},
  };
  for (const Case &c : cases) {
    MENU_ITEM *p = list(c.key);
    char ac[96];
    T_MENU_vRowTitle(p, c.names, ac, sizeof ac);
    EXPECT_STREQ(ac, c.title);
  }
  // Waypoint rows take the waypoint's icon, the recorded-path row its own.
  MENU_ITEM *p = list(FCID("CLWC"));
  char ac[96];
  T_MENU_vRowTitle(p, MENU_ROW_NAMES_ALL, ac, sizeof ac);
  EXPECT_EQ(p->pMenuIcon, g_NAV_Icons_Large[5]);
  p = list(FCID("ICIT"));
  T_MENU_vRowTitle(p, MENU_ROW_NAMES_ALL, ac, sizeof ac);
  EXPECT_EQ(p->pMenuIcon, &Vantrel_Wendrix_icon);
  // The current route follows its action row.
  MENU_ITEM *pRoute = add(&kMode, M_ACTION);
  pRoute->priority = MENU_CURRENT_ACTIVE_ROUTE;
  T_MENU_vRowTitle(pRoute, MENU_ROW_NAMES_ALL, ac, sizeof ac);
  EXPECT_STREQ(ac, "Mode Lake Loop");
}

TEST_F(MenuRowTitleTest, UnknownActionListKeyIsFatal) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  list(FCID("QQQQ"));
  EXPECT_EXIT(T_MENU_u32FindMinMenuWidths(1), ::testing::ExitedWithCode(10), "");
}

TEST(MenuWidths, NumericEntryBoxByLimits) {
  const U32 u32Zero = G_STRING_u32GetWidth(std_11x14_font_def_ptr, "0");
  struct Case {
    DATA_FORMAT format;
    DB_DATA_TYPE min, max;
    U8 precision;
    U32 digits;
  } cases[] = {
      {DF_SIGNED32, {.s32Val = -20}, {.s32Val = 100}, 0, 4},  // three digits and the sign
      {DF_UNSIGNED32, {.u32Val = 0}, {.u32Val = 9}, 0, 1},
      {DF_FLOAT, {.fVal = 0.0f}, {.fVal = 50.0f}, 1, 3},
  };
  for (const Case &c : cases) {
    M_NUMERIC_ENTRY_PARAMETERS p{};
    p.minValue = c.min;
    p.maxValue = c.max;
    p.u8precision = c.precision;
    EXPECT_EQ(T_MENU_u32FindNumericEntryBoxWidth(&p, c.format), c.digits * u32Zero + 6) << c.format;
  }
}

}  // namespace
