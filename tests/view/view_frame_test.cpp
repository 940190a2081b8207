// Frame composition and pacing of the view task on the test clock.
#include <ostream>
#include <string>
#include <vector>

#include "view/buffers.h"
#include "draw/bmp.h"
#include "draw/color.h"
#include "kernel/sema.h"
#include "view_fixture.h"

namespace {

COLOR colorIndex(U32 u32Index) { return gCOLOR_pcolColorTable[u32Index]; }

enum Action { NONE, REQUEST, EXPEDITE };
struct PaceStep {
  U32 afterMs;
  Action action;
  int framesAfter;
};
struct PaceCase {
  const char *name;
  std::vector<PaceStep> steps;
};
void PrintTo(const PaceCase &c, std::ostream *pOut) { *pOut << c.name; }

class Pacing : public ViewFixture, public ::testing::WithParamInterface<PaceCase> {};

// The first request of each case composes at once (no frame for 100 ms before it).
TEST_P(Pacing, FramesFollowRequestsAtMostEvery100Ms) {
  reg(CHART_VIEW_PRIORITY, USED_BY_NONE, 1);
  set(FCID("CVEW"), CHART_VIEW_PRIORITY);
  const int base = shown();
  U32 u32At = 0;
  for (const PaceStep &step : GetParam().steps) {
    advance(step.afterMs);
    u32At += step.afterMs;
    if (step.action == REQUEST) request();
    if (step.action == EXPEDITE) {
      T_VIEW_vRequestExpeditedViewUpdate();
      pump();
    }
    EXPECT_EQ(shown() - base, step.framesAfter) << "at " << u32At << " ms";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Requests, Pacing,
    ::testing::Values(
        PaceCase{"TwoRequests30MsApartGiveOneFrameAt100Ms",
                 {{200, REQUEST, 1}, {10, REQUEST, 1}, {30, REQUEST, 1}, {59, NONE, 1}, {1, NONE, 2}, {300, NONE, 2}}},
        PaceCase{"ARequest150MsAfterTheLastFrameDrawsAtOnce", {{200, REQUEST, 1}, {150, REQUEST, 2}}},
        PaceCase{"RequestsWhileTheTimerRunsAddNothing",
                 {{200, REQUEST, 1}, {20, REQUEST, 1}, {20, REQUEST, 1}, {20, REQUEST, 1}, {40, NONE, 2},
                  {500, NONE, 2}}},
        PaceCase{"ExpeditedFramesBypassThePacing",
                 {{200, REQUEST, 1}, {10, EXPEDITE, 2}, {0, EXPEDITE, 3}, {10, REQUEST, 3}, {89, NONE, 3},
                  {1, NONE, 4}}}),
    [](const ::testing::TestParamInfo<PaceCase> &info) { return std::string(info.param.name); });

// A draw function in which another task asks for an expedited frame: the page being composed is given back
// unseen and the expedited frame follows.
bool s_bAskForExpedited = false;
void vAskForExpedited(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER pWindow) {
  VIEWTEST_vRecord(pBitmap, pWindow);
  if (s_bAskForExpedited) {
    s_bAskForExpedited = false;
    T_VIEW_vRequestExpeditedViewUpdate();
    EXPECT_TRUE(T_VIEW_bViewUpdateCancelled());
  }
}

TEST_F(ViewFixture, AnExpeditedRequestDiscardsTheFrameInProgress) {
  reg(CHART_VIEW_PRIORITY, USED_BY_NONE, 1, 0, TRUE, vAskForExpedited);
  reg(ALARM_LAYER, USED_BY_ALL, 314);
  set(FCID("CVEW"), CHART_VIEW_PRIORITY);
  advance(200);
  const int before = shown();
  calls().clear();
  s_bAskForExpedited = true;
  request();
  EXPECT_EQ(freed(), 1);
  EXPECT_EQ(shown(), before + 1);
  // The abandoned frame stopped before the overlay; the expedited one drew everything.
  ASSERT_EQ(calls().size(), 3u);
  EXPECT_EQ(calls()[0].user, 1u);
  EXPECT_FALSE(calls()[0].bExpedited);
  EXPECT_EQ(calls()[1].user, 1u);
  EXPECT_TRUE(calls()[1].bExpedited);
  EXPECT_EQ(calls()[2].user, 314u);
}

TEST_F(ViewFixture, WithoutAShownViewTheFrameIsColour34WithTheAllViewOverlays) {
  reg(CHART_VIEW_PRIORITY, USED_BY_NONE, 1, FCID("SV28"), FALSE);
  reg(INFO_CHART_LAYER, CHART_VIEW_PRIORITY, 2);
  reg(MAIN_MENU_LAYER, USED_BY_ALL, 0x07E0, 0, TRUE, VIEWTEST_vPaint);
  advance(200);
  request();
  ASSERT_EQ(shown(), 1);
  ASSERT_EQ(calls().size(), 1u);
  EXPECT_EQ(calls()[0].user, 0x07E0u);
  EXPECT_EQ(static_cast<S32>(get(FCID("CVEW"))), NO_VIEW_PRIORITY);
  // The menu layer painted the whole window; without it the page is colour 34.
  EXPECT_EQ(pixel(0, 0), 0x07E0);
  ASSERT_TRUE(U_VIEW_bUnRegisterLayer(MAIN_MENU_LAYER));
  pump();
  advance(200);
  request();
  EXPECT_EQ(shown(), 2);
  EXPECT_EQ(pixel(0, 0), colorIndex(34));
  EXPECT_EQ(pixel(799, 479), colorIndex(34));
}

TEST_F(ViewFixture, AHiddenCurrentViewGivesWayToTheFirstShownViewAfterOneEmptyFrame) {
  reg(CHART_VIEW_PRIORITY, USED_BY_NONE, 28, FCID("SV28"), TRUE);
  reg(CHART_PLUS_2D_VIEW_PRIORITY, USED_BY_NONE, 35, FCID("SV35"), TRUE);
  reg(SONAR_VIEW_PRIORITY, USED_BY_NONE, 49, FCID("SV49"), TRUE);
  set(FCID("CVEW"), CHART_PLUS_2D_VIEW_PRIORITY);
  ASSERT_EQ(calls().back().user, 35u);
  set(FCID("SV35"), FALSE);
  advance(200);
  calls().clear();
  request();
  // One frame of colour 34 while 'CVEW' moves on, then the expedited frame of the new view.
  EXPECT_EQ(static_cast<S32>(get(FCID("CVEW"))), CHART_VIEW_PRIORITY);
  ASSERT_EQ(calls().size(), 1u);
  EXPECT_EQ(calls()[0].user, 28u);
  EXPECT_TRUE(calls()[0].bExpedited);
}

struct SplitCase {
  S32 percent;
  S32 leftRight, rightLeft;
};
void PrintTo(const SplitCase &c, std::ostream *pOut) { *pOut << c.percent << " %"; }

class SplitGeometry : public ViewFixture, public ::testing::WithParamInterface<SplitCase> {};

TEST_P(SplitGeometry, SidesAndTheFiveColumnDivider) {
  const SplitCase &c = GetParam();
  const S32 q = T_VIEW_s32CalculateSplitPosition(800, c.percent);
  EXPECT_EQ(T_VIEW_s32SplitViewLeftWidth(800, c.percent), c.leftRight + 1);
  EXPECT_EQ(T_VIEW_s32SplitViewRightWidth(800, c.percent), 800 - c.rightLeft);
  EXPECT_EQ(T_VIEW_s32SplitViewClipLeft(800, c.percent, SPLIT_RIGHT_WINDOW), c.rightLeft);
  EXPECT_EQ(T_VIEW_s32SplitViewClipLeft(800, c.percent, SPLIT_LEFT_WINDOW), 0);
  EXPECT_EQ(T_VIEW_s32SplitViewClipRight(800, c.percent, SPLIT_LEFT_WINDOW), c.leftRight);
  EXPECT_EQ(T_VIEW_s32SplitViewClipRight(800, c.percent, SPLIT_RIGHT_WINDOW), 799);
  EXPECT_EQ(q + 158, c.leftRight + 1);

  H_DATABASE_bUpdateEverythingS32(FCID("SZCO"), c.percent, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  regSplit(CHART_PLUS_2D_VIEW_PRIORITY, SPLIT_LEFT_WINDOW, FCID("SZCO"), 0x001F, VIEWTEST_vPaint);
  regSplit(CHART_PLUS_2D_VIEW_PRIORITY, SPLIT_RIGHT_WINDOW, FCID("SZCO"), 0xF800, VIEWTEST_vPaint);
  set(FCID("CVEW"), CHART_PLUS_2D_VIEW_PRIORITY);
  ASSERT_EQ(calls().size(), 2u);
  EXPECT_EQ(calls()[0].side, SPLIT_LEFT_WINDOW);
  EXPECT_EQ(calls()[0].window.s32ClipLeft, 0);
  EXPECT_EQ(calls()[0].window.s32ClipRight, c.leftRight);
  EXPECT_EQ(calls()[1].side, SPLIT_RIGHT_WINDOW);
  EXPECT_EQ(calls()[1].window.s32ClipLeft, c.rightLeft);
  EXPECT_EQ(calls()[1].window.s32ClipRight, 799);
  for (const DrawCall &call : calls()) {
    EXPECT_EQ(call.window.s32ClipBottom, 0);
    EXPECT_EQ(call.window.s32ClipTop, 479);
  }
  const U32 divider[5] = {128, 131, 131, 131, 128};
  for (S32 i = 0; i < 5; ++i) EXPECT_EQ(pixel(c.leftRight + 1 + i, 240), colorIndex(divider[i])) << i;
  EXPECT_EQ(pixel(c.leftRight, 240), 0x001F);
  EXPECT_EQ(pixel(c.rightLeft, 240), 0xF800);
}

INSTANTIATE_TEST_SUITE_P(Percent, SplitGeometry,
                         ::testing::Values(SplitCase{20, 285, 291}, SplitCase{50, 477, 483}, SplitCase{80, 669, 675}),
                         [](const ::testing::TestParamInfo<SplitCase> &info) {
                           return "P" + std::to_string(info.param.percent);
                         });

struct DimCase {
  LAYER_ID view;
  U32 openMenu;
  bool dimmed;
};
void PrintTo(const DimCase &c, std::ostream *pOut) { *pOut << "view " << c.view << " menu " << c.openMenu; }

class SplitDimming : public ViewFixture, public ::testing::WithParamInterface<DimCase> {};

// With the hot menu open the inactive side is dimmed (not on views 25 and 32); the active side gets its arrow.
TEST_P(SplitDimming, InactiveSideUnderTheHotMenu) {
  const DimCase &c = GetParam();
  H_DATABASE_bUpdateEverythingS32(FCID("SZCO"), 50, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  H_DATABASE_bUpdateEverythingU32(FCID("CMNU"), c.openMenu, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  regSplit(c.view, SPLIT_LEFT_WINDOW, FCID("SZCO"), 0x001F, VIEWTEST_vPaint);
  regSplit(c.view, SPLIT_RIGHT_WINDOW, FCID("SZCO"), 0xF800, VIEWTEST_vPaint);
  set(FCID("CVAS"), SPLIT_LEFT_WINDOW);
  set(FCID("CVEW"), static_cast<U32>(c.view));
  ASSERT_GE(shown(), 1);
  EXPECT_EQ(pixel(700, 10) != 0xF800, c.dimmed);
  EXPECT_EQ(pixel(10, 10), 0x001F);
  // The arrow stands 10 pixels inside the active side's right edge, 50 below its top.
  bool bArrow = false;
  for (S32 x = 477 - 40; x <= 477 - 10; ++x) {
    for (S32 y = 479 - 80; y <= 479 - 50; ++y) bArrow |= pixel(x, y) != 0x001F;
  }
  EXPECT_EQ(bArrow, c.openMenu == 2);
}

INSTANTIATE_TEST_SUITE_P(Views, SplitDimming,
                         ::testing::Values(DimCase{CHART_PLUS_2D_VIEW_PRIORITY, 2, true},
                                           DimCase{CHART_PLUS_BIRDS_EYE_VIEW_PRIORITY, 2, false},
                                           DimCase{CHART_PLUS_BIRDS_EYE_INSTRUMENT_VIEW_PRIORITY, 2, false},
                                           DimCase{CHART_PLUS_2D_VIEW_PRIORITY, 3, false}),
                         [](const ::testing::TestParamInfo<DimCase> &info) {
                           return "View" + std::to_string(info.param.view) + "Menu" +
                                  std::to_string(info.param.openMenu);
                         });

TEST_F(ViewFixture, FrozenModeDrawsOnlyTheAlarmAndCardMessagesOverTheFrozenPicture) {
  for (LAYER_ID layer : {ALARM_LAYER, MMC_MESSAGE_LAYER, MMC_DARAVAZOS_MESSAGE, MAIN_MENU_LAYER,
                         MMC_WARNING_MESSAGE_LAYER, NAV_DATA_LOAD_MESSAGE_LAYER}) {
    reg(layer, USED_BY_ALL, static_cast<U32>(layer));
  }
  reg(CHART_VIEW_PRIORITY, USED_BY_NONE, 28);
  set(FCID("CVEW"), CHART_VIEW_PRIORITY);
  BITMAP *pFrozen = G_BUFFERS_pCreateFullScreenBitmap();
  G_BMP_vSet(pFrozen, 0x1234);
  T_VIEW_vSetFrozenBitmap(pFrozen);
  const int before = shown();
  calls().clear();
  advance(500);
  request();
  EXPECT_EQ(shown(), before) << "requests are ignored while frozen";
  L_SEMA_Signal(SEMA_TIMER_VIEW_UPDATE);
  pump();
  EXPECT_EQ(shown(), before + 1);
  std::vector<U32> users;
  for (const DrawCall &call : calls()) users.push_back(call.user);
  EXPECT_EQ(users, (std::vector<U32>{314, 316, 317}));
  EXPECT_EQ(pixel(400, 240), 0x1234);
  T_VIEW_vSetFrozenBitmap(nullptr);
  G_BUFFERS_vFreeFullScreenBitmap(pFrozen);
}

TEST_F(ViewFixture, CompositionsAreCountedSinceTheLastQuery) {
  advance(200);
  T_VIEW_s32RefreshesSinceLastRequest();
  request();
  advance(100);
  request();
  EXPECT_EQ(T_VIEW_s32RefreshesSinceLastRequest(), 2);
  EXPECT_EQ(T_VIEW_s32RefreshesSinceLastRequest(), 0);
}

}  // namespace
