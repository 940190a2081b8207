// Stand-ins of the menu task's clients, the dialog box and the shared tab titles: nothing is registered or
// drawn until the menu and dialog modules exist.
#include "ui/menu_standin.h"


const ARRAY_OF_STRING_PTRS Setup = SAME22("Setup");
const ARRAY_OF_STRING_PTRS Alarms = SAME22("Alarms");

BOOLEAN U_MENU_bRegisterMainActionMenu(const ARRAY_OF_STRING_PTRS *, const ARRAY_OF_STRING_PTRS *, MENU_PRIORITY,
                                       void (*)(void), BOOLEAN, MENU_USER_LEVEL) {
  return FALSE;
}

BOOLEAN U_MENU_bRegisterMainSelectorMenu(const ARRAY_OF_STRING_PTRS *, const ARRAY_OF_STRING_PTRS *, MENU_PRIORITY,
                                         FOURCHARID, U32, const ARRAY_OF_STRING_PTRS *const *, const U32 *,
                                         MENU_USER_LEVEL) {
  return FALSE;
}

void T_MENU_vActivateSpecifiedHotMenu(S32) {}

void U_DIALOG_vDrawDialog(BITMAP *, const char *, const void *, U16, U16, const void *, const void *, JUSTIFICATION,
                          JUSTIFICATION) {}

U32 U_DIALOG_u32TextWidth16x17(const char *pString) {
  U32 u32Width = 0;
  while (*pString++ != '\0') u32Width += 16;
  return u32Width;
}
