// Serial channels on the desktop: $CORVAN_SERIAL<n> names a terminal to use (a pty of socat or gpsfake);
// otherwise the unit makes a pseudo-terminal per channel, keeps its master and links the slave as
// <devroot>/dev/ttyS0 ... so tools attach to that path.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include "kernel/log.h"
#include "platform/host/devroot.h"
#include "platform/host/serial_pty.h"

namespace {

constexpr int kPorts = 4;
std::mutex s_lock;
int s_anMaster[kPorts] = {-1, -1, -1, -1};
int s_anSlave[kPorts] = {-1, -1, -1, -1};  // kept open so the master never reads a hang-up
std::string s_asLink[kPorts];

const char *configuredPath(U8 u8Port) {
  char acName[32];
  std::snprintf(acName, sizeof(acName), "CORVAN_SERIAL%u", static_cast<unsigned>(u8Port));
  const char *pcPath = std::getenv(acName);
  return pcPath != nullptr && pcPath[0] != '\0' ? pcPath : nullptr;
}

// The channel's own pty; false when none can be made.
bool makePty(U8 u8Port, const char *pcDevice) {
  if (s_anMaster[u8Port] >= 0) return true;
  int nMaster = -1;
  int nSlave = -1;
  char acSlave[128] = "";
  if (openpty(&nMaster, &nSlave, acSlave, nullptr, nullptr) != 0) {
    log_me("serial port %u: openpty failed, %d %s", static_cast<unsigned>(u8Port), errno, strerror(errno));
    return false;
  }
  fcntl(nMaster, F_SETFD, FD_CLOEXEC);
  fcntl(nSlave, F_SETFD, FD_CLOEXEC);
  s_anMaster[u8Port] = nMaster;
  s_anSlave[u8Port] = nSlave;
  const char *pcBase = std::strrchr(pcDevice, '/');
  s_asLink[u8Port] = HOST_DEVROOT_sDir("dev") + "/" + (pcBase != nullptr ? pcBase + 1 : pcDevice);
  unlink(s_asLink[u8Port].c_str());
  if (symlink(acSlave, s_asLink[u8Port].c_str()) != 0) s_asLink[u8Port].clear();
  log_me("serial port %u (%s) is the pseudo-terminal %s%s%s", static_cast<unsigned>(u8Port), pcDevice, acSlave,
         s_asLink[u8Port].empty() ? "" : ", linked as ", s_asLink[u8Port].c_str());
  return true;
}

}  // namespace

int HOST_SERIAL_nOpen(U8 u8Port, const char *pcDevice, bool bReadOnly) {
  if (u8Port >= kPorts) {
    errno = ENODEV;
    return -1;
  }
  if (const char *pcPath = configuredPath(u8Port)) {
    return open(pcPath, (bReadOnly ? O_RDONLY : O_RDWR) | O_NOCTTY | O_CLOEXEC);
  }
  std::lock_guard<std::mutex> guard(s_lock);
  if (!makePty(u8Port, pcDevice)) return -1;
  // A copy, so closing the port keeps the pair (and the tools attached to it).
  return fcntl(s_anMaster[u8Port], F_DUPFD_CLOEXEC, 0);
}

ssize_t HOST_SERIAL_nWrite(int nFd, const void *pvData, size_t size) {
  struct pollfd tPoll = {nFd, POLLOUT, 0};
  if (poll(&tPoll, 1, 0) != 1 || !(tPoll.revents & POLLOUT)) return static_cast<ssize_t>(size);
  return write(nFd, pvData, size);
}

const char *HOST_SERIAL_pcLink(U8 u8Port) {
  std::lock_guard<std::mutex> guard(s_lock);
  return u8Port < kPorts ? s_asLink[u8Port].c_str() : "";
}
