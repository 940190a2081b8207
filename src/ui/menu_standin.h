// Stand-in declarations of the menu task's clients until the menu and dialog modules are
// written; their real headers replace this one.
#pragma once
#include "graphics/bitmap.h"
#include "kernel/database.h"
#include "kernel/language.h"
#include "ui/dialog.h"

typedef S32 MENU_PRIORITY;
enum : MENU_PRIORITY {
  MENU_RESTORE_FACTORY_DEFAULTS = 134,
  MENU_TONE_MODE = 190,
  MENU_TONE_FREQUENCY = 504,
};
enum MENU_USER_LEVEL : U32 { M_BASIC = 1, M_ADVANCED = 2, M_SUPER_USER = 3, M_DIAGNOSTIC = 4 };

BOOLEAN U_MENU_bRegisterMainActionMenu(const ARRAY_OF_STRING_PTRS *pMenuName, const ARRAY_OF_STRING_PTRS *pTabName,
                                       MENU_PRIORITY menuPriority, void (*p2Function)(void), BOOLEAN bConfirm,
                                       MENU_USER_LEVEL userLevel);
BOOLEAN U_MENU_bRegisterMainSelectorMenu(const ARRAY_OF_STRING_PTRS *pMenuName,
                                         const ARRAY_OF_STRING_PTRS *pTabName, MENU_PRIORITY menuPriority,
                                         FOURCHARID FourCharId, U32 numSelctions,
                                         const ARRAY_OF_STRING_PTRS *const *pSelectionList,
                                         const U32 *pSelectionValues, MENU_USER_LEVEL userLevel);
void T_MENU_vActivateSpecifiedHotMenu(S32 view);

// Tab titles shared by every module that registers menu items.
extern const ARRAY_OF_STRING_PTRS Setup;
extern const ARRAY_OF_STRING_PTRS Alarms;
