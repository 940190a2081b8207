// Map directory, map headers and the port-services directory.
#include <gtest/gtest.h>

#include <cmath>

#include "chart_files.h"
#include "chart_writer.h"
#include "chartlib/reader/ch2_map.h"

using namespace chart_fixture;

namespace {

// A map of about 60 km square at 43 degrees north; i shifts it east.
MapSpec SmallMap(int i) {
  MapSpec m;
  m.left = -9830000 + i * 100000;
  m.bottom = 5390000;
  m.right = m.left + 60000;
  m.top = 5450000;
  m.resolutionX = 1024;
  m.resolutionY = 1024;
  m.code = static_cast<uint16_t>(10 + i);
  return m;
}

ChartSpec Maps(int n) {
  ChartSpec spec;
  for (int i = 0; i < n; ++i) spec.maps.push_back(SmallMap(i));
  return spec;
}

class Ch2MapDirectory : public ::testing::Test {
 protected:
  void Open(int slot, const ChartSpec &spec, ChartLayout *layout = nullptr) {
    files.OpenImage(slot, BuildChart(spec, layout));
  }
  ChartFiles files;
  MAPHEADER2 headers[8]{};
  MAPDIRECTORY2 dir{0, 3, headers};
};

TEST_F(Ch2MapDirectory, CountsWholeAddresses) {
  const struct {
    int64_t length;
    UINT32 count;
  } cases[] = {{-1, 5}, {10, 2}, {3, 0}, {0, 0}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.length);
    ChartSpec spec = Maps(5);
    spec.directoryLength = c.length;
    Open(0, spec);
    CHARTCONFIG2 cfg{0, TRUE, 0};
    UINT32 count = 99;
    EXPECT_EQ(ch2_GetMapDirectoryCount(&cfg, &count), CL_SUCCESS);
    EXPECT_EQ(count, c.count);
    MAPHEADER2 all[8]{};
    MAPDIRECTORY2 d{0, 8, all};
    SINT loaded = -1;
    EXPECT_EQ(ch2_LoadMapDirectory(&cfg, &d, &loaded), CL_SUCCESS);
    EXPECT_EQ(loaded, static_cast<SINT>(c.count));
    for (UINT32 i = 0; i < c.count; ++i) EXPECT_EQ(all[i].usMapCode, 10 + i);
  }
}

TEST_F(Ch2MapDirectory, FullDirectoryLoadsWhatFits) {
  ChartSpec spec = Maps(5);
  spec.deletedDirectoryFirst = true;
  spec.fillerBytes = 700;
  Open(4, spec);
  CHARTCONFIG2 cfg{4, TRUE, 0};
  SINT count = 0;
  EXPECT_EQ(ch2_LoadMapDirectory(&cfg, &dir, &count), CH2_WARN_DIRECTORY_FULL);
  EXPECT_EQ(count, 3);
  EXPECT_EQ(dir.iNumOfMaps, 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(headers[i].iMapId, i);
    EXPECT_EQ(headers[i].iChartDeviceId, 4);
  }
  EXPECT_EQ(headers[3].usMapCode, 0);  // nothing written past the room
  EXPECT_EQ(ch2_LoadMapDirectory(&cfg, &dir, &count), CH2_WARN_DIRECTORY_FULL);
  EXPECT_EQ(count, 3);
  EXPECT_EQ(ch2_ClearMapDirectory(&dir), CL_SUCCESS);
  EXPECT_EQ(dir.iNumOfMaps, 0);
  EXPECT_EQ(headers[0].usMapCode, 0);
  EXPECT_EQ(headers[2].slLeftInMercatorMeters, 0);
}

TEST_F(Ch2MapDirectory, ReadsEveryHeaderField) {
  ChartSpec spec = Maps(2);
  MapSpec &m = spec.maps[1];
  m.type = -3;
  m.title = 0xBEEF;
  m.notes = 12;
  m.usage = 0x8001;
  m.limitations = 7;
  m.rangeUpper = -5;
  m.rangeLower = 123456;
  m.spatial = 0xCAFE0001u;
  m.resolutionX = 2048;
  m.resolutionY = 4096;
  m.layers = {Layer(38)};
  ChartLayout layout;
  Open(7, spec, &layout);
  CHARTCONFIG2 cfg{7, FALSE, 0};
  ASSERT_EQ(ch2_LoadMapDirectory(&cfg, &dir, nullptr), CL_SUCCESS);
  const MAPHEADER2 &h = headers[1];
  EXPECT_EQ(h.iChartDeviceId, 7);
  EXPECT_EQ(h.iMapId, 1);
  EXPECT_EQ(h.usMapCode, 11);
  EXPECT_EQ(h.usMapType, -3);
  EXPECT_EQ(h.slLeftInMercatorMeters, m.left);
  EXPECT_EQ(h.slBottomInMercatorMeters, m.bottom);
  EXPECT_EQ(h.slRightInMercatorMeters, m.right);
  EXPECT_EQ(h.slTopInMercatorMeters, m.top);
  EXPECT_EQ(h.usMapTitle, 0xBEEF);
  EXPECT_EQ(h.usMapNotes, 12);
  EXPECT_EQ(h.slResolutionX, 2048 * 16384);
  EXPECT_EQ(h.slResolutionY, 4096 * 16384);
  EXPECT_EQ(h.usIntendedUsage, 0x8001);
  EXPECT_EQ(h.usUsageLimitations, 7);
  EXPECT_EQ(h.slRangeUpper, -5);
  EXPECT_EQ(h.slRangeLower, 123456);
  EXPECT_EQ(h.ulAddressOfSpatialDataRecordForMap, 0xCAFE0001u);
  EXPECT_EQ(h.ulAddrOfTheFirstMapLayerRec, layout.firstLayer[1]);
  EXPECT_EQ(h.sEnvLim.iMaxScale, 6);
  EXPECT_EQ(h.sEnvLim.iMaxOvz, 14);
  // log2(4,096 x 16,384 / 512)
  EXPECT_EQ(h.iMaxScale, 17);
  // 60 km of Mercator y at 43.8 degrees north is about 43.3 km on the ground; h = 60 km x 2048 / 4096.
  EXPECT_NEAR(h.fMaxField, 30000 * std::cos(43.76 * M_PI / 180), 100);
  EXPECT_EQ(h.fMaxField, static_cast<float>(h.fMaxField));
  EXPECT_EQ(h.fMinField, static_cast<float>(h.fMaxField / (1 << 17)));
}

TEST_F(Ch2MapDirectory, HeadersOffTheGridOrWithUnusableResolutionKeepTheDefaults) {
  const struct {
    const char *name;
    std::function<void(MapSpec &)> change;
    SLONG resolutionY;
  } cases[] = {
      {"left 20,038,301", [](MapSpec &m) { m.left = 20038301; }, 1024 << 14},
      {"right -20,038,301", [](MapSpec &m) { m.right = -20038301; }, 1024 << 14},
      {"bottom -15,433,200", [](MapSpec &m) { m.bottom = -15433200; }, 1024 << 14},
      {"top 15,433,200", [](MapSpec &m) { m.top = 15433200; }, 1024 << 14},
      {"resolution y 0", [](MapSpec &m) { m.resolutionY = 0; }, 0},
      {"resolution x 65,536", [](MapSpec &m) { m.resolutionX = 65536; }, 1024 << 14},
      {"resolution y 2^17 (overflows the shift)", [](MapSpec &m) { m.resolutionY = 1u << 17; }, 0},
      {"resolution y negative", [](MapSpec &m) { m.resolutionY = 0xFFFFFC00u; }, 0},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    ChartSpec spec = Maps(1);
    c.change(spec.maps[0]);
    Open(0, spec);
    CHARTCONFIG2 cfg{0, TRUE, 0};
    ch2_ClearMapDirectory(&dir);
    ASSERT_EQ(ch2_LoadMapDirectory(&cfg, &dir, nullptr), CL_SUCCESS);
    EXPECT_EQ(headers[0].iMaxScale, 0);
    EXPECT_EQ(headers[0].fMaxField, 6.0);
    EXPECT_EQ(headers[0].fMinField, -14.0);
    EXPECT_EQ(headers[0].slResolutionY, c.resolutionY);
  }
  // The largest usable resolution still zooms: 65,535 map pixels give power 20.
  ChartSpec spec = Maps(1);
  spec.maps[0].resolutionY = 65535;
  Open(0, spec);
  CHARTCONFIG2 cfg{0, TRUE, 0};
  ch2_ClearMapDirectory(&dir);
  ASSERT_EQ(ch2_LoadMapDirectory(&cfg, &dir, nullptr), CL_SUCCESS);
  EXPECT_EQ(headers[0].iMaxScale, 20);
}

TEST_F(Ch2MapDirectory, ResultCodes) {
  ChartSpec noSignature = Maps(2);
  noSignature.signature = false;
  ChartSpec noDirectory = Maps(2);
  noDirectory.mapDirectory = false;
  Open(0, noSignature);
  Open(1, noDirectory);
  // A directory entry that points at a layer record instead of a map header.
  ChartSpec wrong = Maps(1);
  wrong.maps[0].layers = {Layer(38)};
  ChartLayout layout;
  std::vector<uint8_t> image = BuildChart(wrong, &layout);
  for (int i = 0; i < 4; ++i) image[layout.mapDirectory + 6 + i] = static_cast<uint8_t>(layout.firstLayer[0] >> (8 * i));
  files.OpenImage(2, image);

  UINT32 count = 0;
  CHARTCONFIG2 cfg0{0, TRUE, 0}, cfg1{1, TRUE, 0}, cfg2{2, TRUE, 0}, cfgEmpty{9, TRUE, 0};
  EXPECT_EQ(ch2_GetMapDirectoryCount(&cfg0, &count), CH2_WARN_NO_SIGNATURE);
  EXPECT_EQ(ch2_LoadMapDirectory(&cfg0, &dir, nullptr), CH2_WARN_NO_SIGNATURE);
  EXPECT_EQ(ch2_GetMapDirectoryCount(&cfgEmpty, &count), CH2_WARN_NO_SIGNATURE);
  EXPECT_EQ(ch2_GetMapDirectoryCount(&cfg1, &count), CH2_ERR_NO_MAP_DIRECTORY);
  EXPECT_EQ(ch2_LoadMapDirectory(&cfg1, &dir, nullptr), CH2_ERR_NO_MAP_DIRECTORY);
  EXPECT_EQ(ch2_LoadMapDirectory(&cfg2, &dir, nullptr), CH2_ERR_NOT_MAP_HEADER);
  EXPECT_EQ(dir.iNumOfMaps, 0);
  PORTPAGESCONTEXT2 ppc{};
  EXPECT_EQ(ch2_LoadPortPagesDirectory(0, &ppc), CH2_WARN_NO_SIGNATURE);
}

TEST_F(Ch2MapDirectory, MissingSignatureAfterTheReadsWinsOverDirectoryFull) {
  ChartSpec spec = Maps(5);
  spec.fillerBytes = 600;  // the headers lie in the second block
  Open(3, spec);
  files.beforeBlock = [this](int slot, uint32_t block) {
    if (slot == 3 && block == 1) files.Poke(3, 4, 0);  // the card changes under the reader
  };
  CHARTCONFIG2 cfg{3, TRUE, 0};
  SINT count = 0;
  EXPECT_EQ(ch2_LoadMapDirectory(&cfg, &dir, &count), CH2_WARN_NO_SIGNATURE);
  EXPECT_EQ(count, 3);
  files.beforeBlock = nullptr;
}

TEST_F(Ch2MapDirectory, ClearMapHeaderMarksNoMap) {
  MAPCONTEXT2 ctx{};
  ctx.sMapHeader.usMapCode = 5;
  ctx.sMapHeader.fMaxField = 3.0;
  ctx.usNumberOfLayers = 4;
  ctx.usCurrentLayerNumber = 2;
  ctx.ulLayerOnOffFlags[1] = 7;
  EXPECT_EQ(ch2_ClearMapHeader(&ctx), CL_SUCCESS);
  EXPECT_EQ(ctx.sMapHeader.iChartDeviceId, -1);
  EXPECT_EQ(ctx.sMapHeader.iMapId, -1);
  EXPECT_EQ(ctx.sMapHeader.usMapCode, 0);
  EXPECT_EQ(ctx.sMapHeader.fMaxField, 0.0);
  EXPECT_EQ(ctx.usNumberOfLayers, 0);
  EXPECT_EQ(ctx.usCurrentLayerNumber, 0);
  EXPECT_EQ(ctx.ulLayerOnOffFlags[1], 7u);
  MAPHEADER2 h{};
  h.usMapCode = 9;
  ch2_SetMapHeader(&ctx, &h);
  MAPHEADER2 back{};
  ch2_GetMapHeader(&ctx, &back);
  EXPECT_EQ(back.usMapCode, 9);
}

TEST(Ch2CalcField, ScalesByZoomDifferenceAndRefusesOffGrid) {
  FLOAT base = 0, f = 0;
  ASSERT_EQ(ch2_CalcField(5390000, 5450000, 0, 0, &base), CL_SUCCESS);
  EXPECT_NEAR(base, 60000 * std::cos(43.9 * M_PI / 180), 300);
  FLOAT edge = 0;
  ASSERT_EQ(ch2_CalcField(15433198, 0, 0, 0, &edge), CL_SUCCESS);
  EXPECT_NEAR(edge, 80 * 111136.2, 0.01 * 80 * 111136.2);
  const struct {
    SLONG y1, y2;
    SINT s1, s2;
    ERRORCODE code;
    DOUBLE expected;
  } cases[] = {
      {5390000, 5450000, 3, 0, CL_SUCCESS, base / 8},
      {5450000, 5390000, 0, 2, CL_SUCCESS, base * 4},
      {0, 0, 0, 0, CL_SUCCESS, 0.0},
      {0, -15433198, 0, 0, CL_SUCCESS, edge},
      {15433199, 0, 0, 0, CH2_ERR_Y_RANGE, 0.0},
      {0, -15433199, 0, 0, CH2_ERR_Y_RANGE, 0.0},
  };
  for (const auto &c : cases) {
    f = 99;
    EXPECT_EQ(ch2_CalcField(c.y1, c.y2, c.s1, c.s2, &f), c.code) << c.y1 << " " << c.y2;
    EXPECT_NEAR(f, c.expected, std::fabs(c.expected) * 1e-6) << c.y1 << " " << c.y2;
  }
}

TEST_F(Ch2MapDirectory, PortServicesAddressesComeInTurn) {
  ChartSpec spec = Maps(1);
  spec.portDirectory = true;
  spec.portTables = {0x1234, 0xABCDEF01u};
  Open(0, spec);
  ChartSpec none = Maps(1);
  Open(1, none);
  ChartWriter odd;  // 6 bytes: one whole address and a stray half
  odd.Record(6, Bytes().U32(0x77).U16(0x88), Width::Two);
  odd.Link(kEndOfChain);
  files.OpenImage(2, odd.Data());
  ChartWriter empty;
  empty.Record(6, Bytes(), Width::One);
  empty.Link(kEndOfChain);
  files.OpenImage(3, empty.Data());

  PORTPAGESCONTEXT2 ppc{};
  UINT32 a = 0;
  ASSERT_EQ(ch2_LoadPortPagesDirectory(0, &ppc), CL_SUCCESS);
  EXPECT_EQ(ppc.iChartId, 0);
  EXPECT_EQ(ppc.ulEndAddress - ppc.ulBeginAddress, 8u);
  for (int pass = 0; pass < 2; ++pass) {
    EXPECT_EQ(ch2_GetPortPagesAddress(&ppc, &a, TRUE), CL_SUCCESS);
    EXPECT_EQ(a, 0x1234u);
    EXPECT_EQ(ch2_GetPortPagesAddress(&ppc, &a, FALSE), CL_SUCCESS);
    EXPECT_EQ(a, 0xABCDEF01u);
    EXPECT_EQ(ch2_GetPortPagesAddress(&ppc, &a, FALSE), CH2_WARN_NO_MORE_PORT_TABLES);
    EXPECT_EQ(a, 0xFFFFFFFFu);
  }

  EXPECT_EQ(ch2_LoadPortPagesDirectory(1, &ppc), CH2_WARN_NO_PORT_DIRECTORY);
  EXPECT_EQ(ppc.iChartId, -1);
  EXPECT_EQ(ppc.ulBeginAddress, 0xFFFFFFFFu);
  EXPECT_EQ(ppc.ulEndAddress, 0xFFFFFFFFu);
  a = 5;
  EXPECT_EQ(ch2_GetPortPagesAddress(&ppc, &a, TRUE), CH2_WARN_NO_PORT_DIRECTORY);
  EXPECT_EQ(a, 0xFFFFFFFFu);

  ASSERT_EQ(ch2_LoadPortPagesDirectory(2, &ppc), CL_SUCCESS);
  EXPECT_EQ(ch2_GetPortPagesAddress(&ppc, &a, TRUE), CL_SUCCESS);
  EXPECT_EQ(a, 0x77u);
  EXPECT_EQ(ch2_GetPortPagesAddress(&ppc, &a, FALSE), CH2_WARN_NO_MORE_PORT_TABLES);

  ASSERT_EQ(ch2_LoadPortPagesDirectory(3, &ppc), CL_SUCCESS);
  EXPECT_EQ(ch2_GetPortPagesAddress(&ppc, &a, TRUE), CH2_WARN_NO_MORE_PORT_TABLES);
  EXPECT_EQ(a, 0xFFFFFFFFu);
}

}  // namespace
