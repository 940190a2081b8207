// The current track's ring files: appends, rotation, rebuild and the cut-back of a partial last call.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "nav/track.h"
#include "nav_fixture.h"

namespace {

namespace fs = std::filesystem;

struct Point {
  S32 x, y;
  TRACKPOINT_TYPE eType;
  bool operator==(const Point &o) const { return x == o.x && y == o.y && eType == o.eType; }
};

std::ostream &operator<<(std::ostream &os, const Point &p) { return os << "(" << p.x << "," << p.y << "," << p.eType << ")"; }

std::vector<Point> points(TRACK *pTrack) {
  std::vector<Point> out;
  U16 u16It = 0, u16Depth = 0;
  POINT pt{};
  for (TRACKPOINT_TYPE e; (e = U_NAV_eScanTrack(pTrack, &u16It, &pt, &u16Depth)) != TRACKPOINT_INVALID;) {
    out.push_back(Point{pt.x, pt.y, e});
  }
  return out;
}

// The navigation task's side: the current track and one ring-file call per new delta.
struct Recorder {
  std::unique_ptr<TRACK> pTrack = std::make_unique<TRACK>();
  Recorder() { U_NAV_vClearTrack(&pTrack->sHeader); }
  void add(S32 x, S32 y, bool bGap = false) { NAVTEST_vAppendPoint(pTrack.get(), POINT{x, y}, bGap); }
};

class RingTest : public NavStoreTest {
 protected:
  std::vector<Point> rebuilt() {
    auto pRebuilt = std::make_unique<TRACK>();
    T_NAV_NVRAM_vScanCurrentTrack(pRebuilt.get());
    return points(pRebuilt.get());
  }
};

TEST_F(RingTest, AppendsRebuildToTheRecordedPoints) {
  Recorder rec;
  rec.add(0, 0);  // no delta yet: nothing is written
  EXPECT_FALSE(fs::exists(path("cr_track/track.2")));
  rec.add(100, 100);
  EXPECT_EQ(readFile(path("cr_track/track.2")).size(), 10u);
  rec.add(150, 90);
  rec.add(5000, 5000, true);
  rec.add(5100, 5000);
  rec.add(5100, 5000);
  EXPECT_EQ(readFile(path("cr_track/track.2")).size(), 10u + 6 + 18 + 6 + 6);
  std::vector<Point> expected = {{100, 100, TRACKPOINT_NORMAL}, {150, 90, TRACKPOINT_NORMAL},
                                 {5000, 5000, TRACKPOINT_GAP},  {5100, 5000, TRACKPOINT_NORMAL},
                                 {5100, 5000, TRACKPOINT_NORMAL}};
  EXPECT_EQ(rebuilt(), expected);
  EXPECT_EQ(NAV_NVRAM_s32CurrentTrackOffset(), 46);
}

TEST_F(RingTest, OriginOnlyAndLeadingGapAndMarkersWithoutPair) {
  std::vector<U8> file(10);
  NAV_vPut32(file.data(), static_cast<U32>(-20038300), false);
  NAV_vPut32(&file[4], 15433198, false);
  writeFile(path("cr_track/track.2"), file);
  EXPECT_EQ(rebuilt(), (std::vector<Point>{{-20038300, 15433198, TRACKPOINT_NORMAL}}));

  // A file that begins with a gap: origin, pair, (1, 1); the origin is read back as a gap point.
  Recorder rec;
  rec.add(0, 0);
  rec.add(10, 10);
  T_NAV_NVRAM_vEraseCurrentTrack();
  rec.add(30000, 30000, true);
  auto bytes = readFile(path("cr_track/track.2"));
  ASSERT_EQ(bytes.size(), 28u);
  EXPECT_EQ(NAV_u32Get(bytes.data(), false), 30000u);
  EXPECT_EQ(NAV_u16Get(&bytes[10], false), 0x7FFF);
  EXPECT_EQ(NAV_u16Get(&bytes[16], false), 0x8000);
  EXPECT_EQ(NAV_u16Get(&bytes[22], false), 1);
  rec.add(30010, 30000);
  // An empty track starts without a marker, so the first point reads as an ordinary one.
  auto got = rebuilt();
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].x, 30000);
  EXPECT_EQ(got[1], (Point{30010, 30000, TRACKPOINT_NORMAL}));

  // (0x7FFF, 0x7FFF) without the second marker: two ordinary deltas.
  file.resize(10);
  NAV_vPut32(file.data(), 0, false);
  NAV_vPut32(&file[4], 0, false);
  for (S16 v : {0x7FFF, 0x7FFF, 0, 1, 1, 0}) {
    U8 au8[2];
    NAV_vPut16(au8, static_cast<U16>(v), false);
    file.insert(file.end(), au8, au8 + 2);
  }
  writeFile(path("cr_track/track.2"), file);
  fs::remove(path("cr_track/track.1"));
  EXPECT_EQ(rebuilt(), (std::vector<Point>{{0, 0, TRACKPOINT_NORMAL}, {32767, 32767, TRACKPOINT_NORMAL},
                                           {32768, 32768, TRACKPOINT_NORMAL}}));
}

TEST_F(RingTest, FullFileRotatesAtTheNextPoint) {
  Recorder rec;
  rec.add(0, 0);
  rec.add(1, 0);  // origin
  for (S32 i = 0; i < 21835; ++i) rec.add(2 + i, i % 2);
  EXPECT_EQ(readFile(path("cr_track/track.2")).size(), 131020u);
  EXPECT_FALSE(fs::exists(path("cr_track/track.1")));
  rec.add(-5, -5);
  EXPECT_EQ(readFile(path("cr_track/track.1")).size(), 131020u);
  auto bytes = readFile(path("cr_track/track.2"));
  ASSERT_EQ(bytes.size(), 10u);
  EXPECT_EQ(static_cast<S32>(NAV_u32Get(bytes.data(), false)), -5);
  rec.add(-4, -5);
  auto got = rebuilt();
  auto want = points(rec.pTrack.get());
  ASSERT_EQ(got.size(), want.size());
  EXPECT_EQ(got.back(), want.back());
  EXPECT_EQ(got[got.size() - 2], want[want.size() - 2]);
}

TEST_F(RingTest, RebuildAndEraseActOnlyInNormalRun) {
  Recorder rec;
  rec.add(0, 0);
  rec.add(5, 5);
  H_DATABASE_bUpdateValueU32(FCID("CCST"), 4, P_NORMAL);
  auto pTrack = std::make_unique<TRACK>();
  pTrack->sHeader.u16Count = 0;
  T_NAV_NVRAM_vScanCurrentTrack(pTrack.get());
  EXPECT_EQ(pTrack->sHeader.u16Count, 0);
  T_NAV_NVRAM_vEraseCurrentTrack();
  EXPECT_TRUE(fs::exists(path("cr_track/track.2")));
  H_DATABASE_bUpdateValueU32(FCID("CCST"), 3, P_NORMAL);
  T_NAV_NVRAM_vEraseCurrentTrack();
  EXPECT_FALSE(fs::exists(path("cr_track/track.2")));
  EXPECT_EQ(NAV_NVRAM_s32CurrentTrackOffset(), 0);
}

// A cut inside the last call: the rebuild leaves the partial call out, cuts the file back to the last whole call,
// and the next append lines up with it.
TEST_F(RingTest, PartialLastCallIsCutBack) {
  struct Cut {
    const char *pcWhere;
    size_t uKeep;  // bytes of the last (gap) call that survive
  } const aCuts[] = {{"inside the pair's first marker", 3}, {"after the first marker", 6},
                     {"inside the second marker", 9},       {"after the pair", 12},
                     {"inside the delta after the pair", 15}};
  for (const Cut &cut : aCuts) {
    SCOPED_TRACE(cut.pcWhere);
    T_NAV_NVRAM_vEraseCurrentTrack();
    Recorder rec;
    rec.add(0, 0);
    rec.add(10, 0);
    rec.add(20, 0);
    auto whole = readFile(path("cr_track/track.2"));
    rec.add(900, 900, true);
    auto bytes = readFile(path("cr_track/track.2"));
    ASSERT_EQ(bytes.size(), whole.size() + 18);
    bytes.resize(whole.size() + cut.uKeep);
    writeFile(path("cr_track/track.2"), bytes);
    std::vector<Point> expected = {{10, 0, TRACKPOINT_NORMAL}, {20, 0, TRACKPOINT_NORMAL}};
    EXPECT_EQ(rebuilt(), expected);
    EXPECT_EQ(readFile(path("cr_track/track.2")), whole);
    EXPECT_EQ(NAV_NVRAM_s32CurrentTrackOffset(), static_cast<S32>(whole.size()));

    // A plain delta cut in the middle, then the next append.
    Recorder next;
    next.add(20, 0);
    next.add(30, 0);
    bytes = readFile(path("cr_track/track.2"));
    bytes.resize(bytes.size() - 2);
    writeFile(path("cr_track/track.2"), bytes);
    EXPECT_EQ(rebuilt(), expected);
    next.add(40, 5);
    expected.push_back({40 - 10, 5, TRACKPOINT_NORMAL});  // the delta (20, 5) from the last whole point
    EXPECT_EQ(rebuilt(), expected);
  }
}

}  // namespace
