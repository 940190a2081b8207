// Band buffers: one row of code-blocks per band, decoded when the wavelet needs its rows.
#pragma once
#include "jp2/jp2_image.h"

struct JP2_Band_Buffer {
  JP2_Tile *psTile;
  JP2_Tile_Comp *psComp;
  JP2_Resolution *psRes;
  U32 u32Tile, u32Comp, u32Res, u32Band, u32Kind; // kind: 0 LL, 1 HL, 2 LH, 3 HH
  U32 u32X0, u32Y0, u32X1, u32Y1;                  // band rectangle
  U32 u32Width, u32LineLength;
  U32 u32MaxBlockWidth, u32MaxBlockHeight;
  S32 *ps32Storage;  // one row of code-blocks
  S32 *ps32Zero;     // a row for band rows outside the decoded region
  U32 u32RowTop;     // band row of the buffered code-block row
  S32 s32Filled;
  U32 u32Current;    // next band row
  U32 u32Left, u32Right, u32Top, u32Bottom;
  U32 u32ColLo, u32ColHi; // band columns held in the storage (relative to x0): the region's with a margin
  float fScale;
  const U8 *pu8Zc;
  S32 s32RefCount;
};

S32 JP2_Band_Buffer_New(JP2_Band_Buffer **ppsOut, JP2_Memory *psMemory, JP2_Image *psImage, U32 u32Tile, U32 u32Comp,
                        U32 u32Res, U32 u32Band, float fLevelScale);
S32 JP2_Band_Buffer_Get_Next_Line(JP2_Band_Buffer *psBuffer, JP2_Decomp *psHandle, S32 **pps32Line);
// Moves on by n band rows without delivering them (rows that feed no decoded sample).
void JP2_Band_Buffer_Skip_Lines(JP2_Band_Buffer *psBuffer, U32 u32Lines);
S32 JP2_Band_Buffer_Delete(JP2_Band_Buffer **ppsBuffer, JP2_Memory *psMemory);
S32 JP2_Band_Buffer_Add_Ref(JP2_Band_Buffer *psBuffer);
U32 JP2_Band_Buffer_Get_Max_Block_Width(JP2_Band_Buffer *psBuffer);
U32 JP2_Band_Buffer_Get_Max_Block_Height(JP2_Band_Buffer *psBuffer);
U32 JP2_Band_Buffer_Get_Decode_Left(JP2_Band_Buffer *psBuffer);
U32 JP2_Band_Buffer_Get_Decode_Right(JP2_Band_Buffer *psBuffer);
// Lines hold the band columns [first, first + count) (relative to the band's x0): element 0 is column first.
U32 JP2_Band_Buffer_Get_First_Column(JP2_Band_Buffer *psBuffer);
U32 JP2_Band_Buffer_Get_Column_Count(JP2_Band_Buffer *psBuffer);
S32 JP2_Tile_Allocate_Band_Buffers(JP2_Tile *psTiles, JP2_Memory *psMemory, JP2_Image *psImage, U32 u32Tile);
S32 JP2_Tile_Free_Band_Buffers(JP2_Tile *psTiles, JP2_Memory *psMemory, JP2_Image *psImage, U32 u32Tile);

#define JP2_K 1.2301741f
#define JP2_INV_K 0.8128931f
#define JP2_K2 1.5133282f
#define JP2_INV_K2 0.66079515f
