// The system clock: CLOCK_MONOTONIC, condition variables on it and POSIX timers raising SIGUSR1.
// Every call defers to the test clock when a test chose it.
#include "platform/clock.h"

#include <errno.h>
#include <signal.h>
#include <string.h>
#include <unistd.h>

#include <atomic>

#include "platform/clock_internal.h"

namespace {
std::atomic<void (*)(void *)> s_pfnExpired{nullptr};
std::atomic<pid_t> s_tidTarget{0};
// How long one poll of a wait lasts while the test clock runs (real time).
constexpr long POLL_NS = 1000000;

struct timespec tRealDeadline(long lNs) {
  struct timespec tNow;
  clock_gettime(CLOCK_MONOTONIC, &tNow);
  return CLOCK_tFromNs(CLOCK_u64ToNs(&tNow) + (U64)lNs);
}

void vSignalHandler(int, siginfo_t *ptInfo, void *) {
  if (ptInfo->si_code != SI_TIMER) return;
  CLOCK_vExpire(ptInfo->si_value.sival_ptr);
}
} // namespace

void CLOCK_vExpire(void *pvArg) {
  void (*pfn)(void *) = s_pfnExpired.load();
  if (pfn != nullptr) pfn(pvArg);
}

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

void PLATFORM_TIMER_vSetHandler(void (*pfnExpired)(void *pvArg)) {
  s_pfnExpired.store(pfnExpired);
  struct sigaction tAction;
  memset(&tAction, 0, sizeof tAction);
  tAction.sa_sigaction = vSignalHandler;
  tAction.sa_flags = SA_SIGINFO | SA_RESTART;
  sigemptyset(&tAction.sa_mask);
  sigaction(SIGUSR1, &tAction, nullptr);
}

void PLATFORM_TIMER_vDeliverToCaller(void) { s_tidTarget.store(gettid()); }

bool PLATFORM_TIMER_bCreate(PLATFORM_TIMER *ptTimer, void *pvArg) {
  ptTimer->pvArg = pvArg;
  ptTimer->bTestArmed = false;
  if (CLOCK_TEST_bActive()) {
    CLOCK_TEST_vRegister(ptTimer);
    return true;
  }
  struct sigevent tEvent;
  memset(&tEvent, 0, sizeof tEvent);
  pid_t tidTarget = s_tidTarget.load();
  tEvent.sigev_notify = tidTarget != 0 ? SIGEV_THREAD_ID : SIGEV_SIGNAL;
  tEvent._sigev_un._tid = tidTarget; // the thread of SIGEV_THREAD_ID
  tEvent.sigev_signo = SIGUSR1;
  tEvent.sigev_value.sival_ptr = pvArg;
  ptTimer->bHostCreated = timer_create(CLOCK_MONOTONIC, &tEvent, &ptTimer->tHost) == 0;
  return ptTimer->bHostCreated;
}

void PLATFORM_TIMER_vArm(PLATFORM_TIMER *ptTimer, U32 u32StartMs, U32 u32RecurMs) {
  if (CLOCK_TEST_bActive()) {
    CLOCK_TEST_vArm(ptTimer, u32StartMs, u32RecurMs);
    return;
  }
  if (!ptTimer->bHostCreated) return;
  struct itimerspec tSpec;
  // A zero start would disarm a POSIX timer; the smallest delay stands for "at once".
  U64 u64StartNs = u32StartMs == 0 ? 1 : (U64)u32StartMs * 1000000ull;
  tSpec.it_value = CLOCK_tFromNs(u64StartNs);
  tSpec.it_interval = CLOCK_tFromNs((U64)u32RecurMs * 1000000ull);
  timer_settime(ptTimer->tHost, 0, &tSpec, nullptr);
}

void PLATFORM_TIMER_vDisarm(PLATFORM_TIMER *ptTimer) {
  if (CLOCK_TEST_bActive()) {
    CLOCK_TEST_vDisarm(ptTimer);
    return;
  }
  if (!ptTimer->bHostCreated) return;
  struct itimerspec tSpec;
  memset(&tSpec, 0, sizeof tSpec);
  timer_settime(ptTimer->tHost, 0, &tSpec, nullptr);
}

U64 PLATFORM_TIMER_u64RemainingNs(PLATFORM_TIMER *ptTimer) {
  if (CLOCK_TEST_bActive()) return CLOCK_TEST_u64Remaining(ptTimer);
  if (!ptTimer->bHostCreated) return 0;
  struct itimerspec tSpec;
  if (timer_gettime(ptTimer->tHost, &tSpec) != 0) return 0;
  return CLOCK_u64ToNs(&tSpec.it_value);
}
