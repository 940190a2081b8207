// Lines and points: the stepping, the cut at the clip rectangle, the brush, patterns and the pen.
#include <gtest/gtest.h>

#include "raster_fixture.h"

namespace {

struct LineCase {
  const char *name;
  PIXELPOS clipOrig, clipLim; // device, inclusive
  PIXELPOS from, to;          // device
  ERRORCODE result;
  PixelSet pixels;
};

void setDeviceClip(GR_CONTEXT *gc, PIXELPOS orig, PIXELPOS lim)
{
  gc->cliporig = orig;
  gc->cliplim = lim;
}

TEST(RasterLine, SolidLinesStepAndCutAsSpecified)
{
  const LineCase cases[] = {
      {"horizontal leaves its end", {0, 0}, {39, 39}, {10, 10}, {20, 10}, CL_SUCCESS, pixelRange(10, 19, 10, 10)},
      {"to beyond R draws R", {5, 5}, {30, 30}, {20, 10}, {35, 10}, CL_SUCCESS, pixelRange(20, 30, 10, 10)},
      {"from left of L never draws the end", {5, 5}, {30, 30}, {0, 10}, {12, 10}, CL_SUCCESS,
       pixelRange(5, 11, 10, 10)},
      {"vertical from above to row T", {5, 5}, {30, 30}, {10, 0}, {10, 5}, GR_WARN_CLIPPED, {}},
      {"vertical from above into the rectangle", {5, 5}, {30, 30}, {10, 0}, {10, 9}, CL_SUCCESS,
       pixelRange(10, 10, 5, 8)},
      {"vertical through both edges", {5, 5}, {30, 30}, {10, 39}, {10, 0}, CL_SUCCESS, pixelRange(10, 10, 5, 30)},
      {"short diagonal", {0, 0}, {39, 39}, {0, 0}, {1, 1}, CL_SUCCESS, {{0, 0}}},
      {"tie steps the row", {0, 0}, {39, 39}, {0, 0}, {2, 1}, CL_SUCCESS, {{0, 0}, {1, 1}}},
      {"diagonal", {0, 0}, {39, 39}, {3, 3}, {7, 7}, CL_SUCCESS, {{3, 3}, {4, 4}, {5, 5}, {6, 6}}},
      {"x-major", {0, 0}, {39, 39}, {0, 0}, {6, 2}, CL_SUCCESS, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}, {5, 2}}},
      {"r-major upward", {0, 0}, {39, 39}, {2, 6}, {0, 0}, CL_SUCCESS,
       {{2, 6}, {2, 5}, {1, 4}, {1, 3}, {1, 2}, {0, 1}}},
      {"beside a corner", {10, 10}, {20, 20}, {5, 12}, {12, 5}, GR_WARN_CLIPPED, {}},
      {"both ends beyond one edge", {10, 10}, {20, 20}, {25, 0}, {30, 30}, GR_WARN_CLIPPED, {}},
      {"short line outside", {10, 10}, {20, 20}, {9, 9}, {10, 10}, GR_WARN_CLIPPED, {}},
      {"diagonal cut at both ends", {10, 10}, {20, 20}, {5, 5}, {25, 25}, CL_SUCCESS,
       {{10, 10}, {11, 11}, {12, 12}, {13, 13}, {14, 14}, {15, 15}, {16, 16}, {17, 17}, {18, 18}, {19, 19},
        {20, 20}}},
      // The inside end is the new start and is skipped; the crossing at T is drawn.
      {"from above into the rectangle", {10, 10}, {20, 20}, {12, 2}, {16, 14}, CL_SUCCESS,
       {{15, 13}, {15, 12}, {14, 11}, {14, 10}}},
  };
  for (const LineCase &c : cases) {
    RasterImage img(40, 40);
    setDeviceClip(&img.gc, c.clipOrig, c.clipLim);
    img.pen(c.from.px, c.from.py);
    EXPECT_EQ(gf_DrawAbsLine(&img.gc, c.to.px, c.to.py), c.result) << c.name;
    EXPECT_EQ(img.drawn(), c.pixels) << c.name;
    EXPECT_EQ(img.gc.cp.px, c.to.px) << c.name << ": the pen goes to the unclipped end";
    EXPECT_EQ(img.gc.cp.py, c.to.py) << c.name;
  }
}

TEST(RasterLine, PolylineDrawsEachJointOnce)
{
  RasterImage img(40, 40);
  gr_SetGMode(&img.gc, 24);
  gr_SetColor(&img.gc, 0x80000000u | 0x0101);
  img.pen(10, 10);
  gf_DrawAbsLine(&img.gc, 20, 10);
  gf_DrawAbsLine(&img.gc, 30, 10);
  gf_DrawAbsLine(&img.gc, 30, 20);
  PixelSet expected = pixelRange(10, 29, 10, 10);
  const PixelSet down = pixelRange(30, 30, 10, 19);
  expected.insert(down.begin(), down.end());
  EXPECT_EQ(img.drawn(), expected);
}

TEST(RasterLine, LogicalEntryPointsConvertRows)
{
  RasterImage img(40, 30);
  gr_SetAbsPenPos(&img.gc, 2, 0); // bottom row
  EXPECT_EQ(gr_DrawRelLine(&img.gc, 0, 3), CL_SUCCESS);
  EXPECT_EQ(img.drawn(), pixelRange(2, 2, 27, 29));
  PIXELPOS p{};
  gr_GetLogicPosition(&img.gc, &p);
  EXPECT_EQ(p.px, 2);
  EXPECT_EQ(p.py, 3);
  img.clear();
  EXPECT_EQ(gr_ClipAndDrawAbsLine(&img.gc, 6, 3, 0), CL_SUCCESS);
  EXPECT_EQ(img.drawn(), pixelRange(2, 5, 26, 26));
}

// A brush of size 3 is a 5 x 5 square: a full one at the pen, then only leading edges.
TEST(RasterLine, BrushLineStampsASquarePerStep)
{
  struct {
    PIXELPOS from, to;
  } const cases[] = {{{10, 10}, {20, 10}}, {{10, 20}, {10, 10}}, {{10, 10}, {17, 17}}, {{10, 10}, {22, 15}},
                     {{20, 10}, {14, 24}}};
  for (const auto &c : cases) {
    RasterImage img(40, 40), ref(40, 40);
    gr_SetDrawingTool(&img.gc, BRUSH);
    gr_SetPixelSize(&img.gc, 3);
    img.pen(c.from.px, c.from.py);
    EXPECT_EQ(gf_DrawAbsLine(&img.gc, c.to.px, c.to.py), CL_SUCCESS);
    EXPECT_EQ(img.gc.cp.px, c.to.px);
    // The same positions as the one-pixel line, each widened to the whole square.
    ref.pen(c.from.px, c.from.py);
    gf_DrawSolidLine(&ref.gc, c.from.px, c.from.py, c.to.px, c.to.py, 0);
    PixelSet expected;
    for (const Pixel &p : ref.drawn()) {
      const PixelSet sq = pixelRange(p.first - 2, p.first + 2, p.second - 2, p.second + 2);
      expected.insert(sq.begin(), sq.end());
    }
    EXPECT_EQ(img.drawn(), expected) << c.from.px << "," << c.from.py << " -> " << c.to.px << "," << c.to.py;
  }
  // The first stamp alone: a line of one step.
  RasterImage one(40, 40);
  gr_SetDrawingTool(&one.gc, BRUSH);
  gr_SetPixelSize(&one.gc, 3);
  one.pen(10, 10);
  gf_DrawAbsLine(&one.gc, 11, 10);
  EXPECT_EQ(one.drawn(), pixelRange(8, 12, 8, 12));
  // Start equal to end: nothing, the pen stays.
  one.clear();
  one.pen(5, 5);
  gf_DrawBrushLine(&one.gc, 5, 5, 5, 5);
  EXPECT_TRUE(one.drawn().empty());
}

TEST(RasterLine, BrushWithPatternDrawsOnePixelWide)
{
  static const UCHAR kSolid[1] = {0xFF};
  gr_InitPattern(kSolid, 9, 8, 1, 1);
  RasterImage img(40, 40);
  gr_SetDrawingTool(&img.gc, BRUSH);
  gr_SetPixelSize(&img.gc, 3);
  gr_SetPatternType(&img.gc, 9);
  gr_SetPatternStatus(&img.gc, 1);
  img.pen(10, 10);
  gf_DrawAbsLine(&img.gc, 20, 10);
  EXPECT_EQ(img.drawn(), pixelRange(10, 19, 10, 10));
}

TEST(RasterLine, DashesContinueAcrossJointsAndTheEndPixelTakesNoStep)
{
  static const UCHAR kDash[2] = {0x0F, 0x0F}; // after bit 1: 3 on, 4 off, 4 on, 4 off, 1 on
  gr_InitPattern(kDash, 8, 8, 2, 2);
  RasterImage img(40, 20);
  gr_SetPatternType(&img.gc, 8);
  gr_SetPatternStatus(&img.gc, 1);
  img.pen(0, 5);
  gf_DrawAbsLine(&img.gc, 5, 5);
  gf_DrawAbsLine(&img.gc, 16, 5);
  PixelSet expected = pixelRange(0, 2, 5, 5);
  const PixelSet second = pixelRange(7, 10, 5, 5);
  expected.insert(second.begin(), second.end());
  expected.insert({15, 5});
  EXPECT_EQ(img.drawn(), expected);
  // Cut at R: the end pixel on the edge is drawn without a pattern step.
  img.clear();
  gr_ResetPattern(&img.gc);
  img.gc.cliplim.px = 4;
  img.pen(0, 8);
  gf_DrawAbsLine(&img.gc, 30, 8);
  EXPECT_EQ(img.drawn(), (PixelSet{{0, 8}, {1, 8}, {2, 8}, {4, 8}}));
}

TEST(RasterLine, PointTakesAPatternStepAndMovesThePen)
{
  static const UCHAR kOff[1] = {0x00};
  gr_InitPattern(kOff, 10, 8, 1, 1);
  RasterImage img(20, 20);
  gr_SetPatternType(&img.gc, 10);
  gr_SetPatternStatus(&img.gc, 1);
  EXPECT_EQ(gr_SetPixel(&img.gc, 4, 5), CL_SUCCESS);
  EXPECT_TRUE(img.drawn().empty());
  EXPECT_EQ(img.gc.cp.px, 4);
  EXPECT_EQ(img.gc.cp.py, 14);
  gr_SetPatternStatus(&img.gc, 0);
  EXPECT_EQ(gr_SetPixel(&img.gc, 4, 5), CL_SUCCESS);
  EXPECT_EQ(img.drawn(), (PixelSet{{4, 14}}));
  gr_SetDrawingTool(&img.gc, BRUSH);
  gr_SetPixelSize(&img.gc, 2);
  EXPECT_EQ(gr_SetPixel(&img.gc, 10, 10), CL_SUCCESS);
  EXPECT_EQ(img.drawn().size(), 1u + 9u);
  EXPECT_EQ(gr_SetPixel(&img.gc, 25, 10), GR_WARN_CLIPPED);
  EXPECT_EQ(img.gc.cp.px, 25);
}

} // namespace
