#include <gtest/gtest.h>

#include <cmath>

#include "util/convert.h"

namespace {

class Convert : public ::testing::Test {
 protected:
  void SetUp() override { U_CONVERT_vInitialiseConversionUtility(); }
};

TEST_F(Convert, TheUnitsOwnFactors) {
  EXPECT_NEAR(dConvertToInternal(10.0, D_SPEED, U_KNOTS), 5.144456, 1e-6);  // not 1852/3600
  EXPECT_NEAR(dConvertFromInternal(5.144456, D_SPEED, U_KNOTS), 10.0, 1e-6);
  EXPECT_NEAR(dConvertToInternal(32.0, D_TEMPERATURE, U_FAHRENHEIT), 0.0, 1e-5);
  const double f = dConvertFromInternal(100.0, D_TEMPERATURE, U_FAHRENHEIT);
  EXPECT_NEAR(f, 211.99999, 5e-6);  // the float factors, not 212
  EXPECT_NE(f, 212.0);
  EXPECT_NEAR(dGenericConvert(1.0, U_FATHOMS, U_FEET), 6.0000119, 1e-7);
  EXPECT_EQ(dGenericConvert(1.0, U_INCHESHG, U_HECTOPASCALS), static_cast<double>(33.8639f));
  EXPECT_EQ(dGenericConvert(1.0, U_PSI, U_HECTOPASCALS), static_cast<double>(68.94757f));
  EXPECT_EQ(dGenericConvert(1.0, U_KPA, U_HECTOPASCALS), 10.0);
}

// Every unit's row: one unit of it in the internal unit of its kind (multiplier + offset, both as floats).
TEST_F(Convert, EveryUnitRow) {
  struct Row {
    int unit;  // UNIT_TYPE value
    float multiplier, offset;
  };
  const Row rows[] = {
      {0, 1, 0},          {1, 1, 0},           {2, 1609.3472f, 0},  {3, 1852, 0},          {4, 1000, 0},
      {5, 0.5144456f, 0}, {6, 0.44704f, 0},    {7, 0.2777778f, 0},  {8, 0, 0},             {9, 0, 0},
      {10, 1, 0},         {11, 0.3048f, 0},    {12, 1.8288037f, 0}, {13, 0, 0},            {14, 0, 0},
      {15, 33.8639f, 0},  {16, 1.33322f, 0},   {17, 1, 0},          {18, 1, 0},            {19, 0.0037854118f, 0},
      {20, 0.004546092f, 0}, {21, 0.001f, 0},  {22, 1, 0},          {23, 0, 0},            {24, 0, 0},
      {25, 1, 0},         {26, 1, 0},          {27, 0.001f, 0},     {28, 1, 0},            {29, 0.5555556f, -17.777779f},
      {30, 1, 0},         {31, 0, 0},          {32, 1852, 0},       {33, 1852, 0},         {34, 1, 0},
      {35, 68.94757f, 0}, {36, 10, 0},
  };
  ASSERT_EQ(sizeof rows / sizeof rows[0], 37u);
  for (const auto &r : rows) {
    EXPECT_EQ(dGenericConvert(1.0, static_cast<UNIT_TYPE>(r.unit), U_NONE), static_cast<double>(r.offset) + static_cast<double>(r.multiplier))
        << "unit " << r.unit;
  }
}

TEST_F(Convert, InternalUnitsPassBitForBit) {
  struct Row {
    DATA_TYPE dataType;
    UNIT_TYPE internal;
  };
  const Row rows[] = {{D_TEMPERATURE, U_CELSIUS},  {D_SPEED, U_MPS},         {D_DISTANCE, U_METRES},
                      {D_DEPTH, U_METRES},         {D_ALTITUDE, U_METRES},   {D_HEADING, U_DEG_TRUE},
                      {D_PRESSURE, U_HECTOPASCALS}, {D_VOLUME, U_M3},        {D_VOLTAGE, U_VOLTS},
                      {D_CURRENT, U_AMPERES},      {D_ELEVATION_ANGLE, U_DEG_GEOMETRIC}, {D_PERCENT, U_NONE}};
  const double value = 0.1 + 1e-17;
  for (const auto &r : rows) {
    EXPECT_EQ(dConvertToInternal(value, r.dataType, r.internal), value) << r.dataType;
    EXPECT_EQ(dConvertFromInternal(value, r.dataType, r.internal), value) << r.dataType;
  }
  EXPECT_NEAR(dConvertFromInternal(1.0, D_DEPTH, U_FEET), 1.0 / 0.3048, 1e-6);
}

TEST_F(Convert, UnitsWithoutFactorsNeverDivideByZero) {
  for (UNIT_TYPE to : {U_LATLON, U_INCH, U_SECONDS, U_MINUTES, U_PPMO2, U_MOLPERM3, U_DEG_MAGNETIC}) {
    EXPECT_EQ(dGenericConvert(3.5, U_METRES, to), 3.5) << to;
    EXPECT_EQ(dConvertFromInternal(3.5, D_DEPTH, to), 3.5) << to;
    EXPECT_EQ(dGenericConvert(3.5, to, U_METRES), 0.0) << to;  // no factor: nothing of the value survives
  }
  // Values from outside the tables are left as they are rather than read out of bounds.
  EXPECT_EQ(dGenericConvert(2.0, static_cast<UNIT_TYPE>(37), U_METRES), 2.0);
  EXPECT_EQ(dGenericConvert(2.0, U_METRES, static_cast<UNIT_TYPE>(-1)), 2.0);
  EXPECT_EQ(dConvertToInternal(2.0, static_cast<DATA_TYPE>(34), U_FEET), 2.0);
  EXPECT_EQ(dConvertFromInternal(2.0, static_cast<DATA_TYPE>(-5), U_FEET), 2.0);
}

}  // namespace
