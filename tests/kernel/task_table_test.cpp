// The task table: names by number.
#include <gtest/gtest.h>

#include <string>

#include "kernel/task_table.h"

namespace {

TEST(TaskTable, NamesByNumber) {
  const struct {
    TASK task;
    const char *pcName;
  } kCases[] = {{0, ""},          {1, "RTXCBUG"},       {17, "STARTTASK"}, {46, "SATWEATHERDATATASK"},
                {69, "BTREMOTETASK"}, {70, "MAINTHREAD"}, {71, "INVALID"},   {-1, "INVALID"}};
  for (const auto &c : kCases) EXPECT_EQ(std::string(get_task_name(c.task)), c.pcName) << c.task;
}

}  // namespace
