// Item links, accessors, the waypoint scan and the byte images of every record in both byte orders.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "nav_fixture.h"
#include "navdata/nav_card.h"

namespace {

using RecordsTest = NavStoreTest;

TEST_F(RecordsTest, LinkKinds) {
  struct Case {
    U32 nLink;
    BOOLEAN bWaypoint, bGroup, bRoute, bTrack, bWendrix;
  } const aCases[] = {
      {0x0000, TRUE, FALSE, FALSE, FALSE, FALSE},  {0x2005, TRUE, FALSE, FALSE, FALSE, FALSE},
      {0x0BB8, FALSE, FALSE, FALSE, FALSE, FALSE}, {0xC000 | 2999, FALSE, TRUE, FALSE, FALSE, FALSE},
      {0xCFFF, FALSE, TRUE, FALSE, FALSE, FALSE},  {0xCBB8, FALSE, FALSE, FALSE, FALSE, FALSE},
      {0x8800 | 49, FALSE, FALSE, TRUE, FALSE, FALSE}, {0x8800 | 50, FALSE, FALSE, FALSE, FALSE, FALSE},
      {0x8000 | 0x0140 | 7, FALSE, FALSE, FALSE, TRUE, FALSE}, {0x8000 | 0x0180 | 7, FALSE, FALSE, FALSE, FALSE, FALSE},
      {0x8000 | 0x0140 | 50, FALSE, FALSE, FALSE, FALSE, FALSE}, {0x4C00 | 49, FALSE, FALSE, FALSE, FALSE, TRUE},
      {0x4C00 | 50, FALSE, FALSE, FALSE, FALSE, FALSE}, {0xFFFF, FALSE, FALSE, FALSE, FALSE, FALSE},
  };
  for (const Case &c : aCases) {
    SCOPED_TRACE(c.nLink);
    EXPECT_EQ(NAV_bIsWaypointLink(c.nLink), c.bWaypoint);
    EXPECT_EQ(NAV_bIsGroupLink(c.nLink), c.bGroup);
    EXPECT_EQ(NAV_bIsRouteLink(c.nLink), c.bRoute);
    EXPECT_EQ(NAV_bIsLocalTrackLink(c.nLink, 0x0140), c.bTrack);
    EXPECT_EQ(NAV_bIsWendrixLink(c.nLink), c.bWendrix);
  }
  EXPECT_EQ(NAV_nGroupLinkSlot(0xCFFF), 2999u);
}

TEST_F(RecordsTest, Accessors) {
  EXPECT_EQ(T_NAV_pGetWaypoint(0xFFFF), nullptr);
  EXPECT_EQ(T_NAV_pGetWaypoint(0x2005), &NAV_pWaypointTable()[2][5]);
  EXPECT_EQ(T_NAV_TWR_pGetNetworkWaypoint(5, 2), &NAV_pWaypointTable()[2][5]);
  EXPECT_TRUE(T_NAV_TWR_bIsLocalWaypoint(0x0005));
  EXPECT_FALSE(T_NAV_TWR_bIsLocalWaypoint(0x1005));
  EXPECT_EQ(T_NAV_pGetRoute(49), &NAV_pRouteTable()[49]);
  EXPECT_EQ(T_NAV_pGetRoute(50), nullptr);
  EXPECT_EQ(T_NAV_pGetTrackHeader(50), nullptr);
  EXPECT_EQ(T_NAV_pGetWendrix(50), nullptr);
  EXPECT_EQ(T_NAV_pGetWendrixHeader(0x10000 + 3), &NAV_pWendrixTable()[3].tHeader);

  // A slot past the table answers an empty slot, cleared again at each answer.
  testing::internal::CaptureStdout();
  WAYPOINT *pFree = T_NAV_pGetWaypoint(0x0BB8);
  ASSERT_NE(pFree, nullptr);
  EXPECT_EQ(pFree->u8Status, 0);
  pFree->u8Status = 1;
  pFree = T_NAV_pGetWaypoint(0x3FFF);
  EXPECT_EQ(pFree->u8Status, 0);
  EXPECT_NE(testing::internal::GetCapturedStdout().find("past the table"), std::string::npos);

  WAYPOINT aSpace[4] = {};
  NAV_DATA_SPACE space{aSpace, 4, nullptr, 0, nullptr, 0, nullptr, 0};
  EXPECT_EQ(T_NAV_pGetWaypointEX(&space, 3), &aSpace[3]);
  EXPECT_EQ(T_NAV_pGetWaypointEX(&space, 4), nullptr);
  EXPECT_EQ(T_NAV_pGetWaypointEX(&space, 0xFFFF), nullptr);
  EXPECT_EQ(T_NAV_pGetWaypointEX(nullptr, 7), &NAV_pWaypointTable()[0][7]);
}

TEST_F(RecordsTest, ScanWaypointsVisitsSlotsBelowEachBanksTop) {
  S32 nIndex = 0xFFFF;
  WAYPOINT *pWaypoint = nullptr;
  EXPECT_FALSE(T_NAV_bScanWaypoints(&nIndex, &pWaypoint, FALSE));
  EXPECT_EQ(T_NAV_TWR_u16GetMaxUsedWaypoint(), 0);

  NAV_pWaypointTable()[0][0].u8Status = 1;
  NAV_pWaypointTable()[0][2].u8Status = 1;
  NAV_pnMaxUsedWaypointIndex()[0] = 3;
  NAV_pWaypointTable()[2][0].u8Status = 1;
  NAV_pnMaxUsedWaypointIndex()[2] = 1;
  std::vector<S32> visited;
  for (nIndex = 0xFFFF; T_NAV_bScanWaypoints(&nIndex, &pWaypoint, FALSE);) {
    visited.push_back(nIndex);
    EXPECT_EQ(pWaypoint, T_NAV_pGetWaypoint(static_cast<U32>(nIndex)));
  }
  EXPECT_EQ(visited, (std::vector<S32>{0, 1, 2, 0x2000}));
  visited.clear();
  for (nIndex = -1; T_NAV_bScanWaypoints(&nIndex, &pWaypoint, TRUE);) visited.push_back(nIndex);
  EXPECT_EQ(visited, (std::vector<S32>{0x2000}));
  EXPECT_EQ(T_NAV_TWR_u16GetMaxUsedWaypoint(), 3);
  EXPECT_EQ(T_NAV_TWR_nGetMaxUsedWaypointIndex(2), 1);
}

// Each record kind: a filled record, its image size, fields at their offsets in both byte orders, and the
// round trip back through the stream conversion.
struct ImageCase {
  const char *pcName;
  U8 u8Type;
  U32 nBytes;
  std::function<void(U8 *)> fnPack;            // fills a record and packs it (little-endian)
  std::function<void(const U8 *)> fnCheckBack;  // unpacks and compares with the filled record
  std::vector<std::pair<U32, U32>> fields;      // (offset, width) of numbers that must appear reversed
};

TEST_F(RecordsTest, EveryRecordRoundTripsThroughBothByteOrders) {
  WAYPOINT tWaypoint = waypoint("ABCDEFGHIJKL", -20038300, 15433198, 44);
  tWaypoint.bHide = 1;
  tWaypoint.bWpNotShared = 1;
  GROUP_SLOT tHeaderSlot{};
  tHeaderSlot.tHeader.u8Status = WP_STATUS_GROUP_HEADER;
  tHeaderSlot.tHeader.u8Icon = 9;
  tHeaderSlot.tHeader.u16Depth = 0x1122;
  tHeaderSlot.tHeader.u32DateTime = 0x33445566;
  tHeaderSlot.tHeader.u16ParentIndex = 0xFFFF;
  tHeaderSlot.tHeader.u16Reserved1 = 0x0102;
  tHeaderSlot.tHeader.u16FirstBodyIndex = 0x0BB7;
  tHeaderSlot.tHeader.u16Reserved2 = 0x0304;
  std::strcpy(tHeaderSlot.tHeader.sName, "Group");
  GROUP_SLOT tBodySlot{};
  tBodySlot.tBody.u8Status = WP_STATUS_GROUP_BODY;
  tBodySlot.tBody.u16NextIndex = 0x0A0B;
  for (U16 i = 0; i < 12; ++i) tBodySlot.tBody.u16Item[i] = static_cast<U16>(0x8800 + i);
  static ROUTE tRoute{};
  tRoute.nCount = 50;
  tRoute.bHide = 1;
  tRoute.bRtNotShared = 1;
  tRoute.u32DateTime = 0xA1B2C3D4;
  std::strcpy(tRoute.sName, "Nineteen characters");
  for (U16 i = 0; i < 50; ++i) tRoute.anWaypoint[i] = static_cast<U16>(0x2000 + 7 * i);
  static TRACK tTrack{};
  tTrack.sHeader.u16Count = 21836;
  tTrack.sHeader.u16FirstDelta = 21834;
  tTrack.sHeader.u32DateTime = 0x0A0B0C0D;
  tTrack.sHeader.ptFirst = POINT{-1, -2};
  tTrack.sHeader.ptLast = POINT{3, 4};
  tTrack.sHeader.ptLowerLeft = POINT{-5, -6};
  tTrack.sHeader.ptUpperRight = POINT{7, 8};
  std::strcpy(tTrack.sHeader.sName, "Track");
  for (U32 i = 0; i < NAV_TRACK_DELTAS; ++i) {
    tTrack.aDelta[i] = TRACK_DELTA_DEPTH_TRIPLE{static_cast<S16>(i), static_cast<S16>(-static_cast<S32>(i)),
                                               static_cast<U16>(i * 3)};
  }
  tTrack.u16Reserved = 0x5A5A;
  static WENDRIX tWendrix{};
  tWendrix.tHeader.nCount = 352;
  tWendrix.tHeader.u32DateTime = 0x10203040;
  std::strcpy(tWendrix.tHeader.sName, "Path");
  tWendrix.tHeader.pad1 = 0x01020304;
  tWendrix.tHeader.u32Flags = 0x0A0B0C0D;
  tWendrix.tHeader.u32TotalLengthFt = 123456;
  tWendrix.tHeader.u32Color = 5;
  tWendrix.tHeader.ptUpperRight = POINT{100, -100};
  tWendrix.tHeader.u64UID = 0x0102030405060708ull;
  tWendrix.tHeader.u32LastModifiedTimeNDate = 77;
  tWendrix.tHeader.u32MMCToWendrixId = 0x11223344;
  tWendrix.tHeader.ptOriginPt = POINT{9, 10};
  tWendrix.tHeader.u32PointsHash = 0xCAFEBABE;
  tWendrix.tHeader.pad[147] = 0xEE;
  for (U32 i = 0; i < NAV_WENDRIX_POINTS; ++i) tWendrix.aTrackPoints[i] = POINT{static_cast<S32>(i), -1000};

  auto slotCase = [](const char *pcName, const WAYPOINT &slot, std::vector<std::pair<U32, U32>> fields) {
    return ImageCase{pcName, NAV_FILE_WAYPOINT, 28, [&slot](U8 *p) { NAV_vPackWaypoint(&slot, p); },
                     [&slot](const U8 *p) {
                       WAYPOINT back;
                       NAV_vUnpackWaypoint(p, &back);
                       EXPECT_EQ(std::memcmp(&back, &slot, sizeof back), 0);
                     },
                     fields};
  };
  const std::vector<ImageCase> aCases = {
      slotCase("waypoint", tWaypoint, {{2, 2}, {4, 4}, {8, 4}, {12, 4}}),
      slotCase("group header", tHeaderSlot.tWaypoint, {{2, 2}, {4, 4}, {8, 2}, {10, 2}, {12, 2}, {14, 2}}),
      slotCase("group body", tBodySlot.tWaypoint, {{2, 2}, {4, 2}, {26, 2}}),
      {"route", NAV_FILE_ROUTE, 128, [](U8 *p) { NAV_vPackRoute(&tRoute, p); },
       [](const U8 *p) {
         ROUTE back;
         NAV_vUnpackRoute(p, &back);
         EXPECT_EQ(std::memcmp(&back, &tRoute, sizeof back), 0);
       },
       {{0, 4}, {4, 4}, {28, 2}, {126, 2}}},
      {"track", NAV_FILE_TRACK, 131072, [](U8 *p) { NAV_vPackTrack(&tTrack, p); },
       [](const U8 *p) {
         static TRACK back;
         NAV_vUnpackTrack(p, &back);
         EXPECT_TRUE(T_NAV_DATA_bTrackCompare(&back, &tTrack));
         EXPECT_TRUE(T_NAV_DATA_bTrackCompareEX(&back.sHeader, &tTrack.sHeader));
         EXPECT_EQ(back.u16Reserved, 0x5A5A);
       },
       {{0, 2}, {2, 2}, {4, 4}, {8, 4}, {36, 4}, {60, 2}, {64, 2}, {60 + 6 * 21834, 2}}},
      {"path", NAV_FILE_WENDRIX, 3072, [](U8 *p) { NAV_vPackWendrix(&tWendrix, p); },
       [](const U8 *p) {
         static WENDRIX back;
         NAV_vUnpackWendrix(p, &back);
         EXPECT_EQ(std::memcmp(&back, &tWendrix, sizeof back), 0);
       },
       {{0, 4}, {4, 4}, {28, 4}, {60, 4}, {64, 8}, {72, 4}, {256, 4}, {3068, 4}}},
  };
  for (const ImageCase &c : aCases) {
    SCOPED_TRACE(c.pcName);
    std::vector<U8> little(c.nBytes + 8, 0);
    little[0] = c.u8Type;
    little[1] = c.u8Type == NAV_FILE_WENDRIX ? 1 : 3;
    c.fnPack(little.data() + 8);
    c.fnCheckBack(little.data() + 8);
    std::vector<U8> big = little;
    T_NAV_DATA_vHostToBigEndian(big.data());
    for (auto [nOffset, nWidth] : c.fields) {
      for (U32 k = 0; k < nWidth; ++k) {
        ASSERT_EQ(big[8 + nOffset + k], little[8 + nOffset + nWidth - 1 - k]) << "offset " << nOffset;
      }
    }
    NAV_DATA_STRUCTURE_HEADER tHeader{little[0], little[1], 0, 0, 0};
    T_NAV_DATA_vBigEndianToHost(&tHeader, big.data() + 8);
    EXPECT_EQ(tHeader.u8Type, c.u8Type);
    EXPECT_EQ(std::memcmp(big.data() + 8, little.data() + 8, c.nBytes), 0);
  }
  // Image offsets of the named fields, little-endian.
  std::vector<U8> image(28);
  NAV_vPackWaypoint(&tWaypoint, image.data());
  EXPECT_EQ(image[0], 0xC1);
  EXPECT_EQ(image[1], 44);
  EXPECT_EQ(NAV_u32Get(&image[8], false), static_cast<U32>(-20038300));
  EXPECT_EQ(std::memcmp(&image[16], "ABCDEFGHIJKL", 12), 0);
  image.assign(128, 0);
  NAV_vPackRoute(&tRoute, image.data());
  EXPECT_EQ(NAV_u32Get(&image[0], false), 50u | 3u << 30);
  EXPECT_EQ(NAV_u16Get(&image[28 + 2 * 49], false), 0x2000 + 7 * 49);
}

TEST_F(RecordsTest, BoundsWrapXAndClampY) {
  EXPECT_EQ(NAV_s32WrapX(20038301), 20038301 - 40076600);
  EXPECT_EQ(NAV_s32WrapX(-20038301), -20038301 + 40076600);
  EXPECT_EQ(NAV_s32WrapX(20038300), 20038300);
  EXPECT_EQ(NAV_s32ClampY(15433199), 15433198);
  EXPECT_EQ(NAV_s32ClampY(-16000000), -15433198);
}

}  // namespace
