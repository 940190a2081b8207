// Per-channel RGB565 blends shared by the text and picture routines, and direct pixel addressing.
#pragma once
#include "draw/bitmap.h"

// Each channel becomes (a x src + (255 - a) x dst) / 255.
inline COLOR G_BLEND_color255(COLOR src, COLOR dst, U32 a) {
  const U32 r = (a * (src >> 11) + (255 - a) * (dst >> 11)) / 255;
  const U32 g = (a * ((src >> 5) & 0x3F) + (255 - a) * ((dst >> 5) & 0x3F)) / 255;
  const U32 b = (a * (src & 0x1F) + (255 - a) * (dst & 0x1F)) / 255;
  return static_cast<COLOR>((r << 11) | (g << 5) | b);
}

// The pixel at logical (x, y) of the buffer, or NULL when (x, y) lies outside the memory the bitmap describes.
inline COLOR *G_BLEND_pPixelInBuffer(const BITMAP *p, PIXEL x, PIXEL y) {
  const S64 row = static_cast<S64>(p->pixels_high_full_screen) - 1 - y;
  if (x < 0 || row < 0 || static_cast<U64>(x) >= p->__u32PixelWidthOfBuffer ||
      static_cast<U64>(row) >= p->__u32PixelHeightOfBuffer || x >= p->pixels_wide_full_screen ||
      row >= p->pixels_high_full_screen)
    return nullptr;
  return reinterpret_cast<COLOR *>(p->pBuffer) + row * p->__u32PixelWidthOfBuffer + x;
}

// True when (x, y) is inside the clip rectangle.
inline bool G_BLEND_bInClip(const BITMAP *p, PIXEL x, PIXEL y) {
  return x <= p->s32ClipRight && y <= p->s32ClipTop && x >= p->s32ClipLeft && y >= p->s32ClipBottom;
}
