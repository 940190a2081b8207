// Recorded ping logs with golden outputs. Each data/NAME.log describes a run of pings for the synthesiser (one
// "ping" line each, "set" lines change the water); the runner puts every ping through the gain, the bottom search
// and the fish search into a fish history and compares what it finds with data/NAME.log.chk. Between the gain
// and the searches, samples below the ping's measured noise plus "cut" are zeroed, as processing's noise cut-off
// does in its own way.
// CORVAN_UPDATE_GOLDEN=1 rewrites the .chk files instead (only on purpose, after checking the change).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "settings/database.h"
#include "sonar/analysis/depth.h"
#include "sonar/analysis/filter.h"
#include "sonar/analysis/fishid.h"
#include "sonar/analysis/noise.h"
#include "sonar/analysis/ping_synth.h"
#include "sonar/analysis/tvg.h"
#include "sonar/coproc_tx.h"

namespace {

struct LogRun {
  std::map<std::string, std::string> settings = {
      {"beam", "1"},    {"freq", "200000"}, {"samples", "2000"}, {"cycles", "16"},  {"noise", "6"},
      {"spread", "4"},  {"seed", "1"},      {"clutter", "0"},    {"clutterlen", "0"}, {"suppression", "0"},
      {"depth", "0"},   {"len", "40"},      {"hard", "200"},     {"returns", "0"},  {"water", "fresh"},
      {"sensitivity", "10"}, {"every", "100"}, {"offset", "0"}, {"cut", "6"},
  };
  std::vector<U8> raw = std::vector<U8>(PING_MAX_SAMPLES), tvg = std::vector<U8>(PING_MAX_SAMPLES);
  std::unique_ptr<FISH_TARGET_HISTORY> history = std::make_unique<FISH_TARGET_HISTORY>();
  U32 u32Time = 0, u32Ping = 0;

  double num(const std::string &k) const { return std::atof(settings.at(k).c_str()); }
  WATER_TYPE water() const
  {
    const std::string &w = settings.at("water");
    return w == "salt" ? WATER_SALT_DEEP : w == "shallow" ? WATER_SALT_SHALLOW : WATER_FRESH;
  }

  // One ping; the line's own words change the settings from now on, except its fish.
  std::string ping(std::istringstream &words)
  {
    std::string word, fish;
    while (words >> word) {
      const size_t eq = word.find('=');
      if (eq == std::string::npos) return "bad word " + word;
      const std::string k = word.substr(0, eq), v = word.substr(eq + 1);
      if (k == "fish") {
        fish = v;
      } else if (settings.count(k) != 0) {
        settings[k] = v;
      } else {
        return "unknown key " + k;
      }
    }
    u32Time += (U32)num("every");
    PING_SYNTH_PARAMS s{};
    s.Beam = (BEAM)num("beam");
    s.u32TransmitFrequencyHertz = (U32)num("freq");
    s.u8TransmitCycles = (U8)num("cycles");
    s.u32NumberOfSamples = (U32)num("samples");
    s.u32SamplePeriodMicroSeconds = 26;
    s.u32TimeStampMilliSeconds = u32Time;
    s.u32Seed = (U32)num("seed") * 7919 + u32Ping;
    s.u8NoiseFloor = (U8)num("noise");
    s.u8NoiseSpread = (U8)num("spread");
    s.u8ClutterPeak = (U8)num("clutter");
    s.u32ClutterSamples = (U32)num("clutterlen");
    s.fBottomDepthMetres = (float)num("depth");
    s.u32BottomLengthSamples = (U32)num("len");
    s.u8BottomHardness = (U8)num("hard");
    s.u8SecondReturns = (U8)num("returns");
    // fish=DEPTH:PEAK:LENGTH,...
    std::istringstream fs(fish);
    std::string one;
    while (std::getline(fs, one, ',') && s.u32Fish < PING_SYNTH_MAX_FISH) {
      float fDepth = 0;
      unsigned uPeak = 0, uLength = 0;
      if (std::sscanf(one.c_str(), "%f:%u:%u", &fDepth, &uPeak, &uLength) != 3) return "bad fish " + one;
      s.aFish[s.u32Fish++] = {fDepth, (U8)uPeak, uLength};
    }
    PING_DESCRIPTOR d{};
    d.pu8RawSonarData = raw.data();
    d.pu8TvgdData = tvg.data();
    d.fDepthOffsetFeet = (float)num("offset");
    S_PINGSYNTH_vMake(&s, &d);
    const U8 u8Suppression = (U8)num("suppression");
    S_TVG_TvgRawSonar(&d, raw.data(), tvg.data(), u8Suppression, u8Suppression != 0, water(), 0);
    const U32 u32Cut = S_NOISE_u8Measure(&d, nullptr) + (U32)num("cut");
    S_FILTER_vNoiseRemoval(d.u32NumberOfSamples, tvg.data(), tvg.data(), tvg.data(), (U8)std::min(u32Cut, 255u));
    const U32 u32DepthUs = S_DEPTH_u32FindDepth(&d, 0, 0);
    d.fDepthMetres = (float)(u32DepthUs * (double)g_u32SpeedOfSoundInWater / 2000000.0);
    FISH_TARGET_LIST list{};
    S_FISHID_vScanForFish(&list, &d, water(), (U8)num("sensitivity"));
    S_FISHID_vAddFishTargetListToHistory(history.get(), &list);

    const BOTTOMTRACKER *t = S_DEPTH_pGetBottomTracker(d.Beam);
    char ac[160];
    std::snprintf(ac, sizeof ac, "ping %u t=%u depth_us=%u depth_m=%.2f lock=%u locked_us=%u window_us=%u fish=",
                  u32Ping++, u32Time, u32DepthUs, d.fDepthMetres, t->u8LockedCounter,
                  t->u32LastLockedDepthMicroseconds, t->u32DepthWindowSizeDividedBy2);
    std::string out = ac;
    const FISH_TARGET_LIST &stored = history->Items[history->u16IndexToMostRecentTargets];
    for (U32 i = 0; i < stored.u8NumberOfTargets; i++) {
      const FISH_TARGET &f = stored.target[i];
      std::snprintf(ac, sizeof ac, "%s%u:%u:%u:%s", i ? "," : "", f.u32DepthInSamples, f.u8Size, f.u8Peak,
                    f.bIgnoreThisFish ? (f.criteria.bRemovedFish ? "removed" : "same") :
                    f.pPreviousInstance ? "seen" : "new");
      out += ac;
    }
    return out;
  }

  std::string run(std::istream &in)
  {
    std::string out, line;
    while (std::getline(in, line)) {
      std::istringstream words(line);
      std::string first;
      if (!(words >> first) || first[0] == '#') continue;
      if (first == "ping") {
        out += ping(words) + "\n";
      } else {
        out += "bad line " + line + "\n";
      }
    }
    return out;
  }
};

std::vector<std::string> logs()
{
  std::vector<std::string> v;
  if (DIR *dir = opendir(CORVAN_TEST_DATA)) {
    while (dirent *e = readdir(dir)) {
      const std::string n = e->d_name;
      if (n.size() > 4 && n.compare(n.size() - 4, 4, ".log") == 0) v.push_back(n);
    }
    closedir(dir);
  }
  std::sort(v.begin(), v.end());
  return v;
}

TEST(PingLogs, EveryLogGivesItsCheckedOutput)
{
  const std::vector<std::string> names = logs();
  ASSERT_GE(names.size(), 7u);
  const char *szUpdate = std::getenv("CORVAN_UPDATE_GOLDEN");
  const bool bRebuild = szUpdate != nullptr && *szUpdate == '1';
  for (const std::string &name : names) {
    H_DATABASE_vInit();
    g_u32SpeedOfSoundInWater = 1463;
    S_DEPTH_vResetTrackers();
    S_FISHID_vSetReverseScroll(FALSE);
    LogRun r;
    S_FISHID_vInitialiseHistory(r.history.get());
    const std::string path = std::string(CORVAN_TEST_DATA) + "/" + name;
    std::ifstream in(path);
    ASSERT_TRUE(in) << path;
    const std::string out = r.run(in);
    if (bRebuild) {
      std::ofstream(path + ".chk") << out;
      continue;
    }
    std::ifstream chk(path + ".chk");
    ASSERT_TRUE(chk) << path << ".chk";
    std::stringstream expected;
    expected << chk.rdbuf();
    std::istringstream got(out), want(expected.str());
    std::string g, w;
    for (U32 n = 1; std::getline(want, w); n++) {
      ASSERT_TRUE(std::getline(got, g)) << name << ": output ends before line " << n;
      ASSERT_EQ(g, w) << name << " line " << n;
    }
    EXPECT_FALSE(std::getline(got, g)) << name << ": more output than checked: " << g;
  }
}

}  // namespace
