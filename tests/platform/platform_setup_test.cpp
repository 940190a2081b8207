// Platform set-up installs the chart drawing library's palette and its three built-in fonts.
#include <gtest/gtest.h>

#include <cstring>

#include "chartlib/raster/gp_gl.h"
#include "draw/color.h"
#include "platform/platform.h"
#include "platform_fixture.h"

namespace {

using PlatformSetupTest = DeviceTest;

TEST_F(PlatformSetupTest, InstallsTheChartPaletteAndTheBuiltInFonts)
{
  H_PLATFORM_vSetup();
  EXPECT_EQ(gl_pucPalette, gCOLOR_pcolColorTable + 148);
  const char *const names[3] = {"Daravazos06x09", "Daravazos06x11", "Daravazos09x15"};
  const SINT heights[3] = {9, 11, 15};
  for (SINT slot = 0; slot < 3; slot++) {
    ASSERT_NE(FontsRack[slot], nullptr) << slot;
    EXPECT_STREQ(reinterpret_cast<const char *>(FontsRack[slot]->FontDescr), names[slot]);
    EXPECT_EQ(gr_GetFontHeight(slot), heights[slot]);
    EXPECT_NE(FontsRack[slot]->TablePtr, nullptr);
  }
  // A context drawing with the installed palette and font 0.
  std::vector<SINT> words(20 * 12);
  GR_CONTEXT gc{};
  gr_InitGC(&gc, 40, 12, words.data());
  gr_SetColor(&gc, 3);
  EXPECT_EQ(gc.colour, gCOLOR_pcolColorTable[148 + 3]);
  gr_SetFontType(&gc, 0);
  gr_SetAbsPenPos(&gc, 0, 2);
  EXPECT_EQ(gr_PrintString(&gc, reinterpret_cast<const UCHAR *>("1")), CL_SUCCESS);
  EXPECT_EQ(gc.cp.px, 6);
}

} // namespace
