// Stand-in for the autopilot link services, until the autopilot task is written: no autopilot is attached.
#include "autopilot/autopilot_standin.h"

#include <cstring>

#include "settings/database.h"

void T_VANTREL_vGetActiveStr(char *pacDestStr) { memset(pacDestStr, 0, 12); }

BOOLEAN T_VANTREL_bIsStrelloqActive(void) { return FALSE; }

BOOLEAN T_VANTREL_bIsNavigationPaused(void) { return FALSE; }

U16 T_VANTREL_u16GetStrelloqIndex(void) { return 0xFFFF; }

BOOLEAN U_NAV_VANTREL_bIsVantrelNavigationEnabled(void) {
  BOOLEAN bEnabled = FALSE;
  return H_DATABASE_bFetchBoolean(FCID("IPNE"), &bEnabled, nullptr, nullptr) && bEnabled;
}
