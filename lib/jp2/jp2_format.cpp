// Lines leave the decoder here: component transform, level shift, clipping, scaling, cast and write.
#include "jp2/jp2_format.h"

#include <cmath>
#include <cstring>

#include "jp2/jp2_common.h"

static U32 _JP2_Align8(U32 v) { return (v + 7u) & ~7u; }

S32 JP2_Format_Decomp_Get_Initial_Requirements(U32 *pu32Size, U32 n) {
  *pu32Size = _JP2_Align8(sizeof(JP2_Format)) + 7 * _JP2_Align8(4 * n);
  return 0;
}

S32 JP2_Format_Decomp_Set_Initial_Memory(JP2_Decomp *h, U8 *p, U32 *pu32Used, U32 n) {
  JP2_Format *f = (JP2_Format *)p;
  memset(f, 0, sizeof(*f));
  U8 *q = p + _JP2_Align8(sizeof(JP2_Format));
  U32 **appu32[7] = {&f->pu32Map, &f->pu32OriginX, &f->pu32OriginY, &f->pu32FullWidth, &f->pu32FullHeight,
                     &f->pu32OutWidth, &f->pu32OutHeight};
  for (U32 **pp : appu32) {
    *pp = (U32 *)q;
    q += _JP2_Align8(4 * n);
  }
  h->psFormat = f;
  h->pfLineStart = nullptr;
  h->pvLineStartParam = nullptr;
  JP2_Format_Decomp_Get_Initial_Requirements(pu32Used, n);
  return 0;
}

S32 JP2_Format_Decomp_Get_Main_Requirements(JP2_Decomp *h, U32 *pu32Size) {
  JP2_Format *f = h->psFormat;
  JP2_Image *im = h->psImage;
  *pu32Size = 0;
  f->s32NativeByteOrder = f->s32OutByteOrder = JP2_Common_Get_Native_Byte_Order();
  f->au8Flags[0] = 1;
  f->au8Flags[1] = 0;
  f->au8Flags[2] = 0;
  if (f->u8Mct) {
    if (im->u16Csiz < 3) return JP2_ERR_COMPONENTS;
    if (im->ps8Precision[0] != im->ps8Precision[1] || im->ps8Precision[0] != im->ps8Precision[2])
      return JP2_ERR_PRECISION;
    if (im->pu8XRsiz[0] != im->pu8XRsiz[1] || im->pu8XRsiz[0] != im->pu8XRsiz[2]) return JP2_ERR_SUBSAMPLING;
    if (im->pu8YRsiz[0] != im->pu8YRsiz[1] || im->pu8YRsiz[0] != im->pu8YRsiz[2]) return JP2_ERR_SUBSAMPLING;
  }
  if (im->u32XOsiz < im->u32XTOsiz || im->u32YOsiz < im->u32YTOsiz ||
      (U64)im->u32XOsiz >= (U64)im->u32XTOsiz + im->u32XTsiz || (U64)im->u32YOsiz >= (U64)im->u32YTOsiz + im->u32YTsiz)
    return JP2_ERR_ORIGIN;
  // Lines are as long as the widest tile-component, not the nominal tile width a header may claim.
  U64 u64Line = _JP2_Align8((U32)(((U64)JP2_Image_Max_Line_Width(im) + 3) * 4 > 0x7FFFFFF0
                                      ? 0x7FFFFFF0
                                      : ((U64)JP2_Image_Max_Line_Width(im) + 3) * 4));
  U64 u64Size = u64Line * (f->u8Mct ? 4 : 1);
  if (u64Size > JP2_MEMORY_MAX_REQUEST) return JP2_ERR_MEMORY;
  *pu32Size = (U32)u64Size;
  return 0;
}

S32 JP2_Format_Decomp_Set_Main_Memory(JP2_Decomp *h, U8 *p, U32 *pu32Used) {
  JP2_Format *f = h->psFormat;
  U32 u32Line = _JP2_Align8((JP2_Image_Max_Line_Width(h->psImage) + 3) * 4);
  U32 n = f->u8Mct ? 4 : 1;
  for (U32 i = 0; i < 4; i++) f->aps32FormatLine[i] = i < n ? (S32 *)(p + i * u32Line) : nullptr;
  *pu32Used = u32Line * n;
  return 0;
}

S32 JP2_Decompress_No_Colour_Transform(JP2_Decomp *h) {
  if (!h || h->s32Valid != JP2_HANDLE_VALID) return JP2_ERR_HANDLE;
  h->psFormat->u8Mct = 0;
  return 0;
}

/* Line production */

#include "jp2/jp2_partial.h"
#include "jp2/jp2_lines.h"
#include "jp2/jp2_wavelet.h"

namespace {

inline float Fl(S32 v) { return JP2_Line_Float(v); }
inline S32 Bits(float f) { return JP2_Line_Bits(f); }
inline S32 W16(S32 v) { return JP2_Line_Wrap16(v); }

struct Range {
  S64 lo, hi;
  bool clip;
};

Range RangeOf(JP2_Image *im, U32 c) {
  S32 p = im->ps8Precision[c];
  bool bSigned = p < 0;
  U32 P = (U32)(p < 0 ? -p : p);
  if (P >= 32) return {0, 0, false};
  if (bSigned) return {-((S64)1 << (P - 1)), ((S64)1 << (P - 1)) - 1, true};
  return {0, ((S64)1 << P) - 1, true};
}

inline S32 Clip(S64 v, const Range &r) { return (S32)(r.clip ? (v < r.lo ? r.lo : (v > r.hi ? r.hi : v)) : v); }

// A float sample to an integer of the range [lo, hi] (as floats); NaN and values beyond it go to an end.
inline S32 ClipFloat(float f, float lo, float hi) {
  f = f > lo ? f : lo;
  f = f < hi ? f : hi;
  return (S32)f;
}

// Stage 1: level shift and clipping into [0, 2^P - 1] (signed components: no shift, signed range). 16-bit lines
// hold sign-extended values; the shift is done wide so that samples beyond the range clip instead of wrapping.
void LevelShift(JP2_Decomp *h, JP2_Tile_Comp *tc, U32 c, S32 *line, U32 n) {
  JP2_Image *im = h->psImage;
  S32 p = im->ps8Precision[c];
  bool bSigned = p < 0;
  S32 P = p < 0 ? -p : p;
  S64 O = bSigned || P > 32 ? 0 : ((S64)1 << (P - 1));
  Range r = RangeOf(im, c);
  S32 G = tc->u8Guard;
  S32 s16 = tc->u8Wavelet == 1 ? 0 : 13 - G - P;
  if (!tc->s32LineMode && r.clip && s16 >= 0 && s16 < 16 && P <= 16) {
    // 16-bit lines: sample, offset and rounding stay far inside 32 bits, so the loop needs no wide arithmetic.
    S32 add = (S32)(O << s16) + (s16 > 0 ? (S32)1 << (s16 - 1) : 0), lo = (S32)r.lo, hi = (S32)r.hi;
    for (U32 i = 0; i < n; i++) {
      S32 v = (line[i] + add) >> s16;
      v = v < lo ? lo : v;
      line[i] = v > hi ? hi : v;
    }
  } else if (tc->u8Wavelet == 1) {
    for (U32 i = 0; i < n; i++) line[i] = Clip((S64)line[i] + O, r);
  } else if (tc->s32LineMode) {
    S32 s = 32 - G - P;
    // Truncation of the clipped value equals clipping of the truncated one; without clipping the ends are those
    // of a 32-bit integer (the largest float below 2^31 and -2^31).
    float lo = r.clip ? (float)r.lo : -2147483648.0f, hi = r.clip ? (float)r.hi : 2147483520.0f;
    if ((double)hi > (double)r.hi && r.clip) hi = std::nextafter(hi, 0.0f); // 2^P - 1 rounds up above 24 bits
    if (s > 0) {
      float scale = 1.0f;
      for (S32 i = 0; i < s; i++) scale *= 0.5f;
      float cc = -((float)O * (1.0f / scale)) - (float)((S64)1 << (s - 1));
      for (U32 i = 0; i < n; i++) line[i] = ClipFloat((Fl(line[i]) - cc) * scale, lo, hi);
    } else {
      float scale = 1.0f;
      for (S32 i = 0; i < -s && i < 64; i++) scale *= 2.0f;
      for (U32 i = 0; i < n; i++) line[i] = ClipFloat(Fl(line[i]) * scale + (float)O, lo, hi);
    }
  } else {
    S32 s = 13 - G - P;
    for (U32 i = 0; i < n; i++) {
      S64 v = s > 0 ? ((S64)line[i] + (O << s) + ((S64)1 << (s - 1))) >> s : (S64)line[i] * ((S64)1 << -s) + O;
      line[i] = Clip(v, r);
    }
  }
}

// Stage 3: cast into the output line in the requested byte order.
void Cast(JP2_Decomp *h, U32 c, const S32 *line, U32 n, U8 *out) {
  JP2_Format *f = h->psFormat;
  U32 sz = JP2_Output_Sample_Size(h->psImage, c);
  bool swap = f->s32OutByteOrder != f->s32NativeByteOrder;
  for (U32 i = 0; i < n; i++) {
    U32 v = (U32)line[i];
    if (sz == 1) {
      out[i] = (U8)v;
    } else if (sz == 2) {
      U16 s = (U16)v;
      if (swap) s = (U16)((s >> 8) | (s << 8));
      memcpy(out + 2 * i, &s, 2);
    } else {
      if (swap) v = __builtin_bswap32(v);
      memcpy(out + 4 * i, &v, 4);
    }
  }
}

S32 Write(JP2_Decomp *h, U32 c, const S32 *line, U32 n, U32 y, U32 x, bool reclip) {
  if (reclip) {
    Range r = RangeOf(h->psImage, c);
    S32 *l = (S32 *)line;
    for (U32 i = 0; i < n; i++) l[i] = Clip(l[i], r);
  }
  Cast(h, c, line, n, h->psFormat->pu8OutLine);
  return JP2_Clip_and_Write_Decomp_Array(h, h->psFormat->pu8OutLine, n, y, x, c);
}

} // namespace

// Columns [i0, i1) of the current row of a tile-component that the writer keeps; false when it keeps none of the row.
// Only the identity scale writes rows one to one; any resampling needs the whole line.
static bool _JP2_Format_Kept(JP2_Decomp *h, JP2_Tile_Comp *tc, U32 c, U32 *i0, U32 *i1) {
  *i0 = 0;
  *i1 = tc->u32DecWidth;
  if (!h->psScale->u32Identity) return true;
  JP2_Format *f = h->psFormat;
  const U32 *r = &h->psImage->pu32OutRegion[4 * c];
  U64 y = (U64)tc->u32Y0 + tc->u32RowsProcessed - f->pu32OriginY[c];
  if (y < r[2] || y >= r[3]) return false;
  S64 x = (S64)tc->u32X0 - f->pu32OriginX[c];
  S64 a = (S64)r[0] - x, b = (S64)r[1] - x;
  if (a > 0) *i0 = a < (S64)*i1 ? (U32)a : *i1;
  if (b < (S64)*i1) *i1 = b > (S64)*i0 ? (U32)b : *i0;
  return true;
}

static S32 _JP2_Format_Decomp_Single_Line(JP2_Decomp *h, JP2_Tile *t, JP2_Tile_Comp *tc, U32 c, S32 *line) {
  JP2_Format *f = h->psFormat;
  JP2_Scale *sc = h->psScale;
  U32 n = tc->u32DecWidth;
  S32 e = 0;
  if (sc->u32Identity) {
    U32 i0, i1;
    if (_JP2_Format_Kept(h, tc, c, &i0, &i1) && i1 > i0) {
      LevelShift(h, tc, c, line + i0, i1 - i0);
      e = Write(h, c, line + i0, i1 - i0, tc->u32Y0 + tc->u32RowsProcessed - f->pu32OriginY[c],
                tc->u32X0 + i0 - f->pu32OriginX[c], false);
    }
    tc->u32RowsWritten++;
    tc->u32RowsProcessed++;
    return e;
  }
  LevelShift(h, tc, c, line, n);
  (void)t;
  if (sc->u32Magnify < 2) {
    U32 d = sc->u32Reduction;
    if (tc->u32RowsWritten >= tc->u32OutHeight) {
      tc->u32RowsProcessed++;
      return 0;
    }
    U32 v = tc->u32Residual;
    S32 *rows = (S32 *)sc->ppu8Lines[c];
    bool last = tc->u32RowsProcessed + 1 >= tc->u32DecHeight;
    U32 inGroup = tc->u32RowsProcessed % (v ? v : 1);
    const S32 *outLine = line;
    if (v >= 2) {
      memcpy(rows + (size_t)inGroup * sc->u32Stride, line, n * 4);
      if (inGroup + 1 != v && !last) {
        tc->u32RowsProcessed++;
        return 0;
      }
      S32 *apRows[64];
      U32 nRows = inGroup + 1;
      for (U32 i = 0; i < nRows && i < 64; i++) apRows[i] = rows + (size_t)i * sc->u32Stride;
      JP2_Scale_Downwards(apRows, sc->ps32Output, n, nRows < 64 ? nRows : 64, tc->u32OutWidth, v, h->psPalette != nullptr);
      outLine = sc->ps32Output;
    }
    e = Write(h, c, outLine, tc->u32OutWidth, JP2_Ceil_Div(tc->u32Y0, d) + tc->u32RowsWritten - f->pu32OriginY[c],
              JP2_Ceil_Div(tc->u32X0, d) - f->pu32OriginX[c], true);
    tc->u32RowsWritten++;
    tc->u32RowsProcessed++;
    return e;
  }
  // Magnification: m rows between the previous row and this one.
  U32 m = sc->u32Magnify;
  S32 *prev = (S32 *)sc->ppu8Lines[c];
  auto emit = [&](const S32 *a, const S32 *b, U32 row) -> S32 {
    JP2_Scale_Upwards(a, b, sc->ps32Output, n, m);
    for (U32 i = 0; i < m; i++) {
      S32 e2 = Write(h, c, sc->ps32Output + (size_t)i * n * m, n * m, m * (tc->u32Y0 + row) + i - f->pu32OriginY[c],
                     m * tc->u32X0 - f->pu32OriginX[c], true);
      if (e2) return e2;
    }
    return 0;
  };
  if (tc->u32RowsProcessed > 0 && (e = emit(prev, line, tc->u32RowsProcessed - 1)) != 0) return e;
  if (tc->u32RowsProcessed + 1 >= tc->u32DecHeight && (e = emit(line, line, tc->u32RowsProcessed)) != 0) return e;
  memcpy(prev, line, n * 4);
  tc->u32RowsProcessed++;
  return 0;
}

static void _JP2_Format_MCT(JP2_Tile_Comp *tc, S32 *y0, S32 *y1, S32 *y2, U32 n) {
  if (tc->u8Wavelet == 1) {
    for (U32 i = 0; i < n; i++) {
      // Wrapping arithmetic: crafted samples may sit at the 32-bit limits.
      S32 g = (S32)((U32)y0[i] - (U32)(((S64)y1[i] + y2[i]) >> 2));
      S32 r = (S32)((U32)y2[i] + (U32)g), b = (S32)((U32)y1[i] + (U32)g);
      if (!tc->s32LineMode) {
        g = W16(g);
        r = W16(r);
        b = W16(b);
      }
      y0[i] = r;
      y1[i] = g;
      y2[i] = b;
    }
  } else if (tc->s32LineMode) {
    for (U32 i = 0; i < n; i++) {
      double a = Fl(y0[i]), b = Fl(y1[i]), c = Fl(y2[i]);
      float r = (float)(a + 1.402 * c), g = (float)((c * -0.71414 + b * -0.34413) + a), bl = (float)(a + 1.772 * b);
      y0[i] = Bits(r);
      y1[i] = Bits(g);
      y2[i] = Bits(bl);
    }
  } else {
    for (U32 i = 0; i < n; i++) {
      S32 a = y0[i], b = y1[i], c = y2[i];
      S32 r = (S32)((U32)a + (U32)((S32)(91881u * (U32)c + 32768u) >> 16));
      S32 g = (S32)((U32)a + (U32)((S32)((U32)(-46802) * (U32)c + (U32)(-22553) * (U32)b + 32768u) >> 16));
      S32 bl = (S32)((U32)a + (U32)((S32)(116130u * (U32)b + 32768u) >> 16));
      y0[i] = W16(r);
      y1[i] = W16(g);
      y2[i] = W16(bl);
    }
  }
}

S32 JP2_Format_Decomp(JP2_Wavelet *w, JP2_Decomp *h, U32 u32Tile, U32 c) {
  if (h->pfLineStart && h->pfLineStart(h->pvLineStartParam) != 0) return JP2_ERR_STOPPED;
  JP2_Tile *t = &h->psImage->psTiles[u32Tile];
  JP2_Tile_Comp *tc = &t->psComps[c];
  JP2_Format *f = h->psFormat;
  S32 *src = nullptr;
  JP2_Wavelet_Decomp_Next_Line(w, &src);
  U32 i0, i1;
  bool kept = _JP2_Format_Kept(h, tc, c, &i0, &i1);
  U16 j = JP2_Decomp_Get_Output_Component_Index(h);
  if (j > 2 || !f->u8Mct) {
    if (kept) memcpy(f->aps32FormatLine[0] + i0, src + i0, (i1 - i0) * 4);
    return _JP2_Format_Decomp_Single_Line(h, t, tc, c, f->aps32FormatLine[0]);
  }
  if (kept) memcpy(f->aps32FormatLine[j] + i0, src + i0, (i1 - i0) * 4);
  t->apvSlots[j] = f->aps32FormatLine[j];
  if (j < 2) return 0;
  // The three components share their sampling, so the kept columns of the last are those of all three.
  JP2_Tile_Comp *tc0 = &t->psComps[f->pu32Map[0]];
  if (kept) {
    U32 n0 = tc0->u32DecWidth;
    if (i1 > n0) i1 = n0;
    if (i0 < i1)
      _JP2_Format_MCT(tc0, f->aps32FormatLine[0] + i0, f->aps32FormatLine[1] + i0, f->aps32FormatLine[2] + i0, i1 - i0);
  }
  for (U16 p = 0; p < 3; p++) {
    JP2_Decomp_Set_Output_Component_Index(h, p);
    U32 cp = f->pu32Map[p];
    S32 e = _JP2_Format_Decomp_Single_Line(h, t, &t->psComps[cp], cp, f->aps32FormatLine[p]);
    if (e) return e;
  }
  return 0;
}
