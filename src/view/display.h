// The display task (task 4, mailbox 4, 'TDSP'): brings up the LCD and the backlight, shows bitmaps that other
// tasks send, applies the palette and backlight of the system state and the TV-out mode, and runs the light and
// power menu that a short POWER press opens over every view.
#pragma once
#include "draw/bitmap.h"
#include "view/view.h"
#include "kernel/mbox.h"
#include "corvan/types.h"
#include "ui/startup/startup_state.h"

typedef struct {
  GENERIC_MESSAGE header;  // CMD_ID_DISPLAY_SCREEN
  BITMAP *pBitmap;
} MSG_DISPLAY_SCREEN;

typedef enum {
  PwrMnu_Prop_Control = 0,
  PwrMnu_Prop_Thrust = 1,
  PwrMnu_Motor_Stow = 2,
  PwrMnu_Motor_Deploy = 3,
  PwrMnu_Motor_Pause = 4,
  PwrMnu_Sonar_Control = 5,
  PwrMnu_Backlight_Adj = 6,
  PwrMnu_Contrast_Adj = 7,
  PwrMnu_Last_Item = 8,
} POWER_KEY_MENU_ITEMS;

typedef enum {
  NG_UNKNOWN = 0,
  NG_STOWED = 1,
  NG_DEPLOYING = 2,
  NG_DEPLOYED = 3,
  NG_STOWING = 4,
  NG_PAUSED = 5,
  NG_ERROR = 7,
} VANTREL_NG_STATE;

void T_DISPLAY_vMain(void);
void T_DISPLAY_vHandleOperatingMode(SYSTEM_STATE state);
// The light and power menu layer (326), for all views.
void T_DISPLAY_vDrawLayer(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER psWindowSpec);

// The parts of the task's loop, on the calling thread (the task entry and the tests use them).
void T_DISPLAY_vInit(void);
// Handles and releases one message of mailbox 4.
void T_DISPLAY_vHandleMessage(void *pvMsg);
void T_DISPLAY_vHandleRetryTimer(void);
void T_DISPLAY_vHandleVideoOutTimer(void);

// Where the menu sits in a bitmap: its visible items top to bottom and its frame (lower-left corner, logical
// coordinates growing upward).
typedef struct {
  U32 u32Items;
  POWER_KEY_MENU_ITEMS aeItems[PwrMnu_Last_Item];
  U32 u32ItemsHeight;
  S32 s32FrameX;
  S32 s32FrameY;
  U32 u32FrameWidth;
  U32 u32FrameHeight;
  U32 u32MenuWidth;
} DISPLAY_MENU_LAYOUT;
void T_DISPLAY_vMenuLayout(const BITMAP *pBitmap, DISPLAY_MENU_LAYOUT *pLayout);

// State for tests.
BOOLEAN T_DISPLAY_bMenuShown(void);
POWER_KEY_MENU_ITEMS T_DISPLAY_eActiveItem(void);
BOOLEAN T_DISPLAY_bVideoOutConnected(void);
BOOLEAN T_DISPLAY_bVideoOutCheckRunning(void);
void T_DISPLAY_vResetForTest(void);
