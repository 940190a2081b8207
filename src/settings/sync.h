// Closing files marks a sync as due; the sync thread flushes the file systems at most once every 5 s.
#pragma once
#include <cstdio>

#include "corvan/types.h"

// 1 when the next read would hit the end of the stream, else 0 (the stream is left where it was).
int LS_feof(FILE *pFile);
// Closes the stream (the C library's result) and marks a sync as due.
int LS_fclose(FILE *pFile);
// Marks a sync as due.
void LS_sync(void);
// Starts the sync thread, once.
void LS_sync_vInit(void);
// Syncs done by the thread so far (tests).
U32 LS_u32SyncCount(void);
