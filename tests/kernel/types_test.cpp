#include <gtest/gtest.h>
#include "corvan/types.h"

TEST(Types, WidthsAreExact) {
  EXPECT_EQ(sizeof(U8), 1u);
  EXPECT_EQ(sizeof(U16), 2u);
  EXPECT_EQ(sizeof(U32), 4u);
  EXPECT_EQ(sizeof(U64), 8u);
}
