// The simulation, playback and recording banners: texts and blinking on the test clock.
#include <cstring>
#include <string>
#include <vector>

#include "kernel/memory.h"
#include "view_fixture.h"

namespace {

constexpr U32 kSimulation = 4, kPlayback = 11;
const ARRAY_OF_STRING_PTRS kSimText = SAME22("Chart Simulation");
const ARRAY_OF_STRING_PTRS kPlaybackText = SAME22("Chart Playback");
const ARRAY_OF_STRING_PTRS kPosText = SAME22("Chart Demo");

class Banners : public ViewFixture {
 protected:
  void start(U32 state) {
    H_DATABASE_bUpdateValueU32(FCID("CCST"), state, P_NORMAL);
    H_DATABASE_bUpdateValueBoolean(FCID("SMSU"), TRUE, P_NORMAL);
    ASSERT_TRUE(U_VIEW_bRegisterLayer(VIEWTEST_vRecord, CHART_VIEW_PRIORITY, USED_BY_NONE, 28, 0, TRUE,
                                      &kPlaybackText, &kSimText, &kPosText));
    pump();
    set(FCID("CVEW"), CHART_VIEW_PRIORITY);
    auto *pRun = static_cast<GENERIC_MESSAGE *>(H_MEMORY_pvCalloc(1, sizeof(GENERIC_MESSAGE)));
    pRun->Cmd = CMD_ID_RUN_SYSTEM;
    T_VIEW_vHandleMessage(pRun);
    pump();
  }
  std::string simText() {
    const char *pc = T_VIEW_pcSimMessageText();
    return pc == nullptr ? "-" : pc;
  }
  std::string recText() {
    char acPath[13];
    const char *pc = T_VIEW_pcRecordingMessageText(acPath);
    return pc == nullptr ? "-" : pc;
  }
  // The banner text at the start and after each further second.
  std::vector<std::string> seconds(int n, bool bRecording) {
    std::vector<std::string> texts;
    for (int i = 0; i < n; ++i) {
      if (i > 0) advance(1000);
      texts.push_back(bRecording ? recText() : simText());
    }
    return texts;
  }
};

TEST_F(Banners, TheSimulationBannerShowsThreeSecondsAndHidesEight) {
  start(kSimulation);
  EXPECT_TRUE(T_VIEW_bIsLayerActive(SIMULATION_MESSAGE_LAYER));
  const std::string s = "Chart Simulation", h = "-";
  EXPECT_EQ(seconds(15, false), (std::vector<std::string>{s, s, s, h, h, h, h, h, h, h, h, s, s, s, h}));
}

TEST_F(Banners, RecordingReplacesItShowsTwoHidesThreeAndAlternatesWithThePath) {
  start(kSimulation);
  set(FCID("CSRE"), TRUE);
  const std::string r = "Recording", h = "-";
  EXPECT_EQ(seconds(8, true), (std::vector<std::string>{r, r, h, h, h, r, r, h}));
  // With a path recorded too, each visible phase names the other one (the path's name is empty here).
  set(FCID("IPRA"), 1);
  EXPECT_EQ(seconds(9, true), (std::vector<std::string>{h, h, h, "", "", h, h, h, r}));
  set(FCID("CSRE"), FALSE);
  set(FCID("IPRA"), 0);
  EXPECT_EQ(simText(), "Chart Simulation");
}

TEST_F(Banners, PlaybackPausedNamesThePauseOtherwiseTheViewsPlaybackTitle) {
  start(kPlayback);
  const std::pair<U32, const char *> kModes[] = {
      {6, "Playback Paused"}, {15, "Playback Paused"}, {16, "Playback Paused"}, {8, "Chart Playback"}, {2, "Chart Playback"}};
  for (const auto &[mode, text] : kModes) {
    H_DATABASE_bUpdateValueU32(FCID("CPSP"), mode, P_NORMAL);
    EXPECT_EQ(simText(), text) << "mode " << mode;
  }
}

TEST_F(Banners, SuppressionAndTheSettingSwitchOnlyTheStateBanner) {
  start(kSimulation);
  H_DATABASE_bUpdateValueBoolean(FCID("CDSM"), TRUE, P_NORMAL);
  EXPECT_EQ(simText(), "-");
  H_DATABASE_bUpdateValueBoolean(FCID("CDSM"), FALSE, P_NORMAL);
  set(FCID("SMSG"), FALSE);
  EXPECT_FALSE(T_VIEW_bIsLayerActive(SIMULATION_MESSAGE_LAYER));
  set(FCID("SMSG"), TRUE);
  EXPECT_TRUE(T_VIEW_bIsLayerActive(SIMULATION_MESSAGE_LAYER));
  EXPECT_EQ(simText(), "Chart Simulation");
  // Leaving simulation ends the banner.
  set(FCID("CCST"), 3);
  EXPECT_FALSE(T_VIEW_bIsLayerActive(SIMULATION_MESSAGE_LAYER));
  H_DATABASE_bUpdateValueBoolean(FCID("CDSM"), TRUE, P_NORMAL);
  set(FCID("CSRE"), TRUE);
  EXPECT_EQ(recText(), "Recording");
}

}  // namespace
