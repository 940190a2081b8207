// The image record with its context tables, and the decoding handle with its fixed memory.
#include "jp2/jp2_image.h"

#include <cstring>

#include "jp2/jp2_codestream.h"
#include "jp2/jp2_file.h"
#include "jp2/jp2_format.h"
#include "jp2/jp2_mq.h"

namespace {

U8 ZeroContext(U32 idx, int kind) {
  U32 h = ((idx >> 3) & 1) + ((idx >> 4) & 1);
  U32 v = ((idx >> 1) & 1) + ((idx >> 6) & 1);
  U32 d = (idx & 1) + ((idx >> 2) & 1) + ((idx >> 5) & 1) + ((idx >> 7) & 1);
  U32 label;
  if (kind == 1) { // HL: vertical and horizontal swap roles
    U32 t = h;
    h = v;
    v = t;
  }
  if (kind == 2) {
    U32 hv = h + v;
    if (d >= 3) label = 8;
    else if (d == 2) label = hv >= 1 ? 7 : 6;
    else if (d == 1) label = hv >= 2 ? 5 : (hv == 1 ? 4 : 3);
    else label = hv >= 2 ? 2 : hv;
  } else {
    if (h == 2) label = 8;
    else if (h == 1) label = v >= 1 ? 7 : (d >= 1 ? 6 : 5);
    else if (v == 2) label = 4;
    else if (v == 1) label = 3;
    else label = d >= 2 ? 2 : d;
  }
  return (U8)(label + 1);
}

void BuildContextTables(JP2_Image *im) {
  for (U32 i = 0; i < 512; i++) {
    U32 nb = (i & 0xF) | ((i >> 1) & 0xF0); // the eight neighbours without the centre
    im->au8ZcLL[i] = ZeroContext(nb, 0);
    im->au8ZcHL[i] = ZeroContext(nb, 1);
    im->au8ZcHH[i] = ZeroContext(nb, 2);
  }
  for (U32 i = 0; i < 256; i++) {
    // Contribution of a neighbour pair: 1 positive, -1 negative, each clamped to one of each sign.
    auto side = [&](U32 a, U32 b) -> S32 {
      bool pos = ((i >> (2 * a + 1)) & 1 && !((i >> (2 * a)) & 1)) || ((i >> (2 * b + 1)) & 1 && !((i >> (2 * b)) & 1));
      bool neg = ((i >> (2 * a + 1)) & 1 && ((i >> (2 * a)) & 1)) || ((i >> (2 * b + 1)) & 1 && ((i >> (2 * b)) & 1));
      return pos == neg ? 0 : (pos ? 1 : -1);
    };
    S32 vc = side(0, 3), hc = side(1, 2);
    U32 label, x = 0;
    if (hc == 1) label = vc == 1 ? 13 : (vc == 0 ? 12 : 11);
    else if (hc == 0) {
      label = vc == 0 ? 9 : 10;
      x = vc == -1;
    } else {
      label = vc == 1 ? 11 : (vc == 0 ? 12 : 13);
      x = 1;
    }
    im->au32Sign[i] = (label + 1) | (x << 31);
  }
}

} // namespace

S32 JP2_Image_New(JP2_Image **ppsOut, JP2_Memory *m, U32 n) {
  *ppsOut = nullptr;
  JP2_Image *im = (JP2_Image *)JP2_Memory_Alloc_Zero(m, sizeof(JP2_Image));
  if (!im) return JP2_ERR_MEMORY;
  im->u32PlannedComps = n;
  im->u32TilesAcross = im->u32TilesDown = im->u32Tiles = 1;
  im->s32IsJP2 = 1;
  im->ps8Precision = (S8 *)JP2_Memory_Alloc_Zero(m, n);
  im->pu8XRsiz = (U8 *)JP2_Memory_Alloc_Zero(m, n);
  im->pu8YRsiz = (U8 *)JP2_Memory_Alloc_Zero(m, n);
  im->pu32OutRegion = (U32 *)JP2_Memory_Alloc_Zero(m, (S64)n * 16);
  im->pu32RefRegion = (U32 *)JP2_Memory_Alloc_Zero(m, (S64)n * 16);
  im->psMQStates = (JP2_MQ_State *)JP2_Memory_Alloc_Zero(m, JP2_MQ_STATES * sizeof(JP2_MQ_State));
  if (!im->ps8Precision || !im->pu8XRsiz || !im->pu8YRsiz || !im->pu32OutRegion || !im->pu32RefRegion ||
      !im->psMQStates || JP2_TLM_Marker_Array_New(&im->psTLM, m) != 0) {
    JP2_Image_Delete(&im, m);
    return JP2_ERR_MEMORY;
  }
  BuildContextTables(im);
  JP2_MQ_Build_States_Look_Up_Table(im->psMQStates);
  *ppsOut = im;
  return 0;
}

S32 JP2_Image_Delete(JP2_Image **ppsImage, JP2_Memory *m) {
  if (!ppsImage || !*ppsImage) return 0;
  JP2_Image *im = *ppsImage;
  void **appv[] = {(void **)&im->ps8Precision, (void **)&im->pu8XRsiz,      (void **)&im->pu8YRsiz,
                   (void **)&im->pu32OutRegion, (void **)&im->pu32RefRegion, (void **)&im->psMQStates,
                   (void **)&im->pu32PpmLen};
  for (void **ppv : appv)
    if (*ppv) {
      S32 e = JP2_Memory_Free(m, ppv);
      if (e) return e;
    }
  S32 e = JP2_TLM_Marker_Array_Delete(&im->psTLM);
  if (e) return e;
  return JP2_Memory_Free(m, ppsImage);
}

static U32 _JP2_Align8(U32 v) { return (v + 7u) & ~7u; }

S32 JP2_Decomp_New(JP2_Decomp **ppsOut, JP2_Cache *psCache, JP2_Read_Data *psRead, JP2_Read_Bits *psBits,
                   JP2_Memory *m) {
  *ppsOut = nullptr;
  U32 n;
  S32 e = JP2_Codestream_Get_Number_Components(psCache, &n);
  if (e) return e;
  // Fixed memory: handle, formatter part, output callback pair, scale record.
  U32 u32Format = 0;
  JP2_Format_Decomp_Get_Initial_Requirements(&u32Format, n);
  U32 u32Size = _JP2_Align8(sizeof(JP2_Decomp)) + _JP2_Align8(u32Format) + _JP2_Align8(sizeof(JP2_Output_Pair)) +
                _JP2_Align8(sizeof(JP2_Scale)) + 7;
  U8 *pu8 = (U8 *)JP2_Memory_Alloc_Zero(m, u32Size);
  if (!pu8) return JP2_ERR_MEMORY;
  U8 *p = (U8 *)(((uintptr_t)pu8 + 7) & ~(uintptr_t)7);
  JP2_Decomp *h = (JP2_Decomp *)p;
  p += _JP2_Align8(sizeof(JP2_Decomp));
  h->pu8Fixed = pu8;
  h->psMemory = m;
  h->psCache = psCache;
  h->psRead = psRead;
  h->psBits = psBits;
  U32 u32Used = 0;
  JP2_Format_Decomp_Set_Initial_Memory(h, p, &u32Used, n);
  p += _JP2_Align8(u32Used);
  h->psOutput = (JP2_Output_Pair *)p;
  p += _JP2_Align8(sizeof(JP2_Output_Pair));
  h->psScale = (JP2_Scale *)p;
  h->psScale->u32Identity = h->psScale->u32Reduction = h->psScale->u32Magnify = h->psScale->u32Rows = 1;
  h->u32Planned = n;
  if ((e = JP2_Image_New(&h->psImage, m, n)) != 0) {
    JP2_Memory_Free(m, &pu8);
    return e;
  }
  JP2_Format *f = h->psFormat;
  f->sCapture = {0, 1, 0, 0, 1, 0};
  f->sDisplay = {0, 1, 0, 1, 0, 0};
  JP2_File_Meta_Data_Init(&h->sXml, 0);
  JP2_File_Meta_Data_Init(&h->sIpr, 0);
  JP2_File_Meta_Data_Init(&h->sUuid, 1);
  JP2_File_Meta_Data_Init(&h->sUuidInfo, 0);
  JP2_File_Meta_Data_Init(&h->sCom, 0);
  JP2_File_CSpec_Init(&h->sCSpec);
  h->s32Valid = JP2_HANDLE_VALID;
  *ppsOut = h;
  return 0;
}

S32 JP2_Decomp_Check_Handle_and_Timeout(JP2_Decomp *h) {
  return (h && h->s32Valid == JP2_HANDLE_VALID) ? 0 : JP2_ERR_HANDLE;
}

U32 JP2_Image_Max_Line_Width(JP2_Image *im) {
  U32 w = 1;
  if (!im->psTiles) return w;
  for (U32 t = 0; t < im->u32Tiles; t++)
    if (im->psTiles[t].psComps)
      for (U32 c = 0; c < im->u16Csiz; c++)
        if (im->psTiles[t].psComps[c].u32FullWidth > w) w = im->psTiles[t].psComps[c].u32FullWidth;
  return w;
}
