// Loading the store: the recorded-path directory, the start-up load in this process and in the running unit.
#include <gtest/gtest.h>
#include <signal.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "nav_fixture.h"
#include "autopilot/vantrel_uid_standin.h"
#include "navdata/nav_card.h"
#include "navdata/nav_hash.h"
#include "navdata/navdata_group_standin.h"
#include "navdata/navdata_load_standin.h"
#include "test_environment.h"

namespace {

using LoadTest = NavStoreTest;
namespace fs = std::filesystem;

// A record file as our writer makes it, then changed where the case asks.
std::vector<U8> wendrixFile(U16 u16Index, U32 nCount, const char *pcName) {
  static WENDRIX w;
  std::memset(&w, 0, sizeof w);
  w.tHeader.nCount = nCount;
  w.tHeader.u32DateTime = 77;
  std::memcpy(w.tHeader.sName, pcName, std::min(std::strlen(pcName), sizeof w.tHeader.sName));
  w.tHeader.u64UID = 0x0000600000000001ull;
  std::vector<U8> bytes(8 + NAV_WENDRIX_BYTES);
  NAV_vPut32(bytes.data(), NAV_FS_VERSION, false);
  bytes[4] = NAV_FILE_WENDRIX;
  bytes[5] = 1;
  NAV_vPut16(&bytes[6], u16Index, false);
  NAV_vPackWendrix(&w, &bytes[8]);
  return bytes;
}

TEST_F(LoadTest, RecordedPathDirectory) {
  writeFile(path("wendrixs/3"), wendrixFile(3, 5, "Three"));
  writeFile(path("wendrixs/1"), wendrixFile(1, 2, "One"));
  writeFile(path("wendrixs/50"), wendrixFile(50, 5, "Fifty"));       // past the table
  auto shortFile = wendrixFile(7, 5, "Short");
  shortFile.pop_back();
  writeFile(path("wendrixs/7"), shortFile);                           // cut short
  writeFile(path("wendrixs/9"), wendrixFile(9, 353, "Long"));         // more points than it holds
  auto route = wendrixFile(20, 5, "Route");
  route[4] = NAV_FILE_ROUTE;
  writeFile(path("wendrixs/20"), route);                              // another kind: kept, not loaded

  testing::internal::CaptureStdout();
  S32 nTop = 0;
  T_NAV_NVRAM_vScanWendrix(NAV_pWendrixTable(), &nTop);
  std::string sLog = testing::internal::GetCapturedStdout();

  EXPECT_EQ(nTop, 4);
  EXPECT_EQ(NAV_pWendrixTable()[3].tHeader.nCount, 5u);
  EXPECT_STREQ(NAV_pWendrixTable()[3].tHeader.sName, "Three");
  EXPECT_EQ(NAV_pWendrixTable()[1].tHeader.nCount, 2u);
  for (U32 i : {7u, 9u, 20u}) EXPECT_EQ(NAV_pWendrixTable()[i].tHeader.nCount, 0u) << i;
  for (const char *pcGone : {"wendrixs/50", "wendrixs/7"}) EXPECT_FALSE(fs::exists(path(pcGone))) << pcGone;
  for (const char *pcKept : {"wendrixs/1", "wendrixs/3", "wendrixs/9", "wendrixs/20"}) {
    EXPECT_TRUE(fs::exists(path(pcKept))) << pcKept;
  }
  for (const char *pcText : {"past the table", "cut short", "refused", "not of this directory"}) {
    EXPECT_NE(sLog.find(pcText), std::string::npos) << pcText;
  }
}

TEST_F(LoadTest, StartUpLoadReplacesTheTablesWithTheFlashRecords) {
  // What the tables held before the load goes, also in the peer banks.
  NAV_pWaypointTable()[2][4].u8Status = WP_STATUS_NORMAL;
  NAV_pnMaxUsedWaypointIndex()[2] = 5;
  NAV_pTrackHeaderTable()[8].u16Count = 9;
  NAV_pRouteTable()[6].u32DateTime = 5;
  NAV_pRouteTable()[6].bRtNotShared = 1;
  NAV_pDerivedTables()->au16WaypointHash[0] = 0x1234;

  WAYPOINT w = waypoint("Kept", 10, 20);
  T_NAV_NVRAM_vSaveWaypoint(&w, 0, FALSE);
  WAYPOINT old = waypoint("Old", 30, 40);
  T_NAV_NVRAM_vSaveWaypoint(&old, 11, FALSE);
  auto bytes = readFile(path("wpts/11"));
  bytes[5] = 1;
  writeFile(path("wpts/11"), bytes);
  NAV_vPut16(&bytes[6], 3000, false);
  writeFile(path("wpts/3000"), bytes);
  ROUTE r{};
  r.nCount = 2;
  r.bRtNotShared = 1;
  r.anWaypoint[1] = 11;
  T_NAV_NVRAM_vSaveRoute(&r, 2, FALSE);
  ROUTE hidden{};
  hidden.bHide = 1;  // neither points nor date: an empty slot
  T_NAV_NVRAM_vSaveRoute(&hidden, 3, FALSE);
  static TRACK t{};
  t.sHeader.u16Count = 1;
  t.sHeader.ptFirst = t.sHeader.ptLast = POINT{1, 1};
  T_NAV_NVRAM_vSaveTrack(&t, 4, FALSE);
  writeFile(path("wendrixs/5"), wendrixFile(5, 3, "TwelveLetter"));

  const U32 u32Loads = NAVDATA_LOAD_STANDIN_tRecordForTest().u32Loads;
  const U32 u32Uids = VANTREL_UID_STANDIN_u32CallsForTest();
  const U32 u32Groups = NAVDATA_GROUP_STANDIN_u32InitsForTest();
  testing::internal::CaptureStdout();
  T_NAV_vInitTracksWaypointsRoutes();
  std::string sLog = testing::internal::GetCapturedStdout();

  NAVDATA_LOAD_STANDIN_RECORD rec = NAVDATA_LOAD_STANDIN_tRecordForTest();
  EXPECT_EQ(rec.u32Loads, u32Loads + 1);
  EXPECT_EQ(rec.nWaypointSlots, 2);
  EXPECT_EQ(rec.nTopWaypoint, 12);
  EXPECT_EQ(rec.nRoutes, 1);
  EXPECT_EQ(rec.nLockedRoutes, 1);
  EXPECT_EQ(rec.nTracks, 1);
  EXPECT_EQ(rec.nWendrixs, 1);
  EXPECT_EQ(rec.nTopWendrix, 6);

  EXPECT_EQ(NAV_pWaypointTable()[2][4].u8Status, WP_STATUS_FREE);
  EXPECT_EQ(T_NAV_TWR_nGetMaxUsedWaypointIndex(2), 0);
  EXPECT_EQ(T_NAV_TWR_u16GetMaxUsedWaypoint(), 12);
  EXPECT_EQ(NAV_pnWaypointsUsed()[0], 2);
  EXPECT_STREQ(T_NAV_pGetWaypoint(11)->sName, "Old");
  EXPECT_EQ(readFile(path("wpts/11"))[5], 3);  // the old record is written anew
  EXPECT_FALSE(fs::exists(path("wpts/3000")));
  EXPECT_EQ(NAV_pTrackHeaderTable()[8].u16Count, 0);
  EXPECT_EQ(NAV_pTrackHeaderTable()[4].u16Count, 1);
  EXPECT_EQ(NAV_pDerivedTables()->au16WaypointHash[0], T_NAV_TWR_u16HashWaypoint(T_NAV_pGetWaypoint(0)));
  EXPECT_NE(NAV_pDerivedTables()->au16WaypointHash[0], 0x1234);
  EXPECT_EQ(NAV_pDerivedTables()->au16WaypointHash[1], 0);
  EXPECT_EQ(NAV_pDerivedTables()->au16RouteHash[2], T_NAV_TWR_u16HashRoute(T_NAV_pGetRoute(2)));
  EXPECT_EQ(NAV_pDerivedTables()->au16RouteHash[3], 0);
  EXPECT_EQ(NAV_pRouteTable()[6].u32DateTime, 0u);
  EXPECT_EQ(NAV_pRouteTable()[3].bHide, 0u);
  EXPECT_EQ(NAV_pRouteTable()[2].anWaypoint[1], 11);
  EXPECT_EQ(std::memcmp(NAV_pDerivedTables()->aRouteBackup, NAV_pRouteTable(), sizeof(ROUTE) * NAV_ROUTES), 0);
  // A path name that fills its field loses its last letter and gets a new identity, also in its file.
  EXPECT_STREQ(T_NAV_pGetWendrixHeader(5)->sName, "TwelveLette");
  const U64 u64UID = T_NAV_pGetWendrixHeader(5)->u64UID;
  EXPECT_EQ((u64UID >> 44) & 0xF, 6u);
  EXPECT_NE(u64UID, 0x0000600000000001ull);
  EXPECT_EQ(VANTREL_UID_STANDIN_u32CallsForTest(), u32Uids + 1);
  auto pathFile = readFile(path("wendrixs/5"));
  ASSERT_EQ(pathFile.size(), 3080u);
  EXPECT_EQ(NAV_u32Get(&pathFile[8 + 64], false) | (U64{NAV_u32Get(&pathFile[8 + 68], false)} << 32), u64UID);
  EXPECT_EQ(pathFile[8 + 8 + 11], 0);  // the cut name
  EXPECT_EQ(NAVDATA_GROUP_STANDIN_u32InitsForTest(), u32Groups + 1);
  EXPECT_NE(sLog.find("Wendrix5 : nCount: 3   Name: TwelveLette "), std::string::npos) << sLog;
  EXPECT_NE(sLog.find("Number of Wendrixs: 1"), std::string::npos);
  EXPECT_NE(sLog.find(std::string(79, '+')), std::string::npos);
}

// The navigation task loads the store as it starts: records written before the start are in the tables (the
// log line says what it found), a broken file is gone and an old waypoint record is written anew.
TEST(UnitLoad, TheRunningUnitLoadsTheStoreAtStart) {
  const std::string sData = TEST_dataDirectory() + "/unit_load";
  for (const char *pcDir : {"wpts", "routes", "wendrixs"}) fs::create_directories(sData + "/" + pcDir);
  auto record = [](U8 u8Type, U8 u8Version, U16 u16Index, std::vector<U8> body) {
    std::vector<U8> bytes(8);
    NAV_vPut32(bytes.data(), NAV_FS_VERSION, false);
    bytes[4] = u8Type;
    bytes[5] = u8Version;
    NAV_vPut16(&bytes[6], u16Index, false);
    bytes.insert(bytes.end(), body.begin(), body.end());
    return bytes;
  };
  WAYPOINT w{};
  w.u8Status = WP_STATUS_NORMAL;
  std::strcpy(w.sName, "Dock");
  std::vector<U8> body(NAV_WAYPOINT_BYTES);
  NAV_vPackWaypoint(&w, body.data());
  writeFile(sData + "/wpts/5", record(NAV_FILE_WAYPOINT, 1, 5, body));
  writeFile(sData + "/wpts/3000", record(NAV_FILE_WAYPOINT, 3, 3000, body));
  ROUTE r{};
  r.nCount = 1;
  r.anWaypoint[0] = 5;
  std::vector<U8> routeBody(NAV_ROUTE_BYTES);
  NAV_vPackRoute(&r, routeBody.data());
  writeFile(sData + "/routes/7", record(NAV_FILE_ROUTE, 3, 7, routeBody));

  UnitProcess unit({"nodisclaimer"}, sData);
  ASSERT_TRUE(unit.waitForLine("nav: store loaded: 1 waypoint slots below 6, 1 routes (0 locked), 0 tracks, 0 paths"))
      << unit.out();
  unit.signal(SIGTERM);
  EXPECT_EQ(unit.wait(), 2);
  EXPECT_FALSE(fs::exists(sData + "/wpts/3000"));
  EXPECT_EQ(readFile(sData + "/wpts/5")[5], 3);
  EXPECT_EQ(readFile(sData + "/routes/7").size(), 136u);
  for (const char *pcDir : {"tracks", "cr_track"}) EXPECT_TRUE(fs::is_directory(sData + "/" + pcDir)) << pcDir;
}

}  // namespace
