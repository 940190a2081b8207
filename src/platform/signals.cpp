#include "platform/signals.h"

#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <mutex>

namespace {

int s_aPipe[2] = {-1, -1};
std::atomic<void (*)(int)> s_pfHandler{nullptr};

// Runs inside the signal: only async-signal-safe calls.
void onSignal(int sig, siginfo_t *, void *) {
  const int savedErrno = errno;
  const unsigned char u8Sig = static_cast<unsigned char>(sig);
  ssize_t rc = write(s_aPipe[1], &u8Sig, 1);
  (void)rc;
  errno = savedErrno;
}

void *signalThread(void *) {
  for (;;) {
    unsigned char u8Sig = 0;
    const ssize_t rc = read(s_aPipe[0], &u8Sig, 1);
    if (rc == 1) {
      void (*pfHandler)(int) = s_pfHandler.load();
      if (pfHandler != nullptr) pfHandler(u8Sig);
    } else if (rc < 0 && errno == EINTR) {
      continue;
    } else {
      return nullptr;
    }
  }
}

}  // namespace

void PLATFORM_SIGNALS_vIgnoreBrokenPipe(void) { signal(SIGPIPE, SIG_IGN); }

void PLATFORM_SIGNALS_vRouteTermination(void (*pfHandler)(int)) {
  static std::once_flag s_once;
  std::call_once(s_once, [pfHandler] {
    s_pfHandler = pfHandler;
    if (pipe(s_aPipe) != 0) return;
    pthread_t thread;
    if (pthread_create(&thread, nullptr, signalThread, nullptr) != 0) return;
    pthread_detach(thread);
    struct sigaction action = {};
    action.sa_sigaction = onSignal;
    action.sa_flags = SA_SIGINFO | SA_RESTART;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
  });
}
