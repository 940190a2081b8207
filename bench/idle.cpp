// What the idle unit costs the machine: the headless `corvan` at the chart disclaimer and with the main menu open,
// measured from /proc over a window (60 s, or CORVAN_IDLE_SECONDS): CPU time as % of one core, and wake-ups per
// second as the voluntary context switches of all its threads. Goal: below 1 % and below 100 wake-ups/s.
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/keyboard.h"

namespace {

// The running unit in a data directory of its own, keys through a FIFO, log read from a pipe.
class Unit {
 public:
  Unit() {
    char acTemplate[] = "/tmp/corvan-idle-XXXXXX";
    m_dir = mkdtemp(acTemplate);
    const std::string fifo = m_dir + "/keys";
    mkfifo(fifo.c_str(), 0600);
    int fds[2];
    if (pipe(fds) != 0) std::abort();
    m_pid = fork();
    if (m_pid == 0) {
      dup2(fds[1], 1);
      close(fds[0]);
      close(fds[1]);
      setenv("CORVAN_CWD", m_dir.c_str(), 1);
      setenv("CORVAN_HEADLESS", "1", 1);
      setenv("CORVAN_KEYS", fifo.c_str(), 1);
      setenv("CORVAN_LOG_KEYS", "CMNU", 1);  // the open menu's kind, to know when a key was taken
      unsetenv("CORVAN_DEVROOT");
      execl(CORVAN_BINARY, CORVAN_BINARY, static_cast<char *>(nullptr));
      _exit(127);
    }
    close(fds[1]);
    m_out = fds[0];
    m_keys = open(fifo.c_str(), O_RDWR);
  }
  ~Unit() {
    kill(m_pid, SIGTERM);
    while (pump()) {
    }
    waitpid(m_pid, nullptr, 0);
    close(m_out);
    close(m_keys);
    std::error_code ec;
    std::filesystem::remove_all(m_dir, ec);
  }
  // Reads the log until a line holds the text; false at its end or after withinMs without it.
  bool waitFor(const std::string &text, int withinMs = 60000) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(withinMs);
    for (;;) {
      const size_t at = m_log.find(text, m_seen);
      if (at != std::string::npos) {
        m_seen = at + text.size();
        return true;
      }
      if (!pump(deadline)) return false;
    }
  }
  // Presses the key again until the log shows the line: a key that comes while its owner is still being set up
  // is not taken.
  bool pressUntil(unsigned short code, const std::string &line) {
    for (int n = 0; n < 20; ++n) {
      key(code);
      if (waitFor(line, 1500)) return true;
    }
    return false;
  }
  void key(unsigned short code) {
    for (int value : {1, 0}) {
      if (!DD_KEYBOARD_bWriteKeyRecord(m_keys, code, value)) std::abort();
      usleep(150000);
    }
  }
  // Reads what the unit logged so far without waiting (the log pipe must not fill while measuring).
  void drain() {
    struct pollfd fd = {m_out, POLLIN, 0};
    while (poll(&fd, 1, 0) > 0 && pump()) {
    }
  }
  // CPU ticks (user + system) of the whole process and voluntary context switches of all its threads.
  void sample(long *plTicks, long *plSwitches) const {
    *plTicks = 0;
    *plSwitches = 0;
    std::ifstream stat("/proc/" + std::to_string(m_pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    std::istringstream rest(line.substr(line.rfind(')') + 2));
    std::string field;
    for (int i = 3; i <= 15 && rest >> field; ++i) {
      if (i == 14 || i == 15) *plTicks += std::stol(field);
    }
    const std::string tasks = "/proc/" + std::to_string(m_pid) + "/task";
    DIR *pDir = opendir(tasks.c_str());
    if (pDir == nullptr) return;
    while (dirent *pEntry = readdir(pDir)) {
      if (pEntry->d_name[0] == '.') continue;
      std::ifstream status(tasks + "/" + pEntry->d_name + "/status");
      while (std::getline(status, line)) {
        if (line.rfind("voluntary_ctxt_switches:", 0) == 0) *plSwitches += std::stol(line.substr(24));
      }
    }
    closedir(pDir);
  }

 private:
  bool pump(std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::now() +
                                                            std::chrono::seconds(60)) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    struct pollfd fd = {m_out, POLLIN, 0};
    if (left.count() <= 0 || poll(&fd, 1, static_cast<int>(left.count())) <= 0) return false;
    char buffer[4096];
    const ssize_t n = read(m_out, buffer, sizeof buffer);
    if (n <= 0) return false;
    m_log.append(buffer, static_cast<size_t>(n));
    return true;
  }
  std::string m_dir;
  pid_t m_pid = -1;
  int m_out = -1;
  int m_keys = -1;
  std::string m_log;
  size_t m_seen = 0;
};

constexpr unsigned short kExit = 30, kMenu = 50;

int seconds() {
  const char *pc = std::getenv("CORVAN_IDLE_SECONDS");
  return pc != nullptr && std::atoi(pc) > 0 ? std::atoi(pc) : 60;
}

void measure(benchmark::State &state, Unit &unit) {
  const int s = seconds();
  const double hz = static_cast<double>(sysconf(_SC_CLK_TCK));
  for (auto _ : state) {
    unit.drain();
    long ticks0 = 0, switches0 = 0, ticks1 = 0, switches1 = 0;
    unit.sample(&ticks0, &switches0);
    for (int i = 0; i < s; ++i) {
      sleep(1);
      unit.drain();
    }
    unit.sample(&ticks1, &switches1);
    state.SetIterationTime(s);
    state.counters["cpu_pct_of_core"] = 100.0 * static_cast<double>(ticks1 - ticks0) / hz / s;
    state.counters["wakeups_per_s"] = static_cast<double>(switches1 - switches0) / s;
  }
}

void BM_IdleAtDisclaimer(benchmark::State &state) {
  Unit unit;
  if (!unit.waitFor("showing the chart disclaimer")) {
    state.SkipWithError("the unit did not reach the disclaimer");
    return;
  }
  sleep(2);  // the start-up's own work settles
  measure(state, unit);
}

void BM_IdleWithTheMainMenuOpen(benchmark::State &state) {
  Unit unit;
  if (!unit.waitFor("showing the chart disclaimer")) {
    state.SkipWithError("the unit did not reach the disclaimer");
    return;
  }
  unit.key(kExit);
  // The first start's quick set-up (opened just before the system starts), then the current view's menu, then
  // the main menu (menu kinds 1, 0, 2, 3).
  if (!unit.waitFor("key CMNU = 1 ") || !unit.pressUntil(kExit, "key CMNU = 0 ") ||
      !unit.pressUntil(kMenu, "key CMNU = 2 ") || !unit.pressUntil(kMenu, "key CMNU = 3 ")) {
    state.SkipWithError("the main menu did not open");
    return;
  }
  sleep(2);  // the menu's own drawing settles
  measure(state, unit);
}

BENCHMARK(BM_IdleAtDisclaimer)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_IdleWithTheMainMenuOpen)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace
