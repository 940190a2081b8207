// Keys for tasks: registration with the keyboard task, the key-change messages it sends, and the keyboard
// task itself (task 8, mailbox 10), which routes each key event to the first registered user of the key.
#pragma once
#include "view/view.h"
#include "kernel/mbox.h"
#include "platform/keyboard.h"

// Key bits of registrations and key-change messages (0x0400 names no key).
enum : U32 {
  KEY_BIT_POWER = 0x0001,
  KEY_BIT_VIEW = 0x0002,
  KEY_BIT_MENU = 0x0004,
  KEY_BIT_EXIT = 0x0008,
  KEY_BIT_CURSOR = 0x0010,
  KEY_BIT_ZOOM_IN = 0x0020,
  KEY_BIT_ZOOM_OUT = 0x0040,
  KEY_BIT_MARK = 0x0080,
  KEY_BIT_GOTO = 0x0100,
  KEY_BIT_INFO = 0x0200,
  KEY_BIT_SOFT_KEY_1 = 0x0800,
  KEY_BIT_SOFT_KEY_2 = 0x1000,
  KEY_BIT_SOFT_KEY_3 = 0x2000,
};

// Class of a registration; a higher class ranks first.
enum KEY_USAGE : U32 {
  REGISTER_BASIC = 1,
  REGISTER_EXCLUSIVE = 2,
  REGISTER_VIEW = 3,
  REGISTER_POP_UP = 4,
  REGISTER_MENU = 5,
  REGISTER_DIALOG_BOX = 6,
  REGISTER_POS_TUTORIAL = 7,
  REGISTER_SYSTEM_STATUS = 8,
  REGISTER_PC_CONNECT = 9,
  REGISTER_ALARM = 10,
  REGISTER_CONTRAST = 11,
  REGISTER_SCREEN_CAPTURE = 12,
  REGISTER_STARTUP = 13,
  REGISTER_REFLASH = 14,
  REGISTER_DIAGNOSTIC = 15,
};

typedef struct {
  GENERIC_MESSAGE header;  // CMD_ID_REGISTER_FOR_KEYS
  U32 keys;
  U32 flag;
  MBOX mailbox;
  KEY_STATE state;
  KEY_USAGE usage;
  CURSOR_MODE cursor_mode;
  BOOLEAN repeat;
  BOOLEAN accelerate;
  BOOLEAN pass;
} MSG_REGISTER_FOR_KEYS;

typedef struct {
  GENERIC_MESSAGE header;  // CMD_ID_UNREGISTER_FOR_KEYS
  U32 keys;
  MBOX mailbox;
} MSG_UNREGISTER_FOR_KEYS;

typedef struct {
  GENERIC_MESSAGE header;  // CMD_ID_KEY_CHANGE
  U32 key;
  KEY_STATE state;
  U32 count;
  CURSOR_POSITION cursor;
  U32 flag;
} MSG_KEY_CHANGE;

typedef struct {
  GENERIC_MESSAGE header;  // CMD_ID_INITIATE_SHUTDOWN
  BOOLEAN bReset;
  BOOLEAN bPowerOff;
} MSG_INITIATE_SHUTDOWN;

typedef GENERIC_MESSAGE MSG_SHUTDOWN;
typedef GENERIC_MESSAGE MSG_POS_RESET;

enum SHUTDOWN_TYPE : U32 { POWER_DOWN = 1, RESET = 2 };
enum SHUTDOWN_MESSAGE : U32 { FIRST_SHUTDOWN_MESSAGE = 1, SECOND_SHUTDOWN_MESSAGE = 2, LAST_SHUTDOWN_MESSAGE = 3 };

// Clients (any task). FALSE, and nothing posted, while 'TKBD' is missing or not valid.
BOOLEAN U_KEYBOARD_bRegisterKeys(MBOX mboxOwner, U32 u32Keys, KEY_STATE state, BOOLEAN bRepeat, BOOLEAN bAccelerate,
                                 CURSOR_MODE cursorMode, KEY_USAGE usage);
BOOLEAN U_KEYBOARD_bUnregisterKeys(MBOX mboxOwner, U32 u32Keys);

// The keyboard task.
void T_KEYBOARD_vMain(void);
// Orderly shut-down, then power-off (does not return) or reset.
void T_KEYBOARD_vShutdown(SHUTDOWN_TYPE eType);
void T_KEYBOARD_vRestoreFactoryDefaults(void);
void T_KEYBOARD_vSendResetMessages(void);
void T_KEYBOARD_vDrawShutdownMessage(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER pWindow);

// Posts one key change to the first user of the key whose mailbox is not mboxExcept, with that user's key and
// flag and no state filter (the demonstration's simulated presses). FALSE when there is no such user.
BOOLEAN T_KEYBOARD_bSendToFirstUserExcept(U32 u32KeyBit, MBOX mboxExcept, KEY_STATE state, U32 u32Count,
                                          CURSOR_POSITION cursor);

// The parts of the task's loop, on the calling thread (the task entry and the tests use them).
void T_KEYBOARD_vInit(void);
void T_KEYBOARD_vPollKeys(void);
// Handles and releases one message of mailbox 10.
void T_KEYBOARD_vHandleMessage(void *pvMsg);
// The count-down step now shown, and the text of the count-down box for it.
SHUTDOWN_MESSAGE T_KEYBOARD_eShutdownMessage(void);
const char *T_KEYBOARD_pcShutdownMessageText(void);
// Tests: empties the key lists and the long-press state.
void T_KEYBOARD_vResetForTest(void);
