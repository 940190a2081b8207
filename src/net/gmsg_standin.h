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
  G_DF_UNSIGNED8 = 2,
  G_DF_UNSIGNED32 = 4,
  G_DF_FLOAT32 = 9,
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

extern const G_DATA_TYPE DT_UNSIGNED8;
extern const G_DATA_TYPE DT_UNSIGNED32;
extern const G_DATA_TYPE DT_FLOAT32;

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
// Waits for the socket task's result of the send (the name says the opposite).
BOOLEAN U_GMSG_bSendMsgNoWaitAsync(MBOX Mailbox, const GMSG_ADDRESS *pDstAddress, GMSG_ID_TYPE eMsgId,
                                   const G_DATA_TYPE *pDataType, const void *pData, U64 u64UserToken,
                                   U32 u32TimeoutMs);
// Posts the send without waiting for its result.
BOOLEAN U_GMSG_bSendMsgNoWait(MBOX Mailbox, const GMSG_ADDRESS *pDstAddress, GMSG_ID_TYPE eMsgId,
                              const G_DATA_TYPE *pDataType, const void *pData, U64 u64UserToken, U32 u32TimeoutMs);

typedef struct {
  BOOLEAN bRaw;           // the data pointer and length are handed on as they are
  U32 u32DataLength;
  U32 u32MultiPacket;     // one multi-part payload
} GMSG_ALT_TRANSPORT;
// Hands a raw buffer (allocator memory) to the segmented-UDP sender, which owns it from then on.
BOOLEAN U_GMSG_bSendMsgNoReplyAlt(MBOX Mailbox, const GMSG_ADDRESS *pDstAddress, GMSG_ID_TYPE eMsgId,
                                  const G_DATA_TYPE *pDataType, void *pData, U64 u64UserToken,
                                  const GMSG_ALT_TRANSPORT *pAlt);
BOOLEAN U_GMSG_bDisconnect(MBOX Mailbox, const GMSG_ADDRESS *pAddress);
void GMSG_vMakeSocketAddress(GMSG_ADDRESS *pAddress, U32 u32Address, U32 u32Port);
BOOLEAN GMSG_bAddressEqual(const GMSG_ADDRESS *pA, const GMSG_ADDRESS *pB);

void *U_NETWORKDEST_pvNew(void);
void U_NETWORKDEST_pvFree(void *pvList);
BOOLEAN U_NETWORKDEST_bRegisterNetworkDestination(void *pvList, const GMSG_ADDRESS *pMsgAddress, BOOLEAN bRegister,
                                                  U32 u32UserData);
GMSG_ADDRESS *U_NETWORKDEST_gapNext(void *pvList, U32 *pu32Index, U32 *pu32UserData);
void U_NETWORKDEST_vFindUserData(void *pvList, U32 u32Address, U32 *pu32UserData);

// Server monitors: an active monitor that hears nothing for its interval (60,000 ms unless set) posts a
// MSG_GMSG_DISCONNECT with CMD_ID_SERVER_MONITOR_TIMEOUT and the server's address to its mailbox.
constexpr U32 SERVER_MONITOR_COUNT = 19;
constexpr U32 SERVER_MONITOR_NONE = 0xFFFFFFFF;
U32 U_SERVER_MONITOR_u32Allocate(void);
void U_SERVER_MONITOR_vSetUserName(U32 u32Handle, const char *pcName);
void U_SERVER_MONITOR_vSetMailbox(U32 u32Handle, MBOX Mailbox);
void U_SERVER_MONITOR_vSetTimeoutInterval(U32 u32Handle, U32 u32Ms);
void U_SERVER_MONITOR_vSetServerAddress(U32 u32Handle, const GMSG_ADDRESS *pAddress);
void U_SERVER_MONITOR_vSetActive(U32 u32Handle, BOOLEAN bActive);
void U_SERVER_MONITOR_vReceivedMessage(U32 u32Handle);
// Posts the time-outs that are due on the kernel clock.
void U_SERVER_MONITOR_vPoll(void);

// The unit's multicast group of a source type (0 2-D: 239.0.c.d, else 239.2.c.d) from its address a.b.c.d.
void T_ETHERNET_vGetMulticastIpAddress(U32 u32SourceType, U32 *pu32Group);
// The "transducer" attribute of the sonar service discovered at that address and port; 0 when absent.
U32 T_SLP_CLIENT_u32GetTransducerFromServerIP(U32 u32Address, U32 u32Port, U32 u32SourceClass);

BOOLEAN T_ETHERNET_bIsAddressReady(void);
// Tests: what the address check answers (TRUE at start).
void GMSG_STANDIN_vSetAddressReady(BOOLEAN bReady);

// Tests of the stand-in's callers: what was sent, and the map registered for a mailbox.
typedef struct {
  MBOX Mailbox;
  GMSG_ADDRESS Address;
  GMSG_ID_TYPE MsgId;
  U8 aBody[64];  // the datum's first bytes, as in memory
  U8 aSerialised[64];  // the body as the serializer writes it (version, packed members)
  U32 u32SerialisedLength;
} GMSG_STANDIN_SENT;
// Moves up to u32Max recorded sends into pSent; the number moved.
U32 GMSG_STANDIN_u32TakeSent(GMSG_STANDIN_SENT *pSent, U32 u32Max);
const GMSG_MAP_INFO *GMSG_STANDIN_pMap(MBOX Mailbox);

// Tests: the unit's address (0 none: the address query answers FALSE), first octet in the lowest byte.
void GMSG_STANDIN_vSetAddress(U32 u32Address);
U32 GMSG_STANDIN_u32Address(void);
// Tests: sends to this IPv4 address fail (bFail) or succeed again.
void GMSG_STANDIN_vFailSendsTo(U32 u32Address, BOOLEAN bFail);
// Tests: the service attribute "transducer" of any discovered server.
void GMSG_STANDIN_vSetServiceTransducer(U32 u32Transducer);
// Tests: posts a received typed message to the mailbox as CMD_ID_GMSG_RECEIVE; the body (u32Size bytes, or
// none) is copied into allocator memory, as the message service rebuilds it.
void GMSG_STANDIN_vInjectReceive(MBOX Mailbox, const GMSG_ADDRESS *pSource, GMSG_ID_TYPE MsgId, const void *pvBody,
                                 U32 u32Size);
// Tests: posts a disconnect (119), server-monitor (124) or client-monitor (126) notice about the address.
void GMSG_STANDIN_vInjectDisconnect(MBOX Mailbox, CMD_ID eCmd, const GMSG_ADDRESS *pAddress);

// Segmented-UDP sends and disconnects, recorded.
typedef struct {
  GMSG_ADDRESS Address;
  GMSG_ID_TYPE MsgId;
  U32 u32Length;
  U8 aData[512];  // the payload's first bytes
} GMSG_STANDIN_SEGMENTED;
U32 GMSG_STANDIN_u32TakeSegmented(GMSG_STANDIN_SEGMENTED *pSent, U32 u32Max);
U32 GMSG_STANDIN_u32TakeDisconnects(GMSG_ADDRESS *pAddress, U32 u32Max);

// Messages of the service-discovery client (mailbox 55) and the segmented-UDP receive task (mailbox 57).
typedef struct {
  GENERIC_MESSAGE header;  // CMD_ID_NETWORK_SERVER_CONNECT_MESSAGE
  GMSG_ADDRESS sServerAddress;
  U32 eService;
} NETWORK_SERVER_CONNECT_MESSAGE;

enum : U32 { CONNECTION_LOST_TIMEOUT = 3, CONNECTION_LOST_DISCONNECT = 4 };
enum : U32 {
  DIA_SONAR_2D_SOURCE_LOST = 10,
  DIA_SONAR_ZP_SOURCE_LOST = 11,
  DIA_SONAR_ZF_SOURCE_LOST = 12,
  DIA_SONAR_360_SOURCE_LOST = 13,
};
typedef struct {
  GENERIC_MESSAGE header;  // CMD_ID_NETWORK_SERVER_CONNECTION_LOST_MESSAGE
  U32 u32SourceEnum;
  GMSG_ADDRESS sServerAddress;
  U32 eConnectionLostReason;
} NETWORK_SERVER_CONNECTION_LOST_MESSAGE;

typedef struct {
  GENERIC_MESSAGE header;  // CMD_ID_SUDP_IN_REGISTER
  U32 doRegister;
  U32 port;
  U32 mailBox;
  U32 isRaw;
  U32 isMultiPacket;
  char mcastAddress[16];
} MSG_SUDP_IN_REGISTER;
