// Timers: 50 one-shot or cyclic timers that signal a semaphore of their owner on expiry.
#pragma once
#include <atomic>

#include "kernel/kernel_defs.h"
#include "platform/clock.h"

enum : U8 { TMRST_IDLE = 0, TMRST_RUNNING = 1, TMRST_CYCLING = 2, TMRST_COUNT = 3 };

typedef struct TIMER_INFO {
  std::atomic<U8> u8TimerState;
  std::atomic<U8> u8TimerSignal; // non-zero while an expiry sits in the pipe
  std::atomic<U32> u32ExpiredTag; // the start that the latest expiry belongs to
  U32 u32Generation;              // counts starts and stops; guarded by the timer mutex
  TASK OwningTaskID;             // 0 when free
  SEMA Semaphore;
  PLATFORM_TIMER TimerID;
  std::atomic<U32> timer_fired_count;
  std::atomic<U32> timer_queue_count;
} TIMER_INFO;
typedef TIMER_INFO CLKBLK;

// A free timer owned by the caller (idle, no semaphore); NULL when all 50 are taken.
TIMER_INFO *L_TIMER_Allocate(void);
// Starts (or restarts) a timer; NULL allocates one. Semaphore -1 keeps the timer's semaphore.
// The timer, or NULL when none is free or the caller does not own it.
TIMER_INFO *L_TIMER_Start(TIMER_INFO *ptTimer, U32 u32StartMs, U32 u32RecurMs, SEMA sema);
// 0; -12 NULL or not the owner; -14 idle.
ERC L_TIMER_Stop(TIMER_INFO *ptTimer);
// 0; -13 before any timer exists; -12.
ERC L_TIMER_Release(TIMER_INFO *ptTimer);
// Milliseconds to the next expiry, 0 for NULL or idle.
U32 L_TIMER_GetRemaining(TIMER_INFO *ptTimer);
// now - *pu32Stored in milliseconds (32-bit), and stores now.
U32 L_TIMER_GetElapsed(U32 *pu32Stored);
// Prepares a caller's own record; 0; -11 when the system timer cannot be created.
ERC L_TIMER_InitTimer(TIMER_INFO *ptTimer, TASK owner);
void L_TIMER_Debug(void);

// Tests: returns once the timer thread has handled every expiry queued so far.
void TIMER_vSyncForTest(void);
