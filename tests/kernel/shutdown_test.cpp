// The orderly shut-down: who is told, in which order, and that only the NVRAM task's own acknowledgement ends
// the last wait.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "settings/database.h"
#include "kernel/mbox.h"
#include "kernel/memory.h"
#include "kernel/shutdown.h"
#include "kernel/task.h"
#include "platform/clock.h"
#include "test_environment.h"
#include "run_apart.h"

TEST_RUN_APART(Shutdown);

namespace {

// Mailboxes that no task of the unit uses; nothing binds a semaphore to them.
constexpr MBOX kSlowMbox = M_MSS_CONTROL;
constexpr MBOX kNvramMbox = M_MSSUPDATER;
constexpr MBOX kFastMbox = M_SLPCLIENT2;
constexpr MBOX kKeyboardMbox = M_XID;
constexpr MBOX kSparedMbox = M_SOCKET;

std::mutex s_orderLock;
std::vector<MBOX> s_order;
std::atomic<bool> s_bSlowGot{false};
std::atomic<bool> s_bReleaseSlow{false};
std::atomic<bool> s_bSlowAcked{false};
std::atomic<bool> s_bSaved{false};

void received(MBOX mbox, void *pvMsg) {
  EXPECT_EQ(static_cast<GENERIC_MESSAGE *>(pvMsg)->Cmd, CMD_ID_SHUTDOWN);
  std::lock_guard<std::mutex> guard(s_orderLock);
  s_order.push_back(mbox);
}

void waitFor(const std::atomic<bool> &bFlag) {
  while (!bFlag.load()) usleep(100);
}

// Acknowledges only after the shut-down has given up on it and moved on to the NVRAM task.
void slowTask() {
  void *pvMsg = L_MBOX_ReceiveWait(kSlowMbox);
  received(kSlowMbox, pvMsg);
  s_bSlowGot = true;
  waitFor(s_bReleaseSlow);
  H_MEMORY_vDumpMail(pvMsg);
  s_bSlowAcked = true;
  for (;;) L_MBOX_ReceiveWait(kSlowMbox);
}

// Lets the slow task's late acknowledgement arrive first, then saves and acknowledges.
void nvramTask() {
  void *pvMsg = L_MBOX_ReceiveWait(kNvramMbox);
  received(kNvramMbox, pvMsg);
  s_bReleaseSlow = true;
  waitFor(s_bSlowAcked);
  usleep(20000);  // give a wrongly ended wait time to return
  s_bSaved = true;
  H_MEMORY_vDumpMail(pvMsg);
  for (;;) L_MBOX_ReceiveWait(kNvramMbox);
}

void fastTask() {
  for (;;) {
    void *pvMsg = L_MBOX_ReceiveWait(kFastMbox);
    received(kFastMbox, pvMsg);
    H_MEMORY_vDumpMail(pvMsg);
  }
}

void startTestTask(TASK task, void (*pfEntry)(void)) {
  const TASK_PARAM param = {4096, 100, pfEntry};
  TASK_vSetParamForTest(task, &param);
  ASSERT_EQ(L_TASK_Start(task), 0);
}

void publish(FOURCHARID key, MBOX mbox) {
  H_DATABASE_bUpdateEverythingU32(key, static_cast<U32>(mbox), P_NORMAL, D_MAILBOX, nullptr, DB_NO_TIMEOUT);
}

TEST(Shutdown, LateAcknowledgementDoesNotEndTheNvramWait) {
  REQUIRE_TEST_CLOCK(100 * 1000000000ull);
  H_DATABASE_vInit();
  publish(FCID("TSLO"), kSlowMbox);
  publish(FCID("TNVR"), kNvramMbox);
  publish(FCID("TFST"), kFastMbox);
  publish(FCID("TKBD"), kKeyboardMbox);
  publish(FCID("TSPR"), kSparedMbox);
  publish(FCID("SXYZ"), kFastMbox);  // not a task key
  startTestTask(MSSCONTROLTASK, slowTask);
  startTestTask(MSSUPDATERTASK, nvramTask);
  startTestTask(MSSBCASTTASK, fastTask);

  std::atomic<bool> bReturned{false};
  std::thread shutdown([&] {
    static const FOURCHARID kSpared[] = {FCID("TSPR"), 0};
    U_SHUTDOWN_vShutdown(kSpared);
    bReturned = true;
  });
  waitFor(s_bSlowGot);
  PLATFORM_CLOCK_vAdvanceTestClockMs(500);  // the slow task's 500 ms pass
  shutdown.join();

  EXPECT_TRUE(s_bSaved.load()) << "the shut-down returned before the NVRAM task's own acknowledgement";
  std::lock_guard<std::mutex> guard(s_orderLock);
  ASSERT_EQ(s_order.size(), 3u);
  EXPECT_EQ(s_order.back(), kNvramMbox);
  EXPECT_EQ(L_MBOX_Receive(kKeyboardMbox), nullptr);
  EXPECT_EQ(L_MBOX_Receive(kSparedMbox), nullptr);
}

TEST(Shutdown, NothingToTellReturnsAtOnce) {
  H_DATABASE_vInit();
  publish(FCID("TKBD"), kKeyboardMbox);
  U_SHUTDOWN_vShutdown(nullptr);
  EXPECT_EQ(L_MBOX_Receive(kKeyboardMbox), nullptr);
}

}  // namespace
