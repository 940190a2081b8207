// Settings writes with watchers, and the block copy against memcpy (target: at least 0.9× its speed).
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "settings/database.h"
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

template <bool bOwn>
void BM_BlockCopy(benchmark::State &state) {
  std::vector<U8> source(kFrameBytes + 64, 0x5A);
  std::vector<U8> dest(kFrameBytes + 64);
  const size_t offset = static_cast<size_t>(state.range(0));
  for (auto _ : state) {
    if (bOwn) {
      DD_UTIL_Memcpy(dest.data() + offset, source.data(), kFrameBytes);
    } else {
      std::memcpy(dest.data() + offset, source.data(), kFrameBytes);
    }
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFrameBytes));
}
BENCHMARK(BM_BlockCopy<true>)->Name("BM_DD_UTIL_Memcpy")->Arg(0)->Arg(3);
BENCHMARK(BM_BlockCopy<false>)->Name("BM_memcpy")->Arg(0)->Arg(3);

}  // namespace
