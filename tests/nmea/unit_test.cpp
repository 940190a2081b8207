// The running unit: `corvan` with a GPS tool on channel 0's pseudo-terminal. These runs take the unit's own
// 8 s splash in real time.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "draw/color.h"
#include "platform/png.h"
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
  // Under heavy load gpscat has been seen to report one unframed 6-byte packet before the frame, with no
  // printable content, while a raw reader of the same terminal receives the frame alone: such lines are skipped.
  char acLine[512] = "";
  std::string sFirst;
  while (sFirst.find("(32@") == std::string::npos && fgets(acLine, sizeof(acLine), pTool) != nullptr) sFirst = acLine;
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

// The Setup tab of the main menu on a fresh unit (quick set-up left with EXIT, MENU twice while the capture
// review is the only view, cursor right to the second tab), with and without the NMEA task: the seventh row is
// "NMEA 0183 Output" with the value "Off" at its lower right only with the task (without, "Sonar" moves up, a
// row without a value).
TEST_F(UnitRun, SetupTabShowsTheNmeaOutputItem) {
  constexpr unsigned short kExit = 30, kMenu = 50, kRight = 49;
  int anValueInk[2] = {};
  std::vector<COLOR> aRowTitle[2];  // the seventh row's title, where the output item stands when the task runs
  for (int nRun = 0; nRun < 2; ++nRun) {
    const std::string sRun = m_sDir + "/run" + std::to_string(nRun);
    std::filesystem::create_directories(sRun);
    const std::string sFifo = sRun + "/keys";
    ASSERT_EQ(mkfifo(sFifo.c_str(), 0600), 0);
    const int nKeys = open(sFifo.c_str(), O_RDWR);
    setenv("CORVAN_KEYS", sFifo.c_str(), 1);
    setenv("CORVAN_SCREENSHOT", (sRun + "/shot.png").c_str(), 1);
    std::vector<std::string> asWords = {"nodisclaimer"};
    if (nRun == 1) asWords.insert(asWords.end(), {"task_rem", "19"});
    {
      UnitProcess unit(asWords, sRun);
      ASSERT_TRUE(unit.waitForLine("run-system sent"));
      // The keypad is polled in real time: pauses as a person would leave between keys.
      auto key = [&](unsigned short u16Code) {
        for (int nValue : {1, 0}) {
          struct {
            long alTime[2];
            unsigned short u16Type, u16Code;
            int nValue;
          } record = {{0, 0}, 1, u16Code, nValue};
          ASSERT_EQ(write(nKeys, &record, sizeof record), static_cast<ssize_t>(sizeof record));
          usleep(150000);
        }
        usleep(600000);
      };
      usleep(1500000);  // the quick-setup list of a fresh unit comes up
      for (unsigned short u16Code : {kExit, kMenu, kMenu, kRight}) key(u16Code);
      usleep(1000000);
      unit.signal(SIGTERM);
      unit.wait();
    }
    close(nKeys);
    unsetenv("CORVAN_KEYS");
    unsetenv("CORVAN_SCREENSHOT");
    std::vector<COLOR> pixels;
    U32 u32W = 0, u32H = 0;
    ASSERT_TRUE(PNG_bReadRgb565((sRun + "/shot.png").c_str(), &pixels, &u32W, &u32H));
    ASSERT_EQ(u32W * u32H, 800u * 480u);
    EXPECT_EQ(pixels[400 * 800 + 166], gCOLOR_pcolColorTable[65]);  // a plain seventh row, left of its title
    for (int y = 388; y < 412; ++y) {
      for (int x = 166; x < 330; ++x) aRowTitle[nRun].push_back(pixels[static_cast<size_t>(y) * 800 + static_cast<size_t>(x)]);
    }
    for (int y = 415; y < 440; ++y) {
      for (int x = 340; x < 400; ++x) {
        if (pixels[static_cast<size_t>(y) * 800 + static_cast<size_t>(x)] != gCOLOR_pcolColorTable[65]) {
          ++anValueInk[nRun];
        }
      }
    }
  }
  EXPECT_GT(anValueInk[0], 20);  // "Off"
  // Without the NMEA task the row holds the next item of the tab (or nothing), not the output item.
  EXPECT_NE(aRowTitle[0], aRowTitle[1]);
}

}  // namespace
