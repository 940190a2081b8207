// CRC-16 hashes of own waypoint slots and routes, and the lookups by hash.
#pragma once
#include "navdata/nav_records.h"

// CRC-16 of the slot's 28-byte image.
U16 T_NAV_TWR_u16HashWaypoint(const WAYPOINT *pWaypoint);
// Stores own slot index's hash; 0 for a free slot or a group slot.
void T_NAV_vUpdateWaypointHashTableItem(U32 index);
U16 *T_NAV_TWR_pu16GetWaypointsHash(void);
// The lowest own slot below the top index with that hash, else 0xFFFF.
U16 T_NAV_TWR_u16FindWaypointHash(U16 u16HashValu);

// The route hash: count, date, name and point links; the hide and lock bits are left out.
U16 T_NAV_TWR_u16HashRoute(const ROUTE *pRoute);
void T_NAV_vUpdateRouteHashTableItem(U32 index);
// The lowest slot whose stored hash equals the value, else 0xFFFF.
U16 T_NAV_TWR_u16FindRouteHash(U16 u16HashValu);
// The lowest slot holding the same route (hash, count, lock bit, date, links, name), else 0xFFFF.
U16 T_NAV_TWR_u16FindRoute(const ROUTE *pRoute);
U16 T_NAV_u16FindRoute(const ROUTE *pRoute);
