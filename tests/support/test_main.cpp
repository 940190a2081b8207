// The main of every test program. Run whole (no filter), the suites marked with TEST_RUN_APART run each test
// in a child process of this program, after the other tests ran here; the program fails when any did.
#include <gtest/gtest.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <set>
#include <string>
#include <vector>

#include "run_apart.h"

extern char **environ;

namespace {

std::set<std::string> &apartSuites() {
  static std::set<std::string> s_set;
  return s_set;
}

// The suite's own name: a parameterised suite is named "Prefix/Suite".
std::string baseName(const std::string &sSuite) {
  const size_t at = sSuite.rfind('/');
  return at == std::string::npos ? sSuite : sSuite.substr(at + 1);
}

// Exit status of one test run in a child process of this program.
int runChild(const char *pcSelf, const std::string &sTest) {
  const std::string sFilter = "--gtest_filter=" + sTest;
  char *apcArgs[] = {const_cast<char *>(pcSelf), const_cast<char *>(sFilter.c_str()), nullptr};
  setenv("CORVAN_TEST_APART", "1", 1);
  pid_t pid = -1;
  const int nSpawn = posix_spawn(&pid, pcSelf, nullptr, nullptr, apcArgs, environ);
  unsetenv("CORVAN_TEST_APART");
  if (nSpawn != 0) return 127;
  int nStatus = 0;
  while (waitpid(pid, &nStatus, 0) < 0) {
  }
  return WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : 128 + WTERMSIG(nStatus);
}

}  // namespace

bool TEST_bRunApart(const char *pcSuite) {
  apartSuites().insert(pcSuite);
  return true;
}

int main(int argc, char **argv) {
  testing::InitGoogleTest(&argc, argv);
  const bool bWhole = GTEST_FLAG_GET(filter) == "*" && !GTEST_FLAG_GET(list_tests) &&
                      getenv("CORVAN_TEST_APART") == nullptr;
  if (!bWhole || apartSuites().empty()) return RUN_ALL_TESTS();

  std::vector<std::string> apart;
  std::string sExclude;
  const testing::UnitTest *ptUnit = testing::UnitTest::GetInstance();
  for (int nSuite = 0; nSuite < ptUnit->total_test_suite_count(); nSuite++) {
    const testing::TestSuite *ptSuite = ptUnit->GetTestSuite(nSuite);
    if (apartSuites().count(baseName(ptSuite->name())) == 0) continue;
    sExclude += std::string(sExclude.empty() ? "-" : ":") + ptSuite->name() + ".*";
    for (int nTest = 0; nTest < ptSuite->total_test_count(); nTest++) {
      apart.push_back(std::string(ptSuite->name()) + "." + ptSuite->GetTestInfo(nTest)->name());
    }
  }
  if (!sExclude.empty()) GTEST_FLAG_SET(filter, sExclude);
  const int nResult = RUN_ALL_TESTS();

  std::vector<std::string> failed;
  for (const std::string &sTest : apart) {
    fflush(stdout);
    if (runChild(argv[0], sTest) != 0) failed.push_back(sTest);
  }
  printf("[==========] %zu tests ran in processes of their own, %zu failed.\n", apart.size(), failed.size());
  for (const std::string &sTest : failed) printf("[  FAILED  ] %s (in its own process)\n", sTest.c_str());
  return nResult != 0 || !failed.empty() ? 1 : 0;
}
