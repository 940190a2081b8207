// Lines and points from the pen: solid, patterned and brush lines, cut to the clip rectangle.
#include <cmath>
#include <cstdlib>

#include "chartlib/raster/gl_pixel.h"

namespace {

// Draws one position of a solid or patterned line; the patterned one takes a step per position.
inline void plot(GR_CONTEXT *gc, SINT x, SINT r, bool patterned)
{
  if (!patterned || gf_CheckPattern(gc)) {
    gf_PutPixel(gc, x, r);
  }
}

ERRORCODE drawStepped(GR_CONTEXT *gc, SINT x0, SINT r0, SINT x1, SINT r1, SINT clip, bool patterned)
{
  gc->cp = {x1, r1};
  if (std::abs(x1 - x0) <= 1 && std::abs(r1 - r0) <= 1) {
    if (patterned && !gf_CheckPattern(gc)) {
      return GR_WARN_CLIPPED;
    }
    if (!gf_Inside(gc, x0, r0)) {
      return GR_WARN_CLIPPED;
    }
    gf_PutPixel(gc, x0, r0);
    return CL_SUCCESS;
  }
  SINT enddrawn = 0, startskipped = 0;
  if (clip) {
    const ERRORCODE res = gf_ClipLine(gc, &x0, &r0, &x1, &r1, &enddrawn, &startskipped);
    if (res != CL_SUCCESS) {
      return res;
    }
  }
  if (x0 == x1 && !patterned) {
    gf_VertLine(gc, x0, r0, r1 - r0);
  } else if (r0 == r1 && !patterned) {
    gf_HorLine(gc, x0, r0, x1 - x0);
  } else if (x0 != x1 || r0 != r1) {
    GlStep st(x0, r0, x1, r1);
    if (!startskipped) {
      plot(gc, x0, r0, patterned);
    }
    for (st.next(); !st.at(x1, r1); st.next()) plot(gc, st.x, st.r, patterned);
  }
  if (enddrawn) {
    gf_PutPixel(gc, x1, r1);
  }
  return CL_SUCCESS;
}

struct Crossing {
  double x, r;
};

// Crossing of the line through P0, P1 with a clip edge, when its other coordinate lies on the rectangle.
bool rowCrossing(const GR_CONTEXT *gc, SINT x0, SINT r0, SINT x1, SINT r1, SINT e, Crossing *c)
{
  const double x = x0 + (double)(x1 - x0) / (double)(r1 - r0) * (double)(e - r0);
  *c = {x, (double)e};
  return x >= gc->cliporig.px && x <= gc->cliplim.px;
}

bool colCrossing(const GR_CONTEXT *gc, SINT x0, SINT r0, SINT x1, SINT r1, SINT e, Crossing *c)
{
  const double r = r0 + (double)(r1 - r0) / (double)(x1 - x0) * (double)(e - x0);
  *c = {(double)e, r};
  return r >= gc->cliporig.py && r <= gc->cliplim.py;
}

} // namespace

ERRORCODE gf_ClipLine(GR_CONTEXT *gc, SINT *px0, SINT *pr0, SINT *px1, SINT *pr1, SINT *enddrawn,
                      SINT *startskipped)
{
  const SINT x0 = *px0, r0 = *pr0, x1 = *px1, r1 = *pr1;
  const SINT L = gc->cliporig.px, T = gc->cliporig.py, R = gc->cliplim.px, B = gc->cliplim.py;
  const bool in0 = gf_Inside(gc, x0, r0), in1 = gf_Inside(gc, x1, r1);
  *enddrawn = 0;
  *startskipped = 0;
  if (in0 && in1) {
    return CL_SUCCESS;
  }
  if (in0 || in1) {
    *enddrawn = 1;
    const SINT ix = in0 ? x0 : x1, ir = in0 ? r0 : r1; // the inside end
    const SINT ox = in0 ? x1 : x0, orow = in0 ? r1 : r0;
    if (x0 == x1) {
      const SINT edge = (r0 < T || r1 < T) ? T : B;
      SINT sr = ir;
      if (!in0) {
        sr = edge == T ? ir - 1 : ir + 1;
        if (sr < T || sr > B) {
          return GR_WARN_CLIPPED;
        }
      }
      *px0 = ix;
      *pr0 = sr;
      *px1 = ix;
      *pr1 = edge;
      return CL_SUCCESS;
    }
    if (r0 == r1) {
      const SINT edge = (x0 < L || x1 < L) ? L : R;
      SINT sx = ix;
      if (!in0) {
        sx = edge == L ? ix - 1 : ix + 1;
        if (sx < L || sx > R) {
          return GR_WARN_CLIPPED;
        }
      }
      *px0 = sx;
      *pr0 = ir;
      *px1 = edge;
      *pr1 = ir;
      return CL_SUCCESS;
    }
    Crossing c{};
    bool found = false;
    if (orow < T) found = rowCrossing(gc, x0, r0, x1, r1, T, &c);
    if (!found && orow > B) found = rowCrossing(gc, x0, r0, x1, r1, B, &c);
    if (!found && ox < L) found = colCrossing(gc, x0, r0, x1, r1, L, &c);
    if (!found && ox > R) found = colCrossing(gc, x0, r0, x1, r1, R, &c);
    if (!found) {
      return GR_WARN_CLIPPED;
    }
    *startskipped = in0 ? 0 : 1;
    *px0 = ix;
    *pr0 = ir;
    *px1 = (SINT)c.x;
    *pr1 = (SINT)c.r;
    return CL_SUCCESS;
  }
  *enddrawn = 1;
  if ((x0 < L && x1 < L) || (x0 > R && x1 > R) || (r0 < T && r1 < T) || (r0 > B && r1 > B)) {
    return GR_WARN_CLIPPED;
  }
  if (x0 == x1) {
    *pr0 = T;
    *pr1 = B;
    return CL_SUCCESS;
  }
  if (r0 == r1) {
    *px0 = L;
    *px1 = R;
    return CL_SUCCESS;
  }
  Crossing found[4];
  SINT n = 0;
  Crossing c{};
  if ((r0 < T || r1 < T) && rowCrossing(gc, x0, r0, x1, r1, T, &c)) found[n++] = c;
  if ((r0 > B || r1 > B) && rowCrossing(gc, x0, r0, x1, r1, B, &c)) found[n++] = c;
  if ((x0 < L || x1 < L) && colCrossing(gc, x0, r0, x1, r1, L, &c)) found[n++] = c;
  if ((x0 > R || x1 > R) && colCrossing(gc, x0, r0, x1, r1, R, &c)) found[n++] = c;
  if (n < 2) {
    return GR_WARN_CLIPPED;
  }
  *px0 = (SINT)found[0].x;
  *pr0 = (SINT)found[0].r;
  *px1 = (SINT)found[1].x;
  *pr1 = (SINT)found[1].r;
  return CL_SUCCESS;
}

ERRORCODE gf_DrawSolidLine(GR_CONTEXT *gc, SINT x0, SINT r0, SINT x1, SINT r1, SINT clip)
{
  return drawStepped(gc, x0, r0, x1, r1, clip, false);
}

ERRORCODE gf_DrawPttrnLine(GR_CONTEXT *gc, SINT x0, SINT r0, SINT x1, SINT r1, SINT clip)
{
  const PATTERNATTRIB &p = gc->ptrnattrib;
  if (p.type == 0 && p.index == 255) {
    return gf_DrawUndulatedLine(gc, x0, r0, x1, r1);
  }
  if (p.type == 0 && p.index == 254) {
    return gf_DrawCrossLine(gc, x0, r0, x1, r1, 1);
  }
  return drawStepped(gc, x0, r0, x1, r1, clip, true);
}

ERRORCODE gf_PutBrushPixel(GR_CONTEXT *gc, SINT x, SINT r, SINT ex, SINT er)
{
  const SINT h = gc->PixelSize - 1;
  ERRORCODE res = CL_SUCCESS;
  if (x == gc->cp.px && r == gc->cp.py) {
    for (SINT rr = r - h; rr <= r + h; rr++) {
      for (SINT xx = x - h; xx <= x + h; xx++) gl_PutClipped(gc, xx, rr, &res);
    }
    return res;
  }
  // Only the edge the previous stamp did not cover: the new row, then the new column.
  const SINT edgeCol = x + ex * h;
  if (er != 0) {
    const SINT edgeRow = r + er * h;
    for (SINT xx = x - h; xx <= x + h; xx++) {
      if (ex == 0 || xx != edgeCol) gl_PutClipped(gc, xx, edgeRow, &res);
    }
  }
  if (ex != 0) {
    for (SINT rr = r - h; rr <= r + h; rr++) gl_PutClipped(gc, edgeCol, rr, &res);
  }
  return res;
}

ERRORCODE gf_DrawBrushLine(GR_CONTEXT *gc, SINT x0, SINT r0, SINT x1, SINT r1)
{
  if (x0 == x1 && r0 == r1) {
    return CL_SUCCESS;
  }
  GlStep st(x0, r0, x1, r1);
  // The first stamp takes the step along the major axis, or both on a diagonal; later ones the step made.
  SINT ex = st.xmajor ? st.sx : 0, er = (!st.xmajor || st.ax == st.ar) ? st.sr : 0;
  for (;;) {
    gf_PutBrushPixel(gc, st.x, st.r, ex, er);
    const SINT px = st.x, pr = st.r;
    st.next();
    if (st.at(x1, r1)) break;
    ex = st.x != px ? st.sx : 0;
    er = st.r != pr ? st.sr : 0;
  }
  gc->cp = {x1, r1};
  return CL_SUCCESS;
}

ERRORCODE gf_DrawAbsLine(GR_CONTEXT *gc, SINT x, SINT r)
{
  const SINT x0 = gc->cp.px, r0 = gc->cp.py;
  const bool brush = gc->DrTool == BRUSH && gc->PixelSize > 1;
  if (gc->ptrnattrib.status) {
    return gf_DrawPttrnLine(gc, x0, r0, x, r, 1);
  }
  if (brush) {
    return gf_DrawBrushLine(gc, x0, r0, x, r);
  }
  return gf_DrawSolidLine(gc, x0, r0, x, r, 1);
}

ERRORCODE gf_DrawRelLine(GR_CONTEXT *gc, SINT dx, SINT dr)
{
  return gf_DrawAbsLine(gc, gc->cp.px + dx, gc->cp.py + dr);
}

ERRORCODE gr_DrawAbsLine(GR_CONTEXT *gc, SINT x, SINT y) { return gf_DrawAbsLine(gc, x, gl_Row(gc, y)); }

ERRORCODE gr_DrawRelLine(GR_CONTEXT *gc, SINT dx, SINT dy) { return gf_DrawRelLine(gc, dx, -dy); }

ERRORCODE gr_ClipAndDrawAbsLine(GR_CONTEXT *gc, SINT x, SINT y, SINT clip)
{
  const SINT x0 = gc->cp.px, r0 = gc->cp.py, r = gl_Row(gc, y);
  if (gc->ptrnattrib.status == 1) {
    return gf_DrawPttrnLine(gc, x0, r0, x, r, clip);
  }
  if (gc->DrTool == BRUSH && gc->PixelSize > 1) {
    return gf_DrawBrushLine(gc, x0, r0, x, r);
  }
  return gf_DrawSolidLine(gc, x0, r0, x, r, clip);
}

ERRORCODE gl_SetPixelAt(GR_CONTEXT *gc, SINT x, SINT r)
{
  gc->cp = {x, r};
  if (!gf_Inside(gc, x, r)) {
    return GR_WARN_CLIPPED;
  }
  if (!gf_CheckPattern(gc)) {
    return CL_SUCCESS;
  }
  if (gc->DrTool == BRUSH && gc->PixelSize > 1) {
    gf_PutBrushPixel(gc, x, r, 0, 0);
  } else {
    gf_PutPixel(gc, x, r);
  }
  return CL_SUCCESS;
}

ERRORCODE gr_SetPixel(GR_CONTEXT *gc, SINT x, SINT y) { return gl_SetPixelAt(gc, x, gl_Row(gc, y)); }
