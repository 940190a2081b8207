#include "platform/speed.h"

#include "kernel/error.h"
#include "kernel/reset.h"
#include "kernel/tick.h"

namespace {

// Knots per hertz × 10, by pulse-rate band of ten hertz.
const float SpeedConvFactor[11] = {2.206389f, 2.002723f, 1.765111f, 1.629334f, 1.700742f, 1.833000f,
                                   1.866945f, 1.866945f, 1.900889f, 1.934801f, 1.918803f};
constexpr float kMpsPerKnot = 1852.0f / 3600.0f;
constexpr float kPlausibleMps = 50.0f;

// Only the speed task reads the wheel.
int s_nFd = -1;
U32 s_u32LastCount = 0;
bool s_bHaveCount = false;
bool s_bFirstCall = true;
U32 s_u32TickReference = 0;
BOOLEAN s_bFound = FALSE;

}  // namespace

void DD_SPEED_vInit(void) {
  s_nFd = SPEED_pGetOps()->nOpen();
  if (s_nFd < 0) {
    ERROR_error(__FILE__, __LINE__, "DD_SPEED_vInit open?");
    U_RESET_vReset();
  }
}

void H_SPEED_vInit(void) { DD_SPEED_vInit(); }

U32 DD_SPEED_u32GetPulses(void) {
  U8 au8Count[4];
  if (s_nFd < 0 || SPEED_pGetOps()->nRead(s_nFd, au8Count, sizeof au8Count) != static_cast<ssize_t>(sizeof au8Count)) {
    return 0;
  }
  // Host byte order, as the driver delivers it.
  const U32 u32Count = static_cast<U32>(au8Count[0]) | static_cast<U32>(au8Count[1]) << 8 |
                       static_cast<U32>(au8Count[2]) << 16 | static_cast<U32>(au8Count[3]) << 24;
  const U32 u32Pulses = s_bHaveCount ? u32Count - s_u32LastCount : 0;
  s_u32LastCount = u32Count;
  s_bHaveCount = true;
  return u32Pulses;
}

BOOLEAN H_SPEED_bGetSpeed(float *pfData) {
  const U32 u32Now = H_TICK_u32ReadFreeRunningTimerInMilliSeconds();
  if (s_bFirstCall) {
    s_bFirstCall = false;
    s_u32TickReference = u32Now;
    DD_SPEED_u32GetPulses();
    return s_bFound;
  }
  const U32 u32Ticks = H_TICK_u32ElapsedTime(s_u32TickReference, u32Now);
  s_u32TickReference = u32Now;
  const U32 u32Pulses = DD_SPEED_u32GetPulses();
  if (u32Ticks == 0) return FALSE;
  if (u32Pulses == 0) {
    *pfData = 0.0f;
    return s_bFound;
  }
  const double dHertz = static_cast<double>(u32Pulses) / (static_cast<double>(u32Ticks) * 0.001);
  S64 s64Band = (static_cast<S64>(dHertz) - 1) / 10;
  if (s64Band > 10) s64Band = 10;
  if (s64Band < 0) s64Band = 0;
  const float fKnots = static_cast<float>(dHertz * SpeedConvFactor[s64Band] * 0.1);
  const float fMps = fKnots * kMpsPerKnot;
  *pfData = fMps;
  s_bFound = fMps <= kPlausibleMps ? TRUE : FALSE;
  return s_bFound;
}

void H_SPEED_vResetForTest(void) {
  if (s_nFd >= 0) SPEED_pGetOps()->vClose(s_nFd);
  s_nFd = -1;
  s_u32LastCount = 0;
  s_bHaveCount = false;
  s_bFirstCall = true;
  s_u32TickReference = 0;
  s_bFound = FALSE;
}
