// Stand-in until the 3-D chart is built: the graphics plane straight from the frame-buffer surface.
#include "chart/chart3d_standin.h"

#include <cstring>

#include "platform/fb.h"

void T_CHART_3D_vDumpActiveDisplayBuffer(U32 *pu32Buffer)
{
    const COLOR *pcolPlane = FB_pGetSurfaceOps()->pcolMapGraphicsPlane();
    if (pcolPlane != nullptr) {
        std::memcpy(pu32Buffer, pcolPlane, LCD_SCREEN_BYTES);
    }
}

// Without a 3-D chart nothing renders into the plane: there is nothing to stop.
void T_CHART_3D_vToggleDisplayUpdateFreeze(BOOLEAN) {}
