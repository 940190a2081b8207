// Stand-in declarations of the radar's transmission switches until the radar task is written; the real header
// replaces this one.
#pragma once
#include "corvan/types.h"

// Start or stop the scanner's transmission ('CRXM'); timed transmission on ('CRXT').
void T_RADAR_vToggleStartTransmission(void);
void T_RADAR_vToggleStopTransmission(void);
void T_RADAR_vToggleTimedTransmission(void);
