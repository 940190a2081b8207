// Frame-sized fills, copies and blends against the plain C library and a plain loop.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "draw/box.h"
#include "draw/bmp.h"
#include "view/buffers.h"
#include "draw/pixel.h"

namespace {

struct Frames {
    std::vector<U32> vA = std::vector<U32>(800 * 480 / 2, 0x12341234);
    std::vector<U32> vB = std::vector<U32>(800 * 480 / 2, 0);
    BITMAP a{}, b{};
    Frames()
    {
        G_BUFFERS_pCreateBitmap(800, 480, &a, vA.data());
        G_BUFFERS_pCreateBitmap(800, 480, &b, vB.data());
    }
};

void BM_CopyRegion(benchmark::State &state)
{
    Frames f;
    for (auto _ : state) {
        G_BMP_vCopyRegion(&f.a, &f.b, 0, 0, 800);
        benchmark::DoNotOptimize(f.vB.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * 768000);
}
BENCHMARK(BM_CopyRegion);

void BM_Memcpy(benchmark::State &state)
{
    Frames f;
    for (auto _ : state) {
        std::memcpy(f.vB.data(), f.vA.data(), 768000);
        benchmark::DoNotOptimize(f.vB.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * 768000);
}
BENCHMARK(BM_Memcpy);

void BM_Set(benchmark::State &state)
{
    Frames f;
    COLOR color = 0x1234;
    for (auto _ : state) {
        G_BMP_vSet(&f.b, color++);
        benchmark::DoNotOptimize(f.vB.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * 768000);
}
BENCHMARK(BM_Set);

void BM_Memset(benchmark::State &state)
{
    Frames f;
    int c = 0x12;
    for (auto _ : state) {
        std::memset(f.vB.data(), c++, 768000);
        benchmark::DoNotOptimize(f.vB.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * 768000);
}
BENCHMARK(BM_Memset);

// A full-screen fill against memset of the same bytes, timed in turn in every iteration; the ratio is the goal.
template <typename FILL> void vFillAgainstMemset(benchmark::State &state, FILL &&fill)
{
    Frames f;
    double dFillUs = 0, dMemsetUs = 0;
    COLOR color = 0x1234;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        fill(&f.b, color++);
        benchmark::ClobberMemory();
        const auto t1 = std::chrono::steady_clock::now();
        std::memset(f.vB.data(), color & 0xFF, 768000);
        benchmark::ClobberMemory();
        const auto t2 = std::chrono::steady_clock::now();
        dFillUs += std::chrono::duration<double, std::micro>(t1 - t0).count();
        dMemsetUs += std::chrono::duration<double, std::micro>(t2 - t1).count();
    }
    const double dN = static_cast<double>(state.iterations());
    state.counters["fill_us"] = dFillUs / dN;
    state.counters["memset_us"] = dMemsetUs / dN;
    state.counters["fill_per_memset"] = dFillUs / dMemsetUs;
}

void BM_BoxFillVsMemset(benchmark::State &state)
{
    const POINT anchor{0, 0};
    vFillAgainstMemset(state, [&](BITMAP *p, COLOR c) { G_BOX_vDrawFilled(p, c, &anchor, 800, 480); });
}
BENCHMARK(BM_BoxFillVsMemset);

void BM_ClearVsMemset(benchmark::State &state)
{
    vFillAgainstMemset(state, [](BITMAP *p, COLOR c) { G_BMP_vSet(p, c); });
}
BENCHMARK(BM_ClearVsMemset);

void BM_FilledAlpha(benchmark::State &state)
{
    Frames f;
    const POINT anchor{0, 0};
    for (auto _ : state) {
        G_BOX_vDrawFilledAlpha(&f.a, 0xF800, &anchor, 800, 480, 100);
        benchmark::DoNotOptimize(f.vA.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 800 * 480);
}
BENCHMARK(BM_FilledAlpha);

// The same blend as a plain loop over the frame, left to the compiler.
void BM_PlainBlendLoop(benchmark::State &state)
{
    Frames f;
    COLOR *pcol = reinterpret_cast<COLOR *>(f.vA.data());
    for (auto _ : state) {
        for (size_t i = 0; i < 800 * 480; i++) {
            pcol[i] = G_PIXEL_colorBlend(0xF800, pcol[i], 100);
        }
        benchmark::DoNotOptimize(pcol);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 800 * 480);
}
BENCHMARK(BM_PlainBlendLoop);

} // namespace
