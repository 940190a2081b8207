// Stand-in declarations of the navigation store's record copies that the menus use, until the store is written;
// the real header replaces this one.
#pragma once
#include "nav/nav_standin.h"
#include "navdata/nav_records.h"

enum : U32 { NAVDATA_WENDRIX_COUNT = NAV_WENDRIXS };

// Copy nothing for an index without a record (0xFFFF for routes, 50 or more for recorded paths).
void T_NAV_vCopyRoute(U32 nIndex, ROUTE *pRoute);
void T_NAV_vCopyWendrixHeader(U32 nIndex, WENDRIX_HEADER *pHeader);

// Test hooks of the stand-in.
void NAVDATA_STANDIN_vSetRouteName(U32 nIndex, const char *sName);
void NAVDATA_STANDIN_vSetWendrixName(U32 nIndex, const char *sName);
