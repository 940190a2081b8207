#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "chartlib/util/ut_string.h"

namespace {

TEST(UtString, CopyAndAppend) {
  char buf[16];
  std::memset(buf, '#', sizeof buf);
  EXPECT_EQ(ut_strncpy(buf, "abcdef", 3), buf);
  EXPECT_EQ(std::string(buf, 5), std::string("abc\0#", 5));  // 4 bytes written
  std::memset(buf, '#', sizeof buf);
  ut_strncpy(buf, "ab", 3);
  EXPECT_EQ(std::string(buf, 4), std::string("ab\0#", 4));  // stops at the source's terminator
  std::memset(buf, '#', sizeof buf);
  ut_strncpy(buf, "ab", 0);
  ut_strncpy(buf, "ab", -5);
  EXPECT_EQ(buf[0], '#');

  EXPECT_EQ(ut_strcpy(buf, "dock"), buf);
  EXPECT_STREQ(buf, "dock");
  EXPECT_EQ(ut_strcat(buf, "side"), buf);
  EXPECT_STREQ(buf, "dockside");
  ut_strncat(buf, "12345", 2);
  EXPECT_STREQ(buf, "dockside12");
  ut_strncat(buf, "xyz", 0);
  EXPECT_STREQ(buf, "dockside12");
  ut_strncat(buf, "x", 5);
  EXPECT_STREQ(buf, "dockside12x");
  EXPECT_EQ(ut_strlen(buf), 11);
  EXPECT_EQ(ut_strlen(""), 0);
}

TEST(UtString, Compare) {
  const struct {
    const char *a, *b;
    SINT cmp, icmp;
  } cases[] = {
      {"a", "b", -1, -1},
      {"b", "a", 1, 1},
      {"Harbour", "hARBOUR", 'H' - 'h', 0},
      {"abc", "ab", 'c', 'c'},
      {"", "", 0, 0},
      {"[", "{", '[' - '{', '[' - '{'},  // only A-Z fold
      {"A", "a", 'A' - 'a', 0},
      {"\xe9", "e", -23 - 'e', -23 - 'e'},  // signed bytes
      {"\xc9", "\xe9", -55 + 23, -55 + 23},  // accented letters do not fold
  };
  for (const auto &c : cases) {
    EXPECT_EQ(ut_strcmp(c.a, c.b), c.cmp) << c.a << " " << c.b;
    EXPECT_EQ(ut_stricmp(c.a, c.b), c.icmp) << c.a << " " << c.b;
  }
  EXPECT_EQ(ut_strnicmp("PORTland", "portsmouth", 4), 0);
  EXPECT_EQ(ut_strnicmp("PORTland", "portsmouth", 5), 'l' - 's');
  EXPECT_EQ(ut_strnicmp("ab", "AB", 10), 0);  // both end within n
  EXPECT_EQ(ut_strnicmp("ab", "ABC", 10), -'c');
  EXPECT_EQ(ut_strnicmp("x", "y", 0), 0);
  EXPECT_EQ(ut_strnicmp("x", "y", -1), 0);
}

TEST(UtString, Itoa) {
  const struct {
    SLONG value;
    SINT radix;
    const char *text;
  } cases[] = {
      {-255, 10, "-255"},
      {-255, 16, "ffffff01"},
      {5, 2, "101"},
      {0, 10, "0"},
      {0, 2, "0"},
      {0, 16, "0"},
      {2147483647, 10, "2147483647"},
      {-2147483647 - 1, 10, "-2147483648"},
      {-1, 2, "11111111111111111111111111111111"},
      {48879, 16, "beef"},
  };
  for (const auto &c : cases) {
    char buf[40];
    EXPECT_EQ(ut_itoa(c.value, buf, c.radix), buf);
    EXPECT_STREQ(buf, c.text);
  }
  char buf[40] = "keep";
  for (SINT radix : {8, 0, -10, 36}) EXPECT_EQ(ut_itoa(5, buf, radix), nullptr);
  EXPECT_STREQ(buf, "keep");
}

TEST(UtString, Sprintf) {
  const struct {
    const char *format;
    double value;
    const char *text;
  } cases[] = {
      {"% 4.2f", 3.14159, "3.14"},
      {"% 6.1f", -2.25, "  -2.3"},
      {"HELLO %05.1f", 12.34, "HELLO 012.3"},
      {"% 4.2f", 99.996, "100.00"},  // the carry opens a new group
      {"% 3.0f", 0.4, "  0"},
      {"%05.1f", -1.5, "0-1.5"},  // padding before the sign
      {"% 3.1f", 12.25, "12.3"},   // halves away from zero
      {"% 3.1f", 0.95, "1.0"},
      {"% 3.1f", -1.25, "-1.3"},
      {"% 1.2f", 0.05, "0.05"},
      {"% 1.2f", 0.0, "0.00"},
      {"% 1.0f", 0.5, "1"},
      {"% 1.3f", 9999.9995, "10000.000"},
      {"% 1.0f", 99999999.5, "100000000"},
      {"% 1.0f", 123456789012.0, "123456789012"},
      {"% 1.2f", 9007199254740993.0, "9007199254740992.00"},  // above 2^53
      {"% 1.0f", -1.7976931348623157e308, "-179769313486231570814527423731704356798070567525844996598917476803157260780028538760589558632766878171540458953514382464234321326889464182768467546703537516986049910576551282076245490090389328944075868508455133942304583236903222948165808559332123348274797826204144723168738177180919299881250404026184124858368"},
      {"% 1.9f", 1.5, "1.500000000"},
      {"%x9.1f", 7.0, "xxxxxx7.0"},
      {"depth %03.1fm", 4.0, "depth 4.0"},  // nothing after the conversion is copied
      {"% 1.0f", 1e300, "1000000000000000052504760255204420248704468581108159154915854115511802457988908195786371375080447864043704443832883878176942523235360430575644792184786706982848387200926575803737830233794788090059368953234970799945081119038967640880074652742780142494579258788820056842838115669472196386865459400540160"},  // every digit of the double
  };
  for (const auto &c : cases) {
    char buf[512];
    std::memset(buf, '#', sizeof buf);
    const SINT n = ut_sprintf(buf, c.format, c.value);
    EXPECT_STREQ(buf, c.text) << c.format << " " << c.value;
    EXPECT_EQ(n, static_cast<SINT>(std::strlen(c.text))) << c.format << " " << c.value;
  }

  // Formats it cannot use give 0 with the prefix copied and terminated.
  const char *bad[] = {"depth", "d %", "d % ", "d % 3", "d % 3,1f", "d % 3.xf", "d % x.1f", "d %\0"};
  for (const char *f : bad) {
    char buf[64];
    std::memset(buf, '#', sizeof buf);
    EXPECT_EQ(ut_sprintf(buf, f, 1.0), 0) << f;
    EXPECT_STREQ(buf, std::string(f).substr(0, std::string(f).find('%')).c_str()) << f;
  }
  char buf[16];
  for (double v : {std::nan(""), HUGE_VAL, -HUGE_VAL}) {
    EXPECT_EQ(ut_sprintf(buf, "% 3.1f", v), 0);
    EXPECT_STREQ(buf, "");
  }
}

}  // namespace
