// Rows of a committed test table under the test data folder; blank lines and "#" comments are skipped.
#pragma once
#include <fstream>
#include <string>
#include <vector>

inline std::vector<std::string> TableLines(const std::string &name) {
  std::vector<std::string> lines;
  std::ifstream in(std::string(CORVAN_TEST_DATA) + "/" + name);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line[0] != '#') lines.push_back(line);
  }
  return lines;
}
