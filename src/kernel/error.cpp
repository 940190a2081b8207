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

  int fd = -1;
  if (sPath.empty()) {
    log_me(" Error: no data directory for FATAL.LOG");
  } else {
    fd = open(acPath, O_RDWR | O_APPEND);
    if (fd < 0) fd = open(acPath, O_RDWR | O_APPEND | O_CREAT, 0644);
  }
  if (fd < 0 && !sPath.empty()) {
    const int nError = errno;
    log_me(" Error opening %s, Result = %d, error %d, %s", acPath, fd, nError, std::strerror(nError));
  } else if (fd >= 0) {
    char acTime[64];
    ctime_r(&now, acTime);  // 24 characters and a line feed
    ssize_t rc = write(fd, acTime, std::strlen(acTime));
    const std::string sFileLine = sLine + "\n";
    rc = write(fd, sFileLine.data(), sFileLine.size());
    (void)rc;
    close(fd);
  }
  // The log line ends in CR LF of its own.
  log_me("%s", sLine.c_str());
}

void __rt_raise(void) {
  ERROR_error(__FILE__, __LINE__, "rt_raise");
  U_RESET_vReset();
}
