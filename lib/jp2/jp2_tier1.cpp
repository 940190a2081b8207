// Coding passes over the MQ decoder (or raw bits); a border of outside columns and stripes removes edge tests.
// The arithmetic decoder runs inline in the passes with its registers in locals. Each stripe column has one flag
// word holding the significance and signs of its four samples and of their neighbours, so a pass tests a whole
// column at once and contexts come from table lookups over a shifted window. Magnitudes are held in half-step
// units: a sample that becomes significant in plane p holds 3 * 2^p, each refinement in plane p adds or takes 2^p,
// so every coefficient ends at the midpoint of its own last coded interval.
#include "jp2/jp2_tier1.h"

#include <cstring>

#include "jp2/jp2_dequant.h"
#include "jp2/jp2_mq.h"

#define JP2_INLINE inline __attribute__((always_inline))

namespace {

// Flag word of a stripe column: significance of rows -1..4 (the stripe and one row each side) by columns
// left, own, right in bits 0-17 (row r + 1 at bits 3(r + 1) .. 3(r + 1) + 2); the signs of the same samples 32 bits
// higher; per own row j: visited in this plane, refined before, outside the block, and its own significance again
// (bits 50-53), so that a pass reads the four rows' state with one shift.
using Flags = U64;
constexpr Flags kSigWindow = 0x3FFFF;
constexpr Flags kSigOwn = (1u << 4) | (1u << 7) | (1u << 10) | (1u << 13);
constexpr int kVisit = 18, kRefined = 22, kOut = 26, kOwn = 50;
constexpr Flags kVisitAll = 0xFull << kVisit, kOutAll = 0xFull << kOut;
constexpr Flags SigBit(int row, int col) { return (Flags)1 << (3 * (row + 1) + col); }
// The 3 x 3 window of own row j without its centre: some neighbour is significant.
constexpr U32 kNbMask = 0x1EF;

// Highest first bit-plane whose half-step magnitudes (below 2^(p + 2)) fit the 31 magnitude bits.
constexpr S32 kMaxPlane = 29;

using Mq = JP2_MQ_Registers;

struct Block {
  Flags *first; // flag word of stripe 0, column 0
  U32 *mag;     // magnitude of sample (0, 0), rows of w words
  U32 w, stripes;
  U32 fs; // flag words from one stripe to the next
  const U8 *zc;
  const U32 *sign;
  JP2_MQ_State **ctx;
  U32 one;    // 2^p for the current plane p (the refinement step in half-step units)
  U32 sigval; // 3 * 2^p, a new significant magnitude
};

// Sample j of column f (its flags held in F) becomes significant; its neighbours' words learn it.
template <int J, bool CAUSAL> JP2_INLINE void Become(const Block &b, Flags *f, Flags &F, U32 *mag, U32 neg) {
  mag[J * b.w] = (neg << 31) | b.sigval;
  Flags sgn = 0 - (Flags)neg;
  auto put = [&](Flags *w, Flags bit) __attribute__((always_inline)) { *w |= bit | ((bit << 32) & sgn); };
  Flags own = SigBit(J, 1);
  F |= own | ((Flags)neg << (32 + 3 * (J + 1) + 1)) | ((Flags)1 << (kOwn + J));
  put(f - 1, SigBit(J, 2));
  put(f + 1, SigBit(J, 0));
  if constexpr (J == 0 && !CAUSAL) {
    Flags *u = f - b.fs;
    put(u - 1, SigBit(4, 2));
    put(u, SigBit(4, 1));
    put(u + 1, SigBit(4, 0));
  }
  if constexpr (J == 3) {
    Flags *d = f + b.fs;
    put(d - 1, SigBit(-1, 2));
    put(d, SigBit(-1, 1));
    put(d + 1, SigBit(-1, 0));
  }
}

template <int J, bool CAUSAL> JP2_INLINE void DecodeSignAndSet(const Block &b, Mq &m, Flags *f, Flags &F, U32 *mag) {
  U32 sig = (U32)(F >> (3 * J)), chi = (U32)(F >> (32 + 3 * J));
  U32 e = b.sign[(sig & 0xAA) | ((chi & 0xAA) >> 1)];
  U32 neg = m.DecodeEven(&b.ctx[e & 0xFF]) ^ (e >> 31);
  Become<J, CAUSAL>(b, f, F, mag, neg);
}

// Significance propagation and magnitude refinement, arithmetic-coded or raw (bypass: bits as they stand, the
// sign bit directly, 1 = negative). The raw reader works on the decoder record itself.
template <bool CAUSAL, bool RAW> void Significance(const Block bb, JP2_MQ_Decoder *mq) {
  const Block b = bb; // a local copy: stores into the block cannot change it
  Mq m(mq);
  for (U32 st = 0; st < b.stripes; st++) {
    Flags *f = b.first + st * b.fs;
    U32 *mag = b.mag + st * 4 * b.w;
    for (U32 x = 0; x < b.w; x++, f++, mag++) {
      Flags F = *f;
      // Nothing to code where no sample has a significant neighbour, or where all four are significant.
      if (!(F & kSigWindow) || (F & kSigOwn) == kSigOwn) continue;
      auto cell = [&]<int J>() __attribute__((always_inline)) {
        U32 win = (U32)(F >> (3 * J)) & 0x1FF;
        if ((win & 0x10) || !(win & kNbMask) || (F >> (kOut + J)) & 1) return;
        U32 bit = RAW ? JP2_MQ_Raw_Bit(mq) : m.DecodeEven(&b.ctx[b.zc[win]]);
        F |= (Flags)1 << (kVisit + J);
        if (!bit) return;
        if constexpr (RAW)
          Become<J, CAUSAL>(b, f, F, mag, JP2_MQ_Raw_Bit(mq));
        else
          DecodeSignAndSet<J, CAUSAL>(b, m, f, F, mag);
      };
      cell.template operator()<0>();
      cell.template operator()<1>();
      cell.template operator()<2>();
      cell.template operator()<3>();
      *f = F;
    }
  }
  if constexpr (!RAW) m.Store(mq);
}

template <bool RAW> void Refinement(const Block bb, JP2_MQ_Decoder *mq) {
  const Block b = bb;
  Mq m(mq);
  U32 one = b.one;
  for (U32 st = 0; st < b.stripes; st++) {
    Flags *f = b.first + st * b.fs;
    U32 *mag = b.mag + st * 4 * b.w;
    for (U32 x = 0; x < b.w; x++, f++, mag++) {
      Flags F = *f;
      if (!(F & kSigOwn)) continue;
      // Significant rows not coded in this plane's significance pass.
      U32 rows = (U32)(F >> kOwn) & ~(U32)(F >> kVisit) & 0xF;
      if (!rows) continue;
      for (U32 left = rows; left; left &= left - 1) {
        int j = __builtin_ctz(left);
        U32 bit;
        if constexpr (RAW)
          bit = JP2_MQ_Raw_Bit(mq);
        else {
          U32 ctx = (F >> (kRefined + j)) & 1 ? 17 : 15 + ((((U32)(F >> (3 * j))) & kNbMask) != 0);
          bit = m.DecodeEven(&b.ctx[ctx]);
        }
        mag[j * b.w] += bit ? one : 0u - one;
      }
      *f = F | (Flags)rows << kRefined;
    }
  }
  if constexpr (!RAW) m.Store(mq);
}

// Cleanup with run-length coding; clears the visit marks of the plane as it goes.
template <bool CAUSAL> void Cleanup(const Block bb, JP2_MQ_Decoder *mq) {
  const Block b = bb;
  Mq m(mq);
  for (U32 st = 0; st < b.stripes; st++) {
    Flags *f = b.first + st * b.fs;
    U32 *mag = b.mag + st * 4 * b.w;
    for (U32 x = 0; x < b.w; x++, f++, mag++) {
      Flags F = *f;
      auto cell = [&]<int J>(U32 done) __attribute__((always_inline)) {
        if ((done >> J) & 1) return;
        U32 win = (U32)(F >> (3 * J)) & 0x1FF;
        if (m.Decode(&b.ctx[b.zc[win]])) DecodeSignAndSet<J, CAUSAL>(b, m, f, F, mag);
      };
      if (!(F & (kSigWindow | kVisitAll | kOutAll))) {
        // No sample or neighbour significant, none coded in this plane: run-length mode. The samples after the
        // first significant one are coded one by one.
        if (!m.Decode(&b.ctx[0])) continue;
        U32 j = m.Decode(&b.ctx[18]) << 1;
        j |= m.Decode(&b.ctx[18]);
        switch (j) {
        case 0:
          DecodeSignAndSet<0, CAUSAL>(b, m, f, F, mag);
          cell.template operator()<1>(0);
          cell.template operator()<2>(0);
          cell.template operator()<3>(0);
          break;
        case 1:
          DecodeSignAndSet<1, CAUSAL>(b, m, f, F, mag);
          cell.template operator()<2>(0);
          cell.template operator()<3>(0);
          break;
        case 2:
          DecodeSignAndSet<2, CAUSAL>(b, m, f, F, mag);
          cell.template operator()<3>(0);
          break;
        default: DecodeSignAndSet<3, CAUSAL>(b, m, f, F, mag); break;
        }
        *f = F;
        continue;
      }
      // Rows coded already in this plane (significant or visited) or outside the block.
      U32 done = ((U32)(F >> kOwn) | (U32)(F >> kVisit) | (U32)(F >> kOut)) & 0xF;
      if (done == 0xF) {
        if (F & kVisitAll) *f = F & ~kVisitAll;
        continue;
      }
      cell.template operator()<0>(done);
      cell.template operator()<1>(done);
      cell.template operator()<2>(done);
      cell.template operator()<3>(done);
      *f = F & ~kVisitAll;
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

// Flag words of a block: the stripes with one border stripe above and below, one border column each side.
U32 FlagWords(U32 w, U32 h) { return ((h + 3) / 4 + 2) * (w + 2); }

} // namespace

U32 JP2_EBCOT_Buffer_Words(U32 w, U32 h) { return FlagWords(w, h) * 2 + w * ((h + 3) & ~3u); }

U32 *JP2_EBCOT_Coefficients(U32 *pu32Buffer, U32 w, U32 h) { return pu32Buffer + FlagWords(w, h) * 2; }

S32 JP2_EBCOT_Decode_Block(JP2_Image *im, JP2_Tile_Comp *tc, JP2_Prec_Band *pb, U32 k, const U8 *zc, U32 u32Layers,
                           JP2_Memory *m, JP2_Cache *c) {
  JP2_Block_Array *a = pb->psBlocks;
  U32 x, y, w, h;
  JP2_Block_Array_Get_Position(a, k, &x, &y, &w, &h);
  Block b;
  U32 *pu32 = im->pu32CodeBlockBuffer;
  U32 stripes = (h + 3) / 4;
  b.w = w;
  b.stripes = stripes;
  b.fs = w + 2;
  Flags *flags = (Flags *)pu32;
  b.first = flags + b.fs + 1;
  b.mag = JP2_EBCOT_Coefficients(pu32, w, h);
  b.zc = zc;
  b.sign = im->au32Sign;
  // Clear the block's words; rows below the height are outside. Border columns and stripes are never coded, so the
  // bits that significance writes into them are never read.
  memset(pu32, 0, JP2_EBCOT_Buffer_Words(w, h) * 4);
  if (h % 4) {
    Flags out = (kOutAll << (h % 4)) & kOutAll;
    Flags *last = b.first + (stripes - 1) * b.fs;
    for (U32 i = 0; i < w; i++) last[i] = out;
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
  JP2_Dequant_Block(pb, w, h, b.mag, tc->u8Wavelet == 0, tc->u8RoiShift, tc->s32LineMode == 0);
  return 0;
}
