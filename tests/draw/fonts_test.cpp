#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <cstring>

#include "golden.h"
#include "draw/string.h"

namespace {

// Every built-in font with its stated metrics and the size of its character set.
struct FontRow {
  const FONT_DEF *font;
  U32 height, ascender, descender, maxWidth, spacing, codes;
};
#define DIGITS 18
const FontRow kFonts[] = {
    {&f7x10_font_def, 10, 0, 0, 9, 1, DIGITS + 1},
    {&f9x14_font_def, 14, 0, 0, 12, 1, DIGITS + 1},
    {&f13x19_font_def, 19, 0, 0, 18, 1, DIGITS},
    {&f16x26_font_def, 26, 0, 0, 19, 0, DIGITS + 1},
    {&f21x33_font_def, 33, 0, 0, 26, 0, DIGITS},
    {&f22x32_font_def, 32, 0, 0, 26, 0, DIGITS + 1},
    {&f32x48_font_def, 48, 0, 0, 36, 3, DIGITS},
    {&f40x60_font_def, 66, 0, 0, 49, 0, DIGITS + 1},
    {&f18x27_font_def, 33, 3, 3, 21, 2, DIGITS + 1},
    {&a24x37_font_def, 43, 3, 3, 29, 2, DIGITS},
    {&a42x66_font_def, 72, 3, 3, 48, 0, DIGITS},
    {&a58x88_font_def, 94, 3, 3, 63, 2, DIGITS},
    {&f58x88_font_def, 88, 0, 0, 63, 2, DIGITS},
    {&a87x133_font_def, 139, 3, 3, 97, 3, DIGITS},
    {&myriad_9x14_font_def, 20, 3, 3, 12, 0, DIGITS + 2},
    {&myriad_15x21_font_def, 27, 3, 3, 18, 0, DIGITS + 1},
    {&myriad_21x33_font_def, 39, 3, 3, 26, 0, DIGITS + 1},
    {&myriad_22x32_font_def, 32, 0, 0, 26, 0, DIGITS + 1},
    {&myriad_29x44_font_def, 50, 3, 3, 34, 0, DIGITS},
    {&myriad_42x66_font_def, 72, 3, 3, 49, 4, DIGITS},
    {&aonehunsixteenonehunsixnine_font_def, 173, 1, 4, 117, 2, DIGITS},
    {&aonehuntwentfiveonehuneightone_font_def, 182, 1, 3, 125, 2, DIGITS},
    {&atwentfourfourthreegreek_font_def, 68, 12, 14, 50, 2, 245},
    {&atwentfourfourthreeRUS_font_def, 66, 12, 12, 50, 2, 229},
    {&f17x21_font_def, 25, 1, 1, 16, 2, DIGITS},
    {&f21x38_font_def, 38, 0, 0, 22, 2, DIGITS},
    {&a29x44_font_def, 45, 1, 0, 31, 2, DIGITS},
    {&f25x44_font_def, 46, 2, 0, 25, 2, DIGITS},
    {&a15x25_font_def, 40, 7, 8, 29, 2, 245},
    {&a38x60_font_def, 60, 0, 0, 40, 2, DIGITS},
    {&a34x53_font_def, 53, 1, 0, 37, 2, DIGITS},
    {&myr33x44_font_def, 46, 1, 1, 29, 2, DIGITS},
    {&f13x19a_font_def, 19, 0, 0, 14, 2, DIGITS},
    {&f15x21_font_def, 33, 6, 6, 26, 2, 91},
    {&f18x32_font_def, 32, 0, 0, 18, 2, DIGITS + 6},
    {&f19x30_font_def, 30, 1, 0, 19, 2, DIGITS},
    {&f29x44_font_def, 45, 1, 0, 31, 2, DIGITS + 1},
    {&f31x57_font_def, 57, 0, 0, 32, 2, DIGITS},
    {&f34x62_font_def, 64, 3, 0, 35, 2, DIGITS},
    {&f40x71_font_def, 71, 0, 0, 40, 2, DIGITS},
    {&f44x76_font_def, 77, 1, 0, 45, 2, DIGITS},
    {&f65x133_font_def, 118, 1, 1, 67, 2, DIGITS},
    {&corvan_6x11short_font_def, 17, 3, 3, 11, 2, 90},
    {&corvan_16x17_font_def, 27, 5, 5, 22, 2, 251},
    {&corvan_16x17_Cro_Rus_font_def, 27, 5, 5, 22, 2, 229},
    {&corvan_11x14_font_def, 22, 4, 4, 18, 2, 251},
    {&corvan_11x14_Cro_Rus_font_def, 22, 4, 4, 18, 2, 229},
    {&a14x21_font_def, 34, 7, 6, 19, 2, 90},
};

TEST(Fonts, BuiltInFontsHaveTheirMetricsAndCharacterSets) {
  for (const FontRow &r : kFonts) {
    SCOPED_TRACE(r.height);
    EXPECT_EQ(G_FONTS_u32GetHeight(r.font), r.height);
    EXPECT_EQ(G_FONTS_u32GetAscenderHeight(r.font), r.ascender);
    EXPECT_EQ(G_FONTS_u32GetDescenderHeight(r.font), r.descender);
    EXPECT_EQ(G_FONTS_u32GetMaxWidth(r.font), r.maxWidth);
    EXPECT_EQ(G_FONTS_u32GetInterCharSpacing(r.font), r.spacing);
    EXPECT_EQ(G_FONTS_u32GetCoreHeight(r.font), r.height - r.ascender - r.descender);
    U32 codes = 0;
    for (int c = 0; c < 256; c++) {
      const CHAR_DESC *d = r.font->ppCharDesc[c];
      if (d == nullptr) continue;
      codes++;
      EXPECT_GE(d->u32Width, 1u);
      EXPECT_LE(d->u32Width, r.maxWidth);
    }
    EXPECT_EQ(codes, r.codes);
    // The digit set, the degree sign among it (looked up as an unsigned code); the 90- and 91-code sets are
    // the printable range up to z.
    if (r.codes == 90 || r.codes == 91) continue;
    for (const char *p = " \"'-./0123456789:\xba"; *p; p++) EXPECT_NE(r.font->ppCharDesc[static_cast<U8>(*p)], nullptr);
  }
  EXPECT_EQ(std_16x17_font_def_ptr, &corvan_16x17_font_def);
  EXPECT_EQ(std_11x14_font_def_ptr, &corvan_11x14_font_def);
  EXPECT_EQ(f7x10_font_def_ptr, &f7x10_font_def);
  EXPECT_EQ(a14x21_font_def_ptr, &a14x21_font_def);
}

// A two-glyph font: 'A' 9 pixels wide (2 bytes a row), the degree sign 4 wide; 4 rows, 1 below the baseline.
const U8 kGlyphA[] = {0xFF, 0x80, 0x80, 0x7F, 0xC1, 0x00, 0x80, 0x80};
const U8 kGlyphDegree[] = {0xE0, 0xA0, 0xE0, 0x00};
const CHAR_DESC kDescA = {kGlyphA, 9};
const CHAR_DESC kDescDegree = {kGlyphDegree, 4};
struct TinyTable {
  const CHAR_DESC *t[256] = {};
  TinyTable() {
    t['A'] = &kDescA;
    t[0xBA] = &kDescDegree;
  }
} const kTable;
const FONT_DEF kTiny = {{kTable.t}, 4, 0, 1, 9, 5};
const FONT_DEF kNoTable = {{nullptr}, 4, 0, 1, 9, 5};

TEST(Fonts, MeasuringFollowsGlyphWidthsWithoutSpacing) {
  struct Case {
    const FONT_DEF *font;
    const char *text;
    U32 width;
  };
  const Case cases[] = {
      {&kTiny, "A", 9},        {&kTiny, "AA\xba", 22}, // no inter-character spacing
      {&kTiny, "B", 4},        // a missing character measures the font height
      {&kTiny, "", 0},         {&kTiny, nullptr, 0},   {nullptr, "A", 0},
      {&kNoTable, "AB", 12},   // a font without table: 6 per character
      {&f7x10_font_def, "12:05", 0},
  };
  for (const Case &c : cases) {
    U32 expected = c.width;
    if (c.font == &f7x10_font_def)
      for (const char *p = c.text; *p; p++) expected += f7x10_font_def.ppCharDesc[static_cast<U8>(*p)]->u32Width;
    EXPECT_EQ(G_STRING_u32GetWidth(c.font, c.text), expected) << (c.text ? c.text : "(null)");
  }
  EXPECT_EQ(G_STRING_u32GetHeight(&kTiny), 4u);
  EXPECT_EQ(G_FONTS_u32GetHeight(nullptr), 0u);
  EXPECT_EQ(G_FONTS_u32GetCoreHeight(nullptr), 0u);
}

TEST(Fonts, StringAdvancesTheAnchor) {
  TestBitmap t(200, 20);
  const char *text = "A\xba\xba\xba\xba\xba\xba\xba";
  ASSERT_EQ(G_STRING_u32GetWidth(&kTiny, text), 37u);
  POINT at = {100, 5};
  G_STRING_vPut(t.p(), 0xFFFF, &at, &kTiny, text);
  EXPECT_EQ(at.x, 137);
  EXPECT_EQ(at.y, 5);
  at = {0, 0};
  G_STRING_vPut(t.p(), 0xFFFF, &at, &kTiny, nullptr);
  EXPECT_EQ(at.x, 0);
}

TEST(Fonts, GlyphRowsLandAroundTheBaseline) {
  TestBitmap t(20, 10);
  const POINT at = {2, 3};
  G_FONTS_vPut(t.p(), 0xFFFF, &at, &kTiny, 'A');
  // Row r lands on y = 3 + 4 - 1 - 1 - r: the top row at 5, the last (descender) row at 2.
  std::vector<std::pair<PIXEL, PIXEL>> expected;
  for (int r = 0; r < 4; r++)
    for (int x = 0; x < 9; x++) // the low seven bits of each second byte are padding
      if (kGlyphA[r * 2 + x / 8] & (0x80 >> (x % 8))) expected.emplace_back(2 + x, 5 - r);
  std::sort(expected.begin(), expected.end(), [](auto a, auto b) { return a.second != b.second ? a.second < b.second : a.first < b.first; });
  EXPECT_EQ(t.points(0xFFFF), expected);
}

// A glyph inside the clip columns is written row by row without a test per pixel, one across a clip edge pixel
// by pixel: either way the result is the unclipped glyph cut to the clip rectangle.
TEST(Fonts, GlyphsAreCutToTheClipRectangle) {
  struct Case {
    const FONT_DEF *font;
    unsigned char ch;
    PIXEL x, y;
  };
  const Case cases[] = {{&kTiny, 'A', 30, 20},         {&kTiny, 'A', 8, 20},          {&kTiny, 'A', 65, 20},
                        {&f58x88_font_def, '8', 20, -30}, {&f58x88_font_def, '8', 5, 10},
                        {&f58x88_font_def, '8', 50, 10},  {&f9x14_font_def, 'W', 40, 32},
                        {&f9x14_font_def, 'W', 40, -2},    {&f9x14_font_def, 'W', 200, 10}};
  for (const Case &c : cases) {
    TestBitmap full(80, 40, 0x1111), clipped(80, 40, 0x1111);
    BITMAP *p = clipped.p();
    p->s32ClipLeft = 10, p->s32ClipRight = 69, p->s32ClipBottom = 4, p->s32ClipTop = 35;
    const POINT at = {c.x, c.y};
    G_FONTS_vPut(full.p(), 0xFFFF, &at, c.font, c.ch);
    G_FONTS_vPut(p, 0xFFFF, &at, c.font, c.ch);
    for (PIXEL y = 0; y < 40; y++) {
      for (PIXEL x = 0; x < 80; x++) {
        const bool bInside = x >= 10 && x <= 69 && y >= 4 && y <= 35;
        ASSERT_EQ(clipped.at(x, y), bInside ? full.at(x, y) : 0x1111)
            << "'" << c.ch << "' at " << c.x << "," << c.y << ": pixel " << x << "," << y;
      }
    }
  }
}

TEST(Fonts, MissingCharactersDrawBoxes) {
  struct Case {
    const FONT_DEF *font;
    unsigned char ch;
    int side;
  };
  const Case cases[] = {{&kTiny, 'B', 3}, {&kNoTable, 'A', 6}, {&f9x14_font_def, 200, 13}};
  for (const Case &c : cases) {
    TestBitmap t(40, 40);
    const POINT at = {5, 7};
    G_FONTS_vPut(t.p(), 0x1234, &at, c.font, c.ch);
    const auto pts = t.points(0x1234);
    ASSERT_EQ(pts.size(), static_cast<size_t>(c.side * c.side));
    EXPECT_EQ(pts.front(), std::make_pair(5, 7));
    EXPECT_EQ(pts.back(), std::make_pair(5 + c.side - 1, 7 + c.side - 1));
  }
}

// The fatal path resets the unit (exit status 10) after noting the error in FATAL.LOG of the data directory.
TEST(FontsDeathTest, NullFontOrAnchorIsFatal) {
  char dir[] = "/tmp/corvan_fonts_XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  TestBitmap t(10, 10);
  const POINT at = {0, 0};
  EXPECT_EXIT((setenv("CORVAN_CWD", dir, 1), G_FONTS_vPut(t.p(), 0, &at, nullptr, 'A')),
              ::testing::ExitedWithCode(10), "");
  EXPECT_EXIT((setenv("CORVAN_CWD", dir, 1), G_FONTS_vPut(t.p(), 0, nullptr, &kTiny, 'A')),
              ::testing::ExitedWithCode(10), "");
  const std::string log = std::string(dir) + "/FATAL.LOG";
  std::ifstream in(log);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  size_t count = 0;
  for (size_t p = text.find("G_FONTS_vPut received bad pointer"); p != std::string::npos;
       p = text.find("G_FONTS_vPut received bad pointer", p + 1))
    count++;
  EXPECT_EQ(count, 2u);
  std::remove(log.c_str());
  rmdir(dir);
}

TEST(Fonts, TextInThreeFonts) {
  TestBitmap t(320, 135, 0xFFFF);
  POINT at = {4, 104};
  G_STRING_vPut(t.p(), 0x001F, &at, &corvan_16x17_font_def, "Depth 34.5\xba gjq");
  at = {4, 78};
  G_STRING_vPut(t.p(), 0x0000, &at, &corvan_11x14_font_def, "Waypoint \xe9\xfc\xc4 \x9f\xa0\xa2");
  at = {4, 4};
  G_STRING_vPut(t.p(), 0xF800, &at, &f40x60_font_def, "12:05\xba");
  vExpectGolden(t.p(), "fonts_three");
}

} // namespace
