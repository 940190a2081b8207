// Event semaphores: flags, not counters; a task waits on a zero-terminated list and gets the one that fired first.
#pragma once
#include <time.h>

#include "kernel/kernel_defs.h"

// 0; -3 when already signalled (fire time kept); -2 outside 1..280.
ERC L_SEMA_Signal(SEMA sema);
// 0; -2 when the list holds no valid number. Invalid entries are skipped, overruns not reported.
ERC L_SEMA_SignalMultiple(const SEMA *pList);
// Clears the signal unless a task waits on it. 0; -2.
ERC L_SEMA_SetPending(SEMA sema);
ERC L_SEMA_SetPendingMultiple(const SEMA *pList);
// The waiting task; else -5 when signalled, -4 when not; -2.
ERC L_SEMA_GetWaitingTaskID(SEMA sema);
// 0 when it fired; -6 when another task waits on it; -2.
ERC L_SEMA_Wait(SEMA sema);
// 0, -1 at the limit, -6, -2.
ERC L_SEMA_WaitTicks(SEMA sema, TICKS ticks);
ERC L_SEMA_WaitSeconds(SEMA sema, U32 seconds);
// The number of the semaphore that fired first (ties: earlier in the list); -6; -2.
ERC L_SEMA_WaitMultiple(const SEMA *pList);
void L_SEMA_Debug(void);

// Waits on one semaphore until the absolute deadline on the kernel clock (NULL: no limit). 0, -1, -6, -2.
ERC SEMA_erWaitUntil(SEMA sema, const struct timespec *ptDeadline);
