// The running unit's transducer test: `corvan` on a fresh data directory with the simulated sonar, judged
// from its log (attempts, system state, the key log of the settings store) and its last screen.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "card/movinand_standin.h"
#include "draw/fonts.h"
#include "draw/string.h"
#include "platform/png.h"
#include "test_environment.h"
#include "unit_run.h"

namespace {

constexpr unsigned short kExit = 30;
// "LONGER" is no key: the unit says so and logs the others.
const char *const kLoggedKeys = "CCST,CMNU,LONGER,DET1,DET2,DET3,DET4,DET5";

struct Attempt {
  int nEcho, nNoise, nValue;
};

std::vector<Attempt> attempts(const std::string &log) {
  std::vector<Attempt> list;
  const std::regex line(R"(attempt #(\d+) ping_energy (-?\d+) noise measure (-?\d+) calc value (-?\d+))");
  for (std::sregex_iterator it(log.begin(), log.end(), line), end; it != end; ++it) {
    EXPECT_EQ(std::stoi((*it)[1]), static_cast<int>(list.size()));
    list.push_back({std::stoi((*it)[2]), std::stoi((*it)[3]), std::stoi((*it)[4])});
  }
  return list;
}

// The last value the key log shows for a key; nullopt when it never changed.
std::optional<int> lastLogged(const std::string &log, const std::string &key) {
  std::optional<int> value;
  const std::regex line("key " + key + R"( = (-?\d+) )");
  for (std::sregex_iterator it(log.begin(), log.end(), line), end; it != end; ++it) value = std::stoi((*it)[1]);
  return value;
}

TEST(UnitDetect, TransducerWithAnOpenThermistorLinePassesTheEchoTestAndRunsNormally) {
  // The model's transducer line reads open (1023), so the echo test runs instead of the line's shortcut.
  UnitRun run({"nodisclaimer"}, {{"CORVAN_SONAR_ADC", "400,1023,304"}}, kLoggedKeys);
  UnitProcess &unit = run.unit();
  ASSERT_TRUE(unit.waitForLine("system state 3")) << unit.out();
  // The first start opens the quick-setup menu; EXIT closes it.
  ASSERT_TRUE(unit.waitForLine("key CMNU = 1 ")) << unit.out();
  run.key(kExit);
  ASSERT_TRUE(unit.waitForLine("key CMNU = 0 ")) << unit.out();
  unit.signal(SIGTERM);
  EXPECT_EQ(unit.wait(), 2);
  const std::string &log = unit.out();
  const std::vector<Attempt> list = attempts(log);
  ASSERT_EQ(list.size(), 6u) << log;
  for (const Attempt &a : list) EXPECT_GE(a.nEcho - a.nNoise, 91) << log;
  for (int n = 1; n <= 5; ++n) {
    EXPECT_EQ(lastLogged(log, "DET" + std::to_string(n)), list[n - 1].nValue) << n;
  }
  EXPECT_EQ(lastLogged(log, "CCST"), 3);
  EXPECT_EQ(log.find("no transducer found"), std::string::npos);
  EXPECT_NE(log.find("CORVAN_LOG_KEYS: 'LONGER' is not a four-character key"), std::string::npos);
}

TEST(UnitDetect, WithoutATransducerAFreshUnitBurnsInAndShowsTheChartStore) {
  const std::string shot = TEST_dataDirectory() + "/burn-in.png";
  std::vector<std::string> lines;
  {
    // Burn-in logs nothing more: the watchdog ends the run (status 3) after 10 quiet seconds, longer than the
    // splash, and the screen is written as it ends. A point-of-sale notice would be gone by then.
    UnitRun run({"nodisclaimer", "debug_sec", "10"}, {{"CORVAN_TRANSDUCER", "0"}, {"CORVAN_SCREENSHOT", shot}},
                kLoggedKeys);
    UnitProcess &unit = run.unit();
    ASSERT_TRUE(unit.waitForLine("system state 2")) << unit.out();
    EXPECT_EQ(unit.wait(), 3) << unit.out();
    const std::string &log = unit.out();
    const std::vector<Attempt> list = attempts(log);
    ASSERT_EQ(list.size(), 10u) << log;
    for (int n = 1; n <= 5; ++n) {
      EXPECT_EQ(lastLogged(log, "DET" + std::to_string(n)), list[n - 1].nValue) << n;
    }
    for (const Attempt &a : list) EXPECT_LT(a.nEcho - a.nNoise, 91);
    EXPECT_EQ(lastLogged(log, "CCST"), 2);
    EXPECT_NE(log.find("no transducer found"), std::string::npos);
    EXPECT_EQ(log.find("showing the chart disclaimer"), std::string::npos);
    EXPECT_EQ(log.find("quick-setup menu requested"), std::string::npos);
  }
  std::vector<COLOR> pixels;
  U32 u32W = 0, u32H = 0;
  ASSERT_TRUE(PNG_bReadRgb565(shot.c_str(), &pixels, &u32W, &u32H));
  ASSERT_EQ(u32W * u32H, 800u * 480u);
  // The box in the middle of the screen is as wide as its text: "Burn-In", a space and the chart store's state.
  const std::string text =
      std::string("Burn-In ") + U_MOVINAND_pcGetMovinandStateText(U_MOVINAND_eGetMovinandState(0));
  const U32 u32Text = G_STRING_u32GetWidth(std_16x17_font_def_ptr, text.c_str());
  const size_t row = 240 * 800;
  const COLOR background = pixels[row + 20];
  size_t left = 20, right = 779;  // inside the frame's edge
  while (left < 800 && pixels[row + left] == background) ++left;
  while (right > 0 && pixels[row + right] == background) --right;
  ASSERT_LT(left, right) << "no box at mid-height";
  const U32 u32Box = static_cast<U32>(right - left + 1);
  EXPECT_GE(u32Box, u32Text + 20) << text;
  EXPECT_LE(u32Box, u32Text + 24) << text;
  // Not the point-of-sale notice, whose box would fit "Transducer not connected".
  EXPECT_NE(u32Text, G_STRING_u32GetWidth(std_16x17_font_def_ptr, "Transducer not connected"));
}

}  // namespace
