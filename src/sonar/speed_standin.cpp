// Stand-in of the speed task until the paddle-wheel speed exists: it publishes its mailbox and gives the boat's
// speed 'ISPD' the GPS speed over ground 'ISOG' on every update, lapsing with it, so that speed readers (the NMEA
// output among them) see a speed. Delete with the real speed task.
#include "kernel/log.h"
#include "kernel/mbox.h"
#include "kernel/memory.h"
#include "kernel/sema.h"
#include "kernel/task_table.h"
#include "kernel/tasks_standin.h"
#include "settings/database.h"

namespace {
constexpr U32 kSpeedTimeOut = 4;  // seconds, as the GPS writes 'ISOG'
}  // namespace

void T_SPEED_vMain(void) {
  STANDIN_vPublishMailbox(FCID("TSPD"), M_SPEED, P_NORMAL, "Somebody else registered the Speed Task Mailbox");
  H_DATABASE_bRegisterForDataWithConditions(FCID("ISOG"), M_SPEED, TRUE, TRUE, TRUE);
  log_me("speed stand-in: 'ISPD' follows 'ISOG'");
  const SEMA aWait[] = {SEMA_MBOX_SPEED, 0};
  for (;;) {
    L_SEMA_WaitMultiple(aWait);
    while (void *pvMsg = L_MBOX_Receive(M_SPEED)) {
      const auto *pMsg = static_cast<const MESSAGE_NEW_DATA *>(pvMsg);
      if (pMsg->Header.Cmd == CMD_ID_NEW_DATA && pMsg->FourCharId == FCID("ISOG") && pMsg->bValid) {
        H_DATABASE_bUpdateEverythingFloat(FCID("ISPD"), pMsg->dbValue.fVal, P_NORMAL, D_SPEED, nullptr,
                                          kSpeedTimeOut);
      }
      H_MEMORY_vDumpMail(pvMsg);
    }
  }
}
