// Tasks: the numbered threads of the task table, their private wait points, statistics and plain threads.
#pragma once
#include <pthread.h>
#include <sys/types.h>
#include <time.h>

#include "kernel/kernel_defs.h"

// Starts a task; returns once the new thread runs (it tells the starter before it calls its entry).
// 0 also when the task is disabled on the command line; -7, -8, -9, -10.
ERC L_TASK_Start(TASK task);
// Ends a task. For another task this is a request the caller does not wait for: the task ends at its next
// kernel wait at which it holds no numbered mutex (also the wait to take one, and descriptor waits of
// TASK_nWaitFd). A task that ends itself does not return.
ERC L_TASK_Terminate(TASK task);
// Waits up to ticks milliseconds for the task's thread to be gone (and joins it). 0; -1 still running;
// -7 for a bad number or the caller itself.
ERC L_TASK_WaitEnd(TASK task, TICKS ticks);
// Ends the task, waits up to ticks for the end and starts it again. -10 when it did not end in time.
ERC L_TASK_Restart(TASK task, TICKS ticks);
// The task number of a thread (0: the caller); 70 for a thread that is no task.
TASK L_TASK_GetID(pthread_t thread);
ERC L_TASK_GetPriority(TASK task);
ERC L_TASK_SetPriority(TASK task, PRIORITY priority);

// The private wait point on which a task sleeps in kernel waits.
ERC L_TASK_LockMutex(TASK task);
ERC L_TASK_UnlockMutex(TASK task);
ERC L_TASK_SignalConditional(TASK task);
ERC L_TASK_WaitConditional(TASK task);
// 0 when woken, -1 at the absolute deadline (kernel clock, see L_CLOCK_PrepTimeoutTicks).
ERC L_TASK_WaitConditionalTimed(TASK task, const struct timespec *deadline);

// Activity statistics around blocking calls.
void L_TASK_Activate(void);
void L_TASK_Deactivate(void);
void L_TASK_Debug(void);

// A thread that is no task, on its own stack; 0 on failure.
pthread_t L_UTILS_threadCreateSimpleThread(const char *pcName, void *(*pfnThread)(void *), void *pvArg);
void show_linux_priority(const char *pcName);

// Sets the caller's scheduling to FIFO at the given priority; false when the host refuses (the thread runs on).
bool TASK_bSetFifo(int nPriority);

// Waits of the kernel services on (cond, mutex), mutex held, until woken or the deadline (NULL: none).
// 0 woken (maybe spuriously), ETIMEDOUT, or TASK_WAIT_ENDING when the caller's end is due: the caller then
// releases what it holds and calls TASK_vSafePoint. With bSafePoint false the end is not looked at.
constexpr int TASK_WAIT_ENDING = -1;
int TASK_nWait(pthread_cond_t *ptCond, pthread_mutex_t *ptMutex, const struct timespec *ptDeadline, bool bSafePoint);
// A recursive mutex and a condition variable on the kernel clock: the wait point of a kernel object.
void TASK_vInitWaitPoint(pthread_mutex_t *ptMutex, pthread_cond_t *ptCond);
// The lock word of a mutex for the kernel dumps, read as an atomic: the dump runs while others lock it.
int TASK_nLockWord(const pthread_mutex_t *ptMutex);
// Takes an object's mutex for the kernel dumps to copy it; false after about 100 ms without it, so that the
// dump of a hung unit does not hang on the lock that the hang holds.
bool TASK_bLockForDump(pthread_mutex_t *ptMutex);
// A task's private wait point (70: shared by every plain thread).
pthread_mutex_t *TASK_ptMutex(TASK task);
pthread_cond_t *TASK_ptCond(TASK task);
// Waits until the descriptor is ready for nEvents (poll events), the wake descriptor (-1: none) is readable,
// or nTimeoutMs passes (-1: no limit). For a task that holds no numbered mutex it is also an end point.
enum { TASK_WAIT_READY = 1, TASK_WAIT_TIMEOUT = 0, TASK_WAIT_WOKEN = 2, TASK_WAIT_FAILED = -2 };
int TASK_nWaitFd(int nFd, short nEvents, int nWakeFd, int nTimeoutMs);
// read() that is an end point while it blocks (the caller ends there when its end is requested).
ssize_t TASK_nRead(int nFd, void *pvBuffer, size_t szBytes);
// Sleeps until the absolute deadline on the kernel clock; a safe point.
void TASK_vSleepUntil(const struct timespec *ptDeadline);

// Ending requests are carried out here: a kernel wait calls it when it has released its own locks.
// Ends the calling thread when its end was requested and it holds no numbered mutex.
void TASK_vSafePoint(void);
// True when the caller's end was requested and it may end now (the wait should stop and call TASK_vSafePoint).
bool TASK_bEndPending(void);
// Counts numbered mutexes held by the calling thread (kept by the mutex service).
void TASK_vMutexTaken(void);
void TASK_vMutexReleased(void);

// Tests: replace the copy of a task's table row that the next start uses.
void TASK_vSetParamForTest(TASK task, const TASK_PARAM *ptParam);
// Tests: the kernel-clock deadline (ns) of the sleep the task is in, 0 when it is not sleeping.
U64 TASK_u64SleepingUntilForTest(TASK task);
