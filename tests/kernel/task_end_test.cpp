// Ending a task: the wait to take a numbered mutex and descriptor waits are end points, the ender can wait for
// the end (with a limit), and a stop followed by a start of the same task succeeds.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/inotify.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <string>

#include "kernel/mbox.h"
#include "kernel/mutex.h"
#include "kernel/sema.h"
#include "kernel_test_util.h"
#include "test_environment.h"
#include "run_apart.h"

TEST_RUN_APART(TaskEnd);
TEST_RUN_APART(BlockedTaskEnds);

namespace {

std::atomic<int> s_nStage{0};

void vWaitsForTheEndersMutex(void) {
  s_nStage = 1;
  L_MUTEX_LockWait(RES_FENWISP);
  s_nStage = 2;  // the protected code: must not run once the end was requested
  L_MUTEX_Unlock(RES_FENWISP);
}

TEST(TaskEnd, ATaskWaitingForTheEndersMutexNeverRunsPastTheWait) {
  s_nStage = 0;
  ASSERT_EQ(L_MUTEX_LockWait(RES_FENWISP), 0);
  TEST_vSetEntry(TEST_TASK_A, vWaitsForTheEndersMutex);
  ASSERT_EQ(L_TASK_Start(TEST_TASK_A), 0);
  TEST_vWaitFor([] { return s_nStage.load() == 1; });
  usleep(1000);  // well inside the wait
  EXPECT_EQ(L_TASK_Terminate(TEST_TASK_A), 0);
  EXPECT_EQ(L_MUTEX_Unlock(RES_FENWISP), 0);
  EXPECT_EQ(L_TASK_WaitEnd(TEST_TASK_A, 1000), 0);
  EXPECT_EQ(s_nStage.load(), 1);
  EXPECT_EQ(L_MUTEX_GetOwnerTaskID(RES_FENWISP), 0);
  // The mutex is free for the next taker.
  EXPECT_EQ(L_MUTEX_Lock(RES_FENWISP), 0);
  EXPECT_EQ(L_MUTEX_Unlock(RES_FENWISP), 0);
}

// A task holding a numbered mutex ends only after it lets go, at its next wait.
void vHoldsAMutexWhileWaiting(void) {
  L_MUTEX_LockWait(RES_HTML);
  s_nStage = 1;
  L_SEMA_Wait(SEMA_TEST_PARAMS);
  s_nStage = 2;
  L_MUTEX_Unlock(RES_HTML);
  L_SEMA_Wait(SEMA_TEST_PARAMS);
  s_nStage = 3;
}

TEST(TaskEnd, AHolderOfAMutexEndsAtItsFirstWaitAfterTheRelease) {
  s_nStage = 0;
  L_SEMA_SetPending(SEMA_TEST_PARAMS);
  TEST_vSetEntry(TEST_TASK_B, vHoldsAMutexWhileWaiting);
  ASSERT_EQ(L_TASK_Start(TEST_TASK_B), 0);
  TEST_vWaitFor([] { return L_SEMA_GetWaitingTaskID(SEMA_TEST_PARAMS) == TEST_TASK_B; });
  EXPECT_EQ(L_TASK_Terminate(TEST_TASK_B), 0);
  EXPECT_EQ(L_TASK_WaitEnd(TEST_TASK_B, 20), -lsTIMEOUT);
  L_SEMA_Signal(SEMA_TEST_PARAMS);
  EXPECT_EQ(L_TASK_WaitEnd(TEST_TASK_B, 1000), 0);
  EXPECT_EQ(s_nStage.load(), 2);
  EXPECT_EQ(L_MUTEX_GetOwnerTaskID(RES_HTML), 0);
}

// Descriptors the blocked task waits on, one kind per case; the test keeps the other ends.
struct FdCase {
  const char *pcName;
  bool (*pfnOpen)(int *pnWait, int *pnKeep);
};

bool bPty(int *pnWait, int *pnKeep) { return openpty(pnWait, pnKeep, nullptr, nullptr, nullptr) == 0; }
bool bSocket(int *pnWait, int *pnKeep) {
  int an[2];
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, an) != 0) return false;
  *pnWait = an[0];
  *pnKeep = an[1];
  return true;
}
bool bInotify(int *pnWait, int *pnKeep) {
  *pnWait = inotify_init1(IN_CLOEXEC);
  *pnKeep = -1;
  return *pnWait >= 0 && inotify_add_watch(*pnWait, TEST_dataDirectory().c_str(), IN_CREATE) >= 0;
}

std::atomic<int> s_nWaitFd{-1};

void vReadsTheDescriptor(void) {
  char ac[16];
  s_nStage = 1;
  TASK_nRead(s_nWaitFd.load(), ac, sizeof ac);
  s_nStage = 2;
}

class BlockedTaskEnds : public ::testing::TestWithParam<FdCase> {};

TEST_P(BlockedTaskEnds, Within100MsOfTheRequestLeavingNoDescriptor) {
  int nWait = -1;
  int nKeep = -1;
  ASSERT_TRUE(GetParam().pfnOpen(&nWait, &nKeep));
  s_nWaitFd = nWait;
  // The descriptor numbers in use before the task starts: it must hand them all back.
  const int nProbeBefore = dup(0);
  close(nProbeBefore);
  for (int nRound = 0; nRound < 3; nRound++) {
    s_nStage = 0;
    TEST_vSetEntry(TEST_TASK_C, vReadsTheDescriptor);
    ASSERT_EQ(L_TASK_Start(TEST_TASK_C), 0);
    TEST_vWaitFor([] { return s_nStage.load() == 1; });
    usleep(2000);
    EXPECT_EQ(L_TASK_Terminate(TEST_TASK_C), 0);
    EXPECT_EQ(L_TASK_WaitEnd(TEST_TASK_C, 100), 0) << GetParam().pcName;
    EXPECT_EQ(s_nStage.load(), 1);
  }
  const int nProbeAfter = dup(0);
  close(nProbeAfter);
  EXPECT_EQ(nProbeAfter, nProbeBefore);
  close(nWait);
  if (nKeep >= 0) close(nKeep);
}

INSTANTIATE_TEST_SUITE_P(Kinds, BlockedTaskEnds,
                         ::testing::Values(FdCase{"serial", bPty}, FdCase{"socket", bSocket},
                                           FdCase{"inotify", bInotify}),
                         [](const auto &info) { return std::string(info.param.pcName); });

void vWaitsInAMailbox(void) {
  s_nStage = 1;
  L_MBOX_ReceiveWait(M_DUMMY);
  s_nStage = 2;
}

void vCountsItsStart(void) { s_nStage = 10; }

TEST(TaskEnd, StopThenStartSucceedsOnceTheEndIsWaitedFor) {
  for (int nRound = 0; nRound < 20; nRound++) {
    s_nStage = 0;
    TEST_vSetEntry(TEST_TASK_A, vWaitsInAMailbox);
    ASSERT_EQ(L_TASK_Start(TEST_TASK_A), 0);
    TEST_vWaitFor([] { return s_nStage.load() == 1; });
    EXPECT_EQ(L_TASK_Terminate(TEST_TASK_A), 0);
    ASSERT_EQ(L_TASK_WaitEnd(TEST_TASK_A, 1000), 0) << nRound;
    TEST_vSetEntry(TEST_TASK_A, vCountsItsStart);
    ASSERT_EQ(L_TASK_Start(TEST_TASK_A), 0) << nRound;
    TEST_vWaitFor([] { return s_nStage.load() == 10; });
    EXPECT_EQ(L_TASK_WaitEnd(TEST_TASK_A, 1000), 0);
  }
  // The restart call does both steps.
  s_nStage = 0;
  TEST_vSetEntry(TEST_TASK_A, vWaitsInAMailbox);
  ASSERT_EQ(L_TASK_Start(TEST_TASK_A), 0);
  TEST_vWaitFor([] { return s_nStage.load() == 1; });
  TEST_vSetEntry(TEST_TASK_A, vCountsItsStart);
  EXPECT_EQ(L_TASK_Restart(TEST_TASK_A, 1000), 0);
  TEST_vWaitFor([] { return s_nStage.load() == 10; });
  EXPECT_EQ(L_TASK_WaitEnd(0, 10), -lsTASK_INVALID);  // never the caller itself
}

}  // namespace
