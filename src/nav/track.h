// The breadcrumb-track record operations: add, walk and empty a track of 16-bit steps.
#pragma once
#include "navdata/nav_records.h"

typedef enum { TRACKPOINT_INVALID = 0, TRACKPOINT_NORMAL = 1, TRACKPOINT_GAP = 2 } TRACKPOINT_TYPE;

void U_NAV_vClearTrack(TRACK_HEADER *pTrackHeader);
void U_NAV_vAddTrackPoint(TRACK *pTrack, POINT ptNew, U16 u16Depth, BOOLEAN bGapPoint);
TRACKPOINT_TYPE U_NAV_eScanTrack(TRACK *pTrack, U16 *pu16Iterator, POINT *ppt, U16 *pu16Depth);
BOOLEAN U_NAV_bTrackDeltaIsGapPoint(const TRACK *pTrack, U16 nDeltaIndex);

// Mercator metres that 1,024 metres on the ground span at a northing (Mercator metres).
U16 U_NAV_u16ScalingMMPerKm(S32 nLatMM);
