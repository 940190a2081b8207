// The running unit: `corvan` with a GPS tool on channel 0's pseudo-terminal. These runs take the unit's own
// 8 s splash in real time.
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "test_environment.h"

namespace {

class UnitRun : public ::testing::Test {
 protected:
  void SetUp() override {
    m_sDir = TEST_dataDirectory() + "/unit-" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::filesystem::create_directories(m_sDir);
    setenv("CORVAN_HEADLESS", "1", 1);
    unsetenv("CORVAN_DEVROOT");
    for (int i = 0; i < 4; ++i) unsetenv(("CORVAN_SERIAL" + std::to_string(i)).c_str());
  }
  void TearDown() override { unsetenv("CORVAN_TRANSDUCER"); }
  std::string m_sDir;
};

TEST_F(UnitRun, NormalRunSwitchesTheReceiverToNmeaWithOneSiRFFrame) {
  UnitProcess unit({"quit_sec", "60", "nodisclaimer"}, m_sDir);
  ASSERT_TRUE(unit.waitForLine("linked as " + m_sDir + "/devroot/dev/ttyS0"));
  // gpscat reports each packet as "type (length@offset): bytes"; it ends when the unit closes the terminal.
  const std::string sCommand = "gpscat -t -s 38400 " + m_sDir + "/devroot/dev/ttyS0 2>&1";
  FILE *pTool = popen(sCommand.c_str(), "r");
  ASSERT_NE(pTool, nullptr);
  ASSERT_TRUE(unit.waitForLine("system state 3"));
  ASSERT_TRUE(unit.waitForLine("switch-to-NMEA frame sent on channel 0"));
  char acLine[512] = "";
  ASSERT_NE(fgets(acLine, sizeof(acLine), pTool), nullptr);
  const std::string sFirst = acLine;
  EXPECT_EQ(sFirst.rfind("4 (32@0): \\xa0\\xa2\\x00\\x18\\x81\\x02", 0), 0u) << sFirst;
  EXPECT_NE(sFirst.find("\\x96\\x00\\x01'\\xb0\\xb3"), std::string::npos) << sFirst;
  unit.signal(SIGTERM);
  unit.wait();
  std::string sRest;
  while (fgets(acLine, sizeof(acLine), pTool) != nullptr) sRest += acLine;
  pclose(pTool);
  // Nothing the tool could not frame (type -1), no second frame.
  EXPECT_EQ(sRest.find("-1 ("), std::string::npos) << sRest;
  EXPECT_EQ(sRest.find("(32@"), std::string::npos) << sRest;
}

TEST_F(UnitRun, BurnInSendsNoFrameAndLocksTheFourChannelsAt4800) {
  setenv("CORVAN_TRANSDUCER", "0", 1);
  UnitProcess unit({"quit_sec", "60", "nodisclaimer"}, m_sDir);
  ASSERT_TRUE(unit.waitForLine("system state 2"));
  for (int i = 0; i < 4; ++i) {
    ASSERT_TRUE(unit.waitForLine("NMEA: channel " + std::to_string(i) + " locked at 4800 baud"));
  }
  unit.signal(SIGTERM);
  unit.wait();
  EXPECT_EQ(unit.out().find("switch-to-NMEA frame"), std::string::npos);
  EXPECT_NE(unit.out().find("NMEA: channel 0 to 4800 baud"), std::string::npos);
}

}  // namespace
