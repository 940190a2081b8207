#include "draw/truetype.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_CACHE_H
#include FT_SIZES_H

#include <algorithm>
#include <cmath>
#include <cstring>

#include "draw/blend.h"
#include "draw/image32.h"
#include "draw/pixel.h"
#include "kernel/log.h"
#include "kernel/memory.h"

namespace {

// The face identity handed to the cache manager.
struct TFont {
  const char *filepathname;
  int face_index;
  int cmap_index;
  int num_indices;
};

struct grBitmap {
  int rows;
  int width;
  int pitch;
  U8 *buffer; // 8-bit coverage, top row first
};

// One cached glyph: a private copy of its coverage for a character at a requested text height.
struct ST {
  unsigned char ch;
  U32 height;
  int top;
  struct {
    ST *prev;
    ST *next;
  } i_list;
  grBitmap bit3;
};

constexpr U32 kWorkBytes = 384000;
constexpr int kPlaneWidth = 800;
constexpr int kPlaneRows = 480;
constexpr int kOutlineMaxWidth = 796; // laid-out text width that leaves the outline margins inside the plane
constexpr PIXEL kTopRowLimit = 480;

FT_Library s_FontLibrary;
FT_Face s_FontFace;
FTC_Manager s_ftc_Manager;
FTC_SBitCache s_sbits_cache;
FTC_CMapCache s_cmap_cache;
FT_Error s_fterror;
FT_Size s_largeSize; // for glyphs the small-bitmap cache cannot hold
TFont s_font;
FTC_ImageTypeRec s_current_font;
bool s_bReady;
ST *s_listCacheBuffer; // newest first

FT_Error face_requester(FTC_FaceID, FT_Library, FT_Pointer, FT_Face *aface) {
  *aface = s_FontFace;
  return 0;
}

U32 ftSize(U32 h) { return h * 60 / 44; }
U32 spacing(U32 h) { return h / 64 + 1; }

void setCacheSize(U32 h) {
  s_current_font.width = ftSize(h);
  s_current_font.height = ftSize(h);
}

// A glyph as drawn: its coverage and its top bearing.
struct GlyphView {
  grBitmap bm;
  int top;
};

bool lookupLargeGlyph(FT_UInt index, GlyphView *pOut) {
  if (s_largeSize == nullptr && FT_New_Size(s_FontFace, &s_largeSize)) return false;
  FT_Activate_Size(s_largeSize); // the cache manager activates its own sizes again at its next lookup
  if ((s_fterror = FT_Set_Pixel_Sizes(s_FontFace, s_current_font.width, s_current_font.height))) return false;
  if ((s_fterror = FT_Load_Glyph(s_FontFace, index, FT_LOAD_RENDER))) return false;
  const FT_GlyphSlot slot = s_FontFace->glyph;
  if (slot->bitmap.pitch < 0) return false; // rendered glyphs run top row first
  pOut->bm.rows = static_cast<int>(slot->bitmap.rows);
  pOut->bm.width = static_cast<int>(slot->bitmap.width);
  pOut->bm.pitch = slot->bitmap.pitch;
  pOut->bm.buffer = slot->bitmap.buffer;
  pOut->top = slot->bitmap_top;
  if (pOut->bm.buffer == nullptr) pOut->bm.rows = pOut->bm.width = 0;
  return true;
}

bool lookupGlyph(unsigned char ch, GlyphView *pOut) {
  if (!s_bReady) return false;
  const FT_UInt index = FTC_CMapCache_Lookup(s_cmap_cache, &s_font, s_font.cmap_index, ch);
  if (index == 0) return false;
  FTC_SBit sbit;
  s_fterror = FTC_SBitCache_Lookup(s_sbits_cache, &s_current_font, index, &sbit, nullptr);
  if (s_fterror) return false;
  // The cache keeps only glyphs whose metrics fit in a byte (marked by width 255 and no bitmap); larger ones,
  // such as digits of 100 pixels and more, are rendered on a size of their own.
  if (sbit->buffer == nullptr && sbit->width == 255) return lookupLargeGlyph(index, pOut);
  pOut->bm.rows = sbit->height;
  pOut->bm.width = sbit->width;
  pOut->bm.pitch = sbit->pitch;
  pOut->bm.buffer = sbit->buffer;
  pOut->top = sbit->top;
  if (sbit->buffer == nullptr) pOut->bm.rows = pOut->bm.width = 0;
  return true;
}

ST *findEntry(unsigned char ch, U32 h) {
  for (ST *p = s_listCacheBuffer; p; p = p->i_list.next)
    if (p->ch == ch && p->height == h && p->bit3.buffer) return p;
  return nullptr;
}

// The glyph from the list, or from FreeType; a glyph with a bitmap is added to the list when bAdd is set.
// The view stays valid until the next FreeType call.
bool getGlyph(unsigned char ch, U32 h, bool bAdd, GlyphView *pOut) {
  if (ST *e = findEntry(ch, h)) {
    pOut->bm = e->bit3;
    pOut->top = e->top;
    return true;
  }
  if (!lookupGlyph(ch, pOut)) return false;
  const U32 bytes = static_cast<U32>(pOut->bm.pitch * pOut->bm.rows);
  // A glyph without a bitmap has nothing to keep; listing it would add an entry on every draw.
  if (!bAdd || pOut->bm.buffer == nullptr || bytes == 0) return true;
  ST *e = static_cast<ST *>(H_MEMORY_pvMallocNoWait(sizeof(ST)));
  U8 *copy = e ? static_cast<U8 *>(H_MEMORY_pvMallocNoWait(bytes)) : nullptr;
  if (copy == nullptr) {
    if (e) H_MEMORY_vFree(e);
    return true; // still drawn, straight from FreeType
  }
  std::memcpy(copy, pOut->bm.buffer, bytes);
  e->ch = ch;
  e->height = h;
  e->top = pOut->top;
  e->bit3 = pOut->bm;
  e->bit3.buffer = copy;
  e->i_list.prev = nullptr;
  e->i_list.next = s_listCacheBuffer;
  if (s_listCacheBuffer) s_listCacheBuffer->i_list.prev = e;
  s_listCacheBuffer = e;
  pOut->bm.buffer = copy;
  return true;
}

U32 glyphAdvance(unsigned char ch, U32 h) {
  if (ch == ' ') return h / 2;
  GlyphView g;
  if (!getGlyph(ch, h, false, &g)) return 0;
  return static_cast<U32>(g.bm.width) + spacing(h);
}

U32 textWidth(const char *pText, U32 h) {
  U32 width = 0;
  for (const unsigned char *p = reinterpret_cast<const unsigned char *>(pText); p && *p; p++)
    width += glyphAdvance(*p, h);
  return width;
}

COLOR blendText(COLOR text, COLOR old, U32 a) {
  if (a > 208) return text;
  return G_BLEND_color255(text, old, a);
}

// Eight pixels at once, with the same result as blendText: coverage below 48 weighs 0 and above 208 weighs 255,
// and x / 255 is (x + 1 + (x >> 8)) >> 8, exact for the sums that occur (at most 255 x 63).
typedef U16 U16x8 __attribute__((vector_size(16)));
void blendEight(const U8 *pCov, COLOR *pDest, COLOR text) {
  U64 bytes;
  std::memcpy(&bytes, pCov, 8);
  if (bytes == 0) return; // nothing covered: the common case around glyphs
  const U16x8 a = {pCov[0], pCov[1], pCov[2], pCov[3], pCov[4], pCov[5], pCov[6], pCov[7]};
  U16x8 o;
  std::memcpy(&o, pDest, sizeof o);
  const U16x8 solid = a > 208, clear = a < 48;
  const U16x8 w = (a & ~(solid | clear)) | (solid & 255);
  const U16x8 k = 255 - w;
  auto div255 = [](U16x8 x) { return (x + 1 + (x >> 8)) >> 8; };
  const U16x8 r = div255(w * static_cast<U16>(text >> 11) + k * (o >> 11));
  const U16x8 g = div255(w * static_cast<U16>((text >> 5) & 0x3F) + k * ((o >> 5) & 0x3F));
  const U16x8 b = div255(w * static_cast<U16>(text & 0x1F) + k * (o & 0x1F));
  const U16x8 out = (r << 11) | (g << 5) | b;
  std::memcpy(pDest, &out, sizeof out);
}

// Draws one glyph's coverage with its bottom row at y0; rows and columns outside the bitmap's memory are dropped.
void drawCoverage(BITMAP *pBmp, const grBitmap &bm, PIXEL x, PIXEL y0, COLOR colorText) {
  const S64 stride = pBmp->__u32PixelWidthOfBuffer;
  const S64 memRows = std::min<S64>(pBmp->pixels_high_full_screen, pBmp->__u32PixelHeightOfBuffer);
  const S64 width = std::min<S64>(pBmp->pixels_wide_full_screen, stride);
  const int c0 = static_cast<int>(std::clamp<S64>(-static_cast<S64>(x), 0, bm.width));
  const int c1 = static_cast<int>(std::clamp<S64>(width - x, 0, bm.width));
  if (c0 >= c1) return;
  COLOR *pixels = reinterpret_cast<COLOR *>(pBmp->pBuffer);
  for (int k = 0; k < bm.rows; k++) {
    const S64 row = static_cast<S64>(pBmp->pixels_high_full_screen) - 1 - (static_cast<S64>(y0) + k);
    if (row < 0 || row >= memRows) continue;
    const U8 *pRow = bm.buffer + (bm.rows - 1 - k) * bm.pitch;
    COLOR *pDest = pixels + row * stride + x;
    int col = c0;
    for (; col + 8 <= c1; col += 8) blendEight(pRow + col, pDest + col, colorText);
    for (; col < c1; col++) {
      const U32 a = pRow[col];
      if (a >= 48) pDest[col] = blendText(colorText, pDest[col], a);
    }
  }
}

void putText(BITMAP *pBmp, const unsigned char *pText, PIXEL x, PIXEL y, COLOR colorText, U32 h) {
  for (; *pText; pText++) {
    if (*pText == ' ') {
      x += static_cast<PIXEL>(h / 2);
      continue;
    }
    GlyphView g;
    if (!getGlyph(*pText, h, true, &g)) continue;
    const PIXEL y0 = y + g.top - g.bm.rows;
    if (y0 + g.bm.rows >= kTopRowLimit) break;
    if (g.bm.buffer) drawCoverage(pBmp, g.bm, x, y0, colorText);
    x += static_cast<PIXEL>(g.bm.width + spacing(h));
  }
}

} // namespace

BOOLEAN G_TRUETYPE_bInit() {
  G_TRUETYPE_vRemoveList();
  s_bReady = false;
  s_largeSize = nullptr;
  if ((s_fterror = FT_Init_FreeType(&s_FontLibrary))) return FALSE;
  s_fterror = FT_New_Memory_Face(s_FontLibrary, ArialNarrow_Bold_QVcoding.pu8TTFdata,
                                 static_cast<FT_Long>(ArialNarrow_Bold_QVcoding.u32MaxWidth), 0, &s_FontFace);
  if (s_fterror) return FALSE;
  if ((s_fterror = FTC_Manager_New(s_FontLibrary, 1, 0, 1024, face_requester, nullptr, &s_ftc_Manager)))
    return FALSE;
  if ((s_fterror = FTC_SBitCache_New(s_ftc_Manager, &s_sbits_cache))) return FALSE;
  if ((s_fterror = FTC_CMapCache_New(s_ftc_Manager, &s_cmap_cache))) return FALSE;
  s_font.filepathname = nullptr;
  s_font.face_index = 0;
  s_font.cmap_index = s_FontFace->charmap ? FT_Get_Charmap_Index(s_FontFace->charmap) : 0;
  s_font.num_indices = static_cast<int>(s_FontFace->num_glyphs);
  s_current_font.face_id = &s_font;
  s_current_font.width = 15;
  s_current_font.height = 15;
  s_current_font.flags = FT_LOAD_RENDER;
  s_bReady = true;
  return TRUE;
}

void G_TRUETYPE_vSelectFontSet(int nSelectSet) {
  if (!s_bReady || s_FontFace->num_charmaps != 3) return;
  s_font.cmap_index = (nSelectSet == 0 || nSelectSet == 1) ? nSelectSet : 2;
}

void G_TRUETYPE_vRemoveList() {
  while (ST *e = s_listCacheBuffer) {
    s_listCacheBuffer = e->i_list.next;
    H_MEMORY_vFree(e->bit3.buffer);
    H_MEMORY_vFree(e);
  }
}

void G_TRUETYPE_vPut(BITMAP *pBmp, const char *pText, const POINT *pAnchor, COLOR colorText, U32 u32Height,
                     U32) {
  setCacheSize(u32Height);
  if (pText == nullptr || *pText == '\0') return;
  putText(pBmp, reinterpret_cast<const unsigned char *>(pText), pAnchor->x, pAnchor->y, colorText, u32Height);
}

U32 G_TRUETYPE_u32GetWidth(const char *pText, U32 u32Height, U32) {
  setCacheSize(u32Height);
  return textWidth(pText, u32Height);
}

U32 G_TRUETYPE_u32GetWidthNumWidthFixed(const char *pText, U32 u32Height, U32 u32FontStyle) {
  if (pText == nullptr) return 0;
  const U32 zero = G_TRUETYPE_u32GetWidth("0", u32Height, u32FontStyle);
  U32 width = 0;
  for (const char *p = pText; *p; p++) {
    const char one[2] = {*p, '\0'};
    width += (*p >= '0' && *p <= '9') ? zero : G_TRUETYPE_u32GetWidth(one, u32Height, u32FontStyle);
  }
  return width;
}

void G_TRUETYPE_vPutNumWidthFixed(BITMAP *pBmp, const char *pText, const POINT *pAnchor, COLOR colorText,
                                  U32 u32Height, U32 u32FontStyle) {
  if (pText == nullptr) return;
  const U32 zero = G_TRUETYPE_u32GetWidth("0", u32Height, u32FontStyle);
  POINT at = *pAnchor;
  for (const char *p = pText; *p; p++) {
    const char one[2] = {*p, '\0'};
    G_TRUETYPE_vPut(pBmp, one, &at, colorText, u32Height, u32FontStyle);
    at.x += static_cast<PIXEL>((*p >= '0' && *p <= '9') ? zero
                                                         : G_TRUETYPE_u32GetWidth(one, u32Height, u32FontStyle));
  }
}

void G_TRUETYPE_vPutRotated(BITMAP *pBmp, const char *pText, const POINT *pptAnchor, const POINT *pptRotateCenter,
                            double dRotateAngle, COLOR colorText, U32 u32Height, U32 u32FontStyle) {
  U8 *pWork = static_cast<U8 *>(H_MEMORY_pvMallocNoWait(kWorkBytes));
  if (pWork == nullptr) return;
  const U64 width = static_cast<U64>(G_TRUETYPE_u32GetWidth(pText, u32Height, u32FontStyle)) + 32;
  const U64 height = static_cast<U64>(u32Height) + 34;
  if (width * height * 4 > kWorkBytes) {
    log_me("G_TRUETYPE_vPutRotated: text of %u x %u pixels does not fit the work image",
           static_cast<unsigned>(width), static_cast<unsigned>(height));
    H_MEMORY_vFree(pWork);
    return;
  }
  std::memset(pWork, 0, width * height * 4);
  const U8 red = static_cast<U8>((colorText >> 11) << 3);
  const U8 green = static_cast<U8>(((colorText >> 5) & 0x3F) << 2);
  const U8 blue = static_cast<U8>((colorText & 0x1F) << 3);
  S64 x = 0;
  for (const unsigned char *p = reinterpret_cast<const unsigned char *>(pText); p && *p; p++) {
    if (*p == ' ') {
      x += u32Height / 2;
      continue;
    }
    GlyphView g;
    if (!getGlyph(*p, u32Height, true, &g)) continue;
    const S64 y0 = 32 + g.top - g.bm.rows;
    for (int k = 0; g.bm.buffer && k < g.bm.rows; k++) {
      const S64 row = y0 + k;
      if (row < 0 || row >= static_cast<S64>(height)) continue;
      const U8 *pCov = g.bm.buffer + (g.bm.rows - 1 - k) * g.bm.pitch;
      for (int col = 0; col < g.bm.width; col++) {
        const S64 cx = x + col;
        if (pCov[col] == 0 || cx < 0 || cx >= static_cast<S64>(width)) continue;
        U8 *e = pWork + (row * width + cx) * 4;
        e[0] = red;
        e[1] = green;
        e[2] = blue;
        e[3] = pCov[col];
      }
    }
    x += g.bm.width + spacing(u32Height);
  }
  const IMAGE32 image = {pWork, nullptr, static_cast<S32>(width), static_cast<S32>(height), 5};
  const POINT center = {pptRotateCenter->x, pptRotateCenter->y + 32};
  G_IMAGE32_vPutRotated(pBmp, &image, pptAnchor, &center, dRotateAngle);
  H_MEMORY_vFree(pWork);
}

void G_TRUETYPE_vPutOutlined(BITMAP *pBmp, const char *pText, const POINT *pAnchor, COLOR colorText,
                             U32 u32HeightFont, U32, COLOR colorOutline) {
  if (!s_bReady || pText == nullptr) return;
  const int h = static_cast<int>(std::min<U32>(u32HeightFont, kPlaneRows));
  // A size of its own, so that the size objects of the glyph cache keep their scale.
  FT_Size size;
  if (FT_New_Size(s_FontFace, &size)) return;
  FT_Activate_Size(size);
  FT_Set_Char_Size(s_FontFace, 0, static_cast<FT_F26Dot6>(h) * 64, 800, 480);
  FT_Set_Pixel_Sizes(s_FontFace, 0, static_cast<FT_UInt>(h * 60 / 44));
  U8 *pCover = static_cast<U8 *>(H_MEMORY_pvMallocNoWait(kWorkBytes));
  U8 *pOutline = static_cast<U8 *>(H_MEMORY_pvMallocNoWait(kWorkBytes));
  if (pCover == nullptr || pOutline == nullptr) {
    if (pCover) H_MEMORY_vFree(pCover);
    if (pOutline) H_MEMORY_vFree(pOutline);
    FT_Done_Size(size);
    return;
  }
  std::memset(pCover, 0, kWorkBytes);
  std::memset(pOutline, 0, kWorkBytes);

  int x = 0;
  for (const unsigned char *p = reinterpret_cast<const unsigned char *>(pText); *p; p++) {
    if (*p == ' ') {
      x += h / 2;
      continue;
    }
    const FT_UInt index = FT_Get_Char_Index(s_FontFace, *p);
    if (FT_Load_Glyph(s_FontFace, index, FT_LOAD_RENDER) ||
        FT_Render_Glyph(s_FontFace->glyph, FT_RENDER_MODE_NORMAL))
      continue;
    const FT_GlyphSlot slot = s_FontFace->glyph;
    const FT_Bitmap &bm = slot->bitmap;
    const int rows = static_cast<int>(bm.rows);
    const int width = static_cast<int>(bm.width);
    const int base = slot->metrics.height == slot->metrics.horiBearingY
                         ? h
                         : h - static_cast<int>((slot->metrics.height - slot->metrics.horiBearingY) / 64);
    if (base + rows > 479) break;
    // The planes hold 796 columns of text and its rows between the margins; the rest of the text is dropped.
    if (x + width > kOutlineMaxWidth || base + 2 < 0 || base + 2 + rows > kPlaneRows) break;
    for (int k = 0; k < rows; k++) {
      const U8 *pRow = bm.buffer + (rows - 1 - k) * bm.pitch;
      U8 *pDest = pCover + (base + 2 + k) * kPlaneWidth + x + 2;
      for (int col = 0; col < width; col++)
        if (pRow[col]) pDest[col] = pRow[col];
    }
    x += h / 64 + width + 2;
  }
  const int planeWidth = std::min(x, kOutlineMaxWidth) + 4;
  const int planeRows = std::min(2 * h + 4, kPlaneRows);

  for (int v = 0; v < planeRows; v++) {
    for (int u = 0; u < planeWidth; u++) {
      if (pCover[v * kPlaneWidth + u]) continue;
      int best = 32767;
      for (int dy = -2; dy <= 2; dy++) {
        const int nv = v + dy;
        if (nv < 0 || nv >= planeRows) continue;
        for (int dx = -2; dx <= 2; dx++) {
          const int nu = u + dx;
          if (nu < 0 || nu >= planeWidth) continue;
          const int c = pCover[nv * kPlaneWidth + nu];
          if (c == 0) continue;
          const int d2 = (dx * dx + dy * dy) * 65536;
          if (d2 >= best * best) continue;
          const int candidate = (255 - c) + static_cast<int>(std::sqrt(static_cast<double>(d2)));
          best = std::min(best, candidate);
        }
      }
      pOutline[v * kPlaneWidth + u] = static_cast<U8>(best < 257 ? 255 : best <= 511 ? 511 - best : 0);
    }
  }

  for (int v = 0; v < planeRows; v++) {
    for (int u = 0; u < planeWidth; u++) {
      const PIXEL px = pAnchor->x + u - 2;
      const PIXEL py = pAnchor->y + v - h - 2;
      const U32 a = pCover[v * kPlaneWidth + u];
      const U32 o = pOutline[v * kPlaneWidth + u];
      if (a > 240) {
        G_PIXEL_vPut(pBmp, px, py, colorText);
      } else if (a > 0) {
        G_PIXEL_vPut(pBmp, px, py, G_BLEND_color255(colorText, colorOutline, a));
      } else if (o > 0 && G_BLEND_bInClip(pBmp, px, py)) {
        if (const COLOR *pOld = G_BLEND_pPixelInBuffer(pBmp, px, py))
          G_PIXEL_vPut(pBmp, px, py, G_BLEND_color255(colorOutline, *pOld, o));
      }
    }
  }
  H_MEMORY_vFree(pCover);
  H_MEMORY_vFree(pOutline);
  FT_Done_Size(size);
}

U32 G_TRUETYPE_u32GetListLength() {
  U32 n = 0;
  for (ST *p = s_listCacheBuffer; p; p = p->i_list.next) n++;
  return n;
}

int G_TRUETYPE_nGetCharmapIndex() { return s_font.cmap_index; }
