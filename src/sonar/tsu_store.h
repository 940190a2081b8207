// The stored history columns of one beam (the TSU store): what processing keeps of each column so any window can
// be redrawn, and what the bottom-locked fish drawing reads the bottom from.
#pragma once
#include "corvan/types.h"
#include "sonar/ping_descriptor.h"

constexpr U32 TSU_STORE_COLUMNS = 820;

typedef struct {
  U8 u8SampleFactor;  // accumulator samples per stored sample, at least 1
  U32 u32SamplesInStore;
  U8 *au8Data;  // u32TSUDataLength samples
  SONAR_PING_LOCATION Location;
  float fDepthMetres;
  U32 u32SmoothedDepthInSamples;
  BOOLEAN bNoiseTooHighForBlend;
  U32 u32TimeStamp;
  U32 u32TSUDataLength;
  U32 u32PingIndex;
} TSU_STORE_COLUMN;

typedef struct {
  U32 u32NextFreeColumn;  // 0..819
  U32 u32ColumnsInUse;
  TSU_STORE_COLUMN aTsuStore[TSU_STORE_COLUMNS];
} FULL_SCREEN_TSU;
