// Widths of the open menu's rows and controls, recomputed for every frame from the visible rows, and the row
// titles with the names of the navigation objects that action-list rows act on.
#pragma once
#include <cstddef>

#include "draw/fonts.h"
#include "ui/menu/menu_store.h"

// Texts of the menu drawing shared by the layers.
extern const ARRAY_OF_STRING_PTRS No_Menus_Available;
extern const ARRAY_OF_STRING_PTRS Strelloq;

// Width of the first u32NumRows visible rows of the open menu; also stored as the menu width and sets the
// width of the highlighted selection box. Refreshes each row's strings. Call with RES_MENU held.
U32 T_MENU_u32FindMinMenuWidths(U32 u32NumRows);
// Width of the widest choice of a selection box (texts made even + 4, icons + 2).
U32 T_MENU_u32FindMinSelBoxWidth(const M_SELECTION_BOX_PARAMETERS *pParameters);
// Width of a numeric entry box: as many "0" as the limits need, in the control font, + 6.
U32 T_MENU_u32FindNumericEntryBoxWidth(const M_NUMERIC_ENTRY_PARAMETERS *pParameters, DATA_FORMAT dataFormat);

U32 T_MENU_u32GetMinMenuWidth(void);
void T_MENU_vSetMinMenuWidth(U32 u32Width);
U32 T_MENU_u32GetMinSelectorWidth(void);

// Height of a selection box control: the control font's height, or the tallest choice icon + 2.
U32 T_MENU_u32SelectorHeight(const M_SELECTION_BOX_PARAMETERS *pParameters);

// Which object names follow a row's title.
enum MENU_ROW_NAMES : U32 {
  MENU_ROW_NAMES_ALL = 0,     // every action-list key, the anchor text, the current route
  MENU_ROW_NAMES_ROUTES = 1,  // only the routes under the cursor
};
// The row's title in the current language, followed by one space and the name of the object its action list
// acts on; pcOut holds at least u32Size bytes.
void T_MENU_vRowTitle(MENU_ITEM *pItem, MENU_ROW_NAMES eNames, char *pcOut, size_t szSize);

// The row font (titles and values) and the control font (control texts and tabs).
const FONT_DEF *T_MENU_pRowFont(void);
const FONT_DEF *T_MENU_pControlFont(void);
// A title in the current language ("" for none).
const char *T_MENU_pcText(MENU_TITLE pTitle);
