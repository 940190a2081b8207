#include "util/byte_number_clock.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/shell.h"

namespace {

TEST(Utils, NumberTexts) {
  char ac[20];
  EXPECT_STREQ(itoa(-45, ac, 10), "-45");
  EXPECT_STREQ(itoa(0, ac, 10), "0");
  EXPECT_STREQ(itoa(2147483647, ac, 10), "2147483647");
  EXPECT_STREQ(itoa(-2147483647 - 1, ac, 10), "-2147483648");
  const struct {
    const char *pcText;
    long lValue;
  } rows[] = {{"1aF", 0x1AF}, {"7fz", 0x7F * 16 + 35}, {"12 34", 0x12}, {"", 0}, {"g", 16}, {"-1", 0}};
  for (const auto &row : rows) EXPECT_EQ(atoh(row.pcText), row.lValue) << row.pcText;
}

TEST(Utils, ByteOrderAndBase36Digits) {
  EXPECT_EQ(DD_UTIL_EndianSwap(0x44332211u), 0x11223344u);
  EXPECT_EQ(DD_UTIL_XlatCapNumeric('z'), 0u);
  EXPECT_EQ(DD_UTIL_XlatCapNumeric('Z'), 35u);
  EXPECT_EQ(DD_UTIL_XlatCapNumeric('Z' | 0x80), 35u);
  EXPECT_EQ(DD_UTIL_XlatCapNumeric('7'), 7u);
  EXPECT_EQ(DD_UTIL_FormCapNumeric(35), 'Z');
  EXPECT_EQ(DD_UTIL_FormCapNumeric(9), '9');
}

TEST(Utils, BlockCopyEqualsMemcpy) {
  std::vector<U8> source(4096);
  for (size_t n = 0; n < source.size(); n++) source[n] = static_cast<U8>(n * 7 + 1);
  for (U32 u32Count : {0u, 1u, 15u, 16u, 31u, 33u, 1000u, 3000u}) {
    for (U32 u32Offset : {0u, 3u, 8u, 15u}) {
      alignas(16) U8 dest[4200];
      alignas(16) U8 expect[4200];
      std::memset(dest, 0xEE, sizeof dest);
      std::memset(expect, 0xEE, sizeof expect);
      DD_UTIL_Memcpy(dest + u32Offset, source.data() + 1, u32Count);
      std::memcpy(expect + u32Offset, source.data() + 1, u32Count);
      EXPECT_EQ(0, std::memcmp(dest, expect, sizeof dest)) << u32Count << " at " << u32Offset;
    }
  }
}

TEST(Utils, SystemDateFollowsOnlySteps) {
  H_SHELL_vClearRecord();
  L_UTILS_vSetSysDate(1700000000);
  L_UTILS_vSetSysDate(1700001000);
  ASSERT_EQ(H_SHELL_u32RecordedCount(), 1u);
  EXPECT_STREQ(H_SHELL_pcRecorded(0), "date -u -s 2023.11.14-22:13:20 > /dev/null");
  L_UTILS_vSetSysDate(1700003600);
  EXPECT_EQ(H_SHELL_u32RecordedCount(), 2u);
}

}  // namespace
