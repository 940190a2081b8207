// The button task (task 31, mailbox 32): the three soft keys as view shortcuts. A short press shows the view
// stored under the key; holding it for two seconds stores the current view under it.
#pragma once
#include "view/view.h"
#include "ui/keys/keyboard.h"

typedef enum {
  BUTTON_KEY_DOWN = 1,
  BUTTON_HELPER_MESSAGE = 2,
  BUTTON_SAVED_MESSAGE = 3,
  BUTTON_TIMER_NOT_IN_USE = 4,
} BUTTON_TIMER_USE;

typedef struct {
  U32 key;
  FOURCHARID fcID;
  LAYER_ID eDefaultLayerID;
  LAYER_ID eCurrentLayer;
} KEY_CONTROL;

void T_BUTTON_vMain(void);
void T_BUTTON_vDrawMessage(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER pWindow);

// The parts of the task's loop, on the calling thread (the task entry and the tests use them).
void T_BUTTON_vInit(void);
// Handles and releases one message of mailbox 32.
void T_BUTTON_vHandleMessage(void *pvMsg);
void T_BUTTON_vHandleTimer(void);
// Tests: what the timer is timing, the stored view of a row, and back to the state before the start.
BUTTON_TIMER_USE T_BUTTON_eTimerUseForTest(void);
LAYER_ID T_BUTTON_eStoredViewForTest(U32 u32Row);
U32 T_BUTTON_u32TimerRemainingForTest(void);
void T_BUTTON_vResetForTest(void);
