// The alarm task (task 20, mailbox 20 'TALR'): one alarm per kind, the most important shown and sounded,
// acknowledged by key or by another unit on the network; and the count-down timer that raises kind 70.
// Other tasks raise and withdraw alarms by posting the messages below to the mailbox under 'TALR'.
#pragma once
#include "view/view.h"
#include "kernel/mbox.h"
#include "net/gmsg_standin.h"
#include "ui/keys/tone.h"

struct tag_ICON;

// The kind of an alarm is also its rank: a lower number is more important.
enum ALARM_PRIORITY : S32 {
  MOST_SERIOUS_ALARM = 0,
  HARDWARE_FAULT_ALARM = 1,
  SOFTWARE_FAULT_ALARM = 2,
  DEPTH_ALARM = 3,
  REMOTE_DEPTH_ALARM = 4,
  LOW_BATTERY_ALARM = 5,
  SHALLOW_WATER_DEPTH_ALARM = 6,
  DEEP_WATER_DEPTH_ALARM = 7,
  SHALLOW_WATER_DEPTH2_ALARM = 8,
  DEEP_WATER_DEPTH2_ALARM = 9,
  DOWNRIGGER_DEPTH_ALARM = 10,
  FTC_MINDEPTH_ALARM = 11,
  STARTUP_UI_ALARM = 12,
  DHCP_ERROR_ALARM = 13,
  IP_ADDRESS_CONFLICT_ALARM = 14,
  MAC_ADDRESS_CONFLICT_ALARM = 15,
  IP_SETUP_ERROR_ALARM = 16,
  ETHERNET_CONNECTION_FAULT_ALARM = 17,
  FATAL_ETHERNET_ERROR_ALARM = 18,
  NAV_OFF_COURSE_ALARM = 19,
  NAV_VN_OFFCOURSE_ALARM = 20,
  NAV_PAST_WAYPOINT_ALARM = 21,
  NAV_ARRIVAL_ALARM = 22,
  NAV_VN_ARRIVAL_ALARM = 23,
  NAV_DRIFT_ALARM = 24,
  NAV_UI_ALARM = 25,
  GATEWAY_UI_ALARM = 26,
  DATASOURCE_ALARM_ENGINE = 27,
  DATASOURCE_ALARM_TANK = 28,
  DATASOURCE_ALARM_SPEED = 29,
  DATASOURCE_ALARM_DEPTH = 30,
  DATASOURCE_ALARM_ATTITUDE = 31,
  DATASOURCE_ALARM_HEADING = 32,
  DATASOURCE_ALARM_TEMP_AIR = 33,
  DATASOURCE_ALARM_TEMP_WATER = 34,
  DATASOURCE_ALARM_HUMIDITY = 35,
  DATASOURCE_ALARM_PRESSURE = 36,
  DATASOURCE_ALARM_WIND = 37,
  DATASOURCE_ALARM_ENGINE2 = 38,
  DATASOURCE_ALARM_TANK2 = 39,
  AIS_CPA_ALARM = 40,
  SEA_TEMPERATURE_HIGH_ALARM = 41,
  SEA_TEMPERATURE_LOW_ALARM = 42,
  AIR_TEMPERATURE_HIGH_ALARM = 43,
  AIR_TEMPERATURE_LOW_ALARM = 44,
  BAROMETER_FAILURE_ALARM = 45,
  ATMOSPHERIC_PRESSURE_RISING_ALARM = 46,
  ATMOSPHERIC_PRESSURE_FALLING_ALARM = 47,
  TOTAL_FUEL_ALARM = 48,
  CHECK_ENGINE_ALARM = 49,
  ENGINE_OVER_TEMP_ALARM = 50,
  ENGINE_LOW_OIL_PRESSURE_ALARM = 51,
  ENGINE_LOW_OIL_VALUE_ALARM = 52,
  ENGINE_LOW_FUEL_PRESSURE_ALARM = 53,
  ENGINE_LOW_SYSTEM_VOLTAGE_ALARM = 54,
  ENGINE_LOW_COOLANT_LEVEL_ALARM = 55,
  ENGINE_WATER_FLOW_ALARM = 56,
  ENGINE_CHARGE_INDICATOR_ALARM = 57,
  WEATHER_LINK_ALARM_HARDWARE_FAILURE = 58,
  WEATHER_LINK_ALARM_CHECK_ANTENNA = 59,
  WEATHER_LINK_ALARM_NVN_CLEAR_SUCCESS = 60,
  WEATHER_LINK_ALARM_NVN_CLEAR_FAILURE = 61,
  BAROMETER_BATTERY_LOW_ALARM = 62,
  AUX_WATER_TEMPERATURE_ALARM = 63,
  WATER_TEMPERATURE_ALARM = 64,
  REMOTE_AUX_WATER_TEMPERATURE_ALARM = 65,
  REMOTE_WATER_TEMPERATURE_ALARM = 66,
  HEADING_LOST_ALARM = 67,
  WATER_TEMP_LOST = 68,
  ACCESSORY_LOST_ALARM = 69,
  TIMER_ALARM = 70,
  VOLTAGE_LOW_WARNING = 71,
  VOLTAGE_HIGH_WARNING = 72,
  LEAST_IMPORTANT_ALARM = 73,
  NUMBER_OF_SUPPORTED_ALARMS = 74,
};

// Raise an alarm: CMD_ID_SET_ALARM (plain) or CMD_ID_SET_EXT_ALARM (two choices). Allocated by the sender
// with H_MEMORY_pvMalloc and posted at priority 3 without acknowledgement; the alarm task keeps it while the
// alarm lives. Fields a sender does not use are zero.
typedef struct {
  GENERIC_MESSAGE header;
  ALARM_PRIORITY Priority;
  BOOLEAN bExtended;  // set by the alarm task from the command
  const struct tag_ICON *pLeftIcon;
  const struct tag_ICON *pRightIcon;
  const char *pMessageString;  // in the current language; NULL: sounded but not drawn
  const char *pLeftChoice;
  const char *pRightChoice;
  void (*pFunctionCbLeftKeyAction)(void);
  void (*pFunctionCbRightKeyAction)(void);
  TONE_SEQUENCE InitialToneID;
  const TONE_BURST *pInitialCustomTone;
  TONE_SEQUENCE ReminderToneID;
  const TONE_BURST *pReminderCustomTone;
  void (*pFunctionAlarmCancel)(void);
} ALARM_SET_MESSAGE;

// Withdraw an alarm: CMD_ID_CLEAR_ALARM.
typedef struct {
  GENERIC_MESSAGE header;
  ALARM_PRIORITY Priority;
} ALARM_CLEAR_MESSAGE;

// Between units: only { 0, kind } ("acknowledged or cleared here") is ever sent or acted on.
typedef struct {
  U32 activate;
  U32 priority;
} NETWORK_ALARM_MESSAGE;

constexpr GMSG_ID_TYPE GMSG_ID_ALARM_RECEIVE_DATA = 0x190001;
constexpr U16 ALARM_NETWORK_PORT = 50752;
extern const G_DATA_TYPE DT_NETWORK_ALARM_MESSAGE;

// CMD_ID_ALARM_ADD_PEER.
typedef struct {
  GENERIC_MESSAGE header;
  BOOLEAN bAdd;
  GMSG_ADDRESS gmsgAddress;
} ALARM_NETWORK_PEER_ADD_MSG;

// Clients: start or stop forwarding acknowledged alarms to a unit; FALSE only when nothing could be posted.
BOOLEAN U_ALARM_bAddPeer(const GMSG_ADDRESS *pPeerAddress);
BOOLEAN U_ALARM_bRemovePeer(const GMSG_ADDRESS *pPeerAddress);

// The task.
void T_ALARM_vMain(void);
BOOLEAN T_ALARM_bHandleDataRecieve(MBOX Mailbox, GMSG_INFO *pMsgInfo, void *pvParam1, void *pvParam2);
void T_ALARM_vRegisterMenu(void);
void T_ALARM_vSetDefaultSettings(void);
void T_ALARM_vHandleClearAllAlarms(void);

// The count-down timer. Menu actions (menu task):
void T_ALARM_vInitTimer(void);
void T_ALARM_vStartTimer(void);
void T_ALARM_vClearTimer(void);
// Once a second, from the info task.
void T_ALARM_vCheckTimer(void);
// Raises (TRUE) or clears (FALSE) the timer's alarm through the alarm task's mailbox.
void T_ALARM_vPostTimerAlarm(BOOLEAN bAlarmState);
// Draw functions of the timer editor and of the "Timer Alarm" box.
void T_ALARM_vDrawTimer(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER psWindowSpec);
void T_ALARM_vDrawTimerWarning(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER psWindowSpec);
