// Mailboxes: messages ordered by priority (first in, first out among equals), the message header and
// the system-wide command numbers.
#pragma once
#include "kernel/kernel_defs.h"

// Message priorities: a smaller number is served first.
enum : PRIORITY {
  EXTREMELY_HIGH_PRIORITY = 1,
  HIGH_PRIORITY = 2,
  NORMAL_PRIORITY = 3,
  DATABASE_PRIORITY = 3,
  SHUTDOWN_PRIORITY = 3,
  LOW_PRIORITY = 4,
  EXTREMELY_LOW_PRIORITY = 5,
};

// The header of every message; filled in by the send.
struct MsgHeader {
  struct MsgHeader *MsgNext; // chain inside a mailbox
  SEMA sema;                 // acknowledgement semaphore, 0 for none
  PRIORITY MsgPriority;
  U8 u8Acked;                // set by the acknowledgement of this very message (one acknowledgement per wait)
  TASK task;                 // the sender
};
typedef struct MsgHeader MSGHEADER;
typedef struct MsgHeader RTXCMSG;

// Command numbers between tasks.
enum CMD_ID : S32 {
  CMD_ID_INVALID_ID = 0,
  CMD_ID_SHUTDOWN = 1,
  CMD_ID_NEW_DATA = 2,
  CMD_ID_RESET_POS = 3,
  CMD_ID_SONAR_PROCESS_PING = 4,
  CMD_ID_SONAR_PROCESS_TRIPLE_PING = 5,
  CMD_ID_BLANK_SCROLL_PING = 6,
  CMD_ID_REVERSE_SCROLL_PING = 7,
  CMD_ID_NEW_PLAYBACK_STATE = 8,
  CMD_ID_DISPLAY_SCREEN = 9,
  CMD_ID_SET_COLOR_PALETTE = 10,
  CMD_ID_TRIGGER_SCREEN_DUMP = 11,
  CMD_ID_START_VIDEO_OUT_CHECK = 12,
  CMD_ID_REGISTER_LAYER = 13,
  CMD_ID_UNREGISTER_LAYER = 14,
  CMD_ID_PING_UPDATE = 15,
  CMD_ID_PING_START = 16,
  CMD_ID_REGISTER_MENU_TAB = 17,
  CMD_ID_REGISTER_MENU_ITEM = 18,
  CMD_ID_REGISTER_SUB_MENU = 19,
  CMD_ID_REGISTER_HOT_MENU = 20,
  CMD_ID_REGISTER_INFO_MENU = 21,
  CMD_ID_REGISTER_FLOATING_MENU = 22,
  CMD_ID_UNREGISTER_FLOATING_MENU = 23,
  CMD_ID_REGISTER_FLOATING_MENU_ITEM = 24,
  CMD_ID_ACTIVATE_FLOATING_MENU = 25,
  CMD_ID_UNREGISTER_SINGLE_CENTERED_MENU = 26,
  CMD_ID_REGISTER_SINGLE_CENTERED_MENU_ITEM = 27,
  CMD_ID_ACTIVATE_SINGLE_CENTERED_MENU = 28,
  CMD_ID_UNREGISTER_MENU_TAB = 29,
  CMD_ID_UNREGISTER_MENU_ITEM = 30,
  CMD_ID_ACTIVATE_INFO_MENU = 31,
  CMD_ID_CLEAR_MENU = 32,
  CMD_ID_HIDE_MENU = 33,
  CMD_ID_RESTORE_MENU = 34,
  CMD_ID_REGISTER_FOR_KEYS = 35,
  CMD_ID_UNREGISTER_FOR_KEYS = 36,
  CMD_ID_KEY_CHANGE = 37,
  CMD_ID_INITIATE_SHUTDOWN = 38,
  CMD_ID_RUN_SYSTEM = 39,
  CMD_ID_WRITE_TO_HEADER = 40,
  CMD_ID_WRITE_TO_NVR = 41,
  CMD_ID_SCRATCH_NVR = 42,
  CMD_ID_READ_SONAR_DATA = 43,
  CMD_ID_WRITE_SONAR_DATA = 44,
  CMD_ID_READ_NMEA2K_DATA = 45,
  CMD_ID_WRITE_NMEA2K_DATA = 46,
  CMD_ID_READ_PERSONALIZED = 47,
  CMD_ID_WRITE_PERSONALIZED = 48,
  CMD_ID_PLAY_TONE = 49,
  CMD_ID_CHANGE_BAUD_RATE = 50,
  CMD_ID_DISCONNECT = 51,
  CMD_ID_CAPTURE_CHANNEL = 52,
  CMD_ID_USER_TEST = 53,
  CMD_ID_UNIT_FOUND = 54,
  CMD_ID_ATTENTION = 55,
  CMD_ID_UNIT_RESET = 56,
  CMD_ID_SEND_2_ACCESSORY = 57,
  CMD_ID_SET_ALARM = 58,
  CMD_ID_SET_EXT_ALARM = 59,
  CMD_ID_CLEAR_ALARM = 60,
  CMD_ID_MMC_CHANGE_STATE = 61,
  CMD_ID_EXPORT_NAV_DATA = 62,
  CMD_ID_SCREEN_DUMP = 63,
  CMD_ID_LOAD_BMP = 64,
  CMD_ID_DELETE_IMAGE = 65,
  CMD_ID_LOAD_THUMBNAIL = 66,
  CMD_ID_LOAD_RECORDING = 67,
  CMD_ID_LOAD_SATWEATHER_IMAGE = 68,
  CMD_ID_LOAD_TORVALIN_IMAGE = 69,
  CMD_ID_EXPORT_SELECTED_NAV_DATA = 70,
  CMD_ID_CHART_INFO_MENU = 71,
  CMD_ID_CHART_INFO_REQUEST = 72,
  CMD_ID_CHART_WAKE_UP = 73,
  CMD_ID_PORT_INFO_MENU = 74,
  CMD_ID_NMEA_TOGGLE_ECHO = 75,
  CMD_ID_NETWORK_NMEA_MESSAGE = 76,
  CMD_ID_NMEA2K_MESSAGE = 77,
  CMD_ID_NMEA_GPS_DETECT = 78,
  CMD_ID_NMEA_GPS_RATE = 79,
  CMD_ID_NMEA_GPS_RESET = 80,
  CMD_ID_COMPASS_HDG_RATE = 81,
  CMD_ID_COMPASS_BAUD_RATE = 82,
  CMD_ID_COMPASS_PNR_RATE = 83,
  CMD_ID_COMPASS_TEST_CMD = 84,
  CMD_ID_COMPASS_MODE_CMD = 85,
  CMD_ID_BATHYMETRY_WRITE_PING_DATA = 86,
  CMD_ID_HTML_LOAD_URL = 87,
  CMD_ID_GATEWAY_DATA = 88,
  CMD_ID_NAV_BULK_TRANSFER = 89,
  CMD_ID_NAV_VANTREL = 90,
  CMD_ID_REGISTER_SOUND = 91,
  CMD_ID_PLAY_SOUND = 92,
  CMD_ID_ETHERNET_EVENT = 93,
  CMD_ID_SAVE_IP_SETUP = 94,
  CMD_ID_FREEZE_3D_LAYER = 95,
  CMD_ID_SATWEATHER_INFO_MENU = 96,
  CMD_ID_SATWEATHER_INFO_MENU_RESPONSE = 97,
  CMD_ID_SATWEATHER_PLACE_DATA = 98,
  CMD_ID_SATWEATHER_INFO_REQUEST = 99,
  CMD_ID_SATWEATHER_INFO_RESPONSE = 100,
  CMD_ID_SATWEATHER_OVERLAY_NEW_DATA = 101,
  CMD_ID_SATWEATHER_OVERLAY_NEW_DATA_REQUEST = 102,
  CMD_ID_SATWEATHER_OVERLAY_DATA_REQUEST = 103,
  CMD_ID_SATALERT_MSG = 104,
  CMD_ID_SATWEATHER_WARNING_ALERT = 105,
  CMD_ID_SATWEATHER_DATA_REQUEST = 106,
  CMD_ID_SATWEATHER_OVERLAY_TILE_RESPONSE = 107,
  CMD_ID_SATWEATHER_DIAGNOSTIC_DEBUG = 108,
  CMD_ID_SATWEATHER_DIAGNOSTIC_CLEAR_NVM = 109,
  CMD_ID_XID_READ_VERSION = 110,
  CMD_ID_XID_READ_BLOCK = 111,
  CMD_ID_XID_READ_TEMP = 112,
  CMD_ID_GMSG_REGISTER = 113,
  CMD_ID_GMSG_UNREGISTER = 114,
  CMD_ID_GMSG_NEW_MESSAGE = 115,
  CMD_ID_GMSG_NEW_MESSAGE_EXT = 116,
  CMD_ID_GMSG_RECEIVE = 117,
  CMD_ID_GMSG_SEND = 118,
  CMD_ID_GMSG_DISCONNECT = 119,
  CMD_ID_NETWORK_SERVER_CONNECT_MESSAGE = 120,
  CMD_ID_NETWORK_SERVER_CONNECTION_LOST_MESSAGE = 121,
  CMD_ID_NETWORK_REGISTER_4DATA = 122,
  CMD_ID_ALARM_ADD_PEER = 123,
  CMD_ID_SERVER_MONITOR_TIMEOUT = 124,
  CMD_ID_NETWORK_SERVER_CONNECTION_SUCCESS_MESSAGE = 125,
  CMD_ID_CLIENT_MONITOR_TIMEOUT = 126,
  CMD_ID_SUDP_OUT_SEND = 127,
  CMD_ID_SUDP_IN_REGISTER = 128,
  CMD_ID_SUDP_IN_RECEIVE = 129,
  CMD_ID_SUDP_IN_MULTICAST_RESET = 130,
  CMD_ID_RADAR_DATA = 131,
  CMD_ID_SECTOR_BLANK_DATA = 132,
  CMD_ID_RADAR_SETTING_CHANGE = 133,
  CMD_ID_SEND_PING_DESCRIPTOR = 134,
  CMD_ID_SET_VIEW = 135,
  CMD_ID_VANTREL = 136,
  CMD_ID_VANTREL_SCREENSHOT = 137,
  CMD_ID_BLUETOOTH_REMOTE_RX = 138,
  CMD_ID_BLUETOOTH_REMOTE_TX = 139,
  CMD_ID_ACTIVATE_HOT_MENU = 140,
};

typedef struct {
  RTXCMSG msghdr;
  CMD_ID Cmd;
} GENERIC_MESSAGE;

// Command 88 to the gateway task: one data record; gwdata is a heap block the receiver frees with the message.
typedef struct {
  GENERIC_MESSAGE header;
  U32 datatype;
  U32 datasrc;
  U32 completioncode;
  void *gwdata;
} GATEWAY_DATA_MESSAGE;

// 0; -28 for a mailbox outside 1..71.
ERC L_MBOX_Send(MBOX mbox, void *pvMsg, PRIORITY priority, SEMA sema);
// Send and wait for the acknowledgement of this message; a late acknowledgement of an earlier message on the
// same semaphore does not end the wait. The send's error, else the wait's result (0, -1 for the timed forms).
ERC L_MBOX_SendWait(MBOX mbox, void *pvMsg, PRIORITY priority, SEMA sema);
ERC L_MBOX_SendWaitTicks(MBOX mbox, void *pvMsg, PRIORITY priority, SEMA sema, TICKS ticks);
ERC L_MBOX_SendWaitSeconds(MBOX mbox, void *pvMsg, PRIORITY priority, SEMA sema, U32 seconds);
// The first message or NULL; never blocks.
void *L_MBOX_Receive(MBOX mbox);
void *L_MBOX_ReceiveWait(MBOX mbox);
void *L_MBOX_ReceiveWaitTicks(MBOX mbox, TICKS ticks);
void *L_MBOX_ReceiveWaitSeconds(MBOX mbox, U32 seconds);
// 0; -28 bad mailbox; -2 semaphore outside 0..280.
ERC L_MBOX_DefineSema(MBOX mbox, SEMA sema);
// Offers every message still queued in the mailbox, in queue order and under its lock, to pfnUpdate until one
// returns true (it may change that message in place; it must not call the mailbox service). True when one did.
bool L_MBOX_bUpdateQueued(MBOX mbox, bool (*pfnUpdate)(void *pvMsg, void *pvArg), void *pvArg);
// Messages queued in the mailbox.
U32 L_MBOX_u32Count(MBOX mbox);
// Marks the message acknowledged and signals its semaphore; the signal's result.
ERC L_MBOX_AckMessage(void *pvMsg);
void L_MBOX_Debug(void);
