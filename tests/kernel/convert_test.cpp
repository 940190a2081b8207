#include <gtest/gtest.h>

#include <cmath>

#include "kernel/convert.h"

namespace {

// UNIT_TYPE and DATA_TYPE values used below.
enum { kNone = 0, kMps = 1, kKnots = 5, kMetres = 10, kFeet = 11, kFathoms = 12, kInchesHg = 15, kHpa = 18,
       kCelsius = 28, kFahrenheit = 29, kDegMagnetic = 31, kPsi = 35, kKpa = 36 };
enum { kDTemperature = 3, kDSpeed = 4, kDDistance = 5, kDDepth = 7, kDPressure = 11, kDPercent = 24 };

class Convert : public ::testing::Test {
 protected:
  void SetUp() override { U_CONVERT_vInitialiseConversionUtility(); }
};

TEST_F(Convert, TheUnitsOwnFactors) {
  EXPECT_NEAR(dConvertToInternal(10.0, kDSpeed, kKnots), 5.144456, 1e-6);  // not 1852/3600
  EXPECT_NEAR(dConvertFromInternal(5.144456, kDSpeed, kKnots), 10.0, 1e-6);
  EXPECT_NEAR(dConvertToInternal(32.0, kDTemperature, kFahrenheit), 0.0, 1e-5);
  const double f = dConvertFromInternal(100.0, kDTemperature, kFahrenheit);
  EXPECT_NEAR(f, 211.99999, 5e-6);  // the float factors, not 212
  EXPECT_NE(f, 212.0);
  EXPECT_NEAR(dGenericConvert(1.0, kFathoms, kFeet), 6.0000119, 1e-7);
  EXPECT_EQ(dGenericConvert(1.0, kInchesHg, kHpa), static_cast<double>(33.8639f));
  EXPECT_EQ(dGenericConvert(1.0, kPsi, kHpa), static_cast<double>(68.94757f));
  EXPECT_EQ(dGenericConvert(1.0, kKpa, kHpa), 10.0);
}

// Every unit's row: one unit of it in the internal unit of its kind (multiplier + offset, both as floats).
TEST_F(Convert, EveryUnitRow) {
  struct Row {
    int unit;
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
    EXPECT_EQ(dGenericConvert(1.0, r.unit, kNone), static_cast<double>(r.offset) + static_cast<double>(r.multiplier))
        << "unit " << r.unit;
  }
}

TEST_F(Convert, InternalUnitsPassBitForBit) {
  struct Row {
    int dataType, internal;
  };
  const Row rows[] = {{kDTemperature, kCelsius}, {kDSpeed, kMps},     {kDDistance, kMetres}, {kDDepth, kMetres},
                      {27, kMetres},             {6, 30},             {kDPressure, kHpa},    {12, 22},
                      {15, 25},                  {16, 26},            {32, 34},              {kDPercent, kNone}};
  const double value = 0.1 + 1e-17;
  for (const auto &r : rows) {
    EXPECT_EQ(dConvertToInternal(value, r.dataType, r.internal), value) << r.dataType;
    EXPECT_EQ(dConvertFromInternal(value, r.dataType, r.internal), value) << r.dataType;
  }
  EXPECT_NEAR(dConvertFromInternal(1.0, kDDepth, kFeet), 1.0 / 0.3048, 1e-6);
}

TEST_F(Convert, UnitsWithoutFactorsNeverDivideByZero) {
  for (int to : {8, 9, 13, 14, 23, 24, static_cast<int>(kDegMagnetic)}) {
    EXPECT_EQ(dGenericConvert(3.5, kMetres, to), 3.5) << to;
    EXPECT_EQ(dConvertFromInternal(3.5, kDDepth, to), 3.5) << to;
    EXPECT_EQ(dGenericConvert(3.5, to, kMetres), 0.0) << to;  // no factor: nothing of the value survives
  }
  // Values from outside the tables are left as they are rather than read out of bounds.
  EXPECT_EQ(dGenericConvert(2.0, 37, kMetres), 2.0);
  EXPECT_EQ(dGenericConvert(2.0, kMetres, -1), 2.0);
  EXPECT_EQ(dConvertToInternal(2.0, 34, kFeet), 2.0);
  EXPECT_EQ(dConvertFromInternal(2.0, -5, kFeet), 2.0);
}

}  // namespace
