// Dialog boxes and message blocks drawn by the task that owns the message, inside its own layer: word wrap,
// framed dialogs (optionally with icons or a No/Yes row) and filled message blocks at an anchor.
// Nothing is kept between calls; every function draws into the bitmap it is given.
#pragma once
#include "draw/bitmap.h"
#include "draw/fonts.h"
#include "draw/icon.h"

enum JUSTIFICATION : U32 {
  JUSTIFICATION_NOT_USED = 0,
  JUSTIFICATION_LEFT = 1,
  JUSTIFICATION_RIGHT = 2,
  JUSTIFICATION_CENTER = 3,
  JUSTIFICATION_TOP = 4,
  JUSTIFICATION_BOTTOM = 5,
  JUSTIFICATION_SCREEN_CENTER = 6,
};

// One wrapped line: where it starts in the caller's text, how many characters it has and its width in pixels
// (the sum of its character widths minus one).
typedef struct {
  const char *pcStartOfText;
  U8 u8NumberOfCharsInLine;
  U16 u16WidthOfLine;
} LINEOFTEXT;

enum : U32 {
  U_DIALOG_MAX_LINES = 20,     // lines of one text; the rest is dropped
  U_DIALOG_LINE_BUFFER = 120,  // bytes of the buffer one drawn line is copied into
};

// Width of the widest word (a run of characters other than space); 0 for an empty text or one of spaces.
U32 U_DIALOG_u32GetMaxWordLength(const char *pString, const FONT_DEF *pFont);

// Breaks the text into at most 20 lines of whole words no wider than u16WidthInPixels (a lone word wider than
// that overflows its line). pLinesOfTextArray has room for 20 lines. Returns the number of lines.
U16 U_DIALOG_u16ExtractTextIntoLines(const char *pChar, LINEOFTEXT *pLinesOfTextArray, const FONT_DEF *pFont,
                                     U16 u16WidthInPixels);

// A framed box (colour-table entries 130 frame, 128 fill, 131 text) with the wrapped text and optional icons
// left and right of it. Box justification CENTER, TOP, BOTTOM or SCREEN_CENTER; any other is fatal.
void U_DIALOG_vDrawDialog(BITMAP *pBitmap, const char *pString, const FONT_DEF *pFont, U16 u16PixelsBetweenLines,
                          U16 u16BoxWidth, const ICON *pLeftHandIcon, const ICON *pRightHandIcon,
                          JUSTIFICATION TextJustification, JUSTIFICATION BoxJustification);

// The framed box without icons and with a row of choices at its bottom: a left arrow and pLeftString when
// NoOption is set, pRightString and a right arrow when YesOption is set.
void U_DIALOG_vDrawDialogWithConfirm(BITMAP *pBitmap, const char *pString, const FONT_DEF *pFont,
                                     U16 u16PixelsBetweenLines, U16 u16BoxWidth, const char *pLeftString,
                                     const char *pRightString, JUSTIFICATION TextJustification,
                                     JUSTIFICATION BoxJustification, BOOLEAN NoOption, BOOLEAN YesOption);

// A filled block u32BoxWidth wide at the anchor with the wrapped text; box justification TOP (the anchor is the
// block's top row), BOTTOM (its bottom row) or CENTER; any other is fatal. Returns the block's height.
U32 U_DIALOG_u32DrawMessageBlock(BITMAP *pBitmap, const char *pString, const FONT_DEF *pFont,
                                 U32 u32PixelsBetweenLines, JUSTIFICATION TextJustification,
                                 JUSTIFICATION BoxJustification, const POINT *ppointAnchor, U32 u32BoxWidth,
                                 COLOR colorBackground, COLOR colorForeground);

// The message block with two rounded outlines around it, kept inside the bitmap.
void U_DIALOG_vDrawMessageBlockOutlined(BITMAP *pBitmap, const char *pString, const FONT_DEF *pFont,
                                        U32 u32PixelsBetweenLines, JUSTIFICATION TextJustification,
                                        JUSTIFICATION BoxJustification, const POINT *ppointAnchor,
                                        U32 u32BoxWidth, COLOR colorBackground, COLOR colorForeground,
                                        COLOR colorOutline);

// Width in pixels of a text in the 16 x 17 standard font.
U32 U_DIALOG_u32TextWidth16x17(const char *pString);
