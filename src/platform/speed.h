// The paddle-wheel speed sensor: a character device that reports a cumulative pulse count, turned into water
// speed with a calibration factor per pulse-rate band.
#pragma once
#include <sys/types.h>

#include "corvan/types.h"

// Opens the device; a missing device is fatal.
void H_SPEED_vInit(void);
void DD_SPEED_vInit(void);
// Pulses since the previous successful read (modulo 2^32); 0 for the first read and for a failed one.
U32 DD_SPEED_u32GetPulses(void);
// The water speed in metres per second into *pfData; TRUE while the last speed was plausible.
BOOLEAN H_SPEED_bGetSpeed(float *pfData);

// The device seam: one table per platform, chosen at link time.
typedef struct {
  int (*nOpen)(void);                                  // read-only; a descriptor, or -1
  ssize_t (*nRead)(int nFd, void *pvData, size_t size);  // one 4-byte count per read
  void (*vClose)(int nFd);
} SPEED_OPS;
const SPEED_OPS *SPEED_pGetOps(void);

// Tests: closed, no first count, nothing found.
void H_SPEED_vResetForTest(void);
