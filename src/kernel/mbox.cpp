// Mailboxes: messages kept in priority order, first in first out among equals; only a send into an empty
// mailbox signals its semaphore.
#include "kernel/mbox.h"

#include <errno.h>
#include <pthread.h>

#include <atomic>
#include <vector>

#include "kernel/log.h"
#include "kernel/sema.h"
#include "kernel/task.h"
#include "kernel/task_table.h"
#include "kernel/tick.h"
#include "platform/clock.h"

namespace {

// Priorities beyond this range are ordered as its ends.
constexpr int kPriorityLevels = 16;

struct MBOX_INFO {
  MSGHEADER *MboxHeadPtr = nullptr;
  // The last queued message of each priority level, so a send appends in constant time.
  MSGHEADER *aptTail[kPriorityLevels] = {};
  std::atomic<SEMA> MboxSemaphore{0};
  pthread_mutex_t MboxMutex;
  pthread_cond_t MboxCond;
};

MBOX_INFO s_atMboxes[nmboxes + 1];
pthread_once_t s_tOnce = PTHREAD_ONCE_INIT;

const char *const s_apcNames[nmboxes + 1] = {
    "",
    "M_CBUG",
    "M_COM1A",
    "M_DUMMY",
    "M_DISPLAY",
    "M_VIEW",
    "M_VIEWKEY",
    "M_ADC",
    "M_PING",
    "M_PROCESS",
    "M_KEYB",
    "M_SPEED",
    "M_INFO",
    "M_CHART",
    "M_NVRAM",
    "M_MENU",
    "M_NAV",
    "M_STARTUP",
    "M_TONE",
    "M_NMEA",
    "M_ALARM",
    "M_PCCOM",
    "M_BAROMETER",
    "M_ACCESSORY",
    "M_WTEMP",
    "M_BATTERY",
    "M_INLINETEST",
    "M_ACC_COMM",
    "M_ACC_REPLY",
    "M_MMC",
    "M_FENWISP",
    "M_HISTORY",
    "M_BUTTON",
    "M_CHART_INFO",
    "M_3D_HISTORY",
    "M_3D_PROCESS",
    "M_3D_RENDER",
    "M_DEVELOPMENT",
    "M_DOWNRIGGER",
    "M_BATHYMETRY",
    "M_CHART3D",
    "M_HTML",
    "M_GATEWAY",
    "M_GWNAVDATA",
    "M_GATEWAY_NAV",
    "M_ETHERNET",
    "M_SOUND",
    "M_SATWEATHER",
    "M_SATWEATHER_DATA",
    "M_SLPD",
    "M_SLPTEST",
    "M_SOCKET",
    "M_XID",
    "M_GMSG",
    "M_GMSG_TEST",
    "M_SLPCLIENT",
    "M_SLPCLIENT2",
    "M_SUDPIN",
    "M_SUDPOUT",
    "M_RADAR",
    "M_RADAR_DATA",
    "M_RADAR_SERVER",
    "M_SYSTIME_EDIT",
    "M_RADAR_SERVER_TCP",
    "M_RADAR_CLIENT",
    "M_ETHBCAST",
    "M_ETHUPDATE",
    "M_MSS_CONTROL",
    "M_MSSUPDATER",
    "M_NETPING",
    "M_VANTREL",
    "M_BT_REMOTE",
};

void vInit(void) {
  for (MBOX mbox = 1; mbox <= nmboxes; mbox++) {
    TASK_vInitWaitPoint(&s_atMboxes[mbox].MboxMutex, &s_atMboxes[mbox].MboxCond);
  }
}

bool bValid(MBOX mbox) {
  pthread_once(&s_tOnce, vInit);
  return mbox >= 1 && mbox <= nmboxes;
}

std::atomic_ref<U8> tAcked(MSGHEADER *ptHeader) { return std::atomic_ref<U8>(ptHeader->u8Acked); }

int nLevel(PRIORITY priority) {
  return (int)priority >= kPriorityLevels ? kPriorityLevels - 1 : (int)priority;
}

// Mailbox locked: takes the first message off.
MSGHEADER *ptPop(MBOX_INFO &tInfo) {
  MSGHEADER *ptMsg = tInfo.MboxHeadPtr;
  if (ptMsg == nullptr) return nullptr;
  tInfo.MboxHeadPtr = ptMsg->MsgNext;
  MSGHEADER *&ptTail = tInfo.aptTail[nLevel(ptMsg->MsgPriority)];
  if (ptTail == ptMsg) ptTail = nullptr;
  return ptMsg;
}

// Blocks until the mailbox holds a message or the deadline passes (NULL: no limit).
void *pvReceiveUntil(MBOX mbox, const struct timespec *ptDeadline) {
  if (!bValid(mbox)) return nullptr;
  TASK_vSafePoint();
  MBOX_INFO &tInfo = s_atMboxes[mbox];
  pthread_mutex_lock(&tInfo.MboxMutex);
  int nResult = 0;
  while (tInfo.MboxHeadPtr == nullptr && nResult == 0) {
    nResult = TASK_nWait(&tInfo.MboxCond, &tInfo.MboxMutex, ptDeadline, true);
  }
  MSGHEADER *ptMsg = nullptr;
  if (nResult != TASK_WAIT_ENDING) ptMsg = ptPop(tInfo);
  pthread_mutex_unlock(&tInfo.MboxMutex);
  if (nResult == TASK_WAIT_ENDING) TASK_vSafePoint();
  return ptMsg;
}

// Sends and waits until this very message is acknowledged: a wake-up by an earlier message's late
// acknowledgement on the same semaphore is passed over.
ERC erSendWaitUntil(MBOX mbox, void *pvMsg, PRIORITY priority, SEMA sema, const struct timespec *ptDeadline) {
  if (!bValid(mbox)) return -lsMBOX_INVALID;
  MSGHEADER *ptHeader = static_cast<MSGHEADER *>(pvMsg);
  L_SEMA_SetPending(sema);
  ERC erc = L_MBOX_Send(mbox, pvMsg, priority, sema);
  if (erc != lsSUCCESS) return erc;
  for (;;) {
    erc = SEMA_erWaitUntil(sema, ptDeadline);
    if (tAcked(ptHeader).load()) return lsSUCCESS;
    if (erc != lsSUCCESS) return erc;
  }
}

} // namespace

const char *get_mailbox_name(MBOX mbox) {
  if (mbox < 0 || mbox > nmboxes) return "INVALID";
  return s_apcNames[mbox];
}

ERC L_MBOX_Send(MBOX mbox, void *pvMsg, PRIORITY priority, SEMA sema) {
  if (!bValid(mbox)) return -lsMBOX_INVALID;
  MSGHEADER *ptMsg = static_cast<MSGHEADER *>(pvMsg);
  ptMsg->sema = sema;
  ptMsg->MsgPriority = priority;
  ptMsg->task = L_TASK_GetID(0);
  tAcked(ptMsg).store(0);

  MBOX_INFO &tInfo = s_atMboxes[mbox];
  pthread_mutex_lock(&tInfo.MboxMutex);
  const bool bWasEmpty = tInfo.MboxHeadPtr == nullptr;
  // After the last message of the same or a more urgent priority, first when there is none.
  const int nOwn = nLevel(priority);
  MSGHEADER *ptAfter = nullptr;
  for (int n = nOwn; n >= 0 && ptAfter == nullptr; n--) ptAfter = tInfo.aptTail[n];
  if (ptAfter == nullptr) {
    ptMsg->MsgNext = tInfo.MboxHeadPtr;
    tInfo.MboxHeadPtr = ptMsg;
  } else {
    ptMsg->MsgNext = ptAfter->MsgNext;
    ptAfter->MsgNext = ptMsg;
  }
  tInfo.aptTail[nOwn] = ptMsg;
  pthread_mutex_unlock(&tInfo.MboxMutex);
  // The receiver is woken once the mailbox is unlocked, so it does not wake into the lock it needs.
  if (bWasEmpty) {
    SEMA semaBound = tInfo.MboxSemaphore.load();
    if (semaBound != 0) L_SEMA_Signal(semaBound);
    pthread_cond_broadcast(&tInfo.MboxCond);
  }
  return lsSUCCESS;
}

ERC L_MBOX_SendWait(MBOX mbox, void *pvMsg, PRIORITY priority, SEMA sema) {
  return erSendWaitUntil(mbox, pvMsg, priority, sema, nullptr);
}

ERC L_MBOX_SendWaitTicks(MBOX mbox, void *pvMsg, PRIORITY priority, SEMA sema, TICKS ticks) {
  struct timespec tDeadline;
  L_CLOCK_PrepTimeoutTicks(&tDeadline, ticks);
  return erSendWaitUntil(mbox, pvMsg, priority, sema, &tDeadline);
}

ERC L_MBOX_SendWaitSeconds(MBOX mbox, void *pvMsg, PRIORITY priority, SEMA sema, U32 seconds) {
  struct timespec tDeadline;
  L_CLOCK_PrepTimeoutSeconds(&tDeadline, seconds);
  return erSendWaitUntil(mbox, pvMsg, priority, sema, &tDeadline);
}

void *L_MBOX_Receive(MBOX mbox) {
  if (!bValid(mbox)) return nullptr;
  MBOX_INFO &tInfo = s_atMboxes[mbox];
  pthread_mutex_lock(&tInfo.MboxMutex);
  MSGHEADER *ptMsg = ptPop(tInfo);
  pthread_mutex_unlock(&tInfo.MboxMutex);
  return ptMsg;
}

void *L_MBOX_ReceiveWait(MBOX mbox) { return pvReceiveUntil(mbox, nullptr); }

void *L_MBOX_ReceiveWaitTicks(MBOX mbox, TICKS ticks) {
  struct timespec tDeadline;
  L_CLOCK_PrepTimeoutTicks(&tDeadline, ticks);
  return pvReceiveUntil(mbox, &tDeadline);
}

void *L_MBOX_ReceiveWaitSeconds(MBOX mbox, U32 seconds) {
  struct timespec tDeadline;
  L_CLOCK_PrepTimeoutSeconds(&tDeadline, seconds);
  return pvReceiveUntil(mbox, &tDeadline);
}

ERC L_MBOX_DefineSema(MBOX mbox, SEMA sema) {
  if (!bValid(mbox)) return -lsMBOX_INVALID;
  if (sema < 0 || sema > nsemas) return -lsSEMA_INVALID;
  s_atMboxes[mbox].MboxSemaphore.store(sema);
  return lsSUCCESS;
}

bool L_MBOX_bUpdateQueued(MBOX mbox, bool (*pfnUpdate)(void *pvMsg, void *pvArg), void *pvArg) {
  if (!bValid(mbox)) return false;
  MBOX_INFO &tInfo = s_atMboxes[mbox];
  pthread_mutex_lock(&tInfo.MboxMutex);
  bool bDone = false;
  for (MSGHEADER *ptMsg = tInfo.MboxHeadPtr; ptMsg != nullptr && !bDone; ptMsg = ptMsg->MsgNext) {
    bDone = pfnUpdate(ptMsg, pvArg);
  }
  pthread_mutex_unlock(&tInfo.MboxMutex);
  return bDone;
}

U32 L_MBOX_u32Count(MBOX mbox) {
  if (!bValid(mbox)) return 0;
  MBOX_INFO &tInfo = s_atMboxes[mbox];
  pthread_mutex_lock(&tInfo.MboxMutex);
  U32 u32Count = 0;
  for (MSGHEADER *ptMsg = tInfo.MboxHeadPtr; ptMsg != nullptr; ptMsg = ptMsg->MsgNext) u32Count++;
  pthread_mutex_unlock(&tInfo.MboxMutex);
  return u32Count;
}

ERC L_MBOX_AckMessage(void *pvMsg) {
  MSGHEADER *ptHeader = static_cast<MSGHEADER *>(pvMsg);
  // Once marked, the sender may take the memory back: read the semaphore first.
  SEMA sema = ptHeader->sema;
  tAcked(ptHeader).store(1);
  return L_SEMA_Signal(sema);
}

void L_MBOX_Debug(void) {
  pthread_once(&s_tOnce, vInit);
  log_me("mbox information (%d total)", nmboxes);
  for (MBOX mbox = 1; mbox <= nmboxes; mbox++) {
    MBOX_INFO &tInfo = s_atMboxes[mbox];
    SEMA sema = tInfo.MboxSemaphore.load();
    const int nLockWord = TASK_nLockWord(&tInfo.MboxMutex);
    // The waiting messages are copied under the mailbox's mutex: a receiver may take and free them meanwhile.
    std::vector<MSGHEADER> atWaiting;
    const bool bLocked = TASK_bLockForDump(&tInfo.MboxMutex);
    if (bLocked) {
      for (MSGHEADER *ptMsg = tInfo.MboxHeadPtr; ptMsg != nullptr; ptMsg = ptMsg->MsgNext) atWaiting.push_back(*ptMsg);
      pthread_mutex_unlock(&tInfo.MboxMutex);
    }
    log_me("  %02d %s: sema #%d (%s) mutex.lock %d%s", mbox, s_apcNames[mbox], sema, get_semaphore_name(sema),
           nLockWord, bLocked ? "" : " busy: messages not shown");
    int nPosition = 1;
    for (const MSGHEADER &tMsg : atWaiting) {
      log_me("    msg #%d: sema %d (%s) priority %d task %d (%s)", nPosition++, tMsg.sema,
             get_semaphore_name(tMsg.sema), tMsg.MsgPriority, tMsg.task, get_task_name(tMsg.task));
    }
  }
}
