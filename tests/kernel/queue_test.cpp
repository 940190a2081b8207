// Ring queues: fill events, ring order, definitions and blocking forms.
#include <gtest/gtest.h>
#include <pthread.h>

#include <atomic>
#include <vector>

#include "kernel/queue.h"
#include "kernel/sema.h"
#include "kernel_test_util.h"
#include "run_apart.h"

TEST_RUN_APART(Queue);

namespace {

constexpr SEMA kNotEmpty = SEMA_QUEUE_TX1, kNotFull = SEMA_QUEUE_RX1, kFull = SEMA_QUEUE_TX2, kEmpty = SEMA_QUEUE_RX2;

enum OP { PUT, GET, PURGE };

struct Step {
  OP eOp;
  ERC erc;
  std::vector<SEMA> signalled;  // exactly these of the four fired
};

// Which of the four condition semaphores fired (takes their signals).
std::vector<SEMA> fired(void) {
  std::vector<SEMA> aFired;
  for (SEMA sema : {kNotEmpty, kNotFull, kFull, kEmpty}) {
    if (L_SEMA_WaitTicks(sema, 0) == 0) aFired.push_back(sema);
  }
  return aFired;
}

TEST(Queue, DepthTwoSignalsFullNotFullAndEmpty) {
  ASSERT_EQ(L_QUEUE_Define(Q_ETHERNET_TX, 2, 2, nullptr, 0), 0);
  ASSERT_EQ(L_QUEUE_DefineSema(Q_ETHERNET_TX, kNotEmpty, QNE), 0);
  ASSERT_EQ(L_QUEUE_DefineSema(Q_ETHERNET_TX, kNotFull, QNF), 0);
  ASSERT_EQ(L_QUEUE_DefineSema(Q_ETHERNET_TX, kFull, QF), 0);
  ASSERT_EQ(L_QUEUE_DefineSema(Q_ETHERNET_TX, kEmpty, QE), 0);
  fired();
  const Step atSteps[] = {
      {PUT, 0, {kNotEmpty}},
      {PUT, 0, {kNotEmpty, kFull}},
      {PUT, -lsQUEUE_FULL, {}},
      {GET, 0, {kNotFull}},
      {GET, 0, {kEmpty}},
      {GET, -lsQUEUE_EMPTY, {}},
      {PUT, 0, {kNotEmpty}},
      {PUT, 0, {kNotEmpty, kFull}},
      {PURGE, 0, {kNotFull, kEmpty}},
      {PURGE, 0, {}},
  };
  U16 u16Next = 1, u16Expected = 1;
  int nStep = 0;
  for (const Step &tStep : atSteps) {
    ERC erc = 99;
    if (tStep.eOp == PUT) {
      erc = L_QUEUE_Put(Q_ETHERNET_TX, &u16Next);
      if (erc == 0) u16Next++;
    } else if (tStep.eOp == GET) {
      U16 u16Item = 0;
      erc = L_QUEUE_Get(Q_ETHERNET_TX, &u16Item);
      if (erc == 0) {
        EXPECT_EQ(u16Item, u16Expected++) << "step " << nStep;
      }
    } else {
      erc = L_QUEUE_Purge(Q_ETHERNET_TX);
    }
    EXPECT_EQ(erc, tStep.erc) << "step " << nStep;
    EXPECT_EQ(fired(), tStep.signalled) << "step " << nStep;
    nStep++;
  }
  EXPECT_EQ(L_QUEUE_Inquire(Q_ETHERNET_TX), 0);
}

TEST(Queue, RingKeepsOrderAcrossTheWrap) {
  // Auto-defined from its configured size at the first use: 2-byte items, 16 deep.
  EXPECT_EQ(L_QUEUE_Inquire(Q_SOUND), 0);
  U16 u16Put = 0, u16Get = 0;
  for (int nRound = 0; nRound < 5; nRound++) {
    for (int n = 0; n < 11; n++, u16Put++) ASSERT_EQ(L_QUEUE_Put(Q_SOUND, &u16Put), 0);
    for (int n = 0; n < 11; n++, u16Get++) {
      U16 u16Item;
      ASSERT_EQ(L_QUEUE_Get(Q_SOUND, &u16Item), 0);
      ASSERT_EQ(u16Item, u16Get);
    }
  }
  for (int n = 0; n < 16; n++) ASSERT_EQ(L_QUEUE_Put(Q_SOUND, &u16Put), 0);
  EXPECT_EQ(L_QUEUE_Put(Q_SOUND, &u16Put), -lsQUEUE_FULL);
  EXPECT_EQ(L_QUEUE_Inquire(Q_SOUND), 16);
}

TEST(Queue, CallersBufferWithItemsAlreadyInIt) {
  U32 au32Buffer[4] = {7, 8, 9, 0};
  ASSERT_EQ(L_QUEUE_Define(Q_PING, 4, 4, au32Buffer, 3), 0);
  EXPECT_EQ(L_QUEUE_Inquire(Q_PING), 3);
  U32 u32Item = 10;
  EXPECT_EQ(L_QUEUE_Put(Q_PING, &u32Item), 0);
  EXPECT_EQ(L_QUEUE_Put(Q_PING, &u32Item), -lsQUEUE_FULL);
  for (U32 u32Expected : {7u, 8u, 9u, 10u}) {
    ASSERT_EQ(L_QUEUE_Get(Q_PING, &u32Item), 0);
    EXPECT_EQ(u32Item, u32Expected);
  }
}

TEST(Queue, BadArguments) {
  U16 u16Item = 0;
  for (QUEUE queue : {0, -1, 13}) {
    EXPECT_EQ(L_QUEUE_Put(queue, &u16Item), -lsQUEUE_INVALID);
    EXPECT_EQ(L_QUEUE_Get(queue, &u16Item), -lsQUEUE_INVALID);
    EXPECT_EQ(L_QUEUE_Inquire(queue), -lsQUEUE_INVALID);
    EXPECT_EQ(L_QUEUE_Purge(queue), -lsQUEUE_INVALID);
    EXPECT_EQ(L_QUEUE_Define(queue, 1, 1, nullptr, 0), -lsQUEUE_INVALID);
  }
  EXPECT_EQ(L_QUEUE_DefineSema(Q_PING, SEMA_PING_QNE, 4), -lsQCOND_INVALID);
  EXPECT_EQ(L_QUEUE_DefineSema(Q_PING, 281, QNE), -lsSEMA_INVALID);
  EXPECT_EQ(L_QUEUE_Define(Q_PING, 0, 10, nullptr, 0), -lsQUEUE_NO_MEMORY);
  EXPECT_EQ(L_QUEUE_Define(Q_PING, 0x10000, 0x10000, nullptr, 0), -lsQUEUE_NO_MEMORY);
  EXPECT_STREQ(get_queue_name(Q_MSSBCAST_RX), "Q_MSSBCAST_RX");
}

std::atomic<U16> s_u16Got{0};

void vGetter(void) {
  U16 u16Item = 0;
  if (L_QUEUE_GetWait(Q_RECEIVE_UART3, &u16Item) == 0) s_u16Got = u16Item;
}

TEST(Queue, GetWaitBlocksUntilAPut) {
  TEST_vSetEntry(TEST_TASK_A, vGetter);
  ASSERT_EQ(L_TASK_Start(TEST_TASK_A), 0);
  usleep(2000);
  EXPECT_EQ(s_u16Got.load(), 0);
  U16 u16Item = 4242;
  ASSERT_EQ(L_QUEUE_Put(Q_RECEIVE_UART3, &u16Item), 0);
  TEST_vWaitFor([] { return s_u16Got.load() == 4242; });
}

}  // namespace
