// The stand-alone line, filled rectangles and arcs.
#include <gtest/gtest.h>

#include <cmath>

#include "raster_fixture.h"

namespace {

constexpr SINT kW = 80, kH = 60;

// Logical row y as a device row of the test image.
SINT row(SINT y) { return kH - 1 - y; }

struct SmartCase {
  const char *name;
  PIXELPOS p0, p1; // logical
  ERRORCODE result;
  PixelSet pixels;
};

TEST(RasterShape, SmartLineLeavesTheSecondOrTheRightOrLowerEnd)
{
  const SmartCase cases[] = {
      {"leftward horizontal", {10, 5}, {3, 5}, CL_SUCCESS, pixelRange(4, 10, row(5), row(5))},
      {"x-major from the left", {3, 5}, {10, 6}, CL_SUCCESS,
       {{3, row(5)}, {4, row(5)}, {5, row(5)}, {6, row(5)}, {7, row(6)}, {8, row(6)}, {9, row(6)}}},
      {"x-major given from the right", {10, 6}, {3, 5}, CL_SUCCESS,
       {{3, row(5)}, {4, row(5)}, {5, row(5)}, {6, row(5)}, {7, row(6)}, {8, row(6)}, {9, row(6)}}},
      {"vertical upward leaves the upper end", {7, 2}, {7, 6}, CL_SUCCESS, pixelRange(7, 7, row(5), row(2))},
      {"r-major from the upper end", {4, 9}, {6, 3}, CL_SUCCESS,
       {{4, row(9)}, {4, row(8)}, {5, row(7)}, {5, row(6)}, {5, row(5)}, {6, row(4)}}},
      {"diagonal odd to even column", {5, 9}, {9, 5}, CL_SUCCESS,
       {{5, row(9)}, {6, row(8)}, {7, row(7)}, {8, row(6)}}},
      {"equal points", {20, 20}, {20, 20}, CL_SUCCESS, {}},
      {"wholly left of the clip", {-10, 5}, {-2, 20}, GR_WARN_CLIPPED, {}},
      {"cut at both ends", {-20, 10}, {100, 10}, CL_SUCCESS, pixelRange(0, kW - 2, row(10), row(10))},
  };
  for (const SmartCase &c : cases) {
    RasterImage img(kW, kH);
    EXPECT_EQ(gr_SmartDrawLine(&img.gc, 1, c.p0.px, c.p0.py, c.p1.px, c.p1.py), c.result) << c.name;
    EXPECT_EQ(img.drawn(), c.pixels) << c.name;
    EXPECT_EQ(img.gc.cp.px, 0) << "the pen is not used";
    if (c.result == CL_SUCCESS && c.p0.px >= 0 && c.p1.px >= 0 && c.p0.px < kW && c.p1.px < kW) {
      RasterImage unclipped(kW, kH);
      gr_SmartDrawLine(&unclipped.gc, 0, c.p0.px, c.p0.py, c.p1.px, c.p1.py);
      EXPECT_EQ(unclipped.words, img.words) << c.name << ": clip flag 0 draws an inside line the same";
    }
  }
}

TEST(RasterShape, SmartLineIgnoresPenPatternAndTool)
{
  static const UCHAR kOff[1] = {0};
  gr_InitPattern(kOff, 12, 8, 1, 1);
  RasterImage img(kW, kH);
  gr_SetPatternType(&img.gc, 12);
  gr_SetPatternStatus(&img.gc, 1);
  gr_SetDrawingTool(&img.gc, BRUSH);
  gr_SetPixelSize(&img.gc, 4);
  gr_SmartDrawLine(&img.gc, 1, 1, 1, 30, 20);
  EXPECT_EQ(img.drawn().size(), 29u);
}

// Clipped steep lines: every pixel stays inside, whatever the cut.
TEST(RasterShape, SmartLineStaysInsideTheClipRectangle)
{
  RasterImage img(kW, kH);
  gr_SetClipArea(&img.gc, 20, 20, 30, 20);
  for (SINT k = -40; k <= 120; k += 9) {
    gr_SmartDrawLine(&img.gc, 1, k, -10, 70 - k, 70);
    gr_SmartDrawLine(&img.gc, 1, -10, k / 2, 90, 60 - k / 2);
  }
  ASSERT_FALSE(img.drawn().empty());
  for (const Pixel &p : img.drawn()) {
    EXPECT_TRUE(gf_Inside(&img.gc, p.first, p.second)) << p.first << "," << p.second;
  }
}

TEST(RasterShape, RectangleFillsAndCutsWithoutWarning)
{
  struct {
    SINT x, y, w, h;
    ERRORCODE result;
    PixelSet pixels;
  } const cases[] = {
      {5, 5, 1, 1, CL_SUCCESS, {{5, row(5)}}},
      {5, 5, 3, 2, CL_SUCCESS, pixelRange(5, 7, row(6), row(5))},
      {7, 6, -3, -2, CL_SUCCESS, pixelRange(3, 7, row(6), row(3))},
      {15, 15, 20, 2, CL_SUCCESS, pixelRange(15, 19, row(16), row(15))},   // sticks out right
      {-5, 10, 8, 3, CL_SUCCESS, pixelRange(0, 2, row(12), row(10))},
      {25, 5, 4, 4, GR_WARN_CLIPPED, {}},
  };
  for (const auto &c : cases) {
    RasterImage img(kW, kH);
    gr_SetClipArea(&img.gc, 0, 0, 20, 20);
    gr_SetGMode(&img.gc, 16);
    EXPECT_EQ(gr_DrawRectangle(&img.gc, c.x, c.y, c.w, c.h), c.result) << c.x << "," << c.y;
    EXPECT_EQ(img.drawn(), c.pixels) << c.x << "," << c.y;
  }
}

TEST(RasterShape, ArcsRunCounterClockwiseOverTheTable)
{
  EXPECT_EQ(gl_cos[0], 1.0);
  EXPECT_EQ(gl_sin[1], 0.031411);
  EXPECT_EQ(gl_cos[2], 0.998027);
  EXPECT_EQ(gl_sin[50], 1.0);
  EXPECT_EQ(gl_cos[100], -1.0);
  EXPECT_EQ(gl_sin[150], -1.0);
  const double pi = 3.14159265358979;
  RasterImage half(kW, kH);
  half.pen(40, 50);
  EXPECT_EQ(gr_DrawArc(&half.gc, 0, 0, 0.0, pi, 30), CL_SUCCESS);
  const PixelSet upper = half.drawn();
  EXPECT_TRUE(upper.count({70, 50}));
  EXPECT_TRUE(upper.count({10, 50}));
  EXPECT_TRUE(upper.count({40, 20}));
  for (const Pixel &p : upper) EXPECT_LE(p.second, 50);
  EXPECT_EQ(half.gc.cp.px, 10) << "the pen ends on the last point";
  // Each segment leaves its end pixel to the next: every column of the half circle is reached.
  for (SINT x = 10; x <= 70; x++) {
    bool any = false;
    for (SINT r = 20; r <= 50; r++) any = any || upper.count({x, r});
    EXPECT_TRUE(any) << x;
  }
  RasterImage whole(kW, kH);
  whole.pen(40, 30);
  gr_DrawArc(&whole.gc, 0, 0, 0.0, 2 * pi, 20);
  EXPECT_EQ(whole.drawn(), (PixelSet{{60, 30}}));
  RasterImage none(kW, kH);
  none.pen(40, 30);
  EXPECT_EQ(gr_DrawArc(&none.gc, 0, 0, 0.0, pi, 0), CL_SUCCESS);
  EXPECT_TRUE(none.drawn().empty());
  // Centre given as an offset from the pen, y upward; partly outside warns from its last line.
  RasterImage off(kW, kH);
  off.pen(10, 50);
  gr_DrawArc(&off.gc, 30, 20, -pi / 2, 0.0, 25);
  EXPECT_TRUE(off.drawn().count({65, 30}));
  EXPECT_TRUE(off.drawn().count({40, 55}));
  RasterImage cut(kW, kH);
  cut.pen(40, 30);
  EXPECT_EQ(gr_DrawArc(&cut.gc, 0, 0, 0.0, pi / 2, 35), GR_WARN_CLIPPED);
}

} // namespace
