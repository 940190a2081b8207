// Stand-in task entries for tasks whose modules are not written yet: they publish their mailbox key and
// release every message they receive. Deleted together with tasks_standin.cpp.
#pragma once
#include "settings/database.h"
#include "kernel/kernel_defs.h"

// Publishes the task's mailbox under its "T" key; a refused key is fatal with pcFatalText.
void STANDIN_vPublishMailbox(FOURCHARID key, MBOX mbox, U32 u32Priority, const char *pcFatalText);
// Waits on the zero-terminated semaphore list and releases every message of the zero-terminated mailbox list,
// for ever.
[[noreturn]] void STANDIN_vServe(const SEMA *pSemas, const MBOX *pMboxes);
