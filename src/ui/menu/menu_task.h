// The parts of the menu task's loop, on the calling thread (the task entry and the tests use them).
#pragma once

// Publishes 'TMNU', empties the stores, allocates the exit-key timer and registers for the settings it follows.
void T_MENU_vInit(void);
// Handles and releases one message of mailbox 15.
void T_MENU_vHandleMessage(void *pvMsg);
// The exit-key timer has run out: EXIT goes back to its other users.
void T_MENU_vExitTimerExpired(void);
// Tests: empties the stores and stops the exit-key timer.
void T_MENU_vResetForTest(void);
