// The allocator: eight partitions of fixed-size blocks; a block is freed by its address alone.
#pragma once
#include "kernel/types.h"

// A block of at least u32Size bytes; waits while every fitting partition is exhausted.
// A request above the largest block is fatal.
void *H_MEMORY_pvMalloc(U32 u32Size);
// As H_MEMORY_pvMalloc, but NULL instead of waiting.
void *H_MEMORY_pvMallocNoWait(U32 u32Size);
void *H_MEMORY_pvCalloc(U32 u32Count, U32 u32Size);
void *H_MEMORY_pvRealloc(void *pvBlock, U32 u32Size);
void H_MEMORY_vFree(void *pvBlock);
