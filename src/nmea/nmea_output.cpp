#include <time.h>

#include <atomic>
#include <cstdarg>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "chartlib/nav/nv_navig.h"
#include "nav/nav_standin.h"
#include "nmea/nmea_parse.h"
#include "nmea/uart_task.h"
#include "util/convert.h"

extern float g_NMEA_fMagDeviation;
extern char g_NMEA_cMagDevDirection;

namespace {

struct NMEA_OUT_DATA {
  BOOLEAN bNMEAOutEnabled, bGPSOutEnabled, bGPSValid;
  char sPosition[26];
  char sTime[8];
  char sDate[11];
  S32 nFixIndicator;
  float fHeading, fMagneticVariation, fSpeed;
  S32 nLocalTimeZone;
  BOOLEAN bNavOutEnabled, bNavValid, bACE, bPPD;
  char sOrigName[12], sDestName[12];
  char sDestPosition[28];
  float fTRK, fBRG, fXTE, fDTG, fDCV;
  BOOLEAN bDepthValid;
  float fDepth, fDepthOffset;
  BOOLEAN bTempValid;
  float fTemp;
  BOOLEAN bHeadingTrue, bMagneticSensorHeading;  // whether the two were fetched
  float fHeadingTrue, fMagneticSensorHeading;
};

std::atomic<S32> s_nState{0};
std::atomic<U32> s_u32Calls{0};
std::atomic<bool> s_bCapture{false};
std::string s_sCaptured;  // the calling task only

bool fetchBoolean(FOURCHARID key) {
  BOOLEAN b = FALSE, bValid = FALSE;
  return H_DATABASE_bFetchBoolean(key, &b, &bValid, nullptr) && bValid && b;
}
bool fetchFloat(FOURCHARID key, float *pf, bool bNeedValid = true) {
  BOOLEAN bValid = FALSE;
  return H_DATABASE_bFetchFloat(key, pf, &bValid, nullptr) && (bValid || !bNeedValid);
}
bool fetchU32(FOURCHARID key, U32 *pu, bool bNeedValid = true) {
  BOOLEAN bValid = FALSE;
  return H_DATABASE_bFetchU32(key, pu, &bValid, nullptr) && (bValid || !bNeedValid);
}
bool fetchS32(FOURCHARID key, S32 *ps, bool bNeedValid = true) {
  BOOLEAN bValid = FALSE;
  return H_DATABASE_bFetchS32(key, ps, &bValid, nullptr) && (bValid || !bNeedValid);
}

double toUnits(float fValue, DATA_TYPE type, UNIT_TYPE units) { return dConvertFromInternal(fValue, type, units); }

void fetchData(NMEA_OUT_DATA *d) {
  *d = {};
  std::strcpy(d->sPosition, ",");
  std::strcpy(d->sTime, ",");
  std::strcpy(d->sDate, ",");
  d->bNMEAOutEnabled = fetchBoolean(FCID("SNOE"));
  if (!d->bNMEAOutEnabled) return;
  d->bGPSOutEnabled = fetchBoolean(FCID("SNGE"));
  fetchFloat(FCID("IMGV"), &d->fMagneticVariation, false);
  d->bHeadingTrue = fetchFloat(FCID("IHDC"), &d->fHeadingTrue, false);
  d->bMagneticSensorHeading = fetchFloat(FCID("IHDM"), &d->fMagneticSensorHeading, false);
  if (d->bGPSOutEnabled) {
    U32 u32DST = 0, u32PFI = 0, u32Time = 0;
    S32 s32Zone = 0;
    S32 s32Lat = 0, s32Lon = 0;
    POSITION pos = {};
    bool bValid = fetchU32(FCID("SDST"), &u32DST, false) && fetchS32(FCID("SLTZ"), &s32Zone, false) &&
                  fetchU32(FCID("IPFI"), &u32PFI) && u32PFI != 0 && fetchS32(FCID("ILAT"), &s32Lat) &&
                  fetchS32(FCID("ILON"), &s32Lon);
    if (bValid) {
      POINT pt;
      pt.x = s32Lon;
      pt.y = s32Lat;
      bValid = nv_MeterToDegr(&pt, &pos) == 0x80000000u;
    }
    bValid = bValid && fetchU32(FCID("IDTM"), &u32Time) && fetchFloat(FCID("IHDG"), &d->fHeading) &&
             fetchFloat(FCID("ISPD"), &d->fSpeed);
    if (bValid) {
      d->bGPSValid = TRUE;
      d->nFixIndicator = static_cast<S32>(u32PFI);
      d->nLocalTimeZone = s32Zone + (u32DST != 0 ? 60 : 0);
      const time_t tTime = static_cast<time_t>(u32Time);
      struct tm t;
      gmtime_r(&tTime, &t);
      std::snprintf(d->sTime, sizeof(d->sTime), "%02u%02u%02u,", static_cast<unsigned>(t.tm_hour) % 100u,
                    static_cast<unsigned>(t.tm_min) % 100u, static_cast<unsigned>(t.tm_sec) % 100u);
      std::snprintf(d->sDate, sizeof(d->sDate), "%02u%02u%02u,", static_cast<unsigned>(t.tm_mday) % 100u,
                    static_cast<unsigned>(t.tm_mon + 1) % 100u, static_cast<unsigned>(t.tm_year) % 100u);
      T_NMEA_vPrintPosition(pos, d->sPosition);
    }
  }
  U32 u32NIP = 0;
  d->bNavOutEnabled = fetchBoolean(FCID("SNNE")) && fetchU32(FCID("INIP"), &u32NIP, false) && u32NIP != 0;
  if (d->bNavOutEnabled && d->bGPSValid) {
    U32 u32Orig = 0, u32Dest = 0, u32ACE = 0, u32PPD = 0;
    d->bNavValid = fetchU32(FCID("IOWP"), &u32Orig, false) && fetchU32(FCID("IDWP"), &u32Dest, false) &&
                   fetchFloat(FCID("ITRK"), &d->fTRK, false) && fetchFloat(FCID("IXTE"), &d->fXTE, false) &&
                   fetchFloat(FCID("IBRG"), &d->fBRG, false) && fetchFloat(FCID("IDTG"), &d->fDTG, false) &&
                   fetchFloat(FCID("IDCV"), &d->fDCV, false) && fetchU32(FCID("IACE"), &u32ACE, false) &&
                   fetchU32(FCID("IPPD"), &u32PPD, false);
    if (d->bNavValid) {
      d->bACE = u32ACE != 0;
      d->bPPD = u32PPD != 0;
      T_NAV_vCopyWaypointName(u32Orig, d->sOrigName, sizeof(d->sOrigName));
      T_NAV_vCopyWaypointName(u32Dest, d->sDestName, sizeof(d->sDestName));
      POINT pt;
      POSITION pos = {};
      T_NAV_vCopyWaypointPoint(u32Dest, &pt);
      nv_MeterToDegr(&pt, &pos);
      T_NMEA_vPrintPosition(pos, d->sDestPosition);
    }
  }
  BOOLEAN bValid = FALSE;
  d->bDepthValid = H_DATABASE_bFetchFloat(FCID("IDEP"), &d->fDepth, &bValid, nullptr) && bValid &&
                   H_DATABASE_bFetchFloat(FCID("YDPO"), &d->fDepthOffset, nullptr, nullptr);
  d->bTempValid = fetchFloat(FCID("ITMP"), &d->fTemp);
}

void send(char *pcText) {
  T_NMEA_vAppendChecksum(pcText);
  if (s_bCapture) {
    s_sCaptured += pcText;
    return;
  }
  U_UART_bTransmitData(0, pcText, static_cast<int>(std::strlen(pcText)));
}

// Room for the longest sentence with checksum, CR and LF.
constexpr size_t kText = 120;

void printf_send(const char *pcFormat, ...) __attribute__((format(printf, 1, 2)));
void printf_send(const char *pcFormat, ...) {
  char acText[kText + 8];
  va_list args;
  va_start(args, pcFormat);
  std::vsnprintf(acText, kText, pcFormat, args);
  va_end(args);
  send(acText);
}

double magnetic(float fTrue, float fVariation) { return std::fmod(std::fmod(fTrue - fVariation, 360.0) + 360.0, 360.0); }
double nm(float f) { return toUnits(f, D_DISTANCE, U_NAUT_MILES); }
double knots(float f) { return toUnits(f, D_SPEED, U_KNOTS); }

void sendAPB(const NMEA_OUT_DATA &d) {
  if (!d.bNavOutEnabled) return;
  if (!d.bNavValid) return printf_send("$INAPB,A,V,,,,V,V,,,,,,,*");
  printf_send("$INAPB,A,A,%5.3f,%c,N,%c,%c,%3.1f,T,%s,%3.1f,T,%3.1f,T*", std::fabs(nm(d.fXTE)), d.fXTE < 0 ? 'R' : 'L',
              d.bACE ? 'A' : 'V', d.bPPD ? 'A' : 'V', static_cast<double>(d.fTRK), d.sDestName,
              static_cast<double>(d.fBRG), static_cast<double>(d.fBRG));
}
void sendBWR(const NMEA_OUT_DATA &d) {
  if (!d.bNavOutEnabled) return;
  if (!d.bNavValid) return printf_send("$INBWR,,,,,,,,,,,,*");
  printf_send("$INBWR,%s%s%3.1f,T,%3.1f,M,%5.3f,N,%s*", d.sTime, d.sDestPosition, static_cast<double>(d.fBRG),
              magnetic(d.fBRG, d.fMagneticVariation), nm(d.fDTG), d.sDestName);
}
void sendRMB(const NMEA_OUT_DATA &d) {
  if (!d.bNavOutEnabled) return;
  if (!d.bNavValid) return printf_send("$INRMB,V,,,,,,,,,,,,V*");
  printf_send("$INRMB,A,%5.3f,%c,%s,%s,%s%5.3f,%3.1f,%3.1f,%c*", std::fmin(std::fabs(nm(d.fXTE)), 9.99),
              d.fXTE < 0 ? 'R' : 'L', d.sOrigName, d.sDestName, d.sDestPosition, std::fmin(nm(d.fDTG), 999.9),
              static_cast<double>(d.fBRG), knots(d.fDCV), d.bACE || d.bPPD ? 'A' : 'V');
}
void sendRMC(const NMEA_OUT_DATA &d) {
  if (!d.bGPSOutEnabled) return;
  if (!d.bGPSValid) return printf_send("$INRMC,,V,,,,,,,,,*");
  printf_send("$INRMC,%sA,%s%3.1f,%3.1f,%s%3.1f,%c*", d.sTime, d.sPosition, knots(d.fSpeed),
              static_cast<double>(d.fHeading), d.sDate, std::fabs(static_cast<double>(d.fMagneticVariation)),
              d.fMagneticVariation < 0 ? 'W' : 'E');
}
void sendMTW(const NMEA_OUT_DATA &d) {
  if (!d.bNMEAOutEnabled) return;
  if (!d.bTempValid) return printf_send("$INMTW,,*");
  printf_send("$INMTW,%3.1f,C*", toUnits(d.fTemp, D_TEMPERATURE, U_CELSIUS));
}
void sendGLL(const NMEA_OUT_DATA &d) {
  if (!d.bGPSOutEnabled) return;
  if (!d.bGPSValid) return printf_send("$INGLL,,,,,,V*");
  printf_send("$INGLL,%s%sA*", d.sPosition, d.sTime);
}
void sendVTG(const NMEA_OUT_DATA &d) {
  if (!d.bGPSOutEnabled) return;
  if (!d.bGPSValid) return printf_send("$INVTG,,T,,M,,N,,K*");
  printf_send("$INVTG,%3.1f,T,%3.1f,M,%3.1f,N,%3.1f,K*", static_cast<double>(d.fHeading),
              magnetic(d.fHeading, d.fMagneticVariation), knots(d.fSpeed), toUnits(d.fSpeed, D_SPEED, U_KPH));
}
void sendGGA(const NMEA_OUT_DATA &d) {
  if (!d.bGPSOutEnabled) return;
  if (!d.bGPSValid) return printf_send("$INGGA,,,,,,0,,,,,,,,*");
  char acSats[12] = "", acHDOP[16] = "", acAlt[24] = "", acAge[16] = "", acStation[16] = "";
  U32 u32Sats = 0, u32Station = 0;
  float fHDOP = 0, fAlt = 0, fAge = 0;
  if (fetchU32(FCID("ISAN"), &u32Sats)) std::snprintf(acSats, sizeof(acSats), "%02u", static_cast<unsigned>(u32Sats % 100));
  if (fetchFloat(FCID("IHDP"), &fHDOP)) std::snprintf(acHDOP, sizeof(acHDOP), "%3.1f", static_cast<double>(fHDOP));
  if (fetchFloat(FCID("IALT"), &fAlt) && std::fabs(fAlt) < 1e6f) {
    std::snprintf(acAlt, sizeof(acAlt), "%3.1f", toUnits(fAlt, D_DEPTH, U_METRES));
  }
  if (d.nFixIndicator == 2 && fetchFloat(FCID("IDGA"), &fAge) && fetchU32(FCID("IDGS"), &u32Station) &&
      std::fabs(fAge) < 1e6f) {
    std::snprintf(acAge, sizeof(acAge), "%3.1f", static_cast<double>(fAge));
    std::snprintf(acStation, sizeof(acStation), "%04u", static_cast<unsigned>(u32Station % 10000));
  }
  printf_send("$INGGA,%s%s%d,%s,%s,%s,M,%s,%s,%s*", d.sTime, d.sPosition, static_cast<int>(d.nFixIndicator), acSats,
              acHDOP, acAlt, ",", acAge, acStation);
}
void sendZDA(const NMEA_OUT_DATA &d) {
  if (!d.bGPSOutEnabled) return;
  if (!d.bGPSValid) return printf_send("$INZDA,,,,,,*");
  const S32 nZone = std::abs(d.nLocalTimeZone) % (100 * 60);
  printf_send("$INZDA,%s%c%c,%c%c,20%c%c,%s%02d,%02d*", d.sTime, d.sDate[0], d.sDate[1], d.sDate[2], d.sDate[3],
              d.sDate[4], d.sDate[5], d.nLocalTimeZone < 0 ? "-" : "", static_cast<int>(nZone / 60),
              static_cast<int>(nZone % 60));
}

}  // namespace

void T_NMEA_vAppendChecksum(char *s) {
  char *pcDollar = std::strchr(s, '$');
  if (pcDollar == nullptr) return;
  U8 u8Sum = 0;
  char *p = pcDollar + 1;
  for (; *p != '\0' && *p != '*'; ++p) u8Sum ^= static_cast<U8>(*p);
  if (*p != '*') return;
  std::snprintf(p + 1, 5, "%02X\r\n", u8Sum);
}

void T_NMEA_vPrintPosition(POSITION pos, char *string) {
  const double dLat = std::fabs(pos.lat), dLon = std::fabs(pos.lon);
  int nLatDeg = static_cast<int>(dLat), nLonDeg = static_cast<int>(dLon);
  double dLatMin = (dLat - nLatDeg) * 60.0, dLonMin = (dLon - nLonDeg) * 60.0;
  // Minutes that round up to 60 carry into the degrees.
  if (dLatMin >= 59.99995) {
    dLatMin = 0;
    ++nLatDeg;
  }
  if (dLonMin >= 59.99995) {
    dLonMin = 0;
    ++nLonDeg;
  }
  std::snprintf(string, 26, "%02d%07.4f,%c,%03d%07.4f,%c,", nLatDeg % 100, dLatMin, pos.lat < 0 ? 'S' : 'N',
                nLonDeg % 1000, dLonMin, pos.lon < 0 ? 'W' : 'E');
}

void T_NMEA_vHandleTransmit(void) {
  s_u32Calls.fetch_add(1);
  NMEA_OUT_DATA d;
  fetchData(&d);
  const S32 nStep = s_nState.load();
  s_nState = (nStep + 1) % 4;
  if (!d.bNMEAOutEnabled) return;
  if (!d.bDepthValid) {
    printf_send("$INDPT,,*");
  } else {
    printf_send("$INDPT,%3.1f,%3.1f*", toUnits(d.fDepth - d.fDepthOffset, D_DEPTH, U_METRES),
                toUnits(d.fDepthOffset, D_DEPTH, U_METRES));
  }
  if (d.bGPSOutEnabled) {
    // Until an HDG has supplied a deviation, its two fields stay empty.
    if (!d.bGPSValid || !d.bMagneticSensorHeading) {
      printf_send("$INHDG,,,V,,V*");
    } else if (g_NMEA_cMagDevDirection == 'E' || g_NMEA_cMagDevDirection == 'W') {
      printf_send("$INHDG,%3.1f,%3.1f,%c,%3.1f,%c*", static_cast<double>(d.fMagneticSensorHeading),
                  static_cast<double>(g_NMEA_fMagDeviation), g_NMEA_cMagDevDirection,
                  std::fabs(static_cast<double>(d.fMagneticVariation)), d.fMagneticVariation < 0 ? 'W' : 'E');
    } else {
      printf_send("$INHDG,%3.1f,,,%3.1f,%c*", static_cast<double>(d.fMagneticSensorHeading),
                  std::fabs(static_cast<double>(d.fMagneticVariation)), d.fMagneticVariation < 0 ? 'W' : 'E');
    }
    if (!d.bGPSValid || !d.bHeadingTrue) {
      printf_send("$INHDT,,T*");
    } else {
      printf_send("$INHDT,%3.1f,T*", static_cast<double>(d.fHeadingTrue));
    }
  }
  switch (nStep) {
    case 0:
    case 2:
      sendAPB(d);
      sendBWR(d);
      if (nStep == 0) {
        sendGLL(d);
        sendVTG(d);
      } else {
        sendGGA(d);
        sendZDA(d);
      }
      sendMTW(d);
      break;
    default:
      sendRMB(d);
      sendRMC(d);
      break;
  }
}

S32 T_NMEA_nOutputStepForTest(void) { return s_nState.load(); }
U32 T_NMEA_u32OutputCallsForTest(void) { return s_u32Calls.load(); }
void T_NMEA_vCaptureOutputForTest(BOOLEAN bOn) {
  s_bCapture = bOn != FALSE;
  s_sCaptured.clear();
}
std::string T_NMEA_sTakeOutputForTest(void) {
  std::string s;
  s.swap(s_sCaptured);
  return s;
}
