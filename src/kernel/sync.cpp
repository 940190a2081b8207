#include "kernel/sync.h"

#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <mutex>

#include "kernel/task.h"
#include "kernel/tick.h"

namespace {

std::atomic<bool> s_bSync{false};
std::atomic<U32> s_u32Syncs{0};
pthread_t s_sync_thread;
std::once_flag s_started;

void *LS_sync_vThread(void *) {
  pthread_detach(pthread_self());
  for (;;) {
    while (!s_bSync.load()) L_CLOCK_Sleep(1000);
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

int LS_fclose(FILE *pFile) {
  const int nResult = std::fclose(pFile);
  s_bSync.store(true);
  return nResult;
}

void LS_sync(void) { s_bSync.store(true); }

void LS_sync_vInit(void) {
  std::call_once(s_started, [] { s_sync_thread = L_UTILS_threadCreateSimpleThread("sync", LS_sync_vThread, nullptr); });
}

U32 LS_u32SyncCount(void) { return s_u32Syncs.load(); }
