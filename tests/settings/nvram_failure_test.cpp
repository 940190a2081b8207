// A data directory that cannot be written: the unit runs from what it holds, failed values stay marked and
// are written once space returns, and every failure is logged. The medium is a seam of the file calls.
#include <fcntl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "kernel/shutdown.h"
#include "nvram_task_fixture.h"

namespace {

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

std::atomic<bool> s_bReadOnly{false};
std::atomic<bool> s_bFull{false};
std::atomic<int> s_nFailSyncs{0};
std::atomic<off_t> s_watchOffset{-1};
std::atomic<int> s_nWatchWrites{0};

const NVRAM_FILE_OPS kMedium = {
    .open = [](const char *pcPath, int nFlags, mode_t mode) {
      if (s_bReadOnly && (nFlags & O_ACCMODE) != O_RDONLY) {
        errno = EROFS;
        return -1;
      }
      return ::open(pcPath, nFlags, mode);
    },
    .pread = ::pread,
    .pwrite = [](int fd, const void *pv, size_t size, off_t offset) -> ssize_t {
      if (s_bFull) {
        errno = ENOSPC;
        return -1;
      }
      if (offset == s_watchOffset) s_nWatchWrites++;
      return ::pwrite(fd, pv, size, offset);
    },
    .fsync = [](int fd) {
      if (s_nFailSyncs > 0) {  // the data stays in the cache, the medium did not take it
        s_nFailSyncs--;
        errno = EIO;
        return -1;
      }
      return ::fsync(fd);
    },
};

class MediumTest : public NvramTaskTest {
 protected:
  void SetUp() override {
    NvramTaskTest::SetUp();
    H_NVRAM_vSetFileOpsForTest(&kMedium);
  }
  void TearDown() override {
    H_NVRAM_vSetFileOpsForTest(nullptr);
    s_bReadOnly = false;
    s_bFull = false;
    NvramTaskTest::TearDown();
  }
  static size_t count(const std::string &sText, const std::string &sPart) {
    size_t n = 0;
    for (size_t at = sText.find(sPart); at != std::string::npos; at = sText.find(sPart, at + 1)) n++;
    return n;
  }
  static void save() { savePass(); }
};

TEST_F(MediumTest, ReadOnlyDirectoryRunsWithTheStoredSettingsAndSaysChangesAreNotKept) {
  H_NVRAM_eInit();
  for (const auto &[id, u32Value] : {std::pair{FCID("NVER"), NVR_VERSION}, {FCID("SMDL"), 292u}, {kXyz, 1u}}) {
    NVR_ENTRY e = {id, {}};
    e.data.u32Val = u32Value;
    ASSERT_TRUE(H_NVRAM_bWriteFCID(&e));
  }
  ASSERT_TRUE(H_NVRAM_bFlashWriteBack());
  H_NVRAM_vSetDirectoriesForTest(m_sData.c_str(), (m_sRoot + "/tmp").c_str());
  const auto entriesBefore = readFile(file("nvr_entries.dat"));
  const auto bitsBefore = readFile(file("nvr_statbit.dat"));
  s_bReadOnly = true;

  H_DATABASE_bUpdateValueU32(FCID("CREV"), 0, P_NORMAL);  // a header item the files lack: saved at once
  CaptureStdout();
  if (!boot()) {
    GetCapturedStdout();
    GTEST_SKIP() << "the NVRAM task already ran in this process";
  }
  U32 u32Value = 0;
  EXPECT_TRUE(H_DATABASE_bFetchU32(kXyz, &u32Value, nullptr, nullptr));
  EXPECT_EQ(u32Value, 1u);
  EXPECT_TRUE(H_DATABASE_bFetchU32(FCID("SMDL"), &u32Value, nullptr, nullptr));
  EXPECT_EQ(u32Value, 292u);
  H_DATABASE_bUpdateValueU32(FCID("CCST"), 3, P_NORMAL);
  H_DATABASE_bUpdateValueU32(kXyz, 2, P_NORMAL);
  save();
  save();
  const std::string sLog = GetCapturedStdout();
  EXPECT_EQ(count(sLog, "setting changes will not be kept"), 1u) << sLog;
  EXPECT_NE(sLog.find("saving settings: nvr_entries.dat: Read-only file system"), std::string::npos) << sLog;
  EXPECT_EQ(readFile(file("nvr_entries.dat")), entriesBefore);
  EXPECT_EQ(readFile(file("nvr_statbit.dat")), bitsBefore);
  EXPECT_TRUE(fatalLog().empty());
}

// A fresh unit on a medium that takes nothing: it starts from the defaults, without a fatal error.
class FreshMediumTest : public MediumTest, public ::testing::WithParamInterface<std::atomic<bool> *> {};

TEST_P(FreshMediumTest, StartsFromTheDefaults) {
  *GetParam() = true;
  H_DATABASE_bUpdateValueU32(FCID("SMDL"), 293, P_NORMAL);
  CaptureStdout();
  if (!boot()) {
    GetCapturedStdout();
    GTEST_SKIP() << "the NVRAM task already ran in this process";
  }
  H_DATABASE_bUpdateValueU32(FCID("CCST"), 3, P_NORMAL);
  save();
  const std::string sLog = GetCapturedStdout();
  if (GetParam() == &s_bReadOnly) {
    EXPECT_EQ(count(sLog, "setting changes will not be kept"), 1u) << sLog;
  }
  EXPECT_NE(sLog.find("format version: nvr_entries.dat: "), std::string::npos) << sLog;
  EXPECT_EQ(stored(FCID("SMDL")), -1);
  EXPECT_TRUE(fatalLog().empty());
}

INSTANTIATE_TEST_SUITE_P(Media, FreshMediumTest, ::testing::Values(&s_bReadOnly, &s_bFull),
                         [](const auto &info) { return std::string(info.param == &s_bFull ? "Full" : "ReadOnly"); });

TEST_F(MediumTest, FullDiskKeepsFailedValuesForTheNextPassAndTheFinalSaveCountsThem) {
  BOOT_OR_SKIP();
  H_DATABASE_bUpdateValueU32(FCID("CCST"), 3, P_NORMAL);
  const FOURCHARID keys[] = {kXyz, FCID("SXYA"), FCID("SXYB")};
  s_bFull = true;
  for (U32 n = 0; n < 3; n++) H_DATABASE_bUpdateValueU32(keys[n], 5 + n, P_NORMAL);
  CaptureStdout();
  save();
  std::string sLog = GetCapturedStdout();
  EXPECT_NE(sLog.find("saving settings: nvr_entries.dat: No space left on device"), std::string::npos) << sLog;
  EXPECT_NE(sLog.find("3 settings not written, kept for the next pass"), std::string::npos) << sLog;
  for (FOURCHARID id : keys) EXPECT_EQ(stored(id), -1);

  // Space returns: the first pass writes them all.
  s_bFull = false;
  save();
  for (U32 n = 0; n < 3; n++) EXPECT_EQ(stored(keys[n]), 5 + n);

  // A sync that fails leaves the value in the cache only: the next pass writes it again, though the file
  // seems to hold it.
  H_DATABASE_bUpdateValueU32(kXyz, 8, P_NORMAL);
  s_watchOffset = 4 * static_cast<off_t>(H_NVRAM_s32SlotOfKey(kXyz));
  s_nFailSyncs = 1;
  CaptureStdout();
  save();
  sLog = GetCapturedStdout();
  EXPECT_NE(sLog.find("saving settings: nvr_entries.dat: Input/output error"), std::string::npos) << sLog;
  EXPECT_EQ(s_nWatchWrites.load(), 1);
  save();
  EXPECT_EQ(s_nWatchWrites.load(), 2);
  save();
  EXPECT_EQ(s_nWatchWrites.load(), 2);  // written and synced: no longer marked
  EXPECT_EQ(stored(kXyz), 8);

  // The final save at power-down tries twice and says how many values are lost.
  s_bFull = true;
  H_DATABASE_bUpdateValueU32(kXyz, 9, P_NORMAL);
  H_DATABASE_bUpdateValueU32(FCID("SXYA"), 9, P_NORMAL);
  CaptureStdout();
  U_SHUTDOWN_vShutdown(nullptr);
  sLog = GetCapturedStdout();
  EXPECT_EQ(count(sLog, "2 settings not written, kept for the next pass"), 2u) << sLog;
  EXPECT_NE(sLog.find("final save: 2 settings could not be written"), std::string::npos) << sLog;
  EXPECT_TRUE(fatalLog().empty());
}

}  // namespace
