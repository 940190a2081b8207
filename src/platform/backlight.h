// The display backlight: a level 0 (dimmest) to 10 (brightest) kept in 'CBAK', written to the panel's
// brightness file as an analog and a digital value that depend on the panel kind.
#pragma once
#include "settings/database.h"
#include "corvan/types.h"

typedef enum {
  DISPLAY_BACKLIGHT_OFF = 0,
  DISPLAY_BACKLIGHT_1 = 1,
  DISPLAY_BACKLIGHT_2 = 2,
  DISPLAY_BACKLIGHT_LOW = 3,
  DISPLAY_BACKLIGHT_4 = 4,
  DISPLAY_BACKLIGHT_5 = 5,
  DISPLAY_BACKLIGHT_MEDIUM = 6,
  DISPLAY_BACKLIGHT_7 = 7,
  DISPLAY_BACKLIGHT_8 = 8,
  DISPLAY_BACKLIGHT_HIGH = 9,
  DISPLAY_BACKLIGHT_MAX = 10,
  DISPLAY_BACKLIGHT_DEFAULT = DISPLAY_BACKLIGHT_MAX,
} DISPLAY_BACKLIGHT;

typedef struct {
  int analog;
  int digital;
} BACKLIGHT_LEVELS;

// The name of the backlight setting, shown in the light and power menu.
extern const ARRAY_OF_STRING_PTRS Backlight_Text;

void H_BACKLIGHT_vSetup(MBOX mailbox);
void H_BACKLIGHT_vChangeIntensity(DISPLAY_BACKLIGHT intensityIndex);
BOOLEAN H_BACKLIGHT_bChange(S32 s32Amount);
void H_BACKLIGHT_vSave(void);
void H_BACKLIGHT_vRestore(void);
void H_BACKLIGHT_vProcessRevisionBits(U32 RevisionBits);

// The brightness file of this build (the board's sysfs file, or the simulator's under its device root).
const char *BACKLIGHT_pcBrightnessPath(void);
// Tests: back to the standard panel with nothing saved.
void H_BACKLIGHT_vResetForTest(void);
