// Stand-in declarations of the radar services the readouts use, until the radar task is written; the real
// header replaces this one.
#pragma once
#include "draw/bitmap.h"
#include "view/view.h"

// -3 stands for the current view ('CVEW') and side ('CVAS').
BOOLEAN T_RADAR_bIsMyRadarView(LAYER_ID eView, SPLIT_WINDOW_TYPE eSplit);
BOOLEAN T_RADAR_bIsMyRadarSplitView(LAYER_ID eView, SPLIT_WINDOW_TYPE eSplit);
BOOLEAN T_RADAR_bIsMyRadarInfoView(LAYER_ID eView);
void T_RADAR_vSetReadoutBoxDrawing(void);
// The height of the left stack of the radar's readout boxes.
U32 T_RADAR_vDrawReadoutInfoBox(BITMAP *pBitmap, S32 s32XPos, S32 s32YPos);
S32 T_RADAR_s32CalculateSplitPosition(S32 s32ViewWidth, S32 s32PositionPercent);
