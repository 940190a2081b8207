// Stand-in declaration of the navigation task's MARK action until the navigation task is written; the real
// header replaces this one.
#pragma once
#include "corvan/types.h"

// Drops a waypoint at the cursor or the boat.
void T_NAV_vHandleMark(void);

// Test hook of the stand-in: marks asked for so far.
U32 NAV_STANDIN_u32Marks(void);
