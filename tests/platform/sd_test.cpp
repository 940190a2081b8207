// Card slots on the simulator's device root: fake sysfs, device entries, mount points linked to slot
// directories. Retries and settling sleep on the test clock.
#include <gmock/gmock.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <string>

#include "kernel/kernel_defs.h"
#include "kernel/sema.h"
#include "platform/host/card_slots.h"
#include "platform/sd.h"
#include "platform_fixture.h"
#include "run_apart.h"

TEST_RUN_APART(CardTest);

namespace {

using testing::HasSubstr;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

class CardTest : public DeviceTest {
 protected:
  // The start-up of the driver: host names, empty slots, the watcher.
  void startDriver() {
    CaptureStdout();
    DD_SD_vInit();
    TEST_vWaitFor(DD_SD_bWatchingForTest);
    m_sStartLog = GetCapturedStdout();
  }
  static BOOLEAN initCard(U32 u32Slot) {
    BOOLEAN bResult = FALSE;
    TEST_vRunAdvancing([&] { bResult = DD_SD_bInitCard(u32Slot); });
    return bResult;
  }
  static BOOLEAN unmount(U32 u32Slot) {
    BOOLEAN bResult = FALSE;
    TEST_vRunAdvancing([&] { bResult = DD_SD_vUmount(u32Slot); });
    return bResult;
  }
  static size_t count(const std::string &sText, const std::string &sWord) {
    size_t n = 0;
    for (size_t at = sText.find(sWord); at != std::string::npos; at = sText.find(sWord, at + 1)) ++n;
    return n;
  }
  std::string m_sStartLog;
};

TEST_F(CardTest, SearchFindsTheCardOfEachHost) {
  startDriver();
  HOST_CARD_vInsert(1, HOST_CARD());
  EXPECT_FALSE(DD_SD_bIsCardPresent(0));
  EXPECT_TRUE(DD_SD_bIsCardPresent(1));
  EXPECT_EQ(DD_SD_nLogicalIdForTest(1), 2);
  EXPECT_FALSE(DD_SD_bIsCardPresent(2));
  HOST_CARD_vRemove(1);
  EXPECT_FALSE(DD_SD_bIsCardPresent(1));
  EXPECT_EQ(FS__MMC_Init(0), -1);
  EXPECT_EQ(FS__MMC_CheckStatus(1), -1);
}

TEST_F(CardTest, MountPrefersPartitionFallsBackToWholeCardAndHonoursWriteProtection) {
  startDriver();
  SKIP_WITHOUT_TEST_CLOCK();
  struct Case {
    bool bPartition;
    bool bWriteProtected;
    const char *pcSource;  // device entry mounted
    const char *pcMode;
    size_t failuresLogged;  // whole-card failures only are logged
  };
  const Case cases[] = {
      {true, false, "dev/mmcblk1p1 ->", " rw ", 0},
      {false, false, "dev/mmcblk1 ->", " rw ", 0},
      {true, true, "dev/mmcblk1p1 ->", " ro ", 0},
      {false, true, "dev/mmcblk1 ->", " ro ", 0},
  };
  size_t mounts = 0;
  for (const Case &c : cases) {
    HOST_CARD card;
    card.bPartition = c.bPartition;
    card.bWriteProtected = c.bWriteProtected;
    HOST_CARD_vInsert(0, card);
    std::ofstream(HOST_CARD_sSlotDir(0) + "/CARD.TXT") << "x";
    CaptureStdout();
    ASSERT_TRUE(initCard(0));
    const std::string sLog = GetCapturedStdout();
    EXPECT_EQ(count(sLog, "mount failed"), c.failuresLogged);
    EXPECT_THAT(sLog, HasSubstr(c.bPartition ? "(partition 1)" : "(whole card)"));
    EXPECT_THAT(sLog, HasSubstr("attempt 3"));
    const std::string sRecord = HOST_CARD_sMountRecord();
    ASSERT_EQ(count(sRecord, "\n"), ++mounts);
    const std::string sLast = sRecord.substr(sRecord.rfind('\n', sRecord.size() - 2) + 1);
    EXPECT_THAT(sLast, HasSubstr(c.pcSource));
    EXPECT_THAT(sLast, HasSubstr(c.pcMode));
    EXPECT_THAT(sLast, HasSubstr("msdos check=r"));
    EXPECT_EQ(DD_SD_bIsHardwareWriteEnabled(0), !c.bWriteProtected);
    EXPECT_EQ(DD_SD_eReadCardType(0), SD_CARD_PRESENT);
    EXPECT_TRUE(std::ifstream(std::string(DD_SD_pcMountPoint(0)) + "/CARD.TXT").good());
    EXPECT_TRUE(unmount(0));
    EXPECT_FALSE(std::ifstream(std::string(DD_SD_pcMountPoint(0)) + "/CARD.TXT").good());
    HOST_CARD_vRemove(0);
  }
}

TEST_F(CardTest, MissingDeviceFailsAfterSixAttemptsLoggingTheWholeCardOnes) {
  startDriver();
  SKIP_WITHOUT_TEST_CLOCK();
  HOST_CARD_vInsert(0, HOST_CARD());
  unlink(devroot("dev/mmcblk1p1").c_str());
  unlink(devroot("dev/mmcblk1").c_str());
  CaptureStdout();
  EXPECT_FALSE(initCard(0));
  const std::string sLog = GetCapturedStdout();
  EXPECT_EQ(count(sLog, "mount failed"), 3u);
  EXPECT_THAT(sLog, HasSubstr("attempt 1"));
  EXPECT_EQ(DD_SD_eReadCardType(0), NO_CARD_PRESENT);
  EXPECT_EQ(HOST_CARD_sMountRecord(), "");
}

// Device roots deep in the file system: every path is formed whole (no cut), and one the system refuses as too
// long is a logged error rather than an empty slot without a word.
TEST_F(CardTest, LongDeviceRootPathsAreFormedWhole) {
  SKIP_WITHOUT_TEST_CLOCK();
  const std::string sDeep = m_sRoot + "/" + std::string(200, 'd') + "/" + std::string(200, 'e') + "/devroot";
  setenv("CORVAN_DEVROOT", sDeep.c_str(), 1);
  startDriver();
  HOST_CARD_vInsert(1, HOST_CARD());
  std::ofstream(HOST_CARD_sSlotDir(1) + "/CARD.TXT") << "x";
  EXPECT_TRUE(DD_SD_bIsCardPresent(1));
  EXPECT_EQ(DD_SD_nLogicalIdForTest(1), 2);
  ASSERT_TRUE(initCard(1));
  EXPECT_EQ(std::string(DD_SD_pcMountPoint(1)), sDeep + "/mnt/mmc1");
  EXPECT_TRUE(std::ifstream(std::string(DD_SD_pcMountPoint(1)) + "/CARD.TXT").good());
  EXPECT_THAT(HOST_CARD_sMountRecord(), HasSubstr(sDeep + "/dev/mmcblk2p1"));
  EXPECT_TRUE(unmount(1));

}

TEST_F(CardTest, ASearchBeyondTheLongestPathTheSystemTakesIsLogged) {
  setenv("CORVAN_DEVROOT", (m_sRoot + "/" + std::string(5000, 'x')).c_str(), 1);
  CaptureStdout();
  EXPECT_FALSE(DD_SD_bIsCardPresent(0));
  EXPECT_THAT(GetCapturedStdout(), HasSubstr("DD_SD: path too long"));
}

TEST_F(CardTest, IdentificationRegisterKeepsItsContentOnBadInput) {
  startDriver();
  SKIP_WITHOUT_TEST_CLOCK();
  const U8 au8Expected[16] = {0x03, 0x53, 0x44, 0x53, 0x55, 0x33, 0x32, 0x47,
                              0x80, 0x3E, 0xDA, 0x2C, 0x2A, 0x00, 0xB7, 0xC1};
  struct Case {
    const char *pcCid;
    const char *pcType;
  };
  // A short, a non-hexadecimal and a lower-case register; the type is only logged.
  const Case cases[] = {
      {"0353445355333247803EDA2C2A00B7C1", "SD"},
      {"0353445355", "MMC"},
      {"zz53445355333247803EDA2C2A00B7C1", "SDIO"},
      {"0353445355333247803eda2c2a00b7c1", "???"},
  };
  for (const Case &c : cases) {
    HOST_CARD card;
    card.pcCid = c.pcCid;
    card.pcType = c.pcType;
    HOST_CARD_vInsert(1, card);
    ASSERT_TRUE(initCard(1)) << c.pcCid;
    U8 au8Cid[16] = {};
    DD_SD_vGetCID(1, au8Cid);
    EXPECT_EQ(std::memcmp(au8Cid, au8Expected, 16), 0) << c.pcCid;
    EXPECT_EQ(DD_SD_eReadCardType(1), SD_CARD_PRESENT);
    unmount(1);
    HOST_CARD_vRemove(1);
  }
}

TEST_F(CardTest, UnmountMarksTheSlotEmptyAndReportsAFileSystemLeftMounted) {
  startDriver();
  SKIP_WITHOUT_TEST_CLOCK();
  struct Case {
    bool bMounted;
    U32 u32Busy;
    BOOLEAN bResult;
    size_t attempts;
  };
  const Case cases[] = {
      {false, 0, TRUE, 1},  // nothing mounted: one failed attempt
      {true, 0, TRUE, 1},
      {true, 2, TRUE, 3},   // busy twice, then unmounted
      {true, 5, FALSE, 5},  // still mounted after five attempts
  };
  HOST_CARD_vInsert(0, HOST_CARD());
  for (const Case &c : cases) {
    HOST_CARD_vHoldBusy(0);
    if (c.bMounted && DD_SD_eReadCardType(0) != SD_CARD_PRESENT) {
      ASSERT_TRUE(initCard(0));
    }
    HOST_CARD_vHoldBusy(c.u32Busy);
    CaptureStdout();
    EXPECT_EQ(unmount(0), c.bResult);
    const std::string sLog = GetCapturedStdout();
    EXPECT_EQ(count(sLog, "umount "), c.attempts) << sLog;
    EXPECT_EQ(count(sLog, "still mounted"), c.bResult ? 0u : 1u);
    EXPECT_EQ(DD_SD_eReadCardType(0), NO_CARD_PRESENT);
    EXPECT_FALSE(DD_SD_bIsHardwareWriteEnabled(0));
  }
}

TEST_F(CardTest, WatcherSignalsOncePerInsertionAndRemovalAfterSettling) {
  SKIP_WITHOUT_TEST_CLOCK();
  startDriver();
  EXPECT_EQ(count(m_sStartLog, "umount "), 2u);  // both slots, nothing mounted: one attempt each
  EXPECT_EQ(DD_SD_eReadCardType(0), NO_CARD_PRESENT);
  EXPECT_EQ(DD_SD_eReadCardType(1), NO_CARD_PRESENT);
  auto signalled = [] { return L_SEMA_GetWaitingTaskID(SEMA_TIMER_MMC) == -5; };
  auto settle = [&](U32 u32Settles) {
    TEST_vWaitFor([&] { return DD_SD_u32SettlesForTest() == u32Settles; });
    PLATFORM_CLOCK_vAdvanceTestClockMs(1999);
    usleep(1000);
    EXPECT_FALSE(signalled());
    PLATFORM_CLOCK_vAdvanceTestClockMs(1);
    TEST_vWaitFor(signalled);
    L_SEMA_SetPending(SEMA_TIMER_MMC);
  };
  CaptureStdout();
  std::ofstream(devroot("dev/mmcblk0")).close();  // the internal device: not a slot
  HOST_CARD_vInsert(0, HOST_CARD());              // mmcblk1 and mmcblk1p1
  settle(1);
  HOST_CARD_vRemove(0);
  settle(2);
  HOST_CARD_vInsert(0, HOST_CARD());
  settle(3);
  std::ofstream(devroot("dev/mmcblk3")).close();  // no slot of ours
  std::ofstream(devroot("dev/mmcblk1boot0")).close();  // same kind as the last event for 1: acted on once
  // A card in the other slot: its events come after all of the above, so nothing else was acted on.
  HOST_CARD_vInsert(1, HOST_CARD());
  settle(4);
  const std::string sLog = GetCapturedStdout();
  EXPECT_EQ(count(sLog, "being inserted"), 3u);
  EXPECT_EQ(count(sLog, "being removed"), 1u);
  EXPECT_EQ(count(sLog, "mmcblk0"), 0u);
  EXPECT_EQ(count(sLog, "mmcblk3"), 0u);
  EXPECT_EQ(count(sLog, "mmcblk1boot0"), 0u);
}

// 1,000 insertions and removals in 30 s: one settle for the burst, the card task told once, 2 s after the last
// event, and nothing queued behind it.
TEST_F(CardTest, AStormOfInsertionsAndRemovalsSettlesOnceAtItsEnd) {
  SKIP_WITHOUT_TEST_CLOCK();
  startDriver();
  auto signalled = [] { return L_SEMA_GetWaitingTaskID(SEMA_TIMER_MMC) == -5; };
  const U32 u32Events = DD_SD_u32EventsForTest();
  const U32 u32Settles = DD_SD_u32SettlesForTest();
  CaptureStdout();
  for (int n = 0; n < 1000; n++) {
    if (n % 2 == 0) {
      HOST_CARD_vInsert(0, HOST_CARD());
    } else {
      HOST_CARD_vRemove(0);
    }
    PLATFORM_CLOCK_vAdvanceTestClockMs(30);
  }
  HOST_CARD_vInsert(0, HOST_CARD());  // the final state: a card
  TEST_vWaitFor([&] { return DD_SD_u32EventsForTest() == u32Events + 1001; });
  GetCapturedStdout();
  EXPECT_EQ(DD_SD_u32SettlesForTest(), u32Settles + 1);
  EXPECT_FALSE(signalled());
  PLATFORM_CLOCK_vAdvanceTestClockMs(3000);
  TEST_vWaitFor(signalled);
  L_SEMA_SetPending(SEMA_TIMER_MMC);
  EXPECT_TRUE(DD_SD_bIsCardPresent(0));
  // Nothing was left queued: no further settle follows.
  for (int n = 0; n < 10; n++) {
    PLATFORM_CLOCK_vAdvanceTestClockMs(1000);
    usleep(2000);
  }
  EXPECT_FALSE(signalled());
  EXPECT_EQ(DD_SD_u32SettlesForTest(), u32Settles + 1);
}

TEST_F(CardTest, WatcherWithoutDeviceDirectoryIsFatal) {
  std::filesystem::create_directories(devroot(""));
  std::ofstream(devroot("dev")).close();  // a file where the directory should be
  EXPECT_EXIT(
      {
        DD_SD_vInit();
        for (;;) pause();
      },
      testing::ExitedWithCode(10), "");
  EXPECT_THAT(fatalLog(), HasSubstr("DD_SD inotify_add_watch fail"));
}

}  // namespace
