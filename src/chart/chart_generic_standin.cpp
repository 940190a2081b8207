// Stand-in of the chart display's point-of-sale mode: only the flag the chart display will read.
#include "chart/chart_generic_standin.h"

#include "settings/database.h"
#include "ui/startup/startup_state.h"

void U_CHART_GENERIC_vSetPOSMode(BOOLEAN bPOSMode) {
  U32 u32State = 0;
  BOOLEAN bValid = FALSE;
  const bool bShelf = H_DATABASE_bFetchU32(FCID("CCST"), &u32State, &bValid, nullptr) && bValid &&
                      u32State == static_cast<U32>(STATE_POINT_OF_SALE);
  H_DATABASE_bUpdateEverythingBoolean(FCID("IPCG"), bShelf ? bPOSMode : FALSE, P_NORMAL, D_UNKNOWN, nullptr,
                                      DB_NO_TIMEOUT);
}
