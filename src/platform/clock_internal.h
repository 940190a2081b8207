// Shared between the system clock and the test clock of the clock seam.
#pragma once
#include "platform/clock.h"

bool CLOCK_TEST_bActive(void);
U64 CLOCK_TEST_u64Now(void);
void CLOCK_TEST_vArm(PLATFORM_TIMER *ptTimer, U32 u32StartMs, U32 u32RecurMs);
void CLOCK_TEST_vDisarm(PLATFORM_TIMER *ptTimer);
void CLOCK_TEST_vRegister(PLATFORM_TIMER *ptTimer);
U64 CLOCK_TEST_u64Remaining(PLATFORM_TIMER *ptTimer);
void CLOCK_vExpire(void *pvArg);

inline U64 CLOCK_u64ToNs(const struct timespec *ptTime) {
  return (U64)ptTime->tv_sec * 1000000000ull + (U64)ptTime->tv_nsec;
}
inline struct timespec CLOCK_tFromNs(U64 u64Ns) {
  struct timespec tTime;
  tTime.tv_sec = (time_t)(u64Ns / 1000000000ull);
  tTime.tv_nsec = (long)(u64Ns % 1000000000ull);
  return tTime;
}
