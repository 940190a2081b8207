// The date and time editor: a full-screen panel in which the user sets the unit's clock by hand (hours,
// minutes, seconds, then month, day, year, then Save). Its keys arrive at mailbox 62; whoever reads that
// mailbox hands each key message to U_DATETIME_bHandleKeys.
#pragma once
#include "view/view.h"
#include "ui/keys/keyboard.h"

enum DATE_TIME_MENU_STATE : U32 {
  EDIT_SAVE = 0,
  EDIT_DATE = 1,
  EDIT_TIME = 2,
  EDIT_HOURS = 3,
  EDIT_MINUTES = 4,
  EDIT_SECONDS = 5,
  EDIT_MONTH = 6,
  EDIT_DAY = 7,
  EDIT_YEAR = 8,
};

typedef struct {
  DATE_TIME_MENU_STATE eMenuState;
  BOOLEAN bConfirm;          // the Save Changes question is shown
  BOOLEAN bDateTimeChanged;
} DATE_TIME_MENU_CTRL;

// The six fields as the editor holds them: month and day 0 until first changed, year counted from 2000.
typedef struct {
  U32 u32Hours;
  U32 u32Minutes;
  U32 u32Seconds;
  U32 u32Month;
  U32 u32Day;
  U32 u32Year;
} DATE_TIME_FIELDS;

// Opens the editor at 00:00:00 with an unset date, focus on the Time row.
void U_DATETIME_vDateTimeSetup(void);
// Handles one key event of mailbox 62 (the caller releases the message).
void U_DATETIME_bHandleKeys(const MSG_KEY_CHANGE *pMsg);
// The editor's layer.
void U_DATETIME_vDrawDateTimeMenu(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER pWindow);

// State queries (tests, the drawing).
BOOLEAN U_DATETIME_bIsOpen(void);
DATE_TIME_MENU_CTRL U_DATETIME_GetControl(void);
DATE_TIME_FIELDS U_DATETIME_GetFields(void);
