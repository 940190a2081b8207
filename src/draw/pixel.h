// The four pixel operations the other primitives rest on.
#pragma once
#include "draw/bitmap.h"

void G_PIXEL_vPut(BITMAP *pDest, PIXEL nX, PIXEL nY, COLOR color);
void G_PIXEL_vPutAlpha(BITMAP *pDest, PIXEL nX, PIXEL nY, COLOR color, U8 u8Alpha);
// Physical coordinates (memory order, y down), no clipping.
void G_PIXEL_vPutDirect(BITMAP *pDest, PIXEL nX, PIXEL nY, COLOR color);
COLOR G_PIXEL_colorGetPhysicalPixel(const BITMAP *pSrc, PIXEL nX, PIXEL nY);

// new × (256 − a) + old × a, per channel, >> 8. a is the weight of the old pixel.
inline COLOR G_PIXEL_colorBlend(COLOR colorNew, COLOR colorOld, U32 u32Alpha)
{
    const U32 u32Keep = 256 - u32Alpha;
    const U32 r = (((U32)(colorNew >> 11) * u32Keep + (U32)(colorOld >> 11) * u32Alpha) >> 8) & 0x1F;
    const U32 g = (((U32)((colorNew >> 5) & 0x3F) * u32Keep + (U32)((colorOld >> 5) & 0x3F) * u32Alpha) >> 8) & 0x3F;
    const U32 b = (((U32)(colorNew & 0x1F) * u32Keep + (U32)(colorOld & 0x1F) * u32Alpha) >> 8) & 0x1F;
    return (COLOR)((r << 11) | (g << 5) | b);
}

// Blends colorNew over u32Count pixels in place.
void G_PIXEL_vBlendRun(COLOR *pcolDest, U32 u32Count, COLOR colorNew, U8 u8Alpha);
// Writes colorNew into szCount pixels.
void G_PIXEL_vFillRun(COLOR *pcolDest, size_t szCount, COLOR colorNew);
