// One run of the unit (`corvan`) on a fresh data directory, with a key FIFO, headless, and the settings keys
// whose changes it should log.
#pragma once
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/keyboard.h"
#include "test_environment.h"

class UnitRun {
 public:
  // The unit inherits the environment; the variables of the host device models not named in env are unset.
  UnitRun(const std::vector<std::string> &words, const std::map<std::string, std::string> &env,
          const std::string &loggedKeys) {
    m_dir = TEST_dataDirectory() + "/unit-XXXXXX";
    if (mkdtemp(m_dir.data()) == nullptr) std::abort();
    const std::string fifo = m_dir + "/keys";
    mkfifo(fifo.c_str(), 0600);
    m_keys = open(fifo.c_str(), O_RDWR);  // does not wait for the unit's reader
    std::map<std::string, std::string> all = env;
    all["CORVAN_HEADLESS"] = "1";
    all["CORVAN_KEYS"] = fifo;
    all["CORVAN_LOG_KEYS"] = loggedKeys;
    for (const char *pcName : {"CORVAN_DEVROOT", "CORVAN_TRANSDUCER", "CORVAN_SONAR_ADC", "CORVAN_SONAR_BOTTOM",
                               "CORVAN_SCREENSHOT"}) {
      unsetenv(pcName);
    }
    for (const auto &[name, value] : all) setenv(name.c_str(), value.c_str(), 1);
    m_unit.emplace(words, m_dir + "/data");
    for (const auto &entry : all) unsetenv(entry.first.c_str());
  }
  ~UnitRun() {
    if (m_keys >= 0) close(m_keys);
  }
  UnitProcess &unit() { return *m_unit; }
  const std::string &dir() const { return m_dir; }
  // Press and release in one write each, for keys the unit takes from a menu it polls for them.
  void key(unsigned short code) {
    send(code, 1);
    send(code, 0);
  }
  // A key held until the unit logs what it does, then let go.
  void keyUntil(unsigned short code, const std::string &line) {
    send(code, 1);
    ASSERT_TRUE(m_unit->waitForLine(line)) << m_unit->out();
    send(code, 0);
  }
  // A key pressed as a hand presses it: held longer than the keypad's 40 ms scan, for keys whose effect the
  // log does not show.
  void press(unsigned short code) {
    send(code, 1);
    usleep(100000);
    send(code, 0);
    usleep(100000);
  }

 private:
  void send(unsigned short code, int value) {
    ASSERT_TRUE(DD_KEYBOARD_bWriteKeyRecord(m_keys, code, value));
  }

  std::string m_dir;
  int m_keys = -1;
  std::optional<UnitProcess> m_unit;
};
