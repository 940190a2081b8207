// Stand-ins until the side-looking ping, its menu and the simulator's returns are written.
#include "sonar/synthsim_standin.h"

#include "sonar/ping_task.h"

void vPerformSideScanPing(void) { T_N_PING_vPerformNullPing(); }
void vMenuSideScanFrequency(BOOLEAN) {}
float S_SYNTHSIM_fSynthesizeReturn(PING_DESCRIPTOR *) { return 0.0f; }
