// Log lines, the run-time limit and the fatal-error report, on the test clock.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "kernel/error.h"
#include "kernel/log.h"
#include "kernel/options.h"
#include "kernel/reset.h"
#include "platform/clock.h"
#include "test_environment.h"
#include "run_apart.h"

TEST_RUN_APART(Log);
TEST_RUN_APART(QuitSeconds);

namespace {

constexpr U64 kSecond = 1000000000ull;

TEST(Log, LineFormatAndDeltas) {
  REQUIRE_FRESH_TEST_CLOCK(1234 * kSecond + 567000000ull);  // the machine has been up 1,234.567 s
  testing::internal::CaptureStdout();
  log_me("hello %d", 7);
  PLATFORM_CLOCK_vAdvanceTestClockMs(120);
  log_me("next");
  PLATFORM_CLOCK_vAdvanceTestClockMs(98765);
  log_me("%s", std::string(300, 'x').c_str());  // cut at 255 characters
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out,
            " 1234.567  1234.567 70 MAINTHREAD hello 7\r\n"
            "    0.120  1234.687 70 MAINTHREAD next\r\n"
            "   98.765  1333.452 70 MAINTHREAD " +
                std::string(255, 'x') + "\r\n");
}

TEST(Log, NoLogPrintsNothingButKeepsTime) {
  REQUIRE_FRESH_TEST_CLOCK(50 * kSecond);
  opt_nolog = 1;
  testing::internal::CaptureStdout();
  log_me("silent");
  PLATFORM_CLOCK_vAdvanceTestClockMs(250);
  log_me("silent too");
  opt_nolog = 0;
  PLATFORM_CLOCK_vAdvanceTestClockMs(100);
  log_me("loud");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "    0.100    50.350 70 MAINTHREAD loud\r\n");
}

struct QuitCase {
  S64 limitMs;
  std::vector<U64> stepsMs;  // the clock moves this much before each line; the last line reaches the limit
  bool noLog;
};

void PrintTo(const QuitCase &c, std::ostream *pOut) {
  *pOut << "limit " << c.limitMs << " ms, steps";
  for (U64 step : c.stepsMs) *pOut << ' ' << step;
}

std::string quitCaseName(const ::testing::TestParamInfo<QuitCase> &info) {
  return "Case" + std::to_string(info.index) + (info.param.noLog ? "NoLog" : "");
}

class QuitSeconds : public ::testing::TestWithParam<QuitCase> {};

// The limit counts from the process start, not from the machine's start (the test clock says the machine has
// been up for ten days). Only the first line at or after the limit ends the process: dump, text, status 4.
TEST_P(QuitSeconds, FirstLineAtTheLimitEndsWithStatus4) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");  // the child starts a fresh clock
  const QuitCase &c = GetParam();
  EXPECT_EXIT(
      {
        if (!PLATFORM_CLOCK_bUseTestClock(10 * 86400 * kSecond)) std::exit(99);
        quit_seconds = c.limitMs;
        opt_nolog = c.noLog ? 1 : 0;
        for (size_t i = 0; i < c.stepsMs.size(); ++i) {
          PLATFORM_CLOCK_vAdvanceTestClockMs(c.stepsMs[i]);
          log_me("line %zu", i);
          std::fprintf(stderr, "line %zu survived\n", i);
        }
        std::exit(98);
      },
      ::testing::ExitedWithCode(4),
      // POSIX extended expression: "." also matches line ends.
      "line " + std::to_string(c.stepsMs.size() - 2) +
          " survived\n.*task information \\(70 total\\).*memory block information.*"
          "quit seconds expired\r\n.*exit from file log\\.cpp line #[0-9]+ status 4");
}

INSTANTIATE_TEST_SUITE_P(Limits, QuitSeconds,
                         ::testing::Values(QuitCase{2000, {0, 1999, 1}, false},
                                           QuitCase{2000, {0, 500, 500, 500, 499, 700}, false},
                                           QuitCase{1000, {0, 5000}, false},
                                           QuitCase{2000, {0, 1000, 1000}, true}),
                         quitCaseName);

TEST(FatalError, AppendsToFatalLogAndLogsTheLine) {
  const std::string path = TEST_dataDirectory() + "/FATAL.LOG";
  std::remove(path.c_str());
  testing::internal::CaptureStdout();
  ERROR_error("src/kernel/database.cpp", 1148, "Invalid data type");
  ERROR_error("h_memory", 520, "second");
  const std::string out = testing::internal::GetCapturedStdout();
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  const std::string timeLine = R"([A-Z][a-z]{2} [A-Z][a-z]{2} [ \d]\d \d\d:\d\d:\d\d \d{4}\n)";
  EXPECT_TRUE(std::regex_match(text.str(), std::regex(timeLine + "error: Invalid data type in database\\.cpp at 1148\n" +
                                                      timeLine + "error: second in h_memory at 520\n")))
      << text.str();
  EXPECT_TRUE(std::regex_search(out, std::regex(R"( error: Invalid data type in database\.cpp at 1148\r\n)"))) << out;
}

// A FATAL.LOG that cannot be opened: the error is logged all the same, and the entry goes to standard error.
TEST(FatalError, UnopenableFatalLogIsLoggedAndWrittenToStandardError) {
  const std::string path = TEST_dataDirectory() + "/FATAL.LOG";
  std::remove(path.c_str());
  ASSERT_EQ(mkdir(path.c_str(), 0755), 0);  // a directory in its place
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  ERROR_error("nvram.cpp", 77, "cannot save");
  const std::string err = testing::internal::GetCapturedStderr();
  const std::string out = testing::internal::GetCapturedStdout();
  rmdir(path.c_str());
  EXPECT_TRUE(std::regex_search(err, std::regex(R"(FATAL .*\d{4}\nerror: cannot save in nvram\.cpp at 77\n)")))
      << err;
  EXPECT_TRUE(std::regex_search(out, std::regex(R"( Error opening \S+/FATAL\.LOG, Result = -1, error \d+, .*\r\n)"))) << out;
  EXPECT_TRUE(std::regex_search(out, std::regex(R"( error: cannot save in nvram\.cpp at 77\r\n)"))) << out;
}

// A data directory far longer than any fixed buffer: FATAL.LOG is written in it all the same. The child reads
// the directory for the first time with the long name.
TEST(FatalErrorDeathTest, LogInADataDirectoryOfAnyLength) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  if (getenv("CORVAN_LONG_DIR") == nullptr) {
    const std::string dir = TEST_dataDirectory() + "/" + std::string(200, 'd') + "/" + std::string(200, 'e');
    std::filesystem::create_directories(dir);
    setenv("CORVAN_LONG_DIR", dir.c_str(), 1);
  }
  const std::string dir = getenv("CORVAN_LONG_DIR");
  EXPECT_EXIT(
      {
        setenv("CORVAN_CWD", dir.c_str(), 1);
        ERROR_error("x.cpp", 12, "long way home");
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "");
  unsetenv("CORVAN_LONG_DIR");
  std::ifstream file(dir + "/FATAL.LOG");
  std::stringstream text;
  text << file.rdbuf();
  EXPECT_NE(text.str().find("error: long way home in x.cpp at 12\n"), std::string::npos) << text.str();
}

TEST(FatalErrorDeathTest, ResetEndsWithStatus10) {
  EXPECT_EXIT(U_RESET_vReset(), ::testing::ExitedWithCode(10), "");
}

}  // namespace
