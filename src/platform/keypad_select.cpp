// Which keypad this build drives: the board's input device, or the simulator's window.
#include "platform/keypad_ops.h"

const KEYPAD_OPS *KEYPAD_pGetBoardOps(void);
const KEYPAD_OPS *KEYPAD_pGetHostOps(void);

const KEYPAD_OPS *KEYPAD_pGetOps(void) {
#if defined(__arm__) || defined(__aarch64__)
  return KEYPAD_pGetBoardOps();
#else
  return KEYPAD_pGetHostOps();
#endif
}
