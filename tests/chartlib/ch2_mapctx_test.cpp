// Map context: zoom, views and the conversions between Mercator metres, map units and view pixels.
#include <gtest/gtest.h>

#include <cmath>

#include "chart_files.h"
#include "chart_writer.h"
#include "chartlib/reader/ch2_map.h"

using namespace chart_fixture;

namespace {

class Ch2MapContext : public ::testing::Test {
 protected:
  // A context on the map as the chart display sets one up: the header comes from a written chart.
  MAPCONTEXT2 ContextFor(const MapSpec &map) {
    ChartSpec spec;
    spec.maps = {map};
    files.OpenImage(0, BuildChart(spec));
    MAPCONTEXT2 ctx{};
    EXPECT_TRUE(MapContextFor(0, 0, &ctx));
    return ctx;
  }
  ChartFiles files;
};

MapSpec Map(int32_t left, int32_t bottom, int32_t right, int32_t top, uint32_t rx, uint32_t ry) {
  MapSpec m;
  m.left = left;
  m.bottom = bottom;
  m.right = right;
  m.top = top;
  m.resolutionX = rx;
  m.resolutionY = ry;
  return m;
}

TEST_F(Ch2MapContext, AcrossTheDateLineXAscends) {
  MAPCONTEXT2 ctx = ContextFor(Map(20000000, -2000000, -19000000, -1000000, 2048, 2048));
  POINT west{20037000, -1500000}, east{-19500000, -1500000}, a{}, b{};
  EXPECT_EQ(ch2_MeterToPixel(&ctx, &west, &a), CL_SUCCESS);
  EXPECT_EQ(ch2_MeterToPixel(&ctx, &east, &b), CL_SUCCESS);
  EXPECT_GT(a.x, 0);
  EXPECT_LT(a.x, b.x);
  EXPECT_LT(b.x, 2048 << 14);
  // The map is 1,076,600 m wide; x 20,037,000 lies 37,000 m into it.
  EXPECT_EQ(a.x, std::lround(37000.0 * (2048 << 14) / 1076600));
  // Back to metres: on the grid again, west of the meridian as negative x.
  POINT m{};
  EXPECT_EQ(ch2_PixelToMeter(&ctx, &b, &m), CL_SUCCESS);
  EXPECT_NEAR(m.x, -19500000, 1);
  EXPECT_EQ(ch2_PixelToMeter(&ctx, &a, &m), CL_SUCCESS);
  EXPECT_NEAR(m.x, 20037000, 1);
  EXPECT_EQ(ch2_CalcMapZoom(&ctx, 0, 0, 0), CL_SUCCESS);
  EXPECT_EQ(ctx.sMapZoom.fMmPixX, static_cast<float>(1076600.0 / (2048 << 14)));
}

TEST_F(Ch2MapContext, CornersConvertExactlyAndBeyondWarns) {
  // 64-bit products: 1,000,000 m against 65,535 x 16,384 map units.
  const int32_t L = -1000000, B = 2000000, R = 0, T = 3000000;
  MAPCONTEXT2 ctx = ContextFor(Map(L, B, R, T, 65535, 40000));
  const SLONG RX = 65535 << 14, RY = 40000 << 14;
  const struct {
    POINT meters;
    POINT pixel;
    ERRORCODE code;
  } cases[] = {
      {{L, B}, {0, 0}, CL_SUCCESS},
      {{R, T}, {RX, RY}, CL_SUCCESS},
      {{R + 1, T}, {RX + 1074, RY}, CH2_WARN_OUTSIDE_MAP},
      {{R, T + 1}, {RX, RY + 655}, CH2_WARN_OUTSIDE_MAP},
      {{L - 1, B - 1}, {-1074, -655}, CH2_WARN_OUTSIDE_MAP},
      {{L, 15433199}, {0, 0}, CH2_ERR_Y_RANGE},
      {{20038301, B}, {0, 0}, CH2_ERR_X_RANGE},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(::testing::Message() << c.meters.x << "," << c.meters.y);
    POINT out{7, 7};
    EXPECT_EQ(ch2_MeterToPixel(&ctx, &c.meters, &out), c.code);
    EXPECT_EQ(out.x, c.pixel.x);
    EXPECT_EQ(out.y, c.pixel.y);
  }
  POINT m{};
  const POINT ne{RX, RY}, beyond{RX + 1, 0};
  EXPECT_EQ(ch2_PixelToMeter(&ctx, &ne, &m), CL_SUCCESS);
  EXPECT_EQ(m.x, R);
  EXPECT_EQ(m.y, T);
  EXPECT_EQ(ch2_PixelToMeter(&ctx, &beyond, &m), CH2_WARN_OUTSIDE_MAP);
  EXPECT_EQ(m.x, R);
}

TEST_F(Ch2MapContext, HalvesRoundAwayFromZero) {
  // 32,768 m of map over 16,384 map units: one metre is half a map unit.
  MAPCONTEXT2 ctx = ContextFor(Map(0, 0, 32768, 32768, 1, 1));
  const struct {
    SLONG meters, units;
  } toUnits[] = {{1, 1}, {-1, -1}, {2, 1}, {3, 2}, {-3, -2}, {5, 3}, {-5, -3}};
  for (const auto &c : toUnits) {
    POINT p{c.meters, c.meters}, out{};
    ch2_MeterToPixel(&ctx, &p, &out);
    EXPECT_EQ(out.x, c.units) << c.meters;
    EXPECT_EQ(out.y, c.units) << c.meters;
  }
  // And back: a map unit is 2 m; 65,536 m over 16,384 units makes one unit 4 m, so no halves; use 1 m over 2 units.
  MAPCONTEXT2 fine = ContextFor(Map(100, 100, 8292, 8292, 1, 1));  // 8,192 m over 16,384 units
  const struct {
    SLONG units, meters;
  } toMeters[] = {{1, 101}, {-1, 99}, {3, 102}, {-3, 98}, {2, 101}};
  for (const auto &c : toMeters) {
    POINT q{c.units, c.units}, out{};
    ch2_PixelToMeter(&fine, &q, &out);
    EXPECT_EQ(out.x, c.meters) << c.units;
    EXPECT_EQ(out.y, c.meters) << c.units;
  }
}

TEST_F(Ch2MapContext, MapsWithoutExtentAreRefused) {
  MAPCONTEXT2 flat = ContextFor(Map(0, 5000, 60000, 5000, 1024, 1024));       // height 0
  MAPCONTEXT2 thin = ContextFor(Map(7000, 0, 7000, 60000, 1024, 1024));       // width 0
  MAPCONTEXT2 noRes = ContextFor(Map(0, 0, 60000, 60000, 0, 1024));           // resolution 0
  POINT p{100, 5000}, out{};
  EXPECT_EQ(ch2_MeterToPixel(&flat, &p, &out), CH2_ERR_ZERO_DIVISOR);
  EXPECT_EQ(ch2_MeterToPixel(&thin, &p, &out), CH2_ERR_ZERO_DIVISOR);
  EXPECT_EQ(ch2_PixelToMeter(&noRes, &p, &out), CH2_ERR_ZERO_DIVISOR);
  EXPECT_EQ(ch2_CalcMapZoom(&noRes, 3, 0, 0), CH2_ERR_ZERO_DIVISOR);
  BOOL centred = TRUE;
  EXPECT_EQ(ch2_CalcMapView(&noRes, p, 0, &centred), CH2_ERR_ZERO_DIVISOR);
  // A header set by the caller with a resolution past 65,535 map pixels scales past the tables.
  MAPCONTEXT2 big = ContextFor(Map(0, 0, 60000, 60000, 1024, 1024));
  big.sMapHeader.slResolutionY = 0x40000000;
  EXPECT_EQ(ch2_CalcMapZoom(&big, 3, 0, 0), CH2_ERR_ZERO_DIVISOR);
}

TEST_F(Ch2MapContext, ZoomSizesTheSurface) {
  // Resolution y 4,096 map pixels: M = 17.
  MAPCONTEXT2 ctx = ContextFor(Map(-9830000, 5390000, -9770000, 5450000, 4096, 4096));
  ASSERT_EQ(ctx.sMapHeader.iMaxScale, 17);
  const struct {
    SINT power, width, height;
    ERRORCODE code;
    SINT scaling;
    SLONG gx, gy;
  } cases[] = {
      {10, 0, 0, CL_SUCCESS, 10, 512 << 10, 512 << 10},
      {10, 800, 480, CL_SUCCESS, 10, 800 << 10, 480 << 10},
      {17, 800, 480, CL_SUCCESS, 17, 512 << 17, 512 << 17},
      {18, 800, 480, CH2_WARN_ZOOM_ABOVE, 17, 512 << 17, 512 << 17},
      {-1, 800, 0, CH2_WARN_ZOOM_BELOW, -1, 400, 256},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.power);
    EXPECT_EQ(ch2_CalcMapZoom(&ctx, c.power, c.width, c.height), c.code);
    EXPECT_EQ(ctx.sMapZoom.iScaling, c.scaling);
    EXPECT_EQ(ctx.sMapZoom.fEle, std::ldexp(1.0, c.scaling));
    EXPECT_EQ(ctx.sMapZoom.slGCSizeX, c.gx);
    EXPECT_EQ(ctx.sMapZoom.slGCSizeY, c.gy);
    EXPECT_EQ(ctx.sMapZoom.slMsize, 256 << 14);
  }
  const MAPZOOM2 &z = ctx.sMapZoom;
  EXPECT_EQ(z.fMmPixX, static_cast<float>(60000.0 / (4096 << 14)));
  EXPECT_EQ(z.fMmPixY, z.fMmPixX);
  EXPECT_EQ(z.fCve, static_cast<float>(-9830000 * 8.982799339438e-06));
  EXPECT_EQ(z.fCvd, static_cast<float>(-9770000 * 8.982799339438e-06));
  EXPECT_EQ(z.fCvf, static_cast<float>(8.982799339438e-06 * z.fMmPixX));
  EXPECT_EQ(ch2_SetScreenSize(&ctx, 300, 1000), CL_SUCCESS);
  EXPECT_EQ(z.slGCSizeX, 512 * 0.5);
  EXPECT_EQ(z.slGCSizeY, 1000 * 0.5);

  // The power for a distance: the field at the deepest zoom times 2^power.
  ch2_CalcMapZoom(&ctx, 10, 0, 0);
  SINT power = 0;
  const DOUBLE unit = CH2_RANGE_FACTOR * ctx.sMapHeader.fMinField;
  EXPECT_EQ(ch2_CalcScale(&ctx, unit * 1024 * 1.3, &power), CL_SUCCESS);
  EXPECT_EQ(power, 10);
  EXPECT_EQ(ch2_CalcScale(&ctx, unit * 1024 * 1.5, &power), CL_SUCCESS);
  EXPECT_EQ(power, 11);
  EXPECT_EQ(ch2_CalcScale(&ctx, unit * 0.25, &power), CH2_WARN_ZOOM_BELOW);
  EXPECT_EQ(power, -2);
  EXPECT_EQ(ch2_CalcScale(&ctx, unit * 1e9, &power), CH2_WARN_ZOOM_ABOVE);
}

TEST_F(Ch2MapContext, ViewPlacesTheOriginAndTheGrid) {
  // 60 km across the equator at 2,048 map pixels.
  MAPCONTEXT2 ctx = ContextFor(Map(1000000, -30000, 1060000, 30000, 2048, 2048));
  const SLONG RX = 2048 << 14;
  ASSERT_EQ(ctx.sMapHeader.iMaxScale, 16);
  ASSERT_EQ(ch2_CalcMapZoom(&ctx, 12, 0, 0), CL_SUCCESS);
  const SLONG G = 512 << 12;
  const struct {
    POINT centre;
    BOOL centred;
    POINT origin;
    ERRORCODE code;
  } cases[] = {
      {{RX / 2, RX / 2}, TRUE, {RX / 2 - G / 2, RX / 2 - G / 2}, CL_SUCCESS},
      {{100, RX / 2}, FALSE, {0, RX / 2 - G / 2}, CL_SUCCESS},
      {{RX / 2, RX - 100}, FALSE, {RX / 2 - G / 2, RX - G}, CL_SUCCESS},
      {{RX + 1, RX / 2}, FALSE, {RX - G, RX / 2 - G / 2}, CH2_WARN_OUTSIDE_MAP},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.centre.x);
    BOOL centred = 7;
    EXPECT_EQ(ch2_CalcMapView(&ctx, c.centre, 10, &centred), c.code);
    const MAPVIEW2 &v = ctx.sMapView;
    EXPECT_EQ(centred, c.centred);
    EXPECT_EQ(v.sPointScreenOrg.x, c.origin.x);
    EXPECT_EQ(v.sPointScreenOrg.y, c.origin.y);
    EXPECT_EQ(v.sPointMiddle.x, c.origin.x + G / 2);
    EXPECT_EQ(v.sPointLeftBottom.x, c.origin.x + (10 << 12));
    EXPECT_EQ(v.sPointRightTop.y, c.origin.y + G - (10 << 12));
  }
  // The whole map at the deepest power: origin 0, the grid centre on the equator.
  BOOL centred = TRUE;
  ASSERT_EQ(ch2_CalcMapZoom(&ctx, 16, 0, 0), CL_SUCCESS);
  EXPECT_EQ(ch2_CalcMapView(&ctx, POINT{RX / 2, RX / 2}, 0, &centred), CL_SUCCESS);
  const MAPVIEW2 &v = ctx.sMapView;
  EXPECT_FALSE(centred);
  EXPECT_EQ(v.sPointScreenOrg.x, 0);
  EXPECT_EQ(v.sLeftBottomInMM.y, -30000);
  EXPECT_EQ(v.sRightTopInMM.y, 30000);
  EXPECT_EQ(v.sGridMiddle.lat, 0.0);
  EXPECT_EQ(v.fRange, static_cast<float>(ctx.sMapHeader.fMinField * 65536 * CH2_RANGE_FACTOR));
  // Longitude of x 1,030,000: 9.252 degrees, 555.1 minutes, down to the grid step.
  EXPECT_EQ(v.sGridMiddle.lon, std::floor(60 * 1030000 * 8.982799339438115e-06 / v.fGridStep) * v.fGridStep);
  EXPECT_EQ(v.fGridKlat, static_cast<float>(v.fGridKlat));

  // A huge range figure takes the last grid step of the table.
  ctx.sMapHeader.fMinField = 200000 / CH2_RANGE_FACTOR / 65536;
  ch2_CalcMapView(&ctx, POINT{RX / 2, RX / 2}, 0, &centred);
  EXPECT_NEAR(v.fRange, 200000, 1);
  EXPECT_EQ(v.fGridStep, 2400);

  // Chart view: map pixels of the view, zoom level from the range.
  ch2_CalcMapZoom(&ctx, 12, 0, 0);
  ch2_CalcMapView(&ctx, POINT{RX / 2, RX / 2}, 0, &centred);
  EXPECT_EQ(ch2_CalcChartView(&ctx), CL_SUCCESS);
  const CHARTVIEW2 &cv = ctx.sChartView;
  EXPECT_EQ(cv.iScaling, 12 - 14);
  EXPECT_EQ(cv.ulViewOrigX, static_cast<UINT32>(ctx.sMapView.sPointScreenOrg.x >> 14));
  EXPECT_EQ(cv.ulViewSizeX, static_cast<UINT32>(G >> 14));
  EXPECT_EQ(cv.iZoomLevel, static_cast<SINT>(std::floor(0.5 + std::log2(ctx.sMapView.fRange))) + 3);
}

TEST_F(Ch2MapContext, GridCentreOfAViewAcrossTheMeridian) {
  MAPCONTEXT2 ctx = ContextFor(Map(20000000, 1000000, -19000000, 1100000, 2048, 2048));
  ASSERT_EQ(ch2_CalcMapZoom(&ctx, ctx.sMapHeader.iMaxScale, 0, 0), CL_SUCCESS);
  BOOL centred = FALSE;
  ASSERT_EQ(ch2_CalcMapView(&ctx, POINT{1000, 1000}, 0, &centred), CL_SUCCESS);
  const MAPVIEW2 &v = ctx.sMapView;
  EXPECT_EQ(v.sLeftBottomInMM.x, 20000000);
  EXPECT_EQ(v.sRightTopInMM.x, -19000000);
  EXPECT_EQ(v.sGridMiddle.lon,
            std::floor(60 * 20038299 * 8.982799339438115e-06 / v.fGridStep) * v.fGridStep);
  EXPECT_GT(v.sGridMiddle.lat, 0);
}

TEST_F(Ch2MapContext, ViewPixelsAndMapUnits) {
  MAPCONTEXT2 ctx{};
  ctx.sMapZoom.iScaling = 3;
  ctx.sMapView.sPointScreenOrg = {1000, 2000};
  const struct {
    POINT units, view;
  } cases[] = {{{1017, 2016}, {2, 2}}, {{983, 1984}, {-3, -2}}, {{1000, 2000}, {0, 0}}};
  for (const auto &c : cases) {
    POINT v{}, back{};
    ch2_RelativePixels(&ctx, &c.units, &v);
    EXPECT_EQ(v.x, c.view.x);
    EXPECT_EQ(v.y, c.view.y);
    ch2_AbsolutePixels(&ctx, &v, &back);
    EXPECT_EQ(back.x, 1000 + (c.view.x << 3));
    EXPECT_EQ(back.y, 2000 + c.view.y * 8);
  }
  ctx.sMapZoom.iScaling = 32;
  POINT v{5, 5}, out{};
  ch2_AbsolutePixels(&ctx, &v, &out);
  EXPECT_EQ(out.x, 1000);
  EXPECT_EQ(out.y, 2000);
}

TEST_F(Ch2MapContext, DegreesRoundTripThroughMapUnits) {
  MAPCONTEXT2 ctx = ContextFor(Map(-9830000, 5390000, -9770000, 5450000, 4096, 4096));
  const POSITION pos{43.8, -88.0};
  POINT px{};
  ASSERT_EQ(ch2_DegrToPixel(&ctx, &pos, &px), CL_SUCCESS);
  POSITION back{};
  ch2_PixelToDegr(&ctx, &px, &back);
  EXPECT_NEAR(back.lat, pos.lat, 1e-5);
  EXPECT_NEAR(back.lon, pos.lon, 1e-5);
  GEOGRAPHIC geo{43, 48, 0, -88, 0, 0}, geoBack{};
  POINT px2{};
  ASSERT_EQ(ch2_GeographicToPixel(&ctx, &geo, &px2), CL_SUCCESS);
  EXPECT_EQ(px2.x, px.x);
  EXPECT_EQ(px2.y, px.y);
  ch2_PixelToGeographic(&ctx, &px2, &geoBack);
  EXPECT_EQ(geoBack.LatDeg, 43);
  EXPECT_NEAR(geoBack.LatMin, 48, 1e-3);
  const POSITION off{85.0, 0.0};
  EXPECT_EQ(ch2_DegrToPixel(&ctx, &off, &px), NV_ERR_LATITUDE);
}

}  // namespace
