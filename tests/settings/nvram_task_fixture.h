// The NVRAM task on the real kernel services in the test process: boot, a barrier and the stored values.
#pragma once
#include <gtest/gtest.h>
#include <sched.h>
#include <unistd.h>

#include "kernel/mbox.h"
#include "kernel/memory.h"
#include "kernel/sema.h"
#include "kernel/task.h"
#include "settings/nvram_task.h"
#include "settings_fixture.h"

inline const FOURCHARID kXyz = FCID("SXYZ");

#define BOOT_OR_SKIP() \
  if (!boot()) GTEST_SKIP() << "the NVRAM task already ran in this process; run the test on its own (as CTest does)"

class NvramTaskTest : public SettingsTest {
 protected:
  // Starts the task and waits until it has published its mailbox (all saved settings are then loaded); false
  // when an earlier test of this process started it (a task runs once per process).
  static bool boot() {
    L_MBOX_DefineSema(M_NVRAM, SEMA_MBOX_NVRAM);
    const ERC erc = L_TASK_Start(NVRTASK);
    if (erc == -lsTASK_START) return false;
    EXPECT_EQ(erc, 0);
    for (int n = 0; n < 10000 && !H_DATABASE_bFetchU32(FCID("TNVR"), nullptr, nullptr, nullptr); n++) usleep(1000);
    EXPECT_TRUE(H_DATABASE_bFetchU32(FCID("TNVR"), nullptr, nullptr, nullptr));
    return true;
  }

  // Waits until the task has handled everything sent to it before.
  static void barrier() {
    auto *pMsg = static_cast<MSG_READ_PERSONALIZED *>(H_MEMORY_pvMalloc(sizeof(MSG_READ_PERSONALIZED)));
    static PERSONALIZATION_DATA_BLOCK block;
    pMsg->Header.Cmd = CMD_ID_READ_PERSONALIZED;
    pMsg->pPersonData = &block;
    ASSERT_EQ(L_MBOX_SendWait(M_NVRAM, pMsg, NORMAL_PRIORITY, SEMA_PERSONAL_DATA), 0);
    H_MEMORY_vFree(pMsg);
  }

  // One save pass, finished: a mailbox round trip alone is no barrier behind the signal, since a mailbox signal
  // left over from a drained message may win the task's next wait; once the task has taken the signal, the pass
  // runs before the task reads its mailbox again.
  static void savePass() {
    L_SEMA_Signal(SEMA_NVRAM_UPDATE);
    while (L_SEMA_GetWaitingTaskID(SEMA_NVRAM_UPDATE) == -lsSEMA_DONE) sched_yield();
    barrier();
  }

  static void send(CMD_ID cmd, FOURCHARID id) {
    auto *pMsg = static_cast<MSG_NVRAM_WRITE_TO_HEADER *>(H_MEMORY_pvMalloc(sizeof(MSG_NVRAM_WRITE_TO_HEADER)));
    pMsg->Header.Cmd = cmd;
    pMsg->id = id;
    L_MBOX_Send(M_NVRAM, pMsg, NORMAL_PRIORITY, 0);
  }

  // The stored value of a key (bit set in the bitmap file), or -1.
  S64 stored(FOURCHARID id) { return s64StoredIn(m_sData, id); }

  // Saves with a signal of SEMA_NVRAM_UPDATE and waits until the key's value is stored.
  void saveAndWait(FOURCHARID id, S64 s64Expected) {
    L_SEMA_Signal(SEMA_NVRAM_UPDATE);
    for (int n = 0; n < 10000 && stored(id) != s64Expected; n++) usleep(1000);
    ASSERT_EQ(stored(id), s64Expected);
  }

  // A boot that reports the restored value of SXYZ as its exit status (200 when absent).
  void expectRestored(int nExpected) {
    EXPECT_EXIT(
        {
          if (!boot()) _exit(99);
          U32 u32Value = 200;
          H_DATABASE_bFetchU32(kXyz, &u32Value, nullptr, nullptr);
          _exit(static_cast<int>(u32Value));
        },
        ::testing::ExitedWithCode(nExpected), "");
  }
};

