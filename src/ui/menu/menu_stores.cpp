// The menu task's stores: items created from registrations, ordered lists, and how every registration, removal
// and housekeeping message changes the tabs, hot menus, sub-menus, info, floating and single-centred menus.
#include <cstring>

#include "kernel/log.h"
#include "kernel/memory.h"
#include "ui/menu/menu_internal.h"

namespace {

MENU_DATA s_data;

// Stands for an item that was deleted while a list or a nesting level still showed it; never in any list.
MENU_ITEM s_goneItem;

// An unreasonable number of choices is refused rather than allocated.
constexpr U32 kMaxChoices = 256;

MENU_DATA &m() { return s_data; }

// Drops every reference of the navigation state to an item that is about to be freed.
void vForgetItem(const MENU_ITEM *pItem) {
  MENU_DATA &d = m();
  for (MENU_ITEM *&pRow : d.activeMenuList) {
    if (pRow == pItem) pRow = &s_goneItem;
  }
  for (MENU_ITEM *&pCalling : d.subMenuCallingItem) {
    if (pCalling == pItem) pCalling = nullptr;
  }
}

// Fetches the bound setting into a new item.
void vBindSetting(MENU_ITEM *pItem, FOURCHARID key) {
  BOOLEAN bValid = FALSE;
  DB_ATTRIBUTES attributes = {};
  H_DATABASE_bFetch(key, &pItem->value, &bValid, &attributes);
  if (bValid && attributes.DataType >= D_UNKNOWN && attributes.DataType < NUMBER_OF_DATA_TYPES) {
    pItem->DataType = attributes.DataType;
    pItem->dataFormat = H_DATABASE_DataType(attributes.DataType);
  }
}

// The slot of a sub-menu title, taken when new; -1 when all slots hold other titles.
S32 s32RegisterSubMenu(MENU_TITLE pTitle, const ICON *const *ppIcons, U32 u32Choice) {
  MENU_DATA &d = m();
  const ICON *pIcon = ppIcons != nullptr ? ppIcons[u32Choice] : nullptr;
  for (S32 s = 0; s < MAX_SUB_MENUS; ++s) {
    SUB_MENU &sub = d.subMenus[s];
    if (!sub.menuRegistered) {
      sub = SUB_MENU{};
      sub.pSubMenuName = pTitle;
      sub.pHelperIcon = pIcon;
      sub.menuRegistered = TRUE;
      if (s > d.SubMenuIndex) d.SubMenuIndex = s;
      return s;
    }
    if (sub.pSubMenuName == pTitle) {
      if (ppIcons != nullptr) sub.pHelperIcon = pIcon;
      return s;
    }
  }
  return -1;
}

// Each choice remembers its own slot: slots are not consecutive when a title was registered before.
bool bRegisterSubMenuChoices(MENU_ITEM *pItem) {
  M_SUB_MENU_PARAMETERS &p = pItem->parameters.submenu;
  if (p.numberChoices == 0) return true;
  if (p.numberChoices > kMaxChoices || p.pSubMenuNames == nullptr) return false;
  pItem->ps32SubMenuSlots = static_cast<S32 *>(H_MEMORY_pvCalloc(p.numberChoices, sizeof(S32)));
  for (U32 i = 0; i < p.numberChoices; ++i) {
    const S32 s32Slot = s32RegisterSubMenu(p.pSubMenuNames[i], p.pSubMenuIcons, i);
    if (s32Slot < 0) return false;
    pItem->ps32SubMenuSlots[i] = s32Slot;
  }
  p.subMenuID = pItem->ps32SubMenuSlots[0];
  return true;
}

bool bRebuildAfter(BOOLEAN bAdded) {
  if (bAdded) T_MENU_vUpdateActiveMenuList();
  return bAdded;
}

// Inserts into a counted list; the count grows only when the item is new.
template <class Store>
BOOLEAN bInsertCounted(Store &store, MENU_ITEM *pItem) {
  const BOOLEAN bAdded = T_MENU_bInsertItem(&store.pFirstItem, &store.pLastItem, pItem);
  if (bAdded) ++store.numMenuItems;
  return bAdded;
}

template <class Store>
BOOLEAN bDeleteCounted(Store &store, MENU_TITLE pTitle) {
  const BOOLEAN bDeleted = T_MENU_bDeleteItem(&store.pFirstItem, &store.pLastItem, pTitle);
  if (bDeleted) --store.numMenuItems;
  return bDeleted;
}

bool bHotMenuExistsFor(LAYER_ID view) {
  for (const HOT_MENU &hot : m().hotMenus) {
    if (hot.view != 0 && hot.view == view) return true;
  }
  return false;
}

void vRegisterHotItem(const MSG_ADD_MENU_ITEM *pMsg) {
  MENU_DATA &d = m();
  // View 0 marks a free slot: it names no hot menu.
  if (pMsg->view == 0) return;
  if (pMsg->view != USED_BY_ALL && !bHotMenuExistsFor(pMsg->view)) T_MENU_vRegisterHotMenu(pMsg->view, pMsg->splitType);
  for (HOT_MENU &hot : d.hotMenus) {
    const bool bTakesPart = pMsg->view == USED_BY_ALL ? hot.view != 0 : hot.view == pMsg->view;
    if (!bTakesPart) continue;
    MENU_ITEM *pItem = T_MENU_pMenuItemInitEntry(&pMsg->descriptor, pMsg->pMenuIcon);
    if (pItem == nullptr) continue;
    if (pMsg->view == USED_BY_ALL) {
      MENU_ITEM *pSaved = T_MENU_pMenuItemInitEntry(&pMsg->descriptor, pMsg->pMenuIcon);
      if (pSaved != nullptr) bInsertCounted(d.savedHotMenuItems, pSaved);
    } else if (hot.type != pMsg->splitType) {
      T_MENU_vFreeItem(pItem);
      continue;
    }
    bRebuildAfter(bInsertCounted(hot, pItem));
  }
}

S32 s32FindInfoMenu(MENU_TITLE pTitle) {
  MENU_DATA &d = m();
  if (pTitle == nullptr) return -1;
  for (S32 s = 0; s <= d.InfoMenuIndex && s < MAX_INFO_MENUS; ++s) {
    if (d.infoMenus[s].pInfoMenuName == pTitle) return s;
  }
  return -1;
}

S32 s32FindFloatingMenu(MENU_TITLE pTitle) {
  if (pTitle == nullptr) return -1;
  for (S32 s = 0; s < MAX_FLOATING_MENUS; ++s) {
    if (m().floatingMenus[s].pFloatingMenuName == pTitle) return s;
  }
  return -1;
}

}  // namespace

MENU_DATA *T_MENU_psData(void) { return &s_data; }

MENU_ITEM *T_MENU_pMenuItemInitEntry(const MENU_DESCRIPTOR *pDescriptor, const ICON *pMenuIcon) {
  auto *pItem = static_cast<MENU_ITEM *>(H_MEMORY_pvCalloc(1, sizeof(MENU_ITEM)));
  pItem->pMenuTitle = pDescriptor->pMenuName;
  pItem->activeLevel = pDescriptor->menuUserLevel;
  pItem->control = pDescriptor->control;
  pItem->priority = pDescriptor->menuPriority;
  pItem->pMenuIcon = pMenuIcon;
  const CONTROL_PARAMETERS &in = pDescriptor->parameters;
  CONTROL_PARAMETERS &out = pItem->parameters;
  switch (pDescriptor->control) {
    case M_SLIDER:
    case M_SLIDER_IMMEDIATE:
    case M_SLIDER_VARIABLE_STEP:
      out.slider.FourCharId = in.slider.FourCharId;
      out.slider.valueStrSuffix = in.slider.valueStrSuffix;
      out.slider.pCtrlTextLeft = in.slider.pCtrlTextLeft;
      out.slider.pCtrlTextRight = in.slider.pCtrlTextRight;
      out.slider.pLimits = in.slider.pLimits;
      if (pDescriptor->control == M_SLIDER_VARIABLE_STEP) out.slider.pLevels = in.slider.pLevels;
      vBindSetting(pItem, in.slider.FourCharId);
      break;
    case M_PROGRESS_BAR:
      out.progress.FourCharId = in.progress.FourCharId;
      out.progress.valueStrSuffix = in.progress.valueStrSuffix;
      out.progress.pCtrlTextLeft = in.progress.pCtrlTextLeft;
      out.progress.pCtrlTextRight = in.progress.pCtrlTextRight;
      out.progress.pLimits = in.progress.pLimits;
      vBindSetting(pItem, in.progress.FourCharId);
      break;
    case M_NUMERIC_ENTRY:
      out.numEntry.FourCharId = in.numEntry.FourCharId;
      out.numEntry.valueStrSuffix = in.numEntry.valueStrSuffix;
      out.numEntry.pCtrlTextLeft = in.numEntry.pCtrlTextLeft;
      out.numEntry.pCtrlTextRight = in.numEntry.pCtrlTextRight;
      out.numEntry.pLimits = in.numEntry.pLimits;
      vBindSetting(pItem, in.numEntry.FourCharId);
      break;
    case M_ANGLE_ADJUST:
      out.angleadjust.FourCharId = in.angleadjust.FourCharId;
      out.angleadjust.minValue = in.angleadjust.minValue;
      out.angleadjust.maxValue = in.angleadjust.maxValue;
      out.angleadjust.stepValue = in.angleadjust.stepValue;
      out.angleadjust.bWrapOver = in.angleadjust.bWrapOver;
      out.angleadjust.pChkItemName = in.angleadjust.pChkItemName;
      out.angleadjust.pChkIcon = in.angleadjust.pChkIcon;
      out.angleadjust.fnCbOnInfo = in.angleadjust.fnCbOnInfo;
      vBindSetting(pItem, in.angleadjust.FourCharId);
      break;
    case M_SELECTION_BOX:
      out.selector.FourCharId = in.selector.FourCharId;
      out.selector.pSelectionList = in.selector.pSelectionList;
      out.selector.pSelectionIcons = in.selector.pSelectionIcons;
      out.selector.pSelectionValueArray = in.selector.pSelectionValueArray;
      out.selector.numberSelections = in.selector.numberSelections;
      break;
    case M_ACTION:
    case M_ACTION_HOT:
      out.action.pt2Function = in.action.pt2Function;
      out.action.confirm = in.action.confirm;
      break;
    case M_ACTION_EXT:
      out.actionExt = in.actionExt;
      break;
    case M_ACTION_LIST:
    case M_ACTION_LIST_SHRUNKEN:
      out.actionList.pActionListChoices = in.actionList.pActionListChoices;
      out.actionList.numberChoices = in.actionList.numberChoices;
      out.actionList.pt2Function = in.actionList.pt2Function;
      out.actionList.FourCharId = in.actionList.FourCharId;
      out.actionList.bConfirm = in.actionList.bConfirm;
      break;
    case M_CHECK_LIST:
    case M_CHECK_BOX:
      out.checkList = in.checkList;
      break;
    case M_SUB_MENU:
    case M_SUB_MENU_HOT:
      out.submenu.pSubMenuChoices = in.submenu.pSubMenuChoices;
      out.submenu.pSubMenuNames = in.submenu.pSubMenuNames;
      out.submenu.pSubMenuIcons = in.submenu.pSubMenuIcons;
      out.submenu.numberChoices = in.submenu.numberChoices;
      out.submenu.pt2Function = in.submenu.pt2Function;
      if (!bRegisterSubMenuChoices(pItem)) {
        T_MENU_vFreeItem(pItem);
        return nullptr;
      }
      break;
    default:
      break;
  }
  return pItem;
}

MENU_ITEM *T_MENU_pCloneItem(const MENU_ITEM *pItem) {
  auto *pCopy = static_cast<MENU_ITEM *>(H_MEMORY_pvMalloc(sizeof(MENU_ITEM)));
  *pCopy = *pItem;
  pCopy->pNextMenu = nullptr;
  if (pItem->ps32SubMenuSlots != nullptr) {
    const U32 u32Count = pItem->parameters.submenu.numberChoices;
    pCopy->ps32SubMenuSlots = static_cast<S32 *>(H_MEMORY_pvMalloc(u32Count * sizeof(S32)));
    std::memcpy(pCopy->ps32SubMenuSlots, pItem->ps32SubMenuSlots, u32Count * sizeof(S32));
  }
  return pCopy;
}

void T_MENU_vFreeItem(MENU_ITEM *pItem) {
  if (pItem == nullptr) return;
  vForgetItem(pItem);
  H_MEMORY_vFree(pItem->ps32SubMenuSlots);
  H_MEMORY_vFree(pItem);
}

BOOLEAN T_MENU_bInsertItem(MENU_ITEM **ppHead, MENU_ITEM **ppTail, MENU_ITEM *pItem) {
  if (MENU_ITEM *pOld = T_MENU_pFindItem(*ppHead, pItem->pMenuTitle)) {
    // Same title: the new contents take the old item's place.
    MENU_ITEM *pNext = pOld->pNextMenu;
    H_MEMORY_vFree(pOld->ps32SubMenuSlots);
    *pOld = *pItem;
    pOld->pNextMenu = pNext;
    H_MEMORY_vFree(pItem);
    T_MENU_vUpdateDisplayStrings(pOld, FALSE);
    return FALSE;
  }
  pItem->pNextMenu = nullptr;
  if (*ppHead == nullptr) {
    *ppHead = *ppTail = pItem;
  } else if (pItem->priority == NO_PRIORITY) {
    (*ppTail)->pNextMenu = pItem;
    *ppTail = pItem;
  } else if ((*ppHead)->priority == NO_PRIORITY || pItem->priority < (*ppHead)->priority) {
    pItem->pNextMenu = *ppHead;
    *ppHead = pItem;
  } else {
    MENU_ITEM *pPrev = *ppHead;
    while (pPrev->pNextMenu != nullptr && pPrev->pNextMenu->priority != NO_PRIORITY &&
           pPrev->pNextMenu->priority < pItem->priority) {
      pPrev = pPrev->pNextMenu;
    }
    pItem->pNextMenu = pPrev->pNextMenu;
    pPrev->pNextMenu = pItem;
    if (pItem->pNextMenu == nullptr) *ppTail = pItem;
  }
  return TRUE;
}

BOOLEAN T_MENU_bDeleteItem(MENU_ITEM **ppHead, MENU_ITEM **ppTail, MENU_TITLE pTitle) {
  MENU_ITEM *pPrev = nullptr;
  for (MENU_ITEM *pItem = *ppHead; pItem != nullptr; pPrev = pItem, pItem = pItem->pNextMenu) {
    if (pItem->pMenuTitle != pTitle) continue;
    if (pPrev == nullptr) {
      *ppHead = pItem->pNextMenu;
    } else {
      pPrev->pNextMenu = pItem->pNextMenu;
    }
    if (*ppTail == pItem) *ppTail = pPrev;
    T_MENU_vFreeItem(pItem);
    return TRUE;
  }
  return FALSE;
}

void T_MENU_vFreeList(MENU_ITEM **ppHead, MENU_ITEM **ppTail) {
  while (MENU_ITEM *pItem = *ppHead) {
    *ppHead = pItem->pNextMenu;
    T_MENU_vFreeItem(pItem);
  }
  *ppTail = nullptr;
}

MENU_ITEM *T_MENU_pFindItem(MENU_ITEM *pHead, MENU_TITLE pTitle) {
  for (MENU_ITEM *pItem = pHead; pItem != nullptr; pItem = pItem->pNextMenu) {
    if (pItem->pMenuTitle == pTitle) return pItem;
  }
  return nullptr;
}

S32 T_MENU_s32FindTab(MENU_TITLE pTitle) {
  MENU_DATA &d = m();
  if (pTitle == nullptr) return -1;
  for (S32 s = 0; s <= d.lastTabIndex && s < MENU_NUM_TABS; ++s) {
    if (d.mainMenuTabs[s].pTabTitle == pTitle) return s;
  }
  return -1;
}

S32 T_MENU_s32FindSubMenu(MENU_TITLE pTitle) {
  MENU_DATA &d = m();
  if (pTitle == nullptr) return -1;
  for (S32 s = 0; s <= d.SubMenuIndex && s < MAX_SUB_MENUS; ++s) {
    if (d.subMenus[s].menuRegistered && d.subMenus[s].pSubMenuName == pTitle) return s;
  }
  return -1;
}

void T_MENU_vRegisterMenuTab(const MSG_ADD_MENU_TAB *pMsg) {
  MENU_DATA &d = m();
  if (pMsg->priority >= MENU_NUM_TABS || pMsg->pTabName == nullptr) {
    log_me("menu: tab priority %u refused", static_cast<unsigned>(pMsg->priority));
    return;
  }
  const S32 s32Slot = static_cast<S32>(pMsg->priority);
  MENU_TAB &tab = d.mainMenuTabs[s32Slot];
  tab.pTabTitle = pMsg->pTabName;
  tab.pTabIcon = pMsg->pTabIcon;
  tab.bTabActive = TRUE;
  tab.activeLevel = pMsg->menuUserLevel;
  if (s32Slot > d.lastTabIndex) d.lastTabIndex = s32Slot;
  T_MENU_vUpdateActiveMenuList();
}

void T_MENU_vRegisterMenuItem(const MSG_ADD_MENU_ITEM *pMsg) {
  MENU_DATA &d = m();
  if (pMsg->descriptor.pMenuName == nullptr) return;
  if (pMsg->pTabName != nullptr) {
    const S32 s32Tab = T_MENU_s32FindTab(pMsg->pTabName);
    if (s32Tab < 0) return;
    if (MENU_ITEM *pItem = T_MENU_pMenuItemInitEntry(&pMsg->descriptor, pMsg->pMenuIcon)) {
      bRebuildAfter(bInsertCounted(d.mainMenuTabs[s32Tab], pItem));
    }
  } else if (pMsg->pSubMenuName != nullptr) {
    const S32 s32Sub = T_MENU_s32FindSubMenu(pMsg->pSubMenuName);
    if (s32Sub < 0) return;
    if (MENU_ITEM *pItem = T_MENU_pMenuItemInitEntry(&pMsg->descriptor, pMsg->pMenuIcon)) {
      bRebuildAfter(bInsertCounted(d.subMenus[s32Sub], pItem));
    }
  } else if (pMsg->pInfoMenuName != nullptr) {
    const S32 s32Info = s32FindInfoMenu(pMsg->pInfoMenuName);
    if (s32Info < 0) return;
    if (MENU_ITEM *pItem = T_MENU_pMenuItemInitEntry(&pMsg->descriptor, pMsg->pMenuIcon)) {
      bRebuildAfter(bInsertCounted(d.infoMenus[s32Info], pItem));
    }
  } else if (pMsg->splitType == SPLIT_QUICK_WINDOW) {
    if (MENU_ITEM *pItem = T_MENU_pMenuItemInitEntry(&pMsg->descriptor, pMsg->pMenuIcon)) {
      bInsertCounted(d.quickMenu, pItem);
    }
  } else {
    vRegisterHotItem(pMsg);
  }
}

void T_MENU_vRegisterSubMenu(const MSG_ADD_SUB_MENU *pMsg) {
  if (pMsg->pSubMenuName == nullptr || T_MENU_s32FindSubMenu(pMsg->pSubMenuName) >= 0) return;
  MENU_DATA &d = m();
  for (S32 s = 0; s < MAX_SUB_MENUS; ++s) {
    SUB_MENU &sub = d.subMenus[s];
    if (sub.menuRegistered) continue;
    sub = SUB_MENU{};
    sub.menuRegistered = TRUE;
    sub.pSubMenuName = pMsg->pSubMenuName;
    sub.pHelperIcon = pMsg->pMenuIcon;
    if (s > d.SubMenuIndex) d.SubMenuIndex = s;
    return;
  }
}

void T_MENU_vRegisterHotMenu(LAYER_ID view, SPLIT_WINDOW_TYPE type) {
  MENU_DATA &d = m();
  // Hot menus belong to one view: 0 marks a free slot, USED_BY_ALL names every view.
  if (view == 0 || view == USED_BY_ALL) return;
  for (HOT_MENU &hot : d.hotMenus) {
    if (hot.view == view && hot.type == type) return;
    if (hot.view != 0) continue;
    hot = HOT_MENU{};
    hot.view = view;
    hot.type = type;
    for (const MENU_ITEM *pSaved = d.savedHotMenuItems.pFirstItem; pSaved != nullptr; pSaved = pSaved->pNextMenu) {
      bInsertCounted(hot, T_MENU_pCloneItem(pSaved));
    }
    return;
  }
}

void T_MENU_vRegisterInfoMenu(const MSG_ADD_INFO_MENU *pMsg) {
  MENU_DATA &d = m();
  if (pMsg->pInfoMenuName == nullptr) return;
  for (S32 s = 0; s < MAX_INFO_MENUS; ++s) {
    if (d.infoMenus[s].pInfoMenuName == pMsg->pInfoMenuName) return;
  }
  for (S32 s = 0; s < MAX_INFO_MENUS; ++s) {
    INFO_MENU_TYPE &info = d.infoMenus[s];
    if (info.pInfoMenuName != nullptr) continue;
    info.pInfoMenuName = pMsg->pInfoMenuName;
    if (s > d.InfoMenuIndex) d.InfoMenuIndex = s;
    return;
  }
}

void T_MENU_vClearFloatingMenu(S32 s32Slot) {
  FLOATING_MENU_TYPE &floating = m().floatingMenus[s32Slot];
  T_MENU_vFreeList(&floating.pFirstItem, &floating.pLastItem);
  floating = FLOATING_MENU_TYPE{};
}

void T_MENU_vClearSingleCenteredMenu(void) {
  SINGLE_CENTERED_MENU_TYPE &single = m().singleCenteredMenus[0];
  T_MENU_vFreeList(&single.pFirstItem, &single.pLastItem);
  single = SINGLE_CENTERED_MENU_TYPE{};
}

void T_MENU_vRegisterFloatingMenu(const MSG_ADD_FLOATING_MENU *pMsg) {
  MENU_DATA &d = m();
  if (d.activeMenu == FLOATING_MENU || pMsg->pFloatingMenuName == nullptr) return;
  S32 s32Slot = MAX_FLOATING_MENUS - 1;
  for (S32 s = 0; s < MAX_FLOATING_MENUS; ++s) {
    const MENU_TITLE pTitle = d.floatingMenus[s].pFloatingMenuName;
    if (pTitle == nullptr || pTitle == pMsg->pFloatingMenuName) {
      s32Slot = s;
      break;
    }
  }
  T_MENU_vClearFloatingMenu(s32Slot);
  FLOATING_MENU_TYPE &floating = d.floatingMenus[s32Slot];
  floating.pFloatingMenuName = pMsg->pFloatingMenuName;
  floating.GoToKeyHandler = pMsg->GoToKeyHandler;
  floating.ExitKeyHandler = pMsg->ExitKeyHandler;
  floating.bDisplayAltName = pMsg->bDisplayAltName;
  if (pMsg->bDisplayAltName) {
    std::memcpy(floating.aStrAltName, pMsg->aStrAltName, MENU_ALT_NAME_SIZE);
    floating.aStrAltName[MENU_ALT_NAME_SIZE - 1] = '\0';
  }
}

void T_MENU_vRegisterFloatingMenuItem(const MSG_ADD_MENU_ITEM *pMsg) {
  MENU_DATA &d = m();
  if (d.activeMenu == FLOATING_MENU || pMsg->descriptor.pMenuName == nullptr) return;
  const S32 s32Slot = s32FindFloatingMenu(pMsg->pTabName);
  if (s32Slot < 0) return;
  MENU_ITEM *pItem = T_MENU_pMenuItemInitEntry(&pMsg->descriptor, pMsg->pMenuIcon);
  if (pItem == nullptr) return;
  pItem->bActive = TRUE;
  bInsertCounted(d.floatingMenus[s32Slot], pItem);
}

void T_MENU_vUnregisterFloatingMenu(const MSG_REMOVE_FLOATING_MENU *pMsg) {
  MENU_DATA &d = m();
  const S32 s32Slot = s32FindFloatingMenu(pMsg->pFloatingMenuName);
  if (s32Slot < 0) return;
  // The floating menu on the screen is not pulled from under the user; its owner closes it first.
  if (d.activeMenu == FLOATING_MENU && d.activeFloatingMenu == s32Slot) return;
  T_MENU_vClearFloatingMenu(s32Slot);
}

void T_MENU_vUnregisterSingleCenteredMenu(const MSG_REMOVE_SINGLE_CENTERED_MENU *pMsg) {
  MENU_DATA &d = m();
  if (d.activeMenu == SINGLE_CENTERED_MENU) return;
  if (pMsg->pSingleCenteredMenuName != nullptr &&
      d.singleCenteredMenus[0].pSingleCenteredMenuName != pMsg->pSingleCenteredMenuName) {
    return;
  }
  T_MENU_vClearSingleCenteredMenu();
}

void T_MENU_vUnregisterMenuTab(const MSG_REMOVE_TAB *pMsg) {
  MENU_DATA &d = m();
  const S32 s32Tab = T_MENU_s32FindTab(pMsg->pTabName);
  if (s32Tab < 0) return;
  d.mainMenuTabs[s32Tab].pTabTitle = nullptr;
  d.mainMenuTabs[s32Tab].bTabActive = FALSE;
  if (d.activeTab == s32Tab) {
    d.activeTab = 0;
    for (S32 s = 0; s <= d.lastTabIndex && s < MENU_NUM_TABS; ++s) {
      if (d.mainMenuTabs[s].bTabActive) {
        d.activeTab = s;
        break;
      }
    }
  }
  T_MENU_vUpdateActiveMenuList();
}

void T_MENU_vUnregisterMenuItem(const MSG_REMOVE_MENU *pMsg) {
  MENU_DATA &d = m();
  if (pMsg->pTabName != nullptr) {
    const S32 s32Tab = T_MENU_s32FindTab(pMsg->pTabName);
    if (s32Tab >= 0) bRebuildAfter(bDeleteCounted(d.mainMenuTabs[s32Tab], pMsg->pMenuName));
    return;
  }
  if (pMsg->pSubMenuName != nullptr) {
    const S32 s32Sub = T_MENU_s32FindSubMenu(pMsg->pSubMenuName);
    if (s32Sub >= 0) bRebuildAfter(bDeleteCounted(d.subMenus[s32Sub], pMsg->pMenuName));
    return;
  }
  if (pMsg->view == USED_BY_ALL) {
    bDeleteCounted(d.savedHotMenuItems, pMsg->pMenuName);
    // The quick set-up list is reached only by this form of removal.
    bRebuildAfter(bDeleteCounted(d.quickMenu, pMsg->pMenuName));
  }
  for (HOT_MENU &hot : d.hotMenus) {
    bool bTakesPart;
    if (pMsg->view == USED_BY_ALL) {
      bTakesPart = hot.view != 0;
    } else {
      bTakesPart = hot.view != 0 && hot.view == pMsg->view &&
                   (hot.type == pMsg->splitType || pMsg->splitType == SPLIT_FULL_WINDOW);
    }
    if (bTakesPart) bRebuildAfter(bDeleteCounted(hot, pMsg->pMenuName));
  }
}

void T_MENU_vResetStores(void) {
  MENU_DATA &d = m();
  for (MENU_TAB &tab : d.mainMenuTabs) T_MENU_vFreeList(&tab.pFirstItem, &tab.pLastItem);
  for (HOT_MENU &hot : d.hotMenus) T_MENU_vFreeList(&hot.pFirstItem, &hot.pLastItem);
  for (SUB_MENU &sub : d.subMenus) T_MENU_vFreeList(&sub.pFirstItem, &sub.pLastItem);
  for (INFO_MENU_TYPE &info : d.infoMenus) T_MENU_vFreeList(&info.pFirstItem, &info.pLastItem);
  for (S32 s = 0; s < MAX_FLOATING_MENUS; ++s) T_MENU_vClearFloatingMenu(s);
  T_MENU_vClearSingleCenteredMenu();
  T_MENU_vFreeList(&d.savedHotMenuItems.pFirstItem, &d.savedHotMenuItems.pLastItem);
  T_MENU_vFreeList(&d.quickMenu.pFirstItem, &d.quickMenu.pLastItem);
  std::memset(static_cast<void *>(&d), 0, sizeof d);
}
