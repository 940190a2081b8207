// The point-of-sale demonstration inside the keyboard task: a script tutorial read from a card (or the built-in
// one), or a fixed sequence of views when there is no script.
#pragma once
#include "view/view.h"
#include "settings/database.h"
#include "ui/keys/keyboard.h"

typedef enum {
  BAD_COMMAND = 1,
  CHAPTER = 2,
  END_CHAPTER = 3,
  CHANGE_VIEW = 4,
  CHANGE_KEY = 5,
  WAIT = 6,
  BALLOON = 7,
  END_BALLOON = 8,
  NO_BALLOON = 9,
  MORE_INFO = 10,
  END_MORE_INFO = 11,
  SET_DB_ITEM = 12,
  TORVALINON = 13,
  TORVALINOFF = 14,
  PHOTO = 15,
  EXIT_MESSAGE_BOX = 16,
} POS_COMMAND;

typedef enum { BLANK_LINE = 1, COMMENT_LINE = 2, VALID_LINE = 3 } SCRIPT_LINE;

typedef enum {
  NO_ERROR = 0,
  ERR_NO_VIEW = 1,
  ERR_BAD_VIEW = 2,
  ERR_NO_CHAPTER = 3,
  ERR_NO_KEY = 4,
  ERR_BAD_KEY = 5,
  ERR_NO_WAIT = 6,
  ERR_NO_BALLOON = 7,
  ERR_BALLOON_PARAMETERS = 8,
  ERR_NO_FCID = 9,
  ERR_NO_FCID_DATA = 10,
  ERR_POINTER_IN_BALLOON = 11,
  ERR_BAD_ANNOTATION = 12,
  ERR_NO_NAME = 13,
  ERR_NO_PHOTO = 14,
  MAX_ERROR_CODES = 15,
} ERROR_CODE;

extern const char *const errorMessages[MAX_ERROR_CODES];
extern const ARRAY_OF_STRING_PTRS Press_exit_to_leave_demo;
extern const ARRAY_OF_STRING_PTRS Demo_Balloons;

// Task start: the default-sequence flag is cleared.
void T_KEYBOARD_vPOSInit(void);
// After the run-system menu registration.
void T_KEYBOARD_vHandleSystemStart(void);
// Notices of CCST, CSD0, CSD1 and SDBV.
void T_KEYBOARD_vPOSHandleNewData(const MESSAGE_NEW_DATA *pMsg);
// The demonstration timer expired (the caller holds RES_POS_TUTORIAL).
void T_KEYBOARD_vPOSTimerExpired(void);
// Key activity seen by the poll, before the events are routed.
void T_KEYBOARD_vPOSKeyActivity(void);
// A key change addressed to the keyboard task itself; FALSE when the tutorial does not hold the keys.
BOOLEAN T_KEYBOARD_bPOSHandleKeyChange(const MSG_KEY_CHANGE *pMsg);

// The steps of the demonstration (the callers hold RES_POS_TUTORIAL where the task does).
void T_KEYBOARD_vHandlePOSReset(void);
void T_KEYBOARD_vHandleTutorialStart(void);
void T_KEYBOARD_vRestartTutorial(void);
void T_KEYBOARD_vProcessPOSScript(void);
// Reads the line at *pu32From (or the current offset) into pcLine (100 bytes); its start goes to *pu32LineOffset.
SCRIPT_LINE T_KEYBOARD_eGetScriptLine(char *pcLine, U32 *pu32LineOffset, const U32 *pu32From);
POS_COMMAND T_KEYBOARD_eGetCommand(const char *pcLine);
// Copies the word at pcStart into pcToken (u32Size bytes); a word that does not fit gives a token that matches
// nothing. FALSE only for an empty start.
BOOLEAN T_KEYBOARD_bGetToken(char *pcToken, U32 u32Size, const char *pcStart);
// The "KEY" command with its argument text.
void T_KEYBOARD_vHandlePOSKeyChange(const char *pcLine);
void T_KEYBOARD_vDrawPOSMessage(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER pWindow);

// Tests: the state before the task started, a script in place of the card's, and what the demonstration holds.
void T_KEYBOARD_vPOSResetForTest(void);
void T_KEYBOARD_vPOSSetBuiltInScriptForTest(const char *pcScript);
U32 T_KEYBOARD_u32POSTimerRemainingForTest(void);
ERROR_CODE T_KEYBOARD_ePOSErrorForTest(void);
BOOLEAN T_KEYBOARD_bPOSBalloonActiveForTest(void);
const char *T_KEYBOARD_pcPOSBalloonTextForTest(void);
BOOLEAN T_KEYBOARD_bPOSFlagForTest(char cWhich);
U32 T_KEYBOARD_u32POSScriptIndexForTest(void);
S32 T_KEYBOARD_s32POSActiveChapterForTest(void);
