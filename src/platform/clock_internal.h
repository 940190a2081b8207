// Shared between the system clock and the test clock of the clock seam.
#pragma once
#include "platform/clock.h"

bool CLOCK_TEST_bActive(void);
U64 CLOCK_TEST_u64Now(void);
void CLOCK_TEST_vSetNow(U64 u64Ns);

inline U64 CLOCK_u64ToNs(const struct timespec *ptTime) {
  return (U64)ptTime->tv_sec * 1000000000ull + (U64)ptTime->tv_nsec;
}
inline struct timespec CLOCK_tFromNs(U64 u64Ns) {
  struct timespec tTime;
  tTime.tv_sec = (time_t)(u64Ns / 1000000000ull);
  tTime.tv_nsec = (long)(u64Ns % 1000000000ull);
  return tTime;
}
