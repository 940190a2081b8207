// Bitmaps, points and colours: the target of every drawing primitive.
// Logical coordinates grow right and upward from the bottom-left pixel; memory holds rows top row first.
#pragma once
#include "kernel/types.h"

typedef S32 PIXEL;
typedef U16 COLOR;
typedef U16 PATTERN;

// The chart library declares the same structure for its Mercator points.
#ifndef CORVAN_POINT_DEFINED
#define CORVAN_POINT_DEFINED
typedef struct tag_POINT {
    PIXEL x;
    PIXEL y;
} POINT;
#endif

typedef struct tag_BITMAP {
    U32 *pBuffer; // pixels are 16-bit COLOR values, rows top first; 4-byte aligned
    S32 pixels_wide;
    S32 pixels_high;
    PIXEL s32ClipLeft;
    PIXEL s32ClipTop;
    PIXEL s32ClipRight;
    PIXEL s32ClipBottom;
    S32 pixels_wide_full_screen;
    S32 pixels_high_full_screen; // turns logical rows into memory rows
    PIXEL s32ClipLeft_full_screen;
    PIXEL s32ClipTop_full_screen;
    PIXEL s32ClipRight_full_screen;
    PIXEL s32ClipBottom_full_screen;
    U32 __u32PixelWidthOfBuffer;  // row stride in pixels (even)
    U32 __u32PixelHeightOfBuffer; // allocated rows (even)
} BITMAP;

enum {
    SCREEN_PIXELS_WIDE = 800,
    SCREEN_PIXELS_HIGH = 480,
};

// The pixels of a bitmap as 16-bit values.
inline COLOR *G_BITMAP_pcolPixels(const BITMAP *pBitmap)
{
    return reinterpret_cast<COLOR *>(pBitmap->pBuffer);
}

// Memory index of logical (x, y).
inline size_t G_BITMAP_szIndex(const BITMAP *pBitmap, PIXEL nX, PIXEL nY)
{
    return (size_t)(pBitmap->pixels_high_full_screen - 1 - nY) * pBitmap->__u32PixelWidthOfBuffer + (size_t)nX;
}
