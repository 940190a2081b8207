#include "kernel/error.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "kernel/log.h"
#include "kernel/reset.h"
#include "platform/datadir.h"

void ERROR_error(const char *pcFile, U32 u32Line, const char *pcText) {
  const time_t now = time(nullptr);
  char acPath[256];
  std::snprintf(acPath, sizeof(acPath), "%s/FATAL.LOG", L_UTILS_cpGetPathnamePtr());

  char acLine[256];
  std::snprintf(acLine, sizeof(acLine), "error: %s in %s at %d%c", pcText, LOG_pcBaseName(pcFile),
                static_cast<int>(u32Line), 10);

  char acTime[64];
  ctime_r(&now, acTime);  // 24 characters and a line feed
  int fd = open(acPath, O_RDWR | O_APPEND);
  if (fd < 0) fd = open(acPath, O_RDWR | O_APPEND | O_CREAT, 0644);
  bool bKept = false;
  if (fd < 0) {
    const int nError = errno;
    log_me(" Error opening %s, Result = %d, error %d, %s", acPath, fd, nError, std::strerror(nError));
  } else {
    const size_t szTime = std::strlen(acTime);
    const size_t szLine = std::strlen(acLine);
    bKept = write(fd, acTime, szTime) == static_cast<ssize_t>(szTime) &&
            write(fd, acLine, szLine) == static_cast<ssize_t>(szLine);
    if (!bKept) log_me(" Error writing %s, error %d, %s", acPath, errno, std::strerror(errno));
    close(fd);
  }
  // An entry the file could not take goes to standard error, so the launcher's record keeps it.
  if (!bKept) std::fprintf(stderr, "FATAL %s%s", acTime, acLine);
  // The log gets the line without its line feed; the log line ends in CR LF of its own.
  acLine[std::strlen(acLine) - 1] = '\0';
  log_me("%s", acLine);
}

void __rt_raise(void) {
  ERROR_error(__FILE__, __LINE__, "rt_raise");
  U_RESET_vReset();
}
