// The info task (digital readouts, their menus, the readout palette and the one-second blink) and the readout
// box drawing service that every subsystem uses. Coordinates are lower-left corners, y upward; a negative x or
// y counts from the right or top edge of the bitmap.
#pragma once
#include "draw/bitmap.h"
#include "draw/fonts.h"
#include "settings/database.h"
#include "kernel/kernel_defs.h"
#include "settings/language.h"
#include "ui/info/format.h"

typedef enum {
  IBS_NONE = 1,
  IBS_GRAY_ROUNDED_BORDER = 2,
  IBS_GRAY_ROUNDED_BORDER_SANS_BACKGROUND = 3,
  IBS_RED_ROUNDED_BORDER = 4,
  IBS_BLACK_ROUNDED_BAR = 5,
  IBS_ALWAYS_BLACK_ROUNDED_BAR = 6,
  IBS_DK_GRAY_ROUNDED_BAR = 7,
  IBS_LT_GRAY_ROUNDED_BAR = 8,
  IBS_WHITE_ROUNDED_BAR = 9,
  IBS_ALWAYS_WHITE_ROUNDED_BAR = 10,
  IBS_BLACK_BAR = 11,
  IBS_ALWAYS_BLACK_BAR = 12,
  IBS_RED_BAR = 13,
  IBS_DK_GRAY_BAR = 14,
  IBS_LT_GRAY_BAR = 15,
  IBS_WHITE_BAR = 16,
  IBS_ALWAYS_WHITE_BAR = 17,
  IBS_SEMITRANSPARENT_WHITE_BAR = 18,
  IBS_SEMITRANSPARENT_WHITE_ROUNDED_BAR = 19,
  IBS_SEMITRANSPARENT_GRAY_ROUNDED_BORDER = 20,
} INFO_BOX_STYLE;

typedef enum {
  INSTRUMENTATION_JUSTIFY_LEFT = 1,
  INSTRUMENTATION_JUSTIFY_CENTER = 2,
  INSTRUMENTATION_JUSTIFY_RIGHT = 3,
  INSTRUMENTATION_JUSTIFY_RIGHT_NO_TICK = 4,
  JUSTIFY_LEFT = 5,
  JUSTIFY_CENTER = 6,
  JUSTIFY_RIGHT = 7,
  JUSTIFY_LEFT_INDENTED = 8,
} INFO_JUSTIFICATION;

// Readout colours in the colour table.
constexpr U32 INFO_COLOR_BACKGROUND = 128;
constexpr U32 INFO_COLOR_SEPARATOR = 129;
constexpr U32 INFO_COLOR_FRAME = 130;
constexpr U32 INFO_COLOR_FOREGROUND = 131;

// One readout box for live item fcid; returns its width, 0 when the item does not exist.
S32 T_INFO_nDrawDigitsInfoBox(BITMAP *pBitmap, S32 nMinWidth, S32 nHeight, S32 nXPosition, S32 nYPosition,
                              FOURCHARID fcid, const FONT_DEF *pValueFont, const FONT_DEF *pUnitsFont,
                              const FONT_DEF *pTenthsFont, DIGITS_FORMAT eForceFormat, INFO_BOX_STYLE eBoxStyle,
                              INFO_JUSTIFICATION eJustification, U32 nLang);
S32 T_INFO_nDrawInfoBox(BITMAP *pBitmap, S32 nMinWidth, S32 nHeight, S32 nXPosition, S32 nYPosition,
                        FOURCHARID fcid, const FONT_DEF *pValueFont, const FONT_DEF *pUnitsFont,
                        INFO_BOX_STYLE eBoxStyle, INFO_JUSTIFICATION eJustification, U32 nLang);
// The width a box would take: 0 for a missing item, else value + units width + 13 (styles 2 and 20) or + 1,
// at least nMinWidth.
S32 T_INFO_nMeasureInfoBox(S32 nMinWidth, FOURCHARID fcid, const FONT_DEF *pValueFont, const FONT_DEF *pUnitsFont,
                           INFO_BOX_STYLE eBoxStyle, U32 nLang);
S32 T_INFO_nMeasureDigitsInfoBox(S32 nMinWidth, FOURCHARID fcid, const FONT_DEF *pValueFont,
                                 const FONT_DEF *pUnitsFont, const FONT_DEF *pTenthsFont,
                                 DIGITS_FORMAT eForceFormat, INFO_BOX_STYLE eBoxStyle, U32 nLang);
// The background of a box.
void T_INFO_vDrawInfoBar(BITMAP *pBitmap, S32 nBoxWidth, S32 nHeight, S32 nXPosition, S32 nYPosition,
                         INFO_BOX_STYLE eBoxStyle);
// The short title of the items that have one, at *ppt.
void T_INFO_vDrawInfoBoxTitle(BITMAP *pBitmap, POINT *ppt, FOURCHARID fcid, const FONT_DEF *pUnitsFont, U32 nLang);
void T_INFO_vDrawText(BITMAP *pBitmap, S32 nXPosition, S32 nYPosition, const ARRAY_OF_STRING_PTRS *pString,
                      const FONT_DEF *pFont, U32 nLang);
void T_INFO_vDrawInfoTitleText(BITMAP *pBitmap, S32 nXPosition, S32 nYPosition, const ARRAY_OF_STRING_PTRS *pString,
                               const FONT_DEF *pFont, U32 nLang);
// Ends the text at x (its left edge clamped at 0).
void T_INFO_vDrawTextRight(BITMAP *pBitmap, S32 nXPosition, S32 nYPosition, const ARRAY_OF_STRING_PTRS *pString,
                           const FONT_DEF *pFont, U32 nLang);
// The cursor mark centred on ('ICPX', 'ICPY').
void T_INFO_vDrawCursor(BITMAP *pBitmap, U32 nLang, BOOLEAN bWaypointCursorEnabled);

BOOLEAN T_INFO_bBlinkState(void);
// Transparency of the semi-transparent styles from a per-palette vector: bits 8..15 for the second palette,
// 16..23 for the third, 0..7 otherwise.
void T_INFO_vSetAlpha(U32 u32AlphaVector);
U8 T_INFO_u8ConvertAlphaVector(U32 u32AlphaVector);
// The item exists, is of type D_FCID and names an existing non-zero key.
BOOLEAN T_INFO_bFCIDIsValidSelection(FOURCHARID fcid);
// The item exists, is valid and is non-zero.
BOOLEAN T_INFO_bFCIDNonZero(FOURCHARID fcid);
void T_INFO_vSetDefaultSettings(BOOLEAN bForceFactoryDefaults);
// Rebuilds the readout menus.
void T_INFO_vUpdateInfoboxChoices(BOOLEAN bNavigationRelatedOnlyUpdate);

// The info task's start (mailbox key, defaults, font set, palette, timer items) and one fired semaphore of its
// wait; T_INFO_vMain runs both.
void T_INFO_vInit(void);
void T_INFO_vHandleSema(SEMA sema);

// Title of the readout selection sub-menu (the menu task recognises it).
extern const ARRAY_OF_STRING_PTRS Select_Readouts;
