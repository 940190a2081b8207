// Sample words of decoded lines: 32-bit integers, IEEE singles held in the same bits, or 16-bit values.
#pragma once
#include <cstring>

#include "jp2/jp2_types.h"

static inline float JP2_Line_Float(S32 v) {
  float f;
  memcpy(&f, &v, 4);
  return f;
}
static inline S32 JP2_Line_Bits(float f) {
  S32 v;
  memcpy(&v, &f, 4);
  return v;
}
// 16-bit line arithmetic wraps modulo 2^16.
static inline S32 JP2_Line_Wrap16(S32 v) { return (S32)(S16)(U16)(U32)v; }
