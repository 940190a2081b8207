#include "settings/sync.h"

#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <mutex>

#include "kernel/task.h"
#include "kernel/tick.h"

namespace {

std::atomic<bool> s_bSync{false};
std::atomic<U64> s_u64FirstMs{0};  // kernel clock of the first close since the last sync
std::atomic<U32> s_u32Syncs{0};
pthread_t s_sync_thread;
std::once_flag s_started;

void *LS_sync_vThread(void *) {
  pthread_detach(pthread_self());
  for (;;) {
    while (!s_bSync.load()) L_CLOCK_Sleep(1000);
    // A burst of closes is one sync: wait until a second after its first close.
    const U64 u64Due = s_u64FirstMs.load() + 1000;
    const U64 u64Now = L_CLOCK_qwGetTimeInMillis();
    if (u64Due > u64Now) L_CLOCK_Sleep(static_cast<TICKS>(u64Due - u64Now));
    s_bSync.store(false);  // a close after this is covered by the sync below or raises the flag again
    sync();
    s_u32Syncs.fetch_add(1);
    L_CLOCK_Sleep(5000);
  }
  return nullptr;
}

}  // namespace

int LS_feof(FILE *pFile) {
  const int c = std::getc(pFile);
  if (c == EOF) return 1;
  std::ungetc(c, pFile);
  return 0;
}

void LS_sync(void) {
  if (!s_bSync.load()) s_u64FirstMs.store(L_CLOCK_qwGetTimeInMillis());
  s_bSync.store(true);
}

int LS_fclose(FILE *pFile) {
  const int nResult = std::fclose(pFile);
  LS_sync();
  return nResult;
}

void LS_sync_vInit(void) {
  std::call_once(s_started, [] { s_sync_thread = L_UTILS_threadCreateSimpleThread("sync", LS_sync_vThread, nullptr); });
}

U32 LS_u32SyncCount(void) { return s_u32Syncs.load(); }
