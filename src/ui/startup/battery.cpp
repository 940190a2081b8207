#include "ui/startup/battery.h"

#include <vector>

#include "settings/database.h"
#include "kernel/error.h"
#include "kernel/log.h"
#include "kernel/memory.h"
#include "kernel/reset.h"
#include "kernel/sema.h"
#include "kernel/tick.h"
#include "ui/info/alarm.h"
#include "ui/keys/keyboard.h"
#include "ui/menu/menu.h"

namespace {

constexpr FOURCHARID kAD05 = FCID("AD05"), kIVLT = FCID("IVLT"), kBVLT = FCID("BVLT"), kSLBV = FCID("SLBV"),
                     kTBAT = FCID("TBAT"), kTALR = FCID("TALR"), kTKBD = FCID("TKBD");
constexpr float kShutdownVolts = 8.0f;
constexpr float kHighVolts = 18.0f;
constexpr float kAlarmOff = 8.0f;

const ARRAY_OF_STRING_PTRS Voltage = SAME22("Voltage");
const ARRAY_OF_STRING_PTRS Low_Voltage = SAME22("Low Voltage");
const ARRAY_OF_STRING_PTRS Low_Battery_Alarm = SAME22("Low Battery Alarm");
const ARRAY_OF_STRING_PTRS Input_Voltage_High = SAME22("Input Voltage High");
const ARRAY_OF_STRING_PTRS Off_Text = SAME22("Off");
const ARRAY_OF_STRING_PTRS V_Text = SAME22("V");
const MENU_LIMITS alowBattLimits[1] = {{U_NONE, 8.0f, 13.5f, 0.5f}};

// Only the battery task touches these.
struct STATE {
  U32 s_u32AdcTimeOut = 0;
  U32 s_u32AlarmMailbox = 0;
  float s_fLowVoltageAlarmSetpoint = 0.0f;
  BOOLEAN s_bBatAlarmActive = FALSE;
  BOOLEAN s_bWaitingForShutdown = FALSE;
  U8 u8BattVoltShutdown = 0;
  BOOLEAN bBatHighWarningActive = FALSE;
};
STATE s;

void setAlarm(ALARM_PRIORITY ePriority, const ARRAY_OF_STRING_PTRS &text, TONE_SEQUENCE eTone) {
  auto *pMsg = static_cast<ALARM_SET_MESSAGE *>(H_MEMORY_pvCalloc(1, sizeof(ALARM_SET_MESSAGE)));
  pMsg->header.Cmd = CMD_ID_SET_ALARM;
  pMsg->Priority = ePriority;
  pMsg->pMessageString = text[nCurrentLanguage()];
  pMsg->InitialToneID = eTone;
  L_MBOX_Send(static_cast<MBOX>(s.s_u32AlarmMailbox), pMsg, NORMAL_PRIORITY, 0);
}

void clearAlarm(ALARM_PRIORITY ePriority) {
  auto *pMsg = static_cast<ALARM_CLEAR_MESSAGE *>(H_MEMORY_pvCalloc(1, sizeof(ALARM_CLEAR_MESSAGE)));
  pMsg->header.Cmd = CMD_ID_CLEAR_ALARM;
  pMsg->Priority = ePriority;
  L_MBOX_Send(static_cast<MBOX>(s.s_u32AlarmMailbox), pMsg, NORMAL_PRIORITY, 0);
}

void voltageLevelShutdown(void) {
  U32 u32Keyboard = 0;
  if (!H_DATABASE_bFetchU32(kTKBD, &u32Keyboard, nullptr, nullptr)) return;
  auto *pMsg = static_cast<MSG_SHUTDOWN *>(H_MEMORY_pvCalloc(1, sizeof(MSG_SHUTDOWN)));
  pMsg->Cmd = CMD_ID_SHUTDOWN;
  L_MBOX_Send(static_cast<MBOX>(u32Keyboard), pMsg, NORMAL_PRIORITY, 0);
  s.s_bWaitingForShutdown = TRUE;
}

void checkForBatteryAlarms(float fVolts, float fSetpoint) {
  if (fVolts < kShutdownVolts) {
    ++s.u8BattVoltShutdown;
    if (s.u8BattVoltShutdown >= 2) voltageLevelShutdown();
  } else {
    s.u8BattVoltShutdown = 0;
  }
  if (fVolts >= kHighVolts && !s.bBatHighWarningActive) {
    setAlarm(VOLTAGE_HIGH_WARNING, Input_Voltage_High, static_cast<TONE_SEQUENCE>(0));
    s.bBatHighWarningActive = TRUE;
  } else if (fVolts < kHighVolts && s.bBatHighWarningActive) {
    clearAlarm(VOLTAGE_HIGH_WARNING);
    s.bBatHighWarningActive = FALSE;
  }
  if (fSetpoint > kAlarmOff) {
    if (fVolts <= fSetpoint && !s.s_bBatAlarmActive) {
      setAlarm(LOW_BATTERY_ALARM, Low_Voltage, TONE_GENERAL_ALERT);
      s.s_bBatAlarmActive = TRUE;
    } else if (fVolts > fSetpoint) {
      s.s_bBatAlarmActive = FALSE;
    }
  }
}

void handleReading(const MESSAGE_NEW_DATA *pMsg) {
  if (!pMsg->bValid) {
    // The coprocessor transfers have stopped: the voltage is unknown until they resume, no reason to reset.
    log_me("BATTERY_VOLTAGE_ADC data lost");
    if (H_DATABASE_bFetch(kIVLT, nullptr, nullptr, nullptr)) {
      H_DATABASE_vRelinquishOwnership(kIVLT);  // watchers hear that it is no longer valid
      H_DATABASE_vDeleteEntry(kIVLT);          // readers find no value
    }
    return;
  }
  const float fVolts = T_BATTERY_fCalcVoltagefromRawAdcValue(pMsg->dbValue.u32Val);
  checkForBatteryAlarms(fVolts, s.s_fLowVoltageAlarmSetpoint);
  U32 u32TimeOut = 2 * s.s_u32AdcTimeOut;
  if (u32TimeOut == 0) u32TimeOut = 1;
  H_DATABASE_bUpdateEverythingFloat(kIVLT, fVolts, P_NORMAL, D_VOLTAGE, Voltage, u32TimeOut);
}

void handleSetpoint(const MESSAGE_NEW_DATA *pMsg) {
  s.s_fLowVoltageAlarmSetpoint = pMsg->dbValue.fVal;
  s.s_bBatAlarmActive = FALSE;
  if (s.s_fLowVoltageAlarmSetpoint <= kAlarmOff) clearAlarm(LOW_BATTERY_ALARM);
}

}  // namespace

float T_BATTERY_fCalcVoltagefromRawAdcValue(U32 u32Raw) {
  const U32 u32Temp = ((u32Raw >> 6) * 420 + 4398) / 100;
  return static_cast<float>(u32Temp) * 0.01f;
}

void T_BATTERY_vInit(void) {
  s.s_bWaitingForShutdown = FALSE;
  if (H_DATABASE_bUpdateEverythingU32(kTBAT, M_BATTERY, P_NORMAL, D_MAILBOX, nullptr, DB_NO_TIMEOUT)) {
    ERROR_error(__FILE__, __LINE__, "Somebody else registered the Battery Task Maibox");
    U_RESET_vReset();
  }
  H_DATABASE_bRegisterForDataWithConditions(kAD05, M_BATTERY, TRUE, TRUE, TRUE);
  // The first reading arrives as a notice: sleep on the mailbox until then (none comes while the sonar is idle,
  // or ever with no_adc). Mail that comes first waits, in order, until the task is set up.
  std::vector<void *> deferred;
  DB_ATTRIBUTES attributes{};
  while (!H_DATABASE_bFetch(kAD05, nullptr, nullptr, &attributes)) deferred.push_back(L_MBOX_ReceiveWait(M_BATTERY));
  s.s_u32AdcTimeOut = attributes.u32TimeOut;

  DB_DATA_TYPE setpoint{};
  setpoint.fVal = 8.0f;
  const DB_ATTRIBUTES setpointAttributes = {D_VOLTAGE, Low_Voltage, DB_NO_TIMEOUT};
  H_DATABASE_vReadOrSetDefault(kSLBV, &setpoint, P_NORMAL, &setpointAttributes);
  s.s_fLowVoltageAlarmSetpoint = setpoint.fVal;

  DB_DATA_TYPE slot{};
  slot.u32Val = kIVLT;
  const DB_ATTRIBUTES slotAttributes = {D_FCID, Voltage, DB_NO_TIMEOUT};
  H_DATABASE_vReadOrSetDefault(kBVLT, &slot, P_NORMAL, &slotAttributes);
  L_SEMA_Signal(SEMA_INFOBOX_UPDATE);

  H_DATABASE_bRegisterForDataWithConditions(kSLBV, M_BATTERY, TRUE, TRUE, TRUE);
  s.s_bBatAlarmActive = FALSE;
  while (!H_DATABASE_bFetchU32(kTALR, &s.s_u32AlarmMailbox, nullptr, nullptr)) L_CLOCK_Sleep(1);
  for (void *pvMsg : deferred) T_BATTERY_vHandleMessage(pvMsg);
}

void T_BATTERY_vHandleMessage(void *pvMsg) {
  auto *pHeader = static_cast<GENERIC_MESSAGE *>(pvMsg);
  if (!s.s_bWaitingForShutdown) {
    switch (pHeader->Cmd) {
      case CMD_ID_NEW_DATA: {
        auto *pMsg = static_cast<MESSAGE_NEW_DATA *>(pvMsg);
        if (pMsg->FourCharId == kAD05) handleReading(pMsg);
        if (pMsg->FourCharId == kSLBV) handleSetpoint(pMsg);
        break;
      }
      case CMD_ID_RESET_POS: H_DATABASE_bUpdateValueFloat(kSLBV, 8.0f, P_NORMAL); break;
      case CMD_ID_RUN_SYSTEM:
        U_MENU_bRegisterMainSliderMenu(&Low_Battery_Alarm, &Alarms, MENU_LOW_BATT_ALARM, kSLBV, alowBattLimits,
                                       &Off_Text, nullptr, &V_Text, M_BASIC);
        break;
      default: break;
    }
  }
  H_MEMORY_vDumpMail(pvMsg);
}

BOOLEAN T_BATTERY_bWaitingForShutdown(void) { return s.s_bWaitingForShutdown; }

void T_BATTERY_vMain(void) {
  T_BATTERY_vInit();
  static const SEMA kWaitList[] = {SEMA_MBOX_BATT, 0};
  while (!s.s_bWaitingForShutdown) {
    if (L_SEMA_WaitMultiple(kWaitList) != SEMA_MBOX_BATT) continue;
    while (void *pvMsg = L_MBOX_Receive(M_BATTERY)) T_BATTERY_vHandleMessage(pvMsg);
  }
  for (;;) H_MEMORY_vDumpMail(L_MBOX_ReceiveWait(M_BATTERY));
}

void T_ADC_vMain(void) {
  for (;;) H_MEMORY_vDumpMail(L_MBOX_ReceiveWait(M_ADC));
}

void T_BATTERY_vResetForTest(void) { s = STATE{}; }
