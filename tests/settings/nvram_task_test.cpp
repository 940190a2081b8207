// The NVRAM task running on the real kernel services. A "restart" is a fresh process: each boot runs in a
// death-test child that shares the data directory of the test.
#include "settings/nvram_task.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "kernel/error.h"
#include "kernel/log.h"
#include "kernel/mbox.h"
#include "kernel/memory.h"
#include "kernel/reset.h"
#include "kernel/sema.h"
#include "kernel/shutdown.h"
#include "kernel/task.h"
#include "kernel/timer.h"
#include "nvram_task_fixture.h"
#include "run_apart.h"

TEST_RUN_APART(NvramTaskTest);

namespace {

TEST_F(NvramTaskTest, FreshDirectoryGetsVersionAndHeaderItemsBeforeTheMailbox) {
  H_DATABASE_bUpdateValueU32(FCID("SMDL"), 293, P_NORMAL);
  BOOT_OR_SKIP();
  const auto entries = readFile(file("nvr_entries.dat"));
  EXPECT_EQ(entries.size(), 186628u);
  EXPECT_EQ(u32At(entries, 186624), 0xFFFFFFF8u);
  EXPECT_EQ(u32At(entries, 116004), 293u);
  const auto bits = readFile(file("nvr_statbit.dat"));
  EXPECT_EQ(bits.size(), 5836u);
  EXPECT_EQ(u32At(bits, 4 * 906), 1u << 9);
  EXPECT_FALSE(std::filesystem::exists(file("sonar.dat")));
  EXPECT_FALSE(std::filesystem::exists(file("personal.dat")));
  BOOLEAN bUsable = FALSE;
  EXPECT_TRUE(H_DATABASE_bFetchBoolean(FCID("CNVR"), &bUsable, nullptr, nullptr));
  EXPECT_TRUE(bUsable);

  // A default set later is adopted and saved at once; a second adoption does nothing more.
  H_DATABASE_bUpdateValueU32(FCID("CREV"), 0, P_NORMAL);
  send(CMD_ID_WRITE_TO_HEADER, FCID("CREV"));
  send(CMD_ID_WRITE_TO_HEADER, FCID("CREV"));
  barrier();
  EXPECT_EQ(readFile(file("nvr_entries.dat")).size(), 186632u);
  EXPECT_EQ(stored(FCID("CREV")), 0);

  // A header item is saved as soon as it changes; other settings wait for a pass.
  H_DATABASE_bUpdateValueU32(FCID("SMDL"), 292, P_NORMAL);
  H_DATABASE_bUpdateValueU32(kXyz, 5, P_NORMAL);
  barrier();
  EXPECT_EQ(stored(FCID("SMDL")), 292);
  EXPECT_EQ(stored(kXyz), -1);

  // No system state yet: a pass saves nothing. With one, the changed setting is saved.
  savePass();
  EXPECT_EQ(stored(kXyz), -1);
  H_DATABASE_bUpdateValueU32(FCID("CCST"), 3, P_NORMAL);
  saveAndWait(kXyz, 5);

  // Requests: a "C" key is never written; a block round trip is synchronous.
  send(CMD_ID_WRITE_TO_NVR, FCID("CCST"));
  barrier();
  EXPECT_EQ(H_NVRAM_s32SlotOfKey(FCID("CCST")), -1);
  static SONAR_DATA_BLOCK sonar;
  sonar.data[0] = 0xBEEF;
  auto *pMsg = static_cast<MSG_WRITE_SONAR_DATA *>(H_MEMORY_pvMalloc(sizeof(MSG_WRITE_SONAR_DATA)));
  pMsg->Header.Cmd = CMD_ID_WRITE_SONAR_DATA;
  pMsg->pSonarData = &sonar;
  pMsg->bSuccess = FALSE;
  ASSERT_EQ(L_MBOX_SendWait(M_NVRAM, pMsg, NORMAL_PRIORITY, SEMA_PERSONAL_DATA), 0);
  EXPECT_TRUE(pMsg->bSuccess);
  H_MEMORY_vFree(pMsg);
  EXPECT_EQ(readFile(file("sonar.dat")).size(), 508u);
}

TEST_F(NvramTaskTest, PointOfSaleSavesOnlyTheSaveAlwaysKeys) {
  BOOT_OR_SKIP();
  H_DATABASE_bUpdateValueU32(FCID("CCST"), 6, P_NORMAL);
  H_DATABASE_bUpdateValueU32(FCID("STON"), 1, P_NORMAL);
  H_DATABASE_bUpdateValueU32(FCID("SLNG"), 4, P_NORMAL);
  saveAndWait(FCID("SLNG"), 4);
  EXPECT_EQ(stored(FCID("STON")), -1);
  // A factory reset takes the language back from the files.
  H_DATABASE_bUpdateValueU32(FCID("SLNG"), 9, P_NORMAL);
  send(CMD_ID_RESET_POS, 0);
  barrier();
  U32 u32Language = 0;
  H_DATABASE_bFetchU32(FCID("SLNG"), &u32Language, nullptr, nullptr);
  EXPECT_EQ(u32Language, 4u);
}

TEST_F(NvramTaskTest, FormatChangeKeepsOnlyModelAndConfiguration) {
  const auto put = [](const char (&key)[5], U32 u32Value) {
    NVR_ENTRY e = {FCID(key), {}};
    e.data.u32Val = u32Value;
    ASSERT_TRUE(H_NVRAM_bWriteFCID(&e));
  };
  H_NVRAM_eInit();
  put("NVER", 0xFFFFFFF7u);
  put("SMDL", 292);
  put("SCFO", 5);
  put("SXYZ", 1);
  H_NVRAM_vFlashWriteBack();
  H_NVRAM_vSetDirectoriesForTest(m_sData.c_str(), (m_sRoot + "/tmp").c_str());  // files closed as at power-on
  BOOT_OR_SKIP();
  U32 u32Value = 0;
  EXPECT_TRUE(H_DATABASE_bFetchU32(FCID("SMDL"), &u32Value, nullptr, nullptr));
  EXPECT_EQ(u32Value, 292u);
  EXPECT_TRUE(H_DATABASE_bFetchU32(FCID("SCFO"), &u32Value, nullptr, nullptr));
  EXPECT_EQ(u32Value, 5u);
  EXPECT_FALSE(H_DATABASE_bFetchU32(kXyz, nullptr, nullptr, nullptr));
  EXPECT_EQ(stored(FCID("NVER")), 0xFFFFFFF8);
  EXPECT_EQ(stored(FCID("SMDL")), 292);  // re-saved as a header item
  EXPECT_EQ(stored(kXyz), -1);
}

// A changed setting survives a restart only when a save pass ran before the end (a fatal reset runs none).
TEST_F(NvramTaskTest, ChangedSettingSurvivesARestartAfterASavePass) {
  EXPECT_EXIT(
      {
        if (!boot()) _exit(99);
        H_DATABASE_bUpdateValueU32(FCID("CCST"), 3, P_NORMAL);
        H_DATABASE_bUpdateValueU32(kXyz, 5, P_NORMAL);
        saveAndWait(kXyz, 5);
        H_DATABASE_bUpdateValueU32(kXyz, 6, P_NORMAL);  // no pass before the fatal reset
        ERROR_error(__FILE__, __LINE__, "test reset");
        U_RESET_vReset();
      },
      ::testing::ExitedWithCode(10), "");
  expectRestored(5);

  EXPECT_EXIT(
      {
        if (!boot()) _exit(99);
        H_DATABASE_bUpdateValueU32(FCID("CCST"), 3, P_NORMAL);
        H_DATABASE_bUpdateValueU32(kXyz, 7, P_NORMAL);
        U_SHUTDOWN_vShutdown(nullptr);  // returns after the final save
        _exit(0);
      },
      ::testing::ExitedWithCode(0), "");
  expectRestored(7);

  EXPECT_EXIT(
      {
        if (!boot()) _exit(99);
        H_DATABASE_bUpdateValueU32(FCID("CCST"), 3, P_NORMAL);
        H_DATABASE_bUpdateValueU32(kXyz, 9, P_NORMAL);
        log_me("about to be terminated");
        raise(SIGTERM);  // the final save pass, as at a power-down, then status 2
        for (;;) pause();
      },
      ::testing::ExitedWithCode(2), "");
  expectRestored(9);
}

TEST_F(NvramTaskTest, TenMinuteTimerSaves) {
  SKIP_WITHOUT_TEST_CLOCK();
  BOOT_OR_SKIP();
  H_DATABASE_bUpdateValueU32(FCID("CCST"), 3, P_NORMAL);
  H_DATABASE_bUpdateValueU32(kXyz, 8, P_NORMAL);
  advanceMs(NVRAM_SAVE_PERIOD_MS - 1);
  TIMER_vSyncForTest();
  barrier();
  EXPECT_EQ(stored(kXyz), -1);
  advanceMs(1);
  TIMER_vSyncForTest();
  for (int n = 0; n < 10000 && stored(kXyz) != 8; n++) usleep(1000);
  EXPECT_EQ(stored(kXyz), 8);
}

using NvramTaskDeathTest = NvramTaskTest;

TEST_F(NvramTaskDeathTest, PlainFileInPlaceOfTheDataDirectoryIsAHardwareFailure) {
  std::filesystem::remove_all(m_sData);
  std::ofstream(m_sData) << "x";
  EXPECT_EXIT(
      {
        L_TASK_Start(NVRTASK);
        for (;;) pause();
      },
      ::testing::ExitedWithCode(10), "");
}

}  // namespace
