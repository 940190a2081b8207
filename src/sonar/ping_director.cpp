// The ping data director: every ping, live or played back, passes here on its way to processing or back to
// the pool.
#include <cstring>

#include "kernel/log.h"
#include "kernel/mbox.h"
#include "kernel/memory.h"
#include "kernel/mutex.h"
#include "net/gmsg_standin.h"
#include "sonar/ping_exchange.h"
#include "sonar/ping_server.h"
#include "settings/database.h"
#include "sonar/ping_source.h"
#include "sonar/ping_state.h"
#include "sonar/ping_task.h"

namespace {

template <typename T>
T *newMessage(CMD_ID eCmd) {
  auto *pMsg = static_cast<T *>(H_MEMORY_pvMalloc(sizeof(T)));
  std::memset(pMsg, 0, sizeof(T));
  pMsg->header.Cmd = eCmd;
  return pMsg;
}

U32 currentTransducer() {
  U32 u32Kind = 0;
  BOOLEAN bValid = FALSE;
  H_DATABASE_bFetchU32(FCID("SSTS"), &u32Kind, &bValid, nullptr);
  return u32Kind;
}

constexpr U32 kStreamPort[NUMBER_OF_SONAR_SOURCES] = {50880, 50882, 50882, 50883};

// The multicast copy of a ping for the clients of its source: the descriptor image, then the samples.
void sendToClients(NET_SOURCE_TYPE eSource, PING_DESCRIPTOR *pPing) {
  void *pvDestinations = T_N_PING_pvNetworkDestinations();
  U32 u32Index = 0;
  U32 u32UserWord = 0;
  L_MUTEX_LockWait(RES_SONAR_SHARE);
  GMSG_ADDRESS *pFirst = U_NETWORKDEST_gapNext(pvDestinations, &u32Index, &u32UserWord);
  perClientDataType *pClient = T_N_PING_pClientData(u32UserWord);
  if (pFirst == nullptr || pClient == nullptr || !T_N_PING_bCheckActiveClientList(eSource)) {
    L_MUTEX_Unlock(RES_SONAR_SHARE);
    return;
  }
  if (pClient->u32MaximumSampleCount < pPing->u32NumberOfSamples) {
    pPing->u32NumberOfSamples = pClient->u32MaximumSampleCount;
  }
  const U32 u32Length = PING_IMAGE_SIZE + pPing->u32NumberOfSamples;
  auto *pu8Copy = static_cast<U8 *>(H_MEMORY_pvMallocNoWait(u32Length));
  if (pu8Copy == nullptr) {
    log_me("T_N_PING_myPDSerializer malloc failed!! %d bytes", static_cast<int>(u32Length));
    L_MUTEX_Unlock(RES_SONAR_SHARE);
    return;
  }
  S_PING_vWriteImage(pPing, pu8Copy);
  std::memcpy(pu8Copy + PING_IMAGE_SIZE, pPing->pu8RawSonarData, pPing->u32NumberOfSamples);
  U32 u32Group = 0;
  if (eSource == SONAR_SOURCE_2D || eSource == SONAR_SOURCE_ZP) T_ETHERNET_vGetMulticastIpAddress(eSource, &u32Group);
  GMSG_ADDRESS Stream;
  GMSG_vMakeSocketAddress(&Stream, u32Group, kStreamPort[eSource % NUMBER_OF_SONAR_SOURCES]);
  const GMSG_ALT_TRANSPORT alt = {TRUE, u32Length, 1};
  if (U_GMSG_bSendMsgNoReplyAlt(M_PING, &Stream, GMSG_ID_SONAR_RECEIVE_DATA, &DT_PING_DESCRIPTOR, pu8Copy, 0, &alt)) {
    pClient->u32SendConsecutiveErrorCount = 0;
  } else {
    log_me("T_N_PING_bSendToNetworkDestinations: U_GMSG_bSendMsgNoReplyAlt failed!!!\n");
    H_MEMORY_vFree(pu8Copy);
  }
  L_MUTEX_Unlock(RES_SONAR_SHARE);
}

}  // namespace

void T_N_PING_vSendToProcessing(PING_DESCRIPTOR *pPing) {
  auto *pMsg = newMessage<PING_MESSAGE>(CMD_ID_SONAR_PROCESS_PING);
  pMsg->pReturnDescriptor = pPing;
  L_MBOX_Send(M_PROCESS, pMsg, 3, 0);
}

NET_SOURCE_TYPE T_N_PING_eSourceForBeam(BEAM Beam) {
  if (Beam == 3 || (Beam == 2 && currentTransducer() != 15)) return SONAR_SOURCE_ZP;
  return SONAR_SOURCE_2D;
}

void X_pingDataDirector(NET_SOURCE_TYPE eNetSourceType, BOOLEAN isRecordPlayback, networkSonarProcessType processType,
                        int blankPing, PING_DESCRIPTOR *pReturn1, PING_DESCRIPTOR *pReturn2,
                        PING_DESCRIPTOR *pReturn3) {
  PING_DESCRIPTOR *apPing[3] = {pReturn1, pReturn2, pReturn3};
  if (pReturn1->Beam == 0xFF) pReturn1->u32TransmitFrequencyHertz = 200000;
  if (!isRecordPlayback) {
    pReturn1->bIsLocal = FALSE;
    if (T_N_PING_bZeroPingData()) {
      for (PING_DESCRIPTOR *pPing : apPing) {
        if (pPing != nullptr) std::memset(pPing->pu8RawSonarData, 0, pPing->u32NumberOfSamples);
      }
    }
  }

  if (!isRecordPlayback && T_N_PING_pvNetworkDestinations() != nullptr && T_N_PING_bSonarEnabled()) {
    if (processType == NETWORK_SONAR_PROCESS) {
      sendToClients(eNetSourceType, pReturn1);
    } else if (processType == NETWORK_SONAR_PROCESS_BLANK) {
      log_me("T_N_PING_bSendToNetworkDestinations: NETWORK_SONAR_PROCESS_BLANK\n");
    } else {
      log_me("T_N_PING_bSendToNetworkDestinations: NETWORK_SONAR_PROCESS_3D\n");
    }
  }

  const SYSTEM_STATE eState = U_PING_eGetSystemState();
  const BOOLEAN bDrop =
      (eState == STATE_PLAYBACK && !isRecordPlayback) ||
      (eState != STATE_PLAYBACK && U_PING_eGetNetworkClientState(eNetSourceType) == NETWORK_CLIENT_STATE_CONNECTED);
  if (bDrop) {
    if (processType == NETWORK_SONAR_PROCESS_3D) {
      const char *apcText[3] = {"Couldn't return descriptor 1 to queue", "Couldn't return descriptor 2 to queue",
                                "Couldn't return descriptor 3 to queue"};
      for (U32 i = 0; i < 3; ++i) {
        if (apPing[i] != nullptr) T_N_PING_vReturnDescriptor(apPing[i], apcText[i]);
      }
    } else {
      T_N_PING_vReturnDescriptor(pReturn1, "Couldn't return descriptor to queue");
    }
    return;
  }

  switch (processType) {
    case NETWORK_SONAR_PROCESS: {
      const U32 u32Network = T_N_PING_u32NetworkPingMask();
      const BOOLEAN bSimOrPlayback =
          eState == STATE_SIMULATION || eState == STATE_POINT_OF_SALE || eState == STATE_PLAYBACK;
      if ((!bSimOrPlayback && (pReturn1->Beam == 2 || pReturn1->Beam == 3) && (u32Network & 4)) ||
          (eState != STATE_PLAYBACK && (pReturn1->Beam == 0 || pReturn1->Beam == 1) && (u32Network & 1))) {
        T_N_PING_vReturnDescriptor(pReturn1, "Couldn't return descriptor to queue");
        return;
      }
      pReturn1->bIsLocal = TRUE;
      T_N_PING_vSendToProcessing(pReturn1);
      break;
    }
    case NETWORK_SONAR_PROCESS_BLANK: {
      auto *pMsg = newMessage<MSG_BLANK_SCROLL_PING>(CMD_ID_BLANK_SCROLL_PING);
      pMsg->Beam = pReturn1->Beam;
      pMsg->u32TransmitFrequencyHertz = pReturn1->u32TransmitFrequencyHertz;
      pReturn1->bIsLocal = TRUE;
      L_MBOX_Send(M_PROCESS, pMsg, 3, 0);
      T_N_PING_vReturnDescriptor(pReturn1, "Couldn't return descriptor to queue");
      break;
    }
    case NETWORK_SONAR_PROCESS_3D: {
      auto *pMsg = newMessage<TRIPLE_PING_MESSAGE>(CMD_ID_SONAR_PROCESS_TRIPLE_PING);
      for (U32 i = 0; i < 3; ++i) {
        if (apPing[i] != nullptr) apPing[i]->bIsLocal = TRUE;
        pMsg->apReturnDescriptor[i] = apPing[i];
      }
      pMsg->bBlankPing = static_cast<BOOLEAN>(blankPing != 0);
      L_MBOX_Send(M_3D_PROCESS, pMsg, 3, 0);
      break;
    }
  }
}
