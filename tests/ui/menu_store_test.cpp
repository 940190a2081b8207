// The menu stores: ordering by priority, replacement by title, hot menus with their used-by-all items, removals,
// floating menus and sub-menu slots.
#include "menu_test_env.h"

namespace {

const ARRAY_OF_STRING_PTRS TabA = SAME22("Tab A");
const ARRAY_OF_STRING_PTRS A = SAME22("A"), B = SAME22("B"), C = SAME22("C"), D = SAME22("D");
const ARRAY_OF_STRING_PTRS S1 = SAME22("S1"), S2 = SAME22("S2"), S3 = SAME22("S3"), Unknown = SAME22("?");
const ARRAY_OF_STRING_PTRS F1 = SAME22("F1"), F2 = SAME22("F2"), F3 = SAME22("F3"), F4 = SAME22("F4"),
                           F5 = SAME22("F5");
void vAction() {}

class MenuStoreTest : public MenuTest {
 protected:
  static void tab(MENU_TITLE pTab, TAB_PRIORITY slot) {
    ASSERT_TRUE(U_MENU_bRegisterTab(pTab, slot, nullptr, M_BASIC));
    drain();
  }
  static void tabItem(MENU_TITLE pItem, MENU_PRIORITY priority, MENU_TITLE pTab = &TabA) {
    ASSERT_TRUE(U_MENU_bRegisterMainActionMenu(pItem, pTab, priority, vAction, FALSE, M_BASIC));
    drain();
  }
  static void hotItem(MENU_TITLE pItem, LAYER_ID view, SPLIT_WINDOW_TYPE side, MENU_PRIORITY priority = NO_PRIORITY) {
    ASSERT_TRUE(U_MENU_bRegisterHotActionMenu(pItem, nullptr, priority, vAction, FALSE, M_BASIC, view, side));
    drain();
  }
  static const HOT_MENU *hot(LAYER_ID view, SPLIT_WINDOW_TYPE side) {
    for (const HOT_MENU &h : data().hotMenus) {
      if (h.view == view && h.type == side) return &h;
    }
    return nullptr;
  }
};

TEST_F(MenuStoreTest, ItemsStandInPriorityOrder) {
  const struct {
    const char *name;
    std::vector<std::pair<MENU_TITLE, MENU_PRIORITY>> registrations;
    std::vector<MENU_TITLE> expected;
  } cases[] = {
      {"later equal priority goes in front", {{&A, MENU_PRIORITY_5}, {&B, NO_PRIORITY}, {&C, MENU_PRIORITY_2}, {&D, MENU_PRIORITY_5}},
       {&C, &D, &A, &B}},
      {"equal head stays first", {{&A, MENU_PRIORITY_5}, {&B, MENU_PRIORITY_7}, {&C, MENU_PRIORITY_5}}, {&A, &C, &B}},
      {"unprioritised keep their order at the end", {{&A, NO_PRIORITY}, {&B, NO_PRIORITY}, {&C, MENU_PRIORITY_9}}, {&C, &A, &B}},
      {"same title keeps its place", {{&A, MENU_PRIORITY_1}, {&B, MENU_PRIORITY_2}, {&A, MENU_PRIORITY_9}}, {&A, &B}},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    T_MENU_vResetForTest();
    tab(&TabA, SETUP_TAB_PRIORITY);
    for (const auto &r : c.registrations) tabItem(r.first, r.second);
    const MENU_TAB &t = data().mainMenuTabs[SETUP_TAB_PRIORITY];
    EXPECT_EQ(titles(t.pFirstItem), c.expected);
    EXPECT_EQ(t.numMenuItems, static_cast<S16>(c.expected.size()));
    EXPECT_EQ(t.pLastItem->pMenuTitle, c.expected.back());
  }
}

TEST_F(MenuStoreTest, ReplacementKeepsTheItemInPlace) {
  tab(&TabA, SETUP_TAB_PRIORITY);
  tabItem(&A, MENU_PRIORITY_1);
  const MENU_ITEM *pBefore = data().mainMenuTabs[SETUP_TAB_PRIORITY].pFirstItem;
  ASSERT_TRUE(U_MENU_bRegisterMainSelectorMenu(&A, &TabA, MENU_PRIORITY_1, FCID("SXXX"), 0, nullptr, nullptr, M_ADVANCED));
  drain();
  const MENU_TAB &t = data().mainMenuTabs[SETUP_TAB_PRIORITY];
  EXPECT_EQ(t.pFirstItem, pBefore);
  EXPECT_EQ(t.pFirstItem->control, M_SELECTION_BOX);
  EXPECT_EQ(t.pFirstItem->activeLevel, M_ADVANCED);
  EXPECT_EQ(t.numMenuItems, 1);
}

TEST_F(MenuStoreTest, ItemsForUnknownMenusAreDropped) {
  tab(&TabA, SETUP_TAB_PRIORITY);
  tabItem(&A, MENU_PRIORITY_1, &Unknown);
  ASSERT_TRUE(U_MENU_bRegisterSubMenuActionMenu(&A, &Unknown, nullptr, MENU_PRIORITY_1, vAction, FALSE, M_BASIC));
  ASSERT_TRUE(U_MENU_bRegisterInfoActionMenu(&A, &Unknown, MENU_PRIORITY_1, vAction, FALSE, M_BASIC));
  ASSERT_TRUE(U_MENU_bRegisterTab(&B, static_cast<TAB_PRIORITY>(12), nullptr, M_BASIC));
  drain();
  EXPECT_EQ(data().mainMenuTabs[SETUP_TAB_PRIORITY].numMenuItems, 0);
  for (const SUB_MENU &s : data().subMenus) EXPECT_FALSE(s.menuRegistered);
  EXPECT_EQ(data().lastTabIndex, SETUP_TAB_PRIORITY);
}

TEST_F(MenuStoreTest, HotMenusTakeTheUsedByAllItems) {
  hotItem(&A, 40, SPLIT_LEFT_WINDOW, MENU_PRIORITY_1);  // creates the hot menu of view 40, left
  hotItem(&B, USED_BY_ALL, SPLIT_FULL_WINDOW, MENU_PRIORITY_2);
  hotItem(&C, 41, SPLIT_FULL_WINDOW, MENU_PRIORITY_0);  // created now: gets B as well
  const HOT_MENU *p40 = hot(40, SPLIT_LEFT_WINDOW);
  const HOT_MENU *p41 = hot(41, SPLIT_FULL_WINDOW);
  ASSERT_NE(p40, nullptr);
  ASSERT_NE(p41, nullptr);
  EXPECT_EQ(titles(p40->pFirstItem), (std::vector<MENU_TITLE>{&A, &B}));
  EXPECT_EQ(titles(p41->pFirstItem), (std::vector<MENU_TITLE>{&C, &B}));
  EXPECT_EQ(p41->numMenuItems, 2);
  EXPECT_EQ(data().savedHotMenuItems.numMenuItems, 1);
  // An item for the other side of an existing view is dropped.
  hotItem(&D, 40, SPLIT_RIGHT_WINDOW);
  EXPECT_EQ(p40->numMenuItems, 2);
  EXPECT_EQ(hot(40, SPLIT_RIGHT_WINDOW), nullptr);
}

TEST_F(MenuStoreTest, RemovalsFromHotMenus) {
  ASSERT_TRUE(U_MENU_bRegisterZephrinMenu(40, SPLIT_LEFT_WINDOW));
  ASSERT_TRUE(U_MENU_bRegisterZephrinMenu(40, SPLIT_RIGHT_WINDOW));
  ASSERT_TRUE(U_MENU_bRegisterZephrinMenu(41, SPLIT_FULL_WINDOW));
  drain();
  hotItem(&A, USED_BY_ALL, SPLIT_FULL_WINDOW);
  hotItem(&B, USED_BY_ALL, SPLIT_FULL_WINDOW);
  const struct {
    const char *name;
    MENU_TITLE pItem;
    LAYER_ID view;
    SPLIT_WINDOW_TYPE side;
    S16 left, right, other, saved;
  } cases[] = {
      {"one side", &A, 40, SPLIT_LEFT_WINDOW, 1, 2, 2, 2},
      {"full window matches every side", &B, 40, SPLIT_FULL_WINDOW, 0, 1, 2, 2},
      {"used by all, saved copy too", &A, USED_BY_ALL, SPLIT_FULL_WINDOW, 0, 0, 1, 1},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(U_MENU_bUnregisterHotMenuItem(c.pItem, c.view, c.side));
    drain();
    EXPECT_EQ(hot(40, SPLIT_LEFT_WINDOW)->numMenuItems, c.left);
    EXPECT_EQ(hot(40, SPLIT_RIGHT_WINDOW)->numMenuItems, c.right);
    EXPECT_EQ(hot(41, SPLIT_FULL_WINDOW)->numMenuItems, c.other);
    EXPECT_EQ(data().savedHotMenuItems.numMenuItems, c.saved);
  }
}

TEST_F(MenuStoreTest, QuickSetupItemsCanBeRemoved) {
  ASSERT_TRUE(U_MENU_bRegisterQuickSelectorMenu(&A, MENU_PRIORITY_0, FCID("SXXX"), 0, nullptr, nullptr, M_BASIC));
  ASSERT_TRUE(U_MENU_bRegisterQuickSelectorMenu(&B, MENU_PRIORITY_1, FCID("SXXX"), 0, nullptr, nullptr, M_BASIC));
  drain();
  ASSERT_EQ(data().quickMenu.numMenuItems, 2);
  ASSERT_TRUE(U_MENU_bUnregisterQuickMenuItem(&A));
  drain();
  EXPECT_EQ(titles(data().quickMenu.pFirstItem), std::vector<MENU_TITLE>{&B});
  EXPECT_EQ(data().quickMenu.numMenuItems, 1);
}

TEST_F(MenuStoreTest, FifthFloatingMenuReplacesTheFourth) {
  for (MENU_TITLE pMenu : {&F1, &F2, &F3, &F4}) {
    ASSERT_TRUE(U_MENU_bRegisterFloatingMenu(pMenu, nullptr, nullptr, FALSE, nullptr));
    ASSERT_TRUE(U_MENU_bRegisterFloatingMenuActionExtItem(pMenu, &A, nullptr, FALSE, FALSE, MENU_PRIORITY_0, vAction,
                                                          FALSE, M_BASIC));
  }
  ASSERT_TRUE(U_MENU_bRegisterFloatingMenu(&F5, nullptr, nullptr, TRUE, "Caption"));
  drain();
  EXPECT_EQ(data().floatingMenus[3].pFloatingMenuName, &F5);
  EXPECT_EQ(data().floatingMenus[3].numMenuItems, 0);
  EXPECT_EQ(data().floatingMenus[3].pFirstItem, nullptr);
  EXPECT_STREQ(data().floatingMenus[3].aStrAltName, "Caption");
  EXPECT_EQ(data().floatingMenus[2].pFloatingMenuName, &F3);
  EXPECT_EQ(data().floatingMenus[2].numMenuItems, 1);
  EXPECT_TRUE(data().floatingMenus[2].pFirstItem->bActive);
}

TEST_F(MenuStoreTest, RemovedTabComesBackWithItsItems) {
  tab(&TabA, SETUP_TAB_PRIORITY);
  tabItem(&A, MENU_PRIORITY_1);
  ASSERT_TRUE(U_MENU_bUnregisterTab(&TabA));
  drain();
  EXPECT_EQ(data().mainMenuTabs[SETUP_TAB_PRIORITY].pTabTitle, nullptr);
  tabItem(&B, MENU_PRIORITY_2);  // no such tab now: dropped
  tab(&TabA, SETUP_TAB_PRIORITY);
  EXPECT_EQ(titles(data().mainMenuTabs[SETUP_TAB_PRIORITY].pFirstItem), std::vector<MENU_TITLE>{&A});
}

// A title that already held a slot is not next to the slots of a later item's other choices.
TEST_F(MenuStoreTest, EachSubMenuChoiceOpensItsOwnSlot) {
  tab(&TabA, SETUP_TAB_PRIORITY);
  ASSERT_TRUE(U_MENU_bRegisterSubMenu(&S2, MENU_PRIORITY_0, nullptr, M_BASIC));
  ASSERT_TRUE(U_MENU_bRegisterSubMenu(&S3, MENU_PRIORITY_0, nullptr, M_BASIC));
  drain();
  static MENU_TITLE const kChoices[] = {&S1, &S2};
  ASSERT_TRUE(U_MENU_bRegisterMainSubMenu(&A, &TabA, MENU_PRIORITY_0, kChoices, kChoices, nullptr, 2, M_BASIC));
  ASSERT_TRUE(U_MENU_bRegisterSubMenuActionMenu(&B, &S1, nullptr, MENU_PRIORITY_0, vAction, FALSE, M_BASIC));
  ASSERT_TRUE(U_MENU_bRegisterSubMenuActionMenu(&C, &S2, nullptr, MENU_PRIORITY_0, vAction, FALSE, M_BASIC));
  drain();
  EXPECT_EQ(data().subMenus[2].pSubMenuName, &S1);
  // Open the main menu, focus the item, expand it, pick the second choice.
  key(KEY_BIT_MENU);
  ASSERT_EQ(data().activeMenu, MAIN_MENU);
  down();
  right();
  down();
  right();
  EXPECT_EQ(data().activeMenu, MAIN_SUB_MENU);
  EXPECT_EQ(data().activeSubMenu[0], 0);
  EXPECT_EQ(rows(), std::vector<MENU_TITLE>{&C});
}

}  // namespace
