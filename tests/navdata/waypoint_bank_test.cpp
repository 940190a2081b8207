// The own bank's counts, the hash pass and the search for an equal waypoint.
#include <gtest/gtest.h>

#include "nav_fixture.h"
#include "navdata/nav_hash.h"
#include "navdata/nav_waypoint_bank.h"

namespace {

class WaypointBankTest : public NavStoreTest {
 protected:
  static WAYPOINT &put(U32 nBank, U32 nSlot, U8 u8Status, bool bLocked = false, const char *pcName = "W") {
    WAYPOINT &w = NAV_pWaypointTable()[nBank][nSlot];
    w = waypoint(pcName, static_cast<S32>(nSlot), 7);
    w.u8Status = u8Status & 0x3F;
    w.bWpNotShared = bLocked ? 1 : 0;
    return w;
  }
};

TEST_F(WaypointBankTest, CountsOverTheBanks) {
  EXPECT_FALSE(T_NAV_bWaypointsExist());
  put(0, 0, WP_STATUS_NORMAL);
  put(0, 1, WP_STATUS_TEMPORARY);
  put(0, 2, WP_STATUS_MOB, true);
  put(0, 3, WP_STATUS_GROUP_HEADER);
  put(0, 2998, WP_STATUS_NORMAL, true);
  put(2, 5, WP_STATUS_NORMAL);
  put(3, 2999, WP_STATUS_MOB);
  S16 nShared = 0, nLocked = 0, nFree = 0;
  T_NAV_vGetWaypointStatus(&nShared, &nLocked, &nFree);
  EXPECT_EQ(nShared, 2);  // the temporary one included
  EXPECT_EQ(nLocked, 2);
  EXPECT_EQ(nFree, 2995);
  EXPECT_EQ(T_NAV_TWR_nGetWaypointCount(), 5);  // status 1 and 3 only, every bank
  EXPECT_TRUE(T_NAV_bWaypointsExist());
  NAV_vClearTables();
  put(1, 9, WP_STATUS_TEMPORARY);
  EXPECT_TRUE(T_NAV_bWaypointsExist());
  EXPECT_EQ(T_NAV_TWR_nGetWaypointCount(), 0);
}

TEST_F(WaypointBankTest, HashPassSetsHashesTopAndCounters) {
  T_NAV_TWR_vHashWaypoints();
  EXPECT_EQ(T_NAV_TWR_nGetMaxUsedWaypointIndex(0), 1);  // an empty own bank
  EXPECT_EQ(NAV_pnWaypointsUsed()[0], 0);

  put(0, 0, WP_STATUS_NORMAL);
  put(0, 1, WP_STATUS_TEMPORARY);
  put(0, 2, WP_STATUS_TEMPORARY, true);
  put(0, 7, WP_STATUS_MOB, true);
  put(0, 9, WP_STATUS_GROUP_BODY);
  NAV_pDerivedTables()->au16WaypointHash[5] = 0x5555;  // a stale hash of a free slot
  T_NAV_TWR_vHashWaypoints();
  EXPECT_EQ(T_NAV_TWR_nGetMaxUsedWaypointIndex(0), 8);  // the group slot leaves the top alone
  EXPECT_EQ(NAV_pnWaypointsUsed()[0], 4);
  EXPECT_EQ(NAV_pOwnBankState()->nNumberSharedWaypoints, 1);
  EXPECT_EQ(NAV_pOwnBankState()->nNumberLockedWaypoints, 2);
  const U16 *pu16Hash = T_NAV_TWR_pu16GetWaypointsHash();
  EXPECT_EQ(pu16Hash[7], T_NAV_TWR_u16HashWaypoint(T_NAV_pGetWaypoint(7)));
  EXPECT_EQ(pu16Hash[5], 0);
  EXPECT_EQ(pu16Hash[9], 0);
}

TEST_F(WaypointBankTest, FindsAnEqualWaypoint) {
  put(0, 3, WP_STATUS_NORMAL, false, "Three");
  WAYPOINT &copy = put(0, 8, WP_STATUS_NORMAL, false, "Eight");
  copy.pt.x = 3;
  T_NAV_TWR_vHashWaypoints();
  WAYPOINT sought = *T_NAV_pGetWaypoint(8);
  EXPECT_EQ(T_NAV_TWR_u16FindWaypoint(&sought), 8);
  EXPECT_EQ(T_NAV_TWR_u16FindWaypointEX(nullptr, &sought), 8);
  sought.bWpNotShared = 1;  // a different hash
  EXPECT_EQ(T_NAV_TWR_u16FindWaypoint(&sought), NAV_LINK_NONE);
  sought = *T_NAV_pGetWaypoint(8);
  sought.u16Depth += 1;
  EXPECT_EQ(T_NAV_TWR_u16FindWaypoint(&sought), NAV_LINK_NONE);

  // In a data space: field by field, stored waypoints below its count only.
  WAYPOINT aSpace[4] = {};
  aSpace[1] = *T_NAV_pGetWaypoint(3);
  aSpace[1].u8Status = WP_STATUS_TEMPORARY;
  aSpace[2] = *T_NAV_pGetWaypoint(3);
  aSpace[2].bWpNotShared = 1;
  aSpace[3] = *T_NAV_pGetWaypoint(3);
  NAV_DATA_SPACE space{};
  space.pWaypoint = aSpace;
  space.nWaypointCount = 3;
  EXPECT_EQ(T_NAV_TWR_u16FindWaypointEX(&space, T_NAV_pGetWaypoint(3)), 2);
  aSpace[2].u8Status = WP_STATUS_FREE;
  EXPECT_EQ(T_NAV_TWR_u16FindWaypointEX(&space, T_NAV_pGetWaypoint(3)), NAV_LINK_NONE);
}

TEST_F(WaypointBankTest, CopiesOfAnyBank) {
  WAYPOINT &w = put(2, 5, WP_STATUS_NORMAL, false, "ABCDEFGHIJKL");  // a full name field
  w.u8Icon = 9;
  WAYPOINT copy{};
  T_NAV_vCopyWaypoint(0x2005, &copy);
  EXPECT_EQ(std::memcmp(&copy, &w, sizeof copy), 0);
  POINT pt{};
  T_NAV_vCopyWaypointPoint(0x2005, &pt);
  EXPECT_EQ(pt.x, 5);
  EXPECT_EQ(pt.y, 7);
  EXPECT_EQ(T_NAV_u8GetWaypointIcon(0x2005), 9);
  struct Case {
    U32 nLimit;
    const char *pcName;
  } const aCases[] = {{4, "ABC"}, {12, "ABCDEFGHIJK"}, {13, "ABCDEFGHIJKL"}, {20, "ABCDEFGHIJKL"}, {1, ""}};
  for (const Case &c : aCases) {
    char acName[24];
    std::memset(acName, '#', sizeof acName);
    T_NAV_vCopyWaypointName(0x2005, acName, c.nLimit);
    EXPECT_STREQ(acName, c.pcName) << c.nLimit;
  }
  // No waypoint: nothing copied, icon 0, an empty name.
  copy.u8Icon = 3;
  T_NAV_vCopyWaypoint(0xFFFF, &copy);
  EXPECT_EQ(copy.u8Icon, 3);
  EXPECT_EQ(T_NAV_u8GetWaypointIcon(0xFFFF), 0);
  char acName[8] = "stale";
  T_NAV_vCopyWaypointName(0xFFFF, acName, sizeof acName);
  EXPECT_STREQ(acName, "");
}

}  // namespace
