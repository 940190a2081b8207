// The stand-alone line between two points, filled rectangles and arcs.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "chartlib/raster/gl_pixel.h"

namespace {

enum : SINT { kBelow = 1, kAbove = 2, kRight = 4, kLeft = 8 };

SINT rowCode(const GR_CONTEXT *gc, double r)
{
  return r > gc->cliplim.py ? kBelow : r < gc->cliporig.py ? kAbove : 0;
}

SINT colCode(const GR_CONTEXT *gc, double x)
{
  return x > gc->cliplim.px ? kRight : x < gc->cliporig.px ? kLeft : 0;
}

// Cohen-Sutherland against the clip rectangle; false when nothing of the line is inside.
bool cutLine(const GR_CONTEXT *gc, SINT *x0, SINT *r0, SINT *x1, SINT *r1)
{
  const double gx0 = *x0, gr0 = *r0, gx1 = *x1, gr1 = *r1; // the given line, for its slope
  double p[2][2] = {{gx0, gr0}, {gx1, gr1}};
  SINT code[2] = {rowCode(gc, gr0) | colCode(gc, gx0), rowCode(gc, gr1) | colCode(gc, gx1)};
  // Each pass settles one axis of one end, so four passes settle both ends.
  for (SINT pass = 0; code[0] | code[1]; pass++) {
    if ((code[0] & code[1]) || pass == 4) {
      return false;
    }
    const SINT e = code[0] ? 0 : 1;
    double &x = p[e][0], &r = p[e][1];
    if (code[e] & (kBelow | kAbove)) {
      const double edge = (code[e] & kBelow) ? gc->cliplim.py : gc->cliporig.py;
      x += (gx1 - gx0) / (gr1 - gr0) * (edge - r);
      r = edge;
      code[e] = colCode(gc, x);
    } else {
      const double edge = (code[e] & kRight) ? gc->cliplim.px : gc->cliporig.px;
      r += (gr1 - gr0) / (gx1 - gx0) * (edge - x);
      x = edge;
      code[e] = rowCode(gc, r);
    }
  }
  *x0 = (SINT)p[0][0];
  *r0 = (SINT)p[0][1];
  *x1 = (SINT)p[1][0];
  *r1 = (SINT)p[1][1];
  return true;
}

inline SINT roundAway(double v) { return (SINT)std::lround(v); }

} // namespace

ERRORCODE gr_SmartDrawLine(GR_CONTEXT *gc, SINT clip, SINT x0, SINT y0, SINT x1, SINT y1)
{
  SINT r0 = gl_Row(gc, y0), r1 = gl_Row(gc, y1);
  if (clip == 1 && !cutLine(gc, &x0, &r0, &x1, &r1)) {
    return GR_WARN_CLIPPED;
  }
  if (x0 == x1) {
    gf_VertLine(gc, x0, r0, r1 - r0);
    return CL_SUCCESS;
  }
  if (r0 == r1) {
    gf_HorLine(gc, x0, r0, x1 - x0);
    return CL_SUCCESS;
  }
  const SINT ax = std::abs(x1 - x0), ar = std::abs(r1 - r0);
  const bool xmajor = ax > ar;
  // Drawn from the left end (x-major) or the upper end, which is included; the other end is not.
  if (xmajor ? x1 < x0 : r1 < r0) {
    std::swap(x0, x1);
    std::swap(r0, r1);
  }
  const SINT rowsize = gc->scrdim.rowsize;
  SINT *w = gc->vsptr + (ptrdiff_t)r0 * rowsize + (x0 >> 1);
  SINT shift = (x0 & 1) << 4;
  const GL_COLOUR colour = gc->colour;
  const UCHAR mode = gc->mode;
  auto stepX = [&](SINT sx) {
    if (sx > 0) {
      if (shift) w++;
      shift ^= 16;
    } else {
      if (!shift) w--;
      shift ^= 16;
    }
  };
  if (xmajor) {
    const SINT sr = r1 > r0 ? 1 : -1;
    SINT d = 2 * ar - ax;
    for (SINT i = 0; i < ax; i++) {
      gf_SetBit(w, shift, colour, mode);
      if (d >= 0) {
        w += sr * rowsize;
        d += 2 * (ar - ax);
      } else {
        d += 2 * ar;
      }
      stepX(1);
    }
  } else {
    const SINT sx = x1 > x0 ? 1 : -1;
    SINT d = 2 * ax - ar;
    for (SINT i = 0; i < ar; i++) {
      gf_SetBit(w, shift, colour, mode);
      if (d >= 0) {
        stepX(sx);
        d += 2 * (ax - ar);
      } else {
        d += 2 * ax;
      }
      w += rowsize;
    }
  }
  return CL_SUCCESS;
}

ERRORCODE gf_DrawRectangle(GR_CONTEXT *gc, SINT left, SINT top, SINT wm1, SINT hm1)
{
  for (SINT r = top; r <= top + hm1; r++) {
    gf_HorLine(gc, left, r, wm1 + 1);
  }
  return CL_SUCCESS;
}

ERRORCODE gr_DrawRectangle(GR_CONTEXT *gc, SINT x, SINT y, SINT w, SINT h)
{
  const SINT a = x, b = x + w - 1;
  const SINT r1 = gl_Row(gc, y), r2 = r1 - h + 1;
  SINT left = std::min(a, b), right = std::max(a, b), top = std::min(r1, r2), bottom = std::max(r1, r2);
  if (left > gc->cliplim.px || right < gc->cliporig.px || top > gc->cliplim.py || bottom < gc->cliporig.py) {
    return GR_WARN_CLIPPED;
  }
  left = std::max(left, gc->cliporig.px);
  top = std::max(top, gc->cliporig.py);
  right = std::min(right, gc->cliplim.px);
  bottom = std::min(bottom, gc->cliplim.py);
  return gf_DrawRectangle(gc, left, top, right - left, bottom - top);
}

ERRORCODE gr_DrawArc(GR_CONTEXT *gc, SINT dx, SINT dy, DOUBLE start, DOUBLE end, SINT radius)
{
  if (radius < 1) {
    return CL_SUCCESS;
  }
  gf_ResetPattern(gc);
  const double k = 31.830989161357202;
  const SINT s = ((roundAway(start * k) % 200) + 200) % 200;
  const SINT e = (((roundAway(end * k) + 1) % 200) + 200) % 200;
  const SINT cx = gc->cp.px + dx, cr = gc->cp.py - dy;
  auto point = [&](SINT i) {
    return PIXELPOS{cx + roundAway(radius * gl_cos[i]), cr - roundAway(radius * gl_sin[i])};
  };
  PIXELPOS p = point(s);
  ERRORCODE res = CL_SUCCESS;
  for (SINT v = (s + 1) % 200;; v = (v + 1) % 200) {
    gc->cp = p;
    if (v == e) {
      if (gf_Inside(gc, p.px, p.py)) {
        gf_PutPixel(gc, p.px, p.py);
        res = CL_SUCCESS;
      } else {
        res = GR_WARN_CLIPPED;
      }
      break;
    }
    p = point(v);
    res = gf_DrawAbsLine(gc, p.px, p.py);
    if (CL_IsError(res)) {
      break;
    }
  }
  return res;
}
