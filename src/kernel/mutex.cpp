// Numbered mutexes: owned by one thread at a time, re-entered by the owner with a nesting count.
#include "kernel/mutex.h"

#include <errno.h>
#include <pthread.h>

#include <atomic>

#include "kernel/log.h"
#include "kernel/task.h"
#include "kernel/task_table.h"
#include "kernel/tick.h"
#include "platform/clock.h"

namespace {

struct MUTEX_INFO {
  std::atomic<TASK> OwningTaskID{0};
  // Every plain thread reports task 70, so the owner is told apart by its thread.
  std::atomic<pthread_t> OwningThread{0};
  std::atomic<bool> bOwned{false};
  std::atomic<U32> NestLevel{0};
  // Guards bOwned's changes; waiters sleep on the condition, so a wait to take the mutex is an end point.
  pthread_mutex_t MutexStruct;
  pthread_cond_t MutexCond;
};

MUTEX_INFO s_atMutexes[nres + 1];
pthread_once_t s_tOnce = PTHREAD_ONCE_INIT;

void vInit(void) {
  for (MUTEX mutex = 1; mutex <= nres; mutex++) {
    TASK_vInitWaitPoint(&s_atMutexes[mutex].MutexStruct, &s_atMutexes[mutex].MutexCond);
  }
}

const char *const s_apcNames[nres + 1] = {
    "",
    "RES_DATABASE",
    "RES_ADC",
    "RES_BDMA1",
    "RES_HISTORY",
    "RES_RTS",
    "RES_FISHID",
    "RES_XMODEM",
    "RES_MENU",
    "RES_NAV_DATA",
    "RES_NAV_EDIT",
    "RES_NAV_CONF",
    "RES_NAV_INFO",
    "RES_ALARMLIST",
    "RES_BAROMETER",
    "RES_FS_FOP",
    "RES_VIEW_LIST",
    "RES_CHART_MMC",
    "RES_MMC_HDWR",
    "RES_NAND_HDWR",
    "RES_CHART_CACHE",
    "RES_CHART_IMAGES",
    "RES_FENWISP",
    "RES_ACC_200",
    "RES_ACC_83",
    "RES_ACC_455_L",
    "RES_ACC_455_R",
    "RES_TSU",
    "RES_S_INFO",
    "RES_PINGLIST",
    "RES_3D_HISTORY",
    "RES_3D_RENDER",
    "RES_MMU_ALLOC",
    "RES_DMA0",
    "RES_DMA1",
    "RES_DMA2",
    "RES_DMA3",
    "RES_INLINETEST",
    "RES_STATIC_TRACK",
    "RES_NAND_FILE_OPEN",
    "RES_POS_TUTORIAL",
    "RES_DOWNLINK",
    "RES_CHART3D",
    "RES_HTML",
    "RES_IIT",
    "RES_DAMTILES",
    "RES_RAVENDOR",
    "RES_FUSION_0",
    "RES_FUSION_1",
    "RES_FUSION_2",
    "RES_FUSION_3",
    "RES_FUSION_4",
    "RES_FUSION_5",
    "RES_FUSION_6",
    "RES_FUSION_7",
    "RES_ETHERNET_QUEUE",
    "RES_GDC_SYNCDATA",
    "RES_GDC0",
    "RES_GDC1",
    "RES_GDC2",
    "RES_GDC3",
    "RES_GDC4",
    "RES_GDC5",
    "RES_GDC6",
    "RES_GDC_INIT",
    "RES_HSMMC_HDWR",
    "RES_IIC",
    "RES_PPI_MOTOR",
    "RES_AIS_DATA",
    "RES_SATWEATHER_DATA",
    "RES_SATWEATHER_STATUS",
    "RES_CHART_GENERIC",
    "RES_SATWEATHER_POS_IMAGE",
    "RES_SLP",
    "RES_C_SYS",
    "RES_GMSG_MBOX_LIST",
    "RES_GMSG_TEST",
    "RES_NMEA",
    "RES_TEMP",
    "RES_PRINT",
    "RES_PING",
    "RES_GLOBAL_SERVICE_DIRECTORY",
    "RES_NET_DIALOG",
    "RES_TRACE",
    "RES_ALARM",
    "RES_SRVMONITOR",
    "RES_NAV",
    "RES_MTRACE",
    "RES_RADAR_SERVER",
    "RES_RADAR_SERVER_TCP",
    "RES_RADAR_DATA",
    "RES_RADAR_CLIENT",
    "RES_ACC_SHORT_TRANMIT",
    "RES_ETHBCAST",
    "RES_NMEADATA_MGR",
    "RES_NMEASRC_MGR",
    "RES_DATA_SOURCE",
    "RES_LOG",
    "RES_MSS",
    "RES_HISTORY_CONF",
    "RES_SONAR_SHARE",
    "RES_MSS_VIEW",
    "RES_WENDRIX_DATA",
    "RES_GMSG_VANTREL",
    "RES_TRQ_QVIMAGE",
};

bool bValid(MUTEX mutex) {
  pthread_once(&s_tOnce, vInit);
  return mutex >= 1 && mutex <= nres;
}

bool bOwnedByCaller(const MUTEX_INFO &tInfo) {
  return tInfo.bOwned.load() && pthread_equal(tInfo.OwningThread.load(), pthread_self());
}

void vTaken(MUTEX_INFO &tInfo) {
  tInfo.OwningThread.store(pthread_self());
  tInfo.OwningTaskID.store(L_TASK_GetID(0));
  tInfo.NestLevel.store(1);
  tInfo.bOwned.store(true);
  TASK_vMutexTaken();
}

enum LOCK_KIND { LOCK_WAIT, LOCK_TRY, LOCK_TIMED };

ERC erLock(MUTEX mutex, LOCK_KIND eKind, TICKS ticks) {
  if (!bValid(mutex)) return -lsMUTEX_INVALID;
  MUTEX_INFO &tInfo = s_atMutexes[mutex];
  if (bOwnedByCaller(tInfo)) {
    tInfo.NestLevel.fetch_add(1);
    return -lsMUTEX_NESTED;
  }
  struct timespec tDeadline;
  if (eKind == LOCK_TIMED) L_CLOCK_PrepTimeoutTicks(&tDeadline, ticks);
  pthread_mutex_lock(&tInfo.MutexStruct);
  int nResult = 0;
  if (eKind != LOCK_TRY) {
    while (tInfo.bOwned.load() && nResult == 0) {
      nResult = TASK_nWait(&tInfo.MutexCond, &tInfo.MutexStruct, eKind == LOCK_TIMED ? &tDeadline : nullptr, true);
    }
  }
  const bool bTaken = !tInfo.bOwned.load() && nResult != TASK_WAIT_ENDING;
  if (bTaken) vTaken(tInfo);
  // A waiter that leaves without the free mutex passes its wake-up on.
  const bool bPassOn = !bTaken && !tInfo.bOwned.load();
  pthread_mutex_unlock(&tInfo.MutexStruct);
  if (bPassOn) pthread_cond_signal(&tInfo.MutexCond);
  if (nResult == TASK_WAIT_ENDING) TASK_vSafePoint();
  return bTaken ? lsSUCCESS : -lsMUTEX_BUSY;
}

} // namespace

const char *get_mutex_name(MUTEX mutex) {
  if (mutex < 0 || mutex > nres) return "INVALID";
  return s_apcNames[mutex];
}

ERC L_MUTEX_LockWait(MUTEX mutex) { return erLock(mutex, LOCK_WAIT, 0); }
ERC L_MUTEX_Lock(MUTEX mutex) { return erLock(mutex, LOCK_TRY, 0); }
ERC L_MUTEX_LockTime(MUTEX mutex, TICKS ticks) { return erLock(mutex, LOCK_TIMED, ticks); }

ERC L_MUTEX_Unlock(MUTEX mutex) {
  if (!bValid(mutex)) return -lsMUTEX_INVALID;
  MUTEX_INFO &tInfo = s_atMutexes[mutex];
  if (!bOwnedByCaller(tInfo)) return -lsMUTEX_BUSY;
  if (tInfo.NestLevel.fetch_sub(1) > 1) return -lsMUTEX_NESTED;
  pthread_mutex_lock(&tInfo.MutexStruct);
  tInfo.OwningTaskID.store(0);
  tInfo.OwningThread.store(0);
  tInfo.bOwned.store(false);
  pthread_mutex_unlock(&tInfo.MutexStruct);
  // Woken after the release, so the waiter does not block again on the lock we held.
  pthread_cond_signal(&tInfo.MutexCond);
  TASK_vMutexReleased();
  return lsSUCCESS;
}

TASK L_MUTEX_GetOwnerTaskID(MUTEX mutex) {
  pthread_once(&s_tOnce, vInit);
  if (!bValid(mutex)) return -lsMUTEX_INVALID;
  return s_atMutexes[mutex].OwningTaskID.load();
}

void L_MUTEX_Debug(void) {
  pthread_once(&s_tOnce, vInit);
  log_me("mutex information (%d total)", nres);
  for (MUTEX mutex = 1; mutex <= nres; mutex++) {
    MUTEX_INFO &tInfo = s_atMutexes[mutex];
    TASK task = tInfo.OwningTaskID.load();
    log_me("  %02d %s: task #%d (%s) nest %d mutex.lock %d", mutex, s_apcNames[mutex], task, get_task_name(task),
           (int)tInfo.NestLevel.load(), tInfo.bOwned.load() ? 1 : 0);
  }
}

BOOLEAN MUTEX_bInit(GMUTEX *, BOOLEAN) { return TRUE; }
BOOLEAN MUTEX_bDestroy(GMUTEX *) { return TRUE; }
BOOLEAN MUTEX_bLock(GMUTEX *pMutex) { return L_MUTEX_LockWait(*pMutex) == lsSUCCESS; }
BOOLEAN MUTEX_bTryLock(GMUTEX *pMutex) { return L_MUTEX_Lock(*pMutex) != -lsMUTEX_BUSY; }
BOOLEAN MUTEX_bUnlock(GMUTEX *pMutex) { return L_MUTEX_Unlock(*pMutex) == lsSUCCESS; }
