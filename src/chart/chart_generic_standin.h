// Stand-in until the chart display is built: the point-of-sale chart mode flag the demonstration sets.
#pragma once
#include "corvan/types.h"

// Writes 'IPCG' = bPOSMode while the unit is in its point-of-sale state, FALSE otherwise.
void U_CHART_GENERIC_vSetPOSMode(BOOLEAN bPOSMode);
