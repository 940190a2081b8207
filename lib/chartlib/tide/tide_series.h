// Between the fixed-point cores (seconds since 2000 on the station's clock, millimetres) and the entry
// points (seconds since 1970 on the user's clock, metres): time bases, pieces, units and sample types.
#pragma once
#include "chartlib/current/current_predict.h"
#include "chartlib/tide/tide_predict.h"
#include "chartlib/util/ut_datetime.h"

// One sample or event in clock seconds (32 bits unsigned: good until 2106).
struct tc_sample {
  UCHAR Type;
  ULONG Time;
  DOUBLE Direction;
  DOUBLE Intensity;
};

constexpr int TC_PIECE_SAMPLES = 256;
constexpr int TC_PIECE_EVENTS = 50;

// Tide samples in pieces of TC_PIECE_SAMPLES: fill(piece start, n, results) gives the core's heights;
// types compare each height with the one before (previous before the first).
template <typename Fill>
void TC_tide_array(ULONG start, ULONG step, int count, tc_sample *out, int32_t *results, int32_t previous, Fill fill) {
  for (int done = 0; done < count;) {
    const int n = count - done < TC_PIECE_SAMPLES ? count - done : TC_PIECE_SAMPLES;
    const ULONG piece_start = start + static_cast<ULONG>(done) * step;
    fill(piece_start, n, results);
    for (int i = 0; i < n; ++i) {
      tc_sample &s = out[done + i];
      s.Time = piece_start + static_cast<ULONG>(i) * step;
      s.Intensity = results[i] * 0.001;
      s.Direction = 0;
      s.Type = results[i] > previous ? RISING : FALLING;  // equal heights count as falling
      previous = results[i];
    }
    done += n;
  }
  if (count >= 2) out[0].Type = out[1].Type;  // the first was compared with an arbitrary value
}

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
ERRORCODE TC_compute_secondary_current_array(const secondary_current_block *block, ULONG start, ULONG step, int count,
                                             tc_sample *out, int32_t *results, fixed *ratios);
ERRORCODE TC_next_secondary_currents(const secondary_current_block *block, ULONG start, tc_sample *out, int count,
                                     fixed *ratios);
ERRORCODE TC_next_primary_currents(const current_block *block, ULONG start, tc_sample *out, int count, fixed *ratios);

// A series request of the entry points: span x 20 / step samples (at most capacity), step x 180 s apart from
// the request, computed in pieces; each sample's Time is the request time plus its steps.
template <typename Piece, typename Emit>
ERRORCODE TC_run_series(UT_DATE date, UT_TIME time, SINT span, UINT16 step, SINT capacity, Piece piece, Emit emit) {
  if (step == 0) return TC_WARN_BAD_STEP;
  ULONG start;
  if (ut_date2time(0, date, time, &start) != 0) return TC_WARN_BAD_DATE;
  int64_t count = span > 0 ? static_cast<int64_t>(span) * 20 / step : 0;
  if (count > capacity) count = capacity > 0 ? capacity : 0;
  const ULONG step_s = static_cast<ULONG>(step) * 180;
  tc_sample samples[TC_PIECE_SAMPLES];
  for (int64_t done = 0; done < count;) {
    const int n = static_cast<int>(count - done < TC_PIECE_SAMPLES ? count - done : TC_PIECE_SAMPLES);
    piece(start + static_cast<ULONG>(done) * step_s, step_s, n, samples);
    for (int i = 0; i < n; ++i)
      emit(done + i, samples[i],
           ut_addtimeofs(static_cast<UT_TIMEOFS>(time), ut_secstotimeofs(static_cast<SLONG>((done + i) * step_s))));
    done += n;
  }
  return CL_SUCCESS;
}

// Rotary currents: the ratio buffer holds two sets of TC_MAX_COMPONENTS ratios.
ERRORCODE TC_compute_primary_rotary_array(const rotary_pair *pair, ULONG start, ULONG step, int count, tc_sample *out,
                                          rotary_result *results, fixed *ratios);
ERRORCODE TC_next_primary_rotaries(const rotary_pair *pair, ULONG start, tc_sample *out, int count, fixed *ratios);
ERRORCODE TC_compute_secondary_rotary_array(const secondary_current_block *block, ULONG start, ULONG step, int count,
                                            tc_sample *out, rotary_result *results, UCHAR *types, fixed *ratios);
ERRORCODE TC_next_secondary_rotaries(const secondary_current_block *block, ULONG start, tc_sample *out, int count,
                                     fixed *ratios);
