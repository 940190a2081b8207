// Settings writes with watchers, and the drawing library's block copy of a whole page against memcpy (target:
// at least 0.9× its speed).
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "settings/database.h"
#include "draw/bitmap.h"
#include "draw/bmp.h"
#include "kernel/mbox.h"
#include "kernel/memory.h"
#include "util/byte_number_clock.h"

namespace {

void drain(MBOX mbox) {
  while (void *pv = L_MBOX_Receive(mbox)) H_MEMORY_vDumpMail(pv);
}

// The store keeps its nodes for the life of the process, so the benchmarks fill it once.
const MBOX watchers[] = {M_NAV, M_ALARM, M_INFO};

void vSetUpStore() {
  static bool s_bDone = false;
  if (s_bDone) return;
  s_bDone = true;
  for (U32 n = 0; n < 500; n++) H_DATABASE_bUpdateValueU32(FCID("S000") + (n << 8), n, P_NORMAL);
  for (MBOX mbox : watchers) H_DATABASE_bRegisterForDataWithConditions(FCID("SBMK"), mbox, TRUE, FALSE, FALSE);
}

// Every write changes the value, so each of the three watchers gets a notice.
void BM_SettingsWriteThreeWatchers(benchmark::State &state) {
  vSetUpStore();
  const FOURCHARID key = FCID("SBMK");
  U32 u32Value = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(H_DATABASE_bUpdateValueU32(key, ++u32Value, P_NORMAL));
    if ((u32Value & 255) == 0) {
      for (MBOX mbox : watchers) drain(mbox);
    }
  }
  for (MBOX mbox : watchers) drain(mbox);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SettingsWriteThreeWatchers);

// The same writes with an unchanged value: accepted updates without notices.
void BM_SettingsWriteUnchanged(benchmark::State &state) {
  vSetUpStore();
  const FOURCHARID key = FCID("SBMK");
  H_DATABASE_bUpdateValueU32(key, 1, P_NORMAL);
  for (MBOX mbox : watchers) drain(mbox);
  for (auto _ : state) benchmark::DoNotOptimize(H_DATABASE_bUpdateValueU32(key, 1, P_NORMAL));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SettingsWriteUnchanged);

constexpr size_t kFrameBytes = 768000;  // one 800 × 480 page of 16-bit pixels

// A page of the screen's size whose rows lie back to back, as the drawing library keeps them.
BITMAP page(std::vector<U32> &buffer) {
  BITMAP bitmap{};
  bitmap.pBuffer = buffer.data();
  bitmap.pixels_wide = bitmap.pixels_wide_full_screen = SCREEN_PIXELS_WIDE;
  bitmap.pixels_high = bitmap.pixels_high_full_screen = SCREEN_PIXELS_HIGH;
  bitmap.__u32PixelWidthOfBuffer = SCREEN_PIXELS_WIDE;
  bitmap.__u32PixelHeightOfBuffer = SCREEN_PIXELS_HIGH;
  return bitmap;
}

// Argument: the offset of the destination in pixels (1: not aligned to 4 bytes).
template <bool bOwn>
void BM_BlockCopy(benchmark::State &state) {
  std::vector<U32> source(kFrameBytes / 4 + 16, 0x5A5A5A5A);
  std::vector<U32> dest(kFrameBytes / 4 + SCREEN_PIXELS_WIDE);
  BITMAP bitmapSource = page(source);
  BITMAP bitmapDest = page(dest);
  bitmapDest.__u32PixelHeightOfBuffer += 2;  // room for the offset: every row is copied
  const PIXEL offset = static_cast<PIXEL>(state.range(0));
  for (auto _ : state) {
    if (bOwn) {
      G_BMP_vCopyRegion(&bitmapSource, &bitmapDest, 0, offset, SCREEN_PIXELS_WIDE);
    } else {
      std::memcpy(G_BITMAP_pcolPixels(&bitmapDest) + offset, G_BITMAP_pcolPixels(&bitmapSource), kFrameBytes);
    }
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFrameBytes));
}
BENCHMARK(BM_BlockCopy<true>)->Name("BM_G_BMP_vCopyRegion")->Arg(0)->Arg(1);
BENCHMARK(BM_BlockCopy<false>)->Name("BM_memcpy")->Arg(0)->Arg(1);

}  // namespace
