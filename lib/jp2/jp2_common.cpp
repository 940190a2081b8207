// Arithmetic helpers and the level geometry of the inverse wavelet.
#include "jp2/jp2_common.h"

#include "jp2/jp2_wavelet.h"

template <typename T> static T _JP2_Euclid(T a, T b) {
  while (b != 0) {
    T r = a % b;
    a = b;
    b = r;
  }
  return a;
}

S32 JP2_Common_GCD(S32 a, S32 b) { return _JP2_Euclid(a, b); }

S32 JP2_Common_LCM(S32 a, S32 b) {
  S32 g = JP2_Common_GCD(a, b);
  return g ? (S32)((S64)a * b / g) : 0;
}

U64 JP2_Common_GCD64(U64 a, U64 b) { return _JP2_Euclid(a, b); }

S32 JP2_Common_Get_Native_Byte_Order() {
  const U16 u16 = 1;
  return *(const U8 *)&u16 == 1 ? 0 : 1;
}

S32 JP2_Common_SIMD_Support() { return 0; }

S32 JP2_Common_Calc_Widths_Heights(U32 u32Width, U32 u32Height, U32 x0, U32 y0, U32 L, JP2_Wavelet_Level *ps) {
  U32 x1 = x0 + u32Width, y1 = y0 + u32Height;
  ps[0].u32Width = u32Width;
  ps[0].u32Height = u32Height;
  for (U32 i = 0; i <= L; i++) {
    JP2_Wavelet_Level &l = ps[i];
    l.u32X0Odd = x0 & 1;
    l.u32X1Odd = x1 & 1;
    l.u32Y0Odd = y0 & 1;
    l.u32Y1Odd = y1 & 1;
    U32 w = l.u32Width, h = l.u32Height;
    l.u32LowCount = (x0 & 1) ? w / 2 : (w + 1) / 2;
    l.u32HighCount = w - l.u32LowCount;
    if (i == L) break;
    ps[i + 1].u32Width = l.u32LowCount;
    ps[i + 1].u32Height = (y0 & 1) ? h / 2 : (h + 1) / 2;
    x0 = JP2_Ceil_Div_Pow2(x0, 1);
    x1 = JP2_Ceil_Div_Pow2(x1, 1);
    y0 = JP2_Ceil_Div_Pow2(y0, 1);
    y1 = JP2_Ceil_Div_Pow2(y1, 1);
  }
  return 0;
}
