// Stand-in for the sonar history task's cursor view test, until that task is written.
#include "sonar/history_standin.h"

#include "kernel/database.h"

BOOLEAN T_N_HISTORY_bIsMyCursorView(LAYER_ID eView, SPLIT_WINDOW_TYPE eSplit) {
  S32 s32View = eView, s32Side = eSplit;
  if (eView == -3) H_DATABASE_bFetchS32(FCID("CVEW"), &s32View, nullptr, nullptr);
  if (eSplit == -3) H_DATABASE_bFetchS32(FCID("CVAS"), &s32Side, nullptr, nullptr);
  if (s32View >= 48 && s32View <= 51) return TRUE;
  return (s32View == 35 || s32View == 52 || s32View == 60) && s32Side == SPLIT_LEFT_WINDOW;
}
