// The board's beeper device: "/dev/buzzer0", or "/dev/buzzer" on older kernels.
#include <fcntl.h>
#include <unistd.h>

#include "platform/tone.h"

namespace {

int s_fd = -1;

bool bOpen(void) {
  s_fd = open("/dev/buzzer0", O_WRONLY | O_CLOEXEC);
  if (s_fd < 0) s_fd = open("/dev/buzzer", O_WRONLY | O_CLOEXEC);
  return s_fd >= 0;
}

void vWrite(S32 s32Hertz) {
  if (write(s_fd, &s32Hertz, sizeof s32Hertz) < 0) {
    // A beeper that refuses a tone stays silent; nothing else depends on it.
  }
}

void vClose(void) {
  close(s_fd);
  s_fd = -1;
}

const BEEPER_OPS s_tBoardOps = {
    .bOpen = bOpen,    // the buzzer character device
    .vWrite = vWrite,  // one host-order 32-bit frequency
    .vClose = vClose,  // closing silences it
};

}  // namespace

const BEEPER_OPS *BEEPER_pGetBoardOps(void) { return &s_tBoardOps; }
