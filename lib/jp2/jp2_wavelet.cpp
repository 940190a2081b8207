// Each level is a pipeline of lifting stages over rows, each stage keeping a ring of four rows.
#include "jp2/jp2_wavelet.h"

#include <cstring>

#include "jp2/jp2_bandbuf.h"
#include "jp2/jp2_lines.h"

namespace {

inline float F(S32 v) { return JP2_Line_Float(v); }
inline S32 B(float f) { return JP2_Line_Bits(f); }
inline S32 Wrap16(S32 v) { return JP2_Line_Wrap16(v); }

const S32 kFixed[4] = {29066, 57862, -3472, -103949};
const float kFloat[4] = {-0.44350687f, -0.88291109f, 0.052980117f, 1.5861343f};

// Lifting step K (0-based) on sample x with neighbours a and b; parity of step K is (K & 1) (0 even).
template <int MODE, int K> inline __attribute__((always_inline)) S32 Lift(S32 x, S32 a, S32 b) {
  if constexpr (MODE == 0) {
    // Crafted coefficients may be near the 32-bit limits: sums are formed wide and results wrap.
    if constexpr (K == 0) return (S32)((U32)x - (U32)(((S64)a + b + 2) >> 2));
    else return (S32)((U32)x + (U32)(((S64)a + b) >> 1));
  } else if constexpr (MODE == 1) {
    return Wrap16(K == 0 ? x - ((a + b + 2) >> 2) : x + ((a + b) >> 1));
  } else if constexpr (MODE == 2) {
    return B(F(x) + (F(a) + F(b)) * kFloat[K]);
  } else {
    U32 prod = (U32)kFixed[K] * (U32)(a + b) + 32768u;
    return Wrap16(x - ((S32)prod >> 16));
  }
}

inline S32 Half(S32 v, S32 mode) { return mode == 2 ? B(F(v) * 0.5f) : (v >> 1); }

U32 Steps(S32 mode) { return mode >= 2 ? 4 : 2; }

inline S32 Mirror(S32 i, S32 n) {
  if (n == 1) return 0;
  while (i < 0 || i >= n) i = i < 0 ? -i : 2 * (n - 1) - i;
  return i;
}

// One horizontal lifting step on the deinterleaved samples [j0, j1) of x, whose neighbours are y[j + o] and
// y[j + o + 1]. The two runs are separate arrays, so the loop has no stride and no edge test.
template <int MODE, int K>
void LiftRun(S32 *__restrict x, const S32 *__restrict y, S32 o, U32 j0, U32 j1) {
  const S32 *a = y + o, *b = y + o + 1;
  for (U32 j = j0; j < j1; j++) x[j] = Lift<MODE, K>(x[j], a[j], b[j]);
}

// Horizontal synthesis of a row of n >= 2 samples from its low run L (nL samples) and high run H (nH), of which
// [j0, jl) and [j0, jh) are held. Each run has a spare sample before index 0 and after its end; at the row's own
// ends they hold the symmetric extension, refreshed before every step from the current values.
template <int MODE> void SynthRuns(S32 *L, S32 *H, U32 nL, U32 nH, U32 xodd, U32 j0, U32 jl, U32 jh) {
  // Low sample j sits at 2j + xodd, high sample j at 2j + 1 - xodd.
  S32 oH = xodd ? 0 : -1, oL = xodd ? -1 : 0;
  auto extend = [&](S32 *r, U32 n, U32 held) {
    if (j0 == 0 && n) r[-1] = r[0];
    if (held == n && n) r[n] = r[n - 1];
  };
  extend(H, nH, jh);
  LiftRun<MODE, 0>(L, H, oH, j0, jl);
  extend(L, nL, jl);
  LiftRun<MODE, 1>(H, L, oL, j0, jh);
  if constexpr (MODE >= 2) {
    extend(H, nH, jh);
    LiftRun<MODE, 2>(L, H, oH, j0, jl);
    extend(L, nL, jl);
    LiftRun<MODE, 3>(H, L, oL, j0, jh);
  }
}

// One vertical lifting step over columns [lo, hi).
template <int MODE, int K> void LiftCols(S32 *out, const S32 *x, const S32 *a, const S32 *c, U32 lo, U32 hi) {
  for (U32 i = lo; i < hi; i++) out[i] = Lift<MODE, K>(x[i], a[i], c[i]);
}

template <int MODE> void LiftColsK(U32 k, S32 *out, const S32 *x, const S32 *a, const S32 *c, U32 lo, U32 hi) {
  switch (k) {
  case 0: LiftCols<MODE, 0>(out, x, a, c, lo, hi); break;
  case 1: LiftCols<MODE, 1>(out, x, a, c, lo, hi); break;
  case 2: if constexpr (MODE >= 2) LiftCols<MODE, 2>(out, x, a, c, lo, hi); break;
  default: if constexpr (MODE >= 2) LiftCols<MODE, 3>(out, x, a, c, lo, hi); break;
  }
}

S32 *Row(JP2_Wavelet_Level *l, U32 stage, S32 v) {
  return l->ps32Lines + ((size_t)stage * JP2_WAVELET_RING + (U32)v % JP2_WAVELET_RING) * l->u32LineWords + 2;
}

bool InRows(const JP2_Wavelet_Level *l, S32 v) { return v >= l->s32RowLo && v < l->s32RowHi; }

// Whether vertical stage s (1 and up) lifts row v; the other rows pass through unchanged.
bool Lifts(const JP2_Wavelet_Level *l, U32 s, S32 v) {
  bool parityEven = ((s - 1) & 1) == 0;
  bool even = ((l->u32Y0 + (U32)v) & 1) == 0;
  return even == parityEven && l->u32Height != 1;
}

// Where row v of stage s is held: a row that a stage passes through stays in the ring of the stage that made it.
// The rings are deep enough: when a stage needs row v + 1 of the one below, that one holds v - 2 to v + 1.
S32 *Data(JP2_Wavelet_Level *l, U32 s, S32 v) {
  while (s > 0 && !Lifts(l, s, v)) s--;
  return Row(l, s, v);
}

S32 *LevelRow(JP2_Wavelet *w, U32 r, S32 v);

// Horizontal synthesis of row v of level l (stage 0). The band rows are always taken, so that every band buffer
// and lower level moves on row by row, but only the window is synthesised.
void Horizontal(JP2_Wavelet *w, U32 r, JP2_Wavelet_Level *l, S32 v, S32 *out) {
  JP2_Tile_Comp *tc = &w->psHandle->psImage->psTiles[w->u32Tile].psComps[w->u32Comp];
  JP2_Resolution *res = &tc->psResolutions[r];
  bool odd = ((l->u32Y0 + (U32)v) & 1) != 0;
  // Each input line holds the columns [first, first + count) of its band or lower level.
  struct Input {
    S32 *line = nullptr;
    U32 first = 0, count = 0;
    void From(JP2_Band_Buffer *bb, JP2_Decomp *h) {
      JP2_Band_Buffer_Get_Next_Line(bb, h, &line);
      if (bb) first = JP2_Band_Buffer_Get_First_Column(bb), count = JP2_Band_Buffer_Get_Column_Count(bb);
    }
    S32 At(U32 j) const { return line && j - first < count ? line[j - first] : 0; }
  } lo, hi;
  if (!odd) {
    if (r == 1) {
      lo.From(tc->psResolutions[0].apsBandBuffer[0], w->psHandle);
    } else {
      lo.line = LevelRow(w, r - 1, -1);
      lo.count = w->psLevels[r - 2].u32Width;
    }
    hi.From(res->apsBandBuffer[0], w->psHandle);
  } else {
    lo.From(res->apsBandBuffer[1], w->psHandle);
    hi.From(res->apsBandBuffer[2], w->psHandle);
  }
  if (!InRows(l, v)) return;
  U32 W = l->u32Width, c0 = l->u32ColLo, c1 = l->u32ColHi;
  U32 xodd = l->u32X0 & 1;
  if (W == 1) {
    if (c0 == 0 && c1 > 0) out[0] = xodd ? Half(hi.At(0), w->s32Mode) : lo.At(0);
    return;
  }
  // The runs of the window's samples, one more each side, copied once from the input lines (zeros beyond them).
  U32 nL = l->u32LowCount, nH = l->u32HighCount, j0 = c0 / 2;
  U32 jl = c1 / 2 + 1 < nL ? c1 / 2 + 1 : nL, jh = c1 / 2 + 1 < nH ? c1 / 2 + 1 : nH;
  S32 *L = w->ps32Low + 1, *H = w->ps32High + 1;
  auto fill = [](S32 *r, const Input &in, U32 a, U32 b) {
    for (U32 j = a; j < b;) {
      if (!in.line || j < in.first || j - in.first >= in.count) {
        r[j++] = 0;
        continue;
      }
      U32 k = b - j < in.count - (j - in.first) ? b - j : in.count - (j - in.first);
      memcpy(r + j, in.line + (j - in.first), (size_t)k * 4);
      j += k;
    }
  };
  fill(L, lo, j0, jl);
  fill(H, hi, j0, jh);
  switch (w->s32Mode) {
  case 0: SynthRuns<0>(L, H, nL, nH, xodd, j0, jl, jh); break;
  case 1: SynthRuns<1>(L, H, nL, nH, xodd, j0, jl, jh); break;
  case 2: SynthRuns<2>(L, H, nL, nH, xodd, j0, jl, jh); break;
  default: SynthRuns<3>(L, H, nL, nH, xodd, j0, jl, jh); break;
  }
  // Low samples sit at even absolute columns, high samples at odd ones.
  U32 i = c0 + ((c0 + xodd) & 1);
  for (U32 j = (i - xodd) / 2; i < c1; i += 2, j++) out[i] = L[j];
  i = c0 + ((c0 + xodd + 1) & 1);
  for (U32 j = (i + xodd - 1) / 2; i < c1; i += 2, j++) out[i] = H[j];
}

// Produces row v of stage s of level l.
void Produce(JP2_Wavelet *w, U32 r, JP2_Wavelet_Level *l, U32 s, S32 v) {
  S32 *out = Row(l, s, v);
  if (s == 0) {
    Horizontal(w, r, l, v, out);
    return;
  }
  auto get = [&](S32 u) -> S32 * {
    while (l->as32Next[s - 1] <= u) {
      Produce(w, r, l, s - 1, l->as32Next[s - 1]);
      l->as32Next[s - 1]++;
    }
    return Data(l, s - 1, u);
  };
  S32 H = (S32)l->u32Height;
  U32 k = s - 1;
  // Fetch the lookahead first so the ring holds v - 1, v and v + 1.
  S32 *c = get(Mirror(v + 1, H));
  S32 *a = get(Mirror(v - 1, H));
  S32 *x = get(v);
  if (!InRows(l, v) || !Lifts(l, s, v)) return;
  U32 c0 = l->u32ColLo, c1 = l->u32ColHi;
  switch (w->s32Mode) {
  case 0: LiftColsK<0>(k, out, x, a, c, c0, c1); break;
  case 1: LiftColsK<1>(k, out, x, a, c, c0, c1); break;
  case 2: LiftColsK<2>(k, out, x, a, c, c0, c1); break;
  default: LiftColsK<3>(k, out, x, a, c, c0, c1); break;
  }
}

S32 *LevelRow(JP2_Wavelet *w, U32 r, S32) {
  JP2_Wavelet_Level *l = &w->psLevels[r - 1];
  if (l->u32Width == 0 || l->u32Delivered >= l->u32Height) return w->ps32Zero;
  S32 v = (S32)l->u32Delivered++;
  U32 last = Steps(w->s32Mode);
  if (l->u32Height == 1) {
    Produce(w, r, l, 0, v);
    S32 *row = Row(l, 0, v);
    if (l->u32Y0 & 1)
      for (U32 i = l->u32ColLo; i < l->u32ColHi; i++) row[i] = Half(row[i], w->s32Mode);
    return row;
  }
  while (l->as32Next[last] <= v) {
    Produce(w, r, l, last, l->as32Next[last]);
    l->as32Next[last]++;
  }
  return Data(l, last, v);
}

// Drops the first n rows that level r (0: the LL band) would deliver. Rows before the level's window are never
// synthesised and their ring rows are never written, so the counters move past them at once; the band buffers and
// the level below move on by the rows the horizontal synthesis would have taken. The rest are produced and dropped.
void SkipRows(JP2_Wavelet *w, U32 r, U32 n) {
  JP2_Tile_Comp *tc = &w->psHandle->psImage->psTiles[w->u32Tile].psComps[w->u32Comp];
  if (r == 0) {
    if (JP2_Band_Buffer *bb = tc->psResolutions[0].apsBandBuffer[0]) JP2_Band_Buffer_Skip_Lines(bb, n);
    return;
  }
  JP2_Wavelet_Level *l = &w->psLevels[r - 1];
  if (l->u32Width == 0 || n == 0) return;
  U32 k = n < (U32)l->s32RowLo ? n : (U32)l->s32RowLo;
  if (k > l->u32Height) k = l->u32Height;
  if (l->u32Height <= 2) k = 0;
  if (k > 0) {
    // Even absolute rows take the low row and the HL row, odd ones the LH and HH rows.
    U32 even = (l->u32Y0 & 1) ? k / 2 : (k + 1) / 2, odd = k - even;
    JP2_Resolution *res = &tc->psResolutions[r];
    if (res->apsBandBuffer[0]) JP2_Band_Buffer_Skip_Lines(res->apsBandBuffer[0], even);
    if (res->apsBandBuffer[1]) JP2_Band_Buffer_Skip_Lines(res->apsBandBuffer[1], odd);
    if (res->apsBandBuffer[2]) JP2_Band_Buffer_Skip_Lines(res->apsBandBuffer[2], odd);
    SkipRows(w, r - 1, even);
    for (S32 &next : l->as32Next) next = (S32)k;
    l->u32Delivered = k;
  }
  for (U32 i = k; i < n; i++) LevelRow(w, r, -1);
}

// Window of a level: the region's extent at resolution r with a margin, relative to the level's origin.
void SetWindow(JP2_Wavelet_Level *l, JP2_Image *im, JP2_Tile_Comp *tc, U32 c, U32 r) {
  const U32 *reg = im->au32Region;
  U32 d = tc->u8Levels - r;
  auto at = [&](U32 v, U32 sub) -> S64 {
    U64 x = JP2_Ceil_Div(v, sub);
    return d >= 32 ? (x ? 1 : 0) : (S64)((x + ((U64)1 << d) - 1) >> d);
  };
  const S64 M = 12;
  S64 x0 = at(reg[0], im->pu8XRsiz[c]) - M - l->u32X0, x1 = at(reg[1], im->pu8XRsiz[c]) + M - l->u32X0;
  S64 y0 = at(reg[2], im->pu8YRsiz[c]) - M - l->u32Y0, y1 = at(reg[3], im->pu8YRsiz[c]) + M - l->u32Y0;
  auto clamp = [](S64 v, U32 n) -> U32 { return v < 0 ? 0 : (v > n ? n : (U32)v); };
  l->u32ColLo = clamp(x0, l->u32Width);
  l->u32ColHi = clamp(x1, l->u32Width);
  l->s32RowLo = (S32)clamp(y0, l->u32Height);
  l->s32RowHi = (S32)clamp(y1, l->u32Height);
  if (l->u32ColHi < l->u32ColLo) l->u32ColHi = l->u32ColLo;
}

} // namespace

S32 JP2_Wavelet_Decomp_New(JP2_Wavelet **ppsOut, JP2_Memory *m, JP2_Decomp *h, U32 t, U32 c) {
  *ppsOut = nullptr;
  JP2_Wavelet *w = (JP2_Wavelet *)JP2_Memory_Alloc_Zero(m, sizeof(JP2_Wavelet));
  if (!w) return JP2_ERR_MEMORY;
  *ppsOut = w;
  w->psHandle = h;
  w->u32Tile = t;
  w->u32Comp = c;
  JP2_Tile_Comp *tc = &h->psImage->psTiles[t].psComps[c];
  bool b53 = tc->u8Wavelet == 1;
  w->s32Mode = b53 ? (tc->s32LineMode ? 0 : 1) : (tc->s32LineMode ? 2 : 3);
  w->u32Levels = tc->u8SynthLevels;
  U32 maxW = 1;
  for (U32 r = 0; r <= w->u32Levels; r++) {
    JP2_Resolution *res = &tc->psResolutions[r];
    if (res->u32X1 - res->u32X0 > maxW) maxW = res->u32X1 - res->u32X0;
  }
  w->ps32Zero = (S32 *)JP2_Memory_Alloc_Zero(m, (S64)(maxW + 4) * 4);
  w->ps32Low = (S32 *)JP2_Memory_Alloc_Zero(m, (S64)(maxW / 2 + 4) * 4);
  w->ps32High = (S32 *)JP2_Memory_Alloc_Zero(m, (S64)(maxW / 2 + 4) * 4);
  if (!w->ps32Zero || !w->ps32Low || !w->ps32High) return JP2_ERR_MEMORY;
  if (w->u32Levels == 0) return 0;
  w->psLevels = (JP2_Wavelet_Level *)JP2_Memory_Alloc_Zero(m, (S64)w->u32Levels * sizeof(JP2_Wavelet_Level));
  if (!w->psLevels) return JP2_ERR_MEMORY;
  for (U32 r = 1; r <= w->u32Levels; r++) {
    JP2_Wavelet_Level *l = &w->psLevels[r - 1];
    JP2_Resolution *res = &tc->psResolutions[r];
    l->u32Res = r;
    l->u32X0 = res->u32X0;
    l->u32Y0 = res->u32Y0;
    l->u32Width = res->u32X1 - res->u32X0;
    l->u32Height = res->u32Y1 - res->u32Y0;
    l->u32X0Odd = res->u32X0 & 1;
    l->u32X1Odd = res->u32X1 & 1;
    l->u32Y0Odd = res->u32Y0 & 1;
    l->u32Y1Odd = res->u32Y1 & 1;
    l->u32LowCount = l->u32X0Odd ? l->u32Width / 2 : (l->u32Width + 1) / 2;
    l->u32HighCount = l->u32Width - l->u32LowCount;
    l->u32LineWords = l->u32Width + 4;
    SetWindow(l, h->psImage, tc, c, r);
    l->ps32Lines = (S32 *)JP2_Memory_Alloc_Zero(m, (S64)JP2_WAVELET_STAGES * JP2_WAVELET_RING * l->u32LineWords * 4);
    if (!l->ps32Lines) return JP2_ERR_MEMORY;
  }
  return 0;
}

S32 JP2_Wavelet_Decomp_Delete(JP2_Wavelet **ppsWavelet, JP2_Memory *m) {
  if (!ppsWavelet || !*ppsWavelet) return 0;
  JP2_Wavelet *w = *ppsWavelet;
  S32 e;
  if (w->psLevels) {
    for (U32 r = 0; r < w->u32Levels; r++)
      if (w->psLevels[r].ps32Lines && (e = JP2_Memory_Free(m, &w->psLevels[r].ps32Lines)) != 0) return e;
    if ((e = JP2_Memory_Free(m, &w->psLevels)) != 0) return e;
  }
  if (w->ps32Zero && (e = JP2_Memory_Free(m, &w->ps32Zero)) != 0) return e;
  if (w->ps32Low && (e = JP2_Memory_Free(m, &w->ps32Low)) != 0) return e;
  if (w->ps32High && (e = JP2_Memory_Free(m, &w->ps32High)) != 0) return e;
  return JP2_Memory_Free(m, ppsWavelet);
}

void JP2_Wavelet_Decomp_Skip_Lines(JP2_Wavelet *w, U32 n) {
  SkipRows(w, w->u32Levels, n);
  w->u32Delivered += n;
}

S32 JP2_Wavelet_Decomp_Next_Line(JP2_Wavelet *w, S32 **pps32Line) {
  JP2_Tile_Comp *tc = &w->psHandle->psImage->psTiles[w->u32Tile].psComps[w->u32Comp];
  if (w->u32Levels == 0) {
    JP2_Band_Buffer_Get_Next_Line(tc->psResolutions[0].apsBandBuffer[0], w->psHandle, pps32Line);
  } else {
    *pps32Line = LevelRow(w, w->u32Levels, -1);
  }
  w->u32Delivered++;
  return 0;
}
