// Menus for every task: the registration messages that tasks post to the menu task (task 15, mailbox 15,
// 'TMNU'), the item descriptor with its per-control parameters, and the client functions that build and post
// them. Menus, tabs and items are named by the address of their 22-language title array; everything passed by
// address (titles, choice lists, limits, callbacks) must live as long as the program.
#pragma once
#include "draw/icon.h"
#include "view/view.h"
#include "settings/database.h"
#include "settings/language.h"
#include "kernel/mbox.h"
#include "ui/menu/menu_priority.h"

// A title: the address of a 22-language text array.
typedef const ARRAY_OF_STRING_PTRS *MENU_TITLE;
// A list of titles, one per choice.
typedef const MENU_TITLE *MENU_TITLE_LIST;
typedef void (*MENU_FUNCTION)(void);
typedef BOOLEAN (*GET_CHECK_FUNC)(U32 u32Context);
typedef BOOLEAN (*SET_CHECK_FUNC)(U32 u32Context);

enum MENU_CONTROL : U32 {
  M_SLIDER = 0,
  M_PROGRESS_BAR = 1,
  M_SELECTION_BOX = 2,
  M_SELECTION_BUTTONS = 3,
  M_NUMERIC_ENTRY = 4,
  M_ALPHA_NUMERIC_ENTRY = 5,
  M_ACTION = 6,
  M_SUB_MENU = 7,
  M_ACTION_LIST = 8,
  M_ACTION_LIST_SHRUNKEN = 9,
  M_CHECK_LIST = 10,
  M_CHECK_BOX = 11,
  M_ACTION_HOT = 12,
  M_SUB_MENU_HOT = 13,
  M_SLIDER_VARIABLE_STEP = 14,
  M_SLIDER_IMMEDIATE = 15,
  M_ACTION_EXT = 16,
  M_ANGLE_ADJUST = 17,
};

// The lowest user level ('CUSR') at which an item or tab is shown.
enum MENU_USER_LEVEL : U32 { M_BASIC = 1, M_ADVANCED = 2, M_SUPER_USER = 3, M_DIAGNOSTIC = 4 };

// Slot and order of a main-menu tab.
typedef enum tag_TAB_PRIORITY : U32 {
  ALARM_TAB_PRIORITY = 0,
  SONAR_TAB_PRIORITY = 1,
  SIDEVIEW_TAB_PRIORITY = 2,
  SONAR_3D_TAB_PRIORITY = 3,
  NAV_TAB_PRIORITY = 4,
  CHART_TAB_PRIORITY = 5,
  SETUP_TAB_PRIORITY = 6,
  SELECT_VIEWS_TAB_PRIORITY = 7,
  ACCESSORY_TAB_PRIORITY = 8,
  NETWORK_TAB_PRIORITY = 9,
  DATA_TAB_PRIORITY = 10,
  SUMMIT_TAB_PRIORITY = 11,
  NUM_TAB_PRIORITIES = 12,
} TAB_PRIORITY;

// The kind of menu that is open, published in 'CMNU'.
enum ACTIVE_MENU : U32 {
  NO_MENU = 0,
  QUICK_SETUP_MENU = 1,
  ZEPHRIN_MENU = 2,
  MAIN_MENU = 3,
  ZEPHRIN_SUB_MENU = 4,
  MAIN_SUB_MENU = 5,
  MAIN_SUB_MENU_1 = 6,
  MAIN_SUB_MENU_2 = 7,
  MAIN_SUB_MENU_3 = 8,
  INFO_MENU = 9,
  FLOATING_MENU = 10,
  SINGLE_CENTERED_MENU = 11,
  INFO_SUB_MENU = 12,
  MAIN_GRP_MENU = 13,
};

// One row of a value-range table; the table ends with a row whose Units is U_NONE (also the default row).
typedef struct {
  UNIT_TYPE Units;
  float fMinimum;
  float fMaximum;
  float fIncrement;
} MENU_LIMITS;

// One row of a step-acceleration table of a variable-step slider, parallel to the limits rows.
typedef struct {
  UNIT_TYPE Units;
  float fStep1;
  float fStep2;
} MENU_STEP_LEVELS;

// Steps of a variable-step slider.
enum STEP_LEVEL : U32 { VAR_STEP_1 = 1, VAR_STEP_2 = 5, VAR_STEP_3 = 10 };

// Parameter records, one per control family. Fields marked "menu task" are filled by the menu task in its own
// copy of the item, never by the registration functions.
typedef struct {
  FOURCHARID FourCharId;
  DB_DATA_TYPE minValue, maxValue, stepValue, accelStep1, accelStep2;  // menu task
  MENU_TITLE valueStrSuffix;
  MENU_TITLE pCtrlTextLeft;
  MENU_TITLE pCtrlTextRight;
  char maxString[12];  // menu task
  char minString[12];  // menu task
  const MENU_LIMITS *pLimits;
  const MENU_STEP_LEVELS *pLevels;  // variable-step sliders only
  U8 u8precision;                   // menu task
} M_SLIDER_PARAMETERS;

typedef struct {
  FOURCHARID FourCharId;
  DB_DATA_TYPE minValue, maxValue, stepValue;  // menu task
  MENU_TITLE valueStrSuffix;
  MENU_TITLE pCtrlTextLeft;
  MENU_TITLE pCtrlTextRight;
  char maxString[12];
  char minString[12];
  const MENU_LIMITS *pLimits;
  U8 u8precision;
} M_PROGRESS_BAR_PARAMETERS;

typedef struct {
  FOURCHARID FourCharId;
  DB_DATA_TYPE maxValue, minValue, stepValue;  // menu task; maximum first
  MENU_TITLE valueStrSuffix;
  MENU_TITLE pCtrlTextLeft;
  MENU_TITLE pCtrlTextRight;
  char maxString[12];
  char minString[12];
  const MENU_LIMITS *pLimits;
  U8 u8precision;
} M_NUMERIC_ENTRY_PARAMETERS;

typedef struct {
  FOURCHARID FourCharId;
  MENU_TITLE_LIST pSelectionList;         // or null: then the icons
  const ICON *const *pSelectionIcons;
  const U32 *pSelectionValueArray;        // the setting's value of each choice
  U8 CurSelection;                        // menu task
  U32 numberSelections;
} M_SELECTION_BOX_PARAMETERS;

typedef struct {
  FOURCHARID FourCharId;
  MENU_TITLE_LIST pButtonText;
  U32 numberButtons;
} M_SELECTION_BUTTONS_PARAMETERS;

typedef struct {
  U32 maxStringLength;
} M_ALPHA_NUMERIC_ENTRY_PARAMETERS;

typedef struct {
  MENU_TITLE_LIST pSubMenuChoices;
  MENU_TITLE_LIST pSubMenuNames;  // the sub-menu each choice opens
  const ICON *const *pSubMenuIcons;
  U32 numberChoices;
  MENU_FUNCTION pt2Function;  // run as well, or null
  BOOLEAN bIsActive;          // menu task: list expanded
  S32 lastUsedMenuItem;       // menu task
  S32 subMenuID;              // menu task: slot of choice 0
} M_SUB_MENU_PARAMETERS;

typedef struct {
  MENU_TITLE_LIST pActionListChoices;
  U32 numberChoices;
  const MENU_FUNCTION *pt2Function;  // one per choice
  BOOLEAN bIsActive;                 // menu task: list expanded
  S32 lastUsedMenuItem;              // menu task
  FOURCHARID FourCharId;             // marks the current choice, or 0
  const BOOLEAN *bConfirm;           // one per choice, or null
} M_ACTION_LIST_PARAMETERS;

typedef struct {
  MENU_FUNCTION pt2Function;
  BOOLEAN confirm;
} M_ACTION_PARAMETERS;

typedef struct {
  U32 context;
  GET_CHECK_FUNC getCheck;
  SET_CHECK_FUNC setCheck;
} M_CHECK_LIST_PARAMETERS;

typedef struct {
  MENU_FUNCTION pt2Function;
  BOOLEAN confirm;
  BOOLEAN bDispIconAlways;
  BOOLEAN bDispIconOnly;
} M_ACTION_EXT_PARAMETERS;

typedef struct {
  FOURCHARID FourCharId;
  DB_DATA_TYPE minValue, maxValue, stepValue;  // S32 values
  DB_DATA_TYPE accelStep1, accelStep2;         // not used by this kind
  const MENU_LIMITS *pLimits;                  // not used by this kind
  BOOLEAN bWrapOver;
  MENU_TITLE pChkItemName;
  const ICON *pChkIcon;
  MENU_FUNCTION fnCbOnInfo;  // INFO key
} M_ANGLE_ADJUST_PARAMETERS;

typedef union {
  M_SLIDER_PARAMETERS slider;
  M_PROGRESS_BAR_PARAMETERS progress;
  M_SELECTION_BOX_PARAMETERS selector;
  M_SELECTION_BUTTONS_PARAMETERS button;
  M_NUMERIC_ENTRY_PARAMETERS numEntry;
  M_ALPHA_NUMERIC_ENTRY_PARAMETERS alphaEntry;
  M_ACTION_PARAMETERS action;
  M_SUB_MENU_PARAMETERS submenu;
  M_ACTION_LIST_PARAMETERS actionList;
  M_CHECK_LIST_PARAMETERS checkList;
  M_ACTION_EXT_PARAMETERS actionExt;
  M_ANGLE_ADJUST_PARAMETERS angleadjust;
} CONTROL_PARAMETERS;

typedef struct {
  MENU_TITLE pMenuName;
  MENU_PRIORITY menuPriority;
  MENU_USER_LEVEL menuUserLevel;
  MENU_CONTROL control;
  CONTROL_PARAMETERS parameters;
} MENU_DESCRIPTOR;

// Messages to the menu task.
typedef struct {
  GENERIC_MESSAGE header;  // CMD_ID_REGISTER_MENU_TAB
  MENU_TITLE pTabName;
  TAB_PRIORITY priority;
  const ICON *pTabIcon;
  MENU_USER_LEVEL menuUserLevel;
} MSG_ADD_MENU_TAB;

typedef struct {
  GENERIC_MESSAGE header;  // CMD_ID_REGISTER_MENU_ITEM or CMD_ID_REGISTER_FLOATING_MENU_ITEM
  MENU_TITLE pTabName;     // the floating menu's title for CMD_ID_REGISTER_FLOATING_MENU_ITEM
  LAYER_ID view;
  SPLIT_WINDOW_TYPE splitType;
  MENU_TITLE pSubMenuName;
  MENU_TITLE pInfoMenuName;
  const ICON *pMenuIcon;
  MENU_DESCRIPTOR descriptor;
} MSG_ADD_MENU_ITEM;

typedef struct {
  GENERIC_MESSAGE header;  // CMD_ID_REGISTER_SUB_MENU
  MENU_TITLE pSubMenuName;
  MENU_PRIORITY priority;  // not read by the menu task
  const ICON *pMenuIcon;
  MENU_USER_LEVEL menuUserLevel;  // not read by the menu task
} MSG_ADD_SUB_MENU;

typedef struct {
  GENERIC_MESSAGE header;  // CMD_ID_REGISTER_HOT_MENU
  LAYER_ID view;
  SPLIT_WINDOW_TYPE type;
} MSG_ADD_HOT_MENU;

typedef struct {
  GENERIC_MESSAGE header;  // CMD_ID_REGISTER_INFO_MENU
  MENU_TITLE pInfoMenuName;
} MSG_ADD_INFO_MENU;

constexpr U32 MENU_ALT_NAME_SIZE = 20;

typedef struct {
  GENERIC_MESSAGE header;  // CMD_ID_REGISTER_FLOATING_MENU
  MENU_TITLE pFloatingMenuName;
  MENU_FUNCTION GoToKeyHandler;
  MENU_FUNCTION ExitKeyHandler;
  BOOLEAN bDisplayAltName;
  char aStrAltName[MENU_ALT_NAME_SIZE];  // zero-terminated
} MSG_ADD_FLOATING_MENU;

typedef struct {
  GENERIC_MESSAGE header;  // CMD_ID_UNREGISTER_FLOATING_MENU
  MENU_TITLE pFloatingMenuName;
} MSG_REMOVE_FLOATING_MENU;

typedef struct {
  GENERIC_MESSAGE header;  // CMD_ID_ACTIVATE_FLOATING_MENU
  MENU_TITLE pFloatingMenuName;
} MSG_ACTIVATE_FLOATING_MENU;

typedef struct {
  GENERIC_MESSAGE header;  // CMD_ID_UNREGISTER_SINGLE_CENTERED_MENU
  MENU_TITLE pSingleCenteredMenuName;
} MSG_REMOVE_SINGLE_CENTERED_MENU;

typedef struct {
  GENERIC_MESSAGE header;  // CMD_ID_REGISTER_SINGLE_CENTERED_MENU_ITEM
  MENU_TITLE pTabName;     // the single-centred menu's title
  LAYER_ID view;
  SPLIT_WINDOW_TYPE splitType;
  MENU_TITLE pSubMenuName;
  MENU_TITLE pInfoMenuName;
  const ICON *pMenuIcon;
  MENU_DESCRIPTOR descriptor;
  BOOLEAN bDisplayMenu;
  BOOLEAN bLoopSelection;
} MSG_ADD_SINGLE_CENTERED_MENU_ITEM;

typedef struct {
  GENERIC_MESSAGE header;  // CMD_ID_ACTIVATE_SINGLE_CENTERED_MENU
  MENU_TITLE pSingleCenteredMenuName;
  LAYER_ID eCurrentView;
  BOOLEAN bDisplayMenu;
  BOOLEAN bLoopSelection;
  MENU_TITLE pMenuLocation;
} MSG_ACTIVATE_SINGLE_CENTERED_MENU;

typedef struct {
  GENERIC_MESSAGE header;  // CMD_ID_UNREGISTER_MENU_TAB
  MENU_TITLE pTabName;
} MSG_REMOVE_TAB;

typedef struct {
  GENERIC_MESSAGE header;  // CMD_ID_UNREGISTER_MENU_ITEM
  MENU_TITLE pMenuName;
  MENU_TITLE pTabName;
  MENU_TITLE pInfoMenuName;  // not used by the menu task
  LAYER_ID view;
  SPLIT_WINDOW_TYPE splitType;
  MENU_TITLE pSubMenuName;
} MSG_REMOVE_MENU;

typedef struct {
  GENERIC_MESSAGE header;  // CMD_ID_ACTIVATE_INFO_MENU
  MENU_TITLE pInfoMenuName;
  MENU_TITLE_LIST pActiveMenus;
  U8 u8numActiveMenus;
} MSG_ACTIVATE_INFO_MENU;

typedef struct {
  GENERIC_MESSAGE header;  // CMD_ID_ACTIVATE_HOT_MENU
  LAYER_ID view;
} MSG_ACTIVATE_HOT_MENU;

typedef struct {
  GENERIC_MESSAGE header;  // CMD_ID_CLEAR_MENU, CMD_ID_HIDE_MENU or CMD_ID_RESTORE_MENU
} MSG_CLEAR_MENU;

// Shared titles: main-menu tabs, and the value suffix that hides a slider's value text.
extern const ARRAY_OF_STRING_PTRS Alarms;
extern const ARRAY_OF_STRING_PTRS Sonar;
extern const ARRAY_OF_STRING_PTRS Chart;
extern const ARRAY_OF_STRING_PTRS Setup;
extern const ARRAY_OF_STRING_PTRS Views;
extern const ARRAY_OF_STRING_PTRS Accessories;
extern const ARRAY_OF_STRING_PTRS Hidden;

// Client functions (any task). Each posts one message to the menu task at NORMAL_PRIORITY without
// acknowledgement; while 'TMNU' is missing or not valid nothing is allocated or posted and the BOOLEAN ones
// return FALSE.

// Tabs, menus and removals.
BOOLEAN U_MENU_bRegisterTab(MENU_TITLE pTabName, TAB_PRIORITY priority, const ICON *pTabIcon,
                            MENU_USER_LEVEL userLevel);
BOOLEAN U_MENU_bUnregisterTab(MENU_TITLE pTabName);
BOOLEAN U_MENU_bRegisterSubMenu(MENU_TITLE pSubMenuName, MENU_PRIORITY priority, const ICON *pMenuIcon,
                                MENU_USER_LEVEL userLevel);
BOOLEAN U_MENU_bRegisterZephrinMenu(LAYER_ID view, SPLIT_WINDOW_TYPE splitType);
BOOLEAN U_MENU_bRegisterInfoMenu(MENU_TITLE pMenuTitle);
void U_MENU_ActivateInfoMenu(MENU_TITLE pInfoMenuName, MENU_TITLE_LIST pActiveMenus, U8 u8numActiveMenus);
// With a text: at most its first 19 characters are kept. Without one the alternative name is not shown.
BOOLEAN U_MENU_bRegisterFloatingMenu(MENU_TITLE pMenuTitle, MENU_FUNCTION fnCbOnGoTo, MENU_FUNCTION fnCbOnExit,
                                     BOOLEAN bDisplayAltName, const char *pStrAltName);
BOOLEAN U_MENU_bUnregisterFloatingMenu(MENU_TITLE pFloatingMenuName);
void U_MENU_ActivateFloatingMenu(MENU_TITLE pFloatingMenuName);
// Opens the hot menu of a view in the menu task, after every registration posted before it has been filed.
BOOLEAN U_MENU_bActivateSpecifiedHotMenu(LAYER_ID view);
BOOLEAN U_MENU_bUnregisterSingleCenteredMenu(MENU_TITLE pSingleCenteredMenuName);
void U_MENU_vActivateSingleCenteredMenu(MENU_TITLE pMenuName, LAYER_ID eCurrentView, BOOLEAN bDisplayMenu,
                                        BOOLEAN bLoopValues, MENU_TITLE pMenuLocation);
BOOLEAN U_MENU_bUnregisterMainMenuItem(MENU_TITLE pMenuName, MENU_TITLE pTabName);
BOOLEAN U_MENU_bUnregisterSubMenuItem(MENU_TITLE pSubMenuName, MENU_TITLE pSubMenuItemName);
BOOLEAN U_MENU_bUnregisterHotMenuItem(MENU_TITLE pMenuName, LAYER_ID view, SPLIT_WINDOW_TYPE splitType);
BOOLEAN U_MENU_bUnregisterQuickMenuItem(MENU_TITLE pMenuName);
void U_MENU_vClearMenus(void);
void U_MENU_vHideMenus(void);
void U_MENU_vRestoreMenus(void);

// Main-menu tab items.
BOOLEAN U_MENU_bRegisterMainSliderMenu(MENU_TITLE pMenuName, MENU_TITLE pTabName, MENU_PRIORITY menuPriority,
                                       FOURCHARID FourCharId, const MENU_LIMITS *pLimits,
                                       MENU_TITLE pControlTextLeft, MENU_TITLE pControlTextRight,
                                       MENU_TITLE pValueSuffix, MENU_USER_LEVEL userLevel);
BOOLEAN U_MENU_bRegisterMainVarStepSliderMenu(MENU_TITLE pMenuName, MENU_TITLE pTabName, MENU_PRIORITY menuPriority,
                                              FOURCHARID FourCharId, const MENU_LIMITS *pLimits,
                                              const MENU_STEP_LEVELS *pLevels, MENU_TITLE pControlTextLeft,
                                              MENU_TITLE pControlTextRight, MENU_TITLE pValueSuffix,
                                              MENU_USER_LEVEL userLevel);
BOOLEAN U_MENU_bRegisterMainProgBarMenu(MENU_TITLE pMenuName, MENU_TITLE pTabName, MENU_PRIORITY menuPriority,
                                        FOURCHARID FourCharId, const MENU_LIMITS *pLimits,
                                        MENU_TITLE pControlTextLeft, MENU_TITLE pControlTextRight,
                                        MENU_TITLE pValueSuffix, MENU_USER_LEVEL userLevel);
BOOLEAN U_MENU_bRegisterMainNumEntryMenu(MENU_TITLE pMenuName, MENU_TITLE pTabName, MENU_PRIORITY menuPriority,
                                         FOURCHARID FourCharId, const MENU_LIMITS *pLimits,
                                         MENU_TITLE pControlTextLeft, MENU_TITLE pControlTextRight,
                                         MENU_TITLE pValueSuffix, MENU_USER_LEVEL userLevel);
BOOLEAN U_MENU_bRegisterMainSelectorMenu(MENU_TITLE pMenuName, MENU_TITLE pTabName, MENU_PRIORITY menuPriority,
                                         FOURCHARID FourCharId, U32 numSelctions, MENU_TITLE_LIST pSelectionList,
                                         const U32 *pSelectionValues, MENU_USER_LEVEL userLevel);
BOOLEAN U_MENU_bRegisterMainIconSelectorMenu(MENU_TITLE pMenuName, MENU_TITLE pTabName, MENU_PRIORITY menuPriority,
                                             FOURCHARID FourCharId, U32 numSelctions,
                                             const ICON *const *pSelectionIcons, const U32 *pSelectionValues,
                                             MENU_USER_LEVEL userLevel);
BOOLEAN U_MENU_bRegisterMainActionMenu(MENU_TITLE pMenuName, MENU_TITLE pTabName, MENU_PRIORITY menuPriority,
                                       MENU_FUNCTION p2Function, BOOLEAN bConfirm, MENU_USER_LEVEL userLevel);
BOOLEAN U_MENU_bRegisterMainActionListMenu(MENU_TITLE pMenuName, MENU_TITLE pTabName, MENU_PRIORITY menuPriority,
                                           MENU_TITLE_LIST pActionListChoices, const MENU_FUNCTION *pt2Function,
                                           U32 u32numActionItems, MENU_USER_LEVEL userLevel, FOURCHARID fourCharId,
                                           const BOOLEAN *bConfirm);
BOOLEAN U_MENU_bRegisterMainSubMenu(MENU_TITLE pMenuName, MENU_TITLE pTabName, MENU_PRIORITY menuPriority,
                                    MENU_TITLE_LIST pSumMenuChoices, MENU_TITLE_LIST pSumMenuNames,
                                    const ICON *const *pSubMenuIcons, U32 u32numSubMenus, MENU_USER_LEVEL userLevel);
BOOLEAN U_MENU_bRegisterMainSubMenuWithIcon(MENU_TITLE pMenuName, MENU_TITLE pTabName, const ICON *pMenuIcon,
                                            MENU_PRIORITY menuPriority, MENU_TITLE_LIST pSumMenuChoices,
                                            MENU_TITLE_LIST pSumMenuNames, const ICON *const *pSubMenuIcons,
                                            U32 u32numSubMenus, MENU_USER_LEVEL userLevel);
BOOLEAN U_MENU_bRegisterMainSubMenuWithAction(MENU_TITLE pMenuName, MENU_TITLE pTabName, MENU_PRIORITY menuPriority,
                                              MENU_TITLE_LIST pSumMenuChoices, MENU_TITLE_LIST pSumMenuNames,
                                              const ICON *const *pSubMenuIcons, U32 u32numSubMenus,
                                              MENU_USER_LEVEL userLevel, MENU_FUNCTION p2Function);

// Hot (Zephrin) menu items of a view and split side; view USED_BY_ALL for every hot menu.
BOOLEAN U_MENU_bRegisterHotSliderMenu(MENU_TITLE pMenuName, const ICON *pMenuIcon, MENU_PRIORITY menuPriority,
                                      FOURCHARID FourCharId, const MENU_LIMITS *pLimits,
                                      MENU_TITLE pControlTextLeft, MENU_TITLE pControlTextRight,
                                      MENU_TITLE pValueSuffix, MENU_USER_LEVEL userLevel, LAYER_ID view,
                                      SPLIT_WINDOW_TYPE splitType);
BOOLEAN U_MENU_bRegisterHotImmediateSliderMenu(MENU_TITLE pMenuName, const ICON *pMenuIcon,
                                               MENU_PRIORITY menuPriority, FOURCHARID FourCharId,
                                               const MENU_LIMITS *pLimits, MENU_TITLE pControlTextLeft,
                                               MENU_TITLE pControlTextRight, MENU_TITLE pValueSuffix,
                                               MENU_USER_LEVEL userLevel, LAYER_ID view,
                                               SPLIT_WINDOW_TYPE splitType);
BOOLEAN U_MENU_bRegisterHotVarStepSliderMenu(MENU_TITLE pMenuName, const ICON *pMenuIcon, MENU_PRIORITY menuPriority,
                                             FOURCHARID FourCharId, const MENU_LIMITS *pLimits,
                                             const MENU_STEP_LEVELS *pLevels, MENU_TITLE pControlTextLeft,
                                             MENU_TITLE pControlTextRight, MENU_TITLE pValueSuffix,
                                             MENU_USER_LEVEL userLevel, LAYER_ID view, SPLIT_WINDOW_TYPE splitType);
BOOLEAN U_MENU_bRegisterHotProgBarMenu(MENU_TITLE pMenuName, const ICON *pMenuIcon, MENU_PRIORITY menuPriority,
                                       FOURCHARID FourCharId, const MENU_LIMITS *pLimits,
                                       MENU_TITLE pControlTextLeft, MENU_TITLE pControlTextRight,
                                       MENU_TITLE pValueSuffix, MENU_USER_LEVEL userLevel, LAYER_ID view,
                                       SPLIT_WINDOW_TYPE splitType);
BOOLEAN U_MENU_bRegisterHotNumEntryMenu(MENU_TITLE pMenuName, const ICON *pMenuIcon, MENU_PRIORITY menuPriority,
                                        FOURCHARID FourCharId, const MENU_LIMITS *pLimits,
                                        MENU_TITLE pControlTextLeft, MENU_TITLE pControlTextRight,
                                        MENU_TITLE pValueSuffix, MENU_USER_LEVEL userLevel, LAYER_ID view,
                                        SPLIT_WINDOW_TYPE splitType);
BOOLEAN U_MENU_bRegisterHotSelectorMenu(MENU_TITLE pMenuName, const ICON *pMenuIcon, MENU_PRIORITY menuPriority,
                                        FOURCHARID FourCharId, U32 numSelctions, MENU_TITLE_LIST pSelectionList,
                                        const U32 *pSelectionValues, MENU_USER_LEVEL userLevel, LAYER_ID view,
                                        SPLIT_WINDOW_TYPE splitType);
BOOLEAN U_MENU_bRegisterHotIconSelectorMenu(MENU_TITLE pMenuName, const ICON *pMenuIcon, MENU_PRIORITY menuPriority,
                                            FOURCHARID FourCharId, U32 numSelctions,
                                            const ICON *const *pSelectionIcons, const U32 *pSelectionValues,
                                            MENU_USER_LEVEL userLevel, LAYER_ID view, SPLIT_WINDOW_TYPE splitType);
BOOLEAN U_MENU_bRegisterHotActionMenu(MENU_TITLE pMenuName, const ICON *pMenuIcon, MENU_PRIORITY menuPriority,
                                      MENU_FUNCTION p2Function, BOOLEAN bConfirm, MENU_USER_LEVEL userLevel,
                                      LAYER_ID view, SPLIT_WINDOW_TYPE splitType);
BOOLEAN U_MENU_bRegisterHotActionListMenu(MENU_TITLE pMenuName, const ICON *pMenuIcon, MENU_PRIORITY menuPriority,
                                          MENU_TITLE_LIST pActionListChoices, const MENU_FUNCTION *pt2Function,
                                          U32 u32numActionItems, MENU_USER_LEVEL userLevel, LAYER_ID view,
                                          SPLIT_WINDOW_TYPE splitType, FOURCHARID FourCharId,
                                          const BOOLEAN *bConfirm);
BOOLEAN U_MENU_bRegisterHotActionListShrunkenMenu(MENU_TITLE pMenuName, const ICON *pMenuIcon,
                                                  MENU_PRIORITY menuPriority, MENU_TITLE_LIST pActionListChoices,
                                                  const MENU_FUNCTION *pt2Function, U32 u32numActionItems,
                                                  MENU_USER_LEVEL userLevel, LAYER_ID view,
                                                  SPLIT_WINDOW_TYPE splitType, FOURCHARID FourCharId,
                                                  const BOOLEAN *bConfirm);
BOOLEAN U_MENU_bRegisterHotSubMenu(MENU_TITLE pMenuName, const ICON *pMenuIcon, MENU_PRIORITY menuPriority,
                                   MENU_TITLE_LIST pSumMenuChoices, MENU_TITLE_LIST pSumMenuNames,
                                   const ICON *const *pSubMenuIcons, U32 u32numSubMenus, MENU_USER_LEVEL userLevel,
                                   LAYER_ID view, SPLIT_WINDOW_TYPE splitType);
BOOLEAN U_MENU_bRegisterHotSubMenuWithNoArrow(MENU_TITLE pMenuName, const ICON *pMenuIcon, MENU_PRIORITY menuPriority,
                                              MENU_TITLE_LIST pSumMenuChoices, MENU_TITLE_LIST pSumMenuNames,
                                              const ICON *const *pSubMenuIcons, U32 u32numSubMenus,
                                              MENU_USER_LEVEL userLevel, LAYER_ID view, SPLIT_WINDOW_TYPE splitType);

// Sub-menu items.
BOOLEAN U_MENU_bRegisterSubMenuSliderMenu(MENU_TITLE pMenuName, MENU_TITLE pSubMenuName, const ICON *pMenuIcon,
                                          MENU_PRIORITY menuPriority, FOURCHARID FourCharId,
                                          const MENU_LIMITS *pLimits, MENU_TITLE pControlTextLeft,
                                          MENU_TITLE pControlTextRight, MENU_TITLE pValueSuffix,
                                          MENU_USER_LEVEL userLevel);
BOOLEAN U_MENU_bRegisterSubMenuProgBarMenu(MENU_TITLE pMenuName, MENU_TITLE pSubMenuName, const ICON *pMenuIcon,
                                           MENU_PRIORITY menuPriority, FOURCHARID FourCharId,
                                           const MENU_LIMITS *pLimits, MENU_TITLE pControlTextLeft,
                                           MENU_TITLE pControlTextRight, MENU_TITLE pValueSuffix,
                                           MENU_USER_LEVEL userLevel);
BOOLEAN U_MENU_bRegisterSubMenuNumEntryMenu(MENU_TITLE pMenuName, MENU_TITLE pSubMenuName, const ICON *pMenuIcon,
                                            MENU_PRIORITY menuPriority, FOURCHARID FourCharId,
                                            const MENU_LIMITS *pLimits, MENU_TITLE pControlTextLeft,
                                            MENU_TITLE pControlTextRight, MENU_TITLE pValueSuffix,
                                            MENU_USER_LEVEL userLevel);
BOOLEAN U_MENU_bRegisterSubMenuSelectorMenu(MENU_TITLE pMenuName, MENU_TITLE pSubMenuName, const ICON *pMenuIcon,
                                            MENU_PRIORITY menuPriority, FOURCHARID FourCharId, U32 numSelctions,
                                            MENU_TITLE_LIST pSelectionList, const U32 *pSelectionValues,
                                            MENU_USER_LEVEL userLevel);
BOOLEAN U_MENU_bRegisterSubMenuIconSelectorMenu(MENU_TITLE pMenuName, MENU_TITLE pSubMenuName, const ICON *pMenuIcon,
                                                MENU_PRIORITY menuPriority, FOURCHARID FourCharId, U32 numSelctions,
                                                const ICON *const *pSelectionIcons, const U32 *pSelectionValues,
                                                MENU_USER_LEVEL userLevel);
BOOLEAN U_MENU_bRegisterSubMenuActionMenu(MENU_TITLE pMenuName, MENU_TITLE pSubMenuName, const ICON *pMenuIcon,
                                          MENU_PRIORITY menuPriority, MENU_FUNCTION p2Function, BOOLEAN bConfirm,
                                          MENU_USER_LEVEL userLevel);
BOOLEAN U_MENU_bRegisterHotSubMenuActionMenu(MENU_TITLE pMenuName, MENU_TITLE pSubMenuName, const ICON *pMenuIcon,
                                             MENU_PRIORITY menuPriority, MENU_FUNCTION p2Function, BOOLEAN bConfirm,
                                             MENU_USER_LEVEL userLevel);
BOOLEAN U_MENU_bRegisterSubMenuActionListMenu(MENU_TITLE pMenuName, MENU_TITLE pSubMenuName, const ICON *pMenuIcon,
                                              MENU_PRIORITY menuPriority, MENU_TITLE_LIST pActionListChoices,
                                              const MENU_FUNCTION *pt2Function, U32 u32numActionItems,
                                              MENU_USER_LEVEL userLevel, FOURCHARID FourCharId);
BOOLEAN U_MENU_bRegisterSubMenuSubMenu(MENU_TITLE pMenuName, MENU_TITLE pSubMenuName, const ICON *pMenuIcon,
                                       MENU_PRIORITY menuPriority, MENU_TITLE_LIST pSumMenuChoices,
                                       MENU_TITLE_LIST pSumMenuNames, const ICON *const *pSubMenuIcons,
                                       U32 u32numSubMenus, MENU_USER_LEVEL userLevel);
BOOLEAN U_MENU_bRegisterSubMenuCheckBoxMenu(MENU_TITLE pMenuName, MENU_TITLE pSubMenuName, const ICON *pMenuIcon,
                                            MENU_PRIORITY menuPriority, U32 u32Context, GET_CHECK_FUNC getCheck,
                                            SET_CHECK_FUNC setCheck, MENU_USER_LEVEL userLevel);
BOOLEAN U_MENU_bRegisterSubMenuCheckListMenu(MENU_TITLE pMenuName, MENU_TITLE pSubMenuName, const ICON *pMenuIcon,
                                             MENU_PRIORITY menuPriority, U32 u32Context, GET_CHECK_FUNC getCheck,
                                             SET_CHECK_FUNC setCheck, MENU_USER_LEVEL userLevel);

// Info-menu items.
BOOLEAN U_MENU_bRegisterInfoActionMenu(MENU_TITLE pMenuName, MENU_TITLE pInfoMenuName, MENU_PRIORITY menuPriority,
                                       MENU_FUNCTION p2Function, BOOLEAN bConfirm, MENU_USER_LEVEL userLevel);
BOOLEAN U_MENU_bRegisterInfoActionListMenu(MENU_TITLE pMenuName, MENU_TITLE pInfoMenuName, MENU_PRIORITY menuPriority,
                                           MENU_TITLE_LIST pActionListChoices, const MENU_FUNCTION *pt2Function,
                                           U32 u32numActionItems, MENU_USER_LEVEL userLevel, FOURCHARID fourCharId,
                                           const BOOLEAN *bConfirm);

// Quick set-up items.
BOOLEAN U_MENU_bRegisterQuickSliderMenu(MENU_TITLE pMenuName, MENU_PRIORITY menuPriority, FOURCHARID FourCharId,
                                        const MENU_LIMITS *pLimits, MENU_TITLE pControlTextLeft,
                                        MENU_TITLE pControlTextRight, MENU_TITLE pValueSuffix,
                                        MENU_USER_LEVEL userLevel);
BOOLEAN U_MENU_bRegisterQuickVarStepSliderMenu(MENU_TITLE pMenuName, MENU_PRIORITY menuPriority,
                                               FOURCHARID FourCharId, const MENU_LIMITS *pLimits,
                                               const MENU_STEP_LEVELS *pLevels, MENU_TITLE pControlTextLeft,
                                               MENU_TITLE pControlTextRight, MENU_TITLE pValueSuffix,
                                               MENU_USER_LEVEL userLevel);
BOOLEAN U_MENU_bRegisterQuickSelectorMenu(MENU_TITLE pMenuName, MENU_PRIORITY menuPriority, FOURCHARID FourCharId,
                                          U32 numSelctions, MENU_TITLE_LIST pSelectionList,
                                          const U32 *pSelectionValues, MENU_USER_LEVEL userLevel);

// Floating-menu items: the floating menu's title first, the item's second.
BOOLEAN U_MENU_bRegisterFloatingMenuSliderItem(MENU_TITLE pFloatingMenuName, MENU_TITLE pSliderName,
                                               const ICON *pFloatingMenuItemIcon, MENU_PRIORITY menuPriority,
                                               FOURCHARID FourCharId, const MENU_LIMITS *pLimits,
                                               MENU_TITLE pControlTextLeft, MENU_TITLE pControlTextRight,
                                               MENU_TITLE pValueSuffix, MENU_USER_LEVEL userLevel);
BOOLEAN U_MENU_bRegisterFloatingMenuActionExtItem(MENU_TITLE pFloatingMenuName, MENU_TITLE pItemName,
                                                  const ICON *pFloatingMenuItemIcon, BOOLEAN bDispIconAlways,
                                                  BOOLEAN bDispIconOnly, MENU_PRIORITY menuItemPriority,
                                                  MENU_FUNCTION p2Function, BOOLEAN bConfirm,
                                                  MENU_USER_LEVEL userLevel);
BOOLEAN U_MENU_bRegisterFloatingMenuAngleAdjustItem(MENU_TITLE pFloatingMenuName, MENU_TITLE pItemName,
                                                    const ICON *pItemIcon, MENU_FUNCTION fnCbOnInfo,
                                                    MENU_PRIORITY menuPriority, FOURCHARID FourCharId,
                                                    S32 s32MinVal, S32 s32MaxVal, S32 s32StepVal, BOOLEAN bWrapOver,
                                                    MENU_TITLE pChkItemName, const ICON *pChkIcon,
                                                    MENU_USER_LEVEL userLevel);

// The single-centred menu: its title is also the item's title.
BOOLEAN U_MENU_bRegisterSingleCenteredMenuSliderMenu(MENU_TITLE pMenuName, FOURCHARID FourCharId,
                                                     const MENU_LIMITS *pLimits, MENU_TITLE pControlTextLeft,
                                                     MENU_TITLE pControlTextRight, MENU_TITLE pValueSuffix,
                                                     BOOLEAN bDisplayMenu, BOOLEAN bLoopValues);
BOOLEAN U_MENU_bRegisterSingleCenteredMenuVarStepSliderMenu(MENU_TITLE pMenuName, const ICON *pIcon,
                                                            FOURCHARID FourCharId, const MENU_LIMITS *pLimits,
                                                            const MENU_STEP_LEVELS *pLevels,
                                                            MENU_TITLE pControlTextLeft, MENU_TITLE pControlTextRight,
                                                            MENU_TITLE pValueSuffix, BOOLEAN bDisplayMenu,
                                                            BOOLEAN bLoopValues);
BOOLEAN U_MENU_bRegisterSingleCenteredMenuSelectorMenu(MENU_TITLE pMenuName, FOURCHARID FourCharId,
                                                       U32 u32numSelections, MENU_TITLE_LIST pSelectionList,
                                                       const U32 *pSelectionValues, BOOLEAN bDisplayMenu,
                                                       BOOLEAN bLoopValues);

// The menu task (task 15).
void T_MENU_vMain(void);

// Direct calls into the menu task's state from other tasks; each takes RES_MENU.
void T_MENU_vActivateSpecifiedHotMenu(LAYER_ID view);
void T_MENU_vActivateQuickMenu(void);
void T_MENU_vActivateMainMenu(void);
void T_MENU_vActiveSubMenuByMenuName(MENU_TITLE pTitle);
void T_MENU_vRemoveMenus(void);
void T_MENU_vDoRemoveSingleCenteredMenu(void);
void T_MENU_vRemoveHotMenuListIfActive(MENU_TITLE pTitle);
void T_MENU_vUpdateActivateMenu(ACTIVE_MENU eKind);
// When the single-centred menu is open on the item of that title: its value text (at most 32 bytes with the
// terminator) into pcText; otherwise pcText is left as it is.
void T_MENU_vGetSelection(MENU_TITLE pTitle, char *pcText);
