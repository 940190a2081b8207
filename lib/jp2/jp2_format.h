// Output formatting: colour transform, level shift, clipping, scaling and casting of lines.
#pragma once
#include "jp2/jp2_image.h"

struct JP2_Wavelet;

S32 JP2_Format_Decomp_Get_Initial_Requirements(U32 *pu32Size, U32 u32Components);
S32 JP2_Format_Decomp_Set_Initial_Memory(JP2_Decomp *psHandle, U8 *pu8Memory, U32 *pu32Used, U32 u32Components);
S32 JP2_Format_Decomp_Get_Main_Requirements(JP2_Decomp *psHandle, U32 *pu32Size);
S32 JP2_Format_Decomp_Set_Main_Memory(JP2_Decomp *psHandle, U8 *pu8Memory, U32 *pu32Used);
S32 JP2_Decompress_No_Colour_Transform(JP2_Decomp *psHandle);
S32 JP2_Format_Decomp(JP2_Wavelet *psWavelet, JP2_Decomp *psHandle, U32 u32Tile, U32 u32Comp);
