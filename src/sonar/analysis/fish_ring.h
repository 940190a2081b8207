// What the fish list and history code and the fish drawing share: the lock of both and the walk back through the
// ring of history columns.
#pragma once
#include "kernel/mutex.h"
#include "sonar/analysis/fishid.h"

// Holds RES_FISHID for its scope.
struct FishLock {
  FishLock() { L_MUTEX_LockWait(RES_FISHID); }
  ~FishLock() { L_MUTEX_Unlock(RES_FISHID); }
  FishLock(const FishLock &) = delete;
  FishLock &operator=(const FishLock &) = delete;
};

// The fish a list holds, never more than it has room for.
inline U8 u8FishCount(const FISH_TARGET_LIST *pList)
{
  return pList->u8NumberOfTargets > MAX_FISH_TARGETS ? (U8)MAX_FISH_TARGETS : pList->u8NumberOfTargets;
}

// The column k columns back in time from u16Index: lower indexes forwards, higher ones in reverse.
inline U16 u16FishColumnBack(U16 u16Index, U32 k)
{
  if (S_FISHID_bReverseScroll()) {
    return (U16)((u16Index + k) % FISH_HISTORY_COLUMNS);
  }
  return (U16)((u16Index + FISH_HISTORY_COLUMNS - k % FISH_HISTORY_COLUMNS) % FISH_HISTORY_COLUMNS);
}
