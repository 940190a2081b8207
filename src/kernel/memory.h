// The allocator: eight partitions of fixed-size blocks; a block is freed by its address alone.
#pragma once
#include "corvan/types.h"

// A block of at least u32Size bytes from the smallest partition that fits, falling back to larger partitions;
// waits on the smallest fitting partition while all fitting partitions are exhausted.
// A request above the largest block (819,896 bytes) is fatal.
void *H_MEMORY_pvMalloc(U32 u32Size);
// As H_MEMORY_pvMalloc, but NULL instead of waiting.
void *H_MEMORY_pvMallocNoWait(U32 u32Size);
// H_MEMORY_pvMalloc of the product, cleared.
void *H_MEMORY_pvCalloc(U32 u32Count, U32 u32Size);
// The block that holds the data now: the same block when it already lies in the smallest partition that fits,
// else a new block with min(old, new) bytes copied, the old one freed. NULL: a plain allocation.
void *H_MEMORY_pvRealloc(void *pvBlock, U32 u32Size);
// Gives the block back; NULL and addresses that are no block are ignored.
void H_MEMORY_vFree(void *pvBlock);
// Releases a received message: acknowledges it when its sender named a semaphore, frees it otherwise.
void H_MEMORY_vDumpMail(void *pvMessage);

// Allocation requests so far (all forms), for tests and benchmarks that check what a path allocates.
U64 H_MEMORY_u64AllocationCount(void);

// Usable bytes of the block at this address (0 when it is no block).
U32 H_MEMORY_u32BlockSize(const void *pvBlock);

// Usable bytes of the largest block.
constexpr U32 H_MEMORY_MAX_BLOCK = 819896;
