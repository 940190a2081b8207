// The unit on a desktop: the view task's frames reach the screen; the first one is the start-up splash.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "draw/color.h"
#include "platform/png.h"
#include "test_environment.h"

namespace {

TEST(ViewDesktop, TheUnitShowsItsFirstFrame) {
  const std::filesystem::path dir = std::filesystem::path(TEST_dataDirectory()) / "desktop";
  std::filesystem::remove_all(dir);  // a fresh unit each run
  std::filesystem::create_directories(dir);
  const std::string shot = (dir / "exit.png").string();
  setenv("CORVAN_HEADLESS", "1", 1);
  setenv("CORVAN_SCREENSHOT", shot.c_str(), 1);
  {
    UnitProcess unit({}, dir.string());
    unsetenv("CORVAN_SCREENSHOT");
    ASSERT_TRUE(unit.waitForLine("view task: first frame shown")) << unit.out();
    // The first start's settings reset moves the view on and back, with one empty frame between: stop on the
    // splash shown after it.
    ASSERT_TRUE(unit.waitForNext("restoring the factory settings", 60000)) << unit.out();
    ASSERT_TRUE(unit.waitForNext("showing view 1 with", 60000)) << unit.out();
    unit.signal(SIGTERM);
    EXPECT_EQ(unit.wait(), 2);
  }
  std::vector<COLOR> pixels;
  U32 w = 0, h = 0;
  ASSERT_TRUE(PNG_bReadRgb565(shot.c_str(), &pixels, &w, &h));
  ASSERT_EQ(w * h, 800u * 480u);
  // The first frame is the start-up splash, filled with colour 32.
  const COLOR splash = gCOLOR_pcolColorTable[32];
  for (size_t i : {size_t{0}, size_t{799}, size_t{400 * 240}, pixels.size() - 1}) EXPECT_EQ(pixels[i], splash) << i;
}

}  // namespace
