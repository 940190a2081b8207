// 16.16 fixed-point sine, cosine, square root, vector length and normalised cross product, without floating point.
// Angles are degrees in 16.16 (90 degrees is 0x5A0000).
#pragma once
#include "corvan/types.h"

typedef S32 FIXED_POINT;

typedef struct tag_POINT_3D {
  FIXED_POINT x;
  FIXED_POINT y;
  FIXED_POINT z;
} VECTOR_3D;

// sin(i/16 degree) * 65536 rounded, i = 0..1440 (0 to 90 degrees).
constexpr int FIXED_POINT_SIN_TABLE_SIZE = 1441;
extern const FIXED_POINT fpnSinLookupTable[FIXED_POINT_SIN_TABLE_SIZE];

FIXED_POINT U_FIXED_POINT_fpnSin(FIXED_POINT fpnAngle);
FIXED_POINT U_FIXED_POINT_fpnCos(FIXED_POINT fpnAngle);
// 8 significant fraction bits (the lowest 8 bits are zero); 0 for 0 or below.
FIXED_POINT U_FIXED_POINT_fpnSqrt(FIXED_POINT fpnA);
// Rounded down.
FIXED_POINT U_FIXED_POINT_fpnVectorLength(const VECTOR_3D *pv3);
// L x R scaled to unit length; the zero vector when L and R are parallel.
void U_FIXED_POINT_vNormalizedCrossProduct(VECTOR_3D *pv3Result, const VECTOR_3D *pv3L, const VECTOR_3D *pv3R);
