// The chart raster layer on a full 800 x 480 image: word-wise spans against a plain 16-bit fill, the upright
// icon path against the general one, and a 1,000-segment polyline with and without clipping.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "chartlib/raster/gp_gl.h"

namespace {

constexpr SINT kW = 800, kH = 480;

struct Image {
  std::vector<SINT> words = std::vector<SINT>((size_t)(kW / 2) * kH);
  GR_CONTEXT gc{};
  Image()
  {
    static UINT16 palette[256];
    for (int i = 0; i < 256; i++) palette[i] = (UINT16)(i * 0x0421);
    gr_SetColorPalette(palette);
    gr_InitGC(&gc, kW, kH, words.data());
    gr_SetPatternStatus(&gc, 0);
    gr_SetTranspAttr(&gc, 0, 7);
  }
};

void BM_HorLineRows(benchmark::State &state)
{
  Image img;
  gr_SetColor(&img.gc, 0x80000000u | 0x1234);
  gr_SetGMode(&img.gc, (SINT)state.range(0));
  for (auto _ : state) {
    for (SINT r = 0; r < kH; r++) gf_HorLine(&img.gc, 0, r, kW);
    benchmark::DoNotOptimize(img.words.data());
  }
  state.SetItemsProcessed(state.iterations() * kW * kH);
}
BENCHMARK(BM_HorLineRows)->Arg(0)->Arg(24);

// The peer: a plain loop storing one 16-bit pixel at a time.
void BM_PlainFillRows(benchmark::State &state)
{
  std::vector<uint16_t> pixels((size_t)kW * kH);
  volatile uint16_t colour = 0x1234;
  for (auto _ : state) {
    const uint16_t c = colour;
    for (SINT r = 0; r < kH; r++) {
      uint16_t *row = pixels.data() + (size_t)r * kW;
      for (SINT x = 0; x < kW; x++) row[x] = c;
    }
    benchmark::DoNotOptimize(pixels.data());
  }
  state.SetItemsProcessed(state.iterations() * kW * kH);
}
BENCHMARK(BM_PlainFillRows);

// 32 x 32 icons, 16 bytes per row.
const std::vector<UCHAR> &icons()
{
  static const std::vector<UCHAR> data = [] {
    std::vector<UCHAR> v(16 * 32);
    for (size_t i = 0; i < v.size(); i++) v[i] = (UCHAR)(i * 37);
    return v;
  }();
  return data;
}

void BM_Icon(benchmark::State &state)
{
  Image img;
  gr_InitBitmap(&img.gc, icons().data(), 0, 32, 32, 16 * 32);
  gr_SetTranspAttr(&img.gc, 1, 7);
  const bool general = state.range(0) != 0;
  SINT k = 0;
  for (auto _ : state) {
    img.gc.cp = {40 + (k * 37) % 700, 40 + (k * 53) % 400};
    k++;
    benchmark::DoNotOptimize(general ? gf_PrintBitmap(&img.gc, 0) : gf_PrintFastBitmap(&img.gc, 0));
  }
  state.SetItemsProcessed(state.iterations() * 32 * 32);
  state.SetLabel(general ? "general path" : "fast path");
}
BENCHMARK(BM_Icon)->Arg(0)->Arg(1);

// A wandering 1,000-segment polyline over the image: without the clip test, with it, and cut to the middle.
void BM_Polyline(benchmark::State &state)
{
  Image img;
  const int64_t variant = state.range(0); // 0 no clip test, 1 clip test over the whole image, 2 cut
  if (variant == 2) gr_SetClipArea(&img.gc, 200, 120, 400, 240);
  std::vector<PIXELPOS> pts(1001);
  uint32_t seed = 12345;
  for (PIXELPOS &p : pts) {
    seed = seed * 1103515245u + 12345u;
    p.px = (SINT)((seed >> 8) % kW);
    seed = seed * 1103515245u + 12345u;
    p.py = (SINT)((seed >> 8) % kH);
  }
  for (auto _ : state) {
    gr_SetAbsPenPos(&img.gc, pts[0].px, pts[0].py);
    for (size_t i = 1; i < pts.size(); i++) {
      if (variant == 0) {
        gr_ClipAndDrawAbsLine(&img.gc, pts[i].px, pts[i].py, 0);
      } else {
        gr_DrawAbsLine(&img.gc, pts[i].px, pts[i].py);
      }
    }
    benchmark::DoNotOptimize(img.words.data());
  }
  state.SetItemsProcessed(state.iterations() * 1000);
  state.SetLabel(variant == 0 ? "unclipped" : variant == 1 ? "clip test, all inside" : "cut to a quarter");
}
BENCHMARK(BM_Polyline)->Arg(0)->Arg(1)->Arg(2);

} // namespace
