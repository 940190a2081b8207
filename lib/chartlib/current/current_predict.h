// Harmonic current prediction in fixed point (reversing primary stations).
#pragma once
#include "chartlib/tide/tide_predict.h"
#include "chartlib/tide/tide_station.h"

fixed sum_current_components(const current_block *block, const component_term *terms, uint32_t t);
int32_t compute_primary_current(const current_block *block, uint32_t t);
void compute_primary_current_array(const current_block *block, uint32_t t0, uint32_t step, int count,
                                   int32_t *values);
// Next maximum flood, maximum ebb or slack after t; NOCURR when none within the search limits.
void next_primary_current(tide_event *result, const current_block *block, uint32_t t, fixed *ratios);

// Secondary reversing stations: corrections of time and speed to the reference block they point at.
void setup_current_ring(extremes_array *ring, const secondary_current_block *block, fixed *ratios);
int32_t secondary_current_speed(const extremes_array *ring, int32_t v);
uint32_t map_current_time(const extremes_array *ring, uint32_t t);
void compute_secondary_current_array(const secondary_current_block *block, uint32_t t0, uint32_t step, int count,
                                     int32_t *values, fixed *ratios);
// n results {type, corrected time (in .corrected), speed (in .value)}.
void next_secondary_currents(const secondary_current_block *block, uint32_t t, ring_entry *results, int n,
                             fixed *ratios);

// Rotary primary stations: two component sets give the current vector. Directions in sixtieths of a degree.
struct rotary_result {
  int32_t direction;
  int32_t speed;
};
struct rotary_event {
  int type;
  uint32_t time;
  int32_t direction;
  int32_t speed;
};
void compute_primary_rotary(rotary_result *result, const rotary_pair *pair, uint32_t t);
void compute_primary_rotary_array(const rotary_pair *pair, uint32_t t0, uint32_t step, int count,
                                  rotary_result *results);
// Local extreme of speed after t: type 0 maximum, 2 minimum, NOCURR when none within 30 hours.
void next_local_primary_rotary(tide_event *result, const rotary_pair *pair, uint32_t t, fixed *ratios);
void next_primary_rotary(rotary_event *result, const rotary_pair *pair, uint32_t t, fixed *ratios);
int identify_rotary_event(const rotary_event *event, const rotary_pair *pair, fixed *ratios);
UCHAR identify_rotary(int event_type);

void previous_local_primary_rotary(tide_event *result, const rotary_pair *pair, uint32_t t, fixed *ratios);
void previous_primary_rotary(rotary_event *result, const rotary_pair *pair, uint32_t t, fixed *ratios);

// Secondary rotary stations: results carry type, corrected time, direction and speed.
void setup_rotary_ring(extremes_array *ring, const secondary_current_block *block, fixed *ratios);
int32_t secondary_rotary_direction(const extremes_array *ring, int32_t reference_direction);
int32_t secondary_rotary_speed(const extremes_array *ring, int32_t v);
void next_secondary_rotaries(const secondary_current_block *block, uint32_t t, ring_entry *results, int n,
                             fixed *ratios);
void compute_secondary_rotary_array(const secondary_current_block *block, uint32_t t0, uint32_t step, int count,
                                    rotary_result *results, UCHAR *types, fixed *ratios);
