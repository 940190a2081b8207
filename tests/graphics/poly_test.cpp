// Polygon clipping against a rectangle.
#include <gtest/gtest.h>

#include "graphics/poly.h"

namespace {

using PTS = std::vector<SINT>;

// Clips against 0 ≤ x ≤ 100, 0 ≤ y ≤ 50; returns the result points (empty when 0).
// The array is given room for the clipped outline, which may have more points than the input.
PTS vClip(PTS v)
{
    const size_t szInput = v.size();
    v.resize(szInput * 4 + 16);
    const SINT n = U_POLY_nClip(0, 100, 50, 0, v.data(), (SINT)szInput / 2);
    v.resize((size_t)n * 2);
    return v;
}

} // namespace

TEST(Poly, FiveCases)
{
    // Wholly inside: unchanged.
    EXPECT_EQ(vClip({10, 10, 90, 10, 50, 40}), (PTS{10, 10, 90, 10, 50, 40}));
    // Wholly left: first and last vertices clamped to x = 0, the others dropped; repeats removed;
    // fewer than two points give 0.
    PTS vLeft{-30, 10, -20, 10, -25, 10};
    const PTS vLeftCopy = vLeft;
    EXPECT_EQ(U_POLY_nClip(0, 100, 50, 0, vLeft.data(), 3), 0);
    EXPECT_EQ(vLeft, vLeftCopy); // input left alone
    EXPECT_EQ(vClip({-30, 10, -20, 20, -25, 30}), (PTS{0, 10, 0, 30}));
    // Larger than the rectangle on every side: every point on the border.
    const PTS vBig = vClip({-50, -50, 150, -50, 150, 100, -50, 100});
    ASSERT_GE(vBig.size(), 4u);
    for (size_t i = 0; i < vBig.size(); i += 2) {
        const SINT x = vBig[i], y = vBig[i + 1];
        EXPECT_TRUE(x == 0 || x == 100 || y == 0 || y == 50) << x << "," << y;
        EXPECT_TRUE(x >= 0 && x <= 100 && y >= 0 && y <= 50);
    }
    // A vertex on a boundary is kept with no intersection added.
    EXPECT_EQ(vClip({0, 10, 50, 10, 50, 40}), (PTS{0, 10, 50, 10, 50, 40}));
    // Consecutive equal points are stored once.
    EXPECT_EQ(vClip({10, 10, 10, 10, 60, 10, 60, 30}), (PTS{10, 10, 60, 10, 60, 30}));
}

TEST(Poly, CrossingEdgesGetIntersections)
{
    // Right edge crossing: (80, 10) to (120, 30) meets x = 100 at y = 20; the last vertex is clamped.
    EXPECT_EQ(vClip({50, 10, 80, 10, 120, 30, 60, 30}), (PTS{50, 10, 80, 10, 100, 20, 100, 30, 60, 30}));
    // A middle vertex outside the top: the edge leaves and re-enters.
    EXPECT_EQ(vClip({10, 10, 30, 90, 50, 10}), (PTS{10, 10, 20, 50, 40, 50, 50, 10}));
}

TEST(Poly, MoreThan128PointsAreKept)
{
    // A zig-zag of 300 vertices crossing the top edge: far more than 128 result points.
    PTS v;
    for (SINT i = 0; i < 300; i++) {
        v.push_back(i / 3);
        v.push_back(i % 2 ? 80 : 20);
    }
    POLY_CLIP_CONTEXT context;
    U_POLY_vClipToContext(&context, 0, 100, 50, 0, v.data(), 300);
    ASSERT_GT(context.vlResult.count, 128);
    for (S32 i = 0; i < context.vlResult.count; i++) {
        const POINT p = U_POLY_GetPoint(&context.vlResult, i);
        EXPECT_LE(p.y, 50);
        EXPECT_GE(p.y, 0);
    }
    EXPECT_EQ(U_POLY_GetPoint(&context.vlResult, context.vlResult.count - 1).y, 50); // last vertex clamped
}
