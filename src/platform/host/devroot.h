// Where the simulator's devices live: the watched stand-in for /dev, the fake sysfs tree, the card slots, the
// links to the serial channels and the display's sysfs files.
#pragma once
#include <string>

// $CORVAN_DEVROOT, or "devroot" in the data directory. Built on every call: tests point it at their own folder.
std::string HOST_DEVROOT_sRoot(void);
// The root joined with pcSub ("dev", "sys/class/mmc_host", ...), created with its parents when missing.
std::string HOST_DEVROOT_sDir(const char *pcSub);
