// The dump lines of the kernel services, as they appear in the log.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>

#include "kernel/mbox.h"
#include "kernel/mem_partition.h"
#include "kernel/mutex.h"
#include "kernel/queue.h"
#include "kernel/sema.h"
#include "kernel/task.h"
#include "kernel/timer.h"
#include "kernel_test_util.h"

namespace {

struct DumpCase {
  const char *pcName;
  void (*pfnDump)(void);
  std::vector<std::string> wholeLines;  // texts that end a log line
  std::vector<std::string> beginnings;  // texts that begin the text of a log line
};

class DumpLines : public ::testing::TestWithParam<DumpCase> {
 protected:
  static void SetUpTestSuite() {
    static GENERIC_MESSAGE s_tMsg;
    L_MBOX_DefineSema(M_MENU, SEMA_MBOX_MENU);
    L_MBOX_Send(M_MENU, &s_tMsg, HIGH_PRIORITY, SEMA_SHUTDOWN_KEYB);
    L_SEMA_Signal(SEMA_VIEW_UPDATE);
    L_MUTEX_LockWait(RES_MENU);
    L_MUTEX_LockWait(RES_MENU);
    U16 u16Item = 7;
    L_QUEUE_DefineSema(Q_SOUND, SEMA_PING_QNE, QNE);
    L_QUEUE_Put(Q_SOUND, &u16Item);
    TIMER_INFO *ptTimer = L_TIMER_Allocate();
    L_TIMER_Start(ptTimer, 0, 0, SEMA_TIMER_VIEW_UPDATE);
  }
};

TEST_P(DumpLines, Formats) {
  testing::internal::CaptureStdout();
  GetParam().pfnDump();
  std::string out = testing::internal::GetCapturedStdout();
  for (const std::string &line : GetParam().wholeLines) {
    EXPECT_NE(out.find(" " + line + "\r\n"), std::string::npos) << line << "\n" << out.substr(0, 2000);
  }
  for (const std::string &text : GetParam().beginnings) {
    EXPECT_NE(out.find(" " + text), std::string::npos) << text << "\n" << out.substr(0, 2000);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Services, DumpLines,
    ::testing::Values(
        DumpCase{"mailboxes",
                 L_MBOX_Debug,
                 {"mbox information (71 total)", "  15 M_MENU: sema #41 (SEMA_MBOX_MENU) mutex.lock 0",
                  "    msg #1: sema 105 (SEMA_SHUTDOWN_KEYB) priority 2 task 70 (MAINTHREAD)",
                  "  01 M_CBUG: sema #0 () mutex.lock 0"},
                 {}},
        DumpCase{"semaphores",
                 L_SEMA_Debug,
                 {"semaphore information (280 total)"},
                 {"  106 SEMA_VIEW_UPDATE: done task #0 () fired at ", "  01 CBUGSEMA: pending task #0 () fired at 0"}},
        DumpCase{"mutexes",
                 L_MUTEX_Debug,
                 {"mutex information (104 total)", "  01 RES_DATABASE: task #0 () nest 0 mutex.lock 0"},
                 {"  08 RES_MENU: task #70 (MAINTHREAD) nest 2 mutex.lock "}},
        DumpCase{"queues",
                 L_QUEUE_Debug,
                 {"queue information (12 total)",
                  "  11 Q_SOUND: width 2 depth 16 count 1 QNE 126 QNF 0 QF 0 QE 0 mutex.lock 0",
                  "  01 Q_TRANSMIT_UART0: width 0 depth 0 count 0 QNE 0 QNF 0 QF 0 QE 0 mutex.lock 0"},
                 {}},
        DumpCase{"timers",
                 L_TIMER_Debug,
                 {"timer information (50 total 0 fired 0 queued)",
                  "  01: idle not queued owner task #70 (MAINTHREAD) semaphore #80 (SEMA_TIMER_VIEW_UPDATE) fired 0 "
                  "queued 0",
                  "  02: idle not queued owner task #0 () semaphore #0 () fired 0 queued 0"},
                 {}},
        DumpCase{"tasks",
                 L_TASK_Debug,
                 {"task information (70 total)"},
                 {"run time ", "  70 MAINTHREAD: active 1 time (", "  02 UARTTASK: active 0 time ("}}),
    [](const auto &info) { return std::string(info.param.pcName); });

// The dump runs while the tasks go on: it copies each object under the object's own lock (ThreadSanitizer
// reports any field it reads without it), and a message taken meanwhile is never read after its receiver had it.
TEST(DumpWhileRunning, CopiesEachObjectUnderItsLock) {
  std::atomic<bool> bStop{false};
  pthread_t atThreads[3];
  atThreads[0] = TEST_tPlainThread([&] {
    GENERIC_MESSAGE atMsgs[4] = {};
    while (!bStop) {
      for (GENERIC_MESSAGE &tMsg : atMsgs) L_MBOX_Send(M_DUMMY, &tMsg, NORMAL_PRIORITY, 0);
      while (L_MBOX_Receive(M_DUMMY) != nullptr) {
      }
    }
  });
  atThreads[1] = TEST_tPlainThread([&] {
    U16 u16Item = 3;
    while (!bStop) {
      L_QUEUE_Put(Q_SOUND, &u16Item);
      L_QUEUE_Get(Q_SOUND, &u16Item);
    }
  });
  atThreads[2] = TEST_tPlainThread([&] {
    while (!bStop) {
      TIMER_INFO *ptTimer = L_TIMER_Start(nullptr, 1000, 0, SEMA_TIMER_VIEW_UPDATE);
      if (ptTimer != nullptr) L_TIMER_Release(ptTimer);
    }
  });
  testing::internal::CaptureStdout();
  for (int nRound = 0; nRound < 20; nRound++) {
    L_MBOX_Debug();
    L_QUEUE_Debug();
    L_TIMER_Debug();
    L_MEM_Debug();
  }
  const std::string sOut = testing::internal::GetCapturedStdout();
  bStop = true;
  for (pthread_t tThread : atThreads) pthread_join(tThread, nullptr);
  EXPECT_NE(sOut.find("M_DUMMY: sema"), std::string::npos);
}

}  // namespace
