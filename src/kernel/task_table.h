// The task table: number, name, entry, priority and stack of every task, and the start flags.
#pragma once
#include "kernel/kernel_defs.h"

// Row n-1 describes task n.
extern const TASK_PARAM TaskParams[ntasks];
// Names by task number: 0 is "", 70 is "MAINTHREAD".
extern const char *const str_tasks[ntasks + 2];
// One flag per task (index n-1): a set flag makes every start of the task a no-op. Set only by the command line.
extern BYTE task_disabled[ntasks];

// The task's name; "INVALID" outside 0..70.
const char *get_task_name(TASK task);

// Entries of the tasks.
void rtxcbug(void);
void T_UART_vMain(void);
void T_DUMMY_vMain(void);
void T_DISPLAY_vMain(void);
void T_VIEW_vMain(void);
void T_VIEWKEY_vMain(void);
void T_ADC_vMain(void);
void T_KEYBOARD_vMain(void);
void T_SPEED_vMain(void);
void T_INFO_vMain(void);
void T_N_PROCESS_vMain(void);
void T_N_PING_vMain(void);
void T_CHART_vMain(void);
void T_NVRAM_vMain(void);
void T_MENU_vMain(void);
void T_NAV_vMain(void);
void T_STARTUP_vMain(void);
void T_TONE_vMain(void);
void T_NMEA_vMain(void);
void T_ALARM_vMain(void);
void T_PCC_vMain(void);
void T_BAROMETER_vMain(void);
void T_ACC_vMain(void);
void T_TEMP_vMain(void);
void T_BATTERY_vMain(void);
void T_INLINETEST_vMain(void);
void T_ACC_COMM_vMain(void);
void T_MMC_vMain(void);
void T_FENWISP_vMain(void);
void T_N_HISTORY_vMain(void);
void T_BUTTON_vMain(void);
void T_CHART_INFO_vMain(void);
void T_3D_HISTORY_vMain(void);
void T_3D_PROCESS_vMain(void);
void T_DEVELOPMENT_vMain(void);
void T_3D_HISTORY_RENDER_vMain(void);
void T_DOWNRIGGER_vMain(void);
void T_BATHYMETRY_vMain(void);
void T_CHART_3D_vMain(void);
void T_HTML_vMain(void);
void T_GATEWAY_vMain(void);
void T_GATEWAY_NAV_vMain(void);
void T_ETHERNET_vMain(void);
void T_SOUND_vMain(void);
void T_SATWEATHER_vMain(void);
void T_SATWEATHER_DATA_vMain(void);
void T_SLPD_vMain(void);
void T_SLPTEST_vMain(void);
void T_SOCKET_vMain(void);
void T_XDUCERID_vMain(void);
void T_GMSG_vMain(void);
void T_GMSG_vSocketMain(void);
void T_GMSG_vTestMain(void);
void T_SLP_CLIENT_vMain(void);
void T_SUDP_IN_vMain(void);
void T_SUDP_OUT_vMain(void);
void T_RADAR_vMain(void);
void T_RADAR_DATA_vMain(void);
void T_RADAR_SERVER_vMain(void);
void T_READ_RECORD_PINGDATA_vMain(void);
void T_RADAR_CLIENT_vMain(void);
void T_ETHBCAST_vMain(void);
void T_ETH_UPDATER_vMain(void);
void T_MSSCONTROL_vMain(void);
void T_MSS_UPDATER_vMain(void);
void T_MSSBCAST_vMain(void);
void T_NET_PING_RECEIVE_vMain(void);
void T_VANTREL_vMain(void);
void T_BTREMOTE_vMain(void);
