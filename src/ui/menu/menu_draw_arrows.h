// The small triangle arrows of menu controls and the value text format, shared with other tasks' lists,
// editors and dialogs. Anchors are the lower-left (base) point; y grows upward.
#pragma once
#include <cstddef>

#include "draw/bitmap.h"

// Prints the value with 0, 1 or 2 decimals for those precisions and 3 for any other, cut to the buffer's size
// (by default the 12 bytes of a control's end-text buffer).
constexpr size_t U_MENU_PRECISION_TEXT_SIZE = 12;
void U_MENU_vPrecisionFormat(char *endString, float value, U8 precision, size_t szSize = U_MENU_PRECISION_TEXT_SIZE);

// Horizontal base of arrowWidth pixels at the anchor (an even width loses one), tip down or up.
void U_MENU_vDrawArrowDown(BITMAP *pBitmap, POINT anchor, U32 arrowWidth, COLOR color);
void U_MENU_vDrawArrowUp(BITMAP *pBitmap, POINT anchor, U32 arrowWidth, COLOR color);
// Vertical base of arrowHeight pixels from the anchor up (an even height loses one), tip right or left.
void U_MENU_vDrawArrowRight(BITMAP *pBitmap, POINT anchor, U32 arrowHeight, COLOR color);
void U_MENU_vDrawArrowLeft(BITMAP *pBitmap, POINT anchor, U32 arrowHeight, COLOR color);
