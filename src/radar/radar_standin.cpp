// Stand-in for the radar services the readouts call, until the radar task is written: the view tests answer from
// the current view and side; there are no radar readout boxes.
#include "radar/radar_standin.h"

#include "kernel/database.h"

namespace {

constexpr S32 kRadarView = 65;
constexpr S32 kRadarPlusChartView = 66;

S32 fetch(const char (&acKey)[5]) {
  S32 s32 = 0;
  H_DATABASE_bFetchS32(FCID(acKey), &s32, nullptr, nullptr);
  return s32;
}

S32 view(LAYER_ID eView) { return eView == -3 ? fetch("CVEW") : eView; }
S32 side(SPLIT_WINDOW_TYPE eSplit) { return eSplit == -3 ? fetch("CVAS") : eSplit; }

}  // namespace

BOOLEAN T_RADAR_bIsMyRadarView(LAYER_ID eView, SPLIT_WINDOW_TYPE eSplit) {
  const S32 v = view(eView);
  return v == kRadarView || (v == kRadarPlusChartView && side(eSplit) == SPLIT_RIGHT_WINDOW);
}

BOOLEAN T_RADAR_bIsMyRadarSplitView(LAYER_ID eView, SPLIT_WINDOW_TYPE eSplit) {
  return view(eView) == kRadarPlusChartView && side(eSplit) == SPLIT_RIGHT_WINDOW;
}

BOOLEAN T_RADAR_bIsMyRadarInfoView(LAYER_ID eView) {
  const S32 v = view(eView);
  return v == kRadarView || (v == kRadarPlusChartView && fetch("CVAS") == SPLIT_RIGHT_WINDOW);
}

void T_RADAR_vSetReadoutBoxDrawing(void) {}

U32 T_RADAR_vDrawReadoutInfoBox(BITMAP *, S32, S32) { return 0; }

S32 T_RADAR_s32CalculateSplitPosition(S32 s32ViewWidth, S32 s32PositionPercent) {
  return s32PositionPercent * (s32ViewWidth - 160) / 100 + 160;
}
