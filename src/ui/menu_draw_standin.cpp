// Stand-ins of the menu drawing until the menu drawing module exists: the layers draw nothing.
#include <cstdio>

#include "ui/menu_store.h"

void T_MENU_vDrawHotMenuLayer(BITMAP *, WINDOW_SPECIFICATION_POINTER) {}
void T_MENU_vDrawMainMenuLayer(BITMAP *, WINDOW_SPECIFICATION_POINTER) {}
void T_MENU_vDrawSubMenuLayer(BITMAP *, WINDOW_SPECIFICATION_POINTER) {}
void T_MENU_vDrawQuickMenuLayer(BITMAP *, WINDOW_SPECIFICATION_POINTER) {}
void T_MENU_vDrawConfirmMenuLayer(BITMAP *, WINDOW_SPECIFICATION_POINTER) {}

void U_MENU_vPrecisionFormat(char *endString, float value, U8 precision) {
  static const char *const kFormats[] = {"%.0f", "%.1f", "%.2f"};
  std::sprintf(endString, precision < 3 ? kFormats[precision] : "%.3f", static_cast<double>(value));
}
