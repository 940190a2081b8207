// The requested rectangle becomes per-component and reference-grid regions; reductions drop wavelet levels first.
#include "jp2/jp2_partial.h"

#include <cstring>

namespace {

U64 CeilDiv64(U64 a, U64 b) { return b ? (a + b - 1) / b : 0; }
U32 Clamp(U64 v, U32 lo, U32 hi) { return v < lo ? lo : (v > hi ? hi : (U32)v); }
U32 Log2(U32 v) {
  U32 n = 0;
  while (v > 1) {
    v >>= 1;
    n++;
  }
  return n;
}

} // namespace

U32 JP2_Output_Sample_Size(JP2_Image *im, U32 c) {
  S32 p = im->ps8Precision[c];
  if (p < 0) p = -p;
  return p <= 8 ? 1 : (p <= 16 ? 2 : 4);
}

S32 JP2_Partial_Decoding_Calculate_Regions(JP2_Decomp *h, U32 x0, U32 x1, U32 y0, U32 y1) {
  JP2_Image *im = h->psImage;
  JP2_Format *f = h->psFormat;
  JP2_Scale *s = h->psScale;
  U32 m = s->u32Identity ? 1 : s->u32Magnify, red = s->u32Identity ? 1 : s->u32Reduction;
  bool bMag = m > 1, bRed = red > 1;
  auto Ox = [&](U32 i) -> U64 {
    if (bMag) return CeilDiv64((U64)m * im->u32XOsiz, im->pu8XRsiz[i]);
    return CeilDiv64(im->u32XOsiz, (U64)red * im->pu8XRsiz[i]);
  };
  auto Oy = [&](U32 i) -> U64 {
    if (bMag) return CeilDiv64((U64)m * im->u32YOsiz, im->pu8YRsiz[i]);
    return CeilDiv64(im->u32YOsiz, (U64)red * im->pu8YRsiz[i]);
  };
  U64 X0 = im->pu8XRsiz[0] * ((U64)x0 + Ox(0)), X1 = im->pu8XRsiz[0] * ((U64)x1 + Ox(0));
  U64 Y0 = im->pu8YRsiz[0] * ((U64)y0 + Oy(0)), Y1 = im->pu8YRsiz[0] * ((U64)y1 + Oy(0));
  U64 R[4];
  if (bRed) {
    R[0] = X0 * red;
    R[1] = X1 * red;
    R[2] = Y0 * red;
    R[3] = Y1 * red;
  } else if (bMag) {
    R[0] = X0 / m;
    R[1] = CeilDiv64(X1, m);
    R[2] = Y0 / m;
    R[3] = CeilDiv64(Y1, m);
  } else {
    R[0] = X0;
    R[1] = X1;
    R[2] = Y0;
    R[3] = Y1;
  }
  U32 ref[4] = {Clamp(R[0], im->u32XOsiz, im->u32Xsiz), Clamp(R[1], im->u32XOsiz, im->u32Xsiz),
                Clamp(R[2], im->u32YOsiz, im->u32Ysiz), Clamp(R[3], im->u32YOsiz, im->u32Ysiz)};
  for (U32 i = 0; i < im->u16Csiz; i++) {
    U32 *o = &im->pu32OutRegion[4 * i];
    if (i == 0) {
      o[0] = x0 < f->pu32OutWidth[0] ? x0 : f->pu32OutWidth[0];
      o[1] = x1 < f->pu32OutWidth[0] ? x1 : f->pu32OutWidth[0];
      o[2] = y0 < f->pu32OutHeight[0] ? y0 : f->pu32OutHeight[0];
      o[3] = y1 < f->pu32OutHeight[0] ? y1 : f->pu32OutHeight[0];
    } else {
      auto conv = [](U64 v, U32 sub, U64 org, U32 lim) -> U32 {
        U64 c = CeilDiv64(v, sub);
        U64 r = c > org ? c - org : 0;
        return r < lim ? (U32)r : lim;
      };
      o[0] = conv(X0, im->pu8XRsiz[i], Ox(i), f->pu32OutWidth[i]);
      o[1] = conv(X1, im->pu8XRsiz[i], Ox(i), f->pu32OutWidth[i]);
      o[2] = conv(Y0, im->pu8YRsiz[i], Oy(i), f->pu32OutHeight[i]);
      o[3] = conv(Y1, im->pu8YRsiz[i], Oy(i), f->pu32OutHeight[i]);
    }
    memcpy(&im->pu32RefRegion[4 * i], ref, sizeof(ref));
  }
  memcpy(im->au32Region, ref, sizeof(ref));
  return 0;
}

S32 JP2_Partial_Decoding_Valid_Region(JP2_Decomp *h, U32 x0, U32 x1, U32 y0, U32 y1) {
  JP2_Partial_Decoding_Calculate_Regions(h, x0, x1, y0, y1);
  JP2_Image *im = h->psImage;
  for (U32 i = 0; i < im->u16Csiz; i++) {
    const U32 *o = &im->pu32OutRegion[4 * i];
    if (o[0] >= o[1] || o[2] >= o[3]) return JP2_ERR_EMPTY_REGION;
  }
  return 0;
}

S32 JP2_Partial_Decoding_Init(JP2_Decomp *h, U32 u32Tile) {
  JP2_Image *im = h->psImage;
  JP2_Scale *s = h->psScale;
  JP2_Tile *t = &im->psTiles[u32Tile];
  U32 f = s->u32Identity ? 1 : s->u32Reduction;
  U32 m = s->u32Identity ? 1 : s->u32Magnify;
  for (U32 c = 0; c < im->u16Csiz; c++) {
    JP2_Tile_Comp *tc = &t->psComps[c];
    U32 NL = tc->u8Levels;
    tc->u8SynthLevels = (U8)NL;
    tc->u32DecWidth = tc->u32FullWidth;
    tc->u32DecHeight = tc->u32FullHeight;
    tc->u32VStep = 1;
    tc->u32Residual = 1;
    tc->u32OutWidth = tc->u32FullWidth * m;
    tc->u32OutHeight = tc->u32FullHeight * m;
    if (f > 1) {
      tc->u32OutWidth = JP2_Ceil_Div(tc->u32X1, f) - JP2_Ceil_Div(tc->u32X0, f);
      tc->u32OutHeight = JP2_Ceil_Div(tc->u32Y1, f) - JP2_Ceil_Div(tc->u32Y0, f);
      U32 k = Log2(f);
      if (NL == 0 || h->psPalette) {
        tc->u32Residual = f;
      } else {
        U32 d = k < NL ? k : NL;
        tc->u8SynthLevels = (U8)(NL - d);
        tc->u32VStep = 1u << d;
        tc->u32DecWidth = JP2_Ceil_Div_Pow2(tc->u32X1, d) - JP2_Ceil_Div_Pow2(tc->u32X0, d);
        tc->u32DecHeight = JP2_Ceil_Div_Pow2(tc->u32Y1, d) - JP2_Ceil_Div_Pow2(tc->u32Y0, d);
        tc->u32Residual = f >> d;
      }
    }
  }
  const U32 *r = im->au32Region;
  t->s32Wanted = t->u32X0 < r[1] && t->u32X1 > r[0] && t->u32Y0 < r[3] && t->u32Y1 > r[2];
  return 0;
}

U16 JP2_Decomp_Get_Output_Component_Index(JP2_Decomp *h) { return h->u16OutChannel; }
S32 JP2_Decomp_Set_Output_Component_Index(JP2_Decomp *h, U16 u16Index) {
  h->u16OutChannel = u16Index;
  return 0;
}
