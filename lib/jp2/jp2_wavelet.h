// Inverse wavelet transform, one line at a time.
#pragma once
#include "jp2/jp2_image.h"

#define JP2_WAVELET_STAGES 5 // horizontal rows, then up to four vertical lifting steps
#define JP2_WAVELET_RING 4

struct JP2_Wavelet;

struct JP2_Wavelet_Level {
  U32 u32Width, u32Height;
  U32 u32LowCount, u32HighCount;
  U32 u32X0Odd, u32X1Odd, u32Y0Odd, u32Y1Odd;
  // Synthesis of one resolution from the level below and its own three bands.
  U32 u32X0, u32Y0;     // origin of the resolution
  U32 u32Res;           // resolution produced
  S32 *ps32Lines;       // ring rows of every stage
  U32 u32LineWords;
  S32 as32Next[JP2_WAVELET_STAGES]; // next row each stage will produce (relative to y0)
  U32 u32Delivered;     // rows handed to the caller
  // Window of the level that reaches the decoded region, with a margin for the filter support (relative to the
  // origin). Rows and columns outside it are not synthesised: no output sample depends on them.
  U32 u32ColLo, u32ColHi;
  S32 s32RowLo, s32RowHi;
};

struct JP2_Wavelet {
  JP2_Decomp *psHandle;
  U32 u32Tile, u32Comp;
  U32 u32Delivered;
  JP2_Wavelet_Level *psLevels; // index r - 1 produces resolution r
  U32 u32Levels;               // resolutions synthesised
  S32 s32Mode;                 // 0 5/3 32-bit, 1 5/3 16-bit, 2 9/7 float, 3 9/7 16-bit fixed
  S32 *ps32Zero;
  S32 *ps32Low, *ps32High; // the low and high runs of the row being synthesised, with a spare sample each side
};

S32 JP2_Wavelet_Decomp_New(JP2_Wavelet **ppsOut, JP2_Memory *psMemory, JP2_Decomp *psHandle, U32 u32Tile,
                           U32 u32Comp);
S32 JP2_Wavelet_Decomp_Delete(JP2_Wavelet **ppsWavelet, JP2_Memory *psMemory);
S32 JP2_Wavelet_Decomp_Next_Line(JP2_Wavelet *psWavelet, S32 **pps32Line);
// Drops the next n lines before any line was delivered: rows above the decoded window are passed over without
// touching the band buffers' rows or the synthesis, and only the rows near the window are produced.
void JP2_Wavelet_Decomp_Skip_Lines(JP2_Wavelet *psWavelet, U32 u32Lines);
