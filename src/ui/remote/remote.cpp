// The Bluetooth remote task: receiver state, the button state machine, timers and retransmission.
// Press durations come from the remote's own time stamps, so a late radio link does not turn a press into a hold.
#include <cstring>

#include "kernel/error.h"
#include "kernel/log.h"
#include "kernel/memory.h"
#include "kernel/reset.h"
#include "kernel/sema.h"
#include "kernel/tick.h"
#include "nav/nav_mark_standin.h"
#include "ui/remote/remote_internal.h"

namespace {

BTREMOTE_STATE s_state;
std::mutex s_lock;

constexpr U32 kButtonCount = 7;

const FOURCHARID kWatched[] = {
    FCID("CVEW"), FCID("SCSL"), FCID("SK01"), FCID("SK12"), FCID("SK22"), FCID("SK32"), FCID("SK42"),
    FCID("SK52"), FCID("SK62"), FCID("SK72"), FCID("SK13"), FCID("SK23"), FCID("SK33"), FCID("SK43"),
    FCID("SK53"), FCID("SK63"), FCID("SK73"), FCID("SK14"), FCID("SK24"), FCID("SK34"), FCID("SK44"),
    FCID("SK54"), FCID("SK64"), FCID("SK74"), FCID("SK05"), FCID("SK06"), FCID("SK07"), FCID("SBTB"),
    FCID("IBTR"), FCID("IBTD"), FCID("CBTM"), FCID("CRXM"), FCID("CRXT"), FCID("IPEN"), FCID("CSD0"),
    FCID("CSD1"),
};

void resetState() {
  s_state = BTREMOTE_STATE{};
  s_state.eKey = REMOTE_KEY_NONE;
  s_state.eLastKey = REMOTE_KEY_NONE;
  s_state.eDongleOpMode = DONGLE_OP_MODE_NOT_PRESENT;
  s_state.u32DataBarPage = 1;
  s_state.eCurrentView = NO_VIEW_PRIORITY;
  BTREMOTE_vInitMenuMap(s_state.menuMap);
}

const bool s_bStateReady = [] {
  resetState();
  return true;
}();

U32 nowSeconds() { return static_cast<U32>(L_CLOCK_qwGetTimeInMillis() / 1000); }

void writeFlag(FOURCHARID fcid, U32 u32Value) {
  H_DATABASE_bUpdateEverythingU32(fcid, u32Value, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
}

TIMER_INFO **timerOf(int nSema) {
  switch (nSema) {
    case SEMA_TIMER_BT_BUTTON: return &s_state.pButtonTimer;
    case SEMA_TIMER_BT_ACK: return &s_state.pAckTimer;
    case SEMA_TIMER_BT_HB: return &s_state.pHbTimer;
    case SEMA_TIMER_BT_CONF: return &s_state.pConfTimer;
    default: return nullptr;
  }
}

// The hexadecimal digit's value, -1 for anything else.
int hexDigit(U8 u8Char) {
  if (u8Char >= '0' && u8Char <= '9') return u8Char - '0';
  if (u8Char >= 'A' && u8Char <= 'F') return u8Char - 'A' + 10;
  return -1;
}

// The MENU button's option for the current view: column 3 for a short press, 10 for a hold.
void menuKey(U32 u32Column) {
  const REMOTE_KEY_VIEW eView = T_BTREMOTE_eActiveView();
  if (eView != REMOTE_VIEW_INVALID) T_BTREMOTE_vKeyMenu(eView, s_state.u32ViewKeyDefs[eView][u32Column]);
}

void handleShortAction(REMOTE_KEY eKey) {
  log_me("BTR T_BTREMOTE_vHandleBtKey eKey=%d", static_cast<int>(eKey));
  switch (eKey) {
    case REMOTE_KEY_MENU:
      menuKey(3);
      break;
    case REMOTE_KEY_DATA_BOX:
      if (s_state.bDataBarDisplayOn) {
        T_BTREMOTE_vClearDataBar();
      } else {
        T_BTREMOTE_vDisplayDataBoxes(TRUE);
        T_BTREMOTE_vKeyRegister(TRUE);
      }
      break;
    case REMOTE_KEY_MARK:
      T_NAV_vHandleMark();
      break;
    default:
      break;
  }
}

void handleHoldAction(REMOTE_KEY eKey) {
  log_me("BTR T_BTREMOTE_vHandleBtKeyPressHold eKey=%d", static_cast<int>(eKey));
  switch (eKey) {
    case REMOTE_KEY_MENU:
      menuKey(10);
      break;
    case REMOTE_KEY_DATA_BOX:
      if (s_state.bDataBarDisplayOn) {
        std::lock_guard<std::mutex> guard(s_lock);
        s_state.u32DataBarPage = s_state.u32DataBarPage == 1 ? 2 : 1;
      }
      L_SEMA_Signal(SEMA_VIEW_UPDATE);
      break;
    case REMOTE_KEY_MARK:
      T_BTREMOTE_vKeyMark(s_state.u32ViewKeyDefs[0][7]);
      break;
    default:
      break;
  }
}

void buttonPress(REMOTE_KEY eKey, U32 u32Timestamp) {
  if ((s_state.eKey == REMOTE_KEY_VIEW1 && eKey == REMOTE_KEY_VIEW2) ||
      (s_state.eKey == REMOTE_KEY_VIEW2 && eKey == REMOTE_KEY_VIEW1)) {
    // Both view buttons together are the remote's pairing gesture.
    log_me("BTR T_BTREMOTE_vHandleRxMessage  BLUETOOTH_TYPE_BUTTON double press ignored");
    T_BTREMOTE_vCancelTimer(SEMA_TIMER_BT_BUTTON);
    s_state.eKey = REMOTE_KEY_NONE;
    s_state.bDoubleKeyPress = TRUE;
    return;
  }
  if (s_state.bDoubleKeyPress) return;
  if (s_state.eKey != REMOTE_KEY_NONE) {
    log_me("BTR T_BTREMOTE_vHandleRxMessage  BLUETOOTH_TYPE_BUTTON Press IGNORED  !! key=%d  press=%d",
           static_cast<int>(eKey), 1);
    return;
  }
  s_state.eKey = eKey;
  log_me("BTR T_BTREMOTE_vHandleRxMessage s_eLastKey=%d  s_eKey=%d", static_cast<int>(s_state.eLastKey),
         static_cast<int>(eKey));
  if (s_state.eLastKey != REMOTE_KEY_NONE) {
    const BOOLEAN bPlusAfterPlus = eKey == REMOTE_KEY_PLUS && s_state.eLastKey == REMOTE_KEY_PLUS;
    if (eKey != s_state.eLastKey || ((eKey == REMOTE_KEY_MINUS || eKey == REMOTE_KEY_PLUS) && !bPlusAfterPlus)) {
      T_BTREMOTE_vClearVisualConfirmation();
    }
  }
  s_state.eLastKey = eKey;
  s_state.u32KeyPressTimestamp = u32Timestamp;
  switch (eKey) {
    case REMOTE_KEY_MARK:
    case REMOTE_KEY_MENU:
      T_BTREMOTE_vClearDataBar();
      T_BTREMOTE_vStartTimer(SEMA_TIMER_BT_BUTTON);
      break;
    case REMOTE_KEY_MINUS:
    case REMOTE_KEY_PLUS:
      T_BTREMOTE_vClearDataBar();
      T_BTREMOTE_vKeyPlusMinus(REMOTE_KEY_PRESS);
      break;
    case REMOTE_KEY_DATA_BOX:
      L_SEMA_Signal(SEMA_KEYCLICK_GOOD);
      T_BTREMOTE_vStartTimer(SEMA_TIMER_BT_BUTTON);
      break;
    case REMOTE_KEY_VIEW1:
    case REMOTE_KEY_VIEW2:
      T_BTREMOTE_vClearDataBar();
      L_SEMA_Signal(SEMA_KEYCLICK_GOOD);
      if (H_DATABASE_bFetchU32(FCID("TVUE"), nullptr, nullptr, nullptr)) {
        // VIEW1 steps back like EXIT, VIEW2 forward like VIEW.
        BTREMOTE_vPostKey(M_VIEWKEY, eKey == REMOTE_KEY_VIEW1 ? KEY_BIT_EXIT : KEY_BIT_VIEW, KEY_DOWN,
                          static_cast<CURSOR_POSITION>(0));
      }
      break;
    default:
      break;
  }
}

void buttonRelease(REMOTE_KEY eKey, U32 u32Timestamp) {
  s_state.bDoubleKeyPress = FALSE;
  switch (s_state.eKey) {
    case REMOTE_KEY_MARK:
    case REMOTE_KEY_MENU:
    case REMOTE_KEY_DATA_BOX: {
      T_BTREMOTE_vCancelTimer(SEMA_TIMER_BT_BUTTON);
      const U32 u32Delta = H_TICK_u32ElapsedTime(s_state.u32KeyPressTimestamp, u32Timestamp);
      const BOOLEAN bHold = u32Delta > REMOTE_BUTTON_HOLD_MS;
      log_me("BTR T_BTREMOTE_vHandleRxMessage now=%u prev=%u DeltaTimestamp=%u press&hold=%d", u32Timestamp,
             s_state.u32KeyPressTimestamp, u32Delta, static_cast<int>(bHold));
      if (bHold != s_state.bLastKeyPressAndHold) T_BTREMOTE_vClearVisualConfirmation();
      s_state.bLastKeyPressAndHold = bHold;
      if (bHold) {
        handleHoldAction(s_state.eKey);
      } else {
        handleShortAction(s_state.eKey);
      }
      break;
    }
    case REMOTE_KEY_MINUS:
    case REMOTE_KEY_PLUS:
      T_BTREMOTE_vKeyPlusMinus(REMOTE_KEY_RELEASE);
      break;
    case REMOTE_KEY_NONE:
    case REMOTE_KEY_WAITING_FOR_RELEASE:
      log_me("BTR T_BTREMOTE_vHandleRxMessage  BLUETOOTH_TYPE_BUTTON Release IGNORED  !! key=%d  press=%d delta=%u",
             static_cast<int>(eKey), 0, H_TICK_u32ElapsedTime(s_state.u32KeyPressTimestamp, u32Timestamp));
      break;
    default:
      break;
  }
  s_state.eKey = REMOTE_KEY_NONE;
}

void handleRx(const void *pvMsg) {
  const auto *pGeneric = static_cast<const MSG_BLUETOOTH_REMOTE_GENERIC *>(pvMsg);
  s_state.u32LastBluetoothRemoteHB = nowSeconds();
  if (s_state.u32LastBluetoothRemoteHB == 0) s_state.u32LastBluetoothRemoteHB = 1;  // 0 means none
  if (s_state.eDongleOpMode == DONGLE_OP_MODE_NOT_PRESENT) {
    s_state.eDongleOpMode = DONGLE_OP_MODE_IDLE;
    T_BTREMOTE_vHandleDongleConnected(DONGLE_OP_MODE_IDLE);
  }
  switch (pGeneric->eMsgtype) {
    case BLUETOOTH_TYPE_BUTTON: {
      const auto *pButton = static_cast<const MSG_BLUETOOTH_REMOTE_BUTTON *>(pvMsg);
      log_me("BTR T_BTREMOTE_vHandleRxMessage  BLUETOOTH_TYPE_BUTTON Key=%u  press=%u", pButton->eRemoteKey,
             static_cast<U32>(pButton->eRemoteKeyState));
      if (pButton->eRemoteKey < 1 || pButton->eRemoteKey > kButtonCount) break;
      const auto eKey = static_cast<REMOTE_KEY>(pButton->eRemoteKey - 1);
      if (pButton->eRemoteKeyState == REMOTE_KEY_PRESS) {
        buttonPress(eKey, pButton->u32Timestamp);
      } else {
        buttonRelease(eKey, pButton->u32Timestamp);
      }
      break;
    }
    case BLUETOOTH_TYPE_STATUS: {
      const auto *pStatus = static_cast<const MSG_BLUETOOTH_REMOTE_STATUS *>(pvMsg);
      log_me("BTR T_BTREMOTE_vHandleRxMessage     BLUETOOTH_TYPE_STATUS  eStatusType=%u",
             static_cast<U32>(pStatus->eStatusType));
      if (pStatus->eStatusType == REMOTE_STATUS_TYPE_OP_MODE) {
        const int nHigh = hexDigit(pStatus->au8Status[0]);
        const int nLow = hexDigit(pStatus->au8Status[1]);
        if (nHigh < 0 || nLow < 0) {
          log_me("BTR operating mode is not hexadecimal: %02x %02x", pStatus->au8Status[0], pStatus->au8Status[1]);
          break;
        }
        s_state.eDongleOpMode = static_cast<REMOTE_DONGLE_OP_MODE>(nHigh * 16 + nLow);
        T_BTREMOTE_vHandleDongleConnected(s_state.eDongleOpMode);
      }
      break;
    }
    case BLUETOOTH_TYPE_ACK:
      log_me("BTR T_BTREMOTE_vHandleRxMessage BLUETOOTH_TYPE_ACK cs=%d", pGeneric->u8Value);
      if (pGeneric->u8Value == s_state.u8LastMessageChecksum) {
        s_state.u8LastMessageChecksum = 0;
        s_state.u8LastValue = 0;
        s_state.eLastMsgType = BLUETOOTH_TYPE_NONE;
      }
      T_BTREMOTE_vCancelTimer(SEMA_TIMER_BT_ACK);
      break;
    case BLUETOOTH_TYPE_HB: {
      std::lock_guard<std::mutex> guard(s_lock);
      s_state.u32BatteryStatus = pGeneric->u8Value <= 100 ? pGeneric->u8Value : 100;
      log_me("BTR T_BTREMOTE_vHandleRxMessage BLUETOOTH_TYPE_HB battery=%d", pGeneric->u8Value);
      break;
    }
    case BLUETOOTH_TYPE_HELLO:
      log_me("BTR BTR T_BTREMOTE_vHandleRxMessage BLUETOOTH_TYPE_HELLO");
      if (s_state.pHbTimer == nullptr) {
        T_BTREMOTE_vStartTimer(SEMA_TIMER_BT_HB);
        T_BTREMOTE_vSetupAccessoryMenu(TRUE);
        s_state.eLastMsgType = BLUETOOTH_TYPE_STATUS;
        s_state.u8LastValue = REMOTE_STATUS_TYPE_OP_MODE;
        T_BTREMOTE_vSendGenericMessage();
      }
      break;
    case BLUETOOTH_TYPE_CHECKSUM:
      s_state.u8LastMessageChecksum = pGeneric->u8Value;
      log_me("BTR T_BTREMOTE_vHandleRxMessage BLUETOOTH_TYPE_CHECKSUM sent cs=%d", pGeneric->u8Value);
      T_BTREMOTE_vStartTimer(SEMA_TIMER_BT_ACK);
      break;
    default:
      break;
  }
}

void handleNewData(const MESSAGE_NEW_DATA *pMsg) {
  const FOURCHARID fcid = pMsg->FourCharId;
  // An autopilot item that timed out counts as 0.
  const U32 u32Value = pMsg->bValid || (fcid != FCID("YMSS") && fcid != FCID("SIUF")) ? pMsg->dbValue.u32Val : 0;
  switch (fcid) {
    case FCID("CVEW"):
      T_BTREMOTE_vClearDataBar();
      T_BTREMOTE_vClearVisualConfirmation();
      s_state.eCurrentView = static_cast<LAYER_ID>(pMsg->dbValue.s32Val);
      break;
    case FCID("SCSL"):
      log_me("BTR chart select changed to %u", u32Value);
      s_state.u32ChartSelect = u32Value;
      break;
    case FCID("CRXM"):
      s_state.bRadarTransmitting = u32Value != 0;
      break;
    case FCID("CRXT"):
      s_state.bRadarTimedTransmitting = u32Value != 0;
      break;
    case FCID("IPEN"):
      s_state.bSummitCardEnabled = u32Value != 0;
      if (s_state.bDongleConnectedMenuSetup) {
        T_BTREMOTE_vSetupChartDaravazosMenu(FALSE);
        T_BTREMOTE_vSetupChartDaravazosMenu(TRUE);
      }
      break;
    case FCID("YMSS"):
      if ((s_state.u32Deployed == 0 || u32Value == 0) && s_state.bDongleConnectedMenuSetup) {
        T_BTREMOTE_vSetupOptionsMenu(FALSE);
        T_BTREMOTE_vSetupOptionsMenu(TRUE);
      }
      s_state.u32Deployed = u32Value;
      break;
    case FCID("SIUF"):
      if (u32Value != 0 && !s_state.bVantrelEverConnected) {
        s_state.bVantrelEverConnected = TRUE;
        if (s_state.bDongleConnectedMenuSetup) {
          T_BTREMOTE_vSetupOptionsMenu(FALSE);
          T_BTREMOTE_vSetupOptionsMenu(TRUE);
        }
      }
      break;
    case FCID("CSD0"):
    case FCID("CSD1"):
      if (s_state.bDongleConnectedMenuSetup) {
        T_BTREMOTE_vSetupChartQuorvalentMenu(FALSE);
        T_BTREMOTE_vSetupChartQuorvalentMenu(TRUE);
      }
      break;
    default:
      BTREMOTE_vApplyKeyOption(fcid, u32Value);
      break;
  }
}

void handleUnitKey(const MSG_KEY_CHANGE *pMsg) {
  if (s_state.bDataBarDisplayOn) T_BTREMOTE_vClearDataBar();
  if (pMsg->key == KEY_BIT_EXIT && s_state.bSyncMessage) {
    U_VIEW_bUnRegisterLayer(INFO_BT_CONF_LAYER);
    T_BTREMOTE_vKeyRegister(FALSE);
    s_state.bSyncMessage = FALSE;
  }
}

}  // namespace

BTREMOTE_STATE &BTREMOTE_state(void) { return s_state; }
std::mutex &BTREMOTE_lock(void) { return s_lock; }

void BTREMOTE_vPostKey(MBOX mbox, U32 u32Key, KEY_STATE eState, CURSOR_POSITION eCursor) {
  auto *pMsg = static_cast<MSG_KEY_CHANGE *>(H_MEMORY_pvMallocNoWait(sizeof(MSG_KEY_CHANGE)));
  if (pMsg == nullptr) return;
  std::memset(static_cast<void *>(pMsg), 0, sizeof *pMsg);
  pMsg->header.Cmd = CMD_ID_KEY_CHANGE;
  pMsg->key = u32Key;
  pMsg->state = eState;
  pMsg->count = 1;
  pMsg->cursor = eCursor;
  L_MBOX_Send(mbox, pMsg, NORMAL_PRIORITY, 0);
}

void T_BTREMOTE_vSendGenericMessage(void) {
  auto *pMsg =
      static_cast<MSG_BLUETOOTH_REMOTE_GENERIC *>(H_MEMORY_pvMallocNoWait(sizeof(MSG_BLUETOOTH_REMOTE_GENERIC)));
  if (pMsg == nullptr) return;
  std::memset(static_cast<void *>(pMsg), 0, sizeof *pMsg);
  pMsg->header.Cmd = CMD_ID_BLUETOOTH_REMOTE_TX;
  pMsg->eMsgtype = s_state.eLastMsgType;
  pMsg->u8Value = s_state.u8LastValue;
  L_MBOX_Send(M_NMEA, pMsg, NORMAL_PRIORITY, 0);
}

void T_BTREMOTE_vStartTimer(int nSema) {
  TIMER_INFO **ppTimer = timerOf(nSema);
  if (ppTimer == nullptr) return;
  U32 u32Start = 0, u32Repeat = 0;
  const char *pcFatal = nullptr;
  switch (nSema) {
    case SEMA_TIMER_BT_BUTTON:
      if (*ppTimer != nullptr) return;
      log_me("BTR T_BTREMOTE_vStartTimer Start Button Timer");
      u32Start = REMOTE_BUTTON_HOLD_MS;
      pcFatal = "T_BTREMOTE_vStartTimer Button Timer - Out of timers";
      break;
    case SEMA_TIMER_BT_ACK:
      if (*ppTimer != nullptr) return;
      u32Start = REMOTE_ACK_MS;
      pcFatal = "T_BTREMOTE_vStartTimer ACK Timer - Out of timers";
      break;
    case SEMA_TIMER_BT_HB:
      if (*ppTimer != nullptr) return;
      u32Start = u32Repeat = REMOTE_HEARTBEAT_MS;
      pcFatal = "T_BTREMOTE_vStartTimer Heartbeat Timer - Out of timers";
      break;
    default:  // the confirmation timer restarts when running
      u32Start = REMOTE_CONFIRMATION_MS;
      pcFatal = "T_BTREMOTE_vStartTimer Confirmation Timer - Out of timers";
      break;
  }
  L_SEMA_SetPending(nSema);  // an expiry of the timer's previous run must not count for this one
  *ppTimer = L_TIMER_Start(*ppTimer, u32Start, u32Repeat, nSema);
  if (*ppTimer == nullptr) {
    ERROR_error(__FILE__, __LINE__, pcFatal);
    U_RESET_vReset();
  }
}

void T_BTREMOTE_vCancelTimer(int nSema) {
  TIMER_INFO **ppTimer = timerOf(nSema);
  if (ppTimer == nullptr || *ppTimer == nullptr) return;
  L_TIMER_Stop(*ppTimer);
  L_TIMER_Release(*ppTimer);
  *ppTimer = nullptr;
  L_SEMA_SetPending(nSema);
}

void T_BTREMOTE_vHandleDongleConnected(REMOTE_DONGLE_OP_MODE eDongleMode) {
  log_me("BTR T_BTREMOTE_vHandleDongleConnected eDongleMode=%d", static_cast<int>(eDongleMode));
  if (eDongleMode == DONGLE_OP_MODE_NORMAL) {
    writeFlag(FCID("IBTR"), 1);
    U_VIEW_bUnRegisterLayer(INFO_BT_CONF_LAYER);
    if (s_state.bSyncMessage) T_BTREMOTE_vKeyRegister(FALSE);
    s_state.bSyncMessage = FALSE;
  } else {
    writeFlag(FCID("IBTR"), 0);
  }
  writeFlag(FCID("IBTD"), 1);
  if (s_state.pHbTimer == nullptr) {
    T_BTREMOTE_vStartTimer(SEMA_TIMER_BT_HB);
    T_BTREMOTE_vSetupAccessoryMenu(TRUE);
    s_state.eLastMsgType = BLUETOOTH_TYPE_STATUS;
    s_state.u8LastValue = REMOTE_STATUS_TYPE_OP_MODE;
    T_BTREMOTE_vSendGenericMessage();
  }
  s_state.bDoubleKeyPress = FALSE;
}

void T_BTREMOTE_vInit(void) {
  if (H_DATABASE_bUpdateEverythingU32(FCID("TBTR"), M_BT_REMOTE, P_NORMAL, D_MAILBOX, nullptr, DB_NO_TIMEOUT)) {
    ERROR_error(__FILE__, __LINE__, "Somebody else registered the Bluetooth Remote Task Maibox");
    U_RESET_vReset();
  }
  for (FOURCHARID fcid : kWatched) H_DATABASE_bRegisterForDataWithConditions(fcid, M_BT_REMOTE, TRUE, FALSE, FALSE);
  // Autopilot items come and go with the link: their invalidation is news too.
  H_DATABASE_bRegisterForDataWithConditions(FCID("YMSS"), M_BT_REMOTE, TRUE, TRUE, FALSE);
  H_DATABASE_bRegisterForDataWithConditions(FCID("SIUF"), M_BT_REMOTE, TRUE, TRUE, FALSE);
  T_BTREMOTE_vSetDefaults(FALSE);
}

void T_BTREMOTE_vHandleMessage(void *pvMsg) {
  if (pvMsg == nullptr) return;
  switch (static_cast<const GENERIC_MESSAGE *>(pvMsg)->Cmd) {
    case CMD_ID_SHUTDOWN:
      T_BTREMOTE_vCancelTimer(SEMA_TIMER_BT_BUTTON);
      T_BTREMOTE_vCancelTimer(SEMA_TIMER_BT_ACK);
      T_BTREMOTE_vCancelTimer(SEMA_TIMER_BT_HB);
      break;
    case CMD_ID_RESET_POS:
      T_BTREMOTE_vSetDefaults(TRUE);
      break;
    case CMD_ID_RUN_SYSTEM:
      H_DATABASE_bFetchU32(FCID("CCST"), &s_state.u32SystemState, nullptr, nullptr);
      break;
    case CMD_ID_KEY_CHANGE:
      handleUnitKey(static_cast<const MSG_KEY_CHANGE *>(pvMsg));
      break;
    case CMD_ID_NEW_DATA:
      handleNewData(static_cast<const MESSAGE_NEW_DATA *>(pvMsg));
      break;
    case CMD_ID_BLUETOOTH_REMOTE_RX:
      handleRx(pvMsg);
      break;
    default:
      break;
  }
  H_MEMORY_vDumpMail(pvMsg);
}

void T_BTREMOTE_vHandleTimer(SEMA sema) {
  switch (sema) {
    case SEMA_TIMER_BT_BUTTON:
      T_BTREMOTE_vCancelTimer(SEMA_TIMER_BT_BUTTON);
      if (s_state.eKey != REMOTE_KEY_NONE && s_state.eKey != REMOTE_KEY_WAITING_FOR_RELEASE) {
        if (!s_state.bLastKeyPressAndHold) T_BTREMOTE_vClearVisualConfirmation();
        s_state.bLastKeyPressAndHold = TRUE;
        log_me("BTR T_BTREMOTE_vHandleButtonTimer()  Key %d Press&Hold", static_cast<int>(s_state.eKey));
        handleHoldAction(s_state.eKey);
        s_state.eKey = REMOTE_KEY_WAITING_FOR_RELEASE;
      }
      break;
    case SEMA_TIMER_BT_ACK:
      T_BTREMOTE_vCancelTimer(SEMA_TIMER_BT_ACK);
      log_me("T_BTREMOTE_vHandleAckTimer");
      s_state.u8LastMessageChecksum = 0;
      T_BTREMOTE_vSendGenericMessage();
      break;
    case SEMA_TIMER_BT_HB:
      if (s_state.u32LastBluetoothRemoteHB != 0 &&
          nowSeconds() - s_state.u32LastBluetoothRemoteHB >= REMOTE_LOST_SECONDS) {
        writeFlag(FCID("IBTR"), 0);
        writeFlag(FCID("IBTD"), 0);
        s_state.u32LastBluetoothRemoteHB = 0;
      }
      break;
    case SEMA_TIMER_BT_CONF:
      T_BTREMOTE_vCancelTimer(SEMA_TIMER_BT_CONF);
      T_BTREMOTE_vClearVisualConfirmation();
      break;
    default:
      break;
  }
}

void T_BTREMOTE_vMain(void) {
  T_BTREMOTE_vInit();
  log_me("Bluetooth remote task running");
  static const SEMA kWaitList[] = {SEMA_MBOX_BTREMOTE, SEMA_TIMER_BT_BUTTON, SEMA_TIMER_BT_ACK, SEMA_TIMER_BT_HB,
                                   SEMA_TIMER_BT_CONF, 0};
  for (;;) {
    const ERC fired = L_SEMA_WaitMultiple(kWaitList);
    if (fired == SEMA_MBOX_BTREMOTE) {
      while (void *pvMsg = L_MBOX_Receive(M_BT_REMOTE)) T_BTREMOTE_vHandleMessage(pvMsg);
    } else if (fired > 0) {
      T_BTREMOTE_vHandleTimer(fired);
    }
  }
}

void T_BTREMOTE_vResetForTest(void) {
  for (int nSema : {SEMA_TIMER_BT_BUTTON, SEMA_TIMER_BT_ACK, SEMA_TIMER_BT_HB, SEMA_TIMER_BT_CONF}) {
    T_BTREMOTE_vCancelTimer(nSema);
  }
  if (s_state.pMessageBox != nullptr) H_MEMORY_vFree(s_state.pMessageBox);
  std::lock_guard<std::mutex> guard(s_lock);
  resetState();
}
