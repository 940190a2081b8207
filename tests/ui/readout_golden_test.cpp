// Readout layers and composite boxes compared with golden pictures (CORVAN_UPDATE_GOLDEN=1 rewrites them).
#include "golden.h"
#include "view/view.h"
#include "readout_test_env.h"
#include "ui/info/navbox.h"
#include "ui/info/readout.h"

namespace {

constexpr COLOR kPicture = 0x4A69;  // what the layers are drawn over
// 2024-03-09 13:05:07 UTC.
constexpr U32 kAfternoon = 1709989507;

class ReadoutGoldenTest : public ReadoutTest {
 protected:
  void SetUp() override {
    ReadoutTest::SetUp();
    setU32("YUDP", U_FEET, D_UNITS);
    setU32("SUTE", U_CELSIUS, D_UNITS);
    setU32("SUSP", U_KNOTS, D_UNITS);
    setU32("SUHD", U_DEG_TRUE, D_UNITS);
    setU32("SUDS", U_NAUT_MILES, D_UNITS);
    setU32("SITF", 4);
    setU32("SIDF", 1);
    setU32("SIPF", F_DD_MM_MMM);
  }
  static WINDOW_SPECIFICATION window(LAYER_ID eView, U32 u32Alpha) {
    WINDOW_SPECIFICATION spec{};
    spec.currentLayer = eView;
    spec.activeWindow = SPLIT_FULL_WINDOW;
    spec.drawWindowType = SPLIT_FULL_WINDOW;
    spec.drawWindow = {0, 479, 799, 0};
    spec.u32User = u32Alpha;
    return spec;
  }
  // Rows y0 .. y0 + h - 1 of a full-screen drawing.
  static TestBitmap band(const TestBitmap &src, PIXEL y0, U32 h) {
    TestBitmap out(static_cast<U32>(src.bitmap.pixels_wide), h);
    for (PIXEL y = 0; y < static_cast<PIXEL>(h); y++) {
      for (PIXEL x = 0; x < src.bitmap.pixels_wide; x++) {
        G_BITMAP_pcolPixels(&out.bitmap)[G_BITMAP_szIndex(&out.bitmap, x, y)] = src.at(x, y0 + y);
      }
    }
    return out;
  }
};

TEST_F(ReadoutGoldenTest, ReadoutColumn) {
  setU32("CVEW", SONAR_VIEW_PRIORITY);
  setKey("SIS1", "BDEP");
  setKey("BDEP", "IDEP");
  setFloat("IDEP", 12.34f, D_DEPTH);
  setKey("SIS2", "BTMP");
  setKey("BTMP", "ITMP");
  setFloat("ITMP", 18.44f, D_TEMPERATURE);
  setU32("SIS3", 0, D_FCID);
  setKey("SIS4", "BTMO");
  setPointer("BTMO", reinterpret_cast<void *>(&IBRF_vRenderTimeOnlyInfoBox));
  setU32("IDTM", kAfternoon, D_DATETIME);
  setKey("SIS5", "BSPD");
  setKey("BSPD", "ISPD");
  setFloat("ISPD", 5.2f * 0.5144456f, D_SPEED);
  TestBitmap bmp(READOUT_COLUMN_WIDTH, 480, kPicture);
  WINDOW_SPECIFICATION spec = window(SONAR_VIEW_PRIORITY, 0x60);
  T_INFO_vDrawInfoLayer_Instrumentation_SonarView(bmp.p(), &spec);
  vExpectGolden(bmp.p(), "readout_column");
  // The empty third slot is closed above (y 382 - 384 of slot 1's bottom) and below (y 287 - 289).
  const COLOR colFore = gCOLOR_pcolColorTable[INFO_COLOR_FOREGROUND];
  EXPECT_EQ(bmp.at(10, 193 + 93), colFore);
  EXPECT_EQ(bmp.at(10, 97 + 94), colFore);
  EXPECT_EQ(bmp.at(10, 240), kPicture);
  // The column reaches every band but the empty slot's.
  EXPECT_EQ(T_INFO_nBoxWidth_SonarView(390, 470), READOUT_COLUMN_WIDTH);
  EXPECT_EQ(T_INFO_nBoxWidth_SonarView(200, 280), 0);
  EXPECT_EQ(T_INFO_nBoxWidth_TrackChartView(200, 280), 0);
}

struct CursorLayout {
  const char *pcGolden;
  LAYER_ID eView;
  BOOLEAN bHistory;
};

void PrintTo(const CursorLayout &c, std::ostream *os) { *os << c.pcGolden; }

class CursorBarTest : public ReadoutGoldenTest, public ::testing::WithParamInterface<CursorLayout> {};

TEST_P(CursorBarTest, Layout) {
  const CursorLayout &c = GetParam();
  setU32("CVEW", c.eView);
  setU32("ICAC", 1);
  setS32("ICPX", 80);
  setS32("ICPY", 452);
  setFloat("ICBH", 45.0f, D_HEADING);
  setFloat("ICBD", 1852.0f * 1.25f, D_DISTANCE);
  setFloat("ICDP", 10.0f, D_DEPTH);
  setFloat("ICCD", 5.5f, D_DEPTH);
  setFloat("ICTD", 47.6f, D_POSITION_LAT);
  setFloat("ICND", -122.3f, D_POSITION_LON);
  H_DATABASE_bUpdateEverythingBoolean(FCID("ICLV"), c.bHistory, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  TestBitmap bmp(800, 480, kPicture);
  WINDOW_SPECIFICATION spec = window(c.eView, 0x60);
  T_INFO_vSetAlpha(spec.u32User);
  T_INFO_vDrawInfoLayer_ActiveCursor(bmp.p(), &spec, POINT{0, 0});
  TestBitmap top = band(bmp, 480 - 56, 56);
  vExpectGolden(top.p(), c.pcGolden);
}

INSTANTIATE_TEST_SUITE_P(Layouts, CursorBarTest,
                         ::testing::Values(CursorLayout{"cursor_bar_sonar", SONAR_VIEW_PRIORITY, TRUE},
                                           CursorLayout{"cursor_bar_sonar_depth", SONAR_VIEW_PRIORITY, FALSE},
                                           CursorLayout{"cursor_bar_radar", RADAR_VIEW_PRIORITY, FALSE},
                                           CursorLayout{"cursor_bar_chart", CHART_VIEW_PRIORITY, FALSE}),
                         [](const ::testing::TestParamInfo<CursorLayout> &info) { return std::string(info.param.pcGolden); });

TEST_F(ReadoutGoldenTest, NoCursorBarWithoutAnActiveCursorOrInOtherViews) {
  TestBitmap bmp(800, 480, kPicture), untouched(800, 480, kPicture);
  WINDOW_SPECIFICATION spec = window(CHART_VIEW_PRIORITY, 0);
  T_INFO_vDrawInfoLayer_ActiveCursor(bmp.p(), &spec, POINT{0, 0});
  EXPECT_EQ(bmp.vWords, untouched.vWords);
  setU32("ICAC", 1);
  spec = window(DOWNRIGGER_VIEW_PRIORITY, 0);
  T_INFO_vDrawInfoLayer_ActiveCursor(bmp.p(), &spec, POINT{0, 0});
  // Only the column's edge line.
  EXPECT_EQ(bmp.points(gCOLOR_pcolColorTable[INFO_COLOR_FOREGROUND]).size(), 3u * 49u);
}

TEST_F(ReadoutGoldenTest, ManOverboardBar) {
  setFloat("MOBX", 47.6062f, D_POSITION_LAT);
  setFloat("MOBY", -122.3321f, D_POSITION_LON);
  setS32("MOBT", 754, D_LONG_TIME);
  NAV_STANDIN_vSetWaypoint(3, "MOB", 5);
  setU32("IDWP", 3, D_WAYPOINT);
  TestBitmap bmp(800, 60, kPicture);
  T_INFO_vSetAlpha(0x40);
  POINT pt{159, 0};
  T_INFO_vDrawInfoLayer_MOBBar(bmp.p(), &pt);
  vExpectGolden(bmp.p(), "mob_bar");
}

TEST_F(ReadoutGoldenTest, DualNavigationBoxIsBlankWithoutNavigation) {
  setU32("SUDS", U_NAUT_MILES, D_UNITS);
  setS32("ITTG", 5400, D_TIME);
  setFloat("ISPD", 6.0f * 0.5144456f, D_SPEED);
  TestBitmap bmp(156, 94, kPicture), untouched(156, 94, kPicture);
  POINT pt{0, 0};
  IBRF_vRenderTimeToGoOverSpeedInfoBox(bmp.p(), &pt, VIBD_DOWN, 0);
  EXPECT_EQ(bmp.vWords, untouched.vWords);
  vExpectGolden(bmp.p(), "navbox_dual_blank");
  setU32("INIP", 1);
  IBRF_vRenderTimeToGoOverSpeedInfoBox(bmp.p(), &pt, VIBD_DOWN, 0);
  vExpectGolden(bmp.p(), "navbox_dual");
  // Autopilot mode 9 shows the estimated time instead.
  setU32("IPMD", 9);
  setS32("IETM", 60, D_TIME);
  TestBitmap mode9(156, 94, kPicture);
  IBRF_vRenderTimeToGoOverSpeedInfoBox(mode9.p(), &pt, VIBD_DOWN, 0);
  EXPECT_NE(mode9.vWords, bmp.vWords);
}

TEST_F(ReadoutGoldenTest, TimeBoxesHideWhileTheTimeIsInvalid) {
  H_DATABASE_bUpdateEverythingU32(FCID("IDTM"), kAfternoon, P_NORMAL, D_DATETIME, nullptr, 1);
  TestBitmap bmp(156, 94, kPicture), untouched(156, 94, kPicture);
  POINT pt{0, 0};
  IBRF_vRenderTimeDateInfoBox(bmp.p(), &pt, VIBD_DOWN, 0);
  EXPECT_NE(bmp.vWords, untouched.vWords);
  PLATFORM_CLOCK_vAdvanceTestClockMs(1000);
  TestBitmap later(156, 94, kPicture);
  IBRF_vRenderTimeDateInfoBox(later.p(), &pt, VIBD_DOWN, 0);
  IBRF_vRenderTimeOnlyInfoBox(later.p(), &pt, VIBD_DOWN, 0);
  EXPECT_EQ(later.vWords, untouched.vWords);
}

TEST_F(ReadoutGoldenTest, ActiveTargetText) {
  NAV_STANDIN_vSetWaypoint(4, "LIGHTHOUSE POINT", 9);
  setU32("IDWP", 4, D_WAYPOINT);
  char acText[12] = "x";
  U8 u8Icon = 0;
  T_NAV_INFOBOX_vGetVantrelActiveStr(acText, &u8Icon, FALSE);
  EXPECT_STREQ(acText, "");  // nothing navigates
  setU32("INIP", 1);
  T_NAV_INFOBOX_vGetVantrelActiveStr(acText, &u8Icon, FALSE);
  EXPECT_STREQ(acText, "LIGHTHOUSE ");
  EXPECT_EQ(u8Icon, 9);
  // The final waypoint of the route.
  ROUTE *pRoute = T_NAV_pGetCurrentRoute();
  NAV_STANDIN_vSetWaypoint(5, "END", 2);
  pRoute->nCount = 2;  // the hide and lock bits beside it are not the count
  pRoute->bHide = 1;
  pRoute->bRtNotShared = 1;
  pRoute->anWaypoint[0] = 4;
  pRoute->anWaypoint[1] = 5;
  T_NAV_INFOBOX_vGetVantrelActiveStr(acText, &u8Icon, TRUE);
  EXPECT_STREQ(acText, "END");
  EXPECT_EQ(u8Icon, 2);
}

}  // namespace
