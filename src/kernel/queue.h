// Numbered ring queues of fixed-size items with fill events.
#pragma once
#include "kernel/kernel_defs.h"

enum QUEUE_CONDITION : U32 { QNE = 0, QNF = 1, QF = 2, QE = 3, QCOND_COUNT = 4 };

// 0; -19 full; -16 invalid.
ERC L_QUEUE_Put(QUEUE queue, const void *pvItem);
ERC L_QUEUE_PutWait(QUEUE queue, const void *pvItem);
ERC L_QUEUE_PutWaitTicks(QUEUE queue, const void *pvItem, TICKS ticks);
ERC L_QUEUE_PutWaitSeconds(QUEUE queue, const void *pvItem, U32 seconds);
// 0; -20 empty; -16 invalid.
ERC L_QUEUE_Get(QUEUE queue, void *pvItem);
ERC L_QUEUE_GetWait(QUEUE queue, void *pvItem);
ERC L_QUEUE_GetWaitTicks(QUEUE queue, void *pvItem, TICKS ticks);
ERC L_QUEUE_GetWaitSeconds(QUEUE queue, void *pvItem, U32 seconds);
ERC L_QUEUE_Purge(QUEUE queue);
// Items in the queue (0 for a queue never used); -16.
ERC L_QUEUE_Inquire(QUEUE queue);
// With a buffer: use it, holding u32Count items. Without: a buffer of the service. 0; -18; -16.
ERC L_QUEUE_Define(QUEUE queue, U32 u32Width, U32 u32Depth, void *pvBuffer, U32 u32Count);
// 0; -17 condition above 3; -2 semaphore outside 0..280; -16.
ERC L_QUEUE_DefineSema(QUEUE queue, SEMA sema, U32 u32Condition);
void L_QUEUE_Debug(void);
