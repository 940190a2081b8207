// The decoder's driver: tile-part reading, per-tile decoding and the reset between decoding calls.
#pragma once
#include "jp2/jp2_image.h"

S32 JP2_Decomp_Read_Single_Tile_Part_Header_and_Packets(JP2_Decomp *psHandle, U32 u32Offset, U32 *pu32Next);
S32 JP2_Decomp_Read_All_Tile_Part_Headers_and_Packets(JP2_Decomp *psHandle, U32 u32Offset);
S32 JP2_TLM_Marker_Array_Read_Tile_Parts_and_Packet_Headers(JP2_TLM_Array *psArray, U32 u32FirstSOT,
                                                            JP2_Decomp *psHandle);
S32 JP2_Decomp_Decode_Tile(JP2_Decomp *psHandle, U32 u32Tile);
S32 JP2_Image_Decomp_Reset_Decoding_Handle(JP2_Decomp *psHandle);
// Saves the tile-part reading state left by the main header.
S32 JP2_Image_Decomp_Save_State(JP2_Decomp *psHandle);
// Frees every tile's resolution-to-code-block arrays.
S32 JP2_Decomp_Free_All_Tiles(JP2_Decomp *psHandle);
// Steps 1 to 6 of a decoding call: reset, regions, partial decoding set-up and the reading of tile-parts.
S32 JP2_Decomp_Prepare_Region(JP2_Decomp *psHandle, U32 x0, U32 x1, U32 y0, U32 y1);
