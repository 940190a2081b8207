#include "platform/coproc.h"

#include <errno.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "settings/database.h"
#include "kernel/log.h"
#include "kernel/options.h"
#include "kernel/tick.h"
#include "platform/devices.h"

U8 *gpu8NonCachedDataBlock = nullptr;

namespace {

constexpr U32 kSequenceSize = 31;
constexpr U32 kSequences = 6;
constexpr U32 kCountOffset = 186;
constexpr U8 TXMODE_NONE = 3;
constexpr U32 kTrailerSize = 6;
constexpr U32 kAdcIntervalMs = 500;

int s_u32SonarFileHandle = 0;  // 0: not open
BOOLEAN s_bSimulate = FALSE;
U32 u32LastTime = 0;

// The trailer: three little-endian words, external temperature, transducer temperature, battery voltage.
void H_COPROC_vSaveTransducerInfo(const U8 *pu8Trailer) {
  const U32 u32Now = H_TICK_u32ReadFreeRunningTimerInMilliSeconds();
  if (opt_noadc || H_TICK_u32ElapsedTime(u32LastTime, u32Now) < kAdcIntervalMs) return;
  const U16 u16ExternalTemp = static_cast<U16>(pu8Trailer[0] | pu8Trailer[1] << 8);
  const U16 u16TransducerTemp = static_cast<U16>(pu8Trailer[2] | pu8Trailer[3] << 8);
  const U16 u16BatteryVoltage = static_cast<U16>(pu8Trailer[4] | pu8Trailer[5] << 8);
  H_DATABASE_bUpdateValueU32(FCID("AD05"), static_cast<U16>(u16BatteryVoltage << 6), P_NORMAL);
  H_DATABASE_bUpdateValueU32(FCID("AD02"), static_cast<U16>(u16TransducerTemp << 6), P_NORMAL);
  H_DATABASE_bUpdateValueU32(FCID("AD00"), static_cast<U16>(u16ExternalTemp << 6), P_NORMAL);
  u32LastTime = u32Now;
}

// Simulation: the coprocessor samples every sequence without firing a pulse.
void silencePulses(U8 *pau8Data, U32 u32TransferSize) {
  if (u32TransferSize <= kCountOffset) return;
  const U32 u32Count = std::min<U32>(pau8Data[kCountOffset], kSequences);
  for (U32 k = 0; k < u32Count; ++k) {
    for (U32 u32Pulse = 0; u32Pulse < 3; ++u32Pulse) pau8Data[kSequenceSize * k + 3 + 6 * u32Pulse] = TXMODE_NONE;
  }
}

}  // namespace

void H_COPROC_vInitialize(void) {
  if (gpu8NonCachedDataBlock == nullptr) {
    gpu8NonCachedDataBlock = static_cast<U8 *>(std::calloc(COPROC_DATA_BLOCK_SIZE, 1));
  }
  if (s_u32SonarFileHandle <= 0) {
    const int nFd = PLATFORM_ptSonar()->nOpen();
    // A failed open leaves the device closed, so the ready check tells the truth and a later call retries.
    if (nFd < 0) {
      log_me("sonar coprocessor: open failed, %d %s", errno, strerror(errno));
    } else {
      s_u32SonarFileHandle = nFd;
    }
  }
  log_me("data block ptr = %lx and file handle = %x", reinterpret_cast<unsigned long>(gpu8NonCachedDataBlock),
         static_cast<unsigned>(s_u32SonarFileHandle));
}

BOOLEAN H_COPROC_bCoprocessorReady(void) { return s_u32SonarFileHandle > 0; }

void H_COPROC_vSimulate(BOOLEAN bSimulate) { s_bSimulate = bSimulate; }

U32 H_COPROC_u32Transfer(U8 *pau8Data, U32 u32TransferSize, COPROC_DATA_DIRECTION eDirection) {
  if (s_u32SonarFileHandle <= 0) return 0xFFFFFFFF;
  switch (eDirection) {
    case SEND_TO_COPROC: {
      if (s_bSimulate) silencePulses(pau8Data, u32TransferSize);
      return static_cast<U32>(PLATFORM_ptSonar()->nWrite(s_u32SonarFileHandle, pau8Data, u32TransferSize));
    }
    case RECEIVE_FROM_COPROC: {
      const ssize_t nRead = PLATFORM_ptSonar()->nRead(s_u32SonarFileHandle, pau8Data, u32TransferSize);
      if (nRead <= 8) return static_cast<U32>(nRead);
      const U32 u32Read = std::min(static_cast<U32>(nRead), u32TransferSize);
      H_COPROC_vSaveTransducerInfo(pau8Data + u32Read - kTrailerSize);
      return u32Read - kTrailerSize;
    }
    default:
      return 0xFFFFFFFF;
  }
}
