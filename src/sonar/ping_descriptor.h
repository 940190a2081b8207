// The ping descriptor: one received channel of one ping, with its fixed sample buffers, as the ping task, the
// playback, the network receiver and the processing task pass it around through the pool queue; and the
// messages that carry descriptors to processing.
#pragma once
#include "corvan/types.h"
#include "kernel/mbox.h"
#include "sonar/coproc_tx.h"

constexpr U32 PING_MAX_SAMPLES = 55000;     // size of each sample buffer of a descriptor
constexpr U32 PING_POOL_SIZE = 21;          // descriptors in queue Q_PING
constexpr U32 PING_IMAGE_SIZE = 276;        // bytes of the descriptor's network image
constexpr U32 PING_FISH_LIST_IMAGE_SIZE = 196;
constexpr U32 MAX_FISH_TARGETS = 6;

// The limits a fish was found with, and its echo length.
typedef struct {
  U8 u8MinPeakAmplitude;
  U8 u8MaxPeakAmplitude;
  BOOLEAN bRemovedFish;
  U32 u32MinElongationUs;
  U32 u32MaxElongationUs;
  U32 u32ElongationUs;
} FISH_CRITERIA;

// One fish placed by the simulator or found by processing.
typedef struct FISH_TARGET {
  U32 u32DepthInSamples;
  U8 u8Size;  // 0 small, 1 medium, 2 large
  U8 u8Peak;
  BEAM beam;
  BOOLEAN bIgnoreThisFish;
  BOOLEAN bIdPlusThisFish;
  struct FISH_TARGET *pPreviousInstance;
  FISH_CRITERIA criteria;  // not in the network image
} FISH_TARGET;

typedef struct {
  U8 u8NumberOfTargets;  // at most MAX_FISH_TARGETS
  BOOLEAN bSimulatedFishList;
  FISH_TARGET target[MAX_FISH_TARGETS];
} FISH_TARGET_LIST;

// 'ILON' and 'ILAT' as stored, valid only when both were.
typedef struct {
  BOOLEAN bPositionValid;
  S32 s32LongitudeMM;
  S32 s32LatitudeMM;
} SONAR_PING_LOCATION;

typedef struct PING_DESCRIPTOR {
  BEAM Beam;  // 0xFF: no data, not for display
  U8 u8AdcChannel;
  U8 u8TransmitCycles;
  U8 u8TransmitPower;
  U32 u32NumberOfSamples;  // at most PING_MAX_SAMPLES
  U8 *pu8RawSonarData;     // PING_MAX_SAMPLES bytes, fixed for the descriptor's life
  U8 *pu8TvgdData;         // PING_MAX_SAMPLES bytes
  BOOLEAN bSimulated;
  U32 u32SamplePeriodMicroSeconds;
  U16 u16MilliSecondsBetweenPings;
  U16 u16MilliSecondsBeforeNextPing;
  FISH_TARGET_LIST SimulatedFishList;
  SONAR_PING_LOCATION Location;
  float fDepthMetres;
  float fDepthOffsetFeet;
  U8 u8NoiseLevel;
  U8 u8PeakNoiseLevel;
  U8 u8Transducer;
  U32 u32TransmitFrequencyHertz;
  U32 u32TimeStampMilliSeconds;
  U8 u8BandwidthControl;
  U32 u32PingIndex;
  BOOLEAN bReversePing;
  U32 u32PPIPositionInfo;
  BOOLEAN bIsLocal;
} PING_DESCRIPTOR;

// Network image offsets (host byte order, the pointer fields written as 0).
enum : U32 {
  PINGIMG_BEAM = 0,
  PINGIMG_ADC_CHANNEL = 1,
  PINGIMG_TX_CYCLES = 2,
  PINGIMG_TX_POWER = 3,
  PINGIMG_SAMPLES = 4,
  PINGIMG_RAW_POINTER = 8,
  PINGIMG_TVG_POINTER = 12,
  PINGIMG_SIMULATED = 16,
  PINGIMG_SAMPLE_PERIOD = 20,
  PINGIMG_MS_BETWEEN = 24,
  PINGIMG_MS_BEFORE_NEXT = 26,
  PINGIMG_FISH_LIST = 28,
  PINGIMG_LOCATION = 224,
  PINGIMG_DEPTH = 236,
  PINGIMG_DEPTH_OFFSET = 240,
  PINGIMG_NOISE = 244,
  PINGIMG_PEAK_NOISE = 245,
  PINGIMG_TRANSDUCER = 246,
  PINGIMG_TX_FREQUENCY = 248,
  PINGIMG_TIME_STAMP = 252,
  PINGIMG_BANDWIDTH = 256,
  PINGIMG_PING_INDEX = 260,
  PINGIMG_REVERSE = 264,
  PINGIMG_PPI_POSITION = 268,
  PINGIMG_IS_LOCAL = 272,
};

// Writes the 276-byte image of the descriptor (no samples).
void S_PING_vWriteImage(const PING_DESCRIPTOR *pPing, U8 *pau8Image);
// Reads an image into the descriptor, keeping its own buffer pointers. The sample count is taken as written;
// callers check it against what they received.
void S_PING_vReadImage(const U8 *pau8Image, PING_DESCRIPTOR *pPing);

// Messages to processing (mailbox 9) and to the 3-D processing (mailbox 35), priority 3.
typedef struct {
  GENERIC_MESSAGE header;  // CMD_ID_SONAR_PROCESS_PING
  PING_DESCRIPTOR *pReturnDescriptor;
} PING_MESSAGE;

typedef struct {
  GENERIC_MESSAGE header;  // CMD_ID_BLANK_SCROLL_PING
  BEAM Beam;
  U32 u32TransmitFrequencyHertz;
} MSG_BLANK_SCROLL_PING;

typedef struct {
  GENERIC_MESSAGE header;  // CMD_ID_SONAR_PROCESS_TRIPLE_PING
  PING_DESCRIPTOR *apReturnDescriptor[3];
  BOOLEAN bBlankPing;
} TRIPLE_PING_MESSAGE;

typedef struct {
  GENERIC_MESSAGE header;  // CMD_ID_NEW_PLAYBACK_STATE
  U32 u32NewPlaybackState;
} MSG_NEW_PLAYBACK_STATE;
