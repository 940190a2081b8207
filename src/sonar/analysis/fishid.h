// Fish identification: finds fish echoes between the transmit and the bottom, sizes them, keeps the six
// strongest per ping, merges the pings of one column, keeps a history of fish lists parallel to the sonar
// history with each fish linked to its earlier sightings, raises the fish alarm and draws the symbols.
// Every list and history operation holds RES_FISHID.
#pragma once
#include "corvan/types.h"
#include "draw/bitmap.h"
#include "draw/icon.h"
#include "settings/database.h"
#include "sonar/analysis/water_type.h"
#include "sonar/ping_descriptor.h"
#include "sonar/tsu_store.h"

constexpr U32 FISH_HISTORY_COLUMNS = 820;
constexpr U32 MAX_POTENTIAL_FISH = 12;
constexpr U8 FISH_SENSITIVITY_MAX = 10;

typedef struct {
  U8 u8NumberOfTargets;  // at most MAX_POTENTIAL_FISH
  FISH_TARGET target[MAX_POTENTIAL_FISH];
} POTENTIAL_FISH_TARGET_LIST;

typedef struct {
  U16 u16IndexToMostRecentTargets;
  FISH_TARGET_LIST Items[FISH_HISTORY_COLUMNS];
} FISH_TARGET_HISTORY;

typedef enum : U32 {
  FISH_SIZE_ALARM_OFF = 0,
  FISH_SIZE_ALARM_SML = 1,  // any size
  FISH_SIZE_ALARM_ML = 2,   // medium and large
  FISH_SIZE_ALARM_L = 3,    // large
} FISH_SIZE_ALARM;

typedef struct {
  U8 u8Small;
  U8 u8Medium;
  U8 u8Large;
} FISH_SIZE_THRESHOLD;

typedef struct {
  U8 u8MaxPeak;
  FISH_SIZE_THRESHOLD Table[FISH_SENSITIVITY_MAX + 1];  // by fish sensitivity 0-10
} FISH_SIZING_TABLE;

extern const FISH_SIZING_TABLE FishThresholdTable50kHzFresh, FishThresholdTable83kHzFresh,
    FishThresholdTable83kHzFreshKind11, FishThresholdTable200kHzFresh, FishThresholdTable200kHzFreshKind11,
    FishThresholdTableQuadBeam455kHzFresh, FishThresholdTableBraxel455kHzFresh, FishThresholdTable50kHzSalt,
    FishThresholdTable83kHzSalt, FishThresholdTable83kHzSaltKind11, FishThresholdTable200kHzSalt,
    FishThresholdTable200kHzSaltKind11, FishThresholdTableQuadBeam455kHzSalt, FishThresholdTableBraxel455kHzSalt;

// The sizing table for a beam, frequency and water type (the transducer kinds come from the current
// transducers); null for a beam other than 0-3.
const FISH_SIZING_TABLE *S_FISHID_pSizingTable(BEAM Beam, U32 u32TransmitFrequencyHertz, WATER_TYPE eWaterType);

// Up to six fish of the ping, largest peaks first. Sensitivities above 10 are taken as 10.
void S_FISHID_vScanForFish(FISH_TARGET_LIST *pFishTargetList, const PING_DESCRIPTOR *pReturn, WATER_TYPE eWaterType,
                           U8 u8FishSensitivity);
void S_FISHID_vMergeFishTargetLists(FISH_TARGET_LIST *pExistingFish, const FISH_TARGET_LIST *pNewFish);
void S_FISHID_vCopyFishTargetList(FISH_TARGET_LIST *pDestination, const FISH_TARGET_LIST *pSource);

void S_FISHID_vInitialiseHistory(FISH_TARGET_HISTORY *pTargetHistory);
void S_FISHID_vAddFishTargetListToHistory(FISH_TARGET_HISTORY *pTargetHistory, FISH_TARGET_LIST *pList);
void S_FISHID_vAddEmptyFishTargetListToHistory(FISH_TARGET_HISTORY *pTargetHistory);
void S_FISHID_vDuplicateFishTargetListInHistory(FISH_TARGET_HISTORY *pTargetHistory);
void S_FISHID_vSetReverseScroll(BOOLEAN bState);
BOOLEAN S_FISHID_bReverseScroll(void);

// Signals at most one fish alarm semaphore for the new fish of the most recent column.
void S_FISHID_vCheckAlarm(const FISH_TARGET_HISTORY *pTargetHistory, FISH_SIZE_ALARM FishAlarmSize);

void S_FISHID_vDrawStandardFishHistory(BITMAP *pBmp, const FISH_TARGET_HISTORY *pTargetHistory, PIXEL OldestColumn,
                                       PIXEL NewestColumn, PIXEL BottomPixel, PIXEL TopPixel, U32 u32UpperSamples,
                                       U32 u32LowerSamples, UNIT_TYPE DepthUnits, COLOR NumberColor,
                                       BOOLEAN bSlanted);
void S_FISHID_vDrawBottomLockFishHistory(BITMAP *pBmp, const FISH_TARGET_HISTORY *pTargetHistory,
                                         const FULL_SCREEN_TSU *pTSUStore, PIXEL LeftHandEdgePixel,
                                         PIXEL RightHandEdgePixel, U32 u32DisplayHeight, U32 u32UpperSamples,
                                         U32 u32LowerSamples, UNIT_TYPE DepthUnits, COLOR NumberColor);
void S_FISHID_vDrawVerticalFishHistory(const FISH_TARGET_HISTORY *pTargetHistory, BITMAP *pBmp,
                                       const POINT *pDeepestOldest, const POINT *pShallowestYoungest,
                                       U32 u32LowerSamples, UNIT_TYPE DepthUnits, BOOLEAN bBraxelActive);
