// Files our writers made, read by an independent struct parser (data/nav_records.py), field by field.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <memory>

#include "nav_fixture.h"
#include "navdata/nav_card.h"

namespace {

using ParserTest = NavStoreTest;
using Fields = std::map<std::string, std::string>;

Fields parse(const char *pcKind, const std::string &sFile) {
  std::string sCommand = std::string("python3 ") + CORVAN_TEST_DATA + "/nav_records.py " + pcKind + " " +
                         sFile + " 2>&1";
  Fields fields;
  FILE *pPipe = popen(sCommand.c_str(), "r");
  if (pPipe == nullptr) return fields;
  char acLine[512];
  while (std::fgets(acLine, sizeof acLine, pPipe) != nullptr) {
    std::string s(acLine);
    if (!s.empty() && s.back() == '\n') s.pop_back();
    size_t uEq = s.find('=');
    fields[uEq == std::string::npos ? "error" : s.substr(0, uEq)] = uEq == std::string::npos ? s : s.substr(uEq + 1);
  }
  EXPECT_EQ(pclose(pPipe), 0) << (fields.count("error") ? fields["error"] : "");
  return fields;
}

std::string name(const char *pc, size_t uMax) { return std::string(pc, strnlen(pc, uMax)); }

void expectFields(const Fields &got, const std::string &sPrefix, const Fields &want) {
  for (const auto &[key, value] : want) {
    auto it = got.find(sPrefix + key);
    if (it == got.end()) {
      ADD_FAILURE() << "no field " << sPrefix + key;
      continue;
    }
    EXPECT_EQ(it->second, value) << sPrefix + key;
  }
}

Fields waypointFields(const WAYPOINT &w) {
  return {{"status", std::to_string(w.u8Status)}, {"hide", std::to_string(w.bHide)},
          {"not_shared", std::to_string(w.bWpNotShared)}, {"icon", std::to_string(w.u8Icon)},
          {"depth", std::to_string(w.u16Depth)}, {"datetime", std::to_string(w.u32DateTime)},
          {"x", std::to_string(w.pt.x)}, {"y", std::to_string(w.pt.y)}, {"name", name(w.sName, 12)}};
}

Fields routeFields(const ROUTE &r) {
  Fields f = {{"count", std::to_string(r.nCount)}, {"hide", std::to_string(r.bHide)},
              {"not_shared", std::to_string(r.bRtNotShared)}, {"datetime", std::to_string(r.u32DateTime)},
              {"name", name(r.sName, 20)}};
  for (U32 i = 0; i < r.nCount; ++i) f["link" + std::to_string(i)] = std::to_string(r.anWaypoint[i]);
  return f;
}

Fields wendrixFields(const WENDRIX &p, bool bCard) {
  const WENDRIX_HEADER &h = p.tHeader;
  Fields f = {{"count", std::to_string(h.nCount)}, {"datetime", std::to_string(h.u32DateTime)},
              {"name", name(h.sName, 12)}, {"pad1", std::to_string(h.pad1)}, {"flags", std::to_string(h.u32Flags)},
              {"length_ft", std::to_string(h.u32TotalLengthFt)}, {"last_used", std::to_string(h.u32DateTimeLastUsed)},
              {"visible", std::to_string(h.u32Visible)}, {"style", std::to_string(h.u32Style)},
              {"color", std::to_string(h.u32Color)}, {"ll_x", std::to_string(h.ptLowerLeft.x)},
              {"ur_y", std::to_string(h.ptUpperRight.y)}, {"uid", std::to_string(h.u64UID)},
              {"modified", std::to_string(h.u32LastModifiedTimeNDate)},
              {"displayed", std::to_string(h.u32DisplayedOnChart)},
              {"closest_tp", bCard ? "0" : std::to_string(h.u32ClosestTP)},
              {"closest_brg", bCard ? "0" : std::to_string(h.u32ClosestBRG)},
              {"mmc_id", std::to_string(h.u32MMCToWendrixId)}, {"origin_x", std::to_string(h.ptOriginPt.x)},
              {"origin_y", std::to_string(h.ptOriginPt.y)}, {"points_hash", std::to_string(h.u32PointsHash)}};
  for (U32 i = 0; i < h.nCount; ++i) {
    f["point" + std::to_string(i)] = std::to_string(p.aTrackPoints[i].x) + "," + std::to_string(p.aTrackPoints[i].y);
  }
  return f;
}

Fields trackFields(const TRACK &t) {
  const TRACK_HEADER &h = t.sHeader;
  Fields f = {{"count", std::to_string(h.u16Count)}, {"first_delta", std::to_string(h.u16FirstDelta)},
              {"datetime", std::to_string(h.u32DateTime)}, {"first_x", std::to_string(h.ptFirst.x)},
              {"last_y", std::to_string(h.ptLast.y)}, {"ll_x", std::to_string(h.ptLowerLeft.x)},
              {"ur_y", std::to_string(h.ptUpperRight.y)}, {"name", name(h.sName, 20)}};
  for (U32 i = 0; i < h.u16Count; ++i) {
    const TRACK_DELTA_DEPTH_TRIPLE &d = t.aDelta[i];
    f["delta" + std::to_string(i)] = std::to_string(d.x) + "," + std::to_string(d.y) + "," + std::to_string(d.u16Depth);
  }
  return f;
}

TEST_F(ParserTest, IndependentParserAgreesWithOurWriters) {
  WAYPOINT w = waypoint("TwelveChars!", -20038300, 15433198, 71);
  w.bHide = 1;
  GROUP_SLOT header{};
  header.tHeader.u8Status = WP_STATUS_GROUP_HEADER;
  header.tHeader.u16ParentIndex = 0xFFFF;
  header.tHeader.u16FirstBodyIndex = 12;
  header.tHeader.u32DateTime = 99;
  std::strcpy(header.tHeader.sName, "Group");
  GROUP_SLOT body{};
  body.tBody.u8Status = WP_STATUS_GROUP_BODY;
  body.tBody.u16NextIndex = 0xFFFF;
  for (U16 i = 0; i < 12; ++i) body.tBody.u16Item[i] = static_cast<U16>(0x8800 + i);
  ROUTE r{};
  r.nCount = 50;
  r.bRtNotShared = 1;
  r.u32DateTime = 0xDEADBEEF;
  std::strcpy(r.sName, "Harbour run");
  for (U16 i = 0; i < 50; ++i) r.anWaypoint[i] = static_cast<U16>(0x1000 + i);
  static WENDRIX p{};
  p.tHeader.nCount = 352;
  p.tHeader.u32DateTime = 5;
  std::strcpy(p.tHeader.sName, "Path");
  p.tHeader.pad1 = 0x01020304;
  p.tHeader.u32Flags = 0x80000001;
  p.tHeader.u32TotalLengthFt = 70000;
  p.tHeader.u32Visible = 1;
  p.tHeader.u32Style = WENDRIX_STYLE_WIDE_LINE;
  p.tHeader.u32Color = 3;
  p.tHeader.ptLowerLeft = POINT{-10, -20};
  p.tHeader.ptUpperRight = POINT{10, 20};
  p.tHeader.u64UID = 0xFEDCBA9876543210ull;
  p.tHeader.u32LastModifiedTimeNDate = 6;
  p.tHeader.u32DisplayedOnChart = 1;
  p.tHeader.u32ClosestTP = 7;
  p.tHeader.u32ClosestBRG = 8;
  p.tHeader.u32MMCToWendrixId = 9;
  p.tHeader.ptOriginPt = POINT{-1, 1};
  p.tHeader.u32PointsHash = 0xABCD;
  for (U32 i = 0; i < 352; ++i) p.aTrackPoints[i] = POINT{static_cast<S32>(i) * 100, -static_cast<S32>(i)};
  static TRACK t{};
  t.sHeader.u16Count = 300;
  t.sHeader.u32DateTime = 44;
  t.sHeader.ptFirst = POINT{-7, 7};
  t.sHeader.ptLast = POINT{8, -8};
  t.sHeader.ptLowerLeft = POINT{-100, -200};
  t.sHeader.ptUpperRight = POINT{300, 400};
  std::strcpy(t.sHeader.sName, "Morning");
  for (U32 i = 0; i < 300; ++i) {
    t.aDelta[i] = TRACK_DELTA_DEPTH_TRIPLE{static_cast<S16>(i * 100 - 15000), static_cast<S16>(-static_cast<S32>(i)),
                                          static_cast<U16>(65000 + i)};
  }

  std::string sCard = path("DATA.QWR");
  {
    FILE *pFile = std::fopen(sCard.c_str(), "wb");
    T_NAV_DATA_bWriteItem(pFile, NAV_FILE_WAYPOINT, 2999, &w);
    T_NAV_DATA_bWriteItem(pFile, NAV_FILE_WAYPOINT, 7, &header);
    T_NAV_DATA_bWriteItem(pFile, NAV_FILE_WAYPOINT, 12, &body);
    T_NAV_DATA_bWriteItem(pFile, NAV_FILE_ROUTE, 49, &r);
    T_NAV_DATA_bWriteItem(pFile, NAV_FILE_WENDRIX, 3, &p);
    std::fclose(pFile);
  }
  Fields card = parse("card", sCard);
  expectFields(card, "0.", {{"type", "2"}, {"version", "3"}, {"size", "36"}, {"index", "2999"}});
  expectFields(card, "0.", waypointFields(w));
  expectFields(card, "1.", {{"status", "16"}, {"parent", "65535"}, {"first_body", "12"}, {"datetime", "99"},
                            {"name", "Group"}});
  expectFields(card, "2.", {{"status", "17"}, {"next", "65535"}, {"item0", "34816"}, {"item11", "34827"}});
  expectFields(card, "3.", {{"type", "3"}, {"size", "136"}, {"index", "49"}});
  expectFields(card, "3.", routeFields(r));
  expectFields(card, "4.", {{"type", "4"}, {"version", "1"}, {"size", "3080"}, {"index", "3"}});
  expectFields(card, "4.", wendrixFields(p, true));

  std::string sTrackCard = path("003.QX");
  {
    FILE *pFile = std::fopen(sTrackCard.c_str(), "wb");
    T_NAV_DATA_bWriteItem(pFile, NAV_FILE_TRACK, 3, &t);
    std::fclose(pFile);
  }
  Fields trackCard = parse("card", sTrackCard);
  expectFields(trackCard, "0.", {{"type", "1"}, {"version", "3"}, {"size", "0"}, {"index", "3"}});
  expectFields(trackCard, "0.", trackFields(t));

  T_NAV_NVRAM_vSaveWaypoint(&w, 2999, FALSE);
  T_NAV_NVRAM_vSaveRoute(&r, 49, FALSE);
  T_NAV_NVRAM_vSaveWendrix(&p, 3, FALSE);
  T_NAV_NVRAM_vSaveTrack(&t, 3, FALSE);
  expectFields(parse("flash", path("wpts/2999")), "0.", waypointFields(w));
  expectFields(parse("flash", path("routes/49")), "0.", routeFields(r));
  expectFields(parse("flash", path("wendrixs/3")), "0.", wendrixFields(p, false));
  expectFields(parse("flash", path("tracks/3")), "0.", trackFields(t));
}

}  // namespace
