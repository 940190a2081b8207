// The sonar settings exchange between this unit, its network clients and the servers of its network-fed
// sources: the translation between the keys the menus use and the keys the local sonar saves, control
// changes in and out, synchronising a new client, transducer-change notices, the clients' destinations with
// their send-failure count, and lost peers.
#pragma once
#include "corvan/types.h"
#include "net/gmsg_standin.h"
#include "settings/database.h"

typedef struct {
  FOURCHARID fcidUIControl;     // the key the menus and the network exchange use
  FOURCHARID fcidSavedSetting;  // the key this unit's sonar saves and uses
  U32 u32SonarSources;          // source bits the setting belongs to
} FCID_TRANSLATE_TYPE;

constexpr U32 FCID_TRANSLATE_ROWS = 42;
const FCID_TRANSLATE_TYPE *T_N_PING_pTranslateTable(void);
// The first row whose UI key or saved key is fcid; NULL when none.
const FCID_TRANSLATE_TYPE *T_N_PING_pFindTranslateRow(FOURCHARID fcid);

typedef struct {
  FOURCHARID fcid;
  U32 value;   // the raw 32-bit settings value
  U32 advise;  // 1 from a server, 0 from a client or the user
} controlChangeType;

typedef struct {
  U32 u32SupportedBeams;
  U32 u32TransducerId;
} sonarTransducerChangeType;

typedef struct {
  U32 u32MaximumSampleCount;
  U32 u32SendConsecutiveErrorCount;
} perClientDataType;

extern const G_DATA_TYPE DT_SONAR_REQUEST_DATA;
extern const G_DATA_TYPE DT_CONTROL_CHANGE;
extern const G_DATA_TYPE DT_SONAR_PING_DEPTH;
extern const G_DATA_TYPE DT_SONAR_TRANSDUCER_CHANGE;
extern const G_DATA_TYPE DT_PING_DESCRIPTOR;

// The destination list of the clients, made when the network comes up (NULL before).
void T_N_PING_vCreateNetworkDestinations(void);
void *T_N_PING_pvNetworkDestinations(void);
// Adds (with the client's sample limit as userData) or removes a client destination.
BOOLEAN T_N_PING_bRegisterNetworkDestination(void *networkDestinations, const GMSG_ADDRESS *destAddr,
                                             BOOLEAN bRegister, U32 userData);
// The client data behind a destination's user word; NULL for none.
perClientDataType *T_N_PING_pClientData(U32 u32UserWord);
void T_N_PING_vSetClientLost(BOOLEAN bSet);
// Counts a send to a client: success clears its count, the twelfth failure in a row drops it.
void T_N_PING_vCountClientSend(const GMSG_ADDRESS *pAddress, BOOLEAN bSent);

BOOLEAN T_N_PING_bSynchronizeNewClientControls(const GMSG_ADDRESS *address, U32 u32SonarSource);
BOOLEAN T_N_PING_bControlChangeSend(FOURCHARID fcid, U32 value, U32 advise, const GMSG_ADDRESS *pOriginAddress);
BOOLEAN T_N_PING_bHandleControlChangeRecieve(MBOX Mailbox, GMSG_INFO *pMsgInfo, void *pvParam1, void *pvParam2);
// Server side: tells every client of every list the new transducer kind.
void T_N_PING_vSendTransducerChange(U32 u32Kind);
BOOLEAN T_N_PING_bHandleTransducerChange(MBOX Mailbox, GMSG_INFO *pMsgInfo, void *pvParam1, void *pvParam2);
BOOLEAN T_N_PING_bHandlePeerDisconnect(const MSG_GMSG_DISCONNECT *pMsg, BOOLEAN bCauseServerMonitorTimeout);
BOOLEAN T_N_PING_bSyncLocalSideScanRange(void);
void T_N_PING_vResetLocalSideScanRangeCondVar(void);

// Source n comes from its server now.
void T_N_PING_vSetConnected(U16 u16Source);
// Local saved settings of source n into its UI keys.
void T_N_PING_vUpdateLocalDatabaseItems(U16 u16Index);
