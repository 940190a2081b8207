// Event semaphores: flags with one waiter; a list wait returns the earliest fired.
#include <gtest/gtest.h>
#include <pthread.h>

#include <atomic>
#include <vector>

#include "kernel/sema.h"
#include "kernel_test_util.h"
#include "platform/clock.h"
#include "test_environment.h"
#include "run_apart.h"

TEST_RUN_APART(Semaphore);
TEST_RUN_APART(SemaphoreList);

namespace {

struct ListCase {
  const char *pcName;
  std::vector<SEMA> signals;   // given in this order before the waits
  std::vector<SEMA> list;      // the wait list, without the final 0
  std::vector<ERC> results;    // of successive waits on the list
};

class SemaphoreList : public ::testing::TestWithParam<ListCase> {};

TEST_P(SemaphoreList, EarliestFiredFirst) {
  const ListCase &tCase = GetParam();
  std::vector<SEMA> aList = tCase.list;
  aList.push_back(0);
  L_SEMA_SetPendingMultiple(aList.data());
  for (SEMA sema : tCase.signals) EXPECT_EQ(L_SEMA_Signal(sema), 0) << sema;
  for (ERC ercExpected : tCase.results) EXPECT_EQ(L_SEMA_WaitMultiple(aList.data()), ercExpected);
  // Nothing is left signalled.
  for (SEMA sema : tCase.list) {
    if (sema >= 1 && sema <= nsemas) {
      EXPECT_EQ(L_SEMA_GetWaitingTaskID(sema), -lsSEMA_PENDING) << sema;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Lists, SemaphoreList,
    ::testing::Values(ListCase{"signal_12_then_7", {12, 7}, {7, 12}, {12, 7}},
                      ListCase{"signal_7_then_12", {7, 12}, {7, 12}, {7, 12}},
                      ListCase{"three_reverse", {30, 20, 10}, {10, 20, 30}, {30, 20, 10}},
                      ListCase{"invalid_entries_skipped", {5}, {281, -4, 5}, {5}},
                      ListCase{"duplicate_entry", {9}, {9, 9}, {9}}),
    [](const auto &info) { return std::string(info.param.pcName); });

TEST(Semaphore, SecondSignalIsAnOverrun) {
  L_SEMA_SetPending(SEMA_VIEW_UPDATE);
  EXPECT_EQ(L_SEMA_Signal(SEMA_VIEW_UPDATE), 0);
  EXPECT_EQ(L_SEMA_Signal(SEMA_VIEW_UPDATE), -lsSEMA_OVERRUN);
  EXPECT_EQ(L_SEMA_GetWaitingTaskID(SEMA_VIEW_UPDATE), -lsSEMA_DONE);
  // One wake-up serves all signals.
  EXPECT_EQ(L_SEMA_WaitTicks(SEMA_VIEW_UPDATE, 0), 0);
  EXPECT_EQ(L_SEMA_WaitTicks(SEMA_VIEW_UPDATE, 0), -lsTIMEOUT);
  // The earlier fire time is kept: 12 signalled, 7 signalled, 12 again (overrun) still wins.
  SEMA aList[] = {7, 12, 0};
  L_SEMA_SetPendingMultiple(aList);
  L_SEMA_Signal(12);
  L_SEMA_Signal(7);
  EXPECT_EQ(L_SEMA_Signal(12), -lsSEMA_OVERRUN);
  EXPECT_EQ(L_SEMA_WaitMultiple(aList), 12);
}

TEST(Semaphore, InvalidNumbersAndLists) {
  SEMA aNone[] = {0};
  SEMA aInvalid[] = {281, -3, 1000, 0};
  EXPECT_EQ(L_SEMA_WaitMultiple(aNone), -lsSEMA_INVALID);
  EXPECT_EQ(L_SEMA_WaitMultiple(aInvalid), -lsSEMA_INVALID);
  EXPECT_EQ(L_SEMA_SignalMultiple(aInvalid), -lsSEMA_INVALID);
  EXPECT_EQ(L_SEMA_SetPendingMultiple(aInvalid), -lsSEMA_INVALID);
  for (SEMA sema : {0, -1, 281}) {
    EXPECT_EQ(L_SEMA_Signal(sema), -lsSEMA_INVALID) << sema;
    EXPECT_EQ(L_SEMA_Wait(sema), -lsSEMA_INVALID) << sema;
    EXPECT_EQ(L_SEMA_WaitTicks(sema, 10), -lsSEMA_INVALID) << sema;
    EXPECT_EQ(L_SEMA_SetPending(sema), -lsSEMA_INVALID) << sema;
    EXPECT_EQ(L_SEMA_GetWaitingTaskID(sema), -lsSEMA_INVALID) << sema;
  }
  EXPECT_STREQ(get_semaphore_name(-1), "RC_TIMEOUT");
  EXPECT_STREQ(get_semaphore_name(281), "INVALID");
  EXPECT_STREQ(get_semaphore_name(0), "");
  EXPECT_STREQ(get_semaphore_name(SEMA_VIEW_UPDATE), "SEMA_VIEW_UPDATE");
  EXPECT_STREQ(get_semaphore_name(280), "SEMA_TIMER_BT_BUTTON");
}

std::atomic<ERC> s_ercWaiter{99};

void vWaitsOnFive(void) {
  SEMA aList[] = {5, 6, 0};
  s_ercWaiter = L_SEMA_WaitMultiple(aList);
}

TEST(Semaphore, SecondWaiterIsRefusedAtOnce) {
  TEST_vSetEntry(TEST_TASK_A, vWaitsOnFive);
  ASSERT_EQ(L_TASK_Start(TEST_TASK_A), 0);
  TEST_vWaitFor([] { return L_SEMA_GetWaitingTaskID(5) == TEST_TASK_A; });
  EXPECT_EQ(L_SEMA_Wait(5), -lsSEMA_WAIT_CONFLICT);
  SEMA aList[] = {4, 6, 0};
  EXPECT_EQ(L_SEMA_WaitMultiple(aList), -lsSEMA_WAIT_CONFLICT);
  // A reset does not touch a semaphore that is waited on.
  EXPECT_EQ(L_SEMA_SetPending(5), 0);
  EXPECT_EQ(L_SEMA_GetWaitingTaskID(5), TEST_TASK_A);
  EXPECT_EQ(L_SEMA_Signal(6), 0);
  TEST_vWaitFor([] { return s_ercWaiter.load() != 99; });
  EXPECT_EQ(s_ercWaiter.load(), 6);
  EXPECT_EQ(L_SEMA_GetWaitingTaskID(5), -lsSEMA_PENDING);
}

TEST(Semaphore, TimedWaitEndsAtTheLimitWithoutAWaiterLeft) {
  REQUIRE_TEST_CLOCK(10ull * 1000000000ull);
  std::atomic<ERC> ercWaiter{99};
  pthread_t tThread = TEST_tPlainThread([&] { ercWaiter = L_SEMA_WaitTicks(SEMA_GPS_DETECTED, 100); });
  TEST_vWaitFor([] { return L_SEMA_GetWaitingTaskID(SEMA_GPS_DETECTED) == MAINTHREAD; });
  PLATFORM_CLOCK_vAdvanceTestClockMs(99);
  usleep(5000);
  EXPECT_EQ(ercWaiter.load(), 99);
  PLATFORM_CLOCK_vAdvanceTestClockMs(1);
  pthread_join(tThread, nullptr);
  EXPECT_EQ(ercWaiter.load(), -lsTIMEOUT);
  EXPECT_EQ(L_SEMA_GetWaitingTaskID(SEMA_GPS_DETECTED), -lsSEMA_PENDING);
}

}  // namespace
