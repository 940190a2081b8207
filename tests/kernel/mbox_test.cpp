// Mailboxes: priority order, first in first out among equals, one signal per empty mailbox, acknowledgements.
#include <gtest/gtest.h>
#include <pthread.h>

#include <atomic>
#include <vector>

#include "kernel/mbox.h"
#include "kernel/sema.h"
#include "kernel/tick.h"
#include "kernel_test_util.h"
#include "platform/clock.h"
#include "test_environment.h"
#include "run_apart.h"

TEST_RUN_APART(Mailbox);
TEST_RUN_APART(MailboxOrder);

namespace {

struct TestMessage {
  GENERIC_MESSAGE generic;
  int nSerial;
};

struct OrderCase {
  const char *pcName;
  std::vector<PRIORITY> priorities;  // sent in this order, serials 0, 1, ...
  std::vector<int> received;         // serials in the order of receipt
};

class MailboxOrder : public ::testing::TestWithParam<OrderCase> {};

TEST_P(MailboxOrder, ReceivedByPriorityThenArrivalWithOneSignal) {
  const OrderCase &tCase = GetParam();
  ASSERT_EQ(L_MBOX_DefineSema(M_MENU, SEMA_MBOX_MENU), 0);
  L_SEMA_SetPending(SEMA_MBOX_MENU);
  std::vector<TestMessage> atMsgs(tCase.priorities.size());
  for (size_t n = 0; n < atMsgs.size(); n++) {
    atMsgs[n].generic.Cmd = CMD_ID_NEW_DATA;
    atMsgs[n].nSerial = (int)n;
    ASSERT_EQ(L_MBOX_Send(M_MENU, &atMsgs[n], tCase.priorities[n], 0), 0);
    if (n == 0) {
      // The send into the empty mailbox signalled; take that signal away.
      EXPECT_EQ(L_SEMA_WaitTicks(SEMA_MBOX_MENU, 0), 0);
    }
  }
  // Sends into a mailbox that holds mail give no signal.
  EXPECT_EQ(L_SEMA_WaitTicks(SEMA_MBOX_MENU, 0), -lsTIMEOUT);
  std::vector<int> anReceived;
  while (TestMessage *ptMsg = static_cast<TestMessage *>(L_MBOX_Receive(M_MENU))) {
    anReceived.push_back(ptMsg->nSerial);
    EXPECT_EQ(ptMsg->generic.msghdr.task, MAINTHREAD);
    EXPECT_EQ(ptMsg->generic.msghdr.MsgPriority, tCase.priorities[ptMsg->nSerial]);
  }
  EXPECT_EQ(anReceived, tCase.received);
}

INSTANTIATE_TEST_SUITE_P(Priorities, MailboxOrder,
                         ::testing::Values(OrderCase{"p3_1_3_2", {3, 1, 3, 2}, {1, 3, 0, 2}},
                                           OrderCase{"equal_fifo", {3, 3, 3}, {0, 1, 2}},
                                           OrderCase{"descending", {5, 4, 3, 2, 1}, {4, 3, 2, 1, 0}},
                                           OrderCase{"urgent_between", {1, 5, 1, 5, 2}, {0, 2, 4, 1, 3}}),
                         [](const auto &info) { return std::string(info.param.pcName); });

// Receives between sends: a level whose last message was taken must queue its next one in order again.
TEST(Mailbox, OrderHoldsWhenReceivesAndSendsInterleave) {
  struct Step {
    int nSend;  // priority to send, 0: receive one instead
    int nExpected;  // serial expected from the receive
  } const kSteps[] = {{3, 0}, {3, 0}, {0, 0}, {3, 0}, {1, 0}, {0, 3}, {0, 1}, {5, 0}, {3, 0}, {0, 2},
                      {0, 5}, {0, 4}, {0, -1}, {2, 0}, {0, 6}};
  ASSERT_EQ(L_MBOX_DefineSema(M_MENU, SEMA_MBOX_MENU), 0);
  std::vector<TestMessage> atMsgs(16);
  int nSerial = 0;
  for (const Step &tStep : kSteps) {
    if (tStep.nSend != 0) {
      atMsgs[nSerial].generic.Cmd = CMD_ID_NEW_DATA;
      atMsgs[nSerial].nSerial = nSerial;
      ASSERT_EQ(L_MBOX_Send(M_MENU, &atMsgs[nSerial], (PRIORITY)tStep.nSend, 0), 0);
      nSerial++;
      continue;
    }
    auto *ptMsg = static_cast<TestMessage *>(L_MBOX_Receive(M_MENU));
    EXPECT_EQ(ptMsg != nullptr ? ptMsg->nSerial : -1, tStep.nExpected);
  }
  EXPECT_EQ(L_MBOX_Receive(M_MENU), nullptr);
  L_SEMA_SetPending(SEMA_MBOX_MENU);
}

TEST(Mailbox, BadNumbers) {
  GENERIC_MESSAGE tMsg = {};
  for (MBOX mbox : {0, -1, 72}) {
    EXPECT_EQ(L_MBOX_Send(mbox, &tMsg, NORMAL_PRIORITY, 0), -lsMBOX_INVALID) << mbox;
    // No wait: the bad mailbox is reported at once.
    EXPECT_EQ(L_MBOX_SendWait(mbox, &tMsg, NORMAL_PRIORITY, SEMA_USER_TEST), -lsMBOX_INVALID) << mbox;
    EXPECT_EQ(L_MBOX_SendWaitTicks(mbox, &tMsg, NORMAL_PRIORITY, SEMA_USER_TEST, 500), -lsMBOX_INVALID) << mbox;
    EXPECT_EQ(L_MBOX_Receive(mbox), nullptr);
    EXPECT_EQ(L_MBOX_ReceiveWait(mbox), nullptr);
    EXPECT_EQ(L_MBOX_DefineSema(mbox, SEMA_USER_TEST), -lsMBOX_INVALID);
  }
  EXPECT_EQ(L_MBOX_DefineSema(M_NAV, 281), -lsSEMA_INVALID);
  EXPECT_EQ(L_MBOX_DefineSema(M_NAV, -1), -lsSEMA_INVALID);
  EXPECT_EQ(L_MBOX_DefineSema(M_NAV, 0), 0);
  EXPECT_EQ(L_MBOX_ReceiveWaitTicks(M_NAV, 0), nullptr);
  EXPECT_STREQ(get_mailbox_name(M_BT_REMOTE), "M_BT_REMOTE");
  EXPECT_STREQ(get_mailbox_name(72), "INVALID");
}

// A receiving task: acknowledges every message after writing its answer into it.
void vAnsweringTask(void) {
  for (;;) {
    TestMessage *ptMsg = static_cast<TestMessage *>(L_MBOX_ReceiveWait(M_NAV));
    ptMsg->nSerial += 1000;
    L_MBOX_AckMessage(ptMsg);
  }
}

TEST(Mailbox, SendWaitReturnsAfterTheReceiverAcknowledged) {
  TEST_vSetEntry(TEST_TASK_A, vAnsweringTask);
  ASSERT_EQ(L_TASK_Start(TEST_TASK_A), 0);
  for (int n = 0; n < 3; n++) {
    TestMessage tMsg = {};
    tMsg.nSerial = n;
    ASSERT_EQ(L_MBOX_SendWait(M_NAV, &tMsg, NORMAL_PRIORITY, SEMA_SHUTDOWN_KEYB), 0);
    EXPECT_EQ(tMsg.nSerial, 1000 + n);
    EXPECT_EQ(tMsg.generic.msghdr.sema, SEMA_SHUTDOWN_KEYB);
  }
}

struct Sender {
  TestMessage *ptMsg;
  MBOX mbox;
  TICKS ticks;  // 0: no limit
  std::atomic<bool> bDone{false};
  ERC erc = 99;
};

void *pvSender(void *pvArg) {
  Sender *ptSender = static_cast<Sender *>(pvArg);
  ptSender->erc = ptSender->ticks == 0
                      ? L_MBOX_SendWait(ptSender->mbox, ptSender->ptMsg, NORMAL_PRIORITY, SEMA_SHUTDOWN_KEYB)
                      : L_MBOX_SendWaitTicks(ptSender->mbox, ptSender->ptMsg, NORMAL_PRIORITY, SEMA_SHUTDOWN_KEYB,
                                             ptSender->ticks);
  ptSender->bDone = true;
  return nullptr;
}

// One acknowledgement per wait: the late acknowledgement of a timed-out message does not end the next wait.
TEST(Mailbox, LateAcknowledgementDoesNotEndALaterWait) {
  REQUIRE_TEST_CLOCK(10ull * 1000000000ull);
  TestMessage tSlow = {}, tFinal = {};
  Sender tFirst{&tSlow, M_CHART, 500};
  pthread_t tThread = TEST_tPlainThread([&] { pvSender(&tFirst); });
  TEST_vWaitFor([] { return L_SEMA_GetWaitingTaskID(SEMA_SHUTDOWN_KEYB) == MAINTHREAD; });
  while (!tFirst.bDone) PLATFORM_CLOCK_vAdvanceTestClockMs(100);
  pthread_join(tThread, nullptr);
  EXPECT_EQ(tFirst.erc, -lsTIMEOUT);

  Sender tSecond{&tFinal, M_NVRAM, 0};
  tThread = TEST_tPlainThread([&] { pvSender(&tSecond); });
  TEST_vWaitFor([] { return L_SEMA_GetWaitingTaskID(SEMA_SHUTDOWN_KEYB) == MAINTHREAD; });
  // The slow task releases its message now.
  ASSERT_EQ(L_MBOX_Receive(M_CHART), &tSlow);
  EXPECT_EQ(L_MBOX_AckMessage(&tSlow), 0);
  TEST_vWaitFor([] { return L_SEMA_GetWaitingTaskID(SEMA_SHUTDOWN_KEYB) == MAINTHREAD; });
  usleep(20000);
  EXPECT_FALSE(tSecond.bDone);
  ASSERT_EQ(L_MBOX_Receive(M_NVRAM), &tFinal);
  L_MBOX_AckMessage(&tFinal);
  pthread_join(tThread, nullptr);
  EXPECT_EQ(tSecond.erc, 0);
}

TEST(Mailbox, TimedReceiveEndsAtTheLimit) {
  REQUIRE_TEST_CLOCK(10ull * 1000000000ull);
  std::atomic<bool> bDone{false};
  void *pvMsg = reinterpret_cast<void *>(1);
  pthread_t tThread = TEST_tPlainThread([&] {
    pvMsg = L_MBOX_ReceiveWaitTicks(M_INFO, 250);
    bDone = true;
  });
  while (!bDone) {
    PLATFORM_CLOCK_vAdvanceTestClockMs(50);
    usleep(500);
  }
  pthread_join(tThread, nullptr);
  EXPECT_EQ(pvMsg, nullptr);
  EXPECT_GE(L_CLOCK_qwGetTimeInMillis(), 250u);
}

}  // namespace
