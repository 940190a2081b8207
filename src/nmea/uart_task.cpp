#include "nmea/uart_task.h"

#include <time.h>

#include <atomic>
#include <mutex>

#include "kernel/error.h"
#include "kernel/log.h"
#include "kernel/memory.h"
#include "kernel/queue.h"
#include "kernel/reset.h"
#include "kernel/sema.h"
#include "kernel/task.h"
#include "kernel/timer.h"
#include "nmea/task_post.h"
#include "platform/uart.h"
#include "settings/database.h"

namespace {

typedef struct tag_CONDITIONAL_CHANNEL_LOCK {
  BYTE cTriggerCharacter;
  SEMA semaNotify;
  TASK taskOwner;
  struct tag_CONDITIONAL_CHANNEL_LOCK *pNext;
} CONDITIONAL_CHANNEL_LOCK;

typedef struct tag_CHANNEL_CONTROL {
  std::atomic<TASK> taskOwner;
  U32 u32CharacterTime;
  std::atomic<U32> u32CurrentBaudrate;
  CONDITIONAL_CHANNEL_LOCK *pConditionalList;
  BOOLEAN bFindInitialCR;
  BOOLEAN bLastCharCR;
  BOOLEAN bHalfDuplex;
  U32 u32InitialBaudRate;
  QUEUE queueTransmit;
  QUEUE queueReceive;
  SEMA semaTransmit;
  SEMA semaReceive;
  SEMA semaFineTimer;
  TIMER_INFO *pFineTimer;  // half-duplex channels: the turnaround re-check
  std::atomic<U32> u32Mode;
  std::atomic<U32> u32TransmitTurns;
  std::atomic<U32> u32Handled;
} CHANNEL_CONTROL;

struct CHANNEL_START {
  U32 u32Baud;
  BOOLEAN bHalfDuplex;
  QUEUE queueTransmit, queueReceive;
  SEMA semaTransmit, semaReceive, semaFineTimer;
};

const CHANNEL_START kStart[UART_CHANNELS] = {
    {38400, FALSE, Q_TRANSMIT_UART0, Q_RECEIVE_UART0, SEMA_QUEUE_TX0, SEMA_QUEUE_RX0, SEMA_FINE_TIMER0},
    {115200, TRUE, Q_TRANSMIT_UART1, Q_RECEIVE_UART1, SEMA_QUEUE_TX1, SEMA_QUEUE_RX1, SEMA_FINE_TIMER1},
    {4800, FALSE, Q_TRANSMIT_UART2, Q_RECEIVE_UART2, SEMA_QUEUE_TX2, SEMA_QUEUE_RX2, SEMA_FINE_TIMER2},
    {4800, FALSE, Q_TRANSMIT_UART3, Q_RECEIVE_UART3, SEMA_QUEUE_TX3, SEMA_QUEUE_RX3, SEMA_FINE_TIMER3},
};

CHANNEL_CONTROL s_sControl[UART_CHANNELS];
std::atomic<BOOLEAN> s_bInitPeriod{TRUE};
std::atomic<bool> s_bRunning{false};  // set up and waiting for events
BOOLEAN s_bShutdown = FALSE;
// One client call's characters enter a transmit queue together.
std::mutex s_aTransmitLock[UART_CHANNELS];

// Ties go to the earlier entry.
const SEMA kWaitList[] = {4, 6, 3, 5, 15, 17, 97, 98, 93, 94, 34, 11, 8, 7, 19, 99, 95, 12, 13, 10, 9, 21, 100, 96,
                          14, 245, 0};

constexpr BYTE CR = '\r';
constexpr BYTE LF = '\n';

void setMode(U8 u8Channel, U32 u32Mode) {
  CHANNEL_CONTROL &ctl = s_sControl[u8Channel];
  if (u32Mode == UART_HALF_DUPLEX_TRANSMIT && ctl.u32Mode.load() != UART_HALF_DUPLEX_TRANSMIT) {
    ctl.u32TransmitTurns.fetch_add(1);
  }
  ctl.u32Mode.store(u32Mode);
  H_UART_vSetMode(u8Channel, u32Mode);
}

void freeConditionalList(CHANNEL_CONTROL &ctl) {
  while (CONDITIONAL_CHANNEL_LOCK *pLock = ctl.pConditionalList) {
    ctl.pConditionalList = pLock->pNext;
    H_MEMORY_vFree(pLock);
  }
}

void openChannel(U8 u8Channel, U32 u32Baud) {
  CHANNEL_CONTROL &ctl = s_sControl[u8Channel];
  ctl.u32CharacterTime = H_UART_u32Setup(u8Channel, u32Baud, ctl.bHalfDuplex);
  setMode(u8Channel, ctl.bHalfDuplex ? UART_HALF_DUPLEX_RECEIVE : UART_FULL_DUPLEX);
  L_QUEUE_Purge(ctl.queueTransmit);
  L_QUEUE_Purge(ctl.queueReceive);
}

void setBaudRate(U8 u8Channel, U32 u32Baud) {
  CHANNEL_CONTROL &ctl = s_sControl[u8Channel];
  ctl.u32CurrentBaudrate.store(u32Baud);
  ctl.u32CharacterTime = H_UART_u32SetBaudRate(u8Channel, u32Baud);
}

void T_UART_vHandleReceive(U8 u8Channel) {
  CHANNEL_CONTROL &ctl = s_sControl[u8Channel];
  if (s_bInitPeriod) {
    while (DD_UART_bRxCharAvail(u8Channel)) {
      H_UART_u16FetchRx(u8Channel);
      ctl.u32Handled.fetch_add(1);
    }
    return;
  }
  while (ctl.bFindInitialCR) {
    if (!DD_UART_bRxCharAvail(u8Channel)) return;
    const BYTE c = static_cast<BYTE>(H_UART_u16FetchRx(u8Channel));
    if (c == CR || c == LF) {
      ctl.bFindInitialCR = FALSE;
      ctl.bLastCharCR = TRUE;
    }
    ctl.u32Handled.fetch_add(1);
  }
  while (DD_UART_bRxCharAvail(u8Channel)) {
    const BYTE c = static_cast<BYTE>(H_UART_u16FetchRx(u8Channel));
    const U16 u16Entry = c;
    if (ctl.taskOwner.load() != 0) {
      L_QUEUE_Put(ctl.queueReceive, &u16Entry);  // a full queue drops the character
    } else if (ctl.bLastCharCR) {
      for (CONDITIONAL_CHANNEL_LOCK *pLock = ctl.pConditionalList; pLock != nullptr; pLock = pLock->pNext) {
        if (pLock->cTriggerCharacter != c) continue;
        ctl.taskOwner.store(pLock->taskOwner);
        L_QUEUE_Put(ctl.queueReceive, &u16Entry);
        L_SEMA_Signal(pLock->semaNotify);
        break;
      }
    }
    ctl.bLastCharCR = (c == CR || c == LF) ? TRUE : FALSE;
    ctl.u32Handled.fetch_add(1);
  }
}

// Fine-timer ticks are 200 microseconds; the kernel timer counts milliseconds.
void armTurnaround(U8 u8Channel, U32 u32Pending) {
  CHANNEL_CONTROL &ctl = s_sControl[u8Channel];
  if (ctl.pFineTimer == nullptr) return;
  const U32 u32FineTicks = ctl.u32CharacterTime * u32Pending / 200 + 1;
  const U32 u32Ms = (u32FineTicks + 4) / 5;
  L_TIMER_Start(ctl.pFineTimer, u32Ms == 0 ? 1 : u32Ms, 0, ctl.semaFineTimer);
}

void T_UART_vHandleLineTurnAround(U8 u8Channel) {
  CHANNEL_CONTROL &ctl = s_sControl[u8Channel];
  if (!ctl.bHalfDuplex || ctl.u32Mode.load() != UART_HALF_DUPLEX_TRANSMIT) return;
  const ERC erQueued = L_QUEUE_Inquire(ctl.queueTransmit);
  const U32 u32Queued = erQueued > 0 ? static_cast<U32>(erQueued) : 0;
  const U32 u32InDriver = DD_UART_u32FetchTxCount(u8Channel);
  if (u32Queued == 0 && u32InDriver == 0) {
    setMode(u8Channel, UART_HALF_DUPLEX_RECEIVE);
    return;
  }
  armTurnaround(u8Channel, u32Queued + u32InDriver);
}

void T_UART_vHandleTransmit(U8 u8Channel) {
  CHANNEL_CONTROL &ctl = s_sControl[u8Channel];
  if (s_bShutdown) {
    L_QUEUE_Purge(ctl.queueTransmit);
    L_QUEUE_Purge(ctl.queueReceive);
    return;
  }
  if (L_QUEUE_Inquire(ctl.queueTransmit) <= 0) return;
  if (ctl.bHalfDuplex) setMode(u8Channel, UART_HALF_DUPLEX_TRANSMIT);
  BYTE c;
  while (L_QUEUE_Get(ctl.queueTransmit, &c) == 0) H_UART_vPutChar(u8Channel, c);
  if (ctl.bHalfDuplex) T_UART_vHandleLineTurnAround(u8Channel);
}

void T_UART_vHandleReceiveError(U8 u8Channel) {
  CHANNEL_CONTROL &ctl = s_sControl[u8Channel];
  if (DD_UART_u8GetRxStatus(u8Channel) == 0) return;
  log_me("uart %u: receive error, port reopened", static_cast<unsigned>(u8Channel));
  openChannel(u8Channel, ctl.u32CurrentBaudrate.load());
  ctl.bLastCharCR = FALSE;
  ctl.bFindInitialCR = TRUE;
}

BOOLEAN changeBaudRate(TASK sender, MSG_CHANGE_BAUD_RATE *pMsg) {
  if (pMsg->uart >= UART_CHANNELS) return FALSE;
  CHANNEL_CONTROL &ctl = s_sControl[pMsg->uart];
  const TASK owner = ctl.taskOwner.load();
  if (owner != 0 && owner != sender) return FALSE;
  if (pMsg->baud_rate != ctl.u32CurrentBaudrate.load()) setBaudRate(pMsg->uart, pMsg->baud_rate);
  return TRUE;
}

void disconnect(TASK sender, MSG_DISCONNECT *pMsg) {
  if (pMsg->channel >= UART_CHANNELS) return;
  CHANNEL_CONTROL &ctl = s_sControl[pMsg->channel];
  if (ctl.taskOwner.load() != sender) return;
  ctl.taskOwner.store(0);
  setBaudRate(pMsg->channel, pMsg->flag ? 4800 : ctl.u32InitialBaudRate);
  ctl.bFindInitialCR = TRUE;
  ctl.bLastCharCR = FALSE;
}

BOOLEAN capture(TASK sender, MSG_CAPTURE_CHANNEL *pMsg) {
  if (pMsg->uart >= UART_CHANNELS) return FALSE;
  CHANNEL_CONTROL &ctl = s_sControl[pMsg->uart];
  const TASK owner = ctl.taskOwner.load();
  bool bTake = false;
  if (pMsg->semaphore == 0) {
    bTake = owner == 0 || (owner == sender && ctl.pConditionalList == nullptr);
  } else if (pMsg->semaphore == -1) {
    bTake = true;
  } else {
    if (owner != 0 && ctl.pConditionalList == nullptr) return FALSE;
    auto *pLock = static_cast<CONDITIONAL_CHANNEL_LOCK *>(H_MEMORY_pvMalloc(sizeof(CONDITIONAL_CHANNEL_LOCK)));
    pLock->cTriggerCharacter = pMsg->byteMatchCharacter;
    pLock->semaNotify = pMsg->semaphore;
    pLock->taskOwner = sender;
    pLock->pNext = ctl.pConditionalList;
    ctl.pConditionalList = pLock;
    return TRUE;
  }
  if (!bTake) return FALSE;
  ctl.taskOwner.store(sender);
  ctl.bFindInitialCR = FALSE;
  return TRUE;
}

void shutdown() {
  for (U8 u8Channel = 0; u8Channel < UART_CHANNELS; ++u8Channel) {
    CHANNEL_CONTROL &ctl = s_sControl[u8Channel];
    if (ctl.pFineTimer != nullptr) L_TIMER_Stop(ctl.pFineTimer);
    H_UART_vShutdown(u8Channel);
    ctl.taskOwner.store(0);
    freeConditionalList(ctl);
  }
  s_bShutdown = TRUE;
}

void handleMailbox() {
  while (void *pvMsg = L_MBOX_Receive(M_COM1A)) {
    auto *pGeneric = static_cast<GENERIC_MESSAGE *>(pvMsg);
    const TASK sender = pGeneric->msghdr.task;
    switch (pGeneric->Cmd) {
      case CMD_ID_CHANGE_BAUD_RATE: {
        auto *pMsg = static_cast<MSG_CHANGE_BAUD_RATE *>(pvMsg);
        pMsg->flag = changeBaudRate(sender, pMsg);
        break;
      }
      case CMD_ID_DISCONNECT: disconnect(sender, static_cast<MSG_DISCONNECT *>(pvMsg)); break;
      case CMD_ID_CAPTURE_CHANNEL: {
        auto *pMsg = static_cast<MSG_CAPTURE_CHANNEL *>(pvMsg);
        pMsg->flag = capture(sender, pMsg);
        break;
      }
      case CMD_ID_SHUTDOWN: shutdown(); break;
      case CMD_ID_NEW_DATA:
      case CMD_ID_RESET_POS:
      case CMD_ID_RUN_SYSTEM: break;  // sent to every task; nothing to do here
      default: log_me("uart task: command %d ignored", static_cast<int>(pGeneric->Cmd)); break;
    }
    H_MEMORY_vDumpMail(pvMsg);
  }
}

[[noreturn]] void fatal(U32 u32Line, const char *pcText) {
  ERROR_error(__FILE__, u32Line, pcText);
  U_RESET_vReset();
}

bool validChannel(U8 u8Port) { return u8Port < UART_CHANNELS; }

}  // namespace

void T_UART_vMain(void) {
  s_bRunning = false;
  s_bInitPeriod = TRUE;
  s_bShutdown = FALSE;
  if (H_DATABASE_bUpdateEverythingU32(FCID("TURT"), M_COM1A, P_NORMAL, D_MAILBOX, nullptr, DB_NO_TIMEOUT)) {
    fatal(__LINE__, "Somebody else registered the UART Task Mailbox");
  }
  for (U8 u8Channel = 0; u8Channel < UART_CHANNELS; ++u8Channel) {
    CHANNEL_CONTROL &ctl = s_sControl[u8Channel];
    const CHANNEL_START &start = kStart[u8Channel];
    freeConditionalList(ctl);
    ctl.taskOwner.store(0);
    ctl.u32CurrentBaudrate.store(start.u32Baud);
    ctl.u32InitialBaudRate = start.u32Baud;
    ctl.bHalfDuplex = start.bHalfDuplex;
    ctl.queueTransmit = start.queueTransmit;
    ctl.queueReceive = start.queueReceive;
    ctl.semaTransmit = start.semaTransmit;
    ctl.semaReceive = start.semaReceive;
    ctl.semaFineTimer = start.semaFineTimer;
    ctl.bLastCharCR = FALSE;
    ctl.u32TransmitTurns.store(0);
    L_QUEUE_DefineSema(ctl.queueTransmit, ctl.semaTransmit, QNE);
    L_QUEUE_DefineSema(ctl.queueReceive, ctl.semaReceive, QNE);
    openChannel(u8Channel, start.u32Baud);
    ctl.bFindInitialCR = TRUE;
    if (ctl.bHalfDuplex && ctl.pFineTimer == nullptr) {
      ctl.pFineTimer = L_TIMER_Allocate();
      if (ctl.pFineTimer == nullptr) fatal(__LINE__, "No TImers");
    }
  }
  TIMER_INFO *pInitTimer = L_TIMER_Start(nullptr, 800, 0, SEMA_TIMER_UART_INIT);
  if (pInitTimer == nullptr) fatal(__LINE__, "No TImers");
  s_bRunning = true;
  for (;;) {
    const ERC sema = L_SEMA_WaitMultiple(kWaitList);
    switch (sema) {
      case SEMA_TRANSMIT_RDY_UART0: case SEMA_QUEUE_TX0: T_UART_vHandleTransmit(0); break;
      case SEMA_TRANSMIT_RDY_UART1: case SEMA_QUEUE_TX1: T_UART_vHandleTransmit(1); break;
      case SEMA_TRANSMIT_RDY_UART2: case SEMA_QUEUE_TX2: T_UART_vHandleTransmit(2); break;
      case SEMA_TRANSMIT_RDY_UART3: case SEMA_QUEUE_TX3: T_UART_vHandleTransmit(3); break;
      case SEMA_RECEIVE_RDY_UART0: T_UART_vHandleReceive(0); break;
      case SEMA_RECEIVE_RDY_UART1: T_UART_vHandleReceive(1); break;
      case SEMA_RECEIVE_RDY_UART2: T_UART_vHandleReceive(2); break;
      case SEMA_RECEIVE_RDY_UART3: T_UART_vHandleReceive(3); break;
      case SEMA_RECEIVE_ERROR: T_UART_vHandleReceiveError(0); break;
      case SEMA_UART1_RECEIVE_ERROR: T_UART_vHandleReceiveError(1); break;
      case SEMA_UART2_RECEIVE_ERROR: T_UART_vHandleReceiveError(2); break;
      case SEMA_UART3_RECEIVE_ERROR: T_UART_vHandleReceiveError(3); break;
      case SEMA_HDTX0_COMPLETE: case SEMA_FINE_TIMER0: T_UART_vHandleLineTurnAround(0); break;
      case SEMA_HDTX0_COMPLETE + 1: case SEMA_FINE_TIMER1: T_UART_vHandleLineTurnAround(1); break;
      case SEMA_HDTX0_COMPLETE + 2: case SEMA_FINE_TIMER2: T_UART_vHandleLineTurnAround(2); break;
      case SEMA_HDTX0_COMPLETE + 3: case SEMA_FINE_TIMER3: T_UART_vHandleLineTurnAround(3); break;
      case SEMA_MBOX_COM1A: handleMailbox(); break;
      case SEMA_TIMER_UART_INIT:
        s_bInitPeriod = FALSE;
        if (pInitTimer != nullptr) {
          L_TIMER_Stop(pInitTimer);
          L_TIMER_Release(pInitTimer);
          pInitTimer = nullptr;
        }
        break;
      default: break;
    }
  }
}

BOOLEAN U_UART_bTransmitData(U8 u8Port, const void *pcData, int nSize) {
  if (!validChannel(u8Port)) return FALSE;
  if (nSize <= 0) return TRUE;
  const bool bUartTask = L_TASK_GetID(0) == UARTTASK;
  std::unique_lock<std::mutex> guard(s_aTransmitLock[u8Port], std::defer_lock);
  if (!bUartTask) guard.lock();
  const QUEUE queue = kStart[u8Port].queueTransmit;
  const BYTE *pc = static_cast<const BYTE *>(pcData);
  for (int i = 0; i < nSize;) {
    if (L_QUEUE_Put(queue, &pc[i]) == 0) {
      ++i;
    } else if (bUartTask) {
      T_UART_vHandleTransmit(u8Port);
    } else {
      // The UART task drains the queue; give it the processor.
      const struct timespec tPause = {0, 100000};
      nanosleep(&tPause, nullptr);
    }
  }
  return TRUE;
}

BOOLEAN U_UART_bChangeBaudRate(U8 u8Port, U32 u32BaudRate) {
  if (!validChannel(u8Port)) return FALSE;
  auto *pMsg = NMEA_pNewMessage<MSG_CHANGE_BAUD_RATE>(CMD_ID_CHANGE_BAUD_RATE);
  pMsg->uart = u8Port;
  pMsg->baud_rate = u32BaudRate;
  return NMEA_bPostToTask(FCID("TURT"), pMsg);
}

BOOLEAN U_UART_bReleaseChannel(U8 u8Port, BOOLEAN bForce4800) {
  if (!validChannel(u8Port)) return FALSE;
  auto *pMsg = NMEA_pNewMessage<MSG_DISCONNECT>(CMD_ID_DISCONNECT);
  pMsg->channel = u8Port;
  pMsg->flag = bForce4800;
  return NMEA_bPostToTask(FCID("TURT"), pMsg);
}

BOOLEAN U_UART_bRegisterForChannel(U8 u8Port, BYTE byteMatchChar, SEMA semaphore) {
  if (!validChannel(u8Port)) return FALSE;
  auto *pMsg = NMEA_pNewMessage<MSG_CAPTURE_CHANNEL>(CMD_ID_CAPTURE_CHANNEL);
  pMsg->uart = u8Port;
  pMsg->byteMatchCharacter = byteMatchChar;
  pMsg->semaphore = semaphore;
  return NMEA_bPostToTask(FCID("TURT"), pMsg);
}

BOOLEAN U_UART_bAllocateChannel(U8 u8Port) { return U_UART_bRegisterForChannel(u8Port, 0, 0); }

QUEUE T_UART_nGetQueue(U8 u8Channel, BOOLEAN bTxNotRx) {
  if (!validChannel(u8Channel)) return -1;
  return bTxNotRx ? kStart[u8Channel].queueTransmit : kStart[u8Channel].queueReceive;
}

BOOLEAN T_UART_bChannelIsOwned(U8 u8Channel) {
  return validChannel(u8Channel) && s_sControl[u8Channel].taskOwner.load() != 0 ? TRUE : FALSE;
}

BOOLEAN T_UART_bInitPeriodForTest(void) { return s_bInitPeriod.load(); }
BOOLEAN T_UART_bRunningForTest(void) { return s_bRunning.load() ? TRUE : FALSE; }
TASK T_UART_taskOwnerForTest(U8 u8Channel) { return s_sControl[u8Channel].taskOwner.load(); }
U32 T_UART_u32BaudRateForTest(U8 u8Channel) { return s_sControl[u8Channel].u32CurrentBaudrate.load(); }
U32 T_UART_u32ModeForTest(U8 u8Channel) { return s_sControl[u8Channel].u32Mode.load(); }
U32 T_UART_u32HandledForTest(U8 u8Channel) { return s_sControl[u8Channel].u32Handled.load(); }
U32 T_UART_u32TransmitTurnsForTest(U8 u8Channel) { return s_sControl[u8Channel].u32TransmitTurns.load(); }
