// The view-key task: VIEW and EXIT stepping, the view across restarts, shut-down and factory reset.
#include <ostream>
#include <string>
#include <vector>

#include "kernel/memory.h"
#include "kernel/sema.h"
#include "view_fixture.h"

namespace {

constexpr U32 kNormalRun = 3, kSimulation = 4, kPointOfSale = 6, kDiagnostic = 7, kInlineTest = 9, kPlayback = 11;

class ViewKeys : public ViewFixture {
 protected:
  // Views 28, 35 and 49 (display keys SV28, SV35, SV49) and an overlay between them.
  void views(BOOLEAN b35Shown = TRUE) {
    reg(CHART_VIEW_PRIORITY, USED_BY_NONE, 28, FCID("SV28"), TRUE);
    reg(CHART_PLUS_2D_VIEW_PRIORITY, USED_BY_NONE, 35, FCID("SV35"), b35Shown);
    reg(INFO_CHART_LAYER, CHART_PLUS_2D_VIEW_PRIORITY, 234);
    reg(SONAR_VIEW_PRIORITY, USED_BY_NONE, 49, FCID("SV49"), TRUE);
  }
  void send(CMD_ID cmd, U32 key = 0) {
    auto *pMsg = static_cast<MSG_KEY_CHANGE *>(H_MEMORY_pvCalloc(1, sizeof(MSG_KEY_CHANGE)));
    pMsg->header.Cmd = cmd;
    pMsg->key = key;
    pMsg->state = KEY_DOWN;
    T_VIEWKEY_vHandleMessage(pMsg);
    pump();
  }
  S32 view() { return static_cast<S32>(get(FCID("CVEW"))); }
};

struct StepCase {
  const char *name;
  BOOLEAN b35Shown;
  LAYER_ID start;
  std::vector<U32> keys;
  std::vector<LAYER_ID> views;  // 'CVEW' after each key
};
void PrintTo(const StepCase &c, std::ostream *pOut) { *pOut << c.name; }

class ViewStepping : public ViewKeys, public ::testing::WithParamInterface<StepCase> {};

TEST_P(ViewStepping, ViewAndExitWalkTheShownViewsAndWrap) {
  const StepCase &c = GetParam();
  views(c.b35Shown);
  set(FCID("CVEW"), static_cast<U32>(c.start));
  for (size_t i = 0; i < c.keys.size(); ++i) {
    send(CMD_ID_KEY_CHANGE, c.keys[i]);
    EXPECT_EQ(view(), c.views[i]) << "key " << i;
    EXPECT_TRUE(VIEWTEST_bTake(SEMA_KEYCLICK_GOOD));
  }
}

constexpr U32 V = KEY_BIT_VIEW, X = KEY_BIT_EXIT;
INSTANTIATE_TEST_SUITE_P(
    Keys, ViewStepping,
    ::testing::Values(
        StepCase{"From49ViewGives28AndExitGives49", TRUE, SONAR_VIEW_PRIORITY, {V, X}, {28, 49}},
        StepCase{"From35ViewViewExit", TRUE, CHART_PLUS_2D_VIEW_PRIORITY, {V, V, X}, {49, 28, 49}},
        StepCase{"ExitStepsBackward", TRUE, SONAR_VIEW_PRIORITY, {X, X, X}, {35, 28, 49}},
        StepCase{"AHiddenViewIsSkipped", FALSE, CHART_VIEW_PRIORITY, {V, V, X}, {49, 28, 49}}),
    [](const ::testing::TestParamInfo<StepCase> &info) { return std::string(info.param.name); });

TEST_F(ViewKeys, FromAHiddenCurrentViewViewGivesTheFirstShownView) {
  views();
  set(FCID("CVEW"), CHART_PLUS_2D_VIEW_PRIORITY);
  set(FCID("SV35"), FALSE);
  send(CMD_ID_KEY_CHANGE, KEY_BIT_VIEW);
  EXPECT_EQ(view(), CHART_VIEW_PRIORITY);
}

TEST_F(ViewKeys, WithoutShownViewsBothKeysGiveNoView) {
  reg(CHART_VIEW_PRIORITY, USED_BY_NONE, 28, FCID("SV28"), FALSE);
  set(FCID("CVEW"), CHART_VIEW_PRIORITY);
  send(CMD_ID_KEY_CHANGE, KEY_BIT_VIEW);
  EXPECT_EQ(view(), NO_VIEW_PRIORITY);
  send(CMD_ID_KEY_CHANGE, KEY_BIT_EXIT);
  EXPECT_EQ(view(), NO_VIEW_PRIORITY);
}

TEST_F(ViewKeys, OtherKeysAreRefusedWithTheBadClick) {
  views();
  set(FCID("CVEW"), CHART_VIEW_PRIORITY);
  send(CMD_ID_KEY_CHANGE, KEY_BIT_MENU);
  EXPECT_TRUE(VIEWTEST_bTake(SEMA_KEYCLICK_BAD));
  EXPECT_FALSE(VIEWTEST_bTake(SEMA_KEYCLICK_GOOD));
  EXPECT_EQ(view(), CHART_VIEW_PRIORITY);
}

struct RestoreCase {
  const char *name;
  S32 state;  // -1: no 'CCST'
  S32 saved;  // -1: no 'SVEW'
  LAYER_ID expected;
};
void PrintTo(const RestoreCase &c, std::ostream *pOut) { *pOut << c.name; }

class ViewRestore : public ViewKeys, public ::testing::WithParamInterface<RestoreCase> {};

TEST_P(ViewRestore, RunSystemRestoresTheSavedViewAndRegistersTheKeys) {
  const RestoreCase &c = GetParam();
  views();
  if (c.state >= 0) H_DATABASE_bUpdateValueU32(FCID("CCST"), static_cast<U32>(c.state), P_NORMAL);
  if (c.saved >= 0) H_DATABASE_bUpdateValueU32(FCID("SVEW"), static_cast<U32>(c.saved), P_NORMAL);
  send(CMD_ID_RUN_SYSTEM);
  EXPECT_EQ(view(), c.expected);
  // A second run-system command changes nothing.
  set(FCID("CVEW"), CHART_VIEW_PRIORITY);
  send(CMD_ID_RUN_SYSTEM);
  EXPECT_EQ(view(), CHART_VIEW_PRIORITY);
  auto *pMsg = static_cast<MSG_REGISTER_FOR_KEYS *>(L_MBOX_Receive(M_FENWISP));
  ASSERT_NE(pMsg, nullptr);
  EXPECT_EQ(pMsg->keys, KEY_BIT_VIEW | KEY_BIT_EXIT);
  EXPECT_EQ(pMsg->mailbox, M_VIEWKEY);
  EXPECT_EQ(pMsg->usage, REGISTER_EXCLUSIVE);
  H_MEMORY_vDumpMail(pMsg);
  EXPECT_EQ(L_MBOX_Receive(M_FENWISP), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    States, ViewRestore,
    ::testing::Values(RestoreCase{"NoSystemState", -1, SONAR_VIEW_PRIORITY, CHART_PLUS_2D_VIEW_PRIORITY},
                      RestoreCase{"NormalRunWithSavedView", kNormalRun, SONAR_VIEW_PRIORITY, SONAR_VIEW_PRIORITY},
                      RestoreCase{"NormalRunWithoutSavedView", kNormalRun, -1, CHART_PLUS_2D_VIEW_PRIORITY},
                      RestoreCase{"PointOfSaleAlwaysStartsOnTheDefault", kPointOfSale, SONAR_VIEW_PRIORITY,
                                  CHART_PLUS_2D_VIEW_PRIORITY},
                      RestoreCase{"DiagnosticLeavesTheView", kDiagnostic, SONAR_VIEW_PRIORITY, NO_VIEW_PRIORITY},
                      RestoreCase{"InlineTestLeavesTheView", kInlineTest, SONAR_VIEW_PRIORITY, NO_VIEW_PRIORITY}),
    [](const ::testing::TestParamInfo<RestoreCase> &info) { return std::string(info.param.name); });

struct SaveCase {
  U32 state;
  bool saved;
};
void PrintTo(const SaveCase &c, std::ostream *pOut) { *pOut << "state " << c.state; }

class ViewSave : public ViewKeys, public ::testing::WithParamInterface<SaveCase> {};

TEST_P(ViewSave, ShutDownSavesTheViewOnlyInNormalSimulationAndPlayback) {
  views();
  H_DATABASE_bUpdateValueU32(FCID("CCST"), GetParam().state, P_NORMAL);
  H_DATABASE_bUpdateValueU32(FCID("SVEW"), CHART_VIEW_PRIORITY, P_NORMAL);
  set(FCID("CVEW"), SONAR_VIEW_PRIORITY);
  send(CMD_ID_SHUTDOWN);
  EXPECT_EQ(static_cast<S32>(get(FCID("SVEW"))), GetParam().saved ? SONAR_VIEW_PRIORITY : CHART_VIEW_PRIORITY);
  // No view: nothing to save (written here without a frame, which would choose a view again).
  H_DATABASE_bUpdateValueU32(FCID("CVEW"), static_cast<U32>(NO_VIEW_PRIORITY), P_NORMAL);
  send(CMD_ID_SHUTDOWN);
  EXPECT_EQ(static_cast<S32>(get(FCID("SVEW"))), GetParam().saved ? SONAR_VIEW_PRIORITY : CHART_VIEW_PRIORITY);
}

INSTANTIATE_TEST_SUITE_P(States, ViewSave,
                         ::testing::Values(SaveCase{kNormalRun, true}, SaveCase{kSimulation, true},
                                           SaveCase{kPlayback, true}, SaveCase{kPointOfSale, false},
                                           SaveCase{kInlineTest, false}),
                         [](const ::testing::TestParamInfo<SaveCase> &info) {
                           return "State" + std::to_string(info.param.state);
                         });

class FactoryReset : public ViewKeys, public ::testing::WithParamInterface<U32> {};

TEST_P(FactoryReset, DefaultViewAndDefaultDisplayKeysExceptInTheInlineTest) {
  const bool bInline = GetParam() == kInlineTest;
  H_DATABASE_bUpdateValueU32(FCID("CCST"), GetParam(), P_NORMAL);
  views(FALSE);
  set(FCID("SV35"), TRUE);
  set(FCID("SV49"), FALSE);
  set(FCID("CVEW"), CHART_VIEW_PRIORITY);
  send(CMD_ID_RESET_POS);
  auto *pReset = static_cast<GENERIC_MESSAGE *>(H_MEMORY_pvCalloc(1, sizeof(GENERIC_MESSAGE)));
  pReset->Cmd = CMD_ID_RESET_POS;
  T_VIEW_vHandleMessage(pReset);
  pump();
  EXPECT_EQ(view(), bInline ? CHART_VIEW_PRIORITY : CHART_PLUS_2D_VIEW_PRIORITY);
  EXPECT_EQ(get(FCID("SV35")), bInline ? 1u : 0u);
  EXPECT_EQ(get(FCID("SV49")), bInline ? 0u : 1u);
  EXPECT_EQ(get(FCID("SCSC")), 0u);
  EXPECT_EQ(get(FCID("SVCR")), 1u);
}

INSTANTIATE_TEST_SUITE_P(States, FactoryReset, ::testing::Values(kNormalRun, kInlineTest));

}  // namespace

namespace {

TEST_F(ViewKeys, OtherTasksChooseTheViewAndReadItBack) {
  views(FALSE);
  T_VIEW_vSetSpcifiedBackgroundLayer(SONAR_VIEW_PRIORITY);
  pump();
  EXPECT_EQ(U_VIEW_eCurrentView(), SONAR_VIEW_PRIORITY);
  // A hidden view, or an overlay, is no view to show.
  for (LAYER_ID layer : {CHART_PLUS_2D_VIEW_PRIORITY, INFO_CHART_LAYER}) {
    T_VIEW_vSetSpcifiedBackgroundLayer(layer);
    EXPECT_EQ(U_VIEW_eCurrentView(), NO_VIEW_PRIORITY);
  }
  auto *pMsg = static_cast<MSG_SET_VIEW *>(H_MEMORY_pvCalloc(1, sizeof(MSG_SET_VIEW)));
  pMsg->header.Cmd = CMD_ID_SET_VIEW;
  pMsg->layer = CHART_VIEW_PRIORITY;
  L_MBOX_Send(M_VIEW, pMsg, NORMAL_PRIORITY, 0);
  pump();
  EXPECT_EQ(U_VIEW_eCurrentView(), CHART_VIEW_PRIORITY);
  EXPECT_EQ(calls().back().user, 28u);
  EXPECT_EQ(U_VIEW_eCurrentSplit(), SPLIT_RIGHT_WINDOW);
  H_DATABASE_vDeleteEntry(FCID("CVEW"));
  H_DATABASE_vDeleteEntry(FCID("CVAS"));
  EXPECT_EQ(U_VIEW_eCurrentView(), NO_VIEW_PRIORITY);
  EXPECT_EQ(U_VIEW_eCurrentSplit(), NO_SPLIT_WINDOW);
}

}  // namespace
