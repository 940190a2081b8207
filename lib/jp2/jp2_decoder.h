// Public interface of the JPEG 2000 decoder.
#pragma once
#include <cstdint>

#include "jp2/jp2_types.h"

struct JP2_Decomp;
struct JP2_Palette;
struct JP2_Resolution_Values;
typedef JP2_Decomp *JP2_Decomp_Handle;
// Property values are pointer-sized: properties 50 to 53 carry callbacks and parameters.
typedef uintptr_t JP2_Property_Value;

struct JP2_Channel_Def {
  U32 u32Type, u32Assoc;
};
struct JP2_Colour_Spec {
  S32 s32Code, s32Precedence, s32Approx;
};

S32 JP2_Decompress_Start(JP2_Decomp_Handle *phOut, JP2_Callback_Malloc pfMalloc, void *pvMallocParam,
                         JP2_Callback_Free pfFree, void *pvFreeParam, JP2_Callback_Read pfRead, void *pvReadParam);
S32 JP2_Decompress_End(JP2_Decomp_Handle h);
S32 JP2_Decompress_GetProp(JP2_Decomp_Handle h, S32 s32Prop, JP2_Property_Value *pValue, S32 s32Tile, S16 s16Channel);
S32 JP2_Decompress_SetProp(JP2_Decomp_Handle h, S32 s32Prop, JP2_Property_Value value);
S32 JP2_Decompress_Region(JP2_Decomp_Handle h, U32 x0, U32 x1, U32 y0, U32 y1);
S32 JP2_Decompress_Image(JP2_Decomp_Handle h);
S32 JP2_Decompress_GetResolution(JP2_Decomp_Handle h, U32 *pu32Vertical, U32 *pu32Horizontal,
                                 JP2_Resolution_Values *psRecord, S32 s32Unit, S32 s32Which);
S32 JP2_Decompress_GetPrecinct(JP2_Decomp_Handle h, U32 *pu32PPx, U32 *pu32PPy, S32 s32Tile, S16 s16Comp,
                               S32 s32Level);
S32 JP2_Decompress_GetPalette(JP2_Decomp_Handle h, JP2_Palette **ppsPalette);
S32 JP2_Decompress_GetChannelDefs(JP2_Decomp_Handle h, const JP2_Channel_Def **ppsTable, U32 *pu32Count);
S32 JP2_Decompress_GetColorSpec(JP2_Decomp_Handle h, U32 *pu32Count, const JP2_Colour_Spec **ppsRecords);
S32 JP2_Decompress_SetColorSpec(JP2_Decomp_Handle h, U32 u32Index);
S32 JP2_Decompress_GetICC(JP2_Decomp_Handle h, U8 **ppu8Profile, U32 *pu32Length);
S32 JP2_Decompress_GetLAB(JP2_Decomp_Handle h, U32 *pu32Record);
S32 JP2_General_CheckICC(const U8 *pu8Profile, U32 u32Length, S32 *ps32Supported, S32 *ps32Restricted,
                         U32 *pu32Channels);
S32 JP2_Decompress_GetCOM_Num(JP2_Decomp_Handle h, U32 *pu32Count);
S32 JP2_Decompress_GetCOM_Data(JP2_Decomp_Handle h, U32 u32Index, U16 *pu16Registration, U8 **ppu8Data,
                               U32 *pu32Length);
S32 JP2_Decompress_GetXML_Num(JP2_Decomp_Handle h, U32 *pu32Count);
S32 JP2_Decompress_GetXML_Data(JP2_Decomp_Handle h, U32 u32Index, U8 **ppu8Data, U32 *pu32Length);
S32 JP2_Decompress_GetIP_Num(JP2_Decomp_Handle h, U32 *pu32Count);
S32 JP2_Decompress_GetIP_Data(JP2_Decomp_Handle h, U32 u32Index, U8 **ppu8Data, U32 *pu32Length);
S32 JP2_Decompress_GetUUID_Num(JP2_Decomp_Handle h, U32 *pu32Count);
S32 JP2_Decompress_GetUUID_Id(JP2_Decomp_Handle h, U32 u32Index, U8 *pu8Id);
S32 JP2_Decompress_GetUUID_Data(JP2_Decomp_Handle h, U32 u32Index, U8 **ppu8Data, U32 *pu32Length);
S32 JP2_Decompress_GetUUID_Info_Num(JP2_Decomp_Handle h, U32 *pu32Count);
S32 JP2_Decompress_GetUUID_Info_Data(JP2_Decomp_Handle h, U32 u32Index, U8 **ppu8Ids, U16 *pu16Count,
                                     U8 **ppu8Location, U32 *pu32LocationLength);
S32 JP2_Decompress_GetIPTC_Num(JP2_Decomp_Handle h, U32 *pu32Count);
S32 JP2_Decompress_GetIPTC_Data(JP2_Decomp_Handle h, U32 u32N, U8 **ppu8Data, U32 *pu32Length);
