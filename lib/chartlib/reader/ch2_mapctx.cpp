// Zoom, map view and chart view of a map context, and conversions between Mercator metres, map units and
// view pixels.
#include <algorithm>
#include <cmath>

#include "chartlib/reader/ch2_internal.h"
#include "chartlib/reader/ch2_map.h"
#include "chartlib/nav/nv_navig.h"

using namespace ch2_detail;

const DOUBLE ch2_GridStepTable[20] = {0.1, 0.1,  0.2,  0.5,  1,    2,    2,    5,    10,   20,
                                      60,  60,   120,  300,  600,  1200, 1200, 2400, 2400, 2400};

namespace {

constexpr DOUBLE kDegreesPerMeter = 8.982799339438e-06;

// Map width in metres and the east offset of x from the west edge; across the 180-degree meridian both on the
// carried grid.
int64_t MapWidth(const MAPHEADER2 &h) {
  const SLONG L = h.slLeftInMercatorMeters, R = h.slRightInMercatorMeters;
  if (R < L) return static_cast<int64_t>(nv_AllAround(R)) - nv_AllAround(L);
  return static_cast<int64_t>(R) - L;
}

int64_t EastOffset(const MAPHEADER2 &h, SLONG x) {
  const SLONG L = h.slLeftInMercatorMeters, R = h.slRightInMercatorMeters;
  if (R < L) return static_cast<int64_t>(nv_AllAround(x)) - nv_AllAround(L);
  return static_cast<int64_t>(x) - L;
}

// (v * f +- q / 2) / q with the half taken by the sign of v, the division truncating; the product in 128 bits
// (header fields come from the card).
int64_t ScaleRound(int64_t v, int64_t f, int64_t q) {
  const __int128 half = q / 2;
  const __int128 p = static_cast<__int128>(v) * f;
  const __int128 r = v >= 0 ? (p + half) / q : (p - half) / q;
  return r > INT64_MAX ? INT64_MAX : r < INT64_MIN ? INT64_MIN : static_cast<int64_t>(r);
}

bool Within(int64_t v, int64_t hi) { return v >= 0 && v <= hi; }

// 2 to the power, for the powers a map can have (and the warnings' out-of-range ones).
DOUBLE Pow2(SINT power) { return std::ldexp(1.0, std::clamp(power, -1000, 1000)); }

// Same sign: both at or above 0, or both below.
bool SameSign(SLONG a, SLONG b) { return (a >= 0) == (b >= 0); }

}  // namespace

ERRORCODE ch2_ClearMapZoom(MAPCONTEXT2 *ctx) {
  ctx->sMapZoom = MAPZOOM2{};
  ctx->sMapZoom.fEle = 1.0;
  return CL_SUCCESS;
}

ERRORCODE ch2_GetMapZoom(const MAPCONTEXT2 *ctx, MAPZOOM2 *zoom) {
  *zoom = ctx->sMapZoom;
  return CL_SUCCESS;
}

ERRORCODE ch2_SetMapZoom(MAPCONTEXT2 *ctx, const MAPZOOM2 *zoom) {
  ctx->sMapZoom = *zoom;
  return CL_SUCCESS;
}

ERRORCODE ch2_CalcMapZoom(MAPCONTEXT2 *ctx, SINT power, SINT width, SINT height) {
  const MAPHEADER2 &h = ctx->sMapHeader;
  MAPZOOM2 &z = ctx->sMapZoom;
  const SINT M = h.iMaxScale;
  // Resolutions beyond 65,535 map pixels would scale past the tables.
  if (h.slResolutionX <= 0 || h.slResolutionY <= 0 || h.slResolutionX > CH2_MAX_RESOLUTION ||
      h.slResolutionY > CH2_MAX_RESOLUTION)
    return CH2_ERR_ZERO_DIVISOR;
  if (power < M) {
    z.iScaling = power;
    z.fEle = F32(Pow2(power));
    z.slGCSizeX = TruncSat((width == 0 ? 512 : width) * z.fEle);
    z.slGCSizeY = TruncSat((height == 0 ? 512 : height) * z.fEle);
  } else {
    z.iScaling = M;
    z.fEle = F32(Pow2(M));
    z.slGCSizeX = z.slGCSizeY = TruncSat(512 * z.fEle);
  }
  const SINT ovz = h.sEnvLim.iMaxOvz;
  z.slMsize = (ovz < 0 || ovz >= 32) ? 0 : static_cast<SLONG>(256u << ovz);
  z.fMmPixX = F32(static_cast<DOUBLE>(MapWidth(h)) / h.slResolutionX);
  z.fMmPixY = F32(static_cast<DOUBLE>(static_cast<int64_t>(h.slTopInMercatorMeters) - h.slBottomInMercatorMeters) /
                  h.slResolutionY);
  z.fCve = F32(h.slLeftInMercatorMeters * kDegreesPerMeter);
  z.fCvd = F32(h.slRightInMercatorMeters * kDegreesPerMeter);
  z.fCvf = F32(kDegreesPerMeter * z.fMmPixX);
  if (power > std::min(static_cast<int64_t>(ovz) + h.sEnvLim.iMaxScale, static_cast<int64_t>(M)))
    return CH2_WARN_ZOOM_ABOVE;
  if (power < 0) return CH2_WARN_ZOOM_BELOW;
  return CL_SUCCESS;
}

ERRORCODE ch2_SetScreenSize(MAPCONTEXT2 *ctx, SINT width, SINT height) {
  MAPZOOM2 &z = ctx->sMapZoom;
  z.slGCSizeX = TruncSat(std::max(width, 512) * z.fEle);
  z.slGCSizeY = TruncSat(std::max(height, 512) * z.fEle);
  return CL_SUCCESS;
}

ERRORCODE ch2_CalcScale(const MAPCONTEXT2 *ctx, DOUBLE distance, SINT *power) {
  const MAPHEADER2 &h = ctx->sMapHeader;
  *power = TruncSat(std::floor(0.5 + std::log2(distance / (CH2_RANGE_FACTOR * h.fMinField))));
  if (*power > std::min(static_cast<int64_t>(h.sEnvLim.iMaxOvz) + h.sEnvLim.iMaxScale,
                        static_cast<int64_t>(h.iMaxScale)))
    return CH2_WARN_ZOOM_ABOVE;
  if (*power < 0) return CH2_WARN_ZOOM_BELOW;
  return CL_SUCCESS;
}

ERRORCODE ch2_ClearMapView(MAPCONTEXT2 *ctx) {
  ctx->sMapView = MAPVIEW2{};
  return CL_SUCCESS;
}

ERRORCODE ch2_GetMapView(const MAPCONTEXT2 *ctx, MAPVIEW2 *view) {
  *view = ctx->sMapView;
  return CL_SUCCESS;
}

ERRORCODE ch2_SetMapView(MAPCONTEXT2 *ctx, const MAPVIEW2 *view) {
  ctx->sMapView = *view;
  return CL_SUCCESS;
}

ERRORCODE ch2_CalcMapView(MAPCONTEXT2 *ctx, POINT centre, SINT margin, BOOL *centred) {
  const MAPHEADER2 &h = ctx->sMapHeader;
  const MAPZOOM2 &z = ctx->sMapZoom;
  MAPVIEW2 &v = ctx->sMapView;
  const int64_t gx = z.slGCSizeX, gy = z.slGCSizeY;
  int64_t ox = 0, oy = 0;
  *centred = FALSE;
  if (z.iScaling != h.iMaxScale) {
    bool limited = false;
    auto place = [&limited](int64_t c, int64_t g, int64_t res) {
      int64_t o = c - g / 2;
      const int64_t top = std::max<int64_t>(0, res - g);
      if (o < 0) {
        o = 0;
        limited = true;
      } else if (o > top) {
        o = top;
        limited = true;
      }
      return o;
    };
    ox = place(centre.x, gx, h.slResolutionX);
    oy = place(centre.y, gy, h.slResolutionY);
    *centred = limited ? FALSE : TRUE;
  }
  const int64_t a = TruncSat(margin * z.fEle);
  v.sPointScreenOrg = {Sat32(ox), Sat32(oy)};
  v.sPointMiddle = {Sat32(ox + gx / 2), Sat32(oy + gy / 2)};
  v.sPointLeftBottom = {Sat32(ox + a), Sat32(oy + a)};
  v.sPointRightTop = {Sat32(ox + gx - a), Sat32(oy + gy - a)};
  v.fRange = F32(h.fMinField * z.fEle * CH2_RANGE_FACTOR);

  ERRORCODE e = ch2_PixelToMeter(ctx, &v.sPointLeftBottom, &v.sLeftBottomInMM);
  if (CL_IsError(e)) return e;
  e = ch2_PixelToMeter(ctx, &v.sPointRightTop, &v.sRightTopInMM);
  if (CL_IsError(e)) return e;

  v.fGridStep = ch2_RoundGridStep(v.fRange);

  const POINT &lb = v.sLeftBottomInMM, &rt = v.sRightTopInMM;
  POINT mid{0, 0};
  if (SameSign(lb.y, rt.y)) mid.y = static_cast<SLONG>((static_cast<int64_t>(lb.y) + rt.y) / 2);
  if (SameSign(lb.x, rt.x))
    mid.x = static_cast<SLONG>((static_cast<int64_t>(lb.x) + rt.x) / 2);
  else if (lb.x >= 0 && rt.x < 0)
    mid.x = 20038299;  // the view crosses the 180-degree meridian
  POSITION pos{};
  e = nv_MeterToDegr(&mid, &pos);
  if (CL_IsError(e)) return e;
  DOUBLE klat = 0.0;
  nv_DistCorrection(pos.lat, &klat);
  v.fGridKlat = F32(klat);
  v.sGridMiddle.lat = std::floor(60.0 * pos.lat / v.fGridStep) * v.fGridStep;
  v.sGridMiddle.lon = std::floor(60.0 * pos.lon / v.fGridStep) * v.fGridStep;

  if (!Within(centre.x, h.slResolutionX) || !Within(centre.y, h.slResolutionY)) return CH2_WARN_OUTSIDE_MAP;
  return CL_SUCCESS;
}

ERRORCODE ch2_ClearChartView(MAPCONTEXT2 *ctx) {
  ctx->sChartView = CHARTVIEW2{};
  return CL_SUCCESS;
}

ERRORCODE ch2_CalcChartView(MAPCONTEXT2 *ctx) {
  const SINT ovz = ctx->sMapHeader.sEnvLim.iMaxOvz;
  CHARTVIEW2 &cv = ctx->sChartView;
  cv.iZoomLevel = TruncSat(std::floor(0.5 + std::log2(ctx->sMapView.fRange)) + 3);
  cv.iScaling = ctx->sMapZoom.iScaling - ovz;
  const int s = std::clamp(ovz, 0, 31);
  cv.ulViewOrigX = static_cast<UINT32>(ctx->sMapView.sPointScreenOrg.x >> s);
  cv.ulViewOrigY = static_cast<UINT32>(ctx->sMapView.sPointScreenOrg.y >> s);
  cv.ulViewSizeX = static_cast<UINT32>(ctx->sMapZoom.slGCSizeX >> s);
  cv.ulViewSizeY = static_cast<UINT32>(ctx->sMapZoom.slGCSizeY >> s);
  return CL_SUCCESS;
}

ERRORCODE ch2_MeterToPixel(const MAPCONTEXT2 *ctx, const POINT *p, POINT *out) {
  const MAPHEADER2 &h = ctx->sMapHeader;
  *out = {0, 0};
  if (std::llabs(p->y) > NV_Y_LIMIT) return CH2_ERR_Y_RANGE;
  if (std::llabs(p->x) > NV_HALF_WORLD) return CH2_ERR_X_RANGE;
  const int64_t H = static_cast<int64_t>(h.slTopInMercatorMeters) - h.slBottomInMercatorMeters;
  const int64_t W = MapWidth(h);
  if (H == 0 || W == 0) return CH2_ERR_ZERO_DIVISOR;  // a map without extent
  const int64_t y = ScaleRound(static_cast<int64_t>(p->y) - h.slBottomInMercatorMeters, h.slResolutionY, H);
  const int64_t x = ScaleRound(EastOffset(h, p->x), h.slResolutionX, W);
  out->x = Sat32(x);
  out->y = Sat32(y);
  if (!Within(x, h.slResolutionX) || !Within(y, h.slResolutionY)) return CH2_WARN_OUTSIDE_MAP;
  return CL_SUCCESS;
}

ERRORCODE ch2_PixelToMeter(const MAPCONTEXT2 *ctx, const POINT *q, POINT *out) {
  const MAPHEADER2 &h = ctx->sMapHeader;
  const int64_t RX = h.slResolutionX, RY = h.slResolutionY;
  if (RX == 0 || RY == 0) {
    *out = {0, 0};
    return CH2_ERR_ZERO_DIVISOR;
  }
  const int64_t H = static_cast<int64_t>(h.slTopInMercatorMeters) - h.slBottomInMercatorMeters;
  const int64_t y = h.slBottomInMercatorMeters + ScaleRound(q->y, H, RY);
  int64_t x = h.slLeftInMercatorMeters + ScaleRound(q->x, MapWidth(h), RX);
  if (x > NV_HALF_WORLD) x -= NV_WORLD;
  if (x < -NV_HALF_WORLD) x += NV_WORLD;
  out->x = Sat32(x);
  out->y = Sat32(y);
  if (!Within(q->x, RX) || !Within(q->y, RY)) return CH2_WARN_OUTSIDE_MAP;
  return CL_SUCCESS;
}

ERRORCODE ch2_DegrToPixel(const MAPCONTEXT2 *ctx, const POSITION *pos, POINT *pixel) {
  POINT m{};
  const ERRORCODE e = nv_DegrToMeter(pos, &m);
  if (CL_IsError(e)) return e;
  return ch2_MeterToPixel(ctx, &m, pixel);
}

ERRORCODE ch2_GeographicToPixel(const MAPCONTEXT2 *ctx, const GEOGRAPHIC *geo, POINT *pixel) {
  POINT m{};
  const ERRORCODE e = nv_GeographicToMeters(&m, geo);
  if (CL_IsError(e)) return e;
  return ch2_MeterToPixel(ctx, &m, pixel);
}

void ch2_PixelToDegr(const MAPCONTEXT2 *ctx, const POINT *pixel, POSITION *pos) {
  POINT m{};
  if (!CL_IsError(ch2_PixelToMeter(ctx, pixel, &m))) nv_MeterToDegr(&m, pos);
}

void ch2_PixelToGeographic(const MAPCONTEXT2 *ctx, const POINT *pixel, GEOGRAPHIC *geo) {
  POINT m{};
  if (!CL_IsError(ch2_PixelToMeter(ctx, pixel, &m))) nv_MetersToGeographic(&m, geo);
}

namespace {

// v * 2^z (z negative: arithmetic shift right), in 32-bit two's complement as the pixel fields are.
int32_t ShiftBy(int32_t v, SINT z) {
  if (z >= 32) return 0;
  if (z >= 0) return static_cast<int32_t>(static_cast<uint32_t>(v) << z);
  return v >> (z < -31 ? 31 : -z);
}

}  // namespace

ERRORCODE ch2_AbsolutePixels(const MAPCONTEXT2 *ctx, const POINT *view, POINT *pixel) {
  const SINT z = ctx->sMapZoom.iScaling;
  const POINT &o = ctx->sMapView.sPointScreenOrg;
  pixel->x = static_cast<int32_t>(static_cast<uint32_t>(ShiftBy(view->x, z)) + static_cast<uint32_t>(o.x));
  pixel->y = static_cast<int32_t>(static_cast<uint32_t>(ShiftBy(view->y, z)) + static_cast<uint32_t>(o.y));
  return CL_SUCCESS;
}

ERRORCODE ch2_RelativePixels(const MAPCONTEXT2 *ctx, const POINT *pixel, POINT *view) {
  const SINT z = std::clamp(ctx->sMapZoom.iScaling, -32, 31);
  const POINT &o = ctx->sMapView.sPointScreenOrg;
  view->x = ShiftBy(static_cast<int32_t>(static_cast<uint32_t>(pixel->x) - static_cast<uint32_t>(o.x)), -z);
  view->y = ShiftBy(static_cast<int32_t>(static_cast<uint32_t>(pixel->y) - static_cast<uint32_t>(o.y)), -z);
  return CL_SUCCESS;
}
