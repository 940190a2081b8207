// Polygon clipping: four boundary stages (left, right, top, bottom) pass points on one at a time, each
// remembering the last point it saw; the first and last vertices are clamped onto the rectangle.
#include "draw/poly.h"

#include <algorithm>

namespace {

enum STAGE { LEFT, RIGHT, TOP, BOTTOM, RESULT };

S32 &prevX(POLY_CLIP_CONTEXT *c, int k)
{
    S32 *ap[] = {&c->nXPrevLeft, &c->nXPrevRight, &c->nXPrevTop, &c->nXPrevBottom};
    return *ap[k];
}

S32 &prevY(POLY_CLIP_CONTEXT *c, int k)
{
    S32 *ap[] = {&c->nYPrevLeft, &c->nYPrevRight, &c->nYPrevTop, &c->nYPrevBottom};
    return *ap[k];
}

// Signed distance inward from the boundary of stage k: ≥ 0 inside, > 0 strictly inside.
S64 sInward(const POLY_CLIP_CONTEXT *c, int k, S32 x, S32 y)
{
    switch (k) {
    case LEFT:
        return (S64)x - c->nLeft;
    case RIGHT:
        return (S64)c->nRight - x;
    case TOP:
        return (S64)c->nTop - y;
    default:
        return (S64)y - c->nBottom;
    }
}

// Where segment P–Q crosses the boundary of stage k (only called when it passes from one side to the other).
POINT intersect(const POLY_CLIP_CONTEXT *c, int k, S32 x, S32 y, S32 xQ, S32 yQ)
{
    if (k == LEFT || k == RIGHT) {
        const S32 X = k == LEFT ? c->nLeft : c->nRight;
        return POINT{X, (S32)(y + ((S64)(X - (S64)x) * ((S64)yQ - y)) / ((S64)xQ - x))};
    }
    const S32 Y = k == TOP ? c->nTop : c->nBottom;
    return POINT{(S32)(x + ((S64)(Y - (S64)y) * ((S64)xQ - x)) / ((S64)yQ - y)), Y};
}

POINT clampTo(const POLY_CLIP_CONTEXT *c, int k, S32 x, S32 y)
{
    switch (k) {
    case LEFT:
        return POINT{std::max(x, c->nLeft), y};
    case RIGHT:
        return POINT{std::min(x, c->nRight), y};
    case TOP:
        return POINT{x, std::min(y, c->nTop)};
    default:
        return POINT{x, std::max(y, c->nBottom)};
    }
}

void vAddResult(POLY_CLIP_CONTEXT *c, S32 x, S32 y)
{
    VERTEX_LIST &vl = c->vlResult;
    if (vl.count > 0) {
        const POINT last = U_POLY_GetPoint(&vl, vl.count - 1);
        if (last.x == x && last.y == y) {
            return;
        }
    }
    if (vl.count < VERTEX_LIST_POINTS) {
        vl.point[vl.count] = POINT{x, y};
    } else {
        vl.vOverflow.push_back(POINT{x, y});
    }
    vl.count++;
}

// One stage; bLast marks the polygon's last vertex, which is clamped instead of dropped.
void vStage(POLY_CLIP_CONTEXT *c, int k, S32 x, S32 y, bool bLast)
{
    if (k == RESULT) {
        vAddResult(c, x, y);
        return;
    }
    const S32 xQ = prevX(c, k), yQ = prevY(c, k);
    prevX(c, k) = x;
    prevY(c, k) = y;
    if (sInward(c, k, x, y) >= 0) {
        if (sInward(c, k, xQ, yQ) < 0) {
            const POINT i = intersect(c, k, x, y, xQ, yQ);
            vStage(c, k + 1, i.x, i.y, false);
        }
        vStage(c, k + 1, x, y, bLast);
    } else {
        if (sInward(c, k, xQ, yQ) > 0) {
            const POINT i = intersect(c, k, x, y, xQ, yQ);
            vStage(c, k + 1, i.x, i.y, false);
        }
        if (bLast) {
            const POINT p = clampTo(c, k, x, y);
            vStage(c, k + 1, p.x, p.y, true);
        }
    }
}

} // namespace

POINT U_POLY_GetPoint(const VERTEX_LIST *pList, S32 i)
{
    return i < VERTEX_LIST_POINTS ? pList->point[i] : pList->vOverflow[(size_t)(i - VERTEX_LIST_POINTS)];
}

void U_POLY_vClipToContext(POLY_CLIP_CONTEXT *pContext, SINT nLeft, SINT nRight, SINT nTop, SINT nBottom,
                           const SINT *pzzVertices, SINT izzNoVertices)
{
    POLY_CLIP_CONTEXT *c = pContext;
    c->vlResult.count = 0;
    c->vlResult.vOverflow.clear();
    c->nLeft = nLeft;
    c->nRight = nRight;
    c->nTop = nTop;
    c->nBottom = nBottom;
    if (izzNoVertices < 1) {
        return;
    }
    const S32 x0 = pzzVertices[0], y0 = pzzVertices[1];
    c->nXPrevLeft = x0;
    c->nYPrevLeft = y0;
    c->nXPrevRight = std::max(x0, nLeft);
    c->nYPrevRight = y0;
    c->nXPrevTop = std::min(c->nXPrevRight, nRight);
    c->nYPrevTop = y0;
    c->nXPrevBottom = c->nXPrevTop;
    c->nYPrevBottom = std::min(y0, nTop);
    vAddResult(c, std::clamp(x0, nLeft, std::max(nLeft, nRight)), std::clamp(y0, nBottom, std::max(nBottom, nTop)));
    for (SINT i = 1; i < izzNoVertices; i++) {
        vStage(c, LEFT, pzzVertices[2 * i], pzzVertices[2 * i + 1], i == izzNoVertices - 1);
    }
}

SINT U_POLY_nClip(SINT nLeft, SINT nRight, SINT nTop, SINT nBottom, SINT *pzzVertices, const SINT izzNoVertices)
{
    POLY_CLIP_CONTEXT context;
    U_POLY_vClipToContext(&context, nLeft, nRight, nTop, nBottom, pzzVertices, izzNoVertices);
    const S32 s32Count = context.vlResult.count;
    if (s32Count < 2) {
        return 0;
    }
    for (S32 i = 0; i < s32Count; i++) {
        const POINT p = U_POLY_GetPoint(&context.vlResult, i);
        pzzVertices[2 * i] = p.x;
        pzzVertices[2 * i + 1] = p.y;
    }
    return s32Count;
}

ERRORCODE U_POLY_eClipSegment(GL_POLYFILL_PTR pzzPolyFill, const SINT *pzzVertices, const SINT izzNoVertices)
{
    const GL_BOUNDINGBOX &box = pzzPolyFill->polyctx.scrbox;
    POLY_CLIP_CONTEXT context;
    U_POLY_vClipToContext(&context, box.xmin, box.xmax, box.ymax, box.ymin, pzzVertices, izzNoVertices);
    const S32 s32Count = context.vlResult.count;
    if (s32Count < 2) {
        return CL_SUCCESS;
    }
    // Outlines past the fixed list go to the heap rather than being cut short.
    PIXELPOS aPoints[VERTEX_LIST_POINTS];
    std::vector<PIXELPOS> vPoints;
    PIXELPOS *pPoints = aPoints;
    if (s32Count > VERTEX_LIST_POINTS) {
        vPoints.resize((size_t)s32Count);
        pPoints = vPoints.data();
    }
    for (S32 i = 0; i < s32Count; i++) {
        const POINT p = U_POLY_GetPoint(&context.vlResult, i);
        pPoints[i] = PIXELPOS{p.x, p.y};
    }
    return gr_PolyFillAddVertices(pzzPolyFill, pPoints, s32Count);
}
