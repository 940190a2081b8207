// JP2 file format: signature, boxes up to the codestream, colour, palette and channel boxes.
#pragma once
#include "jp2/jp2_image.h"

#define JP2_BOX(a, b, c, d) (((U32)(a) << 24) | ((U32)(b) << 16) | ((U32)(c) << 8) | (U32)(d))

S32 JP2_File_Check_Format(JP2_Decomp *psHandle, U32 *pu32EndOfFtyp, U32 u32Offset);
S32 JP2_Decomp_Read_To_Codestream_Box(JP2_Decomp *psHandle, U32 *pu32Offset);
S32 JP2_File_Read_To_Codestream_Box(JP2_Decomp *psHandle, U32 *pu32Relative, U32 u32Start);
S32 JP2_File_Read_Additional_Boxes(JP2_Decomp *psHandle);
S32 JP2_File_Get_Number_Components(JP2_Cache *psCache, U32 *pu32Count);
S32 JP2_File_Build_Component_Map(JP2_Decomp *psHandle);

S32 JP2_File_Meta_Data_Init(JP2_Meta_List *psList, S32 s32HasId);
S32 JP2_File_Meta_Data_Add(JP2_Decomp *psHandle, JP2_Meta_List *psList, U32 u32Offset, U32 u32Length,
                           const U8 *pu8Id);
S32 JP2_File_Meta_Data_Free(JP2_Decomp *psHandle, JP2_Meta_List *psList);

S32 JP2_File_CSpec_Init(JP2_CSpec_List *psList);
S32 JP2_File_CSpec_Add(JP2_Decomp *psHandle, JP2_CSpec_List *psList, S32 s32Code, S32 s32Precedence, S32 s32Approx,
                       U8 *pu8Profile, U32 u32Length);
S32 JP2_File_CSpec_Set(JP2_Decomp *psHandle, JP2_CSpec_List *psList, U32 u32Index);
S32 JP2_File_CSpec_Free(JP2_Decomp *psHandle, JP2_CSpec_List *psList);
// Number of colour channels of the selected colour space (0 when a profile is refused).
S32 JP2_File_Colour_Channels(JP2_Decomp *psHandle, U32 *pu32Channels);
