// The NMEA task's AIS pool: filing in MMSI order, merging, ageing on 'IDTM', removal reports to the data
// manager, the full pool, the query functions and the ship-type texts.
#include <gtest/gtest.h>

#include <cstring>

#include "ais_test_util.h"
#include "kernel/kernel_defs.h"
#include "kernel/mutex.h"
#include "navmgr/navmgr_standin.h"
#include "nmea/ais/ais_nmea.h"
#include "nmea/ais/ais_pool.h"

namespace {

class AisPoolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    H_DATABASE_vInit();
    T_NMEA_vAisInitPool();
    NAVMGR_STANDIN_vTakeDeletedTargets();
  }
  void TearDown() override { T_NMEA_vAisInitPool(); }
  static void setTime(U32 u32Now) {
    H_DATABASE_bUpdateEverythingU32(FCID("IDTM"), u32Now, P_NORMAL, D_DATETIME, nullptr, DB_NO_TIMEOUT);
  }
  // One sentence through the receive path's hand-off.
  static void receive(const std::string &sSentence, U32 u32Time) {
    L_MUTEX_LockWait(RES_AIS_DATA);
    T_NMEA_vDecodeVDM(sSentence.c_str(), u32Time);
    L_MUTEX_Unlock(RES_AIS_DATA);
  }
  static void position(U32 nMMSI, U32 u32Time, unsigned nSog = 100) {
    AisPosition p;
    p.nMMSI = nMMSI;
    p.nSog = nSog;
    receive(aisSingle(aisClassA(p)), u32Time);
  }
  static ais_DeviceInfo *slot(S32 nIndex) {
    ais_DeviceInfo *p = nullptr;
    EXPECT_TRUE(T_NMEA_bScanAisPoints(nIndex, &p)) << nIndex;
    return p;
  }
  // The navigation task's once-a-second walk.
  static void ageAll() {
    L_MUTEX_LockWait(RES_AIS_DATA);
    for (S32 i = 0; i < static_cast<S32>(T_NMEA_u32GetAisNumOfTargets());) {
      if (!T_NMEA_bAisCheckTimeout(slot(i), i)) ++i;
    }
    L_MUTEX_Unlock(RES_AIS_DATA);
  }
};

TEST_F(AisPoolTest, EmptyPoolAnswersNothing) {
  ais_DeviceInfo *p = reinterpret_cast<ais_DeviceInfo *>(0x1);
  EXPECT_FALSE(T_NMEA_bScanAisPoints(0, &p));
  EXPECT_FALSE(T_NMEA_bScanAisPoints(-1, &p));
  EXPECT_EQ(p, reinterpret_cast<ais_DeviceInfo *>(0x1));
  EXPECT_EQ(T_NMEA_s32GetAisIndex(244000001), -1);
  EXPECT_EQ(T_NMEA_u32GetAisNumOfTargets(), 0u);
}

TEST_F(AisPoolTest, TargetsSitInMmsiOrderAndLaterMessagesMerge) {
  position(300000003, 10);
  position(300000002, 11);
  position(300000001, 12);
  ASSERT_EQ(T_NMEA_u32GetAisNumOfTargets(), 3u);
  for (S32 i = 0; i < 3; ++i) {
    EXPECT_EQ(slot(i)->aisInfo.MMSI, 300000001u + i);
    EXPECT_TRUE(slot(i)->aisInfo.validTarget);
    EXPECT_EQ(slot(i)->ReceiveLastTime, 12 - i);
  }
  position(300000002, 20, 250);
  EXPECT_EQ(T_NMEA_u32GetAisNumOfTargets(), 3u);
  EXPECT_NEAR(slot(1)->aisInfo.Sog, 25.0, 1e-9);
  EXPECT_EQ(slot(1)->ReceiveLastTime, 20);
  EXPECT_EQ(T_NMEA_s32GetAisIndex(300000002), 1);
  // Unsigned order: the largest 30-bit MMSI goes last, a seven-digit one first.
  position(999999999, 21);
  position(2091234, 22);
  EXPECT_EQ(slot(0)->aisInfo.MMSI, 2091234u);
  EXPECT_EQ(slot(4)->aisInfo.MMSI, 999999999u);
}

TEST_F(AisPoolTest, TwoSentenceMessageFilesOnItsSecondSentence) {
  const std::vector<std::string> as = aisParts(aisStatic(AisStatic()), 60);
  receive(as[0], 5);
  EXPECT_EQ(T_NMEA_u32GetAisNumOfTargets(), 0u);
  receive(as[1], 5);
  ASSERT_EQ(T_NMEA_u32GetAisNumOfTargets(), 1u);
  EXPECT_STREQ(reinterpret_cast<const char *>(slot(0)->aisInfo.Name), "NORDIC STAR");
  EXPECT_FALSE(slot(0)->aisInfo.validityFlag[SHIPPOS_FLAG_INDEX]);
  // A refused sentence leaves the pool as it was.
  receive("AIVDM,1,1,,C," + aisClassA(AisPosition()).payload() + ",0", 6);
  EXPECT_EQ(T_NMEA_u32GetAisNumOfTargets(), 1u);
}

TEST_F(AisPoolTest, TargetsAgeOnIdtmAndTheDataManagerLearnsOfTheRemovalAtTheTick) {
  position(244000001, 1000);
  struct Step {
    U32 u32Now;
    U32 u32Left;
  } aSteps[] = {{1000, 1}, {1959, 1}, {1959, 1}, {1960, 0}};
  for (const Step &s : aSteps) {
    setTime(s.u32Now);
    ageAll();
    EXPECT_EQ(T_NMEA_u32GetAisNumOfTargets(), s.u32Left) << s.u32Now;
  }
  // Reported by the NMEA task's tick, not while the pool was locked.
  EXPECT_TRUE(NAVMGR_STANDIN_vTakeDeletedTargets().empty());
  T_NMEA_vAisReportRemovedTargets();
  EXPECT_EQ(NAVMGR_STANDIN_vTakeDeletedTargets(), (std::vector<std::pair<U32, U32>>{{244000001, 0}}));
}

TEST_F(AisPoolTest, ClockSteppedBackRestartsTheAgeInsteadOfRemovingEverything) {
  position(244000001, 1000);
  position(244000002, 1000);
  setTime(500);
  ageAll();
  EXPECT_EQ(T_NMEA_u32GetAisNumOfTargets(), 2u);
  EXPECT_EQ(slot(0)->ReceiveLastTime, 500);
  setTime(1459);
  ageAll();
  EXPECT_EQ(T_NMEA_u32GetAisNumOfTargets(), 2u);
  setTime(1460);
  ageAll();
  EXPECT_EQ(T_NMEA_u32GetAisNumOfTargets(), 0u);
  T_NMEA_vAisReportRemovedTargets();
  // Each removal tested the same index again.
  EXPECT_EQ(NAVMGR_STANDIN_vTakeDeletedTargets(), (std::vector<std::pair<U32, U32>>{{244000001, 0}, {244000002, 0}}));
}

TEST_F(AisPoolTest, RemovalMovesTargetsWithTheirTimesAndAlarmFlags) {
  position(300000001, 10);
  position(300000002, 20);
  position(300000003, 30);
  slot(1)->bAisAlarmActive = TRUE;
  slot(1)->bAisAlarmCleared = TRUE;
  std::strcpy(slot(0)->sAlarmString, "scratch");
  L_MUTEX_LockWait(RES_AIS_DATA);
  setTime(1000);
  EXPECT_TRUE(T_NMEA_bAisCheckTimeout(slot(0), 0));
  L_MUTEX_Unlock(RES_AIS_DATA);
  ASSERT_EQ(T_NMEA_u32GetAisNumOfTargets(), 2u);
  EXPECT_EQ(slot(0)->aisInfo.MMSI, 300000002u);
  EXPECT_EQ(slot(0)->ReceiveLastTime, 20);
  EXPECT_TRUE(slot(0)->bAisAlarmActive);
  EXPECT_TRUE(slot(0)->bAisAlarmCleared);
  EXPECT_STREQ(slot(0)->sAlarmString, "scratch");  // scratch text stays with the slot
  EXPECT_EQ(slot(1)->aisInfo.MMSI, 300000003u);
  EXPECT_FALSE(slot(1)->bAisAlarmActive);
  ais_DeviceInfo *p = nullptr;
  EXPECT_FALSE(T_NMEA_bScanAisPoints(2, &p));
}

TEST_F(AisPoolTest, FullPoolGivesTheTargetHeardLongestAgoAway) {
  for (U32 i = 0; i < AIS_MAX_TARGETS; ++i) position(200000000 + 1000 * i, 100 + (i == 75 ? 0 : 1 + i));
  ASSERT_EQ(T_NMEA_u32GetAisNumOfTargets(), AIS_MAX_TARGETS);
  position(200000500, 400);
  EXPECT_EQ(T_NMEA_u32GetAisNumOfTargets(), AIS_MAX_TARGETS);
  EXPECT_EQ(T_NMEA_s32GetAisIndex(200075000), -1);
  EXPECT_EQ(T_NMEA_s32GetAisIndex(200000500), 1);
  for (S32 i = 1; i < static_cast<S32>(AIS_MAX_TARGETS); ++i) EXPECT_LT(slot(i - 1)->aisInfo.MMSI, slot(i)->aisInfo.MMSI);
  T_NMEA_vAisReportRemovedTargets();
  EXPECT_EQ(NAVMGR_STANDIN_vTakeDeletedTargets(), (std::vector<std::pair<U32, U32>>{{200075000, 75}}));
}

TEST(AisPoolFunctions, InitCopyAndResetKeepTheirContracts) {
  static AISPOOL pool, copy;
  std::memset(&pool, 0x5A, sizeof(pool));
  EXPECT_EQ(ais_InitStruct(&pool), AIS_SUCCESS);
  EXPECT_EQ(pool.NumOfTargets, 0u);
  for (const ais_DeviceInfo &s : pool.TargetStruct) {
    EXPECT_EQ(s.aisInfo.NavStatus, NAV_STATUS_NOT_DEFINED);
    EXPECT_EQ(s.aisInfo.PosAccuracy, LOWER_TEN_METERS);
    EXPECT_FALSE(s.aisInfo.validTarget);
    EXPECT_EQ(s.ReceiveLastTime, 0);
    EXPECT_FALSE(s.bAisAlarmActive);
    for (BOOL b : s.aisInfo.validityFlag) EXPECT_FALSE(b);
  }
  aisTargetINFO source = {}, dest = {};
  source.MMSI = 7;
  dest.MMSI = 9;
  dest.validTarget = TRUE;
  EXPECT_EQ(ais_CopyTarget(&dest, &source), AIS_SUCCESS);
  EXPECT_FALSE(dest.validTarget);
  EXPECT_EQ(dest.MMSI, 9u);
  source.validTarget = TRUE;
  std::strcpy(reinterpret_cast<char *>(source.Name), "X");
  ais_CopyTarget(&dest, &source);
  EXPECT_TRUE(dest.validTarget);
  EXPECT_EQ(dest.MMSI, 7u);
  EXPECT_STREQ(reinterpret_cast<const char *>(dest.Name), "X");
  pool.NumOfTargets = 1;
  pool.TargetStruct[0].aisInfo = source;
  EXPECT_EQ(ais_CopyData(&pool, &copy), AIS_SUCCESS);
  EXPECT_EQ(copy.NumOfTargets, 1u);
  EXPECT_EQ(copy.TargetStruct[0].aisInfo.MMSI, 7u);
  EXPECT_EQ(ais_ResetABM(&copy, nullptr, nullptr, nullptr), AIS_SUCCESS);
  EXPECT_EQ(copy.NumOfTargets, 0u);
}

TEST(AisShipType, TextsOfTheTypeCodes) {
  struct Case {
    ULONG nType;
    const char *pcText;
  } aCases[] = {{37, "Passenger"}, {51, " "},         {95, "Unknown"},  {0, " "},           {19, " "},
                {20, "Wing in ground"}, {35, "Millitary"}, {59, "RR resolution N18"}, {65, "Passenger"},
                {54, "Vessel with antipollution"}, {100, " "}, {30, "Fishing"}, {89, "Tanker"}};
  for (const Case &c : aCases) {
    char acText[32] = "garbage";
    T_NMEA_vGetShipTypeStr(c.nType, 0, acText);
    EXPECT_STREQ(acText, c.pcText) << c.nType;
  }
  char acText[32];
  T_NMEA_vGetShipTypeStr(30, 99, acText);  // a language out of range reads English
  EXPECT_STREQ(acText, "Fishing");
}

}  // namespace
