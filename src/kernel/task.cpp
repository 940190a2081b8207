// Tasks over POSIX threads: start handshake, task numbers, private wait points, ending at safe points,
// activity statistics and plain threads.
#include "kernel/task.h"

#include <errno.h>
#include <poll.h>
#include <sched.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <stdlib.h>
#include <string.h>

#include <atomic>

#include "kernel/log.h"
#include "kernel/task_table.h"
#include "kernel/tick.h"
#include "platform/clock.h"

namespace {

// The calling thread as a task: its number and the state an end request needs.
struct TASK_THREAD {
  TASK task = 0;
  std::atomic<bool> bEnd{false};
  std::atomic<pthread_mutex_t *> ptWaitMutex{nullptr};
  std::atomic<pthread_cond_t *> ptWaitCond{nullptr};
  // Readable once the end is requested: wakes the task in descriptor waits. One per thread, closed when it ends.
  int nEndFd = -1;
};

struct TASK_INFO {
  TASK_PARAM TaskParam;                // TParamPriority holds the thread priority
  std::atomic<pthread_t> ThreadID{0};
  pthread_t tLastThread = 0;          // joined before the stack is used again
  bool bJoinable = false;
  pthread_mutex_t TaskMutex;           // recursive
  pthread_cond_t TaskCond;             // on the kernel clock
  void *TaskStackPtr = nullptr;
  size_t sizStack = 0;
  std::atomic<S32> active_count{0};
  std::atomic<U64> u64ActivUs{0};      // activ_time, microseconds since start
  std::atomic<U64> u64AccumUs{0};      // accum_time
  std::atomic<U64> u64SleepingUntilNs{0}; // deadline of the sleep the task is in, 0 when awake
  TASK_THREAD *ptThread = nullptr;     // the running thread of the task; guarded by s_tTasksMutex
  bool bStarting = false;              // a thread is being created; guarded by s_tTasksMutex
};

TASK_INFO s_atTasks[MAINTHREAD + 1]; // index 1..70
pthread_once_t s_tOnce = PTHREAD_ONCE_INIT;
pthread_mutex_t s_tTasksMutex = PTHREAD_MUTEX_INITIALIZER;
// Broadcast (under s_tTasksMutex) whenever a task's thread lets go of its record.
pthread_cond_t s_tEndedCond;
pthread_mutex_t KickOffMutex = PTHREAD_MUTEX_INITIALIZER;
pthread_cond_t KickOffCond = PTHREAD_COND_INITIALIZER;
// One start handshake: the starter waits until its own new thread reports.
struct KICK_OFF {
  TASK_INFO *ptInfo;
  bool bKickedOff;
};

thread_local TASK_THREAD *t_ptSelf = nullptr;
thread_local int t_nMutexesHeld = 0;

// Host code (C++ library, formatted printing) needs far more stack than the table's sizes.
#if defined(__SANITIZE_THREAD__)
constexpr size_t HOST_MIN_STACK = 4 * 1024 * 1024; // the thread sanitizer keeps its own state on the stack
#elif defined(__SANITIZE_ADDRESS__)
constexpr size_t HOST_MIN_STACK = 1024 * 1024;
#else
constexpr size_t HOST_MIN_STACK = 256 * 1024;
#endif

U32 u32ConvertPriorityFromRTXC(PRIORITY priority) {
  int nLevel = 100 - (int)priority;
  if (nLevel <= 0) return 0;
  int nMax = sched_get_priority_max(SCHED_OTHER);
  int nMin = sched_get_priority_min(SCHED_OTHER);
  if (nMax <= 0) return 0;
  if (nLevel >= nMax) return (U32)(nMax - 1);
  if (nLevel < nMin) return (U32)nMin;
  return (U32)nLevel;
}

void vInit(void) {
  for (TASK task = 1; task <= MAINTHREAD; task++) {
    TASK_INFO &tInfo = s_atTasks[task];
    if (task <= ntasks) {
      tInfo.TaskParam = TaskParams[task - 1];
      tInfo.TaskParam.TParamPriority = (PRIORITY)u32ConvertPriorityFromRTXC(TaskParams[task - 1].TParamPriority);
    } else {
      memset(&tInfo.TaskParam, 0, sizeof tInfo.TaskParam);
      tInfo.ThreadID.store(pthread_self());
      // The main thread is running.
      tInfo.active_count.store(1);
      tInfo.u64ActivUs.store(L_CLOCK_qwGetTimeInMicros());
    }
    TASK_vInitWaitPoint(&tInfo.TaskMutex, &tInfo.TaskCond);
  }
  PLATFORM_CLOCK_vCondInit(&s_tEndedCond);
}

void vEnsureInit(void) { pthread_once(&s_tOnce, vInit); }

TASK tSelf(void) { return t_ptSelf != nullptr ? t_ptSelf->task : MAINTHREAD; }

TASK tResolve(TASK task) { return task == 0 ? tSelf() : task; }

bool bValid(TASK task) { return task >= 1 && task <= MAINTHREAD; }

size_t sizHostStack(size_t sizAsked) {
  size_t siz = sizAsked < HOST_MIN_STACK ? HOST_MIN_STACK : sizAsked;
  return (siz + 4095) & ~(size_t)4095;
}

void *pvAllocStack(size_t siz) {
  void *pv = nullptr;
  if (posix_memalign(&pv, 4096, siz) != 0) return nullptr;
  return pv;
}

// Ends the calling thread: closes its active period and lets go of the record.
[[noreturn]] void vExit(void) {
  TASK_THREAD *ptSelf = t_ptSelf;
  L_TASK_Deactivate();
  if (ptSelf != nullptr) {
    TASK_INFO &tInfo = s_atTasks[ptSelf->task];
    pthread_mutex_lock(&s_tTasksMutex);
    if (tInfo.ptThread == ptSelf) tInfo.ptThread = nullptr;
    pthread_t tMe = pthread_self();
    if (pthread_equal(tInfo.ThreadID.load(), tMe)) tInfo.ThreadID.store(0);
    pthread_cond_broadcast(&s_tEndedCond);
    pthread_mutex_unlock(&s_tTasksMutex);
    // No ender can reach the descriptor any more: the record no longer names this thread.
    if (ptSelf->nEndFd >= 0) close(ptSelf->nEndFd);
    t_ptSelf = nullptr;
  }
  pthread_exit(nullptr);
}

void *pvKickOff(void *pvArg) {
  KICK_OFF *ptKick = static_cast<KICK_OFF *>(pvArg);
  TASK_INFO *ptInfo = ptKick->ptInfo;
  TASK_THREAD tSelfBlock;
  tSelfBlock.task = (TASK)(ptInfo - s_atTasks);
  tSelfBlock.nEndFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  t_ptSelf = &tSelfBlock;
  L_TASK_Activate();
  // Not detached: a later start joins this thread before it reuses the stack.
  if (ptInfo->TaskParam.TParamPriority != 0) {
    struct sched_param tParam;
    tParam.sched_priority = ptInfo->TaskParam.TParamPriority;
    pthread_setschedparam(pthread_self(), SCHED_FIFO, &tParam);
  }
  pthread_mutex_lock(&s_tTasksMutex);
  ptInfo->ThreadID.store(pthread_self());
  ptInfo->ptThread = &tSelfBlock;
  ptInfo->bStarting = false;
  pthread_mutex_unlock(&s_tTasksMutex);
  void (*pfnEntry)(void) = ptInfo->TaskParam.TParamStartFunction;

  // Several starters may wait (a new task starts others at once): wake all, each tests its own flag.
  pthread_mutex_lock(&KickOffMutex);
  ptKick->bKickedOff = true;
  pthread_cond_broadcast(&KickOffCond);
  pthread_mutex_unlock(&KickOffMutex);

  if (pfnEntry != nullptr) pfnEntry();
  // The entry returned: the thread ends; the record no longer names it.
  vExit();
}

ERC erCreate(TASK_INFO &tInfo);

ERC erStart(TASK_INFO &tInfo) {
  pthread_mutex_lock(&s_tTasksMutex);
  // The previous thread of this task still runs (an end was asked for but not reached yet).
  bool bBusy = tInfo.ptThread != nullptr || tInfo.bStarting;
  tInfo.bStarting = !bBusy;
  pthread_mutex_unlock(&s_tTasksMutex);
  if (bBusy) return -lsTASK_START;
  ERC erc = erCreate(tInfo);
  if (erc != lsSUCCESS) {
    pthread_mutex_lock(&s_tTasksMutex);
    tInfo.bStarting = false;
    pthread_mutex_unlock(&s_tTasksMutex);
  }
  return erc;
}

// s_tTasksMutex held: joins the task's last thread once it has let go of the record (never the caller).
void vJoinEnded(TASK_INFO &tInfo) {
  if (!tInfo.bJoinable || tInfo.ptThread != nullptr || pthread_equal(tInfo.tLastThread, pthread_self())) return;
  // The thread has left the record and only has pthread_exit left to run.
  pthread_join(tInfo.tLastThread, nullptr);
  tInfo.bJoinable = false;
}

// KickOffMutex held; the task is marked as starting.
ERC erCreate(TASK_INFO &tInfo) {
  pthread_mutex_lock(&s_tTasksMutex);
  vJoinEnded(tInfo);
  pthread_mutex_unlock(&s_tTasksMutex);

  if (tInfo.TaskStackPtr == nullptr) {
    size_t siz = sizHostStack((size_t)tInfo.TaskParam.TParamStackSize + 16384);
    tInfo.TaskStackPtr = pvAllocStack(siz);
    if (tInfo.TaskStackPtr == nullptr) return -lsTASK_MEMORY;
    tInfo.sizStack = siz;
  }

  pthread_attr_t tAttr;
  if (pthread_attr_init(&tAttr) != 0) return -lsTASK_PARAMS;
  struct sched_param tParam;
  tParam.sched_priority = tInfo.TaskParam.TParamPriority;
  int nPolicy = tParam.sched_priority != 0 ? SCHED_FIFO : SCHED_OTHER;
  if (pthread_attr_setinheritsched(&tAttr, PTHREAD_EXPLICIT_SCHED) != 0 ||
      pthread_attr_setschedpolicy(&tAttr, nPolicy) != 0 || pthread_attr_setschedparam(&tAttr, &tParam) != 0 ||
      pthread_attr_setstack(&tAttr, tInfo.TaskStackPtr, tInfo.sizStack) != 0) {
    pthread_attr_destroy(&tAttr);
    return -lsTASK_PARAMS;
  }

  KICK_OFF tKick = {&tInfo, false};
  pthread_t tThread;
  if (pthread_create(&tThread, &tAttr, pvKickOff, &tKick) != 0) {
    pthread_attr_destroy(&tAttr);
    return -lsTASK_START;
  }
  pthread_attr_destroy(&tAttr);
  pthread_mutex_lock(&s_tTasksMutex);
  tInfo.tLastThread = tThread;
  tInfo.bJoinable = true;
  pthread_mutex_unlock(&s_tTasksMutex);
  // The new thread signals before it calls its entry.
  L_TASK_Deactivate();
  while (!tKick.bKickedOff) pthread_cond_wait(&KickOffCond, &KickOffMutex);
  L_TASK_Activate();
  return lsSUCCESS;
}

} // namespace

ERC L_TASK_Start(TASK task) {
  vEnsureInit();
  task = tResolve(task);
  if (!bValid(task)) return -lsTASK_INVALID;
  if (task <= ntasks && task_disabled[task - 1]) return lsSUCCESS;
  TASK_INFO &tInfo = s_atTasks[task];
  if (tInfo.TaskParam.TParamStartFunction == nullptr) return -lsTASK_PARAMS;

  // The start itself is serialised; the wait for the new thread releases the mutex.
  pthread_mutex_lock(&KickOffMutex);
  ERC erc = erStart(tInfo);
  pthread_mutex_unlock(&KickOffMutex);
  return erc;
}

ERC L_TASK_Terminate(TASK task) {
  vEnsureInit();
  task = tResolve(task);
  if (!bValid(task)) return -lsTASK_INVALID;
  if (task == tSelf()) vExit();

  TASK_INFO &tInfo = s_atTasks[task];
  pthread_mutex_lock(&s_tTasksMutex);
  tInfo.ThreadID.store(0);
  TASK_THREAD *ptThread = tInfo.ptThread;
  if (ptThread != nullptr) {
    ptThread->bEnd.store(true);
    // Wake it if it sleeps in a kernel wait; it ends there once it holds no numbered mutex.
    pthread_mutex_t *ptMutex = ptThread->ptWaitMutex.load();
    pthread_cond_t *ptCond = ptThread->ptWaitCond.load();
    if (ptMutex != nullptr && ptCond != nullptr) {
      pthread_mutex_lock(ptMutex);
      pthread_cond_broadcast(ptCond);
      pthread_mutex_unlock(ptMutex);
    }
    // And if it waits on a descriptor.
    if (ptThread->nEndFd >= 0) {
      const uint64_t u64One = 1;
      ssize_t nWritten = write(ptThread->nEndFd, &u64One, sizeof u64One);
      (void)nWritten;
    }
  }
  pthread_mutex_unlock(&s_tTasksMutex);
  return lsSUCCESS;
}

ERC L_TASK_WaitEnd(TASK task, TICKS ticks) {
  vEnsureInit();
  task = tResolve(task);
  if (!bValid(task) || task == tSelf()) return -lsTASK_INVALID;
  TASK_INFO &tInfo = s_atTasks[task];
  struct timespec tDeadline;
  L_CLOCK_PrepTimeoutTicks(&tDeadline, ticks);
  L_TASK_Deactivate();
  pthread_mutex_lock(&s_tTasksMutex);
  int nResult = 0;
  while ((tInfo.ptThread != nullptr || tInfo.bStarting) && nResult == 0) {
    nResult = PLATFORM_CLOCK_nCondWait(&s_tEndedCond, &s_tTasksMutex, &tDeadline);
  }
  const bool bEnded = tInfo.ptThread == nullptr && !tInfo.bStarting;
  if (bEnded) vJoinEnded(tInfo);
  pthread_mutex_unlock(&s_tTasksMutex);
  L_TASK_Activate();
  return bEnded ? lsSUCCESS : -lsTIMEOUT;
}

ERC L_TASK_Restart(TASK task, TICKS ticks) {
  vEnsureInit();
  task = tResolve(task);
  if (!bValid(task) || task == tSelf()) return -lsTASK_INVALID;
  L_TASK_Terminate(task);
  const ERC erc = L_TASK_WaitEnd(task, ticks);
  if (erc != lsSUCCESS) return -lsTASK_START;
  return L_TASK_Start(task);
}

int TASK_nWaitFd(int nFd, short nEvents, int nWakeFd, int nTimeoutMs) {
  TASK_THREAD *ptSelf = t_ptSelf;
  // A task that holds a numbered mutex does not end here: its end waits for the release.
  const bool bEndPoint = ptSelf != nullptr && t_nMutexesHeld == 0 && ptSelf->nEndFd >= 0;
  struct pollfd atFds[3];
  nfds_t nCount = 0;
  atFds[nCount++] = {nFd, nEvents, 0};
  const nfds_t nWake = nCount;
  if (nWakeFd >= 0) atFds[nCount++] = {nWakeFd, POLLIN, 0};
  if (bEndPoint) atFds[nCount++] = {ptSelf->nEndFd, POLLIN, 0};
  L_TASK_Deactivate();
  int nReady;
  do {
    if (bEndPoint && ptSelf->bEnd.load()) {
      nReady = -1;
      break;
    }
    nReady = poll(atFds, nCount, nTimeoutMs);
  } while (nReady < 0 && errno == EINTR);
  L_TASK_Activate();
  if (bEndPoint && ptSelf->bEnd.load()) return TASK_WAIT_ENDING;
  if (nReady < 0) return TASK_WAIT_FAILED;
  if (nReady == 0) return TASK_WAIT_TIMEOUT;
  if (nWakeFd >= 0 && atFds[nWake].revents != 0) return TASK_WAIT_WOKEN;
  return TASK_WAIT_READY;
}

ssize_t TASK_nRead(int nFd, void *pvBuffer, size_t szBytes) {
  for (;;) {
    const int nWait = TASK_nWaitFd(nFd, POLLIN, -1, -1);
    if (nWait == TASK_WAIT_ENDING) TASK_vSafePoint();
    if (nWait == TASK_WAIT_FAILED) return -1;
    const ssize_t nRead = read(nFd, pvBuffer, szBytes);
    if (nRead < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    return nRead;
  }
}

TASK L_TASK_GetID(pthread_t thread) {
  vEnsureInit();
  if (thread == 0) return tSelf();
  for (TASK task = 1; task <= MAINTHREAD; task++) {
    if (pthread_equal(s_atTasks[task].ThreadID.load(), thread)) return task;
  }
  return MAINTHREAD;
}

ERC L_TASK_GetPriority(TASK task) {
  vEnsureInit();
  task = tResolve(task);
  if (!bValid(task)) return -lsTASK_INVALID;
  return 100 - (ERC)__atomic_load_n(&s_atTasks[task].TaskParam.TParamPriority, __ATOMIC_RELAXED);
}

ERC L_TASK_SetPriority(TASK task, PRIORITY priority) {
  vEnsureInit();
  task = tResolve(task);
  if (!bValid(task)) return -lsTASK_INVALID;
  TASK_INFO &tInfo = s_atTasks[task];
  // Other threads read the priority (dumps, GetPriority) while its task changes it.
  if (priority != 0)
    __atomic_store_n(&tInfo.TaskParam.TParamPriority, (PRIORITY)u32ConvertPriorityFromRTXC(priority), __ATOMIC_RELAXED);
  pthread_t tThread = tInfo.ThreadID.load();
  if (tThread != 0) {
    struct sched_param tParam;
    tParam.sched_priority = tInfo.TaskParam.TParamPriority;
    int nPolicy = tParam.sched_priority != 0 ? SCHED_FIFO : SCHED_OTHER;
    if (pthread_setschedparam(tThread, nPolicy, &tParam) != 0) return -lsTASK_PARAMS;
  }
  return lsSUCCESS;
}

ERC L_TASK_LockMutex(TASK task) {
  vEnsureInit();
  task = tResolve(task);
  if (!bValid(task)) return -lsTASK_INVALID;
  pthread_mutex_lock(&s_atTasks[task].TaskMutex);
  return lsSUCCESS;
}

ERC L_TASK_UnlockMutex(TASK task) {
  vEnsureInit();
  task = tResolve(task);
  if (!bValid(task)) return -lsTASK_INVALID;
  pthread_mutex_unlock(&s_atTasks[task].TaskMutex);
  return lsSUCCESS;
}

ERC L_TASK_SignalConditional(TASK task) {
  vEnsureInit();
  task = tResolve(task);
  if (!bValid(task)) return -lsTASK_INVALID;
  TASK_INFO &tInfo = s_atTasks[task];
  // The lock orders the wake after a waiter's test of its condition; the wake itself comes after the unlock so
  // the waiter does not wake into the held lock. Every plain thread is task 70: wake all waiters of the record,
  // each tests its own condition.
  pthread_mutex_lock(&tInfo.TaskMutex);
  pthread_mutex_unlock(&tInfo.TaskMutex);
  pthread_cond_broadcast(&tInfo.TaskCond);
  return lsSUCCESS;
}

ERC L_TASK_WaitConditional(TASK task) {
  vEnsureInit();
  task = tResolve(task);
  if (!bValid(task)) return -lsTASK_INVALID;
  TASK_nWait(&s_atTasks[task].TaskCond, &s_atTasks[task].TaskMutex, nullptr, false);
  return lsSUCCESS;
}

ERC L_TASK_WaitConditionalTimed(TASK task, const struct timespec *deadline) {
  vEnsureInit();
  task = tResolve(task);
  if (!bValid(task)) return -lsTASK_INVALID;
  int nResult = TASK_nWait(&s_atTasks[task].TaskCond, &s_atTasks[task].TaskMutex, deadline, false);
  return nResult == 0 ? lsSUCCESS : -lsTIMEOUT;
}

void TASK_vInitWaitPoint(pthread_mutex_t *ptMutex, pthread_cond_t *ptCond) {
  pthread_mutexattr_t tAttr;
  pthread_mutexattr_init(&tAttr);
  pthread_mutexattr_settype(&tAttr, PTHREAD_MUTEX_RECURSIVE);
  pthread_mutex_init(ptMutex, &tAttr);
  pthread_mutexattr_destroy(&tAttr);
  PLATFORM_CLOCK_vCondInit(ptCond);
}

int TASK_nLockWord(const pthread_mutex_t *ptMutex) {
  return __atomic_load_n(&ptMutex->__data.__lock, __ATOMIC_RELAXED);
}

bool TASK_bLockForDump(pthread_mutex_t *ptMutex) {
  // Blocked in the lock, not polling it: a task that takes the mutex over and over still lets the dump in.
  struct timespec tDeadline;
  clock_gettime(CLOCK_REALTIME, &tDeadline);
  tDeadline.tv_nsec += 100000000;
  if (tDeadline.tv_nsec >= 1000000000) {
    tDeadline.tv_sec++;
    tDeadline.tv_nsec -= 1000000000;
  }
  int nResult;
  do {
    nResult = pthread_mutex_timedlock(ptMutex, &tDeadline);
  } while (nResult == EINTR);
  return nResult == 0;
}

pthread_mutex_t *TASK_ptMutex(TASK task) {
  vEnsureInit();
  return &s_atTasks[bValid(task) ? task : MAINTHREAD].TaskMutex;
}

pthread_cond_t *TASK_ptCond(TASK task) {
  vEnsureInit();
  return &s_atTasks[bValid(task) ? task : MAINTHREAD].TaskCond;
}

int TASK_nWait(pthread_cond_t *ptCond, pthread_mutex_t *ptMutex, const struct timespec *ptDeadline, bool bSafePoint) {
  TASK_THREAD *ptSelf = bSafePoint ? t_ptSelf : nullptr;
  if (ptSelf != nullptr) {
    ptSelf->ptWaitMutex.store(ptMutex);
    ptSelf->ptWaitCond.store(ptCond);
    if (TASK_bEndPending()) {
      ptSelf->ptWaitMutex.store(nullptr);
      return TASK_WAIT_ENDING;
    }
  }
  L_TASK_Deactivate();
  int nResult = PLATFORM_CLOCK_nCondWait(ptCond, ptMutex, ptDeadline);
  L_TASK_Activate();
  if (ptSelf != nullptr) {
    ptSelf->ptWaitMutex.store(nullptr);
    if (TASK_bEndPending()) return TASK_WAIT_ENDING;
  }
  return nResult;
}

void TASK_vSleepUntil(const struct timespec *ptDeadline) {
  TASK_vSafePoint();
  thread_local pthread_mutex_t t_tMutex = PTHREAD_MUTEX_INITIALIZER;
  thread_local pthread_cond_t t_tCond;
  thread_local bool t_bCondReady = false;
  if (!t_bCondReady) {
    PLATFORM_CLOCK_vCondInit(&t_tCond);
    t_bCondReady = true;
  }
  TASK_INFO *ptInfo = t_ptSelf != nullptr ? &s_atTasks[t_ptSelf->task] : nullptr;
  if (ptInfo != nullptr) ptInfo->u64SleepingUntilNs.store((U64)ptDeadline->tv_sec * 1000000000ull + (U64)ptDeadline->tv_nsec);
  pthread_mutex_lock(&t_tMutex);
  int nResult = 0;
  while (nResult == 0) nResult = TASK_nWait(&t_tCond, &t_tMutex, ptDeadline, true);
  pthread_mutex_unlock(&t_tMutex);
  if (ptInfo != nullptr) ptInfo->u64SleepingUntilNs.store(0);
  if (nResult == TASK_WAIT_ENDING) TASK_vSafePoint();
}

bool TASK_bEndPending(void) {
  return t_ptSelf != nullptr && t_nMutexesHeld == 0 && t_ptSelf->bEnd.load();
}

void TASK_vSafePoint(void) {
  if (TASK_bEndPending()) vExit();
}

void TASK_vMutexTaken(void) { t_nMutexesHeld++; }
void TASK_vMutexReleased(void) {
  if (t_nMutexesHeld > 0) t_nMutexesHeld--;
}

void L_TASK_Activate(void) {
  vEnsureInit();
  TASK_INFO &tInfo = s_atTasks[tSelf()];
  tInfo.active_count.fetch_add(1);
  tInfo.u64ActivUs.store(L_CLOCK_qwGetTimeInMicros());
}

void L_TASK_Deactivate(void) {
  vEnsureInit();
  TASK_INFO &tInfo = s_atTasks[tSelf()];
  U64 u64Now = L_CLOCK_qwGetTimeInMicros();
  U64 u64Since = tInfo.u64ActivUs.load();
  if (u64Now > u64Since) tInfo.u64AccumUs.fetch_add(u64Now - u64Since);
  tInfo.active_count.fetch_sub(1);
}

void L_TASK_Debug(void) {
  vEnsureInit();
  U64 u64Now = L_CLOCK_qwGetTimeInMicros();
  U64 au64Accum[MAINTHREAD + 1];
  U64 u64Sum = 0;
  for (TASK task = 1; task <= MAINTHREAD; task++) {
    const TASK_INFO &tInfo = s_atTasks[task];
    U64 u64Accum = tInfo.u64AccumUs.load();
    U64 u64Since = tInfo.u64ActivUs.load();
    if (tInfo.active_count.load() > 0 && u64Now > u64Since) u64Accum += u64Now - u64Since;
    au64Accum[task] = u64Accum;
    u64Sum += u64Accum;
  }
  log_me("run time %d.%06d accumulated time %d.%06d", (int)(u64Now / 1000000), (int)(u64Now % 1000000),
         (int)(u64Sum / 1000000), (int)(u64Sum % 1000000));
  log_me("task information (%d total)", MAINTHREAD);
  for (TASK task = 1; task <= MAINTHREAD; task++) {
    TASK_INFO &tInfo = s_atTasks[task];
    int nShare = u64Sum == 0 ? -1 : (int)(au64Accum[task] * 100 / u64Sum);
    log_me("  %02d %s: active %d time (%d%%) %d.%06d priority %d pthread ID #%lu mutex.lock %d", task,
           get_task_name(task), (int)tInfo.active_count.load(), nShare, (int)(au64Accum[task] / 1000000),
           (int)(au64Accum[task] % 1000000), (int)__atomic_load_n(&tInfo.TaskParam.TParamPriority, __ATOMIC_RELAXED),
           (unsigned long)tInfo.ThreadID.load(), TASK_nLockWord(&tInfo.TaskMutex));
  }
}

pthread_t L_UTILS_threadCreateSimpleThread(const char *pcName, void *(*pfnThread)(void *), void *pvArg) {
  size_t siz = sizHostStack(0x6000);
  void *pvStack = pvAllocStack(siz);
  if (pvStack == nullptr) return 0;
  pthread_attr_t tAttr;
  pthread_attr_init(&tAttr);
  int nResult = pthread_attr_setstack(&tAttr, pvStack, siz);
  if (nResult != 0) {
    log_me("pthread_attr_setstack result = %d, %d, %s", nResult, errno, strerror(nResult));
    pthread_attr_destroy(&tAttr);
    free(pvStack);
    return 0;
  }
  pthread_t tThread = 0;
  nResult = pthread_create(&tThread, &tAttr, pfnThread, pvArg);
  pthread_attr_destroy(&tAttr);
  if (nResult != 0) {
    log_me("pthread_create result = %d, %d, %s", nResult, errno, strerror(nResult));
    free(pvStack);
    return 0;
  }
  log_me("pthread_create (%s): %lu", pcName, (unsigned long)tThread);
  return tThread;
}

void show_linux_priority(const char *pcName) {
  static std::atomic<bool> s_bShown{false};
  if (!s_bShown.exchange(true)) {
    log_me("sched priorities min %d max %d", sched_get_priority_min(SCHED_FIFO), sched_get_priority_max(SCHED_FIFO));
  }
  int nPolicy = 0;
  struct sched_param tParam;
  if (pthread_getschedparam(pthread_self(), &nPolicy, &tParam) == 0) {
    log_me("priority for \"%s\" is %d policy %d", pcName, tParam.sched_priority, nPolicy);
  } else {
    log_me("could not get priority for \"%s\"", pcName);
  }
}

bool TASK_bSetFifo(int nPriority) {
  struct sched_param tParam;
  tParam.sched_priority = nPriority;
  return pthread_setschedparam(pthread_self(), SCHED_FIFO, &tParam) == 0;
}

void TASK_vSetParamForTest(TASK task, const TASK_PARAM *ptParam) {
  vEnsureInit();
  if (!bValid(task)) return;
  s_atTasks[task].TaskParam = *ptParam;
  s_atTasks[task].TaskParam.TParamPriority = (PRIORITY)u32ConvertPriorityFromRTXC(ptParam->TParamPriority);
}

U64 TASK_u64SleepingUntilForTest(TASK task) {
  if (task < 1 || task > MAINTHREAD) return 0;
  return s_atTasks[task].u64SleepingUntilNs.load();
}
