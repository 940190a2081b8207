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

// The run loops are plain C++ that the compiler vectorises. On x86-64 they are also built for AVX2 and
// AVX-512, and the first call picks the widest copy the processor runs (our own choice through a function
// pointer, not the loader's: sanitizer run-times cannot load resolver functions). Results are the same.
#define G_PIXEL_RUNS(SUFFIX, ATTR)                                                                          \
    ATTR static void vFillRun##SUFFIX(COLOR *pcolDest, size_t szCount, COLOR colorNew)                       \
    {                                                                                                        \
        _Pragma("GCC unroll 4") for (size_t i = 0; i < szCount; i++) { pcolDest[i] = colorNew; }             \
    }                                                                                                        \
    /* 16-bit lanes hold channel x weight (at most 63 x 256). */                                             \
    ATTR static void vBlendRun##SUFFIX(COLOR *pcolDest, U32 u32Count, COLOR colorNew, U8 u8Alpha)            \
    {                                                                                                        \
        const U16 u16Alpha = u8Alpha;                                                                        \
        const U16 u16R = (U16)((colorNew >> 11) * (256 - u8Alpha));                                          \
        const U16 u16G = (U16)(((colorNew >> 5) & 0x3F) * (256 - u8Alpha));                                  \
        const U16 u16B = (U16)((colorNew & 0x1F) * (256 - u8Alpha));                                         \
        for (U32 i = 0; i < u32Count; i++) {                                                                 \
            const U16 old = pcolDest[i];                                                                     \
            const U16 r = (U16)((U16)(u16R + (U16)((old >> 11) * u16Alpha)) >> 8);                           \
            const U16 g = (U16)((U16)(u16G + (U16)(((old >> 5) & 0x3F) * u16Alpha)) >> 8);                   \
            const U16 b = (U16)((U16)(u16B + (U16)((old & 0x1F) * u16Alpha)) >> 8);                          \
            pcolDest[i] = (U16)((r << 11) | (g << 5) | b);                                                   \
        }                                                                                                    \
    }

G_PIXEL_RUNS(Base, __attribute__((optimize("tree-vectorize"))))

#if defined(__x86_64__) && defined(__GNUC__)
G_PIXEL_RUNS(Avx2, __attribute__((target("avx2"), optimize("tree-vectorize"))))
G_PIXEL_RUNS(Avx512, __attribute__((target("arch=x86-64-v4"), optimize("tree-vectorize"))))

typedef void (*G_PIXEL_FILL_RUN)(COLOR *, size_t, COLOR);
typedef void (*G_PIXEL_BLEND_RUN)(COLOR *, U32, COLOR, U8);

// 2: AVX-512 (x86-64-v4), 1: AVX2, 0: the baseline.
static int nPixelLevel(void)
{
    __builtin_cpu_init();
    if (__builtin_cpu_supports("x86-64-v4")) return 2;
    if (__builtin_cpu_supports("avx2")) return 1;
    return 0;
}

void G_PIXEL_vFillRun(COLOR *pcolDest, size_t szCount, COLOR colorNew)
{
    static const G_PIXEL_FILL_RUN s_pfn[] = {vFillRunBase, vFillRunAvx2, vFillRunAvx512};
    static const G_PIXEL_FILL_RUN s_pfnRun = s_pfn[nPixelLevel()];
    s_pfnRun(pcolDest, szCount, colorNew);
}

void G_PIXEL_vBlendRun(COLOR *pcolDest, U32 u32Count, COLOR colorNew, U8 u8Alpha)
{
    static const G_PIXEL_BLEND_RUN s_pfn[] = {vBlendRunBase, vBlendRunAvx2, vBlendRunAvx512};
    static const G_PIXEL_BLEND_RUN s_pfnRun = s_pfn[nPixelLevel()];
    s_pfnRun(pcolDest, u32Count, colorNew, u8Alpha);
}
#else
void G_PIXEL_vFillRun(COLOR *pcolDest, size_t szCount, COLOR colorNew) { vFillRunBase(pcolDest, szCount, colorNew); }

void G_PIXEL_vBlendRun(COLOR *pcolDest, U32 u32Count, COLOR colorNew, U8 u8Alpha)
{
    vBlendRunBase(pcolDest, u32Count, colorNew, u8Alpha);
}
#endif
