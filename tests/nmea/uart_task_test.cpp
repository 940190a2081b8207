// The UART task over pseudo-terminal pairs: start-up discard, line starts, ownership, capture by trigger
// character, the messages' answers, transmission and the half-duplex turnaround.
#include <fcntl.h>
#include <termios.h>

#include <fstream>
#include <iterator>
#include <thread>

#include "kernel/sema.h"
#include "nmea/task_post.h"
#include "nmea_fixture.h"

namespace {

constexpr TASK kHash = TEST_TASK_A;   // stands for the PC link, trigger '#'
constexpr TASK kOther = TEST_TASK_B;

MSG_CAPTURE_CHANNEL *captureMsg(U8 u8Channel, BYTE cTrigger, SEMA sema) {
  auto *pMsg = NMEA_pNewMessage<MSG_CAPTURE_CHANNEL>(CMD_ID_CAPTURE_CHANNEL);
  pMsg->uart = u8Channel;
  pMsg->byteMatchCharacter = cTrigger;
  pMsg->semaphore = sema;
  return pMsg;
}
MSG_CHANGE_BAUD_RATE *baudMsg(U8 u8Channel, U32 u32Baud) {
  auto *pMsg = NMEA_pNewMessage<MSG_CHANGE_BAUD_RATE>(CMD_ID_CHANGE_BAUD_RATE);
  pMsg->uart = u8Channel;
  pMsg->baud_rate = u32Baud;
  return pMsg;
}
MSG_DISCONNECT *releaseMsg(U8 u8Channel, BOOLEAN bForce4800) {
  auto *pMsg = NMEA_pNewMessage<MSG_DISCONNECT>(CMD_ID_DISCONNECT);
  pMsg->channel = u8Channel;
  pMsg->flag = bForce4800;
  return pMsg;
}
// Asks from the numbered task; the answer.
template <TASK task, typename MSG>
BOOLEAN askAs(MSG *pMsg) {
  BOOLEAN bFlag = FALSE;
  TEST_vRunAsTask<task>([&] {
    bFlag = TEST_bAsk(pMsg, SEMA_TEST_PARAMS);
    H_MEMORY_vFree(pMsg);
  });
  return bFlag;
}
// A release has no answer: the task waits for the acknowledgement only.
template <TASK task>
void releaseAs(U8 u8Channel, BOOLEAN bForce4800) {
  askAs<task>(releaseMsg(u8Channel, bForce4800));
}

class UartTaskTest : public SerialTest {};

TEST_F(UartTaskTest, ChannelsStartWithTheirRatesQueuesAndModes) {
  struct Row {
    U8 u8Channel;
    U32 u32Baud;
    U32 u32Mode;
    QUEUE queueTx, queueRx;
    U32 u32TxDepth, u32RxDepth;
  } const kRows[] = {
      {0, 38400, UART_FULL_DUPLEX, 1, 2, 128, 1050},
      {1, 115200, UART_HALF_DUPLEX_RECEIVE, 3, 4, 256, 1024},
      {2, 4800, UART_FULL_DUPLEX, 5, 6, 128, 256},
      {3, 4800, UART_FULL_DUPLEX, 7, 8, 128, 128},
  };
  // Depths measured before the task runs (it would drain the transmit queues).
  auto depth = [](QUEUE queue, U32 u32Width) {
    const U16 u16Entry = 'a';
    U32 u32Count = 0;
    while (L_QUEUE_Put(queue, &u16Entry) == 0) ++u32Count;
    L_QUEUE_Purge(queue);
    (void)u32Width;
    return u32Count;
  };
  for (const Row &row : kRows) {
    SCOPED_TRACE(row.u8Channel);
    EXPECT_EQ(T_UART_nGetQueue(row.u8Channel, TRUE), row.queueTx);
    EXPECT_EQ(T_UART_nGetQueue(row.u8Channel, FALSE), row.queueRx);
    EXPECT_EQ(depth(row.queueTx, 1), row.u32TxDepth);
    EXPECT_EQ(depth(row.queueRx, 2), row.u32RxDepth);
  }
  EXPECT_EQ(T_UART_nGetQueue(4, TRUE), -1);
  EXPECT_EQ(T_UART_nGetQueue(4, FALSE), -1);
  startUart();
  for (const Row &row : kRows) {
    SCOPED_TRACE(row.u8Channel);
    EXPECT_EQ(T_UART_u32BaudRateForTest(row.u8Channel), row.u32Baud);
    EXPECT_EQ(T_UART_u32ModeForTest(row.u8Channel), row.u32Mode);
    EXPECT_FALSE(T_UART_bChannelIsOwned(row.u8Channel));
  }
  EXPECT_FALSE(T_UART_bChannelIsOwned(4));
}

TEST_F(UartTaskTest, StartUpPeriodAndReleasesDiscardUpToTheNextLineEnd) {
  startUart();
  BOOLEAN bFlag = TRUE;
  TEST_vRunAsTask<kHash>([&] { bFlag = TEST_bAsk(captureMsg(0, '#', SEMA_USER_TEST), SEMA_TEST_PARAMS); });
  EXPECT_TRUE(bFlag);
  feed(0, "\r#A\r");  // within the first 800 ms: discarded, so no line start is known afterwards
  endInitPeriod();
  EXPECT_FALSE(T_UART_bChannelIsOwned(0));
  feed(0, "#B\r#C\r");  // the search for the first line end takes "#B\r"
  EXPECT_EQ(T_UART_taskOwnerForTest(0), kHash);
  EXPECT_EQ(takeReceived(0), "#C\r");
  // The owner releases: everything up to and including the next line end goes.
  releaseAs<kHash>(0, FALSE);
  EXPECT_FALSE(T_UART_bChannelIsOwned(0));
  L_SEMA_SetPending(SEMA_USER_TEST);
  feed(0, "#D\n#E\r");
  EXPECT_EQ(T_UART_taskOwnerForTest(0), kHash);
  EXPECT_EQ(takeReceived(0), "#E\r");
}

TEST_F(UartTaskTest, LineStartTriggersHandTheChannelOver) {
  startUartAndEndInitPeriod();
  L_SEMA_SetPending(SEMA_NMEA_DETECTED);
  L_SEMA_SetPending(SEMA_USER_TEST);
  EXPECT_TRUE(askAs<kOther>(captureMsg(0, '$', SEMA_NMEA_DETECTED)));
  EXPECT_TRUE(askAs<kHash>(captureMsg(0, '#', SEMA_USER_TEST)));
  feed(0, "junk\r");
  struct Step {
    const char *pcLine;
    TASK owner;       // afterwards, 0 free
    const char *pcQueued;
    SEMA semaFired;   // 0: none
  } const kSteps[] = {
      {"X12,34\r", 0, "", 0},                 // no request for 'X': dropped
      {"a#b$c\r", 0, "", 0},                  // triggers not at a line start
      {"#T\r", kHash, "#T\r", SEMA_USER_TEST},  // the PC link's line
      {"$GPGGA\r", kHash, "$GPGGA\r", 0},      // owned: everything goes to the owner
  };
  for (const Step &step : kSteps) {
    SCOPED_TRACE(step.pcLine);
    feed(0, step.pcLine);
    EXPECT_EQ(T_UART_taskOwnerForTest(0), step.owner);
    EXPECT_EQ(takeReceived(0), step.pcQueued);
    if (step.semaFired != 0) {
      EXPECT_EQ(L_SEMA_GetWaitingTaskID(step.semaFired), -lsSEMA_DONE);
      L_SEMA_SetPending(step.semaFired);
    }
  }
  EXPECT_EQ(L_SEMA_GetWaitingTaskID(SEMA_NMEA_DETECTED), -lsSEMA_PENDING);
  // The requests stay after a hand-over: released, the next '$' line captures for the other task.
  releaseAs<kHash>(0, FALSE);
  feed(0, "\r$GPRMC\r");
  EXPECT_EQ(T_UART_taskOwnerForTest(0), kOther);
  EXPECT_EQ(takeReceived(0), "$GPRMC\r");
  EXPECT_EQ(L_SEMA_GetWaitingTaskID(SEMA_NMEA_DETECTED), -lsSEMA_DONE);
}

TEST_F(UartTaskTest, OfTwoRequestsWithOneTriggerTheLaterWins) {
  startUartAndEndInitPeriod();
  EXPECT_TRUE(askAs<kHash>(captureMsg(2, '!', SEMA_USER_TEST)));
  EXPECT_TRUE(askAs<kOther>(captureMsg(2, '!', SEMA_TEST_EXT_NMEA)));
  feed(2, "\r!AIVDM\r");
  EXPECT_EQ(T_UART_taskOwnerForTest(2), kOther);
  EXPECT_EQ(takeReceived(2), "!AIVDM\r");
}

TEST_F(UartTaskTest, MessagesAnswerByOwnership) {
  startUartAndEndInitPeriod();
  // Channel 2 owned by the '#' task from here on.
  ASSERT_TRUE(askAs<kHash>(captureMsg(2, 0, 0)));
  struct Case {
    const char *pcWhat;
    std::function<BOOLEAN()> fnAsk;
    BOOLEAN bFlag;
    TASK ownerAfter;
    U32 u32BaudAfter;
  } const kCases[] = {
      {"rate from a task that does not own it", [] { return askAs<kOther>(baudMsg(2, 9600)); }, FALSE, kHash, 4800},
      {"rate from the owner", [] { return askAs<kHash>(baudMsg(2, 9600)); }, TRUE, kHash, 9600},
      {"rate of channel 4", [] { return askAs<kHash>(baudMsg(4, 9600)); }, FALSE, kHash, 9600},
      {"take if free, owned by another", [] { return askAs<kOther>(captureMsg(2, 0, 0)); }, FALSE, kHash, 9600},
      {"owner takes again, no request queued", [] { return askAs<kHash>(captureMsg(2, 0, 0)); }, TRUE, kHash, 9600},
      {"conditional on an owned channel without requests", [] { return askAs<kOther>(captureMsg(2, '!', 200)); },
       FALSE, kHash, 9600},
      {"release from another task: ignored", [] { releaseAs<kOther>(2, TRUE); return TRUE; }, TRUE, kHash, 9600},
      {"release to 4800 by the owner", [] { releaseAs<kHash>(2, TRUE); return TRUE; }, TRUE, 0, 4800},
      {"take now", [] { return askAs<kHash>(captureMsg(2, 0, 0)); }, TRUE, kHash, 4800},
      {"rate from the owner", [] { return askAs<kHash>(baudMsg(2, 19200)); }, TRUE, kHash, 19200},
      {"release to the initial rate", [] { releaseAs<kHash>(2, FALSE); return TRUE; }, TRUE, 0, 4800},
      {"rate of a free channel", [] { return askAs<kOther>(baudMsg(2, 9600)); }, TRUE, 0, 9600},
      {"take now", [] { return askAs<kHash>(captureMsg(2, 0, 0)); }, TRUE, kHash, 9600},
      {"forced capture by another task", [] { return askAs<kOther>(captureMsg(2, 0, -1)); }, TRUE, kOther, 9600},
      {"conditional request while owned", [] { return askAs<kHash>(captureMsg(2, '#', 200)); }, FALSE, kOther, 9600},
      {"capture of channel 4", [] { return askAs<kHash>(captureMsg(4, 0, -1)); }, FALSE, kOther, 9600},
  };
  for (const Case &c : kCases) {
    SCOPED_TRACE(c.pcWhat);
    EXPECT_EQ(c.fnAsk(), c.bFlag);
    EXPECT_EQ(T_UART_taskOwnerForTest(2), c.ownerAfter);
    EXPECT_EQ(T_UART_u32BaudRateForTest(2), c.u32BaudAfter);
  }
}

// A receive-error event reopens the port only when the driver reports an error: the queues are emptied and
// input up to the next line end is dropped, while owner and rate stay.
TEST_F(UartTaskTest, ReceiveErrorReopensThePortAndWaitsForTheNextLineEnd) {
  startUartAndEndInitPeriod();
  ASSERT_TRUE(askAs<kHash>(captureMsg(2, 0, 0)));
  ASSERT_TRUE(askAs<kHash>(baudMsg(2, 9600)));
  // The event handled, and everything the task did for it: its status read, then a message answered after it.
  auto receiveError = [&](U8 u8Status) {
    const U32 u32Reads = DD_UART_u32RxStatusReadsForTest(2);
    DD_UART_vSetRxStatusForTest(2, u8Status);
    L_SEMA_Signal(SEMA_UART2_RECEIVE_ERROR);
    TEST_vWaitFor([&] { return DD_UART_u32RxStatusReadsForTest(2) > u32Reads; });
    EXPECT_TRUE(askAs<kHash>(baudMsg(2, 9600)));
  };
  feed(2, "ab");
  receiveError(0);
  EXPECT_EQ(takeReceived(2), "ab");
  feed(2, "cd");
  receiveError(0x02);  // overrun
  EXPECT_EQ(takeReceived(2), "");
  EXPECT_EQ(T_UART_taskOwnerForTest(2), kHash);
  EXPECT_EQ(T_UART_u32BaudRateForTest(2), 9600u);
  EXPECT_GT(DD_UART_nHandleForTest(2), 0);
  feed(2, "cut\rwhole\r");
  EXPECT_EQ(takeReceived(2), "whole\r");
}

TEST_F(UartTaskTest, OwnerTakesAgainOnlyWhileNoConditionalRequestIsQueued) {
  startUartAndEndInitPeriod();
  ASSERT_TRUE(askAs<kOther>(captureMsg(3, '!', SEMA_USER_TEST)));
  ASSERT_TRUE(askAs<kHash>(captureMsg(3, 0, 0)));
  EXPECT_FALSE(askAs<kHash>(captureMsg(3, 0, 0)));
  // With a request queued, further requests are taken on the owned channel.
  EXPECT_TRUE(askAs<kOther>(captureMsg(3, '?', SEMA_TEST_EXT_NMEA)));
  EXPECT_EQ(T_UART_taskOwnerForTest(3), kHash);
}

TEST_F(UartTaskTest, ClientFunctionsPostOnlyForValidChannelsAndAPublishedMailbox) {
  EXPECT_FALSE(U_UART_bChangeBaudRate(0, 9600));  // no 'TURT' yet
  EXPECT_FALSE(U_UART_bAllocateChannel(0));
  startUartAndEndInitPeriod();
  EXPECT_FALSE(U_UART_bChangeBaudRate(4, 9600));
  EXPECT_FALSE(U_UART_bReleaseChannel(4, TRUE));
  EXPECT_FALSE(U_UART_bRegisterForChannel(4, '$', 107));
  EXPECT_FALSE(U_UART_bAllocateChannel(4));
  EXPECT_FALSE(U_UART_bTransmitData(4, "x", 1));
  EXPECT_TRUE(U_UART_bTransmitData(0, "x", 0));
  EXPECT_EQ(T_UART_u32BaudRateForTest(3), 4800u);
  TEST_vRunAsTask<kHash>([] {
    EXPECT_TRUE(U_UART_bAllocateChannel(3));
    EXPECT_TRUE(U_UART_bChangeBaudRate(3, 9600));
  });
  TEST_vWaitFor([] { return T_UART_u32BaudRateForTest(3) == 9600; });
  EXPECT_EQ(T_UART_taskOwnerForTest(3), kHash);
  TEST_vRunAsTask<kHash>([] { EXPECT_TRUE(U_UART_bReleaseChannel(3, TRUE)); });
  TEST_vWaitFor([] { return !T_UART_bChannelIsOwned(3); });
  EXPECT_EQ(T_UART_u32BaudRateForTest(3), 4800u);
}

TEST_F(UartTaskTest, ConcurrentSendersNeverInterleaveTheirSentences) {
  startUartAndEndInitPeriod();
  // Longer than the transmit queue, so each sender waits for the queue to drain mid-sentence.
  const std::string sA = "$AAAAA," + std::string(300, 'a') + "*00\r\n";
  const std::string sB = "$BBBBB," + std::string(300, 'b') + "*00\r\n";
  constexpr int kRounds = 20;
  std::thread tA([&] {
    for (int i = 0; i < kRounds; ++i) U_UART_bTransmitData(0, sA.data(), static_cast<int>(sA.size()));
  });
  std::thread tB([&] {
    for (int i = 0; i < kRounds; ++i) U_UART_bTransmitData(0, sB.data(), static_cast<int>(sB.size()));
  });
  const std::string sSent = readSent(0, kRounds * (sA.size() + sB.size()));
  tA.join();
  tB.join();
  ASSERT_EQ(sSent.size(), kRounds * (sA.size() + sB.size()));
  int nA = 0, nB = 0;
  for (size_t pos = 0; pos < sSent.size();) {
    const std::string &sExpected = sSent.compare(pos, 6, "$AAAAA") == 0 ? sA : sB;
    ASSERT_EQ(sSent.compare(pos, sExpected.size(), sExpected), 0) << "at " << pos;
    (&sExpected == &sA ? nA : nB)++;
    pos += sExpected.size();
  }
  EXPECT_EQ(nA, kRounds);
  EXPECT_EQ(nB, kRounds);
}

TEST_F(UartTaskTest, HalfDuplexChannelReceivesAgainOnceItsOutputHasDrained) {
  startUartAndEndInitPeriod();
  ASSERT_EQ(T_UART_u32ModeForTest(1), static_cast<U32>(UART_HALF_DUPLEX_RECEIVE));
  const std::string sFrame(40, '\x55');
  EXPECT_TRUE(U_UART_bTransmitData(1, sFrame.data(), static_cast<int>(sFrame.size())));
  // A busy machine may drain the queue before the whole frame is in, so the line may turn more than once.
  TEST_vWaitFor([] { return L_QUEUE_Inquire(T_UART_nGetQueue(1, TRUE)) == 0 && T_UART_u32TransmitTurnsForTest(1) >= 1; });
  // Re-checks run on kernel timers: move the clock until the line is turned round.
  while (T_UART_u32ModeForTest(1) != UART_HALF_DUPLEX_RECEIVE) {
    PLATFORM_CLOCK_vAdvanceTestClockMs(1);
    TIMER_vSyncForTest();
  }
  EXPECT_EQ(L_QUEUE_Inquire(T_UART_nGetQueue(1, TRUE)), 0);
  struct termios tAttr;
  ASSERT_EQ(tcgetattr(DD_UART_nHandleForTest(1), &tAttr), 0);
  EXPECT_TRUE(tAttr.c_cflag & CREAD);
  // Port 1 sends nothing of its own; the master sees no frame.
  struct pollfd tPoll = {m_anMaster[1], POLLIN, 0};
  EXPECT_EQ(poll(&tPoll, 1, 0), 0);
  // A full-duplex channel never turns.
  EXPECT_TRUE(U_UART_bTransmitData(2, "$X\r\n", 4));
  EXPECT_EQ(readSent(2, 4), "$X\r\n");
  EXPECT_EQ(T_UART_u32TransmitTurnsForTest(2), 0u);
}

TEST_F(UartTaskTest, ShutdownClosesThePortsAndLaterOutputIsOnlyEmptied) {
  startUartAndEndInitPeriod();
  ASSERT_TRUE(askAs<kHash>(captureMsg(0, 0, 0)));
  auto *pMsg = static_cast<GENERIC_MESSAGE *>(H_MEMORY_pvCalloc(1, sizeof(GENERIC_MESSAGE)));
  pMsg->Cmd = CMD_ID_SHUTDOWN;
  ASSERT_EQ(L_MBOX_SendWait(M_COM1A, pMsg, NORMAL_PRIORITY, SEMA_TEST_PARAMS), 0);
  H_MEMORY_vFree(pMsg);
  for (U8 u8Channel = 0; u8Channel < UART_CHANNELS; ++u8Channel) {
    EXPECT_LE(DD_UART_nHandleForTest(u8Channel), 0);
    EXPECT_FALSE(T_UART_bChannelIsOwned(u8Channel));
  }
  EXPECT_TRUE(U_UART_bTransmitData(0, "$X\r\n", 4));
  TEST_vWaitFor([] { return L_QUEUE_Inquire(T_UART_nGetQueue(0, TRUE)) == 0; });
}

class UartTaskDeathTest : public SerialTest {};

TEST_F(UartTaskDeathTest, SecondOwnerOfTheMailboxKeyOrNoTimerResetsTheUnit) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  H_DATABASE_bUpdateEverythingU32(FCID("TURT"), 7, P_HIGHEST, D_MAILBOX, nullptr, DB_NO_TIMEOUT);
  EXPECT_EXIT(T_UART_vMain(), ::testing::ExitedWithCode(10), "");
  EXPECT_NE(fatalLog().find("Somebody else registered the UART Task Mailbox"), std::string::npos);
  H_DATABASE_vInit();
  EXPECT_EXIT(
      {
        while (L_TIMER_Allocate() != nullptr) {
        }
        T_UART_vMain();
      },
      ::testing::ExitedWithCode(10), "");
  EXPECT_NE(fatalLog().find("No TImers"), std::string::npos);
}

}  // namespace

namespace {

TEST_F(UartTaskTest, OwnPseudoTerminalThatNobodyReadsDropsOutputInsteadOfBlocking) {
  unsetenv("CORVAN_SERIAL0");  // channel 0 on the unit's own pseudo-terminal, linked as dev/ttyS0
  startUartAndEndInitPeriod();
  // Far more than the terminal buffers: without a reader the sender must not stall.
  const std::string sBurst(4096, 'x');
  for (int i = 0; i < 8; ++i) {
    ASSERT_TRUE(U_UART_bTransmitData(0, sBurst.data(), static_cast<int>(sBurst.size())));
  }
  TEST_vWaitFor([] { return L_QUEUE_Inquire(T_UART_nGetQueue(0, TRUE)) == 0; });
  EXPECT_FALSE(askAs<kHash>(captureMsg(4, 0, 0)));  // the task still answers
  // A tool attached now gets what is sent from now on.
  const int nTool = open((m_sDataDir + "/devroot/dev/ttyS0").c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(nTool, 0);
  struct termios tAttr;
  ASSERT_EQ(tcgetattr(nTool, &tAttr), 0);
  cfmakeraw(&tAttr);
  tcsetattr(nTool, TCSANOW, &tAttr);
  tcflush(nTool, TCIOFLUSH);
  ASSERT_TRUE(U_UART_bTransmitData(0, "$END\r\n", 6));
  std::string sSeen;
  while (sSeen.find("$END\r\n") == std::string::npos) {
    struct pollfd tPoll = {nTool, POLLIN, 0};
    ASSERT_EQ(poll(&tPoll, 1, 10000), 1);
    char acBuf[256];
    const ssize_t n = read(nTool, acBuf, sizeof(acBuf));
    ASSERT_GT(n, 0);
    sSeen.append(acBuf, static_cast<size_t>(n));
  }
  // The reader of the own terminal ends once the port is closed and one more byte arrives.
  L_TASK_Terminate(UARTTASK);
  m_bUartStarted = false;
  DD_UART_vKill(0);
  ASSERT_EQ(write(nTool, "\r", 1), 1);
  TEST_vWaitFor([] { return !DD_UART_bReaderRunsForTest(0); });
  close(nTool);
}

}  // namespace
