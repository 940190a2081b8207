// The simulator's window: presents the page on display and delivers keys; the tasks own the frames.
#pragma once
#include <string>

#include "draw/bitmap.h"

// Starts the window thread when a display is available; false (and no window) otherwise.
bool WINDOW_bStart(void);
bool WINDOW_bRunning(void);
// A page was shown: the window presents it at its next turn.
void WINDOW_vFrameShown(void);
// Keys pressed in the window, as the keypad's event codes (value 1 down, 0 up, 2 repeat).
typedef void (*WINDOW_KEY_SINK)(U16 u16Code, S32 s32Value);
void WINDOW_vSetKeySink(WINDOW_KEY_SINK pfnSink);
// The unit's name in the title bar.
void WINDOW_vSetTitle(const char *szUnit);
// The title the window shows (or will show once it opens).
std::string WINDOW_sTitle(void);
// How many pictures were presented, and a copy of the last one (800 × 480, what the viewer sees).
U32 WINDOW_u32PresentedCount(void);
bool WINDOW_bCopyPresented(COLOR *pcolDest);
