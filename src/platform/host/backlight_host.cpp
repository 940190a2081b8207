// The simulator's backlight: the same brightness file as the board's sysfs one, under the device root, so tests
// and people read what the unit wrote.
#include <string>

#include "platform/host/devroot.h"

const char *BACKLIGHT_HOST_pcBrightnessPath(void) {
  // Built on every call: tests point CORVAN_DEVROOT at their own folder.
  thread_local std::string t_sPath;
  t_sPath = HOST_DEVROOT_sDir("sys/devices/platform/omapdss/generic-bl/backlight/omap3evm-bklight") + "/brightness";
  return t_sPath.c_str();
}
