// Icons in five directions with zoom and transparency, the area-pattern span, and the rotation context.
#include <gtest/gtest.h>

#include <cmath>

#include "raster_fixture.h"

namespace {

// 18 x 18 icons, 12 bytes per row (9 of pixels, 3 of filler): icon 0 is nibble (i + j) % 16 at row i, pixel j;
// icon 1 is all 7 but its corner pixel (row 0, pixel 0), which is 1.
struct IconTable {
  static constexpr SINT kW = 18, kH = 18, kRow = 12, kBytes = kRow * kH;
  std::vector<UCHAR> data = std::vector<UCHAR>(2 * kBytes, 0xEE);
  IconTable()
  {
    for (SINT i = 0; i < kH; i++) {
      for (SINT j = 0; j < kW; j++) {
        set(0, i, j, (UCHAR)((i + j) % 16));
        set(1, i, j, (i == 0 && j == 0) ? 1 : 7);
      }
    }
  }
  void set(SINT icon, SINT i, SINT j, UCHAR n)
  {
    UCHAR &b = data[(size_t)(icon * kBytes + i * kRow + j / 2)];
    b = (j & 1) ? (UCHAR)((b & 0xF0) | n) : (UCHAR)((b & 0x0F) | (n << 4));
  }
};

PixelSet bounds(const PixelSet &s, SINT *x0, SINT *x1, SINT *r0, SINT *r1)
{
  *x0 = *r0 = 1 << 30;
  *x1 = *r1 = -(1 << 30);
  for (const Pixel &p : s) {
    *x0 = std::min(*x0, p.first), *x1 = std::max(*x1, p.first);
    *r0 = std::min(*r0, p.second), *r1 = std::max(*r1, p.second);
  }
  return s;
}

struct IconCase {
  PRINTDIR dir;
  ZOOMFACTOR zx, zy;
  SINT x0, x1, r0, r1;
  Pixel firstStored; // where row 0, pixel 0 lands (its first device pixel)
};

TEST(RasterIcon, DirectionsAndZoomPlaceTheIcon)
{
  static const IconTable table;
  const IconCase cases[] = {
      {0, 1, 1, 100, 117, 183, 200, {100, 200}}, {1, 1, 1, 100, 117, 200, 217, {100, 200}},
      {2, 1, 1, 83, 100, 200, 217, {100, 200}},  {3, 1, 1, 83, 100, 183, 200, {100, 200}},
      {4, 1, 1, 100, 117, 183, 200, {100, 200}}, {0, 2, 2, 100, 135, 165, 200, {100, 200}},
      {2, 2, 2, 65, 100, 200, 235, {100, 200}},  {1, 3, 1, 100, 117, 200, 253, {100, 200}},
  };
  for (const IconCase &c : cases) {
    RasterImage img(260, 260);
    gr_InitBitmap(&img.gc, table.data.data(), 3, IconTable::kW, IconTable::kH, IconTable::kBytes);
    gr_SetBitmapDirection(&img.gc, c.dir);
    gr_SetBitmapZoom(&img.gc, c.zx, c.zy);
    gr_SetColor(&img.gc, 0x80000000u | 0x4321);
    img.pen(100, 200);
    EXPECT_EQ(gr_PrintBitmapWithType(&img.gc, 3, 1), CL_SUCCESS);
    SINT x0, x1, r0, r1;
    const PixelSet s = bounds(img.drawn(), &x0, &x1, &r0, &r1);
    EXPECT_EQ(s.size(), (size_t)(18 * 18 * c.zx * c.zy)) << "dir " << int(c.dir);
    EXPECT_EQ(x0, c.x0) << "dir " << int(c.dir) << " zoom " << int(c.zx);
    EXPECT_EQ(x1, c.x1) << "dir " << int(c.dir);
    EXPECT_EQ(r0, c.r0) << "dir " << int(c.dir);
    EXPECT_EQ(r1, c.r1) << "dir " << int(c.dir);
    EXPECT_EQ(img.at(c.firstStored.first, c.firstStored.second), rasterTestPalette()[1]);
    // Neither the pen nor the colour change; the icon is remembered.
    EXPECT_EQ(img.gc.cp.px, 100);
    EXPECT_EQ(img.gc.cp.py, 200);
    EXPECT_EQ(img.gc.colour, 0x4321u);
    EXPECT_EQ(img.gc.bmpattrib.index, 1);
    EXPECT_EQ(img.gc.bmpattrib.ptr, table.data.data() + IconTable::kBytes);
  }
}

TEST(RasterIcon, FastAndGeneralPathsAgreeAndZoomZeroDrawsNothing)
{
  static const IconTable table;
  RasterImage fast(40, 40), general(40, 40);
  for (RasterImage *img : {&fast, &general}) {
    gr_InitBitmap(&img->gc, table.data.data(), 4, IconTable::kW, IconTable::kH, IconTable::kBytes);
    gr_SetTranspAttr(&img->gc, 1, 5);
    img->pen(3, 30);
  }
  gf_PrintFastBitmap(&fast.gc, 0);
  gf_PrintBitmap(&general.gc, 0);
  EXPECT_EQ(fast.words, general.words);
  EXPECT_EQ(fast.at(3, 30), rasterTestPalette()[0]);
  EXPECT_EQ(fast.at(4, 29), rasterTestPalette()[2]);
  RasterImage none(40, 40);
  gr_InitBitmap(&none.gc, table.data.data(), 4, IconTable::kW, IconTable::kH, IconTable::kBytes);
  gr_SetBitmapZoom(&none.gc, 0, 1);
  none.pen(3, 30);
  gr_PrintBitmapWithType(&none.gc, 4, 0);
  EXPECT_TRUE(none.drawn().empty());
}

TEST(RasterIcon, TransparentNibbleLeavesTheImage)
{
  static const IconTable table;
  for (SINT flag : {1, 0}) {
    RasterImage img(40, 40);
    gr_InitBitmap(&img.gc, table.data.data(), 5, IconTable::kW, IconTable::kH, IconTable::kBytes);
    gr_SetTranspAttr(&img.gc, flag, 7);
    img.pen(10, 30);
    gr_PrintBitmapWithType(&img.gc, 5, 1);
    EXPECT_EQ(img.drawn().size(), flag ? 1u : 18u * 18u);
    EXPECT_EQ(img.at(11, 30), flag ? RasterImage::kBackground : rasterTestPalette()[7]);
  }
}

TEST(RasterIcon, HalfOutsideDrawsTheInsideHalf)
{
  static const IconTable table;
  RasterImage img(40, 40);
  gr_InitBitmap(&img.gc, table.data.data(), 6, IconTable::kW, IconTable::kH, IconTable::kBytes);
  img.gc.cliplim.px = 18;
  img.pen(10, 30);
  EXPECT_EQ(gr_PrintBitmapWithType(&img.gc, 6, 1), GR_WARN_CLIPPED);
  EXPECT_EQ(img.drawn(), pixelRange(10, 18, 13, 30));
}

TEST(RasterIcon, InitBitmapSelectsTheTable)
{
  static const IconTable table;
  RasterImage img(4, 4);
  gr_SetBitmapDirection(&img.gc, 2);
  gr_InitBitmap(&img.gc, table.data.data(), 7, IconTable::kW, IconTable::kH, IconTable::kBytes);
  EXPECT_EQ(BitmapInfo[7].bytesperrow, 12);
  EXPECT_EQ(img.gc.bmpattrib.type, 7);
  EXPECT_EQ(img.gc.bmpattrib.ptr, table.data.data() + IconTable::kBytes);
  EXPECT_EQ(img.gc.bmpattrib.bmpdir, 0);
}

// Tile anchored to the logical origin: pixel (x, y) takes tile column x mod 8 of tile row 7 - y mod 8.
TEST(RasterIcon, PatternSpanTouchesOnlyTheSpansTileBits)
{
  static const UCHAR kTile[8] = {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80}; // a diagonal
  gr_InitPattern(kTile, 11, 8, 8, 8);
  for (SINT n : {5, -5, 20}) {
    for (SINT x : {0, 3, 13}) {
      RasterImage img(40, 20), span(40, 20);
      gr_SetPatternType(&img.gc, 11);
      gf_HorLineWithPattern(&img.gc, x + 5, 7, n);
      gf_HorLine(&span.gc, x + 5, 7, n);
      const SINT y = 20 - 1 - 7;
      PixelSet expected;
      for (const Pixel &p : span.drawn()) {
        if ((kTile[7 - y % 8] >> (p.first % 8)) & 1) expected.insert(p);
      }
      EXPECT_EQ(img.drawn(), expected) << x << " " << n;
    }
  }
}

// ---- Rotation context ----

TEST(RasterRotate, AnglesReduceAndGiveTheirQuadrant)
{
  struct {
    double in, reduced;
    SINT quadrant;
  } const cases[] = {{450, 90, 2},   {-180, 180, 3}, {360, 0, 1},    {720, 0, 1},   {-360, 0, 1},
                     {45, 45, 2},    {-45, -45, 1},  {135, 135, 3},  {-135, -135, 4}, {30, 30, 1},
                     {-190, 170, 3}, {540.5, 180.5 - 360, 3}};
  for (const auto &c : cases) {
    GP_ROTCONTEXT rc{};
    gr_ResetRotationContext(&rc);
    gr_SetRotationAngle(&rc, c.in);
    EXPECT_NEAR(rc.AngleRad, c.reduced * 0.017453292520882225, 1e-12) << c.in;
    EXPECT_EQ(rc.Quadrant, c.quadrant) << c.in;
  }
}

TEST(RasterRotate, RotatesWithIntegerSineAndCosine)
{
  GP_ROTCONTEXT rc{};
  gr_ResetRotationContext(&rc);
  SINT x, y;
  gr_SetRotationAngle(&rc, 90);
  EXPECT_EQ(rc.IntSinAngle, 1024);
  EXPECT_EQ(rc.IntCosAngle, 0);
  gr_RotatePoint(&rc, 10, 0, &x, &y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 10);
  gr_SetRotationAngle(&rc, 30);
  EXPECT_EQ(rc.IntSinAngle, 512);
  EXPECT_EQ(rc.IntCosAngle, 886);
  gr_RotatePoint(&rc, 100, 0, &x, &y);
  EXPECT_EQ(x, 87);
  EXPECT_EQ(y, 50);
  gr_RotatePoint(&rc, -100, 0, &x, &y); // halves away from zero
  EXPECT_EQ(x, -87);
  EXPECT_EQ(y, -50);
  // A zero angle clears the destination origin; another one leaves it.
  gr_SetRotationAreaDestOrg(&rc, 5, 6);
  gr_StepRotationAngle(&rc, 10);
  EXPECT_EQ(rc.RotAreaDestOrg.px, 5);
  gr_SetRotationAngle(&rc, 360);
  EXPECT_EQ(rc.RotAreaDestOrg.px, 0);
  EXPECT_EQ(rc.RotAreaDestOrg.py, 0);
}

TEST(RasterRotate, InverseReturnsWithinOneUnit)
{
  GP_ROTCONTEXT rc{};
  gr_ResetRotationContext(&rc);
  for (double a = -179; a <= 180; a += 7.3) {
    gr_SetRotationAngle(&rc, a);
    for (SINT px = -400; px <= 400; px += 37) {
      for (SINT py = -240; py <= 240; py += 29) {
        SINT x, y, bx, by;
        gr_RotatePoint(&rc, px, py, &x, &y);
        gr_PutStraightPoint(&rc, x, y, &bx, &by);
        ASSERT_LE(std::abs(bx - px), 1) << a << " " << px << "," << py;
        ASSERT_LE(std::abs(by - py), 1) << a << " " << px << "," << py;
      }
    }
  }
}

} // namespace
