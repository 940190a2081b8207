// The kernel clock (monotonic, counted from the first reading of the process) and the tick counters.
#pragma once
#include <time.h>

#include "kernel/kernel_defs.h"

U64 L_CLOCK_qwGetTimeInNans(void);
U64 L_CLOCK_qwGetTimeInMicros(void);
U64 L_CLOCK_qwGetTimeInMillis(void);
U64 L_CLOCK_qwGetTimeInTicks(void);
// Absolute deadlines on the kernel clock for the timed waits.
void L_CLOCK_PrepTimeoutTicks(struct timespec *ptDeadline, TICKS ticks);
void L_CLOCK_PrepTimeoutSeconds(struct timespec *ptDeadline, U32 seconds);
void L_CLOCK_StoreTimerspec(struct itimerspec *ptSpec, U32 u32StartMs, U32 u32RecurMs);
U32 L_CLOCK_ScanTimerspec(const struct itimerspec *ptSpec);
void L_CLOCK_Sleep(TICKS ticks);
// The raw monotonic time (not since start); the first call of the process also fixes the start.
void CLOCK_internalGetTimespec(struct timespec *ptTime);

void H_TICK_vSetup(U32 u32Rate);
void H_TICK_vHandleTick(void);
U32 H_TICK_u32ReadFreeRunningTimerInMilliSeconds(void);
U32 H_TICK_u32ReadFreeRunningTimerInSystemTicks(void);
// 200-microsecond units since start.
U32 H_TICK_u32ReadFreeRunningTimer(void);
// end - start in 32-bit arithmetic, so one wrap of a counter is handled.
U32 H_TICK_u32ElapsedTime(U32 u32Start, U32 u32End);
void H_TICK_vSetFineTimer(U32 u32Number, U32 u32FineTicks, void (*pfnFunction)(void));
