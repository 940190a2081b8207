// The keys of open menus: MENU opens and switches, EXIT steps back, the cursor moves the highlight, switches tabs
// and changes values, GOTO and INFO act on floating, info and readout menus.
#include "view/view.h"
#include "n2k/readout_menu_standin.h"
#include "nav/nav_menu_standin.h"
#include "kernel/sema.h"
#include "ui/menu/menu_internal.h"
#include "ui/startup/startup.h"

const ARRAY_OF_STRING_PTRS Remote_menu_open = SAME22(
    "Another menu is open on the network.  This menu cannot be opened until the other one is closed.");

namespace {

MENU_DATA &m() { return *T_MENU_psData(); }

bool bIsExpandable(const MENU_ITEM *pItem) {
  return pItem != nullptr && (pItem->control == M_SUB_MENU || pItem->control == M_SUB_MENU_HOT ||
                              pItem->control == M_ACTION_LIST || pItem->control == M_ACTION_LIST_SHRUNKEN);
}

bool bIsExpanded(const MENU_ITEM *pItem) {
  if (!bIsExpandable(pItem)) return false;
  if (pItem->control == M_SUB_MENU || pItem->control == M_SUB_MENU_HOT) return pItem->parameters.submenu.bIsActive;
  return pItem->parameters.actionList.bIsActive;
}

U32 u32Choices(const MENU_ITEM *pItem) {
  if (pItem->control == M_SUB_MENU || pItem->control == M_SUB_MENU_HOT) return pItem->parameters.submenu.numberChoices;
  return pItem->parameters.actionList.numberChoices;
}

S32 s32Rows() { return m().activeMenu == QUICK_SETUP_MENU ? QUICK_MENU_WINDOW_ROWS : MENU_WINDOW_ROWS; }

// Up or down inside an expanded list; bad click at its ends.
void vMoveChoice(MENU_ITEM *pItem, bool bUp, U32 u32Count) {
  U32 u32Choice = pItem->value.u32Val;
  if (bUp ? u32Choice == 0 : u32Choice + 1 >= u32Choices(pItem)) {
    T_MENU_vClickBad();
    return;
  }
  pItem->value.u32Val = bUp ? u32Choice - 1 : u32Choice + 1;
  T_MENU_vClickGood(u32Count);
}

void vWindowAtEnd() {
  MENU_DATA &d = m();
  const S32 n = d.numActiveMenuItems;
  S32 *ps32Top = T_MENU_ps32Top();
  d.activeMenuItemIndex = n - 1;
  *ps32Top = n > s32Rows() ? n - s32Rows() : 0;
  T_MENU_vUpdateBottomMenuIndex(s32Rows(), ps32Top);
}

// From the main menu's tab bar into its list; the bad click when it has no rows.
bool bFocusListFromTabBar(U32 u32Count) {
  MENU_DATA &d = m();
  if (d.numActiveMenuItems == 0) {
    T_MENU_vClickBad();
    return false;
  }
  d.bMenuItemActive = TRUE;
  T_MENU_vClickGood(u32Count);
  return true;
}

void vNorth(U32 u32Count) {
  MENU_DATA &d = m();
  MENU_ITEM *pItem = T_MENU_pHighlightedItem();
  if (d.activeMenu == MAIN_MENU) {
    if (!d.bMenuItemActive) {
      if (bFocusListFromTabBar(u32Count)) vWindowAtEnd();
      return;
    }
    if (bIsExpanded(pItem)) {
      vMoveChoice(pItem, true, u32Count);
      return;
    }
    if (!T_MENU_bMoveUpMenuList(MENU_WINDOW_ROWS)) d.bMenuItemActive = FALSE;
    T_MENU_vClickGood(u32Count);
    return;
  }
  if (bIsExpanded(pItem)) {
    vMoveChoice(pItem, true, u32Count);
    return;
  }
  if (!T_MENU_bMoveUpMenuList(s32Rows()) && d.numActiveMenuItems > 0) vWindowAtEnd();
  T_MENU_vClickGood(u32Count);
}

void vSouth(U32 u32Count) {
  MENU_DATA &d = m();
  MENU_ITEM *pItem = T_MENU_pHighlightedItem();
  if (d.activeMenu == MAIN_MENU) {
    if (!d.bMenuItemActive) {
      bFocusListFromTabBar(u32Count);
      return;
    }
    if (bIsExpanded(pItem)) {
      vMoveChoice(pItem, false, u32Count);
      return;
    }
    if (!T_MENU_bMoveDownMenuList(MENU_WINDOW_ROWS)) {
      d.bMenuItemActive = FALSE;
      d.activeMenuItemIndex = 0;
      d.TopMenuItem = 0;
      T_MENU_vUpdateBottomMenuIndex(MENU_WINDOW_ROWS, &d.TopMenuItem);
    }
    T_MENU_vClickGood(u32Count);
    return;
  }
  if (bIsExpanded(pItem)) {
    vMoveChoice(pItem, false, u32Count);
    return;
  }
  if (!T_MENU_bMoveDownMenuList(s32Rows())) {
    d.activeMenuItemIndex = 0;
    S32 *ps32Top = T_MENU_ps32Top();
    *ps32Top = 0;
    T_MENU_vUpdateBottomMenuIndex(s32Rows(), ps32Top);
  }
  T_MENU_vClickGood(u32Count);
}

// Right and left on the main menu's tab bar: the next or previous visible tab, wrapping.
void vSwitchTab(bool bRight, U32 u32Count) {
  MENU_DATA &d = m();
  const S32 s32Last = d.lastTabIndex;
  S32 s32Tab = d.activeTab;
  for (S32 i = 0; i <= s32Last; ++i) {
    s32Tab = bRight ? (s32Tab >= s32Last ? 0 : s32Tab + 1) : (s32Tab <= 0 ? s32Last : s32Tab - 1);
    if (s32Tab >= 0 && s32Tab < MENU_NUM_TABS && d.mainMenuTabs[s32Tab].bTabActive) {
      d.activeTab = s32Tab;
      T_MENU_vRefreshList(d.mainMenuTabs[s32Tab].pFirstItem);
      T_MENU_vClickGood(u32Count);
      T_MENU_vUpdateActiveMenuList();
      return;
    }
  }
  T_MENU_vClickBad();
}

// Opens the sub-menu a hot sub-menu item stands for, or expands its list.
void vHotSubMenuRight(MENU_ITEM *pItem, U32 u32Count) {
  M_SUB_MENU_PARAMETERS &p = pItem->parameters.submenu;
  if (p.pt2Function != nullptr) p.pt2Function();
  m().bShowMenuList = TRUE;
  T_MENU_vRememberRow();
  if (p.numberChoices == 1) {
    T_MENU_vOpenSubMenuChoice(pItem, 0);
  } else if (p.bIsActive) {
    T_MENU_vOpenSubMenuChoice(pItem, pItem->value.u32Val);
  } else {
    p.bIsActive = TRUE;
    pItem->value = DB_DATA_TYPE{};
  }
  T_MENU_vClickGood(u32Count);
}

void vHandleMenuKey() {
  MENU_DATA &d = m();
  switch (d.activeMenu) {
    case NO_MENU: {
      BOOLEAN bRemote = FALSE;
      if (H_DATABASE_bFetchBoolean(FCID("RMNU"), &bRemote, nullptr, nullptr) && bRemote) {
        T_NAV_vSetNavUINote(&Remote_menu_open, nullptr, FALSE);
        T_MENU_vClickBad();
      } else {
        T_MENU_vActivateHotMenu();
        T_MENU_vClickGood(1);
      }
      break;
    }
    case ZEPHRIN_MENU:
      if (d.bConfirmActive) {
        T_MENU_vDoRemoveMenus(FALSE);
      } else {
        T_MENU_vActivateMainMenu();
      }
      T_MENU_vClickGood(1);
      break;
    case MAIN_MENU:
    case MAIN_SUB_MENU:
    case MAIN_SUB_MENU_1:
    case MAIN_SUB_MENU_2:
    case MAIN_SUB_MENU_3:
    case ZEPHRIN_SUB_MENU:
      GUI_vResetReadoutSubMenuStatus();
      T_MENU_vDoRemoveMenus(FALSE);
      T_MENU_vClickGood(1);
      break;
    case INFO_MENU:
    case FLOATING_MENU:
    case INFO_SUB_MENU:
      T_MENU_vClickBad();
      break;
    default:
      break;
  }
  GUI_vResetReadoutSubMenuStatus();
  d.bReadoutMenuActivate = FALSE;
}

// Confirmation, else an expanded list, is taken back; TRUE when something was.
bool bTakeBack(MENU_ITEM *pItem) {
  if (m().bConfirmActive) {
    T_MENU_vHideConfirmation();
    return true;
  }
  return T_MENU_bCollapseItem(pItem) != FALSE;
}

void vHandleExitKey() {
  MENU_DATA &d = m();
  d.bMenuHidden = FALSE;
  if (d.bQuickConfigMenuDisplayed) {
    T_STARTUP_vRemoveQuickConfigMenu();
    d.bQuickConfigMenuDisplayed = FALSE;
    T_MENU_vSetActiveMenu(NO_MENU);
  }
  MENU_ITEM *pItem = T_MENU_pHighlightedItem();
  const ACTIVE_MENU eOpen = d.activeMenu;
  switch (eOpen) {
    case ZEPHRIN_MENU:
    case INFO_MENU:
    case FLOATING_MENU:
    case SINGLE_CENTERED_MENU:
      if (!bTakeBack(pItem)) {
        const MENU_FUNCTION pfnExit =
            eOpen == FLOATING_MENU && d.activeFloatingMenu >= 0 && d.activeFloatingMenu < MAX_FLOATING_MENUS
                ? d.floatingMenus[d.activeFloatingMenu].ExitKeyHandler
                : nullptr;
        T_MENU_vDoRemoveMenus(FALSE);
        if (pfnExit != nullptr) pfnExit();
      }
      break;
    case MAIN_MENU:
      if (d.bConfirmActive) {
        T_MENU_vHideConfirmation();
      } else if (d.bMenuItemActive) {
        if (!T_MENU_bCollapseItem(pItem)) {
          d.bMenuItemActive = FALSE;
          d.activeMenuItemIndex = 0;
          d.TopMenuItem = 0;
          T_MENU_vUpdateBottomMenuIndex(MENU_WINDOW_ROWS, &d.TopMenuItem);
        }
      } else {
        T_MENU_vDoRemoveMenus(FALSE);
      }
      break;
    case MAIN_SUB_MENU:
    case MAIN_SUB_MENU_1:
    case MAIN_SUB_MENU_2:
    case MAIN_SUB_MENU_3:
    case ZEPHRIN_SUB_MENU:
    case INFO_SUB_MENU: {
      const S32 s32Below = d.menuLevel - 1;
      if (pItem != nullptr && pItem->control == M_SELECTION_BOX) d.bReadoutMenuActivate = FALSE;
      // What the user sees expanded on the highlighted row is taken back first.
      if (bTakeBack(pItem)) break;
      if (T_MENU_bIsMainSubMenuKind(eOpen) && s32Below >= 0) {
        d.BottomMenuItem = d.MenuItemRange[s32Below].s32_BottomMenuItem;
        d.TopSubMenuItem = d.MenuItemRange[s32Below].s32_TopMenuItem;
        GUI_vUpdateReadoutMenuItems();
        if (d.menuLevel == 1) d.activeMenuItemIndex = static_cast<S32>(d.u32LastMainMenuIndex);
      }
      if (s32Below >= 0) d.activeMenuItemIndex = d.MenuItemRange[s32Below].s32_LastActiveMenuIndex;
      T_MENU_vDeactivateSubMenu();
      break;
    }
    default:
      break;
  }
  T_MENU_vClickGood(1);
  GUI_vResetReadoutSubMenuStatus();
}

void vHandleGotoKey() {
  MENU_DATA &d = m();
  if (d.activeMenu == FLOATING_MENU && d.activeFloatingMenu >= 0 && d.activeFloatingMenu < MAX_FLOATING_MENUS &&
      d.floatingMenus[d.activeFloatingMenu].GoToKeyHandler != nullptr) {
    d.floatingMenus[d.activeFloatingMenu].GoToKeyHandler();
    return;
  }
  const MENU_ITEM *pItem = T_MENU_pHighlightedItem();
  if (d.activeMenu == INFO_MENU && pItem != nullptr && pItem->priority >= MENU_GO_TO_WAYPOINT &&
      pItem->priority <= MENU_GOTO_ROUTE4) {
    T_NAV_vGoToWaypointInMenu();
    U_MENU_vClearMenus();
    return;
  }
  T_MENU_vClickBad();
}

// TRUE when the INFO key did something.
bool bHandleInfoKey() {
  MENU_DATA &d = m();
  MENU_ITEM *pItem = T_MENU_pHighlightedItem();
  if (d.activeMenu == INFO_MENU) {
    T_MENU_vDoRemoveMenus(FALSE);
    return true;
  }
  if (d.activeMenu == FLOATING_MENU && pItem != nullptr && pItem->control == M_ANGLE_ADJUST) {
    const MENU_FUNCTION pfnInfo = pItem->parameters.angleadjust.fnCbOnInfo;
    T_MENU_vDoRemoveMenus(FALSE);
    if (pfnInfo != nullptr) pfnInfo();
    return true;
  }
  if (pItem == nullptr) return false;
  const bool bCheck = pItem->control == M_CHECK_LIST || pItem->control == M_CHECK_BOX;
  const M_CHECK_LIST_PARAMETERS &check = pItem->parameters.checkList;
  if (d.bReadoutMenuActivate) {
    if (GUI_vGetReadoutSubMenuStatus()) {
      if (!bCheck || check.setCheck == nullptr) return false;
      check.setCheck(check.context);
      T_MENU_vUpdateDisplayStrings(pItem, FALSE);
    } else {
      T_MENU_vRememberRow();
      const ARRAY_OF_STRING_PTRS *pTitle = nullptr;
      GUI_pGetCurrentItemName(static_cast<U32>(d.activeMenuItemIndex), &pTitle);
      const S32 s32Slot = T_MENU_s32FindSubMenu(pTitle);
      if (s32Slot >= 0) {
        T_MENU_vActivateSubMenu(s32Slot);
      } else {
        GUI_vResetReadoutSubMenuStatus();
      }
    }
    return true;
  }
  switch (pItem->control) {
    case M_CHECK_LIST:
    case M_CHECK_BOX:
      if (check.setCheck == nullptr) return pItem->control == M_CHECK_BOX;
      check.setCheck(check.context);
      T_MENU_vUpdateDisplayStrings(pItem, FALSE);
      return true;
    case M_ACTION_HOT:
      if (pItem->parameters.action.pt2Function != nullptr) pItem->parameters.action.pt2Function();
      return true;
    case M_SUB_MENU_HOT:
      vHotSubMenuRight(pItem, 2);  // the INFO key's own click follows
      return true;
    default:
      return false;
  }
}

bool bIsSideDirection(U32 u32Cursor) { return u32Cursor == CURSOR_EAST || u32Cursor == CURSOR_WEST; }

}  // namespace

void T_MENU_vHandleCursorKey(const MSG_KEY_CHANGE *pMsg) {
  MENU_DATA &d = m();
  switch (pMsg->cursor) {
    case CURSOR_NORTH:
    case CURSOR_SOUTH:
      T_MENU_psTask()->timer = T_MENU_tNow();
      if (d.bConfirmActive) {
        T_MENU_vClickBad();
        return;
      }
      d.bShowMenuList = TRUE;
      if (pMsg->cursor == CURSOR_NORTH) {
        vNorth(pMsg->count);
      } else {
        vSouth(pMsg->count);
      }
      if (d.bReadoutMenuActivate) GUI_vRegisterReadoutSubMenuItems(static_cast<U32>(d.activeMenuItemIndex));
      break;
    case CURSOR_EAST:
    case CURSOR_WEST: {
      const bool bRight = pMsg->cursor == CURSOR_EAST;
      if (d.activeMenu == MAIN_MENU && !d.bMenuItemActive) {
        vSwitchTab(bRight, pMsg->count);
      } else if (bRight) {
        T_MENU_vHandleCursorKeyEast(pMsg->count);
      } else {
        T_MENU_vHandleCursorKeyWest(pMsg->count);
      }
      break;
    }
    default:
      break;
  }
}

void T_MENU_vHandleKeys(const MSG_KEY_CHANGE *pMsg) {
  MENU_DATA &d = m();
  MENU_TASK_STATE &t = *T_MENU_psTask();
  if (t.bExitTimerRunning) {
    if (pMsg->key == KEY_BIT_EXIT) return;
    T_MENU_vStopExitTimer();
  }
  if (d.bMenuHidden && pMsg->key != KEY_BIT_EXIT) return;
  if (pMsg->key != KEY_BIT_MENU && d.activeMenu == NO_MENU) return;
  const bool bPress = pMsg->state == KEY_DOWN;
  switch (pMsg->key) {
    case KEY_BIT_MENU:
      if (bPress) vHandleMenuKey();
      break;
    case KEY_BIT_CURSOR: {
      MENU_ITEM *pItem = T_MENU_pHighlightedItem();
      const bool bSide = bIsSideDirection(pMsg->cursor);
      if (pItem != nullptr && bSide && (pItem->control == M_ACTION_HOT || pItem->control == M_SUB_MENU_HOT)) {
        // Hot controls act on the press only.
        if (bPress && pMsg->cursor == CURSOR_EAST) {
          if (pItem->control == M_SUB_MENU_HOT) {
            vHotSubMenuRight(pItem, pMsg->count);
          } else if (d.bShowMenuList && pItem->parameters.action.pt2Function != nullptr) {
            pItem->parameters.action.pt2Function();
          }
        }
        break;
      }
      const bool bLastSide = bIsSideDirection(t.u32LastCursorDown);
      const bool bChanged = bPress && d.repeatActive && pMsg->cursor != t.u32LastCursorDown;
      if (pItem != nullptr && T_MENU_bIsSlider(pItem->control) && bLastSide && (!bPress || bChanged)) {
        T_MENU_vWriteItemValue(pItem);
      }
      if (!bPress) {
        d.repeatActive = FALSE;
        return;
      }
      if (pItem != nullptr && pItem->control == M_SLIDER_IMMEDIATE && d.repeatActive && !bChanged && bSide) {
        T_MENU_vWriteItemValue(pItem);
      }
      d.repeatActive = TRUE;
      t.u32LastCursorDown = pMsg->cursor;
      T_MENU_vHandleCursorKey(pMsg);
      break;
    }
    case KEY_BIT_EXIT:
      if (bPress) vHandleExitKey();
      break;
    case KEY_BIT_GOTO:
      if (bPress) vHandleGotoKey();
      break;
    case KEY_BIT_INFO:
      if (bPress) {
        if (bHandleInfoKey()) {
          T_MENU_vClickGood(1);
        } else {
          T_MENU_vClickBad();
        }
      }
      break;
    default:
      if (bPress) T_MENU_vClickBad();
      break;
  }
  // Redraw: values that move continuously at the paced rate, everything else at once.
  const MENU_ITEM *pItem = T_MENU_pHighlightedItem();
  if (!bPress || d.activeMenu == NO_MENU || pItem == nullptr) return;
  const bool bSide = pMsg->key == KEY_BIT_CURSOR && bIsSideDirection(pMsg->cursor);
  if (pItem->control == M_SLIDER || pItem->control == M_SLIDER_IMMEDIATE || pItem->control == M_ANGLE_ADJUST ||
      (pItem->control == M_SLIDER_VARIABLE_STEP && bSide)) {
    L_SEMA_Signal(SEMA_VIEW_UPDATE);
  } else {
    T_VIEW_vRequestExpeditedViewUpdate();
  }
}
