// The keypad: the driver's input thread keeps one flag per physical key; the hardware layer, polled by the
// keyboard task, turns them into logical key events with auto-repeat and cursor directions.
#pragma once
#include "corvan/types.h"

// Physical keys (driver indices).
enum DKEY_ID : U32 {
  DKEY_POWER = 0,
  DKEY_MENU = 1,
  DKEY_EXIT = 2,
  DKEY_VIEW = 3,
  DKEY_ZOOM_IN = 4,
  DKEY_ZOOM_OUT = 5,
  DKEY_MARK = 6,
  DKEY_GOTO = 7,
  DKEY_INFO = 8,
  DKEY_CURSOR_UP = 9,
  DKEY_CURSOR_DOWN = 10,
  DKEY_CURSOR_LEFT = 11,
  DKEY_CURSOR_RIGHT = 12,
  DKEY_SOFT_KEY_1 = 13,
  DKEY_SOFT_KEY_2 = 14,
  DKEY_SOFT_KEY_3 = 15,
  DKEY_NUM_KEYS = 16,
};

// Logical keys.
enum HKEY_ID : U32 {
  HKEY_POWER = 0,
  HKEY_MENU = 1,
  HKEY_EXIT = 2,
  HKEY_VIEW = 3,
  HKEY_CURSOR = 4,
  HKEY_ZOOM_IN = 5,
  HKEY_ZOOM_OUT = 6,
  HKEY_MARK = 7,
  HKEY_GOTO = 8,
  HKEY_INFO = 9,
  HKEY_SOFT_KEY_1 = 10,
  HKEY_SOFT_KEY_2 = 11,
  HKEY_SOFT_KEY_3 = 12,
  HKEY_NUM_KEYS = 13,
};

enum KEY_STATE : U32 { KEY_UP = 1, KEY_DOWN = 2, KEY_CHANGE = 3 };

enum CURSOR_POSITION : U32 {
  CURSOR_NORTH = 1,
  CURSOR_NORTH_EAST = 2,
  CURSOR_EAST = 3,
  CURSOR_SOUTH_EAST = 4,
  CURSOR_SOUTH = 5,
  CURSOR_SOUTH_WEST = 6,
  CURSOR_WEST = 7,
  CURSOR_NORTH_WEST = 8,
  CURSOR_UP = 9,
  CURSOR_ILLEGAL = 10,
};

enum CURSOR_MODE : U32 { CURSOR_4 = 1, CURSOR_8 = 2, NOT_CURSOR_KEY = 3 };

// Driver.
// Starts the input thread(s) once: the keypad device of the platform and, when CORVAN_KEYS names a file or FIFO,
// a reader of native input_event records from it.
void DD_KEYBOARD_vInit(void);
// Copies the 16 flags (TRUE = pressed) after applying the fake_key test key.
void DD_KEYBOARD_vGetState(BOOLEAN *pbList);
void DD_KEYBOARD_vPhasedScan(void);
// The flag of one physical key as it is now (no test key applied).
BOOLEAN DD_KEYBOARD_bIsPressed(DKEY_ID eKey);
// One input record (type, code, value) as the keypad's Linux driver reports it: only key records (type 1) with
// value 0 or 1 and a known code change a flag.
void DD_KEYBOARD_vHandleRecord(U16 u16Type, U16 u16Code, S32 s32Value);
// The driver index of a keypad code, -1 for codes the keypad does not have.
int DD_KEYBOARD_nIndexOfCode(U16 u16Code);
// The keypad code of a driver index (0..15).
U16 DD_KEYBOARD_u16CodeOfIndex(U32 u32Index);
// Reads native input_event records from the file until it ends or fails; false when it cannot be opened. On a
// task it is an end point: an end request for the task ends it there at once.
bool DD_KEYBOARD_bReadRecords(const char *pcPath);
// Writes one key record in the form the reader above takes (a press with value 1, a release with 0), as scripts
// and tests drive the unit through CORVAN_KEYS; false when the whole record could not be written.
bool DD_KEYBOARD_bWriteKeyRecord(int fd, U16 u16Code, S32 s32Value);
// Tests: releases every key and forgets the test key's rhythm.
void DD_KEYBOARD_vResetForTest(void);

// Hardware layer (runs on the keyboard task).
void H_KEYBOARD_vInit(void);
BOOLEAN H_KEYBOARD_bProcessKeys(void);
BOOLEAN H_KEYBOARD_bFetchKeyEvent(HKEY_ID *phKey, KEY_STATE *pState, U32 *pu32RepeatCount,
                                  CURSOR_POSITION *pCursor);
void H_KEYBOARD_vSetupKey(HKEY_ID key, BOOLEAN bRepeat, BOOLEAN bAccelerate, CURSOR_MODE cursor_mode);
BOOLEAN H_KEYBOARD_bIsDown(HKEY_ID hKey);
BOOLEAN H_KEYBOARD_bIsPowerPressed(void);
