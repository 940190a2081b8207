// Menu layers: main menu and tab bar, quick setup, hot menu, the shared sub-menu layer, the highlighted row and
// the confirmation box.
#include "ui/menu/menu_draw.h"

#include <algorithm>
#include <cstdio>

#include "draw/box.h"
#include "draw/color.h"
#include "draw/icon_data.h"
#include "draw/line.h"
#include "draw/pixel.h"
#include "draw/string.h"
#include "kernel/mutex.h"
#include "n2k/gui_standin.h"
#include "ui/menu/dialog.h"
#include "ui/menu/menu_draw_controls.h"
#include "ui/menu/menu_widths.h"

namespace {

const ARRAY_OF_STRING_PTRS Quick_Setup = SAME22("Quick Setup");
const ARRAY_OF_STRING_PTRS Choose_Settings = SAME22("Choose settings and EXIT to continue");
const ARRAY_OF_STRING_PTRS Confirm = SAME22("Confirm:");
const ARRAY_OF_STRING_PTRS No = SAME22("No");
const ARRAY_OF_STRING_PTRS Yes = SAME22("Yes");

constexpr size_t kTitleSize = 96;
constexpr S32 kWindowRows = MENU_WINDOW_ROWS;

POINT s_activeItemAnchor{0, 0};

// The draw functions run in the view task; the menu task changes the stores only with RES_MENU held.
class MenuLock {
 public:
  MenuLock() : m_bTaken(L_MUTEX_LockWait(RES_MENU) == 0) {}
  ~MenuLock() {
    if (m_bTaken) L_MUTEX_Unlock(RES_MENU);
  }
  MenuLock(const MenuLock &) = delete;
  MenuLock &operator=(const MenuLock &) = delete;

 private:
  bool m_bTaken;
};

COLOR col(U32 u32Index) { return gCOLOR_pcolColorTable[u32Index]; }

// A box of a menu colour: filled or outlined, square (radius 0) or rounded.
void vBox(BITMAP *pBitmap, U32 u32Color, bool bFilled, PIXEL x, PIXEL y, S32 w, S32 h, U32 r) {
  if (w <= 0 || h <= 0) return;
  const POINT at{x, y};
  const U32 uw = static_cast<U32>(w), uh = static_cast<U32>(h);
  if (bFilled) {
    r == 0 ? G_BOX_vDrawFilled(pBitmap, col(u32Color), &at, uw, uh)
           : G_BOX_vDrawRoundedFilled(pBitmap, col(u32Color), &at, uw, uh, r);
  } else {
    r == 0 ? G_BOX_vDraw(pBitmap, col(u32Color), &at, uw, uh)
           : G_BOX_vDrawRounded(pBitmap, col(u32Color), &at, uw, uh, r);
  }
}

void vFill(BITMAP *pBitmap, U32 u32Color, PIXEL x, PIXEL y, S32 w, S32 h, U32 r) {
  vBox(pBitmap, u32Color, true, x, y, w, h, r);
}

void vOutline(BITMAP *pBitmap, U32 u32Color, PIXEL x, PIXEL y, S32 w, S32 h, U32 r) {
  vBox(pBitmap, u32Color, false, x, y, w, h, r);
}

void vHLine(BITMAP *pBitmap, U32 u32Color, PIXEL x0, PIXEL x1, PIXEL y) {
  const POINT a{x0, y}, b{x1, y};
  G_LINE_vDraw(pBitmap, col(u32Color), &a, &b);
}

void vText(BITMAP *pBitmap, U32 u32Color, PIXEL x, PIXEL y, const FONT_DEF *pFont, const char *pc) {
  POINT at{x, y};
  G_STRING_vPut(pBitmap, col(u32Color), &at, pFont, pc);
}

void vIcon(BITMAP *pBitmap, const ICON *pIcon, PIXEL x, PIXEL y) {
  if (pIcon == nullptr) return;
  const POINT at{x, y};
  G_ICON_vPut(pBitmap, pIcon, &at);
}

S32 s32W(const FONT_DEF *pFont, const char *pc) { return static_cast<S32>(G_STRING_u32GetWidth(pFont, pc)); }
S32 s32IconW(const ICON *pIcon) { return pIcon != nullptr ? static_cast<S32>(G_ICON_u32GetWidth(pIcon)) : 0; }
S32 s32IconH(const ICON *pIcon) { return pIcon != nullptr ? static_cast<S32>(G_ICON_u32GetHeight(pIcon)) : 0; }
S32 s32FontH(const FONT_DEF *pFont) { return static_cast<S32>(G_STRING_u32GetHeight(pFont)); }

// An item icon on the upper part of a row: centred on 45 for icons up to 18 pixels, lower for taller ones.
PIXEL nRowIconY(PIXEL y, const ICON *pIcon) {
  const S32 h = s32IconH(pIcon);
  return h <= 18 ? y + 45 - h / 2 : y + 40 - h / 2;
}

bool bIsMainMenuKind(ACTIVE_MENU e) {
  return e == MAIN_MENU || e == MAIN_SUB_MENU || e == MAIN_SUB_MENU_1 || e == MAIN_SUB_MENU_2 ||
         e == MAIN_SUB_MENU_3;
}

bool bIsMainSubMenu(ACTIVE_MENU e) { return e != MAIN_MENU && bIsMainMenuKind(e); }

MENU_ITEM *pHighlightedItem(const MENU_DATA *d) {
  if (d->activeMenuItemIndex < 0 || d->activeMenuItemIndex >= d->numActiveMenuItems ||
      d->activeMenuItemIndex >= MAX_ACTIVE_MENU_ITEMS) {
    return nullptr;
  }
  return d->activeMenuList[d->activeMenuItemIndex];
}

MENU_ITEM *pRowItem(const MENU_DATA *d, S32 s32Row) {
  if (s32Row < 0 || s32Row >= d->numActiveMenuItems || s32Row >= MAX_ACTIVE_MENU_ITEMS) return nullptr;
  return d->activeMenuList[s32Row];
}

void vRememberRange(MENU_DATA *d) {
  if (d->menuLevel < 0 || d->menuLevel >= MAX_MENU_LEVELS) return;
  d->MenuItemRange[d->menuLevel] = {d->BottomMenuItem, d->TopMenuItem, d->activeMenuItemIndex};
}

S32 s32CurrentView(void) {
  S32 s32View = 0;
  H_DATABASE_bFetchS32(FCID("CVEW"), &s32View, nullptr, nullptr);
  return s32View;
}

// The key a row stands for when its source may be missing.
U32 u32RowKey(const MENU_ITEM *pItem) {
  switch (pItem->control) {
    case M_CHECK_LIST:
    case M_CHECK_BOX:
      return pItem->parameters.checkList.context;
    case M_SELECTION_BOX:
      return pItem->parameters.selector.FourCharId;
    case M_SLIDER:
    case M_SLIDER_VARIABLE_STEP:
    case M_SLIDER_IMMEDIATE:
      return pItem->parameters.slider.FourCharId;
    case M_ACTION_LIST:
    case M_ACTION_LIST_SHRUNKEN:
      return pItem->parameters.actionList.FourCharId;
    default:
      return 0;
  }
}

// How the rows of one kind of list are laid out.
struct ROW_STYLE {
  U32 u32Text;
  U32 u32Outline;
  S32 s32ValueMargin;     // value text from the right edge
  bool bIconLeft;         // item icon before the title
  bool bSubMenuIconRight; // sub-menu rows show their icon near the right edge
  bool bSubLayer;         // check buttons, icon-only actions and missing data sources
  MENU_ROW_NAMES eNames;
};

constexpr ROW_STYLE kMainRows{MENU_COLOR_TEXT, MENU_COLOR_DARK, 2, false, true, false, MENU_ROW_NAMES_ALL};
constexpr ROW_STYLE kQuickRows{MENU_COLOR_QUICK_LINE, MENU_COLOR_QUICK_LINE, 2, false, true, false,
                               MENU_ROW_NAMES_ALL};
constexpr ROW_STYLE kHotRows{MENU_COLOR_TEXT, MENU_COLOR_DARK, 4, true, false, false, MENU_ROW_NAMES_ALL};
constexpr ROW_STYLE kSubRows{MENU_COLOR_TEXT, MENU_COLOR_DARK, 4, false, false, true, MENU_ROW_NAMES_ROUTES};

// The chosen icon of a selection box without value text, right-aligned and centred on 15 above the bottom.
bool bDrawSelectionIcon(BITMAP *pBitmap, const MENU_ITEM *pItem, PIXEL xRight, PIXEL y) {
  if (pItem->control != M_SELECTION_BOX || pItem->value_string[0] != '\0') return false;
  const M_SELECTION_BOX_PARAMETERS &p = pItem->parameters.selector;
  if (p.pSelectionIcons == nullptr || p.CurSelection >= p.numberSelections) return true;
  const ICON *pIcon = p.pSelectionIcons[p.CurSelection];
  vIcon(pBitmap, pIcon, xRight - s32IconW(pIcon), y + 15 - s32IconH(pIcon) / 2);
  return true;
}

void vDrawRow(BITMAP *pBitmap, MENU_ITEM *pItem, PIXEL x, PIXEL y, S32 W, const ROW_STYLE &style) {
  const FONT_DEF *pRow = T_MENU_pRowFont();
  vFill(pBitmap, MENU_COLOR_ROW, x, y, W, MENU_ROW_HEIGHT, 2);
  vOutline(pBitmap, style.u32Outline, x, y, W, MENU_ROW_HEIGHT, 2);
  PIXEL xTitle = x + 6;
  bool bTitle = true;
  if (style.bIconLeft && pItem->pMenuIcon != nullptr) {
    vIcon(pBitmap, pItem->pMenuIcon, x + 6, nRowIconY(y, pItem->pMenuIcon));
    xTitle += s32IconW(pItem->pMenuIcon) + 6;
  }
  if (style.bSubLayer) {
    if (pItem->control == M_CHECK_LIST || pItem->control == M_CHECK_BOX) {
      const PIXEL yButton = y + (MENU_ROW_HEIGHT - s32IconH(&unselected_radio_button)) / 2;
      vIcon(pBitmap, &unselected_radio_button, x + W - 35, yButton);
      if (pItem->unitsValue.u32Val != 0) vIcon(pBitmap, &selected_radio_button, x + W - 35, yButton);
    }
    if (pItem->control == M_ACTION_EXT && pItem->parameters.actionExt.bDispIconAlways && pItem->pMenuIcon) {
      vIcon(pBitmap, pItem->pMenuIcon, x + 6, nRowIconY(y, pItem->pMenuIcon));
      xTitle += s32IconW(pItem->pMenuIcon) + 6;
    }
  }
  if (pItem->control == M_ACTION_EXT && pItem->parameters.actionExt.bDispIconOnly) bTitle = false;
  U32 u32TitleColor = style.u32Text;
  if (style.bSubLayer && pItem->priority >= MENU_DATA_SOURCES_LIST_START &&
      pItem->priority <= MENU_DATA_SOURCES_LIST_END && !GUI_bIsSourceAvailable(u32RowKey(pItem))) {
    u32TitleColor = MENU_COLOR_NO_SOURCE;
  }
  if (bTitle) {
    char acTitle[kTitleSize];
    T_MENU_vRowTitle(pItem, style.eNames, acTitle, sizeof acTitle);
    vText(pBitmap, u32TitleColor, xTitle, y + 37, pRow, acTitle);
  }
  const PIXEL xRight = x + W - style.s32ValueMargin;
  if (!bDrawSelectionIcon(pBitmap, pItem, xRight, y)) {
    vText(pBitmap, style.u32Text, xRight - s32W(pRow, pItem->value_string), y + 7, pRow, pItem->value_string);
  }
  vHLine(pBitmap, MENU_COLOR_LIGHT, x + 2, x + W - 3, y + 1);
  vHLine(pBitmap, MENU_COLOR_FRAME, x + 2, x + W - 3, y + 58);
  if (style.bSubMenuIconRight && (pItem->control == M_SUB_MENU || pItem->control == M_SUB_MENU_HOT) &&
      pItem->pMenuIcon != nullptr) {
    vIcon(pBitmap, pItem->pMenuIcon, x + W - 10 - s32IconW(pItem->pMenuIcon),
          y + (MENU_ROW_HEIGHT - s32IconH(pItem->pMenuIcon)) / 2);
  }
}

void vDrawEmptyRow(BITMAP *pBitmap, PIXEL x, PIXEL y, S32 W, U32 u32Outline) {
  vFill(pBitmap, MENU_COLOR_ROW, x, y, W, MENU_ROW_HEIGHT, 2);
  vOutline(pBitmap, u32Outline, x, y, W, MENU_ROW_HEIGHT, 2);
  vText(pBitmap, MENU_COLOR_TEXT_HI, x + 6, y + 37, T_MENU_pRowFont(), T_MENU_pcText(&No_Menus_Available));
}

// Rows top to bottom from the top row at yTop on the row pitch; remembers the highlighted row's anchor.
void vDrawRows(BITMAP *pBitmap, MENU_DATA *d, S32 s32Top, S32 s32Bottom, PIXEL x, PIXEL yTop, S32 W,
               const ROW_STYLE &style) {
  for (S32 r = s32Top; r <= s32Bottom; r++) {
    MENU_ITEM *pItem = pRowItem(d, r);
    if (pItem == nullptr) continue;
    const PIXEL y = yTop - MENU_ROW_PITCH * (r - s32Top);
    vDrawRow(pBitmap, pItem, x, y, W, style);
    if (r == d->activeMenuItemIndex) s_activeItemAnchor = {x, y};
  }
}

// A small tab with an up or down triangle of eight lines, 30 pixels wide at its base.
void vTriangleLines(BITMAP *pBitmap, PIXEL x, PIXEL y, S32 s32Step) {
  for (S32 j = 0; j < 8; j++) vHLine(pBitmap, MENU_COLOR_LIGHT, x + 2 * j, x + 29 - 2 * j, y + s32Step * j);
}

void vDrawHotTab(BITMAP *pBitmap, PIXEL x, PIXEL y, bool bUp) {
  vFill(pBitmap, MENU_COLOR_FRAME, x, y, 43, 23, 3);
  vFill(pBitmap, MENU_COLOR_DARK, x + 1, y + 1, 41, 21, 3);
  vFill(pBitmap, MENU_COLOR_ROW, x + 3, y + 3, 37, 17, 2);
  if (bUp) {
    vTriangleLines(pBitmap, x + 6, y + 3 + 6, 1);
  } else {
    vTriangleLines(pBitmap, x + 6, y + 3 + 10, -1);
  }
}

}  // namespace

POINT T_MENU_GetActiveItemAnchor(void) { return s_activeItemAnchor; }

void T_MENU_vDrawMoreDownTab(BITMAP *pBitmap, POINT anchor, U32 u32Width, BOOLEAN bUp, BOOLEAN bDown,
                             BOOLEAN bHotMenu, BOOLEAN bNetworkSetup) {
  PIXEL x = anchor.x - 1, y = anchor.y - 1;
  if (!bNetworkSetup) {
    x = anchor.x + static_cast<PIXEL>(u32Width) - 75;
    y = anchor.y - 18 - (bHotMenu ? 0 : 6 * MENU_ROW_PITCH);
  }
  vFill(pBitmap, MENU_COLOR_FRAME, x, y, 77, 19, 3);
  G_PIXEL_vPut(pBitmap, x + 77, y + 18, col(MENU_COLOR_FRAME));
  vFill(pBitmap, MENU_COLOR_DARK, x + 1, y + 1, 75, 21, 2);
  vFill(pBitmap, MENU_COLOR_ROW, x + 3, y + 3, 71, 17, 2);
  if (bUp) vTriangleLines(pBitmap, x + 5, y + 3 + 3, 1);
  if (bDown) vTriangleLines(pBitmap, x + 41, y + 3 + 10, -1);
}

U32 T_MENU_vDrawMainMenuTabs(BITMAP *pBitmap) {
  MENU_DATA *d = T_MENU_psData();
  const FONT_DEF *pTab = T_MENU_pControlFont();
  const PIXEL off = d->s32MainMenuOffset;
  const S32 h = s32FontH(pTab);
  const S32 s32Last = std::clamp<S32>(d->lastTabIndex, 0, NUM_TAB_PRIORITIES - 1);
  S32 k = 0, s32Left = 0, s32Right = 0;
  const MENU_TAB *pActive = nullptr;
  for (S32 t = 0; t <= s32Last; t++) {
    if (!d->mainMenuTabs[t].bTabActive) continue;
    k++;
    if (t == d->activeTab) {
      pActive = &d->mainMenuTabs[t];
    } else if (pActive == nullptr) {
      s32Left++;
    } else {
      s32Right++;
    }
  }
  if (pActive == nullptr) {
    // No visible active tab: the inactive ones are all laid out from the left.
    s32Left = k;
    s32Right = 0;
  }
  const S32 wa = pActive != nullptr
                     ? s32W(pTab, T_MENU_pcText(pActive->pTabTitle)) + s32IconW(pActive->pTabIcon) + 16
                     : 0;
  const S32 s32Inactive = k - (pActive != nullptr ? 1 : 0);
  S32 U = s32Inactive * 44 + wa + 4, c = 44, s32ActiveWidth = wa, s32Bar = 0;
  if (U > 630) {
    s32Bar = 636;
    U = 630;
    c = s32Inactive > 0 ? (626 - wa) / s32Inactive : 44;
    s32ActiveWidth = 626 - s32Inactive * c;
  } else {
    s32Bar = U + 6;
  }
  vFill(pBitmap, MENU_COLOR_FRAME, 160 + off, 471 - h, s32Bar, h + 10, 3);
  const PIXEL yTab = 470 - h;
  auto inactive = [&](const MENU_TAB &tab, PIXEL x) {
    vFill(pBitmap, MENU_COLOR_ROW, x, yTab, 44, h + 6, 3);
    vOutline(pBitmap, MENU_COLOR_LIGHT, x, yTab, 44, h + 6, 3);
    vIcon(pBitmap, tab.pTabIcon, x + (44 - s32IconW(tab.pTabIcon)) / 2, yTab + (h + 6 - s32IconH(tab.pTabIcon)) / 2);
    vHLine(pBitmap, MENU_COLOR_DARK, x + 1, x + 42, yTab + 3);
  };
  S32 i = 0;
  for (S32 t = 0; t <= s32Last && i < s32Left; t++) {
    if (!d->mainMenuTabs[t].bTabActive || t == d->activeTab) continue;
    inactive(d->mainMenuTabs[t], 163 + off + i * c);
    i++;
  }
  S32 j = 0;
  for (S32 t = s32Last; t >= 0 && j < s32Right; t--) {
    if (!d->mainMenuTabs[t].bTabActive || t == d->activeTab) continue;
    inactive(d->mainMenuTabs[t], U + 119 + off - j * c);
    j++;
  }
  if (pActive != nullptr) {
    const PIXEL xa = 163 + off + s32Left * c;
    vFill(pBitmap, MENU_COLOR_DARK, xa, yTab, s32ActiveWidth + 4, h + 8, 0);
    vFill(pBitmap, MENU_COLOR_FRAME, xa + 2, yTab + 2, s32ActiveWidth, h + 8, 0);
    const char *pcTitle = T_MENU_pcText(pActive->pTabTitle);
    const S32 iw = s32IconW(pActive->pTabIcon);
    const S32 s32Content = s32W(pTab, pcTitle) + iw + (iw > 0 ? 6 : 0);
    const PIXEL xc = xa + 2 + (s32ActiveWidth - s32Content) / 2;
    vIcon(pBitmap, pActive->pTabIcon, xc, yTab + 2 + (h + 8 - s32IconH(pActive->pTabIcon)) / 2);
    vText(pBitmap, MENU_COLOR_TEXT_HI, xc + iw + (iw > 0 ? 6 : 0), yTab + 2 + 4, pTab, pcTitle);
  }
  return static_cast<U32>(s32Bar);
}

void T_MENU_vDrawMainMenuItems(BITMAP *pBitmap, U32 u32BarWidth) {
  MENU_DATA *d = T_MENU_psData();
  const PIXEL off = d->s32MainMenuOffset;
  const S32 h = s32FontH(T_MENU_pControlFont());
  const S32 n = d->numActiveMenuItems;
  const S32 W = static_cast<S32>(std::max(u32BarWidth + 2, T_MENU_u32FindMinMenuWidths(static_cast<U32>(n))));
  T_MENU_vSetMinMenuWidth(static_cast<U32>(W));
  const S32 v = n > 0 ? std::max(0, d->BottomMenuItem - d->TopMenuItem) : 0;
  const PIXEL x0 = 160 + off, y0 = 412 - h - MENU_ROW_PITCH * v;
  vFill(pBitmap, MENU_COLOR_FRAME, x0, y0, W + 4, MENU_ROW_PITCH * v + 62, 3);
  vFill(pBitmap, MENU_COLOR_DARK, x0 + 1, y0 + 1, W + 2, MENU_ROW_PITCH * v + 60, 0);
  const PIXEL xr = x0 + W + 2, yt = y0 + MENU_ROW_PITCH * v + 60;
  for (const POINT &p : {POINT{xr, yt}, POINT{xr - 1, yt}, POINT{xr - 2, yt}, POINT{xr, yt - 1}}) {
    G_PIXEL_vPut(pBitmap, p.x, p.y, col(MENU_COLOR_FRAME));
  }
  const PIXEL xRow = x0 + 2, yTop = 413 - h;
  if (n == 0) {
    vDrawEmptyRow(pBitmap, xRow, yTop, W, MENU_COLOR_DARK);
    return;
  }
  if (d->TopMenuItem > 0 || d->BottomMenuItem < n - 1) {
    T_MENU_vDrawMoreDownTab(pBitmap, POINT{xRow, yTop}, static_cast<U32>(W), d->TopMenuItem > 0,
                            d->BottomMenuItem < n - 1, FALSE, FALSE);
  }
  vRememberRange(d);
  vFill(pBitmap, MENU_COLOR_DARK, xRow, yTop, W + 1, MENU_ROW_HEIGHT, 2);
  vDrawRows(pBitmap, d, d->TopMenuItem, d->BottomMenuItem, xRow, yTop, W, kMainRows);
}

void T_MENU_vDrawMainMenuLayer(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER) {
  MENU_DATA *d = T_MENU_psData();
  if (d->bMenuHidden) return;
  MenuLock lock;
  if (d->bActivatingMainMenu) {
    T_MENU_vUpdateActiveMenuList();
    d->bActivatingMainMenu = FALSE;
  }
  if (d->activeMenu != MAIN_MENU) return;
  const U32 u32Bar = T_MENU_vDrawMainMenuTabs(pBitmap);
  T_MENU_vDrawMainMenuItems(pBitmap, u32Bar);
  if (d->bMenuItemActive && d->numActiveMenuItems > 0) T_MENU_vDrawMenuActiveItem(pBitmap);
}

void T_MENU_vDrawQuickMenuItems(BITMAP *pBitmap) {
  MENU_DATA *d = T_MENU_psData();
  const FONT_DEF *pRow = T_MENU_pRowFont();
  const S32 n = d->numActiveMenuItems;
  const S32 W = std::max(s32W(pRow, T_MENU_pcText(&Quick_Setup)),
                         static_cast<S32>(T_MENU_u32FindMinMenuWidths(static_cast<U32>(n))));
  T_MENU_vSetMinMenuWidth(static_cast<U32>(W));
  const S32 H = n > 3 ? 214 : 60 * n + 34;
  const PIXEL y = n > 3 ? 133 : (480 - H) / 2;
  const PIXEL x = (960 - W) / 2 - 1;
  vFill(pBitmap, MENU_COLOR_ROW, x, y, W + 4, H + 2, 3);
  vOutline(pBitmap, MENU_COLOR_QUICK_LINE, x + 1, y + 1, W + 2, H, 3);
  const PIXEL yPanelTop = y + H + 1;
  const char *pcHeading = T_MENU_pcText(&Quick_Setup);
  vText(pBitmap, MENU_COLOR_QUICK_LINE, x + 2 + (W - s32W(pRow, pcHeading)) / 2, yPanelTop - 24, pRow, pcHeading);

  // The instruction above the panel, at most two lines.
  LINEOFTEXT aLines[U_DIALOG_MAX_LINES];
  const char *pcInstruction = T_MENU_pcText(&Choose_Settings);
  const S32 s32Lines = std::min<S32>(U_DIALOG_u16ExtractTextIntoLines(pcInstruction, aLines, pRow, 776), 2);
  if (s32Lines > 0) {
    S32 s32Widest = 0;
    for (S32 i = 0; i < s32Lines; i++) s32Widest = std::max<S32>(s32Widest, aLines[i].u16WidthOfLine);
    const S32 bw = s32Widest + (s32Lines == 2 ? 20 : 0) + 4;
    const S32 bh = 17 * s32Lines + 7 * (s32Lines + 1);
    const PIXEL bx = 480 - bw / 2, by = yPanelTop + 6;
    vFill(pBitmap, MENU_COLOR_QUICK_BOX, bx, by, bw, bh, 3);
    vOutline(pBitmap, MENU_COLOR_QUICK_LINE, bx, by, bw, bh, 3);
    for (S32 i = 0; i < s32Lines; i++) {
      char acLine[U_DIALOG_LINE_BUFFER];
      const size_t szChars = std::min<size_t>(aLines[i].u8NumberOfCharsInLine, sizeof acLine - 1);
      std::copy_n(aLines[i].pcStartOfText, szChars, acLine);
      acLine[szChars] = '\0';
      const PIXEL yBase = by + 7 + (s32Lines - 1 - i) * 24;
      vText(pBitmap, MENU_COLOR_QUICK_LINE, 480 - (aLines[i].u16WidthOfLine + 1) / 2, yBase, pRow, acLine);
    }
  }

  // Three rows: the window follows the highlighted row down.
  S32 s32Top = std::max(0, d->TopMenuItem);
  S32 s32Bottom = std::min(n - 1, s32Top + QUICK_MENU_WINDOW_ROWS - 1);
  if (d->activeMenuItemIndex > s32Bottom) {
    s32Bottom = std::min(n - 1, d->activeMenuItemIndex);
    if (n > QUICK_MENU_WINDOW_ROWS) s32Top = s32Bottom - (QUICK_MENU_WINDOW_ROWS - 1);
  }
  const PIXEL yTop = n < 4 ? y + MENU_ROW_PITCH * n - 58 + 1 : y + 120;
  vDrawRows(pBitmap, d, s32Top, s32Bottom, x + 2, yTop, W, kQuickRows);
  if (s32Top > 0 || s32Bottom < n - 1) {
    T_MENU_vDrawMoreDownTab(pBitmap, POINT{x, y}, static_cast<U32>(W), s32Top > 0, s32Bottom < n - 1, TRUE, FALSE);
  }
}

void T_MENU_vDrawQuickMenuLayer(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER) {
  MENU_DATA *d = T_MENU_psData();
  MenuLock lock;
  if (d->activeMenu != QUICK_SETUP_MENU || d->numActiveMenuItems <= 0) return;
  T_MENU_vDrawQuickMenuItems(pBitmap);
  T_MENU_vDrawMenuActiveItem(pBitmap);
}

void T_MENU_vDrawHotMenuItems(BITMAP *pBitmap) {
  MENU_DATA *d = T_MENU_psData();
  const S32 n = d->numActiveMenuItems;
  if (d->activeMenuItemIndex == 0) {
    d->TopMenuItem = 0;
    d->BottomMenuItem = kWindowRows - 1;
  }
  if (d->activeMenuItemIndex > d->BottomMenuItem) {
    d->BottomMenuItem = d->activeMenuItemIndex;
    if (n > kWindowRows) d->TopMenuItem = d->activeMenuItemIndex - (kWindowRows - 1);
  }
  d->BottomMenuItem = std::min(d->BottomMenuItem, std::max(0, n - 1));
  const S32 W = static_cast<S32>(T_MENU_u32FindMinMenuWidths(static_cast<U32>(n)));
  const S32 r = n == 0 ? 1 : std::min(n, kWindowRows);
  const PIXEL x = (640 - W) / 2 + 159;
  const PIXEL y = 476 - MENU_ROW_PITCH * r - 2;
  const S32 s32Outer = n == 0 ? 64 : MENU_ROW_PITCH * r + 5, s32Inner = n == 0 ? 62 : MENU_ROW_PITCH * r + 3;
  vFill(pBitmap, MENU_COLOR_FRAME, x, y, W + 4, s32Outer, 3);
  vFill(pBitmap, MENU_COLOR_DARK, x + 1, y + 1, W + 2, s32Inner, 0);
  const PIXEL yTop = 476 - 58;
  if (n == 0) {
    vDrawEmptyRow(pBitmap, x + 2, yTop, W, MENU_COLOR_DARK);
    return;
  }
  if (d->TopMenuItem > 0 || d->BottomMenuItem < n - 1) {
    T_MENU_vDrawMoreDownTab(pBitmap, POINT{x, y}, static_cast<U32>(W), d->TopMenuItem > 0,
                            d->BottomMenuItem < n - 1, TRUE, FALSE);
  }
  vDrawRows(pBitmap, d, d->TopMenuItem, d->BottomMenuItem, x + 2, yTop, W, kHotRows);
}

void T_MENU_vDrawZephrinMenuTabs(BITMAP *pBitmap) {
  MENU_DATA *d = T_MENU_psData();
  if (MENU_ITEM *pItem = pHighlightedItem(d)) T_MENU_vUpdateDisplayStrings(pItem, FALSE);
  const S32 W = static_cast<S32>(T_MENU_u32FindMinMenuWidths(static_cast<U32>(d->numActiveMenuItems)));
  const PIXEL x = s_activeItemAnchor.x, y = s_activeItemAnchor.y;
  vOutline(pBitmap, MENU_COLOR_FRAME, x - 2, y - 2, W + 4, 64, 3);
  if (d->activeMenuItemIndex > 0) vDrawHotTab(pBitmap, x + W - 41, y + 55, true);
  if (d->activeMenuItemIndex < d->numActiveMenuItems - 1) vDrawHotTab(pBitmap, x + W - 41, y - 18, false);
  vOutline(pBitmap, MENU_COLOR_DARK, x - 1, y - 1, W + 2, 62, 0);
}

void T_MENU_vDrawHotMenuLayer(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER) {
  MENU_DATA *d = T_MENU_psData();
  if (d->bMenuHidden) return;
  MenuLock lock;
  if (d->activeMenu != ZEPHRIN_MENU) return;
  const S32 s32Slot = d->activeHotMenu;
  if (s32Slot < MAX_HOT_MENUS && d->hotMenus[s32Slot].numMenuItems == 0) {
    T_MENU_vRemoveMenus();
    return;
  }
  if (d->bShowMenuList) {
    T_MENU_vDrawHotMenuItems(pBitmap);
  } else {
    T_MENU_vDrawZephrinMenuTabs(pBitmap);
  }
  if (d->numActiveMenuItems > 0) T_MENU_vDrawMenuActiveItem(pBitmap);
}

void T_MENU_vDrawSubMenuItems(BITMAP *pBitmap) {
  MENU_DATA *d = T_MENU_psData();
  const FONT_DEF *pTab = T_MENU_pControlFont();
  const ACTIVE_MENU eKind = d->activeMenu;
  const S32 n = d->numActiveMenuItems;
  S32 s32Top = d->TopSubMenuItem, s32Bottom = d->BottomMenuItem;
  const char *pcHeader = "";
  char acAltName[MENU_ALT_NAME_SIZE + 1] = {};
  if (eKind == INFO_MENU) {
    s32Top = d->TopInfoMenuItem;
    s32Bottom = d->BottomInfoMenuItem;
    if (d->activeInfoMenu >= 0 && d->activeInfoMenu < MAX_INFO_MENUS) {
      pcHeader = T_MENU_pcText(d->infoMenus[d->activeInfoMenu].pInfoMenuName);
    }
  } else if (eKind == FLOATING_MENU) {
    s32Top = d->TopFloatingMenuItem;
    if (d->activeFloatingMenu >= 0 && d->activeFloatingMenu < MAX_FLOATING_MENUS) {
      const FLOATING_MENU_TYPE &m = d->floatingMenus[d->activeFloatingMenu];
      std::copy_n(m.aStrAltName, MENU_ALT_NAME_SIZE, acAltName);
      pcHeader = m.bDisplayAltName ? acAltName : T_MENU_pcText(m.pFloatingMenuName);
    }
  } else if (eKind == SINGLE_CENTERED_MENU) {
    s32Top = d->TopSingleCenteredMenuItem;
    if (d->activeSingleCenteredMenu >= 0 && d->activeSingleCenteredMenu < MAX_SINGLE_CENTERED_MENUS) {
      pcHeader = T_MENU_pcText(d->singleCenteredMenus[d->activeSingleCenteredMenu].pSingleCenteredMenuName);
    }
  } else {
    const S32 s32Level = d->menuLevel - 1;
    if (s32Level >= 0 && s32Level < MAX_MENU_LEVELS) {
      const S32 s32Slot = d->activeSubMenu[s32Level];
      if (s32Slot >= 0 && s32Slot < MAX_SUB_MENUS) pcHeader = T_MENU_pcText(d->subMenus[s32Slot].pSubMenuName);
    }
    vRememberRange(d);
  }
  s32Top = std::max(0, s32Top);
  s32Bottom = std::min(s32Bottom, n - 1);

  S32 W = static_cast<S32>(T_MENU_u32FindMinMenuWidths(static_cast<U32>(n)));
  const S32 s32HeaderW = s32W(pTab, pcHeader);
  if (s32HeaderW > W + 4) W = s32HeaderW + 4;
  T_MENU_vSetMinMenuWidth(static_cast<U32>(W));
  PIXEL x = 0;
  if (eKind == ZEPHRIN_SUB_MENU) {
    x = 332 + d->s32MainMenuOffset;
  } else if (eKind == SINGLE_CENTERED_MENU) {
    x = (800 - W) / 2;
  }
  const S32 h = s32FontH(pTab);
  const bool bHeader = eKind != SINGLE_CENTERED_MENU && pcHeader[0] != '\0';
  MENU_ITEM *pHighlighted = pHighlightedItem(d);
  POINT iconPoint{0, 0};
  if (bHeader) {
    const PIXEL yh = 467 - h;
    vFill(pBitmap, MENU_COLOR_FRAME, x - 1, yh, W + 4, h + 12, 3);
    vFill(pBitmap, MENU_COLOR_DARK, x, yh + 1, W + 2, h + 10, 3);
    vFill(pBitmap, MENU_COLOR_ROW, x + 2, yh + 3, W - 2, h + 6, 3);
    vText(pBitmap, MENU_COLOR_TEXT_HI, x + 1 + (W + 2 - s32HeaderW) / 2, yh + 6, pTab, pcHeader);
    const S32 s32View = s32CurrentView();
    if ((eKind == INFO_SUB_MENU || bIsMainSubMenu(eKind) || eKind == ZEPHRIN_SUB_MENU) && s32View >= 67 &&
        s32View <= 70 && pHighlighted != nullptr && pHighlighted->pMenuIcon != nullptr) {
      iconPoint = {x - 1 + W + 4 + 8, yh - s32IconH(pHighlighted->pMenuIcon)};
    }
  }
  const S32 v = n > 0 ? std::max(0, s32Bottom - s32Top) : 0;
  const PIXEL yPanelTop = bHeader ? 467 - h - 1 : 476;
  const PIXEL yPanel = yPanelTop - (MENU_ROW_PITCH * v + 61) + 1;
  vFill(pBitmap, MENU_COLOR_FRAME, x - 1, yPanel, W + 4, MENU_ROW_PITCH * v + 61, 3);
  vFill(pBitmap, MENU_COLOR_DARK, x, yPanel, W + 2, MENU_ROW_PITCH * v + 61, 0);
  G_PIXEL_vPut(pBitmap, x, yPanel, col(MENU_COLOR_FRAME));
  G_PIXEL_vPut(pBitmap, x + W + 1, yPanel, col(MENU_COLOR_FRAME));
  G_PIXEL_vPut(pBitmap, x + 1, yPanel, col(MENU_COLOR_DARK));
  G_PIXEL_vPut(pBitmap, x + W, yPanel, col(MENU_COLOR_DARK));
  const PIXEL yTop = yPanelTop - MENU_ROW_HEIGHT;
  if (n == 0) {
    vDrawEmptyRow(pBitmap, x + 1, yTop, W, MENU_COLOR_DARK);
    return;
  }
  if (s32Top > 0 || s32Bottom < n - 1) {
    T_MENU_vDrawMoreDownTab(pBitmap, POINT{x + 1, yTop}, static_cast<U32>(W), s32Top > 0, s32Bottom < n - 1,
                            FALSE, FALSE);
  }
  vDrawRows(pBitmap, d, s32Top, s32Bottom, x + 1, yTop, W, kSubRows);
  if (pHighlighted != nullptr && pHighlighted->pMenuIcon != nullptr &&
      !(pHighlighted->control == M_ACTION_EXT && pHighlighted->parameters.actionExt.bDispIconAlways)) {
    vIcon(pBitmap, pHighlighted->pMenuIcon, iconPoint.x, iconPoint.y);
  }
}

void T_MENU_vDrawSubMenuLayer(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER) {
  MENU_DATA *d = T_MENU_psData();
  if (d->bMenuHidden) return;
  MenuLock lock;
  const ACTIVE_MENU e = d->activeMenu;
  if (e != ZEPHRIN_SUB_MENU && !bIsMainSubMenu(e) && e != INFO_MENU && e != FLOATING_MENU &&
      e != SINGLE_CENTERED_MENU && e != INFO_SUB_MENU) {
    return;
  }
  T_MENU_vDrawSubMenuItems(pBitmap);
  if (d->numActiveMenuItems > 0) T_MENU_vDrawMenuActiveItem(pBitmap);
}

void T_MENU_vDrawControl(BITMAP *pBitmap, MENU_CONTROL control, POINT anchor, DB_DATA_TYPE value,
                         CONTROL_PARAMETERS *pParameters, DATA_FORMAT dataFormat, U32 u32Width, U32 u32Height) {
  switch (control) {
    case M_SLIDER:
    case M_SLIDER_IMMEDIATE:
    case M_SLIDER_VARIABLE_STEP:
      U_MENU_vDrawControlSlider(pBitmap, anchor, value, &pParameters->slider, dataFormat, u32Width, u32Height);
      break;
    case M_PROGRESS_BAR:
      U_MENU_vDrawControlProgressBar(pBitmap, anchor, value, &pParameters->progress, dataFormat, u32Width,
                                     u32Height);
      break;
    case M_NUMERIC_ENTRY:
      U_MENU_vDrawControlNumericEntry(pBitmap, anchor, value, &pParameters->numEntry, dataFormat, u32Width,
                                      u32Height);
      break;
    case M_SELECTION_BOX:
      U_MENU_vDrawControlSelectionBox(pBitmap, anchor, pParameters->selector.CurSelection, &pParameters->selector,
                                      u32Width, u32Height, col(MENU_COLOR_ROW));
      break;
    case M_ACTION:
    case M_ACTION_HOT:
    case M_ACTION_EXT:
      U_MENU_vDrawControlAction(pBitmap, anchor, value.u32Val, u32Width, u32Height);
      break;
    case M_SUB_MENU:
      U_MENU_vDrawControlSubMenu(pBitmap, anchor, value.u32Val, &pParameters->submenu, u32Width, u32Height);
      break;
    case M_SUB_MENU_HOT:
      U_MENU_vDrawControlSubMenuWithNoArrow(pBitmap, anchor, value.u32Val, &pParameters->submenu, u32Width,
                                            u32Height);
      break;
    case M_ACTION_LIST:
    case M_ACTION_LIST_SHRUNKEN:
      U_MENU_vDrawControlActionList(pBitmap, anchor, value.u32Val, &pParameters->actionList, u32Width, u32Height);
      break;
    case M_CHECK_LIST:
      U_MENU_vDrawControlCheckList(pBitmap, anchor, value.u32Val, u32Width, u32Height);
      break;
    case M_CHECK_BOX:
      U_MENU_vDrawControlCheckBox(pBitmap, anchor, value.u32Val, u32Width, u32Height);
      break;
    default:
      break;
  }
}

namespace {

constexpr PIXEL kValueGap = 4;

// The right edge of the highlighted row's control on its lower line (the row's right edge for full-width ones).
PIXEL s32ControlRight(const MENU_ITEM *pItem, PIXEL x, S32 W) {
  switch (pItem->control) {
    case M_SLIDER:
    case M_SLIDER_IMMEDIATE: return x + (W - 148) / 2 + 4 + 148;
    case M_SLIDER_VARIABLE_STEP:
    case M_PROGRESS_BAR: return x + (W - 148) / 2 + 148;
    case M_NUMERIC_ENTRY: {
      const S32 b = static_cast<S32>(
          T_MENU_u32FindNumericEntryBoxWidth(&pItem->parameters.numEntry, pItem->dataFormat));
      return x + (W - b) / 2 + b;
    }
    case M_SELECTION_BOX: {
      const S32 sw = static_cast<S32>(T_MENU_u32GetMinSelectorWidth());
      return x + (W - sw) / 2 + sw;
    }
    default: return x + W;
  }
}

}  // namespace

void T_MENU_vDrawMenuActiveItem(BITMAP *pBitmap) {
  MENU_DATA *d = T_MENU_psData();
  MENU_ITEM *pItem = pHighlightedItem(d);
  if (pItem == nullptr) return;
  const FONT_DEF *pRow = T_MENU_pRowFont();
  const S32 W = static_cast<S32>(T_MENU_u32GetMinMenuWidth());
  const PIXEL x = s_activeItemAnchor.x, y = s_activeItemAnchor.y;
  vFill(pBitmap, MENU_COLOR_FRAME, x, y, W, MENU_ROW_HEIGHT, 2);
  vOutline(pBitmap, MENU_COLOR_DARK, x, y, W, MENU_ROW_HEIGHT, 2);
  vHLine(pBitmap, MENU_COLOR_ROW, x + 2, x + W - 3, y + 1);

  // Upper line: icon, title and value.
  PIXEL xText = x + 6;
  if (pItem->pMenuIcon != nullptr && !bIsMainMenuKind(d->activeMenu)) {
    vIcon(pBitmap, pItem->pMenuIcon, x + 6, nRowIconY(y, pItem->pMenuIcon));
    xText += s32IconW(pItem->pMenuIcon) + 6;
  }
  if (pItem->control == M_ANGLE_ADJUST) {
    vIcon(pBitmap, &heading_left_arrow_icon, xText, nRowIconY(y, &heading_left_arrow_icon));
    xText += s32IconW(&heading_left_arrow_icon) + 4;
    const char *pcTitle = T_MENU_pcText(pItem->pMenuTitle);
    vText(pBitmap, MENU_COLOR_TEXT_HI, xText, y + 37, pRow, pcTitle);
    xText += s32W(pRow, pcTitle) + 4;
    vIcon(pBitmap, &heading_right_arrow_icon, xText, nRowIconY(y, &heading_right_arrow_icon));
    xText += s32IconW(&heading_right_arrow_icon);
  } else if (!(pItem->control == M_ACTION_EXT && pItem->parameters.actionExt.bDispIconOnly)) {
    char acTitle[kTitleSize];
    T_MENU_vRowTitle(pItem, MENU_ROW_NAMES_ALL, acTitle, sizeof acTitle);
    vText(pBitmap, MENU_COLOR_TEXT_HI, xText, y + 37, pRow, acTitle);
    xText += s32W(pRow, acTitle);
  }
  // The value beside the title; when both do not fit on the upper line, the value goes to the lower line at the
  // right as in a plain row, where it stands clear of the control (a control that reaches it shows the value).
  const PIXEL xValue = x + W - 4 - s32W(pRow, pItem->value_string);
  if (pItem->value_string[0] == '\0' || xValue >= xText + kValueGap) {
    vText(pBitmap, MENU_COLOR_TEXT_HI, xValue, y + 37, pRow, pItem->value_string);
  } else if (xValue >= s32ControlRight(pItem, x, W) + kValueGap) {
    vText(pBitmap, MENU_COLOR_TEXT_HI, xValue, y + 7, pRow, pItem->value_string);
  }

  // Lower line: the control.
  const bool bSubMenu = pItem->control == M_SUB_MENU || pItem->control == M_SUB_MENU_HOT;
  if (bSubMenu && pItem->pMenuIcon != nullptr) {
    vIcon(pBitmap, pItem->pMenuIcon, x + W - 10 - s32IconW(pItem->pMenuIcon),
          y + (MENU_ROW_HEIGHT - s32IconH(pItem->pMenuIcon)) / 2);
    return;
  }
  CONTROL_PARAMETERS *p = &pItem->parameters;
  switch (pItem->control) {
    case M_SLIDER:
    case M_SLIDER_IMMEDIATE:
      T_MENU_vDrawControl(pBitmap, pItem->control, POINT{x + (W - 148) / 2 + 4, y + 5}, pItem->unitsValue, p,
                          pItem->dataFormat, 148, 20);
      break;
    case M_SLIDER_VARIABLE_STEP:
    case M_PROGRESS_BAR:
      T_MENU_vDrawControl(pBitmap, pItem->control, POINT{x + (W - 148) / 2, y + 5}, pItem->unitsValue, p,
                          pItem->dataFormat, 148, 20);
      break;
    case M_NUMERIC_ENTRY: {
      const S32 b = static_cast<S32>(T_MENU_u32FindNumericEntryBoxWidth(&p->numEntry, pItem->dataFormat));
      T_MENU_vDrawControl(pBitmap, pItem->control, POINT{x + (W - b) / 2, y + 5}, pItem->unitsValue, p,
                          pItem->dataFormat, static_cast<U32>(b), 20);
      break;
    }
    case M_SELECTION_BOX: {
      const S32 s = static_cast<S32>(T_MENU_u32GetMinSelectorWidth());
      const S32 hs = static_cast<S32>(T_MENU_u32SelectorHeight(&p->selector));
      T_MENU_vDrawControl(pBitmap, pItem->control, POINT{x + (W - s) / 2, y - hs / 2 + 15}, pItem->unitsValue, p,
                          pItem->dataFormat, static_cast<U32>(s), static_cast<U32>(hs));
      break;
    }
    case M_ACTION:
    case M_ACTION_HOT:
    case M_ACTION_EXT:
    case M_SUB_MENU:
    case M_SUB_MENU_HOT:
    case M_ACTION_LIST:
    case M_ACTION_LIST_SHRUNKEN:
      T_MENU_vDrawControl(pBitmap, pItem->control, POINT{x, y}, pItem->value, p, pItem->dataFormat,
                          static_cast<U32>(W), 30);
      break;
    case M_CHECK_LIST:
    case M_CHECK_BOX:
      if (pItem->unitsValue.u32Val == 0) {
        vIcon(pBitmap, &unselected_radio_button, x + W - 35,
              y - 1 + ((MENU_ROW_HEIGHT - s32IconH(&selected_radio_button)) >> 1));
      }
      T_MENU_vDrawControl(pBitmap, pItem->control, POINT{x, y}, pItem->unitsValue, p, pItem->dataFormat,
                          static_cast<U32>(W), 30);
      break;
    case M_ANGLE_ADJUST: {
      const ICON *pChk = p->angleadjust.pChkIcon;
      vIcon(pBitmap, pChk, x + 6, y + 9);
      vText(pBitmap, MENU_COLOR_TEXT_HI, x + 6 + s32IconW(pChk) + 4, y + 9, T_MENU_pControlFont(),
            T_MENU_pcText(p->angleadjust.pChkItemName));
      break;
    }
    default:
      break;
  }
}

void T_MENU_vDrawConfirmMenuLayer(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER) {
  MENU_DATA *d = T_MENU_psData();
  MenuLock lock;
  MENU_ITEM *pItem = pHighlightedItem(d);
  if (pItem == nullptr) return;
  T_MENU_vDrawConfirmBox(pBitmap, pItem, s_activeItemAnchor, T_MENU_u32GetMinMenuWidth());
}

void T_MENU_vDrawConfirmBox(BITMAP *pBitmap, const MENU_ITEM *pItem, POINT rowAnchor, U32 u32RowWidth) {
  const FONT_DEF *pRow = T_MENU_pRowFont();
  const S32 f = s32FontH(pRow);
  const S32 s32Desc = static_cast<S32>(G_FONTS_u32GetDescenderHeight(pRow));
  const S32 a = f - s32Desc - 1;
  char acQuestion[kTitleSize * 2];
  if (pItem->control == M_ACTION_LIST || pItem->control == M_ACTION_LIST_SHRUNKEN) {
    const M_ACTION_LIST_PARAMETERS &l = pItem->parameters.actionList;
    const char *pcChoice = l.pActionListChoices != nullptr && pItem->value.u32Val < l.numberChoices
                               ? T_MENU_pcText(l.pActionListChoices[pItem->value.u32Val])
                               : "";
    std::snprintf(acQuestion, sizeof acQuestion, "%s %s", pcChoice, T_MENU_pcText(pItem->pMenuTitle));
  } else {
    std::snprintf(acQuestion, sizeof acQuestion, "%s", T_MENU_pcText(pItem->pMenuTitle));
  }
  const char *pcConfirm = T_MENU_pcText(&Confirm), *pcNo = T_MENU_pcText(&No), *pcYes = T_MENU_pcText(&Yes);
  const S32 iw = s32IconW(&confirm_icon);
  S32 B = std::max({s32W(pRow, pcNo) + s32W(pRow, pcYes) + 2 * (a + 8), s32W(pRow, pcConfirm) + 2 * iw + 28,
                    s32W(pRow, acQuestion) + 16});
  const S32 W = static_cast<S32>(u32RowWidth);
  PIXEL x = -1;
  if (B < 637) {
    x = rowAnchor.x + W / 2 - (B + 2) / 2;
  } else {
    B = 640;
  }
  const PIXEL yRow = rowAnchor.y, s32ScreenH = pBitmap->pixels_high;
  PIXEL y = yRow - 24;
  if (yRow <= 23) {
    y = 0;
  } else if (yRow >= s32ScreenH - 106) {
    y = s32ScreenH - 107;
  }
  vFill(pBitmap, MENU_COLOR_FRAME, x, y, B + 2, 108, 0);
  vFill(pBitmap, MENU_COLOR_DARK, x + 1, y + 1, B, 106, 0);
  vFill(pBitmap, MENU_COLOR_CONFIRM, x + 3, y + 3, B - 4, 102, 0);
  const PIXEL yInnerTop = y + 3 + 102 - 1;
  const PIXEL yQuestion = yInnerTop - (2 * f - 3);
  vText(pBitmap, MENU_COLOR_TEXT_HI, x + 1 + (B - s32W(pRow, acQuestion)) / 2, yQuestion, pRow, acQuestion);
  // Text anchors are baselines; the confirm line sits one core height below the question.
  const PIXEL yConfirm = yQuestion - (f - s32Desc);
  const S32 s32Group = iw + 10 + s32W(pRow, pcConfirm);
  const PIXEL xGroup = x + 1 + (B - s32Group) / 2;
  const S32 s32Core = static_cast<S32>(G_FONTS_u32GetCoreHeight(pRow));
  vIcon(pBitmap, &confirm_icon, xGroup, yConfirm + (s32Core - s32IconH(&confirm_icon)) / 2);
  vText(pBitmap, MENU_COLOR_TEXT_HI, xGroup + iw + 10, yConfirm, pRow, pcConfirm);
  vHLine(pBitmap, MENU_COLOR_TEXT_HI, x + 3, x + B - 2, yConfirm - 2);
  const PIXEL yChoices = y + 8;
  U_MENU_vDrawArrowLeft(pBitmap, POINT{x + 8 + a / 2, yChoices}, static_cast<U32>(a), col(MENU_COLOR_TEXT_HI));
  vText(pBitmap, MENU_COLOR_TEXT_HI, x + 8 + a / 2 + 7, yChoices, pRow, pcNo);
  const PIXEL xTip = x + B + 1 - (9 + a / 2), xBase = xTip - a / 2;
  U_MENU_vDrawArrowRight(pBitmap, POINT{xBase, yChoices}, static_cast<U32>(a), col(MENU_COLOR_TEXT_HI));
  vText(pBitmap, MENU_COLOR_TEXT_HI, xBase - 5 - s32W(pRow, pcYes), yChoices, pRow, pcYes);
}
