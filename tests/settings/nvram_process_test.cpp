// The real program: a fresh data directory gets its settings files; settings changed in the menus survive
// SIGTERM.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platform/keyboard.h"
#include "settings_fixture.h"
#include "test_environment.h"

namespace {

TEST(NvramProcess, FreshDataDirectoryGetsTheSettingsFiles) {
  const std::string sData = TEST_dataDirectory() + "/unit";
  UnitProcess unit({}, sData);
  // The start-up defaults of CREV and SMDL are header items: both are saved as soon as the store has them.
  const std::string sEntries = sData + "/nvr_entries.dat";
  const std::string sBits = sData + "/nvr_statbit.dat";
  auto ready = [&] {
    const auto bits = readFile(sBits);
    return u32At(bits, 4 * 1458) == 3 && u32At(bits, 4 * 906) == 1u << 9;
  };
  for (int n = 0; n < 600 && !ready(); n++) usleep(50000);  // a safety net, not a timing
  unit.signal(SIGTERM);
  EXPECT_EQ(unit.wait(), 2) << unit.out();
  const auto entries = readFile(sEntries);
  const auto bits = readFile(sBits);
  EXPECT_EQ(entries.size(), 186632u);
  EXPECT_EQ(bits.size(), 5836u);
  EXPECT_EQ(u32At(entries, 186624), 0xFFFFFFF8u);  // NVER
  EXPECT_EQ(u32At(entries, 186628), 0u);           // CREV
  EXPECT_EQ(u32At(entries, 116004), 293u);         // SMDL
  EXPECT_EQ(u32At(bits, 4 * 906), 1u << 9);
  EXPECT_EQ(u32At(bits, 4 * 1458), 3u);
  EXPECT_FALSE(std::filesystem::exists(sData + "/sonar.dat"));
  // The start-up task asks for the owner's text at start, which may create the file, but nothing writes it.
  EXPECT_EQ(readFile(sData + "/personal.dat").size(), 0u);
}

// Language, maximum depth and water type changed in the quick set-up, then SIGTERM: the next start has them
// all and does not ask for the quick set-up again. A second unit, stopped without keys, gives the defaults.
TEST(NvramProcess, SettingsChangedInTheMenusSurviveSigterm) {
  const FOURCHARID keys[] = {FCID("SLNG"), FCID("SSMD"), FCID("SSWA")};
  const std::string sKeyed = TEST_dataDirectory() + "/keyed";
  const std::string sPlain = TEST_dataDirectory() + "/plain";
  const std::string sFifo = TEST_dataDirectory() + "/keys";
  ASSERT_EQ(mkfifo(sFifo.c_str(), 0600), 0);
  const int fdKeys = open(sFifo.c_str(), O_RDWR);  // no wait for the unit's reader
  ASSERT_GE(fdKeys, 0);
  setenv("CORVAN_HEADLESS", "1", 1);
  setenv("CORVAN_KEYS", sFifo.c_str(), 1);
  auto keyed = std::make_unique<UnitProcess>(std::vector<std::string>{"nodisclaimer"}, sKeyed);
  unsetenv("CORVAN_KEYS");
  UnitProcess plain({"nodisclaimer"}, sPlain);

  ASSERT_TRUE(plain.waitForLine("opening the quick-setup menu")) << plain.out();
  plain.signal(SIGTERM);
  EXPECT_EQ(plain.wait(), 2) << plain.out();

  ASSERT_TRUE(keyed->waitForLine("opening the quick-setup menu")) << keyed->out();
  usleep(1500000);  // the menu task opens the list and takes the keys on its next turns
  auto press = [&](unsigned short u16Code) {
    for (int nValue : {1, 0}) {
      ASSERT_TRUE(DD_KEYBOARD_bWriteKeyRecord(fdKeys, u16Code, nValue));
      usleep(200000);  // the keyboard task polls every 40 ms
    }
    usleep(300000);
  };
  constexpr unsigned short kRight = 49, kDown = 108, kExit = 30;
  for (unsigned short u16Code : {kRight, kDown, kRight, kDown, kRight, kExit}) press(u16Code);
  usleep(500000);
  keyed->signal(SIGTERM);
  EXPECT_EQ(keyed->wait(), 2) << keyed->out();
  EXPECT_NE(keyed->out().find("NVRAM: final save done"), std::string::npos) << keyed->out();
  close(fdKeys);
  for (FOURCHARID id : keys) {
    EXPECT_NE(s64StoredIn(sKeyed, id), -1) << std::hex << id;
    EXPECT_NE(s64StoredIn(sKeyed, id), s64StoredIn(sPlain, id)) << std::hex << id;
  }
  EXPECT_EQ(s64StoredIn(sKeyed, FCID("SQCD")), 1);  // the quick set-up is done
  S64 as64Changed[3];
  for (int n = 0; n < 3; n++) as64Changed[n] = s64StoredIn(sKeyed, keys[n]);

  keyed = std::make_unique<UnitProcess>(std::vector<std::string>{"nodisclaimer"}, sKeyed);
  ASSERT_TRUE(keyed->waitForLine("run-system sent")) << keyed->out();
  keyed->signal(SIGTERM);
  EXPECT_EQ(keyed->wait(), 2) << keyed->out();
  EXPECT_EQ(keyed->out().find("opening the quick-setup menu"), std::string::npos) << keyed->out();
  for (int n = 0; n < 3; n++) EXPECT_EQ(s64StoredIn(sKeyed, keys[n]), as64Changed[n]);  // saved again at the stop
}

}  // namespace
