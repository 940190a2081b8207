// Stand-in of the chart presentation's start-up: installs no icon or pattern tables yet.
#include "chartlib/plt_setup_standin.h"

ERRORCODE plt_InstallPatternsAndBitmaps(void) { return CL_SUCCESS; }
