// Lines leave the decoder here: component transform, level shift, clipping, scaling, cast and write.
#include "jp2/jp2_format.h"

#include <cstring>

#include "jp2/jp2_common.h"

static U32 _JP2_Align8(U32 v) { return (v + 7u) & ~7u; }

S32 JP2_Format_Decomp_Get_Initial_Requirements(U32 *pu32Size, U32 n) {
  *pu32Size = _JP2_Align8(sizeof(JP2_Format)) + 7 * _JP2_Align8(4 * n);
  return 0;
}

S32 JP2_Format_Decomp_Set_Initial_Memory(JP2_Decomp *h, U8 *p, U32 *pu32Used, U32 n) {
  JP2_Format *f = (JP2_Format *)p;
  memset(f, 0, sizeof(*f));
  U8 *q = p + _JP2_Align8(sizeof(JP2_Format));
  U32 **appu32[7] = {&f->pu32Map, &f->pu32OriginX, &f->pu32OriginY, &f->pu32FullWidth, &f->pu32FullHeight,
                     &f->pu32OutWidth, &f->pu32OutHeight};
  for (U32 **pp : appu32) {
    *pp = (U32 *)q;
    q += _JP2_Align8(4 * n);
  }
  h->psFormat = f;
  h->pfLineStart = nullptr;
  h->pvLineStartParam = nullptr;
  JP2_Format_Decomp_Get_Initial_Requirements(pu32Used, n);
  return 0;
}

S32 JP2_Format_Decomp_Get_Main_Requirements(JP2_Decomp *h, U32 *pu32Size) {
  JP2_Format *f = h->psFormat;
  JP2_Image *im = h->psImage;
  *pu32Size = 0;
  f->s32NativeByteOrder = f->s32OutByteOrder = JP2_Common_Get_Native_Byte_Order();
  f->au8Flags[0] = 1;
  f->au8Flags[1] = 0;
  f->au8Flags[2] = 0;
  if (f->u8Mct) {
    if (im->u16Csiz < 3) return JP2_ERR_COMPONENTS;
    if (im->ps8Precision[0] != im->ps8Precision[1] || im->ps8Precision[0] != im->ps8Precision[2])
      return JP2_ERR_PRECISION;
    if (im->pu8XRsiz[0] != im->pu8XRsiz[1] || im->pu8XRsiz[0] != im->pu8XRsiz[2]) return JP2_ERR_SUBSAMPLING;
    if (im->pu8YRsiz[0] != im->pu8YRsiz[1] || im->pu8YRsiz[0] != im->pu8YRsiz[2]) return JP2_ERR_SUBSAMPLING;
  }
  if (im->u32XOsiz < im->u32XTOsiz || im->u32YOsiz < im->u32YTOsiz ||
      (U64)im->u32XOsiz >= (U64)im->u32XTOsiz + im->u32XTsiz || (U64)im->u32YOsiz >= (U64)im->u32YTOsiz + im->u32YTsiz)
    return JP2_ERR_ORIGIN;
  U64 u64Line = _JP2_Align8((U32)(((U64)im->u32XTsiz + 3) * 4 > 0x7FFFFFF0 ? 0x7FFFFFF0 : ((U64)im->u32XTsiz + 3) * 4));
  U64 u64Size = u64Line * (f->u8Mct ? 4 : 1);
  if (u64Size > JP2_MEMORY_MAX_REQUEST) return JP2_ERR_MEMORY;
  *pu32Size = (U32)u64Size;
  return 0;
}

S32 JP2_Format_Decomp_Set_Main_Memory(JP2_Decomp *h, U8 *p, U32 *pu32Used) {
  JP2_Format *f = h->psFormat;
  U32 u32Line = _JP2_Align8((h->psImage->u32XTsiz + 3) * 4);
  U32 n = f->u8Mct ? 4 : 1;
  for (U32 i = 0; i < 4; i++) f->aps32FormatLine[i] = i < n ? (S32 *)(p + i * u32Line) : nullptr;
  *pu32Used = u32Line * n;
  return 0;
}

S32 JP2_Decompress_No_Colour_Transform(JP2_Decomp *h) {
  if (!h || h->s32Valid != JP2_HANDLE_VALID) return JP2_ERR_HANDLE;
  h->psFormat->u8Mct = 0;
  return 0;
}
