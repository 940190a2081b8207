#include "net/ethbcast_standin.h"

#include <mutex>

namespace {
std::mutex s_lock;
BOOLEAN s_bAvailable = FALSE;
float s_fLat = 0, s_fLon = 0;
}  // namespace

BOOLEAN T_ETHBCAST_bFetctNMEA2kPosition(float *pfLat, float *pfLon) {
  std::lock_guard<std::mutex> guard(s_lock);
  if (!s_bAvailable) return FALSE;
  *pfLat = s_fLat;
  *pfLon = s_fLon;
  return TRUE;
}

void ETHBCAST_STANDIN_vSetPosition(BOOLEAN bAvailable, float fLat, float fLon) {
  std::lock_guard<std::mutex> guard(s_lock);
  s_bAvailable = bAvailable;
  s_fLat = fLat;
  s_fLon = fLon;
}
