// Event semaphores: signalled-or-not flags with one waiter; waits on lists return the earliest fired.
#include "kernel/sema.h"

#include <errno.h>
#include <pthread.h>

#include <algorithm>
#include <atomic>

#include "kernel/log.h"
#include "kernel/task.h"
#include "kernel/task_table.h"
#include "kernel/tick.h"

namespace {

constexpr U8 SEMA_WAITING = 0x01;
constexpr U8 SEMA_DONE = 0x02;

struct SEMA_INFO {
  std::atomic<U8> u8SemaState{0};
  std::atomic<TASK> WaitingTaskID{0};
  std::atomic<U64> u64FireTimestamp{0};
  pthread_mutex_t SemaMutex = PTHREAD_MUTEX_INITIALIZER;
};

SEMA_INFO s_atSemas[nsemas + 1];
// Fire times only grow, so two signals in the same clock reading keep their order.
std::atomic<U64> s_u64LastFire{0};

const char *const s_apcNames[nsemas + 1] = {
    "",
    "CBUGSEMA",
    "CBUGSEMA2",
    "SEMA_TRANSMIT_RDY_UART0",
    "SEMA_RECEIVE_RDY_UART0",
    "SEMA_TRANSMIT_RDY_UART1",
    "SEMA_RECEIVE_RDY_UART1",
    "SEMA_TRANSMIT_RDY_UART2",
    "SEMA_RECEIVE_RDY_UART2",
    "SEMA_TRANSMIT_RDY_UART3",
    "SEMA_RECEIVE_RDY_UART3",
    "SEMA_RECEIVE_ERROR",
    "SEMA_UART1_RECEIVE_ERROR",
    "SEMA_UART2_RECEIVE_ERROR",
    "SEMA_UART3_RECEIVE_ERROR",
    "SEMA_QUEUE_TX0",
    "SEMA_QUEUE_RX0",
    "SEMA_QUEUE_TX1",
    "SEMA_QUEUE_RX1",
    "SEMA_QUEUE_TX2",
    "SEMA_QUEUE_RX2",
    "SEMA_QUEUE_TX3",
    "SEMA_QUEUE_RX3",
    "SEMA_MBOX_ACC",
    "SEMA_MBOX_ACC_COMM",
    "SEMA_MBOX_ADC",
    "SEMA_MBOX_ALARM",
    "SEMA_MBOX_BATT",
    "SEMA_MBOX_BAR",
    "SEMA_MBOX_BATHYMETRY",
    "SEMA_MBOX_BUTTON",
    "SEMA_MBOX_CHART",
    "SEMA_MBOX_CHART3D",
    "SEMA_MBOX_HTML",
    "SEMA_MBOX_COM1A",
    "SEMA_MBOX_DISPLAY",
    "SEMA_MBOX_DUMMY",
    "SEMA_MBOX_HISTORY",
    "SEMA_MBOX_INFO",
    "SEMA_MBOX_INLINETEST",
    "SEMA_MBOX_KEYB",
    "SEMA_MBOX_MENU",
    "SEMA_MBOX_MMC",
    "SEMA_MBOX_NAV",
    "SEMA_MBOX_NMEA",
    "SEMA_MBOX_NVRAM",
    "SEMA_MBOX_PCC",
    "SEMA_MBOX_PING",
    "SEMA_MBOX_FENWS",
    "SEMA_MBOX_SONAR",
    "SEMA_MBOX_PROCESS",
    "SEMA_MBOX_SPEED",
    "SEMA_MBOX_STARTUP",
    "SEMA_MBOX_WTEMP",
    "SEMA_MBOX_TONE",
    "SEMA_MBOX_VIEW",
    "SEMA_MBOX_VIEWKEY",
    "SEMA_MBOX_CHART_INFO",
    "SEMA_MBOX_3D_HISTORY",
    "SEMA_MBOX_3D_PROCESS",
    "SEMA_MBOX_3D_RENDER",
    "SEMA_MBOX_DOWNRIGGER",
    "SEMA_MBOX_DEVELOPMENT",
    "SEMA_TIMER_ACC",
    "SEMA_TIMER_ACC_COMM",
    "SEMA_TIMER_ADC",
    "SEMA_TIMER_ALARM",
    "SEMA_TIMER_BAROMETER",
    "SEMA_TIMER_BUTTON",
    "SEMA_TIMER_DBPOLL",
    "SEMA_TIMER_DISPLAY1",
    "SEMA_TIMER_DISPLAY2",
    "SEMA_TIMER_KEYB",
    "SEMA_TIMER_MMC",
    "SEMA_TIMER_NVRAM",
    "SEMA_TIMER_POS",
    "SEMA_TIMER_SPEED",
    "SEMA_TIMER_STARTUP",
    "SEMA_TIMER_TONE1",
    "SEMA_TIMER_TONE2",
    "SEMA_TIMER_VIEW_UPDATE",
    "SEMA_TIMER_NAV",
    "SEMA_TIMER_NMEA",
    "SEMA_TIMER_INFO",
    "SEMA_TIMER_SIM_MSG",
    "SEMA_TIMER_FENWISP",
    "SEMA_TIMER_SONAR_TEST",
    "SEMA_TIMER_3D_HISTORY",
    "SEMA_TIMER_3D_PROCESS",
    "SEMA_TIMER_EXIT_KEY",
    "SEMA_ADC_COMPLETE",
    "SEMA_A2D_TEST",
    "SEMA_BDMA1_COMPLETE",
    "SEMA_FINE_TIMER0",
    "SEMA_FINE_TIMER1",
    "SEMA_FINE_TIMER2",
    "SEMA_FINE_TIMER3",
    "SEMA_HDTX0_COMPLETE",
    "SEMA_HDTX1_COMPLETE",
    "SEMA_HDTX2_COMPLETE",
    "SEMA_HDTX3_COMPLETE",
    "SEMA_KEYBOARD_LONG_GOTO",
    "SEMA_KEYCLICK_GOOD",
    "SEMA_KEYCLICK_BAD",
    "SEMA_NVRAM_UPDATE",
    "SEMA_SHUTDOWN_KEYB",
    "SEMA_VIEW_UPDATE",
    "SEMA_NMEA_DETECTED",
    "SEMA_SERIAL_KEYBOARD_DISABLE",
    "SEMA_PC_CONNECT",
    "SEMA_TEST_CONNECT",
    "SEMA_GPS_DETECTED",
    "SEMA_ACC_REPLY",
    "SEMA_INFOBOX_UPDATE",
    "SEMA_MMC_INT",
    "SEMA_USER_TEST",
    "SEMA_FISH_ALARM_LARGE",
    "SEMA_FISH_ALARM_MEDIUM",
    "SEMA_FISH_ALARM_SMALL",
    "SEMA_CLEAR_ALARMS",
    "SEMA_PERSONAL_DATA",
    "SEMA_SONAR_SHUTDOWN",
    "SEMA_TRIGGER_SONAR",
    "SEMA_CHART_SLEEP",
    "SEMA_CHART_AWAKE",
    "SEMA_TEST_PARAMS",
    "SEMA_PING_QNE",
    "SEMA_UPDATE_HISTORY",
    "SEMA_RTS",
    "SEMA_INLINE_TEST",
    "SEMA_DATA_COMPLETE",
    "SEMA_MMC_DMA",
    "SEMA_RENDER_3D",
    "SEMA_TEST_EXT_NMEA",
    "SEMA_MMC_MISC",
    "SEMA_VIEW_RELEASE_BITMAP",
    "SEMA_OPEN_GPS_CHANNEL",
    "SEMA_TIMER_DOWNRIGGER",
    "SEMA_TIMEOUT_DR",
    "SEMA_TIMER_CHART3D_RENDER",
    "SEMA_TIMER_CHART3D_CURSOR",
    "SEMA_CHART3D_SETUP",
    "SEMA_MBOX_GATEWAY",
    "SEMA_TIMER_GATEWAY",
    "SEMA_MBOX_GATEWAY_NAV",
    "SEMA_TIMER_GATEWAY_NAV",
    "SEMA_GWNAVDATA_ACK",
    "SEMA_MBOX_ETHERNET",
    "SEMA_FUSION_0",
    "SEMA_FUSION_1",
    "SEMA_FUSION_2",
    "SEMA_FUSION_3",
    "SEMA_FUSION_4",
    "SEMA_FUSION_5",
    "SEMA_FUSION_6",
    "SEMA_FUSION_7",
    "SEMS_FUSION_8",
    "SEMA_FUSION_9",
    "SEMA_FUSION_10",
    "SEMA_FUSION_11",
    "SEMA_FUSION_12",
    "SEMA_FUSION_13",
    "SEMA_FUSION_14",
    "SEMA_FUSION_15",
    "SEMA_ETHERNET_TX",
    "SEMA_ETHERNET_RX",
    "SEMA_ETHERNET_TX_ERROR",
    "SEMA_ETHERNET_RX_ERROR",
    "SEMA_TIMER_ETHERNET_TICK",
    "SEMA_ETHERNET_LINK_UP",
    "SEMA_ETHERNET_LINK_DOWN",
    "SEMA_GDC0",
    "SEMA_GDC1",
    "SEMA_GDC2",
    "SEMA_GDC3",
    "SEMA_IIC",
    "SEMA_HSMMC_INT",
    "SEMA_MBOX_SOUND",
    "SEMA_SOUND_DMA",
    "SEMA_SOUND_COMPLETE",
    "SEMA_TIMER_CHECK_VIDEO_OUT",
    "SEMA_3D_FREEZE",
    "SEMA_DISPINIT_COMPLETE",
    "SEMA_SWITCH_UART_INT",
    "SEMA_SWITCH_UART_EXT",
    "SEMA_EXT_UART_TIMEOUT",
    "SEMA_TIMER_SATWEATHER",
    "SEMA_MBOX_SATWEATHER",
    "SEMA_MBOX_SATWEATHER_DATA",
    "SEMA_TIMER_SATWEATHER_DATA",
    "SEMA_SATWEATHER_1",
    "SEMA_TIMER_SAT_LOOP_PLAYBACK",
    "SEMA_BAUDRATE_CHANGED",
    "SEMA_CHART_REDRAW",
    "SEMA_MBOX_SLPD",
    "SEMA_TIMER_SLPD_AGE",
    "SEMA_MBOX_SLPTEST",
    "SEMA_MBOX_SOCKET",
    "SEMA_XID_COMPLETE",
    "SEMA_MBOX_XID",
    "SEMA_SONAR_TST",
    "SEMA_TIMER_TRANSELECTION",
    "SEMA_MBOX_GMSG",
    "SEMA_TIMER_GMSG",
    "SEMA_MBOX_GMSG_TEST",
    "SEMA_GMSG_SELECT",
    "SEMA_GMSG_TEST",
    "SEMA_MBOX_SLPCLIENT",
    "SEMA_SLPCLIENT_POLL",
    "SEMA_GMSG_PING",
    "SEMA_GMSG_NMEA",
    "SEMA_GMSG_TEMP",
    "SEMA_GMSG_ALARM",
    "SEMA_GMSG_NAV",
    "SEMA_MBOX_XDETECT",
    "SEMA_TEMP_INIT",
    "SEMA_MBOX_SUDPIN",
    "SEMA_SUDPIN_POLL",
    "SEMA_MBOX_SUDPOUT",
    "SEMA_SUDPOUT_POLL",
    "SEMA_TNHIST_WAIT",
    "SEMA_MBOX_RADAR",
    "SEMA_MBOX_RADAR_DATA",
    "SEMA_MBOX_RADAR_SERVER",
    "SEMA_MBOX_RADAR_SERVER_TCP",
    "SEMA_GMSG_RADAR_SERVER",
    "SEMA_GMSG_RADAR_SERVER_TCP",
    "SEMA_TIMER_RADAR_XMIT",
    "SEMA_TIMER_RADAR_WARMUP",
    "SEMA_TIMER_RADAR_HEARTBEAT",
    "SEMA_TIMER_RADAR_PLAYBACK",
    "SEMA_TIMER_RADAR_UPDATE",
    "SEMA_TIMER_WAYPOINT_TIMER",
    "SEMA_TIMER_RADAR_STANDBY_MSG",
    "SEMA_RADAR_TRIGGER_DELAY",
    "SEMA_MBOX_RADAR_CLIENT",
    "SEMA_GMSG_RADAR_CLIENT",
    "SEMA_TIMER_RADAR_CLIENT_XMIT",
    "SEMA_TIMER_RADAR_SIM_MSG",
    "SEMA_RADAR_RESTART_TRANSMIT",
    "SEMA_TIMER_RADAR_SERVER_HB",
    "SEMA_TIMER_RADAR_CLIENT_HB",
    "SEMA_CHART_AUTOZOOM_CHECK",
    "SEMA_NAVI_AUTOZOOM_RESTORE",
    "SEMA_CHART_CHART_DECLUTTER",
    "SEMA_TIMER_UART_INIT",
    "SEMA_MBOX_SYSTIME_EDIT",
    "SEMA_TIMER_RADAR_DATA",
    "SEMA_MBOX_ETHBCAST",
    "SEMA_TIMER_ALARM_TONE",
    "SEMA_SIMULATION_TIMER",
    "SEMA_VIEW_INFO",
    "SEMA_MBOX_ETH_UPDATER",
    "SEMA_TIMER_ETHUPDATE",
    "SEMA_TIMER_SIDE_POSTION_LOCK",
    "SEMA_TIMER_SWEEP_SPEED_ALARM",
    "SEMA_TIMER_MSS_DEPTH",
    "SEMA_QUEUE_MSSBCAST_RX",
    "SEMA_MBOX_MSSCONTROL",
    "SEMA_MSS_SWITCH_CONNECT",
    "SEMA_MBOX_MSS_UPDATER",
    "SEMA_TIMER_DISPLAY",
    "SEMA_SW_UPDATE_CHECK",
    "SEMA_MBOX_NETPING_RECEIVE",
    "SEMA_TIMER_NETWORK_DOWN",
    "SEMA_TIMER_MSS_VIEW_OFFSET",
    "SEMA_TIMER_MSS_YASR_DELAY",
    "SEMA_TIMER_START_SWEEPING",
    "SEMA_XDUCER_DETECT_FIRSTBOOT",
    "SEMA_TIMER_RETRACT_WAIT",
    "SEMA_TIMER_DEPLOYMENT_MSG",
    "SEMA_MBOX_VANTREL",
    "SEMA_GMSG_VANTREL",
    "SEMA_TIMER_VANTREL",
    "SEMA_TIMER_DARAVAZOS_MSG",
    "",
    "SEMA_MBOX_BTREMOTE",
    "SEMA_TIMER_BT_ACK",
    "SEMA_TIMER_BT_HB",
    "SEMA_TIMER_BT_CONF",
    "SEMA_TIMER_BT_BUTTON",
};

const char *const s_apcStates[4] = {"pending", "waiting", "done", "reset"};

bool bValid(SEMA sema) { return sema >= 1 && sema <= nsemas; }

U64 u64FireStamp(void) {
  U64 u64Now = L_CLOCK_qwGetTimeInNans();
  U64 u64Last = s_u64LastFire.load();
  U64 u64Stamp;
  do {
    u64Stamp = u64Now > u64Last ? u64Now : u64Last + 1;
  } while (!s_u64LastFire.compare_exchange_weak(u64Last, u64Stamp));
  return u64Stamp;
}

// The valid entries of a list: in list order (duplicates dropped) and in ascending order for locking.
struct SEMA_LIST {
  SEMA aOrder[nsemas];
  SEMA aLock[nsemas];
  int nCount = 0;
};

void vCollect(const SEMA *pList, SEMA_LIST *ptList) {
  bool abSeen[nsemas + 1] = {};
  ptList->nCount = 0;
  if (pList == nullptr) return;
  for (const SEMA *p = pList; *p != 0; p++) {
    if (!bValid(*p) || abSeen[*p]) continue;
    abSeen[*p] = true;
    ptList->aOrder[ptList->nCount] = *p;
    ptList->aLock[ptList->nCount] = *p;
    ptList->nCount++;
  }
  std::sort(ptList->aLock, ptList->aLock + ptList->nCount);
}

void vLockAll(const SEMA_LIST &tList) {
  for (int n = 0; n < tList.nCount; n++) pthread_mutex_lock(&s_atSemas[tList.aLock[n]].SemaMutex);
}

void vUnlockAll(const SEMA_LIST &tList) {
  for (int n = tList.nCount - 1; n >= 0; n--) pthread_mutex_unlock(&s_atSemas[tList.aLock[n]].SemaMutex);
}

bool bAnyDone(const SEMA_LIST &tList) {
  for (int n = 0; n < tList.nCount; n++) {
    if (s_atSemas[tList.aOrder[n]].u8SemaState.load() & SEMA_DONE) return true;
  }
  return false;
}

// The common wait: the number that fired first, -1 at the deadline, -6, -2.
ERC erWaitList(const SEMA *pList, const struct timespec *ptDeadline) {
  // Every wait is a place to end, also one that would return at once.
  TASK_vSafePoint();
  SEMA_LIST tList;
  vCollect(pList, &tList);
  if (tList.nCount == 0) return -lsSEMA_INVALID;
  TASK task = L_TASK_GetID(0);

  vLockAll(tList);
  for (int n = 0; n < tList.nCount; n++) {
    if (s_atSemas[tList.aOrder[n]].u8SemaState.load() & SEMA_WAITING) {
      vUnlockAll(tList);
      return -lsSEMA_WAIT_CONFLICT;
    }
  }
  for (int n = 0; n < tList.nCount; n++) {
    SEMA_INFO &tInfo = s_atSemas[tList.aOrder[n]];
    tInfo.WaitingTaskID.store(task);
    tInfo.u8SemaState.fetch_or(SEMA_WAITING);
  }
  pthread_mutex_t *ptMutex = TASK_ptMutex(task);
  pthread_cond_t *ptCond = TASK_ptCond(task);
  pthread_mutex_lock(ptMutex);
  vUnlockAll(tList);

  int nResult = 0;
  while (!bAnyDone(tList)) {
    nResult = TASK_nWait(ptCond, ptMutex, ptDeadline, true);
    if (nResult != 0) break;
  }
  pthread_mutex_unlock(ptMutex);

  vLockAll(tList);
  ERC erc = -lsTIMEOUT;
  if (nResult != TASK_WAIT_ENDING) {
    // The earliest fire wins; on equal times the earlier list entry. A signal that came with the deadline counts.
    int nChosen = -1;
    for (int n = 0; n < tList.nCount; n++) {
      const SEMA_INFO &tInfo = s_atSemas[tList.aOrder[n]];
      if (!(tInfo.u8SemaState.load() & SEMA_DONE)) continue;
      if (nChosen < 0 || tInfo.u64FireTimestamp.load() < s_atSemas[tList.aOrder[nChosen]].u64FireTimestamp.load()) {
        nChosen = n;
      }
    }
    if (nChosen >= 0) {
      s_atSemas[tList.aOrder[nChosen]].u8SemaState.fetch_and((U8)~SEMA_DONE);
      erc = tList.aOrder[nChosen];
    }
  }
  for (int n = 0; n < tList.nCount; n++) {
    SEMA_INFO &tInfo = s_atSemas[tList.aOrder[n]];
    tInfo.WaitingTaskID.store(0);
    tInfo.u8SemaState.fetch_and((U8)~SEMA_WAITING);
  }
  vUnlockAll(tList);
  if (nResult == TASK_WAIT_ENDING) TASK_vSafePoint();
  return erc;
}

ERC erWaitOne(SEMA sema, const struct timespec *ptDeadline) {
  if (!bValid(sema)) return -lsSEMA_INVALID;
  SEMA aList[2] = {sema, 0};
  ERC erc = erWaitList(aList, ptDeadline);
  return erc > 0 ? lsSUCCESS : erc;
}

// Applies the call to every valid entry in list order; its results are not reported.
ERC erForEach(const SEMA *pList, ERC (*pfnCall)(SEMA)) {
  SEMA_LIST tList;
  vCollect(pList, &tList);
  if (tList.nCount == 0) return -lsSEMA_INVALID;
  for (int n = 0; n < tList.nCount; n++) pfnCall(tList.aOrder[n]);
  return lsSUCCESS;
}

} // namespace

const char *get_semaphore_name(SEMA sema) {
  if (sema == -1) return "RC_TIMEOUT";
  if (sema < 0 || sema > nsemas) return "INVALID";
  return s_apcNames[sema];
}

ERC L_SEMA_Signal(SEMA sema) {
  if (!bValid(sema)) return -lsSEMA_INVALID;
  SEMA_INFO &tInfo = s_atSemas[sema];
  pthread_mutex_lock(&tInfo.SemaMutex);
  if (tInfo.u8SemaState.load() & SEMA_DONE) {
    pthread_mutex_unlock(&tInfo.SemaMutex);
    return -lsSEMA_OVERRUN;
  }
  tInfo.u64FireTimestamp.store(u64FireStamp());
  const U8 u8State = tInfo.u8SemaState.fetch_or(SEMA_DONE);
  const TASK waiter = tInfo.WaitingTaskID.load();
  pthread_mutex_unlock(&tInfo.SemaMutex);
  // The waiter takes this semaphore's lock as soon as it wakes: wake it after letting go. A waiter that has
  // already moved on gets a wake it tests and ignores.
  if (u8State & SEMA_WAITING) L_TASK_SignalConditional(waiter);
  return lsSUCCESS;
}

ERC L_SEMA_SignalMultiple(const SEMA *pList) { return erForEach(pList, L_SEMA_Signal); }

ERC L_SEMA_SetPending(SEMA sema) {
  if (!bValid(sema)) return -lsSEMA_INVALID;
  SEMA_INFO &tInfo = s_atSemas[sema];
  pthread_mutex_lock(&tInfo.SemaMutex);
  if (!(tInfo.u8SemaState.load() & SEMA_WAITING)) tInfo.u8SemaState.store(0);
  pthread_mutex_unlock(&tInfo.SemaMutex);
  return lsSUCCESS;
}

ERC L_SEMA_SetPendingMultiple(const SEMA *pList) { return erForEach(pList, L_SEMA_SetPending); }

ERC L_SEMA_GetWaitingTaskID(SEMA sema) {
  if (!bValid(sema)) return -lsSEMA_INVALID;
  SEMA_INFO &tInfo = s_atSemas[sema];
  pthread_mutex_lock(&tInfo.SemaMutex);
  ERC erc;
  if (tInfo.u8SemaState.load() & SEMA_WAITING) {
    erc = tInfo.WaitingTaskID.load();
  } else {
    erc = (tInfo.u8SemaState.load() & SEMA_DONE) ? -lsSEMA_DONE : -lsSEMA_PENDING;
  }
  pthread_mutex_unlock(&tInfo.SemaMutex);
  return erc;
}

ERC SEMA_erWaitUntil(SEMA sema, const struct timespec *ptDeadline) { return erWaitOne(sema, ptDeadline); }

ERC L_SEMA_Wait(SEMA sema) { return erWaitOne(sema, nullptr); }

ERC L_SEMA_WaitTicks(SEMA sema, TICKS ticks) {
  struct timespec tDeadline;
  L_CLOCK_PrepTimeoutTicks(&tDeadline, ticks);
  return erWaitOne(sema, &tDeadline);
}

ERC L_SEMA_WaitSeconds(SEMA sema, U32 seconds) {
  struct timespec tDeadline;
  L_CLOCK_PrepTimeoutSeconds(&tDeadline, seconds);
  return erWaitOne(sema, &tDeadline);
}

ERC L_SEMA_WaitMultiple(const SEMA *pList) { return erWaitList(pList, nullptr); }

void L_SEMA_Debug(void) {
  log_me("semaphore information (%d total)", nsemas);
  for (SEMA sema = 1; sema <= nsemas; sema++) {
    SEMA_INFO &tInfo = s_atSemas[sema];
    TASK task = tInfo.WaitingTaskID.load();
    log_me("  %02d %s: %s task #%d (%s) fired at %lld mutex.lock %d", sema, s_apcNames[sema],
           s_apcStates[tInfo.u8SemaState.load() & 3], task, get_task_name(task),
           (long long)tInfo.u64FireTimestamp.load(), TASK_nLockWord(&tInfo.SemaMutex));
  }
}
