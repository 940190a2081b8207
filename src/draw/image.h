// Full-colour pictures: IMAGE (RGB565 with 0xFFFF runs) and IMAGE32 (red, green, blue, alpha with runs).
// Rows are stored bottom row first.
#pragma once
#include "draw/bitmap.h"

typedef struct tag_IMAGE {
  const void *data;
  const void *mask; // unused
  S32 s32Width;
  S32 s32Height;
  U32 eCompression;
} IMAGE;

typedef struct tag_IMAGE32 {
  const void *data; // 4-byte entries: red, green, blue, alpha
  const void *mask; // unused
  S32 s32Width;
  S32 s32Height;
  U32 eCompression;
} IMAGE32;

struct tag_ICON;

// The integer part of fraction x whole, bounded to 0..whole (also for NaN and huge fractions): the rows or
// columns of a partial picture.
inline S32 G_IMAGE_s32Part(float fraction, S32 whole) {
  const float f = fraction * static_cast<float>(whole);
  return f >= static_cast<float>(whole) ? whole : f > 0 ? static_cast<S32>(f) : 0;
}

void G_IMAGE_vPut(BITMAP *pDest, const IMAGE *pImage, const POINT *pptLowerLeft);
void G_IMAGE_PART_vPutNew(BITMAP *pDest, const IMAGE *pImage, const POINT *pptLowerLeft, float fwidthPercent,
                          float fHightPercent);
// For pictures stored without runs, one word per pixel.
void G_IMAGE_PART_vPut(BITMAP *pDest, const IMAGE *pImage, const POINT *pptLowerLeft, float fwidthPercent,
                       float fHightPercent);
