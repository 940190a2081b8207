// Graphics context, the pixel and span primitives and the line-pattern state.
#include "chartlib/raster/gl_pixel.h"

const UINT16 *gl_pucPalette = nullptr;
GR_PATTERNINFO PatternInfo[GR_PATTERN_TABLES];
GR_BITMAPINFO BitmapInfo[GR_BITMAP_TABLES];
FONT *FontsRack[GR_FONTS_RACK_SIZE];

ERRORCODE gr_InitGC(GR_CONTEXT *gc, SINT width, SINT height, VSCREENPTR image)
{
  gc->vsptr = image;
  gc->pixdim = {width, height};
  gc->scrdim = {(SINT)(((UINT32)width + 1u) / 2u), height};
  gc->nbytes = (UINT32)gc->scrdim.rowsize * (UINT32)height * 4u;
  gc->npix = 2;
  gc->cp = {0, 0};
  gc->mode = 0;
  gc->colour = 0xFFFF;
  gc->cliporig = {0, 0};
  gc->cliplim = {width - 1, height - 1};
  gc->status = GC_VIRTUAL;
  gc->transpflag = 0;
  gc->PixelSize = 1;
  gc->DrTool = STD_PEN;
  gc->PrintDir = 0;
  gc->fntattrib = FONTATTRIB{0, nullptr, 0, 1, 1, 0, 0};
  return CL_SUCCESS;
}

ERRORCODE gr_SetClipArea(GR_CONTEXT *gc, SINT x, SINT y, SINT w, SINT h)
{
  ERRORCODE res = CL_SUCCESS;
  const SINT a = x, b = x + w - 1;
  SINT left = a < b ? a : b, right = a < b ? b : a;
  const SINT r1 = gc->pixdim.ph - 1 - y, r2 = r1 - h + 1;
  SINT top = r1 < r2 ? r1 : r2, bottom = r1 < r2 ? r2 : r1;
  if (right > gc->pixdim.pw - 1) {
    right = gc->pixdim.pw - 1;
    res = GR_WARN_CLIPPED;
  }
  if (bottom > gc->pixdim.ph - 1) {
    bottom = gc->pixdim.ph - 1;
    res = GR_WARN_CLIPPED;
  }
  if (left < 0) {
    left = 0;
    res = GR_WARN_CLIPPED;
  }
  if (top < 0) {
    top = 0;
    res = GR_WARN_CLIPPED;
  }
  gc->cliporig = {left, top};
  gc->cliplim = {right, bottom};
  return res;
}

ERRORCODE gr_SetAbsPenPos(GR_CONTEXT *gc, SINT x, SINT y)
{
  gc->cp = {x, gc->pixdim.ph - 1 - y};
  return gf_Inside(gc, gc->cp.px, gc->cp.py) ? CL_SUCCESS : GR_WARN_CLIPPED;
}

ERRORCODE gr_SetRelPenPos(GR_CONTEXT *gc, SINT dx, SINT dy)
{
  gc->cp.px += dx;
  gc->cp.py -= dy;
  return gf_Inside(gc, gc->cp.px, gc->cp.py) ? CL_SUCCESS : GR_WARN_CLIPPED;
}

ERRORCODE gr_GetLogicPosition(GR_CONTEXT *gc, PIXELPOS *pos)
{
  pos->px = gc->cp.px;
  pos->py = gc->pixdim.ph - 1 - gc->cp.py;
  return CL_SUCCESS;
}

ERRORCODE gr_SetColor(GR_CONTEXT *gc, GL_COLOUR colour)
{
  gc->colour = (colour & 0x80000000u) ? (colour & 0x7FFFFFFFu) : gl_pucPalette[colour];
  return CL_SUCCESS;
}

GL_COLOUR gr_GetColor(GR_CONTEXT *gc) { return gc->colour; }

ERRORCODE gr_SetColorPalette(const UINT16 *palette)
{
  gl_pucPalette = palette;
  return CL_SUCCESS;
}

ERRORCODE gr_SetPaletteEntry(void) { return CL_SUCCESS; }

ERRORCODE gr_SetGMode(GR_CONTEXT *gc, SINT mode)
{
  gc->mode = (UCHAR)mode;
  return (gc->mode == GL_MODE_XOR && gc->DrTool == BRUSH) ? GR_WARN_XOR_BRUSH : CL_SUCCESS;
}

ERRORCODE gr_SetDrawingTool(GR_CONTEXT *gc, DRAWING_TOOL tool)
{
  gc->DrTool = tool;
  return (tool == BRUSH && gc->mode == GL_MODE_XOR) ? GR_WARN_BRUSH_XOR : CL_SUCCESS;
}

ERRORCODE gr_SetPixelSize(GR_CONTEXT *gc, SINT size)
{
  if (size <= 0) {
    return GR_ERR_PIXEL_SIZE;
  }
  gc->PixelSize = size;
  return CL_SUCCESS;
}

ERRORCODE gr_SetVideoGraphMode(GR_CONTEXT *gc)
{
  gc->status = GC_PHYSICAL;
  return CL_SUCCESS;
}

ERRORCODE gr_ResetVideoGraphMode(GR_CONTEXT *gc)
{
  gc->status = GC_VIRTUAL;
  return CL_SUCCESS;
}

ERRORCODE gr_SetPrintingDirection(GR_CONTEXT *gc, UINT32 degrees)
{
  if (degrees >= 360) {
    return GR_ERR_DIRECTION;
  }
  gc->PrintDir = (SINT)degrees;
  return CL_SUCCESS;
}

// ---- Patterns ----

ERRORCODE gr_InitPattern(const UCHAR *data, PTTRNTYPE type, SINT width, SINT height, SINT bytesperpattern)
{
  PatternInfo[type] = GR_PATTERNINFO{data, width, height, bytesperpattern};
  return CL_SUCCESS;
}

void gf_ResetPattern(GR_CONTEXT *gc)
{
  PATTERNATTRIB &p = gc->ptrnattrib;
  p.curbyte = 0;
  p.curbit = 0;
  p.zxcounter = 0;
  p.zycounter = 0;
}

ERRORCODE gr_SetPatternType(GR_CONTEXT *gc, PTTRNTYPE type)
{
  PATTERNATTRIB &p = gc->ptrnattrib;
  p.type = type;
  p.index = 0;
  p.ptr = PatternInfo[type].data;
  p.zx = p.zy = 1;
  gf_ResetPattern(gc);
  return CL_SUCCESS;
}

ERRORCODE gr_SetPatternIndex(GR_CONTEXT *gc, PTTRNTABLENDX index)
{
  PATTERNATTRIB &p = gc->ptrnattrib;
  const GR_PATTERNINFO &t = PatternInfo[p.type];
  p.index = index;
  p.ptr = t.data ? t.data + (size_t)index * (size_t)t.bytesperpattern : nullptr;
  p.zx = p.zy = 1;
  gf_ResetPattern(gc);
  return CL_SUCCESS;
}

ERRORCODE gr_SetPatternStatus(GR_CONTEXT *gc, BOOL on)
{
  gc->ptrnattrib.status = on;
  gf_ResetPattern(gc);
  return CL_SUCCESS;
}

ERRORCODE gr_SetPatternZoom(GR_CONTEXT *gc, ZOOMFACTOR zx, ZOOMFACTOR zy)
{
  PATTERNATTRIB &p = gc->ptrnattrib;
  p.zx = zx;
  p.zy = zy;
  p.zxcounter = 0;
  p.zycounter = 0;
  return CL_SUCCESS;
}

ERRORCODE gr_ResetPattern(GR_CONTEXT *gc)
{
  gf_ResetPattern(gc);
  return CL_SUCCESS;
}

// Advances before it reads: after a cleared phase the first pixel takes bit 1 of byte 0.
SINT gf_CheckPattern(GR_CONTEXT *gc)
{
  PATTERNATTRIB &p = gc->ptrnattrib;
  if (!p.status) {
    return 1;
  }
  // A zoom of 0 would divide by zero: it steps like 1.
  p.zxcounter = p.zx > 1 ? (ZOOMFACTOR)((p.zxcounter + 1) % p.zx) : 0;
  if (p.zxcounter == 0) {
    p.curbit = (UCHAR)((p.curbit + 1) % 8);
    if (p.curbit == 0) {
      p.curbyte++;
      if (p.curbyte >= PatternInfo[p.type].bytesperpattern) {
        p.curbyte = 0;
      }
    }
  }
  return (p.ptr[p.curbyte] >> p.curbit) & 1;
}

// ---- Pixels and spans ----

void gf_SetBit(SINT *word, SINT shift, GL_COLOUR colour, UCHAR mode)
{
  if (shift >= 32 || shift < 0) {
    return;
  }
  UINT32 w = (UINT32)*word;
  const UINT32 c = (colour & 0xFFFFu) << shift;
  const UINT32 mask = 0xFFFFu << shift;
  switch (mode) {
    case GL_MODE_COPY: w = (w & ~mask) | c; break;
    case GL_MODE_AND: w &= c | ~mask; break;
    case GL_MODE_OR: w |= c; break;
    case GL_MODE_XOR: w ^= c; break;
    default: return;
  }
  *word = (SINT)w;
}

void gf_PutPixel(GR_CONTEXT *gc, SINT x, SINT r)
{
  gf_SetBit(gc->vsptr + (ptrdiff_t)r * gc->scrdim.rowsize + (x >> 1), (x & 1) << 4, gc->colour, gc->mode);
}

UINT16 gf_GetPixel(const GR_CONTEXT *gc, SINT x, SINT r)
{
  const UINT32 w = (UINT32)gc->vsptr[(ptrdiff_t)r * gc->scrdim.rowsize + (x >> 1)];
  return (UINT16)(w >> ((x & 1) << 4));
}

void gl_FillWords(UINT32 *w, SINT count, UINT32 cc, UCHAR mode)
{
  switch (mode) {
    case GL_MODE_COPY:
      for (SINT i = 0; i < count; i++) w[i] = cc;
      break;
    case GL_MODE_AND:
      if (cc != 0xFFFFFFFFu) {
        for (SINT i = 0; i < count; i++) w[i] &= cc;
      }
      break;
    case GL_MODE_OR:
      if (cc != 0) {
        for (SINT i = 0; i < count; i++) w[i] |= cc;
      }
      break;
    case GL_MODE_XOR:
      if (cc != 0) {
        for (SINT i = 0; i < count; i++) w[i] ^= cc;
      }
      break;
    default: break;
  }
}

void gf_HorLine(GR_CONTEXT *gc, SINT x, SINT r, SINT n)
{
  if (n == 0) {
    return;
  }
  SINT start = n > 0 ? x : x + n + 1;
  const SINT end = start + (n > 0 ? n : -n); // exclusive
  SINT *row = gc->vsptr + (ptrdiff_t)r * gc->scrdim.rowsize;
  if (start & 1) {
    gf_SetBit(row + (start >> 1), 16, gc->colour, gc->mode);
    start++;
  }
  const SINT words = (end - start) >> 1;
  if (words > 0) {
    const UINT32 c = gc->colour & 0xFFFFu;
    gl_FillWords(reinterpret_cast<UINT32 *>(row + (start >> 1)), words, c | (c << 16), gc->mode);
    start += words * 2;
  }
  if (start < end) {
    gf_SetBit(row + (start >> 1), 0, gc->colour, gc->mode);
  }
}

void gf_VertLine(GR_CONTEXT *gc, SINT x, SINT r, SINT n)
{
  const SINT start = n >= 0 ? r : r + n + 1;
  const SINT count = n >= 0 ? n : -n;
  SINT *w = gc->vsptr + (ptrdiff_t)start * gc->scrdim.rowsize + (x >> 1);
  const SINT shift = (x & 1) << 4;
  for (SINT i = 0; i < count; i++, w += gc->scrdim.rowsize) {
    gf_SetBit(w, shift, gc->colour, gc->mode);
  }
}
