// The simulator's paddle wheel: a cumulative 32-bit pulse count, delivered little-endian on each 4-byte read
// as the wheel's driver does. Tests turn the wheel and damage reads through these calls.
#pragma once
#include "corvan/types.h"

// Back to the defaults: device present, count 0, no damage.
void HOST_SPEED_vReset(void);
// Without the device the open fails (ENODEV).
void HOST_SPEED_vSetPresent(bool bPresent);
// Adds pulses to the count (it wraps at 2^32 as the driver's counter does).
void HOST_SPEED_vAddPulses(U32 u32Pulses);
// The next read fails (EIO) or delivers only u32Bytes bytes.
void HOST_SPEED_vFailNextRead(void);
void HOST_SPEED_vShortNextRead(U32 u32Bytes);
