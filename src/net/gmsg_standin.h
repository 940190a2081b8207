// Stand-in declarations of the typed network message layer, the destination lists and the Ethernet task's
// address check, until the networking modules are written; their real headers replace this one.
#pragma once
#include "kernel/kernel_defs.h"
#include "kernel/mbox.h"

typedef U32 GMSG_ID_TYPE;

typedef struct {
  U32 u32Address;  // IPv4 address, first octet in the lowest byte
  U32 u32Port;
  U32 u32Unused1;
  U32 u32Unused2;
} GSOCKET_ADDRESS;

typedef union {
  GSOCKET_ADDRESS SocketAddress;
  char acQueueName[16];
} GMSG_ADDRESS_U;

typedef struct {
  U32 MsgAddressType;  // 0 socket address, 1 queue address
  GMSG_ADDRESS_U uAddr;
} GMSG_ADDRESS;

typedef enum : U32 {
  G_DF_UNDEFINED = 0,
  G_DF_UNSIGNED32 = 4,
  G_DF_STRUCT = 23,
} G_DATA_FORMAT;

// A body descriptor: enough of it for the senders' tables.
typedef struct G_DATA_TYPE {
  const char *pTypeId;
  G_DATA_FORMAT eDataFormat;
  S32 nVersion;
  S32 nSizeofType;
  const struct G_DATA_TYPE *const *DataTypes;  // null-terminated members of a structure
} G_DATA_TYPE;

extern const G_DATA_TYPE DT_UNSIGNED32;

typedef struct {
  U32 u32MsgSignature;
  GMSG_ID_TYPE u32MsgId;
  U32 u32MsgFlags;
  U32 u32MsgSize;
  GMSG_ADDRESS SrcAddress;
  GMSG_ADDRESS DstAddress;
  U64 u64Token;
  U64 u64ReplyToken;
} GMSG_HEADER;

typedef struct {
  GMSG_HEADER *pMsgHeader;
  const G_DATA_TYPE *pDataType;
  void *pRawMsg;
  void *pStructMsg;  // the received body, rebuilt; may be NULL when it could not be rebuilt
  BOOLEAN bReceived;
  BOOLEAN bReply;
} GMSG_INFO;

typedef BOOLEAN (*GMSG_HANDLER_FP)(MBOX Mailbox, GMSG_INFO *pMsgInfo, void *pvParam1, void *pvParam2);

typedef struct {
  GMSG_ID_TYPE MsgIdType;
  GMSG_HANDLER_FP pfHandler;
  const G_DATA_TYPE *pDataType;
  void *pvParam1;
  void *pvParam2;
} GMSG_MAP_INFO;

typedef struct {
  GENERIC_MESSAGE header;  // CMD_ID_GMSG_RECEIVE
  MBOX Mailbox;
  GMSG_INFO MsgInfo;
} MSG_GMSG_RECEIVE;

typedef struct {
  GENERIC_MESSAGE header;  // CMD_ID_GMSG_DISCONNECT
  MBOX Mailbox;
  GMSG_ADDRESS Address;
} MSG_GMSG_DISCONNECT;

BOOLEAN U_GMSG_bRegisterMailbox(MBOX Mailbox, RESOURCE ResLock, SEMA Sema, const GMSG_MAP_INFO *pMsgMapInfo,
                                U16 u16Port);
// Calls the map's handler for the message's id with its body; the body is released afterwards.
BOOLEAN U_GMSG_bHandleReceive(MSG_GMSG_RECEIVE *pMsgReceive);
BOOLEAN U_GMSG_bSendMsgNoReply(MBOX Mailbox, const GMSG_ADDRESS *pDstAddress, GMSG_ID_TYPE eMsgId,
                               const G_DATA_TYPE *pDataType, const void *pData, U64 u64UserToken);
void GMSG_vMakeSocketAddress(GMSG_ADDRESS *pAddress, U32 u32Address, U32 u32Port);
BOOLEAN GMSG_bAddressEqual(const GMSG_ADDRESS *pA, const GMSG_ADDRESS *pB);

void *U_NETWORKDEST_pvNew(void);
void U_NETWORKDEST_pvFree(void *pvList);
BOOLEAN U_NETWORKDEST_bRegisterNetworkDestination(void *pvList, const GMSG_ADDRESS *pMsgAddress, BOOLEAN bRegister,
                                                  U32 u32UserData);
GMSG_ADDRESS *U_NETWORKDEST_gapNext(void *pvList, U32 *pu32Index, U32 *pu32UserData);

BOOLEAN T_ETHERNET_bIsAddressReady(void);
// Tests: what the address check answers (TRUE at start).
void GMSG_STANDIN_vSetAddressReady(BOOLEAN bReady);

// Tests of the stand-in's callers: what was sent, and the map registered for a mailbox.
typedef struct {
  MBOX Mailbox;
  GMSG_ADDRESS Address;
  GMSG_ID_TYPE MsgId;
  U8 aBody[64];  // the datum's first bytes, as in memory
} GMSG_STANDIN_SENT;
// Moves up to u32Max recorded sends into pSent; the number moved.
U32 GMSG_STANDIN_u32TakeSent(GMSG_STANDIN_SENT *pSent, U32 u32Max);
const GMSG_MAP_INFO *GMSG_STANDIN_pMap(MBOX Mailbox);
