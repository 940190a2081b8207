#include "draw/image32.h"

#include <algorithm>
#include <cmath>

#include "draw/blend.h"
#include "draw/icon.h"
#include "draw/pixel.h"

namespace {
constexpr PIXEL kScreenWidth = 800;
constexpr PIXEL kScreenHeight = 480;
constexpr U8 kRunRed = 90;
constexpr U8 kOpaqueBlack[4] = {0, 0, 0, 255};

bool onScreen(PIXEL x, PIXEL y) { return x >= 0 && x < kScreenWidth && y >= 0 && y < kScreenHeight; }

// Decodes rowCount rows, calling put(col, row, entry, bRun) for the first perRow pixels of each row. A run
// repeats the previous entry (opaque black before the first) and is cut at the picture's width; the next row
// starts with the entry after the last one used.
template <class Put>
void decode(const void *data, S32 width, S32 rowCount, S32 perRow, Put put) {
  const U8 *p = static_cast<const U8 *>(data);
  const U8 *previous = kOpaqueBlack;
  for (S32 row = 0; row < rowCount; row++) {
    S32 produced = 0;
    while (produced < perRow) {
      const U8 *e = p;
      p += 4;
      if (e[0] == kRunRed && e[3] == 0) {
        const S32 n = std::min<S32>(e[1] | (e[2] << 8), width - produced);
        for (S32 k = 0; k < n; k++, produced++) put(produced, row, previous, true);
        continue;
      }
      previous = e;
      put(produced, row, e, false);
      produced++;
    }
  }
}

COLOR opaque(const U8 *e) {
  return static_cast<COLOR>(((e[0] >> 3) << 11) | ((e[1] >> 2) << 5) | (e[2] >> 3));
}

// Alpha 1..254 over the destination, the sum shifted by 8.
COLOR blendShift(const U8 *e, COLOR dst) {
  const U32 a = e[3];
  const U32 r = (a * (e[0] >> 3) + (255 - a) * (dst >> 11)) >> 8;
  const U32 g = (a * (e[1] >> 2) + (255 - a) * ((dst >> 5) & 0x3F)) >> 8;
  const U32 b = (a * (e[2] >> 3) + (255 - a) * (dst & 0x1F)) >> 8;
  return static_cast<COLOR>((r << 11) | (g << 5) | b);
}

COLOR blend255(const U8 *e, COLOR dst) { return G_BLEND_color255(opaque(e), dst, e[3]); }

// The new value of a destination pixel, or false when the entry leaves it alone.
template <COLOR (*Blend)(const U8 *, COLOR)>
bool shade(const U8 *e, COLOR dst, COLOR *pOut) {
  if (e[3] == 0) return false;
  *pOut = e[3] == 255 ? opaque(e) : Blend(e, dst);
  return true;
}

// Direct write within the 800 x 480 screen and within the destination's memory.
template <COLOR (*Blend)(const U8 *, COLOR)>
void putDirectScreen(BITMAP *pDest, PIXEL x, PIXEL y, const U8 *e) {
  if (!onScreen(x, y)) return;
  COLOR *pPixel = G_BLEND_pPixelInBuffer(pDest, x, y);
  if (pPixel) shade<Blend>(e, *pPixel, pPixel);
}

// Through the clip rectangle: the destination is read only where it may be written.
template <COLOR (*Blend)(const U8 *, COLOR)>
void putClipped(BITMAP *pDest, PIXEL x, PIXEL y, const U8 *e) {
  if (!G_BLEND_bInClip(pDest, x, y)) return;
  const COLOR *pOld = G_BLEND_pPixelInBuffer(pDest, x, y);
  COLOR out;
  if (pOld && shade<Blend>(e, *pOld, &out)) G_PIXEL_vPut(pDest, x, y, out);
}

U32 toUnsigned(double v) { return v > 0 ? (v < 4294967295.0 ? static_cast<U32>(v) : 0xFFFFFFFFu) : 0; }

struct Box {
  PIXEL x0, x1, y0, y1; // x0 <= x < x1, y0 <= y < y1
};

// The screen area a rotated picture can touch, widened by a pixel and kept to the screen.
Box rotatedBox(const POINT *a, const POINT *rc, S32 w, S32 h, double c, double s) {
  double minX = 1e30, maxX = -1e30, minY = 1e30, maxY = -1e30;
  for (int i = 0; i < 4; i++) {
    const double dx = (i & 1) ? w - rc->x : -rc->x;
    const double dy = (i & 2) ? h - rc->y : -rc->y;
    const double x = a->x + dx * c - dy * s;
    const double y = a->y + dx * s + dy * c;
    minX = std::min(minX, x);
    maxX = std::max(maxX, x);
    minY = std::min(minY, y);
    maxY = std::max(maxY, y);
  }
  auto fit = [](double v, PIXEL limit) { return static_cast<PIXEL>(std::clamp(v, 0.0, static_cast<double>(limit))); };
  return Box{fit(std::trunc(minX) - 1, kScreenWidth), fit(std::trunc(maxX) + 2, kScreenWidth),
             fit(std::trunc(minY) - 1, kScreenHeight), fit(std::trunc(maxY) + 2, kScreenHeight)};
}

S64 fixed16(double v) { return std::clamp<S64>(static_cast<S64>(v * 65536.0), -65536, 65536); }

// Bilinear sums of the four picture pixels around (u, v) in 16.16; false when the pixel is outside the picture.
struct Sample {
  S64 w, r, g, b;
};
bool sample(const U8 *data, S32 w, S32 h, S64 u, S64 v, Sample *pOut) {
  if (!(u > -65536 && u <= static_cast<S64>(w) * 65536 + 65535 && v > -65536 &&
        v <= static_cast<S64>(h) * 65536 + 65535))
    return false;
  const S64 iu = u >> 16, iv = v >> 16;
  const S64 fu = (65536 - (u & 0xFFFF)) >> 8, fv = (65536 - (v & 0xFFFF)) >> 8;
  *pOut = {0, 0, 0, 0};
  for (int n = 0; n < 4; n++) {
    const S64 col = iu + (n & 1), row = iv + (n >> 1);
    if (col < 0 || col >= w || row < 0 || row >= h) continue;
    const U8 *e = data + (row * w + col) * 4;
    if (e[3] == 0) continue;
    const S64 weight = ((n & 1) ? 256 - fu : fu) * ((n >> 1) ? 256 - fv : fv) * e[3];
    pOut->w += weight;
    pOut->r += weight * e[0];
    pOut->g += weight * e[1];
    pOut->b += weight * e[2];
  }
  return true;
}

template <class Write>
void rotate(BITMAP *pDest, const void *data, S32 w, S32 h, const POINT *pptAnchor, const POINT *pptRotateCenter,
            double angle, Write write) {
  if (w <= 0 || h <= 0) return;
  const double c = std::cos(angle), s = std::sin(angle);
  const Box box = rotatedBox(pptAnchor, pptRotateCenter, w, h, c, s);
  const S64 C = fixed16(c), S = fixed16(s);
  const U8 *pixels = static_cast<const U8 *>(data);
  for (PIXEL X = box.x0; X < box.x1; X++) {
    for (PIXEL Y = box.y0; Y < box.y1; Y++) {
      const S64 dy = Y - pptAnchor->y, dx = X - pptAnchor->x;
      const S64 u = S * dy + C * dx + static_cast<S64>(pptRotateCenter->x) * 65536;
      const S64 v = C * dy - S * dx + static_cast<S64>(pptRotateCenter->y) * 65536;
      Sample sm;
      if (!sample(pixels, w, h, u, v, &sm) || sm.w <= 65536) continue;
      write(pDest, X, Y, sm);
    }
  }
}

COLOR pack(S64 r, S64 g, S64 b) {
  return static_cast<COLOR>((std::min<S64>(r, 31) << 11) | (std::min<S64>(g, 63) << 5) | std::min<S64>(b, 31));
}

// Quadrant codes of the sector fill.
S32 parts[4];
S32 x_end_test, y_end_test;
float s_ke, s_be;
} // namespace

void G_IMAGE32_vPut(BITMAP *pDest, const IMAGE32 *pImage, const POINT *pptLowerLeft) {
  if (pImage->s32Width <= 0 || pImage->s32Height <= 0) return;
  decode(pImage->data, pImage->s32Width, pImage->s32Height, pImage->s32Width,
         [&](S32 col, S32 row, const U8 *e, bool) {
           putDirectScreen<blendShift>(pDest, pptLowerLeft->x + col, pptLowerLeft->y + row, e);
         });
}

void G_IMAGE32_vPutOld(BITMAP *pDest, const ICON *pIcon, const POINT *pptLowerLeft) {
  if (pIcon->nWidth <= 0 || pIcon->nHeight <= 0) return;
  decode(pIcon->pBitmap, pIcon->nWidth, pIcon->nHeight, pIcon->nWidth, [&](S32 col, S32 row, const U8 *e, bool) {
    putClipped<blend255>(pDest, pptLowerLeft->x + col, pptLowerLeft->y + row, e);
  });
}

void G_IMAGE32_PART_vPutNew(BITMAP *pDest, const IMAGE32 *pImage, const POINT *pptLowerLeft, float fwidthPercent,
                            float fHightPercent) {
  if (pImage->s32Width <= 0 || pImage->s32Height <= 0) return;
  // Clipped to the clip rectangle like the 16-bit partial picture.
  decode(pImage->data, pImage->s32Width, G_IMAGE_s32Part(fHightPercent, pImage->s32Height),
         G_IMAGE_s32Part(fwidthPercent, pImage->s32Width), [&](S32 col, S32 row, const U8 *e, bool) {
           const PIXEL x = pptLowerLeft->x + col, y = pptLowerLeft->y + row;
           if (!G_BLEND_bInClip(pDest, x, y)) return;
           if (COLOR *pPixel = G_BLEND_pPixelInBuffer(pDest, x, y)) shade<blend255>(e, *pPixel, pPixel);
         });
}

void G_IMAGE32_PART_vPut(BITMAP *pDest, const IMAGE32 *pImage, const POINT *pptLowerLeft, const POINT *pptCenter,
                         U32 u32RotatedAngle) {
  if (pImage->s32Width <= 0 || pImage->s32Height <= 0) return;
  const double t = std::tan(u32RotatedAngle * M_PI / 180.0);
  const bool upperHalf = u32RotatedAngle >= 1 && u32RotatedAngle <= 180;
  decode(pImage->data, pImage->s32Width, pImage->s32Height, pImage->s32Width,
         [&](S32 col, S32 row, const U8 *e, bool bRun) {
           const PIXEL X = pptLowerLeft->x + col, y = pptLowerLeft->y + row;
           if (!bRun) {
             if (upperHalf) {
               const U32 limit = toUnsigned(pptCenter->y - (pptCenter->x - X) / t);
               if (!(y >= 0 && static_cast<U32>(y) < limit && X < pptCenter->x)) return;
             } else {
               const double limit = pptCenter->y + (X - pptCenter->x) / t;
               if (!(y >= limit || X <= pptCenter->x)) return;
             }
           }
           putClipped<blend255>(pDest, X, y, e);
         });
}

void G_IMAGE32_vPutRotated(BITMAP *pDest, const IMAGE32 *pImage, const POINT *pptAnchor,
                           const POINT *pptRotateCenter, double dRotateAngle) {
  rotate(pDest, pImage->data, pImage->s32Width, pImage->s32Height, pptAnchor, pptRotateCenter, dRotateAngle,
         [](BITMAP *d, PIXEL X, PIXEL Y, const Sample &sm) {
           COLOR *pPixel = G_BLEND_pPixelInBuffer(d, X, Y);
           if (pPixel == nullptr) return;
           if (sm.w < 0xFE0000) {
             const S64 k = 0x1000000 - sm.w;
             const COLOR dst = *pPixel;
             *pPixel = pack(((dst >> 11) * k + (sm.r >> 3)) >> 24, (((dst >> 5) & 0x3F) * k + (sm.g >> 2)) >> 24,
                            ((dst & 0x1F) * k + (sm.b >> 3)) >> 24);
           } else {
             *pPixel = pack(sm.r >> 27, sm.g >> 26, sm.b >> 27);
           }
         });
}

void G_IMAGE32_vPutRotatedOld(BITMAP *pDest, const ICON *pIcon, const POINT *pptAnchor,
                              const POINT *pptRotateCenter, double dRotateAngle) {
  rotate(pDest, pIcon->pBitmap, pIcon->nWidth, pIcon->nHeight, pptAnchor, pptRotateCenter, dRotateAngle,
         [](BITMAP *d, PIXEL X, PIXEL Y, const Sample &sm) {
           if (!G_BLEND_bInClip(d, X, Y)) return;
           const COLOR *pOld = G_BLEND_pPixelInBuffer(d, X, Y);
           if (pOld == nullptr) return;
           constexpr S64 kDiv = 255 * 65536;
           const S64 k = sm.w < 0xFE0000 ? 0x1000000 - sm.w : 0;
           const COLOR dst = *pOld;
           const S64 r = (((dst >> 11) * k + (sm.r >> 3)) / kDiv) & 0xFF;
           const S64 g = ((((dst >> 5) & 0x3F) * k + (sm.g >> 2)) / kDiv) & 0xFF;
           const S64 b = (((dst & 0x1F) * k + (sm.b >> 3)) / kDiv) & 0xFF;
           G_PIXEL_vPut(d, X, Y, pack(r, g, b));
         });
}

void G_IMAGE32_vPutCondition(BITMAP *pDest, const IMAGE32 *pImage, const POINT *pptLowerLeft, U32 u32Radius,
                             float fStartAngle, float fEndAngle, POINT *archor, S32 direction) {
  if (pImage->s32Width <= 0 || pImage->s32Height <= 0) return;
  const double R = u32Radius;
  auto quadrantOfAngle = [](float a) {
    const S64 q = static_cast<S64>(std::clamp(a / 90.0f, -1e9f, 1e9f)) % 4;
    return static_cast<int>(q < 0 ? q + 4 : q);
  };
  const double end = fEndAngle * 0.017453;
  auto toPixel = [](double v) { return static_cast<S32>(std::clamp(v, -1e9, 1e9)); };
  x_end_test = toPixel(archor->x - R * std::cos(end));
  y_end_test = toPixel(archor->y - direction * R * std::sin(end));
  const int qs = quadrantOfAngle(fStartAngle), qe = quadrantOfAngle(fEndAngle);
  for (S32 &p : parts) p = 0;
  if (qs == qe) {
    parts[qs] = std::fmod(fStartAngle, 360.0f) < std::fmod(fEndAngle, 360.0f) ? 4 : 5;
  } else {
    parts[qs] = 1;
    for (int q = (qs + 1) % 4; q != qe; q = (q + 1) % 4) parts[q] = 2;
    parts[qe] = 3;
  }
  if (x_end_test == archor->x) {
    s_ke = 10000.0f * direction;
    s_be = 0;
  } else {
    s_ke = static_cast<float>(y_end_test - archor->y) / static_cast<float>(x_end_test - archor->x);
    s_be = y_end_test - s_ke * x_end_test;
  }
  const bool rightHalfOff = std::abs(x_end_test - archor->x) <= 2;
  decode(pImage->data, pImage->s32Width, pImage->s32Height, pImage->s32Width,
         [&](S32 col, S32 row, const U8 *e, bool) {
           const PIXEL x = pptLowerLeft->x + col, y = pptLowerLeft->y + row;
           if (!onScreen(x, y)) return;
           const bool left = x <= archor->x;
           const bool upper = direction < 0 ? y > archor->y : y < archor->y;
           const int q = upper ? (left ? 0 : 1) : (left ? 3 : 2);
           const S32 code = parts[q];
           if (code == 0 || (rightHalfOff && x > archor->x)) return;
           if (code >= 3) {
             const float f = (s_be - y + x * s_ke) * direction;
             if ((q == 0 || q == 3) ? !(f <= 0) : !(f >= 0)) return;
           }
           putClipped<blendShift>(pDest, x, y, e);
         });
}
