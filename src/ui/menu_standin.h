// Stand-in declarations of the dialog box until the dialog module is written; its real header replaces this
// one. The menu clients are in ui/menu.h.
#pragma once
#include "graphics/bitmap.h"
#include "ui/menu.h"

enum JUSTIFICATION : U32 {
  JUSTIFICATION_LEFT = 1,
  JUSTIFICATION_CENTER = 3,
  JUSTIFICATION_TOP = 4,
  JUSTIFICATION_BOTTOM = 5,
  JUSTIFICATION_SCREEN_CENTER = 6,
};

// The font is the drawing library's font definition; icons are its icons.
void U_DIALOG_vDrawDialog(BITMAP *pBitmap, const char *pString, const void *pFont, U16 u16PixelsBetweenLines,
                          U16 u16BoxWidth, const void *pLeftHandIcon, const void *pRightHandIcon,
                          JUSTIFICATION TextJustification, JUSTIFICATION BoxJustification);
// Width in pixels of a text in the 16 x 17 standard font.
U32 U_DIALOG_u32TextWidth16x17(const char *pString);
