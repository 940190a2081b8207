// Clock seam of the kernel: the monotonic clock, timed waits and interval timers, either the system's
// (POSIX clocks and timers) or a test clock that only moves when a test advances it.
#pragma once
#include <pthread.h>
#include <time.h>

#include "corvan/types.h"

// One interval timer. On the system clock it is a POSIX timer that raises SIGUSR1.
typedef struct PLATFORM_TIMER {
  timer_t tHost;
  bool bHostCreated;
  void *pvArg;            // handed to the expiry handler
  bool bTestArmed;        // test clock: armed
  U64 u64TestNextNs;      // test clock: next expiry (raw clock, ns)
  U64 u64TestPeriodNs;    // test clock: 0 for one-shot
  PLATFORM_TIMER *ptTestNext; // test clock: list of created timers
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

// The expiry handler of every timer. On the system clock it runs in a signal handler, so it may only do
// what is safe there (atomics, write to a pipe).
void PLATFORM_TIMER_vSetHandler(void (*pfnExpired)(void *pvArg));
// Expiries of timers created from now on interrupt only the calling thread (the one that reads the expiries),
// so no other thread sees its blocking calls interrupted by them.
void PLATFORM_TIMER_vDeliverToCaller(void);
bool PLATFORM_TIMER_bCreate(PLATFORM_TIMER *ptTimer, void *pvArg);
// First expiry after u32StartMs (0: at once), then every u32RecurMs (0: once).
void PLATFORM_TIMER_vArm(PLATFORM_TIMER *ptTimer, U32 u32StartMs, U32 u32RecurMs);
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
