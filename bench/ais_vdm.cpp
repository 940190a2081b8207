// AIS sentences decoded and filed into a pool of 150 targets, with and without the collision values of every
// target after each sentence, beside gpsdecode (gpsd-clients) decoding the same file in the same run. The file
// holds 10,000 VDM sentences of 150 ships (position reports and two-sentence static reports), written by the
// tests' encoder (tests/nmea/data/ais_corpus.py).
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "chartlib/nav/nv_navig.h"
#include "nmea/ais/ais_collision.h"
#include "nmea/ais/ais_pool.h"
#include "settings/database.h"
#include "util/convert.h"

namespace {

constexpr int kSentences = 10000;

struct Corpus {
  std::string sPath;
  std::vector<std::string> asSentences;  // as the receive path hands them over: without '!'
  bool bGpsdecode = false;
};

const Corpus &corpus() {
  static Corpus s_corpus = [] {
    Corpus c;
    char acDir[] = "/tmp/corvan-bench-ais-XXXXXX";
    if (mkdtemp(acDir) == nullptr) return c;
    setenv("CORVAN_CWD", acDir, 1);
    c.sPath = std::string(acDir) + "/ais.log";
    std::string sScript = __FILE__;
    sScript = sScript.substr(0, sScript.rfind('/')) + "/../tests/nmea/data/ais_corpus.py";
    const std::string sCommand = "python3 " + sScript + " bench " + c.sPath + " " + std::to_string(kSentences);
    if (std::system(sCommand.c_str()) != 0) return c;
    std::ifstream in(c.sPath);
    std::string sLine;
    while (std::getline(in, sLine)) {
      if (!sLine.empty() && sLine.back() == '\r') sLine.pop_back();
      if (sLine.rfind("!AIVDM", 0) == 0) c.asSentences.push_back(sLine.substr(1));
    }
    c.bGpsdecode = std::system("command -v gpsdecode >/dev/null") == 0;
    H_DATABASE_vInit();
    U_CONVERT_vInitialiseConversionUtility();
    // The own ship among the targets, at 8 knots.
    const POSITION own = {52.2, 4.6};
    POINT pt;
    nv_DegrToMeter(&own, &pt);
    H_DATABASE_bUpdateEverythingS32(FCID("ILAT"), pt.y, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
    H_DATABASE_bUpdateEverythingS32(FCID("ILON"), pt.x, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
    H_DATABASE_bUpdateEverythingFloat(FCID("ISOG"), 8 * 1852.0f / 3600.0f, P_NORMAL, D_SPEED, nullptr, DB_NO_TIMEOUT);
    H_DATABASE_bUpdateEverythingFloat(FCID("IHDG"), 30.0f, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
    return c;
  }();
  return s_corpus;
}

AISPOOL s_pool;

// Seconds for one pass over the corpus.
double decodeAll(bool bCollision) {
  const auto tStart = std::chrono::steady_clock::now();
  ais_InitStruct(&s_pool);
  ais_ResetDecoder();
  UT_TIMEOFS tNow = 1000;
  for (const std::string &s : corpus().asSentences) {
    if (ais_DecodeVDM(&s_pool, nullptr, nullptr, s.c_str(), &tNow) == AIS_SUCCESS && bCollision) {
      ais_vCalculateCollisionValues(&s_pool);
    }
  }
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - tStart).count();
}

// Seconds of the best of three gpsdecode runs over the file (process start included).
double gpsdecodeSeconds(const char *pcOptions) {
  double dBest = 1e9;
  for (int i = 0; i < 3; ++i) {
    const auto tStart = std::chrono::steady_clock::now();
    const std::string sCommand = std::string("gpsdecode ") + pcOptions + " < " + corpus().sPath + " > /dev/null 2>&1";
    if (std::system(sCommand.c_str()) != 0) return 0.0;
    dBest = std::min(dBest, std::chrono::duration<double>(std::chrono::steady_clock::now() - tStart).count());
  }
  return dBest;
}

void run(benchmark::State &state, bool bCollision) {
  if (corpus().asSentences.size() != kSentences) {
    state.SkipWithError("no corpus (python3)");
    return;
  }
  double dOurs = 1e9;
  for (auto _ : state) dOurs = std::min(dOurs, decodeAll(bCollision));
  state.SetItemsProcessed(state.iterations() * kSentences);
  state.counters["targets"] = s_pool.NumOfTargets;
  if (!bCollision && corpus().bGpsdecode) {
    const double dGpsd = gpsdecodeSeconds("-j");
    state.counters["gpsdecode_ms"] = dGpsd * 1000.0;
    state.counters["ours_ms"] = dOurs * 1000.0;
    state.counters["gpsdecode_over_ours"] = dGpsd / dOurs;
  }
}

void BM_AisDecodeAndFile(benchmark::State &state) { run(state, false); }
void BM_AisDecodeFileAndCollisionValues(benchmark::State &state) { run(state, true); }

// gpsdecode on the same file, process start included.
void BM_GpsdecodeJson(benchmark::State &state) {
  if (corpus().sPath.empty() || !corpus().bGpsdecode) {
    state.SkipWithError("gpsdecode (gpsd-clients) missing");
    return;
  }
  const std::string sCommand = "gpsdecode -j < " + corpus().sPath + " > /dev/null 2>&1";
  for (auto _ : state) benchmark::DoNotOptimize(std::system(sCommand.c_str()));
  state.SetItemsProcessed(state.iterations() * kSentences);
}

}  // namespace

BENCHMARK(BM_AisDecodeAndFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AisDecodeFileAndCollisionValues)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GpsdecodeJson)->Unit(benchmark::kMillisecond)->UseRealTime();
