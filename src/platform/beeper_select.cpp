// Which beeper this build drives: the board's buzzer device, or the simulator's recorder.
#include "platform/tone.h"

const BEEPER_OPS *BEEPER_pGetBoardOps(void);
const BEEPER_OPS *BEEPER_pGetHostOps(void);

const BEEPER_OPS *BEEPER_pGetOps(void) {
#if defined(__arm__) || defined(__aarch64__)
  return BEEPER_pGetBoardOps();
#else
  return BEEPER_pGetHostOps();
#endif
}
