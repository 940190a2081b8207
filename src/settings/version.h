// Software version, build date, processor speed and hardware revision; detection of a new software version.
#pragma once
#include "corvan/types.h"

constexpr U32 VERSION_MAJOR = 7;
constexpr U32 VERSION_MINOR = 660;
constexpr U32 VERSION_NUMBER = VERSION_MAJOR * 1000 + VERSION_MINOR;  // stored under 'SFVR'

typedef struct {
  BYTE version[20];  // "7.660"
  BYTE date[20];     // build date
  BYTE speed[10];    // "550Mhz"
  BYTE rev[10];      // 'CREV', "---" when never written
} VERSION_INFO;

// The record, rebuilt at every call (the same static record each time).
const VERSION_INFO *VERSION_pversion_infoGetCurrentVersion(void);
// TRUE when 'SFVR' is missing or differs from this version (and then writes it); sets both flags.
BOOLEAN VERSION_bDetectVersionChange(void);
BOOLEAN VERSION_bIsVersionChanged(void);
BOOLEAN VERSION_bIsUpgradingToGroupedWaypointManagement(void);
