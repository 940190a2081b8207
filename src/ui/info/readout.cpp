// Readout layers: the column of five readout boxes at the left edge, the cursor bar, the navigation bars and the
// autopilot icon.
#include "ui/info/readout.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "autopilot/autopilot_standin.h"
#include "draw/box.h"
#include "draw/color.h"
#include "draw/icon_data.h"
#include "draw/string.h"
#include "nav/nav_standin.h"
#include "radar/radar_standin.h"
#include "sonar/history_standin.h"
#include "ui/info/info_internal.h"
#include "ui/info/navbox.h"

namespace {

const FOURCHARID fcidSelectionSonar[5] = {FCID("SIS1"), FCID("SIS2"), FCID("SIS3"), FCID("SIS4"), FCID("SIS5")};
const FOURCHARID fcidSelectionTrackChart[5] = {FCID("SIS1"), FCID("CISH"), FCID("SIS3"), FCID("SIS4"),
                                               FCID("CISS")};
const FOURCHARID fcidSelectionNavigation[5] = {FCID("SIS1"), FCID("CISH"), FCID("CISB"), FCID("CIS1"),
                                               FCID("CIS2")};

// Items whose tenths are drawn small in the column.
const FOURCHARID s_afcidSmallTenths[] = {FCID("ISOG"), FCID("ISPD"), FCID("ITMP"), FCID("ISTW"),
                                         FCID("IVLT"), FCID("ITMS"), FCID("IDEP"), FCID("IVMG"),
                                         FCID("IRTS"), FCID("IRTP"), FCID("ITMT")};

const ARRAY_OF_STRING_PTRS s_acBearing = SAME22("Bearing");
const ARRAY_OF_STRING_PTRS s_acDistance = SAME22("Distance");
const ARRAY_OF_STRING_PTRS s_acDepth = SAME22("Depth");
const ARRAY_OF_STRING_PTRS s_acCursor = SAME22("Cursor");
const ARRAY_OF_STRING_PTRS s_acMobAt = SAME22("MOB at:");
const ARRAY_OF_STRING_PTRS s_acElapsedTime = SAME22("Elapsed Time:");

constexpr S32 kSlotWidth = 156;
constexpr S32 kSlotHeight = 94;
constexpr S32 kCursorBarY = 434;
constexpr S32 kCursorBarHeight = 46;

// Column colours: normal, or on this unit's radar information view.
struct COLUMN_STYLE {
  COLOR colBackground;
  COLOR colSeparator;
  COLOR colForeground;
  INFO_BOX_STYLE eStyle;
};

COLOR colour(U32 u32Entry) { return gCOLOR_pcolColorTable[u32Entry]; }

COLUMN_STYLE columnStyle() {
  if (INFO_bRadarInfoView()) return {colour(32), colour(34), colour(35), IBS_ALWAYS_BLACK_BAR};
  return {colour(INFO_COLOR_BACKGROUND), colour(INFO_COLOR_SEPARATOR), colour(INFO_COLOR_FOREGROUND),
          IBS_SEMITRANSPARENT_WHITE_BAR};
}

void fill(BITMAP *pBitmap, COLOR col, S32 x, S32 y, S32 w, S32 h) {
  if (w <= 0 || h <= 0) return;
  const POINT pt{x, y};
  G_BOX_vDrawFilled(pBitmap, col, &pt, static_cast<U32>(w), static_cast<U32>(h));
}

void blend(BITMAP *pBitmap, COLOR col, S32 x, S32 y, S32 w, S32 h) {
  if (w <= 0 || h <= 0) return;
  const POINT pt{x, y};
  G_BOX_vDrawFilledAlpha(pBitmap, col, &pt, static_cast<U32>(w), static_cast<U32>(h), INFO_u8Alpha());
}

void putIcon(BITMAP *pBitmap, const ICON *pIcon, S32 x, S32 y) {
  const POINT pt{x, y};
  G_ICON_vPut(pBitmap, pIcon, &pt);
}

S32 iconWidth(const ICON *pIcon) { return pIcon != nullptr ? static_cast<S32>(G_ICON_u32GetWidth(pIcon)) : 0; }
S32 iconHeight(const ICON *pIcon) { return pIcon != nullptr ? static_cast<S32>(G_ICON_u32GetHeight(pIcon)) : 0; }
S32 textWidth(const FONT_DEF *pFont, const char *s) { return static_cast<S32>(G_STRING_u32GetWidth(pFont, s)); }

S32 fetchS32(FOURCHARID fcid, S32 s32Default) { return INFO_s32Fetch(fcid, s32Default); }
bool fetchTrue(FOURCHARID fcid) { return INFO_bFetchTrue(fcid); }

// Exists, is valid and is non-zero.
bool validNonZero(FOURCHARID fcid) { return T_INFO_bFCIDNonZero(fcid); }

bool unitNavigates() { return validNonZero(FCID("INIP")); }

bool autopilotNavigates() { return T_VANTREL_bIsStrelloqActive() || fetchTrue(FCID("IPNO")); }

const ICON *largeWaypointIcon(U32 u32Icon) {
  return u32Icon < NAV_ICON_COUNT ? g_NAV_Icons_Large[u32Icon] : nullptr;
}

// The "B" item a slot setting names, and that item's type and value; false for an empty or broken slot.
bool slotItem(FOURCHARID fcidSlot, DB_DATA_TYPE *pData, DATA_TYPE *peType) {
  U32 u32BKey = 0;
  DB_ATTRIBUTES attr{};
  if (fcidSlot == 0 || !H_DATABASE_bFetchU32(fcidSlot, &u32BKey, nullptr, &attr) || attr.DataType != D_FCID ||
      u32BKey == 0) {
    return false;
  }
  DB_ATTRIBUTES attrB{};
  if (!H_DATABASE_bFetch(u32BKey, pData, nullptr, &attrB)) return false;
  *peType = attrB.DataType;
  return true;
}

// One column of the cursor bar: label at its right end, the value as a readout box.
void cursorColumn(BITMAP *pBitmap, S32 xc, S32 C, const ARRAY_OF_STRING_PTRS *pLabel, COLOR colLabel,
                  FOURCHARID fcid, bool bDrawValue, U32 nLang) {
  const S32 U = static_cast<S32>(G_FONTS_u32GetCoreHeight(std_11x14_font_def_ptr));
  const char *pcLabel = (*pLabel)[nLang < NUMBER_OF_LANGUAGES ? nLang : 0];
  POINT ptLabel{xc + C - textWidth(std_11x14_font_def_ptr, pcLabel), 478 - U};
  G_STRING_vPut(pBitmap, colLabel, &ptLabel, std_11x14_font_def_ptr, pcLabel);
  if (bDrawValue) {
    T_INFO_nDrawInfoBox(pBitmap, C, kCursorBarHeight, xc, kCursorBarY, fcid, f18x32_font_def_ptr,
                        std_11x14_font_def_ptr, IBS_NONE, JUSTIFY_LEFT, nLang);
  }
}

// The cursor's longitude over its latitude, centred in the column.
void positionColumn(BITMAP *pBitmap, S32 xc, S32 C, U32 nLang) {
  U32 u32Format = 0;
  H_DATABASE_bFetchU32(FCID("SIPF"), &u32Format, nullptr, nullptr);
  const struct {
    FOURCHARID fcid;
    DATA_TYPE eType;
    S32 y;
  } aRows[] = {{FCID("ICND"), D_POSITION_LON, kCursorBarY}, {FCID("ICTD"), D_POSITION_LAT, 455}};
  for (const auto &row : aRows) {
    float fDegrees = 0.0f;
    if (!H_DATABASE_bFetchFloat(row.fcid, &fDegrees, nullptr, nullptr)) continue;
    char acText[32] = "";
    U_NAV_vFormatPosition(row.eType, fDegrees, acText, static_cast<NAV_FORMAT_ENUM>(u32Format), nLang, IPS_SPACE);
    const S32 T = textWidth(std_16x17_font_def_ptr, acText);
    T_INFO_nDrawInfoBox(pBitmap, T, 23, xc + (C - T) / 2, row.y, row.fcid, std_16x17_font_def_ptr,
                        std_11x14_font_def_ptr, IBS_NONE, INSTRUMENTATION_JUSTIFY_RIGHT, nLang);
  }
}

// The radar readout boxes under the navigation bars; returns how far the bar's point must rise.
S32 drawRadarBoxes(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER psWindowSpec, bool bMob) {
  const S32 s32View = fetchS32(FCID("CVEW"), 0);
  if (s32View == RADAR_VIEW_PRIORITY) {
    T_RADAR_vSetReadoutBoxDrawing();
    if (bMob) {
      T_RADAR_vDrawReadoutInfoBox(pBitmap, psWindowSpec->drawWindow.s32ClipLeft, 0);
      return 0;
    }
    return static_cast<S32>(T_RADAR_vDrawReadoutInfoBox(pBitmap, psWindowSpec->drawWindow.s32ClipLeft, -1)) + 4;
  }
  if (T_RADAR_bIsMyRadarSplitView(UNKNOWN_VIEW, UNKNOWN_SPLIT)) {
    T_RADAR_vSetReadoutBoxDrawing();
    const S32 x = T_RADAR_s32CalculateSplitPosition(SCREEN_PIXELS_WIDE, fetchS32(FCID("SZRC"), 0)) + 2;
    T_RADAR_vDrawReadoutInfoBox(pBitmap, x, bMob ? 0 : -1);
  }
  return 0;
}

}  // namespace

BOOLEAN T_INFO_bDrawVariableInfoBox(BITMAP *pBitmap, POINT *ppt, FOURCHARID fcid, U32 nLang, U32 u32BoxWidth,
                                    U32 u32BoxHeight, INFO_JUSTIFICATION eJustify) {
  DB_DATA_TYPE data{};
  DATA_TYPE eType = D_UNKNOWN;
  if (!slotItem(fcid, &data, &eType)) return FALSE;
  if (eType == D_FCID) {
    const FOURCHARID fcidItem = data.u32Val;
    const bool bSmall = std::find(std::begin(s_afcidSmallTenths), std::end(s_afcidSmallTenths), fcidItem) !=
                        std::end(s_afcidSmallTenths);
    return T_INFO_nDrawDigitsInfoBox(pBitmap, static_cast<S32>(u32BoxWidth), static_cast<S32>(u32BoxHeight), ppt->x,
                                     ppt->y, fcidItem, f34x62_font_def_ptr, std_16x17_font_def_ptr,
                                     bSmall ? f18x32_font_def_ptr : f34x62_font_def_ptr, DONT_FORCE,
                                     columnStyle().eStyle, eJustify, nLang) != 0;
  }
  if (eType == D_POINTER) {
    if (auto *pfnRender = reinterpret_cast<INFOBOX_RENDER_FUNCTION *>(data.vpPointer)) {
      POINT pt = *ppt;
      pfnRender(pBitmap, &pt, VIBD_DOWN, nLang);
    }
    return TRUE;
  }
  return FALSE;
}

void T_INFO_vDrawInfoLayer_Instrumentation_Common(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER psWindowSpec,
                                                  const FOURCHARID *fcidSelection, S32 number_of_infoboxes) {
  const COLUMN_STYLE style = columnStyle();
  const U32 nLang = nCurrentLanguage();
  bool bAboveDrawn = false;
  const S32 nSlots = std::min<S32>(number_of_infoboxes, 5);  // the column has room for five
  for (S32 n = 0; n < nSlots; ++n) {
    const S32 y = 385 - 96 * n;
    POINT pt{0, y};
    const bool bDrawn = T_INFO_bDrawVariableInfoBox(pBitmap, &pt, fcidSelection[n], nLang, kSlotWidth, kSlotHeight,
                                                    INSTRUMENTATION_JUSTIFY_RIGHT);
    if (bDrawn) {
      fill(pBitmap, style.colForeground, 156, y - 1, 3, 96);
      fill(pBitmap, style.colBackground, 159, y - 1, 1, 96);
      if (n == 0) blend(pBitmap, style.colBackground, 0, 479, 156, 1);
    }
    if (n >= 1) {
      if (bAboveDrawn && bDrawn) {
        blend(pBitmap, style.colBackground, 0, y + 94, 4, 2);
        fill(pBitmap, style.colSeparator, 4, y + 94, 148, 2);
        blend(pBitmap, style.colBackground, 152, y + 94, 4, 2);
      } else if (bAboveDrawn) {
        fill(pBitmap, style.colForeground, 0, y + 93, 159, 3);
        fill(pBitmap, style.colBackground, 0, y + 92, 159, 1);
        fill(pBitmap, style.colBackground, 159, y + 92, 1, 3);
      } else if (bDrawn) {
        fill(pBitmap, style.colForeground, 0, y + 94, 159, 3);
        fill(pBitmap, style.colBackground, 0, y + 97, 159, 1);
        fill(pBitmap, style.colBackground, 159, y + 95, 1, 3);
      }
    }
    if (bDrawn && n == nSlots - 1) blend(pBitmap, style.colBackground, 0, 0, 156, 1);
    bAboveDrawn = bDrawn;
  }

  T_INFO_vDrawInfoLayer_ActiveCursor(pBitmap, psWindowSpec, POINT{0, 0});

  const bool bAutopilot = autopilotNavigates();
  if (unitNavigates() || bAutopilot) {
    POINT pt{159, 0};
    if (T_NAV_bIsMOBInProgress()) {
      drawRadarBoxes(pBitmap, psWindowSpec, true);
      T_INFO_vDrawInfoLayer_MOBBar(pBitmap, &pt);
    } else {
      pt.y += drawRadarBoxes(pBitmap, psWindowSpec, false);
      T_INFO_vDrawInfoLayer_WaypointIndicatorBar(pBitmap, &pt);
    }
  } else if (fetchTrue(FCID("IPUF")) && fetchS32(FCID("IPAH"), 0) != 0 && fetchS32(FCID("IPMD"), 0) != 4) {
    putIcon(pBitmap, fetchS32(FCID("SATO"), 0) != 0 ? &Vantrel_Autopilot_icon : &Vantrel_autopilot_legacy_icon, 159,
            0);
  }
}

void T_INFO_vDrawInfoLayer_Instrumentation_SonarView(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER psWindowSpec) {
  const bool bAutopilot = fetchTrue(FCID("IPNO"));
  T_INFO_vSetAlpha(psWindowSpec->u32User);
  // No column in the side view unless readouts are asked for there; a missing setting asks for none.
  if (!fetchTrue(FCID("SIRO")) && fetchS32(FCID("CVEW"), 0) == SONAR_SIDEVIEW) {
    T_INFO_vDrawInfoLayer_Instrumentation_Bare(pBitmap, psWindowSpec);
    return;
  }
  T_INFO_vDrawInfoLayer_Instrumentation_Common(
      pBitmap, psWindowSpec, unitNavigates() || bAutopilot ? fcidSelectionNavigation : fcidSelectionSonar, 5);
}

void T_INFO_vDrawInfoLayer_Instrumentation_TrackChartView(BITMAP *pBitmap,
                                                          WINDOW_SPECIFICATION_POINTER psWindowSpec) {
  const bool bAutopilot = autopilotNavigates();
  T_INFO_vSetAlpha(psWindowSpec->u32User);
  T_INFO_vDrawInfoLayer_Instrumentation_Common(
      pBitmap, psWindowSpec, unitNavigates() || bAutopilot ? fcidSelectionNavigation : fcidSelectionTrackChart, 5);
}

void T_INFO_vDrawInfoLayer_Instrumentation_Bare(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER psWindowSpec) {
  if (validNonZero(FCID("ICAC"))) {
    fill(pBitmap, colour(INFO_COLOR_BACKGROUND), 0, 431, SCREEN_PIXELS_WIDE, pBitmap->pixels_high - 431);
  }
  T_INFO_vDrawInfoLayer_ActiveCursor(pBitmap, psWindowSpec, POINT{-READOUT_COLUMN_WIDTH, 0});
}

void T_INFO_vDrawInfoLayer_ActiveCursor(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER psWindowSpec, POINT pt) {
  if (!validNonZero(FCID("ICAC"))) return;
  const U32 nLang = nCurrentLanguage();
  const LAYER_ID eView = psWindowSpec->currentLayer;
  const SPLIT_WINDOW_TYPE eSplit = psWindowSpec->activeWindow;
  const bool bRadarWindow = T_RADAR_bIsMyRadarInfoView(eView);
  const S32 x0 = pt.x + 159;
  const S32 w = iconWidth(&Cursor_icon);
  fill(pBitmap, colour(bRadarWindow ? 35 : INFO_COLOR_FOREGROUND), pt.x + 156, 431, 3, 49);

  enum class Layout { SonarFull, SonarDepth, Radar, Chart } eLayout;
  if (T_N_HISTORY_bIsMyCursorView(eView, eSplit)) {
    BOOLEAN bHistory = FALSE, bValid = FALSE;
    eLayout = H_DATABASE_bFetchBoolean(FCID("ICLV"), &bHistory, &bValid, nullptr) && bValid && bHistory
                  ? Layout::SonarFull
                  : Layout::SonarDepth;
  } else if (bRadarWindow) {
    eLayout = Layout::Radar;
  } else if (T_NAV_bIsMyChartCursorView(eView, eSplit)) {
    eLayout = Layout::Chart;
  } else {
    return;
  }

  const bool bSonar = eLayout == Layout::SonarFull || eLayout == Layout::SonarDepth;
  const S32 nRoom = SCREEN_PIXELS_WIDE - (bSonar ? 20 : 14) - x0 - w;
  S32 C = 0, nBarWidth = 0, xc = 0;
  switch (eLayout) {
    case Layout::SonarFull:
      C = nRoom / 4;
      nBarWidth = w + 20 + 4 * C + nRoom % 4;
      xc = x0 + w + 20 + 3 * C;
      break;
    case Layout::SonarDepth:
      C = nRoom / 4;
      nBarWidth = w + 12 + 2 * C;
      xc = x0 + w + 12 + C;
      break;
    default:
      C = nRoom / 3;
      nBarWidth = w + 14 + 3 * C + nRoom % 3;
      xc = x0 + w + 14 + 2 * C;
      break;
  }
  const bool bRadarLayout = eLayout == Layout::Radar;
  const COLOR colLine = colour(bRadarLayout ? 35 : INFO_COLOR_FOREGROUND);
  const COLOR colSeparator = colLine;
  const COLOR colLabel = colour(bRadarLayout ? 35 : (INFO_bRadarInfoView() ? 32 : INFO_COLOR_FOREGROUND));
  T_INFO_vDrawInfoBar(pBitmap, nBarWidth, kCursorBarHeight, x0, kCursorBarY,
                      bRadarLayout ? IBS_ALWAYS_BLACK_BAR : IBS_WHITE_BAR);
  if (eLayout == Layout::SonarDepth) {
    blend(pBitmap, colLine, x0, 431, nBarWidth, 3);
    blend(pBitmap, colLine, x0 + nBarWidth, 431, 3, 49);
  } else {
    fill(pBitmap, colLine, x0, 431, nBarWidth, 3);
  }

  const bool bDepthValue = validNonZero(FCID("ICDP"));
  auto next = [&]() {
    fill(pBitmap, colSeparator, xc - 2, kCursorBarY, 2, kCursorBarHeight);
    xc -= 2 + C;
  };
  if (eLayout != Layout::SonarDepth) {
    cursorColumn(pBitmap, xc, C, &s_acBearing, colLabel, FCID("ICBH"), true, nLang);
    next();
    cursorColumn(pBitmap, xc, C, &s_acDistance, colLabel, FCID("ICBD"), true, nLang);
    next();
  }
  if (bSonar) {
    cursorColumn(pBitmap, xc, C, &s_acDepth, colLabel, FCID("ICDP"), bDepthValue, nLang);
    next();
    cursorColumn(pBitmap, xc, C, &s_acCursor, colLabel, FCID("ICCD"), true, nLang);
    next();
  } else {
    positionColumn(pBitmap, xc, C, nLang);
    next();
  }
  const S32 xs = xc + C;  // the last separator
  putIcon(pBitmap, bRadarLayout ? &RadarCursor_icon : &Cursor_icon, xs - 4 - w,
          457 - iconHeight(&Cursor_icon) / 2);

  if (bRadarLayout) {
    T_INFO_vDrawRadarCursor(pBitmap, nLang, FALSE);
  } else if (eLayout == Layout::Chart) {
    T_INFO_vDrawCursor(pBitmap, nLang, FALSE);
  } else {
    S32 x = 0, y = 0;
    if (H_DATABASE_bFetchS32(FCID("ICPX"), &x, nullptr, nullptr) &&
        H_DATABASE_bFetchS32(FCID("ICPY"), &y, nullptr, nullptr)) {
      INFO_vPutIconCentred(pBitmap, &Cursor_icon, x, y);
    }
  }
}

void T_INFO_vDrawRadarCursor(BITMAP *pBitmap, U32, BOOLEAN) {
  S32 x = 0, y = 0;
  if (!H_DATABASE_bFetchS32(FCID("ICPX"), &x, nullptr, nullptr) ||
      !H_DATABASE_bFetchS32(FCID("ICPY"), &y, nullptr, nullptr)) {
    return;
  }
  U32 u32Track = 0xFFFF;
  const bool bTrack = H_DATABASE_bFetchU32(FCID("ICIT"), &u32Track, nullptr, nullptr) && u32Track != 0xFFFF;
  INFO_vPutIconCentred(pBitmap, bTrack ? &Waypointcursor_icon : &RadarCursor_icon, x, y);
}

void T_INFO_vDrawInfoLayer_MOBBar(BITMAP *pBitmap, POINT *ppt) {
  const S32 x = ppt->x, y = ppt->y;
  const S32 M = 749 - x;
  const U32 nLang = nCurrentLanguage();
  const COLOR colText = colour(INFO_COLOR_FOREGROUND), colRed = colour(36);
  fill(pBitmap, colour(35), x - 3, y + 54, M + 54, 1);
  fill(pBitmap, colRed, x - 3, y + 51, M + 54, 3);
  T_INFO_vDrawInfoBar(pBitmap, M + 54, 51, x - 3, y, IBS_SEMITRANSPARENT_WHITE_BAR);
  fill(pBitmap, colRed, x - 3, y, 3, 51);
  fill(pBitmap, colRed, x + 51, y, 2, 51);
  fill(pBitmap, colRed, x + 51 + M / 2, y, 2, 51);

  const FONT_DEF *pFont = std_16x17_font_def_ptr;
  const char *pcMobAt = s_acMobAt[nLang < NUMBER_OF_LANGUAGES ? nLang : 0];
  const char *pcElapsed = s_acElapsedTime[nLang < NUMBER_OF_LANGUAGES ? nLang : 0];
  const S32 wL = textWidth(pFont, pcMobAt), wE = textWidth(pFont, pcElapsed);
  T_INFO_nDrawDigitsInfoBox(pBitmap, M / 2 - 17 - wL, 25, x + 63 + wL, y + 25, FCID("MOBX"), pFont, pFont, pFont,
                            DONT_FORCE, IBS_NONE, JUSTIFY_RIGHT, nLang);
  T_INFO_nDrawDigitsInfoBox(pBitmap, M / 2 - 17 - wL, 25, x + 63 + wL, y, FCID("MOBY"), pFont, pFont, pFont,
                            DONT_FORCE, IBS_NONE, JUSTIFY_RIGHT, nLang);
  POINT ptLabel{x + 63, y + 29};
  G_STRING_vPut(pBitmap, colText, &ptLabel, pFont, pcMobAt);
  T_INFO_nDrawDigitsInfoBox(pBitmap, M - M / 2 - 17 - wE, 51, x + 63 + M / 2 + wE, y, FCID("MOBT"),
                            f15x21_font_def_ptr, f15x21_font_def_ptr, f15x21_font_def_ptr, DONT_FORCE, IBS_NONE,
                            JUSTIFY_RIGHT, nLang);
  ptLabel = POINT{x + 63 + M / 2, y + 29};
  G_STRING_vPut(pBitmap, colText, &ptLabel, pFont, pcElapsed);

  U32 u32Waypoint = 0xFFFF;
  if (H_DATABASE_bFetchU32(FCID("IDWP"), &u32Waypoint, nullptr, nullptr) && u32Waypoint != 0xFFFF) {
    WAYPOINT waypoint{};
    T_NAV_vCopyWaypoint(u32Waypoint, &waypoint);
    if (const ICON *pIcon = largeWaypointIcon(waypoint.u8Icon)) {
      putIcon(pBitmap, pIcon, x + 3 + (48 - iconWidth(pIcon)) / 2, y + (51 - iconHeight(pIcon)) / 2);
    }
  }
}

void T_INFO_vDrawInfoLayer_WaypointIndicatorBar(BITMAP *pBitmap, POINT *ppt) {
  const S32 x = ppt->x, y = ppt->y;
  const S32 s32View = fetchS32(FCID("CVEW"), 0);
  S32 o = 0;
  if (!T_RADAR_bIsMyRadarView(UNKNOWN_VIEW, UNKNOWN_SPLIT) &&
      (s32View == SATWEATHER_VIEW_PRIORITY || s32View == CHART_PLUS_SATWEATHER_VIEW_PRIORITY)) {
    o = 26;
  }
  const bool bAnchor = T_VANTREL_bIsStrelloqActive();
  const bool A = bAnchor || fetchTrue(FCID("IPNO"));
  const S32 s32Mode = fetchS32(FCID("IPMD"), 0);
  const bool bHeadingHold = validNonZero(FCID("IPAH"));
  S32 L = bAnchor || (A && s32Mode != 4) ? iconWidth(&VantrelNav_icon) + 4 : 0;

  char acText[16] = "";
  const ICON *pIcon = nullptr;
  S32 H = 0;
  U32 u32Waypoint = 0xFFFF;
  bool bWaypoint = false;
  if (unitNavigates()) {
    H_DATABASE_bFetchU32(FCID("IDWP"), &u32Waypoint, nullptr, nullptr);
    bWaypoint = true;
  } else if (A || s32Mode == 4) {
    if (bAnchor) {
      u32Waypoint = T_VANTREL_u16GetStrelloqIndex();
      bWaypoint = true;
    } else if (s32Mode == 0) {
      H = iconHeight(&VantrelNav_icon);
    } else {
      char acActive[16] = "";
      T_VANTREL_vGetActiveStr(acActive);
      acActive[12] = '\0';
      strcpy(acText, acActive);
      if (s32Mode == 1) pIcon = &wendrixStart_icon;
      if (s32Mode == 2) pIcon = &wendrixEnd_icon;
      if (s32Mode == 4) {
        pIcon = &rec_active_icon;
        if (bHeadingHold) L = iconWidth(&Vantrel_Autopilot_icon);
      }
      H = std::max(iconHeight(&VantrelNav_icon), iconHeight(pIcon));
    }
  }
  if (bWaypoint) {
    T_NAV_vCopyWaypointName(u32Waypoint, acText, 12);
    pIcon = largeWaypointIcon(T_NAV_u8GetWaypointIcon(u32Waypoint));
    H = iconHeight(pIcon);
  }

  const S32 Tw = textWidth(std_16x17_font_def_ptr, acText);
  const S32 W = L + 16 + iconWidth(pIcon) + Tw;
  const COLOR colFrame = colour(INFO_COLOR_FOREGROUND);
  T_INFO_vDrawInfoBar(pBitmap, W, 8 + o + H, x, y, IBS_SEMITRANSPARENT_WHITE_BAR);
  fill(pBitmap, colFrame, x, y + 8 + o + H, W, 3);
  fill(pBitmap, colFrame, x + W, y + o, 3, H + 11);
  POINT ptText{x + W - 4 - Tw, y + o - 10 + (H + 8) / 2};
  G_STRING_vPut(pBitmap, colFrame, &ptText, std_16x17_font_def_ptr, acText);
  if (pIcon != nullptr) putIcon(pBitmap, pIcon, x + L + 4, y + o + 4);
  if (A || s32Mode == 4) {
    if (s32Mode == 4 && !bAnchor) {
      if (bHeadingHold) putIcon(pBitmap, &Vantrel_Autopilot_icon, x, y + o);
    } else {
      putIcon(pBitmap, T_VANTREL_bIsNavigationPaused() ? &VantrelNavPaused_icon : &VantrelNav_icon, x + 4,
              y + o + 4);
    }
  }
  fill(pBitmap, colFrame, x - 3, y + o, 3, H + 11);
  fill(pBitmap, colFrame, x - 3, y + o - 3, W + 6, 3);
}

S32 T_INFO_nBoxWidth_Common(S32 nMinY, S32 nMaxY, const FOURCHARID *fcidSelection) {
  for (S32 k = 0; k < 5; ++k) {
    if (!(nMinY < 483 - 96 * k && nMaxY > 381 - 96 * k)) continue;
    DB_DATA_TYPE data{};
    DATA_TYPE eType = D_UNKNOWN;
    if (!slotItem(fcidSelection[k], &data, &eType)) continue;
    DB_DATA_TYPE item{};
    if ((eType == D_FCID && H_DATABASE_bFetch(data.u32Val, &item, nullptr, nullptr)) || eType == D_POINTER) {
      return READOUT_COLUMN_WIDTH;
    }
  }
  return 0;
}

S32 T_INFO_nBoxWidth_SonarView(S32 nMinY, S32 nMaxY) {
  return T_INFO_nBoxWidth_Common(nMinY, nMaxY, unitNavigates() ? fcidSelectionNavigation : fcidSelectionSonar);
}

S32 T_INFO_nBoxWidth_TrackChartView(S32 nMinY, S32 nMaxY) {
  return T_INFO_nBoxWidth_Common(nMinY, nMaxY, unitNavigates() ? fcidSelectionNavigation : fcidSelectionTrackChart);
}

void T_INFO_vDrawInfoLayer_Debug(BITMAP *pBitmap, INFO_JUSTIFICATION eJustify, U32 nLang) {
  const FOURCHARID afcid[6] = {FCID("DDB1"), FCID("DDB2"), FCID("DDB3"), FCID("DDB4"), FCID("DDB5"), FCID("DDB6")};
  for (S32 i = 0; i < 6; ++i) {
    T_INFO_nDrawDigitsInfoBox(pBitmap, 20, 24, 0, -24 * (i + 1), afcid[i], std_11x14_font_def_ptr,
                              std_11x14_font_def_ptr, std_11x14_font_def_ptr, DONT_FORCE, IBS_WHITE_BAR, eJustify,
                              nLang);
  }
}
