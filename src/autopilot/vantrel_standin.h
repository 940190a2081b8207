// Stand-in declarations of the autopilot link's calls used by the view task, until the autopilot
// link exists.
#pragma once
#include "kernel/types.h"

// Copies 12 bytes of the name of the autopilot's current target into pacDestStr (at least 12 bytes).
void T_VANTREL_vGetActiveStr(char *pacDestStr);
