// Frame-sized fills, copies and blends against the plain C library and a plain loop.
#include <benchmark/benchmark.h>

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
