#include "ui/info/format.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "draw/string.h"
#include "util/convert.h"
#include "nav/nav_standin.h"
#include "ui/info/info.h"
#include "ui/info/navbox.h"

namespace {

constexpr size_t kValueBuffer = 20;

// The store's abbreviation; none for a unit it has no text for (a bad stored unit must not end the program).
const char *unitsText(UNIT_TYPE eUnits, U32 nLang) {
  if (static_cast<int>(eUnits) < 0 || eUnits >= NUMBER_OF_UNIT_TYPES || eUnits == U_MINUTES) return "";
  return H_DATABASE_pcUnitsString(eUnits, nLang);
}

S32 width(const FONT_DEF *pFont, const char *s) {
  return pFont != nullptr ? static_cast<S32>(G_STRING_u32GetWidth(pFont, s)) : 0;
}

// The value's width, the digits after the point in the tenths font when they are drawn small.
S32 valueWidth(const char *sValue, const FONT_DEF *pValueFont, const FONT_DEF *pTenthsFont, DIGITS_FORMAT eFormat) {
  const char *pcPoint = strchr(sValue, '.');
  if (eFormat != SMALL_TENTHS || pTenthsFont == pValueFont || pTenthsFont == nullptr || pcPoint == nullptr) {
    return width(pValueFont, sValue);
  }
  char acInteger[kValueBuffer + 1];
  const size_t n = static_cast<size_t>(pcPoint - sValue) + 1;
  memcpy(acInteger, sValue, n);
  acInteger[n] = '\0';
  return width(pValueFont, acInteger) + width(pTenthsFont, pcPoint + 1);
}

// "%03.0f" of a heading, 359.5 and more showing as 000.
void formatHeading(double dHeading, char *s) {
  if (dHeading >= 359.5) dHeading = 0.0;
  snprintf(s, kValueBuffer, "%03.0f", dHeading);
}

// Cuts a name after the last whole character that still fits in nMinWidth pixels.
void cutToWidth(char *s, const FONT_DEF *pFont, S32 nMinWidth) {
  if (nMinWidth < 0 || pFont == nullptr) return;
  S32 nRunning = 0;
  for (size_t i = 0; s[i] != '\0'; ++i) {
    nRunning += static_cast<S32>(G_FONTS_u32GetWidth(pFont, static_cast<unsigned char>(s[i])));
    if (nRunning > nMinWidth) {
      s[i] = '\0';
      return;
    }
  }
}

// Time and date texts fill at most INFO_TIME_TEXT_SIZE bytes of the caller's buffer.
void copyText(char *sOut, const char *sText) {
  const size_t n = std::min(strlen(sText), static_cast<size_t>(INFO_TIME_TEXT_SIZE - 1));
  memcpy(sOut, sText, n);
  sOut[n] = '\0';
}

}  // namespace

S32 T_INFO_nInfoStrings(char *sValue, const char **psUnits, BOOLEAN *pbDataValid, S32 nMinWidth, FOURCHARID fcid,
                        const FONT_DEF *pValueFont, const FONT_DEF *pUnitsFont, const FONT_DEF *pTenthsFont,
                        DIGITS_FORMAT eDigitsFormat, U32 nLang, S32 nValueStringSize, S32 *pnValueWidth,
                        S32 *pnUnitsWidth) {
  DB_DATA_TYPE data{};
  BOOLEAN bValid = FALSE;
  DB_ATTRIBUTES attr{};
  if (!H_DATABASE_bFetch(fcid, &data, &bValid, &attr)) return 0;
  if (pbDataValid != nullptr) *pbDataValid = bValid;

  char acValue[kValueBuffer] = "";
  const char *pcUnits = nullptr;
  const UNIT_TYPE eUnits = H_DATABASE_CurrentUnits(attr.DataType);
  const bool bNoTenths = eDigitsFormat == NO_TENTHS;
  const double dValue = static_cast<double>(data.fVal);
  const double v = dConvertFromInternal(dValue, attr.DataType, eUnits);
  switch (attr.DataType) {
    case D_TEMPERATURE:
      snprintf(acValue, sizeof acValue, bNoTenths ? "%.0f" : "%.1f", v);
      pcUnits = unitsText(eUnits, nLang);
      break;
    case D_SPEED: {
      const double dLimit = eUnits == U_MPH ? 99.95 : 9.95;
      snprintf(acValue, sizeof acValue, !bNoTenths && std::fabs(v) < dLimit ? "%.1f" : "%.0f", v);
      pcUnits = unitsText(eUnits, nLang);
      break;
    }
    case D_DISTANCE: {
      UNIT_TYPE eShown = eUnits;
      T_INFO_vFormatDistance(dValue, &eShown, acValue);
      pcUnits = unitsText(eShown, nLang);
      break;
    }
    case D_HEADING:
      if (eUnits == U_DEG_MAGNETIC) {
        float fVariation = 0.0f;
        if (!H_DATABASE_bFetchFloat(FCID("IMGV"), &fVariation, nullptr, nullptr)) {
          snprintf(acValue, sizeof acValue, "---");
          break;
        }
        formatHeading(std::fmod(dValue + 360.0 - fVariation, 360.0), acValue);
      } else {
        formatHeading(dValue, acValue);
      }
      pcUnits = unitsText(eUnits, nLang);
      break;
    case D_DEPTH:
      T_INFO_vFormatDepth(dValue, eUnits, acValue, bNoTenths);
      pcUnits = unitsText(eUnits, nLang);
      break;
    case D_DATETIME:
      T_INFO_vFormatTime(static_cast<time_t>(data.u32Val), FALSE, FALSE, acValue, nullptr, nullptr);
      break;
    case D_TIME: {
      const S32 s = data.s32Val;
      if (s < 0) {
        snprintf(acValue, sizeof acValue, "---");
      } else if (s < 3600) {
        snprintf(acValue, sizeof acValue, "%d:%02d", s / 60, s % 60);
      } else {
        snprintf(acValue, sizeof acValue, "%d:%02d", s / 3600, s / 60 % 60);
      }
      break;
    }
    case D_LONG_TIME: {
      const S32 s = data.s32Val;
      if (s < 0) {
        snprintf(acValue, sizeof acValue, "---");
      } else {
        snprintf(acValue, sizeof acValue, "%02d:%02d:%02d", s / 3600, s / 60 % 60, s % 60);
      }
      break;
    }
    case D_PRESSURE:
      snprintf(acValue, sizeof acValue, eUnits == U_INCHESHG && !bNoTenths ? "%.1f" : "%.0f", v);
      pcUnits = unitsText(eUnits, nLang);
      break;
    case D_VOLTAGE:
      snprintf(acValue, sizeof acValue, bNoTenths ? "%.0f" : "%.1f", dValue);
      pcUnits = unitsText(U_VOLTS, nLang);
      break;
    case D_POSITION_LAT:
    case D_POSITION_LON: {
      U32 u32Format = 0;
      if (!H_DATABASE_bFetchU32(FCID("SIPF"), &u32Format, nullptr, nullptr)) {
        snprintf(acValue, sizeof acValue, "---");
        break;
      }
      char acPosition[32] = "";
      U_NAV_vFormatPosition(attr.DataType, dValue, acPosition, static_cast<NAV_FORMAT_ENUM>(u32Format), nLang,
                            IPS_SPACE);
      snprintf(acValue, sizeof acValue, "%s", acPosition);
      break;
    }
    case D_WAYPOINT: {
      S32 nSize = nValueStringSize;
      if (nSize < 1) nSize = 1;
      if (nSize > static_cast<S32>(kValueBuffer)) nSize = kValueBuffer;
      T_NAV_vCopyWaypointName(data.u32Val, acValue, static_cast<U32>(nSize));
      cutToWidth(acValue, pValueFont, nMinWidth);
      break;
    }
    case D_FLOAT:
      snprintf(acValue, sizeof acValue, "%.2f", dValue);
      break;
    case D_SIGNED32:
      snprintf(acValue, sizeof acValue, "%d", data.s32Val);
      break;
    case D_FIXED_POINT:
      snprintf(acValue, sizeof acValue, "%.2f", data.s32Val / 65536.0);
      break;
    case D_ELEVATION_ANGLE:
      snprintf(acValue, sizeof acValue, "%d", data.s32Val);
      pcUnits = unitsText(U_DEG_GEOMETRIC, nLang);
      break;
    case D_UNKNOWN:
      snprintf(acValue, sizeof acValue, "%u", data.u32Val);
      break;
    default:
      snprintf(acValue, sizeof acValue, "%08x", data.u32Val);
      break;
  }
  if (fcid == FCID("IDWP")) {
    char acTarget[kValueBuffer] = "";
    T_NAV_INFOBOX_vGetVantrelActiveStr(acTarget, nullptr, FALSE);
    snprintf(acValue, sizeof acValue, "%s", acTarget);
    pcUnits = nullptr;
  }

  snprintf(sValue, INFO_VALUE_TEXT_LENGTH + 1, "%s", acValue);
  if (psUnits != nullptr) *psUnits = pcUnits;
  const S32 nUnitsWidth = pcUnits != nullptr ? width(pUnitsFont, pcUnits) : 0;
  const S32 nValueWidth = valueWidth(sValue, pValueFont, pTenthsFont, eDigitsFormat);
  if (pnValueWidth != nullptr) *pnValueWidth = nValueWidth;
  if (pnUnitsWidth != nullptr) *pnUnitsWidth = nUnitsWidth;
  return nValueWidth + nUnitsWidth;
}

void T_INFO_vGetData(FOURCHARID fcid, BOOLEAN *pbDataValid, char *psValue, char *psUnits,
                     const FONT_DEF *pValueFont, const FONT_DEF *pUnitFont, U32 nLang) {
  const char *pcUnits = nullptr;
  T_INFO_nInfoStrings(psValue, &pcUnits, pbDataValid, 1, fcid, pValueFont, pUnitFont, pValueFont, DONT_FORCE, nLang,
                      4, nullptr, nullptr);
  if (psUnits == nullptr) return;
  if (pcUnits != nullptr) {
    snprintf(psUnits, 21, "%s", pcUnits);
  } else {
    strcpy(psUnits, "  ");
  }
}

void T_INFO_vFormatDepth(double dDistance, UNIT_TYPE units, char *sValue, BOOLEAN bNoTenths) {
  const double v = dConvertFromInternal(dDistance, D_DEPTH, units);
  const bool bTenthsUnit = units == U_METRES || units == U_FEET || units == U_FATHOMS;
  snprintf(sValue, kValueBuffer, bTenthsUnit && !bNoTenths && v < 99.95 ? "%.1f" : "%.0f", v);
}

void T_INFO_vFormatDistance(double dDistance, UNIT_TYPE *punits, char *sValue) {
  const double x = std::fabs(dConvertFromInternal(dDistance, D_DISTANCE, *punits));
  snprintf(sValue, kValueBuffer, x < 9.995 ? "%.2f" : (x < 99.95 ? "%.1f" : "%.0f"), x);
  if (*punits == U_NAUT_MILES_FT && x < 0.1) {
    *punits = U_FEET;
    snprintf(sValue, kValueBuffer, "%.0f", x * 6076.1);
  } else if (*punits == U_NAUT_MILES_M && x < 0.1) {
    *punits = U_METRES;
    snprintf(sValue, kValueBuffer, "%.0f", x * 1852.0);
  } else if (*punits == U_KM && x < 1.0) {
    *punits = U_METRES;
    snprintf(sValue, kValueBuffer, "%.2f", x * 1000.0);
  } else if (*punits != U_NAUT_MILES_FT && *punits != U_NAUT_MILES_M && *punits != U_KM && x < 0.1) {
    *punits = U_FEET;
    snprintf(sValue, kValueBuffer, "%.0f", x * 5280.0);
  }
}

void T_INFO_vFormatTimeAscii(time_t nTime, BOOLEAN bIncludeSeconds, BOOLEAN bIncludeAMPM, char *sTime,
                             char *sDate, BOOLEAN *pbBlinkStateOn, BOOLEAN) {
  if (pbBlinkStateOn != nullptr) *pbBlinkStateOn = T_INFO_bBlinkState();
  if (nTime == 0) {
    if (sTime != nullptr) sTime[0] = '\0';
    if (sDate != nullptr) sDate[0] = '\0';
    return;
  }
  S32 s32Zone = 0, s32Dst = 0;
  if (H_DATABASE_bFetchS32(FCID("SLTZ"), &s32Zone, nullptr, nullptr) &&
      H_DATABASE_bFetchS32(FCID("SDST"), &s32Dst, nullptr, nullptr)) {
    nTime += static_cast<time_t>(s32Zone) * 60 + (s32Dst != 0 ? 3600 : 0);
  }
  // The clock counts UTC; the offsets above make it local, so no host time zone may enter here.
  struct tm tmLocal{};
  if (gmtime_r(&nTime, &tmLocal) == nullptr) {
    if (sTime != nullptr) strcpy(sTime, "---");
    if (sDate != nullptr) strcpy(sDate, "---");
    return;
  }
  char acText[64];
  if (sTime != nullptr) {
    U32 u32Format = 0;
    if (!H_DATABASE_bFetchU32(FCID("SITF"), &u32Format, nullptr, nullptr)) {
      snprintf(acText, sizeof acText, "---");
    } else if (u32Format == 4) {
      if (bIncludeSeconds) {
        snprintf(acText, sizeof acText, "%02d:%02d:%02d", tmLocal.tm_hour, tmLocal.tm_min, tmLocal.tm_sec);
      } else {
        snprintf(acText, sizeof acText, "%02d:%02d", tmLocal.tm_hour, tmLocal.tm_min);
      }
    } else {
      const int nHour = tmLocal.tm_hour == 0 ? 12 : (tmLocal.tm_hour > 12 ? tmLocal.tm_hour - 12 : tmLocal.tm_hour);
      const char *pcSuffix = bIncludeAMPM ? (tmLocal.tm_hour >= 12 ? " PM" : " AM") : "";
      if (bIncludeSeconds) {
        snprintf(acText, sizeof acText, "%d:%02d:%02d%s", nHour, tmLocal.tm_min, tmLocal.tm_sec, pcSuffix);
      } else {
        snprintf(acText, sizeof acText, "%d:%02d%s", nHour, tmLocal.tm_min, pcSuffix);
      }
    }
    copyText(sTime, acText);
  }
  if (sDate != nullptr) {
    U32 u32Format = 0;
    const int nYear = tmLocal.tm_year + 1900 - 2000;
    if (!H_DATABASE_bFetchU32(FCID("SIDF"), &u32Format, nullptr, nullptr)) {
      snprintf(acText, sizeof acText, "---");
    } else if (u32Format == 1) {
      snprintf(acText, sizeof acText, "%02d.%02d.%02d", tmLocal.tm_mday, tmLocal.tm_mon + 1, nYear);
    } else if (u32Format == 2) {
      snprintf(acText, sizeof acText, "%02d.%02d.%02d", nYear, tmLocal.tm_mon + 1, tmLocal.tm_mday);
    } else {
      snprintf(acText, sizeof acText, "%02d/%02d/%02d", tmLocal.tm_mon + 1, tmLocal.tm_mday, nYear);
    }
    copyText(sDate, acText);
  }
}

void T_INFO_vFormatTime(time_t nTime, BOOLEAN bIncludeSeconds, BOOLEAN bIncludeAMPM, char *sTime, char *sDate,
                        BOOLEAN *pbBlinkStateOn) {
  T_INFO_vFormatTimeAscii(nTime, bIncludeSeconds, bIncludeAMPM, sTime, sDate, pbBlinkStateOn, TRUE);
}

BOOLEAN T_INFO_pSplitTenths(const char *pSource, char *pInteger, const char **ppTenths, BOOLEAN bKeepDecimal) {
  if (ppTenths != nullptr) *ppTenths = nullptr;
  if (pSource == nullptr || pInteger == nullptr || ppTenths == nullptr) return FALSE;
  strcpy(pInteger, pSource);
  char *pcPoint = strchr(pInteger, '.');
  if (pcPoint == nullptr) return FALSE;
  pcPoint[bKeepDecimal ? 1 : 0] = '\0';
  *ppTenths = pSource + (pcPoint - pInteger) + 1;
  return TRUE;
}
