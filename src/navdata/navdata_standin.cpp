// Stand-in for the navigation store's recorded-path copies (a few named records kept in memory), and the test
// hook that names a route in the store.
#include "navdata/navdata_standin.h"

#include <cstdio>
#include <mutex>

#include "kernel/kernel_defs.h"
#include "kernel/mutex.h"

namespace {

std::mutex s_mutex;
WENDRIX_HEADER s_aWendrix[NAVDATA_WENDRIX_COUNT];

}  // namespace

void T_NAV_vCopyWendrixHeader(U32 nIndex, WENDRIX_HEADER *pHeader) {
  std::lock_guard<std::mutex> lock(s_mutex);
  if (nIndex < NAVDATA_WENDRIX_COUNT) *pHeader = s_aWendrix[nIndex];
}

void NAVDATA_STANDIN_vSetRouteName(U32 nIndex, const char *sName) {
  ROUTE *pRoute = T_NAV_pGetRoute(nIndex);
  if (pRoute == nullptr) return;
  L_MUTEX_LockWait(RES_NAV_DATA);
  std::snprintf(pRoute->sName, sizeof pRoute->sName, "%s", sName);
  L_MUTEX_Unlock(RES_NAV_DATA);
}

void NAVDATA_STANDIN_vSetWendrixName(U32 nIndex, const char *sName) {
  std::lock_guard<std::mutex> lock(s_mutex);
  if (nIndex < NAVDATA_WENDRIX_COUNT) {
    std::snprintf(s_aWendrix[nIndex].sName, sizeof s_aWendrix[nIndex].sName, "%s", sName);
  }
}
