// Shared set-up of the settings tests: a test clock, an empty store, a fresh data directory.
#pragma once
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "settings/database.h"
#include "kernel/memory.h"
#include "settings/nvram.h"
#include "platform/clock.h"

// Whole files and little-endian words in them (0xDEADBEEF past the end).
inline std::vector<U8> readFile(const std::string &sPath) {
  std::ifstream in(sPath, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline U32 u32At(const std::vector<U8> &bytes, size_t offset) {
  if (offset + 4 > bytes.size()) return 0xDEADBEEF;
  return bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 | static_cast<U32>(bytes[offset + 3]) << 24;
}

// The value the settings files in the directory hold for a key: its bit set over a value word that is there.
inline std::optional<U32> storedValueIn(const std::string &sDir, FOURCHARID id) {
  const U32 u32Slot = static_cast<U32>(H_NVRAM_s32SlotOfKey(id));
  if (!std::filesystem::is_regular_file(sDir + "/nvr_statbit.dat") ||
      !std::filesystem::is_regular_file(sDir + "/nvr_entries.dat")) {
    return {};
  }
  const auto bits = readFile(sDir + "/nvr_statbit.dat");
  const auto entries = readFile(sDir + "/nvr_entries.dat");
  if (bits.size() < 4 * (u32Slot / 32) + 4 || !((u32At(bits, 4 * (u32Slot / 32)) >> (u32Slot % 32)) & 1)) return {};
  if (entries.size() < 4 * u32Slot + 4) return {};
  return u32At(entries, 4 * u32Slot);
}

// The same, -1 when there is none.
inline S64 s64StoredIn(const std::string &sDir, FOURCHARID id) {
  const std::optional<U32> value = storedValueIn(sDir, id);
  return value ? static_cast<S64>(*value) : -1;
}

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Each test runs in its own process under CTest, so the clock has not been read yet.
    m_bTestClock = PLATFORM_CLOCK_bUseTestClock(864000ull * 1000000000ull) || PLATFORM_CLOCK_bIsTestClock();
    // Death-test children run SetUp again and must find the parent's directories.
    if (const char *pcShared = getenv("CORVAN_SETTINGS_TEST_ROOT")) {
      m_sRoot = pcShared;
    } else {
      char acTemplate[] = "/tmp/corvan-settings-XXXXXX";
      m_sRoot = mkdtemp(acTemplate);
      setenv("CORVAN_SETTINGS_TEST_ROOT", m_sRoot.c_str(), 1);
    }
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    m_sData = m_sRoot + "/data";
    setenv("CORVAN_CWD", m_sData.c_str(), 1);
    setenv("CORVAN_TMP", (m_sRoot + "/tmp").c_str(), 1);
    std::error_code ec;
    std::filesystem::create_directories(m_sData, ec);
    H_NVRAM_vSetDirectoriesForTest(m_sData.c_str(), (m_sRoot + "/tmp").c_str());
    H_DATABASE_vInit();
  }
  void TearDown() override {
    unsetenv("CORVAN_SETTINGS_TEST_ROOT");
    H_NVRAM_vSetDirectoriesForTest(nullptr, nullptr);
    std::error_code ec;
    std::filesystem::remove_all(m_sRoot, ec);
  }
  void advanceMs(U64 u64Ms) { PLATFORM_CLOCK_vAdvanceTestClockMs(u64Ms); }
  std::string file(const char *pcName) const { return m_sData + "/" + pcName; }
  std::string fatalLog() const {
    std::ifstream in(m_sData + "/FATAL.LOG");
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  bool m_bTestClock = false;
  std::string m_sRoot;
  std::string m_sData;
};

#define SKIP_WITHOUT_TEST_CLOCK() \
  if (!m_bTestClock) GTEST_SKIP() << "needs the test clock (run this test on its own)"
