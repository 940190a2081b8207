// Measuring and drawing NUL-terminated byte strings in a bitmap font.
#pragma once
#include "draw/fonts.h"

U32 G_STRING_u32GetHeight(const FONT_DEF *pFont);
// The sum of the character widths; 0 for a NULL or empty string.
U32 G_STRING_u32GetWidth(const FONT_DEF *pFont, const char *pString);
// Draws the string and leaves pAnchor->x just after it, so callers can continue the line.
void G_STRING_vPut(BITMAP *pDest, COLOR colorFont, POINT *pAnchor, const FONT_DEF *pFont, const char *pString);
