// Circles given by centre and diameter (odd diameters allowed).
#pragma once
#include "draw/bitmap.h"

// Points beyond an edge of the bitmap are drawn on that edge.
void G_CIRCLE_vDraw(BITMAP *pDest, COLOR color, const POINT *pCenter, U32 u32Diameter);
void G_CIRCLE_vDrawWithNoBound(BITMAP *pDest, COLOR color, const POINT *pCenter, U32 u32Diameter);
void G_CIRCLE_vDrawFilled(BITMAP *pDest, COLOR color, const POINT *pCenter, U32 u32Diameter);
