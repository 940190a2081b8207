// The layer list of the view task: one main item per layer in layer order, further sides of a split view on the
// main item's chain. Only the view task writes it, always under RES_VIEW_LIST; other tasks read it under the
// same mutex.
#include <cctype>
#include <cstring>

#include "draw/icon_data.h"
#include "view/view_task.h"
#include "kernel/log.h"
#include "kernel/memory.h"
#include "kernel/mutex.h"
#include "n2k/gui_standin.h"
#include "ui/menu/menu.h"
#include "ui/menu/menu_priority.h"

namespace {

LAYER_ITEM *s_playerHeadPointer = nullptr;
bool s_bSelectableViewsLogged = false;

// The menu texts of the layer list (the tab `Views` and the choice `Hidden` are the menu module's).
const ARRAY_OF_STRING_PTRS Visible = SAME22("Visible");
const ARRAY_OF_STRING_PTRS Active_Side = SAME22("Active Side");
const ARRAY_OF_STRING_PTRS Split_Position = SAME22("Split Position");
const ARRAY_OF_STRING_PTRS Left = SAME22("Left");
const ARRAY_OF_STRING_PTRS Right = SAME22("Right");

class ListLock {
 public:
  ListLock() { L_MUTEX_LockWait(RES_VIEW_LIST); }
  ~ListLock() { L_MUTEX_Unlock(RES_VIEW_LIST); }
  ListLock(const ListLock &) = delete;
  ListLock &operator=(const ListLock &) = delete;
};

bool bIsShownView(const LAYER_ITEM *pItem) {
  return pItem->where_used == USED_BY_NONE && pItem->bCurrentDisplayMode;
}

// Points the predecessor (or the head when there is none) and its whole chain at pNext.
void vRelinkAfter(LAYER_ITEM *pPrev, LAYER_ITEM *pNext) {
  if (pPrev == nullptr) {
    s_playerHeadPointer = pNext;
    return;
  }
  for (LAYER_ITEM *p = pPrev; p != nullptr; p = p->pSplit) p->next = pNext;
}

// --- Menu entries of the list ---

void vAddViewsSelector(const LAYER_ITEM *pItem) {
  static const ARRAY_OF_STRING_PTRS *const s_apChoices[] = {&Hidden, &Visible};
  static const U32 s_au32Values[] = {0, 1};
  U_MENU_bRegisterMainSelectorMenu(pItem->pString, &Views, static_cast<MENU_PRIORITY>(pItem->layer),
                                   pItem->fcidDisplay, 2, s_apChoices, s_au32Values, M_BASIC);
  GUI_vSetViewRegisteration(pItem->layer, TRUE);
}

void vRemoveViewsSelector(const LAYER_ITEM *pItem) {
  U_MENU_bUnregisterMainMenuItem(pItem->pString, &Views);
  GUI_vSetViewRegisteration(pItem->layer, FALSE);
}

void T_VIEW_vSetupSplitControls(LAYER_ID layer, SPLIT_WINDOW_TYPE eSplit, FOURCHARID fcidSplitControl) {
  static const ARRAY_OF_STRING_PTRS *const s_apSides[] = {&Left, &Right};
  static const U32 s_au32Sides[] = {SPLIT_LEFT_WINDOW, SPLIT_RIGHT_WINDOW};
  static const MENU_LIMITS s_sLimits = {U_NONE, 20.0f, 80.0f, 10.0f};
  U_MENU_bRegisterZephrinMenu(layer, eSplit);
  U_MENU_bRegisterHotSelectorMenu(&Active_Side, &select_active_side, MENU_SELECT_ACTIVE_SIDE, FCID("CVAS"), 2,
                                  s_apSides, s_au32Sides, M_BASIC, layer, eSplit);
  U_MENU_bRegisterHotSliderMenu(&Split_Position, &adjust_screen_size, MENU_SET_SPLIT_LOCATION, fcidSplitControl,
                                &s_sLimits, &Left, &Right, nullptr, M_BASIC, layer, eSplit);
}

void T_VIEW_vRemoveSplitControls(LAYER_ID layer, SPLIT_WINDOW_TYPE eSplit) {
  U_MENU_bUnregisterHotMenuItem(&Split_Position, layer, eSplit);
  U_MENU_bUnregisterHotMenuItem(&Active_Side, layer, eSplit);
}

// --- Insertion ---

// A further side of an existing layer: appended to the main item's chain when no side clashes.
bool bJoinChain(LAYER_ITEM *pMain, LAYER_ITEM *pNew) {
  if (pNew->eSplit == SPLIT_FULL_WINDOW || pNew->fcidSplitControl != pMain->fcidSplitControl) return false;
  LAYER_ITEM *pLast = pMain;
  for (LAYER_ITEM *p = pMain; p != nullptr; p = p->pSplit) {
    if (p->eSplit == SPLIT_FULL_WINDOW || p->eSplit == pNew->eSplit) return false;
    pLast = p;
  }
  pLast->pSplit = pNew;
  pNew->next = pLast->next;
  pNew->where_used = pLast->where_used;
  pNew->fcidDisplay = pLast->fcidDisplay;
  pNew->bDefault = pLast->bDefault;
  pNew->bCurrentDisplayMode = pLast->bCurrentDisplayMode;
  pNew->s32SplitPercentage = pLast->s32SplitPercentage;
  pNew->pString = pLast->pString;
  return true;
}

// The display and split keys of a new main item.
void vBindKeys(LAYER_ITEM *pItem) {
  if (pItem->fcidDisplay == 0) {
    pItem->bCurrentDisplayMode = TRUE;
  } else {
    DB_DATA_TYPE value{};
    BOOLEAN bValid = FALSE;
    DB_ATTRIBUTES attributes{};
    // A key that does not exist yet: the registered default until the key is written.
    pItem->bCurrentDisplayMode = pItem->bDefault;
    H_DATABASE_bRegisterForDataWithConditions(pItem->fcidDisplay, M_VIEW, TRUE, FALSE, FALSE);
    if (H_DATABASE_bFetch(pItem->fcidDisplay, &value, &bValid, &attributes)) {
      pItem->bCurrentDisplayMode = static_cast<BOOLEAN>(value.u32Val & 0xFF);
      pItem->pString = reinterpret_cast<const ARRAY_OF_STRING_PTRS *>(attributes.ppcText);
      if (pItem->pString == nullptr) {
        log_me("!!!Error!!! Try to register menu with null pointer! %s,%u\n", __FILE__, __LINE__);
      } else {
        vAddViewsSelector(pItem);
      }
    }
  }
  if (pItem->fcidSplitControl != 0) {
    S32 s32Percent = 0;
    BOOLEAN bValid = FALSE;
    if (H_DATABASE_bFetchS32(pItem->fcidSplitControl, &s32Percent, &bValid, nullptr)) {
      H_DATABASE_bRegisterForDataWithConditions(pItem->fcidSplitControl, M_VIEW, TRUE, FALSE, FALSE);
      pItem->s32SplitPercentage = s32Percent;
    }
  }
}

// TRUE when the item was kept.
bool T_VIEW_bInsertLayer(LAYER_ITEM *pNew) {
  if (s_playerHeadPointer == nullptr || pNew->layer < s_playerHeadPointer->layer) {
    pNew->next = s_playerHeadPointer;
    s_playerHeadPointer = pNew;
    vBindKeys(pNew);
    return true;
  }
  LAYER_ITEM *pPrev = nullptr;
  LAYER_ITEM *p = s_playerHeadPointer;
  while (p != nullptr && p->layer < pNew->layer) {
    pPrev = p;
    p = p->next;
  }
  if (p != nullptr && p->layer == pNew->layer) return bJoinChain(p, pNew);
  pNew->next = p;
  vRelinkAfter(pPrev, pNew);
  vBindKeys(pNew);
  return true;
}

// The main item of the layer and its predecessor in the list.
LAYER_ITEM *pFindMain(LAYER_ID layer, LAYER_ITEM **ppPrev) {
  LAYER_ITEM *pPrev = nullptr;
  for (LAYER_ITEM *p = s_playerHeadPointer; p != nullptr; pPrev = p, p = p->next) {
    if (p->layer == layer) {
      if (ppPrev != nullptr) *ppPrev = pPrev;
      return p;
    }
    if (p->layer > layer) break;
  }
  return nullptr;
}

// Removes the side eLocation of the layer; TRUE when an item was removed.
bool bRemoveSide(LAYER_ID layer, SPLIT_WINDOW_TYPE eLocation) {
  LAYER_ITEM *pPrev = nullptr;
  LAYER_ITEM *pMain = pFindMain(layer, &pPrev);
  if (pMain == nullptr) return false;
  LAYER_ITEM *pGone = nullptr;
  if (pMain->eSplit == eLocation) {
    if (pMain->pSplit == nullptr) {
      vRelinkAfter(pPrev, pMain->next);
      if (pMain->fcidDisplay != 0 && pMain->pString != nullptr) vRemoveViewsSelector(pMain);
    } else {
      // The first further side takes the main item's place, with the copied keys and the Views entry.
      vRelinkAfter(pPrev, pMain->pSplit);
    }
    pGone = pMain;
  } else {
    for (LAYER_ITEM *p = pMain; p->pSplit != nullptr; p = p->pSplit) {
      if (p->pSplit->eSplit == eLocation) {
        pGone = p->pSplit;
        p->pSplit = pGone->pSplit;
        break;
      }
    }
    if (pGone == nullptr) return false;
  }
  if (pGone->eSplit != SPLIT_FULL_WINDOW) T_VIEW_vRemoveSplitControls(layer, pGone->eSplit);
  H_MEMORY_vFree(pGone);
  return true;
}

}  // namespace

LAYER_ITEM *T_VIEW_pLayerListHead(void) { return s_playerHeadPointer; }

void T_VIEW_vHandleRegisterLayer(MSG_REGISTER_LAYER *pMsg) {
  auto *pItem = static_cast<LAYER_ITEM *>(H_MEMORY_pvMalloc(sizeof(LAYER_ITEM)));
  *pItem = LAYER_ITEM{};
  pItem->layer = pMsg->layer;
  pItem->where_used = pMsg->where_used;
  pItem->pDrawFunction = pMsg->pDrawFunction;
  pItem->fcidDisplay = pMsg->fcidDisplayFlag;
  pItem->bDefault = pMsg->bDisplay;
  pItem->pPlaybackString = pMsg->pPlaybackString;
  pItem->pSimString = pMsg->pSimString;
  pItem->pPOSString = pMsg->pPOSString;
  pItem->user = pMsg->user;
  pItem->eSplit = pMsg->eLocation;
  pItem->fcidSplitControl = pMsg->fcidSplitControl;
  ListLock lock;
  const bool bKept = T_VIEW_bInsertLayer(pItem);
  pMsg->flag = bKept ? TRUE : FALSE;
  if (pMsg->eLocation != SPLIT_FULL_WINDOW) {
    T_VIEW_vSetupSplitControls(pMsg->layer, pMsg->eLocation, pMsg->fcidSplitControl);
  }
  if (!bKept) H_MEMORY_vFree(pItem);
}

void T_VIEW_vHandleUnregisterLayer(MSG_UNREGISTER_LAYER *pMsg) {
  ListLock lock;
  pMsg->flag = bRemoveSide(pMsg->layer, pMsg->eLocation) ? TRUE : FALSE;
  if (pMsg->layer == T_VIEW_eCurrentLayer()) T_VIEW_vSetNextBackgroundLayer();
}

BOOLEAN T_VIEW_bHandleLayerKeyChange(const MESSAGE_NEW_DATA *pMsg) {
  const FOURCHARID key = pMsg->FourCharId;
  if (key == 0) return FALSE;
  for (LAYER_ITEM *p = s_playerHeadPointer; p != nullptr; p = p->next) {
    if (p->fcidDisplay == key) {
      for (LAYER_ITEM *q = p; q != nullptr; q = q->pSplit) {
        q->bCurrentDisplayMode = static_cast<BOOLEAN>(pMsg->dbValue.u32Val & 0xFF);
      }
      return TRUE;
    }
    if (p->fcidSplitControl == key) {
      for (LAYER_ITEM *q = p; q != nullptr; q = q->pSplit) q->s32SplitPercentage = pMsg->dbValue.s32Val;
      return TRUE;
    }
  }
  return FALSE;
}

LAYER_ITEM *T_VIEW_pLayerLocateBackgroundLayer(LAYER_ID layer) {
  for (LAYER_ITEM *p = s_playerHeadPointer; p != nullptr; p = p->next) {
    if (p->layer == layer && p->bCurrentDisplayMode) return p;
  }
  return nullptr;
}

LAYER_ID T_VIEW_eNextBackgroundLayer(LAYER_ID current) {
  ListLock lock;
  if (const LAYER_ITEM *pCurrent = T_VIEW_pLayerLocateBackgroundLayer(current)) {
    for (const LAYER_ITEM *p = pCurrent->next; p != nullptr; p = p->next) {
      if (bIsShownView(p)) return p->layer;
    }
  }
  for (const LAYER_ITEM *p = s_playerHeadPointer; p != nullptr; p = p->next) {
    if (bIsShownView(p)) return p->layer;
  }
  return NO_VIEW_PRIORITY;
}

void T_VIEW_vSetNextBackgroundLayer(void) {
  ListLock lock;
  T_VIEWKEY_vSetBackgroundLayer(T_VIEW_eNextBackgroundLayer(T_VIEW_eCurrentLayer()));
}

void T_VIEWKEY_vSetBackgroundLayer(LAYER_ID layer) {
  H_DATABASE_bUpdateValueU32(FCID("CVEW"), static_cast<U32>(layer), P_NORMAL);
}

BOOLEAN T_VIEW_bIsLayerActive(LAYER_ID TargeLayer) {
  ListLock lock;
  return pFindMain(TargeLayer, nullptr) != nullptr ? TRUE : FALSE;
}

void T_VIEW_vSetSpcifiedBackgroundLayer(LAYER_ID layerindex) {
  ListLock lock;
  const LAYER_ITEM *pItem = T_VIEW_pLayerLocateBackgroundLayer(layerindex);
  const bool bView = pItem != nullptr && pItem->where_used == USED_BY_NONE;
  T_VIEWKEY_vSetBackgroundLayer(bView ? layerindex : NO_VIEW_PRIORITY);
}

LAYER_ID T_VIEW_GetSelectableView(const char *selectableView) {
  constexpr size_t kNameBuffer = 40;
  ListLock lock;
  if (!s_bSelectableViewsLogged) {
    s_bSelectableViewsLogged = true;
    for (const LAYER_ITEM *p = s_playerHeadPointer; p != nullptr; p = p->next) {
      if (p->fcidDisplay == 0) continue;
      if (p->pString != nullptr && (*p->pString)[0] != nullptr) {
        log_me("view %d: %s", static_cast<int>(p->layer), (*p->pString)[0]);
      } else {
        log_me("view %d: no name", static_cast<int>(p->layer));
      }
    }
  }
  const U32 u32Language = nCurrentLanguage();
  for (const LAYER_ITEM *p = s_playerHeadPointer; p != nullptr; p = p->next) {
    if (p->fcidDisplay == 0) continue;
    if (p->pString == nullptr || (*p->pString)[u32Language] == nullptr) {
      log_me("view %d has no name", static_cast<int>(p->layer));
      continue;
    }
    char acName[kNameBuffer];
    size_t i = 0;
    for (const char *pc = (*p->pString)[u32Language]; *pc != '\0' && i < kNameBuffer - 1; ++pc, ++i) {
      acName[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(*pc)));
    }
    acName[i] = '\0';
    if (std::strcmp(acName, selectableView) == 0) {
      H_DATABASE_bUpdateValueBoolean(p->fcidDisplay, TRUE, P_NORMAL);
      return p->layer;
    }
  }
  return UNKNOWN_VIEW;
}

void T_VIEW_vRestoreDisplayKeyDefaults(void) {
  for (const LAYER_ITEM *p = s_playerHeadPointer; p != nullptr; p = p->next) {
    if (p->where_used == USED_BY_NONE && p->fcidDisplay != 0) {
      H_DATABASE_bUpdateValueBoolean(p->fcidDisplay, p->bDefault, P_NORMAL);
    }
  }
}

void T_VIEW_vResetLayerListForTest(void) {
  ListLock lock;
  while (LAYER_ITEM *pMain = s_playerHeadPointer) {
    s_playerHeadPointer = pMain->next;
    for (LAYER_ITEM *p = pMain; p != nullptr;) {
      LAYER_ITEM *pNext = p->pSplit;
      H_MEMORY_vFree(p);
      p = pNext;
    }
  }
  s_bSelectableViewsLogged = false;
}
