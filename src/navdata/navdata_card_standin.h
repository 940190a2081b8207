// Stand-in declarations of the navigation store's card export and import, which the card task runs, until the
// store's card files are written.
#pragma once
#include "corvan/types.h"

void T_NAV_DATA_vExportAllTracksWaypointsRoutes(void);
void T_NAV_DATA_vExportSelectedTracksWaypointsRoutes(void);
// Asks whether to import the card's navigation data (not yet: logged only).
void T_NAV_DATA_vImportFromMMC(int nSlot);

// Tests: import offers since start, and the slot of the last one (-1 for none).
U32 NAVDATA_STANDIN_u32ImportsForTest(void);
int NAVDATA_STANDIN_nLastImportSlotForTest(void);
