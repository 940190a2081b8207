// Stand-in of the screen-capture module's recording switch: counted only.
#include <atomic>

#include "graphics/capture_recording_standin.h"

namespace {
std::atomic<U32> s_u32Toggles{0};
}  // namespace

void T_VIEW_vToggleRecordingState(void) { ++s_u32Toggles; }

U32 CAPTURE_STANDIN_u32RecordingToggles(void) { return s_u32Toggles; }
