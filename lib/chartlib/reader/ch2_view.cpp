// View geometry over a map context, rhumb distances and the rounding of ranges and grid steps.
#include <algorithm>
#include <cmath>

#include "chartlib/reader/ch2_internal.h"
#include "chartlib/reader/ch2_map.h"
#include "chartlib/nav/nv_navig.h"

using namespace ch2_detail;

ERRORCODE ch2_IsPointInsideView(const MAPCONTEXT2 *ctx, const POINT *p, SINT m, BOOL *inside) {
  const POINT &lb = ctx->sMapView.sPointLeftBottom, &rt = ctx->sMapView.sPointRightTop;
  const int64_t x = p->x, y = p->y;
  *inside = (static_cast<int64_t>(lb.x) + m <= x && x <= static_cast<int64_t>(rt.x) - m &&
             static_cast<int64_t>(lb.y) + m <= y && y <= static_cast<int64_t>(rt.y) - m)
                ? TRUE
                : FALSE;
  return CL_SUCCESS;
}

ERRORCODE ch2_IsSegmentOutsideView(const MAPCONTEXT2 *ctx, const POINT *p1, const POINT *p2, SINT m,
                                   BOOL *outside) {
  const POINT &lb = ctx->sMapView.sPointLeftBottom, &rt = ctx->sMapView.sPointRightTop;
  const int64_t left = static_cast<int64_t>(lb.x) + m, right = static_cast<int64_t>(rt.x) - m;
  const int64_t bottom = static_cast<int64_t>(lb.y) + m, top = static_cast<int64_t>(rt.y) - m;
  const bool visible = (p1->x >= left || p2->x >= left) && (p1->x <= right || p2->x <= right) &&
                       (p1->y >= bottom || p2->y >= bottom) && (p1->y <= top || p2->y <= top);
  *outside = visible ? FALSE : TRUE;
  return CL_SUCCESS;
}

ERRORCODE ch2_ViewIntersection(const MAPCONTEXT2 *ctx, DOUBLE k, DOUBLE c, POINT *first, POINT *second) {
  const POINT &lb = ctx->sMapView.sPointLeftBottom, &rt = ctx->sMapView.sPointRightTop;
  int found = 0;
  if (std::fabs(k) < 5729.577893) {  // not within 0.01 degree of vertical
    const int32_t yl = TruncSat(c + k * lb.x);
    if (yl >= lb.y && yl <= rt.y) {
      *first = {lb.x, yl};
      found = 1;
    }
    const int32_t yr = TruncSat(c + k * rt.x);
    if (yr >= lb.y && yr <= rt.y) {
      *(found == 1 ? second : first) = {rt.x, yr};
      ++found;
    }
    if (found == 2) return CL_SUCCESS;
  }
  if (k == 0.0) return CL_SUCCESS;
  const POINT topCrossing{TruncSat((rt.y - c) / k), rt.y};
  const int32_t xb = TruncSat((lb.y - c) / k);
  if (xb < lb.x || xb > rt.x) {
    *second = topCrossing;
    return CL_SUCCESS;
  }
  if (found == 1) {
    *second = {xb, lb.y};
  } else {
    *first = {xb, lb.y};
    *second = topCrossing;
  }
  return CL_SUCCESS;
}

ERRORCODE ch2_LinearDistance(const MAPCONTEXT2 *ctx, const POINT *p1, const POINT *p2, BOOL meters,
                             DOUBLE *distance) {
  *distance = 0.0;
  POINT a = *p1, b = *p2;
  if (!meters) {
    ch2_PixelToMeter(ctx, p1, &a);
    ch2_PixelToMeter(ctx, p2, &b);
  }
  DOUBLE course = 0.0;
  nv_RouteAngle(&a, &b, &course);
  POSITION pa{}, pb{};
  ERRORCODE e = nv_MeterToDegr(&a, &pa);
  if (CL_IsError(e)) return e;
  e = nv_MeterToDegr(&b, &pb);
  if (CL_IsError(e)) return e;
  return nv_CalcDistance(&pa, &pb, course, distance);
}

ERRORCODE ch2_AutoRange(POINT a, POINT b, DOUBLE minimum, SINT size, FLOAT *range) {
  *range = 0.0;
  const POINT ab{a.x, b.y}, ba{b.x, a.y};
  DOUBLE d[3] = {};
  const POINT *from[3] = {&a, &ab, &a}, *to[3] = {&ab, &b, &ba};
  for (int i = 0; i < 3; ++i) {
    const ERRORCODE e = ch2_LinearDistance(nullptr, from[i], to[i], TRUE, &d[i]);
    if (CL_IsError(e)) return e;
  }
  const DOUBLE m = std::max({d[0], d[1], d[2]});
  if (!(m > CH2_EPSILON)) {
    *range = minimum;
    return CH2_WARN_EMPTY_RECT;
  }
  const DOUBLE h = F32(m / 2);
  DOUBLE r = 0.0;
  ch2_RoundRange(h, &r);
  DOUBLE t = std::max(r, minimum);
  const DOUBLE u = F32(size * 0.001953125);
  // Stops at infinity too: a size not above 0 would otherwise double for ever.
  while (u < h / t && std::isfinite(t)) t *= 2;
  *range = t;
  return CL_SUCCESS;
}

ERRORCODE ch2_RoundRange(DOUBLE value, FLOAT *range) {
  // The factor is slightly above 1 / ln 2, so an exact power of two goes to the next one.
  *range = F32(std::exp(std::ceil(std::log(value) * 1.4426950420544162) * 0.69314718));
  return CL_SUCCESS;
}

ERRORCODE ch2_RoundToMileFrac(DOUBLE value, DOUBLE step, FLOAT *out) {
  if (!(step > 0.0)) {
    *out = 0.0;
    return CH2_ERR_ROUNDING_STEP;
  }
  *out = F32(step * std::floor((value + step / 2) / step));
  return CL_SUCCESS;
}

ERRORCODE ch2_CalcRatio(DOUBLE value, SINT divisor, FLOAT *out) {
  if (divisor == 0) {
    *out = 0.0;
    return CH2_ERR_ZERO_DIVISOR;
  }
  *out = F32(value / std::fabs(static_cast<DOUBLE>(divisor)));
  return CL_SUCCESS;
}

DOUBLE ch2_RoundGridStep(DOUBLE value) {
  const DOUBLE a = std::fabs(value);
  if (!(a > CH2_EPSILON)) return F32(ch2_GridStepTable[0]);
  const DOUBLE v = std::clamp(std::trunc(std::log2(a)), -3.0, 16.0);
  return F32(ch2_GridStepTable[static_cast<int>(v) + 3]);
}
