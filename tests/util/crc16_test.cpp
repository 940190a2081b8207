#include <gtest/gtest.h>

#include <cstring>

#include "util/crc16.h"

namespace {

U16 Crc(const char *text, bool appendZeros) {
  U16 crc = 0xFFFF;
  U_CRC16_vCrc16(&crc, reinterpret_cast<const U8 *>(text), static_cast<U16>(std::strlen(text)), TRUE);
  if (appendZeros) {
    const U8 zeros[2] = {0, 0};
    U_CRC16_vCrc16(&crc, zeros, 2, FALSE);
  }
  return crc;
}

TEST(Crc16, CheckValuesWithAndWithoutTrailingZeros) {
  struct Case {
    const char *text;
    bool zeros;
    U16 expected;
  };
  const Case cases[] = {
      {"123456789", false, 0xBEEF}, {"123456789", true, 0x31C3},  // the latter is CRC-16/XMODEM
      {"abc", false, 0x1EE4},       {"abc", true, 0x9DD6},
  };
  for (const auto &c : cases) EXPECT_EQ(Crc(c.text, c.zeros), c.expected) << c.text << " zeros=" << c.zeros;
}

TEST(Crc16, TableIsMsbFirstPolynomial1021) {
  // A zero byte entering the register i << 8 leaves exactly table[i].
  EXPECT_EQ(U_CRC16_u16CrcByte(0, 0x0100), 0x1021);
  EXPECT_EQ(U_CRC16_u16CrcByte(0, 0xFF00), 0x1EF0);
  EXPECT_EQ(U_CRC16_u16CrcByte(0x5A, 0x0000), 0x005A);  // data enter at the bottom
}

TEST(Crc16, SplitFeedEqualsOneFeedAndZeroCountKeepsRegister) {
  const U8 data[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
  U16 crc = 0;
  U_CRC16_vCrc16(&crc, data, 4, TRUE);
  U_CRC16_vCrc16(&crc, data + 4, 5, FALSE);
  EXPECT_EQ(crc, 0xBEEF);
  U_CRC16_vCrc16(&crc, data, 0, FALSE);
  EXPECT_EQ(crc, 0xBEEF);
  U_CRC16_vCrc16(&crc, data, 0, TRUE);
  EXPECT_EQ(crc, 0);
}

TEST(Crc16, HighLowFeedsHighByteFirst) {
  const U16 value = 0x1234;
  U16 crc = 0xAAAA;
  U_CRC16_vCrcU16HighLow(&crc, &value, TRUE);
  EXPECT_EQ(crc, 0x1234);
  // Loading equals feeding both bytes into a zero register.
  const U8 bytes[] = {0x12, 0x34};
  U16 fed = 0;
  U_CRC16_vCrc16(&fed, bytes, 2, TRUE);
  EXPECT_EQ(fed, 0x1234);

  U16 a = 0x4321, b = 0x4321;
  U_CRC16_vCrcU16HighLow(&a, &value, FALSE);
  U_CRC16_vCrc16(&b, bytes, 2, FALSE);
  EXPECT_EQ(a, b);
}

}  // namespace
