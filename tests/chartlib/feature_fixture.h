// A one-layer chart whose feature records a test writes, opened with a view over part of the map.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

#include "chart_files.h"
#include "chart_writer.h"
#include "chartlib/reader/ch2_feature.h"

namespace chart_fixture {

// Map: 60 km square at 1024 map pixels; the view: its middle third east-west, whole north-south.
constexpr int32_t kLeft = -9830000, kBottom = 5390000, kRight = -9770000, kTop = 5450000;
constexpr int32_t kViewWest = -9810000, kViewEast = -9790000;

class Ch2Features : public ::testing::Test {
 protected:
  // Builds a one-layer chart whose features the function writes; opens the layer.
  void Open(const std::function<void(FeatureWriter &)> &write, uint8_t unit = 0) {
    ChartSpec spec;
    MapSpec m;
    m.left = kLeft;
    m.bottom = kBottom;
    m.right = kRight;
    m.top = kTop;
    LayerSpec layer = Layer(140, 0, 0, unit);
    layer.presence = presence;
    m.layers = {layer};
    spec.maps = {m};
    ChartLayout layout;
    ChartWriter w(BuildChart(spec, &layout));
    firstFeature = w.Here();
    FeatureWriter f(w);
    write(f);
    std::vector<uint8_t> image = w.Data();
    SetFirstFeature(image, layout.firstLayer[0], firstFeature);
    files.OpenImage(0, image);
    ASSERT_TRUE(MapContextFor(0, 0, &ctx));
    ctx.sMapView.sLeftBottomInMM = {kViewWest, kBottom};
    ctx.sMapView.sRightTopInMM = {kViewEast, kTop};
    POINT lb{kViewWest, kBottom}, px{};
    ch2_MeterToPixel(&ctx, &lb, &px);
    ctx.sMapView.sPointScreenOrg = px;
    ctx.sMapZoom.iScaling = 14;  // map units are map pixels shifted by 14
    ctx.sChartView.iScaling = 0;
    ctx.sChartView.iZoomLevel = 5;
    ctx.sChartView.ulViewOrigX = static_cast<UINT32>(px.x) >> 14;
    ctx.sChartView.ulViewOrigY = static_cast<UINT32>(px.y) >> 14;
    ctx.sVideoSize = {341, 1024};
    ASSERT_EQ(ch2_GetLayer(&ctx, &lc, 1), CL_SUCCESS);
    fc = FEATURECONTEXT2{};
  }
  ERRORCODE Next(SINT flags = 3) { return ch2_GetFeature(&ctx, &lc, &fc, flags); }
  // Every feature of the layer: (record type, x) per call until the end.
  std::vector<std::pair<int, int32_t>> All(SINT flags = 3) {
    std::vector<std::pair<int, int32_t>> out;
    ERRORCODE e;
    while ((e = Next(flags)) == CL_SUCCESS) out.push_back({fc.usRecordTypeOfFeature, fc.sFeatureRecordInfo.lLongitudeCoordinates});
    EXPECT_EQ(e, CH2_WARN_END_OF_FEATURES);
    return out;
  }
  ChartFiles files;
  uint32_t firstFeature = 0;
  std::vector<Presence> presence = {{129, 0xC0000000u, 0}, {136, 0x80000000u, 0x1}};  // the writer may move it on past data written in front of the features
  MAPCONTEXT2 ctx{};
  LAYERCONTEXT2 lc{};
  FEATURECONTEXT2 fc{};
};

}  // namespace chart_fixture
