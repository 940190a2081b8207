// The button task: soft keys 1 to 3 as view shortcuts, with a help text while a key is held and a confirmation
// box and tune after a shortcut is stored. It takes the soft keys at the lowest class but one, so every menu,
// dialog and view that wants them gets them first.
#include "ui/keys/buttons.h"

#include <atomic>

#include "draw/color.h"
#include "draw/string.h"
#include "kernel/error.h"
#include "kernel/log.h"
#include "kernel/memory.h"
#include "kernel/reset.h"
#include "kernel/sema.h"
#include "kernel/timer.h"
#include "ui/menu/dialog.h"
#include "ui/keys/tone.h"

const ARRAY_OF_STRING_PTRS Radio_press_and_hold = SAME22("Press and hold to set shortcut");
const ARRAY_OF_STRING_PTRS Shortcut_Saved = SAME22("Shortcut Saved");

namespace {

constexpr U32 kSoftKeys = KEY_BIT_SOFT_KEY_1 | KEY_BIT_SOFT_KEY_2 | KEY_BIT_SOFT_KEY_3;
constexpr U32 kLongPressMs = 2000;
constexpr U32 kHelpAfterReleaseMs = 500;
constexpr U32 kSavedMs = 1000;

KEY_CONTROL s_KeyControl[3] = {
    {KEY_BIT_SOFT_KEY_1, FCID("SKY1"), SONAR_SIDEVIEW_AND_DOWN, SONAR_SIDEVIEW_AND_DOWN},
    {KEY_BIT_SOFT_KEY_2, FCID("SKY2"), CHART_PLUS_2D_VIEW_PRIORITY, CHART_PLUS_2D_VIEW_PRIORITY},
    {KEY_BIT_SOFT_KEY_3, FCID("SKY3"), CHART_PLUS_BIRDS_EYE_VIEW_PRIORITY, CHART_PLUS_BIRDS_EYE_VIEW_PRIORITY},
};

S32 s_s32KeyPressed = -1;
// Read by the draw function on the view task.
std::atomic<U32> s_ebuttontimer{BUTTON_TIMER_NOT_IN_USE};
TIMER_INFO *s_pTimer = nullptr;

// Two pulses: 100 ms with 100 ms of silence, then 500 ms.
const TONE_BURST s_toneburst = {
    .u32NumPulses = 2,
    .s32RepeatCount = 1,
    .tone = {{{2000.0f, 1200.0f, 1000.0f}, 100, 100}, {{2000.0f, 1200.0f, 1000.0f}, 500, 0}},
    .ticksSpaceBetweenBurstDuration = 0,
};

S32 s32Row(U32 u32Key) {
  for (S32 i = 0; i < 3; ++i) {
    if (s_KeyControl[i].key == u32Key) return i;
  }
  return -1;
}

void T_BUTTON_vSetupMessage() {
  U_VIEW_bRegisterLayer(T_BUTTON_vDrawMessage, BUTTON_MESSAGE_LAYER, USED_BY_ALL, 0, 0, TRUE, nullptr, nullptr,
                        nullptr);
  L_SEMA_Signal(SEMA_VIEW_UPDATE);
}

void T_BUTTON_vKillMessage() {
  U_VIEW_bUnRegisterLayer(BUTTON_MESSAGE_LAYER);
  L_SEMA_Signal(SEMA_VIEW_UPDATE);
}

void vStartTimer(U32 u32Ms) { L_TIMER_Start(s_pTimer, u32Ms, 0, SEMA_TIMER_BUTTON); }

void T_BUTTON_vHandleKeyChange(const MSG_KEY_CHANGE *pMsg) {
  const S32 s32KeyRow = s32Row(pMsg->key);
  if (s32KeyRow < 0) return;
  if (pMsg->state != KEY_UP) {
    L_SEMA_Signal(SEMA_KEYCLICK_GOOD);
    s_s32KeyPressed = s32KeyRow;
    s_ebuttontimer = BUTTON_KEY_DOWN;
    vStartTimer(kLongPressMs);
    T_BUTTON_vSetupMessage();
    return;
  }
  // A release after the long press stored the view changes nothing.
  if (s_s32KeyPressed == -1) return;
  const U32 u32Left = L_TIMER_GetRemaining(s_pTimer);
  s_ebuttontimer = BUTTON_HELPER_MESSAGE;
  vStartTimer(u32Left > kHelpAfterReleaseMs ? u32Left - kHelpAfterReleaseMs : 0);
  H_DATABASE_bUpdateValueU32(FCID("CVEW"), static_cast<U32>(s_KeyControl[s32KeyRow].eCurrentLayer), P_NORMAL);
  s_s32KeyPressed = -1;
}

void T_BUTTON_vSetDefaults() {
  for (KEY_CONTROL &row : s_KeyControl) {
    H_DATABASE_bUpdateValueU32(row.fcID, static_cast<U32>(row.eDefaultLayerID), P_NORMAL);
    row.eCurrentLayer = row.eDefaultLayerID;
  }
}

void T_BUTTON_vHandleShutdown() {
  if (s_pTimer != nullptr) {
    L_TIMER_Stop(s_pTimer);
    L_TIMER_Release(s_pTimer);
    s_pTimer = nullptr;
  }
  U_KEYBOARD_bUnregisterKeys(M_BUTTON, kSoftKeys);
}

void vPlayTune() {
  U32 u32Mbox = 0;
  if (!H_DATABASE_bFetchU32(FCID("TTON"), &u32Mbox, nullptr, nullptr)) return;
  auto *pMsg = static_cast<MSG_PLAY_TONE *>(H_MEMORY_pvCalloc(1, sizeof(MSG_PLAY_TONE)));
  pMsg->header.Cmd = CMD_ID_PLAY_TONE;
  pMsg->StandardToneID = TONE_USE_CUSTOM;
  pMsg->pCustomTone = &s_toneburst;
  pMsg->bAlarmTone = FALSE;
  if (L_MBOX_Send(static_cast<MBOX>(u32Mbox), pMsg, NORMAL_PRIORITY, 0) != lsSUCCESS) H_MEMORY_vFree(pMsg);
}

}  // namespace

void T_BUTTON_vInit(void) {
  if (H_DATABASE_bUpdateEverythingU32(FCID("TBUT"), M_BUTTON, P_NORMAL, D_MAILBOX, nullptr, DB_NO_TIMEOUT)) {
    ERROR_error(__FILE__, __LINE__, "Somebody else registered the Button Task Maibox");
    U_RESET_vReset();
  }
  U_KEYBOARD_bRegisterKeys(M_BUTTON, kSoftKeys, KEY_CHANGE, FALSE, FALSE, CURSOR_4, REGISTER_EXCLUSIVE);
  for (KEY_CONTROL &row : s_KeyControl) {
    DB_DATA_TYPE value = {};
    value.u32Val = static_cast<U32>(row.eDefaultLayerID);
    const DB_ATTRIBUTES attributes = {D_UNKNOWN, nullptr, DB_NO_TIMEOUT};
    H_DATABASE_vReadOrSetDefault(row.fcID, &value, P_NORMAL, &attributes);
    row.eCurrentLayer = static_cast<LAYER_ID>(value.u32Val);
  }
  s_pTimer = L_TIMER_Allocate();
  if (s_pTimer == nullptr) {
    ERROR_error(__FILE__, __LINE__, "No Timers");
    U_RESET_vReset();
  }
}

void T_BUTTON_vHandleMessage(void *pvMsg) {
  switch (static_cast<GENERIC_MESSAGE *>(pvMsg)->Cmd) {
    case CMD_ID_KEY_CHANGE:
      T_BUTTON_vHandleKeyChange(static_cast<MSG_KEY_CHANGE *>(pvMsg));
      break;
    case CMD_ID_RESET_POS:
      T_BUTTON_vSetDefaults();
      break;
    case CMD_ID_SHUTDOWN:
      T_BUTTON_vHandleShutdown();
      break;
    default:
      break;
  }
  H_MEMORY_vDumpMail(pvMsg);
}

void T_BUTTON_vHandleTimer(void) {
  if (s_ebuttontimer == BUTTON_KEY_DOWN) {
    if (s_s32KeyPressed == -1) return;
    U32 u32View = 0;
    if (!H_DATABASE_bFetchU32(FCID("CVEW"), &u32View, nullptr, nullptr)) {
      s_s32KeyPressed = -1;
      return;
    }
    KEY_CONTROL &row = s_KeyControl[s_s32KeyPressed];
    row.eCurrentLayer = static_cast<LAYER_ID>(u32View);
    H_DATABASE_bUpdateValueU32(row.fcID, u32View, P_NORMAL);
    s_ebuttontimer = BUTTON_SAVED_MESSAGE;
    vStartTimer(kSavedMs);
    L_SEMA_Signal(SEMA_VIEW_UPDATE);
    vPlayTune();
    s_s32KeyPressed = -1;
    return;
  }
  L_TIMER_Stop(s_pTimer);
  s_ebuttontimer = BUTTON_TIMER_NOT_IN_USE;
  T_BUTTON_vKillMessage();
  s_s32KeyPressed = -1;
}

void T_BUTTON_vMain(void) {
  T_BUTTON_vInit();
  log_me("button task running");
  static const SEMA kWaitList[] = {SEMA_MBOX_BUTTON, SEMA_TIMER_BUTTON, 0};
  for (;;) {
    switch (L_SEMA_WaitMultiple(kWaitList)) {
      case SEMA_MBOX_BUTTON:
        while (void *pvMsg = L_MBOX_Receive(M_BUTTON)) T_BUTTON_vHandleMessage(pvMsg);
        break;
      case SEMA_TIMER_BUTTON:
        T_BUTTON_vHandleTimer();
        break;
      default:
        break;
    }
  }
}

void T_BUTTON_vDrawMessage(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER) {
  const U32 u32Language = nCurrentLanguage();
  switch (s_ebuttontimer.load()) {
    case BUTTON_KEY_DOWN:
    case BUTTON_HELPER_MESSAGE: {
      const POINT anchor = {0, 0};
      U_DIALOG_u32DrawMessageBlock(pBitmap, Radio_press_and_hold[u32Language], std_11x14_font_def_ptr, 0,
                                   JUSTIFICATION_CENTER, JUSTIFICATION_BOTTOM, &anchor,
                                   static_cast<U32>(pBitmap->pixels_wide), gCOLOR_pcolColorTable[131],
                                   gCOLOR_pcolColorTable[128]);
      break;
    }
    case BUTTON_SAVED_MESSAGE: {
      const char *pcText = Shortcut_Saved[u32Language];
      U32 u32Width = G_STRING_u32GetWidth(std_16x17_font_def_ptr, pcText) + 9;
      const U32 u32Max = static_cast<U32>(pBitmap->pixels_wide) - 10;
      if (u32Width > u32Max) u32Width = u32Max;
      U_DIALOG_vDrawDialog(pBitmap, pcText, std_16x17_font_def_ptr, 0, static_cast<U16>(u32Width), nullptr, nullptr,
                           JUSTIFICATION_CENTER, JUSTIFICATION_CENTER);
      break;
    }
    default:
      T_BUTTON_vKillMessage();
      break;
  }
}

BUTTON_TIMER_USE T_BUTTON_eTimerUseForTest(void) { return static_cast<BUTTON_TIMER_USE>(s_ebuttontimer.load()); }
LAYER_ID T_BUTTON_eStoredViewForTest(U32 u32Row) { return u32Row < 3 ? s_KeyControl[u32Row].eCurrentLayer : -1; }
U32 T_BUTTON_u32TimerRemainingForTest(void) { return L_TIMER_GetRemaining(s_pTimer); }

void T_BUTTON_vResetForTest(void) {
  if (s_pTimer != nullptr) L_TIMER_Release(s_pTimer);
  s_pTimer = nullptr;
  s_s32KeyPressed = -1;
  s_ebuttontimer = BUTTON_TIMER_NOT_IN_USE;
  for (KEY_CONTROL &row : s_KeyControl) row.eCurrentLayer = row.eDefaultLayerID;
}
