// Decorated lines: the cross-marked line and the undulated line, drawn with the pattern switched off.
#include <cstdint>
#include <cstdlib>

#include "chartlib/raster/gl_pixel.h"

namespace {

inline SINT sgn(SINT v) { return v >= 0 ? 1 : -1; }

// The radius-2 ring of offsets, clockwise on the image from the top.
constexpr PIXELPOS kRing[12] = {{0, -2}, {1, -2}, {2, -1}, {2, 0},  {2, 1},   {1, 2},
                                {0, 2},  {-1, 2}, {-2, 1}, {-2, 0}, {-2, -1}, {-1, -2}};
// Diameter of a half circle by slope class: along the minor axis, along the major axis.
constexpr SINT kS1[4] = {0, 1, 1, 2};
constexpr SINT kS2[4] = {2, 2, 2, 1};

SINT ringIndex(SINT dx, SINT dr)
{
  for (SINT i = 0; i < 12; i++) {
    if (kRing[i].px == dx && kRing[i].py == dr) return i;
  }
  return 0;
}

// Half circle from P to P + 2D round the clockwise or the counter-clockwise side.
void halfCircle(GR_CONTEXT *gc, SINT px, SINT pr, SINT dx, SINT dr, bool clockwise)
{
  const SINT cx = px + dx, cr = pr + dr;
  SINT i = ringIndex(-dx, -dr);
  ERRORCODE ignored = CL_SUCCESS;
  for (SINT k = 0; k <= 6; k++, i = (i + (clockwise ? 1 : 11)) % 12) {
    gl_PutClipped(gc, cx + kRing[i].px, cr + kRing[i].py, &ignored);
  }
}

} // namespace

ERRORCODE gf_DrawCrossLine(GR_CONTEXT *gc, SINT x0, SINT r0, SINT x1, SINT r1, SINT gaps)
{
  gr_SetPatternStatus(gc, 0);
  const bool xmajor = std::abs(x1 - x0) >= std::abs(r1 - r0);
  const SINT major0 = xmajor ? x0 : r0, major1 = xmajor ? x1 : r1;
  const SINT minor0 = xmajor ? r0 : x0, minor1 = xmajor ? r1 : x1;
  const SINT extent = std::abs(major1 - major0), step = sgn(major1 - major0);
  // Coinciding ends have no extent to divide by: a single mark.
  const int64_t g = extent ? ((int64_t)(minor1 - minor0) * 65536) / extent : 0;
  const int64_t fixed0 = (int64_t)minor0 * 65536 + 32768;
  const double m = (double)(((fixed0 + 7 * g) >> 16) - minor0) / 7.0;
  ERRORCODE res = CL_SUCCESS;
  for (SINT i = 0; i <= extent; i++) {
    const SINT mj = major0 + i * step;
    const SINT mn = (SINT)((fixed0 + i * g) >> 16);
    const SINT x = xmajor ? mj : mn, r = xmajor ? mn : mj;
    const SINT phase = i % 7;
    if (phase == 0) {
      gl_PutClipped(gc, x, r, &res);
      if (xmajor) {
        gl_PutClipped(gc, (SINT)(x + m), r - 1, &res);
        gl_PutClipped(gc, (SINT)(x - m), r + 1, &res);
        gl_PutClipped(gc, (SINT)(x + 2 * m), r - 2, &res);
        gl_PutClipped(gc, (SINT)(x - 2 * m), r + 2, &res);
      } else {
        gl_PutClipped(gc, x + 1, (SINT)(r - m), &res);
        gl_PutClipped(gc, x - 1, (SINT)(r + m), &res);
        gl_PutClipped(gc, x + 2, (SINT)(r - 2 * m), &res);
        gl_PutClipped(gc, x - 2, (SINT)(r + 2 * m), &res);
      }
    } else if (!(gaps && (phase == 3 || phase == 4))) {
      gl_PutClipped(gc, x, r, &res);
    }
  }
  gr_SetPatternStatus(gc, 1);
  return res;
}

ERRORCODE gf_DrawUndulatedLine(GR_CONTEXT *gc, SINT x0, SINT r0, SINT x1, SINT r1)
{
  gr_SetPatternStatus(gc, 0);
  if (x0 == x1 && r0 == r1) {
    gl_SetPixelAt(gc, x0, r0);
    gr_SetPatternStatus(gc, 1);
    return CL_SUCCESS;
  }
  const SINT ax = std::abs(x1 - x0), ar = std::abs(r1 - r0);
  const bool xmajor = ax > ar;
  // Walked from the left end (x-major) or the upper end.
  const bool swap = xmajor ? x1 < x0 : r1 < r0;
  const SINT sx0 = swap ? x1 : x0, sr0 = swap ? r1 : r0, fx = swap ? x0 : x1, fr = swap ? r0 : r1;
  const SINT sx = fx >= sx0 ? 1 : -1, sr = fr >= sr0 ? 1 : -1;
  const SINT major = xmajor ? ax : ar, minor = xmajor ? ar : ax;
  const SINT cls = 3 * minor / major;
  const SINT dx = (xmajor ? kS2[cls] : kS1[cls]) * sx, dr = (xmajor ? kS1[cls] : kS2[cls]) * sr;
  // The first half circle bulges to the left of the given direction: clockwise when the walk runs that way.
  bool clockwise = (int64_t)(x1 - x0) * dx + (int64_t)(r1 - r0) * dr > 0;
  const bool everyFourth = ax == ar || ax <= 20 || ar <= 20;

  GlStep st(sx0, sr0, fx, fr);
  SINT lastx = sx0, lastr = sr0, steps = 0;
  halfCircle(gc, sx0, sr0, dx, dr, clockwise);
  for (st.next(); !st.at(fx, fr); st.next()) {
    steps++;
    const int64_t ddx = st.x - lastx, ddr = st.r - lastr;
    if (everyFourth ? steps % 4 == 0 : ddx * ddx + ddr * ddr >= 17) {
      clockwise = !clockwise;
      halfCircle(gc, st.x, st.r, dx, dr, clockwise);
      lastx = st.x;
      lastr = st.r;
    }
  }
  gr_SetPatternStatus(gc, 1);
  return CL_SUCCESS;
}
