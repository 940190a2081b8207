// Stand-in of the sonar processing task (mailbox 9) until it is written: every descriptor it is given goes
// straight back to the pool, so the ping task keeps pinging.
#include "kernel/mbox.h"
#include "kernel/memory.h"
#include "kernel/sema.h"
#include "kernel/task_table.h"
#include "sonar/ping_task.h"

void T_N_PROCESS_vHandleMessageStandIn(void *pvMsg) {
  auto *pHeader = static_cast<GENERIC_MESSAGE *>(pvMsg);
  if (pHeader->Cmd == CMD_ID_SONAR_PROCESS_PING) {
    T_N_PING_vReturnDescriptor(static_cast<PING_MESSAGE *>(pvMsg)->pReturnDescriptor,
                               "Couldn't return descriptor to queue");
  } else if (pHeader->Cmd == CMD_ID_SONAR_PROCESS_TRIPLE_PING) {
    for (PING_DESCRIPTOR *pPing : static_cast<TRIPLE_PING_MESSAGE *>(pvMsg)->apReturnDescriptor) {
      if (pPing != nullptr) T_N_PING_vReturnDescriptor(pPing, "Couldn't return descriptor to queue");
    }
  }
  H_MEMORY_vDumpMail(pvMsg);
}

void T_N_PROCESS_vMain(void) {
  const SEMA aSemas[] = {SEMA_MBOX_PROCESS, 0};
  for (;;) {
    L_SEMA_WaitMultiple(aSemas);
    while (void *pvMsg = L_MBOX_Receive(M_PROCESS)) T_N_PROCESS_vHandleMessageStandIn(pvMsg);
  }
}
