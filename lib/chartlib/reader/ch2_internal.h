// Helpers shared by the chart reader's sources.
#pragma once
#include <cmath>
#include <cstdint>

#include "chartlib/chartlib_types.h"

namespace ch2_detail {

// A FLOAT field's value: the double rounded through single precision. Through a volatile: GCC 12's SLP
// vectorizer at -O2 drops the plain double-float-double round trip when it pairs two of these.
inline DOUBLE F32(DOUBLE v) {
  volatile float f = static_cast<float>(v);
  return f;
}

// Integer part of v, held within the 32-bit range (NaN gives 0).
inline int32_t TruncSat(DOUBLE v) {
  if (!(v == v)) return 0;
  if (v >= 2147483647.0) return INT32_MAX;
  if (v <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(v);
}

inline int32_t Sat32(int64_t v) {
  return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : static_cast<int32_t>(v);
}

// Inverse Mercator of the metre grid, without a shortcut for y = 0.
DOUBLE LatitudeOfY(int64_t y);

}  // namespace ch2_detail
