// The block service: up to eight partitions of fixed-size blocks, created at run time, each block owned by the
// task that took it.
#pragma once
#include "kernel/kernel_defs.h"

// The new partition's number; -24 for a zero argument, -26 no memory, -27 all partitions in use.
MAP L_MEM_Create(void *pvBody, U32 u32BlockSize, U32 u32BlockCount);
// The first free block (its start), NULL when none is free or the partition is invalid.
void *L_MEM_Allocate(MAP map);
// As L_MEM_Allocate, waiting until a block is freed.
void *L_MEM_AllocateWait(MAP map);
// As L_MEM_AllocateWait, NULL when the limit passes first.
void *L_MEM_AllocateWaitTicks(MAP map, TICKS ticks);
void *L_MEM_AllocateWaitSeconds(MAP map, U32 seconds);
// 0; -24 bad partition; -25 when the address is not the start of one of its blocks.
ERC L_MEM_Free(MAP map, void *pvBlock);
// The block size, -24 when invalid.
S32 L_MEM_GetBlockSize(MAP map);
// The memory dump: every partition and the owner of every block in use.
void L_MEM_Debug(void);
// Name of a partition configured statically; "INVALID" for every run-time partition.
const char *get_memory_name(MAP map);
