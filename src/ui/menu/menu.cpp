// Client side of the menu task: each function packs its arguments into one message and posts it to the menu
// task's mailbox. No state, no lock: any task may call them.
#include "ui/menu/menu.h"

#include <cstring>

#include "kernel/memory.h"

namespace {

template <class T>
T *pNewMessage(CMD_ID cmd) {
  auto *pMsg = static_cast<T *>(H_MEMORY_pvCalloc(1, sizeof(T)));
  pMsg->header.Cmd = cmd;
  return pMsg;
}

// Allocates, fills and posts one message; FALSE (nothing allocated) without a menu task.
template <class T, class Fill>
BOOLEAN bPost(CMD_ID cmd, Fill fill) {
  MBOX mbox = 0;
  if (!H_DATABASE_bFetchMailbox(FCID("TMNU"), &mbox)) return FALSE;
  T *pMsg = pNewMessage<T>(cmd);
  fill(pMsg);
  L_MBOX_Send(mbox, pMsg, NORMAL_PRIORITY, 0);
  return TRUE;
}

// Where an item goes: exactly one way of naming its menu.
struct Target {
  MENU_TITLE pTabName;
  LAYER_ID view;
  SPLIT_WINDOW_TYPE splitType;
  MENU_TITLE pSubMenuName;
  MENU_TITLE pInfoMenuName;
  const ICON *pMenuIcon;
};

Target tab(MENU_TITLE pTab, const ICON *pIcon = nullptr) {
  return {pTab, USED_BY_ALL, SPLIT_FULL_WINDOW, nullptr, nullptr, pIcon};
}
Target hot(const ICON *pIcon, LAYER_ID view, SPLIT_WINDOW_TYPE split) {
  return {nullptr, view, split, nullptr, nullptr, pIcon};
}
Target sub(MENU_TITLE pSub, const ICON *pIcon) {
  return {nullptr, USED_BY_ALL, SPLIT_FULL_WINDOW, pSub, nullptr, pIcon};
}
Target info(MENU_TITLE pInfo) { return {nullptr, USED_BY_ALL, SPLIT_FULL_WINDOW, nullptr, pInfo, nullptr}; }
Target quick() { return {nullptr, USED_BY_ALL, SPLIT_QUICK_WINDOW, nullptr, nullptr, nullptr}; }
Target floating(MENU_TITLE pMenu, const ICON *pIcon) {
  return {pMenu, USED_BY_ALL, SPLIT_FULL_WINDOW, nullptr, nullptr, pIcon};
}

template <class T>
void vFillTarget(T *pMsg, const Target &target, const MENU_DESCRIPTOR &descriptor) {
  pMsg->pTabName = target.pTabName;
  pMsg->view = target.view;
  pMsg->splitType = target.splitType;
  pMsg->pSubMenuName = target.pSubMenuName;
  pMsg->pInfoMenuName = target.pInfoMenuName;
  pMsg->pMenuIcon = target.pMenuIcon;
  pMsg->descriptor = descriptor;
}

BOOLEAN bPostItem(const Target &target, const MENU_DESCRIPTOR &descriptor,
                  CMD_ID cmd = CMD_ID_REGISTER_MENU_ITEM) {
  return bPost<MSG_ADD_MENU_ITEM>(cmd, [&](MSG_ADD_MENU_ITEM *pMsg) { vFillTarget(pMsg, target, descriptor); });
}

BOOLEAN bPostSingleCentered(const ICON *pIcon, const MENU_DESCRIPTOR &descriptor, BOOLEAN bDisplayMenu,
                            BOOLEAN bLoop) {
  return bPost<MSG_ADD_SINGLE_CENTERED_MENU_ITEM>(
      CMD_ID_REGISTER_SINGLE_CENTERED_MENU_ITEM, [&](MSG_ADD_SINGLE_CENTERED_MENU_ITEM *pMsg) {
        vFillTarget(pMsg, floating(descriptor.pMenuName, pIcon), descriptor);
        pMsg->bDisplayMenu = bDisplayMenu;
        pMsg->bLoopSelection = bLoop;
      });
}

// Descriptors: every field the kind does not use stays zero.
MENU_DESCRIPTOR head(MENU_TITLE pName, MENU_PRIORITY priority, MENU_USER_LEVEL level, MENU_CONTROL control) {
  MENU_DESCRIPTOR d;
  std::memset(&d, 0, sizeof d);
  d.pMenuName = pName;
  d.menuPriority = priority;
  d.menuUserLevel = level;
  d.control = control;
  return d;
}

struct ValueTexts {
  MENU_TITLE pLeft;
  MENU_TITLE pRight;
  MENU_TITLE pSuffix;
};

// Sliders, progress bars and numeric entries share the leading fields they are given here.
MENU_DESCRIPTOR bar(MENU_TITLE pName, MENU_PRIORITY priority, MENU_USER_LEVEL level, MENU_CONTROL control,
                    FOURCHARID key, const MENU_LIMITS *pLimits, const MENU_STEP_LEVELS *pLevels,
                    const ValueTexts &texts) {
  MENU_DESCRIPTOR d = head(pName, priority, level, control);
  switch (control) {
    case M_PROGRESS_BAR: {
      M_PROGRESS_BAR_PARAMETERS &p = d.parameters.progress;
      p.FourCharId = key;
      p.pLimits = pLimits;
      p.pCtrlTextLeft = texts.pLeft;
      p.pCtrlTextRight = texts.pRight;
      p.valueStrSuffix = texts.pSuffix;
      break;
    }
    case M_NUMERIC_ENTRY: {
      M_NUMERIC_ENTRY_PARAMETERS &p = d.parameters.numEntry;
      p.FourCharId = key;
      p.pLimits = pLimits;
      p.pCtrlTextLeft = texts.pLeft;
      p.pCtrlTextRight = texts.pRight;
      p.valueStrSuffix = texts.pSuffix;
      break;
    }
    default: {
      M_SLIDER_PARAMETERS &p = d.parameters.slider;
      p.FourCharId = key;
      p.pLimits = pLimits;
      p.pLevels = pLevels;
      p.pCtrlTextLeft = texts.pLeft;
      p.pCtrlTextRight = texts.pRight;
      p.valueStrSuffix = texts.pSuffix;
      break;
    }
  }
  return d;
}

MENU_DESCRIPTOR selector(MENU_TITLE pName, MENU_PRIORITY priority, MENU_USER_LEVEL level, FOURCHARID key, U32 num,
                         MENU_TITLE_LIST pList, const ICON *const *pIcons, const U32 *pValues) {
  MENU_DESCRIPTOR d = head(pName, priority, level, M_SELECTION_BOX);
  M_SELECTION_BOX_PARAMETERS &p = d.parameters.selector;
  p.FourCharId = key;
  p.numberSelections = num;
  p.pSelectionList = pList;
  p.pSelectionIcons = pIcons;
  p.pSelectionValueArray = pValues;
  return d;
}

MENU_DESCRIPTOR action(MENU_TITLE pName, MENU_PRIORITY priority, MENU_USER_LEVEL level, MENU_CONTROL control,
                       MENU_FUNCTION pfn, BOOLEAN bConfirm) {
  MENU_DESCRIPTOR d = head(pName, priority, level, control);
  d.parameters.action.pt2Function = pfn;
  d.parameters.action.confirm = bConfirm;
  return d;
}

MENU_DESCRIPTOR actionList(MENU_TITLE pName, MENU_PRIORITY priority, MENU_USER_LEVEL level, MENU_CONTROL control,
                           MENU_TITLE_LIST pChoices, const MENU_FUNCTION *pfns, U32 num, FOURCHARID key,
                           const BOOLEAN *pConfirm) {
  MENU_DESCRIPTOR d = head(pName, priority, level, control);
  M_ACTION_LIST_PARAMETERS &p = d.parameters.actionList;
  p.pActionListChoices = pChoices;
  p.pt2Function = pfns;
  p.numberChoices = num;
  p.FourCharId = key;
  p.bConfirm = pConfirm;
  return d;
}

MENU_DESCRIPTOR subMenu(MENU_TITLE pName, MENU_PRIORITY priority, MENU_USER_LEVEL level, MENU_CONTROL control,
                        MENU_TITLE_LIST pChoices, MENU_TITLE_LIST pNames, const ICON *const *pIcons, U32 num,
                        MENU_FUNCTION pfn = nullptr) {
  MENU_DESCRIPTOR d = head(pName, priority, level, control);
  M_SUB_MENU_PARAMETERS &p = d.parameters.submenu;
  p.pSubMenuChoices = pChoices;
  p.pSubMenuNames = pNames;
  p.pSubMenuIcons = pIcons;
  p.numberChoices = num;
  p.pt2Function = pfn;
  return d;
}

MENU_DESCRIPTOR checkList(MENU_TITLE pName, MENU_PRIORITY priority, MENU_USER_LEVEL level, MENU_CONTROL control,
                          U32 u32Context, GET_CHECK_FUNC get, SET_CHECK_FUNC set) {
  MENU_DESCRIPTOR d = head(pName, priority, level, control);
  d.parameters.checkList.context = u32Context;
  d.parameters.checkList.getCheck = get;
  d.parameters.checkList.setCheck = set;
  return d;
}

template <class T>
BOOLEAN bPostTitle(CMD_ID cmd, MENU_TITLE pTitle, MENU_TITLE T::*pField) {
  return bPost<T>(cmd, [&](T *pMsg) { pMsg->*pField = pTitle; });
}

BOOLEAN bPostRemoval(MENU_TITLE pItem, MENU_TITLE pTab, MENU_TITLE pSub, LAYER_ID view, SPLIT_WINDOW_TYPE split) {
  return bPost<MSG_REMOVE_MENU>(CMD_ID_UNREGISTER_MENU_ITEM, [&](MSG_REMOVE_MENU *pMsg) {
    pMsg->pMenuName = pItem;
    pMsg->pTabName = pTab;
    pMsg->pSubMenuName = pSub;
    pMsg->view = view;
    pMsg->splitType = split;
  });
}

}  // namespace

// Tabs, menus and removals.

BOOLEAN U_MENU_bRegisterTab(MENU_TITLE pTabName, TAB_PRIORITY priority, const ICON *pTabIcon,
                            MENU_USER_LEVEL userLevel) {
  return bPost<MSG_ADD_MENU_TAB>(CMD_ID_REGISTER_MENU_TAB, [&](MSG_ADD_MENU_TAB *pMsg) {
    pMsg->pTabName = pTabName;
    pMsg->priority = priority;
    pMsg->pTabIcon = pTabIcon;
    pMsg->menuUserLevel = userLevel;
  });
}

BOOLEAN U_MENU_bUnregisterTab(MENU_TITLE pTabName) {
  return bPostTitle(CMD_ID_UNREGISTER_MENU_TAB, pTabName, &MSG_REMOVE_TAB::pTabName);
}

BOOLEAN U_MENU_bRegisterSubMenu(MENU_TITLE pSubMenuName, MENU_PRIORITY priority, const ICON *pMenuIcon,
                                MENU_USER_LEVEL userLevel) {
  return bPost<MSG_ADD_SUB_MENU>(CMD_ID_REGISTER_SUB_MENU, [&](MSG_ADD_SUB_MENU *pMsg) {
    pMsg->pSubMenuName = pSubMenuName;
    pMsg->priority = priority;
    pMsg->pMenuIcon = pMenuIcon;
    pMsg->menuUserLevel = userLevel;
  });
}

BOOLEAN U_MENU_bRegisterZephrinMenu(LAYER_ID view, SPLIT_WINDOW_TYPE splitType) {
  return bPost<MSG_ADD_HOT_MENU>(CMD_ID_REGISTER_HOT_MENU, [&](MSG_ADD_HOT_MENU *pMsg) {
    pMsg->view = view;
    pMsg->type = splitType;
  });
}

BOOLEAN U_MENU_bRegisterInfoMenu(MENU_TITLE pMenuTitle) {
  return bPostTitle(CMD_ID_REGISTER_INFO_MENU, pMenuTitle, &MSG_ADD_INFO_MENU::pInfoMenuName);
}

void U_MENU_ActivateInfoMenu(MENU_TITLE pInfoMenuName, MENU_TITLE_LIST pActiveMenus, U8 u8numActiveMenus) {
  bPost<MSG_ACTIVATE_INFO_MENU>(CMD_ID_ACTIVATE_INFO_MENU, [&](MSG_ACTIVATE_INFO_MENU *pMsg) {
    pMsg->pInfoMenuName = pInfoMenuName;
    pMsg->pActiveMenus = pActiveMenus;
    pMsg->u8numActiveMenus = u8numActiveMenus;
  });
}

BOOLEAN U_MENU_bRegisterFloatingMenu(MENU_TITLE pMenuTitle, MENU_FUNCTION fnCbOnGoTo, MENU_FUNCTION fnCbOnExit,
                                     BOOLEAN bDisplayAltName, const char *pStrAltName) {
  return bPost<MSG_ADD_FLOATING_MENU>(CMD_ID_REGISTER_FLOATING_MENU, [&](MSG_ADD_FLOATING_MENU *pMsg) {
    pMsg->pFloatingMenuName = pMenuTitle;
    pMsg->GoToKeyHandler = fnCbOnGoTo;
    pMsg->ExitKeyHandler = fnCbOnExit;
    if (pStrAltName != nullptr) {
      std::strncpy(pMsg->aStrAltName, pStrAltName, MENU_ALT_NAME_SIZE);
      pMsg->aStrAltName[MENU_ALT_NAME_SIZE - 1] = '\0';
      pMsg->bDisplayAltName = bDisplayAltName;
    } else {
      pMsg->bDisplayAltName = FALSE;
    }
  });
}

BOOLEAN U_MENU_bUnregisterFloatingMenu(MENU_TITLE pFloatingMenuName) {
  return bPostTitle(CMD_ID_UNREGISTER_FLOATING_MENU, pFloatingMenuName, &MSG_REMOVE_FLOATING_MENU::pFloatingMenuName);
}

BOOLEAN U_MENU_bActivateSpecifiedHotMenu(LAYER_ID view) {
  return bPost<MSG_ACTIVATE_HOT_MENU>(CMD_ID_ACTIVATE_HOT_MENU, [&](MSG_ACTIVATE_HOT_MENU *pMsg) { pMsg->view = view; });
}

void U_MENU_ActivateFloatingMenu(MENU_TITLE pFloatingMenuName) {
  bPostTitle(CMD_ID_ACTIVATE_FLOATING_MENU, pFloatingMenuName, &MSG_ACTIVATE_FLOATING_MENU::pFloatingMenuName);
}

BOOLEAN U_MENU_bUnregisterSingleCenteredMenu(MENU_TITLE pSingleCenteredMenuName) {
  return bPostTitle(CMD_ID_UNREGISTER_SINGLE_CENTERED_MENU, pSingleCenteredMenuName,
                    &MSG_REMOVE_SINGLE_CENTERED_MENU::pSingleCenteredMenuName);
}

void U_MENU_vActivateSingleCenteredMenu(MENU_TITLE pMenuName, LAYER_ID eCurrentView, BOOLEAN bDisplayMenu,
                                        BOOLEAN bLoopValues, MENU_TITLE pMenuLocation) {
  bPost<MSG_ACTIVATE_SINGLE_CENTERED_MENU>(
      CMD_ID_ACTIVATE_SINGLE_CENTERED_MENU, [&](MSG_ACTIVATE_SINGLE_CENTERED_MENU *pMsg) {
        pMsg->pSingleCenteredMenuName = pMenuName;
        pMsg->eCurrentView = eCurrentView;
        pMsg->bDisplayMenu = bDisplayMenu;
        pMsg->bLoopSelection = bLoopValues;
        pMsg->pMenuLocation = pMenuLocation;
      });
}

BOOLEAN U_MENU_bUnregisterMainMenuItem(MENU_TITLE pMenuName, MENU_TITLE pTabName) {
  return bPostRemoval(pMenuName, pTabName, nullptr, USED_BY_ALL, SPLIT_FULL_WINDOW);
}

BOOLEAN U_MENU_bUnregisterSubMenuItem(MENU_TITLE pSubMenuName, MENU_TITLE pSubMenuItemName) {
  return bPostRemoval(pSubMenuItemName, nullptr, pSubMenuName, USED_BY_ALL, SPLIT_FULL_WINDOW);
}

BOOLEAN U_MENU_bUnregisterHotMenuItem(MENU_TITLE pMenuName, LAYER_ID view, SPLIT_WINDOW_TYPE splitType) {
  return bPostRemoval(pMenuName, nullptr, nullptr, view, splitType);
}

BOOLEAN U_MENU_bUnregisterQuickMenuItem(MENU_TITLE pMenuName) {
  return bPostRemoval(pMenuName, nullptr, nullptr, USED_BY_ALL, SPLIT_FULL_WINDOW);
}

void U_MENU_vClearMenus(void) {
  bPost<MSG_CLEAR_MENU>(CMD_ID_CLEAR_MENU, [](MSG_CLEAR_MENU *) {});
}

void U_MENU_vHideMenus(void) {
  bPost<MSG_CLEAR_MENU>(CMD_ID_HIDE_MENU, [](MSG_CLEAR_MENU *) {});
}

void U_MENU_vRestoreMenus(void) {
  bPost<MSG_CLEAR_MENU>(CMD_ID_RESTORE_MENU, [](MSG_CLEAR_MENU *) {});
}

// Main-menu tab items.

BOOLEAN U_MENU_bRegisterMainSliderMenu(MENU_TITLE pMenuName, MENU_TITLE pTabName, MENU_PRIORITY menuPriority,
                                       FOURCHARID FourCharId, const MENU_LIMITS *pLimits,
                                       MENU_TITLE pControlTextLeft, MENU_TITLE pControlTextRight,
                                       MENU_TITLE pValueSuffix, MENU_USER_LEVEL userLevel) {
  return bPostItem(tab(pTabName), bar(pMenuName, menuPriority, userLevel, M_SLIDER, FourCharId, pLimits, nullptr,
                                      {pControlTextLeft, pControlTextRight, pValueSuffix}));
}

BOOLEAN U_MENU_bRegisterMainVarStepSliderMenu(MENU_TITLE pMenuName, MENU_TITLE pTabName, MENU_PRIORITY menuPriority,
                                              FOURCHARID FourCharId, const MENU_LIMITS *pLimits,
                                              const MENU_STEP_LEVELS *pLevels, MENU_TITLE pControlTextLeft,
                                              MENU_TITLE pControlTextRight, MENU_TITLE pValueSuffix,
                                              MENU_USER_LEVEL userLevel) {
  return bPostItem(tab(pTabName), bar(pMenuName, menuPriority, userLevel, M_SLIDER_VARIABLE_STEP, FourCharId,
                                      pLimits, pLevels, {pControlTextLeft, pControlTextRight, pValueSuffix}));
}

BOOLEAN U_MENU_bRegisterMainProgBarMenu(MENU_TITLE pMenuName, MENU_TITLE pTabName, MENU_PRIORITY menuPriority,
                                        FOURCHARID FourCharId, const MENU_LIMITS *pLimits,
                                        MENU_TITLE pControlTextLeft, MENU_TITLE pControlTextRight,
                                        MENU_TITLE pValueSuffix, MENU_USER_LEVEL userLevel) {
  return bPostItem(tab(pTabName), bar(pMenuName, menuPriority, userLevel, M_PROGRESS_BAR, FourCharId, pLimits,
                                      nullptr, {pControlTextLeft, pControlTextRight, pValueSuffix}));
}

BOOLEAN U_MENU_bRegisterMainNumEntryMenu(MENU_TITLE pMenuName, MENU_TITLE pTabName, MENU_PRIORITY menuPriority,
                                         FOURCHARID FourCharId, const MENU_LIMITS *pLimits,
                                         MENU_TITLE pControlTextLeft, MENU_TITLE pControlTextRight,
                                         MENU_TITLE pValueSuffix, MENU_USER_LEVEL userLevel) {
  return bPostItem(tab(pTabName), bar(pMenuName, menuPriority, userLevel, M_NUMERIC_ENTRY, FourCharId, pLimits,
                                      nullptr, {pControlTextLeft, pControlTextRight, pValueSuffix}));
}

BOOLEAN U_MENU_bRegisterMainSelectorMenu(MENU_TITLE pMenuName, MENU_TITLE pTabName, MENU_PRIORITY menuPriority,
                                         FOURCHARID FourCharId, U32 numSelctions, MENU_TITLE_LIST pSelectionList,
                                         const U32 *pSelectionValues, MENU_USER_LEVEL userLevel) {
  return bPostItem(tab(pTabName), selector(pMenuName, menuPriority, userLevel, FourCharId, numSelctions,
                                           pSelectionList, nullptr, pSelectionValues));
}

BOOLEAN U_MENU_bRegisterMainIconSelectorMenu(MENU_TITLE pMenuName, MENU_TITLE pTabName, MENU_PRIORITY menuPriority,
                                             FOURCHARID FourCharId, U32 numSelctions,
                                             const ICON *const *pSelectionIcons, const U32 *pSelectionValues,
                                             MENU_USER_LEVEL userLevel) {
  return bPostItem(tab(pTabName), selector(pMenuName, menuPriority, userLevel, FourCharId, numSelctions, nullptr,
                                           pSelectionIcons, pSelectionValues));
}

BOOLEAN U_MENU_bRegisterMainActionMenu(MENU_TITLE pMenuName, MENU_TITLE pTabName, MENU_PRIORITY menuPriority,
                                       MENU_FUNCTION p2Function, BOOLEAN bConfirm, MENU_USER_LEVEL userLevel) {
  return bPostItem(tab(pTabName), action(pMenuName, menuPriority, userLevel, M_ACTION, p2Function, bConfirm));
}

BOOLEAN U_MENU_bRegisterMainActionListMenu(MENU_TITLE pMenuName, MENU_TITLE pTabName, MENU_PRIORITY menuPriority,
                                           MENU_TITLE_LIST pActionListChoices, const MENU_FUNCTION *pt2Function,
                                           U32 u32numActionItems, MENU_USER_LEVEL userLevel, FOURCHARID fourCharId,
                                           const BOOLEAN *bConfirm) {
  return bPostItem(tab(pTabName), actionList(pMenuName, menuPriority, userLevel, M_ACTION_LIST, pActionListChoices,
                                             pt2Function, u32numActionItems, fourCharId, bConfirm));
}

BOOLEAN U_MENU_bRegisterMainSubMenu(MENU_TITLE pMenuName, MENU_TITLE pTabName, MENU_PRIORITY menuPriority,
                                    MENU_TITLE_LIST pSumMenuChoices, MENU_TITLE_LIST pSumMenuNames,
                                    const ICON *const *pSubMenuIcons, U32 u32numSubMenus,
                                    MENU_USER_LEVEL userLevel) {
  return bPostItem(tab(pTabName), subMenu(pMenuName, menuPriority, userLevel, M_SUB_MENU, pSumMenuChoices,
                                          pSumMenuNames, pSubMenuIcons, u32numSubMenus));
}

BOOLEAN U_MENU_bRegisterMainSubMenuWithIcon(MENU_TITLE pMenuName, MENU_TITLE pTabName, const ICON *pMenuIcon,
                                            MENU_PRIORITY menuPriority, MENU_TITLE_LIST pSumMenuChoices,
                                            MENU_TITLE_LIST pSumMenuNames, const ICON *const *pSubMenuIcons,
                                            U32 u32numSubMenus, MENU_USER_LEVEL userLevel) {
  return bPostItem(tab(pTabName, pMenuIcon), subMenu(pMenuName, menuPriority, userLevel, M_SUB_MENU,
                                                     pSumMenuChoices, pSumMenuNames, pSubMenuIcons, u32numSubMenus));
}

BOOLEAN U_MENU_bRegisterMainSubMenuWithAction(MENU_TITLE pMenuName, MENU_TITLE pTabName, MENU_PRIORITY menuPriority,
                                              MENU_TITLE_LIST pSumMenuChoices, MENU_TITLE_LIST pSumMenuNames,
                                              const ICON *const *pSubMenuIcons, U32 u32numSubMenus,
                                              MENU_USER_LEVEL userLevel, MENU_FUNCTION p2Function) {
  return bPostItem(tab(pTabName), subMenu(pMenuName, menuPriority, userLevel, M_SUB_MENU, pSumMenuChoices,
                                          pSumMenuNames, pSubMenuIcons, u32numSubMenus, p2Function));
}

// Hot menu items.

BOOLEAN U_MENU_bRegisterHotSliderMenu(MENU_TITLE pMenuName, const ICON *pMenuIcon, MENU_PRIORITY menuPriority,
                                      FOURCHARID FourCharId, const MENU_LIMITS *pLimits,
                                      MENU_TITLE pControlTextLeft, MENU_TITLE pControlTextRight,
                                      MENU_TITLE pValueSuffix, MENU_USER_LEVEL userLevel, LAYER_ID view,
                                      SPLIT_WINDOW_TYPE splitType) {
  return bPostItem(hot(pMenuIcon, view, splitType),
                   bar(pMenuName, menuPriority, userLevel, M_SLIDER, FourCharId, pLimits, nullptr,
                       {pControlTextLeft, pControlTextRight, pValueSuffix}));
}

BOOLEAN U_MENU_bRegisterHotImmediateSliderMenu(MENU_TITLE pMenuName, const ICON *pMenuIcon,
                                               MENU_PRIORITY menuPriority, FOURCHARID FourCharId,
                                               const MENU_LIMITS *pLimits, MENU_TITLE pControlTextLeft,
                                               MENU_TITLE pControlTextRight, MENU_TITLE pValueSuffix,
                                               MENU_USER_LEVEL userLevel, LAYER_ID view,
                                               SPLIT_WINDOW_TYPE splitType) {
  return bPostItem(hot(pMenuIcon, view, splitType),
                   bar(pMenuName, menuPriority, userLevel, M_SLIDER_IMMEDIATE, FourCharId, pLimits, nullptr,
                       {pControlTextLeft, pControlTextRight, pValueSuffix}));
}

BOOLEAN U_MENU_bRegisterHotVarStepSliderMenu(MENU_TITLE pMenuName, const ICON *pMenuIcon, MENU_PRIORITY menuPriority,
                                             FOURCHARID FourCharId, const MENU_LIMITS *pLimits,
                                             const MENU_STEP_LEVELS *pLevels, MENU_TITLE pControlTextLeft,
                                             MENU_TITLE pControlTextRight, MENU_TITLE pValueSuffix,
                                             MENU_USER_LEVEL userLevel, LAYER_ID view, SPLIT_WINDOW_TYPE splitType) {
  return bPostItem(hot(pMenuIcon, view, splitType),
                   bar(pMenuName, menuPriority, userLevel, M_SLIDER_VARIABLE_STEP, FourCharId, pLimits, pLevels,
                       {pControlTextLeft, pControlTextRight, pValueSuffix}));
}

BOOLEAN U_MENU_bRegisterHotProgBarMenu(MENU_TITLE pMenuName, const ICON *pMenuIcon, MENU_PRIORITY menuPriority,
                                       FOURCHARID FourCharId, const MENU_LIMITS *pLimits,
                                       MENU_TITLE pControlTextLeft, MENU_TITLE pControlTextRight,
                                       MENU_TITLE pValueSuffix, MENU_USER_LEVEL userLevel, LAYER_ID view,
                                       SPLIT_WINDOW_TYPE splitType) {
  return bPostItem(hot(pMenuIcon, view, splitType),
                   bar(pMenuName, menuPriority, userLevel, M_PROGRESS_BAR, FourCharId, pLimits, nullptr,
                       {pControlTextLeft, pControlTextRight, pValueSuffix}));
}

BOOLEAN U_MENU_bRegisterHotNumEntryMenu(MENU_TITLE pMenuName, const ICON *pMenuIcon, MENU_PRIORITY menuPriority,
                                        FOURCHARID FourCharId, const MENU_LIMITS *pLimits,
                                        MENU_TITLE pControlTextLeft, MENU_TITLE pControlTextRight,
                                        MENU_TITLE pValueSuffix, MENU_USER_LEVEL userLevel, LAYER_ID view,
                                        SPLIT_WINDOW_TYPE splitType) {
  return bPostItem(hot(pMenuIcon, view, splitType),
                   bar(pMenuName, menuPriority, userLevel, M_NUMERIC_ENTRY, FourCharId, pLimits, nullptr,
                       {pControlTextLeft, pControlTextRight, pValueSuffix}));
}

BOOLEAN U_MENU_bRegisterHotSelectorMenu(MENU_TITLE pMenuName, const ICON *pMenuIcon, MENU_PRIORITY menuPriority,
                                        FOURCHARID FourCharId, U32 numSelctions, MENU_TITLE_LIST pSelectionList,
                                        const U32 *pSelectionValues, MENU_USER_LEVEL userLevel, LAYER_ID view,
                                        SPLIT_WINDOW_TYPE splitType) {
  return bPostItem(hot(pMenuIcon, view, splitType), selector(pMenuName, menuPriority, userLevel, FourCharId,
                                                             numSelctions, pSelectionList, nullptr, pSelectionValues));
}

BOOLEAN U_MENU_bRegisterHotIconSelectorMenu(MENU_TITLE pMenuName, const ICON *pMenuIcon, MENU_PRIORITY menuPriority,
                                            FOURCHARID FourCharId, U32 numSelctions,
                                            const ICON *const *pSelectionIcons, const U32 *pSelectionValues,
                                            MENU_USER_LEVEL userLevel, LAYER_ID view, SPLIT_WINDOW_TYPE splitType) {
  return bPostItem(hot(pMenuIcon, view, splitType),
                   selector(pMenuName, menuPriority, userLevel, FourCharId, numSelctions, nullptr, pSelectionIcons,
                            pSelectionValues));
}

BOOLEAN U_MENU_bRegisterHotActionMenu(MENU_TITLE pMenuName, const ICON *pMenuIcon, MENU_PRIORITY menuPriority,
                                      MENU_FUNCTION p2Function, BOOLEAN bConfirm, MENU_USER_LEVEL userLevel,
                                      LAYER_ID view, SPLIT_WINDOW_TYPE splitType) {
  return bPostItem(hot(pMenuIcon, view, splitType),
                   action(pMenuName, menuPriority, userLevel, M_ACTION, p2Function, bConfirm));
}

BOOLEAN U_MENU_bRegisterHotActionListMenu(MENU_TITLE pMenuName, const ICON *pMenuIcon, MENU_PRIORITY menuPriority,
                                          MENU_TITLE_LIST pActionListChoices, const MENU_FUNCTION *pt2Function,
                                          U32 u32numActionItems, MENU_USER_LEVEL userLevel, LAYER_ID view,
                                          SPLIT_WINDOW_TYPE splitType, FOURCHARID FourCharId,
                                          const BOOLEAN *bConfirm) {
  return bPostItem(hot(pMenuIcon, view, splitType),
                   actionList(pMenuName, menuPriority, userLevel, M_ACTION_LIST, pActionListChoices, pt2Function,
                              u32numActionItems, FourCharId, bConfirm));
}

BOOLEAN U_MENU_bRegisterHotActionListShrunkenMenu(MENU_TITLE pMenuName, const ICON *pMenuIcon,
                                                  MENU_PRIORITY menuPriority, MENU_TITLE_LIST pActionListChoices,
                                                  const MENU_FUNCTION *pt2Function, U32 u32numActionItems,
                                                  MENU_USER_LEVEL userLevel, LAYER_ID view,
                                                  SPLIT_WINDOW_TYPE splitType, FOURCHARID FourCharId,
                                                  const BOOLEAN *bConfirm) {
  return bPostItem(hot(pMenuIcon, view, splitType),
                   actionList(pMenuName, menuPriority, userLevel, M_ACTION_LIST_SHRUNKEN, pActionListChoices,
                              pt2Function, u32numActionItems, FourCharId, bConfirm));
}

BOOLEAN U_MENU_bRegisterHotSubMenu(MENU_TITLE pMenuName, const ICON *pMenuIcon, MENU_PRIORITY menuPriority,
                                   MENU_TITLE_LIST pSumMenuChoices, MENU_TITLE_LIST pSumMenuNames,
                                   const ICON *const *pSubMenuIcons, U32 u32numSubMenus, MENU_USER_LEVEL userLevel,
                                   LAYER_ID view, SPLIT_WINDOW_TYPE splitType) {
  return bPostItem(hot(pMenuIcon, view, splitType),
                   subMenu(pMenuName, menuPriority, userLevel, M_SUB_MENU, pSumMenuChoices, pSumMenuNames,
                           pSubMenuIcons, u32numSubMenus));
}

BOOLEAN U_MENU_bRegisterHotSubMenuWithNoArrow(MENU_TITLE pMenuName, const ICON *pMenuIcon, MENU_PRIORITY menuPriority,
                                              MENU_TITLE_LIST pSumMenuChoices, MENU_TITLE_LIST pSumMenuNames,
                                              const ICON *const *pSubMenuIcons, U32 u32numSubMenus,
                                              MENU_USER_LEVEL userLevel, LAYER_ID view, SPLIT_WINDOW_TYPE splitType) {
  return bPostItem(hot(pMenuIcon, view, splitType),
                   subMenu(pMenuName, menuPriority, userLevel, M_SUB_MENU_HOT, pSumMenuChoices, pSumMenuNames,
                           pSubMenuIcons, u32numSubMenus));
}

// Sub-menu items.

BOOLEAN U_MENU_bRegisterSubMenuSliderMenu(MENU_TITLE pMenuName, MENU_TITLE pSubMenuName, const ICON *pMenuIcon,
                                          MENU_PRIORITY menuPriority, FOURCHARID FourCharId,
                                          const MENU_LIMITS *pLimits, MENU_TITLE pControlTextLeft,
                                          MENU_TITLE pControlTextRight, MENU_TITLE pValueSuffix,
                                          MENU_USER_LEVEL userLevel) {
  return bPostItem(sub(pSubMenuName, pMenuIcon), bar(pMenuName, menuPriority, userLevel, M_SLIDER, FourCharId,
                                                     pLimits, nullptr,
                                                     {pControlTextLeft, pControlTextRight, pValueSuffix}));
}

BOOLEAN U_MENU_bRegisterSubMenuProgBarMenu(MENU_TITLE pMenuName, MENU_TITLE pSubMenuName, const ICON *pMenuIcon,
                                           MENU_PRIORITY menuPriority, FOURCHARID FourCharId,
                                           const MENU_LIMITS *pLimits, MENU_TITLE pControlTextLeft,
                                           MENU_TITLE pControlTextRight, MENU_TITLE pValueSuffix,
                                           MENU_USER_LEVEL userLevel) {
  return bPostItem(sub(pSubMenuName, pMenuIcon), bar(pMenuName, menuPriority, userLevel, M_PROGRESS_BAR, FourCharId,
                                                     pLimits, nullptr,
                                                     {pControlTextLeft, pControlTextRight, pValueSuffix}));
}

BOOLEAN U_MENU_bRegisterSubMenuNumEntryMenu(MENU_TITLE pMenuName, MENU_TITLE pSubMenuName, const ICON *pMenuIcon,
                                            MENU_PRIORITY menuPriority, FOURCHARID FourCharId,
                                            const MENU_LIMITS *pLimits, MENU_TITLE pControlTextLeft,
                                            MENU_TITLE pControlTextRight, MENU_TITLE pValueSuffix,
                                            MENU_USER_LEVEL userLevel) {
  return bPostItem(sub(pSubMenuName, pMenuIcon), bar(pMenuName, menuPriority, userLevel, M_NUMERIC_ENTRY,
                                                     FourCharId, pLimits, nullptr,
                                                     {pControlTextLeft, pControlTextRight, pValueSuffix}));
}

BOOLEAN U_MENU_bRegisterSubMenuSelectorMenu(MENU_TITLE pMenuName, MENU_TITLE pSubMenuName, const ICON *pMenuIcon,
                                            MENU_PRIORITY menuPriority, FOURCHARID FourCharId, U32 numSelctions,
                                            MENU_TITLE_LIST pSelectionList, const U32 *pSelectionValues,
                                            MENU_USER_LEVEL userLevel) {
  return bPostItem(sub(pSubMenuName, pMenuIcon), selector(pMenuName, menuPriority, userLevel, FourCharId,
                                                          numSelctions, pSelectionList, nullptr, pSelectionValues));
}

BOOLEAN U_MENU_bRegisterSubMenuIconSelectorMenu(MENU_TITLE pMenuName, MENU_TITLE pSubMenuName, const ICON *pMenuIcon,
                                                MENU_PRIORITY menuPriority, FOURCHARID FourCharId, U32 numSelctions,
                                                const ICON *const *pSelectionIcons, const U32 *pSelectionValues,
                                                MENU_USER_LEVEL userLevel) {
  return bPostItem(sub(pSubMenuName, pMenuIcon), selector(pMenuName, menuPriority, userLevel, FourCharId,
                                                          numSelctions, nullptr, pSelectionIcons, pSelectionValues));
}

BOOLEAN U_MENU_bRegisterSubMenuActionMenu(MENU_TITLE pMenuName, MENU_TITLE pSubMenuName, const ICON *pMenuIcon,
                                          MENU_PRIORITY menuPriority, MENU_FUNCTION p2Function, BOOLEAN bConfirm,
                                          MENU_USER_LEVEL userLevel) {
  return bPostItem(sub(pSubMenuName, pMenuIcon),
                   action(pMenuName, menuPriority, userLevel, M_ACTION, p2Function, bConfirm));
}

BOOLEAN U_MENU_bRegisterHotSubMenuActionMenu(MENU_TITLE pMenuName, MENU_TITLE pSubMenuName, const ICON *pMenuIcon,
                                             MENU_PRIORITY menuPriority, MENU_FUNCTION p2Function, BOOLEAN bConfirm,
                                             MENU_USER_LEVEL userLevel) {
  return bPostItem(sub(pSubMenuName, pMenuIcon),
                   action(pMenuName, menuPriority, userLevel, M_ACTION_HOT, p2Function, bConfirm));
}

BOOLEAN U_MENU_bRegisterSubMenuActionListMenu(MENU_TITLE pMenuName, MENU_TITLE pSubMenuName, const ICON *pMenuIcon,
                                              MENU_PRIORITY menuPriority, MENU_TITLE_LIST pActionListChoices,
                                              const MENU_FUNCTION *pt2Function, U32 u32numActionItems,
                                              MENU_USER_LEVEL userLevel, FOURCHARID FourCharId) {
  return bPostItem(sub(pSubMenuName, pMenuIcon),
                   actionList(pMenuName, menuPriority, userLevel, M_ACTION_LIST, pActionListChoices, pt2Function,
                              u32numActionItems, FourCharId, nullptr));
}

BOOLEAN U_MENU_bRegisterSubMenuSubMenu(MENU_TITLE pMenuName, MENU_TITLE pSubMenuName, const ICON *pMenuIcon,
                                       MENU_PRIORITY menuPriority, MENU_TITLE_LIST pSumMenuChoices,
                                       MENU_TITLE_LIST pSumMenuNames, const ICON *const *pSubMenuIcons,
                                       U32 u32numSubMenus, MENU_USER_LEVEL userLevel) {
  return bPostItem(sub(pSubMenuName, pMenuIcon), subMenu(pMenuName, menuPriority, userLevel, M_SUB_MENU,
                                                         pSumMenuChoices, pSumMenuNames, pSubMenuIcons,
                                                         u32numSubMenus));
}

BOOLEAN U_MENU_bRegisterSubMenuCheckBoxMenu(MENU_TITLE pMenuName, MENU_TITLE pSubMenuName, const ICON *pMenuIcon,
                                            MENU_PRIORITY menuPriority, U32 u32Context, GET_CHECK_FUNC getCheck,
                                            SET_CHECK_FUNC setCheck, MENU_USER_LEVEL userLevel) {
  return bPostItem(sub(pSubMenuName, pMenuIcon),
                   checkList(pMenuName, menuPriority, userLevel, M_CHECK_BOX, u32Context, getCheck, setCheck));
}

BOOLEAN U_MENU_bRegisterSubMenuCheckListMenu(MENU_TITLE pMenuName, MENU_TITLE pSubMenuName, const ICON *pMenuIcon,
                                             MENU_PRIORITY menuPriority, U32 u32Context, GET_CHECK_FUNC getCheck,
                                             SET_CHECK_FUNC setCheck, MENU_USER_LEVEL userLevel) {
  return bPostItem(sub(pSubMenuName, pMenuIcon),
                   checkList(pMenuName, menuPriority, userLevel, M_CHECK_LIST, u32Context, getCheck, setCheck));
}

// Info-menu items.

BOOLEAN U_MENU_bRegisterInfoActionMenu(MENU_TITLE pMenuName, MENU_TITLE pInfoMenuName, MENU_PRIORITY menuPriority,
                                       MENU_FUNCTION p2Function, BOOLEAN bConfirm, MENU_USER_LEVEL userLevel) {
  return bPostItem(info(pInfoMenuName), action(pMenuName, menuPriority, userLevel, M_ACTION, p2Function, bConfirm));
}

BOOLEAN U_MENU_bRegisterInfoActionListMenu(MENU_TITLE pMenuName, MENU_TITLE pInfoMenuName, MENU_PRIORITY menuPriority,
                                           MENU_TITLE_LIST pActionListChoices, const MENU_FUNCTION *pt2Function,
                                           U32 u32numActionItems, MENU_USER_LEVEL userLevel, FOURCHARID fourCharId,
                                           const BOOLEAN *bConfirm) {
  return bPostItem(info(pInfoMenuName), actionList(pMenuName, menuPriority, userLevel, M_ACTION_LIST,
                                                   pActionListChoices, pt2Function, u32numActionItems, fourCharId,
                                                   bConfirm));
}

// Quick set-up items.

BOOLEAN U_MENU_bRegisterQuickSliderMenu(MENU_TITLE pMenuName, MENU_PRIORITY menuPriority, FOURCHARID FourCharId,
                                        const MENU_LIMITS *pLimits, MENU_TITLE pControlTextLeft,
                                        MENU_TITLE pControlTextRight, MENU_TITLE pValueSuffix,
                                        MENU_USER_LEVEL userLevel) {
  return bPostItem(quick(), bar(pMenuName, menuPriority, userLevel, M_SLIDER, FourCharId, pLimits, nullptr,
                                {pControlTextLeft, pControlTextRight, pValueSuffix}));
}

BOOLEAN U_MENU_bRegisterQuickVarStepSliderMenu(MENU_TITLE pMenuName, MENU_PRIORITY menuPriority,
                                               FOURCHARID FourCharId, const MENU_LIMITS *pLimits,
                                               const MENU_STEP_LEVELS *pLevels, MENU_TITLE pControlTextLeft,
                                               MENU_TITLE pControlTextRight, MENU_TITLE pValueSuffix,
                                               MENU_USER_LEVEL userLevel) {
  return bPostItem(quick(), bar(pMenuName, menuPriority, userLevel, M_SLIDER_VARIABLE_STEP, FourCharId, pLimits,
                                pLevels, {pControlTextLeft, pControlTextRight, pValueSuffix}));
}

BOOLEAN U_MENU_bRegisterQuickSelectorMenu(MENU_TITLE pMenuName, MENU_PRIORITY menuPriority, FOURCHARID FourCharId,
                                          U32 numSelctions, MENU_TITLE_LIST pSelectionList,
                                          const U32 *pSelectionValues, MENU_USER_LEVEL userLevel) {
  return bPostItem(quick(), selector(pMenuName, menuPriority, userLevel, FourCharId, numSelctions, pSelectionList,
                                     nullptr, pSelectionValues));
}

// Floating-menu items.

BOOLEAN U_MENU_bRegisterFloatingMenuSliderItem(MENU_TITLE pFloatingMenuName, MENU_TITLE pSliderName,
                                               const ICON *pFloatingMenuItemIcon, MENU_PRIORITY menuPriority,
                                               FOURCHARID FourCharId, const MENU_LIMITS *pLimits,
                                               MENU_TITLE pControlTextLeft, MENU_TITLE pControlTextRight,
                                               MENU_TITLE pValueSuffix, MENU_USER_LEVEL userLevel) {
  return bPostItem(floating(pFloatingMenuName, pFloatingMenuItemIcon),
                   bar(pSliderName, menuPriority, userLevel, M_SLIDER, FourCharId, pLimits, nullptr,
                       {pControlTextLeft, pControlTextRight, pValueSuffix}),
                   CMD_ID_REGISTER_FLOATING_MENU_ITEM);
}

BOOLEAN U_MENU_bRegisterFloatingMenuActionExtItem(MENU_TITLE pFloatingMenuName, MENU_TITLE pItemName,
                                                  const ICON *pFloatingMenuItemIcon, BOOLEAN bDispIconAlways,
                                                  BOOLEAN bDispIconOnly, MENU_PRIORITY menuItemPriority,
                                                  MENU_FUNCTION p2Function, BOOLEAN bConfirm,
                                                  MENU_USER_LEVEL userLevel) {
  MENU_DESCRIPTOR d = head(pItemName, menuItemPriority, userLevel, M_ACTION_EXT);
  d.parameters.actionExt.pt2Function = p2Function;
  d.parameters.actionExt.confirm = bConfirm;
  d.parameters.actionExt.bDispIconAlways = bDispIconAlways;
  d.parameters.actionExt.bDispIconOnly = bDispIconOnly;
  return bPostItem(floating(pFloatingMenuName, pFloatingMenuItemIcon), d, CMD_ID_REGISTER_FLOATING_MENU_ITEM);
}

BOOLEAN U_MENU_bRegisterFloatingMenuAngleAdjustItem(MENU_TITLE pFloatingMenuName, MENU_TITLE pItemName,
                                                    const ICON *pItemIcon, MENU_FUNCTION fnCbOnInfo,
                                                    MENU_PRIORITY menuPriority, FOURCHARID FourCharId,
                                                    S32 s32MinVal, S32 s32MaxVal, S32 s32StepVal, BOOLEAN bWrapOver,
                                                    MENU_TITLE pChkItemName, const ICON *pChkIcon,
                                                    MENU_USER_LEVEL userLevel) {
  MENU_DESCRIPTOR d = head(pItemName, menuPriority, userLevel, M_ANGLE_ADJUST);
  M_ANGLE_ADJUST_PARAMETERS &p = d.parameters.angleadjust;
  p.FourCharId = FourCharId;
  p.minValue.s32Val = s32MinVal;
  p.maxValue.s32Val = s32MaxVal;
  p.stepValue.s32Val = s32StepVal;
  p.bWrapOver = bWrapOver;
  p.pChkItemName = pChkItemName;
  p.pChkIcon = pChkIcon;
  p.fnCbOnInfo = fnCbOnInfo;
  return bPostItem(floating(pFloatingMenuName, pItemIcon), d, CMD_ID_REGISTER_FLOATING_MENU_ITEM);
}

// The single-centred menu.

BOOLEAN U_MENU_bRegisterSingleCenteredMenuSliderMenu(MENU_TITLE pMenuName, FOURCHARID FourCharId,
                                                     const MENU_LIMITS *pLimits, MENU_TITLE pControlTextLeft,
                                                     MENU_TITLE pControlTextRight, MENU_TITLE pValueSuffix,
                                                     BOOLEAN bDisplayMenu, BOOLEAN bLoopValues) {
  return bPostSingleCentered(nullptr,
                             bar(pMenuName, MENU_PRIORITY_0, M_BASIC, M_SLIDER, FourCharId, pLimits, nullptr,
                                 {pControlTextLeft, pControlTextRight, pValueSuffix}),
                             bDisplayMenu, bLoopValues);
}

BOOLEAN U_MENU_bRegisterSingleCenteredMenuVarStepSliderMenu(MENU_TITLE pMenuName, const ICON *pIcon,
                                                            FOURCHARID FourCharId, const MENU_LIMITS *pLimits,
                                                            const MENU_STEP_LEVELS *pLevels,
                                                            MENU_TITLE pControlTextLeft, MENU_TITLE pControlTextRight,
                                                            MENU_TITLE pValueSuffix, BOOLEAN bDisplayMenu,
                                                            BOOLEAN bLoopValues) {
  return bPostSingleCentered(pIcon,
                             bar(pMenuName, MENU_PRIORITY_0, M_BASIC, M_SLIDER_VARIABLE_STEP, FourCharId, pLimits,
                                 pLevels, {pControlTextLeft, pControlTextRight, pValueSuffix}),
                             bDisplayMenu, bLoopValues);
}

BOOLEAN U_MENU_bRegisterSingleCenteredMenuSelectorMenu(MENU_TITLE pMenuName, FOURCHARID FourCharId,
                                                       U32 u32numSelections, MENU_TITLE_LIST pSelectionList,
                                                       const U32 *pSelectionValues, BOOLEAN bDisplayMenu,
                                                       BOOLEAN bLoopValues) {
  return bPostSingleCentered(nullptr,
                             selector(pMenuName, MENU_PRIORITY_0, M_BASIC, FourCharId, u32numSelections,
                                      pSelectionList, nullptr, pSelectionValues),
                             bDisplayMenu, bLoopValues);
}
