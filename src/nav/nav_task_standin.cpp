// Stand-in of the navigation task until it exists: the navigation defaults that GPS output and positions need,
// its mailbox, the store's start-up load, then it takes and drops its mail. Delete with the real task.
#include "kernel/log.h"
#include "kernel/sema.h"
#include "kernel/task_table.h"
#include "kernel/tasks_standin.h"
#include "navdata/navdata_load_standin.h"
#include "settings/database.h"

void T_NAV_vMain(void) {
  // WGS 84, no daylight saving, EST.
  H_DATABASE_bUpdateEverythingU32(FCID("SDTM"), 0, P_DEFAULT_SETTING, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  H_DATABASE_bUpdateEverythingBoolean(FCID("SDST"), FALSE, P_DEFAULT_SETTING, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  H_DATABASE_bUpdateEverythingU32(FCID("SLTZ"), static_cast<U32>(-300), P_DEFAULT_SETTING, D_SIGNED32, nullptr,
                                  DB_NO_TIMEOUT);
  STANDIN_vPublishMailbox(FCID("TNAV"), M_NAV, P_NORMAL, "Somebody else registered the Nav Task Mailbox");
  T_NAV_vInitTracksWaypointsRoutes();
  log_me("stand-in running");
  static const SEMA aSemas[] = {SEMA_MBOX_NAV, 0};
  static const MBOX aMboxes[] = {M_NAV, 0};
  STANDIN_vServe(aSemas, aMboxes);
}
