// Golden pictures of the raster layer: lines, icons, shapes and the three built-in fonts.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "raster_fixture.h"

namespace {

constexpr double kPi = 3.14159265358979;

void colour(GR_CONTEXT *gc, GL_COLOUR n) { gr_SetColor(gc, n); }

// The clip rectangle drawn just outside itself, for the eye.
void frameClip(GR_CONTEXT *gc)
{
  const PIXELPOS o = gc->cliporig, l = gc->cliplim;
  const PIXELPOS savedO = o, savedL = l;
  gc->cliporig = {0, 0};
  gc->cliplim = {gc->pixdim.pw - 1, gc->pixdim.ph - 1};
  colour(gc, 8);
  gf_HorLine(gc, o.px - 1, o.py - 1, l.px - o.px + 3);
  gf_HorLine(gc, o.px - 1, l.py + 1, l.px - o.px + 3);
  gf_VertLine(gc, o.px - 1, o.py, l.py - o.py + 1);
  gf_VertLine(gc, l.px + 1, o.py, l.py - o.py + 1);
  gc->cliporig = savedO;
  gc->cliplim = savedL;
}

TEST(RasterGolden, Lines)
{
  static const UCHAR kDash[8] = {0x3F, 0xF0, 0x0F, 0x00, 0xFF, 0xFF, 0x0F, 0xCC};
  gr_InitPattern(kDash, 20, 8, 8, 8);
  static const UCHAR kDecor[256] = {};
  gr_InitPattern(kDecor, 0, 8, 1, 1);
  RasterImage img(320, 240, 0x0000);
  GR_CONTEXT *gc = &img.gc;
  // Left half: a fan of solid lines from inside, and chords through the clip rectangle from outside.
  gr_SetClipArea(gc, 20, 120, 120, 100);
  frameClip(gc);
  for (int k = 0; k < 24; k++) {
    const double a = 2 * kPi * k / 24;
    colour(gc, 1 + k % 6);
    gr_SetAbsPenPos(gc, 80, 170);
    gr_DrawAbsLine(gc, 80 + (SINT)std::lround(90 * std::cos(a)), 170 + (SINT)std::lround(70 * std::sin(a)));
    gr_SetAbsPenPos(gc, 10 + 7 * k, 100);
    gr_DrawAbsLine(gc, 150 - 5 * k, 235);
  }
  colour(gc, 15);
  gr_SetAbsPenPos(gc, 0, 130); // beside the corner: nothing
  gr_DrawAbsLine(gc, 30, 100);
  // Right half: brush lines, dashes, cross-marked and undulated lines.
  gr_SetClipArea(gc, 170, 10, 140, 220);
  frameClip(gc);
  gr_SetDrawingTool(gc, BRUSH);
  for (SINT s = 2; s <= 3; s++) {
    gr_SetPixelSize(gc, s);
    colour(gc, s == 2 ? 4 : 6);
    gr_SetAbsPenPos(gc, 180, 215 - 25 * (s - 2));
    gr_DrawAbsLine(gc, 230, 205 - 25 * (s - 2));
    gr_DrawAbsLine(gc, 260, 225 - 25 * (s - 2));
    gr_DrawAbsLine(gc, 330, 215 - 25 * (s - 2)); // through the right edge
  }
  gr_SetDrawingTool(gc, STD_PEN);
  colour(gc, 2);
  gr_SetPatternType(gc, 20);
  gr_SetPatternStatus(gc, 1);
  gr_SetAbsPenPos(gc, 175, 150);
  gr_DrawAbsLine(gc, 300, 150);
  gr_DrawAbsLine(gc, 300, 130);
  gr_DrawAbsLine(gc, 180, 120);
  gr_SetPatternZoom(gc, 2, 2);
  gr_DrawAbsLine(gc, 305, 105);
  colour(gc, 5);
  gr_SetPatternType(gc, 0);
  gr_SetPatternIndex(gc, 254);
  gr_SetPatternStatus(gc, 1);
  gr_SetAbsPenPos(gc, 180, 90);
  gr_DrawAbsLine(gc, 300, 80);
  gr_SetAbsPenPos(gc, 290, 70);
  gr_DrawAbsLine(gc, 250, 20);
  colour(gc, 3);
  gr_SetPatternIndex(gc, 255);
  gr_SetPatternStatus(gc, 1);
  gr_SetAbsPenPos(gc, 180, 60);
  gr_DrawAbsLine(gc, 240, 60);
  gr_SetAbsPenPos(gc, 180, 45);
  gr_DrawAbsLine(gc, 238, 31);
  gr_SetAbsPenPos(gc, 200, 15);
  gr_DrawAbsLine(gc, 200, 40);
  gr_SetAbsPenPos(gc, 310, 40);
  gr_DrawAbsLine(gc, 260, 10);
  expectRasterGolden(img, "lines");
}

// A 12 x 10 arrow with a transparent (7) surround and a tail marked on one side, 8 bytes per row.
std::vector<UCHAR> arrowIcon()
{
  static const char *kRows[10] = {
      // stored bottom row first
      "777777777777", "7777AA777777", "77777AA77777", "1111111AA777", "12222222AA77",
      "12222222AA77", "1444441AA777", "77777AA77777", "7777AA777777", "777777777777",
  };
  std::vector<UCHAR> data(8 * 10, 0);
  for (int i = 0; i < 10; i++) {
    for (int j = 0; j < 12; j++) {
      const char c = kRows[i][j];
      const UCHAR n = (UCHAR)(c >= 'A' ? c - 'A' + 10 : c - '0');
      data[i * 8 + j / 2] |= (j & 1) ? n : (UCHAR)(n << 4);
    }
  }
  return data;
}

TEST(RasterGolden, Icons)
{
  static const std::vector<UCHAR> icon = arrowIcon();
  RasterImage img(240, 120, 0xC618);
  GR_CONTEXT *gc = &img.gc;
  gr_InitBitmap(gc, icon.data(), 30, 12, 10, 80);
  gr_SetTranspAttr(gc, 1, 7);
  for (ZOOMFACTOR z = 1; z <= 2; z++) {
    for (PRINTDIR d = 0; d < 5; d++) {
      gr_SetBitmapZoom(gc, z, z);
      gr_SetBitmapDirection(gc, d);
      img.pen(20 + 45 * d, z == 1 ? 30 : 85);
      gr_PrintBitmapWithType(gc, 30, 0);
    }
  }
  gr_SetTranspAttr(gc, 0, 7); // opaque, half outside
  gr_SetBitmapZoom(gc, 1, 1);
  gr_SetBitmapDirection(gc, 0);
  img.pen(234, 60);
  gr_PrintBitmapWithType(gc, 30, 0);
  expectRasterGolden(img, "icons");
}

TEST(RasterGolden, ShapesAndPatternSpans)
{
  static const UCHAR kHatch[8] = {0x11, 0x22, 0x44, 0x88, 0x11, 0x22, 0x44, 0x88};
  gr_InitPattern(kHatch, 21, 8, 8, 8);
  RasterImage img(240, 160, 0x0000);
  GR_CONTEXT *gc = &img.gc;
  colour(gc, 4);
  gr_DrawRectangle(gc, 10, 10, 50, 30);
  gr_SetGMode(gc, 24);
  colour(gc, 6);
  gr_DrawRectangle(gc, 40, 25, 40, 30);
  gr_SetGMode(gc, 0);
  colour(gc, 2);
  gr_DrawRectangle(gc, 220, 140, 40, 40); // cut at the corner
  gr_SetPatternType(gc, 21);
  colour(gc, 5);
  for (SINT r = 100; r < 150; r++) gf_HorLineWithPattern(gc, 10, r, 70);
  colour(gc, 1);
  for (int k = 0; k < 4; k++) {
    img.pen(150, 80);
    gr_DrawArc(gc, 0, 0, k * kPi / 2, (k + 1) * kPi / 2, 15 + 12 * k);
  }
  colour(gc, 3);
  img.pen(150, 80);
  gr_DrawArc(gc, 0, 0, 0, kPi, 60);
  gr_DrawArc(gc, 60, 0, kPi, 2 * kPi, 60); // the pen sits on the last point of the upper half
  colour(gc, 15);
  for (int k = 0; k < 12; k++) gr_SmartDrawLine(gc, 1, 90 + 12 * k, 5, 230 - 9 * k, 40 + 3 * k);
  gr_SmartDrawLine(gc, 1, -30, 150, 260, 130);
  expectRasterGolden(img, "shapes");
}

// Every glyph of a font in the four font directions, and as upright text at 0, 45, 90 and 180 degrees.
void fontPicture(SINT slot, const char *name)
{
  std::vector<std::string> lines;
  const FONT *f = FontsRack[slot];
  std::string line;
  for (int c = 1; c < 256; c++) {
    if (((const UCHAR *)f->TablePtr)[4 * c] == 4 && ((const UCHAR *)f->TablePtr)[4 * c + 1] == 4) continue;
    line += (char)c;
    if (line.size() == 16) lines.push_back(line), line.clear();
  }
  if (!line.empty()) lines.push_back(line);
  RasterImage img(800, 480, 0x0841);
  GR_CONTEXT *gc = &img.gc;
  gr_SetFontType(gc, slot);
  const SINT w = f->PixWidth, h = f->PixHeight;
  for (PRINTDIR d = 0; d < 4; d++) {
    gr_SetFontDirection(gc, d);
    gc->transpflag = d % 2;
    colour(gc, 1 + d);
    for (size_t i = 0; i < lines.size(); i++) {
      switch (d) {
        case 0: img.pen(4, 4 + h + (SINT)i * (h + 1)); break;
        case 1: img.pen(180 + (SINT)i * (w + 1), 4 + h); break;
        case 2: img.pen(360 + h + (SINT)i * (h + 1), 4 + 16 * w); break;
        default: img.pen(570 + (SINT)i * (h + 1), 4); break;
      }
      gr_PrintString(gc, (const UCHAR *)lines[i].c_str());
    }
  }
  gr_SetFontDirection(gc, 0);
  gc->transpflag = 1;
  const SINT dirs[4] = {0, 45, 90, 180};
  const PIXELPOS pens[4] = {{200, 300}, {10, 470}, {770, 470}, {700, 320}};
  const std::string sample = lines[0].substr(0, 10);
  for (int k = 0; k < 4; k++) {
    gr_SetPrintingDirection(gc, dirs[k]);
    gr_SetFontZoom(gc, 1 + k % 2, 1 + k / 2);
    colour(gc, 5 + k);
    img.pen(pens[k].px, pens[k].py);
    gr_PrintString(gc, (const UCHAR *)sample.c_str());
  }
  expectRasterGolden(img, name);
}

TEST(RasterGolden, Fonts)
{
  static FONT fonts[3];
  fnt_INIT_Daravazos06x09(&fonts[0]);
  fnt_INIT_Daravazos06x11(&fonts[1]);
  fnt_INIT_Daravazos09x15(&fonts[2]);
  for (int i = 0; i < 3; i++) gr_AddFont(&fonts[i], 40 + i);
  fontPicture(40, "font_06x09");
  fontPicture(41, "font_06x11");
  fontPicture(42, "font_09x15");
}

} // namespace
