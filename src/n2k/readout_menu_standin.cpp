// Stand-in of the readout-selection hooks: no NMEA 2000 data views exist yet, so no readout choice is ever made.
#include "n2k/readout_menu_standin.h"

#include <atomic>

namespace {
std::atomic<BOOLEAN> s_bChoosing{FALSE};
}  // namespace

void GUI_vResetReadoutSubMenuStatus(void) { s_bChoosing = FALSE; }
BOOLEAN GUI_vGetReadoutSubMenuStatus(void) { return s_bChoosing; }
void GUI_pGetCurrentItemName(U32, const ARRAY_OF_STRING_PTRS **ppTitle) {
  if (ppTitle != nullptr) *ppTitle = nullptr;
}
void GUI_vUpdateReadoutMenuItems(void) {}
void GUI_vRegisterReadoutSubMenuItems(U32) {}
