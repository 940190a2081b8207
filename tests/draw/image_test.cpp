#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "golden.h"
#include "draw/icon.h"
#include "draw/image32.h"

namespace {

using Row = std::vector<COLOR>;

// The colours of row y, columns 0 .. n-1.
Row rowOf(const TestBitmap &t, PIXEL y, int n) {
  Row r;
  for (int x = 0; x < n; x++) r.push_back(t.at(x, y));
  return r;
}

TEST(Image, RunsRepeatTheRowColourAndStopAtTheRowEnd) {
  const U16 data[] = {0x1234, 0xFFFF, 0x0003, 0x5678, 0xFFFF, 0x0002, 0x0BCD, 0xFFFF, 0x0000, 0x0042};
  struct Case {
    S32 width, height;
    std::vector<Row> rows; // bottom row first
  };
  const Case cases[] = {
      {5, 1, {{0x1234, 0x1234, 0x1234, 0x1234, 0x5678, 0x7777}}},
      // Width 3: the run is cut; 5678 starts the next row, which then repeats it twice.
      {3, 2, {{0x1234, 0x1234, 0x1234, 0x7777}, {0x5678, 0x5678, 0x5678, 0x7777}}},
  };
  for (const Case &c : cases) {
    TestBitmap t(8, 4, 0x7777);
    const IMAGE img = {data, nullptr, c.width, c.height, 5};
    const POINT at = {0, 0};
    G_IMAGE_vPut(t.p(), &img, &at);
    for (size_t r = 0; r < c.rows.size(); r++) EXPECT_EQ(rowOf(t, static_cast<PIXEL>(r), 4 + (c.width == 5 ? 2 : 0)), c.rows[r]);
  }
  // A row that starts with a run repeats black; a count of 0 draws nothing.
  const U16 black[] = {0xFFFF, 0x0002, 0xFFFF, 0x0000, 0x0042};
  TestBitmap t(4, 1, 0x7777);
  const IMAGE img = {black, nullptr, 3, 1, 5};
  const POINT at = {0, 0};
  G_IMAGE_vPut(t.p(), &img, &at);
  EXPECT_EQ(rowOf(t, 0, 4), (Row{0, 0, 0x0042, 0x7777}));
}

TEST(Image, PartialPicturesTakeWholeRowsFromTheBottom) {
  // 2 x 3 picture without runs; row i holds colours 10i+1, 10i+2.
  const U16 plain[] = {1, 2, 11, 12, 21, 22};
  const IMAGE img = {plain, nullptr, 2, 3, 5};
  struct Case {
    float height;
    int rows;
  };
  for (Case c : {Case{1.7f, 3}, Case{0.0f, 0}, Case{0.67f, 2}, Case{-1.0f, 0}}) {
    TestBitmap a(2, 3, 0x7777), b(2, 3, 0x7777);
    const POINT at = {0, 0};
    G_IMAGE_PART_vPutNew(a.p(), &img, &at, 1.0f, c.height);
    G_IMAGE_PART_vPut(b.p(), &img, &at, 1.0f, c.height); // above 1 it is bounded to the picture
    for (int y = 0; y < 3; y++) {
      const Row expected = y < c.rows ? Row{static_cast<COLOR>(10 * y + 1), static_cast<COLOR>(10 * y + 2)}
                                      : Row{0x7777, 0x7777};
      EXPECT_EQ(rowOf(a, y, 2), expected) << c.height;
      EXPECT_EQ(rowOf(b, y, 2), expected) << c.height;
    }
  }
}

struct E {
  U8 r, g, b, a;
};

TEST(Image32, EntriesRunsAndBlends) {
  const COLOR c = static_cast<COLOR>(((10 >> 3) << 11) | ((20 >> 2) << 5) | (30 >> 3));
  struct Case {
    std::vector<E> entries;
    S32 width;
    COLOR background;
    Row expected;
  };
  const Case cases[] = {
      {{{10, 20, 30, 255}, {90, 3, 0, 0}}, 4, 0x7777, {c, c, c, c}},
      {{{10, 20, 30, 0}, {90, 3, 0, 0}}, 4, 0x7777, {0x7777, 0x7777, 0x7777, 0x7777}},
      {{{90, 5, 0, 0}}, 5, 0x7777, {0, 0, 0, 0, 0}},
      {{{0, 0, 0, 128}}, 1, 0xFFFF, {(15 << 11) | (31 << 5) | 15}},     // (127 x 31) >> 8 = 15
      {{{255, 255, 255, 128}}, 1, 0xFFFF, {(30 << 11) | (62 << 5) | 30}}, // shifted, not divided by 255
      {{{90, 0, 0, 0}, {1, 2, 3, 0}}, 1, 0x7777, {0x7777}},             // a zero run draws nothing
  };
  for (const Case &k : cases) {
    TestBitmap t(8, 1, k.background);
    const IMAGE32 img = {k.entries.data(), nullptr, k.width, 1, 5};
    const POINT at = {0, 0};
    G_IMAGE32_vPut(t.p(), &img, &at);
    EXPECT_EQ(rowOf(t, 0, k.width), k.expected);
  }
  // The icon routine divides by 255: half-transparent white over white stays white.
  const E half[] = {{255, 255, 255, 128}};
  const ICON icon = {half, nullptr, 1, 1, ICON_PNG_IMAGE32};
  TestBitmap t(1, 1, 0xFFFF);
  const POINT at = {0, 0};
  G_IMAGE32_vPutOld(t.p(), &icon, &at);
  EXPECT_EQ(t.at(0, 0), 0xFFFF);
}

TEST(Image32, PreviousEntryCarriesAcrossRows) {
  // Row 0: red then a run reaching past the row end; row 1 starts with a run of the same red.
  const E data[] = {{248, 0, 0, 255}, {90, 9, 0, 0}, {90, 2, 0, 0}, {0, 0, 248, 255}};
  const IMAGE32 img = {data, nullptr, 3, 2, 5};
  TestBitmap t(3, 2, 0x7777);
  const POINT at = {0, 0};
  G_IMAGE32_vPut(t.p(), &img, &at);
  EXPECT_EQ(rowOf(t, 0, 3), (Row{0xF800, 0xF800, 0xF800}));
  EXPECT_EQ(rowOf(t, 1, 3), (Row{0xF800, 0xF800, 0x001F}));
}

// The unsuffixed routines keep to 800 x 480 and, besides, to the destination's memory.
TEST(Image32, ScreenLimitAndBufferBounds) {
  std::vector<E> opaque(20 * 20, E{255, 255, 255, 255});
  const IMAGE32 img = {opaque.data(), nullptr, 20, 20, 5};
  {
    TestBitmap wide(820, 20, 0);
    const POINT at = {790, -2};
    G_IMAGE32_vPut(wide.p(), &img, &at);
    EXPECT_EQ(wide.points(0xFFFF).size(), 10u * 18u); // columns 790-799, rows 0-17
  }
  {
    TestBitmap small(12, 12, 0);
    const POINT at = {5, 5};
    G_IMAGE32_vPut(small.p(), &img, &at);
    EXPECT_EQ(small.points(0xFFFF).size(), 7u * 7u);
    const POINT center = {10, 10}, anchor = {6, 6};
    G_IMAGE32_vPutRotated(small.p(), &img, &anchor, &center, 0.7);
    G_IMAGE32_vPutCondition(small.p(), &img, &anchor, 10, 0, 300, const_cast<POINT *>(&anchor), -1);
  }
}

TEST(Image32, PartialPictureIsClipped) {
  std::vector<E> opaque(6 * 6, E{255, 255, 255, 255});
  const IMAGE32 img = {opaque.data(), nullptr, 6, 6, 5};
  TestBitmap t(10, 10, 0);
  t.p()->s32ClipLeft = 2;
  t.p()->s32ClipTop = 7;
  const struct {
    POINT at;
    size_t drawn;
  } cases[] = {{{-3, -3}, 1u * 3u}, {{7, 7}, 3u * 1u}, {{0, 0}, 4u * 6u}, {{-20, 30}, 0u}};
  for (auto c : cases) {
    std::fill_n(G_BITMAP_pcolPixels(t.p()), 100, 0);
    G_IMAGE32_PART_vPutNew(t.p(), &img, &c.at, 1.0f, 1.0f);
    EXPECT_EQ(t.points(0xFFFF).size(), c.drawn) << c.at.x;
  }
}

TEST(Image32, RotationSamplesTheFourNeighbours) {
  // 3 x 2 plain picture: opaque colours, one pixel of alpha 1, one transparent. Opaque pixels take the
  // opaque branch: 255 x 255 x 2^16 >> 27 = 31.
  const E data[] = {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 0, 1}, {0, 0, 255, 255}, {0, 0, 0, 0}, {255, 255, 255, 255}};
  const IMAGE32 img = {data, nullptr, 3, 2, 5};
  const POINT center = {0, 0};
  TestBitmap t(8, 8, 0x7777);
  const POINT anchor = {2, 3};
  G_IMAGE32_vPutRotated(t.p(), &img, &anchor, &center, 0.0);
  EXPECT_EQ(rowOf(t, 3, 6), (Row{0x7777, 0x7777, 0xF800, 0x07E0, 0x7777, 0x7777}));
  EXPECT_EQ(rowOf(t, 4, 6), (Row{0x7777, 0x7777, 0x001F, 0x7777, 0xFFFF, 0x7777}));
  // A quarter turn counter-clockwise: picture column c goes up, row r goes left.
  TestBitmap q(8, 8, 0x7777);
  G_IMAGE32_vPutRotated(q.p(), &img, &anchor, &center, M_PI / 2);
  EXPECT_EQ(q.at(2, 3), 0xF800);
  EXPECT_EQ(q.at(2, 4), 0x07E0);
  EXPECT_EQ(q.at(1, 3), 0x001F);
  EXPECT_EQ(q.at(1, 5), 0xFFFF);
  // The icon routine divides by 255 x 2^16 and goes through the clip rectangle.
  const ICON icon = {data, nullptr, 3, 2, ICON_PNG_IMAGE32};
  TestBitmap o(8, 8, 0x7777);
  o.p()->s32ClipRight = 2;
  G_IMAGE32_vPutRotatedOld(o.p(), &icon, &anchor, &center, 0.0);
  EXPECT_EQ(rowOf(o, 3, 6), (Row{0x7777, 0x7777, 0xF800, 0x7777, 0x7777, 0x7777}));
}

TEST(Image32, SectorFillAndNeedleSide) {
  std::vector<E> opaque(41 * 41, E{255, 255, 255, 255});
  const IMAGE32 img = {opaque.data(), nullptr, 41, 41, 5};
  TestBitmap t(130, 45, 0);
  POINT at = {2, 2}, centre = {22, 22};
  // From the left (0 degrees) clockwise over the top to 135 degrees.
  G_IMAGE32_vPutCondition(t.p(), &img, &at, 20, 0.0f, 135.0f, &centre, -1);
  at = {44, 2};
  centre = {64, 22};
  // Counter-clockwise from 200 to 250 degrees: both in quadrant 2.
  G_IMAGE32_vPutCondition(t.p(), &img, &at, 20, 200.0f, 250.0f, &centre, 1);
  at = {86, 2};
  const POINT needle = {106, 22};
  G_IMAGE32_PART_vPut(t.p(), &img, &at, &needle, 60);
  vExpectGolden(t.p(), "image32_sectors");
}

} // namespace
