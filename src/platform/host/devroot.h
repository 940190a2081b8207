// Where the simulator's devices live: the watched stand-in for /dev, the fake sysfs tree, the card slots and
// the links to the serial channels.
#pragma once
#include <string>

// $CORVAN_DEVROOT, or "devroot" in the data directory. Read once.
const char *HOST_DEVROOT_pcRoot(void);
// The root joined with pcSub ("dev", "sys/class/mmc_host", ...), created with its parents when missing.
std::string HOST_DEVROOT_sDir(const char *pcSub);
