// Main header and tile-part headers of a codestream.
#pragma once
#include "jp2/jp2_image.h"

enum {
  JP2_MARKER_SOC = 0xFF4F,
  JP2_MARKER_SIZ = 0xFF51,
  JP2_MARKER_COD = 0xFF52,
  JP2_MARKER_COC = 0xFF53,
  JP2_MARKER_TLM = 0xFF55,
  JP2_MARKER_PLM = 0xFF57,
  JP2_MARKER_PLT = 0xFF58,
  JP2_MARKER_QCD = 0xFF5C,
  JP2_MARKER_QCC = 0xFF5D,
  JP2_MARKER_RGN = 0xFF5E,
  JP2_MARKER_POC = 0xFF5F,
  JP2_MARKER_PPM = 0xFF60,
  JP2_MARKER_PPT = 0xFF61,
  JP2_MARKER_CRG = 0xFF63,
  JP2_MARKER_COM = 0xFF64,
  JP2_MARKER_SOT = 0xFF90,
  JP2_MARKER_SOP = 0xFF91,
  JP2_MARKER_EPH = 0xFF92,
  JP2_MARKER_SOD = 0xFF93,
  JP2_MARKER_EOC = 0xFFD9,
};

S32 JP2_Codestream_Get_Number_Components(JP2_Cache *psCache, U32 *pu32Count);
S32 JP2_Codestream_Read_Main_Header(JP2_Decomp *psHandle, U32 *pu32Position);
S32 JP2_Codestream_Read_Tile_Header(JP2_Decomp *psHandle, U32 *pu32TilePartEnd, U32 u32Position, U32 *pu32Tile);

S32 JP2_TLM_Marker_Array_New(JP2_TLM_Array **ppsOut, JP2_Memory *psMemory);
S32 JP2_TLM_Marker_Array_Delete(JP2_TLM_Array **ppsArray);
U32 JP2_TLM_Marker_Array_Get_Num_Markers(JP2_TLM_Array *psArray);
S32 JP2_TLM_Marker_Array_Read_and_Add_Marker(JP2_TLM_Array *psArray, JP2_Cache *psCache, U32 u32Position, U32 u32L,
                                             U32 u32Tiles);

// Logical packet-header streams made of PPM or PPT chunks: reads one byte at a logical position.
S32 JP2_Codestream_Chunk_Read_Byte(JP2_Cache *psCache, const U32 *pu32Pos, const U32 *pu32Len, U32 u32Count,
                                   U32 u32Logical, U8 *pu8Value);
U32 JP2_Codestream_Chunk_Total(const U32 *pu32Len, U32 u32Count);
