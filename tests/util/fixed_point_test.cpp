#include <gtest/gtest.h>

#include <cmath>

#include "util/fixed_point.h"

namespace {

constexpr FIXED_POINT kOne = 0x10000;
constexpr FIXED_POINT Deg(int d) { return d * kOne; }

TEST(FixedPoint, SineTableIsRoundedSine) {
  for (int i = 0; i < FIXED_POINT_SIN_TABLE_SIZE; ++i) {
    double exact = std::sin(i / 16.0 * 3.14159265358979323846 / 180.0) * 65536.0;
    EXPECT_EQ(fpnSinLookupTable[i], std::lround(exact)) << i;
  }
  EXPECT_EQ(fpnSinLookupTable[4], 286);
  EXPECT_EQ(fpnSinLookupTable[480], 0x8000);
  EXPECT_EQ(fpnSinLookupTable[720], 46341);
  EXPECT_EQ(fpnSinLookupTable[1440], 65536);
}

TEST(FixedPoint, SineAndCosine) {
  struct Case {
    FIXED_POINT angle;
    FIXED_POINT sin;
  };
  const Case sines[] = {
      {Deg(30), 0x8000},   {Deg(-30), -0x8000},          {Deg(210), -0x8000}, {Deg(90), 65536},
      {Deg(450), 65536},   {Deg(720), 0},                {Deg(720) + 0x1000, 71},
      {0x800, 71},         {0x7FF, 0},                   {Deg(180), 0},       {Deg(270), -65536},
      {Deg(-32000), fpnSinLookupTable[640]},  // -32000 = -(88 turns + 320) degrees: sin 40
  };
  for (const auto &c : sines) EXPECT_EQ(U_FIXED_POINT_fpnSin(c.angle), c.sin) << std::hex << c.angle;
  EXPECT_EQ(U_FIXED_POINT_fpnCos(0), 65536);
  EXPECT_EQ(U_FIXED_POINT_fpnCos(Deg(90)), 0);
  EXPECT_EQ(U_FIXED_POINT_fpnCos(Deg(180)), -65536);
  EXPECT_EQ(U_FIXED_POINT_fpnCos(Deg(-60)), 0x8000);
}

TEST(FixedPoint, SquareRootAndLength) {
  EXPECT_EQ(U_FIXED_POINT_fpnSqrt(0x40000), 0x20000);
  EXPECT_EQ(U_FIXED_POINT_fpnSqrt(0x20000), 92672);
  EXPECT_EQ(U_FIXED_POINT_fpnSqrt(0), 0);
  EXPECT_EQ(U_FIXED_POINT_fpnSqrt(-kOne), 0);
  EXPECT_EQ(U_FIXED_POINT_fpnSqrt(0x7FFFFFFF) & 0xFF, 0);

  const VECTOR_3D a{3 * kOne, 4 * kOne, 0};
  const VECTOR_3D b{-3 * kOne, 0, -4 * kOne};
  EXPECT_EQ(U_FIXED_POINT_fpnVectorLength(&a), 5 * kOne);
  EXPECT_EQ(U_FIXED_POINT_fpnVectorLength(&b), 5 * kOne);
  // Three extreme components: the sum of squares exceeds the signed 64-bit range.
  const VECTOR_3D big{INT32_MIN, INT32_MIN, 0};
  EXPECT_EQ(static_cast<U32>(U_FIXED_POINT_fpnVectorLength(&big)), 3037000499u);
}

TEST(FixedPoint, NormalizedCrossProduct) {
  const VECTOR_3D x{kOne, 0, 0}, y{0, kOne, 0}, twoX{2 * kOne, 0, 0};
  VECTOR_3D r{1, 2, 3};
  U_FIXED_POINT_vNormalizedCrossProduct(&r, &x, &y);
  EXPECT_EQ(r.x, 0);
  EXPECT_EQ(r.y, 0);
  EXPECT_EQ(r.z, kOne);
  U_FIXED_POINT_vNormalizedCrossProduct(&r, &x, &twoX);
  EXPECT_EQ(r.x, 0);
  EXPECT_EQ(r.y, 0);
  EXPECT_EQ(r.z, 0);
  const VECTOR_3D p{3 * kOne, 0, 0}, q{0, 0, 5 * kOne};
  U_FIXED_POINT_vNormalizedCrossProduct(&r, &p, &q);  // (0, -15, 0) scaled to (0, -1, 0)
  EXPECT_EQ(r.x, 0);
  EXPECT_EQ(r.y, -kOne);
  EXPECT_EQ(r.z, 0);
}

}  // namespace
