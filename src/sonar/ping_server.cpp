#include "sonar/ping_server.h"

#include <cmath>
#include <initializer_list>
#include <cstring>

#include "kernel/log.h"
#include "kernel/mutex.h"
#include "kernel/queue.h"
#include "kernel/tick.h"
#include "settings/database.h"
#include "sonar/ping_exchange.h"
#include "sonar/ping_plan.h"
#include "sonar/ping_source.h"
#include "sonar/ping_state.h"
#include "sonar/ping_task.h"
#include "sonar/transducer.h"
#include "ui/info/alarm.h"

namespace {

float s_fNetworkActualDepthToListen = 0.0f;
float s_fNetworkActualDepthToPing = 0.0f;

U32 s_u32TypedPingsFromServers = 0;

const GMSG_MAP_INFO s_PING_MsgMapInfo[] = {
    {GMSG_ID_SONAR_REQUEST_DATA, T_N_PING_bHandleNewDataRequest, &DT_SONAR_REQUEST_DATA, nullptr, nullptr},
    {GMSG_ID_SONAR_RECEIVE_DATA, T_N_PING_bHandleDataRecieve, &DT_PING_DESCRIPTOR, nullptr, nullptr},
    {GMSG_ID_SONAR_CONTROL_CHANGE, T_N_PING_bHandleControlChangeRecieve, &DT_CONTROL_CHANGE, nullptr, nullptr},
    {GMSG_ID_SONAR_PING_DEPTH_DATA, T_N_PING_bHandleReceivePingDepth, &DT_SONAR_PING_DEPTH, nullptr, nullptr},
    {GMSG_ID_SONAR_TRANSDUCER_CHANGE, T_N_PING_bHandleTransducerChange, &DT_SONAR_TRANSDUCER_CHANGE, nullptr, nullptr},
    {GMSG_ID_STATUS, T_N_PING_bHandleNiceMessageAboutSomethingInThePast, nullptr, nullptr, nullptr},
    {0, nullptr, nullptr, nullptr, nullptr},
};

U32 senderAddress(const GMSG_INFO *pMsgInfo) {
  return pMsgInfo->pMsgHeader != nullptr ? pMsgInfo->pMsgHeader->SrcAddress.uAddr.SocketAddress.u32Address : 0;
}

BOOLEAN listed(U16 u16Source, U32 u32Address) {
  for (const sonarRegisteredClientNode *pNode = *T_N_PING_ppClientList(u16Source); pNode != nullptr;
       pNode = pNode->next) {
    if (pNode->u32ClientAddress == u32Address) return TRUE;
  }
  return FALSE;
}

U32 fetchMask(const char (&acKey)[5]) {
  U32 u32Value = 0;
  BOOLEAN bValid = FALSE;
  return H_DATABASE_bFetchU32(FCID(acKey), &u32Value, &bValid, nullptr) && bValid ? u32Value : 0;
}

void setClientBit(U32 u32Source) {
  const U32 u32Mask = fetchMask("ECPM");
  if ((u32Mask & (1u << u32Source)) == 0) {
    H_DATABASE_bUpdateEverythingU32(FCID("ECPM"), u32Mask | 1u << u32Source, P_NORMAL, D_UNKNOWN, nullptr,
                                    DB_NO_TIMEOUT);
  }
}

}  // namespace

// An empty list n clears bit n of 'ECPM'.
void T_N_PING_vRecheckClientList(U16 u16Source) {
  if (*T_N_PING_ppClientList(u16Source) == nullptr) {
    H_DATABASE_bUpdateEverythingU32(FCID("ECPM"), fetchMask("ECPM") & ~(1u << u16Source), P_NORMAL, D_UNKNOWN,
                                    nullptr, DB_NO_TIMEOUT);
    log_me("T_N_PING: no clients left for source %u", static_cast<unsigned>(u16Source));
  } else {
    for (const sonarRegisteredClientNode *pNode = *T_N_PING_ppClientList(u16Source); pNode != nullptr;
         pNode = pNode->next) {
      log_me("T_N_PING: source %u client 0x%08x", static_cast<unsigned>(u16Source),
             static_cast<unsigned>(pNode->u32ClientAddress));
    }
  }
}

const GMSG_MAP_INFO *T_N_PING_pMessageMap(void) { return s_PING_MsgMapInfo; }

BOOLEAN T_N_PING_bHandleNewDataRequest(MBOX, GMSG_INFO *pMsgInfo, void *, void *) {
  const auto *pRequest = static_cast<const sonarRequestDataType *>(pMsgInfo->pStructMsg);
  if (pRequest == nullptr || pMsgInfo->pMsgHeader == nullptr) return TRUE;
  if (pRequest->u32SonarSource >= NUMBER_OF_SONAR_SOURCES) {
    log_me("T_N_PING_bHandleNewDataRequest: invalid source %u", static_cast<unsigned>(pRequest->u32SonarSource));
    return TRUE;
  }
  const GMSG_ADDRESS *pSender = &pMsgInfo->pMsgHeader->SrcAddress;
  const U32 u32Address = senderAddress(pMsgInfo);
  const U16 u16Source = static_cast<U16>(pRequest->u32SonarSource);
  L_MUTEX_LockWait(RES_SONAR_SHARE);
  if (pRequest->registerFlag != 0) {
    T_N_PING_bRegisterNetworkDestination(T_N_PING_pvNetworkDestinations(), pSender, TRUE, pRequest->pingArrayLimit);
    U_ALARM_bAddPeer(pSender);
    if (u16Source == SONAR_SOURCE_2D) {
      T_N_PING_bSynchronizeNewClientControls(pSender, u16Source);
      U_PING_vAddClientNode(T_N_PING_ppClientList(0), u32Address);
      setClientBit(0);
    } else if (u16Source == SONAR_SOURCE_ZP || u16Source == SONAR_SOURCE_ZF) {
      T_N_PING_bSynchronizeNewClientControls(pSender, u16Source);
      U_PING_vAddClientNode(T_N_PING_ppClientList(2), u32Address);
      U_PING_vAddClientNode(T_N_PING_ppClientList(1), u32Address);
      setClientBit(u16Source);
    }
  } else {
    if (T_N_PING_bRegisterNetworkDestination(T_N_PING_pvNetworkDestinations(), pSender, FALSE, 0)) {
      U_ALARM_bRemovePeer(pSender);
    }
    if (u16Source == SONAR_SOURCE_2D) {
      if (*T_N_PING_ppClientList(0) != nullptr) {
        U_PING_vDeleteClientNode(T_N_PING_ppClientList(0), u32Address);
        T_N_PING_vRecheckClientList(0);
      }
    } else if (u16Source == SONAR_SOURCE_ZP || u16Source == SONAR_SOURCE_ZF) {
      for (U16 n : {U16{2}, U16{1}}) {
        if (*T_N_PING_ppClientList(n) != nullptr) {
          U_PING_vDeleteClientNode(T_N_PING_ppClientList(n), u32Address);
          T_N_PING_vRecheckClientList(n);
        }
      }
    }
  }
  L_MUTEX_Unlock(RES_SONAR_SHARE);
  return TRUE;
}

BOOLEAN T_N_PING_bHandleReceivePingDepth(MBOX, GMSG_INFO *pMsgInfo, void *, void *) {
  const auto *pDepth = static_cast<const sonarPingDepthType *>(pMsgInfo->pStructMsg);
  if (pDepth == nullptr) return TRUE;
  const U32 u32Address = senderAddress(pMsgInfo);
  L_MUTEX_LockWait(RES_SONAR_SHARE);
  BOOLEAN bClient = FALSE;
  if (fetchMask("ECPM") != 0) {
    for (U16 n = 0; n < NUMBER_OF_SONAR_SOURCES; ++n) {
      if ((fetchMask("ECPM") >> n) & 1) bClient = bClient || listed(n, u32Address);
    }
  }
  if (bClient) {
    const float fListen = pDepth->fActualDepthToListen;
    const float fPing = pDepth->fActualDepthToPing;
    if (!std::isfinite(fListen) || !std::isfinite(fPing) || fListen < 0.0f || fPing < 0.0f) {
      log_me("T_N_PING_bHandleReceivePingDepth: depths %f %f refused", static_cast<double>(fListen),
             static_cast<double>(fPing));
    } else {
      // A client's own limit may exceed this unit's: ping as deep as this unit can.
      const float fMax = S_TRANSDUCER_fMaximumDepthRangeMetres();
      s_fNetworkActualDepthToListen = std::fmax(10.0f, std::fmin(fListen, fMax));
      s_fNetworkActualDepthToPing = std::fmax(10.0f, std::fmin(fPing, fMax));
    }
  }
  L_MUTEX_Unlock(RES_SONAR_SHARE);
  return TRUE;
}

BOOLEAN T_N_PING_bHandleDataRecieve(MBOX, GMSG_INFO *pMsgInfo, void *, void *) {
  const auto *pBody = static_cast<const sonarPingBodyType *>(pMsgInfo->pStructMsg);
  if (pBody == nullptr) return TRUE;
  const PING_DESCRIPTOR &sent = pBody->Ping;
  // Beams outside 0-3 and counts beyond the buffer or the array index and overrun processing's state.
  if (sent.Beam > 3 || sent.u32NumberOfSamples > PING_MAX_SAMPLES ||
      sent.u32NumberOfSamples > pBody->u32SampleArrayCount || (sent.u32NumberOfSamples > 0 && pBody->pu8Samples == nullptr)) {
    log_me("T_N_PING_bHandleDataRecieve: ping of beam %u with %u samples (%u carried) dropped",
           static_cast<unsigned>(sent.Beam), static_cast<unsigned>(sent.u32NumberOfSamples),
           static_cast<unsigned>(pBody->u32SampleArrayCount));
    return TRUE;
  }
  L_MUTEX_LockWait(RES_SONAR_SHARE);
  const NET_SOURCE_TYPE eSource = T_N_PING_eSourceForBeam(sent.Beam);
  if (U_PING_eGetNetworkClientState(eSource) == NETWORK_CLIENT_STATE_REGISTER) T_N_PING_vSetConnected(eSource);
  const BOOLEAN bConnected = U_PING_eGetNetworkClientState(eSource) == NETWORK_CLIENT_STATE_CONNECTED;
  if (bConnected) {
    const S32 s32Monitor = U_PING_s32GetServerMonitorHandle(eSource);
    if (s32Monitor >= 0) U_SERVER_MONITOR_vReceivedMessage(static_cast<U32>(s32Monitor));
    // Tell the servers how deep this unit wants to see: on the first ping and every twelfth after it.
    if (s_u32TypedPingsFromServers++ % 12 == 0) {
      sonarPingDepthType depth{};
      depth.fActualDepthToPing = fLocalFindDepthToPing(&depth.fActualDepthToListen);
      for (U16 n = 0; n < NUMBER_OF_SONAR_SOURCES; ++n) {
        GMSG_ADDRESS server{};
        U_PING_vGetServerAddress(&server, n);
        if (server.uAddr.SocketAddress.u32Address == 0) continue;
        U_GMSG_bSendMsgNoWait(M_PING, &server, GMSG_ID_SONAR_PING_DEPTH_DATA, &DT_SONAR_PING_DEPTH, &depth, 0, 500);
      }
    }
  }
  if (bConnected && U_PING_eGetSystemState() != STATE_PLAYBACK) {
    PING_DESCRIPTOR *pPing = nullptr;
    if (L_QUEUE_Get(Q_PING, &pPing) != 0) {
      log_me("T_N_PING_bHandleDataRecieve: Failed to get ping buffer!\n");
    } else {
      U8 *pu8Raw = pPing->pu8RawSonarData;
      U8 *pu8Tvg = pPing->pu8TvgdData;
      *pPing = sent;
      pPing->pu8RawSonarData = pu8Raw;
      pPing->pu8TvgdData = pu8Tvg;
      if (sent.u32NumberOfSamples > 0) std::memcpy(pu8Raw, pBody->pu8Samples, sent.u32NumberOfSamples);
      pPing->bIsLocal = FALSE;
      T_N_PING_vSendToProcessing(pPing);
    }
  }
  L_MUTEX_Unlock(RES_SONAR_SHARE);
  return TRUE;
}

BOOLEAN T_N_PING_bCheckActiveClientList(U32 u32SonarSource) {
  return u32SonarSource < NUMBER_OF_SONAR_SOURCES && *T_N_PING_ppClientList(static_cast<U16>(u32SonarSource)) != nullptr;
}

BOOLEAN T_N_PING_bActiveClients(void) { return T_N_PING_bHasNetworkDestination(); }

BOOLEAN T_N_PING_bHandleNiceMessageAboutSomethingInThePast(MBOX, GMSG_INFO *pMsgInfo, void *, void *) {
  const U32 *pu32Status = static_cast<const U32 *>(pMsgInfo->pStructMsg);
  log_me("T_N_PING: status %u of message 0x%x, token %llu",
         pu32Status != nullptr ? static_cast<unsigned>(*pu32Status) : 0u,
         pMsgInfo->pMsgHeader != nullptr ? static_cast<unsigned>(pMsgInfo->pMsgHeader->u32MsgId) : 0u,
         pMsgInfo->pMsgHeader != nullptr ? static_cast<unsigned long long>(pMsgInfo->pMsgHeader->u64Token) : 0ull);
  return TRUE;
}

void T_N_PING_vReset2DAdvClients(void) {
  U_PING_vAllDeleteClientNodes(T_N_PING_ppClientList(SONAR_SOURCE_ZP));
  U_PING_vAllDeleteClientNodes(T_N_PING_ppClientList(SONAR_SOURCE_ZF));
}

U32 T_N_PING_u32GetSourcesSelectedByLocal(void) { return fetchMask("ENPM") | fetchMask("ELPM"); }
U32 T_N_PING_u32GetSourcesToPingOnLocalTx(void) { return fetchMask("ECPM") | fetchMask("ELPM"); }
void T_N_PING_vClearPingList(BOOLEAN) {}
void T_N_PING_vSetSideBeamRange(float) {}

void T_N_PING_vSendString(const U8 *pu8String) {
  for (; *pu8String != 0; ++pu8String) {
    while (L_QUEUE_Put(Q_TRANSMIT_UART1, pu8String) != 0) L_CLOCK_Sleep(1);
  }
}

void T_N_PING_vGetNetworkDepths(float *pfDepthToListen, float *pfDepthToPing) {
  *pfDepthToListen = s_fNetworkActualDepthToListen;
  *pfDepthToPing = s_fNetworkActualDepthToPing;
}
