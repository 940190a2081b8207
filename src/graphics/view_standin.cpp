// Stand-in of the view task's layer clients: the registration and removal messages go to the mailbox under
// 'TVUE' (the view task's stand-in releases them). Replaced by the view task's client module.
#include "graphics/view.h"

#include "kernel/memory.h"

namespace {
bool bViewMailbox(MBOX *pMbox) {
  U32 u32Mbox = 0;
  BOOLEAN bValid = FALSE;
  if (!H_DATABASE_bFetchU32(FCID("TVUE"), &u32Mbox, &bValid, nullptr) || !bValid) return false;
  *pMbox = static_cast<MBOX>(u32Mbox);
  return true;
}
}  // namespace

BOOLEAN U_VIEW_bRegisterLayer(DRAW_FUNCTION *pfnDraw, LAYER_ID layer, LAYER_ID layerWhereUsed, U32 u32User,
                              FOURCHARID fcidControl, BOOLEAN bDefaultState,
                              const ARRAY_OF_STRING_PTRS *pPlaybackString, const ARRAY_OF_STRING_PTRS *pSimString,
                              const ARRAY_OF_STRING_PTRS *pPOSString) {
  MBOX mbox = 0;
  if (!bViewMailbox(&mbox)) return FALSE;
  auto *pMsg = static_cast<MSG_REGISTER_LAYER *>(H_MEMORY_pvCalloc(1, sizeof(MSG_REGISTER_LAYER)));
  pMsg->header.Cmd = CMD_ID_REGISTER_LAYER;
  pMsg->layer = layer;
  pMsg->where_used = layerWhereUsed;
  pMsg->pDrawFunction = pfnDraw;
  pMsg->fcidDisplayFlag = fcidControl;
  pMsg->bDisplay = bDefaultState;
  pMsg->user = u32User;
  pMsg->pPlaybackString = pPlaybackString;
  pMsg->pSimString = pSimString;
  pMsg->pPOSString = pPOSString;
  pMsg->eLocation = SPLIT_FULL_WINDOW;
  L_MBOX_Send(mbox, pMsg, NORMAL_PRIORITY, 0);
  return TRUE;
}

BOOLEAN U_VIEW_bUnRegisterLayer(LAYER_ID layer) {
  MBOX mbox = 0;
  if (!bViewMailbox(&mbox)) return FALSE;
  auto *pMsg = static_cast<MSG_UNREGISTER_LAYER *>(H_MEMORY_pvCalloc(1, sizeof(MSG_UNREGISTER_LAYER)));
  pMsg->header.Cmd = CMD_ID_UNREGISTER_LAYER;
  pMsg->layer = layer;
  pMsg->eLocation = SPLIT_FULL_WINDOW;
  L_MBOX_Send(mbox, pMsg, NORMAL_PRIORITY, 0);
  return TRUE;
}
