#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>

#include "table_lines.h"
#include "util/datum.h"

namespace {

TEST(Datum, Nad27MeanAt40N100W) {
  double lat = 0, lon = 0;
  Datum_2_WGS84(DATUM_NAD27_Mean, 40.0, -100.0, &lat, &lon);
  EXPECT_NEAR(lat - 40.0, 0.0000095, 0.0000005);
  EXPECT_NEAR(lon + 100.0, -0.00042, 0.000005);
  double backLat = 0, backLon = 0;
  WGS84_2_Datum(lat, lon, &backLat, &backLon, DATUM_NAD27_Mean);
  // Shifts computed at the WGS 84 point are not an exact inverse: a few millimetres (1e-7 deg ~ 1 cm).
  EXPECT_NEAR(backLat, 40.0, 5e-8);
  EXPECT_NEAR(backLon, -100.0, 5e-8);
  EXPECT_NE(backLon, -100.0);
}

TEST(Datum, IdentityDatumsReturnInputExactly) {
  for (DATUM_PLANE dp : {DATUM_WGS_84, DATUM_Ghana, DATUM_Montjong_Lowe, DATUM_Sierra_Leone_1960}) {
    double lat = 0, lon = 0;
    Datum_2_WGS84(dp, 12.5, 250.0, &lat, &lon);
    EXPECT_EQ(lat, 12.5);
    EXPECT_EQ(lon, 250.0);  // not even normalised
    WGS84_2_Datum(-3.25, -190.0, &lat, &lon, dp);
    EXPECT_EQ(lat, -3.25);
    EXPECT_EQ(lon, -190.0);
  }
}

TEST(Datum, DatumsWithoutRowUseZeroShiftAndNormalise) {
  for (int dp : {30, 62, 64, 100, 123, 124, 500, -1}) {
    double lat = 0, lon = 0;
    Datum_2_WGS84(static_cast<DATUM_PLANE>(dp), 51.5, 190.0, &lat, &lon);
    EXPECT_NEAR(lat, 51.5, 1e-12) << dp;
    EXPECT_NEAR(lon, -170.0, 1e-12) << dp;
    WGS84_2_Datum(51.5, -180.0, &lat, &lon, static_cast<DATUM_PLANE>(dp));
    EXPECT_NEAR(lon, 180.0, 1e-12) << dp;
  }
}

TEST(Datum, WrapsAcrossTheDateLine) {
  double lat = 0, lon = 0;
  // Chatham 1971 shifts east near the date line.
  Datum_2_WGS84(DATUM_Chatham_1971, -44.0, 179.9999, &lat, &lon);
  EXPECT_LT(lon, -179.9995);
  EXPECT_GT(lon, -180.0);
  double backLat = 0, backLon = 0;
  WGS84_2_Datum(lat, lon, &backLat, &backLon, DATUM_Chatham_1971);
  EXPECT_NEAR(backLon, 179.9999, 1e-7);
}

TEST(Datum, PoleStaysInRange) {
  double lat = 0, lon = 0;
  Datum_2_WGS84(DATUM_Tokyo_Mean, 90.0, 10.0, &lat, &lon);
  EXPECT_TRUE(std::isfinite(lat));
  EXPECT_GT(lon, -180.0);
  EXPECT_LE(lon, 180.0);
}

// PROJ's Molodensky transform (data/gen_datum_proj.py) of a grid from every datum of the table.
TEST(Datum, AgreesWithProjMolodensky) {
  const auto lines = TableLines("datum_proj.txt");
  ASSERT_EQ(lines.size(), 29 * 72u) << "table datum_proj.txt";
  for (const auto &line : lines) {
    std::istringstream fields(line);
    int dp;
    double lat, lon, wlat, wlon;
    fields >> dp >> lat >> lon >> wlat >> wlon;
    double outLat = 0, outLon = 0;
    Datum_2_WGS84(static_cast<DATUM_PLANE>(dp), lat, lon, &outLat, &outLon);
    EXPECT_NEAR(outLat, wlat, 1e-9) << line;
    EXPECT_NEAR(std::remainder(outLon - wlon, 360.0), 0.0, 1e-9) << line;
    // The way back uses the shifts at the WGS 84 point, a second-order error: millimetres for small shifts,
    // below a metre for the largest shifts near the poles.
    double backLat = 0, backLon = 0;
    WGS84_2_Datum(outLat, outLon, &backLat, &backLon, static_cast<DATUM_PLANE>(dp));
    const double metresPerDegree = 111320.0;
    EXPECT_NEAR((backLat - lat) * metresPerDegree, 0.0, 1.0) << line;
    EXPECT_NEAR(std::remainder(backLon - lon, 360.0) * std::cos(lat * M_PI / 180.0) * metresPerDegree, 0.0, 1.0)
        << line;
  }
}

}  // namespace
