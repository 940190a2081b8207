// Stand-in for the navigation store's route and recorded-path copies: a few named records kept in memory.
#include "navdata/navdata_standin.h"

#include <cstdio>
#include <mutex>

namespace {

constexpr U32 kRoutes = 16;
std::mutex s_mutex;
ROUTE s_aRoutes[kRoutes];
WENDRIX_HEADER s_aWendrix[NAVDATA_WENDRIX_COUNT];

}  // namespace

void T_NAV_vCopyRoute(U32 nIndex, ROUTE *pRoute) {
  std::lock_guard<std::mutex> lock(s_mutex);
  if (nIndex < kRoutes) *pRoute = s_aRoutes[nIndex];
}

void T_NAV_vCopyWendrixHeader(U32 nIndex, WENDRIX_HEADER *pHeader) {
  std::lock_guard<std::mutex> lock(s_mutex);
  if (nIndex < NAVDATA_WENDRIX_COUNT) *pHeader = s_aWendrix[nIndex];
}

void NAVDATA_STANDIN_vSetRouteName(U32 nIndex, const char *sName) {
  std::lock_guard<std::mutex> lock(s_mutex);
  if (nIndex < kRoutes) std::snprintf(s_aRoutes[nIndex].sName, sizeof s_aRoutes[nIndex].sName, "%s", sName);
}

void NAVDATA_STANDIN_vSetWendrixName(U32 nIndex, const char *sName) {
  std::lock_guard<std::mutex> lock(s_mutex);
  if (nIndex < NAVDATA_WENDRIX_COUNT) {
    std::snprintf(s_aWendrix[nIndex].sName, sizeof s_aWendrix[nIndex].sName, "%s", sName);
  }
}
