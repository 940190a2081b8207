// Arcs: the circle scheme, with each octant's points kept or dropped by the arc's start and end points.
#include "draw/arc.h"

#include <cmath>

#include "draw/curve.h"
#include "draw/pixel.h"

namespace {

constexpr double DEGREES_TO_RADIANS = 0.017453;

// Below 360 by repeated subtraction; angles so large that subtracting would change nothing are
// reduced exactly instead.
float fReduce(float fAngle)
{
    if (fAngle >= 1.0e6f) {
        fAngle = std::fmod(fAngle, 360.0f);
    }
    while (fAngle >= 360) {
        fAngle -= 360;
    }
    return fAngle;
}

S32 s32Octant(float fAngle)
{
    return ((S32)fAngle / 45) % 8;
}

// Whether (x, y) of octant k lies at or beyond the start point (bStart) or at or before the end point,
// in the direction the arc runs through that octant.
bool bPasses(S32 k, PIXEL x, PIXEL y, const POINT &limit, bool bStart)
{
    switch (k) {
    case 0:
    case 7: // y grows
        return bStart ? y >= limit.y : y <= limit.y;
    case 3:
    case 4: // y falls
        return bStart ? y <= limit.y : y >= limit.y;
    case 1:
    case 2: // x falls
        return bStart ? x <= limit.x : x >= limit.x;
    default: // 5, 6: x grows
        return bStart ? x >= limit.x : x <= limit.x;
    }
}

} // namespace

void G_ARC_vDraw(BITMAP *pDest, COLOR color, const POINT *pCenter, U32 u32Radius, float fStartAngle,
                 float fEndAngle)
{
    // The negated tests also turn away NaN; infinity would never come below 360.
    if (!(fStartAngle >= 0) || !(fEndAngle >= 0) || std::isinf(fStartAngle) || std::isinf(fEndAngle) ||
        u32Radius == 0 || (S32)(2 * u32Radius) < 0) {
        return;
    }
    fStartAngle = fReduce(fStartAngle);
    fEndAngle = fReduce(fEndAngle);
    const S32 s32StartOctant = s32Octant(fStartAngle);
    const S32 s32EndOctant = s32Octant(fEndAngle);
    ARC_CONDITIONS aeOctant[8] = {NO_PART, NO_PART, NO_PART, NO_PART, NO_PART, NO_PART, NO_PART, NO_PART};
    if (s32StartOctant == s32EndOctant) {
        if (fStartAngle <= fEndAngle) {
            aeOctant[s32StartOctant] = ALL_HERE;
        } else {
            for (ARC_CONDITIONS &e : aeOctant) {
                e = ENTIRELY_FILLED;
            }
            aeOctant[s32StartOctant] = STARTS_ENDS_HERE;
        }
    } else {
        aeOctant[s32StartOctant] = STARTS_HERE;
        aeOctant[s32EndOctant] = ENDS_HERE;
        for (S32 k = (s32StartOctant + 1) % 8; k != s32EndOctant; k = (k + 1) % 8) {
            aeOctant[k] = ENTIRELY_FILLED;
        }
    }
    const PIXEL cx = pCenter->x, cy = pCenter->y;
    const double dR = (double)u32Radius;
    const POINT start{(PIXEL)(cx + dR * std::cos(fStartAngle * DEGREES_TO_RADIANS)),
                      (PIXEL)(cy + dR * std::sin(fStartAngle * DEGREES_TO_RADIANS))};
    const POINT end{(PIXEL)(cx + dR * std::cos(fEndAngle * DEGREES_TO_RADIANS)),
                    (PIXEL)(cy + dR * std::sin(fEndAngle * DEGREES_TO_RADIANS))};

    G_CURVE_vRun(CURVE_SCHEME::ARC, (S32)(2 * u32Radius), [&](S32 a, S32 b) {
        const POINT aPoint[8] = {{cx + b, cy + a}, {cx + a, cy + b}, {cx - a, cy + b}, {cx - b, cy + a},
                                 {cx - b, cy - a}, {cx - a, cy - b}, {cx + a, cy - b}, {cx + b, cy - a}};
        for (S32 k = 0; k < 8; k++) {
            const PIXEL x = aPoint[k].x, y = aPoint[k].y;
            bool bPlot = false;
            switch (aeOctant[k]) {
            case NO_PART:
                break;
            case ENTIRELY_FILLED:
                bPlot = true;
                break;
            case STARTS_HERE:
                bPlot = bPasses(k, x, y, start, true);
                break;
            case ENDS_HERE:
                bPlot = bPasses(k, x, y, end, false);
                break;
            case ALL_HERE:
                bPlot = bPasses(k, x, y, start, true) && bPasses(k, x, y, end, false);
                break;
            case STARTS_ENDS_HERE:
                bPlot = bPasses(k, x, y, start, true) || bPasses(k, x, y, end, false);
                break;
            }
            if (bPlot) {
                G_PIXEL_vPut(pDest, x, y, color);
            }
        }
    });
}
