// Menu widths and row texts.
#include "ui/menu/menu_widths.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "draw/icon_data.h"
#include "draw/string.h"
#include "kernel/error.h"
#include "settings/language.h"
#include "kernel/reset.h"
#include "navdata/navdata_standin.h"

const ARRAY_OF_STRING_PTRS No_Menus_Available = SAME22("No Menus Available");
const ARRAY_OF_STRING_PTRS Strelloq = SAME22("Strelloq");

namespace {

constexpr U8 VANTREL_STRELLOQ_ICON = 71;
constexpr U32 kMaxMenuWidth = 640;
constexpr U32 kCappedMenuWidth = 637;
constexpr U32 kMinSelectorWidth = 148;
constexpr U32 kMaxSelectorWidth = 590;
constexpr U32 kRouteKeys = 5;

U32 s_minMenuWidth = 0;
U32 s_minSelectorWidth = 0;

// Copies of the navigation objects named after action-list titles, refreshed on each use.
ROUTE s_CursoredRouteList[kRouteKeys];
WAYPOINT s_LastCreatedWaypoint;
WAYPOINT s_CursorWaypoint;
WENDRIX_HEADER s_CursorWendrixHeader;
ROUTE s_LastSavedRoute;
ROUTE s_CurrentTravelingRoute;

U32 u32Width(const FONT_DEF *pFont, const char *pc) { return G_STRING_u32GetWidth(pFont, pc); }

// The object index held by an action list's key; 0xFFFF (no object) when the key cannot be read.
U32 u32ObjectIndex(FOURCHARID key) {
  U32 u32Index = 0xFFFF;
  BOOLEAN bValid = FALSE;
  if (!H_DATABASE_bFetchU32(key, &u32Index, &bValid, nullptr) || !bValid) u32Index = 0xFFFF;
  return u32Index;
}

// A stale name must not stay when the key names no object any more.
void vCopyRoute(FOURCHARID key, ROUTE *pRoute) {
  pRoute->sName[0] = '\0';
  T_NAV_vCopyRoute(u32ObjectIndex(key), pRoute);
  pRoute->sName[sizeof pRoute->sName - 1] = '\0';
}

void vCopyWaypoint(FOURCHARID key, WAYPOINT *pWaypoint) {
  pWaypoint->sName[0] = '\0';
  pWaypoint->u8Icon = 0;
  T_NAV_vCopyWaypoint(u32ObjectIndex(key), pWaypoint);
  pWaypoint->sName[sizeof pWaypoint->sName - 1] = '\0';
}

const ICON *pLargeIcon(U8 u8Icon) { return u8Icon < NAV_ICON_COUNT ? g_NAV_Icons_Large[u8Icon] : nullptr; }

struct OBJECT_NAME {
  const char *pcName;  // null: the key is none of the action-list keys
  bool bAnchor;        // a waypoint marked as electronic anchor
};

// Copies the object the action list names and sets the row's icon for waypoints and recorded paths.
OBJECT_NAME objectName(MENU_ITEM *pItem, FOURCHARID key) {
  for (U32 i = 0; i < kRouteKeys; i++) {
    const char acKey[5] = {'I', 'R', 'T', static_cast<char>('0' + i), '\0'};
    if (key == FCID(acKey)) {
      vCopyRoute(key, &s_CursoredRouteList[i]);
      return {s_CursoredRouteList[i].sName, false};
    }
  }
  if (key == FCID("CLWC") || key == FCID("ICWP")) {
    WAYPOINT *pWaypoint = key == FCID("CLWC") ? &s_LastCreatedWaypoint : &s_CursorWaypoint;
    vCopyWaypoint(key, pWaypoint);
    if (const ICON *pIcon = pLargeIcon(pWaypoint->u8Icon)) pItem->pMenuIcon = pIcon;
    return {pWaypoint->sName, pWaypoint->u8Icon == VANTREL_STRELLOQ_ICON};
  }
  if (key == FCID("ICIT")) {
    s_CursorWendrixHeader.sName[0] = '\0';
    T_NAV_vCopyWendrixHeader(u32ObjectIndex(key), &s_CursorWendrixHeader);
    s_CursorWendrixHeader.sName[sizeof s_CursorWendrixHeader.sName - 1] = '\0';
    pItem->pMenuIcon = &Vantrel_Wendrix_icon;
    return {s_CursorWendrixHeader.sName, false};
  }
  if (key == FCID("CLRT")) {
    vCopyRoute(key, &s_LastSavedRoute);
    return {s_LastSavedRoute.sName, false};
  }
  return {nullptr, false};
}

bool bIsRouteKey(FOURCHARID key) {
  for (U32 i = 0; i < kRouteKeys; i++) {
    const char acKey[5] = {'I', 'R', 'T', static_cast<char>('0' + i), '\0'};
    if (key == FCID(acKey)) return true;
  }
  return false;
}

// The route being travelled, by the index in 'CCRT' (nothing when negative).
const char *pcCurrentRoute(void) {
  S32 s32Index = -1;
  BOOLEAN bValid = FALSE;
  s_CurrentTravelingRoute.sName[0] = '\0';
  if (H_DATABASE_bFetchS32(FCID("CCRT"), &s32Index, &bValid, nullptr) && bValid && s32Index >= 0) {
    T_NAV_vCopyRoute(static_cast<U32>(s32Index), &s_CurrentTravelingRoute);
    s_CurrentTravelingRoute.sName[sizeof s_CurrentTravelingRoute.sName - 1] = '\0';
  }
  return s_CurrentTravelingRoute.sName;
}

// Only action lists registered with one of the keys above (or none) exist; anything else is a coding error.
[[noreturn]] void vUnknownKey(void) {
  ERROR_error(__FILE__, __LINE__, "FCID Not in menu list");
  U_RESET_vReset();
}

// Sliders, progress bars and numeric entries: L is the wider end text (its title, or the formatted limit where
// the title is missing) + 4; the control line is 2L + u32Control, the title line title + unit + 22 + L + suffix.
template <typename PARAMETERS>
void vBarWidths(const MENU_ITEM *pItem, const PARAMETERS &p, U32 u32Title, U32 u32Control, U32 *pT, U32 *pB) {
  const FONT_DEF *pControl = T_MENU_pControlFont(), *pRow = T_MENU_pRowFont();
  const U32 u32Left = u32Width(pControl, p.pCtrlTextLeft != nullptr ? T_MENU_pcText(p.pCtrlTextLeft) : p.minString);
  const U32 u32Right =
      u32Width(pControl, p.pCtrlTextRight != nullptr ? T_MENU_pcText(p.pCtrlTextRight) : p.maxString);
  const U32 L = std::max(u32Left, u32Right) + 4;
  *pB = 2 * L + u32Control;
  *pT = u32Title + u32Width(pRow, H_DATABASE_pcUnitsString(pItem->units, nCurrentLanguage())) + 22 + L;
  if (p.valueStrSuffix != nullptr && p.valueStrSuffix != &Hidden) {
    *pT += u32Width(pRow, T_MENU_pcText(p.valueStrSuffix));
  }
}

bool bIconsCountInMenu(ACTIVE_MENU eMenu) {
  return eMenu == ZEPHRIN_MENU || eMenu == MAIN_MENU || eMenu == INFO_MENU || eMenu == FLOATING_MENU ||
         eMenu == SINGLE_CENTERED_MENU || eMenu == NO_MENU;
}

// The digits of a limit: 1 for magnitudes below 10.
S32 s32DigitsOf(double dValue) {
  const double dMagnitude = std::fabs(dValue);
  return dMagnitude < 1.0 ? 1 : static_cast<S32>(std::floor(std::log10(dMagnitude))) + 1;
}

}  // namespace

const FONT_DEF *T_MENU_pRowFont(void) { return std_16x17_font_def_ptr; }
const FONT_DEF *T_MENU_pControlFont(void) { return std_11x14_font_def_ptr; }

const char *T_MENU_pcText(MENU_TITLE pTitle) {
  if (pTitle == nullptr) return "";
  const char *pc = (*pTitle)[nCurrentLanguage()];
  return pc != nullptr ? pc : "";
}

U32 T_MENU_u32GetMinMenuWidth(void) { return s_minMenuWidth; }
void T_MENU_vSetMinMenuWidth(U32 u32Width) { s_minMenuWidth = u32Width; }
U32 T_MENU_u32GetMinSelectorWidth(void) { return s_minSelectorWidth; }

U32 T_MENU_u32SelectorHeight(const M_SELECTION_BOX_PARAMETERS *pParameters) {
  if (pParameters->pSelectionList != nullptr || pParameters->pSelectionIcons == nullptr) {
    return G_STRING_u32GetHeight(T_MENU_pControlFont());
  }
  U32 u32Tallest = 0;
  for (U32 i = 0; i < pParameters->numberSelections; i++) {
    if (pParameters->pSelectionIcons[i] != nullptr) {
      u32Tallest = std::max(u32Tallest, G_ICON_u32GetHeight(pParameters->pSelectionIcons[i]));
    }
  }
  return u32Tallest + 2;
}

U32 T_MENU_u32FindMinSelBoxWidth(const M_SELECTION_BOX_PARAMETERS *pParameters) {
  U32 u32Widest = 0;
  for (U32 i = 0; i < pParameters->numberSelections; i++) {
    U32 w = 0;
    if (pParameters->pSelectionList != nullptr) {
      w = u32Width(T_MENU_pControlFont(), T_MENU_pcText(pParameters->pSelectionList[i]));
      w = ((w + 1) & ~1u) + 4;
    } else if (pParameters->pSelectionIcons != nullptr && pParameters->pSelectionIcons[i] != nullptr) {
      w = G_ICON_u32GetWidth(pParameters->pSelectionIcons[i]) + 2;
    }
    u32Widest = std::max(u32Widest, w);
  }
  return u32Widest;
}

U32 T_MENU_u32FindNumericEntryBoxWidth(const M_NUMERIC_ENTRY_PARAMETERS *pParameters, DATA_FORMAT dataFormat) {
  S32 s32Digits = 0;
  if (dataFormat == DF_FLOAT) {
    s32Digits = std::max(s32DigitsOf(pParameters->maxValue.fVal), s32DigitsOf(pParameters->minValue.fVal)) +
                pParameters->u8precision;
  } else if (dataFormat == DF_UNSIGNED32) {
    s32Digits = std::max(s32DigitsOf(pParameters->maxValue.u32Val), s32DigitsOf(pParameters->minValue.u32Val));
  } else {
    // Room for the sign.
    s32Digits = std::max(s32DigitsOf(pParameters->maxValue.s32Val), s32DigitsOf(pParameters->minValue.s32Val)) + 1;
  }
  return static_cast<U32>(s32Digits) * u32Width(T_MENU_pControlFont(), "0") + 6;
}

void T_MENU_vRowTitle(MENU_ITEM *pItem, MENU_ROW_NAMES eNames, char *pcOut, size_t szSize) {
  if (szSize == 0) return;
  const char *pcTitle = T_MENU_pcText(pItem->pMenuTitle);
  const char *pcName = nullptr;
  if (pItem->control == M_ACTION_LIST || pItem->control == M_ACTION_LIST_SHRUNKEN) {
    const FOURCHARID key = pItem->parameters.actionList.FourCharId;
    if (key != 0 && (eNames == MENU_ROW_NAMES_ALL || bIsRouteKey(key))) {
      const OBJECT_NAME name = objectName(pItem, key);
      pcName = name.pcName;
      if (name.bAnchor) pcTitle = T_MENU_pcText(&Strelloq);
    }
  } else if (pItem->control == M_ACTION && pItem->priority == MENU_CURRENT_ACTIVE_ROUTE &&
             eNames == MENU_ROW_NAMES_ALL) {
    pcName = pcCurrentRoute();
  }
  if (pcName != nullptr) {
    std::snprintf(pcOut, szSize, "%s %s", pcTitle, pcName);
  } else {
    std::snprintf(pcOut, szSize, "%s", pcTitle);
  }
}

U32 T_MENU_u32FindMinMenuWidths(U32 u32NumRows) {
  MENU_DATA *d = T_MENU_psData();
  const FONT_DEF *pRow = T_MENU_pRowFont();
  const FONT_DEF *pControl = T_MENU_pControlFont();
  s_minSelectorWidth = 0;
  U32 u32Widest = 0;
  if (u32NumRows == 0) {
    u32Widest = u32Width(pRow, T_MENU_pcText(&No_Menus_Available)) + 12;
  }
  // Only rows the open menu has: entries past its count may point at freed items.
  const U32 u32Rows = std::min<U32>({u32NumRows, MAX_ACTIVE_MENU_ITEMS,
                                     static_cast<U32>(std::max<S32>(d->numActiveMenuItems, 0))});
  for (U32 i = 0; i < u32Rows; i++) {
    MENU_ITEM *pItem = d->activeMenuList[i];
    if (pItem == nullptr) continue;
    T_MENU_vUpdateDisplayStrings(pItem, FALSE);
    const U32 u32Title = u32Width(pRow, T_MENU_pcText(pItem->pMenuTitle));
    const U32 u32Value = u32Width(pRow, pItem->value_string);
    U32 T = u32Title + 10, B = 0;
    if (pItem->control == M_ACTION_EXT && pItem->parameters.actionExt.bDispIconOnly) T = u32Value;
    switch (pItem->control) {
      case M_SELECTION_BOX: {
        const M_SELECTION_BOX_PARAMETERS *p = &pItem->parameters.selector;
        if (static_cast<S32>(i) == d->activeMenuItemIndex) {
          const U32 w = T_MENU_u32FindMinSelBoxWidth(p);
          const U32 u32Box = p->pSelectionList == nullptr && p->pSelectionIcons != nullptr
                                 ? T_MENU_u32SelectorHeight(p) - 2
                                 : G_STRING_u32GetHeight(pControl);
          const U32 h = ((u32Box & 1u) != 0 ? u32Box : u32Box - 1) >> 1;
          s_minSelectorWidth = std::max(s_minSelectorWidth, std::clamp(w, kMinSelectorWidth, kMaxSelectorWidth));
          B = (p->numberSelections == 0 ? 16 : h * 2 + 18) + s_minSelectorWidth;
        } else {
          B = u32Value + 8;
        }
        break;
      }
      case M_SLIDER:
      case M_SLIDER_VARIABLE_STEP:
      case M_SLIDER_IMMEDIATE:
        vBarWidths(pItem, pItem->parameters.slider, u32Title, 160, &T, &B);
        break;
      case M_PROGRESS_BAR:
        vBarWidths(pItem, pItem->parameters.progress, u32Title, 160, &T, &B);
        break;
      case M_NUMERIC_ENTRY: {
        const U32 u32Box = T_MENU_u32FindNumericEntryBoxWidth(&pItem->parameters.numEntry, pItem->dataFormat);
        vBarWidths(pItem, pItem->parameters.numEntry, u32Title, u32Box + 36, &T, &B);
        break;
      }
      case M_ACTION_LIST:
      case M_ACTION_LIST_SHRUNKEN:
        if (pItem->parameters.actionList.FourCharId != 0) {
          const OBJECT_NAME name = objectName(pItem, pItem->parameters.actionList.FourCharId);
          if (name.pcName == nullptr) vUnknownKey();
          T = u32Title + u32Width(pRow, "-") + u32Width(pRow, name.pcName) + 10;
        } else {
          T += u32Value;
        }
        break;
      case M_ANGLE_ADJUST: {
        const M_ANGLE_ADJUST_PARAMETERS *p = &pItem->parameters.angleadjust;
        T = u32Title + G_ICON_u32GetWidth(&heading_left_arrow_icon) +
            G_ICON_u32GetWidth(&heading_right_arrow_icon) + 16;
        B = (p->pChkIcon != nullptr ? G_ICON_u32GetWidth(p->pChkIcon) : 0) + 10 +
            u32Width(pControl, T_MENU_pcText(p->pChkItemName));
        break;
      }
      default:
        T += u32Value;
        if (pItem->control == M_ACTION && pItem->priority == MENU_CURRENT_ACTIVE_ROUTE) pcCurrentRoute();
        break;
    }
    if (pItem->pMenuIcon != nullptr && bIconsCountInMenu(d->activeMenu)) {
      T += G_ICON_u32GetWidth(pItem->pMenuIcon) + 6;
    }
    if (pItem->control == M_CHECK_LIST || pItem->control == M_CHECK_BOX) T += 44;
    u32Widest = std::max({u32Widest, T, B});
  }
  if (u32Widest + 2 > kMaxMenuWidth) u32Widest = kCappedMenuWidth;
  s_minMenuWidth = u32Widest;
  return u32Widest;
}
