// The keypad seam: where key records come from on each platform, chosen at link time.
#pragma once

typedef struct {
  // The keypad's input device read by the input thread; NULL when the platform has none.
  const char *(*pcDevicePath)(void);
  // Starts the platform's other key sources (the simulator's window), which feed DD_KEYBOARD_vHandleRecord.
  void (*vStartOtherSources)(void);
} KEYPAD_OPS;

const KEYPAD_OPS *KEYPAD_pGetOps(void);
