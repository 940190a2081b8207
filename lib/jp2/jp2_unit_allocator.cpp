// The decoder's built-in allocator: the one place where this library reaches into the unit, for the kernel's
// memory partitions. Callers that pass their own allocation callbacks never come here.
#include "jp2/jp2_memory.h"
#include "kernel/memory.h"

// The program allocator resets the unit for requests above its largest partition, so those are refused here.
#define JP2_LARGEST_PARTITION 819896u

void *JP2_Memory_Default_Malloc(U32 u32Size, void *) {
  if (u32Size == 0 || u32Size > JP2_LARGEST_PARTITION) return nullptr;
  return H_MEMORY_pvMalloc(u32Size);
}

S32 JP2_Memory_Default_Free(void *pvBlock, void *) {
  if (pvBlock) H_MEMORY_vFree(pvBlock);
  return 0;
}
