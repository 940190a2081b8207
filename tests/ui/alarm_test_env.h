// The alarm task driven on the test thread: its mailbox and semaphores are served as its loop would, the tunes
// it asks for are read from the tone task's mailbox, and peers are recorded by the network stand-in.
#pragma once
#include <gtest/gtest.h>

#include <vector>

#include "settings/database.h"
#include "kernel/mbox.h"
#include "kernel/memory.h"
#include "kernel/sema.h"
#include "kernel/tick.h"
#include "kernel/timer.h"
#include "ui/info/alarm_task.h"
#include "ui_test_env.h"

struct PlayedTone {
  U32 u32Ms;  // since the fixture started
  TONE_SEQUENCE eTone;
  bool operator==(const PlayedTone &o) const { return u32Ms == o.u32Ms && eTone == o.eTone; }
};
inline std::ostream &operator<<(std::ostream &os, const PlayedTone &t) {
  return os << "{" << t.u32Ms << " ms, tone " << t.eTone << "}";
}

class AlarmTaskTest : public ::testing::Test {
 public:
  // A network message sent: address, port and body.
  struct Sent {
    U32 u32Address;
    U32 u32Port;
    U32 u32Activate;
    U32 u32Kind;
    bool operator==(const Sent &o) const {
      return u32Address == o.u32Address && u32Port == o.u32Port && u32Activate == o.u32Activate &&
             u32Kind == o.u32Kind;
    }
  };

 protected:
  void SetUp() override {
    REQUIRE_UI_TEST_CLOCK();
    L_MBOX_DefineSema(M_ALARM, SEMA_MBOX_ALARM);
    H_DATABASE_bUpdateEverythingU32(FCID("TTON"), M_TONE, P_NORMAL, D_MAILBOX, nullptr, DB_NO_TIMEOUT);
    H_DATABASE_bUpdateEverythingU32(FCID("CCST"), 3, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
    T_ALARM_vInit();
    T_ALARM_vBeforeWait();
    m_u32Start = H_TICK_u32ReadFreeRunningTimerInMilliSeconds();
    serve();
    tones();
    sent();
    UI_bTakeSignal(SEMA_KEYCLICK_GOOD);
    UI_bTakeSignal(SEMA_KEYCLICK_BAD);
  }
  void TearDown() override { T_ALARM_vResetForTest(); }

  // Hands the task every fired semaphore, as its wait would, until nothing is left.
  void serve() {
    static const SEMA kWaitList[] = {SEMA_MBOX_ALARM, SEMA_TIMER_ALARM, SEMA_CLEAR_ALARMS};
    TIMER_vSyncForTest();
    for (bool bAny = true; bAny;) {
      bAny = false;
      for (SEMA sema : kWaitList) {
        if (UI_bTakeSignal(sema)) {
          T_ALARM_vHandleSema(sema);
          bAny = true;
        }
      }
    }
    collectTones();
  }
  void run(U32 u32Ms) {
    for (U32 i = 0; i < u32Ms; ++i) {
      PLATFORM_CLOCK_vAdvanceTestClockMs(1);
      serve();
    }
  }
  U32 now() const { return H_TICK_u32ReadFreeRunningTimerInMilliSeconds() - m_u32Start; }

  static void post(void *pvMsg) { L_MBOX_Send(M_ALARM, pvMsg, NORMAL_PRIORITY, 0); }
  static ALARM_SET_MESSAGE *alarm(S32 s32Kind, TONE_SEQUENCE eInitial, TONE_SEQUENCE eReminder,
                                  void (*pfnCancel)(void) = nullptr, const char *pcText = "Alarm") {
    auto *pMsg = static_cast<ALARM_SET_MESSAGE *>(H_MEMORY_pvCalloc(1, sizeof(ALARM_SET_MESSAGE)));
    pMsg->header.Cmd = CMD_ID_SET_ALARM;
    pMsg->Priority = static_cast<ALARM_PRIORITY>(s32Kind);
    pMsg->pMessageString = pcText;
    pMsg->InitialToneID = eInitial;
    pMsg->ReminderToneID = eReminder;
    pMsg->pFunctionAlarmCancel = pfnCancel;
    return pMsg;
  }
  void raise(S32 s32Kind, TONE_SEQUENCE eInitial = TONE_USE_CUSTOM, TONE_SEQUENCE eReminder = TONE_USE_CUSTOM,
             void (*pfnCancel)(void) = nullptr) {
    post(alarm(s32Kind, eInitial, eReminder, pfnCancel));
    serve();
  }
  void clear(S32 s32Kind) {
    auto *pMsg = static_cast<ALARM_CLEAR_MESSAGE *>(H_MEMORY_pvCalloc(1, sizeof(ALARM_CLEAR_MESSAGE)));
    pMsg->header.Cmd = CMD_ID_CLEAR_ALARM;
    pMsg->Priority = static_cast<ALARM_PRIORITY>(s32Kind);
    post(pMsg);
    serve();
  }
  void key(U32 u32Key, CURSOR_POSITION eCursor = CURSOR_ILLEGAL, KEY_STATE eState = KEY_DOWN) {
    auto *pMsg = static_cast<MSG_KEY_CHANGE *>(H_MEMORY_pvCalloc(1, sizeof(MSG_KEY_CHANGE)));
    pMsg->header.Cmd = CMD_ID_KEY_CHANGE;
    pMsg->key = u32Key;
    pMsg->state = eState;
    pMsg->count = 1;
    pMsg->cursor = eCursor;
    L_MBOX_Send(M_ALARM, pMsg, EXTREMELY_HIGH_PRIORITY, 0);
    serve();
  }
  void addPeer(U32 u32Address) {
    GMSG_ADDRESS address;
    GMSG_vMakeSocketAddress(&address, u32Address, 1234);
    ASSERT_TRUE(U_ALARM_bAddPeer(&address));
    serve();
  }
  // A network message as the message layer hands it to the task; a NULL body stands for one not rebuilt.
  void receive(U32 u32Activate, U32 u32Kind, bool bBody = true) {
    auto *pMsg = static_cast<MSG_GMSG_RECEIVE *>(H_MEMORY_pvCalloc(1, sizeof(MSG_GMSG_RECEIVE)));
    pMsg->header.Cmd = CMD_ID_GMSG_RECEIVE;
    pMsg->Mailbox = M_ALARM;
    pMsg->MsgInfo.pMsgHeader = static_cast<GMSG_HEADER *>(H_MEMORY_pvCalloc(1, sizeof(GMSG_HEADER)));
    pMsg->MsgInfo.pMsgHeader->u32MsgId = GMSG_ID_ALARM_RECEIVE_DATA;
    pMsg->MsgInfo.bReceived = TRUE;
    if (bBody) {
      auto *pBody = static_cast<NETWORK_ALARM_MESSAGE *>(H_MEMORY_pvCalloc(1, sizeof(NETWORK_ALARM_MESSAGE)));
      *pBody = {u32Activate, u32Kind};
      pMsg->MsgInfo.pStructMsg = pBody;
    }
    post(pMsg);
    serve();
  }

  // Tunes asked of the tone task since the last call.
  std::vector<PlayedTone> tones() {
    collectTones();
    std::vector<PlayedTone> result;
    result.swap(m_tones);
    return result;
  }
  // Network messages sent since the last call.
  std::vector<Sent> sent() {
    std::vector<Sent> result;
    GMSG_STANDIN_SENT aSent[32];
    for (U32 n; (n = GMSG_STANDIN_u32TakeSent(aSent, 32)) != 0;) {
      for (U32 i = 0; i < n; ++i) {
        EXPECT_EQ(aSent[i].MsgId, GMSG_ID_ALARM_RECEIVE_DATA);
        NETWORK_ALARM_MESSAGE body;
        memcpy(&body, aSent[i].aBody, sizeof body);
        result.push_back({aSent[i].Address.uAddr.SocketAddress.u32Address,
                          aSent[i].Address.uAddr.SocketAddress.u32Port, body.activate, body.priority});
      }
    }
    return result;
  }

 private:
  void collectTones() {
    while (void *pvMsg = L_MBOX_Receive(M_TONE)) {
      auto *pPlay = static_cast<MSG_PLAY_TONE *>(pvMsg);
      EXPECT_EQ(pPlay->header.Cmd, CMD_ID_PLAY_TONE);
      EXPECT_TRUE(pPlay->bAlarmTone);
      m_tones.push_back({now(), pPlay->StandardToneID});
      H_MEMORY_vDumpMail(pvMsg);
    }
  }
  U32 m_u32Start = 0;
  std::vector<PlayedTone> m_tones;
};

inline std::ostream &operator<<(std::ostream &os, const AlarmTaskTest::Sent &s) {
  return os << "{" << std::hex << s.u32Address << std::dec << ":" << s.u32Port << " {" << s.u32Activate << ", "
            << s.u32Kind << "}}";
}
