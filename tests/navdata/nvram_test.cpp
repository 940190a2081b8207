// Record files on internal flash: their bytes, the load rules, the demonstration state and the saved-track buffer.
#include <gtest/gtest.h>
#include <pthread.h>

#include <filesystem>

#include "kernel/kernel_defs.h"
#include "kernel/mutex.h"
#include "nav_fixture.h"
#include "navdata/nav_card.h"

namespace {

using NvramTest = NavStoreTest;
namespace fs = std::filesystem;

std::vector<U8> recordFile(U8 u8Type, U16 u16Index, U32 nBody, U32 u32Word = NAV_FS_VERSION) {
  std::vector<U8> bytes(8 + nBody, 0);
  NAV_vPut32(bytes.data(), u32Word, false);
  bytes[4] = u8Type;
  bytes[5] = 3;
  NAV_vPut16(&bytes[6], u16Index, false);
  return bytes;
}

TEST_F(NvramTest, RecordFilesHoldHeaderAndRecord) {
  WAYPOINT w = waypoint("Five", 100, -200);
  T_NAV_NVRAM_vSaveWaypoint(&w, 5, FALSE);
  auto bytes = readFile(path("wpts/5"));
  ASSERT_EQ(bytes.size(), 36u);
  EXPECT_EQ(std::vector<U8>(bytes.begin(), bytes.begin() + 8), (std::vector<U8>{0x10, 0x42, 0x02, 0x00, 0x02, 0x03, 0x05, 0x00}));
  EXPECT_EQ(bytes[8], 1);
  EXPECT_EQ(NAV_u32Get(&bytes[16], false), 100u);

  ROUTE r{};
  r.nCount = 2;
  T_NAV_NVRAM_vSaveRoute(&r, 7, FALSE);
  EXPECT_EQ(readFile(path("routes/7")).size(), 136u);
  static TRACK t{};
  T_NAV_NVRAM_vSaveTrack(&t, 49, FALSE);
  EXPECT_EQ(readFile(path("tracks/49")).size(), 131080u);
  static WENDRIX p{};
  T_NAV_NVRAM_vSaveWendrix(&p, 0, FALSE);
  auto pathFile = readFile(path("wendrixs/0"));
  ASSERT_EQ(pathFile.size(), 3080u);
  EXPECT_EQ(pathFile[5], 1);

  // Indexes past the tables write nothing; no temporary is left anywhere.
  T_NAV_NVRAM_vSaveWaypoint(&w, 3000, TRUE);
  T_NAV_NVRAM_vSaveRoute(&r, 50, TRUE);
  EXPECT_FALSE(fs::exists(path("wpts/3000")));
  EXPECT_FALSE(fs::exists(path("routes/50")));
  for (const char *pcDir : {"wpts", "routes", "tracks", "wendrixs"}) {
    for (const auto &entry : fs::directory_iterator(path(pcDir))) {
      EXPECT_EQ(entry.path().extension(), "") << entry.path();
    }
  }
}

TEST_F(NvramTest, DemonstrationStateWritesAndRemovesOnlyWhenForced) {
  WAYPOINT w = waypoint("Old", 1, 1);
  ROUTE r{};
  r.nCount = 1;
  T_NAV_NVRAM_vSaveWaypoint(&w, 1, FALSE);
  T_NAV_NVRAM_vSaveRoute(&r, 1, FALSE);
  auto before = readFile(path("routes/1"));
  H_DATABASE_bUpdateValueU32(FCID("CCST"), 6, P_NORMAL);
  r.nCount = 2;
  T_NAV_NVRAM_vSaveRoute(&r, 1, FALSE);
  T_NAV_NVRAM_vDeleteWaypoint(1, FALSE);
  T_NAV_NVRAM_vSaveWaypoint(&w, 2, FALSE);
  EXPECT_EQ(readFile(path("routes/1")), before);
  EXPECT_TRUE(fs::exists(path("wpts/1")));
  EXPECT_FALSE(fs::exists(path("wpts/2")));
  T_NAV_NVRAM_vSaveRoute(&r, 1, TRUE);
  EXPECT_NE(readFile(path("routes/1")), before);
  T_NAV_NVRAM_vDeleteWaypoint(1, TRUE);
  EXPECT_FALSE(fs::exists(path("wpts/1")));
}

TEST_F(NvramTest, LoadKeepsSoundFilesAndRemovesBrokenOnes) {
  WAYPOINT w = waypoint("Seventeen", 5, 6);
  T_NAV_NVRAM_vSaveWaypoint(&w, 17, FALSE);
  writeFile(path("wpts/3000"), recordFile(NAV_FILE_WAYPOINT, 3000, 28));
  writeFile(path("wpts/route"), recordFile(NAV_FILE_ROUTE, 2, 128));        // another type: kept, not loaded
  writeFile(path("wpts/2000"), recordFile(NAV_FILE_WAYPOINT, 2000, 27));    // cut short
  writeFile(path("wpts/9.tmp"), recordFile(NAV_FILE_WAYPOINT, 9, 28));      // left by a cut write
  writeFile(path("wpts/empty"), {});
  writeFile(path("routes/3"), recordFile(NAV_FILE_ROUTE, 3, 128, 0x00024211));
  writeFile(path("routes/wpt"), recordFile(NAV_FILE_WAYPOINT, 2000, 28));   // would land far past the routes
  auto bigRoute = recordFile(NAV_FILE_ROUTE, 4, 128);
  NAV_vPut32(&bigRoute[8], 51, false);
  writeFile(path("routes/4"), bigRoute);
  auto badLink = recordFile(NAV_FILE_ROUTE, 5, 128);
  NAV_vPut32(&badLink[8], 2, false);
  NAV_vPut16(&badLink[8 + 28 + 2], 0x0BB8, false);
  writeFile(path("routes/5"), badLink);
  auto shortTrack = recordFile(NAV_FILE_TRACK, 6, 1000);
  shortTrack[8] = 5;
  writeFile(path("tracks/6"), shortTrack);

  testing::internal::CaptureStdout();
  S32 nTop = 0;
  T_NAV_NVRAM_vScan(NAV_pTrackHeaderTable(), NAV_pWaypointTable()[0], &nTop, NAV_pRouteTable());
  std::string sLog = testing::internal::GetCapturedStdout();
  EXPECT_GE(nTop, 18);
  EXPECT_EQ(std::strcmp(NAV_pWaypointTable()[0][17].sName, "Seventeen"), 0);
  EXPECT_EQ(NAV_pWaypointTable()[0][17].pt.y, 6);
  EXPECT_EQ(NAV_pWaypointTable()[0][9].u8Status, 0);
  for (const char *pcGone : {"wpts/3000", "wpts/2000", "wpts/9.tmp", "wpts/empty", "routes/3", "tracks/6"}) {
    EXPECT_FALSE(fs::exists(path(pcGone))) << pcGone;
  }
  for (const char *pcKept : {"wpts/17", "wpts/route", "routes/wpt", "routes/4", "routes/5"}) {
    EXPECT_TRUE(fs::exists(path(pcKept))) << pcKept;
  }
  EXPECT_EQ(NAV_pRouteTable()[2].nCount, 0u);
  EXPECT_EQ(NAV_pRouteTable()[4].nCount, 0u);
  EXPECT_EQ(NAV_pRouteTable()[5].nCount, 0u);
  EXPECT_EQ(NAV_pTrackHeaderTable()[6].u16Count, 0);
  for (const char *pcText : {"past the table", "not of this directory", "cut short", "cut write", "refused"}) {
    EXPECT_NE(sLog.find(pcText), std::string::npos) << pcText;
  }
}

TEST_F(NvramTest, SavedTrackBufferIsHeldUntilReleased) {
  static TRACK t{};
  t.sHeader.u16Count = 3;
  t.sHeader.ptFirst = POINT{10, 20};
  t.aDelta[0] = TRACK_DELTA_DEPTH_TRIPLE{1, 2, 3};
  t.aDelta[1] = TRACK_DELTA_DEPTH_TRIPLE{-1, -2, 4};
  std::strcpy(t.sHeader.sName, "Saved");
  T_NAV_NVRAM_vSaveTrack(&t, 4, FALSE);
  S32 nTop = 0;
  T_NAV_NVRAM_vScan(NAV_pTrackHeaderTable(), NAV_pWaypointTable()[0], &nTop, NAV_pRouteTable());
  EXPECT_TRUE(T_NAV_DATA_bTrackCompareEX(&NAV_pTrackHeaderTable()[4], &t.sHeader));

  auto heldElsewhere = [] {
    ERC erc = 0;
    pthread_t th;
    pthread_create(
        &th, nullptr,
        [](void *pv) -> void * {
          *static_cast<ERC *>(pv) = L_MUTEX_Lock(RES_STATIC_TRACK);
          if (*static_cast<ERC *>(pv) == 0) L_MUTEX_Unlock(RES_STATIC_TRACK);
          return nullptr;
        },
        &erc);
    pthread_join(th, nullptr);
    return erc != 0;
  };
  TRACK *pTrack = T_NAV_NVRAM_pLoadTrack(4);
  EXPECT_TRUE(T_NAV_DATA_bTrackCompare(pTrack, &t));
  EXPECT_TRUE(heldElsewhere());
  T_NAV_NVRAM_vReleaseTrack();
  EXPECT_FALSE(heldElsewhere());

  pTrack = T_NAV_NVRAM_pLoadTrack(5);
  EXPECT_EQ(pTrack->sHeader.u16Count, 0);
  EXPECT_TRUE(heldElsewhere());
  T_NAV_NVRAM_vReleaseTrack();

  // A cut track file gives an empty track, not its header over the previous track's deltas.
  auto bytes = readFile(path("tracks/4"));
  bytes.resize(5000);
  writeFile(path("tracks/4"), bytes);
  testing::internal::CaptureStdout();
  pTrack = T_NAV_NVRAM_pLoadTrack(4);
  EXPECT_EQ(pTrack->sHeader.u16Count, 0);
  T_NAV_NVRAM_vReleaseTrack();
  EXPECT_NE(testing::internal::GetCapturedStdout().find("damaged"), std::string::npos);
}

}  // namespace
