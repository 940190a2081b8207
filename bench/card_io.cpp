// Sequential read of a 100 MB card file through the block-buffered handle interface with 4,096-byte buffers,
// against the C library's fread with a 4,096-byte stream buffer, in pieces of the sizes the card's readers ask
// for (8-byte index entries, 67-byte record headers, 4,096-byte blocks).
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "card/mmc_buffered.h"

namespace {

constexpr size_t kFileBytes = 100u * 1024 * 1024;

// The file lies in memory (tmpfs where there is one), so the figures are the layers' own cost.
struct CardFile {
  std::string sDir;
  std::string sPath;
  CardFile() {
    char acTemplate[] = "/dev/shm/corvan-cardio-XXXXXX";
    char acFallback[] = "/tmp/corvan-cardio-XXXXXX";
    const char *pc = mkdtemp(acTemplate);
    if (pc == nullptr) pc = mkdtemp(acFallback);
    sDir = pc != nullptr ? pc : "/tmp";
    sPath = sDir + "/R00001.SON";
    std::vector<unsigned char> vBlock(1 << 20);
    for (size_t i = 0; i < vBlock.size(); ++i) vBlock[i] = static_cast<unsigned char>(i * 131 + i / 7);
    FILE *pFile = std::fopen(sPath.c_str(), "wb");
    for (size_t n = 0; pFile != nullptr && n < kFileBytes / vBlock.size(); ++n) {
      std::fwrite(vBlock.data(), 1, vBlock.size(), pFile);
    }
    if (pFile != nullptr) std::fclose(pFile);
  }
  ~CardFile() {
    std::error_code ignored;
    std::filesystem::remove_all(sDir, ignored);
  }
};

const CardFile &cardFile() {
  static const CardFile s_file;
  return s_file;
}

void BM_BufferedRead(benchmark::State &state) {
  const int nPiece = static_cast<int>(state.range(0));
  std::vector<unsigned char> vOut(static_cast<size_t>(nPiece));
  for (auto _ : state) {
    BUFFERED_IO_CONTROL *pIo = U_MMC_psBufferedOpen(cardFile().sPath.c_str(), "rb", nullptr, 4096);
    if (pIo == nullptr) {
      state.SkipWithError("open failed");
      return;
    }
    size_t szTotal = 0;
    while (const int nGot = U_MMC_nBufferedRead(vOut.data(), nPiece, pIo)) szTotal += static_cast<size_t>(nGot);
    U_MMC_nBufferedClose(pIo);
    if (szTotal != kFileBytes) state.SkipWithError("short read");
    benchmark::DoNotOptimize(vOut.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kFileBytes));
}

void BM_Fread(benchmark::State &state) {
  const size_t szPiece = static_cast<size_t>(state.range(0));
  std::vector<unsigned char> vOut(szPiece);
  std::vector<char> vStreamBuffer(4096);
  for (auto _ : state) {
    FILE *pFile = std::fopen(cardFile().sPath.c_str(), "rb");
    if (pFile == nullptr || setvbuf(pFile, vStreamBuffer.data(), _IOFBF, vStreamBuffer.size()) != 0) {
      state.SkipWithError("open failed");
      return;
    }
    size_t szTotal = 0;
    while (const size_t szGot = std::fread(vOut.data(), 1, szPiece, pFile)) szTotal += szGot;
    std::fclose(pFile);
    if (szTotal != kFileBytes) state.SkipWithError("short read");
    benchmark::DoNotOptimize(vOut.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kFileBytes));
}

BENCHMARK(BM_BufferedRead)->Arg(8)->Arg(67)->Arg(4096)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Fread)->Arg(8)->Arg(67)->Arg(4096)->Unit(benchmark::kMillisecond);

}  // namespace
