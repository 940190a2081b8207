#include <gtest/gtest.h>

#include "util/hex.h"

namespace {

TEST(Hex, UpperCaseOutNoTerminatorAndLowerCaseIn) {
  const U8 bytes[] = {0x0A, 0xFF};
  char text[5] = {'x', 'x', 'x', 'x', 'x'};
  U_HEX_v2ASCII(bytes, text, 2);
  EXPECT_EQ(std::string(text, 5), "0AFFx");

  U8 out[3] = {0, 0, 0x77};
  U_HEX_v2Hex("0aff", out, 2);
  EXPECT_EQ(out[0], 0x0A);
  EXPECT_EQ(out[1], 0xFF);
  EXPECT_EQ(out[2], 0x77);
}

TEST(Hex, NonHexCharactersGiveModuloValues) {
  // 'G' counts as 16 and ' ' as -16: (16 * 16 + (-16)) mod 256.
  U8 out = 0;
  U_HEX_v2Hex("G ", &out, 1);
  EXPECT_EQ(out, 0xF0);
}

}  // namespace
