// The sonar state shared by the ping task, the network ping receiver and the transducer module: per-source
// network client state, server monitors and addresses, playback, deep-water mode, the depth-known count, the
// current depth, beam selection and view, and the per-source lists of network clients. Plain reads and
// writes; callers hold RES_SONAR_SHARE where a sequence of calls must be consistent.
#pragma once
#include "corvan/types.h"
#include "net/gmsg_standin.h"
#include "sonar/coproc_tx.h"
#include "ui/startup/startup_state.h"
#include "view/view.h"

typedef enum {
  NETWORK_CLIENT_STATE_INIT = 1,
  NETWORK_CLIENT_STATE_LOCAL = 2,         // this unit pings the source
  NETWORK_CLIENT_STATE_REGISTER = 3,      // registration sent, no answer yet
  NETWORK_CLIENT_STATE_CONNECTED = 4,     // the source comes from a server
  NETWORK_CLIENT_STATE_DISCONNECTED = 5,  // neither
} NETWORK_CLIENT_STATE;

typedef struct sonarRegisteredClientNode {
  U32 u32ClientAddress;
  struct sonarRegisteredClientNode *next;
} sonarRegisteredClientNode;

// Sources are 0-3; another source reads as INIT, 0 or a zero address and is not stored.
NETWORK_CLIENT_STATE U_PING_eGetNetworkClientState(U16 u16Source);
void U_PING_vSetNetworkClientState(NETWORK_CLIENT_STATE eState, U16 u16Source);
SYSTEM_STATE U_PING_eGetSystemState(void);
void U_PING_vSetSystemState(SYSTEM_STATE eState);
BOOLEAN U_PING_bGetPlayback(void);
void U_PING_vSetPlayback(BOOLEAN bPlayback);
BOOLEAN U_PING_bGetDeepWaterMode(void);
void U_PING_vSetDeepWaterMode(BOOLEAN bDeepWaterMode);
U32 U_PING_u32GetDepthKnownCnt(void);
void U_PING_vSetDepthKnownCnt(U32 u32Count);
void U_PING_vIncrementDepthKnownCnt(U32 u32Increment);
S32 U_PING_s32GetServerMonitorHandle(U16 u16Source);
void U_PING_vSetServerMonitorHandle(S32 s32Handle, U16 u16Source);
float U_PING_fGetCurrentDepth(void);
void U_PING_vSetCurrentDepth(float fDepth);
BEAM U_PING_beamGetBeamSelected(void);
void U_PING_vSetBeamSelected(BEAM Beam);
LAYER_ID U_PING_layeridGetCurrentView(void);
void U_PING_vSetCurrentView(LAYER_ID eView);

void U_PING_vSetServerAddress(GMSG_ADDRESS Address, U16 u16Source);
void U_PING_vGetServerAddress(GMSG_ADDRESS *pAddress, U16 u16Source);
void U_PING_vInitServerAddress(void);
// The source whose server monitor has this handle, -1 for none.
S32 U_PING_s32GetSonarIndexFromServerMonitorHandle(S32 s32Handle);

// Client lists: an address is listed once; a node that cannot be allocated is fatal.
void U_PING_vAddClientNode(sonarRegisteredClientNode **ppHead, U32 u32Address);
void U_PING_vDeleteClientNode(sonarRegisteredClientNode **ppHead, U32 u32Address);
void U_PING_vAllDeleteClientNodes(sonarRegisteredClientNode **ppHead);
