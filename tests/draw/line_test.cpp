// Lines: axis fast paths, the double-step routine, alpha and patterns.
#include <gtest/gtest.h>

#include <algorithm>

#include "golden.h"
#include "draw/line.h"

namespace {

constexpr COLOR INK = 0xF800;

std::vector<std::pair<PIXEL, PIXEL>> vLine(PIXEL x0, PIXEL y0, PIXEL x1, PIXEL y1, U32 w = 40, U32 h = 40)
{
    TestBitmap b(w, h);
    const POINT a{x0, y0}, e{x1, y1};
    G_LINE_vDraw(b.p(), INK, &a, &e);
    return b.points(INK);
}

} // namespace

TEST(Line, AxisLinesClipOnce)
{
    using P = std::vector<std::pair<PIXEL, PIXEL>>;
    EXPECT_EQ(vLine(5, 5, 5, 5), (P{{5, 5}}));
    EXPECT_TRUE(vLine(40, 0, 40, 10).empty()); // x = clip right + 1
    EXPECT_EQ(vLine(3, -10, 3, 10).size(), 11u);
    EXPECT_EQ(vLine(3, -10, 3, 10).front(), (std::pair<PIXEL, PIXEL>{3, 0}));
    EXPECT_TRUE(vLine(3, 500, 3, 600).empty());
    EXPECT_TRUE(vLine(-20, 4, -5, 4).empty());
    EXPECT_EQ(vLine(35, 4, 60, 4).size(), 5u);
    EXPECT_EQ(vLine(7, 2, 1, 2).size(), 7u);
}

TEST(Line, DoubleStepIsSymmetricAndOnePixelPerStep)
{
    const struct {
        PIXEL x0, y0, x1, y1;
    } aCase[] = {{0, 0, 10, 3}, {0, 0, 3, 10}, {2, 30, 37, 1}, {0, 0, 39, 39}, {5, 9, 6, 30}, {1, 1, 38, 2},
                 {0, 0, 21, 13}, {4, 36, 30, 20}};
    for (const auto &c : aCase) {
        auto vForward = vLine(c.x0, c.y0, c.x1, c.y1);
        auto vBack = vLine(c.x1, c.y1, c.x0, c.y0);
        EXPECT_EQ(vForward, vBack) << c.x0 << "," << c.y0 << " " << c.x1 << "," << c.y1;
        const PIXEL nMajor = std::max(std::abs(c.x1 - c.x0), std::abs(c.y1 - c.y0));
        EXPECT_EQ(vForward.size(), (size_t)nMajor + 1);
        EXPECT_NE(std::find(vForward.begin(), vForward.end(), std::pair<PIXEL, PIXEL>{c.x0, c.y0}), vForward.end());
        EXPECT_NE(std::find(vForward.begin(), vForward.end(), std::pair<PIXEL, PIXEL>{c.x1, c.y1}), vForward.end());
        // Each step of the major axis holds one pixel, next to the previous one.
        for (const auto &p : vForward) {
            const bool bSteep = std::abs(c.y1 - c.y0) > std::abs(c.x1 - c.x0);
            size_t n = std::count_if(vForward.begin(), vForward.end(), [&](const auto &q) {
                return bSteep ? q.second == p.second : q.first == p.first;
            });
            EXPECT_EQ(n, 1u);
        }
    }
}

TEST(Line, AlphaZeroEqualsPlainAndDiagonalsIgnoreAlpha)
{
    TestBitmap a(20, 20, 0x0841), b(20, 20, 0x0841);
    const POINT s{1, 2}, e{15, 2}, s2{4, 1}, e2{4, 18}, d0{0, 0}, d1{12, 7};
    G_LINE_vDraw(a.p(), INK, &s, &e);
    G_LINE_vDrawAlpha(b.p(), INK, &s, &e, 0);
    G_LINE_vDraw(a.p(), INK, &d0, &d1);
    G_LINE_vDrawAlpha(b.p(), INK, &d0, &d1, 200);
    EXPECT_EQ(a.vWords, b.vWords);
    TestBitmap c(20, 20, 0x0841);
    G_LINE_vDrawAlpha(c.p(), 0xFFFF, &s2, &e2, 128);
    // White over (1, 2, 1) at 128: (31·128 + 1·128) >> 8 = 16, (63·128 + 2·128) >> 8 = 32, 16.
    for (PIXEL y = 1; y <= 18; y++) {
        EXPECT_EQ(c.at(4, y), 0x8410) << y;
    }
}

TEST(Line, PatternRepeatsEvery16FromTheStart)
{
    TestBitmap b(40, 10);
    POINT s{0, 5}, e{15, 5};
    G_LINE_vDrawPatterned(b.p(), INK, &s, &e, 0xF0F0);
    std::vector<PIXEL> vX;
    for (const auto &p : b.points(INK)) {
        vX.push_back(p.first);
    }
    EXPECT_EQ(vX, (std::vector<PIXEL>{0, 1, 2, 3, 8, 9, 10, 11}));

    // Drawn from the right, the pattern starts at the right end.
    TestBitmap r(40, 10);
    POINT s2{15, 5}, e2{0, 5};
    G_LINE_vDrawPatterned(r.p(), INK, &s2, &e2, 0x8000);
    EXPECT_EQ(r.points(INK), (std::vector<std::pair<PIXEL, PIXEL>>{{15, 5}}));
}

TEST(Line, PatternClampsTheEndsIntoTheFullScreenClip)
{
    TestBitmap b(40, 10);
    b.bitmap.s32ClipRight = 5; // only the full-screen rectangle counts here
    POINT s{-5, 3}, e{50, 3};
    G_LINE_vDrawPatterned(b.p(), INK, &s, &e, 0xFFFF);
    EXPECT_EQ(s.x, 0);
    EXPECT_EQ(e.x, 39);
    EXPECT_EQ(b.points(INK).size(), 40u);

    POINT v0{7, 12}, v1{7, -3};
    G_LINE_vDrawPatterned(b.p(), INK, &v0, &v1, 0xFFFF);
    EXPECT_EQ(v0.y, 9);
    EXPECT_EQ(v1.y, 0);

    POINT d0{1, 1}, d1{5, 6};
    TestBitmap c(40, 10);
    G_LINE_vDrawPatterned(c.p(), INK, &d0, &d1, 0xFFFF);
    EXPECT_TRUE(c.points(INK).empty());
    EXPECT_EQ(d0.x, 1);
    EXPECT_EQ(d1.y, 6);

    // Equal ends: written whatever the pattern.
    POINT p0{4, 4}, p1{4, 4};
    G_LINE_vDrawPatterned(c.p(), INK, &p0, &p1, 0);
    EXPECT_EQ(c.at(4, 4), INK);
}

TEST(Line, Golden)
{
    TestBitmap b(48, 32, 0x0000);
    const struct {
        POINT a, e;
        COLOR c;
    } aLine[] = {
        {{0, 0}, {10, 3}, 0xF800},  {{0, 4}, {3, 14}, 0x07E0},   {{47, 0}, {20, 31}, 0x001F},
        {{12, 30}, {46, 18}, 0xFFE0}, {{-10, -5}, {60, 40}, 0xF81F}, {{5, 20}, {40, 22}, 0x07FF},
        {{30, 2}, {31, 28}, 0xFFFF},
    };
    for (const auto &l : aLine) {
        G_LINE_vDraw(b.p(), l.c, &l.a, &l.e);
    }
    const POINT h0{2, 26}, h1{44, 26}, v0{44, 1}, v1{44, 30};
    G_LINE_vDrawAlpha(b.p(), 0xFFFF, &h0, &h1, 160);
    G_LINE_vDrawAlpha(b.p(), 0xF800, &v0, &v1, 64);
    POINT p0{0, 29}, p1{47, 29};
    G_LINE_vDrawPatterned(b.p(), 0xFC00, &p0, &p1, 0xE4C0);
    vExpectGolden(b.p(), "lines");
}
