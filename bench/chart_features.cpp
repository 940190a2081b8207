// Chart reader throughput from an in-memory chart image: geometry decoding at scalings 0 and 3 (points per
// second) and features handed out of a packed sounding record.
#include <benchmark/benchmark.h>

#include <random>

#include "chart_files.h"
#include "chart_writer.h"
#include "chartlib/reader/ch2_vector.h"

using namespace chart_fixture;

namespace {

constexpr int32_t kLeft = -9830000, kBottom = 5390000, kRight = -9770000, kTop = 5450000;

struct Chart {
  ChartFiles files;
  MAPCONTEXT2 ctx{};
  LAYERCONTEXT2 lc{};
  FEATURECONTEXT2 fc{};

  explicit Chart(const std::function<uint32_t(FeatureWriter &)> &write) {
    ChartSpec spec;
    MapSpec m;
    m.left = kLeft, m.bottom = kBottom, m.right = kRight, m.top = kTop;
    m.layers = {Layer(140)};
    spec.maps = {m};
    ChartLayout layout;
    ChartWriter w(BuildChart(spec, &layout));
    FeatureWriter f(w);
    const uint32_t first = write(f);
    std::vector<uint8_t> image = w.Data();
    SetFirstFeature(image, layout.firstLayer[0], first);
    files.OpenImage(0, image);
    MapContextFor(0, 0, &ctx);
    ctx.sMapView.sLeftBottomInMM = {kLeft, kBottom};
    ctx.sMapView.sRightTopInMM = {kRight, kTop};
    ctx.sMapZoom.iScaling = 14;
    ctx.sVideoSize = {1024, 1024};
  }
  void Rewind() {
    ch2_GetLayer(&ctx, &lc, 1);
    fc = FEATURECONTEXT2{};
  }
};

void BM_DecodeVector(benchmark::State &state) {
  const SINT scaling = static_cast<SINT>(state.range(0));
  std::mt19937 rng(7);
  std::vector<std::pair<int32_t, int32_t>> pts{{30000, 30000}};
  for (int i = 1; i < 20000; ++i) {
    const int range = i % 8 == 0 ? 100 : 7;
    pts.push_back({pts.back().first + std::uniform_int_distribution<int>(-range, range)(rng),
                   pts.back().second + std::uniform_int_distribution<int>(-range, range)(rng)});
  }
  Chart chart([&](FeatureWriter &f) {
    const uint32_t block = f.Block(30000, 30000, EncodeMoves(pts));
    const uint32_t first = f.Line(false, {0, 0, 1, 1}, 129, ZoomByte(0, 15), {}, {CH2_POINTER_NEW_PART | block});
    f.End();
    return first;
  });
  chart.ctx.sChartView.iScaling = scaling;
  int64_t points = 0;
  VECTORCONTEXT2 vc{};
  MAPDATA2 md{};
  for (auto _ : state) {
    chart.Rewind();
    ch2_GetFeature(&chart.ctx, &chart.lc, &chart.fc, 0);
    while (ch2_GetVector(&chart.ctx, &chart.lc, &chart.fc, &vc, &md) == CH2_WARN_BUFFER_FULL) points += md.iCount / 2;
    points += md.iCount / 2;
    benchmark::DoNotOptimize(md.iBuf[0]);
  }
  state.counters["coded points/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * pts.size(),
                                                        benchmark::Counter::kIsRate);
  state.counters["output points/s"] = benchmark::Counter(static_cast<double>(points), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DecodeVector)->Arg(0)->Arg(3);

void BM_PackedSoundings(benchmark::State &state) {
  std::vector<PackedPoint> items;
  for (uint16_t i = 0; i < 2000; ++i) items.push_back({0, {}, DepthWord(1, static_cast<int16_t>(i % 100)), static_cast<uint16_t>(i * 10), static_cast<uint16_t>(i % 500)});
  Chart chart([&](FeatureWriter &f) {
    const uint32_t first = f.Soundings({-9800000, 5400000, 20000, 1000}, 136, ZoomByte(0, 15), {}, items);
    f.End();
    return first;
  });
  chart.ctx.sMapView.sLeftBottomInMM = {-9800000 + static_cast<int32_t>(state.range(0)), kBottom};
  int64_t features = 0;
  for (auto _ : state) {
    chart.Rewind();
    while (ch2_GetFeature(&chart.ctx, &chart.lc, &chart.fc, 3) == CL_SUCCESS) ++features;
  }
  state.counters["features/s"] = benchmark::Counter(static_cast<double>(features), benchmark::Counter::kIsRate);
}
// 0: the record lies wholly inside (no per-point test); 10000: partly inside (every point tested).
BENCHMARK(BM_PackedSoundings)->Arg(0)->Arg(10000);

}  // namespace
