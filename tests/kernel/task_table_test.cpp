// The task table: names by number and a few rows that are easy to get wrong.
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

TEST(TaskTable, Rows) {
  const struct {
    TASK task;
    U16 stack;
    PRIORITY priority;
    void (*pfEntry)(void);
  } kCases[] = {{UARTTASK, 1024, 70, T_UART_vMain},         {MENUTASK, 4098, 98, T_MENU_vMain},
                {CHARTINFOTASK, 32768, 100, T_CHART_INFO_vMain}, {XIDTASK, 4096, 60, T_XDUCERID_vMain},
                {GMSGSOCKETTASK, 4096, 90, T_GMSG_vSocketMain},  {BTREMOTETASK, 2048, 90, T_BTREMOTE_vMain}};
  for (const auto &c : kCases) {
    const TASK_PARAM &row = TaskParams[c.task - 1];
    EXPECT_EQ(row.TParamStackSize, c.stack) << c.task;
    EXPECT_EQ(row.TParamPriority, c.priority) << c.task;
    EXPECT_EQ(row.TParamStartFunction, c.pfEntry) << c.task;
  }
}

}  // namespace
