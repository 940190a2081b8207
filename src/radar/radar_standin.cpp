// Stand-in for the radar services the readouts call, until the radar task is written: the view tests answer from
// the current view and side; there are no radar readout boxes.
#include "radar/radar_standin.h"

#include "settings/database.h"

namespace {

S32 fetch(const char (&acKey)[5]) {
  S32 s32 = 0;
  H_DATABASE_bFetchS32(FCID(acKey), &s32, nullptr, nullptr);
  return s32;
}

S32 view(LAYER_ID eView) { return eView == UNKNOWN_VIEW ? fetch("CVEW") : eView; }
S32 side(SPLIT_WINDOW_TYPE eSplit) { return eSplit == UNKNOWN_SPLIT ? fetch("CVAS") : eSplit; }

}  // namespace

BOOLEAN T_RADAR_bIsMyRadarView(LAYER_ID eView, SPLIT_WINDOW_TYPE eSplit) {
  const S32 v = view(eView);
  return v == RADAR_VIEW_PRIORITY || (v == RADAR_PLUS_CHART_VIEW_PRIORITY && side(eSplit) == SPLIT_RIGHT_WINDOW);
}

BOOLEAN T_RADAR_bIsMyRadarSplitView(LAYER_ID eView, SPLIT_WINDOW_TYPE eSplit) {
  return view(eView) == RADAR_PLUS_CHART_VIEW_PRIORITY && side(eSplit) == SPLIT_RIGHT_WINDOW;
}

BOOLEAN T_RADAR_bIsMyRadarInfoView(LAYER_ID eView) {
  const S32 v = view(eView);
  return v == RADAR_VIEW_PRIORITY || (v == RADAR_PLUS_CHART_VIEW_PRIORITY && fetch("CVAS") == SPLIT_RIGHT_WINDOW);
}

void T_RADAR_vSetReadoutBoxDrawing(void) {}

U32 T_RADAR_vDrawReadoutInfoBox(BITMAP *, S32, S32) { return 0; }

S32 T_RADAR_s32CalculateSplitPosition(S32 s32ViewWidth, S32 s32PositionPercent) {
  return s32PositionPercent * (s32ViewWidth - 160) / 100 + 160;
}
