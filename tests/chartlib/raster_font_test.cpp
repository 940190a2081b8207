// Bitmap fonts: the built-in bodies, the rack, character placement and text layout.
#include <gtest/gtest.h>

#include <cstring>

#include "chartlib/raster/gl_font_data.h"
#include "raster_fixture.h"

namespace {

struct BuiltIn {
  SINT (*init)(FONT *);
  const char *name;
  SINT w, h, block, rowSize, descender;
  size_t bodySize;
};

const BuiltIn kBuiltIn[] = {
    {fnt_INIT_Daravazos06x09, "Daravazos06x09", 6, 9, 10, 1, 2, sizeof gl_aucFontBody06x09},
    {fnt_INIT_Daravazos06x11, "Daravazos06x11", 6, 11, 12, 1, 2, sizeof gl_aucFontBody06x11},
    {fnt_INIT_Daravazos09x15, "Daravazos09x15", 9, 15, 31, 2, 3, sizeof gl_aucFontBody09x15},
};

UINT32 offsetOf(const FONT &f, int code)
{
  const UCHAR *e = f.TablePtr + 4 * code;
  return (UINT32)e[0] | ((UINT32)e[1] << 8) | ((UINT32)e[2] << 16) | ((UINT32)e[3] << 24);
}

std::vector<int> largeSet()
{
  std::vector<int> v = {0x18, 0x19};
  for (int c = 0x21; c <= 0x7F; c++) v.push_back(c);
  for (int c : {0x82, 0x8A, 0x8C, 0x9A, 0x9C, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA7, 0xA9, 0xB0, 0xB1, 0xB5, 0xB6})
    v.push_back(c);
  for (int c = 0xBF; c <= 0xFF; c++) v.push_back(c);
  return v;
}

TEST(RasterFont, BuiltInBodiesHoldExactlyTheirCharacterSets)
{
  const std::vector<int> small = {0x2B, 0x2D, 0x2E, 0x30, 0x31, 0x32, 0x33, 0x34,
                                  0x35, 0x36, 0x37, 0x38, 0x39, 0x3A, 0x7F};
  const std::vector<int> large = largeSet();
  ASSERT_EQ(large.size(), 178u);
  for (const BuiltIn &b : kBuiltIn) {
    FONT f{};
    EXPECT_EQ(b.init(&f), 0);
    EXPECT_STREQ((const char *)f.FontDescr, b.name);
    EXPECT_EQ(f.PixWidth, b.w);
    EXPECT_EQ(f.PixHeight, b.h);
    EXPECT_EQ(f.BlockSize, b.block);
    EXPECT_EQ(f.RowSize, b.rowSize);
    EXPECT_EQ(f.Descender, b.descender);
    EXPECT_EQ(f.FirstChar, 0);
    EXPECT_EQ(f.LastChar, 255);
    EXPECT_EQ(b.init(nullptr), 1);
    const std::vector<int> &set = b.w == 6 && b.h == 9 ? small : large;
    EXPECT_EQ(b.bodySize, 1028u + (set.size() + 1) * (size_t)b.block) << b.name;
    EXPECT_EQ(offsetOf(f, 256), 0xFFFFFFFFu);
    EXPECT_EQ(f.TablePtr[1028], b.w) << "the default glyph advances a cell";
    for (SINT k = 1; k < b.block; k++) EXPECT_EQ(f.TablePtr[1028 + k], 0) << "the default glyph is blank";
    for (int c = 0; c < 256; c++) {
      const bool own = std::find(set.begin(), set.end(), c) != set.end();
      const UINT32 off = offsetOf(f, c);
      EXPECT_EQ(off != 1028u, own) << b.name << " code " << c;
      if (!own) continue;
      ASSERT_EQ((off - 1028u) % (UINT32)b.block, 0u);
      ASSERT_LE(off + (UINT32)b.block, b.bodySize);
      EXPECT_EQ(f.TablePtr[off], b.w) << "every advance is the cell width";
      bool ink = false;
      for (SINT k = 1; k < b.block; k++) ink = ink || f.TablePtr[off + k];
      EXPECT_TRUE(ink) << b.name << " code " << c << " has no ink";
    }
  }
}

TEST(RasterFont, RackRefusesSlotsAboveSixtyNine)
{
  FONT f{};
  fnt_INIT_Daravazos06x11(&f);
  EXPECT_EQ(gr_AddFont(&f, 70), GR_ERR_FONT_SLOT);
  EXPECT_EQ(gr_AddFont(&f, 60), CL_SUCCESS);
  EXPECT_EQ(FontsRack[60], &f);
  RasterImage img(8, 8);
  EXPECT_EQ(gr_SetFontType(&img.gc, 70), GR_ERR_FONT_SLOT);
  EXPECT_EQ(img.gc.fntattrib.Fptr, nullptr);
  EXPECT_EQ(gr_SetFontType(&img.gc, 60), CL_SUCCESS);
  EXPECT_EQ(img.gc.fntattrib.Fptr, &f);
  EXPECT_EQ(gr_GetFontWidth(60), 6);
  EXPECT_EQ(gr_GetFontHeight(60), 11);
  EXPECT_EQ(gr_GetFontDescender(60), 2);
}

class RasterText : public ::testing::Test {
 protected:
  FONT fonts[3]{};
  void SetUp() override
  {
    for (int i = 0; i < 3; i++) {
      kBuiltIn[i].init(&fonts[i]);
      gr_AddFont(&fonts[i], 50 + i);
    }
  }
  static void bounds(const PixelSet &s, SINT *x0, SINT *x1, SINT *r0, SINT *r1)
  {
    *x0 = *r0 = 1 << 30;
    *x1 = *r1 = -(1 << 30);
    for (const Pixel &p : s) {
      *x0 = std::min(*x0, p.first), *x1 = std::max(*x1, p.first);
      *r0 = std::min(*r0, p.second), *r1 = std::max(*r1, p.second);
    }
  }
};

TEST_F(RasterText, StringCoversItsCellsAndAdvancesThePen)
{
  RasterImage img(80, 60);
  gr_SetFontType(&img.gc, 50);
  img.pen(10, 50);
  EXPECT_EQ(gr_PrintString(&img.gc, (const UCHAR *)"10.5"), CL_SUCCESS);
  SINT x0, x1, r0, r1;
  bounds(img.drawn(), &x0, &x1, &r0, &r1);
  EXPECT_EQ(x0, 10);
  EXPECT_EQ(x1, 33);
  EXPECT_EQ(r0, 42);
  EXPECT_EQ(r1, 50);
  EXPECT_EQ(img.drawn().size(), 24u * 9u) << "the background is drawn too";
  EXPECT_EQ(img.gc.cp.px, 34);
  // "A" has no glyph here: background only.
  img.clear();
  img.pen(10, 50);
  gr_PrintString(&img.gc, (const UCHAR *)"A");
  for (const Pixel &p : img.drawn()) EXPECT_EQ(img.at(p.first, p.second), rasterTestPalette()[0]);
  EXPECT_EQ(img.gc.cp.px, 16);
  // A space with transparency draws nothing and still advances.
  img.clear();
  img.gc.transpflag = 1;
  gr_SetFontType(&img.gc, 52);
  img.pen(10, 50);
  gr_PrintString(&img.gc, (const UCHAR *)" ");
  EXPECT_TRUE(img.drawn().empty());
  EXPECT_EQ(img.gc.cp.px, 19);
  EXPECT_EQ(gr_PrintString(&img.gc, (const UCHAR *)""), CL_SUCCESS);
}

TEST_F(RasterText, BackwardDirectionsPrintLastCharacterFirst)
{
  RasterImage ab(80, 40), a(80, 40), b(80, 40);
  for (RasterImage *img : {&ab, &a, &b}) {
    gr_SetFontType(&img->gc, 51);
    img->gc.transpflag = 1;
    gr_SetPrintingDirection(&img->gc, 180);
  }
  ab.pen(40, 20);
  gr_PrintString(&ab.gc, (const UCHAR *)"AB");
  EXPECT_EQ(ab.gc.cp.px, 28);
  // B at the pen, A one cell to its left.
  b.pen(40, 20);
  gr_PrintString(&b.gc, (const UCHAR *)"B");
  a.pen(34, 20);
  gr_PrintString(&a.gc, (const UCHAR *)"A");
  PixelSet both = a.drawn();
  const PixelSet bs = b.drawn();
  both.insert(bs.begin(), bs.end());
  EXPECT_EQ(ab.drawn(), both);
}

TEST_F(RasterText, StepAlongADirectionTouchesTheNextCell)
{
  struct {
    SINT t, a, h;
    ZOOMFACTOR zx, zy;
    SINT dx, dy;
  } const cases[] = {
      {0, 6, 11, 1, 1, 6, 0},    {45, 6, 11, 1, 1, 6, 6},    {80, 6, 11, 1, 1, 2, 11},  {90, 6, 11, 1, 1, 0, 11},
      {100, 6, 11, 1, 1, -2, 11}, {170, 6, 11, 1, 1, -6, 1}, {180, 6, 11, 1, 1, -6, 0}, {200, 6, 11, 1, 1, -6, -2},
      {260, 6, 11, 1, 1, -2, -11}, {270, 6, 11, 1, 1, 0, -11}, {300, 6, 11, 1, 1, 6, -10}, {350, 6, 11, 1, 1, 6, -1},
      {45, 9, 15, 2, 1, 15, 15},
  };
  for (const auto &c : cases) {
    SINT dx = 99, dy = 99;
    gf_ComputeNewCurPosInHorMode(c.t, c.a, c.h, c.zx, c.zy, &dx, &dy);
    EXPECT_EQ(dx, c.dx) << c.t;
    EXPECT_EQ(dy, c.dy) << c.t;
  }
}

TEST_F(RasterText, FontDirectionsTurnTheGlyph)
{
  // Pen step and covered box of one 9 x 15 cell per font direction.
  struct {
    PRINTDIR dir;
    SINT penX, penR, x0, x1, r0, r1;
  } const cases[] = {
      {0, 49, 40, 40, 48, 26, 40}, {1, 40, 55, 40, 48, 26, 40}, {2, 40, 31, 26, 40, 32, 40},
      {3, 40, 49, 40, 54, 40, 48}, {4, 40, 40, 40, 54, 40, 48},
  };
  for (const auto &c : cases) {
    RasterImage img(80, 80);
    gr_SetFontType(&img.gc, 52);
    gr_SetFontDirection(&img.gc, c.dir);
    gr_SetFontZoom(&img.gc, 1, 1);
    gr_SetPrintingDirection(&img.gc, 0);
    img.pen(40, 40);
    EXPECT_EQ(gf_PrintChar(&img.gc, 'W'), CL_SUCCESS);
    SINT x0, x1, r0, r1;
    bounds(img.drawn(), &x0, &x1, &r0, &r1);
    EXPECT_EQ(img.gc.cp.px, c.penX) << int(c.dir);
    EXPECT_EQ(img.gc.cp.py, c.penR) << int(c.dir);
    EXPECT_EQ(x0, c.x0) << int(c.dir);
    EXPECT_EQ(x1, c.x1) << int(c.dir);
    EXPECT_EQ(r0, c.r0) << int(c.dir);
    EXPECT_EQ(r1, c.r1) << int(c.dir);
  }
}

TEST_F(RasterText, FastAndGeneralCharactersAgree)
{
  for (int slot = 50; slot <= 52; slot++) {
    RasterImage fast(40, 40), general(40, 40);
    for (RasterImage *img : {&fast, &general}) {
      gr_SetFontType(&img->gc, slot);
      gr_SetColor(&img->gc, 3);
      img->pen(5, 30);
    }
    for (int c = 1; c < 256; c++) {
      fast.pen(5, 30);
      general.pen(5, 30);
      gf_PrintFastChar(&fast.gc, (UCHAR)c);
      gf_PrintChar(&general.gc, (UCHAR)c);
      ASSERT_EQ(fast.words, general.words) << "slot " << slot << " code " << c;
      ASSERT_EQ(fast.gc.cp.px, general.gc.cp.px);
      EXPECT_EQ(fast.gc.colour, rasterTestPalette()[3]);
    }
  }
}

TEST_F(RasterText, WidthsCountZoomAndRawAdvances)
{
  RasterImage img(8, 8);
  gr_SetFontType(&img.gc, 52);
  gr_SetFontZoom(&img.gc, 2, 1);
  SINT dim[2] = {0, 0};
  EXPECT_EQ(gr_StringPixelDim(&img.gc, (const UCHAR *)"abc", dim), CL_SUCCESS);
  EXPECT_EQ(dim[0], 54);
  EXPECT_EQ(dim[1], 15);
  const UCHAR counted[] = {2, 'a', 'b', 'c'};
  EXPECT_EQ(gr_GetPStrLen(&img.gc, counted, 'L'), 36);
  const UCHAR empty[] = {0, 'a'};
  EXPECT_EQ(gr_GetPStrLen(&img.gc, empty, 'l'), 0);
  EXPECT_EQ(gr_GetPStrLen(&img.gc, (const UCHAR *)"ab", 's'), 36);
  EXPECT_EQ(gr_GetPStrLen(&img.gc, (const UCHAR *)"ab", 'x'), -1);
  gr_SetPrintingDirection(&img.gc, 10);
  EXPECT_EQ(gr_StringPixelDim(&img.gc, (const UCHAR *)"abc", dim), GR_ERR_DIRECTION);
  gr_SetPrintingDirection(&img.gc, 0);
  gr_SetFontDirection(&img.gc, 1);
  EXPECT_EQ(gr_StringPixelDim(&img.gc, (const UCHAR *)"abc", dim), GR_ERR_DIRECTION);
}

// A font whose advance exceeds its cell draws the cell width but measures the advance.
TEST_F(RasterText, DrawingClampsTheAdvanceMeasuringDoesNot)
{
  std::vector<UCHAR> body(1028 + 2 * 4, 0);
  for (int c = 0; c < 256; c++) body[4 * c] = 4; // offset 1028 = 0x404
  for (int c = 0; c < 256; c++) body[4 * c + 1] = 4;
  body[1028] = 6;
  body[1032] = 9;
  body[4 * 'x'] = (UCHAR)(1032 & 0xFF);
  body[4 * 'x' + 1] = (UCHAR)(1032 >> 8);
  body[1033] = 0xFF;
  FONT f{};
  f.TablePtr = body.data();
  f.PixWidth = 6;
  f.PixHeight = 3;
  f.RowSize = 1;
  f.BlockSize = 4;
  gr_AddFont(&f, 55);
  RasterImage img(40, 10);
  gr_SetFontType(&img.gc, 55);
  img.gc.transpflag = 1;
  img.pen(2, 8);
  gr_PrintString(&img.gc, (const UCHAR *)"x");
  EXPECT_EQ(img.drawn(), pixelRange(2, 7, 8, 8));
  EXPECT_EQ(img.gc.cp.px, 8);
  EXPECT_EQ(gr_GetPStrLen(&img.gc, (const UCHAR *)"x", 'S'), 9);
}

} // namespace
