// Inverse wavelet transform, one line at a time.
#pragma once
#include "jp2/jp2_image.h"

struct JP2_Wavelet_Level {
  U32 u32Width, u32Height;
  U32 u32LowCount, u32HighCount;
  U32 u32X0Odd, u32X1Odd, u32Y0Odd, u32Y1Odd;
  U32 u32Y0; // top row index of the level
  U32 u32RowsLeft;
  JP2_Resolution *psRes;
  // Window: lines of this level's vertical synthesis.
  void *pvLines;          // the block of all lines
  void *apvRow[12];
  U32 u32LineBytes;
  U32 u32NextRow;        // next output row to deliver
  U32 u32RowsMade;       // rows of the level made final so far
  S32 s32Started;
};

struct JP2_Wavelet {
  JP2_Decomp *psHandle;
  U32 u32Tile, u32Comp;
  U32 u32Delivered;
  JP2_Wavelet_Level *psLevels;
  U32 u32Levels;
};

S32 JP2_Wavelet_Decomp_New(JP2_Wavelet **ppsOut, JP2_Memory *psMemory, JP2_Decomp *psHandle, U32 u32Tile,
                           U32 u32Comp);
S32 JP2_Wavelet_Decomp_Delete(JP2_Wavelet **ppsWavelet, JP2_Memory *psMemory);
S32 JP2_Wavelet_Decomp_Next_Line(JP2_Wavelet *psWavelet, void **ppvLine);
