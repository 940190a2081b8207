// Basic types and callback signatures of the JPEG 2000 decoder.
#pragma once
#include "corvan/types.h"

// Caller's callbacks; every parameter is handed back unchanged.
typedef void *(*JP2_Callback_Malloc)(U32 u32Size, void *pvParam);
typedef S32 (*JP2_Callback_Free)(void *pvBlock, void *pvParam);
// Returns the number of bytes placed at pDest (fewer: end of data or failure).
typedef U32 (*JP2_Callback_Read)(U8 *pDest, U32 u32Offset, U32 u32Count, void *pvParam);
// Returns 0 on success.
typedef S32 (*JP2_Callback_Write)(const U8 *pData, U32 u32Offset, U32 u32Count, void *pvParam);
// Output-line callback: samples, output channel, row, column, count, parameter; 0 goes on.
typedef S32 (*JP2_Callback_Output)(const void *pvSamples, S16 s16Channel, U32 u32Row, U32 u32Col, U32 u32Count,
                                   void *pvParam);
// Line-start callback: 0 goes on.
typedef S32 (*JP2_Callback_Line_Start)(void *pvParam);

// Result codes.
enum {
  JP2_OK = 0,
  JP2_WARN_SHORT_DATA = 10,
  JP2_ERR_MEMORY = -1,
  JP2_ERR_SHORT_READ = -2,
  JP2_ERR_HANDLE = -4,
  JP2_ERR_NULL_ARG = -5,
  JP2_ERR_COMPONENTS = -6,
  JP2_ERR_CHANNEL = -7,
  JP2_ERR_VALUE = -8,
  JP2_ERR_PROPERTY = -9,
  JP2_ERR_PRECISION = -12,
  JP2_ERR_ORIGIN = -13,
  JP2_ERR_COLOUR_SPACE = -14,
  JP2_ERR_SUBSAMPLING = -15,
  JP2_ERR_TILE = -16,
  JP2_ERR_RESOLUTION_LEVEL = -17,
  JP2_ERR_SYNTAX = -19,
  JP2_ERR_READ_ONLY = -22,
  JP2_ERR_UNAVAILABLE = -26,
  JP2_ERR_NO_READ_CALLBACK = -30,
  JP2_ERR_TOO_LARGE = -35,
  JP2_ERR_SCALE = -40,
  JP2_ERR_UNIT = -42,
  JP2_ERR_WHICH = -43,
  JP2_ERR_BOX_READ = -50,
  JP2_ERR_STOPPED = -51,
  JP2_ERR_META_INDEX = -54,
  JP2_ERR_CSPEC_INDEX = -55,
  JP2_ERR_ICC = -56,
  JP2_ERR_CMAP_NO_PALETTE = -59,
  JP2_ERR_PALETTE_NO_CMAP = -61,
  JP2_ERR_CMAP_MISMATCH = -62,
  JP2_ERR_NO_CHANNEL_DEF = -63,
  JP2_ERR_EMPTY_REGION = -67,
  JP2_ERR_GENERAL = -100,
  JP2_ERR_RES_BOX = -999,
};

// Shifts by 32 or more give 0.
static inline U32 JP2_Pow2(U32 n) { return n >= 32 ? 0u : (1u << n); }
static inline U32 JP2_Ceil_Div(U32 a, U32 b) { return b ? (U32)(((U64)a + b - 1) / b) : 0; }
static inline U32 JP2_Ceil_Div_Pow2(U32 a, U32 n) {
  return n >= 32 ? (a ? 1u : 0u) : (U32)(((U64)a + ((U64)1 << n) - 1) >> n);
}
