// Coordinate pointer lists and coordinate blocks decoded at every scaling and over-zoom.
#include <gtest/gtest.h>

#include <random>

#include "chartlib/reader/ch2_vector.h"
#include "feature_fixture.h"

using namespace chart_fixture;

namespace {

using Points = std::vector<std::pair<int, int>>;

struct Piece {
  ERRORCODE code;
  Points points;
  bool hidden;
};

class Ch2Vectors : public Ch2Features {
 protected:
  // A line feature whose pointer list the function writes (blocks first); the feature is read.
  void Line(const std::function<std::vector<uint32_t>(FeatureWriter &)> &blocks, bool area = false,
            const std::function<std::vector<uint32_t>(FeatureWriter &)> &second = nullptr) {
    Open([&](FeatureWriter &f) {
      const std::vector<uint32_t> pointers = blocks(f);
      const std::vector<uint32_t> more = second ? second(f) : std::vector<uint32_t>{};
      firstFeature = f.Line(area, {0, 0, 1, 1}, 129, ZoomByte(0, 15), {}, pointers, more);
      f.End();
    });
    ASSERT_EQ(Next(0), CL_SUCCESS);
  }
  UINT32 OrigX() const { return ctx.sChartView.ulViewOrigX; }
  UINT32 OrigY() const { return ctx.sChartView.ulViewOrigY; }
  std::vector<Piece> Decode(SINT scaling, bool bridge = false) {
    ctx.sChartView.iScaling = scaling;
    VECTORCONTEXT2 vc{};
    MAPDATA2 md{};
    std::vector<Piece> out;
    for (int calls = 0; calls < 100000; ++calls) {
      const ERRORCODE e = bridge ? ch2_GetVectorForBridge(&ctx, &lc, &fc, &vc, &md) : ch2_GetVector(&ctx, &lc, &fc, &vc, &md);
      Piece p{e, {}, vc.bIsHiddenLine != FALSE};
      for (int i = 0; i + 1 < md.iCount; i += 2) p.points.push_back({md.iBuf[i], md.iBuf[i + 1]});
      out.push_back(p);
      if (e == CL_SUCCESS && lc.usCurrentState == LAYERSTATE_ENDOF_RECORD2) break;
      if (e != CL_SUCCESS && e != CH2_WARN_BUFFER_FULL && e != CH2_WARN_CONTINUES_PART) break;
    }
    return out;
  }
};

TEST_F(Ch2Vectors, CodeForms) {
  const struct {
    std::vector<uint8_t> codes;
    SINT scaling;
    Points want;
  } cases[] = {
      {{0x11, 0x11, 0x00}, 0, {{0, 0}, {1, 1}, {2, 2}}},
      {{0x11, 0x11, 0x00}, 1, {{0, 0}, {1, 1}}},
      {{0x19, 0x00}, 0, {{0, 0}, {1, -7}}},
      {{0x98, 0x05, 0x00}, 0, {{0, 0}, {-7, 5}}},
      {{0x81, 0xFB, 0x00}, 0, {{0, 0}, {-5, 1}}},
      {{0x89, 0x80, 0x7F, 0x00}, 0, {{0, 0}, {-128, 127}}},
      {{0x08, 0x10, 0x00}, 0, {{0, 0}, {0, 16}}},
      {{0x11, 0x00}, -2, {{0, 0}, {4, 4}}},
      {{0x89, 0x00, 0x00, 0x00}, -1, {{0, 0}, {0, 0}}},  // over-zoom outputs every code
      {{0x89, 0x00, 0x00, 0x00}, 0, {{0, 0}}},
      {{0x88, 0x05, 0x00, 0x03, 0x00, 0x00}, 0, {{0, 0}, {5, 3}}},  // a jump relative to the origin below
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(testing::Message() << "scaling " << c.scaling << " first code " << int{c.codes[0]});
    Line([&](FeatureWriter &f) {
      return std::vector<uint32_t>{CH2_POINTER_NEW_PART | f.Block(0, 0, c.codes)};
    });
    // Start points and jumps are absolute: move the view's origin to the block's start.
    ctx.sChartView.ulViewOrigX = 0;
    ctx.sChartView.ulViewOrigY = 0;
    auto pieces = Decode(c.scaling);
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_EQ(pieces[0].code, CL_SUCCESS);
    EXPECT_EQ(pieces[0].points, c.want);
  }
}

TEST_F(Ch2Vectors, FullBufferResumesAtThePen) {
  std::vector<uint8_t> codes(100, 0x10);
  codes.push_back(0);
  Line([&](FeatureWriter &f) { return std::vector<uint32_t>{CH2_POINTER_NEW_PART | f.Block(10, 20, codes)}; });
  ctx.sChartView.ulViewOrigX = 0;
  ctx.sChartView.ulViewOrigY = 0;
  auto pieces = Decode(0);
  ASSERT_EQ(pieces.size(), 2u);
  EXPECT_EQ(pieces[0].code, CH2_WARN_BUFFER_FULL);
  ASSERT_EQ(pieces[0].points.size(), 64u);
  EXPECT_EQ(pieces[0].points.back(), (std::pair<int, int>{73, 20}));
  EXPECT_EQ(pieces[1].code, CL_SUCCESS);
  EXPECT_EQ(pieces[1].points.front(), pieces[0].points.back());
  EXPECT_EQ(pieces[1].points.back(), (std::pair<int, int>{110, 20}));
  EXPECT_EQ(pieces[1].points.size(), 38u);
}

TEST_F(Ch2Vectors, PointerListsPartsAndHiddenBlocks) {
  Line([](FeatureWriter &) { return std::vector<uint32_t>{}; });
  auto none = Decode(0);
  ASSERT_EQ(none.size(), 1u);
  EXPECT_EQ(none[0].code, CL_SUCCESS);
  EXPECT_TRUE(none[0].points.empty());

  Line([](FeatureWriter &f) {
    const uint32_t a = f.Block(1, 1, {0x11, 0});
    const uint32_t b = f.Block(2, 2, {0x11, 0});
    const uint32_t c = f.Block(9, 9, {0x11, 0});
    return std::vector<uint32_t>{CH2_POINTER_NEW_PART | a, CH2_POINTER_HIDDEN | b, CH2_POINTER_NEW_PART | c};
  });
  ctx.sChartView.ulViewOrigX = 0;
  ctx.sChartView.ulViewOrigY = 0;
  auto parts = Decode(0);
  ASSERT_EQ(parts.size(), 3u);
  EXPECT_EQ(parts[0].code, CH2_WARN_CONTINUES_PART);
  EXPECT_FALSE(parts[0].hidden);
  EXPECT_EQ(parts[1].code, CL_SUCCESS);
  EXPECT_TRUE(parts[1].hidden);
  EXPECT_EQ(parts[2].code, CL_SUCCESS);
  EXPECT_EQ(parts[2].points.front(), (std::pair<int, int>{9, 9}));

  // An area's second list, read by the bridge decoder.
  Line([](FeatureWriter &f) { return std::vector<uint32_t>{CH2_POINTER_NEW_PART | f.Block(1, 1, {0x11, 0})}; }, true,
       [](FeatureWriter &f) { return std::vector<uint32_t>{CH2_POINTER_NEW_PART | f.Block(5, 6, {0x1F, 0})}; });
  ctx.sChartView.ulViewOrigX = 0;
  ctx.sChartView.ulViewOrigY = 0;
  auto bridge = Decode(0, true);
  ASSERT_EQ(bridge.size(), 1u);
  EXPECT_EQ(bridge[0].points, (Points{{5, 6}, {6, 5}}));
}

int64_t FloorDiv(int64_t v, int s) { return v >= 0 ? v >> s : -((-v + (int64_t{1} << s) - 1) >> s); }

TEST_F(Ch2Vectors, RandomPolylinesDecodeExactlyAtEveryScaling) {
  std::mt19937 rng(45);
  for (int round = 0; round < 3; ++round) {
    Points pts{{30000, 30000}};
    std::vector<bool> jump{true};
    for (int i = 1; i < 10000; ++i) {
      const int kind = std::uniform_int_distribution<int>(0, 19)(rng);
      const int range = kind < 12 ? 7 : kind < 18 ? 128 : 5000;
      int dx = std::uniform_int_distribution<int>(-range, range)(rng);
      int dy = std::uniform_int_distribution<int>(-range, range)(rng);
      const int x = std::clamp(pts.back().first + dx, 0, 65535), y = std::clamp(pts.back().second + dy, 0, 65535);
      jump.push_back(FormOfMove(x - pts.back().first, y - pts.back().second) == MoveForm::Jump);
      pts.push_back({x, y});
    }
    std::vector<std::pair<int32_t, int32_t>> moves(pts.begin(), pts.end());
    Line([&](FeatureWriter &f) {
      return std::vector<uint32_t>{CH2_POINTER_NEW_PART |
                                   f.Block(static_cast<uint16_t>(pts[0].first), static_cast<uint16_t>(pts[0].second),
                                           EncodeMoves(moves))};
    });
    const int64_t ox = OrigX(), oy = OrigY();
    for (SINT s = -3; s <= 6; ++s) {
      SCOPED_TRACE(testing::Message() << "round " << round << " scaling " << s);
      ASSERT_EQ(ch2_GetLayer(&ctx, &lc, 1), CL_SUCCESS);
      ASSERT_EQ(Next(0), CL_SUCCESS);
      Points got;
      for (const Piece &p : Decode(s)) {
        ASSERT_TRUE(p.code == CL_SUCCESS || p.code == CH2_WARN_BUFFER_FULL);
        // A piece after a full buffer starts with the pen again.
        got.insert(got.end(), p.points.begin() + (got.empty() ? 0 : 1), p.points.end());
      }
      Points want;
      for (size_t i = 0; i < pts.size(); ++i) {
        const int64_t dx = pts[i].first - ox, dy = pts[i].second - oy;
        std::pair<int, int> v;
        if (s >= 0)
          v = {static_cast<int>(FloorDiv(dx, s)), static_cast<int>(FloorDiv(dy, s))};
        else
          v = {static_cast<int>(dx * (1 << -s)), static_cast<int>(dy * (1 << -s))};
        if (s < 0 || i == 0 || jump[i] || v != want.back()) want.push_back(v);
      }
      ASSERT_EQ(got.size(), want.size());
      EXPECT_EQ(got, want);
    }
  }
}

}  // namespace
