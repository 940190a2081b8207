#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>

#include "chartlib/nav/nv_navig.h"
#include "reference_tool.h"

namespace {

POINT Grid(double lat, double lon) {
  const POSITION p = {lat, lon};
  POINT pt = {0, 0};
  EXPECT_EQ(nv_DegrToMeter(&p, &pt), CL_SUCCESS) << lat << " " << lon;
  return pt;
}

POSITION Degrees(const POINT &pt) {
  POSITION p = {0, 0};
  EXPECT_EQ(nv_MeterToDegr(&pt, &p), CL_SUCCESS) << pt.x << " " << pt.y;
  return p;
}

double AngleGap(double a, double b) { return std::fabs(nv_Coangle(a - b)); }

TEST(RouteAngle, CompassPointsDateLineAndChecks) {
  const struct {
    POINT from, to;
    ERRORCODE result;
    double course;
  } cases[] = {
      {{1000, 1000}, {1000, 500000}, CL_SUCCESS, 0.0},     // up a meridian
      {{1000, 1000}, {1000, -500000}, CL_SUCCESS, 180.0},
      {{1000, 1000}, {500000, 1000}, CL_SUCCESS, 90.0},    // along a parallel
      {{1000, 1000}, {-500000, 1000}, CL_SUCCESS, 270.0},
      {{20000000, 0}, {-20000000, 0}, CL_SUCCESS, 90.0},   // east across the date line
      {{-20000000, 5}, {20000000, 5}, CL_SUCCESS, 270.0},
      {{-20000000, 0}, {20000000, 100000}, CL_SUCCESS, 322.55},  // west across it: dx -76,600
      {{0, 0}, {100, 100}, CL_SUCCESS, 45.0},
      {{0, 0}, {100, -100}, CL_SUCCESS, 135.0},
      {{0, 0}, {-100, -100}, CL_SUCCESS, 225.0},
      {{0, 0}, {-100, 100}, CL_SUCCESS, 315.0},
      {{777, -777}, {777, -777}, NV_WARN_SAME_POINT, 0.0},
      {{0, 15433199}, {0, 0}, CL_SUCCESS, 180.0},          // the course check allows one metre more
      {{0, 15433200}, {0, 0}, NV_ERR_POINT, 0.0},
      {{0, 0}, {-20038301, 0}, NV_ERR_POINT, 0.0},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(::testing::Message() << c.from.x << "," << c.from.y << " -> " << c.to.x << "," << c.to.y);
    double course = 99.0;
    EXPECT_EQ(nv_RouteAngle(&c.from, &c.to, &course), c.result);
    EXPECT_LT(AngleGap(course, c.course), c.course == 322.55 ? 0.01 : 1e-6);
    EXPECT_GE(course, 0.0);
    EXPECT_LT(course, 360.0);
  }
  // Positions: a projection error comes back with course 0.
  const POSITION ok = {10.0, 10.0}, bad = {81.0, 0.0};
  double course = 99.0;
  EXPECT_EQ(nv_GeoRouteAngle(&ok, &bad, &course), NV_ERR_LATITUDE);
  EXPECT_EQ(course, 0.0);
  const POSITION far_east = {10.0, 181.0};
  course = 99.0;
  EXPECT_EQ(nv_GeoRouteAngle(&far_east, &ok, &course), NV_ERR_LONGITUDE);
  EXPECT_EQ(course, 0.0);
}

TEST(CalcDistance, RulesAndChecks) {
  // 88 degrees takes the longitude rule, 84 the latitude rule.
  const POSITION a = {0.0, 0.0}, b = {1.0, 10.0};
  double d = -1.0;
  ASSERT_EQ(nv_CalcDistance(&a, &b, 88.0, &d), CL_SUCCESS);
  EXPECT_NEAR(d, 600.0 / std::sin(88.0 * M_PI / 180) * std::cos(0.5 * M_PI / 180), 1e-6);
  ASSERT_EQ(nv_CalcDistance(&a, &b, 84.0, &d), CL_SUCCESS);
  EXPECT_NEAR(d, 60.0 / std::cos(84.0 * M_PI / 180), 1e-6);
  // Across the date line the short longitude difference counts.
  const POSITION w = {0.0, 179.5}, e = {0.0, -179.5};
  ASSERT_EQ(nv_CalcDistance(&w, &e, 90.0, &d), CL_SUCCESS);
  EXPECT_NEAR(d, 60.0, 1e-9);

  const struct {
    POSITION from, to;
    double course;
    ERRORCODE result;
  } bad[] = {
      {{80.1, 0}, {0, 200}, 400, NV_ERR_LATITUDE},
      {{0, 0}, {-80.1, 200}, 400, NV_ERR_LATITUDE},
      {{0, 180.1}, {0, 0}, 400, NV_ERR_LONGITUDE},
      {{0, 0}, {0, -180.1}, 400, NV_ERR_LONGITUDE},
      {{0, 0}, {1, 1}, 360.5, NV_ERR_ANGLE},
      {{0, 0}, {1, 1}, std::nan(""), NV_ERR_ANGLE},
  };
  for (const auto &c : bad) {
    d = -1.0;
    EXPECT_EQ(nv_CalcDistance(&c.from, &c.to, c.course, &d), c.result);
    EXPECT_EQ(d, 0.0);
  }
}

// On a sphere on which one minute of latitude is one nautical mile, the rhumb line of GeographicLib.
TEST(CalcDistance, MatchesRhumbSolve) {
  struct Pair {
    POSITION from, to;
  };
  std::vector<Pair> pairs;
  Uniform u(2024);
  while (pairs.size() < 1000) {
    const double lat = u(-75.0, 75.0), lon = u(-180.0, 180.0);
    const double lat2 = lat + u(-3.0, 3.0);
    const double lon2 = nv_Coangle(lon + u(-3.0, 3.0));
    if (std::fabs(lat2) > 76.0 || (std::fabs(lat2 - lat) < 1e-3 && AngleGap(lon2, lon) < 1e-3)) continue;
    pairs.push_back({{lat, lon}, {lat2, lon2}});
  }
  pairs.push_back({{10.0, 179.0}, {11.0, -179.0}});  // date line, both ways
  pairs.push_back({{-20.0, -179.5}, {-21.0, 178.5}});
  pairs.push_back({{30.0, 20.0}, {30.0, 23.0}});      // due east
  pairs.push_back({{30.0, 20.0}, {27.0, 20.0}});      // due south
  std::ostringstream in;
  in.precision(17);
  for (const Pair &p : pairs) in << p.from.lat << ' ' << p.from.lon << ' ' << p.to.lat << ' ' << p.to.lon << '\n';
  const std::vector<std::string> out = RunReference("RhumbSolve -i -e 6366707.0195 0 -p 9", in.str());
  ASSERT_EQ(out.size(), pairs.size());
  double worst_course = 0.0;
  for (size_t i = 0; i < pairs.size(); ++i) {
    const Pair &p = pairs[i];
    SCOPED_TRACE(::testing::Message() << p.from.lat << " " << p.from.lon << " -> " << p.to.lat << " " << p.to.lon);
    double azi, s12;
    ASSERT_EQ(std::sscanf(out[i].c_str(), "%lf %lf", &azi, &s12), 2) << out[i];
    azi = nv_RoundTo360(azi);
    double d;
    ASSERT_EQ(nv_CalcDistance(&p.from, &p.to, azi, &d), CL_SUCCESS);
    EXPECT_NEAR(d / (s12 / 1852.0), 1.0, 1e-5);
    double course;
    ASSERT_EQ(nv_GeoRouteAngle(&p.from, &p.to, &course), CL_SUCCESS);
    EXPECT_LT(AngleGap(course, azi), 0.25);
    worst_course = std::max(worst_course, AngleGap(course, azi));
  }
  RecordProperty("worst_course_degrees", std::to_string(worst_course));
}

TEST(CalcRngBrg, RangeBearingAndVariation) {
  const POINT a = Grid(0.0, 0.0), b = Grid(1.0, 0.0), c = Grid(0.0, 1.0);
  POLAR out = {-1, -1};
  ASSERT_EQ(nv_CalcRngBrg(&a, &b, 10.0, &out), CL_SUCCESS);
  EXPECT_NEAR(out.Range, 60.0, 1e-3);
  EXPECT_NEAR(out.Bearing, 350.0, 1e-6);
  ASSERT_EQ(nv_CalcRngBrg(&a, &c, -5.0, &out), CL_SUCCESS);
  EXPECT_NEAR(out.Range, 60.0, 1e-3);  // along the equator by the longitude rule
  EXPECT_NEAR(out.Bearing, 95.0, 1e-6);
  EXPECT_EQ(nv_CalcRngBrg(&a, &a, 0.0, &out), NV_WARN_SAME_POINT);
  EXPECT_EQ(out.Range, 0.0);

  out = {-1, -1};
  EXPECT_EQ(nv_CalcRngBrg(&a, &b, 360.5, &out), NV_ERR_ANGLE);
  const POINT off = {0, 15433200}, high = {0, 15433199};
  EXPECT_EQ(nv_CalcRngBrg(&a, &off, 0.0, &out), NV_ERR_POINT);
  EXPECT_EQ(nv_CalcRngBrg(&a, &high, 0.0, &out), NV_ERR_LATITUDE);  // passes the course, not the inverse
  EXPECT_EQ(out.Range, -1.0);
}

TEST(Midpoint, DateLineAndChecks) {
  const struct {
    double lon_a, lon_b, lon;
  } cases[] = {
      {179.0, -179.0, 180.0}, {-179.0, 179.0, 180.0}, {10.0, -10.0, 0.0},
      {170.0, 20.0, 95.0},    {-100.0, 90.0, 175.0},  // 170 apart the short way, across the date line
      {0.0, -179.0, -89.5},   // 0 is not east
  };
  for (const auto &c : cases) {
    const POSITION a = {10.0, c.lon_a}, b = {20.0, c.lon_b};
    POSITION m;
    ASSERT_EQ(nv_MiddlePosition(&a, &b, &m), CL_SUCCESS);
    EXPECT_EQ(m.lat, 15.0);
    EXPECT_NEAR(std::fabs(c.lon) == 180.0 ? std::fabs(m.lon) : m.lon, c.lon, 1e-9) << c.lon_a << " " << c.lon_b;
  }
  const POSITION ok = {0, 0}, bad_lat = {-80.5, 0}, bad_lon = {0, 181};
  POSITION m = {7, 7};
  EXPECT_EQ(nv_MiddlePosition(&ok, &bad_lat, &m), NV_ERR_LATITUDE);
  EXPECT_EQ(nv_MiddlePosition(&bad_lon, &bad_lat, &m), NV_ERR_LONGITUDE);  // a is tested first
  EXPECT_EQ(m.lat, 7.0);

  // Mercator points across the date line meet at the 180-degree meridian.
  const POINT pa = {20000000, 1000000}, pb = {-20000000, 3000000};
  POINT pm;
  ASSERT_EQ(nv_MiddleMMPosition(&pa, &pb, &pm), CL_SUCCESS);
  EXPECT_EQ(std::abs(pm.x), 20038297);
  EXPECT_NEAR(Degrees(pm).lat, (Degrees(pa).lat + Degrees(pb).lat) / 2, 1e-5);
  const POINT bad_y = {0, 15433199}, bad_x = {20038301, 0};
  EXPECT_EQ(nv_MiddleMMPosition(&pa, &bad_y, &pm), NV_ERR_LATITUDE);
  EXPECT_EQ(nv_MiddleMMPosition(&bad_x, &bad_y, &pm), NV_ERR_LONGITUDE);
}

TEST(PolarToGeographic, BearingsAndChecks) {
  const POINT start = Grid(10.0, 20.0);
  const struct {
    double bearing;
    double dlat, dlon;  // expected direction of the move
  } moves[] = {
      {0.0, 1, 0}, {360.0, 1, 0}, {90.0, 0, 1}, {180.0, -1, 0}, {270.0, 0, -1},
      {45.0, 1, 1}, {135.0, -1, 1}, {225.0, -1, -1}, {315.0, 1, -1},
      {-90.0, 0, -1}, {-45.0, 1, -1}, {-360.0, 1, 0},  // west of north, taken round the circle
  };
  for (const auto &m : moves) {
    SCOPED_TRACE(m.bearing);
    POINT end;
    ASSERT_EQ(nv_PolarToGeographic(start, POLAR{60.0, m.bearing}, &end), CL_SUCCESS);
    const POSITION p = Degrees(end), s = Degrees(start);
    const double lat_step = std::fabs(m.dlat) * (m.dlon != 0 ? std::sqrt(0.5) : 1.0);
    EXPECT_NEAR(p.lat - s.lat, m.dlat * lat_step, 1e-4);
    const double lon_step = std::fabs(m.dlon) * (m.dlat != 0 ? std::sqrt(0.5) : 1.0);
    EXPECT_NEAR((p.lon - s.lon) * std::cos((p.lat + s.lat) / 2 * M_PI / 180), m.dlon * lon_step, 1e-4);
    // The way back by the course between the points.
    double course;
    ASSERT_EQ(nv_RouteAngle(&start, &end, &course), CL_SUCCESS);
    EXPECT_LT(AngleGap(course, m.bearing), 0.2);
  }
  // Eastward over the date line.
  POINT end;
  ASSERT_EQ(nv_PolarToGeographic(Grid(0.0, 179.5), POLAR{60.0, 90.0}, &end), CL_SUCCESS);
  EXPECT_NEAR(Degrees(end).lon, -179.5, 1e-5);

  const struct {
    POINT start;
    POLAR polar;
    ERRORCODE result;
  } bad[] = {
      {{0, 15433200}, {1, 0}, NV_ERR_LATITUDE},
      {{20038301, 0}, {1, 0}, NV_ERR_LONGITUDE},
      {{0, 0}, {1, 360.5}, NV_ERR_ANGLE},
      {{0, 0}, {1, -360.5}, NV_ERR_ANGLE},
      {{0, 0}, {-0.1, 0}, NV_ERR_DISTANCE},
      {{0, 0}, {21600.5, 0}, NV_ERR_DISTANCE},
      {{0, 0}, {std::nan(""), 0}, NV_ERR_DISTANCE},
      {{0, 15433199}, {1, 0}, NV_ERR_LATITUDE},  // through the inverse projection
      {Grid(79.0, 0), {120, 0}, NV_ERR_LATITUDE},  // the end lies beyond 80
  };
  for (const auto &c : bad) {
    POINT out = {5, 5};
    EXPECT_EQ(nv_PolarToGeographic(c.start, c.polar, &out), c.result) << c.start.y << " " << c.polar.Range;
  }
}

TEST(CenteredSquare, CornersAndOrder) {
  POINT ll, ur;
  ASSERT_EQ(nv_CenteredSquare(Grid(0.0, 0.0), 60.0, &ll, &ur), CL_SUCCESS);
  const POSITION a = Degrees(ll), b = Degrees(ur);
  EXPECT_NEAR(a.lat, -1.0, 1e-5);
  EXPECT_NEAR(a.lon, -1.0, 1e-5);  // no cosine correction
  EXPECT_NEAR(b.lat, 1.0, 1e-5);
  EXPECT_NEAR(b.lon, 1.0, 1e-5);
  // Across the date line.
  ASSERT_EQ(nv_CenteredSquare(Grid(50.0, 179.9), 30.0, &ll, &ur), CL_SUCCESS);
  EXPECT_NEAR(Degrees(ur).lon, -179.6, 1e-5);
  // The upper right is projected only after the lower left succeeded.
  ur = POINT{5, 5};
  EXPECT_EQ(nv_CenteredSquare(Grid(-79.5, 0.0), 60.0, &ll, &ur), NV_ERR_LATITUDE);
  EXPECT_EQ(ll.y, 0);
  EXPECT_EQ(ur.x, 5);
  EXPECT_EQ(ur.y, 5);
  EXPECT_EQ(nv_CenteredSquare(Grid(79.5, 0.0), 60.0, &ll, &ur), NV_ERR_LATITUDE);
  EXPECT_EQ(ur.y, 0);
  EXPECT_EQ(nv_CenteredSquare(POINT{0, 15433200}, 1.0, &ll, &ur), NV_ERR_LATITUDE);
  EXPECT_EQ(nv_CenteredSquare(POINT{-20038301, 0}, 1.0, &ll, &ur), NV_ERR_LONGITUDE);
  EXPECT_EQ(nv_CenteredSquare(POINT{0, 0}, -1.0, &ll, &ur), NV_ERR_DISTANCE);
  EXPECT_EQ(nv_CenteredSquare(POINT{0, 0}, 21601.0, &ll, &ur), NV_ERR_DISTANCE);
}

TEST(NavValues, DistCorrectionSessToDecmExpOfTwo) {
  const struct {
    double lat;
    ERRORCODE result;
    double factor;
  } corr[] = {{0.0, CL_SUCCESS, 1.0015}, {45.5, CL_SUCCESS, 0.6926}, {-45.49, CL_SUCCESS, 0.7051},
              {80.0, CL_SUCCESS, 0.1707}, {79.6, CL_SUCCESS, 0.1707}, {80.01, NV_ERR_LATITUDE, 0.0},
              {std::nan(""), NV_ERR_LATITUDE, 0.0}};
  for (const auto &c : corr) {
    double f = -1;
    EXPECT_EQ(nv_DistCorrection(c.lat, &f), c.result) << c.lat;
    EXPECT_EQ(f, c.factor) << c.lat;
  }

  const struct {
    SINT d, m, s;
    ERRORCODE result;
    double value;
  } sess[] = {
      {360, 0, 0, CL_SUCCESS, 360.0},  {360, 1, 0, NV_ERR_ANGLE, 0.0},  {360, 0, 1, NV_ERR_ANGLE, 0.0},
      {-10, 30, 0, CL_SUCCESS, -10.5}, {10, -30, 0, CL_SUCCESS, -10.5}, {0, 0, -36, CL_SUCCESS, -0.01},
      {12, 59, 59, CL_SUCCESS, 12.0 + 59 / 60.0 + 59 / 3600.0},         {361, 0, 0, NV_ERR_ANGLE, 0.0},
      {0, 60, 0, NV_ERR_ANGLE, 0.0},   {0, 0, 60, NV_ERR_ANGLE, 0.0},
      {-2147483647 - 1, 0, 0, NV_ERR_ANGLE, 0.0},
  };
  for (const auto &c : sess) {
    double v = -1;
    EXPECT_EQ(nv_SessToDecm(c.d, c.m, c.s, &v), c.result) << c.d << " " << c.m << " " << c.s;
    EXPECT_NEAR(v, c.value, 1e-12) << c.d << " " << c.m << " " << c.s;
  }

  const struct {
    SINT in, out;
  } exp2[] = {{3, 2}, {0, 0}, {-8, 0}, {1, 0}, {2, 1}, {5, 2}, {6, 3}, {1024, 10}, {2147483647, 31}};
  for (const auto &c : exp2) {
    SINT out = -1;
    EXPECT_EQ(nv_ExpOfTwo(c.in, &out), CL_SUCCESS);
    EXPECT_EQ(out, c.out) << c.in;
  }
}

TEST(NavValues, TimeToGoAndFuel) {
  const struct {
    double distance, speed;
    ERRORCODE result;
    SINT h;
    int m, s;
  } ttg[] = {
      {10.0, 4.0, CL_SUCCESS, 2, 30, 0},
      {10.0, -4.0, CL_SUCCESS, 2, 30, 0},  // the speed's magnitude
      {10.0, 0.05, NV_WARN_SPEED, 0, 0, 0},
      {-1.0, 4.0, NV_ERR_DISTANCE, 0, 0, 0},
      {0.0, 4.0, CL_SUCCESS, 0, 0, 0},
      {1.0, 7.0, CL_SUCCESS, 0, 8, 34},
      {30000.0, 10.0, NV_WARN_DISTANCE, 3000, 0, 0},
      {1e300, 0.1, NV_WARN_DISTANCE, 2147483647, 0, 0},  // more hours than the count holds
      {std::nan(""), 4.0, NV_ERR_DISTANCE, 0, 0, 0},
  };
  for (const auto &c : ttg) {
    TIMETOGO t = {7, 7, 7};
    EXPECT_EQ(nv_CalcTimeToGo(&c.distance, c.speed, &t), c.result) << c.distance << " at " << c.speed;
    EXPECT_EQ(t.Hours, c.h) << c.distance << " at " << c.speed;
    EXPECT_EQ(t.Minutes, c.m) << c.distance << " at " << c.speed;
    EXPECT_EQ(t.Seconds, c.s) << c.distance << " at " << c.speed;
  }

  const struct {
    double distance, speed, rate;
    ERRORCODE result;
    double fuel;
  } fuel[] = {
      {100.0, 10.0, 20.0, CL_SUCCESS, 38.0},  // 20 x 0.19 x 10 h
      {100.0, -10.0, 21.0, CL_SUCCESS, 40.0},  // 39.9 rounded
      {-1.0, 0.0, 0.0, NV_ERR_DISTANCE, 0.0},
      {100.0, 0.0, 20.0, NV_WARN_SPEED, 0.0},
      {100.0, 10.0, 0.0, NV_ERR_RATE, 0.0},
      {22000.0, 10.0, 1.0, NV_WARN_DISTANCE, 418.0},
  };
  for (const auto &c : fuel) {
    double f = -1;
    EXPECT_EQ(nv_DieselConsumption(c.distance, c.speed, c.rate, &f), c.result) << c.distance;
    EXPECT_EQ(f, c.fuel) << c.distance;
  }
}

TEST(NavValues, AppWind) {
  const struct {
    double rel, speed, heading, own;
    double res_speed, res_angle, res_dir;
  } cases[] = {
      {45.0, 0.0, 100.0, 6.0, 6.0, 0.0, 100.0},         // no relative motion
      {45.9, 5.0, 350.0, 0.0, 5.0, 45.0, 35.0},          // no own motion; angle truncated
      {270.0, 5.0, 10.0, 0.0, 5.0, -90.0, 280.0},        // above 180 counts to port
      {90.0, 10.0, 0.0, 10.0, std::sqrt(200.0), 45.0, 45.0},
      {-30.0, 4.0, 200.0, 8.0, 11.6373, -9.0, 191.0},
      {170.0, 10.0, 0.0, 5.0, 5.14968, 160.0, 160.0},     // the sum points astern
      {-170.0, 10.0, 90.0, 5.0, 5.14968, -160.0, 290.0},
  };
  for (const auto &c : cases) {
    double s, a, d;
    EXPECT_EQ(nv_CalcAppWind(c.rel, c.speed, c.heading, c.own, &s, &a, &d), CL_SUCCESS);
    EXPECT_NEAR(s, c.res_speed, 1e-4) << c.rel;
    EXPECT_EQ(a, c.res_angle) << c.rel;
    EXPECT_NEAR(d, c.res_dir, 1e-9) << c.rel;
  }
}

TEST(NavValues, AnglesAndUnits) {
  const struct {
    double in, coangle, round360;
  } angles[] = {{0, 0, 0}, {180, 180, 180}, {181, -179, 181}, {-181, 179, 179},
                {-180, -180, 180}, {725, 5, 5}, {-725, -5, 355}, {359.5, -0.5, 359.5}};
  for (const auto &c : angles) {
    EXPECT_DOUBLE_EQ(nv_Coangle(c.in), c.coangle) << c.in;
    EXPECT_DOUBLE_EQ(nv_RoundTo360(c.in), c.round360) << c.in;
  }
  EXPECT_DOUBLE_EQ(nv_MagHead(5.0, 10.0), 355.0);
  EXPECT_DOUBLE_EQ(nv_TrueHead(355.0, 10.0), 5.0);

  // The library's own factors, not the standard ones.
  const struct {
    DOUBLE (*fn)(DOUBLE, SINT);
    double there, back;
  } units[] = {
      {nv_FeetMeters, 3.280839895, 0.3048000000012192},
      {nv_FathomsMeters, 0.54701999, 1.8280867578532185},
      {nv_NMilesKilometers, 1.8522700032, 0.5398780945933315},
      {nv_NMilesTMiles, 1.1511900425, 0.8686663045037588},
      {nv_LitersGallons, 3.78501, 0.26420009458363386},
  };
  for (const auto &u : units) {
    EXPECT_EQ(u.fn(2.0, 0), 2.0 * u.there);
    EXPECT_EQ(u.fn(2.0, 1), 2.0 * u.back);
    EXPECT_EQ(u.fn(2.0, -3), 2.0 * u.back);
  }
}

}  // namespace
