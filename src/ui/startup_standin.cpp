// Stand-in start-up task: starts the display, view, view-key, NVRAM, keyboard and menu tasks one after another,
// waiting for each to be ready as the real one does, then lets the process entry go on. Replaced by the
// start-up task.
#include <unistd.h>

#include "kernel/database.h"
#include "kernel/error.h"
#include "kernel/log.h"
#include "kernel/process.h"
#include "kernel/reset.h"
#include "kernel/sema.h"
#include "kernel/task.h"
#include "kernel/task_table.h"
#include "kernel/tasks_standin.h"
#include "kernel/tick.h"

namespace {

bool published(FOURCHARID key) { return H_DATABASE_bFetchU32(key, nullptr, nullptr, nullptr); }

void startAndPoll(TASK task, FOURCHARID key) {
  L_TASK_Start(task);
  while (!published(key)) usleep(100);
}

}  // namespace

void T_STARTUP_vMain(void) {
  STANDIN_vPublishMailbox(FCID("TTAR"), M_STARTUP, P_NORMAL, "Somebody else registered the Startup Task Mailbox");

  L_TASK_Start(DISPTASK);
  log_me("waiting for the display task");
  L_SEMA_Wait(SEMA_DISPINIT_COMPLETE);
  startAndPoll(VIEWTASK, FCID("TVUE"));
  L_TASK_Start(VIEWKEYTASK);
  L_TASK_Start(NVRTASK);
  for (int i = 0; i < 50 && !published(FCID("TNVR")); ++i) L_CLOCK_Sleep(100);
  if (!published(FCID("TNVR"))) {
    ERROR_error(__FILE__, __LINE__, "STARTUP: Where's tNVRAM");
    U_RESET_vReset();
  }
  startAndPoll(KBDTASK, FCID("TKBD"));
  startAndPoll(MENUTASK, FCID("TMNU"));
  bStartupTaskInitialized = TRUE;

  static const SEMA kSemas[] = {SEMA_MBOX_STARTUP, 0};
  static const MBOX kMboxes[] = {M_STARTUP, 0};
  STANDIN_vServe(kSemas, kMboxes);
}
