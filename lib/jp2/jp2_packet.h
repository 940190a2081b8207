// Tier 2: bit reader, tag trees, packet headers and the five progression orders.
#pragma once
#include "jp2/jp2_image.h"

struct JP2_Read_Bits {
  JP2_Cache *psCache;
  U32 u32Pos;
  U8 u8Bit;
  U8 u8Byte;
  // Packed headers (PPM/PPT): positions are logical offsets into these chunks.
  const U32 *pu32MapPos;
  const U32 *pu32MapLen;
  U32 u32MapCount;
};

S32 JP2_Read_Bits_New(JP2_Read_Bits **ppsOut, JP2_Memory *psMemory, JP2_Cache *psCache);
S32 JP2_Read_Bits_Delete(JP2_Read_Bits **ppsBits, JP2_Memory *psMemory);
S32 JP2_Read_Bits_Set_Map(JP2_Read_Bits *psBits, const U32 *pu32Pos, const U32 *pu32Len, U32 u32Count);
S32 JP2_Read_Bits_Set_Position(JP2_Read_Bits *psBits, U32 u32Pos);
U32 JP2_Read_Bits_Get_Position(JP2_Read_Bits *psBits);
U32 JP2_Read_Bits_Get_Next_Bit(JP2_Read_Bits *psBits);
S32 JP2_Read_Bits_Byte_Align(JP2_Read_Bits *psBits);
S32 JP2_Read_Bits_Skip_Optional_SOP_Marker(JP2_Read_Bits *psBits);
S32 JP2_Read_Bits_Skip_EPH_Marker(JP2_Read_Bits *psBits);

U32 JP2_Tag_Num_Levels(U32 u32Width, U32 u32Height);
U32 JP2_Tag_Calc_Sum_Elements(U32 u32Width, U32 u32Height, U32 u32Levels);
S32 JP2_Tag_Init_Tree(JP2_Tag_Tree *psTree, JP2_Memory *psMemory, S32 *ps32Leaf, U32 u32Width, U32 u32Height,
                      U32 u32Layer, S32 s32Mode);
// Decodes the leaf (x, y) up to the threshold; returns through *pbKnown whether its value is below it.
S32 JP2_Tag_Rec_Read_Part_Tree(JP2_Tag_Tree *psTree, U32 x, U32 y, S32 s32Threshold, JP2_Read_Bits *psBits,
                               S32 *ps32Known);
S32 JP2_Tag_Rec_Read_Tree(JP2_Tag_Tree *psTree, U32 x, U32 y, JP2_Read_Bits *psBits, S32 *ps32Value);

S32 JP2_Packet_Decode_Header(JP2_Precinct *psPrec, JP2_Memory *psMemory, U32 u32Bands, U32 u32Layer,
                             S32 s32TermAll, S32 s32Bypass, S32 s32Sop, S32 s32Eph, U32 u32Layers,
                             JP2_Read_Bits *psBits);

S32 JP2_Prog_Decomp_LRCP(JP2_Decomp *psHandle, S32 *ps32Finished, U32 u32Tile);
S32 JP2_Prog_Decomp_RLCP(JP2_Decomp *psHandle, S32 *ps32Finished, U32 u32Tile);
S32 JP2_Prog_Decomp_RPCL(JP2_Decomp *psHandle, S32 *ps32Finished, U32 u32Tile);
S32 JP2_Prog_Decomp_PCRL(JP2_Decomp *psHandle, S32 *ps32Finished, U32 u32Tile);
S32 JP2_Prog_Decomp_CPRL(JP2_Decomp *psHandle, S32 *ps32Finished, U32 u32Tile);
