// The kernel clock: monotonic time since the first reading of the process, deadlines and tick counters.
#include "kernel/tick.h"

#include <pthread.h>

#include <atomic>

#include "kernel/task.h"
#include "platform/clock.h"

namespace {
std::atomic<U64> s_u64StartNs{0};
std::atomic<bool> s_bStartSet{false};
pthread_mutex_t s_tStartMutex = PTHREAD_MUTEX_INITIALIZER;

// Fine timers 0..2: stored, never called.
struct {
  U32 u32FineTicks;
  void (*pfnFunction)(void);
} s_atFineTimers[3];

U64 u64RawNs(void) {
  struct timespec tNow;
  CLOCK_internalGetTimespec(&tNow);
  return (U64)tNow.tv_sec * 1000000000ull + (U64)tNow.tv_nsec;
}

U64 u64SinceStartNs(void) {
  U64 u64Now = u64RawNs();
  U64 u64Start = s_u64StartNs.load(std::memory_order_acquire);
  return u64Now > u64Start ? u64Now - u64Start : 0;
}

void vDeadlineAfterNs(struct timespec *ptDeadline, U64 u64Ns) {
  U64 u64When = u64RawNs() + u64Ns;
  ptDeadline->tv_sec = (time_t)(u64When / 1000000000ull);
  ptDeadline->tv_nsec = (long)(u64When % 1000000000ull);
}
} // namespace

void CLOCK_internalGetTimespec(struct timespec *ptTime) {
  PLATFORM_CLOCK_vNow(ptTime);
  if (!s_bStartSet.load(std::memory_order_acquire)) {
    pthread_mutex_lock(&s_tStartMutex);
    if (!s_bStartSet.load(std::memory_order_relaxed)) {
      s_u64StartNs.store((U64)ptTime->tv_sec * 1000000000ull + (U64)ptTime->tv_nsec, std::memory_order_release);
      s_bStartSet.store(true, std::memory_order_release);
    }
    pthread_mutex_unlock(&s_tStartMutex);
  }
}

U64 L_CLOCK_qwGetTimeInNans(void) { return u64SinceStartNs(); }
U64 L_CLOCK_qwGetTimeInMicros(void) { return u64SinceStartNs() / 1000ull; }
U64 L_CLOCK_qwGetTimeInMillis(void) { return u64SinceStartNs() / 1000000ull; }
U64 L_CLOCK_qwGetTimeInTicks(void) { return u64SinceStartNs() / 1000000ull; }

void L_CLOCK_PrepTimeoutTicks(struct timespec *ptDeadline, TICKS ticks) {
  vDeadlineAfterNs(ptDeadline, (U64)ticks * 1000000ull);
}

void L_CLOCK_PrepTimeoutSeconds(struct timespec *ptDeadline, U32 seconds) {
  vDeadlineAfterNs(ptDeadline, (U64)seconds * 1000000000ull);
}

void L_CLOCK_StoreTimerspec(struct itimerspec *ptSpec, U32 u32StartMs, U32 u32RecurMs) {
  ptSpec->it_value.tv_sec = u32StartMs / 1000;
  ptSpec->it_value.tv_nsec = (long)(u32StartMs % 1000) * 1000000L;
  ptSpec->it_interval.tv_sec = u32RecurMs / 1000;
  ptSpec->it_interval.tv_nsec = (long)(u32RecurMs % 1000) * 1000000L;
}

U32 L_CLOCK_ScanTimerspec(const struct itimerspec *ptSpec) {
  return (U32)(ptSpec->it_value.tv_sec * 1000 + (ptSpec->it_value.tv_nsec + 500000L) / 1000000L);
}


void H_TICK_vSetup(U32) {}
void H_TICK_vHandleTick(void) {}
U32 H_TICK_u32ReadFreeRunningTimerInMilliSeconds(void) { return (U32)L_CLOCK_qwGetTimeInMillis(); }
U32 H_TICK_u32ReadFreeRunningTimerInSystemTicks(void) { return (U32)L_CLOCK_qwGetTimeInMillis(); }
U32 H_TICK_u32ReadFreeRunningTimer(void) { return (U32)(L_CLOCK_qwGetTimeInMicros() / 200ull); }
U32 H_TICK_u32ElapsedTime(U32 u32Start, U32 u32End) { return u32End - u32Start; }

void H_TICK_vSetFineTimer(U32 u32Number, U32 u32FineTicks, void (*pfnFunction)(void)) {
  if (u32Number > 2) return;
  s_atFineTimers[u32Number].u32FineTicks = u32FineTicks;
  s_atFineTimers[u32Number].pfnFunction = pfnFunction;
}

void L_CLOCK_Sleep(TICKS ticks) {
  struct timespec tDeadline;
  L_CLOCK_PrepTimeoutTicks(&tDeadline, ticks);
  TASK_vSleepUntil(&tDeadline);
}
