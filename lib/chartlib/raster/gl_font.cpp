// Bitmap fonts: the rack, character drawing in four font directions and text laid out along any direction.
#include <cmath>
#include <cstring>

#include "chartlib/raster/gl_font_data.h"
#include "chartlib/raster/gl_pixel.h"

namespace {

const UCHAR *glyphOf(const FONT *f, UCHAR ch)
{
  const UCHAR *entry = f->TablePtr + 4 * (size_t)((UCHAR)(ch - f->FirstChar));
  const UINT32 off = (UINT32)entry[0] | ((UINT32)entry[1] << 8) | ((UINT32)entry[2] << 16) | ((UINT32)entry[3] << 24);
  return f->TablePtr + off;
}

inline SINT drawnAdvance(const FONT *f, const UCHAR *glyph) { return glyph[0] < f->PixWidth ? glyph[0] : f->PixWidth; }

// Writes ink in the context colour and, without transparency, background in palette entry 0.
inline void textPixel(GR_CONTEXT *gc, SINT x, SINT r, bool ink, GL_COLOUR inkColour, ERRORCODE *res)
{
  if (!ink && gc->transpflag) {
    return;
  }
  if (!gf_Inside(gc, x, r)) {
    *res = GR_WARN_CLIPPED;
    return;
  }
  gc->colour = ink ? inkColour : gl_pucPalette[0];
  gf_PutPixel(gc, x, r);
}

inline bool glyphBit(const UCHAR *row, SINT j) { return (row[j >> 3] >> (j & 7)) & 1; }

inline SINT roundUp(double magnitude) { return (SINT)std::floor(magnitude + 0.5); }

constexpr double kDegToRad = 0.017453292519944003;
constexpr double kRadToDeg = 57.29577951308;

} // namespace

ERRORCODE gr_AddFont(FONT *font, FONTINDEX slot)
{
  if (slot > GR_FONTS_RACK_SIZE - 1) {
    return GR_ERR_FONT_SLOT;
  }
  FontsRack[slot] = font;
  return CL_SUCCESS;
}

ERRORCODE gr_SetFontType(GR_CONTEXT *gc, FONTINDEX slot)
{
  if (slot > GR_FONTS_RACK_SIZE - 1) {
    return GR_ERR_FONT_SLOT;
  }
  gc->fntattrib.Ftyp = slot;
  gc->fntattrib.Fptr = FontsRack[slot];
  return CL_SUCCESS;
}

ERRORCODE gr_SetFontZoom(GR_CONTEXT *gc, ZOOMFACTOR zx, ZOOMFACTOR zy)
{
  gc->fntattrib.zx = zx;
  gc->fntattrib.zy = zy;
  return CL_SUCCESS;
}

ERRORCODE gr_SetFontDirection(GR_CONTEXT *gc, PRINTDIR dir)
{
  gc->fntattrib.fntdir = dir;
  return CL_SUCCESS;
}

SINT gr_GetFontWidth(FONTINDEX slot) { return FontsRack[slot]->PixWidth; }
SINT gr_GetFontHeight(FONTINDEX slot) { return FontsRack[slot]->PixHeight; }
SINT gr_GetFontDescender(FONTINDEX slot) { return FontsRack[slot]->Descender; }

ERRORCODE gf_PrintFastChar(GR_CONTEXT *gc, UCHAR ch)
{
  const FONT *f = gc->fntattrib.Fptr;
  const UCHAR *glyph = glyphOf(f, ch);
  const SINT a = drawnAdvance(f, glyph);
  const GL_COLOUR ink = gc->colour;
  const SINT px = gc->cp.px, pr = gc->cp.py;
  ERRORCODE res = CL_SUCCESS;
  const UCHAR *row = glyph + 1;
  for (SINT i = 0; i < f->PixHeight; i++, row += f->RowSize) {
    for (SINT j = 0; j < a; j++) textPixel(gc, px + j, pr - i, glyphBit(row, j), ink, &res);
  }
  gc->colour = ink;
  gc->cp.px = px + a;
  return res;
}

ERRORCODE gf_PrintChar(GR_CONTEXT *gc, UCHAR ch)
{
  const FONT *f = gc->fntattrib.Fptr;
  const UCHAR *glyph = glyphOf(f, ch);
  const SINT a = drawnAdvance(f, glyph);
  const SINT zx = gc->fntattrib.zx, zy = gc->fntattrib.zy;
  const UCHAR dir = gc->fntattrib.fntdir;
  // Device steps of a glyph pixel (along its row) and of a glyph row: upright, reading upward, reading downward.
  SINT pdx = 1, pdr = 0, rdx = 0, rdr = -1;
  if (dir == 2) {
    pdx = 0, pdr = -1, rdx = -1, rdr = 0;
  } else if (dir >= 3) {
    pdx = 0, pdr = 1, rdx = 1, rdr = 0;
  }
  const GL_COLOUR ink = gc->colour;
  ERRORCODE res = CL_SUCCESS;
  const UCHAR *row = glyph + 1;
  SINT line = 0;
  for (SINT i = 0; i < f->PixHeight; i++, row += f->RowSize) {
    for (SINT rep = 0; rep < zy; rep++, line++) {
      SINT x = gc->cp.px + rdx * line, r = gc->cp.py + rdr * line;
      for (SINT j = 0; j < a; j++) {
        const bool set = glyphBit(row, j);
        for (SINT b = 0; b < zx; b++, x += pdx, r += pdr) textPixel(gc, x, r, set, ink, &res);
      }
    }
  }
  gc->colour = ink;
  SINT dx = 0, dy = 0;
  if (dir == 0) {
    if (gc->PrintDir == 0) {
      dx = zx * a;
    } else {
      gf_ComputeNewCurPosInHorMode(gc->PrintDir, a, f->PixHeight, (ZOOMFACTOR)zx, (ZOOMFACTOR)zy, &dx, &dy);
    }
  } else if (dir == 1) {
    dy = -(zy * f->PixHeight);
  } else if (dir == 2) {
    dy = zx * a;
  } else if (dir == 3) {
    dy = -(zx * a);
  }
  gc->cp.px += dx;
  gc->cp.py -= dy;
  return res;
}

void gf_ComputeNewCurPosInHorMode(SINT t, SINT advance, SINT height, ZOOMFACTOR zx, ZOOMFACTOR zy, SINT *dx, SINT *dy)
{
  const double W = (double)zx * advance, H = (double)zy * height;
  const double b = std::atan(H / W) * kRadToDeg;
  const SINT iw = (SINT)W, ih = (SINT)H;
  auto tanDeg = [](double deg) { return std::tan(deg * kDegToRad); };
  if (t == 90) {
    *dx = 0, *dy = ih;
  } else if (t == 270) {
    *dx = 0, *dy = -ih;
  } else if (t < b) {
    *dx = iw, *dy = roundUp(W * tanDeg(t));
  } else if (t < 90) {
    *dx = roundUp(H / tanDeg(t)), *dy = ih;
  } else if (t < 90 + (90 - b)) {
    *dx = -roundUp(H * tanDeg(t - 90)), *dy = ih;
  } else if (t < 180) {
    *dx = -iw, *dy = roundUp(W * tanDeg(180 - t));
  } else if (t < 180 + b) {
    *dx = -iw, *dy = -roundUp(W * tanDeg(t - 180));
  } else if (t < 270) {
    *dx = -roundUp(H / tanDeg(t - 180)), *dy = -ih;
  } else if (t < 270 + (90 - b)) {
    *dx = roundUp(H * tanDeg(t - 270)), *dy = -ih;
  } else {
    *dx = iw, *dy = -roundUp(W * tanDeg(360 - t));
  }
}

ERRORCODE gr_PrintString(GR_CONTEXT *gc, const UCHAR *text)
{
  const size_t n = std::strlen(reinterpret_cast<const char *>(text));
  if (n == 0) {
    return CL_SUCCESS;
  }
  const FONTATTRIB &fa = gc->fntattrib;
  const bool fast = fa.fntdir == 0 && fa.zx == 1 && fa.zy == 1 && gc->PrintDir == 0;
  const bool backwards = !fast && fa.fntdir == 0 && gc->PrintDir >= 90 && gc->PrintDir <= 269;
  ERRORCODE res = CL_SUCCESS;
  for (size_t k = 0; k < n; k++) {
    const UCHAR ch = text[backwards ? n - 1 - k : k];
    res = fast ? gf_PrintFastChar(gc, ch) : gf_PrintChar(gc, ch);
    if (CL_IsError(res)) {
      break;
    }
  }
  return res;
}

SINT gf_GetPStrLen(GR_CONTEXT *gc, const FONT *font, const UCHAR *text, UCHAR kind)
{
  size_t n;
  if (kind == 'S' || kind == 's') {
    n = std::strlen(reinterpret_cast<const char *>(text));
  } else if (kind == 'L' || kind == 'l') {
    n = text[0];
    text++;
  } else {
    return -1;
  }
  SINT width = 0;
  for (size_t k = 0; k < n; k++) width += gc->fntattrib.zx * glyphOf(font, text[k])[0];
  return width;
}

SINT gr_GetPStrLen(GR_CONTEXT *gc, const UCHAR *text, UCHAR kind)
{
  return gf_GetPStrLen(gc, gc->fntattrib.Fptr, text, kind);
}

ERRORCODE gr_StringPixelDim(GR_CONTEXT *gc, const UCHAR *text, SINT *dim)
{
  if (gc->fntattrib.fntdir != 0 || gc->PrintDir != 0) {
    return GR_ERR_DIRECTION;
  }
  dim[0] = gf_GetPStrLen(gc, gc->fntattrib.Fptr, text, 'S');
  dim[1] = gc->fntattrib.zy * gc->fntattrib.Fptr->PixHeight;
  return CL_SUCCESS;
}

// ---- The built-in fonts ----

namespace {

SINT initFont(FONT *font, const char *name, const UCHAR *body, SINT w, SINT h, SINT rowSize, SINT descender)
{
  if (font == nullptr) {
    return 1;
  }
  std::memset(font->FontDescr, 0, sizeof font->FontDescr);
  std::strncpy(reinterpret_cast<char *>(font->FontDescr), name, sizeof font->FontDescr - 1);
  font->TablePtr = body;
  font->PixWidth = w;
  font->PixHeight = h;
  font->RowSize = rowSize;
  font->BlockSize = 1 + h * rowSize;
  font->FirstChar = 0;
  font->LastChar = 255;
  font->Descender = descender;
  return 0;
}

} // namespace

SINT fnt_INIT_Daravazos06x09(FONT *font)
{
  return initFont(font, "Daravazos06x09", gl_aucFontBody06x09, 6, 9, 1, 2);
}

SINT fnt_INIT_Daravazos06x11(FONT *font)
{
  return initFont(font, "Daravazos06x11", gl_aucFontBody06x11, 6, 11, 1, 2);
}

SINT fnt_INIT_Daravazos09x15(FONT *font)
{
  return initFont(font, "Daravazos09x15", gl_aucFontBody09x15, 9, 15, 2, 3);
}
