// Peers of the alarm task: other units that are told when an alarm is acknowledged or cleared here.
#include <string.h>

#include "kernel/memory.h"
#include "ui/info/alarm.h"

namespace {
// Mailbox 20 is the alarm task's fixed number; it is not looked up under 'TALR'.
BOOLEAN bPostPeer(const GMSG_ADDRESS *pPeerAddress, BOOLEAN bAdd) {
  if (pPeerAddress == nullptr) return FALSE;
  auto *pMsg = static_cast<ALARM_NETWORK_PEER_ADD_MSG *>(H_MEMORY_pvMallocNoWait(sizeof(ALARM_NETWORK_PEER_ADD_MSG)));
  if (pMsg == nullptr) return FALSE;
  memset(pMsg, 0, sizeof *pMsg);
  pMsg->header.Cmd = CMD_ID_ALARM_ADD_PEER;
  pMsg->bAdd = bAdd;
  pMsg->gmsgAddress = *pPeerAddress;
  L_MBOX_Send(M_ALARM, pMsg, NORMAL_PRIORITY, 0);
  return TRUE;
}
}  // namespace

BOOLEAN U_ALARM_bAddPeer(const GMSG_ADDRESS *pPeerAddress) { return bPostPeer(pPeerAddress, TRUE); }

BOOLEAN U_ALARM_bRemovePeer(const GMSG_ADDRESS *pPeerAddress) { return bPostPeer(pPeerAddress, FALSE); }
