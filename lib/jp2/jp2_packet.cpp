// Packet headers are read in place; only positions and lengths of code-block data are recorded.
#include "jp2/jp2_packet.h"

#include <climits>
#include <cstring>

#include "jp2/jp2_codestream.h"
#include "jp2/jp2_common.h"

/* Bit reader */

S32 JP2_Read_Bits_New(JP2_Read_Bits **ppsOut, JP2_Memory *psMemory, JP2_Cache *psCache) {
  *ppsOut = (JP2_Read_Bits *)JP2_Memory_Alloc_Zero(psMemory, sizeof(JP2_Read_Bits));
  if (!*ppsOut) return JP2_ERR_MEMORY;
  (*ppsOut)->psCache = psCache;
  (*ppsOut)->u8Bit = 7;
  return 0;
}

S32 JP2_Read_Bits_Delete(JP2_Read_Bits **ppsBits, JP2_Memory *psMemory) { return JP2_Memory_Free(psMemory, ppsBits); }

S32 JP2_Read_Bits_Set_Map(JP2_Read_Bits *b, const U32 *pu32Pos, const U32 *pu32Len, U32 u32Count) {
  b->pu32MapPos = pu32Pos;
  b->pu32MapLen = pu32Len;
  b->u32MapCount = pu32Pos ? u32Count : 0;
  return 0;
}

static S32 _JP2_Read_Bits_Byte(JP2_Read_Bits *b, U32 u32Pos, U8 *pu8) {
  if (b->pu32MapPos)
    return JP2_Codestream_Chunk_Read_Byte(b->psCache, b->pu32MapPos, b->pu32MapLen, b->u32MapCount, u32Pos, pu8);
  return JP2_Cache_Read_UChar(b->psCache, u32Pos, pu8);
}

S32 JP2_Read_Bits_Set_Position(JP2_Read_Bits *b, U32 u32Pos) {
  b->u32Pos = u32Pos;
  b->u8Bit = 7;
  if (_JP2_Read_Bits_Byte(b, u32Pos, &b->u8Byte)) return JP2_ERR_BOX_READ;
  return 0;
}

U32 JP2_Read_Bits_Get_Position(JP2_Read_Bits *b) { return b->u32Pos; }

U32 JP2_Read_Bits_Get_Next_Bit(JP2_Read_Bits *b) {
  U32 v = (b->u8Byte >> b->u8Bit) & 1;
  if (b->u8Bit > 0) {
    b->u8Bit--;
    return v;
  }
  bool bWasFF = b->u8Byte == 0xFF;
  b->u32Pos++;
  U8 u8Next;
  if (_JP2_Read_Bits_Byte(b, b->u32Pos, &u8Next) || (bWasFF && u8Next >= 0x80)) {
    // A marker or the end of the data: the old byte stays current and counts as 1-bits.
    b->u8Bit = 7;
    return 255;
  }
  b->u8Byte = u8Next;
  b->u8Bit = bWasFF ? 6 : 7;
  return v;
}

S32 JP2_Read_Bits_Byte_Align(JP2_Read_Bits *b) {
  if (b->u8Bit == 7) return 0;
  // After a finished 0xFF the current byte is the stuffed one (index 6): it belongs to the header.
  b->u32Pos++;
  if (_JP2_Read_Bits_Byte(b, b->u32Pos, &b->u8Byte)) return JP2_ERR_BOX_READ;
  b->u8Bit = 7;
  return 0;
}

static S32 _JP2_Read_Bits_Skip_If(JP2_Read_Bits *b, U8 u8Second, U32 u32Skip) {
  U8 u8A, u8B;
  if (_JP2_Read_Bits_Byte(b, b->u32Pos, &u8A) || _JP2_Read_Bits_Byte(b, b->u32Pos + 1, &u8B)) return 0;
  if (u8A == 0xFF && u8B == u8Second) {
    b->u32Pos += u32Skip;
    b->u8Bit = 7;
    if (_JP2_Read_Bits_Byte(b, b->u32Pos, &b->u8Byte)) b->u8Byte = 0;
  }
  return 0;
}

S32 JP2_Read_Bits_Skip_Optional_SOP_Marker(JP2_Read_Bits *b) { return _JP2_Read_Bits_Skip_If(b, 0x91, 6); }
S32 JP2_Read_Bits_Skip_EPH_Marker(JP2_Read_Bits *b) { return _JP2_Read_Bits_Skip_If(b, 0x92, 2); }

/* Tag trees */

U32 JP2_Tag_Num_Levels(U32 w, U32 h) {
  U32 m = w > h ? w : h;
  if (m <= 1) return 1;
  U32 n = 0, v = m - 1;
  while (v > 1) {
    v >>= 1;
    n++;
  }
  return n + 2;
}

U32 JP2_Tag_Calc_Sum_Elements(U32 w, U32 h, U32 levels) {
  U32 n = 0;
  for (U32 k = 0; k < levels; k++) n += JP2_Ceil_Div_Pow2(w, k) * JP2_Ceil_Div_Pow2(h, k);
  return n;
}

S32 JP2_Tag_Init_Tree(JP2_Tag_Tree *t, JP2_Memory *m, S32 *ps32Leaf, U32 w, U32 h, U32 u32Layer, S32) {
  if (!t->ps32Value) {
    t->u32Width = w;
    t->u32Height = h;
    t->u32Levels = JP2_Tag_Num_Levels(w, h);
    t->u32Nodes = JP2_Tag_Calc_Sum_Elements(w, h, t->u32Levels);
    U64 u64Bytes = (U64)t->u32Nodes * 8 + (U64)(t->u32Levels + 1) * 12;
    t->ps32Value = (S32 *)JP2_Memory_Alloc(m, (S64)u64Bytes);
    if (!t->ps32Value) return JP2_ERR_MEMORY;
    t->ps32Low = t->ps32Value + t->u32Nodes;
    t->pu32Level = (U32 *)(t->ps32Low + t->u32Nodes);
    U32 first = 0;
    for (U32 k = 0; k < t->u32Levels; k++) {
      t->pu32Level[3 * k] = JP2_Ceil_Div_Pow2(w, k);
      t->pu32Level[3 * k + 1] = JP2_Ceil_Div_Pow2(h, k);
      t->pu32Level[3 * k + 2] = first;
      first += t->pu32Level[3 * k] * t->pu32Level[3 * k + 1];
    }
  }
  t->ps32Leaf = ps32Leaf;
  t->u32Layer = u32Layer;
  for (U32 i = 0; i < t->u32Nodes; i++) {
    t->ps32Value[i] = INT_MAX;
    t->ps32Low[i] = 0;
  }
  return 0;
}

static S32 _JP2_Tag_Decode(JP2_Tag_Tree *t, U32 x, U32 y, S32 s32Threshold, JP2_Read_Bits *b) {
  U32 au32Path[40];
  U32 n = 0;
  for (U32 k = 0; k < t->u32Levels && n < 40; k++) {
    const U32 *l = &t->pu32Level[3 * k];
    au32Path[n++] = l[2] + (y >> k) * l[0] + (x >> k);
  }
  S32 low = 0;
  while (n-- > 0) {
    U32 i = au32Path[n];
    if (low > t->ps32Low[i])
      t->ps32Low[i] = low;
    else
      low = t->ps32Low[i];
    while (low < s32Threshold && low < t->ps32Value[i]) {
      if (JP2_Read_Bits_Get_Next_Bit(b))
        t->ps32Value[i] = low;
      else
        low++;
    }
    t->ps32Low[i] = low;
  }
  U32 u32Leaf = y * t->u32Width + x;
  return t->ps32Value[u32Leaf];
}

S32 JP2_Tag_Rec_Read_Part_Tree(JP2_Tag_Tree *t, U32 x, U32 y, S32 s32Threshold, JP2_Read_Bits *b, S32 *ps32Known) {
  S32 v = _JP2_Tag_Decode(t, x, y, s32Threshold + 1, b);
  *ps32Known = v <= s32Threshold;
  return 0;
}

S32 JP2_Tag_Rec_Read_Tree(JP2_Tag_Tree *t, U32 x, U32 y, JP2_Read_Bits *b, S32 *ps32Value) {
  S32 v = _JP2_Tag_Decode(t, x, y, INT_MAX, b);
  U32 k = y * t->u32Width + x;
  if (t->ps32Leaf) t->ps32Leaf[k] = v;
  *ps32Value = v;
  return 0;
}

/* Packet header */

static U32 _JP2_Bits(JP2_Read_Bits *b, U32 n) {
  U32 v = 0;
  for (U32 i = 0; i < n; i++) v = (v << 1) | (JP2_Read_Bits_Get_Next_Bit(b) ? 1u : 0u);
  return v;
}

static U32 _JP2_Floor_Log2(U32 v) {
  U32 n = 0;
  while (v > 1) {
    v >>= 1;
    n++;
  }
  return n;
}

static S32 _JP2_Packet_Block(JP2_Prec_Band *pb, U32 k, U32 u32Layer, S32 s32TermAll, S32 s32Bypass,
                             JP2_Read_Bits *b) {
  JP2_Block_Array *a = pb->psBlocks;
  U32 x = k % pb->u32BlocksWide, y = k / pb->u32BlocksWide;
  bool bFirst = pb->ps32Incl[k] < 0;
  if (bFirst) {
    S32 s32Known;
    JP2_Tag_Rec_Read_Part_Tree(&pb->sIncl, x, y, (S32)u32Layer, b, &s32Known);
    if (!s32Known) return 0;
    pb->ps32Incl[k] = (S32)u32Layer;
    S32 s32Zero;
    JP2_Tag_Rec_Read_Tree(&pb->sZero, x, y, b, &s32Zero);
    pb->ps32Planes[k] = pb->s32Mb - s32Zero;
  } else if (!JP2_Read_Bits_Get_Next_Bit(b)) {
    return 0;
  }
  U32 n;
  if (!JP2_Read_Bits_Get_Next_Bit(b))
    n = 1;
  else if (!JP2_Read_Bits_Get_Next_Bit(b))
    n = 2;
  else if ((n = _JP2_Bits(b, 2)) < 3)
    n += 3;
  else if ((n = _JP2_Bits(b, 5)) < 31)
    n += 6;
  else
    n = 37 + _JP2_Bits(b, 7);
  JP2_Block_Array_Set_Code_Passes(a, k, u32Layer, n);
  while (JP2_Read_Bits_Get_Next_Bit(b)) {
    if (a->pu8LBlock[k] >= 32) return JP2_ERR_SYNTAX; // a length would not fit in 32 bits
    JP2_Block_Array_Increment_LBlock(a, k);
  }
  U32 J = a->pu8PassesRead[k];
  // The arrays hold at most 255 passes and the style's number of segments.
  if (J + n > 255) return JP2_ERR_SYNTAX;
  while (n > 0) {
    U32 seg, m;
    if (s32TermAll) {
      seg = J;
      m = 1;
    } else if (s32Bypass) {
      if (J < 10) {
        seg = 0;
        m = n < 10 - J ? n : 10 - J;
      } else {
        U32 t = J - 10;
        seg = (t % 3 == 2) ? 2 + 2 * (t / 3) : 1 + 2 * (t / 3);
        m = (t % 3 == 0 && n >= 2) ? 2 : 1;
      }
    } else {
      seg = 0;
      m = n;
    }
    if (seg >= a->u32MaxSegments) return JP2_ERR_SYNTAX;
    U32 bits = a->pu8LBlock[k] + _JP2_Floor_Log2(m);
    if (bits > 32) return JP2_ERR_SYNTAX;
    U32 len = bits == 32 ? (_JP2_Bits(b, 16) << 16) | _JP2_Bits(b, 16) : _JP2_Bits(b, bits);
    JP2_Block_Array_Add_Segment_Length(a, k, seg, len);
    JP2_Block_Array_Add_Code_Length(a, k, u32Layer, len);
    JP2_Block_Array_Add_Passes_Read(a, k, m);
    J += m;
    n -= m;
  }
  return 0;
}

S32 JP2_Packet_Decode_Header(JP2_Precinct *p, JP2_Memory *m, U32 u32Bands, U32 u32Layer, S32 s32TermAll,
                             S32 s32Bypass, S32 s32Sop, S32 s32Eph, U32 u32Layers, JP2_Read_Bits *b) {
  if (p->s32Empty) return 0;
  if (s32Sop) JP2_Read_Bits_Skip_Optional_SOP_Marker(b);
  S32 e;
  if (u32Layer == 0) {
    for (U32 i = 0; i < u32Bands; i++) {
      JP2_Prec_Band *pb = &p->psBands[i];
      if (!pb->psBlocks) continue;
      U32 n = pb->u32BlocksWide * pb->u32BlocksHigh;
      for (U32 k = 0; k < n; k++) pb->ps32Incl[k] = -1;
      if ((e = JP2_Tag_Init_Tree(&pb->sIncl, m, pb->ps32Incl, pb->u32BlocksWide, pb->u32BlocksHigh, 0, 3)) != 0 ||
          (e = JP2_Tag_Init_Tree(&pb->sZero, m, pb->ps32Planes, pb->u32BlocksWide, pb->u32BlocksHigh, 0, 1)) != 0)
        return e;
      pb->sIncl.ps32Leaf = nullptr; // inclusion results are kept by the packet reader itself
      JP2_Block_Array_Reset(pb->psBlocks);
    }
  }
  if (JP2_Read_Bits_Get_Next_Bit(b)) {
    for (U32 i = 0; i < u32Bands; i++) {
      JP2_Prec_Band *pb = &p->psBands[i];
      if (!pb->psBlocks || !pb->sIncl.ps32Value) continue;
      U32 n = pb->u32BlocksWide * pb->u32BlocksHigh;
      for (U32 k = 0; k < n; k++) {
        if ((e = _JP2_Packet_Block(pb, k, u32Layer, s32TermAll, s32Bypass, b)) != 0) {
          JP2_Block_Array_Reset(pb->psBlocks);
          return e;
        }
      }
    }
  }
  if (u32Layer + 1 >= u32Layers)
    for (U32 i = 0; i < u32Bands; i++) {
      JP2_Tag_Free_Tree(&p->psBands[i].sIncl, m);
      JP2_Tag_Free_Tree(&p->psBands[i].sZero, m);
    }
  if ((e = JP2_Read_Bits_Byte_Align(b)) != 0) return e;
  if (s32Eph) JP2_Read_Bits_Skip_EPH_Marker(b);
  return 0;
}

/* One packet and the progression orders */

namespace {

struct Walk {
  JP2_Decomp *h;
  JP2_Image *im;
  JP2_Tile *t;
  U32 u32Tile;
};

U32 PrecCount(const JP2_Resolution *r) { return r->psPrecincts ? r->u32PrecWide * r->u32PrecHigh : 0; }

// True when the tile-part has no more packets.
bool AtEnd(Walk &w) {
  JP2_Tile *t = w.t;
  if (t->u32EndLimit) return t->u32HeaderPos >= t->u32EndLimit;
  U16 u16;
  if (JP2_Cache_Read_UShort(w.h->psCache, t->u32BodyPos, &u16)) return false;
  return u16 == 0xFFD9;
}

S32 Packet(Walk &w, U32 l, U32 c, U32 r, U32 k) {
  JP2_Tile *t = w.t;
  JP2_Tile_Comp *tc = &t->psComps[c];
  JP2_Resolution *res = &tc->psResolutions[r];
  if (k >= PrecCount(res)) return 0;
  JP2_Precinct *p = &res->psPrecincts[k];
  if (p->pu32Processed[l]) return 0;
  JP2_Read_Bits *b = w.h->psBits;
  if (t->s32HeaderMode == 1)
    JP2_Read_Bits_Set_Map(b, w.im->pu32PpmPos, w.im->pu32PpmLen, w.im->u32PpmCount);
  else if (t->s32HeaderMode == 2)
    JP2_Read_Bits_Set_Map(b, t->pu32PptPos, t->pu32PptLen, t->u32PptCount);
  else
    JP2_Read_Bits_Set_Map(b, nullptr, nullptr, 0);
  p->pu32HeaderStart[l] = t->u32HeaderPos;
  S32 e = JP2_Read_Bits_Set_Position(b, t->u32HeaderPos);
  if (!e)
    e = JP2_Packet_Decode_Header(p, w.h->psMemory, res->u32Bands, l, tc->u8TermAll, tc->u8Bypass, t->u8Sop, t->u8Eph,
                                 t->u16Layers, b);
  JP2_Read_Bits_Set_Map(b, nullptr, nullptr, 0);
  if (e) return e;
  t->u32HeaderPos = JP2_Read_Bits_Get_Position(b);
  p->pu32Processed[l] = 1;
  if (t->s32HeaderMode == 0) {
    t->u32BodyPos = t->u32HeaderPos;
  } else if (t->u8Sop) {
    U16 u16;
    if (!JP2_Cache_Read_UShort(w.h->psCache, t->u32BodyPos, &u16) && u16 == 0xFF91) t->u32BodyPos += 6;
  }
  if (!p->s32Empty)
    for (U32 i = 0; i < res->u32Bands; i++) {
      JP2_Block_Array *a = p->psBands[i].psBlocks;
      if (!a) continue;
      for (U32 kb = 0; kb < a->u32Count; kb++) {
        JP2_Block_Array_Set_Code_Position(a, kb, l, t->u32BodyPos);
        t->u32BodyPos += JP2_Block_Array_Get_Code_Length(a, kb, l);
      }
    }
  if (t->s32HeaderMode == 0) t->u32HeaderPos = t->u32BodyPos;
  return 0;
}

bool HasRes(JP2_Tile *t, U32 c, U32 r) { return r <= t->psComps[c].u8Levels; }

S32 LayerDriven(Walk &w, S32 *ps32Finished, bool bResFirst) {
  JP2_Tile *t = w.t;
  *ps32Finished = 0;
  U32 L1 = bResFirst ? t->u32BResStart : 0, L2 = bResFirst ? t->u32BResEnd : t->u32BLayerEnd;
  U32 I1 = bResFirst ? 0 : t->u32BResStart, I2 = bResFirst ? t->u32BLayerEnd : t->u32BResEnd;
  for (U32 a = L1; a < L2; a++)
    for (U32 bb = I1; bb < I2; bb++) {
      U32 l = bResFirst ? bb : a, r = bResFirst ? a : bb;
      for (U32 c = t->u32BCompStart; c < t->u32BCompEnd; c++) {
        if (!HasRes(t, c, r)) continue;
        U32 n = PrecCount(&t->psComps[c].psResolutions[r]);
        for (U32 k = 0; k < n; k++) {
          if (AtEnd(w)) return 0;
          S32 e = Packet(w, l, c, r, k);
          if (e) return e;
        }
      }
    }
  *ps32Finished = 1;
  return 0;
}

bool Hit(JP2_Tile *t, JP2_Resolution *res, U64 x, U64 y) {
  bool bY = (y % res->u64StepY == 0) || (y == t->u32Y0 && (res->u32Y0 & ((1u << res->u32PPy) - 1)) != 0);
  bool bX = (x % res->u64StepX == 0) || (x == t->u32X0 && (res->u32X0 & ((1u << res->u32PPx) - 1)) != 0);
  return bX && bY;
}

// Visits one hit: all layers of the pair's next precinct.
S32 Visit(Walk &w, U32 c, U32 r, U32 *pu32Remaining, bool *pbStop) {
  JP2_Resolution *res = &w.t->psComps[c].psResolutions[r];
  U32 n = PrecCount(res);
  if (res->u32PrecCounter < n) {
    for (U32 l = 0; l < w.t->u32BLayerEnd; l++) {
      if (AtEnd(w)) {
        *pbStop = true;
        return 0;
      }
      S32 e = Packet(w, l, c, r, res->u32PrecCounter);
      if (e) return e;
    }
    if (*pu32Remaining) (*pu32Remaining)--;
  }
  res->u32PrecCounter++;
  return 0;
}

S32 PositionDriven(Walk &w, S32 *ps32Finished, U32 u32Order) {
  JP2_Tile *t = w.t;
  *ps32Finished = 0;
  U64 dx = 0, dy = 0;
  for (U32 c = t->u32BCompStart; c < t->u32BCompEnd; c++)
    for (U32 r = t->u32BResStart; r < t->u32BResEnd; r++)
      if (HasRes(t, c, r)) {
        JP2_Resolution *res = &t->psComps[c].psResolutions[r];
        dx = JP2_Common_GCD64(dx, res->u64StepX);
        dy = JP2_Common_GCD64(dy, res->u64StepY);
      }
  if (dx == 0 || dy == 0) {
    *ps32Finished = 1;
    return 0;
  }
  auto next = [](U64 v, U64 d) { return v + d - (v % d); };
  bool bStop = false;
  S32 e = 0;
  if (u32Order == 2) { // RPCL
    for (U32 r = t->u32BResStart; r < t->u32BResEnd; r++) {
      U32 rem = 0;
      for (U32 c = t->u32BCompStart; c < t->u32BCompEnd; c++)
        if (HasRes(t, c, r)) {
          JP2_Resolution *res = &t->psComps[c].psResolutions[r];
          U32 n = PrecCount(res);
          rem += n > res->u32PrecCounter ? n - res->u32PrecCounter : 0;
        }
      for (U64 y = t->u32Y0; y < t->u32Y1 && rem; y = next(y, dy))
        for (U64 x = t->u32X0; x < t->u32X1 && rem; x = next(x, dx))
          for (U32 c = t->u32BCompStart; c < t->u32BCompEnd; c++) {
            if (!HasRes(t, c, r) || !Hit(t, &t->psComps[c].psResolutions[r], x, y)) continue;
            if ((e = Visit(w, c, r, &rem, &bStop)) != 0 || bStop) return e;
          }
    }
  } else if (u32Order == 3) { // PCRL
    U32 rem = 0;
    for (U32 c = t->u32BCompStart; c < t->u32BCompEnd; c++)
      for (U32 r = t->u32BResStart; r < t->u32BResEnd; r++)
        if (HasRes(t, c, r)) rem += PrecCount(&t->psComps[c].psResolutions[r]);
    for (U64 y = t->u32Y0; y < t->u32Y1 && rem; y = next(y, dy))
      for (U64 x = t->u32X0; x < t->u32X1 && rem; x = next(x, dx))
        for (U32 c = t->u32BCompStart; c < t->u32BCompEnd; c++)
          for (U32 r = t->u32BResStart; r < t->u32BResEnd; r++) {
            if (!HasRes(t, c, r) || !Hit(t, &t->psComps[c].psResolutions[r], x, y)) continue;
            if ((e = Visit(w, c, r, &rem, &bStop)) != 0 || bStop) return e;
          }
  } else { // CPRL
    for (U32 c = t->u32BCompStart; c < t->u32BCompEnd; c++) {
      U32 rem = 0;
      for (U32 r = t->u32BResStart; r < t->u32BResEnd; r++)
        if (HasRes(t, c, r)) {
          t->psComps[c].psResolutions[r].u32PrecCounter = 0;
          rem += PrecCount(&t->psComps[c].psResolutions[r]);
        }
      for (U64 y = t->u32Y0; y < t->u32Y1 && rem; y = next(y, dy))
        for (U64 x = t->u32X0; x < t->u32X1 && rem; x = next(x, dx))
          for (U32 r = t->u32BResStart; r < t->u32BResEnd; r++) {
            if (!HasRes(t, c, r) || !Hit(t, &t->psComps[c].psResolutions[r], x, y)) continue;
            if ((e = Visit(w, c, r, &rem, &bStop)) != 0 || bStop) return e;
          }
    }
  }
  *ps32Finished = 1;
  return 0;
}

Walk MakeWalk(JP2_Decomp *h, U32 u32Tile) { return {h, h->psImage, &h->psImage->psTiles[u32Tile], u32Tile}; }

} // namespace

S32 JP2_Prog_Decomp_LRCP(JP2_Decomp *h, S32 *pf, U32 t) {
  Walk w = MakeWalk(h, t);
  return LayerDriven(w, pf, false);
}
S32 JP2_Prog_Decomp_RLCP(JP2_Decomp *h, S32 *pf, U32 t) {
  Walk w = MakeWalk(h, t);
  return LayerDriven(w, pf, true);
}
S32 JP2_Prog_Decomp_RPCL(JP2_Decomp *h, S32 *pf, U32 t) {
  Walk w = MakeWalk(h, t);
  return PositionDriven(w, pf, 2);
}
S32 JP2_Prog_Decomp_PCRL(JP2_Decomp *h, S32 *pf, U32 t) {
  Walk w = MakeWalk(h, t);
  return PositionDriven(w, pf, 3);
}
S32 JP2_Prog_Decomp_CPRL(JP2_Decomp *h, S32 *pf, U32 t) {
  Walk w = MakeWalk(h, t);
  return PositionDriven(w, pf, 4);
}
