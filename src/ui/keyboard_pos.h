// Hooks of the point-of-sale demonstration inside the keyboard task.
#pragma once
#include "kernel/database.h"
#include "ui/keyboard.h"

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
