// Band rows come from one buffered row of code-blocks; only blocks meeting the region are decoded.
#include "jp2/jp2_bandbuf.h"

#include <cstring>

#include "jp2/jp2_dequant.h"
#include "jp2/jp2_tier1.h"

namespace {

float BandGain(JP2_Tile_Comp *tc, JP2_Resolution *res, U32 kind) {
  if (tc->u8Wavelet == 1 || kind == 0) return 1.0f;
  bool w2 = res->u32X1 - res->u32X0 >= 2, h2 = res->u32Y1 - res->u32Y0 >= 2;
  if (w2 && h2) return kind == 3 ? JP2_INV_K2 : 1.0f;
  if (w2) return kind == 1 ? JP2_INV_K : (kind == 2 ? JP2_K : JP2_INV_K);
  if (h2) return kind == 1 ? JP2_K : JP2_INV_K;
  return 1.0f;
}

U32 Band(U32 v, U32 sub, U32 nb) {
  U32 c = JP2_Ceil_Div(v, sub);
  return nb >= 32 ? 0 : c >> nb;
}

// Decodes the code-block row holding band row y into the storage.
void FillRow(JP2_Band_Buffer *b, JP2_Decomp *h, U32 y) {
  JP2_Image *im = h->psImage;
  U32 ycb = b->psRes->u32Ycb;
  b->u32RowTop = (y >> ycb) << ycb;
  if (b->u32RowTop < b->u32Y0) b->u32RowTop = b->u32Y0;
  // Blocks without coded data give zeros.
  U32 c0 = b->u32ColLo, c1 = b->u32ColHi;
  if (c0 < c1)
    for (U32 r = 0; r < b->u32MaxBlockHeight; r++)
      memset(b->ps32Storage + (size_t)r * b->u32LineLength, 0, (size_t)(c1 - c0) * 4);
  JP2_Resolution *res = b->psRes;
  U32 n = res->psPrecincts ? res->u32PrecWide * res->u32PrecHigh : 0;
  U32 *pu32Coef = im->pu32CodeBlockBuffer;
  for (U32 p = 0; p < n; p++) {
    JP2_Prec_Band *pb = &res->psPrecincts[p].psBands[b->u32Band];
    JP2_Block_Array *a = pb->psBlocks;
    if (!a || y < pb->u32Y0 || y >= pb->u32Y1) continue;
    for (U32 k = 0; k < a->u32Count; k++) {
      U32 x0, y0, w, hh;
      JP2_Block_Array_Get_Position(a, k, &x0, &y0, &w, &hh);
      if (!w || !hh || y < y0 || y >= y0 + hh) continue;
      if (x0 >= b->u32Right || x0 + w <= b->u32Left || y0 >= b->u32Bottom || y0 + hh <= b->u32Top) continue;
      if (!a->pu8PassesRead[k]) continue;
      JP2_Dequant_Scale_Steps(pb, b->fScale);
      JP2_EBCOT_Decode_Block(im, b->psComp, pb, k, b->pu8Zc, b->psTile->u16Layers, h->psMemory, h->psCache);
      // Only the block's columns that the storage holds are copied.
      U32 bx = x0 - b->u32X0, cFirst = bx < c0 ? c0 - bx : 0, cEnd = bx + w > c1 ? (c1 > bx ? c1 - bx : 0) : w;
      const U32 *coef = JP2_EBCOT_Coefficients(pu32Coef, w, hh);
      bool b16 = b->psComp->s32LineMode == 0;
      for (U32 r = 0; r < hh; r++) {
        U32 row = y0 + r - b->u32RowTop;
        if (row >= b->u32MaxBlockHeight) break;
        S32 *dst = b->ps32Storage + (size_t)row * b->u32LineLength;
        const U32 *src = coef + (size_t)r * w;
        if (b16)
          for (U32 c = cFirst; c < cEnd; c++) dst[bx + c - c0] = (S16)src[c];
        else
          memcpy(dst + bx + cFirst - c0, src + cFirst, (size_t)(cEnd > cFirst ? cEnd - cFirst : 0) * 4);
      }
    }
  }
  b->s32Filled = 1;
}

} // namespace

S32 JP2_Band_Buffer_New(JP2_Band_Buffer **ppsOut, JP2_Memory *m, JP2_Image *im, U32 t, U32 c, U32 r, U32 band,
                        float fLevel) {
  *ppsOut = nullptr;
  JP2_Band_Buffer *b = (JP2_Band_Buffer *)JP2_Memory_Alloc_Zero(m, sizeof(JP2_Band_Buffer));
  if (!b) return JP2_ERR_MEMORY;
  b->s32RefCount = 1;
  b->psTile = &im->psTiles[t];
  b->psComp = &b->psTile->psComps[c];
  b->psRes = &b->psComp->psResolutions[r];
  b->u32Tile = t;
  b->u32Comp = c;
  b->u32Res = r;
  b->u32Band = band;
  b->u32Kind = r == 0 ? 0 : band + 1;
  JP2_Resolution *res = b->psRes;
  b->u32X0 = res->au32BandX0[b->u32Kind];
  b->u32X1 = res->au32BandX1[b->u32Kind];
  b->u32Y0 = res->au32BandY0[b->u32Kind];
  b->u32Y1 = res->au32BandY1[b->u32Kind];
  if (b->u32X1 < b->u32X0) b->u32X1 = b->u32X0;
  if (b->u32Y1 < b->u32Y0) b->u32Y1 = b->u32Y0;
  b->u32Width = b->u32X1 - b->u32X0;
  b->u32Current = b->u32Y0;
  b->fScale = BandGain(b->psComp, res, b->u32Kind) * fLevel;
  b->pu8Zc = b->u32Kind == 3 ? im->au8ZcHH : (b->u32Kind == 1 ? im->au8ZcHL : im->au8ZcLL);
  // Decoded region in band coordinates, with a margin for the filter support.
  U32 NL = b->psComp->u8Levels;
  U32 nb = r == 0 ? NL : NL - r + 1;
  U32 xr = im->pu8XRsiz[c], yr = im->pu8YRsiz[c];
  const U32 *reg = im->au32Region;
  U32 l = Band(reg[0], xr, nb), rr = Band(reg[1], xr, nb), tp = Band(reg[2], yr, nb), bt = Band(reg[3], yr, nb);
  b->u32Left = l > 5 ? l - 5 : 0;
  b->u32Right = rr + 5 + 1;
  b->u32Top = tp > 5 ? tp - 5 : 0;
  b->u32Bottom = bt + 5 + 1;
  b->u32MaxBlockWidth = 1u << res->u32Xcb;
  b->u32MaxBlockHeight = ((1u << res->u32Ycb) + 3) & ~3u;
  // The storage holds the columns near the region: the synthesis window reads no further than a few columns
  // beyond the region's own margin. Lines that leave the decoder as they are (no synthesis) keep all columns.
  b->u32ColLo = 0;
  b->u32ColHi = b->u32Width;
  if (r > 0 || b->psComp->u8SynthLevels > 0) {
    S64 cl = (S64)b->u32Left - 16 - b->u32X0, cr = (S64)b->u32Right + 16 - b->u32X0;
    b->u32ColLo = cl < 0 ? 0 : (U32)(cl < b->u32Width ? cl : b->u32Width);
    b->u32ColHi = cr < (S64)b->u32ColLo ? b->u32ColLo : (U32)(cr < b->u32Width ? cr : b->u32Width);
  }
  b->u32LineLength = b->u32ColHi - b->u32ColLo + 10;
  if (b->u32MaxBlockWidth > b->u32Width) b->u32MaxBlockWidth = b->u32Width ? b->u32Width : 1;
  b->ps32Storage = (S32 *)JP2_Memory_Alloc_Zero(m, (S64)b->u32LineLength * 4 * ((1u << res->u32Ycb) + 4));
  b->ps32Zero = (S32 *)JP2_Memory_Alloc_Zero(m, (S64)b->u32LineLength * 4);
  if (!b->ps32Storage || !b->ps32Zero) {
    JP2_Band_Buffer_Delete(&b, m);
    return JP2_ERR_MEMORY;
  }
  b->u32MaxBlockHeight = 1u << res->u32Ycb;
  *ppsOut = b;
  return 0;
}

S32 JP2_Band_Buffer_Get_Next_Line(JP2_Band_Buffer *b, JP2_Decomp *h, S32 **pps32Line) {
  U32 y = b->u32Current++;
  *pps32Line = b->ps32Zero;
  if (b->u32Width == 0 || y >= b->u32Y1 || y < b->u32Top || y >= b->u32Bottom) return 0;
  if (!b->s32Filled || y < b->u32RowTop || y >= b->u32RowTop + b->u32MaxBlockHeight ||
      ((y >> b->psRes->u32Ycb) != (b->u32RowTop >> b->psRes->u32Ycb)))
    FillRow(b, h, y);
  *pps32Line = b->ps32Storage + (size_t)(y - b->u32RowTop) * b->u32LineLength;
  return 0;
}

void JP2_Band_Buffer_Skip_Lines(JP2_Band_Buffer *b, U32 n) { b->u32Current += n; }

S32 JP2_Band_Buffer_Delete(JP2_Band_Buffer **ppsBuffer, JP2_Memory *m) {
  if (!ppsBuffer || !*ppsBuffer) return 0;
  JP2_Band_Buffer *b = *ppsBuffer;
  if (--b->s32RefCount > 0) {
    *ppsBuffer = nullptr;
    return 0;
  }
  S32 e;
  if (b->ps32Storage && (e = JP2_Memory_Free(m, &b->ps32Storage)) != 0) return e;
  if (b->ps32Zero && (e = JP2_Memory_Free(m, &b->ps32Zero)) != 0) return e;
  return JP2_Memory_Free(m, ppsBuffer);
}

S32 JP2_Band_Buffer_Add_Ref(JP2_Band_Buffer *b) {
  b->s32RefCount++;
  return 0;
}
U32 JP2_Band_Buffer_Get_Max_Block_Width(JP2_Band_Buffer *b) { return b->u32MaxBlockWidth; }
U32 JP2_Band_Buffer_Get_Max_Block_Height(JP2_Band_Buffer *b) { return (b->u32MaxBlockHeight + 3) & ~3u; }
U32 JP2_Band_Buffer_Get_Decode_Left(JP2_Band_Buffer *b) { return b->u32Left; }
U32 JP2_Band_Buffer_Get_Decode_Right(JP2_Band_Buffer *b) { return b->u32Right; }
U32 JP2_Band_Buffer_Get_First_Column(JP2_Band_Buffer *b) { return b->u32ColLo; }
U32 JP2_Band_Buffer_Get_Column_Count(JP2_Band_Buffer *b) { return b->u32ColHi - b->u32ColLo; }

S32 JP2_Tile_Allocate_Band_Buffers(JP2_Tile *psTiles, JP2_Memory *m, JP2_Image *im, U32 t) {
  JP2_Tile *tile = &psTiles[t];
  U32 maxW = 1, maxH = 4;
  for (U32 c = 0; c < im->u16Csiz; c++) {
    JP2_Tile_Comp *tc = &tile->psComps[c];
    float fLevel = 1.0f;
    for (S32 r = tc->u8SynthLevels; r >= 0; r--) {
      JP2_Resolution *res = &tc->psResolutions[r];
      for (U32 band = 0; band < res->u32Bands; band++) {
        S32 e = JP2_Band_Buffer_New(&res->apsBandBuffer[band], m, im, t, c, (U32)r, band, fLevel);
        if (e) return e;
        U32 bw = 1u << res->u32Xcb, bh = ((1u << res->u32Ycb) + 3) & ~3u;
        if (bw > maxW) maxW = bw;
        if (bh > maxH) maxH = bh;
      }
      if (res->u32X1 - res->u32X0 > 1) fLevel *= JP2_K;
      if (res->u32Y1 - res->u32Y0 > 1) fLevel *= JP2_K;
    }
  }
  U32 *pu32 = (U32 *)JP2_Memory_Alloc(m, (S64)JP2_EBCOT_Buffer_Words(maxW, maxH) * 4);
  if (!pu32) return JP2_ERR_MEMORY;
  tile->pu8CodeBlockBuffer = (U8 *)pu32;
  im->pu32CodeBlockBuffer = pu32;
  return 0;
}

S32 JP2_Tile_Free_Band_Buffers(JP2_Tile *psTiles, JP2_Memory *m, JP2_Image *im, U32 t) {
  JP2_Tile *tile = &psTiles[t];
  for (U32 c = 0; c < im->u16Csiz; c++) {
    JP2_Tile_Comp *tc = &tile->psComps[c];
    if (!tc->psResolutions) continue;
    for (U32 r = 0; r <= tc->u8Levels; r++)
      for (U32 band = 0; band < 3; band++) {
        S32 e = JP2_Band_Buffer_Delete(&tc->psResolutions[r].apsBandBuffer[band], m);
        if (e) return e;
      }
  }
  im->pu32CodeBlockBuffer = nullptr;
  return JP2_Memory_Free(m, &tile->pu8CodeBlockBuffer);
}
