// Recorded receiver logs through the receiver and parsers: golden results (data/NAME.log beside NAME.log.chk;
// CORVAN_UPDATE_GOLDEN=1 rebuilds them), the same logs through gpsd's gpsdecode, and the output sentences through
// pynmea2 and gpscat.
#include <dirent.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "chartlib/nav/nv_navig.h"
#include "kernel/timer.h"
#include "kernel_test_util.h"
#include "n2k/nmea_adaptor_standin.h"
#include "nav/nav_standin.h"
#include "nmea/nmea_parse.h"
#include "nmea/nmea_standin.h"
#include "nmea/nmea_task.h"
#include "parse_fixture.h"
#include "platform/clock.h"
#include "settings/database.h"
#include "test_environment.h"
#include "util/convert.h"

namespace {

FOURCHARID key(const std::string &s) { return s[0] | s[1] << 8 | s[2] << 16 | static_cast<U32>(s[3]) << 24; }

// A log's bytes after its header of '#' lines.
std::string logBody(const std::string &sPath) {
  std::ifstream in(sPath, std::ios::binary);
  std::string s((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  size_t szAt = 0;
  while (szAt < s.size() && s[szAt] == '#') {
    const size_t szEnd = s.find('\n', szAt);
    szAt = szEnd == std::string::npos ? s.size() : szEnd + 1;
  }
  return s.substr(szAt);
}

std::string readFile(const std::string &sPath) {
  std::ifstream in(sPath, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Standard output of a shell command.
std::string run(const std::string &sCommand) {
  std::string sOut;
  FILE *p = popen(sCommand.c_str(), "r");
  if (p == nullptr) return sOut;
  char ac[4096];
  size_t n;
  while ((n = fread(ac, 1, sizeof ac, p)) > 0) sOut.append(ac, n);
  pclose(p);
  return sOut;
}

enum class Kind { S32, U32, Float };
struct WatchedKey {
  const char *pcKey;
  Kind kind;
};
// The keys the parsers write, in the order the golden files list them.
std::vector<WatchedKey> watchedKeys() {
  std::vector<WatchedKey> a = {{"ILAT", Kind::S32}, {"ILON", Kind::S32}, {"IMGV", Kind::Float},
                               {"IPFI", Kind::U32}, {"ISAN", Kind::U32}, {"IHDP", Kind::Float},
                               {"IALT", Kind::Float}, {"IDGA", Kind::Float}, {"IDGS", Kind::U32},
                               {"IEPE", Kind::Float}, {"ISOG", Kind::Float}, {"IHDG", Kind::Float},
                               {"ITME", Kind::U32}, {"IDTM", Kind::U32}, {"IHDT", Kind::Float},
                               {"IHDM", Kind::Float}, {"IHDC", Kind::Float}, {"IROT", Kind::Float},
                               {"IGSM", Kind::U32}, {"SCCG", Kind::U32}};
  static const char kSlots[] = "123456789ABCDEFGHIJK";
  static char s_aacSlot[20][5];
  for (int i = 0; i < 20; ++i) {
    std::snprintf(s_aacSlot[i], sizeof s_aacSlot[i], "ISA%c", kSlots[i]);
    a.push_back({s_aacSlot[i], Kind::U32});
  }
  return a;
}

// The value of a key as text, "-" when absent or lapsed.
std::string valueText(const WatchedKey &w) {
  BOOLEAN bValid = FALSE;
  char ac[32] = "-";
  if (w.kind == Kind::Float) {
    float f = 0;
    if (H_DATABASE_bFetchFloat(key(w.pcKey), &f, &bValid, nullptr) && bValid) std::snprintf(ac, sizeof ac, "%.4f", f);
  } else if (w.kind == Kind::S32) {
    S32 s = 0;
    if (H_DATABASE_bFetchS32(key(w.pcKey), &s, &bValid, nullptr) && bValid) std::snprintf(ac, sizeof ac, "%d", s);
  } else {
    U32 u = 0;
    if (H_DATABASE_bFetchU32(key(w.pcKey), &u, &bValid, nullptr) && bValid) {
      std::snprintf(ac, sizeof ac, std::strncmp(w.pcKey, "ISA", 3) == 0 && w.pcKey[3] != 'N' ? "0x%08X" : "%u", u);
    }
  }
  return ac;
}

bool fetchFloat(const char *pc, float *pf) {
  BOOLEAN bValid = FALSE;
  return H_DATABASE_bFetchFloat(key(pc), pf, &bValid, nullptr) && bValid;
}

class LogReplayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // As the task starts: course over ground from the u-blox velocity messages.
    if (!TEST_bFreshParsers(true)) GTEST_SKIP() << "needs the test clock";
    m_pExternal = T_NMEA_pGetPortInfo(ID_EXTERNAL_GPS);
    // A previous test may have left the receiver in the middle of a sentence.
    for (char c : std::string("\r\n")) T_NMEA_vReceiveEntry(m_pExternal, PORT_INDEX_EXTERNAL_GPS, c);
    m_pExternal->eGPSType = GPS_TYPE_LEGACY;
    for (const char *pc : {"SNOE", "SNGE", "SNNE"}) setU(pc, TRUE);
    setU("SDST", 0);
    setU("SLTZ", static_cast<U32>(-240));
    T_NMEA_vCaptureOutputForTest(TRUE);
    while (T_NMEA_nOutputStepForTest() != 0) T_NMEA_vHandleTransmit();
    T_NMEA_sTakeOutputForTest();
    NMEA_STANDIN_vTake();
  }
  void TearDown() override { T_NMEA_vCaptureOutputForTest(FALSE); }

  static void setU(const char *pc, U32 u) {
    H_DATABASE_bUpdateEverythingU32(key(pc), u, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  }
  static void advance(U32 u32Ms) {
    PLATFORM_CLOCK_vAdvanceTestClockMs(u32Ms);
    TIMER_vSyncForTest();
  }
  void feed(const std::string &s) {
    for (unsigned char c : s) T_NMEA_vReceiveEntry(m_pExternal, PORT_INDEX_EXTERNAL_GPS, c);
  }
  // One output step, with the speed the speed task would copy from 'ISOG'.
  static std::string outputStep() {
    float f = 0;
    if (fetchFloat("ISOG", &f)) H_DATABASE_bUpdateEverythingFloat(FCID("ISPD"), f, P_NORMAL, D_SPEED, nullptr, 4);
    T_NMEA_vHandleTransmit();
    return T_NMEA_sTakeOutputForTest();
  }

  // The golden text of a log: after each input line (each LF, 200 ms apart on the test clock) the keys that
  // changed, and after every fifth line the sentences of one output step.
  std::string replay(const std::string &sBody) {
    const std::vector<WatchedKey> aKeys = watchedKeys();
    std::vector<std::string> asLast(aKeys.size(), "-");
    std::ostringstream out;
    int nLine = 1;
    for (unsigned char c : sBody) {
      T_NMEA_vReceiveEntry(m_pExternal, PORT_INDEX_EXTERNAL_GPS, c);
      if (c != '\n') continue;
      advance(200);
      for (size_t i = 0; i < aKeys.size(); ++i) {
        const std::string s = valueText(aKeys[i]);
        if (s != asLast[i]) out << nLine << ' ' << aKeys[i].pcKey << ' ' << s << '\n';
        asLast[i] = s;
      }
      if (nLine % 5 == 0) {
        std::istringstream sent(outputStep());
        for (std::string sLine; std::getline(sent, sLine);) {
          if (!sLine.empty() && sLine.back() == '\r') sLine.pop_back();
          out << nLine << " out " << sLine << '\n';
        }
      }
      ++nLine;
    }
    return out.str();
  }

  NMEA_PORT_INFO *m_pExternal = nullptr;
};

std::vector<std::string> logNames() {
  std::vector<std::string> as;
  if (DIR *pDir = opendir(CORVAN_TEST_DATA)) {
    while (dirent *p = readdir(pDir)) {
      const std::string s = p->d_name;
      if (s.size() > 4 && s.compare(s.size() - 4, 4, ".log") == 0) as.push_back(s);
    }
    closedir(pDir);
  }
  std::sort(as.begin(), as.end());
  return as;
}

TEST_F(LogReplayTest, RecordedLogsGiveTheirGoldenResults) {
  const std::vector<std::string> asNames = logNames();
  ASSERT_GE(asNames.size(), 4u);
  const char *pcUpdate = std::getenv("CORVAN_UPDATE_GOLDEN");
  for (const std::string &sName : asNames) {
    SCOPED_TRACE(sName);
    SetUp();  // every log from a fresh store and fresh parsers
    const std::string sPath = std::string(CORVAN_TEST_DATA) + "/" + sName;
    const std::string sGot = replay(logBody(sPath));
    if (pcUpdate != nullptr && *pcUpdate == '1') {
      std::ofstream(sPath + ".chk", std::ios::binary) << sGot;
      continue;
    }
    const std::string sWant = readFile(sPath + ".chk");
    ASSERT_FALSE(sWant.empty()) << "no golden file " << sPath << ".chk (CORVAN_UPDATE_GOLDEN=1 makes it)";
    if (sGot == sWant) continue;
    // The first differing line says more than the whole text.
    std::istringstream got(sGot), want(sWant);
    std::string sG, sW;
    int n = 1;
    while (std::getline(want, sW)) {
      if (!std::getline(got, sG)) sG = "(end)";
      if (sG != sW) break;
      ++n;
    }
    const std::string sActual = TEST_dataDirectory() + "/" + sName + ".actual";
    std::ofstream(sActual, std::ios::binary) << sGot;
    ADD_FAILURE() << "line " << n << " of the golden file: want \"" << sW << "\", got \"" << sG << "\"; whole result in "
                  << sActual;
  }
}

// The damaged twin writes exactly what its intact sentences alone write.
TEST_F(LogReplayTest, DamagedTwinWritesWhatItsIntactSentencesWrite) {
  const std::string sBody = logBody(std::string(CORVAN_TEST_DATA) + "/damaged_twin.log");
  std::string sIntact;
  std::istringstream in(sBody);
  for (std::string sLine; std::getline(in, sLine);) {
    const size_t szStar = sLine.find('*');
    if (sLine.size() < 4 || sLine[0] != '$' || szStar == std::string::npos) continue;
    unsigned u = 0;
    for (size_t i = 1; i < szStar; ++i) u ^= static_cast<unsigned char>(sLine[i]);
    bool bPrintable = true;
    for (size_t i = 0; i < szStar; ++i) bPrintable = bPrintable && sLine[i] >= 32 && sLine[i] <= 126;
    if (bPrintable && std::strtoul(sLine.c_str() + szStar + 1, nullptr, 16) == u) sIntact += sLine + "\n";
  }
  T_NMEA_vRecordParsedForTest(TRUE);
  feed(sBody);
  const std::vector<std::string> asDamaged = T_NMEA_asTakeParsedForTest();
  SetUp();
  T_NMEA_vRecordParsedForTest(TRUE);
  feed(sIntact);
  const std::vector<std::string> asIntact = T_NMEA_asTakeParsedForTest();
  T_NMEA_vRecordParsedForTest(FALSE);
  EXPECT_GT(asIntact.size(), 100u);
  EXPECT_EQ(asDamaged, asIntact);
}

// A JSON number of a gpsdecode report, NAN when absent.
double jsonNumber(const std::string &s, const std::string &sName) {
  const size_t szAt = s.find("\"" + sName + "\":");
  if (szAt == std::string::npos) return NAN;
  return std::strtod(s.c_str() + szAt + sName.size() + 3, nullptr);
}
std::string jsonText(const std::string &s, const std::string &sName) {
  const size_t szAt = s.find("\"" + sName + "\":\"");
  if (szAt == std::string::npos) return {};
  const size_t szFrom = szAt + sName.size() + 4;
  return s.substr(szFrom, s.find('"', szFrom) - szFrom);
}

TEST_F(LogReplayTest, FixesAndSatellitesAgreeWithGpsdecode) {
  const std::string sPath = std::string(CORVAN_TEST_DATA) + "/coastal_gp.log";
  const std::string sReports = run("gpsdecode -j < " + sPath);
  if (sReports.empty()) GTEST_SKIP() << "gpsdecode (gpsd-clients) is not installed";
  // gpsdecode reports a cycle's SKY when the cycle ends and its TPV when the next one starts.
  std::map<U32, std::string> tpv;
  std::vector<std::string> asSky;
  std::istringstream in(sReports);
  for (std::string sLine; std::getline(in, sLine);) {
    if (sLine.find("\"class\":\"SKY\"") != std::string::npos) asSky.push_back(sLine);
    if (sLine.find("\"class\":\"TPV\"") == std::string::npos) continue;
    struct tm t = {};
    ASSERT_NE(strptime(jsonText(sLine, "time").c_str(), "%Y-%m-%dT%H:%M:%S", &t), nullptr) << sLine;
    tpv[static_cast<U32>(timegm(&t))] = sLine;
  }
  ASSERT_GT(tpv.size(), 100u);

  const std::string sBody = logBody(sPath);
  size_t szAt = 0;
  int nCycle = 0, nCompared = 0, nSpeeds = 0, nSatellites = 0, nSteady = 0;
  double dLastSpeed = -1;
  S32 nLastX = 0, nLastY = 0;
  while (szAt < sBody.size()) {
    // One cycle: up to and including its last GSV.
    size_t szEnd = szAt;
    for (;;) {
      const size_t szLine = sBody.find('\n', szEnd);
      ASSERT_NE(szLine, std::string::npos);
      const std::string sLine = sBody.substr(szEnd, szLine - szEnd);
      szEnd = szLine + 1;
      if (sLine.rfind("$GPGSV", 0) == 0 && sLine[7] == sLine[9]) break;
    }
    feed(sBody.substr(szAt, szEnd - szAt));
    szAt = szEnd;
    advance(1000);
    SCOPED_TRACE("cycle " + std::to_string(nCycle));

    U32 u32Time = 0;
    BOOLEAN bValid = FALSE;
    ASSERT_TRUE(H_DATABASE_bFetchU32(FCID("IDTM"), &u32Time, &bValid, nullptr) && bValid);
    if (tpv.count(u32Time) != 0) {
      const std::string &s = tpv[u32Time];
      S32 y = 0, x = 0;
      ASSERT_TRUE(H_DATABASE_bFetchS32(FCID("ILAT"), &y, &bValid, nullptr) && bValid);
      ASSERT_TRUE(H_DATABASE_bFetchS32(FCID("ILON"), &x, &bValid, nullptr) && bValid);
      POINT pt = {x, y};
      POSITION pos;
      nv_MeterToDegr(&pt, &pos);
      const double dLat = jsonNumber(s, "lat"), dLon = jsonNumber(s, "lon");
      EXPECT_LT(std::fabs(pos.lat - dLat) * 111195.0, 1.0) << s;
      EXPECT_LT(std::fabs(pos.lon - dLon) * 111195.0 * std::cos(dLat * M_PI / 180.0), 1.0) << s;
      float f = 0;
      ASSERT_TRUE(fetchFloat("IALT", &f));
      EXPECT_NEAR(dConvertFromInternal(f, D_DEPTH, U_METRES), jsonNumber(s, "altMSL"), 0.01) << s;
      const double dSpeed = jsonNumber(s, "speed");
      // The course of an RMC that repeats the position before it stays the previous one.
      const bool bMoved = x != nLastX || y != nLastY;
      nLastX = x;
      nLastY = y;
      if (dSpeed > 0 && bMoved) {
        ASSERT_TRUE(fetchFloat("IHDG", &f));
        EXPECT_NEAR(f, jsonNumber(s, "track"), 0.01) << s;
      }
      // The speed is a ten-sample average: compare once ten RMCs of this speed have filled it.
      nSteady = dSpeed == dLastSpeed ? nSteady + 1 : 1;
      dLastSpeed = dSpeed;
      if (nSteady >= 10 && fetchFloat("ISOG", &f)) {
        EXPECT_NEAR(dConvertFromInternal(f, D_SPEED, U_MPS), dSpeed, 0.005) << s;
        ++nSpeeds;
      }
      ++nCompared;
    }
    // Satellites: every one below 100 with all four fields, "used" from this cycle's GSA.
    if (static_cast<size_t>(nCycle) < asSky.size()) {
      const std::string &sSky = asSky[nCycle];
      std::map<U32, U32> slots;
      for (const char c : std::string("123456789ABCDEFGHIJK")) {
        U32 u = 0;
        const std::string sKey = std::string("ISA") + c;
        if (H_DATABASE_bFetchU32(key(sKey), &u, &bValid, nullptr) && bValid && u != 0) slots[u & 0xFF] = u;
      }
      for (size_t szSat = sSky.find("{\"PRN\""); szSat != std::string::npos;
           szSat = sSky.find("{\"PRN\"", szSat + 1)) {
        const std::string sSat = sSky.substr(szSat, sSky.find('}', szSat) - szSat);
        const double dPrn = jsonNumber(sSat, "PRN"), dSs = jsonNumber(sSat, "ss");
        if (dPrn >= 100 || !(dSs > 0)) continue;
        const U32 u32Prn = static_cast<U32>(dPrn);
        ASSERT_EQ(slots.count(u32Prn), 1u) << sSat;
        const U32 u = slots[u32Prn];
        EXPECT_EQ((u >> 8) & 0x7F, static_cast<U32>(jsonNumber(sSat, "el"))) << sSat;
        EXPECT_EQ((u >> 15) & 0x1FF, static_cast<U32>(jsonNumber(sSat, "az"))) << sSat;
        EXPECT_EQ((u >> 24) & 0x7F, static_cast<U32>(dSs)) << sSat;
        EXPECT_EQ((u >> 31) != 0, sSat.find("\"used\":true") != std::string::npos) << sSat;
        ++nSatellites;
      }
    }
    ++nCycle;
  }
  EXPECT_GT(nCompared, 100);
  EXPECT_GT(nSpeeds, 90);
  EXPECT_GT(nSatellites, 1000);
}

// Every output sentence, valid and empty forms, navigation included, is a good NMEA packet for pynmea2 and gpscat.
TEST_F(LogReplayTest, OutputSentencesPassPynmea2AndGpscat) {
  if (access("/usr/bin/python3", X_OK) != 0 || run("/usr/bin/python3 -c 'import pynmea2' 2>&1") != "") {
    GTEST_SKIP() << "pynmea2 (python3-nmea2) is not installed";
  }
  std::string sSent;
  for (int i = 0; i < 4; ++i) sSent += outputStep();  // no fix yet: the empty forms
  setU("INIP", 1);
  setU("IOWP", 1);
  setU("IDWP", 2);
  NAV_STANDIN_vSetWaypoint(1, "HOME", 0);
  NAV_STANDIN_vSetWaypoint(2, "LEDGE", 0);
  POSITION pos = {43.70, -70.10};
  POINT pt;
  nv_DegrToMeter(&pos, &pt);
  NAV_STANDIN_vSetWaypointPoint(2, pt);
  for (int i = 0; i < 4; ++i) sSent += outputStep();  // navigation without a fix
  const float afNav[][2] = {{-12.0f, 1200.0f}, {0.25f, 3.5f}};  // XTE, DTG in NM
  const std::string sBody = logBody(std::string(CORVAN_TEST_DATA) + "/coastal_gp.log");
  std::istringstream in(sBody);
  int nLine = 0;
  for (std::string sLine; std::getline(in, sLine); ++nLine) {
    feed(sLine + "\n");
    if (nLine % 6 != 5) continue;
    const float *pf = afNav[(nLine / 18) % 2];  // three steps each, so every sentence gets both
    H_DATABASE_bUpdateEverythingFloat(FCID("IXTE"), pf[0] * 1852.0f, P_NORMAL, D_FLOAT, nullptr, DB_NO_TIMEOUT);
    H_DATABASE_bUpdateEverythingFloat(FCID("IDTG"), pf[1] * 1852.0f, P_NORMAL, D_FLOAT, nullptr, DB_NO_TIMEOUT);
    for (const char *pc : {"ITRK", "IBRG", "IDCV"}) {
      H_DATABASE_bUpdateEverythingFloat(key(pc), 37.5f, P_NORMAL, D_FLOAT, nullptr, DB_NO_TIMEOUT);
    }
    setU("IACE", static_cast<U32>(nLine / 6 % 2));
    setU("IPPD", 0);
    setU("SDST", static_cast<U32>(nLine / 12 % 2));
    H_DATABASE_bUpdateEverythingFloat(FCID("IMGV"), static_cast<float>(nLine % 360) - 180.0f, P_NORMAL, D_FLOAT,
                                      nullptr, DB_NO_TIMEOUT);
    sSent += outputStep();
    advance(1000);
  }
  const std::string sFile = TEST_dataDirectory() + "/sent.nmea";
  std::ofstream(sFile, std::ios::binary) << sSent;
  int nSentences = 0;
  for (size_t sz = sSent.find("\r\n"); sz != std::string::npos; sz = sSent.find("\r\n", sz + 2)) ++nSentences;
  ASSERT_GT(nSentences, 400);
  // The valid forms were sent too.
  for (const char *pc : {"$INGGA,13", "$INRMC,13", "$INGLL,4339.", "$INZDA,13", "$INAPB,A,A,12.000,R",
                         "$INAPB,A,A,0.250,L", "$INRMB,A,9.990,R", "$INBWR,13", "$INVTG,62.0,T", "$INHDG,"}) {
    EXPECT_NE(sSent.find(pc), std::string::npos) << pc;
  }
  // pynmea2 parses every line with its checksum checked; each failure is printed.
  const std::string sPy =
      "import pynmea2, sys\n"
      "n = 0\n"
      "for line in open(sys.argv[1], newline=''):\n"
      "    assert line.endswith('\\r\\n'), repr(line)\n"
      "    try:\n"
      "        pynmea2.parse(line.strip(), check=True); n += 1\n"
      "    except Exception as e:\n"
      "        print('FAIL', repr(line), e)\n"
      "print('parsed', n)\n";
  const std::string sScript = TEST_dataDirectory() + "/check.py";
  std::ofstream(sScript) << sPy;
  const std::string sPynmea = run("/usr/bin/python3 " + sScript + " " + sFile + " 2>&1");
  EXPECT_EQ(sPynmea, "parsed " + std::to_string(nSentences) + "\n");
  // gpscat frames each sentence as one NMEA packet (type 1) of its whole length.
  const std::string sCat = run("gpscat -t " + sFile + " 2>&1");
  if (sCat.empty()) GTEST_SKIP() << "gpscat (gpsd-clients) is not installed";
  std::istringstream cat(sCat);
  int nPackets = 0;
  size_t szOffset = 0;
  for (std::string sLine; std::getline(cat, sLine);) {
    if (sLine.empty()) continue;
    const size_t szLength = sSent.find("\r\n", szOffset) + 2 - szOffset;
    EXPECT_EQ(sLine.rfind("1 (" + std::to_string(szLength) + "@" + std::to_string(szOffset) + "): $", 0), 0u)
        << sLine;
    szOffset += szLength;
    ++nPackets;
  }
  EXPECT_EQ(nPackets, nSentences);
}

}  // namespace
