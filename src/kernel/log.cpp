#include "kernel/log.h"

#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <mutex>

#include "kernel/mbox.h"
#include "kernel/mem_partition.h"
#include "kernel/mutex.h"
#include "kernel/options.h"
#include "kernel/queue.h"
#include "kernel/sema.h"
#include "kernel/shutdown.h"
#include "kernel/task.h"
#include "kernel/task_table.h"
#include "kernel/tick.h"
#include "kernel/timer.h"
#include "platform/signals.h"

namespace {

std::atomic<FILE *> output_handle{nullptr};
std::atomic<S32> last_time{0};
std::atomic<TASK> debug_taskno{0};
std::atomic<bool> s_bWatchdogStarted{false};
std::atomic<bool> s_bQuitting{false};
std::once_flag s_firstLine;
std::atomic<void (*)(void)> s_pfnExitHook{nullptr};

U32 rawMillis(struct timeval *ptTime) {
  struct timespec now;
  CLOCK_internalGetTimespec(&now);
  if (ptTime != nullptr) {
    ptTime->tv_sec = now.tv_sec;
    ptTime->tv_usec = now.tv_nsec / 1000;
  }
  return static_cast<U32>(static_cast<U64>(now.tv_sec) * 1000u + static_cast<U64>(now.tv_nsec) / 1000000u);
}

FILE *stream() {
  FILE *pStream = output_handle.load();
  return pStream != nullptr ? pStream : stdout;
}

// Sleeps whole seconds on the real clock; the watchdog and the dump pause are not kernel waits.
void sleepSeconds(unsigned seconds) {
  struct timespec left = {static_cast<time_t>(seconds), 0};
  while (nanosleep(&left, &left) != 0) {
  }
}

void *lm_debug(void *) {
  TASK_bSetFifo(98);  // runs on at normal priority when the host refuses
  pthread_detach(pthread_self());
  int nCount = 0;
  for (;;) {
    const S32 prev = last_time.load();
    unsigned remaining = static_cast<unsigned>(debug_seconds);
    while (remaining > 0) {
      const unsigned left = sleep(remaining);
      if (left == remaining) continue;  // interrupted before it began
      remaining = left;
      std::fprintf(stderr, "%d: after sleep %d remaining (last=%d prev=%d)\n", ++nCount, static_cast<int>(remaining),
                   last_time.load(), prev);
    }
    if (last_time.load() != prev) continue;
    debug_doit();
    LM_EXIT(3);
  }
}

// One line from a printf format; texts are cut at 255 characters.
void writeFormatted(const char *pcFormat, va_list args) {
  char acLine[256];
  std::vsnprintf(acLine, sizeof(acLine), pcFormat, args);
  lm_doit(acLine);
}

void startWatchdog() {
  if (s_bWatchdogStarted.exchange(true)) return;
  pthread_t thread;
  if (pthread_create(&thread, nullptr, lm_debug, nullptr) != 0) s_bWatchdogStarted = false;
}

}  // namespace

const char *LOG_pcBaseName(const char *pcPath) {
  const char *pcSlash = std::strrchr(pcPath, '/');
  return pcSlash != nullptr ? pcSlash + 1 : pcPath;
}

S32 lm_gettime(struct timeval *ptTime) { return static_cast<S32>(rawMillis(ptTime)); }

void lm_doit(const char *pcText) {
  const U32 u32Now = rawMillis(nullptr);
  const TASK task = L_TASK_GetID(0);
  const U32 u32Delta = u32Now - static_cast<U32>(last_time.load());
  FILE *pStream = stream();
  std::fprintf(pStream, "%5d.%03d %5d.%03d %2d %s %s\r\n", static_cast<int>(u32Delta / 1000),
               static_cast<int>(u32Delta % 1000), static_cast<int>(u32Now / 1000), static_cast<int>(u32Now % 1000),
               static_cast<int>(task), get_task_name(task), pcText);
  last_time = static_cast<S32>(u32Now);
  std::fflush(pStream);
  if (opt_fsync) fsync(1);
}

void log_me(const char *pcFormat, ...) {
  const TASK dumper = debug_taskno.load();
  const bool bDumping = dumper != 0 && dumper == L_TASK_GetID(0);
  if (dumper != 0 && !bDumping) sleepSeconds(60);  // keep the dump in one piece

  std::call_once(s_firstLine, [] {
    PLATFORM_SIGNALS_vRouteTermination(sigterm_handler);
    if (output_handle.load() == nullptr) output_handle = stdout;
  });

  if (opt_nolog && !bDumping) {
    last_time = static_cast<S32>(rawMillis(nullptr));
  } else {
    va_list args;
    va_start(args, pcFormat);
    writeFormatted(pcFormat, args);
    va_end(args);
  }

  // The limit counts from the start of the process, not from the start of the machine.
  if (output_handle.load() != stderr && quit_seconds != 0 &&
      static_cast<S64>(L_CLOCK_qwGetTimeInMillis()) >= quit_seconds && !s_bQuitting.exchange(true)) {
    debug_doit();
    lm_doit("quit seconds expired");
    LM_EXIT(4);
  }

  if (debug_seconds != 0) startWatchdog();
}

void debug_doit(void) {
  output_handle = stderr;
  debug_taskno = L_TASK_GetID(0);
  L_TASK_Debug();
  L_TIMER_Debug();
  L_SEMA_Debug();
  L_QUEUE_Debug();
  L_MUTEX_Debug();
  L_MBOX_Debug();
  L_MEM_Debug();
  debug_taskno = 0;
}

void sigterm_handler(int sig) {
  if (sig == SIGINT) {
    debug_doit();
  } else {
    // The exit picture shows the screen as the stop found it, not the tasks taking their layers down.
    if (void (*pfnHook)(void) = s_pfnExitHook.exchange(nullptr)) pfnHook();
    U_SHUTDOWN_vTerminate();
  }
  LM_EXIT(2);
}

void lm_exit(const char *pcFile, int nLine, int nStatus) {
  char acLine[256];
  std::snprintf(acLine, sizeof(acLine), "exit from file %s line #%d status %d", LOG_pcBaseName(pcFile), nLine,
                nStatus);
  lm_doit(acLine);
  std::fflush(stdout);
  std::fflush(stderr);
  if (void (*pfnHook)(void) = s_pfnExitHook.load()) pfnHook();
  // No static destructors while the tasks still run.
  _exit(nStatus);
}

void LOG_vSetExitHook(void (*pfnHook)(void)) { s_pfnExitHook.store(pfnHook); }

void bail_out(const char *pcFormat, ...) {
  va_list args;
  va_start(args, pcFormat);
  writeFormatted(pcFormat, args);
  va_end(args);
  LM_EXIT(1);
}
