// The alarm task: keeps one alarm per kind, shows and sounds the most important one, takes the keys while one
// is shown, and tells the units that asked for it when an alarm is acknowledged or cleared here.
#include "ui/info/alarm.h"

#include "draw/box.h"
#include "draw/color.h"
#include "draw/line.h"
#include "draw/string.h"
#include "settings/database.h"
#include "kernel/error.h"
#include "kernel/log.h"
#include "kernel/memory.h"
#include "kernel/mutex.h"
#include "kernel/reset.h"
#include "kernel/sema.h"
#include "kernel/tick.h"
#include "kernel/timer.h"
#include "ui/info/alarm_task.h"
#include "ui/menu/dialog.h"

namespace {

const ARRAY_OF_STRING_PTRS Lost_Source = SAME22("Lost Source");

// Every key but POWER.
constexpr U32 kAlarmKeys = 0x3FE;
constexpr TICKS kReminderGapMs = 1000;
constexpr U32 kStateInlineTest = 9;
constexpr S32 kNoAlarm = -1;

const G_DATA_TYPE *const kNetworkAlarmMembers[] = {&DT_UNSIGNED32, &DT_UNSIGNED32, nullptr};

struct AlarmState {
  ALARM_SET_MESSAGE *pAlarmSetMessageList[NUMBER_OF_SUPPORTED_ALARMS];
  U32 u32ActiveAlarmsInList;
  S32 s32CurrentAlarm;  // the kind in front, kNoAlarm when none
  MBOX toneMailbox;
  TIMER_INFO *pReminderToneTimer;
  TIMER_INFO *pLimitedToneTimer;
  void *networkDestinations;
  bool bNetworkRegistered;
  bool bRunning;
};

AlarmState s = {{}, 0, kNoAlarm, 0, nullptr, nullptr, nullptr, false, true};

const GMSG_MAP_INFO s_ALARM_MsgMapInfo[] = {
    {GMSG_ID_ALARM_RECEIVE_DATA, T_ALARM_bHandleDataRecieve, &DT_NETWORK_ALARM_MESSAGE, nullptr, nullptr},
    {0, nullptr, nullptr, nullptr, nullptr},
};

class AlarmListLock {
 public:
  AlarmListLock() { L_MUTEX_LockWait(RES_ALARMLIST); }
  ~AlarmListLock() { L_MUTEX_Unlock(RES_ALARMLIST); }
  AlarmListLock(const AlarmListLock &) = delete;
  AlarmListLock &operator=(const AlarmListLock &) = delete;
};

bool bValidKind(S32 s32Kind) { return s32Kind >= 0 && s32Kind < NUMBER_OF_SUPPORTED_ALARMS; }

bool bHasInitialTune(const ALARM_SET_MESSAGE *pAlarm) {
  return pAlarm->InitialToneID != TONE_USE_CUSTOM || pAlarm->pInitialCustomTone != nullptr;
}

bool bHasReminderTune(const ALARM_SET_MESSAGE *pAlarm) {
  return pAlarm->ReminderToneID != TONE_USE_CUSTOM || pAlarm->pReminderCustomTone != nullptr;
}

void vPlayTone(TONE_SEQUENCE eTone, const TONE_BURST *pCustom) {
  auto *pMsg = static_cast<MSG_PLAY_TONE *>(H_MEMORY_pvCalloc(1, sizeof(MSG_PLAY_TONE)));
  pMsg->header.Cmd = CMD_ID_PLAY_TONE;
  pMsg->u32Priority = 0;
  pMsg->StandardToneID = eTone;
  pMsg->pCustomTone = pCustom;
  pMsg->bAlarmTone = TRUE;
  L_MBOX_Send(s.toneMailbox, pMsg, NORMAL_PRIORITY, 0);
}

// A tune of no length would make the reminder fire without pause: it is not repeated.
void vStartReminder(TICKS ticks) {
  if (ticks == 0) return;
  L_TIMER_Start(s.pReminderToneTimer, ticks, 0, SEMA_TIMER_ALARM);
}

void vStopToneTimers() {
  L_TIMER_Stop(s.pReminderToneTimer);
  L_TIMER_Stop(s.pLimitedToneTimer);
}

void vEnableAlarmHandling() {
  U_VIEW_bRegisterLayer(vDrawCurrentAlarm, ALARM_LAYER, USED_BY_ALL, 0, 0, TRUE, nullptr, nullptr, nullptr);
  U_KEYBOARD_bRegisterKeys(M_ALARM, kAlarmKeys, KEY_DOWN, FALSE, FALSE, CURSOR_8, REGISTER_ALARM);
}

void vDisableAlarmHandling() {
  U_VIEW_bUnRegisterLayer(ALARM_LAYER);
  U_KEYBOARD_bUnregisterKeys(M_ALARM, kAlarmKeys);
  L_SEMA_Signal(SEMA_VIEW_UPDATE);
}

// Called with RES_ALARMLIST held after every change of the table.
void vGetHighestPriorityAlarm() {
  S32 s32Front = kNoAlarm;
  for (S32 i = 0; i < NUMBER_OF_SUPPORTED_ALARMS; ++i) {
    if (s.pAlarmSetMessageList[i] != nullptr) {
      s32Front = i;
      break;
    }
  }
  if (s32Front == kNoAlarm) {
    s.u32ActiveAlarmsInList = 0;
    s.s32CurrentAlarm = kNoAlarm;
    vDisableAlarmHandling();
    vStopToneTimers();
    return;
  }
  if (s32Front == s.s32CurrentAlarm) return;
  s.s32CurrentAlarm = s32Front;
  vStopToneTimers();
  ALARM_SET_MESSAGE *pAlarm = s.pAlarmSetMessageList[s32Front];
  if (bHasInitialTune(pAlarm)) {
    vPlayTone(pAlarm->InitialToneID, pAlarm->pInitialCustomTone);
    if (bHasReminderTune(pAlarm)) {
      const U32 u32Reminder = T_TONE_u32CalculateToneLength(pAlarm->ReminderToneID, pAlarm->pReminderCustomTone);
      // The timer's own box repeats its tune back to back from the start.
      vStartReminder(s32Front == TIMER_ALARM
                         ? u32Reminder
                         : T_TONE_u32CalculateToneLength(pAlarm->InitialToneID, pAlarm->pInitialCustomTone) +
                               kReminderGapMs);
    }
    // The first tune is played once per alarm, even when it comes back to the front later.
    pAlarm->InitialToneID = TONE_USE_CUSTOM;
    pAlarm->pInitialCustomTone = nullptr;
  } else if (bHasReminderTune(pAlarm)) {
    vStartReminder(kReminderGapMs);
  }
  L_SEMA_Signal(SEMA_VIEW_UPDATE);
}

// Ends the alarm of that kind, if any; RES_ALARMLIST held.
void vClearAlarm(S32 s32Kind) {
  if (!bValidKind(s32Kind) || s.pAlarmSetMessageList[s32Kind] == nullptr) return;
  H_MEMORY_vDumpMail(s.pAlarmSetMessageList[s32Kind]);
  s.pAlarmSetMessageList[s32Kind] = nullptr;
  if (s.s32CurrentAlarm == s32Kind) vStopToneTimers();
  if (s.u32ActiveAlarmsInList > 0) --s.u32ActiveAlarmsInList;
  if (s.u32ActiveAlarmsInList == 0) {
    s.s32CurrentAlarm = kNoAlarm;
    vDisableAlarmHandling();
  } else {
    vGetHighestPriorityAlarm();
  }
}

void T_ALARM_bSendToNetworkDestinations(S32 s32Kind) {
  if (s.networkDestinations == nullptr) return;
  const NETWORK_ALARM_MESSAGE message = {0, static_cast<U32>(s32Kind)};
  U32 u32Index = 0;
  U32 u32User = 0;
  while (GMSG_ADDRESS *pAddress = U_NETWORKDEST_gapNext(s.networkDestinations, &u32Index, &u32User)) {
    U_GMSG_bSendMsgNoReply(M_ALARM, pAddress, GMSG_ID_ALARM_RECEIVE_DATA, &DT_NETWORK_ALARM_MESSAGE, &message, 0);
  }
}

bool bReadSystemState(U32 *pu32State) {
  BOOLEAN bValid = FALSE;
  return H_DATABASE_bFetchU32(FCID("CCST"), pu32State, &bValid, nullptr) != FALSE;
}

// Commands 58 and 59: the message is kept while the alarm lives.
void vAddAlarm(ALARM_SET_MESSAGE *pMsg, bool bExtended) {
  if (!bValidKind(pMsg->Priority)) {
    log_me("alarm: kind %d refused", static_cast<int>(pMsg->Priority));
    H_MEMORY_vDumpMail(pMsg);
    return;
  }
  U32 u32State = 0;
  if (!bReadSystemState(&u32State)) {
    H_MEMORY_vDumpMail(pMsg);
    return;
  }
  if (u32State == kStateInlineTest) {
    if (pMsg->pFunctionAlarmCancel != nullptr) pMsg->pFunctionAlarmCancel();
    H_MEMORY_vDumpMail(pMsg);
    return;
  }
  AlarmListLock lock;
  const S32 s32Kind = pMsg->Priority;
  if (ALARM_SET_MESSAGE *pOld = s.pAlarmSetMessageList[s32Kind]) {
    if (pOld->pFunctionAlarmCancel != nullptr) pOld->pFunctionAlarmCancel();
    vClearAlarm(s32Kind);
  }
  if (bExtended) {
    pMsg->bExtended = TRUE;
  } else {
    pMsg->bExtended = FALSE;
    pMsg->pLeftChoice = nullptr;
    pMsg->pRightChoice = nullptr;
    pMsg->pFunctionCbLeftKeyAction = nullptr;
    pMsg->pFunctionCbRightKeyAction = nullptr;
  }
  s.pAlarmSetMessageList[s32Kind] = pMsg;
  if (s.u32ActiveAlarmsInList == 0) vEnableAlarmHandling();
  ++s.u32ActiveAlarmsInList;
  vGetHighestPriorityAlarm();
}

// Command 60: the peers hear of it even when nothing was stored here.
void vHandleClearMessage(const ALARM_CLEAR_MESSAGE *pMsg) {
  if (!bValidKind(pMsg->Priority)) {
    log_me("alarm: clear of kind %d refused", static_cast<int>(pMsg->Priority));
    return;
  }
  AlarmListLock lock;
  vClearAlarm(pMsg->Priority);
  T_ALARM_bSendToNetworkDestinations(pMsg->Priority);
}

void vReminder() {
  AlarmListLock lock;
  if (!bValidKind(s.s32CurrentAlarm)) return;
  const ALARM_SET_MESSAGE *pAlarm = s.pAlarmSetMessageList[s.s32CurrentAlarm];
  if (pAlarm == nullptr || !bHasReminderTune(pAlarm)) return;
  vPlayTone(pAlarm->ReminderToneID, pAlarm->pReminderCustomTone);
  vStartReminder(T_TONE_u32CalculateToneLength(pAlarm->ReminderToneID, pAlarm->pReminderCustomTone));
}

void vHandleKey(const MSG_KEY_CHANGE *pKey) {
  const S32 s32Front = s.s32CurrentAlarm;
  if (s32Front == TIMER_ALARM || (s32Front == kNoAlarm && T_ALARM_bTimerEditorOpen())) {
    T_ALARM_bHandleTimerKey(pKey);
    return;
  }
  // A release (the timer editor asks for the cursor's releases too) acknowledges nothing.
  if (s32Front == kNoAlarm || pKey->state == KEY_UP) return;
  AlarmListLock lock;
  const ALARM_SET_MESSAGE *pAlarm = s.pAlarmSetMessageList[s32Front];
  if (pAlarm == nullptr) return;
  void (*pfnCallback)(void) = pAlarm->pFunctionAlarmCancel;
  if (pAlarm->bExtended) {
    if (pKey->key != KEY_BIT_CURSOR || (pKey->cursor != CURSOR_WEST && pKey->cursor != CURSOR_EAST)) {
      L_SEMA_Signal(SEMA_KEYCLICK_BAD);
      return;
    }
    pfnCallback = pKey->cursor == CURSOR_WEST ? pAlarm->pFunctionCbLeftKeyAction : pAlarm->pFunctionCbRightKeyAction;
  }
  L_SEMA_Signal(SEMA_KEYCLICK_GOOD);
  if (pfnCallback != nullptr) pfnCallback();
  // The callback may have changed the table.
  vClearAlarm(s.s32CurrentAlarm);
  T_ALARM_bSendToNetworkDestinations(s32Front);
}

void vHandleShutdown() {
  AlarmListLock lock;
  for (S32 i = 0; i < NUMBER_OF_SUPPORTED_ALARMS && s.u32ActiveAlarmsInList > 0; ++i) {
    if (s.pAlarmSetMessageList[i] == nullptr) continue;
    H_MEMORY_vDumpMail(s.pAlarmSetMessageList[i]);
    s.pAlarmSetMessageList[i] = nullptr;
    --s.u32ActiveAlarmsInList;
  }
  s.bRunning = false;
}

void vHandlePeer(ALARM_NETWORK_PEER_ADD_MSG *pMsg) {
  pMsg->gmsgAddress.uAddr.SocketAddress.u32Port = ALARM_NETWORK_PORT;
  U_NETWORKDEST_bRegisterNetworkDestination(s.networkDestinations, &pMsg->gmsgAddress, pMsg->bAdd, 0);
}

void vHandleMessage(void *pvMsg) {
  auto *pHeader = static_cast<GENERIC_MESSAGE *>(pvMsg);
  switch (pHeader->Cmd) {
    case CMD_ID_SET_ALARM:
    case CMD_ID_SET_EXT_ALARM:
      if (s.bRunning) {
        // The stored message is released when its alarm ends.
        vAddAlarm(static_cast<ALARM_SET_MESSAGE *>(pvMsg), pHeader->Cmd == CMD_ID_SET_EXT_ALARM);
        return;
      }
      break;
    case CMD_ID_CLEAR_ALARM:
      if (s.bRunning) vHandleClearMessage(static_cast<ALARM_CLEAR_MESSAGE *>(pvMsg));
      break;
    case CMD_ID_KEY_CHANGE:
      if (s.bRunning) vHandleKey(static_cast<MSG_KEY_CHANGE *>(pvMsg));
      break;
    case CMD_ID_SHUTDOWN:
      vHandleShutdown();
      break;
    case CMD_ID_NEW_DATA: {
      const FOURCHARID id = static_cast<MESSAGE_NEW_DATA *>(pvMsg)->FourCharId;
      if (id == FCID("SNID") || id == FCID("CCST")) T_ALARM_vRegisterMenu();
      break;
    }
    case CMD_ID_RUN_SYSTEM:
      T_ALARM_vRegisterMenu();
      break;
    case CMD_ID_RESET_POS:
      T_ALARM_vSetDefaultSettings();
      break;
    case CMD_ID_GMSG_RECEIVE:
      if (s.bRunning) U_GMSG_bHandleReceive(static_cast<MSG_GMSG_RECEIVE *>(pvMsg));
      break;
    case CMD_ID_GMSG_DISCONNECT:
      if (s.bRunning) {
        auto *pDisconnect = static_cast<MSG_GMSG_DISCONNECT *>(pvMsg);
        U_NETWORKDEST_bRegisterNetworkDestination(s.networkDestinations, &pDisconnect->Address, FALSE, 0);
      }
      break;
    case CMD_ID_ALARM_ADD_PEER:
      if (s.bRunning) vHandlePeer(static_cast<ALARM_NETWORK_PEER_ADD_MSG *>(pvMsg));
      break;
    default:
      break;
  }
  H_MEMORY_vDumpMail(pvMsg);
}

[[noreturn]] void vFatal(int nLine, const char *pcText) {
  ERROR_error(__FILE__, nLine, pcText);
  U_RESET_vReset();
}

// Centred text at a baseline height (y counted upward).
void vPutCentred(BITMAP *pBmp, const FONT_DEF *pFont, const char *pcText, S32 s32Y, COLOR color) {
  POINT anchor = {(800 - static_cast<S32>(G_STRING_u32GetWidth(pFont, pcText))) / 2, s32Y};
  G_STRING_vPut(pBmp, color, &anchor, pFont, pcText);
}

void vDrawLostSource(BITMAP *pBmp, const char *pcText) {
  const COLOR *pTable = gCOLOR_pcolColorTable;
  const FONT_DEF *pTitleFont = std_16x17_font_def_ptr;
  const char *pcTitle = Lost_Source[nCurrentLanguage()];
  const S32 s32TitleWidth = static_cast<S32>(G_STRING_u32GetWidth(pTitleFont, pcTitle));
  const S32 W = 2 * s32TitleWidth;
  const S32 H = (5 * static_cast<S32>(G_FONTS_u32GetHeight(pTitleFont))) / 2;
  const S32 x0 = (800 - W) / 2;
  const S32 y0 = (480 - H) / 2;
  if (W < 24 || H < 8) return;
  const POINT outer = {x0, y0};
  G_BOX_vDrawRoundedFilled(pBmp, pTable[67], &outer, static_cast<U32>(W), static_cast<U32>(H), 5);
  const POINT inner = {x0 + 2, y0 + 2};
  G_BOX_vDrawRoundedFilled(pBmp, pTable[35], &inner, static_cast<U32>(W - 4), static_cast<U32>(H - 4), 5);
  for (S32 y : {239, 240}) {
    const POINT a = {x0 + 11, y};
    const POINT b = {x0 + W - 11, y};
    G_LINE_vDraw(pBmp, pTable[32], &a, &b);
  }
  vPutCentred(pBmp, pTitleFont, pcTitle, 245, pTable[32]);
  vPutCentred(pBmp, std_11x14_font_def_ptr, pcText, y0 + 11, pTable[32]);
}

}  // namespace

const G_DATA_TYPE DT_NETWORK_ALARM_MESSAGE = {"DT_NETWORK_ALARM_MESSAGE", G_DF_STRUCT, 1,
                                              sizeof(NETWORK_ALARM_MESSAGE), kNetworkAlarmMembers};

void vDrawCurrentAlarm(BITMAP *pBmp, WINDOW_SPECIFICATION_POINTER) {
  AlarmListLock lock;
  if (!bValidKind(s.s32CurrentAlarm)) return;
  const ALARM_SET_MESSAGE *pAlarm = s.pAlarmSetMessageList[s.s32CurrentAlarm];
  if (pAlarm == nullptr || pAlarm->pMessageString == nullptr) return;
  if (s.s32CurrentAlarm >= DATASOURCE_ALARM_ENGINE && s.s32CurrentAlarm <= DATASOURCE_ALARM_TANK2) {
    vDrawLostSource(pBmp, pAlarm->pMessageString);
  } else if (pAlarm->bExtended) {
    U_DIALOG_vDrawDialogWithConfirm(pBmp, pAlarm->pMessageString, std_11x14_font_def_ptr, 2, 533,
                                    pAlarm->pLeftChoice, pAlarm->pRightChoice, JUSTIFICATION_CENTER,
                                    JUSTIFICATION_CENTER, pAlarm->pFunctionCbLeftKeyAction != nullptr,
                                    pAlarm->pFunctionCbRightKeyAction != nullptr);
  } else {
    U_DIALOG_vDrawDialog(pBmp, pAlarm->pMessageString, std_11x14_font_def_ptr, 2, 533, pAlarm->pLeftIcon,
                         pAlarm->pRightIcon, JUSTIFICATION_CENTER, JUSTIFICATION_CENTER);
  }
}

BOOLEAN T_ALARM_bHandleDataRecieve(MBOX, GMSG_INFO *pMsgInfo, void *, void *) {
  // A body that could not be rebuilt arrives without its structure.
  if (pMsgInfo == nullptr || pMsgInfo->pStructMsg == nullptr) return TRUE;
  const auto *pMessage = static_cast<const NETWORK_ALARM_MESSAGE *>(pMsgInfo->pStructMsg);
  if (pMessage->activate != 0 || pMessage->priority >= static_cast<U32>(NUMBER_OF_SUPPORTED_ALARMS)) return TRUE;
  // The view task draws the front alarm under the same lock.
  AlarmListLock lock;
  vClearAlarm(static_cast<S32>(pMessage->priority));
  return TRUE;
}

void T_ALARM_vHandleClearAllAlarms(void) {
  {
    AlarmListLock lock;
    for (S32 i = 0; i < NUMBER_OF_SUPPORTED_ALARMS; ++i) vClearAlarm(i);
  }
  L_SEMA_Signal(SEMA_VIEW_UPDATE);
}

void T_ALARM_vInit(void) {
  if (H_DATABASE_bUpdateEverythingU32(FCID("TALR"), M_ALARM, P_NORMAL, D_MAILBOX, nullptr, DB_NO_TIMEOUT)) {
    vFatal(__LINE__, "Somebody else registered the Alarm Task Maibox");
  }
  U32 u32Tone = 0;
  while (!H_DATABASE_bFetchU32(FCID("TTON"), &u32Tone, nullptr, nullptr)) L_CLOCK_Sleep(1);
  s.toneMailbox = static_cast<MBOX>(u32Tone);
  T_ALARM_vRegisterTimerMenu();
  s.pReminderToneTimer = L_TIMER_Allocate();
  s.pLimitedToneTimer = L_TIMER_Allocate();
  if (s.pReminderToneTimer == nullptr || s.pLimitedToneTimer == nullptr) {
    vFatal(__LINE__, "Unable to allocate an Alarm Timer");
  }
  H_DATABASE_bRegisterForDataWithConditions(FCID("SNID"), M_ALARM, TRUE, FALSE, FALSE);
  H_DATABASE_bRegisterForDataWithConditions(FCID("CCST"), M_ALARM, TRUE, FALSE, FALSE);
  L_SEMA_SetPending(SEMA_CLEAR_ALARMS);
  T_ALARM_vLoadTimerValue();
}

void T_ALARM_vBeforeWait(void) {
  if (s.bNetworkRegistered || !T_ETHERNET_bIsAddressReady()) return;
  U_GMSG_bRegisterMailbox(M_ALARM, RES_ALARM, SEMA_GMSG_ALARM, s_ALARM_MsgMapInfo, ALARM_NETWORK_PORT);
  s.networkDestinations = U_NETWORKDEST_pvNew();
  s.bNetworkRegistered = true;
}

void T_ALARM_vHandleSema(SEMA sema) {
  switch (sema) {
    case SEMA_MBOX_ALARM:
      while (void *pvMsg = L_MBOX_Receive(M_ALARM)) vHandleMessage(pvMsg);
      break;
    case SEMA_TIMER_ALARM:
      if (s.bRunning) vReminder();
      break;
    case SEMA_CLEAR_ALARMS:
      T_ALARM_vHandleClearAllAlarms();
      break;
    default:
      vFatal(__LINE__, "Invalid event");
  }
}

void T_ALARM_vMain(void) {
  static const SEMA kWaitList[] = {SEMA_MBOX_ALARM, SEMA_TIMER_ALARM, SEMA_CLEAR_ALARMS, 0};
  T_ALARM_vInit();
  log_me("alarm task running");
  for (;;) {
    T_ALARM_vBeforeWait();
    T_ALARM_vHandleSema(L_SEMA_WaitMultiple(kWaitList));
  }
}

S32 T_ALARM_s32FrontAlarm(void) {
  AlarmListLock lock;
  return s.s32CurrentAlarm;
}

U32 T_ALARM_u32ActiveAlarms(void) {
  AlarmListLock lock;
  return s.u32ActiveAlarmsInList;
}

void T_ALARM_vResetForTest(void) {
  {
    AlarmListLock lock;
    for (ALARM_SET_MESSAGE *&pAlarm : s.pAlarmSetMessageList) {
      H_MEMORY_vDumpMail(pAlarm);
      pAlarm = nullptr;
    }
    s.u32ActiveAlarmsInList = 0;
    s.s32CurrentAlarm = kNoAlarm;
  }
  if (s.pReminderToneTimer != nullptr) L_TIMER_Release(s.pReminderToneTimer);
  if (s.pLimitedToneTimer != nullptr) L_TIMER_Release(s.pLimitedToneTimer);
  U_NETWORKDEST_pvFree(s.networkDestinations);
  s = {{}, 0, kNoAlarm, 0, nullptr, nullptr, nullptr, false, true};
  T_ALARM_vResetTimerForTest();
  T_ALARM_vResetMenuForTest();
}
