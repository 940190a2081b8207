#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "util/median.h"

namespace {

using Line = std::vector<U8>;

Line Filter(const Line &in, U32 window, U8 fill = 0xEE) {
  Line out(in.size(), fill);
  U_MEDIAN_vFilter(in.data(), out.data(), static_cast<U32>(in.size()), window);
  return out;
}

U8 KthSmallest(std::vector<U8> v, size_t k) {
  std::sort(v.begin(), v.end());
  return v[k];
}

// The filters as the window rules state them, by sorting.
Line Reference(const Line &d, U32 window) {
  const size_t n = d.size();
  Line o(n);
  auto at = [&](long pos, U8 before) -> U8 {
    if (pos < 0) return before;
    if (pos >= static_cast<long>(n)) return d[n - 1];
    return d[pos];
  };
  for (size_t i = 0; i < n; ++i) {
    const long c = static_cast<long>(i);
    if (window == 7) {
      std::vector<U8> w;
      for (long p = c - 3; p <= c + 3; ++p) w.push_back(at(p, d[0]));
      o[i] = KthSmallest(w, 3);
    } else if (window == 5 || window == 3) {
      long h = window / 2;
      if (i == 0 || i == n - 1) {
        o[i] = d[i];
        continue;
      }
      std::vector<U8> w;
      for (long p = c - h; p <= c + h; ++p) w.push_back(at(p, d[0]));
      o[i] = KthSmallest(w, h);
    } else {
      long h = window / 2;
      std::vector<U8> w;
      for (long p = c - h; p <= c + h; ++p) w.push_back(at(p, d[i]));
      o[i] = KthSmallest(w, (window + 1) / 2 - 1);
    }
  }
  return o;
}

TEST(Median, Examples) {
  EXPECT_EQ(Filter({5, 1, 9, 2}, 3), (Line{5, 5, 2, 2}));
  const Line four{40, 10, 30, 20};
  // d0; med(d0, d0, d1, d2, d3); med(d0, d1, d2, d3, d3); d3.
  EXPECT_EQ(Filter(four, 5), (Line{40, 30, 20, 20}));
  EXPECT_EQ(Filter({1, 2, 3, 4, 5, 6}, 7), Line(6, 0xEE));  // too short: untouched
  EXPECT_EQ(Filter({1, 2, 3}, 5), Line(3, 0xEE));
  EXPECT_EQ(Filter({7, 1, 6, 2, 5, 3, 4}, 7), (Line{7, 6, 5, 4, 4, 4, 4}));
  EXPECT_EQ(Filter({9, 3, 7, 1}, 1), (Line{9, 3, 7, 1}));
  EXPECT_EQ(Filter({9, 3, 7, 1}, 0), (Line{9, 3, 7, 1}));
  // L = 4: the second smallest of the five samples around each position.
  EXPECT_EQ(Filter({9, 3, 7, 1, 8}, 4), (Line{7, 3, 3, 3, 7}));
  EXPECT_EQ(Filter({}, 3), Line{});
}

TEST(Median, FastPathsMatchTheWindowRules) {
  std::mt19937 rng(7);
  for (U32 window : {3u, 4u, 5u, 6u, 7u, 9u, 300u}) {
    for (size_t n : {size_t{1}, size_t{4}, size_t{7}, size_t{8}, size_t{40}}) {
      if ((window == 7 && n < 7) || (window == 5 && n < 4)) continue;
      for (int trial = 0; trial < 20; ++trial) {
        Line d(n);
        // Few distinct values so that equal samples are common.
        for (auto &v : d) v = static_cast<U8>(rng() % (trial % 2 ? 256 : 4));
        ASSERT_EQ(Filter(d, window), Reference(d, window)) << "window " << window << " n " << n;
      }
    }
  }
}

TEST(Median, FiveAndThreeOfEveryOrder) {
  std::vector<U32> v{1, 2, 3, 4, 5};
  do {
    EXPECT_EQ(u32FastMedian5(v[0], v[1], v[2], v[3], v[4]), 3u);
    EXPECT_EQ(u32FastMedian3(v[0], v[1], v[2]), KthSmallest({U8(v[0]), U8(v[1]), U8(v[2])}, 1));
  } while (std::next_permutation(v.begin(), v.end()));
}

TEST(Median, ReplaceKeepsWindowSorted) {
  int index[7];
  U8 data[7];
  const U8 values[7] = {10, 20, 20, 30, 40, 50, 60};
  for (int k = 0; k < 7; ++k) U_MEDIAN_vInsert7(index, data, k, k, values[k]);
  U_MEDIAN_vReplace7(index, data, 5, 9, 20);  // 50 leaves, 20 goes before the equal ones
  EXPECT_EQ(std::vector<U8>(data, data + 7), (std::vector<U8>{10, 20, 20, 20, 30, 40, 60}));
  EXPECT_EQ(index[1], 9);
  U_MEDIAN_vReplace7(index, data, 0, 10, 55);  // 10 leaves from the bottom, 55 goes near the top
  EXPECT_EQ(std::vector<U8>(data, data + 7), (std::vector<U8>{20, 20, 20, 30, 40, 55, 60}));
  EXPECT_EQ(index[5], 10);
  U_MEDIAN_vReplace7(index, data, 42, 11, 0);  // unknown index: unchanged
  EXPECT_EQ(std::vector<U8>(data, data + 7), (std::vector<U8>{20, 20, 20, 30, 40, 55, 60}));
}

}  // namespace
