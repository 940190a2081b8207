// Shared set-up of the serial-channel tests: the test clock, an empty settings store, the four channels on
// pseudo-terminals whose masters the test holds, the UART task running, and test tasks that run a function.
#pragma once
#include <gtest/gtest.h>
#include <poll.h>
#include <pthread.h>
#include <pty.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "kernel/mbox.h"
#include "kernel/memory.h"
#include "kernel/queue.h"
#include "kernel/sema.h"
#include "kernel/task.h"
#include "kernel/timer.h"
#include "kernel_test_util.h"
#include "nmea/uart_task.h"
#include "platform/clock.h"
#include "platform/uart.h"
#include "settings/database.h"
#include "test_environment.h"

inline std::function<void()> &TEST_taskBody(TASK task) {
  static std::function<void()> s_afnBody[MAINTHREAD + 1];
  return s_afnBody[task];
}

template <TASK task>
void TEST_vTaskEntry(void) {
  TEST_taskBody(task)();
}

// Runs the function as the numbered task and waits until it has returned.
template <TASK task>
void TEST_vRunAsTask(const std::function<void()> &fnBody) {
  std::atomic<bool> bDone{false};
  TEST_taskBody(task) = [&] {
    fnBody();
    bDone = true;
  };
  TEST_vSetEntry(task, TEST_vTaskEntry<task>);
  ERC erc;
  while ((erc = L_TASK_Start(task)) == -lsTASK_START) usleep(200);
  ASSERT_EQ(erc, 0);
  TEST_vWaitFor([&] { return bDone.load(); });
}

// Sends a message to the UART task and waits for its answer; the message is freed here.
template <typename MSG>
BOOLEAN TEST_bAsk(MSG *pMsg, SEMA sema) {
  EXPECT_EQ(L_MBOX_SendWait(M_COM1A, pMsg, NORMAL_PRIORITY, sema), 0);
  return pMsg->flag;
}

// Run-system of the NMEA task in the given state ('CCST'); returns once the task has answered. The clock moves
// only to the end of each sleep of the task: a busy machine must not run its timers on.
inline void TEST_vRunNmeaSystem(U32 u32State) {
  H_DATABASE_bUpdateEverythingU32(FCID("CCST"), u32State, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  auto *pMsg = static_cast<GENERIC_MESSAGE *>(H_MEMORY_pvCalloc(1, sizeof(GENERIC_MESSAGE)));
  pMsg->Cmd = CMD_ID_RUN_SYSTEM;
  std::atomic<bool> bDone{false};
  const pthread_t tThread = TEST_tPlainThread([&] {
    EXPECT_EQ(L_MBOX_SendWait(M_NMEA, pMsg, NORMAL_PRIORITY, SEMA_TEST_PARAMS), 0);
    bDone = true;
  });
  while (!bDone.load()) {
    const U64 u64Until = TASK_u64SleepingUntilForTest(NMEATASK);
    struct timespec tNow;
    PLATFORM_CLOCK_vNow(&tNow);
    const U64 u64Now = static_cast<U64>(tNow.tv_sec) * 1000000000ull + static_cast<U64>(tNow.tv_nsec);
    if (u64Until > u64Now) {
      PLATFORM_CLOCK_vAdvanceTestClock(u64Until - u64Now);
      TIMER_vSyncForTest();
    }
    usleep(100);
  }
  pthread_join(tThread, nullptr);
  H_MEMORY_vFree(pMsg);
}

class SerialTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_bTestClock = PLATFORM_CLOCK_bUseTestClock(864000ull * 1000000000ull) || PLATFORM_CLOCK_bIsTestClock();
    if (!m_bTestClock) GTEST_SKIP() << "needs the test clock";
    // Death-test children find the parent's data directory.
    if (const char *pcDir = getenv("CORVAN_NMEA_TEST_DIR")) {
      m_sDataDir = pcDir;
    } else {
      m_sDataDir = TEST_dataDirectory();
      setenv("CORVAN_NMEA_TEST_DIR", m_sDataDir.c_str(), 1);
    }
    setenv("CORVAN_CWD", m_sDataDir.c_str(), 1);
    setenv("CORVAN_DEVROOT", (m_sDataDir + "/devroot").c_str(), 1);
    H_DATABASE_vInit();
    // The process start binds these; tests start the tasks alone.
    L_MBOX_DefineSema(M_COM1A, SEMA_MBOX_COM1A);
    L_MBOX_DefineSema(M_NMEA, SEMA_MBOX_NMEA);
    for (U8 u8Port = 0; u8Port < UART_CHANNELS; ++u8Port) {
      int nSlave = -1;
      char acName[128];
      ASSERT_EQ(openpty(&m_anMaster[u8Port], &nSlave, acName, nullptr, nullptr), 0);
      close(nSlave);
      setenv(("CORVAN_SERIAL" + std::to_string(u8Port)).c_str(), acName, 1);
    }
  }
  void TearDown() override {
    if (m_bUartStarted) endTask(UARTTASK, M_COM1A, SEMA_MBOX_COM1A);
    for (U8 u8Port = 0; u8Port < UART_CHANNELS; ++u8Port) {
      DD_UART_vKill(u8Port);
      if (m_anMaster[u8Port] >= 0) close(m_anMaster[u8Port]);
      TEST_vWaitFor([&] { return !DD_UART_bReaderRunsForTest(u8Port); });
      unsetenv(("CORVAN_SERIAL" + std::to_string(u8Port)).c_str());
    }
  }

  // Ends a task and empties its mailbox: a task ended in the middle of its mailbox leaves messages behind with the
  // mailbox's signal already taken, and the next start of the task would never hear of them.
  static void endTask(TASK task, MBOX mbox, SEMA sema) {
    L_TASK_Terminate(task);
    TEST_vWaitFor([&] { return L_TASK_WaitEnd(task, 0) == 0; });
    while (void *pvMsg = L_MBOX_Receive(mbox)) H_MEMORY_vDumpMail(pvMsg);
    L_SEMA_SetPending(sema);
  }

  // Starts a task and waits until it is set up: its running flag is cleared before its key is published.
  static void startTask(TASK task, FOURCHARID key, BOOLEAN (*pfnRunning)(void)) {
    ERC erc;
    while ((erc = L_TASK_Start(task)) == -lsTASK_START) usleep(200);
    ASSERT_EQ(erc, 0);
    MBOX mbox = 0;
    TEST_vWaitFor([&] { return H_DATABASE_bFetchMailbox(key, &mbox) == TRUE; });
    TEST_vWaitFor([&] { return pfnRunning() == TRUE; });
  }
  void startUart() {
    m_bUartStarted = true;
    startTask(UARTTASK, FCID("TURT"), T_UART_bRunningForTest);
  }
  std::string fatalLog() const {
    std::ifstream in(m_sDataDir + "/FATAL.LOG");
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  // Starts the UART task and lets its 800 ms start-up period pass.
  void startUartAndEndInitPeriod() {
    startUart();
    endInitPeriod();
  }
  void endInitPeriod() {
    PLATFORM_CLOCK_vAdvanceTestClockMs(800);
    TIMER_vSyncForTest();
    TEST_vWaitFor([] { return T_UART_bInitPeriodForTest() == FALSE; });
  }
  // Feeds the text to the channel and waits until the UART task has dealt with every character of it.
  void feed(U8 u8Port, const std::string &sText) {
    const U32 u32Before = T_UART_u32HandledForTest(u8Port);
    ASSERT_EQ(write(m_anMaster[u8Port], sText.data(), sText.size()), static_cast<ssize_t>(sText.size()));
    TEST_vWaitFor([&] { return T_UART_u32HandledForTest(u8Port) - u32Before >= sText.size(); });
  }
  // The characters waiting in a channel's receive queue (2-byte entries, character in the low byte).
  static std::string takeReceived(U8 u8Channel) {
    std::string sOut;
    U16 u16Entry;
    while (L_QUEUE_Get(T_UART_nGetQueue(u8Channel, FALSE), &u16Entry) == 0) {
      EXPECT_EQ(u16Entry >> 8, 0);
      sOut += static_cast<char>(u16Entry & 0xFF);
    }
    return sOut;
  }
  // What the unit sent on a channel, up to the given count of characters.
  std::string readSent(U8 u8Port, size_t szCount) {
    std::string sOut;
    while (sOut.size() < szCount) {
      struct pollfd tPoll = {m_anMaster[u8Port], POLLIN, 0};
      if (poll(&tPoll, 1, 10000) != 1) break;
      char acBuf[512];
      const ssize_t n = read(m_anMaster[u8Port], acBuf, std::min(sizeof(acBuf), szCount - sOut.size()));
      if (n <= 0) break;
      sOut.append(acBuf, static_cast<size_t>(n));
    }
    return sOut;
  }

  bool m_bTestClock = false;
  bool m_bUartStarted = false;
  std::string m_sDataDir;
  int m_anMaster[UART_CHANNELS] = {-1, -1, -1, -1};
};
