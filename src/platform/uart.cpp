#include "platform/uart.h"

#include <errno.h>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <mutex>

#include "kernel/kernel_defs.h"
#include "kernel/log.h"
#include "kernel/sema.h"
#include "kernel/task.h"
#include "platform/devices.h"

namespace {

constexpr U8 kPorts = 4;
constexpr U32 kRingSize = 256;

typedef struct UART_INFO {
  const char *dev_name;
  std::atomic<int> dev_handle;
  SEMA receive_sema;
  std::atomic<BOOLEAN> xmit_enable;
  std::atomic<pthread_t> uart_read_thread;  // 0 once the reader has ended
  std::atomic<U32> getidx;
  std::atomic<U32> putidx;
  U8 qbuffer[kRingSize];
  bool bReadOnly;  // port 1: the accessory-bus task owns the transmit side
} UART_INFO;

UART_INFO uart_info[kPorts] = {
    {"/dev/ttyS0", {0}, SEMA_RECEIVE_RDY_UART0, {TRUE}, {0}, {0}, {0}, {}, false},
    {"/dev/ttyS1", {0}, SEMA_RECEIVE_RDY_UART1, {TRUE}, {0}, {0}, {0}, {}, true},
    {"/dev/ttySC0", {0}, SEMA_RECEIVE_RDY_UART2, {TRUE}, {0}, {0}, {0}, {}, false},
    {"/dev/ttySC1", {0}, SEMA_RECEIVE_RDY_UART3, {TRUE}, {0}, {0}, {0}, {}, false},
};

typedef struct XLAT_BAUD {
  U32 baudrate;
  speed_t baudbits;
} XLAT_BAUD;

const XLAT_BAUD xbtable[] = {
    {300, B300},     {1200, B1200},   {2400, B2400},   {4800, B4800},     {9600, B9600},
    {19200, B19200}, {38400, B38400}, {57600, B57600}, {115200, B115200},
};

// Raw 8N1: no translation, no echo, receiver on, modem lines ignored; the speed stays.
bool configure(int nFd) {
  struct termios tAttr;
  if (tcgetattr(nFd, &tAttr) != 0) return false;
  tAttr.c_iflag = 0;
  tAttr.c_oflag = 0;
  tAttr.c_lflag = 0;
  tAttr.c_cflag = (tAttr.c_cflag & (CBAUD | CBAUDEX)) | CS8 | CREAD | CLOCAL;
  tAttr.c_cc[VMIN] = 1;
  tAttr.c_cc[VTIME] = 0;
  return tcsetattr(nFd, TCSANOW, &tAttr) == 0;
}

int openPort(U8 u8Port) {
  UART_INFO &info = uart_info[u8Port];
  const int nFd = PLATFORM_ptSerial()->nOpen(u8Port, info.dev_name, info.bReadOnly);
  if (nFd < 0) {
    log_me("uart %u: open %s failed, %d %s", static_cast<unsigned>(u8Port), info.dev_name, errno, strerror(errno));
    return -1;
  }
  configure(nFd);
  return nFd;
}

// A read failure on a port nobody closed: the same device again (the descriptor may have gone bad with a
// hang-up). False when the port was closed meanwhile or the device cannot be opened.
bool reopen(U8 u8Port, int nBadFd) {
  UART_INFO &info = uart_info[u8Port];
  int nExpected = nBadFd;
  const int nFd = openPort(u8Port);
  if (nFd < 0) {
    if (info.dev_handle.compare_exchange_strong(nExpected, 0)) close(nBadFd);
    return false;
  }
  if (!info.dev_handle.compare_exchange_strong(nExpected, nFd)) {
    close(nFd);  // killed while we reopened
    return false;
  }
  close(nBadFd);
  return true;
}

// The life of each port's reader: one owner at a time. A kill wakes the reader, waits for it to be gone and
// only then closes the port; a new set-up first waits for an old reader that ended by itself.
struct READER {
  std::mutex tLock;          // set-up and kill of the port
  int nWakeFd = -1;          // readable: the reader ends; one per port for the whole run
  std::atomic<bool> bStop{false};
  std::atomic<bool> bEnded{false}; // the reader has left its loop
  pthread_t tThread{};
  bool bJoinable = false;    // guarded by tLock
};
READER s_atReaders[kPorts];

// tLock held: the reader is gone (joined) and the wake-up is cleared.
void vJoinReader(U8 u8Port, bool bWake) {
  READER &reader = s_atReaders[u8Port];
  if (!reader.bJoinable) return;
  if (bWake) {
    reader.bStop.store(true);
    const uint64_t u64One = 1;
    ssize_t nWritten = write(reader.nWakeFd, &u64One, sizeof u64One);
    (void)nWritten;
  }
  pthread_join(reader.tThread, nullptr);
  reader.bJoinable = false;
  uint64_t u64Count;
  ssize_t nRead = read(reader.nWakeFd, &u64Count, sizeof u64Count);
  (void)nRead;
  reader.bStop.store(false);
}

void *DD_UART_ReadThread(void *pvArg) {
  const U8 u8Port = static_cast<U8>(reinterpret_cast<uintptr_t>(pvArg));
  UART_INFO &info = uart_info[u8Port];
  READER &reader = s_atReaders[u8Port];
  bool bReceivedSinceReopen = true;
  for (;;) {
    const int nFd = info.dev_handle.load();
    if (nFd <= 0 || reader.bStop.load()) break;
    const int nWait = TASK_nWaitFd(nFd, POLLIN, reader.nWakeFd, -1);
    if (nWait == TASK_WAIT_WOKEN) break;
    const U32 u32Put = info.putidx.load(std::memory_order_relaxed);
    const ssize_t nRead = nWait == TASK_WAIT_READY ? read(nFd, &info.qbuffer[u32Put], 1) : -1;
    if (nRead == 1) {
      bReceivedSinceReopen = true;
      const U32 u32Next = (u32Put + 1) % kRingSize;
      // Full ring: hold the byte here; the terminal keeps buffering the following ones.
      while (u32Next == info.getidx.load(std::memory_order_acquire) && !reader.bStop.load()) {
        const struct timespec tPause = {0, 1000};
        nanosleep(&tPause, nullptr);
      }
      if (reader.bStop.load()) break;
      info.putidx.store(u32Next, std::memory_order_release);
      L_SEMA_Signal(info.receive_sema);
      continue;
    }
    if (nRead < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    const int nError = nRead < 0 ? errno : 0;
    log_me("uart %u: read %s, %d %s", static_cast<unsigned>(u8Port), nRead == 0 ? "end of file" : "failed", nError,
           nRead == 0 ? "" : strerror(nError));
    // Two failures in a row without a byte between them: the device is gone for good.
    if (!bReceivedSinceReopen || !reopen(u8Port, nFd)) {
      log_me("uart %u: reader ends", static_cast<unsigned>(u8Port));
      break;
    }
    log_me("uart %u: %s reopened", static_cast<unsigned>(u8Port), info.dev_name);
    bReceivedSinceReopen = false;
  }
  info.uart_read_thread.store(0);
  reader.bEnded.store(true);
  return nullptr;
}

bool validPort(U8 u8Port) { return u8Port < kPorts; }

const XLAT_BAUD *findRate(U32 u32Baud) {
  for (const XLAT_BAUD &row : xbtable) {
    if (row.baudrate == u32Baud) return &row;
  }
  return nullptr;
}

U32 characterTime(U32 u32Baud) { return u32Baud / 10 == 0 ? 0 : 1000000 / (u32Baud / 10); }

}  // namespace

void DD_UART_vInit(U8 u8Port) {
  if (!validPort(u8Port)) return;
  UART_INFO &info = uart_info[u8Port];
  READER &reader = s_atReaders[u8Port];
  std::lock_guard<std::mutex> guard(reader.tLock);
  if (reader.nWakeFd < 0) reader.nWakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  // A reader that ended by itself (device gone) is waited for before another takes the port.
  if (reader.bEnded.load()) vJoinReader(u8Port, false);
  int nFd = info.dev_handle.load();
  if (nFd <= 0) {
    nFd = openPort(u8Port);
    if (nFd < 0) return;
    info.dev_handle.store(nFd);
  } else {
    configure(nFd);
  }
  if (!reader.bJoinable && reader.nWakeFd >= 0) {
    reader.bEnded.store(false);
    pthread_t tThread = L_UTILS_threadCreateSimpleThread(
        "uart", DD_UART_ReadThread, reinterpret_cast<void *>(static_cast<uintptr_t>(u8Port)));
    reader.tThread = tThread;
    reader.bJoinable = tThread != 0;
    info.uart_read_thread.store(tThread);
  }
}

void DD_UART_vChangeBaudRate(U8 u8Port, U32 u32BaudRate) {
  if (!validPort(u8Port)) return;
  const XLAT_BAUD *pRate = findRate(u32BaudRate);
  const int nFd = uart_info[u8Port].dev_handle.load();
  if (pRate == nullptr || nFd <= 0) return;
  struct termios tAttr;
  if (tcgetattr(nFd, &tAttr) != 0) return;
  cfsetispeed(&tAttr, pRate->baudbits);
  cfsetospeed(&tAttr, pRate->baudbits);
  tcsetattr(nFd, TCSANOW, &tAttr);
}

void DD_UART_vTxRxEnable(U8 u8Port, BOOLEAN bTxEnable, BOOLEAN bRxEnable) {
  if (!validPort(u8Port)) return;
  uart_info[u8Port].xmit_enable.store(bTxEnable);
  const int nFd = uart_info[u8Port].dev_handle.load();
  if (nFd <= 0) return;
  struct termios tAttr;
  if (tcgetattr(nFd, &tAttr) != 0) return;
  if (bRxEnable) {
    tAttr.c_cflag |= CREAD;
  } else {
    tAttr.c_cflag &= ~static_cast<tcflag_t>(CREAD);
  }
  tcsetattr(nFd, TCSANOW, &tAttr);
}

void DD_UART_vSendByte(U8 u8Port, U8 u8Data) {
  if (!validPort(u8Port)) return;
  UART_INFO &info = uart_info[u8Port];
  const int nFd = info.dev_handle.load();
  // Port 1 is open for reading only: the byte goes nowhere, as a write on that descriptor would.
  if (nFd <= 0 || !info.xmit_enable.load() || info.bReadOnly) return;
  ssize_t nWritten;
  do {
    nWritten = PLATFORM_ptSerial()->nWrite(nFd, &u8Data, 1);
  } while (nWritten < 0 && errno == EINTR);
}

BOOLEAN DD_UART_bRxCharAvail(U8 u8Port) {
  if (!validPort(u8Port)) return FALSE;
  const UART_INFO &info = uart_info[u8Port];
  return info.dev_handle.load() > 0 && info.getidx.load() != info.putidx.load(std::memory_order_acquire);
}

U8 DD_UART_u8Getch(U8 u8Port) {
  if (!validPort(u8Port)) return 255;
  UART_INFO &info = uart_info[u8Port];
  const U32 u32Get = info.getidx.load(std::memory_order_relaxed);
  if (u32Get == info.putidx.load(std::memory_order_acquire)) return 255;
  const U8 u8Byte = info.qbuffer[u32Get];
  info.getidx.store((u32Get + 1) % kRingSize, std::memory_order_release);
  return u8Byte;
}

U32 DD_UART_u32FetchTxCount(U8 u8Port) {
  if (!validPort(u8Port)) return 0;
  const int nFd = uart_info[u8Port].dev_handle.load();
  int nQueued = 0;
  if (nFd <= 0 || ioctl(nFd, TIOCOUTQ, &nQueued) != 0 || nQueued < 0) return 0;
  return static_cast<U32>(nQueued);
}

BOOLEAN DD_UART_bTxComplete(U8 u8Port) { return DD_UART_u32FetchTxCount(u8Port) == 0; }
BOOLEAN DD_UART_bIsTxShifterEmpty(U8 u8Port) { return DD_UART_u32FetchTxCount(u8Port) == 0; }

void DD_UART_vKill(U8 u8Port) {
  if (!validPort(u8Port)) return;
  READER &reader = s_atReaders[u8Port];
  std::lock_guard<std::mutex> guard(reader.tLock);
  // The reader is gone before its descriptor closes: it never reads a closed (or reused) one.
  vJoinReader(u8Port, true);
  const int nFd = uart_info[u8Port].dev_handle.exchange(0);
  if (nFd > 0) close(nFd);
}

// No host line reports framing or overrun errors; tests set a status, which reading clears as the register does.
namespace {
std::atomic<U8> s_au8RxStatus[4];
std::atomic<U32> s_au32RxStatusReads[4];
}  // namespace
U8 DD_UART_u8GetRxStatus(U8 u8Port) {
  if (!validPort(u8Port)) return 0;
  s_au32RxStatusReads[u8Port].fetch_add(1);
  return s_au8RxStatus[u8Port].exchange(0);
}
void DD_UART_vSetRxStatusForTest(U8 u8Port, U8 u8Status) {
  if (validPort(u8Port)) s_au8RxStatus[u8Port].store(u8Status);
}
U32 DD_UART_u32RxStatusReadsForTest(U8 u8Port) { return validPort(u8Port) ? s_au32RxStatusReads[u8Port].load() : 0; }
BOOLEAN DD_UART_bTxBufferEmpty(U8) { return TRUE; }
U32 DD_UART_u32ReadReceiveError(U8) { return 0; }
BOOLEAN DD_UART_bIsRxIntEnabled(U8) { return TRUE; }

U32 H_UART_u32Setup(U8 u8Port, U32 u32Baud, BOOLEAN) {
  DD_UART_vInit(u8Port);
  if (u32Baud != 0) DD_UART_vChangeBaudRate(u8Port, u32Baud);
  // The UART task turns the line around itself; the port starts listening.
  H_UART_vSetMode(u8Port, UART_HALF_DUPLEX_RECEIVE);
  return characterTime(u32Baud);
}

U32 H_UART_u32SetBaudRate(U8 u8Port, U32 u32BaudRate) {
  if (u32BaudRate == 0) return 0;
  DD_UART_vChangeBaudRate(u8Port, u32BaudRate);
  return characterTime(u32BaudRate);
}

void H_UART_vSetMode(U8 u8Port, U32 mode) {
  switch (mode) {
    case UART_OFF: DD_UART_vTxRxEnable(u8Port, FALSE, FALSE); break;
    case UART_HALF_DUPLEX_RECEIVE: DD_UART_vTxRxEnable(u8Port, FALSE, TRUE); break;
    case UART_HALF_DUPLEX_TRANSMIT: DD_UART_vTxRxEnable(u8Port, TRUE, FALSE); break;
    case UART_FULL_DUPLEX: DD_UART_vTxRxEnable(u8Port, TRUE, TRUE); break;
    default: break;
  }
}

U16 H_UART_u16FetchRx(U8 u8Port) { return DD_UART_u8Getch(u8Port); }
void H_UART_vPutChar(U8 u8Port, U8 c) { DD_UART_vSendByte(u8Port, c); }
void H_UART_vShutdown(U8 u8Port) { DD_UART_vKill(u8Port); }

int DD_UART_nHandleForTest(U8 u8Port) { return validPort(u8Port) ? uart_info[u8Port].dev_handle.load() : 0; }
bool DD_UART_bReaderRunsForTest(U8 u8Port) {
  if (!validPort(u8Port)) return false;
  READER &reader = s_atReaders[u8Port];
  std::lock_guard<std::mutex> guard(reader.tLock);
  return reader.bJoinable && !reader.bEnded.load();
}
