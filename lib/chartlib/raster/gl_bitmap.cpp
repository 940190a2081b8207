// Icons of 4-bit pixels from the installed icon tables, and the area-pattern span.
#include "chartlib/raster/gl_pixel.h"

namespace {

// Each nibble is its own palette index.
constexpr UCHAR kIconColors[16] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};

inline UCHAR nibble(const UCHAR *row, SINT j) { return (j & 1) ? (row[j >> 1] & 0x0F) : (row[j >> 1] >> 4); }

// Draws a nibble's colour at one device pixel, or counts it as outside.
inline void iconPixel(GR_CONTEXT *gc, SINT x, SINT r, UCHAR n, ERRORCODE *res)
{
  if (gf_Inside(gc, x, r)) {
    gc->colour = gl_pucPalette[kIconColors[n]];
    gf_PutPixel(gc, x, r);
  } else {
    *res = GR_WARN_CLIPPED;
  }
}

const UCHAR *selectIcon(GR_CONTEXT *gc, BMAPTABLENDX index)
{
  const GR_BITMAPINFO &t = BitmapInfo[gc->bmpattrib.type];
  gc->bmpattrib.index = index;
  gc->bmpattrib.ptr = t.data + (size_t)index * (size_t)t.bytesperbitmap;
  return gc->bmpattrib.ptr;
}

} // namespace

ERRORCODE gr_InitBitmap(GR_CONTEXT *gc, const UCHAR *data, BMAPTYPE type, SINT width, SINT height,
                        SINT bytesperbitmap)
{
  BitmapInfo[type] = GR_BITMAPINFO{data, width, height, bytesperbitmap, height ? bytesperbitmap / height : 0};
  BITMAPATTRIB &b = gc->bmpattrib;
  b.type = type;
  b.index = 0;
  b.ptr = data + bytesperbitmap;
  b.bmpdir = 0;
  b.zx = b.zy = 1;
  return CL_SUCCESS;
}

ERRORCODE gr_SetBitmapZoom(GR_CONTEXT *gc, ZOOMFACTOR zx, ZOOMFACTOR zy)
{
  gc->bmpattrib.zx = zx;
  gc->bmpattrib.zy = zy;
  return CL_SUCCESS;
}

ERRORCODE gr_SetBitmapDirection(GR_CONTEXT *gc, PRINTDIR dir)
{
  gc->bmpattrib.bmpdir = dir;
  return CL_SUCCESS;
}

ERRORCODE gr_SetTranspAttr(GR_CONTEXT *gc, SINT flag, GL_COLOUR colour)
{
  gc->transpflag = flag;
  gc->bmpattrib.transpcolour = colour;
  return CL_SUCCESS;
}

ERRORCODE gf_PrintFastBitmap(GR_CONTEXT *gc, BMAPTABLENDX index)
{
  const GR_BITMAPINFO &t = BitmapInfo[gc->bmpattrib.type];
  const UCHAR *row = selectIcon(gc, index);
  const GL_COLOUR saved = gc->colour;
  const bool transp = gc->transpflag != 0;
  const GL_COLOUR tc = gc->bmpattrib.transpcolour;
  const SINT px = gc->cp.px, pr = gc->cp.py;
  ERRORCODE res = CL_SUCCESS;
  for (SINT i = 0; i < t.height; i++, row += t.bytesperrow) {
    for (SINT j = 0; j < t.width; j++) {
      const UCHAR n = nibble(row, j);
      if (!transp || n != tc) {
        iconPixel(gc, px + j, pr - i, n, &res);
      }
    }
  }
  gc->colour = saved;
  return res;
}

ERRORCODE gf_PrintBitmap(GR_CONTEXT *gc, BMAPTABLENDX index)
{
  // Device steps of a pixel along an icon row and of one icon row, by direction.
  static const SINT kDirs[5][4] = {{1, 0, 0, -1}, {0, 1, 1, 0}, {-1, 0, 0, 1}, {0, -1, -1, 0}, {0, -1, 1, 0}};
  const GR_BITMAPINFO &t = BitmapInfo[gc->bmpattrib.type];
  const UCHAR *row = selectIcon(gc, index);
  const SINT *dir = kDirs[gc->bmpattrib.bmpdir > 3 ? 4 : gc->bmpattrib.bmpdir];
  const SINT zx = gc->bmpattrib.zx, zy = gc->bmpattrib.zy;
  const GL_COLOUR saved = gc->colour;
  const bool transp = gc->transpflag != 0;
  const GL_COLOUR tc = gc->bmpattrib.transpcolour;
  ERRORCODE res = CL_SUCCESS;
  SINT line = 0; // device line of the row repetition, counted from the pen
  for (SINT i = 0; i < t.height; i++, row += t.bytesperrow) {
    for (SINT a = 0; a < zy; a++, line++) {
      SINT x = gc->cp.px + dir[2] * line, r = gc->cp.py + dir[3] * line;
      for (SINT j = 0; j < t.width; j++) {
        const UCHAR n = nibble(row, j);
        const bool draw = !transp || n != tc;
        for (SINT b = 0; b < zx; b++, x += dir[0], r += dir[1]) {
          if (draw) iconPixel(gc, x, r, n, &res);
        }
      }
    }
  }
  gc->colour = saved;
  return res;
}

ERRORCODE gr_PrintBitmapWithType(GR_CONTEXT *gc, BMAPTYPE type, BMAPTABLENDX index)
{
  BITMAPATTRIB &b = gc->bmpattrib;
  b.type = type;
  b.index = 0;
  b.ptr = BitmapInfo[type].data + BitmapInfo[type].bytesperbitmap;
  if (b.bmpdir == 0 && b.zx == 1 && b.zy == 1) {
    return gf_PrintFastBitmap(gc, index);
  }
  return gf_PrintBitmap(gc, index);
}

void gf_HorLineWithPattern(GR_CONTEXT *gc, SINT x, SINT r, SINT n)
{
  const PATTERNATTRIB &p = gc->ptrnattrib;
  const GR_PATTERNINFO &t = PatternInfo[p.type];
  if (n == 0 || t.width <= 0 || t.height <= 0) {
    return;
  }
  const SINT start = n > 0 ? x : x + n + 1, count = n > 0 ? n : -n;
  const SINT y = gl_Row(gc, r); // logical row: the tile is anchored to the logical origin
  const SINT tileRow = t.height - 1 - ((y % t.height) + t.height) % t.height;
  const UCHAR *bits = p.ptr + (size_t)tileRow * (size_t)((t.width + 7) / 8);
  SINT col = ((start % t.width) + t.width) % t.width;
  for (SINT i = 0; i < count; i++) {
    if ((bits[col >> 3] >> (col & 7)) & 1) {
      gf_PutPixel(gc, start + i, r);
    }
    if (++col == t.width) col = 0;
  }
}
