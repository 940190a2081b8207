// Layer codes and names, the on/off set, counting layers with their depth values, and the layer walk.
#include <gtest/gtest.h>

#include <array>

#include "chart_files.h"
#include "chart_writer.h"
#include "chartlib/reader/ch2_layer.h"

using namespace chart_fixture;

namespace {

constexpr SINT kNone = 0x7FFFFFFE;

TEST(Ch2LayerCodes, IdTypeAndName) {
  const struct {
    UCHAR code, id, type;
    const char *name;
  } cases[] = {
      {38, 36, 2, "Depth"},         {37, 36, 1, "Depth"},      {36, 36, 0, ""},
      {255, 252, 3, ""},            {0, 0, 0, "ILLEGAL Point"}, {3, 0, 3, "ILLEGAL Other"},
      {55, 52, 3, "Group"},         {52, 52, 0, ""},           {182, 180, 2, "Swept Area"},
      {183, 180, 3, ""},            {137, 136, 1, "Shore line construction"}, {97, 96, 1, "Offshore struct."},
      {140, 140, 0, "Spot Sounding"}, {186, 184, 2, ""},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(ch2_GetLayerIDFromLayerCode(c.code), c.id) << int{c.code};
    EXPECT_EQ(ch2_GetLayerTypeFromLayerCode(c.code), c.type) << int{c.code};
    EXPECT_STREQ(ch2_GetLayerTextDescription(c.code), c.name) << int{c.code};
  }
}

TEST(Ch2LayerCodes, OnOffSet) {
  MAPCONTEXT2 ctx{}, other{};
  EXPECT_EQ(ch2_SetLayerOn(&ctx, 37), CL_SUCCESS);
  EXPECT_EQ(ctx.ulLayerOnOffFlags[1], 1u << 5);
  EXPECT_TRUE(ch2_IsLayerOn(&ctx, 37));
  EXPECT_FALSE(ch2_IsLayerOn(&ctx, 36));
  ch2_SetLayerOn(&ctx, 255);
  EXPECT_EQ(ctx.ulLayerOnOffFlags[7], 0x80000000u);
  ch2_CopyLayerOnOffFlags(&other, &ctx);
  EXPECT_TRUE(ch2_IsLayerOn(&other, 255));
  ch2_SetLayerOff(&ctx, 37);
  EXPECT_FALSE(ch2_IsLayerOn(&ctx, 37));
  EXPECT_TRUE(ch2_IsLayerOn(&other, 37));
  ch2_SetAllLayersOn(&ctx);
  for (int code = 0; code < 256; ++code) EXPECT_TRUE(ch2_IsLayerOn(&ctx, static_cast<UCHAR>(code)));
  ch2_SetAllLayersOff(&ctx);
  for (UINT32 w : ctx.ulLayerOnOffFlags) EXPECT_EQ(w, 0u);
}

class Ch2Layers : public ::testing::Test {
 protected:
  static ChartSpec Spec(const std::vector<LayerItem> &layers) {
    ChartSpec spec;
    MapSpec m;
    m.left = -9830000;
    m.bottom = 5390000;
    m.right = -9770000;
    m.top = 5450000;
    m.layers = layers;
    spec.maps = {m};
    return spec;
  }
  MAPCONTEXT2 Context(const std::vector<LayerItem> &layers, int slot = 0) { return Context(Spec(layers), slot); }
  MAPCONTEXT2 Context(const ChartSpec &spec, int slot = 0) {
    files.OpenImage(slot, BuildChart(spec));
    MAPCONTEXT2 ctx{};
    EXPECT_TRUE(MapContextFor(slot, 0, &ctx));
    // The view: the middle third of the map, east and west.
    ctx.sMapView.sLeftBottomInMM = {-9810000, 5390000};
    ctx.sMapView.sRightTopInMM = {-9790000, 5450000};
    return ctx;
  }
  ChartFiles files;
};

TEST_F(Ch2Layers, CountCollectsDepthValues) {
  const struct {
    const char *name;
    std::vector<LayerItem> layers;
    UINT16 count;
    std::array<SINT, 4> depths;
  } cases[] = {
      {"equal neighbours pushed once, 0 pushed when the upper limit is not 0",
       {Layer(38, 0, 20), Layer(38, 20, 50), Layer(38, 20, 50), Layer(38, 50, 100)}, 4, {50, 20, 0, kNone}},
      {"feet", {Layer(38, 100, 200, 1)}, 1, {30, kNone, kNone, kNone}},
      {"fathoms", {Layer(38, 100, 200, 2)}, 1, {182, kNone, kNone, kNone}},
      {"limits 0 and 0 add nothing", {Layer(38, 0, 0), Layer(62)}, 2, {kNone, kNone, kNone, kNone}},
      {"no value pushes 0 once", {Layer(38, kNone, 0), Layer(38, 0x7FFFFFFF, 0)}, 2, {0, kNone, kNone, kNone}},
      {"no value after 0 adds nothing", {Layer(38, 0, 10), Layer(38, kNone, 0)}, 2, {0, kNone, kNone, kNone}},
      {"the fourth value is dropped",
       {Layer(38, 10, 1), Layer(38, 20, 1), Layer(38, 30, 1), Layer(38, 40, 1), Layer(38, 50, 1)}, 5,
       {50, 40, 30, 20}},
      {"other codes are counted only", {Layer(37, 10, 20), Layer(140, 10, 20), Layer(38, 10, 20)}, 3,
       {10, kNone, kNone, kNone}},
      {"the count stops at the first record that is not a layer",
       {Layer(38, 10, 20), GroupSpec{0, 0, 1, 1, {Layer(38, 20, 30)}}}, 1, {10, kNone, kNone, kNone}},
      {"a first record that is not a layer counts nothing",
       {GroupSpec{0, 0, 1, 1, {Layer(38, 20, 30)}}}, 0, {kNone, kNone, kNone, kNone}},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    MAPCONTEXT2 ctx = Context(c.layers);
    ctx.usCurrentLayerNumber = 9;
    EXPECT_EQ(ch2_CountLayers(&ctx), CL_SUCCESS);
    EXPECT_EQ(ctx.usNumberOfLayers, c.count);
    EXPECT_EQ(ctx.usCurrentLayerNumber, 0);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(ctx.slDepthValuesList[i], c.depths[i]) << i;
  }
  MAPCONTEXT2 empty = Context(std::vector<LayerItem>{});
  EXPECT_EQ(ch2_CountLayers(&empty), CH2_WARN_END_OF_LAYERS);
  EXPECT_EQ(empty.usNumberOfLayers, 0);
}

// Codes of the layers a walk returns, until the end of the chain.
std::vector<int> Walk(MAPCONTEXT2 *ctx, LAYERCONTEXT2 *lc) {
  std::vector<int> codes;
  for (SINT i = 1; i < 100; ++i) {
    const ERRORCODE e = ch2_GetLayer(ctx, lc, i);
    if (e == CH2_WARN_END_OF_LAYERS) return codes;
    EXPECT_EQ(e, CL_SUCCESS);
    codes.push_back(lc->sLayerInformation.ucLayerCode);
  }
  ADD_FAILURE() << "the walk does not end";
  return codes;
}

TEST_F(Ch2Layers, WalkEntersGroupsInViewAndSkipsOthers) {
  LayerSpec land = Layer(62);
  land.description = 500;
  land.firstFeature = 0x1234;
  land.spatial = 0x5678;
  land.presence = {{71, 0x5, 0x6}, {255, 1, 2}};
  LayerSpec passed = Layer(4);
  passed.recordType = 21;
  const std::vector<LayerItem> layers = {
      land,
      GroupSpec{-9830000, 5390000, -9811000, 5450000, {Layer(88)}},  // west of the view
      GroupSpec{-9820000, 5400000, -9780000, 5440000, {Layer(140, 0, 0, 2)}},  // straddles it
      GroupSpec{-9810000, 5390000, -9790000, 5390000, {Layer(92)}},  // touches the edge: boxes are inclusive
      GroupSpec{-9790000, 5450001, -9770000, 5460000, {Layer(96)}},  // north-east, outside
      Layer(38, 0, 20),
      Layer(38, 20, 50, 1),
      passed,
      Layer(38, 50, 100, 2),
      Layer(37, 10, 20, 1),
  };
  MAPCONTEXT2 ctx = Context(layers);
  LAYERCONTEXT2 lc{};
  ASSERT_EQ(ch2_GetLayer(&ctx, &lc, 1), CL_SUCCESS);
  const MAPLAYER2 &ml = lc.sLayerInformation;
  EXPECT_EQ(ml.ucLayerCode, 62);
  EXPECT_EQ(ml.usLayerDescription, 500);
  EXPECT_EQ(ml.ulAddressOfFirstFeatureRecord, 0x1234u);
  EXPECT_EQ(ml.ulAddressOfSpatialDataRecordOrCategoryOfAnnotation, 0x5678u);
  EXPECT_EQ(ml.sAttributesPresentMask[71].ulAttributeBitMask1, 0x5u);
  EXPECT_EQ(ml.sAttributesPresentMask[71].ulAttributeBitMask2, 0x6u);
  EXPECT_EQ(ml.sAttributesPresentMask[255].ulAttributeBitMask2, 2u);
  EXPECT_EQ(lc.ucUnitOfMeasure, 0);
  EXPECT_EQ(lc.usCurrentState, LAYERSTATE_LAYERSPECIFIED2);
  EXPECT_EQ(ctx.usCurrentLayerNumber, 1);

  const struct {
    UCHAR code;
    UCHAR unit;
    UINT16 depthNumber;
    DOUBLE lower;
  } next[] = {{140, 4, 0, 0.0}, {92, 0, 0, 0.0}, {38, 2, 1, 0.0}, {38, 3, 2, 2.0}, {38, 4, 1, 5.0}, {37, 3, 0, 1.0}};
  for (const auto &n : next) {
    SCOPED_TRACE(int{n.code});
    ASSERT_EQ(ch2_GetLayer(&ctx, &lc, 2), CL_SUCCESS);
    EXPECT_EQ(ml.ucLayerCode, n.code);
    EXPECT_EQ(lc.ucUnitOfMeasure, n.unit);
    EXPECT_EQ(lc.iCurrentDepthLayerNumber, n.depthNumber);
    EXPECT_DOUBLE_EQ(ml.dLimitLower, n.lower);
    EXPECT_EQ(ml.sAttributesPresentMask[71].ulAttributeBitMask1, 0u);  // cleared for each layer
  }
  EXPECT_EQ(ctx.usCurrentLayerNumber, 7);
  EXPECT_EQ(ch2_GetLayer(&ctx, &lc, 2), CH2_WARN_END_OF_LAYERS);
  // Index 1 after the end starts again.
  ASSERT_EQ(ch2_GetLayer(&ctx, &lc, 1), CL_SUCCESS);
  EXPECT_EQ(ml.ucLayerCode, 62);
  EXPECT_EQ(ctx.usCurrentLayerNumber, 1);
}

TEST_F(Ch2Layers, GroupsAcrossTheMeridian) {
  const std::vector<LayerItem> layers = {
      GroupSpec{20010000, 5400000, -19990000, 5440000, {Layer(88)}},  // around the meridian, in view
      GroupSpec{-10000000, 5400000, -9000000, 5440000, {Layer(92)}},  // far west
      GroupSpec{20030000, 5400000, 20035000, 5440000, {Layer(96)}},   // east of the view's west edge
  };
  MAPCONTEXT2 ctx = Context(layers);
  ctx.sMapView.sLeftBottomInMM = {20020000, 5390000};
  ctx.sMapView.sRightTopInMM = {-19980000, 5450000};
  LAYERCONTEXT2 lc{};
  EXPECT_EQ(Walk(&ctx, &lc), (std::vector<int>{88, 96}));
}

TEST_F(Ch2Layers, DamagedChainsEnd) {
  // A skip address that points back to the start of the chain.
  GroupSpec back{-9830000, 5390000, -9811000, 5450000, {Layer(88)}};
  ChartSpec spec = Spec({Layer(62), back});
  ChartLayout layout;
  BuildChart(spec, &layout);
  std::get<GroupSpec>(spec.maps[0].layers[1]).skipOverride = layout.firstLayer[0];
  MAPCONTEXT2 ctx = Context(spec);
  LAYERCONTEXT2 lc{};
  EXPECT_EQ(Walk(&ctx, &lc), (std::vector<int>{62}));

  // A chain without the ending link, whose first record is a link.
  MAPCONTEXT2 empty = Context(std::vector<LayerItem>{});
  EXPECT_EQ(ch2_GetLayer(&empty, &lc, 1), CH2_WARN_END_OF_LAYERS);
}

// The card goes while a layer walk reads it: the read fails to the caller's recovery point, the map context
// keeps what it had, and a context on another slot reads on.
TEST_F(Ch2Layers, CardRemovedDuringAWalk) {
  std::vector<LayerItem> layers;
  for (int i = 0; i < 8; ++i) {
    LayerSpec l = Layer(static_cast<uint8_t>(60 + (i % 3)), 10 * i, 10 * i + 10);
    for (int k = 0; k < 60; ++k) l.presence.push_back({static_cast<uint8_t>(k), static_cast<uint32_t>(i), 0});
    layers.push_back(l);  // 559 bytes each: one layer per block
  }
  MAPCONTEXT2 ctx1 = Context(layers, 1);
  MAPCONTEXT2 ctx2 = Context(layers, 2);
  ch2_SetLayerOn(&ctx1, 61);
  const MAPHEADER2 header = ctx1.sMapHeader;
  const MAPCONTEXT2 before = ctx1;
  LAYERCONTEXT2 lc1{}, lc2{};
  ASSERT_EQ(ch2_GetLayer(&ctx1, &lc1, 1), CL_SUCCESS);
  ASSERT_EQ(ch2_GetLayer(&ctx1, &lc1, 2), CL_SUCCESS);
  files.beforeBlock = [this](int slot, uint32_t block) {
    if (slot == 1 && block == 4) files.Close(1);
  };
  int failures = 0;
  try {
    CH2_RecoveryPoint point;
    for (SINT i = 3; i < 10; ++i) ch2_GetLayer(&ctx1, &lc1, i);
    ADD_FAILURE() << "the walk read a closed slot";
  } catch (const CH2_ReadFailure &e) {
    ++failures;
    EXPECT_EQ(e.ChartId, 1);
  }
  EXPECT_EQ(failures, 1);
  files.beforeBlock = nullptr;
  const MAPHEADER2 &h = ctx1.sMapHeader;
  EXPECT_EQ(h.iChartDeviceId, header.iChartDeviceId);
  EXPECT_EQ(h.slLeftInMercatorMeters, header.slLeftInMercatorMeters);
  EXPECT_EQ(h.slTopInMercatorMeters, header.slTopInMercatorMeters);
  EXPECT_EQ(h.slResolutionY, header.slResolutionY);
  EXPECT_EQ(h.iMaxScale, header.iMaxScale);
  EXPECT_EQ(h.fMinField, header.fMinField);
  EXPECT_EQ(h.ulAddrOfTheFirstMapLayerRec, header.ulAddrOfTheFirstMapLayerRec);
  for (int w = 0; w < 8; ++w) EXPECT_EQ(ctx1.ulLayerOnOffFlags[w], before.ulLayerOnOffFlags[w]);
  EXPECT_TRUE(ch2_IsLayerOn(&ctx1, 61));

  CH2_RecoveryPoint point;
  EXPECT_EQ(Walk(&ctx2, &lc2), (std::vector<int>{60, 61, 62, 60, 61, 62, 60, 61}));
  EXPECT_EQ(ch2_CountLayers(&ctx2), CL_SUCCESS);
  EXPECT_EQ(ctx2.usNumberOfLayers, 8);
}

}  // namespace
