// Between the fixed-point cores (seconds since 2000 on the station's clock, millimetres) and the entry
// points (seconds since 1970 on the user's clock, metres): time bases, pieces, units and sample types.
#pragma once
#include "chartlib/current_predict.h"
#include "chartlib/tide_predict.h"

// One sample or event in clock seconds (32 bits unsigned: good until 2106).
struct tc_sample {
  UCHAR Type;
  ULONG Time;
  DOUBLE Direction;
  DOUBLE Intensity;
};

constexpr int TC_PIECE_SAMPLES = 256;
constexpr int TC_PIECE_EVENTS = 50;

uint32_t TC_core_time(ULONG clock, SLONG clock_offset);
ULONG TC_clock_time(uint32_t core, SLONG clock_offset);

ERRORCODE TC_compute_primary_tide_array(const constituent_set *set, ULONG start, ULONG step, int count,
                                        tc_sample *out, int32_t *results, fixed *ratios);
ERRORCODE TC_compute_secondary_tide_array(const secondary_tide_block *block, ULONG start, ULONG step, int count,
                                          tc_sample *out, int32_t *results, fixed *ratios);
ERRORCODE TC_next_primary_tides(const constituent_set *set, ULONG start, tc_sample *out, int count, fixed *ratios);
ERRORCODE TC_next_secondary_tides(const secondary_tide_block *block, ULONG start, tc_sample *out, int count,
                                  fixed *ratios);

// Reversing currents: speed x 0.001 (negative for ebb), flood or ebb direction (sixtieths of a degree) by
// the sign, direction 0 for currents of 99 thousandths or less.
ERRORCODE TC_compute_primary_current_array(const current_block *block, ULONG start, ULONG step, int count,
                                           tc_sample *out, int32_t *results);
ERRORCODE TC_next_primary_currents(const current_block *block, ULONG start, tc_sample *out, int count, fixed *ratios);
