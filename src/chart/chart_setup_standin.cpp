// Stand-in of the chart display's start-up entries: the block cache and the 3-D image toolkit come with the
// chart display; until then there is nothing to prepare.
#include "chart/chart_setup_standin.h"

void U_CHART_CACHE_vInit(void) {}
void T_CHART_3D_vInitImageToolkit(void) {}
