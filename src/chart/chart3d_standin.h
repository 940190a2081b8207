// Stand-in until the 3-D chart is built: what the screen dump needs of it.
#pragma once
#include "corvan/types.h"

// Fills the buffer with the graphics plane (800 × 480 RGB565) when the plane can be read.
void T_CHART_3D_vDumpActiveDisplayBuffer(U32 *pu32Buffer);
// Stops (TRUE) or resumes the 3-D chart's updates while the display is frozen for a snapshot.
void T_CHART_3D_vToggleDisplayUpdateFreeze(BOOLEAN bFreeze);
