// A child saves records and appends current-track points until it is killed at a random moment; every record it
// reported loads whole, the one in flight loads as old or new, and the rebuilt track holds every reported point.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <random>

#include "nav/track.h"
#include "nav_fixture.h"

namespace {

namespace fs = std::filesystem;

constexpr U32 kWaypointSlots = 16, kRoutes = 4, kPaths = 3, kTracks = 2;

struct Op {
  U32 k;
  WAYPOINT w;
  ROUTE r;
  WENDRIX p;
  bool bTrack;
  POINT pt;
  bool bGap;
};

// Op k: the same records and point in child and parent.
std::unique_ptr<Op> op(U32 k) {
  auto o = std::make_unique<Op>();
  std::memset(o.get(), 0, sizeof *o);
  o->k = k;
  o->w.u8Status = WP_STATUS_NORMAL;
  o->w.u32DateTime = k;
  o->w.pt = POINT{static_cast<S32>(k), -static_cast<S32>(k)};
  std::snprintf(o->w.sName, sizeof o->w.sName, "W%u", static_cast<unsigned>(k));
  o->r.nCount = k % 50;
  o->r.u32DateTime = k;
  for (U32 i = 0; i < 50; ++i) o->r.anWaypoint[i] = static_cast<U16>((k + i) % 3000);
  o->p.tHeader.nCount = k % 352;
  o->p.tHeader.u32DateTime = k;
  for (U32 i = 0; i < 352; ++i) o->p.aTrackPoints[i] = POINT{static_cast<S32>(k), static_cast<S32>(i)};
  o->bTrack = k % 16 == 0;
  o->pt = POINT{static_cast<S32>(1000 + 3 * k), static_cast<S32>((k % 5) * 10)};
  o->bGap = k % 7 == 0;
  return o;
}

std::unique_ptr<TRACK> savedTrack(U32 k) {
  auto t = std::make_unique<TRACK>();
  std::memset(t.get(), 0, sizeof *t);
  t->sHeader.u16Count = static_cast<U16>(1 + k % 100);
  t->sHeader.u32DateTime = k;
  for (U32 i = 0; i < 100; ++i) t->aDelta[i] = TRACK_DELTA_DEPTH_TRIPLE{static_cast<S16>(k), static_cast<S16>(i), 0};
  return t;
}

[[noreturn]] void childLoop(U32 kFirst, int fdReport) {
  auto pTrack = std::make_unique<TRACK>();
  T_NAV_NVRAM_vScanCurrentTrack(pTrack.get());
  for (U32 k = kFirst;; ++k) {
    auto o = op(k);
    T_NAV_NVRAM_vSaveWaypoint(&o->w, static_cast<U16>(k % kWaypointSlots), TRUE);
    T_NAV_NVRAM_vSaveRoute(&o->r, static_cast<U16>(k % kRoutes), TRUE);
    T_NAV_NVRAM_vSaveWendrix(&o->p, static_cast<U16>(k % kPaths), TRUE);
    if (o->bTrack) T_NAV_NVRAM_vSaveTrack(savedTrack(k).get(), static_cast<U16>((k / 16) % kTracks), TRUE);
    NAVTEST_vAppendPoint(pTrack.get(), o->pt, o->bGap);
    if (write(fdReport, &k, sizeof k) != sizeof k) _exit(3);
  }
}

TEST(PowerLossTest, KilledWritersLoseNothingReported) {
  NAV_vClearTables();
  for (const char *pcDir : {"wpts", "routes", "tracks", "cr_track", "wendrixs"}) {
    fs::remove_all(std::string(L_UTILS_cpGetPathnamePtr()) + "/" + pcDir);
  }
  H_DATABASE_bUpdateValueU32(FCID("CCST"), 3, P_NORMAL);
  T_NAV_NVRAM_vInit();
  T_NAV_NVRAM_vEraseCurrentTrack();
  // Two seed points, so the ring file has its origin before the first child starts.
  std::vector<std::pair<POINT, bool>> reportedPoints;
  {
    auto pTrack = std::make_unique<TRACK>();
    U_NAV_vClearTrack(&pTrack->sHeader);
    NAVTEST_vAppendPoint(pTrack.get(), POINT{0, 0}, false);
    NAVTEST_vAppendPoint(pTrack.get(), POINT{10, 10}, false);
    reportedPoints.push_back({POINT{10, 10}, false});
  }
  std::mt19937 rng(20261211);
  U32 kNext = 1;
  std::optional<U32> lastReported;
  const int kRounds = 200;
  for (int round = 0; round < kRounds; ++round) {
    SCOPED_TRACE(round);
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      close(fds[0]);
      childLoop(kNext, fds[1]);
    }
    close(fds[1]);
    // Wait for a few reports, then let the child run on for a random while before the kill.
    U32 nWait = 1 + rng() % 4, k = 0;
    std::vector<U32> reports;
    while (reports.size() < nWait && read(fds[0], &k, sizeof k) == sizeof k) reports.push_back(k);
    auto tEnd = std::chrono::steady_clock::now() + std::chrono::microseconds(rng() % 4000);
    while (std::chrono::steady_clock::now() < tEnd) {
    }
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    while (read(fds[0], &k, sizeof k) == sizeof k) reports.push_back(k);
    close(fds[0]);
    ASSERT_TRUE(WIFSIGNALED(status));
    for (U32 r : reports) {
      auto o = op(r);
      reportedPoints.push_back({o->pt, o->bGap});
    }
    if (!reports.empty()) lastReported = reports.back();
    U32 kInFlight = lastReported ? *lastReported + 1 : 1;

    // Load as at start-up.
    NAV_vClearTables();
    S32 nTop = 0, nPaths = 0;
    T_NAV_NVRAM_vScan(NAV_pTrackHeaderTable(), NAV_pWaypointTable()[0], &nTop, NAV_pRouteTable());
    T_NAV_NVRAM_vScanWendrix(NAV_pWendrixTable(), &nPaths);
    for (const char *pcDir : {"wpts", "routes", "tracks", "wendrixs"}) {
      for (const auto &entry : fs::directory_iterator(std::string(L_UTILS_cpGetPathnamePtr()) + "/" + pcDir)) {
        EXPECT_EQ(entry.path().extension(), "") << entry.path();
      }
    }
    // Each slot holds the record of the last reported op that wrote it, or of the op in flight.
    auto lastWriter = [&](U32 nSlot, U32 nSlots, U32 kUpTo) -> std::optional<U32> {
      for (U32 kk = kUpTo; kk >= 1; --kk) {
        if (kk % nSlots == nSlot) return kk;
      }
      return std::nullopt;
    };
    U32 kDone = lastReported.value_or(0);
    for (U32 s = 0; s < kWaypointSlots; ++s) {
      auto kOld = kDone ? lastWriter(s, kWaypointSlots, kDone) : std::nullopt;
      WAYPOINT got = NAV_pWaypointTable()[0][s];
      bool bOld = kOld ? std::memcmp(&got, &op(*kOld)->w, sizeof got) == 0 : got.u8Status == 0;
      bool bNew = kInFlight % kWaypointSlots == s && std::memcmp(&got, &op(kInFlight)->w, sizeof got) == 0;
      EXPECT_TRUE(bOld || bNew) << "waypoint slot " << s;
    }
    for (U32 s = 0; s < kRoutes; ++s) {
      auto kOld = kDone ? lastWriter(s, kRoutes, kDone) : std::nullopt;
      ROUTE got = NAV_pRouteTable()[s];
      bool bOld = kOld ? std::memcmp(&got, &op(*kOld)->r, sizeof got) == 0 : got.nCount == 0 && got.u32DateTime == 0;
      bool bNew = kInFlight % kRoutes == s && std::memcmp(&got, &op(kInFlight)->r, sizeof got) == 0;
      EXPECT_TRUE(bOld || bNew) << "route " << s;
    }
    for (U32 s = 0; s < kPaths; ++s) {
      auto kOld = kDone ? lastWriter(s, kPaths, kDone) : std::nullopt;
      const WENDRIX &got = NAV_pWendrixTable()[s];
      bool bOld = kOld ? std::memcmp(&got, &op(*kOld)->p, sizeof got) == 0 : got.tHeader.u32DateTime == 0;
      bool bNew = kInFlight % kPaths == s && std::memcmp(&got, &op(kInFlight)->p, sizeof got) == 0;
      EXPECT_TRUE(bOld || bNew) << "path " << s;
    }
    for (U32 s = 0; s < kTracks; ++s) {
      U32 nWhen = NAV_pTrackHeaderTable()[s].u32DateTime;
      TRACK *pTrack = T_NAV_NVRAM_pLoadTrack(s);
      if (nWhen != 0) {
        EXPECT_TRUE(nWhen <= kInFlight && nWhen % 16 == 0 && (nWhen / 16) % kTracks == s) << "track " << s;
        EXPECT_EQ(std::memcmp(pTrack, savedTrack(nWhen).get(), sizeof(TRACK)), 0) << "track " << s;
      }
      T_NAV_NVRAM_vReleaseTrack();
    }

    // The current track: every reported point in order, the point in flight perhaps.
    auto pRebuilt = std::make_unique<TRACK>();
    T_NAV_NVRAM_vScanCurrentTrack(pRebuilt.get());
    std::vector<std::pair<POINT, bool>> got;
    U16 u16It = 0, u16Depth = 0;
    POINT pt{};
    for (TRACKPOINT_TYPE e; (e = U_NAV_eScanTrack(pRebuilt.get(), &u16It, &pt, &u16Depth)) != TRACKPOINT_INVALID;) {
      got.push_back({pt, e == TRACKPOINT_GAP});
    }
    auto same = [](const std::vector<std::pair<POINT, bool>> &a, const std::vector<std::pair<POINT, bool>> &b) {
      if (a.size() != b.size()) return false;
      for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].first.x != b[i].first.x || a[i].first.y != b[i].first.y || a[i].second != b[i].second) return false;
      }
      return true;
    };
    auto withInFlight = reportedPoints;
    withInFlight.push_back({op(kInFlight)->pt, op(kInFlight)->bGap});
    if (same(got, withInFlight)) {
      reportedPoints = withInFlight;
      lastReported = kInFlight;
    } else {
      ASSERT_TRUE(same(got, reportedPoints)) << "rebuilt " << got.size() << " points, reported "
                                            << reportedPoints.size();
    }
    kNext = lastReported.value_or(0) + 1;
  }
  EXPECT_GT(reportedPoints.size(), 200u);
}

}  // namespace
