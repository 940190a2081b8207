#include "sonar/ping_exchange.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "kernel/log.h"
#include "kernel/mbox.h"
#include "kernel/memory.h"
#include "kernel/mutex.h"
#include "settings/model.h"
#include "sonar/history_standin.h"
#include "sonar/ping_server.h"
#include "sonar/ping_source.h"
#include "sonar/ping_state.h"
#include "sonar/ping_task.h"
#include "sonar/transducer.h"
#include "ui/info/alarm.h"

namespace {

#define ROW(ui, saved, sources) {FCID(ui), FCID(saved), sources}
const FCID_TRANSLATE_TYPE s_fcidTranslateTable[FCID_TRANSLATE_ROWS] = {
    ROW("YSSR", "SSSR", 0x6), ROW("YSLD", "SSLD", 0x3), ROW("YSSV", "SSSV", 0x1), ROW("YSNF", "SSNF", 0xF),
    ROW("YSNU", "SSNU", 0xF), ROW("YSMD", "SSMD", 0x3), ROW("YSWA", "SSWA", 0x7), ROW("YTVG", "STVG", 0x1),
    ROW("YSDA", "SSDA", 0x1), ROW("YSFA", "SSFA", 0x1), ROW("YSFI", "SSFI", 0x1), ROW("YSFS", "SSFS", 0x1),
    ROW("YUDP", "SUDP", 0x3), ROW("YDPO", "SDPO", 0x3), ROW("YICE", "SICE", 0x1), ROW("YSSF", "SSSF", 0x6),
    ROW("YJIG", "SJIG", 0x1), ROW("YSPS", "SSPS", 0x8), ROW("YMDR", "MSSD", 0x8), ROW("YMRR", "MSSC", 0x8),
    ROW("YMSS", "MSSS", 0x8), ROW("YMSC", "MS01", 0x8), ROW("YISO", "MS03", 0x8), ROW("YISS", "MS04", 0x8),
    ROW("YISR", "MS05", 0x8), ROW("YQSO", "MS06", 0x8), ROW("YQSS", "MS07", 0x8), ROW("YQSR", "MS08", 0x8),
    ROW("YSPL", "MS09", 0x8), ROW("YBT1", "MS10", 0x8), ROW("YBT2", "MS11", 0x8), ROW("YASS", "MS12", 0x8),
    ROW("YHBT", "MHBT", 0x8), ROW("YHM1", "MHM1", 0x8), ROW("YMSD", "SMSD", 0x8), ROW("YMSM", "SMSM", 0x8),
    ROW("YMSE", "MSE1", 0x8), ROW("YASR", "SASR", 0x8), ROW("YADS", "SADS", 0x8), ROW("YBMT", "MBMT", 0x8),
    ROW("YMSO", "SMSO", 0x8), ROW("YMHL", "SMHL", 0x8),
};
#undef ROW

const G_DATA_TYPE *const kThreeU32[] = {&DT_UNSIGNED32, &DT_UNSIGNED32, &DT_UNSIGNED32, nullptr};
const G_DATA_TYPE *const kTwoU32[] = {&DT_UNSIGNED32, &DT_UNSIGNED32, nullptr};
const G_DATA_TYPE *const kTwoFloats[] = {&DT_FLOAT32, &DT_FLOAT32, nullptr};

constexpr U32 kSendTimeoutMs = 500;
constexpr U32 kMaxFailuresKept = 10;  // one more failure after this many drops the client
constexpr U32 kClientSlots = 20;      // as many as a destination list holds

void *s_pvNetworkDestinations = nullptr;
// A destination's user word is 1 + its slot here (a pointer does not fit the 32-bit word).
perClientDataType s_aClientData[kClientSlots];
bool s_abClientDataUsed[kClientSlots];
BOOLEAN s_LostClient = FALSE;
BOOLEAN s_bForLocalZFTransducer = FALSE;

const FOURCHARID kTransducerKeys[NUMBER_OF_SONAR_SOURCES] = {FCID("YST1"), FCID("YST2"), FCID("YST3"),
                                                              FCID("YST4")};

U32 fetchU32(FOURCHARID Id, U32 u32Default) {
  U32 u32Value = 0;
  BOOLEAN bValid = FALSE;
  return H_DATABASE_bFetchU32(Id, &u32Value, &bValid, nullptr) && bValid ? u32Value : u32Default;
}

void writeU32(FOURCHARID Id, U32 u32Value) {
  H_DATABASE_bUpdateEverythingU32(Id, u32Value, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
}

U32 addressOf(const GMSG_ADDRESS &address) { return address.uAddr.SocketAddress.u32Address; }

U32 senderAddress(const GMSG_INFO *pMsgInfo) {
  return pMsgInfo->pMsgHeader != nullptr ? addressOf(pMsgInfo->pMsgHeader->SrcAddress) : 0;
}

BOOLEAN inList(U16 u16Source, U32 u32Address) {
  for (const sonarRegisteredClientNode *pNode = *T_N_PING_ppClientList(u16Source); pNode != nullptr;
       pNode = pNode->next) {
    if (pNode->u32ClientAddress == u32Address) return TRUE;
  }
  return FALSE;
}

// A client of a source this unit serves ('ECPM').
BOOLEAN clientOfServedSource(U32 u32Address) {
  const U32 u32Client = fetchU32(FCID("ECPM"), 0);
  for (U16 n = 0; n < NUMBER_OF_SONAR_SOURCES; ++n) {
    if ((u32Client >> n & 1) && inList(n, u32Address)) return TRUE;
  }
  return FALSE;
}

// The addresses of list n, copied: sends may drop a client from the destinations while they go on.
U32 clientAddresses(U16 u16Source, U32 (&au32Clients)[kClientSlots]) {
  U32 u32Count = 0;
  for (const sonarRegisteredClientNode *pNode = *T_N_PING_ppClientList(u16Source);
       pNode != nullptr && u32Count < kClientSlots; pNode = pNode->next) {
    au32Clients[u32Count++] = pNode->u32ClientAddress;
  }
  return u32Count;
}

GMSG_ADDRESS clientAddress(U32 u32Address) {
  GMSG_ADDRESS address;
  GMSG_vMakeSocketAddress(&address, u32Address, SONAR_SERVER_PORT);
  return address;
}

void sendControlChange(const GMSG_ADDRESS &address, FOURCHARID fcid, U32 value, U32 advise, bool bToClient) {
  const controlChangeType change = {fcid, value, advise};
  const BOOLEAN bSent = U_GMSG_bSendMsgNoWaitAsync(M_PING, &address, GMSG_ID_SONAR_CONTROL_CHANGE, &DT_CONTROL_CHANGE,
                                                   &change, 0, kSendTimeoutMs);
  if (bToClient) T_N_PING_vCountClientSend(&address, bSent);
}

// Values a peer may set are those the sonar menus can set; anything else could reach a fatal check or wrap
// the transmit command's sample counts.
bool valueAcceptable(FOURCHARID fcid, U32 value) {
  if (fcid == FCID("SUDP") || fcid == FCID("YUDP")) return value >= U_METRES && value <= U_FATHOMS;
  if (fcid == FCID("SSSF") || fcid == FCID("YSSF")) {
    return value == FCID("SSF3") || value == FCID("SSF4") || value == FCID("SSF5");
  }
  if (fcid == FCID("SSMD") || fcid == FCID("YSMD") || fcid == FCID("SSSR") || fcid == FCID("YSSR")) {
    float fDepth;
    std::memcpy(&fDepth, &value, sizeof fDepth);
    return std::isfinite(fDepth) && fDepth >= 0.0f && fDepth <= S_TRANSDUCER_fMaximumDepthRangeMetres();
  }
  return true;
}

// Writes a key from the exchange without notifying the ping task, then reacts to it as to a notice.
void applyLocally(FOURCHARID fcid, U32 value) {
  H_DATABASE_bUpdateValueU32Except(fcid, value, P_NORMAL, M_PING);
  DB_DATA_TYPE dbValue{};
  dbValue.u32Val = value;
  T_N_PING_vHandleNewData(fcid, dbValue, TRUE);
}

void removeClientEverywhere(U32 u32Address) {
  for (U16 n : {U16{2}, U16{1}, U16{0}}) {
    if (*T_N_PING_ppClientList(n) != nullptr) {
      U_PING_vDeleteClientNode(T_N_PING_ppClientList(n), u32Address);
      T_N_PING_vRecheckClientList(n);
    }
  }
}

}  // namespace

const G_DATA_TYPE DT_SONAR_REQUEST_DATA = {"DT_SONAR_REQUEST_DATA", G_DF_STRUCT, 1, sizeof(sonarRequestDataType),
                                           kThreeU32};
const G_DATA_TYPE DT_CONTROL_CHANGE = {"DT_CONTROL_CHANGE", G_DF_STRUCT, 1, sizeof(controlChangeType), kThreeU32};
const G_DATA_TYPE DT_SONAR_PING_DEPTH = {"DT_SONAR_PING_DEPTH", G_DF_STRUCT, 1, sizeof(sonarPingDepthType),
                                         kTwoFloats};
const G_DATA_TYPE DT_SONAR_TRANSDUCER_CHANGE = {"DT_SONAR_TRANSDUCER_CHANGE", G_DF_STRUCT, 1,
                                                sizeof(sonarTransducerChangeType), kTwoU32};
// Received only; the message service rebuilds it into a sonarPingBodyType.
const G_DATA_TYPE DT_PING_DESCRIPTOR = {"DT_PING_DESCRIPTOR", G_DF_STRUCT, 1, sizeof(sonarPingBodyType), nullptr};

const FCID_TRANSLATE_TYPE *T_N_PING_pTranslateTable(void) { return s_fcidTranslateTable; }

const FCID_TRANSLATE_TYPE *T_N_PING_pFindTranslateRow(FOURCHARID fcid) {
  for (const FCID_TRANSLATE_TYPE &row : s_fcidTranslateTable) {
    if (row.fcidUIControl == fcid || row.fcidSavedSetting == fcid) return &row;
  }
  return nullptr;
}

// ---- destinations ----

void T_N_PING_vCreateNetworkDestinations(void) {
  if (s_pvNetworkDestinations == nullptr) s_pvNetworkDestinations = U_NETWORKDEST_pvNew();
}

void *T_N_PING_pvNetworkDestinations(void) { return s_pvNetworkDestinations; }

perClientDataType *T_N_PING_pClientData(U32 u32UserWord) {
  if (u32UserWord == 0 || u32UserWord > kClientSlots || !s_abClientDataUsed[u32UserWord - 1]) return nullptr;
  return &s_aClientData[u32UserWord - 1];
}

void T_N_PING_vSetClientLost(BOOLEAN bSet) { s_LostClient = bSet; }

BOOLEAN T_N_PING_bRegisterNetworkDestination(void *networkDestinations, const GMSG_ADDRESS *destAddr,
                                             BOOLEAN bRegister, U32 userData) {
  if (networkDestinations == nullptr || destAddr == nullptr) return FALSE;
  if (bRegister) {
    U32 u32Slot = 0;
    while (u32Slot < kClientSlots && s_abClientDataUsed[u32Slot]) ++u32Slot;
    if (u32Slot == kClientSlots) {
      log_me("T_N_PING_bRegisterNetworkDestination: H_MEMORY_pvMalloc failed!\n");
      return FALSE;
    }
    if (!U_NETWORKDEST_bRegisterNetworkDestination(networkDestinations, destAddr, TRUE, u32Slot + 1)) {
      log_me("T_N_PING_bRegisterNetworkDestination: destination list full");
      return FALSE;
    }
    s_abClientDataUsed[u32Slot] = true;
    s_aClientData[u32Slot] = {userData, 0};
    return TRUE;
  }
  BOOLEAN bRemoved = FALSE;
  U32 u32Index = 0;
  U32 u32UserWord = 0;
  while (GMSG_ADDRESS *pAddress = U_NETWORKDEST_gapNext(networkDestinations, &u32Index, &u32UserWord)) {
    // A lost client goes with every entry of its address, whatever port each registration came from.
    const bool bMatch =
        s_LostClient ? addressOf(*pAddress) == addressOf(*destAddr) : GMSG_bAddressEqual(pAddress, destAddr) != 0;
    if (!bMatch) continue;
    if (T_N_PING_pClientData(u32UserWord) != nullptr) s_abClientDataUsed[u32UserWord - 1] = false;
    const GMSG_ADDRESS removed = *pAddress;
    U_NETWORKDEST_bRegisterNetworkDestination(networkDestinations, &removed, FALSE, u32UserWord);
    bRemoved = TRUE;
    if (!s_LostClient) break;
  }
  s_LostClient = FALSE;
  return bRemoved;
}

void T_N_PING_vCountClientSend(const GMSG_ADDRESS *pAddress, BOOLEAN bSent) {
  U32 u32UserWord = 0;
  U_NETWORKDEST_vFindUserData(s_pvNetworkDestinations, addressOf(*pAddress), &u32UserWord);
  perClientDataType *pClient = T_N_PING_pClientData(u32UserWord);
  if (pClient == nullptr) return;
  if (bSent) {
    pClient->u32SendConsecutiveErrorCount = 0;
  } else if (pClient->u32SendConsecutiveErrorCount++ > kMaxFailuresKept) {
    log_me("T_N_PING: client 0x%08x dropped after %u failed sends", static_cast<unsigned>(addressOf(*pAddress)),
           static_cast<unsigned>(pClient->u32SendConsecutiveErrorCount));
    U_GMSG_bDisconnect(M_PING, pAddress);
    T_N_PING_bRegisterNetworkDestination(s_pvNetworkDestinations, pAddress, FALSE, 0);
  }
}

// ---- settings exchange ----

BOOLEAN T_N_PING_bSynchronizeNewClientControls(const GMSG_ADDRESS *address, U32 u32SonarSource) {
  const GMSG_ADDRESS target = clientAddress(addressOf(*address));
  for (const FCID_TRANSLATE_TYPE &row : s_fcidTranslateTable) {
    if ((row.u32SonarSources >> u32SonarSource & 1) == 0) continue;
    DB_DATA_TYPE dbValue{};
    BOOLEAN bValid = FALSE;
    if (!H_DATABASE_bFetch(row.fcidSavedSetting, &dbValue, &bValid, nullptr) || !bValid) continue;
    sendControlChange(target, row.fcidSavedSetting, dbValue.u32Val, 1, true);
  }
  return TRUE;
}

BOOLEAN T_N_PING_bControlChangeSend(FOURCHARID fcid, U32 value, U32 advise, const GMSG_ADDRESS *pOriginAddress) {
  const FCID_TRANSLATE_TYPE *pRow = T_N_PING_pFindTranslateRow(fcid);
  if (pRow == nullptr || pRow->u32SonarSources == 0) return TRUE;
  const FOURCHARID otherKey = pRow->fcidUIControl == fcid ? pRow->fcidSavedSetting : pRow->fcidUIControl;
  const U32 u32Origin = pOriginAddress != nullptr ? addressOf(*pOriginAddress) : 0;
  L_MUTEX_LockWait(RES_SONAR_SHARE);
  const U32 u32Local = fetchU32(FCID("ELPM"), 0);
  const U32 u32Client = fetchU32(FCID("ECPM"), 0);
  const U32 u32Network = fetchU32(FCID("ENPM"), 0);
  bool bWrittenLocally = false;
  for (U16 n = 0; n < NUMBER_OF_SONAR_SOURCES; ++n) {
    if ((pRow->u32SonarSources >> n & 1) == 0) continue;
    if ((u32Local >> n & 1) && !bWrittenLocally) {
      bWrittenLocally = true;
      applyLocally(otherKey, value);
    }
    if (advise != 0) continue;  // a server's change is applied here only
    if (u32Client >> n & 1) {
      U32 au32Clients[kClientSlots];
      const U32 u32Count = clientAddresses(n, au32Clients);
      for (U32 i = 0; i < u32Count; ++i) {
        if (au32Clients[i] != u32Origin) {
          sendControlChange(clientAddress(au32Clients[i]), pRow->fcidSavedSetting, value, 1, true);
        }
      }
    }
    if ((u32Network >> n & 1) && fcid == pRow->fcidUIControl &&
        U_PING_eGetNetworkClientState(n) == NETWORK_CLIENT_STATE_CONNECTED) {
      GMSG_ADDRESS server{};
      U_PING_vGetServerAddress(&server, n);
      sendControlChange(server, fcid, value, 0, false);
    }
  }
  L_MUTEX_Unlock(RES_SONAR_SHARE);
  return TRUE;
}

BOOLEAN T_N_PING_bHandleControlChangeRecieve(MBOX, GMSG_INFO *pMsgInfo, void *, void *) {
  const auto *pChange = static_cast<const controlChangeType *>(pMsgInfo->pStructMsg);
  if (pChange == nullptr || pMsgInfo->pMsgHeader == nullptr) return TRUE;
  const FCID_TRANSLATE_TYPE *pRow = T_N_PING_pFindTranslateRow(pChange->fcid);
  if (pRow == nullptr) {
    log_me("T_N_PING_bHandleControlChangeRecieve: unknown key 0x%08x", static_cast<unsigned>(pChange->fcid));
    return TRUE;
  }
  const U32 u32Sender = senderAddress(pMsgInfo);
  L_MUTEX_LockWait(RES_SONAR_SHARE);
  bool bFromServer = false;
  bool bFromConnectedServer = false;
  for (S32 n = NUMBER_OF_SONAR_SOURCES - 1; n >= 0; --n) {
    const U16 u16Source = static_cast<U16>(n);
    if ((pRow->u32SonarSources >> n & 1) == 0) continue;
    GMSG_ADDRESS server{};
    U_PING_vGetServerAddress(&server, u16Source);
    if (addressOf(server) == 0 || addressOf(server) != u32Sender) continue;
    bFromServer = true;
    if (U_PING_eGetNetworkClientState(u16Source) == NETWORK_CLIENT_STATE_REGISTER) T_N_PING_vSetConnected(u16Source);
    if (U_PING_eGetNetworkClientState(u16Source) == NETWORK_CLIENT_STATE_CONNECTED) bFromConnectedServer = true;
  }
  bool bFromClient = false;
  if (!bFromServer) {
    bFromClient = fetchU32(FCID("ECPM"), 0) != 0 && clientOfServedSource(u32Sender);
    if (bFromClient && (pChange->fcid == FCID("YSSR") || pChange->fcid == FCID("SSSR"))) {
      s_bForLocalZFTransducer = TRUE;
    }
  }
  const bool bAccept = (bFromConnectedServer && pChange->fcid == pRow->fcidSavedSetting) ||
                       (bFromClient && pChange->fcid == pRow->fcidUIControl);
  if (!bAccept) {
    L_MUTEX_Unlock(RES_SONAR_SHARE);
    return TRUE;
  }
  U32 value = pChange->value;
  if (!valueAcceptable(pChange->fcid, value)) {
    log_me("T_N_PING_bHandleControlChangeRecieve: value 0x%08x of key 0x%08x from 0x%08x refused",
           static_cast<unsigned>(value), static_cast<unsigned>(pChange->fcid), static_cast<unsigned>(u32Sender));
    L_MUTEX_Unlock(RES_SONAR_SHARE);
    return TRUE;
  }
  const FOURCHARID otherKey =
      pRow->fcidUIControl == pChange->fcid ? pRow->fcidSavedSetting : pRow->fcidUIControl;
  if ((otherKey == FCID("SUDP") || otherKey == FCID("YUDP")) && MODEL_bDomesticModel() && value == U_METRES) {
    value = U_FEET;
  }
  applyLocally(otherKey, value);
  T_N_PING_bControlChangeSend(otherKey, value, pChange->advise, &pMsgInfo->pMsgHeader->SrcAddress);
  L_MUTEX_Unlock(RES_SONAR_SHARE);
  return TRUE;
}

BOOLEAN T_N_PING_bSyncLocalSideScanRange(void) { return s_bForLocalZFTransducer; }
void T_N_PING_vResetLocalSideScanRangeCondVar(void) { s_bForLocalZFTransducer = FALSE; }

// ---- transducer changes ----

void T_N_PING_vSendTransducerChange(U32 u32Kind) {
  log_me("T_N_PING: transducer change to %u sent to clients", static_cast<unsigned>(u32Kind));
  const sonarTransducerChangeType change = {S_TRANSDUCER_u32GetBeamsForTransducer(static_cast<U8>(u32Kind)), u32Kind};
  for (U16 n = 0; n < NUMBER_OF_SONAR_SOURCES; ++n) {
    U32 au32Clients[kClientSlots];
    const U32 u32Count = clientAddresses(n, au32Clients);
    for (U32 i = 0; i < u32Count; ++i) {
      const GMSG_ADDRESS address = clientAddress(au32Clients[i]);
      T_N_PING_vCountClientSend(&address, U_GMSG_bSendMsgNoWaitAsync(M_PING, &address, GMSG_ID_SONAR_TRANSDUCER_CHANGE,
                                                                      &DT_SONAR_TRANSDUCER_CHANGE, &change, 0,
                                                                      kSendTimeoutMs));
    }
  }
}

BOOLEAN T_N_PING_bHandleTransducerChange(MBOX, GMSG_INFO *pMsgInfo, void *, void *) {
  const auto *pChange = static_cast<const sonarTransducerChangeType *>(pMsgInfo->pStructMsg);
  if (pChange == nullptr) return TRUE;
  const U32 u32Sender = senderAddress(pMsgInfo);
  L_MUTEX_LockWait(RES_SONAR_SHARE);
  const U32 u32Network = fetchU32(FCID("ENPM"), 0);
  for (U16 n = 0; u32Network != 0 && n < SONAR_SOURCE_360; ++n) {
    GMSG_ADDRESS server{};
    U_PING_vGetServerAddress(&server, n);
    if ((u32Network >> n & 1) == 0 || addressOf(server) == 0 || addressOf(server) != u32Sender) continue;
    if (U_PING_eGetNetworkClientState(n) == NETWORK_CLIENT_STATE_REGISTER) T_N_PING_vSetConnected(n);
    writeU32(kTransducerKeys[n], pChange->u32TransducerId);
  }
  L_MUTEX_Unlock(RES_SONAR_SHARE);
  return TRUE;
}

// ---- connecting and losing servers and clients ----

void T_N_PING_vSetConnected(U16 u16Source) {
  GMSG_ADDRESS server{};
  U_PING_vGetServerAddress(&server, u16Source);
  if (addressOf(server) == 0) return;
  writeU32(kTransducerKeys[u16Source],
           T_SLP_CLIENT_u32GetTransducerFromServerIP(addressOf(server), server.uAddr.SocketAddress.u32Port, u16Source));
  const S32 s32Monitor = U_PING_s32GetServerMonitorHandle(u16Source);
  if (s32Monitor >= 0) {
    U_SERVER_MONITOR_vSetServerAddress(static_cast<U32>(s32Monitor), &server);
    U_SERVER_MONITOR_vSetActive(static_cast<U32>(s32Monitor), TRUE);
  }
  auto *pMsg =
      static_cast<NETWORK_SERVER_CONNECT_MESSAGE *>(H_MEMORY_pvCalloc(1, sizeof(NETWORK_SERVER_CONNECT_MESSAGE)));
  pMsg->header.Cmd = CMD_ID_NETWORK_SERVER_CONNECT_MESSAGE;
  pMsg->sServerAddress = server;
  pMsg->eService = u16Source;
  L_MBOX_Send(M_SLPCLIENT, pMsg, 3, 0);
  U_ALARM_bAddPeer(&server);
  U_PING_vSetNetworkClientState(NETWORK_CLIENT_STATE_CONNECTED, u16Source);
  const U32 u32Bit = 1u << u16Source;
  writeU32(FCID("ENPM"), fetchU32(FCID("ENPM"), 0) | u32Bit);
  writeU32(FCID("ELPM"), fetchU32(FCID("ELPM"), 0) & ~u32Bit);
}

void T_N_PING_vUpdateLocalDatabaseItems(U16 u16Index) {
  for (const FCID_TRANSLATE_TYPE &row : s_fcidTranslateTable) {
    if ((row.u32SonarSources >> u16Index & 1) == 0) continue;
    DB_DATA_TYPE dbValue{};
    BOOLEAN bValid = FALSE;
    U32 value = 0;
    if (H_DATABASE_bFetch(row.fcidSavedSetting, &dbValue, &bValid, nullptr) && bValid) {
      value = dbValue.u32Val;
    } else if (row.fcidUIControl == FCID("YBMT")) {
      value = 255;
    }
    H_DATABASE_bUpdateValueU32(row.fcidUIControl, value, P_NORMAL);
  }
}

BOOLEAN T_N_PING_bHandlePeerDisconnect(const MSG_GMSG_DISCONNECT *pMsg, BOOLEAN bCauseServerMonitorTimeout) {
  const U32 u32Address = addressOf(pMsg->Address);
  L_MUTEX_LockWait(RES_SONAR_SHARE);
  const U32 u32Network = fetchU32(FCID("ENPM"), 0);
  bool bMatched = false;
  for (U16 n = 0; u32Network != 0 && n < NUMBER_OF_SONAR_SOURCES; ++n) {
    GMSG_ADDRESS server{};
    U_PING_vGetServerAddress(&server, n);
    const NETWORK_CLIENT_STATE eState = U_PING_eGetNetworkClientState(n);
    if ((u32Network >> n & 1) == 0 || addressOf(server) != u32Address ||
        (eState != NETWORK_CLIENT_STATE_CONNECTED && eState != NETWORK_CLIENT_STATE_REGISTER)) {
      continue;
    }
    bMatched = true;
    auto *pLost = static_cast<NETWORK_SERVER_CONNECTION_LOST_MESSAGE *>(
        H_MEMORY_pvCalloc(1, sizeof(NETWORK_SERVER_CONNECTION_LOST_MESSAGE)));
    pLost->header.Cmd = CMD_ID_NETWORK_SERVER_CONNECTION_LOST_MESSAGE;
    pLost->u32SourceEnum = DIA_SONAR_2D_SOURCE_LOST + n;
    pLost->sServerAddress = pMsg->Address;
    pLost->eConnectionLostReason = bCauseServerMonitorTimeout ? CONNECTION_LOST_TIMEOUT : CONNECTION_LOST_DISCONNECT;
    L_MBOX_Send(M_SLPCLIENT, pLost, 3, 0);
    T_N_PING_vUnregisterForNetworkData(addressOf(server), server.uAddr.SocketAddress.u32Port, n);
    if (n < SONAR_SOURCE_360) {
      // Leave the stream that was joined: the 2-D group on 50880, the imaging group on 50882.
      auto *pLeave = static_cast<MSG_SUDP_IN_REGISTER *>(H_MEMORY_pvCalloc(1, sizeof(MSG_SUDP_IN_REGISTER)));
      pLeave->header.Cmd = CMD_ID_SUDP_IN_REGISTER;
      pLeave->doRegister = 0;
      pLeave->port = n == SONAR_SOURCE_2D ? 50880 : 50882;
      pLeave->mailBox = M_NETPING;
      pLeave->isRaw = 1;
      pLeave->isMultiPacket = 1;
      std::snprintf(pLeave->mcastAddress, sizeof pLeave->mcastAddress, "239.%d.%d.%d", n == SONAR_SOURCE_2D ? 0 : 2,
                    static_cast<int>(u32Address >> 16 & 0xFF), static_cast<int>(u32Address >> 24));
      L_MBOX_Send(M_SUDPIN, pLeave, 3, 0);
    }
    T_N_PING_vUpdateSonarSource(-1, n);
    writeU32(FCID("ENPM"), fetchU32(FCID("ENPM"), 0) & ~(1u << n));
    writeU32(kTransducerKeys[n], 0);
  }
  if (bCauseServerMonitorTimeout) {
    if (bMatched) U_GMSG_bDisconnect(M_PING, &pMsg->Address);
    L_MUTEX_Unlock(RES_SONAR_SHARE);
    return TRUE;
  }
  if (fetchU32(FCID("ECPM"), 0) != 0 && clientOfServedSource(u32Address)) {
    removeClientEverywhere(u32Address);
    s_LostClient = TRUE;
    T_N_PING_bRegisterNetworkDestination(s_pvNetworkDestinations, &pMsg->Address, FALSE, 0);
    U_ALARM_bRemovePeer(&pMsg->Address);
  }
  L_MUTEX_Unlock(RES_SONAR_SHARE);
  return TRUE;
}
