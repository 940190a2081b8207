// The start of the process: Main prepares the platform and starts the tasks of the task table in order.
#pragma once
#include <atomic>

#include "corvan/types.h"

// Set once by the start-up task when it has started its tasks; the main thread polls it.
extern std::atomic<BOOLEAN> bStartupTaskInitialized;

// Order of the tasks that the process entry starts after the start-up task is ready.
extern const int kMainStartOrder[45];

// The start sequence; never returns.
[[noreturn]] void Main(void);
