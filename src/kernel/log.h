// The log: one line per event on standard output, kernel-object dumps, the run-time limit and the watchdog.
#pragma once
#include <sys/time.h>

#include "kernel/kernel_defs.h"

// One log line from a printf format: "%5d.%03d %5d.%03d %2d %s %s\r\n" (time since the previous line, the
// monotonic clock since system start, task number, task name, text). Texts are cut at 255 characters.
void log_me(const char *pcFormat, ...) __attribute__((format(printf, 1, 2)));
// Writes the line for a finished text, also under no_log.
void lm_doit(const char *pcText);
// The raw monotonic time into *ptTime when given; returns it in milliseconds (32 bits).
S32 lm_gettime(struct timeval *ptTime);
// Dumps every kernel object to standard error; from now on all lines go to standard error.
void debug_doit(void);
// SIGINT: dump, exit 2. SIGTERM: the power-down's shut-down (final settings save), exit 2. Runs on the signal
// thread, never inside the signal handler.
void sigterm_handler(int sig);

// Logs "exit from file %s line #%d status %d" and ends the process with that status.
[[noreturn]] void lm_exit(const char *pcFile, int nLine, int nStatus);
// A function lm_exit calls last (the exit-time screenshot of the simulator); NULL for none.
void LOG_vSetExitHook(void (*pfnHook)(void));
#define LM_EXIT(status) lm_exit(__FILE__, __LINE__, (status))
// Logs the formatted text (also under no_log) and ends the process with status 1.
[[noreturn]] void bail_out(const char *pcFormat, ...) __attribute__((format(printf, 1, 2)));

// The file name without its directories, for the log and FATAL.LOG.
const char *LOG_pcBaseName(const char *pcPath);
