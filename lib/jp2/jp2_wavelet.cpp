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

// Lifting step k (0-based) on sample x with neighbours a and b; parity of step k is (k & 1) (0 even).
inline S32 Lift(S32 x, S32 a, S32 b, U32 k, S32 mode) {
  switch (mode) {
  // Crafted coefficients may be near the 32-bit limits: sums are formed wide and results wrap.
  case 0: return (S32)(k == 0 ? (U32)x - (U32)(((S64)a + b + 2) >> 2) : (U32)x + (U32)(((S64)a + b) >> 1));
  case 1: return Wrap16(k == 0 ? x - ((a + b + 2) >> 2) : x + ((a + b) >> 1));
  case 2: return B(F(x) + (F(a) + F(b)) * kFloat[k]);
  default: {
    U32 prod = (U32)kFixed[k] * (U32)(a + b) + 32768u;
    return Wrap16(x - ((S32)prod >> 16));
  }
  }
}

inline S32 Half(S32 v, S32 mode) { return mode == 2 ? B(F(v) * 0.5f) : (v >> 1); }

U32 Steps(S32 mode) { return mode >= 2 ? 4 : 2; }

inline S32 Mirror(S32 i, S32 n) {
  if (n == 1) return 0;
  while (i < 0 || i >= n) i = i < 0 ? -i : 2 * (n - 1) - i;
  return i;
}

S32 *Row(JP2_Wavelet_Level *l, U32 stage, S32 v) {
  return l->ps32Lines + ((size_t)stage * JP2_WAVELET_RING + (U32)v % JP2_WAVELET_RING) * l->u32LineWords + 2;
}

S32 *LevelRow(JP2_Wavelet *w, U32 r, S32 v);

// Horizontal synthesis of row v of level l (stage 0).
void Horizontal(JP2_Wavelet *w, U32 r, JP2_Wavelet_Level *l, S32 v, S32 *out) {
  JP2_Tile_Comp *tc = &w->psHandle->psImage->psTiles[w->u32Tile].psComps[w->u32Comp];
  JP2_Resolution *res = &tc->psResolutions[r];
  bool odd = ((l->u32Y0 + (U32)v) & 1) != 0;
  S32 *lo = nullptr, *hi = nullptr;
  if (!odd) {
    if (r == 1) JP2_Band_Buffer_Get_Next_Line(tc->psResolutions[0].apsBandBuffer[0], w->psHandle, &lo);
    else lo = LevelRow(w, r - 1, -1);
    JP2_Band_Buffer_Get_Next_Line(res->apsBandBuffer[0], w->psHandle, &hi);
  } else {
    JP2_Band_Buffer_Get_Next_Line(res->apsBandBuffer[1], w->psHandle, &lo);
    JP2_Band_Buffer_Get_Next_Line(res->apsBandBuffer[2], w->psHandle, &hi);
  }
  U32 W = l->u32Width;
  bool xodd = (l->u32X0 & 1) != 0;
  for (U32 i = 0; i < W; i++) {
    bool low = ((l->u32X0 + i) & 1) == 0;
    U32 j = xodd ? (low ? (i - 1) / 2 : i / 2) : i / 2;
    out[i] = low ? (lo ? lo[j] : 0) : (hi ? hi[j] : 0);
  }
  JP2_Wavelet_Synthesis_1D(out, W, l->u32X0, w->s32Mode);
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
    return Row(l, s - 1, u);
  };
  S32 H = (S32)l->u32Height;
  U32 k = s - 1;
  bool parityEven = (k & 1) == 0;
  bool even = ((l->u32Y0 + (U32)v) & 1) == 0;
  // Fetch the lookahead first so the ring holds v - 1, v and v + 1.
  S32 *c = get(Mirror(v + 1, H));
  S32 *a = get(Mirror(v - 1, H));
  S32 *x = get(v);
  U32 W = l->u32Width;
  if (even != parityEven || H == 1) {
    memcpy(out, x, W * 4);
    return;
  }
  for (U32 i = 0; i < W; i++) out[i] = Lift(x[i], a[i], c[i], k, w->s32Mode);
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
      for (U32 i = 0; i < l->u32Width; i++) row[i] = Half(row[i], w->s32Mode);
    return row;
  }
  while (l->as32Next[last] <= v) {
    Produce(w, r, l, last, l->as32Next[last]);
    l->as32Next[last]++;
  }
  return Row(l, last, v);
}

} // namespace

void JP2_Wavelet_Synthesis_1D(S32 *p, U32 n, U32 x0, S32 mode) {
  if (n == 0) return;
  if (n == 1) {
    if (x0 & 1) p[0] = Half(p[0], mode);
    return;
  }
  U32 steps = Steps(mode);
  for (U32 k = 0; k < steps; k++) {
    U32 parity = k & 1; // 0: even samples, 1: odd samples
    U32 first = ((x0 & 1) == parity) ? 0 : 1;
    for (U32 i = first; i < n; i += 2) {
      S32 a = p[Mirror((S32)i - 1, (S32)n)], b = p[Mirror((S32)i + 1, (S32)n)];
      p[i] = Lift(p[i], a, b, k, mode);
    }
  }
}

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
  if (!w->ps32Zero) return JP2_ERR_MEMORY;
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
  return JP2_Memory_Free(m, ppsWavelet);
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
