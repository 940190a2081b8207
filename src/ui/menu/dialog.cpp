// Word wrap, framed dialogs and message blocks.
#include "ui/menu/dialog.h"

#include <algorithm>
#include <cstring>

#include "draw/box.h"
#include "draw/color.h"
#include "draw/string.h"
#include "kernel/error.h"
#include "kernel/reset.h"
#include "ui/menu/menu_draw_arrows.h"

namespace {

enum : U32 {
  COLOR_DIALOG_FRAME = 130,
  COLOR_DIALOG_FILL = 128,
  COLOR_DIALOG_TEXT = 131,
};

COLOR colorTable(U32 u32Index) { return gCOLOR_pcolColorTable[u32Index]; }

U32 u32CharWidth(const FONT_DEF *pFont, char c) {
  return G_FONTS_u32GetWidth(pFont, static_cast<unsigned char>(c));
}

// Only compiled-in constants reach this: a wrong one is a programming error.
[[noreturn]] void vInvalidBoxJustification(void) {
  ERROR_error(__FILE__, __LINE__, "Invalid box justification");
  U_RESET_vReset();
}

// The widest word of the framed dialogs: its width sum minus one (0 without words).
U32 u32DialogWordWidth(const char *pString, const FONT_DEF *pFont) {
  const U32 u32Widest = U_DIALOG_u32GetMaxWordLength(pString, pFont);
  return u32Widest > 0 ? u32Widest - 1 : 0;
}

// Draws the lines of a wrapped text from the top one at y0 downwards, each placed by the justification between
// the left and right limits; a line is cut to the line buffer.
void vDrawLines(BITMAP *pBitmap, const LINEOFTEXT *pLines, U16 u16Lines, const FONT_DEF *pFont, PIXEL nY0,
                PIXEL nPitch, PIXEL nLeft, PIXEL nRight, JUSTIFICATION TextJustification, COLOR color,
                bool bClampToZero) {
  char acLine[U_DIALOG_LINE_BUFFER];
  for (U16 i = 0; i < u16Lines; i++) {
    const size_t szChars = std::min<size_t>(pLines[i].u8NumberOfCharsInLine, sizeof acLine - 1);
    std::memcpy(acLine, pLines[i].pcStartOfText, szChars);
    acLine[szChars] = '\0';
    const PIXEL nWidth = pLines[i].u16WidthOfLine;
    PIXEL nX = nLeft;
    if (TextJustification == JUSTIFICATION_RIGHT) {
      nX = nRight - nWidth;
    } else if (TextJustification == JUSTIFICATION_CENTER) {
      nX = nLeft + ((nRight - nLeft) - nWidth) / 2;
    }
    if (bClampToZero && nX < 0) nX = 0;
    POINT anchor{nX, nY0 - nPitch * i};
    G_STRING_vPut(pBitmap, color, &anchor, pFont, acLine);
  }
}

struct DIALOG_BOX {
  PIXEL x, y;
  U32 u32Width, u32Height;
};

// Sizes, places and draws the frame and text of a framed dialog; u32ExtraHeight is added below the text.
DIALOG_BOX dialogDraw(BITMAP *pBitmap, const char *pString, const FONT_DEF *pFont, U16 u16PixelsBetweenLines,
                      U16 u16BoxWidth, U32 u32LeftIconWidth, U32 u32RightIconWidth, U32 u32ExtraHeight,
                      JUSTIFICATION TextJustification, JUSTIFICATION BoxJustification) {
  const U32 u32BitmapWidth = static_cast<U32>(pBitmap->pixels_wide);
  const U32 u32BitmapHeight = static_cast<U32>(pBitmap->pixels_high);
  DIALOG_BOX box{};
  box.u32Width = std::max<U32>(u16BoxWidth, u32DialogWordWidth(pString, pFont) + 12);
  if (box.u32Width >= u32BitmapWidth) box.u32Width = u32BitmapWidth;
  box.x = static_cast<PIXEL>((u32BitmapWidth - box.u32Width) / 2);
  if (BoxJustification != JUSTIFICATION_SCREEN_CENTER) box.x += 80;

  const PIXEL nLeft = box.x + (u32LeftIconWidth > 0 ? static_cast<PIXEL>(u32LeftIconWidth) + 12 : 6);
  const PIXEL nRight = box.x + static_cast<PIXEL>(box.u32Width) -
                       (u32RightIconWidth > 0 ? static_cast<PIXEL>(u32RightIconWidth) + 12 : 6);
  LINEOFTEXT aLines[U_DIALOG_MAX_LINES];
  const U16 u16Limit = static_cast<U16>(std::clamp<PIXEL>(nRight - nLeft, 0, 0xFFFF));
  const U16 u16Lines = pString != nullptr ? U_DIALOG_u16ExtractTextIntoLines(pString, aLines, pFont, u16Limit) : 0;
  const PIXEL nPitch = static_cast<PIXEL>(G_FONTS_u32GetHeight(pFont)) + u16PixelsBetweenLines;
  box.u32Height = static_cast<U32>(nPitch) * u16Lines + 12 + u32ExtraHeight;

  switch (BoxJustification) {
    case JUSTIFICATION_TOP:
      box.y = static_cast<PIXEL>(u32BitmapHeight) - static_cast<PIXEL>(box.u32Height);
      break;
    case JUSTIFICATION_BOTTOM:
      box.y = 0;
      break;
    case JUSTIFICATION_CENTER:
    case JUSTIFICATION_SCREEN_CENTER:
      box.y = (static_cast<PIXEL>(u32BitmapHeight) - static_cast<PIXEL>(box.u32Height)) / 2;
      break;
    default:
      vInvalidBoxJustification();
  }

  POINT anchor{box.x, box.y};
  G_BOX_vDrawRounded(pBitmap, colorTable(COLOR_DIALOG_FRAME), &anchor, box.u32Width, box.u32Height, 5);
  anchor = {box.x + 1, box.y + 1};
  G_BOX_vDrawRounded(pBitmap, colorTable(COLOR_DIALOG_FRAME), &anchor, box.u32Width - 2, box.u32Height - 2, 3);
  anchor = {box.x + 2, box.y + 2};
  G_BOX_vDrawRoundedFilled(pBitmap, colorTable(COLOR_DIALOG_FILL), &anchor, box.u32Width - 4, box.u32Height - 4,
                           3);
  const PIXEL nTop = box.y + 9 + static_cast<PIXEL>(u32ExtraHeight) + (u16Lines - 1) * nPitch;
  vDrawLines(pBitmap, aLines, u16Lines, pFont, nTop, nPitch, nLeft, nRight, TextJustification,
             colorTable(COLOR_DIALOG_TEXT), true);
  return box;
}

}  // namespace

U32 U_DIALOG_u32GetMaxWordLength(const char *pString, const FONT_DEF *pFont) {
  U32 u32Widest = 0;
  if (pString == nullptr) return 0;
  for (const char *p = pString; *p != '\0';) {
    while (*p == ' ') p++;
    U32 u32Word = 0;
    while (*p != '\0' && *p != ' ') u32Word += u32CharWidth(pFont, *p++);
    u32Widest = std::max(u32Widest, u32Word);
  }
  return u32Widest;
}

U16 U_DIALOG_u16ExtractTextIntoLines(const char *pChar, LINEOFTEXT *pLinesOfTextArray, const FONT_DEF *pFont,
                                     U16 u16WidthInPixels) {
  U16 u16Lines = 0;
  const char *p = pChar;
  while (u16Lines < U_DIALOG_MAX_LINES && p != nullptr && *p != '\0') {
    LINEOFTEXT &line = pLinesOfTextArray[u16Lines++];
    line.pcStartOfText = p;
    U32 u32Width = 0, u32Chars = 0;
    for (;;) {
      // The next word with the spaces in front of it.
      const char *q = p;
      U32 u32WordWidth = 0;
      while (*q == ' ') u32WordWidth += u32CharWidth(pFont, *q++);
      while (*q != '\0' && *q != ' ') u32WordWidth += u32CharWidth(pFont, *q++);
      if (q == p) break;
      if (u32Chars > 0 && u32Width + u32WordWidth > u16WidthInPixels) {
        while (*p == ' ') p++;
        break;
      }
      u32Width += u32WordWidth;
      u32Chars += static_cast<U32>(q - p);
      p = q;
    }
    // A single overlong word cannot count past what the line record holds.
    line.u8NumberOfCharsInLine = static_cast<U8>(std::min<U32>(u32Chars, 0xFF));
    line.u16WidthOfLine = static_cast<U16>(std::min<U32>(u32Width > 0 ? u32Width - 1 : 0, 0xFFFF));
  }
  return u16Lines;
}

void U_DIALOG_vDrawDialog(BITMAP *pBitmap, const char *pString, const FONT_DEF *pFont, U16 u16PixelsBetweenLines,
                          U16 u16BoxWidth, const ICON *pLeftHandIcon, const ICON *pRightHandIcon,
                          JUSTIFICATION TextJustification, JUSTIFICATION BoxJustification) {
  const U32 u32LeftWidth = pLeftHandIcon != nullptr ? G_ICON_u32GetWidth(pLeftHandIcon) : 0;
  const U32 u32RightWidth = pRightHandIcon != nullptr ? G_ICON_u32GetWidth(pRightHandIcon) : 0;
  const DIALOG_BOX box = dialogDraw(pBitmap, pString, pFont, u16PixelsBetweenLines, u16BoxWidth, u32LeftWidth,
                                    u32RightWidth, 0, TextJustification, BoxJustification);
  const PIXEL nMiddle = box.y + static_cast<PIXEL>(box.u32Height / 2);
  if (pLeftHandIcon != nullptr) {
    const POINT at{box.x + 6, nMiddle - static_cast<PIXEL>(G_ICON_u32GetHeight(pLeftHandIcon) / 2)};
    G_ICON_vPut(pBitmap, pLeftHandIcon, &at);
  }
  if (pRightHandIcon != nullptr) {
    const POINT at{box.x + static_cast<PIXEL>(box.u32Width) - static_cast<PIXEL>(u32RightWidth) - 6,
                   nMiddle - static_cast<PIXEL>(G_ICON_u32GetHeight(pRightHandIcon) / 2)};
    G_ICON_vPut(pBitmap, pRightHandIcon, &at);
  }
}

void U_DIALOG_vDrawDialogWithConfirm(BITMAP *pBitmap, const char *pString, const FONT_DEF *pFont,
                                     U16 u16PixelsBetweenLines, U16 u16BoxWidth, const char *pLeftString,
                                     const char *pRightString, JUSTIFICATION TextJustification,
                                     JUSTIFICATION BoxJustification, BOOLEAN NoOption, BOOLEAN YesOption) {
  const PIXEL F = static_cast<PIXEL>(G_FONTS_u32GetHeight(pFont));
  const U32 u32Extra = (NoOption || YesOption) ? static_cast<U32>((3 * F) / 2) : 0;
  const DIALOG_BOX box = dialogDraw(pBitmap, pString, pFont, u16PixelsBetweenLines, u16BoxWidth, 0, 0, u32Extra,
                                    TextJustification, BoxJustification);
  const COLOR color = colorTable(COLOR_DIALOG_TEXT);
  const PIXEL nRightEdge = box.x + static_cast<PIXEL>(box.u32Width);
  if (NoOption) {
    U_MENU_vDrawArrowLeft(pBitmap, POINT{box.x + F, box.y + F / 3}, static_cast<U32>(F), color);
    POINT at{box.x + (4 * F) / 3, box.y + F / 2};
    G_STRING_vPut(pBitmap, color, &at, pFont, pLeftString);
  }
  if (YesOption) {
    POINT at{nRightEdge - (4 * F) / 3 - static_cast<PIXEL>(G_STRING_u32GetWidth(pFont, pRightString)),
             box.y + F / 2};
    G_STRING_vPut(pBitmap, color, &at, pFont, pRightString);
    U_MENU_vDrawArrowRight(pBitmap, POINT{nRightEdge - F, box.y + F / 3}, static_cast<U32>(F), color);
  }
}

U32 U_DIALOG_u32DrawMessageBlock(BITMAP *pBitmap, const char *pString, const FONT_DEF *pFont,
                                 U32 u32PixelsBetweenLines, JUSTIFICATION TextJustification,
                                 JUSTIFICATION BoxJustification, const POINT *ppointAnchor, U32 u32BoxWidth,
                                 COLOR colorBackground, COLOR colorForeground) {
  LINEOFTEXT aLines[U_DIALOG_MAX_LINES];
  const U16 u16Limit = static_cast<U16>(std::min<U32>(u32BoxWidth, 0xFFFF));
  const U16 u16Lines = pString != nullptr ? U_DIALOG_u16ExtractTextIntoLines(pString, aLines, pFont, u16Limit) : 0;
  const PIXEL nPitch = static_cast<PIXEL>(G_FONTS_u32GetHeight(pFont) + u32PixelsBetweenLines);
  const PIXEL nHeight = nPitch * u16Lines + 2;
  PIXEL nBottom = 0;
  switch (BoxJustification) {
    case JUSTIFICATION_TOP:
      nBottom = ppointAnchor->y + 1 - nHeight;
      break;
    case JUSTIFICATION_BOTTOM:
      nBottom = ppointAnchor->y;
      break;
    case JUSTIFICATION_CENTER:
      nBottom = ppointAnchor->y - nHeight / 2;
      break;
    default:
      vInvalidBoxJustification();
  }
  const POINT at{ppointAnchor->x, nBottom};
  G_BOX_vDrawFilled(pBitmap, colorBackground, &at, u32BoxWidth, static_cast<U32>(nHeight));
  vDrawLines(pBitmap, aLines, u16Lines, pFont, nBottom + 7 + (u16Lines - 1) * nPitch, nPitch, ppointAnchor->x,
             ppointAnchor->x + static_cast<PIXEL>(u32BoxWidth), TextJustification, colorForeground, false);
  return static_cast<U32>(nHeight);
}

void U_DIALOG_vDrawMessageBlockOutlined(BITMAP *pBitmap, const char *pString, const FONT_DEF *pFont,
                                        U32 u32PixelsBetweenLines, JUSTIFICATION TextJustification,
                                        JUSTIFICATION BoxJustification, const POINT *ppointAnchor,
                                        U32 u32BoxWidth, COLOR colorBackground, COLOR colorForeground,
                                        COLOR colorOutline) {
  const U32 u32Height = U_DIALOG_u32DrawMessageBlock(pBitmap, pString, pFont, u32PixelsBetweenLines,
                                                     TextJustification, BoxJustification, ppointAnchor,
                                                     u32BoxWidth, colorBackground, colorForeground);
  const U32 u32Width = std::min<U32>(u32BoxWidth + 4, static_cast<U32>(pBitmap->pixels_wide));
  const U32 u32OuterHeight = std::min<U32>(u32Height + 4, static_cast<U32>(pBitmap->pixels_high));
  POINT at{ppointAnchor->x - 2, 0};
  if (BoxJustification == JUSTIFICATION_CENTER) {
    at.y = ppointAnchor->y - static_cast<PIXEL>(u32OuterHeight / 2);
  } else if (BoxJustification == JUSTIFICATION_TOP) {
    at.y = ppointAnchor->y + 3 - static_cast<PIXEL>(u32OuterHeight);
  } else {
    at.y = ppointAnchor->y - 2;
  }
  at.x = std::max(at.x, pBitmap->s32ClipLeft);
  at.y = std::max(at.y, pBitmap->s32ClipBottom);
  G_BOX_vDrawRounded(pBitmap, colorOutline, &at, u32Width, u32OuterHeight, 5);
  at = {at.x + 1, at.y + 1};
  G_BOX_vDrawRounded(pBitmap, colorOutline, &at, u32Width - 2, u32OuterHeight - 2, 3);
}

U32 U_DIALOG_u32TextWidth16x17(const char *pString) { return G_STRING_u32GetWidth(std_16x17_font_def_ptr, pString); }
