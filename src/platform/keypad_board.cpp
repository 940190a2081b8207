// The board's keypad: the Linux input device of the keypad driver.
#include "platform/keypad_ops.h"

namespace {
const char *pcBoardDevice(void) { return "/dev/input/event0"; }
void vNoOtherSources(void) {}
const KEYPAD_OPS s_tBoardOps = {
    .pcDevicePath = pcBoardDevice,         // the keypad's evdev node
    .vStartOtherSources = vNoOtherSources, // nothing else delivers keys on the board
};
}  // namespace

const KEYPAD_OPS *KEYPAD_pGetBoardOps(void) { return &s_tBoardOps; }
