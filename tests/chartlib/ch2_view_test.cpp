// View geometry, distances and the rounding of ranges and grid steps.
#include <gtest/gtest.h>

#include <cmath>

#include "chartlib/reader/ch2_map.h"
#include "chartlib/nav/nv_navig.h"

namespace {

MAPCONTEXT2 ViewContext() {
  MAPCONTEXT2 ctx{};
  ctx.sMapView.sPointLeftBottom = {100, 100};
  ctx.sMapView.sPointRightTop = {200, 200};
  return ctx;
}

TEST(Ch2View, PointInsideTheShrunkView) {
  const MAPCONTEXT2 ctx = ViewContext();
  const struct {
    POINT p;
    SINT margin;
    BOOL inside;
  } cases[] = {
      {{105, 150}, 10, FALSE}, {{110, 150}, 10, TRUE}, {{190, 190}, 10, TRUE}, {{191, 150}, 10, FALSE},
      {{150, 95}, 0, FALSE},   {{100, 100}, 0, TRUE},  {{200, 200}, 0, TRUE},  {{95, 95}, -5, TRUE},
  };
  for (const auto &c : cases) {
    BOOL inside = 7;
    EXPECT_EQ(ch2_IsPointInsideView(&ctx, &c.p, c.margin, &inside), CL_SUCCESS);
    EXPECT_EQ(inside, c.inside) << c.p.x << "," << c.p.y << " margin " << c.margin;
  }
}

TEST(Ch2View, SegmentOutsideOnlyBeyondOneEdge) {
  const MAPCONTEXT2 ctx = ViewContext();
  const struct {
    POINT a, b;
    SINT margin;
    BOOL outside;
  } cases[] = {
      {{50, 150}, {250, 150}, 0, FALSE},   // from left of the view to right of it
      {{10, 150}, {90, 190}, 0, TRUE},     // both left
      {{120, 250}, {180, 300}, 0, TRUE},   // both above
      {{150, 50}, {150, 99}, 0, TRUE},     // both below
      {{50, 150}, {150, 250}, 0, FALSE},   // one left, one above
      {{150, 150}, {160, 160}, 0, FALSE},  // inside
      {{105, 150}, {108, 150}, 10, TRUE},  // within the margin strip only
  };
  for (const auto &c : cases) {
    BOOL outside = 7;
    EXPECT_EQ(ch2_IsSegmentOutsideView(&ctx, &c.a, &c.b, c.margin, &outside), CL_SUCCESS);
    EXPECT_EQ(outside, c.outside) << c.a.x << "," << c.a.y << " " << c.b.x << "," << c.b.y;
  }
}

TEST(Ch2View, LineCrossingsInEdgeOrder) {
  const MAPCONTEXT2 ctx = ViewContext();
  const POINT untouched{-7, -7};
  const struct {
    const char *name;
    DOUBLE slope, intercept;
    POINT first, second;
  } cases[] = {
      {"horizontal: left and right", 0.0, 150.0, {100, 150}, {200, 150}},
      {"vertical: bottom then top", 1e6, -1e6 * 150, {150, 100}, {150, 200}},
      {"diagonal through the corners", 1.0, 0.0, {100, 100}, {200, 200}},
      {"left and top", 1.0, 50.0, {100, 150}, {150, 200}},
      {"right and bottom", 1.0, -50.0, {200, 150}, {150, 100}},
      {"horizontal above the view", 0.0, 250.0, untouched, untouched},
      {"steep, left of the view", 1e6, -1e6 * 50, untouched, {50, 200}},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    POINT first = untouched, second = untouched;
    EXPECT_EQ(ch2_ViewIntersection(&ctx, c.slope, c.intercept, &first, &second), CL_SUCCESS);
    EXPECT_EQ(first.x, c.first.x);
    EXPECT_EQ(first.y, c.first.y);
    EXPECT_EQ(second.x, c.second.x);
    EXPECT_EQ(second.y, c.second.y);
  }
}

// Mercator corners of a rectangle so many minutes of latitude and longitude from the equator at 0 degrees.
void Rectangle(DOUBLE northMinutes, DOUBLE eastMinutes, POINT *a, POINT *b) {
  const POSITION sw{0.0, 0.0}, ne{northMinutes / 60, eastMinutes / 60};
  nv_DegrToMeter(&sw, a);
  nv_DegrToMeter(&ne, b);
}

TEST(Ch2View, DistancesInMetresAndMapUnits) {
  POINT a{}, b{};
  Rectangle(4, 0, &a, &b);
  DOUBLE d = -1;
  EXPECT_EQ(ch2_LinearDistance(nullptr, &a, &b, TRUE, &d), CL_SUCCESS);
  EXPECT_NEAR(d, 4.0, 0.01);
  // The same points as map units of a map whose units are metres.
  MAPCONTEXT2 ctx{};
  ctx.sMapHeader.slLeftInMercatorMeters = -1000;
  ctx.sMapHeader.slBottomInMercatorMeters = -1000;
  ctx.sMapHeader.slRightInMercatorMeters = 1000000 - 1000;
  ctx.sMapHeader.slTopInMercatorMeters = 1000000 - 1000;
  ctx.sMapHeader.slResolutionX = ctx.sMapHeader.slResolutionY = 1000000;
  const POINT ua{a.x + 1000, a.y + 1000}, ub{b.x + 1000, b.y + 1000};
  DOUBLE du = -1;
  EXPECT_EQ(ch2_LinearDistance(&ctx, &ua, &ub, FALSE, &du), CL_SUCCESS);
  EXPECT_EQ(du, d);
  const POINT off{0, 20000000};
  EXPECT_EQ(ch2_LinearDistance(nullptr, &a, &off, TRUE, &d), NV_ERR_LATITUDE);
  EXPECT_EQ(d, 0.0);
}

TEST(Ch2View, AutoRangeCoversTheRectangle) {
  POINT a{}, b{};
  Rectangle(4, 10, &a, &b);
  const struct {
    DOUBLE minimum;
    SINT size;
    DOUBLE range;
  } cases[] = {{1, 512, 8.0}, {20, 512, 20.0}, {1, 64, 64.0}, {1, 1024, 8.0}};
  for (const auto &c : cases) {
    FLOAT r = -1;
    EXPECT_EQ(ch2_AutoRange(a, b, c.minimum, c.size, &r), CL_SUCCESS);
    EXPECT_EQ(r, c.range) << c.minimum << " " << c.size;
  }
  FLOAT r = -1;
  EXPECT_EQ(ch2_AutoRange(a, a, 1.5, 512, &r), CH2_WARN_EMPTY_RECT);
  EXPECT_EQ(r, 1.5);
  // A size not above 0 cannot be met: the doubling ends instead of running for ever.
  EXPECT_EQ(ch2_AutoRange(a, b, 1, -1, &r), CL_SUCCESS);
  EXPECT_TRUE(std::isinf(r));
}

TEST(Ch2View, RangeRounding) {
  const struct {
    DOUBLE value, range;
  } powers[] = {{3, 4.0}, {4, 8.0}, {1, 1.0}, {0.3, 0.5}, {5, 8.0}, {1000, 1024.0}, {8.0001, 16.0}};
  for (const auto &c : powers) {
    FLOAT r = -1;
    EXPECT_EQ(ch2_RoundRange(c.value, &r), CL_SUCCESS);
    EXPECT_EQ(r, c.range) << c.value;
  }
  const struct {
    DOUBLE value, step;
    ERRORCODE code;
    DOUBLE out;
  } fractions[] = {
      {1.26, 0.25, CL_SUCCESS, 1.25}, {1.38, 0.25, CL_SUCCESS, 1.5}, {-0.1, 0.25, CL_SUCCESS, 0.0},
      {1.26, 0.0, CH2_ERR_ROUNDING_STEP, 0.0}, {1.26, -1.0, CH2_ERR_ROUNDING_STEP, 0.0},
  };
  for (const auto &c : fractions) {
    FLOAT out = -1;
    EXPECT_EQ(ch2_RoundToMileFrac(c.value, c.step, &out), c.code) << c.value << " " << c.step;
    EXPECT_EQ(out, c.out) << c.value << " " << c.step;
  }
  const struct {
    DOUBLE value;
    SINT divisor;
    ERRORCODE code;
    DOUBLE out;
  } ratios[] = {{10, -4, CL_SUCCESS, 2.5},
                {1, 3, CL_SUCCESS, static_cast<float>(1.0 / 3)},
                {5, 0, CH2_ERR_ZERO_DIVISOR, 0.0},
                {1, INT32_MIN, CL_SUCCESS, 1.0 / 2147483648.0}};
  for (const auto &c : ratios) {
    FLOAT out = -1;
    EXPECT_EQ(ch2_CalcRatio(c.value, c.divisor, &out), c.code) << c.divisor;
    EXPECT_EQ(out, c.out) << c.divisor;
  }
  const struct {
    DOUBLE value, step;
  } grid[] = {{0.0, 0.1}, {1e6, 2400}, {0.01, 0.1}, {3, 1}, {100, 20}, {-100, 20}, {0.3, 0.2}, {70000, 2400}};
  for (const auto &c : grid) EXPECT_EQ(ch2_RoundGridStep(c.value), static_cast<float>(c.step)) << c.value;
}

}  // namespace
