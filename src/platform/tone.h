// The beeper: a tone at a frequency until stopped.
#pragma once
#include "corvan/types.h"

void H_TONE_vInit(void);
// Starts the beeper at the frequency (truncated to whole hertz); with the notone option only a beeper that is
// already sounding changes its pitch.
void H_TONE_vStartTone(float fFrequency);
void H_TONE_vStopTone(void);

// The beeper seam: one table per platform, chosen at link time.
typedef struct {
  bool (*bOpen)(void);             // opens the device; false when it cannot
  void (*vWrite)(S32 s32Hertz);    // sounds the frequency
  void (*vClose)(void);            // silence
} BEEPER_OPS;
const BEEPER_OPS *BEEPER_pGetOps(void);
