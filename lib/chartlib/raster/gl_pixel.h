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
