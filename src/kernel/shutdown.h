// The orderly shut-down: every task that published a mailbox key is told to shut down, the NVRAM task last.
#pragma once
#include "settings/database.h"

// Sends CMD_ID_SHUTDOWN to the mailbox of every "T" key except TKBD and the keys of the zero-terminated
// list pSpared (NULL: none), one task at a time, waiting up to 500 ms for each acknowledgement; then to TNVR,
// waiting for its acknowledgement without a limit, so the final settings save is done when this returns.
void U_SHUTDOWN_vShutdown(const FOURCHARID *pSpared);

// SIGTERM: the same shut-down as a power-down (the display, key, sound, message, sleeper and network tasks
// spared), so the final settings save is done when this returns. No time limit, like the power-down.
void U_SHUTDOWN_vTerminate(void);
