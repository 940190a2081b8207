// Boxes, circles and arcs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "golden.h"
#include "draw/arc.h"
#include "draw/box.h"
#include "draw/circle.h"
#include "draw/pixel.h"

namespace {

constexpr COLOR INK = 0x07E0;
using POINTS = std::vector<std::pair<PIXEL, PIXEL>>;

} // namespace

TEST(Box, FilledHeights)
{
    const struct {
        U32 w, h;
        size_t szPixels;
    } aCase[] = {{5, 0, 0}, {5, 1, 5}, {5, 3, 15}, {1, 1, 1}, {0, 3, 0}};
    for (const auto &c : aCase) {
        TestBitmap b(20, 20);
        const POINT a{2, 2};
        G_BOX_vDrawFilled(b.p(), INK, &a, c.w, c.h);
        EXPECT_EQ(b.points(INK).size(), c.szPixels) << c.w << "x" << c.h;
        TestBitmap ba(20, 20);
        G_BOX_vDrawFilledAlpha(ba.p(), INK, &a, c.w, c.h, 0);
        EXPECT_EQ(ba.vWords, b.vWords);
    }
}

// Filled boxes clip once and fill whole rows; the result is the pixel-by-pixel clipped write of every
// point of the box, for runs long and short, odd and even starts, across each clip edge and full width.
TEST(Box, FilledRowsEqualClippedPixelWrites)
{
    const struct {
        const char *pcWhat;
        PIXEL x, y;
        U32 w, h;
        bool bFullClip;
    } aCase[] = {
        {"long run, odd start and end", 3, 6, 65, 4, false},
        {"long run, even start", 10, 6, 64, 3, false},
        {"short run", 11, 7, 63, 2, false},
        {"across the left edge", -7, 8, 30, 5, false},
        {"across the right edge", 70, 8, 40, 5, false},
        {"across the bottom and top rows", 20, -3, 70, 50, false},
        {"wider than the clip columns", -20, 10, 200, 6, false},
        {"full-width rows as one run", -20, 10, 200, 6, true},
        {"full-width rows cut by the top and bottom", -1, -5, 102, 60, true},
        {"left of the clip", -30, 10, 20, 5, false},
        {"above the clip", 20, 60, 20, 5, false},
        {"no width", 20, 10, 0, 5, false},
        {"no height", 20, 10, 5, 0, false},
    };
    for (const auto &c : aCase) {
        for (const U8 u8Alpha : {U8{0}, U8{100}}) {
            TestBitmap got(100, 40, 0x1234), want(100, 40, 0x1234);
            for (BITMAP *p : {got.p(), want.p()}) {
                if (!c.bFullClip) {
                    p->s32ClipLeft = 10, p->s32ClipRight = 89, p->s32ClipBottom = 5, p->s32ClipTop = 34;
                }
            }
            const POINT a{c.x, c.y};
            if (u8Alpha == 0) {
                G_BOX_vDrawFilled(got.p(), INK, &a, c.w, c.h);
            } else {
                G_BOX_vDrawFilledAlpha(got.p(), INK, &a, c.w, c.h, u8Alpha);
            }
            for (U32 i = 0; i < c.h; i++) {
                for (U32 j = 0; j < c.w; j++) {
                    G_PIXEL_vPutAlpha(want.p(), c.x + (PIXEL)j, c.y + (PIXEL)i, INK, u8Alpha);
                }
            }
            EXPECT_EQ(got.vWords, want.vWords) << c.pcWhat << ", alpha " << (int)u8Alpha;
        }
    }
}

TEST(Box, AlphaOutlineBlendsCornersTwice)
{
    TestBitmap b(20, 20, 0x0000);
    const POINT a{2, 3};
    G_BOX_vDrawAlpha(b.p(), 0xFFFF, &a, 6, 4, 128);
    const COLOR colOnce = G_PIXEL_colorBlend(0xFFFF, 0x0000, 128);
    EXPECT_EQ(b.at(4, 3), colOnce);
    EXPECT_EQ(b.at(2, 3), G_PIXEL_colorBlend(0xFFFF, colOnce, 128));
    EXPECT_EQ(b.at(7, 6), G_PIXEL_colorBlend(0xFFFF, colOnce, 128));
    EXPECT_EQ(b.at(4, 4), 0x0000);
}

// The blended rounded filled box covers the opaque shape and blends each pixel once.
TEST(Box, RoundedFilledAlphaBlendsEachPixelOnce)
{
    const struct {
        U32 w, h, r;
    } aCase[] = {{40, 30, 3}, {40, 30, 10}, {21, 21, 10}, {30, 12, 5}, {9, 9, 0}, {25, 20, 7}};
    for (const auto &c : aCase) {
        TestBitmap opaque(48, 40, 0x0000), blended(48, 40, 0x0000);
        const POINT a{3, 4};
        G_BOX_vDrawRoundedFilled(opaque.p(), 0xFFFF, &a, c.w, c.h, c.r);
        G_BOX_vDrawRoundedFilledAlpha(blended.p(), 0xFFFF, &a, c.w, c.h, c.r, 128);
        const COLOR colOnce = G_PIXEL_colorBlend(0xFFFF, 0x0000, 128);
        for (PIXEL y = 0; y < 40; y++) {
            for (PIXEL x = 0; x < 48; x++) {
                EXPECT_EQ(blended.at(x, y), opaque.at(x, y) == 0xFFFF ? colOnce : 0x0000)
                    << c.w << "x" << c.h << " r" << c.r << " at " << x << "," << y;
            }
        }
    }
}

TEST(Circle, SmallDiametersAndExtent)
{
    const POINT c{100, 100};
    for (U32 d : {0u, 1u}) {
        TestBitmap b(200, 200);
        G_CIRCLE_vDraw(b.p(), INK, &c, d);
        EXPECT_EQ(b.points(INK), (POINTS{{100, 100}})) << d;
        TestBitmap n(200, 200);
        G_CIRCLE_vDrawWithNoBound(n.p(), INK, &c, d);
        EXPECT_EQ(n.points(INK), (POINTS{{100, 100}})) << d;
    }
    TestBitmap b(200, 200);
    G_CIRCLE_vDraw(b.p(), INK, &c, 10);
    PIXEL nMinX = 1000, nMaxX = -1, nMinY = 1000, nMaxY = -1;
    for (const auto &p : b.points(INK)) {
        nMinX = std::min(nMinX, p.first);
        nMaxX = std::max(nMaxX, p.first);
        nMinY = std::min(nMinY, p.second);
        nMaxY = std::max(nMaxY, p.second);
    }
    EXPECT_EQ(nMinX, 95);
    EXPECT_EQ(nMaxX, 105);
    EXPECT_EQ(nMinY, 95);
    EXPECT_EQ(nMaxY, 105);
}

TEST(Circle, EdgesBoundOrDropPoints)
{
    const POINT c{2, 50};
    TestBitmap bound(100, 100), loose(100, 100);
    G_CIRCLE_vDraw(bound.p(), INK, &c, 20);
    G_CIRCLE_vDrawWithNoBound(loose.p(), INK, &c, 20);
    size_t szColumn0Bound = 0, szColumn0Free = 0;
    for (PIXEL y = 0; y < 100; y++) {
        szColumn0Bound += bound.at(0, y) == INK;
        szColumn0Free += loose.at(0, y) == INK;
    }
    EXPECT_GT(szColumn0Bound, szColumn0Free);
    EXPECT_EQ(bound.at(0, 50), INK); // (2 − 10, 50) drawn on the edge
    EXPECT_NE(loose.at(0, 50), INK);
}

TEST(Circle, FilledNegativeDiameterDrawsNothing)
{
    TestBitmap b(50, 50);
    const POINT c{25, 25};
    G_CIRCLE_vDrawFilled(b.p(), INK, &c, 0x80000000u);
    G_CIRCLE_vDrawFilled(b.p(), INK, &c, 0xFFFFFFFFu);
    EXPECT_TRUE(b.points(INK).empty());
    G_CIRCLE_vDrawFilled(b.p(), INK, &c, 0);
    EXPECT_EQ(b.points(INK), (POINTS{{25, 25}}));
}

TEST(Arc, OctantsAndAngles)
{
    const POINT c{50, 50};
    auto draw = [&](float fStart, float fEnd) {
        TestBitmap b(100, 100);
        G_ARC_vDraw(b.p(), INK, &c, 20, fStart, fEnd);
        return b.points(INK);
    };
    // 30–60: octant 0 at or above the start point's y, octant 1 at or right of the end point's x.
    const PIXEL ys = (PIXEL)(50 + 20 * std::sin(30 * 0.017453));
    const PIXEL xe = (PIXEL)(50 + 20 * std::cos(60 * 0.017453));
    const POINTS v3060 = draw(30, 60);
    ASSERT_FALSE(v3060.empty());
    for (const auto &p : v3060) {
        const PIXEL dx = p.first - 50, dy = p.second - 50;
        ASSERT_TRUE(dx >= 0 && dy >= 0);
        if (dx >= dy) {
            EXPECT_GE(p.second, ys);
        } else {
            EXPECT_GE(p.first, xe);
        }
    }

    // 40–20: all the circle but the points of octant 0 strictly between the two end points.
    const POINTS v4020 = draw(40, 20);
    const PIXEL y20 = (PIXEL)(50 + 20 * std::sin(20 * 0.017453));
    const PIXEL y40 = (PIXEL)(50 + 20 * std::sin(40 * 0.017453));
    size_t szBelow = 0, szAbove = 0;
    for (const auto &p : v4020) {
        const PIXEL dx = p.first - 50, dy = p.second - 50;
        if (dx > 0 && dy >= 0 && dx >= dy) {
            EXPECT_FALSE(p.second > y20 && p.second < y40) << p.first << "," << p.second;
            szBelow += p.second <= y20;
            szAbove += p.second >= y40;
        }
    }
    EXPECT_GT(szBelow, 0u);
    EXPECT_GT(szAbove, 0u);
    for (const auto &p : draw(90, 270)) {
        EXPECT_NE(std::find(v4020.begin(), v4020.end(), p), v4020.end()) << p.first << "," << p.second;
    }

    EXPECT_EQ(draw(720, 45), draw(0, 45));
    EXPECT_TRUE(draw(-10, 45).empty());
    EXPECT_TRUE(draw(10, -1).empty());
    EXPECT_TRUE(draw(std::nanf(""), 45).empty());
    EXPECT_EQ(draw(1.0e9f, 45), draw(std::fmod(1.0e9f, 360.0f), 45));
    TestBitmap zero(100, 100);
    G_ARC_vDraw(zero.p(), INK, &c, 0, 0, 90);
    EXPECT_TRUE(zero.points(INK).empty());
}

TEST(Shapes, Golden)
{
    TestBitmap b(64, 64, 0x0000);
    const POINT c1{12, 12}, c2{40, 12}, c3{55, 55}, c4{3, 60};
    G_CIRCLE_vDraw(b.p(), 0xFFFF, &c1, 10);
    G_CIRCLE_vDraw(b.p(), 0xF800, &c1, 17);
    G_CIRCLE_vDrawFilled(b.p(), 0x07E0, &c2, 11);
    G_CIRCLE_vDraw(b.p(), 0x001F, &c3, 30); // runs off the top and right edges
    G_CIRCLE_vDrawWithNoBound(b.p(), 0xFFE0, &c4, 12);
    const POINT a1{2, 26}, a2{30, 28}, a3{6, 40}, a4{34, 44};
    G_BOX_vDraw(b.p(), 0xF81F, &a1, 20, 10);
    G_BOX_vDrawRounded(b.p(), 0x07FF, &a2, 30, 14, 5);
    G_BOX_vDrawRoundedFilled(b.p(), 0x8410, &a3, 22, 14, 3);
    G_BOX_vDrawRoundedFilledAlpha(b.p(), 0xFFFF, &a4, 24, 16, 10, 100);
    G_BOX_vDrawRoundedAlpha(b.p(), 0xF800, &a4, 24, 16, 10, 60);
    const POINT ca{20, 50};
    G_ARC_vDraw(b.p(), 0xFC00, &ca, 9, 30, 60);
    G_ARC_vDraw(b.p(), 0x07E0, &ca, 6, 40, 20);
    G_ARC_vDraw(b.p(), 0xFFFF, &ca, 12, 100, 300);
    vExpectGolden(b.p(), "shapes");
}
