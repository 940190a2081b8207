// Tasks: start handshake, task numbers, disabled tasks, priorities and ending a task at a safe point.
#include <gtest/gtest.h>
#include <pthread.h>

#include <atomic>

#include "kernel/mbox.h"
#include "kernel/mutex.h"
#include "kernel/sema.h"
#include "kernel_test_util.h"
#include "run_apart.h"

TEST_RUN_APART(Task);

namespace {

std::atomic<TASK> s_taskSeen{0};
std::atomic<pthread_t> s_threadSeen{0};
std::atomic<int> s_nStage{0};

void vReportAndSignal(void) {
  s_taskSeen = L_TASK_GetID(0);
  s_threadSeen = pthread_self();
  L_SEMA_Signal(SEMA_USER_TEST);
  L_SEMA_Wait(SEMA_TEST_PARAMS);  // stays alive until the test lets it go
}

TEST(Task, StartReturnsWithTheTaskRunningUnderItsNumber) {
  TEST_vSetEntry(TEST_TASK_A, vReportAndSignal);
  ASSERT_EQ(L_TASK_Start(TEST_TASK_A), 0);
  ASSERT_EQ(L_SEMA_Wait(SEMA_USER_TEST), 0);
  EXPECT_EQ(s_taskSeen.load(), TEST_TASK_A);
  EXPECT_EQ(L_TASK_GetID(s_threadSeen.load()), TEST_TASK_A);
  TEST_vWaitFor([] { return L_SEMA_GetWaitingTaskID(SEMA_TEST_PARAMS) == TEST_TASK_A; });
  // A second start while the thread runs is refused.
  EXPECT_EQ(L_TASK_Start(TEST_TASK_A), -lsTASK_START);
  L_SEMA_Signal(SEMA_TEST_PARAMS);
}

void *pvPlainThread(void *pvResult) {
  *static_cast<TASK *>(pvResult) = L_TASK_GetID(0);
  return nullptr;
}

TEST(Task, ThreadsThatAreNoTaskAreNumber70) {
  EXPECT_EQ(L_TASK_GetID(0), MAINTHREAD);
  EXPECT_EQ(L_TASK_GetID(pthread_self()), MAINTHREAD);
  TASK taskPlain = 0;
  pthread_t tThread = L_UTILS_threadCreateSimpleThread("test", pvPlainThread, &taskPlain);
  ASSERT_NE(tThread, 0u);
  pthread_join(tThread, nullptr);
  EXPECT_EQ(taskPlain, MAINTHREAD);
  EXPECT_STREQ(get_task_name(MAINTHREAD), "MAINTHREAD");
}

void vMustNotRun(void) { s_nStage = 99; }

TEST(Task, DisabledTaskStartsNothing) {
  TEST_vSetEntry(TEST_TASK_B, vMustNotRun);
  task_disabled[TEST_TASK_B - 1] = 1;
  EXPECT_EQ(L_TASK_Start(TEST_TASK_B), 0);
  usleep(10000);
  EXPECT_EQ(s_nStage.load(), 0);
  task_disabled[TEST_TASK_B - 1] = 0;
}

TEST(Task, BadNumbersAndPriorities) {
  for (TASK task : {-1, 71, 1000}) {
    EXPECT_EQ(L_TASK_Start(task), -lsTASK_INVALID) << task;
    EXPECT_EQ(L_TASK_Terminate(task), -lsTASK_INVALID) << task;
    EXPECT_EQ(L_TASK_GetPriority(task), -lsTASK_INVALID) << task;
    EXPECT_EQ(L_TASK_SetPriority(task, 5), -lsTASK_INVALID) << task;
  }
  // Every table priority maps to the normal policy: the reported priority stays 100.
  for (TASK task : {UARTTASK, VIEWTASK, NAVTASK}) {
    EXPECT_EQ(L_TASK_GetPriority(task), 100) << task;
    EXPECT_EQ(L_TASK_SetPriority(task, 2), 0) << task;
    EXPECT_EQ(L_TASK_GetPriority(task), 100) << task;
  }
}

// Holds a mutex while it sleeps; the end request must wait until it let go of the mutex.
void vHoldsMutexWhenEnded(void) {
  L_MUTEX_LockWait(RES_FENWISP);
  s_nStage = 1;
  L_SEMA_Wait(SEMA_TEST_PARAMS);  // not a place to end: the mutex is held
  s_nStage = 2;
  L_MUTEX_Unlock(RES_FENWISP);
  L_SEMA_Wait(SEMA_USER_TEST);    // ends here
  s_nStage = 3;
}

TEST(Task, EndingIsARequestCarriedOutAtTheNextSafePoint) {
  TEST_vSetEntry(TEST_TASK_C, vHoldsMutexWhenEnded);
  ASSERT_EQ(L_TASK_Start(TEST_TASK_C), 0);
  TEST_vWaitFor([] { return L_SEMA_GetWaitingTaskID(SEMA_TEST_PARAMS) == TEST_TASK_C; });
  // The caller holds a mutex too and is not kept waiting.
  ASSERT_EQ(L_MUTEX_LockWait(RES_HTML), 0);
  EXPECT_EQ(L_TASK_Terminate(TEST_TASK_C), 0);
  EXPECT_EQ(L_MUTEX_Unlock(RES_HTML), 0);
  EXPECT_EQ(L_MUTEX_GetOwnerTaskID(RES_FENWISP), TEST_TASK_C);

  L_SEMA_Signal(SEMA_TEST_PARAMS);
  TEST_vWaitFor([] { return s_nStage.load() == 2; });
  // It ended at its next wait, after it released the mutex, and left no waiter behind.
  TEST_vWaitFor([] { return L_MUTEX_GetOwnerTaskID(RES_FENWISP) == 0; });
  TEST_vWaitFor([] { return L_SEMA_GetWaitingTaskID(SEMA_USER_TEST) == -lsSEMA_PENDING; });
  L_SEMA_Signal(SEMA_USER_TEST);
  // A terminated task can be started again once its thread is gone.
  TEST_vSetEntry(TEST_TASK_C, vReportAndSignal);
  ERC erc;
  while ((erc = L_TASK_Start(TEST_TASK_C)) == -lsTASK_START) usleep(200);
  EXPECT_EQ(erc, 0);
  L_SEMA_SetPending(SEMA_USER_TEST);
  EXPECT_EQ(s_nStage.load(), 2);
}

void vBlocksInMailbox(void) {
  s_nStage = 1;
  L_MBOX_ReceiveWait(M_DUMMY);
  s_nStage = 5;
}

TEST(Task, EndingWakesATaskBlockedInAMailbox) {
  TEST_vSetEntry(TEST_TASK_A, vBlocksInMailbox);
  ASSERT_EQ(L_TASK_Start(TEST_TASK_A), 0);
  TEST_vWaitFor([] { return s_nStage.load() == 1; });
  EXPECT_EQ(L_TASK_Terminate(TEST_TASK_A), 0);
  TEST_vSetEntry(TEST_TASK_A, vMustNotRun);
  task_disabled[TEST_TASK_A - 1] = 0;
  ERC erc;
  while ((erc = L_TASK_Start(TEST_TASK_A)) == -lsTASK_START) usleep(200);
  EXPECT_EQ(erc, 0);
  TEST_vWaitFor([] { return s_nStage.load() == 99; });
}

void vEndsItself(void) {
  s_nStage = 1;
  L_TASK_Terminate(0);
  s_nStage = 2;
}

TEST(Task, TaskEndingItselfDoesNotReturn) {
  TEST_vSetEntry(TEST_TASK_B, vEndsItself);
  ASSERT_EQ(L_TASK_Start(TEST_TASK_B), 0);
  ERC erc;
  while ((erc = L_TASK_Start(TEST_TASK_B)) == -lsTASK_START) usleep(200);
  EXPECT_EQ(erc, 0);
  while (L_TASK_Start(TEST_TASK_B) == -lsTASK_START) usleep(200);
  EXPECT_EQ(s_nStage.load(), 1);
}

}  // namespace

namespace {

std::atomic<ERC> s_ercNested{99};

void vReturnsAtOnce(void) {}

void vStartsAnotherAtOnce(void) {
  s_ercNested = L_TASK_Start(TEST_TASK_B);
  L_SEMA_Signal(SEMA_USER_TEST);
}

// As the start-up task does: a new task starts the next one while its own starter is still being woken.
TEST(Task, NewTaskStartsAnotherAtOnce) {
  TEST_vSetEntry(TEST_TASK_A, vStartsAnotherAtOnce);
  TEST_vSetEntry(TEST_TASK_B, vReturnsAtOnce);
  for (int nRound = 0; nRound < 50; nRound++) {
    ERC erc;
    while ((erc = L_TASK_Start(TEST_TASK_A)) == -lsTASK_START) usleep(100);
    ASSERT_EQ(erc, 0) << nRound;
    ASSERT_EQ(L_SEMA_Wait(SEMA_USER_TEST), 0);
    ASSERT_TRUE(s_ercNested.load() == 0 || s_ercNested.load() == -lsTASK_START) << nRound;
  }
}

}  // namespace
