// The transducers this unit can drive (ids 0-18, the value of 'SSTS'): frequency text, name, beams and sonar
// sources of each, the queries over them, the current transducer per sonar class and the maximum depth range.
#pragma once
#include "corvan/types.h"
#include "settings/language.h"

constexpr U8 NUMBER_OF_TRANSDUCERS = 19;

// Sonar sources: 2-D, down-looking imaging, side-looking imaging, rotating; source n is bit 2^n of a mask.
typedef enum : U16 {
  SONAR_SOURCE_2D = 0,
  SONAR_SOURCE_ZP = 1,
  SONAR_SOURCE_ZF = 2,
  SONAR_SOURCE_360 = 3,
} NET_SOURCE_TYPE;
constexpr U32 NUMBER_OF_SONAR_SOURCES = 4;

typedef struct {
  U8 u8TransducerID;
  const char *pFrequencies;
  const ARRAY_OF_STRING_PTRS *pString;
  U32 u32BeamsSupported;
  U32 u32SonarSources;
} TRANSDUCER_SPECIFICS;

// Ids 19 and above answer 0, the name "Unknown" or the text "NONE".
U32 S_TRANSDUCER_u32GetBeamsForTransducer(U8 u8Transducer);
U32 S_TRANSDUCER_u32GetBeamsForTransducerAndSource(U8 u8Transducer, U16 u16SourceType);
U32 S_TRANSDUCER_u32GetBeamsSupportedByModel(void);
U32 S_TRANSDUCER_u32GetBeamsToDisplay(U8 u8Transducer);
U32 S_TRANSDUCER_u32GetSonarSources(U8 u8Transducer);
const ARRAY_OF_STRING_PTRS *S_TRANSDUCER_pasGetTransducerName(U8 u8Transducer);
// The first id from 1 whose beam mask is exactly the argument; 0 when none.
U8 S_TRANSDUCER_u8GetTransducerByCapability(U32 u32Beams);
// Logs its answer on every call.
BOOLEAN S_TRANSDUCER_bIsSupportedTransducer(U8 u8Transducer);
BOOLEAN S_TRANSDUCER_bIsPlumbscan(void);
BOOLEAN S_TRANSDUCER_bIsFlankscan(void);
// 'SSTS' against the factory default 'SSTD' (1 when missing); TRUE when 'SSTS' cannot be read.
BOOLEAN S_TRANSDUCER_bIsDefaultTransducer(void);
U32 S_TRANSDUCER_u32LFBeamFrequencyHertz(void);
// Index 0 the 2-D class, 1 the imaging class; 0 for none.
U8 S_TRANSDUCER_u8CurrentTransducer(U8 u8Index);
void S_TRANSDUCER_vSetCurrentTransducer(U8 u8Index, U8 u8Transducer);
float S_TRANSDUCER_fMaximumDepthRangeMetres(void);
void S_TRANSDUCER_vSetMaximumDepthRangeMetres(float fMetres);
// The source's bit of a selection mask; other source values leave the mask as it is.
U32 S_TRANSDUCER_u32GetElementBit(U32 u32Mask, NET_SOURCE_TYPE eSource);
void S_TRANSDUCER_vSetElementBit(U32 *pu32Mask, NET_SOURCE_TYPE eSource);
void S_TRANSDUCER_vUnsetElementBit(U32 *pu32Mask, NET_SOURCE_TYPE eSource);
// The frequency text a network service advertises, valid until the calling thread's next call.
const char *S_TRANSDUCER_pbyteGetFrequencyString(U8 u8Transducer, U8 u8SonarSource);
