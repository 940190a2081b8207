// Readout layers: which selection the column follows, the navigation bars and the big-digits column.
#include "golden.h"
#include "draw/icon_data.h"
#include "draw/string.h"
#include "view/view.h"
#include "readout_test_env.h"
#include "ui/info/navbox.h"
#include "ui/info/readout.h"

namespace {

constexpr COLOR kPicture = 0x4A69;

class ReadoutLayerTest : public ReadoutTest {
 protected:
  void SetUp() override {
    ReadoutTest::SetUp();
    setKey("BDEP", "IDEP");
    setFloat("IDEP", 4.0f, D_DEPTH);
    for (const char *pc : {"SIS1", "SIS2", "SIS3", "SIS4", "SIS5", "CISB", "CISH", "CISS", "CIS1", "CIS2"}) {
      H_DATABASE_bUpdateEverythingU32(static_cast<FOURCHARID>(pc[0] | pc[1] << 8 | pc[2] << 16 | pc[3] << 24), 0,
                                      P_NORMAL, D_FCID, nullptr, DB_NO_TIMEOUT);
    }
  }
  static WINDOW_SPECIFICATION window(LAYER_ID eView) {
    WINDOW_SPECIFICATION spec{};
    spec.currentLayer = eView;
    spec.activeWindow = SPLIT_FULL_WINDOW;
    spec.drawWindowType = SPLIT_FULL_WINDOW;
    return spec;
  }
  static COLOR foreground() { return gCOLOR_pcolColorTable[INFO_COLOR_FOREGROUND]; }
  // The highest row of column x that holds colour c, -1 when none.
  static PIXEL top(const TestBitmap &bmp, PIXEL x, COLOR c) {
    for (PIXEL y = bmp.bitmap.pixels_high - 1; y >= 0; y--) {
      if (bmp.at(x, y) == c) return y;
    }
    return -1;
  }
};

TEST_F(ReadoutLayerTest, EmptyColumnDrawsNoLines) {
  TestBitmap bmp(800, 480, kPicture), untouched(800, 480, kPicture);
  WINDOW_SPECIFICATION spec = window(SONAR_VIEW_PRIORITY);
  T_INFO_vDrawInfoLayer_Instrumentation_SonarView(bmp.p(), &spec);
  EXPECT_EQ(bmp.vWords, untouched.vWords);
  EXPECT_EQ(T_INFO_nBoxWidth_SonarView(0, 479), 0);
}

TEST_F(ReadoutLayerTest, ExpiredNavigationKeepsTheSonarSelection) {
  setKey("SIS3", "BDEP");  // sonar selection, slot 2
  setKey("CISB", "BDEP");  // navigation selection, slot 2
  setKey("SIS1", "BDEP");
  H_DATABASE_bUpdateEverythingU32(FCID("INIP"), 1, P_NORMAL, D_UNKNOWN, nullptr, 1);
  EXPECT_EQ(T_INFO_nBoxWidth_SonarView(200, 280), READOUT_COLUMN_WIDTH);
  setU32("SIS3", 0, D_FCID);
  EXPECT_EQ(T_INFO_nBoxWidth_SonarView(200, 280), READOUT_COLUMN_WIDTH);  // navigating: 'CISB'
  PLATFORM_CLOCK_vAdvanceTestClockMs(1000);
  EXPECT_EQ(T_INFO_nBoxWidth_SonarView(200, 280), 0);  // expired: 'SIS3', empty
  // And no waypoint bar: nothing right of the column.
  TestBitmap bmp(800, 480, kPicture);
  WINDOW_SPECIFICATION spec = window(SONAR_VIEW_PRIORITY);
  T_INFO_vDrawInfoLayer_Instrumentation_SonarView(bmp.p(), &spec);
  EXPECT_EQ(bmp.at(200, 20), kPicture);
  EXPECT_EQ(bmp.at(170, 5), kPicture);
}

TEST_F(ReadoutLayerTest, AutopilotNavigationSwitchesTheChartColumnButNotItsWidthQuery) {
  setKey("CISB", "BDEP");
  H_DATABASE_bUpdateEverythingBoolean(FCID("IPNO"), TRUE, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  TestBitmap bmp(800, 480, kPicture);
  WINDOW_SPECIFICATION spec = window(CHART_VIEW_PRIORITY);
  T_INFO_vDrawInfoLayer_Instrumentation_TrackChartView(bmp.p(), &spec);
  EXPECT_NE(bmp.at(10, 240), kPicture);  // slot 2 drawn
  EXPECT_EQ(T_INFO_nBoxWidth_TrackChartView(200, 280), 0);
  // Mode 0: the bar holds the navigation icon and no text.
  const S32 W = static_cast<S32>(G_ICON_u32GetWidth(&VantrelNav_icon)) + 4 + 16;
  const S32 H = static_cast<S32>(G_ICON_u32GetHeight(&VantrelNav_icon));
  EXPECT_EQ(bmp.at(159 + W - 1, 8 + H), foreground());  // top frame line, right end
  EXPECT_EQ(bmp.at(159 + W, 3), foreground());          // right frame line
  EXPECT_EQ(bmp.at(159 + W + 3, 8 + H), kPicture);
}

TEST_F(ReadoutLayerTest, WeatherViewsRaiseTheWaypointBar) {
  setU32("INIP", 1);
  NAV_STANDIN_vSetWaypoint(1, "DOCK", 0);
  setU32("IDWP", 1, D_WAYPOINT);
  auto frameTop = [&](LAYER_ID eView) {
    setU32("CVEW", eView);
    TestBitmap bmp(800, 200, kPicture);
    POINT pt{159, 0};
    T_INFO_vDrawInfoLayer_WaypointIndicatorBar(bmp.p(), &pt);
    return top(bmp, 158, foreground());  // the left frame line
  };
  const PIXEL yChart = frameTop(CHART_VIEW_PRIORITY);
  ASSERT_GT(yChart, 0);
  EXPECT_EQ(frameTop(SATWEATHER_VIEW_PRIORITY), yChart + 26);
  EXPECT_EQ(frameTop(CHART_PLUS_SATWEATHER_VIEW_PRIORITY), yChart + 26);
  // With a man-overboard in progress the man-overboard bar takes its place.
  NAV_STANDIN_vSetMOB(TRUE);
  TestBitmap bmp(800, 480, kPicture);
  WINDOW_SPECIFICATION spec = window(CHART_VIEW_PRIORITY);
  T_INFO_vDrawInfoLayer_Instrumentation_TrackChartView(bmp.p(), &spec);
  EXPECT_EQ(bmp.at(400, 52), gCOLOR_pcolColorTable[36]);
}

TEST_F(ReadoutLayerTest, BigDigitsDepthWithoutSonarIsAnEmptyBox) {
  H_DATABASE_bUpdateEverythingBoolean(FCID("ISEN"), FALSE, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  TestBitmap bmp(800, 480, kPicture);
  WINDOW_SPECIFICATION spec = window(CHART_BIG_DIGITS_VIEW_PRIORITY);
  T_NAV_INFOBOX_vDrawInfoLayer_Instrumentation_BigDigitsViews(bmp.p(), &spec);
  const COLOR colBackground = gCOLOR_pcolColorTable[INFO_COLOR_BACKGROUND];
  for (PIXEL y = 361; y < 361 + 118; y++) {
    for (PIXEL x = 0; x < 193; x++) ASSERT_EQ(bmp.at(x, y), colBackground) << x << ", " << y;
  }
  // The column's separators: the vertical bar right of the boxes.
  EXPECT_EQ(bmp.at(194, 300), foreground());
  EXPECT_EQ(bmp.at(300, 300), kPicture);  // no second column without navigation
}

TEST_F(ReadoutLayerTest, OneSecondTickFlipsTheBlinkAndAsksForAFrame) {
  INFO_vSetBlinkState(TRUE);
  const S32 nFrame = INFO_nPropIconId();
  UI_bTakeSignal(SEMA_VIEW_UPDATE);
  T_INFO_vHandleSema(SEMA_TIMER_INFO);
  EXPECT_FALSE(T_INFO_bBlinkState());
  EXPECT_EQ(INFO_nPropIconId(), (nFrame + 1) % 3);
  EXPECT_TRUE(UI_bTakeSignal(SEMA_VIEW_UPDATE));
}

}  // namespace

namespace {

class SpeedReadoutTest : public ReadoutLayerTest {
 protected:
  void SetUp() override {
    ReadoutLayerTest::SetUp();
    setFloat("ISPD", 2.0f, D_SPEED);
    for (const char *pc : {"IPUF", "IPNE", "IPRP"}) {
      H_DATABASE_bUpdateEverythingBoolean(static_cast<FOURCHARID>(pc[0] | pc[1] << 8 | pc[2] << 16 | pc[3] << 24),
                                          TRUE, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
    }
    setFloat("IPPT", 5.0f, D_FLOAT);
  }
  static std::vector<U32> draw() {
    TestBitmap bmp(160, 100, kPicture);
    T_INFO_nDrawDigitsInfoBox(bmp.p(), 156, 94, 0, 0, FCID("ISPD"), f34x62_font_def_ptr, std_16x17_font_def_ptr,
                              f18x32_font_def_ptr, DONT_FORCE, IBS_WHITE_BAR, INSTRUMENTATION_JUSTIFY_RIGHT, 0);
    return bmp.vWords;
  }
};

TEST_F(SpeedReadoutTest, PropellerTurnsWhileTheAutopilotPushes) {
  while (INFO_nPropIconId() != 0) INFO_vAdvanceBlink();
  const auto frame0 = draw();
  INFO_vAdvanceBlink();
  const auto frame1 = draw();
  EXPECT_NE(frame0, frame1);
  // No thrust: back to the first frame.
  setFloat("IPPT", 0.0f, D_FLOAT);
  EXPECT_EQ(draw(), frame0);
  EXPECT_EQ(INFO_nPropIconId(), 0);
  // Autopilot navigation disabled: no propeller at all.
  H_DATABASE_bUpdateValueBoolean(FCID("IPNE"), FALSE, P_NORMAL);
  const auto none = draw();
  EXPECT_NE(none, frame0);
  H_DATABASE_bUpdateValueBoolean(FCID("IPRP"), FALSE, P_NORMAL);
  EXPECT_EQ(draw(), none);
}

TEST_F(ReadoutLayerTest, ContinuousNavigationShowsDashesForCrossTrackError) {
  setU32("SUDS", U_NAUT_MILES, D_UNITS);
  setFloat("IXTE", 1852.0f * 0.25f, D_DISTANCE);
  auto width = [] {
    TestBitmap bmp(300, 60);
    return T_INFO_nDrawInfoBox(bmp.p(), 1, 30, 0, 0, FCID("IXTE"), std_16x17_font_def_ptr, std_16x17_font_def_ptr,
                               IBS_NONE, JUSTIFY_LEFT, 0);
  };
  const S32 nValue = width();
  H_DATABASE_bUpdateEverythingBoolean(FCID("SNCM"), TRUE, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  EXPECT_EQ(width(), nValue);
  H_DATABASE_bUpdateEverythingBoolean(FCID("CCNC"), TRUE, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  EXPECT_EQ(width(), static_cast<S32>(G_STRING_u32GetWidth(std_16x17_font_def_ptr, "---")));
}

TEST_F(ReadoutLayerTest, InvalidPositionFlashes) {
  setU32("SIPF", F_DD_MM_MMM);
  H_DATABASE_bUpdateEverythingFloat(FCID("ILTD"), 47.5f, P_NORMAL, D_POSITION_LAT, nullptr, 1);
  H_DATABASE_bUpdateEverythingFloat(FCID("ILND"), -122.5f, P_NORMAL, D_POSITION_LON, nullptr, 1);
  auto draw = [] {
    TestBitmap bmp(156, 94, kPicture);
    POINT pt{0, 0};
    IBRF_vRenderPositionInfoBox(bmp.p(), &pt, VIBD_DOWN, 0);
    return bmp;
  };
  INFO_vSetBlinkState(FALSE);
  const TestBitmap valid = draw();
  PLATFORM_CLOCK_vAdvanceTestClockMs(1000);
  const TestBitmap off = draw();
  INFO_vSetBlinkState(TRUE);
  const TestBitmap on = draw();
  EXPECT_EQ(on.vWords, valid.vWords);
  EXPECT_NE(off.vWords, on.vWords);
  EXPECT_TRUE(off.points(foreground()).empty());
  EXPECT_NE(off.at(78, 47), kPicture);  // the background stays
}

}  // namespace
