#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <sstream>
#include <string>

#include "chartlib/nav/nv_navig.h"
#include "reference_tool.h"

namespace {

// The grid's model: a sphere of R = 6,378,388 m over the geocentric latitude with 1 - e^2 = 0.9932811555305968.
const std::string kPipeline =
    " +proj=pipeline +step +proj=geoc +a=6378388 +es=0.0067188444694032 +step +proj=merc +R=6378388";
constexpr POINT kUntouched = {123456, -654321};

struct Forward {
  double lat, lon;
  ERRORCODE result;
  SLONG x, y;  // x kUntouched.x: not written
};

TEST(Projection, ForwardEdges) {
  const Forward cases[] = {
      {0.0, 0.0, CL_SUCCESS, 0, 0},
      {0.0, 180.0, CL_SUCCESS, 20038297, 0},  // rounded, not the clamp value
      {0.0, -180.0, CL_SUCCESS, -20038297, 0},
      {80.000001, 10.0, NV_ERR_LATITUDE, kUntouched.x, 0},
      {-80.000001, 10.0, NV_ERR_LATITUDE, kUntouched.x, 0},
      {0.0, 180.5, NV_ERR_LONGITUDE, 0, 0},
      {45.0, -180.000001, NV_ERR_LONGITUDE, 0, 5591388},  // y of the first step stays
      {std::nan(""), 0.0, NV_ERR_LATITUDE, kUntouched.x, 0},
      {0.0, std::nan(""), NV_ERR_LONGITUDE, 0, 0},
  };
  for (const Forward &c : cases) {
    SCOPED_TRACE(::testing::Message() << c.lat << " " << c.lon);
    const POSITION pos = {c.lat, c.lon};
    POINT pt = kUntouched;
    EXPECT_EQ(nv_DegrToMeter(&pos, &pt), c.result);
    EXPECT_EQ(pt.x, c.x);
    EXPECT_EQ(pt.y, c.y);
  }
  // Latitude 80 itself is accepted, at either pole.
  for (double lat : {80.0, -80.0}) {
    const POSITION pos = {lat, 0.0};
    POINT pt = kUntouched;
    EXPECT_EQ(nv_DegrToMeter(&pos, &pt), CL_SUCCESS);
    EXPECT_EQ(pt.y, lat > 0 ? 15496980 : -15496980);
  }
}

struct Inverse {
  SLONG x, y;
  ERRORCODE result;
  double lat, lon;  // lon 99: not written
};

TEST(Projection, InverseEdges) {
  const Inverse cases[] = {
      {0, 0, CL_SUCCESS, 0.0, 0.0},
      {20038300, 0, CL_SUCCESS, 0.0, 180.0},  // limited to 180
      {-20038300, 0, CL_SUCCESS, 0.0, -180.0},
      {0, 15433199, NV_ERR_LATITUDE, 0.0, 99.0},
      {0, -15433199, NV_ERR_LATITUDE, 0.0, 99.0},
      {0, std::numeric_limits<SLONG>::min(), NV_ERR_LATITUDE, 0.0, 99.0},
      {20038301, 0, NV_ERR_LONGITUDE, 0.0, 0.0},
      {std::numeric_limits<SLONG>::min(), 0, NV_ERR_LONGITUDE, 0.0, 0.0},
  };
  for (const Inverse &c : cases) {
    SCOPED_TRACE(::testing::Message() << c.x << " " << c.y);
    const POINT pt = {c.x, c.y};
    POSITION pos = {99.0, 99.0};
    EXPECT_EQ(nv_MeterToDegr(&pt, &pos), c.result);
    EXPECT_EQ(pos.lat, c.lat);  // exactly: y 0 takes the shortcut
    EXPECT_EQ(pos.lon, c.lon);
  }
  // The latitude of the first step stays when the longitude is rejected; the largest y is accepted.
  const POINT far = {20038301, 15433198};
  POSITION pos = {99.0, 99.0};
  EXPECT_EQ(nv_MeterToDegr(&far, &pos), NV_ERR_LONGITUDE);
  EXPECT_NEAR(pos.lat, 79.9, 0.1);
  EXPECT_EQ(pos.lon, 0.0);
}

TEST(Projection, Sexagesimal) {
  // -12.5 degrees both ways: every part carries the sign, seconds are 0.
  const POINT pt = {-1391548, 0};
  GEOGRAPHIC g;
  ASSERT_EQ(nv_MetersToGeographic(&pt, &g), CL_SUCCESS);
  EXPECT_EQ(g.LatDeg, 0.0);
  EXPECT_EQ(g.LatMin, 0.0);
  EXPECT_EQ(g.LonDeg, -12.0);
  EXPECT_NEAR(g.LonMin, -30.0, 1e-3);
  EXPECT_EQ(g.LonSec, 0.0);

  const POSITION minus125 = {-12.5, 0.0};
  POINT south;
  ASSERT_EQ(nv_DegrToMeter(&minus125, &south), CL_SUCCESS);
  ASSERT_EQ(nv_MetersToGeographic(&south, &g), CL_SUCCESS);
  EXPECT_EQ(g.LatDeg, -12.0);
  EXPECT_NEAR(g.LatMin, -30.0, 0.01);

  // A rejected axis reads 0.
  const POINT high = {0, 15433199};
  g = GEOGRAPHIC{1, 2, 3, 4, 5, 6};
  EXPECT_EQ(nv_MetersToGeographic(&high, &g), NV_ERR_LATITUDE);
  EXPECT_EQ(g.LatDeg, 0.0);
  EXPECT_EQ(g.LatMin, 0.0);
  EXPECT_EQ(g.LonDeg, 4.0);
  const POINT wide = {-20038301, 0};
  g = GEOGRAPHIC{1, 2, 3, 4, 5, 6};
  EXPECT_EQ(nv_MetersToGeographic(&wide, &g), NV_ERR_LONGITUDE);
  EXPECT_EQ(g.LonDeg, 0.0);
  EXPECT_EQ(g.LonMin, 0.0);

  // Sexagesimal in: 60 minutes or seconds is rejected before the value is looked at, latitude first.
  struct {
    GEOGRAPHIC g;
    ERRORCODE result;
  } const in[] = {
      {{10, 60, 0, 0, 0, 0}, NV_ERR_LATITUDE},      // 11 degrees would be valid
      {{10, 0, -60, 0, 0, 0}, NV_ERR_LATITUDE},
      {{10, 60, 0, 0, 60, 0}, NV_ERR_LATITUDE},
      {{10, 0, 0, 0, -60, 0}, NV_ERR_LONGITUDE},
      {{10, 0, 0, 0, 0, 60}, NV_ERR_LONGITUDE},
      {{79, 59, 59.9, 179, 59, 59.9}, CL_SUCCESS},
      {{80, 0, 0.1, 0, 0, 0}, NV_ERR_LATITUDE},  // through the projection's own check
  };
  for (const auto &c : in) {
    POINT out = kUntouched;
    EXPECT_EQ(nv_GeographicToMeters(&out, &c.g), c.result) << c.g.LatDeg << " " << c.g.LatMin;
  }
  const GEOGRAPHIC west = {-12, -30, 0, -12, -30, 0};
  POINT out;
  ASSERT_EQ(nv_GeographicToMeters(&out, &west), CL_SUCCESS);
  const POSITION p = {-12.5, -12.5};
  POINT direct;
  ASSERT_EQ(nv_DegrToMeter(&p, &direct), CL_SUCCESS);
  EXPECT_EQ(out.x, direct.x);
  EXPECT_EQ(out.y, direct.y);
}

TEST(Projection, AllAround) {
  const struct {
    SLONG x, expected;
  } cases[] = {
      {0, 0},
      {-1, 40076599},
      {-7, 40076593},
      {20038300, 20038300},
      {-20038300, 20038300},
      {40076600, 0},
      {40076601, 1},
      {-40076600, 40076600},
      {80153199, 40076599},
      {100000000, 100000000 % 40076600},
      {std::numeric_limits<SLONG>::max(), 2147483647 % 40076600},
      {std::numeric_limits<SLONG>::min(), 16652752},  // |x| does not fit 32 bits
  };
  for (const auto &c : cases) EXPECT_EQ(nv_AllAround(c.x), c.expected) << c.x;
}

// Positions within +-80 degrees plus the edges, forward against PROJ.
TEST(Projection, ForwardMatchesProj) {
  std::vector<POSITION> positions;
  for (double lat : {-80.0, -45.0, 0.0, 45.0, 80.0})
    for (double lon : {-180.0, -90.0, 0.0, 90.0, 180.0}) positions.push_back({lat, lon});
  Uniform u(42);
  while (positions.size() < 2025) positions.push_back({u(-80.0, 80.0), u(-180.0, 180.0)});
  std::ostringstream in;
  in.precision(17);
  for (const POSITION &p : positions) in << p.lon << ' ' << p.lat << '\n';
  const std::vector<std::string> out = RunReference("cct -z 0 -t 0 -d 6" + kPipeline, in.str());
  ASSERT_EQ(out.size(), positions.size());
  double worst = 0.0;
  for (size_t i = 0; i < positions.size(); ++i) {
    double rx, ry;
    ASSERT_EQ(std::sscanf(out[i].c_str(), "%lf %lf", &rx, &ry), 2) << out[i];
    POINT pt;
    ASSERT_EQ(nv_DegrToMeter(&positions[i], &pt), CL_SUCCESS);
    const double d = std::max(std::fabs(pt.x - rx), std::fabs(pt.y - ry));
    worst = std::max(worst, d);
    EXPECT_LE(d, 1.0) << positions[i].lat << " " << positions[i].lon << ": " << pt.x << " " << pt.y << " / " << out[i];
  }
  RecordProperty("worst_metres", std::to_string(worst));
}

// Mercator points inside the grid, inverse against PROJ. Beyond pi R = 20,038,296.88 PROJ wraps the longitude while
// the grid limits it to 180, so the comparison stops there.
TEST(Projection, InverseMatchesProj) {
  std::vector<POINT> points = {{0, 0}, {20038296, 15433198}, {-20038296, -15433198}, {1, -1}};
  Uniform u(7);
  while (points.size() < 2000)
    points.push_back({static_cast<SLONG>(std::lround(u(-20038296, 20038296))),
                      static_cast<SLONG>(std::lround(u(-15433198, 15433198)))});
  std::ostringstream in;
  for (const POINT &p : points) in << p.x << ' ' << p.y << '\n';
  const std::vector<std::string> out = RunReference("cct -I -z 0 -t 0 -d 12" + kPipeline, in.str());
  ASSERT_EQ(out.size(), points.size());
  for (size_t i = 0; i < points.size(); ++i) {
    double lon, lat;
    ASSERT_EQ(std::sscanf(out[i].c_str(), "%lf %lf", &lon, &lat), 2) << out[i];
    POSITION pos;
    ASSERT_EQ(nv_MeterToDegr(&points[i], &pos), CL_SUCCESS);
    EXPECT_NEAR(pos.lat, lat, 1e-7) << points[i].x << " " << points[i].y;
    EXPECT_NEAR(pos.lon, lon, 1e-7) << points[i].x << " " << points[i].y;
  }
}

}  // namespace
