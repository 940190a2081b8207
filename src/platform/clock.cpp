// The system clock: CLOCK_MONOTONIC, condition variables on it, and interval timers served by a thread of
// the clock seam that sleeps until the next due expiry (no signals: blocking calls elsewhere are never
// interrupted, and every expiry is seen in order). Every call defers to the test clock when a test chose it.
#include "platform/clock.h"

#include <errno.h>
#include <sched.h>
#include <string.h>
#include <sys/prctl.h>

#include <atomic>

#include "platform/clock_internal.h"

namespace {
std::atomic<void (*)(void *, U32)> s_pfnExpired{nullptr};
// How long one poll of a wait lasts while the test clock runs (real time).
constexpr long POLL_NS = 1000000;
constexpr U64 NEVER = ~0ull;

// The timers of both clocks; guarded by s_tTimerMutex. The clock thread sleeps on s_tTimerCond.
pthread_mutex_t s_tTimerMutex = PTHREAD_MUTEX_INITIALIZER;
pthread_cond_t s_tTimerCond;
PLATFORM_TIMER *s_ptTimers = nullptr;
bool s_bThreadStarted = false; // guarded by s_tTimerMutex

struct timespec tRealDeadline(long lNs) {
  struct timespec tNow;
  clock_gettime(CLOCK_MONOTONIC, &tNow);
  return CLOCK_tFromNs(CLOCK_u64ToNs(&tNow) + (U64)lNs);
}

U64 u64RealNow(void) {
  struct timespec tNow;
  clock_gettime(CLOCK_MONOTONIC, &tNow);
  return CLOCK_u64ToNs(&tNow);
}

// Timer list locked: the earliest armed timer due at or before u64Until, else NULL.
PLATFORM_TIMER *ptEarliest(U64 u64Until) {
  PLATFORM_TIMER *ptDue = nullptr;
  for (PLATFORM_TIMER *pt = s_ptTimers; pt != nullptr; pt = pt->ptNext) {
    if (pt->bArmed && pt->u64NextNs <= u64Until && (ptDue == nullptr || pt->u64NextNs < ptDue->u64NextNs)) {
      ptDue = pt;
    }
  }
  return ptDue;
}

// What an expiry hands to the handler, called once the timer list is unlocked.
struct DUE {
  void *pvArg;
  U32 u32Tag;
};

// Timer list locked: the timer has expired; schedules its next period. On the system clock a thread that was
// held up skips the periods it missed (one expiry for them all, as a busy owner would see anyway).
DUE tFire(PLATFORM_TIMER *ptTimer, U64 u64Now) {
  if (ptTimer->u64PeriodNs == 0) {
    ptTimer->bArmed = false;
  } else {
    ptTimer->u64NextNs += ptTimer->u64PeriodNs;
    if (ptTimer->u64NextNs <= u64Now) {
      ptTimer->u64NextNs += (u64Now - ptTimer->u64NextNs) / ptTimer->u64PeriodNs * ptTimer->u64PeriodNs +
                            ptTimer->u64PeriodNs;
    }
  }
  return {ptTimer->pvArg, ptTimer->u32Tag};
}

void vCall(const DUE &tDue) {
  void (*pfn)(void *, U32) = s_pfnExpired.load();
  if (pfn != nullptr) pfn(tDue.pvArg, tDue.u32Tag);
}

void *pvClockThread(void *) {
  // Expiries are prompt while the tasks run at normal priority; without the right it runs on as it is.
  struct sched_param tParam;
  tParam.sched_priority = 98;
  pthread_setschedparam(pthread_self(), SCHED_FIFO, &tParam);
  // Without real-time scheduling the kernel may defer a timed wake by its default slack (50 us); expiries
  // should be as prompt as a real-time thread's.
  prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
  pthread_mutex_lock(&s_tTimerMutex);
  for (;;) {
    U64 u64Next = NEVER;
    if (!CLOCK_TEST_bActive()) {
      const U64 u64Now = u64RealNow();
      DUE atDue[32];
      int nDue = 0;
      while (nDue < 32) {
        PLATFORM_TIMER *ptDue = ptEarliest(u64Now);
        if (ptDue == nullptr) break;
        atDue[nDue++] = tFire(ptDue, u64Now);
      }
      if (nDue > 0) {
        // The handler may take the locks of the timer's users, who arm timers with those locks held.
        pthread_mutex_unlock(&s_tTimerMutex);
        for (int n = 0; n < nDue; n++) vCall(atDue[n]);
        pthread_mutex_lock(&s_tTimerMutex);
        continue;
      }
      for (PLATFORM_TIMER *pt = s_ptTimers; pt != nullptr; pt = pt->ptNext) {
        if (pt->bArmed && pt->u64NextNs < u64Next) u64Next = pt->u64NextNs;
      }
    }
    if (u64Next == NEVER) {
      pthread_cond_wait(&s_tTimerCond, &s_tTimerMutex);
    } else {
      const struct timespec tDeadline = CLOCK_tFromNs(u64Next);
      pthread_cond_timedwait(&s_tTimerCond, &s_tTimerMutex, &tDeadline);
    }
  }
  return nullptr;
}

// Timer list locked.
void vStartThread(void) {
  if (s_bThreadStarted) return;
  PLATFORM_CLOCK_vCondInit(&s_tTimerCond);
  pthread_t tThread;
  pthread_attr_t tAttr;
  pthread_attr_init(&tAttr);
  pthread_attr_setdetachstate(&tAttr, PTHREAD_CREATE_DETACHED);
  s_bThreadStarted = pthread_create(&tThread, &tAttr, pvClockThread, nullptr) == 0;
  pthread_attr_destroy(&tAttr);
}
} // namespace

void PLATFORM_CLOCK_vNow(struct timespec *ptNow) {
  if (CLOCK_TEST_bActive()) {
    *ptNow = CLOCK_tFromNs(CLOCK_TEST_u64Now());
    return;
  }
  clock_gettime(CLOCK_MONOTONIC, ptNow);
}

void PLATFORM_CLOCK_vCondInit(pthread_cond_t *ptCond) {
  pthread_condattr_t tAttr;
  pthread_condattr_init(&tAttr);
  pthread_condattr_setclock(&tAttr, CLOCK_MONOTONIC);
  pthread_cond_init(ptCond, &tAttr);
  pthread_condattr_destroy(&tAttr);
}

int PLATFORM_CLOCK_nCondWait(pthread_cond_t *ptCond, pthread_mutex_t *ptMutex, const struct timespec *ptDeadline) {
  if (ptDeadline == nullptr) return pthread_cond_wait(ptCond, ptMutex);
  if (!CLOCK_TEST_bActive()) {
    int nResult = pthread_cond_timedwait(ptCond, ptMutex, ptDeadline);
    return nResult == ETIMEDOUT ? ETIMEDOUT : 0;
  }
  // Test clock: the deadline only passes when the test moves the clock; poll it.
  if (CLOCK_TEST_u64Now() >= CLOCK_u64ToNs(ptDeadline)) return ETIMEDOUT;
  struct timespec tPoll = tRealDeadline(POLL_NS);
  pthread_cond_timedwait(ptCond, ptMutex, &tPoll);
  return 0;
}

int PLATFORM_CLOCK_nMutexLock(pthread_mutex_t *ptMutex, const struct timespec *ptDeadline) {
  if (!CLOCK_TEST_bActive()) {
    int nResult = pthread_mutex_clocklock(ptMutex, CLOCK_MONOTONIC, ptDeadline);
    return nResult == 0 ? 0 : ETIMEDOUT;
  }
  for (;;) {
    if (pthread_mutex_trylock(ptMutex) == 0) return 0;
    if (CLOCK_TEST_u64Now() >= CLOCK_u64ToNs(ptDeadline)) return ETIMEDOUT;
    struct timespec tPoll = {0, POLL_NS / 4};
    nanosleep(&tPoll, nullptr);
  }
}

void PLATFORM_TIMER_vSetHandler(void (*pfnExpired)(void *pvArg, U32 u32Tag)) { s_pfnExpired.store(pfnExpired); }

bool PLATFORM_TIMER_bCreate(PLATFORM_TIMER *ptTimer, void *pvArg) {
  pthread_mutex_lock(&s_tTimerMutex);
  bool bKnown = false;
  for (PLATFORM_TIMER *pt = s_ptTimers; pt != nullptr; pt = pt->ptNext) bKnown = bKnown || pt == ptTimer;
  ptTimer->pvArg = pvArg;
  ptTimer->u32Tag = 0;
  ptTimer->bArmed = false;
  if (!bKnown) {
    ptTimer->ptNext = s_ptTimers;
    s_ptTimers = ptTimer;
  }
  vStartThread();
  const bool bReady = s_bThreadStarted;
  pthread_mutex_unlock(&s_tTimerMutex);
  return bReady;
}

void PLATFORM_TIMER_vArm(PLATFORM_TIMER *ptTimer, U32 u32StartMs, U32 u32RecurMs, U32 u32Tag) {
  const bool bTest = CLOCK_TEST_bActive();
  pthread_mutex_lock(&s_tTimerMutex);
  const U64 u64Now = bTest ? CLOCK_TEST_u64Now() : u64RealNow();
  ptTimer->u64NextNs = u64Now + (U64)u32StartMs * 1000000ull;
  ptTimer->u64PeriodNs = (U64)u32RecurMs * 1000000ull;
  ptTimer->u32Tag = u32Tag;
  ptTimer->bArmed = true;
  if (!bTest) pthread_cond_signal(&s_tTimerCond);
  pthread_mutex_unlock(&s_tTimerMutex);
  // A timer due now expires at once, as the system timer would.
  if (bTest && u32StartMs == 0) PLATFORM_CLOCK_vAdvanceTestClock(0);
}

void PLATFORM_TIMER_vDisarm(PLATFORM_TIMER *ptTimer) {
  pthread_mutex_lock(&s_tTimerMutex);
  ptTimer->bArmed = false;
  pthread_mutex_unlock(&s_tTimerMutex);
}

U64 PLATFORM_TIMER_u64RemainingNs(PLATFORM_TIMER *ptTimer) {
  const bool bTest = CLOCK_TEST_bActive();
  pthread_mutex_lock(&s_tTimerMutex);
  const U64 u64Now = bTest ? CLOCK_TEST_u64Now() : u64RealNow();
  U64 u64Left = 0;
  if (ptTimer->bArmed && ptTimer->u64NextNs > u64Now) u64Left = ptTimer->u64NextNs - u64Now;
  pthread_mutex_unlock(&s_tTimerMutex);
  return u64Left;
}

void PLATFORM_CLOCK_vAdvanceTestClock(U64 u64Ns) {
  // One advance at a time, so expiries keep their time order while the handler runs unlocked.
  static pthread_mutex_t s_tAdvanceMutex = PTHREAD_MUTEX_INITIALIZER;
  pthread_mutex_lock(&s_tAdvanceMutex);
  pthread_mutex_lock(&s_tTimerMutex);
  const U64 u64Target = CLOCK_TEST_u64Now() + u64Ns;
  // Due timers expire in time order, a cyclic one once per period, each with the clock at its expiry.
  while (PLATFORM_TIMER *ptDue = ptEarliest(u64Target)) {
    if (ptDue->u64NextNs > CLOCK_TEST_u64Now()) CLOCK_TEST_vSetNow(ptDue->u64NextNs);
    const DUE tDue = tFire(ptDue, 0);
    pthread_mutex_unlock(&s_tTimerMutex);
    vCall(tDue);
    pthread_mutex_lock(&s_tTimerMutex);
  }
  CLOCK_TEST_vSetNow(u64Target);
  pthread_mutex_unlock(&s_tTimerMutex);
  pthread_mutex_unlock(&s_tAdvanceMutex);
}

void PLATFORM_CLOCK_vAdvanceTestClockMs(U64 u64Ms) { PLATFORM_CLOCK_vAdvanceTestClock(u64Ms * 1000000ull); }
