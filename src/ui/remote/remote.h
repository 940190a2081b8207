// The Bluetooth remote task (task 69, mailbox 71, 'TBTR'): what the remote's seven buttons do in the current
// view, the state of the receiver (present, paired, battery), retransmission of unacknowledged commands, the
// remote's settings menus, its confirmation box, the pairing screen and the full-screen data bar.
// The serial side belongs to the NMEA task: receiver traffic arrives as CMD_ID_BLUETOOTH_REMOTE_RX and commands
// leave as CMD_ID_BLUETOOTH_REMOTE_TX to mailbox 19.
#pragma once
#include "view/view.h"
#include "settings/database.h"
#include "settings/language.h"
#include "kernel/mbox.h"
#include "ui/keys/keyboard.h"

enum REMOTE_MSG_TYPE : U32 {
  BLUETOOTH_TYPE_NONE = 0,
  BLUETOOTH_TYPE_BUTTON = 1,
  BLUETOOTH_TYPE_STATUS = 2,
  BLUETOOTH_TYPE_ACK = 3,
  BLUETOOTH_TYPE_HB = 4,  // heartbeat with the battery level
  BLUETOOTH_TYPE_HELLO = 5,
  BLUETOOTH_TYPE_SET_MODE = 6,
  BLUETOOTH_TYPE_BAUDRATE = 7,
  BLUETOOTH_TYPE_POLLINGRATE = 8,
  BLUETOOTH_TYPE_CHECKSUM = 9,
};

enum REMOTE_STATUS_TYPE : U32 {
  REMOTE_STATUS_TYPE_NONE = 0,
  REMOTE_STATUS_TYPE_OP_MODE = 1,
  REMOTE_STATUS_TYPE_BATTERY = 2,
  REMOTE_STATUS_TYPE_ID_PAIRED = 3,
  REMOTE_STATUS_TYPE_DONGLE_VERSION = 4,
  REMOTE_STATUS_TYPE_REMOTE_VERSION = 5,
  REMOTE_STATUS_TYPE_DONGLE_SERIAL = 6,
  REMOTE_STATUS_TYPE_REMOTE_SERIAL = 7,
};

enum REMOTE_DONGLE_OP_MODE : S32 {
  DONGLE_OP_MODE_NOT_PRESENT = -1,
  DONGLE_OP_MODE_FACTORY = 0,
  DONGLE_OP_MODE_DEBUG = 1,
  DONGLE_OP_MODE_PAIRING = 2,
  DONGLE_OP_MODE_NOT_PAIRED = 3,
  DONGLE_OP_MODE_SCANNING = 4,
  DONGLE_OP_MODE_NORMAL = 5,
  DONGLE_OP_MODE_IDLE = 6,
};

enum REMOTE_KEY : S32 {
  REMOTE_KEY_NONE = -2,
  REMOTE_KEY_WAITING_FOR_RELEASE = -1,
  REMOTE_KEY_MARK = 0,
  REMOTE_KEY_MINUS = 1,
  REMOTE_KEY_PLUS = 2,
  REMOTE_KEY_MENU = 3,
  REMOTE_KEY_DATA_BOX = 4,
  REMOTE_KEY_VIEW1 = 5,
  REMOTE_KEY_VIEW2 = 6,
  REMOTE_KEY_COUNT = 7,
};

enum REMOTE_KEY_STATE : U32 { REMOTE_KEY_RELEASE = 0, REMOTE_KEY_PRESS = 1 };

// The remote's view classes: the rows of the key options.
enum REMOTE_KEY_VIEW : S32 {
  REMOTE_VIEW_INVALID = -1,
  REMOTE_VIEW_SONAR_2D = 0,
  REMOTE_VIEW_SONAR_ZP = 1,
  REMOTE_VIEW_SONAR_ZF = 2,
  REMOTE_VIEW_SONAR_360 = 3,
  REMOTE_VIEW_CHART_NAV = 4,
  REMOTE_VIEW_CHART_QUORVALENT = 5,
  REMOTE_VIEW_RADAR = 6,
  REMOTE_VIEW_COUNT = 7,
};

enum VISUAL_CONFIRMATION_TYPE : U32 { VISUAL_CONF_NONE = 0, VISUAL_CONF_MENU = 1, VISUAL_CONF_MESSAGEBOX = 2 };

// To the serial side (CMD_ID_BLUETOOTH_REMOTE_TX); the RX kinds without their own layout use it too.
typedef struct {
  GENERIC_MESSAGE header;
  REMOTE_MSG_TYPE eMsgtype;
  U8 u8Value;
} MSG_BLUETOOTH_REMOTE_GENERIC;

typedef struct {
  GENERIC_MESSAGE header;  // CMD_ID_BLUETOOTH_REMOTE_RX
  REMOTE_MSG_TYPE eMsgtype;  // BLUETOOTH_TYPE_BUTTON
  U32 eRemoteKey;            // 1 MARK ... 7 VIEW2
  REMOTE_KEY_STATE eRemoteKeyState;
  U32 u32Timestamp;  // milliseconds on the remote's clock
} MSG_BLUETOOTH_REMOTE_BUTTON;

typedef struct {
  GENERIC_MESSAGE header;  // CMD_ID_BLUETOOTH_REMOTE_RX
  REMOTE_MSG_TYPE eMsgtype;  // BLUETOOTH_TYPE_STATUS
  REMOTE_STATUS_TYPE eStatusType;
  U8 au8Status[8];  // operating mode: two hexadecimal digits, high first
} MSG_BLUETOOTH_REMOTE_STATUS;

typedef struct {
  U32 u32MenuPosition;  // the option the item selects
  FOURCHARID fcid;      // the option's settings key
  BOOLEAN bIsSelected;
} REMOTE_MENU_MAP;

enum : U32 {
  BT_MENU_COUNT = 61,
  REMOTE_ACTION_COLUMNS = 14,  // short presses of the seven keys, then presses and holds
  REMOTE_BUTTON_HOLD_MS = 1000,
  REMOTE_ACK_MS = 1000,
  REMOTE_HEARTBEAT_MS = 15000,
  REMOTE_LOST_SECONDS = 46,
  REMOTE_CONFIRMATION_MS = 2000,
};

// The task.
void T_BTREMOTE_vMain(void);
// The parts of the task's loop (the entry and the tests use them): start-up without the wait, one message of
// mailbox 71 (released here), one fired timer semaphore.
void T_BTREMOTE_vInit(void);
void T_BTREMOTE_vHandleMessage(void *pvMsg);
void T_BTREMOTE_vHandleTimer(SEMA sema);

void T_BTREMOTE_vSendGenericMessage(void);
void T_BTREMOTE_vStartTimer(int nSema);
void T_BTREMOTE_vCancelTimer(int nSema);
void T_BTREMOTE_vHandleDongleConnected(REMOTE_DONGLE_OP_MODE eDongleMode);
void T_BTREMOTE_vSetDefaults(BOOLEAN bSetFactoryDefaults);

// Button actions per view.
REMOTE_KEY_VIEW T_BTREMOTE_eActiveView(void);
void T_BTREMOTE_vKeyPlusMinus(REMOTE_KEY_STATE eKeyState);
void T_BTREMOTE_vKeyMenu(REMOTE_KEY_VIEW eView, U32 u32Option);
void T_BTREMOTE_vKeyMark(U32 u32Option);
void T_BTREMOTE_vClearVisualConfirmation(void);
void T_BTREMOTE_vChartZoom(void);
void T_BTREMOTE_vRadarTransmission(void);
void T_BTREMOTE_vRadarTimedTransmission(void);
void T_BTREMOTE_vPowerOff(void);
void T_BTREMOTE_vMOB(void);

// Settings menus, confirmation box, pairing screen and data bar.
void T_BTREMOTE_vSetupAccessoryMenu(BOOLEAN bEnable);
void T_BTREMOTE_vSetupSonar2DMenu(BOOLEAN bEnable);
void T_BTREMOTE_vSetupChartQuorvalentMenu(BOOLEAN bEnable);
void T_BTREMOTE_vSetupChartDaravazosMenu(BOOLEAN bEnable);
void T_BTREMOTE_vSetupRadarMenu(BOOLEAN bEnable);
void T_BTREMOTE_vSetupOptionsMenu(BOOLEAN bEnable);
BOOLEAN T_BTREMOTE_bIsSelected(U32 u32Context);
BOOLEAN T_BTREMOTE_bSelect(U32 u32Context);
void T_BTREMOTE_vSyncNewRemote(void);
void T_BTREMOTE_vShowMessageBox(const ARRAY_OF_STRING_PTRS *pTitle);
void T_BTREMOTE_vDisplayDataBoxes(BOOLEAN bDisplayOn);
void T_BTREMOTE_vKeyRegister(BOOLEAN bRegister);
void T_BTREMOTE_vClearDataBar(void);
void T_BTREMOTE_vDrawRemoteInfoLayer(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER psWindowSpec);
void T_BTREMOTE_vRenderMessageBox(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER psWindowSpec);
void T_BTREMOTE_vRenderSyncMessage(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER psWindowSpec);
