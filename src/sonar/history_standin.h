// Stand-in declaration of the sonar history task's view test, until that task is written.
#pragma once
#include "view/view.h"

// The sonar cursor applies: views 48 to 51 on any side, 35, 52 and 60 on the left side; -3 for the current ones.
BOOLEAN T_N_HISTORY_bIsMyCursorView(LAYER_ID eView, SPLIT_WINDOW_TYPE eSplit);
// The short-transmit pulse of the down-looking ping: on or off.
void T_N_HISTORY_vEnableShortTransmit(BOOLEAN bEnable);
BOOLEAN T_N_HISTORY_bShortTransmitEnabled(void);
// Whether the history scrolls backwards in a playback mode; keeps the current direction for now.
BOOLEAN T_N_HISTORY_bReverseScrollForMode(U32 u32PlaybackMode, BOOLEAN bReverseScroll);
