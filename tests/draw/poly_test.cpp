// Polygon clipping against a rectangle.
#include <gtest/gtest.h>

#include <memory>

#include "draw/poly.h"

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

// 300 vertices crossing the top edge of that rectangle: far more than 128 clipped points.
PTS vZigZag()
{
    PTS v;
    for (SINT i = 0; i < 300; i++) {
        v.push_back(i / 3);
        v.push_back(i % 2 ? 80 : 20);
    }
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
    const PTS v = vZigZag();
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

namespace {

struct EDGE {
    SINT ymin, ymax, xval, invslope;
    bool operator==(const EDGE &) const = default;
};

// A fill record over a 101 × 51 plane: screen box 0 ≤ x ≤ 100, 0 ≤ y ≤ 50.
class PolyFill : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_pFill = std::make_unique<GL_POLYFILL>();
        GL_POLYFILLCTX &ctx = m_pFill->polyctx;
        ctx.pixdim = PIXELDIM{101, 51};
        ctx.scrbox = GL_BOUNDINGBOX{0, 0, 100, 50};
        m_pFill->gtblnoedges = 0;
        m_pFill->status = GL_POLYFILL_NOCLIP;
    }

    std::vector<EDGE> vEdges() const
    {
        std::vector<EDGE> v;
        const GL_EDGESTABLE &t = m_pFill->edgestable;
        for (SINT i = 0; i < m_pFill->gtblnoedges; i++) {
            v.push_back(EDGE{t.ymin[i], t.ymax[i], t.xval[i], t.invslope[i]});
        }
        return v;
    }

    std::unique_ptr<GL_POLYFILL> m_pFill;
};

} // namespace

TEST_F(PolyFill, ClipSegmentAddsTheClippedRing)
{
    struct CASE {
        const char *pcName;
        PTS vVertices;
        std::vector<EDGE> vExpected; // rows are 50 - y
    } aCases[] = {
        // Clipped to (50,10) (80,10) (100,20) (100,30) (60,30): two edges that are not horizontal.
        {"crossing", {50, 10, 80, 10, 120, 30, 60, 30}, {{30, 40, 102400, -2048}, {20, 30, 102400, 0}}},
        // Clamps to the single corner (0, 0): nothing to fill.
        {"outside", {-30, -10, -20, -20, -25, -30}, {}},
        {"inside", {10, 10, 90, 10, 50, 40, 10, 10}, {{10, 40, 51200, 1365}, {10, 40, 51200, -1365}}},
    };
    for (const CASE &c : aCases) {
        SetUp();
        const PTS vCopy = c.vVertices;
        EXPECT_EQ(U_POLY_eClipSegment(m_pFill.get(), c.vVertices.data(), (SINT)c.vVertices.size() / 2), CL_SUCCESS)
            << c.pcName;
        EXPECT_EQ(vEdges(), c.vExpected) << c.pcName;
        EXPECT_EQ(c.vVertices, vCopy) << c.pcName;
    }
}

TEST_F(PolyFill, ClipSegmentKeepsLongOutlinesAndPassesErrorsOn)
{
    // More than 128 clipped points, every one added.
    const PTS v = vZigZag();
    POLY_CLIP_CONTEXT context;
    U_POLY_vClipToContext(&context, 0, 100, 50, 0, v.data(), 300);
    ASSERT_GT(context.vlResult.count, 128);
    SINT nSloped = 0;
    for (S32 i = 0; i + 1 < context.vlResult.count; i++) {
        nSloped += U_POLY_GetPoint(&context.vlResult, i).y != U_POLY_GetPoint(&context.vlResult, i + 1).y;
    }
    ASSERT_EQ(U_POLY_eClipSegment(m_pFill.get(), v.data(), 300), CL_SUCCESS);
    EXPECT_EQ(m_pFill->gtblnoedges, nSloped);
    for (const EDGE &e : vEdges()) {
        EXPECT_TRUE(e.ymin >= 0 && e.ymax <= 50 && e.ymin < e.ymax);
        EXPECT_TRUE(e.xval >= 0 && e.xval <= 100 * 1024);
    }

    // The fill's own result comes back: a full edge table refuses the ring.
    SetUp();
    m_pFill->gtblnoedges = GL_EDGESTABLE_SIZE - 2;
    EXPECT_EQ(U_POLY_eClipSegment(m_pFill.get(), v.data(), 3), GR_ERR_EDGE_TABLE_FULL);
    EXPECT_EQ(m_pFill->gtblnoedges, GL_EDGESTABLE_SIZE - 2);
}
