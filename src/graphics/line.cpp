// Lines. Horizontal and vertical spans are clipped once and written straight into the buffer;
// everything else goes through the clipped pixel write.
#include "graphics/line.h"

#include <algorithm>

#include "graphics/pixel.h"

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

// The clipped span of a horizontal or vertical line as a run in memory; false when nothing shows.
struct SPAN {
    COLOR *pcolFirst;
    size_t szStep;
    U32 u32Count;
};

bool bClipAxisLine(const BITMAP *pDest, const POINT *pStart, const POINT *pEnd, SPAN *pSpan)
{
    PIXEL n0, n1;
    if (pStart->x == pEnd->x) {
        if (pStart->x < pDest->s32ClipLeft || pStart->x > pDest->s32ClipRight) {
            return false;
        }
        n0 = pStart->y;
        n1 = pEnd->y;
        if (!bClampSpan(n0, n1, pDest->s32ClipBottom, pDest->s32ClipTop)) {
            return false;
        }
        // The higher y is the lower memory row.
        pSpan->pcolFirst = &G_BITMAP_pcolPixels(pDest)[G_BITMAP_szIndex(pDest, pStart->x, std::max(n0, n1))];
        pSpan->szStep = pDest->__u32PixelWidthOfBuffer;
    } else {
        if (pStart->y < pDest->s32ClipBottom || pStart->y > pDest->s32ClipTop) {
            return false;
        }
        n0 = pStart->x;
        n1 = pEnd->x;
        if (!bClampSpan(n0, n1, pDest->s32ClipLeft, pDest->s32ClipRight)) {
            return false;
        }
        pSpan->pcolFirst = &G_BITMAP_pcolPixels(pDest)[G_BITMAP_szIndex(pDest, std::min(n0, n1), pStart->y)];
        pSpan->szStep = 1;
    }
    pSpan->u32Count = (U32)((n0 > n1 ? n0 - n1 : n1 - n0) + 1);
    return true;
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

void G_LINE_vDraw(BITMAP *pDest, COLOR color, const POINT *pStart, const POINT *pEnd)
{
    if (pStart->x != pEnd->x && pStart->y != pEnd->y) {
        line_Draw(pDest, color, pStart, pEnd);
        return;
    }
    SPAN span;
    if (!bClipAxisLine(pDest, pStart, pEnd, &span)) {
        return;
    }
    if (span.szStep == 1) {
        std::fill_n(span.pcolFirst, span.u32Count, color);
    } else {
        for (U32 i = 0; i < span.u32Count; i++) {
            span.pcolFirst[i * span.szStep] = color;
        }
    }
}

void G_LINE_vDrawAlpha(BITMAP *pDest, COLOR color, const POINT *pStart, const POINT *pEnd, U8 u8Alpha)
{
    if (u8Alpha == 0 || (pStart->x != pEnd->x && pStart->y != pEnd->y)) {
        G_LINE_vDraw(pDest, color, pStart, pEnd);
        return;
    }
    SPAN span;
    if (!bClipAxisLine(pDest, pStart, pEnd, &span)) {
        return;
    }
    if (span.szStep == 1) {
        G_PIXEL_vBlendRun(span.pcolFirst, span.u32Count, color, u8Alpha);
    } else {
        for (U32 i = 0; i < span.u32Count; i++) {
            COLOR *pcol = &span.pcolFirst[i * span.szStep];
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

// Symmetric double step: two pixels per step from each end towards the middle.
void line_Draw(BITMAP *pDest, COLOR color, const POINT *pStart, const POINT *pEnd)
{
    PIXEL a1 = pStart->x, b1 = pStart->y, a2 = pEnd->x, b2 = pEnd->y;
    const S64 sDiffX = (S64)a2 - a1;
    const S64 sDiffY = (S64)b2 - b1;
    S32 dx = (S32)(sDiffX < 0 ? -sDiffX : sDiffX);
    S32 dy = (S32)(sDiffY < 0 ? -sDiffY : sDiffY);
    const S32 step = ((sDiffX < 0) == (sDiffY < 0)) ? 1 : -1;
    bool bReverse = false;
    if (dy > dx) {
        std::swap(a1, b1);
        std::swap(a2, b2);
        std::swap(dx, dy);
        bReverse = true;
    }
    PIXEL x, y, x1, y1;
    if (a1 > a2) {
        x = a2;
        y = b2;
        x1 = a1;
        y1 = b1;
    } else {
        x = a1;
        y = b1;
        x1 = a2;
        y1 = b2;
    }
    const S32 xend = (dx - 1) / 4;
    const S32 pixels_left = (dx - 1) % 4;
    vPlot(pDest, color, x, y, bReverse);
    if (pixels_left < 0) {
        return;
    }
    vPlot(pDest, color, x1, y1, bReverse);
    const S32 incr2 = 4 * dy - 2 * dx;
    if (incr2 < 0) {
        const S32 c = 2 * dy;
        const S32 incr1 = 2 * c;
        S32 D = incr1 - dx;
        for (S32 i = 0; i < xend; i++) {
            ++x;
            --x1;
            if (D < 0) {
                vPlot(pDest, color, x, y, bReverse);
                vPlot(pDest, color, ++x, y, bReverse);
                vPlot(pDest, color, x1, y1, bReverse);
                vPlot(pDest, color, --x1, y1, bReverse);
                D += incr1;
            } else {
                if (D < c) {
                    vPlot(pDest, color, x, y, bReverse);
                    vPlot(pDest, color, ++x, y += step, bReverse);
                    vPlot(pDest, color, x1, y1, bReverse);
                    vPlot(pDest, color, --x1, y1 -= step, bReverse);
                } else {
                    vPlot(pDest, color, x, y += step, bReverse);
                    vPlot(pDest, color, ++x, y, bReverse);
                    vPlot(pDest, color, x1, y1 -= step, bReverse);
                    vPlot(pDest, color, --x1, y1, bReverse);
                }
                D += incr2;
            }
        }
        if (pixels_left) {
            if (D < 0) {
                vPlot(pDest, color, ++x, y, bReverse);
                if (pixels_left > 1) {
                    vPlot(pDest, color, ++x, y, bReverse);
                }
                if (pixels_left > 2) {
                    vPlot(pDest, color, --x1, y1, bReverse);
                }
            } else if (D < c) {
                vPlot(pDest, color, ++x, y, bReverse);
                if (pixels_left > 1) {
                    vPlot(pDest, color, ++x, y += step, bReverse);
                }
                if (pixels_left > 2) {
                    vPlot(pDest, color, --x1, y1, bReverse);
                }
            } else {
                vPlot(pDest, color, ++x, y += step, bReverse);
                if (pixels_left > 1) {
                    vPlot(pDest, color, ++x, y, bReverse);
                }
                if (pixels_left > 2) {
                    vPlot(pDest, color, --x1, y1 -= step, bReverse);
                }
            }
        }
    } else {
        const S32 c = 2 * (dy - dx);
        const S32 incr1 = 2 * c;
        S32 D = incr1 + dx;
        for (S32 i = 0; i < xend; i++) {
            ++x;
            --x1;
            if (D > 0) {
                vPlot(pDest, color, x, y += step, bReverse);
                vPlot(pDest, color, ++x, y += step, bReverse);
                vPlot(pDest, color, x1, y1 -= step, bReverse);
                vPlot(pDest, color, --x1, y1 -= step, bReverse);
                D += incr1;
            } else {
                if (D < c) {
                    vPlot(pDest, color, x, y, bReverse);
                    vPlot(pDest, color, ++x, y += step, bReverse);
                    vPlot(pDest, color, x1, y1, bReverse);
                    vPlot(pDest, color, --x1, y1 -= step, bReverse);
                } else {
                    vPlot(pDest, color, x, y += step, bReverse);
                    vPlot(pDest, color, ++x, y, bReverse);
                    vPlot(pDest, color, x1, y1 -= step, bReverse);
                    vPlot(pDest, color, --x1, y1, bReverse);
                }
                D += incr2;
            }
        }
        if (pixels_left) {
            if (D > 0) {
                vPlot(pDest, color, ++x, y += step, bReverse);
                if (pixels_left > 1) {
                    vPlot(pDest, color, ++x, y += step, bReverse);
                }
                if (pixels_left > 2) {
                    vPlot(pDest, color, --x1, y1 -= step, bReverse);
                }
            } else if (D < c) {
                vPlot(pDest, color, ++x, y, bReverse);
                if (pixels_left > 1) {
                    vPlot(pDest, color, ++x, y += step, bReverse);
                }
                if (pixels_left > 2) {
                    vPlot(pDest, color, --x1, y1, bReverse);
                }
            } else {
                vPlot(pDest, color, ++x, y += step, bReverse);
                if (pixels_left > 1) {
                    vPlot(pDest, color, ++x, y, bReverse);
                }
                if (pixels_left > 2) {
                    if (D > c) {
                        vPlot(pDest, color, --x1, y1 -= step, bReverse);
                    } else {
                        vPlot(pDest, color, --x1, y1, bReverse);
                    }
                }
            }
        }
    }
}
