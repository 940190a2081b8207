// The ping task as a network sonar server: its message map on port 50688 and the handlers of client
// registrations, client ping depths and typed pings from a server.
#pragma once
#include "corvan/types.h"
#include "net/gmsg_standin.h"
#include "sonar/ping_descriptor.h"

constexpr U16 SONAR_SERVER_PORT = 50688;

enum : GMSG_ID_TYPE {
  GMSG_ID_SONAR_REQUEST_DATA = 0x180001,
  GMSG_ID_SONAR_RECEIVE_DATA = 0x180002,
  GMSG_ID_SONAR_CONTROL_CHANGE = 0x180003,
  GMSG_ID_SONAR_PING_DEPTH_DATA = 0x180004,
  GMSG_ID_SONAR_TRANSDUCER_CHANGE = 0x180005,
};

typedef struct {
  U32 registerFlag;    // non-zero register, 0 unregister
  U32 pingArrayLimit;  // the largest sample count the client wants
  U32 u32SonarSource;  // 0-3
} sonarRequestDataType;

typedef struct {
  float fActualDepthToListen;
  float fActualDepthToPing;
} sonarPingDepthType;

// A typed ping as rebuilt from its message: the descriptor's members, and its sample array with the count
// the array carried (pu8RawSonarData of Ping is not used).
typedef struct {
  PING_DESCRIPTOR Ping;
  U32 u32SampleArrayCount;
  const U8 *pu8Samples;
} sonarPingBodyType;

enum : GMSG_ID_TYPE { GMSG_ID_STATUS = 0x000001 };

// The map handed to the message service.
const GMSG_MAP_INFO *T_N_PING_pMessageMap(void);

BOOLEAN T_N_PING_bHandleNewDataRequest(MBOX Mailbox, GMSG_INFO *pMsgInfo, void *pvParam1, void *pvParam2);
BOOLEAN T_N_PING_bHandleReceivePingDepth(MBOX Mailbox, GMSG_INFO *pMsgInfo, void *pvParam1, void *pvParam2);
BOOLEAN T_N_PING_bHandleDataRecieve(MBOX Mailbox, GMSG_INFO *pMsgInfo, void *pvParam1, void *pvParam2);
BOOLEAN T_N_PING_bHandleNiceMessageAboutSomethingInThePast(MBOX Mailbox, GMSG_INFO *pMsgInfo, void *pvParam1,
                                                           void *pvParam2);
// Clears the source's bit in 'ECPM' when its list is empty (callers hold RES_SONAR_SHARE).
void T_N_PING_vRecheckClientList(U16 u16Source);
void T_N_PING_vReset2DAdvClients(void);
U32 T_N_PING_u32GetSourcesSelectedByLocal(void);
U32 T_N_PING_u32GetSourcesToPingOnLocalTx(void);
void T_N_PING_vClearPingList(BOOLEAN bFromNetwork);
void T_N_PING_vSetSideBeamRange(float fSideBeamRange);
// Puts each character into the first serial port's transmit queue, waiting while it is full.
void T_N_PING_vSendString(const U8 *pu8String);

// TRUE when the client list of that source is not empty / any list is.
BOOLEAN T_N_PING_bCheckActiveClientList(U32 u32SonarSource);
BOOLEAN T_N_PING_bActiveClients(void);
// The depths the latest client asked for.
void T_N_PING_vGetNetworkDepths(float *pfDepthToListen, float *pfDepthToPing);
