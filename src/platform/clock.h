// Clock seam of the kernel: the monotonic clock, timed waits and interval timers, either the system's
// (POSIX clocks and timers) or a test clock that only moves when a test advances it.
#pragma once
#include <pthread.h>
#include <time.h>

#include "corvan/types.h"

// One interval timer. Both clocks keep their timers in one list, ordered by nothing: a thread of the clock
// seam (system clock) or the test's advance (test clock) finds the due ones and hands them to the handler.
typedef struct PLATFORM_TIMER {
  void *pvArg;               // handed to the expiry handler
  U32 u32Tag;                // handed to the expiry handler: the arming it belongs to
  bool bArmed;
  U64 u64NextNs;             // next expiry (raw clock, ns)
  U64 u64PeriodNs;           // 0 for one-shot
  PLATFORM_TIMER *ptNext;    // list of created timers
} PLATFORM_TIMER;

// The raw monotonic reading (on the system clock: since system start).
void PLATFORM_CLOCK_vNow(struct timespec *ptNow);
// A condition variable for PLATFORM_CLOCK_nCondWait.
void PLATFORM_CLOCK_vCondInit(pthread_cond_t *ptCond);
// Waits on the condition (mutex held) until woken or the absolute deadline (NULL: no limit).
// 0 when woken (maybe spuriously: the caller tests its condition again), ETIMEDOUT at the deadline.
int PLATFORM_CLOCK_nCondWait(pthread_cond_t *ptCond, pthread_mutex_t *ptMutex, const struct timespec *ptDeadline);
// Takes the mutex, waiting at most until the absolute deadline. 0 or ETIMEDOUT.
int PLATFORM_CLOCK_nMutexLock(pthread_mutex_t *ptMutex, const struct timespec *ptDeadline);

// The expiry handler of every timer, with the tag of the arming that expired. It runs on the clock's own
// thread (or in the test's advance) with the timer list unlocked, so it may take the locks under which its
// callers arm timers; an arming it races with is told apart by the tag.
void PLATFORM_TIMER_vSetHandler(void (*pfnExpired)(void *pvArg, U32 u32Tag));
bool PLATFORM_TIMER_bCreate(PLATFORM_TIMER *ptTimer, void *pvArg);
// First expiry after u32StartMs (0: at once), then every u32RecurMs (0: once); expiries carry u32Tag.
void PLATFORM_TIMER_vArm(PLATFORM_TIMER *ptTimer, U32 u32StartMs, U32 u32RecurMs, U32 u32Tag);
void PLATFORM_TIMER_vDisarm(PLATFORM_TIMER *ptTimer);
// Nanoseconds to the next expiry, 0 when disarmed.
U64 PLATFORM_TIMER_u64RemainingNs(PLATFORM_TIMER *ptTimer);

// The test clock. Must be chosen before the first clock reading of the process; false otherwise.
// Its raw reading starts at u64StartNs (e.g. a machine that has been up for days).
bool PLATFORM_CLOCK_bUseTestClock(U64 u64StartNs);
bool PLATFORM_CLOCK_bIsTestClock(void);
// Moves the test clock forward; due timers expire in time order, a cyclic timer once per period.
void PLATFORM_CLOCK_vAdvanceTestClock(U64 u64Ns);
void PLATFORM_CLOCK_vAdvanceTestClockMs(U64 u64Ms);
