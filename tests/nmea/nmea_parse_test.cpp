// Sentence reception, the parsers' settings writes and the output sentences, driven directly on the port records.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "chartlib/nav/nv_navig.h"
#include "kernel/queue.h"
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
#include "util/convert.h"

namespace {

std::string checksummed(const std::string &sBody, char cStart = '$') {
  unsigned u = 0;
  for (char c : sBody) u ^= static_cast<unsigned char>(c);
  char acSum[8];
  std::snprintf(acSum, sizeof(acSum), "*%02X", u);
  return cStart + sBody + acSum + "\r\n";
}

bool fetchFloat(FOURCHARID key, float *pf) {
  BOOLEAN bValid = FALSE;
  return H_DATABASE_bFetchFloat(key, pf, &bValid, nullptr) && bValid;
}
bool fetchU32(FOURCHARID key, U32 *pu) {
  BOOLEAN bValid = FALSE;
  return H_DATABASE_bFetchU32(key, pu, &bValid, nullptr) && bValid;
}
bool fetchS32(FOURCHARID key, S32 *ps) {
  BOOLEAN bValid = FALSE;
  return H_DATABASE_bFetchS32(key, ps, &bValid, nullptr) && bValid;
}
FOURCHARID key(const std::string &s) { return s[0] | s[1] << 8 | s[2] << 16 | static_cast<U32>(s[3]) << 24; }

class NmeaParseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!TEST_bFreshParsers()) GTEST_SKIP() << "needs the test clock";
    m_pExternal = T_NMEA_pGetPortInfo(ID_EXTERNAL_GPS);
    T_NMEA_vRecordParsedForTest(TRUE);
    NMEA_STANDIN_vTake();
  }
  void TearDown() override {
    T_NMEA_vRecordParsedForTest(FALSE);
    T_NMEA_vCaptureOutputForTest(FALSE);
  }

  // Every character through the external port's receiver.
  void receive(const std::string &s, PORT_INDEX ePort = PORT_INDEX_EXTERNAL_GPS) {
    NMEA_PORT_INFO *pPort = ePort == PORT_INDEX_EXTERNAL_GPS ? m_pExternal : T_NMEA_pGetPortInfo(ID_EXTERNAL_AIS);
    for (unsigned char c : s) T_NMEA_vReceiveEntry(pPort, ePort, c);
  }
  static std::vector<std::string> parsed() {
    std::vector<std::string> as;
    for (const std::string &s : T_NMEA_asTakeParsedForTest()) as.push_back(s.substr(s.find(' ') + 1));
    return as;
  }
  static void parse(const std::string &s, PORT_INDEX ePort = PORT_INDEX_EXTERNAL_GPS) {
    T_NMEA_vParseSentence(ePort, s.c_str());
  }
  static void advance(U32 u32Ms) {
    PLATFORM_CLOCK_vAdvanceTestClockMs(u32Ms);
    TIMER_vSyncForTest();
  }
  NMEA_PORT_INFO *m_pExternal = nullptr;
};

TEST_F(NmeaParseTest, ReceiverAcceptsCheckedAndUncheckedSentencesWithinTheirLimits) {
  const std::string sGGA = "GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,";
  std::string sLower = checksummed(sGGA);
  for (char &c : sLower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  sLower[0] = '$';
  sLower.replace(1, sGGA.size(), sGGA);
  struct Case {
    const char *pcWhat;
    std::string sInput;
    std::vector<std::string> asParsed;
  } const kCases[] = {
      {"upper-case checksum", checksummed(sGGA), {sGGA + checksummed(sGGA).substr(sGGA.size() + 1, 3)}},
      {"lower-case checksum", sLower, {sLower.substr(1, sLower.size() - 3)}},
      {"wrong checksum", "$" + sGGA + "*00\r\n", {}},
      {"149 characters and CR", "$" + std::string(149, 'A') + "\r", {std::string(149, 'A')}},
      {"150 characters and CR", "$" + std::string(150, 'A') + "\r", {}},
      {"146 before the star", checksummed(std::string(146, 'B')),
       {checksummed(std::string(146, 'B')).substr(1, 149)}},
      {"147 before the star", checksummed(std::string(147, 'B')), {}},
      {"148 before the star", checksummed(std::string(148, 'B')), {}},
      {"control character", "$GPHDT,1\x01" "0,T\r", {}},
      {"character above 126", "$GPHDT,1\x7F,T\r", {}},
      {"restart on a second dollar", "$GPH$GPHDT,10,T\r", {"GPHDT,10,T"}},
      {"exclamation mark starts too", "!AIVDM,1\r", {"AIVDM,1"}},
      {"bad hex digit", "$GPHDT,10,T*G1\r\n", {}},
  };
  for (const Case &c : kCases) {
    SCOPED_TRACE(c.pcWhat);
    receive(c.sInput);
    EXPECT_EQ(parsed(), c.asParsed);
  }
  // An element with a high byte resets the receiver mid-sentence.
  receive("$GPHDT,1");
  T_NMEA_vReceiveEntry(m_pExternal, PORT_INDEX_EXTERNAL_GPS, 0x0130);
  receive("0,T\r$GPHDT,20,T\r");
  EXPECT_EQ(parsed(), std::vector<std::string>{"GPHDT,20,T"});
}

std::string ubx(U8 u8Class, U8 u8Id, const std::vector<U8> &au8Payload, int nBreak = 0) {
  std::string s = {'\xB5', '\x62', static_cast<char>(u8Class), static_cast<char>(u8Id),
                   static_cast<char>(au8Payload.size() & 0xFF), static_cast<char>(au8Payload.size() >> 8)};
  for (U8 u : au8Payload) s += static_cast<char>(u);
  U8 a = 0, b = 0;
  for (size_t i = 2; i < s.size(); ++i) {
    a = static_cast<U8>(a + static_cast<U8>(s[i]));
    b = static_cast<U8>(b + a);
  }
  s += static_cast<char>(a);
  s += static_cast<char>(b + nBreak);
  return s;
}
void putLE(std::vector<U8> &a, size_t o, U32 u) {
  for (int i = 0; i < 4; ++i) a[o + i] = static_cast<U8>(u >> (8 * i));
}
std::string sirf(const std::vector<U8> &au8Payload, int nBreak = 0) {
  std::vector<U8> au8Frame(au8Payload.size() + 8);
  const U32 u32Length = T_NMEA_u32FrameSiRF(au8Payload.data(), static_cast<U32>(au8Payload.size()), au8Frame.data(),
                                            static_cast<U32>(au8Frame.size()));
  au8Frame[u32Length - 3] = static_cast<U8>(au8Frame[u32Length - 3] + nBreak);
  return std::string(au8Frame.begin(), au8Frame.begin() + u32Length);
}

TEST_F(NmeaParseTest, BinaryMessagesWriteTheirValuesOnlyWhenCheckedAndLongEnough) {
  std::vector<U8> au8Pos(28);
  putLE(au8Pos, 20, 2500);
  receive(ubx(0x01, 0x02, au8Pos, 1));  // wrong checksum B
  float f = 0;
  EXPECT_FALSE(fetchFloat(FCID("IEPE"), &f));
  receive(ubx(0x01, 0x02, au8Pos));
  ASSERT_TRUE(fetchFloat(FCID("IEPE"), &f));
  EXPECT_FLOAT_EQ(f, 2.5f);
  const std::string sShared = checksummed("PUBXEPE,2.500000").substr(1);
  std::vector<std::string> asCalls = NMEA_STANDIN_vTake();
  EXPECT_EQ(asCalls, (std::vector<std::string>{"share " + sShared, "detected 2"}));
  // A short frame writes nothing but is still handled.
  H_DATABASE_vDeleteEntry(FCID("IEPE"));
  receive(ubx(0x01, 0x02, std::vector<U8>(20)));
  EXPECT_FALSE(fetchFloat(FCID("IEPE"), &f));
  EXPECT_EQ(NMEA_STANDIN_vTake(), std::vector<std::string>{"detected 2"});

  // VELNED: 100 cm/s north and east, course accuracy within 360 degrees: 45 unfiltered.
  m_pExternal->bCalculateCOG = TRUE;
  std::vector<U8> au8Vel(36);
  putLE(au8Vel, 4, 100);
  putLE(au8Vel, 8, 100);
  putLE(au8Vel, 32, 360 * 100000);
  receive(ubx(0x01, 0x12, au8Vel));
  DB_ATTRIBUTES attr;
  BOOLEAN bValid = FALSE;
  ASSERT_TRUE(H_DATABASE_bFetchFloat(FCID("IHDG"), &f, &bValid, &attr));
  EXPECT_NEAR(f, 45.0f, 1e-4);
  EXPECT_TRUE(m_pExternal->bReceivedVELNED);
  // The source number is the priority: a weaker writer is refused (TRUE), an equal one is not.
  EXPECT_TRUE(H_DATABASE_bUpdateValueFloat(FCID("IHDG"), 1.0f, ID_EXTERNAL_GPS + 1));
  EXPECT_FALSE(H_DATABASE_bUpdateValueFloat(FCID("IHDG"), 1.0f, ID_EXTERNAL_GPS));

  // SiRF 41: bytes 46-49 big-endian × 0.01; a wrong sum is dropped; another message asks for NMEA.
  std::vector<U8> au8Geo(91);
  au8Geo[0] = 41;
  au8Geo[46] = 0;
  au8Geo[47] = 0;
  au8Geo[48] = 0x04;
  au8Geo[49] = 0xD2;  // 1234
  H_DATABASE_vDeleteEntry(FCID("IEPE"));
  NMEA_STANDIN_vTake();
  receive(sirf(au8Geo, 1));
  EXPECT_FALSE(fetchFloat(FCID("IEPE"), &f));
  EXPECT_FALSE(m_pExternal->bBinaryMsgReceived);
  receive(sirf(au8Geo));
  ASSERT_TRUE(fetchFloat(FCID("IEPE"), &f));
  EXPECT_FLOAT_EQ(f, 12.34f);
  EXPECT_TRUE(m_pExternal->bBinaryMsgReceived);
  receive(sirf({2, 0, 0}));
  EXPECT_EQ(NMEA_STANDIN_vTake(), (std::vector<std::string>{"detected 2", "sirf to nmea 2", "detected 2"}));
}

TEST_F(NmeaParseTest, DamagedTwinStreamWritesOnlyItsIntactSentences) {
  std::mt19937 rng(1234);
  std::string sStream;
  std::vector<std::string> asIntact;
  for (int i = 0; i < 300; ++i) {
    char acBody[64];
    std::snprintf(acBody, sizeof(acBody), "HCHDT,%d.%d,T", i % 360, i % 10);
    std::string sSentence = checksummed(acBody);
    const int nDamage = static_cast<int>(rng() % 3);
    if (nDamage == 0) {
      asIntact.push_back(sSentence.substr(1, sSentence.size() - 3));
    } else {
      const size_t szAt = 1 + rng() % (std::strlen(acBody));
      if (nDamage == 1) {
        // Another printable character, never a start or star: the checksum fails.
        char c;
        do {
          c = static_cast<char>(32 + rng() % 95);
        } while (c == sSentence[szAt] || c == '$' || c == '!' || c == '*');
        sSentence[szAt] = c;
      } else {
        char c;
        do {
          c = static_cast<char>(rng() % 32);
        } while (c == '\r');
        sSentence.insert(szAt, 1, c);
      }
    }
    sStream += sSentence;
  }
  receive(sStream);
  EXPECT_EQ(parsed(), asIntact);
}

TEST_F(NmeaParseTest, PositionSentencesWriteTheFixAndThePositionOnlyWhenTheyMayy) {
  U32 u = 0;
  S32 s = 0;
  // GN and GP alike; a six-letter address ending in RMC is not an RMC.
  parse(checksummed("GPRMCX,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W").substr(1));
  EXPECT_FALSE(fetchS32(FCID("ILAT"), &s));
  for (const char *pcTalker : {"GN", "GP"}) {
    H_DATABASE_vDeleteEntry(FCID("ILAT"));
    parse(std::string(pcTalker) + "RMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W");
    ASSERT_TRUE(fetchS32(FCID("ILAT"), &s)) << pcTalker;
    POINT pt = {0, s};
    POSITION pos;
    S32 sLon = 0;
    fetchS32(FCID("ILON"), &sLon);
    pt.x = sLon;
    nv_MeterToDegr(&pt, &pos);
    EXPECT_NEAR(pos.lat, 48.1173, 1e-4);
    EXPECT_NEAR(pos.lon, 11.516667, 1e-4);
  }
  // Status V: 'ILAT' untouched, so it lapses 4 s after the last good fix.
  advance(3000);
  parse("GPRMC,123520,V,4907.038,N,01131.000,E,022.4,084.4,230394,003.1,W");
  EXPECT_TRUE(fetchS32(FCID("ILAT"), &s));
  advance(1500);
  EXPECT_FALSE(fetchS32(FCID("ILAT"), &s));

  struct Case {
    const char *pcWhat;
    const char *pcSentence;
    int nPFI;    // -1 not written
    int nSats;   // -1 not written
    bool bPosition;
  } const kCases[] = {
      {"fix 1, satellites 00", "GPGGA,123519,4807.038,N,01131.000,E,1,00,0.9,545.4,M,46.9,M,,", 1, 12, true},
      {"no position", "GPGGA,123519,,,,,0,00,,,M,,M,,", 0, -1, false},
      {"fix 0 with zeros", "GPGGA,123519,0000.000,N,00000.000,E,0,00,0.0,0.0,M,0.0,M,,", 0, 0, false},
      {"fix 2 with DGPS", "GPGGA,123519,4807.038,N,01131.000,E,2,07,1.2,10.5,M,46.9,M,3.5,0012", 2, 7, true},
  };
  for (const Case &c : kCases) {
    SCOPED_TRACE(c.pcWhat);
    for (const char *pc : {"ILAT", "IPFI", "ISAN"}) H_DATABASE_vDeleteEntry(key(pc));
    parse(c.pcSentence);
    EXPECT_EQ(fetchU32(FCID("IPFI"), &u) ? static_cast<int>(u) : -1, c.nPFI);
    EXPECT_EQ(fetchU32(FCID("ISAN"), &u) ? static_cast<int>(u) : -1, c.nSats);
    EXPECT_EQ(fetchS32(FCID("ILAT"), &s), c.bPosition);
  }
  float f = 0;
  ASSERT_TRUE(fetchFloat(FCID("IDGA"), &f));
  EXPECT_FLOAT_EQ(f, 3.5f);
  ASSERT_TRUE(fetchU32(FCID("IDGS"), &u));
  EXPECT_EQ(u, 12u);
  ASSERT_TRUE(fetchFloat(FCID("IALT"), &f));
  EXPECT_FLOAT_EQ(f, 10.5f);
}

TEST_F(NmeaParseTest, HeadingSentences) {
  float f = 0;
  parse("HEHDT,,T");
  EXPECT_FALSE(fetchFloat(FCID("IHDT"), &f));
  parse("HEHDT,123.5,T");
  ASSERT_TRUE(fetchFloat(FCID("IHDT"), &f));
  EXPECT_FLOAT_EQ(f, 123.5f);
  parse("HEHDM,77.0,M");
  ASSERT_TRUE(fetchFloat(FCID("IHDM"), &f));
  EXPECT_FLOAT_EQ(f, 77.0f);
  parse("HEROT,-3.5,A");
  ASSERT_TRUE(fetchFloat(FCID("IROT"), &f));
  EXPECT_FLOAT_EQ(f, -3.5f);
  H_DATABASE_vDeleteEntry(FCID("IROT"));
  parse("HEROT,4.5,V");
  EXPECT_FALSE(fetchFloat(FCID("IROT"), &f));

  // HDG: 5 with 10 W variation is 355 true; 'IHDC' goes out on odd counts; 'SCHO' moves 'IHDM' only.
  H_DATABASE_bUpdateEverythingU32(FCID("SCHO"), static_cast<U32>(-10), P_NORMAL, D_SIGNED32, nullptr, DB_NO_TIMEOUT);
  struct Case {
    const char *pcSentence;
    float fMagnetic;
    float fTrue;  // < 0: 'IHDC' not written
  } const kCases[] = {
      {"HCHDG,5.0,,,10.0,W", 355.0f, 355.0f},
      {"HCHDG,5.0,2.0,E,10.0,W", 355.0f, -1},
      {"HCHDG,15.0,0.0,W,10.0,E", 5.0f, 25.0f},
      {"HCHDG,5.0,,,,", 355.0f, -1},
      {"HCHDG,5.0,1.0,X,10.0,W", 355.0f, -1},
  };
  for (const Case &c : kCases) {
    SCOPED_TRACE(c.pcSentence);
    H_DATABASE_vDeleteEntry(FCID("IHDC"));
    parse(c.pcSentence);
    ASSERT_TRUE(fetchFloat(FCID("IHDM"), &f));
    EXPECT_FLOAT_EQ(f, c.fMagnetic);
    EXPECT_EQ(fetchFloat(FCID("IHDC"), &f), c.fTrue >= 0);
    if (c.fTrue >= 0) {
      EXPECT_NEAR(f, c.fTrue, 1e-3);
    }
  }
}

TEST_F(NmeaParseTest, HeadingAverageStaysContinuousAcrossNorth) {
  float f = 0;
  const float afTrue[] = {350, 354, 358, 2, 6, 10, 14, 18, 22, 26};
  for (float fHeading : afTrue) {
    char ac[64];
    std::snprintf(ac, sizeof(ac), "HCHDG,%.1f,0.0,E,0.0,E", fHeading);
    parse(ac);
  }
  ASSERT_TRUE(fetchFloat(FCID("IHDC"), &f));
  // The last five written on an odd count (the ninth sentence): 6..22 → 14.
  EXPECT_NEAR(f, 14.0f, 1e-3);
}

TEST_F(NmeaParseTest, SatelliteSlots) {
  parse("GPGSA,A,3,04,05,09,12,,,,,,,,,2.5,1.3,2.1");
  U32 u = 0;
  ASSERT_TRUE(fetchU32(FCID("IGSM"), &u));
  EXPECT_EQ(u, 3u);
  parse("GPGSV,2,1,08,04,40,083,46,05,17,308,41,120,13,172,39,09,07,344,30");
  ASSERT_TRUE(fetchU32(FCID("ISA1"), &u));
  EXPECT_EQ(u, 4u | 40u << 8 | 83u << 15 | 46u << 24 | 0x80000000u);
  ASSERT_TRUE(fetchU32(FCID("ISA3"), &u));
  EXPECT_EQ(u, 0u);  // satellite 120
  ASSERT_TRUE(fetchU32(FCID("ISA4"), &u));
  EXPECT_EQ(u, 9u | 7u << 8 | 344u << 15 | 30u << 24 | 0x80000000u);
  // Slots beyond a set of two are cleared by its last message.
  H_DATABASE_bUpdateEverythingU32(FCID("ISAK"), 77, P_UNOWNED, D_SAT_DATA, nullptr, DB_NO_TIMEOUT);
  parse("GPGSV,2,2,08,13,42,050,40,,,,,,,,,,,,");
  ASSERT_TRUE(fetchU32(FCID("ISA5"), &u));
  EXPECT_EQ(u, 13u | 42u << 8 | 50u << 15 | 40u << 24);
  for (const char *pc : {"ISA9", "ISAA", "ISAK"}) {
    ASSERT_TRUE(fetchU32(key(pc), &u)) << pc;
    EXPECT_EQ(u, 0u) << pc;
  }
  // Twelve used satellites fill the list; a GSV beyond 12 slots still works.
  parse("GPGSA,A,3,01,02,03,04,05,06,07,08,09,10,11,12,1.0,1.0,1.0");
  parse("GPGSV,5,5,20,12,10,010,20,50,10,010,20,,,,,,,,");
  ASSERT_TRUE(fetchU32(FCID("ISAH"), &u));
  EXPECT_EQ(u, 12u | 10u << 8 | 10u << 15 | 20u << 24 | 0x80000000u);
  ASSERT_TRUE(fetchU32(FCID("ISAI"), &u));
  EXPECT_EQ(u & 0x80000000u, 0u);
}

TEST_F(NmeaParseTest, ReceiverKindSentences) {
  parse("GPTXT,01,01,02,ANTSTATUS=OK");
  EXPECT_EQ(NMEA_STANDIN_vTake(), (std::vector<std::string>{"share GPTXT,01,01,02,ANTSTATUS=OK", "initialize 2 2"}));
  parse("PSRFTXT,Version");
  EXPECT_EQ(m_pExternal->eGPSType, GPS_TYPE_NAVMAN);
  EXPECT_EQ(m_pExternal->pSerialInfo->nNewBaudRate, 38400);
  float f = 0;
  parse("PSRFEPE,100,A,1.0,3.25,2.0");
  ASSERT_TRUE(fetchFloat(FCID("IEPE"), &f));
  EXPECT_FLOAT_EQ(f, 3.25f);
  parse("PUBXEPE,1.75*3A");
  ASSERT_TRUE(fetchFloat(FCID("IEPE"), &f));
  EXPECT_FLOAT_EQ(f, 1.75f);
  EXPECT_EQ(m_pExternal->eGPSType, GPS_TYPE_UBLOX);
  NMEA_STANDIN_vTake();
  // Remote-control sentences go nowhere else; the first AIS sentence registers the menus once.
  parse("ZODI101,1,2");
  EXPECT_EQ(NMEA_STANDIN_vTake(), std::vector<std::string>{"remote 2 ZODI101,1,2"});
  parse("AIVDO,1,1,,A,x,0", PORT_INDEX_EXTERNAL_AIS);
  parse("AIVDM,1,1,,A,x,0", PORT_INDEX_EXTERNAL_AIS);
  EXPECT_EQ(NAV_STANDIN_u32AISMenuSetups(), 1u);
  EXPECT_TRUE(T_NMEA_pGetPortInfo(ID_EXTERNAL_AIS)->bChannelIsAIS);
  EXPECT_FALSE(m_pExternal->bChannelIsAIS);
}

TEST_F(NmeaParseTest, RmcTimeIsUtcWhateverTheZoneAndStampsTheSource) {
  const char *pcRMC = "GPRMC,225446,A,4916.45,N,12311.12,W,000.5,054.7,191194,020.3,E";
  U32 u32Utc = 0, u = 0;
  parse(pcRMC);
  ASSERT_TRUE(fetchU32(FCID("IDTM"), &u32Utc));
  EXPECT_EQ(u32Utc, 785285686u);  // 1994-11-19 22:54:46 UTC
  ASSERT_TRUE(fetchU32(FCID("STDB"), &u));
  EXPECT_EQ(u, 1213461000u);
  setenv("TZ", "America/Los_Angeles", 1);
  tzset();
  H_DATABASE_vDeleteEntry(FCID("IDTM"));
  parse(pcRMC);
  setenv("TZ", "UTC", 1);
  tzset();
  ASSERT_TRUE(fetchU32(FCID("IDTM"), &u));
  EXPECT_EQ(u, u32Utc);
  for (const char *pc : {"GPRMC,225446,V,4916.45,N,12311.12,W,000.5,054.7,191194,020.3,E",
                         "GPRMC,225446,A,4916.45,N,12311.12,W,000.5,054.7,,020.3,E"}) {
    H_DATABASE_vDeleteEntry(FCID("STDB"));
    parse(pc);
    EXPECT_FALSE(fetchU32(FCID("STDB"), &u)) << pc;
  }
}

// The position field of a point after its trip through whole Mercator metres, as the store keeps it.
std::string posField(double dLat, double dLon) {
  POSITION pos = {dLat, dLon};
  POINT pt;
  nv_DegrToMeter(&pos, &pt);
  nv_MeterToDegr(&pt, &pos);
  char ac[32];
  T_NMEA_vPrintPosition(pos, ac);
  return ac;
}

// Output.
class NmeaOutputTest : public NmeaParseTest {
 protected:
  void SetUp() override {
    NmeaParseTest::SetUp();
    if (IsSkipped()) return;
    for (const char *pc : {"SNOE", "SNGE", "SNNE"}) {
      H_DATABASE_bUpdateEverythingU32(key(pc), TRUE, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
    }
    T_NMEA_vCaptureOutputForTest(TRUE);
    while (T_NMEA_nOutputStepForTest() != 0) T_NMEA_vHandleTransmit();
    T_NMEA_sTakeOutputForTest();
  }
  static std::vector<std::string> step() {
    T_NMEA_vHandleTransmit();
    std::vector<std::string> as;
    std::string s = T_NMEA_sTakeOutputForTest();
    for (size_t szAt = 0; szAt < s.size();) {
      const size_t szEnd = s.find("\r\n", szAt);
      EXPECT_NE(szEnd, std::string::npos);
      if (szEnd == std::string::npos) break;
      const std::string sLine = s.substr(szAt, szEnd - szAt);
      // Checksum, then the text without it.
      const size_t szStar = sLine.find('*');
      EXPECT_EQ(sLine.substr(szStar), checksummed(sLine.substr(1, szStar - 1)).substr(szStar, 3)) << sLine;
      as.push_back(sLine.substr(0, szStar + 1));
      szAt = szEnd + 2;
    }
    return as;
  }
  static void set(const char *pc, float f) {
    H_DATABASE_bUpdateEverythingFloat(key(pc), f, P_NORMAL, D_FLOAT, nullptr, DB_NO_TIMEOUT);
  }
  static void setU(const char *pc, U32 u) {
    H_DATABASE_bUpdateEverythingU32(key(pc), u, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  }
  static void fix() {
    setU("SDST", 0);
    setU("SLTZ", static_cast<U32>(-300));
    setU("IPFI", 1);
    POSITION pos = {-33.5, 151.25};
    POINT pt;
    nv_DegrToMeter(&pos, &pt);
    setU("ILAT", static_cast<U32>(pt.y));
    setU("ILON", static_cast<U32>(pt.x));
    setU("IDTM", 1765453445);  // 2025-12-11 11:44:05
    set("IHDG", 90.0f);
    set("ISPD", 5.144456f);
    set("IMGV", -12.0f);
  }
};

TEST_F(NmeaOutputTest, OffSendsNothingButTheRotationAdvances) {
  setU("SNOE", FALSE);
  EXPECT_TRUE(step().empty());
  EXPECT_EQ(T_NMEA_nOutputStepForTest(), 1);
}

TEST_F(NmeaOutputTest, WithoutAFixEveryStepSendsTheEmptyForms) {
  const std::vector<std::string> asCommon = {"$INDPT,,*", "$INHDG,,,V,,V*", "$INHDT,,T*"};
  const std::vector<std::vector<std::string>> aasSteps = {
      {"$INGLL,,,,,,V*", "$INVTG,,T,,M,,N,,K*", "$INMTW,,*"},
      {"$INRMC,,V,,,,,,,,,*"},
      {"$INGGA,,,,,,0,,,,,,,,*", "$INZDA,,,,,,*", "$INMTW,,*"},
      {"$INRMC,,V,,,,,,,,,*"}};
  for (const auto &asStep : aasSteps) {
    std::vector<std::string> asWant = asCommon;
    asWant.insert(asWant.end(), asStep.begin(), asStep.end());
    EXPECT_EQ(step(), asWant);
  }
  // GPS output off: depth, temperature and navigation only.
  setU("SNGE", FALSE);
  setU("INIP", 1);
  EXPECT_EQ(step(), (std::vector<std::string>{"$INDPT,,*", "$INAPB,A,V,,,,V,V,,,,,,,*", "$INBWR,,,,,,,,,,,,*",
                                              "$INMTW,,*"}));
}

TEST_F(NmeaOutputTest, ValidSentencesCarryTheStoreValues) {
  fix();
  set("IDEP", 12.5f);
  set("YDPO", 0.5f);
  set("ITMP", 18.25f);
  set("IHDC", 101.0f);
  set("IHDM", 113.0f);
  setU("ISAN", 9);
  set("IHDP", 1.5f);
  set("IALT", 20.0f);
  std::vector<std::string> as = step();
  EXPECT_EQ(as, (std::vector<std::string>{std::string("$INDPT,12.0,0.5*"), "$INHDG,113.0,,,12.0,W*", "$INHDT,101.0,T*",
                                          "$INGLL," + posField(-33.5, 151.25) + "114405,A*",
                                          "$INVTG,90.0,T,102.0,M,10.0,N,18.5,K*", "$INMTW,18.2,C*"}));
  as = step();
  EXPECT_EQ(as.back(), "$INRMC,114405,A," + posField(-33.5, 151.25) + "10.0,90.0,111225,12.0,W*");
  as = step();
  EXPECT_EQ(as[3], "$INGGA,114405," + posField(-33.5, 151.25) + "1,09,1.5,20.0,M,,,,*");
  EXPECT_EQ(as[4], "$INZDA,114405,11,12,2025,-05,00*");
  setU("SDST", 1);
  step();
  step();
  step();
  as = step();
  EXPECT_EQ(as[4], "$INZDA,114405,11,12,2025,-04,00*");
  // After an HDG the deviation fills in.
  parse("HCHDG,113.0,2.0,E,12.0,W");
  step();
  EXPECT_EQ(step()[1], "$INHDG,113.0,2.0,E,12.0,W*");
}

TEST_F(NmeaOutputTest, NavigationSentencesCapOnlyWhereTheyShould) {
  fix();
  setU("INIP", 1);
  setU("IOWP", 1);
  setU("IDWP", 2);
  NAV_STANDIN_vSetWaypoint(1, "HOME", 0);
  NAV_STANDIN_vSetWaypoint(2, "REEF", 0);
  POSITION pos = {-33.75, 151.5};
  POINT pt;
  nv_DegrToMeter(&pos, &pt);
  NAV_STANDIN_vSetWaypointPoint(2, pt);
  set("ITRK", 45.0f);
  set("IXTE", -12.0f * 1852.0f);
  set("IBRG", 5.0f);
  set("IDTG", 1200.0f * 1852.0f);
  set("IDCV", 0.0f);
  setU("IACE", 0);
  setU("IPPD", 1);
  std::vector<std::string> as = step();
  EXPECT_EQ(as[3], "$INAPB,A,A,12.000,R,N,V,A,45.0,T,REEF,5.0,T,5.0,T*");
  EXPECT_EQ(as[4], "$INBWR,114405," + posField(-33.75, 151.5) + "5.0,T,17.0,M,1200.000,N,REEF*");
  as = step();
  EXPECT_EQ(as[3], "$INRMB,A,9.990,R,HOME,REEF," + posField(-33.75, 151.5) + "999.900,5.0,0.0,A*");
  // Magnetic values stay within a turn for any variation.
  for (float fVar : {-179.0f, -5.0f, 0.0f, 5.0f, 179.0f}) {
    set("IMGV", fVar);
    for (int i = 0; i < 2; ++i) {
      for (const std::string &s : step()) {
        if (s.rfind("$INVTG", 0) != 0 && s.rfind("$INBWR", 0) != 0) continue;
        const double d = std::atof(s.substr(s.find(",T,") + 3).c_str());
        EXPECT_GE(d, 0.0) << s;
        EXPECT_LT(d, 360.0) << s;
      }
    }
  }
}

TEST(NmeaChecksum, EmptyBodyAndLowerCaseFree) {
  char ac[32] = "$*";
  T_NMEA_vAppendChecksum(ac);
  EXPECT_STREQ(ac, "$*00\r\n");
  char acHDT[32] = "$INHDT,,T*";
  T_NMEA_vAppendChecksum(acHDT);
  EXPECT_EQ(std::string(acHDT), checksummed("INHDT,,T"));
}

}  // namespace
