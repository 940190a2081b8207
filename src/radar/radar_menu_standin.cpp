// Stand-in of the radar services the menu task calls: manual tuning is counted, tuning is allowed unless a test
// says otherwise.
#include "radar/radar_menu_standin.h"

#include <atomic>

#include "kernel/sema.h"

const ARRAY_OF_STRING_PTRS Installation = SAME22("Installation");
const ARRAY_OF_STRING_PTRS Trigger_Delays = SAME22("Trigger Delays");
const ARRAY_OF_STRING_PTRS Manual_Tune = SAME22("Manual Tune");
const ARRAY_OF_STRING_PTRS Tune = SAME22("Tune");

namespace {
std::atomic<U32> s_u32ManualTune{0};
std::atomic<BOOLEAN> s_bTuneAllowed{TRUE};
}  // namespace

void T_RADAR_vHandleManualTune(void) { ++s_u32ManualTune; }

BOOLEAN T_RADAR_bHandleTune(void) {
  if (!s_bTuneAllowed) L_SEMA_Signal(SEMA_KEYCLICK_BAD);
  return s_bTuneAllowed;
}

U32 RADAR_STANDIN_u32ManualTuneCount(void) { return s_u32ManualTune; }
void RADAR_STANDIN_vSetTuneAllowed(BOOLEAN bAllowed) { s_bTuneAllowed = bAllowed; }
