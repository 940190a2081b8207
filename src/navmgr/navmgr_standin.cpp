// Stand-in of the navigation data manager: it is never open, so there is nothing to close; removed AIS
// targets are recorded for the tests.
#include "navmgr/navmgr_standin.h"

#include <mutex>

namespace {
std::mutex s_lock;
std::vector<std::pair<U32, U32>> s_aDeleted;
}  // namespace

void T_NAV_GROUP_vShutdown(void) {}

void T_NAV_vDeleteTargetListIndex(U32 nMMSI, U32 nIndex) {
  std::lock_guard<std::mutex> guard(s_lock);
  s_aDeleted.emplace_back(nMMSI, nIndex);
}

std::vector<std::pair<U32, U32>> NAVMGR_STANDIN_vTakeDeletedTargets(void) {
  std::lock_guard<std::mutex> guard(s_lock);
  std::vector<std::pair<U32, U32>> aOut;
  aOut.swap(s_aDeleted);
  return aOut;
}
