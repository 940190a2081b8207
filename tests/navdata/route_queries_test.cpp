// Route table queries: counts, the iterator, routes holding a waypoint, the last route from a start point and
// the check of a route offered for the one being navigated.
#include <gtest/gtest.h>

#include <cstring>

#include "nav/nav_standin.h"
#include "nav_fixture.h"
#include "navdata/nav_route_queries.h"
#include "navdata/nav_route_table.h"

namespace {

class RouteQueriesTest : public NavStoreTest {
 protected:
  void TearDown() override { std::memset(T_NAV_pGetCurrentRoute(), 0, sizeof(ROUTE)); }

  static ROUTE &route(U32 nSlot, U32 u32Date, std::initializer_list<U16> links, bool bLocked = false) {
    ROUTE &r = NAV_pRouteTable()[nSlot];
    r = ROUTE{};
    r.u32DateTime = u32Date;
    r.bRtNotShared = bLocked ? 1 : 0;
    for (U16 u16Link : links) r.anWaypoint[r.nCount++] = u16Link;
    std::snprintf(r.sName, sizeof r.sName, "Route %u", nSlot);
    return r;
  }
};

TEST_F(RouteQueriesTest, CountsAndIterator) {
  route(0, 1, {4, 5});
  route(3, 7, {}, true);  // a date and no points: in use, but holds no point
  route(6, 2, {5}, true);
  S16 nShared = 0, nLocked = 0, nFree = 0;
  T_NAV_vGetRouteStatus(&nShared, &nLocked, &nFree);
  EXPECT_EQ(nShared, 1);
  EXPECT_EQ(nLocked, 2);
  EXPECT_EQ(nFree, 47);
  EXPECT_EQ(T_NAV_TWR_u16GetMaxUsedRoute(), 7);
  NAV_pRouteTable()[6] = ROUTE{};
  EXPECT_EQ(T_NAV_TWR_u16GetMaxUsedRoute(), 1);  // slot 3 has no points
  NAV_pRouteTable()[0] = ROUTE{};
  EXPECT_EQ(T_NAV_TWR_u16GetMaxUsedRoute(), 0);

  S32 nIndex = -1;
  ROUTE *pRoute = nullptr;
  int nVisited = 0;
  while (T_NAV_bScanRoutes(&nIndex, &pRoute)) {
    EXPECT_EQ(pRoute, T_NAV_pGetRoute(static_cast<U32>(nVisited)));
    ++nVisited;
  }
  EXPECT_EQ(nVisited, 50);
  nIndex = 49;
  EXPECT_FALSE(T_NAV_bScanRoutes(&nIndex, &pRoute));
  nIndex = -7;
  EXPECT_FALSE(T_NAV_bScanRoutes(&nIndex, &pRoute));
}

TEST_F(RouteQueriesTest, RoutesHoldingAWaypoint) {
  route(0, 5, {8, 9});
  route(1, 9, {1, 9}, true);
  route(2, 7, {9});
  ROUTE &beyond = route(4, 20, {3});
  beyond.anWaypoint[1] = 9;  // past its count: no point of the route
  EXPECT_TRUE(T_NAV_bWaypointUsedInRoute(9, &NAV_pRouteTable()[1]));
  EXPECT_FALSE(T_NAV_bWaypointUsedInRoute(9, &beyond));
  EXPECT_TRUE(T_NAV_bWaypointUsedInSavedRoute(8));
  EXPECT_FALSE(T_NAV_bWaypointUsedInSavedRoute(2));
  EXPECT_TRUE(T_NAV_TWR_bIsWaypointInSharedRoute(9));
  EXPECT_FALSE(T_NAV_TWR_bIsWaypointInSharedRoute(1));  // only in the locked route
  EXPECT_TRUE(T_NAV_TWR_bIsRouteShared(0));
  EXPECT_FALSE(T_NAV_TWR_bIsRouteShared(1));
  EXPECT_FALSE(T_NAV_TWR_bIsRouteShared(50));

  S32 list[5];
  EXPECT_EQ(T_NAV_vGetRoutesUsingWaypoint(9, list), 3);
  EXPECT_EQ(std::vector<S32>(list, list + 5), (std::vector<S32>{1, 2, 0, -1, -1}));

  // Seven routes of one date keep slot order in the first four places; a later one takes the last place.
  for (U32 i = 10; i < 17; ++i) route(i, 3, {40});
  EXPECT_EQ(T_NAV_vGetRoutesUsingWaypoint(40, list), 5);
  EXPECT_EQ(std::vector<S32>(list, list + 5), (std::vector<S32>{10, 11, 12, 13, 16}));
  route(17, 4, {40});
  T_NAV_vGetRoutesUsingWaypoint(40, list);
  EXPECT_EQ(list[0], 17);
}

TEST_F(RouteQueriesTest, LastRouteStartingAtAWaypoint) {
  route(2, 5, {7, 1});
  route(4, 8, {7});
  route(5, 8, {7});  // same date: the lower slot stays
  route(6, 9, {7}).bHide = 1;
  route(8, 9, {6, 7});
  EXPECT_EQ(T_NAV_TWR_s32GetIndexOfLastRouteStartingAt(7), 4);
  char sName[20];
  ASSERT_TRUE(T_NAV_TWR_bGetNameOfLastRouteStartingAt(7, sName));
  EXPECT_STREQ(sName, "Route 4");
  EXPECT_EQ(T_NAV_TWR_s32GetIndexOfLastRouteStartingAt(1), -1);
  EXPECT_FALSE(T_NAV_TWR_bGetNameOfLastRouteStartingAt(1, sName));
  EXPECT_EQ(T_NAV_TWR_s32GetIndexOfLastRouteStartingAt(0xFFFF), -1);
}

TEST_F(RouteQueriesTest, OfferedRouteAgainstTheNavigatedOne) {
  // The navigated route: its origin, then temporary copies of waypoints 1-3 in slots 11-13.
  ROUTE &current = *T_NAV_pGetCurrentRoute();
  current = ROUTE{};
  current.nCount = 4;
  current.anWaypoint[0] = 10;
  for (U16 i = 1; i <= 3; ++i) {
    NAV_pWaypointTable()[0][i] = waypoint("Point", 100 * i, 5);
    NAV_pWaypointTable()[0][10 + i] = NAV_pWaypointTable()[0][i];
    NAV_pWaypointTable()[0][10 + i].u8Status = WP_STATUS_TEMPORARY;
    current.anWaypoint[i] = static_cast<U16>(10 + i);
  }
  NAV_pWaypointTable()[0][10] = waypoint("Origin", 1, 1);
  ROUTE offered{};
  offered.nCount = 3;
  for (U16 i = 0; i < 3; ++i) offered.anWaypoint[i] = static_cast<U16>(i + 1);
  EXPECT_TRUE(T_NAV_bCheckCurrentRoute(&offered));
  EXPECT_EQ(NAV_pWaypointTable()[0][12].u8Status, WP_STATUS_TEMPORARY);

  NAV_pWaypointTable()[0][2].pt.x += 1;
  EXPECT_FALSE(T_NAV_bCheckCurrentRoute(&offered));
  // A navigated point that is not temporary is not compared.
  NAV_pWaypointTable()[0][12].u8Status = WP_STATUS_NORMAL;
  EXPECT_TRUE(T_NAV_bCheckCurrentRoute(&offered));
  // Other counts give no verdict against the offer.
  offered.nCount = 2;
  NAV_pWaypointTable()[0][12].u8Status = WP_STATUS_TEMPORARY;
  EXPECT_TRUE(T_NAV_bCheckCurrentRoute(&offered));
  // A point that names no waypoint differs from a navigated one.
  offered.nCount = 3;
  NAV_pWaypointTable()[0][2].pt.x -= 1;
  offered.anWaypoint[2] = 0xFFFF;
  EXPECT_FALSE(T_NAV_bCheckCurrentRoute(&offered));
}

TEST_F(RouteQueriesTest, CopyOfAStoredRoute) {
  route(49, 3, {1, 2, 3});
  ROUTE copy{};
  T_NAV_vCopyRoute(49, &copy);
  EXPECT_EQ(std::memcmp(&copy, &NAV_pRouteTable()[49], sizeof copy), 0);
  copy.u32DateTime = 77;
  for (U32 nIndex : {50u, 0xFFFFu}) {  // nothing copied
    T_NAV_vCopyRoute(nIndex, &copy);
    EXPECT_EQ(copy.u32DateTime, 77u);
  }
}

}  // namespace
