// The real program in a fresh data directory creates its settings files.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

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

}  // namespace
