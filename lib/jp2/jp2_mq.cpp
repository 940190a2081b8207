// MQ decoder of the standard; each segment ends in 0xFF 0xFF so decoding never reads past it.
#include "jp2/jp2_mq.h"

#include <cstring>

namespace {
const U16 kQe[47] = {0x5601, 0x3401, 0x1801, 0x0AC1, 0x0521, 0x0221, 0x5601, 0x5401, 0x4801, 0x3801, 0x3001, 0x2401,
                     0x1C01, 0x1601, 0x5601, 0x5401, 0x5101, 0x4801, 0x3801, 0x3401, 0x3001, 0x2801, 0x2401, 0x2201,
                     0x1C01, 0x1801, 0x1601, 0x1401, 0x1201, 0x1101, 0x0AC1, 0x09C1, 0x08A1, 0x0521, 0x0441, 0x02A1,
                     0x0221, 0x0141, 0x0111, 0x0085, 0x0049, 0x0025, 0x0015, 0x0009, 0x0005, 0x0001, 0x5601};
const U8 kNmps[47] = {1,  2,  3,  4,  5,  38, 7,  8,  9,  10, 11, 12, 13, 29, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24,
                      25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 45, 46};
const U8 kNlps[47] = {1,  6,  9,  12, 29, 33, 6,  14, 14, 14, 17, 18, 20, 21, 14, 14, 15, 16, 17, 18, 19, 19, 20, 21,
                      22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 46};
const U8 kSwitch[47] = {1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};

} // namespace

S32 JP2_MQ_Build_States_Look_Up_Table(JP2_MQ_State *t) {
  for (U32 s = 0; s < 47; s++)
    for (U32 m = 0; m < 2; m++) {
      JP2_MQ_State *r = &t[2 * s + m];
      r->u32Mps = m;
      r->u32Qe = (U32)kQe[s] << 16;
      r->psNextMps = &t[2 * kNmps[s] + m];
      r->psNextLps = &t[2 * kNlps[s] + (kSwitch[s] ? 1 - m : m)];
    }
  return 0;
}

S32 JP2_MQ_Decoder_New(JP2_MQ_Decoder **ppsOut, JP2_Memory *m, JP2_MQ_State *t, U8 *pu8Code) {
  JP2_MQ_Decoder *d = (JP2_MQ_Decoder *)JP2_Memory_Alloc_Zero(m, sizeof(JP2_MQ_Decoder));
  *ppsOut = d;
  if (!d) return JP2_ERR_MEMORY;
  d->psTable = t;
  d->pu8Start = pu8Code + 1;
  d->pu8SegStart = d->pu8Start;
  d->pu8Next = d->pu8Start;
  JP2_MQ_Decoder_Reset_States(d, t);
  return 0;
}

S32 JP2_MQ_Decoder_Delete(JP2_MQ_Decoder **ppsDecoder, JP2_Memory *m) { return JP2_Memory_Free(m, ppsDecoder); }

S32 JP2_MQ_Decoder_Reset_States(JP2_MQ_Decoder *d, JP2_MQ_State *t) {
  for (U32 i = 0; i < JP2_MQ_CONTEXTS; i++) d->apsCtx[i] = &t[0];
  d->apsCtx[0] = &t[2 * 3];
  d->apsCtx[1] = &t[2 * 4];
  d->apsCtx[18] = &t[2 * 46];
  return 0;
}

S32 JP2_MQ_Decoder_Init_J(JP2_MQ_Decoder *d, S32 s32Raw) {
  U32 u32Len = d->u32SegIndex < d->u32SegCount ? d->pu32SegLen[d->u32SegIndex] : 0;
  d->u32SegIndex++;
  S32 s32Before = d->s32Left;
  d->s32Left -= (S32)(u32Len > 0x7FFFFFFF ? 0x7FFFFFFF : u32Len);
  if (d->pu8End) {
    d->pu8End[0] = d->au8Saved[0];
    d->pu8End[1] = d->au8Saved[1];
  }
  U32 u32Avail = s32Before > 0 ? (U32)s32Before : 0;
  U32 n = u32Len < u32Avail ? u32Len : u32Avail;
  U8 *pu8Start = d->pu8SegStart;
  d->pu8End = pu8Start + n;
  d->au8Saved[0] = d->pu8End[0];
  d->au8Saved[1] = d->pu8End[1];
  d->pu8End[0] = 0xFF;
  d->pu8End[1] = 0xFF;
  d->pu8SegStart = d->pu8End;
  d->pu8Next = pu8Start;
  if (s32Raw) {
    d->s32CT = 0;
    d->u32C = 0;
  } else {
    JP2_MQ_Registers r(d);
    r.c = (U32)*r.next << 16;
    r.ByteIn();
    r.c <<= 7;
    r.ct -= 7;
    r.a = 0x80000000u;
    r.Store(d);
  }
  return 0;
}

S32 JP2_MQ_Decoder_Prepare_Bypass(JP2_MQ_Decoder *d, U32 a) {
  if (a == 0) return JP2_MQ_Decoder_Init_J(d, 0);
  if (a < 10) return 0;
  if ((a - 10) % 3 == 0) {
    JP2_MQ_Decoder_Init_J(d, 1);
    return 1;
  }
  if ((a - 9) % 3 == 0) return JP2_MQ_Decoder_Init_J(d, 0);
  return 1;
}

S32 JP2_MQ_Decoder_Prepare_All_Term_Bypass(JP2_MQ_Decoder *d, U32 a) {
  S32 s32Raw = a >= 10 && (a - 9) % 3 != 0;
  JP2_MQ_Decoder_Init_J(d, s32Raw);
  return s32Raw;
}

U32 JP2_MQ_Decode(JP2_MQ_Decoder *d, U32 u32Ctx) {
  JP2_MQ_Registers r(d);
  U32 bit = r.Decode(&d->apsCtx[u32Ctx]);
  r.Store(d);
  return bit;
}

U32 JP2_MQ_Raw_Bit(JP2_MQ_Decoder *d) {
  if (d->s32CT == 0) {
    if (d->u32C == 0xFF) {
      if (*d->pu8Next > 0x8F) {
        d->u32C = 0xFF;
        d->s32CT = 8;
      } else {
        d->u32C = *d->pu8Next++;
        d->s32CT = 7;
      }
    } else {
      if (*d->pu8Next == 0xFF && d->pu8Next[1] > 0x8F) {
        d->u32C = 0xFF; // a marker: feed 1-bits, stay in place
        d->s32CT = 8;
        d->s32CT--;
        return 1;
      }
      d->u32C = *d->pu8Next++;
      d->s32CT = 8;
    }
  }
  d->s32CT--;
  return (d->u32C >> d->s32CT) & 1;
}
