// Stand-in of the typed message layer: registrations are kept so that a received message can be handed to
// its handler, sends are only recorded, and the destination lists are plain tables of 20 slots.
#include "net/gmsg_standin.h"

#include <string.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

#include "kernel/log.h"
#include "kernel/memory.h"
#include "kernel/tick.h"

const G_DATA_TYPE DT_UNSIGNED8 = {"DT_UNSIGNED8", G_DF_UNSIGNED8, 0, 1, nullptr};
const G_DATA_TYPE DT_UNSIGNED32 = {"DT_UNSIGNED32", G_DF_UNSIGNED32, 0, 4, nullptr};
const G_DATA_TYPE DT_FLOAT32 = {"DT_FLOAT32", G_DF_FLOAT32, 0, 4, nullptr};

namespace {

struct Registration {
  MBOX mbox;
  const GMSG_MAP_INFO *pMap;
};

std::mutex s_mutex;
std::vector<Registration> s_registrations;
std::vector<GMSG_STANDIN_SENT> s_sent;
std::vector<GMSG_STANDIN_SEGMENTED> s_segmented;
std::vector<GMSG_ADDRESS> s_disconnects;
std::vector<U32> s_failingAddresses;
U32 s_u32Address = 0;
U32 s_u32ServiceTransducer = 0;

struct Monitor {
  bool bAllocated;
  bool bActive;
  MBOX mbox;
  U32 u32IntervalMs;
  U32 u32LastHeardMs;
  GMSG_ADDRESS Address;
};
Monitor s_monitors[SERVER_MONITOR_COUNT];

// Scalars of a structure lie at their natural alignment in memory and packed on the wire after the version.
U32 serialise(const G_DATA_TYPE *pType, const U8 *pu8Data, U8 *pu8Out, U32 u32Max) {
  U32 u32Out = 0;
  auto put = [&](const void *pv, U32 u32Size) {
    if (u32Out + u32Size <= u32Max) memcpy(pu8Out + u32Out, pv, u32Size);
    u32Out += u32Size;
  };
  if (pType->eDataFormat != G_DF_STRUCT || pType->DataTypes == nullptr) {
    put(pu8Data, static_cast<U32>(pType->nSizeofType));
    return std::min(u32Out, u32Max);
  }
  const U32 u32Version = static_cast<U32>(pType->nVersion);
  put(&u32Version, 4);
  U32 u32At = 0;
  for (const G_DATA_TYPE *const *ppMember = pType->DataTypes; *ppMember != nullptr; ++ppMember) {
    const U32 u32Size = static_cast<U32>((*ppMember)->nSizeofType);
    const U32 u32Align = std::min<U32>(u32Size, 4);
    if (u32Align > 1) u32At = (u32At + u32Align - 1) / u32Align * u32Align;
    put(pu8Data + u32At, u32Size);
    u32At += u32Size;
  }
  return std::min(u32Out, u32Max);
}

// Moves up to u32Max recorded entries out, oldest first.
template <typename T>
U32 take(std::vector<T> &recorded, T *pOut, U32 u32Max) {
  std::lock_guard<std::mutex> lock(s_mutex);
  U32 n = 0;
  for (; n < u32Max && n < recorded.size(); ++n) pOut[n] = recorded[n];
  recorded.erase(recorded.begin(), recorded.begin() + n);
  return n;
}

BOOLEAN record(MBOX Mailbox, const GMSG_ADDRESS *pDstAddress, GMSG_ID_TYPE eMsgId, const G_DATA_TYPE *pDataType,
               const void *pData) {
  if (pDstAddress == nullptr) return FALSE;
  GMSG_STANDIN_SENT sent = {};
  sent.Mailbox = Mailbox;
  sent.Address = *pDstAddress;
  sent.MsgId = eMsgId;
  if (pData != nullptr && pDataType != nullptr && pDataType->nSizeofType > 0) {
    memcpy(sent.aBody, pData, std::min<size_t>(sizeof sent.aBody, static_cast<size_t>(pDataType->nSizeofType)));
    sent.u32SerialisedLength =
        serialise(pDataType, static_cast<const U8 *>(pData), sent.aSerialised, sizeof sent.aSerialised);
  }
  std::lock_guard<std::mutex> lock(s_mutex);
  s_sent.push_back(sent);
  return std::find(s_failingAddresses.begin(), s_failingAddresses.end(),
                   pDstAddress->uAddr.SocketAddress.u32Address) == s_failingAddresses.end();
}

constexpr U32 kSlots = 20;
struct DestinationList {
  GMSG_ADDRESS slot[kSlots];
  U32 userData[kSlots];
};

bool bIsNull(const GMSG_ADDRESS &a) {
  return a.MsgAddressType == 0 && a.uAddr.SocketAddress.u32Address == 0 && a.uAddr.SocketAddress.u32Port == 0;
}

}  // namespace

BOOLEAN U_GMSG_bRegisterMailbox(MBOX Mailbox, RESOURCE, SEMA, const GMSG_MAP_INFO *pMsgMapInfo, U16 u16Port) {
  std::lock_guard<std::mutex> lock(s_mutex);
  for (Registration &r : s_registrations) {
    if (r.mbox == Mailbox) {
      r.pMap = pMsgMapInfo;
      return TRUE;
    }
  }
  s_registrations.push_back({Mailbox, pMsgMapInfo});
  log_me("network stand-in: mailbox %d registered on port %u", Mailbox, u16Port);
  return TRUE;
}

const GMSG_MAP_INFO *GMSG_STANDIN_pMap(MBOX Mailbox) {
  std::lock_guard<std::mutex> lock(s_mutex);
  for (const Registration &r : s_registrations) {
    if (r.mbox == Mailbox) return r.pMap;
  }
  return nullptr;
}

BOOLEAN U_GMSG_bHandleReceive(MSG_GMSG_RECEIVE *pMsgReceive) {
  GMSG_INFO *pInfo = &pMsgReceive->MsgInfo;
  const GMSG_MAP_INFO *pRow = GMSG_STANDIN_pMap(pMsgReceive->Mailbox);
  while (pRow != nullptr && pRow->MsgIdType != 0 &&
         (pInfo->pMsgHeader == nullptr || pRow->MsgIdType != pInfo->pMsgHeader->u32MsgId)) {
    ++pRow;
  }
  BOOLEAN bHandled = FALSE;
  if (pRow != nullptr && pRow->MsgIdType != 0 && pRow->pfHandler != nullptr) {
    pInfo->pDataType = pRow->pDataType;
    bHandled = pRow->pfHandler(pMsgReceive->Mailbox, pInfo, pRow->pvParam1, pRow->pvParam2);
  }
  H_MEMORY_vFree(pInfo->pStructMsg);
  H_MEMORY_vFree(pInfo->pMsgHeader);
  pInfo->pStructMsg = nullptr;
  pInfo->pMsgHeader = nullptr;
  return bHandled;
}

BOOLEAN U_GMSG_bSendMsgNoReply(MBOX Mailbox, const GMSG_ADDRESS *pDstAddress, GMSG_ID_TYPE eMsgId,
                               const G_DATA_TYPE *pDataType, const void *pData, U64) {
  return record(Mailbox, pDstAddress, eMsgId, pDataType, pData);
}

BOOLEAN U_GMSG_bSendMsgNoWaitAsync(MBOX Mailbox, const GMSG_ADDRESS *pDstAddress, GMSG_ID_TYPE eMsgId,
                                   const G_DATA_TYPE *pDataType, const void *pData, U64, U32) {
  return record(Mailbox, pDstAddress, eMsgId, pDataType, pData);
}

BOOLEAN U_GMSG_bSendMsgNoWait(MBOX Mailbox, const GMSG_ADDRESS *pDstAddress, GMSG_ID_TYPE eMsgId,
                              const G_DATA_TYPE *pDataType, const void *pData, U64, U32) {
  return record(Mailbox, pDstAddress, eMsgId, pDataType, pData);
}

BOOLEAN U_GMSG_bSendMsgNoReplyAlt(MBOX, const GMSG_ADDRESS *pDstAddress, GMSG_ID_TYPE eMsgId, const G_DATA_TYPE *,
                                  void *pData, U64, const GMSG_ALT_TRANSPORT *pAlt) {
  if (pDstAddress == nullptr || pAlt == nullptr || !pAlt->bRaw) return FALSE;
  GMSG_STANDIN_SEGMENTED sent = {};
  sent.Address = *pDstAddress;
  sent.MsgId = eMsgId;
  sent.u32Length = pAlt->u32DataLength;
  if (pData != nullptr) memcpy(sent.aData, pData, std::min<size_t>(sizeof sent.aData, pAlt->u32DataLength));
  std::lock_guard<std::mutex> lock(s_mutex);
  if (std::find(s_failingAddresses.begin(), s_failingAddresses.end(), pDstAddress->uAddr.SocketAddress.u32Address) !=
      s_failingAddresses.end()) {
    return FALSE;  // the caller still owns the buffer
  }
  s_segmented.push_back(sent);
  H_MEMORY_vFree(pData);
  return TRUE;
}

BOOLEAN U_GMSG_bDisconnect(MBOX, const GMSG_ADDRESS *pAddress) {
  if (pAddress == nullptr) return FALSE;
  std::lock_guard<std::mutex> lock(s_mutex);
  s_disconnects.push_back(*pAddress);
  return TRUE;
}

U32 GMSG_STANDIN_u32TakeSegmented(GMSG_STANDIN_SEGMENTED *pSent, U32 u32Max) {
  return take(s_segmented, pSent, u32Max);
}

U32 GMSG_STANDIN_u32TakeDisconnects(GMSG_ADDRESS *pAddress, U32 u32Max) {
  return take(s_disconnects, pAddress, u32Max);
}

void GMSG_STANDIN_vFailSendsTo(U32 u32Address, BOOLEAN bFail) {
  std::lock_guard<std::mutex> lock(s_mutex);
  s_failingAddresses.erase(std::remove(s_failingAddresses.begin(), s_failingAddresses.end(), u32Address),
                           s_failingAddresses.end());
  if (bFail) s_failingAddresses.push_back(u32Address);
}

void GMSG_STANDIN_vInjectReceive(MBOX Mailbox, const GMSG_ADDRESS *pSource, GMSG_ID_TYPE MsgId, const void *pvBody,
                                 U32 u32Size) {
  auto *pMsg = static_cast<MSG_GMSG_RECEIVE *>(H_MEMORY_pvCalloc(1, sizeof(MSG_GMSG_RECEIVE)));
  pMsg->header.Cmd = CMD_ID_GMSG_RECEIVE;
  pMsg->Mailbox = Mailbox;
  pMsg->MsgInfo.pMsgHeader = static_cast<GMSG_HEADER *>(H_MEMORY_pvCalloc(1, sizeof(GMSG_HEADER)));
  pMsg->MsgInfo.pMsgHeader->u32MsgId = MsgId;
  pMsg->MsgInfo.pMsgHeader->SrcAddress = *pSource;
  if (pvBody != nullptr && u32Size > 0) {
    pMsg->MsgInfo.pStructMsg = H_MEMORY_pvMalloc(u32Size);
    memcpy(pMsg->MsgInfo.pStructMsg, pvBody, u32Size);
  }
  pMsg->MsgInfo.bReceived = TRUE;
  L_MBOX_Send(Mailbox, pMsg, 3, 0);
}

void GMSG_STANDIN_vInjectDisconnect(MBOX Mailbox, CMD_ID eCmd, const GMSG_ADDRESS *pAddress) {
  auto *pMsg = static_cast<MSG_GMSG_DISCONNECT *>(H_MEMORY_pvCalloc(1, sizeof(MSG_GMSG_DISCONNECT)));
  pMsg->header.Cmd = eCmd;
  pMsg->Mailbox = Mailbox;
  pMsg->Address = *pAddress;
  L_MBOX_Send(Mailbox, pMsg, 3, 0);
}

U32 U_SERVER_MONITOR_u32Allocate(void) {
  std::lock_guard<std::mutex> lock(s_mutex);
  for (U32 i = 0; i < SERVER_MONITOR_COUNT; ++i) {
    if (!s_monitors[i].bAllocated) {
      s_monitors[i] = {};
      s_monitors[i].bAllocated = true;
      s_monitors[i].u32IntervalMs = 60000;
      return i;
    }
  }
  log_me("network stand-in: no server monitor left");
  return SERVER_MONITOR_NONE;
}

namespace {
template <typename F>
void withMonitor(U32 u32Handle, F f) {
  std::lock_guard<std::mutex> lock(s_mutex);
  if (u32Handle < SERVER_MONITOR_COUNT && s_monitors[u32Handle].bAllocated) f(s_monitors[u32Handle]);
}
}  // namespace

void U_SERVER_MONITOR_vSetUserName(U32, const char *) {}
void U_SERVER_MONITOR_vSetMailbox(U32 u32Handle, MBOX Mailbox) {
  withMonitor(u32Handle, [&](Monitor &m) { m.mbox = Mailbox; });
}
void U_SERVER_MONITOR_vSetTimeoutInterval(U32 u32Handle, U32 u32Ms) {
  withMonitor(u32Handle, [&](Monitor &m) { m.u32IntervalMs = u32Ms; });
}
void U_SERVER_MONITOR_vSetServerAddress(U32 u32Handle, const GMSG_ADDRESS *pAddress) {
  withMonitor(u32Handle, [&](Monitor &m) { m.Address = *pAddress; });
}
void U_SERVER_MONITOR_vSetActive(U32 u32Handle, BOOLEAN bActive) {
  const U32 u32Now = H_TICK_u32ReadFreeRunningTimerInMilliSeconds();
  withMonitor(u32Handle, [&](Monitor &m) {
    m.bActive = bActive;
    m.u32LastHeardMs = u32Now;
  });
}
void U_SERVER_MONITOR_vReceivedMessage(U32 u32Handle) {
  const U32 u32Now = H_TICK_u32ReadFreeRunningTimerInMilliSeconds();
  withMonitor(u32Handle, [&](Monitor &m) { m.u32LastHeardMs = u32Now; });
}

void U_SERVER_MONITOR_vPoll(void) {
  const U32 u32Now = H_TICK_u32ReadFreeRunningTimerInMilliSeconds();
  std::vector<std::pair<MBOX, GMSG_ADDRESS>> due;
  {
    std::lock_guard<std::mutex> lock(s_mutex);
    for (Monitor &m : s_monitors) {
      if (m.bAllocated && m.bActive && u32Now - m.u32LastHeardMs >= m.u32IntervalMs) {
        m.bActive = false;
        due.push_back({m.mbox, m.Address});
      }
    }
  }
  for (const auto &d : due) GMSG_STANDIN_vInjectDisconnect(d.first, CMD_ID_SERVER_MONITOR_TIMEOUT, &d.second);
}

void GMSG_STANDIN_vSetAddress(U32 u32Address) {
  std::lock_guard<std::mutex> lock(s_mutex);
  s_u32Address = u32Address;
}

U32 GMSG_STANDIN_u32Address(void) {
  std::lock_guard<std::mutex> lock(s_mutex);
  return s_u32Address;
}

void T_ETHERNET_vGetMulticastIpAddress(U32 u32SourceType, U32 *pu32Group) {
  const U32 u32Address = GMSG_STANDIN_u32Address();
  *pu32Group = 239u | (u32SourceType == 0 ? 0u : 2u) << 8 | (u32Address & 0xFFFF0000u);
}

void GMSG_STANDIN_vSetServiceTransducer(U32 u32Transducer) {
  std::lock_guard<std::mutex> lock(s_mutex);
  s_u32ServiceTransducer = u32Transducer;
}

U32 T_SLP_CLIENT_u32GetTransducerFromServerIP(U32, U32, U32) {
  std::lock_guard<std::mutex> lock(s_mutex);
  return s_u32ServiceTransducer;
}

U32 GMSG_STANDIN_u32TakeSent(GMSG_STANDIN_SENT *pSent, U32 u32Max) { return take(s_sent, pSent, u32Max); }

void GMSG_vMakeSocketAddress(GMSG_ADDRESS *pAddress, U32 u32Address, U32 u32Port) {
  memset(pAddress, 0, sizeof *pAddress);
  pAddress->uAddr.SocketAddress.u32Address = u32Address;
  pAddress->uAddr.SocketAddress.u32Port = u32Port;
}

BOOLEAN GMSG_bAddressEqual(const GMSG_ADDRESS *pA, const GMSG_ADDRESS *pB) {
  return pA->MsgAddressType == 0 && pB->MsgAddressType == 0 &&
         pA->uAddr.SocketAddress.u32Address == pB->uAddr.SocketAddress.u32Address &&
         pA->uAddr.SocketAddress.u32Port == pB->uAddr.SocketAddress.u32Port;
}

void *U_NETWORKDEST_pvNew(void) { return H_MEMORY_pvCalloc(1, sizeof(DestinationList)); }

void U_NETWORKDEST_pvFree(void *pvList) { H_MEMORY_vFree(pvList); }

BOOLEAN U_NETWORKDEST_bRegisterNetworkDestination(void *pvList, const GMSG_ADDRESS *pMsgAddress, BOOLEAN bRegister,
                                                  U32 u32UserData) {
  auto *pList = static_cast<DestinationList *>(pvList);
  if (pList == nullptr || pMsgAddress == nullptr) return FALSE;
  for (U32 i = 0; i < kSlots; ++i) {
    if (!GMSG_bAddressEqual(&pList->slot[i], pMsgAddress)) continue;
    if (bRegister) {
      if (pList->userData[i] == u32UserData) return TRUE;
    } else if (u32UserData == 0xFFFFFFFFu || pList->userData[i] == u32UserData) {
      memset(&pList->slot[i], 0, sizeof pList->slot[i]);
      return TRUE;
    }
  }
  if (!bRegister) return FALSE;
  for (U32 i = 0; i < kSlots; ++i) {
    if (bIsNull(pList->slot[i])) {
      pList->slot[i] = *pMsgAddress;
      pList->userData[i] = u32UserData;
      return TRUE;
    }
  }
  return FALSE;
}

void U_NETWORKDEST_vFindUserData(void *pvList, U32 u32Address, U32 *pu32UserData) {
  auto *pList = static_cast<DestinationList *>(pvList);
  if (pList == nullptr) return;
  for (U32 i = 0; i < kSlots; ++i) {
    if (!bIsNull(pList->slot[i]) && pList->slot[i].uAddr.SocketAddress.u32Address == u32Address) {
      *pu32UserData = pList->userData[i];
      return;
    }
  }
}

GMSG_ADDRESS *U_NETWORKDEST_gapNext(void *pvList, U32 *pu32Index, U32 *pu32UserData) {
  auto *pList = static_cast<DestinationList *>(pvList);
  if (pList == nullptr || pu32Index == nullptr) return nullptr;
  for (U32 i = *pu32Index; i < kSlots; ++i) {
    if (bIsNull(pList->slot[i])) continue;
    *pu32Index = i + 1;
    if (pu32UserData != nullptr) *pu32UserData = pList->userData[i];
    return &pList->slot[i];
  }
  *pu32Index = kSlots;
  return nullptr;
}

// The simulator's interface is taken as up unless a test says otherwise.
namespace {
std::atomic<BOOLEAN> s_bAddressReady{TRUE};
}
BOOLEAN T_ETHERNET_bIsAddressReady(void) { return s_bAddressReady.load(); }
void GMSG_STANDIN_vSetAddressReady(BOOLEAN bReady) { s_bAddressReady.store(bReady); }
