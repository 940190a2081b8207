// Sentences and binary messages per second through the NMEA receiver and parsers, from a 1 MB log mixing NMEA
// text, u-blox UBX and SiRF binary frames (the recorded mixed_binary.log repeated), beside gpsd's own decoder
// (gpsdecode, gpsd-clients) reading the same bytes in the same run.
#include <benchmark/benchmark.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <string>

#include "nmea/nmea_parse.h"
#include "nmea/nmea_standin.h"
#include "nmea/nmea_task.h"
#include "platform/clock.h"
#include "settings/database.h"
#include "util/convert.h"

namespace {

struct Log {
  std::string sBytes;
  std::string sPath;
  int64_t n64Messages = 0;  // sentences plus binary frames
};

const Log &oneMegabyteLog() {
  static Log s_log;
  if (!s_log.sBytes.empty()) return s_log;
  std::ifstream in(std::string(CORVAN_NMEA_DATA) + "/mixed_binary.log", std::ios::binary);
  std::string s((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  size_t szAt = 0;
  while (szAt < s.size() && s[szAt] == '#') szAt = s.find('\n', szAt) + 1;
  const std::string sBody = s.substr(szAt);
  int64_t n64PerCopy = 0;
  for (size_t i = 0; i < sBody.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(sBody[i]);
    if (c == '$' || (c == 0xB5 && i + 1 < sBody.size() && sBody[i + 1] == '\x62') ||
        (c == 0xA0 && i + 1 < sBody.size() && sBody[i + 1] == '\xA2')) {
      ++n64PerCopy;
    }
  }
  while (s_log.sBytes.size() < (1u << 20)) {
    s_log.sBytes += sBody;
    s_log.n64Messages += n64PerCopy;
  }
  char acPath[] = "/tmp/corvan-bench-nmea-XXXXXX";
  const int nFd = mkstemp(acPath);
  if (nFd >= 0) {
    if (write(nFd, s_log.sBytes.data(), s_log.sBytes.size()) != static_cast<ssize_t>(s_log.sBytes.size())) {
      acPath[0] = '\0';
    }
    close(nFd);
    s_log.sPath = acPath;
  }
  return s_log;
}

void BM_NmeaReceiveAndParse(benchmark::State &state) {
  PLATFORM_CLOCK_bUseTestClock(864000ull * 1000000000ull);
  setenv("TZ", "UTC", 1);
  tzset();
  H_DATABASE_vInit();
  U_CONVERT_vInitialiseConversionUtility();
  T_NMEA_vResetParsersForTest();
  T_NMEA_pInitPortInfo(ID_EXTERNAL_GPS);
  NMEA_PORT_INFO *pPort = T_NMEA_pGetPortInfo(ID_EXTERNAL_GPS);
  pPort->bCalculateCOG = TRUE;
  const Log &log = oneMegabyteLog();
  for (auto _ : state) {
    for (unsigned char c : log.sBytes) T_NMEA_vReceiveEntry(pPort, PORT_INDEX_EXTERNAL_GPS, c);
    NMEA_STANDIN_vTake();  // the recorded calls of the stand-ins would grow without end
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(log.sBytes.size()));
  state.counters["messages_per_s"] =
      benchmark::Counter(static_cast<double>(state.iterations() * log.n64Messages), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_NmeaReceiveAndParse)->Unit(benchmark::kMillisecond)->UseRealTime();

// The peer: gpsd's packet layer and drivers on the same bytes, one process per iteration (its start-up is a few
// milliseconds of the total), timed from outside.
void BM_GpsdecodePeer(benchmark::State &state) {
  const Log &log = oneMegabyteLog();
  if (log.sPath.empty() || system("command -v gpsdecode > /dev/null") != 0) {
    state.SkipWithError("gpsdecode (gpsd-clients) is not installed");
    return;
  }
  const std::string sCommand = "gpsdecode -j < " + log.sPath + " > /dev/null 2>&1";
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    if (system(sCommand.c_str()) != 0) {
      state.SkipWithError("gpsdecode failed");
      return;
    }
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(log.sBytes.size()));
  state.counters["messages_per_s"] =
      benchmark::Counter(static_cast<double>(state.iterations() * log.n64Messages), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_GpsdecodePeer)->Unit(benchmark::kMillisecond)->UseManualTime();

}  // namespace
