// Clipped, blended and direct pixel writes.
#include "draw/pixel.h"

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

// The run loops are plain C++ that the compiler vectorises; on x86-64 a second copy for AVX2 is chosen at
// load time where the processor has it. Results are the same either way.
#if defined(__x86_64__)
#define G_PIXEL_RUN_LOOP __attribute__((target_clones("arch=x86-64-v4", "avx2", "default"), optimize("tree-vectorize")))
#else
#define G_PIXEL_RUN_LOOP __attribute__((optimize("tree-vectorize")))
#endif

G_PIXEL_RUN_LOOP void G_PIXEL_vFillRun(COLOR *pcolDest, size_t szCount, COLOR colorNew)
{
#pragma GCC unroll 4
    for (size_t i = 0; i < szCount; i++) {
        pcolDest[i] = colorNew;
    }
}

// 16-bit lanes hold channel × weight (at most 63 × 256).
G_PIXEL_RUN_LOOP void G_PIXEL_vBlendRun(COLOR *pcolDest, U32 u32Count, COLOR colorNew, U8 u8Alpha)
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
