// Readout box drawing service and the info module's state (blink phase, propeller frame, transparency, palette).
#include "ui/info/info.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "autopilot/autopilot_standin.h"
#include "draw/box.h"
#include "draw/color.h"
#include "draw/icon_data.h"
#include "draw/string.h"
#include "radar/radar_standin.h"
#include "ui/info/info_internal.h"
#include "ui/menu/palette.h"

namespace {

// Written by the info task, read by every drawing task.
std::atomic<BOOLEAN> s_bBlinkStateOn{TRUE};
std::atomic<S32> s_nPropIconId{0};
std::atomic<U8> s_u8Alpha{0};
std::atomic<int> s_ePalette{PALETTE1};

const ICON *const s_apPropIcons[3] = {&Prop1_icon, &Prop2_icon, &Prop3_icon};

// Colour entries outside the readout section.
constexpr U32 kAlwaysBlack = 32;
constexpr U32 kRadarSeparator = 34;
constexpr U32 kRadarForeground = 35;
constexpr U32 kRed = 36;

COLOR colour(U32 u32Entry) { return gCOLOR_pcolColorTable[u32Entry]; }

S32 fetchS32(FOURCHARID fcid, S32 s32Default) { return INFO_s32Fetch(fcid, s32Default); }
bool fetchTrue(FOURCHARID fcid) { return INFO_bFetchTrue(fcid); }

bool isMobItem(FOURCHARID fcid) { return fcid == FCID("MOBT") || fcid == FCID("MOBX") || fcid == FCID("MOBY"); }

const ARRAY_OF_STRING_PTRS s_acDepth = SAME22("Depth");
const ARRAY_OF_STRING_PTRS s_acRDepth = SAME22("R Depth");
const ARRAY_OF_STRING_PTRS s_acTemp = SAME22("Temp");
const ARRAY_OF_STRING_PTRS s_acTemp1 = SAME22("Temp.1");
const ARRAY_OF_STRING_PTRS s_acAuxTemp = SAME22("Aux Temp");
const ARRAY_OF_STRING_PTRS s_acTemp2 = SAME22("Temp.2");
const ARRAY_OF_STRING_PTRS s_acRTemp = SAME22("R Temp");
const ARRAY_OF_STRING_PTRS s_acTemp3 = SAME22("Temp.3");
const ARRAY_OF_STRING_PTRS s_acRATemp = SAME22("R A Temp");
const ARRAY_OF_STRING_PTRS s_acTemp4 = SAME22("Temp.4");
const ARRAY_OF_STRING_PTRS s_acSpeed = SAME22("Speed");
const ARRAY_OF_STRING_PTRS s_acSog = SAME22("SOG");
const ARRAY_OF_STRING_PTRS s_acStw = SAME22("STW");
const ARRAY_OF_STRING_PTRS s_acVmg = SAME22("VMG");
const ARRAY_OF_STRING_PTRS s_acHeading = SAME22("Heading");
const ARRAY_OF_STRING_PTRS s_acCog = SAME22("COG");
const ARRAY_OF_STRING_PTRS s_acBearing = SAME22("Bearing");
const ARRAY_OF_STRING_PTRS s_acXte = SAME22("XTE");
const ARRAY_OF_STRING_PTRS s_acDtg = SAME22("DTG");
const ARRAY_OF_STRING_PTRS s_acDist = SAME22("DIST");
const ARRAY_OF_STRING_PTRS s_acTtg = SAME22("TTG");
const ARRAY_OF_STRING_PTRS s_acTime = SAME22("Time");
const ARRAY_OF_STRING_PTRS s_acTimer = SAME22("Timer");
const ARRAY_OF_STRING_PTRS s_acVlt = SAME22("VLT");
const ARRAY_OF_STRING_PTRS s_acPitch = SAME22("Pitch");
const ARRAY_OF_STRING_PTRS s_acRoll = SAME22("Roll");

struct TITLE {
  FOURCHARID fcid;
  const ARRAY_OF_STRING_PTRS *pTitle;
  const ARRAY_OF_STRING_PTRS *pNumbered;  // with 'SFEF' TRUE
};

const TITLE s_aTitles[] = {
    {FCID("IDEP"), &s_acDepth, nullptr},      {FCID("IDER"), &s_acRDepth, nullptr},
    {FCID("ITMP"), &s_acTemp, &s_acTemp1},    {FCID("ITMT"), &s_acTemp, &s_acTemp1},
    {FCID("ITMS"), &s_acAuxTemp, &s_acTemp2}, {FCID("IRTP"), &s_acRTemp, &s_acTemp3},
    {FCID("IRTS"), &s_acRATemp, &s_acTemp4},  {FCID("ISPD"), &s_acSpeed, nullptr},
    {FCID("ISOG"), &s_acSog, nullptr},        {FCID("ISTW"), &s_acStw, nullptr},
    {FCID("IVMG"), &s_acVmg, nullptr},        {FCID("IHDC"), &s_acHeading, nullptr},
    {FCID("IHDG"), &s_acCog, nullptr},        {FCID("IBRG"), &s_acBearing, nullptr},
    {FCID("IXTE"), &s_acXte, nullptr},        {FCID("IDTG"), &s_acDtg, nullptr},
    {FCID("IDST"), &s_acDist, nullptr},       {FCID("ITTG"), &s_acTtg, nullptr},
    {FCID("ITMO"), &s_acTime, nullptr},       {FCID("ITAW"), &s_acTimer, nullptr},
    {FCID("IVLT"), &s_acVlt, nullptr},        {FCID("IPTH"), &s_acPitch, nullptr},
    {FCID("IROL"), &s_acRoll, nullptr},
};

// The navigation values that show dashes while continuous navigation or the autopilot makes them meaningless.
bool showsDashes(FOURCHARID fcid) {
  if ((fcid == FCID("IXTE") || fcid == FCID("IVMG")) && fetchTrue(FCID("SNCM")) && fetchTrue(FCID("CCNC"))) {
    return true;
  }
  if (!fetchTrue(FCID("IPUF"))) return false;
  const S32 s32Mode = fetchS32(FCID("IPMD"), 0);
  if (s32Mode == 9) return fcid == FCID("ITTG");
  if (s32Mode == 3 || T_VANTREL_bIsNavigationPaused()) {
    return fcid == FCID("IDTG") || fcid == FCID("IDST") || fcid == FCID("ITTG") || fcid == FCID("IXTE") ||
           fcid == FCID("IVMG");
  }
  return false;
}

void putText(BITMAP *pBitmap, COLOR color, S32 x, S32 y, const FONT_DEF *pFont, const char *s) {
  POINT pt{x, y};
  G_STRING_vPut(pBitmap, color, &pt, pFont, s);
}

// The propeller that shows the autopilot's thrust beside a speed readout.
void drawPropeller(BITMAP *pBitmap, FOURCHARID fcid, const POINT &ptTitle) {
  if (!fetchTrue(FCID("IPUF")) || (fcid != FCID("ISOG") && fcid != FCID("ISPD")) ||
      !U_NAV_VANTREL_bIsVantrelNavigationEnabled()) {
    return;
  }
  const S32 s32Mode = fetchS32(FCID("IPMD"), 0);
  S32 nFrame = 0;
  if (fetchTrue(FCID("IPRP"))) {
    float fThrust = 0.0f;
    if (H_DATABASE_bFetchFloat(FCID("IPPT"), &fThrust, nullptr, nullptr) && fThrust == 0.0f) s_nPropIconId = 0;
    nFrame = s_nPropIconId;
  } else {
    const bool bActive =
        s32Mode != 0 && (fetchS32(FCID("IPAH"), 0) > 0 || fetchS32(FCID("IPCA"), 0) != 0 || fetchTrue(FCID("IPRA")));
    if (!s_bBlinkStateOn || !bActive) return;
  }
  const ICON *pIcon = s_apPropIcons[nFrame % 3];
  const S32 nTop = ptTitle.y - (s32Mode == 0 ? 8 : 4);
  const POINT pt{ptTitle.x, nTop - static_cast<S32>(G_ICON_u32GetHeight(pIcon))};
  G_ICON_vPut(pBitmap, pIcon, &pt);
  if (fetchS32(FCID("IPCA"), 0) != 0) {
    const POINT ptCruise{pt.x + static_cast<S32>(G_ICON_u32GetWidth(pIcon)) + 5, pt.y};
    G_ICON_vPut(pBitmap, &Vantrel_Cruise_icon, &ptCruise);
  }
}

}  // namespace

S32 INFO_s32Fetch(FOURCHARID fcid, S32 s32Default) {
  S32 s32 = s32Default;
  return H_DATABASE_bFetchS32(fcid, &s32, nullptr, nullptr) ? s32 : s32Default;
}

bool INFO_bFetchTrue(FOURCHARID fcid) {
  BOOLEAN b = FALSE;
  return H_DATABASE_bFetchBoolean(fcid, &b, nullptr, nullptr) && b;
}

BOOLEAN INFO_bRadarInfoView(void) { return T_RADAR_bIsMyRadarInfoView(UNKNOWN_VIEW); }

void INFO_vAdvanceBlink(void) {
  s_nPropIconId = (s_nPropIconId + 1) % 3;
  s_bBlinkStateOn = !s_bBlinkStateOn;
}

void INFO_vSetBlinkState(BOOLEAN bOn) { s_bBlinkStateOn = bOn; }

S32 INFO_nPropIconId(void) { return s_nPropIconId; }

U8 INFO_u8Alpha(void) { return s_u8Alpha; }

const COLOR acInfoPaletteBlueBackground[4] = {0x2815, 0x7BFF, 0x8C94, 0xFFFF};
const COLOR acInfoPaletteBlackBackground[4] = {0x0000, 0x5AF5, 0x424A, 0xFFFF};
const COLOR acInfoPaletteWhiteBackground[4] = {0xFFFF, 0xB5B4, 0x424A, 0x0000};

void INFO_vApplyPalette(U32 u32Palette) {
  const COLOR *pcol = u32Palette == PALETTE2   ? acInfoPaletteBlueBackground
                      : u32Palette == PALETTE3 ? acInfoPaletteBlackBackground
                                               : acInfoPaletteWhiteBackground;
  COLOR_vSetColorTableSection(INFO_COLOR_BACKGROUND, 4, pcol);
  s_ePalette = (u32Palette >= PALETTE1 && u32Palette <= PALETTE4) ? static_cast<int>(u32Palette) : PALETTE1;
}

BOOLEAN T_INFO_bBlinkState(void) { return s_bBlinkStateOn; }

U8 T_INFO_u8ConvertAlphaVector(U32 u32AlphaVector) {
  switch (s_ePalette) {
    case PALETTE2: return static_cast<U8>(u32AlphaVector >> 8);
    case PALETTE3: return static_cast<U8>(u32AlphaVector >> 16);
    default: return static_cast<U8>(u32AlphaVector);
  }
}

void T_INFO_vSetAlpha(U32 u32AlphaVector) { s_u8Alpha = T_INFO_u8ConvertAlphaVector(u32AlphaVector); }

BOOLEAN T_INFO_bFCIDIsValidSelection(FOURCHARID fcid) {
  U32 u32Key = 0;
  DB_ATTRIBUTES attr{};
  if (!H_DATABASE_bFetchU32(fcid, &u32Key, nullptr, &attr) || attr.DataType != D_FCID || u32Key == 0) return FALSE;
  DB_DATA_TYPE data{};
  return H_DATABASE_bFetch(u32Key, &data, nullptr, nullptr);
}

BOOLEAN T_INFO_bFCIDNonZero(FOURCHARID fcid) {
  U32 u32Value = 0;
  BOOLEAN bValid = FALSE;
  return H_DATABASE_bFetchU32(fcid, &u32Value, &bValid, nullptr) && bValid && u32Value != 0;
}

void T_INFO_vDrawInfoBar(BITMAP *pBitmap, S32 nBoxWidth, S32 nHeight, S32 nXPosition, S32 nYPosition,
                         INFO_BOX_STYLE eBoxStyle) {
  if (nBoxWidth <= 0 || nHeight <= 0) return;
  const U32 w = static_cast<U32>(nBoxWidth), h = static_cast<U32>(nHeight);
  const POINT pt{nXPosition, nYPosition};
  switch (eBoxStyle) {
    case IBS_GRAY_ROUNDED_BORDER:
    case IBS_RED_ROUNDED_BORDER:
    case IBS_SEMITRANSPARENT_GRAY_ROUNDED_BORDER: {
      const COLOR colOutline = colour(eBoxStyle == IBS_RED_ROUNDED_BORDER ? kRed : INFO_COLOR_FRAME);
      G_BOX_vDrawRounded(pBitmap, colOutline, &pt, w, h, 5);
      if (w <= 6 || h <= 6) break;
      const POINT pt1{nXPosition + 1, nYPosition + 1}, pt2{nXPosition + 2, nYPosition + 2};
      const POINT pt3{nXPosition + 3, nYPosition + 3};
      G_BOX_vDrawRounded(pBitmap, colOutline, &pt1, w - 2, h - 2, 3);
      G_BOX_vDrawRounded(pBitmap, colOutline, &pt2, w - 4, h - 4, 3);
      if (eBoxStyle == IBS_SEMITRANSPARENT_GRAY_ROUNDED_BORDER) {
        G_BOX_vDrawRoundedFilledAlpha(pBitmap, colour(INFO_COLOR_BACKGROUND), &pt3, w - 6, h - 6, 3, s_u8Alpha);
      } else {
        G_BOX_vDrawRoundedFilled(pBitmap, colour(INFO_COLOR_BACKGROUND), &pt3, w - 6, h - 6, 3);
      }
      break;
    }
    case IBS_BLACK_ROUNDED_BAR: G_BOX_vDrawRoundedFilled(pBitmap, colour(131), &pt, w, h, 10); break;
    case IBS_ALWAYS_BLACK_ROUNDED_BAR: G_BOX_vDrawRoundedFilled(pBitmap, colour(kAlwaysBlack), &pt, w, h, 10); break;
    case IBS_DK_GRAY_ROUNDED_BAR: G_BOX_vDrawRoundedFilled(pBitmap, colour(130), &pt, w, h, 10); break;
    case IBS_LT_GRAY_ROUNDED_BAR: G_BOX_vDrawRoundedFilled(pBitmap, colour(129), &pt, w, h, 10); break;
    case IBS_WHITE_ROUNDED_BAR: G_BOX_vDrawRoundedFilled(pBitmap, colour(128), &pt, w, h, 10); break;
    case IBS_ALWAYS_WHITE_ROUNDED_BAR: G_BOX_vDrawRoundedFilled(pBitmap, colour(kRadarForeground), &pt, w, h, 10); break;
    case IBS_BLACK_BAR: G_BOX_vDrawFilled(pBitmap, colour(131), &pt, w, h); break;
    case IBS_ALWAYS_BLACK_BAR: G_BOX_vDrawFilled(pBitmap, colour(kAlwaysBlack), &pt, w, h); break;
    case IBS_DK_GRAY_BAR: G_BOX_vDrawFilled(pBitmap, colour(130), &pt, w, h); break;
    case IBS_LT_GRAY_BAR: G_BOX_vDrawFilled(pBitmap, colour(129), &pt, w, h); break;
    case IBS_WHITE_BAR: G_BOX_vDrawFilled(pBitmap, colour(128), &pt, w, h); break;
    case IBS_ALWAYS_WHITE_BAR: G_BOX_vDrawFilled(pBitmap, colour(kRadarForeground), &pt, w, h); break;
    case IBS_SEMITRANSPARENT_WHITE_BAR:
      G_BOX_vDrawFilledAlpha(pBitmap, colour(INFO_COLOR_BACKGROUND), &pt, w, h, s_u8Alpha);
      break;
    case IBS_SEMITRANSPARENT_WHITE_ROUNDED_BAR:
      G_BOX_vDrawRoundedFilledAlpha(pBitmap, colour(INFO_COLOR_BACKGROUND), &pt, w, h, 10, s_u8Alpha);
      break;
    default: break;
  }
}

void T_INFO_vDrawInfoBoxTitle(BITMAP *pBitmap, POINT *ppt, FOURCHARID fcid, const FONT_DEF *pUnitsFont, U32 nLang) {
  const TITLE *pTitle = nullptr;
  for (const TITLE &t : s_aTitles) {
    if (t.fcid == fcid) pTitle = &t;
  }
  if (pTitle == nullptr || pUnitsFont == nullptr) return;
  const ARRAY_OF_STRING_PTRS *pText =
      pTitle->pNumbered != nullptr && fetchTrue(FCID("SFEF")) ? pTitle->pNumbered : pTitle->pTitle;
  if (pUnitsFont == std_11x14_font_def_ptr) {
    ppt->x += 2;
    ppt->y += 1;
  }
  const COLOR col = colour(INFO_bRadarInfoView() ? kRadarForeground : INFO_COLOR_FOREGROUND);
  G_STRING_vPut(pBitmap, col, ppt, pUnitsFont, (*pText)[nLang < NUMBER_OF_LANGUAGES ? nLang : 0]);
}

static const char *languageText(const ARRAY_OF_STRING_PTRS *pString, U32 nLang) {
  return (*pString)[nLang < NUMBER_OF_LANGUAGES ? nLang : 0];
}

void T_INFO_vDrawText(BITMAP *pBitmap, S32 nXPosition, S32 nYPosition, const ARRAY_OF_STRING_PTRS *pString,
                      const FONT_DEF *pFont, U32 nLang) {
  putText(pBitmap, colour(INFO_bRadarInfoView() ? kAlwaysBlack : INFO_COLOR_FOREGROUND), nXPosition, nYPosition,
          pFont, languageText(pString, nLang));
}

void T_INFO_vDrawInfoTitleText(BITMAP *pBitmap, S32 nXPosition, S32 nYPosition, const ARRAY_OF_STRING_PTRS *pString,
                               const FONT_DEF *pFont, U32 nLang) {
  putText(pBitmap, colour(INFO_bRadarInfoView() ? kRadarForeground : INFO_COLOR_FOREGROUND), nXPosition, nYPosition,
          pFont, languageText(pString, nLang));
}

void T_INFO_vDrawTextRight(BITMAP *pBitmap, S32 nXPosition, S32 nYPosition, const ARRAY_OF_STRING_PTRS *pString,
                           const FONT_DEF *pFont, U32 nLang) {
  const char *s = languageText(pString, nLang);
  const S32 x = std::max<S32>(0, nXPosition - static_cast<S32>(G_STRING_u32GetWidth(pFont, s)));
  putText(pBitmap, colour(INFO_COLOR_FOREGROUND), x, nYPosition, pFont, s);
}

void INFO_vPutIconCentred(BITMAP *pBitmap, const ICON *pIcon, S32 x, S32 y) {
  const POINT pt{x - static_cast<S32>(G_ICON_u32GetWidth(pIcon)) / 2 + 1,
                 y - static_cast<S32>(G_ICON_u32GetHeight(pIcon)) / 2};
  G_ICON_vPut(pBitmap, pIcon, &pt);
}

void T_INFO_vDrawCursor(BITMAP *pBitmap, U32, BOOLEAN) {
  S32 x = 0, y = 0;
  if (!H_DATABASE_bFetchS32(FCID("ICPX"), &x, nullptr, nullptr) ||
      !H_DATABASE_bFetchS32(FCID("ICPY"), &y, nullptr, nullptr)) {
    return;
  }
  INFO_vPutIconCentred(pBitmap, &Cursor_icon, x, y);
}

DIGITS_FORMAT INFO_eResolveFormat(DIGITS_FORMAT eForceFormat) {
  if (eForceFormat != DONT_FORCE) return eForceFormat;
  U32 u32Format = SMALL_TENTHS;
  if (!H_DATABASE_bFetchU32(FCID("SFMT"), &u32Format, nullptr, nullptr) || u32Format < SMALL_TENTHS ||
      u32Format > NO_TENTHS) {
    return SMALL_TENTHS;
  }
  return static_cast<DIGITS_FORMAT>(u32Format);
}

S32 T_INFO_nMeasureDigitsInfoBox(S32 nMinWidth, FOURCHARID fcid, const FONT_DEF *pValueFont,
                                 const FONT_DEF *pUnitsFont, const FONT_DEF *pTenthsFont,
                                 DIGITS_FORMAT eForceFormat, INFO_BOX_STYLE eBoxStyle, U32 nLang) {
  char acValue[INFO_VALUE_TEXT_LENGTH + 4];
  const DIGITS_FORMAT eFormat = INFO_eResolveFormat(eForceFormat);
  const S32 nText = T_INFO_nInfoStrings(acValue, nullptr, nullptr, nMinWidth, fcid, pValueFont, pUnitsFont,
                                        eFormat == LARGE_TENTHS ? pValueFont : pTenthsFont, eFormat, nLang,
                                        INFO_VALUE_TEXT_LENGTH + 1, nullptr, nullptr);
  if (nText == 0) return 0;
  const bool bBorder = eBoxStyle == IBS_GRAY_ROUNDED_BORDER || eBoxStyle == IBS_SEMITRANSPARENT_GRAY_ROUNDED_BORDER;
  return std::max(nText + (bBorder ? 13 : 1), nMinWidth);
}

S32 T_INFO_nMeasureInfoBox(S32 nMinWidth, FOURCHARID fcid, const FONT_DEF *pValueFont, const FONT_DEF *pUnitsFont,
                           INFO_BOX_STYLE eBoxStyle, U32 nLang) {
  return T_INFO_nMeasureDigitsInfoBox(nMinWidth, fcid, pValueFont, pUnitsFont, pValueFont, DONT_FORCE, eBoxStyle,
                                      nLang);
}

S32 T_INFO_nDrawInfoBox(BITMAP *pBitmap, S32 nMinWidth, S32 nHeight, S32 nXPosition, S32 nYPosition,
                        FOURCHARID fcid, const FONT_DEF *pValueFont, const FONT_DEF *pUnitsFont,
                        INFO_BOX_STYLE eBoxStyle, INFO_JUSTIFICATION eJustification, U32 nLang) {
  return T_INFO_nDrawDigitsInfoBox(pBitmap, nMinWidth, nHeight, nXPosition, nYPosition, fcid, pValueFont, pUnitsFont,
                                   pValueFont, DONT_FORCE, eBoxStyle, eJustification, nLang);
}

S32 T_INFO_nDrawDigitsInfoBox(BITMAP *pBitmap, S32 nMinWidth, S32 nHeight, S32 nXPosition, S32 nYPosition,
                              FOURCHARID fcid, const FONT_DEF *pValueFont, const FONT_DEF *pUnitsFont,
                              const FONT_DEF *pTenthsFont, DIGITS_FORMAT eForceFormat, INFO_BOX_STYLE eBoxStyle,
                              INFO_JUSTIFICATION eJustification, U32 nLang) {
  const bool bRadar = INFO_bRadarInfoView() && !isMobItem(fcid);
  const COLOR colSeparator = colour(bRadar ? kRadarSeparator : INFO_COLOR_SEPARATOR);
  const COLOR colText = colour(bRadar ? kRadarForeground : INFO_COLOR_FOREGROUND);
  const DIGITS_FORMAT eFormat = INFO_eResolveFormat(eForceFormat);
  if (eFormat == LARGE_TENTHS) pTenthsFont = pValueFont;

  char acValue[INFO_VALUE_TEXT_LENGTH + 4] = "";
  const char *pcUnits = nullptr;
  BOOLEAN bValid = TRUE;
  S32 nValueWidth = 0, nUnitsWidth = 0;
  if (fcid == FCID("INVL")) {
    strcpy(acValue, "---");
    nValueWidth = static_cast<S32>(G_STRING_u32GetWidth(pValueFont, acValue));
  } else if (T_INFO_nInfoStrings(acValue, &pcUnits, &bValid, nMinWidth, fcid, pValueFont, pUnitsFont, pTenthsFont,
                                 eFormat, nLang, INFO_VALUE_TEXT_LENGTH + 1, &nValueWidth, &nUnitsWidth) == 0) {
    DB_DATA_TYPE data{};
    if (!H_DATABASE_bFetch(fcid, &data, nullptr, nullptr)) return 0;
  }
  if (showsDashes(fcid)) {
    strcpy(acValue, "---");
    pcUnits = nullptr;
    nUnitsWidth = 0;
    nValueWidth = static_cast<S32>(G_STRING_u32GetWidth(pValueFont, acValue));
  }
  if (pcUnits != nullptr && *pcUnits == '\0') pcUnits = nullptr;

  const S32 W = std::max({nUnitsWidth + 4, nValueWidth, nMinWidth});
  const S32 x = nXPosition < 0 ? nXPosition + pBitmap->pixels_wide : nXPosition;
  const S32 y = nYPosition < 0 ? nYPosition + pBitmap->pixels_high : nYPosition;
  T_INFO_vDrawInfoBar(pBitmap, W, nHeight, x, y, eBoxStyle);
  if (!bValid && !s_bBlinkStateOn) return W;

  const S32 U = pUnitsFont != nullptr ? static_cast<S32>(G_FONTS_u32GetCoreHeight(pUnitsFont)) : 0;
  POINT ptValue{x + W - nValueWidth, y + 4};
  if (eJustification == JUSTIFY_LEFT) {
    ptValue.x = x + 4;
  } else if (eJustification == INSTRUMENTATION_JUSTIFY_LEFT && pcUnits != nullptr) {
    ptValue.x = x + W - nValueWidth - nUnitsWidth - 4;
  }
  const char *pcPoint = strchr(acValue, '.');
  if (eFormat == SMALL_TENTHS && pTenthsFont != pValueFont && pTenthsFont != nullptr && pcPoint != nullptr) {
    char acInteger[sizeof acValue];
    const char *pcTenths = nullptr;
    T_INFO_pSplitTenths(acValue, acInteger, &pcTenths, TRUE);
    G_STRING_vPut(pBitmap, colText, &ptValue, pValueFont, acInteger);
    G_STRING_vPut(pBitmap, colText, &ptValue, pTenthsFont, pcTenths);
  } else {
    G_STRING_vPut(pBitmap, colText, &ptValue, pValueFont, acValue);
  }

  POINT ptTitle{x + 4, y + nHeight - 2 - U};
  if (eJustification == JUSTIFY_LEFT) {
    if (pcUnits != nullptr) {
      POINT ptUnits{ptValue.x + 2, ptValue.y + 2};
      G_STRING_vPut(pBitmap, colText, &ptUnits, pUnitsFont, pcUnits);
    }
    ptTitle.x = x + 106;
  } else {
    if (pcUnits != nullptr) putText(pBitmap, colText, x + W - 2 - nUnitsWidth, ptTitle.y, pUnitsFont, pcUnits);
    if (eJustification != INSTRUMENTATION_JUSTIFY_LEFT && eJustification != INSTRUMENTATION_JUSTIFY_RIGHT_NO_TICK &&
        W > 155) {
      const POINT ptTick{x + W - 8 - nUnitsWidth, ptTitle.y};
      G_BOX_vDraw(pBitmap, colSeparator, &ptTick, 2, static_cast<U32>(U + 2));
    }
  }
  const POINT ptTitleStart = ptTitle;
  T_INFO_vDrawInfoBoxTitle(pBitmap, &ptTitle, fcid, pUnitsFont, nLang);
  drawPropeller(pBitmap, fcid, ptTitleStart);
  return W;
}
