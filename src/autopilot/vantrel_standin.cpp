// Stand-in of the autopilot link: no autopilot, so no target name and no motor to move.
#include "autopilot/vantrel_standin.h"

#include <cstring>

void T_VANTREL_vGetActiveStr(char *pacDestStr) { std::memset(pacDestStr, 0, 12); }
void U_VANTREL_vStowMotor(void) {}
void U_VANTREL_vDeployMotor(void) {}
void U_VANTREL_vPauseMotor(void) {}
