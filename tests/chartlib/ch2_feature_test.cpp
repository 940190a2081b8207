// Feature records through the read seam: single and packed records, groups, filters, depth words, relations.
#include <gtest/gtest.h>

#include "chart_files.h"
#include "chart_writer.h"
#include "chartlib/reader/ch2_feature.h"
#include "feature_fixture.h"

using namespace chart_fixture;

namespace {

TEST(Ch2FeatureWords, DepthWord) {
  EXPECT_FLOAT_EQ(ch2_DepthFromWord(DepthWord(1, 5)), 5.0f);
  EXPECT_FLOAT_EQ(ch2_DepthFromWord(0x2001), -819.1f);
  EXPECT_FLOAT_EQ(ch2_DepthFromWord(DepthWord(2, 3)), 30.0f);
  EXPECT_FLOAT_EQ(ch2_DepthFromWord(DepthWord(3, 1)), 100.0f);
}

TEST_F(Ch2Features, EmptyLayerAndUnsetLayer) {
  Open([](FeatureWriter &f) { f.End(); });
  EXPECT_EQ(Next(), CH2_WARN_END_OF_FEATURES);
  EXPECT_EQ(lc.usCurrentState, LAYERSTATE_ENDOF_LAYER2);
  LAYERCONTEXT2 none{};
  EXPECT_EQ(ch2_GetFeature(&ctx, &none, &fc, 3), CH2_ERR_NO_LAYER);
}

TEST_F(Ch2Features, SinglePointsSoundingsAndDeletedRecords) {
  Open([](FeatureWriter &f) {
    f.Point(129, ZoomByte(0, 15), {1, 2, 3}, -9800000, 5400000);
    f.Deleted();
    f.Point(129, ZoomByte(7, 9), {}, -9800000, 5400000);  // zoom 5 not in 7-9
    f.Deleted(44);
    f.Sounding(136, ZoomByte(0, 15), {}, DepthWord(0, 125), -9795000, 5410000);
    f.Point(129, ZoomByte(0, 15), {}, -9820000, 5400000);  // west of the view
    f.End();
  }, 1);
  ASSERT_EQ(Next(), CL_SUCCESS);
  EXPECT_EQ(fc.usRecordTypeOfFeature, 40);
  EXPECT_EQ(fc.usLengthOfAttributeData, 3);
  EXPECT_EQ(fc.sAttributesPresentMask.ulAttributeBitMask1, 0xC0000000u);
  EXPECT_EQ(fc.ucUnitOfMeasure, lc.ucUnitOfMeasure);
  EXPECT_GE(fc.sFeatureRecordInfo.lxViewCoordinates, 0);
  EXPECT_LT(fc.sFeatureRecordInfo.lxViewCoordinates, 341);
  ASSERT_EQ(Next(), CL_SUCCESS);
  EXPECT_EQ(fc.usRecordTypeOfFeature, 44);
  EXPECT_FLOAT_EQ(fc.sFeatureRecordInfo.fValue, 12.5f);
  EXPECT_EQ(fc.sAttributesPresentMask.ulAttributeBitMask2, 1u);
  EXPECT_EQ(Next(), CH2_WARN_END_OF_FEATURES);

  // Without filters every point comes, the outside one with view pixels off the surface.
  ASSERT_EQ(ch2_GetLayer(&ctx, &lc, 1), CL_SUCCESS);
  auto all = All(0);
  ASSERT_EQ(all.size(), 4u);
  EXPECT_LT(fc.sFeatureRecordInfo.lxViewCoordinates, 0);
}

TEST_F(Ch2Features, PackedSoundingsInsideAndPartlyInside) {
  const uint16_t kWide = 30000;  // from 1 km west of the view to 9 km east of it
  Open([&](FeatureWriter &f) {
    // wholly inside
    f.Soundings({-9805000, 5400000, 1000, 1000}, 136, ZoomByte(0, 15), {9},
                {{0, {}, DepthWord(1, 1), 0, 0}, {0, {}, DepthWord(1, 2), 500, 10}, {0, {}, DepthWord(1, 3), 1000, 20}});
    // partly: west of the view, inside, inside, east of the view, (inside by x order never reached)
    f.Soundings({-9811000, 5400000, kWide, 100}, 136, ZoomByte(0, 15), {},
                {{0, {}, DepthWord(1, 4), 0, 0},
                 {0, {}, DepthWord(1, 5), 2000, 0},
                 {0, {}, DepthWord(1, 6), 3000, 0},
                 {0, {}, DepthWord(1, 7), 22000, 0},
                 {0, {}, DepthWord(1, 8), 5000, 0}});
    f.End();
  });
  std::vector<float> depths;
  std::vector<bool> tested;
  while (Next() == CL_SUCCESS) {
    depths.push_back(fc.sFeatureRecordInfo.fValue);
    tested.push_back(fc.bCheckWithinView);
  }
  EXPECT_EQ(depths, (std::vector<float>{1, 2, 3, 5, 6}));
  EXPECT_EQ(tested, (std::vector<bool>{false, false, false, true, true}));
}

TEST_F(Ch2Features, PackedPointRecordsOfBothKinds) {
  Open([](FeatureWriter &f) {
    f.PointsTyped({-9805000, 5400000, 100, 100}, ZoomByte(0, 15), {{129, {1}, 0, 0, 0}, {136, {}, 0, 50, 50}});
    f.PointsTyped({-9812000, 5400000, 5000, 100}, ZoomByte(0, 15), {{129, {}, 0, 0, 0}, {136, {}, 0, 4000, 0}});
    f.Points({-9800000, 5400000, 10, 10}, 129, ZoomByte(0, 15), {{0, {5, 6}, 0, 1, 1}});
    f.End();
  });
  std::vector<std::tuple<int, int, bool>> got;
  while (Next() == CL_SUCCESS)
    got.push_back({fc.usRecordTypeOfFeature, fc.sFeatureRecordInfo.ucS57Type, fc.bCheckWithinView != FALSE});
  const std::vector<std::tuple<int, int, bool>> want = {
      {41, 129, false}, {41, 136, false}, {41, 136, true}, {42, 129, false}};
  EXPECT_EQ(got, want);
}

TEST_F(Ch2Features, GroupsSkipEnterAndBadSkip) {
  Open([](FeatureWriter &f) {
    const uint32_t g = f.GroupMetres(-9829000, 5390000, -9825000, 5391000);  // off the view
    f.Point(129, ZoomByte(0, 15), {}, -9828000, 5390500);
    f.PatchSkip(g, 0);  // patched below once the end is known
    f.Point(136, ZoomByte(0, 15), {}, -9800000, 5400000);
    f.End();
  });
  // Rebuild with the real skip: the address of the second point.
  Open([](FeatureWriter &f) {
    const uint32_t g = f.GroupMetres(-9829000, 5390000, -9825000, 5391000);
    f.Point(129, ZoomByte(0, 15), {}, -9828000, 5390500);
    const uint32_t after = f.Point(136, ZoomByte(0, 15), {}, -9800000, 5400000);
    f.PatchSkip(g, after);
    f.End();
  });
  auto viewed = All(3);
  ASSERT_EQ(viewed.size(), 1u);
  EXPECT_EQ(fc.sFeatureRecordInfo.ucS57Type, 136);
  ASSERT_EQ(ch2_GetLayer(&ctx, &lc, 1), CL_SUCCESS);
  EXPECT_EQ(All(0).size(), 2u);  // without the view test the group is entered

  // A skip address back into the layer ends it instead of looping.
  Open([](FeatureWriter &f) {
    const uint32_t first = f.Point(136, ZoomByte(0, 15), {}, -9800000, 5400000);
    const uint32_t g = f.GroupPixels({0, 0, 1, 1});  // below and left of the surface
    f.PatchSkip(g, first);
    f.Point(136, ZoomByte(0, 15), {}, -9800000, 5400000);
    f.End();
  });
  EXPECT_EQ(All(3).size(), 1u);
  EXPECT_EQ(lc.usCurrentState, LAYERSTATE_ENDOF_LAYER2);
}

TEST_F(Ch2Features, LinesAreasAndPackedLines) {
  Open([](FeatureWriter &f) {
    f.Line(false, {600, 100, 620, 120}, 129, ZoomByte(0, 15), {1}, {0x80001000u});
    f.Line(true, {0, 0, 10, 10}, 129, ZoomByte(0, 15), {}, {1}, {2});  // left of the view
    f.PackedLines(true, {600, 100, 620, 120}, 136, -1,
                  {{ZoomByte(0, 15), {1, 2}, {1, 2}, {3}}, {ZoomByte(8, 9), {}, {}, {}}, {ZoomByte(5, 5), {}, {4}, {}}});
    f.PackedLines(false, {600, 100, 620, 120}, 136, ZoomByte(6, 9), {{0, {}, {1}, {}}});  // shared zoom fails
    f.PackedLines(false, {600, 100, 620, 120}, 136, ZoomByte(0, 9), {{0, {}, {1}, {}}, {0, {}, {2}, {}}});
    f.End();
  });
  std::vector<std::pair<int, bool>> got;
  while (Next() == CL_SUCCESS) got.push_back({fc.usRecordTypeOfFeature, fc.bIsFeatureRecord != FALSE});
  const std::vector<std::pair<int, bool>> want = {{24, true}, {25, false}, {25, true}, {34, false}, {34, true}};
  EXPECT_EQ(got, want);
}

TEST_F(Ch2Features, RelationDataInBatchesOf128) {
  std::vector<std::pair<uint8_t, uint32_t>> entries;
  for (uint32_t i = 0; i < 129; ++i) entries.push_back({static_cast<uint8_t>(i), 1000 + i});
  Open([&](FeatureWriter &f) {
    f.Relation(129, {}, entries);
    f.End();
  });
  ASSERT_EQ(Next(), CL_SUCCESS);
  RELATIONDATA2 rd{};
  EXPECT_EQ(ch2_GetRelationData(0, &fc, &rd, TRUE), CH2_WARN_BUFFER_FULL);
  EXPECT_EQ(rd.iNumOfEntries, 128);
  EXPECT_EQ(rd.sEntry[127].ulAddress, 1127u);
  EXPECT_EQ(ch2_GetRelationData(0, &fc, &rd, FALSE), CL_SUCCESS);
  EXPECT_EQ(rd.iNumOfEntries, 1);
  EXPECT_EQ(rd.sEntry[0].ucRelation, 128);
  fc.usRecordTypeOfFeature = 40;
  EXPECT_EQ(ch2_GetRelationData(0, &fc, &rd, TRUE), CH2_ERR_NOT_RELATION);
}

}  // namespace
