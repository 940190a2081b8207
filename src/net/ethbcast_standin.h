// Stand-in of the broadcast instrument-data receiver's NMEA 2000 position until that task exists.
#pragma once
#include "corvan/types.h"

// TRUE with the last NMEA 2000 position when one is available; FALSE and nothing written otherwise.
BOOLEAN T_ETHBCAST_bFetctNMEA2kPosition(float *pfLat, float *pfLon);

// Tests: the position to report, or none.
void ETHBCAST_STANDIN_vSetPosition(BOOLEAN bAvailable, float fLat, float fLon);
