#include "draw/string.h"

U32 G_STRING_u32GetHeight(const FONT_DEF *pFont) { return G_FONTS_u32GetHeight(pFont); }

U32 G_STRING_u32GetWidth(const FONT_DEF *pFont, const char *pString) {
  if (pString == nullptr) return 0;
  U32 width = 0;
  for (const unsigned char *p = reinterpret_cast<const unsigned char *>(pString); *p; p++)
    width += G_FONTS_u32GetWidth(pFont, *p);
  return width;
}

void G_STRING_vPut(BITMAP *pDest, COLOR colorFont, POINT *pAnchor, const FONT_DEF *pFont, const char *pString) {
  if (pString == nullptr) return;
  for (const unsigned char *p = reinterpret_cast<const unsigned char *>(pString); *p; p++) {
    G_FONTS_vPut(pDest, colorFont, pAnchor, pFont, *p);
    pAnchor->x += static_cast<PIXEL>(G_FONTS_u32GetWidth(pFont, *p));
  }
}
