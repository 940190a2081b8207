// JP2 boxes are walked through the read cache; everything kept here is released at End.
#include "jp2/jp2_file.h"

#include <cstring>

#include "jp2/jp2_icc.h"

namespace {

const U32 BOX_FTYP = JP2_BOX('f', 't', 'y', 'p');
const U32 BOX_JP2H = JP2_BOX('j', 'p', '2', 'h');
const U32 BOX_IHDR = JP2_BOX('i', 'h', 'd', 'r');
const U32 BOX_COLR = JP2_BOX('c', 'o', 'l', 'r');
const U32 BOX_PCLR = JP2_BOX('p', 'c', 'l', 'r');
const U32 BOX_CMAP = JP2_BOX('c', 'm', 'a', 'p');
const U32 BOX_CDEF = JP2_BOX('c', 'd', 'e', 'f');
const U32 BOX_RES = JP2_BOX('r', 'e', 's', ' ');
const U32 BOX_RESC = JP2_BOX('r', 'e', 's', 'c');
const U32 BOX_RESD = JP2_BOX('r', 'e', 's', 'd');
const U32 BOX_JP2C = JP2_BOX('j', 'p', '2', 'c');
const U32 BOX_JP2I = JP2_BOX('j', 'p', '2', 'i');
const U32 BOX_XML = JP2_BOX('x', 'm', 'l', ' ');
const U32 BOX_UUID = JP2_BOX('u', 'u', 'i', 'd');
const U32 BOX_UINF = JP2_BOX('u', 'i', 'n', 'f');
const U32 BRAND_JP2 = JP2_BOX('j', 'p', '2', ' ');
const U32 BRAND_JPX = JP2_BOX('j', 'p', 'x', ' ');

struct Box {
  U32 u32Offset; // of the (8-byte) header
  U32 u32Length; // with the header; 0 runs to the end of the data
  U32 u32Type;
  U32 u32Data;   // first data byte
};

// Reads a box header at u32Pos. An extended length is recorded as a box whose 8-byte header starts 8 bytes later.
S32 ReadBoxHeader(JP2_Cache *psCache, U32 u32Pos, Box *psBox) {
  U32 u32L, u32T;
  S32 s32Err = JP2_Cache_Read_ULong(psCache, u32Pos, &u32L);
  if (s32Err) return s32Err;
  if ((s32Err = JP2_Cache_Read_ULong(psCache, u32Pos + 4, &u32T)) != 0) return s32Err;
  psBox->u32Type = u32T;
  if (u32L == 1) {
    U32 u32High, u32Low;
    if ((s32Err = JP2_Cache_Read_ULong(psCache, u32Pos + 8, &u32High)) != 0) return s32Err;
    if ((s32Err = JP2_Cache_Read_ULong(psCache, u32Pos + 12, &u32Low)) != 0) return s32Err;
    if (u32High != 0) return JP2_ERR_TOO_LARGE;
    if (u32Low < 16) return JP2_ERR_BOX_READ;
    psBox->u32Offset = u32Pos + 8;
    psBox->u32Length = u32Low - 8;
  } else {
    psBox->u32Offset = u32Pos;
    psBox->u32Length = u32L;
  }
  psBox->u32Data = psBox->u32Offset + 8;
  return 0;
}

// A box before the codestream must move the walk forward.
bool BoxLengthUsable(const Box &sBox) { return sBox.u32Length >= 8; }

S32 ReadBytes(JP2_Cache *psCache, U32 u32Pos, U32 u32N, U8 *pu8) {
  U32 u32Got = 0;
  S32 s32Err = JP2_Cache_Read(psCache, u32Pos, u32N, &u32Got, pu8);
  if (s32Err) return s32Err;
  return u32Got < u32N ? JP2_ERR_BOX_READ : 0;
}

S32 ReadU8(JP2_Cache *c, U32 p, U8 *v) { return JP2_Cache_Read_UChar(c, p, v) ? JP2_ERR_BOX_READ : 0; }
S32 ReadU16(JP2_Cache *c, U32 p, U16 *v) { return JP2_Cache_Read_UShort(c, p, v) ? JP2_ERR_BOX_READ : 0; }
S32 ReadU32(JP2_Cache *c, U32 p, U32 *v) { return JP2_Cache_Read_ULong(c, p, v) ? JP2_ERR_BOX_READ : 0; }

S32 ReadColr(JP2_Decomp *h, const Box &sBox) {
  JP2_Cache *c = h->psCache;
  U8 u8Meth, u8Prec, u8Approx;
  S32 s32Err;
  if ((s32Err = ReadU8(c, sBox.u32Data, &u8Meth)) || (s32Err = ReadU8(c, sBox.u32Data + 1, &u8Prec)) ||
      (s32Err = ReadU8(c, sBox.u32Data + 2, &u8Approx)))
    return s32Err;
  S32 s32Prec = (S8)u8Prec, s32Approx = u8Approx, s32Code = 10;
  U8 *pu8Profile = nullptr;
  U32 u32ProfileLength = 0;
  if (u8Meth == 1) {
    U32 u32Enum;
    if ((s32Err = ReadU32(c, sBox.u32Data + 3, &u32Enum)) != 0) return s32Err;
    switch (u32Enum) {
    case 16: s32Code = 20; break;
    case 17: s32Code = 10; break;
    case 18: s32Code = 30; break;
    case 12: s32Code = 50; break;
    case 14: {
      s32Code = 60;
      JP2_Format *f = h->psFormat;
      if (sBox.u32Length == 43) {
        for (int i = 0; i < 7; i++)
          if ((s32Err = ReadU32(c, sBox.u32Data + 7 + 4 * i, &f->au32Lab[i])) != 0) return s32Err;
        f->s32LabDefaults = 0;
      } else {
        // Offsets need the codestream's precisions; they are completed after the main header.
        f->au32Lab[0] = 100;
        f->au32Lab[1] = 0;
        f->au32Lab[2] = 170;
        f->au32Lab[3] = 0;
        f->au32Lab[4] = 200;
        f->au32Lab[5] = 0;
        f->au32Lab[6] = 0x00443530; // "D50"
        f->s32LabDefaults = 1;
      }
      break;
    }
    default:
      s32Code = 10;
      s32Prec = (S8)0x80;
      s32Approx = 4;
      break;
    }
  } else if (u8Meth == 2 || u8Meth == 3) {
    if (sBox.u32Length < 11) return JP2_ERR_COLOUR_SPACE;
    u32ProfileLength = sBox.u32Length - 11;
    if (u32ProfileLength) {
      pu8Profile = (U8 *)JP2_Memory_Alloc(h->psMemory, (S64)u32ProfileLength * 2);
      if (!pu8Profile) return JP2_ERR_MEMORY;
      if (ReadBytes(c, sBox.u32Data + 3, u32ProfileLength, pu8Profile) != 0) {
        JP2_Memory_Free(h->psMemory, &pu8Profile);
        return JP2_ERR_BOX_READ;
      }
    }
    s32Code = 40;
  }
  s32Err = JP2_File_CSpec_Add(h, &h->sCSpec, s32Code, s32Prec, s32Approx, pu8Profile, u32ProfileLength);
  if (s32Err == JP2_ERR_MEMORY && pu8Profile) JP2_Memory_Free(h->psMemory, &pu8Profile);
  return s32Err;
}

S32 ReadPclr(JP2_Decomp *h, const Box &sBox) {
  if (h->psPalette) return 0;
  JP2_Cache *c = h->psCache;
  U16 u16NE;
  U8 u8NPC;
  S32 s32Err;
  if ((s32Err = ReadU16(c, sBox.u32Data, &u16NE)) || (s32Err = ReadU8(c, sBox.u32Data + 2, &u8NPC))) return s32Err;
  U32 NE = u16NE, NPC = u8NPC;
  U8 au8B[256];
  if (NPC && (s32Err = ReadBytes(c, sBox.u32Data + 3, NPC, au8B)) != 0) return s32Err;
  U64 u64Bytes = 0;
  for (U32 i = 0; i < NPC; i++) {
    U32 u32Prec = (au8B[i] & 0x7F) + 1u;
    if (u32Prec > 32) return JP2_ERR_TOO_LARGE;
    u64Bytes += (u32Prec + 7) / 8;
  }
  // The entries must lie inside the box before anything is sized from them.
  if (sBox.u32Length && 3 + NPC + u64Bytes * NE > (U64)sBox.u32Length - 8) return JP2_ERR_BOX_READ;
  U32 u32Head = 20 + ((NPC + 3) & ~3u) * 2 + (U32)sizeof(U32 *) * NPC;
  JP2_Memory_Align(&u32Head);
  u32Head = (u32Head + 7) & ~7u;
  JP2_Palette *p = (JP2_Palette *)JP2_Memory_Alloc_Zero(h->psMemory, sizeof(JP2_Palette) + u32Head +
                                                                          (S64)NPC * NE * 4 + 8);
  if (!p) return JP2_ERR_MEMORY;
  U8 *pu8 = (U8 *)(p + 1);
  p->u32Entries = NE;
  p->u32Columns = NPC;
  p->pu8Precision = pu8;
  p->pu8Sign = pu8 + ((NPC + 3) & ~3u);
  p->ppu32Column = (U32 **)(pu8 + ((((NPC + 3) & ~3u) * 2 + 7) & ~7u));
  U32 *pu32Data = (U32 *)(pu8 + u32Head);
  for (U32 i = 0; i < NPC; i++) {
    p->pu8Sign[i] = au8B[i] >> 7;
    p->pu8Precision[i] = (au8B[i] & 0x7F) + 1;
    p->ppu32Column[i] = pu32Data + (size_t)i * NE;
  }
  U32 u32Pos = sBox.u32Data + 3 + NPC;
  for (U32 e = 0; e < NE; e++) {
    for (U32 i = 0; i < NPC; i++) {
      U32 n = (p->pu8Precision[i] + 7u) / 8u;
      U8 au8V[4];
      if ((s32Err = ReadBytes(c, u32Pos, n, au8V)) != 0) {
        JP2_Memory_Free(h->psMemory, &p);
        return s32Err;
      }
      U32 v = 0;
      for (U32 j = 0; j < n; j++) v = (v << 8) | au8V[j];
      p->ppu32Column[i][e] = v;
      u32Pos += n;
    }
  }
  h->psPalette = p;
  return 0;
}

S32 ReadCmap(JP2_Decomp *h, const Box &sBox) {
  if (h->psCMap || sBox.u32Length < 12) return 0;
  U32 u32Count = (sBox.u32Length - 8) / 4;
  JP2_CMap_Entry *ps = (JP2_CMap_Entry *)JP2_Memory_Alloc_Zero(h->psMemory, (S64)u32Count * sizeof(JP2_CMap_Entry));
  if (!ps) return JP2_ERR_MEMORY;
  U32 u32Kept = u32Count;
  for (U32 i = 0; i < u32Count; i++) {
    U16 u16Cmp;
    U8 u8Type, u8Col;
    U32 p = sBox.u32Data + 4 * i;
    S32 s32Err = JP2_Cache_Read_UShort(h->psCache, p, &u16Cmp);
    if (!s32Err && (s32Err = ReadU8(h->psCache, p + 2, &u8Type)) == 0) s32Err = ReadU8(h->psCache, p + 3, &u8Col);
    if (s32Err) {
      JP2_Memory_Free(h->psMemory, &ps);
      return s32Err;
    }
    ps[i].u32Comp = u16Cmp;
    ps[i].u32Type = u8Type;
    ps[i].u32Column = u8Col;
    if (u16Cmp >= u32Count) {
      u32Kept = i + 1;
      break;
    }
    if (u8Type == 0) ps[u16Cmp].u32Reverse = i;
  }
  h->psCMap = ps;
  h->u32CMapCount = u32Kept;
  return 0;
}

S32 ReadCdef(JP2_Decomp *h, const Box &sBox) {
  if (h->psCDef) return 0;
  U16 u16N;
  S32 s32Err = ReadU16(h->psCache, sBox.u32Data, &u16N);
  if (s32Err) return s32Err;
  if (u16N == 0) return 0;
  if (sBox.u32Length && 2 + 6 * (U64)u16N > (U64)sBox.u32Length - 8) return JP2_ERR_BOX_READ;
  JP2_CDef_Entry *ps = (JP2_CDef_Entry *)JP2_Memory_Alloc_Zero(h->psMemory, (S64)u16N * sizeof(JP2_CDef_Entry));
  if (!ps) return JP2_ERR_MEMORY;
  for (U32 i = 0; i < u16N; i++) {
    U16 a, b, cc;
    U32 p = sBox.u32Data + 2 + 6 * i;
    if ((s32Err = ReadU16(h->psCache, p, &a)) || (s32Err = ReadU16(h->psCache, p + 2, &b)) ||
        (s32Err = ReadU16(h->psCache, p + 4, &cc))) {
      JP2_Memory_Free(h->psMemory, &ps);
      return s32Err;
    }
    ps[i].u32Channel = a;
    ps[i].u32Type = b;
    ps[i].u32Assoc = cc;
  }
  h->psCDef = ps;
  h->u32CDefCount = u16N;
  return 0;
}

S32 ReadRes(JP2_Decomp *h, const Box &sBox) {
  U32 u32End = sBox.u32Offset + sBox.u32Length;
  for (U32 p = sBox.u32Data; p + 8 <= u32End; p += 18) {
    U32 u32L, u32T;
    if (JP2_Cache_Read_ULong(h->psCache, p, &u32L) || JP2_Cache_Read_ULong(h->psCache, p + 4, &u32T))
      return JP2_ERR_BOX_READ;
    if (u32L != 18 || (u32T != BOX_RESC && u32T != BOX_RESD)) return JP2_ERR_RES_BOX;
    U16 vrn, vrd, hrn, hrd;
    U8 vre, hre;
    S32 s32Err;
    if ((s32Err = ReadU16(h->psCache, p + 8, &vrn)) || (s32Err = ReadU16(h->psCache, p + 10, &vrd)) ||
        (s32Err = ReadU16(h->psCache, p + 12, &hrn)) || (s32Err = ReadU16(h->psCache, p + 14, &hrd)) ||
        (s32Err = ReadU8(h->psCache, p + 16, &vre)) || (s32Err = ReadU8(h->psCache, p + 17, &hre)))
      return s32Err;
    JP2_Resolution_Values &r = u32T == BOX_RESC ? h->psFormat->sCapture : h->psFormat->sDisplay;
    r.u16VNum = vrn;
    r.u16VDen = vrd;
    r.s8VExp = (S8)vre;
    r.u16HNum = hrn;
    r.u16HDen = hrd;
    r.s8HExp = (S8)hre;
  }
  return 0;
}

S32 WalkHeader(JP2_Decomp *h, const Box &sHeader) {
  U32 u32End = sHeader.u32Offset + sHeader.u32Length;
  U32 p = sHeader.u32Data;
  while ((U64)p + 8 <= u32End) {
    Box b;
    S32 s32Err = ReadBoxHeader(h->psCache, p, &b);
    if (s32Err) return s32Err;
    if (!BoxLengthUsable(b)) return JP2_ERR_BOX_READ;
    if (b.u32Type == BOX_COLR)
      s32Err = ReadColr(h, b);
    else if (b.u32Type == BOX_PCLR)
      s32Err = ReadPclr(h, b);
    else if (b.u32Type == BOX_CMAP)
      s32Err = ReadCmap(h, b);
    else if (b.u32Type == BOX_CDEF)
      s32Err = ReadCdef(h, b);
    else if (b.u32Type == BOX_RES)
      s32Err = ReadRes(h, b);
    if (s32Err) return s32Err;
    if ((U64)b.u32Offset + b.u32Length > 0xFFFFFFFFull) break;
    p = b.u32Offset + b.u32Length;
  }
  return 0;
}

S32 MetaListFor(JP2_Decomp *h, U32 u32Type, JP2_Meta_List **ppsList) {
  *ppsList = nullptr;
  if (u32Type == BOX_JP2I) *ppsList = &h->sIpr;
  if (u32Type == BOX_XML) *ppsList = &h->sXml;
  if (u32Type == BOX_UINF) *ppsList = &h->sUuidInfo;
  if (u32Type == BOX_UUID) *ppsList = &h->sUuid;
  return 0;
}

// Records a metadata box in its list; *pbCut tells that a uuid box ended inside its identifier.
S32 AddMetaBox(JP2_Decomp *h, const Box &b, bool *pbCut) {
  *pbCut = false;
  if (b.u32Type == BOX_UUID) {
    U8 au8Id[16];
    U32 u32Got = 0;
    if (JP2_Cache_Read(h->psCache, b.u32Data, 16, &u32Got, au8Id) || u32Got < 16) {
      *pbCut = true;
      return 0;
    }
    return JP2_File_Meta_Data_Add(h, &h->sUuid, b.u32Offset, b.u32Length, au8Id);
  }
  JP2_Meta_List *psList;
  MetaListFor(h, b.u32Type, &psList);
  return psList ? JP2_File_Meta_Data_Add(h, psList, b.u32Offset, b.u32Length, nullptr) : 0;
}

} // namespace

S32 JP2_File_Check_Format(JP2_Decomp *h, U32 *pu32EndOfFtyp, U32 u32Offset) {
  static const U8 au8Sig[12] = {0, 0, 0, 0x0C, 0x6A, 0x50, 0x20, 0x20, 0x0D, 0x0A, 0x87, 0x0A};
  U8 au8[12];
  U32 u32Got = 0;
  if (JP2_Cache_Read(h->psCache, u32Offset, 12, &u32Got, au8) || u32Got < 12 || memcmp(au8, au8Sig, 12) != 0)
    return 0;
  U32 u32L, u32T, u32Brand;
  JP2_Cache *c = h->psCache;
  if (JP2_Cache_Read_ULong(c, u32Offset + 12, &u32L) || JP2_Cache_Read_ULong(c, u32Offset + 16, &u32T)) return 0;
  if (u32L < 20 || u32T != BOX_FTYP) return 0;
  h->u32BoxOffset = u32Offset + 12;
  h->u32BoxLength = u32L;
  if (JP2_Cache_Read_ULong(c, u32Offset + 20, &u32Brand)) return 0;
  bool bOk = u32Brand == BRAND_JP2 || u32Brand == BRAND_JPX;
  for (U32 q = 8; !bOk && q + 4 <= u32L - 8; q += 4) {
    U32 u32Compat;
    if (JP2_Cache_Read_ULong(c, u32Offset + 12 + 8 + q, &u32Compat)) return 0;
    bOk = u32Compat == BRAND_JP2 || u32Compat == BRAND_JPX;
  }
  if (!bOk) return 0;
  *pu32EndOfFtyp = u32Offset + 12 + u32L;
  return 1;
}

S32 JP2_Decomp_Read_To_Codestream_Box(JP2_Decomp *h, U32 *pu32Offset) {
  *pu32Offset = 0;
  h->au32MainBookkeeping[0] = h->au32MainBookkeeping[1] = 0;
  U32 u32End = 0;
  if (!JP2_File_Check_Format(h, &u32End, 0)) {
    h->psImage->s32IsJP2 = 0;
    h->u32CodestreamOffset = 0;
    return 0;
  }
  h->psImage->s32IsJP2 = 1;
  U32 u32Rel = 0;
  S32 s32Err = JP2_File_Read_To_Codestream_Box(h, &u32Rel, u32End);
  if (s32Err) return s32Err;
  h->u32CodestreamOffset = u32End + u32Rel;
  *pu32Offset = h->u32CodestreamOffset;
  return 0;
}

S32 JP2_File_Read_To_Codestream_Box(JP2_Decomp *h, U32 *pu32Relative, U32 u32Start) {
  U32 p = u32Start;
  *pu32Relative = 0;
  for (;;) {
    Box b;
    S32 s32Err = ReadBoxHeader(h->psCache, p, &b);
    if (s32Err) {
      *pu32Relative = p - u32Start;
      return s32Err;
    }
    h->u32BoxOffset = b.u32Offset;
    h->u32BoxLength = b.u32Length;
    if (b.u32Type == BOX_JP2C) {
      *pu32Relative = b.u32Data - u32Start;
      return 0;
    }
    // A length that does not move past the header would revisit this box for ever.
    if (!BoxLengthUsable(b)) {
      *pu32Relative = p - u32Start;
      return JP2_ERR_BOX_READ;
    }
    if (b.u32Type == BOX_JP2H) {
      if ((s32Err = WalkHeader(h, b)) != 0) return s32Err;
    } else {
      bool bCut;
      if ((s32Err = AddMetaBox(h, b, &bCut)) != 0) return s32Err;
      if (bCut) {
        *pu32Relative = 0;
        return 0;
      }
    }
    if ((U64)b.u32Offset + b.u32Length > 0xFFFFFFFFull) return JP2_ERR_SHORT_READ;
    p = b.u32Offset + b.u32Length;
  }
}

S32 JP2_File_Read_Additional_Boxes(JP2_Decomp *h) {
  if (!h->psImage->s32IsJP2 || h->u32BoxLength == 0) return 0;
  for (;;) {
    if ((U64)h->u32BoxOffset + h->u32BoxLength > 0xFFFFFFFFull) return 0;
    U32 p = h->u32BoxOffset + h->u32BoxLength;
    Box b;
    S32 s32Err = ReadBoxHeader(h->psCache, p, &b);
    if (s32Err == JP2_ERR_TOO_LARGE) return s32Err;
    if (s32Err) return 0;
    if (b.u32Length != 0 && b.u32Length < 8) return 0;
    h->u32BoxOffset = b.u32Offset;
    h->u32BoxLength = b.u32Length;
    bool bCut;
    if ((s32Err = AddMetaBox(h, b, &bCut)) != 0) return s32Err;
    if (bCut || b.u32Length == 0) return 0;
  }
}

S32 JP2_File_Get_Number_Components(JP2_Cache *psCache, U32 *pu32Count) {
  *pu32Count = 0;
  // A throw-away handle view: only the cache is used by the format check.
  JP2_Decomp sProbe;
  memset(&sProbe, 0, sizeof(sProbe));
  sProbe.psCache = psCache;
  U32 u32End = 0;
  if (!JP2_File_Check_Format(&sProbe, &u32End, 0)) return 0;
  U32 p = u32End;
  for (int i = 0; i < 4096; i++) {
    Box b;
    if (ReadBoxHeader(psCache, p, &b) || !BoxLengthUsable(b)) return 0;
    if (b.u32Type == BOX_JP2C) return 0;
    if (b.u32Type == BOX_JP2H) {
      U32 q = b.u32Data, u32End2 = b.u32Offset + b.u32Length;
      while ((U64)q + 8 <= u32End2) {
        Box s;
        if (ReadBoxHeader(psCache, q, &s) || !BoxLengthUsable(s)) return 0;
        if (s.u32Type == BOX_IHDR) {
          U16 u16N;
          if (JP2_Cache_Read_UShort(psCache, s.u32Data + 8, &u16N)) return 0;
          *pu32Count = u16N;
          return 1;
        }
        q = s.u32Offset + s.u32Length;
      }
      return 0;
    }
    if ((U64)b.u32Offset + b.u32Length > 0xFFFFFFFFull) return 0;
    p = b.u32Offset + b.u32Length;
  }
  return 0;
}

/* Metadata lists */

S32 JP2_File_Meta_Data_Init(JP2_Meta_List *psList, S32 s32HasId) {
  memset(psList, 0, sizeof(*psList));
  psList->s32HasId = s32HasId;
  return 0;
}

S32 JP2_File_Meta_Data_Add(JP2_Decomp *h, JP2_Meta_List *l, U32 u32Offset, U32 u32Length, const U8 *pu8Id) {
  if (l->s32HasId && !pu8Id) return JP2_ERR_GENERAL;
  if (l->u32Count >= l->u32Capacity) {
    U32 u32Cap = l->u32Capacity + 32;
    U32 u32Per = 8 + (l->s32HasId ? 16 : 0);
    U8 *pu8 = (U8 *)JP2_Memory_Alloc_Zero(h->psMemory, (S64)u32Cap * u32Per);
    if (!pu8) return JP2_ERR_MEMORY;
    U32 *pu32Off = (U32 *)pu8, *pu32Len = pu32Off + u32Cap;
    U8 *pu8Id2 = l->s32HasId ? (U8 *)(pu32Len + u32Cap) : nullptr;
    if (l->u32Count) {
      memcpy(pu32Off, l->pu32Offset, l->u32Count * 4);
      memcpy(pu32Len, l->pu32Length, l->u32Count * 4);
      if (pu8Id2) memcpy(pu8Id2, l->pu8Id, l->u32Count * 16);
    }
    if (l->pu32Offset) JP2_Memory_Free(h->psMemory, &l->pu32Offset);
    l->pu32Offset = pu32Off;
    l->pu32Length = pu32Len;
    l->pu8Id = pu8Id2;
    l->u32Capacity = u32Cap;
  }
  l->pu32Offset[l->u32Count] = u32Offset;
  l->pu32Length[l->u32Count] = u32Length;
  if (l->s32HasId) memcpy(l->pu8Id + 16 * l->u32Count, pu8Id, 16);
  l->u32Count++;
  return 0;
}

S32 JP2_File_Meta_Data_Free(JP2_Decomp *h, JP2_Meta_List *l) {
  S32 s32Err = 0;
  if (l->pu32Offset) s32Err = JP2_Memory_Free(h->psMemory, &l->pu32Offset);
  S32 s32HasId = l->s32HasId;
  memset(l, 0, sizeof(*l));
  l->s32HasId = s32HasId;
  return s32Err;
}

/* Colour specifications */

S32 JP2_File_CSpec_Init(JP2_CSpec_List *l) {
  memset(l, 0, sizeof(*l));
  l->s32SelectedPrecedence = -1000;
  return 0;
}

S32 JP2_File_CSpec_Add(JP2_Decomp *h, JP2_CSpec_List *l, S32 s32Code, S32 s32Precedence, S32 s32Approx,
                       U8 *pu8Profile, U32 u32Length) {
  if (l->u32Count >= l->u32Capacity) {
    U32 u32Cap = l->u32Capacity + 32;
    S64 s64Per = 4 * 4 + sizeof(U8 *) + sizeof(JP2_CSpec_Record);
    U8 *pu8 = (U8 *)JP2_Memory_Alloc_Zero(h->psMemory, s64Per * u32Cap);
    if (!pu8) return JP2_ERR_MEMORY;
    U8 **ppProf = (U8 **)pu8;
    JP2_CSpec_Record *psRec = (JP2_CSpec_Record *)(ppProf + u32Cap);
    S32 *ps32Code = (S32 *)(psRec + u32Cap);
    S32 *ps32Prec = ps32Code + u32Cap;
    U32 *pu32Len = (U32 *)(ps32Prec + u32Cap);
    S32 *ps32Approx = (S32 *)(pu32Len + u32Cap);
    U32 n = l->u32Count;
    if (n) {
      memcpy(ppProf, l->ppu8Profile, n * sizeof(U8 *));
      memcpy(psRec, l->psRecords, n * sizeof(JP2_CSpec_Record));
      memcpy(ps32Code, l->ps32Code, n * 4);
      memcpy(ps32Prec, l->ps32Precedence, n * 4);
      memcpy(pu32Len, l->pu32ProfileLength, n * 4);
      memcpy(ps32Approx, l->ps32Approx, n * 4);
    }
    if (l->ppu8Profile) JP2_Memory_Free(h->psMemory, &l->ppu8Profile);
    l->ppu8Profile = ppProf;
    l->psRecords = psRec;
    l->ps32Code = ps32Code;
    l->ps32Precedence = ps32Prec;
    l->pu32ProfileLength = pu32Len;
    l->ps32Approx = ps32Approx;
    l->u32Capacity = u32Cap;
  }
  U32 i = l->u32Count++;
  l->ps32Code[i] = s32Code;
  l->ps32Precedence[i] = s32Precedence;
  l->ps32Approx[i] = s32Approx;
  l->ppu8Profile[i] = pu8Profile;
  l->pu32ProfileLength[i] = u32Length;
  l->psRecords[i] = {s32Code, s32Precedence, s32Approx};
  if (s32Precedence > l->s32SelectedPrecedence) return JP2_File_CSpec_Set(h, l, i);
  return 0;
}

S32 JP2_File_CSpec_Set(JP2_Decomp *h, JP2_CSpec_List *l, U32 u32Index) {
  if (u32Index >= l->u32Count) return JP2_ERR_CSPEC_INDEX;
  l->u32Selected = u32Index;
  l->s32SelectedPrecedence = l->ps32Precedence[u32Index];
  JP2_Format *f = h->psFormat;
  f->s32ColourSpace = l->ps32Code[u32Index];
  if (f->s32ColourSpace == 40) {
    f->pu8Icc = l->ppu8Profile[u32Index];
    f->u32IccLength = l->pu32ProfileLength[u32Index];
    return JP2_ICC_Check(nullptr, f->pu8Icc, f->u32IccLength, &f->s32Restricted, &f->u32IccChannels);
  }
  f->pu8Icc = nullptr;
  f->u32IccLength = 0;
  f->s32Restricted = 0;
  f->u32IccChannels = 0;
  return 0;
}

S32 JP2_File_CSpec_Free(JP2_Decomp *h, JP2_CSpec_List *l) {
  for (U32 i = 0; i < l->u32Count; i++) {
    if (l->ppu8Profile[i]) {
      S32 s32Err = JP2_Memory_Free(h->psMemory, &l->ppu8Profile[i]);
      if (s32Err) return s32Err;
    }
  }
  S32 s32Err = 0;
  if (l->ppu8Profile) s32Err = JP2_Memory_Free(h->psMemory, &l->ppu8Profile);
  JP2_File_CSpec_Init(l);
  return s32Err;
}

S32 JP2_File_Colour_Channels(JP2_Decomp *h, U32 *pu32Channels) {
  JP2_Format *f = h->psFormat;
  switch (f->s32ColourSpace) {
  case 20: case 30: case 60: *pu32Channels = 3; return 0;
  case 50: *pu32Channels = 4; return 0;
  case 40: return JP2_ICC_Check(nullptr, f->pu8Icc, f->u32IccLength, &f->s32Restricted, pu32Channels);
  default: *pu32Channels = 1; return 0;
  }
}

S32 JP2_File_Build_Component_Map(JP2_Decomp *h) {
  JP2_Image *im = h->psImage;
  JP2_Format *f = h->psFormat;
  U32 Csiz = im->u16Csiz;
  if (f->s32ColourSpace == 60 && f->s32LabDefaults) {
    U32 p1 = Csiz > 1 ? (U32)(im->ps8Precision[1] < 0 ? -im->ps8Precision[1] : im->ps8Precision[1]) : 8;
    U32 p2 = Csiz > 2 ? (U32)(im->ps8Precision[2] < 0 ? -im->ps8Precision[2] : im->ps8Precision[2]) : 8;
    f->au32Lab[3] = JP2_Pow2(p1 - 1);
    f->au32Lab[5] = JP2_Pow2(p2 - 1);
  }
  U32 C;
  S32 s32Err = JP2_File_Colour_Channels(h, &C);
  if (s32Err) return s32Err;
  JP2_Palette *pal = h->psPalette;
  if (h->psCMap && !pal) return JP2_ERR_CMAP_NO_PALETTE;
  if (pal && !h->psCMap) return JP2_ERR_PALETTE_NO_CMAP;
  U32 N = pal ? pal->u32Columns + Csiz - 1 : Csiz;
  if (h->psChannels) JP2_Memory_Free(h->psMemory, &h->psChannels);
  h->u32Channels = 0;
  h->psChannels = (JP2_Channel_Entry *)JP2_Memory_Alloc_Zero(h->psMemory, (S64)(N ? N : 1) * sizeof(JP2_Channel_Entry));
  if (!h->psChannels) return JP2_ERR_MEMORY;
  h->u32Channels = N;
  U32 *map = f->pu32Map;
  U32 u32MapCap = im->u32PlannedComps;
  U32 p = 0, t = 0;
  JP2_CMap_Entry *cm = h->psCMap;
  U32 ncm = h->u32CMapCount;
  JP2_CDef_Entry *cd = h->psCDef;
  U32 ncd = h->u32CDefCount;
  auto isPaletteEntry = [&](U32 ch) { return cm && ch < ncm && cm[ch].u32Type == 1; };
  auto addChannel = [&](U32 type, U32 assoc) {
    if (t < N) h->psChannels[t++] = {type, assoc};
  };
  if (pal) {
    U32 NPC = pal->u32Columns;
    U32 au32Order[256];
    bool abUsed[256] = {};
    U32 u32Cols = 0;
    auto addColumn = [&](U32 col, U32 type, U32 assoc) -> S32 {
      if (col >= NPC) return JP2_ERR_CMAP_MISMATCH;
      if (abUsed[col]) return 0;
      abUsed[col] = true;
      au32Order[u32Cols++] = col;
      addChannel(type, assoc);
      return 0;
    };
    if (!cd) {
      for (U32 i = 0; i < C; i++) {
        if (!isPaletteEntry(i)) return JP2_ERR_CMAP_MISMATCH;
        if ((s32Err = addColumn(cm[i].u32Column, 0, i + 1)) != 0) return s32Err;
      }
    } else {
      for (U32 a = 1; a <= C; a++) {
        U32 i = 0;
        while (i < ncd && !(cd[i].u32Assoc == a && cd[i].u32Type == 0)) i++;
        if (i == ncd) return JP2_ERR_NO_CHANNEL_DEF;
        if (!isPaletteEntry(cd[i].u32Channel)) return JP2_ERR_CMAP_MISMATCH;
        if ((s32Err = addColumn(cm[cd[i].u32Channel].u32Column, 0, a)) != 0) return s32Err;
      }
      for (U32 a = 0; a <= C; a++) {
        for (U32 i = 0; i < ncd; i++) {
          if (cd[i].u32Assoc == a && (cd[i].u32Type == 1 || cd[i].u32Type == 2)) {
            if (isPaletteEntry(cd[i].u32Channel) &&
                (s32Err = addColumn(cm[cd[i].u32Channel].u32Column, cd[i].u32Type, a)) != 0)
              return s32Err;
            break;
          }
        }
      }
    }
    for (U32 col = 0; col < NPC; col++)
      if (!abUsed[col]) {
        abUsed[col] = true;
        au32Order[u32Cols++] = col;
        addChannel(65535, 0);
      }
    // Columns, precisions and signs in output order.
    U32 *apCols[256];
    U8 au8Prec[256], au8Sign[256];
    for (U32 i = 0; i < NPC; i++) {
      apCols[i] = pal->ppu32Column[au32Order[i]];
      au8Prec[i] = pal->pu8Precision[au32Order[i]];
      au8Sign[i] = pal->pu8Sign[au32Order[i]];
    }
    for (U32 i = 0; i < NPC; i++) {
      pal->ppu32Column[i] = apCols[i];
      pal->pu8Precision[i] = au8Prec[i];
      pal->pu8Sign[i] = au8Sign[i];
    }
    if (ncm == 0) return JP2_ERR_CMAP_MISMATCH;
    U32 i = 0;
    while (i < ncm && cm[i].u32Type != 1) i++;
    if (i == ncm) return JP2_ERR_CMAP_MISMATCH;
    if (cm[i].u32Comp >= Csiz) return JP2_ERR_CMAP_MISMATCH;
    if (u32MapCap) map[p++] = cm[i].u32Comp;
  }
  auto inMap = [&](U32 comp) {
    for (U32 i = 0; i < p; i++)
      if (map[i] == comp) return true;
    return false;
  };
  auto addDirect = [&](U32 chan, U32 type, U32 assoc) -> S32 {
    U32 comp;
    if (!cm) {
      comp = chan;
    } else {
      if (isPaletteEntry(chan)) return 0;
      if (chan >= ncm) return JP2_ERR_CMAP_MISMATCH;
      comp = cm[chan].u32Comp;
    }
    if (comp >= Csiz) return JP2_ERR_CMAP_MISMATCH;
    if (inMap(comp) || p >= Csiz || p >= u32MapCap) return 0;
    map[p++] = comp;
    addChannel(type, assoc);
    return 0;
  };
  if (cd) {
    for (U32 a = 1; a <= C; a++) {
      for (U32 i = 0; i < ncd; i++)
        if (cd[i].u32Assoc == a && cd[i].u32Type == 0) {
          if ((s32Err = addDirect(cd[i].u32Channel, 0, a)) != 0) return s32Err;
          break;
        }
    }
    for (U32 a = 0; a <= C; a++) {
      for (U32 i = 0; i < ncd; i++)
        if (cd[i].u32Assoc == a && (cd[i].u32Type == 1 || cd[i].u32Type == 2)) {
          if ((s32Err = addDirect(cd[i].u32Channel, cd[i].u32Type, a)) != 0) return s32Err;
          break;
        }
    }
  }
  for (U32 comp = 0; comp < Csiz && p < Csiz && p < u32MapCap; comp++) {
    if (inMap(comp)) continue;
    map[p++] = comp;
    if (t < C && !cd)
      addChannel(0, t + 1);
    else
      addChannel(65535, 0);
  }
  while (t < N) addChannel(65535, 0);
  return 0;
}
