// The navigation store's start-up scan of full directories and one saved-track write, on a tmpfs data directory.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "navdata/nav_nvram.h"
#include "navdata/nav_records.h"
#include "platform/datadir.h"

namespace {

// The data directory is read once, so it is chosen before anything runs.
struct DataDir {
  std::string sPath;
  DataDir() {
    char acTemplate[] = "/dev/shm/corvan-bench-XXXXXX";
    const char *pc = mkdtemp(acTemplate);
    sPath = pc != nullptr ? pc : "/tmp";
    setenv("CORVAN_CWD", sPath.c_str(), 1);
  }
  ~DataDir() {
    std::error_code ignored;
    std::filesystem::remove_all(sPath, ignored);
  }
} s_dataDir;

void vFillStore() {
  T_NAV_NVRAM_vInit();
  WAYPOINT w{};
  w.u8Status = WP_STATUS_NORMAL;
  std::strcpy(w.sName, "Mark");
  for (U16 i = 0; i < NAV_WAYPOINT_SLOTS; ++i) {
    w.pt = POINT{i, -i};
    T_NAV_NVRAM_vSaveWaypoint(&w, i, TRUE);
  }
  ROUTE r{};
  r.nCount = 50;
  auto pTrack = std::make_unique<TRACK>();
  std::memset(pTrack.get(), 0, sizeof(TRACK));
  pTrack->sHeader.u16Count = 21836;
  auto pWendrix = std::make_unique<WENDRIX>();
  std::memset(pWendrix.get(), 0, sizeof(WENDRIX));
  pWendrix->tHeader.nCount = 352;
  for (U16 i = 0; i < 50; ++i) {
    T_NAV_NVRAM_vSaveRoute(&r, i, TRUE);
    T_NAV_NVRAM_vSaveTrack(pTrack.get(), i, TRUE);
    T_NAV_NVRAM_vSaveWendrix(pWendrix.get(), i, TRUE);
  }
}

void BM_StartUpScan(benchmark::State &state) {
  vFillStore();
  S32 nTop = 0, nPaths = 0;
  for (auto _ : state) {
    NAV_vClearTables();
    T_NAV_NVRAM_vScan(NAV_pTrackHeaderTable(), NAV_pWaypointTable()[0], &nTop, NAV_pRouteTable());
    T_NAV_NVRAM_vScanWendrix(NAV_pWendrixTable(), &nPaths);
    benchmark::DoNotOptimize(nTop);
  }
}
BENCHMARK(BM_StartUpScan)->Unit(benchmark::kMillisecond);

void BM_SaveTrack(benchmark::State &state) {
  T_NAV_NVRAM_vInit();
  auto pTrack = std::make_unique<TRACK>();
  std::memset(pTrack.get(), 0, sizeof(TRACK));
  pTrack->sHeader.u16Count = 21836;
  for (auto _ : state) T_NAV_NVRAM_vSaveTrack(pTrack.get(), 7, TRUE);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 131080);
}
BENCHMARK(BM_SaveTrack)->Unit(benchmark::kMicrosecond);

}  // namespace
