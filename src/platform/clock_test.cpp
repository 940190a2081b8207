// The test clock: a monotonic reading that moves only when a test advances it (the timers it makes due are
// expired by the clock seam, in time order).
#include <atomic>

#include "platform/clock_internal.h"

namespace {
std::atomic<bool> s_bActive{false};
std::atomic<bool> s_bRead{false}; // a reading was taken: the choice of clock is fixed
std::atomic<U64> s_u64Now{0};
} // namespace

bool CLOCK_TEST_bActive(void) {
  s_bRead.store(true, std::memory_order_relaxed);
  return s_bActive.load(std::memory_order_acquire);
}

U64 CLOCK_TEST_u64Now(void) { return s_u64Now.load(std::memory_order_acquire); }

void CLOCK_TEST_vSetNow(U64 u64Ns) { s_u64Now.store(u64Ns, std::memory_order_release); }

bool PLATFORM_CLOCK_bUseTestClock(U64 u64StartNs) {
  if (s_bRead.load()) return s_bActive.load();
  s_u64Now.store(u64StartNs);
  s_bActive.store(true, std::memory_order_release);
  return true;
}

bool PLATFORM_CLOCK_bIsTestClock(void) { return s_bActive.load(); }
