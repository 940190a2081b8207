// JPEG 2000 decoding speed, against opj_decompress -threads 1 on the same files (reported, not checked).
// Inputs are made at start-up with opj_compress (Debian libopenjp2-tools) in a temporary folder.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "jp2/jp2_decoder.h"

namespace {

std::string g_dir;

bool Run(const std::string &cmd) { return std::system((cmd + " >/dev/null 2>&1").c_str()) == 0; }

void WriteRaw(const std::string &path, U32 w, U32 h, U32 comps) {
  std::vector<U8> d((size_t)w * h * comps);
  U32 v = 1;
  for (size_t i = 0; i < d.size(); i++) {
    v = v * 1103515245u + 12345u;
    size_t x = i % w, y = (i / w) % h;
    d[i] = (U8)(((x * 3 + y * 5) & 255) ^ ((x / 32 + y / 32) & 1 ? 0xFF : 0) ^ ((v >> 16) & 7));
  }
  std::ofstream(path, std::ios::binary).write((const char *)d.data(), (std::streamsize)d.size());
}

const std::string &Dir() {
  if (!g_dir.empty()) return g_dir;
  char tmpl[] = "/tmp/jp2benchXXXXXX";
  g_dir = mkdtemp(tmpl);
  WriteRaw(g_dir + "/rgb.raw", 2048, 2048, 3);
  WriteRaw(g_dir + "/big.raw", 4096, 4096, 1);
  Run("opj_compress -i " + g_dir + "/rgb.raw -F 2048,2048,3,8,u -n 6 -o " + g_dir + "/rgb53.j2k");
  Run("opj_compress -i " + g_dir + "/rgb.raw -F 2048,2048,3,8,u -n 6 -I -r 10 -o " + g_dir + "/rgb97.j2k");
  Run("opj_compress -i " + g_dir + "/big.raw -F 4096,4096,1,8,u -t 512,512 -n 5 -o " + g_dir + "/tiled.j2k");
  return g_dir;
}

std::vector<U8> Load(const std::string &name) {
  std::ifstream f(Dir() + "/" + name, std::ios::binary);
  return std::vector<U8>(std::istreambuf_iterator<char>(f), {});
}

U32 ReadMem(U8 *d, U32 off, U32 n, void *p) {
  auto *v = (std::vector<U8> *)p;
  if (off >= v->size()) return 0;
  U32 k = (U32)std::min<size_t>(n, v->size() - off);
  memcpy(d, v->data() + off, k);
  return k;
}

S32 Sink(const void *, S16, U32, U32, U32, void *) { return 0; }

void Decode(benchmark::State &state, const char *file, U32 reduction, U32 x0, U32 x1, U32 y0, U32 y1) {
  std::vector<U8> data = Load(file);
  if (data.empty()) {
    state.SkipWithError("opj_compress is needed to make the inputs");
    return;
  }
  for (auto _ : state) {
    JP2_Decomp_Handle h;
    if (JP2_Decompress_Start(&h, nullptr, nullptr, nullptr, nullptr, ReadMem, &data) != 0) {
      state.SkipWithError("start failed");
      return;
    }
    JP2_Decompress_SetProp(h, 50, (JP2_Property_Value)&Sink);
    JP2_Decompress_SetProp(h, 23, reduction);
    benchmark::DoNotOptimize(JP2_Decompress_Region(h, x0, x1, y0, y1));
    JP2_Decompress_End(h);
  }
}

void Opj(benchmark::State &state, const char *file, const char *extra) {
  Dir();
  std::string cmd = "opj_decompress -threads 1 -i " + g_dir + "/" + file + " -o " + g_dir + "/out.raw " + extra;
  for (auto _ : state)
    if (!Run(cmd)) {
      state.SkipWithError("opj_decompress failed");
      return;
    }
}

} // namespace

BENCHMARK_CAPTURE(Decode, rgb53_full, "rgb53.j2k", 1, 0, 0, 0, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Opj, rgb53_full, "rgb53.j2k", "")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Decode, rgb53_reduce4, "rgb53.j2k", 4, 0, 0, 0, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Opj, rgb53_reduce4, "rgb53.j2k", "-r 2")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Decode, rgb97_full, "rgb97.j2k", 1, 0, 0, 0, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Opj, rgb97_full, "rgb97.j2k", "")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Decode, rgb97_reduce4, "rgb97.j2k", 4, 0, 0, 0, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Opj, rgb97_reduce4, "rgb97.j2k", "-r 2")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Decode, tiled_full, "tiled.j2k", 1, 0, 0, 0, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Decode, tiled_region512, "tiled.j2k", 1, 1800, 2312, 1700, 2212)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Opj, tiled_region512, "tiled.j2k", "-d 1800,1700,2312,2212")->Unit(benchmark::kMillisecond);
