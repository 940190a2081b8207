// Characters per second through the UART task into an owner's receive queues, four channels on pseudo-terminals
// at once, beside the same bytes read straight from the terminals (the peer: no task, no queue). A channel's
// top rate on the wire is 115,200 baud, 11,520 characters per second.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <string>

#include "kernel/mbox.h"
#include "kernel/memory.h"
#include "kernel/queue.h"
#include "kernel/sema.h"
#include "kernel/task.h"
#include "kernel/tick.h"
#include "nmea/uart_task.h"
#include "settings/database.h"

namespace {

constexpr int kChunk = 100;  // below the smallest receive queue (128), so nothing is dropped
int s_anMaster[UART_CHANNELS];
bool s_bReady = false;

void setUp() {
  if (s_bReady) return;
  char acDir[] = "/tmp/corvan-bench-XXXXXX";
  setenv("CORVAN_CWD", mkdtemp(acDir), 1);
  setenv("CORVAN_DEVROOT", (std::string(acDir) + "/devroot").c_str(), 1);
  for (U8 u8Port = 0; u8Port < UART_CHANNELS; ++u8Port) {
    int nSlave = -1;
    char acName[128];
    openpty(&s_anMaster[u8Port], &nSlave, acName, nullptr, nullptr);
    close(nSlave);
    setenv(("CORVAN_SERIAL" + std::to_string(u8Port)).c_str(), acName, 1);
  }
  H_DATABASE_vInit();
  L_MBOX_DefineSema(M_COM1A, SEMA_MBOX_COM1A);
  L_TASK_Start(UARTTASK);
  while (T_UART_bInitPeriodForTest()) usleep(1000);
  for (U8 u8Port = 0; u8Port < UART_CHANNELS; ++u8Port) {
    auto *pMsg = static_cast<MSG_CAPTURE_CHANNEL *>(H_MEMORY_pvCalloc(1, sizeof(MSG_CAPTURE_CHANNEL)));
    pMsg->header.Cmd = CMD_ID_CAPTURE_CHANNEL;
    pMsg->uart = u8Port;
    L_MBOX_SendWait(M_COM1A, pMsg, NORMAL_PRIORITY, SEMA_TEST_PARAMS);
    H_MEMORY_vFree(pMsg);
  }
  s_bReady = true;
}

void BM_UartTaskFourChannels(benchmark::State &state) {
  setUp();
  const std::string sChunk(kChunk, 'a');
  int64_t n64Chars = 0;
  for (auto _ : state) {
    for (int nFd : s_anMaster) {
      if (write(nFd, sChunk.data(), kChunk) != kChunk) state.SkipWithError("write");
    }
    int nLeft = kChunk * UART_CHANNELS;
    while (nLeft > 0) {
      for (U8 u8Port = 0; u8Port < UART_CHANNELS; ++u8Port) {
        U16 u16Entry;
        while (L_QUEUE_Get(T_UART_nGetQueue(u8Port, FALSE), &u16Entry) == 0) --nLeft;
      }
    }
    n64Chars += kChunk * UART_CHANNELS;
  }
  state.SetItemsProcessed(n64Chars);
}
BENCHMARK(BM_UartTaskFourChannels)->UseRealTime();

// The peer: four raw pseudo-terminal pairs read directly.
void BM_RawPtyFourChannels(benchmark::State &state) {
  int anMaster[UART_CHANNELS], anSlave[UART_CHANNELS];
  for (U8 u8Port = 0; u8Port < UART_CHANNELS; ++u8Port) {
    openpty(&anMaster[u8Port], &anSlave[u8Port], nullptr, nullptr, nullptr);
    struct termios tAttr;
    tcgetattr(anSlave[u8Port], &tAttr);
    cfmakeraw(&tAttr);
    tcsetattr(anSlave[u8Port], TCSANOW, &tAttr);
  }
  const std::string sChunk(kChunk, 'a');
  int64_t n64Chars = 0;
  for (auto _ : state) {
    for (int nFd : anMaster) {
      if (write(nFd, sChunk.data(), kChunk) != kChunk) state.SkipWithError("write");
    }
    for (int nFd : anSlave) {
      int nLeft = kChunk;
      char acBuf[kChunk];
      while (nLeft > 0) {
        const ssize_t n = read(nFd, acBuf, static_cast<size_t>(nLeft));
        if (n > 0) nLeft -= static_cast<int>(n);
      }
    }
    n64Chars += kChunk * UART_CHANNELS;
  }
  state.SetItemsProcessed(n64Chars);
  for (U8 u8Port = 0; u8Port < UART_CHANNELS; ++u8Port) {
    close(anMaster[u8Port]);
    close(anSlave[u8Port]);
  }
}
BENCHMARK(BM_RawPtyFourChannels)->UseRealTime();

}  // namespace
