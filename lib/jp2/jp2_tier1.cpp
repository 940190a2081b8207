// Coding passes over the MQ decoder (or raw bits); a border of outside samples removes edge tests.
#include "jp2/jp2_tier1.h"

#include <cstring>

#include "jp2/jp2_dequant.h"
#include "jp2/jp2_mq.h"

namespace {

enum : U32 {
  NB_UL = 0x01, NB_U = 0x02, NB_UR = 0x04, NB_L = 0x08, NB_R = 0x10, NB_DL = 0x20, NB_D = 0x40, NB_DR = 0x80,
  ST_VISIT = 0x100, ST_SIG = 0x200, ST_REFINED = 0x400, ST_OUT = 0x800,
  SG_VPOS = 0x1000, SG_VNEG = 0x2000, SG_HPOS = 0x4000, SG_HNEG = 0x8000,
};

struct Block {
  U32 *pu32;      // first word of the buffer (border stripe, border column)
  U32 w, h, stripes, stride; // stride in samples between stripes
  const U8 *zc;
  const U32 *sign;
  JP2_MQ_Decoder *mq;
  bool causal;
  U32 half, sigval; // for the current bit-plane
  U32 plane;
  // Index of the state word of sample (x, y); x and y may be -1 or w/h (border).
  U32 *At(S32 x, S32 y) const {
    S32 s = (y + 4) / 4; // stripe (border stripe is 0)
    S32 j = (y + 4) % 4;
    return pu32 + (((U32)s * stride + (U32)(x + 1) * 4 + (U32)j) * 2);
  }
};

void BecomeSignificant(Block &b, S32 x, S32 y, U32 neg) {
  U32 *s = b.At(x, y);
  s[0] |= ST_SIG;
  s[1] = (neg << 31) | b.sigval;
  bool top = (y & 3) == 0;
  if (!(b.causal && top)) {
    b.At(x - 1, y - 1)[0] |= NB_DR;
    b.At(x, y - 1)[0] |= NB_D | (neg ? SG_VNEG : SG_VPOS);
    b.At(x + 1, y - 1)[0] |= NB_DL;
  }
  b.At(x - 1, y)[0] |= NB_R | (neg ? SG_HNEG : SG_HPOS);
  b.At(x + 1, y)[0] |= NB_L | (neg ? SG_HNEG : SG_HPOS);
  b.At(x - 1, y + 1)[0] |= NB_UR;
  b.At(x, y + 1)[0] |= NB_U | (neg ? SG_VNEG : SG_VPOS);
  b.At(x + 1, y + 1)[0] |= NB_UL;
}

U32 DecodeSign(Block &b, U32 state) {
  U32 e = b.sign[(state >> 12) & 0xF];
  return JP2_MQ_Decode(b.mq, e & 0xFF) ^ (e >> 31);
}

void Significance(Block &b, bool raw) {
  for (U32 st = 0; st < b.stripes; st++)
    for (U32 x = 0; x < b.w; x++)
      for (U32 j = 0; j < 4; j++) {
        S32 y = (S32)(st * 4 + j);
        U32 *s = b.At((S32)x, y);
        U32 v = s[0];
        if ((v & (ST_SIG | ST_OUT)) || !(v & 0xFF)) continue;
        U32 bit = raw ? JP2_MQ_Raw_Bit(b.mq) : JP2_MQ_Decode(b.mq, b.zc[v & 0xFF]);
        s[0] |= ST_VISIT;
        if (bit) {
          U32 neg = raw ? JP2_MQ_Raw_Bit(b.mq) : DecodeSign(b, v);
          BecomeSignificant(b, (S32)x, y, neg);
        }
      }
}

void Refinement(Block &b, bool raw) {
  U32 bitmask = 1u << b.plane;
  for (U32 st = 0; st < b.stripes; st++)
    for (U32 x = 0; x < b.w; x++)
      for (U32 j = 0; j < 4; j++) {
        U32 *s = b.At((S32)x, (S32)(st * 4 + j));
        U32 v = s[0];
        if ((v & (ST_SIG | ST_VISIT | ST_OUT)) != ST_SIG) continue;
        U32 bit;
        if (raw) {
          bit = JP2_MQ_Raw_Bit(b.mq);
        } else {
          U32 ctx = (v & ST_REFINED) ? 17 : ((v & 0xFF) ? 16 : 15);
          bit = JP2_MQ_Decode(b.mq, ctx);
        }
        U32 mag = s[1] & 0x7FFFFFFF;
        if (!bit) mag &= ~bitmask;
        mag |= b.half;
        s[1] = (s[1] & 0x80000000u) | mag;
        s[0] |= ST_REFINED;
      }
}

void Cleanup(Block &b) {
  for (U32 st = 0; st < b.stripes; st++)
    for (U32 x = 0; x < b.w; x++) {
      S32 y0 = (S32)(st * 4);
      U32 j = 0;
      U32 *c0 = b.At((S32)x, y0);
      bool rl = !((c0[0] | c0[2] | c0[4] | c0[6]) & 0x8FF) && !((c0[0] | c0[2] | c0[4] | c0[6]) & (ST_SIG | ST_VISIT));
      if (rl) {
        if (!JP2_MQ_Decode(b.mq, 0)) continue;
        j = JP2_MQ_Decode(b.mq, 18) << 1;
        j |= JP2_MQ_Decode(b.mq, 18);
        U32 v = b.At((S32)x, y0 + (S32)j)[0];
        BecomeSignificant(b, (S32)x, y0 + (S32)j, DecodeSign(b, v));
        j++;
      }
      for (; j < 4; j++) {
        U32 *s = b.At((S32)x, y0 + (S32)j);
        U32 v = s[0];
        if (v & (ST_SIG | ST_VISIT | ST_OUT)) continue;
        if (JP2_MQ_Decode(b.mq, b.zc[v & 0xFF])) BecomeSignificant(b, (S32)x, y0 + (S32)j, DecodeSign(b, v));
      }
    }
  for (U32 st = 0; st < b.stripes; st++)
    for (U32 x = 0; x < b.w; x++)
      for (U32 j = 0; j < 4; j++) b.At((S32)x, (S32)(st * 4 + j))[0] &= ~ST_VISIT;
}

} // namespace

U32 JP2_EBCOT_Buffer_Words(U32 w, U32 h) { return ((h + 3) / 4 + 2) * (w + 2) * 8; }

S32 JP2_EBCOT_Decode_Block(JP2_Image *im, JP2_Tile_Comp *tc, JP2_Prec_Band *pb, U32 k, const U8 *zc, U32 u32Layers,
                           JP2_Memory *m, JP2_Cache *c) {
  JP2_Block_Array *a = pb->psBlocks;
  U32 x, y, w, h;
  JP2_Block_Array_Get_Position(a, k, &x, &y, &w, &h);
  Block b;
  b.pu32 = im->pu32CodeBlockBuffer;
  b.w = w;
  b.h = h;
  b.stripes = (h + 3) / 4;
  b.stride = (w + 2) * 4;
  b.zc = zc;
  b.sign = im->au32Sign;
  b.causal = tc->u8Causal != 0;
  // Clear the block's area; borders and rows below the height are outside.
  memset(b.pu32, 0, JP2_EBCOT_Buffer_Words(w, h) * 4);
  for (S32 yy = -1; yy <= (S32)(b.stripes * 4); yy++)
    for (S32 xx = -1; xx <= (S32)w; xx++)
      if (yy < 0 || yy >= (S32)h || xx < 0 || xx >= (S32)w) b.At(xx, yy)[0] = ST_OUT;
  U32 P = a->pu8PassesRead[k];
  S32 s32First = (S32)tc->u8RoiShift + pb->ps32Planes[k] - 1;
  S32 s32Last = -1;
  // Planes above 30 cannot be held in the coefficient word: such a block is not decoded.
  if (P >= 1 && s32First >= 0 && s32First <= 30) {
    // Lengths come from packet headers: a contribution is cut to the data that really exists.
    auto clamped = [&](U32 l) -> U32 {
      U32 len = JP2_Block_Array_Get_Code_Length(a, k, l), pos = JP2_Block_Array_Get_Code_Position(a, k, l);
      U8 u8;
      if (!len || JP2_Cache_Read_UChar(c, pos + len - 1, &u8) == 0) return len;
      U32 known = JP2_Cache_Get_Size(c);
      return known > pos ? (known - pos < len ? known - pos : len) : 0;
    };
    U64 u64Total = 0;
    for (U32 l = 0; l < u32Layers; l++) u64Total += clamped(l);
    if (u64Total > 0x7FFFFFF0) return 0;
    U8 *pu8Code = (U8 *)JP2_Memory_Alloc(m, (S64)u64Total + 3);
    if (!pu8Code) return 0;
    pu8Code[0] = 0;
    U32 u32Have = 0;
    for (U32 l = 0; l < u32Layers; l++) {
      U32 len = clamped(l), got = 0;
      if (len > u64Total - u32Have) len = (U32)(u64Total - u32Have);
      if (!len) continue;
      if (JP2_Cache_Read(c, JP2_Block_Array_Get_Code_Position(a, k, l), len, &got, pu8Code + 1 + u32Have)) {
        JP2_Memory_Free(m, &pu8Code);
        return 0;
      }
      u32Have += got;
      if (got < len) break;
    }
    pu8Code[1 + u32Have] = 0xFF;
    pu8Code[2 + u32Have] = 0xFF;
    JP2_MQ_Decoder *mq;
    if (JP2_MQ_Decoder_New(&mq, m, im->psMQStates, pu8Code) != 0) {
      JP2_Memory_Free(m, &pu8Code);
      return 0;
    }
    mq->pu32SegLen = JP2_Block_Array_Get_Segment_Length_Array(a, k);
    mq->u32SegCount = a->u32MaxSegments;
    mq->s32Left = (S32)u32Have;
    b.mq = mq;
    bool bBypass = tc->u8Bypass, bTerm = tc->u8TermAll;
    if (!bBypass && !bTerm) JP2_MQ_Decoder_Init_J(mq, 0); // one segment holds every pass
    S32 p = s32First;
    b.plane = (U32)p;
    b.half = p > 0 ? 1u << (p - 1) : 0;
    b.sigval = (1u << p) | b.half;
    U32 u32Pass = 0;
    int kind = 2; // 0 significance, 1 refinement, 2 cleanup
    while (u32Pass < P) {
      bool raw = false;
      if (bTerm && bBypass)
        raw = JP2_MQ_Decoder_Prepare_All_Term_Bypass(mq, u32Pass) != 0;
      else if (bTerm)
        JP2_MQ_Decoder_Init_J(mq, 0);
      else if (bBypass)
        raw = JP2_MQ_Decoder_Prepare_Bypass(mq, u32Pass) != 0;
      if (kind == 0)
        Significance(b, raw);
      else if (kind == 1)
        Refinement(b, raw);
      else
        Cleanup(b);
      s32Last = p;
      if (tc->u8Reset) JP2_MQ_Decoder_Reset_States(mq, im->psMQStates);
      if (kind == 2 && tc->u8SegSym)
        for (int i = 0; i < 4; i++) JP2_MQ_Decode(mq, 18);
      u32Pass++;
      if (mq->s32Left < 0) break;
      if (kind == 2) {
        p--;
        if (p < 0) break;
        b.plane = (U32)p;
        b.half = p > 0 ? 1u << (p - 1) : 0;
        b.sigval = (1u << p) | b.half;
        kind = 0;
      } else {
        kind++;
      }
    }
    JP2_MQ_Decoder_Delete(&mq, m);
    JP2_Memory_Free(m, &pu8Code);
  }
  JP2_Dequant_Block(pb, w, h, b.pu32 + 1, tc->u8Wavelet == 0, tc->u8RoiShift, tc->s32LineMode == 0,
                    s32Last == 0);
  return 0;
}
