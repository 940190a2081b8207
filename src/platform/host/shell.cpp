// Host: commands are recorded and logged; the host's clock, network and devices stay untouched.
#include <mutex>
#include <string>
#include <vector>

#include "kernel/log.h"
#include "platform/shell.h"

namespace {
std::mutex s_lock;
std::vector<std::string> &record() {
  static std::vector<std::string> s_record;
  return s_record;
}
}  // namespace

int H_SHELL_nRun(const char *pcCommand) {
  {
    std::lock_guard<std::mutex> guard(s_lock);
    record().emplace_back(pcCommand);
  }
  log_me("shell (not run on the host): %s", pcCommand);
  return 0;
}

U32 H_SHELL_u32RecordedCount(void) {
  std::lock_guard<std::mutex> guard(s_lock);
  return static_cast<U32>(record().size());
}

const char *H_SHELL_pcRecorded(U32 u32Index) {
  std::lock_guard<std::mutex> guard(s_lock);
  return u32Index < record().size() ? record()[u32Index].c_str() : "";
}

void H_SHELL_vClearRecord(void) {
  std::lock_guard<std::mutex> guard(s_lock);
  record().clear();
}
