// Test helpers of the kernel tests: the per-process data directory and child runs of the built unit.
#pragma once
#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

// The test clock has to be chosen before the first clock reading of the process; a test that cannot have it
// (other tests ran first in the same process) is skipped. The fresh form also needs the clock's first reading.
#define REQUIRE_TEST_CLOCK(startNs)                                                        \
  if (!PLATFORM_CLOCK_bIsTestClock() && !PLATFORM_CLOCK_bUseTestClock(startNs)) {           \
    GTEST_SKIP() << "the clock was read before this test; run it in a process of its own"; \
  }
#define REQUIRE_FRESH_TEST_CLOCK(startNs)                                                  \
  if (PLATFORM_CLOCK_bIsTestClock() || !PLATFORM_CLOCK_bUseTestClock(startNs)) {          \
    GTEST_SKIP() << "the clock was read before this test; run it in a process of its own"; \
  }

// The data directory ($CORVAN_CWD) of this test process.
const std::string &TEST_dataDirectory();

// The unit (`corvan`) run as a child process with its output on pipes.
class UnitProcess {
 public:
  // Starts CORVAN_BINARY with the words; the environment gets CORVAN_CWD = dataDir.
  UnitProcess(const std::vector<std::string> &words, const std::string &dataDir);
  ~UnitProcess();

  // Reads standard output until a line containing the text arrives; false at end of output.
  bool waitForLine(const std::string &text);
  // The same for the count-th line containing the text.
  bool waitForLines(const std::string &text, size_t count);
  // The same for a line after the last one this found; false at end of output or after withinMs.
  bool waitForNext(const std::string &text, int withinMs);
  void signal(int sig);
  // Waits for the end; the exit status, or 128 + signal when it was killed. Reads all remaining output.
  int wait();

  const std::string &out() const { return m_out; }
  const std::string &err() const { return m_err; }
  // Standard output split at "\n" (each line keeps its "\r").
  std::vector<std::string> outLines() const;

 private:
  // Reads what is available from both pipes, blocking until something arrives; false when both are closed.
  bool pump(int timeoutMs = 120000);

  pid_t m_pid = -1;
  int m_outFd = -1;
  int m_errFd = -1;
  std::string m_out;
  std::string m_err;
  int m_status = -1;
  size_t m_seen = 0;  // where waitForNext looks from
};
