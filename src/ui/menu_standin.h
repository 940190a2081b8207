// Stand-in declarations of the menu task's clients and of the dialog box until the menu and dialog modules are
// written; their real headers replace this one.
#pragma once
#include "graphics/bitmap.h"
#include "kernel/database.h"
#include "kernel/language.h"

typedef S32 MENU_PRIORITY;
enum : MENU_PRIORITY {
  MENU_RESTORE_FACTORY_DEFAULTS = 134,
  MENU_TONE_MODE = 190,
  MENU_TONE_FREQUENCY = 504,
};
enum MENU_USER_LEVEL : U32 { M_BASIC = 1, M_ADVANCED = 2, M_SUPER_USER = 3, M_DIAGNOSTIC = 4 };
enum JUSTIFICATION : U32 {
  JUSTIFICATION_LEFT = 1,
  JUSTIFICATION_CENTER = 3,
  JUSTIFICATION_TOP = 4,
  JUSTIFICATION_BOTTOM = 5,
  JUSTIFICATION_SCREEN_CENTER = 6,
};

BOOLEAN U_MENU_bRegisterMainActionMenu(const ARRAY_OF_STRING_PTRS *pMenuName, const ARRAY_OF_STRING_PTRS *pTabName,
                                       MENU_PRIORITY menuPriority, void (*p2Function)(void), BOOLEAN bConfirm,
                                       MENU_USER_LEVEL userLevel);
BOOLEAN U_MENU_bRegisterMainSelectorMenu(const ARRAY_OF_STRING_PTRS *pMenuName,
                                         const ARRAY_OF_STRING_PTRS *pTabName, MENU_PRIORITY menuPriority,
                                         FOURCHARID FourCharId, U32 numSelctions,
                                         const ARRAY_OF_STRING_PTRS *const *pSelectionList,
                                         const U32 *pSelectionValues, MENU_USER_LEVEL userLevel);
void T_MENU_vActivateSpecifiedHotMenu(S32 view);

// The font is the drawing library's font definition; icons are its icons.
void U_DIALOG_vDrawDialog(BITMAP *pBitmap, const char *pString, const void *pFont, U16 u16PixelsBetweenLines,
                          U16 u16BoxWidth, const void *pLeftHandIcon, const void *pRightHandIcon,
                          JUSTIFICATION TextJustification, JUSTIFICATION BoxJustification);
// Width in pixels of a text in the 16 x 17 standard font.
U32 U_DIALOG_u32TextWidth16x17(const char *pString);

// Tab titles shared by every module that registers menu items.
extern const ARRAY_OF_STRING_PTRS Setup;
extern const ARRAY_OF_STRING_PTRS Alarms;
