// The unit booting as a whole: the built `corvan` in a fresh data directory, keys scripted through a FIFO
// named by CORVAN_KEYS. These runs take the unit's own 8 s splash in real time.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "draw/color.h"
#include "ui/menu/menu_draw.h"
#include "view/view.h"
#include "platform/keyboard.h"
#include "platform/png.h"

namespace {

// Keypad codes.
constexpr unsigned short kExit = 30, kMenu = 50, kDown = 108, kRight = 49, kPower = 46, kView = 28;

class Unit {
 public:
  Unit(const std::vector<std::string> &words, const std::vector<std::string> &env = {}) {
    char acTemplate[] = "/tmp/corvan-boot-XXXXXX";
    m_sDir = mkdtemp(acTemplate);
    const std::string sFifo = m_sDir + "/keys";
    mkfifo(sFifo.c_str(), 0600);
    int anPipe[2];
    if (pipe(anPipe) != 0) std::abort();
    m_pid = fork();
    if (m_pid == 0) {
      dup2(anPipe[1], 1);
      close(anPipe[0]);
      close(anPipe[1]);
      setenv("CORVAN_CWD", m_sDir.c_str(), 1);
      setenv("CORVAN_HEADLESS", "1", 1);
      setenv("CORVAN_KEYS", sFifo.c_str(), 1);
      unsetenv("CORVAN_DEVROOT");
      for (const std::string &sVar : env) putenv(strdup(sVar.c_str()));
      std::vector<char *> argv{const_cast<char *>(CORVAN_BINARY)};
      for (const std::string &sWord : words) argv.push_back(const_cast<char *>(sWord.c_str()));
      argv.push_back(nullptr);
      execv(CORVAN_BINARY, argv.data());
      _exit(127);
    }
    close(anPipe[1]);
    m_nOut = anPipe[0];
    // Read and write: the open does not wait for the unit's key reader, which a failed start never opens.
    m_nKeys = open(sFifo.c_str(), O_RDWR);
  }
  ~Unit() {
    if (m_nStatus < 0) {
      kill(m_pid, SIGKILL);
      waitpid(m_pid, nullptr, 0);
    }
    close(m_nOut);
    if (m_nKeys >= 0) close(m_nKeys);
    std::error_code ec;
    std::filesystem::remove_all(m_sDir, ec);
  }
  // Reads the log until a line holds the text; false at its end or when nothing comes within the time.
  bool waitFor(const std::string &sText, int nWithinMs = 60000) {
    const Deadline deadline(nWithinMs);
    for (;;) {
      const size_t pos = m_sOut.find(sText, m_szSeen);
      if (pos != std::string::npos) {
        m_szSeen = pos + sText.size();
        return true;
      }
      if (!pump(deadline.left())) return false;
    }
  }
  // Waits for the view task's account of a frame whose view is `view` and whose overlays include every layer of
  // `with` and none of `without`.
  bool waitForScreen(int view, const std::vector<int> &with, const std::vector<int> &without = {},
                     int nWithinMs = 60000) {
    const Deadline deadline(nWithinMs);
    const std::string sHead = "showing view " + std::to_string(view) + " with overlays";
    for (;;) {
      size_t at = m_sOut.find(sHead, m_szScreenSeen);
      while (at != std::string::npos) {
        const size_t end = m_sOut.find('\n', at);
        if (end == std::string::npos) break;
        // Log lines end in CR LF.
        std::string layers = m_sOut.substr(at + sHead.size(), end - at - sHead.size());
        if (!layers.empty() && layers.back() == '\r') layers.pop_back();
        layers += " ";
        m_szScreenSeen = end;
        auto has = [&](int n) { return layers.find(" " + std::to_string(n) + " ") != std::string::npos; };
        bool bMatch = true;
        for (int n : with) bMatch = bMatch && has(n);
        for (int n : without) bMatch = bMatch && !has(n);
        if (bMatch) return true;
        at = m_sOut.find(sHead, m_szScreenSeen);
      }
      if (!pump(deadline.left())) return false;
    }
  }
  // Later waits for a screen look only at frames logged after the last text waitFor found.
  void screensFromHere() { m_szScreenSeen = std::max(m_szScreenSeen, m_szSeen); }
  // Presses the key until the screen shows what it should: a key that comes while its new owner is still being
  // set up (the first start's settings reset) is pressed again, as a user would.
  bool pressUntil(unsigned short u16Code, int view, const std::vector<int> &with,
                  const std::vector<int> &without = {}) {
    for (int nTry = 0; nTry < 20; ++nTry) {
      key(u16Code);
      if (waitForScreen(view, with, without, 1500)) return true;
    }
    return false;
  }
  // The same, for a key whose effect shows in the log.
  bool pressUntilLogged(unsigned short u16Code, const std::string &sText) {
    for (int nTry = 0; nTry < 20; ++nTry) {
      key(u16Code);
      if (waitFor(sText, 1500)) return true;
    }
    return false;
  }
  // Holds a key down (press only) or lets it go.
  void hold(unsigned short u16Code, bool bDown) {
    if (!DD_KEYBOARD_bWriteKeyRecord(m_nKeys, u16Code, bDown ? 1 : 0)) ADD_FAILURE();
  }
  // Waits until the unit reads the keypad; the start-up task's keys are filed a turn later, so the first key
  // goes through pressUntil or pressUntilLogged.
  bool waitForKeys() {
    if (!waitFor("waiting for the menu task")) return false;
    // Anywhere in the log, and without moving on: its place among the start-up's lines varies.
    while (m_sOut.find("\"key thread\"") == std::string::npos) {
      if (!pump()) return false;
    }
    return true;
  }
  // A press and a release as a finger makes them: the pauses shape the input, they wait for nothing.
  void key(unsigned short u16Code) {
    for (int nValue : {1, 0}) {
      if (!DD_KEYBOARD_bWriteKeyRecord(m_nKeys, u16Code, nValue)) ADD_FAILURE();
      usleep(150000);  // the keyboard task polls every 40 ms
    }
  }
  int stop(int nSignal = SIGTERM) {
    if (nSignal != 0) kill(m_pid, nSignal);
    while (pump()) {
    }
    int nStatus = 0;
    waitpid(m_pid, &nStatus, 0);
    m_nStatus = WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : 128 + WTERMSIG(nStatus);
    return m_nStatus;
  }
  const std::string &log() const { return m_sOut; }
  std::string file(const char *pcName) const {
    std::ifstream in(m_sDir + "/" + pcName);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

 private:
  // Bounds a wait that would otherwise last while the unit keeps logging.
  class Deadline {
   public:
    explicit Deadline(int nMs) : m_end(std::chrono::steady_clock::now() + std::chrono::milliseconds(nMs)) {}
    int left() const {
      const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(m_end - std::chrono::steady_clock::now());
      return ms.count() > 0 ? static_cast<int>(ms.count()) : 0;
    }

   private:
    std::chrono::steady_clock::time_point m_end;
  };
  bool pump(int nWithinMs = 60000) {
    struct pollfd fd = {m_nOut, POLLIN, 0};
    if (poll(&fd, 1, nWithinMs) <= 0) return false;  // a safety net against a hung unit, not a timing
    char acBuffer[4096];
    const ssize_t n = read(m_nOut, acBuffer, sizeof acBuffer);
    if (n <= 0) return false;
    m_sOut.append(acBuffer, static_cast<size_t>(n));
    return true;
  }
  std::string m_sDir;
  pid_t m_pid = -1;
  int m_nOut = -1;
  int m_nKeys = -1;
  int m_nStatus = -1;
  std::string m_sOut;
  size_t m_szSeen = 0;
  size_t m_szScreenSeen = 0;
};

// Positions of the texts in the log, in the order given; -1 for a missing one.
bool inOrder(const std::string &sLog, const std::vector<std::string> &texts) {
  size_t pos = 0;
  for (const std::string &sText : texts) {
    pos = sLog.find(sText, pos);
    if (pos == std::string::npos) {
      ADD_FAILURE() << "missing or out of order: " << sText;
      return false;
    }
  }
  return true;
}

TEST(Boot, FreshUnitStartsItsTasksShowsTheDisclaimerAndRunsNormally) {
  Unit unit({});
  ASSERT_TRUE(unit.waitFor("showing the chart disclaimer")) << unit.log();
  EXPECT_TRUE(inOrder(unit.log(), {"starting task 4 (DISPTASK)", "waiting for the display task",
                                   "starting task 5 (VIEWTASK)", "waiting for the view task",
                                   "starting task 6 (VIEWKEYTASK)", "starting task 14 (NVRTASK)",
                                   "waiting for the NVRAM task", "starting task 8 (KBDTASK)",
                                   "waiting for the keyboard task", "starting task 15 (MENUTASK)",
                                   "waiting for the menu task",
                                   // the first start resets the unit to its factory settings
                                   "restoring the factory settings", "starting task 26", "starting task 43",
                                   "starting task 47", "starting task 54", "starting task 51",
                                   "starting task 63", "starting task 69"}));
  EXPECT_EQ(unit.log().find("system state"), std::string::npos);  // the disclaimer waits for a key
  unit.key(kExit);
  ASSERT_TRUE(unit.waitFor("run-system sent to 43 mailboxes")) << unit.log();
  EXPECT_TRUE(inOrder(unit.log(), {"showing the chart disclaimer", "system state 3", "opening the quick-setup menu",
                                   "restoring the factory settings", "run-system sent to 43 mailboxes"}));
  EXPECT_EQ(unit.stop(), 2);
}

TEST(Boot, MenuDuringTheSplashSelectsTheSimulator) {
  Unit unit({});
  ASSERT_TRUE(unit.waitForKeys()) << unit.log();
  ASSERT_TRUE(unit.pressUntilLogged(kMenu, "start-up menu open")) << unit.log();
  unit.key(kDown);
  unit.key(kRight);
  ASSERT_TRUE(unit.waitFor("showing the chart disclaimer")) << unit.log();
  unit.key(kExit);
  ASSERT_TRUE(unit.waitFor("system state 4")) << unit.log();
  EXPECT_EQ(unit.stop(), 2);
}

TEST(Boot, ScreenshotAfterMenuShowsTheStartupMenu) {
  char acTemplate[] = "/tmp/corvan-shot-XXXXXX";
  const std::string sDir = mkdtemp(acTemplate);
  const std::string sShot = sDir + "/menu.png";
  {
    Unit unit({}, {"CORVAN_SCREENSHOT=" + sShot});
    ASSERT_TRUE(unit.waitForKeys()) << unit.log();
    ASSERT_TRUE(unit.pressUntil(kMenu, STARTUP_MENU_VIEW_PRIORITY, {})) << unit.log();
    EXPECT_EQ(unit.stop(), 2);
  }
  std::vector<COLOR> pixels;
  U32 u32W = 0, u32H = 0;
  ASSERT_TRUE(PNG_bReadRgb565(sShot.c_str(), &pixels, &u32W, &u32H));
  ASSERT_EQ(u32W * u32H, 800u * 480u);
  // The menu's background at the left edge, half way up, and its highlighted line (entry 64) in the middle.
  EXPECT_EQ(pixels[240 * 800 + 2], gCOLOR_pcolColorTable[77]);
  size_t szHighlighted = 0;
  for (COLOR c : pixels) szHighlighted += c == gCOLOR_pcolColorTable[64] ? 1 : 0;
  EXPECT_GT(szHighlighted, 1000u);
  std::error_code ec;
  std::filesystem::remove_all(sDir, ec);
}

TEST(Boot, WithoutTransducerAFreshUnitBurnsIn) {
  for (const auto &setup : {std::pair<std::vector<std::string>, std::vector<std::string>>{{}, {"CORVAN_TRANSDUCER=0"}},
                            {{"fake_transducer"}, {}}}) {
    Unit unit(setup.first, setup.second);
    ASSERT_TRUE(unit.waitFor("no transducer found")) << unit.log();
    ASSERT_TRUE(unit.waitFor("system state 2")) << unit.log();
    EXPECT_EQ(unit.log().find("showing the chart disclaimer"), std::string::npos);
    EXPECT_EQ(unit.stop(), 2);
  }
}

TEST(Boot, NoDisclaimerSkipsTheDisclaimer) {
  Unit unit({"nodisclaimer"});
  EXPECT_TRUE(unit.waitFor("system state 3")) << unit.log();
  EXPECT_EQ(unit.stop(), 2);
  EXPECT_EQ(unit.log().find("showing the chart disclaimer"), std::string::npos);
}

// The limit is checked as lines are logged, so the run ends at the first line after one second.
TEST(Boot, RunTimeLimitEndsTheRunWithStatusFour) {
  Unit unit({"quit_sec", "1"});
  EXPECT_EQ(unit.stop(0), 4) << unit.log();
}

TEST(Boot, MissingNvramTaskIsFatalAfterFiveSeconds) {
  Unit unit({"task_rem", "14"});
  EXPECT_EQ(unit.stop(0), 10);
  EXPECT_NE(unit.file("FATAL.LOG").find("STARTUP: Where's tNVRAM"), std::string::npos) << unit.log();
}

// A user's first tour of a fresh unit, one run per stop, judged from the picture on screen when the run ends:
// splash, start-up menu, the chart disclaimer, the review view after the quick set-up's EXIT, the main menu, the
// light and power menu and the view selection held open with VIEW. Each check counts colours in regions, so a
// screen drawn for one frame only, a stale screen showing through or a missing menu fails.
struct Picture {
  std::vector<COLOR> pixels;
  // Pixels of colour-table entry i inside [x0, x1) x [y0, y1) (logical: y grows upward).
  size_t count(U32 i, int x0 = 0, int y0 = 0, int x1 = 800, int y1 = 480) const {
    size_t n = 0;
    for (int y = y0; y < y1; ++y) {
      for (int x = x0; x < x1; ++x) n += pixels[static_cast<size_t>(479 - y) * 800 + x] == gCOLOR_pcolColorTable[i];
    }
    return n;
  }
};

enum class Stop { Splash, StartupMenu, Disclaimer, Review, MainMenu, PowerMenu, ViewHeld };

// Drives a fresh unit to the stop and returns its last picture.
Picture tourTo(Stop stop) {
  char acTemplate[] = "/tmp/corvan-tour-XXXXXX";
  const std::string sDir = mkdtemp(acTemplate);
  const std::string sShot = sDir + "/stop.png";
  {
    // Past the disclaimer the tour runs a unit that skips it (the disclaimer has a stop of its own).
    Unit unit(stop >= Stop::Review ? std::vector<std::string>{"nodisclaimer"} : std::vector<std::string>{},
              {"CORVAN_SCREENSHOT=" + sShot});
    auto reached = [&](bool bOk) {
      if (!bOk) ADD_FAILURE() << unit.log();
      return bOk;
    };
    // The first start's settings reset moves the view on, so the splash gives way to an empty frame once
    // (while the view task takes the splash back): the stops before the quick set-up start from the splash
    // shown after it.
    bool bOk = stop >= Stop::Review ||
               (reached(unit.waitForKeys()) && reached(unit.waitFor("restoring the factory settings")) &&
                (unit.screensFromHere(), reached(unit.waitForScreen(STARTUP_SPLASH_VIEW_PRIORITY, {}))));
    if (bOk && stop < Stop::Review && stop != Stop::Splash) {
      bOk = reached(unit.pressUntil(kMenu, STARTUP_MENU_VIEW_PRIORITY, {}));
    }
    if (bOk && stop == Stop::Disclaimer) {
      bOk = reached(unit.pressUntil(kRight, STARTUP_CHART_DISCLAIMER, {}));  // "Normal"
    }
    if (bOk && stop >= Stop::Review) {
      bOk = reached(unit.waitFor("quick-setup menu requested")) &&
            reached(unit.waitForScreen(CAPTURE_REVIEW_VIEW_PRIORITY, {QUICK_CONFIGURE_LAYER}));
      bOk = bOk && reached(unit.pressUntil(kExit, CAPTURE_REVIEW_VIEW_PRIORITY, {}, {QUICK_CONFIGURE_LAYER}));
    }
    if (bOk && stop == Stop::MainMenu) {
      // The review view's own menu, then the main menu with its tabs.
      bOk = reached(unit.pressUntil(kMenu, CAPTURE_REVIEW_VIEW_PRIORITY, {ZEPHRIN_MENU_LAYER})) &&
            reached(unit.pressUntil(kMenu, CAPTURE_REVIEW_VIEW_PRIORITY, {MAIN_MENU_LAYER}));
    }
    if (bOk && stop == Stop::PowerMenu) {
      bOk = reached(unit.pressUntil(kPower, CAPTURE_REVIEW_VIEW_PRIORITY, {CONTRAST_LAYER}));
    }
    if (bOk && stop == Stop::ViewHeld) {
      unit.hold(kView, true);
      bOk = reached(unit.waitForScreen(CAPTURE_REVIEW_VIEW_PRIORITY, {ZEPHRIN_MENU_LAYER}));
      unit.hold(kView, false);
    }
    EXPECT_EQ(unit.stop(), 2);
    { std::ofstream o("/tmp/tour/log_" + std::to_string(getpid()) + ".txt"); o << unit.log(); }
  }
  { std::error_code e; std::filesystem::copy_file(sShot, "/tmp/tour/shot_" + std::to_string(getpid()) + ".png", std::filesystem::copy_options::overwrite_existing, e); }
  Picture picture;
  U32 u32W = 0, u32H = 0;
  EXPECT_TRUE(PNG_bReadRgb565(sShot.c_str(), &picture.pixels, &u32W, &u32H));
  if (picture.pixels.size() != 800u * 480u) picture.pixels.assign(800u * 480u, 0);
  std::error_code ec;
  std::filesystem::remove_all(sDir, ec);
  return picture;
}

class BootTour : public ::testing::TestWithParam<Stop> {};

TEST_P(BootTour, EachStopShowsItsScreenWhole) {
  const Picture p = tourTo(GetParam());
  const size_t szAll = 800u * 480u;
  switch (GetParam()) {
    case Stop::Splash:
      // The splash background and its prompt at the bottom.
      EXPECT_GT(p.count(32), szAll / 2);
      EXPECT_GT(p.count(35, 0, 0, 800, 30), 100u);
      break;
    case Stop::StartupMenu:
      EXPECT_GT(p.count(77), szAll / 3);
      EXPECT_GT(p.count(64), 1000u);   // the highlighted line
      EXPECT_GT(p.count(65), 2000u);   // the two others
      break;
    case Stop::Disclaimer:
      EXPECT_GT(p.count(76), szAll / 2);
      EXPECT_GT(p.count(152) + p.count(156), 500u);  // the first paragraph's text
      break;
    case Stop::Review:
      // The frame, and the "No Images Found" box with its text in the middle: drawn on the frame that stays.
      EXPECT_GT(p.count(36, 0, 0, 5, 480), 2000u);
      EXPECT_GT(p.count(35, 250, 200, 650, 300), 1000u);
      EXPECT_GT(p.count(32, 250, 200, 650, 300), 100u);
      EXPECT_GT(p.count(32, 200, 0, 600, 30), 50u);  // the title at the bottom
      EXPECT_GT(p.count(34), szAll * 9 / 10);  // its grey everywhere else: nothing of an earlier screen
      break;
    case Stop::MainMenu:
      EXPECT_GT(p.count(MENU_COLOR_ROW), 5000u);
      EXPECT_GT(p.count(MENU_COLOR_FRAME), 2000u);
      EXPECT_GT(p.count(MENU_COLOR_TEXT) + p.count(MENU_COLOR_TEXT_HI), 500u);
      break;
    case Stop::PowerMenu:
      // Three items in the frame at the top, the highlighted one with its box, and the message below them.
      EXPECT_GT(p.count(67, 0, 240, 800, 480), 1000u);
      EXPECT_GT(p.count(64, 0, 240, 800, 480), 3000u);
      EXPECT_GT(p.count(68, 0, 240, 800, 480), 200u);
      EXPECT_GT(p.count(65, 0, 240, 800, 480), 3000u);
      break;
    case Stop::ViewHeld:
      // The view selection at the top middle, over the review view: one family yet, highlighted.
      EXPECT_GT(p.count(MENU_COLOR_FRAME, 420, 410, 540, 480), 2000u);
      EXPECT_GT(p.count(34), szAll * 8 / 10);
      break;
  }
}

std::string stopName(const ::testing::TestParamInfo<Stop> &info) {
  static const char *const kNames[] = {"Splash", "StartupMenu", "Disclaimer", "Review",
                                       "MainMenu", "PowerMenu", "ViewHeld"};
  return kNames[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Stops, BootTour,
                         ::testing::Values(Stop::Splash, Stop::StartupMenu, Stop::Disclaimer, Stop::Review,
                                           Stop::MainMenu, Stop::PowerMenu, Stop::ViewHeld),
                         stopName);

}  // namespace
