#include "nmea/nmea_parse.h"

#include <time.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "chartlib/nav/nv_navig.h"
#include "kernel/log.h"
#include "kernel/memory.h"
#include "kernel/mutex.h"
#include "kernel/queue.h"
#include "kernel/sema.h"
#include "kernel/tick.h"
#include "n2k/nmea_adaptor_standin.h"
#include "nav/nav_standin.h"
#include "nmea/ais/ais_nmea.h"
#include "nmea/nmea_standin.h"
#include "nmea/task_post.h"
#include "util/byte_number_clock.h"
#include "util/convert.h"

namespace {

constexpr U32 kTimeOut = 4;  // seconds
constexpr S32 kMaxStored = 149;
constexpr U32 kSatSlots = 20;
constexpr U32 kSatsInUse = 12;
constexpr U32 kSourceStamp = 1213461000;  // 'STDB': a date was taken from a receiver

enum : U32 {
  GW_GGA_Data = 1,
  GW_GSA_Data = 2,
  GW_GSV_Data = 3,
  GW_RMC_Data = 4,
  GW_HDG_Data = 53,
  GW_HDT_Data = 54,
  GW_HDM_Data = 55,
  GW_ROT_Data = 56,
};
enum : S32 { DATA_INVALID = 0, DATA_VALID = 1 };

// Averages of RMC speed and course, kept per source kind (internal, external, network).
struct RmcAverage {
  float fPreCourse;
  U32 u32SampleIndex;
  float afSamples[10];
};
RmcAverage s_aRmc[3];

float s_afTrueHeading5[5];
U32 s_u32SampleIndex5 = 0;
float s_fPreIncomingTrueHeading = 0;

S32 s_nMsgSequence = 0;
U32 s_u32SatLastUpdate = 0;
U32 s_prSat = 14;
BOOLEAN s_bSatTimeSet = FALSE;

BOOLEAN s_bAisMenuSetup = FALSE;
BOOLEAN s_bNMEA2kGPSAlive = FALSE;
U32 s_u32NMEA2kTimeOut = 0;

std::mutex s_recordLock;
BOOLEAN s_bRecord = FALSE;
std::vector<std::string> s_asParsed;

}  // namespace

// Deviation from the last HDG; shared with the output of the same task.
float g_NMEA_fMagDeviation = 0;
char g_NMEA_cMagDevDirection = '\0';

namespace {

NMEA_PORT_INFO *portOf(PORT_INDEX ePort) {
  static const GPS_SOURCE_ID kIds[PORT_INDEX_MAX] = {ID_NETWORK_GPS,         ID_GATEWAY_ATTACHED_GPS, ID_EXTERNAL_GPS,
                                                     ID_INTERNAL_GPS,        ID_REMOTE_EXTERNAL_GPS,
                                                     ID_REMOTE_INTERNAL_GPS, ID_EXTERNAL_AIS,         ID_EXTERNAL_AIS2,
                                                     ID_NMEA2K_GPS};
  return ePort >= 0 && ePort < PORT_INDEX_MAX ? T_NMEA_pGetPortInfo(kIds[ePort]) : nullptr;
}

U32 systemState() {
  U32 u32State = 1;
  BOOLEAN bValid = FALSE;
  if (!H_DATABASE_bFetchU32(FCID("CCST"), &u32State, &bValid, nullptr) || !bValid) return 1;
  return u32State;
}

void writeValue(FOURCHARID key, DB_DATA_TYPE value, U32 u32Priority, DATA_TYPE type) {
  H_DATABASE_bUpdateEverything(key, value, u32Priority, type, nullptr, kTimeOut);
}
void writeFloat(FOURCHARID key, float fValue, U32 u32Priority, DATA_TYPE type) {
  DB_DATA_TYPE value = {};
  value.fVal = fValue;
  writeValue(key, value, u32Priority, type);
}
void writeU32(FOURCHARID key, U32 u32Value, U32 u32Priority, DATA_TYPE type) {
  DB_DATA_TYPE value = {};
  value.u32Val = u32Value;
  writeValue(key, value, u32Priority, type);
}

float wrap360(float fDegrees) {
  float f = std::fmod(fDegrees, 360.0f);
  if (f < 0) f += 360.0f;
  return f;
}

// A copy of the gateway section goes to the gateway task, which frees both.
template <typename T>
void postGateway(U32 u32Id, const NMEA_PORT_INFO *pPort, const T &data) {
  auto *pMsg = NMEA_pNewMessage<GATEWAY_DATA_MESSAGE>(CMD_ID_GATEWAY_DATA);
  pMsg->datatype = u32Id;
  pMsg->datasrc = static_cast<U32>(pPort->eSourceID);
  pMsg->gwdata = H_MEMORY_pvMalloc(sizeof(T));
  std::memcpy(pMsg->gwdata, &data, sizeof(T));
  MBOX mbox = 0;
  if (H_DATABASE_bFetchMailbox(FCID("TX03"), &mbox)) {
    NMEA_bPostToTask(FCID("TX03"), pMsg);
    return;
  }
  H_MEMORY_vFree(pMsg->gwdata);
  H_MEMORY_vFree(pMsg);
}

// Fields of a sentence body: split at commas, the body cut at its '*'.
struct Fields {
  char *ap[40];
  int n = 0;
  explicit Fields(char *pcBody) {
    if (char *pcStar = std::strchr(pcBody, '*')) *pcStar = '\0';
    ap[n++] = pcBody;
    for (char *p = pcBody; *p != '\0' && n < 40; ++p) {
      if (*p == ',') {
        *p = '\0';
        ap[n++] = p + 1;
      }
    }
  }
  bool has(int i) const { return i < n; }
  const char *operator[](int i) const { return ap[i]; }
};

// ddmm.mmmm / dddmm.mmmm and a hemisphere letter.
bool parseCoordinate(const char *pcValue, const char *pcHemisphere, int nDegreeDigits, char cPositive, char cNegative,
                     double *pdOut) {
  if (pcValue[0] == '\0' || static_cast<int>(std::strlen(pcValue)) < nDegreeDigits) return false;
  const char cHemisphere = pcHemisphere[0];
  if (cHemisphere != cPositive && cHemisphere != cNegative) return false;
  char acDegrees[4] = {};
  std::memcpy(acDegrees, pcValue, nDegreeDigits);
  char *pcEnd = nullptr;
  const double dDegrees = std::strtod(acDegrees, &pcEnd);
  const double dMinutes = std::strtod(pcValue + nDegreeDigits, nullptr);
  double d = dDegrees + dMinutes / 60.0;
  if (cHemisphere == cNegative) d = -d;
  *pdOut = d;
  return true;
}

bool parsePosition(const Fields &f, int i, double *pdLat, double *pdLon) {
  if (!f.has(i + 3)) return false;
  if (!parseCoordinate(f[i], f[i + 1], 2, 'N', 'S', pdLat)) return false;
  if (!parseCoordinate(f[i + 2], f[i + 3], 3, 'E', 'W', pdLon)) return false;
  return std::fabs(*pdLat) <= 80.0;
}

bool writePosition(double dLat, double dLon, U32 u32Priority) {
  U32 u32Time = 0;
  H_DATABASE_bFetchU32(FCID("IDTM"), &u32Time, nullptr, nullptr);
  POSITION pos;
  pos.lat = dLat;
  pos.lon = dLon;
  return T_NMEA_bUpdateLatLon(&pos, u32Time, u32Priority) == TRUE;
}

void parseGGA(Fields &f, NMEA_PORT_INFO *pPort) {
  GATEWAY_GGA_DATA &gga = pPort->pGatewayGPSData->GGA_Data;
  gga = {};
  const U32 u32Priority = pPort->GPSWritePriority;
  double dLat = 0, dLon = 0;
  if (!parsePosition(f, 1, &dLat, &dLon)) {
    pPort->u32PFI = 0;
    writeU32(FCID("IPFI"), 0, u32Priority, D_UNKNOWN);
    return;
  }
  gga.Latitude = static_cast<float>(dLat);
  gga.Longitude = static_cast<float>(dLon);
  if (!f.has(5)) return;
  // A receiver still searching (fix quality 0) often reports zeros: no position from it.
  const U32 u32Fix = static_cast<U32>(std::strtoul(f[5], nullptr, 10));
  if (u32Fix != 0) writePosition(dLat, dLon, u32Priority);
  pPort->u32PFI = u32Fix;
  writeU32(FCID("IPFI"), u32Fix, u32Priority, D_UNKNOWN);
  gga.FixType = static_cast<U16>(u32Fix);
  if (!f.has(6)) return;
  U32 u32Sats = static_cast<U32>(std::strtoul(f[6], nullptr, 10));
  if (u32Sats == 0 && u32Fix != 0) u32Sats = 12;
  writeU32(FCID("ISAN"), u32Sats, u32Priority, D_UNKNOWN);
  gga.NumberSatellites = static_cast<U16>(u32Sats);
  if (!f.has(7)) return;
  const float fHDOP = std::strtof(f[7], nullptr);
  writeFloat(FCID("IHDP"), fHDOP, u32Priority, D_FLOAT);
  gga.HDOP = fHDOP;
  if (pPort->eGPSType == GPS_TYPE_LEGACY || pPort->eSourceID == ID_NMEA2K_GPS) {
    pPort->fPositionError = fHDOP * 5.3f;
    writeFloat(FCID("IEPE"), pPort->fPositionError, u32Priority, D_DISTANCE);
  }
  if (!f.has(8)) return;
  const float fAltitude = std::strtof(f[8], nullptr);
  gga.Altitude = fAltitude;
  writeFloat(FCID("IALT"), static_cast<float>(dConvertToInternal(fAltitude, D_DEPTH, U_METRES)), u32Priority,
             D_ALTITUDE);
  if (!f.has(12)) return;
  gga.AgeDifferential = std::strtof(f[12], nullptr);
  writeFloat(FCID("IDGA"), gga.AgeDifferential, u32Priority, D_FLOAT);
  if (!f.has(13)) return;
  gga.ReferenceStation = static_cast<U32>(std::strtoul(f[13], nullptr, 10));
  writeU32(FCID("IDGS"), gga.ReferenceStation, u32Priority, D_UNKNOWN);
  gga.PositionError = pPort->fPositionError;
  postGateway(GW_GGA_Data, pPort, gga);
}

int rmcKind(GPS_SOURCE_ID eSource) {
  switch (eSource) {
    case ID_INTERNAL_GPS: return 0;
    case ID_EXTERNAL_GPS: return 1;
    case ID_NETWORK_GPS: return 2;
    default: return -1;
  }
}

void parseRMC(Fields &f, NMEA_PORT_INFO *pPort) {
  auto &rmc = pPort->pGatewayGPSData->RMC_Data;
  const U32 u32Priority = pPort->GPSWritePriority;
  if (!f.has(1) || std::strlen(f[0]) < 6) return;
  if (f[1][0] != 'A') return;
  double dLat = 0, dLon = 0;
  if (!parsePosition(f, 2, &dLat, &dLon) || !writePosition(dLat, dLon, u32Priority)) return;
  pPort->RMC_Lat = dLat;
  pPort->RMC_Lon = dLon;
  rmc.Latitude = static_cast<float>(dLat);
  rmc.Longitude = static_cast<float>(dLon);
  if (!f.has(6)) return;
  const float fKnots = std::strtof(f[6], nullptr);
  rmc.SpeedOvrGnd = fKnots;
  float fSpeed = static_cast<float>(dConvertToInternal(fKnots, D_SPEED, U_KNOTS));
  if (!f.has(7)) return;
  float fCourse = std::strtof(f[7], nullptr);
  const bool bCourse = fCourse > 0 || f[7][0] != '\0';
  bool bCourseValid = bCourse;
  const int nKind = rmcKind(pPort->eSourceID);
  const bool bAveraged = bCourse && nKind >= 0 && pPort->eGPSType != GPS_TYPE_UBLOX;
  if (bAveraged) {
    RmcAverage &avg = s_aRmc[nKind];
    float fSample = fSpeed;
    if (dLat == pPort->RMC_pre_Lat && dLon == pPort->RMC_pre_Lon) {
      fCourse = avg.fPreCourse;
      if (fSpeed <= 0.09f) fSample = 0;
    }
    T_NMEA_vCalulateMovingAvgSOGAndCOG(fSample, 10, avg.u32SampleIndex, avg.afSamples, &fSpeed);
    ++avg.u32SampleIndex;
    pPort->RMC_pre_Lat = dLat;
    pPort->RMC_pre_Lon = dLon;
    avg.fPreCourse = fCourse;
  } else if (!bCourse) {
    writeFloat(FCID("ISOG"), fSpeed, u32Priority, D_SPEED);
    if (pPort->eSourceID == ID_INTERNAL_GPS && fSpeed > 0.25f) {
      pPort->bCalculateCOG = TRUE;
      H_DATABASE_bUpdateEverythingBoolean(FCID("SCCG"), TRUE, 2, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
    }
  }
  if (!(pPort->eSourceID == ID_INTERNAL_GPS && pPort->bCalculateCOG && pPort->bReceivedVELNED)) {
    U32 u32Selected = 0, u32Override = 0;
    H_DATABASE_bFetchU32(FCID("SGPP"), &u32Override, nullptr, nullptr);
    H_DATABASE_bFetchU32(FCID("CGPS"), &u32Selected, nullptr, nullptr);
    bool bEvenOnly = false;
    if (pPort->eGPSType != GPS_TYPE_UBLOX && u32Selected == static_cast<U32>(pPort->eSourceID) && nKind >= 0) {
      bEvenOnly = nKind != 0 || u32Override == ID_AUTO_SELECT || u32Priority <= 3;
    }
    if (!bEvenOnly || !bAveraged || s_aRmc[nKind].u32SampleIndex % 2 == 0) {
      writeFloat(FCID("ISOG"), fSpeed, u32Priority, D_SPEED);
    }
    const float fHeading = T_NMEA_fUpdateHeading_RMC(bCourseValid ? TRUE : FALSE, fCourse, fSpeed, pPort);
    rmc.CourseOvrGnd = bCourseValid ? fHeading : 0.0001f;
  }
  if (!f.has(8) || std::strlen(f[8]) < 6) return;
  auto two = [](const char *pc) { return (pc[0] - '0') * 10 + (pc[1] - '0'); };
  struct tm tBroken = {};
  tBroken.tm_hour = two(f[0]);
  tBroken.tm_min = two(f[0] + 2);
  tBroken.tm_sec = two(f[0] + 4);
  tBroken.tm_mday = two(f[8]);
  tBroken.tm_mon = two(f[8] + 2) - 1;
  const int nYear = two(f[8] + 4);
  tBroken.tm_year = nYear < 80 ? nYear + 100 : nYear;  // two-digit years from 1980 to 2079
  const time_t tTime = timegm(&tBroken);
  if (tTime < 0) return;
  const U32 u32Time = static_cast<U32>(tTime);
  writeU32(FCID("ITME"), u32Time, u32Priority, D_DATETIME);
  writeU32(FCID("IDTM"), u32Time, u32Priority, D_DATETIME);
  writeU32(FCID("STDB"), kSourceStamp, u32Priority, D_DATETIME);
  L_UTILS_vSetSysDate(u32Time);
  if (T_NAV_bIsMyChartView(UNKNOWN_VIEW) || T_NAV_bIsMyBirdsEyeView(UNKNOWN_VIEW)) L_SEMA_Signal(SEMA_VIEW_UPDATE);
  rmc.Time = u32Time;
  postGateway(GW_RMC_Data, pPort, rmc);
}

void parseHDG(Fields &f, NMEA_PORT_INFO *pPort) {
  auto &hdg = pPort->pGatewayGPSData->HDG_Data;
  const U32 u32Priority = pPort->GPSWritePriority;
  if (f[0][0] == '\0') return;
  const float fSensor = std::strtof(f[0], nullptr);
  S32 s32Offset = 0;
  H_DATABASE_bFetchS32(FCID("SCHO"), &s32Offset, nullptr, nullptr);
  const float fMagnetic = wrap360(fSensor + static_cast<float>(s32Offset));
  writeFloat(FCID("IHDM"), fMagnetic, u32Priority, D_HEADING);
  hdg.MagSensorHeading = fMagnetic;
  if (!f.has(2)) return;
  // A compass without a deviation table leaves deviation and its letter empty: no deviation.
  const bool bNoDeviation = f[1][0] == '\0' && f[2][0] == '\0';
  if (!bNoDeviation) {
    if (f[2][0] != 'E' && f[2][0] != 'W') return;
    g_NMEA_fMagDeviation = std::strtof(f[1], nullptr);
    g_NMEA_cMagDevDirection = f[2][0];
    hdg.MagneticDeviation = g_NMEA_fMagDeviation;
  }
  if (!f.has(4) || (f[4][0] != 'E' && f[4][0] != 'W')) return;
  float fVariation = std::strtof(f[3], nullptr);
  hdg.MagneticVariation = fVariation;
  if (f[4][0] == 'W') fVariation = -fVariation;
  const float fTrue = wrap360(fSensor + fVariation);
  float fOut = fTrue;
  if (s_u32SampleIndex5 < 5) {
    s_afTrueHeading5[s_u32SampleIndex5] = fTrue;
  } else {
    // The stored samples are kept within half a turn of the new heading, so the mean never jumps at north.
    float fSum = 0;
    for (float &fSample : s_afTrueHeading5) {
      while (fSample - fTrue > 180.0f) fSample -= 360.0f;
      while (fTrue - fSample > 180.0f) fSample += 360.0f;
    }
    s_afTrueHeading5[s_u32SampleIndex5 % 5] = fTrue;
    for (float fSample : s_afTrueHeading5) fSum += fSample;
    fOut = fSum * 0.2f;
  }
  ++s_u32SampleIndex5;
  s_fPreIncomingTrueHeading = fTrue;
  fOut = wrap360(fOut);
  if (s_u32SampleIndex5 % 2 == 1) writeFloat(FCID("IHDC"), fOut, u32Priority, D_HEADING);
  postGateway(GW_HDG_Data, pPort, hdg);
}

void parseGSA(Fields &f, NMEA_PORT_INFO *pPort) {
  auto &gsa = pPort->pGatewayGPSData->GSA_Data;
  gsa = {};
  if (!f.has(1)) return;
  const U32 u32Mode = static_cast<U32>(std::strtoul(f[1], nullptr, 10));
  writeU32(FCID("IGSM"), u32Mode, pPort->GPSWritePriority, D_UNKNOWN);
  gsa.SolutionMode = static_cast<U16>(u32Mode);
  if (pPort->pnSatsInUse == nullptr) {
    pPort->pnSatsInUse = static_cast<S32 *>(H_MEMORY_pvCalloc(kSatsInUse, sizeof(S32)));
  }
  std::memset(pPort->pnSatsInUse, 0, kSatsInUse * sizeof(S32));
  for (U32 i = 0; i < kSatsInUse && f.has(static_cast<int>(i) + 2); ++i) {
    const S32 nSat = static_cast<S32>(std::strtol(f[static_cast<int>(i) + 2], nullptr, 10));
    pPort->pnSatsInUse[i] = nSat;
    gsa.SatelliteIds[i] = static_cast<U16>(nSat);
  }
  postGateway(GW_GSA_Data, pPort, gsa);
}

FOURCHARID satKey(U32 u32Slot) {
  const char c = u32Slot < 9 ? static_cast<char>('1' + u32Slot) : static_cast<char>('A' + (u32Slot - 9));
  return (FCID("ISA1") & 0x00FFFFFFu) | static_cast<U32>(static_cast<U8>(c)) << 24;
}

bool satInUse(const NMEA_PORT_INFO *pPort, S32 nSat) {
  if (pPort->pnSatsInUse == nullptr || nSat == 0) return false;
  for (U32 i = 0; i < kSatsInUse; ++i) {
    if (pPort->pnSatsInUse[i] == 0) return false;
    if (pPort->pnSatsInUse[i] == nSat) return true;
  }
  return false;
}

void parseGSV(Fields &f, NMEA_PORT_INFO *pPort) {
  auto &gsv = pPort->pGatewayGPSData->GSV_Data;
  const U32 u32Now = H_TICK_u32ReadFreeRunningTimerInMilliSeconds();
  if (!s_bSatTimeSet || u32Now - s_u32SatLastUpdate > 3000) s_prSat = 14;
  if (pPort->GPSWritePriority > s_prSat) return;
  s_prSat = pPort->GPSWritePriority;
  s_u32SatLastUpdate = u32Now;
  s_bSatTimeSet = TRUE;
  if (!f.has(1)) return;
  const S32 nCount = static_cast<S32>(std::strtol(f[0], nullptr, 10));
  const S32 nNumber = static_cast<S32>(std::strtol(f[1], nullptr, 10));
  if (nNumber <= 0) return;
  ++s_nMsgSequence;
  if (nNumber <= 5) {
    for (int g = 0; g < 4; ++g) {
      const int i = 3 + g * 4;
      if (!f.has(i + 3)) break;
      const U32 u32Slot = static_cast<U32>((nNumber - 1) * 4 + g);
      const long nSat = std::strtol(f[i], nullptr, 10);
      const long nElevation = std::strtol(f[i + 1], nullptr, 10);
      const long nAzimuth = std::strtol(f[i + 2], nullptr, 10);
      const long nSNR = std::strtol(f[i + 3], nullptr, 10);
      U32 u32Word = 0;
      if (nSat > 0 && nSat < 100 && nElevation >= 0 && nElevation <= 90 && nAzimuth >= 0 && nAzimuth < 360 &&
          nSNR >= 0 && nSNR < 100) {
        u32Word = static_cast<U32>(nSat) | static_cast<U32>(nElevation) << 8 | static_cast<U32>(nAzimuth) << 15 |
                  static_cast<U32>(nSNR) << 24;
        if (satInUse(pPort, static_cast<S32>(nSat))) u32Word |= 0x80000000u;
      }
      writeU32(satKey(u32Slot), u32Word, static_cast<U32>(pPort->eSourceID), D_SAT_DATA);
      if (u32Slot < 12) gsv.SatelliteInfo[u32Slot] = u32Word;
    }
  }
  if (nNumber != nCount) return;
  for (U32 u32Slot = static_cast<U32>(nCount) * 4; u32Slot < kSatSlots; ++u32Slot) {
    writeU32(satKey(u32Slot), 0, pPort->GPSWritePriority, D_SAT_DATA);
  }
  if (s_nMsgSequence == nCount) postGateway(GW_GSV_Data, pPort, gsv);
  gsv = {};
  s_nMsgSequence = 0;
}

void writeEPE(NMEA_PORT_INFO *pPort, float fValue) {
  pPort->fPositionError = fValue;
  writeFloat(FCID("IEPE"), fValue, pPort->GPSWritePriority, D_DISTANCE);
}

bool isNumber(const char *pc) {
  if (*pc == '\0') return false;
  char *pcEnd = nullptr;
  std::strtod(pc, &pcEnd);
  return *pcEnd == '\0';
}

void recordParsed(PORT_INDEX ePort, const char *pcSentence) {
  std::lock_guard<std::mutex> guard(s_recordLock);
  if (s_bRecord) s_asParsed.push_back(std::to_string(ePort) + " " + pcSentence);
}

// UBX and SiRF messages, complete and checked, in the port's sentence buffer.
void handleUBX(NMEA_PORT_INFO *pPort, PORT_INDEX ePort) {
  RX_PARSE_INFO *pRx = pPort->pRxParseInfo;
  if (systemState() == 4) {
    pPort->bSentenceReceived = TRUE;
    return;
  }
  const U8 *pu8 = reinterpret_cast<const U8 *>(pRx->sSentence);
  const U8 u8Class = pu8[2], u8Id = pu8[3];
  const U32 u32Length = pRx->u32Length;
  const U8 *pu8Payload = pu8 + 6;
  auto le32 = [&](U32 o) {
    return static_cast<U32>(pu8Payload[o]) | static_cast<U32>(pu8Payload[o + 1]) << 8 |
           static_cast<U32>(pu8Payload[o + 2]) << 16 | static_cast<U32>(pu8Payload[o + 3]) << 24;
  };
  // A short frame carries no value: the fixed offsets would read an earlier message's bytes.
  if (u8Class == 0x01 && u8Id == 0x02 && u32Length >= 24) {
    writeEPE(pPort, static_cast<float>(le32(20) * 0.001));
    char acText[64];
    std::snprintf(acText, sizeof(acText) - 5, "$PUBXEPE,%f*", static_cast<double>(pPort->fPositionError));
    T_NMEA_vAppendChecksum(acText);
    T_NMEA_bSendToNetworkDestinations(acText + 1);
  } else if (u8Class == 0x01 && u8Id == 0x12 && pPort->bCalculateCOG && u32Length >= 36) {
    pPort->bReceivedVELNED = TRUE;
    const double dNorth = static_cast<S32>(le32(4)) * 0.01, dEast = static_cast<S32>(le32(8)) * 0.01;
    const double dV2 = dNorth * dNorth + dEast * dEast;
    float fCourse = wrap360(static_cast<float>(std::atan2(dEast, dNorth) * 180.0 / M_PI));
    if (dV2 > 0.0001) {
      int nN = 0;
      if (dV2 < 0.010000001) {
        nN = 32;
      } else if (dV2 < 1) {
        nN = 16;
      } else if (le32(32) > 36000000u) {  // accuracy in 1e-5 degrees beyond a turn
        nN = 8;
      }
      if (nN == 0) {
        pPort->fLastCOG = fCourse;
      } else {
        if (fCourse - pPort->fLastCOG > 180) fCourse -= 360;
        if (pPort->fLastCOG - fCourse > 180) fCourse += 360;
        pPort->fLastCOG = wrap360((fCourse + (nN - 1) * pPort->fLastCOG) / nN);
      }
    }
    float fHeading = pPort->fLastCOG;
    float fStored = 0;
    if (dV2 < 0.0625 && H_DATABASE_bFetchFloat(FCID("IHDG"), &fStored, nullptr, nullptr)) fHeading = fStored;
    writeFloat(FCID("IHDG"), fHeading, static_cast<U32>(pPort->eSourceID), D_HEADING);
  }
  T_NMEA_vGPSDetected(ePort);
}

void handleSiRF(NMEA_PORT_INFO *pPort, PORT_INDEX ePort) {
  RX_PARSE_INFO *pRx = pPort->pRxParseInfo;
  pPort->bBinaryMsgReceived = TRUE;
  const U8 *pu8Payload = reinterpret_cast<const U8 *>(pRx->sSentence) + 4;
  const U32 u32Length = pRx->u16Length;
  if (u32Length >= 1 && pu8Payload[0] == 41) {
    if (u32Length >= 50) {
      const U32 u32Epe = static_cast<U32>(pu8Payload[46]) << 24 | static_cast<U32>(pu8Payload[47]) << 16 |
                         static_cast<U32>(pu8Payload[48]) << 8 | pu8Payload[49];
      writeEPE(pPort, static_cast<float>(u32Epe * 0.01));
    }
  } else {
    T_NMEA_vSwitchSiRFToNMEA(ePort);
  }
  T_NMEA_vGPSDetected(ePort);
}

int hexDigit(U8 c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

void completeText(NMEA_PORT_INFO *pPort, PORT_INDEX ePort, bool bChecksummed) {
  RX_PARSE_INFO *pRx = pPort->pRxParseInfo;
  pRx->sSentence[pRx->nCharCount] = '\0';
  const U32 u32State = systemState();
  if (u32State == 4 || (!bChecksummed && u32State == 6)) {
    pPort->bSentenceReceived = TRUE;
    return;
  }
  T_NMEA_vParseSentence(ePort, pRx->sSentence);
}

}  // namespace

void T_NMEA_vReceiveEntry(NMEA_PORT_INFO *pPort, PORT_INDEX ePort, U16 u16Entry) {
  RX_PARSE_INFO *pRx = pPort->pRxParseInfo;
  if ((u16Entry >> 8) != 0) {
    pRx->eReceiveState = WAITING_DOLLAR;
    return;
  }
  const U8 c = static_cast<U8>(u16Entry);
  if (pRx->nCharCount > kMaxStored) pRx->eReceiveState = WAITING_DOLLAR;
  auto store = [&] { pRx->sSentence[pRx->nCharCount++] = static_cast<char>(c); };
  auto reset = [&] { pRx->eReceiveState = WAITING_DOLLAR; };
  auto fletcher = [&] {
    pRx->cRunningChecksumA = static_cast<U8>(pRx->cRunningChecksumA + c);
    pRx->cRunningChecksumB = static_cast<U8>(pRx->cRunningChecksumB + pRx->cRunningChecksumA);
  };
  switch (pRx->eReceiveState) {
    case WAITING_DOLLAR:
      pRx->nCharCount = 0;
      if (c == '$' || c == '!') {
        pRx->cRunningChecksum = 0;
        pRx->eReceiveState = WAITING_STAR;
      } else if (c == 0xB5) {
        store();
        pRx->cRunningChecksumA = pRx->cRunningChecksumB = 0;
        pRx->eReceiveState = WAITING_SCHAR2;
      } else if (c == 0xA0) {
        store();
        pRx->u16Length = 0;
        pRx->u16RunningChecksum = pRx->u16GivenChecksum = 0;
        pRx->eReceiveState = WAITING_NM_SCHAR2;
      }
      break;
    case WAITING_STAR:
      if (c == '$' || c == '!') {
        pRx->nCharCount = 0;
        pRx->cRunningChecksum = 0;
      } else if (c == '*') {
        if (pRx->nCharCount >= kMaxStored) return reset();
        store();
        pRx->eReceiveState = WAITING_CHECKSUM1;
      } else if (c == '\r') {
        reset();
        completeText(pPort, ePort, false);
      } else if (c >= 32 && c <= 126 && pRx->nCharCount < kMaxStored) {
        store();
        pRx->cRunningChecksum ^= c;
      } else {
        reset();
      }
      break;
    case WAITING_CHECKSUM1:
    case WAITING_CHECKSUM2: {
      // Two digits and the terminating NUL must fit.
      const int nDigit = hexDigit(c);
      if (nDigit < 0 || pRx->nCharCount >= kMaxStored) return reset();
      store();
      if (pRx->eReceiveState == WAITING_CHECKSUM1) {
        pRx->cGivenChecksum = static_cast<U8>(nDigit << 4);
        pRx->eReceiveState = WAITING_CHECKSUM2;
        break;
      }
      pRx->cGivenChecksum = static_cast<U8>(pRx->cGivenChecksum | nDigit);
      reset();
      if (pRx->cGivenChecksum == pRx->cRunningChecksum) completeText(pPort, ePort, true);
      break;
    }
    case WAITING_SCHAR2:
      if (c != 0x62) return reset();
      store();
      pRx->eReceiveState = WAITING_CLASS;
      break;
    case WAITING_CLASS:
      if (c != 0x0A && c != 0x01 && c != 0x06) return reset();
      store();
      fletcher();
      pRx->eReceiveState = WAITING_ID;
      break;
    case WAITING_ID:
      if (c != 0x12 && c != 0x02 && c != 0x41 && c != 0x0D) return reset();
      store();
      fletcher();
      pRx->eReceiveState = WAITING_LENGTH1;
      break;
    case WAITING_LENGTH1:
      store();
      fletcher();
      pRx->u32LengthLSW = c;
      pRx->eReceiveState = WAITING_LENGTH2;
      break;
    case WAITING_LENGTH2:
      store();
      fletcher();
      pRx->u32Length = pRx->u32LengthLSW + 256u * c;
      pRx->eReceiveState = pRx->u32Length == 0 ? WAITING_CHECKSUMA : WAITING_PAYLOAD;
      break;
    case WAITING_PAYLOAD:
      store();
      fletcher();
      if (static_cast<U32>(pRx->nCharCount) >= 6 + pRx->u32Length) pRx->eReceiveState = WAITING_CHECKSUMA;
      break;
    case WAITING_CHECKSUMA:
      if (c != pRx->cRunningChecksumA) return reset();
      store();
      pRx->cGivenChecksumA = c;
      pRx->eReceiveState = WAITING_CHECKSUMB;
      break;
    case WAITING_CHECKSUMB:
      reset();
      if (c != pRx->cRunningChecksumB) return;
      pRx->cGivenChecksumB = c;
      handleUBX(pPort, ePort);
      break;
    case WAITING_NM_SCHAR2:
      if (c != 0xA2) return reset();
      store();
      pRx->eReceiveState = WAITING_NM_LENGTH1;
      break;
    case WAITING_NM_LENGTH1:
      store();
      pRx->u16Length = static_cast<U16>((c & 0x7F) << 8);
      pRx->eReceiveState = WAITING_NM_LENGTH2;
      break;
    case WAITING_NM_LENGTH2:
      store();
      pRx->u16Length = static_cast<U16>(pRx->u16Length | c);
      pRx->eReceiveState = pRx->u16Length == 0 ? WAITING_NM_CHECKSUM1 : WAITING_NM_PAYLOAD;
      break;
    case WAITING_NM_PAYLOAD:
      store();
      pRx->u16RunningChecksum = static_cast<U16>((pRx->u16RunningChecksum + c) & 0x7FFF);
      if (pRx->nCharCount >= 4 + pRx->u16Length) pRx->eReceiveState = WAITING_NM_CHECKSUM1;
      break;
    case WAITING_NM_CHECKSUM1:
      store();
      pRx->u16GivenChecksum = static_cast<U16>((c & 0x7F) << 8);
      pRx->eReceiveState = WAITING_NM_CHECKSUM2;
      break;
    case WAITING_NM_CHECKSUM2:
      reset();
      pRx->u16GivenChecksum = static_cast<U16>(pRx->u16GivenChecksum | c);
      if (pRx->u16GivenChecksum == pRx->u16RunningChecksum) handleSiRF(pPort, ePort);
      break;
  }
}

void T_NMEA_vHandleReceive(BOOLEAN bIgnoreInput, PORT_INDEX ePort) {
  NMEA_PORT_INFO *pPort = portOf(ePort);
  if (pPort == nullptr || pPort->pSerialInfo == nullptr) return;
  const QUEUE queue = pPort->pSerialInfo->RxDataQueue;
  U16 u16Entry;
  if (bIgnoreInput && systemState() != 4) {
    while (L_QUEUE_Get(queue, &u16Entry) == 0) {
    }
    return;
  }
  if (pPort->pRxParseInfo == nullptr) {
    pPort->pRxParseInfo = static_cast<RX_PARSE_INFO *>(H_MEMORY_pvCalloc(1, sizeof(RX_PARSE_INFO)));
  }
  pPort->bDataReceived = TRUE;
  while (L_QUEUE_Get(queue, &u16Entry) == 0) T_NMEA_vReceiveEntry(pPort, ePort, u16Entry);
}

BOOLEAN T_NMEA_bParseLatLon(char **ppSentence, ITEM_PRIORITY GPSSourceWritePriority, double *pf_ParsedLat,
                            double *pf_ParsedLon) {
  char acCopy[160];
  std::snprintf(acCopy, sizeof(acCopy), "%s", *ppSentence);
  Fields f(acCopy);
  double dLat = 0, dLon = 0;
  if (!parsePosition(f, 0, &dLat, &dLon)) return FALSE;
  // Past the four fields in the caller's text.
  char *p = *ppSentence;
  for (int i = 0; i < 4 && *p != '\0'; ++p) {
    if (*p == ',') ++i;
  }
  *ppSentence = p;
  if (!writePosition(dLat, dLon, GPSSourceWritePriority)) return FALSE;
  if (pf_ParsedLat != nullptr) *pf_ParsedLat = dLat;
  if (pf_ParsedLon != nullptr) *pf_ParsedLon = dLon;
  return TRUE;
}

void T_NMEA_vParseSentence(PORT_INDEX ePort, const char *pcSentence) {
  NMEA_PORT_INFO *pPort = portOf(ePort);
  if (pPort == nullptr || pcSentence == nullptr) return;
  if (pPort->pGatewayGPSData == nullptr) return;
  recordParsed(ePort, pcSentence);
  char acText[151];
  std::snprintf(acText, sizeof(acText), "%s", pcSentence);
  char acAddress[151];
  std::snprintf(acAddress, sizeof(acAddress), "%s", acText);
  if (char *pcComma = std::strchr(acAddress, ',')) *pcComma = '\0';
  if (std::strncmp(acAddress, "ZODI", 4) == 0) {
    const long nNumber = std::strtol(acAddress + 4, nullptr, 10);
    if ((nNumber >= 100 && nNumber <= 103) || nNumber == 125) {
      T_NMEA_vHandleRemoteSentence(ePort, acText);
      return;
    }
  }
  if (pPort->ePortType != NMEA_PORT_TYPE_NETWORK && pPort->ePortType != NMEA_PORT_TYPE_NMEA2K) {
    T_NMEA_bSendToNetworkDestinations(acText);
  }
  const U32 u32State = systemState();
  if (u32State == 11) return;
  pPort->bSentenceReceived = TRUE;
  const size_t szAddress = std::strlen(acAddress);
  const char *pcKind = szAddress >= 5 ? acAddress + 2 : "";
  const bool bAddress5 = szAddress == 5;
  auto kindIs = [&](const char *pc) { return bAddress5 && std::strcmp(pcKind, pc) == 0; };
  if (kindIs("VDM") || kindIs("VDO") || kindIs("BBM") || kindIs("ABM")) {
    if (!s_bAisMenuSetup) {
      T_NAV_vSetupAISMenuItems();
      s_bAisMenuSetup = TRUE;
      pPort->bChannelIsAIS = TRUE;
      if (!kindIs("VDM")) return;
    }
    if (kindIs("VDM")) {
      BOOLEAN bAIS = FALSE, bValid = FALSE;
      if (H_DATABASE_bFetchBoolean(FCID("SAIS"), &bAIS, &bValid, nullptr) && bValid && bAIS) {
        U32 u32Time = 0;
        H_DATABASE_bFetchU32(FCID("IDTM"), &u32Time, nullptr, nullptr);
        L_MUTEX_LockWait(RES_AIS_DATA);
        T_NMEA_vDecodeVDM(acText, u32Time);
        L_MUTEX_Unlock(RES_AIS_DATA);
      }
      return;
    }
  } else if (u32State == 4) {
    return;
  }
  if (pPort->bChannelIsAIS) return;
  const U32 u32Now = H_TICK_u32ReadFreeRunningTimerInMilliSeconds();
  if (ePort == PORT_INDEX_NMEA2K_GPS) {
    if (pPort->GPSWritePriority == 3) {
      s_bNMEA2kGPSAlive = TRUE;
      s_u32NMEA2kTimeOut = u32Now;
    }
  } else if (U_NMEA_Adaptor_bNMEA2kGPSSelected() && u32Now - s_u32NMEA2kTimeOut > 3000) {
    s_bNMEA2kGPSAlive = FALSE;
  }
  char *pcComma = std::strchr(acText, ',');
  if (pcComma == nullptr) return;
  *pcComma = '\0';
  Fields f(pcComma + 1);
  const bool bSerial = pPort->ePortType == NMEA_PORT_TYPE_SERIAL;
  bool bGPS = true;
  if (kindIs("GGA")) {
    parseGGA(f, pPort);
  } else if (kindIs("RMC")) {
    parseRMC(f, pPort);
  } else if (kindIs("GSA")) {
    parseGSA(f, pPort);
  } else if (kindIs("GSV")) {
    parseGSV(f, pPort);
  } else if (std::strncmp(acAddress, "PUBX", 4) == 0) {
    pPort->eGPSType = GPS_TYPE_UBLOX;
    if (std::strcmp(acAddress, "PUBXEPE") == 0 && isNumber(f[0])) writeEPE(pPort, std::strtof(f[0], nullptr));
  } else if (std::strncmp(acAddress, "PSRF", 4) == 0) {
    if (!(pPort->eGPSType == GPS_TYPE_COMPASS && pPort->eState == NMEA_STATE_ONLINE)) {
      pPort->eGPSType = GPS_TYPE_NAVMAN;
    }
    if (pPort->eSourceID == ID_EXTERNAL_GPS && bSerial) pPort->pSerialInfo->nNewBaudRate = 38400;
    if (std::strcmp(acAddress, "PSRFEPE") == 0 && f.has(3) && f[1][0] == 'A' && isNumber(f[3])) {
      writeEPE(pPort, std::strtof(f[3], nullptr));
    }
  } else {
    bGPS = false;
    if (kindIs("HDG")) {
      parseHDG(f, pPort);
    } else if (kindIs("HDT") || kindIs("HDM")) {
      const bool bTrue = kindIs("HDT");
      float &fData = bTrue ? pPort->pGatewayGPSData->HDT_Data.TrueHeading : pPort->pGatewayGPSData->HDM_Data.MagneticHeading;
      fData = 0;
      // A sensor without a heading sends the field empty: nothing to write.
      if (f.has(1) && f[0][0] != '\0') {
        fData = std::strtof(f[0], nullptr);
        writeFloat(bTrue ? FCID("IHDT") : FCID("IHDM"), fData, pPort->GPSWritePriority, D_HEADING);
        if (bTrue) {
          postGateway(GW_HDT_Data, pPort, pPort->pGatewayGPSData->HDT_Data);
        } else {
          postGateway(GW_HDM_Data, pPort, pPort->pGatewayGPSData->HDM_Data);
        }
      }
    } else if (kindIs("ROT")) {
      auto &rot = pPort->pGatewayGPSData->ROT_Data;
      rot = {};
      if (f.has(1) && f[1][0] == 'A') {
        rot.RateOfTurn = std::strtof(f[0], nullptr);
        rot.eStatus = DATA_VALID;
        writeFloat(FCID("IROT"), rot.RateOfTurn, pPort->GPSWritePriority, D_FLOAT);
      } else {
        rot.eStatus = DATA_INVALID;
      }
      postGateway(GW_ROT_Data, pPort, rot);
    } else if (kindIs("TXT") || std::strcmp(acAddress, "PEMT") == 0) {
      if (bSerial) T_NMEA_vInitializeGPS(ePort, NMEA_RESET_HOT);
    } else if (std::strncmp(acAddress, "ZODI", 4) == 0) {
      *pcComma = ',';
      T_NMEA_vParseCompassSentence(ePort, pcSentence);
    }
    return;
  }
  if (bGPS) T_NMEA_vGPSDetected(ePort);
}

void T_NMEA_vResetParsersForTest(void) {
  std::memset(s_aRmc, 0, sizeof(s_aRmc));
  std::memset(s_afTrueHeading5, 0, sizeof(s_afTrueHeading5));
  s_u32SampleIndex5 = 0;
  s_fPreIncomingTrueHeading = 0;
  s_nMsgSequence = 0;
  s_u32SatLastUpdate = 0;
  s_prSat = 14;
  s_bSatTimeSet = FALSE;
  s_bAisMenuSetup = FALSE;
  s_bNMEA2kGPSAlive = FALSE;
  s_u32NMEA2kTimeOut = 0;
  g_NMEA_fMagDeviation = 0;
  g_NMEA_cMagDevDirection = '\0';
}

void T_NMEA_vRecordParsedForTest(BOOLEAN bOn) {
  std::lock_guard<std::mutex> guard(s_recordLock);
  s_bRecord = bOn;
  s_asParsed.clear();
}

std::vector<std::string> T_NMEA_asTakeParsedForTest(void) {
  std::lock_guard<std::mutex> guard(s_recordLock);
  std::vector<std::string> asOut;
  asOut.swap(s_asParsed);
  return asOut;
}
