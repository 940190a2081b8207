// Stand-in declarations of the autopilot link's calls used by the view and display tasks, until the autopilot
// link exists.
#pragma once
#include "kernel/types.h"

// Copies 12 bytes of the name of the autopilot's current target into pacDestStr (at least 12 bytes).
void T_VANTREL_vGetActiveStr(char *pacDestStr);
// Motor requests to the autopilot task.
void U_VANTREL_vStowMotor(void);
void U_VANTREL_vDeployMotor(void);
void U_VANTREL_vPauseMotor(void);
