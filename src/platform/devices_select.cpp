// Which devices this build drives: the board's, or the simulator's.
#include "platform/devices.h"

namespace {

const PLATFORM_DEVICES *devices(void) {
#if defined(__arm__) || defined(__aarch64__)
  return PLATFORM_ptBoardDevices();
#else
  return PLATFORM_ptHostDevices();
#endif
}

}  // namespace

const PLATFORM_SERIAL_OPS *PLATFORM_ptSerial(void) { return devices()->ptSerial; }
const PLATFORM_CARD_OPS *PLATFORM_ptCard(void) { return devices()->ptCard; }
const PLATFORM_SONAR_OPS *PLATFORM_ptSonar(void) { return devices()->ptSonar; }
