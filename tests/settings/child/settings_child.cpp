// A fresh process of the settings tests: starts the NVRAM task on a data directory, as a unit start does.
//   settings_child DATA boot KEY...        reports on standard output "published TNVR", then "KEY=value" or
//                                          "KEY absent" for each key, and ends with status 0
//   settings_child DATA write SEED KILL_AT  after the start keeps changing settings and saving them; the file
//                                          operation (write or sync) number KILL_AT is never done: the process
//                                          kills itself with SIGKILL in its place (0: never). Status 0 when it got
//                                          through, after the line "file operations: N".
// Every value the writer stores in a key of slot n is n << 14 | generation, so a check knows it was written.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "kernel/mbox.h"
#include "kernel/memory.h"
#include "kernel/sema.h"
#include "kernel/task.h"
#include "settings/nvram_task.h"
#include "settings_child.h"

namespace {

std::atomic<long> s_lOps{0};
long s_lKillAt = 0;

void vCount() {
  if (++s_lOps == s_lKillAt) raise(SIGKILL);
}

const NVRAM_FILE_OPS kCountingOps = {
    .open = [](const char *pcPath, int nFlags, mode_t mode) { return ::open(pcPath, nFlags, mode); },
    .pread = ::pread,
    .pwrite = [](int fd, const void *pv, size_t size, off_t offset) {
      vCount();
      return ::pwrite(fd, pv, size, offset);
    },
    .fsync = [](int fd) {
      vCount();
      return ::fsync(fd);
    },
};

bool bBoot() {
  L_MBOX_DefineSema(M_NVRAM, SEMA_MBOX_NVRAM);
  if (L_TASK_Start(NVRTASK) != 0) return false;
  // Bounded only as a safety net: a task that never publishes fails the test.
  for (int n = 0; n < 20000 && !H_DATABASE_bFetchU32(FCID("TNVR"), nullptr, nullptr, nullptr); n++) usleep(500);
  if (!H_DATABASE_bFetchU32(FCID("TNVR"), nullptr, nullptr, nullptr)) return false;
  std::printf("published TNVR\n");
  std::fflush(stdout);
  return true;
}

// Waits until the task has handled everything sent before (a command it releases unread).
void vBarrier() {
  auto *pMsg = static_cast<GENERIC_MESSAGE *>(H_MEMORY_pvMalloc(sizeof(GENERIC_MESSAGE)));
  pMsg->Cmd = CMD_ID_READ_NMEA2K_DATA;
  L_MBOX_SendWait(M_NVRAM, pMsg, NORMAL_PRIORITY, SEMA_PERSONAL_DATA);
  H_MEMORY_vFree(pMsg);
}

FOURCHARID fcidOf(const std::string &sKey) {
  return static_cast<U32>(sKey[0]) | static_cast<U32>(sKey[1]) << 8 | static_cast<U32>(sKey[2]) << 16 |
         static_cast<U32>(sKey[3]) << 24;
}

int nWrite(unsigned uSeed) {
  const std::vector<FOURCHARID> keys = SETTINGS_CHILD_writerKeys();
  H_DATABASE_bUpdateValueU32(FCID("CCST"), 3, P_NORMAL);
  std::mt19937 rng(uSeed);
  for (U32 u32Gen = 1; u32Gen <= 200; u32Gen++) {
    const int nChanges = 1 + static_cast<int>(rng() % 8);
    for (int n = 0; n < nChanges; n++) {
      const FOURCHARID id = keys[rng() % keys.size()];
      H_DATABASE_bUpdateValueU32(id, SETTINGS_CHILD_u32Tagged(id, u32Gen), P_NORMAL);
    }
    L_SEMA_Signal(SEMA_NVRAM_UPDATE);
    vBarrier();
  }
  return 0;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc < 3) return 2;
  const std::string sData = argv[1];
  const std::string sMode = argv[2];
  setenv("CORVAN_CWD", sData.c_str(), 1);
  H_NVRAM_vSetDirectoriesForTest(sData.c_str(), (sData + "/tmp").c_str());
  H_DATABASE_vInit();
  int nStatus = 2;
  if (sMode == "boot") {
    if (!bBoot()) _exit(3);
    for (int n = 3; n < argc; n++) {
      U32 u32Value = 0;
      if (H_DATABASE_bFetchU32(fcidOf(argv[n]), &u32Value, nullptr, nullptr)) {
        std::printf("%s=%u\n", argv[n], static_cast<unsigned>(u32Value));
      } else {
        std::printf("%s absent\n", argv[n]);
      }
    }
    nStatus = 0;
  } else if (sMode == "write" && argc == 5) {
    s_lKillAt = std::atol(argv[4]);
    H_NVRAM_vSetFileOpsForTest(&kCountingOps);
    if (!bBoot()) _exit(3);
    nStatus = nWrite(static_cast<unsigned>(std::atol(argv[3])));
    std::printf("file operations: %ld\n", s_lOps.load());
  }
  std::fflush(stdout);
  _exit(nStatus);  // no static destructors while the task runs
}
