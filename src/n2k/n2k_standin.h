// Stand-in declaration of the NMEA 2000 data-source query the menus use, until the gauges subsystem is written.
#pragma once
#include "kernel/types.h"

// Whether the data source named by the context (the menu row's key) is present.
BOOLEAN GUI_bIsSourceAvailable(U32 context);
