// A pixel position, shared by the drawing library and the chart libraries.
#pragma once
#include "corvan/types.h"

typedef S32 PIXEL;

typedef struct tag_POINT {
    PIXEL x;
    PIXEL y;
} POINT;
