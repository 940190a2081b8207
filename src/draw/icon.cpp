#include "draw/icon.h"

#include "draw/color.h"
#include "draw/image.h"
#include "draw/image32.h"
#include "draw/pixel.h"
#include "draw/rle_nibble.h"

namespace {
const COLOR *s_pcolorLookup;

constexpr U8 kMaskHidden = 15;

// A nibble cursor over unpadded 4-bit values that runs on across rows.
struct NibbleReader {
  const U8 *p;
  bool high = true;
  U8 next() {
    const U8 v = high ? (*p >> 4) : (*p++ & 0x0F);
    high = !high;
    return v;
  }
};

U8 paddedValue(const BITMAP *pBitmap, S32 x, S32 storedRow) {
  const U32 index = static_cast<U32>(x) + static_cast<U32>(storedRow) * pBitmap->__u32PixelWidthOfBuffer;
  return static_cast<U8>((pBitmap->pBuffer[index / 8] >> (4 * (7 - index % 8))) & 0x0F);
}

G_ICON_PUT_PIXEL_FUNCTION *rotationFunction(int q) {
  switch (q) {
  case G_ICON_ROTATE_90: return G_ICON_vRot90PutPixel;
  case G_ICON_ROTATE_180: return G_ICON_vRot180PutPixel;
  case G_ICON_ROTATE_270: return G_ICON_vRot270PutPixel;
  default: return G_ICON_vRot0PutPixel;
  }
}
} // namespace

void G_ICON_vSetIconPalette(const COLOR *pcolorTable) { s_pcolorLookup = pcolorTable; }

U32 G_ICON_u32GetWidth(const ICON *pIcon) { return pIcon ? static_cast<U32>(pIcon->nWidth) : 0; }
U32 G_ICON_u32GetHeight(const ICON *pIcon) { return pIcon ? static_cast<U32>(pIcon->nHeight) : 0; }

void G_ICON_vRot0PutPixel(BITMAP *pDest, const POINT *a, S32 nX, S32 nY, COLOR color, void *) {
  G_PIXEL_vPut(pDest, a->x + nX, a->y + nY, color);
}
void G_ICON_vRot90PutPixel(BITMAP *pDest, const POINT *a, S32 nX, S32 nY, COLOR color, void *) {
  G_PIXEL_vPut(pDest, a->x + nY, a->y - nX, color);
}
void G_ICON_vRot180PutPixel(BITMAP *pDest, const POINT *a, S32 nX, S32 nY, COLOR color, void *) {
  G_PIXEL_vPut(pDest, a->x - nX, a->y - nY, color);
}
void G_ICON_vRot270PutPixel(BITMAP *pDest, const POINT *a, S32 nX, S32 nY, COLOR color, void *) {
  G_PIXEL_vPut(pDest, a->x - nY, a->y + nX, color);
}

void G_ICON_vDecompressAndPutIndirect(BITMAP *pDest, const ICON *pIcon, const POINT *pptAnchor,
                                      G_ICON_PUT_PIXEL_FUNCTION *pPutPixel, void *vpOther) {
  if (pIcon == nullptr) return;
  const S32 w = pIcon->nWidth, h = pIcon->nHeight;
  const COLOR *palette = s_pcolorLookup ? s_pcolorLookup : gCOLOR_pcolColorTable + 80;
  auto put = [&](S32 x, S32 y, U8 v) { pPutPixel(pDest, pptAnchor, x, y, palette[v], vpOther); };
  switch (pIcon->eCompression) {
  case ICON_PADDED_BITMAPS: {
    const BITMAP *pBits = static_cast<const BITMAP *>(pIcon->pBitmap);
    const BITMAP *pMask = static_cast<const BITMAP *>(pIcon->pMask);
    for (S32 y = h - 1, r = 0; y >= 0; y--, r++)
      for (S32 x = 0; x < w; x++)
        if (pMask == nullptr || paddedValue(pMask, x, r) != kMaskHidden) put(x, y, paddedValue(pBits, x, r));
    break;
  }
  case ICON_UNPADDED_BUFFERS: {
    NibbleReader bits{static_cast<const U8 *>(pIcon->pBitmap)};
    NibbleReader mask{static_cast<const U8 *>(pIcon->pMask)};
    for (S32 y = h - 1; y >= 0; y--)
      for (S32 x = 0; x < w; x++) {
        const U8 v = bits.next();
        if (pIcon->pMask == nullptr || mask.next() != kMaskHidden) put(x, y, v);
      }
    break;
  }
  case ICON_TRANSPARENT_COLOR: {
    if (pIcon->pMask == nullptr) return;
    const U8 transparent = *static_cast<const U8 *>(pIcon->pMask);
    NibbleReader bits{static_cast<const U8 *>(pIcon->pBitmap)};
    for (S32 y = h - 1; y >= 0; y--)
      for (S32 x = 0; x < w; x++) {
        const U8 v = bits.next();
        if (v != transparent) put(x, y, v);
      }
    break;
  }
  case ICON_RLE_BUFFERS: {
    NIBBLE_RLE_STATE bits, mask;
    U_RLE_NIBBLE_vInit(&bits, static_cast<const U8 *>(pIcon->pBitmap));
    if (pIcon->pMask) U_RLE_NIBBLE_vInit(&mask, static_cast<const U8 *>(pIcon->pMask));
    for (S32 y = h - 1; y >= 0; y--)
      for (S32 x = 0; x < w; x++) {
        const U8 v = U_RLE_NIBBLE_u8GetNext(&bits);
        if (pIcon->pMask == nullptr || U_RLE_NIBBLE_u8GetNext(&mask) != kMaskHidden) put(x, y, v);
      }
    break;
  }
  case ICON_RLE_TRANSPARENT_COLOR: {
    if (pIcon->pMask == nullptr) return;
    const U8 transparent = *static_cast<const U8 *>(pIcon->pMask);
    NIBBLE_RLE_STATE bits;
    U_RLE_NIBBLE_vInit(&bits, static_cast<const U8 *>(pIcon->pBitmap));
    for (S32 y = h - 1; y >= 0; y--)
      for (S32 x = 0; x < w; x++) {
        const U8 v = U_RLE_NIBBLE_u8GetNext(&bits);
        if (v != transparent) put(x, y, v);
      }
    break;
  }
  default: // kind 5 and unknown kinds
    break;
  }
}

void G_ICON_vPut(BITMAP *pDest, const ICON *pIcon, const POINT *pptLowerLeft) {
  if (pIcon == nullptr) return;
  if (pIcon->eCompression == ICON_PNG_IMAGE32) {
    if (pIcon->nWidth > 59 && pIcon->nHeight > 59)
      G_IMAGE_vPut(pDest, reinterpret_cast<const IMAGE *>(pIcon), pptLowerLeft);
    else
      G_IMAGE32_vPutOld(pDest, pIcon, pptLowerLeft);
    return;
  }
  G_ICON_vDecompressAndPutIndirect(pDest, pIcon, pptLowerLeft, G_ICON_vRot0PutPixel, nullptr);
}

void G_ICON_vPutRotated(BITMAP *pDest, const ICON *pIcon, const POINT *pptAnchor, G_ICON_ROTATION eRotation) {
  G_ICON_vDecompressAndPutIndirect(pDest, pIcon, pptAnchor, rotationFunction(eRotation), nullptr);
}

void G_ICON_vPutRotatedAngle(BITMAP *pDest, const ICON *pIcon, const POINT *pptAnchor,
                             const POINT *pptRotateCenter, double dRotateAngle) {
  if (pIcon == nullptr) return;
  if (pIcon->eCompression == ICON_PNG_IMAGE32) {
    G_IMAGE32_vPutRotatedOld(pDest, pIcon, pptAnchor, pptRotateCenter, dRotateAngle);
    return;
  }
  const double quarter = (dRotateAngle * 57.29577951471995 + 45) * 0.011111111111111112;
  const int q = (quarter > -8.0 && quarter < 8.0) ? static_cast<int>(quarter) : 0;
  G_ICON_vDecompressAndPutIndirect(pDest, pIcon, pptAnchor, rotationFunction(q), nullptr);
}
