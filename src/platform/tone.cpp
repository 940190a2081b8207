// The beeper layer: a tone is started by writing its frequency to the open device and stopped by closing it.
#include "platform/tone.h"

#include "kernel/options.h"

namespace {
bool s_bOpen = false;  // only the tone task drives the beeper
}

void H_TONE_vInit(void) {}

void H_TONE_vStartTone(float fFrequency) {
  const BEEPER_OPS *pOps = BEEPER_pGetOps();
  if (!s_bOpen) {
    if (opt_notone) return;
    s_bOpen = pOps->bOpen();
    if (!s_bOpen) return;
  }
  pOps->vWrite(static_cast<S32>(fFrequency));
}

void H_TONE_vStopTone(void) {
  if (!s_bOpen) return;
  BEEPER_pGetOps()->vClose();
  s_bOpen = false;
}
