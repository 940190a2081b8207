// Drawing of the menu controls.
#include <gtest/gtest.h>

#include <cstring>

#include "golden.h"
#include "draw/color.h"
#include "draw/icon_data.h"
#include "draw/string.h"
#include "ui/menu/menu_draw_controls.h"

namespace {

const ARRAY_OF_STRING_PTRS kOff = SAME22("Off"), kAutomatic = SAME22("Automatic"), kLow = SAME22("Low"),
                           kHigh = SAME22("High"), kMin = SAME22("Min"), kMax = SAME22("Max");
const MENU_TITLE kChoices[] = {&kOff, &kAutomatic, &kLow, &kHigh};
const ICON *const kIcons[] = {&confirm_icon, &remind_rec_icon};

COLOR color(U32 u32Index) { return gCOLOR_pcolColorTable[u32Index]; }

DB_DATA_TYPE s32(S32 v) {
  DB_DATA_TYPE d{};
  d.s32Val = v;
  return d;
}

DB_DATA_TYPE f32(float v) {
  DB_DATA_TYPE d{};
  d.fVal = v;
  return d;
}

M_SLIDER_PARAMETERS slider(DB_DATA_TYPE min, DB_DATA_TYPE max) {
  M_SLIDER_PARAMETERS p{};
  p.minValue = min;
  p.maxValue = max;
  std::strcpy(p.minString, "0");
  std::strcpy(p.maxString, "100");
  return p;
}

M_SELECTION_BOX_PARAMETERS selector(U32 n) {
  M_SELECTION_BOX_PARAMETERS p{};
  p.pSelectionList = kChoices;
  p.numberSelections = n;
  return p;
}

// Pixels of a colour inside the column range [x0, x1].
size_t countIn(const TestBitmap &bmp, COLOR c, PIXEL x0, PIXEL x1) {
  size_t n = 0;
  for (auto [x, y] : bmp.points(c)) n += x >= x0 && x <= x1;
  return n;
}

}  // namespace

TEST(MenuControls, CheckBoxWithValueZeroLeavesTheBitmapUntouched) {
  TestBitmap bmp(300, 80, 0x1234);
  U_MENU_vDrawControlCheckBox(bmp.p(), POINT{10, 5}, 0, 200, 30);
  U_MENU_vDrawControlCheckList(bmp.p(), POINT{10, 5}, 0, 200, 30);
  EXPECT_EQ(bmp.points(0x1234).size(), 300u * 80u);
  U_MENU_vDrawControlCheckBox(bmp.p(), POINT{10, 5}, 1, 200, 30);
  EXPECT_LT(bmp.points(0x1234).size(), 300u * 80u);
  EXPECT_EQ(bmp.at(175 + 12, 5 - 1 + 18 + 12), bmp.at(175 + 12, 5 - 1 + 18 + 12));
}

TEST(MenuControls, SliderThumbPositionByDataFormat) {
  struct Case {
    DATA_FORMAT format;
    DB_DATA_TYPE value, min, max;
    PIXEL thumb;  // thumb x relative to the anchor
  } cases[] = {
      {DF_SIGNED32, s32(50), s32(0), s32(100), 1 + 71},     // 50 % of 142
      {DF_SIGNED32, s32(-5), s32(-10), s32(10), 1 + 35},   // 25 %
      {DF_SIGNED32, s32(-20), s32(-10), s32(10), 1},        // below the minimum: left end
      {DF_SIGNED32, s32(7), s32(7), s32(7), 1},             // no range: left end
      {DF_UNSIGNED32, s32(33), s32(0), s32(100), 1 + 46},   // 33 * 142 / 100
      {DF_FLOAT, f32(0.5f), f32(0.0f), f32(2.0f), 1 + 35},  // 25 % of 142.0, truncated
      {DF_SIGNED32, s32(150), s32(0), s32(100), 1 + 213},   // not clamped above the maximum
  };
  for (const Case &c : cases) {
    TestBitmap bmp(400, 40, 0x1234);
    const M_SLIDER_PARAMETERS p = slider(c.min, c.max);
    U_MENU_vDrawControlSlider(bmp.p(), POINT{60, 10}, c.value, &p, c.format, 148, 20);
    // The thumb's light core: two columns of colour 66 from the anchor's y.
    const auto pts = bmp.points(color(66));
    ASSERT_FALSE(pts.empty());
    PIXEL xMin = 10000;
    for (auto [x, y] : pts) xMin = std::min(xMin, x);
    EXPECT_EQ(xMin, 60 + c.thumb + 1) << c.value.s32Val << " fmt " << c.format;
  }
}

TEST(MenuControls, SelectionBoxArrowsFollowTheChoice) {
  struct Case {
    U8 cur;
    U32 n;
    bool left, right;
  } cases[] = {{0, 4, false, true}, {3, 4, true, false}, {1, 4, true, true}, {0, 1, false, false}};
  for (const Case &c : cases) {
    TestBitmap bmp(300, 40, 0x1234);
    const M_SELECTION_BOX_PARAMETERS p = selector(c.n);
    U_MENU_vDrawControlSelectionBox(bmp.p(), POINT{50, 10}, c.cur, &p, 148, 18, color(65));
    EXPECT_EQ(countIn(bmp, color(67), 0, 49) > 0, c.left) << int(c.cur) << "/" << c.n;
    EXPECT_EQ(countIn(bmp, color(67), 198, 299) > 0, c.right) << int(c.cur) << "/" << c.n;
  }
}

TEST(MenuControls, NumericEntryAtItsLimits) {
  struct Case {
    S32 value;
    bool leftText, leftArrow, rightArrow;
  } cases[] = {{0, true, false, true}, {5, false, true, true}, {9, false, true, false}};
  for (const Case &c : cases) {
    TestBitmap withText(300, 40, 0x1234), plain(300, 40, 0x1234);
    M_NUMERIC_ENTRY_PARAMETERS p{};
    p.minValue = s32(0);
    p.maxValue = s32(9);
    U_MENU_vDrawControlNumericEntry(plain.p(), POINT{100, 10}, s32(c.value), &p, DF_SIGNED32, 40, 20);
    p.pCtrlTextLeft = &kMin;
    U_MENU_vDrawControlNumericEntry(withText.p(), POINT{100, 10}, s32(c.value), &p, DF_SIGNED32, 40, 20);
    // The arrows: colour 67 just outside the box (the left text also lies further left, in colour 68).
    EXPECT_EQ(countIn(plain, color(67), 85, 96) > 0, c.leftArrow) << c.value;
    EXPECT_EQ(countIn(plain, color(67), 141, 152) > 0, c.rightArrow) << c.value;
    // At the minimum the left text stands in the box instead of the number.
    const size_t textInBox = countIn(withText, color(68), 101, 138), numberInBox = countIn(plain, color(68), 101, 138);
    EXPECT_EQ(textInBox != numberInBox, c.leftText) << c.value;
  }
}

TEST(MenuControls, OpenSubMenuListNearTheRightEdgeEndsAtTheEdge) {
  M_SUB_MENU_PARAMETERS p{};
  p.pSubMenuChoices = kChoices;
  p.numberChoices = 3;
  p.bIsActive = TRUE;
  TestBitmap bmp(400, 200, 0x1234);
  U_MENU_vDrawControlSubMenu(bmp.p(), POINT{100, 80}, 1, &p, 250, 30);
  PIXEL xMax = -1, xMin = 10000;
  for (auto [x, y] : bmp.points(color(67))) xMax = std::max(xMax, x), xMin = std::min(xMin, x);
  EXPECT_EQ(xMax, 399);
  const PIXEL w = 22 + static_cast<PIXEL>(G_STRING_u32GetWidth(std_11x14_font_def_ptr, "Automatic"));
  EXPECT_EQ(xMin, 400 - w);
}

TEST(MenuControls, Goldens) {
  TestBitmap bmp(800, 480, color(71));
  M_SLIDER_PARAMETERS s = slider(s32(0), s32(100));
  U_MENU_vDrawControlSlider(bmp.p(), POINT{60, 440}, s32(65), &s, DF_SIGNED32, 148, 20);
  s.pCtrlTextLeft = &kLow;
  s.pCtrlTextRight = &kHigh;
  U_MENU_vDrawControlSlider(bmp.p(), POINT{60, 400}, s32(0), &s, DF_SIGNED32, 148, 20);

  M_PROGRESS_BAR_PARAMETERS pb{};
  pb.minValue = f32(0.0f);
  pb.maxValue = f32(1.0f);
  std::strcpy(pb.minString, "0.0");
  std::strcpy(pb.maxString, "1.0");
  U_MENU_vDrawControlProgressBar(bmp.p(), POINT{60, 360}, f32(0.4f), &pb, DF_FLOAT, 148, 20);

  M_NUMERIC_ENTRY_PARAMETERS ne{};
  ne.minValue = f32(0.0f);
  ne.maxValue = f32(50.0f);
  ne.u8precision = 1;
  std::strcpy(ne.minString, "0.0");
  std::strcpy(ne.maxString, "50.0");
  U_MENU_vDrawControlNumericEntry(bmp.p(), POINT{80, 320}, f32(12.5f), &ne, DF_FLOAT, 60, 20);
  ne.pCtrlTextRight = &kMax;
  U_MENU_vDrawControlNumericEntry(bmp.p(), POINT{80, 280}, f32(50.0f), &ne, DF_FLOAT, 60, 20);

  M_SELECTION_BOX_PARAMETERS sb = selector(4);
  U_MENU_vDrawControlSelectionBox(bmp.p(), POINT{40, 240}, 1, &sb, 148, 17, color(65));
  sb.pSelectionList = nullptr;
  sb.pSelectionIcons = kIcons;
  sb.numberSelections = 2;
  U_MENU_vDrawControlSelectionBox(bmp.p(), POINT{40, 200}, 0, &sb, 148, 24, color(65));

  U_MENU_vDrawControlAction(bmp.p(), POINT{0, 140}, 0, 300, 30);
  U_MENU_vDrawControlCheckBox(bmp.p(), POINT{0, 80}, 1, 300, 30);

  M_SUB_MENU_PARAMETERS sm{};
  sm.pSubMenuChoices = kChoices;
  sm.numberChoices = 4;
  U_MENU_vDrawControlSubMenu(bmp.p(), POINT{0, 20}, 0, &sm, 300, 30);
  sm.bIsActive = TRUE;
  U_MENU_vDrawControlSubMenu(bmp.p(), POINT{300, 300}, 2, &sm, 150, 30);

  M_ACTION_LIST_PARAMETERS al{};
  al.pActionListChoices = kChoices;
  al.numberChoices = 3;
  U_MENU_vDrawControlActionList(bmp.p(), POINT{300, 20}, 0, &al, 300, 30);
  al.bIsActive = TRUE;
  U_MENU_vDrawControlActionList(bmp.p(), POINT{500, 150}, 1, &al, 150, 30);
  vExpectGolden(bmp.p(), "menu_controls");
}
