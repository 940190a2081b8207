#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <vector>

#include "golden.h"
#include "draw/color.h"
#include "draw/icon.h"
#include "draw/image.h"

namespace {

// A 3 x 2 icon, top row first: 1 2 3 / 4 1 5 (value 1 transparent where a transparent index applies).
const U8 kValues[6] = {1, 2, 3, 4, 1, 5};

class Icon : public ::testing::Test {
protected:
  void SetUp() override {
    for (int i = 0; i < 16; i++) palette[i] = static_cast<COLOR>(0x100 + i);
    G_ICON_vSetIconPalette(palette);
  }
  void TearDown() override { G_ICON_vSetIconPalette(gCOLOR_pcolColorTable + 80); }
  // Pixel (x, y) of the icon drawn with its lower left at (2, 2) on a 10 x 10 bitmap, as a palette index or -1.
  static std::vector<int> drawn(const ICON &icon) {
    TestBitmap t(10, 10, 0);
    const POINT at = {2, 2};
    G_ICON_vPut(t.p(), &icon, &at);
    std::vector<int> v;
    for (int y = 1; y >= 0; y--)
      for (int x = 0; x < 3; x++) v.push_back(t.at(2 + x, 2 + y) ? t.at(2 + x, 2 + y) - 0x100 : -1);
    return v;
  }
  COLOR palette[16];
};

TEST_F(Icon, EveryStorageKindDrawsTheSamePicture) {
  // Kind 0: eight values per word, the first in the top bits; rows 8 values apart.
  U32 words[2] = {0x12300000, 0x41500000}, maskWords[2] = {0x00F00000, 0x00000000};
  BITMAP bits{}, mask{};
  G_BUFFERS_pCreateBitmap(8, 2, &bits, words);
  G_BUFFERS_pCreateBitmap(8, 2, &mask, maskWords);
  // Kind 1: unpadded, the second row starting in the low half of byte 1.
  const U8 packed[3] = {0x12, 0x34, 0x15};
  const U8 packedMask[3] = {0x00, 0x00, 0xF0};
  const U8 transparent = 1, above15 = 0x11;
  // Kind 3/4: a nibble stream of the values and one of the mask.
  U8 stream[8] = {};
  const U8 maskStream[4] = {0x20, 0x00, 0x0F, 0x00}; // marker 2, then 0 0 0 0 15 0
  stream[0] = 0xF1; // marker 15 (unused), then 1 2 3 4 1 5 literally
  stream[1] = 0x23;
  stream[2] = 0x41;
  stream[3] = 0x50;
  struct Case {
    ICON icon;
    std::vector<int> expected;
  };
  const Case cases[] = {
      {{&bits, nullptr, 3, 2, ICON_PADDED_BITMAPS}, {1, 2, 3, 4, 1, 5}},
      {{&bits, &mask, 3, 2, ICON_PADDED_BITMAPS}, {1, 2, -1, 4, 1, 5}},
      {{packed, nullptr, 3, 2, ICON_UNPADDED_BUFFERS}, {1, 2, 3, 4, 1, 5}},
      {{packed, packedMask, 3, 2, ICON_UNPADDED_BUFFERS}, {1, 2, 3, 4, -1, 5}},
      {{packed, &transparent, 3, 2, ICON_TRANSPARENT_COLOR}, {-1, 2, 3, 4, -1, 5}},
      {{packed, &above15, 3, 2, ICON_TRANSPARENT_COLOR}, {1, 2, 3, 4, 1, 5}}, // compared whole
      {{packed, nullptr, 3, 2, ICON_TRANSPARENT_COLOR}, {-1, -1, -1, -1, -1, -1}},
      {{stream, nullptr, 3, 2, ICON_RLE_BUFFERS}, {1, 2, 3, 4, 1, 5}},
      {{stream, maskStream, 3, 2, ICON_RLE_BUFFERS}, {1, 2, 3, 4, -1, 5}},
      {{stream, &transparent, 3, 2, ICON_RLE_TRANSPARENT_COLOR}, {-1, 2, 3, 4, -1, 5}},
      {{stream, nullptr, 3, 2, ICON_RLE_TRANSPARENT_COLOR}, {-1, -1, -1, -1, -1, -1}},
      {{stream, nullptr, 3, 2, static_cast<ICON_COMPRESSION>(6)}, {-1, -1, -1, -1, -1, -1}},
  };
  for (size_t i = 0; i < std::size(cases); i++) EXPECT_EQ(drawn(cases[i].icon), cases[i].expected) << i;
  (void)kValues;
}

// Records the icon pixels a decode hands to the put-pixel function.
struct Recorder {
  std::vector<std::tuple<S32, S32, COLOR>> calls;
  static void put(BITMAP *, const POINT *, S32 x, S32 y, COLOR c, void *self) {
    static_cast<Recorder *>(self)->calls.emplace_back(x, y, c);
  }
};

TEST_F(Icon, DecoderVisitsRowsFromTheTop) {
  const U8 packed[3] = {0x12, 0x34, 0x15};
  const ICON icon = {packed, nullptr, 3, 2, ICON_UNPADDED_BUFFERS};
  Recorder r;
  const POINT at = {0, 0};
  G_ICON_vDecompressAndPutIndirect(nullptr, &icon, &at, Recorder::put, &r);
  const std::vector<std::tuple<S32, S32, COLOR>> expected = {{0, 1, 0x101}, {1, 1, 0x102}, {2, 1, 0x103},
                                                            {0, 0, 0x104}, {1, 0, 0x101}, {2, 0, 0x105}};
  EXPECT_EQ(r.calls, expected);
  G_ICON_vDecompressAndPutIndirect(nullptr, nullptr, &at, Recorder::put, &r);
  EXPECT_EQ(r.calls.size(), 6u);
  EXPECT_EQ(G_ICON_u32GetWidth(nullptr), 0u);
  EXPECT_EQ(G_ICON_u32GetHeight(&icon), 2u);
}

// Where icon pixel (2, 0) (value 5) lands for each rotation about the anchor (10, 10).
TEST_F(Icon, RotationsAndAngleSnapping) {
  const U8 packed[3] = {0x12, 0x34, 0x15};
  const ICON icon = {packed, nullptr, 3, 2, ICON_UNPADDED_BUFFERS};
  const POINT anchor = {10, 10}, unused = {99, 99};
  const struct {
    double degrees;
    PIXEL x, y;
  } cases[] = {{0, 12, 10}, {44, 12, 10}, {50, 10, 8}, {180, 8, 10}, {300, 10, 12}, {350, 12, 10}, {-50, 12, 10}};
  for (auto c : cases) {
    TestBitmap t(20, 20, 0);
    G_ICON_vPutRotatedAngle(t.p(), &icon, &anchor, &unused, c.degrees * M_PI / 180.0);
    EXPECT_EQ(t.points(0x105), (std::vector<std::pair<PIXEL, PIXEL>>{{c.x, c.y}})) << c.degrees;
  }
  const struct {
    G_ICON_ROTATION r;
    PIXEL x, y;
  } quarter[] = {{G_ICON_ROTATE_0, 12, 10}, {G_ICON_ROTATE_90, 10, 8}, {G_ICON_ROTATE_180, 8, 10},
                 {G_ICON_ROTATE_270, 10, 12}, {static_cast<G_ICON_ROTATION>(7), 12, 10}};
  for (auto c : quarter) {
    TestBitmap t(20, 20, 0);
    G_ICON_vPutRotated(t.p(), &icon, &anchor, c.r);
    EXPECT_EQ(t.points(0x105), (std::vector<std::pair<PIXEL, PIXEL>>{{c.x, c.y}})) << c.r;
  }
}

TEST_F(Icon, FullColourIconsPickTheirFormatBySize) {
  // 60 x 59 goes to the 32-bit routine, 60 x 60 to the 16-bit one; the same bytes read both ways differ.
  std::vector<U8> data(60 * 60 * 4, 0);
  for (size_t i = 0; i < data.size(); i += 4) {
    data[i] = 0x00;
    data[i + 1] = 0xF8; // as 16-bit words: 0xF800, 0x0000 pairs; as IMAGE32: transparent
  }
  const POINT at = {0, 0};
  const ICON small = {data.data(), nullptr, 60, 59, ICON_PNG_IMAGE32};
  const ICON big = {data.data(), nullptr, 60, 60, ICON_PNG_IMAGE32};
  TestBitmap a(60, 60, 0x1111), b(60, 60, 0x1111);
  G_ICON_vPut(a.p(), &small, &at);
  G_ICON_vPut(b.p(), &big, &at);
  EXPECT_EQ(a.points(0x1111).size(), 3600u);
  EXPECT_EQ(b.points(0xF800).size(), 1800u);
  // Rotated by angle, a full-colour icon goes to the 32-bit rotation; by quarter turns it draws nothing.
  TestBitmap c(60, 60, 0x1111);
  G_ICON_vPutRotated(c.p(), &small, &at, G_ICON_ROTATE_90);
  EXPECT_EQ(c.points(0x1111).size(), 3600u);
}

} // namespace

#include "draw/icon_data.h"

namespace {

// Every built-in icon, drawn in a grid from the converted artwork.
TEST(IconArtwork, SheetOfAllIcons) {
  const ICON *const icons[] = {&Alarm_icon, &BackgroundColor_icon, &Cursor_icon, &Light_icon, &Oskarne_Deploy_menu, &Oskarne_Pause_menu, &Oskarne_Stow_menu, &PropSpeed_icon, &RadarCursor_icon, &Setup_icon, &SonarTab_icon, &VantrelNavPaused_icon, &VantrelNav_icon, &Vantrel_Autopilot_icon, &Vantrel_Cruise_icon, &Vantrel_autopilot_legacy_icon, &ViewTab_icon, &Waypointcursor_icon, &acc_icon, &active_side_lt_icon, &active_side_rt_icon, &confirm_icon, &delete_image_all_icon, &delete_image_icon, &ffw1_active_icon, &ffw2_active_icon, &improper_screen_icon, &pause_active_icon, &play_active_icon, &playrev_active_icon, &playrev_notavail_icon, &playrewslow_active_icon, &playrewslow_notavail_icon, &playslow_active_icon, &prop_menu, &rec_active_icon, &recording_thumbnail_icon, &remind_rec_icon, &rew1_active_icon, &rew2_active_icon, &rew_inactive_icon, &rew_notavail_icon, &start_playback_icon, &stop_active_icon, &wendrixEnd_icon, &wendrixStart_icon, &zephrin_begin_icon, &zephrin_end_icon, &zephrin_ffw1_icon, &zephrin_ffw2_icon, &zephrin_pause_icon, &zephrin_ping_rate_icon, &zephrin_play_icon, &zephrin_playrev_icon, &zephrin_playrewslow_icon, &zephrin_playslow_icon, &zephrin_playspeed_icon, &zephrin_rew1_icon, &zephrin_rew2_icon, &zephrin_start_rec_icon, &zephrin_stop_playback_icon, &zephrin_stop_rec_icon, };
  TestBitmap t(12 * 66, 6 * 66, 0x424A);
  G_ICON_vSetIconPalette(gCOLOR_pcolColorTable + 80);
  int i = 0;
  for (const ICON *icon : icons) {
    ASSERT_GT(G_ICON_u32GetWidth(icon), 0u);
    ASSERT_LE(G_ICON_u32GetWidth(icon), 64u);
    const POINT at = {2 + (i % 12) * 66, 2 + (5 - i / 12) * 66};
    G_ICON_vPut(t.p(), icon, &at);
    i++;
  }
  EXPECT_EQ(i, 62);
  vExpectGolden(t.p(), "icon_sheet");
}

} // namespace
