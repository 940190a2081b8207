#include "kernel/error.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

#include "kernel/log.h"
#include "kernel/reset.h"
#include "platform/datadir.h"

void ERROR_error(const char *pcFile, U32 u32Line, const char *pcText) {
  const time_t now = time(nullptr);
  // Any length of data directory: the path is built, never cut.
  const char *pcDir = L_UTILS_cpGetPathnamePtr();
  const std::string sPath = pcDir != nullptr ? std::string(pcDir) + "/FATAL.LOG" : std::string();
  const char *acPath = sPath.c_str();

  const std::string sLine = std::string("error: ") + pcText + " in " + LOG_pcBaseName(pcFile) + " at " +
                            std::to_string(u32Line);

  char acTime[64];
  ctime_r(&now, acTime);  // 24 characters and a line feed
  const std::string sFileLine = sLine + "\n";
  int fd = -1;
  if (sPath.empty()) {
    log_me(" Error: no data directory for FATAL.LOG");
  } else {
    fd = open(acPath, O_RDWR | O_APPEND);
    if (fd < 0) fd = open(acPath, O_RDWR | O_APPEND | O_CREAT, 0644);
  }
  bool bKept = false;
  if (fd < 0 && !sPath.empty()) {
    const int nError = errno;
    log_me(" Error opening %s, Result = %d, error %d, %s", acPath, fd, nError, std::strerror(nError));
  } else if (fd >= 0) {
    const size_t szTime = std::strlen(acTime);
    bKept = write(fd, acTime, szTime) == static_cast<ssize_t>(szTime) &&
            write(fd, sFileLine.data(), sFileLine.size()) == static_cast<ssize_t>(sFileLine.size());
    if (!bKept) log_me(" Error writing %s, error %d, %s", acPath, errno, std::strerror(errno));
    close(fd);
  }
  // An entry the file could not take goes to standard error, so the launcher's record keeps it.
  if (!bKept) std::fprintf(stderr, "FATAL %s%s", acTime, sFileLine.c_str());
  // The log line ends in CR LF of its own.
  log_me("%s", sLine.c_str());
}

void __rt_raise(void) {
  ERROR_error(__FILE__, __LINE__, "rt_raise");
  U_RESET_vReset();
}
