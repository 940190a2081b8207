// Small helpers of the kernel service tests: test tasks with entries of the test, and polling for a state
// that another thread reaches (never a timed expectation).
#pragma once
#include <pthread.h>
#include <sched.h>
#include <unistd.h>

#include <functional>

#include "kernel/task.h"
#include "kernel/task_table.h"

// Task numbers that nothing starts in a test process.
constexpr TASK TEST_TASK_A = DUMMYTASK;   // 3
constexpr TASK TEST_TASK_B = ADCTASK;     // 7
constexpr TASK TEST_TASK_C = FENWSTASK;   // 29

// Gives a task an entry of the test.
inline void TEST_vSetEntry(TASK task, void (*pfnEntry)(void)) {
  TASK_PARAM tParam = {1024, 100, pfnEntry};
  TASK_vSetParamForTest(task, &tParam);
}

// Runs the function in a thread that is no task (number 70); join it with pthread_join.
inline pthread_t TEST_tPlainThread(std::function<void()> fnBody) {
  auto *pfnBody = new std::function<void()>(std::move(fnBody));
  pthread_t tThread = 0;
  pthread_create(
      &tThread, nullptr,
      [](void *pvArg) -> void * {
        auto *pfn = static_cast<std::function<void()> *>(pvArg);
        (*pfn)();
        delete pfn;
        return nullptr;
      },
      pfnBody);
  return tThread;
}

// Waits (polling, no limit but the test time-out) until the condition holds.
inline void TEST_vWaitFor(const std::function<bool()> &fnDone) {
  while (!fnDone()) usleep(200);
}
