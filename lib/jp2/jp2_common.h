// Small helpers shared by the decoder's modules.
#pragma once
#include "jp2/jp2_types.h"

struct JP2_Wavelet_Level;

S32 JP2_Common_GCD(S32 a, S32 b);
S32 JP2_Common_LCM(S32 a, S32 b);
U64 JP2_Common_GCD64(U64 a, U64 b);
// Fills L + 1 level records from the full-resolution rectangle.
S32 JP2_Common_Calc_Widths_Heights(U32 u32Width, U32 u32Height, U32 u32X0, U32 u32Y0, U32 u32Levels,
                                   JP2_Wavelet_Level *psLevels);
S32 JP2_Common_Get_Native_Byte_Order();
S32 JP2_Common_SIMD_Support();
