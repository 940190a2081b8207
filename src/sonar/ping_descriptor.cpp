#include "sonar/ping_descriptor.h"

#include <cstring>

namespace {

template <typename T>
void put(U8 *pau8Image, U32 u32Offset, T value) {
  std::memcpy(pau8Image + u32Offset, &value, sizeof(T));  // host order, as the peers read it
}

template <typename T>
T get(const U8 *pau8Image, U32 u32Offset) {
  T value;
  std::memcpy(&value, pau8Image + u32Offset, sizeof(T));
  return value;
}

// The fish list image: count, simulated flag, then six targets of 32 bytes from byte 4 (depth, size, peak,
// beam, the two flags); the processing side fills in what it keeps beyond these.
constexpr U32 FISH_TARGET_IMAGE_SIZE = 32;
constexpr U32 FISH_TARGETS_AT = 4;

}  // namespace

void S_PING_vWriteImage(const PING_DESCRIPTOR *pPing, U8 *pau8Image) {
  std::memset(pau8Image, 0, PING_IMAGE_SIZE);
  put<U8>(pau8Image, PINGIMG_BEAM, pPing->Beam);
  put<U8>(pau8Image, PINGIMG_ADC_CHANNEL, pPing->u8AdcChannel);
  put<U8>(pau8Image, PINGIMG_TX_CYCLES, pPing->u8TransmitCycles);
  put<U8>(pau8Image, PINGIMG_TX_POWER, pPing->u8TransmitPower);
  put<U32>(pau8Image, PINGIMG_SAMPLES, pPing->u32NumberOfSamples);
  put<U8>(pau8Image, PINGIMG_SIMULATED, pPing->bSimulated);
  put<U32>(pau8Image, PINGIMG_SAMPLE_PERIOD, pPing->u32SamplePeriodMicroSeconds);
  put<U16>(pau8Image, PINGIMG_MS_BETWEEN, pPing->u16MilliSecondsBetweenPings);
  put<U16>(pau8Image, PINGIMG_MS_BEFORE_NEXT, pPing->u16MilliSecondsBeforeNextPing);
  const FISH_TARGET_LIST &fish = pPing->SimulatedFishList;
  const U8 u8Count = fish.u8NumberOfTargets > MAX_FISH_TARGETS ? MAX_FISH_TARGETS : fish.u8NumberOfTargets;
  put<U8>(pau8Image, PINGIMG_FISH_LIST, u8Count);
  put<U8>(pau8Image, PINGIMG_FISH_LIST + 1, fish.bSimulatedFishList);
  for (U32 i = 0; i < u8Count; ++i) {
    const U32 u32At = PINGIMG_FISH_LIST + FISH_TARGETS_AT + i * FISH_TARGET_IMAGE_SIZE;
    put<U32>(pau8Image, u32At, fish.target[i].u32DepthInSamples);
    put<U8>(pau8Image, u32At + 4, fish.target[i].u8Size);
    put<U8>(pau8Image, u32At + 5, fish.target[i].u8Peak);
    put<U8>(pau8Image, u32At + 6, fish.target[i].beam);
    put<U8>(pau8Image, u32At + 7, fish.target[i].bIgnoreThisFish);
    put<U8>(pau8Image, u32At + 8, fish.target[i].bIdPlusThisFish);
  }
  put<U8>(pau8Image, PINGIMG_LOCATION, pPing->Location.bPositionValid);
  put<S32>(pau8Image, PINGIMG_LOCATION + 4, pPing->Location.s32LongitudeMM);
  put<S32>(pau8Image, PINGIMG_LOCATION + 8, pPing->Location.s32LatitudeMM);
  put<float>(pau8Image, PINGIMG_DEPTH, pPing->fDepthMetres);
  put<float>(pau8Image, PINGIMG_DEPTH_OFFSET, pPing->fDepthOffsetFeet);
  put<U8>(pau8Image, PINGIMG_NOISE, pPing->u8NoiseLevel);
  put<U8>(pau8Image, PINGIMG_PEAK_NOISE, pPing->u8PeakNoiseLevel);
  put<U8>(pau8Image, PINGIMG_TRANSDUCER, pPing->u8Transducer);
  put<U32>(pau8Image, PINGIMG_TX_FREQUENCY, pPing->u32TransmitFrequencyHertz);
  put<U32>(pau8Image, PINGIMG_TIME_STAMP, pPing->u32TimeStampMilliSeconds);
  put<U8>(pau8Image, PINGIMG_BANDWIDTH, pPing->u8BandwidthControl);
  put<U32>(pau8Image, PINGIMG_PING_INDEX, pPing->u32PingIndex);
  put<U8>(pau8Image, PINGIMG_REVERSE, pPing->bReversePing);
  put<U32>(pau8Image, PINGIMG_PPI_POSITION, pPing->u32PPIPositionInfo);
  put<U8>(pau8Image, PINGIMG_IS_LOCAL, pPing->bIsLocal);
}

void S_PING_vReadImage(const U8 *pau8Image, PING_DESCRIPTOR *pPing) {
  pPing->Beam = get<U8>(pau8Image, PINGIMG_BEAM);
  pPing->u8AdcChannel = get<U8>(pau8Image, PINGIMG_ADC_CHANNEL);
  pPing->u8TransmitCycles = get<U8>(pau8Image, PINGIMG_TX_CYCLES);
  pPing->u8TransmitPower = get<U8>(pau8Image, PINGIMG_TX_POWER);
  pPing->u32NumberOfSamples = get<U32>(pau8Image, PINGIMG_SAMPLES);
  pPing->bSimulated = get<U8>(pau8Image, PINGIMG_SIMULATED);
  pPing->u32SamplePeriodMicroSeconds = get<U32>(pau8Image, PINGIMG_SAMPLE_PERIOD);
  pPing->u16MilliSecondsBetweenPings = get<U16>(pau8Image, PINGIMG_MS_BETWEEN);
  pPing->u16MilliSecondsBeforeNextPing = get<U16>(pau8Image, PINGIMG_MS_BEFORE_NEXT);
  FISH_TARGET_LIST &fish = pPing->SimulatedFishList;
  fish = FISH_TARGET_LIST{};
  U8 u8Count = get<U8>(pau8Image, PINGIMG_FISH_LIST);
  if (u8Count > MAX_FISH_TARGETS) u8Count = MAX_FISH_TARGETS;  // a peer's count is not trusted
  fish.u8NumberOfTargets = u8Count;
  fish.bSimulatedFishList = get<U8>(pau8Image, PINGIMG_FISH_LIST + 1);
  for (U32 i = 0; i < u8Count; ++i) {
    const U32 u32At = PINGIMG_FISH_LIST + FISH_TARGETS_AT + i * FISH_TARGET_IMAGE_SIZE;
    fish.target[i].u32DepthInSamples = get<U32>(pau8Image, u32At);
    fish.target[i].u8Size = get<U8>(pau8Image, u32At + 4);
    fish.target[i].u8Peak = get<U8>(pau8Image, u32At + 5);
    fish.target[i].beam = get<U8>(pau8Image, u32At + 6);
    fish.target[i].bIgnoreThisFish = get<U8>(pau8Image, u32At + 7);
    fish.target[i].bIdPlusThisFish = get<U8>(pau8Image, u32At + 8);
  }
  pPing->Location.bPositionValid = get<U8>(pau8Image, PINGIMG_LOCATION);
  pPing->Location.s32LongitudeMM = get<S32>(pau8Image, PINGIMG_LOCATION + 4);
  pPing->Location.s32LatitudeMM = get<S32>(pau8Image, PINGIMG_LOCATION + 8);
  pPing->fDepthMetres = get<float>(pau8Image, PINGIMG_DEPTH);
  pPing->fDepthOffsetFeet = get<float>(pau8Image, PINGIMG_DEPTH_OFFSET);
  pPing->u8NoiseLevel = get<U8>(pau8Image, PINGIMG_NOISE);
  pPing->u8PeakNoiseLevel = get<U8>(pau8Image, PINGIMG_PEAK_NOISE);
  pPing->u8Transducer = get<U8>(pau8Image, PINGIMG_TRANSDUCER);
  pPing->u32TransmitFrequencyHertz = get<U32>(pau8Image, PINGIMG_TX_FREQUENCY);
  pPing->u32TimeStampMilliSeconds = get<U32>(pau8Image, PINGIMG_TIME_STAMP);
  pPing->u8BandwidthControl = get<U8>(pau8Image, PINGIMG_BANDWIDTH);
  pPing->u32PingIndex = get<U32>(pau8Image, PINGIMG_PING_INDEX);
  pPing->bReversePing = get<U8>(pau8Image, PINGIMG_REVERSE);
  pPing->u32PPIPositionInfo = get<U32>(pau8Image, PINGIMG_PPI_POSITION);
  pPing->bIsLocal = get<U8>(pau8Image, PINGIMG_IS_LOCAL);
}
