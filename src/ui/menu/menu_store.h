// The menu task's stores and navigation state, shared with the menu drawing layers. Only the menu task changes
// them; readers (the draw functions on the view task) hold RES_MENU while they look.
#pragma once
#include "draw/bitmap.h"
#include "ui/menu/menu.h"

constexpr U32 MENU_VALUE_STRING_SIZE = 32;
constexpr S32 MENU_NUM_TABS = NUM_TAB_PRIORITIES;
constexpr int MAX_HOT_MENUS = 48;
constexpr int MAX_SUB_MENUS = 70;
constexpr int MAX_INFO_MENUS = 4;
constexpr int MAX_FLOATING_MENUS = 4;
constexpr int MAX_SINGLE_CENTERED_MENUS = 1;
constexpr int MAX_ACTIVE_MENU_ITEMS = 60;  // rows of one menu that can be shown
constexpr int MAX_MENU_LEVELS = 4;         // nested sub-menus
constexpr S32 MENU_WINDOW_ROWS = 7;        // visible rows of every menu but the quick-setup one
constexpr S32 QUICK_MENU_WINDOW_ROWS = 3;

// One item held by the menu task, owned by the one list it is in.
typedef struct menu_item {
  MENU_TITLE pMenuTitle;               // identity and caption
  DB_DATA_TYPE value;                  // the setting's value, a choice index or the expanded choice of a list
  char value_string[MENU_VALUE_STRING_SIZE];
  MENU_CONTROL control;
  CONTROL_PARAMETERS parameters;
  MENU_USER_LEVEL activeLevel;
  MENU_PRIORITY priority;
  struct menu_item *pNextMenu;
  const ICON *pMenuIcon;
  UNIT_TYPE units;                     // unit in which the value is shown
  DB_DATA_TYPE unitsValue;             // the value in that unit, clamped to the limits
  DATA_TYPE DataType;
  DATA_FORMAT dataFormat;
  BOOLEAN bActive;                     // offered in info, floating and single-centred menus
  S32 *ps32SubMenuSlots;               // sub-menu items: the slot each choice opens (numberChoices entries)
} MENU_ITEM;

typedef struct {
  MENU_TITLE pTabTitle;  // null: slot unused
  MENU_USER_LEVEL activeLevel;
  const ICON *pTabIcon;
  S16 numMenuItems;
  BOOLEAN bTabActive;  // registered and visible at the current user level
  MENU_ITEM *pFirstItem;
  MENU_ITEM *pLastItem;
} MENU_TAB;

typedef struct {
  LAYER_ID view;  // 0: slot free
  SPLIT_WINDOW_TYPE type;
  S16 numMenuItems;
  MENU_ITEM *pFirstItem;
  MENU_ITEM *pLastItem;
  S32 lastUsedMenuItem;  // row highlighted when last closed
} HOT_MENU;

typedef struct {
  S16 numMenuItems;
  MENU_ITEM *pFirstItem;
  MENU_ITEM *pLastItem;
} USED_BY_ALL_HOT_MENUS;
typedef USED_BY_ALL_HOT_MENUS QUICK_MENU;

typedef struct {
  MENU_TITLE pSubMenuName;
  const ICON *pHelperIcon;
  BOOLEAN menuRegistered;
  S16 numMenuItems;
  MENU_ITEM *pFirstItem;
  MENU_ITEM *pLastItem;
  S32 lastUsedMenuItem;
} SUB_MENU;

typedef struct {
  MENU_TITLE pInfoMenuName;  // null: slot free
  S16 numMenuItems;
  MENU_ITEM *pFirstItem;
  MENU_ITEM *pLastItem;
} INFO_MENU_TYPE;

typedef struct {
  MENU_TITLE pFloatingMenuName;  // null: slot free
  char aStrAltName[MENU_ALT_NAME_SIZE];
  BOOLEAN bDisplayAltName;
  MENU_FUNCTION GoToKeyHandler;
  MENU_FUNCTION ExitKeyHandler;
  S16 numMenuItems;
  MENU_ITEM *pFirstItem;
  MENU_ITEM *pLastItem;
} FLOATING_MENU_TYPE;

typedef struct {
  MENU_TITLE pSingleCenteredMenuName;
  S16 numMenuItems;
  MENU_ITEM *pFirstItem;
  MENU_ITEM *pLastItem;
  BOOLEAN bLoopSelection;  // choices wrap around
} SINGLE_CENTERED_MENU_TYPE;

typedef struct {
  S32 s32_BottomMenuItem;
  S32 s32_TopMenuItem;
  S32 s32_LastActiveMenuIndex;
} MENU_ITEM_RANGE;

// Everything the menu task keeps. The fields carry the names of the task's statics without their "s_".
typedef struct {
  // Stores.
  MENU_TAB mainMenuTabs[NUM_TAB_PRIORITIES];
  HOT_MENU hotMenus[MAX_HOT_MENUS];
  USED_BY_ALL_HOT_MENUS savedHotMenuItems;
  QUICK_MENU quickMenu;
  SUB_MENU subMenus[MAX_SUB_MENUS];
  INFO_MENU_TYPE infoMenus[MAX_INFO_MENUS];
  FLOATING_MENU_TYPE floatingMenus[MAX_FLOATING_MENUS];
  SINGLE_CENTERED_MENU_TYPE singleCenteredMenus[MAX_SINGLE_CENTERED_MENUS];
  S32 lastTabIndex;   // highest tab in use (after a main-menu rebuild: highest visible tab)
  S32 SubMenuIndex;   // highest sub-menu slot in use
  S32 InfoMenuIndex;  // highest info-menu slot in use
  BOOLEAN bMenuHidden;

  // The open menu.
  ACTIVE_MENU activeMenu;
  MENU_ITEM *activeMenuList[MAX_ACTIVE_MENU_ITEMS];  // visible rows in order
  S16 numActiveMenuItems;
  S32 activeMenuItemIndex;  // highlighted row
  S32 TopMenuItem;          // window top: main, hot, quick-setup, floating and single-centred menus
  S32 TopSubMenuItem;
  S32 TopInfoMenuItem;
  S32 TopFloatingMenuItem;
  S32 TopSingleCenteredMenuItem;
  S32 BottomMenuItem;       // last visible row
  S32 BottomInfoMenuItem;
  S32 currentTopOffset;     // distance of the highlight from the top, kept across rebuilds
  S32 currentSubMenuTopOffset;
  S32 currentInfoMenuTopOffset;
  S32 currentFloatingMenuTopOffset;
  S32 currentSingleCenteredMenuTopOffset;
  BOOLEAN bMenuItemActive;  // main menu: focus in the list (FALSE: on the tab bar)
  S32 activeTab;
  U8 activeHotMenu;
  S32 activeSubMenu[MAX_MENU_LEVELS];
  S32 activeInfoMenu;
  S32 activeFloatingMenu;
  S32 activeSingleCenteredMenu;

  // Nesting.
  S32 menuLevel;  // 0..4
  ACTIVE_MENU callingMenu[MAX_MENU_LEVELS];
  MENU_ITEM *subMenuCallingItem[MAX_MENU_LEVELS];
  MENU_ITEM_RANGE MenuItemRange[MAX_MENU_LEVELS];
  U32 u32LastMainMenuIndex;

  // Flags.
  BOOLEAN bShowMenuList;        // the hot menu shows its whole list
  BOOLEAN bConfirmActive;       // an action's confirmation is shown
  BOOLEAN repeatActive;         // a cursor direction is held
  BOOLEAN bActivatingMainMenu;  // cleared by the main menu's first drawing, which rebuilds the rows
  BOOLEAN bLoopSelections;      // selection boxes wrap
  BOOLEAN bQuickConfigMenuDisplayed;
  BOOLEAN bReadoutMenuActivate;
  S32 s32MainMenuOffset;        // pixels the main menu and hot sub-menus move right
} MENU_DATA;

// The menu task's one instance.
MENU_DATA *T_MENU_psData(void);

// Rebuilds the visible rows of the open menu (the main menu's first drawing calls it).
void T_MENU_vUpdateActiveMenuList(void);
// Recomputes the bottom row (and the top when the rows end early) of a window of s32Rows rows.
void T_MENU_vUpdateBottomMenuIndex(S32 s32Rows, S32 *ps32Top);
// Refreshes the value, limits and texts of one item from its setting.
void T_MENU_vUpdateDisplayStrings(MENU_ITEM *pItem, BOOLEAN bForceUpdate);

// Layer draw functions of the menus, registered by the menu task.
void T_MENU_vDrawHotMenuLayer(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER pWindow);
void T_MENU_vDrawMainMenuLayer(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER pWindow);
void T_MENU_vDrawSubMenuLayer(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER pWindow);
void T_MENU_vDrawQuickMenuLayer(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER pWindow);
void T_MENU_vDrawConfirmMenuLayer(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER pWindow);
