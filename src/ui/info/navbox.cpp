// Composite readout boxes, the autopilot's active target and the big-digits readout layer.
#include "ui/info/navbox.h"

#include <cstring>
#include <iterator>

#include "autopilot/autopilot_standin.h"
#include "draw/box.h"
#include "draw/color.h"
#include "draw/string.h"
#include "nav/nav_standin.h"
#include "radar/radar_standin.h"
#include "ui/info/info_internal.h"
#include "ui/info/readout.h"

namespace {

constexpr S32 kBoxWidth = 156;
constexpr S32 kBoxHeight = 94;
constexpr S32 kBigWidth = 193;
constexpr S32 kBigHeight = 118;
constexpr S32 kBigStep = 120;

const FOURCHARID fcidSelectionColumn1[4] = {FCID("BDEP"), FCID("BHDG"), FCID("BPOS"), FCID("BSPD")};
const FOURCHARID fcidSelectionColumn1Nav[4] = {FCID("BDEP"), FCID("BTTG"), FCID("BPOS"), FCID("BSPD")};
const FOURCHARID fcidSelectionColumn2Nav[4] = {FCID("BXTE"), FCID("BHDG"), FCID("BBRG"), FCID("BDTG")};

const ARRAY_OF_STRING_PTRS s_acTime = SAME22("Time");

COLOR colour(U32 u32Entry) { return gCOLOR_pcolColorTable[u32Entry]; }

COLOR textColour() { return colour(INFO_bRadarInfoView() ? 35 : INFO_COLOR_FOREGROUND); }

INFO_BOX_STYLE boxStyle() { return INFO_bRadarInfoView() ? IBS_ALWAYS_BLACK_BAR : IBS_SEMITRANSPARENT_WHITE_BAR; }

S32 fetchS32(FOURCHARID fcid, S32 s32Default) { return INFO_s32Fetch(fcid, s32Default); }
bool fetchTrue(FOURCHARID fcid) { return INFO_bFetchTrue(fcid); }

void fill(BITMAP *pBitmap, U32 u32Entry, S32 x, S32 y, S32 w, S32 h) {
  const POINT pt{x, y};
  G_BOX_vDrawFilled(pBitmap, colour(u32Entry), &pt, static_cast<U32>(w), static_cast<U32>(h));
}

void putCentred(BITMAP *pBitmap, COLOR col, S32 x, S32 nWidth, S32 y, const FONT_DEF *pFont, const char *s) {
  POINT pt{x + (nWidth - static_cast<S32>(G_STRING_u32GetWidth(pFont, s))) / 2, y};
  G_STRING_vPut(pBitmap, col, &pt, pFont, s);
}

// A coordinate of live item fcid in the user's position format; false when the item is missing.
bool positionText(FOURCHARID fcid, DATA_TYPE eType, U32 nLang, char *acText, BOOLEAN *pbValid) {
  float fDegrees = 0.0f;
  if (!H_DATABASE_bFetchFloat(fcid, &fDegrees, pbValid, nullptr)) return false;
  U32 u32Format = 0;
  H_DATABASE_bFetchU32(FCID("SIPF"), &u32Format, nullptr, nullptr);
  U_NAV_vFormatPosition(eType, fDegrees, acText, static_cast<NAV_FORMAT_ENUM>(u32Format), nLang, IPS_SPACE);
  return true;
}

// The time item 'IDTM' (UTC seconds), when it exists and is valid.
bool timeNow(time_t *pTime) {
  U32 u32Time = 0;
  BOOLEAN bValid = FALSE;
  if (!H_DATABASE_bFetchU32(FCID("IDTM"), &u32Time, &bValid, nullptr) || !bValid) return false;
  *pTime = static_cast<time_t>(u32Time);
  return true;
}

// The latitude and longitude of the big position box, each shown while valid or in the blink-on phase.
void bigPosition(BITMAP *pBitmap, const POINT &pt, U32 nLang) {
  char acText[32] = "";
  BOOLEAN bValid = FALSE;
  if (!positionText(FCID("ILTD"), D_POSITION_LAT, nLang, acText, &bValid)) return;
  T_INFO_vDrawInfoBar(pBitmap, kBigWidth, kBigHeight, pt.x, pt.y, IBS_WHITE_BAR);
  const COLOR col = colour(INFO_COLOR_FOREGROUND);
  if (bValid || T_INFO_bBlinkState()) putCentred(pBitmap, col, pt.x + 1, kBigWidth, pt.y + 63, f15x21_font_def_ptr, acText);
  if (positionText(FCID("ILND"), D_POSITION_LON, nLang, acText, &bValid) && (bValid || T_INFO_bBlinkState())) {
    putCentred(pBitmap, col, pt.x + 1, kBigWidth, pt.y + 34, f15x21_font_def_ptr, acText);
  }
}

}  // namespace

void vRenderDualInfoBox2(BITMAP *pBitmap, POINT *ppt, U32 nLang, FOURCHARID fcidUpper, FOURCHARID fcidLower) {
  if (!T_INFO_bFCIDNonZero(FCID("INIP")) && !fetchTrue(FCID("IPNO"))) return;
  const S32 x = ppt->x, y = ppt->y;
  T_INFO_vDrawInfoBar(pBitmap, kBoxWidth, kBoxHeight, x, y, boxStyle());
  fill(pBitmap, INFO_COLOR_SEPARATOR, x + 4, y + 46, 148, 2);
  T_INFO_nDrawInfoBox(pBitmap, kBoxWidth, 46, x, y + 48, fcidUpper, f18x32_font_def_ptr, std_11x14_font_def_ptr,
                      IBS_NONE, JUSTIFY_LEFT, nLang);
  T_INFO_nDrawInfoBox(pBitmap, kBoxWidth, 46, x, y, fcidLower, f18x32_font_def_ptr, std_11x14_font_def_ptr, IBS_NONE,
                      JUSTIFY_LEFT, nLang);
}

void IBRF_vRenderTimeToGoOverSpeedInfoBox(BITMAP *pBitmap, POINT *ppt, VIB_DIRECTION, U32 nLang) {
  vRenderDualInfoBox2(pBitmap, ppt, nLang, fetchS32(FCID("IPMD"), 0) == 9 ? FCID("IETM") : FCID("ITTG"),
                      FCID("ISPD"));
}

void IBRF_vRenderCrossTrackOverErrorDistanceToGoInfoBox(BITMAP *pBitmap, POINT *ppt, VIB_DIRECTION, U32 nLang) {
  vRenderDualInfoBox2(pBitmap, ppt, nLang, FCID("IXTE"),
                      fetchS32(FCID("IPMD"), 0) == 9 ? FCID("IDST") : FCID("IDTG"));
}

void IBRF_vRenderTimeDateInfoBox(BITMAP *pBitmap, POINT *ppt, VIB_DIRECTION, U32) {
  time_t t = 0;
  if (!timeNow(&t)) return;
  char acTime[INFO_TIME_TEXT_SIZE] = "", acDate[INFO_TIME_TEXT_SIZE] = "";
  T_INFO_vFormatTime(t, TRUE, TRUE, acTime, acDate, nullptr);
  const S32 x = ppt->x, y = ppt->y;
  T_INFO_vDrawInfoBar(pBitmap, kBoxWidth, kBoxHeight, x, y, boxStyle());
  fill(pBitmap, INFO_COLOR_SEPARATOR, x + 18, y + 46, 120, 2);
  putCentred(pBitmap, textColour(), x, kBoxWidth, y + 63, std_16x17_font_def_ptr, acTime);
  putCentred(pBitmap, textColour(), x, kBoxWidth, y + 15, std_16x17_font_def_ptr, acDate);
}

void IBRF_vRenderTimeOnlyInfoBox(BITMAP *pBitmap, POINT *ppt, VIB_DIRECTION, U32 nLang) {
  time_t t = 0;
  if (!timeNow(&t)) return;
  char acTime[INFO_TIME_TEXT_SIZE] = "";
  T_INFO_vFormatTime(t, FALSE, FALSE, acTime, nullptr, nullptr);
  const S32 x = ppt->x, y = ppt->y;
  T_INFO_vDrawInfoBar(pBitmap, kBoxWidth, kBoxHeight, x, y, boxStyle());
  POINT pt{x + kBoxWidth - static_cast<S32>(G_STRING_u32GetWidth(f31x57_font_def_ptr, acTime)), y + 4};
  G_STRING_vPut(pBitmap, textColour(), &pt, f31x57_font_def_ptr, acTime);
  pt = POINT{x + 2, y + 92 - static_cast<S32>(G_FONTS_u32GetCoreHeight(std_16x17_font_def_ptr))};
  G_STRING_vPut(pBitmap, textColour(), &pt, std_16x17_font_def_ptr, s_acTime[nLang < NUMBER_OF_LANGUAGES ? nLang : 0]);
}

void IBRF_vRenderPositionInfoBox(BITMAP *pBitmap, POINT *ppt, VIB_DIRECTION, U32 nLang) {
  char acText[32] = "";
  BOOLEAN bValid = FALSE;
  if (!positionText(FCID("ILTD"), D_POSITION_LAT, nLang, acText, &bValid)) return;
  const S32 x = ppt->x, y = ppt->y;
  T_INFO_vDrawInfoBar(pBitmap, kBoxWidth, kBoxHeight, x, y, boxStyle());
  const FONT_DEF *pFont = std_11x14_font_def_ptr;
  if (bValid || T_INFO_bBlinkState()) putCentred(pBitmap, textColour(), x, kBoxWidth, y + 51, pFont, acText);
  if (positionText(FCID("ILND"), D_POSITION_LON, nLang, acText, &bValid) && (bValid || T_INFO_bBlinkState())) {
    putCentred(pBitmap, textColour(), x, kBoxWidth, y + 43 - static_cast<S32>(G_FONTS_u32GetHeight(pFont)), pFont,
               acText);
  }
}

void T_NAV_INFOBOX_vGetVantrelActiveStr(char *pacStr, U8 *pu8WayPtIcon, BOOLEAN bFinal) {
  pacStr[0] = '\0';
  if (pu8WayPtIcon != nullptr) *pu8WayPtIcon = 0;
  U32 u32Waypoint = 0xFFFF;
  if (T_INFO_bFCIDNonZero(FCID("INIP"))) {
    const ROUTE *pRoute = bFinal ? T_NAV_pGetCurrentRoute() : nullptr;
    if (pRoute != nullptr) {
      const U32 nCount = pRoute->nCount;
      if (nCount >= 1 && nCount <= std::size(pRoute->anWaypoint)) u32Waypoint = pRoute->anWaypoint[nCount - 1];
    } else {
      H_DATABASE_bFetchU32(FCID("IDWP"), &u32Waypoint, nullptr, nullptr);
    }
  } else {
    const S32 s32Mode = fetchS32(FCID("IPMD"), 0);
    if (s32Mode == 1 || s32Mode == 2 || s32Mode == 9) {
      char acActive[16] = "";
      T_VANTREL_vGetActiveStr(acActive);
      memcpy(pacStr, acActive, 11);
      pacStr[11] = '\0';
      return;
    }
    if (s32Mode == 3) u32Waypoint = T_VANTREL_u16GetStrelloqIndex();
  }
  if (u32Waypoint == 0xFFFF) return;
  T_NAV_vCopyWaypointName(u32Waypoint, pacStr, 12);
  if (pu8WayPtIcon != nullptr) *pu8WayPtIcon = T_NAV_u8GetWaypointIcon(u32Waypoint);
}

void T_NAV_INFOBOX_vDrawInfoLayerDown(BITMAP *pBitmap, POINT *pt, const FOURCHARID *fcidSelection) {
  const U32 nLang = nCurrentLanguage();
  for (S32 n = 0; n < 4; ++n) {
    const S32 x = pt->x, y = pt->y;
    const FOURCHARID fcidSlot = fcidSelection[n];
    DB_DATA_TYPE data{};
    DB_ATTRIBUTES attr{};
    if (fcidSlot != 0 && H_DATABASE_bFetch(fcidSlot, &data, nullptr, &attr)) {
      if (attr.DataType == D_FCID) {
        const FOURCHARID T = data.u32Val;
        BOOLEAN bSonar = TRUE;
        if (T == FCID("IDEP") && H_DATABASE_bFetchBoolean(FCID("ISEN"), &bSonar, nullptr, nullptr) && !bSonar) {
          fill(pBitmap, INFO_COLOR_BACKGROUND, x, y, kBigWidth, kBigHeight);
        } else if (T == FCID("IDEP") || T == FCID("ISOG") || T == FCID("IDTG") || T == FCID("ISPD") ||
                   T == FCID("ITMS") || T == FCID("IVLT") || T == FCID("ITMP")) {
          T_INFO_nDrawDigitsInfoBox(pBitmap, kBigWidth, kBigHeight, x, y, T, f44x76_font_def_ptr,
                                    std_16x17_font_def_ptr, f21x38_font_def_ptr, DONT_FORCE, IBS_WHITE_BAR,
                                    INSTRUMENTATION_JUSTIFY_RIGHT, nLang);
        } else {
          T_INFO_nDrawInfoBox(pBitmap, kBigWidth, kBigHeight, x, y, T,
                              fcidSlot == FCID("BTTG") ? f40x71_font_def_ptr : f44x76_font_def_ptr,
                              std_16x17_font_def_ptr, IBS_WHITE_BAR, INSTRUMENTATION_JUSTIFY_RIGHT, nLang);
        }
      } else if (attr.DataType == D_POINTER) {
        if (fcidSlot == FCID("BPOS")) {
          bigPosition(pBitmap, *pt, nLang);
        } else if (auto *pfnRender = reinterpret_cast<INFOBOX_RENDER_FUNCTION *>(data.vpPointer)) {
          POINT ptBox = *pt;
          pfnRender(pBitmap, &ptBox, VIBD_DOWN, nLang);
        }
      }
    }
    fill(pBitmap, INFO_COLOR_FOREGROUND, x + kBigWidth, y - 1, 3, kBigStep);
    fill(pBitmap, INFO_COLOR_BACKGROUND, x + kBigWidth + 3, y - 1, 1, kBigStep);
    fill(pBitmap, INFO_COLOR_BACKGROUND, x, y + kBigHeight, 4, 2);
    fill(pBitmap, INFO_COLOR_SEPARATOR, x + 4, y + kBigHeight, 185, 2);
    fill(pBitmap, INFO_COLOR_BACKGROUND, x + 189, y + kBigHeight, 4, 2);
    if (n == 0) fill(pBitmap, INFO_COLOR_BACKGROUND, x, 479, kBigWidth, 1);
    if (n == 3) fill(pBitmap, INFO_COLOR_BACKGROUND, x, 0, kBigWidth, 1);
    pt->y -= kBigStep;
  }
}

void T_NAV_INFOBOX_vDrawInfoLayer_Instrumentation_BigDigitsViews(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER) {
  POINT pt{0, 361};
  if (T_INFO_bFCIDNonZero(FCID("INIP")) || T_VANTREL_bIsStrelloqActive()) {
    T_NAV_INFOBOX_vDrawInfoLayerDown(pBitmap, &pt, fcidSelectionColumn1Nav);
    pt = POINT{196, 361};
    T_NAV_INFOBOX_vDrawInfoLayerDown(pBitmap, &pt, fcidSelectionColumn2Nav);
    POINT ptBar{392, 0};
    T_INFO_vDrawInfoLayer_WaypointIndicatorBar(pBitmap, &ptBar);
  } else {
    T_NAV_INFOBOX_vDrawInfoLayerDown(pBitmap, &pt, fcidSelectionColumn1);
  }
}
