// Noise level of a ping: the mean of its samples after the transmit ring-down.
#pragma once
#include "corvan/types.h"
#include "sonar/ping_descriptor.h"

// Skips min(N - 1, 832 / P) samples; mean of the rest limited to 255 (255 when none remain); 0 for no samples.
// The maximum goes to *pu8Max when it is not null.
U8 S_NOISE_u8Measure(PING_DESCRIPTOR *pPing, U8 *pu8Max);
