// Shared set-up of the device tests: a test clock, an empty settings store and a fresh data directory with
// the device root inside it.
#pragma once
#include <gtest/gtest.h>
#include <pthread.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "settings/database.h"
#include "platform/clock.h"
#include "kernel_test_util.h"

class DeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Each test runs in its own process under CTest, so the clock has not been read yet.
    m_bTestClock = PLATFORM_CLOCK_bUseTestClock(864000ull * 1000000000ull) || PLATFORM_CLOCK_bIsTestClock();
    // Death-test children run SetUp again and must find the parent's directories.
    if (const char *pcShared = getenv("CORVAN_DEVICE_TEST_ROOT")) {
      m_sRoot = pcShared;
    } else {
      char acTemplate[] = "/tmp/corvan-devices-XXXXXX";
      m_sRoot = mkdtemp(acTemplate);
      setenv("CORVAN_DEVICE_TEST_ROOT", m_sRoot.c_str(), 1);
    }
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    setenv("CORVAN_CWD", (m_sRoot + "/data").c_str(), 1);
    setenv("CORVAN_TMP", (m_sRoot + "/tmp").c_str(), 1);
    setenv("CORVAN_DEVROOT", (m_sRoot + "/devroot").c_str(), 1);
    std::error_code ec;
    std::filesystem::create_directories(m_sRoot + "/data", ec);
    H_DATABASE_vInit();
  }
  void TearDown() override {
    unsetenv("CORVAN_DEVICE_TEST_ROOT");
    std::error_code ec;
    std::filesystem::remove_all(m_sRoot, ec);
  }
  std::string devroot(const std::string &sSub) const { return m_sRoot + "/devroot/" + sSub; }
  std::string fatalLog() const {
    std::ifstream in(m_sRoot + "/data/FATAL.LOG");
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  bool m_bTestClock = false;
  std::string m_sRoot;
};

#define SKIP_WITHOUT_TEST_CLOCK() \
  if (!m_bTestClock) GTEST_SKIP() << "needs the test clock (run this test on its own)"

// Runs fnBody on a plain thread and moves the test clock on in small steps until it has finished, so the
// body's sleeps on the kernel clock pass without wall time mattering.
inline void TEST_vRunAdvancing(const std::function<void()> &fnBody, U64 u64StepMs = 100) {
  std::atomic<bool> bDone{false};
  const pthread_t tThread = TEST_tPlainThread([&] {
    fnBody();
    bDone = true;
  });
  while (!bDone) {
    PLATFORM_CLOCK_vAdvanceTestClockMs(u64StepMs);
    usleep(200);
  }
  pthread_join(tThread, nullptr);
}
