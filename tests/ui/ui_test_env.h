// Shared set-up of the user-interface tests: a data directory of the test process and the test clock.
#pragma once
#include <gtest/gtest.h>

#include "platform/clock.h"

constexpr unsigned long long kUiTestStartNs = 7ull * 86400 * 1000000000ull;

#define REQUIRE_UI_TEST_CLOCK()                                                              \
  if (!PLATFORM_CLOCK_bIsTestClock() && !PLATFORM_CLOCK_bUseTestClock(kUiTestStartNs)) {    \
    GTEST_SKIP() << "the clock was read before this test; run it in a process of its own"; \
  }

// Whether the semaphore is signalled; a signalled one is cleared.
bool UI_bTakeSignal(int sema);
