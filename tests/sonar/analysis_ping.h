// A ping descriptor over buffers of its own, for the echo analysis tests.
#pragma once
#include <algorithm>
#include <vector>

#include "sonar/ping_descriptor.h"

struct AnalysisPing {
  std::vector<U8> raw = std::vector<U8>(PING_MAX_SAMPLES), tvg = std::vector<U8>(PING_MAX_SAMPLES);
  PING_DESCRIPTOR d{};
  AnalysisPing(BEAM beam, U32 u32Frequency, U32 u32Samples, U32 u32Period = 26)
  {
    d.Beam = beam;
    d.u32TransmitFrequencyHertz = u32Frequency;
    d.u32NumberOfSamples = u32Samples;
    d.u32SamplePeriodMicroSeconds = u32Period;
    d.u32TimeStampMilliSeconds = 1000;
    d.pu8RawSonarData = raw.data();
    d.pu8TvgdData = tvg.data();
  }
  // A flat echo of the gain-corrected value over [from, from + length) with raw samples under it.
  void block(U32 u32From, U32 u32Length, U8 u8Value, U8 u8Raw = 200)
  {
    std::fill(tvg.begin() + u32From, tvg.begin() + u32From + u32Length, u8Value);
    std::fill(raw.begin() + u32From, raw.begin() + u32From + u32Length, u8Raw);
  }
  void clear()
  {
    std::fill(tvg.begin(), tvg.end(), 0);
    std::fill(raw.begin(), raw.end(), 0);
  }
  // Five gain-corrected samples rising to the peak in the middle and falling back.
  void fish(U32 u32Peak, U8 u8Peak)
  {
    const U8 v[5] = {(U8)(u8Peak / 2), (U8)(u8Peak * 3 / 4), u8Peak, (U8)(u8Peak * 3 / 4), (U8)(u8Peak / 2)};
    std::copy(v, v + 5, tvg.begin() + u32Peak - 2);
  }
};
