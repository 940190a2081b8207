// Stand-ins of the side-looking ping, the side-frequency menu and the sonar simulator's synthesised returns,
// until those modules are written.
#pragma once
#include "sonar/ping_descriptor.h"

// A null ping for now.
void vPerformSideScanPing(void);
void vMenuSideScanFrequency(BOOLEAN bEnable);
// Fills nothing and returns 0 (no simulator files).
float S_SYNTHSIM_fSynthesizeReturn(PING_DESCRIPTOR *pPing);
