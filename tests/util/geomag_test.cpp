#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>

#include "table_lines.h"
#include "util/geomag.h"

namespace {

constexpr double kYear = 31556926.0;

U32 TimeOfYear(double decimalYear) { return static_cast<U32>(std::llround((decimalYear - 1970.0) * kYear)); }

TEST(Geomag, PackedCoefficientsOfWmm2015) {
  EXPECT_EQ(U_GEOMAG_Wmm2015.c[0][1], -29438.5);
  EXPECT_EQ(U_GEOMAG_Wmm2015.c[1][1], -1501.1);
  EXPECT_EQ(U_GEOMAG_Wmm2015.c[1][0], 4796.2);
  EXPECT_EQ(U_GEOMAG_Wmm2015.cd[0][1], 10.7);
  EXPECT_EQ(U_GEOMAG_Wmm2015.cd[1][1], 17.9);
  EXPECT_EQ(U_GEOMAG_Wmm2015.cd[1][0], -26.8);
  EXPECT_EQ(U_GEOMAG_Wmm2025.c[0][1], -29351.8);
  EXPECT_EQ(U_GEOMAG_Wmm2025.c[1][0], 4545.4);
}

// The published WMM2015 test values, with the 2015 coefficients.
TEST(Geomag, Wmm2015TestValues) {
  struct Case {
    double year, alt, lat, lon, decl;
  };
  const Case cases[] = {
      {2015.0, 0, 80, 0, -3.85},      {2015.0, 0, 0, 120, 0.57},      {2015.0, 0, -80, 240, 69.81},
      {2015.0, 100, 80, 0, -4.27},    {2015.0, 100, 0, 120, 0.56},    {2015.0, 100, -80, 240, 69.22},
      {2017.5, 0, 80, 0, -2.75},      {2017.5, 0, 0, 120, 0.32},      {2017.5, 0, -80, 240, 69.58},
      {2017.5, 100, 80, 0, -3.17},    {2017.5, 100, 0, 120, 0.32},    {2017.5, 100, -80, 240, 69.00},
  };
  for (const auto &c : cases) {
    EXPECT_NEAR(U_GEOMAG_dDeclination(&U_GEOMAG_Wmm2015, c.alt, c.lat, c.lon, TimeOfYear(c.year)), c.decl, 0.01)
        << c.year << " " << c.alt << " " << c.lat << " " << c.lon;
  }
  // dt = 0 exactly as 45 years of 31,556,926 s.
  EXPECT_NEAR(U_GEOMAG_dDeclination(&U_GEOMAG_Wmm2015, 0, 80, 0, 45u * 31556926u), -3.85, 0.01);
}

TEST(Geomag, DatesOutsideTheModelAreClamped) {
  for (const GEOMAG_MODEL *model : {&U_GEOMAG_Wmm2015, &U_GEOMAG_Wmm2025}) {
    const double epoch = 1970.0 + model->epochYearsAfter1970;
    const double atEpoch = U_GEOMAG_dDeclination(model, 0, 47.5, -122.3, TimeOfYear(epoch));
    const double atEnd = U_GEOMAG_dDeclination(model, 0, 47.5, -122.3, TimeOfYear(epoch + 5.0));
    // Whole seconds put the epoch itself a fraction of a second off.
    EXPECT_NEAR(U_GEOMAG_dDeclination(model, 0, 47.5, -122.3, TimeOfYear(epoch - 3.0)), atEpoch, 1e-6);
    EXPECT_EQ(U_GEOMAG_dDeclination(model, 0, 47.5, -122.3, 0),
              U_GEOMAG_dDeclination(model, 0, 47.5, -122.3, TimeOfYear(epoch - 3.0)));
    EXPECT_NEAR(U_GEOMAG_dDeclination(model, 0, 47.5, -122.3, TimeOfYear(epoch + 7.25)), atEnd, 1e-6);
    EXPECT_EQ(U_GEOMAG_dDeclination(model, 0, 47.5, -122.3, 0xFFFFFFFFu),
              U_GEOMAG_dDeclination(model, 0, 47.5, -122.3, TimeOfYear(epoch + 7.25)));
    EXPECT_GT(std::fabs(atEpoch - atEnd), 0.1);
  }
}

// NOAA's published WMM2025 test values, through the unit's entry point.
TEST(Geomag, Wmm2025TestValues) {
  const auto lines = TableLines("wmm2025_testvalues.txt");
  ASSERT_EQ(lines.size(), 100u) << "table wmm2025_testvalues.txt";
  for (const auto &line : lines) {
    std::istringstream fields(line);
    double year, alt, lat, lon, decl;
    fields >> year >> alt >> lat >> lon >> decl;
    EXPECT_NEAR(dMagneticVariation(alt, lat, lon, TimeOfYear(year)), decl, 0.01) << line;
  }
}

TEST(Geomag, FiniteAtAndNearThePoles) {
  const U32 t = TimeOfYear(2026.0);
  for (double lat : {90.0, -90.0, 89.9999999, -89.9999999}) {
    for (double lon : {0.0, 45.0, -170.0}) {
      for (double alt : {0.0, 10.0}) {
        EXPECT_TRUE(std::isfinite(dMagneticVariation(alt, lat, lon, t))) << lat << " " << lon;
        EXPECT_TRUE(std::isfinite(U_GEOMAG_dDeclination(&U_GEOMAG_Wmm2015, alt, lat, lon, t)));
      }
    }
  }
}

}  // namespace
