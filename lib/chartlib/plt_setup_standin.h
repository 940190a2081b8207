// Stand-in declaration of the chart presentation's start-up entry until the presentation is built.
#pragma once
#include "chartlib/chartlib_types.h"

ERRORCODE plt_InstallPatternsAndBitmaps(void);
