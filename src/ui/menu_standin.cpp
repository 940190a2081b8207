// Stand-ins of the dialog box and of the menu task's direct calls: nothing is drawn or opened until the dialog
// module and the menu task exist.
#include "ui/menu_standin.h"

void T_MENU_vActivateSpecifiedHotMenu(LAYER_ID) {}

void U_DIALOG_vDrawDialog(BITMAP *, const char *, const void *, U16, U16, const void *, const void *, JUSTIFICATION,
                          JUSTIFICATION) {}

U32 U_DIALOG_u32TextWidth16x17(const char *pString) {
  U32 u32Width = 0;
  while (*pString++ != '\0') u32Width += 16;
  return u32Width;
}
