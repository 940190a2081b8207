// 16.16 fixed-point arithmetic: table-driven, integer-only, with the rounding the predictions depend on.
#include "chartlib/tide/tide_fixed.h"

#include "chartlib/tide/tide_tables.h"

namespace {

constexpr int32_t sqrt_scale[9] = {1, 2, 4, 8, 16, 32, 64, 128, 256};

uint32_t magnitude(int32_t a) { return a < 0 ? 0u - static_cast<uint32_t>(a) : static_cast<uint32_t>(a); }

// Signed result of an unsigned magnitude, negated when asked (32-bit wrapping).
fixed with_sign(uint32_t m, bool negative) { return static_cast<fixed>(negative ? 0u - m : m); }

// T[i] + rounded linear step for an argument 0..65536 over a table of 129 steps.
template <typename T>
int32_t interpolate_512(const T *t, uint32_t a) {
  const uint32_t i = a >> 9, f = a & 0x1FF;
  return t[i] + static_cast<int32_t>((f * static_cast<uint32_t>(t[i + 1] - t[i]) + 256) >> 9);
}

// Interpolated sqrt_array value at a 16.16 argument from 1.0 to just below 4.0.
int32_t sqrt_interpolate(uint32_t a) {
  const uint32_t i = a >> 10;
  return sqrt_array[i] +
         static_cast<int32_t>(((a & 0x3FF) * static_cast<uint32_t>(sqrt_array[i + 1] - sqrt_array[i]) + 512) >> 10);
}

}  // namespace

fixed int_to_fixed(int32_t a) { return static_cast<fixed>(static_cast<uint32_t>(a) << 16); }

int32_t round_fixed_to_int(fixed a) {
  if (a >= 0) return static_cast<int32_t>((static_cast<uint32_t>(a) + 0x8000u) >> 16);
  return -static_cast<int32_t>((0x8000u + magnitude(a)) >> 16);
}

fixed fixed_minus(fixed a) { return static_cast<fixed>(0u - static_cast<uint32_t>(a)); }
uint32_t unsigned_change_sign(uint32_t a) { return 0u - a; }
fixed fixed_add(fixed a, fixed b) { return static_cast<fixed>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b)); }
fixed fixed_subtract(fixed a, fixed b) {
  return static_cast<fixed>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
fixed fixed_multiply_int(fixed a, int32_t b) {
  return static_cast<fixed>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}

fixed fixed_scale(fixed a, uint32_t n) {
  if (n == 0) return 0;
  if (a >= 0) return static_cast<fixed>((static_cast<uint32_t>(a) + n / 2) / n);
  return with_sign((n / 2 + magnitude(a)) / n, true);
}

int fixed_same_sign(fixed a, fixed b) { return (a < 0) == (b < 0); }
int int_same_sign(int32_t a, int32_t b) { return (a < 0) == (b < 0); }

fixed fixed_multiply(fixed a, fixed b) {
  const uint32_t ma = magnitude(a), mb = magnitude(b);
  const uint32_t p = ma >> 8, q = ma & 0xFF, r = mb >> 8, s = mb & 0xFF;
  const uint32_t h = r * p + ((r * q + s * p + 128) >> 8);  // low-byte product dropped
  return with_sign(h, h != 0 && ((a < 0) != (b < 0)));
}

fixed fixed_square(fixed a) {
  const uint32_t m = magnitude(a), p = m >> 8, q = m & 0xFF;
  return static_cast<fixed>(p * p + ((p * q + 64) >> 7));
}

// The 17th fraction bit of one 64-bit quotient is the rounding bit: the same bits a restoring division
// produces one at a time. From a >= b on, every bit of that division is set and rounding carries to 1.0.
fixed fixed_long_ratio(uint32_t a, uint32_t b) {
  if (b == 0) return 0;
  if (a >= b) return FIXED_ONE;
  return static_cast<fixed>(((static_cast<uint64_t>(a) << 17) / b + 1) >> 1);
}

fixed fixed_divide(fixed a, fixed b) {
  if (b == 0) return 0;  // not defined; the callers never divide by zero
  const uint32_t ma = magnitude(a), mb = magnitude(b);
  // Whole part and 16 rounded fraction bits in one quotient; bits above 32 drop as the 16-bit whole part's.
  const uint32_t q = static_cast<uint32_t>(((static_cast<uint64_t>(ma) << 17) / mb + 1) >> 1);
  return with_sign(q, (a < 0) != (b < 0));
}

fixed fixed_square_root(fixed a) {
  if (a <= 0) return 0;  // negative arguments are refused: their normalisation would never end
  uint32_t v = static_cast<uint32_t>(a);
  if (v <= 0x3FFFF) {
    int i = 0;
    while (v < 0x4000) {
      v <<= 4;
      i += 2;
    }
    if (v < 0x10000) {
      v <<= 2;
      i += 1;
    }
    const int32_t r = sqrt_interpolate(v);
    return i > 0 ? fixed_scale(r, static_cast<uint32_t>(sqrt_scale[i])) : r;
  }
  uint32_t b = v;
  int i = 0;
  if (v >= 0x100000) {
    while (b > 0xFFFFF) {
      b = (b + 8) >> 4;
      i += 2;
    }
  }
  if (v < 0x100000 || b >= 0x40000) {
    do {
      b = (b + 2) >> 2;
      i += 1;
    } while (b > 0x3FFFF);
  }
  const int32_t x0 = sqrt_scale[i] * sqrt_interpolate(b);
  const uint32_t x1 = static_cast<uint32_t>(x0) + static_cast<uint32_t>(fixed_divide(a, x0));
  return static_cast<fixed>((x1 + 1) >> 1);
}

fixed fixed_positive_sin(fixed angle) {
  const uint32_t b = static_cast<uint32_t>(angle) & 0xFFFF;
  const uint32_t i = b >> 7;
  const int32_t f = static_cast<int32_t>(b & 0x7F);
  const int32_t d = f * (sin_array[i + 1] - sin_array[i]);
  return d >= 0 ? sin_array[i] + ((d + 64) >> 7) : sin_array[i] - ((64 - d) >> 7);
}

fixed fixed_positive_cos(fixed angle) {
  return fixed_positive_sin(static_cast<fixed>(static_cast<uint32_t>(angle) + 0x4000u));
}

fixed fixed_reduced_atan(fixed ratio) {
  return interpolate_512(atan_array, static_cast<uint32_t>(ratio));
}

fixed fixed_distance(fixed ratio) { return interpolate_512(distance_array, static_cast<uint32_t>(ratio)); }

void cartesian_to_polar(fixed x, fixed y, fixed *angle, fixed *length) {
  const uint32_t ax = magnitude(x), ay = magnitude(y);
  if (ax == 0 && ay == 0) {
    *angle = 0;
    *length = 0;
    return;
  }
  fixed a, factor;
  uint32_t larger;
  if (ay < ax) {
    const fixed t = fixed_long_ratio(ay, ax);
    a = fixed_reduced_atan(t);
    factor = fixed_distance(t);
    larger = ax;
  } else {
    const fixed t = fixed_long_ratio(ax, ay);
    a = 0x4000 - fixed_reduced_atan(t);
    factor = fixed_distance(t);
    larger = ay;
  }
  if (x < 0) a = 0x8000 - a;
  if (y < 0 && a != 0) a = 0x10000 - a;
  *angle = a;
  *length = fixed_multiply(static_cast<fixed>(larger), factor);
}
