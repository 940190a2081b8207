// Timers and tick counters, driven by the test clock.
#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "kernel/sema.h"
#include "kernel/tick.h"
#include "kernel/timer.h"
#include "kernel_test_util.h"
#include "platform/clock.h"
#include "test_environment.h"
#include "run_apart.h"

TEST_RUN_APART(Timer);
TEST_RUN_APART(TimerScript);
TEST_RUN_APART(Clock);
TEST_RUN_APART(Tick);

namespace {

constexpr U64 kUpForTenDays = 864000ull * 1000000000ull;

// One step of a timer script: move the clock, then see whether the semaphore fired.
struct Step {
  U32 u32AdvanceMs;
  bool bSignalled;
};

struct TimerCase {
  const char *pcName;
  U32 u32StartMs;
  U32 u32RecurMs;
  bool bSignalledAtStart;
  std::vector<Step> steps;
};

class TimerScript : public ::testing::TestWithParam<TimerCase> {};

// Whether the semaphore is signalled now (takes the signal).
bool bFired(SEMA sema) {
  TIMER_vSyncForTest();
  return L_SEMA_WaitTicks(sema, 0) == 0;
}

TEST_P(TimerScript, SignalsAtItsExpiries) {
  REQUIRE_TEST_CLOCK(kUpForTenDays);
  const TimerCase &tCase = GetParam();
  TIMER_INFO *ptTimer = L_TIMER_Start(nullptr, tCase.u32StartMs, tCase.u32RecurMs, SEMA_TIMER_NAV);
  ASSERT_NE(ptTimer, nullptr);
  EXPECT_EQ(bFired(SEMA_TIMER_NAV), tCase.bSignalledAtStart);
  int nStep = 0;
  for (const Step &tStep : tCase.steps) {
    PLATFORM_CLOCK_vAdvanceTestClockMs(tStep.u32AdvanceMs);
    EXPECT_EQ(bFired(SEMA_TIMER_NAV), tStep.bSignalled) << "step " << nStep;
    nStep++;
  }
  EXPECT_EQ(L_TIMER_Release(ptTimer), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, TimerScript,
    ::testing::Values(
        TimerCase{"one_shot", 100, 0, false, {{99, false}, {1, true}, {1000, false}}},
        TimerCase{"periodic", 50, 100, false, {{50, true}, {99, false}, {1, true}, {100, true}}},
        TimerCase{"start_zero_periodic", 0, 2000, true, {{1999, false}, {1, true}, {2000, true}}},
        TimerCase{"start_zero_once_stays_idle", 0, 0, true, {{10000, false}}},
        // Ten missed periods of a busy owner leave one pending signal, not ten.
        TimerCase{"missed_periods_one_signal", 100, 100, false, {{1000, true}, {0, false}, {100, true}}}),
    [](const auto &info) { return std::string(info.param.pcName); });

TEST(Timer, RestartClearsAPendingSignal) {
  REQUIRE_TEST_CLOCK(kUpForTenDays);
  TIMER_INFO *ptTimer = L_TIMER_Start(nullptr, 100, 0, SEMA_TIMER_INFO);
  ASSERT_NE(ptTimer, nullptr);
  PLATFORM_CLOCK_vAdvanceTestClockMs(100);
  TIMER_vSyncForTest();
  EXPECT_EQ(L_SEMA_GetWaitingTaskID(SEMA_TIMER_INFO), -lsSEMA_DONE);
  // Restart keeping the semaphore (-1): the old expiry must not pass for the new one.
  ASSERT_EQ(L_TIMER_Start(ptTimer, 100, 0, -1), ptTimer);
  EXPECT_FALSE(bFired(SEMA_TIMER_INFO));
  EXPECT_EQ(L_TIMER_GetRemaining(ptTimer), 100u);
  PLATFORM_CLOCK_vAdvanceTestClockMs(30);
  EXPECT_EQ(L_TIMER_GetRemaining(ptTimer), 70u);
  PLATFORM_CLOCK_vAdvanceTestClockMs(70);
  EXPECT_TRUE(bFired(SEMA_TIMER_INFO));
  EXPECT_EQ(L_TIMER_GetRemaining(ptTimer), 0u);
}

TEST(Timer, StoppedTimerGivesNoSignal) {
  REQUIRE_TEST_CLOCK(kUpForTenDays);
  TIMER_INFO *ptTimer = L_TIMER_Start(nullptr, 100, 100, SEMA_TIMER_KEYB);
  ASSERT_NE(ptTimer, nullptr);
  EXPECT_EQ(L_TIMER_Stop(ptTimer), 0);
  PLATFORM_CLOCK_vAdvanceTestClockMs(500);
  EXPECT_FALSE(bFired(SEMA_TIMER_KEYB));
  EXPECT_EQ(L_TIMER_Stop(ptTimer), -lsTIMER_INACTIVE);
  EXPECT_EQ(L_TIMER_Stop(nullptr), -lsTIMER_ILLEGAL);
  EXPECT_EQ(L_TIMER_GetRemaining(nullptr), 0u);
}

TEST(Timer, AllFiftyThenNone) {
  REQUIRE_TEST_CLOCK(kUpForTenDays);
  EXPECT_EQ(L_TIMER_Release(nullptr), -lsTIMER_UNINIT);
  std::vector<TIMER_INFO *> aptTimers;
  for (int n = 0; n < ntmrs; n++) {
    TIMER_INFO *ptTimer = L_TIMER_Allocate();
    ASSERT_NE(ptTimer, nullptr) << n;
    aptTimers.push_back(ptTimer);
  }
  EXPECT_EQ(L_TIMER_Allocate(), nullptr);
  EXPECT_EQ(L_TIMER_Start(nullptr, 10, 0, SEMA_TIMER_NAV), nullptr);
  EXPECT_EQ(L_TIMER_Release(aptTimers[7]), 0);
  EXPECT_EQ(L_TIMER_Allocate(), aptTimers[7]);
}

std::atomic<TIMER_INFO *> s_ptForeign{nullptr};
std::atomic<int> s_nForeignDone{0};
TIMER_INFO *s_ptStartResult = reinterpret_cast<TIMER_INFO *>(1);
ERC s_ercStop = 0, s_ercRelease = 0;

void vForeignTask(void) {
  s_ptStartResult = L_TIMER_Start(s_ptForeign.load(), 10, 0, SEMA_TIMER_NAV);
  s_ercStop = L_TIMER_Stop(s_ptForeign.load());
  s_ercRelease = L_TIMER_Release(s_ptForeign.load());
  s_nForeignDone = 1;
}

TEST(Timer, OnlyTheOwnerMayUseATimer) {
  REQUIRE_TEST_CLOCK(kUpForTenDays);
  s_ptForeign = L_TIMER_Start(nullptr, 100, 0, SEMA_TIMER_NAV);
  ASSERT_NE(s_ptForeign.load(), nullptr);
  TEST_vSetEntry(TEST_TASK_A, vForeignTask);
  ASSERT_EQ(L_TASK_Start(TEST_TASK_A), 0);
  TEST_vWaitFor([] { return s_nForeignDone.load() == 1; });
  EXPECT_EQ(s_ptStartResult, nullptr);
  EXPECT_EQ(s_ercStop, -lsTIMER_ILLEGAL);
  EXPECT_EQ(s_ercRelease, -lsTIMER_ILLEGAL);
  // The owner's timer still runs.
  PLATFORM_CLOCK_vAdvanceTestClockMs(100);
  EXPECT_TRUE(bFired(SEMA_TIMER_NAV));
}

struct ElapsedCase {
  U32 u32Start;
  U32 u32End;
  U32 u32Elapsed;
};

TEST(Tick, ElapsedTimeAcrossTheWrap) {
  const ElapsedCase atCases[] = {
      {0xFFFFFFF0u, 16, 32}, {0, 0, 0}, {100, 250, 150}, {0xFFFFFFFFu, 0, 1}, {5, 4, 0xFFFFFFFFu}};
  for (const ElapsedCase &tCase : atCases) {
    EXPECT_EQ(H_TICK_u32ElapsedTime(tCase.u32Start, tCase.u32End), tCase.u32Elapsed) << tCase.u32Start;
  }
}

TEST(Tick, CountersWrapAfterTwoToThe32Units) {
  REQUIRE_TEST_CLOCK(kUpForTenDays);
  EXPECT_EQ(H_TICK_u32ReadFreeRunningTimerInMilliSeconds(), 0u);
  PLATFORM_CLOCK_vAdvanceTestClockMs(0xFFFFFFF0ull);
  U32 u32Before = H_TICK_u32ReadFreeRunningTimerInMilliSeconds();
  EXPECT_EQ(u32Before, 0xFFFFFFF0u);
  U32 u32Stored = u32Before;
  PLATFORM_CLOCK_vAdvanceTestClockMs(32);
  U32 u32After = H_TICK_u32ReadFreeRunningTimerInSystemTicks();
  EXPECT_EQ(u32After, 16u);
  EXPECT_EQ(H_TICK_u32ElapsedTime(u32Before, u32After), 32u);
  EXPECT_EQ(L_TIMER_GetElapsed(&u32Stored), 32u);
  EXPECT_EQ(u32Stored, 16u);
  EXPECT_EQ(L_CLOCK_qwGetTimeInMillis(), 0x100000010ull);
  // The 200-microsecond counter: 5 units per millisecond.
  EXPECT_EQ(H_TICK_u32ReadFreeRunningTimer(), (U32)(0x100000010ull * 5));
}

TEST(Clock, DeadlinesAndTimerspecs) {
  REQUIRE_TEST_CLOCK(kUpForTenDays + 999999999ull);
  struct timespec tDeadline;
  L_CLOCK_PrepTimeoutTicks(&tDeadline, 1);
  EXPECT_EQ(tDeadline.tv_sec, 864001);
  EXPECT_EQ(tDeadline.tv_nsec, 999999);
  L_CLOCK_PrepTimeoutSeconds(&tDeadline, 2);
  EXPECT_EQ(tDeadline.tv_sec, 864002);
  struct itimerspec tSpec;
  L_CLOCK_StoreTimerspec(&tSpec, 1500, 250);
  EXPECT_EQ(tSpec.it_value.tv_sec, 1);
  EXPECT_EQ(tSpec.it_value.tv_nsec, 500000000);
  EXPECT_EQ(tSpec.it_interval.tv_nsec, 250000000);
  EXPECT_EQ(L_CLOCK_ScanTimerspec(&tSpec), 1500u);
  tSpec.it_value.tv_nsec = 499600000;
  EXPECT_EQ(L_CLOCK_ScanTimerspec(&tSpec), 1500u);
}

}  // namespace

namespace {

// On the system clock: the POSIX timers reach the owner through the signal, the pipe and the timer thread.
TEST(Timer, SystemClockTimersExpire) {
  if (PLATFORM_CLOCK_bIsTestClock()) GTEST_SKIP() << "needs a process of its own on the system clock";
  TIMER_INFO *ptOnce = L_TIMER_Start(nullptr, 1, 0, SEMA_TIMER_ALARM);
  ASSERT_NE(ptOnce, nullptr);
  EXPECT_EQ(L_SEMA_Wait(SEMA_TIMER_ALARM), 0);
  TIMER_INFO *ptCycle = L_TIMER_Start(nullptr, 1, 1, SEMA_TIMER_BUTTON);
  ASSERT_NE(ptCycle, nullptr);
  for (int n = 0; n < 3; n++) EXPECT_EQ(L_SEMA_Wait(SEMA_TIMER_BUTTON), 0);
  EXPECT_EQ(L_TIMER_Stop(ptCycle), 0);
}

}  // namespace

namespace {

// The old expiry is still on its way to the timer thread when the timer is restarted and expires again: the
// new expiry is never taken for the old one.
TEST(Timer, RestartsRacingTheirOwnExpiryLoseNone) {
  REQUIRE_TEST_CLOCK(kUpForTenDays);
  TIMER_INFO *ptTimer = L_TIMER_Start(nullptr, 1, 0, SEMA_TIMER_NAV);
  ASSERT_NE(ptTimer, nullptr);
  int nLost = 0;
  for (int nRound = 0; nRound < 10000; nRound++) {
    ASSERT_EQ(L_TIMER_Start(ptTimer, 1, 0, SEMA_TIMER_NAV), ptTimer);
    PLATFORM_CLOCK_vAdvanceTestClockMs(1);
    ASSERT_EQ(L_TIMER_Start(ptTimer, 1, 0, -1), ptTimer);
    PLATFORM_CLOCK_vAdvanceTestClockMs(1);
    if (!bFired(SEMA_TIMER_NAV)) nLost++;
  }
  EXPECT_EQ(nLost, 0);
  EXPECT_EQ(L_TIMER_Release(ptTimer), 0);
}

}  // namespace
