// Clipping a polygon against an axis-parallel rectangle before it is filled.
#pragma once
#include <vector>

#include "chartlib/raster/gp_gl.h"
#include "draw/bitmap.h"

enum {
    VERTEX_LIST_POINTS = 128,
};

// The clipped outline; points beyond the fixed list go on in vOverflow, so no vertex is ever lost.
typedef struct {
    S32 count;
    POINT point[VERTEX_LIST_POINTS];
    std::vector<POINT> vOverflow;
} VERTEX_LIST;

typedef struct {
    VERTEX_LIST vlResult;
    S32 nLeft, nXPrevLeft, nYPrevLeft;
    S32 nRight, nXPrevRight, nYPrevRight;
    S32 nTop, nXPrevTop, nYPrevTop;
    S32 nBottom, nXPrevBottom, nYPrevBottom;
} POLY_CLIP_CONTEXT;

// Clips izzNoVertices (x, y) pairs against nLeft ≤ x ≤ nRight, nBottom ≤ y ≤ nTop and writes the result
// over the input; returns its point count, or 0 (input untouched) when fewer than two points result.
// The array must have room for the clipped outline.
SINT U_POLY_nClip(SINT nLeft, SINT nRight, SINT nTop, SINT nBottom, SINT *pzzVertices, const SINT izzNoVertices);

// The clip alone: the result stays in the context.
void U_POLY_vClipToContext(POLY_CLIP_CONTEXT *pContext, SINT nLeft, SINT nRight, SINT nTop, SINT nBottom,
                           const SINT *pzzVertices, SINT izzNoVertices);
// Point i of a clipped outline.
POINT U_POLY_GetPoint(const VERTEX_LIST *pList, S32 i);

// Clips against the fill's screen box and adds the result as one ring to the fill; the input is not changed.
// Fewer than two result points add nothing and succeed.
ERRORCODE U_POLY_eClipSegment(GL_POLYFILL_PTR pzzPolyFill, const SINT *pzzVertices, const SINT izzNoVertices);
