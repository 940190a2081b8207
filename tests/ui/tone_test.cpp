// The tone task's tunes as the host beeper records them, on the test clock.
#include <gtest/gtest.h>

#include <vector>

#include "settings/database.h"
#include "kernel/mbox.h"
#include "kernel/memory.h"
#include "kernel/sema.h"
#include "kernel/timer.h"
#include "platform/host/beeper_host.h"
#include "ui/keys/tone.h"
#include "ui_test_env.h"
#include "run_apart.h"

TEST_RUN_APART(ToneTest);

// Found by argument lookup: the event type lives in the global namespace.
bool operator==(const BEEPER_EVENT &a, const BEEPER_EVENT &b) { return a.u32Tick == b.u32Tick && a.s32Hertz == b.s32Hertz; }
std::ostream &operator<<(std::ostream &os, const BEEPER_EVENT &e) { return os << "{" << e.u32Tick << ", " << e.s32Hertz << "}"; }

namespace {

const SEMA kWaitList[] = {SEMA_MBOX_TONE,        SEMA_TIMER_TONE1,       SEMA_TIMER_TONE2,     SEMA_KEYCLICK_GOOD,
                          SEMA_KEYCLICK_BAD,     SEMA_FISH_ALARM_LARGE,  SEMA_FISH_ALARM_MEDIUM, SEMA_FISH_ALARM_SMALL};


class ToneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_UI_TEST_CLOCK();
    L_MBOX_DefineSema(M_TONE, SEMA_MBOX_TONE);
  }
  void TearDown() override { T_TONE_vResetForTest(); }
  // Starts the task's state with the given mode, lets the start tune (if any) finish, and forgets its events.
  void start(U32 u32Mode) {
    H_DATABASE_bUpdateValueU32(FCID("STMD"), u32Mode, P_NORMAL);
    T_TONE_vInit();
    run(200);
    BEEPER_HOST_vTakeEvents();
  }
  // Hands the task every fired semaphore, as its wait would, until nothing is left.
  void serve() {
    TIMER_vSyncForTest();
    for (bool bAny = true; bAny;) {
      bAny = false;
      for (SEMA sema : kWaitList) {
        if (UI_bTakeSignal(sema)) {
          T_TONE_vHandleSema(sema);
          bAny = true;
        }
      }
    }
  }
  void run(U32 u32Ms) {
    serve();
    for (U32 i = 0; i < u32Ms; ++i) {
      PLATFORM_CLOCK_vAdvanceTestClockMs(1);
      serve();
    }
  }
  void play(TONE_SEQUENCE eTone, BOOLEAN bAlarm, const TONE_BURST *pCustom = nullptr) {
    auto *pMsg = static_cast<MSG_PLAY_TONE *>(H_MEMORY_pvCalloc(1, sizeof(MSG_PLAY_TONE)));
    pMsg->header.Cmd = CMD_ID_PLAY_TONE;
    pMsg->StandardToneID = eTone;
    pMsg->pCustomTone = pCustom;
    pMsg->bAlarmTone = bAlarm;
    L_MBOX_Send(M_TONE, pMsg, NORMAL_PRIORITY, 0);
  }
  // Events relative to the tick of the first one.
  static std::vector<BEEPER_EVENT> relative(std::vector<BEEPER_EVENT> events) {
    if (events.empty()) return events;
    const U32 u32First = events.front().u32Tick;
    for (auto &e : events) e.u32Tick -= u32First;
    return events;
  }
};

TEST_F(ToneTest, TestTunePlaysTwiceWithItsSpacesAndGap) {
  start(TONE_MODE_ALL);
  play(TONE_TEST, FALSE);
  run(3500);
  // A space of 0 still waits 1 ms; the second round follows 1 s after the last silence.
  const std::vector<BEEPER_EVENT> expected = {{0, 1575},    {100, 0},    {101, 650},  {301, 0},
                                              {401, 2500},  {501, 0},    {1502, 1575}, {1602, 0},
                                              {1603, 650},  {1803, 0},   {1903, 2500}, {2003, 0}};
  EXPECT_EQ(relative(BEEPER_HOST_vTakeEvents()), expected);
}

TEST_F(ToneTest, TuneLengths) {
  const TONE_BURST custom = {1, 3, {{{100, 200, 300}, 10, 5}}, 7};
  struct Case {
    TONE_SEQUENCE tone;
    const TONE_BURST *pCustom;
    U32 length;
  } cases[] = {{TONE_TEST, nullptr, 3000}, {TONE_MEDIUM_FISH, nullptr, 120}, {TONE_SMALL_FISH, nullptr, 120},
               {TONE_LARGE_FISH, nullptr, 240}, {TONE_USE_CUSTOM, nullptr, 0}, {TONE_USE_CUSTOM, &custom, 66},
               {TONE_SEQUENCE(12), nullptr, 0}};
  for (const Case &c : cases) EXPECT_EQ(T_TONE_u32CalculateToneLength(c.tone, c.pCustom), c.length) << c.tone;
}

TEST_F(ToneTest, PitchSettingIsCorrectedIntoRange) {
  start(TONE_MODE_ALL);
  struct Case {
    U32 written, stored;
  } cases[] = {{7, 3}, {0, 1}, {2, 2}};
  for (const Case &c : cases) {
    H_DATABASE_bUpdateValueU32(FCID("STON"), c.written, P_NORMAL);
    run(10);
    U32 u32Stored = 99;
    H_DATABASE_bFetchU32(FCID("STON"), &u32Stored, nullptr, nullptr);
    EXPECT_EQ(u32Stored, c.stored) << c.written;
    // Each new pitch plays the test tune at that pitch.
    run(3000);
    const auto events = BEEPER_HOST_vTakeEvents();
    ASSERT_FALSE(events.empty());
    const S32 firstHz[] = {0, 2575, 1575, 875};
    EXPECT_EQ(events.front().s32Hertz, firstHz[c.stored]);
  }
}

TEST_F(ToneTest, SemaphoreRequestsWaitForSilence) {
  start(TONE_MODE_ALL);
  L_SEMA_Signal(SEMA_FISH_ALARM_LARGE);
  run(30);
  L_SEMA_Signal(SEMA_KEYCLICK_GOOD);
  L_SEMA_Signal(SEMA_KEYCLICK_BAD);
  run(500);
  const auto events = BEEPER_HOST_vTakeEvents();
  ASSERT_EQ(events.size(), 8u);  // four large-fish beeps, no click
  for (size_t i = 0; i < events.size(); i += 2) EXPECT_EQ(events[i].s32Hertz, 2090);
  // In silence a click is heard.
  L_SEMA_Signal(SEMA_KEYCLICK_BAD);
  run(300);
  EXPECT_EQ(BEEPER_HOST_vTakeEvents().size(), 4u);
}

TEST_F(ToneTest, ModesDecideWhatIsHeard) {
  struct Case {
    U32 mode;
    bool playMessage, alarmMessage, fish, click;
  } cases[] = {{TONE_MODE_ALL, true, true, true, true},
               {TONE_MODE_ALARMS_ONLY, false, true, true, false},
               {TONE_MODE_SILENT, false, false, false, false}};
  for (const Case &c : cases) {
    start(c.mode);
    auto heard = [&](auto request) {
      request();
      run(3000);
      return !BEEPER_HOST_vTakeEvents().empty();
    };
    EXPECT_EQ(heard([&] { play(TONE_GENERAL_ALERT, FALSE); }), c.playMessage) << c.mode;
    EXPECT_EQ(heard([&] { play(TONE_ALARM_ALERT, TRUE); }), c.alarmMessage) << c.mode;
    EXPECT_EQ(heard([] { L_SEMA_Signal(SEMA_FISH_ALARM_SMALL); }), c.fish) << c.mode;
    EXPECT_EQ(heard([] { L_SEMA_Signal(SEMA_KEYCLICK_GOOD); }), c.click) << c.mode;
    T_TONE_vResetForTest();
  }
}

TEST_F(ToneTest, PlayMessageWithoutATuneStopsThePlayingOne) {
  start(TONE_MODE_ALL);
  play(TONE_GENERAL_ALERT, FALSE);
  run(100);
  play(TONE_USE_CUSTOM, FALSE, nullptr);
  run(1000);
  const std::vector<BEEPER_EVENT> events = relative(BEEPER_HOST_vTakeEvents());
  const std::vector<BEEPER_EVENT> expected = {{0, 2070}, {100, 0}};
  EXPECT_EQ(events, expected);
}

TEST_F(ToneTest, CustomTunesWithoutRepetitionsOrWithTooManyPulses) {
  start(TONE_MODE_ALL);
  const TONE_BURST none = {1, 0, {{{100, 200, 300}, 10, 0}}, 0};
  const TONE_BURST tooMany = {9, 1, {{{100, 200, 300}, 10, 0}, {{100, 201, 300}, 10, 0}, {{100, 202, 300}, 10, 0},
                                     {{100, 203, 300}, 10, 0}, {{100, 204, 300}, 10, 0}}, 0};
  play(TONE_USE_CUSTOM, FALSE, &none);
  run(1000);
  EXPECT_TRUE(BEEPER_HOST_vTakeEvents().empty());
  // Only the five pulses the tune has are played.
  play(TONE_USE_CUSTOM, FALSE, &tooMany);
  run(1000);
  std::vector<S32> hertz;
  for (const auto &e : BEEPER_HOST_vTakeEvents()) {
    if (e.s32Hertz != 0) hertz.push_back(e.s32Hertz);
  }
  EXPECT_EQ(hertz, (std::vector<S32>{200, 201, 202, 203, 204}));
}

TEST_F(ToneTest, ResetToDefaultsWritesPitchAndMode) {
  start(TONE_MODE_SILENT);
  H_DATABASE_bUpdateValueU32(FCID("STON"), 1, P_NORMAL);
  run(10);
  auto *pMsg = static_cast<GENERIC_MESSAGE *>(H_MEMORY_pvCalloc(1, sizeof(GENERIC_MESSAGE)));
  pMsg->Cmd = CMD_ID_RESET_POS;
  L_MBOX_Send(M_TONE, pMsg, NORMAL_PRIORITY, 0);
  run(10);
  U32 u32Pitch = 0, u32Mode = 0;
  H_DATABASE_bFetchU32(FCID("STON"), &u32Pitch, nullptr, nullptr);
  H_DATABASE_bFetchU32(FCID("STMD"), &u32Mode, nullptr, nullptr);
  EXPECT_EQ(u32Pitch, 2u);
  EXPECT_EQ(u32Mode, 2u);
}

}  // namespace
