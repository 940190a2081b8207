// Public operations: open, properties, decoding calls, metadata, close.
#include "jp2/jp2_decoder.h"

#include <cstring>

#include "jp2/jp2_codestream.h"
#include "jp2/jp2_decomp.h"
#include "jp2/jp2_file.h"
#include "jp2/jp2_format.h"
#include "jp2/jp2_icc.h"
#include "jp2/jp2_packet.h"
#include "jp2/jp2_partial.h"

#define JP2_CACHE_BLOCK 10240

namespace {

bool IsPow2(JP2_Property_Value v) { return v != 0 && (v & (v - 1)) == 0; }

// Releases everything a handle holds; the fixed memory and the memory object last.
S32 EndHandle(JP2_Decomp *h) {
  JP2_Memory *m = h->psMemory;
  JP2_Image *im = h->psImage;
  S32 e;
  JP2_Meta_List *apsLists[] = {&h->sXml, &h->sIpr, &h->sUuid, &h->sUuidInfo, &h->sCom};
  for (JP2_Meta_List *l : apsLists)
    if ((e = JP2_File_Meta_Data_Free(h, l)) != 0) return e;
  if (h->pu8Scratch && (e = JP2_Memory_Free(m, &h->pu8Scratch)) != 0) return e;
  if ((e = JP2_File_CSpec_Free(h, &h->sCSpec)) != 0) return e;
  void **appv[] = {(void **)&h->psPalette, (void **)&h->psCMap, (void **)&h->psCDef, (void **)&h->psChannels,
                   (void **)&h->pu8MainMemory};
  for (void **ppv : appv)
    if (*ppv && (e = JP2_Memory_Free(m, ppv)) != 0) return e;
  if (im) {
    JP2_Scale_Free_Structure(h);
    if (im->psTiles) {
      for (U32 t = 0; t < im->u32Tiles; t++) {
        JP2_Tile *tile = &im->psTiles[t];
        if (tile->psComps && (e = JP2_Tile_Free_Resolution_to_Block_Arrays(im->psTiles, m, im, t)) != 0) return e;
        if (tile->pu32PptLen && (e = JP2_Memory_Free(m, &tile->pu32PptLen)) != 0) return e;
        if (tile->psPoc && (e = JP2_Memory_Free(m, &tile->psPoc)) != 0) return e;
        if ((e = JP2_Component_Array_Delete(&tile->psComps, m)) != 0) return e;
      }
      if ((e = JP2_Tile_Array_Delete(&im->psTiles, m, im->u32Tiles)) != 0) return e;
    }
    if ((e = JP2_Image_Delete(&h->psImage, m)) != 0) return e;
  }
  if ((e = JP2_Read_Bits_Delete(&h->psBits, m)) != 0) return e;
  if ((e = JP2_Cache_Delete(&h->psCache)) != 0) return e;
  if ((e = JP2_Read_Data_Delete(&h->psRead, m)) != 0) return e;
  h->s32Valid = 0;
  U8 *pu8Fixed = h->pu8Fixed;
  if ((e = JP2_Memory_Free(m, &pu8Fixed)) != 0) return e;
  return JP2_Memory_Delete(&m);
}

S32 CheckChannel(JP2_Decomp *h, S32 s32Tile, S16 s16Channel, JP2_Tile **ppsTile, JP2_Tile_Comp **ppsComp,
                 U32 *pu32Comp) {
  JP2_Image *im = h->psImage;
  if (s16Channel < 0 || (U32)s16Channel >= im->u16Csiz) return JP2_ERR_CHANNEL;
  U32 c = h->psFormat->pu32Map[s16Channel];
  if (c >= im->u16Csiz) return JP2_ERR_CHANNEL;
  if (s32Tile < 0 || (U32)s32Tile >= im->u32Tiles) return JP2_ERR_TILE;
  if (!im->psTiles || !im->psTiles[s32Tile].psComps) return JP2_ERR_HANDLE;
  *ppsTile = &im->psTiles[s32Tile];
  *ppsComp = &im->psTiles[s32Tile].psComps[c];
  *pu32Comp = c;
  return 0;
}

bool IsFixedProperty(S32 p) { return (p >= 3 && p <= 16) || p == 20 || p == 21 || p == 50 || p == 51; }

S32 SetReduction(JP2_Decomp *h, JP2_Property_Value f) {
  if (!IsPow2(f) || f > 0x80000000u) return JP2_ERR_VALUE;
  JP2_Image *im = h->psImage;
  JP2_Format *fm = h->psFormat;
  U32 u32F = (U32)f;
  for (U32 c = 0; c < im->u16Csiz; c++) {
    JP2_Tile_Comp *tc0 = &im->psTiles[0].psComps[c];
    U32 x0 = tc0->u32X0, y0 = tc0->u32Y0;
    U64 xe = (U64)x0 + fm->pu32FullWidth[c], ye = (U64)y0 + fm->pu32FullHeight[c];
    U64 a = (xe + u32F - 1) / u32F, b = ((U64)x0 + u32F - 1) / u32F;
    U64 cc = (ye + u32F - 1) / u32F, d = ((U64)y0 + u32F - 1) / u32F;
    if (a == b || cc == d) return JP2_ERR_SCALE;
  }
  for (U32 c = 0; c < im->u16Csiz; c++) {
    U32 w = 0, hgt = 0;
    for (U32 t = 0; t < im->u32Tiles; t++) {
      JP2_Tile_Comp *tc = &im->psTiles[t].psComps[c];
      tc->u32OutWidth = JP2_Ceil_Div(tc->u32X1, u32F) - JP2_Ceil_Div(tc->u32X0, u32F);
      tc->u32OutHeight = JP2_Ceil_Div(tc->u32Y1, u32F) - JP2_Ceil_Div(tc->u32Y0, u32F);
      if (t / im->u32TilesAcross == 0) w += tc->u32OutWidth;
      if (t % im->u32TilesAcross == 0) hgt += tc->u32OutHeight;
    }
    JP2_Tile_Comp *tc0 = &im->psTiles[0].psComps[c];
    U32 ew = JP2_Ceil_Div(tc0->u32X0 + fm->pu32FullWidth[c], u32F) - JP2_Ceil_Div(tc0->u32X0, u32F);
    U32 eh = JP2_Ceil_Div(tc0->u32Y0 + fm->pu32FullHeight[c], u32F) - JP2_Ceil_Div(tc0->u32Y0, u32F);
    if (w != ew || hgt != eh) return JP2_ERR_GENERAL;
    fm->pu32OutWidth[c] = w;
    fm->pu32OutHeight[c] = hgt;
  }
  h->psScale->u32Reduction = u32F;
  h->psScale->u32Magnify = 1;
  h->psScale->u32Identity = u32F == 1;
  return 0;
}

S32 SetMagnification(JP2_Decomp *h, JP2_Property_Value m) {
  if (m > 32) return JP2_ERR_SCALE;
  if (!IsPow2(m)) return JP2_ERR_VALUE;
  JP2_Image *im = h->psImage;
  JP2_Format *fm = h->psFormat;
  for (U32 c = 0; c < im->u16Csiz; c++) {
    if ((U64)fm->pu32FullWidth[c] * m > 0xFFFFFFFFull || (U64)fm->pu32FullHeight[c] * m > 0xFFFFFFFFull)
      return JP2_ERR_SCALE;
  }
  for (U32 c = 0; c < im->u16Csiz; c++) {
    fm->pu32OutWidth[c] = fm->pu32FullWidth[c] * (U32)m;
    fm->pu32OutHeight[c] = fm->pu32FullHeight[c] * (U32)m;
    for (U32 t = 0; t < im->u32Tiles; t++) {
      JP2_Tile_Comp *tc = &im->psTiles[t].psComps[c];
      tc->u32OutWidth = tc->u32FullWidth * (U32)m;
      tc->u32OutHeight = tc->u32FullHeight * (U32)m;
    }
  }
  h->psScale->u32Reduction = 1;
  h->psScale->u32Magnify = (U32)m;
  h->psScale->u32Identity = m == 1;
  return 0;
}

S32 SetCaching(JP2_Decomp *h, JP2_Property_Value v) {
  S32 s32Style = JP2_Cache_Get_Style(h->psCache);
  if ((s32Style == 1) == (v != 0)) return 0;
  JP2_Cache *psNew;
  S32 e = JP2_Cache_New(&psNew, h->psMemory, h->psRead, v ? 1 : 0, JP2_CACHE_BLOCK, nullptr);
  if (e) return e;
  if ((e = JP2_Cache_Delete(&h->psCache)) != 0) return e;
  h->psCache = psNew;
  if ((e = JP2_Read_Bits_Delete(&h->psBits, h->psMemory)) != 0) return e;
  return JP2_Read_Bits_New(&h->psBits, h->psMemory, psNew);
}

// Reads length bytes at offset into the handle's scratch block; 10 when fewer arrive.
S32 ReadToScratch(JP2_Decomp *h, U32 u32Offset, U32 u32Length, U8 **ppu8Data, U32 *pu32Length) {
  if (h->pu8Scratch) JP2_Memory_Free(h->psMemory, &h->pu8Scratch);
  if (u32Length == 0) return 0;
  h->pu8Scratch = (U8 *)JP2_Memory_Alloc(h->psMemory, (S64)u32Length + 1);
  if (!h->pu8Scratch) return JP2_ERR_MEMORY;
  U32 u32Got = 0;
  S32 e = JP2_Cache_Read(h->psCache, u32Offset, u32Length, &u32Got, h->pu8Scratch);
  if (e) return e;
  h->pu8Scratch[u32Got] = 0;
  *ppu8Data = h->pu8Scratch;
  *pu32Length = u32Got;
  return u32Got < u32Length ? JP2_WARN_SHORT_DATA : 0;
}

// Content length of a box; a box running to the end of the data is probed in 512-byte steps.
U32 BoxContentLength(JP2_Decomp *h, U32 u32BoxOffset, U32 u32BoxLength, U32 u32Data) {
  if (u32BoxLength) return u32BoxLength >= u32Data - u32BoxOffset ? u32BoxLength - (u32Data - u32BoxOffset) : 0;
  S64 s64Len = (S64)JP2_Cache_Get_Size(h->psCache) - u32Data;
  if (s64Len <= 0) s64Len = 512;
  U8 u8;
  while (s64Len < 0x7FFFFFFF && JP2_Cache_Read_UChar(h->psCache, (U32)(u32Data + s64Len), &u8) == 0) s64Len += 512;
  return (U32)s64Len;
}

S32 MetaData(JP2_Decomp *h, JP2_Meta_List *l, U32 u32Index, U32 u32Skip, U8 **ppu8Data, U32 *pu32Length) {
  *ppu8Data = nullptr;
  *pu32Length = 0;
  S32 e = JP2_Decomp_Check_Handle_and_Timeout(h);
  if (e) return e;
  if ((e = JP2_File_Read_Additional_Boxes(h)) != 0) return e;
  if (u32Index >= l->u32Count) return JP2_ERR_META_INDEX;
  U32 u32Off = l->pu32Offset[u32Index], u32Data = u32Off + 8 + u32Skip;
  U32 u32Len = BoxContentLength(h, u32Off, l->pu32Length[u32Index], u32Data);
  return ReadToScratch(h, u32Data, u32Len, ppu8Data, pu32Length);
}

S32 MetaNum(JP2_Decomp *h, JP2_Meta_List *l, U32 *pu32Count) {
  if (pu32Count) *pu32Count = 0;
  S32 e = JP2_Decomp_Check_Handle_and_Timeout(h);
  if (e) return e;
  if (!pu32Count) return JP2_ERR_NULL_ARG;
  if ((e = JP2_File_Read_Additional_Boxes(h)) != 0) return e;
  *pu32Count = l->u32Count;
  return 0;
}

const U8 kIptc[16] = {0x33, 0xC7, 0xA4, 0xD2, 0xB8, 0x1D, 0x47, 0x23, 0xA0, 0xBA, 0xF1, 0xA3, 0xE0, 0x97, 0xAD, 0x38};

} // namespace

S32 JP2_Decompress_Start(JP2_Decomp_Handle *phOut, JP2_Callback_Malloc pfMalloc, void *pvMallocParam,
                         JP2_Callback_Free pfFree, void *pvFreeParam, JP2_Callback_Read pfRead, void *pvReadParam) {
  if (!phOut) return JP2_ERR_NULL_ARG;
  *phOut = nullptr;
  if (!pfRead) return JP2_ERR_NO_READ_CALLBACK;
  if (!pfMalloc) pvMallocParam = nullptr;
  if (!pfFree) pvFreeParam = nullptr;
  JP2_Memory *m = nullptr;
  JP2_Read_Data *rd = nullptr;
  JP2_Cache *c = nullptr;
  JP2_Read_Bits *b = nullptr;
  S32 e = JP2_Memory_New(&m, pfMalloc, pvMallocParam, pfFree, pvFreeParam);
  if (e) return e;
  if ((e = JP2_Read_Data_New(&rd, m, pfRead, pvReadParam)) == 0 &&
      (e = JP2_Cache_New(&c, m, rd, 1, JP2_CACHE_BLOCK, nullptr)) == 0)
    e = JP2_Read_Bits_New(&b, m, c);
  JP2_Decomp *h = nullptr;
  if (!e) e = JP2_Decomp_New(&h, c, rd, b, m);
  if (e) {
    JP2_Read_Bits_Delete(&b, m);
    JP2_Cache_Delete(&c);
    JP2_Read_Data_Delete(&rd, m);
    JP2_Memory_Delete(&m);
    return e;
  }
  U32 u32Cs = 0;
  if ((e = JP2_Decomp_Read_To_Codestream_Box(h, &u32Cs)) == 0 && (e = JP2_Codestream_Read_Main_Header(h, &u32Cs)) == 0) {
    if (!h->psImage->s32IsJP2) h->psFormat->s32ColourSpace = h->psFormat->u8Mct ? 20 : 10;
    if ((e = JP2_File_Build_Component_Map(h)) == 0) {
      U32 u32Main = 0;
      if ((e = JP2_Format_Decomp_Get_Main_Requirements(h, &u32Main)) == 0) {
        h->pu8MainMemory = (U8 *)JP2_Memory_Alloc_Zero(h->psMemory, u32Main ? u32Main : 8);
        if (!h->pu8MainMemory) {
          e = JP2_ERR_MEMORY;
        } else {
          U32 u32Used;
          JP2_Format_Decomp_Set_Main_Memory(h, h->pu8MainMemory, &u32Used);
          JP2_Image_Decomp_Save_State(h);
        }
      }
    }
  }
  if (e) {
    EndHandle(h);
    return e;
  }
  *phOut = h;
  return 0;
}

S32 JP2_Decompress_End(JP2_Decomp_Handle h) {
  S32 e = JP2_Decomp_Check_Handle_and_Timeout(h);
  if (e) return e;
  return EndHandle(h);
}

S32 JP2_Decompress_GetProp(JP2_Decomp_Handle h, S32 p, JP2_Property_Value *pv, S32 s32Tile, S16 s16Channel) {
  S32 e = JP2_Decomp_Check_Handle_and_Timeout(h);
  if (e) return e;
  if (!pv) return JP2_ERR_NULL_ARG;
  *pv = 0;
  if (IsFixedProperty(p)) {
    s32Tile = 0;
    s16Channel = 0;
  } else if (p == 1 || p == 2 || p == 4 || p == 5) {
    s32Tile = 0;
  }
  JP2_Tile *t;
  JP2_Tile_Comp *tc;
  U32 c;
  if ((e = CheckChannel(h, s32Tile, s16Channel, &t, &tc, &c)) != 0) return e;
  JP2_Image *im = h->psImage;
  JP2_Format *f = h->psFormat;
  S32 prec = im->ps8Precision[c];
  switch (p) {
  case 1: *pv = f->pu32OutWidth[c]; return 0;
  case 2: *pv = f->pu32OutHeight[c]; return 0;
  case 3: *pv = im->u16Csiz; return 0;
  case 4: *pv = (U32)(prec < 0 ? -prec : prec); return 0;
  case 5: *pv = prec < 0; return 0;
  case 6: *pv = im->u32XTsiz; return 0;
  case 7: *pv = im->u32YTsiz; return 0;
  case 8: *pv = im->u32Tiles; return 0;
  case 9: *pv = (U32)im->s32IsJP2; return 0;
  case 10: *pv = im->u32Xsiz; return 0;
  case 11: *pv = im->u32Ysiz; return 0;
  case 12: *pv = im->u32XOsiz; return 0;
  case 13: *pv = im->u32YOsiz; return 0;
  case 14: *pv = im->u32XTOsiz; return 0;
  case 15: *pv = im->u32YTOsiz; return 0;
  case 16: *pv = (U32)im->s32Force32; return 0;
  case 20: *pv = (U32)f->s32ColourSpace + (h->psPalette ? 1 : 0); return 0;
  case 21: *pv = (U32)f->s32OutByteOrder; return 0;
  case 50: *pv = (JP2_Property_Value)h->psOutput->pfOutput; return 0;
  case 51: *pv = (JP2_Property_Value)h->psOutput->pvParam; return 0;
  case 52: *pv = (JP2_Property_Value)h->pfLineStart; return 0;
  case 53: *pv = (JP2_Property_Value)h->pvLineStartParam; return 0;
  case 60: *pv = t->u8Sop | (t->u8Eph << 1); return 0;
  case 61: *pv = t->u8Order; return 0;
  case 62: *pv = t->u16Layers; return 0;
  case 70: *pv = tc->u8Guard; return 0;
  case 71: *pv = tc->u8Wavelet == 1; return 0;
  case 72: *pv = tc->u8Levels; return 0;
  case 73: *pv = 1u << tc->u8Xcb; return 0;
  case 74: *pv = 1u << tc->u8Ycb; return 0;
  case 75:
    *pv = tc->u8Bypass | (tc->u8Reset << 1) | (tc->u8TermAll << 2) | (tc->u8Causal << 3) | (tc->u8PredTerm << 4) |
          (tc->u8SegSym << 5);
    return 0;
  case 40: case 41: case 42: case 43: case 63: case 64: case 65: return JP2_ERR_UNAVAILABLE;
  default: return JP2_ERR_PROPERTY;
  }
}

S32 JP2_Decompress_SetProp(JP2_Decomp_Handle h, S32 p, JP2_Property_Value v) {
  S32 e = JP2_Decomp_Check_Handle_and_Timeout(h);
  if (e) return e;
  JP2_Format *f = h->psFormat;
  switch (p) {
  case 8: return JP2_ERR_PROPERTY;
  case 1: case 2: case 3: case 4: case 5: case 6: case 7: case 9: case 10: case 11: case 12: case 13: case 14:
  case 15: return JP2_ERR_READ_ONLY;
  case 16: h->psImage->s32Force32 = v != 0; return 0;
  case 20:
    if (v != 10 && v != 20 && v != 30 && v != 40 && v != 50 && v != 60) return JP2_ERR_VALUE;
    return (S32)v == f->s32ColourSpace ? 0 : JP2_ERR_COLOUR_SPACE;
  case 21:
    if (v > 1) return JP2_ERR_VALUE;
    f->s32OutByteOrder = (S32)v;
    return 0;
  case 23: return SetReduction(h, v);
  case 24: return SetMagnification(h, v);
  case 25: return SetCaching(h, v);
  case 40: case 41: case 42: case 43: case 65: return JP2_ERR_UNAVAILABLE;
  case 50: h->psOutput->pfOutput = (JP2_Callback_Output)v; return 0;
  case 51: h->psOutput->pvParam = (void *)v; return 0;
  case 52: h->pfLineStart = (JP2_Callback_Line_Start)v; return 0;
  case 53: h->pvLineStartParam = (void *)v; return 0;
  case 60: case 61: case 62: case 70: case 71: case 72: case 73: case 74: case 75: case 76: return JP2_ERR_READ_ONLY;
  default: return JP2_ERR_PROPERTY;
  }
}

S32 JP2_Decompress_Region(JP2_Decomp_Handle h, U32 x0, U32 x1, U32 y0, U32 y1) {
  S32 e = JP2_Decomp_Check_Handle_and_Timeout(h);
  if (e) return e;
  JP2_Image *im = h->psImage;
  e = JP2_Decomp_Prepare_Region(h, x0, x1, y0, y1);
  if (!e) e = JP2_Scale_Init_Structure(h);
  for (U32 t = 0; t < im->u32Tiles && !e; t++)
    if (im->psTiles[t].s32Wanted) e = JP2_Decomp_Decode_Tile(h, t);
  if (e) JP2_Decomp_Free_All_Tiles(h);
  JP2_Scale_Free_Structure(h);
  return e;
}

S32 JP2_Decompress_Image(JP2_Decomp_Handle h) { return JP2_Decompress_Region(h, 0, 0, 0, 0); }

S32 JP2_Decompress_GetResolution(JP2_Decomp_Handle h, U32 *pu32V, U32 *pu32H, JP2_Resolution_Values *psRecord,
                                 S32 s32Unit, S32 s32Which) {
  if (pu32V) *pu32V = 0;
  if (pu32H) *pu32H = 0;
  if (!h) return JP2_ERR_HANDLE;
  if (s32Which != 0 && s32Which != 1) return JP2_ERR_WHICH;
  if (s32Unit < 0 || s32Unit > 2) return JP2_ERR_UNIT;
  const JP2_Resolution_Values &r = s32Which == 0 ? h->psFormat->sCapture : h->psFormat->sDisplay;
  if (psRecord) *psRecord = r;
  if (r.u16VDen == 0 || r.u16HDen == 0) return 0;
  auto calc = [&](U32 N, U32 D, S32 E) -> U32 {
    U32 scale = s32Unit == 2 ? 1 : (s32Unit == 1 ? 100 : 254);
    S32 ex = s32Unit == 0 ? E - 4 : E;
    U32 value = N * scale;
    for (S32 i = 0; i < ex; i++) value *= 10;
    for (S32 i = 0; i < -ex; i++) D *= 10;
    // Nearest integer, halves up (adding ceil(D / 2) would add one for every odd D).
    return D ? (value + D / 2) / D : 0;
  };
  if (pu32V) *pu32V = calc(r.u16VNum, r.u16VDen, r.s8VExp);
  if (pu32H) *pu32H = calc(r.u16HNum, r.u16HDen, r.s8HExp);
  return 0;
}

S32 JP2_Decompress_GetPrecinct(JP2_Decomp_Handle h, U32 *pu32PPx, U32 *pu32PPy, S32 s32Tile, S16 s16Comp,
                               S32 s32Level) {
  S32 e = JP2_Decomp_Check_Handle_and_Timeout(h);
  if (e) return e;
  if (!pu32PPx || !pu32PPy) return JP2_ERR_NULL_ARG;
  *pu32PPx = *pu32PPy = 0;
  JP2_Image *im = h->psImage;
  if (s16Comp < 0 || (U32)s16Comp >= im->u16Csiz) return JP2_ERR_CHANNEL;
  if (s32Tile < 0 || (U32)s32Tile >= im->u32Tiles) return JP2_ERR_TILE;
  if (!im->psTiles || !im->psTiles[s32Tile].psComps) return JP2_ERR_HANDLE;
  JP2_Tile_Comp *tc = &im->psTiles[s32Tile].psComps[s16Comp];
  if (s32Level < 0 || s32Level > tc->u8Levels) return JP2_ERR_RESOLUTION_LEVEL;
  *pu32PPx = tc->au8Precinct[s32Level] & 0x0F;
  *pu32PPy = tc->au8Precinct[s32Level] >> 4;
  return 0;
}

S32 JP2_Decompress_GetPalette(JP2_Decomp_Handle h, JP2_Palette **pps) {
  S32 e = JP2_Decomp_Check_Handle_and_Timeout(h);
  if (e) return e;
  if (!pps) return JP2_ERR_NULL_ARG;
  *pps = h->psPalette;
  return 0;
}

S32 JP2_Decompress_GetChannelDefs(JP2_Decomp_Handle h, const JP2_Channel_Def **pps, U32 *pu32Count) {
  S32 e = JP2_Decomp_Check_Handle_and_Timeout(h);
  if (e) return e;
  if (!pps || !pu32Count) return JP2_ERR_NULL_ARG;
  static_assert(sizeof(JP2_Channel_Def) == sizeof(JP2_Channel_Entry), "channel table layout");
  *pps = (const JP2_Channel_Def *)h->psChannels;
  *pu32Count = h->u32Channels;
  return 0;
}

S32 JP2_Decompress_GetColorSpec(JP2_Decomp_Handle h, U32 *pu32Count, const JP2_Colour_Spec **pps) {
  S32 e = JP2_Decomp_Check_Handle_and_Timeout(h);
  if (e) return e;
  if (!pu32Count || !pps) return JP2_ERR_NULL_ARG;
  static_assert(sizeof(JP2_Colour_Spec) == sizeof(JP2_CSpec_Record), "colour record layout");
  JP2_CSpec_List *l = &h->sCSpec;
  for (U32 i = 0; i < l->u32Count; i++) {
    l->psRecords[i] = {l->ps32Code[i] + (h->psPalette ? 1 : 0), l->ps32Precedence[i], l->ps32Approx[i]};
  }
  *pu32Count = l->u32Count;
  *pps = (const JP2_Colour_Spec *)l->psRecords;
  return 0;
}

S32 JP2_Decompress_SetColorSpec(JP2_Decomp_Handle h, U32 u32Index) {
  S32 e = JP2_Decomp_Check_Handle_and_Timeout(h);
  if (e) return e;
  return JP2_File_CSpec_Set(h, &h->sCSpec, u32Index);
}

S32 JP2_Decompress_GetICC(JP2_Decomp_Handle h, U8 **ppu8, U32 *pu32Length) {
  S32 e = JP2_Decomp_Check_Handle_and_Timeout(h);
  if (e) return e;
  if (!ppu8 || !pu32Length) return JP2_ERR_NULL_ARG;
  *ppu8 = nullptr;
  *pu32Length = 0;
  JP2_Format *f = h->psFormat;
  if (f->s32ColourSpace != 40) return JP2_ERR_COLOUR_SPACE;
  if (f->pu8Icc && f->u32IccLength) {
    memcpy(f->pu8Icc + f->u32IccLength, f->pu8Icc, f->u32IccLength);
    *ppu8 = f->pu8Icc + f->u32IccLength;
  }
  *pu32Length = f->u32IccLength;
  return 0;
}

S32 JP2_Decompress_GetLAB(JP2_Decomp_Handle h, U32 *pu32Record) {
  S32 e = JP2_Decomp_Check_Handle_and_Timeout(h);
  if (e) return e;
  if (!pu32Record) return JP2_ERR_NULL_ARG;
  memset(pu32Record, 0, 7 * 4);
  if (h->psFormat->s32ColourSpace != 60) return JP2_ERR_COLOUR_SPACE;
  memcpy(pu32Record, h->psFormat->au32Lab, 7 * 4);
  return 0;
}

S32 JP2_General_CheckICC(const U8 *pu8, U32 u32Length, S32 *ps32Supported, S32 *ps32Restricted, U32 *pu32Channels) {
  S32 s32R = 0;
  U32 u32C = 0;
  JP2_ICC_Header sHeader;
  if (ps32Supported) *ps32Supported = 0;
  S32 e = JP2_ICC_Check(&sHeader, pu8, u32Length, &s32R, &u32C);
  if (ps32Restricted) *ps32Restricted = s32R;
  if (pu32Channels) *pu32Channels = u32C;
  if (e) return e;
  U32 cs = sHeader.u32ColourSpace;
  if (ps32Supported)
    *ps32Supported = s32R || cs == JP2_BOX('G', 'R', 'A', 'Y') || cs == JP2_BOX('R', 'G', 'B', ' ') ||
                     cs == JP2_BOX('Y', 'C', 'b', 'r');
  return 0;
}

S32 JP2_Decompress_GetCOM_Num(JP2_Decomp_Handle h, U32 *pu32Count) {
  S32 e = JP2_Decomp_Check_Handle_and_Timeout(h);
  if (e) return e;
  if (!pu32Count) return JP2_ERR_NULL_ARG;
  *pu32Count = h->sCom.u32Count;
  return 0;
}

S32 JP2_Decompress_GetCOM_Data(JP2_Decomp_Handle h, U32 u32Index, U16 *pu16Reg, U8 **ppu8, U32 *pu32Length) {
  S32 e = JP2_Decomp_Check_Handle_and_Timeout(h);
  if (e) return e;
  if (!pu16Reg || !ppu8 || !pu32Length) return JP2_ERR_NULL_ARG;
  *pu16Reg = 0;
  *ppu8 = nullptr;
  *pu32Length = 0;
  if (u32Index >= h->sCom.u32Count) return JP2_ERR_META_INDEX;
  U32 u32Off = h->sCom.pu32Offset[u32Index], L = h->sCom.pu32Length[u32Index];
  U8 *pu8 = nullptr;
  U32 u32Got = 0;
  e = ReadToScratch(h, u32Off + 4, L >= 2 ? L - 2 : 0, &pu8, &u32Got);
  if (e < 0) return e;
  if (u32Got < 2) return e;
  *pu16Reg = (U16)((pu8[0] << 8) | pu8[1]);
  *ppu8 = pu8 + 2;
  *pu32Length = u32Got - 2;
  return e;
}

S32 JP2_Decompress_GetXML_Num(JP2_Decomp_Handle h, U32 *n) { return MetaNum(h, h ? &h->sXml : nullptr, n); }
S32 JP2_Decompress_GetXML_Data(JP2_Decomp_Handle h, U32 i, U8 **pp, U32 *pl) {
  if (JP2_Decomp_Check_Handle_and_Timeout(h)) return JP2_ERR_HANDLE;
  return MetaData(h, &h->sXml, i, 0, pp, pl);
}
S32 JP2_Decompress_GetIP_Num(JP2_Decomp_Handle h, U32 *n) { return MetaNum(h, h ? &h->sIpr : nullptr, n); }
S32 JP2_Decompress_GetIP_Data(JP2_Decomp_Handle h, U32 i, U8 **pp, U32 *pl) {
  if (JP2_Decomp_Check_Handle_and_Timeout(h)) return JP2_ERR_HANDLE;
  return MetaData(h, &h->sIpr, i, 0, pp, pl);
}
S32 JP2_Decompress_GetUUID_Num(JP2_Decomp_Handle h, U32 *n) { return MetaNum(h, h ? &h->sUuid : nullptr, n); }
S32 JP2_Decompress_GetUUID_Id(JP2_Decomp_Handle h, U32 i, U8 *pu8Id) {
  S32 e = JP2_Decomp_Check_Handle_and_Timeout(h);
  if (e) return e;
  if (!pu8Id) return JP2_ERR_NULL_ARG;
  if ((e = JP2_File_Read_Additional_Boxes(h)) != 0) return e;
  if (i >= h->sUuid.u32Count) return JP2_ERR_META_INDEX;
  memcpy(pu8Id, h->sUuid.pu8Id + 16 * i, 16);
  return 0;
}
S32 JP2_Decompress_GetUUID_Data(JP2_Decomp_Handle h, U32 i, U8 **pp, U32 *pl) {
  if (JP2_Decomp_Check_Handle_and_Timeout(h)) return JP2_ERR_HANDLE;
  return MetaData(h, &h->sUuid, i, 16, pp, pl);
}
S32 JP2_Decompress_GetUUID_Info_Num(JP2_Decomp_Handle h, U32 *n) {
  return MetaNum(h, h ? &h->sUuidInfo : nullptr, n);
}

S32 JP2_Decompress_GetUUID_Info_Data(JP2_Decomp_Handle h, U32 i, U8 **ppu8Ids, U16 *pu16Count, U8 **ppu8Loc,
                                     U32 *pu32LocLen) {
  if (ppu8Ids) *ppu8Ids = nullptr;
  if (pu16Count) *pu16Count = 0;
  if (ppu8Loc) *ppu8Loc = nullptr;
  if (pu32LocLen) *pu32LocLen = 0;
  S32 e = JP2_Decomp_Check_Handle_and_Timeout(h);
  if (e) return e;
  if (!ppu8Ids || !pu16Count || !ppu8Loc || !pu32LocLen) return JP2_ERR_NULL_ARG;
  U8 *pu8;
  U32 u32Len;
  e = MetaData(h, &h->sUuidInfo, i, 0, &pu8, &u32Len);
  if (e < 0) return e;
  if (u32Len < 10) return e;
  U32 NU = (pu8[8] << 8) | pu8[9];
  if (10 + 16 * NU > u32Len) NU = (u32Len - 10) / 16;
  *ppu8Ids = pu8 + 10;
  *pu16Count = (U16)NU;
  U32 u32LocOff = 22 + 16 * NU;
  if (u32LocOff <= u32Len) {
    *ppu8Loc = pu8 + u32LocOff;
    *pu32LocLen = u32Len - u32LocOff;
  }
  return e;
}

S32 JP2_Decompress_GetIPTC_Num(JP2_Decomp_Handle h, U32 *pu32Count) {
  S32 e = MetaNum(h, h ? &h->sUuid : nullptr, pu32Count);
  if (e) return e;
  U32 n = 0;
  for (U32 i = 0; i < h->sUuid.u32Count; i++)
    if (memcmp(h->sUuid.pu8Id + 16 * i, kIptc, 16) == 0) n++;
  *pu32Count = n;
  return 0;
}

S32 JP2_Decompress_GetIPTC_Data(JP2_Decomp_Handle h, U32 u32N, U8 **pp, U32 *pl) {
  U32 u32Count;
  S32 e = MetaNum(h, h ? &h->sUuid : nullptr, &u32Count);
  if (e) return e;
  for (U32 i = 0; i < h->sUuid.u32Count; i++)
    if (memcmp(h->sUuid.pu8Id + 16 * i, kIptc, 16) == 0 && u32N-- == 0) return MetaData(h, &h->sUuid, i, 16, pp, pl);
  return JP2_ERR_META_INDEX;
}
