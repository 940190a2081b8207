// Boxes, plain and with round corners, opaque and blended.
#include "draw/box.h"

#include <algorithm>
#include <vector>

#include "draw/curve.h"
#include "draw/line.h"
#include "draw/pixel.h"

namespace {

struct BOX {
    PIXEL x0, y0, right, top;
};

BOX boxOf(const POINT *pAnchor, U32 u32Width, U32 u32Height)
{
    return BOX{pAnchor->x, pAnchor->y, pAnchor->x + (PIXEL)u32Width - 1, pAnchor->y + (PIXEL)u32Height - 1};
}

void vHLine(BITMAP *pDest, COLOR color, PIXEL xa, PIXEL xb, PIXEL y)
{
    const POINT a{xa, y}, b{xb, y};
    G_LINE_vDraw(pDest, color, &a, &b);
}

void vHLineAlpha(BITMAP *pDest, COLOR color, PIXEL xa, PIXEL xb, PIXEL y, U8 u8Alpha)
{
    const POINT a{xa, y}, b{xb, y};
    G_LINE_vDrawAlpha(pDest, color, &a, &b, u8Alpha);
}

// Four edges, in the order left, right, bottom, top.
template <typename LINE> void vSquareOutline(const BOX &box, LINE &&line)
{
    line(POINT{box.x0, box.y0}, POINT{box.x0, box.top});
    line(POINT{box.right, box.y0}, POINT{box.right, box.top});
    line(POINT{box.x0, box.y0}, POINT{box.right, box.y0});
    line(POINT{box.x0, box.top}, POINT{box.right, box.top});
}

// Straight edges and corner pixels of a rounded outline.
template <typename LINE, typename PUT> void vRoundedOutline(const BOX &b, PIXEL R, LINE &&line, PUT &&put)
{
    line(POINT{b.right - R, b.y0}, POINT{b.x0 + R, b.y0});
    line(POINT{b.right - R, b.top}, POINT{b.x0 + R, b.top});
    line(POINT{b.right, b.top - R}, POINT{b.right, b.y0 + R});
    line(POINT{b.x0, b.top - R}, POINT{b.x0, b.y0 + R});
    const PIXEL xl = b.x0 + R, xr = b.right - R, yb = b.y0 + R, yt = b.top - R;
    G_CURVE_vRun(CURVE_SCHEME::ROUNDED_OUTLINE, (S32)(2 * R), [&](S32 a, S32 bb) {
        put(xl - bb, yt + a);
        put(xl - bb, yb - a);
        put(xl - a, yt + bb);
        put(xl - a, yb - bb);
        put(xr + bb, yt + a);
        put(xr + bb, yb - a);
        put(xr + a, yt + bb);
        put(xr + a, yb - bb);
    });
}

} // namespace

void G_BOX_vDraw(BITMAP *pDest, COLOR color, const POINT *pAnchor, U32 u32Width, U32 u32Height)
{
    vSquareOutline(boxOf(pAnchor, u32Width, u32Height),
                   [&](POINT a, POINT b) { G_LINE_vDraw(pDest, color, &a, &b); });
}

void G_BOX_vDrawAlpha(BITMAP *pDest, COLOR color, const POINT *pAnchor, U32 u32Width, U32 u32Height, U8 u8Alpha)
{
    vSquareOutline(boxOf(pAnchor, u32Width, u32Height),
                   [&](POINT a, POINT b) { G_LINE_vDrawAlpha(pDest, color, &a, &b, u8Alpha); });
}

// One horizontal line per row, clipped once for all of them.
void G_BOX_vDrawFilled(BITMAP *pDest, COLOR color, const POINT *pAnchor, U32 u32Width, U32 u32Height)
{
    if (u32Width == 0 || u32Height == 0) {
        return;
    }
    const BOX b = boxOf(pAnchor, u32Width, u32Height);
    G_LINE_vDrawRows(pDest, color, b.x0, b.right, b.y0, (S64)b.y0 + u32Height - 1);
}

void G_BOX_vDrawFilledAlpha(BITMAP *pDest, COLOR color, const POINT *pAnchor, U32 u32Width, U32 u32Height,
                            U8 u8Alpha)
{
    if (u32Width == 0 || u32Height == 0) {
        return;
    }
    const BOX b = boxOf(pAnchor, u32Width, u32Height);
    G_LINE_vDrawRowsAlpha(pDest, color, b.x0, b.right, b.y0, (S64)b.y0 + u32Height - 1, u8Alpha);
}

void G_BOX_vDrawRounded(BITMAP *pDest, COLOR color, const POINT *pAnchor, U32 u32Width, U32 u32Height,
                        U32 u32Radius)
{
    vRoundedOutline(
        boxOf(pAnchor, u32Width, u32Height), (PIXEL)u32Radius,
        [&](POINT a, POINT b) { G_LINE_vDraw(pDest, color, &a, &b); },
        [&](PIXEL x, PIXEL y) { G_PIXEL_vPut(pDest, x, y, color); });
}

void G_BOX_vDrawRoundedAlpha(BITMAP *pDest, COLOR color, const POINT *pAnchor, U32 u32Width, U32 u32Height,
                             U32 u32Radius, U8 u8Alpha)
{
    vRoundedOutline(
        boxOf(pAnchor, u32Width, u32Height), (PIXEL)u32Radius,
        [&](POINT a, POINT b) { G_LINE_vDrawAlpha(pDest, color, &a, &b, u8Alpha); },
        [&](PIXEL x, PIXEL y) { G_PIXEL_vPutAlpha(pDest, x, y, color, u8Alpha); });
}

void G_BOX_vDrawRoundedFilled(BITMAP *pDest, COLOR color, const POINT *pAnchor, U32 u32Width, U32 u32Height,
                              U32 u32Radius)
{
    const BOX b = boxOf(pAnchor, u32Width, u32Height);
    const PIXEL R = (PIXEL)u32Radius;
    const PIXEL xl = b.x0 + R, xr = b.right - R, yb = b.y0 + R, yt = b.top - R;
    G_LINE_vDrawRows(pDest, color, b.x0, b.right, yb, yt);
    G_CURVE_vRun(CURVE_SCHEME::ROUNDED_FILLED, (S32)(2 * R), [&](S32 a, S32 bb) {
        vHLine(pDest, color, xl - a, xr + a, yt + bb);
        vHLine(pDest, color, xl - bb, xr + bb, yt + a);
        vHLine(pDest, color, xl - a, xr + a, yb - bb);
        vHLine(pDest, color, xl - bb, xr + bb, yb - a);
    });
}

// The corner rows of the opaque shape are collected first (the widest span per row offset), so that
// each pixel is blended once even where corner lines overlap or the top and bottom corners meet.
void G_BOX_vDrawRoundedFilledAlpha(BITMAP *pDest, COLOR color, const POINT *pAnchor, U32 u32Width, U32 u32Height,
                                   U32 u32Radius, U8 u8Alpha)
{
    const BOX b = boxOf(pAnchor, u32Width, u32Height);
    const PIXEL R = (PIXEL)u32Radius;
    if (R < 0) {
        return;
    }
    const PIXEL xl = b.x0 + R, xr = b.right - R, yb = b.y0 + R, yt = b.top - R;
    std::vector<S32> aHalf((size_t)R + 1, -1); // widest reach beyond the straight part, per row offset
    G_CURVE_vRun(CURVE_SCHEME::ROUNDED_FILLED, (S32)(2 * R), [&](S32 a, S32 bb) {
        if (bb >= 0 && bb <= R) {
            aHalf[(size_t)bb] = std::max(aHalf[(size_t)bb], a);
        }
        if (a >= 0 && a <= R) {
            aHalf[(size_t)a] = std::max(aHalf[(size_t)a], bb);
        }
    });
    const PIXEL nLow = std::min(b.y0, yt);
    const PIXEL nHigh = std::max(b.top, yb);
    for (PIXEL y = nLow; y <= nHigh; y++) {
        S32 s32Reach = -1;
        bool bFull = y >= yb && y <= yt;
        if (y >= yt && y - yt <= R) {
            s32Reach = std::max(s32Reach, aHalf[(size_t)(y - yt)]);
        }
        if (y <= yb && yb - y <= R) {
            s32Reach = std::max(s32Reach, aHalf[(size_t)(yb - y)]);
        }
        if (bFull) {
            // The straight part spans x0..right; a corner span can only reach wider when R exceeds the sides.
            vHLineAlpha(pDest, color, std::min(b.x0, xl - s32Reach), std::max(b.right, xr + s32Reach), y, u8Alpha);
        } else if (s32Reach >= 0) {
            vHLineAlpha(pDest, color, xl - s32Reach, xr + s32Reach, y, u8Alpha);
        }
    }
}
