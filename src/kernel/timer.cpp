// Timers: expiries come from the clock seam, whose thread (or a test's clock advance) signals the owner's
// semaphore at once: no further thread between the clock and the task. Every start and stop begins a new generation of the timer; an
// expiry carries the generation it was armed in, so one of an earlier start is dropped and none of the
// current start is lost, however the restart and the expiry cross.
#include "kernel/timer.h"

#include <errno.h>
#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

#include "kernel/log.h"
#include "kernel/sema.h"
#include "kernel/task.h"
#include "kernel/task_table.h"
#include "kernel/tick.h"

namespace {

TIMER_INFO s_atTimers[ntmrs];
std::atomic<bool> s_bInit{false};
pthread_mutex_t TimerMutex = PTHREAD_MUTEX_INITIALIZER; // allocation and timer state
std::atomic<U32> timer_fired_count{0};
std::atomic<U32> timer_queue_count{0};
// Expiries handled, for tests that wait for them.
std::atomic<U32> s_u32Handled{0};
pthread_mutex_t s_tSyncMutex = PTHREAD_MUTEX_INITIALIZER;
pthread_cond_t s_tSyncCond = PTHREAD_COND_INITIALIZER;

const char *const s_apcStates[TMRST_COUNT] = {"idle", "running", "cycling"};

void vHandle(TIMER_INFO *ptTimer, U32 u32Tag) {
  pthread_mutex_lock(&TimerMutex);
  ptTimer->u8TimerSignal.store(0);
  const bool bCurrent = u32Tag == ptTimer->u32Generation;
  U8 u8State = ptTimer->u8TimerState.load();
  if (bCurrent && u8State != TMRST_IDLE) {
    if (u8State == TMRST_RUNNING) ptTimer->u8TimerState.store(TMRST_IDLE);
    if (ptTimer->Semaphore > 0) L_SEMA_Signal(ptTimer->Semaphore);
  }
  pthread_mutex_unlock(&TimerMutex);
  pthread_mutex_lock(&s_tSyncMutex);
  s_u32Handled.fetch_add(1);
  pthread_cond_broadcast(&s_tSyncCond);
  pthread_mutex_unlock(&s_tSyncMutex);
}

// Runs on the clock seam's thread (or a test's clock advance), with no lock of the clock held. An expiry of an
// earlier start carries an older generation and is dropped under the timer lock.
void vExpired(void *pvArg, U32 u32Tag) {
  TIMER_INFO *ptTimer = static_cast<TIMER_INFO *>(pvArg);
  timer_fired_count.fetch_add(1);
  ptTimer->timer_fired_count.fetch_add(1);
  ptTimer->u32ExpiredTag.store(u32Tag);
  ptTimer->u8TimerSignal.store(1);
  timer_queue_count.fetch_add(1);
  ptTimer->timer_queue_count.fetch_add(1);
  vHandle(ptTimer, u32Tag);
}

// TimerMutex held.
bool bInit(void) {
  if (s_bInit.load()) return true;
  PLATFORM_TIMER_vSetHandler(vExpired);
  for (int n = 0; n < ntmrs; n++) PLATFORM_TIMER_bCreate(&s_atTimers[n].TimerID, &s_atTimers[n]);
  s_bInit.store(true);
  return true;
}

// TimerMutex held.
TIMER_INFO *ptAllocate(TASK owner) {
  if (!bInit()) return nullptr;
  for (int n = 0; n < ntmrs; n++) {
    TIMER_INFO &tTimer = s_atTimers[n];
    if (tTimer.OwningTaskID != 0) continue;
    tTimer.OwningTaskID = owner;
    tTimer.Semaphore = 0;
    tTimer.u8TimerState.store(TMRST_IDLE);
    return &tTimer;
  }
  return nullptr;
}

// TimerMutex held: disarms; an expiry still queued belongs to the generation that ends here.
void vDisarm(TIMER_INFO *ptTimer) {
  PLATFORM_TIMER_vDisarm(&ptTimer->TimerID);
  ptTimer->u8TimerState.store(TMRST_IDLE);
  ptTimer->u32Generation++;
}

bool bOwner(const TIMER_INFO *ptTimer, TASK task) { return ptTimer != nullptr && ptTimer->OwningTaskID == task; }

} // namespace

TIMER_INFO *L_TIMER_Allocate(void) {
  TASK task = L_TASK_GetID(0);
  pthread_mutex_lock(&TimerMutex);
  TIMER_INFO *ptTimer = ptAllocate(task);
  pthread_mutex_unlock(&TimerMutex);
  return ptTimer;
}

TIMER_INFO *L_TIMER_Start(TIMER_INFO *ptTimer, U32 u32StartMs, U32 u32RecurMs, SEMA sema) {
  TASK task = L_TASK_GetID(0);
  pthread_mutex_lock(&TimerMutex);
  if (ptTimer == nullptr) ptTimer = ptAllocate(task);
  if (ptTimer == nullptr || !bOwner(ptTimer, task)) {
    pthread_mutex_unlock(&TimerMutex);
    return nullptr;
  }
  vDisarm(ptTimer);
  if (sema >= 0) ptTimer->Semaphore = sema;
  // An expiry from before the restart must not pass for the new one.
  if (ptTimer->Semaphore > 0) L_SEMA_SetPending(ptTimer->Semaphore);
  if (u32StartMs == 0) {
    if (ptTimer->Semaphore > 0) L_SEMA_Signal(ptTimer->Semaphore);
    if (u32RecurMs == 0) {
      pthread_mutex_unlock(&TimerMutex);
      return ptTimer;
    }
    u32StartMs = u32RecurMs;
  }
  ptTimer->u8TimerState.store(u32RecurMs != 0 ? TMRST_CYCLING : TMRST_RUNNING);
  PLATFORM_TIMER_vArm(&ptTimer->TimerID, u32StartMs, u32RecurMs, ptTimer->u32Generation);
  pthread_mutex_unlock(&TimerMutex);
  return ptTimer;
}

ERC L_TIMER_Stop(TIMER_INFO *ptTimer) {
  TASK task = L_TASK_GetID(0);
  pthread_mutex_lock(&TimerMutex);
  ERC erc = lsSUCCESS;
  if (!bOwner(ptTimer, task)) {
    erc = -lsTIMER_ILLEGAL;
  } else if (ptTimer->u8TimerState.load() == TMRST_IDLE) {
    erc = -lsTIMER_INACTIVE;
  } else {
    vDisarm(ptTimer);
  }
  pthread_mutex_unlock(&TimerMutex);
  return erc;
}

ERC L_TIMER_Release(TIMER_INFO *ptTimer) {
  if (!s_bInit.load()) return -lsTIMER_UNINIT;
  TASK task = L_TASK_GetID(0);
  pthread_mutex_lock(&TimerMutex);
  ERC erc = lsSUCCESS;
  if (!bOwner(ptTimer, task)) {
    erc = -lsTIMER_ILLEGAL;
  } else {
    vDisarm(ptTimer);
    ptTimer->OwningTaskID = 0;
  }
  pthread_mutex_unlock(&TimerMutex);
  return erc;
}

U32 L_TIMER_GetRemaining(TIMER_INFO *ptTimer) {
  if (ptTimer == nullptr || ptTimer->u8TimerState.load() == TMRST_IDLE) return 0;
  return (U32)((PLATFORM_TIMER_u64RemainingNs(&ptTimer->TimerID) + 500000ull) / 1000000ull);
}

U32 L_TIMER_GetElapsed(U32 *pu32Stored) {
  U32 u32Now = (U32)L_CLOCK_qwGetTimeInMillis();
  U32 u32Elapsed = u32Now - *pu32Stored;
  *pu32Stored = u32Now;
  return u32Elapsed;
}

ERC L_TIMER_InitTimer(TIMER_INFO *ptTimer, TASK owner) {
  ptTimer->u8TimerState.store(TMRST_IDLE);
  ptTimer->u8TimerSignal.store(0);
  ptTimer->u32ExpiredTag.store(0);
  ptTimer->u32Generation = 0;
  ptTimer->OwningTaskID = owner;
  ptTimer->Semaphore = 0;
  ptTimer->timer_fired_count.store(0);
  ptTimer->timer_queue_count.store(0);
  if (!PLATFORM_TIMER_bCreate(&ptTimer->TimerID, ptTimer)) return -lsNO_TIMER;
  return lsSUCCESS;
}

void L_TIMER_Debug(void) {
  log_me("timer information (%d total %d fired %d queued)", ntmrs, (int)timer_fired_count.load(),
         (int)timer_queue_count.load());
  // Owners and semaphores are copied under the timer mutex: tasks start and release timers while this runs.
  TASK atOwners[ntmrs] = {};
  SEMA atSemas[ntmrs] = {};
  if (!TASK_bLockForDump(&TimerMutex)) {
    log_me("  timer mutex busy: owners and semaphores not shown");
  } else {
    for (int n = 0; n < ntmrs; n++) {
      atOwners[n] = s_atTimers[n].OwningTaskID;
      atSemas[n] = s_atTimers[n].Semaphore;
    }
    pthread_mutex_unlock(&TimerMutex);
  }
  for (int n = 0; n < ntmrs; n++) {
    TIMER_INFO &tTimer = s_atTimers[n];
    U8 u8State = tTimer.u8TimerState.load();
    log_me("  %02d: %s %squeued owner task #%d (%s) semaphore #%d (%s) fired %d queued %d", n + 1,
           s_apcStates[u8State < TMRST_COUNT ? u8State : 0], tTimer.u8TimerSignal.load() ? "" : "not ",
           atOwners[n], get_task_name(atOwners[n]), atSemas[n], get_semaphore_name(atSemas[n]),
           (int)tTimer.timer_fired_count.load(), (int)tTimer.timer_queue_count.load());
  }
}

void TIMER_vSyncForTest(void) {
  pthread_mutex_lock(&s_tSyncMutex);
  while (s_u32Handled.load() != timer_queue_count.load()) {
    struct timespec tPoll;
    clock_gettime(CLOCK_REALTIME, &tPoll);
    tPoll.tv_nsec += 1000000;
    if (tPoll.tv_nsec >= 1000000000) {
      tPoll.tv_sec++;
      tPoll.tv_nsec -= 1000000000;
    }
    pthread_cond_timedwait(&s_tSyncCond, &s_tSyncMutex, &tPoll);
  }
  pthread_mutex_unlock(&s_tSyncMutex);
}
