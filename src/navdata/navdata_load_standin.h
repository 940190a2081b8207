// Stand-in of the store's start-up load until the whole store is written: the flash records come into the
// tables, the old waypoint records are rewritten and hashed; the route partition is left for later.
#pragma once
#include "corvan/types.h"

// Loads the whole store from flash; takes RES_NAV_DATA itself (the caller may hold it).
void T_NAV_vInitTracksWaypointsRoutes(void);

// Tests: loads since start, and what the last one found.
typedef struct {
  U32 u32Loads;
  S32 nWaypointSlots;
  S32 nTopWaypoint;
  S32 nRoutes;
  S32 nLockedRoutes;
  S32 nTracks;
  S32 nWendrixs;
  S32 nTopWendrix;
} NAVDATA_LOAD_STANDIN_RECORD;
NAVDATA_LOAD_STANDIN_RECORD NAVDATA_LOAD_STANDIN_tRecordForTest(void);
