// Lines. Horizontal and vertical spans are clipped once and written straight into the buffer, horizontal ones
// (and the rows of filled shapes) through the run fill; everything else goes through the clipped pixel write.
#include "draw/line.h"

#include <algorithm>

#include "draw/pixel.h"

namespace {

// Clamps the span [n0, n1] (any order) into [nLow, nHigh]; false when it lies wholly outside.
bool bClampSpan(PIXEL &n0, PIXEL &n1, PIXEL nLow, PIXEL nHigh)
{
    if ((n0 < nLow && n1 < nLow) || (n0 > nHigh && n1 > nHigh)) {
        return false;
    }
    n0 = std::clamp(n0, nLow, nHigh);
    n1 = std::clamp(n1, nLow, nHigh);
    return true;
}

// The clipped part of a vertical line as a column in memory; false when nothing shows.
struct COLUMN {
    COLOR *pcolFirst;
    size_t szStride;
    U32 u32Count;
};

bool bClipColumn(const BITMAP *pDest, PIXEL x, PIXEL ya, PIXEL yb, COLUMN *pColumn)
{
    if (x < pDest->s32ClipLeft || x > pDest->s32ClipRight || !bClampSpan(ya, yb, pDest->s32ClipBottom,
                                                                          pDest->s32ClipTop)) {
        return false;
    }
    // The higher y is the lower memory row.
    pColumn->pcolFirst = &G_BITMAP_pcolPixels(pDest)[G_BITMAP_szIndex(pDest, x, std::max(ya, yb))];
    pColumn->szStride = pDest->__u32PixelWidthOfBuffer;
    pColumn->u32Count = (U32)((ya > yb ? ya - yb : yb - ya) + 1);
    return true;
}

// The rows yLow..yHigh of the span xa..xb (either order), clipped once, handed to run() as runs in memory.
// Full-width rows lie back to back and go as one run.
template <typename RUN> void vClipRows(const BITMAP *pDest, PIXEL xa, PIXEL xb, S64 yLow, S64 yHigh, RUN &&run)
{
    yLow = std::max<S64>(yLow, pDest->s32ClipBottom);
    yHigh = std::min<S64>(yHigh, pDest->s32ClipTop);
    if (yLow > yHigh || !bClampSpan(xa, xb, pDest->s32ClipLeft, pDest->s32ClipRight)) {
        return;
    }
    const size_t szWidth = (size_t)(xa > xb ? xa - xb : xb - xa) + 1;
    const size_t szStride = pDest->__u32PixelWidthOfBuffer;
    const size_t szRows = (size_t)(yHigh - yLow) + 1;
    COLOR *pcolFirst = &G_BITMAP_pcolPixels(pDest)[G_BITMAP_szIndex(pDest, std::min(xa, xb), (PIXEL)yHigh)];
    if (szWidth == szStride) {
        run(pcolFirst, szWidth * szRows);
        return;
    }
    for (size_t r = 0; r < szRows; r++) {
        run(pcolFirst + r * szStride, szWidth);
    }
}

inline void vPlot(BITMAP *pDest, COLOR color, PIXEL x, PIXEL y, bool bReverse)
{
    if (bReverse) {
        G_PIXEL_vPut(pDest, y, x, color);
    } else {
        G_PIXEL_vPut(pDest, x, y, color);
    }
}

} // namespace

void G_LINE_vDrawRows(BITMAP *pDest, COLOR color, PIXEL xa, PIXEL xb, S64 yLow, S64 yHigh)
{
    vClipRows(pDest, xa, xb, yLow, yHigh,
              [color](COLOR *pcol, size_t szCount) { G_PIXEL_vFillRun(pcol, szCount, color); });
}

void G_LINE_vDrawRowsAlpha(BITMAP *pDest, COLOR color, PIXEL xa, PIXEL xb, S64 yLow, S64 yHigh, U8 u8Alpha)
{
    if (u8Alpha == 0) {
        G_LINE_vDrawRows(pDest, color, xa, xb, yLow, yHigh);
        return;
    }
    vClipRows(pDest, xa, xb, yLow, yHigh, [color, u8Alpha](COLOR *pcol, size_t szCount) {
        G_PIXEL_vBlendRun(pcol, (U32)szCount, color, u8Alpha);
    });
}

void G_LINE_vDraw(BITMAP *pDest, COLOR color, const POINT *pStart, const POINT *pEnd)
{
    if (pStart->x != pEnd->x && pStart->y != pEnd->y) {
        line_Draw(pDest, color, pStart, pEnd);
        return;
    }
    if (pStart->x != pEnd->x) {
        G_LINE_vDrawRows(pDest, color, pStart->x, pEnd->x, pStart->y, pStart->y);
        return;
    }
    COLUMN column;
    if (bClipColumn(pDest, pStart->x, pStart->y, pEnd->y, &column)) {
        for (U32 i = 0; i < column.u32Count; i++) {
            column.pcolFirst[i * column.szStride] = color;
        }
    }
}

void G_LINE_vDrawAlpha(BITMAP *pDest, COLOR color, const POINT *pStart, const POINT *pEnd, U8 u8Alpha)
{
    if (u8Alpha == 0 || (pStart->x != pEnd->x && pStart->y != pEnd->y)) {
        G_LINE_vDraw(pDest, color, pStart, pEnd);
        return;
    }
    if (pStart->x != pEnd->x) {
        G_LINE_vDrawRowsAlpha(pDest, color, pStart->x, pEnd->x, pStart->y, pStart->y, u8Alpha);
        return;
    }
    COLUMN column;
    if (bClipColumn(pDest, pStart->x, pStart->y, pEnd->y, &column)) {
        for (U32 i = 0; i < column.u32Count; i++) {
            COLOR *pcol = &column.pcolFirst[i * column.szStride];
            *pcol = G_PIXEL_colorBlend(color, *pcol, u8Alpha);
        }
    }
}

void G_LINE_vDrawPatterned(BITMAP *pDest, COLOR color, POINT *pStart, POINT *pEnd, PATTERN pattern)
{
    const bool bVertical = pStart->x == pEnd->x;
    if (bVertical) {
        if (pStart->x < pDest->s32ClipLeft_full_screen || pStart->x > pDest->s32ClipRight_full_screen) {
            return;
        }
        const bool bInside = bClampSpan(pStart->y, pEnd->y, pDest->s32ClipBottom_full_screen,
                                        pDest->s32ClipTop_full_screen);
        if (!bInside) {
            // Wholly outside: the ends still come back clamped onto the nearer edge.
            pStart->y = std::clamp(pStart->y, pDest->s32ClipBottom_full_screen, pDest->s32ClipTop_full_screen);
            pEnd->y = std::clamp(pEnd->y, pDest->s32ClipBottom_full_screen, pDest->s32ClipTop_full_screen);
            return;
        }
    } else if (pStart->y == pEnd->y) {
        if (pStart->y < pDest->s32ClipBottom_full_screen || pStart->y > pDest->s32ClipTop_full_screen) {
            return;
        }
        const bool bInside = bClampSpan(pStart->x, pEnd->x, pDest->s32ClipLeft_full_screen,
                                        pDest->s32ClipRight_full_screen);
        if (!bInside) {
            pStart->x = std::clamp(pStart->x, pDest->s32ClipLeft_full_screen, pDest->s32ClipRight_full_screen);
            pEnd->x = std::clamp(pEnd->x, pDest->s32ClipLeft_full_screen, pDest->s32ClipRight_full_screen);
            return;
        }
    } else {
        return;
    }
    const PIXEL nRowBase = pDest->pixels_high_full_screen - 1;
    if (pStart->x == pEnd->x && pStart->y == pEnd->y) {
        G_PIXEL_vPutDirect(pDest, pStart->x, nRowBase - pStart->y, color);
        return;
    }
    const U32 u32Doubled = ((U32)pattern << 16) | pattern;
    U32 u32Mask = 0x80000000u;
    PIXEL x = pStart->x;
    PIXEL y = pStart->y;
    const PIXEL nStepX = bVertical ? 0 : (pEnd->x > pStart->x ? 1 : -1);
    const PIXEL nStepY = bVertical ? (pEnd->y > pStart->y ? 1 : -1) : 0;
    const PIXEL nCount = (bVertical ? std::abs(pEnd->y - pStart->y) : std::abs(pEnd->x - pStart->x)) + 1;
    for (PIXEL i = 0; i < nCount; i++) {
        if (u32Doubled & u32Mask) {
            G_PIXEL_vPutDirect(pDest, x, nRowBase - y, color);
        }
        u32Mask = u32Mask == 1 ? 0x80000000u : u32Mask >> 1;
        x += nStepX;
        y += nStepY;
    }
}

namespace {

// The state of the symmetric double step: (x, y) walks from the start, (x1, y1) back from the far end.
struct DOUBLE_STEP {
    BITMAP *pDest;
    COLOR color;
    bool bReverse;
    S32 step;
    PIXEL x, y, x1, y1;

    void plot(PIXEL px, PIXEL py) const { vPlot(pDest, color, px, py, bReverse); }
    // One step of a pattern: both ends advance by two pixels, y moving by dy0 then dy1.
    void vStep(S32 dy0, S32 dy1)
    {
        plot(x, y += dy0);
        plot(++x, y += dy1);
        plot(x1, y1 -= dy0);
        plot(--x1, y1 -= dy1);
    }
    // The 1 to 3 pixels left at the end, in a pattern: two forward, the third backward.
    void vTail(S32 s32Left, S32 dy0, S32 dy1, S32 dyBack)
    {
        plot(++x, y += dy0);
        if (s32Left > 1) {
            plot(++x, y += dy1);
        }
        if (s32Left > 2) {
            plot(--x1, y1 -= dyBack);
        }
    }
};

} // namespace

// Symmetric double step: two pixels per step from each end towards the middle. Patterns: 1 flat,
// 2 rising on the second pixel, 3 rising on the first, 4 rising on both.
void line_Draw(BITMAP *pDest, COLOR color, const POINT *pStart, const POINT *pEnd)
{
    PIXEL a1 = pStart->x, b1 = pStart->y, a2 = pEnd->x, b2 = pEnd->y;
    const S64 sDiffX = (S64)a2 - a1;
    const S64 sDiffY = (S64)b2 - b1;
    S32 dx = (S32)(sDiffX < 0 ? -sDiffX : sDiffX);
    S32 dy = (S32)(sDiffY < 0 ? -sDiffY : sDiffY);
    DOUBLE_STEP l{pDest, color, false, ((sDiffX < 0) == (sDiffY < 0)) ? 1 : -1, 0, 0, 0, 0};
    if (dy > dx) {
        std::swap(a1, b1);
        std::swap(a2, b2);
        std::swap(dx, dy);
        l.bReverse = true;
    }
    if (a1 > a2) {
        std::swap(a1, a2);
        std::swap(b1, b2);
    }
    l.x = a1;
    l.y = b1;
    l.x1 = a2;
    l.y1 = b2;
    const S32 step = l.step;
    const S32 xend = (dx - 1) / 4;
    const S32 pixels_left = (dx - 1) % 4;
    l.plot(l.x, l.y);
    if (pixels_left < 0) {
        return;
    }
    l.plot(l.x1, l.y1);
    const S32 incr2 = 4 * dy - 2 * dx;
    const bool bShallow = incr2 < 0;
    const S32 c = bShallow ? 2 * dy : 2 * (dy - dx);
    const S32 incr1 = 2 * c;
    S32 D = bShallow ? incr1 - dx : incr1 + dx;
    for (S32 i = 0; i < xend; i++) {
        ++l.x;
        --l.x1;
        if (bShallow ? D < 0 : D > 0) {
            bShallow ? l.vStep(0, 0) : l.vStep(step, step);
            D += incr1;
        } else {
            D < c ? l.vStep(0, step) : l.vStep(step, 0);
            D += incr2;
        }
    }
    if (pixels_left == 0) {
        return;
    }
    if (bShallow ? D < 0 : D > 0) {
        bShallow ? l.vTail(pixels_left, 0, 0, 0) : l.vTail(pixels_left, step, step, step);
    } else if (D < c) {
        l.vTail(pixels_left, 0, step, 0);
    } else {
        // In the steep branch the backward pixel of pattern 3 rises only past the threshold.
        l.vTail(pixels_left, step, 0, (bShallow || D > c) ? step : 0);
    }
}
