// Circles from the doubled-coordinate scheme.
#include "draw/circle.h"

#include <algorithm>

#include "draw/curve.h"
#include "draw/line.h"
#include "draw/pixel.h"

namespace {

template <typename PUT> void vEightPoints(const POINT *pCenter, S32 a, S32 b, PUT &&put)
{
    const PIXEL cx = pCenter->x, cy = pCenter->y;
    put(cx + a, cy + b);
    put(cx + a, cy - b);
    put(cx - a, cy - b);
    put(cx - a, cy + b);
    put(cx + b, cy + a);
    put(cx + b, cy - a);
    put(cx - b, cy - a);
    put(cx - b, cy + a);
}

} // namespace

void G_CIRCLE_vDrawWithNoBound(BITMAP *pDest, COLOR color, const POINT *pCenter, U32 u32Diameter)
{
    G_CURVE_vRun(CURVE_SCHEME::CIRCLE, (S32)u32Diameter, [&](S32 a, S32 b) {
        vEightPoints(pCenter, a, b, [&](PIXEL x, PIXEL y) { G_PIXEL_vPut(pDest, x, y, color); });
    });
}

void G_CIRCLE_vDraw(BITMAP *pDest, COLOR color, const POINT *pCenter, U32 u32Diameter)
{
    const PIXEL nRight = pDest->pixels_wide - 1;
    const PIXEL nTop = pDest->pixels_high - 1;
    G_CURVE_vRun(CURVE_SCHEME::CIRCLE, (S32)u32Diameter, [&](S32 a, S32 b) {
        vEightPoints(pCenter, a, b, [&](PIXEL x, PIXEL y) {
            G_PIXEL_vPut(pDest, std::clamp(x, 0, std::max(nRight, 0)), std::clamp(y, 0, std::max(nTop, 0)), color);
        });
    });
}

void G_CIRCLE_vDrawFilled(BITMAP *pDest, COLOR color, const POINT *pCenter, U32 u32Diameter)
{
    if ((S32)u32Diameter < 0) {
        return;
    }
    const PIXEL cx = pCenter->x, cy = pCenter->y;
    G_CURVE_vRun(CURVE_SCHEME::CIRCLE, (S32)u32Diameter, [&](S32 a, S32 b) {
        const POINT aLines[4][2] = {
            {{cx - a, cy + b}, {cx + a, cy + b}},
            {{cx - b, cy + a}, {cx + b, cy + a}},
            {{cx - a, cy - b}, {cx + a, cy - b}},
            {{cx - b, cy - a}, {cx + b, cy - a}},
        };
        for (const auto &line : aLines) {
            G_LINE_vDraw(pDest, color, &line[0], &line[1]);
        }
    });
}
