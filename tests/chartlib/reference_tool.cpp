#include "reference_tool.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

std::vector<std::string> RunReference(const std::string &command, const std::string &input) {
  std::vector<std::string> lines;
  std::string path = ::testing::TempDir() + "reference_XXXXXX";
  const int fd = mkstemp(path.data());
  EXPECT_GE(fd, 0) << "no temporary file";
  if (fd < 0) return lines;
  close(fd);
  std::ofstream(path) << input;
  const std::string program = command.substr(0, command.find(' '));
  if (std::system(("command -v " + program + " >/dev/null").c_str()) != 0) {
    ADD_FAILURE() << program << " is not installed: run scripts/install-deps.sh";
    std::remove(path.c_str());
    return lines;
  }
  FILE *p = popen((command + " < " + path).c_str(), "r");
  if (p != nullptr) {
    char buf[512];
    while (std::fgets(buf, sizeof buf, p) != nullptr) {
      std::string s(buf);
      while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
      lines.push_back(s);
    }
    EXPECT_EQ(pclose(p), 0) << command;
  }
  std::remove(path.c_str());
  return lines;
}
