#include "platform/host/speed_host.h"

#include <errno.h>

#include <algorithm>
#include <cstring>
#include <mutex>

#include "platform/speed.h"

namespace {

constexpr int kWheelFd = 0x5057;  // stands for the one descriptor of the device

struct MODEL {
  bool bPresent = true;
  U32 u32Count = 0;
  bool bFail = false;
  S32 s32Short = -1;
};

std::mutex s_lock;
MODEL s_model;

int nOpen(void) {
  std::lock_guard<std::mutex> lock(s_lock);
  if (!s_model.bPresent) {
    errno = ENODEV;
    return -1;
  }
  return kWheelFd;
}

ssize_t nRead(int nFd, void *pvData, size_t size) {
  std::lock_guard<std::mutex> lock(s_lock);
  if (nFd != kWheelFd || s_model.bFail) {
    s_model.bFail = false;
    errno = EIO;
    return -1;
  }
  U8 au8Count[4] = {static_cast<U8>(s_model.u32Count), static_cast<U8>(s_model.u32Count >> 8),
                    static_cast<U8>(s_model.u32Count >> 16), static_cast<U8>(s_model.u32Count >> 24)};
  size_t length = std::min(size, sizeof au8Count);
  if (s_model.s32Short >= 0) length = std::min(length, static_cast<size_t>(s_model.s32Short));
  s_model.s32Short = -1;
  std::memcpy(pvData, au8Count, length);
  return static_cast<ssize_t>(length);
}

void vClose(int) {}

const SPEED_OPS s_tHostOps = {
    .nOpen = nOpen,  // the wheel model
    .nRead = nRead,  // the cumulative count, little-endian
    .vClose = vClose,
};

}  // namespace

const SPEED_OPS *SPEED_HOST_pGetOps(void) { return &s_tHostOps; }

void HOST_SPEED_vReset(void) {
  std::lock_guard<std::mutex> lock(s_lock);
  s_model = MODEL{};
}

void HOST_SPEED_vSetPresent(bool bPresent) {
  std::lock_guard<std::mutex> lock(s_lock);
  s_model.bPresent = bPresent;
}

void HOST_SPEED_vAddPulses(U32 u32Pulses) {
  std::lock_guard<std::mutex> lock(s_lock);
  s_model.u32Count += u32Pulses;
}

void HOST_SPEED_vFailNextRead(void) {
  std::lock_guard<std::mutex> lock(s_lock);
  s_model.bFail = true;
}

void HOST_SPEED_vShortNextRead(U32 u32Bytes) {
  std::lock_guard<std::mutex> lock(s_lock);
  s_model.s32Short = static_cast<S32>(u32Bytes);
}
