// The view task (task 5): its start, its wait loop, and the messages and notices it handles itself; the layer
// list, the frames, the banners and the screen capture are in their own modules.
#include "view/view_task.h"

#include "kernel/error.h"
#include "kernel/log.h"
#include "kernel/memory.h"
#include "kernel/reset.h"
#include "kernel/sema.h"
#include "kernel/task.h"
#include "n2k/gui_standin.h"

namespace {

constexpr U32 kStateInlineTest = 9;
constexpr U32 kPlaybackModeStop = 13;
constexpr U32 kPlaybackModePaused = 6;

const SEMA kWaitList[] = {SEMA_MBOX_VIEW, SEMA_VIEW_RELEASE_BITMAP, SEMA_TIMER_SIM_MSG, SEMA_TIMER_VIEW_UPDATE,
                          SEMA_VIEW_UPDATE, 0};

const ARRAY_OF_STRING_PTRS Screen_Capture = SAME22("Screen Snapshot");
const ARRAY_OF_STRING_PTRS Snapshot_and_Recording_View = SAME22("Snapshot and Recording View");

bool s_bRunSystemSeen = false;
U32 s_u32LastSNID = 0;

void vCreate(FOURCHARID key, U32 u32Value) {
  H_DATABASE_bUpdateEverythingU32(key, u32Value, P_DEFAULT_SETTING, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  H_DATABASE_bRegisterForDataWithConditions(key, M_VIEW, TRUE, FALSE, FALSE);
}

void vWatch(FOURCHARID key) { H_DATABASE_bRegisterForDataWithConditions(key, M_VIEW, TRUE, FALSE, FALSE); }

void T_VIEW_vHandleRunSystem(void) {
  if (!s_bRunSystemSeen) {
    s_bRunSystemSeen = true;
    T_VIEW_vBannerRunSystem();
    const ERC erPriority = L_TASK_GetPriority(VIEWTASK);
    if (erPriority > 0) T_VIEW_vSetPriorities(static_cast<PRIORITY>(erPriority));
  }
  T_VIEW_vSetupCapture();
}

void T_VIEW_vHandlePOSReset(void) {
  H_DATABASE_bUpdateEverythingU32(FCID("SCSC"), 0, P_NORMAL, D_UNKNOWN, Screen_Capture, 0);
  T_VIEW_vUpdated_SCSC();
  H_DATABASE_bUpdateEverythingBoolean(FCID("SVCR"), TRUE, P_NORMAL, D_UNKNOWN, Snapshot_and_Recording_View, 0);
  T_VIEW_vSetSRViewState(SR_VIEW_THUMBNAILS);
  U32 u32State = 0;
  BOOLEAN bValid = FALSE;
  const bool bInlineTest = H_DATABASE_bFetchU32(FCID("CCST"), &u32State, &bValid, nullptr) &&
                           u32State == kStateInlineTest;
  if (!bInlineTest) T_VIEW_vRestoreDisplayKeyDefaults();
  GUI_vRestoreSlotsDefault();
}

void T_VIEW_vHandleNewData(const MESSAGE_NEW_DATA *pMsg) {
  const FOURCHARID key = pMsg->FourCharId;
  const U32 u32Value = pMsg->dbValue.u32Val;
  if (key == FCID("CVEW")) {
    T_VIEW_vSetCurrentLayer(static_cast<LAYER_ID>(u32Value));
    T_VIEW_vRequestExpeditedViewUpdate();
    T_VIEW_vCheckCursorKeyRegistration();
  } else if (key == FCID("CVAS")) {
    T_VIEW_vSetActiveWindow(static_cast<SPLIT_WINDOW_TYPE>(u32Value));
    L_SEMA_Signal(SEMA_VIEW_UPDATE);
  } else if (key == FCID("SCSC")) {
    T_VIEW_vUpdated_SCSC();
  } else if (key == FCID("CSD0") || key == FCID("CSD1") || key == FCID("CPSP") || key == FCID("CPSM")) {
    T_VIEW_vHandleCaptureNewData(pMsg);
  } else if (key == FCID("SNID")) {
    const bool bWas = s_u32LastSNID != 0;
    s_u32LastSNID = u32Value;
    if (bWas == (u32Value != 0)) return;
    if (u32Value != 0) {
      GUI_vRegisterGatewayMenus();
      GUI_vRegisterNMEA2KUnits();
    } else {
      GUI_vUnRegisterGatewayMenus();
      GUI_vUnRegisterNMEA2KUnits();
    }
  } else if (!T_VIEW_bBannerNewData(pMsg)) {
    T_VIEW_bHandleLayerKeyChange(pMsg);
  }
}

}  // namespace

void T_VIEW_vSetBackgroundLayer(LAYER_ID layer) {
  T_VIEWKEY_vSetBackgroundLayer(layer);
  T_VIEW_vSetViewChangedFlags();
}

void T_VIEW_vInit(void) {
  vCreate(FCID("CVEW"), static_cast<U32>(NO_VIEW_PRIORITY));
  T_VIEW_vSetCurrentLayer(NO_VIEW_PRIORITY);
  vCreate(FCID("CVAS"), static_cast<U32>(SPLIT_RIGHT_WINDOW));
  T_VIEW_vSetActiveWindow(SPLIT_RIGHT_WINDOW);
  vWatch(FCID("CSD0"));
  vWatch(FCID("CSD1"));
  T_VIEW_vSetupThumbnailSlots();
  vCreate(FCID("CSRE"), FALSE);
  vCreate(FCID("CPSP"), kPlaybackModeStop);
  vCreate(FCID("CPSM"), kPlaybackModePaused);
  T_VIEW_vSetupPlaybackIconBar();
  vWatch(FCID("IPRA"));
  if (H_DATABASE_bUpdateEverythingU32(FCID("TVUE"), M_VIEW, P_NORMAL, D_MAILBOX, nullptr, DB_NO_TIMEOUT)) {
    ERROR_error(__FILE__, __LINE__, "Somebody else registered the View Task Maibox");
    U_RESET_vReset();
  }
  NMEA2kSource_bInit();
  GUI_bStart();
  T_VIEW_vAllocateUpdateTimer();
}

void T_VIEW_vHandleMessage(void *pvMsg) {
  auto *pHeader = static_cast<GENERIC_MESSAGE *>(pvMsg);
  switch (pHeader->Cmd) {
    case CMD_ID_NEW_DATA: {
      const auto *pMsg = static_cast<const MESSAGE_NEW_DATA *>(pvMsg);
      GUI_vHandleNewData(pMsg);
      T_VIEW_vHandleNewData(pMsg);
      break;
    }
    case CMD_ID_RESET_POS:
      T_VIEW_vHandlePOSReset();
      break;
    case CMD_ID_REGISTER_LAYER:
      T_VIEW_vHandleRegisterLayer(static_cast<MSG_REGISTER_LAYER *>(pvMsg));
      break;
    case CMD_ID_UNREGISTER_LAYER:
      T_VIEW_vHandleUnregisterLayer(static_cast<MSG_UNREGISTER_LAYER *>(pvMsg));
      break;
    case CMD_ID_PING_START:
      T_VIEW_vHandlePingStart(pHeader);
      break;
    case CMD_ID_KEY_CHANGE:
      T_VIEW_vHandleKeys(static_cast<const MSG_KEY_CHANGE *>(pvMsg));
      break;
    case CMD_ID_RUN_SYSTEM:
      T_VIEW_vHandleRunSystem();
      break;
    case CMD_ID_SET_VIEW:
      T_VIEW_vSetBackgroundLayer(static_cast<LAYER_ID>(static_cast<MSG_SET_VIEW *>(pvMsg)->layer));
      break;
    default:
      break;
  }
  H_MEMORY_vDumpMail(pvMsg);
}

void T_VIEW_vHandleSemaphore(SEMA sema) {
  switch (sema) {
    case SEMA_MBOX_VIEW:
      while (void *pvMsg = L_MBOX_Receive(M_VIEW)) T_VIEW_vHandleMessage(pvMsg);
      break;
    case SEMA_VIEW_RELEASE_BITMAP:
      T_VIEW_vToggleDisplayUpdateFreeze(FALSE);
      break;
    case SEMA_TIMER_SIM_MSG:
      T_VIEW_vHandleSimTimer();
      break;
    case SEMA_TIMER_VIEW_UPDATE:
      T_VIEW_vHandleUpdateTimer();
      break;
    case SEMA_VIEW_UPDATE:
      T_VIEW_vHandleUpdateRequest();
      break;
    default:
      break;
  }
}

void T_VIEW_vMain(void) {
  T_VIEW_vInit();
  log_me("view task running");
  for (;;) {
    const ERC erSema = L_SEMA_WaitMultiple(kWaitList);
    if (erSema > 0) T_VIEW_vHandleSemaphore(static_cast<SEMA>(erSema));
  }
}

void T_VIEW_vResetForTest(void) {
  T_VIEW_vResetBannersForTest();
  T_VIEW_vResetFrameForTest();
  T_VIEW_vResetLayerListForTest();
  s_bRunSystemSeen = false;
  s_u32LastSNID = 0;
}
