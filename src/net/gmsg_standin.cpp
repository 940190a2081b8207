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

const G_DATA_TYPE DT_UNSIGNED32 = {"DT_UNSIGNED32", G_DF_UNSIGNED32, 0, 4, nullptr};

namespace {

struct Registration {
  MBOX mbox;
  const GMSG_MAP_INFO *pMap;
};

std::mutex s_mutex;
std::vector<Registration> s_registrations;
std::vector<GMSG_STANDIN_SENT> s_sent;

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
  if (pDstAddress == nullptr) return FALSE;
  GMSG_STANDIN_SENT sent = {};
  sent.Mailbox = Mailbox;
  sent.Address = *pDstAddress;
  sent.MsgId = eMsgId;
  if (pData != nullptr && pDataType != nullptr && pDataType->nSizeofType > 0) {
    memcpy(sent.aBody, pData, std::min<size_t>(sizeof sent.aBody, static_cast<size_t>(pDataType->nSizeofType)));
  }
  std::lock_guard<std::mutex> lock(s_mutex);
  s_sent.push_back(sent);
  return TRUE;
}

U32 GMSG_STANDIN_u32TakeSent(GMSG_STANDIN_SENT *pSent, U32 u32Max) {
  std::lock_guard<std::mutex> lock(s_mutex);
  U32 n = 0;
  for (; n < u32Max && n < s_sent.size(); ++n) pSent[n] = s_sent[n];
  s_sent.erase(s_sent.begin(), s_sent.begin() + n);
  return n;
}

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
