// Marker segments: what is stored, skipped and refused. Nothing is decoded here.
#include "jp2/jp2_codestream.h"

#include <cstring>

#include "jp2/jp2_file.h"

namespace {

struct Ctx {
  JP2_Decomp *h;
  JP2_Image *im;
  JP2_Cache *c;
  JP2_Memory *m;
  U32 L;     // segment length
  S32 kind;  // 0 main header, 1 tile-part header
  U32 P;     // first byte after the length field
  U32 tile;
};

S32 U8At(Ctx &x, U32 off, U8 *v) { return JP2_Cache_Read_UChar(x.c, x.P + off, v) ? JP2_ERR_BOX_READ : 0; }
S32 U16At(Ctx &x, U32 off, U16 *v) { return JP2_Cache_Read_UShort(x.c, x.P + off, v) ? JP2_ERR_BOX_READ : 0; }
S32 U32At(Ctx &x, U32 off, U32 *v) { return JP2_Cache_Read_ULong(x.c, x.P + off, v) ? JP2_ERR_BOX_READ : 0; }

S32 ReadSIZ(Ctx &x) {
  JP2_Image *im = x.im;
  if (x.L <= 40) return JP2_ERR_SYNTAX;
  U16 u16Rsiz, u16Csiz;
  U32 v[8];
  S32 e;
  if ((e = U16At(x, 0, &u16Rsiz)) != 0) return e;
  for (int i = 0; i < 8; i++)
    if ((e = U32At(x, 2 + 4 * i, &v[i])) != 0) return e;
  if ((e = U16At(x, 34, &u16Csiz)) != 0) return e;
  if (u16Csiz > JP2_MAX_COMPONENTS) return JP2_ERR_COMPONENTS;
  if (x.L != 38 + 3u * u16Csiz) return JP2_ERR_SYNTAX;
  // The per-component arrays were sized before the codestream was seen.
  if (u16Csiz == 0 || u16Csiz > im->u32PlannedComps) return JP2_ERR_SYNTAX;
  U32 Xsiz = v[0], Ysiz = v[1], XOsiz = v[2], YOsiz = v[3], XTsiz = v[4], YTsiz = v[5], XTOsiz = v[6], YTOsiz = v[7];
  if (XTsiz == 0 || YTsiz == 0 || Xsiz <= XOsiz || Ysiz <= YOsiz || XTOsiz > XOsiz || YTOsiz > YOsiz)
    return JP2_ERR_SYNTAX;
  U64 u64Across = ((U64)XTsiz + Xsiz - 1 - XTOsiz) / XTsiz;
  U64 u64Down = ((U64)YTsiz + Ysiz - 1 - YTOsiz) / YTsiz;
  if (u64Across == 0 || u64Down == 0 || u64Across * u64Down > 65535) return JP2_ERR_SYNTAX;
  im->u16Rsiz = u16Rsiz;
  im->u32Xsiz = Xsiz;
  im->u32Ysiz = Ysiz;
  im->u32XOsiz = XOsiz;
  im->u32YOsiz = YOsiz;
  im->u32XTsiz = XTsiz;
  im->u32YTsiz = YTsiz;
  im->u32XTOsiz = XTOsiz;
  im->u32YTOsiz = YTOsiz;
  im->u16Csiz = u16Csiz;
  for (U32 i = 0; i < u16Csiz; i++) {
    U8 s, xr, yr;
    if (U8At(x, 36 + 3 * i, &s) || U8At(x, 37 + 3 * i, &xr) || U8At(x, 38 + 3 * i, &yr)) return JP2_ERR_BOX_READ;
    S32 d = (s & 0x7F) + 1;
    if (d > 38 || xr == 0 || yr == 0) return JP2_ERR_SYNTAX;
    im->ps8Precision[i] = (S8)((s & 0x80) ? -d : d);
    im->pu8XRsiz[i] = xr;
    im->pu8YRsiz[i] = yr;
  }
  im->u32TilesAcross = (U32)u64Across;
  im->u32TilesDown = (U32)u64Down;
  im->u32Tiles = (U32)(u64Across * u64Down);
  im->s32SeenSIZ = 1;
  return 0;
}

// Coding-style fields shared by COD and COC; off is the offset of the NL byte.
S32 ReadSPco(Ctx &x, U32 off, bool bPrecincts, U32 u32LenWithout, JP2_Tile_Comp *psOut) {
  U8 NL, xcb, ycb, style, wt;
  if (U8At(x, off, &NL) || U8At(x, off + 1, &xcb) || U8At(x, off + 2, &ycb) || U8At(x, off + 3, &style) ||
      U8At(x, off + 4, &wt))
    return JP2_ERR_BOX_READ;
  if (bPrecincts ? x.L != u32LenWithout + 1 + NL : x.L != u32LenWithout) return JP2_ERR_SYNTAX;
  // Levels and code-block sizes the geometry cannot hold are refused here.
  if (NL > JP2_MAX_LEVELS || xcb > 8 || ycb > 8 || xcb + ycb > 8 || wt > 1) return JP2_ERR_SYNTAX;
  psOut->u8Levels = NL;
  psOut->u8Xcb = xcb + 2;
  psOut->u8Ycb = ycb + 2;
  psOut->u8Bypass = style & 1;
  psOut->u8Reset = (style >> 1) & 1;
  psOut->u8TermAll = (style >> 2) & 1;
  psOut->u8Causal = (style >> 3) & 1;
  psOut->u8PredTerm = (style >> 4) & 1;
  psOut->u8SegSym = (style >> 5) & 1;
  psOut->u8Wavelet = wt;
  for (U32 r = 0; r <= NL; r++) {
    U8 b = 0xFF;
    if (bPrecincts && U8At(x, off + 5 + r, &b)) return JP2_ERR_BOX_READ;
    psOut->au8Precinct[r] = b;
  }
  return 0;
}

void CopyCoding(JP2_Tile_Comp *d, const JP2_Tile_Comp &s) {
  d->u8Levels = s.u8Levels;
  d->u8Xcb = s.u8Xcb;
  d->u8Ycb = s.u8Ycb;
  d->u8Bypass = s.u8Bypass;
  d->u8Reset = s.u8Reset;
  d->u8TermAll = s.u8TermAll;
  d->u8Causal = s.u8Causal;
  d->u8PredTerm = s.u8PredTerm;
  d->u8SegSym = s.u8SegSym;
  d->u8Wavelet = s.u8Wavelet;
  memcpy(d->au8Precinct, s.au8Precinct, sizeof(d->au8Precinct));
}

S32 ReadCOD(Ctx &x) {
  if (x.L < 12) return JP2_ERR_SYNTAX;
  U8 Scod, order, mct;
  U16 layers;
  if (U8At(x, 0, &Scod) || U8At(x, 1, &order) || U16At(x, 2, &layers) || U8At(x, 4, &mct)) return JP2_ERR_BOX_READ;
  if (order > 4 || layers == 0 || mct > 1) return JP2_ERR_SYNTAX;
  JP2_Tile_Comp sCoding;
  memset(&sCoding, 0, sizeof(sCoding));
  S32 e = ReadSPco(x, 5, Scod & 1, 12, &sCoding);
  if (e) return e;
  S32 s32Level = x.kind == 0 ? 1 : 3;
  U32 t0 = x.kind == 0 ? 0 : x.tile, t1 = x.kind == 0 ? x.im->u32Tiles : x.tile + 1;
  for (U32 t = t0; t < t1; t++) {
    JP2_Tile *psTile = &x.im->psTiles[t];
    if (x.kind == 1 || psTile->s32CodingLevel <= 1) {
      psTile->u8Order = order;
      psTile->u16Layers = layers;
      psTile->u8Mct = mct;
      psTile->u8Sop = (Scod >> 1) & 1;
      psTile->u8Eph = (Scod >> 2) & 1;
      psTile->s32CodingLevel = 3;
    }
    for (U32 c = 0; c < x.im->u16Csiz; c++) {
      JP2_Tile_Comp *tc = &psTile->psComps[c];
      if (tc->s32CodingLevel <= s32Level) {
        CopyCoding(tc, sCoding);
        tc->s32CodingLevel = s32Level;
      }
    }
  }
  if (sCoding.u8Levels > x.im->u8MaxLevels) x.im->u8MaxLevels = sCoding.u8Levels;
  x.im->s32SeenCOD = 1;
  return 0;
}

S32 ReadCompIndex(Ctx &x, U32 *pu32Comp, U32 *pu32Size) {
  if (x.im->u16Csiz <= 256) {
    U8 v;
    if (U8At(x, 0, &v)) return JP2_ERR_BOX_READ;
    *pu32Comp = v;
    *pu32Size = 1;
  } else {
    U16 v;
    if (U16At(x, 0, &v)) return JP2_ERR_BOX_READ;
    *pu32Comp = v;
    *pu32Size = 2;
  }
  return *pu32Comp >= x.im->u16Csiz ? JP2_ERR_SYNTAX : 0;
}

S32 ReadCOC(Ctx &x) {
  U32 n = x.im->u16Csiz <= 256 ? 1 : 2;
  if (x.L < 8 + n) return JP2_ERR_SYNTAX;
  U32 comp, sz;
  S32 e = ReadCompIndex(x, &comp, &sz);
  if (e) return e;
  U8 Scoc;
  if (U8At(x, sz, &Scoc)) return JP2_ERR_BOX_READ;
  JP2_Tile_Comp sCoding;
  memset(&sCoding, 0, sizeof(sCoding));
  if ((e = ReadSPco(x, sz + 1, Scoc & 1, 8 + sz, &sCoding)) != 0) return e;
  S32 s32Level = x.kind == 0 ? 2 : 4;
  U32 t0 = x.kind == 0 ? 0 : x.tile, t1 = x.kind == 0 ? x.im->u32Tiles : x.tile + 1;
  for (U32 t = t0; t < t1; t++) {
    JP2_Tile_Comp *tc = &x.im->psTiles[t].psComps[comp];
    if (tc->s32CodingLevel <= s32Level) {
      CopyCoding(tc, sCoding);
      tc->s32CodingLevel = s32Level;
    }
  }
  if (sCoding.u8Levels > x.im->u8MaxLevels) x.im->u8MaxLevels = sCoding.u8Levels;
  return 0;
}

// Quantisation values from offset off; u32Body = bytes of Sq + SPq.
S32 ReadQuant(Ctx &x, U32 off, U32 u32Body, JP2_Tile_Comp *psOut) {
  U8 Sq;
  if (U8At(x, off, &Sq)) return JP2_ERR_BOX_READ;
  U32 style = Sq & 0x1F, n;
  if (style == 0) {
    n = u32Body - 1;
  } else if (style == 1) {
    if (u32Body != 3) return JP2_ERR_SYNTAX;
    n = 1;
  } else if (style == 2) {
    if ((u32Body - 1) % 2) return JP2_ERR_SYNTAX;
    n = (u32Body - 1) / 2;
  } else {
    return JP2_ERR_SYNTAX;
  }
  if (n > JP2_QUANT_ENTRIES || n == 0) return JP2_ERR_SYNTAX;
  psOut->u8QuantStyle = (U8)style;
  psOut->u8Guard = Sq >> 5;
  for (U32 i = 0; i < n; i++) {
    if (style == 0) {
      U8 b;
      if (U8At(x, off + 1 + i, &b)) return JP2_ERR_BOX_READ;
      psOut->au32Exponent[i] = b >> 3;
      psOut->au32Mantissa[i] = 1;
    } else {
      U16 v;
      if (U16At(x, off + 1 + 2 * i, &v)) return JP2_ERR_BOX_READ;
      psOut->au32Exponent[i] = v >> 11;
      psOut->au32Mantissa[i] = v & 0x7FF;
    }
  }
  return 0;
}

void CopyQuant(JP2_Tile_Comp *d, const JP2_Tile_Comp &s) {
  d->u8QuantStyle = s.u8QuantStyle;
  d->u8Guard = s.u8Guard;
  memcpy(d->au32Exponent, s.au32Exponent, sizeof(d->au32Exponent));
  memcpy(d->au32Mantissa, s.au32Mantissa, sizeof(d->au32Mantissa));
}

S32 ReadQCD(Ctx &x) {
  if (x.L < 4) return JP2_ERR_SYNTAX;
  U8 Sq;
  if (U8At(x, 0, &Sq)) return JP2_ERR_BOX_READ;
  U32 style = Sq & 0x1F;
  if ((style == 0 && (x.L - 4) % 3) || (style == 1 && x.L != 5) || (style == 2 && (x.L < 5 || (x.L - 5) % 6)) ||
      style > 2)
    return JP2_ERR_SYNTAX;
  JP2_Tile_Comp sQ;
  memset(&sQ, 0, sizeof(sQ));
  S32 e = ReadQuant(x, 0, x.L - 2, &sQ);
  if (e) return e;
  S32 s32Level = x.kind == 0 ? 1 : 3;
  U32 t0 = x.kind == 0 ? 0 : x.tile, t1 = x.kind == 0 ? x.im->u32Tiles : x.tile + 1;
  for (U32 t = t0; t < t1; t++)
    for (U32 c = 0; c < x.im->u16Csiz; c++) {
      JP2_Tile_Comp *tc = &x.im->psTiles[t].psComps[c];
      if (tc->s32QuantLevel <= s32Level) {
        CopyQuant(tc, sQ);
        tc->s32QuantLevel = s32Level;
      }
    }
  x.im->s32SeenQCD = 1;
  return 0;
}

S32 ReadQCC(Ctx &x) {
  if (x.L < 5 || x.L > 199) return JP2_ERR_SYNTAX;
  U32 comp, sz;
  S32 e = ReadCompIndex(x, &comp, &sz);
  if (e) return e;
  U8 Sq;
  if (U8At(x, sz, &Sq)) return JP2_ERR_BOX_READ;
  U32 style = Sq & 0x1F, L = x.L - (sz - 1);
  if ((style == 0 && (L - 5) % 3) || (style == 1 && L != 6) || (style == 2 && (L < 6 || (L - 6) % 6)) || style > 2)
    return JP2_ERR_SYNTAX;
  JP2_Tile_Comp sQ;
  memset(&sQ, 0, sizeof(sQ));
  if ((e = ReadQuant(x, sz, x.L - 2 - sz, &sQ)) != 0) return e;
  S32 s32Level = x.kind == 0 ? 2 : 4;
  U32 t0 = x.kind == 0 ? 0 : x.tile, t1 = x.kind == 0 ? x.im->u32Tiles : x.tile + 1;
  for (U32 t = t0; t < t1; t++) {
    JP2_Tile_Comp *tc = &x.im->psTiles[t].psComps[comp];
    if (tc->s32QuantLevel <= s32Level) {
      CopyQuant(tc, sQ);
      tc->s32QuantLevel = s32Level;
    }
  }
  return 0;
}

S32 ReadRGN(Ctx &x) {
  if (x.L != 5 && x.L != 6) return JP2_ERR_SYNTAX;
  U32 comp, sz;
  if (x.L == 5) {
    U8 v;
    if (U8At(x, 0, &v)) return JP2_ERR_BOX_READ;
    comp = v;
    sz = 1;
  } else {
    U16 v;
    if (U16At(x, 0, &v)) return JP2_ERR_BOX_READ;
    comp = v;
    sz = 2;
  }
  if (comp >= x.im->u16Csiz) return JP2_ERR_SYNTAX;
  U8 Srgn, SPrgn;
  if (U8At(x, sz, &Srgn) || U8At(x, sz + 1, &SPrgn)) return JP2_ERR_BOX_READ;
  if (Srgn != 0) return JP2_ERR_TOO_LARGE;
  // The main header's shift applies to the named component of every tile.
  U32 t0 = x.kind == 0 ? 0 : x.tile, t1 = x.kind == 0 ? x.im->u32Tiles : x.tile + 1;
  for (U32 t = t0; t < t1; t++) x.im->psTiles[t].psComps[comp].u8RoiShift = SPrgn;
  return 0;
}

S32 InsertPoc(JP2_Memory *m, JP2_Tile *t, const JP2_POC *ps, U32 n, bool bTilePart) {
  if (t->u32PocCount + n > t->u32PocCapacity) {
    U32 u32Cap = t->u32PocCount + n + 8;
    JP2_POC *p = (JP2_POC *)JP2_Memory_Realloc(m, t->psPoc, (S64)t->u32PocCapacity * sizeof(JP2_POC),
                                               (S64)u32Cap * sizeof(JP2_POC));
    if (!p) return JP2_ERR_MEMORY;
    t->psPoc = p;
    t->u32PocCapacity = u32Cap;
  }
  if (bTilePart) {
    U32 at = t->u32PocTileCount;
    memmove(t->psPoc + at + n, t->psPoc + at, (t->u32PocCount - at) * sizeof(JP2_POC));
    memcpy(t->psPoc + at, ps, n * sizeof(JP2_POC));
    t->u32PocTileCount += n;
  } else {
    memcpy(t->psPoc + t->u32PocCount, ps, n * sizeof(JP2_POC));
  }
  t->u32PocCount += n;
  return 0;
}

S32 ReadPOC(Ctx &x) {
  if (x.L < 2) return JP2_ERR_SYNTAX;
  bool bWide = x.im->u16Csiz > 256;
  U32 u32Entry = bWide ? 9 : 7;
  U32 n = (x.L - 2) / u32Entry;
  if (n == 0) return 0;
  JP2_POC *ps = (JP2_POC *)JP2_Memory_Alloc_Zero(x.m, (S64)n * sizeof(JP2_POC));
  if (!ps) return JP2_ERR_MEMORY;
  S32 e = 0;
  for (U32 i = 0; i < n && !e; i++) {
    U32 o = i * u32Entry;
    U8 rs, re, pp;
    U16 ly, cs16 = 0, ce16 = 0;
    U8 cs8 = 0, ce8 = 0;
    if (bWide)
      e = (U8At(x, o, &rs) || U16At(x, o + 1, &cs16) || U16At(x, o + 3, &ly) || U8At(x, o + 5, &re) ||
           U16At(x, o + 6, &ce16) || U8At(x, o + 8, &pp))
              ? JP2_ERR_BOX_READ
              : 0;
    else
      e = (U8At(x, o, &rs) || U8At(x, o + 1, &cs8) || U16At(x, o + 2, &ly) || U8At(x, o + 4, &re) ||
           U8At(x, o + 5, &ce8) || U8At(x, o + 6, &pp))
              ? JP2_ERR_BOX_READ
              : 0;
    if (e) break;
    if (pp > 4) {
      e = JP2_ERR_SYNTAX;
      break;
    }
    U32 ce = bWide ? ce16 : ce8;
    if (ce == 0) ce = bWide ? 16384 : 256;
    ps[i] = {pp, (U32)(bWide ? cs16 : cs8), ce, ly, rs, re};
  }
  U32 t0 = x.kind == 0 ? 0 : x.tile, t1 = x.kind == 0 ? x.im->u32Tiles : x.tile + 1;
  for (U32 t = t0; t < t1 && !e; t++) e = InsertPoc(x.m, &x.im->psTiles[t], ps, n, x.kind == 1);
  JP2_Memory_Free(x.m, &ps);
  return e;
}

// Grows a chunk table (lengths, then positions, in one block) to hold index z.
S32 GrowChunks(JP2_Memory *m, U32 **ppu32Pos, U32 **ppu32Len, U32 *pu32Count, U32 z) {
  if (z < *pu32Count) return 0;
  U32 n = z + 1;
  U32 u32Half = n * 4;
  JP2_Memory_Align(&u32Half);
  U32 *pu32Len = (U32 *)JP2_Memory_Alloc_Zero(m, (S64)u32Half * 2);
  if (!pu32Len) return JP2_ERR_MEMORY;
  U32 *pu32Pos = (U32 *)((U8 *)pu32Len + u32Half);
  if (*pu32Count) {
    memcpy(pu32Len, *ppu32Len, *pu32Count * 4);
    memcpy(pu32Pos, *ppu32Pos, *pu32Count * 4);
  }
  if (*ppu32Len) JP2_Memory_Free(m, ppu32Len);
  *ppu32Len = pu32Len;
  *ppu32Pos = pu32Pos;
  *pu32Count = n;
  return 0;
}

S32 ReadPPM(Ctx &x) {
  if (x.L < 7) return JP2_ERR_SYNTAX;
  U8 z;
  if (U8At(x, 0, &z)) return JP2_ERR_BOX_READ;
  S32 e = GrowChunks(x.m, &x.im->pu32PpmPos, &x.im->pu32PpmLen, &x.im->u32PpmCount, z);
  if (e) return e;
  x.im->pu32PpmPos[z] = x.P + 1;
  x.im->pu32PpmLen[z] = x.L - 3;
  return 0;
}

S32 ReadPPT(Ctx &x) {
  if (x.L < 4) return JP2_ERR_SYNTAX;
  U8 z;
  if (U8At(x, 0, &z)) return JP2_ERR_BOX_READ;
  JP2_Tile *t = &x.im->psTiles[x.tile];
  S32 e = GrowChunks(x.m, &t->pu32PptPos, &t->pu32PptLen, &t->u32PptCount, z);
  if (e) return e;
  t->pu32PptPos[z] = x.P + 1;
  t->pu32PptLen[z] = x.L - 3;
  return 0;
}

S32 ReadCOM(Ctx &x) {
  if (x.L < 4) return JP2_ERR_SYNTAX;
  U16 Rcom;
  if (U16At(x, 0, &Rcom)) return JP2_ERR_BOX_READ;
  if (Rcom > 1) return JP2_ERR_SYNTAX;
  if (x.L > 4) {
    U8 au8[256];
    for (U32 o = 0; o < x.L - 4;) {
      U32 n = x.L - 4 - o < sizeof(au8) ? x.L - 4 - o : (U32)sizeof(au8);
      U32 u32Got = 0;
      S32 e = JP2_Cache_Read(x.c, x.P + 2 + o, n, &u32Got, au8);
      if (e) return e;
      if (u32Got < n) return JP2_ERR_BOX_READ;
      o += n;
    }
  }
  return 0;
}

struct SOTInfo {
  U32 u32Tile, u32Psot;
};

S32 ReadSOT(Ctx &x, SOTInfo *psInfo) {
  if (x.L != 10) return JP2_ERR_SYNTAX;
  U16 Isot;
  U32 Psot;
  if (U16At(x, 0, &Isot) || U32At(x, 2, &Psot)) return JP2_ERR_BOX_READ;
  if (Isot >= x.im->u32Tiles) return JP2_ERR_SYNTAX;
  psInfo->u32Tile = Isot;
  psInfo->u32Psot = Psot;
  return 0;
}

S32 ReadMarker(JP2_Cache *c, U32 p, U16 *pu16Code) {
  S32 e = JP2_Cache_Read_UShort(c, p, pu16Code);
  if (e) return e;
  return *pu16Code < 0xFF00 ? JP2_ERR_SYNTAX : 0;
}

bool NoLength(U16 code) { return code >= 0xFF30 && code <= 0xFF3F; }

// Reads a 32-bit value from a logical chunk stream.
S32 ChunkReadU32(JP2_Cache *c, const U32 *pos, const U32 *len, U32 n, U32 u32Logical, U32 *pu32) {
  U32 v = 0;
  for (U32 i = 0; i < 4; i++) {
    U8 b;
    S32 e = JP2_Codestream_Chunk_Read_Byte(c, pos, len, n, u32Logical + i, &b);
    if (e) return e;
    v = (v << 8) | b;
  }
  *pu32 = v;
  return 0;
}

} // namespace

U32 JP2_Codestream_Chunk_Total(const U32 *pu32Len, U32 u32Count) {
  U64 t = 0;
  for (U32 i = 0; i < u32Count; i++) t += pu32Len[i];
  return t > 0xFFFFFFFFull ? 0xFFFFFFFFu : (U32)t;
}

S32 JP2_Codestream_Chunk_Read_Byte(JP2_Cache *psCache, const U32 *pu32Pos, const U32 *pu32Len, U32 u32Count,
                                   U32 u32Logical, U8 *pu8Value) {
  for (U32 i = 0; i < u32Count; i++) {
    if (u32Logical < pu32Len[i]) return JP2_Cache_Read_UChar(psCache, pu32Pos[i] + u32Logical, pu8Value);
    u32Logical -= pu32Len[i];
  }
  *pu8Value = 0;
  return JP2_ERR_SHORT_READ;
}

S32 JP2_Codestream_Get_Number_Components(JP2_Cache *psCache, U32 *pu32Count) {
  *pu32Count = 0;
  U32 n;
  if (JP2_File_Get_Number_Components(psCache, &n)) {
    if (n == 0 || n > JP2_MAX_COMPONENTS) return JP2_ERR_COMPONENTS;
    *pu32Count = n;
    return 0;
  }
  U16 u16;
  S32 e = JP2_Cache_Read_UShort(psCache, 40, &u16);
  if (e) return e == JP2_ERR_MEMORY ? e : JP2_ERR_SHORT_READ;
  if (u16 == 0 || u16 > JP2_MAX_COMPONENTS) return JP2_ERR_COMPONENTS;
  *pu32Count = u16;
  return 0;
}

S32 JP2_Codestream_Read_Main_Header(JP2_Decomp *h, U32 *pu32Position) {
  JP2_Image *im = h->psImage;
  JP2_Cache *c = h->psCache;
  U32 p = *pu32Position;
  U16 code;
  S32 e;
  if (JP2_Cache_Read_UShort(c, p, &code) || code != JP2_MARKER_SOC) return JP2_ERR_SYNTAX;
  p += 2;
  if (JP2_Cache_Read_UShort(c, p, &code) || code != JP2_MARKER_SIZ) return JP2_ERR_SYNTAX;
  for (;;) {
    if ((e = ReadMarker(c, p, &code)) != 0) return e;
    if (code == JP2_MARKER_SOT) break;
    if (NoLength(code)) {
      p += 2;
      continue;
    }
    U16 L;
    if ((e = JP2_Cache_Read_UShort(c, p + 2, &L)) != 0) return e;
    if (L < 2) return JP2_ERR_SYNTAX;
    Ctx x = {h, im, c, h->psMemory, L, 0, p + 4, 0};
    if (code != JP2_MARKER_SIZ && !im->s32SeenSIZ) return JP2_ERR_SYNTAX;
    switch (code) {
    case JP2_MARKER_SIZ:
      if (im->s32SeenSIZ) return JP2_ERR_SYNTAX;
      if ((e = ReadSIZ(x)) != 0) return e;
      if ((e = JP2_Tile_Array_New(&im->psTiles, h->psMemory, im, nullptr)) != 0) return e;
      for (U32 t = 0; t < im->u32Tiles; t++)
        if ((e = JP2_Component_Array_New(&im->psTiles[t].psComps, h->psMemory, im, t, h->psFormat)) != 0) return e;
      break;
    case JP2_MARKER_COD: e = ReadCOD(x); break;
    case JP2_MARKER_COC: e = ReadCOC(x); break;
    case JP2_MARKER_TLM:
      e = JP2_TLM_Marker_Array_Read_and_Add_Marker(im->psTLM, c, p + 4, L, im->u32Tiles);
      break;
    case JP2_MARKER_QCD: e = ReadQCD(x); break;
    case JP2_MARKER_QCC: e = ReadQCC(x); break;
    case JP2_MARKER_RGN: e = ReadRGN(x); break;
    case JP2_MARKER_POC: e = ReadPOC(x); break;
    case JP2_MARKER_PPM: e = ReadPPM(x); break;
    case JP2_MARKER_COM:
      if ((e = JP2_File_Meta_Data_Add(h, &h->sCom, p, L, nullptr)) == 0) e = ReadCOM(x);
      break;
    case JP2_MARKER_SOC:
    case JP2_MARKER_PLT:
    case JP2_MARKER_PPT:
    case JP2_MARKER_SOP:
    case JP2_MARKER_SOD:
    case JP2_MARKER_EOC: return JP2_ERR_SYNTAX;
    default: break;
    }
    if (e) return e;
    p += 2 + L;
  }
  if (!im->s32SeenCOD || !im->s32SeenQCD) return JP2_ERR_SYNTAX;
  U8 u8Mct = 0;
  for (U32 t = 0; t < im->u32Tiles; t++) {
    JP2_Tile *psTile = &im->psTiles[t];
    u8Mct |= psTile->u8Mct;
    psTile->u32PocCountMain = psTile->u32PocCount;
  }
  h->psFormat->u8Mct = u8Mct;
  h->u32FirstTilePart = p;
  *pu32Position = p;
  return 0;
}

S32 JP2_Codestream_Read_Tile_Header(JP2_Decomp *h, U32 *pu32TilePartEnd, U32 u32Position, U32 *pu32Tile) {
  JP2_Image *im = h->psImage;
  JP2_Cache *c = h->psCache;
  *pu32TilePartEnd = 0;
  U16 code, L;
  if (JP2_Cache_Read_UShort(c, u32Position, &code) || code != JP2_MARKER_SOT) return JP2_ERR_SYNTAX;
  if (JP2_Cache_Read_UShort(c, u32Position + 2, &L)) return JP2_ERR_SYNTAX;
  Ctx x = {h, im, c, h->psMemory, L, 1, u32Position + 4, 0};
  SOTInfo sSot;
  if (ReadSOT(x, &sSot) != 0) return JP2_ERR_SYNTAX;
  U32 u32Tile = sSot.u32Tile;
  *pu32Tile = u32Tile;
  U32 u32End = 0;
  if (sSot.u32Psot) {
    if ((U64)u32Position + sSot.u32Psot > 0xFFFFFFFFull || sSot.u32Psot < 14) return JP2_ERR_SYNTAX;
    u32End = u32Position + sSot.u32Psot;
  }
  // Known before the rest of the header is read, so a damaged header still lets reading go on.
  *pu32TilePartEnd = u32End;
  JP2_Tile *t = &im->psTiles[u32Tile];
  U32 p = u32Position + 2 + L;
  S32 e;
  for (;;) {
    if ((e = ReadMarker(c, p, &code)) != 0) return e;
    if (code == JP2_MARKER_SOD) break;
    if (NoLength(code)) {
      p += 2;
      continue;
    }
    if ((e = JP2_Cache_Read_UShort(c, p + 2, &L)) != 0) return e;
    if (L < 2) return JP2_ERR_SYNTAX;
    x = {h, im, c, h->psMemory, L, 1, p + 4, u32Tile};
    switch (code) {
    case JP2_MARKER_COD: e = ReadCOD(x); break;
    case JP2_MARKER_COC: e = ReadCOC(x); break;
    case JP2_MARKER_QCD: e = ReadQCD(x); break;
    case JP2_MARKER_QCC: e = ReadQCC(x); break;
    case JP2_MARKER_RGN: e = ReadRGN(x); break;
    case JP2_MARKER_POC: e = ReadPOC(x); break;
    case JP2_MARKER_PPT: e = ReadPPT(x); break;
    case JP2_MARKER_COM: e = ReadCOM(x); break;
    case JP2_MARKER_SOC:
    case JP2_MARKER_SIZ:
    case JP2_MARKER_TLM:
    case JP2_MARKER_PLM:
    case JP2_MARKER_PPM:
    case JP2_MARKER_SOT:
    case JP2_MARKER_SOP:
    case JP2_MARKER_EOC: return JP2_ERR_SYNTAX;
    default: break;
    }
    if (e) return e;
    p += 2 + L;
    if (u32End && p >= u32End) return JP2_ERR_SYNTAX;
  }
  U32 D = p + 2;
  t->u32BodyPos = D;
  if (im->u32PpmCount) {
    JP2_PPM_State &s = im->sPpm;
    if (!s.s32Started) {
      s.s32Started = 1;
      s.u32NextPos = 0;
    }
    U32 u32Nppm;
    if ((e = ChunkReadU32(c, im->pu32PpmPos, im->pu32PpmLen, im->u32PpmCount, s.u32NextPos, &u32Nppm)) != 0)
      return JP2_ERR_SYNTAX;
    U32 u32Start = s.u32NextPos + 4;
    U32 u32Total = JP2_Codestream_Chunk_Total(im->pu32PpmLen, im->u32PpmCount);
    if (u32Nppm > u32Total - (u32Start < u32Total ? u32Start : u32Total)) u32Nppm = u32Total - u32Start;
    t->s32HeaderMode = 1;
    t->u32HeaderPos = u32Start;
    // The tile-part's headers may run on into the following PPM segments.
    t->u32EndLimit = u32Start + u32Nppm;
    s.u32NextPos = u32Start + u32Nppm;
  } else if (t->u32PptCount) {
    if (t->s32HeaderMode != 2) {
      t->s32HeaderMode = 2;
      t->u32HeaderPos = 0;
      t->u32PptIndex = 0;
    }
    t->u32EndLimit = JP2_Codestream_Chunk_Total(t->pu32PptLen, t->u32PptCount);
  } else {
    t->s32HeaderMode = 0;
    t->u32HeaderPos = D;
    t->u32EndLimit = u32End;
  }
  *pu32TilePartEnd = u32End;
  return 0;
}

/* TLM marker array */

S32 JP2_TLM_Marker_Array_New(JP2_TLM_Array **ppsOut, JP2_Memory *psMemory) {
  *ppsOut = (JP2_TLM_Array *)JP2_Memory_Alloc_Zero(psMemory, sizeof(JP2_TLM_Array));
  if (!*ppsOut) return JP2_ERR_MEMORY;
  (*ppsOut)->psMemory = psMemory;
  return 0;
}

S32 JP2_TLM_Marker_Array_Delete(JP2_TLM_Array **ppsArray) {
  if (!ppsArray || !*ppsArray) return 0;
  JP2_TLM_Array *a = *ppsArray;
  JP2_Memory *m = a->psMemory;
  for (U32 i = 0; i < 256; i++)
    if (a->apsSlot[i]) JP2_Memory_Free(m, &a->apsSlot[i]);
  return JP2_Memory_Free(m, ppsArray);
}

U32 JP2_TLM_Marker_Array_Get_Num_Markers(JP2_TLM_Array *a) { return a ? a->u32Slots : 0; }

S32 JP2_TLM_Marker_Array_Read_and_Add_Marker(JP2_TLM_Array *a, JP2_Cache *c, U32 P, U32 L, U32 u32Tiles) {
  if (L < 6) return JP2_ERR_SYNTAX;
  U8 z, Stlm;
  if (JP2_Cache_Read_UChar(c, P, &z) || JP2_Cache_Read_UChar(c, P + 1, &Stlm)) return JP2_ERR_BOX_READ;
  if (a->apsSlot[z]) return JP2_ERR_SYNTAX;
  U32 ST = (Stlm >> 4) & 3, SP = (Stlm >> 6) & 1;
  if (ST == 3) return JP2_ERR_SYNTAX;
  U32 u32Size = ST + (SP ? 4 : 2);
  U32 n = (L - 4) / u32Size;
  if (n == 0) return 0;
  U32 u32Tiles16 = (n * 2 + 3) & ~3u;
  JP2_TLM_Record *r = (JP2_TLM_Record *)JP2_Memory_Alloc_Zero(a->psMemory, sizeof(JP2_TLM_Record) + u32Tiles16 + 4 * n);
  if (!r) return JP2_ERR_MEMORY;
  r->u32Entries = n;
  r->pu16Tile = (U16 *)(r + 1);
  r->pu32Length = (U32 *)((U8 *)r->pu16Tile + u32Tiles16);
  U32 p = P + 2;
  S32 e = 0;
  for (U32 i = 0; i < n && !e; i++) {
    U32 tile = i;
    if (ST == 1) {
      U8 v;
      e = JP2_Cache_Read_UChar(c, p, &v);
      tile = v;
    } else if (ST == 2) {
      U16 v;
      e = JP2_Cache_Read_UShort(c, p, &v);
      tile = v;
    }
    p += ST;
    if (e) break;
    U32 len;
    if (SP) {
      e = JP2_Cache_Read_ULong(c, p, &len);
    } else {
      U16 v;
      e = JP2_Cache_Read_UShort(c, p, &v);
      len = v;
    }
    p += SP ? 4 : 2;
    if (!e && tile >= u32Tiles) e = JP2_ERR_SYNTAX;
    r->pu16Tile[i] = (U16)tile;
    r->pu32Length[i] = len;
  }
  if (e) {
    JP2_Memory_Free(a->psMemory, &r);
    return e;
  }
  a->apsSlot[z] = r;
  if (z + 1u > a->u32Slots) a->u32Slots = z + 1u;
  return 0;
}
