#include "draw/fonts.h"

#include "draw/box.h"
#include "draw/pixel.h"
#include "kernel/error.h"
#include "kernel/reset.h"

U32 G_FONTS_u32GetWidth(const FONT_DEF *pFont, unsigned char ucCharacter) {
  if (pFont == nullptr) return 0;
  if (pFont->ppCharDesc == nullptr) return 6;
  const CHAR_DESC *pChar = pFont->ppCharDesc[ucCharacter];
  if (pChar == nullptr) return pFont->u32Height;
  return pChar->u32Width;
}

U32 G_FONTS_u32GetHeight(const FONT_DEF *pFont) { return pFont ? pFont->u32Height : 0; }
U32 G_FONTS_u32GetAscenderHeight(const FONT_DEF *pFont) { return pFont ? pFont->u32Ascender : 0; }
U32 G_FONTS_u32GetDescenderHeight(const FONT_DEF *pFont) { return pFont ? pFont->u32Descender : 0; }
U32 G_FONTS_u32GetMaxWidth(const FONT_DEF *pFont) { return pFont ? pFont->u32MaxWidth : 0; }
U32 G_FONTS_u32GetInterCharSpacing(const FONT_DEF *pFont) { return pFont ? pFont->u32InterCharSpacing : 0; }

U32 G_FONTS_u32GetCoreHeight(const FONT_DEF *pFont) {
  if (pFont == nullptr) return 0;
  return pFont->u32Height - pFont->u32Ascender - pFont->u32Descender;
}

void G_FONTS_vPut(BITMAP *pDest, COLOR colorFont, const POINT *pAnchor, const FONT_DEF *pFont,
                  unsigned char ucCharacter) {
  if (pAnchor == nullptr || pFont == nullptr) {
    ERROR_error(__FILE__, __LINE__, "G_FONTS_vPut received bad pointer");
    U_RESET_vReset();
    return;
  }
  POINT anchor = *pAnchor;
  if (pFont->ppCharDesc == nullptr) {
    G_BOX_vDrawFilled(pDest, colorFont, &anchor, 6, 6);
    return;
  }
  const CHAR_DESC *pChar = pFont->ppCharDesc[ucCharacter];
  if (pChar == nullptr) {
    if (pFont->u32Height == 0) return;
    const U32 side = pFont->u32Height - 1;
    G_BOX_vDrawFilled(pDest, colorFont, &anchor, side, side);
    return;
  }
  const U32 bytesPerRow = (pChar->u32Width + 7) / 8;
  const U8 *pRow = pChar->pBuffer;
  const PIXEL baseRow = pAnchor->y + static_cast<PIXEL>(pFont->u32Height - pFont->u32Descender) - 1;
  // A glyph wholly inside the clip columns is written straight into each visible row, without a clip test
  // per pixel; one that crosses a clip edge goes through the clipped pixel write.
  const bool bInsideColumns = pAnchor->x >= pDest->s32ClipLeft &&
                              static_cast<S64>(pAnchor->x) + pChar->u32Width - 1 <= pDest->s32ClipRight;
  // Bits beyond the glyph's width in its last byte are padding.
  const U8 u8LastMask = static_cast<U8>(0xFF00 >> (pChar->u32Width + 8 - 8 * bytesPerRow));
  for (U32 r = 0; r < pFont->u32Height; r++, pRow += bytesPerRow) {
    const PIXEL y = baseRow - static_cast<PIXEL>(r);
    if (y < pDest->s32ClipBottom || y > pDest->s32ClipTop) continue;
    COLOR *pcolRow = bInsideColumns ? &G_BITMAP_pcolPixels(pDest)[G_BITMAP_szIndex(pDest, pAnchor->x, y)] : nullptr;
    for (U32 b = 0; b < bytesPerRow; b++) {
      U8 bits = pRow[b];
      if (bits == 0) continue;
      if (b + 1 == bytesPerRow) bits &= u8LastMask;
      if (pcolRow != nullptr) {
        COLOR *pcol = pcolRow + 8 * b;
#pragma GCC unroll 8
        for (U32 k = 0; k < 8; k++) {
          if ((bits & (0x80u >> k)) != 0) pcol[k] = colorFont;
        }
        continue;
      }
      for (U32 k = 8 * b; bits != 0; bits = static_cast<U8>(bits << 1), k++) {
        if ((bits & 0x80) != 0) G_PIXEL_vPut(pDest, pAnchor->x + static_cast<PIXEL>(k), y, colorFont);
      }
    }
  }
}
