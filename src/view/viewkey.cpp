// The view-key task (task 6): VIEW and EXIT step forward and back through the shown views, the current view is
// restored after a restart and saved at shut-down, and a factory reset goes back to the default view.
#include <unistd.h>

#include "view/view_task.h"
#include "kernel/error.h"
#include "kernel/log.h"
#include "kernel/memory.h"
#include "kernel/mutex.h"
#include "kernel/reset.h"
#include "kernel/sema.h"
#include "n2k/gui_standin.h"
#include "nav/snapshot_standin.h"

namespace {

constexpr U32 kStateNormalRun = 3;
constexpr U32 kStateSimulation = 4;
constexpr U32 kStatePointOfSale = 6;
constexpr U32 kStateDiagnostic = 7;
constexpr U32 kStateInlineTest = 9;
constexpr U32 kStatePlayback = 11;

bool s_bRunSystemSeen = false;

// The system state; FALSE when 'CCST' does not exist.
bool bSystemState(U32 *pu32State) {
  BOOLEAN bValid = FALSE;
  return H_DATABASE_bFetchU32(FCID("CCST"), pu32State, &bValid, nullptr) != FALSE;
}

[[noreturn]] void vFatal(const char *pcText) {
  ERROR_error(__FILE__, __LINE__, pcText);
  U_RESET_vReset();
}

// 'CVEW', which must exist and be valid here.
LAYER_ID eStoredView(void) {
  U32 u32View = 0;
  BOOLEAN bValid = FALSE;
  if (!H_DATABASE_bFetchU32(FCID("CVEW"), &u32View, &bValid, nullptr)) vFatal("T_VIEW, no CVEW item");
  if (!bValid) vFatal("T_VIEW, CVEW invalid");
  return static_cast<LAYER_ID>(u32View);
}

void vShowView(LAYER_ID view) {
  T_VIEWKEY_vSetBackgroundLayer(view);
  T_VIEW_vSetViewChangedFlags();
  L_SEMA_Signal(SEMA_KEYCLICK_GOOD);
}

void T_VIEWKEY_vHandleRunSystem(void) {
  if (s_bRunSystemSeen) return;
  s_bRunSystemSeen = true;
  U32 u32State = 0;
  if (!bSystemState(&u32State)) {
    T_VIEWKEY_vSetBackgroundLayer(VIEW_DEFAULT_VIEW);
  } else if (u32State == kStateDiagnostic || u32State == kStateInlineTest) {
    // These states choose their own screens.
  } else if (u32State == kStatePointOfSale) {
    T_VIEWKEY_vSetBackgroundLayer(VIEW_DEFAULT_VIEW);
  } else {
    U32 u32Saved = 0;
    BOOLEAN bValid = FALSE;
    const bool bSaved = H_DATABASE_bFetchU32(FCID("SVEW"), &u32Saved, &bValid, nullptr);
    T_VIEWKEY_vSetBackgroundLayer(bSaved ? static_cast<LAYER_ID>(u32Saved) : VIEW_DEFAULT_VIEW);
  }
  // The keyboard task may not have published its mailbox yet.
  while (!U_KEYBOARD_bRegisterKeys(M_VIEWKEY, KEY_BIT_VIEW | KEY_BIT_EXIT, KEY_DOWN, FALSE, FALSE, NOT_CURSOR_KEY,
                                   REGISTER_EXCLUSIVE)) {
    usleep(1000);
  }
}

void T_VIEWKEY_vHandleShutdown(void) {
  U32 u32State = 0;
  if (bSystemState(&u32State) &&
      (u32State == kStatePlayback || u32State == kStateNormalRun || u32State == kStateSimulation)) {
    const LAYER_ID view = eStoredView();
    if (view != NO_VIEW_PRIORITY) H_DATABASE_bUpdateValueU32(FCID("SVEW"), static_cast<U32>(view), P_NORMAL);
  }
  GUI_vSaveN2KViewsVisibility();
}

void T_VIEWKEY_vHandlePOSReset(void) {
  U32 u32State = 0;
  if (bSystemState(&u32State) && u32State == kStateInlineTest) return;
  T_VIEWKEY_vSetBackgroundLayer(VIEW_DEFAULT_VIEW);
}

void T_VIEWKEY_vHandleKeys(const MSG_KEY_CHANGE *pMsg) {
  if (pMsg->key == KEY_BIT_VIEW) {
    T_NAV_vUnRegisterSnapshotPreviewLayer();
    vShowView(T_VIEW_eNextBackgroundLayer(T_VIEW_eCurrentLayer()));
  } else if (pMsg->key == KEY_BIT_EXIT) {
    vShowView(T_VIEWKEY_ePriorBackgroundLayer());
  } else {
    L_SEMA_Signal(SEMA_KEYCLICK_BAD);
  }
  T_VIEW_vReleaseFileImage();
}

}  // namespace

LAYER_ID T_VIEWKEY_ePriorBackgroundLayer(void) {
  const LAYER_ID current = eStoredView();
  L_MUTEX_LockWait(RES_VIEW_LIST);
  LAYER_ID before = NO_VIEW_PRIORITY;
  LAYER_ID last = NO_VIEW_PRIORITY;
  bool bPassedCurrent = false;
  for (const LAYER_ITEM *p = T_VIEW_pLayerListHead(); p != nullptr; p = p->next) {
    if (p->layer == current) bPassedCurrent = true;
    if (p->where_used != USED_BY_NONE || !p->bCurrentDisplayMode) continue;
    if (!bPassedCurrent) before = p->layer;
    last = p->layer;
  }
  L_MUTEX_Unlock(RES_VIEW_LIST);
  return before != NO_VIEW_PRIORITY ? before : last;
}

void T_VIEWKEY_vInit(void) {
  if (H_DATABASE_bUpdateEverythingU32(FCID("TVKY"), M_VIEWKEY, P_NORMAL, D_MAILBOX, nullptr, DB_NO_TIMEOUT)) {
    vFatal("Somebody else registered the View Key Task Maibox");
  }
}

void T_VIEWKEY_vHandleMessage(void *pvMsg) {
  switch (static_cast<GENERIC_MESSAGE *>(pvMsg)->Cmd) {
    case CMD_ID_RUN_SYSTEM:
      T_VIEWKEY_vHandleRunSystem();
      break;
    case CMD_ID_SHUTDOWN:
      T_VIEWKEY_vHandleShutdown();
      break;
    case CMD_ID_RESET_POS:
      T_VIEWKEY_vHandlePOSReset();
      break;
    case CMD_ID_KEY_CHANGE:
      T_VIEWKEY_vHandleKeys(static_cast<const MSG_KEY_CHANGE *>(pvMsg));
      break;
    default:
      break;
  }
  H_MEMORY_vDumpMail(pvMsg);
}

void T_VIEWKEY_vMain(void) {
  T_VIEWKEY_vInit();
  log_me("view key task running");
  for (;;) {
    L_SEMA_Wait(SEMA_MBOX_VIEWKEY);
    while (void *pvMsg = L_MBOX_Receive(M_VIEWKEY)) T_VIEWKEY_vHandleMessage(pvMsg);
  }
}

void T_VIEWKEY_vResetForTest(void) { s_bRunSystemSeen = false; }
