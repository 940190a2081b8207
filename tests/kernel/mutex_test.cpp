// Numbered mutexes: nesting codes, other owners, timed takes and the network layer's wrappers.
#include <gtest/gtest.h>
#include <pthread.h>

#include <atomic>
#include <vector>

#include "kernel/mutex.h"
#include "kernel_test_util.h"
#include "platform/clock.h"
#include "test_environment.h"
#include "run_apart.h"

TEST_RUN_APART(Mutex);
TEST_RUN_APART(MutexNesting);

namespace {

enum OP { LOCK_WAIT, LOCK_TRY, LOCK_TIME, UNLOCK };

struct MutexCase {
  const char *pcName;
  std::vector<OP> ops;
  std::vector<ERC> results;
};

class MutexNesting : public ::testing::TestWithParam<MutexCase> {};

ERC erDo(OP eOp, MUTEX mutex) {
  switch (eOp) {
    case LOCK_WAIT: return L_MUTEX_LockWait(mutex);
    case LOCK_TRY: return L_MUTEX_Lock(mutex);
    case LOCK_TIME: return L_MUTEX_LockTime(mutex, 100);
    case UNLOCK: return L_MUTEX_Unlock(mutex);
  }
  return 99;
}

TEST_P(MutexNesting, CodesTellWhetherTheCallerTookIt) {
  const MutexCase &tCase = GetParam();
  std::vector<ERC> aResults;
  for (OP eOp : tCase.ops) aResults.push_back(erDo(eOp, RES_NAV_DATA));
  EXPECT_EQ(aResults, tCase.results);
  EXPECT_EQ(L_MUTEX_GetOwnerTaskID(RES_NAV_DATA), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, MutexNesting,
    ::testing::Values(MutexCase{"wait_twice", {LOCK_WAIT, LOCK_WAIT, UNLOCK, UNLOCK, UNLOCK}, {0, -23, -23, 0, -22}},
                      MutexCase{"try_twice", {LOCK_TRY, LOCK_TRY, UNLOCK, UNLOCK, UNLOCK}, {0, -23, -23, 0, -22}},
                      MutexCase{"timed_then_wait", {LOCK_TIME, LOCK_WAIT, LOCK_TRY, UNLOCK, UNLOCK, UNLOCK},
                                {0, -23, -23, -23, -23, 0}},
                      MutexCase{"unlock_free", {UNLOCK}, {-22}}),
    [](const auto &info) { return std::string(info.param.pcName); });

TEST(Mutex, BadNumbers) {
  for (MUTEX mutex : {0, -1, 105}) {
    EXPECT_EQ(L_MUTEX_LockWait(mutex), -lsMUTEX_INVALID);
    EXPECT_EQ(L_MUTEX_Lock(mutex), -lsMUTEX_INVALID);
    EXPECT_EQ(L_MUTEX_LockTime(mutex, 5), -lsMUTEX_INVALID);
    EXPECT_EQ(L_MUTEX_Unlock(mutex), -lsMUTEX_INVALID);
  }
  EXPECT_STREQ(get_mutex_name(RES_DATABASE), "RES_DATABASE");
  EXPECT_STREQ(get_mutex_name(104), "RES_TRQ_QVIMAGE");
  EXPECT_STREQ(get_mutex_name(105), "INVALID");
}

std::atomic<int> s_nStage{0};

void vHolder(void) {
  L_MUTEX_LockWait(RES_MENU);
  s_nStage = 1;
  while (s_nStage.load() != 2) usleep(200);
  L_MUTEX_Unlock(RES_MENU);
  s_nStage = 3;
}

TEST(Mutex, AnotherOwnerMakesItBusy) {
  REQUIRE_TEST_CLOCK(10ull * 1000000000ull);
  TEST_vSetEntry(TEST_TASK_A, vHolder);
  ASSERT_EQ(L_TASK_Start(TEST_TASK_A), 0);
  TEST_vWaitFor([] { return s_nStage.load() == 1; });
  EXPECT_EQ(L_MUTEX_GetOwnerTaskID(RES_MENU), TEST_TASK_A);
  EXPECT_EQ(L_MUTEX_Lock(RES_MENU), -lsMUTEX_BUSY);
  EXPECT_EQ(L_MUTEX_Unlock(RES_MENU), -lsMUTEX_BUSY);
  EXPECT_EQ(L_MUTEX_GetOwnerTaskID(RES_MENU), TEST_TASK_A);

  // A timed take gives up when the test clock passes its limit.
  std::atomic<ERC> ercTaker{99};
  pthread_t tThread = TEST_tPlainThread([&] { ercTaker = L_MUTEX_LockTime(RES_MENU, 100); });
  while (ercTaker.load() == 99) {
    PLATFORM_CLOCK_vAdvanceTestClockMs(20);
    usleep(500);
  }
  pthread_join(tThread, nullptr);
  EXPECT_EQ(ercTaker.load(), -lsMUTEX_BUSY);

  // A waiting take gets it once the owner lets go.
  s_nStage = 2;
  EXPECT_EQ(L_MUTEX_LockWait(RES_MENU), 0);
  EXPECT_EQ(L_MUTEX_GetOwnerTaskID(RES_MENU), MAINTHREAD);
  EXPECT_EQ(L_MUTEX_Unlock(RES_MENU), 0);
}

// Two threads that are no task both report number 70, yet they do not share a lock.
TEST(Mutex, PlainThreadsAreSeparateOwners) {
  ASSERT_EQ(L_MUTEX_LockWait(RES_LOG), 0);
  std::atomic<ERC> ercOther{99};
  pthread_join(TEST_tPlainThread([&] { ercOther = L_MUTEX_Lock(RES_LOG); }), nullptr);
  EXPECT_EQ(ercOther.load(), -lsMUTEX_BUSY);
  EXPECT_EQ(L_MUTEX_Unlock(RES_LOG), 0);
}

TEST(Mutex, NetworkWrappers) {
  GMUTEX mutex = RES_SLP;
  EXPECT_TRUE(MUTEX_bInit(&mutex, TRUE));
  EXPECT_TRUE(MUTEX_bLock(&mutex));
  // Nested: taken again but reported FALSE, so it needs one more unlock.
  EXPECT_FALSE(MUTEX_bLock(&mutex));
  EXPECT_TRUE(MUTEX_bTryLock(&mutex));
  EXPECT_FALSE(MUTEX_bUnlock(&mutex));
  EXPECT_FALSE(MUTEX_bUnlock(&mutex));
  EXPECT_TRUE(MUTEX_bUnlock(&mutex));
  EXPECT_EQ(L_MUTEX_GetOwnerTaskID(RES_SLP), 0);
  EXPECT_TRUE(MUTEX_bDestroy(&mutex));
}

}  // namespace
