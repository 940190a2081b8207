// The test clock: a monotonic reading that moves only when a test advances it; timers expire in time order.
#include <pthread.h>

#include <atomic>

#include "platform/clock_internal.h"

namespace {
std::atomic<bool> s_bActive{false};
std::atomic<bool> s_bRead{false}; // a reading was taken: the choice of clock is fixed
std::atomic<U64> s_u64Now{0};
pthread_mutex_t s_tMutex = PTHREAD_MUTEX_INITIALIZER; // guards the timer list and the timer fields
PLATFORM_TIMER *s_ptTimers = nullptr;
} // namespace

bool CLOCK_TEST_bActive(void) {
  s_bRead.store(true, std::memory_order_relaxed);
  return s_bActive.load(std::memory_order_acquire);
}

U64 CLOCK_TEST_u64Now(void) { return s_u64Now.load(std::memory_order_acquire); }

bool PLATFORM_CLOCK_bUseTestClock(U64 u64StartNs) {
  if (s_bRead.load()) return s_bActive.load();
  s_u64Now.store(u64StartNs);
  s_bActive.store(true, std::memory_order_release);
  return true;
}

bool PLATFORM_CLOCK_bIsTestClock(void) { return s_bActive.load(); }

void CLOCK_TEST_vRegister(PLATFORM_TIMER *ptTimer) {
  pthread_mutex_lock(&s_tMutex);
  for (PLATFORM_TIMER *pt = s_ptTimers; pt != nullptr; pt = pt->ptTestNext) {
    if (pt == ptTimer) {
      pthread_mutex_unlock(&s_tMutex);
      return;
    }
  }
  ptTimer->ptTestNext = s_ptTimers;
  s_ptTimers = ptTimer;
  pthread_mutex_unlock(&s_tMutex);
}

void CLOCK_TEST_vArm(PLATFORM_TIMER *ptTimer, U32 u32StartMs, U32 u32RecurMs) {
  pthread_mutex_lock(&s_tMutex);
  ptTimer->u64TestNextNs = s_u64Now.load() + (U64)u32StartMs * 1000000ull;
  ptTimer->u64TestPeriodNs = (U64)u32RecurMs * 1000000ull;
  ptTimer->bTestArmed = true;
  pthread_mutex_unlock(&s_tMutex);
  // A timer due now expires at once, as the system timer would.
  if (u32StartMs == 0) PLATFORM_CLOCK_vAdvanceTestClock(0);
}

void CLOCK_TEST_vDisarm(PLATFORM_TIMER *ptTimer) {
  pthread_mutex_lock(&s_tMutex);
  ptTimer->bTestArmed = false;
  pthread_mutex_unlock(&s_tMutex);
}

U64 CLOCK_TEST_u64Remaining(PLATFORM_TIMER *ptTimer) {
  pthread_mutex_lock(&s_tMutex);
  U64 u64Now = s_u64Now.load();
  U64 u64Left = 0;
  if (ptTimer->bTestArmed && ptTimer->u64TestNextNs > u64Now) u64Left = ptTimer->u64TestNextNs - u64Now;
  pthread_mutex_unlock(&s_tMutex);
  return u64Left;
}

void PLATFORM_CLOCK_vAdvanceTestClock(U64 u64Ns) {
  pthread_mutex_lock(&s_tMutex);
  U64 u64Target = s_u64Now.load() + u64Ns;
  for (;;) {
    PLATFORM_TIMER *ptDue = nullptr;
    for (PLATFORM_TIMER *pt = s_ptTimers; pt != nullptr; pt = pt->ptTestNext) {
      if (pt->bTestArmed && pt->u64TestNextNs <= u64Target &&
          (ptDue == nullptr || pt->u64TestNextNs < ptDue->u64TestNextNs)) {
        ptDue = pt;
      }
    }
    if (ptDue == nullptr) break;
    if (ptDue->u64TestNextNs > s_u64Now.load()) s_u64Now.store(ptDue->u64TestNextNs);
    if (ptDue->u64TestPeriodNs == 0) {
      ptDue->bTestArmed = false;
    } else {
      ptDue->u64TestNextNs += ptDue->u64TestPeriodNs;
    }
    // The expiry handler only touches atomics and the pipe, as in a signal handler.
    CLOCK_vExpire(ptDue->pvArg);
  }
  s_u64Now.store(u64Target);
  pthread_mutex_unlock(&s_tMutex);
}

void PLATFORM_CLOCK_vAdvanceTestClockMs(U64 u64Ms) { PLATFORM_CLOCK_vAdvanceTestClock(u64Ms * 1000000ull); }
