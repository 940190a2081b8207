#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "draw/rle.h"
#include "draw/rle_nibble.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes compress(Bytes in) {
  Bytes out(in.size() * 2 + 8);
  out.resize(static_cast<size_t>(U_RLE_Compress(in.data(), out.data(), static_cast<unsigned>(in.size()))));
  return out;
}

Bytes expand(Bytes packed, size_t size) {
  Bytes out(size);
  U_RLE_Uncompress(packed.data(), out.data(), static_cast<unsigned>(packed.size()));
  return out;
}

TEST(ByteRle, ExamplesEncodeAsStated) {
  struct Case {
    Bytes in, out;
  };
  const Case cases[] = {
      {Bytes(5, 0x41), {0x00, 0x00, 0x04, 0x41}},
      {{0x00, 0x00, 0x00}, {0x01, 0x00, 0x00, 0x00}}, // a short run of another byte stays literal
      {Bytes(200, 0x07), {0x00, 0x00, 0x80, 0xC7, 0x07}},
      {{0x00, 0x00, 0x00, 0x01, 0x01, 0x01, 0x01, 0x01, 0x02}, {0x03, 0x00, 0x00, 0x00, 0x03, 0x04, 0x01, 0x02}},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(compress(c.in), c.out);
    EXPECT_EQ(expand(c.out, c.in.size()), c.in);
  }
  EXPECT_EQ(compress({}), Bytes{});
}

TEST(ByteRle, ThreeMarkerBytesAndLongRuns) {
  // Every other value occurs four times, so 0x05 is the marker; three of them are written M, 2.
  Bytes in;
  for (int rep = 0; rep < 4; rep++)
    for (int v = 0; v < 256; v++)
      if (v != 5) in.push_back(static_cast<unsigned char>(v));
  in.insert(in.end(), {5, 5, 5});
  Bytes out = compress(in);
  ASSERT_EQ(out[0], 5);
  EXPECT_EQ(Bytes(out.end() - 2, out.end()), (Bytes{5, 2}));
  EXPECT_EQ(expand(out, in.size()), in);

  // 40,000 equal bytes: a run of 0x8000 and a run of 7,232.
  out = compress(Bytes(40000, 0x99));
  EXPECT_EQ(out, (Bytes{0x00, 0x00, 0xFF, 0xFF, 0x99, 0x00, 0x9C, 0x3F, 0x99}));
  EXPECT_EQ(expand(out, 40000), Bytes(40000, 0x99));
}

TEST(ByteRle, RoundTripsRandomBuffers) {
  std::mt19937 rng(7);
  for (int trial = 0; trial < 200; trial++) {
    Bytes in(rng() % 3000);
    const unsigned alphabet = 1 + rng() % 6;
    for (auto &b : in) b = static_cast<unsigned char>(rng() % alphabet * 51);
    // Long runs now and then.
    if (!in.empty() && trial % 3 == 0) std::fill(in.begin(), in.begin() + static_cast<long>(in.size() / 2), 0x33);
    const Bytes out = compress(in);
    EXPECT_EQ(expand(out, in.size()), in);
  }
}

TEST(ByteRle, TruncatedStreamStopsAtItsEnd) {
  Bytes out(8, 0xEE);
  Bytes packed = {0x00, 0x41, 0x00}; // the marker with its count missing
  U_RLE_Uncompress(packed.data(), out.data(), 3);
  EXPECT_EQ(out, (Bytes{0x41, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE}));
}

std::vector<U8> decodeNibbles(const std::vector<U8> &stream, int count) {
  NIBBLE_RLE_STATE s;
  U_RLE_NIBBLE_vInit(&s, stream.data());
  std::vector<U8> v;
  for (int i = 0; i < count; i++) v.push_back(U_RLE_NIBBLE_u8GetNext(&s));
  return v;
}

TEST(NibbleRle, TokensDecodeAsStated) {
  struct Case {
    std::vector<U8> stream;
    std::vector<U8> values;
  };
  const Case cases[] = {
      {{0x11, 0x89, 0x35, 0x00}, {3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 5, 0}},
      {{0x11, 0x07}, {1, 7}},                 // M 0: the marker once
      {{0x11, 0x27}, {1, 1, 1, 7}},           // M 2: three markers, no value nibble
      {{0x11, 0x37, 0x20}, {7, 7, 7, 7, 2}},  // M 3 v: v four times
      {{0x11, 0x85, 0x92}, {9, 9, 9, 9, 9, 9, 2}}, // M 8 5 v: a small two-nibble count
      {{0x11, 0x31, 0x20}, {1, 1, 1, 1, 2}},  // a run of the marker value itself
  };
  for (const Case &c : cases) EXPECT_EQ(decodeNibbles(c.stream, static_cast<int>(c.values.size())), c.values);
}

TEST(NibbleRle, EncoderExamplesAndLimits) {
  U8 out[8] = {};
  const U8 one = 0x33;
  EXPECT_EQ(U_RLE_NIBBLE_nCompress(&one, out, 1), -1);
  const U8 four[4] = {0x33, 0x33, 0x33, 0x33};
  std::fill(std::begin(out), std::end(out), 0xAB);
  EXPECT_EQ(U_RLE_NIBBLE_nCompress(four, out, 4), 2);
  EXPECT_EQ(out[0], 0x00);
  EXPECT_EQ(out[1], 0x73);
  EXPECT_EQ(out[2], 0xAB); // nothing written beyond the stream
  EXPECT_EQ(U_RLE_NIBBLE_nCompress(four, out, 0), 1);
  EXPECT_TRUE(U_RLE_NIBBLE_bVerify(four, out, 0));
  // An odd final nibble leaves the low half of the last byte as it was.
  const U8 five[3] = {0x11, 0x11, 0x12};
  std::fill(std::begin(out), std::end(out), 0x0C);
  EXPECT_EQ(U_RLE_NIBBLE_nCompress(five, out, 3), 3); // 0 0 4 1 2: five nibbles
  EXPECT_EQ(out[0], 0x00);
  EXPECT_EQ(out[1], 0x41);
  EXPECT_EQ(out[2], 0x2C);
  EXPECT_EQ(decodeNibbles({out[0], out[1], out[2]}, 6), (std::vector<U8>{1, 1, 1, 1, 1, 2}));
}

TEST(NibbleRle, RoundTripsRandomBuffers) {
  std::mt19937 rng(11);
  for (int trial = 0; trial < 300; trial++) {
    std::vector<U8> in(1 + rng() % 400);
    const unsigned alphabet = 1 + rng() % 16;
    for (auto &b : in) b = static_cast<U8>((rng() % alphabet) << 4 | (rng() % alphabet));
    if (trial % 2) std::fill(in.begin(), in.begin() + static_cast<long>(in.size() * 2 / 3), 0x44);
    const int n = static_cast<int>(in.size());
    std::vector<U8> packed(in.size(), 0);
    const int len = U_RLE_NIBBLE_nCompress(in.data(), packed.data(), n);
    if (len < 0) continue;
    EXPECT_LE(len, n); // at most 2n - 1 nibbles
    packed.resize(static_cast<size_t>(len) + 2); // the decoder may look at the unused half of the last byte
    EXPECT_TRUE(U_RLE_NIBBLE_bVerify(in.data(), packed.data(), n));
    std::vector<U8> back(in.size());
    U_RLE_NIBBLE_vDecompress(back.data(), packed.data(), n);
    EXPECT_EQ(back, in);
    in[rng() % in.size()] ^= 0x10;
    EXPECT_FALSE(U_RLE_NIBBLE_bVerify(in.data(), packed.data(), n));
  }
}

} // namespace
