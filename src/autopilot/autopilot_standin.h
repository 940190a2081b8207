// Stand-in declarations of the autopilot link services the readouts use, until the autopilot task is written;
// the real header replaces this one.
#pragma once
#include "corvan/types.h"

// Copies 12 bytes of the name of the autopilot's current target.
void T_VANTREL_vGetActiveStr(char *pacDestStr);
BOOLEAN T_VANTREL_bIsStrelloqActive(void);
BOOLEAN T_VANTREL_bIsNavigationPaused(void);
U16 T_VANTREL_u16GetStrelloqIndex(void);
// 'IPNE', FALSE when missing.
BOOLEAN U_NAV_VANTREL_bIsVantrelNavigationEnabled(void);
