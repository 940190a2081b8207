// Harmonic current prediction in fixed point (reversing primary stations).
#pragma once
#include "chartlib/tide_predict.h"
#include "chartlib/tide_station.h"

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
