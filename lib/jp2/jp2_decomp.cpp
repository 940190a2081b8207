// Tile-parts are read (sequentially or through TLM) before any wanted tile is decoded line by line.
#include "jp2/jp2_decomp.h"

#include <cstring>

#include "jp2/jp2_codestream.h"
#include "jp2/jp2_dequant.h"
#include "jp2/jp2_packet.h"
#include "jp2/jp2_partial.h"

namespace {

U32 NumResolutions(JP2_Image *im, JP2_Tile *t, U32 u32Order) {
  if (u32Order == 1 || u32Order == 2 || (u32Order == 0 && t->u16Layers == 1)) {
    U32 m = 0;
    for (U32 c = 0; c < im->u16Csiz; c++)
      if (t->psComps[c].u8SynthLevels > m) m = t->psComps[c].u8SynthLevels;
    return m + 1;
  }
  return im->u8MaxLevels + 1u;
}

S32 RunProgression(JP2_Decomp *h, U32 u32Order, S32 *pf, U32 u32Tile) {
  switch (u32Order) {
  case 0: return JP2_Prog_Decomp_LRCP(h, pf, u32Tile);
  case 1: return JP2_Prog_Decomp_RLCP(h, pf, u32Tile);
  case 2: return JP2_Prog_Decomp_RPCL(h, pf, u32Tile);
  case 3: return JP2_Prog_Decomp_PCRL(h, pf, u32Tile);
  default: return JP2_Prog_Decomp_CPRL(h, pf, u32Tile);
  }
}

} // namespace

S32 JP2_Decomp_Read_Single_Tile_Part_Header_and_Packets(JP2_Decomp *h, U32 u32Offset, U32 *pu32Next) {
  JP2_Image *im = h->psImage;
  U32 u32Tile = 0;
  *pu32Next = 0;
  if (JP2_Codestream_Read_Tile_Header(h, pu32Next, u32Offset, &u32Tile) != 0) return 0;
  JP2_Tile *t = &im->psTiles[u32Tile];
  t->u32PartsRead++;
  if (!t->s32Wanted) return 0;
  S32 e;
  if (!t->s32Built) {
    if ((e = JP2_Tile_Allocate_Resolution_to_Block_Arrays(im->psTiles, h->psMemory, im, u32Tile)) != 0) return e;
    JP2_Dequant_Calculate_Step_Sizes(im, u32Tile);
  }
  for (;;) {
    for (U32 c = 0; c < im->u16Csiz; c++)
      for (U32 r = 0; r <= t->psComps[c].u8Levels; r++) t->psComps[c].psResolutions[r].u32PrecCounter = 0;
    U32 u32Order;
    if (t->u32PocIndex < t->u32PocCount) {
      const JP2_POC &p = t->psPoc[t->u32PocIndex];
      u32Order = p.u8Order;
      U32 R = NumResolutions(im, t, u32Order);
      t->u32BCompStart = p.u32CompStart;
      t->u32BCompEnd = p.u32CompEnd < im->u16Csiz ? p.u32CompEnd : im->u16Csiz;
      t->u32BResStart = p.u32ResStart;
      t->u32BResEnd = p.u32ResEnd < R ? p.u32ResEnd : R;
      t->u32BLayerEnd = p.u32LayerEnd < t->u16Layers ? p.u32LayerEnd : t->u16Layers;
    } else {
      u32Order = t->u8Order;
      t->u32BCompStart = 0;
      t->u32BCompEnd = im->u16Csiz;
      t->u32BResStart = 0;
      t->u32BResEnd = NumResolutions(im, t, u32Order);
      t->u32BLayerEnd = t->u16Layers;
    }
    S32 s32Finished = 0;
    // A damaged packet header ends this tile-part quietly; what was read is kept.
    if (RunProgression(h, u32Order, &s32Finished, u32Tile) != 0) return 0;
    if (!s32Finished || t->u32PocIndex + 1 >= t->u32PocCount) return 0;
    t->u32PocIndex++;
  }
}

S32 JP2_Decomp_Read_All_Tile_Part_Headers_and_Packets(JP2_Decomp *h, U32 u32Offset) {
  U32 p = u32Offset;
  for (U32 u32Guard = 0; u32Guard < 0x100000; u32Guard++) {
    U32 u32Next = 0;
    S32 e = JP2_Decomp_Read_Single_Tile_Part_Header_and_Packets(h, p, &u32Next);
    if (e) return e == JP2_ERR_MEMORY ? e : 0;
    U16 u16;
    if (u32Next <= p || JP2_Cache_Read_UShort(h->psCache, u32Next, &u16) || u16 == 0xFFD9) return 0;
    p = u32Next;
  }
  return 0;
}

S32 JP2_TLM_Marker_Array_Read_Tile_Parts_and_Packet_Headers(JP2_TLM_Array *a, U32 u32FirstSOT, JP2_Decomp *h) {
  JP2_Image *im = h->psImage;
  U32 p = u32FirstSOT;
  for (U32 s = 0; s < a->u32Slots; s++) {
    JP2_TLM_Record *r = a->apsSlot[s];
    if (!r) continue;
    for (U32 i = 0; i < r->u32Entries; i++) {
      U32 u32Tile = r->pu16Tile[i];
      if (u32Tile >= im->u32TilesAcross * im->u32TilesDown) return JP2_ERR_SYNTAX;
      if (r->pu32Length[i] < 14) return JP2_ERR_SYNTAX;
      if (im->psTiles[u32Tile].s32Wanted) {
        U16 u16;
        if (JP2_Cache_Read_UShort(h->psCache, p, &u16) || u16 != 0xFF90) return JP2_ERR_SYNTAX;
        U32 u32Next;
        S32 e = JP2_Decomp_Read_Single_Tile_Part_Header_and_Packets(h, p, &u32Next);
        if (e) return e;
      }
      p += r->pu32Length[i];
    }
  }
  return 0;
}

S32 JP2_Image_Decomp_Save_State(JP2_Decomp *h) {
  JP2_Image *im = h->psImage;
  im->sPpmSaved = im->sPpm;
  for (U32 t = 0; t < im->u32Tiles; t++) im->psTiles[t].u32SavedHeaderPos = im->psTiles[t].u32HeaderPos;
  return 0;
}

S32 JP2_Image_Decomp_Reset_Decoding_Handle(JP2_Decomp *h) {
  JP2_Image *im = h->psImage;
  im->sPpm = im->sPpmSaved;
  for (U32 i = 0; i < im->u32Tiles; i++) {
    JP2_Tile *t = &im->psTiles[i];
    t->u32PartsRead = 0;
    t->u32BodyPos = 0;
    t->u32EndLimit = 0;
    t->u16CurLayer = t->u16CurComp = 0;
    t->u8CurRes = 0;
    t->u32CurPrec = 0;
    t->u32PptCount = t->u32PptCountMain;
    t->u32PptIndex = 0;
    t->s32HeaderMode = 0;
    if (t->u32PocTileCount) {
      memmove(t->psPoc, t->psPoc + t->u32PocTileCount, (t->u32PocCount - t->u32PocTileCount) * sizeof(JP2_POC));
      t->u32PocCount -= t->u32PocTileCount;
      t->u32PocTileCount = 0;
    }
    t->u32PocIndex = 0;
    t->u32HeaderPos = t->u32SavedHeaderPos;
    for (U32 c = 0; c < im->u16Csiz; c++) {
      t->psComps[c].u32DecodeCounter = 0;
      t->psComps[c].u32LineCounter = 0;
      t->psComps[c].u32RowsProcessed = 0;
      t->psComps[c].u32RowsWritten = 0;
    }
  }
  return 0;
}

S32 JP2_Decomp_Free_All_Tiles(JP2_Decomp *h) {
  JP2_Image *im = h->psImage;
  if (!im->psTiles) return 0;
  for (U32 t = 0; t < im->u32Tiles; t++) {
    if (!im->psTiles[t].psComps) continue;
    S32 e = JP2_Tile_Free_Resolution_to_Block_Arrays(im->psTiles, h->psMemory, im, t);
    if (e) return e;
  }
  return 0;
}

S32 JP2_Decomp_Prepare_Region(JP2_Decomp *h, U32 x0, U32 x1, U32 y0, U32 y1) {
  JP2_Image *im = h->psImage;
  JP2_Image_Decomp_Reset_Decoding_Handle(h);
  S32 e = JP2_Decomp_Free_All_Tiles(h);
  if (e) return e;
  if (x0 == x1 && y0 == y1) {
    U32 c0 = 0;
    x0 = 0;
    y0 = 0;
    x1 = h->psFormat->pu32OutWidth[c0];
    y1 = h->psFormat->pu32OutHeight[c0];
  }
  if ((e = JP2_Partial_Decoding_Valid_Region(h, x0, x1, y0, y1)) != 0) return e;
  for (U32 t = 0; t < im->u32Tiles; t++) JP2_Partial_Decoding_Init(h, t);
  if (JP2_TLM_Marker_Array_Get_Num_Markers(im->psTLM)) {
    e = JP2_TLM_Marker_Array_Read_Tile_Parts_and_Packet_Headers(im->psTLM, h->u32FirstTilePart, h);
    if (e == JP2_ERR_MEMORY) return e;
    if (e == 0) return 0;
    JP2_Image_Decomp_Reset_Decoding_Handle(h);
    if ((e = JP2_Decomp_Free_All_Tiles(h)) != 0) return e;
  }
  return JP2_Decomp_Read_All_Tile_Part_Headers_and_Packets(h, h->u32FirstTilePart);
}

#include "jp2/jp2_bandbuf.h"
#include "jp2/jp2_format.h"
#include "jp2/jp2_wavelet.h"

// The 9/7 fixed-point lines hold x * 2^(13 - P - G); with few guard bits and many levels the lifting
// overflows 16 bits, and from 12 bits of precision on too few fraction bits remain (the step itself is cut to
// 2^-28), so such components use 32-bit lines.
static bool _JP2_Needs_32_Bits(JP2_Image *im, JP2_Tile_Comp *tc, U32 c) {
  S32 p = im->ps8Precision[c];
  if (im->s32Force32 || p < 0) return true;
  if (tc->u8Wavelet == 1) return p >= 12;
  if (p >= 12) return true;
  return tc->u8Guard < 2 || tc->u8Levels > 2 * tc->u8Guard + 1;
}

// Rows above the region leave no sample at the identity scale: the lines are dropped in one step instead of one
// at a time, and the line-start callback is still asked before each of them, in the same order. Afterwards the
// row loop starts at *pu32Start.
static S32 _JP2_Skip_Rows_Above_Region(JP2_Decomp *h, JP2_Tile *t, JP2_Wavelet **apsW, U32 *pu32Start) {
  JP2_Image *im = h->psImage;
  JP2_Format *f = h->psFormat;
  if (!h->psScale->u32Identity) return 0;
  U64 start = ~0ull;
  for (U32 j = 0; j < im->u16Csiz; j++) {
    U32 c = f->pu32Map[j];
    if (c >= im->u16Csiz) continue;
    for (U32 i = 0; i < j; i++)
      if (f->pu32Map[i] == c) return 0; // a component read twice per row: left to the row loop
    JP2_Tile_Comp *tc = &t->psComps[c];
    if (tc->u32VStep != 1) return 0;
    U64 top = (U64)im->pu32OutRegion[4 * c + 2] + f->pu32OriginY[c];
    U64 k = top > tc->u32Y0 ? top - tc->u32Y0 : 0;
    if (k > tc->u32DecHeight) k = tc->u32DecHeight;
    U64 y = (tc->u32Y0 + k) * im->pu8YRsiz[c];
    if (y < start) start = y;
  }
  if (start == ~0ull || start <= t->u32Y0) return 0;
  if (start > t->u32Y1) start = t->u32Y1;
  if (h->pfLineStart)
    for (U32 y = t->u32Y0; y < start; y++)
      for (U32 j = 0; j < im->u16Csiz; j++) {
        U32 c = f->pu32Map[j];
        if (c < im->u16Csiz && y % im->pu8YRsiz[c] == 0 && h->pfLineStart(h->pvLineStartParam) != 0)
          return JP2_ERR_STOPPED;
      }
  for (U32 j = 0; j < im->u16Csiz; j++) {
    U32 c = f->pu32Map[j];
    if (c >= im->u16Csiz) continue;
    JP2_Tile_Comp *tc = &t->psComps[c];
    U32 n = JP2_Ceil_Div((U32)start, im->pu8YRsiz[c]) - tc->u32Y0;
    JP2_Wavelet_Decomp_Skip_Lines(apsW[c], n);
    tc->u32RowsProcessed += n;
    tc->u32RowsWritten += n;
  }
  *pu32Start = (U32)start;
  return 0;
}

S32 JP2_Decomp_Decode_Tile(JP2_Decomp *h, U32 u32Tile) {
  JP2_Image *im = h->psImage;
  JP2_Tile *t = &im->psTiles[u32Tile];
  JP2_Memory *m = h->psMemory;
  if (!t->s32Built) return 0;
  JP2_Wavelet **apsW = (JP2_Wavelet **)JP2_Memory_Alloc_Zero(m, (S64)im->u16Csiz * sizeof(JP2_Wavelet *));
  if (!apsW) return JP2_ERR_MEMORY;
  S32 e = 0;
  for (U32 c = 0; c < im->u16Csiz && !e; c++) {
    JP2_Tile_Comp *tc = &t->psComps[c];
    tc->s32LineMode = _JP2_Needs_32_Bits(im, tc, c) ? 1 : 0;
    tc->u32RowsProcessed = tc->u32RowsWritten = 0;
    tc->u32RowLimit = tc->u32OutHeight;
    e = JP2_Wavelet_Decomp_New(&apsW[c], m, h, u32Tile, c);
  }
  if (!e) e = JP2_Tile_Allocate_Band_Buffers(im->psTiles, m, im, u32Tile);
  U32 yStart = t->u32Y0;
  if (!e) e = _JP2_Skip_Rows_Above_Region(h, t, apsW, &yStart);
  if (!e) {
    U32 yEnd = im->au32Region[3];
    if (!h->psScale->u32Identity && h->psScale->u32Magnify > 1) yEnd++;
    if (yEnd > t->u32Y1) yEnd = t->u32Y1;
    for (U32 y = yStart; y < yEnd && !e; y++)
      for (U32 j = 0; j < im->u16Csiz && !e; j++) {
        U32 c = h->psFormat->pu32Map[j];
        if (c >= im->u16Csiz) continue;
        JP2_Tile_Comp *tc = &t->psComps[c];
        U64 step = (U64)im->pu8YRsiz[c] * tc->u32VStep;
        if (y % step) continue;
        if (tc->u32RowsProcessed >= tc->u32DecHeight && !h->psFormat->u8Mct) continue;
        JP2_Decomp_Set_Output_Component_Index(h, (U16)j);
        e = JP2_Format_Decomp(apsW[c], h, u32Tile, c);
      }
  }
  for (U32 c = 0; c < im->u16Csiz; c++) JP2_Wavelet_Decomp_Delete(&apsW[c], m);
  JP2_Memory_Free(m, &apsW);
  if (t->pu8CodeBlockBuffer || t->psComps[0].psResolutions) JP2_Tile_Free_Band_Buffers(im->psTiles, m, im, u32Tile);
  S32 e2 = JP2_Tile_Free_Resolution_to_Block_Arrays(im->psTiles, m, im, u32Tile);
  return e ? e : e2;
}
