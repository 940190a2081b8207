// Bitmap construction and release.
#pragma once
#include "draw/bitmap.h"

// Fills pBitmap (or a new header when NULL); allocates the pixels when pu32Buffer is NULL.
BITMAP *G_BUFFERS_pCreateBitmap(U32 u32Width, U32 u32Height, BITMAP *pBitmap, U32 *pu32Buffer);
BITMAP *G_BUFFERS_pCreateFullScreenBitmapHeader(void);
BITMAP *G_BUFFERS_pCreateFullScreenBitmap(void);
void G_BUFFERS_vFreeBitmap(BITMAP *pBitmap);
void G_BUFFERS_vFreeFullScreenBitmap(BITMAP *pBitmap);
void G_BUFFERS_vFreeFullScreenBitmapHeader(BITMAP *pBitmap);
