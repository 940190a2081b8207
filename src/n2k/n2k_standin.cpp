// Stand-in: every data source counts as present until the NMEA 2000 sources exist.
#include "n2k/n2k_standin.h"

BOOLEAN GUI_bIsSourceAvailable(U32) { return TRUE; }
