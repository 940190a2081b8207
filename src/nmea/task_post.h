// Posting a request to a task whose mailbox is published under a settings key: the client functions of the
// UART and NMEA tasks.
#pragma once
#include "kernel/mbox.h"
#include "kernel/memory.h"
#include "settings/database.h"

// Sends the message at NORMAL_PRIORITY without acknowledgement; FALSE and the message freed when the key is
// missing or not valid.
BOOLEAN NMEA_bPostToTask(FOURCHARID key, void *pvMsg);

// A cleared message with its command set.
template <typename MSG>
MSG *NMEA_pNewMessage(CMD_ID cmd) {
  auto *pMsg = static_cast<MSG *>(H_MEMORY_pvCalloc(1, sizeof(MSG)));
  pMsg->header.Cmd = cmd;
  return pMsg;
}
