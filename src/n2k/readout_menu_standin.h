// Stand-in declarations of the readout-selection hooks of the NMEA 2000 data views that the menu task calls,
// until the NMEA 2000 view component is written; the real header replaces this one.
#pragma once
#include "settings/language.h"

void GUI_vResetReadoutSubMenuStatus(void);
BOOLEAN GUI_vGetReadoutSubMenuStatus(void);
// The title of the readout-selection sub-menu of that slot; marks a readout choice as being made.
void GUI_pGetCurrentItemName(U32 u32Slot, const ARRAY_OF_STRING_PTRS **ppTitle);
void GUI_vUpdateReadoutMenuItems(void);
void GUI_vRegisterReadoutSubMenuItems(U32 u32Slot);
