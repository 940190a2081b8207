// TrueType text drawn from the glyph list against the same text loaded and rendered by FreeType each time.
#include <benchmark/benchmark.h>

#include <vector>

#include "view/buffers.h"
#include "draw/truetype.h"

namespace {

constexpr const char *kText = "SOG 12.4 kn 1013.2 hPa";

struct Frame {
  std::vector<U32> words = std::vector<U32>(800 * 480 / 2);
  BITMAP bitmap{};
  Frame() { G_BUFFERS_pCreateBitmap(800, 480, &bitmap, words.data()); }
};

void BM_TrueTypeCachedGlyphs(benchmark::State &state) {
  static const bool ready = G_TRUETYPE_bInit();
  if (!ready) state.SkipWithError("no face");
  Frame f;
  const POINT at = {10, 200};
  G_TRUETYPE_vRemoveList();
  G_TRUETYPE_vPut(&f.bitmap, kText, &at, 0xFFFF, static_cast<U32>(state.range(0)), 0);
  for (auto _ : state) {
    G_TRUETYPE_vPut(&f.bitmap, kText, &at, 0xFFFF, static_cast<U32>(state.range(0)), 0);
    benchmark::DoNotOptimize(f.words.data());
  }
}
BENCHMARK(BM_TrueTypeCachedGlyphs)->Arg(16)->Arg(24)->Arg(40);

void BM_TrueTypeLoadAndRender(benchmark::State &state) {
  static const bool ready = G_TRUETYPE_bInit();
  if (!ready) state.SkipWithError("no face");
  Frame f;
  const POINT at = {10, 200};
  for (auto _ : state) {
    G_TRUETYPE_vRemoveList(); // every glyph comes from FreeType again (its own cache holds 1,024 bytes)
    G_TRUETYPE_vPut(&f.bitmap, kText, &at, 0xFFFF, static_cast<U32>(state.range(0)), 0);
    benchmark::DoNotOptimize(f.words.data());
  }
}
BENCHMARK(BM_TrueTypeLoadAndRender)->Arg(16)->Arg(24)->Arg(40);

} // namespace
