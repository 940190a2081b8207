// One-pixel lines: plain, alpha-blended (horizontal and vertical) and dashed.
#pragma once
#include "draw/bitmap.h"

void G_LINE_vDraw(BITMAP *pDest, COLOR color, const POINT *pStart, const POINT *pEnd);
void G_LINE_vDrawAlpha(BITMAP *pDest, COLOR color, const POINT *pStart, const POINT *pEnd, U8 u8Alpha);
// Horizontal and vertical lines only; the ends come back clamped into the full-screen clip rectangle.
void G_LINE_vDrawPatterned(BITMAP *pDest, COLOR color, POINT *pStart, POINT *pEnd, PATTERN pattern);
// The general routine: symmetric double step, clipped per pixel.
void line_Draw(BITMAP *pDest, COLOR color, const POINT *pStart, const POINT *pEnd);
