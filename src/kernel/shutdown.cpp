#include "kernel/shutdown.h"

#include <mutex>

#include "kernel/error.h"
#include "kernel/log.h"
#include "kernel/mbox.h"
#include "kernel/memory.h"
#include "kernel/reset.h"

namespace {

constexpr TICKS kAckTicks = 500;

// One shut-down at a time: they share the acknowledgement semaphore.
std::mutex s_running;

bool isSpared(const FOURCHARID *pSpared, FOURCHARID id) {
  for (; pSpared != nullptr && *pSpared != 0; ++pSpared) {
    if (*pSpared == id) return true;
  }
  return false;
}

GENERIC_MESSAGE *newMessage() {
  return static_cast<GENERIC_MESSAGE *>(H_MEMORY_pvMallocNoWait(sizeof(GENERIC_MESSAGE)));
}

}  // namespace

void U_SHUTDOWN_vShutdown(const FOURCHARID *pSpared) {
  const std::lock_guard<std::mutex> lock(s_running);
  GENERIC_MESSAGE *pMsg = newMessage();
  bool bNvram = false;
  MBOX nvram = 0;

  MULTI_FETCH_CONTROL_STRUCTURE control = {};
  control.cMatch = 'T';
  control.__bNotFirst = FALSE;
  while (H_DATABASE_bFetchNextBeginningWith(&control)) {
    if (control.id == FCID("TNVR")) {
      bNvram = true;
      nvram = static_cast<MBOX>(control.data.u32Val);
      continue;
    }
    if (control.id == FCID("TKBD") || isSpared(pSpared, control.id)) continue;
    if (pMsg == nullptr) {
      ERROR_error(__FILE__, __LINE__, "Out of messages in shutdown");
      U_RESET_vReset();
    }
    pMsg->Cmd = CMD_ID_SHUTDOWN;
    // Only the acknowledgement of this very message ends the wait.
    const ERC rc = L_MBOX_SendWaitTicks(static_cast<MBOX>(control.data.u32Val), pMsg, SHUTDOWN_PRIORITY,
                                        SEMA_SHUTDOWN_KEYB, kAckTicks);
    if (rc != lsSUCCESS && rc != -lsMBOX_INVALID) pMsg = newMessage();  // the slow task keeps the old one
  }

  if (bNvram && pMsg != nullptr) {
    pMsg->Cmd = CMD_ID_SHUTDOWN;
    const ERC rc = L_MBOX_SendWait(nvram, pMsg, SHUTDOWN_PRIORITY, SEMA_SHUTDOWN_KEYB);
    if (rc != lsSUCCESS && rc != -lsMBOX_INVALID) return;  // still the NVRAM task's
  }
  H_MEMORY_vFree(pMsg);
}

void U_SHUTDOWN_vTerminate(void) {
  // The tasks the power-down tells on its own after the others; here the process ends right after.
  static const FOURCHARID kSpared[] = {FCID("TDSP"), FCID("TKBD"), FCID("TSND"), FCID("TMSG"),
                                       FCID("TSLP"), FCID("TETH"), 0};
  log_me("terminated: shutting the tasks down, the settings are saved last");
  U_SHUTDOWN_vShutdown(kSpared);
}
