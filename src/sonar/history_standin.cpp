// Stand-in for the sonar history task's cursor view test, until that task is written.
#include "sonar/history_standin.h"

#include "settings/database.h"

BOOLEAN T_N_HISTORY_bIsMyCursorView(LAYER_ID eView, SPLIT_WINDOW_TYPE eSplit) {
  S32 s32View = eView, s32Side = eSplit;
  if (eView == UNKNOWN_VIEW) H_DATABASE_bFetchS32(FCID("CVEW"), &s32View, nullptr, nullptr);
  if (eSplit == UNKNOWN_SPLIT) H_DATABASE_bFetchS32(FCID("CVAS"), &s32Side, nullptr, nullptr);
  if (s32View >= SONAR_2D_PLUS_ZF_VIEW_PRIORITY && s32View <= SONAR_DUAL_BEAM_VIEW_PRIORITY) return TRUE;
  return (s32View == CHART_PLUS_2D_VIEW_PRIORITY || s32View == SONAR_SIDESCAN_PLUS_2D_PRIORITY ||
          s32View == SONAR_3D_PLUS_2D_VIEW_PRIORITY) &&
         s32Side == SPLIT_LEFT_WINDOW;
}

namespace {
BOOLEAN s_bShortTransmit = FALSE;
}

void T_N_HISTORY_vEnableShortTransmit(BOOLEAN bEnable) { s_bShortTransmit = bEnable; }
BOOLEAN T_N_HISTORY_bShortTransmitEnabled(void) { return s_bShortTransmit; }
BOOLEAN T_N_HISTORY_bReverseScrollForMode(U32, BOOLEAN bReverseScroll) { return bReverseScroll; }
