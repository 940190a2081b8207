// Whole-area pixel moves between bitmaps: fill, block copies.
#pragma once
#include "draw/bitmap.h"

// Fills the whole buffer (clip ignored).
void G_BMP_vSet(const BITMAP *pDest, const COLOR color);
// A u32Width × u32Height block between bottom-left drawing points; no clipping.
void G_BMP_vPlaceLogicalOnLogical(const BITMAP *pDestBitmap, const POINT *pLogicalDest, const BITMAP *pSrcBitmap,
                                  const POINT *pLogicalSrc, U32 u32Width, U32 u32Height);
// u32Length pixels of every source row from buffer offset pixSource to pixDestination.
void G_BMP_vCopyRegion(BITMAP *pbitmapSource, BITMAP *pbitmapDestination, PIXEL pixSource, PIXEL pixDestination,
                       U32 u32Length);
// A block whose top-left is physical pSrc, placed with its bottom-left at pLogicalDest, clipped;
// pixels of colorTransparency are skipped unless it is 0xFFFE.
void G_BMP_vCopyPhysicalToLogical(const BITMAP *pDestBitmap, const POINT *pLogicalDest, const BITMAP *pSrcBitmap,
                                  const POINT *pSrc, U32 u32Width, U32 u32Height, const COLOR colorTransparency);

constexpr COLOR G_BMP_COPY_ALL = 0xFFFE;
