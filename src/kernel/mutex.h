// Numbered recursive mutexes (resources) with a nesting count.
#pragma once
#include "kernel/kernel_defs.h"

// 0 newly taken; -23 already held by the caller (count grows); -21 invalid.
ERC L_MUTEX_LockWait(MUTEX mutex);
// As L_MUTEX_LockWait, -22 at once when another owner holds it.
ERC L_MUTEX_Lock(MUTEX mutex);
// As L_MUTEX_LockWait, -22 when still held by another owner after that many milliseconds.
ERC L_MUTEX_LockTime(MUTEX mutex, TICKS ticks);
// 0 released; -23 still held (count was above 1); -22 not the owner.
ERC L_MUTEX_Unlock(MUTEX mutex);
TASK L_MUTEX_GetOwnerTaskID(MUTEX mutex);
void L_MUTEX_Debug(void);

// The network layer's mutex calls: the variable holds a mutex number.
typedef S32 GMUTEX;
BOOLEAN MUTEX_bInit(GMUTEX *pMutex, BOOLEAN bRecursive);
BOOLEAN MUTEX_bDestroy(GMUTEX *pMutex);
BOOLEAN MUTEX_bLock(GMUTEX *pMutex);
BOOLEAN MUTEX_bTryLock(GMUTEX *pMutex);
BOOLEAN MUTEX_bUnlock(GMUTEX *pMutex);
