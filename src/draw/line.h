// One-pixel lines: plain, alpha-blended (horizontal and vertical) and dashed.
#pragma once
#include "draw/bitmap.h"

void G_LINE_vDraw(BITMAP *pDest, COLOR color, const POINT *pStart, const POINT *pEnd);
void G_LINE_vDrawAlpha(BITMAP *pDest, COLOR color, const POINT *pStart, const POINT *pEnd, U8 u8Alpha);
// Horizontal lines from xa to xb on every row from yLow to yHigh, clipped once: the rows of filled shapes.
void G_LINE_vDrawRows(BITMAP *pDest, COLOR color, PIXEL xa, PIXEL xb, S64 yLow, S64 yHigh);
void G_LINE_vDrawRowsAlpha(BITMAP *pDest, COLOR color, PIXEL xa, PIXEL xb, S64 yLow, S64 yHigh, U8 u8Alpha);
// Horizontal and vertical lines only; the ends come back clamped into the full-screen clip rectangle.
void G_LINE_vDrawPatterned(BITMAP *pDest, COLOR color, POINT *pStart, POINT *pEnd, PATTERN pattern);
// The general routine: symmetric double step, clipped per pixel.
void line_Draw(BITMAP *pDest, COLOR color, const POINT *pStart, const POINT *pEnd);
