// Which sonar sources this unit pings for itself ('ELPM'), for network clients ('ECPM') and takes from a
// network server ('ENPM'), and the switches between a local and a network source.
#pragma once
#include "corvan/types.h"
#include "sonar/transducer.h"

// The ping task's copies of the three masks (kept from the change notices).
U32 T_N_PING_u32LocalPingMask(void);
U32 T_N_PING_u32ClientPingMask(void);
U32 T_N_PING_u32NetworkPingMask(void);
void T_N_PING_vSetMasks(U32 u32Local, U32 u32Client, U32 u32Network);

// TRUE when some network client is registered for this unit's pings.
BOOLEAN T_N_PING_bHasNetworkDestination(void);
// The client list of source n (0-3; callers hold RES_SONAR_SHARE).
struct sonarRegisteredClientNode;
sonarRegisteredClientNode **T_N_PING_ppClientList(U16 u16Source);
// Deletes the clients of all four sources (callers hold RES_SONAR_SHARE).
void T_N_PING_vDeleteAllClients(void);
// Sends the unregister request to ip:port; when that is the server of source n, forgets it.
BOOLEAN T_N_PING_vUnregisterForNetworkData(U32 u32ServerIP, U32 u32ServerPort, U32 u32SonarSource);
// Source n to another unit's server (its transducer kind and unit id).
void T_N_PING_vSwitchToNetworkSonar(U16 u16LocalIndex, U32 u32Transducer, U32 u32Mac);

// Source n to this unit's transducer: FALSE when the transducer kind does not offer it.
BOOLEAN T_N_PING_vSwitchToLocalSonar(U16 u16Source);
// Sets or clears the bits of sources 0-3 in 'ELPM' and writes it.
void T_N_PING_vSetPingBitMask(BOOLEAN b2D, BOOLEAN bZP, BOOLEAN bZF, BOOLEAN b360);
// 'ISEN': whether the sonar views are offered.
void T_N_PING_vSetSonarViewEnable(void);
// The unit id chosen for source n (low 24 bits; 0xFFFFFF none).
U32 T_N_PING_u32SonarSourceId(U16 u16Source);
// The unit id of source n changed (own or a server's; -1 none).
void T_N_PING_vUpdateSonarSource(S32 s32Id, U16 u16Source);
