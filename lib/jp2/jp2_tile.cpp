// Geometry of tiles down to code-blocks (rectangles, precinct and code-block partitions).
#include "jp2/jp2_tile.h"

#include <cstring>

#include "jp2/jp2_image.h"

namespace {

U32 ClampU32(U64 v) { return v > 0xFFFFFFFFull ? 0xFFFFFFFFu : (U32)v; }

// ceil(a / 2^n) for a signed a.
S64 CeilShift(S64 a, U32 n) {
  if (n == 0) return a;
  if (n >= 62) return a > 0 ? 1 : 0;
  S64 d = (S64)1 << n;
  return a >= 0 ? (a + d - 1) / d : -((-a) / d);
}

U32 Clamp(U32 v, U32 lo, U32 hi) { return v < lo ? lo : (v > hi ? hi : v); }

} // namespace

S32 JP2_Tile_Array_New(JP2_Tile **ppsOut, JP2_Memory *psMemory, JP2_Image *im, void *) {
  *ppsOut = nullptr;
  JP2_Tile *ps = (JP2_Tile *)JP2_Memory_Alloc_Zero(psMemory, (S64)im->u32Tiles * sizeof(JP2_Tile));
  if (!ps) return JP2_ERR_MEMORY;
  for (U32 t = 0; t < im->u32Tiles; t++) {
    U64 p = t % im->u32TilesAcross, q = t / im->u32TilesAcross;
    U64 x0 = im->u32XTOsiz + p * im->u32XTsiz, x1 = x0 + im->u32XTsiz;
    U64 y0 = im->u32YTOsiz + q * im->u32YTsiz, y1 = y0 + im->u32YTsiz;
    ps[t].u32X0 = (U32)(x0 > im->u32XOsiz ? x0 : im->u32XOsiz);
    ps[t].u32Y0 = (U32)(y0 > im->u32YOsiz ? y0 : im->u32YOsiz);
    ps[t].u32X1 = (U32)(x1 < im->u32Xsiz ? x1 : im->u32Xsiz);
    ps[t].u32Y1 = (U32)(y1 < im->u32Ysiz ? y1 : im->u32Ysiz);
  }
  *ppsOut = ps;
  return 0;
}

S32 JP2_Tile_Array_Delete(JP2_Tile **ppsArray, JP2_Memory *psMemory, U32) {
  if (!ppsArray || !*ppsArray) return 0;
  return JP2_Memory_Free(psMemory, ppsArray);
}

S32 JP2_Component_Array_New(JP2_Tile_Comp **ppsOut, JP2_Memory *psMemory, JP2_Image *im, U32 t, JP2_Format *f) {
  *ppsOut = nullptr;
  JP2_Tile_Comp *ps = (JP2_Tile_Comp *)JP2_Memory_Alloc_Zero(psMemory, (S64)im->u16Csiz * sizeof(JP2_Tile_Comp));
  if (!ps) return JP2_ERR_MEMORY;
  JP2_Tile *tile = &im->psTiles[t];
  U32 col = t % im->u32TilesAcross, row = t / im->u32TilesAcross;
  for (U32 c = 0; c < im->u16Csiz; c++) {
    JP2_Tile_Comp *tc = &ps[c];
    U32 xr = im->pu8XRsiz[c], yr = im->pu8YRsiz[c];
    tc->u32X0 = JP2_Ceil_Div(tile->u32X0, xr);
    tc->u32Y0 = JP2_Ceil_Div(tile->u32Y0, yr);
    tc->u32X1 = JP2_Ceil_Div(tile->u32X1, xr);
    tc->u32Y1 = JP2_Ceil_Div(tile->u32Y1, yr);
    tc->u32FullWidth = tc->u32X1 - tc->u32X0;
    tc->u32FullHeight = tc->u32Y1 - tc->u32Y0;
    tc->u32OutWidth = tc->u32DecWidth = tc->u32FullWidth;
    tc->u32OutHeight = tc->u32DecHeight = tc->u32FullHeight;
    tc->u32VStep = 1;
    tc->u32Residual = 1;
    tc->s32LineMode = 1;
    if (f && c < im->u32PlannedComps) {
      if (row == 0) {
        f->pu32FullWidth[c] += tc->u32FullWidth;
        f->pu32OutWidth[c] += tc->u32FullWidth;
      }
      if (col == 0) {
        f->pu32FullHeight[c] += tc->u32FullHeight;
        f->pu32OutHeight[c] += tc->u32FullHeight;
      }
      if (t == 0) {
        f->pu32OriginX[c] = tc->u32X0;
        f->pu32OriginY[c] = tc->u32Y0;
      }
    }
  }
  *ppsOut = ps;
  return 0;
}

S32 JP2_Component_Array_Delete(JP2_Tile_Comp **ppsArray, JP2_Memory *psMemory) {
  if (!ppsArray || !*ppsArray) return 0;
  return JP2_Memory_Free(psMemory, ppsArray);
}

S32 JP2_Tag_Free_Tree(JP2_Tag_Tree *psTree, JP2_Memory *psMemory) {
  S32 e = 0;
  if (psTree->ps32Value) e = JP2_Memory_Free(psMemory, &psTree->ps32Value);
  psTree->ps32Low = nullptr;
  psTree->pu32Level = nullptr;
  psTree->u32Nodes = 0;
  return e;
}

S32 JP2_Resolution_Array_New(JP2_Resolution **ppsOut, JP2_Memory *psMemory, JP2_Image *im, U32 t, U32 c) {
  *ppsOut = nullptr;
  JP2_Tile_Comp *tc = &im->psTiles[t].psComps[c];
  U32 NL = tc->u8Levels;
  JP2_Resolution *ps = (JP2_Resolution *)JP2_Memory_Alloc_Zero(psMemory, (S64)(NL + 1) * sizeof(JP2_Resolution));
  if (!ps) return JP2_ERR_MEMORY;
  for (U32 r = 0; r <= NL; r++) {
    JP2_Resolution *res = &ps[r];
    U32 d = NL - r;
    res->u32PPx = tc->au8Precinct[r] & 0x0F;
    res->u32PPy = tc->au8Precinct[r] >> 4;
    res->u32X0 = JP2_Ceil_Div_Pow2(tc->u32X0, d);
    res->u32Y0 = JP2_Ceil_Div_Pow2(tc->u32Y0, d);
    res->u32X1 = JP2_Ceil_Div_Pow2(tc->u32X1, d);
    res->u32Y1 = JP2_Ceil_Div_Pow2(tc->u32Y1, d);
    res->u32PrecWide = JP2_Ceil_Div_Pow2(res->u32X1, res->u32PPx) - (res->u32X0 >> res->u32PPx);
    res->u32PrecHigh = JP2_Ceil_Div_Pow2(res->u32Y1, res->u32PPy) - (res->u32Y0 >> res->u32PPy);
    if (r == 0) {
      res->u32Xcb = tc->u8Xcb < res->u32PPx ? tc->u8Xcb : res->u32PPx;
      res->u32Ycb = tc->u8Ycb < res->u32PPy ? tc->u8Ycb : res->u32PPy;
    } else {
      res->u32Xcb = res->u32PPx == 0 ? tc->u8Xcb : (tc->u8Xcb < res->u32PPx - 1 ? tc->u8Xcb : res->u32PPx - 1);
      res->u32Ycb = res->u32PPy == 0 ? tc->u8Ycb : (tc->u8Ycb < res->u32PPy - 1 ? tc->u8Ycb : res->u32PPy - 1);
    }
    res->u64StepX = (U64)im->pu8XRsiz[c] << (res->u32PPx + d);
    res->u64StepY = (U64)im->pu8YRsiz[c] << (res->u32PPy + d);
    // Band rectangles (LL, HL, LH, HH).
    U32 nb = r == 0 ? NL : NL - r + 1;
    for (U32 b = 0; b < 4; b++) {
      U32 xob = b & 1, yob = b >> 1;
      S64 ox = nb && xob ? (S64)1 << (nb - 1) : 0, oy = nb && yob ? (S64)1 << (nb - 1) : 0;
      res->au32BandX0[b] = (U32)CeilShift((S64)tc->u32X0 - ox, nb);
      res->au32BandY0[b] = (U32)CeilShift((S64)tc->u32Y0 - oy, nb);
      res->au32BandX1[b] = (U32)CeilShift((S64)tc->u32X1 - ox, nb);
      res->au32BandY1[b] = (U32)CeilShift((S64)tc->u32Y1 - oy, nb);
    }
    res->u32Bands = r == 0 ? 1 : 3;
  }
  *ppsOut = ps;
  return 0;
}

S32 JP2_Resolution_Array_Delete(JP2_Resolution **ppsArray, JP2_Memory *psMemory) {
  if (!ppsArray || !*ppsArray) return 0;
  return JP2_Memory_Free(psMemory, ppsArray);
}

S32 JP2_Precinct_Array_New(JP2_Precinct **ppsOut, JP2_Memory *psMemory, JP2_Tile *psTile, JP2_Resolution *res) {
  *ppsOut = nullptr;
  U64 n = (U64)res->u32PrecWide * res->u32PrecHigh;
  if (n == 0) return 0;
  U64 u64Layers = psTile->u16Layers;
  if (n * sizeof(JP2_Precinct) > JP2_MEMORY_MAX_REQUEST || n * u64Layers * 12 > JP2_MEMORY_MAX_REQUEST)
    return JP2_ERR_MEMORY;
  JP2_Precinct *ps = (JP2_Precinct *)JP2_Memory_Alloc_Zero(psMemory, (S64)(n * sizeof(JP2_Precinct)));
  if (!ps) return JP2_ERR_MEMORY;
  U32 *pu32 = (U32 *)JP2_Memory_Alloc_Zero(psMemory, (S64)(n * u64Layers * 12));
  if (!pu32) {
    JP2_Memory_Free(psMemory, &ps);
    return JP2_ERR_MEMORY;
  }
  U64 sx = (U64)1 << res->u32PPx, sy = (U64)1 << res->u32PPy;
  U64 ox = ((U64)res->u32X0 >> res->u32PPx) << res->u32PPx, oy = ((U64)res->u32Y0 >> res->u32PPy) << res->u32PPy;
  for (U32 j = 0, i = 0; j < res->u32PrecHigh; j++)
    for (U32 k = 0; k < res->u32PrecWide; k++, i++) {
      JP2_Precinct *p = &ps[i];
      p->u32X0 = ClampU32(ox + k * sx);
      p->u32Y0 = ClampU32(oy + j * sy);
      p->u32X1 = ClampU32(ox + (k + 1) * sx);
      p->u32Y1 = ClampU32(oy + (j + 1) * sy);
      U32 ax = p->u32X0 > res->u32X0 ? p->u32X0 : res->u32X0, bx = p->u32X1 < res->u32X1 ? p->u32X1 : res->u32X1;
      U32 ay = p->u32Y0 > res->u32Y0 ? p->u32Y0 : res->u32Y0, by = p->u32Y1 < res->u32Y1 ? p->u32Y1 : res->u32Y1;
      p->s32Empty = (ax >= bx || ay >= by) ? 1 : 0;
      p->pu32HeaderStart = pu32 + (U64)i * u64Layers * 3;
      p->pu32Processed = p->pu32HeaderStart + u64Layers;
    }
  *ppsOut = ps;
  return 0;
}

S32 JP2_Precinct_Array_Delete(JP2_Precinct **ppsArray, JP2_Memory *psMemory) {
  if (!ppsArray || !*ppsArray) return 0;
  S32 e = 0;
  if ((*ppsArray)[0].pu32HeaderStart) e = JP2_Memory_Free(psMemory, &(*ppsArray)[0].pu32HeaderStart);
  if (e) return e;
  return JP2_Memory_Free(psMemory, ppsArray);
}

U32 JP2_Precinct_Array_Get_Processed(JP2_Precinct *p, U32 l) { return p->pu32Processed[l]; }
S32 JP2_Precinct_Array_Set_Processed(JP2_Precinct *p, U32 l) {
  p->pu32Processed[l] = 1;
  return 0;
}

U32 JP2_Precinct_Array_Approx_Packet_Header_Size(JP2_Precinct *p) {
  U32 n = p->psBands ? 2 * p->psBands[0].u32BlocksWide * p->psBands[0].u32BlocksHigh : 0;
  return n < 10 ? 10 : n;
}

S32 JP2_Band_Array_New(JP2_Prec_Band **ppsOut, JP2_Memory *psMemory, JP2_Resolution *res, U32 r, JP2_Precinct *p) {
  *ppsOut = nullptr;
  U32 nb = res->u32Bands;
  JP2_Prec_Band *ps = (JP2_Prec_Band *)JP2_Memory_Alloc_Zero(psMemory, (S64)nb * sizeof(JP2_Prec_Band));
  if (!ps) return JP2_ERR_MEMORY;
  U64 u64Blocks = 0;
  for (U32 b = 0; b < nb; b++) {
    JP2_Prec_Band *pb = &ps[b];
    U32 kind = r == 0 ? 0 : b + 1;
    U32 x0 = p->u32X0, y0 = p->u32Y0, x1 = p->u32X1, y1 = p->u32Y1;
    if (r > 0) {
      x0 >>= 1;
      y0 >>= 1;
      x1 >>= 1;
      y1 >>= 1;
    }
    U32 bx0 = res->au32BandX0[kind], bx1 = res->au32BandX1[kind];
    U32 by0 = res->au32BandY0[kind], by1 = res->au32BandY1[kind];
    pb->u32X0 = Clamp(x0, bx0, bx1);
    pb->u32X1 = Clamp(x1, bx0, bx1);
    pb->u32Y0 = Clamp(y0, by0, by1);
    pb->u32Y1 = Clamp(y1, by0, by1);
    U32 xcb = res->u32Xcb, ycb = res->u32Ycb;
    pb->u32GX0 = (pb->u32X0 >> xcb) << xcb;
    pb->u32GY0 = (pb->u32Y0 >> ycb) << ycb;
    if (pb->u32X0 < pb->u32X1 && pb->u32Y0 < pb->u32Y1) {
      pb->u32BlocksWide = (U32)((((U64)JP2_Ceil_Div_Pow2(pb->u32X1, xcb) << xcb) - pb->u32GX0) >> xcb);
      pb->u32BlocksHigh = (U32)((((U64)JP2_Ceil_Div_Pow2(pb->u32Y1, ycb) << ycb) - pb->u32GY0) >> ycb);
    }
    u64Blocks += (U64)pb->u32BlocksWide * pb->u32BlocksHigh;
  }
  if (u64Blocks) {
    if (u64Blocks * 8 > JP2_MEMORY_MAX_REQUEST) {
      JP2_Memory_Free(psMemory, &ps);
      return JP2_ERR_MEMORY;
    }
    S32 *ps32 = (S32 *)JP2_Memory_Alloc_Zero(psMemory, (S64)u64Blocks * 8);
    if (!ps32) {
      JP2_Memory_Free(psMemory, &ps);
      return JP2_ERR_MEMORY;
    }
    ps[0].ps32Shared = ps32;
    for (U32 b = 0; b < nb; b++) {
      U32 n = ps[b].u32BlocksWide * ps[b].u32BlocksHigh;
      ps[b].ps32Incl = ps32;
      ps[b].ps32Planes = ps32 + n;
      ps32 += 2 * n;
    }
  }
  ps[0].u32ArrayBands = nb;
  *ppsOut = ps;
  return 0;
}

S32 JP2_Band_Array_Delete(JP2_Prec_Band **ppsArray, JP2_Memory *psMemory) {
  if (!ppsArray || !*ppsArray) return 0;
  JP2_Prec_Band *ps = *ppsArray;
  for (U32 b = 0; b < ps[0].u32ArrayBands; b++) {
    S32 e = JP2_Block_Array_Delete(&ps[b].psBlocks, psMemory);
    if (!e) e = JP2_Tag_Free_Tree(&ps[b].sIncl, psMemory);
    if (!e) e = JP2_Tag_Free_Tree(&ps[b].sZero, psMemory);
    if (e) return e;
  }
  if (ps[0].ps32Shared) {
    S32 e = JP2_Memory_Free(psMemory, &ps[0].ps32Shared);
    if (e) return e;
  }
  return JP2_Memory_Free(psMemory, ppsArray);
}

S32 JP2_Block_Array_New(JP2_Block_Array **ppsOut, JP2_Memory *psMemory, JP2_Tile_Comp *tc, JP2_Prec_Band *pb,
                        U32 u32Layers, U32 u32NomWidth, U32 u32NomHeight) {
  *ppsOut = nullptr;
  U64 n = (U64)pb->u32BlocksWide * pb->u32BlocksHigh;
  U32 u32Max = tc->u8TermAll ? 60 : (tc->u8Bypass ? 40 : 1);
  if (n == 0 || n * u32Layers * 9 > JP2_MEMORY_MAX_REQUEST || n * u32Max * 4 > JP2_MEMORY_MAX_REQUEST)
    return JP2_ERR_MEMORY;
  JP2_Block_Array *a = (JP2_Block_Array *)JP2_Memory_Alloc_Zero(psMemory, sizeof(JP2_Block_Array));
  if (!a) return JP2_ERR_MEMORY;
  a->psBand = pb;
  a->u32NomWidth = u32NomWidth;
  a->u32NomHeight = u32NomHeight;
  a->u32MaxSegments = u32Max;
  a->u32Layers = u32Layers;
  a->u32Count = (U32)n;
  a->pu8LBlock = (U8 *)JP2_Memory_Alloc(psMemory, (S64)n);
  a->pu8PassesRead = (U8 *)JP2_Memory_Alloc(psMemory, (S64)n);
  a->pu32SegLen = (U32 *)JP2_Memory_Alloc(psMemory, (S64)(n * u32Max * 4));
  a->pu8Passes = (U8 *)JP2_Memory_Alloc(psMemory, (S64)(n * u32Layers));
  a->pu32CodeLen = (U32 *)JP2_Memory_Alloc(psMemory, (S64)(n * u32Layers * 4));
  a->pu32CodePos = (U32 *)JP2_Memory_Alloc(psMemory, (S64)(n * u32Layers * 4));
  if (!a->pu8LBlock || !a->pu8PassesRead || !a->pu32SegLen || !a->pu8Passes || !a->pu32CodeLen || !a->pu32CodePos) {
    JP2_Block_Array_Delete(&a, psMemory);
    return JP2_ERR_MEMORY;
  }
  JP2_Block_Array_Reset(a);
  *ppsOut = a;
  return 0;
}

S32 JP2_Block_Array_Delete(JP2_Block_Array **ppsArray, JP2_Memory *psMemory) {
  if (!ppsArray || !*ppsArray) return 0;
  JP2_Block_Array *a = *ppsArray;
  void **appv[6] = {(void **)&a->pu8LBlock, (void **)&a->pu8PassesRead, (void **)&a->pu32SegLen,
                    (void **)&a->pu8Passes, (void **)&a->pu32CodeLen, (void **)&a->pu32CodePos};
  for (void **ppv : appv)
    if (*ppv) {
      S32 e = JP2_Memory_Free(psMemory, ppv);
      if (e) return e;
    }
  return JP2_Memory_Free(psMemory, ppsArray);
}

S32 JP2_Block_Array_Reset(JP2_Block_Array *a) {
  U32 n = a->u32Count;
  memset(a->pu8LBlock, 3, n);
  memset(a->pu8PassesRead, 0, n);
  memset(a->pu32SegLen, 0, (size_t)n * a->u32MaxSegments * 4);
  memset(a->pu8Passes, 0, (size_t)n * a->u32Layers);
  memset(a->pu32CodeLen, 0, (size_t)n * a->u32Layers * 4);
  memset(a->pu32CodePos, 0, (size_t)n * a->u32Layers * 4);
  return 0;
}

U32 JP2_Block_Array_Get_LBlock(JP2_Block_Array *a, U32 k) { return a->pu8LBlock[k]; }
S32 JP2_Block_Array_Increment_LBlock(JP2_Block_Array *a, U32 k) {
  if (a->pu8LBlock[k] < 255) a->pu8LBlock[k]++;
  return 0;
}
S32 JP2_Block_Array_Reset_LBlock(JP2_Block_Array *a, U32 k) {
  a->pu8LBlock[k] = 3;
  return 0;
}
U32 JP2_Block_Array_Get_Passes_Read(JP2_Block_Array *a, U32 k) { return a->pu8PassesRead[k]; }
S32 JP2_Block_Array_Add_Passes_Read(JP2_Block_Array *a, U32 k, U32 n) {
  a->pu8PassesRead[k] = (U8)(a->pu8PassesRead[k] + n);
  return 0;
}
U32 JP2_Block_Array_Get_Code_Passes(JP2_Block_Array *a, U32 k, U32 l) { return a->pu8Passes[k * a->u32Layers + l]; }
S32 JP2_Block_Array_Set_Code_Passes(JP2_Block_Array *a, U32 k, U32 l, U32 n) {
  a->pu8Passes[k * a->u32Layers + l] = (U8)n;
  return 0;
}
U32 JP2_Block_Array_Get_Code_Length(JP2_Block_Array *a, U32 k, U32 l) { return a->pu32CodeLen[k * a->u32Layers + l]; }
S32 JP2_Block_Array_Set_Code_Length(JP2_Block_Array *a, U32 k, U32 l, U32 n) {
  a->pu32CodeLen[k * a->u32Layers + l] = n;
  return 0;
}
S32 JP2_Block_Array_Add_Code_Length(JP2_Block_Array *a, U32 k, U32 l, U32 n) {
  a->pu32CodeLen[k * a->u32Layers + l] += n;
  return 0;
}
U32 JP2_Block_Array_Get_Code_Position(JP2_Block_Array *a, U32 k, U32 l) {
  return a->pu32CodePos[k * a->u32Layers + l];
}
S32 JP2_Block_Array_Set_Code_Position(JP2_Block_Array *a, U32 k, U32 l, U32 p) {
  a->pu32CodePos[k * a->u32Layers + l] = p;
  return 0;
}
S32 JP2_Block_Array_Add_Segment_Length(JP2_Block_Array *a, U32 k, U32 s, U32 n) {
  if (s < a->u32MaxSegments) a->pu32SegLen[k * a->u32MaxSegments + s] += n;
  return 0;
}
U32 *JP2_Block_Array_Get_Segment_Length_Array(JP2_Block_Array *a, U32 k) {
  return a->pu32SegLen + (size_t)k * a->u32MaxSegments;
}

S32 JP2_Block_Array_Get_Position(JP2_Block_Array *a, U32 k, U32 *x, U32 *y, U32 *w, U32 *h) {
  JP2_Prec_Band *pb = a->psBand;
  U32 c = k % pb->u32BlocksWide, r = k / pb->u32BlocksWide;
  U64 gx = pb->u32GX0 + (U64)c * a->u32NomWidth, gy = pb->u32GY0 + (U64)r * a->u32NomHeight;
  U32 xa = Clamp(ClampU32(gx), pb->u32X0, pb->u32X1), xb = Clamp(ClampU32(gx + a->u32NomWidth), pb->u32X0, pb->u32X1);
  U32 ya = Clamp(ClampU32(gy), pb->u32Y0, pb->u32Y1), yb = Clamp(ClampU32(gy + a->u32NomHeight), pb->u32Y0, pb->u32Y1);
  *x = xa;
  *w = xb - xa;
  *y = ya;
  *h = yb - ya;
  return 0;
}

S32 JP2_Component_Allocate_Resolution_to_Block_Arrays(JP2_Tile_Comp *psComps, JP2_Memory *m, JP2_Image *im, U32 t,
                                                      U32 c) {
  JP2_Tile_Comp *tc = &psComps[c];
  JP2_Tile *tile = &im->psTiles[t];
  S32 e = JP2_Resolution_Array_New(&tc->psResolutions, m, im, t, c);
  if (e) return e;
  for (U32 r = 0; r <= tc->u8Levels; r++) {
    JP2_Resolution *res = &tc->psResolutions[r];
    if ((e = JP2_Precinct_Array_New(&res->psPrecincts, m, tile, res)) != 0) return e;
    U32 n = res->psPrecincts ? res->u32PrecWide * res->u32PrecHigh : 0;
    for (U32 i = 0; i < n; i++) {
      JP2_Precinct *p = &res->psPrecincts[i];
      if ((e = JP2_Band_Array_New(&p->psBands, m, res, r, p)) != 0) return e;
      for (U32 b = 0; b < res->u32Bands; b++) {
        JP2_Prec_Band *pb = &p->psBands[b];
        if (pb->u32BlocksWide && pb->u32BlocksHigh &&
            (e = JP2_Block_Array_New(&pb->psBlocks, m, tc, pb, tile->u16Layers, 1u << res->u32Xcb,
                                     1u << res->u32Ycb)) != 0)
          return e;
      }
    }
  }
  return 0;
}

S32 JP2_Component_Free_Resolution_to_Block_Arrays(JP2_Tile_Comp *psComps, JP2_Memory *m, JP2_Image *, U32, U32 c) {
  JP2_Tile_Comp *tc = &psComps[c];
  if (!tc->psResolutions) return 0;
  for (U32 r = 0; r <= tc->u8Levels; r++) {
    JP2_Resolution *res = &tc->psResolutions[r];
    if (!res->psPrecincts) continue;
    U32 n = res->u32PrecWide * res->u32PrecHigh;
    for (U32 i = 0; i < n; i++) {
      S32 e = JP2_Band_Array_Delete(&res->psPrecincts[i].psBands, m);
      if (e) return e;
    }
    S32 e = JP2_Precinct_Array_Delete(&res->psPrecincts, m);
    if (e) return e;
  }
  return JP2_Resolution_Array_Delete(&tc->psResolutions, m);
}

S32 JP2_Tile_Allocate_Resolution_to_Block_Arrays(JP2_Tile *psTiles, JP2_Memory *m, JP2_Image *im, U32 t) {
  JP2_Tile *tile = &psTiles[t];
  tile->s32Built = 0;
  for (U32 c = 0; c < im->u16Csiz; c++) {
    S32 e = JP2_Component_Free_Resolution_to_Block_Arrays(tile->psComps, m, im, t, c);
    if (!e) e = JP2_Component_Allocate_Resolution_to_Block_Arrays(tile->psComps, m, im, t, c);
    if (e) return e;
  }
  tile->s32Built = 1;
  return 0;
}

S32 JP2_Tile_Free_Resolution_to_Block_Arrays(JP2_Tile *psTiles, JP2_Memory *m, JP2_Image *im, U32 t) {
  JP2_Tile *tile = &psTiles[t];
  for (U32 c = 0; c < im->u16Csiz; c++) {
    S32 e = JP2_Component_Free_Resolution_to_Block_Arrays(tile->psComps, m, im, t, c);
    if (e) return e;
  }
  tile->s32Built = 0;
  return 0;
}
