// The menu task (task 15, mailbox 15, 'TMNU'): files registrations into the menu stores, opens and closes menus
// on the MENU key and on owners' requests, follows the view, language and user level, and keeps the user level
// across runs.
#include "kernel/error.h"
#include "kernel/log.h"
#include "kernel/memory.h"
#include "kernel/mutex.h"
#include "kernel/reset.h"
#include "kernel/sema.h"
#include "nav/nav_menu_standin.h"
#include "navmgr/navmgr_standin.h"
#include "ui/menu/menu_internal.h"
#include "ui/menu/menu_task.h"

const ARRAY_OF_STRING_PTRS User_Mode = SAME22("User Mode");
const ARRAY_OF_STRING_PTRS Normal = SAME22("Normal");
const ARRAY_OF_STRING_PTRS Advanced = SAME22("Advanced");

namespace {

constexpr U32 kStatePointOfSale = 6;

MENU_DATA &m() { return *T_MENU_psData(); }

bool bFetchU32(const char (&acKey)[5], U32 *pu32) {
  BOOLEAN bValid = FALSE;
  return H_DATABASE_bFetchU32(FCID(acKey), pu32, &bValid, nullptr) && bValid;
}

void vWriteUserLevel(U32 u32Level) {
  H_DATABASE_bUpdateEverythingU32(FCID("CUSR"), u32Level, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
}

void vRunSystem() {
  U32 u32State = 0;
  U32 u32Saved = 0;
  const bool bPointOfSale = bFetchU32("CCST", &u32State) && u32State == kStatePointOfSale;
  const bool bSaved = bFetchU32("SUSR", &u32Saved) && u32Saved >= M_BASIC && u32Saved <= M_DIAGNOSTIC;
  vWriteUserLevel(bPointOfSale || !bSaved ? static_cast<U32>(M_ADVANCED) : u32Saved);
  H_DATABASE_bRegisterForDataWithConditions(FCID("CUSR"), M_MENU, TRUE, FALSE, FALSE);
  U_KEYBOARD_bRegisterKeys(M_MENU, KEY_BIT_MENU, KEY_DOWN, FALSE, FALSE, NOT_CURSOR_KEY, REGISTER_EXCLUSIVE);
  static const ARRAY_OF_STRING_PTRS *const kModes[] = {&Normal, &Advanced};
  static const U32 kModeValues[] = {M_BASIC, M_ADVANCED};
  U_MENU_bRegisterMainSelectorMenu(&User_Mode, &Setup, MENU_USER_MODE, FCID("CUSR"), 2, kModes, kModeValues,
                                   M_BASIC);
}

void vShutdown() {
  U32 u32Level = 0;
  const bool bAdvanced = bFetchU32("CUSR", &u32Level) && u32Level == M_ADVANCED;
  H_DATABASE_bUpdateEverythingU32(FCID("SUSR"), bAdvanced ? M_ADVANCED : M_BASIC, P_NORMAL, D_UNKNOWN, nullptr,
                                  DB_NO_TIMEOUT);
  T_MENU_vDoRemoveMenus(FALSE);
  U_KEYBOARD_bUnregisterKeys(M_MENU, KEY_BIT_MENU);
}

void vResetToDefaults() {
  MENU_DATA &d = m();
  d.activeTab = 0;
  for (S32 s = 0; s <= d.lastTabIndex && s < MENU_NUM_TABS; ++s) {
    if (d.mainMenuTabs[s].bTabActive) {
      d.activeTab = s;
      break;
    }
  }
  vWriteUserLevel(M_ADVANCED);
  if (d.activeMenu != QUICK_SETUP_MENU) T_MENU_vDoRemoveMenus(FALSE);
}

void vHandleNewData(const MESSAGE_NEW_DATA *pMsg) {
  MENU_DATA &d = m();
  switch (pMsg->FourCharId) {
    case FCID("SLNG"):
    case FCID("CUSR"):
      T_MENU_vUpdateActiveMenuList();
      break;
    case FCID("CVAS"):
      if (d.activeMenu == ZEPHRIN_MENU) T_MENU_vUpdateActiveHotMenu();
      break;
    case FCID("IPCS"):
      if (T_NAV_bGPSDetected()) L_SEMA_Signal(SEMA_GPS_DETECTED);
      T_MENU_vUpdateActiveMenuList();
      break;
    case FCID("CVEW"): {
      if (d.activeMenu == ZEPHRIN_MENU) T_MENU_vUpdateActiveHotMenu();
      U32 u32View = 0;
      d.s32MainMenuOffset = bFetchU32("CVEW", &u32View) && u32View == BIRDS_EYE_VIEW_PRIORITY ? 38 : 0;
      break;
    }
    default:
      break;
  }
}

}  // namespace

void T_MENU_vInit(void) {
  if (H_DATABASE_bUpdateEverythingU32(FCID("TMNU"), M_MENU, P_NORMAL, D_MAILBOX, nullptr, DB_NO_TIMEOUT)) {
    ERROR_error(__FILE__, __LINE__, "Somebody else registered the Menu Task Maibox");
    U_RESET_vReset();
  }
  L_MUTEX_LockWait(RES_MENU);
  T_MENU_vResetStores();
  MENU_TASK_STATE &t = *T_MENU_psTask();
  if (t.pExitTimer == nullptr) t.pExitTimer = L_TIMER_Allocate();
  t.bExitTimerRunning = FALSE;
  t.timer = T_MENU_tNow() - 2 * MENU_SIDE_STEP_LOCK_MS;
  t.u32LastCursorDown = 0;
  for (FOURCHARID key : {FCID("SLNG"), FCID("CVEW"), FCID("CVAS"), FCID("IPCS")}) {
    H_DATABASE_bRegisterForDataWithConditions(key, M_MENU, TRUE, FALSE, FALSE);
  }
  H_DATABASE_bUpdateEverythingU32(FCID("CMNU"), NO_MENU, P_DEFAULT_SETTING, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  L_MUTEX_Unlock(RES_MENU);
}

void T_MENU_vHandleMessage(void *pvMsg) {
  auto *pMsg = static_cast<GENERIC_MESSAGE *>(pvMsg);
  bool bRedraw = false;
  L_MUTEX_LockWait(RES_MENU);
  switch (pMsg->Cmd) {
    case CMD_ID_SHUTDOWN:
      vShutdown();
      break;
    case CMD_ID_NEW_DATA:
      vHandleNewData(static_cast<MESSAGE_NEW_DATA *>(pvMsg));
      break;
    case CMD_ID_RESET_POS:
      vResetToDefaults();
      break;
    case CMD_ID_RUN_SYSTEM:
      vRunSystem();
      break;
    case CMD_ID_KEY_CHANGE:
      T_MENU_vHandleKeys(static_cast<MSG_KEY_CHANGE *>(pvMsg));
      break;
    case CMD_ID_REGISTER_MENU_TAB:
      T_MENU_vRegisterMenuTab(static_cast<MSG_ADD_MENU_TAB *>(pvMsg));
      break;
    case CMD_ID_REGISTER_MENU_ITEM:
      T_MENU_vRegisterMenuItem(static_cast<MSG_ADD_MENU_ITEM *>(pvMsg));
      break;
    case CMD_ID_REGISTER_SUB_MENU:
      T_MENU_vRegisterSubMenu(static_cast<MSG_ADD_SUB_MENU *>(pvMsg));
      break;
    case CMD_ID_REGISTER_HOT_MENU: {
      const auto *pHot = static_cast<MSG_ADD_HOT_MENU *>(pvMsg);
      T_MENU_vRegisterHotMenu(pHot->view, pHot->type);
      break;
    }
    case CMD_ID_REGISTER_INFO_MENU:
      T_MENU_vRegisterInfoMenu(static_cast<MSG_ADD_INFO_MENU *>(pvMsg));
      break;
    case CMD_ID_REGISTER_FLOATING_MENU:
      T_MENU_vRegisterFloatingMenu(static_cast<MSG_ADD_FLOATING_MENU *>(pvMsg));
      break;
    case CMD_ID_UNREGISTER_FLOATING_MENU:
      T_MENU_vUnregisterFloatingMenu(static_cast<MSG_REMOVE_FLOATING_MENU *>(pvMsg));
      break;
    case CMD_ID_REGISTER_FLOATING_MENU_ITEM:
      T_MENU_vRegisterFloatingMenuItem(static_cast<MSG_ADD_MENU_ITEM *>(pvMsg));
      break;
    case CMD_ID_ACTIVATE_FLOATING_MENU:
      T_MENU_vActivateFloatingMenu(static_cast<MSG_ACTIVATE_FLOATING_MENU *>(pvMsg));
      break;
    case CMD_ID_UNREGISTER_SINGLE_CENTERED_MENU:
      T_MENU_vUnregisterSingleCenteredMenu(static_cast<MSG_REMOVE_SINGLE_CENTERED_MENU *>(pvMsg));
      break;
    case CMD_ID_REGISTER_SINGLE_CENTERED_MENU_ITEM:
      T_MENU_vAddSingleCenteredMenuItem(static_cast<MSG_ADD_SINGLE_CENTERED_MENU_ITEM *>(pvMsg));
      bRedraw = true;
      break;
    case CMD_ID_ACTIVATE_SINGLE_CENTERED_MENU:
      T_MENU_vActivateSingleCenteredMenu(static_cast<MSG_ACTIVATE_SINGLE_CENTERED_MENU *>(pvMsg));
      bRedraw = true;
      break;
    case CMD_ID_UNREGISTER_MENU_TAB:
      T_MENU_vUnregisterMenuTab(static_cast<MSG_REMOVE_TAB *>(pvMsg));
      break;
    case CMD_ID_UNREGISTER_MENU_ITEM:
      T_MENU_vUnregisterMenuItem(static_cast<MSG_REMOVE_MENU *>(pvMsg));
      break;
    case CMD_ID_ACTIVATE_HOT_MENU:
      T_MENU_vActivateSpecifiedHotMenu(static_cast<MSG_ACTIVATE_HOT_MENU *>(pvMsg)->view);
      break;
    case CMD_ID_ACTIVATE_INFO_MENU:
      T_MENU_vActivateInfoMenu(static_cast<MSG_ACTIVATE_INFO_MENU *>(pvMsg));
      break;
    case CMD_ID_CLEAR_MENU:
      T_MENU_vDoRemoveMenus(FALSE);
      T_NAV_GROUP_vShutdown();
      break;
    case CMD_ID_HIDE_MENU:
      m().bMenuHidden = TRUE;
      break;
    case CMD_ID_RESTORE_MENU:
      m().bMenuHidden = FALSE;
      break;
    default:
      break;
  }
  L_MUTEX_Unlock(RES_MENU);
  H_MEMORY_vDumpMail(pvMsg);
  if (bRedraw) L_SEMA_Signal(SEMA_VIEW_UPDATE);
}

void T_MENU_vExitTimerExpired(void) {
  L_MUTEX_LockWait(RES_MENU);
  MENU_TASK_STATE &t = *T_MENU_psTask();
  // An expiry after the timer was stopped finds it not running.
  if (t.bExitTimerRunning) {
    t.bExitTimerRunning = FALSE;
    U_KEYBOARD_bUnregisterKeys(M_MENU, KEY_BIT_EXIT);
  }
  L_MUTEX_Unlock(RES_MENU);
}

void T_MENU_vMain(void) {
  T_MENU_vInit();
  log_me("menu task running");
  static const SEMA kWaitList[] = {SEMA_MBOX_MENU, SEMA_TIMER_EXIT_KEY, 0};
  for (;;) {
    switch (L_SEMA_WaitMultiple(kWaitList)) {
      case SEMA_MBOX_MENU:
        while (void *pvMsg = L_MBOX_Receive(M_MENU)) T_MENU_vHandleMessage(pvMsg);
        break;
      case SEMA_TIMER_EXIT_KEY:
        T_MENU_vExitTimerExpired();
        break;
      default:
        break;
    }
  }
}

void T_MENU_vResetForTest(void) {
  L_MUTEX_LockWait(RES_MENU);
  T_MENU_vResetStores();
  MENU_TASK_STATE &t = *T_MENU_psTask();
  if (t.bExitTimerRunning && t.pExitTimer != nullptr) L_TIMER_Stop(t.pExitTimer);
  t.bExitTimerRunning = FALSE;
  L_MUTEX_Unlock(RES_MENU);
}
