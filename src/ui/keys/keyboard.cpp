// Key registration clients: messages to the keyboard task's mailbox, published under 'TKBD'.
#include "ui/keys/keyboard.h"

#include "settings/database.h"
#include "kernel/memory.h"

BOOLEAN U_KEYBOARD_bRegisterKeys(MBOX mboxOwner, U32 u32Keys, KEY_STATE state, BOOLEAN bRepeat, BOOLEAN bAccelerate,
                                 CURSOR_MODE cursorMode, KEY_USAGE usage) {
  MBOX mbox = 0;
  if (!H_DATABASE_bFetchMailbox(FCID("TKBD"), &mbox)) return FALSE;
  auto *pMsg = static_cast<MSG_REGISTER_FOR_KEYS *>(H_MEMORY_pvCalloc(1, sizeof(MSG_REGISTER_FOR_KEYS)));
  pMsg->header.Cmd = CMD_ID_REGISTER_FOR_KEYS;
  pMsg->keys = u32Keys;
  pMsg->mailbox = mboxOwner;
  pMsg->state = state;
  pMsg->usage = usage;
  pMsg->cursor_mode = cursorMode;
  pMsg->repeat = bRepeat;
  pMsg->accelerate = bAccelerate;
  L_MBOX_Send(mbox, pMsg, NORMAL_PRIORITY, 0);
  return TRUE;
}

BOOLEAN U_KEYBOARD_bUnregisterKeys(MBOX mboxOwner, U32 u32Keys) {
  MBOX mbox = 0;
  if (!H_DATABASE_bFetchMailbox(FCID("TKBD"), &mbox)) return FALSE;
  auto *pMsg = static_cast<MSG_UNREGISTER_FOR_KEYS *>(H_MEMORY_pvCalloc(1, sizeof(MSG_UNREGISTER_FOR_KEYS)));
  pMsg->header.Cmd = CMD_ID_UNREGISTER_FOR_KEYS;
  pMsg->keys = u32Keys;
  pMsg->mailbox = mboxOwner;
  L_MBOX_Send(mbox, pMsg, NORMAL_PRIORITY, 0);
  return TRUE;
}
