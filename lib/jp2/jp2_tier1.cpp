// Coding passes over the MQ decoder (or raw bits); a border of outside samples removes edge tests.
// The arithmetic decoder runs inline in the passes with its registers in locals; each sample's state word carries
// its neighbourhood, so contexts come from table lookups. Magnitudes are held in half-step units: a sample that
// becomes significant in plane p holds 3 * 2^p, each refinement in plane p adds or takes 2^p, so every coefficient
// ends at the midpoint of its own last coded interval.
#include "jp2/jp2_tier1.h"

#include <cstring>

#include "jp2/jp2_dequant.h"
#include "jp2/jp2_mq.h"

#define JP2_INLINE inline __attribute__((always_inline))

namespace {

enum : U32 {
  NB_UL = 0x01, NB_U = 0x02, NB_UR = 0x04, NB_L = 0x08, NB_R = 0x10, NB_DL = 0x20, NB_D = 0x40, NB_DR = 0x80,
  ST_VISIT = 0x100, ST_SIG = 0x200, ST_REFINED = 0x400, ST_OUT = 0x800,
  SG_VPOS = 0x1000, SG_VNEG = 0x2000, SG_HPOS = 0x4000, SG_HNEG = 0x8000,
};

// Highest first bit-plane whose half-step magnitudes (below 2^(p + 2)) fit the 31 magnitude bits.
constexpr S32 kMaxPlane = 29;

using Mq = JP2_MQ_Registers;

struct Block {
  U32 *first; // state word of sample (0, 0): stripe 1, column 1
  U32 w, h, stripes;
  U32 sw; // words from one stripe to the next
  const U8 *zc;
  const U32 *sign;
  JP2_MQ_State **ctx;
  U32 one;    // 2^p for the current plane p (the refinement step in half-step units)
  U32 sigval; // 3 * 2^p, a new significant magnitude
};

// Sample j of a column (state word s) becomes significant; its eight neighbours learn it.
template <int J, bool CAUSAL> JP2_INLINE void Become(const Block &b, U32 *s, U32 neg) {
  s[1] = (neg << 31) | b.sigval;
  s[0] |= ST_SIG;
  U32 vs = SG_VPOS << neg, hs = SG_HPOS << neg;
  U32 *u = J > 0 ? s - 2 : s - b.sw + 6;
  U32 *d = J < 3 ? s + 2 : s + b.sw - 6;
  if (!(CAUSAL && J == 0)) {
    u[-8] |= NB_DR;
    u[0] |= NB_D | vs;
    u[8] |= NB_DL;
  }
  s[-8] |= NB_R | hs;
  s[8] |= NB_L | hs;
  d[-8] |= NB_UR;
  d[0] |= NB_U | vs;
  d[8] |= NB_UL;
}

template <int J, bool CAUSAL> JP2_INLINE void DecodeSignAndSet(const Block &b, Mq &m, U32 *s, U32 v) {
  U32 e = b.sign[(v >> 12) & 0xF];
  U32 neg = m.Decode(&b.ctx[e & 0xFF]) ^ (e >> 31);
  Become<J, CAUSAL>(b, s, neg);
}

// Significance propagation and magnitude refinement, arithmetic-coded or raw (bypass: bits as they stand, the
// sign bit directly, 1 = negative). The raw reader works on the decoder record itself.
template <bool CAUSAL, bool RAW> void Significance(const Block bb, JP2_MQ_Decoder *mq) {
  const Block b = bb; // a local copy: stores into the block cannot change it
  Mq m(mq);
  for (U32 st = 0; st < b.stripes; st++) {
    U32 *col = b.first + st * b.sw;
    for (U32 x = 0; x < b.w; x++, col += 8) {
      // Nothing to code where no sample has a significant neighbour, or where all four are significant.
      U32 any = col[0] | col[2] | col[4] | col[6], all = col[0] & col[2] & col[4] & col[6];
      if (!(any & 0xFF) || (all & ST_SIG)) continue;
      auto cell = [&]<int J>() __attribute__((always_inline)) {
        U32 *s = col + 2 * J;
        U32 v = *s;
        if ((v & (ST_SIG | ST_OUT)) || !(v & 0xFF)) return;
        U32 bit = RAW ? JP2_MQ_Raw_Bit(mq) : m.Decode(&b.ctx[b.zc[v & 0xFF]]);
        *s = v | ST_VISIT;
        if (!bit) return;
        if constexpr (RAW)
          Become<J, CAUSAL>(b, s, JP2_MQ_Raw_Bit(mq));
        else
          DecodeSignAndSet<J, CAUSAL>(b, m, s, v);
      };
      cell.template operator()<0>();
      cell.template operator()<1>();
      cell.template operator()<2>();
      cell.template operator()<3>();
    }
  }
  if constexpr (!RAW) m.Store(mq);
}

template <bool RAW> void Refinement(const Block bb, JP2_MQ_Decoder *mq) {
  const Block b = bb;
  Mq m(mq);
  U32 one = b.one;
  for (U32 st = 0; st < b.stripes; st++) {
    U32 *col = b.first + st * b.sw;
    for (U32 x = 0; x < b.w; x++, col += 8) {
      if (!((col[0] | col[2] | col[4] | col[6]) & ST_SIG)) continue;
      for (int j = 0; j < 4; j++) {
        U32 *s = col + 2 * j;
        U32 v = *s;
        if ((v & (ST_SIG | ST_VISIT)) != ST_SIG) continue;
        U32 bit;
        if constexpr (RAW)
          bit = JP2_MQ_Raw_Bit(mq);
        else
          bit = m.Decode(&b.ctx[(v & ST_REFINED) ? 17 : 15 + ((v & 0xFF) != 0)]);
        s[1] += bit ? one : 0u - one;
        if (!(v & ST_REFINED)) *s = v | ST_REFINED;
      }
    }
  }
  if constexpr (!RAW) m.Store(mq);
}

// Cleanup with run-length coding; clears the visit marks of the plane as it goes.
template <bool CAUSAL> void Cleanup(const Block bb, JP2_MQ_Decoder *mq) {
  const Block b = bb;
  Mq m(mq);
  for (U32 st = 0; st < b.stripes; st++) {
    U32 *col = b.first + st * b.sw;
    for (U32 x = 0; x < b.w; x++, col += 8) {
      auto cell = [&]<int J>() __attribute__((always_inline)) {
        U32 *s = col + 2 * J;
        U32 v = *s;
        if (v & (ST_SIG | ST_VISIT | ST_OUT)) {
          *s = v & ~ST_VISIT;
          return;
        }
        if (m.Decode(&b.ctx[b.zc[v & 0xFF]])) DecodeSignAndSet<J, CAUSAL>(b, m, s, v);
      };
      int start = 0;
      U32 any = col[0] | col[2] | col[4] | col[6];
      if ((col[0] & col[2] & col[4] & col[6]) & (ST_SIG | ST_VISIT)) {
        // All four coded already in this plane (significant or visited): only the visit marks go.
        if (any & ST_VISIT) {
          col[0] &= ~ST_VISIT;
          col[2] &= ~ST_VISIT;
          col[4] &= ~ST_VISIT;
          col[6] &= ~ST_VISIT;
        }
        continue;
      }
      if (!(any & (0xFF | ST_VISIT | ST_SIG | ST_OUT))) {
        if (!m.Decode(&b.ctx[0])) continue;
        U32 j = m.Decode(&b.ctx[18]) << 1;
        j |= m.Decode(&b.ctx[18]);
        switch (j) {
        case 0: DecodeSignAndSet<0, CAUSAL>(b, m, col, col[0]); break;
        case 1: DecodeSignAndSet<1, CAUSAL>(b, m, col + 2, col[2]); break;
        case 2: DecodeSignAndSet<2, CAUSAL>(b, m, col + 4, col[4]); break;
        default: DecodeSignAndSet<3, CAUSAL>(b, m, col + 6, col[6]); break;
        }
        start = (int)j + 1;
      }
      switch (start) {
      case 0: cell.template operator()<0>(); [[fallthrough]];
      case 1: cell.template operator()<1>(); [[fallthrough]];
      case 2: cell.template operator()<2>(); [[fallthrough]];
      case 3: cell.template operator()<3>(); break;
      default: break;
      }
    }
  }
  m.Store(mq);
}

template <bool CAUSAL> void Pass(const Block &b, JP2_MQ_Decoder *mq, int kind, bool raw) {
  if (kind == 0)
    raw ? Significance<CAUSAL, true>(b, mq) : Significance<CAUSAL, false>(b, mq);
  else if (kind == 1)
    raw ? Refinement<true>(b, mq) : Refinement<false>(b, mq);
  else
    Cleanup<CAUSAL>(b, mq);
}

} // namespace

U32 JP2_EBCOT_Buffer_Words(U32 w, U32 h) { return ((h + 3) / 4 + 2) * (w + 2) * 8; }

S32 JP2_EBCOT_Decode_Block(JP2_Image *im, JP2_Tile_Comp *tc, JP2_Prec_Band *pb, U32 k, const U8 *zc, U32 u32Layers,
                           JP2_Memory *m, JP2_Cache *c) {
  JP2_Block_Array *a = pb->psBlocks;
  U32 x, y, w, h;
  JP2_Block_Array_Get_Position(a, k, &x, &y, &w, &h);
  Block b;
  U32 *pu32 = im->pu32CodeBlockBuffer;
  b.w = w;
  b.h = h;
  b.stripes = (h + 3) / 4;
  b.sw = (w + 2) * 8;
  b.first = pu32 + b.sw + 8;
  b.zc = zc;
  b.sign = im->au32Sign;
  // Clear the block's area; rows below the height are outside. The border samples are never visited, so only
  // the neighbour bits that significance writes into them matter, and those are never read.
  memset(pu32, 0, JP2_EBCOT_Buffer_Words(w, h) * 4);
  for (U32 r = h; r < b.stripes * 4; r++) {
    U32 *s = b.first + (r / 4) * b.sw + (r % 4) * 2;
    for (U32 i = 0; i < w; i++) s[i * 8] = ST_OUT;
  }
  U32 P = a->pu8PassesRead[k];
  S32 s32First = (S32)tc->u8RoiShift + pb->ps32Planes[k] - 1;
  // Planes above kMaxPlane cannot be held in the coefficient word: such a block is not decoded.
  if (P >= 1 && s32First >= 0 && s32First <= kMaxPlane) {
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
    b.ctx = mq->apsCtx;
    bool bBypass = tc->u8Bypass, bTerm = tc->u8TermAll, bCausal = tc->u8Causal != 0;
    if (!bBypass && !bTerm) JP2_MQ_Decoder_Init_J(mq, 0); // one segment holds every pass
    S32 p = s32First;
    b.one = 1u << p;
    b.sigval = 3u << p;
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
      if (bCausal)
        Pass<true>(b, mq, kind, raw);
      else
        Pass<false>(b, mq, kind, raw);
      if (tc->u8Reset) JP2_MQ_Decoder_Reset_States(mq, im->psMQStates);
      if (kind == 2 && tc->u8SegSym)
        for (int i = 0; i < 4; i++) JP2_MQ_Decode(mq, 18);
      u32Pass++;
      if (mq->s32Left < 0) break;
      if (kind == 2) {
        p--;
        if (p < 0) break;
        b.one = 1u << p;
        b.sigval = 3u << p;
        kind = 0;
      } else {
        kind++;
      }
    }
    JP2_MQ_Decoder_Delete(&mq, m);
    JP2_Memory_Free(m, &pu8Code);
  }
  JP2_Dequant_Block(pb, w, h, pu32 + 1, tc->u8Wavelet == 0, tc->u8RoiShift, tc->s32LineMode == 0);
  return 0;
}
