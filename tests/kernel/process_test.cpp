// The unit as a whole process: options, start order of the task table, signals and the watchdog.
#include <gtest/gtest.h>
#include <signal.h>

#include <map>
#include <ostream>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "test_environment.h"

namespace {

const std::regex kLogLine(R"(^ *(\d+)\.(\d{3}) +(\d+)\.(\d{3}) +(\d+) (\S+) (.*)\r$)");

// Every line of standard output has the log format; the first one's delta is the whole clock reading.
void expectLogFormat(const std::vector<std::string> &lines) {
  ASSERT_FALSE(lines.empty());
  for (const std::string &line : lines) EXPECT_TRUE(std::regex_match(line, kLogLine)) << '"' << line << '"';
  std::smatch first;
  ASSERT_TRUE(std::regex_match(lines[0], first, kLogLine));
  EXPECT_EQ(first[1].str() + first[2].str(), first[3].str() + first[4].str()) << lines[0];
  EXPECT_EQ(first[7].str(), "CORVAN start");
  EXPECT_EQ(first[5].str() + " " + first[6].str(), "70 MAINTHREAD");
}

// Tasks with a thread according to the task dump on standard error.
std::set<int> runningTasks(const std::string &dump) {
  static const std::regex kTaskLine(R"( (\d\d) ([A-Z0-9_]+): active -?\d+ time .* pthread ID #(\d+))");
  std::set<int> tasks;
  for (std::sregex_iterator it(dump.begin(), dump.end(), kTaskLine), end; it != end; ++it) {
    const int task = std::stoi((*it)[1].str());
    if (task <= 69 && (*it)[3].str() != "0") tasks.insert(task);
  }
  return tasks;
}

template <typename T>
std::string caseName(const ::testing::TestParamInfo<T> &info) {
  return "Case" + std::to_string(info.index);
}

struct BadOption {
  std::vector<std::string> words;
  std::string message;
};

void PrintTo(const BadOption &option, std::ostream *pOut) {
  for (const std::string &word : option.words) *pOut << word << ' ';
}

class BadOptions : public ::testing::TestWithParam<BadOption> {};

TEST_P(BadOptions, ReportAndExitWithStatus1) {
  UnitProcess unit(GetParam().words, TEST_dataDirectory());
  EXPECT_EQ(unit.wait(), 1);
  const std::vector<std::string> lines = unit.outLines();
  expectLogFormat(lines);
  ASSERT_EQ(lines.size(), 3u) << unit.out();
  std::smatch fields;
  ASSERT_TRUE(std::regex_match(lines[1], fields, kLogLine));
  EXPECT_EQ(fields[7].str(), GetParam().message);
  ASSERT_TRUE(std::regex_match(lines[2], fields, kLogLine));
  EXPECT_TRUE(std::regex_match(fields[7].str(), std::regex(R"(exit from file \S+ line #\d+ status 1)"))) << lines[2];
}

INSTANTIATE_TEST_SUITE_P(
    Words, BadOptions,
    ::testing::Values(BadOption{{"foo"}, "invalid argument foo"},
                      BadOption{{"quit_sec"}, "specifier required for argument quit_sec"},
                      BadOption{{"task_flush", "task_add"}, "specifier required for argument task_add"},
                      BadOption{{"no_log", "Task_flush"}, "invalid argument Task_flush"},
                      BadOption{{"sleeper", "5", "debug_sec"}, "specifier required for argument debug_sec"},
                      // Values outside an option's range, or no number at all, never wrap into another.
                      BadOption{{"quit_sec", "99999999999999999999"}, "invalid argument quit_sec 99999999999999999999"},
                      BadOption{{"quit_sec", "9223372036854776"}, "invalid argument quit_sec 9223372036854776"},
                      BadOption{{"quit_sec", "-1"}, "invalid argument quit_sec -1"},
                      BadOption{{"debug_sec", "4294967297"}, "invalid argument debug_sec 4294967297"},
                      BadOption{{"sleeper", "9223372036854776"}, "invalid argument sleeper 9223372036854776"},
                      BadOption{{"fake_key", "4294967298"}, "invalid argument fake_key 4294967298"},
                      BadOption{{"quit_sec", "abc"}, "invalid argument quit_sec abc"},
                      BadOption{{"debug_sec", "5x"}, "invalid argument debug_sec 5x"}),
    caseName<BadOption>);

struct StartCase {
  std::vector<std::string> words;
  std::string lastLine;   // once this is logged the start has gone as far as it will
  std::set<int> running;  // tasks with a thread afterwards
};

void PrintTo(const StartCase &start, std::ostream *pOut) {
  for (const std::string &word : start.words) *pOut << word << ' ';
}

std::string startCaseName(const ::testing::TestParamInfo<StartCase> &info) {
  static const char *const kNames[] = {"TaskFlush", "TaskAdd2And17", "StartupTasksButMenu", "AllTasks",
                                       "TaskRem26And69"};
  return kNames[info.index];
}

class StartOrder : public ::testing::TestWithParam<StartCase> {};

// SIGINT dumps the kernel objects; the task dump shows which tasks were started.
TEST_P(StartOrder, StartsOnlyTheTasksAllowed) {
  UnitProcess unit(GetParam().words, TEST_dataDirectory());
  ASSERT_TRUE(unit.waitForLine(GetParam().lastLine)) << unit.out();
  unit.signal(SIGINT);
  EXPECT_EQ(unit.wait(), 2);
  expectLogFormat(unit.outLines());
  EXPECT_NE(unit.err().find("task information (70 total)"), std::string::npos);
  EXPECT_EQ(runningTasks(unit.err()), GetParam().running) << unit.err();
}

const std::set<int> kAllStarted = {2,  4,  5,  6,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18, 19,
                                   20, 21, 22, 23, 24, 25, 26, 27, 28, 30, 31, 32, 37, 39, 40, 41,
                                   42, 43, 45, 46, 51, 52, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63,
                                   67, 68, 69};

INSTANTIATE_TEST_SUITE_P(
    Options, StartOrder,
    ::testing::Values(StartCase{{"task_flush"}, "waiting for the start-up task", {}},
                      StartCase{{"task_flush", "task_add", "2,17"}, "17 STARTTASK waiting for the display task", {2, 17}},
                      StartCase{{"task_flush", "task_add", "2,17,4,5,6,14,8"}, " 8 KBDTASK keyboard task running", {2, 4, 5, 6, 8, 14, 17}},
                      StartCase{{}, "69 BTREMOTETASK Bluetooth remote task running", kAllStarted},
                      StartCase{{"task_rem", "26,69"}, "63 ETHUPDATERTASK stand-in running",
                                [] {
                                  std::set<int> tasks = kAllStarted;
                                  tasks.erase(26);
                                  tasks.erase(69);
                                  return tasks;
                                }()}),
    startCaseName);

TEST(Signals, TermEndsWithStatus2WithoutDump) {
  UnitProcess unit({"task_flush"}, TEST_dataDirectory());
  ASSERT_TRUE(unit.waitForLine("waiting for the start-up task"));
  unit.signal(SIGTERM);
  EXPECT_EQ(unit.wait(), 2);
  EXPECT_EQ(unit.err().find("task information"), std::string::npos) << unit.err();
  EXPECT_TRUE(std::regex_search(unit.out(), std::regex(R"(exit from file \S+ line #\d+ status 2\r\n$)"))) << unit.out();
}

TEST(Signals, IntDumpsEveryKernelObjectThenStatus2) {
  UnitProcess unit({"task_flush"}, TEST_dataDirectory());
  ASSERT_TRUE(unit.waitForLine("waiting for the start-up task"));
  unit.signal(SIGINT);
  EXPECT_EQ(unit.wait(), 2);
  const std::string &err = unit.err();
  size_t at = 0;
  for (const char *pcSection : {"task information (70 total)", "timer information", "semaphore information (280 total)",
                                "queue information (12 total)", "mutex information (104 total)",
                                "mbox information (71 total)", "memory block information (0 static 8 dynamic)",
                                "status 2"}) {
    const size_t next = err.find(pcSection, at);
    EXPECT_NE(next, std::string::npos) << pcSection << " missing or out of order";
    if (next != std::string::npos) at = next;
  }

  // Main binds 60 mailboxes to their arrival semaphores; 28 and 70 are left to their own tasks.
  static const std::regex kMboxLine(R"( (\d\d) (M_[A-Z0-9_]+): sema #(\d+) )");
  std::map<int, int> bound;
  for (std::sregex_iterator it(err.begin(), err.end(), kMboxLine), end; it != end; ++it) {
    if (std::stoi((*it)[3].str()) != 0) bound[std::stoi((*it)[1].str())] = std::stoi((*it)[3].str());
  }
  EXPECT_EQ(bound.size(), 60u);
  const std::map<int, int> kSamples = {{2, 34}, {10, 40}, {23, 23}, {42, 142}, {62, 246}, {63, 224}, {71, 276}};
  for (const auto &[mbox, sema] : kSamples) EXPECT_EQ(bound[mbox], sema) << "mailbox " << mbox;
  for (int mbox : {1, 28, 43, 50, 51, 52, 56, 65, 67, 68, 70}) EXPECT_EQ(bound.count(mbox), 0u) << "mailbox " << mbox;
}

// A silent log for debug_sec seconds ends the unit through the dump with status 3.
TEST(Watchdog, SilentLogEndsWithStatus3) {
  UnitProcess unit({"task_flush", "debug_sec", "1"}, TEST_dataDirectory());
  EXPECT_EQ(unit.wait(), 3);
  EXPECT_NE(unit.err().find("task information (70 total)"), std::string::npos);
  EXPECT_NE(unit.err().find("after sleep 0 remaining"), std::string::npos);
  EXPECT_NE(unit.err().find("status 3"), std::string::npos);
}

}  // namespace
