#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <cmath>
#include <set>
#include <string>

#include "golden.h"
#include "draw/truetype.h"

namespace {

// An independent FreeType view of the built-in face, for the expected glyph sizes and coverage.
class Reference {
public:
  Reference() {
    FT_Init_FreeType(&lib_);
    FT_New_Memory_Face(lib_, ArialNarrow_Bold_QVcoding.pu8TTFdata,
                       static_cast<FT_Long>(ArialNarrow_Bold_QVcoding.u32MaxWidth), 0, &face_);
  }
  ~Reference() {
    FT_Done_Face(face_);
    FT_Done_FreeType(lib_);
  }
  // The rendered glyph of byte code ch through character map cmap at FreeType pixel size px.
  FT_GlyphSlot glyph(unsigned char ch, U32 px, int cmap = 2) {
    FT_Set_Charmap(face_, face_->charmaps[cmap]);
    FT_Set_Pixel_Sizes(face_, px, px);
    FT_Load_Glyph(face_, FT_Get_Char_Index(face_, ch), FT_LOAD_RENDER);
    return face_->glyph;
  }
  int width(unsigned char ch, U32 px) { return static_cast<int>(glyph(ch, px)->bitmap.width); }
  FT_Face face() { return face_; }

private:
  FT_Library lib_;
  FT_Face face_;
};

class TrueType : public ::testing::Test {
protected:
  static void SetUpTestSuite() { ASSERT_TRUE(G_TRUETYPE_bInit()); }
  void SetUp() override {
    G_TRUETYPE_vSelectFontSet(3);
    G_TRUETYPE_vRemoveList();
  }
  Reference ref;
};

TEST_F(TrueType, FaceHasTheThreeCharacterMapsInOrder) {
  FT_Face f = ref.face();
  ASSERT_EQ(f->num_charmaps, 3);
  for (int i = 0; i < 2; i++) {
    EXPECT_EQ(f->charmaps[i]->platform_id, 1);
    EXPECT_EQ(f->charmaps[i]->encoding_id, 0);
    EXPECT_EQ(FT_Get_CMap_Format(f->charmaps[i]), 6);
  }
  EXPECT_EQ(f->charmaps[2]->platform_id, 3);
  EXPECT_EQ(f->charmaps[2]->encoding_id, 1);
  EXPECT_EQ(FT_Get_CMap_Format(f->charmaps[2]), 4);
  EXPECT_EQ(ArialNarrow_Bold_QVcoding.u32Height, 0u);
  // Byte 0xAB is alpha in set 1 and Cyrillic a in set 2; 'A' is itself in both.
  const auto glyphOf = [&](int map, FT_ULong code) {
    FT_Set_Charmap(f, f->charmaps[map]);
    return FT_Get_Char_Index(f, code);
  };
  EXPECT_EQ(glyphOf(0, 0xAB), glyphOf(2, 0x03BB));
  EXPECT_EQ(glyphOf(1, 0xAB), glyphOf(2, 0x0430));
  EXPECT_EQ(glyphOf(0, 'A'), glyphOf(2, 'A'));
  EXPECT_EQ(glyphOf(1, 'A'), glyphOf(2, 'A'));
}

TEST_F(TrueType, FontSetSelectsTheCharacterMap) {
  const struct {
    int set, map;
  } cases[] = {{0, 0}, {1, 1}, {2, 2}, {3, 2}, {-1, 2}};
  for (auto c : cases) {
    G_TRUETYPE_vSelectFontSet(c.set);
    EXPECT_EQ(G_TRUETYPE_nGetCharmapIndex(), c.map) << c.set;
  }
}

TEST_F(TrueType, WidthsFollowTheSizeAndSpacingRules) {
  struct Case {
    const char *text;
    U32 h;
    U32 expected;
  };
  const Case cases[] = {
      {"0", 44, static_cast<U32>(ref.width('0', 60)) + 1},  // 44 x 60 / 44 = 60
      {"0", 15, static_cast<U32>(ref.width('0', 20)) + 1},  // 900 / 44 = 20
      {"00", 63, 2u * (ref.width('0', 85) + 1)},            // 63 / 64 + 1 = 1
      {"00", 64, 2u * (ref.width('0', 87) + 2)},            // 64 / 64 + 1 = 2
      {"   ", 20, 30},                                      // a space advances h / 2
      {"", 20, 0},
      {nullptr, 20, 0},
  };
  for (const Case &c : cases) EXPECT_EQ(G_TRUETYPE_u32GetWidth(c.text, c.h, 0), c.expected) << c.h;
  const U32 zero = G_TRUETYPE_u32GetWidth("0", 30, 0);
  EXPECT_EQ(G_TRUETYPE_u32GetWidthNumWidthFixed("10.5", 30, 0), 3 * zero + G_TRUETYPE_u32GetWidth(".", 30, 0));
  EXPECT_EQ(G_TRUETYPE_u32GetListLength(), 0u); // measuring never adds cache entries
}

TEST_F(TrueType, SpacesDrawNothing) {
  TestBitmap t(100, 40, 0x1111);
  const POINT at = {5, 10};
  G_TRUETYPE_vPut(t.p(), "    ", &at, 0xFFFF, 20, 0);
  EXPECT_TRUE(t.points(0xFFFF).empty());
  EXPECT_EQ(t.points(0x1111).size(), 4000u);
}

// Coverage above 208 is the text colour, 48 to 208 blends by 255, below 48 leaves the pixel.
TEST_F(TrueType, CoverageThresholdsAndBlend) {
  const COLOR old = 0x39E7, text = 0xF81F;
  TestBitmap t(400, 120, old);
  const U32 h = 70, px = h * 60 / 44;
  const char *s = "AWO8g";
  const POINT at = {4, 30};
  G_TRUETYPE_vPut(t.p(), s, &at, text, h, 0);
  PIXEL x = at.x;
  std::set<int> seen;
  for (const char *p = s; *p; p++) {
    const FT_GlyphSlot g = ref.glyph(static_cast<unsigned char>(*p), px);
    const int rows = static_cast<int>(g->bitmap.rows), w = static_cast<int>(g->bitmap.width);
    for (int r = 0; r < rows; r++)
      for (int c = 0; c < w; c++) {
        const U32 a = g->bitmap.buffer[r * g->bitmap.pitch + c];
        seen.insert(static_cast<int>(a));
        COLOR expect = old;
        if (a > 208) {
          expect = text;
        } else if (a >= 48) {
          const U32 rr = (a * 31 + (255 - a) * (old >> 11)) / 255;
          const U32 gg = (a * 0 + (255 - a) * ((old >> 5) & 0x3F)) / 255;
          const U32 bb = (a * 31 + (255 - a) * (old & 0x1F)) / 255;
          expect = static_cast<COLOR>((rr << 11) | (gg << 5) | bb);
        }
        ASSERT_EQ(t.at(x + c, at.y + g->bitmap_top - 1 - r), expect) << *p << " " << a;
      }
    x += w + h / 64 + 1;
  }
  for (int a : {47, 48, 208, 209}) EXPECT_TRUE(seen.count(a)) << "coverage " << a << " not exercised";
  EXPECT_EQ(G_TRUETYPE_u32GetListLength(), 5u);
  G_TRUETYPE_vPut(t.p(), s, &at, text, h, 0); // drawn again from the list
  EXPECT_EQ(G_TRUETYPE_u32GetListLength(), 5u);
  G_TRUETYPE_vRemoveList();
  EXPECT_EQ(G_TRUETYPE_u32GetListLength(), 0u);
}

TEST_F(TrueType, TextStopsAtTheFirstGlyphReachingRow480) {
  TestBitmap t(200, 480, 0);
  const U32 h = 20;
  const int topOne = ref.glyph('1', h * 60 / 44)->bitmap_top;
  const int widthA = static_cast<int>(ref.glyph('a', h * 60 / 44)->bitmap.width);
  ASSERT_GT(topOne, ref.glyph('a', h * 60 / 44)->bitmap_top);
  const POINT at = {10, 480 - topOne};
  G_TRUETYPE_vPut(t.p(), "a1a", &at, 0xFFFF, h, 0);
  PIXEL maxX = 0;
  for (auto [x, y] : t.points(0xFFFF)) maxX = std::max(maxX, x);
  EXPECT_GT(maxX, 10);
  EXPECT_LT(maxX, 10 + widthA); // only the first 'a'
}

// Text partly outside a small bitmap is clipped to it and matches the same text drawn on a large one.
TEST_F(TrueType, TextIsClippedToTheBitmap) {
  TestBitmap big(300, 200, 0);
  const POINT atBig = {100, 80};
  G_TRUETYPE_vPut(big.p(), "Hg8W", &atBig, 0xFFE0, 60, 0);
  const struct {
    PIXEL dx, dy;
  } offsets[] = {{-110, -85}, {-150, -100}, {-100, -70}, {-160, -60}};
  for (auto o : offsets) {
    TestBitmap small(40, 30, 0);
    const POINT at = {atBig.x + o.dx, atBig.y + o.dy};
    G_TRUETYPE_vPut(small.p(), "Hg8W", &at, 0xFFE0, 60, 0);
    for (PIXEL y = 0; y < 30; y++)
      for (PIXEL x = 0; x < 40; x++) ASSERT_EQ(small.at(x, y), big.at(x - o.dx, y - o.dy)) << x << "," << y;
  }
}

TEST_F(TrueType, RotatedTextMustFitItsWorkImage) {
  TestBitmap t(800, 480, 0);
  const POINT at = {400, 240}, center = {0, 0};
  // (width + 32) x (h + 34) x 4 above 384,000 bytes: nothing is drawn.
  const char *longText = "A long line of text at a large size";
  ASSERT_GT((G_TRUETYPE_u32GetWidth(longText, 120, 0) + 32) * (120 + 34) * 4, 384000u);
  G_TRUETYPE_vPutRotated(t.p(), longText, &at, &center, 0.3, 0xFFFF, 120, 0);
  EXPECT_EQ(t.points(0).size(), 800u * 480u);
}

TEST_F(TrueType, OutlinedTextKeepsToItsPlanesAndTheCacheSize) {
  const U32 before = G_TRUETYPE_u32GetWidth("08", 30, 0);
  TestBitmap t(800, 480, 0x0000);
  const POINT at = {0, 300};
  // Far wider than 796 columns: the rest of the text is dropped.
  std::string wide(120, 'W');
  G_TRUETYPE_vPutOutlined(t.p(), wide.c_str(), &at, 0xFFFF, 40, 0, 0x07E0);
  PIXEL maxX = 0;
  for (PIXEL y = 0; y < 480; y++)
    for (PIXEL x = 0; x < 800; x++)
      if (t.at(x, y) != 0) maxX = std::max(maxX, x);
  EXPECT_GT(maxX, 700);
  EXPECT_LE(maxX, 797);
  // The outlined call sized the face; the cached sizes are unaffected.
  EXPECT_EQ(G_TRUETYPE_u32GetWidth("08", 30, 0), before);
}

TEST_F(TrueType, GoldenTextRotatedAndOutlined) {
  TestBitmap t(360, 200, 0x2104);
  POINT at = {6, 160};
  G_TRUETYPE_vPut(t.p(), "Speed 12.4 kn", &at, 0xFFFF, 28, 0);
  at = {6, 110};
  G_TRUETYPE_vPutNumWidthFixed(t.p(), "1011.5", &at, 0xFFE0, 40, 0);
  at = {6, 70};
  G_TRUETYPE_vPut(t.p(), "RPM x100", &at, 0x07FF, 15, 0);
  at = {6, 20};
  G_TRUETYPE_vPutOutlined(t.p(), "Fuel", &at, 0xFFFF, 30, 0, 0xF800);
  const POINT anchor = {270, 100}, center = {40, 0};
  G_TRUETYPE_vPutRotated(t.p(), "North", &anchor, &center, M_PI / 6, 0xFFFF, 24, 0);
  const POINT anchor2 = {318, 60};
  G_TRUETYPE_vPutRotated(t.p(), "East", &anchor2, &center, -M_PI / 2, 0x07E0, 24, 0);
  vExpectGolden(t.p(), "truetype_text");
}

} // namespace

// Digits of the data-bar sizes are too large for the small-bitmap cache: they are still measured and drawn, in
// proportion to their size.
TEST(TrueTypeLarge, DigitsBeyondTheSmallBitmapCacheAreDrawn) {
  ASSERT_TRUE(G_TRUETYPE_bInit());
  G_TRUETYPE_vSelectFontSet(3);
  size_t szLastInk = 0;
  U32 u32LastWidth = 0;
  for (U32 h : {60u, 100u, 130u}) {
    TestBitmap t(800, 400, 0);
    const POINT at = {10, 20};
    G_TRUETYPE_vPut(t.p(), "88", &at, 0xFFFF, h, 0);
    const size_t szInk = t.points(0xFFFF).size();
    const U32 u32Width = G_TRUETYPE_u32GetWidth("88", h, 0);
    EXPECT_GT(szInk, szLastInk) << h;
    EXPECT_GT(u32Width, u32LastWidth) << h;
    szLastInk = szInk;
    u32LastWidth = u32Width;
  }
  G_TRUETYPE_vRemoveList();
}
