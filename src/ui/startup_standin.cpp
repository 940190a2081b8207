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
#include "kernel/memory.h"
#include "kernel/nvram_task.h"
#include "kernel/tick.h"
#include "kernel/timer.h"
#include "kernel/version.h"

namespace {

bool published(FOURCHARID key) { return H_DATABASE_bFetchU32(key, nullptr, nullptr, nullptr); }

constexpr U32 kStateStartup = 1;
constexpr U32 kStateNormalRun = 3;

// The header items the unit must have, with their defaults; each is handed to the NVRAM task to be saved at once.
void setupHeaderDefaults() {
  static const struct {
    FOURCHARID key;
    U32 u32Default;
  } kItems[] = {{FCID("SMDL"), 293},        {FCID("CREV"), 0},          {FCID("SEDB"), 0xFFFFFFFF},
                {FCID("SEDU"), 0xFFFFFFFF}, {FCID("SEIB"), 0xFFFFFFFF}, {FCID("SEIU"), 0xFFFFFFFF},
                {FCID("SENB"), 0xFFFFFFFF}, {FCID("SENU"), 0xFFFFFFFF}, {FCID("SETB"), 0xFFFFFFFF}};
  for (const auto &item : kItems) {
    const FOURCHARID key = item.key;
    U32 u32Value = 0;
    const bool bExists = H_DATABASE_bFetchU32(key, &u32Value, nullptr, nullptr);
    if (bExists && (key != FCID("SMDL") || u32Value != 0)) continue;
    if (bExists) {
      H_DATABASE_bUpdateEverythingU32(key, item.u32Default, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
    } else {
      DB_DATA_TYPE value{};
      value.u32Val = item.u32Default;
      const DB_ATTRIBUTES attributes = {D_UNKNOWN, nullptr, DB_NO_TIMEOUT};
      H_DATABASE_vReadOrSetDefault(key, &value, P_NORMAL, &attributes);
    }
    auto *pMsg = static_cast<MSG_NVRAM_WRITE_TO_HEADER *>(H_MEMORY_pvMalloc(sizeof(MSG_NVRAM_WRITE_TO_HEADER)));
    pMsg->Header.Cmd = CMD_ID_WRITE_TO_HEADER;
    pMsg->id = key;
    L_MBOX_Send(M_NVRAM, pMsg, NORMAL_PRIORITY, 0);
  }
}

void startAndPoll(TASK task, FOURCHARID key) {
  L_TASK_Start(task);
  while (!published(key)) usleep(100);
}

}  // namespace

void T_STARTUP_vMain(void) {
  STANDIN_vPublishMailbox(FCID("TTAR"), M_STARTUP, P_NORMAL, "Somebody else registered the Startup Task Mailbox");
  H_DATABASE_bUpdateEverythingU32(FCID("CCST"), kStateStartup, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);

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
  setupHeaderDefaults();
  VERSION_bDetectVersionChange();
  startAndPoll(KBDTASK, FCID("TKBD"));
  startAndPoll(MENUTASK, FCID("TMNU"));
  bStartupTaskInitialized = TRUE;

  // The system runs at once: the state is written and the 2-second settings poll starts.
  H_DATABASE_bUpdateEverythingU32(FCID("CCST"), kStateNormalRun, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  // The view tasks restore the view and compose the first frame on the run-system command.
  for (MBOX mbox : {M_VIEW, M_VIEWKEY}) {
    auto *pRun = static_cast<GENERIC_MESSAGE *>(H_MEMORY_pvCalloc(1, sizeof(GENERIC_MESSAGE)));
    pRun->Cmd = CMD_ID_RUN_SYSTEM;
    L_MBOX_Send(mbox, pRun, NORMAL_PRIORITY, 0);
  }
  if (L_TIMER_Start(nullptr, 2000, 2000, SEMA_TIMER_DBPOLL) == nullptr) {
    ERROR_error(__FILE__, __LINE__, "Timer Problems");
    U_RESET_vReset();
  }
  static const SEMA kSemas[] = {SEMA_MBOX_STARTUP, SEMA_TIMER_DBPOLL, 0};
  for (;;) {
    if (L_SEMA_WaitMultiple(kSemas) == SEMA_TIMER_DBPOLL) H_DATABASE_vSendAllInvalidData();
    while (void *pvMsg = L_MBOX_Receive(M_STARTUP)) H_MEMORY_vDumpMail(pvMsg);
  }
}
