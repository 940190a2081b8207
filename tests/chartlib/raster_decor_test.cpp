// Decorated lines: cross marks with gaps, and half circles along the line.
#include <gtest/gtest.h>

#include "raster_fixture.h"

namespace {

void selectDecoration(GR_CONTEXT *gc, PTTRNTABLENDX n)
{
  static const UCHAR kTable[256] = {};
  gr_InitPattern(kTable, 0, 8, 1, 1);
  gr_SetPatternType(gc, 0);
  gr_SetPatternIndex(gc, n);
  gr_SetPatternStatus(gc, 1);
}

TEST(RasterDecor, CrossMarkedLineHasMarksAndGaps)
{
  for (SINT gaps : {1, 0}) {
    RasterImage img(30, 20);
    EXPECT_EQ(gf_DrawCrossLine(&img.gc, 0, 10, 14, 10, gaps), CL_SUCCESS);
    PixelSet expected;
    for (SINT x = 0; x <= 14; x++) {
      if (x % 7 == 0) {
        const PixelSet mark = pixelRange(x, x, 8, 12);
        expected.insert(mark.begin(), mark.end());
      } else if (!(gaps && (x % 7 == 3 || x % 7 == 4))) {
        expected.insert({x, 10});
      }
    }
    EXPECT_EQ(img.drawn(), expected) << "gaps " << gaps;
    EXPECT_EQ(img.gc.ptrnattrib.status, 1);
  }
}

TEST(RasterDecor, CrossMarkedLineThroughThePatternLeavesThePen)
{
  RasterImage img(30, 20);
  selectDecoration(&img.gc, 254);
  img.gc.cliplim.px = 9;
  img.pen(0, 10);
  EXPECT_EQ(gf_DrawAbsLine(&img.gc, 14, 10), GR_WARN_CLIPPED);
  EXPECT_EQ(img.gc.cp.px, 0);
  EXPECT_EQ(img.gc.cp.py, 10);
  PixelSet expected = pixelRange(0, 0, 8, 12);
  const PixelSet mark = pixelRange(7, 7, 8, 12);
  expected.insert(mark.begin(), mark.end());
  for (SINT x : {1, 2, 5, 6, 8, 9}) expected.insert({x, 10});
  EXPECT_EQ(img.drawn(), expected);
  // Coinciding ends have no extent to divide by: one mark.
  RasterImage point(30, 20);
  EXPECT_EQ(gf_DrawCrossLine(&point.gc, 5, 10, 5, 10, 1), CL_SUCCESS);
  EXPECT_EQ(point.drawn(), pixelRange(5, 5, 8, 12));
  // A mark across a steep line runs along the rows.
  RasterImage steep(30, 30);
  gf_DrawCrossLine(&steep.gc, 10, 2, 10, 2 + 7, 1);
  EXPECT_EQ(steep.drawn().count({8, 2}) + steep.drawn().count({12, 2}), 2u);
}

struct WaveCase {
  const char *name;
  PIXELPOS from, to;
  PixelSet pixels;
};

PixelSet shifted(const std::vector<Pixel> &shape, SINT dx, SINT dr)
{
  PixelSet s;
  for (const Pixel &p : shape) s.insert({p.first + dx, p.second + dr});
  return s;
}

// Mirrored about column 10.
PixelSet mirrored(const std::vector<Pixel> &shape)
{
  PixelSet s;
  for (const Pixel &p : shape) s.insert({20 - p.first, p.second});
  return s;
}

PixelSet join(std::initializer_list<PixelSet> parts)
{
  PixelSet s;
  for (const PixelSet &p : parts) s.insert(p.begin(), p.end());
  return s;
}

TEST(RasterDecor, UndulatedLineLaysAlternatingHalfCircles)
{
  const std::vector<Pixel> up = {{2, 10}, {2, 9}, {3, 8}, {4, 8}, {5, 8}, {6, 9}, {6, 10}};
  const std::vector<Pixel> down = {{6, 10}, {6, 11}, {7, 12}, {8, 12}, {9, 12}, {10, 11}, {10, 10}};
  const std::vector<Pixel> right = {{10, 2}, {11, 2}, {12, 3}, {12, 4}, {12, 5}, {11, 6}, {10, 6}};
  const std::vector<Pixel> left = {{10, 6}, {9, 6}, {8, 7}, {8, 8}, {8, 9}, {9, 10}, {10, 10}};
  const WaveCase cases[] = {
      {"left to right", {2, 10}, {12, 10}, join({shifted(up, 0, 0), shifted(down, 0, 0), shifted(up, 8, 0)})},
      {"right to left bulges down first", {12, 10}, {2, 10},
       join({shifted(down, -4, 0), shifted(up, 4, 0), shifted(down, 4, 0)})},
      {"downward bulges right first", {10, 2}, {10, 10}, join({shifted(right, 0, 0), shifted(left, 0, 0)})},
      {"upward bulges left first", {10, 10}, {10, 2}, join({mirrored(right), mirrored(left)})},
      {"slope 28/58", {2, 2}, {60, 30}, {}},
      {"coinciding ends", {7, 7}, {7, 7}, {{7, 7}}},
  };
  for (const WaveCase &c : cases) {
    RasterImage img(70, 40);
    EXPECT_EQ(gf_DrawUndulatedLine(&img.gc, c.from.px, c.from.py, c.to.px, c.to.py), CL_SUCCESS) << c.name;
    if (c.pixels.empty()) {
      // Every half circle of this slope runs from P to P + (4, 2) over the upper right.
      const PixelSet first = {{2, 2}, {3, 1}, {4, 1}, {5, 1}, {6, 2}, {6, 3}, {6, 4}};
      for (const Pixel &p : first) EXPECT_TRUE(img.drawn().count(p)) << c.name << " " << p.first << "," << p.second;
    } else {
      EXPECT_EQ(img.drawn(), c.pixels) << c.name;
    }
    EXPECT_EQ(img.gc.ptrnattrib.status, 1) << c.name;
  }
}

TEST(RasterDecor, UndulatedLineThroughThePatternLeavesThePen)
{
  RasterImage img(30, 20);
  selectDecoration(&img.gc, 255);
  img.pen(2, 10);
  EXPECT_EQ(gf_DrawAbsLine(&img.gc, 12, 10), CL_SUCCESS);
  EXPECT_EQ(img.gc.cp.px, 2);
  EXPECT_EQ(img.drawn().size(), 7u * 3u - 2u);
  // Clipped pixels are left out without a warning.
  img.clear();
  img.gc.cliporig.py = 10;
  EXPECT_EQ(gf_DrawAbsLine(&img.gc, 12, 10), CL_SUCCESS);
  for (const Pixel &p : img.drawn()) EXPECT_GE(p.second, 10);
}

} // namespace
