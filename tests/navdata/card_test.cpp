// Records as they leave the unit: header and body bytes, the checked reader, old versions and the waypoint
// upgrade at start-up.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "nav_fixture.h"
#include "navdata/nav_card.h"

namespace {

using CardTest = NavStoreTest;

struct FileCloser {
  void operator()(FILE *p) const { std::fclose(p); }
};
using File = std::unique_ptr<FILE, FileCloser>;

File open(const std::string &sPath, const char *pcMode) { return File(std::fopen(sPath.c_str(), pcMode)); }

// Reads the next record; the host record (freed by the caller) or NULL, with the refusal flag.
void *readNext(FILE *pFile, NAV_DATA_STRUCTURE_HEADER *pOut, BOOLEAN *pbRefused) {
  NAV_DATA_STRUCTURE_HEADER *pHeader = T_NAV_DATA_pheaderReadHeader(pFile);
  if (pHeader == nullptr) return nullptr;
  void *pv = T_NAV_DATA_pvReadItem(pFile, pHeader, pbRefused);
  *pOut = *pHeader;
  std::free(pHeader);
  return pv;
}

std::vector<U8> be16(U16 v) { return {static_cast<U8>(v >> 8), static_cast<U8>(v)}; }
void put(std::vector<U8> &b, const std::vector<U8> &more) { b.insert(b.end(), more.begin(), more.end()); }

TEST_F(CardTest, WaypointRouteAndPathRecords) {
  std::string sFile = path("DATA.QWR");
  WAYPOINT w = waypoint("Slot5", 0x01020304, -2);
  ROUTE r{};
  r.nCount = 3;
  for (U16 i = 0; i < 50; ++i) r.anWaypoint[i] = static_cast<U16>(0x0100 + i);
  static WENDRIX p{};
  p.tHeader.nCount = 2;
  p.tHeader.u32ClosestTP = 7;
  p.tHeader.u32Flags = 0x11223344;
  p.tHeader.u64UID = 0x0102030405060708ull;
  p.aTrackPoints[1] = POINT{-3, 4};
  {
    File f = open(sFile, "wb");
    ASSERT_TRUE(T_NAV_DATA_bWriteItem(f.get(), NAV_FILE_WAYPOINT, 5, &w));
    ASSERT_TRUE(T_NAV_DATA_bWriteItem(f.get(), NAV_FILE_ROUTE, 9, &r));
    ASSERT_TRUE(T_NAV_DATA_bWriteItem(f.get(), NAV_FILE_WENDRIX, 1, &p));
  }
  auto bytes = readFile(sFile);
  ASSERT_EQ(bytes.size(), 36u + 136 + 3080);
  EXPECT_EQ(std::vector<U8>(bytes.begin(), bytes.begin() + 8), (std::vector<U8>{2, 3, 0x00, 0x24, 0x00, 0x05, 0, 0}));
  EXPECT_EQ(std::vector<U8>(bytes.begin() + 16, bytes.begin() + 20), (std::vector<U8>{1, 2, 3, 4}));
  const U8 *pRoute = &bytes[36 + 8];
  EXPECT_EQ(NAV_u16Get(pRoute + 28 + 2 * 2, true), 0x0102);   // within the count: big-endian
  EXPECT_EQ(NAV_u16Get(pRoute + 28 + 2 * 3, false), 0x0103);  // past it: as in memory
  const U8 *pPath = &bytes[36 + 136 + 8];
  EXPECT_EQ(NAV_u32Get(pPath + 80, false), 0u);
  EXPECT_EQ(std::vector<U8>(pPath + 24, pPath + 28), (std::vector<U8>{0x44, 0x33, 0x22, 0x11}));
  EXPECT_EQ(std::vector<U8>(pPath + 64, pPath + 72), (std::vector<U8>{1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(static_cast<S32>(NAV_u32Get(pPath + 256 + 8, true)), -3);

  File f = open(sFile, "rb");
  NAV_DATA_STRUCTURE_HEADER h;
  BOOLEAN bRefused = TRUE;
  auto *pW = static_cast<WAYPOINT *>(readNext(f.get(), &h, &bRefused));
  ASSERT_NE(pW, nullptr);
  EXPECT_FALSE(bRefused);
  EXPECT_EQ(h.u16Index, 5);
  EXPECT_EQ(std::memcmp(pW, &w, sizeof w), 0);
  std::free(pW);
  auto *pR = static_cast<ROUTE *>(readNext(f.get(), &h, &bRefused));
  ASSERT_NE(pR, nullptr);
  EXPECT_EQ(std::memcmp(pR, &r, sizeof r), 0);
  std::free(pR);
  auto *pP = static_cast<WENDRIX *>(readNext(f.get(), &h, &bRefused));
  ASSERT_NE(pP, nullptr);
  EXPECT_EQ(pP->tHeader.u32ClosestTP, 0u);
  EXPECT_EQ(pP->tHeader.u32Flags, 0x11223344u);
  EXPECT_EQ(pP->tHeader.u64UID, 0x0102030405060708ull);
  EXPECT_TRUE(T_NAV_DATA_bWendrixCompareEX(&pP->tHeader, &p.tHeader));
  EXPECT_EQ(pP->aTrackPoints[1].x, -3);
  std::free(pP);
  EXPECT_EQ(T_NAV_DATA_pheaderReadHeader(f.get()), nullptr);
}

TEST_F(CardTest, TrackFileMustHoldJustItsRecord) {
  static TRACK t{};
  t.sHeader.u16Count = 2;
  t.aDelta[0] = TRACK_DELTA_DEPTH_TRIPLE{-1, 2, 3};
  std::string sFile = path("005.QX");
  {
    File f = open(sFile, "wb");
    ASSERT_TRUE(T_NAV_DATA_bWriteItem(f.get(), NAV_FILE_TRACK, 5, &t));
  }
  auto bytes = readFile(sFile);
  ASSERT_EQ(bytes.size(), 131080u);
  EXPECT_EQ(std::vector<U8>(bytes.begin(), bytes.begin() + 8), (std::vector<U8>{1, 3, 0, 0, 0, 5, 0, 0}));
  {
    File f = open(sFile, "rb");
    NAV_DATA_STRUCTURE_HEADER h;
    BOOLEAN bRefused;
    auto *pT = static_cast<TRACK *>(readNext(f.get(), &h, &bRefused));
    ASSERT_NE(pT, nullptr);
    EXPECT_TRUE(T_NAV_DATA_bTrackCompare(pT, &t));
    std::free(pT);
  }
  bytes.push_back(0);
  writeFile(sFile, bytes);
  File f = open(sFile, "rb");
  NAV_DATA_STRUCTURE_HEADER h;
  BOOLEAN bRefused;
  EXPECT_EQ(readNext(f.get(), &h, &bRefused), nullptr);
  EXPECT_FALSE(bRefused);
}

TEST_F(CardTest, OldWaypointGetsTheAnchorIcon) {
  for (const char *pcName : {"QZ anchor", "AB anchor"}) {
    SCOPED_TRACE(pcName);
    WAYPOINT w = waypoint(pcName, 1, 2, BAD_ICE_HOLE_ICON);
    std::string sFile = path("old.QWR");
    {
      File f = open(sFile, "wb");
      T_NAV_DATA_bWriteItem(f.get(), NAV_FILE_WAYPOINT, 1, &w);
    }
    auto bytes = readFile(sFile);
    bytes[1] = 2;
    writeFile(sFile, bytes);
    File f = open(sFile, "rb");
    NAV_DATA_STRUCTURE_HEADER h;
    BOOLEAN bRefused;
    auto *pW = static_cast<WAYPOINT *>(readNext(f.get(), &h, &bRefused));
    ASSERT_NE(pW, nullptr);
    EXPECT_EQ(h.u8Version, 3);
    EXPECT_EQ(pW->u8Icon, pcName[0] == 'Q' ? VANTREL_STRELLOQ_ICON : BAD_ICE_HOLE_ICON);
    std::free(pW);
  }
}

TEST_F(CardTest, RefusedRecordsAreConsumedAndTheNextOneReads) {
  std::string sFile = path("bad.QWR");
  ROUTE tooLong{};
  tooLong.nCount = 51;
  ROUTE badSlot{};
  badSlot.nCount = 1;
  badSlot.anWaypoint[0] = 0x1BB8;
  WAYPOINT w = waypoint("After", 3, 4);
  {
    File f = open(sFile, "wb");
    T_NAV_DATA_bWriteItem(f.get(), NAV_FILE_ROUTE, 1, &tooLong);
    T_NAV_DATA_bWriteItem(f.get(), NAV_FILE_ROUTE, 2, &badSlot);
    T_NAV_DATA_bWriteItem(f.get(), NAV_FILE_WAYPOINT, 3, &w);
  }
  File f = open(sFile, "rb");
  NAV_DATA_STRUCTURE_HEADER h;
  BOOLEAN bRefused = FALSE;
  testing::internal::CaptureStdout();
  EXPECT_EQ(readNext(f.get(), &h, &bRefused), nullptr);
  EXPECT_TRUE(bRefused);
  EXPECT_EQ(readNext(f.get(), &h, &bRefused), nullptr);
  EXPECT_TRUE(bRefused);
  EXPECT_NE(testing::internal::GetCapturedStdout().find("refused"), std::string::npos);
  auto *pW = static_cast<WAYPOINT *>(readNext(f.get(), &h, &bRefused));
  ASSERT_NE(pW, nullptr);
  EXPECT_EQ(std::strcmp(pW->sName, "After"), 0);
  std::free(pW);

  // A cut body: NULL, nothing kept, not a refusal.
  auto bytes = readFile(sFile);
  bytes.resize(136 + 136 + 20);
  writeFile(sFile, bytes);
  File g = open(sFile, "rb");
  readNext(g.get(), &h, &bRefused);
  readNext(g.get(), &h, &bRefused);
  EXPECT_EQ(readNext(g.get(), &h, &bRefused), nullptr);
  EXPECT_FALSE(bRefused);
}

TEST_F(CardTest, OldRouteConversion) {
  std::vector<U8> image(NAV_ROUTE_V1_BYTES, 0);
  NAV_vPut32(image.data(), 20 | 1u << 30, false);
  for (U16 i = 0; i < 20; ++i) NAV_vPut16(&image[8 + 2 * i], static_cast<U16>(100 + i), false);
  std::memcpy(&image[48], "Old route", 9);
  NAV_DATA_STRUCTURE_HEADER src{NAV_FILE_ROUTE, 1, 76, 4, 0}, dst{};
  ROUTE r;
  std::memset(&r, 0xFF, sizeof r);
  EXPECT_EQ(T_NAV_DATA_nConvertRecord(&dst, &r, &src, image.data()), 136);
  EXPECT_EQ(dst.u8Version, 3);
  EXPECT_EQ(dst.u16Index, 4);
  EXPECT_EQ(r.nCount, 20u);
  EXPECT_EQ(r.anWaypoint[19], 119);
  for (U32 i = 20; i < 50; ++i) EXPECT_EQ(r.anWaypoint[i], 0) << i;
  EXPECT_EQ(std::strcmp(r.sName, "Old route"), 0);

  // 21 points of an old route would name slot 0 for the missing ones: refused.
  NAV_vPut32(image.data(), 21, false);
  testing::internal::CaptureStdout();
  EXPECT_EQ(T_NAV_DATA_nConvertRecord(&dst, &r, &src, image.data()), 0);
  EXPECT_EQ(dst.u8Type, 0);
  EXPECT_NE(testing::internal::GetCapturedStdout().find("refused"), std::string::npos);
}

// A version-2 track record in file order: ring of 1999 pairs.
std::vector<U8> oldTrackRecord(U16 u16Count, U16 u16First, POINT ptFirst, const std::vector<std::pair<S16, S16>> &ring) {
  std::vector<U8> b = {1, 2};
  put(b, be16(8048));
  put(b, be16(3));
  put(b, be16(0));
  put(b, be16(u16Count));
  put(b, be16(u16First));
  for (U32 v : {0x01020304u, static_cast<U32>(ptFirst.x), static_cast<U32>(ptFirst.y), 0u, 0u}) {
    put(b, {static_cast<U8>(v >> 24), static_cast<U8>(v >> 16), static_cast<U8>(v >> 8), static_cast<U8>(v)});
  }
  for (U32 i = 0; i < 1999; ++i) {
    auto [x, y] = i < ring.size() ? ring[i] : std::pair<S16, S16>{0, 0};
    put(b, be16(static_cast<U16>(x)));
    put(b, be16(static_cast<U16>(y)));
  }
  b.resize(8048, 'n');
  return b;
}

TEST_F(CardTest, OldTrackBecomesCurrentTrack) {
  std::vector<std::pair<S16, S16>> ring(1999);
  for (U32 i = 0; i < 1999; ++i) ring[i] = {static_cast<S16>(i % 7), static_cast<S16>(-static_cast<S32>(i % 5))};
  writeFile(path("t.QX"), oldTrackRecord(1999, 1990, POINT{0, 0}, ring));
  {
    File f = open(path("t.QX"), "rb");
    NAV_DATA_STRUCTURE_HEADER h;
    BOOLEAN bRefused;
    auto *pT = static_cast<TRACK *>(readNext(f.get(), &h, &bRefused));
    ASSERT_NE(pT, nullptr);
    EXPECT_EQ(h.u8Version, 2);
    EXPECT_EQ(pT->sHeader.u16FirstDelta, 0);
    EXPECT_EQ(pT->sHeader.u16Count, 1999);
    EXPECT_EQ(pT->sHeader.u32DateTime, 0x01020304u);
    for (U32 i = 0; i < 1999; ++i) {
      U32 nOld = i < 9 ? 1990 + i : i - 9;
      ASSERT_EQ(pT->aDelta[i].x, ring[nOld].first) << i;
      ASSERT_EQ(pT->aDelta[i].y, ring[nOld].second) << i;
      ASSERT_EQ(pT->aDelta[i].u16Depth, 0) << i;
    }
    std::free(pT);
  }
  // A running x past the limit wraps, and the box takes the wrapped value.
  writeFile(path("t.QX"), oldTrackRecord(2, 0, POINT{20038000, 0}, {{1000, 5}}));
  {
    File f = open(path("t.QX"), "rb");
    NAV_DATA_STRUCTURE_HEADER h;
    BOOLEAN bRefused;
    auto *pT = static_cast<TRACK *>(readNext(f.get(), &h, &bRefused));
    ASSERT_NE(pT, nullptr);
    EXPECT_EQ(pT->sHeader.ptLowerLeft.x, 20039000 - 40076600);
    EXPECT_EQ(pT->sHeader.ptUpperRight.x, 20038000);
    EXPECT_EQ(pT->sHeader.ptUpperRight.y, 5);
    std::free(pT);
  }
  // A first delta outside the ring is refused.
  writeFile(path("t.QX"), oldTrackRecord(2, 1999, POINT{0, 0}, {}));
  File f = open(path("t.QX"), "rb");
  NAV_DATA_STRUCTURE_HEADER h;
  BOOLEAN bRefused = FALSE;
  EXPECT_EQ(readNext(f.get(), &h, &bRefused), nullptr);
  EXPECT_TRUE(bRefused);
}

TEST_F(CardTest, OldFlashWaypointsAreRewrittenAtStartUp) {
  struct Case {
    U16 u16Slot;
    U8 u8Version;
    U8 u8Status;
    bool bRewritten;
  } const aCases[] = {{1, 3, WP_STATUS_NORMAL, false}, {2, 1, WP_STATUS_NORMAL, true},
                      {3, 1, WP_STATUS_TEMPORARY, false}, {4, 2, WP_STATUS_GROUP_HEADER, true}};
  std::vector<ino_t> inodes;
  for (const Case &c : aCases) {
    WAYPOINT w = waypoint("QZ", 1, 1, BAD_ICE_HOLE_ICON);
    w.u8Status = c.u8Status;
    T_NAV_NVRAM_vSaveWaypoint(&w, c.u16Slot, TRUE);
    std::string sFile = path("wpts/" + std::to_string(c.u16Slot));
    auto bytes = readFile(sFile);
    bytes[5] = c.u8Version;
    writeFile(sFile, bytes);
    struct stat st;
    stat(sFile.c_str(), &st);
    inodes.push_back(st.st_ino);
  }
  S32 nTop = 0;
  T_NAV_NVRAM_vScan(NAV_pTrackHeaderTable(), NAV_pWaypointTable()[0], &nTop, NAV_pRouteTable());
  EXPECT_EQ(NAV_pWaypointTable()[0][1].u8Icon, BAD_ICE_HOLE_ICON);
  EXPECT_EQ(NAV_pWaypointTable()[0][2].u8Icon, BAD_ICE_HOLE_ICON);  // only version 2 gets the new icon
  T_NAV_DATA_vRewriteFlaggedWaypoints(NAV_pWaypointTable()[0]);
  for (size_t i = 0; i < std::size(aCases); ++i) {
    SCOPED_TRACE(aCases[i].u16Slot);
    std::string sFile = path("wpts/" + std::to_string(aCases[i].u16Slot));
    struct stat st;
    ASSERT_EQ(stat(sFile.c_str(), &st), 0);
    EXPECT_EQ(st.st_ino != inodes[i], aCases[i].bRewritten);
    if (aCases[i].bRewritten) {
      EXPECT_EQ(readFile(sFile)[5], 3);
    }
  }
}

TEST_F(CardTest, ByteHelpers) {
  const U8 au8[] = {0x12, 0x34, 0x56, 0x78};
  EXPECT_EQ(U_ACCESSORY_vExtractBigendianU16(au8), 0x1234);
  EXPECT_EQ(U_ACCESSORY_vExtractBigendianU32(au8), 0x12345678u);
  POINT a{1, 2}, b{1, 3};
  EXPECT_FALSE(T_NAV_DATA_bComparePoint(&a, &b));
  b.y = 2;
  EXPECT_TRUE(T_NAV_DATA_bComparePoint(&a, &b));
}

}  // namespace
