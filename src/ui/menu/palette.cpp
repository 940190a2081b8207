#include "ui/menu/palette.h"

// This unit has one palette: nothing to change and no menu item.
void U_PALETTE_vChangePalette(COLOR_PALETTE_ID) {}

void U_PALETTE_vRegisterMenuItem(void) {}
