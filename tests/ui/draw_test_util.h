// Helpers of the user-interface drawing tests: where a colour lies in a test bitmap.
#pragma once
#include <algorithm>

#include "golden.h"

// The bounding box of the pixels of one colour, optionally only in rows yMin to yMax.
struct Extent {
  PIXEL left = 1 << 20, bottom = 1 << 20, right = -(1 << 20), top = -(1 << 20);
  bool empty() const { return right < left; }
};

inline Extent extentOf(const TestBitmap &bmp, COLOR c, PIXEL yMin = -(1 << 20), PIXEL yMax = 1 << 20) {
  Extent e;
  for (auto [x, y] : bmp.points(c)) {
    if (y < yMin || y > yMax) continue;
    e.left = std::min(e.left, x), e.right = std::max(e.right, x);
    e.bottom = std::min(e.bottom, y), e.top = std::max(e.top, y);
  }
  return e;
}
