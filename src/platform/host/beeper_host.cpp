#include "platform/host/beeper_host.h"

#include <mutex>

#include "kernel/tick.h"
#include "platform/tone.h"

namespace {

std::mutex s_mutex;
std::vector<BEEPER_EVENT> s_events;
// Bounded: a unit that beeps for days keeps the latest events only.
constexpr size_t kMaxEvents = 4096;

void vRecord(S32 s32Hertz) {
  std::lock_guard<std::mutex> lock(s_mutex);
  if (s_events.size() >= kMaxEvents) s_events.erase(s_events.begin(), s_events.begin() + kMaxEvents / 2);
  s_events.push_back({H_TICK_u32ReadFreeRunningTimerInMilliSeconds(), s32Hertz});
}

bool bOpen(void) { return true; }
void vWrite(S32 s32Hertz) { vRecord(s32Hertz); }
void vClose(void) { vRecord(0); }

const BEEPER_OPS s_tHostOps = {
    .bOpen = bOpen,    // always present
    .vWrite = vWrite,  // records (tick, frequency)
    .vClose = vClose,  // records (tick, 0)
};

}  // namespace

const BEEPER_OPS *BEEPER_pGetHostOps(void) { return &s_tHostOps; }

std::vector<BEEPER_EVENT> BEEPER_HOST_vTakeEvents(void) {
  std::lock_guard<std::mutex> lock(s_mutex);
  std::vector<BEEPER_EVENT> events;
  events.swap(s_events);
  return events;
}
