// The ping task in the running unit: `corvan nodisclaimer` on a fresh data directory, judged from the key log
// of the depth to ping and the sonar model's log of the transmit commands it is sent.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "test_environment.h"
#include "unit_run.h"

namespace {

constexpr unsigned short kExit = 30;

float depthOf(const std::string &hex) {
  const unsigned long ul = std::stoul(hex, nullptr, 16);
  const unsigned u = static_cast<unsigned>(ul);
  float f;
  std::memcpy(&f, &u, sizeof f);
  return f;
}

TEST(UnitPing, AFreshUnitPingsDeeperUntilItsRangeThenHoldsItsCommand) {
  UnitRun run({"nodisclaimer"}, {}, "CCST,CMNU,CSPD");
  UnitProcess &unit = run.unit();
  ASSERT_TRUE(unit.waitForLine("system state 3")) << unit.out();
  ASSERT_TRUE(unit.waitForLine("key CMNU = 1 ")) << unit.out();
  ASSERT_NO_FATAL_FAILURE(run.keyUntil(kExit, "key CMNU = 0 "));
  // 200 m, the transducer's range before any range menu.
  ASSERT_TRUE(unit.waitForLine("(0x43480000)")) << unit.out();
  // The ping task's summary line comes after many more passes, all at 200 m.
  ASSERT_TRUE(unit.waitForLine("client states")) << unit.out();
  unit.signal(SIGTERM);
  EXPECT_EQ(unit.wait(), 2);

  const std::vector<std::string> lines = unit.outLines();
  std::vector<float> depths;
  size_t atFull = lines.size();
  std::vector<size_t> commands;
  const std::regex depthLine(R"(key CSPD = -?\d+ \(0x([0-9A-F]{8})\))");
  for (size_t i = 0; i < lines.size(); ++i) {
    std::smatch m;
    if (std::regex_search(lines[i], m, depthLine)) {
      depths.push_back(depthOf(m[1]));
      if (depths.back() == 200.0f && atFull == lines.size()) atFull = i;
    }
    if (lines[i].find("sonar model: command") != std::string::npos) commands.push_back(i);
  }
  ASSERT_GE(depths.size(), 3u) << unit.out();
  // From 75 m in steps of 6.25 m, one per ping, to 200 m. The first start's factory reset writes 0 once on
  // the way; the search goes on where it was.
  size_t first = 0;
  while (first < depths.size() && depths[first] != 75.0f) ++first;
  ASSERT_LT(first, depths.size()) << unit.out();
  depths.erase(std::remove(depths.begin() + static_cast<long>(first), depths.end(), 0.0f), depths.end());
  for (size_t i = first + 1; i < depths.size(); ++i) {
    EXPECT_EQ(depths[i], std::min(200.0f, depths[i - 1] + 6.25f)) << i;
  }
  EXPECT_EQ(depths.back(), 200.0f);
  // One command per step; at 200 m one more and then none while nothing changes.
  size_t after = 0;
  for (size_t at : commands) after += at > atFull ? 1 : 0;
  EXPECT_LE(after, 1u) << unit.out();
  EXPECT_GE(commands.size(), depths.size() - first) << unit.out();
  const std::regex summary(R"(destination (none|yes), client states \d \d \d \d)");
  EXPECT_TRUE(std::regex_search(unit.out(), summary)) << unit.out();
}

}  // namespace

namespace {

constexpr unsigned short kMenu = 50;
constexpr unsigned short kDown = 108;
constexpr unsigned short kRight = 49;

TEST(UnitPing, InTheSimulatorEveryPulseIsSimulated) {
  UnitRun run({"nodisclaimer"}, {}, "CCST,CMNU,CSPD");
  UnitProcess &unit = run.unit();
  // The start-up keys are filed by the time the transducer test pings, within the splash; a key already held
  // when they are filed would never be seen pressed.
  ASSERT_TRUE(unit.waitForLine("attempt #0 ")) << unit.out();
  ASSERT_NO_FATAL_FAILURE(run.keyUntil(kMenu, "start-up menu open"));
  run.press(kDown);
  ASSERT_NO_FATAL_FAILURE(run.keyUntil(kRight, "system state 4"));
  ASSERT_TRUE(unit.waitForLine("key CMNU = 1 ")) << unit.out();
  ASSERT_NO_FATAL_FAILURE(run.keyUntil(kExit, "key CMNU = 0 "));
  ASSERT_TRUE(unit.waitForLine("client states")) << unit.out();
  unit.signal(SIGTERM);
  EXPECT_EQ(unit.wait(), 2);

  const std::vector<std::string> lines = unit.outLines();
  size_t at = 0;
  while (at < lines.size() && lines[at].find("system state 4") == std::string::npos) ++at;
  const std::regex pulse(R"(\[\d\.\d (\d+) kHz mode (\d+) samples (\d+)\])");
  size_t pulses = 0;
  for (; at < lines.size(); ++at) {
    if (lines[at].find("sonar model: command") == std::string::npos) continue;
    for (std::sregex_iterator it(lines[at].begin(), lines[at].end(), pulse), end; it != end; ++it) {
      ++pulses;
      EXPECT_EQ((*it)[2], "3") << lines[at];
    }
  }
  EXPECT_GT(pulses, 0u) << unit.out();
}

}  // namespace
