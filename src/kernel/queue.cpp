// Numbered ring queues of fixed-size items; puts and gets signal the not-empty, not-full, full and empty events.
#include "kernel/queue.h"

#include <errno.h>
#include <pthread.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>

#include "kernel/log.h"
#include "kernel/sema.h"
#include "kernel/task.h"
#include "kernel/tick.h"
#include "platform/clock.h"

namespace {

struct QUEUE_PARAM {
  U32 QParamWidth;
  U32 QParamDepth;
};

struct QUEUE_INFO {
  QUEUE_PARAM QueueParam = {0, 0};
  BYTE *ptrQueueBase = nullptr;
  BYTE *ptrQueueEnd = nullptr;
  U32 QueueCount = 0;
  BYTE *ptrQueuePut = nullptr;
  BYTE *ptrQueueGet = nullptr;
  BYTE *ptrQueueCreated = nullptr;
  U32 sizQueueCreated = 0;
  SEMA QueueSemas[QCOND_COUNT] = {0, 0, 0, 0};
  pthread_mutex_t QueueMutex;
  pthread_cond_t QueueCond;
};

QUEUE_INFO s_atQueues[nqueues + 1];
pthread_once_t s_tOnce = PTHREAD_ONCE_INIT;

const char *const s_apcNames[nqueues + 1] = {
    "",
    "Q_TRANSMIT_UART0",
    "Q_RECEIVE_UART0",
    "Q_TRANSMIT_UART1",
    "Q_RECEIVE_UART1",
    "Q_TRANSMIT_UART2",
    "Q_RECEIVE_UART2",
    "Q_TRANSMIT_UART3",
    "Q_RECEIVE_UART3",
    "Q_PING",
    "Q_ETHERNET_TX",
    "Q_SOUND",
    "Q_MSSBCAST_RX",
};

const QUEUE_PARAM QueueParams[nqueues] = {
    {1, 128}, // Q_TRANSMIT_UART0
    {2, 1050}, // Q_RECEIVE_UART0
    {1, 256}, // Q_TRANSMIT_UART1
    {2, 1024}, // Q_RECEIVE_UART1
    {1, 128}, // Q_TRANSMIT_UART2
    {2, 256}, // Q_RECEIVE_UART2
    {1, 128}, // Q_TRANSMIT_UART3
    {2, 128}, // Q_RECEIVE_UART3
    {2, 64}, // Q_PING
    {4, 256}, // Q_ETHERNET_TX
    {2, 16}, // Q_SOUND
    {2, 1024}, // Q_MSSBCAST_RX
};

void vInit(void) {
  for (QUEUE queue = 1; queue <= nqueues; queue++) {
    TASK_vInitWaitPoint(&s_atQueues[queue].QueueMutex, &s_atQueues[queue].QueueCond);
  }
}

bool bValid(QUEUE queue) {
  pthread_once(&s_tOnce, vInit);
  return queue >= 1 && queue <= nqueues;
}

void vSignal(const QUEUE_INFO &tInfo, U32 u32Condition) {
  if (tInfo.QueueSemas[u32Condition] > 0) L_SEMA_Signal(tInfo.QueueSemas[u32Condition]);
}

// Queue mutex held.
ERC erDefine(QUEUE_INFO &tInfo, U32 u32Width, U32 u32Depth, void *pvBuffer, U32 u32Count) {
  U64 u64Size = (U64)u32Width * u32Depth;
  if (u32Width == 0 || u32Depth == 0 || u64Size > 0xFFFFFFFFull) return -lsQUEUE_NO_MEMORY;
  tInfo.QueueParam.QParamWidth = u32Width;
  tInfo.QueueParam.QParamDepth = u32Depth;
  if (pvBuffer != nullptr) {
    free(tInfo.ptrQueueCreated);
    tInfo.ptrQueueCreated = nullptr;
    tInfo.sizQueueCreated = 0;
    if (u32Count > u32Depth) u32Count = u32Depth;
    tInfo.ptrQueueBase = static_cast<BYTE *>(pvBuffer);
    tInfo.ptrQueueEnd = tInfo.ptrQueueBase + u64Size;
    tInfo.QueueCount = u32Count;
    tInfo.ptrQueueGet = tInfo.ptrQueueBase;
    tInfo.ptrQueuePut = u32Count == u32Depth ? tInfo.ptrQueueBase : tInfo.ptrQueueBase + (U64)u32Count * u32Width;
    return lsSUCCESS;
  }
  if (tInfo.ptrQueueCreated == nullptr || tInfo.sizQueueCreated < u64Size) {
    free(tInfo.ptrQueueCreated);
    tInfo.ptrQueueCreated = static_cast<BYTE *>(calloc(1, (size_t)u64Size));
    tInfo.sizQueueCreated = tInfo.ptrQueueCreated != nullptr ? (U32)u64Size : 0;
  }
  if (tInfo.ptrQueueCreated == nullptr) {
    tInfo.ptrQueueBase = tInfo.ptrQueueEnd = tInfo.ptrQueuePut = tInfo.ptrQueueGet = nullptr;
    tInfo.QueueCount = 0;
    return -lsQUEUE_NO_MEMORY;
  }
  tInfo.ptrQueueBase = tInfo.ptrQueueCreated;
  tInfo.ptrQueueEnd = tInfo.ptrQueueBase + u64Size;
  tInfo.ptrQueuePut = tInfo.ptrQueueGet = tInfo.ptrQueueBase;
  tInfo.QueueCount = 0;
  return lsSUCCESS;
}

ERC erAutoDefine(QUEUE queue) {
  QUEUE_INFO &tInfo = s_atQueues[queue];
  if (tInfo.ptrQueueBase != nullptr) return lsSUCCESS;
  return erDefine(tInfo, QueueParams[queue - 1].QParamWidth, QueueParams[queue - 1].QParamDepth, nullptr, 0);
}

// Queue mutex held.
ERC erPut(QUEUE queue, const void *pvItem) {
  ERC erc = erAutoDefine(queue);
  if (erc != lsSUCCESS) return erc;
  QUEUE_INFO &tInfo = s_atQueues[queue];
  if (tInfo.QueueCount >= tInfo.QueueParam.QParamDepth) return -lsQUEUE_FULL;
  memcpy(tInfo.ptrQueuePut, pvItem, tInfo.QueueParam.QParamWidth);
  tInfo.ptrQueuePut += tInfo.QueueParam.QParamWidth;
  if (tInfo.ptrQueuePut >= tInfo.ptrQueueEnd) tInfo.ptrQueuePut = tInfo.ptrQueueBase;
  tInfo.QueueCount++;
  vSignal(tInfo, QNE);
  if (tInfo.QueueCount == tInfo.QueueParam.QParamDepth) vSignal(tInfo, QF);
  pthread_cond_broadcast(&tInfo.QueueCond);
  return lsSUCCESS;
}

// Queue mutex held.
ERC erGet(QUEUE queue, void *pvItem) {
  ERC erc = erAutoDefine(queue);
  if (erc != lsSUCCESS) return erc;
  QUEUE_INFO &tInfo = s_atQueues[queue];
  if (tInfo.QueueCount == 0) return -lsQUEUE_EMPTY;
  bool bWasFull = tInfo.QueueCount == tInfo.QueueParam.QParamDepth;
  memcpy(pvItem, tInfo.ptrQueueGet, tInfo.QueueParam.QParamWidth);
  tInfo.ptrQueueGet += tInfo.QueueParam.QParamWidth;
  if (tInfo.ptrQueueGet >= tInfo.ptrQueueEnd) tInfo.ptrQueueGet = tInfo.ptrQueueBase;
  tInfo.QueueCount--;
  if (bWasFull) vSignal(tInfo, QNF);
  if (tInfo.QueueCount == 0) vSignal(tInfo, QE);
  pthread_cond_broadcast(&tInfo.QueueCond);
  return lsSUCCESS;
}

// Repeats the put or get until it does not report full or empty, waiting in between (deadline NULL: no limit).
template <typename ITEM>
ERC erWaiting(QUEUE queue, ITEM pvItem, ERC (*pfnStep)(QUEUE, ITEM), ERC ercBlocked, const struct timespec *ptDeadline) {
  if (!bValid(queue)) return -lsQUEUE_INVALID;
  TASK_vSafePoint();
  QUEUE_INFO &tInfo = s_atQueues[queue];
  pthread_mutex_lock(&tInfo.QueueMutex);
  ERC erc;
  int nResult = 0;
  for (;;) {
    erc = pfnStep(queue, pvItem);
    if (erc != ercBlocked) break;
    nResult = TASK_nWait(&tInfo.QueueCond, &tInfo.QueueMutex, ptDeadline, true);
    if (nResult != 0) break;
  }
  pthread_mutex_unlock(&tInfo.QueueMutex);
  if (nResult == TASK_WAIT_ENDING) TASK_vSafePoint();
  return erc;
}

template <typename ITEM>
ERC erOnce(QUEUE queue, ITEM pvItem, ERC (*pfnStep)(QUEUE, ITEM)) {
  if (!bValid(queue)) return -lsQUEUE_INVALID;
  pthread_mutex_lock(&s_atQueues[queue].QueueMutex);
  ERC erc = pfnStep(queue, pvItem);
  pthread_mutex_unlock(&s_atQueues[queue].QueueMutex);
  return erc;
}

struct timespec tTicks(TICKS ticks) {
  struct timespec tDeadline;
  L_CLOCK_PrepTimeoutTicks(&tDeadline, ticks);
  return tDeadline;
}

struct timespec tSeconds(U32 seconds) {
  struct timespec tDeadline;
  L_CLOCK_PrepTimeoutSeconds(&tDeadline, seconds);
  return tDeadline;
}

} // namespace

const char *get_queue_name(QUEUE queue) {
  if (queue < 0 || queue > nqueues) return "INVALID";
  return s_apcNames[queue];
}

ERC L_QUEUE_Put(QUEUE queue, const void *pvItem) { return erOnce(queue, pvItem, erPut); }
ERC L_QUEUE_PutWait(QUEUE queue, const void *pvItem) {
  return erWaiting(queue, pvItem, erPut, -lsQUEUE_FULL, nullptr);
}
ERC L_QUEUE_PutWaitTicks(QUEUE queue, const void *pvItem, TICKS ticks) {
  struct timespec tDeadline = tTicks(ticks);
  return erWaiting(queue, pvItem, erPut, -lsQUEUE_FULL, &tDeadline);
}
ERC L_QUEUE_PutWaitSeconds(QUEUE queue, const void *pvItem, U32 seconds) {
  struct timespec tDeadline = tSeconds(seconds);
  return erWaiting(queue, pvItem, erPut, -lsQUEUE_FULL, &tDeadline);
}

ERC L_QUEUE_Get(QUEUE queue, void *pvItem) { return erOnce(queue, pvItem, erGet); }
ERC L_QUEUE_GetWait(QUEUE queue, void *pvItem) { return erWaiting(queue, pvItem, erGet, -lsQUEUE_EMPTY, nullptr); }
ERC L_QUEUE_GetWaitTicks(QUEUE queue, void *pvItem, TICKS ticks) {
  struct timespec tDeadline = tTicks(ticks);
  return erWaiting(queue, pvItem, erGet, -lsQUEUE_EMPTY, &tDeadline);
}
ERC L_QUEUE_GetWaitSeconds(QUEUE queue, void *pvItem, U32 seconds) {
  struct timespec tDeadline = tSeconds(seconds);
  return erWaiting(queue, pvItem, erGet, -lsQUEUE_EMPTY, &tDeadline);
}

ERC L_QUEUE_Purge(QUEUE queue) {
  if (!bValid(queue)) return -lsQUEUE_INVALID;
  QUEUE_INFO &tInfo = s_atQueues[queue];
  pthread_mutex_lock(&tInfo.QueueMutex);
  if (tInfo.QueueCount > 0) {
    bool bWasFull = tInfo.QueueCount == tInfo.QueueParam.QParamDepth;
    tInfo.ptrQueueGet = tInfo.ptrQueuePut;
    tInfo.QueueCount = 0;
    if (bWasFull) vSignal(tInfo, QNF);
    vSignal(tInfo, QE);
    pthread_cond_broadcast(&tInfo.QueueCond);
  }
  pthread_mutex_unlock(&tInfo.QueueMutex);
  return lsSUCCESS;
}

ERC L_QUEUE_Inquire(QUEUE queue) {
  if (!bValid(queue)) return -lsQUEUE_INVALID;
  pthread_mutex_lock(&s_atQueues[queue].QueueMutex);
  ERC erc = (ERC)s_atQueues[queue].QueueCount;
  pthread_mutex_unlock(&s_atQueues[queue].QueueMutex);
  return erc;
}

ERC L_QUEUE_Define(QUEUE queue, U32 u32Width, U32 u32Depth, void *pvBuffer, U32 u32Count) {
  if (!bValid(queue)) return -lsQUEUE_INVALID;
  pthread_mutex_lock(&s_atQueues[queue].QueueMutex);
  ERC erc = erDefine(s_atQueues[queue], u32Width, u32Depth, pvBuffer, u32Count);
  pthread_mutex_unlock(&s_atQueues[queue].QueueMutex);
  return erc;
}

ERC L_QUEUE_DefineSema(QUEUE queue, SEMA sema, U32 u32Condition) {
  if (!bValid(queue)) return -lsQUEUE_INVALID;
  if (u32Condition >= QCOND_COUNT) return -lsQCOND_INVALID;
  if (sema < 0 || sema > nsemas) return -lsSEMA_INVALID;
  pthread_mutex_lock(&s_atQueues[queue].QueueMutex);
  s_atQueues[queue].QueueSemas[u32Condition] = sema;
  pthread_mutex_unlock(&s_atQueues[queue].QueueMutex);
  return lsSUCCESS;
}

void L_QUEUE_Debug(void) {
  pthread_once(&s_tOnce, vInit);
  log_me("queue information (%d total)", nqueues);
  for (QUEUE queue = 1; queue <= nqueues; queue++) {
    QUEUE_INFO &tInfo = s_atQueues[queue];
    const int nLockWord = TASK_nLockWord(&tInfo.QueueMutex);
    // A copy under the queue's mutex: tasks put, get and define while this runs.
    if (!TASK_bLockForDump(&tInfo.QueueMutex)) {
      log_me("  %02d %s: busy mutex.lock %d", queue, s_apcNames[queue], nLockWord);
      continue;
    }
    const QUEUE_PARAM tParam = tInfo.QueueParam;
    const U32 u32Count = tInfo.QueueCount;
    SEMA atSemas[QCOND_COUNT];
    std::copy(tInfo.QueueSemas, tInfo.QueueSemas + QCOND_COUNT, atSemas);
    pthread_mutex_unlock(&tInfo.QueueMutex);
    log_me("  %02d %s: width %d depth %d count %d QNE %d QNF %d QF %d QE %d mutex.lock %d", queue,
           s_apcNames[queue], (int)tParam.QParamWidth, (int)tParam.QParamDepth, (int)u32Count, atSemas[QNE],
           atSemas[QNF], atSemas[QF], atSemas[QE], nLockWord);
  }
}
