// Composite readout boxes (position, time and date, time, two stacked navigation values), the autopilot's
// active-target text and the readout layer of the big-digits views.
#pragma once
#include "draw/bitmap.h"
#include "view/view.h"
#include "settings/database.h"

typedef enum { VIBD_DOWN = 0, VIBD_RIGHT = 1 } VIB_DIRECTION;

// What a "B" readout item of type D_POINTER holds; every composite box is 156 x 94.
typedef void INFOBOX_RENDER_FUNCTION(BITMAP *pBitmap, POINT *ppt, VIB_DIRECTION eDirection, U32 nLang);

INFOBOX_RENDER_FUNCTION IBRF_vRenderPositionInfoBox;
INFOBOX_RENDER_FUNCTION IBRF_vRenderTimeDateInfoBox;
INFOBOX_RENDER_FUNCTION IBRF_vRenderTimeOnlyInfoBox;
INFOBOX_RENDER_FUNCTION IBRF_vRenderTimeToGoOverSpeedInfoBox;
INFOBOX_RENDER_FUNCTION IBRF_vRenderCrossTrackOverErrorDistanceToGoInfoBox;

void vRenderDualInfoBox2(BITMAP *pBitmap, POINT *ppt, U32 nLang, FOURCHARID fcidUpper, FOURCHARID fcidLower);
// pacStr holds at least 12 bytes; pu8WayPtIcon may be NULL.
void T_NAV_INFOBOX_vGetVantrelActiveStr(char *pacStr, U8 *pu8WayPtIcon, BOOLEAN bFinal);
void T_NAV_INFOBOX_vDrawInfoLayerDown(BITMAP *pBitmap, POINT *pt, const FOURCHARID *fcidSelection);
void T_NAV_INFOBOX_vDrawInfoLayer_Instrumentation_BigDigitsViews(BITMAP *pBitmap,
                                                                 WINDOW_SPECIFICATION_POINTER psWindowSpec);
