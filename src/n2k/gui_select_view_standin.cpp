// Stand-in of the NMEA 2000 view component's calls into the view-selection menu: they forward to the menu's
// one object, as the component will.
#include "view/select_view.h"
#include "n2k/gui_standin.h"

void GUI_vRegisterSelectViewMenu(void) { CViewSelectMenu::pGetInstance()->vRegisterMenuItem(); }

void GUI_vUnRegisterSelectViewMenu(void) { CViewSelectMenu::pGetInstance()->vUnRegisterMenuItem(); }

void GUI_vSetViewRegisteration(S32 layer, BOOLEAN bRegister) {
  CViewSelectMenu::pGetInstance()->vSetViewRegisteration(static_cast<U32>(layer), bRegister);
}
