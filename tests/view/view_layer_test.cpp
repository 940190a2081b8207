// The layer list: order, split chains, removal, display and split keys, and views chosen by name.
#include <ostream>
#include <string>
#include <vector>

#include "view_fixture.h"

namespace {

using Sides = std::vector<SPLIT_WINDOW_TYPE>;
constexpr SPLIT_WINDOW_TYPE L = SPLIT_LEFT_WINDOW, R = SPLIT_RIGHT_WINDOW, F = SPLIT_FULL_WINDOW;

TEST_F(ViewFixture, LayersAreKeptInLayerOrder) {
  reg(ALARM_LAYER, USED_BY_ALL, 1);
  reg(SONAR_VIEW_PRIORITY, USED_BY_NONE, 2);
  reg(MAIN_MENU_LAYER, USED_BY_ALL, 3);
  std::vector<LAYER_ID> layers;
  chains(&layers);
  EXPECT_EQ(layers, (std::vector<LAYER_ID>{SONAR_VIEW_PRIORITY, MAIN_MENU_LAYER, ALARM_LAYER}));
  EXPECT_TRUE(T_VIEW_bIsLayerActive(MAIN_MENU_LAYER));
  EXPECT_FALSE(T_VIEW_bIsLayerActive(SUB_MENU_LAYER));
}

// One registration or removal and the list of view 35 afterwards.
enum Op { REG, UNREG };
struct SplitStep {
  Op op;
  SPLIT_WINDOW_TYPE side;
  FOURCHARID splitKey;
  std::vector<Sides> expected;  // the chains of the list: 28, then 35 when present, then 49
};
struct SplitChainCase {
  const char *name;
  std::vector<SplitStep> steps;
};
void PrintTo(const SplitChainCase &c, std::ostream *pOut) { *pOut << c.name; }

class SplitChains : public ViewFixture, public ::testing::WithParamInterface<SplitChainCase> {};

TEST_P(SplitChains, SidesJoinAndLeaveTheMainItem) {
  reg(CHART_VIEW_PRIORITY, USED_BY_NONE, 28);
  reg(SONAR_VIEW_PRIORITY, USED_BY_NONE, 49);
  int step = 0;
  for (const SplitStep &s : GetParam().steps) {
    if (s.op == REG) {
      ASSERT_TRUE(U_VIEW_bRegisterLayerSplit(VIEWTEST_vRecord, CHART_PLUS_2D_VIEW_PRIORITY, USED_BY_NONE, 0, 0, TRUE,
                                             nullptr, nullptr, nullptr, s.side, s.splitKey));
    } else {
      ASSERT_TRUE(U_VIEW_bUnRegisterLayerSplit(CHART_PLUS_2D_VIEW_PRIORITY, s.side));
    }
    pump();
    std::vector<LAYER_ID> layers;
    EXPECT_EQ(chains(&layers), s.expected) << "step " << step;
    ++step;
  }
}

const FOURCHARID kSZCO = FCID("SZCO"), kOTHER = FCID("SXXX");
INSTANTIATE_TEST_SUITE_P(
    View35, SplitChains,
    ::testing::Values(
        SplitChainCase{"LeftThenRightMakeOneItemWithAChain",
                       {{REG, L, kSZCO, {{F}, {L}, {F}}}, {REG, R, kSZCO, {{F}, {L, R}, {F}}}}},
        SplitChainCase{"ASecondRightOrAnotherSplitKeyOrAFullWindowIsRefused",
                       {{REG, L, kSZCO, {{F}, {L}, {F}}},
                        {REG, R, kSZCO, {{F}, {L, R}, {F}}},
                        {REG, R, kSZCO, {{F}, {L, R}, {F}}},
                        {REG, R, kOTHER, {{F}, {L, R}, {F}}},
                        {REG, F, 0, {{F}, {L, R}, {F}}}}},
        SplitChainCase{"ARightWithAnotherKeyThanTheLeftIsRefused",
                       {{REG, L, kSZCO, {{F}, {L}, {F}}}, {REG, R, kOTHER, {{F}, {L}, {F}}}}},
        SplitChainCase{"RemovingTheFullWindowOfASplitViewRemovesNothing",
                       {{REG, L, kSZCO, {{F}, {L}, {F}}},
                        {REG, R, kSZCO, {{F}, {L, R}, {F}}},
                        {UNREG, F, 0, {{F}, {L, R}, {F}}}}},
        SplitChainCase{"RemovingTheLeftPromotesTheRightThenTheLayerGoes",
                       {{REG, L, kSZCO, {{F}, {L}, {F}}},
                        {REG, R, kSZCO, {{F}, {L, R}, {F}}},
                        {UNREG, L, 0, {{F}, {R}, {F}}},
                        {UNREG, R, 0, {{F}, {F}}}}},
        SplitChainCase{"RemovingTheRightLeavesTheLeft",
                       {{REG, L, kSZCO, {{F}, {L}, {F}}},
                        {REG, R, kSZCO, {{F}, {L, R}, {F}}},
                        {UNREG, R, 0, {{F}, {L}, {F}}},
                        {UNREG, R, 0, {{F}, {L}, {F}}}}}),
    [](const ::testing::TestParamInfo<SplitChainCase> &info) { return std::string(info.param.name); });

TEST_F(ViewFixture, AChainedSideFollowsItsNeighboursAndItsMainItemsKeys) {
  H_DATABASE_bUpdateEverythingS32(FCID("SZCO"), 30, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  static const ARRAY_OF_STRING_PTRS kName = SAME22("Chart/Sonar");
  H_DATABASE_bUpdateEverythingBoolean(FCID("SV35"), TRUE, P_NORMAL, D_UNKNOWN, kName, DB_NO_TIMEOUT);
  reg(SONAR_VIEW_PRIORITY, USED_BY_NONE, 49);
  regSplit(CHART_PLUS_2D_VIEW_PRIORITY, L, FCID("SZCO"), 1, VIEWTEST_vRecord, FCID("SV35"));
  regSplit(CHART_PLUS_2D_VIEW_PRIORITY, R, FCID("SZCO"), 2, VIEWTEST_vRecord, FCID("SV35"));
  // A layer inserted between 35 and 49 is reached from both sides.
  reg(PLUMBSCAN_VIEW_PRIORITY, USED_BY_NONE, 39);
  std::vector<LAYER_ID> layers;
  EXPECT_EQ(chains(&layers), (std::vector<Sides>{{L, R}, {F}, {F}}));
  const LAYER_ITEM *pLeft = T_VIEW_pLayerListHead();
  const LAYER_ITEM *pRight = pLeft->pSplit;
  EXPECT_EQ(pRight->s32SplitPercentage, 30);
  EXPECT_EQ(pRight->pString, pLeft->pString);
  set(FCID("SZCO"), 60);
  EXPECT_EQ(pLeft->s32SplitPercentage, 60);
  EXPECT_EQ(pRight->s32SplitPercentage, 60);
  set(FCID("SV35"), FALSE);
  EXPECT_FALSE(pLeft->bCurrentDisplayMode);
  EXPECT_FALSE(pRight->bCurrentDisplayMode);
}

TEST_F(ViewFixture, RemovingTheCurrentViewMovesToTheNextShownView) {
  reg(CHART_VIEW_PRIORITY, USED_BY_NONE, 28);
  regSplit(CHART_PLUS_2D_VIEW_PRIORITY, L, FCID("SZCO"), 1);
  regSplit(CHART_PLUS_2D_VIEW_PRIORITY, R, FCID("SZCO"), 2);
  reg(SONAR_VIEW_PRIORITY, USED_BY_NONE, 49);
  set(FCID("CVEW"), CHART_PLUS_2D_VIEW_PRIORITY);
  // One side gone: the view is still there, so the next one after it is chosen.
  ASSERT_TRUE(U_VIEW_bUnRegisterLayerSplit(CHART_PLUS_2D_VIEW_PRIORITY, L));
  pump();
  EXPECT_EQ(static_cast<S32>(get(FCID("CVEW"))), SONAR_VIEW_PRIORITY);
  ASSERT_TRUE(U_VIEW_bUnRegisterLayer(SONAR_VIEW_PRIORITY));
  pump();
  EXPECT_EQ(static_cast<S32>(get(FCID("CVEW"))), CHART_VIEW_PRIORITY);
  ASSERT_TRUE(U_VIEW_bUnRegisterLayer(CHART_VIEW_PRIORITY));
  ASSERT_TRUE(U_VIEW_bUnRegisterLayerSplit(CHART_PLUS_2D_VIEW_PRIORITY, R));
  pump();
  EXPECT_EQ(static_cast<S32>(get(FCID("CVEW"))), NO_VIEW_PRIORITY);
}

TEST_F(ViewFixture, ClientsSendNothingBeforeTheViewTaskHasStarted) {
  H_DATABASE_vDeleteEntry(FCID("TVUE"));
  EXPECT_FALSE(U_VIEW_bRegisterLayer(VIEWTEST_vRecord, ALARM_LAYER, USED_BY_ALL, 0, 0, TRUE, nullptr, nullptr,
                                     nullptr));
  EXPECT_FALSE(U_VIEW_bUnRegisterLayer(ALARM_LAYER));
  EXPECT_EQ(L_MBOX_Receive(M_VIEW), nullptr);
}

struct NameCase {
  const char *name;
  LAYER_ID expected;
};
void PrintTo(const NameCase &c, std::ostream *pOut) { *pOut << '"' << c.name << '"'; }

class SelectableView : public ViewFixture, public ::testing::WithParamInterface<NameCase> {};

TEST_P(SelectableView, FoundByItsUpperCaseNameAndShown) {
  static const ARRAY_OF_STRING_PTRS kChart = SAME22("Chart");
  static const ARRAY_OF_STRING_PTRS kSonar = SAME22("Sonar");
  static const ARRAY_OF_STRING_PTRS kLong = SAME22("A view name that is longer than forty characters in all");
  H_DATABASE_bUpdateEverythingBoolean(FCID("SV28"), FALSE, P_NORMAL, D_UNKNOWN, kChart, DB_NO_TIMEOUT);
  H_DATABASE_bUpdateEverythingBoolean(FCID("SV49"), FALSE, P_NORMAL, D_UNKNOWN, kSonar, DB_NO_TIMEOUT);
  H_DATABASE_bUpdateEverythingBoolean(FCID("SV53"), FALSE, P_NORMAL, D_UNKNOWN, kLong, DB_NO_TIMEOUT);
  reg(CHART_VIEW_PRIORITY, USED_BY_NONE, 28, FCID("SV28"));
  reg(SONAR_VIEW_PRIORITY, USED_BY_NONE, 49, FCID("SV49"));
  reg(MEGA_DIGIT_VIEW_PRIORITY, USED_BY_NONE, 53, FCID("SV53"));
  EXPECT_EQ(T_VIEW_GetSelectableView(GetParam().name), GetParam().expected);
  EXPECT_EQ(get(FCID("SV28")), GetParam().expected == CHART_VIEW_PRIORITY ? 1u : 0u);
  EXPECT_EQ(get(FCID("SV49")), GetParam().expected == SONAR_VIEW_PRIORITY ? 1u : 0u);
  EXPECT_EQ(get(FCID("SV53")), GetParam().expected == MEGA_DIGIT_VIEW_PRIORITY ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Names, SelectableView,
                         ::testing::Values(NameCase{"SONAR", SONAR_VIEW_PRIORITY},
                                           NameCase{"CHART", CHART_VIEW_PRIORITY},
                                           NameCase{"Chart", UNKNOWN_VIEW}, NameCase{"RADAR", UNKNOWN_VIEW},
                                           NameCase{"A VIEW NAME THAT IS LONGER THAN FORTY C",
                                                    MEGA_DIGIT_VIEW_PRIORITY}));

}  // namespace
