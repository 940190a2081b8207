// The card task on the simulator's slots: mounting at start and on the watcher's signals, removal, the import
// offer, the card flags and the folder choice, each test in its own process on the test clock.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "../platform/platform_fixture.h"
#include "golden.h"
#include "card/mmc.h"
#include "card/mmc_jobs_standin.h"
#include "kernel/mbox.h"
#include "kernel/sema.h"
#include "kernel/memory.h"
#include "kernel/task.h"
#include "kernel/timer.h"
#include "navdata/navdata_card_standin.h"
#include "platform/host/card_slots.h"
#include "platform/sd.h"
#include "run_apart.h"
#include "view/capture.h"

TEST_RUN_APART(CardTaskTest);

namespace {

class CardTaskTest : public DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    if (!m_bTestClock) GTEST_SKIP() << "needs the test clock";
    L_MBOX_DefineSema(M_MMC, SEMA_MBOX_MMC);
    DD_SD_vInit();
    TEST_vWaitFor(DD_SD_bWatchingForTest);
  }
  // Starts the task and lets its first poll (2 ticks after start) run.
  void startTask() {
    ERC erc;
    while ((erc = L_TASK_Start(MMCTASK)) == -lsTASK_START) usleep(200);
    ASSERT_EQ(erc, 0);
    TEST_vWaitFor([] { return T_MMC_bRunningForTest() == TRUE; });
    advanceUntil([] { return T_MMC_u32PollsForTest() >= 1; });
  }
  // Moves the clock in small steps until the condition holds (the watcher settles and the task's waits pass).
  static void advanceUntil(const std::function<bool()> &fnDone) {
    while (!fnDone()) {
      PLATFORM_CLOCK_vAdvanceTestClockMs(20);
      TIMER_vSyncForTest();
      usleep(300);
    }
  }
  static U32 csd(FOURCHARID key) {
    U32 u32 = 0xFFu;
    BOOLEAN bValid = FALSE;
    H_DATABASE_bFetchU32(key, &u32, &bValid, nullptr);
    return u32;
  }
  void putFile(U32 u32Slot, const std::string &sRel) {
    const std::string sPath = HOST_CARD_sSlotDir(u32Slot) + "/" + sRel;
    std::filesystem::create_directories(std::filesystem::path(sPath).parent_path());
    std::ofstream(sPath) << "x";
  }
  void putDir(U32 u32Slot, const std::string &sRel) {
    std::filesystem::create_directories(HOST_CARD_sSlotDir(u32Slot) + "/" + sRel);
  }
  static void sendCommand(CMD_ID cmd) {
    auto *pMsg = static_cast<GENERIC_MESSAGE *>(H_MEMORY_pvCalloc(1, sizeof(GENERIC_MESSAGE)));
    pMsg->Cmd = cmd;
    ASSERT_EQ(L_MBOX_SendWait(M_MMC, pMsg, NORMAL_PRIORITY, SEMA_TEST_PARAMS), 0);
    H_MEMORY_vFree(pMsg);
  }
};

TEST_F(CardTaskTest, CardAtStartIsMountedWithoutImportRemovalAndReinsertionOfferIt) {
  H_DATABASE_bUpdateValueU32(FCID("CCST"), 3, P_NORMAL);
  H_DATABASE_bUpdateValueU32(FCID("INIP"), 0, P_NORMAL);
  HOST_CARD_vInsert(0, HOST_CARD());
  putFile(0, "CORVAN/DATA.QWR");
  startTask();
  EXPECT_EQ(csd(FCID("CSD0")), static_cast<U32>(TRUE));
  EXPECT_EQ(csd(FCID("CSD1")), 0u);
  EXPECT_EQ(std::string(T_MMC_pcMountStepsForTest()), "profile0 update0 movinand0 ");
  EXPECT_TRUE(T_MMC_bThumbnailListStaleForTest());
  EXPECT_EQ(NAVDATA_STANDIN_u32ImportsForTest(), 0u);
  EXPECT_TRUE(T_MMC_bIsCardWriteable(0));
  EXPECT_FALSE(T_MMC_bIsCardWriteable(1));
  EXPECT_FALSE(T_MMC_bIsCardWriteable(-1));

  T_MMC_vResetStepsForTest();
  HOST_CARD_vRemove(0);
  advanceUntil([] { return csd(FCID("CSD0")) == FALSE; });
  EXPECT_TRUE(T_MMC_bThumbnailListStaleForTest());
  void *pv = reinterpret_cast<void *>(1);
  H_DATABASE_bFetchVoidPointer(FCID("CCHA"), &pv, nullptr, nullptr);
  EXPECT_EQ(pv, nullptr);
  EXPECT_FALSE(T_MMC_sCardFlagsForTest(0).bCardPresent);
  const U32 u32Polls = T_MMC_u32PollsForTest();
  advanceUntil([&] { return T_MMC_u32PollsForTest() > u32Polls; });  // the unmount a second later
  EXPECT_EQ(HOST_CARD_sSlotDir(0).empty(), false);

  HOST_CARD_vInsert(0, HOST_CARD());
  advanceUntil([] { return NAVDATA_STANDIN_u32ImportsForTest() == 1; });
  EXPECT_EQ(NAVDATA_STANDIN_nLastImportSlotForTest(), 0);
  advanceUntil([] { return csd(FCID("CSD0")) == TRUE; });
}

TEST_F(CardTaskTest, ImportWhileNavigatingShowsTheRefusalFor10000Ticks) {
  HOST_CARD_vInsert(1, HOST_CARD());
  startTask();
  EXPECT_EQ(csd(FCID("CSD1")), static_cast<U32>(TRUE));
  EXPECT_EQ(std::string(T_MMC_pcMountStepsForTest()), "update1 movinand1 ");  // no 'CCST': no profile
  putFile(1, "CORVAN/route.qx");
  for (const bool bInipMissing : {true, false}) {
    if (!bInipMissing) H_DATABASE_bUpdateValueU32(FCID("INIP"), 2, P_NORMAL);
    HOST_CARD_vRemove(1);
    advanceUntil([] { return csd(FCID("CSD1")) == FALSE; });
    HOST_CARD_vInsert(1, HOST_CARD());
    advanceUntil([] { return csd(FCID("CSD1")) == TRUE; });
    EXPECT_EQ(NAVDATA_STANDIN_u32ImportsForTest(), 0u);
    EXPECT_TRUE(T_MMC_bImportRefusalShownForTest());
    EXPECT_FALSE(T_MMC_bRegisteredForTest());  // no job's report: a recorder's error may still take the box
    // The view task's drawing, by hand: the dialog until 10,000 ticks have passed since the registration.
    TestBitmap screen(800, 480, 0x1234);
    T_MMC_vDrawImportMessage(screen.p(), nullptr);
    vExpectGolden(&screen.bitmap, "import_refused");
    PLATFORM_CLOCK_vAdvanceTestClockMs(9900);
    T_MMC_vDrawImportMessage(screen.p(), nullptr);
    EXPECT_TRUE(T_MMC_bImportRefusalShownForTest());
    PLATFORM_CLOCK_vAdvanceTestClockMs(200);
    T_MMC_vDrawImportMessage(screen.p(), nullptr);
    EXPECT_FALSE(T_MMC_bImportRefusalShownForTest());
  }
}

TEST_F(CardTaskTest, CardThatFailsToMountLeavesTheSlotEmpty) {
  // The card's sysfs entry without its device entries: found, but nothing to mount.
  const std::string sCard = std::string(HOST_CARD_pcHostDir()) + "/mmc1/mmc1:0001";
  std::filesystem::create_directories(sCard + "/block/mmcblk1");
  std::ofstream(sCard + "/cid") << "0353445355333247803EDA2C2A00B7C1\n";
  H_DATABASE_bUpdateValueU32(FCID("CCST"), 3, P_NORMAL);
  startTask();
  const CARD_FLAGS flags = T_MMC_sCardFlagsForTest(0);
  EXPECT_FALSE(flags.bCardPresent);
  EXPECT_FALSE(flags.bWriteEnabled);
  EXPECT_TRUE(flags.bHardwareWP);
  EXPECT_EQ(csd(FCID("CSD0")), 0u);
  EXPECT_EQ(std::string(T_MMC_pcMountStepsForTest()), "");
  EXPECT_FALSE(T_MMC_bThumbnailListStaleForTest());
  const char *const apcList[] = {"SNAPSHOT", nullptr};
  EXPECT_EQ(T_MMC_pcDeviceMakeDirectory(apcList, nullptr), nullptr);
  // The next watcher signal finds it whole.
  HOST_CARD_vInsert(0, HOST_CARD());
  advanceUntil([] { return csd(FCID("CSD0")) == TRUE; });
  EXPECT_TRUE(T_MMC_sCardFlagsForTest(0).bWriteEnabled);
}

TEST_F(CardTaskTest, EmptySlotsStayEmptyAndAfterShutdownInsertionsWait) {
  startTask();
  EXPECT_EQ(csd(FCID("CSD0")), 0u);
  sendCommand(CMD_ID_MMC_CHANGE_STATE);
  sendCommand(CMD_ID_SHUTDOWN);
  EXPECT_FALSE(T_MMC_bRunningForTest());
  const U32 u32Polls = T_MMC_u32PollsForTest();
  const U32 u32Settles = DD_SD_u32EventsForTest();  // read before the insertion, whose event may come at once
  HOST_CARD_vInsert(0, HOST_CARD());
  advanceUntil([&] { return DD_SD_u32EventsForTest() > u32Settles; });
  PLATFORM_CLOCK_vAdvanceTestClockMs(3000);
  sendCommand(CMD_ID_MMC_CHANGE_STATE);  // the task has seen the watcher's signal by now
  EXPECT_EQ(T_MMC_u32PollsForTest(), u32Polls);
  EXPECT_EQ(csd(FCID("CSD0")), 0u);
  // A screen dump is still served: the frozen display is let go.
  while (L_SEMA_GetWaitingTaskID(SEMA_VIEW_RELEASE_BITMAP) == -lsSEMA_DONE) L_SEMA_Wait(SEMA_VIEW_RELEASE_BITMAP);
  auto *pDump = static_cast<MSG_GET_SCREEN_DUMP *>(H_MEMORY_pvCalloc(1, sizeof(MSG_GET_SCREEN_DUMP)));
  pDump->header.Cmd = CMD_ID_SCREEN_DUMP;
  ASSERT_EQ(L_MBOX_SendWait(M_MMC, pDump, NORMAL_PRIORITY, SEMA_TEST_PARAMS), 0);
  H_MEMORY_vFree(pDump);
  EXPECT_EQ(L_SEMA_GetWaitingTaskID(SEMA_VIEW_RELEASE_BITMAP), -lsSEMA_DONE);
}

TEST_F(CardTaskTest, FlagsDecideWhichFolderIsChosen) {
  HOST_CARD card;
  HOST_CARD_vInsert(0, card);
  card.bWriteProtected = true;
  HOST_CARD_vInsert(1, card);
  putDir(1, "SNAPSHOT");
  H_DATABASE_bUpdateValueU32(FCID("CCST"), 3, P_NORMAL);
  startTask();
  const CARD_FLAGS wp = T_MMC_sCardFlagsForTest(1);
  EXPECT_TRUE(wp.bHardwareWP);
  EXPECT_TRUE(wp.bCardPresent);
  EXPECT_FALSE(wp.bWriteEnabled);
  EXPECT_EQ(csd(FCID("CSD1")), static_cast<U32>(TRUE));
  EXPECT_NE(std::string(T_MMC_pcMountStepsForTest()).find("profile1"), std::string::npos);

  const char *const apcBoth[] = {"SNAPSHOT", "IMAGES", nullptr};
  const char *const apcImages[] = {"IMAGES", "SNAPSHOT", nullptr};
  const std::string sMount0 = std::string(HOST_CARD_pcMountDir()) + "/mmc0/";
  // Neither folder on slot 0: created there, never on the read-only card that has one.
  char *pc = T_MMC_pcDeviceMakeDirectory(apcBoth, nullptr);
  ASSERT_NE(pc, nullptr);
  EXPECT_EQ(std::string(pc), sMount0 + "SNAPSHOT");
  H_MEMORY_vFree(pc);
  struct stat st{};
  EXPECT_EQ(stat((HOST_CARD_sSlotDir(0) + "/SNAPSHOT").c_str(), &st), 0);
  const mode_t umaskNow = umask(0);
  umask(umaskNow);
  EXPECT_EQ(st.st_mode & 0777, 0777 & ~umaskNow);  // made with mode 0777
  putDir(0, "IMAGES");
  pc = T_MMC_pcDeviceMakeDirectory(apcBoth, nullptr);
  EXPECT_EQ(std::string(pc), sMount0 + "SNAPSHOT");
  H_MEMORY_vFree(pc);
  std::filesystem::remove(HOST_CARD_sSlotDir(0) + "/SNAPSHOT");
  pc = T_MMC_pcDeviceMakeDirectory(apcBoth, nullptr);
  EXPECT_EQ(std::string(pc), sMount0 + "IMAGES");
  H_MEMORY_vFree(pc);
  pc = T_MMC_pcDeviceMakeDirectory(apcImages, nullptr);
  EXPECT_EQ(std::string(pc), sMount0 + "IMAGES");
  H_MEMORY_vFree(pc);

  // Removed card: its mount point is an empty folder again, and nothing is made in it.
  HOST_CARD_vRemove(0);
  advanceUntil([] { return csd(FCID("CSD0")) == FALSE; });
  EXPECT_EQ(T_MMC_pcDeviceMakeDirectory(apcBoth, nullptr), nullptr);
  EXPECT_NE(stat((sMount0 + "SNAPSHOT").c_str(), &st), 0);
}

// Successive cards in one slot: each card's flags and profile step come from that card alone.
TEST_F(CardTaskTest, EachInsertedCardIsJudgedOnItsOwn) {
  H_DATABASE_bUpdateValueU32(FCID("CCST"), 3, P_NORMAL);
  startTask();
  const struct {
    bool bVendor, bWriteProtected;
    bool bWriteEnabled, bHardwareWP, bDaravazosWP;
    const char *pcSteps;
  } cards[] = {
      {true, false, false, false, true, "update0 movinand0 "},
      {false, true, false, true, true, "profile0 update0 movinand0 "},  // not the vendor card's mark
      {true, true, false, true, true, "update0 movinand0 "},
      {false, false, true, false, false, "profile0 update0 movinand0 "},
      {false, true, false, true, true, "profile0 update0 movinand0 "},
  };
  for (const auto &c : cards) {
    std::filesystem::remove_all(HOST_CARD_sSlotDir(0) + "/DARAVAZO");
    if (c.bVendor) putDir(0, "DARAVAZO");
    T_MMC_vResetStepsForTest();
    HOST_CARD card;
    card.bWriteProtected = c.bWriteProtected;
    HOST_CARD_vInsert(0, card);
    advanceUntil([] { return csd(FCID("CSD0")) == TRUE; });
    const CARD_FLAGS flags = T_MMC_sCardFlagsForTest(0);
    const std::string sCase = std::string(c.bVendor ? "vendor" : "plain") + (c.bWriteProtected ? " ro" : " rw");
    EXPECT_TRUE(flags.bCardPresent) << sCase;
    EXPECT_EQ(flags.bCardDaravazos, c.bVendor) << sCase;
    EXPECT_EQ(flags.bWriteEnabled, c.bWriteEnabled) << sCase;
    EXPECT_EQ(flags.bHardwareWP, c.bHardwareWP) << sCase;
    EXPECT_EQ(flags.bDaravazosWP, c.bDaravazosWP) << sCase;
    EXPECT_EQ(std::string(T_MMC_pcMountStepsForTest()), c.pcSteps) << sCase;
    HOST_CARD_vRemove(0);
    advanceUntil([] { return csd(FCID("CSD0")) == FALSE; });
    EXPECT_EQ(T_MMC_sCardFlagsForTest(0).bCardDaravazos, c.bVendor) << sCase;  // kept over the removal
  }
}

// Slot 0 without room for the sizes: slot 1 takes the folder.
int roomOnSlot1Only(const char *pcPath, struct statvfs *pSt) {
  *pSt = {};
  pSt->f_bsize = 4096;
  pSt->f_blocks = 1000;
  pSt->f_bfree = std::string(pcPath).find("mmc0") != std::string::npos ? 10 : 900;
  return 0;
}

TEST_F(CardTaskTest, SlotWithoutRoomGivesWayToTheOther) {
  HOST_CARD_vInsert(0, HOST_CARD());
  HOST_CARD_vInsert(1, HOST_CARD());
  startTask();
  T_MMC_vSetStatvfsForTest(roomOnSlot1Only);
  const char *const apcList[] = {"RECORD", nullptr};
  const U32 au32Sizes[] = {1152480, 48032, 0};
  char *pc = T_MMC_pcDeviceMakeDirectory(apcList, au32Sizes);
  ASSERT_NE(pc, nullptr);
  EXPECT_EQ(std::string(pc), std::string(HOST_CARD_pcMountDir()) + "/mmc1/RECORD");
  H_MEMORY_vFree(pc);
  EXPECT_TRUE(std::filesystem::is_directory(HOST_CARD_sSlotDir(1) + "/RECORD"));
  EXPECT_FALSE(std::filesystem::exists(HOST_CARD_sSlotDir(0) + "/RECORD"));
  // Without sizes both slots are candidates: the folder that exists wins over creating one on slot 0.
  pc = T_MMC_pcDeviceMakeDirectory(apcList, nullptr);
  ASSERT_NE(pc, nullptr);
  EXPECT_EQ(std::string(pc), std::string(HOST_CARD_pcMountDir()) + "/mmc1/RECORD");
  H_MEMORY_vFree(pc);
  EXPECT_FALSE(std::filesystem::exists(HOST_CARD_sSlotDir(0) + "/RECORD"));
  T_MMC_vSetStatvfsForTest(nullptr);
}

// The card's files vanish while it counts as mounted: nothing is created, the slot's folder least of all.
TEST_F(CardTaskTest, SlotWhoseFolderIsGoneGetsNoFolder) {
  HOST_CARD_vInsert(0, HOST_CARD());
  startTask();
  ASSERT_TRUE(T_MMC_bIsCardWriteable(0));
  const std::string sSlot = HOST_CARD_sSlotDir(0);  // (the helper makes the folder it names)
  std::filesystem::remove_all(sSlot);
  const char *const apcList[] = {"RECORD", nullptr};
  EXPECT_EQ(T_MMC_pcDeviceMakeDirectory(apcList, nullptr), nullptr);
  EXPECT_FALSE(std::filesystem::exists(sSlot));
}

TEST_F(CardTaskTest, VendorCardIsRefusedOnceThenSilently) {
  putDir(0, "DARAVAZO");
  HOST_CARD_vInsert(0, HOST_CARD());
  H_DATABASE_bUpdateValueU32(FCID("CCST"), 3, P_NORMAL);
  startTask();
  EXPECT_EQ(std::string(T_MMC_pcMountStepsForTest()), "update0 movinand0 ");  // no profile on a vendor card
  EXPECT_TRUE(T_MMC_sCardFlagsForTest(0).bCardDaravazos);
  const char *const apcList[] = {"SNAPSHOT", nullptr};
  EXPECT_EQ(T_MMC_pcDeviceMakeDirectory(apcList, nullptr), nullptr);
  EXPECT_EQ(T_MMC_eGetStatus(), DARAVAZOS_WRITE_DISABLE);
  EXPECT_TRUE(T_MMC_bRegisteredForTest());
  EXPECT_TRUE(T_MMC_sCardFlagsForTest(0).bQuestionAsked);
  EXPECT_EQ(T_MMC_pcDeviceMakeDirectory(apcList, nullptr), nullptr);
  EXPECT_EQ(T_MMC_eGetStatus(), SUCCESS);  // no word the second time
  struct stat st{};
  EXPECT_NE(stat((HOST_CARD_sSlotDir(0) + "/SNAPSHOT").c_str(), &st), 0);
  // Inserted again: refused once more, aloud.
  HOST_CARD_vRemove(0);
  advanceUntil([] { return csd(FCID("CSD0")) == FALSE; });
  HOST_CARD_vInsert(0, HOST_CARD());
  advanceUntil([] { return csd(FCID("CSD0")) == TRUE; });
  while (L_SEMA_GetWaitingTaskID(SEMA_KEYCLICK_BAD) == -lsSEMA_DONE) L_SEMA_Wait(SEMA_KEYCLICK_BAD);
  EXPECT_EQ(T_MMC_pcDeviceMakeDirectory(apcList, nullptr), nullptr);
  EXPECT_EQ(T_MMC_eGetStatus(), DARAVAZOS_WRITE_DISABLE);
  EXPECT_EQ(L_SEMA_GetWaitingTaskID(SEMA_KEYCLICK_BAD), -lsSEMA_DONE);
  EXPECT_NE(stat((HOST_CARD_sSlotDir(0) + "/SNAPSHOT").c_str(), &st), 0);
}

class CardTaskDeathTest : public DeviceTest {};

TEST_F(CardTaskDeathTest, SecondOwnerOfTheMailboxKeyResetsTheUnit) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  H_DATABASE_bUpdateEverythingU32(FCID("TMMC"), 7, P_HIGHEST, D_MAILBOX, nullptr, DB_NO_TIMEOUT);
  EXPECT_EXIT(T_MMC_vMain(), ::testing::ExitedWithCode(10), "");
  EXPECT_NE(fatalLog().find("Somebody else registered the MMC Task Maibox"), std::string::npos);
}

}  // namespace
