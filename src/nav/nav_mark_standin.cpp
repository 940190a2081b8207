// Stand-in of the navigation task's MARK action: counts the requests.
#include <atomic>

#include "kernel/log.h"
#include "nav/nav_mark_standin.h"

namespace {
std::atomic<U32> s_u32Marks{0};
}  // namespace

void T_NAV_vHandleMark(void) {
  log_me("NAV stand-in: mark");
  ++s_u32Marks;
}

U32 NAV_STANDIN_u32Marks(void) { return s_u32Marks; }
