#include "ui_test_env.h"

#include <stdlib.h>

#include <cstdlib>
#include <string>

#include "kernel/sema.h"

namespace {
// Before main: fatal errors write FATAL.LOG into a directory of this process, never into /usr/corvan.
const bool s_bReady = [] {
  char acTemplate[] = "/tmp/corvan-ui-test-XXXXXX";
  const char *pcDir = mkdtemp(acTemplate);
  if (pcDir == nullptr) std::abort();
  setenv("CORVAN_CWD", pcDir, 1);
  setenv("CORVAN_TMP", (std::string(pcDir) + "/scratch").c_str(), 1);
  return true;
}();
}  // namespace

bool UI_bTakeSignal(int sema) {
  if (L_SEMA_GetWaitingTaskID(sema) != -lsSEMA_DONE) return false;
  L_SEMA_Wait(sema);
  return true;
}
