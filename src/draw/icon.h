// Icons: small constant pictures, mostly 16-colour in the nibble run-length code, stored top row first.
#pragma once
#include "draw/bitmap.h"

typedef enum : int {
  ICON_PADDED_BITMAPS = 0, // a BITMAP of 4-bit values, eight per word; optional mask BITMAP
  ICON_UNPADDED_BUFFERS = 1, // 4-bit values two per byte, rows not padded; optional mask bytes
  ICON_TRANSPARENT_COLOR = 2, // as 1; pMask points to the palette index not drawn
  ICON_RLE_BUFFERS = 3, // nibble run-length stream; optional mask stream
  ICON_RLE_TRANSPARENT_COLOR = 4, // as 3; pMask points to the palette index not drawn
  ICON_PNG_IMAGE32 = 5, // an IMAGE (60 x 60 and larger) or an IMAGE32 (smaller)
} ICON_COMPRESSION;

typedef struct tag_ICON {
  const void *pBitmap;
  const void *pMask;
  S32 nWidth;
  S32 nHeight;
  ICON_COMPRESSION eCompression;
} ICON;

typedef enum : int {
  G_ICON_ROTATE_0 = 0,
  G_ICON_ROTATE_90 = 1,
  G_ICON_ROTATE_180 = 2,
  G_ICON_ROTATE_270 = 3,
} G_ICON_ROTATION;

typedef void G_ICON_PUT_PIXEL_FUNCTION(BITMAP *pDest, const POINT *pptAnchor, S32 nX, S32 nY, COLOR color,
                                       void *vpOther);

void G_ICON_vPut(BITMAP *pDest, const ICON *pIcon, const POINT *pptLowerLeft);
void G_ICON_vPutRotated(BITMAP *pDest, const ICON *pIcon, const POINT *pptAnchor, G_ICON_ROTATION eRotation);
void G_ICON_vPutRotatedAngle(BITMAP *pDest, const ICON *pIcon, const POINT *pptAnchor,
                             const POINT *pptRotateCenter, double dRotateAngle);
void G_ICON_vDecompressAndPutIndirect(BITMAP *pDest, const ICON *pIcon, const POINT *pptAnchor,
                                      G_ICON_PUT_PIXEL_FUNCTION *pPutPixel, void *vpOther);
G_ICON_PUT_PIXEL_FUNCTION G_ICON_vRot0PutPixel;
G_ICON_PUT_PIXEL_FUNCTION G_ICON_vRot90PutPixel;
G_ICON_PUT_PIXEL_FUNCTION G_ICON_vRot180PutPixel;
G_ICON_PUT_PIXEL_FUNCTION G_ICON_vRot270PutPixel;
U32 G_ICON_u32GetWidth(const ICON *pIcon);
U32 G_ICON_u32GetHeight(const ICON *pIcon);
// Points the icon palette at 16 consecutive colours (the platform set-up passes entries 80-95 of the table).
void G_ICON_vSetIconPalette(const COLOR *pcolorTable);
