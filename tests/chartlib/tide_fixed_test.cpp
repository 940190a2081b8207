#include <gtest/gtest.h>

#include <cmath>

#include "chartlib/tide/tide_fixed.h"
#include "chartlib/tide/tide_tables.h"

TEST(TideFixed, EdgeValues) {
  EXPECT_EQ(round_fixed_to_int(-0x8000), -1);
  EXPECT_EQ(round_fixed_to_int(0x7FFF), 0);
  EXPECT_EQ(round_fixed_to_int(0x18000), 2);
  EXPECT_EQ(fixed_multiply(0x18000, -0x20000), -0x30000);
  EXPECT_EQ(fixed_multiply(-0x18000, -0x20000), 0x30000);
  EXPECT_EQ(fixed_multiply(1, -1), 0);  // a zero product keeps no sign
  EXPECT_EQ(fixed_long_ratio(1, 3), 21845);
  EXPECT_EQ(fixed_long_ratio(2, 3), 43691);
  EXPECT_EQ(fixed_long_ratio(7, 7), 65536);
  EXPECT_EQ(fixed_positive_cos(0), 65536);
  EXPECT_EQ(fixed_positive_sin(0x10000 + 0x4000), 65536);
  EXPECT_EQ(fixed_positive_sin(0x8000), 0);
  EXPECT_EQ(fixed_positive_sin(0xC000), -65536);
  EXPECT_EQ(fixed_square_root(0x40000), 0x20000);
  EXPECT_EQ(fixed_square_root(0x10000), 0x10000);
  EXPECT_EQ(fixed_square_root(0), 0);
  EXPECT_EQ(fixed_scale(-3, 2), -2);  // halves away from zero
  EXPECT_EQ(fixed_scale(3, 2), 2);
  EXPECT_EQ(fixed_divide(0x30000, -0x20000), -0x18000);
  EXPECT_EQ(fixed_divide(0, -0x20000), 0);
  EXPECT_EQ(fixed_square(-0x18000), 0x24000);
}

TEST(TideFixed, NegativeSquareRootIsRefused) {
  EXPECT_EQ(fixed_square_root(-1), 0);
  EXPECT_EQ(fixed_square_root(INT32_MIN), 0);
}

TEST(TideFixed, CartesianToPolar) {
  struct Case {
    fixed x, y, angle, length;
  } cases[] = {
      {0, 0x10000, 0x4000, 0x10000},
      {-0x10000, 0, 0x8000, 0x10000},
      {0x10000, -0x10000, 0xE000, 92682},
      {0, 0, 0, 0},
      {0x10000, 0, 0, 0x10000},
      {0, -0x20000, 0xC000, 0x20000},
  };
  for (const Case &c : cases) {
    fixed a, l;
    cartesian_to_polar(c.x, c.y, &a, &l);
    EXPECT_EQ(a, c.angle) << c.x << "," << c.y;
    EXPECT_EQ(l, c.length) << c.x << "," << c.y;
  }
}

TEST(TideFixed, TablesMatchTheirDefinitions) {
  EXPECT_EQ(sin_array[128], 65536);
  EXPECT_EQ(sin_array[256], 0);
  EXPECT_EQ(sin_array[384], -65536);
  EXPECT_EQ(sin_array[512], 0);
  EXPECT_EQ(atan_array[128], 8192);
  EXPECT_EQ(distance_array[0], 65536);
  EXPECT_EQ(distance_array[128], 92682);
  EXPECT_EQ(sqrt_array[64], 65536);
  EXPECT_EQ(sqrt_array[256], 131072);
}

// The table-driven functions stay close to the exact ones over their whole range.
TEST(TideFixed, AccuracyOverRange) {
  for (int64_t a = 1; a < 0x7FFFFFFF; a = a * 3 / 2 + 7) {
    const double exact = std::sqrt(a / 65536.0) * 65536.0;
    EXPECT_NEAR(fixed_square_root(static_cast<fixed>(a)), exact, 2 + exact * 1e-4) << a;
  }
  for (int a = 0; a < 0x10000; a += 97) {
    EXPECT_NEAR(fixed_positive_sin(a), 65536 * std::sin(2 * M_PI * a / 65536.0), 2.5) << a;
    EXPECT_NEAR(fixed_positive_cos(a), 65536 * std::cos(2 * M_PI * a / 65536.0), 2.5) << a;
  }
  for (int deg = 0; deg < 360; deg += 7) {
    const double r = deg * M_PI / 180;
    fixed a, l;
    cartesian_to_polar(static_cast<fixed>(std::lround(100000 * std::cos(r))),
                       static_cast<fixed>(std::lround(100000 * std::sin(r))), &a, &l);
    EXPECT_NEAR(a, deg * 65536.0 / 360.0, 3) << deg;
    EXPECT_NEAR(l, 100000, 3) << deg;
  }
}
