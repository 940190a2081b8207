// Internals shared by the raster layer's files.
#pragma once
#include <cstddef>

#include "chartlib/raster/gp_gl.h"

enum : UCHAR { GL_MODE_COPY = 0, GL_MODE_AND = 8, GL_MODE_OR = 16, GL_MODE_XOR = 24 };

// count words combined with cc under the raster mode.
void gl_FillWords(UINT32 *w, SINT count, UINT32 cc, UCHAR mode);

// One pixel tested against the clip rectangle; an outside one turns *res into the clip warning.
inline void gl_PutClipped(GR_CONTEXT *gc, SINT x, SINT r, ERRORCODE *res)
{
  if (gf_Inside(gc, x, r)) {
    gf_PutPixel(gc, x, r);
  } else {
    *res = GR_WARN_CLIPPED;
  }
}

// The device row of a logical y.
inline SINT gl_Row(const GR_CONTEXT *gc, SINT y) { return gc->pixdim.ph - 1 - y; }

// A point at a device position as gr_SetPixel draws it; the pen moves there.
ERRORCODE gl_SetPixelAt(GR_CONTEXT *gc, SINT x, SINT r);

// Integer stepping of a line along its major axis (x on a tie); d >= 0 steps the minor axis too.
struct GlStep {
  SINT x, r, sx, sr, ax, ar, d;
  bool xmajor;
  GlStep(SINT x0, SINT r0, SINT x1, SINT r1)
      : x(x0), r(r0), sx(x1 >= x0 ? 1 : -1), sr(r1 >= r0 ? 1 : -1), ax(x1 >= x0 ? x1 - x0 : x0 - x1),
        ar(r1 >= r0 ? r1 - r0 : r0 - r1), d(0), xmajor(ax >= ar)
  {
    d = xmajor ? 2 * ar - ax : 2 * ax - ar;
  }
  void next()
  {
    if (xmajor) {
      if (d >= 0) {
        r += sr;
        d += 2 * (ar - ax);
      } else {
        d += 2 * ar;
      }
      x += sx;
    } else {
      if (d >= 0) {
        x += sx;
        d += 2 * (ax - ar);
      } else {
        d += 2 * ax;
      }
      r += sr;
    }
  }
  // Reached the end along the major axis.
  bool at(SINT x1, SINT r1) const { return xmajor ? x == x1 : r == r1; }
};
