// MQ arithmetic decoder with pre-expanded state records.
#pragma once
#include "jp2/jp2_memory.h"

struct JP2_MQ_State {
  U32 u32Mps;
  U32 u32Qe; // Qe << 16, the scale of the A register
  JP2_MQ_State *psNextMps;
  JP2_MQ_State *psNextLps;
};

#define JP2_MQ_STATES 94
#define JP2_MQ_CONTEXTS 19

struct JP2_MQ_Decoder {
  U32 u32A; // A << 16
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

// The decoder's registers, copied into locals for the length of a coding pass so that they stay in registers.
struct JP2_MQ_Registers {
  U32 a, c;
  S32 ct;
  U8 *next;

  explicit JP2_MQ_Registers(const JP2_MQ_Decoder *d) : a(d->u32A), c(d->u32C), ct(d->s32CT), next(d->pu8Next) {}
  void Store(JP2_MQ_Decoder *d) const {
    d->u32A = a;
    d->u32C = c;
    d->s32CT = ct;
    d->pu8Next = next;
  }
  // BYTEIN: 0xFF followed by a byte above 0x8F is a marker; the pointer stays and 1-bits are fed from then on.
  inline __attribute__((always_inline)) void ByteIn() {
    if (*next == 0xFF) {
      if (next[1] > 0x8F) {
        c += 0xFF00;
        ct = 8;
      } else {
        next++;
        c += (U32)*next << 9;
        ct = 7;
      }
    } else {
      next++;
      c += (U32)*next << 8;
      ct = 8;
    }
  }
  // RENORMD: whole shifts at once while the bit counter allows, bit by bit across a byte boundary.
  inline __attribute__((always_inline)) void Renorm() {
    S32 n = __builtin_clz(a);
    if (n <= ct) {
      a <<= n;
      c <<= n;
      ct -= n;
      return;
    }
    do {
      if (ct == 0) ByteIn();
      a <<= 1;
      c <<= 1;
      ct--;
    } while (!(a & 0x80000000u));
  }
  inline __attribute__((always_inline)) U32 Decode(JP2_MQ_State **cx) {
    JP2_MQ_State *s = *cx;
    U32 qe = s->u32Qe, bit;
    a -= qe;
    if (c < qe) {
      // Lower sub-interval: the conditional exchange decides between LPS and MPS.
      if (a < qe) {
        bit = s->u32Mps;
        *cx = s->psNextMps;
      } else {
        bit = s->u32Mps ^ 1;
        *cx = s->psNextLps;
      }
      a = qe;
    } else {
      c -= qe;
      if (a & 0x80000000u) return s->u32Mps;
      if (a < qe) {
        bit = s->u32Mps ^ 1;
        *cx = s->psNextLps;
      } else {
        bit = s->u32Mps;
        *cx = s->psNextMps;
      }
    }
    Renorm();
    return bit;
  }
  // The same decision without branches on the interval, for contexts whose symbols are close to even odds (the
  // branches of Decode would be mispredicted about half the time there).
  inline __attribute__((always_inline)) U32 DecodeEven(JP2_MQ_State **cx) {
    JP2_MQ_State *s = *cx;
    U32 qe = s->u32Qe;
    a -= qe;
    U32 lower = c < qe;
    U32 lps = lower ^ (a < qe);
    U32 renorm = lower | (a < 0x80000000u);
    U32 keep = 0u - lower; // all ones in the lower sub-interval
    c -= qe & ~keep;
    a = (qe & keep) | (a & ~keep);
    JP2_MQ_State *next = lps ? s->psNextLps : s->psNextMps;
    *cx = renorm ? next : s;
    S32 n = __builtin_clz(a);
    if (n <= ct) {
      a <<= n;
      c <<= n;
      ct -= n;
    } else {
      Renorm();
    }
    return s->u32Mps ^ lps;
  }
};
