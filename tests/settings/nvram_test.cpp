#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "settings/nvram.h"
#include "settings_fixture.h"

namespace {

NVR_ENTRY entry(FOURCHARID id, U32 u32Value) {
  NVR_ENTRY e = {id, {}};
  e.data.u32Val = u32Value;
  return e;
}

class NvramTest : public SettingsTest {
 protected:
  void SetUp() override {
    SettingsTest::SetUp();
    ASSERT_EQ(H_NVRAM_eInit(), STATE_VIRGIN);
  }
  void write(FOURCHARID id, U32 u32Value) {
    const NVR_ENTRY e = entry(id, u32Value);
    ASSERT_TRUE(H_NVRAM_bWriteFCID(&e));
  }
  std::vector<U8> entries() { return readFile(file("nvr_entries.dat")); }
  std::vector<U8> statbits() { return readFile(file("nvr_statbit.dat")); }
};

TEST_F(NvramTest, SlotsOfKeys) {
  const struct {
    FOURCHARID id;
    S32 s32Slot;
  } rows[] = {
      {FCID("SMDL"), 29001}, {FCID("S000"), 0},      {FCID("SZZZ"), 46655}, {FCID("NVER"), 46656},
      {FCID("CREV"), 46657}, {FCID("FFST"), 46658},  {FCID("Sa.z"), 0},     {FCID("SM-L"), 29001 - 13 * 36},
      {FCID("FXYZ"), -1},    {FCID("CCST"), -1},
  };
  for (const auto &row : rows) EXPECT_EQ(H_NVRAM_s32SlotOfKey(row.id), row.s32Slot) << std::hex << row.id;
  EXPECT_EQ(H_NVRAM_fcidXlatNumber(46657), FCID("CREV"));
  EXPECT_EQ(H_NVRAM_fcidXlatNumber(29001), FCID("SMDL"));
  EXPECT_EQ(H_NVRAM_fcidXlatNumber(46659), 0xFFFFFFFFu);
}

TEST_F(NvramTest, ValuesAndBitsAreByteExact) {
  write(FCID("NVER"), NVR_VERSION);
  H_NVRAM_vFlashWriteBack();
  EXPECT_EQ(entries().size(), 186628u);
  EXPECT_EQ(statbits().size(), 5836u);
  write(FCID("CREV"), 0);
  write(FCID("SMDL"), 293);
  write(FCID("SZZZ"), 0x01020304);
  H_NVRAM_vFlashWriteBack();
  auto e = entries();
  EXPECT_EQ(e.size(), 186632u);
  EXPECT_EQ(u32At(e, 116004), 293u);
  EXPECT_EQ(u32At(e, 186620), 0x01020304u);
  EXPECT_EQ(u32At(e, 186624), NVR_VERSION);
  auto s = statbits();
  EXPECT_EQ(s.size(), 5836u);
  EXPECT_EQ(u32At(s, 4 * 906), 1u << 9);
  EXPECT_EQ(u32At(s, 4 * 1457), 1u << 31);
  EXPECT_EQ(u32At(s, 4 * 1458), 3u);
  write(FCID("FFST"), 1);
  H_NVRAM_vFlashWriteBack();
  EXPECT_EQ(entries().size(), 186636u);
  EXPECT_EQ(u32At(statbits(), 4 * 1458), 7u);
}

// The value reaches storage first; its bit only with the write-back that follows.
TEST_F(NvramTest, BitIsWrittenOnlyAfterTheValues) {
  write(FCID("SMDL"), 292);
  EXPECT_EQ(u32At(entries(), 116004), 292u);
  EXPECT_TRUE(statbits().empty());
  NVR_ENTRY e = entry(FCID("SMDL"), 0);
  EXPECT_TRUE(H_NVRAM_bGetItemByID(&e));  // the running process sees it at once
  H_NVRAM_vFlashWriteBack();
  EXPECT_EQ(u32At(statbits(), 4 * 906), 1u << 9);
}

TEST_F(NvramTest, FoldedKeysShareASlotButFKeysTakeNone) {
  write(FCID("SA00"), 1);
  ::testing::internal::CaptureStdout();
  write(FCID("SA.-"), 2);  // same slot as SA00: logged, kept
  EXPECT_NE(::testing::internal::GetCapturedStdout().find("keys SA00 and SA.- share slot 12960"), std::string::npos);
  NVR_ENTRY e = entry(FCID("SA00"), 0);
  ASSERT_TRUE(H_NVRAM_bGetItemByID(&e));
  EXPECT_EQ(e.data.u32Val, 2u);
  const NVR_ENTRY f = entry(FCID("FZZZ"), 9);
  EXPECT_FALSE(H_NVRAM_bWriteFCID(&f));
  e = entry(FCID("SZZZ"), 0);
  EXPECT_FALSE(H_NVRAM_bGetItemByID(&e));
}

TEST_F(NvramTest, ReadsByKey) {
  NVR_ENTRY e = entry(FCID("CCST"), 5);
  EXPECT_FALSE(H_NVRAM_bGetItemByID(&e));
  EXPECT_EQ(e.id, FCID("CCST"));
  EXPECT_EQ(e.data.u32Val, 5u);
  e = entry(FCID("CREV"), 5);
  EXPECT_FALSE(H_NVRAM_bGetItemByID(&e));
  EXPECT_EQ(e.id, 0xFFFFFFFFu);
  EXPECT_EQ(e.data.u32Val, 0xFFFFFFFFu);
  EXPECT_FALSE(H_NVRAM_bReadUnitHeaderEntry(20, &e));
  EXPECT_FALSE(H_NVRAM_bReadUnitHeaderEntry(14, &e));
  EXPECT_EQ(e.id, 0xFFFFFFFFu);
}

TEST_F(NvramTest, ScansReturnUsedSlotsInOrderAndRestart) {
  write(FCID("SZZZ"), 3);
  write(FCID("SB00"), 2);
  write(FCID("S001"), 1);
  write(FCID("CREV"), 7);
  for (int pass = 0; pass < 2; pass++) {
    std::vector<FOURCHARID> keys;
    NVR_ENTRY e = {};
    for (U32 n = 0; H_NVRAM_bReadSEntry(n, &e); n++) keys.push_back(e.id);
    EXPECT_EQ(keys, (std::vector<FOURCHARID>{FCID("S001"), FCID("SB00"), FCID("SZZZ")}));
  }
  NVR_ENTRY e = {};
  ASSERT_TRUE(H_NVRAM_bReadFEntry(0, &e));
  EXPECT_EQ(e.id, FCID("CREV"));
  EXPECT_EQ(e.data.u32Val, 7u);
  EXPECT_FALSE(H_NVRAM_bReadFEntry(1, &e));
}

TEST_F(NvramTest, StartUpStates) {
  std::ofstream(file("nvr_entries.dat")) << "data";
  std::ofstream(file("nvr_statbit.dat"));
  EXPECT_EQ(H_NVRAM_eInit(), STATE_VIRGIN);  // an empty bitmap is a virgin unit
  std::ofstream(file("nvr_statbit.dat")) << "1234";
  EXPECT_EQ(H_NVRAM_eInit(), STATE_ACTIVE);

  std::filesystem::remove_all(m_sData);
  EXPECT_EQ(H_NVRAM_eInit(), STATE_VIRGIN);  // the directory is created again
  EXPECT_TRUE(std::filesystem::is_directory(m_sData));
  std::filesystem::remove_all(m_sData);
  std::ofstream(m_sData) << "not a directory";
  EXPECT_EQ(H_NVRAM_eInit(), STATE_HARDWARE_FAILURE);
}

TEST_F(NvramTest, LongDataDirectoryIsRefusedNotOverrun) {
  const std::string sLong = m_sRoot + "/" + std::string(5000, 'd');
  H_NVRAM_vSetDirectoriesForTest(sLong.c_str(), (m_sRoot + "/tmp").c_str());
  EXPECT_EQ(H_NVRAM_eInit(), STATE_HARDWARE_FAILURE);
  const NVR_ENTRY e = entry(FCID("SMDL"), 1);
  EXPECT_FALSE(H_NVRAM_bWriteFCID(&e));
}

TEST_F(NvramTest, EraseNeedsBothGuardCodes) {
  write(FCID("SMDL"), 293);
  H_NVRAM_vFlashWriteBack();
  EXPECT_FALSE(H_NVRAM_bScratchNVR(NVR_SCRATCH_CODE1, 0));
  EXPECT_TRUE(std::filesystem::exists(file("nvr_entries.dat")));
  EXPECT_TRUE(H_NVRAM_bScratchNVR(NVR_SCRATCH_CODE1, NVR_SCRATCH_CODE2));
  EXPECT_FALSE(std::filesystem::exists(file("nvr_entries.dat")));
  EXPECT_FALSE(std::filesystem::exists(file("nvr_statbit.dat")));
  write(FCID("S001"), 5);
  H_NVRAM_vFlashWriteBack();
  EXPECT_EQ(entries().size(), 8u);
  EXPECT_EQ(u32At(statbits(), 0), 2u);
  NVR_ENTRY e = entry(FCID("SMDL"), 0);
  EXPECT_FALSE(H_NVRAM_bGetItemByID(&e));
}

TEST_F(NvramTest, BlocksAppearAtFirstAccess) {
  EXPECT_FALSE(std::filesystem::exists(file("sonar.dat")));
  SONAR_DATA_BLOCK sonar = {};
  EXPECT_FALSE(H_NVRAM_bReadSonarData(&sonar));  // new file: short read
  for (U16 n = 0; n < 254; n++) sonar.data[n] = static_cast<U16>(0x0100 + n);
  EXPECT_TRUE(H_NVRAM_bWriteSonarData(&sonar));
  const auto bytes = readFile(file("sonar.dat"));
  ASSERT_EQ(bytes.size(), 508u);
  EXPECT_EQ(bytes[0], 0x00);
  EXPECT_EQ(bytes[1], 0x01);
  SONAR_DATA_BLOCK back = {};
  EXPECT_TRUE(H_NVRAM_bReadSonarData(&back));
  EXPECT_EQ(0, std::memcmp(&back, &sonar, sizeof sonar));
  PERSONALIZATION_DATA_BLOCK person = {};
  EXPECT_TRUE(H_NVRAM_bWritePersonalizationData(&person));
  EXPECT_EQ(readFile(file("personal.dat")).size(), 252u);
}

TEST_F(NvramTest, VersionCarryOverCopiesOneKeyIntoTheStore) {
  write(FCID("SMDL"), 292);
  H_NVRAM_vVersionChangeFindAndSave(FCID("SMDL"));
  H_NVRAM_vVersionChangeFindAndSave(FCID("SCFO"));  // not stored: nothing
  U32 u32Model = 0;
  EXPECT_TRUE(H_DATABASE_bFetchU32(FCID("SMDL"), &u32Model, nullptr, nullptr));
  EXPECT_EQ(u32Model, 292u);
  EXPECT_FALSE(H_DATABASE_bFetchU32(FCID("SCFO"), nullptr, nullptr, nullptr));
}

}  // namespace
