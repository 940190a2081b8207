// Waypoint and route hashes: checked against an independent CRC-16 (python3-crcmod) over random records, the
// fields a route hash leaves out, and the lookups by hash.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <random>

#include "nav_fixture.h"
#include "navdata/nav_hash.h"
#include "navdata/nav_route_table.h"
#include "test_environment.h"

namespace {

using HashTest = NavStoreTest;

// A python3 with crcmod: the system one first (a user's own interpreter may lack the Debian module).
std::string pythonWithCrcmod() {
  for (const char *pcPython : {"/usr/bin/python3", "python3"}) {
    std::string sCommand = std::string(pcPython) + " -c 'import crcmod' 2>/dev/null";
    if (std::system(sCommand.c_str()) == 0) return pcPython;
  }
  return "";
}

TEST_F(HashTest, AgreesWithAnIndependentCrc) {
  const std::string sPython = pythonWithCrcmod();
  ASSERT_FALSE(sPython.empty()) << "python3-crcmod is needed (scripts/install-deps.sh)";
  const std::string sList = TEST_dataDirectory() + "/hashes.txt";
  std::ofstream out(sList);
  std::mt19937 rng(51);
  auto hex = [](const U8 *p, size_t n) {
    std::string s;
    char ac[3];
    for (size_t i = 0; i < n; ++i) {
      std::snprintf(ac, sizeof ac, "%02x", p[i]);
      s += ac;
    }
    return s;
  };
  for (int n = 0; n < 1000; ++n) {
    U8 au8[NAV_WAYPOINT_BYTES];
    for (U8 &u8 : au8) u8 = static_cast<U8>(rng());
    WAYPOINT w;
    NAV_vUnpackWaypoint(au8, &w);
    NAV_vPackWaypoint(&w, au8);
    out << "W " << hex(au8, sizeof au8) << " " << std::hex << T_NAV_TWR_u16HashWaypoint(&w) << std::dec << "\n";

    ROUTE r{};
    r.nCount = rng() % 51;
    if (n % 10 == 0) r.nCount = rng() & 0x3FFFFFFF;  // a count from outside: only 50 links exist
    r.bHide = rng() & 1;
    r.bRtNotShared = rng() & 1;
    r.u32DateTime = static_cast<U32>(rng());
    for (char &c : r.sName) c = static_cast<char>(rng());
    for (U16 &u16 : r.anWaypoint) u16 = static_cast<U16>(rng());
    std::vector<U8> words;
    auto word = [&words](U32 u) {
      words.push_back(static_cast<U8>(u >> 8));
      words.push_back(static_cast<U8>(u));
    };
    word((r.nCount >> 16) & 0x3FFF);
    word(r.nCount & 0xFFFF);
    word(r.u32DateTime >> 16);
    word(r.u32DateTime & 0xFFFF);
    for (char c : r.sName) words.push_back(static_cast<U8>(c));
    for (U32 i = 0; i < std::min<U32>(r.nCount, NAV_ROUTE_POINTS); ++i) word(r.anWaypoint[i]);
    out << "R " << hex(words.data(), words.size()) << " " << std::hex << T_NAV_TWR_u16HashRoute(&r) << std::dec
        << "\n";
  }
  out.close();
  std::string sCommand = sPython + " " + CORVAN_TEST_DATA + "/nav_hash_check.py " + sList;
  FILE *pPipe = popen(sCommand.c_str(), "r");
  ASSERT_NE(pPipe, nullptr);
  char acLine[512] = {};
  ASSERT_NE(fgets(acLine, sizeof acLine, pPipe), nullptr);
  EXPECT_EQ(pclose(pPipe), 0) << acLine;
  EXPECT_STREQ(acLine, "ok 2000\n");
}

TEST_F(HashTest, WaypointTableAndLookup) {
  NAV_pWaypointTable()[0][0] = waypoint("Zero", 1, 2);
  NAV_pWaypointTable()[0][1] = waypoint("One", 3, 4);
  NAV_pWaypointTable()[0][2].u8Status = WP_STATUS_GROUP_HEADER;
  NAV_pWaypointTable()[0][4] = waypoint("Four", 5, 6);
  NAV_pnMaxUsedWaypointIndex()[0] = 2;
  for (U32 i = 0; i < 5; ++i) T_NAV_vUpdateWaypointHashTableItem(i);
  const U16 *pu16Hash = T_NAV_TWR_pu16GetWaypointsHash();
  EXPECT_EQ(pu16Hash[0], T_NAV_TWR_u16HashWaypoint(&NAV_pWaypointTable()[0][0]));
  EXPECT_NE(pu16Hash[0], 0);
  EXPECT_EQ(pu16Hash[2], 0);  // group slot
  EXPECT_EQ(pu16Hash[3], 0);  // free
  EXPECT_EQ(T_NAV_TWR_u16FindWaypointHash(pu16Hash[1]), 1);
  EXPECT_EQ(T_NAV_TWR_u16FindWaypointHash(pu16Hash[4]), NAV_LINK_NONE);  // at or above the top
  NAV_pnMaxUsedWaypointIndex()[0] = 5;
  EXPECT_EQ(T_NAV_TWR_u16FindWaypointHash(pu16Hash[4]), 4);
}

TEST_F(HashTest, RouteHashLeavesOutHideAndLock) {
  ROUTE &r = NAV_pRouteTable()[3];
  r.nCount = 2;
  r.u32DateTime = 99;
  std::strcpy(r.sName, "Harbour");
  r.anWaypoint[0] = 4;
  r.anWaypoint[1] = 7;
  r.anWaypoint[2] = 9;  // past the count
  const U16 u16Plain = T_NAV_TWR_u16HashRoute(&r);
  T_NAV_vUpdateRouteHashTableItem(3);
  NAV_pRouteTable()[5] = r;
  NAV_pRouteTable()[5].bRtNotShared = 1;
  NAV_pRouteTable()[5].bHide = 1;
  T_NAV_vUpdateRouteHashTableItem(5);
  EXPECT_EQ(T_NAV_TWR_u16HashRoute(&NAV_pRouteTable()[5]), u16Plain);
  EXPECT_EQ(T_NAV_TWR_u16FindRouteHash(u16Plain), 3);
  ROUTE locked = NAV_pRouteTable()[5];
  locked.bHide = 0;
  EXPECT_EQ(T_NAV_TWR_u16FindRoute(&r), 3);
  EXPECT_EQ(T_NAV_u16FindRoute(&locked), 5);
  locked.anWaypoint[2] = 1;  // links past the count play no part
  EXPECT_EQ(T_NAV_TWR_u16FindRoute(&locked), 5);
  locked.anWaypoint[1] = 8;
  EXPECT_EQ(T_NAV_TWR_u16FindRoute(&locked), NAV_LINK_NONE);
  ROUTE other = r;
  other.anWaypoint[1] = 8;
  EXPECT_NE(T_NAV_TWR_u16HashRoute(&other), u16Plain);
}

TEST_F(HashTest, RouteHashPassCountsAndHashesUsedSlots) {
  NAV_pRouteTable()[0].nCount = 1;
  NAV_pRouteTable()[2].u32DateTime = 4;  // a date and no points: used
  NAV_pRouteTable()[2].bRtNotShared = 1;
  NAV_pRouteTable()[4].bHide = 1;  // only a flag: free
  NAV_pDerivedTables()->au16RouteHash[4] = 0x4444;
  T_NAV_TWR_vHashRoutes();
  EXPECT_EQ(NAV_pRouteState()->nRoutesUsed, 2);
  EXPECT_EQ(NAV_pRouteState()->nNumberLockedRoutes, 1);
  EXPECT_EQ(NAV_pDerivedTables()->au16RouteHash[0], T_NAV_TWR_u16HashRoute(&NAV_pRouteTable()[0]));
  EXPECT_EQ(NAV_pDerivedTables()->au16RouteHash[2], T_NAV_TWR_u16HashRoute(&NAV_pRouteTable()[2]));
  EXPECT_EQ(NAV_pDerivedTables()->au16RouteHash[4], 0);
}

}  // namespace
