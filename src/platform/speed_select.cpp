// The paddle wheel of this build: the board's "/dev/pwheel0", or the simulator's wheel model.
#include <fcntl.h>
#include <unistd.h>

#include "platform/speed.h"

#if defined(__arm__) || defined(__aarch64__)
namespace {
int openWheel(void) { return open("/dev/pwheel0", O_RDONLY | O_CLOEXEC); }
void closeWheel(int nFd) { close(nFd); }
const SPEED_OPS s_tBoardOps = {
    .nOpen = openWheel,    // the wheel's character device
    .nRead = read,         // one cumulative count per 4-byte read
    .vClose = closeWheel,
};
}  // namespace
const SPEED_OPS *SPEED_pGetOps(void) { return &s_tBoardOps; }
#else
const SPEED_OPS *SPEED_HOST_pGetOps(void);
const SPEED_OPS *SPEED_pGetOps(void) { return SPEED_HOST_pGetOps(); }
#endif
