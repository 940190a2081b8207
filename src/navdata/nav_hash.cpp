// Waypoint and route hashes.
#include "navdata/nav_hash.h"

#include <algorithm>
#include <cstring>

#include "util/crc16.h"

namespace {

bool bIsGroupSlot(U8 u8Status) {
  return u8Status == WP_STATUS_GROUP_HEADER || u8Status == WP_STATUS_GROUP_BODY;
}

// Counts from outside may exceed the link array.
U32 nLinks(const ROUTE &route) { return std::min<U32>(route.nCount, NAV_ROUTE_POINTS); }

}  // namespace

U16 T_NAV_TWR_u16HashWaypoint(const WAYPOINT *pWaypoint) {
  U8 au8Image[NAV_WAYPOINT_BYTES];
  NAV_vPackWaypoint(pWaypoint, au8Image);
  U16 u16Crc = 0;
  U_CRC16_vCrc16(&u16Crc, au8Image, sizeof au8Image, TRUE);
  return u16Crc;
}

void T_NAV_vUpdateWaypointHashTableItem(U32 index) {
  if (index >= NAV_WAYPOINT_SLOTS) return;
  const WAYPOINT &slot = NAV_pWaypointTable()[0][index];
  NAV_pDerivedTables()->au16WaypointHash[index] =
      slot.u8Status == WP_STATUS_FREE || bIsGroupSlot(slot.u8Status) ? 0 : T_NAV_TWR_u16HashWaypoint(&slot);
}

U16 *T_NAV_TWR_pu16GetWaypointsHash(void) { return NAV_pDerivedTables()->au16WaypointHash; }

U16 T_NAV_TWR_u16FindWaypointHash(U16 u16HashValu) {
  const S32 nTop = std::min<S32>(T_NAV_TWR_nGetMaxUsedWaypointIndex(0), NAV_WAYPOINT_SLOTS);
  for (S32 i = 0; i < nTop; ++i) {
    if (NAV_pDerivedTables()->au16WaypointHash[i] == u16HashValu) return static_cast<U16>(i);
  }
  return NAV_LINK_NONE;
}

U16 T_NAV_TWR_u16HashRoute(const ROUTE *pRoute) {
  const U32 u32Count = pRoute->nCount;
  U16 u16Crc = 0;
  U16 u16Word = static_cast<U16>((u32Count >> 16) & 0x3FFF);
  U_CRC16_vCrcU16HighLow(&u16Crc, &u16Word, TRUE);
  auto feed = [&u16Crc](U16 u16) { U_CRC16_vCrcU16HighLow(&u16Crc, &u16, FALSE); };
  feed(static_cast<U16>(u32Count));
  feed(static_cast<U16>(pRoute->u32DateTime >> 16));
  feed(static_cast<U16>(pRoute->u32DateTime));
  const U8 *pu8Name = reinterpret_cast<const U8 *>(pRoute->sName);
  for (U32 k = 0; k < sizeof pRoute->sName / 2; ++k) feed(static_cast<U16>(pu8Name[2 * k] << 8 | pu8Name[2 * k + 1]));
  for (U32 i = 0; i < nLinks(*pRoute); ++i) feed(pRoute->anWaypoint[i]);
  return u16Crc;
}

void T_NAV_vUpdateRouteHashTableItem(U32 index) {
  if (index >= NAV_ROUTES) return;
  NAV_pDerivedTables()->au16RouteHash[index] = T_NAV_TWR_u16HashRoute(&NAV_pRouteTable()[index]);
}

U16 T_NAV_TWR_u16FindRouteHash(U16 u16HashValu) {
  for (U32 i = 0; i < NAV_ROUTES; ++i) {
    if (NAV_pDerivedTables()->au16RouteHash[i] == u16HashValu) return static_cast<U16>(i);
  }
  return NAV_LINK_NONE;
}

U16 T_NAV_TWR_u16FindRoute(const ROUTE *pRoute) {
  const U16 u16Hash = T_NAV_TWR_u16HashRoute(pRoute);
  for (U32 i = 0; i < NAV_ROUTES; ++i) {
    const ROUTE &r = NAV_pRouteTable()[i];
    if (NAV_pDerivedTables()->au16RouteHash[i] != u16Hash || r.nCount != pRoute->nCount ||
        r.bRtNotShared != pRoute->bRtNotShared || r.u32DateTime != pRoute->u32DateTime ||
        std::memcmp(r.sName, pRoute->sName, sizeof r.sName) != 0 ||
        std::memcmp(r.anWaypoint, pRoute->anWaypoint, nLinks(r) * sizeof r.anWaypoint[0]) != 0) {
      continue;
    }
    return static_cast<U16>(i);
  }
  return NAV_LINK_NONE;
}

U16 T_NAV_u16FindRoute(const ROUTE *pRoute) { return T_NAV_TWR_u16FindRoute(pRoute); }
