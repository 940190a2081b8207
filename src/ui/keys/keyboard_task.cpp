// The keyboard task: polls the keypad every 40 ms, sends each key event to the first registered user of the key,
// and owns the long presses of GOTO, POWER and VIEW, the power-off count-down, shut-down and factory reset.
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstring>

#include "kernel/error.h"
#include "kernel/log.h"
#include "kernel/memory.h"
#include "kernel/mutex.h"
#include "kernel/reset.h"
#include "kernel/sema.h"
#include "kernel/shutdown.h"
#include "kernel/tick.h"
#include "kernel/timer.h"
#include "ui/keys/keyboard.h"
#include "ui/menu/dialog.h"
#include "ui/startup/keyboard_pos.h"
#include "ui/menu/menu.h"


const ARRAY_OF_STRING_PTRS Restore_Defaults = SAME22("Restore Defaults");
const ARRAY_OF_STRING_PTRS Shutdown_in_seconds = SAME22("Shutdown in {#} seconds");
const ARRAY_OF_STRING_PTRS Shutting_Down = SAME22("Shutting Down...");

namespace {

constexpr U32 kPollFirstMs = 10;
constexpr U32 kPollMs = 40;
constexpr TICKS kGotoLongMs = 1500;
constexpr TICKS kViewLongMs = 1000;
constexpr TICKS kPowerStepMs = 1000;

typedef struct tag_KEY_USER {
  U32 key_ID;
  KEY_USAGE usage;
  KEY_STATE state;
  CURSOR_MODE cursor_mode;
  BOOLEAN repeat;
  BOOLEAN accelerate;
  MBOX mailbox;
  U32 flag;
  struct tag_KEY_USER *next;
} KEY_USER;

// One list per logical key, in HKEY_ID order; the head gets the events.
KEY_USER *s_pKeyList[HKEY_NUM_KEYS];
// The head last configured into the key layer (POWER's is never used).
KEY_USER *s_pKeyListOld[HKEY_NUM_KEYS];
// Stands for a configured head that has been freed: a new user may get the same block, and must still be
// configured.
KEY_USER s_gone;

typedef struct {
  HKEY_ID hKey;
  U32 KeyName;
} KEY_CROSS_REFERENCE;

const KEY_CROSS_REFERENCE s_crossKey[HKEY_NUM_KEYS] = {
    {HKEY_POWER, KEY_BIT_POWER},     {HKEY_MENU, KEY_BIT_MENU},     {HKEY_EXIT, KEY_BIT_EXIT},
    {HKEY_VIEW, KEY_BIT_VIEW},       {HKEY_CURSOR, KEY_BIT_CURSOR}, {HKEY_ZOOM_IN, KEY_BIT_ZOOM_IN},
    {HKEY_ZOOM_OUT, KEY_BIT_ZOOM_OUT}, {HKEY_MARK, KEY_BIT_MARK},   {HKEY_GOTO, KEY_BIT_GOTO},
    {HKEY_INFO, KEY_BIT_INFO},       {HKEY_SOFT_KEY_1, KEY_BIT_SOFT_KEY_1}, {HKEY_SOFT_KEY_2, KEY_BIT_SOFT_KEY_2},
    {HKEY_SOFT_KEY_3, KEY_BIT_SOFT_KEY_3},
};

// Filing order of a registration of several keys, and the removal order of an unregistration.
const HKEY_ID kRegisterOrder[] = {HKEY_MENU,    HKEY_VIEW, HKEY_EXIT, HKEY_CURSOR,     HKEY_ZOOM_IN,    HKEY_ZOOM_OUT,
                                  HKEY_MARK,    HKEY_GOTO, HKEY_INFO, HKEY_SOFT_KEY_1, HKEY_SOFT_KEY_2, HKEY_SOFT_KEY_3};
const HKEY_ID kUnregisterOrder[] = {HKEY_POWER,   HKEY_VIEW,    HKEY_MENU,     HKEY_EXIT, HKEY_CURSOR,
                                    HKEY_ZOOM_IN, HKEY_ZOOM_OUT, HKEY_MARK,    HKEY_GOTO, HKEY_INFO,
                                    HKEY_SOFT_KEY_1, HKEY_SOFT_KEY_2, HKEY_SOFT_KEY_3};

// Long presses.
TICKS goto_timer = 0;
TICKS power_down_timer = 0;
TICKS view_key_timer = 0;
TICKS s_ticksStart = 0;
BOOLEAN s_bTriggered = FALSE;
U32 keypress_time = 0;
BOOLEAN bUpdated = FALSE;
KEY_STATE lastState = KEY_UP;

// Read by the draw function on the view task, rebuilt on each draw.
std::atomic<U32> s_shutdown_message{0};
char s_byteShutdownMessageBuffer[100];

TICKS now() { return H_TICK_u32ReadFreeRunningTimerInMilliSeconds(); }

U32 u32CrossIndex(HKEY_ID hKey) {
  for (U32 i = 0; i < HKEY_NUM_KEYS; ++i) {
    if (s_crossKey[i].hKey == hKey) return i;
  }
  return HKEY_NUM_KEYS;
}

void vInsertKey(KEY_USER **ppHead, KEY_USER *pNew) {
  KEY_USER **ppLink = ppHead;
  while (*ppLink != nullptr && (*ppLink)->usage > pNew->usage) ppLink = &(*ppLink)->next;
  pNew->next = *ppLink;
  *ppLink = pNew;
}

void vFileEntry(HKEY_ID hKey, MSG_REGISTER_FOR_KEYS *pMsg) {
  auto *pUser = static_cast<KEY_USER *>(H_MEMORY_pvMalloc(sizeof(KEY_USER)));
  pUser->key_ID = s_crossKey[u32CrossIndex(hKey)].KeyName;
  pUser->usage = pMsg->usage;
  pUser->state = pMsg->state;
  pUser->cursor_mode = pMsg->cursor_mode;
  pUser->repeat = pMsg->repeat;
  pUser->accelerate = pMsg->accelerate;
  pUser->mailbox = pMsg->mailbox;
  pUser->flag = pMsg->flag;
  pUser->next = nullptr;
  vInsertKey(&s_pKeyList[hKey], pUser);
  pMsg->pass = TRUE;
}

void vReConfigure() {
  for (U32 k = HKEY_MENU; k < HKEY_NUM_KEYS; ++k) {
    KEY_USER *pHead = s_pKeyList[k];
    if (pHead == s_pKeyListOld[k]) continue;
    s_pKeyListOld[k] = pHead;
    if (pHead != nullptr) {
      H_KEYBOARD_vSetupKey(static_cast<HKEY_ID>(k), pHead->repeat, pHead->accelerate, pHead->cursor_mode);
    } else {
      H_KEYBOARD_vSetupKey(static_cast<HKEY_ID>(k), FALSE, FALSE, CURSOR_4);
    }
  }
}

void vRegisterKey(MSG_REGISTER_FOR_KEYS *pMsg) {
  if (pMsg->keys == KEY_BIT_POWER) {
    vFileEntry(HKEY_POWER, pMsg);
  } else {
    for (HKEY_ID hKey : kRegisterOrder) {
      if (pMsg->keys & s_crossKey[u32CrossIndex(hKey)].KeyName) vFileEntry(hKey, pMsg);
    }
  }
  vReConfigure();
}

void vUnRegisterKey(const MSG_UNREGISTER_FOR_KEYS *pMsg) {
  for (HKEY_ID hKey : kUnregisterOrder) {
    if (!(pMsg->keys & s_crossKey[u32CrossIndex(hKey)].KeyName)) continue;
    for (KEY_USER **ppLink = &s_pKeyList[hKey]; *ppLink != nullptr; ppLink = &(*ppLink)->next) {
      if ((*ppLink)->mailbox != pMsg->mailbox) continue;
      KEY_USER *pGone = *ppLink;
      *ppLink = pGone->next;
      if (s_pKeyListOld[hKey] == pGone) s_pKeyListOld[hKey] = &s_gone;
      H_MEMORY_vFree(pGone);
      break;
    }
  }
  vReConfigure();
}

void vSendKeyMail(const KEY_USER *pUser, KEY_STATE state, U32 u32Count, CURSOR_POSITION cursor) {
  auto *pMsg = static_cast<MSG_KEY_CHANGE *>(H_MEMORY_pvCalloc(1, sizeof(MSG_KEY_CHANGE)));
  pMsg->header.Cmd = CMD_ID_KEY_CHANGE;
  pMsg->key = pUser->key_ID;
  pMsg->state = state;
  pMsg->count = u32Count;
  pMsg->cursor = cursor;
  pMsg->flag = pUser->flag;
  L_MBOX_Send(pUser->mailbox, pMsg, EXTREMELY_HIGH_PRIORITY, 0);
}

bool bWants(const KEY_USER *pUser, KEY_STATE state) { return pUser->state == state || pUser->state == KEY_CHANGE; }

void vHandleEvent(HKEY_ID hKey, KEY_STATE state, U32 u32Count, CURSOR_POSITION cursor) {
  if (hKey == HKEY_GOTO && state == KEY_DOWN && u32Count <= 1) goto_timer = now();
  if (hKey == HKEY_POWER) {
    if (state == KEY_DOWN) {
      power_down_timer = now();
    } else {
      U_VIEW_bUnRegisterLayer(SHUTDOWN_LAYER);
    }
  }
  const U32 u32Index = u32CrossIndex(hKey);
  if (u32Index >= HKEY_NUM_KEYS) return;
  const KEY_USER *pHead = s_pKeyList[s_crossKey[u32Index].hKey];
  if (pHead == nullptr) {
    if (state == KEY_DOWN) L_SEMA_Signal(SEMA_KEYCLICK_BAD);
    return;
  }
  if (hKey == HKEY_VIEW) {
    // Delivered at release, so that a long press can open the view selection instead.
    if (state == KEY_DOWN) {
      view_key_timer = now();
      lastState = KEY_DOWN;
      return;
    }
    if (pHead->state == lastState || pHead->state == KEY_CHANGE) vSendKeyMail(pHead, lastState, u32Count, cursor);
    if (bWants(pHead, KEY_UP)) vSendKeyMail(pHead, KEY_UP, u32Count, cursor);
    lastState = KEY_UP;
    return;
  }
  if ((state == KEY_UP || state == KEY_DOWN) && bWants(pHead, state)) vSendKeyMail(pHead, state, u32Count, cursor);
}

void vProcessGoTo() {
  if (goto_timer != s_ticksStart) {
    s_ticksStart = goto_timer;
    s_bTriggered = FALSE;
  } else if (s_bTriggered) {
    return;
  }
  if (now() - goto_timer >= kGotoLongMs) {
    L_SEMA_Signal(SEMA_KEYBOARD_LONG_GOTO);
    s_bTriggered = TRUE;
  }
}

void vProcessPowerDown() {
  const TICKS held = now() - power_down_timer;
  if (held < kPowerStepMs) {
    keypress_time = 0;
    return;
  }
  if (keypress_time == 0) {
    keypress_time = 1;
    s_shutdown_message = FIRST_SHUTDOWN_MESSAGE;
    U_VIEW_bRegisterLayer(T_KEYBOARD_vDrawShutdownMessage, SHUTDOWN_LAYER, USED_BY_ALL, 0, 0, TRUE, nullptr, nullptr,
                          nullptr);
    return;
  }
  if (held < 2 * kPowerStepMs) return;
  if (keypress_time == 1) {
    keypress_time = 2;
    s_shutdown_message = SECOND_SHUTDOWN_MESSAGE;
    L_SEMA_Signal(SEMA_VIEW_UPDATE);
    return;
  }
  if (held >= 3 * kPowerStepMs && keypress_time == 2) {
    s_shutdown_message = LAST_SHUTDOWN_MESSAGE;
    L_SEMA_Signal(SEMA_VIEW_UPDATE);
    T_KEYBOARD_vShutdown(POWER_DOWN);
  }
}

void vProcessViewKeyDown() {
  if (now() - view_key_timer <= kViewLongMs) {
    bUpdated = FALSE;
    return;
  }
  if (bUpdated) return;
  // The rebuild is posted to the menu task, which opens the menu once it has filed it.
  GUI_vUnRegisterSelectViewMenu();
  GUI_vRegisterSelectViewMenu();
  U_MENU_bActivateSpecifiedHotMenu(VIRTUAL_DISPLAY_VIEW_LAYER);
  bUpdated = TRUE;
}

// Sends CMD_ID_SHUTDOWN to the mailbox under the key, when the key exists, and waits for its acknowledgement.
void vShutdownOne(FOURCHARID key, TICKS ticks) {
  U32 u32Mbox = 0;
  if (!H_DATABASE_bFetchU32(key, &u32Mbox, nullptr, nullptr)) return;
  auto *pMsg = static_cast<MSG_SHUTDOWN *>(H_MEMORY_pvCalloc(1, sizeof(MSG_SHUTDOWN)));
  pMsg->Cmd = CMD_ID_SHUTDOWN;
  const ERC rc = L_MBOX_SendWaitTicks(static_cast<MBOX>(u32Mbox), pMsg, NORMAL_PRIORITY, SEMA_SHUTDOWN_KEYB, ticks);
  // A late receiver still owns the message; one that never got it (no such mailbox) does not.
  if (rc == -lsMBOX_INVALID) H_MEMORY_vFree(pMsg);
}

void vWriteBoolean(FOURCHARID key, BOOLEAN bValue) {
  H_DATABASE_bUpdateEverythingBoolean(key, bValue, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
}

void vHandleNewData(const MESSAGE_NEW_DATA *pMsg) {
  switch (pMsg->FourCharId) {
    case FCID("SMDL"):
      T_KEYBOARD_vSendResetMessages();
      break;
    case FCID("CCST"):
    case FCID("CSD0"):
    case FCID("CSD1"):
    case FCID("SDBV"):
      T_KEYBOARD_vPOSHandleNewData(pMsg);
      break;
    default:
      break;
  }
}

}  // namespace

void T_KEYBOARD_vInit(void) {
  if (H_DATABASE_bUpdateEverythingU32(FCID("TKBD"), M_KEYB, P_NORMAL, D_MAILBOX, nullptr, DB_NO_TIMEOUT)) {
    ERROR_error(__FILE__, __LINE__, "Somebody else registered the Keyboard Task Maibox");
    U_RESET_vReset();
  }
  H_DATABASE_bRegisterForDataWithConditions(FCID("SMDL"), M_KEYB, TRUE, FALSE, FALSE);
  H_KEYBOARD_vInit();
  vWriteBoolean(FCID("CKCK"), TRUE);
  if (L_TIMER_Start(nullptr, kPollFirstMs, kPollMs, SEMA_TIMER_KEYB) == nullptr) {
    ERROR_error(__FILE__, __LINE__, "Timer Problems");
    U_RESET_vReset();
  }
  vWriteBoolean(FCID("CDSM"), FALSE);
  T_KEYBOARD_vPOSInit();
}

void T_KEYBOARD_vPollKeys(void) {
  if (H_KEYBOARD_bProcessKeys()) {
    T_KEYBOARD_vPOSKeyActivity();
    HKEY_ID hKey;
    KEY_STATE state;
    U32 u32Count;
    CURSOR_POSITION cursor;
    while (H_KEYBOARD_bFetchKeyEvent(&hKey, &state, &u32Count, &cursor)) vHandleEvent(hKey, state, u32Count, cursor);
  }
  if (H_KEYBOARD_bIsDown(HKEY_GOTO)) {
    vProcessGoTo();
  } else if (H_KEYBOARD_bIsDown(HKEY_POWER)) {
    vProcessPowerDown();
  }
  if (H_KEYBOARD_bIsDown(HKEY_VIEW)) vProcessViewKeyDown();
}

void T_KEYBOARD_vHandleMessage(void *pvMsg) {
  auto *pMsg = static_cast<GENERIC_MESSAGE *>(pvMsg);
  switch (pMsg->Cmd) {
    case CMD_ID_SHUTDOWN:
      H_MEMORY_vDumpMail(pvMsg);
      T_KEYBOARD_vShutdown(POWER_DOWN);
      return;
    case CMD_ID_INITIATE_SHUTDOWN: {
      const auto *pInit = static_cast<MSG_INITIATE_SHUTDOWN *>(pvMsg);
      const bool bPowerOff = pInit->bPowerOff != FALSE;
      const bool bReset = pInit->bReset != FALSE;
      H_MEMORY_vDumpMail(pvMsg);
      if (bPowerOff && !bReset) T_KEYBOARD_vShutdown(POWER_DOWN);
      if (bReset && !bPowerOff) T_KEYBOARD_vShutdown(RESET);
      return;
    }
    case CMD_ID_NEW_DATA:
      vHandleNewData(static_cast<MESSAGE_NEW_DATA *>(pvMsg));
      break;
    case CMD_ID_REGISTER_FOR_KEYS:
      vRegisterKey(static_cast<MSG_REGISTER_FOR_KEYS *>(pvMsg));
      break;
    case CMD_ID_UNREGISTER_FOR_KEYS:
      vUnRegisterKey(static_cast<MSG_UNREGISTER_FOR_KEYS *>(pvMsg));
      break;
    case CMD_ID_KEY_CHANGE:
      T_KEYBOARD_bPOSHandleKeyChange(static_cast<MSG_KEY_CHANGE *>(pvMsg));
      break;
    case CMD_ID_RUN_SYSTEM:
      U_MENU_bRegisterMainActionMenu(&Restore_Defaults, &Setup, MENU_RESTORE_FACTORY_DEFAULTS,
                                     T_KEYBOARD_vRestoreFactoryDefaults, TRUE, M_BASIC);
      T_KEYBOARD_vHandleSystemStart();
      break;
    default:
      break;
  }
  H_MEMORY_vDumpMail(pvMsg);
}

void T_KEYBOARD_vMain(void) {
  T_KEYBOARD_vInit();
  log_me("keyboard task running");
  static const SEMA kWaitList[] = {SEMA_MBOX_KEYB, SEMA_TIMER_KEYB, SEMA_TIMER_POS, SEMA_SERIAL_KEYBOARD_DISABLE, 0};
  for (;;) {
    switch (L_SEMA_WaitMultiple(kWaitList)) {
      case SEMA_TIMER_KEYB:
        T_KEYBOARD_vPollKeys();
        break;
      case SEMA_TIMER_POS:
        L_MUTEX_LockWait(RES_POS_TUTORIAL);
        T_KEYBOARD_vPOSTimerExpired();
        L_MUTEX_Unlock(RES_POS_TUTORIAL);
        vWriteBoolean(FCID("CKCK"), FALSE);
        break;
      case SEMA_MBOX_KEYB:
        while (void *pvMsg = L_MBOX_Receive(M_KEYB)) T_KEYBOARD_vHandleMessage(pvMsg);
        break;
      default:
        break;
    }
  }
}

void T_KEYBOARD_vShutdown(SHUTDOWN_TYPE eType) {
  static const FOURCHARID kSpared[] = {FCID("TDSP"), FCID("TKBD"), FCID("TSND"), FCID("TMSG"),
                                       FCID("TSLP"), FCID("TETH"), 0};
  log_me("keyboard: %s", eType == RESET ? "reset" : "power down");
  U_SHUTDOWN_vShutdown(kSpared);
  vShutdownOne(FCID("TMSG"), 500);
  if (H_DATABASE_bFetchU32(FCID("TSLP"), nullptr, nullptr, nullptr)) {
    vShutdownOne(FCID("TSLP"), 2000);
    L_CLOCK_Sleep(2000);
  }
  vShutdownOne(FCID("TETH"), 500);
  vShutdownOne(FCID("TDSP"), 500);
  if (eType == RESET) U_RESET_vReset();
  for (int i = 0; i < 20 && H_KEYBOARD_bIsPowerPressed(); ++i) L_CLOCK_Sleep(250);
  H_SHUTDOWN_vShutdown();
}

void T_KEYBOARD_vRestoreFactoryDefaults(void) {
  vWriteBoolean(FCID("SDBV"), TRUE);
  T_KEYBOARD_vSendResetMessages();
  H_DATABASE_bUpdateValueBoolean(FCID("SRDF"), TRUE, P_NORMAL);
  L_SEMA_Signal(SEMA_KEYCLICK_GOOD);
}

void T_KEYBOARD_vSendResetMessages(void) {
  MULTI_FETCH_CONTROL_STRUCTURE control = {};
  control.cMatch = 'T';
  while (H_DATABASE_bFetchNextBeginningWith(&control)) {
    const MBOX mbox = static_cast<MBOX>(control.data.u32Val);
    if (mbox == M_KEYB) continue;
    auto *pMsg = static_cast<MSG_POS_RESET *>(H_MEMORY_pvCalloc(1, sizeof(MSG_POS_RESET)));
    pMsg->Cmd = CMD_ID_RESET_POS;
    if (L_MBOX_Send(mbox, pMsg, NORMAL_PRIORITY, 0) != lsSUCCESS) H_MEMORY_vFree(pMsg);
  }
}

BOOLEAN T_KEYBOARD_bSendToFirstUserExcept(U32 u32KeyBit, MBOX mboxExcept, KEY_STATE state, U32 u32Count,
                                          CURSOR_POSITION cursor) {
  for (const KEY_CROSS_REFERENCE &cross : s_crossKey) {
    if (cross.KeyName != u32KeyBit) continue;
    for (const KEY_USER *pUser = s_pKeyList[cross.hKey]; pUser != nullptr; pUser = pUser->next) {
      if (pUser->mailbox == mboxExcept) continue;
      vSendKeyMail(pUser, state, u32Count, cursor);
      return TRUE;
    }
    return FALSE;
  }
  return FALSE;
}

SHUTDOWN_MESSAGE T_KEYBOARD_eShutdownMessage(void) { return static_cast<SHUTDOWN_MESSAGE>(s_shutdown_message.load()); }

const char *T_KEYBOARD_pcShutdownMessageText(void) {
  const U32 u32Language = nCurrentLanguage();
  const U32 u32Message = s_shutdown_message.load();
  if (u32Message == FIRST_SHUTDOWN_MESSAGE || u32Message == SECOND_SHUTDOWN_MESSAGE) {
    const char cDigit = u32Message == FIRST_SHUTDOWN_MESSAGE ? '2' : '1';
    const char *pcText = Shutdown_in_seconds[u32Language];
    const char *pcOpen = std::strchr(pcText, '{');
    const char *pcClose = pcOpen != nullptr ? std::strchr(pcOpen, '}') : nullptr;
    if (pcOpen == nullptr || pcClose == nullptr) {
      std::snprintf(s_byteShutdownMessageBuffer, sizeof s_byteShutdownMessageBuffer, "%s", pcText);
    } else {
      std::snprintf(s_byteShutdownMessageBuffer, sizeof s_byteShutdownMessageBuffer, "%.*s%c%s",
                    static_cast<int>(pcOpen - pcText), pcText, cDigit, pcClose + 1);
    }
  } else if (u32Message == LAST_SHUTDOWN_MESSAGE) {
    std::snprintf(s_byteShutdownMessageBuffer, sizeof s_byteShutdownMessageBuffer, "%.98s",
                  Shutting_Down[u32Language]);
  }
  return s_byteShutdownMessageBuffer;
}

void T_KEYBOARD_vDrawShutdownMessage(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER) {
  const char *pcText = T_KEYBOARD_pcShutdownMessageText();
  U32 u32Width = U_DIALOG_u32TextWidth16x17(pcText) + 14;
  if (u32Width >= static_cast<U32>(pBitmap->pixels_wide)) u32Width = static_cast<U32>(pBitmap->pixels_wide) - 2;
  U_DIALOG_vDrawDialog(pBitmap, pcText, std_16x17_font_def_ptr, 2, static_cast<U16>(u32Width), nullptr, nullptr,
                       JUSTIFICATION_CENTER, JUSTIFICATION_CENTER);
}

void T_KEYBOARD_vResetForTest(void) {
  for (U32 k = 0; k < HKEY_NUM_KEYS; ++k) {
    while (KEY_USER *pUser = s_pKeyList[k]) {
      s_pKeyList[k] = pUser->next;
      H_MEMORY_vFree(pUser);
    }
    s_pKeyListOld[k] = nullptr;
  }
  goto_timer = power_down_timer = view_key_timer = s_ticksStart = 0;
  s_bTriggered = FALSE;
  keypress_time = 0;
  bUpdated = FALSE;
  lastState = KEY_UP;
  s_shutdown_message = 0;
}
