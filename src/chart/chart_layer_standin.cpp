// Stand-in for the chart layer groups until the chart display is built: the mask and the group keys only.
#include <cstdio>

#include "chart/chart_layer.h"
#include "settings/database.h"

namespace {
constexpr U32 kDefaultLayerMask = 0xFFFDFFFFu;  // every group on but nature of seabed
constexpr U32 kLayerGroups = 28;
}  // namespace

void T_CHART_LAYER_vSetupDatabaseItems(BOOLEAN bForce) {
  U32 u32Mask = 0;
  BOOLEAN bValid = FALSE;
  if (!H_DATABASE_bFetchU32(FCID("SLAY"), &u32Mask, &bValid, nullptr) || !bValid || bForce) {
    u32Mask = kDefaultLayerMask;
    H_DATABASE_bUpdateValueU32(FCID("SLAY"), u32Mask, P_NORMAL);
  }
  for (U32 u32Group = 0; u32Group < kLayerGroups; ++u32Group) {
    char acKey[5];
    std::snprintf(acKey, sizeof acKey, "JL%02u", static_cast<unsigned>(u32Group));
    H_DATABASE_bUpdateValueBoolean(FCID(acKey), (u32Mask >> u32Group) & 1u, P_NORMAL);
  }
}
