// Stand-in of the group tree's start-up: no root or default group is built and the partitions are not passed.
#include "navdata/navdata_group_standin.h"

#include <atomic>

#include "kernel/log.h"

namespace {
std::atomic<U32> s_u32Inits{0};
}

void T_NAV_GROUP_DATA_vInitGroups(void) {
  ++s_u32Inits;
  log_me("nav: group tree not built yet");
}

U32 NAVDATA_GROUP_STANDIN_u32InitsForTest(void) { return s_u32Inits; }
