// Suites whose tests each need a process of their own (the test clock chosen before the first reading, a
// task table of their own, ...). Run as a whole, the test program runs each of their tests in a child process
// of itself; under CTest, which runs one test per process anyway, nothing changes.
#pragma once

bool TEST_bRunApart(const char *pcSuite);

#define TEST_RUN_APART(Suite) [[maybe_unused]] static const bool s_bRunApart_##Suite = TEST_bRunApart(#Suite)
