// Volume figures and the room check through a stand-in for statvfs, and the removal of a card folder.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "card/mmc.h"

namespace {

struct Volume {
  int nResult;
  unsigned long ulBlockSize;
  fsblkcnt_t blocks;
  fsblkcnt_t bfree;
  fsblkcnt_t bavail;
};
Volume s_volume;

int fakeStatvfs(const char *, struct statvfs *pSt) {
  if (s_volume.nResult != 0) return -1;
  *pSt = {};
  pSt->f_bsize = s_volume.ulBlockSize;
  pSt->f_blocks = s_volume.blocks;
  pSt->f_bfree = s_volume.bfree;
  pSt->f_bavail = s_volume.bavail;
  return 0;
}

class CardVolumeTest : public ::testing::Test {
 protected:
  void SetUp() override { T_MMC_vSetStatvfsForTest(fakeStatvfs); }
  void TearDown() override { T_MMC_vSetStatvfsForTest(nullptr); }
};

TEST_F(CardVolumeTest, RoomNeedsOneBlockMoreThanTheRoundedUpSizesOfFreeNotAvailableBlocks) {
  const U32 au32List[] = {1152480, 48032, 0};
  const U32 au32Empty[] = {0};
  struct Case {
    Volume volume;
    const U32 *pu32List;
    BOOLEAN bRoom;
  };
  const Case cases[] = {
      {{0, 4096, 1000, 295, 0}, au32List, TRUE},
      {{0, 4096, 1000, 294, 294}, au32List, FALSE},
      {{0, 512, 5000, 2346, 0}, au32List, TRUE},
      {{0, 512, 5000, 2345, 5000}, au32List, FALSE},
      {{0, 4096, 10, 1, 0}, au32Empty, TRUE},
      {{0, 4096, 10, 0, 0}, au32Empty, FALSE},
      {{0, 0, 10, 10, 10}, au32Empty, FALSE},
      {{-1, 4096, 10, 10, 10}, au32Empty, FALSE},
  };
  for (const Case &c : cases) {
    s_volume = c.volume;
    EXPECT_EQ(T_MMC_bDeviceSpaceCheck(0, c.pu32List), c.bRoom) << c.volume.ulBlockSize << " " << c.volume.bfree;
  }
}

TEST_F(CardVolumeTest, FiguresInBlocksAndKilobytes) {
  struct Case {
    Volume volume;
    BOOLEAN bRaw;
    VOL_INFO raw;
    BOOLEAN bKB;
    VOL_INFO kb;
  };
  const Case cases[] = {
      {{0, 4096, 1000, 300, 10}, TRUE, {4096, 1000, 300}, TRUE, {4096, 4000, 1200}},
      {{0, 512, 1000, 301, 10}, TRUE, {512, 1000, 301}, TRUE, {512, 500, 150}},
      {{0, 0, 1000, 300, 10}, FALSE, {0, 1000, 300}, FALSE, {0, 0, 0}},
      {{-1, 4096, 1000, 300, 10}, FALSE, {0, 0, 0}, FALSE, {0, 0, 0}},
  };
  for (const Case &c : cases) {
    s_volume = c.volume;
    VOL_INFO vi{1, 2, 3};
    EXPECT_EQ(T_MMC_bGetRawVolumeInfoFromDeviceIndex(0, &vi), c.bRaw);
    EXPECT_EQ(vi.u32BytesPerBlock, c.raw.u32BytesPerBlock);
    EXPECT_EQ(vi.u32TotalKB, c.raw.u32TotalKB);
    EXPECT_EQ(vi.u32FreeKB, c.raw.u32FreeKB);
    vi = {1, 2, 3};
    EXPECT_EQ(T_MMC_bGetVolumeInfoFromDeviceName("/x", &vi), c.bKB);
    EXPECT_EQ(vi.u32TotalKB, c.kb.u32TotalKB);
    EXPECT_EQ(vi.u32FreeKB, c.kb.u32FreeKB);
  }
  EXPECT_EQ(T_MMC_vFindMMCSlot(1), 1);
}

TEST(CardFolderTest, RemovesFilesThenTheFolderButNoSubFolder) {
  char acTemplate[] = "/tmp/corvan-rmdir-XXXXXX";
  const std::string sRoot = mkdtemp(acTemplate);
  const std::string sDir = sRoot + "/SNAPSHOT";
  std::filesystem::create_directories(sDir);
  const std::string sLong(200, 'L');
  for (const std::string &sName : {std::string("S00001.PNG"), std::string("S00001.DAT"), sLong, std::string(".keep")}) {
    std::ofstream(sDir + "/" + sName) << "x";
  }
  T_MMC_vRemoveDirectory(sDir.c_str());
  EXPECT_TRUE(std::filesystem::exists(sDir + "/.keep"));  // dot entries are left, so the folder stays
  EXPECT_FALSE(std::filesystem::exists(sDir + "/" + sLong));
  EXPECT_FALSE(std::filesystem::exists(sDir + "/S00001.PNG"));
  std::filesystem::remove(sDir + "/.keep");
  std::filesystem::create_directories(sDir + "/SUB");
  std::ofstream(sDir + "/a") << "x";
  T_MMC_vRemoveDirectory(sDir.c_str());
  EXPECT_TRUE(std::filesystem::exists(sDir + "/SUB"));
  EXPECT_FALSE(std::filesystem::exists(sDir + "/a"));
  std::filesystem::remove(sDir + "/SUB");
  T_MMC_vRemoveDirectory(sDir.c_str());
  EXPECT_FALSE(std::filesystem::exists(sDir));
  std::filesystem::remove_all(sRoot);
}

}  // namespace
