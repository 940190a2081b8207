// Stand-in declarations of the chart display's start-up entries until the chart display is built.
#pragma once

void U_CHART_CACHE_vInit(void);
void T_CHART_3D_vInitImageToolkit(void);
