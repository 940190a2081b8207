// The keypad driver and hardware layer, fed through a FIFO of native input records, on the test clock.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/input.h>
#include <sys/stat.h>
#include <unistd.h>
#undef KEY_UP
#undef KEY_DOWN

#include <atomic>
#include <cstdlib>
#include <string>
#include <vector>

#include "kernel/options.h"
#include "kernel_test_util.h"
#include "platform/clock.h"
#include "platform/keyboard.h"
#include "run_apart.h"

TEST_RUN_APART(KeypadTest);
TEST_RUN_APART(KeyReader);

namespace {

constexpr U64 kStartNs = 5ull * 86400 * 1000000000ull;

// Codes of the keypad (driver index order).
constexpr U16 kPower = 46, kMenu = 50, kInfo = 24, kUp = 105, kDown = 108, kRight = 49;

struct Event {
  U32 t;
  HKEY_ID key;
  KEY_STATE state;
  U32 count;
  CURSOR_POSITION cursor;
  bool operator==(const Event &o) const {
    return t == o.t && key == o.key && state == o.state && count == o.count && cursor == o.cursor;
  }
};

std::ostream &operator<<(std::ostream &os, const Event &e) {
  return os << "{t " << e.t << " key " << e.key << " state " << e.state << " count " << e.count << " cursor "
            << e.cursor << "}";
}

// One FIFO per test process, read by the driver's CORVAN_KEYS thread.
class KeyFifo {
 public:
  KeyFifo() {
    char acDir[] = "/tmp/corvan-keys-XXXXXX";
    m_dir = mkdtemp(acDir);
    m_path = m_dir + "/keys";
    mkfifo(m_path.c_str(), 0600);
    // Read-write, so the driver's open never waits for a writer and never sees the end.
    m_fd = open(m_path.c_str(), O_RDWR);
    setenv("CORVAN_KEYS", m_path.c_str(), 1);
  }
  ~KeyFifo() {
    close(m_fd);
    unlink(m_path.c_str());
    rmdir(m_dir.c_str());
  }
  void write(U16 u16Type, U16 u16Code, S32 s32Value) {
    struct input_event tEvent = {};
    tEvent.type = u16Type;
    tEvent.code = u16Code;
    tEvent.value = s32Value;
    ASSERT_EQ(sizeof tEvent, 24u);
    ASSERT_EQ(::write(m_fd, &tEvent, sizeof tEvent), static_cast<ssize_t>(sizeof tEvent));
  }
  // A key record, then waits until the driver has taken it.
  void key(U16 u16Code, S32 s32Value) {
    write(EV_KEY, u16Code, s32Value);
    const DKEY_ID eKey = static_cast<DKEY_ID>(DD_KEYBOARD_nIndexOfCode(u16Code));
    while (DD_KEYBOARD_bIsPressed(eKey) != (s32Value == 1 ? TRUE : FALSE)) usleep(100);
  }

 private:
  std::string m_dir, m_path;
  int m_fd = -1;
};

class KeypadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!PLATFORM_CLOCK_bIsTestClock() && !PLATFORM_CLOCK_bUseTestClock(kStartNs)) {
      GTEST_SKIP() << "the clock was read before this test; run it in a process of its own";
    }
    DD_KEYBOARD_vInit();
  }
  // Polls every 10 ms for the given time, collecting events with their time since the start of the run.
  void poll(U32 u32Ms) {
    for (U32 i = 0;; i += 10) {
      H_KEYBOARD_bProcessKeys();
      HKEY_ID key;
      KEY_STATE state;
      U32 count;
      CURSOR_POSITION cursor;
      while (H_KEYBOARD_bFetchKeyEvent(&key, &state, &count, &cursor)) events.push_back({m_t, key, state, count, cursor});
      if (i >= u32Ms) break;
      PLATFORM_CLOCK_vAdvanceTestClockMs(10);
      m_t += 10;
    }
  }
  std::vector<Event> events;
  KeyFifo fifo;
  U32 m_t = 0;
};

struct RepeatCase {
  BOOLEAN repeat, accelerate;
  std::vector<Event> expected;
};

TEST_F(KeypadTest, HoldingAKeyRepeatsAt500MsThenEvery200Ms) {
  const HKEY_ID M = HKEY_MENU;
  const RepeatCase cases[] = {
      {TRUE, TRUE, {{0, M, KEY_DOWN, 1, CURSOR_UP}, {500, M, KEY_DOWN, 2, CURSOR_UP}, {700, M, KEY_DOWN, 3, CURSOR_UP},
                    {900, M, KEY_DOWN, 4, CURSOR_UP}, {1100, M, KEY_DOWN, 5, CURSOR_UP}, {1100, M, KEY_UP, 5, CURSOR_UP}}},
      {TRUE, FALSE, {{0, M, KEY_DOWN, 1, CURSOR_UP}, {500, M, KEY_DOWN, 1, CURSOR_UP}, {700, M, KEY_DOWN, 1, CURSOR_UP},
                     {900, M, KEY_DOWN, 1, CURSOR_UP}, {1100, M, KEY_DOWN, 1, CURSOR_UP}, {1100, M, KEY_UP, 1, CURSOR_UP}}},
      {FALSE, FALSE, {{0, M, KEY_DOWN, 0, CURSOR_UP}, {1100, M, KEY_UP, 0, CURSOR_UP}}},
  };
  H_KEYBOARD_vInit();
  for (const RepeatCase &c : cases) {
    events.clear();
    m_t = 0;
    H_KEYBOARD_vSetupKey(M, c.repeat, c.accelerate, NOT_CURSOR_KEY);
    fifo.key(kMenu, 1);
    poll(1100);
    fifo.key(kMenu, 0);
    poll(0);
    EXPECT_EQ(events, c.expected) << "repeat " << int(c.repeat) << " accelerate " << int(c.accelerate);
  }
}

TEST_F(KeypadTest, LatePollsKeepTheRhythmOfTheDueTimes) {
  H_KEYBOARD_vInit();
  H_KEYBOARD_vSetupKey(HKEY_MENU, TRUE, TRUE, NOT_CURSOR_KEY);
  fifo.key(kMenu, 1);
  poll(0);
  // One poll 950 ms after the press: due times 500, 700, 900 passed; one event now, one per poll after.
  PLATFORM_CLOCK_vAdvanceTestClockMs(950);
  m_t = 950;
  poll(0);
  poll(0);
  poll(0);
  const std::vector<U32> counts = {1, 2, 3, 4};
  std::vector<U32> got;
  for (const Event &e : events) got.push_back(e.count);
  EXPECT_EQ(got, counts);
  fifo.key(kMenu, 0);
}

struct CursorCase {
  CURSOR_MODE mode;
  std::vector<std::vector<std::pair<U16, S32>>> steps;  // key records per step; one poll after each step
  std::vector<std::pair<KEY_STATE, CURSOR_POSITION>> expected;
};

TEST_F(KeypadTest, CursorKeysFoldIntoOneKeyWithADirection) {
  const CursorCase cases[] = {
      {CURSOR_8, {{{kUp, 1}}, {{kRight, 1}}, {{kUp, 0}, {kRight, 0}}},
       {{KEY_DOWN, CURSOR_NORTH}, {KEY_DOWN, CURSOR_NORTH_EAST}, {KEY_UP, CURSOR_UP}}},
      {CURSOR_4, {{{kUp, 1}}, {{kRight, 1}}, {{kUp, 0}, {kRight, 0}}},
       {{KEY_DOWN, CURSOR_NORTH}, {KEY_DOWN, CURSOR_ILLEGAL}, {KEY_UP, CURSOR_UP}}},
      {CURSOR_8, {{{kUp, 1}, {kDown, 1}}, {{kUp, 0}, {kDown, 0}}}, {{KEY_DOWN, CURSOR_ILLEGAL}, {KEY_UP, CURSOR_UP}}},
      {CURSOR_4, {{{kDown, 1}}, {{kDown, 0}}}, {{KEY_DOWN, CURSOR_SOUTH}, {KEY_UP, CURSOR_UP}}},
  };
  H_KEYBOARD_vInit();
  for (const CursorCase &c : cases) {
    events.clear();
    H_KEYBOARD_vSetupKey(HKEY_CURSOR, FALSE, FALSE, c.mode);
    for (const auto &step : c.steps) {
      for (const auto &record : step) fifo.key(record.first, record.second);
      poll(0);
    }
    std::vector<std::pair<KEY_STATE, CURSOR_POSITION>> got;
    for (const Event &e : events) {
      EXPECT_EQ(e.key, HKEY_CURSOR);
      got.push_back({e.state, e.cursor});
    }
    EXPECT_EQ(got, c.expected) << "mode " << c.mode;
  }
}

TEST_F(KeypadTest, KernelRepeatsOtherRecordsAndHeldKeysGiveNoPress) {
  // POWER held while the layer starts: no press, but its release.
  fifo.key(kPower, 1);
  H_KEYBOARD_vInit();
  poll(0);
  EXPECT_TRUE(events.empty());
  EXPECT_TRUE(H_KEYBOARD_bIsDown(HKEY_POWER));
  EXPECT_TRUE(H_KEYBOARD_bIsPowerPressed());
  fifo.key(kPower, 0);
  poll(0);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].key, HKEY_POWER);
  EXPECT_EQ(events[0].state, KEY_UP);

  // The kernel's own repeat (value 2), other record types and unknown codes change nothing; INFO's press marks
  // that the driver has read past them.
  events.clear();
  fifo.write(EV_KEY, kMenu, 2);
  fifo.write(EV_REL, kMenu, 1);
  fifo.write(EV_KEY, 999, 1);
  fifo.key(kInfo, 1);
  EXPECT_FALSE(DD_KEYBOARD_bIsPressed(DKEY_MENU));
  fifo.key(kInfo, 0);
  poll(0);
  ASSERT_EQ(events.size(), 1u);  // the tap on INFO, latched; nothing of MENU
  EXPECT_EQ(events[0].key, HKEY_INFO);
  poll(0);
}

// A press and its release that both fall between two polls count once: the press is latched until a poll has
// seen it, the release follows at the next poll.
TEST_F(KeypadTest, ATapBetweenTwoPollsCountsOnce) {
  H_KEYBOARD_vInit();
  const struct {
    U16 code;
    HKEY_ID key;
    CURSOR_POSITION cursor;
  } cases[] = {{kMenu, HKEY_MENU, CURSOR_UP}, {kPower, HKEY_POWER, CURSOR_UP}, {kUp, HKEY_CURSOR, CURSOR_NORTH}};
  for (const auto &c : cases) {
    events.clear();
    fifo.key(c.code, 1);
    fifo.key(c.code, 0);
    poll(0);
    poll(0);
    poll(0);
    const std::vector<Event> expected = {{0, c.key, KEY_DOWN, 0, c.cursor}, {0, c.key, KEY_UP, 0, CURSOR_UP}};
    EXPECT_EQ(events, expected) << "code " << c.code;
  }
  // Two taps between the same two polls are one press; a press held over a poll is not doubled.
  events.clear();
  fifo.key(kMenu, 1);
  fifo.key(kMenu, 0);
  fifo.key(kMenu, 1);
  fifo.key(kMenu, 0);
  poll(0);
  poll(0);
  fifo.key(kMenu, 1);
  poll(0);
  poll(0);
  fifo.key(kMenu, 0);
  poll(0);
  const HKEY_ID M = HKEY_MENU;
  EXPECT_EQ(events, (std::vector<Event>{{0, M, KEY_DOWN, 0, CURSOR_UP},
                                        {0, M, KEY_UP, 0, CURSOR_UP},
                                        {0, M, KEY_DOWN, 0, CURSOR_UP},
                                        {0, M, KEY_UP, 0, CURSOR_UP}}));
}

TEST_F(KeypadTest, KeysChangingInOnePollComeInLogicalOrder) {
  H_KEYBOARD_vInit();
  fifo.key(kMenu, 1);
  fifo.key(kPower, 1);
  poll(0);
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].key, HKEY_POWER);
  EXPECT_EQ(events[1].key, HKEY_MENU);
  fifo.key(kMenu, 0);
  fifo.key(kPower, 0);
}

TEST_F(KeypadTest, FakeKeyTogglesAndOutOfRangeIndexesAreRefused) {
  struct Case {
    S32 index;
    std::vector<U32> togglesMs;  // times (from the first poll) at which the flag flips, over 1 s of 10 ms polls
  } cases[] = {{3, {0, 100, 350, 450, 700, 800}}, {16, {}}, {-2, {}}};
  for (const Case &c : cases) {
    opt_fakekey = c.index;
    DD_KEYBOARD_vResetForTest();
    std::vector<U32> toggles;
    BOOLEAN abLast[DKEY_NUM_KEYS] = {};
    for (U32 t = 0; t < 1000; t += 10) {
      BOOLEAN abNow[DKEY_NUM_KEYS];
      DD_KEYBOARD_vGetState(abNow);
      for (U32 k = 0; k < DKEY_NUM_KEYS; ++k) {
        if (abNow[k] != abLast[k]) {
          EXPECT_EQ(static_cast<S32>(k), c.index);
          toggles.push_back(t);
        }
        abLast[k] = abNow[k];
      }
      PLATFORM_CLOCK_vAdvanceTestClockMs(10);
    }
    EXPECT_EQ(toggles, c.togglesMs) << "fake_key " << c.index;
  }
  opt_fakekey = -1;
  DD_KEYBOARD_vResetForTest();
}

// A task reading key records ends within 100 ms of its end request, however long no key comes, and hands its
// descriptor back.
std::atomic<int> s_nReaderStage{0};
std::string s_sReaderPath;

void vReadsKeys(void) {
  s_nReaderStage = 1;
  DD_KEYBOARD_bReadRecords(s_sReaderPath.c_str());
  s_nReaderStage = 2;
}

TEST(KeyReader, ATaskReadingKeysEndsWithin100MsOfTheRequest) {
  KeyFifo fifo;
  s_sReaderPath = std::getenv("CORVAN_KEYS");
  const int nProbeBefore = dup(0);
  close(nProbeBefore);
  for (int nRound = 0; nRound < 3; nRound++) {
    s_nReaderStage = 0;
    TEST_vSetEntry(TEST_TASK_C, vReadsKeys);
    ASSERT_EQ(L_TASK_Start(TEST_TASK_C), 0);
    // The reader is in its loop once it has taken a key.
    fifo.key(kMenu, 1);
    fifo.key(kMenu, 0);
    EXPECT_EQ(L_TASK_Terminate(TEST_TASK_C), 0);
    EXPECT_EQ(L_TASK_WaitEnd(TEST_TASK_C, 100), 0) << nRound;
    EXPECT_EQ(s_nReaderStage.load(), 1);
  }
  const int nProbeAfter = dup(0);
  close(nProbeAfter);
  EXPECT_EQ(nProbeAfter, nProbeBefore);
}

}  // namespace
