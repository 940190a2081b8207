// The NMEA task's AIS pool and the functions through which the rest of the unit reaches it.
#pragma once
#include "corvan/types.h"
#include "nmea/ais/ais_types.h"

// Empties the pool and forgets any message being joined; the NMEA task calls it when it starts.
void T_NMEA_vAisInitPool(void);
// Hand-off of one VDM sentence from the receive path (text from the talker on), with RES_AIS_DATA held:
// decodes, files and recomputes the collision values after every sentence that decodes.
void T_NMEA_vDecodeVDM(const char *pcSentence, U32 u32Time);
// CPA and TCPA of every target; callers hold RES_AIS_DATA.
void T_NMEA_vAisCalculateCollisionValue(void);

// Queries. Scan and count take no lock: callers hold RES_AIS_DATA while they use the slot.
U32 T_NMEA_u32GetAisNumOfTargets(void);
BOOLEAN T_NMEA_bScanAisPoints(S32 nIndex, ais_DeviceInfo **ppAisInfo);
int T_NMEA_s32GetAisIndex(ULONG nMMSI);
// Removes the slot when the target is 960 s old by 'IDTM' (TRUE); the removal reaches the navigation data
// manager at the NMEA task's next tick. Callers hold RES_AIS_DATA.
BOOLEAN T_NMEA_bAisCheckTimeout(ais_DeviceInfo *pAisInfo, UINT index);
// The ship-type text in a language; the buffer holds at least 32 characters.
void T_NMEA_vGetShipTypeStr(ULONG nShipType, U32 nLang, char *pShipTypeStr);

// NMEA task tick: tells the navigation data manager of the targets removed since the last tick, holding no
// pool lock.
void T_NMEA_vAisReportRemovedTargets(void);

// Tests: VDM sentences handed over so far.
U32 T_NMEA_u32AisSentencesForTest(void);
