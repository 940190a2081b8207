// Stand-in of the autopilot's anchor request: counted only.
#include <atomic>

#include "autopilot/vantrel_remote_standin.h"

namespace {
std::atomic<U32> s_u32Requests{0};
}  // namespace

void T_VANTREL_vBluetoothRemoteStrelloq(void) { ++s_u32Requests; }

U32 VANTREL_STANDIN_u32AnchorRequests(void) { return s_u32Requests; }
