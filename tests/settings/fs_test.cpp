#include "settings/fs.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <set>
#include <string>

#include "settings/sync.h"
#include "platform/clock.h"
#include "settings_fixture.h"

namespace {

class FsTest : public SettingsTest {
 protected:
  void SetUp() override {
    SettingsTest::SetUp();
    m_sDir = m_sRoot + "/list";
    mkdir(m_sDir.c_str(), 0777);
  }
  std::set<std::string> list() {
    std::set<std::string> names;
    CORVAN_DIR *pDir = FS_OpenDir(m_sDir.c_str());
    EXPECT_NE(pDir, nullptr);
    while (CORVAN_DIRENT *pEnt = FS_ReadDir(pDir)) {
      char acName[256];
      FS_DirEnt2Name(pEnt, acName);
      EXPECT_EQ(std::string(pEnt->full_name), m_sDir + "/" + acName);
      U8 u8Attr = 0xAA;
      FS_DirEnt2Attr(pEnt, &u8Attr);
      names.insert(std::string(acName) + (u8Attr == FS_ATTR_DIRECTORY ? "/" : ":" + std::to_string(FS_DirEnt2Size(pEnt))));
    }
    FS_CloseDir(pDir);
    return names;
  }
  std::string m_sDir;
};

TEST_F(FsTest, ListingSkipsDotEntriesAndBadEntries) {
  EXPECT_TRUE(list().empty());
  std::ofstream(m_sDir + "/.hidden") << "abc";
  std::ofstream(m_sDir + "/b.txt") << "12345";
  mkdir((m_sDir + "/sub").c_str(), 0777);
  ASSERT_EQ(symlink("/nonexistent/target", (m_sDir + "/a-dangling").c_str()), 0);
  EXPECT_EQ(list(), (std::set<std::string>{".hidden:3", "b.txt:5", "sub/"}));
  EXPECT_EQ(FS_OpenDir((m_sDir + "/missing").c_str()), nullptr);
  EXPECT_EQ(FS_ReadDir(nullptr), nullptr);
  FS_CloseDir(nullptr);
}

TEST_F(FsTest, AttributesSizesAndEndOfFile) {
  EXPECT_EQ(FS_GetFileAttributes(m_sDir.c_str()), FS_ATTR_DIRECTORY);
  EXPECT_EQ(FS_GetFileAttributes((m_sDir + "/none").c_str()), FS_ATTR_UNKNOWN);
  const std::string sFile = m_sDir + "/f";
  std::ofstream(sFile) << "xyz";
  EXPECT_EQ(FS_GetFileAttributes(sFile.c_str()), 0);
  FILE *pFile = std::fopen(sFile.c_str(), "rb");
  ASSERT_NE(pFile, nullptr);
  EXPECT_EQ(std::fgetc(pFile), 'x');
  EXPECT_EQ(FS_GetFileSize(pFile), 3u);
  EXPECT_EQ(std::fgetc(pFile), 'y');  // the position was kept
  EXPECT_EQ(LS_feof(pFile), 0);
  EXPECT_EQ(std::fgetc(pFile), 'z');
  EXPECT_EQ(LS_feof(pFile), 1);
  EXPECT_EQ(LS_fclose(pFile), 0);
}

TEST_F(FsTest, RemoveReportsRealFailuresOnly) {
  const std::string sFile = m_sDir + "/gone";
  std::ofstream(sFile) << "1";
  EXPECT_EQ(FS_Remove(sFile.c_str()), 0);
  EXPECT_FALSE(std::filesystem::exists(sFile));
  EXPECT_EQ(FS_Remove(sFile.c_str()), 0);  // missing: still a success
  mkdir((m_sDir + "/full").c_str(), 0777);
  std::ofstream(m_sDir + "/full/x") << "1";
  EXPECT_LT(FS_Remove((m_sDir + "/full").c_str()), 0);  // a directory that is not empty
}

TEST_F(FsTest, TenClosesWithinASecondGiveOneSync) {
  SKIP_WITHOUT_TEST_CLOCK();
  LS_sync_vInit();
  const U32 u32Before = LS_u32SyncCount();
  for (int n = 0; n < 10; n++) {
    FILE *pFile = std::fopen((m_sDir + "/f" + std::to_string(n)).c_str(), "w");
    ASSERT_NE(pFile, nullptr);
    LS_fclose(pFile);
    advanceMs(50);
  }
  // Let the thread see the flag: step the clock until the sync happened, then well past its pause.
  for (int n = 0; n < 200 && LS_u32SyncCount() == u32Before; n++) {
    advanceMs(100);
    usleep(2000);
  }
  EXPECT_EQ(LS_u32SyncCount(), u32Before + 1);
  for (int n = 0; n < 100; n++) {
    advanceMs(100);
    usleep(1000);
  }
  EXPECT_EQ(LS_u32SyncCount(), u32Before + 1);
}

}  // namespace
