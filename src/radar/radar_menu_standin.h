// Stand-in declarations of the radar services and sub-menu titles the menu task uses, until the radar task is
// written; the real header replaces this one.
#pragma once
#include "settings/language.h"

// Titles of the radar sub-menus that have side effects when opened.
extern const ARRAY_OF_STRING_PTRS Installation;
extern const ARRAY_OF_STRING_PTRS Trigger_Delays;
extern const ARRAY_OF_STRING_PTRS Manual_Tune;
extern const ARRAY_OF_STRING_PTRS Tune;

void T_RADAR_vHandleManualTune(void);
// TRUE in the normal run state; otherwise refuses with the bad click.
BOOLEAN T_RADAR_bHandleTune(void);

// Test hooks.
U32 RADAR_STANDIN_u32ManualTuneCount(void);
void RADAR_STANDIN_vSetTuneAllowed(BOOLEAN bAllowed);
