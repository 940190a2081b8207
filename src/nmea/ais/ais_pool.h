// The pool of AIS targets: filing decoded VDM sentences (merge into the slot of a known MMSI or insertion in
// MMSI order), removal, copies and emptying. The caller holds RES_AIS_DATA.
#pragma once
#include "nmea/ais/ais_types.h"

// A target that had to leave the pool: its MMSI and former slot.
typedef struct {
  BOOL bRemoved;
  ULONG MMSI;
  UINT Index;
} AIS_REMOVED_TARGET;

ERRORCODE ais_InitStruct(AISPOOL *pPool);
ERRORCODE ais_ResetABM(AISPOOL *pPool, void *, void *, void *);
// Decodes one VDM sentence (text from the talker on, without '!') and files its message. pnTotal and pnNumber
// receive the sentence's header numbers when they are valid. When the pool is full, the target heard longest
// ago gives way to a new MMSI and is reported in *pEvicted (may be null).
ERRORCODE ais_DecodeVDM(AISPOOL *pPool, unsigned *pnTotal, unsigned *pnNumber, const char *pcSentence,
                        const UT_TIMEOFS *pReceiveTime, AIS_REMOVED_TARGET *pEvicted = nullptr);
ERRORCODE ais_CopyTarget(aisTargetINFO *pDest, const aisTargetINFO *pSource);
void ais_RemoveTarget(AISPOOL *pPool, UINT nIndex);
ERRORCODE ais_CopyData(const AISPOOL *pSource, AISPOOL *pDest);
// Forgets any multi-sentence message being joined.
void ais_ResetDecoder(void);
