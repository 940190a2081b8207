// Ping synthesiser: makes the raw and gain-corrected samples of a ping from a description of the water (noise
// floor, surface clutter, a bottom of given depth, length, hardness and its second returns, fish echoes), so the
// analysis can be exercised and the simulator can write recorded files. Deterministic for a given seed.
#pragma once
#include "corvan/types.h"
#include "sonar/ping_descriptor.h"

constexpr U32 PING_SYNTH_MAX_FISH = 8;

typedef struct {
  float fDepthMetres;
  U8 u8Peak;               // gain-corrected peak amplitude
  U32 u32LengthSamples;    // echo length, the peak in the middle
} PING_SYNTH_FISH;

typedef struct {
  BEAM Beam;
  U32 u32TransmitFrequencyHertz;
  U8 u8TransmitCycles;
  U32 u32NumberOfSamples;
  U32 u32SamplePeriodMicroSeconds;  // 26 when 0
  U32 u32TimeStampMilliSeconds;
  U32 u32Seed;
  U8 u8NoiseFloor;      // mean gain-corrected noise
  U8 u8NoiseSpread;     // noise varies by +- this
  U8 u8ClutterPeak;     // gain-corrected level at the surface, falling linearly to 0
  U32 u32ClutterSamples;
  float fBottomDepthMetres;  // 0: no bottom
  U32 u32BottomLengthSamples;
  U8 u8BottomHardness;    // gain-corrected peak of the bottom echo
  U8 u8SecondReturns;     // echoes at 2, 3 ... times the depth, each weaker
  U32 u32Fish;
  PING_SYNTH_FISH aFish[PING_SYNTH_MAX_FISH];
} PING_SYNTH_PARAMS;

// Fills the descriptor's buffers (which it must already have) and fields: the gain-corrected picture is made first
// and the raw samples are its reverse gain, so running the gain again gives the picture back (up to saturation).
void S_PINGSYNTH_vMake(const PING_SYNTH_PARAMS *pParams, PING_DESCRIPTOR *pPing);
// The sample of a depth at the given sample period and the current speed of sound.
U32 S_PINGSYNTH_u32SampleOfDepth(float fDepthMetres, U32 u32SamplePeriodMicroSeconds);
