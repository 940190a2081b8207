// Circular arcs, angles in degrees counter-clockwise from the positive x axis (y up).
#pragma once
#include "draw/bitmap.h"

typedef enum {
    NO_PART = 0,
    STARTS_HERE = 1,
    ENTIRELY_FILLED = 2,
    ENDS_HERE = 3,
    ALL_HERE = 4,
    STARTS_ENDS_HERE = 5,
} ARC_CONDITIONS;

void G_ARC_vDraw(BITMAP *pDest, COLOR color, const POINT *pCenter, U32 u32Radius, float fStartAngle,
                 float fEndAngle);
