// AIS targets of a recorded corpus, fed through channel 2's serial line into the UART and NMEA tasks, against
// gpsdecode's reading of the same file. The corpus comes from the test's own encoder (data/ais_corpus.py).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "kernel/kernel_defs.h"
#include "kernel/mutex.h"
#include "kernel/sema.h"
#include "nmea/ais/ais_nmea.h"
#include "nmea/nmea_task.h"
#include "nmea_fixture.h"

namespace {

// MMSI -> field -> JSON text of the latest gpsdecode record that carries the field.
typedef std::map<U32, std::map<std::string, std::string>> LATEST;

bool haveTools() {
  return std::system("command -v gpsdecode >/dev/null && command -v socat >/dev/null && "
                     "command -v python3 >/dev/null") == 0;
}

std::string unquote(const std::string &s) { return s.size() >= 2 && s[0] == '"' ? s.substr(1, s.size() - 2) : s; }
bool isNumber(const std::string &s) { return !s.empty() && s[0] != '"' && s != "true" && s != "false"; }
std::string trimRight(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}
std::string text(const UCHAR *p) { return reinterpret_cast<const char *>(p); }

class AisGpsdTest : public SerialTest {
 protected:
  void SetUp() override {
    SerialTest::SetUp();
    if (IsSkipped()) return;
    if (!haveTools()) GTEST_SKIP() << "needs gpsdecode (gpsd-clients), socat and python3";
    // Channel 2 becomes the unit's own pseudo-terminal, linked under the device root for socat.
    unsetenv("CORVAN_SERIAL2");
  }
  void TearDown() override {
    if (m_bNmeaStarted) {
      endTask(NMEATASK, M_NMEA, SEMA_MBOX_NMEA);
    }
    if (!IsSkipped()) T_NMEA_vAisInitPool();
    SerialTest::TearDown();
  }
  void startNmea() {
    startUartAndEndInitPeriod();
    m_bNmeaStarted = true;
    startTask(NMEATASK, FCID("TNME"), T_NMEA_bRunningForTest);
  }
  static LATEST readLatest(const std::string &sPath) {
    LATEST latest;
    std::ifstream in(sPath);
    std::string sLine;
    while (std::getline(in, sLine)) {
      std::istringstream is(sLine);
      U32 u32MMSI;
      std::string sField, sValue;
      is >> u32MMSI >> sField;
      std::getline(is, sValue);
      latest[u32MMSI][sField] = sValue.substr(sValue.find_first_not_of(' '));
    }
    return latest;
  }

  bool m_bNmeaStarted = false;
};

// One target against gpsdecode's fields, with the differences the unit intends.
void compare(const aisTargetINFO &a, const std::map<std::string, std::string> &g) {
  const BOOL *f = a.validityFlag;
  for (const auto &[sField, sValue] : g) {
    SCOPED_TRACE(sField + " = " + sValue);
    const double d = isNumber(sValue) ? std::atof(sValue.c_str()) : 0.0;
    const std::string s = unquote(sValue);
    if (sField == "mmsi") {
      EXPECT_EQ(a.MMSI, static_cast<ULONG>(d));
    } else if (sField == "type") {
      EXPECT_EQ(a.LastMsg, static_cast<UCHAR>(d));
    } else if (sField == "status") {
      EXPECT_TRUE(f[NAVSTATUS_FLAG_INDEX]);
      EXPECT_EQ(a.NavStatus, static_cast<int>(d));
    } else if (sField == "speed") {
      if (s == "nan") {
        EXPECT_FALSE(f[SOG_FLAG_INDEX]);  // 1023: not available
      } else {
        ASSERT_TRUE(f[SOG_FLAG_INDEX]);
        EXPECT_NEAR(a.Sog, s == "fast" ? 102.2 : d, 1e-9);  // 1022 is 102.2 kn, not "fast"
      }
    } else if (sField == "accuracy") {
      EXPECT_EQ(a.PosAccuracy, s == "true" ? LOWER_TEN_METERS : GREATER_TEN_METERS);
    } else if (sField == "lon" || sField == "lat") {
      if ((sField == "lon" && d == 181.0) || (sField == "lat" && d == 91.0)) {
        EXPECT_FALSE(f[SHIPPOS_FLAG_INDEX]);
      } else {
        ASSERT_TRUE(f[SHIPPOS_FLAG_INDEX]);
        EXPECT_NEAR(sField == "lon" ? a.Longitude : a.Latitude, d, 1e-6);
      }
    } else if (sField == "course") {
      if (d == 360.0) {
        EXPECT_FALSE(f[COG_FLAG_INDEX]);
      } else {
        ASSERT_TRUE(f[COG_FLAG_INDEX]);
        EXPECT_NEAR(a.Cog, d, 1e-9);
      }
    } else if (sField == "heading") {
      if (d == 511) {
        EXPECT_FALSE(f[TRUEHEAD_FLAG_INDEX]);
      } else {
        ASSERT_TRUE(f[TRUEHEAD_FLAG_INDEX]);
        EXPECT_EQ(a.TrueHeading, static_cast<UINT>(d));
      }
    } else if (sField == "second") {
      EXPECT_EQ(f[UTCSEC_FLAG_INDEX], d < 60);
      if (d < 60) {
        EXPECT_EQ(a.TimeStamp_UTCsec, static_cast<UCHAR>(d));
      }
    } else if (sField == "alt") {
      if (s == "nan") {
        EXPECT_FALSE(f[ALTITUDE_FLAG_INDEX]);
      } else {
        ASSERT_TRUE(f[ALTITUDE_FLAG_INDEX]);
        EXPECT_EQ(a.Altitude, s == "high" ? 4094u : static_cast<UINT>(d));  // 4094 stays 4094
      }
    } else if (sField == "shipname" || sField == "callsign" || sField == "destination") {
      const int nFlag = sField == "shipname" ? NAME_FLAG_INDEX : sField == "callsign" ? CALLSIGN_FLAG_INDEX : DEST_FLAG_INDEX;
      const std::string sOurs = text(sField == "shipname" ? a.Name : sField == "callsign" ? a.CallSign : a.Destination);
      if (s.empty()) {
        EXPECT_FALSE(f[nFlag]);
      } else {
        ASSERT_TRUE(f[nFlag]);
        EXPECT_EQ(trimRight(sOurs), s);  // gpsdecode strips the trailing blanks
      }
    } else if (sField == "shiptype") {
      EXPECT_EQ(f[SHIPTYPE_FLAG_INDEX], d >= 1 && d <= 99);
      if (d >= 1 && d <= 99) {
        EXPECT_EQ(a.ShipType, static_cast<UCHAR>(d));
      }
    } else if (sField == "to_bow" || sField == "to_stern" || sField == "to_port" || sField == "to_starboard") {
      ASSERT_TRUE(f[SHIPDIM_FLAG_INDEX]);
      const UINT u = sField == "to_bow" ? a.ShipDimension.DimBow_A : sField == "to_stern" ? a.ShipDimension.DimStern_B
                     : sField == "to_port" ? a.ShipDimension.DimPort_C : a.ShipDimension.DimStarboard_D;
      EXPECT_EQ(u, static_cast<UINT>(d));
    } else if (sField == "imo") {
      EXPECT_EQ(f[IMO_FLAG_INDEX], d > 0);
      if (d > 0) {
        EXPECT_EQ(a.IMO, static_cast<ULONG>(d));
      }
    } else if (sField == "eta") {
      // No year: month, day, hour and minute, each part stored only when valid.
      unsigned nMonth = 0, nDay = 0, nHour = 0, nMinute = 0;
      ASSERT_EQ(std::sscanf(s.c_str(), "%u-%uT%u:%uZ", &nMonth, &nDay, &nHour, &nMinute), 4);
      const bool bDate = nMonth >= 1 && nMonth <= 12 && nDay >= 1 && nDay <= 31;
      const bool bTime = nHour <= 23 && nMinute <= 59;
      EXPECT_EQ(f[ETA_FLAG_INDEX], bDate || bTime);
      if (bDate || bTime) {
        EXPECT_EQ(a.Eta.Date, bDate ? nDay * 10000 + nMonth * 100 : 0u);
        EXPECT_EQ(a.Eta.Time, bTime ? nHour * 10000 + nMinute * 100 : 0u);
      }
    } else if (sField == "draught") {
      EXPECT_EQ(f[DRAUGHT_FLAG_INDEX], d > 0);  // 0: not available
      if (d > 0) {
        EXPECT_NEAR(a.Draught, d, 1e-9);
      }
    }
  }
}

TEST_F(AisGpsdTest, TargetsFromTheSerialLineMatchGpsdecodeOnTheSameCorpus) {
  const std::string sDir = m_sDataDir + "/ais_gpsd";
  mkdir(sDir.c_str(), 0755);
  const std::string sCorpus = sDir + "/ais.log", sLatest = sDir + "/latest.txt";
  const std::string sScript = std::string(CORVAN_TEST_DATA) + "/ais_corpus.py";
  ASSERT_EQ(std::system(("python3 " + sScript + " corpus " + sCorpus).c_str()), 0);
  ASSERT_EQ(std::system(("gpsdecode -j -s < " + sCorpus + " 2>/dev/null | python3 " + sScript + " latest > " +
                         sLatest).c_str()), 0);
  const LATEST latest = readLatest(sLatest);
  ASSERT_GE(latest.size(), 14u);
  unsigned nSentences = 0;
  {
    std::ifstream in(sCorpus);
    std::string sLine;
    while (std::getline(in, sLine)) nSentences += sLine.rfind("!AIVDM", 0) == 0;
  }

  startNmea();
  TEST_vRunNmeaSystem(3);
  H_DATABASE_bUpdateEverythingBoolean(FCID("SAIS"), TRUE, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  const std::string sLink = m_sDataDir + "/devroot/dev/ttySC0";
  TEST_vWaitFor([&] { return access(sLink.c_str(), F_OK) == 0; });
  // A line at a time, each handed over before the next: a terminal has no baud rate, and a whole file at once
  // would overrun the channel's receive queue where a 4800-baud line never could.
  std::ifstream in(sCorpus);
  std::string sLine;
  unsigned nFed = 0;
  while (std::getline(in, sLine)) {
    const U32 u32Before = T_NMEA_u32AisSentencesForTest();
    FILE *pSocat = popen(("socat -u - OPEN:" + sLink + ",rawer").c_str(), "w");
    ASSERT_NE(pSocat, nullptr);
    std::fputs((sLine + "\n").c_str(), pSocat);
    ASSERT_EQ(pclose(pSocat), 0);
    if (sLine.rfind("!AIVDM", 0) != 0) continue;
    ++nFed;
    TEST_vWaitFor([&] { return T_NMEA_u32AisSentencesForTest() != u32Before; });
  }
  EXPECT_EQ(nFed, nSentences);

  L_MUTEX_LockWait(RES_AIS_DATA);
  std::set<U32> seen;
  ais_DeviceInfo *pSlot = nullptr;
  for (S32 i = 0; T_NMEA_bScanAisPoints(i, &pSlot); ++i) {
    const aisTargetINFO &a = pSlot->aisInfo;
    SCOPED_TRACE("MMSI " + std::to_string(a.MMSI));
    seen.insert(a.MMSI);
    const auto it = latest.find(a.MMSI);
    // gpsdecode versions that drop a part B without its part A have no record of this one.
    if (it == latest.end()) {
      EXPECT_EQ(a.MMSI, 366000004u);
      EXPECT_STREQ(reinterpret_cast<const char *>(a.CallSign), "WDF4321");
      continue;
    }
    compare(a, it->second);
  }
  L_MUTEX_Unlock(RES_AIS_DATA);
  for (const auto &[u32MMSI, fields] : latest) EXPECT_TRUE(seen.count(u32MMSI)) << u32MMSI;
  // The cut report is refused by both.
  EXPECT_EQ(latest.count(244000099), 0u);
  EXPECT_EQ(seen.count(244000099), 0u);

  // The rate of turn follows its linear scale: gpsdecode prints its own square-root scale and drops the sign.
  struct Turn {
    U32 u32MMSI;
    const char *pcGpsd;
    double dValue;
    BOOL bRight;
  } aTurns[] = {{244000001, "4", 55.748031496062992, TRUE}, {244000002, "4", 0.0, FALSE},
                {244000003, "\"fastright\"", 5.0, TRUE},   {244000004, "\"fastleft\"", 0.0, FALSE},
                {244000005, "\"nan\"", 0.0, FALSE}};
  for (const Turn &t : aTurns) {
    SCOPED_TRACE(t.u32MMSI);
    EXPECT_EQ(latest.at(t.u32MMSI).at("turn"), t.pcGpsd);
    L_MUTEX_LockWait(RES_AIS_DATA);
    ASSERT_TRUE(T_NMEA_bScanAisPoints(T_NMEA_s32GetAisIndex(t.u32MMSI), &pSlot));
    EXPECT_TRUE(pSlot->aisInfo.validityFlag[ROT_FLAG_INDEX]);
    EXPECT_NEAR(pSlot->aisInfo.Rot.Value, t.dValue, 1e-9);
    EXPECT_EQ(pSlot->aisInfo.Rot.Right, t.bRight);
    L_MUTEX_Unlock(RES_AIS_DATA);
  }
  // Both interleaved static reports kept their own texts.
  EXPECT_EQ(unquote(latest.at(209000111).at("shipname")), "AFRODITI");
  EXPECT_EQ(unquote(latest.at(338000222).at("shipname")), "LADY LIBERTY");
}

}  // namespace
