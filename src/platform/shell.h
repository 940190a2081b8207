// Shell commands that change the machine (clock, network set-up, video out). On the host they are
// recorded and logged, never run.
#pragma once
#include "corvan/types.h"

// The command's exit status (0 on the host).
int H_SHELL_nRun(const char *pcCommand);

// Host record of the commands, oldest first (tests).
U32 H_SHELL_u32RecordedCount(void);
// The n-th recorded command, "" beyond the record.
const char *H_SHELL_pcRecorded(U32 u32Index);
void H_SHELL_vClearRecord(void);
