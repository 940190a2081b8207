// The Mercator projection runs for every waypoint, track point and cursor move drawn: cost per call, beside PROJ
// computing the same model (sphere of 6,378,388 m over the geocentric latitude).
#include <benchmark/benchmark.h>

#include <vector>

#include "chartlib/nav/nv_navig.h"
#if CORVAN_HAVE_PROJ
#include <proj.h>
#endif

namespace {

std::vector<POSITION> Positions() {
  std::vector<POSITION> v;
  for (int i = 0; i < 1024; ++i) v.push_back({-79.0 + 158.0 * ((i * 37) % 1024) / 1024, -179.0 + 358.0 * i / 1024});
  return v;
}

std::vector<POINT> Points() {
  std::vector<POINT> v;
  for (const POSITION &p : Positions()) {
    POINT pt;
    nv_DegrToMeter(&p, &pt);
    v.push_back(pt);
  }
  return v;
}

void BM_DegrToMeter(benchmark::State &state) {
  const std::vector<POSITION> in = Positions();
  size_t i = 0;
  for (auto _ : state) {
    POINT pt;
    benchmark::DoNotOptimize(nv_DegrToMeter(&in[i++ & 1023], &pt));
    benchmark::DoNotOptimize(pt);
  }
}
BENCHMARK(BM_DegrToMeter);

void BM_MeterToDegr(benchmark::State &state) {
  const std::vector<POINT> in = Points();
  size_t i = 0;
  for (auto _ : state) {
    POSITION p;
    benchmark::DoNotOptimize(nv_MeterToDegr(&in[i++ & 1023], &p));
    benchmark::DoNotOptimize(p);
  }
}
BENCHMARK(BM_MeterToDegr);

#if CORVAN_HAVE_PROJ
struct Proj {
  PJ_CONTEXT *ctx = proj_context_create();
  PJ *pj = proj_create(ctx,
                       "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad +step +proj=geoc +a=6378388 "
                       "+es=0.0067188444694032 +step +proj=merc +R=6378388");
  ~Proj() {
    proj_destroy(pj);
    proj_context_destroy(ctx);
  }
};

// PROJ over the same 1,024 inputs as the grid's own benchmark of that direction.
void ProjRun(benchmark::State &state, PJ_DIRECTION dir) {
  Proj proj;
  if (proj.pj == nullptr) {
    state.SkipWithError("PROJ pipeline not created");
    return;
  }
  std::vector<PJ_COORD> in;
  if (dir == PJ_FWD)
    for (const POSITION &p : Positions()) in.push_back(proj_coord(p.lon, p.lat, 0, 0));
  else
    for (const POINT &p : Points()) in.push_back(proj_coord(p.x, p.y, 0, 0));
  size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(proj_trans(proj.pj, dir, in[i++ & 1023]));
}

void BM_ProjForward(benchmark::State &state) { ProjRun(state, PJ_FWD); }
BENCHMARK(BM_ProjForward);
void BM_ProjInverse(benchmark::State &state) { ProjRun(state, PJ_INV); }
BENCHMARK(BM_ProjInverse);
#endif

}  // namespace
