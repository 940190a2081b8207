// The three drawing layouts of the fish history against golden pictures (data/fish_*.png).
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "draw/color.h"
#include "draw/fonts.h"
#include "draw/icon.h"
#include "golden.h"
#include "settings/database.h"
#include "sonar/analysis/fishid.h"
#include "sonar/coproc_tx.h"
#include "util/convert.h"

namespace {

constexpr COLOR WATER = 0x0010;
constexpr COLOR LABEL = 0xFFFF;

FISH_TARGET fishAt(U32 u32Depth, U8 u8Size, BEAM beam)
{
  FISH_TARGET f{};
  f.u32DepthInSamples = u32Depth;
  f.u8Size = u8Size;
  f.u8Peak = 100;
  f.beam = beam;
  f.bIdPlusThisFish = beam <= 1;
  f.criteria = {56, 175, FALSE, 145, 806, 200};
  return f;
}

class FishDraw : public ::testing::Test {
 protected:
  std::unique_ptr<FISH_TARGET_HISTORY> h = std::make_unique<FISH_TARGET_HISTORY>();
  void SetUp() override
  {
    H_DATABASE_vInit();
    g_u32SpeedOfSoundInWater = 1463;
    U_CONVERT_vInitialiseConversionUtility();
    std_11x14_font_def_ptr = &corvan_11x14_font_def;
    G_ICON_vSetIconPalette(gCOLOR_pcolColorTable + 80);
    S_FISHID_vSetReverseScroll(FALSE);
    S_FISHID_vInitialiseHistory(h.get());
    // 200 columns, oldest first: fish of every beam and size at many depths, and an ignored sighting last.
    for (U32 c = 0; c < 200; c++) {
      std::vector<FISH_TARGET> v;
      if (c % 16 == 5) v.push_back(fishAt(90 + (c * 37) % 420, (U8)(c / 16 % 3), (BEAM)(c / 48 % 4)));
      if (c == 150) v.push_back(fishAt(40, 2, 1));   // 0.76 m: a one-decimal label
      if (c == 120) v.push_back(fishAt(500, 0, 0));  // 9.5 m
      if (c == 190) v.push_back(fishAt(530, 1, 0));  // 10.1 m: no decimal
      if (c == 55) v.push_back(fishAt(300, 2, 2));
      FISH_TARGET_LIST l{};
      l.u8NumberOfTargets = (U8)v.size();
      std::copy(v.begin(), v.end(), l.target);
      l.bSimulatedFishList = TRUE;  // stored as given
      S_FISHID_vAddFishTargetListToHistory(h.get(), &l);
    }
    FISH_TARGET_LIST hidden{};
    hidden.u8NumberOfTargets = 1;
    hidden.target[0] = fishAt(200, 2, 1);
    hidden.target[0].bIgnoreThisFish = TRUE;
    hidden.bSimulatedFishList = TRUE;
    S_FISHID_vAddFishTargetListToHistory(h.get(), &hidden);
  }
};

TEST_F(FishDraw, StandardLayoutWithMetresLabels)
{
  TestBitmap b(240, 160, WATER);
  S_FISHID_vDrawStandardFishHistory(b.p(), h.get(), 20, 219, 10, 149, 0, 600, U_METRES, LABEL, FALSE);
  vExpectGolden(b.p(), "fish_standard");
}

TEST_F(FishDraw, StandardLayoutSlanted)
{
  TestBitmap b(240, 160, WATER);
  S_FISHID_vDrawStandardFishHistory(b.p(), h.get(), 20, 219, 70, 149, 0, 600, U_FEET, LABEL, TRUE);
  vExpectGolden(b.p(), "fish_standard_slanted");
}

TEST_F(FishDraw, BottomLockedLayoutShowsHeightsAboveTheBottom)
{
  auto tsu = std::make_unique<FULL_SCREEN_TSU>();
  *tsu = FULL_SCREEN_TSU{};
  tsu->u32NextFreeColumn = 5;  // the newest stored column is 4, older ones wrap to 819, 818 ...
  for (U32 i = 0; i < TSU_STORE_COLUMNS; i++) {
    tsu->aTsuStore[i].u32SmoothedDepthInSamples = 520 + (i % 40);
  }
  TestBitmap b(120, 480, WATER);
  S_FISHID_vDrawBottomLockFishHistory(b.p(), h.get(), tsu.get(), 10, 109, 300, 500, 60, U_METRES, LABEL);
  vExpectGolden(b.p(), "fish_bottom_locked");
}

TEST_F(FishDraw, VerticalLayoutAndTheBraxelRule)
{
  const POINT deepest = {229, 0}, shallowest = {10, 99};
  for (const BOOLEAN bBraxel : {FALSE, TRUE}) {
    TestBitmap b(240, 100, WATER);
    S_FISHID_vDrawVerticalFishHistory(h.get(), b.p(), &deepest, &shallowest, 600, U_METRES, bBraxel);
    vExpectGolden(b.p(), bBraxel ? "fish_vertical_braxel" : "fish_vertical");
  }
}

}  // namespace
