#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

#include "test_environment.h"

UnitProcess::UnitProcess(const std::vector<std::string> &words, const std::string &dataDir) {
  int outPipe[2];
  int errPipe[2];
  if (pipe(outPipe) != 0 || pipe(errPipe) != 0) std::abort();
  m_pid = fork();
  if (m_pid == 0) {
    dup2(outPipe[1], 1);
    dup2(errPipe[1], 2);
    close(outPipe[0]);
    close(errPipe[0]);
    close(outPipe[1]);
    close(errPipe[1]);
    setenv("CORVAN_CWD", dataDir.c_str(), 1);
    std::vector<char *> argv;
    argv.push_back(const_cast<char *>(CORVAN_BINARY));
    for (const std::string &word : words) argv.push_back(const_cast<char *>(word.c_str()));
    argv.push_back(nullptr);
    execv(CORVAN_BINARY, argv.data());
    _exit(127);
  }
  close(outPipe[1]);
  close(errPipe[1]);
  m_outFd = outPipe[0];
  m_errFd = errPipe[0];
}

UnitProcess::~UnitProcess() {
  if (m_status < 0 && m_pid > 0) {
    kill(m_pid, SIGKILL);
    waitpid(m_pid, nullptr, 0);
  }
  if (m_outFd >= 0) close(m_outFd);
  if (m_errFd >= 0) close(m_errFd);
}

bool UnitProcess::pump(int timeoutMs) {
  struct pollfd fds[2] = {{m_outFd, POLLIN, 0}, {m_errFd, POLLIN, 0}};
  if (m_outFd < 0 && m_errFd < 0) return false;
  // A safety net only: a unit that hangs fails the test instead of blocking the suite.
  if (poll(fds, 2, timeoutMs) <= 0) return false;
  int *apFd[2] = {&m_outFd, &m_errFd};
  std::string *apText[2] = {&m_out, &m_err};
  for (int i = 0; i < 2; ++i) {
    if (*apFd[i] < 0 || fds[i].revents == 0) continue;
    char acBuffer[4096];
    const ssize_t n = read(*apFd[i], acBuffer, sizeof(acBuffer));
    if (n > 0) {
      apText[i]->append(acBuffer, static_cast<size_t>(n));
    } else {
      close(*apFd[i]);
      *apFd[i] = -1;
    }
  }
  return true;
}

bool UnitProcess::waitForLine(const std::string &text) { return waitForLines(text, 1); }

bool UnitProcess::waitForLines(const std::string &text, size_t count) {
  for (;;) {
    size_t found = 0;
    for (size_t at = m_out.find(text); at != std::string::npos; at = m_out.find(text, at + text.size())) {
      if (m_out.find('\n', at) == std::string::npos) break;
      if (++found == count) return true;
    }
    if (!pump()) return false;
  }
}

bool UnitProcess::waitForNext(const std::string &text, int withinMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(withinMs);
  for (;;) {
    const size_t at = m_out.find(text, m_seen);
    const size_t end = at == std::string::npos ? at : m_out.find('\n', at);
    if (end != std::string::npos) {
      m_seen = end + 1;
      return true;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0 || !pump(static_cast<int>(left.count()))) return false;
  }
}

void UnitProcess::signal(int sig) { kill(m_pid, sig); }

int UnitProcess::wait() {
  while (pump()) {
  }
  int status = 0;
  waitpid(m_pid, &status, 0);
  m_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return m_status;
}

std::vector<std::string> UnitProcess::outLines() const {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = m_out.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(m_out.substr(start, end - start));
  }
  return lines;
}
