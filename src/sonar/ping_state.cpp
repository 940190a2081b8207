#include "sonar/ping_state.h"

#include "kernel/error.h"
#include "kernel/log.h"
#include "kernel/memory.h"
#include "kernel/reset.h"

namespace {

NETWORK_CLIENT_STATE s_eNetworkClientState[4] = {NETWORK_CLIENT_STATE_INIT, NETWORK_CLIENT_STATE_INIT,
                                                 NETWORK_CLIENT_STATE_INIT, NETWORK_CLIENT_STATE_INIT};
SYSTEM_STATE s_eSystemState = static_cast<SYSTEM_STATE>(0);
BOOLEAN s_bPlayback = FALSE;
BOOLEAN s_bDeepWaterMode = FALSE;
U32 s_u32DepthKnownCnt = 0;
S32 s_s32ServerMonitorHandle[4] = {0, 0, 0, 0};
float s_fCurrentDepth = 0.0f;
BEAM s_BeamSelected = 1;
LAYER_ID s_CurrentView = -2;
GMSG_ADDRESS ServerAddress[4] = {};

bool validSource(U16 u16Source) { return u16Source < 4; }

}  // namespace

NETWORK_CLIENT_STATE U_PING_eGetNetworkClientState(U16 u16Source) {
  return validSource(u16Source) ? s_eNetworkClientState[u16Source] : NETWORK_CLIENT_STATE_INIT;
}

void U_PING_vSetNetworkClientState(NETWORK_CLIENT_STATE eState, U16 u16Source) {
  if (validSource(u16Source)) s_eNetworkClientState[u16Source] = eState;
}

SYSTEM_STATE U_PING_eGetSystemState(void) { return s_eSystemState; }
void U_PING_vSetSystemState(SYSTEM_STATE eState) { s_eSystemState = eState; }
BOOLEAN U_PING_bGetPlayback(void) { return s_bPlayback; }
void U_PING_vSetPlayback(BOOLEAN bPlayback) { s_bPlayback = bPlayback; }
BOOLEAN U_PING_bGetDeepWaterMode(void) { return s_bDeepWaterMode; }
void U_PING_vSetDeepWaterMode(BOOLEAN bDeepWaterMode) { s_bDeepWaterMode = bDeepWaterMode; }
U32 U_PING_u32GetDepthKnownCnt(void) { return s_u32DepthKnownCnt; }
void U_PING_vSetDepthKnownCnt(U32 u32Count) { s_u32DepthKnownCnt = u32Count; }
void U_PING_vIncrementDepthKnownCnt(U32 u32Increment) { s_u32DepthKnownCnt += u32Increment; }

S32 U_PING_s32GetServerMonitorHandle(U16 u16Source) {
  return validSource(u16Source) ? s_s32ServerMonitorHandle[u16Source] : 0;
}

void U_PING_vSetServerMonitorHandle(S32 s32Handle, U16 u16Source) {
  if (validSource(u16Source)) s_s32ServerMonitorHandle[u16Source] = s32Handle;
}

float U_PING_fGetCurrentDepth(void) { return s_fCurrentDepth; }
void U_PING_vSetCurrentDepth(float fDepth) { s_fCurrentDepth = fDepth; }
BEAM U_PING_beamGetBeamSelected(void) { return s_BeamSelected; }
void U_PING_vSetBeamSelected(BEAM Beam) { s_BeamSelected = Beam; }
LAYER_ID U_PING_layeridGetCurrentView(void) { return s_CurrentView; }
void U_PING_vSetCurrentView(LAYER_ID eView) { s_CurrentView = eView; }

void U_PING_vSetServerAddress(GMSG_ADDRESS Address, U16 u16Source) {
  if (validSource(u16Source)) ServerAddress[u16Source] = Address;
}

void U_PING_vGetServerAddress(GMSG_ADDRESS *pAddress, U16 u16Source) {
  *pAddress = validSource(u16Source) ? ServerAddress[u16Source] : GMSG_ADDRESS{};
}

void U_PING_vInitServerAddress(void) {
  for (GMSG_ADDRESS &address : ServerAddress) address = GMSG_ADDRESS{};
}

S32 U_PING_s32GetSonarIndexFromServerMonitorHandle(S32 s32Handle) {
  for (S32 s32Source = 0; s32Source < 4; ++s32Source) {
    if (s_s32ServerMonitorHandle[s32Source] == s32Handle) return s32Source;
  }
  return -1;
}

void U_PING_vAddClientNode(sonarRegisteredClientNode **ppHead, U32 u32Address) {
  sonarRegisteredClientNode **ppLink = ppHead;
  for (; *ppLink != nullptr; ppLink = &(*ppLink)->next) {
    if ((*ppLink)->u32ClientAddress == u32Address) {
      log_me("[%d]: u_ping.c - client at %08X already registered", __LINE__, u32Address);
      return;
    }
  }
  auto *pNode = static_cast<sonarRegisteredClientNode *>(H_MEMORY_pvMalloc(sizeof(sonarRegisteredClientNode)));
  if (pNode == nullptr) {
    ERROR_error(__FILE__, __LINE__, "Cannot allocate memory");
    U_RESET_vReset();
  }
  pNode->u32ClientAddress = u32Address;
  pNode->next = nullptr;
  *ppLink = pNode;
}

void U_PING_vDeleteClientNode(sonarRegisteredClientNode **ppHead, U32 u32Address) {
  if (*ppHead == nullptr) {
    log_me("[%d]: u_ping.c - empty list for sonar source, cannot delete address %08X", __LINE__, u32Address);
    return;
  }
  for (sonarRegisteredClientNode **ppLink = ppHead; *ppLink != nullptr; ppLink = &(*ppLink)->next) {
    if ((*ppLink)->u32ClientAddress == u32Address) {
      sonarRegisteredClientNode *pNode = *ppLink;
      *ppLink = pNode->next;
      H_MEMORY_vFree(pNode);
      return;
    }
  }
}

void U_PING_vAllDeleteClientNodes(sonarRegisteredClientNode **ppHead) {
  while (*ppHead != nullptr) {
    sonarRegisteredClientNode *pNode = *ppHead;
    *ppHead = pNode->next;
    H_MEMORY_vFree(pNode);
  }
}
