// Readout layers over the sonar, chart, radar and weather pictures: the readout column at the left edge, the
// cursor bar, the waypoint indicator bar, the man-overboard bar and the autopilot icon; and the width queries
// that keep other labels clear of the column.
#pragma once
#include "draw/bitmap.h"
#include "view/view.h"
#include "settings/database.h"
#include "ui/info/info.h"

constexpr S32 READOUT_COLUMN_WIDTH = 160;

void T_INFO_vDrawInfoLayer_Instrumentation_SonarView(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER psWindowSpec);
void T_INFO_vDrawInfoLayer_Instrumentation_TrackChartView(BITMAP *pBitmap,
                                                          WINDOW_SPECIFICATION_POINTER psWindowSpec);
void T_INFO_vDrawInfoLayer_Instrumentation_Common(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER psWindowSpec,
                                                  const FOURCHARID *fcidSelection, S32 number_of_infoboxes);
// One slot of the column; TRUE when something was drawn.
BOOLEAN T_INFO_bDrawVariableInfoBox(BITMAP *pBitmap, POINT *ppt, FOURCHARID fcid, U32 nLang, U32 u32BoxWidth,
                                    U32 u32BoxHeight, INFO_JUSTIFICATION eJustify);
void T_INFO_vDrawInfoLayer_Instrumentation_Bare(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER psWindowSpec);
// The cursor bar; pt.x is the column's left edge (0, or -160 without a column).
void T_INFO_vDrawInfoLayer_ActiveCursor(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER psWindowSpec, POINT pt);
void T_INFO_vDrawRadarCursor(BITMAP *pBitmap, U32 nLang, BOOLEAN bWaypointCursorEnabled);
void T_INFO_vDrawInfoLayer_WaypointIndicatorBar(BITMAP *pBitmap, POINT *ppt);
void T_INFO_vDrawInfoLayer_MOBBar(BITMAP *pBitmap, POINT *ppt);
// 160 when the view's column reaches into rows nMinY..nMaxY, else 0.
S32 T_INFO_nBoxWidth_SonarView(S32 nMinY, S32 nMaxY);
S32 T_INFO_nBoxWidth_TrackChartView(S32 nMinY, S32 nMaxY);
S32 T_INFO_nBoxWidth_Common(S32 nMinY, S32 nMaxY, const FOURCHARID *fcidSelection);
void T_INFO_vDrawInfoLayer_Debug(BITMAP *pBitmap, INFO_JUSTIFICATION eJustify, U32 nLang);
