// Every test process gets its own data and scratch directories, so nothing touches /usr/corvan or /tmp/corvan.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "test_environment.h"

namespace {

struct TestDirectories {
  std::string dataDir;
  TestDirectories() {
    char acTemplate[] = "/tmp/corvan-test-XXXXXX";
    const char *pcDir = mkdtemp(acTemplate);
    if (pcDir == nullptr) std::abort();
    dataDir = pcDir;
    owner = getpid();
    setenv("CORVAN_CWD", dataDir.c_str(), 1);
    setenv("CORVAN_TMP", (dataDir + "/scratch").c_str(), 1);
  }
  ~TestDirectories() {
    // Children that share this process image must not remove the parent's directory.
    if (getpid() != owner) return;
    std::error_code ignored;
    std::filesystem::remove_all(dataDir, ignored);
  }
  pid_t owner;
};

TestDirectories &directories() {
  static TestDirectories s_directories;
  return s_directories;
}

// Before main: tests may read the data directory at any time.
const bool s_bReady = (directories(), true);

}  // namespace

const std::string &TEST_dataDirectory() { return directories().dataDir; }
