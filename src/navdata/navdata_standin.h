// Stand-in declarations of the navigation store's record copies that the menus use, until the store is written;
// the real header replaces this one.
#pragma once
#include "nav/nav_standin.h"
#include "navdata/nav_records.h"
#include "navdata/nav_route_table.h"

enum : U32 { NAVDATA_WENDRIX_COUNT = NAV_WENDRIXS };

// Copies nothing for an index without a record (50 or more).
void T_NAV_vCopyWendrixHeader(U32 nIndex, WENDRIX_HEADER *pHeader);

// Test hooks: a route's name in the store, a recorded path's name in the stand-in.
void NAVDATA_STANDIN_vSetRouteName(U32 nIndex, const char *sName);
void NAVDATA_STANDIN_vSetWendrixName(U32 nIndex, const char *sName);
