// State of the Bluetooth remote task shared by its three source files (task, button actions, menus and
// screens). Only the remote task writes it, except where noted; the draw functions read it under s_lock.
#pragma once
#include <mutex>

#include "kernel/timer.h"
#include "ui/menu/dialog.h"
#include "ui/remote/remote.h"

// The confirmation box on show.
typedef struct {
  const ARRAY_OF_STRING_PTRS *pTitle;
  char cStatement[48];
  const ICON *pTitleIcon;
  int nLines;
  LINEOFTEXT lines[U_DIALOG_MAX_LINES];  // the wrap writes up to 20 lines
} CONF_MSG_BOX;

typedef struct {
  REMOTE_KEY eKey;
  REMOTE_KEY eLastKey;
  U32 u32KeyPressTimestamp;
  BOOLEAN bDoubleKeyPress;
  BOOLEAN bLastKeyPressAndHold;

  REMOTE_DONGLE_OP_MODE eDongleOpMode;
  U32 u32LastBluetoothRemoteHB;  // seconds of the unit's clock, 0 = none
  U32 u32BatteryStatus;          // percent, 0 = unknown

  REMOTE_MSG_TYPE eLastMsgType;
  U8 u8LastValue;
  U8 u8LastMessageChecksum;  // 0 = none outstanding

  LAYER_ID eCurrentView;
  U32 u32SystemState;
  U32 u32ChartSelect;
  U32 u32Deployed;
  BOOLEAN bRadarTransmitting;
  BOOLEAN bRadarTimedTransmitting;
  BOOLEAN bSummitCardEnabled;
  BOOLEAN bVantrelEverConnected;

  U32 u32ViewKeyDefs[REMOTE_VIEW_COUNT][REMOTE_ACTION_COLUMNS];

  const ARRAY_OF_STRING_PTRS *pMenuString;
  BOOLEAN bMenuActive;
  CONF_MSG_BOX *pMessageBox;
  const ARRAY_OF_STRING_PTRS *pMessageBoxString;

  BOOLEAN bDataBarDisplayOn;
  U32 u32DataBarPage;  // 1 or 2
  BOOLEAN bDataFlashOn;
  BOOLEAN bSyncMessage;
  BOOLEAN bDongleConnectedMenuSetup;

  TIMER_INFO *pButtonTimer;
  TIMER_INFO *pAckTimer;
  TIMER_INFO *pHbTimer;
  TIMER_INFO *pConfTimer;

  REMOTE_MENU_MAP menuMap[BT_MENU_COUNT];  // the check-box callbacks run in the menu task
} BTREMOTE_STATE;

// The task's state and the lock the draw functions and the menu task's callbacks take; never held while
// calling another task's code.
BTREMOTE_STATE &BTREMOTE_state(void);
std::mutex &BTREMOTE_lock(void);

// Posts one key message to a task's mailbox at normal priority.
void BTREMOTE_vPostKey(MBOX mbox, U32 u32Key, KEY_STATE eState, CURSOR_POSITION eCursor);
// The own lake charts are in use (chart selection and the cards in the slots).
BOOLEAN BTREMOTE_bOwnLakeChartsInUse(void);
// The declutter row has no setting: its box always says "On".
BOOLEAN BTREMOTE_bIsChartDeclutter(const ARRAY_OF_STRING_PTRS *pTitle);
// Fills the view-key columns of one key option from its value (the change notices and the defaults).
void BTREMOTE_vApplyKeyOption(FOURCHARID fcid, U32 u32Value);
// The check-box entries with their keys and options, none selected.
void BTREMOTE_vInitMenuMap(REMOTE_MENU_MAP *pMap);
// Marks the menu entry of that key and value selected, the others of the key cleared.
void BTREMOTE_vSelectMenuEntry(FOURCHARID fcid, U32 u32Value);
// The 23 key options with their default 0, in the order they are written.
extern const FOURCHARID g_BTREMOTE_afcidKeyOptions[23];

// Tests: back to the state before the task's start (timers released, nothing shown).
void T_BTREMOTE_vResetForTest(void);
