#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "table_lines.h"
#include "util/base64.h"
#include "util/hex.h"

namespace {

std::string Encode(const std::string &bytes) {
  char *text = BASE64_pcEncode(reinterpret_cast<const U8 *>(bytes.data()), static_cast<int>(bytes.size()));
  if (text == nullptr) return "<null>";
  std::string result(text);
  std::free(text);
  return result;
}

std::string Decode(const char *text) {
  int len = -1;
  U8 *bytes = BASE64_pu8Decode(text, &len);
  std::string result(reinterpret_cast<char *>(bytes), static_cast<size_t>(len));
  std::free(bytes);
  return result;
}

TEST(Base64, EncodesAndDecodesWithPadding) {
  EXPECT_EQ(Encode("abc"), "YWJj");
  EXPECT_EQ(Encode("ab"), "YWI=");
  EXPECT_EQ(Encode("a"), "YQ==");
  EXPECT_EQ(Decode("YWI="), "ab");
  EXPECT_EQ(Decode("YQ=="), "a");
  EXPECT_EQ(Decode("YWJj"), "abc");
  EXPECT_EQ(Decode(""), "");
  // A group whose second character is padding yields nothing.
  EXPECT_EQ(Decode("YWJjY==="), "abc");
}

TEST(Base64, EncodeEdgeLengths) {
  const U8 byte = 0;
  EXPECT_EQ(BASE64_pcEncode(&byte, 0), nullptr);
  EXPECT_EQ(BASE64_pcEncode(nullptr, 3), nullptr);
  char *empty = BASE64_pcEncode(&byte, -1);
  ASSERT_NE(empty, nullptr);
  EXPECT_STREQ(empty, "");
  std::free(empty);
}

TEST(Base64, DecodeOfUncheckedTextStaysInBounds) {
  // Lengths that are not a multiple of 4 and characters outside the alphabet: no out-of-bounds access (the
  // sanitizer build checks), and a short last group never yields more bytes than its characters carry.
  EXPECT_EQ(Decode("YWJ").size(), 2u);
  EXPECT_EQ(Decode("YW"), "a");
  EXPECT_EQ(Decode("Y").size(), 0u);
  EXPECT_EQ(Decode("!!!!").size(), 3u);
}

TEST(Base64, Validation) {
  struct Case {
    const char *text;
    BOOLEAN valid;
  };
  const Case cases[] = {
      {"", TRUE},      {"YWJ", FALSE},  {"=WJj", FALSE}, {"Y=Jj", TRUE},     {"YW==", TRUE},
      {"YWJ=", TRUE},  {"YWJj", TRUE},  {"YW!j", FALSE}, {"YWJj=WJj", FALSE}, {"YW J", FALSE},
  };
  for (const auto &c : cases) EXPECT_EQ(BASE64_bIsBase64(c.text), c.valid) << c.text;
}

// Buffers of 1 to 100 random bytes with their coreutils base16 and base64 (data/gen_codec_table.sh).
TEST(Base64, AgreesWithCoreutilsTable) {
  const auto lines = TableLines("codec_coreutils.txt");
  ASSERT_EQ(lines.size(), 200u) << "table codec_coreutils.txt";
  for (const auto &line : lines) {
    std::istringstream fields(line);
    std::string hex, b64;
    fields >> hex >> b64;
    ASSERT_EQ(hex.size() % 2, 0u);
    std::vector<U8> bytes(hex.size() / 2);
    for (size_t i = 0; i < bytes.size(); ++i) {
      bytes[i] = static_cast<U8>(std::stoul(hex.substr(2 * i, 2), nullptr, 16));
    }
    std::vector<U8> parsed(bytes.size());
    U_HEX_v2Hex(hex.c_str(), parsed.data(), static_cast<U32>(parsed.size()));
    EXPECT_EQ(parsed, bytes) << hex;
    std::string text(hex.size(), '?');
    U_HEX_v2ASCII(bytes.data(), text.data(), static_cast<U32>(bytes.size()));
    EXPECT_EQ(text, hex);

    EXPECT_EQ(Encode(std::string(bytes.begin(), bytes.end())), b64);
    EXPECT_TRUE(BASE64_bIsBase64(b64.c_str())) << b64;
    EXPECT_EQ(Decode(b64.c_str()), std::string(bytes.begin(), bytes.end())) << b64;
  }
}

}  // namespace
