// Word wrap, framed dialogs and message blocks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "draw_test_util.h"
#include "draw/color.h"
#include "draw/icon_data.h"
#include "ui/menu/dialog.h"
#include "ui/menu/menu_draw_arrows.h"
#include "ui_test_env.h"

namespace {

// A font without glyph tables: every character, space included, is 6 pixels wide and drawn as a 6 x 6 block.
FONT_DEF blockFont(U32 u32Height = 10) {
  FONT_DEF font{};
  font.u32Height = u32Height;
  return font;
}

std::vector<std::string> lines(const char *pcText, U16 u16Width, U16 *pu16Count = nullptr,
                               std::vector<U16> *pWidths = nullptr) {
  const FONT_DEF font = blockFont();
  LINEOFTEXT a[U_DIALOG_MAX_LINES];
  const U16 n = U_DIALOG_u16ExtractTextIntoLines(pcText, a, &font, u16Width);
  if (pu16Count) *pu16Count = n;
  std::vector<std::string> v;
  for (U16 i = 0; i < n; i++) {
    v.emplace_back(a[i].pcStartOfText, a[i].u8NumberOfCharsInLine);
    if (pWidths) pWidths->push_back(a[i].u16WidthOfLine);
  }
  return v;
}

}  // namespace

TEST(DialogWrap, WordsFillLinesByTheirWidthWithTheSpacesInFront) {
  struct Case {
    const char *text;
    U16 width;
    std::vector<std::string> expected;
    std::vector<U16> widths;
  } cases[] = {
      // Three words of 12 + 18 + 18 pixels: at one pixel less than all three the third moves on.
      {"aa bb cc", 48, {"aa bb cc"}, {47}},
      {"aa bb cc", 47, {"aa bb", "cc"}, {29, 11}},
      // Spaces in front of a word count, also at the start of the text; after a break they are skipped.
      {"  ab", 100, {"  ab"}, {23}},
      {"aa   bb", 20, {"aa", "bb"}, {11, 11}},
      // A word wider than the limit stands alone and overflows.
      {"a abcdefgh b", 24, {"a", "abcdefgh", "b"}, {5, 47, 5}},
      {"", 100, {}, {}},
      // Trailing spaces that do not fit make no line of their own.
      {"aa bb     ", 30, {"aa bb"}, {29}},
  };
  for (const Case &c : cases) {
    std::vector<U16> widths;
    EXPECT_EQ(lines(c.text, c.width, nullptr, &widths), c.expected) << '"' << c.text << "\" at " << c.width;
    EXPECT_EQ(widths, c.widths) << '"' << c.text << "\" at " << c.width;
  }
}

TEST(DialogWrap, TextBeyondTwentyLinesIsDropped) {
  std::string text;
  for (int i = 0; i < 25; i++) text += "w ";
  U16 n = 0;
  const auto v = lines(text.c_str(), 6, &n);
  EXPECT_EQ(n, 20);
  EXPECT_EQ(v.back(), "w");
}

TEST(DialogWrap, WidestWord) {
  const FONT_DEF font = blockFont();
  struct Case {
    const char *text;
    U32 width;
  } cases[] = {{"", 0}, {"    ", 0}, {"a bbb  cc ", 18}, {"  abcd", 24}};
  for (const Case &c : cases) EXPECT_EQ(U_DIALOG_u32GetMaxWordLength(c.text, &font), c.width) << c.text;
}

TEST(Dialog, ScreenCentreAgainstCentreAndTrailingSpaces) {
  const COLOR frame = gCOLOR_pcolColorTable[130];
  TestBitmap centre(800, 480, 0x1234), screen(800, 480, 0x1234), spaces(800, 480, 0x1234);
  const FONT_DEF *pFont = std_16x17_font_def_ptr;
  U_DIALOG_vDrawDialog(centre.p(), "Shortcut Saved", pFont, 0, 200, nullptr, nullptr, JUSTIFICATION_CENTER,
                       JUSTIFICATION_CENTER);
  U_DIALOG_vDrawDialog(screen.p(), "Shortcut Saved", pFont, 0, 200, nullptr, nullptr, JUSTIFICATION_CENTER,
                       JUSTIFICATION_SCREEN_CENTER);
  U_DIALOG_vDrawDialog(spaces.p(), "Shortcut Saved    ", pFont, 0, 200, nullptr, nullptr, JUSTIFICATION_LEFT,
                       JUSTIFICATION_SCREEN_CENTER);
  const Extent c = extentOf(centre, frame), s = extentOf(screen, frame), t = extentOf(spaces, frame);
  EXPECT_EQ(s.left, 300);
  EXPECT_EQ(s.right, 499);
  EXPECT_EQ(c.left, s.left + 80);
  EXPECT_EQ(c.bottom, s.bottom);
  // One line: font height + 12 high, centred vertically.
  const PIXEL h = static_cast<PIXEL>(G_FONTS_u32GetHeight(pFont)) + 12;
  EXPECT_EQ(s.top - s.bottom + 1, h);
  EXPECT_EQ(s.bottom, (480 - h) / 2);
  EXPECT_EQ(t.left, s.left);
  EXPECT_EQ(t.top, s.top);
  EXPECT_EQ(t.bottom, s.bottom);
}

TEST(Dialog, BoxPlacementByJustification) {
  const COLOR frame = gCOLOR_pcolColorTable[130];
  const PIXEL h = static_cast<PIXEL>(G_FONTS_u32GetHeight(std_16x17_font_def_ptr)) + 12;
  struct Case {
    JUSTIFICATION box;
    PIXEL bottom;
  } cases[] = {{JUSTIFICATION_TOP, 200 - h}, {JUSTIFICATION_BOTTOM, 0}, {JUSTIFICATION_CENTER, (200 - h) / 2}};
  for (const Case &c : cases) {
    TestBitmap bmp(400, 200, 0x1234);
    U_DIALOG_vDrawDialog(bmp.p(), "Text", std_16x17_font_def_ptr, 0, 100, nullptr, nullptr, JUSTIFICATION_CENTER,
                         c.box);
    EXPECT_EQ(extentOf(bmp, frame).bottom, c.bottom) << c.box;
  }
}

TEST(Dialog, WidestWordWidensTheBoxUpToTheBitmap) {
  const COLOR frame = gCOLOR_pcolColorTable[130];
  const FONT_DEF font = blockFont();
  TestBitmap wide(400, 100, 0x1234), capped(100, 100, 0x1234);
  // A 20-character word: 120 - 1 + 12 = 131 pixels.
  U_DIALOG_vDrawDialog(wide.p(), "abcdefghijklmnopqrst", &font, 0, 50, nullptr, nullptr, JUSTIFICATION_LEFT,
                       JUSTIFICATION_SCREEN_CENTER);
  const Extent w = extentOf(wide, frame);
  EXPECT_EQ(w.right - w.left + 1, 131);
  U_DIALOG_vDrawDialog(capped.p(), "abcdefghijklmnopqrst", &font, 0, 50, nullptr, nullptr, JUSTIFICATION_LEFT,
                       JUSTIFICATION_SCREEN_CENTER);
  const Extent k = extentOf(capped, frame);
  EXPECT_EQ(k.left, 0);
  EXPECT_EQ(k.right, 99);
}

TEST(Dialog, Goldens) {
  TestBitmap icons(480, 120, 0x0000);
  U_DIALOG_vDrawDialog(icons.p(), "Remember to start recording before you leave the dock", std_16x17_font_def_ptr,
                       2, 300, &confirm_icon, &remind_rec_icon, JUSTIFICATION_CENTER, JUSTIFICATION_SCREEN_CENTER);
  vExpectGolden(icons.p(), "dialog_icons");

  TestBitmap confirm(560, 120, 0x0000);
  U_DIALOG_vDrawDialogWithConfirm(confirm.p(), "Timer Alarm", std_11x14_font_def_ptr, 2, 280, "Clear", "Repeat",
                                  JUSTIFICATION_CENTER, JUSTIFICATION_CENTER, TRUE, TRUE);
  vExpectGolden(confirm.p(), "dialog_confirm");

  TestBitmap blocks(400, 160, 0x0000);
  const POINT top{20, 150}, bottom{220, 10};
  U_DIALOG_vDrawMessageBlockOutlined(blocks.p(), "Press and hold to set shortcut", std_11x14_font_def_ptr, 0,
                                     JUSTIFICATION_RIGHT, JUSTIFICATION_TOP, &top, 120, 0x001F, 0xFFFF, 0xFFE0);
  U_DIALOG_u32DrawMessageBlock(blocks.p(), "No Images Found", std_16x17_font_def_ptr, 0, JUSTIFICATION_CENTER,
                               JUSTIFICATION_BOTTOM, &bottom, 160, 0xF800, 0xFFFF);
  vExpectGolden(blocks.p(), "message_blocks");
}

TEST(MessageBlock, HeightAndAnchorByJustification) {
  const FONT_DEF font = blockFont(10);
  const COLOR bg = 0x07E0;
  struct Case {
    JUSTIFICATION box;
    PIXEL bottom, top;
  } cases[] = {
      // Two lines: 2 x (10 + 1) + 2 = 24 high.
      {JUSTIFICATION_TOP, 100 + 1 - 24, 100},
      {JUSTIFICATION_BOTTOM, 100, 123},
      {JUSTIFICATION_CENTER, 100 - 12, 111},
  };
  for (const Case &c : cases) {
    TestBitmap bmp(200, 200);
    const POINT anchor{10, 100};
    EXPECT_EQ(U_DIALOG_u32DrawMessageBlock(bmp.p(), "aaaa bbbb", &font, 1, JUSTIFICATION_LEFT, c.box, &anchor, 40,
                                           bg, 0xFFFF),
              24u);
    const Extent e = extentOf(bmp, bg);
    EXPECT_EQ(e.bottom, c.bottom) << c.box;
    EXPECT_EQ(e.top, c.top) << c.box;
    EXPECT_EQ(e.left, 10);
    EXPECT_EQ(e.right, 49);
  }
  TestBitmap bmp(50, 50);
  const POINT anchor{0, 0};
  EXPECT_EQ(U_DIALOG_u32DrawMessageBlock(bmp.p(), "", &font, 1, JUSTIFICATION_LEFT, JUSTIFICATION_BOTTOM, &anchor,
                                         40, bg, 0xFFFF),
            2u);
}

TEST(MessageBlock, OutlineStaysInsideTheBitmap) {
  const FONT_DEF font = blockFont(10);
  TestBitmap bmp(60, 40);
  const POINT anchor{0, 0};
  U_DIALOG_vDrawMessageBlockOutlined(bmp.p(), "aaaa", &font, 0, JUSTIFICATION_LEFT, JUSTIFICATION_BOTTOM, &anchor,
                                     60, 0x001F, 0xFFFF, 0xF800);
  const Extent e = extentOf(bmp, 0xF800);
  EXPECT_EQ(e.left, 0);
  EXPECT_EQ(e.bottom, 0);
  EXPECT_EQ(e.right, 59);
  EXPECT_EQ(e.top, 15);
}

TEST(DialogDeath, UnknownBoxJustificationIsFatal) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  TestBitmap bmp(100, 100);
  const POINT anchor{0, 0};
  EXPECT_EXIT(U_DIALOG_vDrawDialog(bmp.p(), "x", std_11x14_font_def_ptr, 0, 50, nullptr, nullptr,
                                   JUSTIFICATION_LEFT, JUSTIFICATION_LEFT),
              ::testing::ExitedWithCode(10), "");
  EXPECT_EXIT(U_DIALOG_u32DrawMessageBlock(bmp.p(), "x", std_11x14_font_def_ptr, 0, JUSTIFICATION_LEFT,
                                           JUSTIFICATION_SCREEN_CENTER, &anchor, 50, 0, 1),
              ::testing::ExitedWithCode(10), "");
}

TEST(MenuArrows, SizesAreMadeOdd) {
  struct Case {
    U32 size;
    std::vector<int> rows;  // pixels per line from the base outwards
  } cases[] = {{6, {5, 3, 1}}, {5, {5, 3, 1}}, {1, {1}}, {0, {}}};
  for (const Case &c : cases) {
    TestBitmap right(20, 20), up(20, 20);
    U_MENU_vDrawArrowRight(right.p(), POINT{5, 5}, c.size, 0xFFFF);
    U_MENU_vDrawArrowUp(up.p(), POINT{5, 5}, c.size, 0xFFFF);
    std::vector<int> columns, rows;
    for (PIXEL i = 5; i < 20; i++) {
      int col = 0, row = 0;
      for (PIXEL j = 0; j < 20; j++) {
        col += right.at(i, j) == 0xFFFF;
        row += up.at(j, i) == 0xFFFF;
      }
      if (col) columns.push_back(col);
      if (row) rows.push_back(row);
    }
    EXPECT_EQ(columns, c.rows) << c.size;
    EXPECT_EQ(rows, c.rows) << c.size;
    if (!c.rows.empty()) {
      EXPECT_EQ(right.at(5, 5), 0xFFFF);
      EXPECT_EQ(up.at(5, 5), 0xFFFF);
    }
  }
}

TEST(MenuArrows, PrecisionFormat) {
  struct Case {
    U8 precision;
    const char *text;
  } cases[] = {{0, "3"}, {1, "3.1"}, {2, "3.14"}, {3, "3.142"}, {7, "3.142"}};
  for (const Case &c : cases) {
    char ac[12];
    U_MENU_vPrecisionFormat(ac, 3.14159f, c.precision);
    EXPECT_STREQ(ac, c.text);
  }
  char ac[12];
  U_MENU_vPrecisionFormat(ac, 1.0e20f, 3);
  EXPECT_EQ(std::string(ac).size(), sizeof ac - 1);
}
