// The simulator's beeper: every tone start and stop is recorded with its time, for tests and the log.
#pragma once
#include <vector>

#include "corvan/types.h"

typedef struct {
  U32 u32Tick;    // kernel clock, milliseconds
  S32 s32Hertz;   // 0: silence
} BEEPER_EVENT;

// Takes the events recorded so far and forgets them.
std::vector<BEEPER_EVENT> BEEPER_HOST_vTakeEvents(void);
