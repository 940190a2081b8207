// The view task's clients: layer registration and removal messages, and the current view and side.
#include "view/view.h"

#include "kernel/memory.h"

namespace {

BOOLEAN bRegister(DRAW_FUNCTION *pfnDraw, LAYER_ID layer, LAYER_ID layerWhereUsed, U32 u32User,
                  FOURCHARID fcidControl, BOOLEAN bDefaultState, const ARRAY_OF_STRING_PTRS *pPlaybackString,
                  const ARRAY_OF_STRING_PTRS *pSimString, const ARRAY_OF_STRING_PTRS *pPOSString,
                  SPLIT_WINDOW_TYPE eLocation, FOURCHARID fcidSplitControl) {
  MBOX mbox = 0;
  if (!H_DATABASE_bFetchMailbox(FCID("TVUE"), &mbox)) return FALSE;
  auto *pMsg = static_cast<MSG_REGISTER_LAYER *>(H_MEMORY_pvMalloc(sizeof(MSG_REGISTER_LAYER)));
  *pMsg = MSG_REGISTER_LAYER{};
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
  pMsg->eLocation = eLocation;
  pMsg->fcidSplitControl = fcidSplitControl;
  L_MBOX_Send(mbox, pMsg, NORMAL_PRIORITY, 0);
  return TRUE;
}

}  // namespace

BOOLEAN U_VIEW_bRegisterLayer(DRAW_FUNCTION *pfnDraw, LAYER_ID layer, LAYER_ID layerWhereUsed, U32 u32User,
                              FOURCHARID fcidControl, BOOLEAN bDefaultState,
                              const ARRAY_OF_STRING_PTRS *pPlaybackString, const ARRAY_OF_STRING_PTRS *pSimString,
                              const ARRAY_OF_STRING_PTRS *pPOSString) {
  return bRegister(pfnDraw, layer, layerWhereUsed, u32User, fcidControl, bDefaultState, pPlaybackString,
                   pSimString, pPOSString, SPLIT_FULL_WINDOW, 0);
}

BOOLEAN U_VIEW_bRegisterLayerSplit(DRAW_FUNCTION *pfnDraw, LAYER_ID layer, LAYER_ID layerWhereUsed, U32 u32User,
                                   FOURCHARID fcidControl, BOOLEAN bDefaultState,
                                   const ARRAY_OF_STRING_PTRS *pPlaybackString,
                                   const ARRAY_OF_STRING_PTRS *pSimString, const ARRAY_OF_STRING_PTRS *pPOSString,
                                   SPLIT_WINDOW_TYPE eLocation, FOURCHARID fcidSplitControl) {
  return bRegister(pfnDraw, layer, layerWhereUsed, u32User, fcidControl, bDefaultState, pPlaybackString,
                   pSimString, pPOSString, eLocation, fcidSplitControl);
}

BOOLEAN U_VIEW_bUnRegisterLayerSplit(LAYER_ID layer, SPLIT_WINDOW_TYPE eLocation) {
  MBOX mbox = 0;
  if (!H_DATABASE_bFetchMailbox(FCID("TVUE"), &mbox)) return FALSE;
  auto *pMsg = static_cast<MSG_UNREGISTER_LAYER *>(H_MEMORY_pvMalloc(sizeof(MSG_UNREGISTER_LAYER)));
  *pMsg = MSG_UNREGISTER_LAYER{};
  pMsg->header.Cmd = CMD_ID_UNREGISTER_LAYER;
  pMsg->layer = layer;
  pMsg->eLocation = eLocation;
  L_MBOX_Send(mbox, pMsg, NORMAL_PRIORITY, 0);
  return TRUE;
}

BOOLEAN U_VIEW_bUnRegisterLayer(LAYER_ID layer) { return U_VIEW_bUnRegisterLayerSplit(layer, SPLIT_FULL_WINDOW); }

LAYER_ID U_VIEW_eCurrentView(void) {
  U32 u32View = 0;
  BOOLEAN bValid = FALSE;
  if (!H_DATABASE_bFetchU32(FCID("CVEW"), &u32View, &bValid, nullptr)) return NO_VIEW_PRIORITY;
  return static_cast<LAYER_ID>(u32View);
}

SPLIT_WINDOW_TYPE U_VIEW_eCurrentSplit(void) {
  U32 u32Side = 0;
  BOOLEAN bValid = FALSE;
  if (!H_DATABASE_bFetchU32(FCID("CVAS"), &u32Side, &bValid, nullptr)) return NO_SPLIT_WINDOW;
  return static_cast<SPLIT_WINDOW_TYPE>(u32Side);
}
