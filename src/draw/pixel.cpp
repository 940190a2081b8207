// Clipped, blended and direct pixel writes.
#include "draw/pixel.h"

#include <cstdint>
#include <cwchar>

void G_PIXEL_vPut(BITMAP *pDest, PIXEL nX, PIXEL nY, COLOR color)
{
    if (nX > pDest->s32ClipRight || nY > pDest->s32ClipTop || nX < pDest->s32ClipLeft || nY < pDest->s32ClipBottom) {
        return;
    }
    G_BITMAP_pcolPixels(pDest)[G_BITMAP_szIndex(pDest, nX, nY)] = color;
}

void G_PIXEL_vPutAlpha(BITMAP *pDest, PIXEL nX, PIXEL nY, COLOR color, U8 u8Alpha)
{
    if (nX > pDest->s32ClipRight || nY > pDest->s32ClipTop || nX < pDest->s32ClipLeft || nY < pDest->s32ClipBottom) {
        return;
    }
    COLOR *pcol = &G_BITMAP_pcolPixels(pDest)[G_BITMAP_szIndex(pDest, nX, nY)];
    *pcol = G_PIXEL_colorBlend(color, *pcol, u8Alpha);
}

void G_PIXEL_vPutDirect(BITMAP *pDest, PIXEL nX, PIXEL nY, COLOR color)
{
    G_BITMAP_pcolPixels(pDest)[(size_t)nY * pDest->__u32PixelWidthOfBuffer + (size_t)nX] = color;
}

COLOR G_PIXEL_colorGetPhysicalPixel(const BITMAP *pSrc, PIXEL nX, PIXEL nY)
{
    return G_BITMAP_pcolPixels(pSrc)[(size_t)nY * pSrc->__u32PixelWidthOfBuffer + (size_t)nX];
}

// Every horizontal run of the library ends here. Long runs are written as 32-bit pixel pairs by the C
// library's wmemset, which picks the widest stores the processor has (at memset speed); short ones, where a
// call costs more than it saves, by a plain loop. Sanitizer builds keep the loop for every run (they do not see
// inside wmemset), so that each write stays checked.
namespace {
constexpr size_t kLongRun = 64;
static_assert(sizeof(wchar_t) == 2 * sizeof(COLOR), "wmemset writes pixel pairs");
} // namespace

void G_PIXEL_vFillRun(COLOR *pcolDest, size_t szCount, COLOR colorNew)
{
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
    if (szCount >= kLongRun) {
        if ((reinterpret_cast<uintptr_t>(pcolDest) & 2) != 0) {
            *pcolDest++ = colorNew;
            szCount--;
        }
        const U32 u32Pair = (U32)colorNew << 16 | colorNew;
        std::wmemset(reinterpret_cast<wchar_t *>(pcolDest), (wchar_t)u32Pair, szCount / 2);
        if ((szCount & 1) != 0) {
            pcolDest[szCount - 1] = colorNew;
        }
        return;
    }
#endif
    for (size_t i = 0; i < szCount; i++) {
        pcolDest[i] = colorNew;
    }
}

// 16-bit lanes hold channel × weight (at most 63 × 256).
void G_PIXEL_vBlendRun(COLOR *pcolDest, U32 u32Count, COLOR colorNew, U8 u8Alpha)
{
    const U16 u16Alpha = u8Alpha;
    const U16 u16R = (U16)((colorNew >> 11) * (256 - u8Alpha));
    const U16 u16G = (U16)(((colorNew >> 5) & 0x3F) * (256 - u8Alpha));
    const U16 u16B = (U16)((colorNew & 0x1F) * (256 - u8Alpha));
    for (U32 i = 0; i < u32Count; i++) {
        const U16 old = pcolDest[i];
        const U16 r = (U16)((U16)(u16R + (U16)((old >> 11) * u16Alpha)) >> 8);
        const U16 g = (U16)((U16)(u16G + (U16)(((old >> 5) & 0x3F) * u16Alpha)) >> 8);
        const U16 b = (U16)((U16)(u16B + (U16)((old & 0x1F) * u16Alpha)) >> 8);
        pcolDest[i] = (U16)((r << 11) | (g << 5) | b);
    }
}
