#include "util/median.h"

#include <cstring>

namespace {

constexpr int kWindow7 = 7;

U32 s_au32Histogram[256];

// First position in the window whose value is not below u8Value.
int InsertPosition(const U8 *pu8SortedData, int nCount, U8 u8Value) {
  int pos = 0;
  while (pos < nCount && pu8SortedData[pos] < u8Value) ++pos;
  return pos;
}

void U_MEDIAN_vFilterFast7(const U8 *d, U8 *o, U32 n) {
  if (n < static_cast<U32>(kWindow7)) return;
  int index[kWindow7];
  U8 data[kWindow7];
  int count = 0;
  for (int k = 0; k < 4; ++k) U_MEDIAN_vInsert7(index, data, count++, 0, d[0]);
  for (int k = 1; k <= 3; ++k) U_MEDIAN_vInsert7(index, data, count++, k, d[k]);
  o[0] = data[3];
  for (U32 i = 1; i < n; ++i) {
    int out = i <= 4 ? 0 : static_cast<int>(i - 4);
    U32 in = i + 3 < n ? i + 3 : n - 1;
    U_MEDIAN_vReplace7(index, data, out, static_cast<int>(in), d[in]);
    o[i] = data[3];
  }
}

void U_MEDIAN_vFilterFast5(const U8 *d, U8 *o, U32 n) {
  if (n < 4) return;
  o[0] = d[0];
  o[1] = static_cast<U8>(u32FastMedian5(d[0], d[0], d[1], d[2], d[3]));
  for (U32 i = 2; i + 2 < n; ++i) {
    o[i] = static_cast<U8>(u32FastMedian5(d[i - 2], d[i - 1], d[i], d[i + 1], d[i + 2]));
  }
  o[n - 2] = static_cast<U8>(u32FastMedian5(d[n - 4], d[n - 3], d[n - 2], d[n - 1], d[n - 1]));
  o[n - 1] = d[n - 1];
}

void U_MEDIAN_vFilterFast3(const U8 *d, U8 *o, U32 n) {
  if (n == 0) return;
  o[0] = d[0];
  for (U32 i = 1; i + 1 < n; ++i) o[i] = static_cast<U8>(u32FastMedian3(d[i - 1], d[i], d[i + 1]));
  o[n - 1] = d[n - 1];
}

void FilterHistogram(const U8 *d, U8 *o, U32 n, U32 l) {
  const S64 h = l / 2;
  // A window of 0 would select value 0 everywhere; it is taken as a window of 1.
  const U32 target = l < 1 ? 1 : (l + 1) / 2;
  for (U32 i = 0; i < n; ++i) {
    std::memset(s_au32Histogram, 0, sizeof s_au32Histogram);
    for (S64 pos = static_cast<S64>(i) - h; pos <= static_cast<S64>(i) + h; ++pos) {
      U8 sample = pos < 0 ? d[i] : (pos >= static_cast<S64>(n) ? d[n - 1] : d[pos]);
      ++s_au32Histogram[sample];
    }
    U32 sum = 0;
    int value = 0;
    for (; value < 255; ++value) {
      sum += s_au32Histogram[value];
      if (sum >= target) break;
    }
    o[i] = static_cast<U8>(value);
  }
}

}  // namespace

U32 u32FastMedian3(U32 a, U32 b, U32 c) {
  if (a < b) {
    if (b < c) return b;
    return a < c ? c : a;
  }
  if (a < c) return a;
  return b < c ? c : b;
}

U32 u32FastMedian5(U32 a, U32 b, U32 c, U32 d, U32 e) {
  // Order the pairs (a, b) and (c, d) and let a be the smaller minimum: it lies below three others and drops
  // out. The median of five is then the second smallest of b, c, d, e.
  auto order = [](U32 &x, U32 &y) {
    if (y < x) { U32 t = x; x = y; y = t; }
  };
  order(a, b);
  order(c, d);
  if (c < a) {
    U32 t = a; a = c; c = t;
    t = b; b = d; d = t;
  }
  order(b, e);
  if (b < c) return e < c ? e : c;
  return b < d ? b : d;
}

void U_MEDIAN_vInsert7(int *pnSortedIndex, U8 *pu8SortedData, int nCount, int nIndexIn, U8 u8DataIn) {
  int pos = InsertPosition(pu8SortedData, nCount, u8DataIn);
  for (int k = nCount; k > pos; --k) {
    pu8SortedData[k] = pu8SortedData[k - 1];
    pnSortedIndex[k] = pnSortedIndex[k - 1];
  }
  pu8SortedData[pos] = u8DataIn;
  pnSortedIndex[pos] = nIndexIn;
}

void U_MEDIAN_vReplace7(int *pnSortedIndex, U8 *pu8SortedData, int nIndexOut, int nIndexIn, U8 u8DataIn) {
  int out = 0;
  while (out < kWindow7 && pnSortedIndex[out] != nIndexOut) ++out;
  if (out == kWindow7) return;
  int in = InsertPosition(pu8SortedData, kWindow7, u8DataIn);
  if (in < out) {
    for (int k = out; k > in; --k) {
      pu8SortedData[k] = pu8SortedData[k - 1];
      pnSortedIndex[k] = pnSortedIndex[k - 1];
    }
  } else if (in > out + 1) {
    for (int k = out; k < in - 1; ++k) {
      pu8SortedData[k] = pu8SortedData[k + 1];
      pnSortedIndex[k] = pnSortedIndex[k + 1];
    }
    in -= 1;
  } else {
    in = out;
  }
  pu8SortedData[in] = u8DataIn;
  pnSortedIndex[in] = nIndexIn;
}

void U_MEDIAN_vFilter(const U8 *pu8Data, U8 *pu8Filtered, U32 u32DataLength, U32 u32FilterLength) {
  switch (u32FilterLength) {
    case 7: U_MEDIAN_vFilterFast7(pu8Data, pu8Filtered, u32DataLength); break;
    case 5: U_MEDIAN_vFilterFast5(pu8Data, pu8Filtered, u32DataLength); break;
    case 3: U_MEDIAN_vFilterFast3(pu8Data, pu8Filtered, u32DataLength); break;
    default: FilterHistogram(pu8Data, pu8Filtered, u32DataLength, u32FilterLength); break;
  }
}
