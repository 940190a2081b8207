// The default waypoint name counter 'SWID': names read as numbers, the largest in use, raising, lowering, and
// its value after the start-up load.
#include <gtest/gtest.h>

#include "nav_fixture.h"
#include "navdata/nav_waypoint_counter.h"
#include "navdata/navdata_load_standin.h"

namespace {

class WaypointCounterTest : public NavStoreTest {
 protected:
  void SetUp() override {
    NavStoreTest::SetUp();
    H_DATABASE_vDeleteEntry(FCID("SWID"));
  }
  void TearDown() override { H_DATABASE_vDeleteEntry(FCID("SWID")); }

  static U32 counter() {
    U32 u32 = 0xDEAD;
    return H_DATABASE_bFetchU32(FCID("SWID"), &u32, nullptr, nullptr) ? u32 : 0xDEAD;
  }
  static void place(U32 nSlot, const char *pcName, U8 u8Status = WP_STATUS_NORMAL) {
    NAV_pWaypointTable()[0][nSlot] = waypoint(pcName, 1, 1);
    NAV_pWaypointTable()[0][nSlot].u8Status = u8Status & 0x3F;
    NAV_pnMaxUsedWaypointIndex()[0] = std::max<S32>(NAV_pnMaxUsedWaypointIndex()[0], static_cast<S32>(nSlot) + 1);
  }
};

TEST_F(WaypointCounterTest, NamesAsNumbers) {
  struct Case {
    const char *pcName;
    S32 nNumber;
  } const aCases[] = {{"WP001", 1},     {"WP0123", 123}, {"WP9999", 9999}, {"WP10000", 1},
                      {"AB12", 1},      {"WP", 1},       {"Dock", -1},     {"WP12A", -1},
                      {"WP0000000042", 42}};
  for (const Case &c : aCases) {
    SCOPED_TRACE(c.pcName);
    char sField[NAV_WAYPOINT_NAME_BYTES] = {};
    std::memcpy(sField, c.pcName, std::min(std::strlen(c.pcName), sizeof sField));
    EXPECT_EQ(NAV_s32DefaultNameNumber(sField), c.nNumber);
  }
}

TEST_F(WaypointCounterTest, LargestInUseRaiseAndLower) {
  EXPECT_EQ(T_NAV_s32GetMaxWayPointCounter(), 0);
  place(0, "WP007");
  place(1, "WP050", WP_STATUS_TEMPORARY);
  place(2, "WP800", WP_STATUS_GROUP_HEADER);
  place(3, "Dock");
  EXPECT_EQ(T_NAV_s32GetMaxWayPointCounter(), 50);
  NAV_pnMaxUsedWaypointIndex()[0] = 1;  // slot 1 lies above the top
  EXPECT_EQ(T_NAV_s32GetMaxWayPointCounter(), 7);
  H_DATABASE_bUpdateValueU32(FCID("SWID"), 60, P_NORMAL);
  EXPECT_EQ(T_NAV_s32GetMaxWayPointCounter(), 60);

  place(4, "WP070");
  T_NAV_vUpdateWaypointCounter(4);
  EXPECT_EQ(counter(), 70u);
  for (U32 nSlot : {0u, 1u, 3u, 3000u}) {  // lower, temporary, no default name, no slot
    T_NAV_vUpdateWaypointCounter(nSlot);
    EXPECT_EQ(counter(), 70u) << nSlot;
  }
  place(5, "WP071", WP_STATUS_MOB);
  T_NAV_vUpdateWaypointCounter(5);
  EXPECT_EQ(counter(), 71u);

  T_NAV_vCancelWaypointCounterIncrease();
  EXPECT_EQ(counter(), 70u);
  H_DATABASE_bUpdateValueU32(FCID("SWID"), 0, P_NORMAL);
  T_NAV_vCancelWaypointCounterIncrease();
  EXPECT_EQ(counter(), 0u);
  H_DATABASE_vDeleteEntry(FCID("SWID"));
  T_NAV_vCancelWaypointCounterIncrease();
  EXPECT_EQ(counter(), 0u);
}

TEST_F(WaypointCounterTest, StartUpLoadSetsTheCounterFromTheWaypoints) {
  H_DATABASE_bUpdateValueU32(FCID("SWID"), 3, P_NORMAL);
  WAYPOINT w = waypoint("WP123", 1, 1);
  T_NAV_NVRAM_vSaveWaypoint(&w, 40, FALSE);
  testing::internal::CaptureStdout();
  T_NAV_vInitTracksWaypointsRoutes();
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(counter(), 123u);
}

}  // namespace
