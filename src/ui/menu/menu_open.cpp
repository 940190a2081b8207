// Which menu is open: the visible rows and their window, the highlighted row across rebuilds, opening and
// closing each kind of menu, sub-menu nesting and the exit-key timer.
#include "kernel/log.h"
#include "kernel/mutex.h"
#include "kernel/sema.h"
#include "kernel/tick.h"
#include "n2k/readout_menu_standin.h"
#include "nav/nav_menu_standin.h"
#include "radar/radar_menu_standin.h"
#include "radar/radar_standin.h"
#include "ui/info/info.h"
#include "ui/menu/menu_internal.h"

const ARRAY_OF_STRING_PTRS Change_To_RadarView =
    SAME22("Change to a radar view before adjusting the installation settings");

namespace {

MENU_TASK_STATE s_task;

// Stands for "no previous item": the highlighted row is kept as a number.
MENU_ITEM *const kNoPrevious = nullptr;

MENU_DATA &m() { return *T_MENU_psData(); }

U32 u32Fetch(const char (&acKey)[5], U32 u32Default) {
  U32 u32 = 0;
  BOOLEAN bValid = FALSE;
  if (!H_DATABASE_bFetchU32(FCID(acKey), &u32, &bValid, nullptr) || !bValid) return u32Default;
  return u32;
}

bool bVisible(const MENU_ITEM *pItem, U32 u32Level) { return pItem->activeLevel <= u32Level; }

// Copies the visible items of a list into the rows (at most 60).
void vCopyRows(MENU_ITEM *pHead, bool bLevelTest, bool bActiveOnly) {
  MENU_DATA &d = m();
  const U32 u32Level = T_MENU_u32UserLevel();
  S16 n = 0;
  for (MENU_ITEM *pItem = pHead; pItem != nullptr && n < MAX_ACTIVE_MENU_ITEMS; pItem = pItem->pNextMenu) {
    if (bLevelTest && !bVisible(pItem, u32Level)) continue;
    if (bActiveOnly && !pItem->bActive) continue;
    d.activeMenuList[n++] = pItem;
  }
  d.numActiveMenuItems = n;
}

S32 s32RowOf(const MENU_ITEM *pItem) {
  MENU_DATA &d = m();
  if (pItem == nullptr) return -1;
  for (S32 r = 0; r < d.numActiveMenuItems; ++r) {
    if (d.activeMenuList[r] == pItem) return r;
  }
  return -1;
}

// Keeps the highlighted row inside a window of s32Rows rows.
void vShowHighlight(S32 *ps32Top, S32 s32Rows) {
  MENU_DATA &d = m();
  if (d.activeMenuItemIndex < *ps32Top) *ps32Top = d.activeMenuItemIndex;
  if (d.activeMenuItemIndex > *ps32Top + s32Rows - 1) *ps32Top = d.activeMenuItemIndex - s32Rows + 1;
  if (*ps32Top < 0) *ps32Top = 0;
  T_MENU_vUpdateBottomMenuIndex(s32Rows, ps32Top);
}

// The previously highlighted item: the calling item of a level just left, else the old row's item.
MENU_ITEM *pPreviousItem(bool *pbFromCalling) {
  MENU_DATA &d = m();
  *pbFromCalling = false;
  if (d.menuLevel < MAX_MENU_LEVELS && d.subMenuCallingItem[d.menuLevel] != nullptr) {
    MENU_ITEM *pCalling = d.subMenuCallingItem[d.menuLevel];
    d.subMenuCallingItem[d.menuLevel] = nullptr;
    *pbFromCalling = true;
    return pCalling;
  }
  if (d.activeMenuItemIndex >= 0 && d.activeMenuItemIndex < d.numActiveMenuItems) {
    return d.activeMenuList[d.activeMenuItemIndex];
  }
  return kNoPrevious;
}

bool bListHas(const MENU_ITEM *pHead, const MENU_ITEM *pWanted) {
  for (const MENU_ITEM *pItem = pHead; pItem != nullptr; pItem = pItem->pNextMenu) {
    if (pItem == pWanted) return true;
  }
  return false;
}

// The main-menu rule, also used by info and sub-menus: the item's new row, with the window kept at the same
// distance above it. FALSE when the item is gone.
bool bRefindLikeMainMenu(MENU_ITEM *pPrevious, bool bFromCalling, S32 *ps32Top, S32 *ps32Offset,
                         MENU_ITEM *pHead) {
  MENU_DATA &d = m();
  if (!bFromCalling) *ps32Offset = d.activeMenuItemIndex - *ps32Top;
  if (pPrevious == kNoPrevious && !bFromCalling) {
    // A menu that has just been opened keeps the row it was given.
    if (d.activeMenuItemIndex >= d.numActiveMenuItems) d.activeMenuItemIndex = 0;
    if (d.activeMenuItemIndex < 0) d.activeMenuItemIndex = 0;
    vShowHighlight(ps32Top, MENU_WINDOW_ROWS);
    return true;
  }
  if (!bListHas(pHead, pPrevious)) {
    d.activeMenuItemIndex = 0;
    *ps32Top = 0;
    T_MENU_vUpdateBottomMenuIndex(MENU_WINDOW_ROWS, ps32Top);
    return false;
  }
  const S32 s32Row = s32RowOf(pPrevious);
  d.activeMenuItemIndex = s32Row < 0 ? 0 : s32Row;
  if (d.activeMenuItemIndex > *ps32Offset && d.numActiveMenuItems > MENU_WINDOW_ROWS) {
    *ps32Top = d.activeMenuItemIndex - *ps32Offset;
  } else {
    *ps32Top = 0;
  }
  vShowHighlight(ps32Top, MENU_WINDOW_ROWS);
  return true;
}

void vRebuildMain(MENU_ITEM *pPrevious, bool bFromCalling) {
  MENU_DATA &d = m();
  const U32 u32Level = T_MENU_u32UserLevel();
  d.lastTabIndex = 0;
  for (S32 s = 0; s < MENU_NUM_TABS; ++s) {
    MENU_TAB &tab = d.mainMenuTabs[s];
    tab.bTabActive = tab.pTabTitle != nullptr && tab.activeLevel <= u32Level;
    if (tab.bTabActive) d.lastTabIndex = s;
  }
  if (d.activeTab < 0 || d.activeTab >= MENU_NUM_TABS || !d.mainMenuTabs[d.activeTab].bTabActive) {
    // A tab hidden by the user level gives way to the first visible one.
    for (S32 s = 0; s < MENU_NUM_TABS; ++s) {
      if (d.mainMenuTabs[s].bTabActive) {
        d.activeTab = s;
        break;
      }
    }
    if (d.activeTab < 0 || d.activeTab >= MENU_NUM_TABS) d.activeTab = 0;
  }
  MENU_TAB &tab = d.mainMenuTabs[d.activeTab];
  vCopyRows(tab.pFirstItem, true, false);
  if (pPrevious == kNoPrevious && !bFromCalling) {
    d.activeMenuItemIndex = 0;
    d.TopMenuItem = 0;
    d.bMenuItemActive = FALSE;
    T_MENU_vUpdateBottomMenuIndex(MENU_WINDOW_ROWS, &d.TopMenuItem);
    return;
  }
  if (!bRefindLikeMainMenu(pPrevious, bFromCalling, &d.TopMenuItem, &d.currentTopOffset, tab.pFirstItem)) {
    d.bMenuItemActive = FALSE;
  }
}

void vRebuildHot(MENU_ITEM *pPrevious) {
  MENU_DATA &d = m();
  HOT_MENU &hot = d.hotMenus[d.activeHotMenu];
  vCopyRows(hot.pFirstItem, true, false);
  if (pPrevious != kNoPrevious) {
    const S32 s32Row = s32RowOf(pPrevious);
    d.activeMenuItemIndex = s32Row < 0 ? 0 : s32Row;
  } else if (d.activeMenuItemIndex >= d.numActiveMenuItems || d.activeMenuItemIndex < 0) {
    d.activeMenuItemIndex = 0;
  }
  vShowHighlight(&d.TopMenuItem, MENU_WINDOW_ROWS);
}

// Items of one slot of a store, or none for a slot outside it.
template <class Store, size_t N>
MENU_ITEM *pListOf(Store (&stores)[N], S32 s32Slot) {
  return s32Slot >= 0 && static_cast<size_t>(s32Slot) < N ? stores[s32Slot].pFirstItem : nullptr;
}

void vStartExitTimer() {
  MENU_TASK_STATE &t = s_task;
  if (t.bExitTimerRunning) {
    U_KEYBOARD_bUnregisterKeys(M_MENU, KEY_BIT_EXIT);
    return;
  }
  if (t.pExitTimer != nullptr && L_TIMER_Start(t.pExitTimer, MENU_EXIT_KEY_MS, 0, SEMA_TIMER_EXIT_KEY) != nullptr) {
    t.bExitTimerRunning = TRUE;
  } else {
    U_KEYBOARD_bUnregisterKeys(M_MENU, KEY_BIT_EXIT);
  }
}

void vRemoveMenuLayers() {
  U_VIEW_bUnRegisterLayer(CONFIRM_MENU_LAYER);
  U_VIEW_bUnRegisterLayer(SUB_MENU_LAYER);
  U_VIEW_bUnRegisterLayer(MAIN_MENU_LAYER);
  U_VIEW_bUnRegisterLayer(ZEPHRIN_MENU_LAYER);
}

void vSaveHotRow() {
  MENU_DATA &d = m();
  if (d.activeMenu == ZEPHRIN_MENU) d.hotMenus[d.activeHotMenu].lastUsedMenuItem = d.activeMenuItemIndex;
}

void vClearNesting() {
  MENU_DATA &d = m();
  for (int i = 0; i < MAX_MENU_LEVELS; ++i) {
    d.subMenuCallingItem[i] = nullptr;
    d.callingMenu[i] = NO_MENU;
  }
  d.menuLevel = 0;
}

void vRegisterLayer(DRAW_FUNCTION *pfnDraw, LAYER_ID layer) {
  U_VIEW_bRegisterLayer(pfnDraw, layer, USED_BY_ALL, 0, 0, TRUE, nullptr, nullptr, nullptr);
}

// Opens the hot menu of a slot found for (view, side), or reports that there is none with items.
bool bOpenHotSlot(LAYER_ID view, SPLIT_WINDOW_TYPE side) {
  MENU_DATA &d = m();
  for (S32 s = 0; s < MAX_HOT_MENUS; ++s) {
    HOT_MENU &hot = d.hotMenus[s];
    if (hot.view == 0 || hot.view != view || (hot.type != side && hot.type != SPLIT_FULL_WINDOW)) continue;
    d.activeHotMenu = static_cast<U8>(s);
    d.activeMenuItemIndex = hot.lastUsedMenuItem;
    if (hot.numMenuItems <= 0) return false;
    T_MENU_vSetActiveMenu(ZEPHRIN_MENU);
    d.bMenuItemActive = TRUE;
    d.TopMenuItem = 0;
    d.numActiveMenuItems = 0;  // the remembered row is taken as it is
    T_MENU_vUpdateActiveMenuList();
    T_MENU_vRefreshList(hot.pFirstItem);
    vRegisterLayer(T_MENU_vDrawHotMenuLayer, ZEPHRIN_MENU_LAYER);
    return true;
  }
  return false;
}

}  // namespace

MENU_TASK_STATE *T_MENU_psTask(void) { return &s_task; }

TICKS T_MENU_tNow(void) { return H_TICK_u32ReadFreeRunningTimerInMilliSeconds(); }

void T_MENU_vClickGood(U32 u32Count) {
  if (u32Count <= 1) L_SEMA_Signal(SEMA_KEYCLICK_GOOD);
}

void T_MENU_vClickBad(void) { L_SEMA_Signal(SEMA_KEYCLICK_BAD); }

void T_MENU_vSetActiveMenu(ACTIVE_MENU eKind) {
  m().activeMenu = eKind;
  H_DATABASE_bUpdateValueU32(FCID("CMNU"), eKind, P_NORMAL);
}

MENU_ITEM *T_MENU_pHighlightedItem(void) {
  MENU_DATA &d = m();
  if (d.activeMenuItemIndex < 0 || d.activeMenuItemIndex >= d.numActiveMenuItems) return nullptr;
  return d.activeMenuList[d.activeMenuItemIndex];
}

BOOLEAN T_MENU_bIsMainSubMenuKind(ACTIVE_MENU eKind) { return eKind >= MAIN_SUB_MENU && eKind <= MAIN_SUB_MENU_3; }

BOOLEAN T_MENU_bIsSubMenuKind(ACTIVE_MENU eKind) {
  return eKind == ZEPHRIN_SUB_MENU || T_MENU_bIsMainSubMenuKind(eKind) || eKind == INFO_SUB_MENU;
}

S32 *T_MENU_ps32Top(void) {
  MENU_DATA &d = m();
  switch (d.activeMenu) {
    case INFO_MENU:
      return &d.TopInfoMenuItem;
    case FLOATING_MENU:
      return &d.TopFloatingMenuItem;
    case SINGLE_CENTERED_MENU:
      return &d.TopSingleCenteredMenuItem;
    default:
      return T_MENU_bIsSubMenuKind(d.activeMenu) ? &d.TopSubMenuItem : &d.TopMenuItem;
  }
}

U32 T_MENU_u32UserLevel(void) { return u32Fetch("CUSR", M_ADVANCED); }

void T_MENU_vUpdateBottomMenuIndex(S32 s32Rows, S32 *ps32Top) {
  MENU_DATA &d = m();
  const S32 n = d.numActiveMenuItems;
  if (n == 0) {
    d.BottomMenuItem = *ps32Top;
  } else if (n < s32Rows) {
    d.BottomMenuItem = *ps32Top + n - 1;
  } else {
    d.BottomMenuItem = *ps32Top + s32Rows - 1;
    if (d.BottomMenuItem > n - 1) {
      d.BottomMenuItem = n - 1;
      *ps32Top = n - s32Rows;
    }
  }
  if (d.activeMenu == INFO_MENU) d.BottomInfoMenuItem = d.BottomMenuItem;
}

void T_MENU_vUpdateActiveMenuList(void) {
  MENU_DATA &d = m();
  d.bLoopSelections = FALSE;
  bool bFromCalling = false;
  MENU_ITEM *pPrevious =
      (d.activeMenu == NO_MENU || d.activeMenu == MAIN_GRP_MENU) ? kNoPrevious : pPreviousItem(&bFromCalling);
  d.numActiveMenuItems = 0;
  switch (d.activeMenu) {
    case NO_MENU:
    case MAIN_GRP_MENU:
      return;
    case QUICK_SETUP_MENU:
      vCopyRows(d.quickMenu.pFirstItem, false, false);
      d.TopMenuItem = 0;
      if (d.activeMenuItemIndex >= d.numActiveMenuItems) d.activeMenuItemIndex = 0;
      d.BottomMenuItem = d.numActiveMenuItems == 0
                             ? 0
                             : (d.numActiveMenuItems < QUICK_MENU_WINDOW_ROWS ? d.numActiveMenuItems
                                                                               : QUICK_MENU_WINDOW_ROWS) - 1;
      return;
    case ZEPHRIN_MENU:
      vRebuildHot(pPrevious);
      return;
    case MAIN_MENU:
      vRebuildMain(pPrevious, bFromCalling);
      return;
    case INFO_MENU: {
      MENU_ITEM *pHead = pListOf(d.infoMenus, d.activeInfoMenu);
      vCopyRows(pHead, true, true);
      bRefindLikeMainMenu(pPrevious, bFromCalling, &d.TopInfoMenuItem, &d.currentInfoMenuTopOffset, pHead);
      return;
    }
    case FLOATING_MENU:
      vCopyRows(pListOf(d.floatingMenus, d.activeFloatingMenu), true, true);
      d.activeMenuItemIndex = 0;
      d.TopMenuItem = d.TopFloatingMenuItem = 0;
      d.currentFloatingMenuTopOffset = 0;
      d.BottomMenuItem = (d.numActiveMenuItems < MENU_WINDOW_ROWS ? d.numActiveMenuItems : MENU_WINDOW_ROWS) - 1;
      return;
    case SINGLE_CENTERED_MENU:
      d.bLoopSelections = d.singleCenteredMenus[0].bLoopSelection;
      vCopyRows(d.singleCenteredMenus[0].pFirstItem, true, true);
      d.activeMenuItemIndex = 0;
      d.TopMenuItem = d.TopSingleCenteredMenuItem = 0;
      T_MENU_vUpdateBottomMenuIndex(MENU_WINDOW_ROWS, &d.TopSingleCenteredMenuItem);
      return;
    default: {
      const S32 s32Level = d.menuLevel;
      MENU_ITEM *pHead =
          s32Level >= 1 && s32Level <= MAX_MENU_LEVELS ? pListOf(d.subMenus, d.activeSubMenu[s32Level - 1]) : nullptr;
      vCopyRows(pHead, true, false);
      if (!bRefindLikeMainMenu(pPrevious, bFromCalling, &d.TopSubMenuItem, &d.currentSubMenuTopOffset, pHead)) {
        d.TopSubMenuItem = 0;
      }
      return;
    }
  }
}

void T_MENU_vRegisterMenuKeys(void) {
  MENU_TASK_STATE &t = s_task;
  if (t.bExitTimerRunning) {
    // The menu keeps EXIT as one of its keys now.
    t.bExitTimerRunning = FALSE;
    L_TIMER_Stop(t.pExitTimer);
    L_SEMA_SetPending(SEMA_TIMER_EXIT_KEY);
  }
  // One registration per key, whatever was registered before.
  U_KEYBOARD_bUnregisterKeys(M_MENU, MENU_KEYS_OPEN | KEY_BIT_CURSOR);
  U_KEYBOARD_bRegisterKeys(M_MENU, MENU_KEYS_OPEN, KEY_DOWN, FALSE, FALSE, NOT_CURSOR_KEY, REGISTER_MENU);
  U_KEYBOARD_bRegisterKeys(M_MENU, KEY_BIT_CURSOR, KEY_CHANGE, TRUE, TRUE, CURSOR_4, REGISTER_MENU);
}

void T_MENU_vStopExitTimer(void) {
  MENU_TASK_STATE &t = s_task;
  U_KEYBOARD_bUnregisterKeys(M_MENU, KEY_BIT_EXIT);
  if (t.bExitTimerRunning) L_TIMER_Stop(t.pExitTimer);  // a late expiry finds the timer stopped and is ignored
  t.bExitTimerRunning = FALSE;
  L_SEMA_SetPending(SEMA_TIMER_EXIT_KEY);
}

void T_MENU_vActivateHotMenu(void) {
  MENU_DATA &d = m();
  s_task.timer = T_MENU_tNow();
  const LAYER_ID view = static_cast<LAYER_ID>(u32Fetch("CVEW", 0));
  const SPLIT_WINDOW_TYPE side = static_cast<SPLIT_WINDOW_TYPE>(u32Fetch("CVAS", SPLIT_FULL_WINDOW));
  vClearNesting();
  d.bShowMenuList = TRUE;
  T_MENU_vRegisterMenuKeys();
  if (!bOpenHotSlot(view, side)) T_MENU_vActivateMainMenu();
}

void T_MENU_vActivateSpecifiedHotMenu(LAYER_ID view) {
  L_MUTEX_LockWait(RES_MENU);
  MENU_DATA &d = m();
  if (d.activeMenu != NO_MENU) U_KEYBOARD_bUnregisterKeys(M_MENU, KEY_BIT_VIEW | KEY_BIT_EXIT);
  vRemoveMenuLayers();
  vClearNesting();
  d.repeatActive = FALSE;
  d.bConfirmActive = FALSE;
  d.TopMenuItem = 0;
  s_task.timer = T_MENU_tNow();
  d.bShowMenuList = TRUE;
  const SPLIT_WINDOW_TYPE side = static_cast<SPLIT_WINDOW_TYPE>(u32Fetch("CVAS", SPLIT_FULL_WINDOW));
  T_MENU_vRegisterMenuKeys();
  if (!bOpenHotSlot(view, side) && d.activeMenu != NO_MENU) T_MENU_vSetActiveMenu(NO_MENU);
  L_MUTEX_Unlock(RES_MENU);
  L_SEMA_Signal(SEMA_VIEW_UPDATE);
}

void T_MENU_vUpdateActiveHotMenu(void) {
  MENU_DATA &d = m();
  const LAYER_ID view = static_cast<LAYER_ID>(u32Fetch("CVEW", 0));
  const SPLIT_WINDOW_TYPE side = static_cast<SPLIT_WINDOW_TYPE>(u32Fetch("CVAS", SPLIT_FULL_WINDOW));
  d.TopMenuItem = 0;
  d.bShowMenuList = TRUE;
  S32 s32Slot = 0;
  for (S32 s = 0; s < MAX_HOT_MENUS; ++s) {
    if (d.hotMenus[s].view != 0 && d.hotMenus[s].view == view && d.hotMenus[s].type == side) {
      s32Slot = s;
      break;
    }
  }
  d.activeHotMenu = static_cast<U8>(s32Slot);
  d.activeMenuItemIndex = d.hotMenus[s32Slot].lastUsedMenuItem;
  d.bMenuItemActive = TRUE;
  d.numActiveMenuItems = 0;
  T_MENU_vUpdateActiveMenuList();
}

void T_MENU_vActivateMainMenu(void) {
  MENU_DATA &d = m();
  vSaveHotRow();
  T_MENU_vSetActiveMenu(MAIN_MENU);
  d.menuLevel = 0;
  d.TopMenuItem = 0;
  d.bActivatingMainMenu = TRUE;
  U_VIEW_bUnRegisterLayer(ZEPHRIN_MENU_LAYER);
  d.bMenuItemActive = FALSE;
  d.activeMenuItemIndex = 0;
  // The rows are ready before the first drawing, which rebuilds them again.
  d.numActiveMenuItems = 0;
  T_MENU_vUpdateActiveMenuList();
  T_MENU_vRefreshList(d.mainMenuTabs[d.activeTab].pFirstItem);
  vRegisterLayer(T_MENU_vDrawMainMenuLayer, MAIN_MENU_LAYER);
}

void T_MENU_vActivateQuickMenu(void) {
  log_me("quick-setup menu requested");
  L_MUTEX_LockWait(RES_MENU);
  MENU_DATA &d = m();
  d.bShowMenuList = TRUE;
  d.bQuickConfigMenuDisplayed = TRUE;
  T_MENU_vSetActiveMenu(QUICK_SETUP_MENU);
  d.menuLevel = 0;
  d.activeMenuItemIndex = 0;
  d.bMenuItemActive = TRUE;
  T_MENU_vUpdateActiveMenuList();
  vRegisterLayer(T_MENU_vDrawQuickMenuLayer, QUICK_CONFIGURE_LAYER);
  U_KEYBOARD_bRegisterKeys(M_MENU, MENU_KEYS_QUICK, KEY_DOWN, FALSE, FALSE, CURSOR_4, REGISTER_CONTRAST);
  U_KEYBOARD_bRegisterKeys(M_MENU, KEY_BIT_CURSOR, KEY_CHANGE, TRUE, TRUE, CURSOR_4, REGISTER_MENU);
  L_MUTEX_Unlock(RES_MENU);
}

void T_MENU_vRememberRow(void) {
  MENU_DATA &d = m();
  if (d.menuLevel < 0 || d.menuLevel >= MAX_MENU_LEVELS) return;
  MENU_ITEM_RANGE &range = d.MenuItemRange[d.menuLevel];
  range.s32_BottomMenuItem = d.BottomMenuItem;
  range.s32_TopMenuItem = *T_MENU_ps32Top();
  range.s32_LastActiveMenuIndex = d.activeMenuItemIndex;
  if (d.menuLevel == 0) d.u32LastMainMenuIndex = static_cast<U32>(d.activeMenuItemIndex);
}

void T_MENU_vOpenSubMenuChoice(const MENU_ITEM *pItem, U32 u32Choice) {
  if (pItem->ps32SubMenuSlots == nullptr || u32Choice >= pItem->parameters.submenu.numberChoices) {
    T_MENU_vClickBad();
    return;
  }
  T_MENU_vActivateSubMenu(pItem->ps32SubMenuSlots[u32Choice]);
}

void T_MENU_vActivateSubMenu(S32 s32Slot) {
  MENU_DATA &d = m();
  if (s32Slot < 0 || s32Slot >= MAX_SUB_MENUS || !d.subMenus[s32Slot].menuRegistered ||
      d.subMenus[s32Slot].numMenuItems <= 0) {
    T_MENU_vClickBad();
    GUI_vResetReadoutSubMenuStatus();
    return;
  }
  // The nesting arrays hold four levels: a fifth is refused.
  if (d.menuLevel >= MAX_MENU_LEVELS) {
    T_MENU_vClickBad();
    return;
  }
  SUB_MENU &sub = d.subMenus[s32Slot];
  const LAYER_ID view = static_cast<LAYER_ID>(u32Fetch("CVEW", 0));
  MENU_ITEM *pCalling = T_MENU_pHighlightedItem();
  if (view >= NMEA2K_FIRST_DATA_VIEW && view <= NMEA2K_LAST_DATA_VIEW && pCalling != nullptr &&
      pCalling->pMenuTitle == &Select_Readouts) {
    d.bReadoutMenuActivate = TRUE;
  }
  if (sub.pSubMenuName == &Installation) {
    if (!T_RADAR_bIsMyRadarView(-3, -3)) {
      T_NAV_vSetNavUINoteWithTimeout(&Change_To_RadarView, nullptr, 5, FALSE);
      T_MENU_vClickBad();
      return;
    }
  } else if (sub.pSubMenuName == &Trigger_Delays) {
    L_SEMA_Signal(SEMA_RADAR_TRIGGER_DELAY);
  } else if (sub.pSubMenuName == &Manual_Tune) {
    T_RADAR_vHandleManualTune();
  } else if (sub.pSubMenuName == &Tune) {
    if (!T_RADAR_bHandleTune()) return;
  }
  T_MENU_vRefreshList(sub.pFirstItem);
  const ACTIVE_MENU eFrom = d.activeMenu;
  ACTIVE_MENU eNew = eFrom;
  if (eFrom == ZEPHRIN_MENU) {
    eNew = ZEPHRIN_SUB_MENU;
    vSaveHotRow();
  } else if (eFrom == MAIN_MENU) {
    eNew = MAIN_SUB_MENU;
  } else if (eFrom >= MAIN_SUB_MENU && eFrom < MAIN_SUB_MENU_3) {
    eNew = static_cast<ACTIVE_MENU>(eFrom + 1);
  } else if (eFrom == INFO_MENU) {
    eNew = INFO_SUB_MENU;
  }
  // Offsets of the calling level, so that its window comes back as it was.
  const S32 s32Offset = d.activeMenuItemIndex - *T_MENU_ps32Top();
  if (T_MENU_bIsSubMenuKind(eFrom)) {
    d.currentSubMenuTopOffset = s32Offset;
  } else if (eFrom == INFO_MENU) {
    d.currentInfoMenuTopOffset = s32Offset;
  } else {
    d.currentTopOffset = s32Offset;
  }
  d.callingMenu[d.menuLevel] = eFrom;
  d.subMenuCallingItem[d.menuLevel] = pCalling;
  ++d.menuLevel;
  d.activeSubMenu[d.menuLevel - 1] = s32Slot;
  T_MENU_vSetActiveMenu(eNew);
  d.activeMenuItemIndex = 0;
  d.TopSubMenuItem = 0;
  d.numActiveMenuItems = 0;
  T_MENU_vUpdateActiveMenuList();
  if (eFrom == ZEPHRIN_MENU || eFrom == MAIN_MENU || eFrom == INFO_MENU) {
    vRegisterLayer(T_MENU_vDrawSubMenuLayer, SUB_MENU_LAYER);
  }
}

void T_MENU_vActiveSubMenuByMenuName(MENU_TITLE pTitle) {
  L_MUTEX_LockWait(RES_MENU);
  const S32 s32Slot = T_MENU_s32FindSubMenu(pTitle);
  if (s32Slot >= 0) {
    T_MENU_vActivateSubMenu(s32Slot);
  } else {
    GUI_vResetReadoutSubMenuStatus();
  }
  L_MUTEX_Unlock(RES_MENU);
}

void T_MENU_vDeactivateSubMenu(void) {
  MENU_DATA &d = m();
  if (d.menuLevel <= 0) return;
  --d.menuLevel;
  const ACTIVE_MENU eBack = d.callingMenu[d.menuLevel];
  d.callingMenu[d.menuLevel] = NO_MENU;
  if (!T_MENU_bIsMainSubMenuKind(eBack)) {
    U_VIEW_bUnRegisterLayer(SUB_MENU_LAYER);
    d.activeMenuItemIndex = static_cast<S32>(d.u32LastMainMenuIndex);
  }
  T_MENU_vSetActiveMenu(eBack);
  T_MENU_vUpdateActiveMenuList();
}

void T_MENU_vDoRemoveMenus(BOOLEAN bWillPopNewMenu) {
  MENU_DATA &d = m();
  vRemoveMenuLayers();
  U_KEYBOARD_bUnregisterKeys(M_MENU, MENU_KEYS_CLOSE);
  vStartExitTimer();
  vSaveHotRow();
  T_MENU_bCollapseItem(T_MENU_pHighlightedItem());
  // The lists that led into open sub-menus close with them.
  for (MENU_ITEM *pCalling : d.subMenuCallingItem) T_MENU_bCollapseItem(pCalling);
  d.repeatActive = FALSE;
  if (!bWillPopNewMenu) T_MENU_vSetActiveMenu(NO_MENU);
  vClearNesting();
  d.bConfirmActive = FALSE;
}

void T_MENU_vRemoveMenus(void) {
  L_MUTEX_LockWait(RES_MENU);
  T_MENU_vDoRemoveMenus(FALSE);
  L_MUTEX_Unlock(RES_MENU);
}

void T_MENU_vUpdateActivateMenu(ACTIVE_MENU eKind) {
  L_MUTEX_LockWait(RES_MENU);
  if (eKind != NO_MENU) T_MENU_vDoRemoveMenus(TRUE);
  T_MENU_vSetActiveMenu(eKind);
  L_MUTEX_Unlock(RES_MENU);
}

void T_MENU_vRemoveHotMenuListIfActive(MENU_TITLE pTitle) {
  L_MUTEX_LockWait(RES_MENU);
  MENU_DATA &d = m();
  const MENU_ITEM *pItem = T_MENU_pHighlightedItem();
  if (d.activeMenu == ZEPHRIN_MENU && !d.bShowMenuList && pItem != nullptr && pItem->pMenuTitle == pTitle) {
    T_MENU_vDoRemoveMenus(FALSE);
  }
  L_MUTEX_Unlock(RES_MENU);
}

void T_MENU_vDoRemoveSingleCenteredMenu(void) {
  L_MUTEX_LockWait(RES_MENU);
  MENU_DATA &d = m();
  vRemoveMenuLayers();
  U_KEYBOARD_bUnregisterKeys(M_MENU, MENU_KEYS_SINGLE_CLOSE);
  vSaveHotRow();
  T_MENU_bCollapseItem(T_MENU_pHighlightedItem());
  T_MENU_vSetActiveMenu(NO_MENU);
  d.bConfirmActive = FALSE;
  vClearNesting();
  L_MUTEX_Unlock(RES_MENU);
}

void T_MENU_vActivateInfoMenu(const MSG_ACTIVATE_INFO_MENU *pMsg) {
  MENU_DATA &d = m();
  if (d.activeMenu == INFO_MENU) return;
  // One menu at a time: another one closes first.
  if (d.activeMenu != NO_MENU) T_MENU_vDoRemoveMenus(TRUE);
  d.BottomInfoMenuItem = static_cast<S32>(pMsg->u8numActiveMenus) - 1;
  S32 s32Slot = -1;
  for (S32 s = 0; s < MAX_INFO_MENUS && pMsg->pInfoMenuName != nullptr; ++s) {
    if (d.infoMenus[s].pInfoMenuName == pMsg->pInfoMenuName) s32Slot = s;
  }
  if (s32Slot >= 0) {
    for (MENU_ITEM *pItem = d.infoMenus[s32Slot].pFirstItem; pItem != nullptr; pItem = pItem->pNextMenu) {
      pItem->bActive = FALSE;
      for (U32 i = 0; i < pMsg->u8numActiveMenus && pMsg->pActiveMenus != nullptr; ++i) {
        if (pMsg->pActiveMenus[i] == pItem->pMenuTitle) pItem->bActive = TRUE;
      }
    }
  }
  d.activeInfoMenu = s32Slot;
  T_MENU_vSetActiveMenu(INFO_MENU);
  d.menuLevel = 0;
  d.TopInfoMenuItem = d.TopMenuItem = 0;
  d.currentInfoMenuTopOffset = 0;
  d.activeMenuItemIndex = 0;
  d.bMenuItemActive = TRUE;
  d.numActiveMenuItems = 0;
  T_MENU_vUpdateActiveMenuList();
  T_MENU_vRegisterMenuKeys();
  vRegisterLayer(T_MENU_vDrawSubMenuLayer, SUB_MENU_LAYER);
  L_SEMA_Signal(SEMA_VIEW_UPDATE);
}

void T_MENU_vActivateFloatingMenu(const MSG_ACTIVATE_FLOATING_MENU *pMsg) {
  MENU_DATA &d = m();
  if (d.activeMenu == FLOATING_MENU) return;
  for (S32 s = 0; s < MAX_FLOATING_MENUS && pMsg->pFloatingMenuName != nullptr; ++s) {
    FLOATING_MENU_TYPE &floating = d.floatingMenus[s];
    if (floating.pFloatingMenuName != pMsg->pFloatingMenuName || floating.numMenuItems <= 0) continue;
    if (d.activeMenu != NO_MENU) T_MENU_vDoRemoveMenus(TRUE);
    d.activeFloatingMenu = s;
    d.menuLevel = 0;
    d.TopFloatingMenuItem = d.TopMenuItem = 0;
    T_MENU_vSetActiveMenu(FLOATING_MENU);
    d.activeMenuItemIndex = 0;
    d.bMenuItemActive = TRUE;
    T_MENU_vUpdateActiveMenuList();
    T_MENU_vRegisterMenuKeys();
    vRegisterLayer(T_MENU_vDrawSubMenuLayer, SUB_MENU_LAYER);
    break;
  }
  L_SEMA_Signal(SEMA_VIEW_UPDATE);
}

namespace {

// Copies an item into the single-centred store and opens it.
void vOpenSingleCentered(const MENU_ITEM *pItem, BOOLEAN bDisplayMenu, BOOLEAN bLoop) {
  MENU_DATA &d = m();
  SINGLE_CENTERED_MENU_TYPE &single = d.singleCenteredMenus[0];
  if (d.activeMenu != NO_MENU) T_MENU_vDoRemoveMenus(TRUE);
  T_MENU_vClearSingleCenteredMenu();
  MENU_ITEM *pCopy = T_MENU_pCloneItem(pItem);
  T_MENU_vUpdateDisplayStrings(pCopy, TRUE);
  pCopy->bActive = TRUE;
  if (T_MENU_bInsertItem(&single.pFirstItem, &single.pLastItem, pCopy)) ++single.numMenuItems;
  single.pSingleCenteredMenuName = pItem->pMenuTitle;
  single.bLoopSelection = bLoop;
  T_MENU_vSetActiveMenu(SINGLE_CENTERED_MENU);
  vClearNesting();
  d.TopSingleCenteredMenuItem = d.TopMenuItem = 0;
  d.currentSingleCenteredMenuTopOffset = 0;
  d.activeMenuItemIndex = 0;
  d.bMenuItemActive = TRUE;
  T_MENU_vUpdateActiveMenuList();
  if (bDisplayMenu) {
    vRegisterLayer(T_MENU_vDrawSubMenuLayer, SUB_MENU_LAYER);
  } else {
    T_MENU_vUpdateDisplayStrings(single.pFirstItem, TRUE);
  }
}

MENU_ITEM *pFindSingleCenteredSource(const MSG_ACTIVATE_SINGLE_CENTERED_MENU *pMsg) {
  MENU_DATA &d = m();
  const MENU_TITLE pName = pMsg->pSingleCenteredMenuName;
  if (pMsg->pMenuLocation != nullptr) {
    const S32 s32Tab = T_MENU_s32FindTab(pMsg->pMenuLocation);
    if (s32Tab >= 0 && d.mainMenuTabs[s32Tab].numMenuItems > 0) {
      if (MENU_ITEM *pItem = T_MENU_pFindItem(d.mainMenuTabs[s32Tab].pFirstItem, pName)) return pItem;
    }
  } else {
    for (HOT_MENU &hot : d.hotMenus) {
      if (hot.view == 0 || hot.view != pMsg->eCurrentView || hot.numMenuItems <= 0) continue;
      if (MENU_ITEM *pItem = T_MENU_pFindItem(hot.pFirstItem, pName)) return pItem;
    }
  }
  const S32 s32Sub = T_MENU_s32FindSubMenu(pMsg->pMenuLocation);
  return s32Sub >= 0 ? T_MENU_pFindItem(d.subMenus[s32Sub].pFirstItem, pName) : nullptr;
}

}  // namespace

void T_MENU_vActivateSingleCenteredMenu(const MSG_ACTIVATE_SINGLE_CENTERED_MENU *pMsg) {
  L_MUTEX_LockWait(RES_MENU);
  if (m().activeMenu != SINGLE_CENTERED_MENU) {
    if (const MENU_ITEM *pItem = pFindSingleCenteredSource(pMsg)) {
      vOpenSingleCentered(pItem, pMsg->bDisplayMenu, pMsg->bLoopSelection);
    }
  }
  L_MUTEX_Unlock(RES_MENU);
}

void T_MENU_vAddSingleCenteredMenuItem(const MSG_ADD_SINGLE_CENTERED_MENU_ITEM *pMsg) {
  L_MUTEX_LockWait(RES_MENU);
  if (m().activeMenu != SINGLE_CENTERED_MENU && pMsg->descriptor.pMenuName != nullptr) {
    if (MENU_ITEM *pTemp = T_MENU_pMenuItemInitEntry(&pMsg->descriptor, pMsg->pMenuIcon)) {
      vOpenSingleCentered(pTemp, pMsg->bDisplayMenu, pMsg->bLoopSelection);
      T_MENU_vFreeItem(pTemp);
    }
  }
  L_MUTEX_Unlock(RES_MENU);
}

BOOLEAN T_MENU_bMoveUpMenuList(S32 s32Rows) {
  MENU_DATA &d = m();
  if (d.activeMenuItemIndex <= 0) return FALSE;
  S32 *ps32Top = T_MENU_ps32Top();
  if (d.activeMenuItemIndex == *ps32Top) --*ps32Top;
  --d.activeMenuItemIndex;
  T_MENU_vUpdateBottomMenuIndex(s32Rows, ps32Top);
  return TRUE;
}

BOOLEAN T_MENU_bMoveDownMenuList(S32 s32Rows) {
  MENU_DATA &d = m();
  if (d.numActiveMenuItems == 0 || d.activeMenuItemIndex >= d.numActiveMenuItems - 1) return FALSE;
  S32 *ps32Top = T_MENU_ps32Top();
  if (d.activeMenuItemIndex == d.BottomMenuItem) ++*ps32Top;
  ++d.activeMenuItemIndex;
  T_MENU_vUpdateBottomMenuIndex(s32Rows, ps32Top);
  return TRUE;
}
