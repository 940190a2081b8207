#include "util/fixed_point.h"

namespace {

constexpr S64 kDeg90 = 0x5A0000;
constexpr S64 kDeg180 = 0xB40000;
constexpr S64 kDeg360 = 0x1680000;

// Integer square root by the bit-pair method over `pairs` pairs of bits, rounded down.
U32 BitPairSqrt(U64 value, int pairs) {
  U64 root = 0;
  U64 remainder = 0;
  for (int i = pairs - 1; i >= 0; --i) {
    remainder = (remainder << 2) | ((value >> (2 * i)) & 3u);
    U64 trial = (root << 2) | 1u;
    root <<= 1;
    if (remainder >= trial) {
      remainder -= trial;
      root |= 1u;
    }
  }
  return static_cast<U32>(root);
}

// Wraps a 64-bit intermediate into 32 bits the way the 32-bit arithmetic of the board does.
S32 Wrap32(S64 value) { return static_cast<S32>(static_cast<U32>(static_cast<U64>(value))); }

S32 FixedMul(S32 a, S32 b) { return Wrap32((static_cast<S64>(a) * b) >> 16); }

// Length rounded down. The sum is unsigned: three squares of 32-bit values can exceed the signed 64-bit range,
// and the root can reach 2^31.6.
U32 Length(const VECTOR_3D &v) {
  U64 sum = static_cast<U64>(static_cast<S64>(v.x) * v.x) + static_cast<U64>(static_cast<S64>(v.y) * v.y) +
            static_cast<U64>(static_cast<S64>(v.z) * v.z);
  return BitPairSqrt(sum, 32);
}

}  // namespace

FIXED_POINT U_FIXED_POINT_fpnSin(FIXED_POINT fpnAngle) {
  // 64-bit so that negating the most negative angle is defined.
  S64 angle = fpnAngle;
  bool negate = false;
  if (angle < 0) {
    angle = -angle;
    negate = true;
  }
  if (angle > kDeg360) angle = (angle - 1) % kDeg360 + 1;
  if (angle >= kDeg180) {
    angle -= kDeg180;
    negate = !negate;
  }
  if (angle > kDeg90) angle = kDeg180 - angle;
  FIXED_POINT value = fpnSinLookupTable[(angle + 0x800) >> 12];
  return negate ? -value : value;
}

FIXED_POINT U_FIXED_POINT_fpnCos(FIXED_POINT fpnAngle) {
  return U_FIXED_POINT_fpnSin(Wrap32(static_cast<S64>(fpnAngle) + kDeg90));
}

FIXED_POINT U_FIXED_POINT_fpnSqrt(FIXED_POINT fpnA) {
  if (fpnA <= 0) return 0;
  return static_cast<FIXED_POINT>(BitPairSqrt(static_cast<U64>(fpnA), 16) << 8);
}

FIXED_POINT U_FIXED_POINT_fpnVectorLength(const VECTOR_3D *pv3) {
  return static_cast<FIXED_POINT>(Length(*pv3));
}

void U_FIXED_POINT_vNormalizedCrossProduct(VECTOR_3D *pv3Result, const VECTOR_3D *pv3L, const VECTOR_3D *pv3R) {
  VECTOR_3D r;
  r.x = Wrap32(static_cast<S64>(FixedMul(pv3L->y, pv3R->z)) - FixedMul(pv3L->z, pv3R->y));
  r.y = Wrap32(static_cast<S64>(FixedMul(pv3L->z, pv3R->x)) - FixedMul(pv3L->x, pv3R->z));
  r.z = Wrap32(static_cast<S64>(FixedMul(pv3L->x, pv3R->y)) - FixedMul(pv3R->x, pv3L->y));
  *pv3Result = r;
  S64 length = Length(r);
  if (length == 0) return;
  pv3Result->x = Wrap32(static_cast<S64>(r.x) * 65536 / length);
  pv3Result->y = Wrap32(static_cast<S64>(r.y) * 65536 / length);
  pv3Result->z = Wrap32(static_cast<S64>(r.z) * 65536 / length);
}
