// Stand-in of the chart drawing library's set-up: keeps the palette and the font rack so that the platform
// set-up runs; nothing draws with them until the library is built.
#include "chartlib/raster/gr_setup_standin.h"

namespace {
const UINT16 *s_pPalette = nullptr;
GR_FONT_DESC *s_apFonts[70] = {};

SINT fill(GR_FONT_DESC *pFont, SINT nWidth, SINT nHeight, SINT nBytes, SINT nDescender) {
  *pFont = GR_FONT_DESC{nWidth, nHeight, nBytes, nDescender, 0, 255, nullptr};
  return 0;
}
}  // namespace

ERRORCODE gr_SetColorPalette(const UINT16 *pColors) {
  s_pPalette = pColors;
  return 0x80000000u;
}

ERRORCODE gr_AddFont(GR_FONT_DESC *pFont, SINT nSlot) {
  if (nSlot < 0 || nSlot > 69) return 1028;
  s_apFonts[nSlot] = pFont;
  return 0x80000000u;
}

SINT fnt_INIT_Daravazos06x09(GR_FONT_DESC *pFont) { return fill(pFont, 6, 9, 10, 2); }
SINT fnt_INIT_Daravazos06x11(GR_FONT_DESC *pFont) { return fill(pFont, 6, 11, 12, 2); }
SINT fnt_INIT_Daravazos09x15(GR_FONT_DESC *pFont) { return fill(pFont, 9, 15, 31, 3); }

ERRORCODE plt_InstallPatternsAndBitmaps(void) { return 0x80000000u; }
