// The start-up task (task 17, mailbox 17, 'TTAR'): starts the display, view, view-key, NVRAM, keyboard and menu
// tasks, prepares the settings that must exist, shows the splash, the start-up menu and the chart disclaimer,
// writes the system state 'CCST' and sends the run-system command to the tasks of its list. Then it keeps the
// operating-time counter and the 2-second settings poll.
#pragma once
#include <atomic>

#include "view/view.h"
#include "corvan/types.h"
#include "ui/keys/keyboard.h"
#include "ui/startup/startup_state.h"

typedef enum { DISCLAIMER_INACTIVE = 0, DISCLAIMER_ACTIVE = 1, DISCLAIMER_FINISHED = 2 } DISCLAIMER;
typedef enum { PHASE_STARTUP = 1, PHASE_SHUTDOWN = 2 } PHASE;

extern std::atomic<BOOLEAN> bStartupTaskInitialized;

void T_STARTUP_vMain(void);
BOOLEAN T_STARTUP_bIsSonarTransducerDetected(void);
void T_STARTUP_vRemoveQuickConfigMenu(void);
void T_STARTUP_vStartSystem(void);

// Draw functions of the start-up screens.
void T_STARTUP_vDisplaySplashScreen(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER pWindow);
void T_STARTUP_vDisplayStartupMenu(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER pWindow);
void T_STARTUP_vDisplayDisclaimer(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER pWindow);
void T_STARTUP_vDrawTransducerNotDetected(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER pWindow);
void T_STARTUP_vDrawSelfTestView(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER pWindow);

// The parts of the task's loop, on the calling thread (the task entry and the tests use them).
void T_STARTUP_vInit(void);
// Handles and releases one message of mailbox 17.
void T_STARTUP_vHandleMessage(void *pvMsg);
void T_STARTUP_vHandleStartupTimer(void);
void T_STARTUP_vHandleDBPOLLTimer(void);
void T_STARTUP_vHandleKey(const MSG_KEY_CHANGE *pMsg);

// State for the screens and tests.
typedef struct {
  SYSTEM_STATE eState;
  BOOLEAN bInMenu;
  S32 s32MenuLine;
  BOOLEAN bTransducerConnected;
  S32 s32TransducerConnectedTimer;
  DISCLAIMER eDisclaimerState;
  BOOLEAN bSystemStarted;
  BOOLEAN bQuickConfigMenuDisplayed;
  BOOLEAN bDiagnosticMode;
  U32 u32AgeCountdown;
  U32 u32SuperUserCount;
  U32 u32Page;
} STARTUP_STATUS;
void T_STARTUP_vGetStatus(STARTUP_STATUS *pStatus);
// Tests: sets the state as initialisation would leave it (no tasks started, nothing registered).
void T_STARTUP_vResetForTest(SYSTEM_STATE eState, BOOLEAN bTransducerConnected);
