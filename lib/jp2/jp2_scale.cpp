// Residual reduction and magnification kernels, the scaler's work buffer and the clipped line writer.
#include <cstring>

#include "jp2/jp2_partial.h"

S32 JP2_Scale_Init_Structure(JP2_Decomp *h) {
  JP2_Image *im = h->psImage;
  JP2_Scale *sc = h->psScale;
  JP2_Format *f = h->psFormat;
  JP2_Memory *m = h->psMemory;
  JP2_Scale_Free_Structure(h);
  U32 red = sc->u32Identity ? 1 : sc->u32Reduction, mag = sc->u32Identity ? 1 : sc->u32Magnify;
  U32 rows = 1;
  for (U32 t = 0; t < im->u32Tiles; t++)
    for (U32 c = 0; c < im->u16Csiz; c++)
      if (im->psTiles[t].psComps[c].u32Residual > rows) rows = im->psTiles[t].psComps[c].u32Residual;
  if (rows > 64) rows = 64;
  sc->u32Rows = red;
  U64 W = (U64)JP2_Image_Max_Line_Width(im) + 4, n = im->u16Csiz;
  sc->u32Stride = (U32)W;
  U64 outLine = W * mag * 4;
  U64 perComp = red > 1 ? W * rows * 4 : W * 4;
  U64 work = red > 1 ? W * 4 : W * mag * mag * 4;
  U64 total = outLine + n * sizeof(U8 *) + n * perComp + work + 64;
  if (total > JP2_MEMORY_MAX_REQUEST) return JP2_ERR_MEMORY;
  U8 *p = (U8 *)JP2_Memory_Alloc_Zero(m, (S64)total);
  if (!p) return JP2_ERR_MEMORY;
  sc->pu8Block = p;
  f->pu8OutLine = p;
  p += (outLine + 7) & ~7ull;
  sc->ppu8Lines = (U8 **)p;
  p += n * sizeof(U8 *);
  for (U32 c = 0; c < n; c++) {
    sc->ppu8Lines[c] = p;
    p += perComp;
  }
  sc->ps32Output = (S32 *)p;
  sc->pu8Work = p;
  for (U32 c = 0; c < n; c++) {
    JP2_Tile_Comp *tc0 = &im->psTiles[0].psComps[c];
    if (red > 1) {
      f->pu32OriginX[c] = JP2_Ceil_Div(tc0->u32X0, red);
      f->pu32OriginY[c] = JP2_Ceil_Div(tc0->u32Y0, red);
    } else {
      f->pu32OriginX[c] = mag * tc0->u32X0;
      f->pu32OriginY[c] = mag * tc0->u32Y0;
    }
  }
  return 0;
}

S32 JP2_Scale_Free_Structure(JP2_Decomp *h) {
  JP2_Scale *sc = h->psScale;
  if (!sc || !sc->pu8Block) return 0;
  S32 e = JP2_Memory_Free(h->psMemory, &sc->pu8Block);
  sc->ppu8Lines = nullptr;
  sc->pu8Work = nullptr;
  sc->ps32Output = nullptr;
  h->psFormat->pu8OutLine = nullptr;
  return e;
}

S32 JP2_Scale_Downwards(S32 **rows, S32 *out, U32 inCount, U32 rowCount, U32 outCount, U32, S32 pick) {
  if (outCount == 0 || rowCount == 0) return 0;
  if (inCount == 1) {
    U32 mean = (U32)rows[0][0];
    for (U32 k = 1; k < rowCount; k++) mean = ((U32)rows[k][0] + k * mean) / (k + 1);
    out[0] = (S32)mean;
    return 0;
  }
  if (pick) {
    U32 i = 0;
    for (U32 k = 0; k < outCount; k++) {
      while (i < inCount && (U64)(i + 1) * outCount / inCount <= k) i++;
      out[k] = rows[0][i < inCount ? i : inCount - 1];
    }
    return 0;
  }
  for (U32 r = 0; r < rowCount; r++) {
    U32 i = 0;
    for (U32 k = 0; k < outCount; k++) {
      U64 sum = 0;
      U32 cnt = 0;
      while (i < inCount && (U64)i * outCount / inCount == k) {
        sum += (U32)rows[r][i];
        cnt++;
        i++;
      }
      U32 gm = cnt ? (U32)(sum / cnt) : 0;
      out[k] = r == 0 ? (S32)gm : (S32)(((U64)gm + (U64)r * (U32)out[k]) / (r + 1));
    }
  }
  return 0;
}

S32 JP2_Scale_Upwards(const S32 *P, const S32 *C, S32 *out, U32 n, U32 m) {
  if (n == 0 || m == 0) return 0;
  for (U32 i = 0; i < m; i++) {
    S32 *o = out + (size_t)i * n * m;
    for (U32 j = 0; j < n; j++) {
      S32 vj = P[j] + (S32)((S64)i * (C[j] - P[j]) / (S32)m);
      if (j + 1 == n) {
        for (U32 q = 0; q < m; q++) o[j * m + q] = vj;
        continue;
      }
      S32 vn = P[j + 1] + (S32)((S64)i * (C[j + 1] - P[j + 1]) / (S32)m);
      for (U32 q = 0; q < m; q++) o[j * m + q] = vj + (S32)((S64)q * (vn - vj) / (S32)m);
    }
  }
  return 0;
}

S32 JP2_Clip_and_Write_Decomp_Array(JP2_Decomp *h, const void *pv, U32 n, U32 y, U32 x, U32 c) {
  const U32 *r = &h->psImage->pu32OutRegion[4 * c];
  if (y < r[2] || y >= r[3] || x >= r[1] || (U64)x + n <= r[0]) return 0;
  const U8 *p = (const U8 *)pv;
  if (x < r[0]) {
    U32 skip = r[0] - x;
    p += (size_t)skip * JP2_Output_Sample_Size(h->psImage, c);
    n -= skip;
    x = r[0];
  }
  if ((U64)x + n > r[1]) n = r[1] - x;
  JP2_Output_Pair *o = h->psOutput;
  if (!o->pfOutput) return 0;
  return o->pfOutput(p, (S16)JP2_Decomp_Get_Output_Component_Index(h), y - r[2], x - r[0], n, o->pvParam);
}
