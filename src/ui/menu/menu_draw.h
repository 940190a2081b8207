// Drawing of the menu layers: the main menu with its tab bar, the quick-setup list, the hot menu, the shared
// layer of sub, info, floating and single-centred menus, the highlighted row with its control and the
// confirmation box. The layer functions themselves are declared with the menu stores (ui/menu_store.h).
// Coordinates grow upward from the screen's bottom row; boxes are placed by their lower-left corner.
#pragma once
#include "ui/menu/menu_store.h"

// Menu colour-table entries.
enum : U32 {
  MENU_COLOR_FRAME = 64,     // frame and highlighted row
  MENU_COLOR_ROW = 65,       // row background
  MENU_COLOR_LIGHT = 66,     // arrows and the light separator
  MENU_COLOR_DARK = 67,      // dark frame and outlines
  MENU_COLOR_TEXT_HI = 68,   // text on the highlight and messages
  MENU_COLOR_TEXT = 69,      // row text
  MENU_COLOR_CONFIRM = 71,   // confirmation background
  MENU_COLOR_NO_SOURCE = 34, // a data-source row whose source is missing
  MENU_COLOR_QUICK_BOX = 128,
  MENU_COLOR_QUICK_LINE = 131,
};

constexpr S32 MENU_ROW_HEIGHT = 60;
constexpr S32 MENU_ROW_PITCH = 59;

// Draws the tab bar; returns its width.
U32 T_MENU_vDrawMainMenuTabs(BITMAP *pBitmap);
void T_MENU_vDrawMainMenuItems(BITMAP *pBitmap, U32 u32BarWidth);
void T_MENU_vDrawQuickMenuItems(BITMAP *pBitmap);
void T_MENU_vDrawHotMenuItems(BITMAP *pBitmap);
void T_MENU_vDrawZephrinMenuTabs(BITMAP *pBitmap);
void T_MENU_vDrawSubMenuItems(BITMAP *pBitmap);
// The scroll tab under a panel: anchor and width of the panel (or the top row), which arrows to show, the
// hot-menu placement, or the anchor itself for the network set-up list.
void T_MENU_vDrawMoreDownTab(BITMAP *pBitmap, POINT anchor, U32 u32Width, BOOLEAN bUp, BOOLEAN bDown,
                             BOOLEAN bHotMenu, BOOLEAN bNetworkSetup);
// The highlighted row over the list, at the anchor the list drawing remembered.
void T_MENU_vDrawMenuActiveItem(BITMAP *pBitmap);
void T_MENU_vDrawControl(BITMAP *pBitmap, MENU_CONTROL control, POINT anchor, DB_DATA_TYPE value,
                         CONTROL_PARAMETERS *pParameters, DATA_FORMAT dataFormat, U32 u32Width, U32 u32Height);
// The confirmation box of an item highlighted in a row of that width at that anchor.
void T_MENU_vDrawConfirmBox(BITMAP *pBitmap, const MENU_ITEM *pItem, POINT rowAnchor, U32 u32RowWidth);
// Lower-left corner of the highlighted row as last drawn.
POINT T_MENU_GetActiveItemAnchor(void);
