// Step sizes are normalised by bit depth and guard bits and held as float and 2^-28 fixed point.
#include "jp2/jp2_dequant.h"

#include <cstring>

S32 JP2_Dequant_Calculate_Step_Sizes(JP2_Image *im, U32 u32Tile) {
  JP2_Tile *t = &im->psTiles[u32Tile];
  for (U32 c = 0; c < im->u16Csiz; c++) {
    JP2_Tile_Comp *tc = &t->psComps[c];
    if (!tc->psResolutions) continue;
    U32 G = tc->u8Guard;
    for (U32 r = 0; r <= tc->u8Levels; r++) {
      JP2_Resolution *res = &tc->psResolutions[r];
      U32 n = res->psPrecincts ? res->u32PrecWide * res->u32PrecHigh : 0;
      for (U32 b = 0; b < res->u32Bands; b++) {
        U32 k = r == 0 ? 0 : 1 + 3 * (r - 1) + b;
        if (tc->u8QuantStyle == 1 && r >= 1) {
          S32 e = (S32)tc->au32Exponent[0] + 1 - (S32)r;
          tc->au32Exponent[k] = e > 0 ? (U32)e : 0;
          tc->au32Mantissa[k] = tc->au32Mantissa[0];
        }
        U32 eps = tc->au32Exponent[k];
        float fStep = 1.0f;
        S32 s32Fixed = 0x10000000;
        if (tc->u8QuantStyle != 0) {
          float g = r == 0 ? 1.0f : (b == 2 ? 4.0f : 2.0f);
          float d = 1.0f + (float)tc->au32Mantissa[k] / 2048.0f;
          for (U32 i = 0; i < G + eps; i++) d *= 0.5f;
          fStep = d * g;
          s32Fixed = (S32)(fStep * 268435456.0f);
        }
        for (U32 i = 0; i < n; i++) {
          JP2_Prec_Band *pb = &res->psPrecincts[i].psBands[b];
          pb->s32Mb = (S32)(eps + G) - 1;
          pb->fStep = fStep;
          pb->s32FixedStep = s32Fixed;
          pb->fScaledStep = 0;
          pb->s32ScaledFixedStep = 0;
        }
      }
    }
  }
  return 0;
}

S32 JP2_Dequant_Scale_Steps(JP2_Prec_Band *pb, float fScale) {
  if (pb->s32ScaledFixedStep != 0) return 0;
  pb->fScaledStep = pb->fStep * fScale;
  // Only 9/7 uses the scaled steps; a crafted step beyond the 32-bit range is held at its end.
  double d = (double)((float)pb->s32FixedStep * fScale) + 0.5;
  pb->s32ScaledFixedStep = d >= 2147483647.0 ? 0x7FFFFFFF : (d <= 1.0 ? 1 : (S32)d);
  return 0;
}

namespace {
// Visits the coefficient words of the block, rows of w words.
template <class F> void EachWord(U32 w, U32 h, U32 *pu32Words, F f) {
  for (U32 *p = pu32Words, *e = pu32Words + (size_t)w * h; p < e; p++) f(*p);
}
} // namespace

S32 JP2_Dequant_Block(JP2_Prec_Band *pb, U32 w, U32 h, U32 *pu32Words, S32 s32Irr, U32 s, S32 s32Fixed) {
  // With a region shift, indices of at least 2^s are background ones scaled up by 2^s.
  U32 u32Limit = s >= 32 ? 0 : (1u << s);
  U32 u32Shift = s >= 32 ? 0 : s;
  bool bZeroRoi = s >= 32;
  auto roi = [&](U32 q, U32 m) -> U32 { return bZeroRoi ? 0 : (q >= u32Limit ? m >> u32Shift : m); };
  if (!s32Irr) {
    if (!s)
      EachWord(w, h, pu32Words, [](U32 &word) {
        U32 q = (word & 0x7FFFFFFF) >> 1;
        word = (word >> 31) ? 0u - q : q;
      });
    else
      EachWord(w, h, pu32Words, [&](U32 &word) {
        U32 q = (word & 0x7FFFFFFF) >> 1;
        q = q ? roi(q, q) : 0;
        word = (word >> 31) ? 0u - q : q;
      });
    return 0;
  }
  if (s32Fixed) {
    S32 E = pb->s32ScaledFixedStep;
    EachWord(w, h, pu32Words, [&](U32 &word) {
      U32 m = word & 0x7FFFFFFF;
      if (s && m) m = roi(m >> 1, m);
      S32 v = (S32)(((word >> 31) ? 0u - m : m) * (U32)E);
      word = (U32)(v >> 16);
    });
  } else {
    float P = 2147483648.0f * pb->fScaledStep;
    EachWord(w, h, pu32Words, [&](U32 &word) {
      U32 m = word & 0x7FFFFFFF;
      if (s && m) m = roi(m >> 1, m);
      float f = (float)(S32)((word >> 31) ? 0u - m : m) * P;
      memcpy(&word, &f, 4);
    });
  }
  return 0;
}
