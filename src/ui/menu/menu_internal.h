// Private interface between the parts of the menu task (stores, controls, opening and closing, keys). Every
// function here runs in the menu task, or in a caller that holds RES_MENU.
#pragma once
#include "kernel/timer.h"
#include "ui/keys/keyboard.h"
#include "ui/menu/menu_store.h"

// Menu keys of mailbox 15.
constexpr U32 MENU_KEYS_OPEN = 0xFB8A;        // VIEW, EXIT, MARK, GOTO, INFO, soft keys (+ two no-key bits)
constexpr U32 MENU_KEYS_QUICK = 0xFFEE;       // every key but POWER and CURSOR
constexpr U32 MENU_KEYS_CLOSE = 0xFB92;       // the open set with CURSOR, without EXIT
constexpr U32 MENU_KEYS_SINGLE_CLOSE = 0xFB9A;  // the open set with CURSOR and EXIT
constexpr TICKS MENU_EXIT_KEY_MS = 400;
constexpr TICKS MENU_SIDE_STEP_LOCK_MS = 500;
constexpr LAYER_ID NMEA2K_FIRST_DATA_VIEW = 67;
constexpr LAYER_ID NMEA2K_LAST_DATA_VIEW = 70;

// State of the task itself, not shown by the drawing.
typedef struct {
  TIMER_INFO *pExitTimer;     // owned by the menu task, allocated once
  BOOLEAN bExitTimerRunning;  // EXIT stays registered while it runs
  TICKS timer;                // last opening of the hot menu or last up/down direction
  U32 u32LastCursorDown;      // direction of the last cursor press
} MENU_TASK_STATE;

MENU_TASK_STATE *T_MENU_psTask(void);
TICKS T_MENU_tNow(void);

// Key clicks: the good click only on the first event of a press.
void T_MENU_vClickGood(U32 u32Count);
void T_MENU_vClickBad(void);

// Publishes the open kind in 'CMNU'.
void T_MENU_vSetActiveMenu(ACTIVE_MENU eKind);
// The highlighted item, or null.
MENU_ITEM *T_MENU_pHighlightedItem(void);
// The window top of the open kind.
S32 *T_MENU_ps32Top(void);
BOOLEAN T_MENU_bIsSubMenuKind(ACTIVE_MENU eKind);
BOOLEAN T_MENU_bIsMainSubMenuKind(ACTIVE_MENU eKind);
U32 T_MENU_u32UserLevel(void);

// Stores (menu_stores.cpp).
MENU_ITEM *T_MENU_pMenuItemInitEntry(const MENU_DESCRIPTOR *pDescriptor, const ICON *pMenuIcon);
MENU_ITEM *T_MENU_pCloneItem(const MENU_ITEM *pItem);
void T_MENU_vFreeItem(MENU_ITEM *pItem);
BOOLEAN T_MENU_bInsertItem(MENU_ITEM **ppHead, MENU_ITEM **ppTail, MENU_ITEM *pItem);
BOOLEAN T_MENU_bDeleteItem(MENU_ITEM **ppHead, MENU_ITEM **ppTail, MENU_TITLE pTitle);
// Frees every item of a list.
void T_MENU_vFreeList(MENU_ITEM **ppHead, MENU_ITEM **ppTail);
MENU_ITEM *T_MENU_pFindItem(MENU_ITEM *pHead, MENU_TITLE pTitle);
S32 T_MENU_s32FindTab(MENU_TITLE pTitle);
S32 T_MENU_s32FindSubMenu(MENU_TITLE pTitle);
void T_MENU_vRegisterMenuTab(const MSG_ADD_MENU_TAB *pMsg);
void T_MENU_vRegisterMenuItem(const MSG_ADD_MENU_ITEM *pMsg);
void T_MENU_vRegisterSubMenu(const MSG_ADD_SUB_MENU *pMsg);
void T_MENU_vRegisterHotMenu(LAYER_ID view, SPLIT_WINDOW_TYPE type);
void T_MENU_vRegisterInfoMenu(const MSG_ADD_INFO_MENU *pMsg);
void T_MENU_vRegisterFloatingMenu(const MSG_ADD_FLOATING_MENU *pMsg);
void T_MENU_vRegisterFloatingMenuItem(const MSG_ADD_MENU_ITEM *pMsg);
void T_MENU_vUnregisterFloatingMenu(const MSG_REMOVE_FLOATING_MENU *pMsg);
void T_MENU_vUnregisterSingleCenteredMenu(const MSG_REMOVE_SINGLE_CENTERED_MENU *pMsg);
void T_MENU_vUnregisterMenuTab(const MSG_REMOVE_TAB *pMsg);
void T_MENU_vUnregisterMenuItem(const MSG_REMOVE_MENU *pMsg);
void T_MENU_vClearFloatingMenu(S32 s32Slot);
void T_MENU_vClearSingleCenteredMenu(void);
// Empties every store and resets the navigation state (task start and tests).
void T_MENU_vResetStores(void);

// Controls (menu_controls.cpp).
U8 T_MENU_u8FindPrecision(float fStep);
U32 T_MENU_u32StepMultiplier(U32 u32Count);
BOOLEAN T_MENU_bIncrementValue(DATA_TYPE dataType, DB_DATA_TYPE *pValue, DB_DATA_TYPE *pUnitsValue,
                               DATA_FORMAT dataFormat, UNIT_TYPE units, DB_DATA_TYPE maxValue,
                               DB_DATA_TYPE stepValue, U32 u32Multiplier);
BOOLEAN T_MENU_bDecrementValue(DATA_TYPE dataType, DB_DATA_TYPE *pValue, DB_DATA_TYPE *pUnitsValue,
                               DATA_FORMAT dataFormat, UNIT_TYPE units, DB_DATA_TYPE minValue,
                               DB_DATA_TYPE maxValue, DB_DATA_TYPE stepValue, U32 u32Multiplier);
STEP_LEVEL T_MENU_eGetStepLevel(float fValue, float fLower, float fUpper, U32 *pu32Multiplier, BOOLEAN bUp);
void T_MENU_vHandleCursorKeyEast(U32 u32Count);
void T_MENU_vHandleCursorKeyWest(U32 u32Count);
// Writes an item's value to its key (owner priority 2).
void T_MENU_vWriteItemValue(const MENU_ITEM *pItem);
FOURCHARID T_MENU_fcidItemKey(const MENU_ITEM *pItem);
BOOLEAN T_MENU_bIsSlider(MENU_CONTROL control);
void T_MENU_vShowConfirmation(void);
void T_MENU_vHideConfirmation(void);
// Collapses an expanded sub-menu item or action list; TRUE when there was one.
BOOLEAN T_MENU_bCollapseItem(MENU_ITEM *pItem);
void T_MENU_vRefreshList(MENU_ITEM *pHead);

// Opening and closing (menu_open.cpp).
void T_MENU_vActivateHotMenu(void);
void T_MENU_vActivateSubMenu(S32 s32Slot);
void T_MENU_vDeactivateSubMenu(void);
void T_MENU_vUpdateActiveHotMenu(void);
void T_MENU_vDoRemoveMenus(BOOLEAN bWillPopNewMenu);
void T_MENU_vActivateInfoMenu(const MSG_ACTIVATE_INFO_MENU *pMsg);
void T_MENU_vActivateFloatingMenu(const MSG_ACTIVATE_FLOATING_MENU *pMsg);
void T_MENU_vActivateSingleCenteredMenu(const MSG_ACTIVATE_SINGLE_CENTERED_MENU *pMsg);
void T_MENU_vAddSingleCenteredMenuItem(const MSG_ADD_SINGLE_CENTERED_MENU_ITEM *pMsg);
BOOLEAN T_MENU_bMoveUpMenuList(S32 s32Rows);
BOOLEAN T_MENU_bMoveDownMenuList(S32 s32Rows);
void T_MENU_vRegisterMenuKeys(void);
void T_MENU_vStopExitTimer(void);
// Opens the sub-menu of choice u32Choice of a sub-menu item.
void T_MENU_vOpenSubMenuChoice(const MENU_ITEM *pItem, U32 u32Choice);
// Remembers the window and row of the open level before a sub-menu opens.
void T_MENU_vRememberRow(void);

// Keys (menu_keys.cpp).
void T_MENU_vHandleKeys(const MSG_KEY_CHANGE *pMsg);
void T_MENU_vHandleCursorKey(const MSG_KEY_CHANGE *pMsg);
