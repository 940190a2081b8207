// Stand-in declarations of the navigation services the menu task calls, until the navigation task is written;
// the real headers replace this one.
#pragma once
#include "settings/language.h"

BOOLEAN T_NAV_bGPSDetected(void);
// Starts a go-to to the waypoint under the cursor ('ICWP') when there is one.
void T_NAV_vGoToWaypointInMenu(void);
// Raises a note (the part between "{" and "}" of the text replaced by pcParam) with a count-down.
void T_NAV_vSetNavUINoteWithTimeout(const ARRAY_OF_STRING_PTRS *pText, const char *pcParam, U32 u32CountDown,
                                    BOOLEAN bFlag);
void T_NAV_vSetNavUINote(const ARRAY_OF_STRING_PTRS *pText, const char *pcParam, BOOLEAN bFlag);

// Test hooks: the last note raised, the number of go-to requests, the detection answer.
const ARRAY_OF_STRING_PTRS *NAV_STANDIN_pLastNote(void);
U32 NAV_STANDIN_u32GoToCount(void);
void NAV_STANDIN_vSetGPSDetected(BOOLEAN bDetected);
void NAV_STANDIN_vResetMenuCalls(void);
