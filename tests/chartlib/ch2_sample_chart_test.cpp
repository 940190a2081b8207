// The sample chart, written to a file and read back through the file-backed callbacks.
#include <gtest/gtest.h>

#include <filesystem>

#include "chart_files.h"
#include "chart_writer.h"
#include "chartlib/reader/ch2_layer.h"

using namespace chart_fixture;

namespace {

TEST(Ch2SampleChart, ReadsBackFromAFile) {
  const auto path = std::filesystem::temp_directory_path() / ("sample_" + std::to_string(::getpid()) + ".nv2");
  ASSERT_TRUE(WriteFile(path.string(), BuildChart(SampleChartSpec())));
  ChartFiles files;
  ASSERT_TRUE(files.OpenFile(12, path.string()));
  CH2_RecoveryPoint point;
  const ChartSpec spec = SampleChartSpec();
  const struct {
    UINT16 layers;
    SINT firstDepth;
  } expected[] = {{3, 100}, {4, 50}, {2, 0}};  // the count stops at the group
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    MAPCONTEXT2 ctx{};
    ASSERT_TRUE(MapContextFor(12, i, &ctx));
    EXPECT_EQ(ctx.sMapHeader.iChartDeviceId, 12);
    EXPECT_EQ(ctx.sMapHeader.usMapCode, spec.maps[i].code);
    EXPECT_GT(ctx.sMapHeader.iMaxScale, 0);
    EXPECT_EQ(ch2_CountLayers(&ctx), CL_SUCCESS);
    EXPECT_EQ(ctx.usNumberOfLayers, expected[i].layers);
    EXPECT_EQ(ctx.slDepthValuesList[0], expected[i].firstDepth);
    // The whole map in view: every layer, the grouped ones included.
    ASSERT_EQ(ch2_CalcMapZoom(&ctx, ctx.sMapHeader.iMaxScale, 0, 0), CL_SUCCESS);
    BOOL centred = FALSE;
    ASSERT_EQ(ch2_CalcMapView(&ctx, POINT{0, 0}, 0, &centred), CL_SUCCESS);
    LAYERCONTEXT2 lc{};
    int n = 0;
    for (SINT k = 1; ch2_GetLayer(&ctx, &lc, k) == CL_SUCCESS; ++k) ++n;
    EXPECT_EQ(n, i == 1 ? 6 : expected[i].layers);
  }
  UINT32 count = 0;
  const CHARTCONFIG2 cfg{12, TRUE, 0};
  EXPECT_EQ(ch2_GetMapDirectoryCount(&cfg, &count), CL_SUCCESS);
  EXPECT_EQ(count, 3u);
  std::filesystem::remove(path);
}

}  // namespace
