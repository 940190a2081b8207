// Which brightness file this build writes: the board's sysfs file, or the simulator's copy under its device root.
#include "platform/backlight.h"

#if defined(__arm__) || defined(__aarch64__)
const char *BACKLIGHT_pcBrightnessPath(void) {
  return "/sys/devices/platform/omapdss/generic-bl/backlight/omap3evm-bklight/brightness";
}
#else
const char *BACKLIGHT_HOST_pcBrightnessPath(void);
const char *BACKLIGHT_pcBrightnessPath(void) { return BACKLIGHT_HOST_pcBrightnessPath(); }
#endif
