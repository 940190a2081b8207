// The running unit with a simulated card: in slot 0 at start, then pulled and put back through the host's device
// entries as a person would (README "Simulated devices"). Judged from the log and the final screen.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/keyboard.h"
#include "draw/color.h"
#include "platform/png.h"
#include "test_environment.h"

namespace {

namespace fs = std::filesystem;

class CardUnitRun : public ::testing::Test {
 protected:
  void SetUp() override {
    m_sDir = TEST_dataDirectory() + "/unit-" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::create_directories(m_sDir);
    m_sDevRoot = m_sDir + "/devroot";
    setenv("CORVAN_HEADLESS", "1", 1);
    setenv("CORVAN_DEVROOT", m_sDevRoot.c_str(), 1);
    setenv("CORVAN_LOG_KEYS", "CSD0", 1);
    setenv("CORVAN_SCREENSHOT", (m_sDir + "/shot.png").c_str(), 1);
    unsetenv("CORVAN_KEYS");
  }
  void TearDown() override {
    for (const char *pc : {"CORVAN_DEVROOT", "CORVAN_LOG_KEYS", "CORVAN_SCREENSHOT", "CORVAN_KEYS"}) unsetenv(pc);
  }
  void insert() {
    const std::string sCard = m_sDevRoot + "/sys/class/mmc_host/mmc1/mmc1:0001";
    fs::create_directories(sCard + "/block/mmcblk1");
    std::ofstream(sCard + "/cid") << "0353445355333247803EDA2C2A00B7C1\n";
    std::ofstream(sCard + "/type") << "SD\n";
    fs::create_directories(m_sDevRoot + "/dev");
    std::ofstream(m_sDevRoot + "/dev/mmcblk1").close();
    std::ofstream(m_sDevRoot + "/dev/mmcblk1p1").close();
  }
  void remove() {
    fs::remove(m_sDevRoot + "/dev/mmcblk1p1");
    fs::remove(m_sDevRoot + "/dev/mmcblk1");
    fs::remove_all(m_sDevRoot + "/sys/class/mmc_host/mmc1/mmc1:0001");
  }
  std::string m_sDir;
  std::string m_sDevRoot;
};

// The count-th line of the output containing the text ("" when there is none yet).
std::string nthLine(const std::string &sOut, const std::string &sText, size_t count) {
  size_t at = std::string::npos;
  for (size_t n = 0, from = 0; n < count; ++n, from = at + 1) {
    at = sOut.find(sText, from);
    if (at == std::string::npos) return "";
  }
  const size_t start = sOut.rfind('\n', at);
  const size_t end = sOut.find('\n', at);
  return sOut.substr(start == std::string::npos ? 0 : start + 1, end - (start == std::string::npos ? 0 : start + 1));
}

// Waits for the next line of the view task's frames that contains (or, with bWith false, lacks) the text.
bool waitForFrame(UnitProcess &unit, size_t *pCount, const std::string &sText, bool bWith) {
  for (;;) {
    if (!unit.waitForLines("VIEWTASK view task: showing view ", ++*pCount)) return false;
    const std::string sLine = nthLine(unit.out(), "VIEWTASK view task: showing view ", *pCount);
    if ((sLine.find(sText) != std::string::npos) == bWith) return true;
  }
}

TEST_F(CardUnitRun, CardAtStartMountsAndPutBackRefusesTheImportWhileNavigationIsUnknown) {
  // The card's files, with a navigation export in its "CORVAN" folder.
  fs::create_directories(m_sDevRoot + "/slot0/CORVAN");
  std::ofstream(m_sDevRoot + "/slot0/CORVAN/DATA.QWR") << "x";
  insert();
  const std::string sFifo = m_sDir + "/keys";
  ASSERT_EQ(mkfifo(sFifo.c_str(), 0600), 0);
  const int nKeys = open(sFifo.c_str(), O_RDWR);
  setenv("CORVAN_KEYS", sFifo.c_str(), 1);
  UnitProcess unit({"nodisclaimer"}, m_sDir);
  ASSERT_TRUE(unit.waitForLine("DD_SD: mounted " + m_sDevRoot + "/dev/mmcblk1p1 on " + m_sDevRoot + "/mnt/mmc0"));
  ASSERT_TRUE(unit.waitForLine("key CSD0 = 1 "));
  EXPECT_TRUE(fs::is_symlink(m_sDevRoot + "/mnt/mmc0"));

  // The fresh unit's quick set-up (layer 329) is closed with EXIT first, so that nothing covers the card's box.
  // Its keys are registered by then: the start-up task asks for them before it sends the run-system command.
  size_t frames = 0;
  ASSERT_TRUE(waitForFrame(unit, &frames, " 329", true));
  ASSERT_TRUE(unit.waitForLine("run-system sent"));
  auto key = [&](int nValue) {
    ASSERT_TRUE(DD_KEYBOARD_bWriteKeyRecord(nKeys, 30, nValue));
  };
  key(1);
  ASSERT_TRUE(waitForFrame(unit, &frames, " 329", false));
  key(0);

  remove();
  ASSERT_TRUE(unit.waitForLines("key CSD0 = 0 ", 2));  // the first is the start's
  ASSERT_TRUE(unit.waitForLine("DD_SD: umount " + m_sDevRoot + "/mnt/mmc0 attempt 5 result 0"));
  EXPECT_FALSE(fs::is_symlink(m_sDevRoot + "/mnt/mmc0"));
  EXPECT_TRUE(fs::is_directory(m_sDevRoot + "/mnt/mmc0"));

  insert();
  ASSERT_TRUE(unit.waitForLines("DD_SD: mounted ", 2));
  // The card's layer (316) comes on screen now, not at start.
  for (size_t n = 1; n <= frames; ++n) {
    const std::string sLine = nthLine(unit.out(), "VIEWTASK view task: showing view ", n);
    EXPECT_EQ(sLine.find(" 316", sLine.find("overlays")), std::string::npos) << sLine;
  }
  ASSERT_TRUE(waitForFrame(unit, &frames, " 316", true));
  ASSERT_TRUE(unit.waitForLines("key CSD0 = 1 ", 2));
  unit.signal(SIGTERM);
  unit.wait();
  close(nKeys);
  // Nothing in this unit writes 'INIP', which then counts as navigating: the import is refused on screen
  // instead of asked. Never at start.
  EXPECT_EQ(unit.out().find("navigation import from card"), std::string::npos);
  // The refusal box on the screen is the one of the card tests' picture, pixel for pixel (that picture has it
  // on a plain background of 0x1234).
  std::vector<COLOR> vPixels, vBox;
  U32 u32W = 0, u32H = 0;
  ASSERT_TRUE(PNG_bReadRgb565((m_sDir + "/shot.png").c_str(), &vPixels, &u32W, &u32H));
  ASSERT_EQ(u32W * u32H, 800u * 480u);
  ASSERT_TRUE(PNG_bReadRgb565(CORVAN_TEST_DATA "/import_refused.png", &vBox, &u32W, &u32H));
  ASSERT_EQ(vBox.size(), vPixels.size());
  size_t szBox = 0, szSame = 0;
  for (size_t i = 0; i < vBox.size(); ++i) {
    if (vBox[i] == 0x1234) continue;
    ++szBox;
    if (vPixels[i] == vBox[i]) ++szSame;
  }
  EXPECT_GT(szBox, 400u * 70u);
  EXPECT_EQ(szSame, szBox);
}

}  // namespace
