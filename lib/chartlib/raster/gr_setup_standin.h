// Stand-in declarations of the chart drawing library's set-up entries until the library is built.
#pragma once
#include "chartlib/chartlib_types.h"

// A built-in bitmap font as the initialisers fill it.
struct GR_FONT_DESC {
  SINT nWidth;
  SINT nHeight;
  SINT nBytesPerChar;
  SINT nDescender;
  SINT nFirstChar;
  SINT nLastChar;
  const UCHAR *pData;
};

ERRORCODE gr_SetColorPalette(const UINT16 *pColors);
ERRORCODE gr_AddFont(GR_FONT_DESC *pFont, SINT nSlot);
SINT fnt_INIT_Daravazos06x09(GR_FONT_DESC *pFont);
SINT fnt_INIT_Daravazos06x11(GR_FONT_DESC *pFont);
SINT fnt_INIT_Daravazos09x15(GR_FONT_DESC *pFont);
ERRORCODE plt_InstallPatternsAndBitmaps(void);
