#include <gtest/gtest.h>

#include <cstring>

#include "golden.h"
#include "graphics/string.h"

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

TEST(Fonts, PreviewSheet) {
  BITMAP *b = golden::makeBitmap(800, 480, 0xFFFF);
  POINT at = {4, 440};
  G_STRING_vPut(b, 0, &at, &corvan_16x17_font_def, "Waypoint 12: Depth 34.5\xba ABCXYZ gjpqy");
  at = {4, 400};
  G_STRING_vPut(b, 0, &at, &corvan_11x14_font_def, "The quick brown fox jumps over the lazy dog \xe9\xe8\xfc\xc4");
  at = {4, 370};
  G_STRING_vPut(b, 0, &at, &corvan_16x17_Cro_Rus_font_def, "\x5d\x5f\x60\x7c\x7e\x7f \xab\xac\xad\xae\xaf\xb0");
  at = {4, 300};
  G_STRING_vPut(b, 0, &at, &f40x60_font_def, "12:05.7\xba");
  at = {4, 150};
  G_STRING_vPut(b, 0, &at, &aonehuntwentfiveonehuneightone_font_def, "0123");
  at = {400, 300};
  G_STRING_vPut(b, 0, &at, &atwentfourfourthreegreek_font_def, "\x9f\xa0\xa2 Ab");
  at = {400, 200};
  G_STRING_vPut(b, 0, &at, &a14x21_font_def, "Hello 0123");
  golden::writePng(b, "/tmp/g2/fonts.png");
  G_BUFFERS_vFreeBitmap(b);
}

} // namespace
