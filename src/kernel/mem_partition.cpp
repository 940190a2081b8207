#include "kernel/mem_partition.h"

#include <pthread.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "kernel/log.h"
#include "kernel/task.h"
#include "kernel/task_table.h"
#include "kernel/tick.h"
#include "platform/clock.h"

namespace {

typedef struct {
  U32 MParamBlockSize;
  U32 MParamBlockMax;  // 0 while the record is free
} MAP_PARAM;

typedef struct {
  MAP_PARAM MapParam;
  TASK *MapCtrlArray;  // owner per block, 0 when free
  BYTE *MapBlockArray;
  pthread_mutex_t MapMutex;
  pthread_cond_t MapCond;
} MAP_INFO;

MAP_INFO s_aMaps[dnmaps];
std::mutex s_createLock;

MAP_INFO *record(MAP map) {
  if (map < 1 || map > dnmaps) return nullptr;
  MAP_INFO *pMap = &s_aMaps[map - 1];
  return pMap->MapParam.MParamBlockMax != 0 ? pMap : nullptr;
}

// Under the partition mutex.
void *takeFirstFree(MAP_INFO *pMap) {
  for (U32 i = 0; i < pMap->MapParam.MParamBlockMax; ++i) {
    if (pMap->MapCtrlArray[i] == 0) {
      pMap->MapCtrlArray[i] = L_TASK_GetID(0);
      return pMap->MapBlockArray + static_cast<size_t>(i) * pMap->MapParam.MParamBlockSize;
    }
  }
  return nullptr;
}

// Waits for a free block until the deadline (none: for ever).
void *allocateWaiting(MAP map, const struct timespec *ptDeadline) {
  MAP_INFO *pMap = record(map);
  if (pMap == nullptr) return nullptr;
  pthread_mutex_lock(&pMap->MapMutex);
  void *pvBlock = takeFirstFree(pMap);
  while (pvBlock == nullptr) {
    L_TASK_Deactivate();
    const int rc = PLATFORM_CLOCK_nCondWait(&pMap->MapCond, &pMap->MapMutex, ptDeadline);
    L_TASK_Activate();
    pvBlock = takeFirstFree(pMap);
    if (rc == ETIMEDOUT && pvBlock == nullptr) break;
  }
  pthread_mutex_unlock(&pMap->MapMutex);
  return pvBlock;
}

// The lock word of a system mutex, for the dumps.
int lockWord(const pthread_mutex_t *pMutex) { return TASK_nLockWord(pMutex); }

}  // namespace

MAP L_MEM_Create(void *pvBody, U32 u32BlockSize, U32 u32BlockCount) {
  if (pvBody == nullptr || u32BlockSize == 0 || u32BlockCount == 0) return -lsMAP_INVALID;
  std::lock_guard<std::mutex> guard(s_createLock);
  for (MAP map = 1; map <= dnmaps; ++map) {
    MAP_INFO *pMap = &s_aMaps[map - 1];
    if (pMap->MapParam.MParamBlockMax != 0) continue;
    pMap->MapCtrlArray = static_cast<TASK *>(std::calloc(u32BlockCount, sizeof(TASK)));
    if (pMap->MapCtrlArray == nullptr) return -lsMAP_NO_MEMORY;
    pMap->MapBlockArray = static_cast<BYTE *>(pvBody);
    TASK_vInitWaitPoint(&pMap->MapMutex, &pMap->MapCond);
    pMap->MapParam.MParamBlockSize = u32BlockSize;
    pMap->MapParam.MParamBlockMax = u32BlockCount;
    return map;
  }
  return -lsMAP_NONE_AVAIL;
}

void *L_MEM_Allocate(MAP map) {
  MAP_INFO *pMap = record(map);
  if (pMap == nullptr) return nullptr;
  pthread_mutex_lock(&pMap->MapMutex);
  void *pvBlock = takeFirstFree(pMap);
  pthread_mutex_unlock(&pMap->MapMutex);
  return pvBlock;
}

void *L_MEM_AllocateWait(MAP map) { return allocateWaiting(map, nullptr); }

void *L_MEM_AllocateWaitTicks(MAP map, TICKS ticks) {
  struct timespec deadline;
  L_CLOCK_PrepTimeoutTicks(&deadline, ticks);
  return allocateWaiting(map, &deadline);
}

void *L_MEM_AllocateWaitSeconds(MAP map, U32 seconds) {
  struct timespec deadline;
  L_CLOCK_PrepTimeoutSeconds(&deadline, seconds);
  return allocateWaiting(map, &deadline);
}

ERC L_MEM_Free(MAP map, void *pvBlock) {
  MAP_INFO *pMap = record(map);
  if (pMap == nullptr) return -lsMAP_INVALID;
  const BYTE *pu8Block = static_cast<const BYTE *>(pvBlock);
  const size_t size = pMap->MapParam.MParamBlockSize;
  if (pu8Block < pMap->MapBlockArray || pu8Block >= pMap->MapBlockArray + size * pMap->MapParam.MParamBlockMax ||
      static_cast<size_t>(pu8Block - pMap->MapBlockArray) % size != 0) {
    return -lsMAP_CROSSED;
  }
  pthread_mutex_lock(&pMap->MapMutex);
  pMap->MapCtrlArray[static_cast<size_t>(pu8Block - pMap->MapBlockArray) / size] = 0;
  pthread_cond_signal(&pMap->MapCond);
  pthread_mutex_unlock(&pMap->MapMutex);
  return lsSUCCESS;
}

S32 L_MEM_GetBlockSize(MAP map) {
  const MAP_INFO *pMap = record(map);
  return pMap != nullptr ? static_cast<S32>(pMap->MapParam.MParamBlockSize) : -lsMAP_INVALID;
}

const char *get_memory_name(MAP) { return "INVALID"; }

void L_MEM_Debug(void) {
  log_me("memory block information (%d static %d dynamic)", nmaps, dnmaps);
  for (MAP map = 1; map <= dnmaps; ++map) {
    MAP_INFO *pMap = &s_aMaps[map - 1];
    const U32 u32Max = pMap->MapParam.MParamBlockMax;
    const int nLockWord = u32Max != 0 ? lockWord(&pMap->MapMutex) : 0;
    // A snapshot of the owners: other tasks allocate while the dump runs.
    std::vector<TASK> owners(u32Max);
    if (u32Max != 0) {
      if (!TASK_bLockForDump(&pMap->MapMutex)) {
        log_me("  %02d %s: busy mutex.lock %d", map, get_memory_name(map), nLockWord);
        continue;
      }
      std::copy(pMap->MapCtrlArray, pMap->MapCtrlArray + u32Max, owners.begin());
      pthread_mutex_unlock(&pMap->MapMutex);
    }
    U32 u32Available = 0;
    for (U32 i = 0; i < u32Max; ++i) u32Available += owners[i] == 0 ? 1 : 0;
    log_me("  %02d %s: available %d size %d max %d mutex.lock %d", map, get_memory_name(map),
           static_cast<int>(u32Available), static_cast<int>(pMap->MapParam.MParamBlockSize),
           static_cast<int>(u32Max), nLockWord);
    for (U32 i = 0; i < u32Max; ++i) {
      const TASK owner = owners[i];
      if (owner != 0) log_me("    blk #%d owned by task #%d (%s)", static_cast<int>(i + 1), owner, get_task_name(owner));
    }
  }
}
