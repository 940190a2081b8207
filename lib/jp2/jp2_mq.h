// MQ arithmetic decoder with pre-expanded state records.
#pragma once
#include "jp2/jp2_memory.h"

struct JP2_MQ_State {
  U32 u32Mps;
  U32 u32Qe; // Qe << 16
  JP2_MQ_State *psNextMps;
  JP2_MQ_State *psNextLps;
};

#define JP2_MQ_STATES 94
#define JP2_MQ_CONTEXTS 19

struct JP2_MQ_Decoder {
  U32 u32A;
  U32 u32C;
  S32 s32CT;
  U8 *pu8Next;
  U8 *pu8End;
  U8 au8Saved[2];
  JP2_MQ_State *apsCtx[JP2_MQ_CONTEXTS];
  JP2_MQ_State *psTable;
  U8 *pu8Start;   // first data byte of the code buffer
  U32 u32SegIndex; // next segment length to use
  S32 s32Left;     // bytes left
  const U32 *pu32SegLen;
  U32 u32SegCount;
  U8 *pu8SegStart;
};

S32 JP2_MQ_Build_States_Look_Up_Table(JP2_MQ_State *psTable);
S32 JP2_MQ_Decoder_New(JP2_MQ_Decoder **ppsOut, JP2_Memory *psMemory, JP2_MQ_State *psTable, U8 *pu8Code);
S32 JP2_MQ_Decoder_Delete(JP2_MQ_Decoder **ppsDecoder, JP2_Memory *psMemory);
S32 JP2_MQ_Decoder_Reset_States(JP2_MQ_Decoder *psDecoder, JP2_MQ_State *psTable);
// Starts the next segment: arithmetic-coded (INITDEC) unless bRaw.
S32 JP2_MQ_Decoder_Init_J(JP2_MQ_Decoder *psDecoder, S32 s32Raw);
S32 JP2_MQ_Decoder_Prepare_Bypass(JP2_MQ_Decoder *psDecoder, U32 u32Pass);
S32 JP2_MQ_Decoder_Prepare_All_Term_Bypass(JP2_MQ_Decoder *psDecoder, U32 u32Pass);
U32 JP2_MQ_Decode(JP2_MQ_Decoder *psDecoder, U32 u32Ctx);
U32 JP2_MQ_Raw_Bit(JP2_MQ_Decoder *psDecoder);
