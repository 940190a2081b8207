// Regions, reductions and the scaled output of a decoding call.
#pragma once
#include "jp2/jp2_image.h"

S32 JP2_Partial_Decoding_Calculate_Regions(JP2_Decomp *psHandle, U32 x0, U32 x1, U32 y0, U32 y1);
S32 JP2_Partial_Decoding_Valid_Region(JP2_Decomp *psHandle, U32 x0, U32 x1, U32 y0, U32 y1);
S32 JP2_Partial_Decoding_Init(JP2_Decomp *psHandle, U32 u32Tile);
S32 JP2_Scale_Init_Structure(JP2_Decomp *psHandle);
S32 JP2_Scale_Free_Structure(JP2_Decomp *psHandle);
S32 JP2_Scale_Downwards(S32 **pps32Rows, S32 *ps32Out, U32 u32InCount, U32 u32Rows, U32 u32OutCount, U32 u32Factor,
                        S32 s32Pick);
S32 JP2_Scale_Upwards(const S32 *ps32Prev, const S32 *ps32Cur, S32 *ps32Out, U32 u32InCount, U32 m);
U16 JP2_Decomp_Get_Output_Component_Index(JP2_Decomp *psHandle);
S32 JP2_Decomp_Set_Output_Component_Index(JP2_Decomp *psHandle, U16 u16Index);
S32 JP2_Clip_and_Write_Decomp_Array(JP2_Decomp *psHandle, const void *pvSamples, U32 u32Count, U32 u32Row,
                                    U32 u32Col, U32 u32Comp);
// Bytes per output sample of a component: 1, 2 or 4.
U32 JP2_Output_Sample_Size(JP2_Image *psImage, U32 u32Comp);
